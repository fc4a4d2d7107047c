// The forward response against analytic solutions, datum by datum: a
// homogeneous ground, two layers, a vertical contact, a relief top, the
// chargeability, a body's anomaly, and what the computation refuses.

#include "section/forward/ForwardResponse.h"

#include "section/editor/SectionFile.h"
#include "section/forward/ForwardCache.h"
#include "section/forward/ForwardSolver.h"
#include "section/survey/HoleSurvey.h"
#include "tests/section/forward/CornerGrounds.h"
#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <array>
#include <map>
#include <set>
#include <thread>

#include <sched.h>

namespace lp::test {
namespace {

std::string RefusalOf(const TForwardModel& ground, const TSurvey& survey);

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
        std::printf("[ homogeneous %s ] rhoa: %s; ip: %s; mesh %d nodes, %zu wavenumbers\n",
                    ArrayKindName(kind).c_str(), rho.Text().c_str(), eta.Text().c_str(), result.MeshNodes,
                    result.Wavenumbers.k.size());
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

// The chargeability of two polarizable layers: the image series used twice,
// with ρ and with ρ / (1 - η).
TEST(ForwardResponse, TwoLayerChargeabilityFollowsTheImageSeriesUsedTwice)
{
    const double a = 10.0, width = 250.0, h = 2 * a;
    const double rho1 = 100, rho2 = 20, eta1 = 0.02, eta2 = 0.15;
    TForwardSection section(width, 120.0, rho2, 100 * eta2);
    section.AddBody({{0, 0}, {width, 0}, {width, h}, {0, h}}, rho1, 100 * eta1);
    const TForwardResult result = ComputeForwardResponse(section.Ground(), Array(TArrayKind::Wenner, 24, 6, a, 10.0));
    std::vector<double> expected;
    for (const TConfiguration& c : result.Survey.Configurations) {
        const auto apparent = [&](double r1, double r2) {
            return AnalyticApparentResistivity(result.Survey, c, [&](int s, int r) {
                return TwoLayerPotential(r1, r2, h,
                                         std::fabs(result.Survey.Electrodes[size_t(s)].x - result.Survey.Electrodes[size_t(r)].x));
            });
        };
        expected.push_back(100.0 * (1.0 - apparent(rho1, rho2) / apparent(rho1 / (1 - eta1), rho2 / (1 - eta2))));
    }
    ASSERT_EQ(result.Chargeabilities.size(), result.Survey.Configurations.size());
    const TWorstError worst = WorstError(result.Chargeabilities, expected);
    EXPECT_LE(worst.error, 0.02) << worst.Text();
    std::printf("[ two-layer chargeability ] %s\n", worst.Text().c_str());
}

// --- Electrodes off the line ------------------------------------------------------

// 24 electrodes 10 m apart from x = 260, and a remote electrode (the last)
// at RemoteX, Across off the line: pole-dipoles with the remote as B (n = 1
// to 6), and the remote alone as A against M on the line (B and N at
// infinity), whose ρa is its potential at M over 1/(2π r).
TSurvey OffLineSurvey(double remoteX, double across)
{
    TSurvey survey;
    survey.Array = SchemeArrayName;
    for (int e = 0; e < 24; ++e)
        survey.Electrodes.push_back({260.0 + 10.0 * e, 0.0});
    survey.Electrodes.push_back({remoteX, 0.0, across});
    const int remote = 24;
    for (int n = 1; n <= 6; ++n)
        for (int i = 0; i + n + 1 < 24; ++i)
            survey.Configurations.push_back({i, remote, i + n, i + n + 1});
    for (int m = 0; m < 24; m += 3)
        survey.Configurations.push_back({remote, -1, m, -1});
    return survey;
}

// The remote's potential at M seen through the back-transform with each
// wavenumber's term multiplied by cos(k Δy); its k from distances in space.
TEST(ForwardResponse, ARemoteTenSpacingsOffTheLineGivesTheHomogeneousGroundsResistivity)
{
    const double rho = 100.0;
    const TForwardSection section(600.0, 150.0, rho);
    const TForwardResult result = ComputeForwardResponse(section.Ground(), OffLineSurvey(10.0, 100.0));
    const TWorstError worst = WorstError(result.Resistivities, std::vector<double>(result.Resistivities.size(), rho));
    EXPECT_LE(worst.error, 0.005) << worst.Text();
    // The remote as A alone: k = 2π r with r in space (250 m along, 100 m across to x = 260).
    const size_t alone = result.Survey.Configurations.size() - 8;
    EXPECT_NEAR(result.GeometricFactors.at(alone), 2 * std::numbers::pi * std::hypot(250.0, 100.0), 1e-9);
    std::printf("[ remote 10 spacings off the line ] %s; %zu wavenumbers\n", worst.Text().c_str(),
                result.Wavenumbers.k.size());
}

// Two layers: the potential depends on the horizontal distance in space
// only, so the image series at that distance is the answer.
TEST(ForwardResponse, ARemoteOffTheLineOverTwoLayersFollowsTheImageSeries)
{
    const double rho1 = 50.0, rho2 = 300.0, h = 20.0, width = 600.0;
    TForwardSection section(width, 150.0, rho2);
    section.AddBody({{0, 0}, {width, 0}, {width, h}, {0, h}}, rho1);
    const TForwardResult result = ComputeForwardResponse(section.Ground(), OffLineSurvey(10.0, 100.0));
    const TSurvey& survey = result.Survey;
    std::vector<double> expected;
    for (const TConfiguration& c : survey.Configurations)
        expected.push_back(AnalyticApparentResistivity(survey, c, [&](int s, int r) {
            const TElectrode& p = survey.Electrodes[size_t(s)];
            const TElectrode& q = survey.Electrodes[size_t(r)];
            return TwoLayerPotential(rho1, rho2, h, std::hypot(p.x - q.x, p.y - q.y));
        }));
    const TWorstError worst = WorstError(result.Resistivities, expected);
    EXPECT_LE(worst.error, 0.02) << worst.Text();
    std::printf("[ remote off the line, two layers ] %s\n", worst.Text().c_str());
}

// 48 electrodes Spacing apart from First and a remote electrode (the last)
// at Remote: pole-dipoles with the remote as B (n = 1 to 6), and the
// remote alone as A against every M on the line.
TSurvey LineWithRemote(double First, double Spacing, const TElectrode& Remote)
{
    TSurvey survey;
    survey.Array = SchemeArrayName;
    for (int e = 0; e < 48; ++e)
        survey.Electrodes.push_back({First + Spacing * e, 0.0});
    survey.Electrodes.push_back(Remote);
    const int remote = 48;
    for (int n = 1; n <= 6; ++n)
        for (int i = 0; i + n + 1 < 48; ++i)
            survey.Configurations.push_back({i, remote, i + n, i + n + 1});
    for (int m = 0; m < 48; ++m)
        survey.Configurations.push_back({remote, -1, m, -1});
    return survey;
}

// 48 electrodes 10 m apart from x = 65 and the remote Across off the line
// beside the middle (x = 300, 5 m along the line from electrodes 24 and 25).
TSurvey BesideTheLine(double across)
{
    return LineWithRemote(65.0, 10.0, {300.0, 0.0, across});
}

// The worst error of the computed ΔU against the analytic one, relative to
// the larger of its two current electrodes' parts |U(C, M) - U(C, N)|: a
// pole-dipole whose remote's part nearly cancels its A part (the remote
// beside M and N) measures next to nothing (a geometric factor of 36,000
// m where its neighbours have 700), and the relative error of its ρa says
// nothing of the computation.
TWorstError WorstPartError(const TForwardResult& result, const std::function<double(int, int)>& potential)
{
    TWorstError worst;
    for (size_t d = 0; d < result.Survey.Configurations.size(); ++d) {
        const TConfiguration& c = result.Survey.Configurations[d];
        const auto part = [&](int current) {
            if (current < 0)
                return 0.0;
            return (c.m >= 0 ? potential(current, c.m) : 0.0) - (c.n >= 0 ? potential(current, c.n) : 0.0);
        };
        const double exact = part(c.a) - part(c.b);
        const double error = std::fabs(result.Voltages.at(d) - exact) / std::max(std::fabs(part(c.a)), std::fabs(part(c.b)));
        if (!(error <= worst.error))
            worst = {error, d, result.Voltages[d], exact};
    }
    return worst;
}

// 48 electrodes 3 m apart from x = 0 and the remote 20 m off the line,
// carried out square from electrode 24 (x = 69) and then Along further; the
// remote alone as A meets electrode 24 among the M.
TSurvey SquareFromElectrode24(double along)
{
    return LineWithRemote(0.0, 3.0, {69.0 + along, 0.0, 20.0});
}

// The worst errors of a survey whose last 48 data are its remote's own
// potentials (the remote against each M), against the analytic answer
// Potential(source, receiver) gives: those data's ρa, and every datum's ΔU
// against its larger part.
template <typename TPotential>
std::pair<TWorstError, TWorstError> RemoteErrors(const TForwardResult& Result, const TPotential& Potential)
{
    const TSurvey& survey = Result.Survey;
    std::vector<double> expected;
    for (const TConfiguration& c : survey.Configurations)
        expected.push_back(AnalyticApparentResistivity(survey, c, Potential));
    const size_t first = survey.Configurations.size() - 48;
    return {WorstError(std::vector<double>(Result.Resistivities.begin() + long(first), Result.Resistivities.end()),
                       std::vector<double>(expected.begin() + long(first), expected.end())),
            WorstPartError(Result, Potential)};
}

// A remote at a line electrode's x and 20 m off the line was refused
// ("Electrodes 24 and 49 stand at one place (x = 69)"). Over a homogeneous
// ground, the remote's own potentials (its ρa against each M, electrode 24
// beside it too) and every datum's ΔU (against its larger part) within
// 0.5 % of the analytic answer: at electrode 24's x exactly (the remote
// shares its node: the mesh is the line's own) and 1 mm further along.
TEST(ForwardResponse, ARemoteSquareFromALineElectrodeFollowsTheAnalyticAnswer)
{
    const double rho = 50.0;
    const TForwardSection section(150.0, 60.0, rho);
    TSurvey line = SquareFromElectrode24(0.0);
    line.Electrodes.pop_back();
    line.Configurations = {{0, 1, 2, 3}};
    const TForwardResult alone = ComputeForwardResponse(section.Ground(), line);
    for (const double along : {0.0, 0.001}) {
        const TForwardResult result = ComputeForwardResponse(section.Ground(), SquareFromElectrode24(along));
        const TSurvey& survey = result.Survey;
        const auto potential = [&](int s, int r) {
            const TElectrode& p = survey.Electrodes[size_t(s)];
            const TElectrode& q = survey.Electrodes[size_t(r)];
            return HalfSpacePotential(rho, std::hypot(p.x - q.x, p.y - q.y));
        };
        const auto [remote, parts] = RemoteErrors(result, potential);
        const size_t first = survey.Configurations.size() - 48;
        EXPECT_LE(remote.error, 0.005) << along << " m along: " << remote.Text();
        EXPECT_LE(parts.error, 0.005) << along << " m along: " << parts.Text();
        // Beside electrode 24: k = 2π · 20 m.
        EXPECT_NEAR(result.Resistivities.at(first + 23), rho, 0.005 * rho) << along << " m along";
        if (along == 0.0) {
            EXPECT_EQ(result.MeshNodes, alone.MeshNodes);
        }
        std::printf("[ remote square from electrode 24, %g m along ] the remote alone: %s; every datum's dU against "
                    "its larger part: %s; %zu wavenumbers, %d nodes (the line alone %d), %.2f s\n",
                    along, remote.Text().c_str(), parts.Text().c_str(), result.Wavenumbers.k.size(), result.MeshNodes,
                    alone.MeshNodes, result.Times.Total);
    }
}

// A remote beside the middle of the line, far nearer along it than across
// (10 and 2 spacings off it), was refused: the line's log-spaced rule
// cannot follow cos(k Δy). Homogeneous ground and two layers (the image
// series at the distance in space): the remote's own potentials (its ρa
// against each M) and every datum's ΔU (against its larger part) within
// 0.5 %.
TEST(ForwardResponse, ARemoteBesideTheMiddleOfTheLineFollowsTheAnalyticAnswers)
{
    const double rho1 = 50.0, rho2 = 300.0, h = 20.0, width = 600.0;
    TForwardSection homogeneous(width, 150.0, rho1);
    TForwardSection layered(width, 150.0, rho2);
    layered.AddBody({{0, 0}, {width, 0}, {width, h}, {0, h}}, rho1);
    for (double across : {100.0, 20.0}) {
        for (const bool twoLayers : {false, true}) {
            const TForwardResult result =
                ComputeForwardResponse((twoLayers ? layered : homogeneous).Ground(), BesideTheLine(across));
            const TSurvey& survey = result.Survey;
            const auto potential = [&](int s, int r) {
                const TElectrode& p = survey.Electrodes[size_t(s)];
                const TElectrode& q = survey.Electrodes[size_t(r)];
                const double distance = std::hypot(p.x - q.x, p.y - q.y);
                return twoLayers ? TwoLayerPotential(rho1, rho2, h, distance)
                                 : rho1 / (2 * std::numbers::pi * distance);
            };
            const auto [remote, parts] = RemoteErrors(result, potential);
            const char* ground = twoLayers ? "two layers" : "homogeneous";
            EXPECT_LE(remote.error, 0.005) << across << " m across, " << ground << ": " << remote.Text();
            EXPECT_LE(parts.error, 0.005) << across << " m across, " << ground << ": " << parts.Text();
            std::printf("[ remote %g m beside the middle, %s ] the remote alone: %s; every datum's dU against its "
                        "larger part: %s; %zu wavenumbers, %.2f s\n",
                        across, ground, remote.Text().c_str(), parts.Text().c_str(), result.Wavenumbers.k.size(),
                        result.Times.Total);
        }
    }
}

// Pole-dipoles on the line over a conductive block and a resistive layer
// in 100 ohm-m, recorded before electrodes off the line took a rule of
// their own: a survey on the line keeps the line's wavenumbers and its
// response.
TEST(ForwardResponse, ASurveyOnTheLineKeepsItsWavenumbersAndResponse)
{
    TForwardSection section(200.0, 80.0, 100.0);
    section.AddBody({{80, 6}, {115, 6}, {115, 24}, {80, 24}}, 15.0);
    section.AddBody({{0, 35}, {200, 35}, {200, 80}, {0, 80}}, 400.0);
    TSurvey survey;
    for (int e = 0; e < 16; ++e)
        survey.Electrodes.push_back({50.0 + 6.0 * e, 0.0});
    for (int a = 0; a < 16; a += 3)
        for (int m = 0; m + 1 < 16; m += 2)
            if (m != a && m + 1 != a)
                survey.Configurations.push_back({a, -1, m, m + 1});
    const TForwardResult result = ComputeForwardResponse(section.Ground(), survey);
    double smallest = 0.0, largest = 0.0;
    SurveyDistances(result.Survey, smallest, largest);
    const TWavenumbers line = ChooseWavenumbers(smallest, largest, TForwardOptions{}.QuadratureTolerance,
                                                PadGeometry(section.Ground(), result.Survey).Extent);
    EXPECT_EQ(result.Wavenumbers.k, line.k);
    EXPECT_EQ(result.Wavenumbers.w, line.w);
    ASSERT_EQ(result.Resistivities.size(), 42u);
    // To rounding: the same computation built by another compiler differs
    // in the last digits only.
    for (const auto& [datum, rho] : {std::pair<size_t, double>{0, 106.32544868960996}, {8, 105.39553982433551},
                                     {16, 76.590437825197625}, {24, 45.833698151677133}, {32, 44.707138162725073},
                                     {40, 93.463426186727403}})
        EXPECT_NEAR(result.Resistivities[datum], rho, 1e-9 * rho) << "datum " << datum + 1;
}

// --- Vertical contact -------------------------------------------------------------

TEST(ForwardResponse, AVerticalContactFollowsItsImageSolution)
{
    const double a = 10.0, width = 250.0, x0 = 125.0; // the contact halfway between electrodes 12 (120) and 13 (130)
    for (const std::pair<double, double>& contrast : {std::pair{100.0, 1000.0}, std::pair{100.0, 10.0}}) {
        const double rho1 = contrast.first, rho2 = contrast.second;
        TForwardSection section(width, 120.0, rho1);
        section.AddBody({{x0, 0}, {width, 0}, {width, 120.0}, {x0, 120.0}}, rho2);
        const TForwardResult result =
            ComputeForwardResponse(section.Ground(), Array(TArrayKind::DipoleDipole, 24, 6, a, 10.0));
        const auto potential = [&](int s, int r) {
            const double xs = result.Survey.Electrodes[size_t(s)].x, xr = result.Survey.Electrodes[size_t(r)].x;
            // The source's side: its resistivity and contrast; the other side mirrored.
            const bool left = xs < x0;
            const double own = left ? rho1 : rho2, other = left ? rho2 : rho1;
            const double kappa = (other - own) / (other + own);
            if ((xr < x0) == left)
                return own / (2 * std::numbers::pi) * (1 / std::fabs(xr - xs) + kappa / std::fabs(xr - (2 * x0 - xs)));
            return own / (2 * std::numbers::pi) * (1 + kappa) / std::fabs(xr - xs);
        };
        std::vector<double> expected;
        for (const TConfiguration& c : result.Survey.Configurations)
            expected.push_back(AnalyticApparentResistivity(result.Survey, c, potential));
        const TWorstError worst = WorstError(result.Resistivities, expected);
        EXPECT_LE(worst.error, 0.02) << rho1 << "/" << rho2 << ": " << worst.Text();
        std::printf("[ vertical contact %g/%g ] %s\n", rho1, rho2, worst.Text().c_str());
    }
}

// --- Long pole-dipoles over conductive structures ----------------------------------------

// 48 electrodes 6 m apart over the middle of a 1000 m section, pole-dipoles
// of n = 1 .. 6 (a 6 m dipole 6 to 36 m from the pole) both ways: 522 data.
TSurvey LongPoleDipoles()
{
    TArrayLayout layout;
    layout.Electrodes = 48;
    layout.Spacing = 6.0;
    layout.Levels = 1;
    TSurvey survey = MakeArraySurvey(layout, 0.0, 1000.0);
    survey.Configurations.clear();
    for (int a = 0; a < 48; ++a)
        AddPoleDipoles(survey, a, 6);
    survey.Array = SchemeArrayName;
    return survey;
}

// The response by the 2.5-D transform integrated in full, independent of the
// program's wavenumber rule: the ground's own mesh and finite elements (as
// ComputeForwardResponse makes them), the back-transform by the trapezoidal
// rule in ln k, 0.2 apart from 1e-10 to 10 / m (127 wavenumbers), which
// converges geometrically for the transform's smooth integrand at every
// distance the mesh holds (0.1 apart changes no datum by a part in 1e8). Flat
// surface: k of the flat ground. Only the electrode pairs the data use are
// summed.
TSurveyResponse ResponseTransformedInFull(const TForwardModel& ground, TSurvey survey)
{
    TWavenumbers dense;
    constexpr double step = 0.2;
    for (double t = std::log(1e-10); t <= std::log(10.0); t += step) {
        dense.k.push_back(std::exp(t));
        dense.w.push_back(step * std::exp(t));
    }
    // The rule brings 1/r back from the spacing to 10 km.
    EXPECT_LE(PointSourceError(dense, 6.0, 1e4), 1e-5);
    PlaceSurvey(survey, ground);
    const TMeshSetup setup(PadGeometry(ground, survey));
    const double middle = (survey.Electrodes.front().x + survey.Electrodes.back().x) / 2;
    const TGeometryPoint centre{middle, SurfaceElevation(ground, middle)};
    std::set<std::pair<int, int>> pairs; // source, receiver
    for (const TConfiguration& c : survey.Configurations)
        pairs.insert({{c.a, c.m}, {c.a, c.n}});
    const auto potentials = [&](bool charged) {
        std::vector<double> conductivity;
        for (const TForwardRegion& region : ground.Regions)
            conductivity.push_back((charged ? 1.0 - region.polarizability : 1.0) / region.resistivity);
        const auto electrodes = static_cast<Eigen::Index>(survey.Electrodes.size());
        Eigen::MatrixXd total = Eigen::MatrixXd::Zero(electrodes, electrodes);
        TSystemFactor factor(setup.Analysis);
        for (size_t i = 0; i < dense.k.size(); ++i) {
            factor.Factorise(AssembleSystem(setup.Mesh, setup.Elements, setup.Pattern, conductivity, dense.k[i], centre));
            std::vector<TPathVector> paths;
            for (int node : setup.Mesh.ElectrodeNodes)
                paths.push_back(factor.PathSolve(node));
            for (const auto& [s, r] : pairs)
                total(s, r) += dense.w[i] * 0.5 * PathProduct(paths[size_t(r)], paths[size_t(s)]);
        }
        return Eigen::MatrixXd((2.0 / std::numbers::pi) * total);
    };
    const Eigen::MatrixXd u = potentials(false), charged = potentials(true);
    TSurveyResponse response;
    for (const TConfiguration& c : survey.Configurations) {
        const double k = FlatGeometricFactor(survey, c);
        const auto du = [&](const Eigen::MatrixXd& p) { return p(c.a, c.m) - p(c.a, c.n); }; // B at infinity
        response.Resistivities.push_back(k * du(u));
        response.Chargeabilities.push_back(100.0 * (1.0 - du(u) / du(charged)));
    }
    response.Survey = std::move(survey);
    return response;
}

// The graben of the test data: 25 ohm-m fill with 8 % polarizability from
// 6 to 50 m depth under x 450 .. 550 (470 .. 530 at its floor), under a
// 6 m cover of 150 ohm-m on 1200 ohm-m bedrock.
TForwardModel FileGraben(double fill, double bedrock)
{
    std::ifstream file(LP_FORWARD_DATA_DIR "/graben-pole-dipole.sec", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    TSectionModel section;
    EXPECT_TRUE(ParseSectionModelBlock(bytes, section));
    TForwardModel ground = PrepareForwardModel(section.Model, section.Nodes, section.ModelArea);
    for (TForwardRegion& region : ground.Regions)
        if (region.resistivity == 25.0)
            region.resistivity = fill;
        else if (region.resistivity == 1200.0)
            region.resistivity = bedrock;
    return ground;
}

// Guards long pole-dipoles over a conductive graben 4 % high (15 % at a
// contrast of 2,000): the wavenumbers, fitted to three times the longest
// electrode distance only, missed the current the fill guides along strike.
TEST(ForwardResponse, LongPoleDipolesOverAConductiveGrabenFollowTheTransformIntegratedInFull)
{
    for (const auto& [fill, bedrock] : {std::pair{25.0, 1200.0}, std::pair{5.0, 10000.0}}) {
        const TForwardModel ground = FileGraben(fill, bedrock);
        const TForwardResult result = ComputeForwardResponse(ground, LongPoleDipoles());
        ASSERT_EQ(result.Resistivities.size(), 522u);
        const TSurveyResponse full = ResponseTransformedInFull(ground, result.Survey);
        const TWorstError rho = WorstError(result.Resistivities, full.Resistivities);
        EXPECT_LE(rho.error, 0.005) << fill << " in " << bedrock << " ohm-m: " << rho.Text();
        double eta = 0.0;
        for (size_t d = 0; d < result.Chargeabilities.size(); ++d)
            eta = std::max(eta, std::fabs(result.Chargeabilities[d] - full.Chargeabilities[d]));
        EXPECT_LE(eta, 0.05) << fill << " in " << bedrock << " ohm-m";
        std::printf("[ graben %g in %g ohm-m, pole-dipoles ] %zu wavenumbers; rhoa against the full transform: %s; "
                    "ip: worst %.4f per cent\n",
                    fill, bedrock, result.Wavenumbers.k.size(), rho.Text().c_str(), eta);
    }
}

// The slab solution of the fixtures against the images of one contact and the half-space.
TEST(ForwardResponse, TheSlabSolutionGivesTheImagesOfOneContact)
{
    const double rho1 = 1200.0, rho2 = 25.0, x0 = 100.0, kappa = (rho2 - rho1) / (rho2 + rho1);
    for (const auto& [xs, x] : {std::pair{40.0, 94.0}, std::pair{40.0, 10.0}, std::pair{96.0, 140.0}}) {
        const double expected =
            x < x0 ? rho1 / (2 * std::numbers::pi) * (1 / std::fabs(x - xs) + kappa / std::fabs(x - (2 * x0 - xs)))
                   : rho1 / (2 * std::numbers::pi) * (1 + kappa) / std::fabs(x - xs);
        EXPECT_NEAR(VerticalContactsPotential({x0}, {rho1, rho2}, xs, x) / expected, 1.0, 1e-9) << xs << " to " << x;
    }
    EXPECT_NEAR(VerticalContactsPotential({50.0, 80.0}, {30.0, 30.0, 30.0}, 10.0, 100.0), HalfSpacePotential(30.0, 90.0),
                1e-9 * HalfSpacePotential(30.0, 90.0));
}

// A third answer independent of any mesh: a conductive dyke from the
// surface down (25 ohm-m, 60 m wide, in 1200 ohm-m), whose current runs
// along strike as in the graben, under the same long pole-dipoles.
TEST(ForwardResponse, LongPoleDipolesOverAConductiveDykeFollowTheSlabSolution)
{
    const double host = 1200.0, dyke = 25.0, left = 470.0, right = 530.0, depth = 200.0;
    TForwardSection section(1000.0, depth, host);
    section.AddBody({{left, 0}, {right, 0}, {right, depth}, {left, depth}}, dyke);
    const TForwardResult result = ComputeForwardResponse(section.Ground(), LongPoleDipoles());
    std::vector<double> expected;
    for (const TConfiguration& c : result.Survey.Configurations)
        expected.push_back(AnalyticApparentResistivity(result.Survey, c, [&](int s, int r) {
            return VerticalContactsPotential({left, right}, {host, dyke, host}, result.Survey.Electrodes[size_t(s)].x,
                                             result.Survey.Electrodes[size_t(r)].x);
        }));
    const TWorstError worst = WorstError(result.Resistivities, expected);
    EXPECT_LE(worst.error, 0.01) << worst.Text();
    std::printf("[ dyke 25 in 1200 ohm-m, pole-dipoles ] %s\n", worst.Text().c_str());
}

// --- Relief -----------------------------------------------------------------------------

TEST(ForwardResponse, AReliefOverAHomogeneousGroundGivesItsResistivity)
{
    // A valley 25 m deep across the middle of the line.
    arofcomplexM profile;
    for (auto [x, depth] : {std::pair{0.0, 0.0}, {60.0, 2.0}, {110.0, 25.0}, {150.0, 20.0}, {200.0, 4.0}, {250.0, 0.0}})
        profile.Add(MakeComplex(x, depth));
    const TForwardSection section(250.0, 150.0, 60.0, 0.0, profile);
    const TForwardModel ground = section.Ground();
    ASSERT_TRUE(ground.HasRelief);
    const TForwardResult result = ComputeForwardResponse(ground, Array(TArrayKind::Schlumberger, 24, 5, 10.0, 10.0));
    // The electrodes stand on the surface.
    EXPECT_DOUBLE_EQ(result.Survey.Electrodes[10].z, -25.0); // x = 110
    EXPECT_DOUBLE_EQ(result.Survey.Electrodes[0].z, -2.0 * 10 / 60);
    const TWorstError worst = WorstError(result.Resistivities, std::vector<double>(result.Resistivities.size(), 60.0));
    EXPECT_LE(worst.error, 0.01) << worst.Text();
    // The computed geometric factors differ from the flat ones where the valley is.
    double largest = 0.0;
    for (size_t d = 0; d < result.GeometricFactors.size(); ++d)
        largest = std::max(largest, std::fabs(result.GeometricFactors[d] /
                                              FlatGeometricFactor(result.Survey, result.Survey.Configurations[d]) - 1));
    EXPECT_GT(largest, 0.02);
    std::printf("[ relief ] %s; geometric factors up to %.1f %% off the flat ones\n", worst.Text().c_str(), 100 * largest);
}

TEST(ForwardResponse, OnASlopeTheGeometricFactorIsThatOfTheTiltedHalfSpace)
{
    // A plane slope (about 9.5 degrees) far beyond the electrodes: the ground
    // there is a tilted half-space, whose potential is ρ / (2π r) with r
    // measured along the slope.
    arofcomplexM profile;
    for (auto [x, depth] : {std::pair{0.0, 0.0}, {600.0, 100.0}})
        profile.Add(MakeComplex(x, depth));
    const TForwardSection section(600.0, 300.0, 30.0, 0.0, profile);
    const TForwardResult result =
        ComputeForwardResponse(section.Ground(), Array(TArrayKind::DipoleDipole, 24, 4, 10.0, 185.0));
    std::vector<double> expected;
    for (const TConfiguration& c : result.Survey.Configurations) {
        const auto inverse = [&](int current, int potential) {
            const TElectrode &p = result.Survey.Electrodes[size_t(current)], &q = result.Survey.Electrodes[size_t(potential)];
            return 1.0 / std::hypot(p.x - q.x, p.z - q.z);
        };
        expected.push_back(2 * std::numbers::pi / (inverse(c.a, c.m) - inverse(c.a, c.n) - inverse(c.b, c.m) + inverse(c.b, c.n)));
    }
    const TWorstError worst = WorstError(result.GeometricFactors, expected);
    EXPECT_LE(worst.error, 0.02) << worst.Text();
    std::printf("[ slope ] geometric factors: %s\n", worst.Text().c_str());
}

TEST(ForwardResponse, CurrentAndPotentialElectrodesSwappedGiveTheSameDatumOverAnyGround)
{
    // A relief and a polarizable body reaching the surface, electrodes on its
    // corners and on the model area's corners, poles among the configurations.
    arofcomplexM profile;
    for (auto [x, depth] : {std::pair{0.0, 5.0}, {40.0, 0.0}, {80.0, 12.0}, {120.0, 3.0}})
        profile.Add(MakeComplex(x, depth));
    TForwardSection section(120.0, 60.0, 50.0, 3.0, profile);
    section.AddBody({{40, 0}, {80, 12}, {70, 30}, {45, 25}}, 500.0, 10.0, "Outcrop");
    TSurvey survey;
    for (double x : {0.0, 10.0, 40.0, 50.0, 80.0, 100.0, 120.0})
        survey.Electrodes.push_back({x, 0.0});
    survey.Configurations = {{1, 2, 3, 4}, {4, 3, 2, 1}, {0, -1, 5, 6}, {5, 6, 0, -1}, {2, -1, 4, -1}, {4, -1, 2, -1}};
    const TForwardResult result = ComputeForwardResponse(section.Ground(), survey);
    for (size_t d = 0; d < result.Resistivities.size(); d += 2) {
        EXPECT_NEAR(result.Resistivities[d + 1] / result.Resistivities[d], 1.0, 1e-8) << "datum " << d + 1;
        EXPECT_NEAR(result.Chargeabilities[d + 1], result.Chargeabilities[d], 1e-6) << "datum " << d + 1;
        EXPECT_TRUE(std::isfinite(result.GeometricFactors[d]));
        EXPECT_GT(result.Resistivities[d], 0.0);
    }
}

// --- The example ------------------------------------------------------------------

TSectionModel ReadExample()
{
    std::ifstream file(LP_EXAMPLES_DIR "/example.sec", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    TSectionModel section;
    EXPECT_TRUE(ParseSectionModelBlock(bytes, section));
    return section;
}


// The mean apparent resistivity of the configurations whose middle lies over x1 .. x2.
double MeanOver(const TForwardResult& result, double x1, double x2)
{
    double sum = 0.0;
    int count = 0;
    for (size_t d = 0; d < result.Survey.Configurations.size(); ++d) {
        const TConfiguration& c = result.Survey.Configurations[d];
        const double middle = (result.Survey.Electrodes[size_t(c.a)].x + result.Survey.Electrodes[size_t(c.n)].x) / 2;
        if (middle > x1 && middle < x2) {
            sum += result.Resistivities[d];
            ++count;
        }
    }
    EXPECT_GT(count, 0);
    return sum / count;
}

TEST(ForwardResponse, AResistiveBodyRaisesAndAConductiveOneLowersTheApparentResistivity)
{
    // The example's sandstone (x 100 .. 450 at 20 .. 120 m depth) in a 100 ohm-m host, its other rings 100 ohm-m too.
    TSectionModel section = ReadExample();
    const auto compute = [&](double body) {
        for (int b = 1; b < section.Model.Length(); ++b)
            for (Polygon& ring : section.Model[b])
                ring.params[psResistivity] = 100.0;
        section.Model[1][0].params[psResistivity] = body;
        TArrayLayout layout;
        layout.Electrodes = 32;
        layout.Levels = 4;
        return ComputeForwardResponse(PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, 100.0),
                                      MakeArraySurvey(layout, 0.0, 1000.0));
    };
    const TForwardResult resistive = compute(1000.0), conductive = compute(10.0);
    EXPECT_GT(MeanOver(resistive, 150, 400), 110.0);
    EXPECT_LT(MeanOver(conductive, 150, 400), 90.0);
    // Far from the body the ground is the host's.
    EXPECT_NEAR(MeanOver(resistive, 700, 950), 100.0, 3.0);
    EXPECT_NEAR(MeanOver(conductive, 700, 950), 100.0, 3.0);
}

TEST(ForwardResponse, TheOrderOfNodesAndRingsInTheFileChangesNothing)
{
    const TSectionModel section = ReadExample();
    // Nodes numbered backwards (the frame's four corners stay first, as the
    // file format requires), bodies and rings listed backwards.
    TSectionModel shuffled = section;
    const int n = section.Nodes.Length();
    std::vector<int> newIndex(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        newIndex[size_t(i)] = i < 4 ? i : n - 1 - (i - 4);
    for (int i = 0; i < n; ++i)
        shuffled.Nodes[newIndex[size_t(i)]] = section.Nodes[i];
    for (SPolygon& body : shuffled.Model)
        for (Polygon& ring : body)
            for (int& node : ring.ring)
                node = newIndex[size_t(node)];
    AllSpolygon reordered;
    reordered.Add(shuffled.Model[0]);
    for (int b = shuffled.Model.High(); b >= 1; --b) {
        SPolygon body;
        for (int r = shuffled.Model[b].High(); r >= 0; --r)
            body.Add(shuffled.Model[b][r]);
        reordered.Add(body);
    }
    shuffled.Model = reordered;
    TArrayLayout layout;
    layout.Electrodes = 24;
    layout.Levels = 4;
    const auto compute = [&](const TSectionModel& s) {
        return ComputeForwardResponse(PrepareForwardModel(s.Model, s.Nodes, s.ModelArea, 100.0),
                                      MakeArraySurvey(layout, 0.0, 1000.0));
    };
    const TForwardResult first = compute(section), second = compute(shuffled);
    EXPECT_EQ(first.MeshNodes, second.MeshNodes);
    ASSERT_EQ(first.Resistivities.size(), second.Resistivities.size());
    const TWorstError worst = WorstError(second.Resistivities, first.Resistivities);
    EXPECT_LE(worst.error, 1e-9) << worst.Text();
    const TWorstError ip = WorstError(second.Chargeabilities, first.Chargeabilities);
    EXPECT_LE(ip.error, 1e-6) << ip.Text();
}

// --- Progress and cancelling ---------------------------------------------------------

TEST(ForwardResponse, ProgressRisesToTheEndAndACancelStopsTheComputation)
{
    TForwardSection section(250.0, 100.0, 50.0);
    section.AddBody({{100, 10}, {150, 10}, {150, 40}, {100, 40}}, 500.0);
    const TForwardModel ground = section.Ground();
    const TSurvey survey = Array(TArrayKind::DipoleDipole, 12, 3, 20.0, 10.0);
    std::vector<double> reported;
    TForwardOptions options;
    options.Threads = 2;
    ComputeForwardResponse(ground, survey, options, [&](double fraction) {
        reported.push_back(fraction);
        return true;
    });
    ASSERT_GE(reported.size(), 3u);
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_DOUBLE_EQ(reported.back(), 1.0);

    int calls = 0;
    EXPECT_THROW(ComputeForwardResponse(ground, survey, options, [&](double) { return ++calls < 3; }), EForwardCancelled);
    EXPECT_EQ(calls, 3); // nothing reported after the cancel
}


// Guards a cancel that waited for the whole wavenumber (a solution for every
// current electrode on a large mesh) before the computation looked at it.
TEST(ForwardResponse, ACancelInsideAWavenumberStopsBeforeTheNextBlock)
{
    TForwardSection section(250.0, 100.0, 50.0, 5.0);
    const TSurvey survey = Array(TArrayKind::DipoleDipole, 12, 3, 20.0, 10.0);
    TForwardOptions options;
    options.Threads = 1;
    options.BlockElectrodes = 2;
    // A whole run: a call before and after each factorisation and after
    // each block of two electrodes.
    std::vector<double> reported;
    const TForwardResult whole = ComputeForwardResponse(section.Ground(), survey, options, [&](double fraction) {
        reported.push_back(fraction);
        return true;
    });
    const size_t tasks = 2 * whole.Wavenumbers.k.size(); // the ground and the charged ground
    const size_t blocks = 6;                              // the 12 electrodes, two a block
    EXPECT_EQ(reported.size(), 1 + tasks * (2 + blocks) + 1);
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    // Cancelled after the first block of the first wavenumber: nothing is
    // solved or reported after it.
    const double firstWavenumberDone = 0.1 + 0.9 / static_cast<double>(tasks);
    std::vector<double> untilCancel;
    EXPECT_THROW(ComputeForwardResponse(section.Ground(), survey, options,
                                        [&](double fraction) {
                                            untilCancel.push_back(fraction);
                                            return untilCancel.size() < 4; // mesh, factorise, factorised, one block
                                        }),
                 EForwardCancelled);
    ASSERT_EQ(untilCancel.size(), 4u);
    EXPECT_GT(untilCancel.back(), 0.1);
    EXPECT_LT(untilCancel.back(), firstWavenumberDone);
}

// --- Threads and memory ---------------------------------------------------------------

int ThreadsOfTheProcess()
{
    int threads = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        threads += entry.is_directory() ? 1 : 0;
    return threads;
}

TForwardResult SmallComputation(const TForwardOptions& options, const TForwardProgress& progress = {})
{
    TForwardSection section(250.0, 100.0, 50.0, 4.0);
    section.AddBody({{100, 10}, {150, 10}, {150, 40}, {100, 40}}, 500.0, 12.0);
    return ComputeForwardResponse(section.Ground(), Array(TArrayKind::Wenner, 16, 3, 15.0, 5.0), options, progress);
}

void ExpectSameData(const TForwardResult& result, const TForwardResult& reference, const std::string& what)
{
    EXPECT_EQ(result.Resistivities, reference.Resistivities) << what;
    EXPECT_EQ(result.Chargeabilities, reference.Chargeabilities) << what;
    EXPECT_EQ(result.GeometricFactors, reference.GeometricFactors) << what;
}

TEST(ForwardResponse, EveryThreadCountAndBlockSizeGivesTheSameDataBitForBit)
{
    TForwardOptions options;
    options.Threads = 1;
    const TForwardResult single = SmallComputation(options);
    for (auto [threads, block] : {std::pair{1, 1}, {2, 3}, {3, 7}, {2, 0}, {3, 0}}) {
        options.Threads = threads;
        options.BlockElectrodes = block;
        const TForwardResult result = SmallComputation(options);
        EXPECT_EQ(result.Threads, threads);
        ExpectSameData(result, single, std::to_string(threads) + " threads, " + std::to_string(block) + " electrodes a block");
    }
}

// Guards a computation that started a thread for every core of the machine
// when the process was allowed a few (taskset), each holding a solution of
// every node.
TEST(ForwardResponse, ThreadsFollowTheCoresTheProcessMayRunOn)
{
    const TForwardResult unrestricted = SmallComputation({});
    EXPECT_EQ(unrestricted.Threads, std::min(UsableCores(), 2 * static_cast<int>(unrestricted.Wavenumbers.k.size())));
    int cores = 0, before = 0, most = 0;
    TForwardResult restricted;
    std::thread computing([&] {
        // This thread and those it starts may run on one core only.
        cpu_set_t allowed, one;
        ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &allowed)) {
                CPU_SET(cpu, &one);
                break;
            }
        ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
        cores = UsableCores();
        before = ThreadsOfTheProcess();
        restricted = SmallComputation({}, [&](double) {
            most = std::max(most, ThreadsOfTheProcess());
            return true;
        });
    });
    computing.join();
    EXPECT_EQ(cores, 1);
    EXPECT_EQ(most, before); // no thread started
    EXPECT_EQ(restricted.Threads, 1);
    ExpectSameData(restricted, unrestricted, "one core against all");
}

// Guards 1,000 electrodes that took every byte of the machine and then
// failed as "cannot be solved".
TEST(ForwardResponse, ASurveyTooLargeForTheMemoryIsRefusedBeforeAnyFactorisation)
{
    TForwardOptions options;
    options.MemoryLimit = 1e5; // bytes: far less than one factor
    double furthest = 0.0;
    try {
        TForwardSection section(250.0, 100.0, 50.0);
        ComputeForwardResponse(section.Ground(), Array(TArrayKind::Wenner, 16, 3, 15.0, 5.0), options, [&](double fraction) {
            furthest = std::max(furthest, fraction);
            return true;
        });
        ADD_FAILURE() << "computed in 100 kB";
    } catch (const EForwardError& error) {
        EXPECT_NE(error.Message().find("Not enough memory for 16 electrodes (about "), std::string::npos) << error.Message();
        EXPECT_NE(error.Message().find(" GB"), std::string::npos) << error.Message();
    }
    EXPECT_LE(furthest, 0.1); // the mesh, and not one system after it

    // Memory for one thread but not three: one computes, with the same data.
    options.Threads = 1;
    options.MemoryLimit = 0.0;
    const TForwardResult alone = SmallComputation(options);
    options.Threads = 3;
    options.MemoryLimit = alone.MemoryEstimate * 1.01;
    const TForwardResult squeezed = SmallComputation(options);
    EXPECT_EQ(squeezed.Threads, 1);
    ExpectSameData(squeezed, alone, "three threads asked, one fits");
}

// Guards meshes that differed from run to run when computations were started
// from other threads (the mesher then ran in parallel), by up to 3 % a datum.
TEST(ForwardResponse, RunsFromOtherThreadsAtOnceGiveTheSameData)
{
    const TSectionModel section = ReadExample();
    TArrayLayout layout;
    layout.Electrodes = 24;
    layout.Levels = 4;
    const auto compute = [&] {
        return ComputeForwardResponse(PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, 100.0),
                                      MakeArraySurvey(layout, 0.0, 1000.0));
    };
    const TForwardResult alone = compute();
    TForwardResult first, second;
    std::thread one([&] { first = compute(); }), two([&] { second = compute(); });
    one.join();
    two.join();
    for (const TForwardResult* result : {&first, &second}) {
        EXPECT_EQ(result->MeshNodes, alone.MeshNodes);
        ASSERT_EQ(result->Resistivities.size(), alone.Resistivities.size());
        const TWorstError worst = WorstError(result->Resistivities, alone.Resistivities);
        EXPECT_LE(worst.error, 1e-12) << worst.Text();
    }
}

// --- Electrodes close together ----------------------------------------------------------

TForwardModel ExampleGround()
{
    const TSectionModel section = ReadExample();
    return PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, 100.0);
}

std::string RefusalOf(const TForwardModel& ground, const TSurvey& survey)
{
    try {
        ComputeForwardResponse(ground, survey);
    } catch (const EForwardError& error) {
        return error.what();
    }
    return "computed";
}

// Guards the end of the program ("terminate called", exit 134) when Gmsh
// raised inside its own parallel region on electrodes 10 µm apart.
TEST(ForwardResponse, ElectrodesTooCloseToMeshAreRefusedByNameBeforeMeshing)
{
    const TForwardModel ground = ExampleGround();
    // --spacing 1e-5 --first 500
    const std::string array = RefusalOf(ground, Array(TArrayKind::DipoleDipole, 48, 6, 1e-5, 500.0));
    EXPECT_NE(array.find("Electrodes 1 and 2 (x = 500 and 500.00001) are 1e-05 m apart: too close to mesh"),
              std::string::npos)
        << array;
    // A scheme with two electrodes 10 µm apart among others 100 m apart.
    TSurvey scheme;
    scheme.Array = SchemeArrayName;
    for (double x : {100.0, 200.0, 300.0, 300.00001, 400.0})
        scheme.Electrodes.push_back({x, 0.0});
    scheme.Configurations = {{0, 1, 2, 4}, {2, -1, 3, -1}};
    const std::string close = RefusalOf(ground, scheme);
    EXPECT_NE(close.find("Electrodes 3 and 4 (x = 300 and 300.00001) are 1e-05 m apart"), std::string::npos) << close;
    EXPECT_EQ(close.find('\n'), std::string::npos);
    // An electrode 0.2 µm above the tip of a body.
    TForwardSection section(100.0, 50.0, 100.0);
    section.AddBody({{50, 2e-7}, {70, 10}, {30, 10}}, 10.0);
    TSurvey above;
    for (double x : {30.0, 40.0, 50.0, 60.0})
        above.Electrodes.push_back({x, 0.0});
    above.Configurations = {{0, 3, 1, 2}};
    const std::string tip = RefusalOf(section.Ground(), above);
    EXPECT_NE(tip.find("Electrode 3 (x = 50) and a corner of the model at x = 50, y = -2e-07 are 2e-07 m apart: "
                       "too close to mesh"),
              std::string::npos)
        << tip;
    // Beside a point of the surface it stands on the point instead.
    TForwardSection outcrop(100.0, 50.0, 100.0);
    outcrop.AddBody({{50, 0}, {100, 0}, {100, 10}, {50, 10}}, 10.0);
    TSurvey beside = above;
    beside.Electrodes[2].x = 50.0000002;
    const TForwardResult moved = ComputeForwardResponse(outcrop.Ground(), beside);
    const TForwardResult on = ComputeForwardResponse(outcrop.Ground(), above);
    EXPECT_NEAR(moved.Resistivities[0] / on.Resistivities[0], 1.0, 1e-4);
}

// Guards surveys with electrodes a centimetre apart refused as "cannot be
// factorised": the mesh held triangles without area at the surface.
TEST(ForwardResponse, ElectrodesACentimetreApartGiveTheHomogeneousGroundsResistivity)
{
    // --spacing 0.01 on a homogeneous section as large as the example.
    const TForwardSection section(1000.0, 200.0, 100.0);
    TArrayLayout layout;
    layout.Spacing = 0.01;
    const TForwardResult result = ComputeForwardResponse(section.Ground(), MakeArraySurvey(layout, 0.0, 1000.0));
    const TWorstError worst = WorstError(result.Resistivities, std::vector<double>(result.Resistivities.size(), 100.0));
    EXPECT_LE(worst.error, 0.01) << worst.Text();
    std::printf("[ 1 cm spacing ] %s\n", worst.Text().c_str());
}

TEST(ForwardResponse, OneSchemeElectrodeACentimetreFromAnotherOverTheExampleComputes)
{
    const TForwardModel ground = ExampleGround();
    TSurvey scheme = MakeArraySurvey(TArrayLayout{}, 0.0, 1000.0);
    const TForwardResult regular = ComputeForwardResponse(ground, scheme);
    scheme.Array = SchemeArrayName;
    scheme.Electrodes[10].x = scheme.Electrodes[9].x + 0.01; // electrode 11, 1 cm from electrode 10
    // A pole-pole datum over the top 20 m of host: the half-space's 100 ohm-m.
    scheme.Configurations.push_back({9, -1, 10, -1});
    const TForwardResult close = ComputeForwardResponse(ground, scheme);
    EXPECT_NEAR(close.Resistivities.back(), 100.0, 1.0);
    // The data without electrode 11 as in the survey without the move.
    std::vector<double> others, expected;
    for (size_t d = 0; d < regular.Resistivities.size(); ++d) {
        const TConfiguration& c = scheme.Configurations[d];
        if (c.a != 10 && c.b != 10 && c.m != 10 && c.n != 10) {
            others.push_back(close.Resistivities[d]);
            expected.push_back(regular.Resistivities[d]);
        }
    }
    const TWorstError worst = WorstError(others, expected);
    EXPECT_LE(worst.error, 0.01) << worst.Text();
    std::printf("[ scheme electrode 1 cm apart ] pole-pole %g ohm-m; the others against the survey without it: %s\n",
                close.Resistivities.back(), worst.Text().c_str());
}

TEST(ForwardResponse, SpacingsFrom15MicrometresTo3CentimetresGiveTheHomogeneousGroundsResistivity)
{
    const TForwardSection section(100.0, 50.0, 100.0);
    for (double spacing : {15e-6, 1e-4, 1e-3, 1e-2, 3e-2}) {
        const TForwardResult result =
            ComputeForwardResponse(section.Ground(), Array(TArrayKind::Wenner, 5, 1, spacing, 50.0));
        const TWorstError worst = WorstError(result.Resistivities, std::vector<double>(result.Resistivities.size(), 100.0));
        EXPECT_LE(worst.error, 0.01) << spacing << " m: " << worst.Text();
        std::printf("[ spacing %g m ] %s\n", spacing, worst.Text().c_str());
    }
}

// --- Symmetry --------------------------------------------------------------------------

// Data equal by symmetry agree within this share: the README's figure.
constexpr double SymmetryScatter = 0.003;

// Guards the mesh's own noise: data equal by mirror symmetry scattered by
// 0.3 % and more, and a survey shifted by 1 µm changed data by 0.4 %.
TEST(ForwardResponse, DataEqualByMirrorOrShiftAgreeWithinTheStatedScatter)
{
    // The default survey over a homogeneous ground: mirror symmetric about the middle.
    const TForwardSection section(1000.0, 200.0, 100.0);
    const TForwardModel homogeneous = section.Ground();
    const TSurvey survey = MakeArraySurvey(TArrayLayout{}, 0.0, 1000.0);
    const TForwardResult result = ComputeForwardResponse(homogeneous, survey);
    // The mirror of datum (A, B, M, N) is (N', M', B', A'), e' = last - e.
    std::map<std::array<int, 4>, double> byElectrodes;
    for (size_t d = 0; d < survey.Configurations.size(); ++d) {
        const TConfiguration& c = survey.Configurations[d];
        byElectrodes[{c.a, c.b, c.m, c.n}] = result.Resistivities[d];
    }
    const int last = static_cast<int>(survey.Electrodes.size()) - 1;
    double mirror = 0.0;
    for (size_t d = 0; d < survey.Configurations.size(); ++d) {
        const TConfiguration& c = survey.Configurations[d];
        const double image = byElectrodes.at({last - c.n, last - c.m, last - c.b, last - c.a});
        mirror = std::max(mirror, std::fabs(result.Resistivities[d] / image - 1.0));
    }
    EXPECT_LE(mirror, SymmetryScatter);
    // The same survey 1 µm to the right, over the homogeneous ground and the example.
    const auto shiftChange = [&](const TForwardModel& ground, const TForwardResult& unshifted) {
        TSurvey shifted = survey;
        for (TElectrode& electrode : shifted.Electrodes)
            electrode.x += 1e-6;
        return WorstError(ComputeForwardResponse(ground, shifted).Resistivities, unshifted.Resistivities);
    };
    const TWorstError shift = shiftChange(homogeneous, result);
    EXPECT_LE(shift.error, SymmetryScatter) << shift.Text();
    const TForwardModel example = ExampleGround();
    const TWorstError exampleShift = shiftChange(example, ComputeForwardResponse(example, survey));
    EXPECT_LE(exampleShift.error, SymmetryScatter) << exampleShift.Text();
    std::printf("[ symmetry ] mirror pairs differ by up to %.3f %%; shifted by 1 um: %s; the example shifted: %s\n",
                100 * mirror, shift.Text().c_str(), exampleShift.Text().c_str());
}

// --- Buried electrodes ------------------------------------------------------------

// The relative misfit of every datum's resistance against the half-space's
// with image sources (FlatGeometricFactor: ΔU = ρ / k), sorted.
std::vector<double> SortedResistanceErrors(const TForwardResult& result, double rho)
{
    std::vector<double> errors;
    for (size_t d = 0; d < result.Voltages.size(); ++d) {
        const double expected = rho / FlatGeometricFactor(result.Survey, result.Survey.Configurations[d]);
        errors.push_back(std::fabs(result.Voltages[d] / expected - 1.0));
    }
    std::sort(errors.begin(), errors.end());
    return errors;
}

double Quantile(const std::vector<double>& sorted, double share)
{
    return sorted.at(static_cast<size_t>(share * static_cast<double>(sorted.size() - 1)));
}

TEST(ForwardResponse, HoleElectrodesOverAHomogeneousGroundFollowTheHalfSpaceWithImages)
{
    constexpr double Rho = 100.0;
    const TForwardSection section(100.0, 40.0, Rho);
    const TForwardModel ground = section.Ground();
    const auto flat = [](double) { return 0.0; };
    THoleLayout crosshole;
    crosshole.Holes = {44.0, 56.0};
    THoleLayout surfaceHole;
    surfaceHole.Kind = THoleArrayKind::SurfaceHole;
    surfaceHole.Holes = {50.0};
    surfaceHole.SurfaceElectrodes = 24;
    surfaceHole.SurfaceSpacing = 2.0;
    surfaceHole.SurfaceFirst = 27.0;
    for (const THoleLayout& layout : {crosshole, surfaceHole}) {
        SCOPED_TRACE(HoleArrayKindName(layout.Kind));
        const THoleSurvey survey = MakeHoleSurvey(layout, flat);
        const TForwardResult result = ComputeForwardResponse(ground, survey.Survey);
        const std::vector<double> errors = SortedResistanceErrors(result, Rho);
        EXPECT_LE(Quantile(errors, 0.5), 0.005);
        EXPECT_LE(Quantile(errors, 0.95), 0.02);
        std::printf("[ %s, %zu data ] resistance vs half-space with images: median %.3f %%, 95th %.3f %%, worst "
                    "%.3f %%; mesh %d nodes\n",
                    HoleArrayKindName(layout.Kind).c_str(), errors.size(), 100 * Quantile(errors, 0.5),
                    100 * Quantile(errors, 0.95), 100 * errors.back(), result.MeshNodes);
        // The electrodes stayed where the survey put them, in the holes.
        for (size_t e = 0; e < survey.Survey.Electrodes.size(); ++e) {
            EXPECT_EQ(result.Survey.Electrodes[e].z, survey.Survey.Electrodes[e].z);
            EXPECT_EQ(result.Survey.Electrodes[e].Depth, survey.Survey.Electrodes[e].Depth);
        }
    }
}

} // namespace
} // namespace lp::test
