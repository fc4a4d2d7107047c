#pragma once
// Series settings text: a series' appearance (colours, brush, pen, marks
// with their callout, and for line and point series the line pen and the
// pointer) as one line of text, and back. No points, titles or axes.
//
// Fields are joined by "~" in the general form of the appearance texts
// (PlotAppearance.h): integers plain decimal, Booleans 0/1, enumerations by
// ordinal, colours signed decimal, brushes, pens, gradients, fonts and
// shadows as their own texts.
//
//   0 .. 40  common fields (SeriesColor twice, ColorEachPoint, Brush, Pen,
//            Cursor, the marks and their callout, FunctionResultCentered,
//            marks Transparent)
//   41       the gallery name of the series type, blanks written as "*"
//   then     line or point series: 42 line pen, 43 "1", 44 .. 53 pointer
//            (colour, brush, Dark3D, gradient, HorizSize, pen, style,
//            VertSize, Visible, pen); a class with registered fields: its
//            fields, then "0"; other series: 42 "0"
//   last     marks DrawEvery
//
// So a line or point series gives 55 fields, any other series 44.
//
// Reading splits the text at "~" only: every field keeps its place, so an
// empty field (or a lone "*") where a brush, pen, gradient, font or shadow
// text is expected leaves that part of the series as it is. The gallery
// field is compared after "*" becomes a blank, so "Fast*Line" and an older
// text carrying "Fast Line" both match a fast line series. The integer,
// Boolean, ordinal and colour fields of the text itself must be whole
// numbers in plain decimal; the numbers inside a brush, pen, gradient, font
// or shadow text are read as those texts' own readers read them (a point or
// a comma, rounded to the nearest integer).
//
// A text is not applied (false, nothing changes) when it has fewer than 42
// fields, when its gallery field differs from the series type's gallery
// name (letter case included) or contains "error" in any letter case.
// Otherwise the whole text is read and checked before anything is applied:
// a field that is not a number, an ordinal out of range, a pixel size out
// of its range (pointer sizes 1 .. MaxPixelLength, bevel width 0 ..
// MaxPixelLength, callout and arrow lengths +-MaxPixelLength), an appearance text
// with too few fields or a pointer block cut short raises (EConvertError,
// ERangeError or an index error) and leaves the series unchanged.

#include <QtCore/QChar>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

class QMetaObject;

namespace lp {

class TChartSeries;

// Fields of a series class outside the engine (the error and high-low
// series of the extensions), written after the gallery name in place of the
// line pen, then "0" and DrawEvery. The unit that defines the class
// registers them at start-up.
struct TSeriesSettingsClassFields {
    // This class and its descendants; a descendant with a registration of
    // its own uses that one.
    const QMetaObject* Class = nullptr;
    int Count = 0;
    // The Count words of a series.
    std::function<QStringList(const TChartSeries& Series)> Write;
    // Checks Count words (raising on a malformed one) and returns what
    // applies them, so that a refused text changes nothing.
    std::function<std::function<void(TChartSeries& Series)>(const QStringList& Words)> Read;
};
void RegisterSeriesSettingsClassFields(const TSeriesSettingsClassFields& Fields);
void UnregisterSeriesSettingsClassFields(const QMetaObject* Class);

inline constexpr QChar SeriesSettingsSeparator = QLatin1Char('~');
// Fields every text must have (0 .. 41).
inline constexpr int SeriesSettingsCommonFieldCount = 42;
// Index of the gallery name field.
inline constexpr int SeriesSettingsGalleryField = 41;

// An empty text for nullptr.
QString SeriesSettingsToText(const TChartSeries* Series);

// Applies Text to Series. Returns false when nothing was applied: no series,
// an empty text, or a text refused by the rules above; raises for a
// malformed text (the series stays unchanged).
bool SeriesSettingsFromText(TChartSeries* Series, const QString& Text);

// Fills ChartEditorEntryPoints().SeriesSettingsFromText (the series menu's
// "Default"). Called by RegisterAppearanceTexts.
void RegisterSeriesSettingsTexts();

} // namespace lp
