// The reference picture of the reading tools together: zebra grid bands on
// the left axis, a translucent colour band across the bottom axis, a colour
// line on the left axis and a cursor cross-hair snapped to a point.

#include "chart/extensions/tools/PlotColorBandTool.h"
#include "chart/extensions/tools/PlotColorLineTool.h"
#include "chart/extensions/tools/PlotCursorTool.h"
#include "chart/extensions/tools/PlotGridBandTool.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotSeries.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(ToolsPicture, CursorColourLineBandAndGridBands)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    Chart.SetColor(clWhite);
    auto* Series = new TLineSeries(&Chart);
    Chart.AddSeries(Series);
    Series->SetSeriesColor(clNavy);
    const double Values[] = {20, 35, 30, 55, 45, 70, 60, 80};
    for (const double V : Values)
        Series->Add(V);

    auto* Grid = new TGridBandTool(&Chart);
    Grid->SetAxis(Chart.LeftAxis());
    Grid->Band1()->SetColor(static_cast<TColor>(0xF0E8E0));
    Grid->Band2()->SetColor(static_cast<TColor>(0xFFFFFF));

    auto* Band = new TColorBandTool(&Chart);
    Band->SetAxis(Chart.BottomAxis());
    Band->SetStartValue(2.5);
    Band->SetEndValue(4.5);
    Band->SetColor(static_cast<TColor>(0x60C0FF));
    Band->SetTransparency(40);

    auto* Line = new TColorLineTool(&Chart);
    Line->SetAxis(Chart.LeftAxis());
    Line->SetValue(50);
    Line->Pen()->SetColor(clRed);
    Line->Pen()->SetWidth(2);

    auto* Cursor = new TCursorTool(&Chart);
    Chart.Tools().Add(Cursor);
    Cursor->SetSeries(Series);
    Cursor->SetSnap(true);
    Cursor->Pen()->SetColor(clGreen);

    // A paint into the chart's buffer, then the cursor moved over it: the
    // cross-hair is drawn into the buffer, as between two window paints.
    TBitmap Window(400, 300);
    Chart.DrawToCanvas(&Window.Canvas(), Chart.ClientRect());
    ASSERT_NE(Chart.Canvas().Bitmap(), nullptr);
    Cursor->SetFollowMouse(true);
    Cursor->ChartMouseEvent(cmeMove, mbLeft, {}, Chart.BottomAxis()->CalcPosValue(5.1),
                            Chart.LeftAxis()->CalcPosValue(68));
    EXPECT_DOUBLE_EQ(Cursor->XValue(), 5);
    EXPECT_DOUBLE_EQ(Cursor->YValue(), 70);
    EXPECT_TRUE(test::MatchesReference(Chart.Canvas().Bitmap()->Image(), "tools", "cursor-line-band-grid"));
}

} // namespace
} // namespace lp
