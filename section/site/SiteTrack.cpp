#include "section/site/SiteTrack.h"

#include "section/survey/ModellingError.h"

#include <algorithm>
#include <cmath>

namespace lp {

std::string SiteLineLabel(const TSiteLine& Line)
{
    return Line.File.empty() ? Line.Name : Line.File;
}

void CheckTrack(const TSiteLine& Line)
{
    const std::vector<TTrackPoint>& track = Line.Track;
    const std::string label = SiteLineLabel(Line);
    if (track.size() < 2)
        throw EForwardError(label + ": the line's track needs at least two points.");
    for (size_t i = 0; i < track.size(); ++i) {
        const TTrackPoint& p = track[i];
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z) || !std::isfinite(p.Distance))
            throw EForwardError(label + ": a point of the line's track is not a finite number.");
        if (i > 0 && p.Distance < track[i - 1].Distance)
            throw EForwardError(label + ": the distances along the line's track must not fall.");
    }
    if (!(track.back().Distance > track.front().Distance))
        throw EForwardError(label + ": the line's track has no length.");
}

TTrackPlace NearestTrackPlace(const std::vector<TTrackPoint>& Track, double X, double Y)
{
    TTrackPlace best;
    double bestSquare = -1.0;
    for (size_t i = 0; i + 1 < Track.size(); ++i) {
        const TTrackPoint& a = Track[i];
        const TTrackPoint& b = Track[i + 1];
        const double dx = b.X - a.X, dy = b.Y - a.Y, length = dx * dx + dy * dy;
        const double t = length > 0.0 ? std::clamp(((X - a.X) * dx + (Y - a.Y) * dy) / length, 0.0, 1.0) : 0.0;
        const double px = a.X + t * dx, py = a.Y + t * dy;
        const double square = (X - px) * (X - px) + (Y - py) * (Y - py);
        if (bestSquare < 0.0 || square < bestSquare) {
            bestSquare = square;
            best = {a.Distance + t * (b.Distance - a.Distance), std::sqrt(square), px, py, a.Z + t * (b.Z - a.Z)};
        }
    }
    return best;
}

} // namespace lp
