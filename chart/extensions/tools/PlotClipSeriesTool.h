#pragma once
// The clip series tool: clips the drawing of its series to the rectangle of
// the series' own axes, so that a series on custom axes covering part of the
// chart draws nothing outside them. It takes over the series'
// BeforeDrawValues and AfterDrawValues events (whatever handlers they had)
// and clears both when it lets go of the series.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"

namespace lp {

class TClipSeriesTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)

public:
    explicit TClipSeriesTool(TComponent* AOwner = nullptr);
    // Clears the draw events of its series.
    ~TClipSeriesTool() override;

    // "Clip Series".
    QString Description() const override;

    // Clears the old series' draw events and takes over the new one's.
    void SetSeries(TChartSeries* Value) override;

    // Before the series draws: the canvas clips to its axes' rectangle, when
    // the chart clips its series.
    void ClipSeries();
    // After the series drew: the clip of ClipSeries ends.
    void UnClipSeries();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Unhook();

    bool FClipped = false;
};

} // namespace lp
