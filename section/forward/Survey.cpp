#include "section/forward/Survey.h"

#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <cmath>
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

namespace {

double PlaceTolerance(const TForwardModel& Ground)
{
    return 1e-9 * std::max(1.0, Ground.Right - Ground.Left);
}

} // namespace

std::optional<int> ElectrodeOutsideArea(const std::vector<TElectrode>& Electrodes, const TForwardModel& Ground)
{
    const double tolerance = PlaceTolerance(Ground);
    for (size_t e = 0; e < Electrodes.size(); ++e)
        if (!(Electrodes[e].x >= Ground.Left - tolerance && Electrodes[e].x <= Ground.Right + tolerance))
            return static_cast<int>(e);
    return std::nullopt;
}

std::optional<std::pair<int, int>> ElectrodesAtOnePlace(const std::vector<TElectrode>& Electrodes,
                                                        const TForwardModel& Ground)
{
    const double tolerance = PlaceTolerance(Ground);
    std::vector<int> order(Electrodes.size());
    std::iota(order.begin(), order.end(), 0);
    const auto x = [&](int e) { return std::clamp(Electrodes[static_cast<size_t>(e)].x, Ground.Left, Ground.Right); };
    std::sort(order.begin(), order.end(), [&](int a, int b) { return x(a) < x(b); });
    for (size_t i = 1; i < order.size(); ++i)
        if (x(order[i]) - x(order[i - 1]) <= tolerance)
            return std::pair{std::min(order[i - 1], order[i]), std::max(order[i - 1], order[i])};
    return std::nullopt;
}

void PlaceSurvey(TSurvey& Survey, const TForwardModel& Ground)
{
    const int count = static_cast<int>(Survey.Electrodes.size());
    if (const std::optional<int> e = ElectrodeOutsideArea(Survey.Electrodes, Ground))
        throw EForwardError("Electrode " + std::to_string(*e + 1) + " at x = " +
                            FormatExactReal(Survey.Electrodes[static_cast<size_t>(*e)].x) +
                            " lies outside the model area (x from " + FormatExactReal(Ground.Left) + " to " +
                            FormatExactReal(Ground.Right) + ").");
    for (TElectrode& electrode : Survey.Electrodes) {
        electrode.x = std::clamp(electrode.x, Ground.Left, Ground.Right);
        electrode.z = SurfaceElevation(Ground, electrode.x);
    }
    if (const std::optional<std::pair<int, int>> pair = ElectrodesAtOnePlace(Survey.Electrodes, Ground))
        throw EForwardError("Electrodes " + std::to_string(pair->first + 1) + " and " + std::to_string(pair->second + 1) +
                            " stand at one place (x = " +
                            FormatExactReal(Survey.Electrodes[static_cast<size_t>(pair->first)].x) + ").");
    if (Survey.Configurations.empty())
        throw EForwardError(Survey.Array == SchemeArrayName
                                ? std::string("The scheme has no configuration.")
                                : "The survey has no configuration: " + std::to_string(count) +
                                      " electrodes are too few for its levels.");
    for (size_t d = 0; d < Survey.Configurations.size(); ++d) {
        const TConfiguration& c = Survey.Configurations[d];
        const std::string datum = "Datum " + std::to_string(d + 1);
        const int used[4] = {c.a, c.b, c.m, c.n};
        if (c.a < 0 || c.m < 0)
            throw EForwardError(datum + " has no electrode A or M.");
        for (int i = 0; i < 4; ++i) {
            if (used[i] >= count || used[i] < -1)
                throw EForwardError(datum + " names electrode " + std::to_string(used[i] + 1) + ", but the survey has " +
                                    std::to_string(count) + ".");
            for (int j = 0; j < i; ++j)
                if (used[i] >= 0 && used[i] == used[j])
                    throw EForwardError(datum + " uses electrode " + std::to_string(used[i] + 1) + " twice.");
        }
    }
}

} // namespace lp
