#pragma once
// Text forms of dates and times for chart labels and legends.
//
// A date is a double: whole days since 30 December 1899 (day 0), the
// fraction of a day being the time. A negative value counts days back from
// day 0 while its fraction is still the time of day: -1.25 is 29 December
// 1899 06:00 (the whole part is truncated toward zero, the time is the
// magnitude of what is left). Calendars are proleptic Gregorian for the
// years 1 .. 9999, so day -693593 is 1 January 0001 and day 2958465 is
// 31 December 9999.
//
// Every reading of a date first rounds its time of day to the nearest
// millisecond; a time that rounds to a whole day carries into the next
// calendar day (0.9999999999 is 31 December 1899 00:00:00.000, and
// -1.9999999999 is 30 December 1899 00:00:00.000). A value that is NaN,
// infinite, or lies outside the years 1 .. 9999 after that rounding raises
// EConvertError "Invalid argument to date encode".
//
// Pictures (letters in any case):
//   c       ShortDateFormat, then a blank and LongTimeFormat unless the time
//           rounds to exactly midnight
//   d dd    day of the month, without / with a leading zero
//   ddd     ShortDayNames, dddd LongDayNames
//   ddddd   ShortDateFormat, dddddd LongDateFormat
//   m mm    month without / with a leading zero; minutes instead when the
//           token follows an h or hh token with nothing between them but
//           unquoted '/', ':', blanks and other punctuation
//   mmm     ShortMonthNames, mmmm LongMonthNames (always the month)
//   y yy    two-digit year; three or more y's the four-digit year
//   h hh    hour; on the 12-hour clock (12, 1 .. 11) when the picture, or a
//           picture that expands into it, holds an am/pm token
//   n nn    minutes, s ss seconds (without / with a leading zero)
//   z       milliseconds without padding (also zz), zzz three digits
//   t tt    ShortTimeFormat, LongTimeFormat
//   am/pm   the "am" or "pm" half of the token as written ("AM/PM" gives
//           "AM"/"PM", "am/pm" gives "am"/"pm")
//   a/p     the "a" or "p" of the token as written
//   ampm    TimeAMString or TimePMString
//   /       DateSeparator, : TimeSeparator
//   '...' or "..."  copied without the quotes; an unterminated quote copies
//           to the end of the picture
// Longer runs of a letter split into the longest token and the rest
// ("ddddddd" is "dddddd" then "d"); every other character is copied.
// Tokens that expand another picture (c, ddddd, dddddd, t, tt) nest at most
// two levels deep; deeper ones give nothing, so settings whose pictures
// refer to each other cannot loop.
//
// Nothing here depends on the process locale: names and separators come
// from the settings passed in, English by default, so results reproduce.

#include "platform/base/Exception.h"

#include <QtCore/QString>

#include <array>

namespace lp {

struct TDateTimeFormatSettings {
    QChar DateSeparator = QLatin1Char('/');
    QChar TimeSeparator = QLatin1Char(':');
    QString ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    QString LongDateFormat = QStringLiteral("dddd, d mmmm yyyy");
    QString ShortTimeFormat = QStringLiteral("hh:nn");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    std::array<QString, 12> ShortMonthNames{
        QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
        QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
        QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    std::array<QString, 12> LongMonthNames{
        QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
        QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
        QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    // Index 0 is Sunday.
    std::array<QString, 7> ShortDayNames{QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
                                         QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"),
                                         QStringLiteral("Sat")};
    std::array<QString, 7> LongDayNames{QStringLiteral("Sunday"),   QStringLiteral("Monday"),
                                        QStringLiteral("Tuesday"),  QStringLiteral("Wednesday"),
                                        QStringLiteral("Thursday"), QStringLiteral("Friday"),
                                        QStringLiteral("Saturday")};
};

// DateTime written through the picture Format (see above). Raises
// EConvertError for a DateTime outside the years 1 .. 9999, whatever the
// picture asks for.
QString FormatDateTime(const QString& Format, double DateTime, const TDateTimeFormatSettings& Settings = {});

// Whether DateTime, rounded to the millisecond, falls in the years
// 1 .. 9999: whether FormatDateTime can write it.
bool IsCalendarDateTime(double DateTime);

// DateTime through the picture Format (as FormatDateTime) when it is a calendar
// date; beyond the calendar, where no picture can write it, the number
// itself in exponent form ("1.05E+300").
QString DateTimeOrNumber(const QString& Format, double DateTime);

// FormatDateTime with the default settings; an empty Format means "c".
QString DateTimeToString(const QString& Format, double DateTime);

// The date value of a calendar date and time of day. Raises EConvertError
// "Invalid argument to date encode" unless Year is 1 .. 9999, Month 1 .. 12,
// Day a day of that month, Hour 0 .. 23, Minute and Second 0 .. 59 and
// MilliSecond 0 .. 999. Dates before day 0 give negative values whose
// fraction is the time (29 December 1899 06:00 is -1.25).
double EncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second, int MilliSecond);

// The calendar parts of DateTime after rounding to the millisecond. Raises
// EConvertError as FormatDateTime does; the outputs are untouched then.
void DecodeDateTime(double DateTime, int& Year, int& Month, int& Day, int& Hour, int& Minute, int& Second,
                    int& MilliSecond);

} // namespace lp
