#include "platform/graphics/Canvas.h"

#include "platform/core/PropertyInfo.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/RecordingDC.h"
#include "PixelTestUtil.h"

#include <gtest/gtest.h>

#include <climits>

namespace lp {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(MulDiv(8, 96, 72), 11);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_THROW(MulDiv(2000000000, 2000000000, 1), ERangeError);
}

TEST(TCanvas, ObjectChangesReachTheDeviceAtOnce)
{
    TRecordingDC dc;
    TCanvas canvas(&dc);
    dc.ClearCalls();
    canvas.Pen().SetColor(clRed);
    EXPECT_EQ(dc.Pen().Color, clRed);
    canvas.Pen().SetMode(TPen::pmXor);
    EXPECT_EQ(dc.ROP2(), R2_XORPEN);
    canvas.Pen().SetWidth(3);
    EXPECT_TRUE(dc.Pen().Geometric);
    canvas.Brush().SetStyle(TBrush::bsDiagCross);
    EXPECT_EQ(dc.Brush().Kind, TBrushKind::Hatched);
    EXPECT_EQ(dc.Brush().Hatch, HS_DIAGCROSS);
    canvas.Brush().SetStyle(TBrush::bsClear);
    EXPECT_EQ(dc.Brush().Kind, TBrushKind::Null);
    canvas.Font().SetColor(clBlue);
    EXPECT_EQ(dc.TextColor(), clBlue);
    canvas.Font().SetSize(8);
    EXPECT_EQ(dc.Font().Height, -11);
    EXPECT_FALSE(dc.CallsStartingWith("SelectPen").isEmpty());
}

TEST(TCanvas, ExplicitHandlesLastUntilAPropertyChanges)
{
    TRecordingDC dc;
    TCanvas canvas(&dc);
    canvas.Pen().SetHandle(ExtCreatePen(PS_DOT | PS_GEOMETRIC | PS_ENDCAP_FLAT, 4, clGreen));
    EXPECT_EQ(dc.Pen().Style, PS_DOT);
    EXPECT_EQ(dc.Pen().Width, 4);
    canvas.Pen().SetColor(clBlack);
    EXPECT_FALSE(canvas.Pen().HasHandle());
    EXPECT_EQ(dc.Pen().Style, PS_SOLID);
}

TEST(TCanvas, WithoutADeviceItCannotDrawButMeasures)
{
    TCanvas canvas;
    EXPECT_FALSE(canvas.HandleAllocated());
    try {
        canvas.Rectangle(0, 0, 1, 1);
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
    }
    EXPECT_GT(canvas.TextWidth("Measure"), 20);
    EXPECT_GT(canvas.TextHeight("M"), 5);
}

TEST(TCanvas, DrawsThroughItsDevice)
{
    test::Surface s(10, 10);
    TCanvas canvas(s.dc.get());
    canvas.Brush().SetColor(clBlack);
    canvas.FrameRect({1, 1, 6, 6});
    EXPECT_EQ(s.Count(clBlack), 16);
    canvas.Brush().SetColor(clRed);
    canvas.FillRect({7, 7, 9, 9});
    EXPECT_EQ(canvas.Pixel(8, 8), clRed);
    canvas.SetPixel(0, 0, clBlue);
    EXPECT_EQ(s.At(0, 0), clBlue);
}

TEST(GraphicsObjects, AssignCopiesTheProperties)
{
    TPen pen, copy;
    pen.SetColor(clRed);
    pen.SetWidth(4);
    pen.SetStyle(TPen::psDash);
    pen.SetMode(TPen::pmNotXor);
    int changes = 0;
    copy.OnChange = [&](TGraphicsObject*) { ++changes; };
    copy.Assign(&pen);
    EXPECT_EQ(copy.Color(), clRed);
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(copy.Style(), TPen::psDash);
    EXPECT_EQ(copy.Mode(), TPen::pmNotXor);
    EXPECT_EQ(changes, 1);

    TFont screen, printer;
    screen.SetSize(10);
    printer.SetPixelsPerInch(600);
    printer.Assign(&screen);
    EXPECT_EQ(printer.Size(), 10); // the size in points carries over
    EXPECT_EQ(printer.Height(), -MulDiv(10, 600, 72));
    EXPECT_THROW(pen.Assign(&screen), EConvertError);
}

// A font height of INT_MIN was negated when the font was made, and a huge
// size overflowed the point conversion: heights, sizes and resolutions keep
// within their ranges, and so do pen widths.
TEST(GraphicsObjects, SizesKeepWithinTheirRanges)
{
    TFont font;
    font.SetHeight(INT_MIN);
    EXPECT_EQ(font.Height(), -MaxFontHeight);
    EXPECT_EQ(font.Size(), 12288); // 16384 pixels at 96 per inch
    font.SetHeight(INT_MAX);
    EXPECT_EQ(font.Height(), MaxFontHeight);
    font.SetSize(INT_MAX);
    EXPECT_EQ(font.Height(), -MaxFontHeight);
    font.SetSize(INT_MIN);
    EXPECT_EQ(font.Height(), MaxFontHeight);
    font.SetSize(100000000);
    EXPECT_EQ(font.Height(), -MaxFontHeight);
    font.SetPixelsPerInch(INT_MAX);
    EXPECT_EQ(font.PixelsPerInch(), MaxFontPixelsPerInch);
    font.SetSize(12);
    EXPECT_EQ(font.Size(), 12);
    TFont other;
    other.Assign(&font); // 12 points at 96 per inch
    EXPECT_EQ(other.Height(), -16);

    TLogFont logical;
    logical.Height = INT_MIN;
    EXPECT_EQ(ToQFont(logical).pixelSize(), MaxFontHeight);
    logical.Height = INT_MAX;
    EXPECT_GT(ToQFont(logical).pixelSize(), 0);

    TPen pen;
    pen.SetWidth(INT_MAX);
    EXPECT_EQ(pen.Width(), MaxPixelLength);
    pen.SetWidth(INT_MIN);
    EXPECT_EQ(pen.Width(), 0);
}

TEST(GraphicsObjects, PublishedDefaults)
{
    TPen pen;
    TBrush brush;
    TFont font;
    EXPECT_EQ(PropertyDefault(&pen, "Width").toInt(), 1);
    EXPECT_EQ(PropertyDefault(&pen, "Style").value<TPen::TPenStyle>(), TPen::psSolid);
    EXPECT_EQ(PropertyDefault(&brush, "Color").toInt(), clWhite);
    EXPECT_FALSE(IsPropertyStored(&pen, "Color"));
    pen.SetColor(clRed);
    EXPECT_TRUE(IsPropertyStored(&pen, "Color"));
    EXPECT_FALSE(IsPropertyStored(&font, "Size")); // stored as Height
    font.SetStyle(TFont::fsBold | TFont::fsItalic);
    EXPECT_TRUE(IsPropertyStored(&font, "Style"));
    EXPECT_EQ(font.LogFont().Weight, 700);
    EXPECT_TRUE(font.LogFont().Italic);
}

} // namespace
} // namespace lp
