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

// The line of one file: its track from the electrodes' map positions.
// Refuses (EForwardError naming the file) a line whose electrodes have no
// map positions or that has fewer than two electrodes.
TSiteLine SiteLineOf(const std::string& File, TMeasuredData Data);

// Refuses (EForwardError, one sentence naming the file) what cannot be one
// site: two lines of one name, a line in feet among lines in metres, a
// line kilometres away from the others (another coordinate system).
void CheckSiteLines(const std::vector<TSiteLine>& Lines);

// The map point and the ground's elevation at a distance along a track
// (linear between its points, held beyond its ends).
TTrackPoint TrackPointAt(const std::vector<TTrackPoint>& Track, double Distance);

} // namespace lp
