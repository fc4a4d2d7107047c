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

struct TRuleCheck {
    double error = 0.0; // the worst |r · sum - 1|
    double gain = 0.0;  // the worst (2/π) r Σ |wᵢ| K₀(kᵢ r)
};

// The rule's error and gain over the samples; stops early once the error
// passes Limit.
TRuleCheck CheckRule(const TWavenumbers& rule, double rMin, double rMax, double limit)
{
    TRuleCheck check;
    for (int i = 0; i < CheckedDistances && check.error <= limit; ++i) {
        const double r = Spread(rMin, rMax, i, CheckedDistances);
        double sum = 0.0, magnitude = 0.0;
        for (size_t q = 0; q < rule.k.size(); ++q) {
            const double kr = rule.k[q] * r;
            if (kr < 700.0) {
                const double k0 = std::cyl_bessel_k(0.0, kr);
                sum += rule.w[q] * k0;
                magnitude += std::fabs(rule.w[q]) * k0;
            }
        }
        check.error = std::max(check.error, std::fabs(2.0 / std::numbers::pi * r * sum - 1.0));
        check.gain = std::max(check.gain, 2.0 / std::numbers::pi * r * magnitude);
    }
    return check;
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
    const Eigen::VectorXd ones = Eigen::VectorXd::Ones(rows);
    for (int j = 0; j < rows; ++j) {
        const double r = Spread(RMin, RFit, j, rows);
        for (int i = 0; i < Count; ++i) {
            const double kr = rule.k[static_cast<size_t>(i)] * r;
            A(j, i) = kr < 700.0 ? 2.0 / std::numbers::pi * r * std::cyl_bessel_k(0.0, kr) : 0.0;
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

TWavenumbers ChooseWavenumbers(double RMin, double RMax, double Tolerance, double Reach)
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
    for (int count = 4; count <= 30; ++count) {
        TWavenumbers rule = WavenumberFit(RMin, fit, count);
        const TRuleCheck check = CheckRule(rule, RMin, fit, Tolerance);
        if (check.error <= Tolerance && check.gain <= LargestErrorGain)
            return rule;
    }
    throw EForwardError("No wavenumber quadrature reaches the accuracy asked for the survey's distances (from " +
                        NumberText(RMin) + " to " + NumberText(RMax) + " m).");
}

} // namespace lp
