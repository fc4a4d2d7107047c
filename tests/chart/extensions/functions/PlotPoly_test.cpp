// Gaussian elimination (pivoting, determinant sign, singular systems), the
// power vector, the polynomial's value and the fit's argument check.

#include "chart/extensions/functions/PlotPoly.h"

#include "platform/base/Exception.h"

#include <vector>

#include <gtest/gtest.h>

namespace lp {
namespace {

// The determinant of the 2 × 2 system [[A, B], [C, D]] x = (E, F).
double Solve2(TPolyReal A, TPolyReal B, TPolyReal C, TPolyReal D, TPolyReal E, TPolyReal F, TPolyVector& X)
{
    TPolyMatrix M{};
    M[0][0] = A;
    M[0][1] = B;
    M[1][0] = C;
    M[1][1] = D;
    TPolyVector Right{E, F};
    return static_cast<double>(GaussianElimination(2, M, Right, 1e-15L, X));
}

TEST(GaussianElimination, SolvesAndGivesTheSignedDeterminant)
{
    TPolyVector X{};
    EXPECT_NEAR(Solve2(2, 1, 1, 3, 3, 5, X), 5, 1e-15);
    EXPECT_NEAR(static_cast<double>(X[0]), 0.8, 1e-15);
    EXPECT_NEAR(static_cast<double>(X[1]), 1.4, 1e-15);
    // The lower row is the pivot: one swap negates the product.
    EXPECT_NEAR(Solve2(1, 2, 3, 4, 5, 6, X), -2, 1e-15);
    EXPECT_NEAR(static_cast<double>(X[0]), -4, 1e-15);
    EXPECT_NEAR(static_cast<double>(X[1]), 4.5, 1e-15);
    // Equal magnitudes keep the upper row: no swap, determinant 1 - (-1).
    EXPECT_NEAR(Solve2(1, 1, -1, 1, 2, 0, X), 2, 1e-15);
}

TEST(GaussianElimination, SingularSystemsGiveZero)
{
    TPolyVector X{};
    EXPECT_EQ(Solve2(1, 2, 2, 4, 1, 2, X), 0);
    EXPECT_EQ(Solve2(0, 0, 0, 0, 1, 1, X), 0);
    EXPECT_EQ(Solve2(1, 1, 1, 1, 1, 1, X), 0); // only the last pivot vanishes
    TPolyMatrix A{};
    TPolyVector B{};
    EXPECT_THROW(GaussianElimination(MaxPolyTerms + 1, A, B, 1e-15L, X), ERangeError);
}

TEST(PolyFitting, PowersValuesAndMismatchedLists)
{
    TPolyVector P{};
    P[1] = 99;
    PowerVector(1, P, 3);
    EXPECT_EQ(P[1], 99); // one term writes only the first entry
    PowerVector(4, P, 3);
    EXPECT_EQ(P[3], 27);
    EXPECT_EQ(PolynomialValue(3, TPolyVector{1, 1, 1}, 0.5L), 1.75L);
    // The fit itself is tested through the curve-fitting function.
    const std::vector<TPolyReal> X{1, 1, 1};
    EXPECT_THROW(PolyFitting(2, X, std::vector<TPolyReal>{1}), ERangeError);
}

} // namespace
} // namespace lp
