#pragma once
// Pictures: the graphic base class and the bitmap.
//
// TGraphic is anything that can draw itself into a rectangle of a canvas and
// be read from and written to a file or stream (bitmaps, JPEG images,
// metafiles). TBitmap keeps its pixels in a QImage of 32-bit pixels whose
// bytes run blue, green, red, unused (the scan-line order the drawing code
// expects); its PixelFormat says how it is stored in files and whether it is
// monochrome. Its canvas draws straight into the pixels.

#include "platform/core/Component.h"
#include "platform/graphics/Canvas.h"

#include <QtCore/QIODevice>
#include <QtGui/QImage>

#include <functional>
#include <memory>

namespace lp {

// A picture file or stream that cannot be read or written.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

class TGraphic : public TPersistent {
    Q_OBJECT
public:
    std::function<void(TGraphic*)> OnChange;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);

    // Draws the picture stretched into the rectangle of the canvas.
    virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;

    // Readers raise EInvalidGraphic with the reason when the data is not a
    // picture of this kind; the object is then unchanged.
    virtual void LoadFromStream(QIODevice& stream) = 0;
    virtual void SaveToStream(QIODevice& stream) const = 0;
    // Files are written through a temporary file in the target's folder.
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;

    // The picture's pixels at its own size (empty for an empty picture).
    virtual QImage ToImage() const = 0;

protected:
    void Changed();
    bool FTransparent = false;
};

class TPainterDC; // the QPainter device context of a bitmap (PainterDC.h)

class TBitmap : public TGraphic {
    Q_OBJECT
public:
    enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
    Q_ENUM(TPixelFormat)
    enum TTransparentMode { tmAuto, tmFixed };
    Q_ENUM(TTransparentMode)

    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int value);
    void SetHeight(int value);
    // Keeps the pixels that still fit; new pixels are white. Nothing
    // happens when the size is unchanged. A size beyond the bitmap limits
    // (DrawingLimits.h) raises ERangeError and leaves the bitmap as it was.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat value);
    // Monochrome bitmaps hold only black and white.
    bool Monochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool value);

    // With tmAuto the transparent colour is the bottom-left pixel.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);

    // The canvas that draws into the pixels (created on first use).
    TCanvas& Canvas();
    // Row y as blue, green, red, unused bytes (4 per pixel); ERangeError
    // outside 0 .. Height - 1. Drawing in progress is finished first.
    uint8_t* ScanLine(int y);
    const uint8_t* ScanLine(int y) const;

    void Draw(TCanvas& canvas, const TRect& rect) const override;
    // Reads the BMP format (1, 4, 8, 16, 24 and 32 bits per pixel) and
    // takes the depth it was stored at as PixelFormat; writes it at the
    // depth PixelFormat asks for (4 and 8 bits with a colour table, 15 and
    // 16 bits as 5-5-5 and 5-6-5, the device's own as 24 bits).
    void LoadFromStream(QIODevice& stream) override;
    void SaveToStream(QIODevice& stream) const override;
    QImage ToImage() const override;
    // Takes any image (converted to 32-bit pixels).
    void SetImage(const QImage& image);
    // The pixels themselves (drawing in progress finished first).
    const QImage& Image() const;

    void Assign(const TPersistent* Source) override;

private:
    void FinishDrawing() const;

    QImage FImage;
    TPixelFormat FPixelFormat = pfDevice;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
    mutable std::unique_ptr<TPainterDC> FDC;
    std::unique_ptr<TCanvas> FCanvas;
};

} // namespace lp
