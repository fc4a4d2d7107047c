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

uint32_t Little(const QByteArray& file, int at, int bytes)
{
    uint32_t value = 0;
    for (int k = bytes - 1; k >= 0; --k)
        value = value << 8 | static_cast<uint8_t>(file[at + k]);
    return value;
}

QByteArray Saved(const TBitmap& bitmap)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bitmap.SaveToStream(buffer);
    return buffer.data();
}

// A picture with five flat colours and a grey ramp of 40 more.
void PaintRamp(TBitmap& bitmap)
{
    bitmap.SetSize(45, 7);
    const TColor flat[] = {clBlack, clRed, clLime, clBlue, RGB(10, 20, 30)};
    for (int x = 0; x < 45; ++x)
        for (int y = 0; y < 7; ++y)
            bitmap.Canvas().SetPixel(x, y, x < 5 ? flat[x] : RGB(5 * x, 5 * x, 5 * x));
}

// Regression: every depth but 1 bit was written as a 24-bit file.
TEST(TBitmap, EveryDepthIsWrittenAsChosenAndReadBack)
{
    struct Row {
        TBitmap::TPixelFormat format;
        int bits, compression, colours;
    };
    for (const Row& row : {Row{TBitmap::pf1bit, 1, 0, 2}, Row{TBitmap::pf4bit, 4, 0, -1}, Row{TBitmap::pf8bit, 8, 0, 45},
                           Row{TBitmap::pf15bit, 16, 0, 0}, Row{TBitmap::pf16bit, 16, 3, 0},
                           Row{TBitmap::pf24bit, 24, 0, 0}, Row{TBitmap::pf32bit, 32, 0, 0},
                           Row{TBitmap::pfDevice, 24, 0, 0}}) {
        SCOPED_TRACE(row.bits);
        TBitmap bitmap;
        PaintRamp(bitmap);
        bitmap.SetPixelFormat(row.format);
        const QByteArray file = Saved(bitmap);
        ASSERT_GE(file.size(), 54);
        EXPECT_EQ(file.left(2), "BM");
        EXPECT_EQ(Little(file, 2, 4), static_cast<uint32_t>(file.size()));
        EXPECT_EQ(Little(file, 14, 4), 40u);
        EXPECT_EQ(Little(file, 18, 4), 45u);
        EXPECT_EQ(Little(file, 22, 4), 7u);
        EXPECT_EQ(Little(file, 28, 2), static_cast<uint32_t>(row.bits)); // biBitCount
        EXPECT_EQ(Little(file, 30, 4), static_cast<uint32_t>(row.compression));
        // The colour table holds the colours used (the nearest of the
        // sixteen standard ones at 4 bits), each once.
        const uint32_t used = Little(file, 46, 4);
        if (row.colours >= 0)
            EXPECT_EQ(used, static_cast<uint32_t>(row.colours));
        else
            EXPECT_TRUE(used > 2 && used <= 16) << used;
        EXPECT_EQ(Little(file, 10, 4), 54 + (row.compression == 3 ? 12 : 0) + 4 * used);
        const uint32_t stride = (45 * row.bits + 31) / 32 * 4;
        EXPECT_EQ(Little(file, 10, 4) + stride * 7, static_cast<uint32_t>(file.size()));

        // Qt's own reader opens the file and sees the same picture.
        QImage read;
        ASSERT_TRUE(read.loadFromData(file, "BMP"));
        EXPECT_EQ(read.size(), QSize(45, 7));
        const QRgb red = read.pixel(1, 3);
        const QRgb grey = read.pixel(40, 3); // 200, 200, 200
        EXPECT_EQ(read.pixel(0, 0) & 0xFFFFFF, 0u);
        if (row.bits == 1) {
            // A monochrome bitmap keeps black, every other colour is white.
            EXPECT_EQ(red & 0xFFFFFF, 0xFFFFFFu);
            EXPECT_EQ(grey & 0xFFFFFF, 0xFFFFFFu);
        } else if (row.bits == 4) {
            EXPECT_EQ(red & 0xFFFFFF, 0xFF0000u);
            EXPECT_EQ(grey & 0xFFFFFF, 0xC0C0C0u); // the nearest standard colour
        } else if (row.bits == 16) {
            // Five bits a channel: within one step of 8.
            EXPECT_NEAR(qRed(red), 255, 8);
            EXPECT_EQ(qGreen(red) + qBlue(red), 0);
            EXPECT_NEAR(qGreen(grey), 200, 8);
            EXPECT_NEAR(qRed(read.pixel(4, 0)), 10, 8);
        } else {
            EXPECT_EQ(red & 0xFFFFFF, 0xFF0000u);
            EXPECT_EQ(grey & 0xFFFFFF, 0xC8C8C8u);
            EXPECT_EQ(read.pixel(4, 6) & 0xFFFFFF, 0x0A141Eu);
        }

        // Read back, the bitmap keeps its depth and is written alike.
        QBuffer in;
        in.setData(file);
        in.open(QIODevice::ReadOnly);
        TBitmap back;
        back.LoadFromStream(in);
        EXPECT_EQ(back.PixelFormat(), row.format == TBitmap::pfDevice ? TBitmap::pf24bit : row.format);
        EXPECT_EQ(Saved(back), file);
    }
}

TEST(TBitmap, PalettesHoldThePicturesOwnColoursWhenTheyFit)
{
    TBitmap bitmap(5, 3);
    const TColor colours[] = {RGB(1, 2, 3), RGB(200, 100, 50), RGB(7, 77, 177)};
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 3; ++y)
            bitmap.Canvas().SetPixel(x, y, colours[(x + y) % 3]);
    for (const auto format : {TBitmap::pf4bit, TBitmap::pf8bit}) {
        bitmap.SetPixelFormat(format);
        QImage read;
        ASSERT_TRUE(read.loadFromData(Saved(bitmap), "BMP"));
        for (int x = 0; x < 5; ++x)
            for (int y = 0; y < 3; ++y)
                EXPECT_EQ(FromQColor(QColor(read.pixel(x, y))), colours[(x + y) % 3]) << x << "," << y;
    }
    // More than 256 colours at 8 bits: a dithered colour cube, still a
    // picture of the right size and about the right colours.
    TBitmap many(32, 32);
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 32; ++y)
            many.Canvas().SetPixel(x, y, RGB(8 * x, 8 * y, 128));
    many.SetPixelFormat(TBitmap::pf8bit);
    const QByteArray file = Saved(many);
    EXPECT_EQ(Little(file, 28, 2), 8u);
    EXPECT_LE(Little(file, 46, 4), 256u);
    QImage read;
    ASSERT_TRUE(read.loadFromData(file, "BMP"));
    EXPECT_NEAR(qRed(read.pixel(31, 31)), 248, 60);
    EXPECT_NEAR(qBlue(read.pixel(0, 0)), 128, 60);
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
