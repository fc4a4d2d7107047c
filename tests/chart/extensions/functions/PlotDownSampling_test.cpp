// Douglas-Peucker and the X-grouping methods, and the function over a
// chart's series: orientation orders, an emptied source, the tolerance.

#include "chart/extensions/functions/PlotDownSampling.h"

#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "tests/chart/extensions/functions/FunctionTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TXYList Points(std::vector<double> X, std::vector<double> Y)
{
    return {std::move(X), std::move(Y)};
}

TEST(DownSample, DouglasKeepsWhatTheToleranceNeeds)
{
    const TXYList Peak = Points({0, 1, 2}, {0, 1, 0});
    EXPECT_EQ(DownSample(Peak, dsDouglas, 0.5).Size(), 3u);
    const TXYList Line = DownSample(Peak, dsDouglas, 2);
    EXPECT_EQ(Line.X, (std::vector<double>{0, 2}));
    // Tolerance 0 drops only exactly collinear points.
    EXPECT_EQ(DownSample(Points({0, 1, 2, 3}, {0, 1, 2, 2.5}), dsDouglas, 0).X, (std::vector<double>{0, 2, 3}));
    // One point has no line.
    EXPECT_EQ(DownSample(Points({5}, {5}), dsDouglas, 1).Size(), 0u);
    // Equal distances: the first is kept, and the second then lies close
    // to the new segment.
    EXPECT_EQ(DownSample(Points({0, 1, 2, 3}, {0, 5, 5, 0}), dsDouglas, 1).X, (std::vector<double>{0, 1, 3}));
    // Beyond the segment's ends the distance is to the nearer end.
    EXPECT_EQ(DownSample(Points({0, -3, 1}, {0, 0, 0}), dsDouglas, 2.9).X, (std::vector<double>{0, -3, 1}));
    EXPECT_EQ(DownSample(Points({0, 4, 1}, {0, 0, 0}), dsDouglas, 3.1).X, (std::vector<double>{0, 1}));
}

TEST(DownSample, GroupsByXDistanceFromTheGroupStart)
{
    const TXYList P = Points({0, .5, 1, 2, 2.2}, {1, 3, 2, 5, 4});
    struct TRow {
        TDownSampleMethod Method;
        std::vector<double> X;
        std::vector<double> Y;
    };
    const TRow Rows[] = {
        {dsMax, {.25, 1, 2.1}, {3, 2, 5}},
        {dsMin, {.25, 1, 2.1}, {1, 2, 4}},
        {dsAverage, {.25, 1, 2.1}, {2, 2, 4.5}},
        // Every group, the single point at X 1 twice.
        {dsMinMax, {0, .5, 1, 1, 2, 2.2}, {1, 3, 2, 2, 4, 5}},
    };
    for (const TRow& Row : Rows) {
        const TXYList R = DownSample(P, Row.Method, 1);
        ASSERT_EQ(R.Size(), Row.X.size()) << Row.Method;
        for (size_t I = 0; I < R.Size(); ++I) {
            EXPECT_DOUBLE_EQ(R.X[I], Row.X[I]) << Row.Method << " " << I;
            EXPECT_DOUBLE_EQ(R.Y[I], Row.Y[I]) << Row.Method << " " << I;
        }
        if (Row.Method != dsMinMax) {
            const TXYList Same = DownSample(P, Row.Method, 0);
            EXPECT_EQ(Same.X, P.X);
            EXPECT_EQ(Same.Y, P.Y);
        }
    }
    // Groups of one all the way: dsMinMax writes two points for each.
    EXPECT_EQ(DownSample(P, dsMinMax, 0).Size(), 10u);
}

TEST(DownSamplingFunction, FillsTheParentAndEmptiesItWithTheSource)
{
    auto* F = new TDownSamplingFunction;
    test::TFunctionChart<> C(F);
    C.Fill({0, 1, 2, 3, 4}, {0, 1, 0, 1, 0});
    // The peaks lie exactly Tolerance 1 from the chord: not beyond it.
    EXPECT_EQ(test::XsOf(*C.Output), (std::vector<double>{0, 4}));
    EXPECT_EQ(C.Output->XValues()->Order(), loAscending);
    EXPECT_EQ(C.Output->YValues()->Order(), loNone);
    F->SetTolerance(0.5);
    EXPECT_EQ(F->OutputCount(), 5);
    F->SetTolerance(2);
    F->SetDownSampleMethod(dsMax);
    EXPECT_EQ(test::YsOf(*C.Output), (std::vector<double>{1, 1, 0}));
    // A source emptied after a calculation leaves no stale result.
    C.Source->Clear();
    F->AddPoints(C.Source);
    EXPECT_EQ(C.Output->Count(), 0);
    EXPECT_EQ(F->OutputCount(), 0);
    F->SetTolerance(-3);
    EXPECT_EQ(F->Tolerance(), 0);
}

TEST(DownSamplingFunction, CrossedOrientationSortsTheOutputsY)
{
    test::TFunctionChart<THorizLineSeries> C(new TDownSamplingFunction);
    C.Fill({1, 1}, {0, 1});
    EXPECT_EQ(C.Output->XValues()->Order(), loNone);
    EXPECT_EQ(C.Output->YValues()->Order(), loAscending);
}

} // namespace
} // namespace lp
