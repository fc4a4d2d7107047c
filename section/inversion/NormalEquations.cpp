#include "section/inversion/NormalEquations.h"

#include "section/forward/ForwardResponse.h"
#include "section/survey/ModellingError.h"

#include <algorithm>
#include <cmath>

namespace lp {

using Eigen::Index;
using Eigen::VectorXd;


TNormalEquations::TNormalEquations(const Eigen::MatrixXd& A, const Eigen::SparseMatrix<double>& CtC,
                                   std::vector<bool> Free, int Threads)
    : FA(A), FCtC(CtC), FThreads(Threads > 0 ? Threads : UsableCores())
{
    const Index n = A.cols();
    if (CtC.rows() != n || CtC.cols() != n || (!Free.empty() && Free.size() != static_cast<size_t>(n)))
        throw EForwardError("The inversion's normal equations do not match in size.");
    FFree = VectorXd::Ones(n);
    for (size_t j = 0; j < Free.size(); ++j)
        if (!Free[j])
            FFree[static_cast<Index>(j)] = 0.0;
    FFreeCount = static_cast<int>(FFree.sum());
    FAtADiag = A.colwise().squaredNorm().transpose();
    FCtCDiag = CtC.diagonal();
    const double largest = n > 0 ? FAtADiag.maxCoeff() : 0.0;
    FRidge = 1e-9 * std::max(1.0, largest);
}

VectorXd TNormalEquations::Apply(double Lambda, const VectorXd& X) const
{
    const VectorXd x = X.cwiseProduct(FFree);
    // A x by blocks of rows, then Aᵀ(A x) by blocks of columns: the two
    // passes over A are what an iteration costs.
    VectorXd Ax(FA.rows()), y(FA.cols());
    InBlocks(FA.rows(), FThreads, [&](Index first, Index end) {
        Ax.segment(first, end - first).noalias() = FA.middleRows(first, end - first) * x;
    }, 256, static_cast<double>(FA.cols()));
    InBlocks(FA.cols(), FThreads, [&](Index first, Index end) {
        y.segment(first, end - first).noalias() = FA.middleCols(first, end - first).transpose() * Ax;
    }, 256, static_cast<double>(FA.rows()));
    y += Lambda * (FCtC * x) + FRidge * x;
    return y.cwiseProduct(FFree);
}

VectorXd TNormalEquations::Solve(double Lambda, const VectorXd& B, const VectorXd& Start, double Tolerance) const
{
    const Index n = FA.cols();
    if (B.size() != n || (Start.size() != 0 && Start.size() != n))
        throw EForwardError("The inversion's normal equations do not match in size.");
    FIterations = 0;
    VectorXd x = Start.size() == n ? VectorXd(Start.cwiseProduct(FFree)) : VectorXd(VectorXd::Zero(n));
    const VectorXd b = B.cwiseProduct(FFree);
    const double bNorm = b.norm();
    if (FFreeCount == 0 || bNorm == 0.0 || !std::isfinite(bNorm))
        return bNorm == 0.0 ? VectorXd(VectorXd::Zero(n)) : x;
    // Jacobi preconditioner; 1 for held parameters (their residual is 0).
    VectorXd inverseDiagonal(n);
    for (Index j = 0; j < n; ++j) {
        const double d = FAtADiag[j] + Lambda * FCtCDiag[j] + FRidge;
        inverseDiagonal[j] = FFree[j] > 0.0 && d > 0.0 ? 1.0 / d : 1.0;
    }
    VectorXd r = b - Apply(Lambda, x);
    VectorXd z = r.cwiseProduct(inverseDiagonal);
    VectorXd p = z;
    double rz = r.dot(z);
    const int limit = std::min(2 * FFreeCount, 2000);
    const double goal = Tolerance * bNorm;
    while (FIterations < limit && r.norm() > goal) {
        const VectorXd q = Apply(Lambda, p);
        const double pq = p.dot(q);
        if (!(pq > 0.0))
            break; // no further descent (rounding at convergence)
        const double alpha = rz / pq;
        x += alpha * p;
        r -= alpha * q;
        z = r.cwiseProduct(inverseDiagonal);
        const double rzNext = r.dot(z);
        p = z + (rzNext / rz) * p;
        rz = rzNext;
        ++FIterations;
    }
    return x;
}

} // namespace lp
