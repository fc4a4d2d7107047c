#pragma once
// The site's charts as the "Several lines" window shows them: the site map
// (each line's track with its electrodes, the crossings), the fence (each
// line's image standing on its track at its map place and elevation, in
// the chart's 3-D canvas) and a horizontal slice (a colour grid on the
// map). Every chart takes its colours from one function, the window's
// common scale of resistivity, so that a colour means the same value
// everywhere.
//
//   TSiteLine + TTrackPoint ──ShowSiteMap───> TChart (a line series per track, a point series of crossings)
//   TLineImage + track     ──ShowFenceCells─> TSiteFenceSeries (a quadrilateral per cell)
//   VolumeSlice's points   ──ShowSliceCells─> TColorGridSeries (a cell per grid point)

#include "platform/graphics/GraphicsTypes.h"
#include "section/site/SiteInversion.h"
#include "section/site/SiteVolume.h"

#include <QtCore/QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace lp {

class TChart;
class TColorGridSeries;
class TPlotCanvas;
class TSiteFenceSeries;

// A resistivity's colour (0x00BBGGRR).
using TValueColour = std::function<TColor(double Resistivity)>;

// The lines' colours on the map and the slices: one per line, repeating.
TColor SiteLineColor(size_t Line);

// The common scale of the images (ohm-m, low to high): the 2nd to the 98th
// percentile of every line's cells the data see (CoveredScale over all
// cells together). None without a finite resistivity.
std::optional<std::pair<double, double>> SiteScale(const TSiteImages& Images);

// The map: Chart's series replaced by a line series per track (its
// electrodes as points, the line's name in the legend) and a point series
// of the crossings; the axes in metres east and north.
void ShowSiteMap(TChart& Chart, const std::vector<TSiteLine>& Lines, const std::vector<TCrossing>& Crossings);

// The part of the map the lines cover (metres east and north), a twentieth
// of its size around it; empty (Right not above Left) without a track
// point.
struct TMapBox {
    double Left = 0.0, Bottom = 0.0, Right = 0.0, Top = 0.0;
};
TMapBox SiteMapBox(const std::vector<TSiteLine>& Lines);

// Chart's bottom and left axes set to show Box at one scale (a metre as
// many pixels east as north), the shorter side widened around its middle,
// for the chart's rectangle as last painted; a repaint is asked for (once
// the paint under way is over) when they changed, so a chart calls it
// after each paint and its next paint shows the map at one scale.
// Automatic axes for an empty box.
void ShowAtOneScale(TChart& Chart, const TMapBox& Box);

// The tracks as thin lines over a chart of the map (a slice), added to
// the series it has.
void AddTracks(TChart& Chart, const std::vector<TSiteLine>& Lines);

// A cell's colour faded toward white by its coverage when Fade: the same
// fade the line images show.
TColor ShownCellColour(const TValueColour& Colour, double Resistivity, double Coverage, bool Fade);

// The fence: every cell of each line's image (within its track's ends) as
// a quadrilateral at its corners' map points and elevations (x east, the
// elevation, y north). The number of cells drawn.
int ShowFenceCells(TSiteFenceSeries& Fence, const std::vector<TSiteLine>& Lines, const TSiteImages& Images,
                   const TValueColour& Colour, bool Fade);

// A slice's points (on the volume's grid, VolumeSlice) as cells of an
// irregular colour grid centred on them, X east, Z north; the grid's nodes
// without a point hidden. Weight below 1 fades the colour when Fade. The
// number of cells shown.
int ShowSliceCells(TColorGridSeries& Grid, const std::vector<TVolumePoint>& Slice, const TValueColour& Colour,
                   bool Fade);

// A vertical colour bar of the logarithmic scale Low .. High (high at the
// top) in Bar, its labels to the right, Title above.
void DrawSiteColorBar(TPlotCanvas& Canvas, const TRect& Bar, double Low, double High, const TValueColour& Colour,
                      const QString& Title);

// Depths typed as "2, 5, 10" (parted by commas, semicolons or blanks,
// decimals with a point, as the command line takes them): each 0 (the
// surface) or more and finite, as typed (for the files' names) and as a number, in the
// order typed, a repeated one once. None, with the reason in Error, when
// one is no such number or none is typed.
struct TTypedDepth {
    QString Text;
    double Depth = 0.0;
};
std::optional<std::vector<TTypedDepth>> ReadSliceDepths(const QString& Text, QString& Error);

} // namespace lp
