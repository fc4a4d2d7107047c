#pragma once
// The images of a site's lines placed on the map: the fence (every cell at
// its map point and elevation), the volume between the lines, horizontal
// slices at depths below the ground, and the files they are written to.
//
//   lines + images ──FenceCells──> every cell on the map ──FormatFenceCsv
//                  ──InterpolateVolume──> TSiteVolume ──FormatVolumeCsv, FormatVolumeVtk
//                  ──VolumeSlice(Grid)──> the points at a depth ──FormatSliceCsv
//
// Coordinates: x east and y north as the tracks give them (metres), z the
// elevation, depths in metres below the ground; resistivities in ohm-m.
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

// Every cell of every line's image, line by line, cell by cell: Distance
// the cell's centre along the track, Depth its centre's below the mesh's
// surface (CellDepths), X, Y the track's map point there (held at the
// track's end for the side columns beyond it), Z the track's ground there
// minus Depth; the coverage as the site reads it (1 without any, 0 for one
// that is not a finite number, else within 0 .. 1). Refuses what
// InterpolateVolume refuses of the lines and images.
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

// The volume between the lines, interpolated in log10 of the resistivity
// at equal depths below the ground (docs/ARCHITECTURE.md, "Several lines
// of one site"): a grid step of one electrode spacing (the median gap
// between neighbouring electrodes), depths from 0 by half a step down to
// the first at or below the deepest image's bottom, points further than
// half a line spacing from every line left out, Weight the lines' coverage
// there. Refuses (EForwardError, naming the line's file) no line, a count
// of images that is not one per line, a track of fewer than two points, of
// no length, with distances that fall or a number that is not finite, an
// image whose mesh is unusable, whose values are not one per cell or a
// resistivity that is not a finite number above 0.
TSiteVolume InterpolateVolume(const std::vector<TSiteLine>& Lines, const TSiteImages& Images);

// The points at Depth (metres below the ground, any depth, not only the
// volume's) on the volume's grid, in its order (i, then j): the same map
// points as the volume's and, at one of its depths, the same values. Empty
// below the deepest image's bottom. Refuses what InterpolateVolume refuses
// and a depth that is not a finite number at or below the ground (0).
std::vector<TVolumePoint> VolumeSlice(const std::vector<TSiteLine>& Lines, const TSiteImages& Images, double Depth);

// VolumeSlice's points with the grid they lie on (X0, Y0, Step, Nx, Ny as
// InterpolateVolume's, Depths {Depth}): a point stands for the square of
// Step around it.
TSiteVolume VolumeSliceGrid(const std::vector<TSiteLine>& Lines, const TSiteImages& Images, double Depth);

// The files: a header row, then one row per cell or point; every number
// the shortest text that reads back as the same double. A value that is
// not a finite number, a cell of no line or (VTK) a point off the
// volume's grid is refused (EForwardError) before any text is made.
// FormatFenceCsv: line,distance,depth,x,y,z,resistivity,coverage (the line
// by its name, quoted where it holds a comma, quote or line end);
// FormatVolumeCsv: x,y,z,depth,resistivity; FormatSliceCsv: x,y,z,resistivity.
std::string FormatFenceCsv(const std::vector<TSiteLine>& Lines, const std::vector<TFenceCell>& Cells);
std::string FormatVolumeCsv(const TSiteVolume& Volume);
std::string FormatSliceCsv(const std::vector<TVolumePoint>& Slice);

// FormatVolumeVtk: a legacy ASCII VTK unstructured grid, points at x, y
// and elevation z; a hexahedron between eight grid neighbours that all hold
// a point, a vertex for any point in none; point arrays resistivity
// (ohm-m) and weight (0 .. 1).
std::string FormatVolumeVtk(const TSiteVolume& Volume);

} // namespace lp
