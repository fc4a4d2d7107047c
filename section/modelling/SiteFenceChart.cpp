#include "section/modelling/SiteFenceChart.h"

#include "chart/engine/PlotAxis.h"
#include "chart/extensions/tools/PlotRotateTool.h"
#include "section/modelling/SiteFenceSeries.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The colour bar's width and its place left of the chart's right edge
// (room for its labels right of it).
constexpr int BarWidth = 14;
constexpr int BarRoom = 90;

} // namespace

TSiteFenceChart::TSiteFenceChart(TComponent* AOwner) : TChart(AOwner)
{
    SetView3D(true);
    View3DOptions()->SetOrthogonal(false);
    // The depth (north) as long as the width (east): a site's lines span
    // both alike.
    SetChart3DPercent(100);
    Legend()->SetVisible(false);
    // Pale walls: no wall colour is taken for a resistivity.
    LeftWall()->SetColor(0xF4F4F4);
    BottomWall()->SetColor(0xF4F4F4);
    // The left button turns the view; neither the zoom rectangle nor the
    // scrolling drag stands in its way.
    SetAllowZoom(false);
    SetAllowPanning(pmNone);
    SetMarginUnits(muPixels);
    SetMarginRight(BarRoom);
    // Room for the turned box's corners and the elevation's labels.
    SetMarginLeft(45);
    SetMarginTop(30);
    SetMarginBottom(30);
    BottomAxis()->Title()->SetCaption(QStringLiteral("East (m)"));
    LeftAxis()->Title()->SetCaption(QStringLiteral("Elevation (m)"));
    DepthAxis()->SetVisible(true);
    DepthAxis()->Title()->SetCaption(QStringLiteral("North (m)"));
    FFence = new TSiteFenceSeries(this);
    FFence->SetParentChart(this);
    FRotate = new TRotateTool(this);
    Tools().Add(FRotate);
    ResetView();
    OnAfterDraw = [this](TCustomPlotPanelExtended*) {
        if (!FColour)
            return;
        const TRect plot = ChartRectangle();
        const int left = Width() - BarRoom + 10;
        DrawSiteColorBar(Canvas(), TRect{left, plot.Top + 20, left + BarWidth, plot.Bottom - 10}, FLow, FHigh,
                         FColour, QStringLiteral("ohm-m"));
    };
}

void TSiteFenceChart::ResetView()
{
    TView3DOptions& view = *View3DOptions();
    view.SetRotationFloat(StartRotation);
    view.SetElevationFloat(StartElevation);
    view.SetZoom(StartZoom);
    view.SetHorizOffset(0);
    view.SetVertOffset(0);
    Invalidate();
}

void TSiteFenceChart::FitElevation()
{
    TChartAxis& axis = *LeftAxis();
    if (FFence->Count() == 0) {
        axis.SetAutomatic(true);
        return;
    }
    const double width = std::max(FFence->MaxXValue() - FFence->MinXValue(), FFence->MaxZValue() - FFence->MinZValue());
    const double top = FFence->MaxYValue(), bottom = FFence->MinYValue();
    const double span = std::max(top - bottom, HeightPerWidth * width);
    if (!std::isfinite(span) || span <= 0.0) {
        axis.SetAutomatic(true);
        return;
    }
    axis.SetMinMax(top - span, top + 0.02 * span);
    Invalidate();
}

void TSiteFenceChart::SetColourScale(double Low, double High, TValueColour Colour)
{
    FLow = Low;
    FHigh = High;
    FColour = Low > 0.0 && High > Low ? std::move(Colour) : TValueColour{};
    Invalidate();
}

bool TSiteFenceChart::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos)
{
    (void)Shift;
    (void)MousePos;
    if (WheelDelta == 0)
        return false;
    TView3DOptions& view = *View3DOptions();
    const int zoom = view.Zoom();
    const int step = std::max(1, zoom * WheelStep / 100);
    view.SetZoom(std::clamp(WheelDelta > 0 ? zoom + step : zoom - step, 10, 1000));
    Invalidate();
    return true;
}

} // namespace lp
