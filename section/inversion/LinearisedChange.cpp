#include "section/inversion/LinearisedChange.h"

#include "section/forward/ForwardModel.h"
#include "section/inversion/NormalEquations.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lp {

using Eigen::Index;
using Eigen::MatrixXd;
using Eigen::VectorXd;

// Columns of the products per block of work: a block is a few
// milliseconds of arithmetic.
constexpr Index SmallestBlock = 32;

TLinearisedChange::TLinearisedChange(const MatrixXd& WeightedJacobian, const Eigen::SparseMatrix<double>& Regularisation,
                                     const VectorXd& WeightedData, int Threads)
    : FThreads(Threads > 0 ? Threads : UsableCores()), FData(WeightedData)
{
    if (Regularisation.rows() != WeightedJacobian.cols() || Regularisation.cols() != WeightedJacobian.cols())
        throw EForwardError("The change's regularisation does not match its cells.");
    if (WeightedData.size() != WeightedJacobian.rows())
        throw EForwardError("The change's data do not match its Jacobian.");
    FFactor.compute(Regularisation);
    if (FFactor.info() != Eigen::Success)
        throw EForwardError("The change's regularisation is not positive definite.");
    // B̃ᵀ = L⁻¹ P Bᵀ, a datum's column at a time.
    FBt.resize(WeightedJacobian.cols(), WeightedJacobian.rows());
    InBlocks(FBt.cols(), FThreads, [&](Index first, Index end) {
        auto block = FBt.middleCols(first, end - first);
        block = FFactor.permutationP() * WeightedJacobian.middleRows(first, end - first).transpose();
        FFactor.matrixL().solveInPlace(block);
    }, SmallestBlock);
    FDataSide = FBt.cols() <= FBt.rows();
    const Index size = FDataSide ? FBt.cols() : FBt.rows();
    // The lower triangle by bands of rows of equal area, then mirrored.
    MatrixXd gram(size, size);
    const Index bands = std::clamp<Index>(size / SmallestBlock, 1, FThreads);
    const auto edge = [&](Index band) {
        return static_cast<Index>(std::lround(static_cast<double>(size) * std::sqrt(static_cast<double>(band) / bands)));
    };
    InBlocks(bands, FThreads, [&](Index first, Index end) {
        for (Index band = first; band < end; ++band) {
            const Index top = edge(band), bottom = edge(band + 1);
            if (FDataSide)
                gram.block(top, 0, bottom - top, bottom).noalias() =
                    FBt.middleCols(top, bottom - top).transpose() * FBt.leftCols(bottom);
            else
                gram.block(top, 0, bottom - top, bottom).noalias() =
                    FBt.middleRows(top, bottom - top) * FBt.topRows(bottom).transpose();
        }
    }, 1);
    gram.triangularView<Eigen::StrictlyUpper>() = gram.transpose();
    FReduction.compute(gram);
    FDiagonal = FReduction.diagonal();
    FSubdiagonal = FReduction.subDiagonal();
    Eigen::SelfAdjointEigenSolver<MatrixXd> values;
    values.computeFromTridiagonal(FDiagonal, FSubdiagonal, Eigen::EigenvaluesOnly);
    if (values.info() != Eigen::Success)
        throw EForwardError("The change's linear problem could not be decomposed.");
    FValues = values.eigenvalues().cwiseMax(0.0);
    FProjected = FReduction.matrixQ().adjoint() * (FDataSide ? FData : VectorXd(FBt * FData));
    FDataNorm = FData.squaredNorm();
}

MatrixXd TLinearisedChange::TridiagonalSolve(double Lambda, const MatrixXd& X) const
{
    // T + λI is symmetric positive definite: elimination without pivoting holds.
    const Index n = FDiagonal.size();
    MatrixXd x = X;
    VectorXd pivot(n);
    pivot[0] = FDiagonal[0] + Lambda;
    for (Index i = 1; i < n; ++i) {
        const double factor = FSubdiagonal[i - 1] / pivot[i - 1];
        pivot[i] = FDiagonal[i] + Lambda - factor * FSubdiagonal[i - 1];
        x.row(i) -= factor * x.row(i - 1);
    }
    x.row(n - 1) /= pivot[n - 1];
    for (Index i = n - 2; i >= 0; --i)
        x.row(i) = (x.row(i) - FSubdiagonal[i] * x.row(i + 1)) / pivot[i];
    return x;
}

VectorXd TLinearisedChange::ProjectedSolve(double Lambda) const
{
    return TridiagonalSolve(Lambda, FProjected);
}

VectorXd TLinearisedChange::StandardSolve(double Lambda) const
{
    const VectorXd inner = FReduction.matrixQ() * ProjectedSolve(Lambda);
    return FDataSide ? VectorXd(FBt * inner) : inner;
}

namespace {

// The product sᵀTs with T the tridiagonal matrix.
double TridiagonalForm(const VectorXd& s, const VectorXd& diagonal, const VectorXd& subdiagonal)
{
    double sum = s.cwiseAbs2().dot(diagonal);
    for (Index i = 0; i + 1 < s.size(); ++i)
        sum += 2.0 * subdiagonal[i] * s[i] * s[i + 1];
    return sum;
}

} // namespace

double TLinearisedChange::SquaredMisfit(double Lambda) const
{
    const VectorXd s = ProjectedSolve(Lambda);
    if (FDataSide) // b − B̃y = λ(G + λI)⁻¹b, Q orthogonal
        return Lambda * Lambda * s.squaredNorm();
    // ‖b‖² − 2yᵀB̃ᵀb + yᵀGy with y = Qs, QᵀB̃ᵀb the projected data.
    return std::max(0.0, FDataNorm - 2.0 * s.dot(FProjected) + TridiagonalForm(s, FDiagonal, FSubdiagonal));
}

double TLinearisedChange::LambdaReaching(double Target, double Low, double High) const
{
    if (!(SquaredMisfit(Low) <= Target))
        return Low;
    if (SquaredMisfit(High) <= Target)
        return High;
    double low = std::log(Low), high = std::log(High);
    for (int i = 0; i < 40 && high - low > 0.01; ++i) {
        const double middle = 0.5 * (low + high);
        (SquaredMisfit(std::exp(middle)) <= Target ? low : high) = middle;
    }
    return std::exp(low);
}

double TLinearisedChange::Trace(double Lambda) const
{
    return (FValues.array() / (FValues.array() + Lambda)).sum();
}

double TLinearisedChange::NoiseLevel(double Lambda) const
{
    return std::sqrt(SquaredMisfit(Lambda) / std::max(1.0, static_cast<double>(FData.size()) - Trace(Lambda)));
}

namespace {

// The x in Low .. High (log-spaced: 8 trials a decade, then golden
// sections about the best) minimising F.
template <typename TFunction>
double MinimiseOverLambda(double Low, double High, const TFunction& F)
{
    const double first = std::log(Low), last = std::log(High);
    const int points = std::max(2, static_cast<int>(std::ceil((last - first) / std::log(10.0) * 8.0)) + 1);
    const double step = (last - first) / (points - 1);
    double best = first, bestValue = std::numeric_limits<double>::infinity();
    for (int i = 0; i < points; ++i) {
        const double value = F(std::exp(first + i * step));
        if (value < bestValue) {
            bestValue = value;
            best = first + i * step;
        }
    }
    double a = std::max(first, best - step), b = std::min(last, best + step);
    const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
    double c = b - golden * (b - a), d = a + golden * (b - a);
    double fc = F(std::exp(c)), fd = F(std::exp(d));
    for (int i = 0; i < 30; ++i) {
        if (fc < fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - golden * (b - a);
            fc = F(std::exp(c));
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + golden * (b - a);
            fd = F(std::exp(d));
        }
    }
    const double refined = 0.5 * (a + b);
    return F(std::exp(refined)) <= bestValue ? std::exp(refined) : std::exp(best);
}

} // namespace

double TLinearisedChange::PredictiveRisk(double Lambda) const
{
    return SquaredMisfit(Lambda) + 2.0 * Trace(Lambda) - static_cast<double>(FData.size());
}

double TLinearisedChange::RiskLambda(double Low, double High) const
{
    return MinimiseOverLambda(Low, High, [this](double Lambda) { return PredictiveRisk(Lambda); });
}

double TLinearisedChange::CrossValidation(double Lambda) const
{
    const double left = std::max(1.0, static_cast<double>(FData.size()) - Trace(Lambda));
    return SquaredMisfit(Lambda) / (left * left);
}

double TLinearisedChange::CrossValidationLambda(double Low, double High) const
{
    return MinimiseOverLambda(Low, High, [this](double Lambda) { return CrossValidation(Lambda); });
}

MatrixXd TLinearisedChange::ToCells(const MatrixXd& Y) const
{
    const MatrixXd z = FFactor.matrixU().solve(Y);
    return FFactor.permutationPinv() * z;
}

VectorXd TLinearisedChange::Solve(double Lambda) const
{
    return ToCells(StandardSolve(Lambda));
}

VectorXd TLinearisedChange::NoiseDeviation(double Lambda) const
{
    // Data side: the rows of P⁻¹L⁻ᵀB̃ᵀQ(T + λI)⁻¹ (a trailing Qᵀ keeps
    // every row's norm); over the cells, P⁻¹L⁻ᵀQ(T + λI)⁻¹QᵀB̃ᵀ. Both
    // formed a block of the data's columns at a time.
    const Index cells = FBt.rows();
    MatrixXd spread(cells, FBt.cols());
    if (FDataSide) {
        MatrixXd rotated(FBt.cols(), cells); // QᵀB̃, data × cells
        InBlocks(cells, FThreads, [&](Index first, Index end) {
            rotated.middleCols(first, end - first) =
                FReduction.matrixQ().adjoint() * FBt.middleRows(first, end - first).transpose();
        }, SmallestBlock);
        spread = TridiagonalSolve(Lambda, rotated).transpose();
    } else {
        MatrixXd projected(cells, FBt.cols());
        InBlocks(FBt.cols(), FThreads, [&](Index first, Index end) {
            projected.middleCols(first, end - first) = FReduction.matrixQ().adjoint() * FBt.middleCols(first, end - first);
        }, SmallestBlock);
        spread = TridiagonalSolve(Lambda, projected);
        InBlocks(FBt.cols(), FThreads, [&](Index first, Index end) {
            spread.middleCols(first, end - first) = FReduction.matrixQ() * spread.middleCols(first, end - first);
        }, SmallestBlock);
    }
    InBlocks(spread.cols(), FThreads, [&](Index first, Index end) {
        spread.middleCols(first, end - first) = ToCells(spread.middleCols(first, end - first));
    }, SmallestBlock);
    return spread.rowwise().norm();
}

} // namespace lp
