#pragma once
// The images of a site's lines placed on the map: the fence (every cell at
// its map point and elevation), the volume between the lines, horizontal
// slices at depths below the ground, and the files they are written to.
#include "section/site/SiteInversion.h"

#include <string>
#include <vector>

namespace lp {

// A cell of a line's image at its centre on the map.
struct TFenceCell {
    size_t Line = 0;
    int Cell = 0;
    double Distance = 0.0, Depth = 0.0; // along the track; below the ground
    double X = 0.0, Y = 0.0, Z = 0.0;   // map point; elevation: ground - depth
    double Resistivity = 0.0, Coverage = 0.0;
};

std::vector<TFenceCell> FenceCells(const std::vector<TSiteLine>& Lines, const TSiteImages& Images);

// A point of the volume or of a slice.
struct TVolumePoint {
    double X = 0.0, Y = 0.0, Z = 0.0, Depth = 0.0;
    double Resistivity = 0.0;
    double Weight = 0.0; // 0 .. 1: how much the lines near it say of it
};

struct TSiteVolume {
    // A grid of Nx × Ny map points, X0 + i Step, Y0 + j Step, each with the
    // depths below the ground Depths; Points in order (k fastest, then i, j).
    double X0 = 0.0, Y0 = 0.0, Step = 0.0;
    int Nx = 0, Ny = 0;
    std::vector<double> Depths;
    std::vector<TVolumePoint> Points; // only those that mean something
};

TSiteVolume InterpolateVolume(const std::vector<TSiteLine>& Lines, const TSiteImages& Images);
std::vector<TVolumePoint> VolumeSlice(const std::vector<TSiteLine>& Lines, const TSiteImages& Images, double Depth);

std::string FormatFenceCsv(const std::vector<TSiteLine>& Lines, const std::vector<TFenceCell>& Cells);
std::string FormatVolumeCsv(const TSiteVolume& Volume);
std::string FormatSliceCsv(const std::vector<TVolumePoint>& Slice);
std::string FormatVolumeVtk(const TSiteVolume& Volume);

} // namespace lp
