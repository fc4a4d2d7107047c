#pragma once
// The series band tool: fills the area between two series as one polygon,
// behind both series or in front of them, with the brush, a gradient and a
// transparency.
//
// The tool takes over the two series' BeforeDrawValues and AfterDrawValues
// events (handlers the user set there are replaced while it is attached):
// behind the series the band is drawn when the first of the pair is about
// to draw, in front when the second has drawn. Once per chart paint: the
// marks are cleared at the before-series stage (event 1).

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

#include <memory>

namespace lp {

class TPlotGradient;

class TSeriesBandTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool DrawBehindSeries READ DrawBehindSeries WRITE SetDrawBehindSeries)
    Q_CLASSINFO("default:DrawBehindSeries", "true")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)
    Q_PROPERTY(lp::TChartSeries* Series2 READ Series2 WRITE SetSeries2)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    // A white brush, a hidden pen and a hidden gradient.
    explicit TSeriesBandTool(TComponent* AOwner = nullptr);
    ~TSeriesBandTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TSeriesBandToolEdit"); }
    // "Series Band".
    QString Description() const override;

    bool DrawBehindSeries() const { return FDrawBehindSeries; }
    void SetDrawBehindSeries(bool Value) { SetBooleanProperty(FDrawBehindSeries, Value); }
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TPlotGradient* Value);
    // Per cent, 0 .. 100 (clamped).
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

    // Each setter moves the draw hooks from the old series to the new one.
    void SetSeries(TChartSeries* Value) override;
    TChartSeries* Series2() const { return FSeries2; }
    virtual void SetSeries2(TChartSeries* Value);

    // Clears the marks of both series before the series draw (event 1).
    void ChartEvent(int Event) override;
    // The band's outline: Series' visible points first to last, then
    // Series2's last to first, in pixels; empty unless both have visible
    // points.
    TPointArray BandPoints() const;
    // Draws the band (active, on a chart, both series set).
    virtual void DrawBand();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void InstallHooks(TChartSeries* Target);
    void ClearHooks(TChartSeries* Target);
    void SeriesDrawing(QObject* Sender, bool After);

    bool FDrawBehindSeries = true;
    std::unique_ptr<TPlotGradient> FGradient;
    int FTransparency = 0;
    TChartSeries* FSeries2 = nullptr;
    bool FDrawn1 = false;
    bool FDrawn2 = false;
    // The series being destroyed: its hooks go with it.
    TComponent* FGoing = nullptr;
};

void RegisterSeriesBandTool();
void UnregisterSeriesBandTool();

} // namespace lp
