#pragma once
// A line of electrodes placed by map coordinates (x east, y north, as a
// unified file's "# x y z" or an electrode positions file gives them) and
// the distance along it that a 2-D section takes as its x.
//
// - Every y the same: the line runs along x, and the distance is x itself;
//   every x the same (a north-south line): y itself.
// - Any other straight line: the distance along the line of least squares
//   through the points, from the point nearest its start (the first point
//   in file order stands before the last).
// - A bent line: its horizontal length from point to point in file order
//   (the track as it was laid), from 0 at the first point.
// A line is straight while every point stands within a tenth of a spacing
// (the median distance between neighbours in file order) of the line of
// least squares through them all. A bent line bends at the first point, in
// file order from the fourth on, that stands as far off the line fitted
// through those before it (else at the first off the line through all),
// named in the warning (BendWarning).
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace lp {

struct TMapPoint {
    double x = 0.0; // east
    double y = 0.0; // north
    friend bool operator==(const TMapPoint&, const TMapPoint&) = default;
};

// Map coordinates beyond this size (metres) are no place on a map: their
// line's sums would overflow.
inline constexpr double MaxMapCoordinate = 1e12;
inline bool OnAMap(const TMapPoint& Point)
{
    return std::fabs(Point.x) <= MaxMapCoordinate && std::fabs(Point.y) <= MaxMapCoordinate;
}

// How far off the line (in spacings) a point may stand and the line still
// count as straight.
inline constexpr double StraightLineShare = 0.1;

class TMapLine {
public:
    // The line of the points in file order; at least one point.
    explicit TMapLine(std::vector<TMapPoint> Points);

    // Each point's distance along the line, in file order.
    const std::vector<double>& Distances() const { return FDistances; }
    bool Bent() const { return FBend.has_value(); }
    // Where a bent line bends (a point from 0, file order; see above) and
    // how far off that line the point stands; none on a straight line.
    std::optional<size_t> Bend() const { return FBend; }
    double BendOffset() const { return FBendOffset; }
    // The distance along the line of another point (a topography point):
    // on a straight line its projection, on a bent one the distance of the
    // nearest point of the track.
    double DistanceOf(const TMapPoint& Point) const;

private:
    enum class TKind { AlongX, AlongY, Straight, Bent };
    void FindBend();

    std::vector<TMapPoint> FPoints;
    std::vector<double> FDistances;
    TKind FKind = TKind::AlongX;
    std::optional<size_t> FBend;
    double FBendOffset = 0.0;
    // The straight line: through (Cx, Cy) along (Ux, Uy), less Start.
    double FCx = 0.0, FCy = 0.0, FUx = 1.0, FUy = 0.0, FStart = 0.0;
};

// "The electrodes do not stand on one straight line: electrode 7 (line 12)
// stands 2.5 m off the line of those before it; the distance along the line
// is the track's horizontal length from electrode to electrode in file
// order." What names the point ("electrode 7 (line 12)") is the caller's.
std::string BendWarning(const std::string& PointName, double Offset);

} // namespace lp
