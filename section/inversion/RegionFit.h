#pragma once
// Fitting the regions of a drawn section to measured data: the resistivity
// of every free region (its geometry held as drawn) that explains the data
// best, how well the data determine it, and then the polarizabilities.
//
//   TSensitivityProblem (Sensitivity.h): one mesh for the whole fit
//   start: every free region whose column of J is nearly zero is not determined
//   Levenberg–Marquardt on m = ln ρ, every iteration:
//     held: while a region's uncertainty at the present values and χ² = 1,
//     √((JᵀWᵀWJ)⁻¹_jj), is above ln MaxUncertaintyFactor (infinite where
//     the matrix is singular: then the region the data see least), that
//     region is not determined: it goes back to its start and leaves the
//     fit, the others' uncertainties follow without it. A region the data
//     cannot bound climbs with every step while its column of J fades;
//     held, it no longer keeps the others from converging. Unless its
//     return to the start (the others making up for it along their
//     columns of J) would raise the total χ² by more than 9 (in units of
//     χ² per datum, at least 1): then the data rule the start out and it
//     is determined (a small body whose response saturates moves χ² a
//     lot, then its column fades); it keeps its value, fitted no further
//     (a step would only let it climb), with its factor then, its own
//     with the others held: exp(√(χ² / (JᵀWᵀWJ)_jj)).
//     stop: the undamped step changes no determined region's ln ρ by more
//     than 2 % of its uncertainty (at least 1e-4; converged). Not at
//     χ² ≤ 1: that guards a regularised inversion against fitting the
//     noise, while a fit of a few parameters is only right at the minimum.
//     step: (JᵀWᵀWJ + λ (D + μ I)) Δm = JᵀWᵀW (d − f(m)),  D = diag(JᵀWᵀWJ)
//     each region's Δm within ±2 and, with a bound, at most 9/10 of its way
//     to the bound (every step stays inside, never on a bound), and none
//     once within 1 % of its range of it (held at the bound); a region
//     beyond its limit is held there and the others are solved again
//     without it, so a tight bound never holds the other regions back
//     a trial m + Δm that does not lower χ²: λ × 10 and solved again (up
//     to 10 trials, then the fit stops: no step lowers χ²); one that does
//     is taken and λ × 0.3
//     also stop: the step cannot be computed, the iteration limit
//   uncertainty: C = χ² (JᵀWᵀWJ)⁻¹ in ln ρ, a factor exp(√C_jj) (×/÷);
//     regions whose factor at the fit's χ² is above MaxUncertaintyFactor go
//     back to their start (or are held) as above and the others are fitted
//     on (within the iteration limit)
//   the result: the state of the lowest χ² the fit passed through (the
//     start, every iteration, every return of regions to their start):
//     never one worse than a state it reported; when that is not the last,
//     Stop says so and Fitted gives its iteration
//   polarizability (when the data hold apparent chargeabilities): the
//     linearised Seigel relation ηa_i = Σ_j J_ij η_j (J over every region,
//     normalised, of the fitted model), the fitted regions' η by least
//     squares bounded to 0 ≤ η ≤ MaxPolarizability, the others as drawn;
//     then ηa of the full computation (ρ and ρ / (1 − η)) for the misfit
//
// d = ln ρa measured, f the computed ln ρa, W = diag(1/ε) with ε as the
// misfit (Misfit.h) takes it: the file's error, else the error model.
//
// Units: ohm-m; polarizabilities and chargeabilities in per cent.
//
// Refused with EForwardError: settings not one per region, a bound that is
// not a finite number above 0, a lowest not below the highest, no free
// region, data of ρa 0 or below (RequirePositiveResistivities), data that
// the forward computation refuses. Progress as for
// ComputeForwardResponse (the fraction of the iteration limit); when it
// returns false the fit raises EForwardCancelled and returns nothing.

#include "section/survey/MeasuredData.h"
#include "section/survey/Misfit.h"
#include "section/forward/Sensitivity.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lp {

struct TRegionFitSetting {
    bool Free = true;
    std::optional<double> Lowest, Highest; // ohm-m
};

// The side of its range ("lowest" or "highest") a fitted resistivity is
// held at, if any: within 1 % of the range, or 1 % in ln ρ of a single bound.
const char* HeldAtBound(double Resistivity, const TRegionFitSetting& Setting);

struct TRegionFitOptions {
    TErrorModel Errors;
    int MaxIterations = 20;
    TForwardOptions Forward;
};

// A determined region's uncertainty factor above this: not determined.
inline constexpr double MaxUncertaintyFactor = 10.0;
// A free region none of whose data's ∂ln ρa/∂ln ρ reaches this: not determined.
inline constexpr double MinSensitivity = 1e-3;
// The highest polarizability a fit gives, per cent.
inline constexpr double MaxPolarizability = 99.0;

enum class TRegionFitState { Fixed, Fitted, NotDetermined };

struct TFittedRegion {
    TRegionFitState State = TRegionFitState::Fixed;
    double StartResistivity = 0.0; // ohm-m
    double Resistivity = 0.0;      // ohm-m; the start unless fitted
    double Factor = 1.0;           // uncertainty ×/÷ of a fitted resistivity
    TRegionFitState PolarizabilityState = TRegionFitState::Fixed;
    double StartPolarizability = 0.0; // per cent
    double Polarizability = 0.0;      // per cent
};

struct TRegionFitStep {
    int Iteration = 0; // 0 at the start values
    double ChiSquare = 0.0;
    double Rrms = 0.0; // per cent
};

using TRegionFitReport = std::function<void(const TRegionFitStep&)>;

struct TRegionFitResult {
    std::vector<TFittedRegion> Regions; // one per region of the ground
    std::vector<TRegionFitStep> Steps;  // the start, then every iteration taken
    TRegionFitStep Fitted;              // the values returned: their iteration, χ² and rrms (the lowest χ² of Steps)
    TMisfit Misfit;                     // of the fitted model (with its ηa when polarizabilities were fitted)
    std::vector<double> Resistivities;  // ρa of the fitted model, ohm-m
    std::vector<double> Chargeabilities; // ηa of the fitted model, per cent; empty when not fitted
    bool PolarizabilityFitted = false;
    int MeshNodes = 0;
    // Why the fit stopped, and when χ² ends far above 1 why the data are
    // not explained (the regions held at a bound named): sentences.
    std::string Stop;
};

// Fits the ground's regions (Settings one per region) to Measured. The
// ground's resistivities and polarizabilities are the start values.
// Report is called with the start and after every iteration.
TRegionFitResult FitRegions(const TForwardModel& Ground, const TMeasuredData& Measured,
                            const std::vector<TRegionFitSetting>& Settings, const TRegionFitOptions& Options = {},
                            const TForwardProgress& Progress = {}, const TRegionFitReport& Report = {});

// min ‖A η − b‖² over Lowest ≤ η_j ≤ Highest (a few unknowns): projected
// coordinate descent to convergence.
Eigen::VectorXd BoundedLeastSquares(const Eigen::MatrixXd& A, const Eigen::VectorXd& B, double Lowest,
                                    double Highest);

} // namespace lp
