#include "section/modelling/HoleElectrodes.h"

#include "section/editor/PolygonChart.h"
#include "section/forward/ForwardModel.h"
#include "section/survey/ElectrodeHoles.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The well within Reach of X nearest to it; -1 for none.
int WellNearHole(const arofcarotagedata* Wells, double X, double Reach)
{
    int nearest = -1;
    if (!Wells)
        return nearest;
    for (int i = 0; i < Wells->Length(); ++i) {
        const double distance = std::fabs((*Wells)[i].Position - X);
        if (distance <= Reach && (nearest < 0 || distance < std::fabs((*Wells)[nearest].Position - X)))
            nearest = i;
    }
    return nearest;
}

QString HoleFigure(double Value)
{
    return QString::number(Value, 'g', 6);
}

} // namespace

std::vector<TDrawnHole> DrawnHoles(const TSurvey& Survey, const std::vector<TGeometryPoint>& Surface,
                                   const arofcarotagedata* Wells)
{
    const std::vector<TElectrodeHole> holes = ElectrodeHoles(Survey);
    const double reach = std::max(HoleSpacing(Survey, holes), HoleTolerance(Survey));
    std::vector<TDrawnHole> drawn;
    for (const TElectrodeHole& hole : holes) {
        TDrawnHole shown;
        shown.Number = static_cast<int>(drawn.size()) + 1;
        shown.X = hole.X;
        if (const int well = WellNearHole(Wells, hole.X, reach); well >= 0) {
            shown.X = (*Wells)[well].Position;
            shown.Well = (*Wells)[well].Caption.trimmed();
        }
        shown.Top = SurfaceElevation(Surface, shown.X);
        for (int e : hole.Electrodes) {
            const double z = Survey.Electrodes.at(static_cast<size_t>(e)).z;
            shown.Electrodes.push_back({e + 1, z, shown.Top - z});
        }
        drawn.push_back(std::move(shown));
    }
    return drawn;
}

QString HoleElectrodeText(const TDrawnHole& Hole, const TDrawnHoleElectrode& Electrode)
{
    const QString well = Hole.Well.isEmpty() ? QString() : QStringLiteral(" (well %1)").arg(Hole.Well);
    // In one pass: a well's name may hold a "%1" of its own.
    return QStringLiteral("Hole %1%2, electrode %3: x %4 m, %5 m deep, elevation %6 m")
        .arg(QString::number(Hole.Number), well, QString::number(Electrode.Number), HoleFigure(Hole.X),
             HoleFigure(Electrode.Depth), HoleFigure(Electrode.Elevation));
}

std::vector<TDrawnHole> SectionHoles(const TSurvey& Survey, const TPolygonChart& Section,
                                     const arofcarotagedata* Wells)
{
    if (ElectrodeHoles(Survey).empty())
        return {};
    std::vector<TGeometryPoint> ground;
    try {
        ground = PrepareForwardModel(Section.Model, Section.Nodes, Section.ModelArea).Surface;
    } catch (const std::exception&) {
        ground = {{Section.ModelArea.left, -Section.ModelArea.top}};
    }
    return DrawnHoles(Survey, ground, Wells);
}

} // namespace lp
