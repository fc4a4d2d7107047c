// The B-spline (plain and interpolating, knuckles, coinciding points, the
// fragment cap) and the smoothing function over source series of either
// orientation, with its registration.

#include "chart/extensions/functions/PlotSmoothing.h"

#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"
#include "tests/chart/engine/EngineTestUtil.h"

#include <cmath>

#include <gtest/gtest.h>

namespace lp {
namespace {

TBSpline Peak(bool Interpolate)
{
    TBSpline Spline;
    Spline.AddPoint(0, 0);
    Spline.AddPoint(1, 1);
    Spline.AddPoint(2, 0);
    Spline.SetInterpolate(Interpolate);
    return Spline;
}

TEST(BSpline, PlainCurveApproachesAndInterpolatingCurvePassesThrough)
{
    TBSpline Plain = Peak(false);
    EXPECT_NEAR(Plain.Value(0.5).X, 1, 1e-12);
    EXPECT_NEAR(Plain.Value(0.5).Y, 2.0 / 3, 1e-12);
    TBSpline Through = Peak(true);
    EXPECT_NEAR(Through.Value(0.5).X, 1, 1e-12);
    EXPECT_NEAR(Through.Value(0.5).Y, 1, 1e-12);
    for (TBSpline* Spline : {&Plain, &Through}) {
        EXPECT_NEAR(Spline->Value(0).X, 0, 1e-12);
        EXPECT_NEAR(Spline->Value(0).Y, 0, 1e-12);
        EXPECT_NEAR(Spline->Value(1).X, 2, 1e-12);
        EXPECT_NEAR(Spline->Value(1).Y, 0, 1e-12);
    }
}

TEST(BSpline, InterpolatingManyPointsHitsEveryOne)
{
    TBSpline Spline;
    constexpr int N = 2000;
    for (int I = 0; I < N; ++I)
        Spline.AddPoint(I * 0.5, std::sin(I * 0.37) * 10 + (I % 7));
    Spline.SetInterpolate(true);
    ASSERT_EQ(Spline.Count(), N);
    for (int I = 1; I <= N; I += 37) {
        const TSplinePoint P = Spline.Value(static_cast<double>(I - 1) / (N - 1));
        EXPECT_NEAR(P.X, Spline.Point(I).X, 1e-9) << I;
        EXPECT_NEAR(P.Y, Spline.Point(I).Y, 1e-9) << I;
    }
}

TEST(BSpline, CoincidingPointsAndKnucklesAreMetExactly)
{
    TBSpline Spline;
    for (const auto& [X, Y] : {std::pair{0.0, 0.0}, {1.0, 3.0}, {2.0, 1.0}, {2.0, 1.0}, {2.0, 1.0}, {3.0, 4.0},
                               {4.0, 0.0}})
        Spline.AddPoint(X, Y);
    Spline.SetInterpolate(true);
    // The triple is held by identity rows: the curve reaches it without
    // the system turning singular.
    const TSplinePoint AtTriple = Spline.Value(3.0 / 6);
    EXPECT_NEAR(AtTriple.X, 2, 1e-9);
    EXPECT_NEAR(AtTriple.Y, 1, 1e-9);

    TBSpline Corner;
    Corner.AddPoint(0, 0);
    Corner.AddPoint(1, 5);
    Corner.AddPoint(2, 0);
    Corner.SetKnuckle(2, true);
    ASSERT_EQ(Corner.Count(), 5); // the knuckle tripled
    EXPECT_NEAR(Corner.Value(0.5).Y, 5, 1e-12);
    Corner.SetKnuckle(1, true); // an end point is never a knuckle
    EXPECT_FALSE(Corner.IsKnuckle(1));
    EXPECT_EQ(Corner.Count(), 5);
}

TEST(BSpline, EdgesOfItsInput)
{
    TBSpline Spline;
    EXPECT_EQ(Spline.Value(0.5).X, 0);
    Spline.AddPoint(3, 4);
    EXPECT_EQ(Spline.Value(0.5).Y, 0); // one point: no curve
    EXPECT_THROW(Spline.Point(0), ERangeError);
    EXPECT_THROW(Spline.Point(2), ERangeError);
    EXPECT_THROW(Spline.SetKnuckle(5, true), ERangeError);
    Spline.SetFragments(10000);
    EXPECT_EQ(Spline.Fragments(), TBSpline::MaxFragments);
    Spline.AddPoint(5, 6);
    Spline.SetPoint(2, {7, 8}); // the curve follows a moved point
    EXPECT_NEAR(Spline.Value(1).X, 7, 1e-12);
    Spline.Clear();
    EXPECT_EQ(Spline.NumPoints(), 0);
    EXPECT_EQ(Spline.Fragments(), 100);
    EXPECT_FALSE(Spline.Interpolate());
}

// --- The function ---------------------------------------------------------------------------------

struct TSmoothedChart {
    explicit TSmoothedChart(int SourcePoints, bool HorizontalSource = false)
    {
        Source = HorizontalSource ? new THorizLineSeries(&Chart) : new TLineSeries(&Chart);
        Chart.AddSeries(Source);
        for (int I = 0; I < SourcePoints; ++I) {
            if (HorizontalSource)
                Source->AddXY(std::cos(I) * 3, I);
            else
                Source->AddXY(I, std::cos(I) * 3);
        }
        Smooth = HorizontalSource ? new THorizLineSeries(&Chart) : new TLineSeries(&Chart);
        Chart.AddSeries(Smooth);
        Function = new TSmoothingFunction(&Chart);
        Smooth->SetFunction(Function);
        Smooth->SetDataSource(Source);
    }
    test::TTestChart Chart;
    TChartSeries* Source = nullptr;
    TChartSeries* Smooth = nullptr;
    TSmoothingFunction* Function = nullptr;
};

TEST(SmoothingFunction, CurvePointsFollowFactorUpToTheCap)
{
    TSmoothedChart Small(5);
    EXPECT_EQ(Small.Smooth->Count(), 5 * 4 + 1);
    // Interpolating: 20 fragments over 4 spans, so every fifth curve point
    // is a source point.
    for (int I = 0; I < 5; ++I) {
        EXPECT_NEAR(Small.Smooth->XValues()->Value(I * 5), I, 1e-9);
        EXPECT_NEAR(Small.Smooth->YValues()->Value(I * 5), std::cos(I) * 3, 1e-9);
    }
    Small.Function->SetFactor(0);
    EXPECT_EQ(Small.Function->Factor(), 1);
    EXPECT_EQ(Small.Smooth->Count(), 5 + 1);
    Small.Function->SetInterpolate(false);
    EXPECT_GT(std::fabs(Small.Smooth->YValues()->Value(1) - std::cos(1) * 3), 0.1);

    TSmoothedChart Large(200);
    EXPECT_EQ(Large.Smooth->Count(), 601);
}

TEST(SmoothingFunction, HorizontalSourceSmoothsAlongItsVerticalValues)
{
    TSmoothedChart Chart(5, true);
    ASSERT_EQ(Chart.Smooth->Count(), 21);
    for (int I = 0; I < 5; ++I) {
        EXPECT_NEAR(Chart.Smooth->YValues()->Value(I * 5), I, 1e-9);
        EXPECT_NEAR(Chart.Smooth->XValues()->Value(I * 5), std::cos(I) * 3, 1e-9);
    }
}

TEST(SmoothingFunction, TooFewSourcePointsAddNothing)
{
    TSmoothedChart Empty(0);
    EXPECT_EQ(Empty.Smooth->Count(), 0);
    TSmoothedChart One(1);
    EXPECT_EQ(One.Smooth->Count(), 0);
}

TEST(SmoothingFunction, RegisteredOnTheExtendedPageAndCopied)
{
    bool Found = false;
    for (int I = 0; I < PlotSeriesTypes()->Count(); ++I) {
        const TPlotSeriesType* Type = PlotSeriesTypes()->Items(I);
        if (Type->FunctionClass == &TSmoothingFunction::staticMetaObject) {
            Found = true;
            EXPECT_EQ(Type->DescriptionText(), QStringLiteral("Smoothing"));
            EXPECT_EQ(Type->GalleryPageText(), QStringLiteral("Extended"));
            EXPECT_EQ(Type->NumGallerySeries, 1);
        }
    }
    EXPECT_TRUE(Found);
    TSmoothingFunction A, B;
    A.SetFactor(7);
    A.SetInterpolate(false);
    B.Assign(&A);
    EXPECT_EQ(B.Factor(), 7);
    EXPECT_FALSE(B.Interpolate());
    EXPECT_EQ(B.Period(), 1);
}

} // namespace
} // namespace lp
