#include "section/site/CrossingTies.h"

#include "section/inversion/NormalEquations.h"
#include "section/survey/ModellingError.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The column holding Distance (the first or last beyond the edges).
int ColumnAt(const TInversionMesh& Mesh, double Distance)
{
    const auto& edges = Mesh.ColumnEdges;
    const auto after = std::upper_bound(edges.begin(), edges.end(), Distance);
    const int column = static_cast<int>(after - edges.begin()) - 1;
    return std::clamp(column, 0, Mesh.Columns() - 1);
}

double CellValue(const std::vector<double>& Values, int Cell)
{
    return Values.at(static_cast<size_t>(Cell));
}

} // namespace

double MeshSurfaceAt(const TInversionMesh& Mesh, double Distance)
{
    const auto& edges = Mesh.ColumnEdges;
    if (edges.empty() || edges.size() != Mesh.Elevations.size())
        throw EForwardError("A mesh without one elevation per column edge has no surface.");
    if (!(Distance > edges.front()))
        return Mesh.Elevations.front();
    if (!(Distance < edges.back()))
        return Mesh.Elevations.back();
    const int c = ColumnAt(Mesh, Distance);
    const double t = (Distance - edges[static_cast<size_t>(c)]) / (edges[static_cast<size_t>(c) + 1] - edges[static_cast<size_t>(c)]);
    return Mesh.Elevations[static_cast<size_t>(c)] +
           t * (Mesh.Elevations[static_cast<size_t>(c) + 1] - Mesh.Elevations[static_cast<size_t>(c)]);
}

int CellBelowGround(const TInversionMesh& Mesh, double Distance, double Depth)
{
    if (Mesh.Columns() < 1 || !(Distance >= Mesh.ColumnEdges.front()) || !(Distance <= Mesh.ColumnEdges.back()))
        return -1;
    const int column = ColumnAt(Mesh, Distance);
    const int row = RowAt(Mesh, column, Distance, MeshSurfaceAt(Mesh, Distance) - Depth);
    return row < 0 ? -1 : row * Mesh.Columns() + column;
}

std::vector<double> ColumnDepths(const TInversionMesh& Own, double Distance)
{
    std::vector<double> depths;
    if (Own.Columns() < 1)
        return depths;
    const int column = ColumnAt(Own, Distance);
    for (int row = 0; row + 1 < Own.Rows(); ++row) {
        double top = 0.0, bottom = 0.0;
        CellDepths(Own, row * Own.Columns() + column, top, bottom);
        depths.push_back(0.5 * (top + bottom));
    }
    return depths;
}

TWellLog TieLog(const std::string& Name, const TTieImage& Own, double OwnDistance, const TTieImage& Other,
                double OtherDistance)
{
    TWellLog log;
    log.Name = Name;
    log.X = OwnDistance;
    const double ground = MeshSurfaceAt(*Own.Mesh, OwnDistance);
    for (double depth : ColumnDepths(*Own.Mesh, OwnDistance)) {
        const int own = CellBelowGround(*Own.Mesh, OwnDistance, depth);
        const int other = CellBelowGround(*Other.Mesh, OtherDistance, depth);
        if (own < 0 || other < 0)
            continue;
        const double ownWeight = std::max(MinTieWeight, CellValue(*Own.Coverage, own));
        const double otherWeight = std::max(MinTieWeight, CellValue(*Other.Coverage, other));
        const double logValue = (ownWeight * std::log(CellValue(*Own.Resistivities, own)) +
                                 otherWeight * std::log(CellValue(*Other.Resistivities, other))) /
                                (ownWeight + otherWeight);
        if (!std::isfinite(logValue))
            continue;
        log.Elevations.push_back(ground - depth);
        log.Resistivities.push_back(std::exp(logValue));
    }
    return log;
}

} // namespace lp

namespace lp {

namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// The tie's objective at a model: the change of the data's response
// (weighed by their errors), the change's roughness and the logs' misfit.
struct TTieObjective {
    const VectorXd& Kept;           // ln ρa of the first image
    const VectorXd& Weights;        // 1 / error per datum
    const Eigen::SparseMatrix<double>& C;
    double Lambda;
    const TPriorData& Prior;
    const VectorXd& PriorWeights;
    const VectorXd& First;          // ln ρ of the first image

    double operator()(const VectorXd& Model, const VectorXd& Response) const
    {
        const double data = (Weights.array() * (Kept - Response).array()).matrix().squaredNorm();
        const double rough = (C * (Model - First)).squaredNorm();
        double prior = 0.0;
        for (size_t p = 0; p < Prior.Cells.size(); ++p) {
            const double r = Prior.LogResistivities[p] - Model[Prior.Cells[p]];
            prior += PriorWeights[static_cast<Eigen::Index>(p)] * PriorWeights[static_cast<Eigen::Index>(p)] * r * r;
        }
        return data + Lambda * rough + prior;
    }
};

} // namespace

TTiedImage TieStep(TSurveyInverter& Inverter, const TInversionMesh& Mesh, const TMeasuredData& Data,
                   const std::vector<TWellLog>& Logs, double ErrorPercent, double Reach)
{
    const TSurveyInverter::TSetup setup = Inverter.Setup();
    if (!setup.Main || setup.Main->Jacobian.rows() != setup.Measured.size() ||
        setup.Main->Jacobian.cols() != Mesh.Cells())
        throw EForwardError("A line's image cannot be tied before its inversion has finished.");
    const TInversionResult& main = *setup.Main;
    const double reach = LogReachMetres(Data.Survey(), Reach);
    const TPriorData prior = LogPriorData(Mesh, Logs, reach);
    VectorXd priorWeights(static_cast<Eigen::Index>(prior.Cells.size()));
    for (size_t p = 0; p < prior.Cells.size(); ++p) {
        const double error = PriorDatumError(ErrorPercent / 100.0, prior.Distances[p], reach);
        priorWeights[static_cast<Eigen::Index>(p)] = std::isfinite(error) && error > 0.0 ? 1.0 / error : 0.0;
    }
    const VectorXd first = main.Resistivities.array().log().matrix();
    const VectorXd response = main.Response.array().log().matrix();
    const VectorXd weights = setup.Errors.head(setup.Measured.size()).cwiseInverse();
    const double lambda = main.Steps.empty() ? setup.Settings.Lambda : main.Steps.back().Lambda;
    // The step from the first image: the data's and the logs' rows
    // weighted, solved as the inversion solves its larger steps (conjugate
    // gradients: no cells × cells matrix).
    const Eigen::Index n = setup.Measured.size(), priors = static_cast<Eigen::Index>(prior.Cells.size());
    MatrixXd rows = MatrixXd::Zero(n + priors, Mesh.Cells());
    rows.topRows(n) = weights.asDiagonal() * main.Jacobian;
    VectorXd residual(n + priors);
    // The data's rows keep the first image's response: the first pass
    // chose how closely to fit them; the tie moves the image only where
    // that response allows.
    residual.head(n).setZero();
    for (Eigen::Index p = 0; p < priors; ++p) {
        const int cell = prior.Cells[static_cast<size_t>(p)];
        rows(n + p, cell) = priorWeights[p];
        residual[n + p] = priorWeights[p] * (prior.LogResistivities[static_cast<size_t>(p)] - first[cell]);
    }
    const Eigen::SparseMatrix<double> roughness = setup.Smoothness.transpose() * setup.Smoothness;
    const TNormalEquations normal(rows, roughness);
    const VectorXd step = normal.Solve(lambda, rows.transpose() * residual, {}, 1e-4);
    TTiedImage tied;
    tied.Lambda = lambda;
    const TTieObjective objective{response, weights, setup.Smoothness, lambda, prior, priorWeights, first};
    const double before = objective(first, response);
    VectorXd model = first, modelResponse = response;
    if (step.allFinite() && step.cwiseAbs().maxCoeff() <= MaxLogStep) {
        try {
            for (double share = 1.0; share >= 0.25; share *= 0.5) {
                const VectorXd trial = first + share * step;
                const VectorXd trialResponse = setup.Problem.Respond(trial, nullptr);
                if (trialResponse.allFinite() && objective(trial, trialResponse) < before) {
                    model = trial;
                    modelResponse = trialResponse;
                    tied.Share = share;
                    tied.Moved = true;
                    break;
                }
            }
        } catch (const EForwardCancelled&) {
            tied.Cancelled = true;
            return tied;
        }
    }
    double chi = 0.0, rrms = 0.0;
    for (Eigen::Index d = 0; d < n; ++d) {
        const double misfit = weights[d] * (setup.Measured[d] - modelResponse[d]);
        chi += misfit * misfit;
        const double ratio = std::exp(modelResponse[d] - setup.Measured[d]) - 1.0;
        rrms += ratio * ratio;
    }
    tied.ChiSquare = n > 0 ? chi / static_cast<double>(n) : 0.0;
    tied.Rrms = n > 0 ? 100.0 * std::sqrt(rrms / static_cast<double>(n)) : 0.0;
    for (Eigen::Index c = 0; c < model.size(); ++c)
        tied.Resistivities.push_back(std::exp(model[c]));
    for (Eigen::Index d = 0; d < n; ++d)
        tied.Response.push_back(std::exp(modelResponse[d]));
    return tied;
}

} // namespace lp
