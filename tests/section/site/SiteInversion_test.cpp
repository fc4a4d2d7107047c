// The ties at the crossings: the log a crossing gives each line, and two
// crossing lines whose 2-D data disagree (each saw another layered ground,
// as a 3-D ground makes them) brought to agree along the shared vertical.

#include "section/site/CrossingTies.h"
#include "section/site/SiteInversion.h"

#include "tests/section/site/SiteTestLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lp {
namespace {

TInversionMesh FlatMesh(double Left, double Right, double Spacing)
{
    std::vector<double> x;
    for (double at = Left; at <= Right + 1e-9; at += Spacing)
        x.push_back(at);
    return DefaultInversionMesh(x, Left - 2 * Spacing, Right + 2 * Spacing,
                                {{Left - 2 * Spacing, 0.0}, {Right + 2 * Spacing, 0.0}}, 0.2 * (Right - Left));
}

TEST(CrossingTies, TheLogIsTheCoverageWeightedGeometricMeanAtTheOwnRowsDepths)
{
    const TInversionMesh own = FlatMesh(0.0, 30.0, 2.0), other = FlatMesh(-10.0, 10.0, 1.0);
    const std::vector<double> ownRho(static_cast<size_t>(own.Cells()), 100.0),
        otherRho(static_cast<size_t>(other.Cells()), 400.0);
    const std::vector<double> seen(static_cast<size_t>(own.Cells()), 1.0), otherSeen(static_cast<size_t>(other.Cells()), 1.0),
        unseen(static_cast<size_t>(other.Cells()), 0.0);
    const TWellLog both = TieLog("tie", {&own, &ownRho, &seen}, 11.0, {&other, &otherRho, &otherSeen}, 0.0);
    EXPECT_EQ(both.Name, "tie");
    EXPECT_EQ(both.X, 11.0);
    ASSERT_FALSE(both.Elevations.empty());
    // Only the depths both images reach: the other's mesh is shallower.
    double top = 0.0, bottom = 0.0;
    CellDepths(other, other.Cells() - 1, top, bottom);
    for (size_t s = 0; s < both.Elevations.size(); ++s) {
        EXPECT_NEAR(both.Resistivities[s], 200.0, 1e-9);
        EXPECT_LT(-both.Elevations[s], bottom);
        if (s > 0) {
            EXPECT_LT(both.Elevations[s], both.Elevations[s - 1]);
        }
    }
    // The own rows' centres: one sample per row of its column.
    EXPECT_NEAR(-both.Elevations[0], 0.5 * own.RowDepths[1], 1e-9);
    // The other line sees nothing there: the own line's value all but decides.
    const TWellLog one = TieLog("tie", {&own, &ownRho, &seen}, 11.0, {&other, &otherRho, &unseen}, 0.0);
    for (double rho : one.Resistivities)
        EXPECT_NEAR(rho, 100.0, 0.2);
    // A crossing beyond the other's cells gives no samples.
    EXPECT_TRUE(TieLog("tie", {&own, &ownRho, &seen}, 11.0, {&other, &otherRho, &otherSeen}, 40.0).Elevations.empty());
}

TEST(SiteInversion, CoverageOfTheDepthOfInvestigationFadesBeyondItsLimit)
{
    struct TCase {
        double Doi, Coverage;
    } cases[] = {{0.0, 1.0}, {0.2, 1.0}, {0.35, 0.5}, {0.5, 0.0}, {0.9, 0.0}, {std::nan(""), 0.0}};
    for (const TCase& c : cases)
        EXPECT_NEAR(CoverageOfDepthOfInvestigation(c.Doi), c.Coverage, 1e-12) << c.Doi;
}

// The median |Δlog10 ρ| of two images along the vertical at a crossing, at
// the depths of A's rows down to Deepest.
double CrossingMisfit(const TLineImage& A, double DistanceA, const TLineImage& B, double DistanceB, double Deepest)
{
    std::vector<double> misfits;
    for (double depth : ColumnDepths(A.Mesh, DistanceA)) {
        const int a = CellBelowGround(A.Mesh, DistanceA, depth), b = CellBelowGround(B.Mesh, DistanceB, depth);
        if (depth > Deepest || a < 0 || b < 0)
            continue;
        misfits.push_back(std::fabs(std::log10(A.Resistivities[static_cast<size_t>(a)] /
                                               B.Resistivities[static_cast<size_t>(b)])));
    }
    EXPECT_GE(misfits.size(), 4u);

    std::nth_element(misfits.begin(), misfits.begin() + static_cast<long>(misfits.size() / 2), misfits.end());
    return misfits[misfits.size() / 2];
}

TEST(SiteInversion, TiesBringTwoCrossingImagesOfDisagreeingDataTogether)
{
    // A east along y = 0, B north along x = 15: both 30 m long, 2 m
    // spacings, crossing in the middle. A saw 100 ohm-m over 30 from 2 m
    // down, B 125 ohm-m over 30 from 2.5 m down.
    const TForwardModel groundA = test::LayeredGround(-20.0, 50.0, 100.0, 2.0, 30.0);
    const TForwardModel groundB = test::LayeredGround(-20.0, 50.0, 125.0, 2.5, 30.0);
    std::vector<TSiteLine> lines;
    lines.push_back(SiteLineOf("A.dat", test::StraightLineData(0.0, 0.0, 0.0, 16, 2.0, groundA, 1)));
    lines.push_back(SiteLineOf("B.dat", test::StraightLineData(15.0, -15.0, std::numbers::pi / 2, 16, 2.0, groundB, 2)));
    TSurveyInversionOptions options;
    options.ErrorPercent = 2.0;
    std::vector<std::string> progress;
    TSiteCallbacks callbacks;
    callbacks.Progress = [&](size_t Line, const std::string& What) { progress.push_back(lines[Line].Name + " " + What); };
    const TSiteImages site = InvertSite(lines, options, callbacks);
    ASSERT_EQ(site.Crossings.size(), 1u);
    const TCrossing& crossing = site.Crossings[0];
    EXPECT_NEAR(crossing.DistanceA, 15.0, 1e-9);
    EXPECT_NEAR(crossing.DistanceB, 0.0, 1e-9);
    ASSERT_EQ(site.Images.size(), 2u);
    // Each line alone: its first pass.
    const TSiteImages aloneA = InvertSite({lines[0]}, options), aloneB = InvertSite({lines[1]}, options);
    EXPECT_TRUE(aloneA.Crossings.empty());
    EXPECT_FALSE(aloneA.Images[0].Tied);
    const double deepest = 1e9;
    const double before = CrossingMisfit(aloneA.Images[0], 15.0, aloneB.Images[0], 0.0, deepest);
    const double after = CrossingMisfit(site.Images[0], 15.0, site.Images[1], 0.0, deepest);
    EXPECT_GT(before, 0.05); // the data disagree
    EXPECT_LT(after, 0.5 * before) << before;
    EXPECT_LT(after, 0.1) << before;
    for (const TLineImage& image : site.Images) {
        EXPECT_TRUE(image.Tied);
        EXPECT_EQ(image.Data, lines[0].Data.Size());
        EXPECT_LT(image.ChiSquare, 4.0) << image.Stop;
        EXPECT_EQ(image.Resistivities.size(), static_cast<size_t>(image.Mesh.Cells()));
        EXPECT_EQ(image.Coverage.size(), image.Resistivities.size());
        EXPECT_EQ(image.Inversion.Resistivities, image.Resistivities);
    }
    // Away from the crossing (a line's far end) the tie changes little.
    const int far = CellBelowGround(site.Images[0].Mesh, 1.0, 0.5);
    EXPECT_NEAR(std::log10(site.Images[0].Resistivities[static_cast<size_t>(far)] /
                           aloneA.Images[0].Resistivities[static_cast<size_t>(far)]),
                0.0, 0.05);
    EXPECT_EQ(progress, (std::vector<std::string>{"A inverting", "B inverting", "A tying at the crossings",
                                                  "B tying at the crossings"}));
}

TEST(SiteInversion, ALineWithoutCrossingsStaysUntiedAndTheDepthOfInvestigationGivesTheCoverage)
{
    // A and B cross; C runs parallel to A, 8 m north, and crosses nothing.
    const TForwardModel ground = test::LayeredGround(-20.0, 50.0, 100.0, 2.0, 30.0);
    const std::vector<TSiteLine> lines = {
        SiteLineOf("A.dat", test::StraightLineData(0.0, 0.0, 0.0, 12, 2.0, ground, 1)),
        SiteLineOf("B.dat", test::StraightLineData(11.0, -7.0, std::numbers::pi / 2, 8, 2.0, ground, 2)),
        SiteLineOf("C.dat", test::StraightLineData(0.0, 8.0, 0.0, 12, 2.0, ground, 3))};
    const TSiteImages site = InvertSite(lines, {}, {}, true);
    ASSERT_EQ(site.Crossings.size(), 1u);
    ASSERT_EQ(site.Images.size(), 3u);
    EXPECT_TRUE(site.Images[0].Tied);
    EXPECT_TRUE(site.Images[1].Tied);
    EXPECT_FALSE(site.Images[2].Tied);
    for (const TLineImage& image : site.Images) {
        const std::vector<double>& doi = image.Inversion.DepthOfInvestigation;
        ASSERT_EQ(doi.size(), image.Resistivities.size());
        for (size_t c = 0; c < doi.size(); ++c)
            EXPECT_EQ(image.Coverage[c], CoverageOfDepthOfInvestigation(doi[c]));
        // Seen near the surface under the line's middle, not everywhere.
        const double middle = 0.5 * (image.Mesh.ColumnEdges.front() + image.Mesh.ColumnEdges.back());
        EXPECT_EQ(image.Coverage.at(static_cast<size_t>(CellBelowGround(image.Mesh, middle, 0.1))), 1.0);
        EXPECT_LT(*std::min_element(image.Coverage.begin(), image.Coverage.end()), 0.5);
    }
}

TEST(SiteInversion, ACancelledSiteSaysSo)
{
    const TForwardModel ground = test::LayeredGround(-20.0, 50.0, 100.0, 3.0, 30.0);
    const std::vector<TSiteLine> lines = {SiteLineOf("A.dat", test::StraightLineData(0.0, 0.0, 0.0, 12, 2.0, ground, 1))};
    TSiteCallbacks callbacks;
    callbacks.Continue = [] { return false; };
    const TSiteImages site = InvertSite(lines, {}, callbacks);
    EXPECT_TRUE(site.Cancelled);
    EXPECT_TRUE(site.Images.empty());
}

} // namespace
} // namespace lp
