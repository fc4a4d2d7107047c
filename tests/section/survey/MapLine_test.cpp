// Lines placed by map coordinates: the distance along a line in any
// direction, straight or bent, and the unified format's "x y z" read so,
// the same data set as the line written along x, and written back.

#include "section/survey/MapLine.h"

#include "section/survey/DataFile.h"
#include "section/survey/MeasuredData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace lp {
namespace {

constexpr int LineElectrodes = 24;

// A unified file of a dipole-dipole line of LineElectrodes electrodes 1 m
// apart along its track, each placed by Place(distance) on the map (x, y),
// z falling 0.1 m per metre, resistances 1 / (1 + n).
std::string MapLineFile(const std::function<TMapPoint(double)>& Place, bool AlongX = false)
{
    std::string text = "# a line on a map\n" + std::to_string(LineElectrodes) + (AlongX ? "\n# x z\n" : "\n# x y z\n");
    for (int e = 0; e < LineElectrodes; ++e) {
        const TMapPoint at = Place(e);
        text += std::to_string(at.x) + (AlongX ? "" : " " + std::to_string(at.y)) + " " +
                std::to_string(100.0 - 0.1 * e) + "\n";
    }
    const std::vector<TConfiguration> configurations = ArrayConfigurations(TArrayKind::DipoleDipole, LineElectrodes, 4);
    text += std::to_string(configurations.size()) + "\n# a b m n r\n";
    for (const TConfiguration& c : configurations)
        text += std::to_string(c.a + 1) + " " + std::to_string(c.b + 1) + " " + std::to_string(c.m + 1) + " " +
                std::to_string(c.n + 1) + " " + std::to_string(1.0 / (c.m - c.b + 1)) + "\n";
    return text;
}

TEST(MapLine, LinesInAnyDirectionGiveTheDataSetOfTheLineAlongX)
{
    const double diagonal = std::sqrt(0.5);
    const struct {
        const char* Name;
        std::function<TMapPoint(double)> Place;
        bool Bent;
    } lines[] = {
        {"north-south", [](double s) { return TMapPoint{500.0, s}; }, false},
        {"45 degrees", [&](double s) { return TMapPoint{100.0 + diagonal * s, 200.0 + diagonal * s}; }, false},
        {"south-west in map units", [&](double s) { return TMapPoint{512345.0 - 0.6 * s, 5123456.0 - 0.8 * s}; }, false},
        {"bent east then north", [](double s) { return s <= 10.0 ? TMapPoint{s, 0.0} : TMapPoint{10.0, s - 10.0}; }, true},
        {"bent on an arc", [](double s) { return TMapPoint{40.0 * std::sin(s / 40.0), 40.0 - 40.0 * std::cos(s / 40.0)}; }, true},
    };
    const TMeasuredData alongX = ReadUnifiedMeasuredData(MapLineFile([](double s) { return TMapPoint{s, 0.0}; }, true));
    ASSERT_EQ(alongX.Size(), 78u);
    for (const auto& line : lines) {
        SCOPED_TRACE(line.Name);
        const TMeasuredData data = ReadUnifiedMeasuredData(MapLineFile(line.Place));
        ASSERT_EQ(data.Size(), alongX.Size());
        // The arc's chord is shorter than its metre of track by 1e-5 m.
        const double tolerance = std::string(line.Name) == "bent on an arc" ? 1e-3 : 1e-5;
        for (size_t e = 0; e < data.Electrodes.size(); ++e) {
            EXPECT_NEAR(data.Electrodes[e].x, alongX.Electrodes[e].x, tolerance * static_cast<double>(e + 1));
            EXPECT_EQ(data.Electrodes[e].z, alongX.Electrodes[e].z);
            ASSERT_TRUE(data.Electrodes[e].Map);
            EXPECT_NEAR(data.Electrodes[e].Map->x, line.Place(static_cast<double>(e)).x, 1e-6);
        }
        for (size_t d = 0; d < data.Size(); ++d)
            EXPECT_NEAR(data.GeometricFactors[d] / alongX.GeometricFactors[d], 1.0, 10 * tolerance);
        EXPECT_EQ(data.Configurations, alongX.Configurations);
        EXPECT_EQ(data.Warnings.empty(), !line.Bent);
        // Written back on the map, read again the same.
        const std::string written = FormatMeasuredData(data, 0.03);
        EXPECT_NE(written.find("\n# x y z\n"), std::string::npos);
        TMeasuredData expected = data;
        expected.Errors.assign(data.Size(), 0.03); // the writer gives every datum its error
        EXPECT_TRUE(SameMeasurements(ReadUnifiedMeasuredData(written), expected));
    }
}

TEST(MapLine, TheWarningNamesTheFirstElectrodeOffTheStraightLine)
{
    // East for 10 m, then north: electrode 12 (the file's line 15) is the
    // first off the line of those before it, by 1 m.
    const TMeasuredData data = ReadUnifiedMeasuredData(
        MapLineFile([](double s) { return s <= 10.0 ? TMapPoint{s, 0.0} : TMapPoint{10.0, s - 10.0}; }));
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_EQ(data.Warnings[0], "The electrodes do not stand on one straight line: electrode 12 (line 15) stands 1 m "
                                "off the line of those before it; the distance along the line is the track's "
                                "horizontal length from electrode to electrode in file order.");
    // Within a tenth of a spacing of a straight line it stays straight.
    const TMapLine jitter({{0.0, 0.0}, {1.0, 0.05}, {2.0, -0.05}, {3.0, 0.04}, {4.0, 0.0}});
    EXPECT_FALSE(jitter.Bent());
    EXPECT_NEAR(jitter.Distances()[4] - jitter.Distances()[0], 4.0, 1e-3);
}

TEST(MapLine, PointsBesideTheTrackTakeTheDistanceOfItsNearestPoint)
{
    const TMapLine bent({{0.0, 0.0}, {5.0, 0.0}, {10.0, 0.0}, {10.0, 5.0}, {10.0, 10.0}});
    ASSERT_TRUE(bent.Bent());
    EXPECT_EQ(bent.Bend(), 3u);
    EXPECT_EQ(bent.BendOffset(), 5.0);
    EXPECT_EQ(bent.Distances(), (std::vector<double>{0.0, 5.0, 10.0, 15.0, 20.0}));
    const struct {
        TMapPoint At;
        double Distance;
    } points[] = {{{5.0, -1.0}, 5.0}, {{11.0, 4.0}, 14.0}, {{-3.0, 0.0}, 0.0}, {{10.0, 12.0}, 20.0}};
    for (const auto& point : points)
        EXPECT_DOUBLE_EQ(bent.DistanceOf(point.At), point.Distance);
    // Along x and along y the file's own coordinate stays.
    EXPECT_EQ(TMapLine({{3.0, 7.0}, {5.0, 7.0}}).Distances(), (std::vector<double>{3.0, 5.0}));
    EXPECT_EQ(TMapLine({{3.0, 9.0}, {3.0, 7.0}}).Distances(), (std::vector<double>{9.0, 7.0}));
}

// A topography block on the map stands along the electrodes' line; a file
// whose z are all 0 keeps y as the elevation (pyGIMLi's 2-D "x y z").
TEST(MapLine, TopographyFollowsTheLineAndAFlatFileKeepsYAsTheElevation)
{
    const std::string text = "3\n# x y z\n0 0 10\n3 4 11\n6 8 12\n1\n# a b m n r\n1 2 3 0 5\n"
                             "2\n# x y z\n1.5 2 10.5\n4.5 6 11.5\n";
    const TMeasuredData data = ReadUnifiedMeasuredData(text);
    EXPECT_NEAR(data.Electrodes[2].x, 10.0, 1e-12);
    ASSERT_EQ(data.Topography.size(), 2u);
    EXPECT_NEAR(data.Topography[0].x, 2.5, 1e-12);
    EXPECT_NEAR(data.Topography[1].x, 7.5, 1e-12);
    const TMeasuredData flat = ReadUnifiedMeasuredData("2\n# x y z\n0 5 0\n1 6 0\n1\n# a b m n r\n1 0 2 0 5\n");
    EXPECT_EQ(flat.Electrodes[1].x, 1.0);
    EXPECT_EQ(flat.Electrodes[1].z, 6.0);
    EXPECT_FALSE(flat.Electrodes[1].Map);
}

} // namespace
} // namespace lp
