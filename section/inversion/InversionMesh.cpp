#include "section/inversion/InversionMesh.h"

#include "section/model/NumberArrays.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <utility>

namespace lp {
namespace {

// Widths growing from First by Growth until they fill Span; a remainder no
// wider than the next width joins the last one.
std::vector<double> GrowingWidths(double Span, double First, double Growth)
{
    std::vector<double> widths;
    double filled = 0.0, width = First;
    while (Span - filled > 1e-9 * Span) {
        const double left = Span - filled;
        if (left <= width) {
            if (widths.empty())
                widths.push_back(left);
            else
                widths.back() += left;
            break;
        }
        widths.push_back(width);
        filled += width;
        width *= Growth;
    }
    return widths;
}

bool Fades(const TInversionMesh& Mesh)
{
    return Mesh.FadeBottom > Mesh.FadeTop;
}

// The row boundary k of column edge c: y.
double BoundaryY(const TInversionMesh& Mesh, int Column, int Boundary)
{
    if (Boundary == Mesh.Rows())
        return Mesh.Bottom;
    const double surface = Mesh.Elevations.at(static_cast<size_t>(Column));
    const double depth = Mesh.RowDepths.at(static_cast<size_t>(Boundary));
    const double shift = Mesh.Shifts.empty()
                             ? 0.0
                             : Mesh.Shifts.at(static_cast<size_t>(Boundary) * Mesh.ColumnEdges.size() + static_cast<size_t>(Column));
    if (!Fades(Mesh))
        return surface - depth + shift;
    return Mesh.Level + (surface - Mesh.Level) * SurfaceShare(depth, Mesh.FadeTop, Mesh.FadeBottom) - depth + shift;
}

void CheckCell(const TInversionMesh& Mesh, int Cell)
{
    if (Cell < 0 || Cell >= Mesh.Cells())
        throw EForwardError("Cell " + std::to_string(Cell) + " is not in the parameter mesh.");
}

bool Increasing(const std::vector<double>& Values)
{
    for (size_t i = 0; i < Values.size(); ++i)
        if (!std::isfinite(Values[i]) || (i > 0 && !(Values[i] > Values[i - 1])))
            return false;
    return true;
}

// Winding-number test against one loop of edge numbers.
int Winding(const TModelGeometry& g, const TGeometryLoop& Loop, TGeometryPoint q)
{
    int winding = 0;
    for (int signedEdge : Loop) {
        const auto& edge = g.Edges.at(static_cast<size_t>(std::abs(signedEdge) - 1));
        TGeometryPoint a = g.Points.at(static_cast<size_t>(edge.first));
        TGeometryPoint b = g.Points.at(static_cast<size_t>(edge.second));
        if (signedEdge < 0)
            std::swap(a, b);
        const double cross = (b.x - a.x) * (q.y - a.y) - (q.x - a.x) * (b.y - a.y);
        if (a.y <= q.y && b.y > q.y && cross > 0)
            ++winding;
        else if (a.y > q.y && b.y <= q.y && cross < 0)
            --winding;
    }
    return winding;
}

void CheckShifts(const TInversionMesh& Mesh)
{
    const size_t edges = Mesh.ColumnEdges.size(), rows = static_cast<size_t>(Mesh.Rows());
    if (Mesh.Shifts.size() != (rows + 1) * edges)
        throw EForwardError("The parameter mesh needs one shift per row boundary and column edge.");
    for (size_t c = 0; c < edges; ++c) {
        if (Mesh.Shifts[c] != 0.0 || Mesh.Shifts[rows * edges + c] != 0.0)
            throw EForwardError("The parameter mesh's shifts must leave the surface and the bottom in place.");
        for (size_t k = 0; k <= rows; ++k)
            if (!std::isfinite(Mesh.Shifts[k * edges + c]))
                throw EForwardError("The parameter mesh's shifts must be finite.");
        for (int k = 1; k < Mesh.Rows(); ++k)
            if (!(BoundaryY(Mesh, static_cast<int>(c), k) < BoundaryY(Mesh, static_cast<int>(c), k - 1)))
                throw EForwardError("The parameter mesh's shifted rows must keep their order.");
    }
}

} // namespace

void CheckInversionMesh(const TInversionMesh& Mesh)
{
    if (Mesh.ColumnEdges.size() < 2 || Mesh.RowDepths.size() < 2)
        throw EForwardError("The parameter mesh needs at least one column and one row.");
    if (!Increasing(Mesh.ColumnEdges))
        throw EForwardError("The parameter mesh's column edges must be finite and increase from left to right.");
    if (!Increasing(Mesh.RowDepths) || Mesh.RowDepths.front() != 0.0)
        throw EForwardError("The parameter mesh's row depths must start at 0 and increase downwards.");
    if (Mesh.Elevations.size() != Mesh.ColumnEdges.size())
        throw EForwardError("The parameter mesh needs one surface elevation per column edge.");
    if (!std::isfinite(Mesh.FadeTop) || !std::isfinite(Mesh.FadeBottom) || !std::isfinite(Mesh.Level))
        throw EForwardError("The parameter mesh's blending of the rows to level lines must be finite.");
    for (double y : Mesh.Elevations)
        if (!std::isfinite(y) || (Fades(Mesh) && Mesh.Level > y))
            throw EForwardError("The parameter mesh's rows must blend to a level at or below the ground surface.");
    if (!Mesh.Shifts.empty())
        CheckShifts(Mesh);
    for (int c = 0; c < static_cast<int>(Mesh.Elevations.size()); ++c)
        if (!(Mesh.Bottom < BoundaryY(Mesh, c, Mesh.Rows() - 1)))
            throw EForwardError("The parameter mesh's bottom must lie below every row above it.");
}

namespace {

// The electrodes' distinct places, rising; refuses what DefaultInversionMesh refuses.
std::vector<double> MeshElectrodePlaces(const std::vector<double>& ElectrodeX, double Left, double Right,
                                        double DeepestMedianDepth)
{
    std::vector<double> x = ElectrodeX;
    std::sort(x.begin(), x.end());
    x.erase(std::unique(x.begin(), x.end()), x.end());
    if (x.size() < 2)
        throw EForwardError("The inversion needs electrodes at two places at least.");
    if (!(std::isfinite(Left) && std::isfinite(Right) && Left <= x.front() && x.back() <= Right))
        throw EForwardError("The electrodes must lie within the model area's width.");
    if (!(std::isfinite(DeepestMedianDepth) && DeepestMedianDepth > 0.0))
        throw EForwardError("The data have no depth of investigation.");
    return x;
}

// The columns between two neighbouring electrodes: about Column wide.
double GapPieces(double Gap, double Column)
{
    return std::max(1.0, std::round(Gap / Column));
}

// The spacing the cells follow.
double LayoutSpacing(const std::vector<double>& Places, const TInversionMeshLayout& Layout)
{
    return Layout.Spacing > 0.0 ? Layout.Spacing : MedianGap(Places);
}

// The row boundaries below the surface: from 0, First thick down to Even,
// then each row Growth times thicker, the last reaching Depth.
std::vector<double> RowBoundaries(double Depth, double First, double Growth, double Even)
{
    std::vector<double> depths{0.0};
    double thickness = First;
    while (Depth - depths.back() >= 1.5 * thickness) {
        depths.push_back(depths.back() + thickness);
        if (depths.back() >= Even)
            thickness *= Growth;
    }
    depths.push_back(Depth);
    return depths;
}

// The tallest cell over the one above it in a column whose surface lies
// Above the mesh's level (the bottom row included). The ratio of two rows'
// heights moves monotonically with Above (each height is linear in it), so
// the columns at the level and at the highest point bound every other.
double ColumnGrowth(const TInversionMesh& Mesh, double Above)
{
    TInversionMesh column = Mesh;
    column.Elevations = {Mesh.Level + Above};
    double worst = 0.0, upper = 0.0;
    for (int k = 0; k < Mesh.Rows(); ++k) {
        const double height = BoundaryY(column, 0, k) - BoundaryY(column, 0, k + 1);
        if (k > 0)
            worst = std::max(worst, height / upper);
        upper = height;
    }
    return worst;
}

// The lowest and the highest point of the surface over Left .. Right.
std::pair<double, double> SurfaceRange(const std::vector<TGeometryPoint>& Surface, double Left, double Right)
{
    std::vector<double> y{SurfaceElevation(Surface, Left), SurfaceElevation(Surface, Right)};
    for (const TGeometryPoint& p : Surface)
        if (Left <= p.x && p.x <= Right)
            y.push_back(p.y);
    const auto [lowest, highest] = std::minmax_element(y.begin(), y.end());
    return {*lowest, *highest};
}

// The rows of the default layout (depths, level, fade, bottom) for a
// surface from Lowest to Highest. The rows reach Depth below the lowest
// point; over relief the top row follows the surface and the boundaries
// below blend to level lines, the blend ending at the shallowest boundary
// at or below Settle that keeps every cell within Layout.CellGrowth of the
// one above it and leaves two level rows above the bottom; where none
// does, the mesh takes one more row and tries again.
TInversionMesh DefaultRows(double Lowest, double Highest, double Depth, double First, double Settle,
                           const TInversionMeshLayout& Layout)
{
    TInversionMesh rows;
    rows.Level = Lowest;
    const double relief = Highest - Lowest;
    const bool flat = !(relief > 1e-9 * std::max(First, std::fabs(Lowest)));
    // Deepening stops once the rows could take any relief; far beyond what a survey's relief needs.
    for (int deeper = 0; deeper < 64; ++deeper) {
        rows.RowDepths = RowBoundaries(Depth, First, Layout.RowGrowth, Layout.EvenDepth);
        rows.Bottom = Lowest - rows.RowDepths.back();
        rows.FadeTop = rows.FadeBottom = 0.0;
        if (flat)
            return rows;
        const std::vector<double>& d = rows.RowDepths;
        rows.FadeTop = d[1];
        for (size_t k = 2; k + 2 < d.size(); ++k) {
            if (d[k] < Settle * (1.0 - 1e-12))
                continue;
            rows.FadeBottom = d[k];
            if (ColumnGrowth(rows, relief) <= Layout.CellGrowth)
                return rows;
        }
        Depth = d.back() + (d.back() - d[d.size() - 2]) * Layout.RowGrowth;
    }
    return rows;
}

// The rows DefaultInversionMesh lays.
TInversionMesh DefaultRows(const std::vector<double>& ElectrodeX, double Left, double Right,
                           const std::vector<TGeometryPoint>& Surface, double DeepestMedianDepth,
                           const TInversionMeshLayout& Layout)
{
    const double spacing = LayoutSpacing(MeshElectrodePlaces(ElectrodeX, Left, Right, DeepestMedianDepth), Layout);
    const auto [lowest, highest] = SurfaceRange(Surface, Left, Right);
    if (!(std::isfinite(lowest) && std::isfinite(highest)))
        throw EForwardError("The ground surface must be finite.");
    return DefaultRows(lowest, highest, Layout.DepthFactor * DeepestMedianDepth, Layout.RowShare * spacing,
                       DeepestMedianDepth, Layout);
}

} // namespace

double DefaultInversionMeshCells(const std::vector<double>& ElectrodeX, double Left, double Right,
                                 const std::vector<TGeometryPoint>& Surface, double DeepestMedianDepth,
                                 const TInversionMeshLayout& Layout)
{
    const std::vector<double> x = MeshElectrodePlaces(ElectrodeX, Left, Right, DeepestMedianDepth);
    const double spacing = LayoutSpacing(x, Layout);
    const double column = Layout.ColumnShare * spacing;
    // The sides grow geometrically and the rows too: few, counted by laying them.
    double columns = static_cast<double>(GrowingWidths(x.front() - Left, column, Layout.SideGrowth).size() +
                                         GrowingWidths(Right - x.back(), column, Layout.SideGrowth).size());
    for (size_t i = 0; i + 1 < x.size(); ++i)
        columns += GapPieces(x[i + 1] - x[i], column);
    const double rows = DefaultRows(ElectrodeX, Left, Right, Surface, DeepestMedianDepth, Layout).Rows();
    return columns * rows;
}

TInversionMesh DefaultInversionMesh(const std::vector<double>& ElectrodeX, double Left, double Right,
                                    const std::vector<TGeometryPoint>& Surface, double DeepestMedianDepth,
                                    const TInversionMeshLayout& Layout)
{
    // Counted first: a mesh beyond what a cell number holds is refused before it is laid.
    const double cells = DefaultInversionMeshCells(ElectrodeX, Left, Right, Surface, DeepestMedianDepth, Layout);
    if (!(cells <= static_cast<double>(std::numeric_limits<int>::max())))
        throw EForwardError("The parameter mesh would have " + ReadableNumber(cells) +
                            " cells, more than can be inverted.");
    const std::vector<double> x = MeshElectrodePlaces(ElectrodeX, Left, Right, DeepestMedianDepth);
    const double spacing = LayoutSpacing(x, Layout);
    const double column = Layout.ColumnShare * spacing;

    TInversionMesh mesh = DefaultRows(ElectrodeX, Left, Right, Surface, DeepestMedianDepth, Layout);
    // Left of the first electrode, growing outwards.
    std::vector<double> leftWidths = GrowingWidths(x.front() - Left, column, Layout.SideGrowth);
    double edge = Left;
    for (auto w = leftWidths.rbegin(); w != leftWidths.rend(); ++w) {
        mesh.ColumnEdges.push_back(edge);
        edge += *w;
    }
    // Between electrodes: about Column wide, an edge at every electrode.
    for (size_t i = 0; i + 1 < x.size(); ++i) {
        const int pieces = static_cast<int>(GapPieces(x[i + 1] - x[i], column));
        for (int p = 0; p < pieces; ++p)
            mesh.ColumnEdges.push_back(x[i] + (x[i + 1] - x[i]) * p / pieces);
    }
    edge = x.back();
    for (double w : GrowingWidths(Right - x.back(), column, Layout.SideGrowth)) {
        mesh.ColumnEdges.push_back(edge);
        edge += w;
    }
    mesh.ColumnEdges.push_back(Right);
    for (double e : mesh.ColumnEdges)
        mesh.Elevations.push_back(SurfaceElevation(Surface, e));
    // The rows were planned for the surface's whole range; the columns'
    // own lowest point is the level (no higher relief, so no taller cell).
    mesh.Level = *std::min_element(mesh.Elevations.begin(), mesh.Elevations.end());
    mesh.Bottom = mesh.Level - mesh.RowDepths.back();
    CheckInversionMesh(mesh);
    return mesh;
}

TInversionMeshLayout BuriedElectrodeLayout(const TSurvey& Survey, double& DeepestMedianDepth,
                                           TInversionMeshLayout Layout)
{
    std::vector<TElectrode> used;
    double deepest = 0.0;
    for (int e : UsedElectrodes(Survey)) {
        used.push_back(Survey.Electrodes.at(static_cast<size_t>(e)));
        deepest = std::max(deepest, used.back().Depth);
    }
    if (!(deepest > 0.0))
        return Layout;
    // The gaps between neighbouring electrodes down each hole (electrodes at one x).
    std::sort(used.begin(), used.end(),
              [](const TElectrode& a, const TElectrode& b) { return a.x < b.x || (a.x == b.x && a.Depth < b.Depth); });
    std::vector<double> gaps;
    for (size_t i = 0; i + 1 < used.size(); ++i)
        if (used[i + 1].x == used[i].x && used[i + 1].Depth > used[i].Depth)
            gaps.push_back(used[i + 1].Depth - used[i].Depth);
    std::vector<double> x;
    for (const TElectrode& e : used)
        x.push_back(e.x);
    double spacing = MedianGap(x);
    if (!gaps.empty()) {
        std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
        spacing = spacing > 0.0 ? std::min(spacing, gaps[gaps.size() / 2]) : gaps[gaps.size() / 2];
    }
    Layout.Spacing = spacing;
    Layout.EvenDepth = deepest;
    DeepestMedianDepth = std::max(DeepestMedianDepth, (deepest + BuriedMeshMargin * spacing) / Layout.DepthFactor);
    return Layout;
}

std::vector<TGeometryPoint> CellCorners(const TInversionMesh& Mesh, int Cell)
{
    CheckCell(Mesh, Cell);
    const int c = Cell % Mesh.Columns(), r = Cell / Mesh.Columns();
    const double x1 = Mesh.ColumnEdges[static_cast<size_t>(c)], x2 = Mesh.ColumnEdges[static_cast<size_t>(c) + 1];
    return {{x1, BoundaryY(Mesh, c, r + 1)},
            {x2, BoundaryY(Mesh, c + 1, r + 1)},
            {x2, BoundaryY(Mesh, c + 1, r)},
            {x1, BoundaryY(Mesh, c, r)}};
}

TGeometryPoint CellCentre(const TInversionMesh& Mesh, int Cell)
{
    TGeometryPoint centre;
    for (const TGeometryPoint& p : CellCorners(Mesh, Cell)) {
        centre.x += p.x / 4.0;
        centre.y += p.y / 4.0;
    }
    return centre;
}

double CellArea(const TInversionMesh& Mesh, int Cell)
{
    return SignedLoopArea(CellCorners(Mesh, Cell));
}

void CellDepths(const TInversionMesh& Mesh, int Cell, double& Top, double& Bottom)
{
    CheckCell(Mesh, Cell);
    const int c = Cell % Mesh.Columns(), r = Cell / Mesh.Columns();
    const auto middle = [&](int Boundary) { return (BoundaryY(Mesh, c, Boundary) + BoundaryY(Mesh, c + 1, Boundary)) / 2.0; };
    const double surface = (Mesh.Elevations[static_cast<size_t>(c)] + Mesh.Elevations[static_cast<size_t>(c) + 1]) / 2.0;
    Top = surface - middle(r);
    Bottom = surface - middle(r + 1);
}

double RowBoundaryY(const TInversionMesh& Mesh, int Edge, int Boundary)
{
    if (Edge < 0 || Edge > Mesh.Columns() || Boundary < 0 || Boundary > Mesh.Rows())
        throw EForwardError("The row boundary " + std::to_string(Boundary) + " at column edge " +
                            std::to_string(Edge) + " is not in the parameter mesh.");
    return BoundaryY(Mesh, Edge, Boundary);
}

int RowAt(const TInversionMesh& Mesh, int Column, double X, double Y)
{
    if (Column < 0 || Column >= Mesh.Columns())
        throw EForwardError("Column " + std::to_string(Column) + " is not in the parameter mesh.");
    const double x1 = Mesh.ColumnEdges[static_cast<size_t>(Column)], x2 = Mesh.ColumnEdges[static_cast<size_t>(Column) + 1];
    const double share = std::clamp((X - x1) / (x2 - x1), 0.0, 1.0);
    const auto at = [&](int Boundary) {
        return BoundaryY(Mesh, Column, Boundary) + share * (BoundaryY(Mesh, Column + 1, Boundary) - BoundaryY(Mesh, Column, Boundary));
    };
    if (Y > at(0) || Y < Mesh.Bottom)
        return -1;
    // The boundaries fall from the surface to the bottom: the last one at or above Y tops the row.
    int low = 0, high = Mesh.Rows();
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (at(middle) >= Y ? low : high) = middle;
    }
    return low;
}

TForwardModel InversionGround(const TInversionMesh& Mesh, const std::vector<double>& Resistivities,
                              const std::vector<double>& Polarizabilities)
{
    CheckInversionMesh(Mesh);
    const int columns = Mesh.Columns(), rows = Mesh.Rows();
    if (Resistivities.size() != static_cast<size_t>(Mesh.Cells()) ||
        (!Polarizabilities.empty() && Polarizabilities.size() != Resistivities.size()))
        throw EForwardError("The parameter mesh needs one value per cell.");

    TForwardModel ground;
    TModelGeometry& g = ground.Geometry;
    const auto point = [&](int c, int k) { return k * (columns + 1) + c; };
    for (int k = 0; k <= rows; ++k)
        for (int c = 0; c <= columns; ++c)
            g.Points.push_back({Mesh.ColumnEdges[static_cast<size_t>(c)], BoundaryY(Mesh, c, k)});
    // Edge numbers from 1: the horizontal edge right of (c, k), the vertical edge below it.
    const auto horizontal = [&](int c, int k) { return k * columns + c + 1; };
    const int verticalBase = (rows + 1) * columns;
    const auto vertical = [&](int c, int k) { return verticalBase + k * (columns + 1) + c + 1; };
    for (int k = 0; k <= rows; ++k)
        for (int c = 0; c < columns; ++c)
            g.Edges.emplace_back(point(c, k), point(c + 1, k));
    for (int k = 0; k < rows; ++k)
        for (int c = 0; c <= columns; ++c)
            g.Edges.emplace_back(point(c, k), point(c, k + 1));
    g.ModelEdgeCount = static_cast<int>(g.Edges.size());
    g.ModelPointCount = static_cast<int>(g.Points.size());

    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        const int c = cell % columns, r = cell / columns;
        TGeometrySurface surface;
        // Lower left, lower right, upper right, upper left: counter-clockwise.
        surface.outer = {horizontal(c, r + 1), -vertical(c + 1, r), -horizontal(c, r), vertical(c, r)};
        surface.region = cell;
        surface.area = CellArea(Mesh, cell);
        g.Surfaces.push_back(surface);

        TGeometryRegion region;
        region.tag = cell + 1;
        region.name = "cell " + std::to_string(c + 1) + ", " + std::to_string(r + 1);
        region.area = surface.area;
        region.surfaces = {cell};
        g.Regions.push_back(region);

        const double rho = Resistivities[static_cast<size_t>(cell)];
        const double eta = Polarizabilities.empty() ? 0.0 : Polarizabilities[static_cast<size_t>(cell)];
        if (!(std::isfinite(rho) && rho > 0.0))
            throw EForwardError("A cell's resistivity must be a finite number above 0.");
        if (!(std::isfinite(eta) && eta >= 0.0 && eta < 1.0))
            throw EForwardError("A cell's chargeability must lie between 0 and (not including) 100 %.");
        ground.Regions.push_back({rho, eta});
        ground.HasPolarizability = ground.HasPolarizability || eta > 0.0;
        g.FrameArea += surface.area;
    }
    for (int c = 0; c < columns; ++c)
        g.FrameEdges.insert(g.FrameEdges.end(), {horizontal(c, 0), horizontal(c, rows)});
    for (int k = 0; k < rows; ++k)
        g.FrameEdges.insert(g.FrameEdges.end(), {vertical(0, k), vertical(columns, k)});
    g.Width = Mesh.ColumnEdges.back() - Mesh.ColumnEdges.front();

    for (int c = 0; c <= columns; ++c)
        ground.Surface.push_back(g.Points[static_cast<size_t>(point(c, 0))]);
    ground.Left = Mesh.ColumnEdges.front();
    ground.Right = Mesh.ColumnEdges.back();
    ground.Bottom = Mesh.Bottom;
    const double flat = 1e-9 * std::max(1.0, g.Width);
    for (double y : Mesh.Elevations)
        ground.HasRelief = ground.HasRelief || std::fabs(y - Mesh.Elevations.front()) > flat;
    return ground;
}

Eigen::SparseMatrix<double> SmoothnessOperator(const TInversionMesh& Mesh, double ZWeight, const std::vector<int>& Zones)
{
    if (!(std::isfinite(ZWeight) && ZWeight >= 0.0))
        throw EForwardError("The vertical smoothness weight must be a finite number of at least 0.");
    if (!Zones.empty() && Zones.size() != static_cast<size_t>(Mesh.Cells()))
        throw EForwardError("The structural constraint needs one zone per cell.");
    CheckInversionMesh(Mesh);
    const int columns = Mesh.Columns(), rows = Mesh.Rows();
    std::vector<TGeometryPoint> centres;
    for (int cell = 0; cell < Mesh.Cells(); ++cell)
        centres.push_back(CellCentre(Mesh, cell));
    std::vector<Eigen::Triplet<double>> entries;
    int row = 0;
    // weight² = direction weight × shared edge length / distance of the
    // centres: the pair's share of ∫|∇m|² dA, whatever the cells' shapes.
    const auto pair = [&](int first, int second, double direction, double edge) {
        const TGeometryPoint a = centres[static_cast<size_t>(first)], b = centres[static_cast<size_t>(second)];
        double weight = std::sqrt(direction * edge / std::hypot(b.x - a.x, b.y - a.y));
        if (!Zones.empty() && Zones[static_cast<size_t>(first)] != Zones[static_cast<size_t>(second)])
            weight = 0.0;
        entries.emplace_back(row, first, -weight);
        entries.emplace_back(row, second, weight);
        ++row;
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int cell = r * columns + c;
            if (c + 1 < columns)
                pair(cell, cell + 1, 1.0, BoundaryY(Mesh, c + 1, r) - BoundaryY(Mesh, c + 1, r + 1));
            if (r + 1 < rows) {
                const double dx = Mesh.ColumnEdges[static_cast<size_t>(c) + 1] - Mesh.ColumnEdges[static_cast<size_t>(c)];
                const double dy = BoundaryY(Mesh, c + 1, r + 1) - BoundaryY(Mesh, c, r + 1);
                pair(cell, cell + columns, ZWeight, std::hypot(dx, dy));
            }
        }
    Eigen::SparseMatrix<double> C(row, Mesh.Cells());
    C.setFromTriplets(entries.begin(), entries.end());
    return C;
}

int RegionAt(const TModelGeometry& Geometry, TGeometryPoint Point)
{
    for (const TGeometrySurface& surface : Geometry.Surfaces) {
        if (Winding(Geometry, surface.outer, Point) == 0)
            continue;
        const bool inHole = std::any_of(surface.holes.begin(), surface.holes.end(), [&](const TGeometryLoop& hole) {
            return Winding(Geometry, hole, Point) != 0;
        });
        if (!inHole)
            return surface.region;
    }
    return -1;
}

std::vector<int> CellZones(const TInversionMesh& Mesh, const TForwardModel& Section)
{
    std::vector<int> zones;
    for (int cell = 0; cell < Mesh.Cells(); ++cell)
        zones.push_back(RegionAt(Section.Geometry, CellCentre(Mesh, cell)));
    return zones;
}

} // namespace lp

namespace lp {
namespace {

// The boundaries' y at one column edge with Pinned ones (boundary → y)
// moved and those between two pinned ones stretched evenly between them.
std::vector<double> Stretched(const std::vector<double>& Y, const std::map<int, double>& Pinned)
{
    std::vector<double> moved = Y;
    for (auto upper = Pinned.begin(), lower = std::next(upper); lower != Pinned.end(); ++upper, ++lower) {
        const auto [a, ya] = *upper;
        const auto [b, yb] = *lower;
        if (ya == Y[static_cast<size_t>(a)] && yb == Y[static_cast<size_t>(b)])
            continue; // nothing moved between these two
        const double scale = (yb - ya) / (Y[static_cast<size_t>(b)] - Y[static_cast<size_t>(a)]);
        for (int k = a; k <= b; ++k)
            moved[static_cast<size_t>(k)] = ya + (Y[static_cast<size_t>(k)] - Y[static_cast<size_t>(a)]) * scale;
    }
    return moved;
}

// Whether Moved keeps its rows in order and no row more than CellGrowth
// times as tall as the one above (or than it was in Y, when more).
bool GrowsWithin(const std::vector<double>& Y, const std::vector<double>& Moved, double CellGrowth)
{
    for (size_t k = 1; k < Moved.size(); ++k)
        if (!(Moved[k] < Moved[k - 1]))
            return false;
    for (size_t k = 2; k < Moved.size(); ++k) {
        const double allowed = std::max(CellGrowth, (Y[k - 1] - Y[k]) / (Y[k - 2] - Y[k - 1]));
        if ((Moved[k - 1] - Moved[k]) > allowed * (Moved[k - 2] - Moved[k - 1]) * (1.0 + 1e-12))
            return false;
    }
    return true;
}

} // namespace

TInversionMesh FollowTargets(const TInversionMesh& Mesh, const std::vector<std::vector<double>>& Targets,
                             double CellGrowth)
{
    CheckInversionMesh(Mesh);
    if (Targets.size() != Mesh.ColumnEdges.size())
        throw EForwardError("The row boundaries' targets must be given per column edge.");
    const int rows = Mesh.Rows();
    const size_t edges = Mesh.ColumnEdges.size();
    TInversionMesh moved = Mesh;
    if (moved.Shifts.empty())
        moved.Shifts.assign((static_cast<size_t>(rows) + 1) * edges, 0.0);
    bool any = false;
    for (size_t c = 0; c < edges; ++c) {
        std::vector<double> y;
        for (int k = 0; k <= rows; ++k)
            y.push_back(BoundaryY(Mesh, static_cast<int>(c), k));
        std::map<int, double> pinned{{0, y.front()}, {rows, y.back()}};
        std::vector<double> targets = Targets[c];
        std::sort(targets.begin(), targets.end(), std::greater<>());
        for (double target : targets) {
            if (!(std::isfinite(target) && target < y.front() && target > y.back()))
                continue;
            // The free boundaries nearest the target, the nearest first.
            std::vector<int> free;
            for (int k = 1; k < rows; ++k)
                if (!pinned.count(k))
                    free.push_back(k);
            std::sort(free.begin(), free.end(), [&](int a, int b) {
                return std::fabs(y[static_cast<size_t>(a)] - target) < std::fabs(y[static_cast<size_t>(b)] - target);
            });
            for (size_t i = 0; i < std::min<size_t>(2, free.size()); ++i) {
                std::map<int, double> trial = pinned;
                trial[free[i]] = target;
                // The pins keep their order: a target between two pinned boundaries takes one between them.
                const auto at = trial.find(free[i]);
                if (!(std::prev(at)->second > target && std::next(at)->second < target))
                    continue;
                if (GrowsWithin(y, Stretched(y, trial), CellGrowth)) {
                    pinned = std::move(trial);
                    break;
                }
            }
        }
        const std::vector<double> bent = Stretched(y, pinned);
        for (int k = 1; k < rows; ++k) {
            const double shift = bent[static_cast<size_t>(k)] - y[static_cast<size_t>(k)];
            moved.Shifts[static_cast<size_t>(k) * edges + c] += shift;
            any = any || shift != 0.0;
        }
    }
    if (!any)
        return Mesh;
    CheckInversionMesh(moved);
    return moved;
}

} // namespace lp
