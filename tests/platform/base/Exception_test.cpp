#include "platform/base/Exception.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(FormatText, FillsPlaceholdersInOrder)
{
    EXPECT_EQ(FormatText("Cannot assign a %s to a %s", {"TA", "TB"}), "Cannot assign a TA to a TB");
    EXPECT_EQ(FormatText("%d%% done", {"50"}), "50% done");
    EXPECT_EQ(FormatText("%s and %s", {"one"}), "one and %s"); // surplus placeholder stays
    EXPECT_EQ(FormatText("plain", {"ignored"}), "plain");
    EXPECT_EQ(FormatText("trailing %", {}), "trailing %");
    EXPECT_EQ(FormatText("%q", {"x"}), "%q"); // not a placeholder
}

TEST(Exceptions, CarryTheirMessageAndFamily)
{
    try {
        RaiseRangeError("Index %d out of range", {ArgText(7LL)});
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Index 7 out of range");
        EXPECT_STREQ(e.what(), "Index 7 out of range");
        EXPECT_NE(dynamic_cast<const ERangeError*>(&e), nullptr);
    }
    EXPECT_THROW(RaiseConvertError("bad"), EConvertError);
    EXPECT_THROW(RaiseIndexError(3, 2), ERangeError);
    EXPECT_EQ(ArgText(0.5), "0.5");
}

TEST(Assert, RaisesTheGivenTextOnlyWhenTheConditionFails)
{
    EXPECT_NO_THROW(Assert(true, "never shown"));
    try {
        Assert(false, "Collection index list out of step");
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Collection index list out of step");
    }
    EXPECT_THROW(Assert(false, ""), Exception); // part of the common family
}

} // namespace
} // namespace lp
