#include "section/inversion/RegionFit.h"

#include "section/survey/ReadableNumbers.h"
#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace lp {

namespace {

// The largest change of ln ρ in one iteration: a factor of e² = 7.4. Each
// region's step is limited on its own, the others solved again without it
// (LimitedStep): a step scaled down whole by one region's limit held every
// other region back.
constexpr double MaxStep = 2.0;
// A bounded region's step goes at most this share of its way (in ln ρ) to
// the bound: every step stays inside, never on a bound, never clipped.
constexpr double TowardsBound = 0.9;
// Halvings of a step that does not lower χ² before the fit stops.
constexpr int MaxHalvings = 6;
// The damping at the start, and its changes.
constexpr double StartDamping = 0.01;
constexpr double DampingFall = 0.3;
// Converged: the next step changes no region's ln ρ by more than this
// share of its uncertainty (or by 1e-4, 0.01 %, whichever is more): a
// region the data barely determine may drift along a flat valley of χ² for
// many iterations without a change that means anything.
constexpr double ConvergedShare = 0.02;
constexpr double ConvergedChange = 1e-4;
// A fit that ends with χ² above this says why the data are not explained.
constexpr double FarAboveOne = 2.0;
// A region this close to a bound (a share of its range, or in ln ρ beside
// a lone bound) is held there.
constexpr double NearBound = 0.01;

void CheckSetting(const TRegionFitSetting& s, const std::string& label)
{
    for (const std::optional<double>& bound : {s.Lowest, s.Highest})
        if (bound && !(std::isfinite(*bound) && *bound > 0.0))
            throw EForwardError(label + " has a bound of " + FormatExactReal(*bound) +
                                " ohm-m: a bound must be a finite number above 0.");
    if (s.Lowest && s.Highest && !(*s.Lowest < *s.Highest))
        throw EForwardError(label + " has its lowest resistivity (" + FormatExactReal(*s.Lowest) +
                            " ohm-m) not below its highest (" + FormatExactReal(*s.Highest) + " ohm-m).");
}

// A start strictly inside the bounds: a start on or beyond a bound moves to
// the middle of the range (geometric), or a factor 2 inside a lone bound.
double StartInside(double rho, const TRegionFitSetting& s)
{
    const bool aboveLowest = !s.Lowest || rho > *s.Lowest;
    const bool belowHighest = !s.Highest || rho < *s.Highest;
    if (aboveLowest && belowHighest)
        return rho;
    if (s.Lowest && s.Highest)
        return std::sqrt(*s.Lowest * *s.Highest);
    return s.Lowest ? 2.0 * *s.Lowest : *s.Highest / 2.0;
}

// Progress over the whole fit from that of one computation: never back.
class TFitProgress {
public:
    TFitProgress(const TForwardProgress& progress, int iterations) : FProgress(progress), FUnits(iterations + 2.0) {}
    TForwardProgress Stage(double done) const
    {
        return [this, done](double fraction) { return Report((done + fraction) / FUnits); };
    }
    bool Report(double fraction) const
    {
        FLast = std::max(FLast, std::min(fraction, 1.0));
        return !FProgress || FProgress(FLast);
    }

private:
    const TForwardProgress& FProgress;
    double FUnits;
    mutable double FLast = 0.0;
};

// The damped Gauss–Newton step A Δm = b within Lower ≤ Δm ≤ Upper: a
// parameter whose step goes beyond is held at its limit and the others are
// solved again with it held (clipping alone would leave them the moves
// that made up for its whole step), until none goes beyond. Not finite
// numbers when the equations cannot be solved.
Eigen::VectorXd LimitedStep(const Eigen::MatrixXd& A, const Eigen::VectorXd& b, const Eigen::VectorXd& Lower,
                            const Eigen::VectorXd& Upper)
{
    const Eigen::Index n = b.size();
    Eigen::VectorXd step = Eigen::VectorXd::Zero(n);
    std::vector<bool> held(static_cast<size_t>(n), false);
    for (;;) {
        std::vector<Eigen::Index> open;
        for (Eigen::Index p = 0; p < n; ++p)
            if (!held[static_cast<size_t>(p)])
                open.push_back(p);
        for (Eigen::Index p : open)
            step(p) = 0.0;
        const Eigen::Index k = static_cast<Eigen::Index>(open.size());
        Eigen::MatrixXd sub(k, k);
        Eigen::VectorXd right(k);
        for (Eigen::Index i = 0; i < k; ++i) {
            const Eigen::Index p = open[static_cast<size_t>(i)];
            right(i) = b(p) - A.row(p).dot(step); // less the held parameters' share
            for (Eigen::Index j = 0; j < k; ++j)
                sub(i, j) = A(p, open[static_cast<size_t>(j)]);
        }
        const Eigen::VectorXd solved = sub.ldlt().solve(right);
        if (!solved.allFinite())
            return Eigen::VectorXd::Constant(n, std::numeric_limits<double>::quiet_NaN());
        bool beyond = false;
        for (Eigen::Index i = 0; i < k; ++i) {
            const Eigen::Index p = open[static_cast<size_t>(i)];
            step(p) = std::clamp(solved(i), Lower(p), Upper(p));
            if (step(p) != solved(i))
                beyond = held[static_cast<size_t>(p)] = true;
        }
        if (!beyond)
            return step;
    }
}

// Whether Step changes no ln ρ by more than it means: ConvergedShare of
// the uncertainty √(χ² (JᵀWᵀWJ)⁻¹_pp) from Normal = JᵀWᵀWJ, at least
// ConvergedChange; regions not determined do not count, and a singular
// Normal (no uncertainty finite) ends the fit for the least determined
// region to go back.
bool Converged(const Eigen::VectorXd& Step, const Eigen::MatrixXd& Normal, double ChiSquare)
{
    const Eigen::FullPivLU<Eigen::MatrixXd> lu(Normal);
    if (!lu.isInvertible())
        return true; // every uncertainty infinite: the least determined region goes back first
    const Eigen::VectorXd variances = ChiSquare * lu.inverse().diagonal();
    for (Eigen::Index p = 0; p < Step.size(); ++p) {
        const double sigma = variances(p) > 0.0 && std::isfinite(variances(p)) ? std::sqrt(variances(p)) : 0.0;
        // A region beyond the uncertainty limit drifts off along the
        // valley for good: it goes back to its start after this fit.
        if (sigma > std::log(MaxUncertaintyFactor))
            continue;
        if (!(std::fabs(Step(p)) < std::max(ConvergedChange, ConvergedShare * sigma)))
            return false;
    }
    return true;
}

// The fit's state for one set of free, determined regions.
struct TFitState {
    std::vector<double> Rho;     // every region, ohm-m
    TSensitivityResult Response; // at Rho, with the set's columns
    TMisfit Misfit;
};

class TRegionFitter {
public:
    TRegionFitter(const TForwardModel& ground, const TMeasuredData& measured,
                  const std::vector<TRegionFitSetting>& settings, const TRegionFitOptions& options,
                  const TForwardProgress& progress, const TRegionFitReport& report)
        : FMeasured(measured), FSettings(settings), FOptions(options), FReport(report),
          FProblem(ground, measured.Survey(), options.Forward), FProgress(progress, options.MaxIterations)
    {
    }

    const TSensitivityProblem& Problem() const { return FProblem; }

    TMisfit Misfit(const std::vector<double>& resistivities, const std::vector<double>& chargeabilities = {}) const
    {
        TForwardResult calculated;
        calculated.Resistivities = resistivities;
        calculated.GeometricFactors = FProblem.GeometricFactors();
        calculated.Chargeabilities = chargeabilities;
        return ComputeMisfit(FMeasured, calculated, FOptions.Errors);
    }

    TFitState Evaluate(const std::vector<double>& rho, const std::vector<int>& set, double done) const
    {
        std::vector<TRegionSet> parameters;
        for (int r : set)
            parameters.push_back({r});
        TFitState state{rho, FProblem.Compute(rho, parameters, FProgress.Stage(done)), {}};
        state.Misfit = Misfit(state.Response.Resistivities);
        return state;
    }

    // Gauss–Newton with damping from State (which holds the set's columns)
    // until a stop; iterations are counted on from Iteration. Stop says why
    // it ended.
    TFitState GaussNewton(TFitState state, const std::vector<int>& set, int& iteration,
                          std::vector<TRegionFitStep>& steps, std::string& stop) const
    {
        const Eigen::Index n = static_cast<Eigen::Index>(set.size());
        const Eigen::Index data = static_cast<Eigen::Index>(FMeasured.Size());
        Eigen::VectorXd weight(data), observed(data);
        for (Eigen::Index i = 0; i < data; ++i) {
            weight(i) = 1.0 / state.Misfit.Errors[static_cast<size_t>(i)];
            observed(i) = std::log(state.Misfit.Measured[static_cast<size_t>(i)]); // with the ground's own k
        }
        double damping = StartDamping;
        stop = n > 0 ? "The iteration limit was reached." : "No region is left to fit.";
        while (iteration < FOptions.MaxIterations && n > 0) {
            // The weighted Jacobian and residual in m = ln ρ, and how far
            // each m may go.
            const Eigen::MatrixXd WJ = weight.asDiagonal() * state.Response.Jacobian;
            Eigen::VectorXd residual(data), m(n), lower(n), upper(n);
            for (Eigen::Index i = 0; i < data; ++i)
                residual(i) = weight(i) * (observed(i) - std::log(state.Response.Resistivities[static_cast<size_t>(i)]));
            for (Eigen::Index p = 0; p < n; ++p) {
                const TRegionFitSetting& s = FSettings[static_cast<size_t>(set[static_cast<size_t>(p)])];
                m(p) = std::log(state.Rho[static_cast<size_t>(set[static_cast<size_t>(p)])]);
                lower(p) = s.Lowest ? std::max(-MaxStep, -TowardsBound * (m(p) - std::log(*s.Lowest))) : -MaxStep;
                upper(p) = s.Highest ? std::min(MaxStep, TowardsBound * (std::log(*s.Highest) - m(p))) : MaxStep;
            }
            const Eigen::MatrixXd normal = WJ.transpose() * WJ;
            const Eigen::VectorXd gradient = WJ.transpose() * residual;
            Eigen::MatrixXd damped = normal;
            const double floor = 1e-9 * std::max(normal.diagonal().maxCoeff(), 1e-300);
            for (Eigen::Index p = 0; p < n; ++p)
                damped(p, p) += damping * (normal(p, p) + floor);
            Eigen::VectorXd step = LimitedStep(damped, gradient, lower, upper);
            if (!step.allFinite()) {
                stop = "The step of the fit could not be computed.";
                break;
            }
            if (Converged(step, normal, state.Misfit.ChiSquare)) {
                stop = "The values no longer change.";
                break;
            }

            // A trial that lowers χ², the step halved until one does.
            std::optional<TFitState> accepted;
            int halving = 0;
            for (; halving <= MaxHalvings && !accepted; ++halving) {
                std::vector<double> rho = state.Rho;
                for (Eigen::Index p = 0; p < n; ++p)
                    rho[static_cast<size_t>(set[static_cast<size_t>(p)])] = std::exp(m(p) + step(p));
                TFitState trial = Evaluate(rho, set, iteration + 1);
                if (trial.Misfit.ChiSquare < state.Misfit.ChiSquare)
                    accepted = std::move(trial);
                else
                    step /= 2.0;
            }
            if (!accepted) {
                stop = "No step lowered chi-square."; // the start of this iteration is the fit
                break;
            }
            // Less damping after a whole step, more after a halved one: a
            // step that must be halved again and again crawls along a
            // valley without ever being small itself.
            damping = halving == 1 ? std::max(damping * DampingFall, 1e-6)
                                   : std::min(damping * std::pow(1.0 / DampingFall, halving - 1), 1e6);
            const double chiSquare = state.Misfit.ChiSquare;
            state = std::move(*accepted);
            ++iteration;
            Step(iteration, state.Misfit, steps);
            if (Converged(step, normal, chiSquare)) {
                stop = "The values no longer change.";
                break;
            }
        }
        return state;
    }

    void Step(int iteration, const TMisfit& misfit, std::vector<TRegionFitStep>& steps) const
    {
        steps.push_back({iteration, misfit.ChiSquare, misfit.Rrms});
        if (FReport)
            FReport(steps.back());
    }

    const TFitProgress& Progress() const { return FProgress; }

private:
    const TMeasuredData& FMeasured;
    const std::vector<TRegionFitSetting>& FSettings;
    const TRegionFitOptions& FOptions;
    const TRegionFitReport& FReport;
    const TSensitivityProblem FProblem;
    TFitProgress FProgress;
};

// The uncertainty factors of the set's regions at the fit: exp(√C_jj) with
// C = χ² (JᵀWᵀWJ)⁻¹ in ln ρ; infinite where the matrix is singular.
std::vector<double> UncertaintyFactors(const TFitState& state)
{
    const Eigen::Index data = state.Response.Jacobian.rows(), n = state.Response.Jacobian.cols();
    Eigen::MatrixXd WJ(data, n);
    for (Eigen::Index i = 0; i < data; ++i)
        WJ.row(i) = state.Response.Jacobian.row(i) / state.Misfit.Errors[static_cast<size_t>(i)];
    const Eigen::MatrixXd normal = WJ.transpose() * WJ;
    std::vector<double> factors(static_cast<size_t>(n), std::numeric_limits<double>::infinity());
    const Eigen::FullPivLU<Eigen::MatrixXd> lu(normal);
    if (n == 0 || !lu.isInvertible())
        return factors;
    const Eigen::MatrixXd covariance = state.Misfit.ChiSquare * lu.inverse();
    for (Eigen::Index p = 0; p < n; ++p) {
        const double variance = covariance(p, p);
        if (std::isfinite(variance) && variance >= 0.0)
            factors[static_cast<size_t>(p)] = std::exp(std::sqrt(variance));
    }
    return factors;
}

// The side of its range a fitted region is held at, if any.
const char* HeldAtBound(double rho, const TRegionFitSetting& s)
{
    if (s.Lowest && s.Highest) {
        const double share = (rho - *s.Lowest) / (*s.Highest - *s.Lowest);
        return share < NearBound ? "lowest" : share > 1.0 - NearBound ? "highest" : nullptr;
    }
    if (s.Lowest && std::log(rho / *s.Lowest) < NearBound)
        return "lowest";
    if (s.Highest && std::log(*s.Highest / rho) < NearBound)
        return "highest";
    return nullptr;
}

// Why a fit ends with χ² far above 1: the regions held at a bound, else the
// regions as drawn; empty when it ends near 1 or below.
std::string UnexplainedText(const TForwardModel& ground, const std::vector<TRegionFitSetting>& settings,
                            const TRegionFitResult& fit)
{
    if (!(fit.Misfit.ChiSquare > FarAboveOne))
        return {};
    std::string held;
    for (size_t r = 0; r < fit.Regions.size(); ++r) {
        const TRegionFitSetting& s = settings[r];
        const char* side = HeldAtBound(fit.Regions[r].Resistivity, s);
        if (fit.Regions[r].State != TRegionFitState::Fitted || !side)
            continue;
        held += std::string(held.empty() ? "" : "; ") + ForwardRegionLabel(ground.Geometry, static_cast<int>(r)) +
                " is held at its " + side + " bound (" +
                ReadableNumber(std::string(side) == "lowest" ? *s.Lowest : *s.Highest, 6) + " ohm-m)";
    }
    return " Chi-square stays at " + ReadableNumber(fit.Misfit.ChiSquare) + ", far above 1: " +
           (held.empty() ? std::string("the regions as drawn do not explain the data within their errors.")
                         : held + ".");
}

} // namespace

Eigen::VectorXd BoundedLeastSquares(const Eigen::MatrixXd& A, const Eigen::VectorXd& B, double Lowest, double Highest)
{
    const Eigen::MatrixXd normal = A.transpose() * A;
    const Eigen::VectorXd right = A.transpose() * B;
    Eigen::VectorXd eta = Eigen::VectorXd::Constant(A.cols(), Lowest);
    for (int sweep = 0; sweep < 10000; ++sweep) {
        double change = 0.0;
        for (Eigen::Index j = 0; j < eta.size(); ++j) {
            if (!(normal(j, j) > 0.0))
                continue;
            const double free = eta(j) + (right(j) - normal.row(j).dot(eta)) / normal(j, j);
            const double next = std::clamp(free, Lowest, Highest);
            change = std::max(change, std::fabs(next - eta(j)));
            eta(j) = next;
        }
        if (change <= 1e-12 * std::max(1.0, std::fabs(Highest)))
            break;
    }
    return eta;
}

TRegionFitResult FitRegions(const TForwardModel& Ground, const TMeasuredData& Measured,
                            const std::vector<TRegionFitSetting>& Settings, const TRegionFitOptions& Options,
                            const TForwardProgress& Progress, const TRegionFitReport& Report)
{
    const size_t regions = Ground.Regions.size();
    if (Settings.size() != regions)
        throw EForwardError("The fit needs a setting for each of the " + std::to_string(regions) + " regions, not " +
                            std::to_string(Settings.size()) + ".");
    std::vector<int> free;
    for (size_t r = 0; r < regions; ++r) {
        CheckSetting(Settings[r], ForwardRegionLabel(Ground.Geometry, static_cast<int>(r)));
        if (Settings[r].Free)
            free.push_back(static_cast<int>(r));
    }
    if (free.empty())
        throw EForwardError("No region is free to fit.");
    if (Options.MaxIterations < 0)
        throw EForwardError("The fit needs an iteration limit of at least 0.");

    TRegionFitResult result;
    result.Regions.resize(regions);
    std::vector<double> start;
    for (size_t r = 0; r < regions; ++r) {
        TFittedRegion& region = result.Regions[r];
        region.StartResistivity = region.Resistivity = Ground.Regions[r].resistivity;
        region.StartPolarizability = region.Polarizability = 100.0 * Ground.Regions[r].polarizability;
        region.State = Settings[r].Free ? TRegionFitState::Fitted : TRegionFitState::Fixed;
        start.push_back(Settings[r].Free ? StartInside(region.StartResistivity, Settings[r]) : region.StartResistivity);
    }

    const TRegionFitter fitter(Ground, Measured, Settings, Options, Progress, Report);
    result.MeshNodes = fitter.Problem().MeshNodes();
    int iteration = 0;
    TFitState state = fitter.Evaluate(start, free, 0);
    fitter.Step(0, state.Misfit, result.Steps);

    // Regions no datum sees keep their start.
    std::vector<int> set;
    for (size_t p = 0; p < free.size(); ++p)
        if (state.Response.Jacobian.col(static_cast<Eigen::Index>(p)).cwiseAbs().maxCoeff() >= MinSensitivity)
            set.push_back(free[p]);
        else
            result.Regions[static_cast<size_t>(free[p])].State = TRegionFitState::NotDetermined;
    if (set.size() != free.size())
        state = fitter.Evaluate(start, set, 0);

    // Fit; while some uncertainty is beyond the limit, the region with the
    // largest goes back to its start and the rest are fitted again (one at
    // a time: with fewer data than regions every factor is infinite, yet
    // some of the regions may be determined on their own).
    std::vector<double> factors;
    std::string stop;
    for (;;) {
        state = fitter.GaussNewton(std::move(state), set, iteration, result.Steps, stop);
        factors = UncertaintyFactors(state);
        // The largest factor; among equal ones (infinite, where the data
        // are fewer than the regions) the region the data see least.
        size_t p = 0;
        const auto seen = [&](size_t q) { return state.Response.Jacobian.col(static_cast<Eigen::Index>(q)).norm(); };
        for (size_t q = 1; q < factors.size(); ++q)
            if (factors[q] > factors[p] || (factors[q] == factors[p] && seen(q) < seen(p)))
                p = q;
        if (factors.empty() || factors[p] <= MaxUncertaintyFactor)
            break;
        const size_t r = static_cast<size_t>(set[p]);
        result.Regions[r].State = TRegionFitState::NotDetermined;
        std::vector<double> rho = state.Rho;
        rho[r] = result.Regions[r].StartResistivity;
        set.erase(set.begin() + static_cast<std::ptrdiff_t>(p));
        state = fitter.Evaluate(rho, set, iteration);
    }
    for (size_t p = 0; p < set.size(); ++p) {
        TFittedRegion& region = result.Regions[static_cast<size_t>(set[p])];
        region.Resistivity = state.Rho[static_cast<size_t>(set[p])];
        region.Factor = factors[p];
    }
    result.Resistivities = state.Response.Resistivities;
    result.Misfit = state.Misfit;
    result.Stop = stop + UnexplainedText(Ground, Settings, result);

    // The polarizabilities of the fitted regions from the measured ηa.
    std::vector<size_t> charged;
    if (!Measured.Chargeabilities.empty())
        for (size_t i = 0; i < Measured.Size(); ++i)
            if (std::isfinite(Measured.Chargeabilities[i]))
                charged.push_back(i);
    if (!charged.empty() && !set.empty()) {
        std::vector<TRegionSet> every;
        for (size_t r = 0; r < regions; ++r)
            every.push_back({static_cast<int>(r)});
        const TSensitivityResult sensitivity =
            fitter.Problem().Compute(state.Rho, every, fitter.Progress().Stage(Options.MaxIterations));
        Eigen::MatrixXd A(static_cast<Eigen::Index>(charged.size()), static_cast<Eigen::Index>(set.size()));
        Eigen::VectorXd b(A.rows());
        for (size_t q = 0; q < charged.size(); ++q) {
            const size_t i = charged[q];
            const double error = !Measured.ChargeabilityErrors.empty() && Measured.ChargeabilityErrors[i] > 0.0
                                     ? Measured.ChargeabilityErrors[i]
                                     : 1.0;
            double known = 0.0; // what the regions not fitted add
            for (size_t r = 0; r < regions; ++r)
                if (std::find(set.begin(), set.end(), static_cast<int>(r)) == set.end())
                    known += sensitivity.Jacobian(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(r)) *
                             result.Regions[r].StartPolarizability;
            b(static_cast<Eigen::Index>(q)) = (Measured.Chargeabilities[i] - known) / error;
            for (size_t p = 0; p < set.size(); ++p)
                A(static_cast<Eigen::Index>(q), static_cast<Eigen::Index>(p)) =
                    sensitivity.Jacobian(static_cast<Eigen::Index>(i), set[p]) / error;
        }
        const Eigen::VectorXd eta = BoundedLeastSquares(A, b, 0.0, MaxPolarizability);
        for (size_t p = 0; p < set.size(); ++p) {
            TFittedRegion& region = result.Regions[static_cast<size_t>(set[p])];
            region.Polarizability = eta(static_cast<Eigen::Index>(p));
            region.PolarizabilityState = TRegionFitState::Fitted;
        }
        // The check: ηa of the full computation, ρ and ρ / (1 − η).
        std::vector<double> chargedRho;
        for (size_t r = 0; r < regions; ++r)
            chargedRho.push_back(state.Rho[r] / (1.0 - result.Regions[r].Polarizability / 100.0));
        const TSensitivityResult chargedResponse =
            fitter.Problem().Compute(chargedRho, {}, fitter.Progress().Stage(Options.MaxIterations + 1));
        for (size_t i = 0; i < Measured.Size(); ++i)
            result.Chargeabilities.push_back(100.0 *
                                             (1.0 - state.Response.Resistivities[i] / chargedResponse.Resistivities[i]));
        result.Misfit = fitter.Misfit(result.Resistivities, result.Chargeabilities);
        result.PolarizabilityFitted = true;
    }
    fitter.Progress().Report(1.0);
    return result;
}

} // namespace lp
