// Pyramid: slice shares and widths, a zero total, nulls, series positions,
// clicks, far and non-finite values (also fed by a down-sampling) and the
// reference picture.

#include "chart/extensions/stats/PlotPyramid.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/functions/PlotDownSampling.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

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

// Regression: a pyramid fed by a down-sampling function of a series with
// values near ±1e300 raised "Value inf is out of the integer range" in
// every paint (the share of a running total overflowed). It paints, and
// draws slices for its points.
TEST(PyramidPaint, FedByADownSamplingOfExtremeValues)
{
    const std::vector<std::vector<double>> Sources{
        {-1e307, 2e307, 1e300, -1e300, 5, 3},     // a running total's share past the doubles
        {1e300, -1e300, 2, 1e300, -1e300, 7},     // a total that nearly cancels
        {1.5e308, 1.5e308, -1e300, 4, 6, 1e300}}; // a total past the doubles
    for (const std::vector<double>& Values : Sources) {
        SCOPED_TRACE(Values[0]);
        TChart Chart;
        test::SetUpTiltedPictureChart(Chart);
        auto* Source = new TLineSeries(&Chart);
        Chart.AddSeries(Source);
        test::AddValues(*Source, Values);
        Source->SetActive(false);
        auto* Pyramid = new TPyramidSeries(&Chart);
        Chart.AddSeries(Pyramid);
        Pyramid->SetFunction(new TDownSamplingFunction(&Chart));
        Pyramid->SetDataSource(Source);
        ASSERT_GT(Pyramid->Count(), 2);
        Pyramid->Marks()->SetVisible(true);
        QImage Picture;
        ASSERT_NO_THROW(Picture = test::RenderPicture(Chart));
        Pyramid->SetActive(false);
        const QImage Empty = test::RenderPicture(Chart);
        int Differing = 0;
        for (int Y = 0; Y < Picture.height(); ++Y)
            for (int X = 0; X < Picture.width(); ++X)
                Differing += Picture.pixel(X, Y) != Empty.pixel(X, Y);
        EXPECT_GT(Differing, 100);
        EXPECT_NO_THROW(Pyramid->Clicked(200, 150));
    }
}

TEST(PyramidSlice, FarAndNonFiniteValues)
{
    test::TPriceChart C(2, 4);
    auto* S = C.Add<TPyramidSeries>();
    // NaN and infinity draw no slice and count 0: slice 2 lies between 1
    // and 3 of 4, as without them.
    test::AddValues(*S, {1, std::nan(""), 2, HUGE_VAL, 1});
    C.Layout();
    EXPECT_DOUBLE_EQ(S->CalcSlice(2).BelowPercent, 75);
    EXPECT_DOUBLE_EQ(S->CalcSlice(2).AbovePercent, 25);
    EXPECT_DOUBLE_EQ(S->MaxYValue(), 4);
    test::TPriceChart Plain(2, 4);
    auto* P = Plain.Add<TPyramidSeries>();
    test::AddValues(*P, {1, 2, 1});
    EXPECT_EQ(C.Draw(*S), Plain.Draw(*P));
    // Values scaled to the limit of the doubles keep their shares; their
    // absolute sum is held at the largest double.
    test::TPriceChart Far(2, 4);
    auto* F = Far.Add<TPyramidSeries>();
    test::AddValues(*F, {0.5e308, 1e308, 0.5e308});
    Far.Layout();
    EXPECT_DOUBLE_EQ(F->CalcSlice(1).BelowPercent, 75);
    EXPECT_DOUBLE_EQ(F->CalcSlice(1).AbovePercent, 25);
    EXPECT_EQ(F->MaxYValue(), std::numeric_limits<double>::max());
    // A total that nearly cancels: shares far past the pyramid (a bottom
    // half-width of -1e302 per cent of W), drawn with their pixels held.
    test::TPriceChart Cancel(2, 4);
    auto* N = Cancel.Add<TPyramidSeries>();
    test::AddValues(*N, {1e300, -1e300, 1});
    Cancel.Layout();
    const TPyramidSeries::TSlice Slice = N->CalcSlice(1);
    ASSERT_TRUE(Slice.Valid);
    EXPECT_DOUBLE_EQ(Slice.BelowPercent, 100 - 1e302);
    EXPECT_EQ(Slice.Rect.Left, PlotMaxPixelPos);
    EXPECT_EQ(Slice.Rect.Right, -PlotMaxPixelPos);
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
