#include "section/modelling/SectionFromData.h"

#include "section/forward/ForwardModel.h"
#include "section/inversion/InversionMesh.h"
#include "section/inversion/InversionSetup.h"
#include "section/modelling/ForwardPseudoSection.h"
#include "section/survey/ElectrodeHoles.h"
#include "section/survey/ReadableNumbers.h"
#include "section/editor/BodyParameters.h"

#include <QtCore/QStringList>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The ground the file gives, by rising x (the first of points at one x):
// its topography, else the elevations of the electrodes on the surface; a
// buried one is below it, and so is a hole's top electrode where the file
// has electrodes on the surface beside the holes (else the holes' tops are
// the ground, as the envelope has them). Empty when it gives neither.
std::vector<TGeometryPoint> FileGround(const TMeasuredData& Data, const std::vector<TElectrodeHole>& Holes)
{
    std::vector<bool> inHole(Data.Electrodes.size(), false);
    for (const TElectrodeHole& hole : Holes)
        for (int e : hole.Electrodes)
            inHole.at(static_cast<size_t>(e)) = true;
    bool besideHoles = false;
    for (size_t e = 0; e < Data.Electrodes.size(); ++e)
        besideHoles = besideHoles || (!inHole[e] && !Data.Electrodes[e].Buried());
    std::vector<TGeometryPoint> ground;
    if (!Data.Topography.empty() || Data.HasElevations) {
        const bool electrodes = Data.Topography.empty();
        const std::vector<TElectrode>& points = electrodes ? Data.Electrodes : Data.Topography;
        for (size_t i = 0; i < points.size(); ++i) {
            const TElectrode& point = points[i];
            if (!std::isfinite(point.x) || !std::isfinite(point.z))
                throw EForwardError("The file's ground has a point that is not a finite number.");
            if (!electrodes || (!point.Buried() && !(besideHoles && inHole[i])))
                ground.push_back({point.x, point.z});
        }
    }
    std::stable_sort(ground.begin(), ground.end(),
                     [](const TGeometryPoint& a, const TGeometryPoint& b) { return a.x < b.x; });
    ground.erase(std::unique(ground.begin(), ground.end(),
                             [](const TGeometryPoint& a, const TGeometryPoint& b) { return a.x == b.x; }),
                 ground.end());
    return ground;
}

} // namespace

double MedianPositiveResistivity(const TMeasuredData& Data)
{
    std::vector<double> values;
    for (double value : Data.Resistivities)
        if (std::isfinite(value) && value > 0.0)
            values.push_back(value);
    if (values.empty())
        throw EForwardError("The data hold no apparent resistivity above 0.");
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

namespace {

// How far below the elevation Lowest the inversion's default cells for
// Data reach: its mesh's bottom, or, for data it refuses (they still make
// a section), its depth rule over the deepest median depth of
// investigation.
double InversionCellsDepth(const TMeasuredData& Data, double Lowest)
{
    try {
        return Lowest - InversionMeshFor(Data, nullptr).Bottom;
    } catch (const EForwardError&) {
        const TSurvey survey = Data.Survey();
        double deepest = 0.0;
        for (const TConfiguration& configuration : survey.Configurations)
            deepest = std::max(deepest, MedianDepthOfInvestigation(survey, configuration));
        return TInversionMeshLayout{}.DepthFactor * deepest;
    }
}

} // namespace

namespace {

// Whether the electrodes between I and K (two at least apart) lie below
// the line from I to K by more than Tolerance, I and K at one level within
// it or a quarter of the run's greatest depth below the line.
bool LakeBetween(const std::vector<TGeometryPoint>& Ground, size_t I, size_t K, double Tolerance)
{
    if (K < I + 2)
        return false;
    const TGeometryPoint a = Ground[I], b = Ground[K];
    double depth = 0.0;
    for (size_t j = I + 1; j < K; ++j) {
        const double below = a.y + (b.y - a.y) * (Ground[j].x - a.x) / (b.x - a.x) - Ground[j].y;
        if (!(below > Tolerance))
            return false;
        depth = std::max(depth, below);
    }
    // The water's surface is level: a shore's electrode may stand a little
    // off the water's edge.
    return std::fabs(b.y - a.y) <= std::max(Tolerance, depth / 4.0);
}

} // namespace

std::vector<TDataLake> LakesOfGround(const std::vector<TGeometryPoint>& Ground)
{
    std::vector<TDataLake> lakes;
    const size_t n = Ground.size();
    if (n < 3)
        return lakes;
    double spacing = INFINITY;
    for (size_t i = 1; i < n; ++i)
        spacing = std::min(spacing, Ground[i].x - Ground[i - 1].x);
    const double tolerance = spacing / 10.0;
    for (size_t i = 0; i + 2 < n;) {
        // From an electrode with a drop after it, the run goes on while the
        // electrodes lie below its level; the first back at it closes it.
        size_t k = i + 1;
        while (k < n && Ground[k].y < Ground[i].y - tolerance)
            ++k;
        if (k >= n || !LakeBetween(Ground, i, k, tolerance)) {
            ++i;
            continue;
        }
        lakes.push_back({Ground[i], Ground[k], {Ground.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                                Ground.begin() + static_cast<std::ptrdiff_t>(k)}});
        i = k;
    }
    return lakes;
}

TDataSection SectionFromData(const TMeasuredData& Data, bool Lakes)
{
    for (const TElectrode& electrode : Data.Electrodes)
        if (!std::isfinite(electrode.x) || !std::isfinite(electrode.z))
            throw EForwardError("An electrode's position is not a finite number.");
    // The survey's frame (SurveyFrame) over the electrodes the data use: an
    // electrode no datum uses (a spare left in the file, far along the
    // line) sees nothing, and a section widened to it would be mostly
    // ground no datum sees, its pseudo-sections and image squeezed into a
    // corner. The windows compute on the used electrodes only
    // (DataOnUsedElectrodes), so the spare outside the area refuses nothing.
    const TSurvey survey = Data.Survey();
    const std::vector<double> x = UsedElectrodePositions(survey);
    // Electrodes in holes frame the section by their spacing down the holes:
    // the gap between two holes is no electrode spacing, and one hole alone
    // stands at one x.
    const std::vector<TElectrodeHole> holes = ElectrodeHoles(survey);
    const double holeSpacing = HoleSpacing(survey, holes);
    if (x.size() < 2 && !(holeSpacing > 0.0))
        throw EForwardError("The data use electrodes at fewer than two places: they frame no section.");
    TDataSection section;
    section.HostResistivity = MedianPositiveResistivity(Data);
    const double pad = holeSpacing > 0.0 ? HoleFrameMargin * holeSpacing : SurveyFramePadding * MedianGap(x);
    section.Area.left = x.front() - pad;
    section.Area.right = x.back() + pad;

    // The relief over the frame: the file's points inside it, and where
    // the frame's sides cut the ground (level beyond its outermost points).
    std::vector<TGeometryPoint> ground = FileGround(Data, holes);
    // A line laid on a lake's bottom: the surface is the water's over it,
    // the electrodes there below it (buried, as under a body of water).
    if (Lakes && Data.Topography.empty() && holes.empty()) {
        section.Lakes = LakesOfGround(ground);
        for (const TDataLake& lake : section.Lakes)
            std::erase_if(ground, [&lake](const TGeometryPoint& point) {
                return point.x > lake.Shore1.x && point.x < lake.Shore2.x;
            });
    }
    std::vector<TGeometryPoint> relief;
    if (!ground.empty()) {
        relief.push_back({section.Area.left, SurfaceElevation(ground, section.Area.left)});
        for (const TGeometryPoint& point : ground)
            if (point.x > section.Area.left && point.x < section.Area.right)
                relief.push_back(point);
        relief.push_back({section.Area.right, SurfaceElevation(ground, section.Area.right)});
    }
    const auto [lowest, highest] = std::minmax_element(
        relief.begin(), relief.end(), [](const TGeometryPoint& a, const TGeometryPoint& b) { return a.y < b.y; });
    const double top = relief.empty() ? 0.0 : highest->y;
    double bottom = relief.empty() ? 0.0 : lowest->y;
    // A level ground (no elevations, or all alike) needs no relief.
    if (top > bottom)
        section.Relief = std::move(relief);
    // The cells reach below a lake's bottom as below the ground.
    for (const TDataLake& lake : section.Lakes)
        for (const TGeometryPoint& point : lake.Bottom)
            bottom = std::min(bottom, point.y);
    section.Area.top = 0.0 - top; // never -0

    // How deep: a quarter deeper than the inversion's default cells reach
    // below the lowest ground (over relief they reach deeper than on level
    // ground), so the cells and a little ground under them fit in the area
    // and the inversion's image lies inside it; and a third of the line's
    // length at least, so a survey of short spreads still gets a section
    // whose depth a drawing can use (a dipole-dipole line with few levels
    // sees only a tenth of its length).
    const double depth = std::max(1.25 * InversionCellsDepth(Data, bottom), (x.back() - x.front()) / 3.0);
    section.Area.bottom = depth - bottom;
    // Below the deepest hole electrode by the margin at least.
    if (holeSpacing > 0.0) {
        double deepest = INFINITY;
        for (const TElectrodeHole& hole : holes)
            deepest = std::min(deepest, survey.Electrodes.at(static_cast<size_t>(hole.Electrodes.back())).z);
        section.Area.bottom = std::max(section.Area.bottom, HoleFrameMargin * holeSpacing - deepest);
    }
    return section;
}

TSectionModel DataSectionModel(const TDataSection& Section)
{
    TSectionModel model;
    model.ModelArea = Section.Area;
    model.HasProfile = !Section.Relief.empty();
    // The profile's depths are minus the elevations, as the area's.
    for (const TGeometryPoint& point : Section.Relief)
        model.Profile.Add(complexM{point.x, -point.y});
    const TModelArea& area = Section.Area;
    BuildFrameModel(model.Nodes, model.Model, model.Profile, model.HasProfile, area.bottom, area.top, area.right,
                    area.left);
    model.Model[0][0].params[psResistivity] = ParamValue(Section.HostResistivity);
    if (Section.Lakes.empty())
        return model;
    for (const TDataLake& lake : Section.Lakes) {
        // Counter-clockwise on the page (depth down): the surface from
        // shore to shore, then the bottom back.
        arofcomplexM ring;
        ring.Add(complexM{lake.Shore1.x, -lake.Shore1.y});
        for (const TGeometryPoint& point : lake.Bottom)
            ring.Add(complexM{point.x, -point.y});
        ring.Add(complexM{lake.Shore2.x, -lake.Shore2.y});
        if (!AddPolygon(ring, model.Model, model.Nodes))
            throw EForwardError("The water between x = " + ReadableNumber(lake.Shore1.x, 6) + " and " +
                                ReadableNumber(lake.Shore2.x, 6) + " makes no body of the section.");
        TPolygonParams& params = model.Model[model.Model.High()][0].params;
        params[psLabelText] = ParamValue(std::string("Water"));
        params[psWater] = ParamValue(1.0);
        params[psResistivity] = ParamValue();
    }
    // Settled as a file read: the rings' nodes on the surface take their
    // border kinds, and the model's rules are checked.
    TSectionModel settled;
    try {
        ParseSectionModelBlock(FormatSectionModelBlock(model), settled);
    } catch (const std::exception& Error) {
        throw EForwardError(std::string("The water framed over the lake's bottom breaks the section's rules: ") +
                            Error.what());
    }
    // The area as framed, not as its written digits read back.
    settled.ModelArea = model.ModelArea;
    return settled;
}

QString LakesText(const TDataSection& Section)
{
    QStringList lakes;
    for (const TDataLake& lake : Section.Lakes)
        lakes << QStringLiteral("x %1 to %2 (%3 electrodes)")
                     .arg(QString::fromStdString(ReadableNumber(lake.Bottom.front().x, 6)),
                          QString::fromStdString(ReadableNumber(lake.Bottom.back().x, 6)))
                     .arg(lake.Bottom.size());
    if (lakes.isEmpty())
        return {};
    return QStringLiteral("The electrodes at %1 lie below the electrodes beside them at both ends, which stand at "
                          "one level: a lake's or river's bottom, under water at that level, or a valley?")
        .arg(lakes.join(QStringLiteral(", ")));
}

} // namespace lp
