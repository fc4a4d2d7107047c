// Series lists, groups and the axes lists of a chart.

#include "chart/engine/PlotSeriesLists.h"

#include "EngineTestUtil.h"
#include "chart/engine/PlotChart.h"
#include "platform/core/ClassRegistry.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TTestChart;

struct TGroupFixture : ::testing::Test {
    TTestChart Chart;
    std::vector<TChartSeries*> All;
    void SetUp() override
    {
        for (int I = 0; I < 3; ++I) {
            All.push_back(new TChartSeries(&Chart));
            Chart.AddSeries(All.back());
        }
    }
};

TEST_F(TGroupFixture, GroupActivityIsComputedFromItsSeries)
{
    TSeriesGroup* Group = Chart.SeriesList().AddGroup("Logs");
    EXPECT_EQ(Group->Name(), "Logs");
    EXPECT_EQ(Group->Active(), gaYes);
    EXPECT_FALSE(Group->IsSeriesStored());
    for (TChartSeries* S : All)
        Group->Series().Add(S);
    All[1]->SetActive(false);
    EXPECT_EQ(Group->Active(), gaSome);
    Group->SetActive(gaSome);
    EXPECT_FALSE(All[1]->Active());
    Group->SetActive(gaYes);
    EXPECT_TRUE(All[0]->Active() && All[1]->Active() && All[2]->Active());
    Group->SetActive(gaNo);
    EXPECT_EQ(Group->Active(), gaNo);
    EXPECT_FALSE(Group->Series().AllActive());
    Group->Series().SetAllActive(true);
    EXPECT_TRUE(Group->Series().AllActive());
}

TEST_F(TGroupFixture, GroupsFindTheFirstGroupOfASeriesAndLoseFreedSeries)
{
    TSeriesGroup* First = Chart.SeriesList().AddGroup("First");
    TSeriesGroup* Second = Chart.SeriesList().AddGroup("Second");
    First->Series().Add(All[0]);
    Second->Series().Add(All[0]);
    Second->Series().Add(All[1]);
    EXPECT_EQ(Chart.SeriesList().Groups().IndexOfSeries(All[0]), 0);
    EXPECT_EQ(Chart.SeriesList().Groups().IndexOfSeries(All[1]), 1);
    EXPECT_EQ(Chart.SeriesList().Groups().IndexOfSeries(All[2]), -1);
    EXPECT_NE(First->ID(), Second->ID());
    delete All[0];
    EXPECT_EQ(First->Series().Count(), 0);
    EXPECT_EQ(Second->Series().Count(), 1);
}

TEST_F(TGroupFixture, ExchangingSeriesAlsoExchangesThemInTheirGroup)
{
    TSeriesGroup* Group = Chart.SeriesList().AddGroup("G");
    Group->Series().Add(All[0]);
    Group->Series().Add(All[2]);
    Chart.ExchangeSeries(0, 2);
    EXPECT_EQ(Chart.Series(0), All[2]);
    EXPECT_EQ(Chart.Series(2), All[0]);
    EXPECT_EQ(Group->Series()[0], All[2]);
    EXPECT_EQ(Group->Series()[1], All[0]);
}

TEST_F(TGroupFixture, ListsCheckTheirIndexes)
{
    EXPECT_THROW(Chart.SeriesList().Series(3), ERangeError);
    EXPECT_THROW(Chart.SeriesList().Exchange(0, -1), ERangeError);
    EXPECT_THROW(Chart.AxesList().Items(6), ERangeError);
    Chart.SeriesList().ClearValues();
}

TEST(ChartAxes, StandardAxesInCreationOrder)
{
    TTestChart Chart;
    TChartAxes& Axes = Chart.AxesList();
    ASSERT_EQ(Axes.Count(), 6);
    EXPECT_EQ(Axes[0], Chart.BottomAxis());
    EXPECT_EQ(Axes[1], Chart.TopAxis());
    EXPECT_EQ(Axes[2], Chart.LeftAxis());
    EXPECT_EQ(Axes[3], Chart.RightAxis());
    EXPECT_EQ(Axes[4], Chart.DepthAxis());
    EXPECT_EQ(Axes[5], Chart.DepthTopAxis());
    EXPECT_EQ(Axes.LeftAxis(), Chart.LeftAxis());
    EXPECT_TRUE(Chart.BottomAxis()->Horizontal());
    EXPECT_TRUE(Chart.TopAxis()->OtherSide());
    EXPECT_FALSE(Chart.DepthAxis()->Visible());
    EXPECT_TRUE(Chart.DepthAxis()->IsDepthAxis());
    EXPECT_EQ(Chart.LeftAxis()->Title()->Angle(), 90);
    EXPECT_EQ(Chart.RightAxis()->Title()->Angle(), 270);
    EXPECT_EQ(Chart.TopAxis()->Grid()->ZPosition(), 100);
    EXPECT_EQ(Chart.RightAxis()->Grid()->ZPosition(), 100);
    EXPECT_EQ(Chart.TopAxis()->ZPosition(), 100);
    Axes.SetBehind(false);
    EXPECT_FALSE(Chart.AxisBehind());
    Axes.SetVisible(false);
    EXPECT_FALSE(Axes.Visible());
}

TEST(ChartAxes, TheEngineRegistersItsStoredClasses)
{
    // The suite started the chart library as the application does.
    for (const char* Name : {"TChart", "TChartAxis", "TChartDepthAxis", "TChartAxisTitle", "TSeriesMarks"}) {
        std::unique_ptr<TPersistent> Object = CreateObject(Name);
        ASSERT_NE(Object, nullptr) << Name;
        EXPECT_EQ(Object->ClassName(), Name);
    }
    InitializePlotEngine(); // counted: a second start changes nothing
    FinalizePlotEngine();
    EXPECT_NO_THROW(CreateObject("TChartAxis"));
    FinalizePlotEngine();
    EXPECT_THROW(CreateObject("TChartAxis"), EClassNotFound);
    InitializePlotEngine();
}

TEST(ChartAxes, DepthAxesShareTheirInversion)
{
    TTestChart Chart;
    Chart.DepthAxis()->SetInverted(true);
    EXPECT_TRUE(Chart.DepthTopAxis()->Inverted());
    Chart.DepthTopAxis()->SetInverted(false);
    EXPECT_FALSE(Chart.DepthAxis()->Inverted());
}

TEST(ChartCustomAxes, CustomAxesJoinTheAxesListAndCopy)
{
    TTestChart Chart;
    auto* Custom = Chart.CustomAxes().Items(Chart.CustomAxes().Add()->Index());
    EXPECT_EQ(Custom->ParentChart(), &Chart);
    EXPECT_EQ(Chart.AxesList().IndexOf(Custom), 6);
    Custom->SetMinMax(3, 1);
    EXPECT_EQ(Custom->Minimum(), 1);
    EXPECT_EQ(Custom->Maximum(), 3);
    TTestChart Copy;
    Copy.Assign(&Chart);
    ASSERT_EQ(Copy.CustomAxes().Count(), 1);
    EXPECT_EQ(Copy.CustomAxes().Items(0)->Maximum(), 3);
    EXPECT_EQ(Copy.CustomAxes().Items(0)->ParentChart(), &Copy);
}

} // namespace
} // namespace lp
