// The change of a time-lapse step as a linear problem: its closed forms
// for every λ against dense solutions of the same problem, on both sides
// (more cells than data, and more data than cells).

#include "section/inversion/LinearisedChange.h"

#include "section/forward/ForwardModel.h"

#include <gtest/gtest.h>

#include <random>

namespace lp {
namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

struct TProblem {
    MatrixXd B;
    Eigen::SparseMatrix<double> R;
    VectorXd b;
};

// A random B, a first-difference smoothness along a line of cells with a
// small ridge as R, a random b.
TProblem RandomProblem(int Data, int Cells, unsigned Seed)
{
    std::mt19937 random(Seed);
    std::normal_distribution<double> gauss;
    TProblem p;
    p.B = MatrixXd::NullaryExpr(Data, Cells, [&]() { return gauss(random); });
    p.b = VectorXd::NullaryExpr(Data, [&]() { return gauss(random); });
    Eigen::SparseMatrix<double> c(Cells - 1, Cells);
    for (int j = 0; j + 1 < Cells; ++j) {
        c.insert(j, j) = -1.0;
        c.insert(j, j + 1) = 1.0;
    }
    Eigen::SparseMatrix<double> identity(Cells, Cells);
    identity.setIdentity();
    p.R = c.transpose() * c + 1e-3 * identity;
    return p;
}

void ExpectClosedFormsMatchDenseSolutions(const TProblem& p)
{
    const TLinearisedChange change(p.B, p.R, p.b, 2);
    const MatrixXd r = MatrixXd(p.R);
    for (double lambda : {0.01, 1.0, 30.0, 1e4}) {
        const MatrixXd normal = p.B.transpose() * p.B + lambda * r;
        const Eigen::LDLT<MatrixXd> solver(normal);
        const VectorXd z = solver.solve(p.B.transpose() * p.b);
        EXPECT_LT((change.Solve(lambda) - z).norm(), 1e-8 * (1.0 + z.norm())) << lambda;
        EXPECT_NEAR(change.SquaredMisfit(lambda), (p.b - p.B * z).squaredNorm(), 1e-8 * p.b.squaredNorm()) << lambda;
        // The influence matrix B (BᵀB + λR)⁻¹ Bᵀ and the spread of z for unit noise in b.
        const MatrixXd gain = solver.solve(p.B.transpose());
        EXPECT_NEAR(change.Trace(lambda), (p.B * gain).trace(), 1e-8 * p.B.rows()) << lambda;
        const VectorXd deviation = (gain * gain.transpose()).diagonal().cwiseSqrt();
        EXPECT_LT((change.NoiseDeviation(lambda) - deviation).cwiseAbs().maxCoeff(), 1e-8 * (1.0 + deviation.maxCoeff()))
            << lambda;
        EXPECT_NEAR(change.PredictiveRisk(lambda),
                    change.SquaredMisfit(lambda) + 2.0 * change.Trace(lambda) - static_cast<double>(p.b.size()), 1e-9);
    }
}

TEST(LinearisedChange, ClosedFormsMatchDenseSolutionsOnBothSides)
{
    ExpectClosedFormsMatchDenseSolutions(RandomProblem(30, 80, 3)); // the data's Gram matrix
    ExpectClosedFormsMatchDenseSolutions(RandomProblem(90, 40, 4)); // the cells'
}

TEST(LinearisedChange, TheRiskChoosesAFitNearTheNoiseAndAStrongSmoothingForNoiseAlone)
{
    // A smooth true change seen through B with unit noise: the chosen λ
    // fits to about the noise; noise alone gets a far larger λ, and a
    // change near 0.
    TProblem p = RandomProblem(120, 60, 7);
    VectorXd truth(60);
    for (int j = 0; j < 60; ++j)
        truth[j] = 0.5 * std::sin(j / 10.0);
    std::mt19937 random(11);
    std::normal_distribution<double> gauss;
    const VectorXd noise = VectorXd::NullaryExpr(120, [&]() { return gauss(random); });
    const TLinearisedChange signal(p.B, p.R, p.B * truth + noise, 1);
    const double lambda = signal.RiskLambda(1e-4, 1e6);
    const double chi = signal.SquaredMisfit(lambda) / 120.0;
    EXPECT_GT(chi, 0.6);
    EXPECT_LT(chi, 1.1);
    EXPECT_LT((signal.Solve(lambda) - truth).norm(), 0.5 * truth.norm());
    const TLinearisedChange alone(p.B, p.R, noise, 1);
    const double quiet = alone.RiskLambda(1e-4, 1e6);
    EXPECT_GT(quiet, 10.0 * lambda);
    EXPECT_LT(alone.Solve(quiet).cwiseAbs().maxCoeff(), 0.1);
    // Errors set twice too large: the noise level the fit shows is about a half.
    const TLinearisedChange halved(p.B / 2.0, p.R, (p.B * truth + noise) / 2.0, 1);
    EXPECT_NEAR(halved.NoiseLevel(halved.RiskLambda(1e-4, 1e6)), 0.5, 0.15);
}

TEST(LinearisedChange, MismatchedSizesAndAnIndefiniteRegularisationAreRefused)
{
    const TProblem p = RandomProblem(10, 12, 5);
    EXPECT_THROW(TLinearisedChange(p.B, p.R, VectorXd::Zero(9)), EForwardError);
    EXPECT_THROW(TLinearisedChange(p.B.leftCols(11), p.R, p.b), EForwardError);
    Eigen::SparseMatrix<double> negative(12, 12);
    negative.setIdentity();
    negative *= -1.0;
    EXPECT_THROW(TLinearisedChange(p.B, negative, p.b), EForwardError);
}

} // namespace
} // namespace lp
