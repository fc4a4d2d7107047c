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

namespace {

// The ground surface the data give: the file's topography, else the
// electrodes' elevations (level where there are none).
std::vector<TGeometryPoint> DataSurface(const TMeasuredData& Data)
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

} // namespace

TInversionMesh InversionMeshFor(const TMeasuredData& Data, const TForwardModel* Section)
{
    const TSurvey survey = Data.Survey();
    std::vector<double> x;
    double deepest = 0.0;
    for (const TConfiguration& c : survey.Configurations) {
        deepest = std::max(deepest, MedianDepthOfInvestigation(survey, c));
        for (int e : {c.a, c.b, c.m, c.n})
            if (e >= 0)
                x.push_back(survey.Electrodes.at(static_cast<size_t>(e)).x);
    }
    std::sort(x.begin(), x.end());
    x.erase(std::unique(x.begin(), x.end()), x.end());
    if (x.size() < 2)
        throw EForwardError("The data use electrodes at fewer than two places: there is nothing to invert.");
    const double pad = 2.0 * MedianGap(x);
    if (!Section)
        return DefaultInversionMesh(x, x.front() - pad, x.back() + pad, DataSurface(Data), deepest);
    // The survey's frame within the section's model area: cells further out
    // would be seen by no datum.
    if (x.front() < Section->Left || x.back() > Section->Right)
        throw EForwardError("The electrodes reach beyond the section's model area (" + ReadableNumber(Section->Left, 6) +
                            " to " + ReadableNumber(Section->Right, 6) + "): widen the model area or invert without "
                            "the section.");
    return DefaultInversionMesh(x, std::max(Section->Left, x.front() - pad), std::min(Section->Right, x.back() + pad),
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
