#include "section/modelling/InversionSetup.h"

#include "section/forward/ForwardResponse.h"
#include "section/modelling/ForwardPseudoSection.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>

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

std::vector<TGeometryPoint> MeasuredSurface(const TMeasuredData& Data)
{
    std::vector<TGeometryPoint> surface;
    for (const TElectrode& point : Data.Topography.empty() ? Data.Electrodes : Data.Topography)
        surface.push_back({point.x, point.z});
    std::sort(surface.begin(), surface.end(), [](const TGeometryPoint& a, const TGeometryPoint& b) { return a.x < b.x; });
    surface.erase(std::unique(surface.begin(), surface.end(),
                              [](const TGeometryPoint& a, const TGeometryPoint& b) { return a.x == b.x; }),
                  surface.end());
    return surface;
}

TInversionMesh InversionMeshFor(const TMeasuredData& Data, const TForwardModel* Section)
{
    const TSurvey survey = Data.Survey();
    double deepest = 0.0;
    for (const TConfiguration& c : survey.Configurations)
        deepest = std::max(deepest, MedianDepthOfInvestigation(survey, c));
    const std::vector<double> x = UsedElectrodePositions(survey);
    const TSurveyFrame frame = SurveyFrame(survey);
    if (x.size() < 2 || frame.Empty())
        throw EForwardError("The data use electrodes at fewer than two places: there is nothing to invert.");
    if (!Section)
        return DefaultInversionMesh(x, frame.Left, frame.Right, MeasuredSurface(Data), deepest);
    // The survey's frame within the section's model area: cells further out
    // would be seen by no datum.
    if (x.front() < Section->Left || x.back() > Section->Right)
        throw EForwardError("The electrodes reach beyond the section's model area (" + ReadableNumber(Section->Left, 6) +
                            " to " + ReadableNumber(Section->Right, 6) + "): widen the model area or invert without "
                            "the section.");
    return DefaultInversionMesh(x, std::max(Section->Left, frame.Left), std::min(Section->Right, frame.Right),
                                Section->Surface, deepest);
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

} // namespace lp
