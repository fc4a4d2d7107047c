#include "chart/canvas/PlotRoutines.h"

#include "platform/base/Numeric.h"
#include "platform/core/SafeSave.h"
#include "platform/core/Component.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Registry.h"

#include <QtCore/QDate>
#include <QtCore/QFile>
#include <QtCore/QLocale>
#include <QtCore/QMetaObject>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

namespace lp {

namespace {

constexpr double kMicroSecond = 1.0 / (24.0 * 60 * 60 * 1000 * 1000);
constexpr double kSecond = 1.0 / (24.0 * 60 * 60);
constexpr double kMinute = 1.0 / (24.0 * 60);
constexpr double kHour = 1.0 / 24.0;

constexpr std::array<double, DateTimeStepCount> kDateTimeSteps = {
    kMicroSecond, kMicroSecond * 1000, kSecond, 5 * kSecond, 10 * kSecond, 15 * kSecond, 30 * kSecond,
    kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute,
    kHour, 2 * kHour, 6 * kHour, 12 * kHour,
    1, 2, 3, 7, 15, 30, 60, 90, 120, 182, 365};

constexpr std::array<TColor, 20> kDefaultPalette = {
    0x0000FF, 0x008000, 0x00FFFF, 0xFF0000, 0xFFFFFF, 0x808080, 0xFF00FF, 0x808000, 0x800000, 0x000080,
    0x00FF00, 0x008080, 0x800080, 0xC0C0C0, 0xFFFF00, 0x000000, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0};

// The unit's state; see InitializePlotRoutines.
struct TRoutinesState {
    DynArray<TColor> Palette{std::vector<TColor>(kDefaultPalette.begin(), kDefaultPalette.end())};
    QString FieldSeparator = QStringLiteral(";");
    TDateTime DateFloor = 0;
    bool NearestFirst = false;
    bool Initialized = false;
};

TRoutinesState& State()
{
    static TRoutinesState Instance;
    return Instance;
}

const QDate& DateBase()
{
    static const QDate Base(1899, 12, 30);
    return Base;
}

double Distance(double X0, double Y0, double X1, double Y1)
{
    return std::hypot(X1 - X0, Y1 - Y0);
}

bool IsMonthStep(int StepIndex)
{
    return StepIndex >= dtHalfMonth && StepIndex <= dtOneYear;
}

void CheckStepIndex(int StepIndex)
{
    if (StepIndex < 0 || StepIndex > dtNone)
        RaiseRangeError("Date-time step index %d outside 0 .. %d", {ArgText(StepIndex), ArgText(int(dtNone))});
}

// The time of day of Date, as the positive fraction of a day.
double TimeOf(TDateTime Date)
{
    return std::fabs(Date - std::trunc(Date));
}

// Date at midnight plus Time (for days before the base the time counts on
// from midnight as well).
TDateTime WithTime(TDateTime Day, double Time)
{
    return Day < 0 ? Day - Time : Day + Time;
}

// Moves the month of (Year, Month) by Delta, carrying into the year.
void MoveMonth(int& Year, int& Month, int Delta)
{
    const int Total = Year * 12 + (Month - 1) + Delta;
    Year = Total >= 0 ? Total / 12 : -((-Total + 11) / 12);
    Month = Total - Year * 12 + 1;
}

QString MapChars(const QString& Text, const QString& From1, const QString& To1, const QString& From2,
                 const QString& To2)
{
    QString Result;
    Result.reserve(Text.size());
    for (qsizetype I = 0; I < Text.size();) {
        if (!From1.isEmpty() && QStringView(Text).mid(I).startsWith(From1)) {
            Result += To1;
            I += From1.size();
        } else if (!From2.isEmpty() && QStringView(Text).mid(I).startsWith(From2)) {
            Result += To2;
            I += From2.size();
        } else {
            Result += Text[I++];
        }
    }
    return Result;
}

void QuickSortRange(int Lo, int Hi, const std::function<int(int, int)>& Compare,
                    const std::function<void(int, int)>& Swap)
{
    while (Lo < Hi) {
        int I = Lo;
        int J = Hi;
        int Middle = Lo + (Hi - Lo) / 2;
        do {
            while (Compare(I, Middle) < 0)
                ++I;
            while (Compare(Middle, J) < 0)
                --J;
            if (I <= J) {
                if (I != J) {
                    Swap(I, J);
                    // The pivot element moved: follow it.
                    if (I == Middle)
                        Middle = J;
                    else if (J == Middle)
                        Middle = I;
                }
                ++I;
                --J;
            }
        } while (I <= J);
        // Recurse into the smaller part, loop on the larger: the depth stays
        // logarithmic even for bad pivots.
        if (J - Lo < Hi - I) {
            QuickSortRange(Lo, J, Compare, Swap);
            Lo = I;
        } else {
            QuickSortRange(I, Hi, Compare, Swap);
            Hi = J;
        }
    }
}

} // namespace

// --- Hit tests ---------------------------------------------------------------------------------------

bool PointInLineTolerance(const TPoint& P, int X0, int Y0, int X1, int Y1, int Tolerance)
{
    const double PX = P.X;
    const double PY = P.Y;
    const double DistA = Distance(PX, PY, X0, Y0);
    const double DistB = Distance(PX, PY, X1, Y1);
    bool Result;
    if ((P.X == X0 && P.Y == Y0) || (P.X == X1 && P.Y == Y1)) {
        Result = true;
    } else {
        double Dist;
        const double DX = double(X1) - X0;
        const double DY = double(Y1) - Y0;
        const double LengthSquared = DX * DX + DY * DY;
        if (LengthSquared == 0) {
            Dist = DistA;
        } else {
            const double T = ((PX - X0) * DX + (PY - Y0) * DY) / LengthSquared;
            if (T < 0)
                Dist = DistA;
            else if (T > 1)
                Dist = DistB;
            else
                Dist = Distance(PX, PY, X0 + T * DX, Y0 + T * DY);
        }
        Result = Dist <= double(Tolerance) + 1;
    }
    if (Result)
        State().NearestFirst = DistA < DistB;
    return Result;
}

bool PointInLineTolerancePts(const TPoint& P, const TPoint& A, const TPoint& B, int Tolerance)
{
    return PointInLineTolerance(P, A.X, A.Y, B.X, B.Y, Tolerance);
}

bool PointInLineXY(const TPoint& P, int X0, int Y0, int X1, int Y1, int Tolerance)
{
    return PointInLineTolerance(P, X0, Y0, X1, Y1, Tolerance);
}

bool PointInLine(const TPoint& P, int X0, int Y0, int X1, int Y1)
{
    return PointInLineTolerance(P, X0, Y0, X1, Y1, 0);
}

bool PointInLinePts(const TPoint& P, const TPoint& A, const TPoint& B)
{
    return PointInLineTolerance(P, A.X, A.Y, B.X, B.Y, 0);
}

bool PointInLineNearestFirst()
{
    return State().NearestFirst;
}

bool PointInPolygon(const TPoint& P, std::span<const TPoint> Poly)
{
    bool Inside = false;
    if (Poly.empty())
        return false;
    std::size_t J = Poly.size() - 1;
    for (std::size_t I = 0; I < Poly.size(); ++I) {
        const TPoint& PI = Poly[I];
        const TPoint& PJ = Poly[J];
        if ((PI.Y <= P.Y && P.Y < PJ.Y) || (PJ.Y <= P.Y && P.Y < PI.Y)) {
            const int64_t Product = (int64_t(PJ.X) - PI.X) * (int64_t(P.Y) - PI.Y);
            if (double(P.X) < double(PI.X) + double(Product) / (double(PJ.Y) - PI.Y))
                Inside = !Inside;
        }
        J = I;
    }
    return Inside;
}

bool PointInTriangle(const TPoint& P, const TPoint& A, const TPoint& B, const TPoint& C)
{
    const std::array<TPoint, 3> Points = {A, B, C};
    return PointInPolygon(P, Points);
}

bool PointInVertTriangle(const TPoint& P, int X0, int Y0, int X1, int Y1)
{
    const int MidX = CheckedInt32((int64_t(X0) + X1) / 2);
    return PointInTriangle(P, {X0, Y1}, {MidX, Y0}, {X1, Y1});
}

bool PointInHorizTriangle(const TPoint& P, int X0, int Y0, int X1, int Y1)
{
    const int MidY = CheckedInt32((int64_t(Y0) + Y1) / 2);
    return PointInTriangle(P, {X1, Y0}, {X0, MidY}, {X1, Y1});
}

bool PointInEllipse(const TPoint& P, int X0, int Y0, int X1, int Y1)
{
    const int64_t CX = (int64_t(X0) + X1) / 2;
    const int64_t CY = (int64_t(Y0) + Y1) / 2;
    const double A = double(CX - X0);
    const double B = double(CY - Y0);
    if (A == 0 || B == 0)
        return false;
    const double DX = double(P.X - CX);
    const double DY = double(P.Y - CY);
    return DX * DX / (A * A) + DY * DY / (B * B) <= 1;
}

bool PointInEllipseRect(const TPoint& P, const TRect& Rect)
{
    return PointInEllipse(P, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
}

bool LinesIntersect(const TFloatPoint& A0, const TFloatPoint& A1, const TFloatPoint& B0, const TFloatPoint& B1,
                    double& X, double& Y)
{
    // The crossing point of the two lines, by determinants; this also
    // serves vertical lines, which have no slope.
    const double ADX = A1.X - A0.X;
    const double ADY = A1.Y - A0.Y;
    const double BDX = B1.X - B0.X;
    const double BDY = B1.Y - B0.Y;
    const double Denominator = ADX * BDY - ADY * BDX;
    const double Scale = std::fabs(ADX * BDY) + std::fabs(ADY * BDX);
    if (Denominator == 0 || std::fabs(Denominator) <= 1e-15 * Scale) {
        X = B0.X;
        Y = B0.Y;
    } else {
        const double T = ((B0.X - A0.X) * BDY - (B0.Y - A0.Y) * BDX) / Denominator;
        X = A0.X + T * ADX;
        Y = A0.Y + T * ADY;
    }
    const auto Side = [](const TFloatPoint& L0, const TFloatPoint& L1, const TFloatPoint& Q) {
        return (L1.X - L0.X) * (Q.Y - L0.Y) - (L1.Y - L0.Y) * (Q.X - L0.X);
    };
    const double SB0 = Side(A0, A1, B0);
    const double SB1 = Side(A0, A1, B1);
    const double SA0 = Side(B0, B1, A0);
    const double SA1 = Side(B0, B1, A1);
    return ((SB0 < 0 && SB1 > 0) || (SB0 > 0 && SB1 < 0)) && ((SA0 < 0 && SA1 > 0) || (SA0 > 0 && SA1 < 0));
}

// --- Date-time steps ---------------------------------------------------------------------------------

double DateTimeStep(int Index)
{
    if (Index < 0 || Index >= DateTimeStepCount)
        RaiseIndexError(Index, DateTimeStepCount);
    return kDateTimeSteps[std::size_t(Index)];
}

int DaysInMonth(int Year, int Month)
{
    static constexpr std::array<int, 12> Days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        RaiseRangeError("Month %d outside 1 .. 12", {ArgText(Month)});
    const bool Leap = (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
    return Days[std::size_t(Month - 1)] + (Month == 2 && Leap ? 1 : 0);
}

namespace {

// Text of a locale pattern that must come out as it stands: letters (which
// would read as tokens) are quoted, a single quote is written inside double
// quotes; other characters are copied.
void AppendLiteral(QString& Out, QStringView Text)
{
    QString Letters;
    const auto Flush = [&] {
        if (!Letters.isEmpty())
            Out += QLatin1Char('\'') + Letters + QLatin1Char('\'');
        Letters.clear();
    };
    for (const QChar C : Text) {
        if (C == QLatin1Char('\'')) {
            Flush();
            Out += QStringLiteral("\"'\"");
        } else if (C.isLetter() || C == QLatin1Char('"')) {
            Letters += C;
        } else {
            Flush();
            Out += C;
        }
    }
    Flush();
}

// The quoted text starting at Pattern[I] (a quote): two quotes in a row
// stand for one. I moves past the closing quote.
QString QuotedLocaleText(const QString& Pattern, qsizetype& I)
{
    QString Text;
    ++I;
    while (I < Pattern.size()) {
        if (Pattern[I] == QLatin1Char('\'')) {
            if (I + 1 < Pattern.size() && Pattern[I + 1] == QLatin1Char('\'')) {
                Text += QLatin1Char('\'');
                I += 2;
                continue;
            }
            ++I;
            break;
        }
        Text += Pattern[I++];
    }
    return Text;
}

// Our picture for a run of Count letters Letter of a locale pattern, and
// how many of them it takes (0: the letter is no token).
std::pair<QString, qsizetype> PictureToken(QChar Letter, qsizetype Count, QChar Next)
{
    const auto Repeat = [](char C, qsizetype N) { return QString(N, QLatin1Char(C)); };
    switch (Letter.unicode()) {
    case 'd': return {Repeat('d', std::min<qsizetype>(Count, 4)), std::min<qsizetype>(Count, 4)};
    case 'M': return {Repeat('m', std::min<qsizetype>(Count, 4)), std::min<qsizetype>(Count, 4)};
    case 'y': return Count >= 4 ? std::pair{QStringLiteral("yyyy"), qsizetype{4}}
                                : std::pair{QStringLiteral("yy"), std::min<qsizetype>(Count, 2)};
    case 'h':
    case 'H': return {Repeat('h', std::min<qsizetype>(Count, 2)), std::min<qsizetype>(Count, 2)};
    case 'm': return {Repeat('n', std::min<qsizetype>(Count, 2)), std::min<qsizetype>(Count, 2)};
    case 's': return {Repeat('s', std::min<qsizetype>(Count, 2)), std::min<qsizetype>(Count, 2)};
    case 'z': return Count >= 3 ? std::pair{QStringLiteral("zzz"), qsizetype{3}} : std::pair{QStringLiteral("z"), Count};
    case 'A':
    case 'a': {
        // "AP", "A", "ap", "a": the half of the day, in the letter's case.
        const qsizetype Taken = Next.toLower() == QLatin1Char('p') ? 2 : 1;
        return {Letter == QLatin1Char('A') ? QStringLiteral("AM/PM") : QStringLiteral("am/pm"), Taken};
    }
    case 't': return {QString(), Count}; // the time zone: not shown on axes
    default: return {QString(), 0};
    }
}

} // namespace

QString DateTimePictureFromLocalePattern(const QString& Pattern)
{
    QString Out;
    qsizetype I = 0;
    while (I < Pattern.size()) {
        const QChar C = Pattern[I];
        if (C == QLatin1Char('\'')) {
            // Two quotes outside a quoted text stand for one.
            const bool Doubled = I + 1 < Pattern.size() && Pattern[I + 1] == QLatin1Char('\'');
            AppendLiteral(Out, Doubled ? QStringView(Pattern).mid(I, 1) : QuotedLocaleText(Pattern, I));
            if (Doubled)
                I += 2;
            continue;
        }
        qsizetype Run = 1;
        while (I + Run < Pattern.size() && Pattern[I + Run] == C)
            ++Run;
        const QChar Next = I + 1 < Pattern.size() ? Pattern[I + 1] : QChar();
        const auto [Token, Taken] = PictureToken(C, Run, Next);
        if (Taken == 0) {
            AppendLiteral(Out, QStringView(Pattern).mid(I, 1));
            ++I;
            continue;
        }
        Out += Token;
        I += Taken;
    }
    return Out.trimmed();
}

QString DefaultDateTimeFormat(double Step, const QLocale& Locale)
{
    return DateTimePictureFromLocalePattern(Step <= 1 ? Locale.timeFormat(QLocale::ShortFormat)
                                                      : Locale.dateFormat(QLocale::ShortFormat));
}

QString DefaultDateTimeFormat(double Step)
{
    return DefaultDateTimeFormat(Step, QLocale());
}

double NextDateTimeStep(double Step)
{
    for (int I = dtSixMonths; I >= 0; --I)
        if (kDateTimeSteps[std::size_t(I)] <= Step)
            return kDateTimeSteps[std::size_t(I + 1)];
    return kDateTimeSteps[dtOneYear];
}

int FindDateTimeStep(double Step)
{
    for (int I = dtOneYear; I >= 0; --I)
        if (std::fabs(kDateTimeSteps[std::size_t(I)] - Step) < kMicroSecond)
            return I;
    return dtNone;
}

TDateTime EncodeDate(int Year, int Month, int Day)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
        RaiseConvertError("Invalid date %d-%d-%d", {ArgText(Year), ArgText(Month), ArgText(Day)});
    return double(DateBase().daysTo(QDate(Year, Month, Day)));
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day)
{
    if (!std::isfinite(Date) || std::fabs(Date) > 4.0e6)
        RaiseConvertError("Invalid date value %g", {ArgText(Date)});
    const QDate Decoded = DateBase().addDays(static_cast<qint64>(std::trunc(Date)));
    if (!Decoded.isValid() || Decoded.year() < 1 || Decoded.year() > 9999)
        RaiseConvertError("Invalid date value %g", {ArgText(Date)});
    Year = Decoded.year();
    Month = Decoded.month();
    Day = Decoded.day();
}

TDateTime DateFloor()
{
    return State().DateFloor;
}

TDateTime TruncDateToStep(int StepIndex, TDateTime Date)
{
    CheckStepIndex(StepIndex);
    if (Date <= State().DateFloor || !IsMonthStep(StepIndex))
        return Date;
    int Year, Month, Day;
    DecodeDate(Date, Year, Month, Day);
    if (StepIndex == dtHalfMonth)
        Day = Day >= 15 ? 15 : 1;
    else
        Day = 1;
    if (StepIndex == dtOneYear)
        Month = 1;
    return EncodeDate(Year, Month, Day);
}

void IncDecDateTime(bool IsDateTime, bool Up, double& Value, double Increment, int StepIndex)
{
    CheckStepIndex(StepIndex);
    if (!IsDateTime || !IsMonthStep(StepIndex)) {
        Value = Up ? Value + Increment : Value - Increment;
        return;
    }
    int Year, Month, Day;
    DecodeDate(Value, Year, Month, Day);
    const double Time = TimeOf(Value);
    const int Sign = Up ? 1 : -1;
    switch (StepIndex) {
    case dtHalfMonth:
        if (Day >= 16) {
            Day = 15;
        } else if (Day >= 2) {
            Day = 1;
        } else {
            MoveMonth(Year, Month, Sign);
            Day = 15;
        }
        break;
    case dtOneMonth: MoveMonth(Year, Month, Sign); break;
    case dtTwoMonths: MoveMonth(Year, Month, 2 * Sign); break;
    case dtThreeMonths: MoveMonth(Year, Month, 3 * Sign); break;
    case dtFourMonths: MoveMonth(Year, Month, 4 * Sign); break;
    case dtSixMonths: MoveMonth(Year, Month, 6 * Sign); break;
    default: Year += Sign; break; // dtOneYear
    }
    // A month move from the 31st (or a year move from 29 February) would
    // name a day the target month lacks: the month's last day takes its place.
    Day = std::min(Day, DaysInMonth(Year, Month));
    Value = WithTime(EncodeDate(Year, Month, Day), Time);
}

// --- Colours -----------------------------------------------------------------------------------------

TColor GetPaletteColor(int Index)
{
    const DynArray<TColor>& Palette = State().Palette;
    if (Palette.Length() == 0)
        RaiseRangeError("The colour palette is empty");
    // A negative index (a series not yet placed in its chart) gets the
    // palette's first colour instead of failing mid-paint.
    if (Index < 0)
        return Palette[0];
    return Palette[Index % Palette.Length()];
}

void SetDefaultPalette(std::span<const TColor> Colors)
{
    if (Colors.size() <= 1)
        ResetDefaultPalette();
    else
        State().Palette = DynArray<TColor>(std::vector<TColor>(Colors.begin(), Colors.end()));
}

void ResetDefaultPalette()
{
    State().Palette = DynArray<TColor>(std::vector<TColor>(kDefaultPalette.begin(), kDefaultPalette.end()));
}

const DynArray<TColor>& ColorPalette()
{
    return State().Palette;
}

// --- Texts and numbers -------------------------------------------------------------------------------

QString IntToText(int Value)
{
    return QString::number(Value);
}

QString LocalizeNumberFormat(const QString& Format)
{
    const QLocale Locale;
    const QString Decimal = Locale.decimalPoint();
    const QString Thousand = Locale.groupSeparator();
    if (Decimal == Thousand)
        return Format;
    return MapChars(Format, QStringLiteral(","), Thousand, QStringLiteral("."), Decimal);
}

QString DelocalizeNumberFormat(const QString& Format)
{
    const QLocale Locale;
    const QString Decimal = Locale.decimalPoint();
    const QString Thousand = Locale.groupSeparator();
    if (Decimal == Thousand)
        return Format;
    return MapChars(Format, Thousand, QStringLiteral(","), Decimal, QStringLiteral("."));
}

QString FieldSeparator()
{
    return State().FieldSeparator;
}

void SetFieldSeparator(const QString& Value)
{
    State().FieldSeparator = Value;
}

int CountFields(const QString& Text, const QString& Separator)
{
    if (Text.isEmpty())
        return 0;
    if (Separator.isEmpty())
        return 1;
    return int(Text.count(Separator)) + 1;
}

int CountFields(const QString& Text)
{
    return CountFields(Text, State().FieldSeparator);
}

QString ExtractField(const QString& Text, int Index, const QString& Separator)
{
    if (Text.isEmpty() || Index < 1)
        return QString();
    if (Separator.isEmpty())
        return Text;
    qsizetype Start = 0;
    for (int Field = 1; Field < Index; ++Field) {
        const qsizetype Next = Text.indexOf(Separator, Start);
        if (Next < 0)
            break; // past the last field: the last one
        Start = Next + Separator.size();
    }
    const qsizetype End = Text.indexOf(Separator, Start);
    return End < 0 ? Text.mid(Start) : Text.mid(Start, End - Start);
}

QString ExtractField(const QString& Text, int Index)
{
    return ExtractField(Text, Index, State().FieldSeparator);
}

QString ReplaceChar(const QString& Text, QChar Old, QChar New)
{
    QString Result = Text;
    if (New.isNull())
        Result.remove(Old);
    else
        Result.replace(Old, New);
    return Result;
}

// --- Components, controls, drawing -------------------------------------------------------------------

QString GetUniqueComponentName(const TComponent* Owner, const QString& Prefix)
{
    for (int Number = 1;; ++Number) {
        const QString Name = Prefix + QString::number(Number);
        if (!Owner || !Owner->FindComponent(Name))
            return Name;
    }
}

void EnableControls(bool Enable, std::span<TControl* const> Controls)
{
    for (TControl* Control : Controls)
        if (Control)
            Control->SetEnabled(Enable);
}

void DrawCheckBox(int X, int Y, TPlotCanvas& Canvas, bool Checked, bool IsCheckBox)
{
    constexpr int Size = 13;
    TPen* Pen = Canvas.Pen();
    TBrush* Brush = Canvas.Brush();
    Pen->SetStyle(psSolid);
    Pen->SetWidth(1);
    Brush->SetStyle(bsSolid);
    if (IsCheckBox) {
        // Sunken two-pixel frame around a window-coloured well.
        TRect Box{X, Y, X + Size, Y + Size};
        Canvas.Frame3D(Box, clBtnShadow, clBtnHighlight, 1);
        Canvas.Frame3D(Box, clBlack, clBtnFace, 1);
        Pen->SetStyle(psClear);
        Brush->SetColor(clWindow);
        Canvas.FillRect(Box);
        if (Checked) {
            // The tick: three strokes from the lower left up to the right.
            Pen->SetStyle(psSolid);
            Pen->SetColor(clWindowText);
            for (int Row = 0; Row < 3; ++Row) {
                Canvas.MoveTo(X + 3, Y + 5 + Row);
                Canvas.LineTo(X + 5, Y + 7 + Row);
                Canvas.LineTo(X + 10, Y + 2 + Row);
            }
        }
    } else {
        // Round well: shadow and highlight rings, then the window-coloured
        // face and, when checked, the dot.
        Pen->SetColor(clBtnShadow);
        Brush->SetColor(clBtnHighlight);
        Canvas.Ellipse(X, Y, X + Size, Y + Size);
        Pen->SetColor(clBlack);
        Brush->SetColor(clWindow);
        Canvas.Ellipse(X + 1, Y + 1, X + Size - 1, Y + Size - 1);
        if (Checked) {
            Pen->SetColor(clWindowText);
            Brush->SetColor(clWindowText);
            Canvas.Ellipse(X + 4, Y + 4, X + Size - 4, Y + Size - 4);
        }
    }
}

double DeviceAspectRatio(const TPlotCanvas& Canvas)
{
    const TDeviceContext& Device = Canvas.GetHandle();
    const int Height = Device.GetDeviceCaps(VERTSIZE);
    if (Height == 0)
        return 0;
    return double(Device.GetDeviceCaps(HORZSIZE)) / Height;
}

bool LoadBitmapFromResource(TBitmap& Bitmap, const QString& Name1, const QString& Name2)
{
    for (const QString& Name : {Name1, Name2}) {
        if (Name.isEmpty())
            continue;
        for (const QString& Suffix : {QString(), QStringLiteral(".bmp"), QStringLiteral(".png")}) {
            const QString Path = QStringLiteral(":/") + Name + Suffix;
            if (!QFile::exists(Path))
                continue;
            QImage Image(Path);
            if (Image.isNull())
                continue;
            Bitmap.SetImage(Image);
            return true;
        }
    }
    return false;
}

bool LoadClassBitmap(TBitmap& Bitmap, const QObject& Object)
{
    const QMetaObject* Meta = Object.metaObject();
    QString Name = QString::fromLatin1(Meta->className());
    QString Parent = Meta->superClass() ? QString::fromLatin1(Meta->superClass()->className()) : QString();
    // Class names carry the namespace; resources are named by the bare name.
    Name = Name.section(QStringLiteral("::"), -1);
    Parent = Parent.section(QStringLiteral("::"), -1);
    return LoadBitmapFromResource(Bitmap, Name, Parent);
}

void QuickSortIndexes(int Lo, int Hi, const std::function<int(int, int)>& Compare,
                      const std::function<void(int, int)>& Swap)
{
    QuickSortRange(Lo, Hi, Compare, Swap);
}

void CallControlHook(QObject*)
{
}

// --- Chart editor options ----------------------------------------------------------------------------

namespace {

bool WriteEditorValue(const QString& Name, int Value)
{
    try {
        TRegistry Registry;
        if (!Registry.OpenKey(QStringLiteral("\\") + EditorRegKey, true))
            return false;
        Registry.WriteInteger(Name, Value);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

} // namespace

std::optional<int> ReadEditorRegValue(const QString& Name)
{
    try {
        TRegistry Registry;
        if (!Registry.OpenKeyReadOnly(QStringLiteral("\\") + EditorRegKey) || !Registry.ValueExists(Name))
            return std::nullopt;
        return Registry.ReadInteger(Name);
    } catch (const Exception&) {
        return std::nullopt;
    }
}

bool ReadEditorRegBoolean(const QString& Name, bool Default)
{
    const std::optional<int> Value = ReadEditorRegValue(Name);
    return Value ? *Value != 0 : Default;
}

int ReadEditorRegInteger(const QString& Name, int Default)
{
    return ReadEditorRegValue(Name).value_or(Default);
}

bool WriteEditorRegBoolean(const QString& Name, bool Value)
{
    return WriteEditorValue(Name, Value ? 1 : 0);
}

bool WriteEditorRegInteger(const QString& Name, int Value)
{
    return WriteEditorValue(Name, Value);
}

// --- Data exports ------------------------------------------------------------------------------------

void TPlotExportData::CopyToClipboard() const
{
    if (QClipboard* Clipboard = QGuiApplication::clipboard())
        Clipboard->setText(AsString());
}

void TPlotExportData::SaveToStream(QIODevice& Stream) const
{
    const QByteArray Bytes = AsString().toLocal8Bit();
    if (Stream.write(Bytes) != Bytes.size())
        throw EPlotExportError("Cannot write the exported data: " + Stream.errorString().toStdString());
}

void TPlotExportData::SaveToFile(const QString& FileName) const
{
    QString Error;
    if (!SaveAtomically(FileName, [this](QIODevice& Device) { SaveToStream(Device); }, Error))
        throw EPlotExportError("Cannot write " + FileName.toStdString() + ": " + Error.toStdString());
}

// --- Start-up ----------------------------------------------------------------------------------------

void InitializePlotRoutines()
{
    TRoutinesState& S = State();
    if (S.Initialized)
        return;
    ResetDefaultPalette();
    // There is no cursor resource: the platform's pointing hand stands in.
    Application().RegisterCursor(crPlotHand, QCursor(Qt::PointingHandCursor));
    S.DateFloor = EncodeDate(1900, 1, 1);
    S.FieldSeparator = QStringLiteral(";");
    S.Initialized = true;
}

void FinalizePlotRoutines()
{
    TRoutinesState& S = State();
    S.Palette = DynArray<TColor>();
    Application().UnregisterCursor(crPlotHand);
    S.FieldSeparator.clear();
    S.Initialized = false;
}

} // namespace lp
