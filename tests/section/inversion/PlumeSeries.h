#pragma once
// The synthetic monitoring series the time-lapse tests invert: a
// conductive plume growing in a 100 ohm-m ground, surveyed by the forward
// computation with independent noise per survey, and where its data see
// the ground well.

#include "section/inversion/InversionMesh.h"
#include "section/survey/MeasuredData.h"
#include "tests/section/forward/ForwardFixtures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

namespace lp::test {

// The depth above which half of a datum's sensitivity over a homogeneous
// half-space lies (Edwards' median depth of investigation): the 1-D
// sensitivity of a pole pair r apart integrates to 1 − r / √(r² + 4z²),
// a datum sums its four pairs with the geometric factor's signs.
inline double MedianDepth(const TSurvey& Survey, const TConfiguration& c)
{
    std::vector<std::pair<double, double>> pairs; // distance, sign
    const auto x = [&](int e) { return Survey.Electrodes.at(static_cast<size_t>(e)).x; };
    for (const auto& [p, q, sign] : {std::tuple{c.a, c.m, 1.0}, {c.a, c.n, -1.0}, {c.b, c.m, -1.0}, {c.b, c.n, 1.0}})
        if (p >= 0 && q >= 0)
            pairs.emplace_back(std::fabs(x(p) - x(q)), sign);
    double total = 0.0, longest = 0.0;
    for (const auto& [r, sign] : pairs) {
        total += sign / r;
        longest = std::max(longest, r);
    }
    const auto above = [&](double z) {
        double sum = 0.0;
        for (const auto& [r, sign] : pairs)
            sum += sign / std::sqrt(r * r + 4 * z * z);
        return 1.0 - sum / total;
    };
    double low = 0.0, high = 10.0 * longest;
    for (int i = 0; i < 80; ++i) {
        const double middle = (low + high) / 2;
        (above(middle) > 0.5 ? high : low) = middle;
    }
    return (low + high) / 2;
}

// Dipole-dipole of dipoles one and two spacings long, n = 1 .. 6 each.
inline std::vector<TConfiguration> DipoleDipole(int Electrodes)
{
    std::vector<TConfiguration> configurations;
    for (int a : {1, 2, 3})
        for (int n = 1; n <= 6; ++n)
            for (int i = 0; i + 2 * a + n * a < Electrodes; ++i)
                configurations.push_back({i, i + a, i + a + n * a, i + 2 * a + n * a});
    return configurations;
}

struct TRectangle {
    double X1, X2, Top, Bottom; // x and depth
    bool Inside(double x, double depth) const { return x > X1 && x < X2 && depth > Top && depth < Bottom; }
    // How far a point lies outside (0 inside).
    double Distance(double x, double depth) const
    {
        const double dx = std::max({X1 - x, 0.0, x - X2});
        const double dz = std::max({Top - depth, 0.0, depth - Bottom});
        return std::hypot(dx, dz);
    }
};

// The series: 32 electrodes 1 m apart from x = 4 in a section 39 m wide;
// the plume in survey t (none in the baseline) and its resistivity; the
// data with 2 % Gaussian noise of a seed per survey (err 0.02 in the data)
// and, when CommonError is above 0, a relative error of that size common
// to every survey (a datum's contact or placing error, repeated in every
// survey of the same electrodes), which the data's err does not tell.
struct TPlumeSeries {
    static constexpr int Electrodes = 32;
    static constexpr double Host = 100.0;
    const std::vector<TRectangle> Plumes{{0, 0, 0, 0}, {17, 22, 0.25, 1.75}, {16, 23, 0.25, 2.5}, {15, 24, 0.25, 3.25}};
    const std::vector<double> PlumeResistivity{Host, 50.0, 30.0, 20.0};
    TSurvey Survey;
    std::vector<TMeasuredData> Surveys;
    TInversionMesh Mesh;
    std::vector<double> MedianDepths; // per configuration, asked for every cell by Covered
    double DeepestMedianDepth = 0.0;

    explicit TPlumeSeries(double CommonError = 0.0)
    {
        for (int e = 0; e < Electrodes; ++e)
            Survey.Electrodes.push_back({4.0 + e, 0.0});
        Survey.Configurations = DipoleDipole(Electrodes);
        for (const TConfiguration& c : Survey.Configurations)
            MedianDepths.push_back(MedianDepth(Survey, c));
        DeepestMedianDepth = *std::max_element(MedianDepths.begin(), MedianDepths.end());
        for (size_t t = 0; t < Plumes.size(); ++t) {
            TForwardSection section(39.0, 14.0, Host);
            if (t > 0) {
                const TRectangle& p = Plumes[t];
                section.AddBody({{p.X1, p.Top}, {p.X2, p.Top}, {p.X2, p.Bottom}, {p.X1, p.Bottom}}, PlumeResistivity[t]);
            }
            const TForwardResult result = ComputeForwardResponse(section.Ground(), Survey);
            std::mt19937 random(static_cast<unsigned>(101 + t)), common(7);
            std::normal_distribution<double> gauss(0.0, 0.02), shared(0.0, CommonError);
            TMeasuredData data;
            data.Electrodes = Survey.Electrodes;
            data.Configurations = Survey.Configurations;
            for (size_t i = 0; i < result.Resistivities.size(); ++i) {
                const double error = CommonError > 0.0 ? shared(common) : 0.0;
                data.Resistivities.push_back(result.Resistivities[i] * (1.0 + gauss(random)) * std::exp(error));
                data.GeometricFactors.push_back(result.GeometricFactors[i]);
                data.Errors.push_back(0.02);
                data.Lines.push_back(static_cast<int>(i) + 3);
            }
            Surveys.push_back(data);
        }
        std::vector<double> x;
        for (const TElectrode& e : Survey.Electrodes)
            x.push_back(e.x);
        Mesh = DefaultInversionMesh(x, 0.0, 39.0, {{0.0, 0.0}, {39.0, 0.0}}, DeepestMedianDepth);
    }

    // The well-covered part: no deeper than the deepest median depth, and
    // between the outermost midpoints of the data that reach the depth.
    bool Covered(double x, double depth) const
    {
        double low = std::numeric_limits<double>::infinity(), high = -low;
        for (size_t i = 0; i < Survey.Configurations.size(); ++i) {
            const TConfiguration& c = Survey.Configurations[i];
            if (MedianDepths[i] < depth)
                continue;
            const double mid = (Survey.Electrodes[static_cast<size_t>(c.a)].x + Survey.Electrodes[static_cast<size_t>(c.n)].x) / 2;
            low = std::min(low, mid);
            high = std::max(high, mid);
        }
        return depth <= DeepestMedianDepth && x >= low && x <= high;
    }
};

// The series of independent noise alone, made once for the whole test
// program: its forward computations are the slow part.
inline const TPlumeSeries& PlumeSeries()
{
    static const TPlumeSeries series;
    return series;
}

} // namespace lp::test
