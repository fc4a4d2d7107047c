// The arrow series: the range reaching the arrow ends, hits along an
// arrow, the stored "EndX" and "EndY" lists and a picture.

#include "chart/extensions/shapes/PlotArrow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace lp {
namespace {

TEST(ArrowSeries, RangeReachesBothEndsOfEveryArrow)
{
    TArrowSeries S;
    S.AddArrow(10, 20, -5, 70);
    S.AddArrow(30, 5, 90, 40);
    EXPECT_EQ(S.MinXValue(), -5);
    EXPECT_EQ(S.MaxXValue(), 90);
    EXPECT_EQ(S.MinYValue(), 5);
    EXPECT_EQ(S.MaxYValue(), 70);
    EXPECT_EQ(S.ArrowPercent(), 50);
    S.SetArrowWidth(9);
    EXPECT_EQ(S.Pointer()->HorizSize(), 9);
}

TEST(ArrowSeries, HitAlongTheArrowOnly)
{
    // X 0 .. 100 at 4 pixels a unit, Y 0 .. 100 at pixel 200 - 2 Y.
    test::TFixedAxesChart C(false, 100, 100);
    auto* S = new TArrowSeries(&C.Chart);
    C.Chart.AddSeries(S);
    S->AddArrow(10, 10, 60, 10);
    S->AddArrow(20, 50, 20, 90);
    C.Layout();
    EXPECT_EQ(S->Clicked(120, 180), 0);
    EXPECT_EQ(S->Clicked(80, 60), 1);
    EXPECT_EQ(S->Clicked(120, 170), -1);
    EXPECT_EQ(S->Clicked(250, 180), -1);
}

TEST(ArrowSeries, DataBlockKeepsEndXAndEndY)
{
    TChart Original;
    auto* S = new TArrowSeries(&Original);
    S->SetName(QStringLiteral("Arrows"));
    Original.AddSeries(S);
    S->AddArrow(1, 2, 3.5, 4.25);
    S->AddArrow(5, 6, 7.5, 8.75);
    S->SetArrowPercent(30);
    S->SetSaveData(true);
    S->SetManualData(true);
    TChart Copy;
    test::ReadInto(Original, Copy);
    auto* R = qobject_cast<TArrowSeries*>(Copy.Series(0));
    ASSERT_TRUE(R);
    ASSERT_EQ(R->Count(), 2);
    EXPECT_EQ(R->EndXValues()->Value(1), 7.5);
    EXPECT_EQ(R->EndYValues()->Value(0), 4.25);
    EXPECT_EQ(R->ArrowPercent(), 30);
    const TPlotSeriesType* Type = PlotSeriesTypes()->Find(&TArrowSeries::staticMetaObject);
    ASSERT_NE(Type, nullptr);
    EXPECT_EQ(Type->GalleryPageText(), "Extended");
    EXPECT_EQ(Type->NumGallerySeries, 2);
}

TEST(ArrowSeries, SampleValuesBesideValuesNearTheLimitOfTheDoubles)
{
    // Regression: the X range of the sample arrows beside a series near
    // +-1e300 was cast to int unclamped (undefined behaviour; on this
    // machine it gave a range of 1, every arrow starting at one X). The
    // range is clamped like the Y range: the arrows are finite, within the
    // chart's values, and spread across a range wider than an int.
    for (const double Reach : {1e300, 1e12}) {
        SCOPED_TRACE(Reach);
        TChart Chart;
        auto* Wide = new TPointSeries(&Chart);
        Chart.AddSeries(Wide);
        Wide->AddXY(Reach == 1e300 ? -Reach : 0, -Reach);
        Wide->AddXY(Reach, Reach);
        auto* S = new TArrowSeries(&Chart);
        Chart.AddSeries(S);
        TChartSeries::RandomSeed(5);
        S->FillSampleValues(10);
        ASSERT_EQ(S->Count(), 10);
        std::set<double> Starts;
        for (int I = 0; I < S->Count(); ++I) {
            for (const TChartValueList* List : S->ValuesList()) {
                EXPECT_TRUE(std::isfinite(List->Value(I))) << I;
                EXPECT_GE(List->Value(I), -Reach) << I;
                EXPECT_LE(List->Value(I), Reach) << I;
            }
            Starts.insert(S->XValues()->Value(I));
        }
        if (Reach == 1e12) {
            EXPECT_GT(Starts.size(), 5u);
        }
    }
}

TEST(ArrowPicture, ArrowsIn2DAnd3D)
{
    for (const bool Is3D : {false, true}) {
        TChart Chart;
        Chart.SetBounds(0, 0, 320, 240);
        Chart.SetBufferedDisplay(false);
        Chart.SetView3D(Is3D);
        Chart.Legend()->SetVisible(false);
        auto* S = new TArrowSeries(&Chart);
        Chart.AddSeries(S);
        S->SetColorEachPoint(true);
        S->SetArrowWidth(8);
        S->SetArrowHeight(10);
        S->AddArrow(0, 0, 40, 30);
        S->AddArrow(10, 80, 70, 40);
        S->AddArrow(90, 10, 50, 90);
        S->AddArrow(100, 60, 20, 60);
        auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
        EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "shapes", Is3D ? "arrows-3d" : "arrows"));
    }
}

} // namespace
} // namespace lp
