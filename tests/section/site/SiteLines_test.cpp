// A line's track on the map (a bent line by its arc length, lines in any
// direction keeping their true length), the point at a distance along it,
// and the refusals of lines that cannot be one site.

#include "section/site/SiteLines.h"
#include "section/survey/ModellingError.h"

#include "tests/section/site/SiteTestLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace lp {
namespace {

using test::MapOnlyData;
using test::StraightPoints;

TEST(SiteLines, ABentLineRunsByItsArcLengthAndTheElectrodesFollow)
{
    // East along y = 0 for 8 m, then north for 8 m: an L.
    std::vector<TMapPoint> points = StraightPoints(0.0, 0.0, 0.0, 2.0, 5);
    for (int i = 1; i <= 4; ++i)
        points.push_back({8.0, 2.0 * i});
    const TSiteLine line = SiteLineOf("/data/north/L1.dat", MapOnlyData(points));
    EXPECT_EQ(line.Name, "L1");
    EXPECT_EQ(line.File, "/data/north/L1.dat");
    ASSERT_EQ(line.Track.size(), 9u);
    for (size_t p = 0; p < line.Track.size(); ++p) {
        EXPECT_NEAR(line.Track[p].Distance, 2.0 * p, 1e-9);
        EXPECT_EQ(line.Track[p].X, points[p].x);
        EXPECT_EQ(line.Track[p].Y, points[p].y);
        EXPECT_NEAR(line.Data.Electrodes[p].x, 2.0 * p, 1e-9);
    }
    // Round the corner: a metre before it and a metre after it.
    const TTrackPoint before = TrackPointAt(line.Track, 7.0), after = TrackPointAt(line.Track, 9.0);
    EXPECT_NEAR(before.X, 7.0, 1e-9);
    EXPECT_NEAR(before.Y, 0.0, 1e-9);
    EXPECT_NEAR(after.X, 8.0, 1e-9);
    EXPECT_NEAR(after.Y, 1.0, 1e-9);
}

TEST(SiteLines, LinesInEveryDirectionKeepTheirTrueLength)
{
    struct TCase {
        const char* Name;
        double Angle;
    } cases[] = {{"east", 0.0}, {"north", std::numbers::pi / 2}, {"south", -std::numbers::pi / 2},
                 {"north-east", std::numbers::pi / 4}, {"south-west", -3 * std::numbers::pi / 4}, {"30", 0.5236}};
    for (const TCase& c : cases) {
        const TSiteLine line = SiteLineOf(std::string(c.Name) + ".dat",
                                          MapOnlyData(StraightPoints(431000.0, 5012000.0, c.Angle, 2.5, 13)));
        const double length = line.Track.back().Distance - line.Track.front().Distance;
        EXPECT_NEAR(length, 30.0, 1e-6) << c.Name;
        for (size_t p = 1; p < line.Track.size(); ++p)
            EXPECT_NEAR(line.Track[p].Distance - line.Track[p - 1].Distance, 2.5, 1e-6) << c.Name;
        // The electrodes' distances run the same way: first to last.
        EXPECT_NEAR(std::fabs(line.Data.Electrodes.back().x - line.Data.Electrodes.front().x), 30.0, 1e-6) << c.Name;
    }
}

TEST(SiteLines, ThePointAtADistanceIsLinearBetweenTrackPointsAndHeldBeyondTheEnds)
{
    const std::vector<TTrackPoint> track = {{0.0, 0.0, 10.0, 0.0}, {3.0, 4.0, 12.0, 5.0}, {3.0, 10.0, 9.0, 11.0}};
    struct TCase {
        double Distance, X, Y, Z;
    } cases[] = {{2.5, 1.5, 2.0, 11.0}, {8.0, 3.0, 7.0, 10.5}, {5.0, 3.0, 4.0, 12.0},
                 {-3.0, 0.0, 0.0, 10.0}, {20.0, 3.0, 10.0, 9.0}};
    for (const TCase& c : cases) {
        const TTrackPoint point = TrackPointAt(track, c.Distance);
        EXPECT_NEAR(point.X, c.X, 1e-12) << c.Distance;
        EXPECT_NEAR(point.Y, c.Y, 1e-12) << c.Distance;
        EXPECT_NEAR(point.Z, c.Z, 1e-12) << c.Distance;
        EXPECT_EQ(point.Distance, c.Distance);
    }
    // Two points at one distance (a step in the track): the later one's
    // segment carries the distances after it.
    const std::vector<TTrackPoint> stepped = {{0.0, 0.0, 10.0, 0.0}, {3.0, 4.0, 12.0, 5.0}, {3.0, 5.0, 12.0, 5.0},
                                              {3.0, 11.0, 9.0, 11.0}};
    EXPECT_NEAR(TrackPointAt(stepped, 8.0).Y, 8.0, 1e-12);
    EXPECT_THROW(TrackPointAt({}, 1.0), EForwardError);
}

// The refusal's message: one sentence that names the file.
void ExpectRefusal(const std::function<void()>& Action, const std::string& File, const std::string& Says)
{
    try {
        Action();
        ADD_FAILURE() << "not refused: " << Says;
    } catch (const EForwardError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(File), std::string::npos) << message;
        EXPECT_NE(message.find(Says), std::string::npos) << message;
        EXPECT_EQ(message.back(), '.') << message;
        EXPECT_EQ(message.find(". "), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
}

TEST(SiteLines, ALineWithoutMapCoordinatesOrOfOneElectrodeIsRefusedNamingItsFile)
{
    TMeasuredData unplaced = MapOnlyData(StraightPoints(0.0, 0.0, 0.0, 2.0, 6));
    unplaced.Electrodes[3].Map.reset();
    ExpectRefusal([&] { SiteLineOf("lines/L4.dat", unplaced); }, "lines/L4.dat", "no map coordinates");
    ExpectRefusal([&] { SiteLineOf("one.dat", MapOnlyData({{5.0, 5.0}})); }, "one.dat", "one place");
    ExpectRefusal([&] { SiteLineOf("same.dat", MapOnlyData({{5.0, 5.0}, {5.0, 5.0}, {5.0, 5.0}})); }, "same.dat",
                  "one place");
    ExpectRefusal([&] { SiteLineOf("none.dat", TMeasuredData{}); }, "none.dat", "no place");
}

std::vector<TSiteLine> ParallelLines(const std::vector<double>& Spacings, double Offset = 8.0)
{
    std::vector<TSiteLine> lines;
    for (size_t l = 0; l < Spacings.size(); ++l)
        lines.push_back(SiteLineOf("site/L" + std::to_string(l + 1) + ".dat",
                                   MapOnlyData(StraightPoints(500000.0, 4000000.0 + Offset * l, 0.0, Spacings[l], 32))));
    return lines;
}

TEST(SiteLines, WhatCannotBeOneSiteIsRefusedNamingTheFile)
{
    // Two lines of one name (in two folders).
    std::vector<TSiteLine> lines = ParallelLines({2.0, 2.0, 2.0});
    lines[2] = SiteLineOf("other/L1.dat", MapOnlyData(StraightPoints(500000.0, 4000016.0, 0.0, 2.0, 32)));
    ExpectRefusal([&] { CheckSiteLines(lines); }, "other/L1.dat", "site/L1.dat");

    // One line's coordinates in feet: 2 m = 6.5617 ft, its positions too.
    lines = ParallelLines({2.0, 2.0, 2.0, 2.0});
    lines[1] = SiteLineOf("site/feet.dat",
                          MapOnlyData(StraightPoints(500000.0 / 0.3048, 4000008.0 / 0.3048, 0.0, 2.0 / 0.3048, 32)));
    ExpectRefusal([&] { CheckSiteLines(lines); }, "site/feet.dat", "feet");
    // Two lines in feet among three in metres; and one against one.
    lines = ParallelLines({2.0, 2.0 / 0.3048, 2.0, 2.0 / 0.3048, 2.0});
    ExpectRefusal([&] { CheckSiteLines(lines); }, "site/L2.dat", "feet");
    lines = ParallelLines({5.0 / 0.3048, 5.0});
    ExpectRefusal([&] { CheckSiteLines(lines); }, "site/L1.dat", "feet");

    // A line in a local grid among lines in map coordinates.
    lines = ParallelLines({2.0, 2.0, 2.0});
    lines.push_back(SiteLineOf("site/local.dat", MapOnlyData(StraightPoints(0.0, 0.0, 0.0, 2.0, 32))));
    ExpectRefusal([&] { CheckSiteLines(lines); }, "site/local.dat", "another system");
    // Of two lines far apart, the second.
    lines = ParallelLines({2.0, 2.0}, 3000.0);
    ExpectRefusal([&] { CheckSiteLines(lines); }, "site/L2.dat", "another system");
}

TEST(SiteLines, SitesOfDifferentSpacingsAndWideGapsAreOneSite)
{
    // Spacings 1, 3 and 5 m (3 is not 3.28 times 1) and lines 8 m apart.
    EXPECT_NO_THROW(CheckSiteLines(ParallelLines({1.0, 3.0, 5.0, 2.0})));
    // Lines 900 m apart: a reconnaissance, not another system.
    EXPECT_NO_THROW(CheckSiteLines(ParallelLines({2.0, 2.0, 2.0}, 900.0)));
    // Long lines (5 km of 100 m spacings) 4 km apart.
    EXPECT_NO_THROW(CheckSiteLines(ParallelLines({100.0, 100.0}, 4000.0)));
    EXPECT_NO_THROW(CheckSiteLines(ParallelLines({2.0})));
    EXPECT_NO_THROW(CheckSiteLines({}));
}

} // namespace
} // namespace lp
