// The forward response against analytic solutions, datum by datum: a
// homogeneous ground, two layers, a vertical contact, a relief top, the
// chargeability, a body's anomaly, and what the computation refuses.

#include "section/forward/ForwardResponse.h"

#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <map>

namespace lp::test {
namespace {

TSurvey Array(TArrayKind kind, int electrodes, int levels, double spacing, double first)
{
    TArrayLayout layout;
    layout.Kind = kind;
    layout.Electrodes = electrodes;
    layout.Levels = levels;
    layout.Spacing = spacing;
    layout.First = first;
    return MakeArraySurvey(layout, 0.0, 1.0);
}

// --- Homogeneous ground ---------------------------------------------------------

class HomogeneousGround : public ::testing::Test {
protected:
    static constexpr double Rho = 100.0, Eta = 8.0; // ohm-m, per cent
    // 48 electrodes 10 m apart, one spacing in from the sides.
    static const TForwardResult& Result(TArrayKind kind)
    {
        static std::map<TArrayKind, TForwardResult> results;
        if (!results.count(kind)) {
            const TForwardSection section(490.0, 150.0, Rho, Eta);
            results[kind] = ComputeForwardResponse(section.Ground(), Array(kind, 48, 6, 10.0, 10.0));
        }
        return results.at(kind);
    }
};

TEST_F(HomogeneousGround, EveryDatumOfEveryArrayGivesTheGroundsResistivityAndChargeability)
{
    for (TArrayKind kind : {TArrayKind::DipoleDipole, TArrayKind::Wenner, TArrayKind::Schlumberger}) {
        const TForwardResult& result = Result(kind);
        SCOPED_TRACE(ArrayKindName(kind));
        EXPECT_EQ(result.Resistivities.size(), ArrayConfigurations(kind, 48, 6).size());
        const TWorstError rho = WorstError(result.Resistivities, std::vector<double>(result.Resistivities.size(), Rho));
        EXPECT_LE(rho.error, 0.01) << rho.Text();
        const TWorstError eta = WorstError(result.Chargeabilities, std::vector<double>(result.Chargeabilities.size(), Eta));
        EXPECT_LE(eta.error, 0.01) << eta.Text();
        std::printf("[ homogeneous %s ] %s; mesh %d nodes, %zu wavenumbers\n", ArrayKindName(kind).c_str(),
                    rho.Text().c_str(), result.MeshNodes, result.Wavenumbers.k.size());
    }
}

// --- Two layers -----------------------------------------------------------------

struct TLayerCase {
    double rho1, rho2, h; // h in electrode spacings
};

class TwoLayers : public ::testing::TestWithParam<TLayerCase> {};

TEST_P(TwoLayers, EveryDatumFollowsTheImageSeries)
{
    const TLayerCase c = GetParam();
    const double a = 10.0, width = 250.0, depth = 120.0, h = c.h * a;
    TForwardSection section(width, depth, c.rho2);
    section.AddBody({{0, 0}, {width, 0}, {width, h}, {0, h}}, c.rho1);
    const TForwardResult result =
        ComputeForwardResponse(section.Ground(), Array(TArrayKind::DipoleDipole, 24, 6, a, 10.0));
    std::vector<double> expected;
    for (const TConfiguration& configuration : result.Survey.Configurations)
        expected.push_back(AnalyticApparentResistivity(result.Survey, configuration, [&](int s, int r) {
            return TwoLayerPotential(c.rho1, c.rho2, h,
                                     std::fabs(result.Survey.Electrodes[size_t(s)].x - result.Survey.Electrodes[size_t(r)].x));
        }));
    const TWorstError worst = WorstError(result.Resistivities, expected);
    EXPECT_LE(worst.error, 0.02) << worst.Text();
    std::printf("[ two layers %g/%g h=%g a ] %s; mesh %d nodes\n", c.rho1, c.rho2, c.h, worst.Text().c_str(),
                result.MeshNodes);
}

INSTANTIATE_TEST_SUITE_P(ForwardResponse, TwoLayers,
                         ::testing::Values(TLayerCase{100, 1000, 1}, TLayerCase{100, 10, 1}, TLayerCase{100, 1000, 5},
                                           TLayerCase{100, 10, 5}, TLayerCase{50, 300, 2.5}));

} // namespace
} // namespace lp::test
