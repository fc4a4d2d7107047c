#include "section/inversion/PhaseInversion.h"

#include "section/survey/ModellingError.h"

#include <limits>

namespace lp {

using Eigen::Index;
using Eigen::MatrixXd;
using Eigen::VectorXd;

TPhaseResult InvertPhases(const MatrixXd& Jacobian, const VectorXd& Measured, const VectorXd& Errors,
                          const Eigen::SparseMatrix<double>& Smoothness)
{
    const TWeightedRows rows = WeightedRows(Jacobian, Measured, Errors, Smoothness, "phase", "a phase");
    const TLambdaChoice choice =
        InvertLinear(rows, Smoothness, -std::numeric_limits<double>::infinity(), 0.0);
    return {choice.Model, Jacobian * choice.Model, choice.ChiSquare, choice.Lambda, choice.FromNoise,
            choice.ErrorScale};
}

} // namespace lp
