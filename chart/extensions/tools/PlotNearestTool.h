#pragma once
// The nearest-point tool: follows the mouse and marks the point of its
// series nearest to it in pixels, with a circle, square or diamond and a
// line from the mouse to the point.
//
// With FullRepaint (the default) every move repaints the chart and the
// marker is drawn at the end of the paint (event 0). Without it the marker
// is a not-xor overlay (PlotBufferOverlay.h), erased and redrawn at each move.
// Leaving the chart (event 5) removes the marker.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"

#include <memory>

namespace lp {

class TCanvas3D;

class TNearestTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool DrawLine READ DrawLine WRITE SetDrawLine)
    Q_CLASSINFO("default:DrawLine", "true")
    Q_PROPERTY(bool FullRepaint READ FullRepaint WRITE SetFullRepaint)
    Q_CLASSINFO("default:FullRepaint", "true")
    Q_PROPERTY(lp::TChartPen* LinePen READ LinePen WRITE SetLinePen)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_CLASSINFO("default:Size", "20")
    Q_PROPERTY(TNearestToolStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "hsCircle")

public:
    enum TNearestToolStyle : quint8 { hsNone, hsCircle, hsRectangle, hsDiamond };
    Q_ENUM(TNearestToolStyle)

    // Brush clear, Pen dotted white.
    explicit TNearestTool(TComponent* AOwner = nullptr);
    ~TNearestTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TNearestToolEdit"); }
    // "Nearest Point".
    QString Description() const override;

    // The LinePen's visibility.
    bool DrawLine() const;
    void SetDrawLine(bool Value);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    TChartPen* LinePen() const { return FLinePen.get(); }
    void SetLinePen(const TChartPen* Value);
    int Size() const { return FSize; }
    void SetSize(int Value) { SetIntegerProperty(FSize, Value); }
    TNearestToolStyle Style() const { return FStyle; }
    void SetStyle(TNearestToolStyle Value);

    // The marked point, -1 when none.
    int Point() const { return FPoint; }
    // Its distance from the mouse in pixels.
    int Distance() const { return FDistance; }
    TPoint MousePoint() const { return FMouse; }

    // The visible, non-null point of Series whose pixel (projected by its
    // "Z" value, when it has one) lies in the chart rectangle nearest to
    // (X, Y), rounded to whole pixels, ties to the lower index; -1 when none
    // is nearer than 10000 pixels. Distance receives the distance found.
    static int GetNearestPoint(TChartSeries& Series, int X, int Y, int& Distance);

    void ChartEvent(int Event) override;
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TNotifyEvent OnChange;

private:
    void PaintMarker(TCanvas3D& Canvas);
    // Draws (or, drawn twice, erases) the marker as an overlay.
    void DrawMarkerOverlay();

    bool FFullRepaint = true;
    std::unique_ptr<TChartPen> FLinePen;
    int FSize = 20;
    TNearestToolStyle FStyle = hsCircle;
    int FPoint = -1;
    int FDistance = 0;
    TPoint FMouse;
};

} // namespace lp
