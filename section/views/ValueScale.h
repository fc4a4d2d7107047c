#pragma once
// A labelled value scale drawn on any chart canvas (the mesh chart's colour
// bar uses it), and its two tick choosers.
//
// The choosers measure label text through a callback, so the choice can be
// computed (and tested) without fonts; the canvas forms measure with the
// canvas's current font.

#include "platform/graphics/GraphicsTypes.h"
#include "section/model/NumberArrays.h"

#include <QtCore/QString>

#include <functional>

namespace lp {

class TPlotCanvas;

using TTextMeasure = std::function<TSize(const QString& Text)>;

// Ticks for a vertical scale of Length pixels over [Lo, Hi]: multiples of a
// step near 1, 2 or 5 times a power of ten whose labels fill about 70 % of
// the length. Unchanged when Hi = Lo; one tick at the middle when the
// length holds no more than three label heights.
void NiceTicksByHeight(const TTextMeasure& Measure, int Length, arofdoubleM& Ticks, double Lo, double Hi);
// The same for a horizontal scale, by label widths, filling about 50 %.
void NiceTicksByWidth(const TTextMeasure& Measure, int Length, arofdoubleM& Ticks, double Lo, double Hi);
void NiceTicksByHeight(TPlotCanvas& Canvas, int Length, arofdoubleM& Ticks, double Lo, double Hi);
void NiceTicksByWidth(TPlotCanvas& Canvas, int Length, arofdoubleM& Ticks, double Lo, double Hi);

// The label text of tick i of Ticks: fixed point with as many decimals as
// the tick, its neighbour and their difference need.
QString TickLabel(const arofdoubleM& Ticks, int I);

// Draws a value scale: Orientation 0 horizontal, 1 vertical (anything else
// nothing). Opposite puts the labels left of a vertical line, below a
// horizontal one. Mode 0 linear, 1 logarithmic, 2 symmetric logarithmic
// with constant C (vertical only); Descending puts Max at the top.
void DrawValueScale(TPlotCanvas& Canvas, int Orientation, bool Opposite, int Mode, double Min, double Max, int X,
                    int Y, int Length, double C, const QString& Title, const QString& TitleFontName,
                    bool Descending);

} // namespace lp
