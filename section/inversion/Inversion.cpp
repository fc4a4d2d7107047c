#include "section/inversion/Inversion.h"

#include "section/inversion/LinearisedChange.h"
#include "section/inversion/NormalEquations.h"
#include "section/inversion/LinearInversion.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace lp {
namespace {

using Eigen::Index;
using Eigen::MatrixXd;
using Eigen::VectorXd;

// The λ rule's bounds (Inversion.h). On data no smooth model fits to χ² 1
// (outliers, sharp bodies; a real line down a slope) the aim of a sixteenth
// of the misfit is out of reach: a rule that then took the smallest trial
// drove λ down by 8 every iteration (20 to 0.04 in three), the steps grew
// wild until none lowered Φ, and the end depended on the first λ (χ² 62,
// 40 and 14 from λ 1, 20 and 100 where pyGIMLi's fixed λ 20 ends at 12.5),
// its depth of investigation held at that λ. Two things tell it on the
// data: the predicted χ² hardly moves with λ (a halving buys 2 to 4 %, by
// fitting outliers with roughness), and the steps of a small λ miss their
// prediction by a factor 2 or 3.
//   - LambdaFall: how far λ may fall in an iteration after a step whose χ²
//     came within HeldPromise of its prediction (λ holds up to
//     BrokenPromise, and doubles beyond it: NextFall);
//   - KneeShare: what a halving of λ must buy of the predicted χ² (or half
//     of the way left to the aim), unless the prediction is below NearNoise
//     where the misfit left is the noise's and the aim is 1.
constexpr double LambdaFall = 8.0;
//   - LowestShareOfStart: λ falls below this share of the first λ only
//     on the last way to χ² 1 (the misfit below NearNoise).
//     Where outliers keep paying for each halving, the knee alone let λ
//     sink three orders and more in a run, to steps that fit the outliers
//     with roughness; data that need a λ lower still ask for a smaller
//     first λ (the user's choice, as with a held λ).
constexpr double LowestShareOfStart = 0.01;
constexpr double KneeShare = 0.03, NearNoise = 2.0;
// What a halving of λ must buy of the χ² the forward computation gives
// (ln χ²), while χ² is above NearNoise, for the fall to stand (Unpaid).
constexpr double PayPerHalving = 0.05;
constexpr double HeldPromise = 1.25, BrokenPromise = 2.0;
// The next iteration's fall bound for a step that reached χ² Reached where
// its linearisation promised Promised.
double NextFall(double Reached, double Promised)
{
    if (!(Promised > 0.0))
        return 1.0;
    const double ratio = Reached / Promised;
    return ratio <= HeldPromise ? LambdaFall : ratio <= BrokenPromise ? 1.0 : 0.5;
}
// A step no halving of which lowers Φ is tried again at RetryRise times its
// λ (a shorter, smoother step of the same Jacobian), Retries times at most,
// before the inversion stops.
constexpr double RetryRise = 4.0;
constexpr int Retries = 2;
// The inversion stops when χ² falls by less than this share in an
// iteration: what the data allow at this λ has been reached.
constexpr double StallShare = 0.01;
// The sharp boundaries' reweightings of an iteration's step after its first
// choice, and the power p of the roughness's norm they approach (Inversion.h).
constexpr int BlockyPasses = 2;
constexpr double BlockyNorm = 0.5;
// The largest count of data or free parameters (the smaller of the two) for
// which λ is chosen on the misfit–roughness curve of the linearised
// problem: its reduction costs that count squared times the other, and
// cubed.
constexpr Eigen::Index ClosedFormSize = 3000;
// The most λ may rise in an iteration on the closed form (as the trials'
// upward search): a uniform shift of the start fits the bulk of the data at
// any λ, and a first λ of 10⁶ would take iterations to come down.
constexpr double MostRise = 64.0;
// The noise level (in the data's errors) at the cross-validation's λ from
// which the errors given count as below what the data hold: a few per cent
// above 1 is the cross-validation's own scatter, and where the errors are
// the data's the discrepancy's λ (the aim) decides.
constexpr double NoiseLevelToTell = NoiseLevelBeyondErrors;
constexpr const char* ReachedStop = "Chi-square reached 1.";
// With Robust the χ² the rules follow is that of the data at full weight.
constexpr const char* RobustReachedStop = "Chi-square of the data not down-weighted reached 1.";
constexpr const char* RoseStop = "Chi-square rose in an iteration.";

// The bounded transform of one parameter: u(m) with m = ln ρ inside (a, b).
struct TBound {
    double a = -std::numeric_limits<double>::infinity();
    double b = std::numeric_limits<double>::infinity();

    double ToU(double m) const
    {
        if (std::isfinite(a) && std::isfinite(b))
            return std::log(m - a) - std::log(b - m);
        if (std::isfinite(a))
            return std::log(m - a);
        if (std::isfinite(b))
            return -std::log(b - m);
        return m;
    }
    double ToM(double u) const
    {
        if (std::isfinite(a) && std::isfinite(b)) {
            // (a + b e^u) / (1 + e^u), written to stay finite for any u.
            const double s = 1.0 / (1.0 + std::exp(-std::fabs(u)));
            return u >= 0 ? a + (b - a) * s : b - (b - a) * s;
        }
        if (std::isfinite(a))
            return a + std::exp(u);
        if (std::isfinite(b))
            return b - std::exp(-u);
        return u;
    }
    // dm/du at m.
    double Slope(double m) const
    {
        if (std::isfinite(a) && std::isfinite(b))
            return (m - a) * (b - m) / (b - a);
        if (std::isfinite(a))
            return m - a;
        if (std::isfinite(b))
            return b - m;
        return 1.0;
    }
    // m, or a point just inside the limits when it lies on or beyond them.
    double Within(double m) const
    {
        const double margin = std::min(1e-3, (b - a) / 4);
        return std::clamp(m, a + margin, b - margin);
    }
};

std::vector<TBound> Bounds(const TInversionSettings& s, Index n)
{
    const auto size = static_cast<size_t>(n);
    if ((!s.Lower.empty() && s.Lower.size() != size) || (!s.Upper.empty() && s.Upper.size() != size) ||
        (!s.Fixed.empty() && s.Fixed.size() != size))
        throw EForwardError("The inversion's fixed cells and limits need one entry per cell.");
    std::vector<TBound> bounds(size);
    for (size_t j = 0; j < size; ++j) {
        const double lo = s.Lower.empty() ? 0.0 : s.Lower[j];
        const double hi = s.Upper.empty() ? std::numeric_limits<double>::infinity() : s.Upper[j];
        if (std::isnan(lo) || std::isnan(hi) || lo < 0.0 || !(lo < hi) || std::isinf(lo))
            throw EForwardError("Cell " + std::to_string(j + 1) + ": its lower limit must lie below its upper one.");
        if (lo > 0.0)
            bounds[j].a = std::log(lo);
        if (std::isfinite(hi))
            bounds[j].b = std::log(hi);
    }
    return bounds;
}

bool IsFixed(const TInversionSettings& s, size_t j)
{
    return !s.Fixed.empty() && s.Fixed[j];
}

// The smallness weights s_j, 1 each when none are given.
VectorXd SmallnessWeights(const TInversionSettings& s, Index n)
{
    if (!(std::isfinite(s.ReferenceWeight) && s.ReferenceWeight >= 0.0))
        throw EForwardError("The reference weight must be a finite number of 0 or more.");
    if (s.SmallnessWeights.empty())
        return VectorXd::Ones(n);
    if (s.SmallnessWeights.size() != static_cast<size_t>(n))
        throw EForwardError("The inversion's smallness weights need one entry per cell.");
    VectorXd weights(n);
    for (Index j = 0; j < n; ++j) {
        weights[j] = s.SmallnessWeights[static_cast<size_t>(j)];
        if (!(std::isfinite(weights[j]) && weights[j] >= 0.0))
            throw EForwardError("Cell " + std::to_string(j + 1) + ": its smallness weight must be finite and 0 or more.");
    }
    return weights;
}

// The largest |coefficient| of each row of C (0 for a row of none): a
// row's value over it is the ln ρ step between its two cells.
VectorXd RowScales(const Eigen::SparseMatrix<double>& C)
{
    VectorXd scale = VectorXd::Zero(C.rows());
    for (Index k = 0; k < C.outerSize(); ++k)
        for (Eigen::SparseMatrix<double>::InnerIterator it(C, k); it; ++it)
            scale[it.row()] = std::max(scale[it.row()], std::fabs(it.value()));
    return scale;
}

// Σ ρ(z_i) / N, ρ(z) = z² within RobustThreshold, 2 RobustThreshold |z| −
// RobustThreshold² beyond it (z = r_i/ε_i): the misfit the robust
// reweighting minimises at the noise level, the same measure for every
// iterate whatever its weights.
double HuberMisfit(const VectorXd& Residuals, const VectorXd& Weights)
{
    const Eigen::ArrayXd z = Residuals.cwiseProduct(Weights).array().abs();
    const double c = RobustThreshold;
    return (z <= c).select(z.square(), 2.0 * c * z - c * c).mean();
}

// E[z² | |z| ≤ t] for normal z: the χ² of the data a robust reweighting
// keeps at full weight (|z| within t) where the misfits are the noise, so
// that the rules' aim of 1 is the noise level for them too (0.55 at 1.5).
double TruncatedVariance(double t)
{
    const double inside = std::erf(t / std::sqrt(2.0));
    const double density = std::exp(-0.5 * t * t) / std::sqrt(2.0 * 3.141592653589793);
    return inside > 0.0 ? std::max(1e-3, 1.0 - 2.0 * t * density / inside) : 1.0;
}

class TGaussNewton {
public:
    TGaussNewton(TInversionProblem& problem, const VectorXd& measured, const VectorXd& errors,
                 const Eigen::SparseMatrix<double>& smoothness, const VectorXd& start, const TInversionSettings& settings,
                 const TInversionCallbacks& callbacks)
        : FProblem(problem), FD(measured), FErrors(errors), FSettings(settings), FCallbacks(callbacks)
    {
        const Index n = start.size();
        if (errors.size() != measured.size() || smoothness.cols() != n || measured.size() == 0 || n == 0)
            throw EForwardError("The inversion's data, errors, smoothness and cells do not match in size.");
        for (Index i = 0; i < measured.size(); ++i)
            if (!std::isfinite(measured[i]) || !(std::isfinite(errors[i]) && errors[i] > 0.0))
                throw EForwardError("Datum " + std::to_string(i + 1) + " needs a finite value and an error above 0.");
        RequireLambdaInRange(settings.Lambda);
        if (settings.PriorData < 0 || settings.PriorData >= measured.size())
            throw EForwardError("The inversion needs measured data beside its prior data.");
        FN = measured.size() - settings.PriorData;
        FBounds = Bounds(settings, n);
        FU.resize(n);
        for (Index j = 0; j < n; ++j) {
            if (!(std::isfinite(start[j]) && start[j] > 0.0))
                throw EForwardError("Cell " + std::to_string(j + 1) + ": its starting resistivity must be above 0.");
            TBound& bound = FBounds[static_cast<size_t>(j)];
            if (IsFixed(settings, static_cast<size_t>(j)))
                bound = {}; // its value stays, whatever its limits
            else
                FFree.push_back(j);
            FU[j] = bound.ToU(bound.Within(std::log(start[j])));
        }
        FU0 = FU;
        if (!settings.Reference.empty() && settings.Reference.size() != static_cast<size_t>(n))
            throw EForwardError("The reference model needs one resistivity per cell.");
        for (size_t j = 0; j < settings.Reference.size(); ++j) {
            const double reference = settings.Reference[j];
            if (!(std::isfinite(reference) && reference > 0.0))
                throw EForwardError("Cell " + std::to_string(j + 1) + ": its reference resistivity must be above 0.");
            FU0[static_cast<Index>(j)] = FBounds[j].ToU(FBounds[j].Within(std::log(reference)));
        }
        FStart = start;
        if (settings.Blocky && !(std::isfinite(settings.BlockyEpsilon) && settings.BlockyEpsilon > 0.0))
            throw EForwardError("The sharp boundaries' threshold must be a finite number above 0.");
        FC0 = smoothness;
        FRowScale = RowScales(FC0);
        FSmall = SmallnessWeights(settings, n);
        UseSmoothness(FC0);
        FW0 = errors.cwiseInverse();
        FW = FW0;
        FFull = VectorXd::Ones(FN);
    }

    TInversionResult Run()
    {
        TInversionResult result;
        double lambda = FSettings.Lambda;
        double fall = LambdaFall; // how far the next step's λ may fall below the last one
        MatrixXd J;
        VectorXd f;
        try {
            ++result.Responses;
            f = FProblem.Respond(M(FU), &J);
        } catch (const EForwardCancelled&) {
            result.Cancelled = true;
            result.Stop = "Cancelled before the first iteration.";
            result.Resistivities = Resistivities();
            return result;
        }
        double chi = FitChiSquare(f);
        Record(result, 0, chi, f, lambda);
        result.Stop = "The iteration limit was reached.";
        const bool hold = FSettings.HoldLambda;
        for (int iteration = 1; iteration <= FSettings.Iterations; ++iteration) {
            if (Reweight(f))
                chi = FitChiSquare(f);
            if (chi <= 1.0 && !hold) {
                result.Stop = FSettings.Robust ? RobustReachedStop : ReachedStop;
                break;
            }
            if (FFree.empty()) {
                result.Stop = "Every cell is fixed.";
                break;
            }
            auto linear = std::make_unique<TLinearised>(*this, J, f);
            const double last = lambda;
            VectorXd step = hold ? linear->Solve(lambda) : ChooseStep(*linear, lambda, fall);
            // Sharp boundaries: the row weights of the model the step
            // reaches, and the step chosen again with them (the same
            // Jacobian: solves, not forward runs), so that one iteration
            // takes the L1 roughness's step, not a smooth one's.
            for (int pass = 0; FSettings.Blocky && pass < BlockyPasses; ++pass) {
                linear.reset(); // its normal equations refer to the roughness
                UseBlockyWeights(FU + step);
                linear = std::make_unique<TLinearised>(*this, J, f);
                lambda = last;
                step = hold ? linear->Solve(lambda) : ChooseStep(*linear, lambda, fall);
            }
            // What the line search needs of the linearised problem: the χ²
            // it predicts at each length tried. The rest (the weighted
            // Jacobian, the curve) and the iterate's Jacobian are freed before
            // the trials' forward computations, which make a Jacobian of
            // their own; a retry makes them again.
            std::vector<double> promises = linear->Promises(step);
            linear.reset();
            J.resize(0, 0);
            // The line search: halve a step that raises Φ; where no halving
            // lowers it, the step of a larger λ (the same Jacobian) is tried.
            double before = 0.0;
            THalvedStep tried;
            // λ held or raised because the last step did not keep its
            // promise, or raised because no halving of this one was
            // accepted: a step not free to follow the data, after which the
            // misfit may fall again.
            bool constrained = fall <= 1.0;
            try {
                for (int retry = 0;; ++retry) {
                    before = Phi(f, FU, lambda);
                    const VectorXd from = M(FU);
                    tried = HalvedStep(
                        FU, step,
                        [&](const VectorXd& u, MatrixXd* Jacobian) {
                            const VectorXd m = M(u);
                            if (!((m - from).cwiseAbs().maxCoeff() <= MaxLogStep)) // not computed, not accepted
                                return VectorXd(VectorXd::Constant(FD.size(), std::numeric_limits<double>::quiet_NaN()));
                            return FProblem.Respond(m, Jacobian);
                        },
                        [&](const VectorXd& u, const VectorXd& response) {
                            return response.allFinite() && Phi(response, u, lambda) < before;
                        },
                        result.Responses);
                    const double larger = std::min(MaxLambda, lambda * RetryRise);
                    if (tried.Accepted || hold || retry == Retries || larger == lambda)
                        break;
                    lambda = larger;
                    constrained = true;
                    tried.Jacobian.resize(0, 0);
                    // The iterate's Jacobian again (the same model: the same
                    // numbers), not counted among the responses: the
                    // depth of investigation's share counts the trials.
                    FProblem.Recompute(M(FU), &J);
                    linear = std::make_unique<TLinearised>(*this, J, f);
                    if (!hold)
                        linear->MakeCurve();
                    step = linear->Step(lambda, step);
                    promises = linear->Promises(step);
                    linear.reset();
                    J.resize(0, 0);
                }
            } catch (const EForwardCancelled&) {
                result.Cancelled = true;
                result.Stop = "Cancelled; the model of iteration " + std::to_string(result.Steps.back().Iteration) +
                              " stays.";
                break;
            }
            if (!tried.Accepted) {
                result.Stop = "No step lowered the misfit.";
                break;
            }
            const double promised = promises.at(HalvingOf(tried.Length));
            if (!hold && Unpaid(last, lambda, chi, FitChiSquare(tried.Response))) {
                // The fall of λ bought too little of the misfit the forward
                // computation gives: the step is undone (the model and its
                // response stay the last iterate's, its Jacobian made again)
                // and λ stays at or above the last λ that paid.
                FFloor = std::max(FFloor, last);
                lambda = last;
                fall = 1.0;
                tried = {};
                try {
                    FProblem.Recompute(M(FU), &J);
                } catch (const EForwardCancelled&) {
                    result.Cancelled = true;
                    result.Stop = "Cancelled; the model of iteration " +
                                  std::to_string(result.Steps.back().Iteration) + " stays.";
                    break;
                }
                continue;
            }
            FU = std::move(tried.Model);
            f = std::move(tried.Response);
            J = std::move(tried.Jacobian);
            const double previous = chi;
            chi = FitChiSquare(f);
            Record(result, static_cast<int>(result.Steps.size()), chi, f, lambda);
            if (hold) {
                if (before - Phi(f, FU, lambda) < 0.01 * before) {
                    result.Stop = "The objective changed by less than 1 % in an iteration.";
                    break;
                }
                continue;
            }
            // With Robust the weights of the new model decide (the next
            // iteration's first test), not those the step was taken with.
            if (chi <= 1.0 && !FSettings.Robust) {
                result.Stop = ReachedStop;
                break;
            }
            fall = NextFall(chi, promised);
            // A step that fell far short of its promise says that λ was too
            // small for this model, not that the data allow no better: the
            // next, at a larger λ, is tried. After a held or raised λ the
            // fall is measured over the two iterations, so that a λ that
            // goes up and down ends where the misfit no longer falls.
            // (Counted by the iterates recorded: an undone step takes an
            // iteration and records none.)
            const bool two = constrained && FFits.size() >= 3;
            const double earlier = two ? FFits[FFits.size() - 3] : previous;
            const int span = two ? 2 : 1;
            // Nor does a stall while the fall bound held λ above the one the
            // rule chose: λ is still on its way down.
            if (earlier - chi < span * StallShare * earlier && fall >= 1.0 && !FHeldByFall) {
                result.Stop = chi > earlier ? RoseStop : "Chi-square fell by less than 1 % an iteration.";
                break;
            }
        }
        if (!hold && !result.Cancelled)
            KeepBest(result, f, J);
        if (J.size() == 0 && !result.Cancelled) {
            // The last line search freed the iterate's Jacobian and took no step.
            try {
                FProblem.Recompute(M(FU), &J);
            } catch (const EForwardCancelled&) {
                result.Cancelled = true;
            }
        }
        if (!hold && !result.Cancelled)
            TellNoiseLevel(result);
        result.Resistivities = Resistivities();
        result.Response = f.array().exp();
        result.Jacobian = std::move(J);
        return result;
    }

private:
    // One iteration's linearised problem: the weighted Jacobian of the free
    // parameters (Jᵤ = J ∂m/∂u, a fixed parameter's column held), the
    // weighted residual and the normal equations, which the trial λ share.
    // Built in place: the normal equations refer to WJ.
    struct TLinearised {
        TLinearised(const TGaussNewton& gn, const MatrixXd& J, const VectorXd& f)
            : WJ(WeightedJacobian(gn, J)), Wr(gn.FW.asDiagonal() * (gn.FD - f)), Jtr(WJ.transpose() * Wr),
              Smooth(gn.FCtC * (gn.FU - gn.FU0)), Normal(WJ, gn.FCtC, FreeMask(gn)), N(gn.FN), Gn(gn)
        {
        }
        // The step of λ, starting the solver from From (empty: 0).
        VectorXd Solve(double lambda, const VectorXd& From = {}) const
        {
            VectorXd step = Normal.Solve(lambda, Jtr - lambda * Smooth, From);
            if (!step.allFinite())
                throw EForwardError("The normal equations of the inversion could not be solved.");
            return step;
        }
        // The measured data's χ² the linearised problem predicts after Step.
        double PredictedChiSquare(const VectorXd& Step) const
        {
            return Gn.Misfit(Wr - WJ * Step);
        }
        // The χ² it predicts at each length of Step the line search tries
        // (HalvedStep: 1, 1/2, ...; HalvingOf).
        std::vector<double> Promises(const VectorXd& Step) const
        {
            std::vector<double> promises;
            for (double length = 1.0; length >= ShortestHalving; length /= 2.0)
                promises.push_back(PredictedChiSquare(length * Step));
            return promises;
        }
        // The step of λ: from the curve where there is one, else by
        // conjugate gradients from From.
        VectorXd Step(double lambda, const VectorXd& From = {}) const
        {
            if (!Curve)
                return Solve(lambda, From);
            const VectorXd z = Curve->Solve(lambda) - Shift;
            VectorXd step = VectorXd::Zero(WJ.cols());
            for (size_t k = 0; k < Free.size(); ++k)
                step[Free[k]] = z[static_cast<Index>(k)];
            if (!step.allFinite())
                throw EForwardError("The normal equations of the inversion could not be solved.");
            return step;
        }
        // The misfit–roughness curve of the model the step reaches, over the
        // free parameters (LinearisedChange.h), where the problem is small
        // enough for its reduction (ClosedFormSize).
        void MakeCurve()
        {
            Free = Gn.FFree;
            const auto free = static_cast<Index>(Free.size());
            if (free == 0 || std::min<Index>(WJ.rows(), free) > ClosedFormSize)
                return;
            std::vector<Index> position(static_cast<size_t>(WJ.cols()), -1);
            for (Index k = 0; k < free; ++k)
                position[static_cast<size_t>(Free[static_cast<size_t>(k)])] = k;
            const VectorXd x = Gn.FU - Gn.FU0;
            VectorXd pull = VectorXd::Zero(free); // R_fh x_h
            std::vector<Eigen::Triplet<double>> entries;
            for (Index column = 0; column < Gn.FCtC.outerSize(); ++column)
                for (Eigen::SparseMatrix<double>::InnerIterator it(Gn.FCtC, column); it; ++it) {
                    const Index r = position[static_cast<size_t>(it.row())], c = position[static_cast<size_t>(it.col())];
                    if (r >= 0 && c >= 0)
                        entries.emplace_back(r, c, it.value());
                    else if (r >= 0)
                        pull[r] += it.value() * x[it.col()];
                }
            // A small ridge keeps a uniform model, which the smoothness does
            // not see, to the data (and the factor positive definite).
            Eigen::SparseMatrix<double> R(free, free);
            R.setFromTriplets(entries.begin(), entries.end());
            const double mean = R.diagonal().mean();
            for (Index k = 0; k < free; ++k)
                R.coeffRef(k, k) += 1e-9 * (mean > 0.0 ? mean : 1.0);
            MatrixXd B(WJ.rows(), free);
            Shift.resize(free);
            for (Index k = 0; k < free; ++k) {
                B.col(k) = WJ.col(Free[static_cast<size_t>(k)]);
                Shift[k] = x[Free[static_cast<size_t>(k)]];
            }
            if (pull.any()) {
                const Eigen::SimplicialLLT<Eigen::SparseMatrix<double>> factor(R);
                Shift += factor.solve(pull);
            }
            Curve = std::make_unique<TLinearisedChange>(B, R, VectorXd(Wr + B * Shift));
        }


        const MatrixXd WJ;
        const VectorXd Wr, Jtr, Smooth;
        const TNormalEquations Normal;
        const Index N;
        const TGaussNewton& Gn;
        // The curve's problem is in the model reached, x = u + Δu − u_r
        // over the free parameters, shifted by the held ones' pull through
        // the roughness (x + g with g = R_ff⁻¹R_fh x_h): z = x + g, the
        // step z − Shift.
        std::unique_ptr<TLinearisedChange> Curve;
        std::vector<Index> Free;
        VectorXd Shift;

    private:
        static std::vector<bool> FreeMask(const TGaussNewton& gn)
        {
            std::vector<bool> free(static_cast<size_t>(gn.FU.size()), false);
            for (Index j : gn.FFree)
                free[static_cast<size_t>(j)] = true;
            return free;
        }
        static MatrixXd WeightedJacobian(const TGaussNewton& gn, const MatrixXd& J)
        {
            const VectorXd m = gn.M(gn.FU);
            VectorXd slope = VectorXd::Zero(gn.FU.size());
            for (Index j : gn.FFree)
                slope[j] = gn.FBounds[static_cast<size_t>(j)].Slope(m[j]);
            return gn.FW.asDiagonal() * J * slope.asDiagonal();
        }
    };

    // The model in ohm-m; a fixed cell keeps its start exactly (ln and exp
    // would change its last digit).
    VectorXd Resistivities() const
    {
        VectorXd rho = M(FU).array().exp();
        for (Index j = 0; j < rho.size(); ++j)
            if (IsFixed(FSettings, static_cast<size_t>(j)))
                rho[j] = FStart[j];
        return rho;
    }

    // χ² of the measured data, the prior data left out.
    double MeasuredChiSquare(const VectorXd& f) const
    {
        return ChiSquare(FD.head(FN), f.head(FN), FErrors.head(FN));
    }

    // The χ² the λ rule and the stop rule follow: the measured data's under
    // their present weights (with Robust, reweighted; else their errors').
    double FitChiSquare(const VectorXd& f) const
    {
        return Misfit(FW.asDiagonal() * (FD - f));
    }

    // The mean square of weighted residuals over the measured data the
    // rules follow: all of them, or with Robust those the iteration keeps at
    // their full weight (the others' L1 misfit is no noise to fit to 1).
    double Misfit(const VectorXd& weighted) const
    {
        return FFull.cwiseProduct(weighted.head(FN).cwiseAbs2()).sum() / (FFull.sum() * FFullShare);
    }

    // The roughness of R = CᵀC + α_s W_s² from the rows of C (the normal
    // equations see both terms as one).
    void UseSmoothness(const Eigen::SparseMatrix<double>& C)
    {
        FC = C;
        FCtC = Eigen::SparseMatrix<double>(FC.transpose() * FC);
        if (FSettings.ReferenceWeight > 0.0) {
            const Index n = FC.cols();
            Eigen::SparseMatrix<double> diagonal(n, n);
            diagonal.reserve(Eigen::VectorXi::Constant(n, 1));
            for (Index j = 0; j < n; ++j)
                diagonal.insert(j, j) = FSettings.ReferenceWeight * FSmall[j];
            FCtC = Eigen::SparseMatrix<double>(FCtC + diagonal);
        }
    }

    // The sharp boundaries' roughness at the model u.
    void UseBlockyWeights(const VectorXd& u)
    {
        UseSmoothness(BlockyRowWeights(FC0 * (u - FU0), FRowScale, FSettings.BlockyEpsilon).asDiagonal() * FC0);
    }

    // The reweighting of an iteration from the model and its response
    // (Inversion.h: Blocky, Robust); false when there is none.
    bool Reweight(const VectorXd& f)
    {
        if (FSettings.Blocky)
            UseBlockyWeights(FU);
        if (FSettings.Robust) {
            const VectorXd factors = RobustDataWeights(FD.head(FN) - f.head(FN), FW0.head(FN));
            FW.head(FN) = FW0.head(FN).cwiseProduct(factors);
            FFull = (factors.array() >= 1.0).cast<double>().matrix();
            FFullShare = TruncatedVariance(RobustThreshold * RobustScale(FD.head(FN) - f.head(FN), FW0.head(FN)));
        }
        return FSettings.Blocky || FSettings.Robust;
    }

    VectorXd M(const VectorXd& u) const
    {
        VectorXd m(u.size());
        for (Index j = 0; j < u.size(); ++j)
            m[j] = FBounds[static_cast<size_t>(j)].ToM(u[j]);
        return m;
    }

    double Phi(const VectorXd& f, const VectorXd& u, double lambda) const
    {
        // FC and FW as reweighted for this iteration.
        double phi = (FW.asDiagonal() * (FD - f)).squaredNorm() + lambda * (FC * (u - FU0)).squaredNorm();
        if (FSettings.ReferenceWeight > 0.0)
            phi += lambda * FSettings.ReferenceWeight * FSmall.dot((u - FU0).cwiseAbs2());
        return phi;
    }

    // The step of the λ chosen among the trials; λ becomes it. No trial
    // lies below λ / Fall. The trials share the linearised problem; each
    // solve starts from the previous one.
    VectorXd ChooseStep(TLinearised& linear, double& lambda, double Fall)
    {
        linear.MakeCurve();
        if (linear.Curve)
            return ChooseOnCurve(linear, lambda, Fall);
        return ChooseByTrials(linear, lambda, Fall);
    }

    // The λ rule on the linearised problem's closed form (Inversion.h): the
    // larger of the aim's λ (the largest whose step's predicted χ² reaches
    // max(1, χ²/16)) and the generalised cross-validation's, and not below
    // λ / Fall.
    VectorXd ChooseOnCurve(const TLinearised& linear, double& lambda, double Fall)
    {
        const double target = std::max(1.0, Misfit(linear.Wr) / 16.0);
        const auto predicted = [&](double trial) { return linear.PredictedChiSquare(linear.Step(trial)); };
        double aim = 0.0;
        if (predicted(MinLambda) <= target) {
            double low = std::log(MinLambda), high = std::log(MaxLambda);
            if (predicted(MaxLambda) <= target)
                low = high;
            for (int i = 0; i < 30 && high - low > 0.01; ++i) {
                const double middle = 0.5 * (low + high);
                (predicted(std::exp(middle)) <= target ? low : high) = middle;
            }
            aim = std::exp(low);
        }
        double validated = linear.Curve->CrossValidationLambda(MinLambda, MaxLambda);
        if (!(linear.Curve->NoiseLevel(validated) > NoiseLevelToTell))
            validated = 0.0; // the errors are the data's: the discrepancy's λ
        const double chosen = std::max(std::min(std::max(aim, validated), MostRise * lambda), FFloor);
        FHeldByFall = lambda / Fall > chosen;
        lambda = std::clamp(std::max(chosen, lambda / Fall), MinLambda, MaxLambda);
        FValidated = validated >= lambda && aim < validated;
        FNoiseLevel = linear.Curve->NoiseLevel(lambda);
        return linear.Step(lambda);
    }

    // The λ rule of problems too large for the curve's reduction: trials of
    // λ_prev × 2^k on conjugate-gradient solves (Inversion.h).
    VectorXd ChooseByTrials(const TLinearised& linear, double& lambda, double Fall) const
    {
        const double chi = Misfit(linear.Wr);
        // The floor below the first λ holds while the misfit is far from
        // the noise; the last way to χ² 1 may go below it.
        const double floor = chi > NearNoise ? FSettings.Lambda * LowestShareOfStart : 0.0;
        const double lowest = std::max({MinLambda, lambda / Fall, floor, FFloor});
        // Each step aims at a sixteenth of the misfit (at least 1): the
        // largest λ that reaches it keeps the step smooth, and the last
        // iterations' λ decides the image, so a bolder aim only saves
        // iterations (two or three where a quarter took three or four).
        const double target = std::max(1.0, chi / 16.0);
        const auto solve = [&](double trial, const VectorXd& from) {
            VectorXd step = linear.Normal.Solve(trial, linear.Jtr - trial * linear.Smooth, from);
            if (!step.allFinite())
                throw EForwardError("The normal equations of the inversion could not be solved.");
            return step;
        };
        // A halving of λ pays when it buys KneeShare of the predicted χ² or
        // half of what is left of the way to the aim.
        const auto pays = [&](double larger, double smaller) {
            return smaller <= NearNoise || larger - smaller >= std::min(KneeShare * larger, 0.5 * (larger - target));
        };
        VectorXd chosen;
        double chosenLambda = 0.0, chosenChi = 0.0;
        // Downwards from 2λ (at least the lowest) until the target is
        // reached or a halving no longer pays; when the first trial already
        // reaches the target, upwards while it still does (at most 64λ), so
        // that a first step does not fit the noise.
        double previous = 0.0, missed = 0.0; // missed: the last trial whose prediction stayed above the target
        bool reached = false, knee = false;
        int taken = 0; // trials taken before the knee
        for (int k = 1; k >= -3 && !reached && !knee; --k) {
            const double trial = std::clamp(lambda * std::pow(2.0, k), lowest, MaxLambda);
            if (trial == previous && trial == lowest)
                break; // held at the lowest: tried once
            if (trial == previous)
                continue;
            previous = trial;
            const VectorXd step = solve(trial, chosen);
            const double predicted = linear.PredictedChiSquare(step);
            if (taken > 0 && !pays(chosenChi, predicted)) {
                knee = true;
                break;
            }
            const bool first = taken++ == 0;
            chosen = step;
            chosenLambda = trial;
            chosenChi = predicted;
            reached = predicted <= target;
            for (int up = 1; reached && first && up <= 5 && trial * std::pow(2.0, up) <= MaxLambda; ++up) {
                const double larger = trial * std::pow(2.0, up);
                const VectorXd smoother = solve(larger, chosen);
                if (linear.PredictedChiSquare(smoother) > target)
                    break;
                chosen = smoother;
                chosenLambda = larger;
            }
            if (!reached)
                missed = trial;
        }
        // The knee at the first halving: it may lie higher; upwards while a
        // halving down to the chosen λ would not pay (at most 64λ).
        for (int up = 0; knee && taken == 1 && up < 5 && chosenLambda * 2.0 <= MaxLambda; ++up) {
            const double larger = chosenLambda * 2.0;
            const VectorXd smoother = solve(larger, chosen);
            const double predicted = linear.PredictedChiSquare(smoother);
            if (pays(predicted, chosenChi))
                break;
            chosen = smoother;
            chosenLambda = larger;
            chosenChi = predicted;
        }
        // Between the chosen λ and the trial above it that missed the target
        // lies a factor 2: two bisections (in log λ) take the largest λ that
        // still reaches it, so that a step does not fit the noise further
        // than the target asks (a final χ² well under 1).
        for (int bisection = 0; reached && bisection < 2 && missed > chosenLambda; ++bisection) {
            const double middle = std::sqrt(chosenLambda * missed);
            const VectorXd step = solve(middle, chosen);
            if (linear.PredictedChiSquare(step) <= target) {
                chosen = step;
                chosenLambda = middle;
            } else {
                missed = middle;
            }
        }
        if (chosen.size() == 0)
            throw EForwardError("The normal equations of the inversion could not be solved.");
        lambda = chosenLambda;
        return chosen;
    }

    // The iterate of the lowest χ² so far (the model and its response): a
    // step accepted on Φ at a raised λ (a retry, or the upward search of a
    // λ whose prediction reached the aim) may smooth the model at the
    // cost of its fit, and the stop rule ends where χ² no longer falls.
    // Judged by the fit χ², or with Robust (whose weights change with the
    // model) by the Huber misfit at the errors' own scale.
    void Remember(int iteration, double chi, const VectorXd& f)
    {
        FFits.push_back(chi);
        FLast = FSettings.Robust ? HuberMisfit(FD.head(FN) - f.head(FN), FW0.head(FN)) : chi;
        if (FBest.Iteration >= 0 && !(FLast < FBest.ChiSquare))
            return;
        FBest = {iteration, FLast, FU, f};
    }

    // Where the last iterate's χ² lies clearly (StallShare) above the
    // lowest one reached, the inversion ends with that iterate instead:
    // its model, response and Jacobian (one more forward computation), its
    // steps the ones that led to it, and the stop says so.
    void KeepBest(TInversionResult& result, VectorXd& f, MatrixXd& J)
    {
        if (FBest.Iteration < 0 || !(FLast > (1.0 + StallShare) * FBest.ChiSquare))
            return;
        const double last = result.Steps.back().ChiSquare;
        const int from = result.Steps.back().Iteration;
        FU = FBest.U;
        f = FBest.Response;
        result.Steps.resize(static_cast<size_t>(FBest.Iteration) + 1);
        const std::string kept = "Chi-square rose to " + ReadableNumber(last) + " by iteration " +
                                 std::to_string(from) + "; the model of iteration " +
                                 std::to_string(FBest.Iteration) + " (chi-square " +
                                 ReadableNumber(result.Steps[static_cast<size_t>(FBest.Iteration)].ChiSquare) +
                                 ") is kept.";
        // A stop the kept model contradicts (a rise, or a χ² of 1 reached
        // under the robust weights of a worse model) gives way to it.
        result.Stop = result.Stop == RoseStop || result.Stop == ReachedStop || result.Stop == RobustReachedStop
                          ? kept
                          : result.Stop + " " + kept;
        try {
            ++result.Responses;
            J.resize(0, 0); // freed before its successor is computed
            f = FProblem.Respond(M(FU), &J);
        } catch (const EForwardCancelled&) {
            result.Cancelled = true;
            J.resize(0, 0);
        }
    }

    // Where the cross-validation decided the last λ and χ² stayed above 1,
    // the result says so and gives the factor on the errors at which the
    // misfit would be the noise's (the noise level the fit shows).
    void TellNoiseLevel(TInversionResult& result) const
    {
        const double chi = result.Steps.back().ChiSquare;
        if (!FValidated || !(chi > 1.0) || !(FNoiseLevel > NoiseLevelToTell))
            return;
        result.LambdaFromNoise = true;
        result.ErrorScale = std::max(1.0, FNoiseLevel);
        result.Stop += " Chi-square " + ReadableNumber(chi) +
                       " at the errors given: the data hold more than their errors say; lambda stopped at " +
                       ReadableNumber(result.Steps.back().Lambda) +
                       ", where the data left out are best predicted (lowering it would fit their noise); errors "
                       "about " + ReadableNumber(result.ErrorScale) + " times larger would be fitted to chi-square 1.";
    }

    // Whether a step whose λ fell from Last to Lambda bought less than
    // PayPerHalving of the χ² the rules follow per halving of λ, from Before
    // to Reached (the forward computation's, not the linearisation's
    // promise), while the misfit is still far from the noise (NearNoise).
    // There lowering λ fits the data's remainder with roughness: the
    // linearised problem promises χ² 1 at a λ far below (a real line's did,
    // with cells 38 times beyond its apparent resistivities), each step
    // delivers a few per cent.
    static bool Unpaid(double Last, double Lambda, double Before, double Reached)
    {
        if (!(Lambda < Last * (1.0 - 1e-9)) || !(Before > NearNoise))
            return false;
        return std::log(Before / Reached) < PayPerHalving * std::log2(Last / Lambda);
    }

    // Records an iterate: fit, the χ² the rules follow (FitChiSquare); the
    // step's χ² is the measured data's on their errors.
    void Record(TInversionResult& result, int iteration, double fit, const VectorXd& f, double lambda)
    {
        Remember(iteration, fit, f);
        TInversionStep step{iteration, MeasuredChiSquare(f), RelativeRms(FD.head(FN), f.head(FN)), lambda};
        if (FSettings.Robust)
            FullWeightChiSquare(FD.head(FN) - f.head(FN), FW0.head(FN), step.FullWeightChiSquare, step.FullWeightData);
        if (FN < FD.size())
            step.PriorChiSquare = ChiSquare(FD.tail(FD.size() - FN), f.tail(FD.size() - FN),
                                            FErrors.tail(FD.size() - FN));
        result.Steps.push_back(step);
        if (FCallbacks.Iteration)
            FCallbacks.Iteration(step, Resistivities());
    }

    TInversionProblem& FProblem;
    const VectorXd& FD;
    const VectorXd& FErrors;
    const TInversionSettings& FSettings;
    const TInversionCallbacks& FCallbacks;
    std::vector<TBound> FBounds;
    Index FN = 0; // the measured data, before the prior data
    std::vector<Index> FFree;
    VectorXd FU, FU0; // FU0: the reference's
    VectorXd FW0, FW; // 1/ε; the data weights of the iteration (Robust: reweighted)
    VectorXd FFull;   // per measured datum: 1 at its full weight, else 0 (Misfit)
    double FFullShare = 1.0; // their χ² at the noise level (TruncatedVariance)
    VectorXd FSmall;      // s_j
    VectorXd FStart; // ohm-m, as given
    Eigen::SparseMatrix<double> FC0, FC, FCtC; // FC0 as given; FC of the iteration (Blocky: reweighted)
    VectorXd FRowScale;                         // per row of FC0, its largest |coefficient|
    std::vector<double> FFits;                  // FitChiSquare per iterate
    double FLast = 0.0;                         // the last iterate's by Remember's measure
    // Of the last λ chosen on the closed form: whether the cross-validation
    // decided it (the aim lay beyond it), and the data's noise level there
    // in their errors (TLinearisedChange::NoiseLevel).
    bool FValidated = false;
    double FNoiseLevel = 1.0;
    bool FHeldByFall = false; // the fall bound, not the rule, set the last λ
    double FFloor = 0.0;      // the last λ whose fall paid, once a fall did not (Unpaid)
    struct TIterate {
        int Iteration = -1; // none yet
        double ChiSquare = 0.0;
        VectorXd U, Response;
    } FBest;
};

// The problem of the reference inversions: the main result's response and
// Jacobian served again without a forward computation, and at most Budget
// forward computations; the next raises EForwardCancelled with Spent set.
class TBudgetedProblem : public TInversionProblem {
public:
    TBudgetedProblem(TInversionProblem& problem, const TInversionResult& main)
        : FProblem(problem), FMain(main)
    {
        FLogMain = main.Resistivities.array().log();
        FLogResponse = main.Response.array().log();
    }

    VectorXd Respond(const VectorXd& LogResistivities, MatrixXd* Jacobian) override
    {
        const bool remembered = LogResistivities.size() == FLogMain.size() &&
                                FLogResponse.size() > 0 && FMain.Jacobian.cols() == FLogMain.size() &&
                                (LogResistivities - FLogMain).cwiseAbs().maxCoeff() <= 1e-9;
        if (remembered) {
            if (Jacobian)
                *Jacobian = FMain.Jacobian;
            return FLogResponse;
        }
        if (Used >= Budget) {
            Spent = true;
            throw EForwardCancelled("The depth of investigation's share of time is spent.");
        }
        ++Used;
        return FProblem.Respond(LogResistivities, Jacobian);
    }

    // Not counted: the budget is the trials'.
    VectorXd Recompute(const VectorXd& LogResistivities, MatrixXd* Jacobian) override
    {
        return FProblem.Recompute(LogResistivities, Jacobian);
    }

    int Budget = 0, Used = 0;
    bool Spent = false;

private:
    TInversionProblem& FProblem;
    const TInversionResult& FMain;
    VectorXd FLogMain, FLogResponse;
};

// The start of the second reference inversion: the first one's result
// mirrored about the main result in ln ρ. Where the data do not decide a
// cell, the reference pulls it as far up as the other reference pulled it
// down (exactly so in a linear problem), so the second inversion starts
// near its end: from the main result its first steps, halved by the line
// search where the response bends, used the share of forward computations
// before the unseen cells came near their reference (on a hill the deepest
// cells got half way, a DOI of 0.45 where 0.7 was due). Kept within the
// factor squared of the main result.
VectorXd MirroredStart(const TInversionResult& Main, const VectorXd& First, double Factor)
{
    const Eigen::ArrayXd main = Main.Resistivities.array().log();
    const Eigen::ArrayXd reach = Eigen::ArrayXd::Constant(main.size(), 2.0 * std::log(Factor));
    return (2.0 * main - First.array().log()).min(main + reach).max(main - reach).exp().matrix();
}

} // namespace

size_t HalvingOf(double Length)
{
    return static_cast<size_t>(std::lround(-std::log2(Length)));
}

THalvedStep HalvedStep(const VectorXd& From, const VectorXd& Direction,
                       const std::function<VectorXd(const VectorXd&, MatrixXd*)>& Respond,
                       const std::function<bool(const VectorXd&, const VectorXd&)>& Accept, int& Responses)
{
    THalvedStep tried;
    for (double length = 1.0; length >= ShortestHalving && !tried.Accepted; length /= 2.0) {
        tried.Model = From + length * Direction;
        tried.Length = length;
        ++Responses;
        tried.Jacobian.resize(0, 0); // the last trial's, freed before the next is computed
        tried.Response = Respond(tried.Model, &tried.Jacobian);
        tried.Accepted = Accept(tried.Model, tried.Response);
    }
    return tried;
}

TDepthOfInvestigation DepthOfInvestigation(TInversionProblem& Problem, const VectorXd& Measured,
                                           const VectorXd& Errors, const Eigen::SparseMatrix<double>& Smoothness,
                                           const VectorXd& Start, const TInversionSettings& Settings,
                                           const TInversionResult& Main, const TDepthOfInvestigationSettings& Doi,
                                           const TInversionCallbacks& Callbacks)
{
    if (Main.Steps.empty() || Main.Resistivities.size() != Start.size())
        throw EForwardError("The depth of investigation needs a finished inversion of the same cells.");
    if (!(std::isfinite(Doi.Factor) && Doi.Factor > 1.0) || !(std::isfinite(Doi.TimeShare) && Doi.TimeShare > 0.0))
        throw EForwardError("The depth of investigation needs a factor above 1 and a share of time above 0.");
    for (Index j = 0; j < Start.size(); ++j)
        if (!(std::isfinite(Start[j]) && Start[j] > 0.0))
            throw EForwardError("Cell " + std::to_string(j + 1) + ": its starting resistivity must be above 0.");
    TBudgetedProblem problem(Problem, Main);
    // One forward computation's time left for the solves; each inversion
    // at least one forward computation: its first step.
    const int total = std::max(2, static_cast<int>(Doi.TimeShare * Main.Responses) - 1);
    TInversionSettings settings = Settings;
    settings.ReferenceWeight = Doi.ReferenceWeight;
    settings.Lambda = Main.Steps.back().Lambda;
    settings.HoldLambda = true;
    TDepthOfInvestigation doi;
    int offset = 0;
    TInversionCallbacks callbacks;
    callbacks.Iteration = [&](const TInversionStep& step, const VectorXd& rho) {
        if (step.Iteration == 0)
            return;
        TInversionStep numbered = step;
        numbered.Iteration += offset;
        doi.Steps.push_back(numbered);
        if (Callbacks.Iteration)
            Callbacks.Iteration(numbered, rho);
    };
    for (const double factor : {1.0 / Doi.Factor, Doi.Factor}) {
        // The first half of the share, then what is left of it.
        problem.Budget = factor < 1.0 ? total / 2 : total;
        settings.Iterations = problem.Budget - problem.Used;
        settings.Reference.resize(static_cast<size_t>(Start.size()));
        for (Index j = 0; j < Start.size(); ++j)
            settings.Reference[static_cast<size_t>(j)] = factor * Start[j];
        const VectorXd from = factor < 1.0 ? Main.Resistivities : MirroredStart(Main, doi.Low, Doi.Factor);
        const TInversionResult result =
            InvertResistivity(problem, Measured, Errors, Smoothness, from, settings, callbacks);
        if (result.Cancelled && !problem.Spent) {
            doi.Cancelled = true;
            doi.Index.resize(0);
            return doi;
        }
        problem.Spent = false;
        offset = static_cast<int>(doi.Steps.size());
        (factor < 1.0 ? doi.Low : doi.High) = result.Resistivities;
    }
    // The references lie a factor Factor² apart: a cell the two inversions
    // part further than that (the references' pull overshooting where no
    // datum holds it) is as undecided as one that follows them, 1 at most.
    doi.Index = ((doi.Low.array().log() - doi.High.array().log()).abs() / (2.0 * std::log(Doi.Factor))).min(1.0);
    return doi;
}

VectorXd BlockyRowWeights(const VectorXd& Roughness, const VectorXd& RowScales, double Epsilon)
{
    VectorXd weights = VectorXd::Ones(Roughness.size());
    double sum = 0.0;
    Index rows = 0;
    for (Index k = 0; k < Roughness.size(); ++k) {
        if (!(RowScales[k] > 0.0))
            continue;
        const double step = std::fabs(Roughness[k]) / RowScales[k];
        weights[k] = std::pow(step * step + Epsilon * Epsilon, (BlockyNorm - 2.0) / 2.0);
        sum += weights[k];
        ++rows;
    }
    if (rows > 0 && sum > 0.0)
        for (Index k = 0; k < Roughness.size(); ++k)
            if (RowScales[k] > 0.0)
                weights[k] *= static_cast<double>(rows) / sum;
    return weights.cwiseSqrt();
}

double RobustScale(const VectorXd& Residuals, const VectorXd& Weights)
{
    std::vector<double> z(static_cast<size_t>(Residuals.size()));
    for (Index i = 0; i < Residuals.size(); ++i)
        z[static_cast<size_t>(i)] = std::fabs(Residuals[i] * Weights[i]);
    if (z.empty())
        return 1.0;
    const auto middle = z.begin() + static_cast<std::ptrdiff_t>(z.size() / 2);
    std::nth_element(z.begin(), middle, z.end());
    // 1.4826 × the median |z|: the standard deviation of normal misfits.
    const double spread = 1.4826 * *middle;
    // At most RobustShare of the data beyond the threshold: more misfits
    // that large are structure the model has yet to fit, not bad data.
    const auto high = z.begin() + static_cast<std::ptrdiff_t>(std::floor((1.0 - RobustShare) * (z.size() - 1)));
    std::nth_element(z.begin(), high, z.end());
    return std::max({1.0, spread, *high / RobustThreshold});
}

VectorXd RobustDataWeights(const VectorXd& Residuals, const VectorXd& Weights)
{
    const double limit = RobustThreshold * RobustScale(Residuals, Weights);
    const Eigen::ArrayXd share = (Residuals.cwiseProduct(Weights).array().abs() / limit).max(1.0);
    return share.rsqrt().matrix();
}

void FullWeightChiSquare(const VectorXd& Residuals, const VectorXd& Weights, double& ChiSquare, int& Count)
{
    const Eigen::ArrayXd z = Residuals.cwiseProduct(Weights).array().abs();
    const Eigen::ArrayXd kept = (z <= RobustThreshold * RobustScale(Residuals, Weights)).cast<double>();
    Count = static_cast<int>(kept.sum());
    ChiSquare = Count > 0 ? (kept * z.square()).sum() / Count : 0.0;
}

double ChiSquare(const VectorXd& Measured, const VectorXd& Calculated, const VectorXd& Errors)
{
    return ((Measured - Calculated).array() / Errors.array()).square().mean();
}

double RelativeRms(const VectorXd& Measured, const VectorXd& Calculated)
{
    return 100.0 * std::sqrt(((Calculated - Measured).array().exp() - 1.0).square().mean());
}

void RequireLambdaInRange(double Lambda)
{
    if (!(Lambda >= MinLambda && Lambda <= MaxLambda))
        throw EForwardError("The regularisation strength λ must be a number from " + ReadableNumber(MinLambda) +
                            " to " + ReadableNumber(MaxLambda) + ", not " + ReadableNumber(Lambda) + ".");
}

TInversionResult InvertResistivity(TInversionProblem& Problem, const VectorXd& Measured, const VectorXd& Errors,
                                   const Eigen::SparseMatrix<double>& Smoothness, const VectorXd& Start,
                                   const TInversionSettings& Settings, const TInversionCallbacks& Callbacks)
{
    return TGaussNewton(Problem, Measured, Errors, Smoothness, Start, Settings, Callbacks).Run();
}

TChargeabilityResult InvertChargeability(const MatrixXd& Jacobian, const VectorXd& Measured, const VectorXd& Errors,
                                         const Eigen::SparseMatrix<double>& Smoothness)
{
    // Solved in mV/V, as the phases are in mrad: λ weighs the roughness
    // against misfits in the data's errors, and a roughness of fractions
    // (a thousandth of the mV/V's) left the sweep's λ of 1e-3 to 1000
    // millions too weak: the image ran rough, two cells in three held at 0.
    constexpr double PerMille = 1000.0;
    const TWeightedRows rows = WeightedRows(Jacobian, PerMille * Measured, PerMille * Errors, Smoothness,
                                            "chargeability", "a chargeability");
    const TLambdaChoice choice = InvertLinear(rows, Smoothness, 0.0, PerMille * MaxCellChargeability);
    const VectorXd eta = choice.Model / PerMille;
    return {eta, Jacobian * eta, choice.ChiSquare, choice.Lambda, choice.FromNoise, choice.ErrorScale};
}

VectorXd Coverage(const MatrixXd& Jacobian, const VectorXd& Areas)
{
    if (Areas.size() != Jacobian.cols())
        throw EForwardError("The coverage needs one area per cell.");
    VectorXd coverage(Jacobian.cols());
    for (Index j = 0; j < Jacobian.cols(); ++j)
        coverage[j] = Areas[j] > 0.0 ? Jacobian.col(j).cwiseAbs().sum() / Areas[j] : 0.0;
    const double largest = coverage.size() > 0 ? coverage.maxCoeff() : 0.0;
    if (largest > 0.0 && std::isfinite(largest))
        coverage /= largest;
    else
        coverage.setZero();
    return coverage;
}

} // namespace lp
