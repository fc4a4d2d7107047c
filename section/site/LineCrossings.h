#pragma once
// Where the tracks of a site's lines cross on the map.
#include "section/site/SiteLines.h"

#include <vector>

namespace lp {

// Where two tracks cross: the lines (indices into the site's lines, A < B),
// the map point and each line's distance along its track there.
struct TCrossing {
    size_t LineA = 0, LineB = 0;
    double X = 0.0, Y = 0.0;
    double DistanceA = 0.0, DistanceB = 0.0;
};

// Every crossing of two tracks (polylines through their points), ordered by
// the lines and then along A. Two segments that meet at a point cross
// there, an end touching the other track included; segments that run
// parallel (overlapping or not) give none. A point where two neighbouring
// segments of a track meet the other track is one crossing, not two.
std::vector<TCrossing> FindCrossings(const std::vector<TSiteLine>& Lines);

} // namespace lp
