#include "section/forward/Wavenumbers.h"

#include "section/forward/ForwardModel.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <locale>
#include <sstream>
#include <string>

namespace lp {

namespace {

double Spread(double from, double to, int i, int count)
{
    return count > 1 && to > from ? from * std::pow(to / from, static_cast<double>(i) / (count - 1)) : from;
}

// Distances the rule is checked at, spread evenly on a logarithmic scale
// over the fitted range: dense enough that the error between them stays
// within a thousandth of the largest found.
constexpr int CheckedDistances = 1000;

// The largest error gain a rule may have: how many times a relative
// error of the transformed potentials can grow in the sum. A rule of
// positive weights has 1; a rule of large weights of alternating signs
// multiplies the finite elements' error by thousands.
constexpr double LargestErrorGain = 2.0;

// Pairs of electrodes apart across the line: their error may be this many
// times the tolerance (the line's error stays within it).
constexpr double OffsetToleranceFactor = 10.0;

// The candidate wavenumbers the rule for electrodes off the line picks
// from (non-negative least squares keeps a few of them), tried in turn
// until a rule meets the tolerance.
constexpr int OffsetCandidates[] = {16, 24, 32, 40, 48, 64, 80, 96, 128, 160};

// The highest candidate wavenumber, over the smallest distance: the
// transform of the nearest pair has fallen to nothing beyond it.
constexpr double HighestWavenumber = 10.0;

// A pair much nearer along the line than across it (within NearShare of
// its offset; at one point of the section's plane where a remote stands
// square from a line electrode) is fitted from PointShare of its offset:
// there every candidate's K₀(k r) is its logarithm, and a rule that keeps
// to 1 / √(r² + Across²) there weighs that logarithm (Σ wᵢ cos(kᵢ Across))
// at nothing, so it holds however near the pair stands, at one point too
// (the finite elements' value at the source stands for the field a little
// way from it). Its candidates reach HighestWavenumber over NearShare of
// the offset: beyond, K₀(k r) has fallen to nothing at the distances
// where the rule is no logarithm.
constexpr double NearShare = 1e-3;
constexpr double PointShare = 1e-6;

// The distances an offset's pair is fitted and checked from, and the one
// its candidates are chosen by.
double FittedFrom(const TLineOffset& offset)
{
    return offset.Nearest >= NearShare * offset.Across ? offset.Nearest : PointShare * offset.Across;
}
double CandidateFrom(const TLineOffset& offset)
{
    return std::max(offset.Nearest, NearShare * offset.Across);
}

struct TRuleCheck {
    double error = 0.0; // the worst |r · sum - 1|
    double gain = 0.0;  // the worst (2/π) r Σ |wᵢ| K₀(kᵢ r)
};

// (2/π) r_s Σ wᵢ cos(kᵢ Across) K₀(kᵢ r) and the same with |wᵢ cos(kᵢ Across)|,
// r_s = √(r² + Across²): the rule's value against 1 and its gain at one
// distance (Across 0 on the line).
TRuleCheck CheckDistance(const TWavenumbers& rule, double r, double across)
{
    const double space = std::hypot(r, across);
    double sum = 0.0, magnitude = 0.0;
    for (size_t q = 0; q < rule.k.size(); ++q) {
        const double kr = rule.k[q] * r;
        if (kr < 700.0) {
            const double term = rule.w[q] * std::cos(rule.k[q] * across) * std::cyl_bessel_k(0.0, kr);
            sum += term;
            magnitude += std::fabs(term);
        }
    }
    return {std::fabs(2.0 / std::numbers::pi * space * sum - 1.0), 2.0 / std::numbers::pi * space * magnitude};
}

// The rule's error and gain over the samples on the line from rMin out
// to rMax; stops early once the error passes Limit.
TRuleCheck CheckRule(const TWavenumbers& rule, double rMin, double rMax, double limit)
{
    TRuleCheck check;
    for (int i = 0; i < CheckedDistances && check.error <= limit; ++i) {
        const TRuleCheck at = CheckDistance(rule, Spread(rMin, std::max(rMin, rMax), i, CheckedDistances), 0.0);
        check.error = std::max(check.error, at.error);
        check.gain = std::max(check.gain, at.gain);
    }
    return check;
}

// The rule's worst relative error against 1 / √(r² + Across²) for each
// offset, r from its nearest distance out to rMax; stops early once it
// passes Limit. (Its gain is not bounded: where a pair is much nearer along
// the line than across it, terms of both signs, each up to Across / r
// times the sum, make it; the transformed potentials' error changes
// slowly with the wavenumber, so the oscillating cosine averages it out.)
double OffsetError(const TWavenumbers& rule, double rMax, const std::vector<TLineOffset>& offsets, double limit)
{
    double error = 0.0;
    for (const TLineOffset& offset : offsets)
        for (int i = 0; i < CheckedDistances && error <= limit; ++i)
            error = std::max(error, CheckDistance(rule, Spread(FittedFrom(offset), std::max(FittedFrom(offset), rMax), i,
                                                               CheckedDistances),
                                                  offset.Across)
                                        .error);
    return error;
}

// Lawson and Hanson's active-set method: the w ≥ 0 that minimises |A w − b|.
// Each pass chooses the column whose residual gradient is largest and
// solves on the chosen columns, stepping back towards the last feasible
// point and setting aside at 0 those a step would make negative.
Eigen::VectorXd NonNegativeLeastSquares(const Eigen::MatrixXd& A, const Eigen::VectorXd& b)
{
    const Eigen::Index n = A.cols();
    Eigen::VectorXd w = Eigen::VectorXd::Zero(n);
    std::vector<bool> chosen(static_cast<size_t>(n), false);
    const auto solveChosen = [&] {
        std::vector<Eigen::Index> columns;
        for (Eigen::Index i = 0; i < n; ++i)
            if (chosen[static_cast<size_t>(i)])
                columns.push_back(i);
        Eigen::MatrixXd P(A.rows(), static_cast<Eigen::Index>(columns.size()));
        for (size_t j = 0; j < columns.size(); ++j)
            P.col(static_cast<Eigen::Index>(j)) = A.col(columns[j]);
        const Eigen::VectorXd solved = P.colPivHouseholderQr().solve(b);
        Eigen::VectorXd z = Eigen::VectorXd::Zero(n);
        for (size_t j = 0; j < columns.size(); ++j)
            z[columns[j]] = solved[static_cast<Eigen::Index>(j)];
        return z;
    };
    const double threshold = 1e-12 * std::max((A.transpose() * b).cwiseAbs().maxCoeff(), 1e-300);
    for (Eigen::Index pass = 0; pass < 3 * n; ++pass) {
        const Eigen::VectorXd gradient = A.transpose() * (b - A * w);
        Eigen::Index best = -1;
        double largest = threshold;
        for (Eigen::Index i = 0; i < n; ++i)
            if (!chosen[static_cast<size_t>(i)] && gradient[i] > largest) {
                largest = gradient[i];
                best = i;
            }
        if (best < 0)
            break;
        chosen[static_cast<size_t>(best)] = true;
        for (Eigen::Index inner = 0; inner <= n; ++inner) {
            const Eigen::VectorXd z = solveChosen();
            double step = 1.0;
            for (Eigen::Index i = 0; i < n; ++i)
                if (chosen[static_cast<size_t>(i)] && z[i] <= 0.0)
                    step = std::min(step, w[i] > z[i] ? w[i] / (w[i] - z[i]) : 0.0);
            w += step * (z - w);
            if (step == 1.0)
                break;
            for (Eigen::Index i = 0; i < n; ++i)
                if (chosen[static_cast<size_t>(i)] && w[i] <= 0.0) {
                    chosen[static_cast<size_t>(i)] = false;
                    w[i] = 0.0;
                }
        }
    }
    return w;
}

// A tolerance or distance as the messages write it (1e-06).
std::string NumberText(double value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

} // namespace

TWavenumbers WavenumberFit(double RMin, double RFit, int Count)
{
    TWavenumbers rule;
    for (int i = 0; i < Count; ++i)
        rule.k.push_back(Spread(0.2 / RFit, 5.0 / RMin, i, Count));
    // Rows: distances; columns: the wavenumbers' share of r · (2/π) K₀(k r).
    const int rows = 200;
    Eigen::MatrixXd A(rows, Count);
    for (int j = 0; j < rows; ++j) {
        const double r = Spread(RMin, RFit, j, rows);
        for (int i = 0; i < Count; ++i) {
            const double kr = rule.k[static_cast<size_t>(i)] * r;
            A(j, i) = kr < 700.0 ? 2.0 / std::numbers::pi * r * std::cyl_bessel_k(0.0, kr) : 0.0;
        }
    }
    const Eigen::VectorXd w = A.colPivHouseholderQr().solve(Eigen::VectorXd::Ones(rows));
    rule.w.assign(w.data(), w.data() + w.size());
    return rule;
}

TWavenumbers OffsetWavenumberFit(double RMin, double RFit, int Candidates, const std::vector<TLineOffset>& Offsets)
{
    double nearest = RMin;
    for (const TLineOffset& offset : Offsets)
        nearest = std::min(nearest, CandidateFrom(offset));
    std::vector<double> k;
    for (int i = 0; i < Candidates; ++i)
        k.push_back(Spread(0.2 / RFit, HighestWavenumber / nearest, i, Candidates));
    // Rows: distances, on the line and then per offset, each against its
    // target 1 (relative errors); columns: the candidates' share of
    // r_s · (2/π) cos(k Across) K₀(k r), r_s the distance in space.
    const int perLine = 200;
    const int rows = perLine * static_cast<int>(1 + Offsets.size());
    Eigen::MatrixXd A(rows, Candidates);
    for (int j = 0; j < rows; ++j) {
        const int block = j / perLine;
        const double across = block == 0 ? 0.0 : Offsets[static_cast<size_t>(block - 1)].Across;
        const double from = block == 0 ? RMin : FittedFrom(Offsets[static_cast<size_t>(block - 1)]);
        const double r = Spread(from, std::max(from, RFit), j % perLine, perLine);
        const double space = std::hypot(r, across);
        for (int i = 0; i < Candidates; ++i) {
            const double kr = k[static_cast<size_t>(i)] * r;
            A(j, i) = kr < 700.0 ? 2.0 / std::numbers::pi * space * std::cos(k[static_cast<size_t>(i)] * across) *
                                       std::cyl_bessel_k(0.0, kr)
                                 : 0.0;
        }
    }
    const Eigen::VectorXd w = NonNegativeLeastSquares(A, Eigen::VectorXd::Ones(rows));
    TWavenumbers rule;
    for (int i = 0; i < Candidates; ++i)
        if (w[i] > 0.0) {
            rule.k.push_back(k[static_cast<size_t>(i)]);
            rule.w.push_back(w[i]);
        }
    return rule;
}

double PointSourceSum(const TWavenumbers& Rule, double R)
{
    double sum = 0.0;
    for (size_t i = 0; i < Rule.k.size(); ++i) {
        const double kr = Rule.k[i] * R;
        if (kr < 700.0)
            sum += Rule.w[i] * std::cyl_bessel_k(0.0, kr);
    }
    return 2.0 / std::numbers::pi * sum;
}

double OffsetSourceSum(const TWavenumbers& Rule, double R, double Across)
{
    double sum = 0.0;
    for (size_t i = 0; i < Rule.k.size(); ++i) {
        const double kr = Rule.k[i] * R;
        if (kr < 700.0)
            sum += Rule.w[i] * std::cos(Rule.k[i] * Across) * std::cyl_bessel_k(0.0, kr);
    }
    return 2.0 / std::numbers::pi * sum;
}

double PointSourceError(const TWavenumbers& Rule, double RMin, double RMax)
{
    return CheckRule(Rule, RMin, RMax, std::numeric_limits<double>::infinity()).error;
}

double ErrorGain(const TWavenumbers& Rule, double RMin, double RMax)
{
    return CheckRule(Rule, RMin, RMax, std::numeric_limits<double>::infinity()).gain;
}

double FittedRange(double RMax, double Reach)
{
    return std::max(WavenumberRangeFactor * RMax, Reach);
}

TWavenumbers ChooseWavenumbers(double RMin, double RMax, double Tolerance, double Reach,
                               const std::vector<TLineOffset>& Offsets)
{
    if (!(RMin > 0.0) || !(RMax >= RMin) || !std::isfinite(RMax) || !(Reach >= 0.0) || !std::isfinite(Reach))
        throw EForwardError("The electrode distances of the survey cannot be computed.");
    if (!(Tolerance >= MinimumQuadratureTolerance) || !std::isfinite(Tolerance))
        throw EForwardError("A quadrature tolerance of " + NumberText(Tolerance) +
                            " is finer than the wavenumber rule can reliably meet: the smallest allowed is " +
                            NumberText(MinimumQuadratureTolerance) + ".");
    const double fit = FittedRange(RMax, Reach);
    for (const TLineOffset& offset : Offsets)
        if (!(offset.Across > 0.0) || !(offset.Nearest >= 0.0) || !std::isfinite(offset.Across + offset.Nearest))
            throw EForwardError("The electrode distances of the survey cannot be computed.");
    if (!Offsets.empty()) {
        // Positive weights: the line's gain is 1 whatever the offsets ask.
        for (int candidates : OffsetCandidates) {
            TWavenumbers rule = OffsetWavenumberFit(RMin, fit, candidates, Offsets);
            const TRuleCheck line = CheckRule(rule, RMin, fit, Tolerance);
            if (line.error <= Tolerance && line.gain <= LargestErrorGain &&
                OffsetError(rule, fit, Offsets, OffsetToleranceFactor * Tolerance) <= OffsetToleranceFactor * Tolerance)
                return rule;
        }
    } else {
        // More wavenumbers than the fit can use only make its weights wild: the
        // first count that reaches the tolerance with a bounded gain is also the
        // best behaved.
        for (int count = 4; count <= 30; ++count) {
            TWavenumbers rule = WavenumberFit(RMin, fit, count);
            const TRuleCheck check = CheckRule(rule, RMin, fit, Tolerance);
            if (check.error <= Tolerance && check.gain <= LargestErrorGain)
                return rule;
        }
    }
    throw EForwardError("No wavenumber quadrature reaches the accuracy asked for the survey's distances (from " +
                        NumberText(RMin) + " to " + NumberText(RMax) + " m).");
}

} // namespace lp
