// MACD with its signal line and histogram, Bollinger bands in both average
// modes, with a period too small for one point and with values near the
// limit of the doubles, cross points and the closed convex perimeter (also
// on a logarithmic axis); the functions over prices growing point by point,
// days newest first; a reference picture of MACD with its lines.

#include "chart/extensions/stats/PlotIndicatorFunctions.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/financial/PlotOscillators.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "chart/extensions/functions/PlotDownSampling.h"
#include "chart/extensions/functions/PlotSmoothing.h"
#include "chart/extensions/stats/PlotStatFunctions.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QPointer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace lp {
namespace {

using test::AddValues;
using test::XsOf;
using test::YsOf;

void ExpectNear(const std::vector<double>& Actual, const std::vector<double>& Expected)
{
    ASSERT_EQ(Actual.size(), Expected.size());
    for (size_t I = 0; I < Actual.size(); ++I)
        EXPECT_NEAR(Actual[I], Expected[I], 1e-9) << I;
}

// A source line and an output line whose function reads it.
template <class TFunction>
struct TIndicator {
    test::TPriceChart C;
    TLineSeries* Source = C.Add<TLineSeries>();
    TLineSeries* Output = C.Add<TLineSeries>();
    TFunction* Function = new TFunction(&C.Chart);

    explicit TIndicator(const std::vector<double>& Values)
    {
        AddValues(*Source, Values);
        Output->SetFunction(Function);
    }
    void Feed() { Output->SetDataSource(Source); }
};

// --- MACD ---------------------------------------------------------------------------------------

TEST(MACDFunction, LineSignalAndHistogram)
{
    TIndicator<TMACDFunction> M({1, 2, 3});
    M.Function->SetPeriod2(1);
    M.Function->SetPeriod(3);
    M.Function->SetPeriod3(3);
    M.Feed();
    // Fast (period 1) is the values, slow (k = 0.5) 1, 1.5, 2.25.
    ExpectNear(YsOf(*M.Output), {0, 0.5, 0.75});
    // Signal: the same average of the MACD line; histogram: line - signal.
    ExpectNear(YsOf(*M.Function->MACDExp()), {0, 0.25, 0.5});
    ExpectNear(YsOf(*M.Function->Histogram()), {0, 0.25, 0.25});
    ExpectNear(XsOf(*M.Function->Histogram()), {0, 1, 2});
    EXPECT_EQ(M.Function->MACDExp()->ParentChart(), &M.C.Chart);
    EXPECT_TRUE(M.Function->Histogram()->Internal());
    EXPECT_TRUE(M.Function->Histogram()->UseYOrigin());
    EXPECT_EQ(M.Function->Histogram()->SeriesColor(), clRed);
    EXPECT_EQ(M.Function->MACDExp()->SeriesColor(), clGreen);
}

TEST(MACDFunction, OnePointLeavesAllEmpty)
{
    TIndicator<TMACDFunction> M({5});
    M.Feed();
    EXPECT_EQ(M.Output->Count(), 0);
    EXPECT_EQ(M.Function->MACDExp()->Count(), 0);
    EXPECT_EQ(M.Function->Histogram()->Count(), 0);
}

TEST(MACDFunction, SettingsAndColours)
{
    TIndicator<TMACDFunction> M({1, 2, 3, 4});
    EXPECT_EQ(M.Function->Period(), 26);
    EXPECT_EQ(M.Function->Period2(), 12);
    EXPECT_EQ(M.Function->Period3(), 9);
    M.Function->SetPeriod2(0.5);
    EXPECT_EQ(M.Function->Period2(), 1);
    M.Output->SetSeriesColor(clWhite);
    M.Feed();
    EXPECT_EQ(M.Output->SeriesColor(), clBlue);
    M.Function->MACDPen()->SetWidth(2);
    EXPECT_EQ(M.Output->Pen()->Width(), 2);
    M.Function->HistogramPen()->SetWidth(4);
    EXPECT_EQ(M.Function->Histogram()->Pen()->Width(), 4);
    TMACDFunction Alone;
    EXPECT_EQ(Alone.MACDPen(), nullptr);
    EXPECT_EQ(Alone.GetEditorClassName(), QStringLiteral("TMACDFuncEditor"));
}

// --- Bollinger ----------------------------------------------------------------------------------

TEST(BollingerFunction, BandsFromTheMovingAverage)
{
    TIndicator<TBollingerFunction> B({1, 2, 3, 4, 5});
    B.Function->SetExponential(false);
    B.Function->SetPeriod(2);
    B.Function->SetDeviation(2);
    B.Feed();
    // Windows (1, 2), (2, 3), ...: mean ± 2 × 0.5, at the window's last X.
    ExpectNear(YsOf(*B.Output), {2.5, 3.5, 4.5, 5.5});
    ExpectNear(XsOf(*B.Output), {1, 2, 3, 4});
    ExpectNear(YsOf(*B.Function->LowBand()), {0.5, 1.5, 2.5, 3.5});
    EXPECT_EQ(B.Function->LowBand()->SeriesColor(), B.Output->SeriesColor());
}

TEST(BollingerFunction, FirstBandPointInBothModes)
{
    for (bool Exponential : {false, true}) {
        TIndicator<TBollingerFunction> B({4, 8, 6, 9, 3, 7});
        B.Function->SetExponential(Exponential);
        B.Function->SetPeriod(3);
        B.Feed();
        ASSERT_EQ(B.Output->Count(), 4) << Exponential;
        EXPECT_EQ(B.Output->XValues()->Value(0), 2) << Exponential;
    }
    // The exponential average is aligned with the source: 4, 6, 6 (k 0.5).
    TIndicator<TBollingerFunction> B({4, 8, 6});
    B.Function->SetPeriod(3);
    B.Function->SetDeviation(0);
    B.Feed();
    ExpectNear(YsOf(*B.Output), {6});
}

TEST(BollingerFunction, PeriodBelowOnePointComputesNothing)
{
    // Regression: a period under half a point rounded to no window and read
    // the value before the first.
    TIndicator<TBollingerFunction> B({4, 8, 6});
    B.Function->SetPeriod(0.4);
    B.Feed();
    EXPECT_EQ(B.Output->Count(), 0);
    EXPECT_EQ(B.Function->LowBand()->Count(), 0);
}

// The population standard deviation of Values[First .. First + Count - 1],
// summed plainly.
double IndicatorWindowDeviation(const std::vector<double>& Values, size_t First, size_t Count)
{
    double Mean = 0;
    for (size_t I = First; I < First + Count; ++I)
        Mean += Values[I] / static_cast<double>(Count);
    double Sum = 0;
    for (size_t I = First; I < First + Count; ++I)
        Sum += (Values[I] - Mean) * (Values[I] - Mean);
    return std::sqrt(Sum / static_cast<double>(Count));
}

TEST(BollingerFunction, OrdinaryBandsAcrossManyWindows)
{
    // Windows that restart their sums and windows that slide them, each
    // band the average ± 2 deviations of its own window.
    const std::vector<double> Values{4, 8, 6, 9, 3, 7, 12, 5, 5, 10, 2};
    TIndicator<TBollingerFunction> B(Values);
    B.Function->SetExponential(false);
    B.Function->SetPeriod(3);
    B.Feed();
    ASSERT_EQ(B.Output->Count(), 9);
    ASSERT_EQ(B.Function->LowBand()->Count(), 9);
    for (size_t I = 0; I < 9; ++I) {
        const double Mean = (Values[I] + Values[I + 1] + Values[I + 2]) / 3;
        const double Deviation = IndicatorWindowDeviation(Values, I, 3);
        EXPECT_NEAR(B.Output->YValues()->Value(static_cast<int>(I)), Mean + 2 * Deviation, 1e-9) << I;
        EXPECT_NEAR(B.Function->LowBand()->YValues()->Value(static_cast<int>(I)), Mean - 2 * Deviation, 1e-9) << I;
    }
}

TEST(BollingerFunction, ValuesNearTheDoublesLimitGiveFiniteBands)
{
    // Regression: the sums of squares of values near ±1e300 overflowed, and
    // the first band point was inf.
    TIndicator<TBollingerFunction> B({1e300, -1e300, 1e300, -1e300, 1e300});
    B.Function->SetExponential(false);
    B.Function->SetPeriod(2);
    B.Feed();
    // Every window: mean 0, deviation 1e300.
    ASSERT_EQ(B.Output->Count(), 4);
    ASSERT_EQ(B.Function->LowBand()->Count(), 4);
    for (int I = 0; I < 4; ++I) {
        EXPECT_DOUBLE_EQ(B.Output->YValues()->Value(I), 2e300) << I;
        EXPECT_DOUBLE_EQ(B.Function->LowBand()->YValues()->Value(I), -2e300) << I;
    }
}

TEST(BollingerFunction, ValuesScaledByAPowerOfTwoGiveBandsScaledAlike)
{
    // Near the limit of the doubles the bands are those of ordinary values,
    // to the last bit, in both average modes.
    const std::vector<double> Ordinary{4, 8, 6, 9, 3, 7, 12, 5};
    std::vector<double> Huge;
    for (double V : Ordinary)
        Huge.push_back(std::ldexp(V, 1000));
    for (bool Exponential : {false, true}) {
        TIndicator<TBollingerFunction> Small(Ordinary);
        TIndicator<TBollingerFunction> Large(Huge);
        for (auto* B : {&Small, &Large}) {
            B->Function->SetExponential(Exponential);
            B->Function->SetPeriod(3);
            B->Feed();
        }
        ASSERT_EQ(Large.Output->Count(), Small.Output->Count()) << Exponential;
        ASSERT_EQ(Large.Function->LowBand()->Count(), Small.Function->LowBand()->Count()) << Exponential;
        for (int I = 0; I < Small.Output->Count(); ++I) {
            EXPECT_EQ(Large.Output->YValues()->Value(I), std::ldexp(Small.Output->YValues()->Value(I), 1000)) << I;
            EXPECT_EQ(Large.Function->LowBand()->YValues()->Value(I),
                      std::ldexp(Small.Function->LowBand()->YValues()->Value(I), 1000))
                << I;
        }
    }
}

TEST(BollingerFunction, ABandBeyondTheDoublesAddsNoPoint)
{
    // Window (1.5e308, -1.5e308): both bands beyond the doubles. Window
    // (-1.5e308, 1): the upper band about 7.5e307, the lower beyond. Window
    // (1, 3): 4 and 0.
    TIndicator<TBollingerFunction> B({1.5e308, -1.5e308, 1, 3});
    B.Function->SetExponential(false);
    B.Function->SetPeriod(2);
    B.Feed();
    ExpectNear(XsOf(*B.Output), {2, 3});
    EXPECT_NEAR(B.Output->YValues()->Value(0), 7.5e307, 1e294);
    EXPECT_EQ(B.Output->YValues()->Value(1), 4);
    ExpectNear(XsOf(*B.Function->LowBand()), {3});
    EXPECT_EQ(B.Function->LowBand()->YValues()->Value(0), 0);
}

// --- A growing candle series -------------------------------------------------------------------

// Prices whose days a program adds newest first into a date list kept in
// the order of adding, each point followed by a refresh: every point makes
// the functions on the prices compute their whole output again, against
// the order of the output's own X list.
struct TGrowingPrices {
    test::TPriceChart C;
    TCandleSeries* Prices = C.Add<TCandleSeries>();

    TGrowingPrices() { Prices->XValues()->SetOrder(loNone); }
    template <class TFunction>
    TFunction* AddFunction()
    {
        auto* Output = C.Add<TLineSeries>();
        auto* F = new TFunction(&C.Chart);
        Output->SetFunction(F);
        Output->SetDataSource(Prices);
        return F;
    }
    // Read runs after each point (a paint reads every line).
    void Grow(int Days, const std::function<void()>& Read = {})
    {
        for (int I = 0; I < Days; ++I) {
            const double Close = 100 + 10 * std::sin(I * 0.7);
            Prices->AddOHLC(Days - I, Close - 1, Close + 2, Close - 2, Close);
            Prices->RefreshSeries();
            if (Read)
                Read();
        }
    }
};

// Regression: each added point recalculated the Bollinger bands, and each
// recalculation inserted every band point into its X list one by one,
// searching and shifting the list (5 s for 1,200 points, the window
// frozen). Every point of every recalculation is now appended, in every
// function that computes its whole output at once and every line it fills.
TEST(GrowingPrices, EveryOutputPointIsAppended)
{
    TGrowingPrices G;
    auto* Bollinger = G.AddFunction<TBollingerFunction>();
    auto* MACD = G.AddFunction<TMACDFunction>();
    auto* Average = G.AddFunction<TMovingAverageFunction>();
    Average->SetPeriod(3);
    auto* ExpAverage = G.AddFunction<TExpMovAveFunction>();
    auto* ADX = G.AddFunction<TADXFunction>();
    ADX->SetPeriod(3);
    std::vector<TChartSeries*> Watched{Bollinger->ParentSeries(), Bollinger->LowBand(), MACD->ParentSeries(),
                                       MACD->MACDExp(), MACD->Histogram(), Average->ParentSeries(),
                                       ExpAverage->ParentSeries(), ADX->ParentSeries(), ADX->UpLine(),
                                       ADX->DownLine()};
    for (TPlotFunction* F : std::initializer_list<TPlotFunction*>{
             G.AddFunction<TCCIFunction>(), G.AddFunction<TPVOFunction>(), G.AddFunction<TSmoothingFunction>(),
             G.AddFunction<TDownSamplingFunction>(), G.AddFunction<TCurveFittingFunction>()})
        Watched.push_back(F->ParentSeries());
    std::vector<std::unique_ptr<test::TInsertWatch>> Watches;
    for (TChartSeries* S : Watched)
        Watches.push_back(std::make_unique<test::TInsertWatch>(*S));
    // Each line read after each point is computed again and again.
    G.Grow(40, [&] {
        for (TChartSeries* S : Watched)
            S->Count();
    });
    for (size_t I = 0; I < Watched.size(); ++I) {
        SCOPED_TRACE(Watched[I]->metaObject()->className());
        SCOPED_TRACE(I);
        EXPECT_GT(Watched[I]->Count(), 0);
        EXPECT_GT(Watches[I]->Added, Watched[I]->Count()); // computed again and again
        EXPECT_EQ(Watches[I]->Shifted, 0);
        EXPECT_TRUE(Watched[I]->XValues()->FollowsOrder());
    }
}

// The averages a band or MACD line reads by source index stand at those
// indexes whatever the source's order (they were put in X order and read
// against other windows' deviations).
TEST(GrowingPrices, BandsAndMACDOverDaysNewestFirst)
{
    // Y 1, 2, 4, 8, 16 at X 4, 3, 2, 1, 0.
    test::TPriceChart C;
    auto* Source = C.Add<TLineSeries>();
    Source->XValues()->SetOrder(loNone);
    for (int I = 0; I < 5; ++I)
        Source->AddXY(4 - I, std::ldexp(1.0, I));
    auto* Bands = C.Add<TLineSeries>();
    auto* B = new TBollingerFunction(&C.Chart);
    B->SetExponential(false);
    B->SetPeriod(2);
    B->SetDeviation(1);
    Bands->SetFunction(B);
    Bands->SetDataSource(Source);
    // Windows (1, 2), (2, 4), (4, 8), (8, 16): mean ± half the spread, at
    // the window's last X.
    ExpectNear(XsOf(*Bands), {0, 1, 2, 3});
    ExpectNear(YsOf(*Bands), {16, 8, 4, 2});
    ExpectNear(YsOf(*B->LowBand()), {8, 4, 2, 1});
    auto* Line = C.Add<TLineSeries>();
    auto* M = new TMACDFunction(&C.Chart);
    M->SetPeriod2(1);
    M->SetPeriod(3);
    Line->SetFunction(M);
    Line->SetDataSource(Source);
    // Fast (period 1): the values; slow (k = 0.5): 1, 1.5, 2.75, 5.375, 10.6875.
    ExpectNear(XsOf(*Line), {0, 1, 2, 3, 4});
    ExpectNear(YsOf(*Line), {5.3125, 2.625, 1.25, 0.5, 0});
}

// --- Closing a chart ----------------------------------------------------------------------------

// A chart owning a source, a series of TFunction over it and a third
// series, as the editor adds them; the lines the function fills join the
// chart behind them.
template <class TFunction, class TSourceSeries>
struct TClosingIndicatorChart {
    std::unique_ptr<TChart> Chart = std::make_unique<TChart>();
    TSourceSeries* Source = new TSourceSeries(Chart.get());
    TLineSeries* Output = new TLineSeries(Chart.get());
    TLineSeries* Third = new TLineSeries(Chart.get());

    TClosingIndicatorChart()
    {
        Chart->SetBounds(0, 0, 400, 300);
        Chart->AddSeries(Source);
        Source->FillSampleValues(60);
        Chart->AddSeries(Output);
        Output->SetFunction(new TFunction(Chart.get()));
        Output->SetDataSource(Source);
        Chart->AddSeries(Third);
        Third->FillSampleValues(10);
    }
    std::vector<QPointer<TChartSeries>> AllSeries() const
    {
        std::vector<QPointer<TChartSeries>> Result;
        for (int I = 0; I < Chart->SeriesCount(); ++I)
            Result.emplace_back(Chart->Series(I));
        return Result;
    }
};

// Moves the function series to every place of the list, one exchange at a
// time as Move Down does, and closes the chart at each: every series is
// freed once and nothing is left over.
template <class TFunction, class TSourceSeries>
void ExpectIndicatorChartClosesAtEveryPlace(int FunctionLines)
{
    const int Listed = 3 + FunctionLines;
    for (int Place = 0; Place < Listed; ++Place) {
        TClosingIndicatorChart<TFunction, TSourceSeries> C;
        ASSERT_EQ(C.Chart->SeriesCount(), Listed);
        for (int From = C.Chart->SeriesList().IndexOf(C.Output); From < Place; ++From)
            C.Chart->ExchangeSeriesObjects(C.Chart->Series(From), C.Chart->Series(From + 1));
        for (int From = C.Chart->SeriesList().IndexOf(C.Output); From > Place; --From)
            C.Chart->ExchangeSeriesObjects(C.Chart->Series(From), C.Chart->Series(From - 1));
        ASSERT_EQ(C.Chart->Series(Place), C.Output);
        const std::vector<QPointer<TChartSeries>> Series = C.AllSeries();
        C.Chart.reset();
        for (const QPointer<TChartSeries>& S : Series)
            EXPECT_TRUE(S.isNull()) << Place;
    }
}

TEST(IndicatorChartClosing, MACDMovedDownBehindAThirdSeries)
{
    // The steps as a user takes them: line, MACD of it, a third line; MACD
    // moved down one place; the chart closed.
    TClosingIndicatorChart<TMACDFunction, TLineSeries> C;
    C.Chart->ExchangeSeriesObjects(C.Output, C.Third);
    ASSERT_EQ(C.Chart->SeriesCount(), 5);
    EXPECT_EQ(C.Chart->Series(1), C.Third);
    EXPECT_EQ(C.Chart->Series(4), C.Output); // behind its own two lines
    const std::vector<QPointer<TChartSeries>> Series = C.AllSeries();
    C.Chart.reset();
    for (const QPointer<TChartSeries>& S : Series)
        EXPECT_TRUE(S.isNull());
}

TEST(IndicatorChartClosing, EveryOrderOfFunctionsWithLinesOfTheirOwn)
{
    ExpectIndicatorChartClosesAtEveryPlace<TMACDFunction, TLineSeries>(2);
    ExpectIndicatorChartClosesAtEveryPlace<TBollingerFunction, TLineSeries>(1);
    ExpectIndicatorChartClosesAtEveryPlace<TADXFunction, TCandleSeries>(2);
}

TEST(IndicatorChartClosing, FreeAllSeriesOfAClassSparesTheOthers)
{
    TClosingIndicatorChart<TMACDFunction, TLineSeries> C;
    C.Chart->ExchangeSeriesObjects(C.Output, C.Third);
    const QPointer<TChartSeries> Signal = qobject_cast<TMACDFunction*>(C.Output->SeriesFunction())->MACDExp();
    C.Chart->FreeAllSeries(&TVolumeSeries::staticMetaObject); // the histogram alone
    EXPECT_EQ(C.Chart->SeriesCount(), 4);
    // The MACD line takes its signal line with it, which is no line series.
    C.Chart->FreeAllSeries(&TLineSeries::staticMetaObject);
    EXPECT_EQ(C.Chart->SeriesCount(), 0);
    EXPECT_TRUE(Signal.isNull());
}

// --- Cross points and perimeter -----------------------------------------------------------------

TEST(CrossPointsFunction, WhereTheFirstTwoSourcesCross)
{
    test::TPriceChart C;
    auto* A = C.Add<TLineSeries>();
    auto* B = C.Add<TLineSeries>();
    A->AddXY(0, 0);
    A->AddXY(2, 2);
    B->AddXY(0, 2);
    B->AddXY(2, 0);
    auto* Output = C.Add<TLineSeries>();
    Output->SetFunction(new TCrossPointsFunction(&C.Chart));
    Output->SetDataSource(A);
    EXPECT_EQ(Output->Count(), 0); // one source
    Output->DataSources().Add(B);
    ASSERT_EQ(Output->Count(), 1);
    EXPECT_DOUBLE_EQ(Output->XValues()->Value(0), 1);
    EXPECT_DOUBLE_EQ(Output->YValues()->Value(0), 1);
    // One point each: nothing.
    A->Delete(1);
    B->Delete(1);
    Output->CheckDataSource();
    EXPECT_EQ(Output->Count(), 0);
    EXPECT_TRUE(Output->SeriesFunction()->GetEditorClassName().isEmpty());
}

TEST(PerimeterFunction, ClosedHullOfASquareAndItsCentre)
{
    test::TPriceChart C;
    auto* Source = C.Add<TPointSeries>();
    Source->XValues()->SetOrder(loNone);
    for (auto [X, Y] : std::vector<std::pair<double, double>>{{1, 10}, {3, 10}, {2, 50}, {3, 90}, {1, 90}})
        Source->AddXY(X, Y);
    auto* Output = C.Add<TLineSeries>();
    Output->SetFunction(new TPerimeterFunction(&C.Chart));
    Output->SetDataSource(Source);
    ASSERT_EQ(Output->Count(), 5);
    EXPECT_EQ(Output->XValues()->Order(), loNone);
    EXPECT_EQ(Output->XValues()->Value(4), Output->XValues()->Value(0));
    EXPECT_EQ(Output->YValues()->Value(4), Output->YValues()->Value(0));
    for (int I = 0; I < 4; ++I) {
        EXPECT_TRUE(Output->XValues()->Value(I) == 1 || Output->XValues()->Value(I) == 3);
        EXPECT_TRUE(Output->YValues()->Value(I) == 10 || Output->YValues()->Value(I) == 90);
    }
}

TEST(PerimeterFunction, OnALogarithmicAxisEveryCornerIsFinite)
{
    // Regression: in 3-D the first corner, projected above the top of a
    // logarithmic axis reaching 1e300, turned back into inf.
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetView3D(true);
    Chart.LeftAxis()->SetLogarithmic(true);
    auto* Line = new TLineSeries(&Chart);
    Chart.AddSeries(Line);
    for (auto [X, Y] : std::vector<std::pair<double, double>>{{0, 1e300}, {1, 5e-324}, {2, 3}})
        Line->AddXY(X, Y);
    auto* Output = new TLineSeries(&Chart);
    Chart.AddSeries(Output);
    Output->SetFunction(new TPerimeterFunction(&Chart));
    Output->SetDataSource(Line);
    ASSERT_GE(Output->Count(), 3);
    for (int I = 0; I < Output->Count(); ++I) {
        EXPECT_TRUE(std::isfinite(Output->XValues()->Value(I))) << I;
        EXPECT_TRUE(std::isfinite(Output->YValues()->Value(I))) << I << " " << Output->YValues()->Value(I);
    }
    // Closed on the first corner it kept.
    const int Last = Output->Count() - 1;
    EXPECT_EQ(Output->XValues()->Value(Last), Output->XValues()->Value(0));
    EXPECT_EQ(Output->YValues()->Value(Last), Output->YValues()->Value(0));
}

// --- Picture ------------------------------------------------------------------------------------

TEST(IndicatorPicture, MACDWithItsLines)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 200);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    auto* Prices = new TLineSeries(&Chart);
    Chart.AddSeries(Prices);
    Prices->SetActive(false);
    for (int I = 0; I < 60; ++I)
        Prices->AddXY(I, 50 + 20 * std::sin(I / 6.0) + (I % 5) * 1.5);
    auto* Line = new TLineSeries(&Chart);
    Chart.AddSeries(Line);
    Line->SetSeriesColor(clBlue);
    auto* F = new TMACDFunction(&Chart);
    Line->SetFunction(F);
    Line->SetDataSource(Prices);
    ASSERT_GT(F->Histogram()->Count(), 0);
    F->HistogramPen()->SetWidth(3);
    const QImage Image = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
    EXPECT_TRUE(test::MatchesReference(Image, "stats", "macd"));
}

} // namespace
} // namespace lp
