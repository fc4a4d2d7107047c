#include "section/inversion/InversionSetup.h"

#include "section/forward/ForwardResponse.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/DepthOfInvestigation.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace lp {

double MedianResistivity(const TMeasuredData& Data)
{
    std::vector<double> values = Data.Resistivities;
    if (values.empty())
        throw EForwardError("The data hold no apparent resistivity.");
    RequirePositiveResistivities(Data);
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

TMeasuredData DataOnUsedElectrodes(const TMeasuredData& Data, std::vector<int>* Used)
{
    const std::vector<int> used = UsedElectrodes(Data.Survey());
    if (Used)
        *Used = used;
    if (used.size() == Data.Electrodes.size())
        return Data;
    std::vector<int> number(Data.Electrodes.size(), -1);
    TMeasuredData kept = Data;
    kept.Electrodes.clear();
    kept.ElectrodeLines.clear();
    for (size_t k = 0; k < used.size(); ++k) {
        const auto e = static_cast<size_t>(used[k]);
        number.at(e) = static_cast<int>(k);
        kept.Electrodes.push_back(Data.Electrodes[e]);
        if (e < Data.ElectrodeLines.size())
            kept.ElectrodeLines.push_back(Data.ElectrodeLines[e]);
    }
    for (TConfiguration& c : kept.Configurations)
        for (int* e : {&c.a, &c.b, &c.m, &c.n})
            if (*e >= 0)
                *e = number.at(static_cast<size_t>(*e));
    return kept;
}

std::vector<TGeometryPoint> MeasuredSurface(const TMeasuredData& Data)
{
    // At each x the highest electrode stands on the surface (SetEnvelopeDepths):
    // a hole's electrodes below it are buried.
    std::vector<TElectrode> points = Data.Topography.empty() ? Data.Electrodes : Data.Topography;
    SetEnvelopeDepths(points);
    std::vector<TGeometryPoint> surface;
    for (const TElectrode& point : points)
        surface.push_back({point.x, point.z + point.Depth});
    std::sort(surface.begin(), surface.end(), [](const TGeometryPoint& a, const TGeometryPoint& b) { return a.x < b.x; });
    surface.erase(std::unique(surface.begin(), surface.end(),
                              [](const TGeometryPoint& a, const TGeometryPoint& b) { return a.x == b.x; }),
                  surface.end());
    return surface;
}

namespace {

// A used electrode far beyond the rest (StrayElectrode) is refused, named by
// the file's line: the cells cannot follow it.
void RefuseStrayElectrode(const TMeasuredData& Data, const TSurvey& Survey)
{
    const std::optional<TStrayElectrode> stray = StrayElectrode(Survey);
    if (!stray)
        return;
    const auto e = static_cast<size_t>(stray->Electrode);
    const std::string line =
        e < Data.ElectrodeLines.size() ? LinePlace(Data.Format, Data.ElectrodeLines[e]) + ": t" : "T";
    if (stray->Height != TStrayElectrode::Along)
        throw EForwardError(line + "he electrode at x = " + ReadableNumber(Survey.Electrodes.at(e).x, 6) +
                            (stray->Surface ? " lies under a ground surface at elevation "
                                            : " stands at elevation ") +
                            ReadableNumber(stray->Elevation, 6) + ", " + ReadableNumber(stray->Gap) +
                            " electrode spacings " + (stray->Height == TStrayElectrode::Above ? "above" : "below") +
                            " the next height of the survey (" + ReadableNumber(stray->NeighbourElevation, 6) +
                            "), more than " + ReadableNumber(MaxElectrodeGap) +
                            ": the inversion's cells cannot reach across such a gap. Correct its elevation" +
                            (stray->Surface ? " or the ground's (its depth)" : "") +
                            ", or remove the data that use it.");
    throw EForwardError(line + "he electrode at x = " + ReadableNumber(Survey.Electrodes.at(e).x, 6) + " stands " +
                        ReadableNumber(stray->Gap) + " electrode spacings from the next one (x = " +
                        ReadableNumber(Survey.Electrodes.at(static_cast<size_t>(stray->Neighbour)).x, 6) +
                        "), more than " + ReadableNumber(MaxElectrodeGap) +
                        ": the inversion's cells cannot reach across such a gap. Correct its place, remove the data "
                        "that use it, or write a remote electrode as a pole (no electrode).");
}

} // namespace

TInversionMesh InversionMeshFor(const TMeasuredData& Data, const TForwardModel* Section)
{
    TSurvey survey = Data.Survey();
    double deepest = 0.0;
    for (const TConfiguration& c : survey.Configurations)
        deepest = std::max(deepest, MedianDepthOfInvestigation(survey, c));
    const std::vector<double> x = UsedElectrodePositions(survey);
    const TSurveyFrame frame = SurveyFrame(survey);
    if (x.size() < 2 || frame.Empty())
        throw EForwardError("The data use electrodes at fewer than two places: there is nothing to invert.");
    RefuseStrayElectrode(Data, survey);
    double left = frame.Left, right = frame.Right;
    std::vector<TGeometryPoint> surface;
    if (Section) {
        // The survey's frame within the section's model area: cells further
        // out would be seen by no datum.
        if (x.front() < Section->Left || x.back() > Section->Right)
            throw EForwardError("The electrodes reach beyond the section's model area (" +
                                ReadableNumber(Section->Left, 6) + " to " + ReadableNumber(Section->Right, 6) +
                                "): widen the model area or invert without the section.");
        left = std::max(Section->Left, frame.Left);
        right = std::min(Section->Right, frame.Right);
        surface = Section->Surface;
        // Buried as the forward computation buries them: below the
        // section's surface, not the electrodes' own envelope (a lake's
        // bottom line lies under the water's surface).
        survey.Electrodes = PlacedElectrodes(survey.Electrodes, survey.HasElevations, *Section);
    } else {
        surface = MeasuredSurface(Data);
    }
    // The mesh counted before it is laid: one the memory cannot hold is
    // refused before it takes any.
    // Buried electrodes: cells along the holes, down below the deepest,
    // their depths below the section's surface where it is drawn (as the
    // forward computation places them), not below the holes' tops.
    TSurvey placed = survey;
    if (Section)
        placed.Electrodes = PlacedElectrodes(survey.Electrodes, survey.HasElevations, *Section);
    const TInversionMeshLayout layout = BuriedElectrodeLayout(placed, deepest);
    RefuseInversionBeyondMemory(static_cast<double>(Data.Size()),
                                DefaultInversionMeshCells(x, left, right, surface, deepest, layout));
    return DefaultInversionMesh(x, left, right, surface, deepest, layout);
}

void UseSectionInInversion(const TInversionMesh& Mesh, const TForwardModel& Section, const TMeasuredData& Data,
                           bool Constrain, bool StartFromSection, TSurveyInversionOptions& Options)
{
    if (!Constrain && !StartFromSection)
        return;
    const std::vector<int> zones = CellZones(Mesh, Section);
    if (Constrain)
        Options.Zones = zones;
    if (StartFromSection) {
        Options.Start.clear();
        const double median = MedianResistivity(Data);
        for (int zone : zones)
            Options.Start.push_back(zone >= 0 ? Section.Regions.at(static_cast<size_t>(zone)).resistivity : median);
    }
}

std::vector<TConstraintLine> SectionConstraintLines(const lines& Lines, double Weight)
{
    std::vector<TConstraintLine> constraintLines;
    for (const line& drawn : Lines) {
        TConstraintLine line;
        line.Weight = Weight;
        for (const complexM& point : drawn.points)
            line.Points.push_back({point.re, -point.im});
        if (line.Points.size() >= 2)
            constraintLines.push_back(std::move(line));
    }
    return constraintLines;
}

std::vector<TWellLog> LogsOverTheCells(const std::vector<TWellLog>& Logs, const TInversionMesh& Mesh,
                                       std::vector<std::string>& Dropped)
{
    std::vector<TWellLog> kept;
    if (Mesh.ColumnEdges.empty())
        return kept;
    const double left = Mesh.ColumnEdges.front(), right = Mesh.ColumnEdges.back();
    for (const TWellLog& log : Logs) {
        if (log.X >= left && log.X <= right) {
            kept.push_back(log);
            continue;
        }
        Dropped.push_back("The log \"" + log.Name + "\" stands at x = " + ReadableNumber(log.X, 6) +
                          ", beyond the inversion's cells (x from " + ReadableNumber(left, 6) + " to " +
                          ReadableNumber(right, 6) + "): left out.");
    }
    return kept;
}

TStructuralConstraint SectionStructure(const TForwardModel& Section, const lines& Lines, double Weight)
{
    TStructuralConstraint structure;
    structure.ZoneWeights.assign(Section.Regions.size(), Weight);
    structure.Lines = SectionConstraintLines(Lines, Weight);
    return structure;
}

std::vector<TConstraintLine> SectionRowLines(const TForwardModel& Section, const lines& Lines, double Weight)
{
    std::vector<TConstraintLine> used = SectionConstraintLines(Lines, Weight);
    const std::vector<TConstraintLine> boundaries =
        SectionBoundaryLines(Section, std::vector<double>(Section.Regions.size(), Weight));
    used.insert(used.end(), boundaries.begin(), boundaries.end());
    return used;
}

std::vector<std::optional<double>> HeldCells(const TInversionMesh& Mesh, const TForwardModel& Section,
                                             const std::vector<std::optional<double>>& Held)
{
    std::vector<std::optional<double>> cells;
    for (int zone : CellZones(Mesh, Section))
        cells.push_back(zone >= 0 && static_cast<size_t>(zone) < Held.size() ? Held[static_cast<size_t>(zone)]
                                                                               : std::nullopt);
    return cells;
}

std::vector<size_t> HeldRegionsWithoutCells(const TInversionMesh& Mesh, const TForwardModel& Section,
                                            const std::vector<std::optional<double>>& Held)
{
    std::vector<bool> holds(Held.size(), false);
    for (int zone : CellZones(Mesh, Section))
        if (zone >= 0 && static_cast<size_t>(zone) < holds.size())
            holds[static_cast<size_t>(zone)] = true;
    std::vector<size_t> empty;
    for (size_t r = 0; r < Held.size(); ++r)
        if (Held[r] && !holds[r])
            empty.push_back(r);
    return empty;
}

std::string WaterRegionsText(const TForwardModel& Section, const std::vector<size_t>& Regions)
{
    std::string text;
    for (size_t r : Regions) {
        std::string label = ForwardRegionLabel(Section.Geometry, static_cast<int>(r));
        if (!label.empty())
            label[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(label[0])));
        text += (text.empty() ? "" : ", ") + label;
    }
    return text;
}

int HoldCells(const std::vector<std::optional<double>>& Cells, const TMeasuredData& Data,
              TSurveyInversionOptions& Options)
{
    const auto held = std::count_if(Cells.begin(), Cells.end(), [](const auto& value) { return value.has_value(); });
    if (held == 0)
        return 0;
    if (Options.Start.size() != Cells.size())
        Options.Start.assign(Cells.size(), MedianResistivity(Data));
    std::vector<bool>& fixed = Options.Settings.Fixed;
    if (fixed.size() != Cells.size())
        fixed.assign(Cells.size(), false);
    for (size_t j = 0; j < Cells.size(); ++j)
        if (Cells[j]) {
            Options.Start[j] = *Cells[j];
            fixed[j] = true;
        }
    return static_cast<int>(held);
}

namespace {

bool AnyHeld(const std::vector<std::optional<double>>& Held)
{
    return std::any_of(Held.begin(), Held.end(), [](const auto& value) { return value.has_value(); });
}

} // namespace

std::vector<TConstraintLine> HeldBoundaryLines(const TForwardModel& Section,
                                               const std::vector<std::optional<double>>& Held)
{
    if (!AnyHeld(Held))
        return {};
    std::vector<double> weights(Section.Regions.size(), 1.0);
    for (size_t r = 0; r < weights.size() && r < Held.size(); ++r)
        if (Held[r])
            weights[r] = 0.0;
    return SectionBoundaryLines(Section, weights);
}

void CutAtHeldRegions(const TInversionMesh& Mesh, const TForwardModel& Section,
                      const std::vector<std::optional<double>>& Held, TSurveyInversionOptions& Options)
{
    if (!AnyHeld(Held))
        return;
    TStructuralConstraint& structure = Options.Structure;
    const size_t regions = Section.Regions.size();
    if (structure.Zones.empty()) {
        // Zones given alone cut every boundary (weight 0); none: no boundary cut yet.
        const bool cutAll = !Options.Zones.empty();
        structure.Zones = cutAll ? Options.Zones : CellZones(Mesh, Section);
        structure.ZoneWeights.assign(regions, cutAll ? 0.0 : 1.0);
        Options.Zones.clear();
    } else if (structure.ZoneWeights.empty()) {
        structure.ZoneWeights.assign(regions, 0.0);
    }
    structure.ZoneWeights.resize(std::max(structure.ZoneWeights.size(), regions), 1.0);
    for (size_t r = 0; r < regions && r < Held.size(); ++r)
        if (Held[r])
            structure.ZoneWeights[r] = 0.0;
}

TPreparedInversion PrepareInversion(const TInversionMesh& Laid, const TMeasuredData& Data, const TSectionUse& Use,
                                    double LogReach, TSurveyInversionOptions& Options)
{
    TPreparedInversion prepared;
    prepared.Mesh = MeshFollowingConstraint(Laid, Use.Lines, Options.WellLogs, DefaultLayerContrast, DefaultCellGrowth,
                                            LogReach);
    const TInversionMesh& mesh = prepared.Mesh;
    if (!Use.Section) {
        if (Use.Structure)
            Options.Structure = *Use.Structure;
        return prepared;
    }
    const TForwardModel& section = *Use.Section;
    UseSectionInInversion(mesh, section, Data, false, Use.StartFromSection, Options);
    if (Use.Structure) {
        Options.Structure = *Use.Structure;
        if (!Options.Structure.ZoneWeights.empty())
            Options.Structure.Zones = CellZones(mesh, section);
        Options.Zones.clear();
    }
    prepared.HeldCells = HeldCells(mesh, section, Use.Held);
    prepared.Held = HoldCells(prepared.HeldCells, Data, Options);
    CutAtHeldRegions(mesh, section, Use.Held, Options);
    return prepared;
}

} // namespace lp
