#include "platform/graphics/GraphicsTypes.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(ColorOfIdent, NamesMatchCaseInsensitively)
{
    EXPECT_EQ(ColorOfIdent("clRed"), clRed);
    EXPECT_EQ(ColorOfIdent("CLRED"), clRed);
    EXPECT_EQ(ColorOfIdent("clbtnface"), clBtnFace);
    EXPECT_EQ(ColorOfIdent("clNone"), clNone);
    EXPECT_EQ(ColorOfIdent("clWindowText"), clWindowText);
}

TEST(ColorOfIdent, UnknownOrPartialNamesAreRejected)
{
    EXPECT_FALSE(ColorOfIdent("").has_value());
    EXPECT_FALSE(ColorOfIdent("Red").has_value());
    EXPECT_FALSE(ColorOfIdent("clRed ").has_value());
    EXPECT_FALSE(ColorOfIdent("clCrimson").has_value());
}

TEST(ColorToRGB, PlainColoursPassThroughAndSystemColoursResolve)
{
    EXPECT_EQ(ColorToRGB(RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clBtnFace) & clSystemColor, 0);
    EXPECT_EQ(FromQColor(ToQColor(RGB(10, 20, 30))), RGB(10, 20, 30));
}

TEST(ReadableTextColor, KeepsAReadableColourElseTakesBlackOrWhite)
{
    EXPECT_NEAR(ContrastRatio(clBlack, clWhite), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(clRed, clRed), 1.0, 1e-9);
    const struct {
        TColor Background;
        TColor Preferred;
        TColor Expected;
    } Rows[] = {
        {RGB(0xBF, 0xCD, 0xDB), clWhite, clBlack}, // white on pale blue: 1.6:1
        {clNavy, clWhite, clWhite},
        {clYellow, clWhite, clBlack},
        {clBlack, RGB(0x40, 0x40, 0x40), clWhite},
        {clWhite, clNavy, clNavy},
    };
    for (const auto& row : Rows)
        EXPECT_EQ(ReadableTextColor(row.Background, row.Preferred), row.Expected) << std::hex << row.Background;
}

} // namespace
} // namespace lp
