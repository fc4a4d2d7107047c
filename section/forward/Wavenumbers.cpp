#include "section/forward/Wavenumbers.h"

#include "section/forward/ForwardModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace lp {

namespace {

// Nodes and weights of Gauss-Legendre on [0, 1], by Newton's method on the
// Legendre polynomial.
void GaussLegendre(int n, std::vector<double>& x, std::vector<double>& w)
{
    x.assign(static_cast<size_t>(n), 0.0);
    w.assign(static_cast<size_t>(n), 0.0);
    for (int i = 0; i < n; ++i) {
        double z = std::cos(std::numbers::pi * (i + 0.75) / (n + 0.5));
        double derivative = 1.0;
        for (int iteration = 0; iteration < 100; ++iteration) {
            double p0 = 1.0, p1 = z;
            for (int j = 2; j <= n; ++j) {
                const double p2 = ((2.0 * j - 1.0) * z * p1 - (j - 1.0) * p0) / j;
                p0 = p1;
                p1 = p2;
            }
            if (n == 1)
                p0 = 1.0;
            derivative = n * (z * p1 - p0) / (z * z - 1.0);
            const double step = p1 / derivative;
            z -= step;
            if (std::fabs(step) < 1e-15)
                break;
        }
        x[static_cast<size_t>(i)] = (1.0 - z) / 2.0;
        w[static_cast<size_t>(i)] = 1.0 / ((1.0 - z * z) * derivative * derivative);
    }
}

// Nodes and weights of Gauss-Laguerre (weight e^-x on [0, ∞)), by Newton's
// method on the Laguerre polynomial.
void GaussLaguerre(int n, std::vector<double>& x, std::vector<double>& w)
{
    x.assign(static_cast<size_t>(n), 0.0);
    w.assign(static_cast<size_t>(n), 0.0);
    double z = 0.0;
    for (int i = 0; i < n; ++i) {
        if (i == 0)
            z = 3.0 / (1.0 + 2.4 * n);
        else if (i == 1)
            z += 15.0 / (1.0 + 2.5 * n);
        else
            z += (1.0 + 2.55 * (i - 1)) / (1.9 * (i - 1)) * (z - x[static_cast<size_t>(i - 2)]);
        double derivative = 1.0, previous = 0.0;
        for (int iteration = 0; iteration < 100; ++iteration) {
            double p1 = 1.0, p2 = 0.0;
            for (int j = 1; j <= n; ++j) {
                const double p3 = p2;
                p2 = p1;
                p1 = ((2.0 * j - 1.0 - z) * p2 - (j - 1.0) * p3) / j;
            }
            previous = p2;
            derivative = n * (p1 - p2) / z;
            const double step = p1 / derivative;
            z -= step;
            if (std::fabs(step) < 1e-14 * std::max(1.0, z))
                break;
        }
        x[static_cast<size_t>(i)] = z;
        w[static_cast<size_t>(i)] = -1.0 / (derivative * n * previous);
    }
}

} // namespace

TWavenumbers WavenumberRule(double RMin, int LegendrePoints, int LaguerrePoints)
{
    const double k0 = 1.0 / (2.0 * RMin);
    TWavenumbers rule;
    std::vector<double> x, w;
    GaussLegendre(LegendrePoints, x, w);
    for (size_t i = x.size(); i-- > 0;) { // ascending k
        const double t = x[i];
        rule.k.push_back(k0 * t * t);
        rule.w.push_back(w[i] * 2.0 * k0 * t);
    }
    // ∫_{k₀}^∞ f(k) dk = k₀ ∫₀^∞ e^-x [e^x f(k₀ (1 + x))] dx
    GaussLaguerre(LaguerrePoints, x, w);
    for (size_t i = 0; i < x.size(); ++i) {
        rule.k.push_back(k0 * (1.0 + x[i]));
        rule.w.push_back(k0 * w[i] * std::exp(x[i]));
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

namespace {

// The worst relative error over the samples; stops early once it passes
// Limit. The longest and the shortest distance, where the error is usually
// largest, come first.
double SampledError(const TWavenumbers& rule, double rMin, double rMax, double limit)
{
    const int samples = 80;
    double worst = 0.0;
    for (int s = 0; s <= samples && worst <= limit; ++s) {
        const int i = s == 0 ? samples : s - 1;
        const double r = rMax > rMin ? rMin * std::pow(rMax / rMin, static_cast<double>(i) / samples) : rMin;
        worst = std::max(worst, std::fabs(r * PointSourceSum(rule, r) - 1.0));
    }
    return worst;
}

} // namespace

double PointSourceError(const TWavenumbers& Rule, double RMin, double RMax)
{
    return SampledError(Rule, RMin, RMax, std::numeric_limits<double>::infinity());
}

TWavenumbers ChooseWavenumbers(double RMin, double RMax, double Tolerance)
{
    if (!(RMin > 0.0) || !(RMax >= RMin) || !std::isfinite(RMax))
        throw EForwardError("The electrode distances of the survey cannot be computed.");
    // For each Laguerre count the fewest Legendre points; the smallest sum.
    TWavenumbers best;
    for (int laguerre = 4; laguerre <= 12; ++laguerre)
        for (int legendre = 4; legendre <= 100; ++legendre) {
            if (!best.k.empty() && legendre + laguerre >= static_cast<int>(best.k.size()))
                break;
            TWavenumbers rule = WavenumberRule(RMin, legendre, laguerre);
            if (SampledError(rule, RMin, RMax, Tolerance) <= Tolerance) {
                best = std::move(rule);
                break;
            }
        }
    if (!best.k.empty())
        return best;
    throw EForwardError("No wavenumber quadrature reaches the accuracy asked for the survey's distances.");
}

} // namespace lp
