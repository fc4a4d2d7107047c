#include "section/forward/Wavenumbers.h"

#include "section/forward/ForwardModel.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace lp {

namespace {

double Spread(double from, double to, int i, int count)
{
    return count > 1 && to > from ? from * std::pow(to / from, static_cast<double>(i) / (count - 1)) : from;
}

// The worst relative error over the samples; stops early once it passes
// Limit.
double SampledError(const TWavenumbers& rule, double rMin, double rMax, double limit)
{
    const int samples = 300;
    double worst = 0.0;
    for (int i = 0; i < samples && worst <= limit; ++i) {
        const double r = Spread(rMin, rMax, i, samples);
        worst = std::max(worst, std::fabs(r * PointSourceSum(rule, r) - 1.0));
    }
    return worst;
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
    return SampledError(Rule, RMin, RMax, std::numeric_limits<double>::infinity());
}

TWavenumbers ChooseWavenumbers(double RMin, double RMax, double Tolerance)
{
    if (!(RMin > 0.0) || !(RMax >= RMin) || !std::isfinite(RMax))
        throw EForwardError("The electrode distances of the survey cannot be computed.");
    const double fit = WavenumberRangeFactor * RMax;
    // More wavenumbers than the fit can use only make its weights wild: the
    // first count that reaches the tolerance is also the best behaved.
    for (int count = 4; count <= 30; ++count) {
        TWavenumbers rule = WavenumberFit(RMin, fit, count);
        if (SampledError(rule, RMin, fit, Tolerance) <= Tolerance)
            return rule;
    }
    throw EForwardError("No wavenumber quadrature reaches the accuracy asked for the survey's distances.");
}

} // namespace lp
