#include "section/site/SiteVolume.h"

#include "section/model/ModelGeometryText.h"
#include "section/site/LineImageSampler.h"
#include "section/site/SiteTrack.h"
#include "section/survey/ModellingError.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace lp {

namespace {

// The most points a volume's grid may hold (over its whole box, before the
// points far from every line are left out): beyond it the grid's step grows.
constexpr double MaxGridPoints = 4.0e6;
// A line's weight at a map point is (W - r) / (W (r + e)) where it is
// positive: r its distance from the map point, W the nearest line's
// distance plus the line spacing (a line beyond a nearer one, a spacing
// further, weighs nothing) and e CloseSpacings electrode spacings (no
// infinite weight on the line itself).
constexpr double CloseSpacings = 0.05;
// A line's say in the resistivity is its weight times its coverage there
// plus this floor: well covered images win where lines meet, and a point
// where every image's coverage is 0 still takes the weighted mean.
constexpr double CoverageFloor = 0.05;
// The line spacing of a site of one line, in electrode spacings.
constexpr double SingleLineSpacing = 2.0;

double SpacingMedian(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    const size_t n = Values.size();
    return n % 2 == 1 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2.0;
}

// The median gap between neighbouring electrodes along the lines.
double ElectrodeSpacing(const std::vector<TSiteLine>& Lines)
{
    std::vector<double> gaps;
    for (const TSiteLine& line : Lines)
        for (size_t i = 1; i < line.Track.size(); ++i)
            if (line.Track[i].Distance > line.Track[i - 1].Distance)
                gaps.push_back(line.Track[i].Distance - line.Track[i - 1].Distance);
    return SpacingMedian(gaps); // every track checked has length: gaps is not empty
}

// How far apart the lines run: for each line, the median distance of its
// points from the nearest other line (a line crossing it lies far from
// most of its points, a neighbour beside it near all of them); the median
// of these over the lines. At least one electrode spacing.
double LineSpacing(const std::vector<TSiteLine>& Lines, double Electrodes)
{
    if (Lines.size() < 2)
        return SingleLineSpacing * Electrodes;
    std::vector<double> nearest;
    for (size_t l = 0; l < Lines.size(); ++l) {
        double least = -1.0;
        for (size_t m = 0; m < Lines.size(); ++m) {
            if (m == l)
                continue;
            std::vector<double> offsets;
            for (const TTrackPoint& p : Lines[l].Track)
                offsets.push_back(NearestTrackPlace(Lines[m].Track, p.X, p.Y).Offset);
            const double median = SpacingMedian(offsets);
            least = least < 0.0 ? median : std::min(least, median);
        }
        nearest.push_back(least);
    }
    return std::max(SpacingMedian(nearest), Electrodes);
}

// A line's place near a map point and its weight there.
struct TLineReach {
    size_t Line = 0;
    double Distance = 0.0; // along the line's track
    double Weight = 0.0;
};

// A map point of the volume's grid with the lines that reach it.
struct TMapColumn {
    double X = 0.0, Y = 0.0;
    double Ground = 0.0; // the ground's elevation, weighted between the lines
    std::vector<TLineReach> Lines;
};

// The site's lines as the volume reads them.
class TSiteField {
public:
    TSiteField(const std::vector<TSiteLine>& Lines, const TSiteImages& Images) : FLines(Lines)
    {
        if (Lines.empty())
            throw EForwardError("There is no line to place on the map.");
        if (Images.Images.size() != Lines.size())
            throw EForwardError("There are " + std::to_string(Images.Images.size()) + " images for " +
                                std::to_string(Lines.size()) + " lines.");
        for (size_t l = 0; l < Lines.size(); ++l) {
            CheckTrack(Lines[l]);
            FSamplers.emplace_back(Images.Images[l], SiteLineLabel(Lines[l]));
            FDeepest = std::max(FDeepest, FSamplers.back().DeepestDepth());
        }
        FElectrodeSpacing = ElectrodeSpacing(Lines);
        FLineSpacing = LineSpacing(Lines, FElectrodeSpacing);
    }

    double ElectrodeSpacingOf() const { return FElectrodeSpacing; }
    double Reach() const { return FLineSpacing / 2.0; } // the farthest a meaningful point lies from a line
    double Deepest() const { return FDeepest; }

    // The map point's column; none beyond Reach() from every line.
    std::optional<TMapColumn> ColumnAt(double X, double Y) const
    {
        const double close = CloseSpacings * FElectrodeSpacing;
        std::vector<TTrackPlace> places;
        double nearest = -1.0;
        for (const TSiteLine& line : FLines) {
            places.push_back(NearestTrackPlace(line.Track, X, Y));
            nearest = nearest < 0.0 ? places.back().Offset : std::min(nearest, places.back().Offset);
        }
        const double influence = nearest + FLineSpacing;
        TMapColumn column{X, Y, 0.0, {}};
        double weights = 0.0, ground = 0.0;
        for (size_t l = 0; l < places.size(); ++l) {
            const double weight = (influence - places[l].Offset) / (influence * (places[l].Offset + close));
            if (!(weight > 0.0))
                continue;
            column.Lines.push_back({l, places[l].Distance, weight});
            weights += weight;
            ground += weight * places[l].Z;
        }
        // A point half way between two lines is as near to either as
        // Reach(): kept, whatever the rounding of its distances.
        if (nearest > Reach() * (1.0 + 1e-9) || !(weights > 0.0))
            return std::nullopt;
        column.Ground = ground / weights;
        return column;
    }

    // The point of Column at Depth below its ground.
    TVolumePoint PointAt(const TMapColumn& Column, double Depth) const
    {
        double say = 0.0, logs = 0.0, weights = 0.0, coverage = 0.0;
        for (const TLineReach& reach : Column.Lines) {
            const TImageSample sample = FSamplers[reach.Line].At(reach.Distance, Depth);
            const double share = reach.Weight * (sample.Coverage + CoverageFloor);
            say += share;
            logs += share * sample.LogResistivity;
            weights += reach.Weight;
            coverage += reach.Weight * sample.Coverage;
        }
        return {Column.X, Column.Y, Column.Ground - Depth, Depth, std::pow(10.0, logs / say),
                std::clamp(coverage / weights, 0.0, 1.0)};
    }

private:
    const std::vector<TSiteLine>& FLines;
    std::vector<TLineImageSampler> FSamplers;
    double FElectrodeSpacing = 0.0, FLineSpacing = 0.0, FDeepest = 0.0;
};

bool FiniteVolumePoint(const TVolumePoint& P)
{
    return std::isfinite(P.X) && std::isfinite(P.Y) && std::isfinite(P.Z) && std::isfinite(P.Depth) &&
           std::isfinite(P.Resistivity) && std::isfinite(P.Weight);
}

// The depths of the volume: from the surface by half the grid's step, the
// first at or below Deepest the last.
std::vector<double> VolumeDepths(double Step, double Deepest)
{
    std::vector<double> depths;
    const double dz = Step / 2.0;
    const auto count = static_cast<size_t>(std::ceil(Deepest / dz - 1e-9));
    for (size_t k = 0; k <= count; ++k)
        depths.push_back(static_cast<double>(k) * dz);
    return depths;
}

// The volume's grid over the tracks' box widened by Reach() on each side,
// the step one electrode spacing, coarser only where that box would hold
// more than MaxGridPoints.
TSiteVolume VolumeGrid(const std::vector<TSiteLine>& Lines, const TSiteField& Field)
{
    double left = Lines.front().Track.front().X, right = left;
    double low = Lines.front().Track.front().Y, high = low;
    for (const TSiteLine& line : Lines)
        for (const TTrackPoint& p : line.Track) {
            left = std::min(left, p.X), right = std::max(right, p.X);
            low = std::min(low, p.Y), high = std::max(high, p.Y);
        }
    TSiteVolume volume;
    volume.X0 = left - Field.Reach();
    volume.Y0 = low - Field.Reach();
    const double width = right - left + 2.0 * Field.Reach(), height = high - low + 2.0 * Field.Reach();
    double step = Field.ElectrodeSpacingOf();
    while ((width / step + 1.0) * (height / step + 1.0) * (Field.Deepest() / step * 2.0 + 2.0) > MaxGridPoints)
        step *= 1.25;
    volume.Step = step;
    volume.Nx = static_cast<int>(std::floor(width / step + 1e-9)) + 1;
    volume.Ny = static_cast<int>(std::floor(height / step + 1e-9)) + 1;
    volume.Depths = VolumeDepths(step, Field.Deepest());
    return volume;
}

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
std::string NumberRow(std::initializer_list<double> Values, const char* What)
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
        static_cast<double>(Volume.Nx) * static_cast<double>(Volume.Ny) * static_cast<double>(nz) > 1.01 * MaxGridPoints)
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
        text += NumberRow({p.*Value}, "volume");
    return text;
}

} // namespace

std::vector<TFenceCell> FenceCells(const std::vector<TSiteLine>& Lines, const TSiteImages& Images)
{
    if (Images.Images.size() != Lines.size())
        throw EForwardError("There are " + std::to_string(Images.Images.size()) + " images for " +
                            std::to_string(Lines.size()) + " lines.");
    std::vector<TFenceCell> cells;
    for (size_t l = 0; l < Lines.size(); ++l) {
        const TSiteLine& line = Lines[l];
        const TLineImage& image = Images.Images[l];
        CheckTrack(line);
        CheckLineImage(image, SiteLineLabel(line));
        for (int cell = 0; cell < image.Mesh.Cells(); ++cell) {
            double top = 0.0, bottom = 0.0;
            CellDepths(image.Mesh, cell, top, bottom);
            const double distance = CellCentre(image.Mesh, cell).x, depth = (top + bottom) / 2.0;
            const TTrackPoint place = PointAlongTrack(line.Track, distance);
            cells.push_back({l, cell, distance, depth, place.X, place.Y, place.Z - depth,
                             image.Resistivities[static_cast<size_t>(cell)], CellCoverage(image, cell)});
        }
    }
    return cells;
}

TSiteVolume InterpolateVolume(const std::vector<TSiteLine>& Lines, const TSiteImages& Images)
{
    const TSiteField field(Lines, Images);
    TSiteVolume volume = VolumeGrid(Lines, field);
    for (int j = 0; j < volume.Ny; ++j)
        for (int i = 0; i < volume.Nx; ++i) {
            const std::optional<TMapColumn> column = field.ColumnAt(volume.X0 + i * volume.Step, volume.Y0 + j * volume.Step);
            if (!column)
                continue;
            for (double depth : volume.Depths) {
                const TVolumePoint point = field.PointAt(*column, depth);
                if (FiniteVolumePoint(point))
                    volume.Points.push_back(point);
            }
        }
    return volume;
}

std::vector<TVolumePoint> VolumeSlice(const std::vector<TSiteLine>& Lines, const TSiteImages& Images, double Depth)
{
    if (!std::isfinite(Depth) || Depth < 0.0)
        throw EForwardError("A slice's depth must be a finite number of metres at or below the ground.");
    const TSiteField field(Lines, Images);
    const TSiteVolume grid = VolumeGrid(Lines, field);
    std::vector<TVolumePoint> slice;
    if (Depth > field.Deepest())
        return slice;
    for (int j = 0; j < grid.Ny; ++j)
        for (int i = 0; i < grid.Nx; ++i) {
            const std::optional<TMapColumn> column = field.ColumnAt(grid.X0 + i * grid.Step, grid.Y0 + j * grid.Step);
            if (!column)
                continue;
            const TVolumePoint point = field.PointAt(*column, Depth);
            if (FiniteVolumePoint(point))
                slice.push_back(point);
        }
    return slice;
}

std::string FormatFenceCsv(const std::vector<TSiteLine>& Lines, const std::vector<TFenceCell>& Cells)
{
    std::string text = "line,distance,depth,x,y,z,resistivity,coverage\n";
    for (const TFenceCell& cell : Cells) {
        if (cell.Line >= Lines.size())
            throw EForwardError("A cell of the fence belongs to no line: nothing was written.");
        text += QuotedCsvField(Lines[cell.Line].Name) + "," +
                NumberRow({cell.Distance, cell.Depth, cell.X, cell.Y, cell.Z, cell.Resistivity, cell.Coverage}, "fence");
    }
    return text;
}

std::string FormatVolumeCsv(const TSiteVolume& Volume)
{
    std::string text = "x,y,z,depth,resistivity\n";
    for (const TVolumePoint& p : Volume.Points)
        text += NumberRow({p.X, p.Y, p.Z, p.Depth, p.Resistivity}, "volume");
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
        text += NumberRow({p.X, p.Y, p.Z, p.Resistivity}, "slice");
    return text;
}

} // namespace lp
