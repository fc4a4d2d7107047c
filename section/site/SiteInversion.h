#pragma once
// Several lines of one site inverted each on its own track, and tied where
// their tracks cross.
//
// Each line is inverted as --invert inverts a file without a section
// (InversionMeshFor, TSurveyInverter, the options given). A line whose
// track crosses others is then tied: at each crossing a log of the shared
// vertical (CrossingTies.h: the geometric mean of both lines' first images
// there, weighted by coverage) becomes prior data of its column and of the
// columns within TieReach spacings, at TieErrorFactor times the data's
// default error in ln ρ, and the image takes one
// Gauss–Newton step from its first image toward the logs, keeping its
// response to the data as far as their errors ask (TieStep: the first
// pass's Jacobian, forward problem and last λ; the roughness of the
// change). Both lines of a crossing are tied
// toward the same column, from their first images, so the order of the
// lines does not matter. See docs/ARCHITECTURE.md (the site layer) for why
// this and what it costs.
#include "section/inversion/InversionMesh.h"
#include "section/inversion/SurveyInversion.h"
#include "section/site/LineCrossings.h"
#include "section/site/SiteLines.h"

#include <functional>
#include <string>
#include <vector>

namespace lp {

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
    // The final inversion as --invert writes it (FormatInversionTable):
    // the inversion's own coverage, the depth of investigation, IP values
    // (of the first image: the tie's change is small), the tie as its last step.
    TSurveyInversion Inversion;
    bool Tied = false; // tied at its crossings
};

struct TSiteImages {
    std::vector<TLineImage> Images; // one per line, in the lines' order
    std::vector<TCrossing> Crossings;
    bool Cancelled = false; // Images then hold the lines finished (maybe none)
};

struct TSiteCallbacks {
    // A line's progress: its index and what it is at.
    std::function<void(size_t Line, const std::string& What)> Progress;
    std::function<bool()> Continue; // false cancels
};

// The ties' error in ln ρ, in times the data's default error
// (TSurveyInversionOptions::ErrorPercent), and their reach along a line in
// electrode spacings (the logs' weight falling as a Gaussian to it:
// PriorDatumError). The shared column is itself an estimate, each of its
// two images as uncertain as its data make it: it weighs a quarter of a
// datum. Its reach is the ground under the crossing, not the line's
// neighbourhood: a tie line crossing a line every four spacings is pulled
// at its crossings, and its image between them stays its own. On the
// synthetic site of tests/data/site the shared columns' median |Δlog10 ρ|
// falls from 0.012 .. 0.082 untied to 0.004 .. 0.019, while each line's
// likeness to an independent 2-D inversion of it stays (the bent line's
// correlation 0.871 alone, 0.867 tied; the tie line's 0.927 and 0.925).
// The data's error and two spacings (on an earlier version of that site)
// tied the columns to 0.002 and cost the bent line 0.05 of that likeness.
inline constexpr double TieErrorFactor = 2.0;
inline constexpr double TieReach = 1.0;

// The coverage a depth of investigation gives a cell: 1 up to DoiLimit (the
// usual limit, 0.2), falling linearly to 0 at DoiGone.
inline constexpr double DoiLimit = 0.2;
inline constexpr double DoiGone = 0.5;
double CoverageOfDepthOfInvestigation(double Doi);

// Inverts every line with Options (its Start and WellLogs are the lines'
// own: ignored) and ties the images at the crossings. With
// DepthOfInvestigation, each line gets the depth of investigation of its
// first image (as --doi; the tie changes the image too little to move
// it) and the coverage from it (CoverageOfDepthOfInvestigation); else the
// inversion's coverage. Raises
// EForwardError naming the line's file where its inversion cannot be done
// or did not move from its start (as --invert refuses it).
TSiteImages InvertSite(const std::vector<TSiteLine>& Lines, const TSurveyInversionOptions& Options,
                       const TSiteCallbacks& Callbacks = {}, bool DepthOfInvestigation = false);

} // namespace lp
