#include "section/forward/ForwardModel.h"

#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <string>

namespace lp {

std::string ForwardRegionLabel(const TModelGeometry& Geometry, int Region)
{
    const TGeometryRegion& region = Geometry.Regions.at(static_cast<size_t>(Region));
    if (Region == 0)
        return "The host medium";
    return "Region \"" + region.name + "\" (body " + std::to_string(region.body) + ", ring " +
           std::to_string(region.ring) + ")";
}

namespace {

// A parameter slot as a number; a text that is not a number is refused.
std::optional<double> SlotNumber(const ParamValue& slot, const std::string& label, const char* what)
{
    if (slot.IsEmpty())
        return std::nullopt;
    try {
        return slot.AsReal();
    } catch (const Exception&) {
        throw EForwardError(label + " has a " + what + " that is not a number: \"" + slot.AsText() + "\".");
    }
}

TForwardRegion RegionParameters(const TModelGeometry& geometry, int r, std::optional<double> hostResistivity)
{
    const TGeometryRegion& region = geometry.Regions[static_cast<size_t>(r)];
    const std::string label = ForwardRegionLabel(geometry, r);
    std::optional<double> resistivity = SlotNumber(region.resistivity, label, "resistivity");
    if (!resistivity && r == 0)
        resistivity = hostResistivity;
    if (!resistivity)
        throw EForwardError(label + " has no resistivity.");
    if (!std::isfinite(*resistivity) || *resistivity <= 0.0)
        throw EForwardError(label + " has a resistivity of " + FormatExactReal(*resistivity) +
                            " ohm-m: it must be a finite number above 0.");
    const double percent = SlotNumber(region.polarizability, label, "polarizability").value_or(0.0);
    // 100 % would make the charged ground an insulator: refused, as the body
    // dialog refuses it.
    if (!(percent >= 0.0 && percent < 100.0))
        throw EForwardError(label + " has a polarizability of " + FormatExactReal(percent) +
                            " %: it must lie from 0 up to (not including) 100.");
    // "*" is the editor's mark of a slot not set: no phase.
    const bool unset = region.phase.GetKind() == ParamValue::Kind::Text && region.phase.AsText() == MissingText;
    const double phase = unset ? 0.0 : SlotNumber(region.phase, label, "phase").value_or(0.0);
    if (!(std::fabs(phase) <= MostPhaseMrad))
        throw EForwardError(label + " has a phase of " + FormatExactReal(phase) + " mrad: it must lie from -" +
                            FormatExactReal(MostPhaseMrad) + " to " + FormatExactReal(MostPhaseMrad) + ".");
    return {*resistivity, percent / 100.0, phase};
}

// The upper part of the frame: the path between the top corners that does
// not pass the bottom corners.
std::vector<TGeometryPoint> FrameSurface(const TModelGeometry& geometry)
{
    std::map<int, std::vector<int>> neighbours;
    for (int edge : geometry.FrameEdges) {
        const auto& [a, b] = geometry.Edges.at(static_cast<size_t>(edge - 1));
        neighbours[a].push_back(b);
        neighbours[b].push_back(a);
    }
    const auto point = [&](int p) { return geometry.Points[static_cast<size_t>(p)]; };
    double left = 1e300, right = -1e300;
    for (const auto& [p, unused] : neighbours) {
        left = std::min(left, point(p).x);
        right = std::max(right, point(p).x);
    }
    // The corners: the highest and lowest frame points on each side.
    int topLeft = -1, bottomLeft = -1, topRight = -1;
    for (const auto& [p, unused] : neighbours) {
        const TGeometryPoint at = point(p);
        if (at.x == left && (topLeft < 0 || at.y > point(topLeft).y))
            topLeft = p;
        if (at.x == left && (bottomLeft < 0 || at.y < point(bottomLeft).y))
            bottomLeft = p;
        if (at.x == right && (topRight < 0 || at.y > point(topRight).y))
            topRight = p;
    }
    for (int start : neighbours[topLeft]) {
        std::vector<int> path{topLeft};
        int previous = topLeft, current = start;
        while (current != topRight && current != bottomLeft && current != topLeft) {
            path.push_back(current);
            const std::vector<int>& next = neighbours[current];
            if (next.size() != 2)
                break;
            const int following = next[0] == previous ? next[1] : next[0];
            previous = current;
            current = following;
        }
        if (current != topRight)
            continue;
        path.push_back(topRight);
        std::vector<TGeometryPoint> surface;
        for (int p : path)
            surface.push_back(point(p));
        for (size_t i = 1; i < surface.size(); ++i)
            if (!(surface[i].x > surface[i - 1].x))
                throw EForwardError("The ground surface turns back on itself at x = " + FormatExactReal(surface[i].x) +
                                    ": electrodes cannot stand on it.");
        return surface;
    }
    throw EForwardError("The model area's outline has no ground surface between its top corners.");
}

} // namespace

TForwardModel PrepareForwardModel(const AllSpolygon& Model, const Tnodes& Nodes, const TModelArea& Area,
                                  std::optional<double> HostResistivity)
{
    TForwardModel ground;
    try {
        ground.Geometry = BuildModelGeometry(Model, Nodes, lines(), &Area);
    } catch (const EModelGeometryError& error) {
        std::string message = error.Message();
        const std::string exported = "The model cannot be exported: ";
        if (message.rfind(exported, 0) == 0)
            message = "The model cannot be computed: " + message.substr(exported.size());
        throw EForwardError(message);
    }
    const TModelGeometry& geometry = ground.Geometry;
    for (int r = 0; r < static_cast<int>(geometry.Regions.size()); ++r) {
        // A ring whose whole area belongs to rings inside it holds no ground.
        if (geometry.Regions[static_cast<size_t>(r)].surfaces.empty()) {
            ground.Regions.push_back({});
            continue;
        }
        ground.Regions.push_back(RegionParameters(geometry, r, HostResistivity));
        ground.HasPolarizability = ground.HasPolarizability || ground.Regions.back().polarizability > 0.0;
        ground.HasPhase = ground.HasPhase || ground.Regions.back().phase != 0.0;
    }
    ground.Surface = FrameSurface(geometry);
    ground.Left = ground.Surface.front().x;
    ground.Right = ground.Surface.back().x;
    ground.Bottom = 1e300;
    for (const TGeometryPoint& p : geometry.Points)
        ground.Bottom = std::min(ground.Bottom, p.y);
    const double flat = 1e-9 * std::max(1.0, geometry.Width);
    for (const TGeometryPoint& p : ground.Surface)
        ground.HasRelief = ground.HasRelief || std::fabs(p.y - ground.Surface.front().y) > flat;
    return ground;
}

double SurfaceElevation(const TForwardModel& Ground, double X)
{
    return SurfaceElevation(Ground.Surface, X);
}

double SurfaceElevation(const std::vector<TGeometryPoint>& s, double X)
{
    if (s.empty())
        return 0.0;
    // The first point beyond X: a.x <= X < b.x below, never a division by 0.
    const auto after = std::upper_bound(s.begin(), s.end(), X,
                                        [](double x, const TGeometryPoint& p) { return x < p.x; });
    if (after == s.begin())
        return s.front().y;
    if (after == s.end())
        return s.back().y;
    const TGeometryPoint& a = *(after - 1);
    const TGeometryPoint& b = *after;
    return a.y + (b.y - a.y) * (X - a.x) / (b.x - a.x);
}

namespace {

double PlaceTolerance(const TForwardModel& Ground)
{
    return 1e-9 * std::max(1.0, Ground.Right - Ground.Left);
}

// "x = 69", ", y = 20" for an electrode off the line, ", z = -4" for a
// buried one.
std::string PlaceText(const TElectrode& Electrode)
{
    return "x = " + FormatExactReal(Electrode.x) + (Electrode.y != 0.0 ? ", y = " + FormatExactReal(Electrode.y) : "") +
           (Electrode.Buried() ? ", z = " + FormatExactReal(Electrode.z) : "");
}

// Two electrodes at one place only because at least one was given above
// the ground (a hole's electrodes with elevations over the section's
// surface) and put on it: refused for that, naming both and the surface.
void RefuseTwoPutOnTheSurface(const std::vector<TElectrode>& Given, std::pair<int, int> Pair,
                              const TForwardModel& Ground)
{
    const TElectrode& first = Given.at(static_cast<size_t>(Pair.first));
    const TElectrode& second = Given.at(static_cast<size_t>(Pair.second));
    const double surface = SurfaceElevation(Ground, std::clamp(first.x, Ground.Left, Ground.Right));
    const double tolerance = PlaceTolerance(Ground);
    if (!(first.z > surface + tolerance || second.z > surface + tolerance) ||
        std::fabs(first.z - second.z) <= tolerance)
        return;
    throw EForwardError("Electrodes " + std::to_string(Pair.first + 1) + " and " + std::to_string(Pair.second + 1) +
                        " (x = " + FormatExactReal(first.x) + ", z = " + FormatExactReal(first.z) + " and " +
                        FormatExactReal(second.z) + ") are given above the section's surface (z = " +
                        FormatExactReal(surface) +
                        " there): an electrode above the ground stands on it, where these two would stand at one "
                        "place. Give the electrodes elevations at or below the surface.");
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
    const auto y = [&](int e) { return Electrodes[static_cast<size_t>(e)].y; };
    const auto z = [&](int e) { return Electrodes[static_cast<size_t>(e)].z; };
    std::sort(order.begin(), order.end(), [&](int a, int b) { return x(a) < x(b); });
    // Electrodes at one x apart across the line (a remote set out square
    // from a line electrode) stand at two places: the back-transform sees
    // them apart by cos(k Δy). Those within the tolerance in x are few: a
    // look back over them finds any pair at one y too.
    for (size_t i = 1; i < order.size(); ++i)
        for (size_t j = i; j-- > 0 && x(order[i]) - x(order[j]) <= tolerance;)
            if (std::fabs(y(order[i]) - y(order[j])) <= tolerance && std::fabs(z(order[i]) - z(order[j])) <= tolerance)
                return std::pair{std::min(order[j], order[i]), std::max(order[j], order[i])};
    return std::nullopt;
}

std::vector<TElectrode> PlacedElectrodes(std::vector<TElectrode> Electrodes, bool HasElevations,
                                         const TForwardModel& Ground)
{
    const double below = HasElevations ? BuriedShare * SmallestPlaneDistance(Electrodes)
                                       : std::numeric_limits<double>::infinity();
    for (TElectrode& electrode : Electrodes) {
        electrode.x = std::clamp(electrode.x, Ground.Left, Ground.Right);
        const double surface = SurfaceElevation(Ground, electrode.x);
        if (electrode.z < surface - below) {
            electrode.Depth = surface - electrode.z;
        } else {
            electrode.z = surface;
            electrode.Depth = 0.0;
        }
    }
    return Electrodes;
}

void PlaceSurvey(TSurvey& Survey, const TForwardModel& Ground)
{
    const int count = static_cast<int>(Survey.Electrodes.size());
    if (const std::optional<int> e = ElectrodeOutsideArea(Survey.Electrodes, Ground))
        throw EForwardError("Electrode " + std::to_string(*e + 1) + " at x = " +
                            FormatExactReal(Survey.Electrodes[static_cast<size_t>(*e)].x) +
                            " lies outside the model area (x from " + FormatExactReal(Ground.Left) + " to " +
                            FormatExactReal(Ground.Right) + ").");
    const std::vector<TElectrode> given = Survey.Electrodes;
    Survey.Electrodes = PlacedElectrodes(Survey.Electrodes, Survey.HasElevations, Ground);
    for (size_t e = 0; e < Survey.Electrodes.size(); ++e) {
        const TElectrode& electrode = Survey.Electrodes[e];
        if (electrode.Buried() && !(electrode.z > Ground.Bottom))
            throw EForwardError("Electrode " + std::to_string(e + 1) + " (x = " + FormatExactReal(electrode.x) +
                                ", z = " + FormatExactReal(electrode.z) +
                                ") lies below the model area's bottom (z = " + FormatExactReal(Ground.Bottom) + ").");
    }
    if (const std::optional<std::pair<int, int>> pair = ElectrodesAtOnePlace(Survey.Electrodes, Ground)) {
        RefuseTwoPutOnTheSurface(given, *pair, Ground);
        throw EForwardError("Electrodes " + std::to_string(pair->first + 1) + " and " + std::to_string(pair->second + 1) +
                            " stand at one place (" + PlaceText(Survey.Electrodes[static_cast<size_t>(pair->first)]) +
                            ").");
    }
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

void CheckElectrodePlaces(const TMeasuredData& Data, const TForwardModel& Ground)
{
    const auto lineOf = [&](int electrode) {
        return static_cast<size_t>(electrode) < Data.ElectrodeLines.size()
                   ? std::optional(Data.ElectrodeLines[static_cast<size_t>(electrode)])
                   : std::nullopt;
    };
    const auto at = [&](int electrode) {
        const std::optional<int> line = lineOf(electrode);
        return line ? LinePlace(Data.Format, *line) + ": " : std::string();
    };
    const auto x = [&](int electrode) { return FormatExactReal(Data.Electrodes.at(static_cast<size_t>(electrode)).x); };
    if (const std::optional<int> e = ElectrodeOutsideArea(Data.Electrodes, Ground))
        throw EDataFileError(at(*e) + "the electrode at x = " + x(*e) + " lies outside the model area (x from " +
                             FormatExactReal(Ground.Left) + " to " + FormatExactReal(Ground.Right) + ").");
    const std::vector<TElectrode> placed = PlacedElectrodes(Data.Electrodes, Data.HasElevations, Ground);
    if (std::optional<std::pair<int, int>> pair = ElectrodesAtOnePlace(placed, Ground)) {
        // The refusal names the later of the two lines.
        if (lineOf(pair->first).value_or(0) > lineOf(pair->second).value_or(0))
            std::swap(pair->first, pair->second);
        const std::optional<int> earlier = lineOf(pair->first);
        const auto place = [&](int electrode) { return PlaceText(placed.at(static_cast<size_t>(electrode))); };
        // Given above the ground, both put on its surface: that is why.
        const TElectrode& given = Data.Electrodes.at(static_cast<size_t>(pair->second));
        const TElectrode& other = Data.Electrodes.at(static_cast<size_t>(pair->first));
        const double surface = placed.at(static_cast<size_t>(pair->second)).z;
        const double tolerance = PlaceTolerance(Ground);
        if (Data.HasElevations && (given.z > surface + tolerance || other.z > surface + tolerance) &&
            std::fabs(given.z - other.z) > tolerance)
            throw EDataFileError(at(pair->second) + "the electrode at x = " + x(pair->second) + ", z = " +
                                 FormatExactReal(given.z) + " and " +
                                 (earlier ? LineWord(Data.Format) + " " + std::to_string(*earlier) + "'s" : std::string("another")) +
                                 " at z = " + FormatExactReal(other.z) + " are given above the section's surface (z = " +
                                 FormatExactReal(surface) + " there): an electrode above the ground stands on it, "
                                 "where these two would stand at one place.");
        throw EDataFileError(at(pair->second) + "the electrode at " + place(pair->second) + " stands at the place of " +
                             (earlier ? LineWord(Data.Format) + " " + std::to_string(*earlier) + "'s" : std::string("another")) + " (" +
                             place(pair->first) + (placed[static_cast<size_t>(pair->first)].Buried()
                                                       ? ") in the ground."
                                                       : ") on the section's surface."));
    }
}

std::optional<std::string> ElevationMismatch(const TMeasuredData& Data, const TForwardModel& Ground)
{
    CheckElectrodePlaces(Data, Ground);
    return ElevationMismatch(Data.Electrodes, Data.HasElevations, Ground);
}

std::optional<std::string> ElevationMismatch(const std::vector<TElectrode>& Electrodes, bool HasElevations,
                                             const TForwardModel& Ground)
{
    if (!HasElevations || Electrodes.size() < 2 || Ground.Surface.empty())
        return std::nullopt;
    std::vector<double> xs;
    for (const TElectrode& electrode : Electrodes)
        xs.push_back(electrode.x);
    std::sort(xs.begin(), xs.end());
    double spacing = std::numeric_limits<double>::infinity();
    for (size_t e = 1; e < xs.size(); ++e)
        if (xs[e] > xs[e - 1])
            spacing = std::min(spacing, xs[e] - xs[e - 1]);
    double largest = 0.0;
    size_t worst = 0;
    const std::vector<TElectrode> placed = PlacedElectrodes(Electrodes, HasElevations, Ground);
    for (size_t e = 0; e < Electrodes.size(); ++e) {
        const TElectrode& electrode = Electrodes[e];
        if (!(electrode.x >= Ground.Left && electrode.x <= Ground.Right) || placed[e].Buried())
            continue;
        const double difference = std::fabs(electrode.z - SurfaceElevation(Ground, electrode.x));
        if (difference > largest) {
            largest = difference;
            worst = e;
        }
    }
    if (!std::isfinite(spacing) || largest <= 0.1 * spacing)
        return std::nullopt;
    return "The file's electrode elevations differ from the section's surface by up to " + FormatExactReal(largest) +
           " (electrode " + std::to_string(worst + 1) + " at x = " + FormatExactReal(Electrodes[worst].x) +
           "), more than a tenth of the smallest electrode spacing (" + FormatExactReal(spacing) +
           "): the electrodes stand on the section's surface.";
}

} // namespace lp
