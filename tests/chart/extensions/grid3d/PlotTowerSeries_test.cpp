// The tower series: extents of centred towers, tower boxes (width, origin,
// hanging towers), hidden towers, hit tests, the sub-gallery and one
// reference picture per tower style.

#include "chart/extensions/grid3d/PlotTowerSeries.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>
#include <QtGui/QPainter>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A flat chart: X 0 .. 4 at 100 px a unit, Y 0 .. 100 at pixel 200 - 2 Y.
struct TTowerChart : test::TFixedAxesChart {
    TTowerChart() : TFixedAxesChart(false, 4, 100)
    {
        Tower = new TTowerSeries(&Chart);
        Chart.AddSeries(Tower);
    }
    QStringList Paint()
    {
        Layout();
        DC.ClearCalls();
        Tower->DrawAllValues();
        return DC.Calls();
    }
    TTowerSeries* Tower = nullptr;
};

TEST(TowerSeries, TowersAreCentredOnTheirNodes)
{
    TTowerSeries S;
    S.PrepareForGallery(true);
    EXPECT_EQ(S.Count(), 25);
    EXPECT_EQ(S.MinXValue(), 0.5);
    EXPECT_EQ(S.MaxXValue(), 5.5);
    EXPECT_EQ(S.MinZValue(), 0.5);
    EXPECT_EQ(S.MaxZValue(), 5.5);
}

TEST(TowerSeries, BoxesFollowWidthAndOrigin)
{
    TTowerChart C;
    C.Tower->AddXYZ(2, 30, 1);
    C.Tower->AddXYZ(3, 10, 1);
    C.Layout();
    // From the smallest value (10, pixel 180) up to 30 (pixel 140), a whole
    // cell wide.
    TTowerSeries::TTowerBox Box = C.Tower->TowerBox(0);
    EXPECT_EQ(Box.Box, (TRect{150, 140, 250, 180}));
    EXPECT_FALSE(Box.Hanging);
    C.Tower->SetPercentWidth(50);
    C.Tower->SetUseOrigin(true);
    C.Tower->SetOrigin(80);
    // The origin (pixel 40) above the value: the tower hangs from it.
    Box = C.Tower->TowerBox(0);
    EXPECT_EQ(Box.Box, (TRect{175, 40, 225, 140}));
    EXPECT_TRUE(Box.Hanging);
}

TEST(TowerSeries, HiddenTowersAreNeitherDrawnNorHit)
{
    TTowerChart C;
    C.Tower->AddXYZ(1, 60, 1);
    C.Tower->AddXYZ(3, 80, 1);
    C.Tower->SetTowerStyle(TTowerSeries::tsRectangle);
    EXPECT_EQ(C.Paint().filter(QRegularExpression("^Polygon\\(")).size(), 2);
    // Towers of 60 and 80 from the smallest value 60: the second spans
    // pixels 40 .. 80 between X 250 and 350.
    EXPECT_EQ(C.Tower->Clicked(300, 60), 1);
    EXPECT_EQ(C.Tower->Clicked(300, 100), -1);
    C.Tower->OnGetColor = [](TChartSeries*, int Index, TColor& Color) {
        if (Index == 1)
            Color = clNone;
    };
    EXPECT_EQ(C.Paint().filter(QRegularExpression("^Polygon\\(")).size(), 1);
    EXPECT_EQ(C.Tower->Clicked(300, 60), -1);
    // A cover plate is hit only on its plate.
    C.Tower->OnGetColor = nullptr;
    C.Tower->SetTowerStyle(TTowerSeries::tsCover);
    EXPECT_EQ(C.Tower->Clicked(300, 60), -1);
}

TEST(TowerSeries, SlantCubeKeepsTheCanvasCylinderSides)
{
    TTowerChart C;
    C.Tower->AddXYZ(1, 60, 1);
    C.Tower->AddXYZ(2, 80, 1);
    C.Tower->SetTowerStyle(TTowerSeries::tsSlantCube);
    const int Sides = ConeSegments();
    EXPECT_FALSE(C.Paint().filter(QRegularExpression("^Polygon\\(")).isEmpty());
    EXPECT_EQ(ConeSegments(), Sides);
    EXPECT_THROW(C.Tower->SetTransparency(101), ERangeError);
    C.Tower->SetTransparency(50);
    EXPECT_FALSE(C.Paint().filter(QRegularExpression("^Polygon\\(")).isEmpty());
}

TEST(TowerSeries, CopiesAndGallery)
{
    TTowerSeries A;
    A.SetDark3D(false);
    A.SetOrigin(3);
    A.SetPercentDepth(40);
    A.SetPercentWidth(60);
    A.SetTowerStyle(TTowerSeries::tsCone);
    A.SetTransparency(20);
    A.SetUseOrigin(true);
    TTowerSeries B;
    B.Assign(&A);
    EXPECT_FALSE(B.Dark3D());
    EXPECT_EQ(B.Origin(), 3);
    EXPECT_EQ(B.PercentDepth(), 40);
    EXPECT_EQ(B.PercentWidth(), 60);
    EXPECT_EQ(B.TowerStyle(), TTowerSeries::tsCone);
    EXPECT_EQ(B.Transparency(), 20);
    EXPECT_TRUE(B.UseOrigin());
    EXPECT_EQ(B.GetEditorClassName(), QStringLiteral("TTowerSeriesEditor"));

    QStringList Captions;
    B.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    ASSERT_EQ(Captions.size(), 12);
    EXPECT_EQ(Captions.mid(2), (QStringList{"No Border", "Single Color", "Marks", "Hollow", "Rectangle", "Cover",
                                            "Circle", "Arrow", "Cone", "Pyramid"}));
    const std::pair<int, TTowerStyle> Styles[] = {{6, TTowerSeries::tsRectangle}, {7, TTowerSeries::tsCover},
                                                  {8, TTowerSeries::tsCylinder},  {9, TTowerSeries::tsArrow},
                                                  {10, TTowerSeries::tsCone},     {11, TTowerSeries::tsPyramid}};
    for (const auto& [Index, Style] : Styles) {
        B.SetSubGallery(Index);
        EXPECT_EQ(B.TowerStyle(), Style) << Index;
    }
    B.SetSubGallery(5);
    EXPECT_EQ(B.Brush()->Style(), TBrush::bsClear);
}

// Every style in one picture: a 4 by 2 sheet of small tilted charts.
TEST(TowerPicture, EachStyle)
{
    QImage Sheet(4 * 200, 2 * 150, QImage::Format_RGB32);
    QPainter Painter(&Sheet);
    for (int Style = TTowerSeries::tsCube; Style <= TTowerSeries::tsSlantCube; ++Style) {
        TChart Chart;
        test::SetUpTiltedPictureChart(Chart);
        Chart.SetBounds(0, 0, 200, 150);
        Chart.LeftAxis()->SetVisible(false);
        Chart.BottomAxis()->SetVisible(false);
        Chart.DepthAxis()->SetVisible(false);
        auto* T = new TTowerSeries(&Chart);
        Chart.AddSeries(T);
        T->AddSampleValues(3);
        T->SetPercentWidth(70);
        T->SetPercentDepth(70);
        T->SetTowerStyle(static_cast<TTowerStyle>(Style));
        auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
        Painter.drawImage((Style % 4) * 200, (Style / 4) * 150, Picture->ToImage());
    }
    Painter.end();
    EXPECT_TRUE(test::MatchesReference(Sheet, "grid3d", "tower-styles"));
}

} // namespace
} // namespace lp
