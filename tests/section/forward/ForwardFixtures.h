#pragma once
// Hand-built grounds for the forward tests, the analytic potentials they
// are checked against, and the worst error of a set of data.

#include "section/editor/SectionFile.h"
#include "section/forward/ForwardResponse.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace lp::test {

// A section of Width x Depth, top at depth 0, the host ring's resistivity
// and polarizability set (or not), with bodies added as rings of points
// (x, depth).
struct TForwardSection {
    Tnodes nodes;
    AllSpolygon model;
    TModelArea area;

    TForwardSection(double width, double depth, std::optional<double> host, double hostPolarizability = 0.0,
                    const arofcomplexM& profile = {})
        : area{0.0, 0.0, width, depth}
    {
        BuildFrameModel(nodes, model, profile, !profile.Empty(), depth, 0.0, width, 0.0);
        if (host)
            model[0][0].params[psResistivity] = *host;
        if (hostPolarizability > 0.0)
            model[0][0].params[psPolarizability] = hostPolarizability;
    }

    // A body of one ring over the points (x, depth); returns the body.
    int AddBody(std::vector<std::pair<double, double>> points, double resistivity, double polarizability = 0.0,
                const std::string& label = {})
    {
        arofcomplexM ring;
        for (const auto& [x, y] : points)
            ring.Add(MakeComplex(x, y));
        EXPECT_TRUE(AddPolygon(ring, model, nodes));
        Polygon& added = model[model.High()][0];
        added.params[psResistivity] = resistivity;
        if (polarizability > 0.0)
            added.params[psPolarizability] = polarizability;
        if (!label.empty())
            added.params[psLabelText] = label;
        return model.High();
    }

    TForwardModel Ground(std::optional<double> hostResistivity = std::nullopt) const
    {
        return PrepareForwardModel(model, nodes, area, hostResistivity);
    }
};

// The bundled example's ground, the host medium at 100 ohm-m.
inline TForwardModel ExampleGround()
{
    std::ifstream file(LP_EXAMPLES_DIR "/example.sec", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    TSectionModel section;
    EXPECT_TRUE(ParseSectionModelBlock(bytes, section));
    return PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, 100.0);
}

// Potential on the surface at distance r of a unit current at a surface point.
inline double HalfSpacePotential(double rho, double r)
{
    return rho / (2 * std::numbers::pi * r);
}

// Two layers: ρ1 of thickness h over ρ2, the image series summed until its
// terms vanish.
inline double TwoLayerPotential(double rho1, double rho2, double h, double r)
{
    const double kappa = (rho2 - rho1) / (rho2 + rho1);
    double sum = 1.0 / r, power = 1.0;
    for (int n = 1; n < 100000; ++n) {
        power *= kappa;
        const double term = power / std::sqrt(r * r + 4.0 * n * n * h * h);
        sum += 2.0 * term;
        if (std::fabs(term) < 1e-12 * sum)
            break;
    }
    return rho1 / (2 * std::numbers::pi) * sum;
}

// Vertical contacts across the line (the ground changes along x only, down
// to any depth): the potential on the surface at x of a unit current at the
// surface point xs, Resistivities[j] between Contacts[j - 1] and Contacts[j]
// (ascending; one resistivity more than contacts). The surface mirrors the
// ground into a full space of vertical slabs with a current of 2 at xs; on
// the line through the source normal to the slabs the potential is
// (ρs / 2π) ∫₀^∞ Φ(λ, x) dλ, with Φ = e^(-λ |x - xs|) plus in every slab
// the decaying and growing exponentials that keep Φ and Φ' / ρ continuous
// at the contacts (the cross-line wavenumber λ). The integral runs in
// ln λ by the trapezoidal rule, which converges geometrically for this
// integrand (steps of 0.05: about 1e-12). Independent of any image series,
// so it holds however strong the contrasts and however many reflections
// between close contacts matter. Neither point may lie on a contact.
inline double VerticalContactsPotential(const std::vector<double>& Contacts, const std::vector<double>& Resistivities,
                                        double xs, double x)
{
    const int m = static_cast<int>(Contacts.size());
    const auto slab = [&](double at) {
        return static_cast<int>(std::upper_bound(Contacts.begin(), Contacts.end(), at) - Contacts.begin());
    };
    const int source = slab(xs), receiver = slab(x);
    const auto rho = [&](int j) { return Resistivities.at(static_cast<size_t>(j)); };
    const auto contact = [&](int j) { return Contacts.at(static_cast<size_t>(j)); };
    // Φ(λ, x): unknowns a_j (j < m, e^(λ (x - c_j))) and b_j (j > 0, e^(-λ (x - c_(j-1)))).
    const auto phi = [&](double lambda) {
        const auto direct = [&](int j, double at, bool slope) {
            if (j != source)
                return 0.0;
            const double e = std::exp(-lambda * std::fabs(at - xs));
            return slope ? (at > xs ? -e : e) : e; // Φ' / λ
        };
        const int n = 2 * m;
        Eigen::MatrixXd A = Eigen::MatrixXd::Zero(n, n);
        Eigen::VectorXd f = Eigen::VectorXd::Zero(n);
        const auto a = [](int j) { return j; };
        const auto b = [m](int j) { return m + j - 1; };
        for (int j = 0; j < m; ++j) {
            const double c = contact(j);
            // Slab j on the left of contact j, slab j + 1 on its right.
            const double backLeft = j > 0 ? std::exp(-lambda * (c - contact(j - 1))) : 0.0;
            const double aheadRight = j + 1 < m ? std::exp(-lambda * (contact(j + 1) - c)) : 0.0;
            // Φ continuous.
            A(2 * j, a(j)) += 1.0;
            if (j > 0)
                A(2 * j, b(j)) += backLeft;
            if (j + 1 < m)
                A(2 * j, a(j + 1)) -= aheadRight;
            A(2 * j, b(j + 1)) -= 1.0;
            f(2 * j) = direct(j + 1, c, false) - direct(j, c, false);
            // Φ' / ρ continuous (divided by λ).
            A(2 * j + 1, a(j)) += 1.0 / rho(j);
            if (j > 0)
                A(2 * j + 1, b(j)) -= backLeft / rho(j);
            if (j + 1 < m)
                A(2 * j + 1, a(j + 1)) -= aheadRight / rho(j + 1);
            A(2 * j + 1, b(j + 1)) += 1.0 / rho(j + 1);
            f(2 * j + 1) = direct(j + 1, c, true) / rho(j + 1) - direct(j, c, true) / rho(j);
        }
        const Eigen::VectorXd u = A.partialPivLu().solve(f);
        double value = direct(receiver, x, false);
        if (receiver < m)
            value += u(a(receiver)) * std::exp(lambda * (x - contact(receiver)));
        if (receiver > 0)
            value += u(b(receiver)) * std::exp(-lambda * (x - contact(receiver - 1)));
        return value;
    };
    const double r = std::fabs(x - xs), step = 0.05;
    double integral = 0.0;
    for (double t = std::log(1e-10 / r); t <= std::log(60.0 / r); t += step) {
        const double lambda = std::exp(t);
        integral += step * lambda * phi(lambda);
    }
    return rho(source) / (2 * std::numbers::pi) * integral;
}

// The apparent resistivity of a configuration from a potential U(source, receiver).
inline double AnalyticApparentResistivity(const TSurvey& survey, const TConfiguration& c,
                                          const std::function<double(int, int)>& potential)
{
    const auto u = [&](int current, int at) { return current < 0 || at < 0 ? 0.0 : potential(current, at); };
    const double du = u(c.a, c.m) - u(c.a, c.n) - u(c.b, c.m) + u(c.b, c.n);
    return FlatGeometricFactor(survey, c) * du;
}

// The worst relative error of the computed values against the expected
// ones, and where it is; every datum is compared.
struct TWorstError {
    double error = 0.0;
    size_t datum = 0;
    double computed = 0.0, expected = 0.0;
    std::string Text() const
    {
        return "worst relative error " + std::to_string(100.0 * error) + " % at datum " + std::to_string(datum + 1) +
               " (computed " + std::to_string(computed) + ", expected " + std::to_string(expected) + ")";
    }
};

inline TWorstError WorstError(const std::vector<double>& computed, const std::vector<double>& expected)
{
    TWorstError worst;
    EXPECT_EQ(computed.size(), expected.size());
    for (size_t d = 0; d < std::min(computed.size(), expected.size()); ++d) {
        const double error = std::fabs(computed[d] / expected[d] - 1.0);
        if (!(error <= worst.error)) {
            worst = {error, d, computed[d], expected[d]};
            if (std::isnan(error))
                break;
        }
    }
    return worst;
}

} // namespace lp::test
