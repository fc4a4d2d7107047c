// The line point and bar join series: the lines to the axes, the join
// between bars by bar style, none for a single bar, and pictures.

#include "chart/extensions/shapes/PlotLinePoint.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

QStringList PaintLines(test::TFixedAxesChart& C, TChartSeries& S, const char* Pattern)
{
    C.Layout();
    C.DC.ClearCalls();
    S.DrawAllValues();
    return C.DC.Calls().filter(QRegularExpression(Pattern));
}

TEST(LinePointSeries, LinesRunFromTheVerticalAxisToThePointAndDown)
{
    // X 0 .. 100 at 4 pixels a unit, Y 0 .. 100 at pixel 200 - 2 Y.
    test::TFixedAxesChart C(false, 100, 100);
    C.Chart.LeftAxis()->SetAxisLinePixel(0);
    C.Chart.BottomAxis()->SetAxisLinePixel(200);
    auto* S = new TMyPointSeries(&C.Chart);
    C.Chart.AddSeries(S);
    S->AddXY(25, 40);
    S->AddNullXY(50, 50);
    EXPECT_EQ(PaintLines(C, *S, "^Polyline\\(").join(' ').toStdString(), QStringList({"Polyline([0 120;100 120;100 200])"}).join(' ').toStdString());
    EXPECT_EQ(S->LinesPen()->Color(), 0x0000FF);
    EXPECT_EQ(S->Pointer()->Style(), psDiamond);
    EXPECT_FALSE(S->Pointer()->Draw3D());
    EXPECT_EQ(S->EditorClassName(), "TLinePointEditor");
}

struct TJoinChart : test::TFixedAxesChart {
    TJoinChart() : TFixedAxesChart(false, 100, 100)
    {
        Bars = new TBarJoinSeries(&C());
        Chart.AddSeries(Bars);
        Bars->Marks()->SetVisible(false);
        Bars->JoinPen()->SetColor(0x123456);
    }
    TCustomAxisPanel& C() { return Chart; }
    // The join lines: the lines drawn after the join pen was selected.
    QStringList Joins() { return PaintLines(*this, *Bars, "^(MoveTo|LineTo)\\("); }
    TBarJoinSeries* Bars = nullptr;
};

TEST(BarJoinSeries, JoinsFacingEdgesOrCentresAndNeverASingleBar)
{
    TJoinChart C;
    C.Bars->AddXY(20, 50);
    EXPECT_TRUE(C.Joins().isEmpty());
    C.Bars->AddXY(60, 30);
    const QStringList Edges = C.Joins();
    ASSERT_EQ(Edges.size(), 2);
    C.Bars->SetBarStyle(bsCone);
    const QStringList Centres = C.Joins();
    ASSERT_EQ(Centres.size(), 2);
    // Rectangles: from the first bar's right edge at its top (value 50 at
    // pixel 100) to the second bar's left edge at its top (pixel 140).
    const QRegularExpression Point("\\((\\d+),(\\d+)\\)");
    const auto X = [&](const QString& Call) { return Point.match(Call).captured(1).toInt(); };
    const auto Y = [&](const QString& Call) { return Point.match(Call).captured(2).toInt(); };
    EXPECT_EQ(Y(Edges[0]), 100);
    EXPECT_EQ(Y(Edges[1]), 140);
    EXPECT_LT(X(Edges[0]), X(Edges[1]));
    // Centres lie inside the edges.
    EXPECT_LT(X(Centres[0]), X(Edges[0]));
    EXPECT_GT(X(Centres[1]), X(Edges[1]));
}

TEST(BarJoinSeries, RegisteredOnTheOtherPage)
{
    for (const QMetaObject* Meta : {&TMyPointSeries::staticMetaObject, &TBarJoinSeries::staticMetaObject}) {
        const TPlotSeriesType* Type = PlotSeriesTypes()->Find(Meta);
        ASSERT_NE(Type, nullptr);
        EXPECT_EQ(Type->GalleryPageText(), "Other");
    }
    TBarJoinSeries S;
    EXPECT_EQ(S.NumSampleValues(), 3);
    S.JoinPen()->SetWidth(3);
    TBarJoinSeries Copy;
    Copy.Assign(&S);
    EXPECT_EQ(Copy.JoinPen()->Width(), 3);
}

TEST(LinePointPicture, LinePointsAndBarJoins)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 260);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    auto* Bars = new TBarJoinSeries(&Chart);
    Chart.AddSeries(Bars);
    Bars->JoinPen()->SetColor(0xFF0000);
    Bars->JoinPen()->SetWidth(2);
    for (const double V : {30.0, 70.0, 50.0, 90.0})
        Bars->Add(V);
    auto* Points = new TMyPointSeries(&Chart);
    Chart.AddSeries(Points);
    Points->AddXY(0.5, 20);
    Points->AddXY(2.2, 60);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "shapes", "line-points-and-bar-joins"));
}

} // namespace
} // namespace lp
