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

} // namespace
} // namespace lp
