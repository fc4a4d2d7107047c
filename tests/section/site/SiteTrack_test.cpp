// The nearest place of a track to a map point and the point at a distance
// along it, on an L-shaped track whose answers are plain geometry.

#include "section/site/SiteTrack.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

// East 10 m climbing 5 m, then north 10 m on the level.
std::vector<TTrackPoint> LTrack()
{
    return {{0.0, 0.0, 0.0, 0.0}, {10.0, 0.0, 5.0, 10.0}, {10.0, 10.0, 5.0, 20.0}};
}

TEST(SiteTrack, NearestPlaceOfAnLShapedTrack)
{
    struct TCase {
        const char* Name;
        double X, Y;
        double Distance, Offset, Z;
    };
    const TCase cases[] = {
        {"beside the first leg", 5.0, 3.0, 5.0, 3.0, 2.5},
        {"beside the second leg, outside", 13.0, 5.0, 15.0, 3.0, 5.0},
        {"inside the bend, nearer the second leg", 7.0, 5.0, 15.0, 3.0, 5.0},
        {"inside the bend, as near to both: the first", 5.0, 5.0, 5.0, 5.0, 2.5},
        {"outside the bend: its corner", 12.0, -2.0, 10.0, std::sqrt(8.0), 5.0},
        {"before the start", -4.0, 3.0, 0.0, 5.0, 0.0},
        {"beyond the end", 10.0, 14.0, 20.0, 4.0, 5.0},
        {"on the track", 10.0, 7.5, 17.5, 0.0, 5.0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TTrackPlace place = NearestTrackPlace(LTrack(), c.X, c.Y);
        EXPECT_NEAR(place.Distance, c.Distance, 1e-12);
        EXPECT_NEAR(place.Offset, c.Offset, 1e-12);
        EXPECT_NEAR(place.Z, c.Z, 1e-12);
        EXPECT_NEAR(std::hypot(place.X - c.X, place.Y - c.Y), c.Offset, 1e-12);
    }
}

} // namespace
} // namespace lp
