// The factorisation and the solutions on their own: what a failing
// factorisation leaves on standard output, and the blocks of right-hand
// sides against one solution of them all.

#include "section/forward/ForwardSolver.h"

#include "section/forward/ForwardModel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace lp::test {
namespace {

Eigen::SparseMatrix<double> LowerTriangle(int n, const std::vector<Eigen::Triplet<double>>& entries)
{
    Eigen::SparseMatrix<double> a(n, n);
    a.setFromTriplets(entries.begin(), entries.end());
    a.makeCompressed();
    return a;
}

// What the call writes to file descriptor 1 (standard output).
template <typename TCall>
std::string StandardOutputOf(TCall call)
{
    std::fflush(stdout);
    std::FILE* capture = std::tmpfile();
    EXPECT_NE(capture, nullptr);
    const int saved = dup(1);
    dup2(fileno(capture), 1);
    call();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string written;
    std::rewind(capture);
    for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture))
        written.push_back(static_cast<char>(c));
    std::fclose(capture);
    return written;
}

// Guards CHOLMOD's "not positive definite" warning printed on standard
// output, where the command line writes nothing but data.
TEST(ForwardSolver, AFailingFactorisationRaisesItsErrorAndPrintsNothing)
{
    // [[1 2] [2 1]]: symmetric, not positive definite.
    const Eigen::SparseMatrix<double> a = LowerTriangle(2, {{0, 0, 1.0}, {1, 0, 2.0}, {1, 1, 1.0}});
    std::string message;
    const std::string written = StandardOutputOf([&] {
        const TSystemAnalysis analysis(a);
        TSystemFactor factor(analysis);
        try {
            factor.Factorise(a);
        } catch (const EForwardError& error) {
            message = error.Message();
        }
    });
    EXPECT_EQ(written, "");
    EXPECT_NE(message.find("not positive definite"), std::string::npos) << message;
}

TEST(ForwardSolver, BlocksOfRightHandSidesGiveTheSolutionsOfAllAtOnce)
{
    // A path of 9 nodes: tridiagonal, positive definite.
    std::vector<Eigen::Triplet<double>> entries;
    for (int i = 0; i < 9; ++i) {
        entries.emplace_back(i, i, 2.5);
        if (i > 0)
            entries.emplace_back(i, i - 1, -1.0);
    }
    const Eigen::SparseMatrix<double> a = LowerTriangle(9, entries);
    const TSystemAnalysis analysis(a);
    TSystemFactor factor(analysis);
    factor.Factorise(a);
    const std::vector<int> sources{0, 3, 4, 8, 5}, electrodes{0, 2, 4, 6, 8};
    Eigen::MatrixXd b;
    SourceTerms(9, sources, 0, 5, b);
    const Eigen::MatrixXd all = PotentialsAt(factor.Solve(b), electrodes);
    Eigen::MatrixXd dense = Eigen::MatrixXd(a);
    dense.triangularView<Eigen::StrictlyUpper>() = dense.transpose();
    const Eigen::MatrixXd expected = PotentialsAt(dense.llt().solve(b), electrodes);
    EXPECT_LE((all - expected).cwiseAbs().maxCoeff(), 1e-14);
    for (int columns : {1, 2, 3}) {
        Eigen::MatrixXd blocks(5, 5);
        for (int first = 0; first < 5; first += columns) {
            SourceTerms(9, sources, first, std::min(columns, 5 - first), b);
            blocks.middleRows(first, b.cols()) = PotentialsAt(factor.Solve(b), electrodes);
        }
        EXPECT_EQ(blocks, all) << columns << " columns a block";
    }
    // A block beyond the sources is refused, not read past their end.
    EXPECT_THROW(SourceTerms(9, sources, 4, 2, b), EForwardError);
}

} // namespace
} // namespace lp::test
