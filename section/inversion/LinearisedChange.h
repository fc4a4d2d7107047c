#pragma once
// The change of one time-lapse step as a linear problem, solved for any
// regularisation strength λ after one reduction to tridiagonal form.
//
// Minimised over the change z (ln ρ per free cell):
//     ‖b − Bz‖² + λ zᵀRz
// B the data's weighted Jacobian W J (data × cells), b the weighted data
// of the change, R the regularisation (symmetric positive definite: the
// smoothness CᵀC with a small ridge that keeps a uniform change, which the
// smoothness does not see, to the data). With R = P⁻¹LLᵀP (sparse
// Cholesky) and z = P⁻¹L⁻ᵀy the problem is in standard form
// ‖b − B̃y‖² + λ‖y‖², B̃ = B P⁻¹L⁻ᵀ, solved by y = B̃ᵀ(G + λI)⁻¹b with the
// Gram matrix G = B̃B̃ᵀ (data × data; over the cells, G = B̃ᵀB̃ and
// y = (G + λI)⁻¹B̃ᵀb, where the data outnumber them). G = QTQᵀ
// (Householder) with T tridiagonal makes every λ cost O(size):
//     (G + λI)⁻¹ = Q (T + λI)⁻¹ Qᵀ
//     trace of the influence matrix B̃(B̃ᵀB̃ + λI)⁻¹B̃ᵀ = Σ Λ/(Λ+λ), Λ T's eigenvalues.
// λ is chosen by the unbiased estimate of the predictive risk (Mallows'
// C_L), the errors taken as known (b of unit noise):
//     ‖b − B̃y‖² + 2 trace − n,
// the λ whose change best predicts noise-free data of the change. Its fit
// ends near χ² = 1 − trace / n, below 1 by the data the change takes up:
// the discrepancy rule χ² = 1 asks the change to leave the noise's whole
// share in the misfit and damps a change near the noise level, which the
// data hold and which repeated surveys would confirm.
//
// The same reduction tells the generalised cross-validation of every λ,
//     GCV(λ) = ‖b − Bz‖² / (n − trace)²,
// the misfit a datum left out would have, on average, from the model of
// the others (Golub, Heath and Wahba, 1979), with no error level assumed:
// its minimum (CrossValidationLambda) is the rule of the inversions where
// the errors given are below what the data hold (Inversion.h), and the
// noise level at it (NoiseLevel) says by how much.
//
// The change's spread from the data's noise (b of unit variance): z =
// H b with H = P⁻¹L⁻ᵀ B̃ᵀ(G + λI)⁻¹, so the standard deviation of z_j is
// the norm of row j of H (on the data side Q drops out of the norm). It
// is the scatter of repeated surveys' images, not the smoothing's bias.

#include <Eigen/Dense>
#include <Eigen/Eigenvalues>
#include <Eigen/Sparse>

namespace lp {

class TLinearisedChange {
public:
    // WeightedJacobian B (data × cells), Regularisation R (cells × cells,
    // symmetric positive definite), WeightedData b (one per row of B);
    // Threads: those forming the products at once (0: every usable core).
    // Raises EForwardError when the sizes differ or R is not positive definite.
    TLinearisedChange(const Eigen::MatrixXd& WeightedJacobian, const Eigen::SparseMatrix<double>& Regularisation,
                      const Eigen::VectorXd& WeightedData, int Threads = 0);

    // The λ from Low to High (8 trials a decade, then golden sections about
    // the best) minimising PredictiveRisk.
    double RiskLambda(double Low, double High) const;
    // ‖b − Bz‖² + 2 trace − n: the unbiased estimate of the predictive
    // risk (Mallows) for b of unit noise, the errors taken as known.
    double PredictiveRisk(double Lambda) const;

    Eigen::VectorXd Solve(double Lambda) const;
    // ‖b − Bz(λ)‖², the weighted data's squared misfit.
    double SquaredMisfit(double Lambda) const;
    // ‖b − Bz‖² / (n − trace)²: the generalised cross-validation.
    double CrossValidation(double Lambda) const;
    // The λ from Low to High minimising CrossValidation (as RiskLambda).
    double CrossValidationLambda(double Low, double High) const;
    // The largest λ from Low to High whose SquaredMisfit is at most Target
    // (the discrepancy principle's λ for that misfit); Low where none
    // reaches it. The misfit rises with λ: a bisection on ln λ.
    double LambdaReaching(double Target, double Low, double High) const;
    // The data (rows of B).
    Eigen::Index Data() const { return FData.size(); }
    // Σ Λ/(Λ+λ): the data the change is fitted to, in effect.
    double Trace(double Lambda) const;
    // The noise of b as the fit tells it, in its units: √(‖b − Bz‖² / (n −
    // trace)). Errors set too large or too small give a level away from 1.
    double NoiseLevel(double Lambda) const;
    // Per cell, the standard deviation of z(λ) from unit noise in b.
    Eigen::VectorXd NoiseDeviation(double Lambda) const;

private:
    // (T + λI)⁻¹ X, column by column.
    Eigen::MatrixXd TridiagonalSolve(double Lambda, const Eigen::MatrixXd& X) const;
    // y(λ), the change in standard form.
    Eigen::VectorXd StandardSolve(double Lambda) const;
    // (T + λI)⁻¹ of the projected data.
    Eigen::VectorXd ProjectedSolve(double Lambda) const;
    Eigen::MatrixXd ToCells(const Eigen::MatrixXd& Y) const; // P⁻¹ L⁻ᵀ Y

    int FThreads = 1;
    Eigen::SimplicialLLT<Eigen::SparseMatrix<double>> FFactor;
    Eigen::MatrixXd FBt;             // B̃ᵀ, cells × data
    Eigen::VectorXd FData;           // b
    bool FDataSide = true;           // G over the data (else over the cells)
    Eigen::Tridiagonalization<Eigen::MatrixXd> FReduction; // G = QTQᵀ
    Eigen::VectorXd FDiagonal, FSubdiagonal; // T
    Eigen::VectorXd FValues;         // T's eigenvalues, 0 and above
    Eigen::VectorXd FProjected;      // Qᵀb (Qᵀ B̃ᵀ b over the cells)
    double FDataNorm = 0.0;          // ‖b‖²
};

} // namespace lp
