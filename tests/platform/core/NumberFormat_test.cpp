#include "platform/core/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>

namespace lp {
namespace {

TEST(FormatFloat, PicturesGiveTheirTexts)
{
    struct Row {
        const char* format;
        double value;
        const char* expected;
    };
    const Row rows[] = {
        {"#,##0.###", 1234.5678, "1,234.568"},
        {"#,##0.###", 0, "0"},
        {"#,##0.###", -1234.5, "-1,234.5"},
        {"#,##0.###", 1000000, "1,000,000"},
        {"#,##0.###", 0.0004, "0"},
        {"#,##0.###", 0.0005, "0.001"},
        {"##0.## %", 45.678, "45.68 %"},
        {"##0.## %", 0, "0 %"},
        {"##0.## %", 100, "100 %"},
        {"0.00", 3.14159, "3.14"},
        {"0.00", -0.004, "0.00"},
        {"0.00", 2.5, "2.50"},
        {"0.00", 0.125, "0.13"},
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"0", 0.4, "0"},
        {"000", 7, "007"},
        {"#", 0, ""},
        {"#.##", 0.5, ".5"},
        {"0.###", 1.5, "1.5"},
        {"0.###", 2, "2"},
        {"0.0##", 2, "2.0"},
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.00E+00", 0.00012345, "1.23E-04"},
        {"0.00E-00", 1234.5, "1.23E03"},
        {"0.00E-00", 0.00012345, "1.23E-04"},
        {"0.00e+0", 999.9, "1.00e+3"},
        {"0E+0", 0, "0E+0"},
        {"0\"0\"e-0", 1234, "10e3"},
        {"0.0;(0.0)", -5.25, "(5.3)"},
        {"0.0;(0.0)", 5.25, "5.3"},
        {"0.0;(0.0);zero", 0, "zero"},
        {"0.0;(0.0);zero", 0.04, "zero"},
        {"0.0;;zero", -1, "-1.0"},
        {"'Value: '0", 42, "Value: 42"},
        {"0 'm'", 12, "12 m"},
        {"#,##0", 1234567.8, "1,234,568"},
        {"#,##0.00", -0.5, "-0.50"},
        {"", 1.5, "1.5"},
        {"", 1e20, "1e+20"},
        {"0.00", 1e-20, "0.00"},
        {"0.000", 1.0005, "1.001"},
        {"00.00", 3.5, "03.50"},
        {"#0.0#", 7, "7.0"},
        {"#,##0.###", 999999.9996, "1,000,000"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatFloat(QString::fromUtf8(row.format), row.value), QString::fromUtf8(row.expected))
            << "format \"" << row.format << "\" value " << row.value;
}

TEST(FormatFloat, SeparatorsComeFromTheSettingsNotTheLocale)
{
    TFormatSettings german;
    german.DecimalSeparator = QLatin1Char(',');
    german.ThousandSeparator = QLatin1Char('.');
    EXPECT_EQ(FormatFloat("#,##0.###", 1234.5, german), "1.234,5");
    EXPECT_EQ(FormatFloat("", 0.25, german), "0,25");
    EXPECT_EQ(FormatFloat("0.0", std::nan("")), "NAN");
}

TEST(Format, FillsItsSpecifiers)
{
    EXPECT_EQ(Format("%d", {42}), "42");
    EXPECT_EQ(Format("%s of %s", {QString("3"), QString("10")}), "3 of 10");
    EXPECT_EQ(Format("%.2x", {10}), "0A");
    EXPECT_EQ(Format("%5d|", {42}), "   42|");
    EXPECT_EQ(Format("%-5s|", {QString("ab")}), "ab   |");
    EXPECT_EQ(Format("%1:s %0:s %s", {QString("a"), QString("b")}), "b a b");
    EXPECT_EQ(Format("%.2f", {3.14159}), "3.14");
    EXPECT_EQ(Format("%d %%", {5}), "5 %");
    EXPECT_EQ(Format("%.3d", {-7}), "-007");
    EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
}

TEST(Format, RefusesMismatchedOrMissingValues)
{
    try {
        Format("%d", {QString("x")});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
    }
    EXPECT_THROW(Format("%s %s", {QString("one")}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
    EXPECT_THROW(Format("100%", {}), EConvertError);
}

// Widths and precisions of any length once overflowed the parser and padded
// or built pictures of that size.
TEST(Format, CapsHugeWidthsAndPrecisions)
{
    const QString huge = QStringLiteral("99999999999999999999");
    EXPECT_EQ(Format("%" + huge + "d", {1}).size(), 1024);
    EXPECT_EQ(Format("%-2147483648s|", {QString("a")}).size(), 1025);
    EXPECT_EQ(Format("%.100000000d", {7}).size(), 1024);
    EXPECT_EQ(Format("%." + huge + "x", {255}).size(), 1024);
    // A real shows at most 18 decimals.
    EXPECT_EQ(Format("%.2147483647f", {0.5}), "0.500000000000000000");
    EXPECT_EQ(Format("%.100000000e", {1.0}).size(), QString("1.00000000000000000E+000").size());
    EXPECT_EQ(Format("%.4294967296s", {QString("abc")}), "abc");
    EXPECT_THROW(Format("%" + huge + ":s", {QString("a")}), EConvertError);
    // The smallest integer has no positive twin to take the magnitude of.
    EXPECT_EQ(Format("%d", {std::numeric_limits<qlonglong>::min()}), "-9223372036854775808");
    EXPECT_EQ(Format("%.20d", {std::numeric_limits<qlonglong>::min()}), "-09223372036854775808");
}

} // namespace
} // namespace lp
