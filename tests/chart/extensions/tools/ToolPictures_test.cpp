// Reference pictures of the tools on a small bar chart: an annotation with
// its callout, a rectangle, drawn lines with one selected, axis arrows.

#include "chart/extensions/tools/PlotAnnotationTool.h"
#include "chart/extensions/tools/PlotAxisArrowTool.h"
#include "chart/extensions/tools/PlotDrawLineTool.h"
#include "chart/extensions/tools/PlotRectangleTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotBarSeries.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TPictureChart : test::TToolChart {
    TPictureChart()
    {
        auto* Bars = new TBarSeries(&Chart);
        Chart.AddSeries(Bars);
        for (const double V : {35, 70, 50, 85, 20})
            Bars->Add(V);
        Chart.BottomAxis()->SetAutomatic(true);
        Paint();
    }
};

TEST(ToolPictures, AnnotationWithCallout)
{
    TPictureChart F;
    auto* Tool = new TAnnotationTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    Tool->SetText(QStringLiteral("Highest bar") + PlotLineSeparator + QStringLiteral("85"));
    Tool->SetTextAlignment(TChartTitle::taCenter);
    Tool->Shape()->SetColor(clYellow);
    Tool->Shape()->SetLeft(150);
    Tool->Shape()->SetTop(20);
    Tool->Callout()->Arrow()->SetVisible(true);
    Tool->Callout()->Arrow()->SetColor(clNavy);
    Tool->Callout()->SetArrowHead(ahSolid);
    Tool->Callout()->SetXPosition(F.Chart.BottomAxis()->CalcPosValue(3));
    Tool->Callout()->SetYPosition(F.Chart.LeftAxis()->CalcPosValue(85) - 4);
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "annotation-callout"));
}

TEST(ToolPictures, Rectangle)
{
    TPictureChart F;
    auto* Tool = new TRectangleTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    Tool->Shape()->SetShapeBounds(TRect{120, 60, 259, 179});
    Tool->Shape()->SetColor(clBlue);
    Tool->SetText(QStringLiteral("Area"));
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "rectangle"));
}

TEST(ToolPictures, DrawnLinesWithOneSelected)
{
    TPictureChart F;
    auto* Tool = new TDrawLineTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    Tool->Pen()->SetColor(clNavy);
    Tool->Pen()->SetWidth(2);
    const struct {
        double X0, Y0, X1, Y1;
        TDrawLineStyle Style;
    } Lines[] = {{-0.4, 30, 4.4, 80, dlLine}, {0.5, 60, 2.5, 90, dlHorizParallel}, {3, 10, 4, 40, dlVertParallel}};
    for (const auto& L : Lines) {
        TDrawLine* Line = Tool->Lines()->Add();
        Line->SetX0(L.X0);
        Line->SetY0(L.Y0);
        Line->SetX1(L.X1);
        Line->SetY1(L.Y1);
        Line->SetStyle(L.Style);
    }
    Tool->Lines()->Items(1)->Pen()->SetColor(clGreen);
    Tool->SetSelected(Tool->Lines()->Items(0));
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "draw-lines"));
}

TEST(ToolPictures, AxisArrows)
{
    TPictureChart F;
    for (TChartAxis* Axis : {F.Chart.LeftAxis(), F.Chart.BottomAxis()}) {
        auto* Tool = new TAxisArrowTool(&F.Chart);
        Tool->SetAxis(Axis);
        Tool->Brush()->SetColor(clRed);
    }
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "axis-arrows"));
}

} // namespace
} // namespace lp
