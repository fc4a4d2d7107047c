#include "section/model/NumberArrays.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace lp {
namespace {

TEST(TextToReal, ReadsDecimalFormsWithCommaOrPoint)
{
    struct Row {
        const char* text;
        double expected;
    };
    const Row rows[] = {
        {"1,5", 1.5},     {"1.5", 1.5},     {"  -2.25", -2.25}, {"+3", 3.0},   {"1e3", 1000.0},
        {"1,5E-2", 0.015}, {".5", 0.5},      {"5.", 5.0},        {"-0", 0.0},  {"1e-400", 0.0},
    };
    for (const Row& row : rows)
        EXPECT_DOUBLE_EQ(TextToReal(row.text, false, 0, 0), row.expected) << row.text;
}

TEST(TextToReal, AgreesWithTheCLibraryOnEveryForm)
{
    // The reader must give the very double strtod gives: texts in every form
    // the writers make, and odd ones, at random magnitudes.
    std::mt19937_64 random(5);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::ldexp(static_cast<double>(random() >> 11) * 0x1p-53,
                                        static_cast<int>(random() % 2100) - 1075);
        char text[64];
        const char* forms[] = {"%.14E", "%.17g", "%.3f", "%.1e", "%a"};
        const char* form = forms[i % 4]; // hexadecimal is no number form
        std::snprintf(text, sizeof text, form, (i & 1) ? -value : value);
        double parsed = 0.0;
        ASSERT_EQ(ReadRealText(text, parsed), TRealText::Number) << text;
        EXPECT_EQ(parsed, std::strtod(text, nullptr)) << text;
    }
    // Whole numbers, read on a path of their own up to nine digits: every
    // length on both sides of that, signs and leading zeros.
    for (int i = 0; i < 2000; ++i) {
        const int digits = 1 + i % 12;
        std::string text = (i % 3 == 0) ? "-" : (i % 3 == 1 ? "+" : "");
        for (int k = 0; k < digits; ++k)
            text += static_cast<char>('0' + random() % 10);
        double parsed = 7.0;
        ASSERT_EQ(ReadRealText(text, parsed), TRealText::Number) << text;
        EXPECT_EQ(parsed, std::strtod(text.c_str(), nullptr)) << text;
        EXPECT_EQ(std::signbit(parsed), text[0] == '-') << text;
    }
    for (const char* text : {"-", "--1", "1-", "12a", "-x"}) {
        double parsed = 7.0;
        EXPECT_EQ(ReadRealText(text, parsed), TRealText::NotANumber) << text;
    }
    double value = 7.0;
    EXPECT_EQ(ReadRealText("1e-400", value), TRealText::Number);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(ReadRealText("2.5e-324", value), TRealText::Number);
    EXPECT_EQ(value, 4.9406564584124654e-324);
    EXPECT_EQ(ReadRealText("+12,5e1", value), TRealText::Number);
    EXPECT_EQ(value, 125.0);
    EXPECT_EQ(ReadRealText("  -,5", value), TRealText::Number);
    EXPECT_EQ(value, -0.5);
}

TEST(NumberWordReader, FindsTheWordsAndKindsOfTheWordReader)
{
    // Lines of numbers in every form, signs, blanks and tabs, odd words and
    // numbers glued to other text: the same words, each with what
    // ReadRealText makes of it, as TWordReader's words (its empty last
    // word aside).
    std::mt19937 random(9);
    const char* pieces[] = {"0", "-0", "12", "-123456789", "1234567890", "007", "1.5", "-2.25E+0003", "1e-400",
                            "1e400", "inf", "nan", "*", "abc", "1.5x", "12a", "-", "+7", "3,5", ",5", "1e", "-x",
                            " ", "\t", "  "};
    for (int line = 0; line < 3000; ++line) {
        std::string text;
        const int count = static_cast<int>(random() % 8);
        for (int k = 0; k < count; ++k) {
            text += pieces[random() % std::size(pieces)];
            text += random() % 4 == 0 ? "\t" : (random() % 5 == 0 ? "" : " ");
        }
        std::vector<std::string> expectedWords;
        std::vector<TRealText> expectedKinds;
        std::vector<double> expectedValues;
        TWordReader words(text);
        for (std::string_view word; words.Next(word);) {
            if (word.empty())
                continue;
            double value = 0.0;
            expectedKinds.push_back(ReadRealText(word, value));
            expectedWords.emplace_back(word);
            expectedValues.push_back(expectedKinds.back() == TRealText::Number ? value : 0.0);
        }
        std::vector<std::string> foundWords;
        std::vector<TRealText> foundKinds;
        std::vector<double> foundValues;
        TNumberWordReader reader(text);
        std::string_view word;
        TRealText kind = TRealText::NotANumber;
        for (double value = 0.0; reader.Next(word, kind, value);) {
            foundWords.emplace_back(word);
            foundKinds.push_back(kind);
            foundValues.push_back(kind == TRealText::Number ? value : 0.0);
        }
        EXPECT_EQ(foundWords, expectedWords) << text;
        EXPECT_EQ(foundKinds, expectedKinds) << text;
        ASSERT_EQ(foundValues.size(), expectedValues.size()) << text;
        for (size_t i = 0; i < foundValues.size(); ++i) {
            EXPECT_EQ(foundValues[i], expectedValues[i]) << text;
            EXPECT_EQ(std::signbit(foundValues[i]), std::signbit(expectedValues[i])) << text;
        }
    }
}

TEST(TextToReal, TellsNonFiniteTextsFromOtherWords)
{
    double value = 3.0;
    for (const char* text : {"1.79769313486232E+308", "-1e400", "inf", "-Infinity", "NaN", "+nan"}) {
        EXPECT_EQ(ReadRealText(text, value), TRealText::NotFinite) << text;
        EXPECT_FALSE(TryTextToReal(text, value)) << text;
    }
    for (const char* text : {"", "*", "abc", "1.2.3", "0x10", "e5", "1e", "infinite"})
        EXPECT_EQ(ReadRealText(text, value), TRealText::NotANumber) << text;
    EXPECT_EQ(value, 3.0);
    EXPECT_EQ(ReadRealText("1.79769313486231E+308", value), TRealText::Number);
}

TEST(TextToReal, ParseErrorsGiveTheMissingValue)
{
    for (const char* text : {"1,5,2", "", " ", "abc", "1.5x", "1.5 ", "1e", "e5", "--1", ".", "inf", "nan", "0x10",
                             "1e999", "1.2.3"})
        EXPECT_EQ(TextToReal(text, false, 0, 0), MissingValue) << '"' << text << '"';
}

TEST(TextToReal, ChecksOnlyNonZeroBounds)
{
    EXPECT_EQ(TextToReal("10", false, 0, 10), MissingValue);
    EXPECT_EQ(TextToReal("10", true, 0, 10), 10.0);
    EXPECT_EQ(TextToReal("-5", false, 0, 10), -5.0); // a zero bound is not checked
    EXPECT_EQ(TextToReal("2", false, 2, 10), MissingValue);
    EXPECT_EQ(TextToReal("2", true, 2, 10), 2.0);
    EXPECT_EQ(TextToReal("1", true, 2, 10), MissingValue);
    EXPECT_EQ(TextToReal("-7", false, -5, 0), MissingValue);
    EXPECT_EQ(TextToReal("99", false, -5, 0), 99.0);
    EXPECT_EQ(TextToReal("99", false, 3, 3), 99.0); // equal bounds: unchecked
}

TEST(TextToReal, DoesNotDependOnTheProcessLocale)
{
    // A locale with a comma as decimal separator must not change the reading.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        EXPECT_EQ(TextToReal("1.25", false, 0, 0), 1.25);
        EXPECT_EQ(RealToText(2, false, 1.25), "1.25");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(SplitWords, FollowsTheSeparatorRules)
{
    EXPECT_EQ(SplitWords("").Length(), 0);
    EXPECT_EQ(SplitWords("a b  "), (arofstrM{"a", "b", ""}));
    EXPECT_EQ(SplitWords("a b "), (arofstrM{"a", "b"}));
    EXPECT_EQ(SplitWords("a\tb"), (arofstrM{"a", "b"}));
    EXPECT_EQ(SplitWords("  ab   cd"), (arofstrM{"ab", "cd"}));
    EXPECT_EQ(SplitWords("x"), (arofstrM{"x"}));
}

TEST(TextToArrays, SkipCountsEveryWord)
{
    EXPECT_EQ(TextToRealArray("a 1 2", 1), (arofdoubleM{1, 2}));
    EXPECT_EQ(TextToRealArray("a 1 2", 2), (arofdoubleM{2}));
    EXPECT_EQ(TextToRealArray("1,5 x 2.5 3,25", 0), (arofdoubleM{1.5, 2.5, 3.25}));
    EXPECT_EQ(TextToRealArray("", 0).Length(), 0);
    EXPECT_EQ(TextToRealArray("1 2  ", 0), (arofdoubleM{1, 2})); // the final empty word is dropped
    EXPECT_EQ(TextToRealArray("1 2", -3), (arofdoubleM{1, 2}));
    EXPECT_EQ(TextToStrArray("a b  ", 0), (arofstrM{"a", "b", ""}));
    EXPECT_EQ(TextToStrArray("a b c", 1), (arofstrM{"b", "c"}));
}

TEST(TextToArrays, IntegersRoundHalvesToEvenAndCheckTheirRange)
{
    EXPECT_EQ(TextToIntArray("1,4 2.5 3.5 -2.5 x 7", 0), (arofintM{1, 2, 4, -2, 7}));
    EXPECT_THROW(TextToIntArray("1e12", 0), ERangeError);
}

TEST(TextToArrays, ComplexPairsDropAnOddLastValue)
{
    const arofcomplexM points = TextToComplexArray("1 2 3 4 5", 0);
    ASSERT_EQ(points.Length(), 2);
    EXPECT_EQ(points[0], MakeComplex(1, 2));
    EXPECT_EQ(points[1], MakeComplex(3, 4));
}

TEST(RealToText, WritesFixedPointWithAPoint)
{
    EXPECT_EQ(RealToText(2, false, -12.5), "-12.50");
    EXPECT_EQ(RealToText(0, false, 3.0), "3");
    EXPECT_EQ(RealToText(3, false, 0.0005), "0.001"); // 0.0005 is just above half in binary
    EXPECT_EQ(RealToText(-2, false, 7.0), "7");
    for (int decimals : {0, 2, 7})
        EXPECT_EQ(RealToText(decimals, decimals == 2, MissingValue), "*");
}

TEST(RealToText, AdaptiveAddsDecimalsForSmallValues)
{
    EXPECT_EQ(RealToText(2, true, 1234.5), "1234.500");
    EXPECT_EQ(RealToText(2, true, 0.004), "0.00400");
    EXPECT_EQ(RealToText(0, true, 0.0), "0.0");
    EXPECT_EQ(RealToText(0, true, 0.5), "0.5");
    EXPECT_EQ(RealToText(0, true, 12.25), "12.2"); // exact binary tie: halves to even
    EXPECT_EQ(RealToText(1, true, -0.03), "-0.030");
}

TEST(NumberTexts, RoundTripThroughTheSectionFileForm)
{
    const arofdoubleM values{0.0, -12.5, 1234.5, 0.004, MissingValue, 1e-7, 98765.4321};
    const std::string text = RealArrayToText(values, "", 6, true);
    const arofdoubleM back = TextToRealArray(text, 0);
    ASSERT_EQ(back.Length(), values.Length() - 1); // "*" reads as no number
    EXPECT_EQ(text.find("  "), std::string::npos);
    EXPECT_NE(text.back(), ' ');
    int j = 0;
    for (double v : values) {
        if (v != MissingValue) {
            EXPECT_NEAR(back[j], v, std::fabs(v) * 1e-9 + 1e-12);
            ++j;
        }
    }

    // Line points are written with 0 decimals, adaptive: one decimal for
    // values of 1 and more, more for smaller ones.
    const arofcomplexM points{MakeComplex(10.5, 2), MakeComplex(-3, 0.5)};
    const std::string pointText = ComplexArrayToText(points, "L ", 0, true);
    EXPECT_EQ(pointText, "L 10.5 2.0 -3.0 0.5");
    EXPECT_EQ(TextToComplexArray(pointText, 1), points);
}

TEST(NumberTexts, EmptyArraysGiveTheLead)
{
    EXPECT_EQ(RealArrayToText({}, "lead", 2, false), "lead");
    EXPECT_EQ(ComplexArrayToText({}, "", 2, false), "");
}

TEST(Conversions, ComplexAndRealArrays)
{
    EXPECT_EQ(RealArrayToComplexArray({1, 2, 3, 4, 5}).Length(), 2);
    arofdoubleM reals{9};
    EXPECT_EQ(ComplexArrayToRealArray({}, reals), -1);
    EXPECT_EQ(reals.Length(), 0);
    EXPECT_EQ(ComplexArrayToRealArray({MakeComplex(1, 2), MakeComplex(3, 4)}, reals), 2);
    EXPECT_EQ(reals, (arofdoubleM{1, 2, 3, 4}));
}

TEST(Conversions, CopiesAreIndependent)
{
    ararofdoubleM rows{{1, 2}, {3}};
    ararofdoubleM copy = CopyRealArrays(rows);
    copy[0][0] = 99;
    EXPECT_EQ(rows[0][0], 1);
    arofintM ints{1, 2};
    arofintM intCopy = CopyIntArray(ints);
    intCopy[1] = 5;
    EXPECT_EQ(ints[1], 2);
    arofcomplexM points{MakeComplex(1, 1)};
    arofcomplexM pointCopy = CopyComplexArray(points);
    pointCopy[0].re = 7;
    EXPECT_EQ(points[0].re, 1);
    arofboolM flags{1, 0};
    arofboolM flagCopy = CopyBoolArray(flags);
    FillBoolArray(flagCopy, 1);
    EXPECT_EQ(flags[1], 0);
}

TEST(Conversions, DeleteItemClampsAndKeepsEmptyArraysEmpty)
{
    EXPECT_EQ(DeleteRealArrayItem({1, 2, 3}, 1), (arofdoubleM{1, 3}));
    EXPECT_EQ(DeleteRealArrayItem({1, 2, 3}, 9), (arofdoubleM{1, 2}));
    // An empty array stays empty instead of getting a negative length.
    EXPECT_EQ(DeleteRealArrayItem({}, 0).Length(), 0);
    EXPECT_EQ(DeleteBoolArrayItem({}, 3).Length(), 0);
    EXPECT_EQ(DeleteBoolArrayItem({1, 0, 1}, 0), (arofboolM{0, 1}));
    EXPECT_THROW(DeleteRealArrayItem({1}, -1), ERangeError);
}

TEST(Conversions, FillSwapAndExp)
{
    arofdoubleM reals(3);
    FillRealArray(reals, 2.5);
    EXPECT_EQ(reals, (arofdoubleM{2.5, 2.5, 2.5}));
    arofintM ints(2);
    FillIntArray(ints, -1);
    EXPECT_EQ(ints, (arofintM{-1, -1}));
    double a = 1, b = 2;
    SwapReal(a, b);
    EXPECT_EQ(a, 2);
    int32_t i = 1, j = 2;
    SwapInt(i, j);
    EXPECT_EQ(j, 1);
    complexM p = MakeComplex(1, 2), q = MakeComplex(3, 4);
    SwapComplex(p, q);
    EXPECT_EQ(p, MakeComplex(3, 4));
    const arofdoubleM e = ExpArray({0, 1});
    EXPECT_DOUBLE_EQ(e[0], 1.0);
    EXPECT_DOUBLE_EQ(e[1], std::exp(1.0));
}

TEST(SmallNumerics, CountValidAndExtremes)
{
    EXPECT_EQ(CountValid({}), 0);
    EXPECT_EQ(CountValid({1, MissingValue, 3}), 2);
    EXPECT_EQ(ExtremeOfArray({MissingValue}, 0), -1e20);
    EXPECT_EQ(ExtremeOfArray({}, 2), 1e20);
    EXPECT_EQ(ExtremeOfArray({3, MissingValue, 7, -2}, 0), 7);
    EXPECT_EQ(ExtremeOfArray({-3, -1, 0}, 1), -1e20);
    EXPECT_EQ(ExtremeOfArray({-3, 0.5, 2}, 1), 2);
    EXPECT_EQ(ExtremeOfArray({1, -3, -8, MissingValue}, 2), -8);
    EXPECT_EQ(ExtremeOfArray({4, 5}, 2), 1e20);
    // The first element is taken when it qualifies, even beyond the start value.
    EXPECT_EQ(ExtremeOfArray({-1e25, -1e24}, 0), -1e24);
    EXPECT_EQ(ExtremeOfArray({1, 2}, 7), MissingValue);
}

TEST(SmallNumerics, LinearInterpolationAndTables)
{
    EXPECT_DOUBLE_EQ(LinearInterpolate(0, 0, 10, 100, 2.5), 25);
    EXPECT_EQ(LinearInterpolate(5, 1, 5, 9, 3), 9); // equal x: yb
    const arofdoubleM kx{0, 10, 20}, ky{0, 100, 50};
    EXPECT_EQ(InterpolateTableAt(kx, ky, -5), 0);
    EXPECT_EQ(InterpolateTableAt(kx, ky, 0), 0);
    EXPECT_DOUBLE_EQ(InterpolateTableAt(kx, ky, 5), 50);
    EXPECT_DOUBLE_EQ(InterpolateTableAt(kx, ky, 15), 75);
    EXPECT_EQ(InterpolateTableAt(kx, ky, 25), 50);
    EXPECT_EQ(InterpolateTable({-1, 5, 15, 30}, kx, ky), (arofdoubleM{0, 50, 75, 50}));
    const arofcomplexM poly{MakeComplex(0, 0), MakeComplex(10, 100)};
    EXPECT_DOUBLE_EQ(InterpolateComplexAt(poly, 4), 40);
}

TEST(SmallNumerics, TablesWithoutKnotsGiveTheMissingValue)
{
    EXPECT_EQ(InterpolateTableAt({}, {}, 3), MissingValue);
    EXPECT_EQ(InterpolateComplexAt({}, 3), MissingValue);
    EXPECT_EQ(InterpolateTable({1, 2}, {}, {}), (arofdoubleM{MissingValue, MissingValue}));
    EXPECT_THROW(InterpolateTableAt({0, 1}, {0}, 0.5), ERangeError); // short value column
}

TEST(SmallNumerics, InterpolateTableNeverMovesBack)
{
    // The knot index is carried over: a smaller x after a larger one keeps
    // the later knot interval.
    const arofdoubleM values = InterpolateTable({15, 5}, {0, 10, 20}, {0, 100, 50});
    EXPECT_DOUBLE_EQ(values[0], 75);
    EXPECT_DOUBLE_EQ(values[1], 125); // extrapolated on the 10..20 interval
}

TEST(ColorRamps, InterpolatesChannelByChannel)
{
    const int32_t red = 0x0000FF, blue = 0xFF0000, white = 0xFFFFFF;
    const arofintM ramp = InterpolateColors(4, {red, blue}, 1);
    ASSERT_EQ(ramp.Length(), 5);
    EXPECT_EQ(ramp[0], red);
    EXPECT_EQ(ramp[2], 0x800080); // 127.5 rounds to 128
    EXPECT_EQ(ramp[4], blue);
    const arofintM three = InterpolateColors(4, {red, white, blue}, 2);
    EXPECT_EQ(three[2], white);
    EXPECT_EQ(three[1], 0x8080FF);
    EXPECT_EQ(InterpolateColors(1, {red, white, blue}, 2), (arofintM{red, white}));
}

TEST(ColorRamps, ASingleAnchorFillsTheRamp)
{
    EXPECT_EQ(InterpolateColors(3, {0x123456}, 0), (arofintM{0x123456, 0x123456, 0x123456, 0x123456}));
}

int32_t GreyResolver(int32_t)
{
    return 0x808080;
}

TEST(ColorRamps, SystemColoursAreResolved)
{
    SetSystemColorResolver(&GreyResolver);
    const arofintM ramp = InterpolateColors(2, {int32_t(0x80000005), 0x808080}, 1);
    SetSystemColorResolver(nullptr);
    EXPECT_EQ(ramp[1], 0x808080);
    EXPECT_EQ(ResolveColor(0x00FF00), 0x00FF00);
}

TEST(SmallNumerics, SignedLogarithm)
{
    EXPECT_EQ(SignOf(0), 1);
    EXPECT_EQ(SignOf(-0.1), -1);
    EXPECT_DOUBLE_EQ(SignedLog(1, 9), 1.0);
    EXPECT_DOUBLE_EQ(SignedLog(1, -99), -2.0);
    for (double x : {-250.0, -1.0, 0.0, 3.5, 1e4})
        EXPECT_NEAR(SignedLogInverse(2, SignedLog(2, x)), x, 1e-9 * (1 + std::fabs(x)));
}

TEST(RobustMean, DropsTheFarthestValuesOneAtATime)
{
    EXPECT_EQ(RobustMean({5}), 5);
    EXPECT_EQ(RobustMean({MissingValue, MissingValue}), MissingValue);
    EXPECT_EQ(RobustMean({}), MissingValue);
    // Mean 26.5: 100 goes; mean 2: 1 and 3 are equally far, the first (1) goes.
    EXPECT_EQ(RobustMean({1, 2, 3, 100}), 3);
    EXPECT_EQ(RobustMean({MissingValue, 4, MissingValue}), 4);
}

} // namespace
} // namespace lp
