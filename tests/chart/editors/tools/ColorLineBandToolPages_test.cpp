// The colour line and band pages: a value edit keeps its value on a text
// that is no number; a style other than "Custom" disables the value and
// the line follows the axis; the band's edges and cursor.

#include "chart/editors/tools/ColorLineBandToolPages.h"

#include "ToolPageTestSupport.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/extensions/tools/PlotColorBandTool.h"
#include "chart/extensions/tools/PlotColorLineTool.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

TEST(ColorLineToolPage, ALetterKeepsTheValueAndAxisMaximumDisablesIt)
{
    TEditorChart chart;
    test::AddSampleSeries(chart);
    auto* tool = test::AddChartTool<TColorLineTool>(chart);
    tool->SetAxis(chart.LeftAxis());
    tool->SetValue(12.5);
    auto page = test::ShowToolPage<TColorLineToolEditor>(tool);
    EXPECT_EQ(page->EValue->text(), QStringLiteral("12.5"));
    page->EValue->setFocus();
    QTest::keyClick(page->EValue, Qt::Key_End);
    QTest::keyClicks(page->EValue, QStringLiteral("x"));
    EXPECT_EQ(tool->Value(), 12.5);
    page->EValue->selectAll();
    QTest::keyClicks(page->EValue, QStringLiteral("-3"));
    EXPECT_EQ(tool->Value(), -3);

    page->PageControl1->setCurrentIndex(0);
    test::PickEntry(page->CBStyle, 1);
    EXPECT_EQ(tool->Style(), TColorLineTool::clMaximum);
    EXPECT_FALSE(page->EValue->isEnabled());
    EXPECT_EQ(tool->EffectiveValue(), chart.LeftAxis()->Maximum());
    test::PickEntry(page->CBStyle, 0);
    EXPECT_TRUE(page->EValue->isEnabled());
}

TEST(ColorBandToolPage, ValuesEdgesAndCursor)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TColorBandTool>(chart);
    tool->SetAxis(chart.LeftAxis());
    tool->SetStartValue(1);
    tool->SetEndValue(2);
    auto page = test::ShowToolPage<TColorBandToolEditor>(tool);
    page->EEnd->setFocus();
    page->EEnd->selectAll();
    QTest::keyClicks(page->EEnd, QStringLiteral("abc"));
    EXPECT_EQ(tool->EndValue(), 2);
    page->EStart->selectAll();
    QTest::keyClicks(page->EStart, QStringLiteral("0.5"));
    EXPECT_EQ(tool->StartValue(), 0.5);
    EXPECT_EQ(page->BStart->Pen(), tool->StartLinePen());
    EXPECT_EQ(page->BEnd->Pen(), tool->EndLinePen());
    // The cursor list ends with the chart's hand.
    page->PageControl1->setCurrentIndex(1);
    test::PickEntry(page->CBCursor, page->CBCursor->count() - 1);
    EXPECT_EQ(page->CBCursor->currentText(), QStringLiteral("PlotHand"));
    EXPECT_EQ(tool->Cursor(), crPlotHand);
}

} // namespace
} // namespace lp
