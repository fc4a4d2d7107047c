#pragma once
// Several lines of one site inverted each on its own track, and tied where
// their tracks cross.
#include "section/inversion/InversionMesh.h"
#include "section/inversion/SurveyInversion.h"
#include "section/site/SiteLines.h"

#include <functional>
#include <string>
#include <vector>

namespace lp {

// Where two tracks cross: the lines (indices into the site's lines, A < B),
// the map point and each line's distance along its track there.
struct TCrossing {
    size_t LineA = 0, LineB = 0;
    double X = 0.0, Y = 0.0;
    double DistanceA = 0.0, DistanceB = 0.0;
};

// A line's image: its mesh (x along the track, y the elevation) and each
// cell's resistivity and coverage (0 .. 1, faded by the depth of
// investigation where computed).
struct TLineImage {
    TInversionMesh Mesh;
    std::vector<double> Resistivities; // ohm-m per cell
    std::vector<double> Coverage;      // 0 .. 1 per cell
    std::size_t Data = 0;
    double ChiSquare = 0.0, Rrms = 0.0;
    std::string Stop;
};

struct TSiteImages {
    std::vector<TLineImage> Images; // one per line, in the lines' order
    std::vector<TCrossing> Crossings;
};

// Every crossing of two tracks, ordered by the lines and then along A.
std::vector<TCrossing> FindCrossings(const std::vector<TSiteLine>& Lines);

struct TSiteCallbacks {
    // A line's progress: its index and what it is at.
    std::function<void(size_t Line, const std::string& What)> Progress;
    std::function<bool()> Continue; // false cancels
};

// Inverts every line with Options and ties the images at the crossings.
TSiteImages InvertSite(const std::vector<TSiteLine>& Lines, const TSurveyInversionOptions& Options,
                       const TSiteCallbacks& Callbacks = {});

} // namespace lp
