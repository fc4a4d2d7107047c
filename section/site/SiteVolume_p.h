#pragma once
// What the volume's computation and its files share.

#include "section/site/SiteVolume.h"

#include <cmath>

namespace lp {

// The most points a volume's grid may hold (over its whole box, before the
// points far from every line are left out): beyond it the grid's step grows.
inline constexpr double MaxVolumeGridPoints = 4.0e6;

inline bool FiniteVolumePoint(const TVolumePoint& P)
{
    return std::isfinite(P.X) && std::isfinite(P.Y) && std::isfinite(P.Z) && std::isfinite(P.Depth) &&
           std::isfinite(P.Resistivity) && std::isfinite(P.Weight);
}

} // namespace lp
