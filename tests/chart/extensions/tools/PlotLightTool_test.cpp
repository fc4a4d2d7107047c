// The lighting tool: the darkening curve in per cent of the diagonal, a
// picture left alone by Factor 0, metafile output and printing, the
// buffered, the bitmap and the placed pass, the light following the mouse,
// and pictures of both styles.

#include "chart/extensions/tools/PlotLightTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotBarSeries.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TLitChart : test::TToolChart {
    TLitChart()
    {
        auto* Bars = new TBarSeries(&Chart);
        Chart.AddSeries(Bars);
        for (const double V : {35, 70, 50, 85, 20})
            Bars->Add(V);
        Chart.BottomAxis()->SetAutomatic(true);
        Light = new TLightTool(&Chart);
        Chart.Tools().Add(Light);
    }
    QImage Unlit()
    {
        Light->SetActive(false);
        QImage Result = Picture();
        Light->SetActive(true);
        return Result;
    }
    TLightTool* Light = nullptr;
};

QColor PixelOf(const QImage& Image, int X, int Y)
{
    return QColor(Image.pixel(X, Y));
}

TEST(LightTool, DarkensByDistanceInPerCentOfTheDiagonal)
{
    // 300 × 400: the diagonal is 500 pixels, so 250 pixels are half of it.
    EXPECT_EQ(LightDarkening(300, 400, 0, 0, 150, 200, 10, lsLinear), 100);
    EXPECT_EQ(LightDarkening(300, 400, 150, 200, 150, 200, 10, lsLinear), 0);
    // Spot: ((d + 1) · diag)² · f = (251 · 0.2)² · 0.1 = 252.
    EXPECT_EQ(LightDarkening(300, 400, 0, 0, 150, 200, 10, lsSpotLight), 252);
    // 128 % of the diagonal (640 pixels) would be black.
    EXPECT_EQ(LightDarkening(300, 400, 0, 0, 384, 512, 10, lsLinear), 255);
    EXPECT_EQ(LightDarkening(300, 400, 0, 0, 150, 200, 0, lsSpotLight), 0);

    QImage Grey(300, 400, QImage::Format_RGB888);
    Grey.fill(QColor(200, 120, 90));
    QImage Output;
    LightPicture(Grey, Output, 0, 0, 10, lsLinear);
    ASSERT_EQ(Output.size(), Grey.size());
    EXPECT_EQ(Output.format(), QImage::Format_RGB888);
    // Bytes below the darkening go to 0, not below.
    EXPECT_EQ(PixelOf(Output, 150, 200), QColor(100, 20, 0));
    EXPECT_EQ(PixelOf(Output, 0, 0), QColor(200, 120, 90));
    // The far corner, 99.7 % of the diagonal away: 199 darker.
    EXPECT_EQ(PixelOf(Output, 299, 399), QColor(1, 0, 0));
    LightPicture(Grey, Output, 0, 0, 20, lsLinear);
    EXPECT_EQ(PixelOf(Output, 299, 399), QColor(0, 0, 0));
}

TEST(LightTool, FactorZeroAndMetafilesLeaveThePicture)
{
    TLitChart F;
    const QImage Unlit = F.Unlit();
    EXPECT_NE(F.Picture(), Unlit);
    F.Light->SetFactor(0);
    EXPECT_EQ(F.Picture(), Unlit);

    F.Light->SetFactor(30);
    const auto MetafilePicture = [&](bool Active) {
        F.Light->SetActive(Active);
        std::unique_ptr<TMetafile> Meta = F.Chart.CreateMetafile(true, F.Chart.GetRectangle());
        TBitmap Played(400, 300);
        Played.Canvas().Draw(0, 0, Meta.get());
        return Played.ToImage();
    };
    EXPECT_EQ(MetafilePicture(true), MetafilePicture(false));
}

TEST(LightTool, LightsTheBufferedAndTheBitmapPassAlike)
{
    TLitChart F;
    F.Light->SetFactor(40);
    const QImage Direct = F.Picture();
    F.Chart.SetBufferedDisplay(true);
    const QImage Buffered = F.Picture();
    EXPECT_EQ(Buffered, Direct);
    // The centre keeps its colour, the corners darken.
    const QImage Unlit = F.Unlit();
    EXPECT_EQ(PixelOf(Direct, 200, 150), PixelOf(Unlit, 200, 150));
    EXPECT_LT(PixelOf(Direct, 2, 2).lightness(), PixelOf(Unlit, 2, 2).lightness());
    EXPECT_EQ(F.Light->Picture().size(), QSize(400, 300));
    EXPECT_EQ(LightOutput().size(), QSize(400, 300));

    // Drawn into part of a larger picture: only that part is lit, alike.
    F.Chart.SetBufferedDisplay(false);
    TBitmap Page(500, 400);
    F.Chart.DrawToCanvas(&Page.Canvas(), TRect{50, 60, 450, 360});
    const QImage Placed = Page.ToImage();
    EXPECT_EQ(Placed.copy(50, 60, 400, 300), Direct);
    EXPECT_EQ(QColor(Placed.pixel(20, 20)), QColor(Qt::white));
    EXPECT_EQ(QColor(Placed.pixel(470, 380)), QColor(Qt::white));
    // A printed page stays unlit.
    F.Chart.SetPrinting(true);
    EXPECT_EQ(F.Picture(), F.Unlit());
    F.Chart.SetPrinting(false);
}

TEST(LightTool, FollowsTheMouseOnlyWhenAsked)
{
    TLitChart F;
    F.Move(30, 40);
    EXPECT_EQ(F.Light->Left(), -1);
    F.Light->SetFollowMouse(true);
    const int Before = F.Chart.Invalidations;
    F.Move(30, 40);
    EXPECT_EQ(F.Light->Left(), 30);
    EXPECT_EQ(F.Light->Top(), 40);
    EXPECT_GT(F.Chart.Invalidations, Before);
    const QImage Lit = F.Picture();
    EXPECT_EQ(PixelOf(Lit, 30, 40), PixelOf(F.Unlit(), 30, 40));
}

TEST(LightTool, Pictures)
{
    TLitChart F;
    F.Light->SetFactor(25);
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "light-linear"));
    F.Light->SetStyle(lsSpotLight);
    F.Light->SetLeft(120);
    F.Light->SetTop(90);
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "light-spot"));
}

} // namespace
} // namespace lp
