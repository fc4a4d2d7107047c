// Device-independent bitmaps as both metafile formats store them: written
// bottom-up without compression, read in every uncompressed depth.
#include "platform/graphics/Metafile.h"

#include "platform/graphics/Metafile_p.h"

namespace lp {

using namespace metafile;

namespace {

QByteArray InfoHeader(int width, int height, int bitCount, uint32_t imageSize, uint32_t colours)
{
    QByteArray info;
    Put32(info, 40);
    PutI32(info, width);
    PutI32(info, height); // positive: rows run bottom-up
    Put16(info, 1);
    Put16(info, static_cast<uint16_t>(bitCount));
    Put32(info, BI_RGB);
    Put32(info, imageSize);
    PutI32(info, 3780); // 96 pixels per inch
    PutI32(info, 3780);
    Put32(info, colours);
    Put32(info, 0);
    return info;
}

void CheckImageSize(const QImage& image)
{
    const int64_t bytes = int64_t(image.width()) * image.height() * 4;
    if (bytes > (int64_t(1) << 30))
        throw EInvalidGraphic(FormatText("An image of %d x %d pixels is too large for a metafile",
                                         {ArgText(image.width()), ArgText(image.height())}));
}

// The image in 'format', rows bottom-up and padded to four bytes, each
// written by putRow(pixels, out, width) into zeroed bytes; colourTable
// (RGBQUADs) follows the header.
template <class TPutRow>
TDib EncodeRows(const QImage& image, QImage::Format format, int bitCount, const QByteArray& colourTable,
                TPutRow putRow)
{
    CheckImageSize(image);
    const QImage source = image.convertToFormat(format);
    const int w = source.width(), h = source.height();
    const int stride = ((w * bitCount + 31) / 32) * 4;
    TDib dib;
    dib.Info = InfoHeader(w, h, bitCount, static_cast<uint32_t>(stride * h),
                          static_cast<uint32_t>(colourTable.size() / 4));
    dib.Info += colourTable;
    dib.Bits = QByteArray(qsizetype(stride) * h, '\0');
    for (int y = 0; y < h; ++y)
        putRow(reinterpret_cast<const QRgb*>(source.constScanLine(h - 1 - y)),
               reinterpret_cast<uchar*>(dib.Bits.data()) + qsizetype(y) * stride, w);
    return dib;
}

// Every pixel of the image passes the test.
template <class TTest>
bool AllPixels(const QImage& image, QImage::Format format, TTest test)
{
    const QImage pixels = image.convertToFormat(format);
    for (int y = 0; y < pixels.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (!test(row[x]))
                return false;
    }
    return true;
}

// One colour channel of a bit-field pixel, scaled to 8 bits.
int Channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    const uint32_t max = mask >> shift;
    const uint32_t value = (pixel & mask) >> shift;
    return static_cast<int>((value * 255u + max / 2) / max);
}

// What the check of a bitmap found, enough to decode its rows.
struct TDibLayout {
    int32_t Width = 0;
    int32_t Height = 0; // positive: rows run bottom-up
    int64_t Rows = 0;
    uint16_t BitCount = 0;
    bool BitFields = false;
    uint32_t Masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
    std::vector<QRgb> Palette; // 1 << BitCount entries up to 8 bits
    uint64_t Stride = 0;
};

QRgb DecodePixel(const TDibLayout& dib, const uchar* src, int x, TDibMode mode)
{
    switch (dib.BitCount) {
    case 1: {
        const int bit = (src[x / 8] >> (7 - x % 8)) & 1;
        return mode == TDibMode::Mono ? (bit ? 0xFFFFFFFFu : 0xFF000000u) : dib.Palette[bit];
    }
    case 4: return dib.Palette[(src[x / 2] >> (x % 2 ? 0 : 4)) & 0xF];
    case 8: return dib.Palette[src[x]];
    case 16: {
        const uint32_t p = src[x * 2] | (src[x * 2 + 1] << 8);
        return qRgb(Channel(p, dib.Masks[0]), Channel(p, dib.Masks[1]), Channel(p, dib.Masks[2]));
    }
    case 24: return qRgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]);
    default: {
        const uchar* p = src + x * 4;
        if (mode == TDibMode::Alpha) {
            const int a = p[3];
            return qRgba(std::min<int>(p[2], a), std::min<int>(p[1], a), std::min<int>(p[0], a), a);
        }
        if (dib.BitFields) {
            const uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
            return qRgb(Channel(v, dib.Masks[0]), Channel(v, dib.Masks[1]), Channel(v, dib.Masks[2]));
        }
        return qRgb(p[2], p[1], p[0]);
    }
    }
}

QImage DecodeDib(const TDibLayout& dib, const uchar* data, TDibMode mode)
{
    QImage image(dib.Width, static_cast<int>(dib.Rows),
                 mode == TDibMode::Alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    // Palette colours carry no alpha: they are made opaque.
    const QRgb opaque = dib.BitCount <= 8 && mode != TDibMode::Mono ? 0xFF000000u : 0u;
    for (int64_t y = 0; y < dib.Rows; ++y) {
        const uchar* src = data + (dib.Height > 0 ? dib.Rows - 1 - y : y) * dib.Stride;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (int x = 0; x < dib.Width; ++x)
            out[x] = DecodePixel(dib, src, x, mode) | opaque;
    }
    return image;
}

} // namespace

TDib metafile::EncodeDib32(const QImage& image, bool withAlpha)
{
    return EncodeRows(image, withAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32, 32, {},
                      [withAlpha](const QRgb* row, uchar* out, int w) {
                          for (int x = 0; x < w; ++x) {
                              *out++ = static_cast<uchar>(qBlue(row[x]));
                              *out++ = static_cast<uchar>(qGreen(row[x]));
                              *out++ = static_cast<uchar>(qRed(row[x]));
                              *out++ = static_cast<uchar>(withAlpha ? qAlpha(row[x]) : 0);
                          }
                      });
}

TDib metafile::EncodeDib24(const QImage& image)
{
    return EncodeRows(image, QImage::Format_RGB32, 24, {}, [](const QRgb* row, uchar* out, int w) {
        for (int x = 0; x < w; ++x) {
            *out++ = static_cast<uchar>(qBlue(row[x]));
            *out++ = static_cast<uchar>(qGreen(row[x]));
            *out++ = static_cast<uchar>(qRed(row[x]));
        }
    });
}

TDib metafile::EncodeDibMono(const QImage& image)
{
    QByteArray blackAndWhite;
    Put32(blackAndWhite, 0x00000000);
    Put32(blackAndWhite, 0x00FFFFFF);
    return EncodeRows(image, QImage::Format_RGB32, 1, blackAndWhite, [](const QRgb* row, uchar* out, int w) {
        for (int x = 0; x < w; ++x)
            if ((row[x] & 0xFFFFFF) != 0)
                out[x / 8] |= static_cast<uchar>(0x80 >> (x % 8));
    });
}

bool metafile::IsMonochrome(const QImage& image)
{
    return AllPixels(image, QImage::Format_RGB32, [](QRgb pixel) {
        const QRgb p = pixel & 0xFFFFFF;
        return p == 0 || p == 0xFFFFFF;
    });
}

bool metafile::HasTranslucency(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return false;
    return !AllPixels(image, QImage::Format_ARGB32, [](QRgb pixel) { return qAlpha(pixel) == 255; });
}

std::optional<QImage> metafile::ReadDib(const TView& record, uint64_t infoAt, uint64_t infoSize, uint64_t bitsAt,
                                        uint64_t bitsSize, uint32_t usage, TDibMode mode, bool decode)
{
    const TView info = record.Sub(infoAt, infoSize, "the bitmap header");
    const TView bits = record.Sub(bitsAt, bitsSize, "the bitmap bits");
    const uint32_t headerSize = info.U32(0);
    if (headerSize < 40 || headerSize > infoSize)
        record.Fail("the bitmap header has an invalid size " + Num(headerSize));
    TDibLayout dib;
    dib.Width = info.I32(4);
    dib.Height = info.I32(8);
    dib.BitCount = info.U16(14);
    const uint32_t compression = info.U32(16);
    const uint32_t used = info.U32(32);
    dib.Rows = std::llabs(static_cast<int64_t>(dib.Height));
    if (dib.Width <= 0 || dib.Rows == 0)
        record.Fail("a bitmap of " + Num(dib.Width) + " x " + Num(dib.Height) + " pixels");
    if (dib.Width > kMaxImageSide || dib.Rows > kMaxImageSide || int64_t(dib.Width) * dib.Rows > kMaxImagePixels)
        record.Fail("a bitmap of " + Num(dib.Width) + " x " + Num(dib.Rows) + " pixels is too large");
    const uint16_t bitCount = dib.BitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        record.Fail("a bitmap with " + Num(bitCount) + " bits per pixel");
    dib.BitFields = compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32);
    if (compression != BI_RGB && !dib.BitFields)
        return std::nullopt;
    if (bitCount == 16) {
        dib.Masks[0] = 0x7C00;
        dib.Masks[1] = 0x03E0;
        dib.Masks[2] = 0x001F;
    }
    uint64_t tableAt = headerSize;
    if (dib.BitFields) {
        for (int i = 0; i < 3; ++i)
            dib.Masks[i] = info.U32(40 + 4 * i);
        if (headerSize == 40)
            tableAt = 52;
    }
    if (bitCount <= 8) {
        if (usage == DIB_PAL_COLORS && mode != TDibMode::Mono)
            return std::nullopt;
        const uint64_t entries = std::min<uint64_t>(used != 0 ? used : (1u << bitCount), 1u << bitCount);
        const uchar* table = mode == TDibMode::Mono ? nullptr : info.Bytes(tableAt, entries * 4, "the colour table");
        if (table)
            for (uint64_t i = 0; i < entries; ++i)
                dib.Palette.push_back(qRgb(table[i * 4 + 2], table[i * 4 + 1], table[i * 4]));
        dib.Palette.resize(1u << bitCount, qRgb(0, 0, 0));
    }
    dib.Stride = ((uint64_t(dib.Width) * bitCount + 31) / 32) * 4;
    if (dib.Stride * uint64_t(dib.Rows) > bitsSize)
        record.Fail("the bitmap bits are shorter than a bitmap of " + Num(dib.Width) + " x " + Num(dib.Rows) +
                    " pixels");
    if (!decode)
        return QImage();
    return DecodeDib(dib, bits.Bytes(0, dib.Stride * uint64_t(dib.Rows)), mode);
}

} // namespace lp
