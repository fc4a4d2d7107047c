#include "section/inversion/TimeLapseInversion.h"

#include "section/inversion/LinearInversion.h"
#include "section/inversion/LinearisedChange.h"

#include "section/model/ModelGeometryText.h"
#include "section/survey/DataCleaning.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
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

// One datum of a survey (Data's datum Index), its electrodes mapped to the
// baseline's by Match.
struct TPick {
    const TMeasuredData* Data = nullptr;
    size_t Index = 0;
    const std::vector<int>* Match = nullptr;
};

// The picked data, in that order, on the baseline's electrodes; Title,
// format and warnings Data's. A list some datum's file gives is kept, nan
// for the data whose file gives none (as a file without the value).
TMeasuredData PickData(const TMeasuredData& Data, const std::vector<TPick>& Picks, const TMeasuredData& Baseline)
{
    TMeasuredData picked;
    picked.Format = Data.Format;
    picked.Title = Data.Title;
    picked.Electrodes = Baseline.Electrodes;
    picked.HasElevations = Baseline.HasElevations;
    picked.Topography = Baseline.Topography;
    picked.ElectrodeLines = Baseline.ElectrodeLines;
    picked.Warnings = Data.Warnings;
    const auto pick = [&](std::vector<double> TMeasuredData::*List) {
        const bool any = std::any_of(Picks.begin(), Picks.end(), [&](const TPick& p) { return !(p.Data->*List).empty(); });
        if (!any)
            return;
        for (const TPick& p : Picks)
            (picked.*List).push_back((p.Data->*List).empty() ? std::nan("") : (p.Data->*List).at(p.Index));
    };
    for (const TPick& p : Picks) {
        const auto map = [&](int e) { return e < 0 ? -1 : p.Match->at(static_cast<size_t>(e)); };
        const TConfiguration& c = p.Data->Configurations.at(p.Index);
        picked.Configurations.push_back({map(c.a), map(c.b), map(c.m), map(c.n)});
        picked.Lines.push_back(p.Data->Lines.empty() ? 0 : p.Data->Lines.at(p.Index));
    }
    pick(&TMeasuredData::Resistivities);
    pick(&TMeasuredData::Resistances);
    pick(&TMeasuredData::GeometricFactors);
    pick(&TMeasuredData::Errors);
    pick(&TMeasuredData::Chargeabilities);
    pick(&TMeasuredData::ChargeabilityErrors);
    pick(&TMeasuredData::Voltages);
    pick(&TMeasuredData::Times);
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

    // Not counted: the responses are the trials'.
    VectorXd Recompute(const VectorXd& LogResistivities, MatrixXd* Jacobian) override
    {
        const int responses = Responses;
        VectorXd response = Respond(LogResistivities, Jacobian);
        Responses = responses;
        return response;
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

// A step's problem on the data its survey holds (Rows of the common
// data): the responses and Jacobians cut to those rows. The last few
// full answers are kept, so that the step's result can be told at every
// datum (and serve the next step) without another forward computation.
class TRowsProblem : public TInversionProblem {
public:
    TRowsProblem(TInversionProblem& Problem, std::vector<Index> Rows)
        : FProblem(Problem), FRows(std::move(Rows))
    {
    }

    VectorXd Respond(const VectorXd& LogResistivities, MatrixXd* Jacobian) override
    {
        TAnswer answer{LogResistivities, {}, {}};
        answer.Response = FProblem.Respond(LogResistivities, Jacobian ? &answer.Jacobian : nullptr);
        if (Jacobian)
            *Jacobian = answer.Jacobian(FRows, Eigen::all);
        VectorXd response = answer.Response(FRows);
        // A line search tries at most four models after the one it keeps.
        if (FAnswers.size() == 5)
            FAnswers.erase(FAnswers.begin());
        FAnswers.push_back(std::move(answer));
        return response;
    }

    // The full response (ρa) and Jacobian at Result's model, into Result.
    void Complete(TInversionResult& Result)
    {
        const VectorXd model = Result.Resistivities.array().log();
        for (auto it = FAnswers.rbegin(); it != FAnswers.rend(); ++it)
            if (it->Model.size() == model.size() && (it->Model - model).cwiseAbs().maxCoeff() <= 1e-9 &&
                it->Jacobian.rows() == it->Response.size()) {
                Result.Response = it->Response.array().exp();
                Result.Jacobian = it->Jacobian;
                return;
            }
        Result.Response = FProblem.Respond(model, &Result.Jacobian).array().exp();
    }

private:
    struct TAnswer {
        VectorXd Model, Response;
        MatrixXd Jacobian;
    };
    TInversionProblem& FProblem;
    std::vector<Index> FRows;
    std::vector<TAnswer> FAnswers;
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

std::vector<size_t> TCommonData::Lacking(size_t Survey) const
{
    std::vector<size_t> lacking;
    const std::vector<bool>& held = Held.at(Survey);
    for (size_t i = 0; i < held.size(); ++i)
        if (!held[i])
            lacking.push_back(i);
    return lacking;
}

std::optional<double> SurveyTime(const TMeasuredData& Data)
{
    std::optional<double> earliest;
    for (double time : Data.Times)
        if (std::isfinite(time) && (!earliest || time < *earliest))
            earliest = time;
    return earliest;
}

std::vector<size_t> TimeOrder(const std::vector<TMeasuredData>& Surveys)
{
    std::vector<size_t> order(Surveys.size());
    std::vector<std::optional<double>> times;
    for (size_t s = 0; s < Surveys.size(); ++s) {
        order[s] = s;
        times.push_back(SurveyTime(Surveys[s]));
    }
    if (std::all_of(times.begin(), times.end(), [](const std::optional<double>& t) { return t.has_value(); }))
        std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return *times[x] < *times[y]; });
    return order;
}

std::string FormatSurveyTime(double Seconds)
{
    if (!std::isfinite(Seconds))
        return "?";
    const auto whole = static_cast<long long>(std::floor(Seconds + 0.5));
    long long days = whole / 86400, rest = whole % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // The civil date of a day count from 1970-01-01.
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shifted = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    const long long month = shifted < 10 ? shifted + 3 : shifted - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", year, month, day, rest / 3600,
                  rest / 60 % 60, rest % 60);
    return text;
}

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
    // The baseline's data some later survey holds, in the baseline's order
    // (its first of each key).
    std::vector<std::pair<size_t, TDatumKey>> common;
    for (const auto& [key, first] : indices.front()) {
        bool somewhere = false;
        for (size_t s = 1; s < Surveys.size() && !somewhere; ++s)
            somewhere = indices[s].contains(key);
        if (somewhere)
            common.emplace_back(first, key);
    }
    std::sort(common.begin(), common.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    TCommonData series;
    for (size_t s = 0; s < Surveys.size(); ++s) {
        const TMeasuredData& survey = Surveys[s];
        std::vector<TPick> picks;
        std::vector<bool> held, taken(survey.Size(), false);
        size_t shared = 0;
        for (const auto& [first, key] : common) {
            const auto found = indices[s].find(key);
            held.push_back(found != indices[s].end());
            if (held.back()) {
                picks.push_back({&survey, found->second, &matches[s]});
                taken.at(found->second) = true;
                ++shared;
            } else {
                picks.push_back({&baseline, first, &matches.front()});
            }
        }
        if (2 * shared < survey.Size())
            throw EDataFileError("The survey \"" + Names[s] + "\" shares only " + std::to_string(shared) + " of its " +
                                 std::to_string(survey.Size()) +
                                 " data with the other surveys: fewer than half, so it is no repeat of the same "
                                 "line's survey.");
        if (2 * shared < common.size())
            throw EDataFileError("The survey \"" + Names[s] + "\" holds only " + std::to_string(shared) + " of the " +
                                 std::to_string(common.size()) +
                                 " data common to the series: fewer than half, too few to tell the change.");
        std::vector<size_t> left;
        for (size_t i = 0; i < survey.Size(); ++i)
            if (!taken[i])
                left.push_back(i);
        series.LeftOut.push_back(std::move(left));
        series.Held.push_back(std::move(held));
        series.Surveys.push_back(PickData(survey, picks, baseline));
    }
    return series;
}

namespace {

// The change's roughness below this (in ln ρ between neighbouring cells,
// 2 %: the size of a datum's noise) is weighed as the smooth change weighs
// it; a larger one, the edge of a true change, less and less.
constexpr double ChangeEdge = 0.02;

// The ridge added to the regularisation, of its mean diagonal: it keeps a
// uniform change, which the smoothness does not see, to the data.
constexpr double ChangeRidge = 1e-6;

// R = Cᵀ diag(w) C + α_s W_s² + ridge over the free cells (Free: their
// indices), w 1 each when Weights is empty.
Eigen::SparseMatrix<double> ChangeRegularisation(const Eigen::SparseMatrix<double>& Smoothness,
                                                 const VectorXd& Weights, const TInversionSettings& Settings,
                                                 const std::vector<Index>& Free)
{
    const Index cells = Smoothness.cols();
    std::vector<Index> column(static_cast<size_t>(cells), -1);
    for (size_t k = 0; k < Free.size(); ++k)
        column[static_cast<size_t>(Free[k])] = static_cast<Index>(k);
    // The smoothness over the free cells (a row's fixed cells change by 0).
    std::vector<Eigen::Triplet<double>> entries;
    for (Index outer = 0; outer < Smoothness.outerSize(); ++outer)
        for (Eigen::SparseMatrix<double>::InnerIterator it(Smoothness, outer); it; ++it)
            if (const Index c = column[static_cast<size_t>(it.col())]; c >= 0)
                entries.emplace_back(it.row(), c, it.value() * (Weights.size() > 0 ? std::sqrt(Weights[it.row()]) : 1.0));
    Eigen::SparseMatrix<double> weighted(Smoothness.rows(), static_cast<Index>(Free.size()));
    weighted.setFromTriplets(entries.begin(), entries.end());
    Eigen::SparseMatrix<double> r = weighted.transpose() * weighted;
    double mean = 0.0;
    for (Index k = 0; k < r.rows(); ++k)
        mean += r.coeff(k, k);
    mean = r.rows() > 0 ? mean / static_cast<double>(r.rows()) : 1.0;
    VectorXd diagonal = VectorXd::Constant(r.rows(), ChangeRidge * (mean > 0.0 ? mean : 1.0));
    for (size_t k = 0; k < Free.size(); ++k) {
        const size_t j = static_cast<size_t>(Free[k]);
        const double s = Settings.SmallnessWeights.empty() ? 1.0 : Settings.SmallnessWeights.at(j);
        diagonal[static_cast<Index>(k)] += Settings.ReferenceWeight * s;
    }
    Eigen::SparseMatrix<double> ridge(r.rows(), r.cols());
    ridge.setIdentity();
    r += diagonal.asDiagonal() * ridge;
    return r;
}

// Near-L1 weights of the change's roughness (one reweighting of
// iteratively reweighted least squares): w_i = ε / √(r_i² + ε²),
// r = C·Change, ε = ChangeEdge.
VectorXd EdgeWeights(const Eigen::SparseMatrix<double>& Smoothness, const VectorXd& Change)
{
    const VectorXd roughness = Smoothness * Change;
    return ChangeEdge / (roughness.array().square() + ChangeEdge * ChangeEdge).sqrt();
}

// The largest change |z_j| over the cells where Found is 1.
double FoundPeak(const VectorXd& Change, const VectorXd& Found)
{
    return Found.size() > 0 ? (Change.array().abs() * Found.array()).maxCoeff() : 0.0;
}

// A smooth change beyond this (in ln ρ, twice ChangeEdge: 4 %) is one the
// smooth step found.
constexpr double FoundChange = 2.0 * ChangeEdge;

// Reweightings of the change's roughness on the first linearisation of a
// step (one on each later one, from the change reached).
constexpr int SharpeningPasses = 2;

// The change of one linearisation: z over the free cells, the
// regularisation and λ it was solved with, and its linear problem (whose
// noise deviation the step reports).
struct TChangeSolution {
    VectorXd Change;                       // z over the free cells
    Eigen::SparseMatrix<double> Regularisation; // R of the change kept
    double Lambda = 0.0;
    std::unique_ptr<TLinearisedChange> Problem; // of the change kept
};

// A step's difference inversion of Data (the rows Rows of the common
// data) from Start, whose response and Jacobian at every common datum are
// known. See TimeLapseInversion.h.
struct TChangeResult {
    TInversionResult Inversion;
    VectorXd Deviation; // per cell, the change's noise deviation in ln ρ (fixed cells 0)
};

class TChangeStep {
public:
    TChangeStep(const VectorXd& Data, const VectorXd& Errors, const Eigen::SparseMatrix<double>& Smoothness,
                const VectorXd& Baseline, const TInversionSettings& Settings, int Threads)
        : FData(Data), FWeights(Errors.cwiseInverse()), FErrors(Errors), FSmoothness(Smoothness),
          FReference(Baseline.array().log()), FSettings(Settings), FThreads(Threads)
    {
        for (Index j = 0; j < FReference.size(); ++j)
            if (Settings.Fixed.empty() || !Settings.Fixed.at(static_cast<size_t>(j)))
                FFree.push_back(j);
        FSmooth = ChangeRegularisation(Smoothness, {}, Settings, FFree);
    }

    TChangeResult Run(TInversionProblem& Problem, const TInversionResult& Start, const std::vector<Index>& Rows,
                      const TInversionCallbacks& Callbacks);

private:
    VectorXd Expand(const VectorXd& Free) const
    {
        VectorXd full = VectorXd::Zero(FReference.size());
        for (size_t k = 0; k < FFree.size(); ++k)
            full[FFree[k]] = Free[static_cast<Index>(k)];
        return full;
    }
    VectorXd FreeChange(const VectorXd& Model) const
    {
        VectorXd z(static_cast<Index>(FFree.size()));
        for (size_t k = 0; k < FFree.size(); ++k)
            z[static_cast<Index>(k)] = Model[FFree[k]] - FReference[FFree[k]];
        return z;
    }
    double Lambda(const TLinearisedChange& Change) const
    {
        if (FSettings.HoldLambda)
            return FSettings.Lambda;
        // As the inversions' λ rule (Inversion.h): where the change's data
        // hold more than their errors say (the noise level the
        // cross-validation shows above NoiseLevelBeyondErrors), the risk
        // estimate, which takes the errors as known, fits that remainder
        // with a wild change; the cross-validation's λ bounds it.
        const double risk = Change.RiskLambda(MinLambda, MaxLambda);
        const double validated = Change.CrossValidationLambda(MinLambda, MaxLambda);
        return Change.NoiseLevel(validated) > NoiseLevelBeyondErrors ? std::max(risk, validated) : risk;
    }
    // The change of Problem at the rule's λ, unless it moves a cell by more
    // than MaxLogStep from Current: then at the aim's λ, the largest whose
    // misfit is a sixteenth of SquaredMisfit (at least χ² 1), as the
    // inversions' first steps aim (FAimed set). With fewer data than cells
    // both estimates can run to the smallest λ on data their errors
    // understate (a real date whose own image stops at χ² 19 at its
    // reciprocals' errors): the change asked was thousands in ln ρ, no step
    // of it could be computed and the date kept the previous one's image.
    void SolveAt(TChangeSolution& Solution, const VectorXd& Current, double SquaredMisfit)
    {
        const TLinearisedChange& change = *Solution.Problem;
        Solution.Lambda = Lambda(change);
        Solution.Change = change.Solve(Solution.Lambda);
        if (FSettings.HoldLambda || (Solution.Change - Current).cwiseAbs().maxCoeff() <= MaxLogStep)
            return;
        const double target = std::max(static_cast<double>(change.Data()), SquaredMisfit / 16.0);
        Solution.Lambda = std::max(Solution.Lambda, change.LambdaReaching(target, MinLambda, MaxLambda));
        Solution.Change = change.Solve(Solution.Lambda);
        FAimed = true;
    }
    TChangeSolution Solve(const MatrixXd& Weighted, const VectorXd& b, const VectorXd& Current, int Iteration);
    // The model's cells moved to Target, fixed cells kept and limits held.
    VectorXd Bounded(VectorXd Target, const VectorXd& Model) const;

    const VectorXd& FData;
    VectorXd FWeights;
    const VectorXd& FErrors;
    const Eigen::SparseMatrix<double>& FSmoothness;
    VectorXd FReference;
    const TInversionSettings& FSettings;
    int FThreads;
    std::vector<Index> FFree;
    Eigen::SparseMatrix<double> FSmooth;
    VectorXd FFound;          // per free cell, 1 where the first smooth change found one
    bool FSharpened = false;  // the first linearisation kept the sharpened change
    bool FAimed = false;      // the last solve's λ was raised to the aim's (SolveAt)
};

TChangeSolution TChangeStep::Solve(const MatrixXd& Weighted, const VectorXd& b, const VectorXd& Current, int Iteration)
{
    TChangeSolution smooth;
    VectorXd start = Current;
    const double misfit = (b - Weighted * Current).squaredNorm();
    FAimed = false;
    int passes = 1;
    if (Iteration == 1 || !FSharpened) {
        smooth.Problem = std::make_unique<TLinearisedChange>(Weighted, FSmooth, b, FThreads);
        SolveAt(smooth, Current, misfit);
        smooth.Regularisation = FSmooth;
        if (Iteration == 1)
            FFound = (smooth.Change.array().abs() > FoundChange).cast<double>();
        if (Iteration > 1 || FFound.sum() == 0.0)
            return smooth;
        start = smooth.Change;
        passes = SharpeningPasses;
    }
    // Iteratively reweighted least squares toward an L1 norm of the
    // change's roughness, λ chosen anew for each reweighting.
    TChangeSolution sharp;
    sharp.Change = start;
    for (int pass = 0; pass < passes; ++pass) {
        sharp.Regularisation = ChangeRegularisation(FSmoothness, EdgeWeights(FSmoothness, Expand(sharp.Change)), FSettings, FFree);
        sharp.Problem = std::make_unique<TLinearisedChange>(Weighted, sharp.Regularisation, b, FThreads);
        SolveAt(sharp, Current, misfit);
    }
    if (Iteration > 1)
        return sharp;
    // Kept unless it loses more than a quarter of the smooth change's peak
    // where that found a change: sharpening must not make a change vanish.
    FSharpened = FoundPeak(sharp.Change, FFound) >= 0.75 * FoundPeak(smooth.Change, FFound);
    return FSharpened ? std::move(sharp) : std::move(smooth);
}

VectorXd TChangeStep::Bounded(VectorXd Target, const VectorXd& Model) const
{
    for (Index j = 0; j < Target.size(); ++j) {
        const size_t c = static_cast<size_t>(j);
        if (!FSettings.Fixed.empty() && FSettings.Fixed.at(c))
            Target[j] = Model[j];
        if (!FSettings.Lower.empty() && FSettings.Lower.at(c) > 0.0)
            Target[j] = std::max(Target[j], std::log(FSettings.Lower.at(c)));
        if (!FSettings.Upper.empty() && std::isfinite(FSettings.Upper.at(c)))
            Target[j] = std::min(Target[j], std::log(FSettings.Upper.at(c)));
    }
    return Target;
}

TChangeResult TChangeStep::Run(TInversionProblem& Problem, const TInversionResult& Start,
                               const std::vector<Index>& Rows, const TInversionCallbacks& Callbacks)
{
    VectorXd model = Start.Resistivities.array().log();
    VectorXd response = Start.Response.array().log().matrix()(Rows);
    MatrixXd jacobian = Start.Jacobian(Rows, Eigen::all);
    double lambda = FSettings.Lambda, chi = ChiSquare(FData, response, FErrors);
    TChangeResult change;
    TInversionResult& result = change.Inversion;
    change.Deviation = VectorXd::Zero(FReference.size());
    const auto record = [&](int iteration) {
        result.Steps.push_back({iteration, chi, RelativeRms(FData, response), lambda});
        if (Callbacks.Iteration)
            Callbacks.Iteration(result.Steps.back(), VectorXd(model.array().exp()));
    };
    record(0);
    result.Stop = "The iteration limit was reached.";
    TChangeSolution kept;
    for (int iteration = 1; iteration <= FSettings.Iterations; ++iteration) {
        const MatrixXd weighted = FWeights.asDiagonal() * jacobian(Eigen::all, FFree);
        // The data of the change from the baseline, linearised about the model.
        const VectorXd b = FWeights.cwiseProduct(FData - response + jacobian * (model - FReference));
        TChangeSolution solution = Solve(weighted, b, FreeChange(model), iteration);
        lambda = solution.Lambda;
        const Eigen::SparseMatrix<double>& r = solution.Regularisation;
        const auto objective = [&](const VectorXd& m, const VectorXd& f) {
            const VectorXd z = FreeChange(m);
            return FWeights.cwiseProduct(FData - f).squaredNorm() + lambda * z.dot(r * z);
        };
        const VectorXd& z = solution.Change;
        const double before = objective(model, response);
        const double predicted = (b - weighted * z).squaredNorm() + lambda * z.dot(r * z);
        THalvedStep tried;
        try {
            tried = HalvedStep(
                model, Bounded(FReference + Expand(z), model) - model,
                [&](const VectorXd& m, MatrixXd* J) {
                    // A change beyond MaxLogStep in a cell is not computed and
                    // not accepted: a change the data hardly hold (a survey's
                    // errors below its noise) once sent cells past any
                    // resistivity, and the forward computation refused them.
                    if (!((m - model).cwiseAbs().maxCoeff() <= MaxLogStep))
                        return VectorXd(VectorXd::Constant(FData.size(), std::numeric_limits<double>::quiet_NaN()));
                    return Problem.Respond(m, J);
                },
                [&](const VectorXd& m, const VectorXd& trial) {
                    return trial.allFinite() && objective(m, trial) < before;
                },
                result.Responses);
        } catch (const EForwardCancelled&) {
            result.Cancelled = true;
            result.Stop = "Cancelled; the model of iteration " + std::to_string(iteration - 1) + " stays.";
            break;
        }
        if (!tried.Accepted) {
            result.Stop = iteration == 1 ? "No change lowered the objective: the model stays the start's."
                                         : "No step lowered the objective.";
            break;
        }
        model = std::move(tried.Model);
        response = std::move(tried.Response);
        jacobian = std::move(tried.Jacobian);
        chi = ChiSquare(FData, response, FErrors);
        kept = std::move(solution);
        record(iteration);
        const double reached = objective(model, response);
        // A λ raised to the aim's is no answer yet: the next linearisation
        // goes on from the misfit reached.
        if (tried.Length == 1.0 && !FAimed && std::fabs(reached - predicted) <= 0.01 * reached) {
            result.Stop = "The linearisation held: the change is the data's for its lambda.";
            break;
        }
        if (before - reached < 0.01 * before) {
            result.Stop = "The objective fell by less than 1 % in an iteration.";
            break;
        }
    }
    if (kept.Problem && !result.Cancelled)
        change.Deviation = Expand(kept.Problem->NoiseDeviation(kept.Lambda) * kept.Problem->NoiseLevel(kept.Lambda));
    result.Resistivities = model.array().exp();
    // A fixed cell keeps its value exactly (ln and exp would change its last digit).
    for (size_t j = 0; j < FSettings.Fixed.size() && j < static_cast<size_t>(Start.Resistivities.size()); ++j)
        if (FSettings.Fixed[j])
            result.Resistivities[static_cast<Index>(j)] = Start.Resistivities[static_cast<Index>(j)];
    result.Response = response.array().exp();
    result.Jacobian = std::move(jacobian);
    return change;
}

// The series; Held (per later survey, per datum) the data each step uses,
// null for all.
TTimeLapseInversion InvertSeries(const std::vector<TMeasuredData>& Surveys, const std::vector<std::vector<bool>>* Held,
                                 const TInversionMesh& Mesh, const TSurveyInversionOptions& Options,
                                 const TTimeLapseCallbacks& Callbacks, const std::function<bool()>& Continue)
{
    if (Surveys.size() < 2)
        throw EForwardError("A time-lapse inversion needs at least two surveys.");
    for (const TMeasuredData& survey : Surveys)
        if (survey.Size() != Surveys.front().Size() || survey.Configurations != Surveys.front().Configurations)
            throw EForwardError("The surveys of a time-lapse inversion need the same data, in the same order.");
    if (Held && (Held->size() != Surveys.size() ||
                 std::any_of(Held->begin(), Held->end(), [&](const auto& h) { return h.size() != Surveys.front().Size(); })))
        throw EForwardError("The surveys of a time-lapse inversion need to tell which data they hold.");
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
        // The rows this step compares: the data survey t holds.
        std::vector<Index> rows;
        for (size_t i = 0; i < survey.Size(); ++i)
            if (!Held || Held->at(t).at(i))
                rows.push_back(static_cast<Index>(i));
        if (rows.empty())
            throw EForwardError("The survey " + std::to_string(t) + " of the series holds none of the common data.");
        const bool all = rows.size() == survey.Size();
        RequirePositiveResistivities(survey);
        const std::vector<double> measured = survey.ApparentResistivities(setup.GeometricFactors);
        VectorXd difference(static_cast<Index>(measured.size()));
        for (size_t i = 0; i < measured.size(); ++i)
            difference[static_cast<Index>(i)] = std::log(measured[i]) - setup.Measured[static_cast<Index>(i)];
        // d'_t = f(m_0) + (d_t − d_0), with the error of a difference.
        const VectorXd fullData = baselineResponse + difference;
        const VectorXd fullErrors =
            Options.ChangeErrorPercent > 0.0
                ? VectorXd::Constant(setup.Errors.size(), Options.ChangeErrorPercent / 100.0)
                : VectorXd((setup.Errors.array().square() +
                            RelativeErrors(survey, Options.ErrorPercent).array().square()).sqrt());
        const VectorXd data = fullData(rows), errors = fullErrors(rows);
        // From the baseline's model, or from the previous step's where it
        // explains these data better (a change that grows step by step):
        // both known without a forward computation.
        const bool fromPrevious = previous.Response.size() > 0 &&
                                  ChiSquare(data, previous.Response.array().log().matrix()(rows), errors) <
                                      ChiSquare(data, baselineResponse(rows), errors);
        const int before = problem.Responses;
        TRowsProblem cut(problem, rows);
        TInversionProblem& stepProblem = all ? static_cast<TInversionProblem&>(problem) : cut;
        TChangeStep changeStep(data, errors, setup.Smoothness, baseline.Resistivities, settings, Options.Forward.Threads);
        TChangeResult change = changeStep.Run(stepProblem, fromPrevious ? previous : baseline, rows,
                                              callbacks(static_cast<int>(t)));
        TInversionResult& result = change.Inversion;
        if (!result.Cancelled && !all)
            cut.Complete(result);
        series.Responses += problem.Responses - before;
        if (result.Cancelled) {
            series.Cancelled = true;
            break;
        }
        TTimeLapseStep step;
        step.Used.assign(survey.Size(), all);
        for (Index i : rows)
            step.Used.at(static_cast<size_t>(i)) = true;
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
        for (size_t i = 0; i < step.Used.size(); ++i)
            if (!step.Used[i])
                inversion.Measured.at(i) = inversion.Response.at(i);
        const VectorXd coverage = Coverage(result.Jacobian(rows, Eigen::all), areaVector);
        inversion.Coverage.assign(coverage.data(), coverage.data() + coverage.size());
        step.ChangePercent = ChangePercent(series.Baseline.Resistivities, inversion.Resistivities);
        step.ChangeChiSquare = result.Steps.empty() ? 0.0 : result.Steps.back().ChiSquare;
        step.ChangedShare = ChangedShare(step.ChangePercent, inversion.Coverage);
        step.ChangeUncertainty.assign(change.Deviation.size(), 0.0);
        for (Index j = 0; j < change.Deviation.size(); ++j)
            step.ChangeUncertainty[static_cast<size_t>(j)] = 100.0 * inversion.Resistivities[static_cast<size_t>(j)] /
                                                             series.Baseline.Resistivities[static_cast<size_t>(j)] *
                                                             change.Deviation[j];
        if (Callbacks.Finished)
            Callbacks.Finished(static_cast<int>(t), inversion);
        series.Steps.push_back(std::move(step));
        previous = std::move(result);
        problem.Remember(1, previous);
    }
    return series;
}

} // namespace

TTimeLapseInversion InvertTimeLapse(const TCommonData& Data, const TInversionMesh& Mesh,
                                    const TSurveyInversionOptions& Options, const TTimeLapseCallbacks& Callbacks,
                                    const std::function<bool()>& Continue)
{
    return InvertSeries(Data.Surveys, &Data.Held, Mesh, Options, Callbacks, Continue);
}

TTimeLapseInversion InvertTimeLapse(const std::vector<TMeasuredData>& Surveys, const TInversionMesh& Mesh,
                                    const TSurveyInversionOptions& Options, const TTimeLapseCallbacks& Callbacks,
                                    const std::function<bool()>& Continue)
{
    return InvertSeries(Surveys, nullptr, Mesh, Options, Callbacks, Continue);
}

std::vector<double> ChangePercent(const std::vector<double>& Baseline, const std::vector<double>& Later)
{
    std::vector<double> change;
    change.reserve(Later.size());
    for (size_t j = 0; j < Later.size(); ++j)
        change.push_back(100.0 * (Later[j] / Baseline.at(j) - 1.0));
    return change;
}

double ChangedShare(const std::vector<double>& Change, const std::vector<double>& Coverage)
{
    if (Change.size() != Coverage.size() || Change.empty())
        return 0.0;
    std::vector<size_t> order(Change.size());
    for (size_t j = 0; j < order.size(); ++j)
        order[j] = j;
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return Coverage[x] > Coverage[y]; });
    const size_t covered = std::max<size_t>(1, static_cast<size_t>(std::ceil(WellCoveredShare * static_cast<double>(order.size()))));
    size_t changed = 0;
    for (size_t k = 0; k < covered; ++k)
        changed += std::fabs(Change[order[k]]) > ChangedLimit ? 1 : 0;
    return 100.0 * static_cast<double>(changed) / static_cast<double>(covered);
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
