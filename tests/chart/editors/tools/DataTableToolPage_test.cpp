// The data table page: an automatic position disables the left and top
// boxes, which write only when it is off; the legend's symbol and both
// fonts are edited in place.

#include "chart/editors/tools/DataTableToolPage.h"

#include "ToolPageTestSupport.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/effects/SymbolEditor.h"
#include "chart/extensions/tools/PlotDataTableTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

TEST(DataTableToolPage, AutomaticPositionDisablesLeftAndTop)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TDataTableTool>(chart);
    tool->SetLeft(30);
    auto page = test::ShowToolPage<TDataTableEditor>(tool);
    EXPECT_EQ(page->PageControl1->currentIndex(), 0);
    EXPECT_TRUE(page->CBAutoPos->isChecked());
    EXPECT_FALSE(page->UDLeft->isEnabled());
    EXPECT_FALSE(page->UDTop->isEnabled());
    test::ClickNearLeftEdge(page->CBAutoPos);
    EXPECT_FALSE(tool->AutoPosition());
    ASSERT_TRUE(page->UDLeft->isEnabled());
    EXPECT_EQ(page->UDLeft->value(), 30);
    page->UDLeft->setFocus();
    QTest::keyClick(page->UDLeft, Qt::Key_Up);
    EXPECT_EQ(tool->Left(), 31);
    test::ClickNearLeftEdge(page->CBAutoPos);
    EXPECT_TRUE(tool->AutoPosition());
    EXPECT_FALSE(page->UDLeft->isEnabled());
}

TEST(DataTableToolPage, SymbolAndFontsEditTheToolsOwn)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TDataTableTool>(chart);
    auto page = test::ShowToolPage<TDataTableEditor>(tool);
    EXPECT_EQ(page->SymbolEditor->Target(), tool->Legend()->Symbol());
    EXPECT_EQ(page->FontEditor->Target(), tool->Font());
    EXPECT_EQ(page->LegendFontEditor->Target(), tool->Legend()->Font());
    EXPECT_EQ(page->PageControl2->tabText(1), QStringLiteral("Symbol"));
}

} // namespace
} // namespace lp
