// Statistical functions: averages (plain, weighted, exponential), momentum,
// performance, deviation, RMS and variance over windows and across sources,
// stochastic windows, the guarded settings, and the unit's registration.

#include "chart/extensions/stats/PlotStatFunctions.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/extensions/PlotErrorBar.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"

#include <QtGui/QWheelEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <memory>
#include <random>
#include <utility>

namespace lp {
namespace {

using test::AddValues;
using test::YsOf;

// A source line and an output line fed from it through F.
struct TFunctionChart {
    test::TTestChart Chart;
    TLineSeries* Source = new TLineSeries(&Chart);
    TLineSeries* Output = new TLineSeries(&Chart);

    TFunctionChart(TPlotFunction* F, const std::vector<double>& Values, double Period)
    {
        Chart.AddSeries(Source);
        Chart.AddSeries(Output);
        AddValues(*Source, Values);
        F->InternalSetPeriod(Period);
        Output->SetFunction(F);
        Output->SetDataSource(Source);
    }
};

std::vector<double> Compute(TPlotFunction* F, const std::vector<double>& Values, double Period)
{
    TFunctionChart C(F, Values, Period);
    return YsOf(*C.Output);
}

void ExpectNear(const std::vector<double>& Actual, const std::vector<double>& Expected)
{
    ASSERT_EQ(Actual.size(), Expected.size());
    for (size_t I = 0; I < Actual.size(); ++I)
        EXPECT_NEAR(Actual[I], Expected[I], 1e-6) << I;
}

TEST(MovingAverage, PlainWeightedAndByIndex)
{
    test::TTestChart Chart;
    ExpectNear(Compute(new TMovingAverageFunction(&Chart), {1, 2, 3, 4, 5}, 3), {2, 3, 4});
    auto* ByIndex = new TMovingAverageFunction(&Chart);
    ByIndex->SetWeightedIndex(true);
    ExpectNear(Compute(ByIndex, {1, 2, 3}, 3), {14.0 / 6});
    // By X (0, 1, 2), and X wins over the index.
    auto* ByX = new TMovingAverageFunction(&Chart);
    ByX->SetWeightedIndex(true);
    ByX->SetWeighted(true);
    ExpectNear(Compute(ByX, {1, 2, 3}, 3), {(0 + 2 + 6) / 3.0});
    // Weights summing to 0: X 0 alone.
    auto* Zero = new TMovingAverageFunction(&Chart);
    Zero->SetWeighted(true);
    ExpectNear(Compute(Zero, {7, 8}, 1), {0, 8});
}

TEST(MovingAverage, PeriodZeroStopsAtTheAssertion)
{
    TLineSeries Source;
    AddValues(Source, {1, 2});
    TMovingAverageFunction F;
    F.InternalSetPeriod(0);
    try {
        F.Calculate(&Source, 0, 1);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& E) {
        EXPECT_EQ(E.Message(), "Period must be bigger than zero.");
    }
}

TEST(ExpAverage, WeightAndFirstPoint)
{
    test::TTestChart Chart;
    auto* F = new TExpAverageFunction(&Chart);
    F->SetWeight(0.5);
    ExpectNear(Compute(F, {4, 8, 2}, 1), {4, 6, 5});
    TExpAverageFunction G;
    G.SetWeight(0.25);
    EXPECT_THROW(G.SetWeight(1.5), ChartException);
    EXPECT_THROW(G.SetWeight(-0.1), ChartException);
    EXPECT_EQ(G.Weight(), 0.25);
    try {
        G.SetWeight(1.5);
    } catch (const ChartException& E) {
        EXPECT_EQ(E.Message(), "ExpAverage Weight must be between 0 and 1");
    }
    EXPECT_NO_THROW(G.SetWeight(0));
    EXPECT_NO_THROW(G.SetWeight(1));
}

TEST(ExpMovingAverage, WholeSeriesAtOnce)
{
    test::TTestChart Chart;
    ExpectNear(Compute(new TExpMovAveFunction(&Chart), {1, 2, 3}, 3), {1, 1.5, 2.25});
    EXPECT_TRUE(Compute(new TExpMovAveFunction(&Chart), {5}, 3).empty());
    EXPECT_TRUE(Compute(new TExpMovAveFunction(&Chart), {1, 2}, 0).empty());
    TExpMovAveFunction F;
    EXPECT_EQ(F.Period(), 10);
    EXPECT_FALSE(F.UsesPeriod());
}

TEST(Momentum, DifferenceRatioAndPerformance)
{
    test::TTestChart Chart;
    ExpectNear(Compute(new TMomentumFunction(&Chart), {1, 4, 9, 16}, 2), {3, 5, 7});
    ExpectNear(Compute(new TMomentumDivFunction(&Chart), {2, 4, 0, 5}, 2), {200, 0, 0});
    // Always against the first value.
    ExpectNear(Compute(new TPerformanceFunction(&Chart), {10, 15, 5}, 2), {50, -50});
    ExpectNear(Compute(new TPerformanceFunction(&Chart), {0, 15, 5}, 2), {0, 0});
}

TEST(Deviation, SampleAndPopulation)
{
    TLineSeries S;
    AddValues(S, {2, 4, 4, 4, 5, 5, 7, 9});
    TStdDeviationFunction D;
    EXPECT_NEAR(D.Calculate(&S, -1, -1), 2.138090, 1e-6);
    D.SetComplete(true);
    EXPECT_NEAR(D.Calculate(&S, -1, -1), 2.0, 1e-12);
    EXPECT_EQ(D.Calculate(&S, 3, 3), 0); // one point
    TVarianceFunction V;
    EXPECT_NEAR(V.Calculate(&S, -1, -1), 4, 1e-12);
    EXPECT_NEAR(V.Calculate(&S, 0, 1), 1, 1e-12); // part of the list: its own mean
    TLineSeries Pair;
    AddValues(Pair, {3, 4});
    TRMSFunction R;
    EXPECT_NEAR(R.Calculate(&Pair, -1, -1), 5.0, 1e-12);
    R.SetComplete(true);
    EXPECT_NEAR(R.Calculate(&Pair, -1, -1), 3.535534, 1e-6);
    EXPECT_EQ(R.Calculate(&Pair, 1, 1), 0);
}

TEST(Deviation, AcrossSources)
{
    TLineSeries A;
    TLineSeries B;
    TLineSeries C;
    AddValues(A, {2, 3});
    AddValues(B, {4, 4});
    AddValues(C, {9});
    const std::vector<TChartSeries*> All = {&A, &B, &C};
    TStdDeviationFunction D;
    D.SetComplete(true);
    // Index 0 over 2, 4, 9; index 1 over 3 and 4 only.
    EXPECT_NEAR(D.CalculateMany(All, 0), std::sqrt(26.0 / 3), 1e-12);
    EXPECT_NEAR(D.CalculateMany(All, 1), 0.5, 1e-12);
    EXPECT_EQ(D.CalculateMany(All, 2), 0);
    TRMSFunction R;
    EXPECT_NEAR(R.CalculateMany(All, 1), 5.0, 1e-12);
    TVarianceFunction V;
    EXPECT_NEAR(V.CalculateMany(All, 0), 26.0 / 3, 1e-12);
    EXPECT_EQ(V.CalculateMany(All, 5), 0);
}

TEST(Deviation, ValuesNearTheLimitOfTheDoubles)
{
    // Squares of these pass the largest double; the results do not.
    TLineSeries S;
    AddValues(S, {1e300, -1e300, 1e300, -1e300});
    TRMSFunction R;
    EXPECT_NEAR(R.Calculate(&S, -1, -1) / 1e300, std::sqrt(4.0 / 3), 1e-12);
    R.SetComplete(true);
    EXPECT_NEAR(R.Calculate(&S, -1, -1) / 1e300, 1, 1e-12);
    TStdDeviationFunction D;
    EXPECT_NEAR(D.Calculate(&S, -1, -1) / 1e300, std::sqrt(4.0 / 3), 1e-12);
    D.SetComplete(true);
    EXPECT_NEAR(D.Calculate(&S, -1, -1) / 1e300, 1, 1e-12);
    TLineSeries Far;
    AddValues(Far, {1e300, 3e300});
    const std::vector<TChartSeries*> Both = {&S, &Far};
    EXPECT_NEAR(D.CalculateMany(Both, 0), 0, 1e-12); // 1e300 twice
    EXPECT_NEAR(D.CalculateMany(Both, 1) / 1e300, 2, 1e-12);
    EXPECT_NEAR(R.CalculateMany(Both, 1) / 1e300, std::sqrt(5.0), 1e-12);

    // Through the series: the whole source gives the line of its result.
    for (TPlotFunction* F : std::initializer_list<TPlotFunction*>{new TRMSFunction, new TStdDeviationFunction}) {
        TFunctionChart C(F, {1e300, -1e300, 1e300, -1e300}, 0);
        ASSERT_EQ(C.Output->Count(), 2) << F->metaObject()->className();
        EXPECT_NEAR(C.Output->YValues()->Value(0) / 1e300, std::sqrt(4.0 / 3), 1e-12);
        EXPECT_TRUE(std::isfinite(C.Output->YValues()->MaxValue()));
    }
    // Results truly beyond the doubles (sqrt 2 times 1.7e308) give null
    // points, never infinity.
    for (TPlotFunction* F : std::initializer_list<TPlotFunction*>{new TRMSFunction, new TStdDeviationFunction,
                                                                  new TVarianceFunction}) {
        TFunctionChart C(F, {1.7e308, -1.7e308}, 0);
        ASSERT_EQ(C.Output->Count(), 2) << F->metaObject()->className();
        EXPECT_TRUE(C.Output->IsNull(0) && C.Output->IsNull(1)) << F->metaObject()->className();
        EXPECT_EQ(C.Output->YValues()->MaxValue(), 0) << F->metaObject()->className();
    }
}

TEST(Deviation, ShiftWheelOnAChartOfValuesNearTheLimitKeepsEveryRangeFinite)
{
    // A line of values near ±1e300 with its RMS, deviation and trend, shown;
    // then a Shift+wheel over the chart.
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetView3D(false);
    auto* Source = new TLineSeries(&Chart);
    Chart.AddSeries(Source);
    AddValues(*Source, {1e300, -1e300, 0.5e300, -0.8e300, 1e300});
    for (TPlotFunction* F : std::initializer_list<TPlotFunction*>{new TRMSFunction(&Chart),
                                                                  new TStdDeviationFunction(&Chart),
                                                                  new TTrendFunction(&Chart)}) {
        auto* Output = new TLineSeries(&Chart);
        Chart.AddSeries(Output);
        Output->SetFunction(F);
        Output->SetDataSource(Source);
        ASSERT_EQ(Output->Count(), 2) << F->metaObject()->className();
    }
    QWidget* Window = Chart.Widget();
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
    Window->repaint();
    const double Min = Chart.LeftAxis()->CalcMinimum();
    const double Range = Chart.LeftAxis()->CalcRange();
    ASSERT_TRUE(std::isfinite(Range));
    const QPoint Inside(200, 150);
    QWheelEvent Wheel(QPointF(Inside), Window->mapToGlobal(QPointF(Inside)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Window, &Wheel);
    Window->repaint();
    for (const TChartAxis* Axis : Chart.AxesList()) {
        EXPECT_TRUE(std::isfinite(Axis->CalcMinimum())) << Chart.AxesList().IndexOf(Axis);
        EXPECT_TRUE(std::isfinite(Axis->CalcMaximum())) << Chart.AxesList().IndexOf(Axis);
    }
    EXPECT_NEAR(Chart.LeftAxis()->CalcMinimum() / Range, Min / Range + 0.03, 1e-9);
}

TEST(Stochastic, CloseWithinTheWindowsSpan)
{
    test::TTestChart Chart;
    auto* Prices = new TCandleSeries(&Chart);
    Chart.AddSeries(Prices);
    Prices->AddOHLC(0, 5, 10, 0, 5);
    Prices->AddOHLC(1, 5, 12, 2, 9);
    Prices->AddOHLC(2, 5, 5, 5, 5);
    auto* Output = new TLineSeries(&Chart);
    Chart.AddSeries(Output);
    auto* F = new TStochasticFunction(&Chart);
    F->InternalSetPeriod(2);
    Output->SetFunction(F);
    Output->SetDataSource(Prices);
    // Window 0-1: (9 - 0) / (12 - 0); window 1-2: (5 - 2) / (12 - 2).
    ExpectNear(YsOf(*Output), {75, 30});
    EXPECT_EQ(F->Nums().size(), 3u);
    EXPECT_EQ(F->Dens()[1], 12);
    // A window whose high equals its low.
    TCandleSeries Flat;
    Flat.AddOHLC(0, 5, 5, 5, 5);
    EXPECT_EQ(F->Calculate(&Flat, 0, 0), 0);
}

TEST(StatisticsSettings, ChangesRecalculateAndCopy)
{
    test::TTestChart Chart;
    auto* F = new TMovingAverageFunction(&Chart);
    TFunctionChart C(F, {1, 2, 3}, 3);
    ExpectNear(YsOf(*C.Output), {2});
    F->SetWeightedIndex(true);
    ExpectNear(YsOf(*C.Output), {14.0 / 6});
    TMovingAverageFunction Copy;
    Copy.Assign(F);
    EXPECT_TRUE(Copy.WeightedIndex());
    EXPECT_EQ(Copy.Period(), 3);
    EXPECT_EQ(Copy.GetEditorClassName(), QStringLiteral("TMovAveFuncEditor"));
    EXPECT_EQ(TRMSFunction().GetEditorClassName(), QStringLiteral("TRMSFuncEditor"));
    EXPECT_EQ(TStdDeviationFunction().GetEditorClassName(), QStringLiteral("TRMSFuncEditor"));
}

TEST(StatisticsRegistration, FourteenFunctionsAndTwoHistograms)
{
    struct TExpected {
        const char* Description;
        const char* Page;
    };
    const TExpected Expected[] = {
        {"Moving\rAverage", "Financial"}, {"Exp.Moving\rAverage", "Financial"},
        {"Exponential\rAverage", "Extended"}, {"Momentum", "Financial"},
        {"Momentum\rDivision", "Financial"}, {"Standard\rDeviation", "Extended"},
        {"Root Mean\rSquare", "Extended"}, {"MACD", "Financial"},
        {"Stochastic", "Financial"}, {"Bollinger\rbands", "Financial"},
        {"Cross Points", "Extended"}, {"Performance", "Extended"},
        {"Variance", "Extended"}, {"Perimeter", "Extended"},
        {"Histogram", "Stats"}, {"Horizontal\rHistogram", "Stats"},
    };
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    int At = -1;
    for (int I = 0; I < Types.Count(); ++I)
        if (Types[I]->FunctionClass == &TMovingAverageFunction::staticMetaObject)
            At = I;
    ASSERT_GE(At, 0);
    ASSERT_GE(Types.Count(), At + 16);
    for (int I = 0; I < 16; ++I) {
        EXPECT_EQ(Types[At + I]->DescriptionText(), QString::fromLatin1(Expected[I].Description)) << I;
        EXPECT_EQ(Types[At + I]->GalleryPageText(), QString::fromLatin1(Expected[I].Page)) << I;
        EXPECT_EQ(Types[At + I]->NumGallerySeries, 1);
    }
    const int Before = Types.Count();
    UnregisterStatisticsFunctions();
    EXPECT_EQ(PlotSeriesTypes()->Count(), Before - 16);
    RegisterStatisticsFunctions();
    EXPECT_EQ(PlotSeriesTypes()->Count(), Before);
}

// --- Recalculation when sources change ----------------------------------------------------------

// A function of kind TFunction that counts its calculations.
template <class TFunction>
class TCounted : public TFunction {
public:
    using TFunction::TFunction;
    void AddPoints(TChartSeries* Source) override
    {
        ++Calculations;
        TFunction::AddPoints(Source);
    }
    int Calculations = 0;
};
using TCountedDeviation = TCounted<TStdDeviationFunction>;
using TCountedBollinger = TCounted<TBollingerFunction>;

// X, Y and label of every point.
struct TLabelledPoint {
    double X;
    double Y;
    QString Label;
    bool operator==(const TLabelledPoint& Other) const
    {
        return X == Other.X && Y == Other.Y && Label == Other.Label;
    }
};

std::vector<TLabelledPoint> LabelledPointsOf(const TChartSeries& S)
{
    std::vector<TLabelledPoint> Result;
    for (int I = 0; I < S.Count(); ++I)
        Result.push_back({S.XValues()->Value(I), S.YValues()->Value(I), S.Labels().GetLabel(I)});
    return Result;
}

// The points a new line with a function from Make computes over Sources
// right now (an exact copy is expected: the same sums in the same order).
std::vector<TLabelledPoint> FreshPoints(TCustomAxisPanel& Chart, const std::function<TPlotFunction*()>& Make,
                                        const std::vector<TChartSeries*>& Sources)
{
    auto* Fresh = new TLineSeries(&Chart);
    Chart.AddSeries(Fresh);
    Fresh->SetFunction(Make());
    Fresh->SetDataSource(Sources.front());
    for (size_t I = 1; I < Sources.size(); ++I)
        Fresh->DataSources().Add(Sources[I]);
    std::vector<TLabelledPoint> Result = LabelledPointsOf(*Fresh);
    delete Fresh;
    return Result;
}

// A horizontal area of 320 labelled points and an error-bar series, a
// standard deviation over both into a line.
struct TDeviationOfTwoSources {
    test::TTestChart Chart;
    THorizAreaSeries* Area = new THorizAreaSeries(&Chart);
    TErrorBarSeries* Errors = new TErrorBarSeries(&Chart);
    TLineSeries* Output = new TLineSeries(&Chart);
    TCountedDeviation* Deviation = new TCountedDeviation(&Chart);

    TDeviationOfTwoSources()
    {
        for (TChartSeries* S : std::initializer_list<TChartSeries*>{Area, Errors, Output})
            Chart.AddSeries(S);
        for (int I = 0; I < 320; ++I)
            Area->AddXY(50 + 40 * std::sin(I * 0.37), I, QStringLiteral("a%1").arg(I));
        Output->SetFunction(Deviation);
        Output->SetDataSource(Area);
        Output->DataSources().Add(Errors);
    }
    // The error bars filled value by value: each point added, then its
    // value and error set.
    void FillErrors(int Count)
    {
        for (int I = 0; I < Count; ++I) {
            const int Index = Errors->AddErrorBar(I, 0, 0);
            Errors->YValues()->SetValue(Index, 30 + 20 * std::cos(I * 0.21));
            Errors->ErrorValues()->SetValue(Index, 1 + I % 5);
        }
    }
    std::vector<TLabelledPoint> Fresh()
    {
        return FreshPoints(Chart, [] { return new TStdDeviationFunction(); }, {Area, Errors});
    }
};

// Regression: every value set recalculated the deviation whole, and each
// recalculation added the horizontal source's points one at a time into
// the X order of their results, labels shifted along: 12.7 s for an
// error-bar series of 3,000 points beside 3,200, the window frozen. A
// burst of value sets now recalculates once, at the next read, and the
// results are put in order once.
TEST(FunctionRecalculation, ABurstOfValueSetsRecalculatesOnceInOrder)
{
    TDeviationOfTwoSources D;
    D.Deviation->Calculations = 0;
    D.FillErrors(300);
    test::TInsertWatch Watch(*D.Output);
    EXPECT_EQ(D.Output->Count(), 320);
    EXPECT_EQ(D.Deviation->Calculations, 1);
    EXPECT_EQ(Watch.Shifted, 0);
    EXPECT_EQ(LabelledPointsOf(*D.Output), D.Fresh());
    EXPECT_FALSE(D.Output->Labels().GetLabel(0).isEmpty());
}

// After a burst of changes, each way of reading the output (or painting
// it) finds it up to date, recalculated once.
TEST(FunctionRecalculation, EveryReadFindsTheOutputUpToDate)
{
    TDeviationOfTwoSources D;
    D.FillErrors(40);
    D.Output->Count();
    const std::vector<TLabelledPoint> Before = LabelledPointsOf(*D.Output);
    int Burst = 0;
    // A burst changing every error-bar value; Read reads the output.
    const auto Check = [&](const char* Name, const std::function<void()>& Read) {
        SCOPED_TRACE(Name);
        ++Burst;
        for (int I = 0; I < D.Errors->Count(); ++I)
            D.Errors->YValues()->SetValue(I, 30 + 20 * std::cos(I * 0.21 + Burst));
        const int Calculations = D.Deviation->Calculations;
        EXPECT_TRUE(D.Output->Stale());
        Read();
        EXPECT_FALSE(D.Output->Stale());
        EXPECT_EQ(D.Deviation->Calculations, Calculations + 1);
        EXPECT_EQ(LabelledPointsOf(*D.Output), D.Fresh());
        EXPECT_NE(LabelledPointsOf(*D.Output), Before);
    };
    Check("Count", [&] { D.Output->Count(); });
    Check("Value", [&] { D.Output->YValues()->Value(0); });
    Check("Data", [&] { D.Output->XValues()->Data(); });
    Check("MaxValue", [&] { D.Output->XValues()->MaxValue(); });
    Check("MinValue", [&] { D.Output->YValues()->MinValue(); });
    Check("Total", [&] { D.Output->XValues()->Total(); });
    Check("Locate", [&] { D.Output->YValues()->Locate(3); });
    Check("MaxXValue", [&] { D.Output->MaxXValue(); });
    Check("MinYValue", [&] { D.Output->MinYValue(); });
    Check("Label", [&] { D.Output->Labels().GetLabel(0); });
    Check("Colour", [&] { D.Output->GetValueColor(0); });
    Check("AddXY", [&] {
        // A point added by hand goes after the recalculated ones; taken away
        // again for the comparison.
        const int Index = D.Output->AddXY(1e6, 1e6);
        D.Output->Delete(Index);
    });
    Check("Paint", [&] {
        D.Chart.SetBounds(0, 0, 300, 200);
        D.Chart.CreateBitmap(clWhite, D.Chart.GetRectangle());
    });
    // Emptied while waiting, the output stays empty.
    D.Errors->YValues()->SetValue(0, 7);
    EXPECT_TRUE(D.Output->Stale());
    D.Output->Clear();
    EXPECT_FALSE(D.Output->Stale());
    EXPECT_EQ(D.Output->Count(), 0);
}

// Prices and a line computed from them by a function from Make.
struct TPricesUnder {
    test::TTestChart Chart;
    TCandleSeries* Prices = new TCandleSeries(&Chart);
    TLineSeries* Output = new TLineSeries(&Chart);
    std::function<TPlotFunction*()> Make;

    explicit TPricesUnder(std::function<TPlotFunction*()> AMake, TPlotFunction* Function = nullptr) : Make(std::move(AMake))
    {
        Chart.AddSeries(Prices);
        Chart.AddSeries(Output);
        Output->SetFunction(Function ? Function : Make());
        Output->SetDataSource(Prices);
    }
    // Day I's prices, far off on day Spike.
    void AddDay(int I, int Spike = -1)
    {
        const double Close = 100 + 10 * std::sin(I * 0.3) + (I == Spike ? 1e6 : 0);
        Prices->AddOHLC(I, Close - 1, Close + 2, Close - 2, Close);
    }
    std::vector<TLabelledPoint> Fresh() { return FreshPoints(Chart, Make, {Prices}); }
};

TPlotFunction* MakeBands(double Period, bool Exponential)
{
    auto* F = new TBollingerFunction();
    F->InternalSetPeriod(Period);
    F->SetExponential(Exponential);
    return F;
}

// Regression: a candle series with Bollinger bands filled point by point,
// each point followed by a refresh, recalculated the bands at every point
// (3.2 s for 4,000 points). Each point now adds what it brings to the
// bands (their last run of windows), and the refresh after it, changing
// nothing more, recalculates nothing.
TEST(FunctionRecalculation, BandsOverPricesFilledPointByPointRecalculateNothing)
{
    auto* Bollinger = new TCountedBollinger();
    Bollinger->InternalSetPeriod(20);
    TPricesUnder P([] { return MakeBands(20, true); }, Bollinger);
    Bollinger->Calculations = 0;
    for (int I = 0; I < 400; ++I) {
        P.AddDay(I);
        P.Prices->RefreshSeries();
    }
    EXPECT_EQ(P.Output->Count(), 381);
    EXPECT_EQ(Bollinger->Calculations, 0);
    EXPECT_EQ(LabelledPointsOf(*P.Output), P.Fresh());
}

// A point appended to the prices adds the window result it brings to a
// moving average read after every point, with no recalculation.
TEST(FunctionRecalculation, APointAppendedAddsOnlyItsWindowsResult)
{
    TPricesUnder P([] {
        auto* A = new TMovingAverageFunction();
        A->InternalSetPeriod(5);
        return A;
    });
    test::TInsertWatch Watch(*P.Output);
    for (int I = 0; I < 200; ++I) {
        P.AddDay(I);
        EXPECT_FALSE(P.Output->Stale());
        EXPECT_EQ(P.Output->Count(), std::max(0, I - 3));
    }
    EXPECT_EQ(Watch.Added, 196);
    EXPECT_EQ(LabelledPointsOf(*P.Output), P.Fresh());
}

// Bands read after every point appended compute only their last run of
// windows again (a price far off on day 50 scales its run anew): no
// recalculation, and the very points one gives, on both bands.
TEST(FunctionRecalculation, BandsReadAfterEveryPointAppendedComputeTheirLastRunOnly)
{
    for (const bool Exponential : {true, false}) {
        SCOPED_TRACE(Exponential);
        auto* Bollinger = new TCountedBollinger();
        Bollinger->InternalSetPeriod(7);
        Bollinger->SetExponential(Exponential);
        TPricesUnder P([Exponential] { return MakeBands(7, Exponential); }, Bollinger);
        Bollinger->Calculations = 0;
        for (int I = 0; I < 100; ++I) {
            P.AddDay(I, 50);
            EXPECT_FALSE(P.Output->Stale());
            EXPECT_EQ(P.Output->Count(), std::max(0, I - 5));
        }
        EXPECT_EQ(Bollinger->Calculations, 0);
        EXPECT_EQ(LabelledPointsOf(*P.Output), P.Fresh());
        auto* Fresh = new TLineSeries(&P.Chart);
        P.Chart.AddSeries(Fresh);
        auto* FreshBands = qobject_cast<TBollingerFunction*>(P.Make());
        Fresh->SetFunction(FreshBands);
        Fresh->SetDataSource(P.Prices);
        EXPECT_EQ(LabelledPointsOf(*Bollinger->LowBand()), LabelledPointsOf(*FreshBands->LowBand()));
    }
}

// Prices refreshed after every point appended, the bands read each time
// (a program filling a chart on the screen): a refresh that changed
// nothing more leaves the bands as the appended point made them; one after
// a change made without a notice recalculates them.
TEST(FunctionRecalculation, ARefreshAfterAnAppendedPointRecalculatesNothingMore)
{
    auto* Bollinger = new TCountedBollinger();
    Bollinger->InternalSetPeriod(10);
    TPricesUnder P([] { return MakeBands(10, true); }, Bollinger);
    Bollinger->Calculations = 0;
    for (int I = 0; I < 60; ++I) {
        P.AddDay(I);
        P.Prices->RefreshSeries();
        EXPECT_FALSE(P.Output->Stale());
        P.Output->Count();
    }
    EXPECT_EQ(Bollinger->Calculations, 0);
    EXPECT_EQ(LabelledPointsOf(*P.Output), P.Fresh());
    P.Prices->CloseValues()->InternalSetValue(30, 250);
    P.Prices->RefreshSeries();
    EXPECT_TRUE(P.Output->Stale());
    EXPECT_EQ(LabelledPointsOf(*P.Output), P.Fresh());
    EXPECT_EQ(Bollinger->Calculations, 1);
    // A period set without a recalculation is taken at the next refresh.
    Bollinger->InternalSetPeriod(5);
    P.Prices->RefreshSeries();
    EXPECT_EQ(LabelledPointsOf(*P.Output), FreshPoints(P.Chart, [] { return MakeBands(5, true); }, {P.Prices}));
}

// Random appends, insertions, deletions, value sets and bursts on prices
// under functions of every kind (window functions added to point by
// point, the others recalculated; one reading another's output): after
// each change every output holds exactly what a new function computes.
TEST(FunctionRecalculation, RandomChangesGiveWhatANewFunctionComputes)
{
    struct TKind {
        const char* Name;
        std::function<TPlotFunction*()> Make;
    };
    const auto Period = [](TPlotFunction* F, double P) {
        F->InternalSetPeriod(P);
        return F;
    };
    const std::vector<TKind> Kinds = {
        {"moving average", [&] { return Period(new TMovingAverageFunction(), 3); }},
        {"weighted average",
         [&] {
             auto* F = new TMovingAverageFunction();
             F->SetWeightedIndex(true);
             return Period(F, 4);
         }},
        {"exponential average", [&] { return Period(new TExpAverageFunction(), 2); }},
        {"momentum", [&] { return Period(new TMomentumFunction(), 3); }},
        {"momentum division", [&] { return Period(new TMomentumDivFunction(), 2); }},
        {"performance", [&] { return Period(new TPerformanceFunction(), 3); }},
        {"stochastic", [&] { return Period(new TStochasticFunction(), 4); }},
        {"RSI", [&] { return Period(new TRSIFunction(), 5); }},
        {"deviation by period", [&] { return Period(new TStdDeviationFunction(), 4); }},
        {"exp. moving average", [&] { return Period(new TExpMovAveFunction(), 5); }},
        {"Bollinger", [&] { return Period(new TBollingerFunction(), 6); }},
        {"Bollinger of plain averages",
         [&] {
             auto* F = new TBollingerFunction();
             F->SetExponential(false);
             return Period(F, 5);
         }},
        {"MACD", [&] { return new TMACDFunction(); }},
    };
    for (const unsigned Seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(Seed);
        test::TTestChart Chart;
        auto* Prices = new TCandleSeries(&Chart);
        Chart.AddSeries(Prices);
        std::vector<TLineSeries*> Outputs;
        for (const TKind& Kind : Kinds) {
            auto* Output = new TLineSeries(&Chart);
            Chart.AddSeries(Output);
            Output->SetFunction(Kind.Make());
            Output->SetDataSource(Prices);
            Outputs.push_back(Output);
        }
        // An average of the first average.
        auto* Second = new TLineSeries(&Chart);
        Chart.AddSeries(Second);
        const auto MakeSecond = [&] { return Period(new TMovingAverageFunction(), 2); };
        Second->SetFunction(MakeSecond());
        Second->SetDataSource(Outputs.front());
        std::mt19937 Random(Seed);
        std::uniform_real_distribution<double> Price(50, 150);
        double LastX = 0;
        const auto AddAt = [&](double X) {
            const double Close = Price(Random);
            Prices->AddOHLC(X, Price(Random), std::max(Close, 150.0), std::min(Close, 50.0), Close);
        };
        for (int Step = 0; Step < 160; ++Step) {
            const int Action = static_cast<int>(Random() % 10);
            const int N = Prices->Count();
            const int At = N > 0 ? static_cast<int>(Random() % static_cast<unsigned>(N)) : 0;
            if (Action < 5 || N < 3) {
                AddAt(++LastX); // appended
            } else if (Action == 5) {
                AddAt(Prices->XValues()->Value(At) - 0.5); // inserted
            } else if (Action == 6) {
                Prices->Delete(At);
            } else if (Action == 7) {
                Prices->CloseValues()->SetValue(At, Price(Random));
            } else if (Action == 8) {
                if (Random() % 2 == 0)
                    Prices->HighValues()->SetValue(At, 200 + Price(Random));
                else
                    Prices->RefreshSeries(); // nothing changed
            } else {
                Prices->BeginUpdate();
                for (int K = 0; K < 3; ++K)
                    AddAt(++LastX);
                Prices->EndUpdate();
            }
            if (Step % 3 == 2)
                continue; // changes pile up unread now and then
            for (size_t K = 0; K < Kinds.size(); ++K) {
                SCOPED_TRACE(Kinds[K].Name);
                SCOPED_TRACE(Step);
                ASSERT_EQ(LabelledPointsOf(*Outputs[K]), FreshPoints(Chart, Kinds[K].Make, {Prices}));
            }
            ASSERT_EQ(LabelledPointsOf(*Second), FreshPoints(Chart, MakeSecond, {Outputs.front()}));
        }
    }
}

} // namespace
} // namespace lp
