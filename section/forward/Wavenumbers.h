#pragma once
// The wavenumbers of the 2.5-D computation and their weights.
//
// The potential along strike is transformed by the cosine transform
// Ũ(k) = ∫₀^∞ U(y) cos(k y) dy and comes back as U = (2/π) ∫₀^∞ Ũ(k) dk.
// The integral is a sum Σ wᵢ Ũ(kᵢ) over a few wavenumbers (1/m), spread
// evenly on a logarithmic scale from 0.2 / r_fit to 5 / r_min, with weights
// fitted by least squares so that the transform of a point source, K₀(k r),
// comes back to 1/r for every distance r from r_min to r_fit: at least
// 3 r_max (the images of a layered or faulted ground lie further than the
// electrodes), and as far as the mesh reaches (its padded extent). The
// lowest wavenumbers carry what a ground sends far along strike: a
// conductive fill between resistive walls and floor guides the current
// hundreds of metres along the strike, and its transformed potential
// changes at wavenumbers far below 1 / (3 r_max). A rule fitted only to
// 3 r_max (0.2 / r_fit = 1/630 m for pole-dipoles 6 m apart) left out that
// part: long pole-dipoles over a 25 ohm-m graben in 1200 ohm-m bedrock came
// out 4 % high, 15 % at a contrast of 2,000. Fitted to the mesh's extent,
// every source the mesh can hold, image or real, comes back, which costs
// about one wavenumber per factor of 3 in the range (8 become 13 there).
// The count is the smallest that keeps the worst relative
// error within the tolerance with weights that do not magnify the finite
// elements' error; a fitted rule reaches 1e-4 with about ten wavenumbers
// where Gauss rules need twice as many for 1e-3.

#include <vector>

namespace lp {

// Electrodes off the line (a remote set out beside it): a current and a
// potential electrode Across apart across the line (y) see each other
// through the back-transform with each wavenumber's term multiplied by
// cos(k Across), (2/π) ∫ K₀(k r) cos(k Across) dk = 1 / √(r² + Across²),
// r their distance in the section's plane. The rule must give that too,
// for every r from Nearest (the pairs' smallest) out to the fitted range.
// The cosine oscillates over the wavenumbers where K₀(k r) is still large
// when r is well below Across (a remote beside the middle of the line):
// the log-spaced rule of the line cannot follow it, so such surveys take a
// rule of their own (OffsetWavenumberFit). Nearest is 0 for a pair at one
// point of the plane (a remote carried out square from a line electrode):
// the finite elements' value at the shared node stands for the field a
// little way from the source, and a pair within a thousandth of its
// offset along the line is fitted from a millionth of it, where K₀ is its
// logarithm for every candidate: the rule then weighs that logarithm at
// nothing, and holds however near the pair stands.
struct TLineOffset {
    double Across = 0.0;  // m, above 0
    double Nearest = 0.0; // m, 0 or above
};

struct TWavenumbers {
    std::vector<double> k; // 1/m, ascending
    std::vector<double> w; // weights: ∫₀^∞ f(k) dk ≈ Σ w f(k)
};

// The finest tolerance the fitted rules meet for every ratio of the
// largest to the smallest distance (checked from 1 to 100,000) with an
// error gain of at most 2: finer ones are refused, never computed with
// weights that would multiply the finite elements' error.
inline constexpr double MinimumQuadratureTolerance = 6e-5;

// The distances the rule is fitted over reach at least this multiple of
// the largest electrode distance.
inline constexpr double WavenumberRangeFactor = 3.0;

// The distances the rule is fitted over for electrode distances rMin ..
// rMax in a mesh whose larger side is Reach (0: no mesh to cover):
// rMin .. max(3 rMax, Reach).
double FittedRange(double RMax, double Reach);

// The quadrature for electrode distances rMin .. rMax (0 < rMin <= rMax) in
// a mesh whose larger side is Reach (the padded geometry's Extent): the
// fewest wavenumbers whose worst relative error against 1/r over rMin ..
// FittedRange(rMax, Reach) is at most Tolerance and whose error gain is at
// most 2. With Offsets, the first rule of OffsetWavenumberFit (16 to 160
// candidates) that keeps within the tolerance on the line and within ten
// times the tolerance for every offset (1 / √(r² + Across²), r from
// Nearest out to the fitted range), wherever the pair stands.
// Raises EForwardError for a tolerance below MinimumQuadratureTolerance
// (naming both), and when no rule reaches it (30 wavenumbers on the line,
// 160 candidates with offsets).
TWavenumbers ChooseWavenumbers(double RMin, double RMax, double Tolerance = 1e-4, double Reach = 0.0,
                               const std::vector<TLineOffset>& Offsets = {});

// The rule of Count wavenumbers fitted over the distances RMin .. RFit by
// least squares, spread evenly on a logarithmic scale from 0.2 / RFit to
// 5 / RMin.
TWavenumbers WavenumberFit(double RMin, double RFit, int Count);

// The rule for a survey with electrodes off the line: Candidates
// wavenumbers spread evenly on a logarithmic scale from 0.2 / RFit to 10
// over the smallest distance (RMin or an offset's Nearest, at least a
// thousandth of its Across), weighted by
// non-negative least squares against 1/r on the line and 1 / √(r² +
// Across²) per offset (200 distances each, relative errors); those of
// weight 0 are left out (typically two in three). Positive weights keep
// the line's error gain at 1. For a pair much nearer along the line than
// across it the terms have both signs (their sum of magnitudes up to
// Across / r times the result), but the finite elements' error of the
// transformed potentials changes slowly with k and the cosine averages it
// out: a remote 100 m beside the middle of a line, 5 m along from its
// nearest electrodes, comes within 0.15 % of the analytic potential.
TWavenumbers OffsetWavenumberFit(double RMin, double RFit, int Candidates, const std::vector<TLineOffset>& Offsets);

// (2/π) Σ wᵢ K₀(kᵢ r): the rule's value for 1/r.
double PointSourceSum(const TWavenumbers& Rule, double R);
// (2/π) Σ wᵢ cos(kᵢ Across) K₀(kᵢ r): the rule's value for 1 / √(r² + Across²).
double OffsetSourceSum(const TWavenumbers& Rule, double R, double Across);
// The largest |r · PointSourceSum(r) - 1| over 1,000 distances spread
// evenly on a logarithmic scale from rMin to rMax (both included).
double PointSourceError(const TWavenumbers& Rule, double RMin, double RMax);
// The rule's error gain over the same distances: the largest
// (2/π) r Σ |wᵢ| K₀(kᵢ r), 1 for a rule of positive weights. A relative
// error ε of every transformed potential makes an error up to gain · ε of
// the potential.
double ErrorGain(const TWavenumbers& Rule, double RMin, double RMax);

} // namespace lp
