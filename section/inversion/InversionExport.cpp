#include "section/inversion/InversionExport.h"

#include "section/forward/ForwardModel.h"
#include "section/model/ModelGeometryText.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

namespace lp {

namespace {

using TCorners = std::vector<TGeometryPoint>;

// Every cell's corners (CellCorners), after the mesh and the values are
// checked; a corner that is not finite is refused here, before any text.
std::vector<TCorners> CheckedCorners(const TInversionMesh& Mesh, const TSurveyInversion& Inversion)
{
    CheckInversionMesh(Mesh);
    CheckInversionValues(Mesh, Inversion);
    std::vector<TCorners> corners;
    corners.reserve(static_cast<size_t>(Mesh.Cells()));
    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        corners.push_back(CellCorners(Mesh, cell));
        for (const TGeometryPoint& p : corners.back())
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                throw EForwardError("A cell of the parameter mesh has a corner that is not a finite number: nothing "
                                    "was written.");
    }
    return corners;
}

std::string NumberLines(const std::vector<double>& Values)
{
    std::string text;
    for (double value : Values)
        text += FormatExactReal(value) + "\n";
    return text;
}

std::string VtkCellData(const char* Name, const std::vector<double>& Values)
{
    return std::string("SCALARS ") + Name + " double 1\nLOOKUP_TABLE default\n" + NumberLines(Values);
}

// Whether (X, Y) lies in the polygon K or on its border: on an edge (to a
// rounding's width) counts as inside, so that no grid point on a boundary
// between cells falls through both.
bool InCell(const TCorners& K, double X, double Y)
{
    bool inside = false;
    for (size_t i = 0, j = K.size() - 1; i < K.size(); j = i++) {
        const TGeometryPoint a = K[j], b = K[i];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double cross = dx * (Y - a.y) - dy * (X - a.x);
        if (std::abs(cross) <= 1e-12 * (dx * dx + dy * dy) && X >= std::min(a.x, b.x) && X <= std::max(a.x, b.x) &&
            Y >= std::min(a.y, b.y) && Y <= std::max(a.y, b.y))
            return true;
        if ((a.y > Y) != (b.y > Y) && X < a.x + (Y - a.y) * dx / dy)
            inside = !inside;
    }
    return inside;
}

struct TExtent {
    double Left = 0.0, Right = 0.0, Bottom = 0.0, Top = 0.0;
};

TExtent ExtentOf(const TCorners& K)
{
    TExtent e{K.front().x, K.front().x, K.front().y, K.front().y};
    for (const TGeometryPoint& p : K) {
        e.Left = std::min(e.Left, p.x);
        e.Right = std::max(e.Right, p.x);
        e.Bottom = std::min(e.Bottom, p.y);
        e.Top = std::max(e.Top, p.y);
    }
    return e;
}

// Points at Step apart across Length, centred on it: their count and the
// first one's offset from the start.
int GridCount(double Length, double Step, double& Offset)
{
    const int count = std::max(1, static_cast<int>(std::floor(Length / Step)) + 1);
    Offset = (Length - (count - 1) * Step) / 2.0;
    return count;
}

TCellGrid GridOver(const std::vector<TCorners>& Corners, std::size_t MaxPoints)
{
    TExtent all = ExtentOf(Corners.front());
    double width = std::numeric_limits<double>::infinity(), height = width;
    for (const TCorners& k : Corners) {
        const TExtent e = ExtentOf(k);
        all = {std::min(all.Left, e.Left), std::max(all.Right, e.Right), std::min(all.Bottom, e.Bottom),
               std::max(all.Top, e.Top)};
        const double w = e.Right - e.Left;
        width = std::min(width, w);
        height = std::min(height, w > 0.0 ? std::abs(SignedLoopArea(k)) / w : 0.0);
    }
    if (!(width > 0.0 && height > 0.0))
        throw EForwardError("A cell of the parameter mesh has no area: nothing was written.");
    TCellGrid grid;
    grid.StepX = width / 2.0;
    grid.StepY = height / 2.0;
    // Counted in doubles first: a grid of tiny cells must not overflow an int.
    const double points = (std::floor((all.Right - all.Left) / grid.StepX) + 1.0) *
                          (std::floor((all.Top - all.Bottom) / grid.StepY) + 1.0);
    // At most 1e8 points whatever is asked: every count then fits an int.
    const double limit = std::clamp(static_cast<double>(MaxPoints), 1.0, 1e8);
    if (points > limit) {
        const double widen = std::sqrt(points / limit) * 1.001;
        grid.StepX *= widen;
        grid.StepY *= widen;
    }
    double offsetX = 0.0, offsetY = 0.0;
    grid.Columns = GridCount(all.Right - all.Left, grid.StepX, offsetX);
    grid.Rows = GridCount(all.Top - all.Bottom, grid.StepY, offsetY);
    while (static_cast<double>(grid.Columns) * grid.Rows > limit && grid.Columns * grid.Rows > 1) {
        grid.StepX *= 1.01;
        grid.StepY *= 1.01;
        grid.Columns = GridCount(all.Right - all.Left, grid.StepX, offsetX);
        grid.Rows = GridCount(all.Top - all.Bottom, grid.StepY, offsetY);
    }
    grid.Left = all.Left + offsetX;
    grid.Top = all.Top - offsetY;
    return grid;
}

// Each grid point's cell: per cell, the points within its extent that lie
// in it; a point on a border keeps the first cell found.
void FillCells(TCellGrid& Grid, const std::vector<TCorners>& Corners)
{
    Grid.Cells.assign(static_cast<size_t>(Grid.Columns) * static_cast<size_t>(Grid.Rows), -1);
    const auto clampIndex = [](double Value, int Count) {
        return static_cast<int>(std::clamp(Value, 0.0, static_cast<double>(Count - 1)));
    };
    for (size_t cell = 0; cell < Corners.size(); ++cell) {
        const TExtent e = ExtentOf(Corners[cell]);
        const int i1 = clampIndex(std::floor((e.Left - Grid.Left) / Grid.StepX), Grid.Columns);
        const int i2 = clampIndex(std::ceil((e.Right - Grid.Left) / Grid.StepX), Grid.Columns);
        const int j1 = clampIndex(std::floor((Grid.Top - e.Top) / Grid.StepY), Grid.Rows);
        const int j2 = clampIndex(std::ceil((Grid.Top - e.Bottom) / Grid.StepY), Grid.Rows);
        for (int j = j1; j <= j2; ++j)
            for (int i = i1; i <= i2; ++i) {
                int& owner = Grid.Cells.at(static_cast<size_t>(j) * static_cast<size_t>(Grid.Columns) +
                                           static_cast<size_t>(i));
                if (owner < 0 && InCell(Corners[cell], Grid.Left + i * Grid.StepX, Grid.Top - j * Grid.StepY))
                    owner = static_cast<int>(cell);
            }
    }
}

TCellGrid CellGridOf(const std::vector<TCorners>& Corners, std::size_t MaxPoints)
{
    TCellGrid grid = GridOver(Corners, MaxPoints);
    FillCells(grid, Corners);
    return grid;
}

} // namespace

std::optional<TInversionFileFormat> InversionFileFormatOf(std::string_view FileName)
{
    const size_t dot = FileName.find_last_of('.');
    const size_t slash = FileName.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    std::string extension(FileName.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (TInversionFileFormat format : {TInversionFileFormat::Table, TInversionFileFormat::Vtk, TInversionFileFormat::Xyz})
        if (extension == InversionFileExtension(format))
            return format;
    return std::nullopt;
}

std::string_view InversionFileExtension(TInversionFileFormat Format)
{
    switch (Format) {
    case TInversionFileFormat::Vtk:
        return "vtk";
    case TInversionFileFormat::Xyz:
        return "xyz";
    case TInversionFileFormat::Table:
        break;
    }
    return "csv";
}

std::string FormatInversionFile(const TInversionMesh& Mesh, const TSurveyInversion& Inversion,
                                TInversionFileFormat Format)
{
    switch (Format) {
    case TInversionFileFormat::Vtk:
        return FormatInversionVtk(Mesh, Inversion);
    case TInversionFileFormat::Xyz:
        return FormatInversionXyz(Mesh, Inversion);
    case TInversionFileFormat::Table:
        break;
    }
    return FormatInversionTable(Mesh, Inversion);
}

std::string FormatInversionVtk(const TInversionMesh& Mesh, const TSurveyInversion& Inversion)
{
    const std::vector<TCorners> corners = CheckedCorners(Mesh, Inversion);
    // Neighbours compute a shared corner by the same arithmetic: equal
    // coordinates are one point, and the grid is connected.
    std::map<std::pair<double, double>, size_t> numbers;
    std::vector<TGeometryPoint> points;
    std::string cells, types;
    size_t entries = 0;
    for (const TCorners& k : corners) {
        entries += k.size() + 1;
        types += k.size() == 4 ? "9\n" : "7\n"; // VTK_QUAD, else VTK_POLYGON
        cells += std::to_string(k.size());
        for (const TGeometryPoint& p : k) {
            const auto [at, added] = numbers.try_emplace({p.x, p.y}, points.size());
            if (added)
                points.push_back(p);
            cells += " " + std::to_string(at->second);
        }
        cells += "\n";
    }
    const size_t count = corners.size();
    std::string text = "# vtk DataFile Version 3.0\n"
                       "Inverted cells: x and elevation in m, resistivity in ohm-m, chargeability in per cent, phase in mrad\n"
                       "ASCII\nDATASET UNSTRUCTURED_GRID\n";
    text += "POINTS " + std::to_string(points.size()) + " double\n";
    for (const TGeometryPoint& p : points)
        text += FormatExactReal(p.x) + " " + FormatExactReal(p.y) + " 0\n";
    text += "CELLS " + std::to_string(count) + " " + std::to_string(entries) + "\n" + cells;
    text += "CELL_TYPES " + std::to_string(count) + "\n" + types;
    text += "CELL_DATA " + std::to_string(count) + "\n";
    text += VtkCellData("resistivity", Inversion.Resistivities);
    if (!Inversion.Chargeabilities.empty())
        text += VtkCellData("chargeability", Inversion.Chargeabilities);
    text += VtkCellData("coverage", Inversion.Coverage);
    if (!Inversion.DepthOfInvestigation.empty())
        text += VtkCellData("doi", Inversion.DepthOfInvestigation);
    if (!Inversion.Phases.empty())
        text += VtkCellData("phase", Inversion.Phases);
    return text;
}

TCellGrid CellGrid(const TInversionMesh& Mesh, std::size_t MaxPoints)
{
    CheckInversionMesh(Mesh);
    std::vector<TCorners> corners;
    for (int cell = 0; cell < Mesh.Cells(); ++cell)
        corners.push_back(CellCorners(Mesh, cell));
    return CellGridOf(corners, MaxPoints);
}

std::string FormatInversionXyz(const TInversionMesh& Mesh, const TSurveyInversion& Inversion)
{
    const TCellGrid grid = CellGridOf(CheckedCorners(Mesh, Inversion), MaxCellGridPoints);
    const bool phases = !Inversion.Phases.empty();
    std::string text = std::string("# x elevation resistivity") + (phases ? " phase" : "") +
                       ": x and elevation in m, resistivity in ohm-m" + (phases ? ", phase in mrad" : "") +
                       ", on a grid of " + ReadableNumber(grid.StepX, 6) + " m by " + ReadableNumber(grid.StepY, 6) +
                       " m, points inside the cells only\n";
    for (int j = 0; j < grid.Rows; ++j)
        for (int i = 0; i < grid.Columns; ++i) {
            const int cell = grid.Cells.at(static_cast<size_t>(j) * static_cast<size_t>(grid.Columns) +
                                           static_cast<size_t>(i));
            if (cell >= 0)
                text += FormatExactReal(grid.Left + i * grid.StepX) + " " + FormatExactReal(grid.Top - j * grid.StepY) +
                        " " + FormatExactReal(Inversion.Resistivities.at(static_cast<size_t>(cell))) +
                        (phases ? " " + FormatExactReal(Inversion.Phases.at(static_cast<size_t>(cell))) : "") + "\n";
        }
    return text;
}

} // namespace lp
