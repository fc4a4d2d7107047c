// The series and axis tool pages: the series list with "(none)" first and
// only the series shown in editors, usable while the chart has any series;
// the axis list with the custom axes after the four side axes, and the pen
// button only for tools with a pen.

#include "chart/editors/tools/ToolEditorBases.h"

#include "ToolPageTestSupport.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/extensions/tools/PlotColorLineTool.h"
#include "chart/extensions/tools/PlotGridBandTool.h"

#include <QtWidgets/QComboBox>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

TEST(SeriesToolPage, ListsTheChartsSeriesAfterNoneAndWritesTheChoice)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TPlotCustomToolSeries>(chart);
    {
        auto page = test::ShowToolPage<TSeriesToolEditor>(tool);
        // A chart without series: a disabled list reading "(none)".
        EXPECT_FALSE(page->CBSeries->isEnabled());
        EXPECT_EQ(page->CBSeries->currentText(), QStringLiteral("(none)"));
    }
    TLineSeries* first = test::AddSampleSeries(chart, QStringLiteral("First"));
    TLineSeries* hidden = test::AddSampleSeries(chart, QStringLiteral("Hidden"));
    hidden->SetShowInEditor(false);
    TLineSeries* third = test::AddSampleSeries(chart, QStringLiteral("Third"));
    auto page = test::ShowToolPage<TSeriesToolEditor>(tool);
    ASSERT_TRUE(page->CBSeries->isEnabled());
    ASSERT_EQ(page->CBSeries->count(), 3);
    EXPECT_EQ(page->CBSeries->itemText(2), QStringLiteral("Third"));
    const int paints = chart.Invalidations;
    test::PickEntry(page->CBSeries, 2);
    EXPECT_EQ(tool->Series(), third);
    EXPECT_GT(chart.Invalidations, paints);
    test::PickEntry(page->CBSeries, 0);
    EXPECT_EQ(tool->Series(), nullptr);
    (void)first;
    // A series not shown in editors selects no entry.
    tool->SetSeries(hidden);
    page->Refresh();
    EXPECT_EQ(page->CBSeries->currentIndex(), -1);
}

// The series list was disabled while the chart's series were all hidden
// from editors, so a tool on such a series could not be let go of.
TEST(SeriesToolPage, SeriesAllHiddenFromEditorsLeaveNoneToPick)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TPlotCustomToolSeries>(chart);
    TLineSeries* hidden = test::AddSampleSeries(chart, QStringLiteral("Hidden"));
    hidden->SetShowInEditor(false);
    tool->SetSeries(hidden);
    auto page = test::ShowToolPage<TSeriesToolEditor>(tool);
    ASSERT_TRUE(page->CBSeries->isEnabled());
    ASSERT_EQ(page->CBSeries->count(), 1);
    EXPECT_EQ(page->CBSeries->currentIndex(), -1);
    test::PickEntry(page->CBSeries, 0);
    EXPECT_EQ(tool->Series(), nullptr);
    EXPECT_EQ(page->CBSeries->currentText(), QStringLiteral("(none)"));
}

TEST(AxisToolPage, CustomAxesFollowTheSideAxesWithoutTheDepthAxes)
{
    TEditorChart chart;
    auto* custom0 = new TChartAxis(&chart.CustomAxes());
    auto* custom1 = new TChartAxis(&chart.CustomAxes());
    auto* tool = test::AddChartTool<TColorLineTool>(chart);
    tool->SetAxis(custom1);
    auto page = test::ShowToolPage<TAxisToolEditor>(tool);
    ASSERT_EQ(page->CBAxis->count(), 6);
    EXPECT_EQ(page->CBAxis->itemText(4), QStringLiteral("Custom 0"));
    EXPECT_EQ(page->CBAxis->currentIndex(), 5);
    test::PickEntry(page->CBAxis, 4);
    EXPECT_EQ(tool->Axis(), custom0);
    test::PickEntry(page->CBAxis, 3);
    EXPECT_EQ(tool->Axis(), chart.BottomAxis());
    EXPECT_EQ(page->AxisAt(1), chart.RightAxis());
    EXPECT_EQ(page->AxisAt(6), nullptr);
    EXPECT_EQ(page->IndexOfAxis(chart.DepthAxis()), -1);
    // The tool's pen is the border button's.
    EXPECT_TRUE(page->BPen->isVisible());
    EXPECT_EQ(page->BPen->Pen(), tool->Pen());
}

TEST(AxisToolPage, AToolWithoutAPenHasNoBorderButton)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TGridBandTool>(chart);
    tool->SetAxis(chart.LeftAxis());
    auto page = test::ShowToolPage<TAxisToolEditor>(tool);
    EXPECT_FALSE(page->BPen->isVisible());
    EXPECT_TRUE(page->CBAxis->isEnabled());
}

TEST(ToolPageNumbers, TextsReadAsNumbersOrNothing)
{
    double value = 7;
    EXPECT_FALSE(ReadNumber(QStringLiteral("x"), value));
    EXPECT_FALSE(ReadNumber(QString(), value));
    EXPECT_FALSE(ReadNumber(QStringLiteral("-"), value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(ReadNumber(QStringLiteral(" -2.5 "), value));
    EXPECT_EQ(value, -2.5);
    int whole = 3;
    EXPECT_FALSE(ReadWholeNumber(QStringLiteral("1.5"), whole));
    EXPECT_EQ(whole, 3);
}

} // namespace
} // namespace lp
