#pragma once
// A line's track on the map as the volume between the lines reads it: the
// point of a track nearest a map point (the distance along the track there,
// how far off the track the map point lies, the ground's elevation there);
// the map point at a distance along it is TrackPointAt's (SiteLines.h).
// Tracks are polylines through their points in track order, linear between
// them; the points' Distance values (the 2-D section's x) are taken as
// given, not measured again.

#include "section/site/SiteLines.h"

#include <string>
#include <vector>

namespace lp {

// The place on a track nearest a map point.
struct TTrackPlace {
    double Distance = 0.0; // along the track, within its first .. last point
    double Offset = 0.0;   // metres from the map point to the track, at least 0
    double X = 0.0, Y = 0.0, Z = 0.0; // the place on the map; the ground's elevation there
};

// The line as messages name it: its file, else its name.
std::string SiteLineLabel(const TSiteLine& Line);

// Refuses (EForwardError naming the line's file) a track of fewer than two
// points, a coordinate that is not a finite number, distances that fall
// along the track or do not grow at all.
void CheckTrack(const TSiteLine& Line);

// The nearest place of Track (checked) to the map point X, Y; of two
// equally near places the first along the track.
TTrackPlace NearestTrackPlace(const std::vector<TTrackPoint>& Track, double X, double Y);

} // namespace lp
