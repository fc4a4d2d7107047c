#include "section/inversion/InversionMesh.h"

#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

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

// The row boundary k of column edge c: y.
double BoundaryY(const TInversionMesh& Mesh, int Column, int Boundary)
{
    if (Boundary == Mesh.Rows())
        return Mesh.Bottom;
    return Mesh.Elevations.at(static_cast<size_t>(Column)) - Mesh.RowDepths.at(static_cast<size_t>(Boundary));
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
    const double lastDepth = Mesh.RowDepths[Mesh.RowDepths.size() - 2];
    for (double y : Mesh.Elevations)
        if (!std::isfinite(y) || !(Mesh.Bottom < y - lastDepth))
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

// The row boundaries below the surface: from 0, First thick, each row
// Growth times thicker, the last reaching Depth.
std::vector<double> RowBoundaries(double Depth, double First, double Growth)
{
    std::vector<double> depths{0.0};
    double thickness = First;
    while (Depth - depths.back() >= 1.5 * thickness) {
        depths.push_back(depths.back() + thickness);
        thickness *= Growth;
    }
    depths.push_back(Depth);
    return depths;
}

} // namespace

double DefaultInversionMeshCells(const std::vector<double>& ElectrodeX, double Left, double Right,
                                 double DeepestMedianDepth, const TInversionMeshLayout& Layout)
{
    const std::vector<double> x = MeshElectrodePlaces(ElectrodeX, Left, Right, DeepestMedianDepth);
    const double spacing = MedianGap(x);
    const double column = Layout.ColumnShare * spacing;
    // The sides grow geometrically and the rows too: few, counted by laying them.
    double columns = static_cast<double>(GrowingWidths(x.front() - Left, column, Layout.SideGrowth).size() +
                                         GrowingWidths(Right - x.back(), column, Layout.SideGrowth).size());
    for (size_t i = 0; i + 1 < x.size(); ++i)
        columns += GapPieces(x[i + 1] - x[i], column);
    const double rows = static_cast<double>(
        RowBoundaries(Layout.DepthFactor * DeepestMedianDepth, Layout.RowShare * spacing, Layout.RowGrowth).size() - 1);
    return columns * rows;
}

TInversionMesh DefaultInversionMesh(const std::vector<double>& ElectrodeX, double Left, double Right,
                                    const std::vector<TGeometryPoint>& Surface, double DeepestMedianDepth,
                                    const TInversionMeshLayout& Layout)
{
    // Counted first: a mesh beyond what a cell number holds is refused before it is laid.
    const double cells = DefaultInversionMeshCells(ElectrodeX, Left, Right, DeepestMedianDepth, Layout);
    if (!(cells <= static_cast<double>(std::numeric_limits<int>::max())))
        throw EForwardError("The parameter mesh would have " + ReadableNumber(cells) +
                            " cells, more than can be inverted.");
    const std::vector<double> x = MeshElectrodePlaces(ElectrodeX, Left, Right, DeepestMedianDepth);
    const double spacing = MedianGap(x);
    const double column = Layout.ColumnShare * spacing;

    TInversionMesh mesh;
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

    const double depth = Layout.DepthFactor * DeepestMedianDepth;
    mesh.RowDepths = RowBoundaries(depth, Layout.RowShare * spacing, Layout.RowGrowth);
    mesh.Bottom = *std::min_element(mesh.Elevations.begin(), mesh.Elevations.end()) - depth;
    CheckInversionMesh(mesh);
    return mesh;
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
    Top = Mesh.RowDepths[static_cast<size_t>(r)];
    if (r + 1 < Mesh.Rows()) {
        Bottom = Mesh.RowDepths[static_cast<size_t>(r) + 1];
        return;
    }
    const double surface = (Mesh.Elevations[static_cast<size_t>(c)] + Mesh.Elevations[static_cast<size_t>(c) + 1]) / 2.0;
    Bottom = surface - Mesh.Bottom;
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
