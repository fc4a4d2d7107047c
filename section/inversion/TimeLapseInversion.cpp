#include "section/inversion/TimeLapseInversion.h"

#include "section/model/ModelGeometryText.h"
#include "section/survey/DataCleaning.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

namespace lp {
namespace {

using Eigen::Index;
using Eigen::MatrixXd;
using Eigen::VectorXd;

// A datum by its electrodes (baseline numbers): each pair in rising order,
// so that A,B and B,A (M,N and N,M) are one datum.
using TDatumKey = std::tuple<int, int, int, int>;

TDatumKey DatumKey(const TConfiguration& c, const std::vector<int>& Electrode)
{
    const auto map = [&](int e) { return e < 0 ? -1 : Electrode.at(static_cast<size_t>(e)); };
    const int a = map(c.a), b = map(c.b), m = map(c.m), n = map(c.n);
    return {std::min(a, b), std::max(a, b), std::min(m, n), std::max(m, n)};
}

// Electrodes closer than this are one place: a thousandth of the
// baseline's smallest electrode distance.
double PlaceTolerance(const std::vector<TElectrode>& Electrodes)
{
    double smallest = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < Electrodes.size(); ++i)
        for (size_t j = i + 1; j < Electrodes.size(); ++j)
            smallest = std::min(smallest, std::hypot(Electrodes[i].x - Electrodes[j].x, Electrodes[i].z - Electrodes[j].z));
    return std::isfinite(smallest) && smallest > 0.0 ? 1e-3 * smallest : 1e-9;
}

// " (line L)" of the file placing the electrode, where known.
std::string ElectrodeLine(const TMeasuredData& Data, size_t Electrode)
{
    if (Electrode >= Data.ElectrodeLines.size() || Data.ElectrodeLines[Electrode] <= 0)
        return {};
    return " (line " + std::to_string(Data.ElectrodeLines[Electrode]) + ")";
}

// Per electrode of Survey, the baseline's electrode at its place (-1 where
// none stands there and no datum uses it); refused naming the survey when a
// datum uses an electrode the baseline has not.
std::vector<int> MatchElectrodes(const TMeasuredData& Baseline, const std::string& BaselineName,
                                 const TMeasuredData& Survey, const std::string& Name)
{
    const double tolerance = PlaceTolerance(Baseline.Electrodes);
    const bool heights = Baseline.HasElevations && Survey.HasElevations;
    std::vector<int> match(Survey.Electrodes.size(), -1);
    for (size_t e = 0; e < Survey.Electrodes.size(); ++e) {
        const TElectrode& electrode = Survey.Electrodes[e];
        for (size_t b = 0; b < Baseline.Electrodes.size(); ++b) {
            const TElectrode& base = Baseline.Electrodes[b];
            if (std::fabs(base.x - electrode.x) <= tolerance && (!heights || std::fabs(base.z - electrode.z) <= tolerance)) {
                match[e] = static_cast<int>(b);
                break;
            }
        }
    }
    for (size_t i = 0; i < Survey.Size(); ++i) {
        const TConfiguration& c = Survey.Configurations[i];
        for (int e : {c.a, c.b, c.m, c.n})
            if (e >= 0 && match.at(static_cast<size_t>(e)) < 0) {
                const TElectrode& electrode = Survey.Electrodes.at(static_cast<size_t>(e));
                throw EDataFileError("The survey \"" + Name + "\" has another electrode layout than the baseline \"" +
                                     BaselineName + "\": its electrode at x = " + FormatExactReal(electrode.x) +
                                     (heights ? ", z = " + FormatExactReal(electrode.z) : std::string()) +
                                     ElectrodeLine(Survey, static_cast<size_t>(e)) + " stands where the baseline has none.");
            }
    }
    return match;
}

// The data of Data at Indices, in that order, on the baseline's electrodes
// (Match: the baseline's electrode of each of Data's).
TMeasuredData PickData(const TMeasuredData& Data, const std::vector<size_t>& Indices, const TMeasuredData& Baseline,
                       const std::vector<int>& Match)
{
    TMeasuredData picked;
    picked.Format = Data.Format;
    picked.Title = Data.Title;
    picked.Electrodes = Baseline.Electrodes;
    picked.HasElevations = Baseline.HasElevations;
    picked.Topography = Baseline.Topography;
    picked.ElectrodeLines = Baseline.ElectrodeLines;
    picked.Warnings = Data.Warnings;
    const auto pick = [&](const std::vector<double>& from, std::vector<double>& to) {
        if (from.empty())
            return;
        for (size_t i : Indices)
            to.push_back(from.at(i));
    };
    const auto map = [&](int e) { return e < 0 ? -1 : Match.at(static_cast<size_t>(e)); };
    for (size_t i : Indices) {
        const TConfiguration& c = Data.Configurations.at(i);
        picked.Configurations.push_back({map(c.a), map(c.b), map(c.m), map(c.n)});
        picked.Lines.push_back(Data.Lines.empty() ? 0 : Data.Lines.at(i));
    }
    pick(Data.Resistivities, picked.Resistivities);
    pick(Data.Resistances, picked.Resistances);
    pick(Data.GeometricFactors, picked.GeometricFactors);
    pick(Data.Errors, picked.Errors);
    pick(Data.Chargeabilities, picked.Chargeabilities);
    pick(Data.ChargeabilityErrors, picked.ChargeabilityErrors);
    pick(Data.Voltages, picked.Voltages);
    return picked;
}

// The first datum of each key in a survey.
std::map<TDatumKey, size_t> DatumIndex(const TMeasuredData& Data, const std::vector<int>& Match)
{
    std::map<TDatumKey, size_t> index;
    for (size_t i = 0; i < Data.Size(); ++i)
        index.emplace(DatumKey(Data.Configurations[i], Match), i);
    return index;
}

// Responses and Jacobians computed before (the baseline's, the previous
// step's) served again without a forward computation when a step asks at
// their model; otherwise the forward problem's.
class TRememberedProblem : public TInversionProblem {
public:
    explicit TRememberedProblem(TInversionProblem& Problem)
        : FProblem(Problem)
    {
    }

    // Result's model, response and Jacobian in Slot (0 the baseline's, 1
    // the previous step's, replaced by every step); Result is referred to,
    // not copied: it must stay as it is while the slot holds it.
    void Remember(size_t Slot, const TInversionResult& Result)
    {
        if (Result.Jacobian.cols() == Result.Resistivities.size() && Result.Response.size() > 0)
            FKnown.at(Slot) = {Result.Resistivities.array().log(), Result.Response.array().log(), &Result.Jacobian};
    }

    VectorXd Respond(const VectorXd& LogResistivities, MatrixXd* Jacobian) override
    {
        for (const TKnown& known : FKnown)
            if (known.Jacobian && LogResistivities.size() == known.Model.size() &&
                (LogResistivities - known.Model).cwiseAbs().maxCoeff() <= 1e-9) {
                if (Jacobian)
                    *Jacobian = *known.Jacobian;
                return known.Response;
            }
        ++Responses;
        return FProblem.Respond(LogResistivities, Jacobian);
    }

    int Responses = 0;

private:
    struct TKnown {
        VectorXd Model, Response;
        const MatrixXd* Jacobian = nullptr;
    };
    TInversionProblem& FProblem;
    std::array<TKnown, 2> FKnown;
};

std::vector<double> CellAreas(const TInversionMesh& Mesh)
{
    std::vector<double> areas;
    for (int cell = 0; cell < Mesh.Cells(); ++cell)
        areas.push_back(CellArea(Mesh, cell));
    return areas;
}

void RequireFinite(const std::vector<double>& Values, size_t Cells)
{
    if (Values.size() != Cells)
        throw EForwardError("The inverted model does not match its parameter mesh.");
    if (!std::all_of(Values.begin(), Values.end(), [](double v) { return std::isfinite(v); }))
        throw EForwardError("The inverted model holds a value that is not a finite number: nothing was written.");
}

std::string CellTable(const TInversionMesh& Mesh, const std::string& Header,
                      const std::vector<const std::vector<double>*>& Columns)
{
    for (const std::vector<double>* column : Columns)
        RequireFinite(*column, static_cast<size_t>(Mesh.Cells()));
    std::string text = Header + "\n";
    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        const size_t c = static_cast<size_t>(cell % Mesh.Columns());
        double top = 0.0, bottom = 0.0;
        CellDepths(Mesh, cell, top, bottom);
        text += FormatExactReal(Mesh.ColumnEdges.at(c)) + "," + FormatExactReal(Mesh.ColumnEdges.at(c + 1)) + "," +
                FormatExactReal(top) + "," + FormatExactReal(bottom);
        for (const std::vector<double>* column : Columns)
            text += "," + FormatExactReal(column->at(static_cast<size_t>(cell)));
        text += "\n";
    }
    return text;
}

} // namespace

TCommonData CommonData(const std::vector<TMeasuredData>& Surveys, const std::vector<std::string>& Names)
{
    if (Surveys.size() < 2 || Names.size() != Surveys.size())
        throw EDataFileError("A time-lapse series needs at least two surveys, each with its name.");
    const TMeasuredData& baseline = Surveys.front();
    std::vector<std::vector<int>> matches;
    std::vector<std::map<TDatumKey, size_t>> indices;
    for (size_t s = 0; s < Surveys.size(); ++s) {
        if (Surveys[s].Size() == 0)
            throw EDataFileError("The survey \"" + Names[s] + "\" holds no datum that can be used.");
        matches.push_back(MatchElectrodes(baseline, Names.front(), Surveys[s], Names[s]));
        indices.push_back(DatumIndex(Surveys[s], matches.back()));
    }
    // The baseline's data every other survey holds, in the baseline's order.
    std::vector<std::vector<size_t>> kept(Surveys.size());
    for (const auto& [key, first] : indices.front()) {
        (void)first;
        bool everywhere = true;
        for (size_t s = 1; s < Surveys.size() && everywhere; ++s)
            everywhere = indices[s].contains(key);
        if (!everywhere)
            continue;
        for (size_t s = 0; s < Surveys.size(); ++s)
            kept[s].push_back(indices[s].at(key));
    }
    // The baseline's order: sorted by its own index, the others alongside.
    std::vector<size_t> order(kept.front().size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t x, size_t y) { return kept.front()[x] < kept.front()[y]; });
    TCommonData common;
    for (size_t s = 0; s < Surveys.size(); ++s) {
        std::vector<size_t> picked;
        for (size_t i : order)
            picked.push_back(kept[s][i]);
        const TMeasuredData& survey = Surveys[s];
        if (2 * picked.size() < survey.Size())
            throw EDataFileError("The survey \"" + Names[s] + "\" shares only " + std::to_string(picked.size()) +
                                 " of its " + std::to_string(survey.Size()) +
                                 " data with the other surveys: fewer than half, so it is no repeat of the same "
                                 "line's survey.");
        std::vector<bool> taken(survey.Size(), false);
        for (size_t i : picked)
            taken[i] = true;
        std::vector<size_t> left;
        for (size_t i = 0; i < survey.Size(); ++i)
            if (!taken[i])
                left.push_back(i);
        common.LeftOut.push_back(std::move(left));
        common.Surveys.push_back(PickData(survey, picked, baseline, matches[s]));
    }
    return common;
}

TTimeLapseInversion InvertTimeLapse(const std::vector<TMeasuredData>& Surveys, const TInversionMesh& Mesh,
                                    const TSurveyInversionOptions& Options, const TTimeLapseCallbacks& Callbacks,
                                    const std::function<bool()>& Continue)
{
    if (Surveys.size() < 2)
        throw EForwardError("A time-lapse inversion needs at least two surveys.");
    for (const TMeasuredData& survey : Surveys)
        if (survey.Size() != Surveys.front().Size() || survey.Configurations != Surveys.front().Configurations)
            throw EForwardError("The surveys of a time-lapse inversion need the same data, in the same order.");
    TTimeLapseInversion series;
    TSurveyInverter inverter(Surveys.front(), Mesh, Options, Continue);
    const auto callbacks = [&](int step) {
        TInversionCallbacks inner;
        if (Callbacks.Iteration)
            inner.Iteration = [&Callbacks, step](const TInversionStep& iteration, const VectorXd&) {
                Callbacks.Iteration(step, iteration);
            };
        return inner;
    };
    series.Baseline = inverter.Invert(callbacks(0));
    const TSurveyInverter::TSetup setup = inverter.Setup();
    if (series.Baseline.Cancelled || !setup.Main) {
        series.Cancelled = true;
        return series;
    }
    if (Callbacks.Finished)
        Callbacks.Finished(0, series.Baseline);
    const TInversionResult& baseline = *setup.Main;
    TRememberedProblem problem(setup.Problem);
    problem.Remember(0, baseline);
    TInversionResult previous; // the last step's result, in the difference data's terms
    TInversionSettings settings = setup.Settings;
    settings.Reference.assign(baseline.Resistivities.data(), baseline.Resistivities.data() + baseline.Resistivities.size());
    const VectorXd baselineResponse = baseline.Response.array().log();
    const std::vector<double> areas = CellAreas(Mesh);
    const VectorXd areaVector = Eigen::Map<const VectorXd>(areas.data(), static_cast<Index>(areas.size()));
    for (size_t t = 1; t < Surveys.size(); ++t) {
        const TMeasuredData& survey = Surveys[t];
        RequirePositiveResistivities(survey);
        const std::vector<double> measured = survey.ApparentResistivities(setup.GeometricFactors);
        VectorXd difference(static_cast<Index>(measured.size()));
        for (size_t i = 0; i < measured.size(); ++i)
            difference[static_cast<Index>(i)] = std::log(measured[i]) - setup.Measured[static_cast<Index>(i)];
        // d'_t = f(m_0) + (d_t − d_0), with the error of a difference.
        const VectorXd data = baselineResponse + difference;
        const VectorXd errors = (setup.Errors.array().square() +
                                 RelativeErrors(survey, Options.ErrorPercent).array().square()).sqrt();
        // From the baseline's model, or from the previous step's where it
        // explains these data better (a change that grows step by step):
        // both known without a forward computation.
        const bool fromPrevious = previous.Response.size() > 0 &&
                                  ChiSquare(data, previous.Response.array().log().matrix(), errors) <
                                      ChiSquare(data, baselineResponse, errors);
        const int before = problem.Responses;
        TInversionResult result =
            InvertResistivity(problem, data, errors, setup.Smoothness,
                              fromPrevious ? previous.Resistivities : baseline.Resistivities, settings,
                              callbacks(static_cast<int>(t)));
        series.Responses += problem.Responses - before;
        if (result.Cancelled) {
            series.Cancelled = true;
            break;
        }
        TTimeLapseStep step;
        TSurveyInversion& inversion = step.Inversion;
        inversion.Steps = result.Steps;
        inversion.Stop = result.Stop;
        inversion.MeshNodes = series.Baseline.MeshNodes;
        inversion.MeshTriangles = series.Baseline.MeshTriangles;
        inversion.Resistivities.assign(result.Resistivities.data(), result.Resistivities.data() + result.Resistivities.size());
        // The response to survey t: the baseline's data moved by the computed change.
        const VectorXd response = (setup.Measured + (result.Response.array().log().matrix() - baselineResponse)).array().exp();
        inversion.Response.assign(response.data(), response.data() + response.size());
        inversion.Measured = measured;
        const VectorXd coverage = Coverage(result.Jacobian, areaVector);
        inversion.Coverage.assign(coverage.data(), coverage.data() + coverage.size());
        step.ChangePercent = ChangePercent(series.Baseline.Resistivities, inversion.Resistivities);
        if (Callbacks.Finished)
            Callbacks.Finished(static_cast<int>(t), inversion);
        series.Steps.push_back(std::move(step));
        previous = std::move(result);
        problem.Remember(1, previous);
    }
    return series;
}

std::vector<double> ChangePercent(const std::vector<double>& Baseline, const std::vector<double>& Later)
{
    std::vector<double> change;
    change.reserve(Later.size());
    for (size_t j = 0; j < Later.size(); ++j)
        change.push_back(100.0 * (Later[j] / Baseline.at(j) - 1.0));
    return change;
}

std::string FormatBaselineTable(const TInversionMesh& Mesh, const TSurveyInversion& Baseline)
{
    return CellTable(Mesh, "x1,x2,z1,z2,resistivity,coverage", {&Baseline.Resistivities, &Baseline.Coverage});
}

std::string FormatChangeTable(const TInversionMesh& Mesh, const TTimeLapseStep& Step)
{
    return CellTable(Mesh, "x1,x2,z1,z2,resistivity,change_percent,coverage",
                     {&Step.Inversion.Resistivities, &Step.ChangePercent, &Step.Inversion.Coverage});
}

} // namespace lp
