// The picture series: the bitmap resources, image bars (plain without a
// picture, stretched, tiled in rows, bars far off the chart), image points
// drawn at the pointer's size, delta pictures and pictures of each.

#include "chart/extensions/shapes/PlotImageBar.h"
#include "chart/extensions/shapes/PlotImagePoint.h"
#include "chart/extensions/shapes/PlotImages.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/graphics/Bitmap.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(PlotImages, EveryNamedBitmapLoads)
{
    for (const char* Name : {"PlotMoney", "PlotDefaultImage", "PlotEqualSmile", "PlotGreaterSmile", "PlotLowerSmile",
                             "PlotEqualHand", "PlotGreaterHand", "PlotLowerHand"}) {
        TPicture P;
        LoadPlotImage(QString::fromLatin1(Name), P);
        EXPECT_GT(P.Width(), 8) << Name;
        EXPECT_GT(P.Height(), 8) << Name;
    }
    TPicture Kept;
    LoadPlotImage(QStringLiteral("PlotMoney"), Kept);
    EXPECT_THROW(LoadPlotImage(QStringLiteral("PlotNothing"), Kept), EInvalidGraphic);
    EXPECT_EQ(Kept.Width(), 32);
}

QStringList Images(test::TFixedAxesChart& C, TChartSeries& S)
{
    C.Layout();
    C.DC.ClearCalls();
    S.DrawAllValues();
    return C.DC.Calls().filter("DrawImage(");
}

TEST(ImageBarSeries, PictureStretchedTiledOrNone)
{
    // Y 0 .. 100 at pixel 200 - 2 Y.
    test::TFixedAxesChart C(false, 4, 100);
    auto* S = new TImageBarSeries(&C.Chart);
    C.Chart.AddSeries(S);
    S->BarPen()->SetVisible(false);
    S->AddXY(1, 40);
    EXPECT_EQ(Images(C, *S).size(), 1);
    // Tiled: 81 pixels of bar (no pen) in rows of the picture's 16 pixels,
    // the top one clipped.
    S->SetImageTiled(true);
    const QStringList Rows = Images(C, *S);
    EXPECT_EQ(Rows.size(), 6) << Rows.join('\n').toStdString();
    // A bar reaching far beyond the chart draws only the rows shown.
    S->YValues()->SetValue(0, 1e7);
    EXPECT_LT(Images(C, *S).size(), 40);
    // Without a picture: plain bars.
    S->Image()->Assign(nullptr);
    EXPECT_TRUE(Images(C, *S).isEmpty());
    EXPECT_FALSE(C.DC.Calls().filter("Rectangle(").isEmpty());
}

TEST(ImagePointSeries, PictureTakesThePointerSize)
{
    // X 0 .. 100 at 4 pixels a unit, Y 0 .. 100 at pixel 200 - 2 Y.
    test::TFixedAxesChart C(false, 100, 100);
    auto* S = new TImagePointSeries(&C.Chart);
    C.Chart.AddSeries(S);
    S->AddXY(25, 50);
    S->AddNullXY(50, 50);
    EXPECT_EQ(S->Pointer()->HorizSize(), 16);
    EXPECT_TRUE(S->ImageTransparent());
    EXPECT_EQ(Images(C, *S), QStringList{"DrawImage(92,92,108,108,16,16,0xFFFFFF)"});
    S->Pointer()->SetHorizSize(10);
    S->Pointer()->SetVertSize(6);
    EXPECT_EQ(Images(C, *S), QStringList{"DrawImage(95,97,105,103,16,16,0xFFFFFF)"});
    int Asked = -1;
    S->OnGetImage = [&](TCustomImagePointSeries*, int Index, TPicture*) { Asked = Index; };
    Images(C, *S);
    EXPECT_EQ(Asked, 0);
    // No picture: the pointer shape.
    S->ImagePoint()->Assign(nullptr);
    EXPECT_TRUE(Images(C, *S).isEmpty());
    EXPECT_FALSE(C.DC.Calls().filter("Rectangle(").isEmpty());
}

TEST(DeltaPointSeries, PictureFollowsTheChangeFromThePreviousPoint)
{
    TDeltaPointSeries S;
    for (const double V : {5.0, 7.0, 7.0, 3.0})
        S.Add(V);
    EXPECT_EQ(S.DeltaImage(0), S.EqualImage());
    EXPECT_EQ(S.DeltaImage(1), S.GreaterImage());
    EXPECT_EQ(S.DeltaImage(2), S.EqualImage());
    EXPECT_EQ(S.DeltaImage(3), S.LowerImage());
    const QImage Smile = S.EqualImage()->Graphic()->ToImage();
    S.SetImageStyle(TDeltaPointSeries::disHands);
    EXPECT_NE(S.EqualImage()->Graphic()->ToImage(), Smile);
    S.SetImageStyle(TDeltaPointSeries::disSmiles);
    EXPECT_EQ(S.EqualImage()->Graphic()->ToImage(), Smile);
    EXPECT_FALSE(S.ImageTransparent());
    for (const QMetaObject* Meta : {&TImageBarSeries::staticMetaObject, &TImagePointSeries::staticMetaObject,
                                    &TDeltaPointSeries::staticMetaObject})
        EXPECT_EQ(PlotSeriesTypes()->Find(Meta)->GalleryPageText(), "Other") << Meta->className();
}

void SetUpFlatChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 400, 260);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
}

TEST(ImageSeriesPicture, ImageBarsStretchedAndTiled)
{
    TChart Chart;
    SetUpFlatChart(Chart);
    for (const bool Tiled : {false, true}) {
        auto* S = new TImageBarSeries(&Chart);
        Chart.AddSeries(S);
        S->SetImageTiled(Tiled);
        for (const double V : {40.0, -25.0, 90.0})
            S->Add(V);
    }
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "shapes", "image-bars"));
}

TEST(ImageSeriesPicture, DeltaAndImagePoints)
{
    TChart Chart;
    SetUpFlatChart(Chart);
    auto* Smiles = new TDeltaPointSeries(&Chart);
    Chart.AddSeries(Smiles);
    auto* Hands = new TDeltaPointSeries(&Chart);
    Chart.AddSeries(Hands);
    Hands->SetImageStyle(TDeltaPointSeries::disHands);
    Hands->SetImageTransparent(true);
    auto* Balls = new TImagePointSeries(&Chart);
    Chart.AddSeries(Balls);
    const double Values[] = {5, 7, 7, 3, 6, 6, 9};
    for (int I = 0; I < 7; ++I) {
        Smiles->AddXY(I, Values[I]);
        Hands->AddXY(I, Values[I] + 6);
        Balls->AddXY(I, 14 - Values[I] / 2);
    }
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "shapes", "delta-and-image-points"));
}

} // namespace
} // namespace lp
