#pragma once
// Surveys with electrodes in boreholes: two holes (cross-hole), a line on
// the surface and a hole (surface-to-hole), or one hole alone.
//
// A hole's electrodes stand at x, one hole spacing apart from one spacing
// below the ground's surface down (numbered from the top); the surface's
// elevation at x comes from the caller (a section's surface, 0 for a flat
// ground). Electrodes are numbered hole by hole (the surface line's first
// for surface-to-hole). Dipoles span 1 to MaxDipole spacings.
//
// Configurations (A, B current; M, N potential; B absent for a pole):
//   cross-hole, between holes 1 and 2:
//     AB-MN  A B in hole 1, M N in hole 2, dipoles of one length (the
//            reciprocal, hole 2 driving, measures the same)
//     AM-BN  A M in hole 1, B N in hole 2, the two dipoles of one length
//     pole-bipole  A in one hole, M N in the other
//   surface-to-hole: AB on the surface, MN in the hole; A on the surface,
//     MN in the hole; A in the hole, MN on the surface
//   single hole: dipole-dipole along the hole (A B, then M N n dipole
//     lengths further down, n = 1 .. 6) and pole-bipole (A, then M N)
// A configuration whose geometric factor over a flat ground (images
// included, FlatGeometricFactor) exceeds MaxGeometricFactor in size, or is
// infinite, is dropped and counted: it measures next to nothing.
// Refused (EForwardError): holes not as many as the kind needs, or two at
// one x or closer than LeastHoleDistance; electrode counts or a spacing
// out of range (a hole alone needs MinSingleHoleElectrodes); a limit not
// above 0; a layout left without a configuration (every one dropped for
// its geometric factor: said with the smallest factor made).

#include "section/survey/Survey.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lp {

enum class THoleArrayKind { Crosshole, SurfaceHole, SingleHole };

// "crosshole", "surface-hole", "single-hole".
std::string HoleArrayKindName(THoleArrayKind Kind);
std::optional<THoleArrayKind> HoleArrayKindFromName(const std::string& Name);

inline constexpr double DefaultMaxGeometricFactor = 5000.0; // m
inline constexpr int MaxHoleElectrodes = 1000;
inline constexpr size_t MaxDipoleSpacings = 3;
// A hole alone: pole-bipole, its smallest configuration, takes A, M and N in it.
inline constexpr int MinSingleHoleElectrodes = 3;

// How near two holes may stand, m: a tenth of the spacing down them
// (BuriedShare, as near as the computation tells electrodes apart). Nearer
// holes would need a mesh and wavenumbers fine enough for that distance
// (minutes for 0.1 mm, beyond ten for 1 µm) to tell what one hole measures.
double LeastHoleDistance(double HoleSpacing);

struct THoleLayout {
    THoleArrayKind Kind = THoleArrayKind::Crosshole;
    std::vector<double> Holes;   // x of each hole: two for cross-hole, one otherwise
    int HoleElectrodes = 12;     // per hole
    double HoleSpacing = 1.0;    // along the hole, m
    // Surface-to-hole: the line on the surface, its electrodes from First on
    // by Spacing.
    int SurfaceElectrodes = 0;
    double SurfaceSpacing = 1.0;
    double SurfaceFirst = 0.0;
    double MaxGeometricFactor = DefaultMaxGeometricFactor;
};

struct THoleSurvey {
    TSurvey Survey;  // HasElevations; the hole electrodes' Depth set
    int Dropped = 0; // configurations left out for their geometric factor
};

// SurfaceAt gives the ground surface's elevation at an x.
THoleSurvey MakeHoleSurvey(const THoleLayout& Layout, const std::function<double(double)>& SurfaceAt);

} // namespace lp
