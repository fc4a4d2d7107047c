// The cursor page: snapping and the series' Z wait for a series; the click
// tolerance takes 0 .. 1000 and nothing typed outside that.

#include "chart/editors/tools/CursorToolPage.h"

#include "ToolPageTestSupport.h"
#include "chart/extensions/tools/PlotCursorTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

TEST(CursorToolPage, SnapAndSeriesZNeedASeries)
{
    TEditorChart chart;
    test::AddSampleSeries(chart, QStringLiteral("Line"));
    auto* tool = test::AddChartTool<TCursorTool>(chart);
    auto page = test::ShowToolPage<TCursorToolEditor>(tool);
    EXPECT_FALSE(page->CBSnap->isEnabled());
    EXPECT_FALSE(page->CBZ->isEnabled());
    test::PickEntry(page->CBSeries, 1);
    EXPECT_TRUE(page->CBSnap->isEnabled());
    EXPECT_TRUE(page->CBZ->isEnabled());
    test::ClickNearLeftEdge(page->CBSnap);
    EXPECT_EQ(tool->Snap(), !TCursorTool().Snap());
    // Shown again on a tool with a series: enabled at once.
    auto again = test::ShowToolPage<TCursorToolEditor>(tool);
    EXPECT_TRUE(again->CBSnap->isEnabled());
    test::PickEntry(again->CBSeries, 0);
    EXPECT_FALSE(again->CBSnap->isEnabled());
}

TEST(CursorToolPage, ToleranceBeyondTheRangeEmptyOrMinusStoresNothing)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TCursorTool>(chart);
    tool->SetClickTolerance(3);
    auto page = test::ShowToolPage<TCursorToolEditor>(tool);
    test::TMessageCounter messages;
    QLineEdit* edit = page->UDClick->findChild<QLineEdit*>();
    page->UDClick->setFocus();
    edit->selectAll();
    QTest::keyClicks(page->UDClick, QStringLiteral("1001"));
    EXPECT_LE(tool->ClickTolerance(), 1000);
    edit->selectAll();
    QTest::keyClick(page->UDClick, Qt::Key_Delete);
    const int afterEmpty = tool->ClickTolerance();
    QTest::keyClicks(page->UDClick, QStringLiteral("-"));
    EXPECT_EQ(tool->ClickTolerance(), afterEmpty);
    edit->selectAll();
    QTest::keyClicks(page->UDClick, QStringLiteral("40"));
    EXPECT_EQ(tool->ClickTolerance(), 40);
    EXPECT_EQ(messages.Count, 0);
}

} // namespace
} // namespace lp
