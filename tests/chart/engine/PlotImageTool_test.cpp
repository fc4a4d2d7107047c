// The picture tool: its rectangle from a series or the axes, reversed and
// clipped drawing, translucency, clicks, pictures loaded by file format.

#include "chart/engine/PlotImageTool.h"

#include "EngineTestUtil.h"
#include "ReferenceImage.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Jpeg.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace lp {
namespace {

using test::BindCanvas;
using test::PlaceAxes;
using test::TTestChart;

// A chart 240 x 140 whose chart rectangle is (20, 20) - (220, 120), axes
// 0 .. 1000 across and 0 .. 500 up, with one picture tool.
struct TImageChart {
    TTestChart Chart;
    TChartImageTool* Tool = nullptr;
    const TRect ChartRect{20, 20, 220, 120};

    TImageChart()
    {
        Chart.SetBounds(0, 0, 240, 140);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Chart.BottomAxis()->SetMinMax(0, 1000);
        Chart.LeftAxis()->SetMinMax(0, 500);
        Tool = new TChartImageTool(&Chart);
        Chart.Tools().Add(Tool);
    }
    TChartSeries* AddCorners(double X0, double Y0, double X1, double Y1)
    {
        auto* S = new TChartSeries(&Chart);
        Chart.AddSeries(S);
        S->AddXY(X0, Y0);
        S->AddXY(X1, Y1);
        return S;
    }
    void Place() { PlaceAxes(Chart, ChartRect); }
};

// A picture of four solid quadrants: top-left red, top-right blue,
// bottom-left lime, bottom-right yellow (Side pixels each).
std::unique_ptr<TBitmap> Quadrants(int Side = 1)
{
    auto B = std::make_unique<TBitmap>(2 * Side, 2 * Side);
    for (int Y = 0; Y < 2 * Side; ++Y)
        for (int X = 0; X < 2 * Side; ++X) {
            const bool Right = X >= Side;
            const bool Bottom = Y >= Side;
            B->Canvas().SetPixel(X, Y, Bottom ? (Right ? clYellow : clLime) : (Right ? clBlue : clRed));
        }
    return B;
}

bool Near(TColor A, TColor B, int Tolerance)
{
    const auto Channel = [](TColor C, int Shift) { return static_cast<int>((C >> Shift) & 0xFF); };
    for (int Shift : {0, 8, 16})
        if (std::abs(Channel(A, Shift) - Channel(B, Shift)) > Tolerance)
            return false;
    return true;
}

// --- The rectangle -------------------------------------------------------------------------------

TEST(ImageTool, RectangleFollowsTheSeriesExtent)
{
    struct TRow {
        bool ReverseHorizontal;
        bool ReverseVertical;
        TRect Expected;
    };
    // Points (100, 50) and (600, 400): x 40 .. 140, y 40 (400) .. 110 (50).
    const TRow Rows[] = {
        {false, false, {40, 40, 140, 110}},
        {true, false, {140, 40, 40, 110}},
        {false, true, {40, 110, 140, 40}},
        {true, true, {140, 110, 40, 40}},
    };
    for (const TRow& Row : Rows) {
        TImageChart F;
        // Added in reverse order: the extent, not the order, counts.
        F.Tool->SetSeries(F.AddCorners(600, 400, 100, 50));
        F.Place();
        F.Tool->SetReverseHorizontal(Row.ReverseHorizontal);
        F.Tool->SetReverseVertical(Row.ReverseVertical);
        auto Target = BindCanvas(F.Chart);
        F.Tool->ChartEvent(cteBeforeDrawSeries);
        EXPECT_EQ(F.Tool->ImageRect(), Row.Expected) << Row.ReverseHorizontal << Row.ReverseVertical;
    }
}

TEST(ImageTool, WithoutASeriesTheRectangleIsTheAxesRange)
{
    TImageChart F;
    F.Chart.BottomAxis()->SetMinMax(200, 700);
    F.Place();
    EXPECT_EQ(F.Tool->CalcImageRect(), F.ChartRect);
    // The reverse settings apply to a series' extent only.
    F.Tool->SetReverseHorizontal(true);
    F.Tool->SetReverseVertical(true);
    EXPECT_EQ(F.Tool->CalcImageRect(), F.ChartRect);
    // With the vertical axis inverted its maximum is at the bottom.
    F.Chart.LeftAxis()->SetInverted(true);
    F.Place();
    EXPECT_EQ(F.Tool->CalcImageRect(), (TRect{20, 120, 220, 20}));
}

TEST(ImageTool, ASeriesLeavingTheChartFallsBackToTheAxes)
{
    TImageChart F;
    TChartSeries* S = F.AddCorners(100, 50, 600, 400);
    F.Tool->SetSeries(S);
    F.Place();
    EXPECT_EQ(F.Tool->CalcImageRect(), (TRect{40, 40, 140, 110}));
    delete S;
    EXPECT_EQ(F.Tool->Series(), nullptr);
    F.Place();
    EXPECT_EQ(F.Tool->CalcImageRect(), F.ChartRect);
}

// --- Drawing -------------------------------------------------------------------------------------

TEST(ImageTool, ReversedSettingsMirrorThePicture)
{
    struct TRow {
        bool ReverseHorizontal;
        bool ReverseVertical;
        TColor TopLeft, TopRight, BottomLeft, BottomRight;
    };
    const TRow Rows[] = {
        {false, false, clRed, clBlue, clLime, clYellow},
        {true, false, clBlue, clRed, clYellow, clLime},
        {false, true, clLime, clYellow, clRed, clBlue},
        {true, true, clYellow, clLime, clBlue, clRed},
    };
    for (const TRow& Row : Rows) {
        TImageChart F;
        F.Tool->SetSeries(F.AddCorners(0, 0, 1000, 500));
        F.Tool->Picture()->SetGraphic(Quadrants().get());
        F.Tool->SetReverseHorizontal(Row.ReverseHorizontal);
        F.Tool->SetReverseVertical(Row.ReverseVertical);
        F.Place();
        auto Target = BindCanvas(F.Chart);
        F.Tool->ChartEvent(cteBeforeDrawSeries);
        const TCanvas& C = Target->Canvas();
        SCOPED_TRACE(testing::Message() << Row.ReverseHorizontal << Row.ReverseVertical);
        EXPECT_EQ(C.Pixel(50, 40), Row.TopLeft);
        EXPECT_EQ(C.Pixel(190, 40), Row.TopRight);
        EXPECT_EQ(C.Pixel(50, 100), Row.BottomLeft);
        EXPECT_EQ(C.Pixel(190, 100), Row.BottomRight);
    }
}

TEST(ImageTool, AnInvertedDepthAxisWithReverseVerticalKeepsThePictureUpright)
{
    struct TRow {
        bool ReverseVertical;
        TColor Top, Bottom;
    };
    // Without the setting the picture hangs upside down like the axis.
    const TRow Rows[] = {{true, clRed, clLime}, {false, clLime, clRed}};
    for (const TRow& Row : Rows) {
        TImageChart F;
        F.Chart.LeftAxis()->SetInverted(true);
        F.Tool->SetSeries(F.AddCorners(0, 0, 1000, 500));
        F.Tool->Picture()->SetGraphic(Quadrants().get());
        F.Tool->SetReverseVertical(Row.ReverseVertical);
        F.Place();
        auto Target = BindCanvas(F.Chart);
        F.Tool->ChartEvent(cteBeforeDrawSeries);
        EXPECT_EQ(Target->Canvas().Pixel(50, 40), Row.Top) << Row.ReverseVertical;
        EXPECT_EQ(Target->Canvas().Pixel(50, 100), Row.Bottom) << Row.ReverseVertical;
    }
}

TEST(ImageTool, AMirroredTransparentPictureLeavesOutTheSameColour)
{
    // The transparent colour is the picture's bottom-left (lime) pixel; after
    // mirroring vertically lime lands at the top and must still be left out.
    TImageChart F;
    F.Tool->SetSeries(F.AddCorners(0, 0, 1000, 500));
    auto Picture = Quadrants();
    Picture->SetTransparent(true);
    F.Tool->Picture()->SetGraphic(Picture.get());
    F.Tool->SetReverseVertical(true);
    F.Place();
    auto Target = BindCanvas(F.Chart);
    Target->Canvas().Brush().SetColor(clWhite);
    Target->Canvas().FillRect(TRect{0, 0, 240, 140});
    F.Tool->ChartEvent(cteBeforeDrawSeries);
    const TCanvas& C = Target->Canvas();
    EXPECT_EQ(C.Pixel(50, 40), clWhite);
    EXPECT_EQ(C.Pixel(190, 40), clYellow);
    EXPECT_EQ(C.Pixel(50, 100), clRed);
    EXPECT_EQ(C.Pixel(190, 100), clBlue);
}

TEST(ImageTool, ZoomingEnlargesThePictureCutAtTheChartRectangle)
{
    TImageChart F;
    F.Tool->SetSeries(F.AddCorners(0, 0, 1000, 500));
    F.Tool->Picture()->SetGraphic(Quadrants().get());
    // The left half of the axes: the picture's left (red / lime) half fills
    // the chart rectangle, the rest lies beyond its right side.
    F.Chart.BottomAxis()->SetMinMax(0, 500);
    F.Place();
    auto Target = BindCanvas(F.Chart);
    Target->Canvas().Brush().SetColor(clWhite);
    F.Tool->ChartEvent(cteBeforeDrawSeries);
    EXPECT_EQ(F.Tool->ImageRect(), (TRect{20, 20, 420, 120}));
    const TCanvas& C = Target->Canvas();
    EXPECT_EQ(C.Pixel(25, 30), clRed);
    EXPECT_EQ(C.Pixel(215, 30), clRed);
    EXPECT_EQ(C.Pixel(215, 110), clLime);
    // Outside the chart rectangle nothing is drawn.
    EXPECT_EQ(C.Pixel(230, 30), clWhite);
    EXPECT_EQ(C.Pixel(235, 110), clWhite);
}

TEST(ImageTool, TransparencyMixesWithWhatIsBelow)
{
    struct TRow {
        int Transparency;
        TColor Expected;
    };
    // Red over white.
    const TRow Rows[] = {{0, clRed}, {50, TColor(0x7F7FFF)}, {100, clWhite}};
    for (const TRow& Row : Rows) {
        TImageChart F;
        auto Red = std::make_unique<TBitmap>(2, 2);
        Red->Canvas().Brush().SetColor(clRed);
        Red->Canvas().FillRect(TRect{0, 0, 2, 2});
        F.Tool->Picture()->SetGraphic(Red.get());
        F.Tool->SetTransparency(Row.Transparency);
        F.Place();
        auto Target = BindCanvas(F.Chart);
        Target->Canvas().Brush().SetColor(clWhite);
        Target->Canvas().FillRect(TRect{0, 0, 240, 140});
        F.Tool->ChartEvent(cteBeforeDrawSeries);
        EXPECT_TRUE(Near(Target->Canvas().Pixel(100, 70), Row.Expected, 2))
            << Row.Transparency << " " << std::hex << Target->Canvas().Pixel(100, 70);
    }
}

TEST(ImageTool, TransparencyOutsideZeroToHundredIsRefused)
{
    TChartImageTool Tool;
    Tool.SetTransparency(40);
    for (int Bad : {-1, 101, 1000}) {
        EXPECT_THROW(Tool.SetTransparency(Bad), ERangeError) << Bad;
        EXPECT_EQ(Tool.Transparency(), 40);
    }
}

TEST(ImageTool, DrawsBeforeOrAfterTheSeriesOnly)
{
    struct TRow {
        bool DrawInFront;
        int Event;
        bool Draws;
    };
    const TRow Rows[] = {
        {false, cteBeforeDrawSeries, true}, {false, cteAfterDrawSeries, false}, {true, cteAfterDrawSeries, true},
        {true, cteBeforeDrawSeries, false}, {false, cteBeforeDraw, false},      {false, cteAfterDraw, false},
        {false, cteBeforeDrawAxes, false},  {true, cteMouseLeave, false},
    };
    for (const TRow& Row : Rows) {
        TImageChart F;
        F.Place();
        auto Target = BindCanvas(F.Chart);
        F.Tool->SetDrawInFront(Row.DrawInFront);
        int Calls = 0;
        F.Tool->OnBeforeDrawImage = [&](QObject* Sender) {
            EXPECT_EQ(Sender, F.Tool);
            // The rectangle is ready before the hook runs.
            EXPECT_EQ(F.Tool->ImageRect(), F.ChartRect);
            ++Calls;
        };
        F.Tool->ChartEvent(Row.Event);
        EXPECT_EQ(Calls, Row.Draws ? 1 : 0) << Row.DrawInFront << " " << Row.Event;
    }
}

TEST(ImageTool, AnEmptyPictureDrawsNothing)
{
    TImageChart F;
    F.Place();
    auto Target = BindCanvas(F.Chart);
    Target->Canvas().Brush().SetColor(clWhite);
    Target->Canvas().FillRect(TRect{0, 0, 240, 140});
    F.Tool->ChartEvent(cteBeforeDrawSeries);
    EXPECT_EQ(F.Tool->ImageRect(), F.ChartRect);
    EXPECT_EQ(Target->Canvas().Pixel(100, 70), clWhite);
}

// --- Clicks --------------------------------------------------------------------------------------

TEST(ImageTool, OnlyAPressStrictlyInsideTheRectangleClicks)
{
    struct TRow {
        int Kind;
        int X, Y;
        bool Fires;
    };
    // ImageRect (40, 110) - (140, 40): reversed vertically, so not normalised.
    const TRow Rows[] = {
        {cmeDown, 90, 70, true},   {cmeDown, 41, 41, true},    {cmeDown, 40, 70, false},
        {cmeDown, 140, 70, false}, {cmeDown, 90, 40, false},   {cmeDown, 90, 110, false},
        {cmeDown, 10, 10, false},  {cmeMove, 90, 70, false},   {cmeUp, 90, 70, false},
    };
    for (const TRow& Row : Rows) {
        TImageChart F;
        F.Tool->SetSeries(F.AddCorners(100, 50, 600, 400));
        F.Tool->SetReverseVertical(true);
        F.Place();
        auto Target = BindCanvas(F.Chart);
        F.Tool->ChartEvent(cteBeforeDrawSeries);
        ASSERT_EQ(F.Tool->ImageRect(), (TRect{40, 110, 140, 40}));
        int Clicks = 0;
        F.Tool->OnImageClick = [&](TChartImageTool* Sender, TMouseButton Button, TShiftState, int X, int Y) {
            EXPECT_EQ(Sender, F.Tool);
            EXPECT_EQ(Button, mbRight);
            EXPECT_EQ(X, Row.X);
            EXPECT_EQ(Y, Row.Y);
            ++Clicks;
        };
        F.Chart.BroadcastToolMouseEvent(Row.Kind, mbRight, {}, Row.X, Row.Y);
        EXPECT_EQ(Clicks, Row.Fires ? 1 : 0) << Row.Kind << " " << Row.X << "," << Row.Y;
    }
    // Without a handler a press is harmless.
    TImageChart F;
    F.Tool->ChartMouseEvent(cmeDown, mbLeft, {}, 90, 70);
    EXPECT_FALSE(F.Tool->OnImageClick);
}

// --- The picture ---------------------------------------------------------------------------------

TEST(ImageTool, ThePictureIsCopiedAndNullptrEmptiesIt)
{
    TChartImageTool Tool;
    EXPECT_EQ(Tool.Description(), PlotMsg_GalleryImage);
    EXPECT_EQ(Tool.Description(), QStringLiteral("Image"));
    EXPECT_EQ(Tool.GetEditorClassName(), QStringLiteral("TChartImageToolEditor"));
    EXPECT_FALSE(Tool.IsPictureStored());
    TPicture Source;
    Source.SetGraphic(Quadrants(3).get());
    Tool.SetPicture(&Source);
    ASSERT_NE(Tool.Picture()->Graphic(), nullptr);
    EXPECT_NE(Tool.Picture()->Graphic(), Source.Graphic());
    EXPECT_EQ(Tool.Picture()->Width(), 6);
    EXPECT_TRUE(Tool.IsPictureStored());
    Tool.SetPicture(Tool.Picture());
    EXPECT_EQ(Tool.Picture()->Width(), 6);
    Tool.SetPicture(nullptr);
    EXPECT_EQ(Tool.Picture()->Graphic(), nullptr);
    EXPECT_FALSE(Tool.IsPictureStored());
}

TEST(ImageTool, AJpegFileLoadsThroughTheFormatRegistryAndDraws)
{
    RegisterStandardPictureFormats();
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString FileName = QDir(Dir.path()).filePath(QStringLiteral("section.JPG"));
    {
        TJPEGImage Jpeg;
        Jpeg.SetImage(Quadrants(16)->ToImage());
        TPicture Saved;
        Saved.SetGraphic(&Jpeg);
        Saved.SaveToFile(FileName);
    }
    TImageChart F;
    F.Tool->SetSeries(F.AddCorners(0, 0, 1000, 500));
    F.Tool->Picture()->LoadFromFile(FileName);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(F.Tool->Picture()->Graphic()), nullptr);
    EXPECT_EQ(F.Tool->Picture()->Width(), 32);
    F.Place();
    auto Target = BindCanvas(F.Chart);
    F.Tool->ChartEvent(cteBeforeDrawSeries);
    const TCanvas& C = Target->Canvas();
    // JPEG is lossy: the quadrants' colours within a tolerance.
    EXPECT_TRUE(Near(C.Pixel(50, 40), clRed, 24)) << std::hex << C.Pixel(50, 40);
    EXPECT_TRUE(Near(C.Pixel(190, 40), clBlue, 24)) << std::hex << C.Pixel(190, 40);
    EXPECT_TRUE(Near(C.Pixel(50, 100), clLime, 24)) << std::hex << C.Pixel(50, 100);
    EXPECT_TRUE(Near(C.Pixel(190, 100), clYellow, 24)) << std::hex << C.Pixel(190, 100);
}

// --- Picture -------------------------------------------------------------------------------------

// A section picture pinned under a point series by two corner points.
TEST(ImageToolPicture, PictureUnderAPointSeriesMatchesTheReference)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 200);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    Chart.BottomAxis()->SetMinMax(-10, 110);
    Chart.LeftAxis()->SetMinMax(-5, 55);
    auto* Corners = new TPointSeries(&Chart);
    Chart.AddSeries(Corners);
    Corners->AddXY(0, 0);
    Corners->AddXY(100, 50);
    Corners->SetActive(false);
    auto* Wells = new TPointSeries(&Chart);
    Wells->SetSeriesColor(clBlack);
    Wells->Marks()->SetVisible(false);
    Chart.AddSeries(Wells);
    for (int I = 0; I <= 10; ++I)
        Wells->AddXY(I * 10, 5 + (I * 7) % 40);
    auto* Tool = new TChartImageTool(&Chart);
    Chart.Tools().Add(Tool);
    Tool->SetSeries(Corners);
    Tool->Picture()->SetGraphic(Quadrants(8).get());
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "imagetool", "picture-under-points"));
}

} // namespace
} // namespace lp

namespace lp {
namespace {

TEST(ImageTool, WithoutAChartThereIsNothingToDrawOrClick)
{
    TChartImageTool Tool;
    EXPECT_EQ(Tool.CalcImageRect(), TRect{});
    int Before = 0;
    Tool.OnBeforeDrawImage = [&](QObject*) { ++Before; };
    Tool.ChartEvent(cteBeforeDrawSeries);
    EXPECT_EQ(Before, 0);
    int Clicks = 0;
    Tool.OnImageClick = [&](TChartImageTool*, TMouseButton, TShiftState, int, int) { ++Clicks; };
    Tool.ChartMouseEvent(cmeDown, mbLeft, {}, 0, 0);
    EXPECT_EQ(Clicks, 0);
}

TEST(ImageTool, AnEmptySeriesGivesSomeRectangleAndNoFault)
{
    TImageChart F;
    auto* Empty = new TChartSeries(&F.Chart);
    F.Chart.AddSeries(Empty);
    F.Tool->SetSeries(Empty);
    F.Tool->Picture()->SetGraphic(Quadrants().get());
    F.Place();
    auto Target = BindCanvas(F.Chart);
    F.Tool->ChartEvent(cteBeforeDrawSeries);
    EXPECT_EQ(F.Tool->ImageRect(), F.Tool->CalcImageRect());
}

TEST(ImageTool, InA3DViewThePictureLiesOnTheBackPlane)
{
    struct TRow {
        bool Orthogonal;
    };
    for (const TRow& Row : {TRow{true}, TRow{false}}) {
        TChart Chart;
        Chart.SetBounds(0, 0, 320, 200);
        Chart.SetView3D(true);
        Chart.View3DOptions()->SetOrthogonal(Row.Orthogonal);
        Chart.SetBufferedDisplay(false);
        Chart.Legend()->SetVisible(false);
        Chart.BottomAxis()->SetMinMax(0, 100);
        Chart.LeftAxis()->SetMinMax(0, 50);
        auto* Corners = new TPointSeries(&Chart);
        Chart.AddSeries(Corners);
        Corners->AddXY(0, 0);
        Corners->AddXY(100, 50);
        Corners->SetActive(false);
        auto* Tool = new TChartImageTool(&Chart);
        Chart.Tools().Add(Tool);
        Tool->SetSeries(Corners);
        auto Red = std::make_unique<TBitmap>(4, 4);
        Red->Canvas().Brush().SetColor(clRed);
        Red->Canvas().FillRect(TRect{0, 0, 4, 4});
        Tool->Picture()->SetGraphic(Red.get());
        auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
        const TRect R = Tool->ImageRect();
        ASSERT_LT(R.Left, R.Right);
        ASSERT_LT(R.Top, R.Bottom);
        // The middle of the picture's rectangle, projected at the chart depth.
        const TRect Back = Chart.Canvas().CalculateRect3D(R, Chart.Depth3D());
        const int X = (Back.Left + Back.Right) / 2;
        const int Y = (Back.Top + Back.Bottom) / 2;
        EXPECT_EQ(Picture->Canvas().Pixel(X, Y), clRed) << Row.Orthogonal;
    }
}

} // namespace
} // namespace lp
