#pragma once
// Appearance texts: the settings of a brush, pen, gradient, font, shadow or
// a whole axis as one line of text, and back.
//
// Every kind joins its fields with its own separator, so that a text of one
// kind can stand as one field of another: brush "#", gradient "$", font "^",
// pen "&", shadow "@", axis "~". Integers are plain decimal, Booleans 0/1,
// enumerations their ordinal, colours the signed decimal of the colour value.
// Reals (axis text only) are written in the C locale's shortest round-trip
// form, whatever the user's locale; readers take a point or a comma.
// Font names and the axis title caption are written with blanks as "*".
//
// Readers check the whole text before they change anything:
//  - fewer fields than the kind has raises ERangeError (index error); the
//    last field of the font and axis texts (font name, title caption) takes
//    everything after the previous separator, so the kind's own separator
//    inside a name or caption survives; extra fields of the other kinds are
//    ignored;
//  - a field that is not a number, or a number out of range for its field
//    (an enumeration ordinal, the brush style taking the pattern styles 8
//    on as well (PlotPatterns.h), a transparency outside 0 .. 100, a value that
//    does not fit an int, a pen width, font height, shadow size, gradient
//    balance or offset, tick length or other pixel size outside its range:
//    platform/graphics/DrawingLimits.h, PlotEffects.h, PlotAxis.h), raises
//    EConvertError / ERangeError.
// So a refused text never leaves a half-applied object or axis behind.

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

namespace lp {

class TChartAxis;
class TChartBrush;
class TChartPen;
class TCustomPlotGradient;
class TPlotGradient;
class TPlotFont;
class TPlotShadow;

inline constexpr QChar BrushSettingsSeparator = QLatin1Char('#');
inline constexpr QChar GradientSettingsSeparator = QLatin1Char('$');
inline constexpr QChar FontSettingsSeparator = QLatin1Char('^');
inline constexpr QChar PenSettingsSeparator = QLatin1Char('&');
inline constexpr QChar ShadowSettingsSeparator = QLatin1Char('@');
inline constexpr QChar AxisSettingsSeparator = QLatin1Char('~');

inline constexpr int BrushSettingsFieldCount = 2;
inline constexpr int PenSettingsFieldCount = 7;
inline constexpr int GradientSettingsFieldCount = 8;
inline constexpr int FontSettingsFieldCount = 11;
inline constexpr int ShadowSettingsFieldCount = 5;
inline constexpr int AxisSettingsFieldCount = 54;

// Writers.
QString BrushSettingsToText(const TChartBrush& Brush);
QString PenSettingsToText(const TChartPen& Pen);
QString GradientSettingsToText(const TCustomPlotGradient& Gradient);
QString FontSettingsToText(const TPlotFont& Font);
QString ShadowSettingsToText(const TPlotShadow& Shadow);
QString AxisSettingsToText(const TChartAxis& Axis);

// Readers: a new object owned by the caller (no owner, no change event),
// its properties set from the text. Failures raise as described above.
std::unique_ptr<TChartBrush> BrushSettingsFromText(const QString& Text);
std::unique_ptr<TChartPen> PenSettingsFromText(const QString& Text);
std::unique_ptr<TPlotGradient> GradientSettingsFromText(const QString& Text);
std::unique_ptr<TPlotFont> FontSettingsFromText(const QString& Text);
std::unique_ptr<TPlotShadow> ShadowSettingsFromText(const QString& Text);

// Apply a text to existing objects through their setters (with their usual
// change signals). The checks come first: a refused text changes nothing.
void ApplyPenSettingsText(TChartPen& Pen, const QString& Text);
void ApplyGradientSettingsText(TCustomPlotGradient& Gradient, const QString& Text);
void ApplyFontSettingsText(TPlotFont& Font, const QString& Text);

// Applies an axis text. An empty (or all-blank) text changes nothing.
// Horizontal and OtherSide are applied only with SetSide. Visible,
// FixedMinimum and FixedMaximum are written but never read. A text of 53
// fields (no caption) leaves the title caption as it is. Logarithmic is
// applied after LogAutoFormat so that its setter sees the stored value;
// Minimum and Maximum are applied in the order that keeps Minimum <= Maximum,
// and the LinLog threshold after them (its setter accepts only a value above
// 0 and below the larger limit; the decade shift is kept within 1 .. 15).
void AxisSettingsFromText(TChartAxis& Axis, const QString& Text, bool SetSide);

// Reading aids.
// A copy of Text with every Separator replaced by a blank.
QString SettingsSeparatorsToBlanks(const QString& Text, QChar Separator);
// The words of Text (split at blanks and tabs, empty words dropped),
// numbered from 0; each word at index Skip or later that reads as a number
// (its first comma taken as a point) is rounded to the nearest integer and
// appended to Out. Other words are dropped but still counted. Numbers
// outside the int range are dropped too.
void SettingsTextToIntegers(const QString& Text, int Skip, std::vector<int>& Out);
// The non-empty words of Text at index Skip or later.
void SettingsTextToStrings(const QString& Text, int Skip, QStringList& Out);

// Fills ChartEditorEntryPoints().AxisSettingsToText and AxisSettingsFromText
// (the latter with SetSide true), used by the axis menu's "Default" and by
// TCustomChart::StoreAxesDefaultSettings, and SeriesSettingsFromText (the
// series menu's "Default"; see PlotSeriesSettings.h).
void RegisterAppearanceTexts();

} // namespace lp
