#include "section/inversion/SurveyInversion.h"

#include "section/inversion/PhaseInversion.h"

#include "section/forward/Sensitivity.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/ReadableNumbers.h"
#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace lp {
namespace {

using Eigen::Index;
using Eigen::MatrixXd;
using Eigen::VectorXd;

constexpr std::string_view TableHeader = "x1,x2,z1,z2,resistivity,chargeability,coverage";

double Median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// Each datum's phase error, mrad: the file's where it gives one, else
// Default.
VectorXd PhaseErrors(const TMeasuredData& Data, double Default)
{
    VectorXd errors = VectorXd::Constant(static_cast<Index>(Data.Size()), Default);
    for (size_t d = 0; d < Data.PhaseErrors.size() && d < Data.Size(); ++d)
        if (std::isfinite(Data.PhaseErrors[d]) && Data.PhaseErrors[d] > 0.0)
            errors[static_cast<Index>(d)] = Data.PhaseErrors[d];
    return errors;
}

bool HasChargeabilities(const TMeasuredData& Data)
{
    return std::any_of(Data.Chargeabilities.begin(), Data.Chargeabilities.end(),
                       [](double eta) { return std::isfinite(eta); });
}

std::string RowText(const TInversionMesh& Mesh, const TSurveyInversion& Inversion, int Cell)
{
    const int c = Cell % Mesh.Columns();
    double top = 0.0, bottom = 0.0;
    CellDepths(Mesh, Cell, top, bottom);
    const auto cell = static_cast<size_t>(Cell);
    std::string row = FormatExactReal(Mesh.ColumnEdges[static_cast<size_t>(c)]) + "," +
                      FormatExactReal(Mesh.ColumnEdges[static_cast<size_t>(c) + 1]) + "," + FormatExactReal(top) +
                      "," + FormatExactReal(bottom) + "," + FormatExactReal(Inversion.Resistivities.at(cell)) + ",";
    if (!Inversion.Chargeabilities.empty())
        row += FormatExactReal(Inversion.Chargeabilities.at(cell));
    row += "," + FormatExactReal(Inversion.Coverage.at(cell));
    if (!Inversion.DepthOfInvestigation.empty())
        row += "," + FormatExactReal(Inversion.DepthOfInvestigation.at(cell));
    if (!Inversion.Phases.empty())
        row += "," + FormatExactReal(Inversion.Phases.at(cell));
    row += "\n";
    return row;
}

} // namespace

// The inversion holds its Jacobian about four times over (the model's, a
// trial step's, the weighted one of the step and the result's) beside what
// one computation of the sensitivities needs on one thread.
void RefuseInversionBeyondMemory(double Data, double Cells, double ForwardNeed, double Limit)
{
    const double need = ForwardNeed + 4.0 * 8.0 * Data * Cells;
    const double limit = Limit > 0.0 ? Limit : AvailableMemory();
    if (need > limit)
        throw EForwardError("Not enough memory to invert " + ReadableNumber(Data, 15) + " data on " +
                            ReadableNumber(Cells, 15) + " cells (about " + ReadableNumber(std::floor(need / 1e6), 15) + " MB; " +
                            ReadableNumber(std::floor(limit / 1e6), 15) + " MB available).");
}

TCellInversionProblem::TCellInversionProblem(const TInversionMesh& Mesh, const TSurvey& Survey,
                                             const TForwardOptions& Options, std::function<bool()> Continue)
    : FContinue(std::move(Continue))
{
    TForwardModel ground = InversionGround(Mesh, std::vector<double>(static_cast<size_t>(Mesh.Cells()), 1.0));
    // The background beside the mesh: a region per cell, used by the border cells.
    ground.Regions.insert(ground.Regions.end(), ground.Regions.begin(), ground.Regions.end());
    TForwardOptions options = Options;
    options.Mesh.SidePaddingOffset = Mesh.Cells();
    options.Mesh.Growth = InversionMeshGrowth;
    FColumns = Mesh.Columns();
    FProblem = std::make_unique<TSensitivityProblem>(ground, Survey, options);
    for (int cell = 0; cell < Mesh.Cells(); ++cell)
        FParameters.push_back({cell});
}

TCellInversionProblem::~TCellInversionProblem() = default;

int TCellInversionProblem::MeshNodes() const
{
    return FProblem->MeshNodes();
}

int TCellInversionProblem::MeshTriangles() const
{
    return FProblem->MeshTriangles();
}

const std::vector<double>& TCellInversionProblem::GeometricFactors() const
{
    return FProblem->GeometricFactors();
}

double TCellInversionProblem::MemoryNeed(int Threads) const
{
    return FProblem->MemoryNeed(static_cast<int>(FParameters.size()), Threads);
}

VectorXd TCellInversionProblem::Respond(const VectorXd& LogResistivities, MatrixXd* Jacobian)
{
    if (LogResistivities.size() != static_cast<Index>(FParameters.size()))
        throw EForwardError("The parameter mesh needs one value per cell.");
    std::vector<double> rho(static_cast<size_t>(LogResistivities.size()));
    for (Index j = 0; j < LogResistivities.size(); ++j)
        rho[static_cast<size_t>(j)] = std::exp(LogResistivities[j]);
    // The background beside each row: the median of the row.
    const size_t columns = static_cast<size_t>(FColumns), cells = rho.size();
    for (size_t first = 0; first < cells; first += columns) {
        const double median = Median(std::vector<double>(rho.begin() + static_cast<std::ptrdiff_t>(first),
                                                         rho.begin() + static_cast<std::ptrdiff_t>(first + columns)));
        rho.insert(rho.end(), columns, median);
    }
    TForwardProgress progress;
    if (FContinue)
        progress = [this](double) { return FContinue(); };
    TSensitivityResult result = FProblem->Compute(rho, Jacobian ? FParameters : std::vector<TRegionSet>{}, progress);
    if (Jacobian)
        *Jacobian = std::move(result.Jacobian);
    VectorXd response(static_cast<Index>(result.Resistivities.size()));
    for (size_t i = 0; i < result.Resistivities.size(); ++i)
        response[static_cast<Index>(i)] = std::log(result.Resistivities[i]);
    return response;
}

// The survey's problem with the prior data after its data: each the ln ρ
// of one cell, its derivative 1 for that cell. (Outside the unnamed
// namespace: the inverter's state holds one.)
class TPriorDataProblem : public TInversionProblem {
public:
    TPriorDataProblem(TInversionProblem& Survey, std::vector<int> Cells) : FSurvey(Survey), FCells(std::move(Cells)) {}

    VectorXd Respond(const VectorXd& LogResistivities, MatrixXd* Jacobian) override
    {
        const VectorXd survey = FSurvey.Respond(LogResistivities, Jacobian);
        const auto N = survey.size(), P = static_cast<Index>(FCells.size());
        VectorXd response(N + P);
        response.head(N) = survey;
        for (Index p = 0; p < P; ++p)
            response[N + p] = LogResistivities[FCells[static_cast<size_t>(p)]];
        if (Jacobian) {
            Jacobian->conservativeResize(N + P, LogResistivities.size());
            Jacobian->bottomRows(P).setZero();
            for (Index p = 0; p < P; ++p)
                (*Jacobian)(N + p, FCells[static_cast<size_t>(p)]) = 1.0;
        }
        return response;
    }

private:
    TInversionProblem& FSurvey;
    std::vector<int> FCells;
};

struct TSurveyInverter::TState {
    TMeasuredData Data;
    TInversionMesh Mesh;
    TSurveyInversionOptions Options;
    std::unique_ptr<TCellInversionProblem> Problem;
    std::unique_ptr<TPriorDataProblem> PriorProblem; // with well logs: Problem and their cells
    TPriorData Prior;
    std::vector<double> Resistivities; // ρa measured, with the mesh's k
    VectorXd Measured, Errors, Start;  // ln ρa, relative errors, ohm-m per cell
    Eigen::SparseMatrix<double> C;
    std::optional<TInversionResult> Main;
};

// The logs' prior data after the survey's data, their errors LogErrorPercent
// at the well, growing to the reach.
void TSurveyInverter::AddWellLogs(TState& State)
{
    if (State.Options.WellLogs.empty())
        return;
    const double percent = State.Options.LogErrorPercent;
    if (!(std::isfinite(percent) && percent > 0.0))
        throw EForwardError("The logs' error must be a finite number of per cent above 0.");
    const double spacings = State.Options.LogReach;
    if (!(std::isfinite(spacings) && spacings >= 0.0))
        throw EForwardError("The logs' lateral reach must be a finite number of electrode spacings, 0 or above.");
    const double reach = LogReachMetres(State.Data.Survey(), spacings);
    State.Prior = LogPriorData(State.Mesh, State.Options.WellLogs, reach);
    const auto N = State.Measured.size(), P = static_cast<Index>(State.Prior.Cells.size());
    if (P == 0)
        return; // no sample within the mesh
    State.Measured.conservativeResize(N + P);
    State.Errors.conservativeResize(N + P);
    for (Index p = 0; p < P; ++p) {
        State.Measured[N + p] = State.Prior.LogResistivities[static_cast<size_t>(p)];
        State.Errors[N + p] = PriorDatumError(percent / 100.0, State.Prior.Distances[static_cast<size_t>(p)], reach);
    }
    State.Options.Settings.PriorData = static_cast<int>(P);
    State.PriorProblem = std::make_unique<TPriorDataProblem>(*State.Problem, State.Prior.Cells);
}

TSurveyInverter::TSurveyInverter(const TMeasuredData& Data, const TInversionMesh& Mesh,
                                 const TSurveyInversionOptions& Options, std::function<bool()> Continue)
    : FState(std::make_unique<TState>())
{
    CheckInversionMesh(Mesh);
    if (Data.Size() == 0)
        throw EForwardError("The data file holds no usable datum.");
    RequirePositiveResistivities(Data);
    if (!(std::isfinite(Options.ErrorPercent) && Options.ErrorPercent > 0.0))
        throw EForwardError("The error must be a finite number of per cent above 0.");
    if (!(std::isfinite(Options.PhaseErrorMrad) && Options.PhaseErrorMrad > 0.0))
        throw EForwardError("The phases' error must be a finite number of mrad above 0.");
    RequireLambdaInRange(Options.Settings.Lambda); // before the forward problem is set up
    RefuseInversionBeyondMemory(static_cast<double>(Data.Size()), static_cast<double>(Mesh.Cells()), 0.0,
                                Options.Forward.MemoryLimit);
    TState& state = *FState;
    state.Data = Data;
    state.Mesh = Mesh;
    state.Options = Options;
    const auto N = static_cast<Index>(Data.Size());
    const auto cells = static_cast<size_t>(Mesh.Cells());
    state.Problem = std::make_unique<TCellInversionProblem>(Mesh, Data.Survey(), Options.Forward, std::move(Continue));
    RefuseInversionBeyondMemory(static_cast<double>(N), static_cast<double>(cells), state.Problem->MemoryNeed(1),
                                Options.Forward.MemoryLimit);
    // A resistance's ρa with the mesh's own geometric factor, as the response's.
    state.Resistivities = Data.ApparentResistivities(state.Problem->GeometricFactors());
    state.Measured.resize(N);
    for (Index i = 0; i < N; ++i)
        state.Measured[i] = std::log(state.Resistivities[static_cast<size_t>(i)]);
    state.Errors = RelativeErrors(Data, Options.ErrorPercent);
    state.Start.resize(static_cast<Index>(cells));
    if (Options.Start.empty())
        state.Start.setConstant(Median(state.Resistivities));
    else if (Options.Start.size() == cells)
        for (size_t j = 0; j < cells; ++j)
            state.Start[static_cast<Index>(j)] = Options.Start[j];
    else
        throw EForwardError("The starting model needs one resistivity per cell.");
    TStructuralConstraint structure = Options.Structure;
    if (structure.Zones.empty() && !Options.Zones.empty()) {
        structure.Zones = Options.Zones;
        structure.ZoneWeights.clear();
    }
    state.C = ConstrainedSmoothness(Mesh, Options.ZWeight, structure);
    TInversionSettings& settings = state.Options.Settings;
    AddWellLogs(state);
    if (settings.SmallnessWeights.empty()) {
        // Each cell's area in units of the smallest cell's.
        double smallest = std::numeric_limits<double>::infinity();
        for (size_t j = 0; j < cells; ++j) {
            settings.SmallnessWeights.push_back(CellArea(Mesh, static_cast<int>(j)));
            smallest = std::min(smallest, settings.SmallnessWeights.back());
        }
        for (double& weight : settings.SmallnessWeights)
            weight = smallest > 0.0 ? weight / smallest : 1.0;
    }
}

TSurveyInverter::~TSurveyInverter() = default;

TInversionProblem& TSurveyInverter::Problem()
{
    if (FState->PriorProblem)
        return *FState->PriorProblem;
    return *FState->Problem;
}

TSurveyInversion TSurveyInverter::Invert(const TInversionCallbacks& Callbacks)
{
    TState& state = *FState;
    const TMeasuredData& Data = state.Data;
    const TInversionMesh& Mesh = state.Mesh;
    const auto N = static_cast<Index>(Data.Size());
    const auto cells = static_cast<size_t>(Mesh.Cells());
    state.Main.reset();
    TInversionResult result = InvertResistivity(Problem(), state.Measured, state.Errors, state.C, state.Start,
                                                state.Options.Settings, Callbacks);

    TSurveyInversion inversion;
    inversion.Steps = result.Steps;
    inversion.Prior = state.Prior;
    inversion.Stop = result.Stop;
    // The survey's part: the prior data's rows follow it.
    MatrixXd surveyRows;
    if (result.Jacobian.rows() > N)
        surveyRows = result.Jacobian.topRows(N);
    const MatrixXd& surveyJacobian = result.Jacobian.rows() > N ? surveyRows : result.Jacobian;
    inversion.Cancelled = result.Cancelled;
    inversion.MeshNodes = state.Problem->MeshNodes();
    inversion.MeshTriangles = state.Problem->MeshTriangles();
    inversion.Resistivities.assign(result.Resistivities.data(), result.Resistivities.data() + result.Resistivities.size());
    inversion.Response.assign(result.Response.data(), result.Response.data() + std::min(result.Response.size(), N));
    inversion.Measured = state.Resistivities;
    if (result.Jacobian.cols() != static_cast<Index>(cells)) {
        inversion.Coverage.assign(cells, 0.0);
        return inversion;
    }
    VectorXd areas(static_cast<Index>(cells));
    for (size_t j = 0; j < cells; ++j)
        areas[static_cast<Index>(j)] = CellArea(Mesh, static_cast<int>(j));
    const VectorXd coverage = Coverage(surveyJacobian, areas);
    inversion.Coverage.assign(coverage.data(), coverage.data() + coverage.size());

    if (HasChargeabilities(Data)) {
        VectorXd eta(N), etaErrors(N);
        for (Index i = 0; i < N; ++i) {
            const auto d = static_cast<size_t>(i);
            const double value = Data.Chargeabilities[d];
            const double fileError = Data.ChargeabilityErrors.empty() ? std::nan("") : Data.ChargeabilityErrors[d];
            eta[i] = value / 100.0;
            etaErrors[i] = (std::isfinite(fileError) && fileError > 0.0 ? fileError : 0.02 * std::fabs(value) + 0.1) / 100.0;
        }
        const TChargeabilityResult ip = InvertChargeability(surveyJacobian, eta, etaErrors, state.C);
        for (Index j = 0; j < ip.Chargeabilities.size(); ++j)
            inversion.Chargeabilities.push_back(100.0 * ip.Chargeabilities[j]);
        for (Index i = 0; i < ip.Response.size(); ++i)
            inversion.ChargeabilityResponse.push_back(100.0 * ip.Response[i]);
        inversion.ChargeabilityChiSquare = ip.ChiSquare;
        inversion.ChargeabilityErrorScale = ip.FromNoise ? ip.ErrorScale : 1.0;
    }
    if (HasPhases(Data)) {
        if (Data.Phases.size() != Data.Size())
            throw EForwardError("The data hold " + std::to_string(Data.Phases.size()) + " phases for " +
                                std::to_string(Data.Size()) + " data.");
        const VectorXd phases = Eigen::Map<const VectorXd>(Data.Phases.data(), N);
        const TPhaseResult fd = InvertPhases(surveyJacobian, phases, PhaseErrors(Data, state.Options.PhaseErrorMrad), state.C);
        inversion.Phases.assign(fd.Phases.data(), fd.Phases.data() + fd.Phases.size());
        inversion.PhaseResponse.assign(fd.Response.data(), fd.Response.data() + fd.Response.size());
        inversion.PhaseChiSquare = fd.ChiSquare;
        inversion.PhaseErrorScale = fd.FromNoise ? fd.ErrorScale : 1.0;
    }
    if (!result.Cancelled)
        state.Main = std::move(result);
    return inversion;
}

bool TSurveyInverter::AddDepthOfInvestigation(TSurveyInversion& Inversion, const TInversionCallbacks& Callbacks,
                                              const TDepthOfInvestigationSettings& Settings)
{
    TState& state = *FState;
    if (!state.Main)
        throw EForwardError("The depth of investigation needs a finished inversion first.");
    const TDepthOfInvestigation doi =
        DepthOfInvestigation(Problem(), state.Measured, state.Errors, state.C, state.Start, state.Options.Settings,
                             *state.Main, Settings, Callbacks);
    if (doi.Cancelled)
        return false;
    Inversion.DepthOfInvestigation.assign(doi.Index.data(), doi.Index.data() + doi.Index.size());
    return true;
}

TSurveyInverter::TSetup TSurveyInverter::Setup()
{
    TState& state = *FState;
    return {*state.Problem, state.Problem->GeometricFactors(), state.Measured, state.Errors, state.C,
            state.Options.Settings, state.Main ? &*state.Main : nullptr};
}

VectorXd RelativeErrors(const TMeasuredData& Data, double ErrorPercent)
{
    VectorXd errors(static_cast<Index>(Data.Size()));
    for (size_t d = 0; d < Data.Size(); ++d) {
        const double fileError = Data.Errors.empty() ? std::nan("") : Data.Errors.at(d);
        errors[static_cast<Index>(d)] = std::isfinite(fileError) && fileError > 0.0 ? fileError : ErrorPercent / 100.0;
    }
    return errors;
}

TSurveyInversion InvertSurvey(const TMeasuredData& Data, const TInversionMesh& Mesh,
                              const TSurveyInversionOptions& Options, const TInversionCallbacks& Callbacks,
                              const std::function<bool()>& Continue)
{
    return TSurveyInverter(Data, Mesh, Options, Continue).Invert(Callbacks);
}

void CheckInversionValues(const TInversionMesh& Mesh, const TSurveyInversion& Inversion)
{
    const auto cells = static_cast<size_t>(Mesh.Cells());
    if (Inversion.Resistivities.size() != cells || Inversion.Coverage.size() != cells ||
        (!Inversion.Chargeabilities.empty() && Inversion.Chargeabilities.size() != cells) ||
        (!Inversion.DepthOfInvestigation.empty() && Inversion.DepthOfInvestigation.size() != cells) ||
        (!Inversion.Phases.empty() && Inversion.Phases.size() != cells))
        throw EForwardError("The inverted model does not match its parameter mesh.");
    const auto finite = [](const std::vector<double>& values) {
        return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
    };
    if (!finite(Inversion.Resistivities) || !finite(Inversion.Chargeabilities) || !finite(Inversion.Coverage) ||
        !finite(Inversion.DepthOfInvestigation) || !finite(Inversion.Phases))
        throw EForwardError("The inverted model holds a value that is not a finite number: nothing was written.");
}

std::string FormatInversionTable(const TInversionMesh& Mesh, const TSurveyInversion& Inversion)
{
    CheckInversionValues(Mesh, Inversion);
    std::string text(TableHeader);
    text += Inversion.DepthOfInvestigation.empty() ? "" : ",doi";
    text += Inversion.Phases.empty() ? "\n" : ",phase\n";
    for (int cell = 0; cell < Mesh.Cells(); ++cell)
        text += RowText(Mesh, Inversion, cell);
    return text;
}

std::vector<TInversionTableRow> ReadInversionTable(std::string_view Text)
{
    std::vector<TInversionTableRow> rows;
    size_t line = 0;
    bool header = true;
    int fields = 7; // and the depth of investigation's, the phase's
    int doiField = -1, phaseField = -1;
    while (!Text.empty()) {
        const size_t end = Text.find('\n');
        std::string_view row = Text.substr(0, end);
        Text = end == std::string_view::npos ? std::string_view() : Text.substr(end + 1);
        ++line;
        if (!row.empty() && row.back() == '\r')
            row.remove_suffix(1);
        if (header) {
            if (!row.starts_with(TableHeader))
                throw EForwardError("Line 1: expected the header of a cell table.");
            std::string_view more = row.substr(TableHeader.size());
            if (more.starts_with(",doi")) {
                doiField = fields++;
                more.remove_prefix(4);
            }
            if (more.starts_with(",phase")) {
                phaseField = fields++;
                more.remove_prefix(6);
            }
            if (!more.empty())
                throw EForwardError("Line 1: expected the header of a cell table.");
            header = false;
            continue;
        }
        if (row.empty())
            continue;
        double values[9] = {};
        for (int field = 0; field < fields; ++field) {
            const size_t comma = row.find(',');
            const std::string_view token = row.substr(0, comma);
            if ((comma == std::string_view::npos) != (field == fields - 1))
                throw EForwardError("Line " + std::to_string(line) + ": expected " + std::to_string(fields) +
                                    " values.");
            row = comma == std::string_view::npos ? std::string_view() : row.substr(comma + 1);
            values[field] = std::nan("");
            if (token.empty() && field == 5)
                continue;
            const auto [next, error] = std::from_chars(token.data(), token.data() + token.size(), values[field]);
            if (error != std::errc() || next != token.data() + token.size() || !std::isfinite(values[field]))
                throw EForwardError("Line " + std::to_string(line) + ": value " + std::to_string(field + 1) +
                                    " is not a finite number.");
        }
        const auto optional = [&](int field) { return field < 0 ? std::nan("") : values[field]; };
        rows.push_back({values[0], values[1], values[2], values[3], values[4], values[5], values[6],
                        optional(doiField), optional(phaseField)});
    }
    if (header)
        throw EForwardError("Line 1: expected the header of a cell table.");
    return rows;
}

} // namespace lp
