#pragma once
// The fence's chart: the site's images standing on their tracks in the
// chart's turned 3-D view (x east across, the elevation up, y north into
// the depth), turned by dragging with the left button (the engine's rotate
// tool) and zoomed by the wheel (the view's own 3-D zoom), with the common
// colour scale's bar in its right margin.
//
//   TSiteFenceChart ──owns──> TSiteFenceSeries (the cells), TRotateTool

#include "chart/engine/PlotChart.h"
#include "section/modelling/SiteCharts.h"

namespace lp {

class TRotateTool;
class TSiteFenceSeries;

class TSiteFenceChart : public TChart {
    Q_OBJECT
public:
    // The view's angles when the chart opens and after ResetView: seen from
    // the south-west, from above.
    static constexpr double StartRotation = 320.0;
    static constexpr double StartElevation = 325.0;
    static constexpr int StartZoom = 90;
    // The wheel's step of the 3-D zoom, in per cent of the zoom.
    static constexpr int WheelStep = 10;

    explicit TSiteFenceChart(TComponent* AOwner = nullptr);

    TSiteFenceSeries* Fence() const { return FFence; }
    TRotateTool* Rotate() const { return FRotate; }
    // The angles and zoom the chart opened with.
    void ResetView();
    // The elevation axis spanning at least HeightPerWidth of the site's
    // width on the map (a fence of images a few metres deep under lines
    // tens of metres long stands low, not stretched up the whole box, and
    // a view from above sees the images behind the nearest); the images
    // stand at its top. Automatic again without cells.
    static constexpr double HeightPerWidth = 0.5;
    void FitElevation();
    // The colour bar's scale (ohm-m, low to high) and colours; none drawn
    // while Low is not above 0.
    void SetColourScale(double Low, double High, TValueColour Colour);

    // The wheel zooms the view (up in, down out) within 10 .. 1000 %.
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) override;

private:
    TSiteFenceSeries* FFence = nullptr;
    TRotateTool* FRotate = nullptr;
    double FLow = 0.0, FHigh = 0.0;
    TValueColour FColour;
};

} // namespace lp
