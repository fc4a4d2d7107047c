// Volume pipe: outline and cone, section boundaries by area, clamped cone,
// zero totals, a too flat chart, clicks and the reference picture.

#include "chart/extensions/stats/PlotVolumePipe.h"

#include "chart/engine/PlotLegend.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <cmath>

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(VolumePipeGeometry, OutlineAndCone)
{
    TVolumePipeSeries S;
    // Cone 0: the right end keeps the full height, 4 pixels more than the
    // left end with its margins.
    S.SetConePercent(0);
    const auto Straight = S.CalcOutline({0, 0, 400, 200});
    EXPECT_EQ(Straight[0], (TPoint{2, 2}));
    EXPECT_EQ(Straight[1], (TPoint{398, 0}));
    EXPECT_EQ(Straight[2], (TPoint{398, 200}));
    EXPECT_EQ(Straight[3], (TPoint{2, 198}));
    S.SetConePercent(30);
    const auto Cone = S.CalcOutline({0, 0, 400, 200});
    EXPECT_EQ(Cone[1].Y, 30);
    EXPECT_EQ(Cone[2].Y, 170);
}

TEST(VolumePipeGeometry, BoundariesSplitTheArea)
{
    TVolumePipeSeries S;
    S.SetConePercent(100);
    S.Add(1);
    S.Add(1);
    const auto P = S.CalcOutline({0, 0, 400, 200});
    const int W = P[1].X - P[0].X;
    // Half the area of a pipe narrowing to nothing: (1 - 1 / sqrt 2) W.
    EXPECT_EQ(S.BoundaryOffset(0, P), std::lround(W * (1 - 1 / std::sqrt(2.0))));
    EXPECT_EQ(S.BoundaryOffset(1, P), W);
    // A straight pipe (cone 2 % of 200 pixels matches the 2-pixel margins):
    // area over height.
    S.SetConePercent(2);
    const auto Q = S.CalcOutline({0, 0, 400, 200});
    ASSERT_EQ(Q[3].Y - Q[0].Y, Q[2].Y - Q[1].Y);
    EXPECT_EQ(S.BoundaryOffset(0, Q), 198);
    // One point fills the whole pipe.
    TVolumePipeSeries One;
    One.Add(5);
    EXPECT_EQ(One.BoundaryOffset(0, P), W);
    // A zero total puts every boundary at the left end.
    TVolumePipeSeries Zero;
    Zero.Add(0);
    Zero.Add(0);
    EXPECT_EQ(Zero.BoundaryOffset(1, P), 0);
}

TEST(VolumePipeDraw, SectionsClampedConeAndFlatChart)
{
    test::TPriceChart C;
    auto* S = C.Add<TVolumePipeSeries>();
    S->SetConePercent(150);
    S->Add(3);
    S->Add(1);
    C.Draw(*S);
    EXPECT_EQ(S->ConePercent(), 100);
    ASSERT_EQ(S->Sections().size(), 2u);
    // One section ends where the next begins; the last at the right end.
    EXPECT_EQ(S->Sections()[0].Polygon[0].X, S->Sections()[1].Polygon[2].X);
    EXPECT_EQ(S->Sections()[1].Polygon[0].X, 398);
    const TPoint Inside = S->Sections()[0].Polygon[2];
    EXPECT_EQ(S->Clicked(Inside.X + 5, 100), 0);
    EXPECT_EQ(S->Clicked(399, 5), -1);
    // Regression: a chart rectangle 4 pixels high divided by zero.
    C.Chart.SetChartRectangle({0, 0, 400, 4});
    EXPECT_TRUE(C.Draw(*S).isEmpty());
    EXPECT_TRUE(S->Sections().empty());
}

TEST(VolumePipePicture, GradientSections)
{
    TChart Chart;
    test::SetUpFlatPictureChart(Chart, 400, 240);
    auto* S = new TVolumePipeSeries(&Chart);
    Chart.AddSeries(S);
    const double Values[] = {40, 25, 15, 12, 8};
    const TColor Colors[] = {clRed, clLime, clBlue, clYellow, clAqua};
    for (int I = 0; I < 5; ++I)
        S->Add(Values[I], QString(), Colors[I]);
    EXPECT_TRUE(test::MatchesReference(test::RenderPicture(Chart), "stats",
                                       "volume-pipe"));
}

} // namespace
} // namespace lp
