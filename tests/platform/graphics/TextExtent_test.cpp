// Measuring and drawing text agree: on every device that draws text, the
// pixels a TextOut inks lie inside the extent GetTextExtent gave for it on
// the same device context, within one pixel of rounding.

#include "platform/graphics/Metafile.h"
#include "platform/graphics/PainterDC.h"

#include <QtGui/QFontMetricsF>
#include <QtGui/QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lp {
namespace {

constexpr int Margin = 20;

// A device a text is measured and drawn on; Draw hands the context to the
// caller, then gives the picture that came out of it.
// Scale is how many device pixels one measured unit covers.
struct TTextDevice {
    const char* Name;
    std::function<QImage(QSize, const std::function<void(TDeviceContext&)>&)> Draw;
    double Scale = 1.0;
};

QImage WhiteImage(QSize size, int dotsPerMeter)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

QImage OnBitmap(QSize size, const std::function<void(TDeviceContext&)>& draw)
{
    QImage image = WhiteImage(size, 3780);
    TPainterDC dc(image);
    draw(dc);
    dc.Finish();
    return image;
}

// The printer's route: a painter on a paint device of printer resolution.
QImage OnPrinterPage(QSize size, const std::function<void(TDeviceContext&)>& draw)
{
    QImage page = WhiteImage(size, 23622);
    TPainterDC dc(page, DT_RASPRINTER);
    draw(dc);
    dc.Finish();
    return page;
}

// Recorded at the screen's resolution and played back at its own size.
QByteArray Recorded(QSize size, const std::function<void(TDeviceContext&)>& draw)
{
    TMetafileDC recorder(size, 96);
    recorder.SetFramePixels({0, 0, size.width(), size.height()});
    draw(recorder);
    return recorder.Finish();
}

QImage ThroughMetafile(QSize size, const std::function<void(TDeviceContext&)>& draw)
{
    const QByteArray emf = Recorded(size, draw);
    return OnBitmap(size, [&](TDeviceContext& dc) { PlayEnhMetafile(emf, dc, {0, 0, size.width(), size.height()}); });
}

// Logical units mapped to 21/20 device pixels, as a zoomed view draws.
QImage OnZoomedBitmap(QSize size, const std::function<void(TDeviceContext&)>& draw)
{
    return OnBitmap(size * 21 / 20, [&](TDeviceContext& dc) {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(20, 20);
        dc.SetViewportExt(21, 21);
        draw(dc);
    });
}

// Played back stretched to one and a half times its size.
QImage ThroughStretchedMetafile(QSize size, const std::function<void(TDeviceContext&)>& draw)
{
    const QByteArray emf = Recorded(size, draw);
    const QSize stretched = size * 3 / 2;
    return OnBitmap(stretched, [&](TDeviceContext& dc) {
        PlayEnhMetafile(emf, dc, {0, 0, stretched.width(), stretched.height()});
    });
}

QImage ThroughPlaceableMetafile(QSize size, const std::function<void(TDeviceContext&)>& draw)
{
    const QByteArray wmf = PlaceableFromEnhanced(Recorded(size, draw));
    return OnBitmap(size,
                    [&](TDeviceContext& dc) { PlayPlaceableMetafile(wmf, dc, {0, 0, size.width(), size.height()}); });
}

const TTextDevice Devices[] = {
    {"bitmap", OnBitmap},
    {"printer page", OnPrinterPage},
    {"metafile", ThroughMetafile},
    {"placeable metafile", ThroughPlaceableMetafile},
    {"zoomed bitmap", OnZoomedBitmap, 1.05},
    {"stretched metafile", ThroughStretchedMetafile, 1.5},
};

// How far the glyphs' ink reaches out of their advances and the font's cell
// (a slanted capital leans past the start, a slanted hook past the end, a
// cedilla below the descent): the font's own design, which no extent holds.
struct TOverhang {
    double Before, After, Below;
};

TOverhang Overhang(const TLogFont& font, const QString& text)
{
    const QFontMetricsF metrics(ToQFont(font));
    return {std::max(0.0, -metrics.leftBearing(text.front())), std::max(0.0, -metrics.rightBearing(text.back())),
            std::max(0.0, metrics.boundingRect(text).bottom() - metrics.descent())};
}

QRect Inked(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(TextExtent, DrawnTextStaysInsideItsMeasuredExtent)
{
    const char* const faces[] = {"Arial", "Times New Roman", "Courier New"};
    const int heights[] = {-7, -9, -11, -13, -16, -19, -24};
    const struct {
        int Weight;
        bool Italic;
    } styles[] = {{400, false}, {700, false}, {400, true}, {700, true}};
    const QString texts[] = {QStringLiteral("Highest bar"), QStringLiteral("Axis title  with   spaces"),
                             QStringLiteral("0123456789.25"), QStringLiteral("Défilé à Göttingen, Ærø, façade")};
    for (const TTextDevice& device : Devices)
        for (const char* face : faces)
            for (const int height : heights)
                for (const auto& style : styles)
                    for (const QString& text : texts) {
                        TLogFont font;
                        font.FaceName = QString::fromLatin1(face);
                        font.Height = height;
                        font.Weight = style.Weight;
                        font.Italic = style.Italic;
                        TSize extent;
                        const QImage picture = device.Draw(QSize(520, 60), [&](TDeviceContext& dc) {
                            dc.SelectFont(font);
                            dc.SetBkMode(TRANSPARENT);
                            extent = dc.GetTextExtent(text);
                            dc.TextOut(Margin, Margin, text);
                        });
                        const QRect ink = Inked(picture);
                        const double scale = device.Scale;
                        const QRect measured(QPoint(std::floor(Margin * scale), std::floor(Margin * scale)),
                                             QPoint(std::ceil((Margin + extent.cx) * scale) - 1,
                                                    std::ceil((Margin + extent.cy) * scale) - 1));
                        SCOPED_TRACE(std::string(device.Name) + ", " + face + " " + std::to_string(-height) + " px" +
                                     (style.Weight > 400 ? " bold" : "") + (style.Italic ? " italic" : "") + ", \"" +
                                     text.toStdString() + "\"");
                        ASSERT_FALSE(ink.isEmpty());
                        const TOverhang overhang = Overhang(font, text);
                        EXPECT_GE(ink.left(), measured.left() - 1 - std::ceil(overhang.Before * scale));
                        EXPECT_LE(ink.right(), measured.right() + 1 + std::ceil(overhang.After * scale));
                        // The height is whole logical pixels: one of them, scaled, is its rounding.
                        const int rounding = static_cast<int>(std::ceil(scale));
                        EXPECT_GE(ink.top(), measured.top() - rounding);
                        EXPECT_LE(ink.bottom(), measured.bottom() + rounding + std::ceil(overhang.Below * scale));
                    }
}

TEST(TextExtent, AFarStretchedTextIsDrawnAcrossItsFittedWidth)
{
    // Regression: a text a metafile stretched far went through Qt's glyph
    // cache at its stretched size, which asked for gigabytes.
    TLogFont font;
    font.FaceName = QStringLiteral("Arial");
    font.Height = -11;
    const QString text = QStringLiteral("Ab");
    for (const double factor : {0.1, 2.0, 12.0}) {
        int fitted = 0;
        const QImage picture = OnBitmap(QSize(1700, 40), [&](TDeviceContext& dc) {
            dc.SelectFont(font);
            dc.SetBkMode(TRANSPARENT);
            fitted = std::max(1, static_cast<int>(dc.GetTextExtent(text).cx * factor));
            dc.TextOutFitted(Margin, Margin, text, fitted);
        });
        SCOPED_TRACE("stretched " + std::to_string(factor) + " times to " + std::to_string(fitted) + " px");
        const QRect ink = Inked(picture);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_GE(ink.left(), Margin - 1);
        EXPECT_LE(ink.right(), Margin + fitted + 1);
        EXPECT_GE(ink.right(), Margin + fitted / 2);
    }
}

} // namespace
} // namespace lp
