#include "section/modelling/ForwardPseudoSection.h"

#include "chart/extensions/grid3d/PlotTriangulation.h"
#include "platform/base/Exception.h"
#include "section/views/PseudoSection2D.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Metafile.h"
#include "section/forward/ForwardModel.h"
#include "section/survey/ElectrodeHoles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>

namespace lp {

namespace {

// Over relief the triangulation spans the data's convex outline, which
// over a concave slope bridges the hollow above the shallowest data: a
// triangle on the outline whose centroid lies shallower under the ground
// than the shallowest of its corners lies above the data and is taken off,
// round after round as the outline moves in. Triangles among the data keep
// their centroid between their corners' depths.
std::vector<std::array<int, 3>> TrianglesUnderData(std::vector<std::array<int, 3>> Triangles,
                                                   const std::vector<double>& Xs, const std::vector<double>& Zs,
                                                   const std::vector<TPseudoPoint>& Points,
                                                   const std::vector<TGeometryPoint>& Surface)
{
    const auto above = [&](const std::array<int, 3>& t) {
        double x = 0.0, z = 0.0, shallowest = Points.at(static_cast<size_t>(t[0])).Depth;
        for (int v : t) {
            x += Xs.at(static_cast<size_t>(v)) / 3.0;
            z += Zs.at(static_cast<size_t>(v)) / 3.0;
            shallowest = std::min(shallowest, Points.at(static_cast<size_t>(v)).Depth);
        }
        const double depth = SurfaceElevation(Surface, x) - z;
        return depth < shallowest - 1e-9 * (1.0 + std::fabs(shallowest));
    };
    for (bool peeled = true; peeled;) {
        std::map<std::pair<int, int>, int> uses;
        const auto edge = [](int a, int b) { return std::make_pair(std::min(a, b), std::max(a, b)); };
        for (const std::array<int, 3>& t : Triangles)
            for (size_t e = 0; e < 3; ++e)
                ++uses[edge(t[e], t[(e + 1) % 3])];
        const auto onOutline = [&](const std::array<int, 3>& t) {
            for (size_t e = 0; e < 3; ++e)
                if (uses[edge(t[e], t[(e + 1) % 3])] == 1)
                    return true;
            return false;
        };
        const size_t before = Triangles.size();
        std::erase_if(Triangles, [&](const std::array<int, 3>& t) { return onOutline(t) && above(t); });
        peeled = Triangles.size() < before;
    }
    return Triangles;
}

} // namespace

namespace {

// A configuration's point among buried electrodes: the mean place of its
// electrodes on the line (all of them when none is), their mean depth.
TPseudoPoint PlacedPoint(const TSurvey& Survey, const TConfiguration& c)
{
    const auto mean = [&](bool LineOnly) {
        TPseudoPoint point;
        double x = 0.0, z = 0.0, depth = 0.0;
        int count = 0;
        for (int e : {c.a, c.b, c.m, c.n}) {
            if (e < 0)
                continue;
            const TElectrode& electrode = Survey.Electrodes.at(static_cast<size_t>(e));
            if (LineOnly && electrode.y != 0.0)
                continue;
            x += electrode.x;
            z += electrode.z;
            depth += electrode.Depth;
            ++count;
        }
        if (count > 0) {
            point.X = x / count;
            point.Depth = depth / count;
            point.Elevation = z / count;
        }
        return std::make_pair(point, count);
    };
    const auto [onLine, count] = mean(true);
    return count > 0 ? onLine : mean(false).first;
}

// Where a datum between two holes is drawn along the line: its
// electrodes' mean place would put every datum of a pair of holes in one
// column (two for the pole-bipoles), the columns joined by long thin
// triangles. The straight path from its electrodes in the left hole to
// those in the right one is drawn instead by its tilt: a level path midway
// between the holes, one falling to the right (the right electrodes
// deeper) towards the right hole, by the share of the holes' height its
// fall takes, so the data spread over the ground between the holes as a
// pseudo-section spreads a line's.
class THolePlacement {
public:
    explicit THolePlacement(const TSurvey& Survey) : FSurvey(Survey)
    {
        const std::vector<TElectrodeHole> holes = ElectrodeHoles(Survey);
        FHoleOf.assign(Survey.Electrodes.size(), -1);
        double top = -INFINITY, bottom = INFINITY;
        for (size_t h = 0; h < holes.size(); ++h)
            for (int e : holes[h].Electrodes) {
                FHoleOf.at(static_cast<size_t>(e)) = static_cast<int>(h);
                top = std::max(top, At(e).z);
                bottom = std::min(bottom, At(e).z);
            }
        FHeight = top - bottom;
    }

    // The datum's x, or its electrodes' mean x (MeanX) unless its
    // electrodes stand in exactly two holes, at distinct x.
    double X(const TConfiguration& c, double MeanX) const
    {
        int left = -1, right = -1;
        for (int e : {c.a, c.b, c.m, c.n}) {
            if (e < 0 || At(e).y != 0.0)
                continue; // a pole, or a remote off the line
            const int hole = FHoleOf.at(static_cast<size_t>(e));
            if (hole < 0)
                return MeanX;
            if (left < 0 || hole == left)
                left = hole;
            else if (right < 0 || hole == right)
                right = hole;
            else
                return MeanX;
        }
        if (right < 0 || !(FHeight > 0.0))
            return MeanX;
        double xl = 0.0, zl = 0.0, xr = 0.0, zr = 0.0;
        int nl = 0, nr = 0;
        for (int e : {c.a, c.b, c.m, c.n})
            if (e >= 0 && At(e).y == 0.0) {
                const bool first = FHoleOf.at(static_cast<size_t>(e)) == left;
                (first ? xl : xr) += At(e).x;
                (first ? zl : zr) += At(e).z;
                ++(first ? nl : nr);
            }
        xl /= nl, zl /= nl, xr /= nr, zr /= nr;
        if (xl > xr) {
            std::swap(xl, xr);
            std::swap(zl, zr);
        }
        if (!(xr > xl))
            return MeanX;
        const double fall = std::clamp((zl - zr) / FHeight, -1.0, 1.0);
        return xl + (xr - xl) * (1.0 + fall) / 2.0;
    }

private:
    const TElectrode& At(int e) const { return FSurvey.Electrodes.at(static_cast<size_t>(e)); }

    const TSurvey& FSurvey;
    std::vector<int> FHoleOf; // per electrode: its hole's index, -1 for none
    double FHeight = 0.0;     // from the highest hole electrode to the deepest
};

} // namespace

bool PlacedPseudoPoints(const std::vector<TPseudoPoint>& Points)
{
    return std::any_of(Points.begin(), Points.end(), [](const TPseudoPoint& p) { return p.Elevation.has_value(); });
}

std::vector<TPseudoPoint> PseudoSectionPoints(const TSurvey& Survey)
{
    std::vector<TPseudoPoint> points;
    points.reserve(Survey.Configurations.size());
    // A line on a lake's bottom is buried too, but stands in no hole: its
    // data keep their pseudo-depths (at the mean elevation they would lie
    // on one line, which no triangle colours).
    if (!ElectrodeHoles(Survey).empty()) {
        const THolePlacement holes(Survey);
        for (const TConfiguration& c : Survey.Configurations) {
            TPseudoPoint point = PlacedPoint(Survey, c);
            point.X = holes.X(c, point.X);
            points.push_back(point);
        }
        return points;
    }
    for (const TConfiguration& c : Survey.Configurations) {
        double sum = 0.0;
        int count = 0;
        for (int e : {c.a, c.b, c.m, c.n})
            if (e >= 0) {
                sum += Survey.Electrodes.at(static_cast<size_t>(e)).x;
                ++count;
            }
        points.push_back({count > 0 ? sum / count : 0.0, MedianDepthOfInvestigation(Survey, c)});
    }
    return points;
}

void FillPseudoSection(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                       const std::vector<double>& Values, bool Rebuild, const std::vector<TGeometryPoint>& Surface)
{
    if (Points.size() != Values.size())
        throw ERangeError("A pseudo-section needs one value per point.");
    const int vertexCount = static_cast<int>(Points.size());
    // Triangulated where they are drawn: over a relief the rows follow the
    // ground. The triangulation's Z grows upward.
    const bool placed = PlacedPseudoPoints(Points);
    std::vector<double> xs, zs;
    for (const TPseudoPoint& point : Points) {
        xs.push_back(point.X);
        zs.push_back(point.Elevation       ? *point.Elevation
                     : Surface.empty() ? -point.Depth
                                       : SurfaceElevation(Surface, point.X) - point.Depth);
    }
    const TTriangulation mesh = Triangulate(xs, zs);

    Chart.Vertices = DynArray<dVertex3d>(vertexCount + 1);
    for (int v = 1; v <= vertexCount; ++v) {
        const auto p = static_cast<size_t>(v - 1);
        dVertex3d& vertex = Chart.Vertices[v];
        vertex.X = vertex.AxisX = Points[p].X;
        // The picture's Z grows downward; the axis shows pseudo-depth (down)
        // or elevation (up).
        vertex.Z = -zs[p];
        vertex.AxisY = Surface.empty() && !placed ? Points[p].Depth : zs[p];
        vertex.Value = Values[p];
    }
    const std::vector<std::array<int, 3>> triangles =
        Surface.empty() || placed ? mesh.Triangles : TrianglesUnderData(mesh.Triangles, xs, zs, Points, Surface);
    std::vector<std::array<int, 3>> corners;
    corners.reserve(triangles.size());
    for (const std::array<int, 3>& triangle : triangles)
        corners.push_back({triangle[0] + 1, triangle[1] + 1, triangle[2] + 1});
    SetPseudoTriangles(Chart, corners);
    // Nothing is drawn above the ground (the picture's Z grows downward).
    Chart.GroundLine.clear();
    for (const TGeometryPoint& point : Surface)
        Chart.GroundLine.push_back({point.x, -point.y});
    Chart.VertexCount = vertexCount;
    Chart.PlacedVertices = placed;
    Chart.DataMin = Chart.DataMax = Values.empty() ? 0.0 : Values.front();
    for (double value : Values) {
        Chart.DataMin = std::min(Chart.DataMin, value);
        Chart.DataMax = std::max(Chart.DataMax, value);
    }
    // Resistivities span decades: a logarithmic scale whenever it can be.
    Chart.LogDataScale = Chart.DataMin > 0.0;
    Chart.PresetValue2 = Chart.LogDataScale ? 1.0 : TPseudoSection2d::MissingValue;
    Chart.PrepareLevels();
    if (Rebuild)
        Chart.RebuildPicture();
}

void UseFieldColours(TPseudoSection2d& Chart)
{
    Chart.BandFirstColor = clBlue;
    Chart.BandMidColors = {0x008000, 0x00FFFF}; // green, yellow
    Chart.BandLastColor = clRed;
    Chart.LineFirstColor = clBlue;
    Chart.LineLastColor = clRed;
}

void SetPseudoSectionRange(TPseudoSection2d& Chart, double Min, double Max)
{
    Chart.DataMin = Min;
    Chart.DataMax = Max;
    Chart.LogDataScale = Min > 0.0;
    Chart.PresetValue2 = Chart.LogDataScale ? 1.0 : TPseudoSection2d::MissingValue;
    Chart.PrepareLevels();
}

namespace {

// A of the way from white to Target.
TColor TowardsFromWhite(TColor Target, double A)
{
    const auto channel = [&](int Shift) {
        const double c = 255.0 + (static_cast<double>((Target >> Shift) & 0xFF) - 255.0) * A;
        return static_cast<TColor>(std::clamp(static_cast<int>(std::lround(c)), 0, 255)) << Shift;
    };
    return channel(0) | channel(8) | channel(16);
}

} // namespace

void UseDivergingScale(TPseudoSection2d& Chart)
{
    double limit = std::max(std::fabs(Chart.DataMin), std::fabs(Chart.DataMax));
    if (!(limit > 0.0) || !std::isfinite(limit))
        limit = 1.0;
    Chart.LevelCount = 16;
    Chart.DataMin = -limit;
    Chart.DataMax = limit;
    Chart.LogDataScale = false;
    Chart.PresetValue2 = TPseudoSection2d::MissingValue;
    Chart.PrepareLevels();
    const int n = Chart.Levels.Length();
    if (n == 0 || Chart.BandColors.Length() != n + 1)
        return;
    // Each band coloured by the value at its middle: white at 0, the full
    // colour at the outermost bands.
    // (The rounded levels may leave the middle band a little off centre:
    // the band holding 0 is white all the same.)
    const auto middle = [&](int j) {
        const double low = j == 0 ? -limit : Chart.Levels[j - 1];
        const double high = j == n ? limit : Chart.Levels[j];
        return low <= 0.0 && high >= 0.0 ? 0.0 : (low + high) / 2.0;
    };
    const double outer = std::max(std::fabs(middle(0)), std::fabs(middle(n)));
    for (int j = 0; j <= n; ++j) {
        const double m = middle(j);
        Chart.BandColors[j] = TowardsFromWhite(m < 0.0 ? clBlue : clRed, std::min(1.0, std::fabs(m) / outer));
    }
}

int DatumMarkPixels(double GapPixels)
{
    const double size = 0.4 * GapPixels;
    if (!(size >= MinDatumMarkPixels))
        return 0;
    return static_cast<int>(std::lround(std::min(size, static_cast<double>(MaxDatumMarkPixels))));
}

void SizeDatumMarks(TPseudoSection2d& Chart)
{
    auto* series = dynamic_cast<TCustomSeries*>(Chart.GridPointSeries.data());
    if (!series || Chart.VertexCount < 1)
        return;
    std::vector<double> x;
    for (int v = 1; v <= Chart.VertexCount; ++v)
        x.push_back(Chart.Vertices[v].AxisX);
    // The median gap between distinct values along an axis, in its pixels;
    // one column of data: as sparse as data get.
    const auto gapPixels = [](std::vector<double> Values, const TChartAxis& Axis) {
        const double gap = MedianGap(std::move(Values));
        const double span = Axis.Maximum() - Axis.Minimum();
        const double pixels = std::abs(Axis.CalcPosValue(Axis.Maximum()) - Axis.CalcPosValue(Axis.Minimum()));
        return gap > 0.0 ? (span > 0.0 ? gap * pixels / span : 0.0) : pixels;
    };
    const bool oneColumn = MedianGap(x) == 0.0;
    double gap = gapPixels(std::move(x), *Chart.BottomAxis());
    // Data placed at their electrodes lie in columns of many heights: the
    // gap down the columns counts too.
    if (Chart.PlacedVertices) {
        std::vector<double> y;
        for (int v = 1; v <= Chart.VertexCount; ++v)
            y.push_back(Chart.Vertices[v].AxisY);
        gap = std::min(gap, gapPixels(std::move(y), *Chart.LeftAxis()));
    }
    int size = DatumMarkPixels(gap);
    // One column of placed data (a single hole's) has no triangle to colour:
    // its dots are all there is to see.
    if (Chart.PlacedVertices && oneColumn)
        size = std::max(size, MinDatumMarkPixels);
    // Set while the chart draws: no repaint asked for.
    const bool repaint = Chart.RepaintEnabled();
    Chart.SetRepaintEnabled(false);
    TSeriesPointer& pointer = *series->Pointer();
    pointer.SetVisible(size > 0);
    if (size > 0) {
        // The pointer's sizes are half widths: a dot 2 h + 1 pixels wide.
        pointer.SetHorizSize(std::max(1, size / 2));
        pointer.SetVertSize(std::max(1, size / 2));
    }
    Chart.SetRepaintEnabled(repaint);
}

bool SurfaceHasRelief(const std::vector<TGeometryPoint>& Surface)
{
    return std::any_of(Surface.begin(), Surface.end(),
                       [&](const TGeometryPoint& point) { return point.y != Surface.front().y; });
}

TPseudoSection2d* CreateFieldPseudoSection(const QString& Title, TMetafile& Metafile)
{
    auto* chart = new TPseudoSection2d();
    chart->SetView3D(false);
    // Bands only: the contour lines of a few rows of data are mostly noise.
    chart->ShowContourLines = false;
    chart->SetColor(clWhite);
    UseFieldColours(*chart);
    chart->Title()->Text()->Add(Title);
    chart->Legend()->SetVisible(false);
    chart->LeftAxis()->SetInverted(true);
    chart->LeftAxis()->Title()->SetCaption(QStringLiteral("Pseudo-depth (m)"));
    chart->BottomAxis()->Title()->SetCaption(QStringLiteral("Distance (m)"));
    chart->SetMarginRight(90);
    chart->SetMarginLeft(10);
    auto* extent = new TPointSeries(chart);
    extent->SetParentChart(chart);
    extent->Pointer()->SetVisible(false);
    extent->SetShowInLegend(false);
    auto* points = new TPointSeries(chart);
    points->SetParentChart(chart);
    points->SetTitle(QStringLiteral("Data"));
    points->Pointer()->SetStyle(TSeriesPointer::psCircle);
    points->Pointer()->SetHorizSize(1);
    points->Pointer()->SetVertSize(1);
    points->SetSeriesColor(clBlack);
    auto* surface = new TLineSeries(chart);
    surface->SetParentChart(chart);
    surface->SetTitle(QStringLiteral("Ground surface"));
    surface->SetShowInLegend(false);
    surface->Pointer()->SetVisible(false);
    surface->SetSeriesColor(clBlack);
    surface->LinePen()->SetWidth(2);
    surface->SetActive(false);
    auto* tool = new TChartImageTool(chart);
    chart->Tools().Add(tool);
    tool->SetSeries(extent);
    tool->SetReverseVertical(true);
    chart->PictureMetafile = &Metafile;
    // The picture's own resolution; the tool stretches it over the axes.
    chart->PictureWidth = 1200;
    chart->PictureHeight = 600;
    chart->PictureTool = tool;
    chart->AxisExtentSeries = extent;
    chart->GridPointSeries = points;
    chart->SurfaceSeries = surface;
    chart->OnBeforeDrawSeries = [chart](QObject*) { SizeDatumMarks(*chart); };
    return chart;
}

namespace {

// The ground line over Left .. Right: the surface's points between them
// and its elevations at both ends.
std::vector<TGeometryPoint> ShownGround(const std::vector<TGeometryPoint>& Surface, double Left, double Right)
{
    std::vector<TGeometryPoint> line{{Left, SurfaceElevation(Surface, Left)}};
    for (const TGeometryPoint& point : Surface)
        if (point.x > Left && point.x < Right)
            line.push_back(point);
    line.push_back({Right, SurfaceElevation(Surface, Right)});
    return line;
}

void ShowSurfaceLine(TPseudoSection2d& Chart, const std::vector<TGeometryPoint>& Line)
{
    if (!Chart.SurfaceSeries)
        return;
    Chart.SurfaceSeries->Clear();
    for (const TGeometryPoint& point : Line)
        Chart.SurfaceSeries->AddXY(point.x, point.y, QString(), clBlack);
}

// The elevation axis of placed points: their span and the ground's, a
// twentieth of it more on either side (a metre where they are all level).
void ShowPlacedRange(TPseudoSection2d& Chart, double Left, double Right, const std::vector<TGeometryPoint>& Surface)
{
    double top = -INFINITY, bottom = INFINITY;
    for (int v = 1; v <= Chart.VertexCount; ++v) {
        top = std::max(top, Chart.Vertices[v].AxisY);
        bottom = std::min(bottom, Chart.Vertices[v].AxisY);
    }
    if (!Surface.empty()) {
        const std::vector<TGeometryPoint> line = ShownGround(Surface, Left, Right);
        for (const TGeometryPoint& point : line) {
            top = std::max(top, point.y);
            bottom = std::min(bottom, point.y);
        }
        ShowSurfaceLine(Chart, line);
    }
    if (!(top >= bottom))
        top = bottom = 0.0;
    const double margin = top > bottom ? 0.05 * (top - bottom) : 1.0;
    Chart.LeftAxis()->SetMinMax(bottom - margin, top + margin);
}

} // namespace

void ShowFieldPseudoSection(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                            const std::vector<double>& Values, double Left, double Right, double DeepestPoint,
                            bool Rebuild)
{
    ShowFieldPseudoSection(Chart, Points, Values, Left, Right, DeepestPoint, {}, Rebuild);
}

void ShowFieldPseudoSection(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                            const std::vector<double>& Values, double Left, double Right, double DeepestPoint,
                            const std::vector<TGeometryPoint>& Surface, bool Rebuild)
{
    FillPseudoSection(Chart, Points, Values, false, Surface);
    // x aligned with the section's distance.
    Chart.BottomAxis()->SetMinMax(Left, Right);
    const bool placed = PlacedPseudoPoints(Points);
    const bool elevation = !Surface.empty() || placed;
    TChartAxis& vertical = *Chart.LeftAxis();
    vertical.SetInverted(!elevation);
    vertical.Title()->SetCaption(elevation ? QStringLiteral("Elevation (m)") : QStringLiteral("Pseudo-depth (m)"));
    if (Chart.PictureTool)
        Chart.PictureTool->SetReverseVertical(!elevation);
    if (!elevation) {
        vertical.SetMinMax(0.0, DeepestPoint * 1.1);
    } else if (placed) {
        ShowPlacedRange(Chart, Left, Right, Surface);
    } else {
        // From a little below the deepest datum to a little above the
        // highest ground on the chart.
        const std::vector<TGeometryPoint> line = ShownGround(Surface, Left, Right);
        double top = line.front().y, bottom = top;
        for (const TGeometryPoint& point : line) {
            top = std::max(top, point.y);
            bottom = std::min(bottom, point.y);
        }
        for (int v = 1; v <= Chart.VertexCount; ++v)
            bottom = std::min(bottom, Chart.Vertices[v].AxisY);
        bottom -= 0.1 * DeepestPoint;
        top += 0.05 * (top - bottom);
        vertical.SetMinMax(bottom, top);
        ShowSurfaceLine(Chart, line);
    }
    if (Chart.SurfaceSeries)
        Chart.SurfaceSeries->SetActive(elevation && !Surface.empty());
    Chart.GridPointSeries->Clear();
    for (int v = 1; v <= Chart.VertexCount; ++v)
        Chart.GridPointSeries->AddXY(Chart.Vertices[v].AxisX, Chart.Vertices[v].AxisY, QString(), clBlack);
    if (Rebuild)
        Chart.RebuildPicture();
}

void DrawPseudoSectionColorBar(TPseudoSection2d& Chart, const QString& Unit)
{
    const int bands = Chart.BandColors.Length();
    if (!Chart.ShowColorBar || bands < 2 || Chart.Levels.Length() != bands - 1 || Chart.VertexCount < 3)
        return;
    TPlotCanvas3D& canvas = Chart.Canvas();
    const TRect plot = Chart.ChartRectangle();
    const int left = plot.Right + 10, width = 14;
    // Beside the whole plot, as the cell charts' colour bar stands, so that
    // a chart of a few rows (the inversion window's three, one above the
    // other) has one too: bands of 2 pixels at the least.
    const int top = plot.Top, bottom = plot.Bottom;
    if (bottom - top < bands * 2)
        return;
    canvas.Pen()->SetStyle(psClear);
    for (int j = 0; j < bands; ++j) {
        const int low = bottom - (bottom - top) * j / bands;
        const int high = bottom - (bottom - top) * (j + 1) / bands;
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(Chart.BandColors[j]);
        canvas.FillRect(TRect{left, high, left + width, low});
    }
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetColor(clBlack);
    canvas.Font()->SetSize(7);
    const int step = std::max(1, (bands - 1) / std::max(1, (bottom - top) / (2 * canvas.FontHeight())) + 1);
    for (int j = 0; j < bands - 1; j += step) {
        const int y = bottom - (bottom - top) * (j + 1) / bands;
        canvas.TextOut(left + width + 3, y - canvas.FontHeight() / 2, QString::number(Chart.Levels[j], 'g', 3));
    }
    // The unit over the bar, level with the chart's title.
    canvas.TextOut(left, std::max(0, top - canvas.FontHeight() - 2), Unit);
}

double PlottedVertical(const TPseudoSection2d& Chart, size_t Point, double Depth)
{
    if (Point >= static_cast<size_t>(std::max(Chart.VertexCount, 0)) ||
        Point + 1 >= static_cast<size_t>(Chart.Vertices.Length()))
        return Depth;
    return Chart.Vertices[static_cast<int>(Point) + 1].AxisY;
}

std::vector<double> PlottedVerticals(const TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points)
{
    std::vector<double> verticals;
    verticals.reserve(Points.size());
    const TChartSeries* surface = Chart.SurfaceSeries;
    std::vector<TGeometryPoint> line;
    if (surface && surface->Active())
        for (int i = 0; i < surface->Count(); ++i)
            line.push_back({surface->XValues()->Value(i), surface->YValues()->Value(i)});
    for (const TPseudoPoint& point : Points)
        verticals.push_back(point.Elevation ? *point.Elevation
                            : line.empty()  ? point.Depth
                                            : SurfaceElevation(line, point.X) - point.Depth);
    return verticals;
}

} // namespace lp
