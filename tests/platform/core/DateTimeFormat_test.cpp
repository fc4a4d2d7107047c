#include "platform/core/DateTimeFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>

namespace lp {
namespace {

struct FormatRow {
    const char* format;
    double value;
    const char* expected;
};

void ExpectTexts(const FormatRow* rows, size_t count, const TDateTimeFormatSettings& settings = {})
{
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(rows[i].format), rows[i].value, settings).toStdString(),
                  rows[i].expected)
            << "format \"" << rows[i].format << "\" value " << rows[i].value;
}

template <typename Call>
void ExpectDateError(Call call, const std::string& what)
{
    try {
        call();
        ADD_FAILURE() << "no error for " << what;
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode") << what;
    }
}

// Tuesday 5 March 2024, 14:07:09.045 and 08:04:03.007.
const double Afternoon = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
const double Morning = EncodeDateTime(2024, 3, 5, 8, 4, 3, 7);

double Clock(int hour, int minute)
{
    return EncodeDateTime(2024, 1, 1, hour, minute, 0, 0);
}

TEST(FormatDateTime, EachTokenGivesItsPart)
{
    const FormatRow rows[] = {
        {"d", Afternoon, "5"},          {"dd", Afternoon, "05"},
        {"ddd", Afternoon, "Tue"},      {"dddd", Afternoon, "Tuesday"},
        {"ddddd", Afternoon, "05/03/2024"}, {"dddddd", Afternoon, "Tuesday, 5 March 2024"},
        {"ddddddd", Afternoon, "Tuesday, 5 March 20245"},
        {"DdD", Afternoon, "Tue"},      {"m", Afternoon, "3"},
        {"mm", Afternoon, "03"},        {"mmm", Afternoon, "Mar"},
        {"MMMM", Afternoon, "March"},   {"y", Afternoon, "24"},
        {"yy", Afternoon, "24"},        {"yyy", Afternoon, "2024"},
        {"yyyy", Afternoon, "2024"},    {"yyyyy", Afternoon, "2024"},
        {"h", Morning, "8"},            {"hh", Morning, "08"},
        {"n", Morning, "4"},            {"nn", Morning, "04"},
        {"s", Morning, "3"},            {"ss", Morning, "03"},
        {"z", Morning, "7"},            {"zz", Morning, "7"},
        {"zzz", Morning, "007"},        {"z", Afternoon, "45"},
        {"t", Afternoon, "14:07"},      {"tt", Afternoon, "14:07:09"},
        {"c", Afternoon, "05/03/2024 14:07:09"},
        {"yyyy-mm-dd hh:nn:ss.zzz", Afternoon, "2024-03-05 14:07:09.045"},
        {"x#e!", Afternoon, "x#e!"},    {"", Afternoon, ""},
    };
    ExpectTexts(rows, std::size(rows));
}

TEST(FormatDateTime, TwelveHourClockOnlyWithAnAmPmToken)
{
    const FormatRow rows[] = {
        {"h:nn am/pm", Clock(0, 5), "12:05 am"},
        {"h:nn am/pm", Clock(1, 0), "1:00 am"},
        {"h:nn am/pm", Clock(11, 59), "11:59 am"},
        {"h:nn am/pm", Clock(12, 0), "12:00 pm"},
        {"hh:nn AM/PM", Clock(13, 0), "01:00 PM"},
        {"h Am/Pm", Clock(23, 0), "11 Pm"},
        {"h a/p", Clock(9, 0), "9 a"},
        {"h A/P", Clock(21, 0), "9 P"},
        {"ampm h", Clock(21, 0), "PM 9"},
        {"t ampm", Clock(21, 30), "09:30 PM"},
        {"h 'am/pm'", Clock(21, 0), "21 am/pm"},
        {"h a", Clock(21, 0), "21 a"},
    };
    ExpectTexts(rows, std::size(rows));
}

TEST(FormatDateTime, MAfterAnHourIsMinutesElseMonth)
{
    const FormatRow rows[] = {
        {"hh:mm", Afternoon, "14:07"},       {"mm/dd", Afternoon, "03/05"},
        {"h m", Afternoon, "14 7"},          {"hh.mm", Afternoon, "14.07"},
        {"hh:nn mm", Afternoon, "14:07 03"}, {"hh mmm", Afternoon, "14 Mar"},
        {"hh'h'mm", Afternoon, "14h03"},     {"hhxmm", Afternoon, "14x03"},
        {"mm hh mm", Afternoon, "03 14 07"},
    };
    ExpectTexts(rows, std::size(rows));
}

TEST(FormatDateTime, QuotedTextIsCopiedWithoutTheQuotes)
{
    const FormatRow rows[] = {
        {"'day' d", Afternoon, "day 5"}, {"\"it's\" d", Afternoon, "it's 5"}, {"'d/m' d/m", Afternoon, "d/m 5/3"},
        {"d 'open end", Afternoon, "5 open end"}, {"''d'", Afternoon, "5"},
    };
    ExpectTexts(rows, std::size(rows));
}

TEST(FormatDateTime, SeparatorsNamesAndPicturesComeFromTheSettings)
{
    TDateTimeFormatSettings settings;
    settings.DateSeparator = QLatin1Char('.');
    settings.TimeSeparator = QLatin1Char('h');
    settings.ShortDateFormat = "dd/mm/yy";
    settings.LongTimeFormat = "hh:nn";
    settings.LongMonthNames[2] = "M\u00e4rz";
    settings.ShortDayNames[2] = "Di";
    const FormatRow rows[] = {
        {"c", Afternoon, "05.03.24 14h07"}, {"mmmm", Afternoon, "M\u00e4rz"},
        {"ddd", Afternoon, "Di"},           {"'/:' /:", Afternoon, "/: .h"},
    };
    ExpectTexts(rows, std::size(rows), settings);
}

TEST(FormatDateTime, PicturesReferringToEachOtherStopNesting)
{
    TDateTimeFormatSettings settings;
    settings.ShortDateFormat = "[c]";
    settings.LongTimeFormat = "tt";
    EXPECT_EQ(FormatDateTime("c", 0, settings), "[[]]");
    EXPECT_EQ(FormatDateTime("tt", 0.5, settings), "");
}

TEST(FormatDateTime, ShortDateAloneAtMidnight)
{
    const FormatRow rows[] = {
        {"c", 0, "30/12/1899"},
        {"c", 0.5, "30/12/1899 12:00:00"},
        {"c", EncodeDateTime(2000, 1, 1, 0, 0, 0, 1), "01/01/2000 00:00:00"},
        {"c", 36526 + 1e-10, "01/01/2000"},
    };
    ExpectTexts(rows, std::size(rows));
    EXPECT_EQ(DateTimeToString("", 36526), "01/01/2000");
    EXPECT_EQ(DateTimeToString("", 36526.75), "01/01/2000 18:00:00");
    EXPECT_EQ(DateTimeToString("yyyy", 36526.75), "2000");
}

TEST(FormatDateTime, TimeRoundsToTheMillisecondCarryingIntoTheDateAlsoForNegativeValues)
{
    const double ms = 1.0 / 86400000;
    const FormatRow rows[] = {
        {"dd/mm/yyyy hh:nn:ss.zzz", 1 - 1e-10, "31/12/1899 00:00:00.000"},
        {"dd/mm/yyyy hh:nn:ss.zzz", 0.5 + 0.4 * ms, "30/12/1899 12:00:00.000"},
        {"dd/mm/yyyy hh:nn:ss.zzz", 0.5 + 0.6 * ms, "30/12/1899 12:00:00.001"},
        {"dd/mm/yyyy hh:nn:ss.zzz", 36892 - 1e-10, "01/01/2001 00:00:00.000"},
        {"dd/mm/yyyy hh:nn:ss.zzz", 2958465.9999999, "31/12/9999 23:59:59.991"},
        {"dd/mm/yyyy hh:nn:ss.zzz", -1.9999999999, "30/12/1899 00:00:00.000"},
        {"dd/mm/yyyy hh:nn", -1, "29/12/1899 00:00"},
        {"dd/mm/yyyy hh:nn", -1.25, "29/12/1899 06:00"},
        {"dd/mm/yyyy hh:nn", -0.5, "30/12/1899 12:00"},
        {"dd/mm/yyyy hh:nn dddd", -693593.5, "01/01/0001 12:00 Monday"},
        {"dd/mm/yyyy dddd", -109512, "29/02/1600 Tuesday"},
    };
    ExpectTexts(rows, std::size(rows));
}

TEST(EncodeDateTime, CalendarAnchorsRoundTrip)
{
    struct Row {
        int year, month, day, hour, minute, second, ms;
        double value;
    };
    const Row rows[] = {
        {1899, 12, 30, 0, 0, 0, 0, 0},
        {1899, 12, 31, 0, 0, 0, 0, 1},
        {1900, 1, 1, 0, 0, 0, 0, 2},
        {1900, 2, 28, 0, 0, 0, 0, 60},
        {1900, 3, 1, 0, 0, 0, 0, 61},
        {2000, 2, 29, 0, 0, 0, 0, 36585},
        {2000, 3, 1, 18, 0, 0, 0, 36586.75},
        {1, 1, 1, 0, 0, 0, 0, -693593},
        {9999, 12, 31, 23, 59, 59, 999, 2958465 + 86399999.0 / 86400000},
        {1899, 12, 29, 6, 0, 0, 0, -1.25},
    };
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(EncodeDateTime(r.year, r.month, r.day, r.hour, r.minute, r.second, r.ms), r.value)
            << r.year << "-" << r.month << "-" << r.day;
        int y, mo, d, h, mi, s, ms;
        DecodeDateTime(r.value, y, mo, d, h, mi, s, ms);
        EXPECT_EQ((std::array{y, mo, d, h, mi, s, ms}),
                  (std::array{r.year, r.month, r.day, r.hour, r.minute, r.second, r.ms}))
            << "value " << r.value;
    }
}

TEST(EncodeDateTime, EveryFirstOfMarchFollowsTheLastDayOfFebruary)
{
    // A single off-by-one in the 100/400-year cycles shows up as a gap here.
    for (int year = 1; year <= 9999; ++year) {
        const int february = (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 29 : 28;
        EXPECT_EQ(EncodeDateTime(year, 3, 1, 0, 0, 0, 0), EncodeDateTime(year, 2, february, 0, 0, 0, 0) + 1)
            << year;
        int y, mo, d, h, mi, s, ms;
        DecodeDateTime(EncodeDateTime(year, 12, 31, 0, 0, 0, 0), y, mo, d, h, mi, s, ms);
        ASSERT_EQ((std::array{y, mo, d}), (std::array{year, 12, 31}));
    }
}

TEST(EncodeDateTime, InvalidPartsRaise)
{
    const int rows[][7] = {
        {1900, 2, 29, 0, 0, 0, 0}, {2000, 2, 30, 0, 0, 0, 0}, {2023, 2, 29, 0, 0, 0, 0},
        {2024, 4, 31, 0, 0, 0, 0}, {2024, 13, 1, 0, 0, 0, 0}, {2024, 0, 1, 0, 0, 0, 0},
        {2024, 1, 0, 0, 0, 0, 0},  {2024, 1, 1, 24, 0, 0, 0}, {2024, 1, 1, -1, 0, 0, 0},
        {2024, 1, 1, 0, 60, 0, 0}, {2024, 1, 1, 0, 0, 60, 0}, {2024, 1, 1, 0, 0, 0, 1000},
        {0, 12, 31, 0, 0, 0, 0},   {10000, 1, 1, 0, 0, 0, 0}, {-2147483647 - 1, 1, 1, 0, 0, 0, 0},
    };
    for (const auto& r : rows)
        ExpectDateError([&] { EncodeDateTime(r[0], r[1], r[2], r[3], r[4], r[5], r[6]); },
                        std::to_string(r[0]) + "-" + std::to_string(r[1]) + "-" + std::to_string(r[2]) + " " +
                            std::to_string(r[3]) + ":" + std::to_string(r[4]) + ":" + std::to_string(r[5]) +
                            "." + std::to_string(r[6]));
}

TEST(FormatDateTime, ValuesOutsideTheYearsOneToNineThousandRaise)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {std::nan(""), inf, -inf, 2958466, 2958465.99999999999, -693594,
                             -693594.5, 1e300, -1e300, 9.3e18, -9.3e18};
    for (double value : values) {
        ExpectDateError([&] { FormatDateTime("'literal'", value); }, std::to_string(value));
        int y = -1, mo, d, h, mi, s, ms;
        ExpectDateError([&] { DecodeDateTime(value, y, mo, d, h, mi, s, ms); }, std::to_string(value));
        EXPECT_EQ(y, -1);
    }
}

// The calendar's first and last milliseconds are dates; a millisecond past
// its end (after rounding), the values beyond and NaN are not, and show as
// numbers in exponent form.
TEST(DateTimeOrNumber, DatesWithinTheCalendarNumbersBeyond)
{
    const double ms = 1.0 / 86400000;
    EXPECT_TRUE(IsCalendarDateTime(-693593.0));
    EXPECT_TRUE(IsCalendarDateTime(2958465 + 86399999.0 / 86400000));
    EXPECT_FALSE(IsCalendarDateTime(2958465 + 86399999.6 * ms));
    EXPECT_FALSE(IsCalendarDateTime(-693594.0));
    for (double Beyond : {1e300, -3e298, std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_FALSE(IsCalendarDateTime(Beyond)) << Beyond;
    EXPECT_EQ(DateTimeOrNumber(QStringLiteral("dd/mm/yyyy"), -693593.0), QStringLiteral("01/01/0001"));
    EXPECT_EQ(DateTimeOrNumber(QStringLiteral("dd/mm/yyyy"), 1.05e300), QStringLiteral("1.05E+300"));
    EXPECT_EQ(DateTimeOrNumber(QStringLiteral("dd/mm/yyyy"), -3e298), QStringLiteral("-3E+298"));
}

} // namespace
} // namespace lp
