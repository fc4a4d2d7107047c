// The polynomial curve (factor, calculation and drawing ranges, offsets,
// the degree guard), the linear and exponential trends with their
// fall-backs, and the correlation line.

#include "chart/extensions/functions/PlotCurveFitting.h"

#include "chart/engine/PlotValueList.h"
#include "tests/chart/extensions/functions/FunctionTestUtil.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::ExpectNear;
using test::XsOf;
using test::YsOf;

struct TFitChart : test::TFunctionChart<> {
    TFitChart(TPlotFunction* F, const std::vector<double>& X, const std::vector<double>& Y) : TFunctionChart(F)
    {
        Fill(X, Y);
    }
};

const double E = std::exp(1.0);

TEST(CurveFitting, QuadraticThroughThreePointsWithFactorAndOffsets)
{
    auto* F = new TCurveFittingFunction;
    F->SetPolyDegree(3);
    TFitChart C(F, {0, 1, 2}, {1, 3, 7});
    ExpectNear(YsOf(*C.Output), {1, 3, 7});
    for (int K = 0; K < 3; ++K)
        EXPECT_NEAR(static_cast<double>(F->AnswerVector()[K]), K == 0 ? 0 : 1, 1e-12) << K; // y - min y
    F->SetFactor(2);
    ExpectNear(XsOf(*C.Output), {0, 0.5, 1, 1.5, 2});
    ExpectNear(YsOf(*C.Output), {1, 1.75, 3, 4.75, 7});
    // Fitted on x - min x, y - min y and drawn back in place.
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
    // Drawing limits outside the source are clamped into it.
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
        } catch (const ChartException& Error) {
            EXPECT_EQ(Error.Message(), "Polynomial degree must be between 1 and 20");
        }
    }
    EXPECT_EQ(F.PolyDegree(), 5);
    F.SetFactor(-4);
    EXPECT_EQ(F.Factor(), 1);
    // Fewer source points than terms: the parent is only cleared.
    TFitChart Few(new TCurveFittingFunction, {0, 1, 2, 3}, {1, 2, 3, 4});
    EXPECT_EQ(Few.Output->Count(), 0);
    // Five points on one X cannot be fitted with five terms.
    try {
        TFitChart(new TCurveFittingFunction, {1, 1, 1, 1, 1}, {1, 2, 3, 4, 5});
        FAIL() << "fitted";
    } catch (const ChartException& Error) {
        EXPECT_EQ(Error.Message(), "Cannot process fitting");
    }
}

struct TTrendRow {
    bool Exponential;
    std::vector<double> X;
    std::vector<double> Y;
    double M;
    double B;
    std::vector<double> Line; // the output's Y values
};

TEST(Trend, CoefficientsLinesAndFallBacks)
{
    const TTrendRow Rows[] = {
        {false, {0, 1, 2}, {1, 3, 5}, 2, 1, {1, 5}},
        {true, {0, 1, 2}, {1, E, E * E}, 1, 1, {1, E * E}},
        // Positions out of order: the line spans their range.
        {false, {2, 0, 1}, {5, 1, 3}, 2, 1, {1, 5}},
        // ln 0 and ln of a negative value do not exist: left out.
        {true, {0, 1, 2, 3, 4}, {1, 0, E * E, -5, E * E * E * E}, 1, 1, {1, E * E * E * E}},
        // Two points on one X: slope 1, intercept 0.
        {false, {3, 3}, {1, 2}, 1, 0, {3, 3}},
    };
    for (const TTrendRow& Row : Rows) {
        auto* F = Row.Exponential ? static_cast<TCustomTrendFunction*>(new TExpTrendFunction) : new TTrendFunction;
        TFitChart C(F, {}, {});
        if (!std::is_sorted(Row.X.begin(), Row.X.end()))
            C.Source->XValues()->SetOrder(loNone);
        C.Fill(Row.X, Row.Y);
        double M = 0;
        double B = 0;
        ASSERT_TRUE(F->CalculateTrend(M, B, C.Source, -1, -1));
        EXPECT_NEAR(M, Row.M, 1e-12) << Row.X.size();
        EXPECT_NEAR(B, Row.B, 1e-12) << Row.X.size();
        ExpectNear(YsOf(*C.Output), Row.Line);
    }
    // No trend from one point, nor from one value with a logarithm.
    EXPECT_EQ(TFitChart(new TTrendFunction, {3}, {1}).Output->Count(), 0);
    EXPECT_EQ(TFitChart(new TExpTrendFunction, {0, 1, 2}, {0, -1, 3}).Output->Count(), 0);
}

TEST(Trend, ValuesNearTheLimitOfTheDoublesGiveTheirLine)
{
    // y = 1e300 + 1e299 (x - 45000) at date-like positions: the plain sums
    // of x² times y pass the largest double. (Positions that far from 0
    // cost the regression sums some eight digits, at any scale of y.)
    std::vector<double> X;
    std::vector<double> Y;
    for (int I = 0; I < 10; ++I) {
        X.push_back(45000 + I);
        Y.push_back(1e300 + 1e299 * I);
    }
    auto* F = new TTrendFunction;
    TFitChart C(F, X, Y);
    double M = 0;
    double B = 0;
    ASSERT_TRUE(F->CalculateTrend(M, B, C.Source, -1, -1));
    EXPECT_NEAR(M / 1e299, 1, 1e-6);
    EXPECT_NEAR(B / (1e300 - 45000 * 1e299), 1, 1e-6);
    ASSERT_EQ(C.Output->Count(), 2);
    EXPECT_NEAR(C.Output->YValues()->Value(0) / 1e300, 1, 1e-6);
    EXPECT_NEAR(C.Output->YValues()->Value(1) / 1.9e300, 1, 1e-6);
    // Values of both signs near the limit: a flat line through their mean.
    auto* Flat = new TTrendFunction;
    TFitChart Alternating(Flat, {0, 1, 2, 3}, {1e300, -1e300, 1e300, -1e300});
    ASSERT_EQ(Alternating.Output->Count(), 2);
    EXPECT_NEAR(Alternating.Output->YValues()->Value(0) / 1e300, 0.6, 1e-12);
    EXPECT_NEAR(Alternating.Output->YValues()->Value(1) / 1e300, -0.6, 1e-12);
    // The scales leave the fall-back of one position as it was: rate 1,
    // M = e^(mean ln y - mean x) = e^(2 - 2).
    auto* OnePosition = new TExpTrendFunction;
    TFitChart Same(OnePosition, {2, 2}, {E, E * E * E});
    ASSERT_TRUE(OnePosition->CalculateTrend(M, B, Same.Source, -1, -1));
    EXPECT_NEAR(M, 1, 1e-12);
    EXPECT_EQ(B, 1);
    // A slope beyond the doubles on a line that stays within them.
    auto* Steep = new TTrendFunction;
    TFitChart Narrow(Steep, {0, 1e-300}, {-1e308, 1e308});
    ASSERT_EQ(Narrow.Output->Count(), 2);
    EXPECT_NEAR(Narrow.Output->YValues()->Value(0) / 1e308, -1, 1e-12);
    EXPECT_NEAR(Narrow.Output->YValues()->Value(1) / 1e308, 1, 1e-12);
    // The line's end at x 3 lies at 2.38e308, past the largest double: that
    // end is a null point, the other (-0.68e308 at x 0) stays.
    auto* Past = new TTrendFunction;
    TFitChart Beyond(Past, {0, 1, 2, 3}, {-1.7e308, 1.7e308, 1.7e308, 1.7e308});
    ASSERT_EQ(Beyond.Output->Count(), 2);
    EXPECT_EQ(Beyond.Output->XValues()->Value(0), 0);
    EXPECT_NEAR(Beyond.Output->YValues()->Value(0) / 1e308, -0.68, 1e-12);
    EXPECT_TRUE(Beyond.Output->IsNull(1));
    EXPECT_EQ(Beyond.Output->XValues()->Value(1), 3);
    EXPECT_EQ(Beyond.Output->YValues()->Value(1), 0);
}

TEST(Correlation, CoefficientLineAndDegenerateCases)
{
    auto* R = new TCorrelationFunction;
    TFitChart C(R, {1, 2, 3}, {2, 4, 5});
    EXPECT_NEAR(R->Calculate(C.Source, -1, -1), 0.98198, 1e-5);
    ExpectNear(XsOf(*C.Output), {1, 3});
    ExpectNear(YsOf(*C.Output), {0.98198, 0.98198}, 1e-5);
    // No spread in Y, or a single point: 1.
    TFitChart Flat(new TCorrelationFunction, {1, 2, 3}, {4, 4, 4});
    EXPECT_EQ(YsOf(*Flat.Output), (std::vector<double>{1, 1}));
    EXPECT_EQ(R->Calculate(Flat.Source, 0, 0), 1);
}

} // namespace
} // namespace lp
