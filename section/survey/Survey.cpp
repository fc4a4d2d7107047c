#include "section/survey/Survey.h"

#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

namespace lp {

std::string ArrayKindName(TArrayKind Kind)
{
    switch (Kind) {
    case TArrayKind::DipoleDipole:
        return "dipole-dipole";
    case TArrayKind::Wenner:
        return "wenner";
    case TArrayKind::Schlumberger:
        return "schlumberger";
    }
    return {};
}

std::optional<TArrayKind> ArrayKindFromName(const std::string& Name)
{
    for (TArrayKind kind : {TArrayKind::DipoleDipole, TArrayKind::Wenner, TArrayKind::Schlumberger})
        if (ArrayKindName(kind) == Name)
            return kind;
    return std::nullopt;
}

std::vector<TConfiguration> ArrayConfigurations(TArrayKind Kind, int Electrodes, int Levels)
{
    std::vector<TConfiguration> configurations;
    for (int n = 1; n <= Levels; ++n)
        for (int i = 0;; ++i) {
            TConfiguration c;
            switch (Kind) {
            case TArrayKind::Wenner:
                c = {i, i + 3 * n, i + n, i + 2 * n};
                break;
            case TArrayKind::Schlumberger:
                c = {i, i + 2 * n + 1, i + n, i + n + 1};
                break;
            case TArrayKind::DipoleDipole:
                c = {i, i + 1, i + n + 1, i + n + 2};
                break;
            }
            if (std::max({c.a, c.b, c.m, c.n}) >= Electrodes)
                break;
            configurations.push_back(c);
        }
    return configurations;
}

TSurvey MakeArraySurvey(const TArrayLayout& Layout, double Left, double Right)
{
    const int count = Layout.Electrodes;
    if (count < MinArrayElectrodes || count > MaxArrayElectrodes)
        throw EForwardError("An array has " + std::to_string(MinArrayElectrodes) + " to " +
                            std::to_string(MaxArrayElectrodes) + " electrodes, not " + std::to_string(count) + ".");
    if (Layout.Levels < MinArrayLevels || Layout.Levels > MaxArrayLevels)
        throw EForwardError("An array has " + std::to_string(MinArrayLevels) + " to " + std::to_string(MaxArrayLevels) +
                            " levels, not " + std::to_string(Layout.Levels) + ".");
    double spacing = 0.0, first = 0.0;
    if (Layout.Spacing) {
        spacing = *Layout.Spacing;
        first = Layout.First.value_or((Left + Right) / 2 - spacing * (count - 1) / 2);
    } else if (Layout.First) {
        first = *Layout.First;
        spacing = (Right - first) / count;
    } else {
        spacing = (Right - Left) / (count + 1);
        first = Left + spacing;
    }
    if (!std::isfinite(spacing) || spacing <= 0.0)
        throw EForwardError("The electrode spacing " + FormatExactReal(spacing) + " is not a finite number above 0.");
    if (!std::isfinite(first))
        throw EForwardError("The first electrode's position is not a finite number.");
    TSurvey survey;
    survey.Array = ArrayKindName(Layout.Kind);
    for (int i = 0; i < count; ++i)
        survey.Electrodes.push_back({first + i * spacing, 0.0});
    survey.Configurations = ArrayConfigurations(Layout.Kind, count, Layout.Levels);
    return survey;
}

double ElectrodeDistance(const TSurvey& Survey, int A, int B)
{
    const TElectrode& p = Survey.Electrodes.at(static_cast<size_t>(A));
    const TElectrode& q = Survey.Electrodes.at(static_cast<size_t>(B));
    return std::hypot(p.x - q.x, p.y - q.y, p.z - q.z);
}

double SectionDistance(const TSurvey& Survey, int A, int B)
{
    const TElectrode& p = Survey.Electrodes.at(static_cast<size_t>(A));
    const TElectrode& q = Survey.Electrodes.at(static_cast<size_t>(B));
    return std::hypot(p.x - q.x, p.z - q.z);
}

bool HasOffLineElectrodes(const TSurvey& Survey)
{
    return std::any_of(Survey.Electrodes.begin(), Survey.Electrodes.end(),
                       [](const TElectrode& e) { return e.y != 0.0; });
}

void SurveyDistances(const TSurvey& Survey, double& Smallest, double& Largest)
{
    Smallest = std::numeric_limits<double>::infinity();
    Largest = 0.0;
    double across = std::numeric_limits<double>::infinity(); // the smallest of pairs apart across the line
    for (const TConfiguration& c : Survey.Configurations)
        for (int current : {c.a, c.b})
            for (int potential : {c.m, c.n})
                if (current >= 0 && potential >= 0) {
                    const double r = SectionDistance(Survey, current, potential);
                    Largest = std::max(Largest, r);
                    // A buried pair's field reaches the surface and back: its image's distance.
                    const TElectrode& p = Survey.Electrodes.at(static_cast<size_t>(current));
                    const TElectrode& q = Survey.Electrodes.at(static_cast<size_t>(potential));
                    if (p.Buried() || q.Buried())
                        Largest = std::max(Largest, std::hypot(p.x - q.x, p.Depth + q.Depth));
                    if (Survey.Electrodes.at(static_cast<size_t>(current)).y ==
                        Survey.Electrodes.at(static_cast<size_t>(potential)).y)
                        Smallest = std::min(Smallest, r);
                    else if (r > 0.0)
                        across = std::min(across, r);
                }
    if (!std::isfinite(Smallest))
        Smallest = across;
}

double HalfSpaceTerm(const TElectrode& Current, const TElectrode& Potential)
{
    const double along = Current.x - Potential.x, across = Current.y - Potential.y;
    if (!Current.Buried() && !Potential.Buried())
        return 1.0 / std::hypot(along, across, Current.z - Potential.z);
    const double r = std::hypot(along, across, Current.Depth - Potential.Depth);
    const double image = std::hypot(along, across, Current.Depth + Potential.Depth);
    return (1.0 / r + 1.0 / image) / 2.0;
}

double FlatGeometricFactor(const TSurvey& Survey, const TConfiguration& Configuration)
{
    const auto inverse = [&](int current, int potential) {
        return current < 0 || potential < 0 ? 0.0
                                            : HalfSpaceTerm(Survey.Electrodes.at(static_cast<size_t>(current)),
                                                            Survey.Electrodes.at(static_cast<size_t>(potential)));
    };
    const TConfiguration& c = Configuration;
    const double sum = inverse(c.a, c.m) - inverse(c.a, c.n) - inverse(c.b, c.m) + inverse(c.b, c.n);
    const double scale = inverse(c.a, c.m) + inverse(c.a, c.n) + inverse(c.b, c.m) + inverse(c.b, c.n);
    if (std::fabs(sum) <= 1e-9 * scale)
        return std::numeric_limits<double>::infinity();
    return 2.0 * std::numbers::pi / sum;
}

void SetEnvelopeDepths(std::vector<TElectrode>& Electrodes)
{
    if (Electrodes.empty())
        return;
    const auto span = std::minmax_element(Electrodes.begin(), Electrodes.end(),
                                          [](const TElectrode& a, const TElectrode& b) { return a.x < b.x; });
    const double same = 1e-9 * std::max(1.0, span.second->x - span.first->x);
    const bool countedDown =
        std::all_of(Electrodes.begin(), Electrodes.end(), [](const TElectrode& e) { return e.z <= 0.0; });
    std::vector<size_t> order(Electrodes.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return Electrodes[a].x < Electrodes[b].x; });
    for (size_t i = 0; i < order.size();) {
        // A run of electrodes within the tolerance of the run's first x: a hole, or one line electrode.
        size_t end = i + 1;
        while (end < order.size() && Electrodes[order[end]].x - Electrodes[order[i]].x <= same)
            ++end;
        double top = -std::numeric_limits<double>::infinity();
        for (size_t j = i; j < end; ++j)
            top = std::max(top, Electrodes[order[j]].z);
        // A hole's top electrode is set in it, not on the ground: with z
        // counted down from 0 the hole starts at 0.
        if (end - i > 1 && countedDown)
            top = std::max(top, 0.0);
        for (size_t j = i; j < end; ++j)
            Electrodes[order[j]].Depth = top - Electrodes[order[j]].z;
        i = end;
    }
}

double SmallestPlaneDistance(const std::vector<TElectrode>& Electrodes)
{
    std::vector<TElectrode> sorted = Electrodes;
    std::sort(sorted.begin(), sorted.end(), [](const TElectrode& a, const TElectrode& b) { return a.x < b.x; });
    double smallest = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < sorted.size(); ++i)
        for (size_t j = i + 1; j < sorted.size() && sorted[j].x - sorted[i].x < smallest; ++j) {
            const double d = std::hypot(sorted[j].x - sorted[i].x, sorted[j].z - sorted[i].z);
            if (d > 0.0)
                smallest = std::min(smallest, d);
        }
    return smallest;
}

double MedianGap(std::vector<double> Positions)
{
    std::sort(Positions.begin(), Positions.end());
    Positions.erase(std::unique(Positions.begin(), Positions.end()), Positions.end());
    if (Positions.size() < 2)
        return 0.0;
    std::vector<double> gaps;
    for (size_t i = 1; i < Positions.size(); ++i)
        gaps.push_back(Positions[i] - Positions[i - 1]);
    std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
    return gaps[gaps.size() / 2];
}

std::vector<int> UsedElectrodes(const TSurvey& Survey)
{
    std::vector<int> used;
    for (const TConfiguration& c : Survey.Configurations)
        for (int e : {c.a, c.b, c.m, c.n})
            if (e >= 0)
                used.push_back(e);
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    return used;
}

std::vector<double> UsedElectrodePositions(const TSurvey& Survey)
{
    std::vector<double> x;
    for (int e : UsedElectrodes(Survey))
        x.push_back(Survey.Electrodes.at(static_cast<size_t>(e)).x);
    std::sort(x.begin(), x.end());
    x.erase(std::unique(x.begin(), x.end()), x.end());
    return x;
}

TSurveyFrame SurveyFrame(const TSurvey& Survey)
{
    const std::vector<double> x = UsedElectrodePositions(Survey);
    if (x.size() < 2)
        return {};
    const double pad = SurveyFramePadding * MedianGap(x);
    return {x.front() - pad, x.back() + pad};
}

namespace {

// A height of the survey's ground: a used electrode's elevation, or the
// surface's over a buried one (its elevation plus its depth).
struct THeight {
    double Value;
    int Electrode;
    bool Surface;
};

// The widest gap between the heights of the used electrodes (their
// elevations and the surface over the buried ones) when wider than
// MaxElectrodeGap times Unit; the height on the side with fewer heights
// is named.
std::optional<TStrayElectrode> StrayHeight(const TSurvey& Survey, double Unit)
{
    std::vector<THeight> heights;
    for (int e : UsedElectrodes(Survey)) {
        const TElectrode& electrode = Survey.Electrodes.at(static_cast<size_t>(e));
        heights.push_back({electrode.z, e, false});
        if (electrode.Buried())
            heights.push_back({electrode.z + electrode.Depth, e, true});
    }
    std::stable_sort(heights.begin(), heights.end(),
                     [](const THeight& a, const THeight& b) { return a.Value < b.Value; });
    if (heights.size() < 2 || !(Unit > 0.0))
        return std::nullopt;
    size_t widest = 0;
    for (size_t i = 1; i + 1 < heights.size(); ++i)
        if (heights[i + 1].Value - heights[i].Value > heights[widest + 1].Value - heights[widest].Value)
            widest = i;
    const double gap = (heights[widest + 1].Value - heights[widest].Value) / Unit;
    if (!(gap > MaxElectrodeGap))
        return std::nullopt;
    const bool lowStrays = widest + 1 <= heights.size() - widest - 1;
    const THeight& stray = heights[lowStrays ? widest : widest + 1];
    const THeight& across = heights[lowStrays ? widest + 1 : widest];
    TStrayElectrode found{stray.Electrode, across.Electrode, gap};
    found.Height = lowStrays ? TStrayElectrode::Below : TStrayElectrode::Above;
    found.Surface = stray.Surface;
    found.Elevation = stray.Value;
    found.NeighbourElevation = across.Value;
    return found;
}

} // namespace

std::optional<TStrayElectrode> StrayElectrode(const TSurvey& Survey)
{
    const std::vector<double> x = UsedElectrodePositions(Survey);
    // In height by the spacing along the line, or, with electrodes at fewer
    // places along it (holes), by the spacing down the holes.
    std::vector<double> z;
    for (int e : UsedElectrodes(Survey))
        z.push_back(Survey.Electrodes.at(static_cast<size_t>(e)).z);
    const double unit = x.size() >= 4 ? MedianGap(x) : MedianGap(z);
    if (x.size() < 4)
        return StrayHeight(Survey, unit);
    const double spacing = MedianGap(x);
    size_t widest = 0;
    for (size_t i = 1; i + 1 < x.size(); ++i)
        if (x[i + 1] - x[i] > x[widest + 1] - x[widest])
            widest = i;
    const double gap = (x[widest + 1] - x[widest]) / spacing;
    if (!(gap > MaxElectrodeGap))
        return StrayHeight(Survey, unit);
    // The side of the gap with fewer electrodes is the one out of place.
    const bool leftStrays = widest + 1 <= x.size() - widest - 1;
    const double stray = leftStrays ? x[widest] : x[widest + 1];
    const double across = leftStrays ? x[widest + 1] : x[widest];
    // The first used electrode standing at a place.
    const auto usedAt = [&](double place) {
        int first = -1;
        for (const TConfiguration& c : Survey.Configurations)
            for (int e : {c.a, c.b, c.m, c.n})
                if (e >= 0 && (first < 0 || e < first) && Survey.Electrodes.at(static_cast<size_t>(e)).x == place)
                    first = e;
        return first;
    };
    return TStrayElectrode{usedAt(stray), usedAt(across), gap};
}

} // namespace lp
