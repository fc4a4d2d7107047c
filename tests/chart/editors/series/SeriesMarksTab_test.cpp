// The series page's "Marks" tab: the multi-line rule, "All Series Visible"
// recomputed without writing, typed intervals and angles, the symbol page
// with its visibility box, the marks' shape tabs moved in once, and the
// marks' visibility kept by the chart file.

#include "chart/editors/series/SeriesMarksTab.h"

#include "../EditorTestSupport.h"
#include "../ReopenedChart.h"
#include "../axis/AxisDialogTestSupport.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

class SeriesMarksTabTest : public ::testing::Test {
protected:
    SeriesMarksTabTest()
    {
        for (int i = 0; i < 3; ++i) {
            auto* series = new TLineSeries(&Chart);
            Chart.AddSeries(series);
            series->FillSampleValues(5);
            series->Marks()->SetVisible(true);
        }
        Page.SetTarget(Chart.Series(0));
        Page.show();
        Page.SetActiveTab(QStringLiteral("Marks"));
    }
    TSeriesMarksTab& Tab() { return *Page.MarksTab; }
    void ChooseMarkStyle(int Style)
    {
        Tab().RGMarkStyle->setFocus();
        while (Tab().RGMarkStyle->currentIndex() != Style)
            QTest::keyClick(Tab().RGMarkStyle, Tab().RGMarkStyle->currentIndex() < Style ? Qt::Key_Down : Qt::Key_Up);
    }
    test::TEditorChart Chart;
    TFormPlotSeries Page;
};

TEST_F(SeriesMarksTabTest, MultiLineOnlyForStylesJoiningTwoTexts)
{
    ChooseMarkStyle(TSeriesMarks::smsLabelValue);
    EXPECT_EQ(Chart.Series(0)->Marks()->Style(), TSeriesMarks::smsLabelValue);
    EXPECT_TRUE(Tab().CBMultiLine->isEnabled());
    ChooseMarkStyle(TSeriesMarks::smsValue);
    EXPECT_FALSE(Tab().CBMultiLine->isEnabled());
    for (int style = 0; style < 10; ++style)
        EXPECT_EQ(TSeriesMarksTab::StyleJoinsTexts(style), style == 3 || style == 4 || style == 6 || style == 7 ||
                                                               style == 9)
            << style;
}

TEST_F(SeriesMarksTabTest, AllSeriesVisibleIsRecomputedWithoutWriting)
{
    EXPECT_TRUE(Tab().CBAllVisible->isChecked());
    test::ClickNearLeftEdge(Tab().CBMarksVisible);
    EXPECT_FALSE(Chart.Series(0)->Marks()->Visible());
    EXPECT_FALSE(Tab().CBAllVisible->isChecked());
    EXPECT_TRUE(Chart.Series(1)->Marks()->Visible());
    EXPECT_TRUE(Chart.Series(2)->Marks()->Visible());
    // Ticking it shows every series' marks.
    test::ClickNearLeftEdge(Tab().CBAllVisible);
    for (int i = 0; i < Chart.SeriesCount(); ++i)
        EXPECT_TRUE(Chart.Series(i)->Marks()->Visible());
    EXPECT_TRUE(Tab().CBMarksVisible->isChecked());
    // A chart whose series all hide their marks: unchecked.
    EXPECT_TRUE(TSeriesMarksTab::AllMarksVisible(Chart.Series(1)));
}

TEST_F(SeriesMarksTabTest, TypedIntervalsAndAnglesStoreOnlyWholeValues)
{
    test::TMessages messages;
    TSeriesMarks* marks = Chart.Series(0)->Marks();
    Tab().PageControlMarks->setCurrentWidget(Tab().TabSheet1);
    Tab().UDEvery->setFocus();
    Tab().UDEvery->selectAll();
    QTest::keyClick(Tab().UDEvery, Qt::Key_0);
    EXPECT_EQ(marks->DrawEvery(), 1);
    Tab().UDEvery->selectAll();
    QTest::keyClick(Tab().UDEvery, Qt::Key_Backspace);
    EXPECT_EQ(marks->DrawEvery(), 1);
    QTest::keyClicks(Tab().UDEvery, QStringLiteral("12"));
    EXPECT_EQ(marks->DrawEvery(), 12);
    // The angle steps by 5 and wraps.
    marks->SetAngle(360);
    Page.Refresh();
    Tab().UDMarksAngle->setFocus();
    QTest::keyClick(Tab().UDMarksAngle, Qt::Key_Up);
    EXPECT_EQ(marks->Angle(), 0);
    QTest::keyClick(Tab().UDMarksAngle, Qt::Key_Up);
    EXPECT_EQ(marks->Angle(), 5);
    Tab().UDMarksAngle->selectAll();
    QTest::keyClick(Tab().UDMarksAngle, Qt::Key_Backspace);
    EXPECT_EQ(marks->Angle(), 5);
    EXPECT_TRUE(messages.Texts.isEmpty());
}

TEST_F(SeriesMarksTabTest, TheShapeTabsAreMovedInOnceAndTheSymbolHasAVisibleBox)
{
    const int tabs = Tab().PageControlMarks->count();
    EXPECT_EQ(tabs, 3 + 4); // Style, Arrows, Symbol and the four shape tabs
    ASSERT_NE(Tab().MarksFormat(), nullptr);
    EXPECT_EQ(Tab().MarksFormat()->Target(), Chart.Series(0)->Marks());
    Page.SetTarget(Chart.Series(1));
    Page.SetActiveTab(QStringLiteral("Marks"));
    EXPECT_EQ(Tab().PageControlMarks->count(), tabs);
    EXPECT_EQ(Tab().MarksFormat()->Target(), Chart.Series(1)->Marks());

    TFormPlotShape* symbol = Tab().SymbolFormat();
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(symbol->Target(), Chart.Series(1)->Marks()->Symbol());
    EXPECT_FALSE(symbol->PC1->isTabVisible(symbol->PC1->indexOf(symbol->TabText)));
    Tab().PageControlMarks->setCurrentWidget(Tab().TabSymbol);
    EXPECT_FALSE(symbol->BBackColor->isVisible());
    ASSERT_TRUE(Tab().CBSymbolVisible->isVisible());
    EXPECT_EQ(Tab().CBSymbolVisible->parentWidget(), symbol->TabFormat);
    const bool was = Chart.Series(1)->Marks()->Symbol()->Visible();
    test::ClickNearLeftEdge(Tab().CBSymbolVisible);
    EXPECT_NE(Chart.Series(1)->Marks()->Symbol()->Visible(), was);
}

TEST_F(SeriesMarksTabTest, TheCalloutPointerDialogEditsTheMarksCallout)
{
    Tab().PageControlMarks->setCurrentWidget(Tab().TabSheet2);
    bool shown = false;
    test::OnModal<QDialog>([&shown](QDialog& Dialog) {
        shown = Dialog.windowTitle() == QStringLiteral("Pointer");
        Dialog.close();
    });
    Tab().BCalloutPointer->click();
    EXPECT_TRUE(shown);
    Tab().CBHead->setFocus();
    QTest::keyClick(Tab().CBHead, Qt::Key_Down);
    EXPECT_EQ(Chart.Series(0)->Marks()->Callout()->ArrowHead(), ahLine);
}

// Guards marks read back as the kind's default from a chart file: a bar's
// marks hidden on the Marks tab showed again, and the marks shown on a
// line, area or point series were hidden.
TEST(SeriesMarksTab, VisibleTickedOrUntickedIsKeptByTheChartFile)
{
    for (const QMetaObject* kind : {&TBarSeries::staticMetaObject, &TLineSeries::staticMetaObject,
                                    &TAreaSeries::staticMetaObject, &TPointSeries::staticMetaObject}) {
        SCOPED_TRACE(kind->className());
        test::TEditorChart chart;
        TChartSeries* series = CreateNewSeries(&chart, &chart, kind);
        series->FillSampleValues(5);
        const bool shown = kind != &TBarSeries::staticMetaObject;
        ASSERT_EQ(series->Marks()->Visible(), !shown);
        TFormPlotSeries page;
        page.SetTarget(series);
        page.show();
        page.SetActiveTab(QStringLiteral("Marks"));
        test::ClickNearLeftEdge(page.MarksTab->CBMarksVisible);
        ASSERT_EQ(series->Marks()->Visible(), shown);
        for (const bool text : {false, true}) {
            const std::unique_ptr<TChart> reopened = test::ReopenedChart(chart, text);
            ASSERT_EQ(reopened->SeriesCount(), 1);
            EXPECT_EQ(reopened->Series(0)->Marks()->Visible(), shown) << (text ? "text" : "binary");
        }
    }
}

} // namespace
} // namespace lp
