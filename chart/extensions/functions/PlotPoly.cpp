// Gaussian elimination and the polynomial least-squares fit.

#include "chart/extensions/functions/PlotPoly.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"
#include "platform/base/Exception.h"

#include <cmath>
#include <string>
#include <utility>

namespace lp {

namespace {

void CheckSize(int N)
{
    if (N < 1 || N > MaxPolyTerms)
        throw ERangeError("Polynomial size " + std::to_string(N) + " is outside 1 .. "
                          + std::to_string(MaxPolyTerms));
}

} // namespace

TPolyReal GaussianElimination(int N, TPolyMatrix& A, TPolyVector& B, TPolyReal Tolerance, TPolyVector& X)
{
    CheckSize(N);
    int Swaps = 0;
    for (int I = 0; I < N - 1; ++I) {
        int Pivot = I;
        TPolyReal Best = std::fabs(A[I][I]);
        for (int R = I + 1; R < N; ++R)
            if (std::fabs(A[R][I]) > Best) {
                Best = std::fabs(A[R][I]);
                Pivot = R;
            }
        if (Pivot != I) {
            for (int C = I; C < N; ++C)
                std::swap(A[I][C], A[Pivot][C]);
            std::swap(B[I], B[Pivot]);
            ++Swaps;
        }
        if (std::fabs(A[I][I]) < Tolerance)
            return 0;
        for (int R = I + 1; R < N; ++R) {
            const TPolyReal F = A[R][I] / A[I][I];
            for (int C = I + 1; C < N; ++C)
                A[R][C] -= F * A[I][C];
            B[R] -= F * B[I];
        }
    }
    if (std::fabs(A[N - 1][N - 1]) < Tolerance)
        return 0;
    TPolyReal Determinant = 1;
    for (int I = N - 1; I >= 0; --I) {
        TPolyReal Sum = 0;
        for (int C = I + 1; C < N; ++C)
            Sum += A[I][C] * X[C];
        X[I] = (B[I] - Sum) / A[I][I];
        Determinant *= A[I][I];
    }
    return Swaps % 2 != 0 ? -Determinant : Determinant;
}

void PowerVector(int N, TPolyVector& P, TPolyReal X)
{
    CheckSize(N);
    P[0] = 1;
    for (int K = 1; K < N; ++K)
        P[K] = P[K - 1] * X;
}

TPolyReal PolynomialValue(int N, const TPolyVector& A, TPolyReal X)
{
    TPolyVector P{};
    PowerVector(N, P, X);
    TPolyReal Sum = 0;
    for (int K = 0; K < N; ++K)
        Sum += A[K] * P[K];
    return Sum;
}

TPolyVector PolyFitting(int NumTerms, std::span<const TPolyReal> X, std::span<const TPolyReal> Y)
{
    CheckSize(NumTerms);
    if (X.size() != Y.size())
        throw ERangeError("Fitting needs as many Y values as X values");
    // The normal equations, summed point by point: no power table is kept.
    // The matrix is symmetric; its lower half is copied from the upper.
    TPolyMatrix A{};
    TPolyVector B{};
    TPolyVector P{};
    for (size_t I = 0; I < X.size(); ++I) {
        PowerVector(NumTerms, P, X[I]);
        for (int J = 0; J < NumTerms; ++J) {
            for (int K = J; K < NumTerms; ++K)
                A[J][K] += P[J] * P[K];
            B[J] += Y[I] * P[J];
        }
    }
    for (int J = 1; J < NumTerms; ++J)
        for (int K = 0; K < J; ++K)
            A[J][K] = A[K][J];
    TPolyVector Result{};
    if (GaussianElimination(NumTerms, A, B, 1e-15L, Result) == 0)
        throw ChartException(PlotMsg_FittingError);
    return Result;
}

} // namespace lp
