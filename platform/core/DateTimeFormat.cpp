#include "platform/core/DateTimeFormat.h"

#include "platform/core/NumberFormat.h"

#include <QtCore/QStringView>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

constexpr long long MSecsPerDay = 86400000;
// Day numbers of 1 January 0001 and 31 December 9999.
constexpr long long MinDay = -693593;
constexpr long long MaxDay = 2958465;
// Days from 1 January 0001 to day 0 (30 December 1899).
constexpr long long DayZeroOffset = 693593;
constexpr long long DaysPer400Years = 146097;
constexpr long long DaysPer100Years = 36524;
constexpr long long DaysPer4Years = 1461;

// Nested pictures (c, ddddd, t, ...) expand while the depth is below this.
constexpr int MaxNesting = 2;

[[noreturn]] void RaiseInvalidDate()
{
    RaiseConvertError("Invalid argument to date encode");
}

bool IsLeapYear(int Year)
{
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInMonth(int Year, int Month)
{
    static constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return Month == 2 && IsLeapYear(Year) ? 29 : Days[Month - 1];
}

// The calendar parts of a value, time rounded to the millisecond.
struct TDateParts {
    int Year = 1;
    int Month = 1;
    int Day = 1;
    int DayOfWeek = 0; // 0 = Sunday
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int MilliSecond = 0;
    long long TimeMs = 0; // milliseconds since midnight
};

// The day number and the milliseconds into it of DateTime, rounded to the
// millisecond; false when that day lies outside the years 1 .. 9999.
bool DayAndTime(double DateTime, long long& day, long long& ms)
{
    // Rejects NaN and infinities too, and keeps the integer conversions
    // below well inside their range.
    if (!(DateTime > double(MinDay - 1) && DateTime < double(MaxDay + 1)))
        return false;
    const double whole = std::trunc(DateTime);
    day = static_cast<long long>(whole);
    ms = std::llround(std::fabs(DateTime - whole) * double(MSecsPerDay));
    if (ms >= MSecsPerDay) {
        ++day;
        ms -= MSecsPerDay;
    }
    return day >= MinDay && day <= MaxDay;
}

TDateParts SplitDateTime(double DateTime)
{
    long long day = 0;
    long long ms = 0;
    if (!DayAndTime(DateTime, day, ms))
        RaiseInvalidDate();

    TDateParts parts;
    parts.TimeMs = ms;
    parts.Hour = int(ms / 3600000);
    parts.Minute = int(ms / 60000 % 60);
    parts.Second = int(ms / 1000 % 60);
    parts.MilliSecond = int(ms % 1000);
    // Day 0 was a Saturday; day is at least MinDay, so the sum is positive.
    parts.DayOfWeek = int((day + 6 + 7 * 100000) % 7);

    long long rest = day + DayZeroOffset; // days since 1 January 0001
    const long long cycles400 = rest / DaysPer400Years;
    rest %= DaysPer400Years;
    long long cycles100 = rest / DaysPer100Years;
    if (cycles100 == 4) // the last day of a 400-year cycle
        cycles100 = 3;
    rest -= cycles100 * DaysPer100Years;
    const long long cycles4 = rest / DaysPer4Years;
    rest %= DaysPer4Years;
    long long years = rest / 365;
    if (years == 4) // the last day of a leap year
        years = 3;
    rest -= years * 365;
    parts.Year = int(cycles400 * 400 + cycles100 * 100 + cycles4 * 4 + years + 1);
    parts.Month = 1;
    while (rest >= DaysInMonth(parts.Year, parts.Month)) {
        rest -= DaysInMonth(parts.Year, parts.Month);
        ++parts.Month;
    }
    parts.Day = int(rest) + 1;
    return parts;
}

QString Padded(int Value, int Width)
{
    return QString::number(Value).rightJustified(Width, QLatin1Char('0'));
}

// How many characters from Index on equal Letter, ignoring case.
int RunLength(const QString& Format, int Index, QChar Letter)
{
    int count = 0;
    while (Index + count < Format.size() && Format[Index + count].toLower() == Letter)
        ++count;
    return count;
}

bool MatchesAt(const QString& Format, int Index, QLatin1StringView Word)
{
    return Index + Word.size() <= Format.size() &&
           QStringView(Format).mid(Index, Word.size()).compare(Word, Qt::CaseInsensitive) == 0;
}

// The length of the am/pm token at Index, or 0 when there is none.
int AmPmTokenLength(const QString& Format, int Index)
{
    if (MatchesAt(Format, Index, QLatin1StringView("am/pm")))
        return 5;
    if (MatchesAt(Format, Index, QLatin1StringView("a/p")))
        return 3;
    if (MatchesAt(Format, Index, QLatin1StringView("ampm")))
        return 4;
    return 0;
}

bool HasAmPmToken(const QString& Format)
{
    for (int i = 0; i < Format.size(); ++i) {
        const QChar c = Format[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int close = Format.indexOf(c, i + 1);
            if (close < 0)
                return false;
            i = close;
        } else if (AmPmTokenLength(Format, i) > 0) {
            return true;
        }
    }
    return false;
}

// Characters that may stand between an hour and the minutes written as m/mm.
bool KeepsHourContext(QChar c)
{
    return c.isSpace() || c.isPunct() || c.isSymbol();
}

class TDateTimeWriter {
public:
    TDateTimeWriter(const TDateParts& Parts, const TDateTimeFormatSettings& Settings)
        : FParts(Parts), FSettings(Settings)
    {
    }

    QString Write(const QString& Format)
    {
        Append(Format, 0, false);
        return FOut;
    }

private:
    void AppendNested(const QString& Format, int Depth, bool TwelveHour)
    {
        if (Depth < MaxNesting)
            Append(Format, Depth + 1, TwelveHour);
    }

    void AppendHour(bool TwelveHour, int Width)
    {
        int hour = FParts.Hour;
        if (TwelveHour) {
            hour %= 12;
            if (hour == 0)
                hour = 12;
        }
        FOut += Padded(hour, Width);
    }

    // Depth counts the nested pictures around Format; an outer am/pm token
    // puts the hours of the pictures it expands on the 12-hour clock too.
    void Append(const QString& Format, int Depth, bool OuterTwelveHour)
    {
        const bool twelveHour = OuterTwelveHour || HasAmPmToken(Format);
        const bool pm = FParts.Hour >= 12;
        bool afterHour = false;
        int i = 0;
        while (i < Format.size()) {
            const QChar c = Format[i];
            const QChar letter = c.toLower();
            bool hourToken = false;
            bool keepContext = false;
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                const int close = Format.indexOf(c, i + 1);
                const int end = close < 0 ? int(Format.size()) : close;
                FOut += QStringView(Format).mid(i + 1, end - i - 1);
                i = close < 0 ? end : end + 1;
                afterHour = false;
                continue;
            }
            if (c == QLatin1Char('/') || c == QLatin1Char(':')) {
                const QChar separator = c == QLatin1Char('/') ? FSettings.DateSeparator : FSettings.TimeSeparator;
                if (!separator.isNull())
                    FOut += separator;
                ++i;
                continue;
            }
            int length = 1;
            if (letter == QLatin1Char('a') && AmPmTokenLength(Format, i) > 0) {
                length = AmPmTokenLength(Format, i);
                if (length == 5)
                    FOut += QStringView(Format).mid(pm ? i + 3 : i, 2);
                else if (length == 3)
                    FOut += Format[pm ? i + 2 : i];
                else
                    FOut += pm ? FSettings.TimePMString : FSettings.TimeAMString;
            } else if (letter == QLatin1Char('c')) {
                AppendNested(FSettings.ShortDateFormat, Depth, twelveHour);
                if (FParts.TimeMs != 0 && Depth < MaxNesting) {
                    FOut += QLatin1Char(' ');
                    AppendNested(FSettings.LongTimeFormat, Depth, twelveHour);
                }
            } else if (letter == QLatin1Char('d')) {
                length = std::min(RunLength(Format, i, letter), 6);
                switch (length) {
                case 1:
                case 2: FOut += Padded(FParts.Day, length); break;
                case 3: FOut += FSettings.ShortDayNames[FParts.DayOfWeek]; break;
                case 4: FOut += FSettings.LongDayNames[FParts.DayOfWeek]; break;
                case 5: AppendNested(FSettings.ShortDateFormat, Depth, twelveHour); break;
                default: AppendNested(FSettings.LongDateFormat, Depth, twelveHour); break;
                }
            } else if (letter == QLatin1Char('m')) {
                length = std::min(RunLength(Format, i, letter), 4);
                if (length <= 2)
                    FOut += Padded(afterHour ? FParts.Minute : FParts.Month, length);
                else if (length == 3)
                    FOut += FSettings.ShortMonthNames[FParts.Month - 1];
                else
                    FOut += FSettings.LongMonthNames[FParts.Month - 1];
            } else if (letter == QLatin1Char('y')) {
                length = RunLength(Format, i, letter);
                FOut += length <= 2 ? Padded(FParts.Year % 100, 2) : Padded(FParts.Year, 4);
            } else if (letter == QLatin1Char('h')) {
                length = std::min(RunLength(Format, i, letter), 2);
                AppendHour(twelveHour, length);
                hourToken = true;
            } else if (letter == QLatin1Char('n')) {
                length = std::min(RunLength(Format, i, letter), 2);
                FOut += Padded(FParts.Minute, length);
            } else if (letter == QLatin1Char('s')) {
                length = std::min(RunLength(Format, i, letter), 2);
                FOut += Padded(FParts.Second, length);
            } else if (letter == QLatin1Char('z')) {
                length = std::min(RunLength(Format, i, letter), 3);
                FOut += Padded(FParts.MilliSecond, length == 3 ? 3 : 1);
            } else if (letter == QLatin1Char('t')) {
                length = std::min(RunLength(Format, i, letter), 2);
                AppendNested(length == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, Depth, twelveHour);
            } else {
                FOut += c;
                keepContext = KeepsHourContext(c);
            }
            if (hourToken)
                afterHour = true;
            else if (!keepContext)
                afterHour = false;
            i += length;
        }
    }

    const TDateParts& FParts;
    const TDateTimeFormatSettings& FSettings;
    QString FOut;
};

} // namespace

QString FormatDateTime(const QString& Format, double DateTime, const TDateTimeFormatSettings& Settings)
{
    const TDateParts parts = SplitDateTime(DateTime);
    return TDateTimeWriter(parts, Settings).Write(Format);
}

bool IsCalendarDateTime(double DateTime)
{
    long long day = 0;
    long long ms = 0;
    return DayAndTime(DateTime, day, ms);
}

QString DateTimeOrNumber(const QString& Format, double DateTime)
{
    if (IsCalendarDateTime(DateTime))
        return FormatDateTime(Format, DateTime);
    return FormatFloat(QStringLiteral("0.###E+0"), DateTime);
}

QString DateTimeToString(const QString& Format, double DateTime)
{
    return FormatDateTime(Format.isEmpty() ? QStringLiteral("c") : Format, DateTime);
}

double EncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second, int MilliSecond)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month) ||
        Hour < 0 || Hour > 23 || Minute < 0 || Minute > 59 || Second < 0 || Second > 59 || MilliSecond < 0 ||
        MilliSecond > 999)
        RaiseInvalidDate();
    long long days = 0;
    for (int month = 1; month < Month; ++month)
        days += DaysInMonth(Year, month);
    const long long y = Year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400 + Day - 1 - DayZeroOffset;
    const long long ms = ((Hour * 60LL + Minute) * 60 + Second) * 1000 + MilliSecond;
    const double time = double(ms) / double(MSecsPerDay);
    return days < 0 ? double(days) - time : double(days) + time;
}

void DecodeDateTime(double DateTime, int& Year, int& Month, int& Day, int& Hour, int& Minute, int& Second,
                    int& MilliSecond)
{
    const TDateParts parts = SplitDateTime(DateTime);
    Year = parts.Year;
    Month = parts.Month;
    Day = parts.Day;
    Hour = parts.Hour;
    Minute = parts.Minute;
    Second = parts.Second;
    MilliSecond = parts.MilliSecond;
}

} // namespace lp
