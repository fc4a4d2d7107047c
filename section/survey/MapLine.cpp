#include "section/survey/MapLine.h"

#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace lp {

namespace {

// Coordinates that differ by less (metres) are one: a file's rounding.
constexpr double SameCoordinate = 1e-3;

bool Shared(const std::vector<TMapPoint>& Points, double TMapPoint::* Coordinate)
{
    const auto [low, high] = std::minmax_element(Points.begin(), Points.end(), [&](const TMapPoint& a, const TMapPoint& b) {
        return a.*Coordinate < b.*Coordinate;
    });
    return (*high).*Coordinate - (*low).*Coordinate <= SameCoordinate;
}

// The median distance between neighbours in file order (those at one place
// left out): the spacing the tolerance of a straight line is measured in.
double TrackSpacing(const std::vector<TMapPoint>& Points)
{
    std::vector<double> gaps;
    for (size_t i = 1; i < Points.size(); ++i)
        if (const double gap = std::hypot(Points[i].x - Points[i - 1].x, Points[i].y - Points[i - 1].y); gap > 0.0)
            gaps.push_back(gap);
    if (gaps.empty())
        return 0.0;
    std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
    return gaps[gaps.size() / 2];
}

// Running sums of points (relative to an origin) and their line of least
// squares: through the mean, along the main axis.
struct TLineSums {
    double n = 0.0, sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0, syy = 0.0;
    void Add(double x, double y)
    {
        n += 1.0, sx += x, sy += y, sxx += x * x, sxy += x * y, syy += y * y;
    }
    // How far (x, y) stands off the line; none while the points stand at
    // one place.
    std::optional<double> Offset(double x, double y) const
    {
        const double mx = sx / n, my = sy / n;
        const double cxx = sxx / n - mx * mx, cxy = sxy / n - mx * my, cyy = syy / n - my * my;
        if (!(cxx + cyy > 0.0))
            return std::nullopt;
        const double angle = 0.5 * std::atan2(2.0 * cxy, cxx - cyy);
        return std::fabs((y - my) * std::cos(angle) - (x - mx) * std::sin(angle));
    }
};

} // namespace

TMapLine::TMapLine(std::vector<TMapPoint> Points) : FPoints(std::move(Points))
{
    if (FPoints.empty())
        throw std::invalid_argument("A map line needs a point.");
    if (Shared(FPoints, &TMapPoint::y)) {
        FKind = TKind::AlongX;
    } else if (Shared(FPoints, &TMapPoint::x)) {
        FKind = TKind::AlongY;
    } else {
        FindBend();
        FKind = FBend ? TKind::Bent : TKind::Straight;
    }
    if (FKind == TKind::Straight) {
        // The line of least squares through every point, pointing from the
        // first point toward the last.
        const TMapPoint origin = FPoints.front();
        TLineSums sums;
        for (const TMapPoint& p : FPoints)
            sums.Add(p.x - origin.x, p.y - origin.y);
        const double mx = sums.sx / sums.n, my = sums.sy / sums.n;
        const double cxx = sums.sxx / sums.n - mx * mx, cxy = sums.sxy / sums.n - mx * my,
                     cyy = sums.syy / sums.n - my * my;
        const double angle = 0.5 * std::atan2(2.0 * cxy, cxx - cyy);
        FCx = origin.x + mx, FCy = origin.y + my, FUx = std::cos(angle), FUy = std::sin(angle);
        const TMapPoint& last = FPoints.back();
        if ((last.x - origin.x) * FUx + (last.y - origin.y) * FUy < 0.0)
            FUx = -FUx, FUy = -FUy;
        FStart = std::numeric_limits<double>::infinity();
        for (const TMapPoint& p : FPoints)
            FStart = std::min(FStart, (p.x - FCx) * FUx + (p.y - FCy) * FUy);
    }
    double track = 0.0;
    for (size_t i = 0; i < FPoints.size(); ++i) {
        if (FKind == TKind::Bent && i > 0)
            track += std::hypot(FPoints[i].x - FPoints[i - 1].x, FPoints[i].y - FPoints[i - 1].y);
        FDistances.push_back(FKind == TKind::Bent ? track : DistanceOf(FPoints[i]));
    }
}

void TMapLine::FindBend()
{
    const double tolerance = StraightLineShare * TrackSpacing(FPoints);
    const TMapPoint origin = FPoints.front();
    TLineSums all;
    for (const TMapPoint& p : FPoints)
        all.Add(p.x - origin.x, p.y - origin.y);
    std::optional<size_t> off; // the first point off the line through all
    double offset = 0.0;
    for (size_t i = 0; i < FPoints.size() && !off; ++i)
        if (const std::optional<double> o = all.Offset(FPoints[i].x - origin.x, FPoints[i].y - origin.y); o && *o > tolerance)
            off = i, offset = *o;
    if (!off)
        return;
    // Where it bends: the first point off the line of those before it
    // (three at least, so that a point's scatter turns no line), else the
    // first off the line through all.
    TLineSums before;
    for (size_t i = 0; i < FPoints.size(); ++i) {
        const double x = FPoints[i].x - origin.x, y = FPoints[i].y - origin.y;
        if (i >= 3)
            if (const std::optional<double> o = before.Offset(x, y); o && *o > tolerance) {
                FBend = i;
                FBendOffset = *o;
                return;
            }
        before.Add(x, y);
    }
    FBend = off;
    FBendOffset = offset;
}

double TMapLine::DistanceOf(const TMapPoint& Point) const
{
    switch (FKind) {
    case TKind::AlongX:
        return Point.x;
    case TKind::AlongY:
        return Point.y;
    case TKind::Straight:
        return (Point.x - FCx) * FUx + (Point.y - FCy) * FUy - FStart;
    case TKind::Bent:
        break;
    }
    // The nearest point of the track, segment by segment.
    double best = std::numeric_limits<double>::infinity(), distance = 0.0;
    for (size_t i = 0; i + 1 < FPoints.size(); ++i) {
        const TMapPoint& a = FPoints[i];
        const TMapPoint& b = FPoints[i + 1];
        const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
        const double t =
            length > 0.0 ? std::clamp(((Point.x - a.x) * dx + (Point.y - a.y) * dy) / (length * length), 0.0, 1.0) : 0.0;
        const double off = std::hypot(a.x + t * dx - Point.x, a.y + t * dy - Point.y);
        if (off < best)
            best = off, distance = FDistances[i] + t * length;
    }
    return distance;
}

std::string BendWarning(const std::string& PointName, double Offset)
{
    return "The electrodes do not stand on one straight line: " + PointName + " stands " + ReadableNumber(Offset) +
           " m off the line of those before it; the distance along the line is the track's horizontal length from "
           "electrode to electrode in file order.";
}

} // namespace lp
