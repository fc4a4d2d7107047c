// The Gauss–Newton inversion on a synthetic linear problem whose answer is
// known: recovery, the choice of λ towards χ² = 1, fixed cells, limits and
// the structural cuts; and the chargeability's bounded linear inversion.

#include "section/inversion/Inversion.h"
#include "section/inversion/InversionMesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace lp {
namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// ln ρa = G ln ρ: each datum a Gaussian-weighted average of the cells
// around its point (weights summing to 1, as ρa scales with ρ).
class TLinearProblem : public TInversionProblem {
public:
    explicit TLinearProblem(MatrixXd G) : FG(std::move(G)) {}
    VectorXd Respond(const VectorXd& m, MatrixXd* J) override
    {
        ++Calls;
        if (J)
            *J = FG;
        return FG * m;
    }
    int Calls = 0;

private:
    MatrixXd FG;
};

TInversionMesh GridMesh(int columns, int rows)
{
    TInversionMesh mesh;
    for (int c = 0; c <= columns; ++c) {
        mesh.ColumnEdges.push_back(c);
        mesh.Elevations.push_back(0.0);
    }
    for (int r = 0; r <= rows; ++r)
        mesh.RowDepths.push_back(r);
    mesh.Bottom = -rows;
    return mesh;
}

// Reach: the depth the data's points reach (0: the mesh's whole depth).
MatrixXd Kernel(const TInversionMesh& mesh, int data, double width, double reach = 0.0)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> along(0.0, mesh.ColumnEdges.back());
    std::uniform_real_distribution<double> down(0.0, reach > 0.0 ? reach : mesh.RowDepths.back());
    MatrixXd G(data, mesh.Cells());
    for (int i = 0; i < data; ++i) {
        const double x = along(random), y = -down(random);
        for (int j = 0; j < mesh.Cells(); ++j) {
            const TGeometryPoint c = CellCentre(mesh, j);
            G(i, j) = std::exp(-((c.x - x) * (c.x - x) + (c.y - y) * (c.y - y)) / (2 * width * width));
        }
        G.row(i) /= G.row(i).sum();
    }
    return G;
}

// Two zones: cells left of column `split` and the rest.
VectorXd StepModel(const TInversionMesh& mesh, int split, double left, double right)
{
    VectorXd m(mesh.Cells());
    for (int j = 0; j < mesh.Cells(); ++j)
        m[j] = std::log(j % mesh.Columns() < split ? left : right);
    return m;
}

VectorXd Noisy(const VectorXd& clean, double error, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, error);
    VectorXd d = clean;
    for (Eigen::Index i = 0; i < d.size(); ++i)
        d[i] += noise(random);
    return d;
}

struct TSynthetic {
    TInversionMesh Mesh = GridMesh(12, 6);
    MatrixXd G = Kernel(Mesh, 240, 0.8);
    VectorXd Truth = StepModel(Mesh, 6, 10.0, 100.0);
    VectorXd Data = Noisy(G * Truth, 0.02, 11);
    VectorXd Errors = VectorXd::Constant(240, 0.02);
    VectorXd Start = VectorXd::Constant(Mesh.Cells(), std::sqrt(10.0 * 100.0));
};

double MeanLog(const VectorXd& rho, const TInversionMesh& mesh, bool left, int split)
{
    double sum = 0.0;
    int count = 0;
    for (int j = 0; j < mesh.Cells(); ++j)
        if ((j % mesh.Columns() < split) == left) {
            sum += std::log(rho[j]);
            ++count;
        }
    return std::exp(sum / count);
}

TEST(Inversion, RecoversAStepAndStopsAtChiSquareOneWithoutOverfitting)
{
    TSynthetic s;
    TLinearProblem problem(s.G);
    std::vector<TInversionStep> reported;
    TInversionCallbacks callbacks;
    callbacks.Iteration = [&](const TInversionStep& step, const VectorXd& rho) {
        reported.push_back(step);
        EXPECT_EQ(rho.size(), s.Mesh.Cells());
    };
    const TInversionResult result =
        InvertResistivity(problem, s.Data, s.Errors, SmoothnessOperator(s.Mesh, 1.0), s.Start, {}, callbacks);
    ASSERT_GE(result.Steps.size(), 2u);
    const double chi = result.Steps.back().ChiSquare;
    EXPECT_GT(chi, 0.5) << "over-fitted the noise";
    EXPECT_LE(chi, 1.0) << result.Stop;
    EXPECT_GT(result.Steps.front().ChiSquare, 100.0);
    EXPECT_EQ(reported.size(), result.Steps.size());
    EXPECT_NEAR(MeanLog(result.Resistivities, s.Mesh, true, 6), 10.0, 3.0);
    EXPECT_NEAR(MeanLog(result.Resistivities, s.Mesh, false, 6), 100.0, 30.0);
    // λ falls from its start as χ² comes down; the data ln ρa reproduced.
    EXPECT_LT(result.Steps.back().Lambda, 20.0);
    EXPECT_NEAR(result.Steps.back().Rrms, 2.0, 0.6);
}

TEST(Inversion, FixedCellsKeepTheirValueAndLimitsHold)
{
    TSynthetic s;
    TLinearProblem problem(s.G);
    TInversionSettings settings;
    settings.Fixed.assign(static_cast<size_t>(s.Mesh.Cells()), false);
    settings.Lower.assign(static_cast<size_t>(s.Mesh.Cells()), 0.0);
    settings.Upper.assign(static_cast<size_t>(s.Mesh.Cells()), std::numeric_limits<double>::infinity());
    VectorXd start = s.Start;
    settings.Fixed[0] = true;
    start[0] = 55.0; // a wrong value the user fixed: it stays, though outside its limits
    settings.Lower[0] = 60.0;
    settings.Upper[0] = 70.0;
    start[1] = 5.0; // starts below its lower limit: moved inside
    settings.Lower[1] = 8.0;
    for (int j = 6; j < s.Mesh.Cells(); j += s.Mesh.Columns()) {
        settings.Upper[static_cast<size_t>(j)] = 40.0; // below the truth of 100 ohm-m
        settings.Lower[static_cast<size_t>(j)] = 20.0;
        start[j] = 30.0;
    }
    const TInversionResult result =
        InvertResistivity(problem, s.Data, s.Errors, SmoothnessOperator(s.Mesh, 1.0), start, settings);
    EXPECT_DOUBLE_EQ(result.Resistivities[0], 55.0);
    EXPECT_GT(result.Resistivities[1], 8.0);
    for (int j = 6; j < s.Mesh.Cells(); j += s.Mesh.Columns()) {
        EXPECT_GT(result.Resistivities[j], 20.0);
        EXPECT_LT(result.Resistivities[j], 40.0);
        EXPECT_GT(result.Resistivities[j], 35.0) << "the data pull the bounded cell towards its upper limit";
    }
}

TEST(Inversion, StructuralCutsKeepTheJumpAtTheDrawnBoundarySharp)
{
    TSynthetic s;
    s.G = Kernel(s.Mesh, 240, 1.5);
    s.Data = Noisy(s.G * s.Truth, 0.02, 11);
    std::vector<int> zones;
    for (int j = 0; j < s.Mesh.Cells(); ++j)
        zones.push_back(j % s.Mesh.Columns() < 6 ? 1 : 2);
    const auto jump = [&](const std::vector<int>& z) {
        TLinearProblem problem(s.G);
        const TInversionResult r =
            InvertResistivity(problem, s.Data, s.Errors, SmoothnessOperator(s.Mesh, 1.0, z), s.Start);
        double sum = 0.0;
        for (int row = 0; row < s.Mesh.Rows(); ++row)
            sum += std::log(r.Resistivities[row * 12 + 6] / r.Resistivities[row * 12 + 5]);
        return sum / s.Mesh.Rows();
    };
    const double truth = std::log(10.0);
    const double smooth = jump({}), cut = jump(zones);
    EXPECT_GT(cut, smooth + 0.2 * truth) << "mean log jump across the boundary, true " << truth;
    EXPECT_NEAR(cut, truth, 0.25 * truth);
}

// The synthetic data inverted smoothly, with sharp boundaries or with the robust misfit.
TInversionResult InvertReweighted(const TSynthetic& s, bool Blocky, bool Robust)
{
    TLinearProblem problem(s.G);
    TInversionSettings settings;
    settings.Blocky = Blocky;
    settings.Robust = Robust;
    return InvertResistivity(problem, s.Data, s.Errors, SmoothnessOperator(s.Mesh, 1.0), s.Start, settings);
}

// The reweightings' rules: a row's weight (step² + ε²)^(−3/4) scaled to a
// mean of 1 (a row of no coefficients kept at 1); a datum's factor 1 within
// RobustThreshold times the misfits' scale and 1/√(share) beyond it.
TEST(Inversion, ReweightingRulesOfTheSharpBoundariesAndTheRobustMisfit)
{
    // Rows with coefficients ±2: steps 0, 0.01 (under ε), 1 and a row of none.
    const VectorXd roughness = (VectorXd(4) << 0.0, 0.02, 2.0, 0.0).finished();
    const VectorXd scales = (VectorXd(4) << 2.0, 2.0, 2.0, 0.0).finished();
    const VectorXd w = BlockyRowWeights(roughness, scales, 0.05).cwiseAbs2();
    const auto raw = [](double step) { return std::pow(step * step + 0.05 * 0.05, -0.75); };
    const double mean = (raw(0.0) + raw(0.01) + raw(1.0)) / 3.0;
    EXPECT_NEAR(w[0], raw(0.0) / mean, 1e-12);
    EXPECT_NEAR(w[1], raw(0.01) / mean, 1e-12);
    EXPECT_NEAR(w[2], raw(1.0) / mean, 1e-12);
    // A step's weighted square grows as the square root of its height.
    EXPECT_NEAR(raw(1.0) * 1.0 / (raw(4.0) * 16.0), 0.5, 0.01);
    EXPECT_DOUBLE_EQ(w[3], 1.0);
    // A uniform model: every row 1, the smooth roughness.
    EXPECT_TRUE(BlockyRowWeights(VectorXd::Zero(3), VectorXd::Ones(3), 0.05).isApprox(VectorXd::Ones(3)));

    // Misfits in errors 0.5, -1, 1, 9 (median |z| 1: scale 1.4826).
    const VectorXd weights = VectorXd::Constant(4, 1.0 / 0.03);
    const VectorXd residuals = (VectorXd(4) << 0.5, -1.0, 1.0, 9.0).finished() * 0.03;
    EXPECT_NEAR(RobustScale(residuals, weights), 1.4826, 1e-12);
    const VectorXd factors = RobustDataWeights(residuals, weights);
    EXPECT_DOUBLE_EQ(factors[0], 1.0);
    EXPECT_DOUBLE_EQ(factors[2], 1.0);
    EXPECT_NEAR(factors[3], 1.0 / std::sqrt(9.0 / (RobustThreshold * 1.4826)), 1e-12);
    double chi = 0.0;
    int kept = 0;
    FullWeightChiSquare(residuals, weights, chi, kept);
    EXPECT_EQ(kept, 3);
    EXPECT_NEAR(chi, (0.25 + 1.0 + 1.0) / 3.0, 1e-12);
    // Misfits all within the errors: the scale is the errors' own, none down-weighted.
    EXPECT_DOUBLE_EQ(RobustScale(residuals * 0.1, weights), 1.0);
}

// A step blurred by wide kernels: the smooth image ramps across it; with
// sharp boundaries the jump between the columns beside it is nearer the
// truth and the misfit stays at the noise.
TEST(Inversion, SharpBoundariesKeepTheStepSteeperThanTheSmoothImage)
{
    TSynthetic s;
    s.G = Kernel(s.Mesh, 240, 1.5);
    s.Data = Noisy(s.G * s.Truth, 0.02, 11);
    const auto invert = [&](bool blocky) { return InvertReweighted(s, blocky, false); };
    const auto jump = [&](const TInversionResult& r) {
        double sum = 0.0;
        for (int row = 0; row < s.Mesh.Rows(); ++row)
            sum += std::log(r.Resistivities[row * 12 + 6] / r.Resistivities[row * 12 + 5]);
        return sum / s.Mesh.Rows();
    };
    const TInversionResult smooth = invert(false), blocky = invert(true);
    const double truth = std::log(10.0);
    EXPECT_GT(jump(blocky), jump(smooth) + 0.15 * truth) << "smooth " << jump(smooth) << ", true " << truth;
    EXPECT_LE(blocky.Steps.back().ChiSquare, 1.2) << blocky.Stop;
    EXPECT_GT(blocky.Steps.back().ChiSquare, 0.5) << blocky.Stop;
    // The threshold must be a number above 0.
    TLinearProblem problem(s.G);
    TInversionSettings settings;
    settings.Blocky = true;
    settings.BlockyEpsilon = 0.0;
    EXPECT_THROW(InvertResistivity(problem, s.Data, s.Errors, SmoothnessOperator(s.Mesh, 1.0), s.Start, settings),
                 EForwardError);
    EXPECT_EQ(problem.Calls, 0);
}

// Twelve of 240 data 1.5 times too large: the robust image stays nearer the
// truth than the smooth one; chi-square is reported on the data's own
// errors, and apart over the data kept at their full weight.
TEST(Inversion, RobustMisfitKeepsOutliersOutOfTheImageAndReportsTheChiSquareOfTheRest)
{
    TSynthetic s;
    std::mt19937 random(5);
    std::vector<Eigen::Index> bad;
    for (int k = 0; k < 12; ++k) {
        const Eigen::Index i = static_cast<Eigen::Index>(random() % 240);
        if (std::find(bad.begin(), bad.end(), i) == bad.end())
            bad.push_back(i);
    }
    for (const Eigen::Index i : bad)
        s.Data[i] += std::log(1.5);
    const auto invert = [&](bool robust) { return InvertReweighted(s, false, robust); };
    const auto error = [&](const TInversionResult& r) {
        return std::sqrt((r.Resistivities.array().log() - s.Truth.array()).square().mean());
    };
    const TInversionResult smooth = invert(false), robust = invert(true);
    EXPECT_LT(error(robust), 0.8 * error(smooth)) << robust.Stop;
    const TInversionStep& last = robust.Steps.back();
    const VectorXd response = robust.Response.array().log();
    EXPECT_NEAR(last.ChiSquare, ChiSquare(s.Data, response, s.Errors), 1e-9 * last.ChiSquare);
    EXPECT_GT(last.ChiSquare, 5.0) << "the outliers stay off";
    EXPECT_LT(last.FullWeightData, 240);
    EXPECT_GE(last.FullWeightData, 180);
    EXPECT_LT(last.FullWeightChiSquare, 1.0);
    EXPECT_EQ(smooth.Steps.back().FullWeightData, 0);
}

TEST(Inversion, RefusesUnusableInputWithoutCallingTheProblem)
{
    TSynthetic s;
    TLinearProblem problem(s.G);
    const auto C = SmoothnessOperator(s.Mesh, 1.0);
    VectorXd badErrors = s.Errors;
    badErrors[3] = 0.0;
    EXPECT_THROW(InvertResistivity(problem, s.Data, badErrors, C, s.Start), EForwardError);
    VectorXd badStart = s.Start;
    badStart[2] = -1.0;
    EXPECT_THROW(InvertResistivity(problem, s.Data, s.Errors, C, badStart), EForwardError);
    TInversionSettings settings;
    settings.Lower.assign(static_cast<size_t>(s.Mesh.Cells()), 50.0);
    settings.Upper.assign(static_cast<size_t>(s.Mesh.Cells()), 20.0);
    EXPECT_THROW(InvertResistivity(problem, s.Data, s.Errors, C, s.Start, settings), EForwardError);
    settings = {};
    settings.Lambda = std::nan("");
    EXPECT_THROW(InvertResistivity(problem, s.Data, s.Errors, C, s.Start, settings), EForwardError);
    for (double weight : {-0.1, std::nan(""), std::numeric_limits<double>::infinity()}) {
        settings = {};
        settings.ReferenceWeight = weight;
        EXPECT_THROW(InvertResistivity(problem, s.Data, s.Errors, C, s.Start, settings), EForwardError) << weight;
    }
    settings = {};
    settings.Reference.assign(static_cast<size_t>(s.Mesh.Cells()), 10.0);
    settings.Reference[5] = 0.0;
    EXPECT_THROW(InvertResistivity(problem, s.Data, s.Errors, C, s.Start, settings), EForwardError);
    settings.Reference.pop_back();
    EXPECT_THROW(InvertResistivity(problem, s.Data, s.Errors, C, s.Start, settings), EForwardError);
    settings = {};
    settings.SmallnessWeights.assign(static_cast<size_t>(s.Mesh.Cells()), 1.0);
    settings.SmallnessWeights[1] = -1.0;
    EXPECT_THROW(InvertResistivity(problem, s.Data, s.Errors, C, s.Start, settings), EForwardError);
    EXPECT_EQ(problem.Calls, 0);
}

// A vanishing λ (1e-300) was taken and its image ran from 1e-7 to 1e15
// ohm-m. λ is refused outside MinLambda .. MaxLambda before the problem is
// asked for anything, and no trial step goes below the range either.
TEST(Inversion, LambdaStaysWithinItsRange)
{
    TSynthetic s;
    TLinearProblem problem(s.G);
    const auto C = SmoothnessOperator(s.Mesh, 1.0);
    for (const double lambda : {1e-300, 1e-20, 0.5 * MinLambda, 2.0 * MaxLambda, std::nan("")}) {
        TInversionSettings settings;
        settings.Lambda = lambda;
        try {
            InvertResistivity(problem, s.Data, s.Errors, C, s.Start, settings);
            ADD_FAILURE() << lambda << " was taken";
        } catch (const EForwardError& error) {
            EXPECT_TRUE(error.Message().starts_with(
                "The regularisation strength \u03bb must be a number from 0.0001 to 1e6, not "))
                << error.Message();
        }
    }
    EXPECT_EQ(problem.Calls, 0);
    // Noise far beyond the errors: no λ brings χ² to its target. From
    // either end of the range the trials, falling or rising, stay within it.
    const VectorXd noisy = Noisy(s.G * s.Truth, 3.0, 5);
    for (const double lambda : {MinLambda, MaxLambda}) {
        TInversionSettings settings;
        settings.Lambda = lambda;
        settings.Iterations = 3;
        const TInversionResult result =
            InvertResistivity(problem, noisy, VectorXd::Constant(noisy.size(), 0.001), C, s.Start, settings);
        ASSERT_GE(result.Steps.size(), 2u) << result.Stop;
        for (const TInversionStep& step : result.Steps) {
            EXPECT_GE(step.Lambda, MinLambda);
            EXPECT_LE(step.Lambda, MaxLambda);
        }
    }
}

// A step that no halving makes lower Φ is tried again at 4 and 16 times its
// λ (the same Jacobian) before the inversion stops: the run no longer ends
// at the first step a too small λ made wild.
TEST(Inversion, AStepNoHalvingAcceptsIsRetriedAtLargerLambdasBeforeTheRunStops)
{
    TSynthetic s;
    // Every move away from the start raises every response by far more
    // than its Jacobian (the linear part's) tells: no step is accepted.
    struct TKinked : TLinearProblem {
        TKinked(MatrixXd G, VectorXd start) : TLinearProblem(std::move(G)), Start(std::move(start)) {}
        VectorXd Respond(const VectorXd& m, MatrixXd* J) override
        {
            return TLinearProblem::Respond(m, J).array() + 100.0 * (m - Start).norm();
        }
        VectorXd Start;
    } problem(s.G, s.Start.array().log());
    const TInversionResult result =
        InvertResistivity(problem, s.Data, s.Errors, SmoothnessOperator(s.Mesh, 1.0), s.Start);
    EXPECT_EQ(result.Stop, "No step lowered the misfit.");
    ASSERT_EQ(result.Steps.size(), 1u);
    // The start, then four halvings at each of three λ; besides, the
    // start's Jacobian made again for each retry and for the end (freed
    // during the line searches), not counted among the responses.
    EXPECT_EQ(problem.Calls, 16);
    EXPECT_EQ(result.Responses, 13);
    EXPECT_TRUE(result.Resistivities.isApprox(s.Start, 1e-12));
}

TEST(Inversion, CancelledForwardRunLeavesTheLastFinishedModel)
{
    TSynthetic s;
    struct TCancelling : TLinearProblem {
        using TLinearProblem::TLinearProblem;
        VectorXd Respond(const VectorXd& m, MatrixXd* J) override
        {
            if (Calls == 2)
                throw EForwardCancelled("cancelled");
            return TLinearProblem::Respond(m, J);
        }
    } problem(s.G);
    VectorXd last;
    TInversionCallbacks callbacks;
    callbacks.Iteration = [&](const TInversionStep&, const VectorXd& rho) { last = rho; };
    const TInversionResult result =
        InvertResistivity(problem, s.Data, s.Errors, SmoothnessOperator(s.Mesh, 1.0), s.Start, {}, callbacks);
    EXPECT_TRUE(result.Cancelled);
    ASSERT_EQ(result.Steps.size(), 2u);
    EXPECT_EQ(result.Resistivities, last);
}

// The step of TSynthetic seen by data reaching 3 of its 6 rows.
struct TShallowData : TSynthetic {
    TShallowData()
    {
        G = Kernel(Mesh, 240, 0.6, 2.5);
        Data = Noisy(G * Truth, 0.02, 11);
    }
    // The geometric mean of the rows first .. last (inclusive).
    static double RowsMean(const VectorXd& rho, const TInversionMesh& mesh, int first, int last)
    {
        return std::exp(rho.segment(first * mesh.Columns(), (last - first + 1) * mesh.Columns()).array().log().mean());
    }
};

TEST(Inversion, AReferenceModelPullsTheCellsNoDatumSeesAndLeavesTheOthers)
{
    const TShallowData s;
    const auto C = SmoothnessOperator(s.Mesh, 1.0);
    TLinearProblem problem(s.G);
    const TInversionResult plain = InvertResistivity(problem, s.Data, s.Errors, C, s.Start);
    TInversionSettings settings;
    settings.ReferenceWeight = 1.0; // on cells of one size: as strong as one pair's roughness
    settings.Reference.assign(static_cast<size_t>(s.Mesh.Cells()), 10.0 * s.Start[0]);
    const TInversionResult referenced = InvertResistivity(problem, s.Data, s.Errors, C, s.Start, settings);
    EXPECT_LE(referenced.Steps.back().ChiSquare, 1.05) << referenced.Stop;
    // The top two rows, which the data decide, stay; the bottom row, which
    // no datum reaches, goes most of the way (in ln ρ) to the reference.
    const double seenPlain = TShallowData::RowsMean(plain.Resistivities, s.Mesh, 0, 1);
    const double seenReferenced = TShallowData::RowsMean(referenced.Resistivities, s.Mesh, 0, 1);
    EXPECT_NEAR(seenReferenced / seenPlain, 1.0, 0.15);
    const double deep = TShallowData::RowsMean(referenced.Resistivities, s.Mesh, 5, 5);
    EXPECT_GT(std::log(deep / s.Start[0]), 0.7 * std::log(10.0)) << deep;
    EXPECT_LT(std::log(TShallowData::RowsMean(plain.Resistivities, s.Mesh, 5, 5) / s.Start[0]), 0.3 * std::log(10.0));
}

TEST(Inversion, DepthOfInvestigationNearZeroWhereSeenNearOneBelowAndWithinItsShareOfForwardRuns)
{
    const TShallowData s;
    const auto C = SmoothnessOperator(s.Mesh, 1.0);
    TLinearProblem problem(s.G);
    const TInversionResult main = InvertResistivity(problem, s.Data, s.Errors, C, s.Start);
    ASSERT_EQ(main.Responses, problem.Calls);
    problem.Calls = 0;
    std::vector<TInversionStep> reported;
    TInversionCallbacks callbacks;
    callbacks.Iteration = [&](const TInversionStep& step, const VectorXd&) { reported.push_back(step); };
    TDepthOfInvestigationSettings strength;
    strength.ReferenceWeight = 1.0;
    const TDepthOfInvestigation doi =
        DepthOfInvestigation(problem, s.Data, s.Errors, C, s.Start, {}, main, strength, callbacks);
    ASSERT_FALSE(doi.Cancelled);
    // The main result's response serves the first iteration of the first; all
    // the others within 1.5 times the main inversion's.
    EXPECT_LE(problem.Calls, static_cast<int>(1.5 * main.Responses));
    ASSERT_EQ(doi.Index.size(), s.Mesh.Cells());
    EXPECT_LT(doi.Index.head(2 * s.Mesh.Columns()).maxCoeff(), 0.2);
    EXPECT_GT(doi.Index.tail(s.Mesh.Columns()).minCoeff(), 0.5);
    // By its definition, from the two models it returns.
    EXPECT_NEAR(doi.Index[40], std::fabs(std::log(doi.Low[40] / doi.High[40])) / std::log(100.0), 1e-12);
    ASSERT_EQ(reported.size(), doi.Steps.size());
    for (size_t k = 0; k < reported.size(); ++k)
        EXPECT_EQ(reported[k].Iteration, static_cast<int>(k) + 1);

    // Cancelled in the second of its inversions: no index.
    struct TCancelling : TLinearProblem {
        using TLinearProblem::TLinearProblem;
        VectorXd Respond(const VectorXd& m, MatrixXd* J) override
        {
            if (Calls == Limit)
                throw EForwardCancelled("cancelled");
            return TLinearProblem::Respond(m, J);
        }
        int Limit = 0;
    } cancelling(s.G);
    cancelling.Limit = problem.Calls - 1;
    const TDepthOfInvestigation cancelled =
        DepthOfInvestigation(cancelling, s.Data, s.Errors, C, s.Start, {}, main, strength);
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(cancelled.Index.size(), 0);
    EXPECT_THROW(DepthOfInvestigation(problem, s.Data, s.Errors, C, s.Start, {}, TInversionResult{}), EForwardError);
}

// The index reached 1.19 in 13 of 686 cells, documented 0 .. 1: two
// inversions that part further than their references (a factor of 100)
// are as undecided as two that follow them, 1.
TEST(Inversion, DepthOfInvestigationStaysWithinZeroToOne)
{
    const TShallowData s;
    const auto C = SmoothnessOperator(s.Mesh, 1.0);
    TLinearProblem problem(s.G);
    // From a start 1.5 times the references' middle the cells no datum sees
    // stay 1.5 times it: the lower reference pulls them 15 times down, the
    // higher inversion starts 15 times up (mirrored) and, with a short share
    // of time, stops before it is back within 10 times.
    const TInversionResult main = InvertResistivity(problem, s.Data, s.Errors, C, 1.5 * s.Start);
    double parted = 0.0; // the widest the two parted, in units of their references' spread
    for (const auto [weight, share] : {std::pair{0.05, 1.5}, {1.0, 1.5}, {1.0, 0.3}, {20.0, 0.3}}) {
        TDepthOfInvestigationSettings strength;
        strength.ReferenceWeight = weight;
        strength.TimeShare = share;
        const TDepthOfInvestigation doi = DepthOfInvestigation(problem, s.Data, s.Errors, C, s.Start, {}, main, strength);
        ASSERT_EQ(doi.Index.size(), s.Mesh.Cells());
        for (Eigen::Index j = 0; j < doi.Index.size(); ++j) {
            const double spread = std::fabs(std::log(doi.Low[j] / doi.High[j])) / std::log(100.0);
            parted = std::max(parted, spread);
            EXPECT_NEAR(doi.Index[j], std::min(1.0, spread), 1e-12) << weight << ", cell " << j;
        }
        EXPECT_GE(doi.Index.minCoeff(), 0.0);
        EXPECT_LE(doi.Index.maxCoeff(), 1.0);
    }
    EXPECT_GT(parted, 1.0); // the case the index is held to 1 in
}

TEST(Inversion, ChargeabilityRecoveredWhereThePolarizableCellsAreAndBounded)
{
    TSynthetic s;
    VectorXd eta = VectorXd::Zero(s.Mesh.Cells());
    for (int row = 1; row < 4; ++row)
        for (int c = 7; c < 10; ++c)
            eta[row * 12 + c] = 0.2;
    const VectorXd clean = s.G * eta;
    const VectorXd errors = (0.02 * clean.array() + 0.001).matrix();
    VectorXd measured = clean;
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, 1.0);
    for (Eigen::Index i = 0; i < measured.size(); ++i)
        measured[i] += errors[i] * noise(random);
    measured[0] = std::nan(""); // a datum without chargeability is left out
    const TChargeabilityResult r = InvertChargeability(s.G, measured, errors, SmoothnessOperator(s.Mesh, 1.0));
    EXPECT_GE(r.Chargeabilities.minCoeff(), 0.0);
    EXPECT_LT(r.Chargeabilities.maxCoeff(), 1.0);
    Eigen::Index largest = 0;
    r.Chargeabilities.maxCoeff(&largest);
    EXPECT_GT(eta[largest], 0.0) << "largest chargeability at cell " << largest;
    EXPECT_LT(r.ChiSquare, 2.0);
    EXPECT_THROW(InvertChargeability(s.G, VectorXd::Constant(240, std::nan("")), errors, SmoothnessOperator(s.Mesh, 1.0)),
                 EForwardError);
}

// The chargeability sweep as it was before it started where χ² 1 is first
// reached and before it solved in mV/V, kept here as the reference: λ from
// 1000 down by thirds to 1e-3, each λ solved exactly (dense) from nothing
// with up to 10 passes that hold the cells driven past a bound at it
// (below 0 at 0, at or above Upper at 0.999 of the unit's whole), the
// largest λ reaching χ² ≤ 1 taken. Values and errors in the unit the caller
// chooses; Reached false when no λ reaches χ² 1.
struct TSweptChargeability {
    VectorXd Eta;
    double Lambda = 0.0;
    double ChiSquare = 0.0;
    bool Reached = false;
};

// The regularised least-squares model over the free cells, the others at
// their Held value (the old SolveLinear, solved exactly).
VectorXd DenseSolve(const MatrixXd& WJ, const VectorXd& Wd, const MatrixXd& CtC, double Lambda,
                    const std::vector<bool>& Free, const VectorXd& Held)
{
    std::vector<Eigen::Index> free;
    for (Eigen::Index j = 0; j < WJ.cols(); ++j)
        if (Free[static_cast<size_t>(j)])
            free.push_back(j);
    VectorXd x = Held;
    if (free.empty())
        return x;
    const MatrixXd A = WJ.transpose() * WJ + Lambda * CtC;
    const VectorXd rhs = WJ.transpose() * (Wd - WJ * Held) - Lambda * (CtC * Held);
    const auto f = static_cast<Eigen::Index>(free.size());
    MatrixXd Af(f, f);
    VectorXd bf(f);
    for (Eigen::Index r = 0; r < f; ++r) {
        bf[r] = rhs[free[static_cast<size_t>(r)]];
        for (Eigen::Index c = 0; c < f; ++c)
            Af(r, c) = A(free[static_cast<size_t>(r)], free[static_cast<size_t>(c)]);
    }
    const VectorXd solved = Af.ldlt().solve(bf);
    for (Eigen::Index r = 0; r < f; ++r)
        x[free[static_cast<size_t>(r)]] += solved[r];
    return x;
}

TSweptChargeability ReferenceSweep(const MatrixXd& J, const VectorXd& Measured, const VectorXd& Errors,
                                   const MatrixXd& CtC, double Whole)
{
    const Eigen::Index n = J.cols();
    const MatrixXd WJ = Errors.cwiseInverse().asDiagonal() * J;
    const VectorXd Wd = Measured.cwiseQuotient(Errors);
    const double upper = 0.999 * Whole;
    TSweptChargeability swept;
    for (double lambda = 1000.0; lambda >= 1e-3; lambda /= 3.0) {
        std::vector<bool> free(static_cast<size_t>(n), true);
        VectorXd held = VectorXd::Zero(n);
        VectorXd eta;
        for (int pass = 0; pass < 10; ++pass) {
            eta = DenseSolve(WJ, Wd, CtC, lambda, free, held);
            bool changed = false;
            for (Eigen::Index j = 0; j < n; ++j)
                if (free[static_cast<size_t>(j)] && (eta[j] < 0.0 || eta[j] >= Whole)) {
                    free[static_cast<size_t>(j)] = false;
                    held[j] = eta[j] < 0.0 ? 0.0 : upper;
                    changed = true;
                }
            if (!changed)
                break;
        }
        swept.Eta = eta.cwiseMax(0.0).cwiseMin(upper);
        swept.Lambda = lambda;
        swept.ChiSquare = (Wd - WJ * swept.Eta).squaredNorm() / static_cast<double>(Wd.size());
        if (swept.ChiSquare <= 1.0) {
            swept.Reached = true;
            break;
        }
    }
    return swept;
}

// The sweep that starts where χ² 1 is first reached and solves each λ from
// the last one's model by conjugate gradients gives the chargeabilities the
// full sweep gave, where that one reached χ² 1: the same λ, each cell
// within 1 % (of its value, or of the largest where a cell is nearly 0).
// Compared on the same scale, mV/V: the sweep now solves in mV/V, where λ
// weighs a roughness a million times the fractions' (the fractions' λ of
// 1e-3 .. 1000 is 1e-9 .. 1e-3 here, a grid the sweep of 1000, 1000/3, ...
// never takes), so the old sweep in fractions is not the one to compare.
TEST(Inversion, ChargeabilitiesOfTheSweepFromChiSquareOneAreTheFullSweepsWhereItReachedOne)
{
    struct TCase {
        const char* Name;
        double Background, Block;
        int FirstColumn, LastColumn; // the block's columns, rows 1 .. 3
        double RelativeError;        // of the clean ηa, plus 0.001 absolute
        unsigned Seed;
    };
    // Where the old sweep stopped: λ 0.017 with no cell at a bound, 0.0056
    // with none and with half the cells held at 0, 0.0019 (the sweep's
    // last but one) with half held. A sharp block of 0.2 in nothing, which
    // the old sweep fits to χ² 1.1 at best, is not among them.
    const TCase cases[] = {
        {"a block of 0.05 in 0.01", 0.01, 0.05, 2, 5, 0.02, 9},
        {"a block of 0.1 in 0.02", 0.02, 0.1, 7, 9, 0.03, 7},
        {"a block of 0.05 in nothing", 0.0, 0.05, 1, 4, 0.03, 5},
        {"a wide block of 0.1 in nothing, looser errors", 0.0, 0.1, 3, 9, 0.05, 13},
    };
    TSynthetic s;
    const Eigen::SparseMatrix<double> C = SmoothnessOperator(s.Mesh, 1.0);
    const MatrixXd CtC = MatrixXd(C.transpose() * C);
    constexpr double PerMille = 1000.0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        VectorXd eta = VectorXd::Constant(s.Mesh.Cells(), c.Background);
        for (int row = 1; row < 4; ++row)
            for (int column = c.FirstColumn; column <= c.LastColumn; ++column)
                eta[row * 12 + column] = c.Block;
        const VectorXd clean = s.G * eta;
        const VectorXd errors = (c.RelativeError * clean.array() + 0.001).matrix();
        VectorXd measured = clean;
        std::mt19937 random(c.Seed);
        std::normal_distribution<double> noise(0.0, 1.0);
        for (Eigen::Index i = 0; i < measured.size(); ++i)
            measured[i] += errors[i] * noise(random);

        const TSweptChargeability old = ReferenceSweep(s.G, PerMille * measured, PerMille * errors, CtC, PerMille);
        ASSERT_TRUE(old.Reached) << "χ² " << old.ChiSquare;
        const TChargeabilityResult now = InvertChargeability(s.G, measured, errors, C);
        EXPECT_LE(now.ChiSquare, 1.0);
        EXPECT_FALSE(now.FromNoise);
        EXPECT_NEAR(now.Lambda, old.Lambda, 1e-9 * old.Lambda);
        const VectorXd oldEta = old.Eta / PerMille;
        const double largest = oldEta.maxCoeff();
        ASSERT_GT(largest, 0.0);
        for (Eigen::Index j = 0; j < oldEta.size(); ++j)
            EXPECT_NEAR(now.Chargeabilities[j], oldEta[j], 0.01 * std::max(oldEta[j], 0.01 * largest)) << "cell " << j;
    }
}

// Guards the bounded chargeability solve handed a system with nothing left
// in it (it read the largest diagonal of an empty matrix and died): no
// cells at all, every cell held at a bound, and every resistivity cell
// fixed. The bounds, or the start, are the answer.
TEST(Inversion, ASystemWithNothingFreeGivesTheBoundsOrTheStart)
{
    TSynthetic s;
    const Eigen::SparseMatrix<double> C = SmoothnessOperator(s.Mesh, 1.0);
    const VectorXd errors = VectorXd::Constant(240, 0.01);

    // No cell: nothing to solve, every datum's response 0.
    const TChargeabilityResult empty =
        InvertChargeability(MatrixXd(240, 0), VectorXd::Constant(240, 0.05), errors, Eigen::SparseMatrix<double>(0, 0));
    EXPECT_EQ(empty.Chargeabilities.size(), 0);
    ASSERT_EQ(empty.Response.size(), 240);
    EXPECT_EQ(empty.Response.cwiseAbs().maxCoeff(), 0.0);
    EXPECT_NEAR(empty.ChiSquare, 25.0, 1e-9); // (0.05 / 0.01)² per datum

    // Data every cell's solution lies below 0 for, then above 1: each cell
    // is held at its bound, and the next pass has no free cell left.
    const TChargeabilityResult low = InvertChargeability(s.G, VectorXd::Constant(240, -0.05), errors, C);
    ASSERT_EQ(low.Chargeabilities.size(), s.Mesh.Cells());
    EXPECT_EQ(low.Chargeabilities, VectorXd::Zero(s.Mesh.Cells()));
    EXPECT_NEAR(low.ChiSquare, 25.0, 1e-9);
    const TChargeabilityResult high = InvertChargeability(s.G, VectorXd::Constant(240, 1.5), errors, C);
    EXPECT_EQ(high.Chargeabilities, VectorXd::Constant(s.Mesh.Cells(), 0.999));
    EXPECT_TRUE(high.Response.allFinite());

    // Every resistivity cell fixed (some limited too): the start stays
    // exactly, one forward computation, and its Jacobian serves the
    // chargeabilities.
    TLinearProblem problem(s.G);
    TInversionSettings settings;
    settings.Fixed.assign(static_cast<size_t>(s.Mesh.Cells()), true);
    settings.Lower.assign(static_cast<size_t>(s.Mesh.Cells()), 20.0);
    settings.Upper.assign(static_cast<size_t>(s.Mesh.Cells()), 40.0);
    const TInversionResult fixed = InvertResistivity(problem, s.Data, s.Errors, C, s.Start, settings);
    EXPECT_EQ(fixed.Resistivities, s.Start);
    ASSERT_EQ(fixed.Steps.size(), 1u);
    EXPECT_EQ(problem.Calls, 1);
    ASSERT_EQ(fixed.Jacobian.cols(), s.Mesh.Cells());
    const TChargeabilityResult eta = InvertChargeability(fixed.Jacobian, VectorXd::Constant(240, -0.05), errors, C);
    EXPECT_EQ(eta.Chargeabilities, VectorXd::Zero(s.Mesh.Cells()));
}

TEST(Inversion, CoverageIsLargestWhereTheDataSeeAndZeroWithoutSensitivity)
{
    MatrixXd J(2, 3);
    J << 0.5, 0.1, 0.0, 0.4, -0.2, 0.0;
    const VectorXd c = Coverage(J, VectorXd::Ones(3));
    EXPECT_DOUBLE_EQ(c[0], 1.0);
    EXPECT_NEAR(c[1], 0.3 / 0.9, 1e-12);
    EXPECT_EQ(c[2], 0.0);
    EXPECT_EQ(Coverage(MatrixXd::Zero(2, 3), VectorXd::Ones(3)).norm(), 0.0);
}

// The line search halves the step until it is accepted, at most three
// times, and returns the model it tried last with its response.
TEST(Inversion, TheLineSearchHalvesTheStepAtMostThreeTimes)
{
    const VectorXd from = VectorXd::Constant(2, 1.0), direction = VectorXd::Constant(2, 8.0);
    const auto respond = [](const VectorXd& m, MatrixXd* J) {
        *J = MatrixXd::Identity(2, 2);
        return VectorXd(2.0 * m);
    };
    int responses = 0;
    const THalvedStep third =
        HalvedStep(from, direction, respond, [](const VectorXd& m, const VectorXd&) { return m[0] < 4.0; }, responses);
    EXPECT_TRUE(third.Accepted);
    EXPECT_EQ(responses, 3);
    EXPECT_DOUBLE_EQ(third.Model[1], 3.0); // 1 + 8 / 4
    EXPECT_DOUBLE_EQ(third.Response[0], 6.0);
    EXPECT_EQ(third.Jacobian.rows(), 2);
    responses = 0;
    const THalvedStep none =
        HalvedStep(from, direction, respond, [](const VectorXd&, const VectorXd&) { return false; }, responses);
    EXPECT_FALSE(none.Accepted);
    EXPECT_EQ(responses, 4);
    EXPECT_DOUBLE_EQ(none.Model[0], 2.0); // 1 + 8 / 8
}

} // namespace
} // namespace lp
