#pragma once
// The linear inversions that follow the resistivity's: the cells'
// chargeabilities from apparent chargeabilities (Inversion.h) and their
// phases from apparent phases (PhaseInversion.h). Both minimise
//     ‖W (d − J x)‖² + λ ‖C x‖²,   W = diag(1 / e_i),
// over the cells' values x within bounds (a chargeability 0 .. < 1, a
// phase 0 or below): cells a solution drives past a bound are held at it
// and the rest solved again (a handful of passes settles it).
//
// λ: the sweep 1000, 1000/3, ... down to 1e-3, the largest λ whose bounded
// model reaches χ² ≤ 1 taken, but never a λ below the corner of the
// misfit–roughness curve (LinearisedChange.h: CornerLambda). Where χ² 1 is
// out of reach (errors stated below what the data hold: 3-D ground,
// electrode contacts, outliers; a real line's phases reached χ² 1.56e3 at
// 0.5 mrad), the sweep used to run to its end and image the misfit into
// cells of thousands of mrad; at the corner, lowering λ further would buy
// little misfit for much roughness, and the inversion stops there and says
// by how much the errors would have to grow (ErrorScale). The sweep's
// bounded solves start where the unbounded model (told for every λ at
// once by the curve) first reaches χ² 1: holding cells at a bound only
// raises χ², so no larger λ reaches 1 bounded. Each solve starts from the
// last one's model.

#include <Eigen/Dense>
#include <Eigen/Sparse>

namespace lp {

// The rows of a linear inversion after the resistivity's: the data with a
// finite value and an error above 0, each row of the Jacobian and each
// value divided by its error. Raises EForwardError naming Quantity ("a
// chargeability", "a phase") for inconsistent sizes or no usable datum.
struct TWeightedRows {
    Eigen::MatrixXd WJ; // used data × cells
    Eigen::VectorXd Wd;
};
TWeightedRows WeightedRows(const Eigen::MatrixXd& Jacobian, const Eigen::VectorXd& Measured,
                           const Eigen::VectorXd& Errors, const Eigen::SparseMatrix<double>& Smoothness,
                           const char* Inversion, const char* Quantity);

// The noise level the fit shows (TLinearisedChange::NoiseLevel, in the
// data's errors) at the cross-validation's λ beyond which the errors given
// are below what the data hold and that λ bounds the rule's; at or below
// it the errors are the data's (a few per cent is the cross-validation's
// own scatter) and χ² 1 decides alone.
inline constexpr double NoiseLevelBeyondErrors = 1.1;

inline constexpr double FirstSweepLambda = 1000.0;
inline constexpr double LastSweepLambda = 1e-3;

struct TLambdaChoice {
    Eigen::VectorXd Model;
    double ChiSquare = 0.0; // of the rows
    double Lambda = 0.0;
    // χ² 1 out of reach: λ is the generalised cross-validation's, and the
    // errors would have to be ErrorScale times larger for the misfit to be
    // the noise's (1 otherwise).
    bool FromNoise = false;
    double ErrorScale = 1.0;
};

// The bounded model of the rule above, Lower ≤ x ≤ Upper (either may be
// infinite). Never an empty model: a row set of no cells gives the empty
// model of its cells with the rows' χ².
TLambdaChoice InvertLinear(const TWeightedRows& Rows, const Eigen::SparseMatrix<double>& Smoothness, double Lower,
                           double Upper);

} // namespace lp
