// The files of the fence, the volume and its slices (SiteVolume.h).
#include "section/site/SiteVolume.h"

#include "section/model/ModelGeometryText.h"
#include "section/site/SiteVolume_p.h"
#include "section/survey/ModellingError.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

std::string QuotedCsvField(const std::string& Text)
{
    if (Text.find_first_of(",\"\r\n") == std::string::npos)
        return Text;
    std::string quoted = "\"";
    for (char c : Text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The numbers of a row, each the shortest text that reads back as it;
// a number that is not finite is refused before any text is made.
std::string VolumeNumberRow(std::initializer_list<double> Values, const char* What)
{
    std::string row;
    for (double value : Values) {
        if (!std::isfinite(value))
            throw EForwardError(std::string("A value of the ") + What + " is not a finite number: nothing was written.");
        row += (row.empty() ? "" : ",") + FormatExactReal(value);
    }
    return row + "\n";
}

// Each grid place (i, j, k, k fastest) the number of the point there, -1
// where the volume left none; refuses a point off the grid.
std::vector<long> GridNumbers(const TSiteVolume& Volume)
{
    const auto nz = static_cast<long>(Volume.Depths.size());
    const auto off = [] { return EForwardError("A point of the volume lies off its grid: nothing was written."); };
    if (Volume.Nx < 0 || Volume.Ny < 0 ||
        static_cast<double>(Volume.Nx) * static_cast<double>(Volume.Ny) * static_cast<double>(nz) > 1.01 * MaxVolumeGridPoints)
        throw off();
    std::vector<long> numbers(static_cast<size_t>(Volume.Nx) * static_cast<size_t>(Volume.Ny) * static_cast<size_t>(nz), -1);
    for (size_t n = 0; n < Volume.Points.size(); ++n) {
        const TVolumePoint& p = Volume.Points[n];
        const double fi = (p.X - Volume.X0) / Volume.Step, fj = (p.Y - Volume.Y0) / Volume.Step;
        if (!(Volume.Step > 0.0) || !std::isfinite(fi) || !std::isfinite(fj))
            throw off();
        const double ri = std::round(fi), rj = std::round(fj);
        const auto k = std::lower_bound(Volume.Depths.begin(), Volume.Depths.end(), p.Depth) - Volume.Depths.begin();
        if (std::abs(fi - ri) > 1e-6 || std::abs(fj - rj) > 1e-6 || ri < 0 || rj < 0 || ri >= Volume.Nx ||
            rj >= Volume.Ny || k >= nz || Volume.Depths[static_cast<size_t>(k)] != p.Depth)
            throw off();
        numbers[static_cast<size_t>((static_cast<long>(rj) * Volume.Nx + static_cast<long>(ri)) * nz + k)] =
            static_cast<long>(n);
    }
    return numbers;
}

// The volume's cells: a hexahedron (VTK_HEXAHEDRON, its lower face first,
// counter-clockwise seen from above) between every eight grid neighbours
// that all hold a point, and a vertex (VTK_VERTEX) for each point in none,
// so that every point is drawn. Appends the cells' lines and types.
void VolumeCells(const TSiteVolume& Volume, std::string& Cells, std::string& Types, size_t& Count, size_t& Entries)
{
    const std::vector<long> numbers = GridNumbers(Volume);
    const auto nz = static_cast<long>(Volume.Depths.size());
    const auto at = [&](long i, long j, long k) {
        return numbers[static_cast<size_t>((j * Volume.Nx + i) * nz + k)];
    };
    std::vector<bool> used(Volume.Points.size(), false);
    for (long j = 0; j + 1 < Volume.Ny; ++j)
        for (long i = 0; i + 1 < Volume.Nx; ++i)
            for (long k = 0; k + 1 < nz; ++k) {
                const long corners[8] = {at(i, j, k + 1), at(i + 1, j, k + 1), at(i + 1, j + 1, k + 1), at(i, j + 1, k + 1),
                                         at(i, j, k),     at(i + 1, j, k),     at(i + 1, j + 1, k),     at(i, j + 1, k)};
                if (std::any_of(std::begin(corners), std::end(corners), [](long n) { return n < 0; }))
                    continue;
                Cells += "8";
                for (long n : corners) {
                    Cells += " " + std::to_string(n);
                    used[static_cast<size_t>(n)] = true;
                }
                Cells += "\n";
                Types += "12\n";
                ++Count, Entries += 9;
            }
    for (size_t n = 0; n < used.size(); ++n)
        if (!used[n]) {
            Cells += "1 " + std::to_string(n) + "\n";
            Types += "1\n";
            ++Count, Entries += 2;
        }
}

std::string VtkPointData(const char* Name, const std::vector<TVolumePoint>& Points, double TVolumePoint::*Value)
{
    std::string text = std::string("SCALARS ") + Name + " double 1\nLOOKUP_TABLE default\n";
    for (const TVolumePoint& p : Points)
        text += VolumeNumberRow({p.*Value}, "volume");
    return text;
}

} // namespace

std::string FormatFenceCsv(const std::vector<TSiteLine>& Lines, const std::vector<TFenceCell>& Cells)
{
    std::string text = "line,distance,depth,x,y,z,resistivity,coverage\n";
    for (const TFenceCell& cell : Cells) {
        if (cell.Line >= Lines.size())
            throw EForwardError("A cell of the fence belongs to no line: nothing was written.");
        text += QuotedCsvField(Lines[cell.Line].Name) + "," +
                VolumeNumberRow({cell.Distance, cell.Depth, cell.X, cell.Y, cell.Z, cell.Resistivity, cell.Coverage}, "fence");
    }
    return text;
}

std::string FormatVolumeCsv(const TSiteVolume& Volume)
{
    std::string text = "x,y,z,depth,resistivity\n";
    for (const TVolumePoint& p : Volume.Points)
        text += VolumeNumberRow({p.X, p.Y, p.Z, p.Depth, p.Resistivity}, "volume");
    return text;
}

std::string FormatVolumeVtk(const TSiteVolume& Volume)
{
    std::string points;
    for (const TVolumePoint& p : Volume.Points) {
        if (!FiniteVolumePoint(p))
            throw EForwardError("A value of the volume is not a finite number: nothing was written.");
        points += FormatExactReal(p.X) + " " + FormatExactReal(p.Y) + " " + FormatExactReal(p.Z) + "\n";
    }
    std::string cells, types;
    size_t count = 0, entries = 0;
    VolumeCells(Volume, cells, types, count, entries);
    std::string text = "# vtk DataFile Version 3.0\n"
                       "Resistivity between the lines of a site: x east, y north and z elevation in m, resistivity "
                       "in ohm-m, weight 0 .. 1\nASCII\nDATASET UNSTRUCTURED_GRID\n";
    text += "POINTS " + std::to_string(Volume.Points.size()) + " double\n" + points;
    text += "CELLS " + std::to_string(count) + " " + std::to_string(entries) + "\n" + cells;
    text += "CELL_TYPES " + std::to_string(count) + "\n" + types;
    text += "POINT_DATA " + std::to_string(Volume.Points.size()) + "\n";
    text += VtkPointData("resistivity", Volume.Points, &TVolumePoint::Resistivity);
    text += VtkPointData("weight", Volume.Points, &TVolumePoint::Weight);
    return text;
}

std::string FormatSliceCsv(const std::vector<TVolumePoint>& Slice)
{
    std::string text = "x,y,z,resistivity\n";
    for (const TVolumePoint& p : Slice)
        text += VolumeNumberRow({p.X, p.Y, p.Z, p.Resistivity}, "slice");
    return text;
}

} // namespace lp
