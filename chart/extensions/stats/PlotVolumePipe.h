#pragma once
// Volume pipe series of the "Stats" gallery page: the values as consecutive
// sections of one horizontal pipe narrowing from left to right, each
// section's area proportional to its share of the total.
//
//   TChartSeries
//     └─ TVolumePipeSeries
//
// The pipe fills the chart rectangle (below the tallest mark) and ignores
// the axes: the left end is the rectangle's height less 2 pixels each
// side, the right end narrower by ConePercent per cent of the height.
// Section boundaries solve the area left of x, H0·x − d·x²/(2W), for the
// running total's share of the whole area (the smaller root; x = A / H0 for
// a straight pipe), kept within the pipe. A chart rectangle 4 pixels high
// or less has no pipe.

#include "chart/engine/PlotEngine.h"

#include <array>
#include <memory>
#include <vector>

namespace lp {

class TPlotGradient;

class TVolumePipeSeries : public TChartSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool ColorEachPoint READ ColorEachPoint WRITE SetColorEachPoint)
    Q_CLASSINFO("default:ColorEachPoint", "true")
    Q_PROPERTY(int ConePercent READ ConePercent WRITE SetConePercent)
    Q_CLASSINFO("default:ConePercent", "30")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TChartPen* LinesPen READ LinesPen WRITE SetLinesPen)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    // The X and Y lists: the General tab's Sort sets the X list's order, the
    // function page the source list the Y values come from, and a source's
    // dates make the lists date-times; all of it is kept with the chart.
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)

public:
    explicit TVolumePipeSeries(TComponent* AOwner = nullptr);
    ~TVolumePipeSeries() override;

    QString GetEditorClassName() const override { return QStringLiteral("TVolumePipeSeriesEditor"); }

    // Drawing clamps a value above 100 to 100 and stores it.
    int ConePercent() const { return FConePercent; }
    void SetConePercent(int Value) { SetIntegerProperty(FConePercent, Value); }
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TPlotGradient* Value);
    TChartPen* LinesPen() const { return FLinesPen.get(); }
    void SetLinesPen(const TChartPen* Value) { FLinesPen->Assign(Value); }

    // The pipe's outline in a chart rectangle: P0 top left, P1 top right,
    // P2 bottom right, P3 bottom left.
    using TQuad = std::array<TPoint, 4>;
    TQuad CalcOutline(const TRect& Chart) const;
    // The x offset from the left end where the running total up to point
    // ValueIndex ends, for Outline (0 with a zero total).
    int BoundaryOffset(int ValueIndex, const TQuad& Outline) const;
    // The sections of the last drawing: point index and polygon.
    struct TSection {
        int ValueIndex = 0;
        TQuad Polygon;
    };
    const std::vector<TSection>& Sections() const { return FSections; }

    // --- Series protocol ---

    bool UseAxis() const override { return false; }
    void DoBeforeDrawChart() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override { (void)ValueIndex; }
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    int Clicked(int X, int Y) override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    int NumSampleValues() const override { return 5; }

private:
    // The boundary where the running total Cum ends.
    int OffsetOfRunningTotal(double Cum, const TQuad& Outline) const;
    // The chart rectangle with its top below the tallest visible mark.
    TRect PipeRect();
    void FillSection(int ValueIndex, const TQuad& Polygon);

    std::vector<TSection> FSections;
    std::unique_ptr<TPlotGradient> FGradient;
    std::unique_ptr<TChartPen> FLinesPen;
    int FConePercent = 30;
};

// "VolumePipe" on the "Stats" page.
void RegisterVolumePipeSeries();
void UnregisterVolumePipeSeries();

} // namespace lp
