#pragma once
// A line series whose points are the control points of a chain of Bezier
// curves. Each curve is flattened into NumBezierPoints straight segments;
// the default style on a flat chart leaves the curves to the device's own
// cubic Bezier drawing instead.
//
//   bsWindows  cubic curves through points 0..3, 3..6, ... (flat chart);
//              on a 3-D chart one quadratic curve 0..2, then cubic curves
//              ending at 5, 8, 11, ...
//   bsBezier3  quadratic curves ending at points 2, 4, 6, ...
//   bsBezier4  cubic curves ending at points 3, 6, 9, ...
// Points after the last whole curve are left out; pointers show every point.

#include "chart/engine/PlotSeries.h"

#include <vector>

namespace lp {

class TBezierSeries : public TCustomSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
public:
    enum TBezierStyle { bsWindows, bsBezier3, bsBezier4 };
    Q_ENUM(TBezierStyle)

private:
    Q_PROPERTY(TBezierStyle BezierStyle READ BezierStyle WRITE SetBezierStyle)
    Q_CLASSINFO("default:BezierStyle", "bsWindows")
    Q_PROPERTY(lp::TChartPen* LinePen READ LinePen WRITE SetLinePen)
    Q_PROPERTY(int NumBezierPoints READ NumBezierPoints WRITE SetNumBezierPoints)
    Q_CLASSINFO("default:NumBezierPoints", "32")
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)

public:
    explicit TBezierSeries(TComponent* AOwner = nullptr);

    // From another Bezier series: BezierStyle and NumBezierPoints; then the
    // line series' copy.
    void Assign(const TPersistent* Source) override;

    TBezierStyle BezierStyle() const { return FBezierStyle; }
    void SetBezierStyle(TBezierStyle Value);
    int NumBezierPoints() const { return FNumBezierPoints; }
    // ChartException "Number of Bezier points should be > 1" below 2; the
    // old value stays.
    void SetNumBezierPoints(int Value);

    void SetSeriesColor(TColor Color) override;
    void DrawAllValues() override;
    void PrepareForGallery(bool IsEnabled) override;

private:
    // The curve of order Order (3 quadratic, 4 cubic) ending at point Last,
    // as straight segments from the current position.
    void DrawCurve(const std::vector<TPoint>& P, int Order, int Last, bool Is3D);
    void LineToPoint(const TPoint& P, bool Is3D);

    TBezierStyle FBezierStyle = bsWindows;
    int FNumBezierPoints = 32;
};

using TBezierStyle = TBezierSeries::TBezierStyle;

// "Bezier" on the "Extended" gallery page; the unregistering undoes it.
void RegisterBezierSeries();
void UnregisterBezierSeries();

} // namespace lp
