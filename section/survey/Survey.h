#pragma once
// The survey of a forward computation: electrodes on the ground surface and
// the four-electrode configurations measured with them.
//
// Electrode positions are in model units: x the distance, z the elevation
// (minus the depth), y the offset across the line (0 on it: a remote
// electrode set out beside the line). An electrode below the ground's
// surface (in a borehole, on the bottom of a body of water) is buried: its
// Depth below the surface at its x is above 0, and the computation keeps it
// at its z inside the ground instead of standing it on the surface. A configuration drives a unit current from A to B and
// measures the potential of M less that of N; B or N absent (-1) stands for
// an electrode at infinity (a pole).

#include "section/survey/MapLine.h"
#include "section/survey/ModellingError.h"

#include <optional>
#include <string>
#include <vector>

namespace lp {

enum class TArrayKind { DipoleDipole, Wenner, Schlumberger };

struct TElectrode {
    double x = 0.0;
    double z = 0.0;
    double y = 0.0; // across the line
    double Depth = 0.0; // below the ground's surface at x; 0 on the surface
    // Where a file placed it on a map (x east, y north), when it did: x is
    // then its distance along the line (MapLine.h).
    std::optional<TMapPoint> Map = std::nullopt;
    bool Buried() const { return Depth > 0.0; }
};

// Electrode indices from 0; -1 where the electrode is absent (B or N only).
struct TConfiguration {
    int a = -1, b = -1, m = -1, n = -1;
    friend bool operator==(const TConfiguration&, const TConfiguration&) = default;
};

// The array name of a survey read from a scheme file.
inline constexpr const char* SchemeArrayName = "scheme";

struct TSurvey {
    std::vector<TElectrode> Electrodes;
    std::vector<TConfiguration> Configurations;
    std::string Array; // the array's name for the data file's comment (SchemeArrayName for a scheme file)
    // The electrodes' z are elevations to keep (a file's, a borehole
    // layout's), not left at 0 for the surface to set: below the section's
    // surface they are buried there (PlaceSurvey).
    bool HasElevations = false;
};

// The limits of a regular array's settings, for every way of setting them.
inline constexpr int MinArrayElectrodes = 2;
inline constexpr int MaxArrayElectrodes = 10000;
inline constexpr int MinArrayLevels = 1;
inline constexpr int MaxArrayLevels = 1000;

// A regular array along the model area. Spacing and First default to the
// electrodes spread evenly over the width, one spacing in from each side;
// with only the spacing given the spread is centred, with only the first
// electrode given it ends one spacing in from the right side.
struct TArrayLayout {
    TArrayKind Kind = TArrayKind::DipoleDipole;
    int Electrodes = 48;
    std::optional<double> Spacing;
    std::optional<double> First;
    int Levels = 6;
};

// "dipole-dipole", "wenner", "schlumberger".
std::string ArrayKindName(TArrayKind Kind);
std::optional<TArrayKind> ArrayKindFromName(const std::string& Name);

// The configurations of an array over electrodes 0 .. Electrodes - 1, for
// n = 1 .. Levels, ordered by n, then by the first electrode i:
//   Wenner (alpha):                  A = i, M = i + n, N = i + 2n, B = i + 3n
//   Schlumberger (Wenner-Schlumberger): A = i, M = i + n, N = i + n + 1, B = i + 2n + 1
//   dipole-dipole:                   A = i, B = i + 1, M = i + n + 1, N = i + n + 2
// Only configurations whose four electrodes all exist.
std::vector<TConfiguration> ArrayConfigurations(TArrayKind Kind, int Electrodes, int Levels);

// The array's electrodes (x only; z 0) and configurations over a model
// area from Left to Right. Refuses (EForwardError) electrodes or levels
// beyond the limits above, a spacing that is not a finite number above 0.
TSurvey MakeArraySurvey(const TArrayLayout& Layout, double Left, double Right);


// The data a computation gives for a survey: one value per configuration.
struct TSurveyResponse {
    TSurvey Survey;                       // as computed: the electrodes on the surface
    std::vector<double> Voltages;         // ΔU per configuration, V/A
    std::vector<double> GeometricFactors; // k, m
    std::vector<double> Resistivities;    // ρa, ohm-m
    std::vector<double> Chargeabilities;  // ηa, per cent; empty when no region is polarizable
    std::vector<double> Phases;           // φa, mrad, to first order; empty when no region has a phase
};

// The distance between two electrodes of the survey, in space (y included).
double ElectrodeDistance(const TSurvey& Survey, int A, int B);

// Their distance in the section's plane (x and z; y left out): what the
// 2.5-D computation's transformed potentials see.
double SectionDistance(const TSurvey& Survey, int A, int B);

// Whether any electrode stands off the line (y not 0).
bool HasOffLineElectrodes(const TSurvey& Survey);

// The smallest and the largest distance in the section's plane between a
// current and a potential electrode of one configuration (the largest
// counting a buried pair's distance to its image above the surface). The smallest is
// that of the pairs on one line (at one y): the wavenumbers' fit to 1/r is
// theirs, pairs apart across the line are fitted from their own nearest
// distance (SurveyWavenumbers); only a survey without such a pair takes the
// smallest of the others not at one point of the plane.
void SurveyDistances(const TSurvey& Survey, double& Smallest, double& Largest);

// The analytic geometric factor of a configuration on a flat surface, from
// the electrodes' distances in space (an electrode off the line at its
// place); infinite where the configuration measures nothing over a homogeneous
// ground. On the surface k = 2π / Σ ±1/r; with a buried electrode (Depth
// above 0) the half-space's with image sources, k = 4π / Σ ±(1/r + 1/r'),
// r' the distance to the source's mirror image above the surface (r from
// the depths, so that z need not be the flat surface's elevation less the
// depth; a configuration on the surface alone is computed as before, to
// the bit).
double FlatGeometricFactor(const TSurvey& Survey, const TConfiguration& Configuration);
// The term of one current and one potential electrode: 1/r on the surface,
// (1/r + 1/r') / 2 with a buried one; 0 with an absent electrode.
double HalfSpaceTerm(const TElectrode& Current, const TElectrode& Potential);

// The upper envelope of electrodes without a section: at each x (within a
// billionth of the electrodes' span) the highest electrode stands on the
// ground's surface (a line's electrodes, a hole's top), and every electrode
// below it is buried at its distance below (Depth). A hole (two or more
// electrodes at one x) in a file whose z are all at or below 0 (depths
// counted down from a surface at 0) starts at 0, not at its top electrode:
// that one is buried too. Electrodes without elevations (all z 0) stay on
// the surface.
void SetEnvelopeDepths(std::vector<TElectrode>& Electrodes);

// The smallest distance in the section's plane (x and z) between two
// electrodes not at one point of it; infinite with fewer than two such.
double SmallestPlaneDistance(const std::vector<TElectrode>& Electrodes);

// How far below a section's surface an electrode must lie to be buried, in
// the smallest distances between electrodes in the section's plane (a file
// whose elevations miss a drawn relief by less keeps its electrodes on the
// surface, as a relief line always stood).
inline constexpr double BuriedShare = 0.1;

// The median gap between the distinct positions along a line (any order):
// an electrode spacing, a pseudo-section's column width. 0 with fewer than
// two distinct positions.
double MedianGap(std::vector<double> Positions);

// The distinct x of the electrodes the configurations use, rising (an
// electrode no configuration uses does not count).
std::vector<double> UsedElectrodePositions(const TSurvey& Survey);

// The indexes of the electrodes some configuration uses, rising.
std::vector<int> UsedElectrodes(const TSurvey& Survey);

// How far a survey's frame reaches beyond its outer electrodes, in median
// electrode spacings.
inline constexpr double SurveyFramePadding = 2.0;

struct TSurveyFrame {
    double Left = 0.0, Right = 0.0;
    bool Empty() const { return !(Right > Left); }
};

// The widest gap between neighbouring used electrodes of one survey, in
// median electrode spacings. An inversion's cells follow the electrodes
// (columns of half a spacing between them), so one electrode far from the
// rest (a coordinate typed wrong, a remote electrode written as one on the
// line) would have them reach across its gap: millions of cells that no
// memory holds, or an image spread thin over ground no datum sees.
inline constexpr double MaxElectrodeGap = 50.0;

// A used electrode beyond a gap wider than MaxElectrodeGap.
struct TStrayElectrode {
    int Electrode = -1; // the electrode beside the gap, on its side with fewer electrodes
    int Neighbour = -1; // the electrode across the gap
    double Gap = 0.0;   // in median electrode spacings
    // A gap in height: the electrode (or, Surface, the ground's surface over
    // it) lies that far above or below every other height of the survey.
    enum { Along, Above, Below } Height = Along;
    bool Surface = false;
    double Elevation = 0.0, NeighbourElevation = 0.0; // the heights either side of the gap
};

// The survey's widest gap between neighbouring used electrodes when it is
// wider than MaxElectrodeGap median spacings; of the electrodes at one
// place, the first of the survey's is named. Else the widest gap between
// the heights of the used electrodes (their elevations, and the surface
// over each buried one: a depth of 1e9 m read from a file's terrain) when
// wider than MaxElectrodeGap spacings (the median spacing along the line;
// with electrodes at fewer than four places along it, the median spacing
// of their elevations, down the holes). None otherwise, and with nothing
// to measure the spacing by.
std::optional<TStrayElectrode> StrayElectrode(const TSurvey& Survey);

// The survey's frame, the span its data say something about: from the
// first used electrode less SurveyFramePadding median spacings to the last
// plus as many. The inversion's cells and the pseudo-sections of measured
// data both cover it. Empty (0 .. 0) with electrodes at fewer than two
// places.
TSurveyFrame SurveyFrame(const TSurvey& Survey);

} // namespace lp
