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

// Pairs of electrodes apart across the line: their rows weigh less in the
// fit, and their error may be this many times the tolerance, so that the
// rule stays as good on the line as without them and its weights stay
// bounded (a fit held to the tolerance for both needs weights of
// alternating signs that multiply the finite elements' error by hundreds).
constexpr double OffsetRowWeight = 0.1;
constexpr double OffsetToleranceFactor = 10.0;

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

// The rule's error and gain over the samples (on the line from rMin, each
// offset from its nearest distance, all out to rMax); stops early once the
// error passes Limit.
TRuleCheck CheckRule(const TWavenumbers& rule, double rMin, double rMax, double limit,
                     const std::vector<TLineOffset>& offsets = {})
{
    TRuleCheck check;
    const auto line = [&](double from, double across) {
        for (int i = 0; i < CheckedDistances && check.error <= limit; ++i) {
            const TRuleCheck at = CheckDistance(rule, Spread(from, std::max(from, rMax), i, CheckedDistances), across);
            check.error = std::max(check.error, at.error);
            check.gain = std::max(check.gain, at.gain);
        }
    };
    line(rMin, 0.0);
    if (offsets.empty())
        return check;
    // The offsets' error counted in the line's terms.
    const TRuleCheck online = check;
    check = {};
    limit *= OffsetToleranceFactor;
    for (const TLineOffset& offset : offsets)
        line(offset.Nearest, offset.Across);
    return {std::max(online.error, check.error / OffsetToleranceFactor), std::max(online.gain, check.gain)};
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

TWavenumbers WavenumberFit(double RMin, double RFit, int Count, const std::vector<TLineOffset>& Offsets)
{
    TWavenumbers rule;
    double nearest = RMin;
    for (const TLineOffset& offset : Offsets)
        nearest = std::min(nearest, offset.Nearest);
    for (int i = 0; i < Count; ++i)
        rule.k.push_back(Spread(0.2 / RFit, 5.0 / nearest, i, Count));
    // Rows: distances, on the line and then per offset; columns: the
    // wavenumbers' share of r_s · (2/π) cos(k Across) K₀(k r), r_s the
    // distance in space.
    const int perLine = 200;
    const int rows = perLine * static_cast<int>(1 + Offsets.size());
    Eigen::MatrixXd A(rows, Count);
    Eigen::VectorXd ones = Eigen::VectorXd::Ones(rows);
    ones.tail(rows - perLine).setConstant(OffsetRowWeight);
    for (int j = 0; j < rows; ++j) {
        const int block = j / perLine;
        const double across = block == 0 ? 0.0 : Offsets[static_cast<size_t>(block - 1)].Across;
        const double from = block == 0 ? RMin : Offsets[static_cast<size_t>(block - 1)].Nearest;
        const double r = Spread(from, std::max(from, RFit), j % perLine, perLine);
        const double space = std::hypot(r, across);
        for (int i = 0; i < Count; ++i) {
            const double k = rule.k[static_cast<size_t>(i)];
            const double kr = k * r;
            A(j, i) = kr < 700.0 ? 2.0 / std::numbers::pi * space * std::cos(k * across) * std::cyl_bessel_k(0.0, kr)
                                 : 0.0;
            if (block > 0)
                A(j, i) *= OffsetRowWeight;
        }
    }
    const Eigen::VectorXd w = A.colPivHouseholderQr().solve(ones);
    rule.w.assign(w.data(), w.data() + w.size());
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
    // More wavenumbers than the fit can use only make its weights wild: the
    // first count that reaches the tolerance with a bounded gain is also the
    // best behaved.
    for (const TLineOffset& offset : Offsets)
        if (!(offset.Across > 0.0) || !(offset.Nearest > 0.0) || !std::isfinite(offset.Across + offset.Nearest))
            throw EForwardError("The electrode distances of the survey cannot be computed.");
    const int most = Offsets.empty() ? 30 : 40;
    for (int count = 4; count <= most; ++count) {
        TWavenumbers rule = WavenumberFit(RMin, fit, count, Offsets);
        const TRuleCheck check = CheckRule(rule, RMin, fit, Tolerance, Offsets);
        if (check.error <= Tolerance && check.gain <= LargestErrorGain)
            return rule;
    }
    throw EForwardError("No wavenumber quadrature reaches the accuracy asked for the survey's distances (from " +
                        NumberText(RMin) + " to " + NumberText(RMax) + " m).");
}

} // namespace lp
