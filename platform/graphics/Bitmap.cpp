#include "platform/graphics/Bitmap.h"

#include "platform/graphics/Bitmap_p.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/PainterDC.h"

#include <QtCore/QBuffer>
#include <QtGui/QImageReader>

#include <cstdlib>

namespace lp {

namespace {

constexpr QImage::Format kPixelLayout = QImage::Format_RGB32;

QImage BlankImage(int width, int height)
{
    QImage image(width, height, kPixelLayout);
    image.setDotsPerMeterX(3780); // 96 pixels per inch
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

} // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height)
{
    SetSize(width, height);
}

TBitmap::~TBitmap()
{
    // The canvas goes before the device context it points to.
    FCanvas.reset();
    FDC.reset();
}

void TBitmap::FinishDrawing() const
{
    if (FDC)
        FDC->Finish();
}

bool TBitmap::Empty() const
{
    return FImage.isNull() || FImage.width() == 0 || FImage.height() == 0;
}

int TBitmap::Width() const
{
    return FImage.isNull() ? 0 : FImage.width();
}

int TBitmap::Height() const
{
    return FImage.isNull() ? 0 : FImage.height();
}

void TBitmap::SetWidth(int value)
{
    SetSize(value, Height());
}

void TBitmap::SetHeight(int value)
{
    SetSize(Width(), value);
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width() && height == Height())
        return;
    if (width > 0 && height > 0)
        CheckBitmapSize(width, height);
    FinishDrawing();
    if (width == 0 || height == 0) {
        FImage = QImage();
    } else {
        QImage resized = BlankImage(width, height);
        if (!FImage.isNull()) {
            QPainter painter(&resized);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, FImage);
        }
        FImage = resized;
    }
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat value)
{
    if (FPixelFormat == value)
        return;
    FPixelFormat = value;
    if (value == pf1bit && !FImage.isNull()) {
        FinishDrawing();
        // Black stays black, every other colour becomes white.
        for (int y = 0; y < FImage.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(FImage.scanLine(y));
            for (int x = 0; x < FImage.width(); ++x)
                row[x] = (row[x] & 0xFFFFFF) == 0 ? 0xFF000000u : 0xFFFFFFFFu;
        }
    }
    Changed();
}

void TBitmap::SetMonochrome(bool value)
{
    if (value)
        SetPixelFormat(pf1bit);
    else if (FPixelFormat == pf1bit)
        SetPixelFormat(pfDevice);
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault)
        return FTransparentColor;
    if (Empty())
        return clNone;
    FinishDrawing();
    return FromQColor(QColor(FImage.pixel(0, FImage.height() - 1)));
}

void TBitmap::SetTransparentColor(TColor value)
{
    FTransparentColor = value;
    FTransparentMode = value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value)
{
    if (FTransparentMode != value) {
        FTransparentMode = value;
        Changed();
    }
}

TCanvas& TBitmap::Canvas()
{
    if (!FCanvas) {
        FDC = std::make_unique<TPainterDC>(FImage);
        FCanvas = std::make_unique<TCanvas>(FDC.get());
    }
    return *FCanvas;
}

uint8_t* TBitmap::ScanLine(int y)
{
    if (y < 0 || y >= Height())
        RaiseIndexError(y, Height());
    FinishDrawing();
    return FImage.scanLine(y);
}

const uint8_t* TBitmap::ScanLine(int y) const
{
    if (y < 0 || y >= Height())
        RaiseIndexError(y, Height());
    FinishDrawing();
    return FImage.constScanLine(y);
}

const QImage& TBitmap::Image() const
{
    FinishDrawing();
    return FImage;
}

QImage TBitmap::ToImage() const
{
    return Image();
}

void TBitmap::SetImage(const QImage& image)
{
    FinishDrawing();
    FImage = image.isNull() ? QImage() : image.convertToFormat(kPixelLayout);
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const
{
    if (Empty())
        return;
    FinishDrawing();
    std::optional<TColor> key;
    if (Transparent())
        key = TransparentColor();
    canvas.Handle().DrawImage(rect, FImage, key);
}

namespace {

uint32_t ReadLittle32(const QByteArray& data, int offset)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData()) + offset;
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint16_t ReadLittle16(const QByteArray& data, int offset)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData()) + offset;
    return uint16_t(p[0] | (p[1] << 8));
}

// A BMP whose pixel rows are not all there is refused: the image reader
// would quietly return the part that arrived.
void CheckBitmapComplete(const QByteArray& data)
{
    auto fail = [](const char* reason) {
        throw EInvalidGraphic(std::string("Bitmap image is not valid: ") + reason);
    };
    if (data.size() < 26 || data[0] != 'B' || data[1] != 'M')
        fail("not a bitmap file");
    const uint32_t fileSize = ReadLittle32(data, 2);
    const uint32_t pixelsAt = ReadLittle32(data, 10);
    const uint32_t headerSize = ReadLittle32(data, 14);
    if (fileSize > static_cast<uint32_t>(data.size()))
        fail("the file is truncated");
    if (headerSize < 12 || 14u + headerSize > static_cast<uint32_t>(data.size()))
        fail("the header is truncated");
    int64_t width = 0, height = 0, bits = 0, compression = 0;
    if (headerSize == 12) {
        width = ReadLittle16(data, 18);
        height = ReadLittle16(data, 20);
        bits = ReadLittle16(data, 24);
    } else {
        if (data.size() < 14 + 20)
            fail("the header is truncated");
        width = static_cast<int32_t>(ReadLittle32(data, 18));
        height = static_cast<int32_t>(ReadLittle32(data, 22));
        bits = ReadLittle16(data, 28);
        compression = ReadLittle32(data, 30);
    }
    if (width <= 0 || height == 0 || width > 65500 || std::llabs(height) > 65500)
        fail("the picture size is out of range");
    if (compression == 0 || compression == 3) { // plain rows: their size is known
        const int64_t stride = ((width * bits + 31) / 32) * 4;
        if (int64_t(pixelsAt) + stride * std::llabs(height) > data.size())
            fail("the pixel rows are truncated");
    }
}

} // namespace

void TBitmap::LoadFromStream(QIODevice& stream)
{
    const QByteArray data = stream.readAll();
    CheckBitmapComplete(data);
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoTransform(false);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw EInvalidGraphic("Bitmap image is not valid: " + reader.errorString().toStdString());
    SetImage(image);
    // Saved again, the picture keeps the depth it was stored at.
    FPixelFormat = BitmapFilePixelFormat(data);
    Changed();
}

void TBitmap::SaveToStream(QIODevice& stream) const
{
    if (Empty())
        throw EInvalidGraphic("An empty bitmap cannot be written");
    FinishDrawing();
    const QByteArray file = EncodeBitmapFile(FImage, FPixelFormat);
    if (stream.write(file) != file.size())
        throw EInvalidGraphic("The bitmap could not be written: " + stream.errorString().toStdString());
}

void TBitmap::Assign(const TPersistent* Source)
{
    if (const auto* bitmap = qobject_cast<const TBitmap*>(Source)) {
        if (bitmap == this)
            return;
        FinishDrawing();
        FImage = bitmap->Image();
        FPixelFormat = bitmap->FPixelFormat;
        FTransparentMode = bitmap->FTransparentMode;
        FTransparentColor = bitmap->FTransparentColor;
        FTransparent = bitmap->FTransparent;
        Changed();
        return;
    }
    if (const auto* graphic = qobject_cast<const TGraphic*>(Source)) {
        SetImage(graphic->ToImage());
        FTransparent = graphic->Transparent();
        return;
    }
    TGraphic::Assign(Source);
}

} // namespace lp
