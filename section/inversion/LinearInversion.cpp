#include "section/inversion/LinearInversion.h"

#include "section/inversion/LinearisedChange.h"
#include "section/inversion/NormalEquations.h"
#include "section/survey/ModellingError.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace lp {

using Eigen::Index;
using Eigen::MatrixXd;
using Eigen::VectorXd;

namespace {

// A residual of 1e-5 of the right-hand side leaves the values within a
// hundredth of a per cent of the exact solution at a fraction of the
// iterations 1e-6 takes.
constexpr double SolveTolerance = 1e-5;

// The model for one λ within Lower .. Upper: cells driven past a bound are
// held at it and the rest solved again, from Start.
VectorXd BoundedSolve(const MatrixXd& WJ, const VectorXd& Wd, const Eigen::SparseMatrix<double>& CtC, double Lambda,
                      const VectorXd& Start, double Lower, double Upper)
{
    const Index n = WJ.cols();
    std::vector<bool> free(static_cast<size_t>(n), true);
    VectorXd held = VectorXd::Zero(n);
    VectorXd x = Start.cwiseMax(Lower).cwiseMin(Upper);
    for (int pass = 0; pass < 10; ++pass) {
        const TNormalEquations normal(WJ, CtC, free);
        const VectorXd rhs = WJ.transpose() * (Wd - WJ * held) - Lambda * (CtC * held);
        x = held + normal.Solve(Lambda, rhs, x - held, SolveTolerance);
        bool changed = false;
        for (Index j = 0; j < n; ++j)
            if (free[static_cast<size_t>(j)] && (x[j] < Lower || x[j] > Upper)) {
                free[static_cast<size_t>(j)] = false;
                held[j] = x[j] < Lower ? Lower : Upper;
                x[j] = held[j];
                changed = true;
            }
        if (!changed)
            break;
    }
    return x.cwiseMax(Lower).cwiseMin(Upper);
}

double RowsChiSquare(const TWeightedRows& Rows, const VectorXd& Model)
{
    return (Rows.Wd - Rows.WJ * Model).squaredNorm() / static_cast<double>(Rows.Wd.size());
}

// CᵀC with a small ridge that keeps a uniform model, which the smoothness
// does not see, to the data (and the curve's factor positive definite).
Eigen::SparseMatrix<double> Regularisation(const Eigen::SparseMatrix<double>& CtC)
{
    const double mean = CtC.rows() > 0 ? CtC.diagonal().mean() : 1.0;
    Eigen::SparseMatrix<double> ridge(CtC.rows(), CtC.cols());
    ridge.setIdentity();
    return CtC + 1e-9 * (mean > 0.0 ? mean : 1.0) * ridge;
}

} // namespace

TWeightedRows WeightedRows(const MatrixXd& Jacobian, const VectorXd& Measured, const VectorXd& Errors,
                           const Eigen::SparseMatrix<double>& Smoothness, const char* Inversion, const char* Quantity)
{
    const Index n = Jacobian.cols();
    if (Measured.size() != Jacobian.rows() || Errors.size() != Measured.size() || Smoothness.cols() != n)
        throw EForwardError(std::string("The ") + Inversion + " inversion's data, errors and cells do not match in size.");
    std::vector<Index> rows;
    for (Index i = 0; i < Measured.size(); ++i)
        if (std::isfinite(Measured[i]) && std::isfinite(Errors[i]) && Errors[i] > 0.0 &&
            std::isfinite(Measured[i] / Errors[i]))
            rows.push_back(i);
    if (rows.empty())
        throw EForwardError(std::string("No datum has ") + Quantity + " to invert.");
    const auto N = static_cast<Index>(rows.size());
    TWeightedRows weighted{MatrixXd(N, n), VectorXd(N)};
    for (Index r = 0; r < N; ++r) {
        const Index i = rows[static_cast<size_t>(r)];
        if (n > 0) // a row of no cells has no storage to copy
            weighted.WJ.row(r) = Jacobian.row(i) / Errors[i];
        weighted.Wd[r] = Measured[i] / Errors[i];
    }
    return weighted;
}

TLambdaChoice InvertLinear(const TWeightedRows& Rows, const Eigen::SparseMatrix<double>& Smoothness, double Lower,
                           double Upper)
{
    const Index n = Rows.WJ.cols();
    TLambdaChoice choice{VectorXd::Zero(n), 0.0, FirstSweepLambda};
    if (n == 0) {
        choice.ChiSquare = RowsChiSquare(Rows, choice.Model);
        return choice;
    }
    const auto data = static_cast<double>(Rows.Wd.size());
    const Eigen::SparseMatrix<double> CtC = Smoothness.transpose() * Smoothness;
    const TLinearisedChange curve(Rows.WJ, Regularisation(CtC), Rows.Wd);
    // The cross-validation's λ bounds the sweep where the data hold more
    // than their errors; where the bounds keep χ² from 1 at every λ, it is
    // the choice either way.
    const double validated = curve.CrossValidationLambda(LastSweepLambda, FirstSweepLambda);
    const double lowest = curve.NoiseLevel(validated) > NoiseLevelBeyondErrors ? validated : LastSweepLambda;
    double first = FirstSweepLambda;
    while (first / 3.0 >= LastSweepLambda && curve.SquaredMisfit(first) / data > 1.0)
        first /= 3.0;
    VectorXd x = curve.Solve(std::max(first, lowest));
    bool reached = false;
    for (double lambda = first; lambda >= lowest * (1.0 - 1e-9); lambda /= 3.0) {
        x = BoundedSolve(Rows.WJ, Rows.Wd, CtC, lambda, x, Lower, Upper);
        choice = {x, RowsChiSquare(Rows, x), lambda};
        if (choice.ChiSquare <= 1.0) {
            reached = true;
            break;
        }
    }
    if (!reached) {
        x = BoundedSolve(Rows.WJ, Rows.Wd, CtC, validated, x, Lower, Upper);
        choice = {x, RowsChiSquare(Rows, x), validated};
        choice.FromNoise = choice.ChiSquare > 1.0;
        choice.ErrorScale = std::max(1.0, curve.NoiseLevel(validated));
    }
    return choice;
}

} // namespace lp
