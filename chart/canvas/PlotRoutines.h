#pragma once
// Free routines shared by the whole chart library: hit tests, line
// intersection, the date-time step table and its calendar arithmetic, the
// default colour palette, number-format localising, field splitting,
// resource bitmaps, an index quicksort, unique component names, the chart
// editor's option store, the base class of data exports, and the unit's
// start-up (InitializePlotRoutines / FinalizePlotRoutines).
//
// Dates are TDateTime values: days since 30 December 1899, the fraction of a
// day being the time. Hit tests work on integer pixels and compute in 64-bit
// integers and doubles, so no coordinate of 32 bits can overflow them.
// Everything here runs on the user-interface thread.

#include "chart/canvas/PlotCanvas.h"
#include "platform/base/DynArray.h"
#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsTypes.h"
#include "platform/ui/Application.h"

#include <QtCore/QIODevice>
#include <QtCore/QString>

#include <functional>
#include <optional>
#include <span>

class QLocale;

namespace lp {

class TComponent;
class TControl;

using TDateTime = double;

// A point with real coordinates.
struct TFloatPoint {
    double X = 0;
    double Y = 0;
};

// The hand cursor of charts and dialogs, registered by InitializePlotRoutines.
inline constexpr TCursor crPlotHand = 2020;

// --- Hit tests ---------------------------------------------------------------------------------------

// True when P equals either end, or lies within Tolerance + 1 pixels of the
// segment (X0, Y0)-(X1, Y1). On True the nearest-end flag tells whether the
// first end was the nearer one.
bool PointInLineTolerance(const TPoint& P, int X0, int Y0, int X1, int Y1, int Tolerance);
bool PointInLineTolerancePts(const TPoint& P, const TPoint& A, const TPoint& B, int Tolerance);
bool PointInLineXY(const TPoint& P, int X0, int Y0, int X1, int Y1, int Tolerance);
// Tolerance 0 (which still accepts points one pixel off the line).
bool PointInLine(const TPoint& P, int X0, int Y0, int X1, int Y1);
bool PointInLinePts(const TPoint& P, const TPoint& A, const TPoint& B);
// The nearest-end flag written by the last successful PointInLine... test:
// True when P was nearer the first end than the second.
bool PointInLineNearestFirst();

// Crossing-number test; an empty polygon contains nothing.
bool PointInPolygon(const TPoint& P, std::span<const TPoint> Poly);
bool PointInTriangle(const TPoint& P, const TPoint& A, const TPoint& B, const TPoint& C);
// The triangle (X0, Y1), ((X0 + X1) div 2, Y0), (X1, Y1): apex up when Y0 < Y1.
bool PointInVertTriangle(const TPoint& P, int X0, int Y0, int X1, int Y1);
// The triangle (X1, Y0), (X0, (Y0 + Y1) div 2), (X1, Y1): apex at the left side.
bool PointInHorizTriangle(const TPoint& P, int X0, int Y0, int X1, int Y1);
// The ellipse inside the box; a box without width or height holds nothing.
bool PointInEllipse(const TPoint& P, int X0, int Y0, int X1, int Y1);
bool PointInEllipseRect(const TPoint& P, const TRect& Rect);

// Crossing point of the lines through A0-A1 and B0-B1 in (X, Y); for
// parallel lines the point B0. Returns True when the segments cross: the ends
// of each lie strictly on different sides of the other's line.
bool LinesIntersect(const TFloatPoint& A0, const TFloatPoint& A1, const TFloatPoint& B0, const TFloatPoint& B1,
                    double& X, double& Y);

// --- Date-time steps ---------------------------------------------------------------------------------

enum TDateTimeStep : int {
    dtOneMicrosecond, dtOneMillisecond, dtOneSecond, dtFiveSeconds, dtTenSeconds, dtFifteenSeconds,
    dtThirtySeconds, dtOneMinute, dtFiveMinutes, dtTenMinutes, dtFifteenMinutes, dtThirtyMinutes,
    dtOneHour, dtTwoHours, dtSixHours, dtTwelveHours, dtOneDay, dtTwoDays, dtThreeDays, dtOneWeek,
    dtHalfMonth, dtOneMonth, dtTwoMonths, dtThreeMonths, dtFourMonths, dtSixMonths, dtOneYear,
    dtNone // no step of the table
};
inline constexpr int DateTimeStepCount = 27;

// The step of Index (0 .. 26) in days; ERangeError outside.
double DateTimeStep(int Index);
// Days of Month (1 .. 12, else ERangeError) in Year, by the Gregorian rule.
int DaysInMonth(int Year, int Month);
// The locale's short time format for steps up to one day, else its short
// date format, as a picture of FormatDateTime (the default locale unless
// one is given).
QString DefaultDateTimeFormat(double Step);
QString DefaultDateTimeFormat(double Step, const QLocale& Locale);
// A locale's date-time pattern ("h:mm AP", "dd.MM.yy") in the picture
// grammar of FormatDateTime ("h:nn AM/PM", "dd.mm.yy"): months, minutes and
// the half of the day become our tokens, the time zone is left out, and
// text that would read as a token is quoted.
QString DateTimePictureFromLocalePattern(const QString& Pattern);
// The table entry after the largest entry not greater than Step (days); one
// year when Step is below every entry.
double NextDateTimeStep(double Step);
// The index whose entry equals Step to within a microsecond; dtNone if none.
int FindDateTimeStep(double Step);
// Truncates Date to the month-based step StepIndex (0 .. 27, else
// ERangeError): half month to day 15 or 1, months to day 1, a year to
// 1 January, each at midnight. Other steps, and dates at or before the date
// floor, are returned unchanged.
TDateTime TruncDateToStep(int StepIndex, TDateTime Date);
// Moves Value one step up or down: by Increment for plain numbers and for
// steps shorter than half a month, else by the calendar (see the source).
// A day that the target month does not have becomes its last day.
void IncDecDateTime(bool IsDateTime, bool Up, double& Value, double Increment, int StepIndex);
// The date floor: dates at or before it are never truncated. 1 January 1900
// after InitializePlotRoutines.
TDateTime DateFloor();

// Calendar conversion of TDateTime values; EConvertError for a date that does
// not exist or lies outside the years 1 .. 9999.
TDateTime EncodeDate(int Year, int Month, int Day);
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);

// --- Colours -----------------------------------------------------------------------------------------

// Palette[Index mod length]; the first colour for a negative index;
// ERangeError for an empty palette (after shutdown).
TColor GetPaletteColor(int Index);
// Replaces the palette by a copy of Colors; a list of one colour or none
// restores the 20 default colours instead.
void SetDefaultPalette(std::span<const TColor> Colors);
void ResetDefaultPalette();
const DynArray<TColor>& ColorPalette();

// --- Texts and numbers -------------------------------------------------------------------------------

QString IntToText(int Value);
// Maps every "," to the locale's group separator and every "." to its
// decimal separator, in one pass (so the two never trade places twice);
// unchanged when the locale uses the same text for both.
QString LocalizeNumberFormat(const QString& Format);
// The reverse mapping.
QString DelocalizeNumberFormat(const QString& Format);

// The separator CountFields and ExtractField use when none is given; ";"
// after start-up, empty after shutdown.
QString FieldSeparator();
void SetFieldSeparator(const QString& Value);
// Number of fields: 0 for an empty text, 1 when the separator does not occur
// or is empty.
int CountFields(const QString& Text, const QString& Separator);
int CountFields(const QString& Text);
// The 1-based field; empty for an empty text or an index below 1; an index
// past the last field gives the last field.
QString ExtractField(const QString& Text, int Index, const QString& Separator);
QString ExtractField(const QString& Text, int Index);
// Every Old becomes New; a New of QChar(0) deletes every Old.
QString ReplaceChar(const QString& Text, QChar Old, QChar New);

// --- Components, controls, drawing -------------------------------------------------------------------

// Prefix followed by the smallest number from 1 that names no component of
// Owner; Prefix + "1" without an owner.
QString GetUniqueComponentName(const TComponent* Owner, const QString& Prefix);
// Sets Enabled of every non-null control.
void EnableControls(bool Enable, std::span<TControl* const> Controls);
// A 13 x 13 check box (IsCheckBox) or radio button at (X, Y) through the
// canvas, with a mark when Checked. Leaves the canvas pen and brush changed.
void DrawCheckBox(int X, int Y, TPlotCanvas& Canvas, bool Checked, bool IsCheckBox);
// Physical width over physical height of the canvas's device (millimetres);
// 0 when the height is 0.
double DeviceAspectRatio(const TPlotCanvas& Canvas);
// Loads the first of the resource images ":/Name1" or ":/Name2" (each tried
// as it is and with ".bmp" and ".png") into Bitmap; False when none exists.
bool LoadBitmapFromResource(TBitmap& Bitmap, const QString& Name1, const QString& Name2);
// LoadBitmapFromResource with the object's class name, else its parent
// class's name.
bool LoadClassBitmap(TBitmap& Bitmap, const QObject& Object);
// Sorts the positions Lo .. Hi through Compare(a, b) (negative, zero,
// positive) and Swap(a, b); the pivot is the middle position.
void QuickSortIndexes(int Lo, int Hi, const std::function<int(int, int)>& Compare,
                      const std::function<void(int, int)>& Swap);
// The editor dialogs' translation hook for their controls; none is installed,
// so this does nothing.
void CallControlHook(QObject* Control);

// --- Chart editor options ----------------------------------------------------------------------------

// The current user's key of the chart editor's options.
inline const QString EditorRegKey = QStringLiteral("SOFTWARE\\Pellam Software\\VudEvevu Pro\\Editor");

// The stored value, or Default when the key, the value or a readable integer
// is missing.
bool ReadEditorRegBoolean(const QString& Name, bool Default);
// The stored integer, or nothing when the key or a readable value is
// missing (failures of the store are silent by design).
std::optional<int> ReadEditorRegValue(const QString& Name);
int ReadEditorRegInteger(const QString& Name, int Default);
// Stores Value, creating the key when needed. Never raises: returns False
// when the settings could not be written.
bool WriteEditorRegBoolean(const QString& Name, bool Value);
bool WriteEditorRegInteger(const QString& Name, int Value);

// --- Data exports ------------------------------------------------------------------------------------

// A data export that could not be written.
class EPlotExportError : public Exception {
public:
    using Exception::Exception;
};

// Base of the data-export formats: a format builds its text in AsString; the
// base delivers it to the clipboard, a device or a file.
class TPlotExportData {
public:
    TPlotExportData() = default;
    virtual ~TPlotExportData() = default;
    TPlotExportData(const TPlotExportData&) = delete;
    TPlotExportData& operator=(const TPlotExportData&) = delete;

    // The exported data as text; empty in the base.
    virtual QString AsString() const { return QString(); }
    void CopyToClipboard() const;
    // Writes the bytes of AsString in the locale's encoding, with no
    // terminator and no length (binary formats override it);
    // EPlotExportError when the device refuses.
    virtual void SaveToStream(QIODevice& Stream) const;
    // Replaces FileName with the text only when everything was written; on
    // failure EPlotExportError and the old file stays.
    void SaveToFile(const QString& FileName) const;
};

// --- Start-up ----------------------------------------------------------------------------------------

// Sets the default palette, registers the hand cursor crPlotHand with the
// application and sets the date floor and the field separator. Repeated
// calls do nothing until FinalizePlotRoutines.
void InitializePlotRoutines();
// Empties the palette, removes the hand cursor and clears the field
// separator.
void FinalizePlotRoutines();

} // namespace lp
