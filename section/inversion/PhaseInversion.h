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
// (mrad), λ chosen as for the chargeabilities (LinearInversion.h: the
// largest of a sweep reaching χ² ≤ 1, never below the misfit–roughness
// curve's corner). A ground's phase is never above 0 (the voltage lags
// over a polarizable ground): cells the solution puts above 0 are held at
// 0 and the rest solved again.
//
// Units: φ in mrad, negative when polarizable (MeasuredData.h). The cost is
// that of a few conjugate-gradient solves on J: no forward computation.

#include "section/inversion/LinearInversion.h"

#include <Eigen/Dense>
#include <Eigen/Sparse>

namespace lp {

struct TPhaseResult {
    Eigen::VectorXd Phases;   // per parameter, mrad, 0 or below
    Eigen::VectorXd Response; // φa calculated per datum, mrad
    double ChiSquare = 0.0;   // of the data used
    double Lambda = 0.0;
    bool FromNoise = false;   // χ² 1 out of reach (TLambdaChoice)
    double ErrorScale = 1.0;
};

// Measured φa and absolute Errors in mrad, nan where a datum has none (left
// out). Raises EForwardError for inconsistent sizes or no usable datum.
TPhaseResult InvertPhases(const Eigen::MatrixXd& Jacobian, const Eigen::VectorXd& Measured,
                          const Eigen::VectorXd& Errors, const Eigen::SparseMatrix<double>& Smoothness);

} // namespace lp
