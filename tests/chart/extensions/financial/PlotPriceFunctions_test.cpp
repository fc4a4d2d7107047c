// ADX and RSI: the directional lines and the index on a steady climb, flat
// prices, periods too small or too long for the data, the lines following
// their parent, RSI in both styles and its lists looked up per source.

#include "chart/extensions/financial/PlotPriceFunctions.h"

#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// A price series and a line fed by a function from it.
template <class TFunction>
struct TIndicatorChart {
    test::TTestChart Chart;
    TCandleSeries* Prices = new TCandleSeries(&Chart);
    TLineSeries* Output = new TLineSeries(&Chart);
    TFunction* Function = new TFunction(&Chart);

    TIndicatorChart()
    {
        Chart.AddSeries(Prices);
        Chart.AddSeries(Output);
        Output->SetFunction(Function);
        Output->SetDataSource(Prices);
    }
    void Refresh() { Output->CheckDataSource(); }
};

// High i + 1, low i, close i + 0.5 for i = 0 .. N - 1.
void Climb(TCandleSeries& S, int N)
{
    for (int I = 0; I < N; ++I)
        S.AddOHLC(I, I + 0.5, I + 1, I, I + 0.5);
}

TEST(ADXFunction, SteadyClimb)
{
    TIndicatorChart<TADXFunction> C;
    Climb(*C.Prices, 40);
    C.Refresh();
    const TFastLineSeries& Up = *C.Function->UpLine();
    const TFastLineSeries& Down = *C.Function->DownLine();
    // True range 1.5 and +DM 1 every day: +DI = 100 / 1.5, -DI 0, DX 100.
    ASSERT_EQ(Up.Count(), 40 - 14);
    EXPECT_EQ(Up.XValues()->Value(0), 14);
    EXPECT_NEAR(Up.YValues()->Value(0), 66.667, 1e-3);
    EXPECT_NEAR(Up.YValues()->Value(25), 66.667, 1e-3);
    EXPECT_EQ(Down.YValues()->Value(10), 0);
    ASSERT_EQ(C.Output->Count(), 40 - 26);
    EXPECT_EQ(C.Output->XValues()->Value(0), 26);
    for (double V : test::YsOf(*C.Output))
        EXPECT_NEAR(V, 100, 1e-9);
    // The lines are internal, coloured and on the parent's chart.
    EXPECT_EQ(Up.ParentChart(), &C.Chart);
    EXPECT_TRUE(Up.Internal());
    EXPECT_FALSE(Up.ShowInLegend());
    EXPECT_EQ(Up.SeriesColor(), clGreen);
    EXPECT_EQ(Down.SeriesColor(), clRed);
}

TEST(ADXFunction, FlatPricesGiveZeroNotNaN)
{
    // Regression: flat prices have no true range, and the directional values
    // were 0 / 0.
    TIndicatorChart<TADXFunction> C;
    for (int I = 0; I < 30; ++I)
        C.Prices->AddOHLC(I, 5, 5, 5, 5);
    C.Refresh();
    ASSERT_EQ(C.Output->Count(), 30 - 26);
    for (double V : test::YsOf(*C.Output))
        EXPECT_EQ(V, 0);
    for (double V : test::YsOf(*C.Function->UpLine()))
        EXPECT_EQ(V, 0);
}

TEST(ADXFunction, PeriodsTooSmallOrTooLong)
{
    TIndicatorChart<TADXFunction> C;
    Climb(*C.Prices, 40);
    C.Refresh();
    // Below 2 nothing happens, not even clearing.
    C.Function->InternalSetPeriod(1.5);
    C.Function->AddPoints(C.Prices);
    EXPECT_EQ(C.Function->UpLine()->Count(), 26);
    EXPECT_EQ(C.Output->Count(), 14);
    // Fewer than twice the period of points: all three stay empty.
    C.Function->SetPeriod(21);
    EXPECT_EQ(C.Output->Count(), 0);
    EXPECT_EQ(C.Function->UpLine()->Count(), 0);
    EXPECT_EQ(C.Function->DownLine()->Count(), 0);
    C.Function->SetPeriod(20);
    EXPECT_EQ(C.Output->Count(), 40 - 38);
    EXPECT_EQ(C.Function->UpLine()->Count(), 20);
}

TEST(ADXFunction, OnlyPriceSourcesAndLinesFollowTheParent)
{
    TIndicatorChart<TADXFunction> C;
    TLineSeries Plain;
    EXPECT_FALSE(C.Function->IsValidSource(&Plain));
    EXPECT_TRUE(C.Function->IsValidSource(C.Prices));
    C.Output->SetVertAxis(aRightAxis);
    Climb(*C.Prices, 30);
    C.Refresh();
    EXPECT_EQ(C.Function->UpLine()->VertAxis(), aRightAxis);
    EXPECT_EQ(C.Function->DownLine()->VertAxis(), aRightAxis);
    C.Function->UpLinePen()->SetWidth(3);
    EXPECT_EQ(C.Function->UpLine()->Pen()->Width(), 3);
}

// The file holds neither line: the reopened function draws its own again.
TEST(ADXFunction, ChartStoresNeitherLineAndFreesThemFirst)
{
    TChart Original;
    auto* Prices = new TCandleSeries(&Original);
    Prices->SetName(QStringLiteral("Prices"));
    Original.AddSeries(Prices);
    auto* Output = new TLineSeries(&Original);
    Output->SetName(QStringLiteral("Adx"));
    Original.AddSeries(Output);
    Output->SetFunction(new TADXFunction(&Original));
    Output->SetDataSource(Prices);
    Climb(*Prices, 40);
    Output->CheckDataSource();
    ASSERT_EQ(Original.SeriesCount(), 4);
    TChart Copy;
    test::ReadInto(Original, Copy);
    // The two stored series; the copy's function, fed by the same source,
    // makes its own two lines again (none is read twice).
    ASSERT_EQ(Copy.SeriesCount(), 4);
    EXPECT_EQ(Copy.Series(1)->DataSource(), Copy.Series(0));
    auto* Adx = qobject_cast<TADXFunction*>(Copy.Series(1)->SeriesFunction());
    ASSERT_NE(Adx, nullptr);
    EXPECT_TRUE(Adx->UpLine()->Internal());
    EXPECT_TRUE(Adx->DownLine()->Internal());
    EXPECT_EQ(Copy.Series(2), Adx->UpLine());
    EXPECT_EQ(Copy.Series(3), Adx->DownLine());
}

TEST(RSIFunction, BothStyles)
{
    TIndicatorChart<TRSIFunction> C;
    C.Function->SetPeriod(4);
    const double Closes[] = {1, 2, 1, 3};
    const double Opens[] = {0, 3, 2, 1};
    for (int I = 0; I < 4; ++I)
        C.Prices->AddOHLC(I, Opens[I], 5, 0, Closes[I]);
    // Open-close: closes of falling candles (2 and 1) against rising ones
    // (1 and 3): 100 - 100 / (1 + 4 / 3).
    C.Refresh();
    ASSERT_EQ(C.Output->Count(), 1);
    EXPECT_NEAR(C.Output->YValues()->Value(0), 100 - 100 / (1 + 4.0 / 3), 1e-9);
    EXPECT_EQ(C.Output->XValues()->Value(0), 3);
    // Close: ups 1 and 2 against the down 1.
    C.Function->SetStyle(rsiClose);
    ASSERT_EQ(C.Output->Count(), 1);
    EXPECT_DOUBLE_EQ(C.Output->YValues()->Value(0), 75);
}

TEST(RSIFunction, NothingFallingGives100)
{
    TIndicatorChart<TRSIFunction> C;
    C.Function->SetStyle(rsiClose);
    C.Function->SetPeriod(3);
    Climb(*C.Prices, 5);
    C.Refresh();
    EXPECT_EQ(test::YsOf(*C.Output), std::vector<double>({100, 100, 100}));
    C.Function->SetStyle(rsiOpenClose);
    EXPECT_EQ(test::YsOf(*C.Output), std::vector<double>({100, 100, 100}));
}

TEST(RSIFunction, AnotherSourceIsReadAfresh)
{
    TIndicatorChart<TRSIFunction> C;
    C.Function->SetStyle(rsiClose);
    C.Function->SetPeriod(2);
    C.Prices->AddOHLC(0, 1, 9, 0, 4);
    C.Prices->AddOHLC(1, 1, 9, 0, 2);
    C.Refresh();
    EXPECT_EQ(test::YsOf(*C.Output), std::vector<double>({0}));
    auto* Other = new TCandleSeries(&C.Chart);
    C.Chart.AddSeries(Other);
    Other->AddOHLC(0, 1, 9, 0, 2);
    Other->AddOHLC(1, 1, 9, 0, 4);
    C.Output->SetDataSource(Other);
    EXPECT_EQ(test::YsOf(*C.Output), std::vector<double>({100}));
    TLineSeries Plain;
    EXPECT_FALSE(C.Function->IsValidSource(&Plain));
}

} // namespace
} // namespace lp
