#pragma once
// Small dense linear algebra for polynomial least squares, carried in
// long double (80-bit extended on x86, plain double elsewhere).
//
// Vectors and matrices hold up to MaxPolyTerms entries per side and count
// from 0: coefficient k multiplies x^k. A size outside 1 .. MaxPolyTerms
// raises ERangeError.

#include <array>
#include <span>

namespace lp {

using TPolyReal = long double;

inline constexpr int MaxPolyTerms = 20;

using TPolyVector = std::array<TPolyReal, MaxPolyTerms>;
using TPolyMatrix = std::array<TPolyVector, MaxPolyTerms>;

// Solves A x = B for the first N rows and columns, overwriting A and B.
// Partial pivoting takes a lower row only when its entry is strictly
// greater in magnitude. Returns the determinant of A, or 0 when a pivot
// falls below Tolerance in magnitude (X is then incomplete).
TPolyReal GaussianElimination(int N, TPolyMatrix& A, TPolyVector& B, TPolyReal Tolerance, TPolyVector& X);

// P[0] = 1, P[k] = P[k - 1] X for k < N; only P[0] for N below 2.
void PowerVector(int N, TPolyVector& P, TPolyReal X);

// Sum of A[k] X^k for k < N.
TPolyReal PolynomialValue(int N, const TPolyVector& A, TPolyReal X);

// Least-squares coefficients of NumTerms terms through the points (X[i],
// Y[i]); the normal equations are solved at tolerance 1e-15. Raises
// ChartException "Cannot process fitting" when they are singular, and
// ERangeError when X and Y differ in length.
TPolyVector PolyFitting(int NumTerms, std::span<const TPolyReal> X, std::span<const TPolyReal> Y);

} // namespace lp
