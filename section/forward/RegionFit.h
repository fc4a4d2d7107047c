#pragma once
// Fitting the regions of a drawn section to measured data: the resistivity
// of every free region (its geometry held as drawn) that explains the data
// best, how well the data determine it, and then the polarizabilities.
//
//   TSensitivityProblem (Sensitivity.h): one mesh for the whole fit
//   start: every free region whose column of J is nearly zero is not determined
//   Gauss–Newton with Levenberg–Marquardt damping on x (below):
//     (JxᵀWᵀWJx + λ (D + μ I)) Δx = JxᵀWᵀW (d − f(x)),  D = diag(JxᵀWᵀWJx)
//     trial x + Δx; a trial that does not lower χ² is halved (up to 6 times)
//     stop: χ² ≤ 1, χ² falls by less than 1 %, or the iteration limit
//   uncertainty: C = χ² (JᵀWᵀWJ)⁻¹ in ln ρ, a factor exp(√C_jj) (×/÷);
//     while one is above MaxUncertaintyFactor, the region with the largest
//     is not determined: it goes back to its start and the others are
//     fitted again without it
//   polarizability (when the data hold apparent chargeabilities): the
//     linearised Seigel relation ηa_i = Σ_j J_ij η_j (J over every region,
//     normalised, of the fitted model), the fitted regions' η by least
//     squares bounded to 0 ≤ η ≤ MaxPolarizability, the others as drawn;
//     then ηa of the full computation (ρ and ρ / (1 − η)) for the misfit
//
// d = ln ρa measured, f the computed ln ρa, W = diag(1/ε) with ε as the
// misfit (Misfit.h) takes it: the file's error, else the error model. x is
// ln ρ without bounds, and with bounds a transform that keeps every step
// inside them (never a clip): ln((ρ − lo)/(hi − ρ)) with both, ln(ρ − lo)
// with the lowest only, −ln(hi − ρ) with the highest only.
//
// Units: ohm-m; polarizabilities and chargeabilities in per cent.
//
// Refused with EForwardError: settings not one per region, a bound that is
// not a finite number above 0, a lowest not below the highest, no free
// region, data that the forward computation refuses. Progress as for
// ComputeForwardResponse (the fraction of the iteration limit); when it
// returns false the fit raises EForwardCancelled and returns nothing.

#include "section/forward/MeasuredData.h"
#include "section/forward/Misfit.h"
#include "section/forward/Sensitivity.h"

#include <functional>
#include <optional>
#include <vector>

namespace lp {

struct TRegionFitSetting {
    bool Free = true;
    std::optional<double> Lowest, Highest; // ohm-m
};

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
    TMisfit Misfit;                     // of the fitted model (with its ηa when polarizabilities were fitted)
    std::vector<double> Resistivities;  // ρa of the fitted model, ohm-m
    std::vector<double> Chargeabilities; // ηa of the fitted model, per cent; empty when not fitted
    bool PolarizabilityFitted = false;
    int MeshNodes = 0;
};

// Fits the ground's regions (Settings one per region) to Measured. The
// ground's resistivities and polarizabilities are the start values.
// Report is called with the start and after every iteration.
TRegionFitResult FitRegions(const TForwardModel& Ground, const TMeasuredData& Measured,
                            const std::vector<TRegionFitSetting>& Settings, const TRegionFitOptions& Options = {},
                            const TForwardProgress& Progress = {}, const TRegionFitReport& Report = {});

// The resistivity (ohm-m) a bounded transform gives for x, and back.
double BoundedResistivity(double X, const TRegionFitSetting& Setting);
double BoundedParameter(double Resistivity, const TRegionFitSetting& Setting);

// min ‖A η − b‖² over Lowest ≤ η_j ≤ Highest (a few unknowns): projected
// coordinate descent to convergence.
Eigen::VectorXd BoundedLeastSquares(const Eigen::MatrixXd& A, const Eigen::VectorXd& B, double Lowest,
                                    double Highest);

} // namespace lp
