// The polynomial curve (factor, calculation and drawing ranges, offsets,
// the degree guard), the linear and exponential trends with their
// fall-backs, and the correlation line.

#include "chart/extensions/functions/PlotCurveFitting.h"

#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"

#include <cmath>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::XsOf;
using test::YsOf;

// A source line of (X[i], Y[i]) and an output line through F.
struct TFitChart {
    test::TTestChart Chart;
    TLineSeries* Source = new TLineSeries(&Chart);
    TLineSeries* Output = new TLineSeries(&Chart);

    TFitChart(TPlotFunction* F, const std::vector<double>& X, const std::vector<double>& Y)
    {
        Chart.AddSeries(Source);
        Chart.AddSeries(Output);
        for (size_t I = 0; I < X.size(); ++I)
            Source->AddXY(X[I], Y[I]);
        Output->SetFunction(F);
        Output->SetDataSource(Source);
    }
};

void ExpectNear(const std::vector<double>& Actual, const std::vector<double>& Expected)
{
    ASSERT_EQ(Actual.size(), Expected.size());
    for (size_t I = 0; I < Actual.size(); ++I)
        EXPECT_NEAR(Actual[I], Expected[I], 1e-9) << I;
}

TEST(CurveFitting, QuadraticThroughThreePointsWithFactor)
{
    auto* F = new TCurveFittingFunction;
    F->SetPolyDegree(3);
    TFitChart C(F, {0, 1, 2}, {1, 3, 7});
    ExpectNear(YsOf(*C.Output), {1, 3, 7});
    F->SetFactor(2);
    ExpectNear(XsOf(*C.Output), {0, 0.5, 1, 1.5, 2});
    ExpectNear(YsOf(*C.Output), {1, 1.75, 3, 4.75, 7});
    // Offsets: the fit runs on x - min x, y - min y, drawn back in place.
    TFitChart Shifted(new TCurveFittingFunction, {10, 11, 12, 13, 14}, {100, 101, 104, 109, 116});
    ExpectNear(YsOf(*Shifted.Output), {100, 101, 104, 109, 116});
}

TEST(CurveFitting, OneTermIsTheMeanAndRangesAreClamped)
{
    auto* F = new TCurveFittingFunction;
    F->SetPolyDegree(1);
    TFitChart C(F, {0, 1, 2, 3}, {2, 4, 9, 1});
    ExpectNear(YsOf(*C.Output), {4, 4, 4, 4});
    F->SetFirstCalcPoint(1);
    F->SetLastCalcPoint(2);
    ExpectNear(YsOf(*C.Output), {6.5, 6.5, 6.5, 6.5});
    // Drawing limits beyond the source are clamped into it.
    F->SetFirstPoint(-5);
    F->SetLastPoint(99);
    EXPECT_EQ(C.Output->Count(), 4);
    F->SetFirstPoint(2);
    F->SetLastPoint(1);
    EXPECT_EQ(C.Output->Count(), 0);
    F->SetLastPoint(3);
    ExpectNear(XsOf(*C.Output), {2, 3});
    // A calculation range past the end fits nothing.
    F->SetFirstCalcPoint(10);
    EXPECT_EQ(C.Output->Count(), 0);
}

TEST(CurveFitting, DegreeGuardTooFewPointsAndSingularFit)
{
    TCurveFittingFunction F;
    for (int Bad : {0, 21}) {
        try {
            F.SetPolyDegree(Bad);
            FAIL() << Bad;
        } catch (const ChartException& E) {
            EXPECT_EQ(E.Message(), "Polynomial degree must be between 1 and 20");
        }
    }
    EXPECT_EQ(F.PolyDegree(), 5);
    F.SetFactor(-4);
    EXPECT_EQ(F.Factor(), 1);
    // Fewer source points than terms: the parent is only cleared.
    TFitChart Few(new TCurveFittingFunction, {0, 1, 2, 3}, {1, 2, 3, 4});
    EXPECT_EQ(Few.Output->Count(), 0);
    // Five points on one X cannot be fitted with five terms.
    EXPECT_THROW(TFitChart(new TCurveFittingFunction, {1, 1, 1, 1, 1}, {1, 2, 3, 4, 5}), ChartException);
}

TEST(Trend, LinearExponentialAndTheirFallBacks)
{
    auto* Linear = new TTrendFunction;
    TFitChart L(Linear, {0, 1, 2}, {1, 3, 5});
    double M = 0;
    double B = 0;
    ASSERT_TRUE(Linear->CalculateTrend(M, B, L.Source, -1, -1));
    EXPECT_NEAR(M, 2, 1e-12);
    EXPECT_NEAR(B, 1, 1e-12);
    ExpectNear(XsOf(*L.Output), {0, 2});
    ExpectNear(YsOf(*L.Output), {1, 5});

    const double E = std::exp(1.0);
    auto* Exp = new TExpTrendFunction;
    TFitChart X(Exp, {0, 1, 2}, {1, E, E * E});
    ASSERT_TRUE(Exp->CalculateTrend(M, B, X.Source, -1, -1));
    EXPECT_NEAR(M, 1, 1e-12);
    EXPECT_NEAR(B, 1, 1e-12);
    ExpectNear(YsOf(*X.Output), {1, E * E});

    // Two points on one X: slope 1, intercept 0.
    TFitChart Same(new TTrendFunction, {3, 3}, {1, 2});
    ASSERT_TRUE(Linear->CalculateTrend(M, B, Same.Source, -1, -1));
    EXPECT_EQ(M, 1);
    EXPECT_EQ(B, 0);
    // One point: no trend.
    TFitChart One(new TTrendFunction, {3}, {1});
    EXPECT_EQ(One.Output->Count(), 0);
}

TEST(Trend, ExponentialLeavesOutValuesWithoutALogarithm)
{
    // ln 0 and ln of a negative value do not exist; the rest still fit.
    const double E = std::exp(1.0);
    auto* Exp = new TExpTrendFunction;
    TFitChart C(Exp, {0, 1, 2, 3, 4}, {1, 0, E * E, -5, E * E * E * E});
    double M = 0;
    double B = 0;
    ASSERT_TRUE(Exp->CalculateTrend(M, B, C.Source, -1, -1));
    EXPECT_NEAR(M, 1, 1e-12);
    EXPECT_NEAR(B, 1, 1e-12);
    EXPECT_EQ(Exp->Sums().N, 3);
    EXPECT_TRUE(std::isfinite(C.Output->YValues()->Value(1)));
    // Fewer than two usable values: no trend at all.
    TFitChart Lone(new TExpTrendFunction, {0, 1, 2}, {0, -1, 3});
    EXPECT_EQ(Lone.Output->Count(), 0);
}

TEST(Trend, UnorderedPositionsSpanTheirRange)
{
    auto* Linear = new TTrendFunction;
    TFitChart C(Linear, {}, {});
    C.Source->XValues()->SetOrder(loNone);
    for (const auto& [X, Y] : {std::pair{2.0, 5.0}, {0.0, 1.0}, {1.0, 3.0}})
        C.Source->AddXY(X, Y);
    Linear->ReCalculate();
    ExpectNear(XsOf(*C.Output), {0, 2});
    ExpectNear(YsOf(*C.Output), {1, 5});
}

TEST(Correlation, CoefficientLineAndDegenerateCases)
{
    auto* R = new TCorrelationFunction;
    TFitChart C(R, {1, 2, 3}, {2, 4, 5});
    EXPECT_NEAR(R->Calculate(C.Source, -1, -1), 0.98198, 1e-5);
    ExpectNear(XsOf(*C.Output), {1, 3});
    EXPECT_NEAR(C.Output->YValues()->Value(0), 0.98198, 1e-5);
    EXPECT_EQ(C.Output->YValues()->Value(0), C.Output->YValues()->Value(1));
    // No spread in Y, or a single point: 1.
    TFitChart Flat(new TCorrelationFunction, {1, 2, 3}, {4, 4, 4});
    EXPECT_EQ(YsOf(*Flat.Output), (std::vector<double>{1, 1}));
    EXPECT_EQ(R->Calculate(Flat.Source, 0, 0), 1);
}

} // namespace
} // namespace lp
