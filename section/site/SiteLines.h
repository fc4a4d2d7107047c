#pragma once
// The lines of one site: each line's measured data with its electrodes'
// map positions (x east, y north, z the elevation), the track the line
// follows on the map and the checks that refuse a set of lines that cannot
// be one site.
#include "section/survey/MeasuredData.h"

#include <string>
#include <vector>

namespace lp {

// A point of a line's track: an electrode on the surface, in track order.
struct TTrackPoint {
    double X = 0.0, Y = 0.0; // map position, metres east and north
    double Z = 0.0;          // the ground's elevation there
    double Distance = 0.0;   // along the track (the 2-D section's x)
};

struct TSiteLine {
    std::string Name; // its file's name without folder and suffix
    std::string File; // as given, for messages
    TMeasuredData Data; // electrode x the distance along the track, Map set
    std::vector<TTrackPoint> Track;
};

// A line's name: its file's name without folder and suffix ("L3" of
// "site/L3.dat"); the file's name where that leaves nothing.
std::string SiteLineName(const std::string& File);

// The line of one file: its track from the electrodes' map positions.
// The electrodes' x (and the topography's, where it stands on the map)
// become the distance along the line as a unified file's reader takes it
// (TMapLine: a straight line's projection, a bent line's arc length in
// file order). The track holds the surface electrodes by that distance,
// one point per distance. Refuses (EForwardError naming the file) a line
// whose electrodes have no map positions or stand at fewer than two places.
TSiteLine SiteLineOf(const std::string& File, TMeasuredData Data);

// A spacing in feet reads this many times its spacing in metres; a line
// whose spacing is that many times the site's, within FeetTolerance, is
// taken for one in feet.
inline constexpr double FeetPerMetre = 1.0 / 0.3048;
inline constexpr double FeetTolerance = 0.015;
// A line whose map box lies farther than the larger of these (metres, and
// the site's longest line's lengths) from every other line's is taken for
// one in another coordinate system.
inline constexpr double FarLineMetres = 1000.0;
inline constexpr double FarLineLengths = 5.0;

// Refuses (EForwardError, one sentence naming the file) what cannot be one
// site, in this order:
// - two lines of one name (the later named);
// - a line in feet among lines in metres: the unified format declares no
//   unit, so the spacings decide. The lines are grouped by spacing (within
//   a tenth of each other), the largest group (the smaller spacing on a
//   tie) read as metres, and a line whose spacing is FeetPerMetre times
//   that within FeetTolerance is refused;
// - a line far from the others (FarLineMetres, FarLineLengths): the lines
//   are chained by the gaps between their map boxes; every line outside
//   the largest chain (the first line's on a tie) is refused.
void CheckSiteLines(const std::vector<TSiteLine>& Lines);

// The map point and the ground's elevation at a distance along a track
// (linear between its points, held beyond its ends).
TTrackPoint TrackPointAt(const std::vector<TTrackPoint>& Track, double Distance);

} // namespace lp
