// The Bezier series: the flattened curves of each style from the recorded
// calls, the device curve of the default style, the refused segment
// counts and a picture of the styles.

#include "chart/extensions/shapes/PlotBezier.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

// Point (X, Y) lands on pixel (X, 200 - Y).
struct TBezierChart : test::TFixedAxesChart {
    TBezierChart() : TFixedAxesChart(false, 400, 200)
    {
        Bezier = new TBezierSeries(&Chart);
        Chart.AddSeries(Bezier);
        Bezier->Pointer()->SetVisible(false);
    }
    // Adds points given in pixels.
    void AddPixels(std::initializer_list<TPoint> Points)
    {
        for (const TPoint& P : Points)
            Bezier->AddXY(P.X, 200 - P.Y);
    }
    QStringList Lines()
    {
        Layout();
        DC.ClearCalls();
        Bezier->DrawAllValues();
        return DC.Calls().filter(QRegularExpression("^(MoveTo|LineTo|PolyBezier|Polygon|Rectangle)\\("));
    }
    TBezierSeries* Bezier = nullptr;
};

TEST(BezierSeries, QuadraticCurveOfTwoSegments)
{
    TBezierChart C;
    C.AddPixels({{0, 0}, {10, 20}, {20, 0}});
    C.Bezier->SetBezierStyle(TBezierSeries::bsBezier3);
    C.Bezier->SetNumBezierPoints(2);
    EXPECT_EQ(C.Lines().join(' ').toStdString(), QStringList({"MoveTo(0,0)", "LineTo(10,10)", "LineTo(20,0)"}).join(' ').toStdString());
}

TEST(BezierSeries, OnlyWholeCurvesAreDrawn)
{
    TBezierChart C;
    C.AddPixels({{0, 0}, {10, 40}, {30, 40}, {40, 0}, {60, 20}});
    C.Bezier->SetBezierStyle(TBezierSeries::bsBezier4);
    C.Bezier->SetNumBezierPoints(4);
    // One cubic curve through points 0 .. 3; point 4 is left out.
    EXPECT_EQ(C.Lines().join(' ').toStdString(), QStringList({"MoveTo(0,0)", "LineTo(9,22)", "LineTo(20,30)", "LineTo(31,22)",
                                      "LineTo(40,0)"}).join(' ').toStdString());
    // bsBezier3 takes two quadratic curves, ending at points 2 and 4.
    C.Bezier->SetBezierStyle(TBezierSeries::bsBezier3);
    EXPECT_EQ(C.Lines().size(), 9);

    TBezierChart Short;
    Short.AddPixels({{0, 0}, {10, 40}});
    Short.Bezier->SetBezierStyle(TBezierSeries::bsBezier3);
    EXPECT_EQ(Short.Lines().join(' ').toStdString(), QStringList({"MoveTo(0,0)"}).join(' ').toStdString());
    // The pointers are still drawn.
    Short.Bezier->Pointer()->SetVisible(true);
    EXPECT_EQ(Short.Lines().filter("Rectangle").size(), 2);
}

TEST(BezierSeries, DefaultStyleLeavesFlatCurvesToTheDevice)
{
    TBezierChart C;
    C.AddPixels({{0, 0}, {10, 40}, {30, 40}, {40, 0}, {60, 20}, {70, 10}, {80, 0}});
    EXPECT_EQ(C.Lines().join(' ').toStdString(), QStringList({"MoveTo(0,0)", "PolyBezier([0 0;0 0;10 40;30 40;40 0;60 20;70 10])"}).join(' ').toStdString());
}

TEST(BezierSeries, FewerThanTwoSegmentsAreRefused)
{
    TBezierSeries S;
    for (const int Bad : {1, 0, -5}) {
        try {
            S.SetNumBezierPoints(Bad);
            ADD_FAILURE() << Bad;
        } catch (const ChartException& E) {
            EXPECT_EQ(E.Message(), "Number of Bezier points should be > 1");
        }
    }
    EXPECT_EQ(S.NumBezierPoints(), 32);
    S.SetNumBezierPoints(2);
    TBezierSeries Copy;
    S.SetBezierStyle(TBezierSeries::bsBezier4);
    Copy.Assign(&S);
    EXPECT_EQ(Copy.NumBezierPoints(), 2);
    EXPECT_EQ(Copy.BezierStyle(), TBezierSeries::bsBezier4);
    S.SetSeriesColor(0x00FF00);
    EXPECT_EQ(S.LinePen()->Color(), 0x00FF00);
    EXPECT_EQ(PlotSeriesTypes()->Find(&TBezierSeries::staticMetaObject)->GalleryPageText(), "Extended");
}

TEST(BezierPicture, ThreeStyles)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 260);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    const TBezierStyle Styles[] = {TBezierSeries::bsWindows, TBezierSeries::bsBezier3, TBezierSeries::bsBezier4};
    for (int K = 0; K < 3; ++K) {
        auto* S = new TBezierSeries(&Chart);
        Chart.AddSeries(S);
        S->SetBezierStyle(Styles[K]);
        S->LinePen()->SetWidth(2);
        for (int I = 0; I < 7; ++I)
            S->AddXY(I * 10, K * 30 + (I % 2 ? 40 : 0) + (I % 3) * 5);
    }
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "shapes", "bezier-styles"));
}

} // namespace
} // namespace lp
