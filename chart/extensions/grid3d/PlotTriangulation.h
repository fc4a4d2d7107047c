#pragma once
// Triangulation of scattered points in the horizontal X-Z plane, for the
// triangulated surface. Points join one by one in order of distance from
// the closest pair; each new point is joined to the border edges it sees,
// and triangles are improved by the max-min angle exchange (which makes the
// result a Delaunay triangulation wherever no four points share a circle).
//
// Coincident points (equal X and Z) and points with a non-finite coordinate
// take no part; of coincident points the first in point order stays, where
// point order is 1, 2, ..., N-1 and then 0. Fewer than three remaining
// points give no triangles. All-collinear input gives degenerate triangles,
// never an error. The caller's values are only read.

#include <array>
#include <vector>

namespace lp {

struct TTriangulation {
    // A border edge: its ends and the triangle it belongs to (an index into
    // Triangles). The triangle lies on the edge's left.
    struct TBorderEdge {
        int First = 0;
        int Second = 0;
        int Triangle = 0;
    };
    // Vertex indexes into the given X and Z, counter-clockwise (X right,
    // Z up).
    std::vector<std::array<int, 3>> Triangles;
    std::vector<TBorderEdge> Border;
};

// Triangulates the points (X[i], Z[i]); the shorter list sets the count.
TTriangulation Triangulate(const std::vector<double>& X, const std::vector<double>& Z);

} // namespace lp
