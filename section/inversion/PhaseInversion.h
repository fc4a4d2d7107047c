#pragma once
// The linear inversion of the apparent phases of a frequency-domain survey
// for the cells' phases, after the resistivity's inversion.
//
// For small phases the complex resistivity ρ·e^{iφ} moves each apparent
// resistivity's logarithm by i·φa with
//     φa_i = Σ_j J_ij φ_j,   J_ij = ∂ln ρa_i / ∂ln ρ_j,
// the resistivity's own Jacobian at its final model (to first order in φ;
// a few tens of mrad stay well within it). The cells' phases minimise
//     ‖W (φa − J φ)‖² + λ ‖C φ‖²,   W = diag(1 / e_i),
// with the resistivity's smoothness C and the data's absolute errors e
// (mrad): λ runs down from 1000 by thirds to 1e-3 and the largest reaching
// χ² ≤ 1 wins, else the one whose χ² comes nearest 1, as for the
// chargeabilities (Inversion.h: InvertChargeability). A ground's phase is
// never above 0 (the voltage lags over a polarizable ground): cells the
// solution puts above 0 are held at 0 and the rest solved again.
//
// Units: φ in mrad, negative when polarizable (MeasuredData.h). The cost is
// that of a few conjugate-gradient solves on J: no forward computation.

#include <Eigen/Dense>
#include <Eigen/Sparse>

#include <functional>

namespace lp {

// The rows of a linear inversion after the resistivity's: the data with a
// finite value and an error above 0, each row of the Jacobian and each
// value divided by its error. Raises EForwardError naming Quantity ("a
// chargeability", "a phase") for inconsistent sizes, no usable datum, or
// a value over its error that is no finite number.
struct TWeightedRows {
    Eigen::MatrixXd WJ; // used data × cells
    Eigen::VectorXd Wd;
};
TWeightedRows WeightedRows(const Eigen::MatrixXd& Jacobian, const Eigen::VectorXd& Measured,
                           const Eigen::VectorXd& Errors, const Eigen::SparseMatrix<double>& Smoothness,
                           const char* Inversion, const char* Quantity);

// The λ of a linear inversion's regularisation: Solve(λ) gives the model
// for λ = First, First/3, ... down to 1e-3 (First 1000 or a step of that
// sweep below it); the largest λ whose model reaches χ² ≤ 1 on Rows wins
// (the sweep stops there), else the one whose χ² comes nearest 1; raises
// EForwardError when no λ gives a finite χ² (never an empty model).
struct TLambdaChoice {
    Eigen::VectorXd Model;
    double ChiSquare = 0.0;
    double Lambda = 0.0;
};
inline constexpr double FirstSweepLambda = 1000.0;
TLambdaChoice ChooseLambda(const TWeightedRows& Rows, const std::function<Eigen::VectorXd(double)>& Solve,
                           double First = FirstSweepLambda);

struct TPhaseResult {
    Eigen::VectorXd Phases;   // per parameter, mrad, 0 or below
    Eigen::VectorXd Response; // φa calculated per datum, mrad
    double ChiSquare = 0.0;   // of the data used
    double Lambda = 0.0;
};

// Measured φa and absolute Errors in mrad, nan where a datum has none (left
// out). Raises EForwardError for inconsistent sizes or no usable datum.
TPhaseResult InvertPhases(const Eigen::MatrixXd& Jacobian, const Eigen::VectorXd& Measured,
                          const Eigen::VectorXd& Errors, const Eigen::SparseMatrix<double>& Smoothness);

} // namespace lp
