// A line's image read between its cells' centres, on a hand-built mesh of
// two columns and two rows whose answers are worked out by hand in log10.

#include "section/site/LineImageSampler.h"

#include "section/survey/ModellingError.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

// Columns 0 .. 2 and 2 .. 4 m (middles 1 and 3), rows 0 .. 1 and 1 .. 3 m
// below a level ground at 10 m (centres 0.5 and 2 m deep); resistivities
// 10, 100 / 1000, 10 (log10 1, 2 / 3, 1).
TLineImage TwoByTwo()
{
    TLineImage image;
    image.Mesh.ColumnEdges = {0.0, 2.0, 4.0};
    image.Mesh.Elevations = {10.0, 10.0, 10.0};
    image.Mesh.RowDepths = {0.0, 1.0, 3.0};
    image.Mesh.Bottom = 7.0;
    image.Mesh.Level = 7.0;
    image.Resistivities = {10.0, 100.0, 1000.0, 10.0};
    image.Coverage = {1.0, 0.5, 0.0, 1.0};
    return image;
}

TEST(LineImageSampler, LinearInLogBetweenTheCentres)
{
    const TLineImageSampler sampler(TwoByTwo(), "two by two");
    struct TCase {
        double Distance, Depth, Log, Coverage;
    };
    const TCase cases[] = {
        {1.0, 0.5, 1.0, 1.0},      // a centre
        {2.0, 0.5, 1.5, 0.75},     // between the columns
        {1.0, 1.25, 2.0, 0.5},     // half way down between the rows' centres
        {2.0, 1.25, 1.75, 0.625},  // both: column 0 gives 2 and 0.5, column 1 gives 1.5 and 0.75
        {-5.0, 0.0, 1.0, 1.0},     // held beyond the first column and above the first centre
        {9.0, 9.0, 1.0, 1.0},      // held beyond the last column and below the last centre
        {3.0, 2.0, 1.0, 1.0},
    };
    for (const TCase& c : cases) {
        const TImageSample sample = sampler.At(c.Distance, c.Depth);
        EXPECT_NEAR(sample.LogResistivity, c.Log, 1e-12) << c.Distance << " " << c.Depth;
        EXPECT_NEAR(sample.Coverage, c.Coverage, 1e-12) << c.Distance << " " << c.Depth;
    }
    EXPECT_DOUBLE_EQ(sampler.DeepestDepth(), 3.0);
}

TEST(LineImageSampler, CoverageReadAsTheSiteReadsIt)
{
    TLineImage image = TwoByTwo();
    image.Coverage = {std::nan(""), 2.0, -1.0, 0.25};
    EXPECT_EQ(CellCoverage(image, 0), 0.0);
    EXPECT_EQ(CellCoverage(image, 1), 1.0);
    EXPECT_EQ(CellCoverage(image, 2), 0.0);
    EXPECT_EQ(CellCoverage(image, 3), 0.25);
    EXPECT_THROW(CellCoverage(image, 4), std::out_of_range);
    image.Coverage.clear();
    EXPECT_EQ(CellCoverage(image, 2), 1.0);
    EXPECT_EQ(TLineImageSampler(image, "bare").At(2.0, 1.0).Coverage, 1.0);
    image.Mesh.Bottom = 9.5; // above the last row's top
    EXPECT_THROW(TLineImageSampler(image, "line 7"), EForwardError);
}

} // namespace
} // namespace lp
