#include "section/site/LineCrossings.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace lp {

namespace {

double Cross(double Ax, double Ay, double Bx, double By)
{
    return Ax * By - Ay * Bx;
}

// Where segment p → p + r meets segment q → q + s: the shares along each
// (0 .. 1), none for parallel segments or a meeting beyond either. Shares
// within a millionth beyond an end still count (an end that touches the
// other segment in a rounding's distance).
std::optional<std::pair<double, double>> SegmentsMeet(const TTrackPoint& P0, const TTrackPoint& P1,
                                                      const TTrackPoint& Q0, const TTrackPoint& Q1)
{
    constexpr double Slack = 1e-6;
    const double rx = P1.X - P0.X, ry = P1.Y - P0.Y, sx = Q1.X - Q0.X, sy = Q1.Y - Q0.Y;
    const double denominator = Cross(rx, ry, sx, sy);
    if (!(std::fabs(denominator) > 1e-12 * std::hypot(rx, ry) * std::hypot(sx, sy)))
        return std::nullopt;
    const double qx = Q0.X - P0.X, qy = Q0.Y - P0.Y;
    const double t = Cross(qx, qy, sx, sy) / denominator, u = Cross(qx, qy, rx, ry) / denominator;
    if (t < -Slack || t > 1.0 + Slack || u < -Slack || u > 1.0 + Slack)
        return std::nullopt;
    return std::pair{std::clamp(t, 0.0, 1.0), std::clamp(u, 0.0, 1.0)};
}

void AddCrossings(const std::vector<TSiteLine>& Lines, size_t A, size_t B, std::vector<TCrossing>& Crossings)
{
    const std::vector<TTrackPoint>& a = Lines[A].Track;
    const std::vector<TTrackPoint>& b = Lines[B].Track;
    std::vector<TCrossing> found;
    for (size_t i = 0; i + 1 < a.size(); ++i)
        for (size_t j = 0; j + 1 < b.size(); ++j) {
            const auto meet = SegmentsMeet(a[i], a[i + 1], b[j], b[j + 1]);
            if (!meet)
                continue;
            const auto [t, u] = *meet;
            TCrossing crossing;
            crossing.LineA = A;
            crossing.LineB = B;
            crossing.X = a[i].X + t * (a[i + 1].X - a[i].X);
            crossing.Y = a[i].Y + t * (a[i + 1].Y - a[i].Y);
            crossing.DistanceA = a[i].Distance + t * (a[i + 1].Distance - a[i].Distance);
            crossing.DistanceB = b[j].Distance + u * (b[j + 1].Distance - b[j].Distance);
            found.push_back(crossing);
        }
    std::sort(found.begin(), found.end(),
              [](const TCrossing& p, const TCrossing& q) { return p.DistanceA < q.DistanceA; });
    // A meeting at a track's point is found on both segments it joins.
    const double span = std::max(a.back().Distance - a.front().Distance, b.back().Distance - b.front().Distance);
    for (const TCrossing& crossing : found)
        if (Crossings.empty() || Crossings.back().LineA != A || Crossings.back().LineB != B ||
            std::hypot(Crossings.back().X - crossing.X, Crossings.back().Y - crossing.Y) > 1e-6 * span)
            Crossings.push_back(crossing);
}

} // namespace

std::vector<TCrossing> FindCrossings(const std::vector<TSiteLine>& Lines)
{
    std::vector<TCrossing> crossings;
    for (size_t a = 0; a < Lines.size(); ++a)
        for (size_t b = a + 1; b < Lines.size(); ++b)
            AddCrossings(Lines, a, b, crossings);
    return crossings;
}

} // namespace lp
