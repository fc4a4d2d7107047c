#pragma once
// The wavenumbers of the 2.5-D computation and their weights.
//
// The potential along strike is transformed by the cosine transform
// Ũ(k) = ∫₀^∞ U(y) cos(k y) dy and comes back as U = (2/π) ∫₀^∞ Ũ(k) dk.
// The integral is a sum Σ wᵢ Ũ(kᵢ) over a few wavenumbers (1/m): Gauss-
// Legendre on [0, k₀] after the substitution k = k₀ t² (the integrand has a
// logarithmic singularity at k = 0), Gauss-Laguerre on [k₀, ∞), with
// k₀ = 1 / (2 r_min). The counts are the smallest that reproduce the
// transform of a point source, K₀(k r), back to 1/r within the tolerance
// for every distance r from r_min to r_max.

#include <vector>

namespace lp {

struct TWavenumbers {
    std::vector<double> k; // 1/m, ascending
    std::vector<double> w; // weights: ∫₀^∞ f(k) dk ≈ Σ w f(k)
};

// The quadrature for distances rMin .. rMax (0 < rMin <= rMax), its worst
// relative error at most Tolerance (0.1 % by default).
TWavenumbers ChooseWavenumbers(double RMin, double RMax, double Tolerance = 1e-3);

// The fixed rule: Legendre points on [0, k₀] and Laguerre points beyond.
TWavenumbers WavenumberRule(double RMin, int LegendrePoints, int LaguerrePoints);

// (2/π) Σ wᵢ K₀(kᵢ r): the rule's value for 1/r.
double PointSourceSum(const TWavenumbers& Rule, double R);
// The largest |r · PointSourceSum(r) - 1| over distances spread evenly on
// a logarithmic scale from rMin to rMax (both included).
double PointSourceError(const TWavenumbers& Rule, double RMin, double RMax);

} // namespace lp
