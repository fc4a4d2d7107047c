// The shape series: its rectangle in the three corner styles, the recorded
// figure (direction of lines, flat pixel shapes, nothing outside the plot),
// hit tests, corners of a cleared series and a picture of every style.

#include "chart/extensions/shapes/PlotChartShape.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

// X 0 .. 100 at 4 pixels a unit, Y 0 .. 100 at pixel 200 - 2 Y.
struct TShapeChart : test::TFixedAxesChart {
    explicit TShapeChart(bool Is3D = false) : TFixedAxesChart(Is3D, 100, 100)
    {
        Shape = new TChartShape(&Chart);
        Chart.AddSeries(Shape);
    }
    QStringList Paint()
    {
        Layout();
        DC.ClearCalls();
        Shape->DrawAllValues();
        return DC.Calls();
    }
    QStringList Drawn()
    {
        return Paint().filter(
            QRegularExpression("^(MoveTo|LineTo|Polygon|Polyline|Rectangle|Ellipse|RoundRect|TextOut)\\("));
    }
    TChartShape* Shape = nullptr;
};

TEST(ChartShape, RectangleFollowsTheCornerStyle)
{
    TShapeChart C;
    C.Shape->SetX0(10);
    C.Shape->SetY0(20);
    C.Shape->SetX1(30);
    C.Shape->SetY1(40);
    EXPECT_EQ(C.Shape->GetShapeRect(), (TRect{40, 160, 120, 120}));
    EXPECT_EQ(C.Shape->DrawingRect(), (TRect{40, 120, 120, 160}));
    C.Shape->SetXYStyle(TChartShape::xysAxisOrigin);
    EXPECT_EQ(C.Shape->GetShapeRect(), (TRect{40, 160, 70, 200}));
    C.Shape->SetXYStyle(TChartShape::xysPixels);
    C.Shape->SetX0(12.9);
    EXPECT_EQ(C.Shape->GetShapeRect(), (TRect{12, 20, 30, 40}));
    // Equal corners still give one pixel.
    C.Shape->SetX0(50);
    C.Shape->SetY0(50);
    C.Shape->SetX1(50);
    C.Shape->SetY1(50);
    EXPECT_EQ(C.Shape->DrawingRect(), (TRect{50, 50, 51, 51}));
    const QStringList Calls = C.Drawn();
    ASSERT_EQ(Calls.size(), 1) << Calls.join('\n').toStdString();
    EXPECT_TRUE(Calls[0].startsWith("Ellipse(50,50,")) << Calls[0].toStdString();
    // Huge pixel corners are kept in range, not overflowed.
    C.Shape->SetX1(1e300);
    EXPECT_EQ(C.Shape->GetShapeRect().Right, 100000000);
}

TEST(ChartShape, LineKeepsItsDirectionWhereFiguresIgnoreCornerOrder)
{
    TShapeChart C;
    C.Shape->SetX0(10);
    C.Shape->SetY0(10);
    C.Shape->SetX1(90);
    C.Shape->SetY1(90);
    C.Shape->SetStyle(TChartShape::chasLine);
    EXPECT_EQ(C.Drawn().join(' ').toStdString(), QStringList({"MoveTo(40,180)", "LineTo(360,20)"}).join(' ').toStdString());
    C.Shape->SetStyle(TChartShape::chasRectangle);
    const QStringList Forward = C.Drawn();
    C.Shape->SetX0(90);
    C.Shape->SetY0(90);
    C.Shape->SetX1(10);
    C.Shape->SetY1(10);
    EXPECT_EQ(C.Drawn(), Forward);
    C.Shape->SetStyle(TChartShape::chasLine);
    EXPECT_EQ(C.Drawn().join(' ').toStdString(), QStringList({"MoveTo(360,20)", "LineTo(40,180)"}).join(' ').toStdString());
}

TEST(ChartShape, PixelShapesStayFlatOnA3DChart)
{
    TShapeChart C(true);
    C.Shape->SetXYStyle(TChartShape::xysPixels);
    C.Shape->SetX0(100);
    C.Shape->SetY0(50);
    C.Shape->SetX1(200);
    C.Shape->SetY1(150);
    C.Shape->SetStyle(TChartShape::chasRectangle);
    C.Shape->Text()->Add(QStringLiteral("flat"));
    EXPECT_FALSE(C.Shape->UseAxis());
    C.Shape->SetComputedZOrder(7);
    C.Shape->CalcZOrder();
    EXPECT_EQ(C.Shape->ComputedZOrder(), 7);
    const QStringList Calls = C.Drawn();
    ASSERT_EQ(Calls.size(), 2) << Calls.join('\n').toStdString();
    EXPECT_EQ(Calls[0], "Rectangle(100,50,201,151)");
    EXPECT_TRUE(Calls[1].startsWith("TextOut(150,")) << Calls[1].toStdString();

    // The same shape on the axes is projected.
    C.Shape->SetXYStyle(TChartShape::xysAxis);
    C.Shape->SetX0(25);
    C.Shape->SetY0(75);
    C.Shape->SetX1(50);
    C.Shape->SetY1(25);
    C.Shape->SetDepthPositions(10, 15, 20);
    const QStringList Projected = C.Drawn();
    ASSERT_FALSE(Projected.isEmpty());
    EXPECT_NE(Projected[0], "Polygon(100,50;200,50;200,150;100,150)") << Projected.join('\n').toStdString();
}

TEST(ChartShape, OutsideThePlotNothingIsDrawnNotEvenText)
{
    TShapeChart C;
    C.Shape->Text()->Add(QStringLiteral("away"));
    C.Shape->SetX0(150);
    C.Shape->SetY0(150);
    C.Shape->SetX1(200);
    C.Shape->SetY1(200);
    EXPECT_TRUE(C.Drawn().isEmpty());
    // Only the first value of a two-point series draws.
    C.Shape->SetX0(10);
    C.Shape->SetY0(10);
    EXPECT_EQ(C.Drawn().filter("TextOut").size(), 1);
    C.Shape->AddXY(1, 1);
    EXPECT_TRUE(C.Drawn().isEmpty());
}

TEST(ChartShape, CornersOfASeriesWithoutTwoPointsReadZeroAndIgnoreWrites)
{
    TChartShape S;
    EXPECT_EQ(S.X1(), 100);
    EXPECT_EQ(S.Y1(), 100);
    S.Clear();
    EXPECT_EQ(S.X0(), 0);
    S.SetX1(5);
    S.SetY0(5);
    EXPECT_EQ(S.Count(), 0);
    EXPECT_EQ(S.X1(), 0);
    S.AddXY(3, 4);
    S.SetY0(9);
    EXPECT_EQ(S.YValues()->Value(0), 4);
}

struct TClickRow {
    TChartShape::TChartShapeStyle Style;
    TPoint Inside;
    TPoint Outside;
};

class ChartShapeClicks : public ::testing::TestWithParam<TClickRow> {};

// The shape from (40, 40) to (120, 120) in pixels.
TEST_P(ChartShapeClicks, HitFollowsTheFigure)
{
    TShapeChart C;
    C.Shape->SetXYStyle(TChartShape::xysPixels);
    C.Shape->SetX0(40);
    C.Shape->SetY0(120);
    C.Shape->SetX1(120);
    C.Shape->SetY1(40);
    C.Shape->SetStyle(GetParam().Style);
    EXPECT_EQ(C.Shape->Clicked(GetParam().Inside.X, GetParam().Inside.Y), 0);
    EXPECT_EQ(C.Shape->Clicked(GetParam().Outside.X, GetParam().Outside.Y), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ChartShapeClicks,
    ::testing::Values(TClickRow{TChartShape::chasRectangle, {41, 41}, {39, 80}},
                      TClickRow{TChartShape::chasCircle, {80, 80}, {42, 42}},
                      TClickRow{TChartShape::chasVertLine, {80, 100}, {90, 100}},
                      TClickRow{TChartShape::chasHorizLine, {50, 80}, {50, 90}},
                      TClickRow{TChartShape::chasTriangle, {80, 110}, {45, 45}},
                      TClickRow{TChartShape::chasInvertPyramid, {80, 50}, {45, 115}},
                      // The line runs from (40, 120) up to (120, 40).
                      TClickRow{TChartShape::chasLine, {80, 80}, {60, 60}},
                      TClickRow{TChartShape::chasDiamond, {80, 45}, {45, 45}},
                      TClickRow{TChartShape::chasStar, {45, 45}, {125, 80}}));

TEST(ChartShape, SubGalleryAndRegistration)
{
    const TPlotSeriesType* Type = PlotSeriesTypes()->Find(&TChartShape::staticMetaObject);
    ASSERT_NE(Type, nullptr);
    EXPECT_EQ(Type->DescriptionText(), "Shape");
    EXPECT_EQ(Type->GalleryPageText(), "Standard");
    EXPECT_EQ(Type->NumGallerySeries, 2);
    QStringList Captions;
    TChartShape S;
    S.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    ASSERT_EQ(Captions.size(), 15);
    EXPECT_EQ(Captions.mid(1, 3).join(' ').toStdString(), QStringList({"Rectangle", "Vert.Line", "Horiz.Line"}).join(' ').toStdString());
    EXPECT_EQ(Captions.last(), "Hollow");
    S.SetSubGallery(5);
    EXPECT_EQ(S.Style(), TChartShape::chasInvertTriangle);
    S.SetSubGallery(13);
    EXPECT_EQ(S.Style(), TChartShape::chasInvertPyramid);
    S.SetSubGallery(14);
    EXPECT_TRUE(S.Transparent());
    S.SetSeriesColor(0x123456);
    EXPECT_EQ(S.Brush()->Color(), 0x123456);
}

TEST(ChartShapePicture, EveryStyle)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 480, 300);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    for (TChartAxis* Axis : {Chart.BottomAxis(), Chart.LeftAxis()})
        Axis->SetMinMax(0, 100);
    for (int I = 0; I < 14; ++I) {
        auto* S = new TChartShape(&Chart);
        Chart.AddSeries(S);
        const double X = 2 + (I % 5) * 20;
        const double Y = 70 - (I / 5) * 33;
        S->SetX0(X);
        S->SetY0(Y);
        S->SetX1(X + 15);
        S->SetY1(Y + 25);
        S->SetStyle(static_cast<TChartShape::TChartShapeStyle>(I));
        S->SetSeriesColor(I % 2 ? 0x80C0FF : 0xC0FFC0);
        S->Text()->Add(QString::number(I));
    }
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "shapes", "every-shape"));
}

} // namespace
} // namespace lp
