// The factorisation and the potentials on their own: what a failing
// factorisation leaves on standard output, and the path vectors' and the
// several sources' potentials against the inverse of the matrix.

#include "section/forward/ForwardSolver.h"

#include "section/forward/ForwardModel.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A grid of 7 x 6 nodes with diagonals, as a mesh's pattern; diagonally
// dominant, so positive definite: its lower triangle.
Eigen::SparseMatrix<double> GridSystem(int& n)
{
    const int columns = 7, rows = 6;
    n = columns * rows;
    std::vector<Eigen::Triplet<double>> entries;
    const auto couple = [&](int a, int b, double value) { entries.emplace_back(std::max(a, b), std::min(a, b), value); };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int node = r * columns + c;
            couple(node, node, 5.2 + 0.1 * (node % 5)); // above the sum of its neighbours
            if (c + 1 < columns)
                couple(node, node + 1, -1.0);
            if (r + 1 < rows)
                couple(node, node + columns, -1.0);
            if (c + 1 < columns && r + 1 < rows)
                couple(node, node + columns + 1, -0.5);
        }
    return LowerTriangle(n, entries);
}

Eigen::MatrixXd Inverse(const Eigen::SparseMatrix<double>& a)
{
    Eigen::MatrixXd dense = Eigen::MatrixXd(a);
    dense.triangularView<Eigen::StrictlyUpper>() = dense.transpose();
    return dense.llt().solve(Eigen::MatrixXd::Identity(a.rows(), a.cols()));
}

TEST(ForwardSolver, PathVectorsGiveThePotentialsOfTheFullSolutionAndExactReciprocity)
{
    int n = 0;
    const Eigen::SparseMatrix<double> a = GridSystem(n);
    const Eigen::MatrixXd inverse = Inverse(a);
    const TSystemAnalysis analysis(a);
    TSystemFactor factor(analysis);
    factor.Factorise(a);
    const std::vector<int> nodes{0, 3, 6, 17, 24, 35, 41};
    std::vector<TPathVector> paths;
    for (int node : nodes) {
        paths.push_back(factor.PathSolve(node));
        EXPECT_EQ(static_cast<int>(paths.back().Columns.size()), analysis.PathLength(node));
        EXPECT_TRUE(std::is_sorted(paths.back().Columns.begin(), paths.back().Columns.end()));
    }
    for (size_t m = 0; m < nodes.size(); ++m)
        for (size_t s = 0; s < nodes.size(); ++s) {
            const double potential = PathProduct(paths[m], paths[s]);
            EXPECT_NEAR(potential, inverse(nodes[m], nodes[s]), 1e-14) << nodes[m] << " from " << nodes[s];
            EXPECT_EQ(potential, PathProduct(paths[s], paths[m]));
        }
    // A node outside the system is refused, not read past its end.
    EXPECT_THROW(factor.PathSolve(n), EForwardError);
    EXPECT_THROW(analysis.PathLength(-1), EForwardError);
}

TEST(ForwardSolver, SourcesAtOnceGiveThePotentialsOfTheFullSolutionAtEveryNode)
{
    int n = 0;
    const Eigen::SparseMatrix<double> a = GridSystem(n);
    const Eigen::MatrixXd inverse = Inverse(a);
    const TSystemAnalysis analysis(a);
    TSystemFactor factor(analysis);
    // Refused before a factorisation.
    TNodeMatrix potentials;
    EXPECT_THROW(factor.SolveSources({0}, 1.0, potentials), EForwardError);
    factor.Factorise(a);
    // More sources than one block holds, the last block part full, a
    // source twice: the inverse's columns, scaled.
    std::vector<int> sources;
    for (int s = 0; s < TSystemFactor::SourceBlock + 5; ++s)
        sources.push_back((7 * s + 3) % n);
    sources.push_back(sources.front());
    factor.SolveSources(sources, 0.5, potentials);
    ASSERT_EQ(potentials.rows(), n);
    ASSERT_EQ(potentials.cols(), static_cast<Eigen::Index>(sources.size()));
    for (size_t s = 0; s < sources.size(); ++s)
        for (int node = 0; node < n; ++node)
            EXPECT_NEAR(potentials(node, long(s)), 0.5 * inverse(node, sources[s]), 1e-14)
                << node << " from " << sources[s];
    EXPECT_EQ(potentials.col(0), potentials.col(long(sources.size()) - 1));
    // The same as a solution for dense right-hand sides, to rounding.
    Eigen::MatrixXd unit = Eigen::MatrixXd::Zero(n, 2);
    unit(sources[1], 0) = unit(sources[2], 1) = 0.5;
    const Eigen::MatrixXd solved = factor.Solve(unit);
    EXPECT_LE((solved.col(0) - potentials.col(1)).cwiseAbs().maxCoeff(), 1e-15);
    EXPECT_LE((solved.col(1) - potentials.col(2)).cwiseAbs().maxCoeff(), 1e-15);
    factor.SolveSources({}, 1.0, potentials);
    EXPECT_EQ(potentials.rows(), n);
    EXPECT_EQ(potentials.cols(), 0);
    // A node outside the system is refused, not read past its end.
    EXPECT_THROW(factor.SolveSources({0, n}, 1.0, potentials), EForwardError);
    EXPECT_THROW(factor.SolveSources({-1}, 1.0, potentials), EForwardError);
}

} // namespace
} // namespace lp::test
