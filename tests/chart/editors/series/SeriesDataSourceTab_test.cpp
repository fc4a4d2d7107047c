// The series page's "Data Source" tab: the opening choice (random points,
// typed points, a function or a source series), "Random" dropping a
// function but keeping the points, the sample count and its "&Default",
// "&Clear", and a function page that refuses to close.

#include "chart/editors/series/SeriesDataSourceTab.h"

#include "../EditorTestSupport.h"
#include "chart/editors/ChartEditors.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/data/ChartGrid.h"
#include "chart/editors/functions/FunctionPage.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A function page stand-in that may refuse to be left.
class TFunctionPageStandIn : public TEditorPage {
public:
    using TEditorPage::TEditorPage;
    static inline bool Refuse = false;
    bool MayLeave() override { return !Refuse; }
};

// Registers the stand-in as "TPlotFuncEditor" while alive.
class TFunctionPageRegistration : public test::TEditorPageRegistration {
public:
    TFunctionPageRegistration()
        : TEditorPageRegistration(QStringLiteral("TPlotFuncEditor"),
                                  [](QWidget* Parent) { return new TFunctionPageStandIn(Parent); })
    {
        TFunctionPageStandIn::Refuse = false;
    }
};

class SeriesDataSourceTabTest : public ::testing::Test {
protected:
    SeriesDataSourceTabTest()
    {
        Source = new TLineSeries(&Chart);
        Chart.AddSeries(Source);
        Source->FillSampleValues(10);
        Line = new TLineSeries(&Chart);
        Chart.AddSeries(Line);
    }
    void Open(TChartSeries* Series)
    {
        Page.SetTarget(Series);
        Page.show();
        Page.SetActiveTab(QStringLiteral("Data Source"));
    }
    QString Style() const { return Tab().CBDataSourcestyle->currentText(); }
    TSeriesDataSourceTab& Tab() const { return *Page.DataSourceTab; }
    void Choose(const QString& Style)
    {
        Tab().CBDataSourcestyle->setCurrentIndex(Tab().CBDataSourcestyle->findText(Style));
        Tab().StyleChange();
    }
    test::TEditorChart Chart;
    TLineSeries* Source;
    TLineSeries* Line;
    TFormPlotSeries Page;
};

TEST_F(SeriesDataSourceTabTest, TheOpeningChoiceFollowsWhereThePointsCameFrom)
{
    Line->FillSampleValues(7);
    Open(Line);
    EXPECT_EQ(Style(), QStringLiteral("Random"));
    EXPECT_TRUE(Tab().Panel4->isVisible());
    EXPECT_EQ(Tab().ESamples->text(), QStringLiteral("25")); // no count stored: the type's default
    // A hand edit marks the points as typed.
    Line->SetManualData(true);
    Page.SetTarget(Source);
    Page.SetTarget(Line);
    Page.SetActiveTab(QStringLiteral("Data Source"));
    EXPECT_EQ(Style(), QStringLiteral("Manual"));
    EXPECT_TRUE(Tab().ChartGrid1->isVisible());
    EXPECT_EQ(Tab().ChartGrid1->Series(), Line);
    EXPECT_TRUE(Tab().ChartGridNavigator1->isVisible());
    EXPECT_GE(Tab().IndexOfStyle(TSeriesDataSourceTab::dssFunction), 0);
    EXPECT_EQ(Tab().CBDataSourcestyle->count(), 3);
    // Without a registered function page it is not offered.
    test::TEditorPageRegistration noFunctionPage(QStringLiteral("TPlotFuncEditor"), nullptr);
    Page.SetTarget(Source);
    Page.SetTarget(Line);
    Page.SetActiveTab(QStringLiteral("Data Source"));
    EXPECT_EQ(Tab().IndexOfStyle(TSeriesDataSourceTab::dssFunction), -1);
    EXPECT_EQ(Tab().CBDataSourcestyle->count(), 2);
}

TEST_F(SeriesDataSourceTabTest, AFunctionSeriesShowsTheFunctionPage)
{
    Line->SetDataSource(Source);
    CreateNewPlotFunction(Line, &TAveragePlotFunction::staticMetaObject);
    Open(Line);
    EXPECT_EQ(Style(), QStringLiteral("Function"));
    auto* functionPage = qobject_cast<TPlotFuncEditor*>(Tab().Editor());
    ASSERT_NE(functionPage, nullptr);
    EXPECT_EQ(functionPage->CBSources->currentText(), QStringLiteral("Average"));
    EXPECT_FALSE(functionPage->BApply->isEnabled());
}

TEST_F(SeriesDataSourceTabTest, ASourceSeriesOpensTheFunctionPage)
{
    TFunctionPageRegistration registration;
    Line->SetDataSource(Source);
    ASSERT_EQ(Line->SeriesFunction(), nullptr);
    Open(Line);
    EXPECT_EQ(Style(), QStringLiteral("Function"));
    ASSERT_NE(Tab().Editor(), nullptr);
    EXPECT_EQ(Tab().Editor()->Target(), Line);
    EXPECT_TRUE(Tab().Editor()->isVisible());
    EXPECT_FALSE(Tab().ChartGrid1->isVisible());
}

TEST_F(SeriesDataSourceTabTest, RandomDropsTheFunctionButKeepsThePoints)
{
    TFunctionPageRegistration registration;
    CreateNewPlotFunction(Line, &TAddPlotFunction::staticMetaObject);
    Line->SetDataSource(Source);
    ASSERT_NE(Line->SeriesFunction(), nullptr);
    Chart.CheckDataSource(Line);
    const int points = Line->Count();
    ASSERT_GT(points, 0);
    const double first = Line->YValues()->Value(0);
    Open(Line);
    EXPECT_EQ(Style(), QStringLiteral("Function"));
    Choose(QStringLiteral("Random"));
    EXPECT_EQ(Line->SeriesFunction(), nullptr);
    EXPECT_EQ(Line->Count(), points);
    EXPECT_EQ(Line->YValues()->Value(0), first);
    EXPECT_EQ(Tab().Editor(), nullptr);
    // The source's next change leaves them alone.
    Source->FillSampleValues(3);
    EXPECT_EQ(Line->Count(), points);
    Page.SetTarget(Source);
    Page.SetTarget(Line);
    Page.SetActiveTab(QStringLiteral("Data Source"));
    EXPECT_EQ(Style(), QStringLiteral("Random"));
}

TEST_F(SeriesDataSourceTabTest, TheSampleCountAndItsDefault)
{
    Line->FillSampleValues(5);
    Open(Line);
    ASSERT_EQ(Style(), QStringLiteral("Random"));
    EXPECT_TRUE(Tab().CBSamplesDefault->isChecked());
    EXPECT_FALSE(Tab().CBSamplesDefault->isEnabled());
    EXPECT_FALSE(Tab().BApplyRandom->isEnabled());
    Tab().ESamples->setFocus();
    Tab().ESamples->selectAll();
    QTest::keyClicks(Tab().ESamples, QStringLiteral("30"));
    EXPECT_EQ(Line->SampleCount(), 30);
    EXPECT_FALSE(Tab().CBSamplesDefault->isChecked());
    EXPECT_TRUE(Tab().CBSamplesDefault->isEnabled());
    EXPECT_TRUE(Tab().BApplyRandom->isEnabled());
    // Half-typed: nothing stored.
    Tab().ESamples->selectAll();
    QTest::keyClick(Tab().ESamples, Qt::Key_Backspace);
    EXPECT_EQ(Line->SampleCount(), 30);
    QTest::keyClicks(Tab().ESamples, QStringLiteral("x"));
    EXPECT_EQ(Line->SampleCount(), 30);
    // Typing the default count ticks and disables "Default".
    QTest::keyClicks(Tab().ESamples, QString::number(Line->NumSampleValues()));
    EXPECT_TRUE(Tab().CBSamplesDefault->isChecked());
    EXPECT_FALSE(Tab().CBSamplesDefault->isEnabled());
    Tab().ESamples->selectAll();
    QTest::keyClicks(Tab().ESamples, QStringLiteral("12"));
    test::ClickNearLeftEdge(Tab().CBSamplesDefault);
    EXPECT_EQ(Tab().ESamples->text(), QString::number(Line->NumSampleValues()));
    Tab().ESamples->selectAll();
    QTest::keyClicks(Tab().ESamples, QStringLiteral("12"));
    Tab().BApplyRandom->click();
    EXPECT_EQ(Line->Count(), 12);
    // "Clear" empties the series and goes to "Manual".
    Tab().Button3->click();
    EXPECT_EQ(Line->Count(), 0);
    EXPECT_EQ(Style(), QStringLiteral("Manual"));
    EXPECT_TRUE(Line->ManualData());
    EXPECT_TRUE(Tab().ChartGrid1->isVisible());
}

TEST_F(SeriesDataSourceTabTest, AFunctionPageThatRefusesToCloseKeepsTheTabAndTheStyle)
{
    TFunctionPageRegistration registration;
    Line->SetDataSource(Source);
    Open(Line);
    ASSERT_NE(Tab().Editor(), nullptr);
    TFunctionPageStandIn::Refuse = true;
    Page.SetActiveTab(QStringLiteral("Marks"));
    EXPECT_EQ(Page.ActiveTab(), QStringLiteral("Data Source"));
    EXPECT_FALSE(Page.MayLeave());
    Choose(QStringLiteral("Manual"));
    EXPECT_EQ(Style(), QStringLiteral("Function"));
    EXPECT_NE(Tab().Editor(), nullptr);
    EXPECT_EQ(Line->DataSource(), Source);
    TFunctionPageStandIn::Refuse = false;
    Choose(QStringLiteral("Manual"));
    EXPECT_EQ(Style(), QStringLiteral("Manual"));
    EXPECT_EQ(Tab().Editor(), nullptr);
    EXPECT_EQ(Line->DataSource(), nullptr);
}

} // namespace
} // namespace lp
