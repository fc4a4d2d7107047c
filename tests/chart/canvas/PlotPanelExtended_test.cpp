#include "chart/canvas/PlotPanelExtended.h"

#include "platform/core/Filer.h"
#include "platform/core/PropertyInfo.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// A panel that paints only its background.
class TBackgroundPanel : public TCustomPlotPanelExtended {
public:
    explicit TBackgroundPanel(int W = 400, int H = 250)
    {
        SetBounds(0, 0, W, H);
        SetBevelOuter(bvNone);
    }
    void InternalDraw(const TRect& Rect) override { PaintPanelBackground(Rect); }
};

// A W x H picture in Color with one Marked pixel at (MX, MY).
void SetPicture(TBackImage& Image, int W, int H, TColor Color, int MX = -1, int MY = -1, TColor Mark = clBlue)
{
    TBitmap bitmap(W, H);
    bitmap.Canvas().Brush().SetColor(Color);
    bitmap.Canvas().FillRect({0, 0, W, H});
    if (MX >= 0)
        bitmap.Canvas().SetPixel(MX, MY, Mark);
    Image.SetGraphic(&bitmap);
}

// The panel drawn into a white Width x Height bitmap at its own rectangle.
std::unique_ptr<TBitmap> Render(TBackgroundPanel& Panel, int Width, int Height)
{
    auto bitmap = std::make_unique<TBitmap>(Width, Height);
    Panel.DrawToMetaCanvas(&bitmap->Canvas(), Panel.GetRectangle());
    return bitmap;
}

// --- Fill ---

TEST(PlotPanelBackground, PanelColourFillsTheRectangle)
{
    TBackgroundPanel panel(30, 20);
    panel.SetColor(clRed);
    const auto bitmap = Render(panel, 30, 20);
    EXPECT_EQ(bitmap->Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(29, 19), clRed);
}

TEST(PlotPanelBackground, NoneColourWithInvisibleGradientFillsNothing)
{
    TBackgroundPanel panel(30, 20);
    panel.SetColor(clNone);
    panel.Gradient()->SetVisible(false);
    const auto bitmap = Render(panel, 30, 20);
    EXPECT_EQ(bitmap->Canvas().Pixel(15, 10), clWhite);
}

TEST(PlotPanelBackground, PrintingWithoutBackgroundSwitchFillsNothingButDrawsAVisibleGradient)
{
    TBackgroundPanel panel(30, 20);
    panel.SetColor(clRed);
    TBitmap page(30, 20);
    panel.PrintPartialCanvas(page.Canvas(), {0, 0, 30, 20});
    EXPECT_EQ(page.Canvas().Pixel(15, 10), clWhite);

    panel.Gradient()->SetVisible(true);
    panel.Gradient()->SetStartColor(clBlue);
    panel.Gradient()->SetEndColor(clBlue);
    panel.PrintPartialCanvas(page.Canvas(), {0, 0, 30, 20});
    EXPECT_EQ(page.Canvas().Pixel(15, 10), clBlue);

    PlotBackgroundWhenPrinting = true;
    panel.Gradient()->SetVisible(false);
    panel.PrintPartialCanvas(page.Canvas(), {0, 0, 30, 20});
    PlotBackgroundWhenPrinting = false;
    EXPECT_EQ(page.Canvas().Pixel(15, 10), clRed);
}

TEST(PlotPanelBackground, ShadowLeavesTheCornerInPanelColourAndShadesTheEdge)
{
    TBackgroundPanel panel(40, 30);
    panel.SetColor(clRed);
    panel.Shadow()->SetColor(clBlack);
    panel.Shadow()->SetSmooth(false);
    panel.Shadow()->SetHorizSize(5);
    panel.Shadow()->SetVertSize(5);
    const auto bitmap = Render(panel, 40, 30);
    EXPECT_EQ(bitmap->Canvas().Pixel(10, 10), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(37, 27), clBlack);
    EXPECT_EQ(bitmap->Canvas().Pixel(37, 1), clRed);
}

// --- Back image placement ---

TEST(PlotPanelBackImage, StretchFillsTheRectangle)
{
    TBackgroundPanel panel(20, 20);
    panel.SetColor(clWhite);
    SetPicture(*panel.BackImage(), 2, 2, clRed);
    const auto bitmap = Render(panel, 20, 20);
    EXPECT_EQ(bitmap->Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(19, 19), clRed);
}

TEST(PlotPanelBackImage, StretchAtDepthOnAnOrthogonalViewFillsTheProjectedRectangle)
{
    TBackgroundPanel panel(100, 100);
    panel.SetBufferedDisplay(false);
    SetPicture(*panel.BackImage(), 2, 2, clRed);
    TBitmap bitmap(100, 100);
    panel.Canvas().InitWindow(&bitmap.Canvas(), panel.View3DOptions(), clWhite, true, {0, 0, 100, 100});
    panel.Canvas().SetProjection(20, {0, 0, 100, 100});
    ASSERT_TRUE(panel.Canvas().IsOrthogonal());
    const TRect projected = panel.Canvas().CalculateRect3D({20, 20, 60, 60}, 10);
    ASSERT_NE(projected, (TRect{20, 20, 60, 60}));
    panel.DrawBackImage({20, 20, 60, 60}, 10);
    EXPECT_EQ(bitmap.Canvas().Pixel(projected.Left, projected.Top), clRed);
    EXPECT_EQ(bitmap.Canvas().Pixel(projected.Right - 1, projected.Bottom - 1), clRed);
    EXPECT_EQ(bitmap.Canvas().Pixel(projected.Left - 1, projected.Top), clWhite);
    EXPECT_EQ(bitmap.Canvas().Pixel(projected.Right, projected.Bottom - 1), clWhite);
    panel.Canvas().SetCanvas(nullptr);
}

TEST(PlotPanelBackImage, TenPixelTilesOn25x25DrawNineTilesOverhangingByFive)
{
    TBackgroundPanel panel(25, 25);
    panel.SetColor(clWhite);
    panel.SetBackImageMode(pbmTile);
    SetPicture(*panel.BackImage(), 10, 10, clRed, 0, 0, clBlue);
    // Without clipping the overhang shows beyond the panel.
    PlotClipWhenMetafiling = false;
    const auto bitmap = Render(panel, 40, 40);
    PlotClipWhenMetafiling = true;
    for (int y : {0, 10, 20})
        for (int x : {0, 10, 20})
            EXPECT_EQ(bitmap->Canvas().Pixel(x, y), clBlue) << x << "," << y;
    EXPECT_EQ(bitmap->Canvas().Pixel(29, 29), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(30, 29), clWhite);
    EXPECT_EQ(bitmap->Canvas().Pixel(29, 30), clWhite);

    // With clipping the panel's edge cuts them.
    const auto clipped = Render(panel, 40, 40);
    EXPECT_EQ(clipped->Canvas().Pixel(24, 24), clRed);
    EXPECT_EQ(clipped->Canvas().Pixel(25, 24), clWhite);
}

TEST(PlotPanelBackImage, EmptyPictureDrawsNoTiles)
{
    TBackgroundPanel panel(25, 25);
    panel.SetColor(clWhite);
    panel.SetBackImageMode(pbmTile);
    TBitmap empty;
    panel.BackImage()->SetGraphic(&empty);
    const auto bitmap = Render(panel, 25, 25);
    EXPECT_EQ(bitmap->Canvas().Pixel(5, 5), clWhite);
}

TEST(PlotPanelBackImage, CentreOfASmallerPicture)
{
    TBackgroundPanel panel(25, 25);
    panel.SetColor(clWhite);
    panel.SetBackImageMode(pbmCenter);
    SetPicture(*panel.BackImage(), 10, 10, clRed);
    const auto bitmap = Render(panel, 25, 25);
    // (10 - 25) div 2 = -7: the picture starts at 7.
    EXPECT_EQ(bitmap->Canvas().Pixel(6, 6), clWhite);
    EXPECT_EQ(bitmap->Canvas().Pixel(7, 7), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(16, 16), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(17, 17), clWhite);
}

TEST(PlotPanelBackImage, CentreOfALargerPictureGoesToNegativeOffsetsAndIsClipped)
{
    TBackgroundPanel panel(20, 20);
    panel.SetColor(clWhite);
    panel.SetBackImageMode(pbmCenter);
    SetPicture(*panel.BackImage(), 40, 40, clRed, 10, 10, clBlue);
    const auto bitmap = Render(panel, 40, 40);
    EXPECT_EQ(bitmap->Canvas().Pixel(0, 0), clBlue);
    EXPECT_EQ(bitmap->Canvas().Pixel(19, 19), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(25, 25), clWhite);
}

TEST(PlotPanelBackImage, CustomPlacesThePictureAtItsOffsets)
{
    TBackgroundPanel panel(25, 25);
    panel.SetColor(clWhite);
    panel.SetBackImageMode(pbmCustom);
    panel.BackImage()->SetLeft(3);
    panel.BackImage()->SetTop(4);
    SetPicture(*panel.BackImage(), 5, 5, clRed);
    const auto bitmap = Render(panel, 25, 25);
    EXPECT_EQ(bitmap->Canvas().Pixel(2, 4), clWhite);
    EXPECT_EQ(bitmap->Canvas().Pixel(3, 4), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(7, 8), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(8, 9), clWhite);
}

TEST(PlotPanelBackImage, InsidePictureIsLeftToTheChart)
{
    TBackgroundPanel panel(20, 20);
    panel.SetColor(clWhite);
    SetPicture(*panel.BackImage(), 2, 2, clRed);
    panel.SetBackImageInside(true);
    const auto bitmap = Render(panel, 20, 20);
    EXPECT_EQ(bitmap->Canvas().Pixel(5, 5), clWhite);
}

TEST(PlotPanelBackImage, TransparentFlagIsIgnoredWithoutAPicture)
{
    TBackgroundPanel panel;
    panel.SetBackImageTransp(true);
    EXPECT_FALSE(panel.BackImageTransp());
    SetPicture(*panel.BackImage(), 2, 2, clRed);
    panel.SetBackImageTransp(true);
    EXPECT_TRUE(panel.BackImageTransp());
}

TEST(PlotPanelBackImage, SettersNotifyOnlyOnChange)
{
    TBackImage image;
    int changes = 0;
    image.OnChange = [&](TPicture*) { ++changes; };
    image.SetMode(pbmStretch);
    image.SetLeft(0);
    EXPECT_EQ(changes, 0);
    image.SetMode(pbmTile);
    image.SetInside(true);
    image.SetTop(2);
    EXPECT_EQ(changes, 3);
    TBackImage copy;
    copy.Assign(&image);
    EXPECT_EQ(copy.Mode(), pbmTile);
    EXPECT_TRUE(copy.Inside());
    EXPECT_EQ(copy.Top(), 2);
}

// --- Zoom ---

TEST(PlotPanelZoom, DefaultsAndObjectsCreatedOnFirstRead)
{
    TPlotZoom zoom;
    EXPECT_TRUE(zoom.Allow());
    EXPECT_FALSE(zoom.Animated());
    EXPECT_EQ(zoom.AnimatedSteps(), 8);
    EXPECT_EQ(zoom.Direction(), TPlotZoom::tzdBoth);
    EXPECT_EQ(zoom.MinimumPixels(), 16);
    EXPECT_EQ(zoom.MouseButton(), mbLeft);
    EXPECT_FALSE(zoom.UpLeftZooms());
    EXPECT_FALSE(zoom.HasPen());
    EXPECT_EQ(zoom.Pen()->Color(), clWhite);
    EXPECT_FALSE(IsPropertyStored(zoom.Pen(), "Color"));
    EXPECT_EQ(zoom.Brush()->Color(), clWhite);
    EXPECT_EQ(zoom.Brush()->Style(), bsClear);
    zoom.SetPen(nullptr);
    EXPECT_FALSE(zoom.HasPen());
}

TEST(PlotPanelZoom, AssignLeavesMinimumPixelsAndUpLeftZooms)
{
    TPlotZoom source;
    source.SetAllow(false);
    source.SetAnimated(true);
    source.SetAnimatedSteps(3);
    source.SetDirection(TPlotZoom::tzdVertical);
    source.SetMouseButton(mbRight);
    source.SetMinimumPixels(2);
    source.SetUpLeftZooms(true);
    source.Pen()->SetColor(clRed);
    TPlotZoom target;
    target.Assign(&source);
    EXPECT_FALSE(target.Allow());
    EXPECT_TRUE(target.Animated());
    EXPECT_EQ(target.AnimatedSteps(), 3);
    EXPECT_EQ(target.Direction(), TPlotZoom::tzdVertical);
    EXPECT_EQ(target.MouseButton(), mbRight);
    EXPECT_EQ(target.Pen()->Color(), clRed);
    EXPECT_EQ(target.MinimumPixels(), 16);
    EXPECT_FALSE(target.UpLeftZooms());
}

TEST(PlotPanelZoom, RubberBandDrawnTwiceRestoresThePixels)
{
    // Guards against the default white band on a white back leaving the
    // pixels unchanged (invisible under not-xor).
    TBackgroundPanel panel(40, 40);
    panel.SetColor(clWhite);
    TBitmap window(40, 40);
    window.Canvas().Brush().SetColor(clSilver);
    window.Canvas().FillRect({0, 0, 40, 40});
    window.Canvas().SetPixel(5, 5, clRed);
    panel.Zoom()->Activate(5, 5);
    panel.Zoom()->X1 = 30;
    panel.Zoom()->Y1 = 25;
    panel.DrawZoomRectangleOn(window.Canvas());
    EXPECT_EQ(window.Canvas().Pixel(5, 5), clAqua); // inverted red
    EXPECT_EQ(window.Canvas().Pixel(5, 20), 0x3F3F3F);
    EXPECT_EQ(window.Canvas().Pixel(15, 15), clSilver); // clear brush
    panel.DrawZoomRectangleOn(window.Canvas());
    EXPECT_EQ(window.Canvas().Pixel(5, 5), clRed);
    EXPECT_EQ(window.Canvas().Pixel(5, 20), clSilver);
    EXPECT_EQ(window.Canvas().Pixel(29, 24), clSilver);
}

TEST(PlotPanelZoom, UndoZoomFiresAndClearsZoomed)
{
    TBackgroundPanel panel;
    int undone = 0;
    panel.OnUndoZoom = [&](TCustomPlotPanelExtended* Sender) {
        EXPECT_EQ(Sender, &panel);
        EXPECT_TRUE(Sender->Zoomed());
        ++undone;
    };
    panel.SetZoomed(true);
    panel.UndoZoom();
    EXPECT_EQ(undone, 1);
    EXPECT_FALSE(panel.Zoomed());
    EXPECT_EQ(panel.AllowPanning(), TCustomPlotPanelExtended::pmBoth);
}

// --- Storage ---

// The names the panel writes for itself besides its published properties,
// with their values.
QList<QPair<QString, QVariant>> WrittenExtras(TCustomPlotPanelExtended& Panel)
{
    TPropertyDefinitions definitions;
    Panel.DefineProperties(definitions);
    QList<QPair<QString, QVariant>> written;
    for (const TPropertyDefinitions::TDefinition& definition : definitions.Items)
        if (definition.HasData && definition.WriteValue)
            written.append({definition.Name, definition.WriteValue()});
    return written;
}

// A name the panel defines read with Value, as the chart file reader does.
void ReadExtra(TCustomPlotPanelExtended& Panel, const char* Name, const QVariant& Value)
{
    TPropertyDefinitions definitions;
    Panel.DefineProperties(definitions);
    const TPropertyDefinitions::TDefinition* definition = definitions.Find(QString::fromLatin1(Name));
    ASSERT_NE(definition, nullptr) << Name;
    ASSERT_TRUE(definition->ReadValue) << Name;
    definition->ReadValue(Value);
}

TEST(PlotPanelExtendedStorage, OldZoomNamesLoadIntoTheZoom)
{
    TBackgroundPanel panel;
    ReadExtra(panel, "AnimatedZoomSteps", 4);
    ReadExtra(panel, "AnimatedZoom", true);
    ReadExtra(panel, "AllowZoom", false);
    EXPECT_EQ(panel.Zoom()->AnimatedSteps(), 4);
    EXPECT_TRUE(panel.Zoom()->Animated());
    EXPECT_FALSE(panel.AllowZoom());
    ReadExtra(panel, "BorderStyle", QStringLiteral("bsSingle"));
    EXPECT_TRUE(panel.Border()->Visible());
    EXPECT_FALSE(panel.ReadOldProperty("ZoomSteps", 4));
    EXPECT_THROW(ReadExtra(panel, "AnimatedZoomSteps", QStringLiteral("many")), EConvertError);
    // Saving again writes nothing under the old names.
    EXPECT_TRUE(WrittenExtras(panel).isEmpty());
}

TEST(PlotPanelExtendedStorage, PrintMarginsAreWrittenOnlyWhenNotAllFifteen)
{
    TBackgroundPanel panel;
    EXPECT_TRUE(WrittenExtras(panel).isEmpty());
    panel.SetPrintMargins({10, 15, 15, 15});
    const auto written = WrittenExtras(panel);
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written[0].first, QStringLiteral("PrintMargins"));
    EXPECT_EQ(written[0].second, QVariant(QVariantList{10, 15, 15, 15}));

    TBackgroundPanel loaded;
    ReadExtra(loaded, "PrintMargins", written[0].second);
    EXPECT_EQ(loaded.PrintMargins(), (TRect{10, 15, 15, 15}));
    EXPECT_THROW(ReadExtra(loaded, "PrintMargins", QVariantList{1, 2}), EConvertError);
}

TEST(PlotPanelExtendedStorage, AssignCopiesPictureGradientPanningAndZoom)
{
    TBackgroundPanel source;
    source.SetAllowPanning(TCustomPlotPanelExtended::pmVertical);
    source.SetBackImageMode(pbmTile);
    SetPicture(*source.BackImage(), 3, 3, clRed);
    source.Gradient()->SetStartColor(clBlue);
    source.Zoom()->SetAnimatedSteps(2);
    source.SetMarginLeft(8);

    TBackgroundPanel target;
    target.Assign(&source);
    EXPECT_EQ(target.AllowPanning(), TCustomPlotPanelExtended::pmVertical);
    EXPECT_TRUE(target.HasBackImage());
    EXPECT_EQ(target.BackImageMode(), pbmTile);
    EXPECT_EQ(target.Gradient()->StartColor(), clBlue);
    EXPECT_EQ(target.Zoom()->AnimatedSteps(), 2);
    EXPECT_EQ(target.MarginLeft(), 8);

    TBackgroundPanel plain;
    target.Assign(&plain);
    EXPECT_FALSE(target.HasGradient());
    EXPECT_FALSE(target.HasBackImage());
}

} // namespace
} // namespace lp
