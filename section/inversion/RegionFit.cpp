#include "section/inversion/RegionFit.h"

#include "section/survey/DataCleaning.h"
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
// Levenberg–Marquardt damping: at the start, its fall after a step that
// lowers χ² and its rise (the step solved again) after one that does not,
// its range, and the trials of one iteration before the fit stops.
constexpr double StartDamping = 0.01;
constexpr double DampingFall = 0.3;
constexpr double DampingRise = 10.0;
constexpr double LeastDamping = 1e-6;
constexpr double MostDamping = 1e8;
constexpr int MaxTrials = 10;
// Converged: the undamped step changes no determined region's ln ρ by
// more than this share of its uncertainty (or by 1e-4, 0.01 %, whichever
// is more): a region the data barely determine may drift along a flat
// valley of χ² for many iterations without a change that means anything.
constexpr double ConvergedShare = 0.02;
constexpr double ConvergedChange = 1e-4;
// A region whose return to its start (the others making up for it as far
// as their linearised response allows) would raise the data's total χ², in
// units of the fit's χ² per datum (at least 1), by more than this is
// determined, whatever its uncertainty: the data rule the start out at
// three standard deviations. A small region whose response saturates (a
// resistive body beyond some value) moves χ² a lot, then its column of J
// fades and its uncertainty grows without bound; put back at its start it
// took all it had gained with it.
constexpr double DeterminedRise = 9.0;
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

// The uncertainties √(Scale (JᵀWᵀWJ)⁻¹_pp) of ln ρ from Normal = JᵀWᵀWJ;
// infinite when Normal is singular.
Eigen::VectorXd Uncertainties(const Eigen::MatrixXd& Normal, double Scale)
{
    const Eigen::Index n = Normal.rows();
    Eigen::VectorXd sigma = Eigen::VectorXd::Constant(n, std::numeric_limits<double>::infinity());
    const Eigen::FullPivLU<Eigen::MatrixXd> lu(Normal);
    if (n == 0 || !lu.isInvertible())
        return sigma;
    const Eigen::VectorXd variances = Scale * lu.inverse().diagonal();
    for (Eigen::Index p = 0; p < n; ++p)
        if (std::isfinite(variances(p)) && variances(p) >= 0.0)
            sigma(p) = std::sqrt(variances(p));
    return sigma;
}

// The parameters (positions in Normal) the data do not determine: while
// the largest uncertainty (Uncertainties at Scale) is beyond
// MaxUncertaintyFactor, the parameter with it goes, among equal ones
// (infinite, where the data are fewer than the parameters) the one the data
// see least, and the others' uncertainties follow without it. One at a
// time: of two regions only their sum determines, one goes and the other
// stays determined. The Determined positions are not judged: they count as
// known, as a region does once it has gone.
std::vector<Eigen::Index> Undetermined(const Eigen::MatrixXd& Normal, double Scale, const std::vector<bool>& Determined)
{
    std::vector<Eigen::Index> kept, gone;
    for (Eigen::Index p = 0; p < Normal.rows(); ++p)
        if (!Determined.at(static_cast<size_t>(p)))
            kept.push_back(p);
    while (!kept.empty()) {
        const Eigen::Index k = static_cast<Eigen::Index>(kept.size());
        Eigen::MatrixXd sub(k, k);
        for (Eigen::Index i = 0; i < k; ++i)
            for (Eigen::Index j = 0; j < k; ++j)
                sub(i, j) = Normal(kept[static_cast<size_t>(i)], kept[static_cast<size_t>(j)]);
        const Eigen::VectorXd sigma = Uncertainties(sub, Scale);
        Eigen::Index worst = 0;
        for (Eigen::Index i = 1; i < k; ++i)
            if (sigma(i) > sigma(worst) || (sigma(i) == sigma(worst) && sub(i, i) < sub(worst, worst)))
                worst = i;
        if (!(sigma(worst) > std::log(MaxUncertaintyFactor)))
            break;
        gone.push_back(kept[static_cast<size_t>(worst)]);
        kept.erase(kept.begin() + worst);
    }
    return gone;
}


// Whether the undamped Step changes no ln ρ by more than it means:
// ConvergedShare of its uncertainty Sigma, at least ConvergedChange.
// Regions beyond the uncertainty limit do not count: they go back to their
// start after the fit.
bool Converged(const Eigen::VectorXd& Step, const Eigen::VectorXd& Sigma)
{
    for (Eigen::Index p = 0; p < Step.size(); ++p)
        if (Sigma(p) <= std::log(MaxUncertaintyFactor) &&
            !(std::fabs(Step(p)) < std::max(ConvergedChange, ConvergedShare * Sigma(p))))
            return false;
    return true;
}

// The weighted normal equations in m = ln ρ, and each m's range for a step.
struct TLinearised {
    Eigen::MatrixXd Normal;   // JᵀWᵀWJ
    Eigen::VectorXd Gradient; // JᵀWᵀW (d − f(m))
    Eigen::VectorXd M, Lower, Upper;
    // Added to the diagonal's damping: a region no datum sees still has a
    // step.
    double Floor() const { return 1e-9 * std::max(Normal.rows() ? Normal.diagonal().maxCoeff() : 0.0, 1e-300); }
};

std::vector<Eigen::Index> Sorted(std::vector<Eigen::Index> positions)
{
    std::sort(positions.begin(), positions.end());
    return positions;
}

// The fit's state for one set of free, determined regions.
struct TFitState {
    std::vector<double> Rho;     // every region, ohm-m
    TSensitivityResult Response; // at Rho, with the set's columns
    TMisfit Misfit;
};

// The weighted residuals (ln ρa measured − ln ρa computed) / ε of a misfit
// and the computed ρa it was formed from.
Eigen::VectorXd WeightedResiduals(const TMisfit& misfit, const std::vector<double>& computed)
{
    Eigen::VectorXd residual(static_cast<Eigen::Index>(computed.size()));
    for (size_t d = 0; d < computed.size(); ++d)
        residual(static_cast<Eigen::Index>(d)) = std::log(misfit.Measured.at(d) / computed[d]) / misfit.Errors.at(d);
    return residual;
}

// A region determined by its effect on χ² alone (ReturnRaises) while its
// uncertainty is beyond the limit: its column of J has faded, so a step
// would only let it climb on; it is fitted no further and keeps its value,
// with the factor it had then (its own, the others held).
struct THeld {
    int Region = 0;
    double Factor = 1.0;
};

// Where a fit stands: the regions fitted now, those gone back to their
// start, those held.
struct TFitCourse {
    std::vector<int> Set, Undetermined;
    std::vector<THeld> Held;
};

// The lowest χ² a fit has passed through: that state, where the fit stood
// then, and its iteration. A later state only takes its place with a lower
// χ².
struct TBestFit {
    std::optional<TFitState> State;
    TFitCourse Course;
    int Iteration = 0;

    void Consider(const TFitState& state, const TFitCourse& course, int iteration)
    {
        if (State && !(state.Misfit.ChiSquare < State->Misfit.ChiSquare))
            return;
        State = state;
        Course = course;
        Iteration = iteration;
    }
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

    // The set's regions at Positions (ascending) go back to their Drawn
    // values and leave the set; State is computed again without them.
    TFitState Without(const TFitState& state, std::vector<int>& set, const std::vector<Eigen::Index>& positions,
                      const std::vector<double>& drawn, int iteration) const
    {
        std::vector<double> rho = state.Rho;
        std::vector<int> kept;
        for (size_t p = 0; p < set.size(); ++p) {
            const size_t r = static_cast<size_t>(set[p]);
            if (std::find(positions.begin(), positions.end(), static_cast<Eigen::Index>(p)) == positions.end())
                kept.push_back(set[p]);
            else
                rho[r] = drawn[r];
        }
        set = std::move(kept);
        return Evaluate(rho, set, iteration);
    }

    // The regions the data do not determine at Scale (Undetermined) leave
    // the course's set: back to their Drawn value and into Undetermined,
    // or, where their return raises χ² by much (ReturnRaises), held at
    // their present value. State is computed again without them; false
    // when none leaves.
    bool Leave(TFitState& state, TFitCourse& course, const Eigen::MatrixXd& normal, double scale,
               const std::vector<double>& drawn, int iteration) const
    {
        std::vector<bool> held(course.Set.size(), false);
        std::vector<Eigen::Index> gone;
        for (;;) {
            gone = Undetermined(normal, scale, held);
            bool more = false;
            for (Eigen::Index p : gone)
                if (ReturnRaises(state, course.Set, p, gone, drawn, iteration)) {
                    held[static_cast<size_t>(p)] = more = true;
                    const double own = normal(p, p) > 0.0 ? std::sqrt(state.Misfit.ChiSquare / normal(p, p))
                                                          : std::numeric_limits<double>::infinity();
                    course.Held.push_back({course.Set[static_cast<size_t>(p)], std::exp(own)});
                }
            if (!more)
                break;
        }
        std::vector<double> back = drawn;
        std::vector<Eigen::Index> leaving = gone;
        for (size_t p = 0; p < held.size(); ++p)
            if (held[p]) {
                const size_t r = static_cast<size_t>(course.Set[p]);
                back[r] = state.Rho[r];
                leaving.push_back(static_cast<Eigen::Index>(p));
            }
        if (leaving.empty())
            return false;
        for (Eigen::Index p : gone)
            course.Undetermined.push_back(course.Set[static_cast<size_t>(p)]);
        state = Without(state, course.Set, Sorted(leaving), back, iteration);
        return true;
    }

    // Whether the set's region at P put back to its Drawn value raises the
    // data's total χ² by more than DeterminedRise (in units of χ² per
    // datum, at least 1), the set's regions not Gone making up for it as far
    // as their columns of J at State allow.
    bool ReturnRaises(const TFitState& state, const std::vector<int>& set, Eigen::Index p,
                      const std::vector<Eigen::Index>& gone, const std::vector<double>& drawn, int iteration) const
    {
        const size_t region = static_cast<size_t>(set[static_cast<size_t>(p)]);
        if (state.Rho[region] == drawn[region])
            return false;
        std::vector<double> rho = state.Rho;
        rho[region] = drawn[region];
        const TSensitivityResult back = FProblem.Compute(rho, {}, FProgress.Stage(iteration));
        const TMisfit at = Misfit(back.Resistivities);
        const Eigen::VectorXd residual = WeightedResiduals(at, back.Resistivities);
        std::vector<Eigen::Index> others;
        for (Eigen::Index q = 0; q < static_cast<Eigen::Index>(set.size()); ++q)
            if (std::find(gone.begin(), gone.end(), q) == gone.end())
                others.push_back(q);
        double remaining = residual.squaredNorm();
        if (!others.empty()) {
            Eigen::MatrixXd WJ(residual.size(), static_cast<Eigen::Index>(others.size()));
            for (Eigen::Index i = 0; i < WJ.rows(); ++i)
                for (Eigen::Index j = 0; j < WJ.cols(); ++j)
                    WJ(i, j) = state.Response.Jacobian(i, others[static_cast<size_t>(j)]) /
                               at.Errors[static_cast<size_t>(i)];
            const Eigen::VectorXd made = (WJ.transpose() * WJ).ldlt().solve(WJ.transpose() * residual);
            if (made.allFinite())
                remaining = std::min(remaining, (residual - WJ * made).squaredNorm());
        }
        const double now = WeightedResiduals(state.Misfit, state.Response.Resistivities).squaredNorm();
        return remaining - now > DeterminedRise * std::max(1.0, state.Misfit.ChiSquare);
    }

    // The normal equations of the weighted problem in m = ln ρ at State,
    // and how far each m may go: a region held at a bound (HeldAtBound)
    // goes no closer to it; the rest of its way changes nothing that
    // matters, and would take the others' iterations on and on.
    TLinearised Linearise(const TFitState& state, const std::vector<int>& set) const
    {
        const Eigen::Index n = static_cast<Eigen::Index>(set.size());
        const Eigen::Index data = static_cast<Eigen::Index>(FMeasured.Size());
        Eigen::MatrixXd WJ(data, n);
        Eigen::VectorXd residual(data);
        for (Eigen::Index i = 0; i < data; ++i) {
            const size_t d = static_cast<size_t>(i);
            const double weight = 1.0 / state.Misfit.Errors[d];
            WJ.row(i) = weight * state.Response.Jacobian.row(i);
            residual(i) = weight * std::log(state.Misfit.Measured[d] / state.Response.Resistivities[d]); // with the ground's own k
        }
        TLinearised l{WJ.transpose() * WJ, WJ.transpose() * residual, Eigen::VectorXd(n), Eigen::VectorXd(n),
                      Eigen::VectorXd(n)};
        for (Eigen::Index p = 0; p < n; ++p) {
            const TRegionFitSetting& s = FSettings[static_cast<size_t>(set[static_cast<size_t>(p)])];
            l.M(p) = std::log(state.Rho[static_cast<size_t>(set[static_cast<size_t>(p)])]);
            l.Lower(p) = s.Lowest ? std::max(-MaxStep, -TowardsBound * (l.M(p) - std::log(*s.Lowest))) : -MaxStep;
            l.Upper(p) = s.Highest ? std::min(MaxStep, TowardsBound * (std::log(*s.Highest) - l.M(p))) : MaxStep;
            if (const char* side = HeldAtBound(state.Rho[static_cast<size_t>(set[static_cast<size_t>(p)])], s))
                (std::string(side) == "lowest" ? l.Lower(p) : l.Upper(p)) = 0.0;
        }
        return l;
    }

    // A step of Levenberg–Marquardt from State that lowers χ²: the damped
    // equations solved, with more damping after every trial that does not
    // lower χ² (up to MaxTrials) and less after one that does. Nothing when
    // none does.
    std::optional<TFitState> LowerChiSquare(const TFitState& state, const std::vector<int>& set,
                                            const TLinearised& l, double& damping, int iteration) const
    {
        for (int trial = 0; trial < MaxTrials; ++trial) {
            Eigen::MatrixXd damped = l.Normal;
            for (Eigen::Index p = 0; p < damped.rows(); ++p)
                damped(p, p) += damping * (l.Normal(p, p) + l.Floor());
            const Eigen::VectorXd step = LimitedStep(damped, l.Gradient, l.Lower, l.Upper);
            if (step.allFinite()) {
                std::vector<double> rho = state.Rho;
                for (Eigen::Index p = 0; p < step.size(); ++p)
                    rho[static_cast<size_t>(set[static_cast<size_t>(p)])] = std::exp(l.M(p) + step(p));
                TFitState next = Evaluate(rho, set, iteration + 1);
                if (next.Misfit.ChiSquare < state.Misfit.ChiSquare) {
                    damping = std::max(damping * DampingFall, LeastDamping);
                    return next;
                }
            }
            if (damping >= MostDamping)
                break;
            damping = std::min(damping * DampingRise, MostDamping);
        }
        return std::nullopt;
    }

    // Levenberg–Marquardt from State (which holds the set's columns) until
    // a stop; iterations are counted on from Iteration. Before every step
    // the regions the data do not determine at the present values (their
    // uncertainty at χ² = 1 beyond the limit) go back to their Drawn values
    // and leave the set, so that a region the data cannot bound does not
    // run away while the others converge; they are added to Undetermined
    // (unless their return raises χ² by much: Leaving). Every state passed
    // through is offered to Best. Stop says why it ended.
    TFitState Fit(TFitState state, TFitCourse& course, const std::vector<double>& drawn, int& iteration,
                  TBestFit& best, std::vector<TRegionFitStep>& steps, std::string& stop) const
    {
        std::vector<int>& set = course.Set;
        double damping = StartDamping;
        for (;;) {
            if (set.empty()) {
                stop = "No region is left to fit.";
                break;
            }
            if (iteration >= FOptions.MaxIterations) {
                stop = "The iteration limit was reached.";
                break;
            }
            const TLinearised l = Linearise(state, set);
            if (Leave(state, course, l.Normal, 1.0, drawn, iteration)) {
                best.Consider(state, course, iteration);
                continue;
            }
            Eigen::MatrixXd normal = l.Normal;
            normal.diagonal().array() += l.Floor();
            const Eigen::VectorXd step = LimitedStep(normal, l.Gradient, l.Lower, l.Upper);
            if (!step.allFinite()) {
                stop = "The step of the fit could not be computed.";
                break;
            }
            if (Converged(step, Uncertainties(l.Normal, state.Misfit.ChiSquare))) {
                stop = "The values no longer change.";
                break;
            }
            std::optional<TFitState> next = LowerChiSquare(state, set, l, damping, iteration);
            if (!next) {
                stop = "No step lowered chi-square."; // the start of this iteration is the fit
                break;
            }
            state = std::move(*next);
            ++iteration;
            best.Consider(state, course, iteration);
            Step(iteration, state.Misfit, steps);
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
    RequirePositiveResistivities(Measured);
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

    // Fit; then, while some uncertainty (now at the fit's χ²) is beyond the
    // limit, those regions go back to their start and the rest are fitted
    // on, as far as the iteration limit allows.
    std::vector<double> drawn;
    for (const TFittedRegion& region : result.Regions)
        drawn.push_back(region.StartResistivity);
    TFitCourse course{set, {}, {}};
    TBestFit best;
    best.Consider(state, course, iteration);
    std::string stop;
    for (;;) {
        state = fitter.Fit(std::move(state), course, drawn, iteration, best, result.Steps, stop);
        const Eigen::MatrixXd normal = fitter.Linearise(state, course.Set).Normal;
        if (!fitter.Leave(state, course, normal, state.Misfit.ChiSquare, drawn, iteration))
            break;
        best.Consider(state, course, iteration);
    }
    // Never a state worse than one passed through: the best one's values,
    // every region it fitted counted fitted (their factors say how well).
    int fitted = iteration;
    if (best.State->Misfit.ChiSquare < state.Misfit.ChiSquare) {
        stop += " Chi-square had been lowest at iteration " + std::to_string(best.Iteration) +
                ": its values are the fit.";
        state = *best.State;
        course = best.Course;
        fitted = best.Iteration;
    }
    set = course.Set;
    result.Fitted = {fitted, state.Misfit.ChiSquare, state.Misfit.Rrms};
    const Eigen::MatrixXd normal = fitter.Linearise(state, set).Normal;
    const Eigen::VectorXd sigma = Uncertainties(normal, state.Misfit.ChiSquare);
    for (int r : course.Undetermined)
        result.Regions[static_cast<size_t>(r)].State = TRegionFitState::NotDetermined;
    for (size_t p = 0; p < set.size(); ++p) {
        TFittedRegion& region = result.Regions[static_cast<size_t>(set[p])];
        region.Resistivity = state.Rho[static_cast<size_t>(set[p])];
        region.Factor = std::exp(sigma(static_cast<Eigen::Index>(p)));
    }
    for (const THeld& held : course.Held) {
        TFittedRegion& region = result.Regions[static_cast<size_t>(held.Region)];
        region.Resistivity = state.Rho[static_cast<size_t>(held.Region)];
        region.Factor = held.Factor;
        set.push_back(held.Region); // its polarizability is fitted as well
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

// The side of its range a fitted region is held at, if any.
const char* HeldAtBound(double rho, const TRegionFitSetting& s)
{
    if (!(rho > 0.0))
        return nullptr;
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

} // namespace lp
