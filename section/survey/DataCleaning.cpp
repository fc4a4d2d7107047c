#include "section/survey/DataCleaning.h"

#include "section/survey/ModellingError.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <tuple>

namespace lp {
namespace {

template <typename T>
void KeepEntries(std::vector<T>& Values, const std::vector<bool>& Removed)
{
    if (Values.empty())
        return;
    std::vector<T> kept;
    for (size_t i = 0; i < Values.size(); ++i)
        if (!Removed[i])
            kept.push_back(Values[i]);
    Values = std::move(kept);
}

double Median(std::vector<double> Values)
{
    const auto middle = Values.begin() + static_cast<std::ptrdiff_t>(Values.size() / 2);
    std::nth_element(Values.begin(), middle, Values.end());
    if (Values.size() % 2 == 1)
        return *middle;
    return 0.5 * (*middle + *std::max_element(Values.begin(), middle));
}

double X(const TMeasuredData& Data, int Electrode)
{
    return Data.Electrodes.at(static_cast<size_t>(Electrode)).x;
}

// The middle of a dipole (a pole: its electrode).
double Middle(const TMeasuredData& Data, int First, int Second)
{
    if (Second < 0)
        return X(Data, First);
    if (First < 0)
        return X(Data, Second);
    return 0.5 * (X(Data, First) + X(Data, Second));
}

struct TPseudoPoint {
    double x = 0.0, depth = 0.0;
};

TPseudoPoint PseudoPoint(const TMeasuredData& Data, const TConfiguration& c)
{
    const double current = Middle(Data, c.a, c.b), potential = Middle(Data, c.m, c.n);
    return {0.5 * (current + potential), 0.5 * std::fabs(current - potential)};
}

// A dipole's electrodes in ascending order, and whether they were swapped.
std::pair<std::pair<int, int>, bool> Ordered(int First, int Second)
{
    if (Second < First)
        return {{Second, First}, true};
    return {{First, Second}, false};
}

} // namespace

std::vector<bool> NonPositiveData(const TMeasuredData& Data)
{
    std::vector<bool> marked;
    marked.reserve(Data.Size());
    for (size_t d = 0; d < Data.Size(); ++d)
        marked.push_back(!(Data.Resistivities.at(d) > 0.0));
    return marked;
}

std::vector<bool> ReversedPolarityData(const TMeasuredData& Data)
{
    std::vector<bool> marked;
    marked.reserve(Data.Size());
    for (size_t d = 0; d < Data.Size(); ++d)
        marked.push_back(Data.Resistivities.at(d) < 0.0);
    return marked;
}

size_t TurnPolarity(TMeasuredData& Data, const std::vector<bool>& Turned)
{
    if (Turned.size() != Data.Size())
        throw EDataFileError("The data to turn need one mark per datum.");
    size_t count = 0;
    for (size_t d = 0; d < Turned.size(); ++d) {
        if (!Turned[d])
            continue;
        ++count;
        for (std::vector<double>* values : {&Data.Resistivities, &Data.Resistances, &Data.Voltages})
            if (!values->empty())
                values->at(d) = -values->at(d);
    }
    return count;
}

size_t TurnReversedPolarity(TMeasuredData& Data)
{
    return TurnPolarity(Data, ReversedPolarityData(Data));
}

bool MostlyReversed(const TMeasuredData& Data)
{
    const std::vector<bool> marked = ReversedPolarityData(Data);
    const auto count = static_cast<size_t>(std::count(marked.begin(), marked.end(), true));
    return count > 0 && 2 * count >= Data.Size();
}

void RequirePositiveResistivities(const TMeasuredData& Data)
{
    const std::vector<bool> marked = NonPositiveData(Data);
    const auto first = std::find(marked.begin(), marked.end(), true);
    if (first == marked.end())
        return;
    const auto count = std::count(marked.begin(), marked.end(), true);
    const auto d = static_cast<size_t>(first - marked.begin());
    const std::string place = Data.Lines.size() == Data.Size() ? LineWord(Data.Format) + " " + std::to_string(Data.Lines[d])
                                                               : "datum " + std::to_string(d + 1);
    throw EForwardError(count == 1 ? "1 datum has an apparent resistivity of 0 or below (on " + place +
                                         "): remove it first."
                                   : std::to_string(count) + " data have an apparent resistivity of 0 or below (first on " +
                                         place + "): remove them first.");
}

TMeasuredData KeepData(const TMeasuredData& Data, const std::vector<bool>& Removed)
{
    if (Removed.size() != Data.Size())
        throw EDataFileError("The data to remove need one mark per datum.");
    TMeasuredData kept = Data;
    KeepEntries(kept.Configurations, Removed);
    KeepEntries(kept.Resistivities, Removed);
    KeepEntries(kept.Resistances, Removed);
    KeepEntries(kept.GeometricFactors, Removed);
    KeepEntries(kept.Errors, Removed);
    KeepEntries(kept.Chargeabilities, Removed);
    KeepEntries(kept.ChargeabilityErrors, Removed);
    KeepEntries(kept.Phases, Removed);
    KeepEntries(kept.PhaseErrors, Removed);
    KeepEntries(kept.Voltages, Removed);
    KeepEntries(kept.Times, Removed);
    KeepEntries(kept.Lines, Removed);
    return kept;
}

std::vector<double> DataResistances(const TMeasuredData& Data)
{
    const TSurvey survey = Data.Survey();
    std::vector<double> resistances;
    for (size_t i = 0; i < Data.Size(); ++i) {
        const double given = Data.Resistances.empty() ? std::nan("") : Data.Resistances[i];
        if (std::isfinite(given)) {
            resistances.push_back(given);
            continue;
        }
        const double fileFactor = Data.GeometricFactors.empty() ? std::nan("") : Data.GeometricFactors[i];
        const double k = std::isfinite(fileFactor) ? fileFactor : FlatGeometricFactor(survey, Data.Configurations[i]);
        resistances.push_back(Data.Resistivities[i] / k);
    }
    return resistances;
}

std::vector<bool> OutlyingValues(const TMeasuredData& Data, const std::vector<double>& Values, double K, double Floor,
                                 double RelativeFloor, int Neighbours)
{
    if (!(std::isfinite(K) && K > 0.0))
        throw EDataFileError("The outlier limit must be a finite number above 0.");
    if (Neighbours < 3)
        throw EDataFileError("An outlier is judged by three neighbours at least.");
    if (Values.size() != Data.Size())
        throw EDataFileError("The values to judge need one per datum.");
    std::vector<bool> outlying(Data.Size(), false);
    // The data with a value; the others are neither judged nor neighbours.
    std::vector<size_t> judged;
    for (size_t d = 0; d < Data.Size(); ++d)
        if (std::isfinite(Values[d]))
            judged.push_back(d);
    const size_t count = judged.size();
    if (count < static_cast<size_t>(Neighbours) + 1)
        return outlying;
    std::vector<TPseudoPoint> points;
    for (size_t d : judged)
        points.push_back(PseudoPoint(Data, Data.Configurations.at(d)));
    std::vector<std::pair<double, size_t>> distances(count);
    std::vector<double> values;
    for (size_t i = 0; i < count; ++i) {
        for (size_t j = 0; j < count; ++j) {
            const double dx = points[j].x - points[i].x, dz = points[j].depth - points[i].depth;
            distances[j] = {j == i ? std::numeric_limits<double>::infinity() : dx * dx + dz * dz, j};
        }
        std::partial_sort(distances.begin(), distances.begin() + Neighbours, distances.end());
        values.clear();
        for (int k = 0; k < Neighbours; ++k)
            values.push_back(Values[judged[distances[static_cast<size_t>(k)].second]]);
        const double centre = Median(values);
        for (double& v : values)
            v = std::fabs(v - centre);
        const double spread = std::max({1.4826 * Median(values), Floor, RelativeFloor * std::fabs(centre)});
        outlying[judged[i]] = std::fabs(Values[judged[i]] - centre) > K * spread;
    }
    return outlying;
}

std::vector<bool> OutlyingData(const TMeasuredData& Data, double K, int Neighbours)
{
    // A datum of ρa 0 or below has no logarithm: neither judged nor a neighbour.
    std::vector<double> logarithms;
    logarithms.reserve(Data.Size());
    for (size_t d = 0; d < Data.Size(); ++d)
        logarithms.push_back(Data.Resistivities.at(d) > 0.0 ? std::log(Data.Resistivities[d])
                                                            : std::numeric_limits<double>::quiet_NaN());
    return OutlyingValues(Data, logarithms, K, 0.01, 0.0, Neighbours);
}

namespace {

// The IP values of a list judged against their neighbours, the scale at
// least Floor, a quarter of the list's own scaled deviation, and half the
// neighbours' median in size: IP contrasts are ratios, and a datum a few
// times its neighbours' value beside a strongly polarizable body is data.
std::vector<bool> OutlyingIpList(const TMeasuredData& Data, const std::vector<double>& Values, double K, double Floor,
                                 int Neighbours)
{
    if (Values.empty())
        return {};
    std::vector<double> given;
    for (double value : Values)
        if (std::isfinite(value))
            given.push_back(value);
    double scatter = 0.0;
    if (!given.empty()) {
        const double centre = Median(given);
        for (double& value : given)
            value = std::fabs(value - centre);
        scatter = 1.4826 * Median(given);
    }
    return OutlyingValues(Data, Values, K, std::max(Floor, 0.25 * scatter), 0.5, Neighbours);
}

// The least scale an IP value is judged on: a tenth of a per cent (1
// mV/V), one mrad, about what repeated readings scatter by.
constexpr double ChargeabilityFloor = 0.1;
constexpr double PhaseFloor = 1.0;

} // namespace

size_t TOutlyingIp::Count() const
{
    return static_cast<size_t>(std::count(Chargeabilities.begin(), Chargeabilities.end(), true) +
                               std::count(Phases.begin(), Phases.end(), true));
}

TOutlyingIp OutlyingIpValues(const TMeasuredData& Data, double K, int Neighbours)
{
    return {OutlyingIpList(Data, Data.Chargeabilities, K, ChargeabilityFloor, Neighbours),
            OutlyingIpList(Data, Data.Phases, K, PhaseFloor, Neighbours)};
}

void LeaveOutIpValues(TMeasuredData& Data, const TOutlyingIp& Outlying)
{
    const auto leaveOut = [](std::vector<double>& Values, std::vector<double>& Errors, const std::vector<bool>& Marks) {
        for (size_t d = 0; d < Marks.size(); ++d)
            if (Marks[d]) {
                Values.at(d) = std::numeric_limits<double>::quiet_NaN();
                if (!Errors.empty())
                    Errors.at(d) = std::numeric_limits<double>::quiet_NaN();
            }
    };
    leaveOut(Data.Chargeabilities, Data.ChargeabilityErrors, Outlying.Chargeabilities);
    leaveOut(Data.Phases, Data.PhaseErrors, Outlying.Phases);
}

std::vector<TReciprocalPair> ReciprocalPairs(const TMeasuredData& Data)
{
    RequirePositiveResistivities(Data);
    const std::vector<double> resistances = DataResistances(Data);
    // Each datum's dipoles in ascending order; R with the sign that order gives.
    using TKey = std::tuple<int, int, int, int>;
    std::map<TKey, size_t> waiting; // an unpaired datum by its dipoles
    std::vector<double> signedR(Data.Size());
    std::vector<TReciprocalPair> pairs;
    for (size_t i = 0; i < Data.Size(); ++i) {
        const TConfiguration& c = Data.Configurations[i];
        const auto [current, swappedCurrent] = Ordered(c.a, c.b);
        const auto [potential, swappedPotential] = Ordered(c.m, c.n);
        signedR[i] = swappedCurrent != swappedPotential ? -resistances[i] : resistances[i];
        const TKey key{current.first, current.second, potential.first, potential.second};
        const TKey reciprocal{potential.first, potential.second, current.first, current.second};
        const auto partner = waiting.find(reciprocal);
        if (partner != waiting.end() && reciprocal != key) {
            const size_t normal = partner->second;
            const double mean = 0.5 * (std::fabs(signedR[normal]) + std::fabs(signedR[i]));
            const double error = mean > 0.0 ? 100.0 * std::fabs(signedR[normal] - signedR[i]) / mean : 0.0;
            pairs.push_back({normal, i, mean, error});
            waiting.erase(partner);
        } else {
            waiting.emplace(key, i);
        }
    }
    std::sort(pairs.begin(), pairs.end(), [](const auto& p, const auto& q) { return p.Normal < q.Normal; });
    return pairs;
}

double TReciprocalErrorModel::ErrorOf(double Resistance) const
{
    const double r = std::fabs(Resistance);
    return r > 0.0 ? (Absolute + Relative * r) / r : std::numeric_limits<double>::infinity();
}

TReciprocalErrorModel FitReciprocalErrorModel(const std::vector<TReciprocalPair>& Pairs)
{
    if (Pairs.empty())
        throw EDataFileError("The data hold no reciprocal pair to fit an error model to.");
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    for (const TReciprocalPair& pair : Pairs) {
        const double x = pair.Resistance, y = pair.ErrorPercent / 100.0 * pair.Resistance;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double n = static_cast<double>(Pairs.size());
    TReciprocalErrorModel model;
    model.Pairs = Pairs.size();
    const double determinant = n * sxx - sx * sx;
    if (determinant > 1e-12 * n * sxx) {
        model.Relative = (n * sxy - sx * sy) / determinant;
        model.Absolute = (sy - model.Relative * sx) / n;
    } else {
        model.Absolute = -1.0; // every pair at one resistance: the relative part alone
    }
    if (model.Absolute < 0.0) {
        model.Absolute = 0.0;
        model.Relative = sxx > 0.0 ? sxy / sxx : 0.0;
    }
    if (model.Relative < 0.0) {
        model.Relative = 0.0;
        model.Absolute = sy / n;
    }
    return model;
}

std::vector<bool> ReciprocalDataBeyond(const std::vector<TReciprocalPair>& Pairs, size_t Count, double Percent)
{
    std::vector<bool> removed(Count, false);
    for (const TReciprocalPair& pair : Pairs)
        if (pair.ErrorPercent > Percent)
            removed.at(pair.Normal) = removed.at(pair.Reciprocal) = true;
    return removed;
}

TReciprocalErrorUse UseReciprocalErrorModel(TMeasuredData& Data, const std::vector<TReciprocalPair>& Pairs,
                                            const TReciprocalErrorModel& Model)
{
    const std::vector<double> resistances = DataResistances(Data);
    if (Data.Errors.empty())
        Data.Errors.assign(Data.Size(), std::nan(""));
    TReciprocalErrorUse use;
    for (const TReciprocalPair& pair : Pairs)
        for (size_t d : {pair.Normal, pair.Reciprocal}) {
            if (std::isfinite(Data.Errors.at(d)) && Data.Errors[d] > 0.0) {
                ++use.Own;
                continue;
            }
            const double error = Model.ErrorOf(resistances.at(d));
            if (!(error >= MinReciprocalError))
                ++use.Floored;
            Data.Errors[d] = error >= MinReciprocalError ? error : MinReciprocalError;
            ++use.Set;
        }
    return use;
}

} // namespace lp
