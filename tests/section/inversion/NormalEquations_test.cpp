// The conjugate-gradient solve of the regularised normal equations against
// a dense factorisation of the same system, with held parameters, warm
// starts and the sizes it refuses.

#include "section/inversion/NormalEquations.h"

#include "section/survey/ModellingError.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lp {
namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

struct TSystem {
    MatrixXd A;
    Eigen::SparseMatrix<double> CtC;
    VectorXd b;

    TSystem(int Data, int Parameters)
    {
        std::mt19937 random(11);
        std::normal_distribution<double> normal;
        A = MatrixXd::NullaryExpr(Data, Parameters, [&]() { return normal(random); });
        // A chain of first differences.
        Eigen::SparseMatrix<double> C(Parameters - 1, Parameters);
        for (int j = 0; j + 1 < Parameters; ++j) {
            C.insert(j, j) = -1.0;
            C.insert(j, j + 1) = 1.0;
        }
        CtC = C.transpose() * C;
        b = VectorXd::NullaryExpr(Parameters, [&]() { return normal(random); });
    }

    // The dense answer over the free parameters, 0 at the held ones.
    VectorXd Dense(double Lambda, const std::vector<bool>& Free) const
    {
        const MatrixXd full = A.transpose() * A + Lambda * MatrixXd(CtC);
        std::vector<int> index;
        for (int j = 0; j < A.cols(); ++j)
            if (Free.empty() || Free[static_cast<size_t>(j)])
                index.push_back(j);
        const auto n = static_cast<Eigen::Index>(index.size());
        MatrixXd M(n, n);
        VectorXd r(n);
        for (Eigen::Index p = 0; p < n; ++p) {
            r[p] = b[index[static_cast<size_t>(p)]];
            for (Eigen::Index q = 0; q < n; ++q)
                M(p, q) = full(index[static_cast<size_t>(p)], index[static_cast<size_t>(q)]);
        }
        const VectorXd y = M.ldlt().solve(r);
        VectorXd x = VectorXd::Zero(A.cols());
        for (Eigen::Index p = 0; p < n; ++p)
            x[index[static_cast<size_t>(p)]] = y[p];
        return x;
    }
};

TEST(NormalEquations, AgreesWithTheDenseSolveForEveryLambda)
{
    // More parameters than data: only the regularisation makes it solvable.
    const TSystem s(40, 90);
    const TNormalEquations normal(s.A, s.CtC);
    for (double lambda : {100.0, 1.0, 0.1}) {
        const VectorXd dense = s.Dense(lambda, {});
        const VectorXd x = normal.Solve(lambda, s.b, {}, 1e-12);
        EXPECT_LT((x - dense).norm(), 1e-5 * dense.norm()) << "lambda " << lambda;
        const VectorXd product = (s.A.transpose() * s.A + lambda * MatrixXd(s.CtC)) * dense;
        EXPECT_LT((normal.Apply(lambda, dense) - product).norm(), 1e-4 * product.norm()); // the ridge only
    }
}

TEST(NormalEquations, HeldParametersStayAtZeroAndLeaveTheirEquations)
{
    const TSystem s(60, 30);
    std::vector<bool> free(30, true);
    for (int j : {0, 7, 8, 29})
        free[static_cast<size_t>(j)] = false;
    const TNormalEquations normal(s.A, s.CtC, free);
    const VectorXd dense = s.Dense(2.0, free);
    VectorXd start = VectorXd::Constant(30, 5.0); // held entries of a start are ignored
    const VectorXd x = normal.Solve(2.0, s.b, start, 1e-10);
    EXPECT_LT((x - dense).norm(), 1e-6 * dense.norm());
    for (int j : {0, 7, 8, 29})
        EXPECT_EQ(x[j], 0.0);
    // Nothing free: nothing to solve.
    const TNormalEquations none(s.A, s.CtC, std::vector<bool>(30, false));
    EXPECT_EQ(none.Solve(2.0, s.b).norm(), 0.0);
    EXPECT_EQ(normal.Solve(2.0, VectorXd::Zero(30)).norm(), 0.0);
}

TEST(NormalEquations, StartingFromANearbyAnswerTakesFewerIterations)
{
    const TSystem s(80, 200);
    const TNormalEquations normal(s.A, s.CtC);
    const VectorXd first = normal.Solve(10.0, s.b);
    const int cold = normal.LastIterations();
    normal.Solve(8.0, s.b);
    const int again = normal.LastIterations();
    normal.Solve(8.0, s.b, first);
    EXPECT_GT(cold, 0);
    EXPECT_LT(normal.LastIterations(), again);
}

// Guards against a product that skipped the blocks of the threads the
// system would not start: with no thread to be had beyond the calling one,
// the product over four blocks must still be the whole product.
TEST(NormalEquations, AProductWithoutTheThreadsAskedForIsStillWhole)
{
    const pid_t child = fork();
    if (child == 0) {
        const TSystem system(2048, 300);
        const TNormalEquations serial(system.A, system.CtC, {}, 1);
        const TNormalEquations threaded(system.A, system.CtC, {}, 4);
        const VectorXd expected = serial.Apply(0.5, system.b);
        // Another product first, so that memory the threaded one takes
        // holds no part of the expected answer.
        const VectorXd other = serial.Apply(0.5, -3.0 * system.b);
        VectorXd product = VectorXd::Zero(system.b.size());
        // The address space may grow by 4 MiB, less than a thread's stack.
        long pages = 0;
        FILE* statm = std::fopen("/proc/self/statm", "r");
        if (!statm || std::fscanf(statm, "%ld", &pages) != 1)
            _exit(90);
        std::fclose(statm);
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(4) << 20);
        const rlimit bound{limit, limit};
        if (setrlimit(RLIMIT_AS, &bound) != 0)
            _exit(91);
        try {
            std::thread([] {}).join();
            _exit(92); // the limit does not stop threads here: nothing is shown
        } catch (const std::system_error&) {
        }
        product = threaded.Apply(0.5, system.b);
        _exit((product - expected).norm() <= 1e-12 * expected.norm() && other.norm() > 0 ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == 92)
        GTEST_SKIP() << "an address-space limit does not stop a thread from starting here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "0 whole, 3 blocks left out, 90/91 the limit could not be set";
}

TEST(NormalEquations, RefusesMismatchedSizes)
{
    const TSystem s(10, 8);
    EXPECT_THROW(TNormalEquations(s.A, Eigen::SparseMatrix<double>(7, 7)), EForwardError);
    EXPECT_THROW(TNormalEquations(s.A, s.CtC, std::vector<bool>(3, true)), EForwardError);
    const TNormalEquations normal(s.A, s.CtC);
    EXPECT_THROW(normal.Solve(1.0, VectorXd::Zero(5)), EForwardError);
    EXPECT_THROW(normal.Solve(1.0, s.b, VectorXd::Zero(3)), EForwardError);
}

} // namespace
} // namespace lp
