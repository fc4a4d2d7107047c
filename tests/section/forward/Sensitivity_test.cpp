// The sensitivities by the adjoint method against finite differences of
// the forward computation, and the scaling of a homogeneous ground; poles,
// parameters over several regions, and the memory the computation may take.

#include "section/forward/Sensitivity.h"

#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <array>
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

// The worst relative difference, per parameter, of the adjoint
// sensitivities from central differences of ±1 % of the resistivities of
// the parameter's regions, scaled together (against 1 % of the column's
// largest where the difference is smaller). Every region alone where no
// parameters are given.
void ExpectCentralDifferences(const TSensitivityProblem& problem, const std::vector<double>& rho, const char* what,
                              std::vector<TRegionSet> parameters = {})
{
    if (parameters.empty())
        for (int r = 0; r < problem.Regions(); ++r)
            parameters.push_back({r});
    const TSensitivityResult adjoint = problem.Compute(rho, parameters);
    std::printf("[ %s ] %d nodes, %zu wavenumbers, %zu regions, %zu data\n", what, problem.MeshNodes(),
                problem.Wavenumbers().k.size(), rho.size(), adjoint.Resistivities.size());
    for (size_t j = 0; j < parameters.size(); ++j) {
        std::vector<double> up = rho, down = rho;
        for (int r : parameters[j]) {
            up[size_t(r)] *= 1.01;
            down[size_t(r)] *= 0.99;
        }
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
        std::printf("[ %s ] parameter %zu: largest sensitivity %.4g, worst difference %.3g %% at datum %zu\n", what, j,
                    largest, 100 * worst, at + 1);
        EXPECT_LE(worst, 0.01) << what << " parameter " << j << " datum " << at + 1;
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

// A conductive block and a resistive layer under the middle of 200 m of
// 100 ohm-m: three regions of different resistivity.
TForwardModel ThreeRegionGround()
{
    test::TForwardSection section(200.0, 80.0, 100.0);
    section.AddBody({{80, 6}, {115, 6}, {115, 24}, {80, 24}}, 15.0);
    section.AddBody({{0, 35}, {200, 35}, {200, 80}, {0, 80}}, 400.0);
    return section.Ground();
}

TEST(Sensitivity, PolesAgreeWithCentralDifferencesAndTheForwardComputation)
{
    // Pole-pole, pole-dipole and dipole-pole data (B or N at infinity: no
    // such electrode) beside four-electrode ones, over the three regions.
    const TForwardModel ground = ThreeRegionGround();
    TSurvey survey;
    for (int e = 0; e < 16; ++e)
        survey.Electrodes.push_back({50.0 + 6.0 * e, 0.0});
    for (int a = 0; a < 16; a += 3) {
        for (int m = 0; m < 16; m += 2)
            if (m != a)
                survey.Configurations.push_back({a, -1, m, -1});
        for (int m = a + 1; m + 1 < 16; m += 3)
            survey.Configurations.push_back({a, -1, m, m + 1});
        if (a + 1 < 16)
            for (int m = a + 2; m < 16; m += 4)
                survey.Configurations.push_back({a, a + 1, m, -1});
        if (a + 3 < 16)
            survey.Configurations.push_back({a, a + 1, a + 2, a + 3});
    }
    const TSensitivityProblem problem(ground, survey);
    const std::vector<double> rho = RegionResistivities(ground);
    ExpectCentralDifferences(problem, rho, "poles");
    const TForwardResult forward = ComputeForwardResponse(ground, survey);
    const test::TWorstError worst = test::WorstError(problem.Compute(rho).Resistivities, forward.Resistivities);
    EXPECT_LE(worst.error, 1e-9) << worst.Text();
}

// 16 electrodes 6 m apart from x = 50, remote B 20 m off the line at
// RemoteB along it and remote N 25 m off it on the other side at RemoteN:
// pole-pole, pole-dipole, dipole-pole and B alone against dipoles on the
// line; their sensitivities against central differences and their
// response against the forward computation's.
void ExpectRemotesAgree(double RemoteB, double RemoteN, const std::string& Label)
{
    const TForwardModel ground = ThreeRegionGround();
    TSurvey survey;
    survey.Array = SchemeArrayName;
    for (int e = 0; e < 16; ++e)
        survey.Electrodes.push_back({50.0 + 6.0 * e, 0.0});
    survey.Electrodes.push_back({RemoteB, 0.0, 20.0});
    survey.Electrodes.push_back({RemoteN, 0.0, -25.0});
    const int remoteB = 16, remoteN = 17;
    for (int a = 0; a < 16; a += 2) {
        for (int m = 0; m < 16; m += 3)
            if (m != a)
                survey.Configurations.push_back({a, remoteB, m, remoteN});
        for (int m = a + 1; m + 1 < 16; m += 2)
            survey.Configurations.push_back({a, remoteB, m, m + 1});
        if (a + 2 < 16)
            survey.Configurations.push_back({a, a + 1, a + 2, remoteN});
    }
    for (int m = 0; m + 1 < 16; m += 4)
        survey.Configurations.push_back({remoteB, -1, m, m + 1});
    const TSensitivityProblem problem(ground, survey);
    const std::vector<double> rho = RegionResistivities(ground);
    ExpectCentralDifferences(problem, rho, Label.c_str());
    ExpectCentralDifferences(problem, rho, (Label + ", block and layer").c_str(), {{1, 2}});
    const TForwardResult forward = ComputeForwardResponse(ground, survey);
    const test::TWorstError worst = test::WorstError(problem.Compute(rho).Resistivities, forward.Resistivities);
    EXPECT_LE(worst.error, 1e-9) << worst.Text();
}

// Every level of a Wenner line: each datum its own current and potential
// dipole, so a region's products are formed source by source (one matrix
// product) rather than dipole by dipole as on the example's line.
TEST(Sensitivity, EveryWennerLevelAgreesWithCentralDifferencesAndTheForwardComputation)
{
    const TForwardModel ground = ThreeRegionGround();
    TSurvey survey;
    for (int e = 0; e < 20; ++e)
        survey.Electrodes.push_back({45.0 + 6.0 * e, 0.0});
    survey.Configurations = ArrayConfigurations(TArrayKind::Wenner, 20, 6);
    const TSensitivityProblem problem(ground, survey);
    const std::vector<double> rho = RegionResistivities(ground);
    ExpectCentralDifferences(problem, rho, "Wenner");
    const TForwardResult forward = ComputeForwardResponse(ground, survey);
    const test::TWorstError worst = test::WorstError(problem.Compute(rho).Resistivities, forward.Resistivities);
    EXPECT_LE(worst.error, 1e-9) << worst.Text();
}

// Remotes off the line (each pair of a current and a potential electrode
// seen through its own cos(k Δy)) were refused by name: fitting and
// inversion could not take such data. B beside the line's middle (x = 95,
// 3 m along from electrodes 8 and 9), N beside x = 195.
TEST(Sensitivity, RemotesOffTheLineAgreeWithCentralDifferencesAndTheForwardComputation)
{
    ExpectRemotesAgree(95.0, 195.0, "remotes off the line");
}

// Remotes carried out square from line electrodes were refused ("Electrodes
// 8 and 17 stand at one place (x = 92)"): B at electrode 8's x, N at
// electrode 16's (the last), each sharing that electrode's node.
TEST(Sensitivity, RemotesSquareFromLineElectrodesAgreeWithCentralDifferencesAndTheForwardComputation)
{
    ExpectRemotesAgree(92.0, 140.0, "remotes square from line electrodes");
}

// The sensitivities of a survey on the line, recorded before electrodes off
// the line were taken: every datum's single product of its dipoles, the
// line's wavenumbers. A change here changes every fit and inversion.
TEST(Sensitivity, ASurveyOnTheLineKeepsItsSensitivities)
{
    const TForwardModel ground = ThreeRegionGround();
    TArrayLayout layout;
    layout.Electrodes = 16;
    layout.Levels = 4;
    const TSurvey survey = MakeArraySurvey(layout, ground.Left, ground.Right);
    const TSensitivityProblem problem(ground, survey);
    double smallest = 0.0, largest = 0.0;
    TSurvey placed = problem.Survey();
    SurveyDistances(placed, smallest, largest);
    const TWavenumbers line = ChooseWavenumbers(smallest, largest, TForwardOptions{}.QuadratureTolerance,
                                                PadGeometry(ground, placed).Extent);
    EXPECT_EQ(problem.Wavenumbers().k, line.k);
    EXPECT_EQ(problem.Wavenumbers().w, line.w);
    const TSensitivityResult result = problem.Compute(RegionResistivities(ground), {{0}, {1}, {2}, {1, 2}});
    struct TRecorded {
        size_t datum;
        double rho;
        std::array<double, 4> J;
    };
    const TRecorded recorded[] = {
        {0, 99.177470862559062, {1.0090721395403288, -0.0026663205503051515, -0.0064058189900246202, -0.0090721395403297704}},
        {9, 104.30228187798814, {1.0313714617106242, -0.024142391074981107, -0.0072290706356446192, -0.031371461710625721}},
        {18, 25.532795707908033, {0.33491058724101641, 0.6931113721865495, -0.028021959427565215, 0.66508941275898437}},
        {27, 57.520931995157532, {0.74059823720917339, 0.27856037992064303, -0.019158617129815515, 0.25940176279082755}},
        {36, 114.11270198174083, {1.0654537771889248, -0.067034250531412987, 0.0015804733425613636, -0.065453777188851633}},
        {45, 119.63380748558974, {1.0737282375669017, -0.080514887881657213, 0.0067866503148629612, -0.073728237566794252}},
    };
    ASSERT_EQ(result.Resistivities.size(), 46u);
    // To rounding: the same computation built by another compiler differs
    // in the last digits only.
    for (const TRecorded& r : recorded) {
        EXPECT_NEAR(result.Resistivities[r.datum], r.rho, 1e-9 * r.rho) << "datum " << r.datum + 1;
        for (size_t j = 0; j < 4; ++j)
            EXPECT_NEAR(result.Jacobian(long(r.datum), long(j)), r.J[j], 1e-9) << "datum " << r.datum + 1;
    }
}

TEST(Sensitivity, AParameterOverSeveralRegionsIsTheSumOfItsRegions)
{
    const TForwardModel ground = ThreeRegionGround();
    TArrayLayout layout;
    layout.Electrodes = 20;
    layout.Levels = 5;
    layout.Spacing = 7.0;
    const TSensitivityProblem problem(ground, MakeArraySurvey(layout, ground.Left, ground.Right));
    const std::vector<double> rho = RegionResistivities(ground);
    ASSERT_EQ(rho.size(), 3u);
    // The block with the layer, every region (named twice: it counts twice),
    // and each region alone.
    const std::vector<TRegionSet> parameters{{1, 2}, {2, 0, 1}, {0, 0}, {0}, {1}, {2}};
    const TSensitivityResult result = problem.Compute(rho, parameters);
    const Eigen::MatrixXd& J = result.Jacobian;
    ASSERT_EQ(J.cols(), 6);
    const double scale = J.cwiseAbs().maxCoeff();
    EXPECT_LE((J.col(0) - J.col(4) - J.col(5)).cwiseAbs().maxCoeff(), 1e-12 * scale);
    EXPECT_LE((J.col(1) - J.col(3) - J.col(4) - J.col(5)).cwiseAbs().maxCoeff(), 1e-12 * scale);
    EXPECT_LE((J.col(2) - 2.0 * J.col(3)).cwiseAbs().maxCoeff(), 1e-12 * scale);
    // Against the response to the regions' resistivities scaled together.
    ExpectCentralDifferences(problem, rho, "block and layer", {{1, 2}, {0, 2}});
}

TEST(Sensitivity, TakesTheThreadsTheMemoryHoldsAndRefusesWhereNotOneFits)
{
    const TForwardModel ground = ThreeRegionGround();
    TArrayLayout layout;
    layout.Electrodes = 16;
    layout.Levels = 4;
    const TSurvey survey = MakeArraySurvey(layout, ground.Left, ground.Right);
    const std::vector<double> rho = RegionResistivities(ground);
    const std::vector<TRegionSet> parameters{{0}, {1}, {2}, {1, 2}};
    TForwardOptions many;
    many.Threads = 4;
    const TSensitivityProblem free(ground, survey, many);
    const double one = free.MemoryNeed(4, 1), two = free.MemoryNeed(4, 2);
    EXPECT_GT(two, one);
    EXPECT_GT(free.MemoryNeed(40, 1), one);
    EXPECT_EQ(free.MemoryNeed(4, 0), one);
    // The factor and every electrode's potentials at every node at least.
    EXPECT_GT(one, 8.0 * free.MeshNodes() * 16);
    const TSensitivityResult reference = free.Compute(rho, parameters);
    EXPECT_GT(reference.Threads, 1);

    // Room for one thread only: one thread, the same numbers (the
    // wavenumbers are summed in their order whatever the threads).
    TForwardOptions single = many;
    single.MemoryLimit = (one + two) / 2;
    const TSensitivityProblem narrow(ground, survey, single);
    const TSensitivityResult alone = narrow.Compute(rho, parameters);
    EXPECT_EQ(alone.Threads, 1);
    EXPECT_EQ(alone.Resistivities, reference.Resistivities);
    EXPECT_EQ(alone.Jacobian, reference.Jacobian);

    // Less than one thread needs: refused before any work, in megabytes.
    TForwardOptions starved = many;
    starved.MemoryLimit = 0.9 * one;
    const TSensitivityProblem refused(ground, survey, starved);
    bool progressed = false;
    try {
        refused.Compute(rho, parameters, [&](double) { return progressed = true; });
        ADD_FAILURE() << "no refusal";
    } catch (const EForwardError& error) {
        const std::string expected = "Not enough memory for the sensitivities of 16 electrodes and 4 parameters (about " +
                                     std::to_string(static_cast<long long>(one / 1e6)) + " MB; " +
                                     std::to_string(static_cast<long long>(0.9 * one / 1e6)) + " MB available).";
        EXPECT_EQ(std::string(error.what()), expected);
    }
    EXPECT_FALSE(progressed);
    // The response alone needs less: it goes on.
    EXPECT_LT(refused.MemoryNeed(0, 1), 0.9 * one);
    EXPECT_EQ(refused.Compute(rho).Resistivities, reference.Resistivities);
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

