// Box plots: quartiles by plotting positions, fences and adjacent values,
// small and unsorted samples, outlier classes, custom statistics and the
// reference pictures.

#include "chart/extensions/stats/PlotBoxPlot.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotValueList.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TBoxStatistics StatisticsOf(const std::vector<double>& Samples)
{
    TBoxSeries S;
    for (double V : Samples)
        S.Add(V);
    S.CalcStatistics();
    return S.Statistics();
}

TEST(BoxStatistics, OneToNine)
{
    const TBoxStatistics S = StatisticsOf({1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_DOUBLE_EQ(S.Median, 5);
    EXPECT_DOUBLE_EQ(S.Quartile1, 2.75);
    EXPECT_DOUBLE_EQ(S.Quartile3, 7.25);
    EXPECT_DOUBLE_EQ(S.InnerFenceLow, -4);
    EXPECT_DOUBLE_EQ(S.InnerFenceHigh, 14);
    EXPECT_DOUBLE_EQ(S.OuterFenceLow, -10.75);
    EXPECT_DOUBLE_EQ(S.OuterFenceHigh, 20.75);
    EXPECT_DOUBLE_EQ(S.AdjacentLow, 1);
    EXPECT_DOUBLE_EQ(S.AdjacentHigh, 9);
}

TEST(BoxStatistics, SmallSamples)
{
    // N = 2: the 0.25 position is the first plotting position.
    const TBoxStatistics Two = StatisticsOf({4, 8});
    EXPECT_DOUBLE_EQ(Two.Quartile1, 4);
    EXPECT_DOUBLE_EQ(Two.Quartile3, 8);
    EXPECT_DOUBLE_EQ(Two.Median, 6);
    // N = 1: every statistic is the sample.
    const TBoxStatistics One = StatisticsOf({3});
    for (double V : {One.Median, One.Quartile1, One.Quartile3, One.InnerFenceLow, One.OuterFenceHigh,
                     One.AdjacentLow, One.AdjacentHigh})
        EXPECT_DOUBLE_EQ(V, 3);
    // Regression: with no sample above the low fence the walk read past the
    // last sample.
    const TBoxStatistics Equal = StatisticsOf({5, 5});
    EXPECT_DOUBLE_EQ(Equal.AdjacentLow, 5);
    EXPECT_DOUBLE_EQ(Equal.AdjacentHigh, 5);
}

TEST(BoxSeries, ShuffledSamplesGiveTheSortedResultAndKeepTheirOrder)
{
    // Regression: a vertical box took its samples in insertion order.
    TBoxSeries S;
    const std::vector<double> Shuffled = {7, 1, 9, 4, 2, 8, 5, 3, 6};
    for (double V : Shuffled)
        S.Add(V);
    S.CalcStatistics();
    EXPECT_DOUBLE_EQ(S.Statistics().Quartile1, 2.75);
    EXPECT_DOUBLE_EQ(S.Statistics().Quartile3, 7.25);
    EXPECT_EQ(test::YsOf(S), Shuffled);
}

TEST(BoxSeries, OutlierClassesAtTheFences)
{
    TBoxSeries S;
    for (int I = 1; I <= 9; ++I)
        S.Add(I);
    S.CalcStatistics();
    const struct {
        double Value;
        TSeriesPointer* Symbol;
    } Rows[] = {{14, nullptr},         {-4, nullptr},         {14.01, S.MildOut()}, {20.75, S.MildOut()},
                {-10.75, S.MildOut()}, {20.76, S.ExtrOut()}, {-10.8, S.ExtrOut()}};
    for (const auto& Row : Rows)
        EXPECT_EQ(S.OutlierSymbol(Row.Value), Row.Symbol) << Row.Value;
}

TEST(BoxSeries, CustomValuesAndNoSamplesKeepTheStatistics)
{
    TBoxSeries S;
    TBoxStatistics Custom;
    Custom.Median = 50;
    Custom.Quartile1 = 40;
    Custom.Quartile3 = 60;
    Custom.InnerFenceHigh = 70;
    S.SetStatistics(Custom);
    // No samples: nothing is recomputed.
    S.CalcStatistics();
    EXPECT_DOUBLE_EQ(S.Statistics().Median, 50);
    S.SetUseCustomValues(true);
    for (int I = 1; I <= 9; ++I)
        S.Add(I);
    S.CalcStatistics();
    EXPECT_DOUBLE_EQ(S.Statistics().Quartile1, 40);
    EXPECT_EQ(S.OutlierSymbol(65), nullptr);
    EXPECT_EQ(S.OutlierSymbol(75), S.ExtrOut());
}

TEST(BoxSeries, HorizontalBoxTakesItsSamplesFromX)
{
    THorizBoxSeries S;
    for (double V : {9, 1, 5, 3, 7})
        S.Add(V);
    EXPECT_EQ(S.SampleValues(), S.XValues());
    S.SetPosition(2);
    EXPECT_DOUBLE_EQ(S.MinYValue(), 2);
    EXPECT_DOUBLE_EQ(S.MaxYValue(), 2);
    S.CalcStatistics();
    EXPECT_DOUBLE_EQ(S.Statistics().Median, 5);
}

TEST(BoxDraw, BoxSpansTheQuartilesAtThePosition)
{
    // Samples 1..9 at X = 2 (pixel 200): the box from 7.25 (pixel 142) to
    // 2.75 (pixel 178), HorizSize 15 either side.
    test::TPriceChart C(4, 25);
    auto* S = C.Add<TBoxSeries>();
    S->SetPosition(2);
    for (int I = 1; I <= 9; ++I)
        S->Add(I);
    C.Layout();
    S->DoBeforeDrawValues();
    const TRect Box = S->BoxRect();
    EXPECT_EQ(Box.Left, 185);
    EXPECT_EQ(Box.Right, 215);
    EXPECT_EQ(Box.Top, 142);
    EXPECT_EQ(Box.Bottom, 178);
}

template <class TBox> void AddBoxes(TChart& Chart)
{
    const std::vector<double> Samples[] = {{-14, 2, 3, 4, 5, 6, 6.5, 7, 8, 9, 16, 25},
                                           {1, 3, 4, 4.5, 5, 5.5, 6, 7, 8, 19, -4}};
    for (int I = 0; I < 2; ++I) {
        auto* S = new TBox(&Chart);
        Chart.AddSeries(S);
        S->SetPosition(I + 1);
        S->Pointer()->Brush()->SetColor(I == 0 ? clAqua : clYellow);
        S->SetSeriesColor(clRed);
        for (double V : Samples[I])
            S->Add(V);
    }
}

TEST(BoxPicture, VerticalAndHorizontalWithOutliers)
{
    TChart Vertical;
    test::SetUpFlatPictureChart(Vertical, 320, 240);
    AddBoxes<TBoxSeries>(Vertical);
    EXPECT_TRUE(test::MatchesReference(test::RenderPicture(Vertical), "stats", "box-vertical"));
    TChart Horizontal;
    test::SetUpFlatPictureChart(Horizontal, 320, 240);
    AddBoxes<THorizBoxSeries>(Horizontal);
    EXPECT_TRUE(test::MatchesReference(test::RenderPicture(Horizontal), "stats", "box-horizontal"));
}

// A box of samples near 1e300 with an outlier at the top of the double
// range, in a turned view zoomed to 500 % with perspective: the outlier's
// star lies on the horizon, where the projection is infinite. Every paint
// raised "Value -inf is out of the integer range" and drew nothing; such
// points are held far off the device and the paint goes on.
TEST(BoxPicture, SamplesNear1e300InATurnedZoomedView)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    Chart.LeftAxis()->SetLabels(false);
    Chart.SetView3D(true);
    TView3DOptions& View = *Chart.View3DOptions();
    View.SetOrthogonal(false);
    View.SetRotation(45);
    View.SetElevation(45);
    View.SetZoom(500);
    auto* Box = new TBoxSeries(&Chart);
    Chart.AddSeries(Box);
    for (double V : {0.9e300, 1e300, 1.05e300, 1.1e300, 1.2e300, -1e300, 1.7e308})
        Box->Add(V);
    QImage Picture;
    ASSERT_NO_THROW(Picture = test::RenderPicture(Chart));
    // The legend's 300-digit values leave the box no room; the bottom
    // axis' label, zoomed, shows below the legend.
    EXPECT_GT(test::CountPixelsOf(Picture.copy(0, 120, 400, 180), qRgb(0, 0, 0)), 100);
}

} // namespace
} // namespace lp
