// Gaussian elimination (pivoting, determinant sign, singular systems), the
// power vector and the least-squares fit.

#include "chart/extensions/functions/PlotPoly.h"

#include "chart/engine/PlotEngine.h"
#include "platform/base/Exception.h"

#include <vector>

#include <gtest/gtest.h>

namespace lp {
namespace {

TPolyReal Solve2(TPolyReal A11, TPolyReal A12, TPolyReal A21, TPolyReal A22, TPolyReal B1, TPolyReal B2,
                 TPolyVector& X)
{
    TPolyMatrix A{};
    A[0][0] = A11;
    A[0][1] = A12;
    A[1][0] = A21;
    A[1][1] = A22;
    TPolyVector B{};
    B[0] = B1;
    B[1] = B2;
    return GaussianElimination(2, A, B, 1e-15L, X);
}

TEST(GaussianElimination, SolvesAndGivesTheSignedDeterminant)
{
    TPolyVector X{};
    EXPECT_NEAR(static_cast<double>(Solve2(2, 1, 1, 3, 3, 5, X)), 5, 1e-15);
    EXPECT_NEAR(static_cast<double>(X[0]), 0.8, 1e-15);
    EXPECT_NEAR(static_cast<double>(X[1]), 1.4, 1e-15);
    // The lower row is the pivot: one swap negates the product.
    EXPECT_NEAR(static_cast<double>(Solve2(1, 2, 3, 4, 5, 6, X)), -2, 1e-15);
    EXPECT_NEAR(static_cast<double>(X[0]), -4, 1e-15);
    EXPECT_NEAR(static_cast<double>(X[1]), 4.5, 1e-15);
    // Equal magnitudes keep the upper row: no swap, determinant 1 - (-1).
    EXPECT_NEAR(static_cast<double>(Solve2(1, 1, -1, 1, 2, 0, X)), 2, 1e-15);
}

TEST(GaussianElimination, SingularSystemsGiveZero)
{
    TPolyVector X{};
    EXPECT_EQ(Solve2(1, 2, 2, 4, 1, 2, X), 0);
    EXPECT_EQ(Solve2(0, 0, 0, 0, 1, 1, X), 0);
    // Singular only in the last pivot.
    EXPECT_EQ(Solve2(1, 1, 1, 1, 1, 1, X), 0);
    TPolyMatrix A{};
    TPolyVector B{};
    EXPECT_THROW(GaussianElimination(0, A, B, 1e-15L, X), ERangeError);
    EXPECT_THROW(GaussianElimination(MaxPolyTerms + 1, A, B, 1e-15L, X), ERangeError);
}

TEST(PolyFitting, ExactQuadraticAndPolynomialValue)
{
    const std::vector<TPolyReal> X{0, 1, 2};
    const std::vector<TPolyReal> Y{1, 3, 7};
    const TPolyVector A = PolyFitting(3, X, Y);
    for (int K = 0; K < 3; ++K)
        EXPECT_NEAR(static_cast<double>(A[K]), 1, 1e-12) << K;
    EXPECT_NEAR(static_cast<double>(PolynomialValue(3, A, 0.5L)), 1.75, 1e-12);
    TPolyVector P{};
    P[1] = 99;
    PowerVector(1, P, 3);
    EXPECT_EQ(P[0], 1);
    EXPECT_EQ(P[1], 99); // only the first entry for one term
    PowerVector(4, P, 3);
    EXPECT_EQ(P[3], 27);
}

TEST(PolyFitting, TooFewDistinctPointsCannotBeFitted)
{
    const std::vector<TPolyReal> X{1, 1, 1};
    const std::vector<TPolyReal> Y{1, 2, 3};
    try {
        PolyFitting(2, X, Y);
        FAIL() << "fitted";
    } catch (const ChartException& E) {
        EXPECT_EQ(E.Message(), "Cannot process fitting");
    }
    EXPECT_THROW(PolyFitting(2, X, std::vector<TPolyReal>{1}), ERangeError);
}

} // namespace
} // namespace lp
