#include "section/site/SiteVolume.h"

#include "section/site/LineImageSampler.h"
#include "section/site/SiteTrack.h"
#include "section/site/SiteVolume_p.h"
#include "section/survey/ModellingError.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace lp {

namespace {

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
double MedianElectrodeGap(const std::vector<TSiteLine>& Lines)
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
double SiteLineSpacing(const std::vector<TSiteLine>& Lines, double Electrodes)
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

void CheckImageCount(const std::vector<TSiteLine>& Lines, const TSiteImages& Images)
{
    if (Images.Images.size() != Lines.size())
        throw EForwardError("There are " + std::to_string(Images.Images.size()) + " images for " +
                            std::to_string(Lines.size()) + " lines.");
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
        CheckImageCount(Lines, Images);
        for (size_t l = 0; l < Lines.size(); ++l) {
            CheckTrack(Lines[l]);
            FSamplers.emplace_back(Images.Images[l], SiteLineLabel(Lines[l]));
            FDeepest = std::max(FDeepest, FSamplers.back().DeepestDepth());
        }
        FElectrodeSpacing = MedianElectrodeGap(Lines);
        FLineSpacing = SiteLineSpacing(Lines, FElectrodeSpacing);
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
// more than MaxVolumeGridPoints.
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
    if (!std::isfinite(width) || !std::isfinite(height))
        throw EForwardError("The lines spread further than a grid can cover.");
    double step = Field.ElectrodeSpacingOf();
    while ((width / step + 1.0) * (height / step + 1.0) * (Field.Deepest() / step * 2.0 + 2.0) > MaxVolumeGridPoints)
        step *= 1.25;
    volume.Step = step;
    volume.Nx = static_cast<int>(std::floor(width / step + 1e-9)) + 1;
    volume.Ny = static_cast<int>(std::floor(height / step + 1e-9)) + 1;
    volume.Depths = VolumeDepths(step, Field.Deepest());
    return volume;
}

// The points of Volume's grid at its depths (k fastest, then i, j), those
// too far from every line left out.
void FillVolume(const TSiteField& Field, TSiteVolume& Volume)
{
    for (int j = 0; j < Volume.Ny; ++j)
        for (int i = 0; i < Volume.Nx; ++i) {
            const std::optional<TMapColumn> column = Field.ColumnAt(Volume.X0 + i * Volume.Step, Volume.Y0 + j * Volume.Step);
            if (!column)
                continue;
            for (double depth : Volume.Depths) {
                const TVolumePoint point = Field.PointAt(*column, depth);
                if (FiniteVolumePoint(point))
                    Volume.Points.push_back(point);
            }
        }
}

} // namespace

std::vector<TFenceCell> FenceCells(const std::vector<TSiteLine>& Lines, const TSiteImages& Images)
{
    CheckImageCount(Lines, Images);
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
            const TTrackPoint place = TrackPointAt(line.Track, distance);
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
    FillVolume(field, volume);
    return volume;
}

TSiteVolume VolumeSliceGrid(const std::vector<TSiteLine>& Lines, const TSiteImages& Images, double Depth)
{
    if (!std::isfinite(Depth) || Depth < 0.0)
        throw EForwardError("A slice's depth must be a finite number of metres at or below the ground.");
    const TSiteField field(Lines, Images);
    TSiteVolume slice = VolumeGrid(Lines, field);
    slice.Depths = {Depth};
    if (Depth <= field.Deepest())
        FillVolume(field, slice);
    return slice;
}

std::vector<TVolumePoint> VolumeSlice(const std::vector<TSiteLine>& Lines, const TSiteImages& Images, double Depth)
{
    return VolumeSliceGrid(Lines, Images, Depth).Points;
}

} // namespace lp
