#pragma once
// The regularised normal equations of a linearised inversion step,
//     (AᵀA + λ CᵀC) x = b,
// solved by conjugate gradients without forming AᵀA: A (data × parameters,
// the weighted Jacobian) is applied as a matrix, CᵀC is sparse, and the
// preconditioner is the diagonal. Memory stays of the order of A itself;
// several λ share one A (each solve can start from the last one's answer).
//
// Held parameters (Free[j] = 0) are not solved for: their entries of x are
// 0 and their equations are left out, as if their columns were removed.

#include "section/forward/ForwardResponse.h"

#include <Eigen/Dense>
#include <Eigen/Sparse>

#include <algorithm>
#include <atomic>
#include <vector>

namespace lp {

// Work(first, end) over Count items split into one block per thread (at
// least Smallest items a block). The calling thread and the shared workers
// (WorkerPool.h) take blocks until none is left: the system may give fewer
// threads than asked, and every block must still be done. Where ItemWork
// (operations per item) is given and the whole is below ShareWork, the
// blocks run on the calling thread alone: waking a worker would cost more
// than the product. The blocks are the same either way, so are the results.
inline constexpr double ShareWork = 1 << 18;

template <typename TWork>
void InBlocks(Eigen::Index Count, int Threads, const TWork& Work, Eigen::Index Smallest = 256, double ItemWork = 0.0)
{
    const int blocks = static_cast<int>(std::clamp<Eigen::Index>(Count / Smallest, 1, std::max(1, Threads)));
    if (blocks == 1 || (ItemWork > 0.0 && static_cast<double>(Count) * ItemWork < ShareWork)) {
        for (int b = 0; b < blocks; ++b)
            Work(Count * b / blocks, Count * (b + 1) / blocks);
        return;
    }
    std::atomic<int> next{0};
    RunOnThreads(blocks, [&](const std::atomic<bool>& failed) {
        for (int b = next++; b < blocks && !failed; b = next++)
            Work(Count * b / blocks, Count * (b + 1) / blocks);
    });
}

class TNormalEquations {
public:
    // A and CtC are referenced, not copied: they must outlive this object.
    // Free: one per column of A (empty: every parameter free). Threads:
    // those applying A at once (0: every usable core). Raises
    // EForwardError when the sizes do not match.
    TNormalEquations(const Eigen::MatrixXd& A, const Eigen::SparseMatrix<double>& CtC, std::vector<bool> Free = {},
                     int Threads = 0);

    // x for λ ≥ 0 and the right-hand side b (one per parameter; held
    // entries ignored), starting from Start (empty: 0). Stops when the
    // residual falls below Tolerance × ‖b‖ or after twice as many
    // iterations as there are free parameters (at most 2,000).
    Eigen::VectorXd Solve(double Lambda, const Eigen::VectorXd& B, const Eigen::VectorXd& Start = {},
                          double Tolerance = 1e-3) const;

    // (AᵀA + λ CᵀC) x over the free parameters.
    Eigen::VectorXd Apply(double Lambda, const Eigen::VectorXd& X) const;

    // Iterations of the last Solve (for benchmarks and tests).
    int LastIterations() const { return FIterations; }

private:
    const Eigen::MatrixXd& FA;
    const Eigen::SparseMatrix<double>& FCtC;
    Eigen::VectorXd FFree;    // 1 or 0 per parameter
    Eigen::VectorXd FAtADiag; // column sums of squares of A
    Eigen::VectorXd FCtCDiag;
    double FRidge = 0.0;      // keeps a parameter no datum and no neighbour sees solvable
    int FFreeCount = 0;
    int FThreads = 1;
    mutable int FIterations = 0;
};

} // namespace lp
