#include "section/inversion/PhaseInversion.h"

#include "section/survey/ModellingError.h"
#include "section/inversion/LinearisedChange.h"
#include "section/inversion/NormalEquations.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace lp {

using Eigen::Index;
using Eigen::MatrixXd;
using Eigen::VectorXd;

namespace {

// The phases for one λ, cells driven above 0 held there and the rest
// solved again (a handful of passes settles it).
VectorXd BoundedPhases(const MatrixXd& WJ, const VectorXd& WtWd, const Eigen::SparseMatrix<double>& CtC,
                       double Lambda, const VectorXd& Start)
{
    const Index n = WJ.cols();
    std::vector<bool> free(static_cast<size_t>(n), true);
    VectorXd phi = Start;
    for (int pass = 0; pass < 10; ++pass) {
        const TNormalEquations normal(WJ, CtC, free);
        // A residual of 1e-4 of the right-hand side leaves the phases within
        // hundredths of a mrad of the exact solution at a fraction of the
        // iterations 1e-6 takes.
        phi = normal.Solve(Lambda, WtWd, phi, 1e-4);
        bool changed = false;
        for (Index j = 0; j < n; ++j)
            if (free[static_cast<size_t>(j)] && phi[j] > 0.0) {
                free[static_cast<size_t>(j)] = false;
                phi[j] = 0.0;
                changed = true;
            }
        if (!changed)
            break;
    }
    return phi.cwiseMin(0.0);
}

// The sweep's first λ worth a bounded solve: the largest of its steps
// whose unbounded phases reach χ² ≤ 1, told for every λ at once by the
// linear problem's closed form (LinearisedChange.h). Holding cells at 0
// only raises χ², so no larger λ of the sweep reaches 1 bounded; the
// bounded solves, each a conjugate-gradient run, start there instead of at
// the top of the sweep.
double FirstBoundedLambda(const TWeightedRows& Rows, const Eigen::SparseMatrix<double>& CtC)
{
    // A small ridge keeps a uniform phase, which the smoothness does not see, to the data.
    const double mean = CtC.rows() > 0 ? CtC.diagonal().mean() : 1.0;
    Eigen::SparseMatrix<double> ridge(CtC.rows(), CtC.cols());
    ridge.setIdentity();
    const TLinearisedChange linear(Rows.WJ, CtC + 1e-9 * (mean > 0.0 ? mean : 1.0) * ridge, Rows.Wd);
    const double data = static_cast<double>(Rows.Wd.size());
    double lambda = FirstSweepLambda;
    while (lambda / 3.0 >= 1e-3 && linear.SquaredMisfit(lambda) / data > 1.0)
        lambda /= 3.0;
    return lambda;
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
        if (std::isfinite(Measured[i]) && std::isfinite(Errors[i]) && Errors[i] > 0.0)
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
        if (!std::isfinite(weighted.Wd[r]))
            throw EForwardError(std::string("Datum ") + std::to_string(i + 1) + " has " + Quantity +
                                " that its error turns into no finite number.");
    }
    return weighted;
}

TLambdaChoice ChooseLambda(const TWeightedRows& Rows, const std::function<VectorXd(double)>& Solve, double First)
{
    TLambdaChoice best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (double lambda = First; lambda >= 1e-3; lambda /= 3.0) {
        VectorXd model = Solve(lambda);
        const double chi = (Rows.Wd - Rows.WJ * model).squaredNorm() / static_cast<double>(Rows.Wd.size());
        const double distance = chi <= 1.0 ? 0.0 : chi - 1.0;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = {std::move(model), chi, lambda};
        }
        if (chi <= 1.0)
            break;
    }
    // A misfit that is no finite number for every λ (values or weights
    // beyond what a double holds) chooses nothing: said, never an empty model.
    if (best.Model.size() == 0 && Rows.WJ.cols() > 0)
        throw EForwardError("No regularisation strength gave a model whose misfit is a finite number: a datum's "
                            "value or error is far beyond what a ground gives. Nothing was inverted.");
    return best;
}

TPhaseResult InvertPhases(const MatrixXd& Jacobian, const VectorXd& Measured, const VectorXd& Errors,
                          const Eigen::SparseMatrix<double>& Smoothness)
{
    const Index n = Jacobian.cols();
    const TWeightedRows rows = WeightedRows(Jacobian, Measured, Errors, Smoothness, "phase", "a phase");
    const Eigen::SparseMatrix<double> CtC = Smoothness.transpose() * Smoothness;
    const VectorXd WtWd = rows.WJ.transpose() * rows.Wd;
    // Each λ starts from the last one's phases.
    VectorXd phi = VectorXd::Zero(n);
    const TLambdaChoice choice = ChooseLambda(rows, [&](double lambda) {
        if (n > 0)
            phi = BoundedPhases(rows.WJ, WtWd, CtC, lambda, phi);
        return phi;
    }, n > 0 ? FirstBoundedLambda(rows, CtC) : FirstSweepLambda);
    return {choice.Model, Jacobian * choice.Model, choice.ChiSquare, choice.Lambda};
}

} // namespace lp
