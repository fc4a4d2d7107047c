// The sensitivities by the adjoint method against finite differences of
// the forward computation, and the scaling of a homogeneous ground.

#include "section/forward/Sensitivity.h"

#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace lp {
namespace {

std::vector<double> RegionResistivities(const TForwardModel& ground)
{
    std::vector<double> rho;
    for (const TForwardRegion& region : ground.Regions)
        rho.push_back(region.resistivity);
    return rho;
}

// The worst relative difference, per region, of the adjoint sensitivities
// from central differences of ±1 % of the region's resistivity (against
// 1 % of the column's largest where the difference is smaller).
void ExpectCentralDifferences(const TSensitivityProblem& problem, const std::vector<double>& rho, const char* what)
{
    std::vector<TRegionSet> parameters;
    for (int r = 0; r < problem.Regions(); ++r)
        parameters.push_back({r});
    const TSensitivityResult adjoint = problem.Compute(rho, parameters);
    std::printf("[ %s ] %d nodes, %zu wavenumbers, %zu regions, %zu data\n", what, problem.MeshNodes(),
                problem.Wavenumbers().k.size(), rho.size(), adjoint.Resistivities.size());
    for (size_t j = 0; j < rho.size(); ++j) {
        std::vector<double> up = rho, down = rho;
        up[j] *= 1.01;
        down[j] *= 0.99;
        const TSensitivityResult plus = problem.Compute(up), minus = problem.Compute(down);
        const double largest = adjoint.Jacobian.col(long(j)).cwiseAbs().maxCoeff();
        double worst = 0.0;
        size_t at = 0;
        for (size_t d = 0; d < plus.Resistivities.size(); ++d) {
            const double difference = (std::log(plus.Resistivities[d]) - std::log(minus.Resistivities[d])) /
                                      (std::log(1.01) - std::log(0.99));
            const double error = std::fabs(adjoint.Jacobian(long(d), long(j)) - difference) /
                                 std::max(std::fabs(difference), 0.01 * largest);
            if (error > worst) {
                worst = error;
                at = d;
            }
        }
        std::printf("[ %s ] region %zu: largest sensitivity %.4g, worst difference %.3g %% at datum %zu\n", what, j,
                    largest, 100 * worst, at + 1);
        EXPECT_LE(worst, 0.01) << what << " region " << j << " datum " << at + 1;
    }
}

TEST(Sensitivity, AgreesWithCentralDifferencesOfOnePerCentOnTheExample)
{
    const TForwardModel ground = test::ExampleGround();
    TArrayLayout layout; // 48 electrodes, dipole-dipole, six levels: 255 data
    const TSensitivityProblem problem(ground, MakeArraySurvey(layout, ground.Left, ground.Right));
    ASSERT_EQ(problem.Survey().Configurations.size(), 255u);
    ExpectCentralDifferences(problem, RegionResistivities(ground), "example");
}

TEST(Sensitivity, AgreesWithCentralDifferencesUnderARelief)
{
    // A valley 25 m deep, a 20 ohm-m block under its flank in 60 ohm-m: the
    // geometric factors from the homogeneous ground on the same mesh.
    arofcomplexM profile;
    for (auto [x, depth] : {std::pair{0.0, 0.0}, {60.0, 2.0}, {110.0, 25.0}, {150.0, 20.0}, {200.0, 4.0}, {250.0, 0.0}})
        profile.Add(MakeComplex(x, depth));
    test::TForwardSection section(250.0, 150.0, 60.0, 0.0, profile);
    section.AddBody({{130, 40}, {170, 40}, {170, 70}, {130, 70}}, 20.0);
    const TForwardModel ground = section.Ground();
    ASSERT_TRUE(ground.HasRelief);
    TArrayLayout layout;
    layout.Kind = TArrayKind::Schlumberger;
    layout.Electrodes = 24;
    layout.Levels = 5;
    layout.Spacing = 10.0;
    const TSurvey survey = MakeArraySurvey(layout, ground.Left, ground.Right);
    const TSensitivityProblem problem(ground, survey);
    ExpectCentralDifferences(problem, RegionResistivities(ground), "relief");
    // The response is the forward computation's.
    const TForwardResult forward = ComputeForwardResponse(ground, survey);
    const TSensitivityResult response = problem.Compute(RegionResistivities(ground));
    const test::TWorstError worst = test::WorstError(response.Resistivities, forward.Resistivities);
    EXPECT_LE(worst.error, 1e-9) << worst.Text();
}

TEST(Sensitivity, SumToOneOverAHomogeneousGroundAndItsResponseIsTheForwardComputations)
{
    // A 100 ohm-m half-space holding a 100 ohm-m block and a 100 ohm-m layer
    // below: three regions, one ground; ρa scales with ρ.
    test::TForwardSection section(200.0, 80.0, 100.0);
    section.AddBody({{60, 5}, {110, 5}, {110, 25}, {60, 25}}, 100.0);
    section.AddBody({{0, 40}, {200, 40}, {200, 80}, {0, 80}}, 100.0);
    const TForwardModel ground = section.Ground();
    TArrayLayout layout;
    layout.Electrodes = 16;
    layout.Levels = 4;
    const TSurvey survey = MakeArraySurvey(layout, ground.Left, ground.Right);
    const TSensitivityProblem problem(ground, survey);
    const std::vector<double> rho = RegionResistivities(ground);
    ASSERT_EQ(rho.size(), 3u);
    const TSensitivityResult result = problem.Compute(rho, {{0}, {1}, {2}, {0, 1, 2}});
    const TForwardResult forward = ComputeForwardResponse(ground, survey);
    ASSERT_EQ(result.Resistivities.size(), forward.Resistivities.size());
    double worstSum = 0.0, worstResponse = 0.0;
    for (Eigen::Index d = 0; d < result.Jacobian.rows(); ++d) {
        const double sum = result.Jacobian(d, 0) + result.Jacobian(d, 1) + result.Jacobian(d, 2);
        worstSum = std::max({worstSum, std::fabs(sum - 1.0), std::fabs(result.Jacobian(d, 3) - 1.0)});
        worstResponse = std::max(worstResponse, std::fabs(result.Resistivities[size_t(d)] /
                                                              forward.Resistivities[size_t(d)] - 1.0));
        EXPECT_GT(result.Jacobian(d, 0), 0.0) << "datum " << d + 1;
    }
    std::printf("[ homogeneous ] sums differ from 1 by up to %.2g, responses from the forward's by %.2g\n", worstSum,
                worstResponse);
    EXPECT_LE(worstSum, 1e-9);
    EXPECT_LE(worstResponse, 1e-9);
}

TEST(Sensitivity, RefusesWrongResistivitiesAndRegions)
{
    test::TForwardSection section(100.0, 40.0, 50.0);
    const TForwardModel ground = section.Ground();
    TArrayLayout layout;
    layout.Electrodes = 8;
    layout.Levels = 2;
    const TSensitivityProblem problem(ground, MakeArraySurvey(layout, ground.Left, ground.Right));
    EXPECT_THROW(problem.Compute({}), EForwardError);
    EXPECT_THROW(problem.Compute({-1.0}), EForwardError);
    EXPECT_THROW(problem.Compute({std::nan("")}), EForwardError);
    EXPECT_THROW(problem.Compute({50.0}, {{1}}), EForwardError);
    EXPECT_THROW(problem.Compute({50.0}, {}, [](double) { return false; }), EForwardCancelled);
    // Memory for not even one thread's potentials: refused, not attempted.
    TForwardOptions small;
    small.MemoryLimit = 1e5;
    const TSensitivityProblem starved(ground, MakeArraySurvey(layout, ground.Left, ground.Right), small);
    try {
        starved.Compute({50.0});
        ADD_FAILURE() << "no refusal";
    } catch (const EForwardError& error) {
        EXPECT_NE(std::string(error.what()).find("Not enough memory for the sensitivities of 8 electrodes"),
                  std::string::npos)
            << error.what();
    }
}

} // namespace
} // namespace lp
