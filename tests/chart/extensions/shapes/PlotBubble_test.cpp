// The bubble series: pointer sizes from the radius (squared or by both
// axes, zero for radius 0, the stored sizes untouched), the range with the
// radii, hits by pointer style, the stored "Radius" list and a picture.

#include "chart/extensions/shapes/PlotBubble.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/FillInside.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// X 0 .. 100 at 4 pixels a unit, Y 0 .. 100 at pixel 200 - 2 Y.
struct TBubbleChart : test::TFixedAxesChart {
    TBubbleChart() : TFixedAxesChart(false, 100, 100)
    {
        Bubbles = new TBubbleSeries(&Chart);
        Chart.AddSeries(Bubbles);
    }
    TBubbleSeries* Bubbles = nullptr;
};

TEST(BubbleSeries, PointerFollowsTheRadius)
{
    TBubbleChart C;
    C.Bubbles->AddBubble(20, 50, 10);
    C.Bubbles->AddBubble(60, 50, 0);
    C.Layout();
    TSeriesPointer& P = *C.Bubbles->Pointer();
    C.Bubbles->PreparePointer(0);
    EXPECT_EQ(P.VertSize(), 20);
    EXPECT_EQ(P.HorizSize(), 20);
    C.Bubbles->SetSquared(false);
    C.Bubbles->PreparePointer(0);
    EXPECT_EQ(P.HorizSize(), 40);
    // A radius of 0 draws the smallest pointer the size checks allow.
    C.Bubbles->PreparePointer(1);
    EXPECT_EQ(P.HorizSize(), 1);
    EXPECT_EQ(P.VertSize(), 1);

    // Drawing and hit tests size it per point and leave the stored sizes.
    P.SetHorizSize(4);
    P.SetVertSize(4);
    C.DC.ClearCalls();
    C.Bubbles->DrawAllValues();
    EXPECT_TRUE(C.DC.Calls().join('\n').contains("Ellipse(40,80,")) << C.DC.Calls().join('\n').toStdString();
    EXPECT_EQ(C.Bubbles->Clicked(110, 100), 0);
    EXPECT_EQ(P.HorizSize(), 4);
    EXPECT_EQ(P.VertSize(), 4);
}

TEST(BubbleSeries, RangeIncludesTheRadii)
{
    TBubbleSeries S;
    S.AddBubble(1, 10, 5);
    S.AddBubble(2, 50, 30);
    EXPECT_EQ(S.MaxYValue(), 80);
    EXPECT_EQ(S.MinYValue(), 5);
    EXPECT_EQ(S.MaxZValue(), 30);
    EXPECT_EQ(S.MinZValue(), -30);
}

struct THitRow {
    TSeriesPointerStyle Style;
    TPoint Inside;
    TPoint Outside;
};

class BubbleHits : public ::testing::TestWithParam<THitRow> {};

// One bubble at (100, 100) with half sizes 20 x 20.
TEST_P(BubbleHits, FollowThePointerStyle)
{
    TBubbleChart C;
    C.Bubbles->AddBubble(25, 50, 10);
    C.Bubbles->Pointer()->SetStyle(GetParam().Style);
    C.Layout();
    EXPECT_EQ(C.Bubbles->Clicked(GetParam().Inside.X, GetParam().Inside.Y), 0);
    EXPECT_EQ(C.Bubbles->Clicked(GetParam().Outside.X, GetParam().Outside.Y), -1);
}

INSTANTIATE_TEST_SUITE_P(Styles, BubbleHits,
                         ::testing::Values(THitRow{psCircle, {110, 110}, {118, 118}},
                                           THitRow{psRectangle, {118, 118}, {121, 100}},
                                           THitRow{psTriangle, {100, 110}, {85, 85}},
                                           THitRow{psDiamond, {105, 105}, {117, 117}},
                                           THitRow{psDownTriangle, {100, 110}, {85, 115}}));

TEST(BubbleSeries, DataBlockKeepsTheRadius)
{
    TChart Original;
    auto* S = new TBubbleSeries(&Original);
    S->SetName(QStringLiteral("Bubbles"));
    Original.AddSeries(S);
    S->AddBubble(1, 2, 4.5);
    S->AddBubble(6, 7, 9.25);
    S->SetSquared(false);
    S->SetSaveData(true);
    S->SetManualData(true);
    TChart Copy;
    test::ReadInto(Original, Copy);
    auto* R = qobject_cast<TBubbleSeries*>(Copy.Series(0));
    ASSERT_TRUE(R);
    ASSERT_EQ(R->Count(), 2);
    EXPECT_EQ(R->RadiusValues()->Value(1), 9.25);
    EXPECT_FALSE(R->Squared());
    EXPECT_EQ(PlotSeriesTypes()->Find(&TBubbleSeries::staticMetaObject)->DescriptionText(), "Bubble");
}

TEST(BubblePicture, GradientStaysInsideTheBubbles)
{
    // Guards against bubbles with a gradient being drawn as squares: the
    // gradient filled each bubble's whole bounding rectangle.
    const struct {
        const char* Name;
        bool View3D;
        bool Orthogonal;
        TSeriesPointerStyle Style;
    } Rows[] = {{"2d", false, true, psCircle},
                {"orthogonal", true, true, psCircle},
                {"rotated", true, false, psCircle},
                {"diamond-3d", true, true, psDiamond}};
    for (const auto& R : Rows) {
        TChart Chart;
        Chart.SetBounds(0, 0, 320, 240);
        Chart.SetView3D(R.View3D);
        Chart.View3DOptions()->SetOrthogonal(R.Orthogonal);
        auto* S = new TBubbleSeries(&Chart);
        Chart.AddSeries(S);
        S->Pointer()->SetStyle(R.Style);
        for (int I = 0; I < 6; ++I)
            S->AddBubble(I * 10, 20 + (I * 37) % 60, 3 + I * 2);
        // The base draws the bubbles not at all: the shape is the bubble
        // with its outline.
        const auto Picture = [&](bool Filled, bool Gradient, test::TChartPictureKind Kind) {
            S->Pointer()->Brush()->SetStyle(Filled ? bsSolid : bsClear);
            S->Pointer()->Pen()->SetVisible(Filled);
            S->Pointer()->Gradient()->SetVisible(Gradient);
            return test::ChartPicture(Chart, Kind);
        };
        test::ExpectGradientInsideOnEveryKind(Picture, QStringLiteral("bubbles-%1").arg(QLatin1String(R.Name)));
    }
}

TEST(BubblePicture, Bubbles)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 240);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    auto* S = new TBubbleSeries(&Chart);
    Chart.AddSeries(S);
    S->Pointer()->Gradient()->SetVisible(true);
    for (int I = 0; I < 6; ++I)
        S->AddBubble(I * 10, 20 + (I * 37) % 60, 3 + I * 2);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "shapes", "bubbles"));
}

} // namespace
} // namespace lp
