// The mouse-button choices of the rotate page ("Left", "Middle", "Right")
// and of the draw line page ("Left", "Right", "Middle", stored as they
// stand).

#include "chart/editors/tools/RotateToolPage.h"

#include "ToolPageTestSupport.h"
#include "chart/editors/tools/DrawLineToolPage.h"
#include "chart/extensions/tools/PlotDrawLineTool.h"
#include "chart/extensions/tools/PlotRotateTool.h"

#include <QtWidgets/QComboBox>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

TEST(MouseButtonChoices, RotateMapsTheMiddleEntryToTheMiddleButton)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TRotateTool>(chart);
    auto page = test::ShowToolPage<TRotateToolEditor>(tool);
    ASSERT_EQ(page->CBButton->count(), 3);
    EXPECT_EQ(page->CBButton->itemText(1), QStringLiteral("Middle"));
    const TMouseButton expected[] = {TControl::mbLeft, TControl::mbMiddle, TControl::mbRight};
    for (int entry : {1, 2, 0}) {
        test::PickEntry(page->CBButton, entry);
        EXPECT_EQ(tool->Button(), expected[entry]) << entry;
    }
    tool->SetButton(TControl::mbRight);
    page->Refresh();
    EXPECT_EQ(page->CBButton->currentIndex(), 2);
}

TEST(MouseButtonChoices, DrawLineStoresTheEntryAsTheButton)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TDrawLineTool>(chart);
    auto page = test::ShowToolPage<TDrawLineEdit>(tool);
    EXPECT_EQ(page->CBButton->itemText(1), QStringLiteral("Right"));
    const int paints = chart.Invalidations;
    test::PickEntry(page->CBButton, 2);
    EXPECT_EQ(tool->Button(), TControl::mbMiddle);
    test::PickEntry(page->CBButton, 1);
    EXPECT_EQ(tool->Button(), TControl::mbRight);
    // A field: stored without a repaint.
    EXPECT_EQ(chart.Invalidations, paints);
}

} // namespace
} // namespace lp
