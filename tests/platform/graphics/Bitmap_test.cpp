#include "platform/graphics/Bitmap.h"

#include "PixelTestUtil.h"
#include "platform/graphics/DrawingLimits.h"

#include <QtCore/QBuffer>

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(TBitmap, SizeKeepsPixelsAndFillsNewOnesWhite)
{
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(4, 3);
    bitmap.Canvas().SetPixel(1, 1, clRed);
    bitmap.SetSize(6, 5);
    EXPECT_EQ(bitmap.Canvas().Pixel(1, 1), clRed);
    EXPECT_EQ(bitmap.Canvas().Pixel(5, 4), clWhite);
    int changes = 0;
    bitmap.OnChange = [&](TGraphic*) { ++changes; };
    bitmap.SetSize(6, 5); // unchanged: nothing happens
    EXPECT_EQ(changes, 0);
    bitmap.SetSize(0, 5);
    EXPECT_TRUE(bitmap.Empty());
}

// A size read from data once went straight to the allocator: a well log's
// depth span asked for 13.7 GB, a chart's stored size for 4 TiB.
TEST(TBitmap, SizeBeyondTheBitmapLimitsIsRefusedAndChangesNothing)
{
    TBitmap bitmap(3, 2);
    struct TRow {
        int Width, Height;
    };
    for (const TRow row : {TRow{MaxBitmapSide + 1, 1}, TRow{1, MaxBitmapSide + 1}, TRow{20000, 20000},
                           TRow{1 << 20, 1 << 20}}) {
        try {
            bitmap.SetSize(row.Width, row.Height);
            ADD_FAILURE() << row.Width << " x " << row.Height;
        } catch (const ERangeError& Error) {
            EXPECT_EQ(std::string(Error.Message()).rfind("A bitmap of " + std::to_string(row.Width) + " x " +
                                                           std::to_string(row.Height) + " pixels is beyond the drawing limits",
                                                       0),
                      0u)
                << Error.Message();
        }
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_EQ(bitmap.Height(), 2);
    }
    // The largest sizes still allowed, and sizes that allocate nothing.
    EXPECT_NO_THROW(CheckBitmapSize(MaxBitmapSide, MaxBitmapPixels / MaxBitmapSide));
    bitmap.SetSize(MaxBitmapSide + 1, 0);
    EXPECT_TRUE(bitmap.Empty());
}

TEST(DrawingLimits, ScaledIntoLimitsKeepsProportionsAndAtLeastAPixel)
{
    struct TRow {
        long long Width, Height;
        int ExpectedWidth, ExpectedHeight;
    };
    for (const TRow row : {TRow{640, 480, 640, 480}, TRow{2000000000, 2000000000, 4096, 4096},
                           TRow{1 << 20, 240, 16384, 3}, TRow{240, 1 << 20, 3, 16384},
                           TRow{8192, 8192, 4096, 4096}, TRow{1LL << 40, 1, 16384, 1}}) {
        const TPixelSize size = ScaledIntoLimits(row.Width, row.Height, MaxDrawnPictureSide, MaxDrawnPicturePixels);
        EXPECT_EQ(size.Width, row.ExpectedWidth) << row.Width << " x " << row.Height;
        EXPECT_EQ(size.Height, row.ExpectedHeight) << row.Width << " x " << row.Height;
    }
}

TEST(TBitmap, ScanLinesRunBlueGreenRed)
{
    TBitmap bitmap(3, 2);
    bitmap.Canvas().Brush().SetColor(RGB(10, 20, 30));
    bitmap.Canvas().FillRect({0, 0, 3, 2});
    const uint8_t* row = bitmap.ScanLine(1);
    EXPECT_EQ(row[0], 30);
    EXPECT_EQ(row[1], 20);
    EXPECT_EQ(row[2], 10);
    EXPECT_THROW(bitmap.ScanLine(2), ERangeError);
    EXPECT_THROW(bitmap.ScanLine(-1), ERangeError);
    uint8_t* writable = bitmap.ScanLine(0);
    writable[4 * 2 + 2] = 255; // red of pixel 2
    EXPECT_EQ(GetRValue(bitmap.Canvas().Pixel(2, 0)), 255);
}

TEST(TBitmap, MonochromeKeepsBlackAndWhiteOnly)
{
    TBitmap bitmap(2, 1);
    bitmap.Canvas().SetPixel(0, 0, clBlack);
    bitmap.Canvas().SetPixel(1, 0, clGray);
    bitmap.SetMonochrome(true);
    EXPECT_EQ(bitmap.PixelFormat(), TBitmap::pf1bit);
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), clBlack);
    EXPECT_EQ(bitmap.Canvas().Pixel(1, 0), clWhite);
}

TEST(TBitmap, TransparentDrawingLeavesTheKeyColourOut)
{
    TBitmap picture(4, 4);
    picture.Canvas().Brush().SetColor(clLime);
    picture.Canvas().FillRect({0, 0, 4, 4});
    picture.Canvas().Brush().SetColor(clRed);
    picture.Canvas().FillRect({1, 1, 3, 3});
    EXPECT_EQ(picture.TransparentColor(), clLime); // the bottom-left pixel
    picture.SetTransparent(true);
    test::Surface s(4, 4);
    TCanvas canvas(s.dc.get());
    canvas.Draw(0, 0, &picture);
    EXPECT_EQ(s.Count(clRed), 4);
    EXPECT_EQ(s.Count(clWhite), 12);
    picture.SetTransparentColor(clRed);
    canvas.StretchDraw({0, 0, 4, 4}, &picture);
    EXPECT_EQ(s.Count(clLime), 12);
}

TEST(TBitmap, BmpStreamsRoundTrip)
{
    for (auto format : {TBitmap::pf24bit, TBitmap::pf1bit}) {
        TBitmap bitmap(9, 7);
        bitmap.SetPixelFormat(format);
        bitmap.Canvas().SetPixel(2, 3, clBlack);
        if (format == TBitmap::pf24bit)
            bitmap.Canvas().SetPixel(8, 6, RGB(1, 2, 3));
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        bitmap.SaveToStream(buffer);
        buffer.seek(0);
        TBitmap back;
        back.LoadFromStream(buffer);
        EXPECT_EQ(back.Width(), 9);
        EXPECT_EQ(back.Height(), 7);
        EXPECT_EQ(back.PixelFormat(), format);
        EXPECT_EQ(back.Canvas().Pixel(2, 3), clBlack);
        EXPECT_EQ(back.Canvas().Pixel(8, 6), format == TBitmap::pf24bit ? RGB(1, 2, 3) : clWhite);
    }
}

TEST(TBitmap, CorruptBmpRaisesAndKeepsTheBitmap)
{
    TBitmap bitmap(2, 2);
    QByteArray junk("BM");
    junk += QByteArray(4, '\0');
    junk += "garbage that is not a bitmap";
    QBuffer buffer(&junk);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_THROW(bitmap.LoadFromStream(buffer), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width(), 2);
    // Regression: a file cut short loaded as a partial picture.
    TBitmap whole(16, 16);
    QBuffer saved;
    saved.open(QIODevice::ReadWrite);
    whole.SaveToStream(saved);
    for (int cut : {1, 16, static_cast<int>(saved.size() / 2)}) {
        QByteArray part = saved.data().left(saved.size() - cut);
        QBuffer partial(&part);
        partial.open(QIODevice::ReadOnly);
        EXPECT_THROW(bitmap.LoadFromStream(partial), EInvalidGraphic) << "cut " << cut;
    }
    TBitmap empty;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EXPECT_THROW(empty.SaveToStream(out), EInvalidGraphic);
}

TEST(TBitmap, AssignMakesAnIndependentCopy)
{
    TBitmap source(3, 3);
    source.Canvas().SetPixel(0, 0, clRed);
    TBitmap copy;
    copy.Assign(&source);
    copy.Canvas().SetPixel(0, 0, clBlue);
    EXPECT_EQ(source.Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(copy.Canvas().Pixel(0, 0), clBlue);
}

} // namespace
} // namespace lp
