#pragma once
// Small helpers shared by the circular series' sources.

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "platform/base/Numeric.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lp::circular {

inline constexpr double DegToRad = std::numbers::pi / 180.0;

// The shortest decimal text of a number ("0.2", "-1.5", "10").
inline QString ShortestText(double Value)
{
    return QString::number(Value, 'g', 15);
}

// The chart rectangle less Horiz pixels left and right and Vert pixels at
// top and bottom (room for labels around a circle); the series' circle is
// computed from the result.
inline TRect ShrinkChartRectangle(TCustomAxisPanel& Chart, int Horiz, int Vert)
{
    TRect R = Chart.ChartRectangle();
    R.Left += Horiz;
    R.Right -= Horiz;
    R.Top += Vert;
    R.Bottom -= Vert;
    Chart.SetChartRectangle(R);
    Chart.RecalcWidthHeight();
    return R;
}

// The canvas brush and pen of a circle's background: solid in BackColor
// unless it is clPlotColor or clNone, the outline in Pen.
inline void PrepareCircleBackground(TPlotCanvas3D& Canvas, TColor BackColor, const TChartPen& Pen)
{
    if (BackColor != clPlotColor && BackColor != clNone) {
        Canvas.Brush()->SetStyle(TBrush::bsSolid);
        Canvas.Brush()->SetColor(BackColor);
    } else
        Canvas.Brush()->SetStyle(TBrush::bsClear);
    if (Pen.Visible())
        Canvas.AssignVisiblePen(Pen);
    else
        Canvas.Pen()->SetStyle(TPen::psClear);
}

// The gallery view of round series: 3-D depth 5 per cent, no labels on the
// right and top axes, tilted neither way, zoomed to 90 per cent.
inline void PrepareRoundGalleryView(TCustomAxisPanel& Chart)
{
    Chart.SetChart3DPercent(5);
    Chart.RightAxis()->SetLabels(false);
    Chart.TopAxis()->SetLabels(false);
    TView3DOptions& View = *Chart.View3DOptions();
    View.SetOrthogonal(false);
    View.SetElevation(360);
    View.SetZoom(90);
}

// Whether Series is the first (or, with Last, the last) active series of
// its own class in its chart's list.
inline bool IsEndOfClass(const TChartSeries& Series, bool Last)
{
    const TCustomAxisPanel* Chart = Series.ParentChart();
    if (!Chart)
        return true;
    const TChartSeries* Found = nullptr;
    for (const TChartSeries* S : Chart->SeriesList())
        if (S->Active() && S->metaObject() == Series.metaObject()) {
            Found = S;
            if (!Last)
                break;
        }
    return Found == &Series;
}

// The chart's step before its axes are drawn (its OnBeforeDrawAxes), run
// by series that draw axis-like frames of their own.
inline void RunBeforeDrawAxes(TCustomAxisPanel& Chart)
{
    if (Chart.OnBeforeDrawAxes)
        Chart.OnBeforeDrawAxes(&Chart);
}

} // namespace lp::circular
