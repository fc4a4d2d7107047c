#include "platform/base/DynArray.h"

#include <gtest/gtest.h>

#include <string>

namespace lp {
namespace {

TEST(DynArray, LengthAndHigh)
{
    DynArray<int> empty;
    EXPECT_EQ(empty.Length(), 0);
    EXPECT_EQ(empty.High(), -1);
    DynArray<int> three(3, 7);
    EXPECT_EQ(three.High(), 2);
    EXPECT_EQ(three[2], 7);
    three.SetLength(5);
    EXPECT_EQ(three[4], 0);
    three.SetLength(1);
    EXPECT_EQ(three.Length(), 1);
    EXPECT_THROW(three.SetLength(-1), ERangeError);
    EXPECT_THROW(DynArray<int>(-2), ERangeError);
}

TEST(DynArray, IndexOutsideTheBoundsRaises)
{
    DynArray<double> values{1, 2};
    EXPECT_THROW(values[2], ERangeError);
    EXPECT_THROW(values[-1], ERangeError);
    const DynArray<double>& constant = values;
    EXPECT_THROW(constant[5], ERangeError);
    DynArray<double> none;
    EXPECT_THROW(none.Last(), ERangeError);
    EXPECT_THROW(none.Delete(0), ERangeError);
    EXPECT_THROW(values.Insert(3, 1.0), ERangeError);
    try {
        values[9] = 1;
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message(), "Index 9 out of range (0..1)");
    }
}

TEST(DynArray, CopiesShareNothing)
{
    DynArray<std::string> a{"x", "y"};
    DynArray<std::string> b = a;
    b[0] = "changed";
    b.Add("z");
    EXPECT_EQ(a[0], "x");
    EXPECT_EQ(a.Length(), 2);
    EXPECT_FALSE(a == b);
}

TEST(DynArray, InsertDeleteAndSearch)
{
    DynArray<int> values{1, 2, 3};
    values.Insert(0, 0);
    values.Insert(4, 4);
    EXPECT_EQ(values, (DynArray<int>{0, 1, 2, 3, 4}));
    values.Delete(2);
    EXPECT_EQ(values, (DynArray<int>{0, 1, 3, 4}));
    EXPECT_EQ(values.IndexOf(3), 2);
    EXPECT_EQ(values.IndexOf(9), -1);
    EXPECT_TRUE(values.Contains(4));
    EXPECT_EQ(values.Last(), 4);
}

TEST(FixedArray, ChecksItsIndex)
{
    FixedArray<int, 3> slots;
    EXPECT_EQ(slots[0], 0);
    slots.Fill(5);
    EXPECT_EQ(slots[2], 5);
    EXPECT_THROW(slots[3], ERangeError);
    EXPECT_EQ(slots.Length(), 3);
}

} // namespace
} // namespace lp
