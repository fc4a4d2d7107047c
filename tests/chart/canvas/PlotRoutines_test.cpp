#include "chart/canvas/PlotRoutines.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "platform/core/Component.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/graphics/RecordingDC.h"
#include "platform/ui/Registry.h"

#include <gtest/gtest.h>

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QLocale>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lp {
namespace {

// The unit's state is global: every test that changes it starts from a
// fresh start-up and shuts down again.
class PlotRoutinesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FinalizePlotRoutines();
        InitializePlotRoutines();
    }
    void TearDown() override
    {
        FinalizePlotRoutines();
        InitializePlotRoutines();
        QLocale::setDefault(QLocale::c());
    }
};

// --- Hit tests ---------------------------------------------------------------------------------------

struct TLineRow {
    TPoint P;
    int X0, Y0, X1, Y1, Tolerance;
    bool Expected;
};

class PointInLineToleranceTest : public ::testing::TestWithParam<TLineRow> {};

TEST_P(PointInLineToleranceTest, AcceptsPointsWithinTolerancePlusOne)
{
    const TLineRow& Row = GetParam();
    EXPECT_EQ(PointInLineTolerance(Row.P, Row.X0, Row.Y0, Row.X1, Row.Y1, Row.Tolerance), Row.Expected);
    EXPECT_EQ(PointInLineTolerancePts(Row.P, {Row.X0, Row.Y0}, {Row.X1, Row.Y1}, Row.Tolerance), Row.Expected);
    EXPECT_EQ(PointInLineXY(Row.P, Row.X0, Row.Y0, Row.X1, Row.Y1, Row.Tolerance), Row.Expected);
    if (Row.Tolerance == 0) {
        EXPECT_EQ(PointInLine(Row.P, Row.X0, Row.Y0, Row.X1, Row.Y1), Row.Expected);
        EXPECT_EQ(PointInLinePts(Row.P, {Row.X0, Row.Y0}, {Row.X1, Row.Y1}), Row.Expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PointInLineToleranceTest,
    ::testing::Values(TLineRow{{0, 0}, 0, 0, 10, 0, 0, true},    // first end
                      TLineRow{{10, 0}, 0, 0, 10, 0, 0, true},   // second end
                      TLineRow{{5, 0}, 0, 0, 10, 0, 0, true},    // on the line
                      TLineRow{{5, 1}, 0, 0, 10, 0, 0, true},    // one pixel off, tolerance 0
                      TLineRow{{5, 2}, 0, 0, 10, 0, 0, false},   // two pixels off
                      TLineRow{{5, 3}, 0, 0, 10, 0, 2, true},    // within tolerance 2 + 1
                      TLineRow{{5, 4}, 0, 0, 10, 0, 2, false},
                      TLineRow{{-2, 0}, 0, 0, 10, 0, 0, false},  // beyond the first end
                      TLineRow{{11, 0}, 0, 0, 10, 0, 0, true},   // one pixel beyond the second end
                      TLineRow{{4, 4}, 3, 3, 3, 3, 0, false},    // degenerate segment
                      TLineRow{{4, 3}, 3, 3, 3, 3, 0, true},
                      TLineRow{{0, 0}, -2000000000, -2000000000, 2000000000, 2000000000, 0, true}));

TEST(PointInLineNearestFirst, TellsWhichEndWasNearer)
{
    ASSERT_TRUE(PointInLine({2, 0}, 0, 0, 10, 0));
    EXPECT_TRUE(PointInLineNearestFirst());
    ASSERT_TRUE(PointInLine({9, 1}, 0, 0, 10, 0));
    EXPECT_FALSE(PointInLineNearestFirst());
    ASSERT_TRUE(PointInLine({10, 0}, 0, 0, 10, 0));
    EXPECT_FALSE(PointInLineNearestFirst());
    // A miss leaves the flag as it was.
    ASSERT_FALSE(PointInLine({2, 50}, 0, 0, 10, 0));
    EXPECT_FALSE(PointInLineNearestFirst());
}

struct TPolygonRow {
    TPoint P;
    bool Expected;
};

class PointInPolygonTest : public ::testing::TestWithParam<TPolygonRow> {};

TEST_P(PointInPolygonTest, CountsCrossingsOfAConcaveShape)
{
    // An L shape.
    const std::vector<TPoint> Poly = {{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}};
    EXPECT_EQ(PointInPolygon(GetParam().P, Poly), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, PointInPolygonTest,
                         ::testing::Values(TPolygonRow{{2, 2}, true}, TPolygonRow{{8, 2}, true},
                                           TPolygonRow{{2, 8}, true}, TPolygonRow{{8, 8}, false},
                                           TPolygonRow{{-1, 2}, false}, TPolygonRow{{11, 2}, false},
                                           TPolygonRow{{2, 0}, true},    // lower edge counts
                                           TPolygonRow{{2, 10}, false})); // upper edge does not

TEST(PointInPolygon, EmptyPolygonHoldsNothing)
{
    EXPECT_FALSE(PointInPolygon({0, 0}, std::span<const TPoint>()));
}

TEST(PointInPolygon, HugeCoordinatesDoNotOverflow)
{
    const std::vector<TPoint> Poly = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}};
    EXPECT_TRUE(PointInPolygon({0, 0}, Poly));
    EXPECT_FALSE(PointInPolygon({1999999999, 1999999999}, Poly));
}

TEST(PointInTriangles, VerticalAndHorizontalTrianglesUseTheirCorners)
{
    EXPECT_TRUE(PointInTriangle({3, 3}, {0, 0}, {10, 0}, {0, 10}));
    EXPECT_FALSE(PointInTriangle({8, 8}, {0, 0}, {10, 0}, {0, 10}));
    // Apex (5, 0), base y = 10.
    EXPECT_TRUE(PointInVertTriangle({5, 2}, 0, 0, 10, 10));
    EXPECT_FALSE(PointInVertTriangle({1, 2}, 0, 0, 10, 10));
    // Apex (0, 5), base x = 10.
    EXPECT_TRUE(PointInHorizTriangle({2, 5}, 0, 0, 10, 10));
    EXPECT_FALSE(PointInHorizTriangle({2, 1}, 0, 0, 10, 10));
}

struct TEllipseRow {
    TPoint P;
    TRect Box;
    bool Expected;
};

class PointInEllipseTest : public ::testing::TestWithParam<TEllipseRow> {};

TEST_P(PointInEllipseTest, InsideWhenNormalisedDistanceAtMostOne)
{
    const TEllipseRow& Row = GetParam();
    EXPECT_EQ(PointInEllipse(Row.P, Row.Box.Left, Row.Box.Top, Row.Box.Right, Row.Box.Bottom), Row.Expected);
    EXPECT_EQ(PointInEllipseRect(Row.P, Row.Box), Row.Expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, PointInEllipseTest,
                         ::testing::Values(TEllipseRow{{10, 5}, {0, 0, 20, 10}, true},
                                           TEllipseRow{{0, 5}, {0, 0, 20, 10}, true},    // on the rim
                                           TEllipseRow{{1, 1}, {0, 0, 20, 10}, false},   // corner
                                           TEllipseRow{{10, 5}, {0, 0, 1, 10}, false},   // no width
                                           TEllipseRow{{0, 0}, {0, 0, 10, 1}, false}));  // no height

TEST(LinesIntersect, CrossingSegmentsGiveTheirPoint)
{
    double X = 0, Y = 0;
    EXPECT_TRUE(LinesIntersect({0, 0}, {10, 10}, {0, 10}, {10, 0}, X, Y));
    EXPECT_DOUBLE_EQ(X, 5);
    EXPECT_DOUBLE_EQ(Y, 5);
}

TEST(LinesIntersect, VerticalSegmentGivesTheRealCrossingPoint)
{
    // Regression: a slope formula divides by zero for vertical lines.
    double X = 0, Y = 0;
    EXPECT_TRUE(LinesIntersect({4, -5}, {4, 5}, {0, 0}, {10, 2}, X, Y));
    EXPECT_DOUBLE_EQ(X, 4);
    EXPECT_DOUBLE_EQ(Y, 0.8);
}

TEST(LinesIntersect, SegmentsThatDoNotReachEachOtherDoNotCross)
{
    double X = 0, Y = 0;
    EXPECT_FALSE(LinesIntersect({0, 0}, {1, 1}, {0, 10}, {10, 0}, X, Y));
    EXPECT_DOUBLE_EQ(X, 5);
    EXPECT_DOUBLE_EQ(Y, 5);
    // Touching at an end is not a crossing (sides must differ strictly).
    EXPECT_FALSE(LinesIntersect({0, 0}, {5, 5}, {0, 10}, {10, 0}, X, Y));
}

TEST(LinesIntersect, ParallelLinesGiveTheSecondStartPoint)
{
    double X = 0, Y = 0;
    EXPECT_FALSE(LinesIntersect({0, 0}, {10, 0}, {2, 3}, {8, 3}, X, Y));
    EXPECT_DOUBLE_EQ(X, 2);
    EXPECT_DOUBLE_EQ(Y, 3);
}

// --- Date-time steps ---------------------------------------------------------------------------------

TEST(DateTimeStep, TableHoldsTheStepsInDays)
{
    EXPECT_DOUBLE_EQ(DateTimeStep(dtOneMicrosecond), 1.0 / 86400e6);
    EXPECT_DOUBLE_EQ(DateTimeStep(dtOneSecond), 1.0 / 86400);
    EXPECT_DOUBLE_EQ(DateTimeStep(dtTwelveHours), 0.5);
    EXPECT_DOUBLE_EQ(DateTimeStep(dtOneWeek), 7);
    EXPECT_DOUBLE_EQ(DateTimeStep(dtHalfMonth), 15);
    EXPECT_DOUBLE_EQ(DateTimeStep(dtSixMonths), 182);
    EXPECT_DOUBLE_EQ(DateTimeStep(dtOneYear), 365);
    EXPECT_THROW(DateTimeStep(-1), ERangeError);
    EXPECT_THROW(DateTimeStep(27), ERangeError);
}

TEST(DaysInMonth, FollowsTheLeapYearRule)
{
    EXPECT_EQ(DaysInMonth(2004, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2003, 4), 30);
    EXPECT_EQ(DaysInMonth(2003, 12), 31);
    EXPECT_THROW(DaysInMonth(2003, 0), ERangeError);
    EXPECT_THROW(DaysInMonth(2003, 13), ERangeError);
}

TEST(DefaultDateTimeFormat, TimeUpToOneDayElseDate)
{
    const QLocale Locale;
    EXPECT_EQ(DefaultDateTimeFormat(1), DateTimePictureFromLocalePattern(Locale.timeFormat(QLocale::ShortFormat)));
    EXPECT_EQ(DefaultDateTimeFormat(1.5), DateTimePictureFromLocalePattern(Locale.dateFormat(QLocale::ShortFormat)));
}

// The locale's pattern was used as a picture of our own grammar: "h:mm AP"
// gave "15:00 AP" in the afternoon.
TEST(DefaultDateTimeFormat, LocalePatternsBecomePictures)
{
    const double Afternoon = EncodeDateTime(2026, 12, 7, 15, 0, 0, 0);
    const struct {
        const char* Locale;
        const char* Time;
        const char* Date;
    } Rows[] = {
        {"en_US", "3:00 PM", "12/7/26"},
        {"de_DE", "15:00", "07.12.26"},
        {"C", "15:00:00", "7 Dec 2026"},
    };
    for (const auto& Row : Rows) {
        const QLocale Locale(QString::fromLatin1(Row.Locale));
        EXPECT_EQ(FormatDateTime(DefaultDateTimeFormat(0.5, Locale), Afternoon), Row.Time) << Row.Locale;
        EXPECT_EQ(FormatDateTime(DefaultDateTimeFormat(1, Locale), Afternoon), Row.Time) << Row.Locale;
        EXPECT_EQ(FormatDateTime(DefaultDateTimeFormat(7, Locale), Afternoon), Row.Date) << Row.Locale;
    }
    EXPECT_EQ(FormatDateTime(DefaultDateTimeFormat(0.5, QLocale("en_US")), Afternoon - 0.5), "3:00 AM");
}

TEST(DefaultDateTimeFormat, PatternTokensQuotesAndText)
{
    const struct {
        const char* Pattern;
        const char* Picture;
    } Rows[] = {
        {"h:mm AP", "h:nn AM/PM"},
        {"HH:mm:ss.zzz", "hh:nn:ss.zzz"},
        {"ap h:m:s", "am/pm h:n:s"},
        {"dddd, MMMM d, yyyy", "dddd, mmmm d, yyyy"},
        {"d MMM yy", "d mmm yy"},
        {"HH:mm:ss t", "hh:nn:ss"},
        {"dddd, d 'de' MMMM 'de' yyyy", "dddd, d 'de' mmmm 'de' yyyy"},
        {"H:mm 'ч'.", "h:nn 'ч'."},
        {"d.MM.yy 'г'.", "d.mm.yy 'г'."},
        {"h 'o''clock'", "h 'o'\"'\"'clock'"},
        {"''HH", "\"'\"hh"},
        {"yyyy\u5e74M\u6708d\u65e5", "yyyy'\u5e74'm'\u6708'd'\u65e5'"},
        {"HH 'unterminated", "hh 'unterminated'"},
        {"", ""},
    };
    for (const auto& Row : Rows)
        EXPECT_EQ(DateTimePictureFromLocalePattern(QString::fromUtf8(Row.Pattern)), QString::fromUtf8(Row.Picture))
            << Row.Pattern;
    // The quoted texts come out as written, whatever letters they hold.
    const double Day = EncodeDateTime(2026, 12, 7, 9, 5, 0, 0);
    EXPECT_EQ(FormatDateTime(DateTimePictureFromLocalePattern("h 'o''clock'"), Day), "9 o'clock");
    EXPECT_EQ(FormatDateTime(DateTimePictureFromLocalePattern("d 'de' MMMM"), Day), "7 de December");
}

struct TStepRow {
    double Step;
    double Expected;
};

class NextDateTimeStepTest : public ::testing::TestWithParam<TStepRow> {};

TEST_P(NextDateTimeStepTest, GivesTheEntryAfterTheLargestNotAbove)
{
    EXPECT_DOUBLE_EQ(NextDateTimeStep(GetParam().Step), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, NextDateTimeStepTest,
                         ::testing::Values(TStepRow{1, 2}, TStepRow{400, 365}, TStepRow{182, 365},
                                           TStepRow{45, 60}, TStepRow{0, 365}, TStepRow{1.0 / 86400, 5.0 / 86400}));

TEST(FindDateTimeStep, MatchesWithinAMicrosecond)
{
    EXPECT_EQ(FindDateTimeStep(30), dtOneMonth);
    EXPECT_EQ(FindDateTimeStep(30), 21);
    EXPECT_EQ(FindDateTimeStep(45), dtNone);
    EXPECT_EQ(FindDateTimeStep(45), 27);
    EXPECT_EQ(FindDateTimeStep(1.0 / 24 + 1e-12), dtOneHour);
    EXPECT_EQ(FindDateTimeStep(365), dtOneYear);
}

TEST(EncodeDate, CountsDaysFromTheBaseAndRefusesImpossibleDates)
{
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_THROW(EncodeDate(2003, 2, 31), EConvertError);
    int Year = 0, Month = 0, Day = 0;
    DecodeDate(EncodeDate(2004, 3, 20) + 0.75, Year, Month, Day);
    EXPECT_EQ(Year, 2004);
    EXPECT_EQ(Month, 3);
    EXPECT_EQ(Day, 20);
}

struct TTruncRow {
    int StepIndex;
    int Year, Month, Day;
    int ExpectedYear, ExpectedMonth, ExpectedDay;
};

class TruncDateToStepTest : public PlotRoutinesTest, public ::testing::WithParamInterface<TTruncRow> {};

TEST_P(TruncDateToStepTest, MovesToTheStartOfTheCalendarStep)
{
    const TTruncRow& Row = GetParam();
    EXPECT_DOUBLE_EQ(TruncDateToStep(Row.StepIndex, EncodeDate(Row.Year, Row.Month, Row.Day)),
                     EncodeDate(Row.ExpectedYear, Row.ExpectedMonth, Row.ExpectedDay));
}

INSTANTIATE_TEST_SUITE_P(Rows, TruncDateToStepTest,
                         ::testing::Values(TTruncRow{20, 2004, 3, 20, 2004, 3, 15},
                                           TTruncRow{20, 2004, 3, 14, 2004, 3, 1},
                                           TTruncRow{20, 2004, 3, 15, 2004, 3, 15},
                                           TTruncRow{21, 2004, 3, 20, 2004, 3, 1},
                                           TTruncRow{25, 2004, 3, 20, 2004, 3, 1},
                                           TTruncRow{26, 2004, 3, 20, 2004, 1, 1},
                                           TTruncRow{19, 2004, 3, 20, 2004, 3, 20},
                                           TTruncRow{27, 2004, 3, 20, 2004, 3, 20}));

TEST_F(PlotRoutinesTest, TruncDateToStep_LeavesDatesAtOrBeforeTheFloorAndKeepsOtherSteps)
{
    EXPECT_DOUBLE_EQ(DateFloor(), EncodeDate(1900, 1, 1));
    EXPECT_DOUBLE_EQ(TruncDateToStep(26, EncodeDate(1900, 1, 1)), EncodeDate(1900, 1, 1));
    EXPECT_DOUBLE_EQ(TruncDateToStep(21, -10.5), -10.5);
    EXPECT_DOUBLE_EQ(TruncDateToStep(dtOneHour, 40000.3), 40000.3);
    EXPECT_THROW(TruncDateToStep(28, 40000), ERangeError);
    EXPECT_THROW(TruncDateToStep(-1, 40000), ERangeError);
}

struct TIncDecRow {
    int StepIndex;
    bool Up;
    int Year, Month, Day;
    int ExpectedYear, ExpectedMonth, ExpectedDay;
};

class IncDecDateTimeTest : public ::testing::TestWithParam<TIncDecRow> {};

TEST_P(IncDecDateTimeTest, MovesByTheCalendarAndKeepsTheTime)
{
    const TIncDecRow& Row = GetParam();
    double Value = EncodeDate(Row.Year, Row.Month, Row.Day) + 0.25;
    IncDecDateTime(true, Row.Up, Value, 999, Row.StepIndex);
    EXPECT_DOUBLE_EQ(Value, EncodeDate(Row.ExpectedYear, Row.ExpectedMonth, Row.ExpectedDay) + 0.25);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IncDecDateTimeTest,
    ::testing::Values(TIncDecRow{21, true, 2004, 12, 10, 2005, 1, 10}, TIncDecRow{21, false, 2004, 1, 10, 2003, 12, 10},
                      TIncDecRow{22, true, 2004, 11, 10, 2005, 1, 10}, TIncDecRow{23, true, 2004, 3, 10, 2004, 6, 10},
                      TIncDecRow{24, false, 2004, 3, 10, 2003, 11, 10}, TIncDecRow{25, true, 2004, 9, 10, 2005, 3, 10},
                      TIncDecRow{26, true, 2004, 3, 10, 2005, 3, 10}, TIncDecRow{26, false, 2004, 3, 10, 2003, 3, 10},
                      TIncDecRow{20, true, 2004, 3, 20, 2004, 3, 15}, TIncDecRow{20, true, 2004, 3, 16, 2004, 3, 15},
                      TIncDecRow{20, true, 2004, 3, 15, 2004, 3, 1}, TIncDecRow{20, true, 2004, 3, 2, 2004, 3, 1},
                      TIncDecRow{20, true, 2004, 3, 1, 2004, 4, 15}, TIncDecRow{20, false, 2004, 1, 1, 2003, 12, 15},
                      // Regression: a month move from the 31st named a day the month lacks
                      // and failed; the month's last day is used.
                      TIncDecRow{21, true, 2003, 1, 31, 2003, 2, 28}, TIncDecRow{21, true, 2004, 1, 31, 2004, 2, 29},
                      TIncDecRow{26, true, 2004, 2, 29, 2005, 2, 28}));

TEST(IncDecDateTime, PlainNumbersAndShortStepsMoveByTheIncrement)
{
    double Value = 10;
    IncDecDateTime(false, true, Value, 2.5, dtOneMonth);
    EXPECT_DOUBLE_EQ(Value, 12.5);
    IncDecDateTime(true, false, Value, 0.5, dtOneHour);
    EXPECT_DOUBLE_EQ(Value, 12);
    EXPECT_THROW(IncDecDateTime(true, true, Value, 1, 30), ERangeError);
}

// --- Colours -----------------------------------------------------------------------------------------

TEST_F(PlotRoutinesTest, Palette_HoldsTheTwentyDefaultsAndWrapsAround)
{
    ASSERT_EQ(ColorPalette().Length(), 20);
    EXPECT_EQ(GetPaletteColor(0), TColor(0x0000FF));
    EXPECT_EQ(GetPaletteColor(15), TColor(0x000000));
    EXPECT_EQ(GetPaletteColor(19), TColor(0xA4A0A0));
    EXPECT_EQ(GetPaletteColor(21), TColor(0x008000));
    // Regression: a negative index raised a range error mid-paint.
    EXPECT_EQ(GetPaletteColor(-1), TColor(0x0000FF));
    EXPECT_EQ(GetPaletteColor(-25), TColor(0x0000FF));
}

TEST_F(PlotRoutinesTest, SetDefaultPalette_CopiesListsOfTwoOrMore)
{
    const std::vector<TColor> Colors = {clBlack, clWhite, 0x123456};
    SetDefaultPalette(Colors);
    ASSERT_EQ(ColorPalette().Length(), 3);
    EXPECT_EQ(GetPaletteColor(4), clWhite);
    ResetDefaultPalette();
    EXPECT_EQ(ColorPalette().Length(), 20);
}

class SetDefaultPaletteShortTest : public PlotRoutinesTest, public ::testing::WithParamInterface<int> {};

TEST_P(SetDefaultPaletteShortTest, OneColourOrNoneRestoresTheDefaults)
{
    SetDefaultPalette(std::vector<TColor>{clBlack, clWhite});
    SetDefaultPalette(std::vector<TColor>(std::size_t(GetParam()), clBlack));
    EXPECT_EQ(ColorPalette().Length(), 20);
    EXPECT_EQ(GetPaletteColor(0), TColor(0x0000FF));
}

INSTANTIATE_TEST_SUITE_P(Rows, SetDefaultPaletteShortTest, ::testing::Values(0, 1));

TEST_F(PlotRoutinesTest, GetPaletteColor_AfterShutdownRaisesInsteadOfDividingByZero)
{
    FinalizePlotRoutines();
    EXPECT_EQ(ColorPalette().Length(), 0);
    EXPECT_THROW(GetPaletteColor(0), ERangeError);
}

// --- Texts and numbers -------------------------------------------------------------------------------

TEST(IntToText, WritesDecimalWithoutPadding)
{
    EXPECT_EQ(IntToText(0), QStringLiteral("0"));
    EXPECT_EQ(IntToText(-1234), QStringLiteral("-1234"));
}

TEST_F(PlotRoutinesTest, LocalizeNumberFormat_SwapsSeparatorsInOnePass)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(LocalizeNumberFormat(QStringLiteral("#,##0.00")), QStringLiteral("#.##0,00"));
    EXPECT_EQ(DelocalizeNumberFormat(QStringLiteral("#.##0,00")), QStringLiteral("#,##0.00"));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(LocalizeNumberFormat(QStringLiteral("#,##0.00")), QStringLiteral("#,##0.00"));
}

struct TFieldRow {
    const char* Text;
    int Count;
    int Index;
    const char* Field;
};

class FieldsTest : public PlotRoutinesTest, public ::testing::WithParamInterface<TFieldRow> {};

TEST_P(FieldsTest, SplitsAtTheDefaultSeparator)
{
    const QString Text = QString::fromUtf8(GetParam().Text);
    EXPECT_EQ(CountFields(Text), GetParam().Count);
    EXPECT_EQ(ExtractField(Text, GetParam().Index), QString::fromUtf8(GetParam().Field));
}

INSTANTIATE_TEST_SUITE_P(Rows, FieldsTest,
                         ::testing::Values(TFieldRow{"a;bb;c", 3, 1, "a"}, TFieldRow{"a;bb;c", 3, 2, "bb"},
                                           TFieldRow{"a;bb;c", 3, 3, "c"}, TFieldRow{"a;bb;c", 3, 4, "c"},
                                           TFieldRow{"a;bb;c", 3, 0, ""}, TFieldRow{"", 0, 1, ""},
                                           TFieldRow{"plain", 1, 1, "plain"}, TFieldRow{"a;;c", 3, 2, ""},
                                           TFieldRow{";", 2, 2, ""}));

TEST(Fields, SeparatorIsASubstring)
{
    EXPECT_EQ(CountFields(QStringLiteral("a<>b<>c"), QStringLiteral("<>")), 3);
    EXPECT_EQ(ExtractField(QStringLiteral("a<>b<>c"), 2, QStringLiteral("<>")), QStringLiteral("b"));
}

TEST_F(PlotRoutinesTest, Fields_EmptySeparatorAfterShutdownGivesOneField)
{
    // Regression: an empty separator matches everywhere and never advances.
    FinalizePlotRoutines();
    EXPECT_EQ(FieldSeparator(), QString());
    EXPECT_EQ(CountFields(QStringLiteral("a;b")), 1);
    EXPECT_EQ(ExtractField(QStringLiteral("a;b"), 2), QStringLiteral("a;b"));
}

TEST(ReplaceChar, ReplacesOrDeletes)
{
    EXPECT_EQ(ReplaceChar(QStringLiteral("a,b,c"), u',', u';'), QStringLiteral("a;b;c"));
    EXPECT_EQ(ReplaceChar(QStringLiteral("a,b,c"), u',', QChar(0)), QStringLiteral("abc"));
    EXPECT_EQ(ReplaceChar(QStringLiteral("abc"), u'x', u'y'), QStringLiteral("abc"));
}

// --- Components, controls, drawing -------------------------------------------------------------------

TEST(GetUniqueComponentName, TakesTheSmallestFreeNumber)
{
    TComponent Owner(nullptr);
    EXPECT_EQ(GetUniqueComponentName(&Owner, QStringLiteral("Series")), QStringLiteral("Series1"));
    auto* First = new TComponent(&Owner);
    First->SetName(QStringLiteral("Series1"));
    auto* Second = new TComponent(&Owner);
    Second->SetName(QStringLiteral("Series2"));
    EXPECT_EQ(GetUniqueComponentName(&Owner, QStringLiteral("Series")), QStringLiteral("Series3"));
    EXPECT_EQ(GetUniqueComponentName(nullptr, QStringLiteral("Series")), QStringLiteral("Series1"));
}

// A 2-D canvas drawing without buffering onto a recording device.
struct TRecordedCanvas {
    TRecordingDC DC{200, 100};
    TCanvas Canvas{&DC};
    TPlotCanvas3D Plot;

    TRecordedCanvas()
    {
        Plot.SetBufferedDisplay(false);
        Plot.InitWindow(&Canvas, nullptr, clWhite, false, {0, 0, 200, 100});
        Plot.ResetState();
        DC.ClearCalls();
    }
};

struct TCheckRow {
    bool Checked;
    bool IsCheckBox;
};

class DrawCheckBoxTest : public ::testing::TestWithParam<TCheckRow> {};

TEST_P(DrawCheckBoxTest, DrawsWithinThe13PixelBox)
{
    TRecordedCanvas Recorded;
    DrawCheckBox(20, 30, Recorded.Plot, GetParam().Checked, GetParam().IsCheckBox);
    const QStringList Calls = Recorded.DC.Calls();
    ASSERT_FALSE(Calls.isEmpty());
    const bool HasEllipse = std::any_of(Calls.begin(), Calls.end(), [](const QString& Call) {
        return Call.contains(QStringLiteral("Ellipse"), Qt::CaseInsensitive);
    });
    EXPECT_EQ(HasEllipse, !GetParam().IsCheckBox) << Calls.join(QLatin1Char('\n')).toStdString();

    TRecordedCanvas Unchecked;
    DrawCheckBox(20, 30, Unchecked.Plot, false, GetParam().IsCheckBox);
    if (GetParam().Checked) {
        EXPECT_GT(Calls.size(), Unchecked.DC.Calls().size());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, DrawCheckBoxTest,
                         ::testing::Values(TCheckRow{false, true}, TCheckRow{true, true}, TCheckRow{false, false},
                                           TCheckRow{true, false}));

TEST(DrawCheckBox, PaintsTheBoxOnABitmap)
{
    TBitmap Bitmap;
    Bitmap.SetSize(30, 30);
    Bitmap.Canvas().Brush().SetColor(clWhite);
    Bitmap.Canvas().FillRect({0, 0, 30, 30});
    TPlotCanvas3D Plot;
    Plot.SetBufferedDisplay(false);
    Plot.InitWindow(&Bitmap.Canvas(), nullptr, clWhite, false, {0, 0, 30, 30});
    Plot.ResetState();
    DrawCheckBox(5, 5, Plot, true, true);
    const QImage Image = Bitmap.ToImage();
    // The outer frame is drawn, the outside is untouched.
    EXPECT_NE(Image.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Image.pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Image.pixel(20, 20) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(DeviceAspectRatio, IsPhysicalWidthOverHeight)
{
    TRecordedCanvas Recorded;
    const double Expected = double(Recorded.DC.GetDeviceCaps(HORZSIZE)) / Recorded.DC.GetDeviceCaps(VERTSIZE);
    EXPECT_DOUBLE_EQ(DeviceAspectRatio(Recorded.Plot), Expected);
    EXPECT_GT(DeviceAspectRatio(Recorded.Plot), 1.5);
}

TEST(LoadBitmapFromResource, MissingResourcesLeaveTheBitmap)
{
    TBitmap Bitmap;
    Bitmap.SetSize(3, 4);
    EXPECT_FALSE(LoadBitmapFromResource(Bitmap, QStringLiteral("NoSuchImage"), QStringLiteral("NorThis")));
    EXPECT_EQ(Bitmap.Width(), 3);
    TComponent Object(nullptr);
    EXPECT_FALSE(LoadClassBitmap(Bitmap, Object));
}

struct TSortRow {
    std::vector<int> Values;
};

class QuickSortIndexesTest : public ::testing::TestWithParam<TSortRow> {};

TEST_P(QuickSortIndexesTest, SortsThroughTheCallbacks)
{
    std::vector<int> Values = GetParam().Values;
    std::vector<int> Expected = Values;
    std::sort(Expected.begin(), Expected.end());
    const auto Compare = [&](int A, int B) {
        const int Left = Values.at(std::size_t(A));
        const int Right = Values.at(std::size_t(B));
        return Left < Right ? -1 : Left > Right ? 1 : 0;
    };
    const auto Swap = [&](int A, int B) { std::swap(Values.at(std::size_t(A)), Values.at(std::size_t(B))); };
    QuickSortIndexes(0, int(Values.size()) - 1, Compare, Swap);
    EXPECT_EQ(Values, Expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, QuickSortIndexesTest,
                         ::testing::Values(TSortRow{{}}, TSortRow{{1}}, TSortRow{{2, 1}}, TSortRow{{3, 1, 2}},
                                           TSortRow{{5, 5, 5, 5}}, TSortRow{{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
                                           TSortRow{{4, 1, 3, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9}}));

TEST(QuickSortIndexes, SortsOnlyThePositionsGiven)
{
    std::vector<int> Values = {9, 3, 2, 1, 0};
    QuickSortIndexes(
        1, 3, [&](int A, int B) { return Values.at(std::size_t(A)) - Values.at(std::size_t(B)); },
        [&](int A, int B) { std::swap(Values.at(std::size_t(A)), Values.at(std::size_t(B))); });
    EXPECT_EQ(Values, (std::vector<int>{9, 1, 2, 3, 0}));
}

// --- Chart editor options ----------------------------------------------------------------------------

// Settings live in a temporary folder for each test.
class EditorRegTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder.path());
    }
    QTemporaryDir Folder;
};

TEST_F(EditorRegTest, ReadersGiveTheDefaultWhenNothingIsStored)
{
    EXPECT_TRUE(ReadEditorRegBoolean(QStringLiteral("Tree"), true));
    EXPECT_FALSE(ReadEditorRegBoolean(QStringLiteral("Tree"), false));
    EXPECT_EQ(ReadEditorRegInteger(QStringLiteral("Width"), 77), 77);
}

TEST_F(EditorRegTest, WrittenValuesAreReadBackUnderTheEditorKey)
{
    EXPECT_TRUE(WriteEditorRegBoolean(QStringLiteral("Tree"), false));
    EXPECT_TRUE(WriteEditorRegInteger(QStringLiteral("Width"), 480));
    EXPECT_FALSE(ReadEditorRegBoolean(QStringLiteral("Tree"), true));
    EXPECT_EQ(ReadEditorRegInteger(QStringLiteral("Width"), 0), 480);
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKeyReadOnly(QStringLiteral("SOFTWARE\\Pellam Software\\VudEvevu Pro\\Editor")));
    EXPECT_EQ(Registry.ReadInteger(QStringLiteral("Width")), 480);
}

TEST_F(EditorRegTest, UnreadableValueGivesTheDefault)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(EditorRegKey, true));
    Registry.WriteString(QStringLiteral("Width"), QStringLiteral("wide"));
    EXPECT_EQ(ReadEditorRegInteger(QStringLiteral("Width"), 5), 5);
    EXPECT_TRUE(ReadEditorRegBoolean(QStringLiteral("Width"), true));
}

TEST_F(EditorRegTest, BadValueNameIsReportedNotRaised)
{
    EXPECT_FALSE(WriteEditorRegBoolean(QStringLiteral("a/b"), true));
    EXPECT_TRUE(ReadEditorRegBoolean(QStringLiteral("a/b"), true));
}

// --- Data exports ------------------------------------------------------------------------------------

class TTextExport : public TPlotExportData {
public:
    QString Text;
    QString AsString() const override { return Text; }
};

TEST(PlotExportData, BaseExportsNothing)
{
    TPlotExportData Data;
    EXPECT_EQ(Data.AsString(), QString());
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    Data.SaveToStream(Buffer);
    EXPECT_TRUE(Buffer.data().isEmpty());
}

TEST(PlotExportData, SaveToStreamWritesTheTextBytesOnly)
{
    TTextExport Data;
    Data.Text = QStringLiteral("x;y\r\n1;2\r\n");
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    Data.SaveToStream(Buffer);
    EXPECT_EQ(Buffer.data(), QByteArray("x;y\r\n1;2\r\n"));
}

TEST(PlotExportData, SaveToStreamRaisesWhenTheDeviceRefuses)
{
    TTextExport Data;
    Data.Text = QStringLiteral("data");
    QBuffer Buffer;
    Buffer.open(QIODevice::ReadOnly);
    EXPECT_THROW(Data.SaveToStream(Buffer), EPlotExportError);
}

TEST(PlotExportData, SaveToFileReplacesTheFile)
{
    QTemporaryDir Folder;
    ASSERT_TRUE(Folder.isValid());
    const QString Name = Folder.filePath(QStringLiteral("out.txt"));
    {
        QFile Old(Name);
        ASSERT_TRUE(Old.open(QIODevice::WriteOnly));
        Old.write("old and longer content");
    }
    TTextExport Data;
    Data.Text = QStringLiteral("new");
    Data.SaveToFile(Name);
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    EXPECT_EQ(File.readAll(), QByteArray("new"));
}

TEST(PlotExportData, SaveToFileInAMissingFolderRaises)
{
    QTemporaryDir Folder;
    TTextExport Data;
    Data.Text = QStringLiteral("new");
    EXPECT_THROW(Data.SaveToFile(Folder.filePath(QStringLiteral("missing/out.txt"))), EPlotExportError);
}

TEST(PlotExportData, CopyToClipboardPutsTheText)
{
    TTextExport Data;
    Data.Text = QStringLiteral("copied text");
    Data.CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("copied text"));
}

// --- Start-up ----------------------------------------------------------------------------------------

TEST_F(PlotRoutinesTest, StartUp_RegistersTheHandCursorAndShutdownRemovesIt)
{
    EXPECT_TRUE(Application().HasCursor(crPlotHand));
    EXPECT_EQ(Application().CursorOf(2020).shape(), Qt::PointingHandCursor);
    EXPECT_EQ(FieldSeparator(), QStringLiteral(";"));
    FinalizePlotRoutines();
    EXPECT_FALSE(Application().HasCursor(crPlotHand));
    EXPECT_EQ(ColorPalette().Length(), 0);
    EXPECT_EQ(FieldSeparator(), QString());
}

TEST_F(PlotRoutinesTest, StartUp_RepeatedCallsChangeNothing)
{
    SetDefaultPalette(std::vector<TColor>{clBlack, clWhite});
    InitializePlotRoutines();
    EXPECT_EQ(ColorPalette().Length(), 2);
    EXPECT_DOUBLE_EQ(DateFloor(), 2);
}

} // namespace
} // namespace lp
