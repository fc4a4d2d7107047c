// The marks tip and dragged marks pages: "(all)" stands for a tool without
// a series and "(none)" leaves it without one; "Reset positions" with
// "(all)" returns every moved mark of every series to its place.

#include "chart/editors/tools/MarksToolPages.h"

#include "ToolPageTestSupport.h"
#include "chart/engine/PlotMarks.h"
#include "chart/extensions/tools/PlotDragMarksTool.h"
#include "chart/extensions/tools/PlotMarksTipTool.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

// Marks the mark at Index of Series as moved by the user.
void MoveMark(TChartSeries& Series, int Index)
{
    TSeriesMarkPosition position;
    position.UserMoved = true;
    Series.Marks()->Positions().SetPosition(Index, position);
}

bool MarkMoved(const TChartSeries& Series, int Index)
{
    const TSeriesMarkPosition* position = Series.Marks()->Positions().GetPosition(Index);
    return position && position->UserMoved;
}

TEST(DragMarksToolPage, ResetWithAllReturnsEveryMarkOfEverySeries)
{
    TEditorChart chart;
    TLineSeries* first = test::AddSampleSeries(chart, QStringLiteral("First"));
    TLineSeries* second = test::AddSampleSeries(chart, QStringLiteral("Second"));
    auto* tool = test::AddChartTool<TDragMarksTool>(chart);
    auto page = test::ShowToolPage<TDragMarksToolEditor>(tool);
    EXPECT_EQ(page->CBSeries->currentText(), QStringLiteral("(all)"));
    EXPECT_EQ(page->CBSeries->itemText(1), QStringLiteral("(none)"));
    MoveMark(*first, 1);
    MoveMark(*second, 2);
    QTest::mouseClick(page->Button1, Qt::LeftButton);
    EXPECT_FALSE(MarkMoved(*first, 1));
    EXPECT_FALSE(MarkMoved(*second, 2));

    // With a series, only its marks.
    test::PickEntry(page->CBSeries, 2);
    EXPECT_EQ(tool->Series(), first);
    MoveMark(*first, 1);
    MoveMark(*second, 2);
    QTest::mouseClick(page->Button1, Qt::LeftButton);
    EXPECT_FALSE(MarkMoved(*first, 1));
    EXPECT_TRUE(MarkMoved(*second, 2));
}

TEST(MarksTipToolPage, AllComesBeforeNoneAndBothLeaveTheToolWithoutASeries)
{
    TEditorChart chart;
    TLineSeries* series = test::AddSampleSeries(chart, QStringLiteral("Line"));
    auto* tool = test::AddChartTool<TMarksTipTool>(chart);
    tool->SetSeries(series);
    auto page = test::ShowToolPage<TMarksTipToolEdit>(tool);
    EXPECT_EQ(page->CBSeries->currentIndex(), 2);
    EXPECT_EQ(page->CBMarkStyle->count(), 10);
    EXPECT_EQ(page->CBMarkStyle->itemText(9), QStringLiteral("X and Y values"));
    test::PickEntry(page->CBSeries, 1);
    EXPECT_EQ(tool->Series(), nullptr);
    EXPECT_EQ(page->CBSeries->currentIndex(), 1);
    // Shown again, a tool without a series shows "(all)".
    page->Refresh();
    EXPECT_EQ(page->CBSeries->currentIndex(), 0);
    test::PickEntry(page->CBSeries, 2);
    EXPECT_EQ(tool->Series(), series);
    test::PickEntry(page->CBSeries, 0);
    EXPECT_EQ(tool->Series(), nullptr);
}

} // namespace
} // namespace lp
