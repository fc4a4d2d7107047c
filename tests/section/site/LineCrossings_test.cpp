// Where two tracks cross on the map and the distances along each there.

#include "section/site/LineCrossings.h"

#include "tests/section/site/SiteTestLines.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

namespace lp {
namespace {

TSiteLine LineThrough(const std::string& Name, const std::vector<TMapPoint>& Points)
{
    return SiteLineOf(Name + ".dat", test::MapOnlyData(Points));
}

TEST(LineCrossings, CrossingsTouchesParallelsAndMisses)
{
    // A: east along y = 0 from x = 0 to 30 (distance = x).
    const TSiteLine a = LineThrough("A", test::StraightPoints(0.0, 0.0, 0.0, 2.0, 16));
    struct TCase {
        const char* Name;
        std::vector<TMapPoint> Other;
        int Crossings;
        double X, Y, DistanceA, DistanceB;
    } cases[] = {
        // North across A at x = 11 (between electrodes): a north-south
        // line's distance is its y (MapLine.h), 0 there.
        {"crossing", test::StraightPoints(11.0, -7.0, std::numbers::pi / 2, 2.0, 8), 1, 11.0, 0.0, 11.0, 0.0},
        // 45 degrees across A at x = 20: B's distance 10 √2 there.
        {"diagonal", test::StraightPoints(10.0, -10.0, std::numbers::pi / 4, std::sqrt(2.0), 16), 1, 20.0, 0.0,
         20.0, 10.0 * std::sqrt(2.0)},
        // B's end on A (a T): its first electrode stands on A at x = 6.
        {"touching", test::StraightPoints(6.0, 0.0, std::numbers::pi / 2, 2.0, 8), 1, 6.0, 0.0, 6.0, 0.0},
        // B's end at A's end: the tracks meet at one point.
        {"ends", test::StraightPoints(30.0, 0.0, std::numbers::pi / 2, 2.0, 8), 1, 30.0, 0.0, 30.0, 0.0},
        // Parallel, 8 m north; and along A itself (overlapping): no point.
        {"parallel", test::StraightPoints(0.0, 8.0, 0.0, 2.0, 16), 0, 0, 0, 0, 0},
        {"overlapping", test::StraightPoints(4.0, 0.0, 0.0, 2.0, 6), 0, 0, 0, 0, 0},
        // North of A's end: it would cross A's extension, not A.
        {"beyond", test::StraightPoints(33.0, -7.0, std::numbers::pi / 2, 2.0, 8), 0, 0, 0, 0, 0},
        // Stopping 1 cm short of A.
        {"short", test::StraightPoints(11.0, -14.01, std::numbers::pi / 2, 2.0, 8), 0, 0, 0, 0, 0},
    };
    for (const TCase& c : cases) {
        const std::vector<TCrossing> crossings = FindCrossings({a, LineThrough(c.Name, c.Other)});
        ASSERT_EQ(crossings.size(), static_cast<size_t>(c.Crossings)) << c.Name;
        if (c.Crossings == 0)
            continue;
        EXPECT_EQ(crossings[0].LineA, 0u);
        EXPECT_EQ(crossings[0].LineB, 1u);
        EXPECT_NEAR(crossings[0].X, c.X, 1e-9) << c.Name;
        EXPECT_NEAR(crossings[0].Y, c.Y, 1e-9) << c.Name;
        EXPECT_NEAR(crossings[0].DistanceA, c.DistanceA, 1e-9) << c.Name;
        EXPECT_NEAR(crossings[0].DistanceB, c.DistanceB, 1e-9) << c.Name;
    }
}

TEST(LineCrossings, ACrossingAtATrackPointIsOneAndABentLineCrossesTwice)
{
    const TSiteLine a = LineThrough("A", test::StraightPoints(0.0, 0.0, 0.0, 2.0, 16));
    // Through A's electrode at x = 10: found on both of A's segments there.
    const std::vector<TCrossing> once =
        FindCrossings({a, LineThrough("B", test::StraightPoints(10.0, -7.0, std::numbers::pi / 2, 1.0, 15))});
    ASSERT_EQ(once.size(), 1u);
    EXPECT_NEAR(once[0].DistanceA, 10.0, 1e-9);
    EXPECT_NEAR(once[0].DistanceB, 0.0, 1e-9);
    // A U: north across A at x = 4, east, then south across it at x = 24;
    // ordered along A, with the U's arc lengths.
    std::vector<TMapPoint> u;
    for (int i = 0; i <= 5; ++i)
        u.push_back({4.0, -4.0 + 2.0 * i});
    for (int i = 1; i <= 10; ++i)
        u.push_back({4.0 + 2.0 * i, 6.0});
    for (int i = 1; i <= 5; ++i)
        u.push_back({24.0, 6.0 - 2.0 * i});
    const std::vector<TCrossing> twice = FindCrossings({a, LineThrough("U", u)});
    ASSERT_EQ(twice.size(), 2u);
    EXPECT_NEAR(twice[0].DistanceA, 4.0, 1e-9);
    EXPECT_NEAR(twice[0].DistanceB, 4.0, 1e-9);
    EXPECT_NEAR(twice[1].DistanceA, 24.0, 1e-9);
    EXPECT_NEAR(twice[1].DistanceB, 10.0 + 20.0 + 6.0, 1e-9);
}

TEST(LineCrossings, EveryPairOfASiteIsOrderedByItsLines)
{
    // Three east-west lines 8 m apart and a tie line north across them
    // (its distance its y).
    std::vector<TSiteLine> lines;
    for (int l = 0; l < 3; ++l)
        lines.push_back(LineThrough("L" + std::to_string(l), test::StraightPoints(0.0, 8.0 * l, 0.0, 2.0, 16)));
    lines.push_back(LineThrough("T", test::StraightPoints(15.0, -3.0, std::numbers::pi / 2, 2.0, 12)));
    const std::vector<TCrossing> crossings = FindCrossings(lines);
    ASSERT_EQ(crossings.size(), 3u);
    for (size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(crossings[c].LineA, c);
        EXPECT_EQ(crossings[c].LineB, 3u);
        EXPECT_NEAR(crossings[c].Y, 8.0 * c, 1e-9);
        EXPECT_NEAR(crossings[c].DistanceB, 8.0 * c, 1e-9);
    }
}

} // namespace
} // namespace lp
