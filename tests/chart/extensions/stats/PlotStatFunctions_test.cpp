// Statistical functions: averages (plain, weighted, exponential), momentum,
// performance, deviation, RMS and variance over windows and across sources,
// stochastic windows, the guarded settings, and the unit's registration.

#include "chart/extensions/stats/PlotStatFunctions.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"

#include <QtGui/QWheelEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

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
    // Results truly beyond the doubles (sqrt 2 times 1.7e308) give no point.
    for (TPlotFunction* F : std::initializer_list<TPlotFunction*>{new TRMSFunction, new TStdDeviationFunction,
                                                                  new TVarianceFunction}) {
        TFunctionChart C(F, {1.7e308, -1.7e308}, 0);
        EXPECT_EQ(C.Output->Count(), 0) << F->metaObject()->className();
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

} // namespace
} // namespace lp
