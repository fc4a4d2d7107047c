// Pyramid: slice shares and widths, a zero total, nulls, series positions,
// clicks and the reference picture.

#include "chart/extensions/stats/PlotPyramid.h"

#include "chart/engine/PlotLegend.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(PyramidSlice, SharesAndWidths)
{
    // Y 1, 2, 1 (total 4) over a 400-pixel axis: W = 100; point 1 lies
    // between 1 and 3.
    test::TPriceChart C(2, 4);
    auto* S = C.Add<TPyramidSeries>();
    test::AddValues(*S, {1, 2, 1});
    C.Layout();
    const TPyramidSeries::TSlice Slice = S->CalcSlice(1);
    ASSERT_TRUE(Slice.Valid);
    EXPECT_DOUBLE_EQ(Slice.BelowPercent, 75);
    EXPECT_DOUBLE_EQ(Slice.AbovePercent, 25);
    EXPECT_EQ(Slice.Rect.Right - Slice.Rect.Left, 150); // 2 hb
    EXPECT_EQ(Slice.Rect.Left, 0 - 75);                 // centre at X 0
    EXPECT_EQ(Slice.Rect.Bottom, 150);
    EXPECT_EQ(Slice.Rect.Top, 50);
    EXPECT_EQ(Slice.TopHalfWidth, 25);
    EXPECT_DOUBLE_EQ(S->MaxYValue(), 4);
    // The top slice narrows to a point.
    EXPECT_EQ(S->CalcSlice(2).TopHalfWidth, 0);
}

TEST(PyramidSlice, ZeroTotalDrawsNothing)
{
    // Regression: values summing to 0 divided by zero.
    test::TPriceChart C(2, 4);
    auto* S = C.Add<TPyramidSeries>();
    test::AddValues(*S, {2, -2});
    EXPECT_FALSE(S->CalcSlice(0).Valid);
    EXPECT_TRUE(C.Draw(*S).isEmpty());
    EXPECT_EQ(S->Clicked(0, 150), -1);
}

TEST(PyramidSeries, EachSeriesAtItsOwnXAndNullsSkipped)
{
    test::TPriceChart C(2, 4);
    auto* First = C.Add<TPyramidSeries>();
    auto* Second = C.Add<TPyramidSeries>();
    EXPECT_DOUBLE_EQ(First->MinXValue(), 0);
    EXPECT_DOUBLE_EQ(Second->MaxXValue(), 1);
    test::AddValues(*Second, {1, 2, 1});
    Second->SetValueColor(0, clNone);
    C.Layout();
    // The null point still counts: point 1 keeps its place (pixels 150 ..
    // 50 at X 1, pixel 200), and clicks skip the null slice.
    EXPECT_EQ(Second->Clicked(200, 100), 1);
    EXPECT_EQ(Second->Clicked(200, 180), -1);
}

TEST(PyramidPicture, Slices)
{
    TChart Chart;
    test::SetUpTiltedPictureChart(Chart);
    auto* S = new TPyramidSeries(&Chart);
    Chart.AddSeries(S);
    test::AddValues(*S, {30, 20, 25, 10});
    EXPECT_TRUE(test::MatchesReference(test::RenderPicture(Chart), "stats",
                                       "pyramid"));
}

} // namespace
} // namespace lp
