#include "platform/graphics/Metafile.h"

#include "platform/base/Numeric.h"
#include "platform/graphics/PainterDC.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QFontMetricsF>
#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace lp {

namespace {

// --- Constants of the file formats -----------------------------------------------------

// Stock objects: an object index with the high bit set.
constexpr uint32_t kStock = 0x80000000u;
enum TStockObject : uint32_t {
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    DC_BRUSH = 18,
    DC_PEN = 19,
};

enum TBrushStyleCode : uint32_t { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5 };
enum TFixedMapMode : int { MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5, MM_TWIPS = 6 };

constexpr uint32_t DIB_RGB_COLORS = 0;
constexpr uint32_t DIB_PAL_COLORS = 1;
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t ETO_OPAQUE = 0x0002;
constexpr uint32_t ETO_GLYPH_INDEX = 0x0010;
constexpr uint32_t ETO_PDY = 0x2000;
constexpr uint32_t GM_COMPATIBLE = 1;
constexpr uint32_t kBlendSourceAlpha = 0x01FF0000u; // AC_SRC_OVER, constant alpha 255, AC_SRC_ALPHA

constexpr int kHeaderSize = 108; // EMR_HEADER with both extensions
constexpr int kMinHeaderSize = 88;
constexpr int kLogFontSize = 92;     // LOGFONTW
constexpr int kFontObjectSize = 320; // LOGFONTW with the panose extension
constexpr int kMaxImageSide = 65535;
constexpr int64_t kMaxImagePixels = 64LL * 1024 * 1024;
constexpr int kMaxPenStyleEntries = 16;
// Pen widths and font heights a player hands on (larger ones only cost time).
constexpr int kMaxPenWidth = 4096;
constexpr int kMaxFontHeight = 16384;
// Nesting of saved states a player keeps.
constexpr size_t kMaxSavedStates = 4096;
// Coordinates handed to a device stay well inside 32 bits.
constexpr double kCoordinateLimit = 1.0e8;

// --- Writing little-endian data --------------------------------------------------------

void Put8(QByteArray& out, uint8_t value)
{
    out.append(static_cast<char>(value));
}

void Put16(QByteArray& out, uint16_t value)
{
    const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    out.append(bytes, 2);
}

void Put32(QByteArray& out, uint32_t value)
{
    const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                           static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
    out.append(bytes, 4);
}

void PutI32(QByteArray& out, int32_t value)
{
    Put32(out, static_cast<uint32_t>(value));
}

void PutFloat(QByteArray& out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    Put32(out, bits);
}

void Patch32(QByteArray& out, qsizetype at, uint32_t value)
{
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    out[at + 2] = static_cast<char>((value >> 16) & 0xFF);
    out[at + 3] = static_cast<char>(value >> 24);
}

void PadTo(QByteArray& out, int multiple)
{
    while (out.size() % multiple != 0)
        out.append('\0');
}

// A rectangle of pixels as RECTL (inclusive); an empty one as (0, 0, -1, -1).
void PutPixelRect(QByteArray& out, const QRect& pixels)
{
    if (pixels.isEmpty()) {
        PutI32(out, 0);
        PutI32(out, 0);
        PutI32(out, -1);
        PutI32(out, -1);
        return;
    }
    PutI32(out, pixels.left());
    PutI32(out, pixels.top());
    PutI32(out, pixels.right());
    PutI32(out, pixels.bottom());
}

uint32_t ColorRef(TColor color)
{
    return static_cast<uint32_t>(ColorToRGB(color)) & 0x00FFFFFFu;
}

TColor FromColorRef(uint32_t value)
{
    return static_cast<TColor>(value & 0x00FFFFFFu);
}

// Rounds as the device context does (halves to even), within the limit.
int32_t ClampRound(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int32_t>(RoundHalfEven(std::clamp(value, -kCoordinateLimit, kCoordinateLimit)));
}

int16_t Clamp16(int value)
{
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

// --- Reading with every access checked -------------------------------------------------

[[noreturn]] void Fail(bool wmf, const std::string& reason)
{
    throw EInvalidGraphic(std::string(wmf ? "Invalid Windows metafile: " : "Invalid enhanced metafile: ") + reason);
}

std::string Num(long long value)
{
    return std::to_string(value);
}

// A window on bytes of a file (a record, a bitmap, a region) whose every
// read is checked against its size.
class TView {
public:
    TView(const uchar* data, uint64_t size, bool wmf, long long index, uint32_t type)
        : FData(data), FSize(size), FWmf(wmf), FIndex(index), FType(type)
    {
    }

    uint64_t Size() const { return FSize; }
    [[noreturn]] void Fail(const std::string& reason) const
    {
        lp::Fail(FWmf, "record " + Num(FIndex) + " (type 0x" + Hex(FType) + "): " + reason);
    }
    void Need(uint64_t at, uint64_t count, const char* what = "it") const
    {
        if (at > FSize || count > FSize - at)
            Fail(std::string(what) + " runs past the end of the record");
    }
    uint8_t U8(uint64_t at) const
    {
        Need(at, 1);
        return FData[at];
    }
    uint16_t U16(uint64_t at) const
    {
        Need(at, 2);
        return static_cast<uint16_t>(FData[at] | (FData[at + 1] << 8));
    }
    int16_t I16(uint64_t at) const { return static_cast<int16_t>(U16(at)); }
    uint32_t U32(uint64_t at) const
    {
        Need(at, 4);
        return static_cast<uint32_t>(FData[at]) | (static_cast<uint32_t>(FData[at + 1]) << 8) |
               (static_cast<uint32_t>(FData[at + 2]) << 16) | (static_cast<uint32_t>(FData[at + 3]) << 24);
    }
    int32_t I32(uint64_t at) const { return static_cast<int32_t>(U32(at)); }
    float F32(uint64_t at) const
    {
        const uint32_t bits = U32(at);
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    const uchar* Bytes(uint64_t at, uint64_t count, const char* what = "it") const
    {
        Need(at, count, what);
        return FData + at;
    }
    TView Sub(uint64_t at, uint64_t count, const char* what) const
    {
        Need(at, count, what);
        return TView(FData + at, count, FWmf, FIndex, FType);
    }

private:
    static std::string Hex(uint32_t value)
    {
        static const char digits[] = "0123456789ABCDEF";
        std::string text;
        do {
            text.insert(text.begin(), digits[value & 0xF]);
            value >>= 4;
        } while (value != 0);
        return text;
    }

    const uchar* FData;
    uint64_t FSize;
    bool FWmf;
    long long FIndex;
    uint32_t FType;
};

// --- Device-independent bitmaps --------------------------------------------------------------

struct TDib {
    QByteArray Info; // BITMAPINFOHEADER and colour table
    QByteArray Bits;
};

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

// 32 bits per pixel: blue, green, red, and the premultiplied alpha when
// withAlpha (0 otherwise).
TDib EncodeDib32(const QImage& image, bool withAlpha)
{
    CheckImageSize(image);
    const QImage source = image.convertToFormat(withAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const int w = source.width(), h = source.height();
    TDib dib;
    dib.Info = InfoHeader(w, h, 32, static_cast<uint32_t>(w * h * 4), 0);
    dib.Bits.resize(qsizetype(w) * h * 4);
    char* out = dib.Bits.data();
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(source.constScanLine(h - 1 - y));
        for (int x = 0; x < w; ++x) {
            *out++ = static_cast<char>(qBlue(row[x]));
            *out++ = static_cast<char>(qGreen(row[x]));
            *out++ = static_cast<char>(qRed(row[x]));
            *out++ = static_cast<char>(withAlpha ? qAlpha(row[x]) : 0);
        }
    }
    return dib;
}

// 24 bits per pixel, rows padded to four bytes.
TDib EncodeDib24(const QImage& image)
{
    CheckImageSize(image);
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    const int w = source.width(), h = source.height();
    const int stride = ((w * 24 + 31) / 32) * 4;
    TDib dib;
    dib.Info = InfoHeader(w, h, 24, static_cast<uint32_t>(stride * h), 0);
    dib.Bits = QByteArray(qsizetype(stride) * h, '\0');
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(source.constScanLine(h - 1 - y));
        char* out = dib.Bits.data() + qsizetype(y) * stride;
        for (int x = 0; x < w; ++x) {
            *out++ = static_cast<char>(qBlue(row[x]));
            *out++ = static_cast<char>(qGreen(row[x]));
            *out++ = static_cast<char>(qRed(row[x]));
        }
    }
    return dib;
}

// One bit per pixel: black pixels 0, every other pixel 1; the colour table
// says black and white.
TDib EncodeDibMono(const QImage& image)
{
    CheckImageSize(image);
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    const int w = source.width(), h = source.height();
    const int stride = ((w + 31) / 32) * 4;
    TDib dib;
    dib.Info = InfoHeader(w, h, 1, static_cast<uint32_t>(stride * h), 2);
    Put32(dib.Info, 0x00000000);
    Put32(dib.Info, 0x00FFFFFF);
    dib.Bits = QByteArray(qsizetype(stride) * h, '\0');
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(source.constScanLine(h - 1 - y));
        uchar* out = reinterpret_cast<uchar*>(dib.Bits.data()) + qsizetype(y) * stride;
        for (int x = 0; x < w; ++x)
            if ((row[x] & 0xFFFFFF) != 0)
                out[x / 8] |= static_cast<uchar>(0x80 >> (x % 8));
    }
    return dib;
}

// Black and white only: the pattern takes the text and background colours.
bool IsMonochrome(const QImage& image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const QRgb p = row[x] & 0xFFFFFF;
            if (p != 0 && p != 0xFFFFFF)
                return false;
        }
    }
    return true;
}

bool HasTranslucency(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return false;
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return true;
    }
    return false;
}

enum class TDibMode {
    Colours, // the colours of the bitmap
    Mono,    // 1-bit: 0 black, 1 white whatever the colour table says
    Alpha,   // 32-bit with premultiplied alpha
};

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

// Checks a bitmap (BITMAPINFO at info, pixels at bits) and, with decode,
// converts it. std::nullopt: a kind this reader does not draw (compressed,
// palette indices), to be skipped.
std::optional<QImage> ReadDib(const TView& record, uint64_t infoAt, uint64_t infoSize, uint64_t bitsAt,
                              uint64_t bitsSize, uint32_t usage, TDibMode mode, bool decode)
{
    const TView info = record.Sub(infoAt, infoSize, "the bitmap header");
    const TView bits = record.Sub(bitsAt, bitsSize, "the bitmap bits");
    const uint32_t headerSize = info.U32(0);
    if (headerSize < 40 || headerSize > infoSize)
        record.Fail("the bitmap header has an invalid size " + Num(headerSize));
    const int32_t width = info.I32(4);
    const int32_t height = info.I32(8);
    const uint16_t bitCount = info.U16(14);
    const uint32_t compression = info.U32(16);
    const uint32_t used = info.U32(32);
    const int64_t rows = std::llabs(static_cast<int64_t>(height));
    if (width <= 0 || rows == 0)
        record.Fail("a bitmap of " + Num(width) + " x " + Num(height) + " pixels");
    if (width > kMaxImageSide || rows > kMaxImageSide || int64_t(width) * rows > kMaxImagePixels)
        record.Fail("a bitmap of " + Num(width) + " x " + Num(rows) + " pixels is too large");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        record.Fail("a bitmap with " + Num(bitCount) + " bits per pixel");
    const bool bitFields = compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32);
    if (compression != BI_RGB && !bitFields)
        return std::nullopt;
    uint32_t masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
    if (bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    uint64_t tableAt = headerSize;
    if (bitFields) {
        for (int i = 0; i < 3; ++i)
            masks[i] = info.U32(40 + 4 * i);
        if (headerSize == 40)
            tableAt = 52;
    }
    std::vector<QRgb> palette;
    if (bitCount <= 8) {
        if (usage == DIB_PAL_COLORS && mode != TDibMode::Mono)
            return std::nullopt;
        const uint64_t entries = std::min<uint64_t>(used != 0 ? used : (1u << bitCount), 1u << bitCount);
        const uchar* table = mode == TDibMode::Mono ? nullptr : info.Bytes(tableAt, entries * 4, "the colour table");
        if (table)
            for (uint64_t i = 0; i < entries; ++i)
                palette.push_back(qRgb(table[i * 4 + 2], table[i * 4 + 1], table[i * 4]));
        palette.resize(1u << bitCount, qRgb(0, 0, 0));
    }
    const uint64_t stride = ((uint64_t(width) * bitCount + 31) / 32) * 4;
    if (stride * uint64_t(rows) > bitsSize)
        record.Fail("the bitmap bits are shorter than a bitmap of " + Num(width) + " x " + Num(rows) + " pixels");
    if (!decode)
        return QImage();

    QImage image(width, static_cast<int>(rows),
                 mode == TDibMode::Alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const uchar* data = bits.Bytes(0, stride * uint64_t(rows));
    for (int64_t y = 0; y < rows; ++y) {
        const uchar* src = data + (height > 0 ? rows - 1 - y : y) * stride;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (int x = 0; x < width; ++x) {
            switch (bitCount) {
            case 1: {
                const int bit = (src[x / 8] >> (7 - x % 8)) & 1;
                out[x] = mode == TDibMode::Mono ? (bit ? 0xFFFFFFFFu : 0xFF000000u) : palette[bit];
                break;
            }
            case 4: out[x] = palette[(src[x / 2] >> (x % 2 ? 0 : 4)) & 0xF]; break;
            case 8: out[x] = palette[src[x]]; break;
            case 16: {
                const uint32_t p = src[x * 2] | (src[x * 2 + 1] << 8);
                out[x] = qRgb(Channel(p, masks[0]), Channel(p, masks[1]), Channel(p, masks[2]));
                break;
            }
            case 24: out[x] = qRgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]); break;
            default: {
                const uchar* p = src + x * 4;
                if (mode == TDibMode::Alpha) {
                    const int a = p[3];
                    out[x] = qRgba(std::min<int>(p[2], a), std::min<int>(p[1], a), std::min<int>(p[0], a), a);
                } else if (bitFields) {
                    const uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
                    out[x] = qRgb(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
                } else {
                    out[x] = qRgb(p[2], p[1], p[0]);
                }
                break;
            }
            }
        }
    }
    if (bitCount <= 8 && mode != TDibMode::Mono)
        for (int y = 0; y < image.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] |= 0xFF000000u;
        }
    return image;
}

// --- Regions -----------------------------------------------------------------------------------

// The union of many rectangles, merged pairwise so that large lists stay fast.
TRegion RegionFromRects(const std::vector<QRect>& rects, size_t first, size_t count)
{
    if (count == 0)
        return TRegion();
    if (count == 1)
        return TRegion(rects[first]);
    const size_t half = count / 2;
    return RegionFromRects(rects, first, half).united(RegionFromRects(rects, first + half, count - half));
}

// RGNDATA: the header and the rectangles (right and bottom exclusive).
QByteArray RegionData(const TRegion& region)
{
    QByteArray data;
    Put32(data, 32);
    Put32(data, 1); // RDH_RECTANGLES
    Put32(data, static_cast<uint32_t>(region.rectCount()));
    Put32(data, static_cast<uint32_t>(region.rectCount() * 16));
    const QRect bounds = region.boundingRect();
    PutI32(data, bounds.left());
    PutI32(data, bounds.top());
    PutI32(data, bounds.left() + bounds.width());
    PutI32(data, bounds.top() + bounds.height());
    for (const QRect& r : region) {
        PutI32(data, r.left());
        PutI32(data, r.top());
        PutI32(data, r.left() + r.width());
        PutI32(data, r.top() + r.height());
    }
    return data;
}

TRegion ReadRegion(const TView& record, uint64_t at, uint64_t size)
{
    const TView data = record.Sub(at, size, "the region data");
    const uint32_t headerSize = data.U32(0);
    const uint32_t count = data.U32(8);
    if (headerSize < 32 || headerSize > size)
        record.Fail("the region header has an invalid size " + Num(headerSize));
    if (count > (size - headerSize) / 16)
        record.Fail("the region's " + Num(count) + " rectangles do not fit in the record");
    std::vector<QRect> rects;
    rects.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t p = headerSize + uint64_t(i) * 16;
        const int64_t l = data.I32(p), t = data.I32(p + 4), r = data.I32(p + 8), b = data.I32(p + 12);
        if (r > l && b > t)
            rects.emplace_back(static_cast<int>(l), static_cast<int>(t),
                               static_cast<int>(std::min<int64_t>(r - l, INT32_MAX)),
                               static_cast<int>(std::min<int64_t>(b - t, INT32_MAX)));
    }
    return RegionFromRects(rects, 0, rects.size());
}

// --- Text -------------------------------------------------------------------------------------

// The advance of the whole text by the font, without extra spacing: what
// GetTextExtent measures.
int NaturalWidth(const TLogFont& font, const QString& text)
{
    return QFontMetrics(ToQFont(font)).horizontalAdvance(text);
}

// The advance of each UTF-16 unit: the rounded positions of the characters
// by the font, the last one ending at the natural width, plus the extra
// spacing. The advances add up to natural width + count * extra.
std::vector<int32_t> CharacterAdvances(const TLogFont& font, const QString& text, int extra)
{
    const QFont qfont = ToQFont(font);
    const QFontMetricsF metrics(qfont);
    const int natural = QFontMetrics(qfont).horizontalAdvance(text);
    const qsizetype count = text.size();
    std::vector<int32_t> advances(static_cast<size_t>(count), extra);
    double position = 0;
    int previous = 0;
    for (qsizetype i = 0; i < count;) {
        const qsizetype units = text[i].isHighSurrogate() && i + 1 < count && text[i + 1].isLowSurrogate() ? 2 : 1;
        position += metrics.horizontalAdvance(text.mid(i, units));
        const int next = i + units >= count ? natural : ClampRound(position);
        advances[static_cast<size_t>(i)] = next - previous + extra;
        previous = next;
        i += units;
    }
    return advances;
}

// --- Objects of the drawing state ------------------------------------------------------

// Null objects compare equal whatever else they hold; the device brush is
// the solid brush of its colour.
TLogPen Normalized(const TLogPen& pen)
{
    if (pen.Style != PS_NULL)
        return pen;
    TLogPen null;
    null.Style = PS_NULL;
    return null;
}

TLogBrush Normalized(const TLogBrush& brush, TColor dcBrushColor)
{
    if (brush.Kind == TBrushKind::DCBrush)
        return CreateSolidBrush(dcBrushColor);
    if (brush.Kind == TBrushKind::Null || (brush.Kind == TBrushKind::Pattern && brush.Pattern.isNull()))
        return NullBrush();
    if (brush.Kind == TBrushKind::Solid)
        return CreateSolidBrush(brush.Color);
    return brush;
}

// A device context that keeps the mapping state only (the players' logical
// to reference-device mapping).
class TMappingTracker : public TDeviceContext {
public:
    int GetDeviceCaps(int) const override { return 0; }
    QRect DeviceBounds() const override { return {}; }
    void SetPixel(int, int, TColor) override {}
    TColor GetPixel(int, int) const override { return clNone; }

protected:
    void EngineStrokeFillPath(const QPainterPath&, bool, bool) override {}
    void EngineFillRegion(const TRegion&, const TLogBrush&) override {}
    void EngineText(int, int, const QString&) override {}
    void EngineDrawImage(const QRect&, const QImage&, const QRect&, uint32_t, std::optional<TColor>) override {}
    void EnginePatBlt(const QRect&, uint32_t) override {}
};

// The whole state of a device context, to put back after playback and for
// SaveDC / RestoreDC.
struct TStateSnapshot {
    TLogPen Pen;
    TLogBrush Brush;
    TLogFont Font;
    TColor TextColor = clBlack;
    TColor BkColor = clWhite;
    int BkMode = OPAQUE;
    unsigned TextAlign = 0;
    int Rop2 = R2_COPYPEN;
    int PolyFillMode = ALTERNATE;
    int ArcDirection = AD_COUNTERCLOCKWISE;
    int CharExtra = 0;
    TColor DCBrushColor = clWhite;
    TPoint BrushOrg;
    int MapMode = MM_TEXT;
    TPoint WindowOrg;
    TSize WindowExt{1, 1};
    TPoint ViewportOrg;
    TSize ViewportExt{1, 1};
    TPoint Position;
    std::optional<TRegion> Clip;
};

TStateSnapshot Capture(const TDeviceContext& dc)
{
    TStateSnapshot s;
    s.Pen = dc.Pen();
    s.Brush = dc.Brush();
    s.Font = dc.Font();
    s.TextColor = dc.TextColor();
    s.BkColor = dc.BkColor();
    s.BkMode = dc.BkMode();
    s.TextAlign = dc.TextAlign();
    s.Rop2 = dc.ROP2();
    s.PolyFillMode = dc.PolyFillMode();
    s.ArcDirection = dc.ArcDirection();
    s.CharExtra = dc.TextCharacterExtra();
    s.DCBrushColor = dc.DCBrushColor();
    s.BrushOrg = dc.BrushOrg();
    s.MapMode = dc.MapMode();
    s.WindowOrg = dc.WindowOrg();
    s.WindowExt = dc.WindowExt();
    s.ViewportOrg = dc.ViewportOrg();
    s.ViewportExt = dc.ViewportExt();
    s.Position = dc.CurrentPosition();
    s.Clip = dc.ClipRegion();
    return s;
}

// Sets what differs (so a recording target records only real changes).
void Restore(TDeviceContext& dc, const TStateSnapshot& s)
{
    if (!(dc.Pen() == s.Pen))
        dc.SelectPen(s.Pen);
    if (!(dc.Brush() == s.Brush))
        dc.SelectBrush(s.Brush);
    if (!(dc.Font() == s.Font))
        dc.SelectFont(s.Font);
    if (dc.TextColor() != s.TextColor)
        dc.SetTextColor(s.TextColor);
    if (dc.BkColor() != s.BkColor)
        dc.SetBkColor(s.BkColor);
    if (dc.BkMode() != s.BkMode)
        dc.SetBkMode(s.BkMode);
    if (dc.TextAlign() != s.TextAlign)
        dc.SetTextAlign(s.TextAlign);
    if (dc.ROP2() != s.Rop2)
        dc.SetROP2(s.Rop2);
    if (dc.PolyFillMode() != s.PolyFillMode)
        dc.SetPolyFillMode(s.PolyFillMode);
    if (dc.ArcDirection() != s.ArcDirection)
        dc.SetArcDirection(s.ArcDirection);
    if (dc.TextCharacterExtra() != s.CharExtra)
        dc.SetTextCharacterExtra(s.CharExtra);
    if (dc.DCBrushColor() != s.DCBrushColor)
        dc.SetDCBrushColor(s.DCBrushColor);
    if (!(dc.BrushOrg() == s.BrushOrg))
        dc.SetBrushOrg(s.BrushOrg.X, s.BrushOrg.Y);
    if (dc.MapMode() != s.MapMode)
        dc.SetMapMode(s.MapMode);
    if (!(dc.WindowExt() == s.WindowExt))
        dc.SetWindowExt(s.WindowExt.cx, s.WindowExt.cy);
    if (!(dc.ViewportExt() == s.ViewportExt))
        dc.SetViewportExt(s.ViewportExt.cx, s.ViewportExt.cy);
    if (!(dc.WindowOrg() == s.WindowOrg))
        dc.SetWindowOrg(s.WindowOrg.X, s.WindowOrg.Y);
    if (!(dc.ViewportOrg() == s.ViewportOrg))
        dc.SetViewportOrg(s.ViewportOrg.X, s.ViewportOrg.Y);
    if (dc.ClipRegion() != s.Clip)
        dc.SelectClipRgn(s.Clip ? &*s.Clip : nullptr);
    if (!(dc.CurrentPosition() == s.Position) && !dc.InPath())
        dc.MoveTo(s.Position.X, s.Position.Y);
}

// The pen QPainter strokes with, in black: the pixels a pen covers.
QPen CoveragePen(const TLogPen& pen)
{
    if (!pen.Geometric) {
        QPen cosmetic(Qt::black, 0);
        cosmetic.setCapStyle(Qt::FlatCap);
        cosmetic.setJoinStyle(Qt::MiterJoin);
        return cosmetic;
    }
    QPen wide(Qt::black, pen.Width);
    wide.setCapStyle(pen.EndCap == PS_ENDCAP_FLAT     ? Qt::FlatCap
                     : pen.EndCap == PS_ENDCAP_SQUARE ? Qt::SquareCap
                                                      : Qt::RoundCap);
    wide.setJoinStyle(pen.Join == PS_JOIN_BEVEL   ? Qt::BevelJoin
                      : pen.Join == PS_JOIN_MITER ? Qt::MiterJoin
                                                  : Qt::RoundJoin);
    return wide;
}

// Hundredths of a millimetre of a pixel count at a resolution.
int32_t PixelsToHundredths(double pixels, double dpi)
{
    return ClampRound(pixels * 2540.0 / dpi);
}

} // namespace

// --- TEnhMetaHeader ------------------------------------------------------------------------------

double TEnhMetaHeader::PixelsPerInchX() const
{
    if (DevicePixels.width() > 0 && DeviceMicrometres.width() > 0)
        return DevicePixels.width() * 25400.0 / DeviceMicrometres.width();
    if (DevicePixels.width() > 0 && DeviceMillimetres.width() > 0)
        return DevicePixels.width() * 25.4 / DeviceMillimetres.width();
    return 96.0;
}

double TEnhMetaHeader::PixelsPerInchY() const
{
    if (DevicePixels.height() > 0 && DeviceMicrometres.height() > 0)
        return DevicePixels.height() * 25400.0 / DeviceMicrometres.height();
    if (DevicePixels.height() > 0 && DeviceMillimetres.height() > 0)
        return DevicePixels.height() * 25.4 / DeviceMillimetres.height();
    return 96.0;
}

TRect TEnhMetaHeader::FramePixels() const
{
    const double kx = PixelsPerInchX() / 2540.0, ky = PixelsPerInchY() / 2540.0;
    return {ClampRound(Frame.Left * kx), ClampRound(Frame.Top * ky), ClampRound(Frame.Right * kx),
            ClampRound(Frame.Bottom * ky)};
}

TEnhMetaHeader ReadEnhMetaHeader(const QByteArray& emf)
{
    const auto* data = reinterpret_cast<const uchar*>(emf.constData());
    const uint64_t size = static_cast<uint64_t>(emf.size());
    if (size < kMinHeaderSize)
        Fail(false, "the data (" + Num(static_cast<long long>(size)) + " bytes) is too short for a header");
    const TView file(data, size, false, 0, EMR_HEADER);
    if (file.U32(0) != EMR_HEADER)
        Fail(false, "the first record is not a header");
    const uint32_t headerSize = file.U32(4);
    if (headerSize < kMinHeaderSize || headerSize % 4 != 0 || headerSize > size)
        Fail(false, "the header record has an invalid size " + Num(headerSize));
    if (file.U32(40) != kEnhMetafileSignature)
        Fail(false, "the signature is not \" EMF\"");
    const TView header = file.Sub(0, headerSize, "the header");
    TEnhMetaHeader result;
    result.Bounds = {header.I32(8), header.I32(12), header.I32(16), header.I32(20)};
    result.Frame = {header.I32(24), header.I32(28), header.I32(32), header.I32(36)};
    result.Bytes = header.U32(48);
    result.Records = header.U32(52);
    result.Handles = header.U16(56);
    if (result.Bytes > size)
        Fail(false,
             "the file is truncated (" + Num(static_cast<long long>(size)) + " of " + Num(result.Bytes) + " bytes)");
    if (result.Bytes < headerSize)
        Fail(false, "the file size in the header (" + Num(result.Bytes) + ") is smaller than the header");
    const uint32_t descriptionLength = header.U32(60);
    const uint32_t descriptionAt = header.U32(64);
    if (descriptionLength > 0) {
        const uchar* text = header.Bytes(descriptionAt, uint64_t(descriptionLength) * 2, "the description");
        QString description;
        for (uint32_t i = 0; i < descriptionLength; ++i)
            description.append(QChar(static_cast<char16_t>(text[i * 2] | (text[i * 2 + 1] << 8))));
        while (description.endsWith(QChar(0)))
            description.chop(1);
        result.Description = description.replace(QChar(0), QLatin1Char('\n'));
    }
    result.DevicePixels = QSize(header.I32(72), header.I32(76));
    result.DeviceMillimetres = QSize(header.I32(80), header.I32(84));
    // The second extension is there when the header is long enough and
    // neither the description nor a pixel format starts inside it.
    const bool extended = headerSize >= kHeaderSize && (descriptionLength == 0 || descriptionAt >= kHeaderSize) &&
                          (header.U32(88) == 0 || header.U32(92) >= kHeaderSize);
    if (extended)
        result.DeviceMicrometres = QSize(header.I32(100), header.I32(104));
    return result;
}

// --- TMetafileDC ------------------------------------------------------------------------------

namespace {

qsizetype BeginRecord(QByteArray& out, uint32_t type)
{
    const qsizetype at = out.size();
    Put32(out, type);
    Put32(out, 0);
    return at;
}

void EndRecord(QByteArray& out, qsizetype at, uint32_t& count)
{
    PadTo(out, 4);
    Patch32(out, at + 4, static_cast<uint32_t>(out.size() - at));
    ++count;
}

bool Fits16(const TPoint* points, int count)
{
    for (int i = 0; i < count; ++i)
        if (points[i].X < -32768 || points[i].X > 32767 || points[i].Y < -32768 || points[i].Y > 32767)
            return false;
    return true;
}

void PutPoints(QByteArray& out, const TPoint* points, int count, bool wide)
{
    for (int i = 0; i < count; ++i) {
        if (wide) {
            PutI32(out, points[i].X);
            PutI32(out, points[i].Y);
        } else {
            Put16(out, static_cast<uint16_t>(points[i].X));
            Put16(out, static_cast<uint16_t>(points[i].Y));
        }
    }
}

// The tiles in which exact coverage is measured, and the largest area
// measured at all (beyond it the box counts as inked).
constexpr int kCoverageTile = 1024;
constexpr int64_t kCoverageArea = 64LL * 1024 * 1024;

} // namespace

// One recorded call: writes the pending state first, marks the nesting (the
// base class's implementation may call other virtual primitives, which must
// not record again) and, at the end, fills the record's rclBounds with the
// pixels the call inked.
class TMetafileDC::TCall {
public:
    explicit TCall(TMetafileDC& dc) : FDC(dc)
    {
        dc.CheckOpen();
        dc.SyncState();
        ++dc.FDepth;
        dc.FCallInked = QRect();
    }
    ~TCall()
    {
        --FDC.FDepth;
        if (FBoundsAt >= 0) {
            const QRect& r = FDC.FCallInked;
            const bool empty = r.isEmpty();
            Patch32(FDC.FBody, FBoundsAt, static_cast<uint32_t>(empty ? 0 : r.left()));
            Patch32(FDC.FBody, FBoundsAt + 4, static_cast<uint32_t>(empty ? 0 : r.top()));
            Patch32(FDC.FBody, FBoundsAt + 8, static_cast<uint32_t>(empty ? -1 : r.right()));
            Patch32(FDC.FBody, FBoundsAt + 12, static_cast<uint32_t>(empty ? -1 : r.bottom()));
        }
    }
    TCall(const TCall&) = delete;
    TCall& operator=(const TCall&) = delete;
    // The offset of the record's rclBounds field.
    void BoundsAt(qsizetype at) { FBoundsAt = at; }

private:
    TMetafileDC& FDC;
    qsizetype FBoundsAt = -1;
};

TMetafileDC::TMetafileDC(QSize referenceSize, int pixelsPerInchX, int pixelsPerInchY)
    : FReferenceSize(referenceSize.isValid() && !referenceSize.isEmpty() ? referenceSize : QSize(1920, 1080)),
      FDpiX(pixelsPerInchX > 0 ? pixelsPerInchX : 96),
      FDpiY(pixelsPerInchY > 0 ? pixelsPerInchY : (pixelsPerInchX > 0 ? pixelsPerInchX : 96)),
      FHandles(1, true)
{
    FRecorded.PenHandle = kStock | BLACK_PEN;
    FRecorded.BrushHandle = kStock | WHITE_BRUSH;
}

TMetafileDC::~TMetafileDC() = default;

void TMetafileDC::SetDescription(const QString& title)
{
    CheckOpen();
    FTitle = title;
}

void TMetafileDC::SetFrame(const TRect& hundredthsOfMillimetre)
{
    CheckOpen();
    FFrame = hundredthsOfMillimetre;
}

void TMetafileDC::SetFramePixels(const TRect& pixels)
{
    SetFrame({PixelsToHundredths(pixels.Left, FDpiX), PixelsToHundredths(pixels.Top, FDpiY),
              PixelsToHundredths(pixels.Right, FDpiX), PixelsToHundredths(pixels.Bottom, FDpiY)});
}

TRect TMetafileDC::Bounds() const
{
    if (FBounds.isEmpty())
        return {0, 0, -1, -1};
    return {FBounds.left(), FBounds.top(), FBounds.right(), FBounds.bottom()};
}

void TMetafileDC::CheckOpen() const
{
    if (FFinished)
        throw EInvalidOperation("The metafile recording has been finished");
}

TRect TMetafileDC::FrameOf() const
{
    if (FFrame)
        return *FFrame;
    if (FBounds.isEmpty())
        return {0, 0, 0, 0};
    // The frame covers the inked pixels: right and bottom are the edges
    // after the last pixel.
    return {PixelsToHundredths(FBounds.left(), FDpiX), PixelsToHundredths(FBounds.top(), FDpiY),
            PixelsToHundredths(FBounds.right() + 1.0, FDpiX), PixelsToHundredths(FBounds.bottom() + 1.0, FDpiY)};
}

QByteArray TMetafileDC::Finish()
{
    if (FFinished)
        return FResult;
    const qsizetype eof = BeginRecord(FBody, EMR_EOF);
    Put32(FBody, 0);  // nPalEntries
    Put32(FBody, 16); // offPalEntries
    Put32(FBody, 20); // nSizeLast
    EndRecord(FBody, eof, FRecordCount);

    QString description;
    if (FTitle) {
        description = QStringLiteral("Lithoprism") + QChar(0) + *FTitle + QChar(0) + QChar(0);
    }
    QByteArray header;
    Put32(header, EMR_HEADER);
    Put32(header, 0); // size, below
    PutPixelRect(header, FBounds);
    const TRect frame = FrameOf();
    PutI32(header, frame.Left);
    PutI32(header, frame.Top);
    PutI32(header, frame.Right);
    PutI32(header, frame.Bottom);
    Put32(header, kEnhMetafileSignature);
    Put32(header, 0x10000); // nVersion
    Put32(header, 0);       // nBytes, below
    Put32(header, FRecordCount + 1);
    Put16(header, static_cast<uint16_t>(std::min<size_t>(FHandles.size(), 0xFFFF)));
    Put16(header, 0);
    Put32(header, static_cast<uint32_t>(description.size()));
    Put32(header, description.isEmpty() ? 0 : kHeaderSize);
    Put32(header, 0); // nPalEntries
    PutI32(header, FReferenceSize.width());
    PutI32(header, FReferenceSize.height());
    PutI32(header, ClampRound(FReferenceSize.width() * 25.4 / FDpiX));
    PutI32(header, ClampRound(FReferenceSize.height() * 25.4 / FDpiY));
    Put32(header, 0); // cbPixelFormat
    Put32(header, 0); // offPixelFormat
    Put32(header, 0); // bOpenGL
    PutI32(header, ClampRound(FReferenceSize.width() * 25400.0 / FDpiX));
    PutI32(header, ClampRound(FReferenceSize.height() * 25400.0 / FDpiY));
    for (QChar c : description)
        Put16(header, c.unicode());
    PadTo(header, 4);
    Patch32(header, 4, static_cast<uint32_t>(header.size()));
    Patch32(header, 48, static_cast<uint32_t>(header.size() + FBody.size()));

    FResult = header + FBody;
    FBody.clear();
    FFinished = true;
    return FResult;
}

int TMetafileDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case TECHNOLOGY: return DT_METAFILE;
    case HORZRES:
    case PHYSICALWIDTH: return FReferenceSize.width();
    case VERTRES:
    case PHYSICALHEIGHT: return FReferenceSize.height();
    case HORZSIZE: return ClampRound(FReferenceSize.width() * 25.4 / FDpiX);
    case VERTSIZE: return ClampRound(FReferenceSize.height() * 25.4 / FDpiY);
    case LOGPIXELSX: return FDpiX;
    case LOGPIXELSY: return FDpiY;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    default: return 0;
    }
}

QRect TMetafileDC::DeviceBounds() const
{
    return QRect(QPoint(0, 0), FReferenceSize);
}

// --- State and objects ---

uint32_t TMetafileDC::AllocateHandle()
{
    for (size_t i = 1; i < FHandles.size(); ++i)
        if (!FHandles[i]) {
            FHandles[i] = true;
            return static_cast<uint32_t>(i);
        }
    if (FHandles.size() >= 0xFFFF)
        throw EInvalidOperation("The metafile has too many objects");
    FHandles.push_back(true);
    return static_cast<uint32_t>(FHandles.size() - 1);
}

void TMetafileDC::ReleaseHandle(uint32_t handle)
{
    if ((handle & kStock) || handle == 0 || handle >= FHandles.size())
        return;
    const qsizetype at = BeginRecord(FBody, EMR_DELETEOBJECT);
    Put32(FBody, handle);
    EndRecord(FBody, at, FRecordCount);
    FHandles[handle] = false;
}

uint32_t TMetafileDC::WriteBrushObject(const TLogBrush& brush)
{
    const uint32_t handle = AllocateHandle();
    if (brush.Kind == TBrushKind::Pattern) {
        const bool mono = IsMonochrome(brush.Pattern);
        const TDib dib = mono ? EncodeDibMono(brush.Pattern) : EncodeDib32(brush.Pattern, false);
        const qsizetype at = BeginRecord(FBody, mono ? EMR_CREATEMONOBRUSH : EMR_CREATEDIBPATTERNBRUSHPT);
        Put32(FBody, handle);
        Put32(FBody, DIB_RGB_COLORS);
        Put32(FBody, 32);
        Put32(FBody, static_cast<uint32_t>(dib.Info.size()));
        Put32(FBody, static_cast<uint32_t>(32 + dib.Info.size()));
        Put32(FBody, static_cast<uint32_t>(dib.Bits.size()));
        FBody += dib.Info;
        FBody += dib.Bits;
        EndRecord(FBody, at, FRecordCount);
        return handle;
    }
    const qsizetype at = BeginRecord(FBody, EMR_CREATEBRUSHINDIRECT);
    Put32(FBody, handle);
    Put32(FBody, brush.Kind == TBrushKind::Null ? BS_NULL : brush.Kind == TBrushKind::Hatched ? BS_HATCHED : BS_SOLID);
    Put32(FBody, ColorRef(brush.Color));
    Put32(FBody, brush.Kind == TBrushKind::Hatched ? static_cast<uint32_t>(brush.Hatch) : 0);
    EndRecord(FBody, at, FRecordCount);
    return handle;
}

void TMetafileDC::SyncObjects()
{
    auto select = [this](uint32_t handle) {
        const qsizetype at = BeginRecord(FBody, EMR_SELECTOBJECT);
        Put32(FBody, handle);
        EndRecord(FBody, at, FRecordCount);
    };

    const TLogPen pen = Normalized(Pen());
    if (!(pen == FRecorded.Pen)) {
        uint32_t handle = 0;
        if (pen.Style == PS_NULL) {
            handle = kStock | NULL_PEN;
        } else if (pen == TLogPen()) {
            handle = kStock | BLACK_PEN;
        } else {
            handle = AllocateHandle();
            const bool plain = CreatePen(pen.Style, pen.Width, pen.Color) == pen;
            const qsizetype at = BeginRecord(FBody, plain ? EMR_CREATEPEN : EMR_EXTCREATEPEN);
            Put32(FBody, handle);
            if (plain) {
                Put32(FBody, static_cast<uint32_t>(pen.Style));
                PutI32(FBody, pen.Width);
                PutI32(FBody, 0);
                Put32(FBody, ColorRef(pen.Color));
            } else {
                const size_t entries =
                    pen.Style == PS_USERSTYLE ? std::min<size_t>(pen.UserStyle.size(), kMaxPenStyleEntries) : 0;
                Put32(FBody, 0); // no brush bitmap
                Put32(FBody, 0);
                Put32(FBody, 0);
                Put32(FBody, 0);
                Put32(FBody,
                      static_cast<uint32_t>(pen.Style | (pen.Geometric ? PS_GEOMETRIC : 0) | pen.EndCap | pen.Join));
                PutI32(FBody, pen.Width);
                Put32(FBody, BS_SOLID);
                Put32(FBody, ColorRef(pen.Color));
                Put32(FBody, 0);
                Put32(FBody, static_cast<uint32_t>(entries));
                for (size_t i = 0; i < entries; ++i)
                    Put32(FBody, pen.UserStyle[i]);
            }
            EndRecord(FBody, at, FRecordCount);
        }
        select(handle);
        ReleaseHandle(FRecorded.PenHandle);
        FRecorded.Pen = pen;
        FRecorded.PenHandle = handle;
    }

    const TLogBrush brush = Normalized(Brush(), DCBrushColor());
    if (!(brush == FRecorded.Brush)) {
        uint32_t handle = 0;
        if (brush.Kind == TBrushKind::Null)
            handle = kStock | NULL_BRUSH;
        else if (brush.Kind == TBrushKind::Solid && ColorRef(brush.Color) == 0xFFFFFF)
            handle = kStock | WHITE_BRUSH;
        else if (brush.Kind == TBrushKind::Solid && ColorRef(brush.Color) == 0)
            handle = kStock | BLACK_BRUSH;
        else
            handle = WriteBrushObject(brush);
        select(handle);
        ReleaseHandle(FRecorded.BrushHandle);
        FRecorded.Brush = brush;
        FRecorded.BrushHandle = handle;
    }

    const TLogFont& font = Font();
    if (!FRecorded.Font || !(*FRecorded.Font == font)) {
        const uint32_t handle = AllocateHandle();
        const qsizetype at = BeginRecord(FBody, EMR_EXTCREATEFONTINDIRECTW);
        Put32(FBody, handle);
        const qsizetype logFont = FBody.size();
        PutI32(FBody, font.Height);
        PutI32(FBody, 0); // width: the font's own
        PutI32(FBody, font.Escapement);
        PutI32(FBody, font.Orientation);
        PutI32(FBody, font.Weight);
        Put8(FBody, font.Italic ? 1 : 0);
        Put8(FBody, font.Underline ? 1 : 0);
        Put8(FBody, font.StrikeOut ? 1 : 0);
        Put8(FBody, static_cast<uint8_t>(font.CharSet));
        Put8(FBody, static_cast<uint8_t>(font.OutPrecision));
        Put8(FBody, 0); // clip precision
        Put8(FBody, static_cast<uint8_t>(font.Quality));
        Put8(FBody, 0); // pitch and family
        const QString face = font.FaceName.left(31);
        for (int i = 0; i < 32; ++i)
            Put16(FBody, i < face.size() ? face[i].unicode() : 0);
        // The rest of the panose form (full name, style, version ...) stays zero.
        FBody.append(QByteArray(kFontObjectSize - (FBody.size() - logFont), '\0'));
        EndRecord(FBody, at, FRecordCount);
        select(handle);
        ReleaseHandle(FRecorded.FontHandle);
        FRecorded.Font = font;
        FRecorded.FontHandle = handle;
    }
}

void TMetafileDC::SyncState()
{
    auto value = [this](uint32_t type, uint32_t v) {
        const qsizetype at = BeginRecord(FBody, type);
        Put32(FBody, v);
        EndRecord(FBody, at, FRecordCount);
    };
    auto pair = [this](uint32_t type, int32_t a, int32_t b) {
        const qsizetype at = BeginRecord(FBody, type);
        PutI32(FBody, a);
        PutI32(FBody, b);
        EndRecord(FBody, at, FRecordCount);
    };
    TRecorded& r = FRecorded;
    if (MapMode() != r.MapMode)
        value(EMR_SETMAPMODE, static_cast<uint32_t>(r.MapMode = MapMode()));
    // Extents count only in the scaled modes; the reader ignores them in
    // MM_TEXT, so they are written once such a mode is on.
    if (MapMode() != MM_TEXT) {
        if (!(WindowExt() == r.WindowExt)) {
            r.WindowExt = WindowExt();
            pair(EMR_SETWINDOWEXTEX, r.WindowExt.cx, r.WindowExt.cy);
        }
        if (!(ViewportExt() == r.ViewportExt)) {
            r.ViewportExt = ViewportExt();
            pair(EMR_SETVIEWPORTEXTEX, r.ViewportExt.cx, r.ViewportExt.cy);
        }
    }
    if (!(WindowOrg() == r.WindowOrg)) {
        r.WindowOrg = WindowOrg();
        pair(EMR_SETWINDOWORGEX, r.WindowOrg.X, r.WindowOrg.Y);
    }
    if (!(ViewportOrg() == r.ViewportOrg)) {
        r.ViewportOrg = ViewportOrg();
        pair(EMR_SETVIEWPORTORGEX, r.ViewportOrg.X, r.ViewportOrg.Y);
    }
    if (!(BrushOrg() == r.BrushOrg)) {
        r.BrushOrg = BrushOrg();
        pair(EMR_SETBRUSHORGEX, r.BrushOrg.X, r.BrushOrg.Y);
    }
    if (ColorRef(TextColor()) != ColorRef(r.TextColor))
        value(EMR_SETTEXTCOLOR, ColorRef(r.TextColor = TextColor()));
    if (ColorRef(BkColor()) != ColorRef(r.BkColor))
        value(EMR_SETBKCOLOR, ColorRef(r.BkColor = BkColor()));
    if (BkMode() != r.BkMode)
        value(EMR_SETBKMODE, static_cast<uint32_t>(r.BkMode = BkMode()));
    if (TextAlign() != r.TextAlign)
        value(EMR_SETTEXTALIGN, r.TextAlign = TextAlign());
    if (ROP2() != r.Rop2)
        value(EMR_SETROP2, static_cast<uint32_t>(r.Rop2 = ROP2()));
    if (PolyFillMode() != r.PolyFillMode)
        value(EMR_SETPOLYFILLMODE, static_cast<uint32_t>(r.PolyFillMode = PolyFillMode()));
    if (ArcDirection() != r.ArcDirection)
        value(EMR_SETARCDIRECTION, static_cast<uint32_t>(r.ArcDirection = ArcDirection()));
    if (ClipRegion() != r.Clip) {
        WriteClipRecord(ClipRegion() ? &*ClipRegion() : nullptr, RGN_COPY);
        r.Clip = ClipRegion();
    }
    SyncObjects();
}

void TMetafileDC::WriteClipRecord(const TRegion* region, int mode)
{
    const qsizetype at = BeginRecord(FBody, EMR_EXTSELECTCLIPRGN);
    const QByteArray data = region ? RegionData(*region) : QByteArray();
    Put32(FBody, static_cast<uint32_t>(data.size()));
    Put32(FBody, static_cast<uint32_t>(mode));
    FBody += data;
    EndRecord(FBody, at, FRecordCount);
}

// --- Measuring what is inked ---

void TMetafileDC::InkExact(const QRect& pixels)
{
    QRect inked = pixels;
    if (ClipRegion())
        inked = ClipRegion()->intersected(inked).boundingRect();
    if (inked.isEmpty())
        return;
    FCallInked |= inked;
    FBounds |= inked;
}

void TMetafileDC::Ink(const QRect& box, const std::function<void(QPainter&)>& paint)
{
    QRect area = box;
    if (ClipRegion())
        area &= ClipRegion()->boundingRect();
    if (area.isEmpty())
        return;
    FCallInked |= area;
    if (FBounds.contains(area))
        return; // nothing new can come of it
    if (int64_t(area.width()) * area.height() > kCoverageArea) {
        FBounds |= area;
        return;
    }
    // Paint the call in black on transparent tiles, exactly as the painter
    // engine would (aliased, same clip), and keep the covered pixels.
    QRect exact;
    for (int top = area.top(); top <= area.bottom(); top += kCoverageTile) {
        for (int left = area.left(); left <= area.right(); left += kCoverageTile) {
            const QRect tile(left, top, std::min(kCoverageTile, area.right() - left + 1),
                             std::min(kCoverageTile, area.bottom() - top + 1));
            QImage mask(tile.size(), QImage::Format_ARGB32_Premultiplied);
            mask.fill(Qt::transparent);
            {
                QPainter painter(&mask);
                painter.setRenderHint(QPainter::Antialiasing, false);
                painter.translate(-tile.left(), -tile.top());
                if (ClipRegion())
                    painter.setClipRegion(*ClipRegion());
                paint(painter);
            }
            for (int y = 0; y < mask.height(); ++y) {
                const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
                int first = -1, last = -1;
                for (int x = 0; x < mask.width(); ++x)
                    if (row[x] != 0) {
                        if (first < 0)
                            first = x;
                        last = x;
                    }
                if (first >= 0)
                    exact |= QRect(tile.left() + first, tile.top() + y, last - first + 1, 1);
            }
        }
    }
    FBounds |= exact;
}

void TMetafileDC::EngineStrokeFillPath(const QPainterPath& path, bool stroke, bool fill)
{
    const TLogPen& pen = Pen();
    const double grow = 2.0 + (stroke ? (pen.Geometric ? 2.0 * pen.Width : 1.0) : 0.0);
    const QRect box = path.controlPointRect().adjusted(-grow, -grow, grow, grow).toAlignedRect();
    const QPen coverage = CoveragePen(pen);
    Ink(box, [&](QPainter& painter) {
        if (fill)
            painter.fillPath(path, Qt::black);
        if (stroke)
            painter.strokePath(path, coverage);
    });
}

void TMetafileDC::EngineFillRegion(const TRegion& region, const TLogBrush& brush)
{
    // Region fills are written here, where the base class has the region in
    // device pixels (FillRect's rectangle included).
    const TLogBrush resolved = Normalized(brush, DCBrushColor());
    const bool current = resolved == FRecorded.Brush && !(FRecorded.BrushHandle & kStock);
    const uint32_t handle = current ? FRecorded.BrushHandle : WriteBrushObject(resolved);
    const QByteArray data = RegionData(region);
    const qsizetype at = BeginRecord(FBody, EMR_FILLRGN);
    QRect inked = region.boundingRect();
    if (ClipRegion())
        inked = ClipRegion()->intersected(region).boundingRect();
    PutPixelRect(FBody, inked);
    Put32(FBody, static_cast<uint32_t>(data.size()));
    Put32(FBody, handle);
    FBody += data;
    EndRecord(FBody, at, FRecordCount);
    if (!current)
        ReleaseHandle(handle);
    InkExact(inked);
}

void TMetafileDC::EngineText(int x, int y, const QString& text)
{
    const TTextPlacement placement = PlaceText(x, y, text);
    QTransform frame;
    frame.translate(placement.Reference.x(), placement.Reference.y());
    frame.rotate(-placement.Angle);
    const QRect box = frame.mapRect(placement.Cell).toAlignedRect().adjusted(-2, -2, 2, 2);
    // The text's cell: what an opaque background paints, and the box the
    // glyphs stand in.
    Ink(box, [&](QPainter& painter) {
        painter.translate(placement.Reference);
        painter.rotate(-placement.Angle);
        painter.fillRect(placement.Cell, Qt::black);
    });
}

void TMetafileDC::EngineDrawImage(const QRect& dest, const QImage&, const QRect&, uint32_t, std::optional<TColor>)
{
    InkExact(dest);
}

void TMetafileDC::EnginePatBlt(const QRect& dest, uint32_t)
{
    InkExact(dest);
}

// --- Drawing records ---

void TMetafileDC::WritePolyRecord(uint32_t type16, uint32_t type32, const TPoint* points, int count)
{
    const bool narrow = Fits16(points, count);
    const qsizetype at = BeginRecord(FBody, narrow ? type16 : type32);
    PutPixelRect(FBody, QRect());
    Put32(FBody, static_cast<uint32_t>(count));
    PutPoints(FBody, points, count, !narrow);
    EndRecord(FBody, at, FRecordCount);
}

void TMetafileDC::WriteImageRecord(const TRect& dest, const QImage& image, std::optional<TColor> transparent,
                                   uint32_t rop)
{
    const bool alpha = !transparent && rop == SRCCOPY && HasTranslucency(image);
    const TDib dib = EncodeDib32(image, alpha);
    const int w = image.width(), h = image.height();
    if (!transparent && !alpha) {
        const qsizetype at = BeginRecord(FBody, EMR_STRETCHDIBITS);
        PutPixelRect(FBody, QRect());
        PutI32(FBody, dest.Left);
        PutI32(FBody, dest.Top);
        PutI32(FBody, 0);
        PutI32(FBody, 0);
        PutI32(FBody, w);
        PutI32(FBody, h);
        Put32(FBody, 80);
        Put32(FBody, static_cast<uint32_t>(dib.Info.size()));
        Put32(FBody, static_cast<uint32_t>(80 + dib.Info.size()));
        Put32(FBody, static_cast<uint32_t>(dib.Bits.size()));
        Put32(FBody, DIB_RGB_COLORS);
        Put32(FBody, rop);
        PutI32(FBody, dest.Width());
        PutI32(FBody, dest.Height());
        FBody += dib.Info;
        FBody += dib.Bits;
        EndRecord(FBody, at, FRecordCount);
        return;
    }
    // A transparent colour or alpha: the stretch-blit layout, whose raster
    // operation field holds the colour or the blend function.
    const qsizetype at = BeginRecord(FBody, transparent ? EMR_TRANSPARENTBLT : EMR_ALPHABLEND);
    PutPixelRect(FBody, QRect());
    PutI32(FBody, dest.Left);
    PutI32(FBody, dest.Top);
    PutI32(FBody, dest.Width());
    PutI32(FBody, dest.Height());
    Put32(FBody, transparent ? ColorRef(*transparent) : kBlendSourceAlpha);
    PutI32(FBody, 0);
    PutI32(FBody, 0);
    for (float m : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f})
        PutFloat(FBody, m);
    Put32(FBody, 0); // background colour of the source
    Put32(FBody, DIB_RGB_COLORS);
    Put32(FBody, 108);
    Put32(FBody, static_cast<uint32_t>(dib.Info.size()));
    Put32(FBody, static_cast<uint32_t>(108 + dib.Info.size()));
    Put32(FBody, static_cast<uint32_t>(dib.Bits.size()));
    PutI32(FBody, w);
    PutI32(FBody, h);
    FBody += dib.Info;
    FBody += dib.Bits;
    EndRecord(FBody, at, FRecordCount);
}

void TMetafileDC::MoveTo(int x, int y)
{
    if (FDepth > 0) {
        TDeviceContext::MoveTo(x, y);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_MOVETOEX);
    PutI32(FBody, x);
    PutI32(FBody, y);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::MoveTo(x, y);
}

void TMetafileDC::LineTo(int x, int y)
{
    if (FDepth > 0) {
        TDeviceContext::LineTo(x, y);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_LINETO);
    PutI32(FBody, x);
    PutI32(FBody, y);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::LineTo(x, y);
}

void TMetafileDC::Polyline(const TPoint* points, int count)
{
    if (FDepth > 0 || count < 2) {
        TDeviceContext::Polyline(points, count);
        return;
    }
    TCall call(*this);
    call.BoundsAt(FBody.size() + 8);
    WritePolyRecord(EMR_POLYLINE16, EMR_POLYLINE, points, count);
    TDeviceContext::Polyline(points, count);
}

void TMetafileDC::PolylineTo(const TPoint* points, int count)
{
    if (FDepth > 0 || count < 1) {
        TDeviceContext::PolylineTo(points, count);
        return;
    }
    TCall call(*this);
    call.BoundsAt(FBody.size() + 8);
    WritePolyRecord(EMR_POLYLINETO16, EMR_POLYLINETO, points, count);
    TDeviceContext::PolylineTo(points, count);
}

void TMetafileDC::PolyBezier(const TPoint* points, int count)
{
    if (FDepth > 0 || count < 4 || (count - 1) % 3 != 0) {
        TDeviceContext::PolyBezier(points, count);
        return;
    }
    TCall call(*this);
    call.BoundsAt(FBody.size() + 8);
    WritePolyRecord(EMR_POLYBEZIER16, EMR_POLYBEZIER, points, count);
    TDeviceContext::PolyBezier(points, count);
}

void TMetafileDC::Polygon(const TPoint* points, int count)
{
    if (FDepth > 0 || count < 2) {
        TDeviceContext::Polygon(points, count);
        return;
    }
    TCall call(*this);
    call.BoundsAt(FBody.size() + 8);
    WritePolyRecord(EMR_POLYGON16, EMR_POLYGON, points, count);
    TDeviceContext::Polygon(points, count);
}

void TMetafileDC::PolyPolygon(const TPoint* points, const int* counts, int polygons)
{
    if (FDepth > 0 || polygons < 1) {
        TDeviceContext::PolyPolygon(points, counts, polygons);
        return;
    }
    TCall call(*this);
    int64_t total = 0;
    for (int k = 0; k < polygons; ++k)
        total += std::max(counts[k], 0);
    const int count = static_cast<int>(total);
    const bool narrow = Fits16(points, count);
    const qsizetype at = BeginRecord(FBody, narrow ? EMR_POLYPOLYGON16 : EMR_POLYPOLYGON);
    call.BoundsAt(at + 8);
    PutPixelRect(FBody, QRect());
    Put32(FBody, static_cast<uint32_t>(polygons));
    Put32(FBody, static_cast<uint32_t>(count));
    for (int k = 0; k < polygons; ++k)
        Put32(FBody, static_cast<uint32_t>(std::max(counts[k], 0)));
    PutPoints(FBody, points, count, !narrow);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::PolyPolygon(points, counts, polygons);
}

namespace {

void PutBox(QByteArray& out, int l, int t, int r, int b)
{
    PutI32(out, l);
    PutI32(out, t);
    PutI32(out, r);
    PutI32(out, b);
}

} // namespace

void TMetafileDC::Arc(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    if (FDepth > 0) {
        TDeviceContext::Arc(l, t, r, b, xStart, yStart, xEnd, yEnd);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_ARC);
    PutBox(FBody, l, t, r, b);
    PutBox(FBody, xStart, yStart, xEnd, yEnd);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::Arc(l, t, r, b, xStart, yStart, xEnd, yEnd);
}

void TMetafileDC::ArcTo(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    if (FDepth > 0) {
        TDeviceContext::ArcTo(l, t, r, b, xStart, yStart, xEnd, yEnd);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_ARCTO);
    PutBox(FBody, l, t, r, b);
    PutBox(FBody, xStart, yStart, xEnd, yEnd);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::ArcTo(l, t, r, b, xStart, yStart, xEnd, yEnd);
}

void TMetafileDC::Rectangle(int l, int t, int r, int b)
{
    if (FDepth > 0) {
        TDeviceContext::Rectangle(l, t, r, b);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_RECTANGLE);
    PutBox(FBody, l, t, r, b);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::Rectangle(l, t, r, b);
}

void TMetafileDC::RoundRect(int l, int t, int r, int b, int width, int height)
{
    if (FDepth > 0) {
        TDeviceContext::RoundRect(l, t, r, b, width, height);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_ROUNDRECT);
    PutBox(FBody, l, t, r, b);
    PutI32(FBody, width);
    PutI32(FBody, height);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::RoundRect(l, t, r, b, width, height);
}

void TMetafileDC::Ellipse(int l, int t, int r, int b)
{
    if (FDepth > 0) {
        TDeviceContext::Ellipse(l, t, r, b);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_ELLIPSE);
    PutBox(FBody, l, t, r, b);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::Ellipse(l, t, r, b);
}

void TMetafileDC::Pie(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    if (FDepth > 0) {
        TDeviceContext::Pie(l, t, r, b, xStart, yStart, xEnd, yEnd);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_PIE);
    PutBox(FBody, l, t, r, b);
    PutBox(FBody, xStart, yStart, xEnd, yEnd);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::Pie(l, t, r, b, xStart, yStart, xEnd, yEnd);
}

void TMetafileDC::Chord(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    if (FDepth > 0) {
        TDeviceContext::Chord(l, t, r, b, xStart, yStart, xEnd, yEnd);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_CHORD);
    PutBox(FBody, l, t, r, b);
    PutBox(FBody, xStart, yStart, xEnd, yEnd);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::Chord(l, t, r, b, xStart, yStart, xEnd, yEnd);
}

void TMetafileDC::FillRect(const TRect& rect, const TLogBrush& brush)
{
    if (FDepth > 0) {
        TDeviceContext::FillRect(rect, brush);
        return;
    }
    TCall call(*this);
    TDeviceContext::FillRect(rect, brush); // EMR_FILLRGN from EngineFillRegion
}

void TMetafileDC::FillRgn(const TRegion& region, const TLogBrush& brush)
{
    if (FDepth > 0) {
        TDeviceContext::FillRgn(region, brush);
        return;
    }
    TCall call(*this);
    TDeviceContext::FillRgn(region, brush);
}

void TMetafileDC::PatBlt(int x, int y, int width, int height, uint32_t rop)
{
    if (FDepth > 0) {
        TDeviceContext::PatBlt(x, y, width, height, rop);
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_BITBLT);
    call.BoundsAt(at + 8);
    PutPixelRect(FBody, QRect());
    PutI32(FBody, x);
    PutI32(FBody, y);
    PutI32(FBody, width);
    PutI32(FBody, height);
    Put32(FBody, rop);
    PutI32(FBody, 0);
    PutI32(FBody, 0);
    for (float m : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f})
        PutFloat(FBody, m);
    for (int i = 0; i < 6; ++i) // background colour, usage and an absent bitmap
        Put32(FBody, 0);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::PatBlt(x, y, width, height, rop);
}

void TMetafileDC::TextOut(int x, int y, const QString& text)
{
    if (FDepth > 0 || text.isEmpty()) {
        TDeviceContext::TextOut(x, y, text);
        return;
    }
    TCall call(*this);
    const std::vector<int32_t> advances = CharacterAdvances(Font(), text, TextCharacterExtra());
    const uint32_t count = static_cast<uint32_t>(text.size());
    const uint32_t stringAt = 76;
    const uint32_t dxAt = stringAt + ((count * 2 + 3) / 4) * 4;
    const qsizetype at = BeginRecord(FBody, EMR_EXTTEXTOUTW);
    call.BoundsAt(at + 8);
    PutPixelRect(FBody, QRect());
    Put32(FBody, GM_COMPATIBLE);
    const float scaleX = static_cast<float>(2540.0 / FDpiX), scaleY = static_cast<float>(2540.0 / FDpiY);
    PutFloat(FBody, scaleX); // hundredths of a millimetre per pixel
    PutFloat(FBody, scaleY);
    PutI32(FBody, x);
    PutI32(FBody, y);
    Put32(FBody, count);
    Put32(FBody, stringAt);
    Put32(FBody, 0); // options
    PutBox(FBody, 0, 0, -1, -1);
    Put32(FBody, dxAt);
    for (QChar c : text)
        Put16(FBody, c.unicode());
    PadTo(FBody, 4);
    for (int32_t advance : advances)
        PutI32(FBody, advance);
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::TextOut(x, y, text);
}

void TMetafileDC::SetPixel(int x, int y, TColor color)
{
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_SETPIXELV);
    PutI32(FBody, x);
    PutI32(FBody, y);
    Put32(FBody, ColorRef(color));
    EndRecord(FBody, at, FRecordCount);
    const QPointF p = ToDevice(x, y);
    InkExact(QRect(ClampRound(p.x()), ClampRound(p.y()), 1, 1));
}

TColor TMetafileDC::GetPixel(int, int) const
{
    return clNone;
}

bool TMetafileDC::ExtFloodFill(int x, int y, TColor color, int type)
{
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_EXTFLOODFILL);
    PutI32(FBody, x);
    PutI32(FBody, y);
    Put32(FBody, ColorRef(color));
    Put32(FBody, static_cast<uint32_t>(type));
    EndRecord(FBody, at, FRecordCount);
    return true;
}

void TMetafileDC::StretchBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy, int sw,
                             int sh, uint32_t rop)
{
    const QImage* pixels = source.Image();
    if (FDepth > 0 || !pixels || width == 0 || height == 0) {
        TDeviceContext::StretchBlt(x, y, width, height, source, sx, sy, sw, sh, rop);
        return;
    }
    const TPoint a = source.LPtoDP({sx, sy}), b = source.LPtoDP({sx + sw, sy + sh});
    const QRect from = QRectF(QPointF(a.X, a.Y), QPointF(b.X, b.Y)).normalized().toRect();
    const QImage part = pixels->copy(from);
    if (part.isNull())
        return;
    TCall call(*this);
    call.BoundsAt(FBody.size() + 8);
    WriteImageRecord({x, y, x + width, y + height}, part, {}, rop);
    TDeviceContext::StretchBlt(x, y, width, height, source, sx, sy, sw, sh, rop);
}

void TMetafileDC::DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent)
{
    if (FDepth > 0 || image.isNull()) {
        TDeviceContext::DrawImage(dest, image, transparent);
        return;
    }
    TCall call(*this);
    call.BoundsAt(FBody.size() + 8);
    WriteImageRecord(dest, image, transparent, SRCCOPY);
    TDeviceContext::DrawImage(dest, image, transparent);
}

// --- Clipping and paths ---

int TMetafileDC::SelectClipRgn(const TRegion* region)
{
    return ExtSelectClipRgn(region, RGN_COPY);
}

int TMetafileDC::ExtSelectClipRgn(const TRegion* region, int mode)
{
    if (FDepth > 0)
        return TDeviceContext::ExtSelectClipRgn(region, mode);
    if (mode < RGN_AND || mode > RGN_COPY || (!region && mode != RGN_COPY))
        return TDeviceContext::ExtSelectClipRgn(region, mode);
    TCall call(*this);
    WriteClipRecord(region, mode);
    const int kind = TDeviceContext::ExtSelectClipRgn(region, mode);
    FRecorded.Clip = ClipRegion();
    return kind;
}

int TMetafileDC::IntersectClipRect(int l, int t, int r, int b)
{
    if (FDepth > 0)
        return TDeviceContext::IntersectClipRect(l, t, r, b);
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_INTERSECTCLIPRECT);
    PutBox(FBody, l, t, r, b);
    EndRecord(FBody, at, FRecordCount);
    const int kind = TDeviceContext::IntersectClipRect(l, t, r, b);
    FRecorded.Clip = ClipRegion();
    return kind;
}

namespace {

void PutEmpty(QByteArray& out, uint32_t type, uint32_t& count)
{
    const qsizetype at = BeginRecord(out, type);
    EndRecord(out, at, count);
}

} // namespace

void TMetafileDC::BeginPath()
{
    if (FDepth > 0) {
        TDeviceContext::BeginPath();
        return;
    }
    TCall call(*this);
    PutEmpty(FBody, EMR_BEGINPATH, FRecordCount);
    TDeviceContext::BeginPath();
}

void TMetafileDC::EndPath()
{
    if (FDepth > 0) {
        TDeviceContext::EndPath();
        return;
    }
    TCall call(*this);
    PutEmpty(FBody, EMR_ENDPATH, FRecordCount);
    TDeviceContext::EndPath();
}

void TMetafileDC::AbortPath()
{
    if (FDepth > 0) {
        TDeviceContext::AbortPath();
        return;
    }
    TCall call(*this);
    PutEmpty(FBody, EMR_ABORTPATH, FRecordCount);
    TDeviceContext::AbortPath();
}

void TMetafileDC::CloseFigure()
{
    if (FDepth > 0) {
        TDeviceContext::CloseFigure();
        return;
    }
    TCall call(*this);
    PutEmpty(FBody, EMR_CLOSEFIGURE, FRecordCount);
    TDeviceContext::CloseFigure();
}

void TMetafileDC::WidenPath()
{
    if (FDepth > 0) {
        TDeviceContext::WidenPath();
        return;
    }
    TCall call(*this);
    PutEmpty(FBody, EMR_WIDENPATH, FRecordCount);
    TDeviceContext::WidenPath();
}

void TMetafileDC::StrokePath()
{
    if (FDepth > 0) {
        TDeviceContext::StrokePath();
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_STROKEPATH);
    call.BoundsAt(at + 8);
    PutPixelRect(FBody, QRect());
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::StrokePath();
}

void TMetafileDC::FillPath()
{
    if (FDepth > 0) {
        TDeviceContext::FillPath();
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_FILLPATH);
    call.BoundsAt(at + 8);
    PutPixelRect(FBody, QRect());
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::FillPath();
}

void TMetafileDC::StrokeAndFillPath()
{
    if (FDepth > 0) {
        TDeviceContext::StrokeAndFillPath();
        return;
    }
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_STROKEANDFILLPATH);
    call.BoundsAt(at + 8);
    PutPixelRect(FBody, QRect());
    EndRecord(FBody, at, FRecordCount);
    TDeviceContext::StrokeAndFillPath();
}

int TMetafileDC::SelectClipPath(int mode)
{
    if (FDepth > 0)
        return TDeviceContext::SelectClipPath(mode);
    TCall call(*this);
    const qsizetype at = BeginRecord(FBody, EMR_SELECTCLIPPATH);
    Put32(FBody, static_cast<uint32_t>(mode));
    EndRecord(FBody, at, FRecordCount);
    const int kind = TDeviceContext::SelectClipPath(mode);
    FRecorded.Clip = ClipRegion();
    return kind;
}

// --- Playback ----------------------------------------------------------------------------------

namespace {

// What the players share: the target and the way from the file's logical
// coordinates to the target's pixels (the file's own mapping, then the
// stretch of the frame onto the destination), the file's clip, the saved
// states, and the conversions of objects to the target's scale.
//
// A player runs twice over a file: first without a target (every record
// decoded and checked, nothing drawn), then onto the target.
class TPlayer {
public:
    TPlayer() = default;
    virtual ~TPlayer() = default;
    TPlayer(const TPlayer&) = delete;
    TPlayer& operator=(const TPlayer&) = delete;

protected:
    bool Drawing() const { return FTarget != nullptr; }
    TDeviceContext& Target() const { return *FTarget; }

    // Starts drawing: frame (reference units, right and bottom exclusive)
    // onto dest (the target's logical coordinates), the file's state new.
    void Open(TDeviceContext& target, const TRect& frame, const TRect& dest)
    {
        FTarget = &target;
        FSavedTarget = Capture(target);
        const TPoint a = target.LPtoDP(dest.TopLeft()), b = target.LPtoDP(dest.BottomRight());
        FScaleX = double(b.X - a.X) / frame.Width();
        FScaleY = double(b.Y - a.Y) / frame.Height();
        FOffsetX = a.X - frame.Left * FScaleX;
        FOffsetY = a.Y - frame.Top * FScaleY;
        ResetState(frame);
        FBaseClip = target.ClipRegion();
        // The file draws in the target's pixels; its own state starts from
        // the defaults of a new device.
        TStateSnapshot start;
        start.Font = ScaledFont(TLogFont());
        start.BrushOrg = {ClampRound(FOffsetX), ClampRound(FOffsetY)};
        start.Position = target.CurrentPosition();
        start.Clip = FBaseClip;
        Restore(target, start);
    }

    // Puts the target's state back.
    void Close()
    {
        if (FTarget)
            Restore(*FTarget, FSavedTarget);
        FTarget = nullptr;
    }

    // Forgets the file's state (between the checking and the drawing run).
    void ResetState(const TRect& window)
    {
        FMap.ResetDefaults();
        FFixedScale = false;
        SetInitialMapping(window);
        FClip.reset();
        FFont = TLogFont();
        FSaved.clear();
        UpdateTransform();
    }

    virtual void SetInitialMapping(const TRect&) {}

    void UpdateTransform() { FTotal = FMap.Mapping() * QTransform(FScaleX, 0, 0, FScaleY, FOffsetX, FOffsetY); }

    // Logical coordinates of the file to the target's pixels.
    TPoint Out(double x, double y) const
    {
        const QPointF p = FTotal.map(QPointF(x, y));
        return {ClampRound(p.x()), ClampRound(p.y())};
    }
    // Pixels of the reference device to the target's pixels.
    TPoint DeviceOut(double x, double y) const
    {
        return {ClampRound(x * FScaleX + FOffsetX), ClampRound(y * FScaleY + FOffsetY)};
    }
    int LengthX(double v) const { return ClampRound(v * std::fabs(FTotal.m11())); }
    int LengthY(double v) const { return ClampRound(v * std::fabs(FTotal.m22())); }

    TRegion RegionOut(const TRegion& region) const
    {
        if (FScaleX == 1.0 && FScaleY == 1.0 && FOffsetX == std::round(FOffsetX) && FOffsetY == std::round(FOffsetY))
            return region.translated(ClampRound(FOffsetX), ClampRound(FOffsetY));
        std::vector<QRect> rects;
        for (const QRect& r : region) {
            const TPoint a = DeviceOut(r.left(), r.top());
            const TPoint b = DeviceOut(r.left() + double(r.width()), r.top() + double(r.height()));
            const QRect scaled = QRect(QPoint(std::min(a.X, b.X), std::min(a.Y, b.Y)),
                                       QPoint(std::max(a.X, b.X) - 1, std::max(a.Y, b.Y) - 1));
            if (!scaled.isEmpty())
                rects.push_back(scaled);
        }
        return RegionFromRects(rects, 0, rects.size());
    }

    // Pen widths and dashes are device pixels of the reference device.
    TLogPen ScaledPen(const TLogPen& pen) const
    {
        const double scale = (std::fabs(FScaleX) + std::fabs(FScaleY)) / 2.0;
        TLogPen scaled = pen;
        scaled.Width = std::clamp(pen.Width, 1, kMaxPenWidth);
        if (scale == 1.0 || !pen.Geometric)
            return scaled;
        scaled.Width = std::clamp(ClampRound(scaled.Width * scale), 1, kMaxPenWidth);
        for (uint32_t& entry : scaled.UserStyle)
            entry = static_cast<uint32_t>(std::max(1, ClampRound(entry * scale)));
        return scaled;
    }

    // Font heights are logical: through the file's mapping and the stretch.
    TLogFont ScaledFont(const TLogFont& font) const
    {
        TLogFont scaled = font;
        const double scale = std::fabs(FTotal.m22());
        if (scale != 1.0 && font.Height != 0) {
            scaled.Height = ClampRound(font.Height * scale);
            if (scaled.Height == 0)
                scaled.Height = font.Height < 0 ? -1 : 1;
        }
        scaled.Height = std::clamp(scaled.Height, -kMaxFontHeight, kMaxFontHeight);
        return scaled;
    }

    void SelectFont(const TLogFont& logical)
    {
        FFont = logical;
        if (Drawing())
            Target().SelectFont(ScaledFont(logical));
    }

    // Text at a logical point; advances (logical, one per character) carry
    // the spacing, which the target gets as extra character spacing.
    void Text(int x, int y, const QString& text, const std::vector<int32_t>& advances)
    {
        if (!Drawing() || text.isEmpty())
            return;
        TDeviceContext& dc = Target();
        const TLogFont font = ScaledFont(FFont);
        if (!(dc.Font() == font))
            dc.SelectFont(font);
        int extra = 0;
        if (!advances.empty()) {
            int64_t sum = 0;
            for (int32_t a : advances)
                sum += a;
            const double spacing = double(sum - NaturalWidth(FFont, text)) / double(text.size());
            extra = ClampRound(spacing * std::fabs(FTotal.m11()));
        }
        const TPoint p = Out(x, y);
        dc.SetTextCharacterExtra(extra);
        dc.TextOut(p.X, p.Y, text);
        dc.SetTextCharacterExtra(0);
    }

    void PlayImage(const QImage& image, const QRect& source, double x, double y, double w, double h, uint32_t rop,
                   std::optional<TColor> transparent)
    {
        if (!Drawing() || image.isNull())
            return;
        const QRect part = source.intersected(image.rect());
        if (part.isEmpty())
            return;
        const QImage pixels = part == image.rect() ? image : image.copy(part);
        const TPoint a = Out(x, y), b = Out(x + w, y + h);
        if (rop == SRCCOPY || transparent) {
            Target().DrawImage({a.X, a.Y, b.X, b.Y}, pixels, transparent);
            return;
        }
        QImage copy = pixels.convertToFormat(QImage::Format_RGB32);
        TPainterDC sourceDC(copy);
        Target().StretchBlt(a.X, a.Y, b.X - a.X, b.Y - a.Y, sourceDC, 0, 0, copy.width(), copy.height(), rop);
    }

    // --- Clipping: the file's clip (target pixels) within the target's own.
    void ApplyClip()
    {
        if (!Drawing())
            return;
        std::optional<TRegion> effective = FClip;
        if (FClip && FBaseClip)
            effective = FClip->intersected(*FBaseClip);
        else if (!FClip)
            effective = FBaseClip;
        Target().SelectClipRgn(effective ? &*effective : nullptr);
    }

    void CombineClip(const std::optional<TRegion>& region, int mode)
    {
        if (!Drawing())
            return;
        if (mode == RGN_COPY) {
            FClip = region;
        } else if (region && mode >= RGN_AND && mode <= RGN_DIFF) {
            const TRegion whole = FClip ? *FClip : TRegion(Target().DeviceBounds());
            FClip = CombineRgn(whole, *region, mode);
        } else {
            return;
        }
        ApplyClip();
    }

    TRegion RectOut(double l, double t, double r, double b) const
    {
        const TPoint a = Out(l, t), c = Out(r, b);
        return CreateRectRgn(a.X, a.Y, c.X, c.Y);
    }

    void ClipPath(int mode)
    {
        if (!Drawing() || Target().InPath())
            return;
        QPainterPath path = Target().CurrentPath();
        path.setFillRule(Target().PolyFillMode() == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        Target().AbortPath();
        // Only the part on the device counts; a far larger path would be
        // rasterised in vain.
        const QRect device = Target().DeviceBounds().adjusted(-1, -1, 1, 1);
        if (!device.contains(path.controlPointRect().toAlignedRect())) {
            QPainterPath area;
            area.addRect(device);
            path = path.intersected(area);
        }
        CombineClip(RegionFromPath(path), mode);
    }

    // --- Saved states.
    void SaveState()
    {
        if (!Drawing() || FSaved.size() >= kMaxSavedStates)
            return;
        FSaved.push_back({Capture(Target()), Capture(FMap), FClip, FFont, FFixedScale});
    }

    void RestoreState(int relative)
    {
        if (!Drawing())
            return;
        const int64_t count = static_cast<int64_t>(FSaved.size());
        const int64_t index = relative < 0 ? count + relative : int64_t(relative) - 1;
        if (index < 0 || index >= count)
            return;
        const TSaved saved = FSaved[static_cast<size_t>(index)];
        FSaved.resize(static_cast<size_t>(index));
        Restore(Target(), saved.Target);
        Restore(FMap, saved.Mapping);
        FClip = saved.Clip;
        FFont = saved.Font;
        FFixedScale = saved.FixedScale;
        UpdateTransform();
        ApplyClip();
    }

    struct TSaved {
        TStateSnapshot Target;
        TStateSnapshot Mapping;
        std::optional<TRegion> Clip;
        TLogFont Font;
        bool FixedScale = false;
    };

    TDeviceContext* FTarget = nullptr;
    TStateSnapshot FSavedTarget;
    TMappingTracker FMap;
    bool FFixedScale = false; // a metric or English mapping mode: extents are fixed
    QTransform FTotal;
    double FScaleX = 1, FScaleY = 1, FOffsetX = 0, FOffsetY = 0;
    std::optional<TRegion> FClip;
    std::optional<TRegion> FBaseClip;
    TLogFont FFont; // the selected font as the file gives it
    std::vector<TSaved> FSaved;
};

// The logical units per inch of the fixed mapping modes.
int FixedUnitsPerInch(int mode)
{
    switch (mode) {
    case MM_LOMETRIC: return 254;
    case MM_HIMETRIC: return 2540;
    case MM_LOENGLISH: return 100;
    case MM_HIENGLISH: return 1000;
    case MM_TWIPS: return 1440;
    default: return 0;
    }
}

TLogBrush StockBrush(uint32_t index)
{
    switch (index) {
    case LTGRAY_BRUSH: return CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
    case GRAY_BRUSH: return CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    case DKGRAY_BRUSH: return CreateSolidBrush(RGB(0x40, 0x40, 0x40));
    case BLACK_BRUSH: return CreateSolidBrush(clBlack);
    case NULL_BRUSH: return NullBrush();
    case DC_BRUSH: {
        TLogBrush brush;
        brush.Kind = TBrushKind::DCBrush;
        return brush;
    }
    default: return CreateSolidBrush(clWhite);
    }
}

// Objects of a file's object table.
struct TObject {
    enum TKind { Pen, Brush, Font, Other } Kind = Other;
    TLogPen PenValue;
    TLogBrush BrushValue;
    TLogFont FontValue;
};

// --- The EMF player ---

class TEmfPlayer : public TPlayer {
public:
    explicit TEmfPlayer(const QByteArray& emf) : FData(emf)
    {
        FHeader = ReadEnhMetaHeader(emf);
        const auto* data = reinterpret_cast<const uchar*>(emf.constData());
        const uint64_t end = FHeader.Bytes;
        uint64_t at = 0;
        bool eof = false;
        while (!eof) {
            if (end - at < 8)
                Fail(false, "the file is truncated after record " + Num(static_cast<long long>(FRecords.size())) +
                                " (the end-of-file record is missing)");
            const TView head(data + at, 8, false, static_cast<long long>(FRecords.size()), 0);
            const uint32_t type = head.U32(0), size = head.U32(4);
            if (size < 8 || size % 4 != 0)
                Fail(false, "record " + Num(static_cast<long long>(FRecords.size())) + " at offset " +
                                Num(static_cast<long long>(at)) + " has an invalid size " + Num(size));
            if (size > end - at)
                Fail(false, "record " + Num(static_cast<long long>(FRecords.size())) + " at offset " +
                                Num(static_cast<long long>(at)) + " (" + Num(size) +
                                " bytes) runs past the end of the file");
            if (FRecords.empty() && type != EMR_HEADER)
                Fail(false, "the first record is not a header");
            FRecords.push_back({at, size, type});
            eof = type == EMR_EOF;
            at += size;
        }
    }

    // Decodes and checks every record without drawing.
    void Check()
    {
        FTarget = nullptr;
        ResetState({});
        Run();
    }

    void Play(TDeviceContext& target, const TRect& dest)
    {
        TRect frame = FHeader.FramePixels();
        if (frame.Width() <= 0 || frame.Height() <= 0)
            frame = {FHeader.Bounds.Left, FHeader.Bounds.Top, FHeader.Bounds.Right + 1, FHeader.Bounds.Bottom + 1};
        if (frame.Width() <= 0 || frame.Height() <= 0 || dest.Width() == 0 || dest.Height() == 0)
            return; // no picture area: nothing to draw
        Open(target, frame, dest);
        try {
            Run();
        } catch (...) {
            Close();
            throw;
        }
        Close();
    }

private:
    struct TRecordRef {
        uint64_t Offset;
        uint32_t Size;
        uint32_t Type;
    };

    void Run()
    {
        FObjects.clear();
        const auto* data = reinterpret_cast<const uchar*>(FData.constData());
        for (size_t i = 1; i < FRecords.size(); ++i) {
            const TRecordRef& ref = FRecords[i];
            Record(TView(data + ref.Offset, ref.Size, false, static_cast<long long>(i), ref.Type), ref.Type);
        }
    }

    uint32_t CheckedIndex(const TView& r, uint32_t index) const
    {
        if (index == 0 || index >= FHeader.Handles)
            r.Fail("object index " + Num(index) + " is outside the object table of " + Num(FHeader.Handles) +
                   " entries");
        return index;
    }

    void Create(const TView& r, uint32_t index, TObject object)
    {
        FObjects[CheckedIndex(r, index)] = std::move(object);
    }

    void Select(const TView& r, uint32_t index)
    {
        TObject object;
        if (index & kStock) {
            const uint32_t stock = index & ~kStock;
            if (stock == WHITE_PEN || stock == BLACK_PEN || stock == NULL_PEN || stock == DC_PEN) {
                object.Kind = TObject::Pen;
                object.PenValue = stock == NULL_PEN    ? CreatePen(PS_NULL, 0, clBlack)
                                  : stock == WHITE_PEN ? CreatePen(PS_SOLID, 0, clWhite)
                                                       : TLogPen();
            } else if (stock <= NULL_BRUSH || stock == DC_BRUSH) {
                object.Kind = TObject::Brush;
                object.BrushValue = StockBrush(stock);
            } else if (stock >= 10 && stock <= 17 && stock != 15) {
                object.Kind = TObject::Font;
            } else {
                return;
            }
        } else {
            const auto found = FObjects.find(CheckedIndex(r, index));
            if (found == FObjects.end())
                return; // an empty entry: nothing changes
            object = found->second;
        }
        switch (object.Kind) {
        case TObject::Pen:
            if (Drawing())
                Target().SelectPen(ScaledPen(object.PenValue));
            break;
        case TObject::Brush:
            if (Drawing())
                Target().SelectBrush(object.BrushValue);
            break;
        case TObject::Font: SelectFont(object.FontValue); break;
        case TObject::Other: break;
        }
    }

    std::vector<TPoint> Points(const TView& r, uint64_t at, uint32_t count, bool wide) const
    {
        const uint64_t bytes = uint64_t(count) * (wide ? 8 : 4);
        if (at > r.Size() || bytes > r.Size() - at)
            r.Fail("its " + Num(count) + " points do not fit in the record");
        std::vector<TPoint> points;
        if (!Drawing())
            return points;
        points.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            if (wide)
                points.push_back(Out(r.I32(at + i * 8ull), r.I32(at + i * 8ull + 4)));
            else
                points.push_back(Out(r.I16(at + i * 4ull), r.I16(at + i * 4ull + 2)));
        }
        return points;
    }

    void PolyRecord(const TView& r, uint32_t type)
    {
        const bool wide = type < EMR_POLYBEZIER16;
        const uint32_t count = r.U32(24);
        const std::vector<TPoint> points = Points(r, 28, count, wide);
        if (!Drawing())
            return;
        TDeviceContext& dc = Target();
        const int n = static_cast<int>(points.size());
        switch (type) {
        case EMR_POLYBEZIER:
        case EMR_POLYBEZIER16: dc.PolyBezier(points.data(), n); break;
        case EMR_POLYGON:
        case EMR_POLYGON16: dc.Polygon(points.data(), n); break;
        case EMR_POLYLINE:
        case EMR_POLYLINE16: dc.Polyline(points.data(), n); break;
        case EMR_POLYLINETO:
        case EMR_POLYLINETO16: dc.PolylineTo(points.data(), n); break;
        default: { // Bézier from the current position
            if (n < 3 || n % 3 != 0)
                return;
            std::vector<TPoint> curve;
            curve.push_back(dc.CurrentPosition());
            curve.insert(curve.end(), points.begin(), points.end());
            dc.PolyBezier(curve.data(), static_cast<int>(curve.size()));
            dc.MoveTo(points.back().X, points.back().Y);
            break;
        }
        }
    }

    void PolyPolyRecord(const TView& r, uint32_t type)
    {
        const bool wide = type < EMR_POLYBEZIER16;
        const uint32_t polygons = r.U32(24);
        const uint32_t total = r.U32(28);
        if (polygons > (r.Size() - 32) / 4)
            r.Fail("its " + Num(polygons) + " polygon counts do not fit in the record");
        std::vector<int> counts;
        uint64_t sum = 0;
        for (uint32_t k = 0; k < polygons; ++k) {
            const uint32_t count = r.U32(32 + uint64_t(k) * 4);
            if (count > total)
                r.Fail("a polygon of " + Num(count) + " points in a record of " + Num(total));
            sum += count;
            counts.push_back(static_cast<int>(count));
        }
        if (sum != total)
            r.Fail("the polygon point counts add up to " + Num(static_cast<long long>(sum)) + ", not " + Num(total));
        const std::vector<TPoint> points = Points(r, 32 + uint64_t(polygons) * 4, total, wide);
        if (!Drawing())
            return;
        if (type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16) {
            Target().PolyPolygon(points.data(), counts.data(), static_cast<int>(counts.size()));
            return;
        }
        size_t offset = 0;
        for (int count : counts) {
            Target().Polyline(points.data() + offset, count);
            offset += static_cast<size_t>(count);
        }
    }

    // The bitmap of a block transfer; nullopt when there is none to draw.
    std::optional<QImage> Bitmap(const TView& r, uint32_t infoAt, uint32_t infoSize, uint32_t bitsAt, uint32_t bitsSize,
                                 uint32_t usage, TDibMode mode)
    {
        return ReadDib(r, infoAt, infoSize, bitsAt, bitsSize, usage, mode, Drawing());
    }

    // Source rectangles count from the bitmap's first row in memory: the
    // bottom row of a bottom-up bitmap.
    static QRect SourceRect(const TView& r, uint64_t infoAt, int x, int y, int w, int h)
    {
        const int32_t height = r.I32(infoAt + 8);
        if (height > 0)
            return QRect(x, height - y - h, w, h).normalized();
        return QRect(x, y, w, h).normalized();
    }

    void TextRecord(const TView& r, bool wide)
    {
        const int32_t x = r.I32(36), y = r.I32(40);
        const uint32_t count = r.U32(44);
        const uint32_t stringAt = r.U32(48);
        const uint32_t options = r.U32(52);
        const uint32_t dxAt = r.U32(72);
        const uchar* chars = r.Bytes(stringAt, uint64_t(count) * (wide ? 2 : 1), "the text");
        const uint64_t entries = uint64_t(count) * ((options & ETO_PDY) ? 2 : 1);
        if (dxAt != 0)
            r.Need(dxAt, entries * 4, "the character advances");
        if (!Drawing() || count == 0 || (options & ETO_GLYPH_INDEX))
            return;
        QString text;
        text.reserve(static_cast<qsizetype>(count));
        for (uint32_t i = 0; i < count; ++i)
            text.append(wide ? QChar(static_cast<char16_t>(chars[i * 2] | (chars[i * 2 + 1] << 8)))
                             : QChar(static_cast<char16_t>(chars[i])));
        std::vector<int32_t> advances;
        if (dxAt != 0)
            for (uint32_t i = 0; i < count; ++i)
                advances.push_back(r.I32(dxAt + uint64_t(i) * ((options & ETO_PDY) ? 8 : 4)));
        if (options & ETO_OPAQUE) {
            const TPoint a = Out(r.I32(56), r.I32(60)), b = Out(r.I32(64), r.I32(68));
            Target().FillRect({std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)},
                              CreateSolidBrush(Target().BkColor()));
        }
        Text(x, y, text, advances);
    }

    void MapMode(int mode)
    {
        if (const int units = FixedUnitsPerInch(mode)) {
            FMap.SetMapMode(MM_ANISOTROPIC);
            FMap.SetWindowExt(units, units);
            FMap.SetViewportExt(ClampRound(FHeader.PixelsPerInchX()), -ClampRound(FHeader.PixelsPerInchY()));
            FFixedScale = true;
        } else if (mode == MM_TEXT || mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC) {
            FMap.SetMapMode(mode);
            FFixedScale = false;
        }
        UpdateTransform();
    }

    void Record(const TView& r, uint32_t type)
    {
        TDeviceContext* dc = FTarget;
        switch (type) {
        // --- State
        case EMR_SETMAPMODE: MapMode(r.I32(8)); break;
        case EMR_SETWINDOWEXTEX:
        case EMR_SETVIEWPORTEXTEX:
        case EMR_SETWINDOWORGEX:
        case EMR_SETVIEWPORTORGEX: {
            const int32_t a = r.I32(8), b = r.I32(12);
            if (type == EMR_SETWINDOWORGEX)
                FMap.SetWindowOrg(a, b);
            else if (type == EMR_SETVIEWPORTORGEX)
                FMap.SetViewportOrg(a, b);
            else if (!FFixedScale && type == EMR_SETWINDOWEXTEX)
                FMap.SetWindowExt(a, b);
            else if (!FFixedScale)
                FMap.SetViewportExt(a, b);
            UpdateTransform();
            break;
        }
        case EMR_SETBRUSHORGEX: {
            const TPoint p = DeviceOut(r.I32(8), r.I32(12));
            if (dc)
                dc->SetBrushOrg(p.X, p.Y);
            break;
        }
        case EMR_SETTEXTCOLOR:
            if (dc)
                dc->SetTextColor(FromColorRef(r.U32(8)));
            break;
        case EMR_SETBKCOLOR:
            if (dc)
                dc->SetBkColor(FromColorRef(r.U32(8)));
            break;
        case EMR_SETBKMODE:
            if (dc)
                dc->SetBkMode(r.I32(8));
            break;
        case EMR_SETTEXTALIGN:
            if (dc)
                dc->SetTextAlign(r.U32(8));
            break;
        case EMR_SETROP2:
            if (dc)
                dc->SetROP2(r.I32(8));
            break;
        case EMR_SETPOLYFILLMODE:
            if (dc)
                dc->SetPolyFillMode(r.I32(8));
            break;
        case EMR_SETARCDIRECTION:
            if (dc)
                dc->SetArcDirection(r.I32(8));
            break;
        case EMR_SAVEDC: SaveState(); break;
        case EMR_RESTOREDC: RestoreState(r.I32(8)); break;

        // --- Objects
        case EMR_CREATEPEN: {
            TObject pen;
            pen.Kind = TObject::Pen;
            pen.PenValue =
                CreatePen(r.I32(12) & PS_STYLE_MASK, std::clamp(r.I32(16), 0, kMaxPenWidth), FromColorRef(r.U32(24)));
            Create(r, r.U32(8), pen);
            break;
        }
        case EMR_EXTCREATEPEN: {
            const uint32_t style = r.U32(28);
            const uint32_t entries = r.U32(48);
            if (entries > (r.Size() - std::min<uint64_t>(r.Size(), 52)) / 4)
                r.Fail("its " + Num(entries) + " style entries do not fit in the record");
            std::vector<uint32_t> userStyle;
            for (uint32_t i = 0; i < entries && i < kMaxPenStyleEntries; ++i)
                userStyle.push_back(r.U32(52 + uint64_t(i) * 4));
            TObject pen;
            pen.Kind = TObject::Pen;
            pen.PenValue =
                ExtCreatePen(static_cast<int>(style & (PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK | PS_GEOMETRIC)),
                             std::clamp(r.I32(32), 0, kMaxPenWidth), FromColorRef(r.U32(40)), std::move(userStyle));
            Create(r, r.U32(8), pen);
            break;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            const uint32_t style = r.U32(12);
            const TColor color = FromColorRef(r.U32(16));
            TObject brush;
            brush.Kind = TObject::Brush;
            brush.BrushValue = style == BS_NULL      ? NullBrush()
                               : style == BS_HATCHED ? CreateHatchBrush(static_cast<int>(r.U32(20)), color)
                                                     : CreateSolidBrush(color);
            Create(r, r.U32(8), brush);
            break;
        }
        case EMR_CREATEMONOBRUSH:
        case EMR_CREATEDIBPATTERNBRUSHPT: {
            const std::optional<QImage> pattern =
                Bitmap(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28), r.U32(12),
                       type == EMR_CREATEMONOBRUSH ? TDibMode::Mono : TDibMode::Colours);
            TObject brush;
            brush.Kind = TObject::Brush;
            brush.BrushValue = pattern ? CreatePatternBrush(*pattern) : CreateSolidBrush(clGray);
            Create(r, r.U32(8), brush);
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW: {
            r.Need(12, kLogFontSize, "the font");
            TObject font;
            font.Kind = TObject::Font;
            TLogFont& f = font.FontValue;
            f.Height = r.I32(12);
            f.Escapement = r.I32(20);
            f.Orientation = r.I32(24);
            f.Weight = r.I32(28);
            f.Italic = r.U8(32) != 0;
            f.Underline = r.U8(33) != 0;
            f.StrikeOut = r.U8(34) != 0;
            f.CharSet = r.U8(35);
            f.OutPrecision = r.U8(36);
            f.Quality = r.U8(38);
            f.FaceName.clear();
            for (int i = 0; i < 32; ++i) {
                const uint16_t c = r.U16(40 + uint64_t(i) * 2);
                if (c == 0)
                    break;
                f.FaceName.append(QChar(static_cast<char16_t>(c)));
            }
            Create(r, r.U32(8), font);
            break;
        }
        case EMR_SELECTOBJECT: Select(r, r.U32(8)); break;
        case EMR_DELETEOBJECT: {
            const uint32_t index = r.U32(8);
            if (!(index & kStock))
                FObjects.erase(CheckedIndex(r, index));
            break;
        }

        // --- Lines and shapes
        case EMR_MOVETOEX:
        case EMR_LINETO: {
            const TPoint p = Out(r.I32(8), r.I32(12));
            if (dc) {
                if (type == EMR_MOVETOEX)
                    dc->MoveTo(p.X, p.Y);
                else
                    dc->LineTo(p.X, p.Y);
            }
            break;
        }
        case EMR_POLYBEZIER:
        case EMR_POLYGON:
        case EMR_POLYLINE:
        case EMR_POLYBEZIERTO:
        case EMR_POLYLINETO:
        case EMR_POLYBEZIER16:
        case EMR_POLYGON16:
        case EMR_POLYLINE16:
        case EMR_POLYBEZIERTO16:
        case EMR_POLYLINETO16: PolyRecord(r, type); break;
        case EMR_POLYPOLYLINE:
        case EMR_POLYPOLYGON:
        case EMR_POLYPOLYLINE16:
        case EMR_POLYPOLYGON16: PolyPolyRecord(r, type); break;
        case EMR_RECTANGLE:
        case EMR_ELLIPSE:
        case EMR_ROUNDRECT: {
            const TPoint a = Out(r.I32(8), r.I32(12)), b = Out(r.I32(16), r.I32(20));
            const int w = type == EMR_ROUNDRECT ? LengthX(r.I32(24)) : 0;
            const int h = type == EMR_ROUNDRECT ? LengthY(r.I32(28)) : 0;
            if (!dc)
                break;
            if (type == EMR_RECTANGLE)
                dc->Rectangle(a.X, a.Y, b.X, b.Y);
            else if (type == EMR_ELLIPSE)
                dc->Ellipse(a.X, a.Y, b.X, b.Y);
            else
                dc->RoundRect(a.X, a.Y, b.X, b.Y, w, h);
            break;
        }
        case EMR_ARC:
        case EMR_ARCTO:
        case EMR_PIE:
        case EMR_CHORD: {
            const TPoint a = Out(r.I32(8), r.I32(12)), b = Out(r.I32(16), r.I32(20));
            const TPoint s = Out(r.I32(24), r.I32(28)), e = Out(r.I32(32), r.I32(36));
            if (!dc)
                break;
            if (type == EMR_ARC)
                dc->Arc(a.X, a.Y, b.X, b.Y, s.X, s.Y, e.X, e.Y);
            else if (type == EMR_ARCTO)
                dc->ArcTo(a.X, a.Y, b.X, b.Y, s.X, s.Y, e.X, e.Y);
            else if (type == EMR_PIE)
                dc->Pie(a.X, a.Y, b.X, b.Y, s.X, s.Y, e.X, e.Y);
            else
                dc->Chord(a.X, a.Y, b.X, b.Y, s.X, s.Y, e.X, e.Y);
            break;
        }
        case EMR_SETPIXELV: {
            const TPoint p = Out(r.I32(8), r.I32(12));
            const TColor color = FromColorRef(r.U32(16));
            if (dc)
                dc->SetPixel(p.X, p.Y, color);
            break;
        }
        case EMR_EXTFLOODFILL: {
            const TPoint p = Out(r.I32(8), r.I32(12));
            const TColor color = FromColorRef(r.U32(16));
            const int mode = r.I32(20);
            if (dc)
                dc->ExtFloodFill(p.X, p.Y, color, mode);
            break;
        }
        case EMR_FILLRGN: {
            const uint32_t size = r.U32(24);
            const uint32_t index = r.U32(28);
            const TRegion region = ReadRegion(r, 32, size);
            TLogBrush brush;
            if (index & kStock) {
                brush = StockBrush(index & ~kStock);
            } else {
                const auto found = FObjects.find(CheckedIndex(r, index));
                if (found == FObjects.end() || found->second.Kind != TObject::Brush)
                    break;
                brush = found->second.BrushValue;
            }
            if (dc)
                dc->FillRgn(RegionOut(region), brush);
            break;
        }

        // --- Text
        case EMR_EXTTEXTOUTW: TextRecord(r, true); break;
        case EMR_EXTTEXTOUTA: TextRecord(r, false); break;

        // --- Block transfers
        case EMR_BITBLT:
        case EMR_STRETCHBLT:
        case EMR_TRANSPARENTBLT:
        case EMR_ALPHABLEND: {
            const int32_t x = r.I32(24), y = r.I32(28), w = r.I32(32), h = r.I32(36);
            const uint32_t rop = r.U32(40);
            const int32_t sx = r.I32(44), sy = r.I32(48);
            const uint32_t usage = r.U32(80), infoAt = r.U32(84), infoSize = r.U32(88);
            const uint32_t bitsAt = r.U32(92), bitsSize = r.U32(96);
            if (infoSize == 0) { // no bitmap: a pattern transfer
                if (type != EMR_BITBLT && type != EMR_STRETCHBLT)
                    r.Fail("a transfer without a bitmap");
                const TPoint a = Out(x, y), b = Out(double(x) + w, double(y) + h);
                if (dc)
                    dc->PatBlt(a.X, a.Y, b.X - a.X, b.Y - a.Y, rop);
                break;
            }
            const bool blend = type == EMR_ALPHABLEND && ((rop >> 24) & 1) != 0;
            const std::optional<QImage> image =
                Bitmap(r, infoAt, infoSize, bitsAt, bitsSize, usage, blend ? TDibMode::Alpha : TDibMode::Colours);
            const int32_t sw = type == EMR_BITBLT ? w : r.I32(100);
            const int32_t sh = type == EMR_BITBLT ? h : r.I32(104);
            if (!image || !dc)
                break;
            QImage pixels = *image;
            if (type == EMR_ALPHABLEND) {
                const int constant = (rop >> 16) & 0xFF;
                if (!blend)
                    pixels = pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
                if (constant != 255) {
                    QImage faded(pixels.size(), QImage::Format_ARGB32_Premultiplied);
                    faded.fill(Qt::transparent);
                    QPainter painter(&faded);
                    painter.setOpacity(constant / 255.0);
                    painter.drawImage(0, 0, pixels);
                    painter.end();
                    pixels = faded;
                }
            }
            const std::optional<TColor> key =
                type == EMR_TRANSPARENTBLT ? std::optional<TColor>(FromColorRef(rop)) : std::nullopt;
            PlayImage(pixels, SourceRect(r, infoAt, sx, sy, sw, sh), x, y, w, h,
                      type == EMR_ALPHABLEND || type == EMR_TRANSPARENTBLT ? SRCCOPY : rop, key);
            break;
        }
        case EMR_STRETCHDIBITS: {
            const int32_t x = r.I32(24), y = r.I32(28), sx = r.I32(32), sy = r.I32(36);
            const int32_t sw = r.I32(40), sh = r.I32(44);
            const uint32_t infoAt = r.U32(48), infoSize = r.U32(52), bitsAt = r.U32(56), bitsSize = r.U32(60);
            const uint32_t usage = r.U32(64), rop = r.U32(68);
            const int32_t w = r.I32(72), h = r.I32(76);
            const std::optional<QImage> image = Bitmap(r, infoAt, infoSize, bitsAt, bitsSize, usage, TDibMode::Colours);
            if (image && dc)
                PlayImage(*image, SourceRect(r, infoAt, sx, sy, sw, sh), x, y, w, h, rop, std::nullopt);
            break;
        }

        // --- Clipping
        case EMR_EXTSELECTCLIPRGN: {
            const uint32_t size = r.U32(8);
            const int mode = r.I32(12);
            std::optional<TRegion> region;
            if (size > 0)
                region = RegionOut(ReadRegion(r, 16, size));
            CombineClip(region, mode);
            break;
        }
        case EMR_INTERSECTCLIPRECT:
        case EMR_EXCLUDECLIPRECT: {
            const TRegion rect = RectOut(r.I32(8), r.I32(12), r.I32(16), r.I32(20));
            CombineClip(rect, type == EMR_INTERSECTCLIPRECT ? RGN_AND : RGN_DIFF);
            break;
        }
        case EMR_SELECTCLIPPATH: ClipPath(r.I32(8)); break;

        // --- Paths
        case EMR_BEGINPATH:
            if (dc)
                dc->BeginPath();
            break;
        case EMR_ENDPATH:
            if (dc)
                dc->EndPath();
            break;
        case EMR_ABORTPATH:
            if (dc)
                dc->AbortPath();
            break;
        case EMR_CLOSEFIGURE:
            if (dc)
                dc->CloseFigure();
            break;
        case EMR_FILLPATH:
            if (dc)
                dc->FillPath();
            break;
        case EMR_STROKEPATH:
            if (dc)
                dc->StrokePath();
            break;
        case EMR_STROKEANDFILLPATH:
            if (dc)
                dc->StrokeAndFillPath();
            break;
        case EMR_WIDENPATH:
            if (dc)
                dc->WidenPath();
            break;

        default: break; // records this reader does not draw are skipped
        }
    }

    const QByteArray& FData;
    TEnhMetaHeader FHeader;
    std::vector<TRecordRef> FRecords;
    std::map<uint32_t, TObject> FObjects;
};

} // namespace

void CheckEnhMetafile(const QByteArray& emf)
{
    TEmfPlayer player(emf);
    player.Check();
}

void PlayEnhMetafile(const QByteArray& emf, TDeviceContext& target, const TRect& dest)
{
    TEmfPlayer player(emf);
    player.Check();
    player.Play(target, dest);
}

// --- Windows Metafiles ----------------------------------------------------------------------

namespace {

enum TWmfFunction : uint16_t {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_RESTOREDC = 0x0127,
    META_SELECTCLIPREGION = 0x012C,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_CREATEPALETTE = 0x00F7,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_OFFSETWINDOWORG = 0x020F,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_FLOODFILL = 0x0419,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_EXTFLOODFILL = 0x0548,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_DIBSTRETCHBLT = 0x0B41,
    META_STRETCHDIB = 0x0F43,
};

constexpr uint32_t ETO_CLIPPED = 0x0004;
constexpr int kPlaceableHeaderSize = 22;
constexpr int kWmfHeaderSize = 18;

// A device context that writes what is drawn on it as WMF records. It is
// the target of the EMF player, which hands it pixels of the frame's
// reference device (the identity mapping), so logical units are the
// metafile's units. Shapes, lines, text and images map to their records;
// everything else (curves, paths, region fills) reaches the engine and is
// written as polygons, polylines and pattern blocks. Clips are written as an
// intersecting rectangle less excluded rectangles, inside a saved state
// that is restored for each new clip.
class TWmfWriterDC : public TDeviceContext {
public:
    TWmfWriterDC(const TRect& frame, int inch) : FFrame(frame), FInch(std::clamp(inch, 1, 0xFFFF))
    {
        Words(META_SETWINDOWORG, {Clamp16(frame.Top), Clamp16(frame.Left)});
        Words(META_SETWINDOWEXT, {Clamp16(frame.Height()), Clamp16(frame.Width())});
        Words(META_SAVEDC, {});
    }

    QByteArray Finish()
    {
        Words(META_EOF, {});
        QByteArray out;
        Put32(out, kPlaceableMetafileKey);
        Put16(out, 0);
        Put16(out, static_cast<uint16_t>(Clamp16(FFrame.Left)));
        Put16(out, static_cast<uint16_t>(Clamp16(FFrame.Top)));
        Put16(out, static_cast<uint16_t>(Clamp16(FFrame.Right)));
        Put16(out, static_cast<uint16_t>(Clamp16(FFrame.Bottom)));
        Put16(out, static_cast<uint16_t>(FInch));
        Put32(out, 0);
        uint16_t checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^=
                static_cast<uint16_t>(static_cast<uchar>(out[i * 2]) | (static_cast<uchar>(out[i * 2 + 1]) << 8));
        Put16(out, checksum);
        Put16(out, 1); // in memory
        Put16(out, 9); // header words
        Put16(out, 0x0300);
        Put32(out, static_cast<uint32_t>((kWmfHeaderSize + FBody.size()) / 2));
        Put16(out, static_cast<uint16_t>(std::min<size_t>(FSlots.size(), 0xFFFF)));
        Put32(out, FMaxRecord);
        Put16(out, 0);
        return out + FBody;
    }

    int GetDeviceCaps(int index) const override
    {
        switch (index) {
        case TECHNOLOGY: return DT_METAFILE;
        case LOGPIXELSX:
        case LOGPIXELSY: return FInch;
        case HORZRES: return FFrame.Width();
        case VERTRES: return FFrame.Height();
        default: return 0;
        }
    }
    QRect DeviceBounds() const override { return QRect(-32768, -32768, 65536, 65536); }
    TColor GetPixel(int, int) const override { return clNone; }

    void SetPixel(int x, int y, TColor color) override
    {
        Sync(false, false, false);
        const uint32_t c = ColorRef(color);
        Words(META_SETPIXEL, {int(c & 0xFFFF), int(c >> 16), Clamp16(y), Clamp16(x)});
    }

    void LineTo(int x, int y) override
    {
        if (InPath()) {
            TDeviceContext::LineTo(x, y);
            return;
        }
        Sync(true, false, false);
        Position(CurrentPosition());
        Words(META_LINETO, {Clamp16(y), Clamp16(x)});
        FState.Position = TPoint{x, y};
        TDeviceContext::MoveTo(x, y);
    }

    void Polyline(const TPoint* points, int count) override
    {
        if (InPath()) {
            TDeviceContext::Polyline(points, count);
            return;
        }
        if (count < 2)
            return;
        Sync(true, false, false);
        // Point counts are 16-bit: long lines are split into runs that share an end.
        for (int start = 0; start < count - 1; start += 0xFFFE) {
            const int n = std::min(count - start, 0xFFFF);
            PolyWords(META_POLYLINE, points + start, n);
        }
    }

    void Polygon(const TPoint* points, int count) override
    {
        if (InPath()) {
            TDeviceContext::Polygon(points, count);
            return;
        }
        if (count < 2)
            return;
        Sync(true, true, false);
        PolyWords(META_POLYGON, points, std::min(count, 0xFFFF));
    }

    void PolyPolygon(const TPoint* points, const int* counts, int polygons) override
    {
        if (InPath()) {
            TDeviceContext::PolyPolygon(points, counts, polygons);
            return;
        }
        if (polygons < 1)
            return;
        Sync(true, true, false);
        const int n = std::min(polygons, 0xFFFF);
        const qsizetype at = Begin(META_POLYPOLYGON);
        Put16(FBody, static_cast<uint16_t>(n));
        for (int k = 0; k < n; ++k)
            Put16(FBody, static_cast<uint16_t>(std::clamp(counts[k], 0, 0xFFFF)));
        int offset = 0;
        for (int k = 0; k < n; ++k) {
            const int count = std::clamp(counts[k], 0, 0xFFFF);
            for (int i = 0; i < count; ++i) {
                Put16(FBody, static_cast<uint16_t>(Clamp16(points[offset + i].X)));
                Put16(FBody, static_cast<uint16_t>(Clamp16(points[offset + i].Y)));
            }
            offset += std::max(counts[k], 0);
        }
        End(at);
    }

    void Rectangle(int l, int t, int r, int b) override
    {
        if (InPath()) {
            TDeviceContext::Rectangle(l, t, r, b);
            return;
        }
        Sync(true, true, false);
        Words(META_RECTANGLE, {Clamp16(b), Clamp16(r), Clamp16(t), Clamp16(l)});
    }

    void RoundRect(int l, int t, int r, int b, int width, int height) override
    {
        if (InPath()) {
            TDeviceContext::RoundRect(l, t, r, b, width, height);
            return;
        }
        Sync(true, true, false);
        Words(META_ROUNDRECT, {Clamp16(height), Clamp16(width), Clamp16(b), Clamp16(r), Clamp16(t), Clamp16(l)});
    }

    void Ellipse(int l, int t, int r, int b) override
    {
        if (InPath()) {
            TDeviceContext::Ellipse(l, t, r, b);
            return;
        }
        Sync(true, true, false);
        Words(META_ELLIPSE, {Clamp16(b), Clamp16(r), Clamp16(t), Clamp16(l)});
    }

    void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override
    {
        if (InPath()) {
            TDeviceContext::Arc(l, t, r, b, xs, ys, xe, ye);
            return;
        }
        Sync(true, false, false);
        ArcWords(META_ARC, l, t, r, b, xs, ys, xe, ye);
    }

    void Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override
    {
        if (InPath()) {
            TDeviceContext::Pie(l, t, r, b, xs, ys, xe, ye);
            return;
        }
        Sync(true, true, false);
        ArcWords(META_PIE, l, t, r, b, xs, ys, xe, ye);
    }

    void Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override
    {
        if (InPath()) {
            TDeviceContext::Chord(l, t, r, b, xs, ys, xe, ye);
            return;
        }
        Sync(true, true, false);
        ArcWords(META_CHORD, l, t, r, b, xs, ys, xe, ye);
    }

    void TextOut(int x, int y, const QString& text) override
    {
        if (InPath() || text.isEmpty()) {
            TDeviceContext::TextOut(x, y, text);
            return;
        }
        Sync(false, false, true);
        if (TextAlign() & TA_UPDATECP)
            Position(CurrentPosition());
        const QByteArray bytes = text.left(0x7FFF).toLatin1();
        const std::vector<int32_t> advances = CharacterAdvances(Font(), text.left(0x7FFF), TextCharacterExtra());
        const qsizetype at = Begin(META_EXTTEXTOUT);
        Put16(FBody, static_cast<uint16_t>(Clamp16(y)));
        Put16(FBody, static_cast<uint16_t>(Clamp16(x)));
        Put16(FBody, static_cast<uint16_t>(bytes.size()));
        Put16(FBody, 0);
        FBody += bytes;
        PadTo(FBody, 2);
        for (int32_t advance : advances)
            Put16(FBody, static_cast<uint16_t>(Clamp16(advance)));
        End(at);
        TDeviceContext::TextOut(x, y, text); // the position, with TA_UPDATECP
        if (TextAlign() & TA_UPDATECP)
            FState.Position = CurrentPosition();
    }

    bool ExtFloodFill(int x, int y, TColor color, int type) override
    {
        Sync(false, true, false);
        const uint32_t c = ColorRef(color);
        Words(META_EXTFLOODFILL, {type, int(c & 0xFFFF), int(c >> 16), Clamp16(y), Clamp16(x)});
        return true;
    }

    void StretchBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy, int sw, int sh,
                    uint32_t rop) override
    {
        const QImage* pixels = source.Image();
        if (!pixels || width == 0 || height == 0)
            return;
        const TPoint a = source.LPtoDP({sx, sy}), b = source.LPtoDP({sx + sw, sy + sh});
        const QImage part = pixels->copy(QRectF(QPointF(a.X, a.Y), QPointF(b.X, b.Y)).normalized().toRect());
        if (part.isNull())
            return;
        Sync(false, true, false);
        StretchDib(QRectF(QPointF(x, y), QPointF(x + width, y + height)).normalized().toRect(), part, rop);
    }

    void DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent) override
    {
        if (image.isNull())
            return;
        Sync(false, false, false);
        const QRect target =
            QRectF(QPointF(dest.Left, dest.Top), QPointF(dest.Right, dest.Bottom)).normalized().toRect();
        const bool translucent = !transparent && HasTranslucency(image);
        if (!transparent && !translucent) {
            StretchDib(target, image, SRCCOPY);
            return;
        }
        // No transparency in this format: a mask (white where the picture
        // is left out) ANDed in, then the picture (black there) ORed in.
        const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
        QImage mask(pixels.size(), QImage::Format_RGB32), fore(pixels.size(), QImage::Format_RGB32);
        const QRgb key = transparent ? ToQColor(*transparent).rgb() & 0xFFFFFF : 0;
        for (int y = 0; y < pixels.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
            QRgb* m = reinterpret_cast<QRgb*>(mask.scanLine(y));
            QRgb* f = reinterpret_cast<QRgb*>(fore.scanLine(y));
            for (int x = 0; x < pixels.width(); ++x) {
                const bool out = transparent ? (row[x] & 0xFFFFFF) == key : qAlpha(row[x]) < 128;
                m[x] = out ? 0xFFFFFFFFu : 0xFF000000u;
                f[x] = out ? 0xFF000000u : (row[x] | 0xFF000000u);
            }
        }
        StretchDib(target, mask, SRCAND);
        StretchDib(target, fore, SRCPAINT);
    }

protected:
    void EngineStrokeFillPath(const QPainterPath& path, bool stroke, bool fill) override
    {
        const QList<QPolygonF> figures = path.toSubpathPolygons();
        if (figures.isEmpty())
            return;
        if (fill) {
            Sync(false, true, false);
            const int mode = path.fillRule() == Qt::WindingFill ? WINDING : ALTERNATE;
            if (FState.PolyFillMode != mode)
                Words(META_SETPOLYFILLMODE, {FState.PolyFillMode = mode, 0});
            SelectNullPen();
            std::vector<TPoint> points;
            std::vector<int> counts;
            for (const QPolygonF& figure : figures) {
                counts.push_back(static_cast<int>(figure.size()));
                for (const QPointF& p : figure)
                    points.push_back({ClampRound(p.x()), ClampRound(p.y())});
            }
            PolyPolygonWords(points, counts);
        }
        if (stroke) {
            Sync(true, false, false);
            for (const QPolygonF& figure : figures) {
                std::vector<TPoint> points;
                for (const QPointF& p : figure)
                    points.push_back({ClampRound(p.x()), ClampRound(p.y())});
                if (points.size() >= 2)
                    PolyWords(META_POLYLINE, points.data(), static_cast<int>(std::min<size_t>(points.size(), 0xFFFF)));
            }
        }
    }

    void EngineFillRegion(const TRegion& region, const TLogBrush& brush) override
    {
        Sync(false, false, false);
        const TLogBrush resolved = Normalized(brush, DCBrushColor());
        int index = FBrush.Index;
        const bool temporary = index < 0 || !(FBrush.Value == resolved);
        if (temporary)
            index = CreateBrushObject(resolved);
        SelectObject(index, FState.Brush);
        // Pattern blocks fill exactly their rectangles at any scale.
        for (const QRect& r : region)
            Words(META_PATBLT, {int(PATCOPY & 0xFFFF), int(PATCOPY >> 16), Clamp16(r.height()), Clamp16(r.width()),
                                Clamp16(r.top()), Clamp16(r.left())});
        if (temporary) {
            SyncBrush();
            DeleteObject(index);
        }
    }

    void EngineText(int, int, const QString&) override {}

    void EngineDrawImage(const QRect& dest, const QImage& image, const QRect& source, uint32_t rop,
                         std::optional<TColor>) override
    {
        const QImage part = image.copy(source);
        if (!part.isNull())
            StretchDib(dest, part, rop);
    }

    void EnginePatBlt(const QRect& dest, uint32_t rop) override
    {
        Sync(false, true, false);
        Words(META_PATBLT, {int(rop & 0xFFFF), int(rop >> 16), Clamp16(dest.height()), Clamp16(dest.width()),
                            Clamp16(dest.top()), Clamp16(dest.left())});
    }

private:
    struct TObjectSlot {
        int Index = -1;
        TLogPen Value;
    };
    struct TBrushSlot {
        int Index = -1;
        TLogBrush Value;
    };
    struct TFontSlot {
        int Index = -1;
        TLogFont Value;
    };
    // What the reader's device holds: -1 for the default objects.
    struct TWmfState {
        TColor TextColor = clBlack;
        TColor BkColor = clWhite;
        int BkMode = OPAQUE;
        unsigned TextAlign = 0;
        int Rop2 = R2_COPYPEN;
        int PolyFillMode = ALTERNATE;
        int Pen = -1;
        int Brush = -1;
        int Font = -1;
        std::optional<TPoint> Position = TPoint{0, 0};
    };

    qsizetype Begin(uint16_t function)
    {
        const qsizetype at = FBody.size();
        Put32(FBody, 0);
        Put16(FBody, function);
        return at;
    }

    void End(qsizetype at)
    {
        PadTo(FBody, 2);
        const uint32_t words = static_cast<uint32_t>((FBody.size() - at) / 2);
        Patch32(FBody, at, words);
        FMaxRecord = std::max(FMaxRecord, words);
    }

    void Words(uint16_t function, std::initializer_list<int> words)
    {
        const qsizetype at = Begin(function);
        for (int w : words)
            Put16(FBody, static_cast<uint16_t>(w));
        End(at);
    }

    void PolyWords(uint16_t function, const TPoint* points, int count)
    {
        const qsizetype at = Begin(function);
        Put16(FBody, static_cast<uint16_t>(count));
        for (int i = 0; i < count; ++i) {
            Put16(FBody, static_cast<uint16_t>(Clamp16(points[i].X)));
            Put16(FBody, static_cast<uint16_t>(Clamp16(points[i].Y)));
        }
        End(at);
    }

    void PolyPolygonWords(const std::vector<TPoint>& points, const std::vector<int>& counts)
    {
        const qsizetype at = Begin(META_POLYPOLYGON);
        const size_t n = std::min<size_t>(counts.size(), 0xFFFF);
        Put16(FBody, static_cast<uint16_t>(n));
        for (size_t k = 0; k < n; ++k)
            Put16(FBody, static_cast<uint16_t>(std::min(counts[k], 0xFFFF)));
        size_t offset = 0;
        for (size_t k = 0; k < n; ++k) {
            for (int i = 0; i < std::min(counts[k], 0xFFFF); ++i) {
                Put16(FBody, static_cast<uint16_t>(Clamp16(points[offset + i].X)));
                Put16(FBody, static_cast<uint16_t>(Clamp16(points[offset + i].Y)));
            }
            offset += static_cast<size_t>(counts[k]);
        }
        End(at);
    }

    // Arcs run counter-clockwise here: a clockwise arc swaps its ends.
    void ArcWords(uint16_t function, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
    {
        if (ArcDirection() == AD_CLOCKWISE) {
            std::swap(xs, xe);
            std::swap(ys, ye);
        }
        Words(function,
              {Clamp16(ye), Clamp16(xe), Clamp16(ys), Clamp16(xs), Clamp16(b), Clamp16(r), Clamp16(t), Clamp16(l)});
    }

    void StretchDib(const QRect& dest, const QImage& image, uint32_t rop)
    {
        QImage pixels = image;
        if (pixels.width() > 0x7FFF || pixels.height() > 0x7FFF)
            pixels = pixels.scaled(std::min(pixels.width(), 0x7FFF), std::min(pixels.height(), 0x7FFF));
        const TDib dib = EncodeDib24(pixels);
        const qsizetype at = Begin(META_STRETCHDIB);
        for (int w : std::initializer_list<int>{int(rop & 0xFFFF), int(rop >> 16), int(DIB_RGB_COLORS), pixels.height(),
                                                pixels.width(), 0, 0, Clamp16(dest.height()), Clamp16(dest.width()),
                                                Clamp16(dest.top()), Clamp16(dest.left())})
            Put16(FBody, static_cast<uint16_t>(w));
        FBody += dib.Info;
        FBody += dib.Bits;
        End(at);
    }

    void Position(const TPoint& p)
    {
        if (FState.Position && *FState.Position == p)
            return;
        Words(META_MOVETO, {Clamp16(p.Y), Clamp16(p.X)});
        FState.Position = p;
    }

    int CreateSlot()
    {
        for (size_t i = 0; i < FSlots.size(); ++i)
            if (!FSlots[i]) {
                FSlots[i] = true;
                return static_cast<int>(i);
            }
        FSlots.push_back(true);
        return static_cast<int>(FSlots.size() - 1);
    }

    void SelectObject(int index, int& selected)
    {
        if (selected == index)
            return;
        Words(META_SELECTOBJECT, {index});
        selected = index;
    }

    void DeleteObject(int index)
    {
        Words(META_DELETEOBJECT, {index});
        FSlots[static_cast<size_t>(index)] = false;
        for (int* selected : {&FState.Pen, &FState.Brush, &FState.Font})
            if (*selected == index)
                *selected = -1;
    }

    int CreatePenObject(const TLogPen& pen)
    {
        int style = pen.Style;
        if (style == PS_USERSTYLE)
            style = PS_DASH;
        else if (style == PS_ALTERNATE)
            style = PS_DOT;
        if (pen.Geometric)
            style |= pen.EndCap | pen.Join;
        const uint32_t c = ColorRef(pen.Color);
        Words(META_CREATEPENINDIRECT,
              {style, Clamp16(pen.Geometric ? pen.Width : 1), 0, int(c & 0xFFFF), int(c >> 16)});
        return CreateSlot();
    }

    int CreateBrushObject(const TLogBrush& brush)
    {
        if (brush.Kind == TBrushKind::Pattern) {
            const bool mono = IsMonochrome(brush.Pattern);
            const TDib dib = mono ? EncodeDibMono(brush.Pattern) : EncodeDib24(brush.Pattern);
            const qsizetype at = Begin(META_DIBCREATEPATTERNBRUSH);
            Put16(FBody, static_cast<uint16_t>(mono ? BS_PATTERN : BS_DIBPATTERN));
            Put16(FBody, static_cast<uint16_t>(DIB_RGB_COLORS));
            FBody += dib.Info;
            FBody += dib.Bits;
            End(at);
            return CreateSlot();
        }
        const uint32_t c = ColorRef(brush.Color);
        const int style = brush.Kind == TBrushKind::Null      ? BS_NULL
                          : brush.Kind == TBrushKind::Hatched ? BS_HATCHED
                                                              : BS_SOLID;
        Words(META_CREATEBRUSHINDIRECT,
              {style, int(c & 0xFFFF), int(c >> 16), brush.Kind == TBrushKind::Hatched ? brush.Hatch : 0});
        return CreateSlot();
    }

    int CreateFontObject(const TLogFont& font)
    {
        const qsizetype at = Begin(META_CREATEFONTINDIRECT);
        for (int v : std::initializer_list<int>{Clamp16(font.Height), 0, Clamp16(font.Escapement),
                                                Clamp16(font.Orientation), Clamp16(font.Weight)})
            Put16(FBody, static_cast<uint16_t>(v));
        for (int v : {font.Italic ? 1 : 0, font.Underline ? 1 : 0, font.StrikeOut ? 1 : 0, font.CharSet,
                      font.OutPrecision, 0, font.Quality, 0})
            Put8(FBody, static_cast<uint8_t>(v));
        QByteArray face = font.FaceName.left(31).toLatin1();
        face.append(QByteArray(32 - face.size(), '\0'));
        FBody += face;
        End(at);
        return CreateSlot();
    }

    void SelectNullPen()
    {
        if (FNullPen < 0)
            FNullPen = CreatePenObject(Normalized(CreatePen(PS_NULL, 0, clBlack)));
        SelectObject(FNullPen, FState.Pen);
    }

    void SyncPen()
    {
        const TLogPen pen = Normalized(Pen());
        if (FPen.Index < 0 || !(FPen.Value == pen)) {
            const int old = FPen.Index;
            FPen = {CreatePenObject(pen), pen};
            SelectObject(FPen.Index, FState.Pen);
            if (old >= 0)
                DeleteObject(old);
        }
        SelectObject(FPen.Index, FState.Pen);
    }

    void SyncBrush()
    {
        const TLogBrush brush = Normalized(Brush(), DCBrushColor());
        if (FBrush.Index < 0 || !(FBrush.Value == brush)) {
            const int old = FBrush.Index;
            FBrush = {CreateBrushObject(brush), brush};
            SelectObject(FBrush.Index, FState.Brush);
            if (old >= 0)
                DeleteObject(old);
        }
        SelectObject(FBrush.Index, FState.Brush);
    }

    void SyncFont()
    {
        if (FFont.Index < 0 || !(FFont.Value == Font())) {
            const int old = FFont.Index;
            FFont = {CreateFontObject(Font()), Font()};
            SelectObject(FFont.Index, FState.Font);
            if (old >= 0)
                DeleteObject(old);
        }
        SelectObject(FFont.Index, FState.Font);
    }

    void SyncClip()
    {
        if (ClipRegion() == FClip)
            return;
        if (FClip) {
            // Back to the unclipped state saved at the start.
            Words(META_RESTOREDC, {-1});
            Words(META_SAVEDC, {});
            FState = TWmfState();
        }
        FClip = ClipRegion();
        if (!FClip)
            return;
        const QRect bounds = FClip->boundingRect();
        if (bounds.isEmpty()) {
            Words(META_INTERSECTCLIPRECT, {0, 0, 0, 0});
            return;
        }
        Words(META_INTERSECTCLIPRECT, {Clamp16(bounds.bottom() + 1), Clamp16(bounds.right() + 1), Clamp16(bounds.top()),
                                       Clamp16(bounds.left())});
        for (const QRect& r : TRegion(bounds).subtracted(*FClip))
            Words(META_EXCLUDECLIPRECT,
                  {Clamp16(r.bottom() + 1), Clamp16(r.right() + 1), Clamp16(r.top()), Clamp16(r.left())});
    }

    void Sync(bool pen, bool brush, bool font)
    {
        SyncClip();
        TWmfState& s = FState;
        if (ColorRef(TextColor()) != ColorRef(s.TextColor)) {
            s.TextColor = TextColor();
            const uint32_t c = ColorRef(s.TextColor);
            Words(META_SETTEXTCOLOR, {int(c & 0xFFFF), int(c >> 16)});
        }
        if (ColorRef(BkColor()) != ColorRef(s.BkColor)) {
            s.BkColor = BkColor();
            const uint32_t c = ColorRef(s.BkColor);
            Words(META_SETBKCOLOR, {int(c & 0xFFFF), int(c >> 16)});
        }
        if (BkMode() != s.BkMode)
            Words(META_SETBKMODE, {s.BkMode = BkMode(), 0});
        if (TextAlign() != s.TextAlign) {
            s.TextAlign = TextAlign();
            Words(META_SETTEXTALIGN, {int(s.TextAlign & 0xFFFF), 0});
        }
        if (ROP2() != s.Rop2)
            Words(META_SETROP2, {s.Rop2 = ROP2(), 0});
        if (PolyFillMode() != s.PolyFillMode)
            Words(META_SETPOLYFILLMODE, {s.PolyFillMode = PolyFillMode(), 0});
        if (pen)
            SyncPen();
        if (brush)
            SyncBrush();
        if (font)
            SyncFont();
    }

    TRect FFrame;
    int FInch;
    QByteArray FBody;
    uint32_t FMaxRecord = 0;
    std::vector<bool> FSlots;
    TObjectSlot FPen;
    TBrushSlot FBrush;
    TFontSlot FFont;
    int FNullPen = -1;
    TWmfState FState;
    std::optional<TRegion> FClip;
};

// --- The WMF player ---

class TWmfPlayer : public TPlayer {
public:
    explicit TWmfPlayer(const QByteArray& wmf) : FData(wmf)
    {
        const auto* data = reinterpret_cast<const uchar*>(wmf.constData());
        const uint64_t size = static_cast<uint64_t>(wmf.size());
        if (size < kPlaceableHeaderSize + kWmfHeaderSize)
            Fail(true, "the data (" + Num(static_cast<long long>(size)) + " bytes) is too short for the headers");
        const TView file(data, size, true, 0, 0);
        if (file.U32(0) != kPlaceableMetafileKey)
            Fail(true, "the placeable header's key is missing");
        uint16_t checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= file.U16(i * 2ull);
        if (checksum != file.U16(20))
            Fail(true, "the placeable header's checksum does not match");
        FBox = {file.I16(6), file.I16(8), file.I16(10), file.I16(12)};
        FInch = file.U16(14);
        if (FBox.Right <= FBox.Left || FBox.Bottom <= FBox.Top)
            Fail(true, "the bounding box is empty");
        if (FInch == 0)
            Fail(true, "the header gives no units per inch");
        const uint16_t type = file.U16(22), headerWords = file.U16(24);
        if ((type != 1 && type != 2) || headerWords != 9)
            Fail(true, "the metafile header is not valid");
        const uint64_t end = kPlaceableHeaderSize + uint64_t(file.U32(28)) * 2;
        if (end > size)
            Fail(true, "the file is truncated (" + Num(static_cast<long long>(size)) + " of " +
                           Num(static_cast<long long>(end)) + " bytes)");
        FObjectCount = file.U16(32);
        uint64_t at = kPlaceableHeaderSize + kWmfHeaderSize;
        bool eof = false;
        while (!eof) {
            if (at > end || end - at < 6)
                Fail(true, "the file is truncated after record " + Num(static_cast<long long>(FRecords.size())) +
                               " (the end-of-file record is missing)");
            const uint64_t words = file.U32(at);
            const uint16_t function = file.U16(at + 4);
            if (words < 3 || words * 2 > end - at)
                Fail(true, "record " + Num(static_cast<long long>(FRecords.size())) + " at offset " +
                               Num(static_cast<long long>(at)) + " has an invalid size of " +
                               Num(static_cast<long long>(words)) + " words");
            FRecords.push_back({at, static_cast<uint32_t>(words * 2), function});
            eof = function == META_EOF;
            at += words * 2;
        }
    }

    TRect Box() const { return FBox; }
    int Inch() const { return FInch; }

    void Check()
    {
        FTarget = nullptr;
        ResetState(FBox);
        Run();
    }

    void Play(TDeviceContext& target, const TRect& dest)
    {
        if (dest.Width() == 0 || dest.Height() == 0)
            return;
        Open(target, FBox, dest);
        try {
            Run();
        } catch (...) {
            Close();
            throw;
        }
        Close();
    }

protected:
    // Logical units through the file's window onto the bounding box.
    void SetInitialMapping(const TRect& box) override
    {
        FMap.SetMapMode(MM_ANISOTROPIC);
        FMap.SetWindowOrg(box.Left, box.Top);
        FMap.SetWindowExt(box.Width(), box.Height());
        FMap.SetViewportOrg(box.Left, box.Top);
        FMap.SetViewportExt(box.Width(), box.Height());
    }

private:
    struct TRecordRef {
        uint64_t Offset;
        uint32_t Size;
        uint16_t Function;
    };

    void Run()
    {
        FTable.assign(FObjectCount, std::nullopt);
        FFree.clear();
        for (uint16_t i = 0; i < FObjectCount; ++i)
            FFree.insert(FFree.end(), i);
        FCharExtra = 0;
        const auto* data = reinterpret_cast<const uchar*>(FData.constData());
        for (size_t i = 0; i < FRecords.size(); ++i) {
            const TRecordRef& ref = FRecords[i];
            Record(TView(data + ref.Offset, ref.Size, true, static_cast<long long>(i), ref.Function), ref.Function);
        }
    }

    // A new object takes the lowest free entry.
    void Create(const TView& r, TObject object)
    {
        if (FFree.empty())
            r.Fail("more objects than the header's object table of " + Num(FObjectCount) + " entries holds");
        const uint16_t index = *FFree.begin();
        FFree.erase(FFree.begin());
        FTable[index] = std::move(object);
    }

    std::optional<TObject>& Slot(const TView& r, uint16_t index)
    {
        if (index >= FTable.size())
            r.Fail("object index " + Num(index) + " is outside the object table of " + Num(FObjectCount) + " entries");
        return FTable[index];
    }

    std::vector<TPoint> Points(const TView& r, uint64_t at, uint32_t count)
    {
        r.Need(at, uint64_t(count) * 4, "the points");
        std::vector<TPoint> points;
        if (!Drawing())
            return points;
        points.reserve(count);
        for (uint32_t i = 0; i < count; ++i)
            points.push_back(Out(r.I16(at + i * 4ull), r.I16(at + i * 4ull + 2)));
        return points;
    }

    // The size of BITMAPINFO at 'at': header, masks and colour table.
    static uint64_t InfoSize(const TView& r, uint64_t at)
    {
        const uint32_t headerSize = r.U32(at);
        const uint16_t bitCount = r.U16(at + 14);
        const uint32_t compression = r.U32(at + 16);
        const uint32_t used = r.U32(at + 32);
        uint64_t size = headerSize;
        if (compression == BI_BITFIELDS && headerSize == 40)
            size += 12;
        if (bitCount <= 8)
            size += uint64_t(std::min<uint32_t>(used != 0 ? used : (1u << bitCount), 1u << bitCount)) * 4;
        return size;
    }

    std::optional<QImage> Dib(const TView& r, uint64_t at, uint32_t usage, TDibMode mode)
    {
        const uint64_t info = InfoSize(r, at);
        if (info > r.Size() - std::min<uint64_t>(r.Size(), at))
            r.Fail("the bitmap header runs past the end of the record");
        return ReadDib(r, at, info, at + info, r.Size() - at - info, usage, mode, Drawing());
    }

    static QRect SourceRect(const TView& r, uint64_t infoAt, int x, int y, int w, int h)
    {
        const int32_t height = r.I32(infoAt + 8);
        if (height > 0)
            return QRect(x, height - y - h, w, h).normalized();
        return QRect(x, y, w, h).normalized();
    }

    void Record(const TView& r, uint16_t function)
    {
        TDeviceContext* dc = FTarget;
        switch (function) {
        case META_SETBKCOLOR:
        case META_SETTEXTCOLOR: {
            const TColor color = FromColorRef(r.U32(6));
            if (dc && function == META_SETBKCOLOR)
                dc->SetBkColor(color);
            else if (dc)
                dc->SetTextColor(color);
            break;
        }
        case META_SETBKMODE:
        case META_SETROP2:
        case META_SETPOLYFILLMODE:
        case META_SETTEXTALIGN: {
            const uint16_t value = r.U16(6);
            if (!dc)
                break;
            if (function == META_SETBKMODE)
                dc->SetBkMode(value);
            else if (function == META_SETROP2)
                dc->SetROP2(value);
            else if (function == META_SETPOLYFILLMODE)
                dc->SetPolyFillMode(value);
            else
                dc->SetTextAlign(value);
            break;
        }
        case META_SETTEXTCHAREXTRA: FCharExtra = r.I16(6); break;
        case META_SETWINDOWORG:
        case META_SETWINDOWEXT:
        case META_OFFSETWINDOWORG: {
            const int y = r.I16(6), x = r.I16(8);
            if (function == META_SETWINDOWORG)
                FMap.SetWindowOrg(x, y);
            else if (function == META_SETWINDOWEXT)
                FMap.SetWindowExt(x, y);
            else
                FMap.SetWindowOrg(FMap.WindowOrg().X + x, FMap.WindowOrg().Y + y);
            UpdateTransform();
            break;
        }
        case META_SAVEDC: SaveState(); break;
        case META_RESTOREDC: RestoreState(r.I16(6)); break;

        case META_CREATEPENINDIRECT: {
            const uint16_t style = r.U16(6);
            const int width = std::clamp<int>(r.I16(8), 0, kMaxPenWidth);
            const TColor color = FromColorRef(r.U32(12));
            TObject pen;
            pen.Kind = TObject::Pen;
            if (style & (PS_ENDCAP_MASK | PS_JOIN_MASK))
                pen.PenValue = ExtCreatePen((style & (PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK)) | PS_GEOMETRIC,
                                            width, color);
            else
                pen.PenValue = CreatePen(style & PS_STYLE_MASK, width, color);
            Create(r, pen);
            break;
        }
        case META_CREATEBRUSHINDIRECT: {
            const uint16_t style = r.U16(6);
            const TColor color = FromColorRef(r.U32(8));
            const uint16_t hatch = r.U16(12);
            TObject brush;
            brush.Kind = TObject::Brush;
            brush.BrushValue = style == BS_NULL      ? NullBrush()
                               : style == BS_HATCHED ? CreateHatchBrush(hatch, color)
                                                     : CreateSolidBrush(color);
            Create(r, brush);
            break;
        }
        case META_DIBCREATEPATTERNBRUSH: {
            const uint16_t style = r.U16(6), usage = r.U16(8);
            const std::optional<QImage> pattern =
                Dib(r, 10, usage, style == BS_PATTERN ? TDibMode::Mono : TDibMode::Colours);
            TObject brush;
            brush.Kind = TObject::Brush;
            brush.BrushValue = pattern ? CreatePatternBrush(*pattern) : CreateSolidBrush(clGray);
            Create(r, brush);
            break;
        }
        case META_CREATEFONTINDIRECT: {
            TObject font;
            font.Kind = TObject::Font;
            TLogFont& f = font.FontValue;
            f.Height = r.I16(6);
            f.Escapement = r.I16(10);
            f.Orientation = r.I16(12);
            f.Weight = r.I16(14);
            f.Italic = r.U8(16) != 0;
            f.Underline = r.U8(17) != 0;
            f.StrikeOut = r.U8(18) != 0;
            f.CharSet = r.U8(19);
            f.OutPrecision = r.U8(20);
            f.Quality = r.U8(22);
            f.FaceName.clear();
            for (uint64_t i = 24; i < r.Size() && i < 24 + 32; ++i) {
                const uint8_t c = r.U8(i);
                if (c == 0)
                    break;
                f.FaceName.append(QChar(static_cast<char16_t>(c)));
            }
            Create(r, font);
            break;
        }
        case META_CREATEPALETTE:
        case META_CREATEPATTERNBRUSH:
        case META_CREATEREGION: Create(r, TObject()); break; // kept only for the numbering
        case META_SELECTOBJECT: {
            const std::optional<TObject>& slot = Slot(r, r.U16(6));
            if (!slot || !dc)
                break;
            if (slot->Kind == TObject::Pen)
                dc->SelectPen(ScaledPen(slot->PenValue));
            else if (slot->Kind == TObject::Brush)
                dc->SelectBrush(slot->BrushValue);
            else if (slot->Kind == TObject::Font)
                SelectFont(slot->FontValue);
            break;
        }
        case META_DELETEOBJECT: {
            const uint16_t index = r.U16(6);
            if (Slot(r, index)) {
                FTable[index].reset();
                FFree.insert(index);
            }
            break;
        }
        case META_SELECTCLIPREGION: Slot(r, r.U16(6)); break;

        case META_MOVETO:
        case META_LINETO: {
            const TPoint p = Out(r.I16(8), r.I16(6));
            if (dc && function == META_MOVETO)
                dc->MoveTo(p.X, p.Y);
            else if (dc)
                dc->LineTo(p.X, p.Y);
            break;
        }
        case META_POLYLINE:
        case META_POLYGON: {
            const std::vector<TPoint> points = Points(r, 8, r.U16(6));
            if (dc && function == META_POLYLINE)
                dc->Polyline(points.data(), static_cast<int>(points.size()));
            else if (dc)
                dc->Polygon(points.data(), static_cast<int>(points.size()));
            break;
        }
        case META_POLYPOLYGON: {
            const uint16_t polygons = r.U16(6);
            r.Need(8, uint64_t(polygons) * 2, "the polygon counts");
            std::vector<int> counts;
            uint64_t total = 0;
            for (uint16_t k = 0; k < polygons; ++k) {
                counts.push_back(r.U16(8 + k * 2ull));
                total += counts.back();
            }
            const std::vector<TPoint> points = Points(r, 8 + uint64_t(polygons) * 2, static_cast<uint32_t>(total));
            if (dc)
                dc->PolyPolygon(points.data(), counts.data(), static_cast<int>(counts.size()));
            break;
        }
        case META_RECTANGLE:
        case META_ELLIPSE: {
            const TPoint a = Out(r.I16(12), r.I16(10)), b = Out(r.I16(8), r.I16(6));
            if (dc && function == META_RECTANGLE)
                dc->Rectangle(a.X, a.Y, b.X, b.Y);
            else if (dc)
                dc->Ellipse(a.X, a.Y, b.X, b.Y);
            break;
        }
        case META_ROUNDRECT: {
            const int h = LengthY(r.I16(6)), w = LengthX(r.I16(8));
            const TPoint a = Out(r.I16(16), r.I16(14)), b = Out(r.I16(12), r.I16(10));
            if (dc)
                dc->RoundRect(a.X, a.Y, b.X, b.Y, w, h);
            break;
        }
        case META_ARC:
        case META_PIE:
        case META_CHORD: {
            const TPoint e = Out(r.I16(8), r.I16(6)), s = Out(r.I16(12), r.I16(10));
            const TPoint a = Out(r.I16(20), r.I16(18)), b = Out(r.I16(16), r.I16(14));
            if (!dc)
                break;
            // Arcs of this format run counter-clockwise.
            const int direction = dc->SetArcDirection(AD_COUNTERCLOCKWISE);
            if (function == META_ARC)
                dc->Arc(a.X, a.Y, b.X, b.Y, s.X, s.Y, e.X, e.Y);
            else if (function == META_PIE)
                dc->Pie(a.X, a.Y, b.X, b.Y, s.X, s.Y, e.X, e.Y);
            else
                dc->Chord(a.X, a.Y, b.X, b.Y, s.X, s.Y, e.X, e.Y);
            dc->SetArcDirection(direction);
            break;
        }
        case META_SETPIXEL: {
            const TColor color = FromColorRef(r.U32(6));
            const TPoint p = Out(r.I16(12), r.I16(10));
            if (dc)
                dc->SetPixel(p.X, p.Y, color);
            break;
        }
        case META_FLOODFILL:
        case META_EXTFLOODFILL: {
            const bool ext = function == META_EXTFLOODFILL;
            const uint64_t base = ext ? 8 : 6;
            const int mode = ext ? int(r.U16(6)) : int(FLOODFILLBORDER);
            const TColor color = FromColorRef(r.U32(base));
            const TPoint p = Out(r.I16(base + 6), r.I16(base + 4));
            if (dc)
                dc->ExtFloodFill(p.X, p.Y, color, mode);
            break;
        }
        case META_TEXTOUT: {
            const uint16_t count = r.U16(6);
            const uchar* chars = r.Bytes(8, count, "the text");
            const uint64_t after = 8 + ((count + 1ull) / 2) * 2;
            const int y = r.I16(after), x = r.I16(after + 2);
            QString text;
            for (uint16_t i = 0; i < count; ++i)
                text.append(QChar(static_cast<char16_t>(chars[i])));
            PlayText(x, y, text, {});
            break;
        }
        case META_EXTTEXTOUT: {
            const int y = r.I16(6), x = r.I16(8);
            const uint16_t count = r.U16(10), options = r.U16(12);
            uint64_t at = 14;
            QRect opaque;
            if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
                const TPoint a = Out(r.I16(14), r.I16(16)), b = Out(r.I16(18), r.I16(20));
                opaque = QRect(QPoint(std::min(a.X, b.X), std::min(a.Y, b.Y)),
                               QPoint(std::max(a.X, b.X) - 1, std::max(a.Y, b.Y) - 1));
                at += 8;
            }
            const uchar* chars = r.Bytes(at, count, "the text");
            at += ((count + 1ull) / 2) * 2;
            std::vector<int32_t> advances;
            if (r.Size() >= at && r.Size() - at >= uint64_t(count) * 2)
                for (uint16_t i = 0; i < count; ++i)
                    advances.push_back(r.I16(at + i * 2ull));
            QString text;
            for (uint16_t i = 0; i < count; ++i)
                text.append(QChar(static_cast<char16_t>(chars[i])));
            if (dc && (options & ETO_OPAQUE) && !opaque.isEmpty())
                dc->FillRect(FromQRect(opaque), CreateSolidBrush(dc->BkColor()));
            PlayText(x, y, text, advances);
            break;
        }
        case META_PATBLT: {
            const uint32_t rop = r.U32(6);
            const int h = r.I16(10), w = r.I16(12), y = r.I16(14), x = r.I16(16);
            const TPoint a = Out(x, y), b = Out(x + w, y + h);
            if (dc)
                dc->PatBlt(a.X, a.Y, b.X - a.X, b.Y - a.Y, rop);
            break;
        }
        case META_STRETCHDIB: {
            const uint32_t rop = r.U32(6);
            const uint16_t usage = r.U16(10);
            const int sh = r.I16(12), sw = r.I16(14), sy = r.I16(16), sx = r.I16(18);
            const int h = r.I16(20), w = r.I16(22), y = r.I16(24), x = r.I16(26);
            const std::optional<QImage> image = Dib(r, 28, usage, TDibMode::Colours);
            if (image && dc)
                PlayImage(*image, SourceRect(r, 28, sx, sy, sw, sh), x, y, w, h, rop, std::nullopt);
            break;
        }
        case META_DIBSTRETCHBLT:
        case META_DIBBITBLT: {
            const bool stretch = function == META_DIBSTRETCHBLT;
            const uint32_t rop = r.U32(6);
            int sh = 0, sw = 0, sy = 0, sx = 0, h = 0, w = 0, y = 0, x = 0;
            uint64_t dibAt = 0;
            if (stretch) {
                sh = r.I16(10), sw = r.I16(12), sy = r.I16(14), sx = r.I16(16);
                h = r.I16(18), w = r.I16(20), y = r.I16(22), x = r.I16(24);
                dibAt = 26;
            } else {
                sy = r.I16(10), sx = r.I16(12), h = r.I16(14), w = r.I16(16), y = r.I16(18), x = r.I16(20);
                sw = w;
                sh = h;
                dibAt = 22;
            }
            const std::optional<QImage> image = Dib(r, dibAt, DIB_RGB_COLORS, TDibMode::Colours);
            if (image && dc)
                PlayImage(*image, SourceRect(r, dibAt, sx, sy, sw, sh), x, y, w, h, rop, std::nullopt);
            break;
        }
        case META_INTERSECTCLIPRECT:
        case META_EXCLUDECLIPRECT: {
            const TRegion rect = RectOut(r.I16(12), r.I16(10), r.I16(8), r.I16(6));
            CombineClip(rect, function == META_INTERSECTCLIPRECT ? RGN_AND : RGN_DIFF);
            break;
        }
        default: break; // records this reader does not draw are skipped
        }
    }

    void PlayText(int x, int y, const QString& text, std::vector<int32_t> advances)
    {
        if (advances.empty() && FCharExtra != 0 && !text.isEmpty()) {
            const std::vector<int32_t> natural = CharacterAdvances(FFont, text, FCharExtra);
            advances = natural;
        }
        Text(x, y, text, advances);
    }

    const QByteArray& FData;
    TRect FBox;
    int FInch = 96;
    uint16_t FObjectCount = 0;
    std::vector<TRecordRef> FRecords;
    std::vector<std::optional<TObject>> FTable;
    std::set<uint16_t> FFree; // the empty entries of the table
    int FCharExtra = 0;
};

} // namespace

QByteArray WindowsMetafileFromEnhanced(const QByteArray& emf)
{
    TEmfPlayer player(emf);
    player.Check();
    const TEnhMetaHeader header = ReadEnhMetaHeader(emf);
    TRect frame = header.FramePixels();
    if (frame.Width() <= 0 || frame.Height() <= 0)
        frame = {header.Bounds.Left, header.Bounds.Top, header.Bounds.Right + 1, header.Bounds.Bottom + 1};
    if (frame.Width() <= 0 || frame.Height() <= 0)
        frame = {0, 0, 1, 1};
    TWmfWriterDC writer(frame, ClampRound(header.PixelsPerInchX()));
    player.Play(writer, frame);
    return writer.Finish();
}

void SaveWindowsMetafile(const QByteArray& emf, QIODevice& stream)
{
    const QByteArray wmf = WindowsMetafileFromEnhanced(emf);
    if (stream.write(wmf) != wmf.size())
        throw EInvalidGraphic("The Windows metafile could not be written: " + stream.errorString().toStdString());
}

void PlayWindowsMetafile(const QByteArray& wmf, TDeviceContext& target, const TRect& dest)
{
    TWmfPlayer player(wmf);
    player.Check();
    player.Play(target, dest);
}

QByteArray EnhancedFromWindowsMetafile(const QByteArray& wmf)
{
    TWmfPlayer player(wmf);
    player.Check();
    const TRect box = player.Box();
    // Units of an ordinary resolution are kept as pixels; finer ones (twips)
    // become pixels at 96 per inch.
    const int inch = player.Inch();
    const int dpi = inch >= 48 && inch <= 1200 ? inch : 96;
    const int width = std::max(1, ClampRound(double(box.Width()) * dpi / inch));
    const int height = std::max(1, ClampRound(double(box.Height()) * dpi / inch));
    TMetafileDC recorder(QSize(width, height), dpi);
    recorder.SetFramePixels({0, 0, width, height});
    player.Play(recorder, {0, 0, width, height});
    return recorder.Finish();
}

// --- TMetafile -------------------------------------------------------------------------------------

TMetafile::TMetafile() = default;

TMetafile::~TMetafile() = default;

bool TMetafile::Empty() const
{
    return FData.isEmpty();
}

int TMetafile::Width() const
{
    return FMMWidth > 0 ? ClampRound(FMMWidth * FDpiX / 2540.0) : 0;
}

int TMetafile::Height() const
{
    return FMMHeight > 0 ? ClampRound(FMMHeight * FDpiY / 2540.0) : 0;
}

void TMetafile::SetWidth(int value)
{
    SetMMWidth(PixelsToHundredths(std::max(value, 0), FDpiX));
}

void TMetafile::SetHeight(int value)
{
    SetMMHeight(PixelsToHundredths(std::max(value, 0), FDpiY));
}

void TMetafile::SetMMWidth(int value)
{
    value = std::max(value, 0);
    if (value == FMMWidth)
        return;
    FMMWidth = value;
    PatchFrame();
    Changed();
}

void TMetafile::SetMMHeight(int value)
{
    value = std::max(value, 0);
    if (value == FMMHeight)
        return;
    FMMHeight = value;
    PatchFrame();
    Changed();
}

void TMetafile::PatchFrame()
{
    if (FData.isEmpty() || FMMWidth <= 0 || FMMHeight <= 0)
        return;
    const TEnhMetaHeader header = ReadEnhMetaHeader(FData);
    Patch32(FData, 32, static_cast<uint32_t>(header.Frame.Left + FMMWidth));
    Patch32(FData, 36, static_cast<uint32_t>(header.Frame.Top + FMMHeight));
}

void TMetafile::SetEnhanced(bool value)
{
    if (value == FEnhanced)
        return;
    FEnhanced = value;
    Changed();
}

QString TMetafile::Description() const
{
    return FData.isEmpty() ? QString() : ReadEnhMetaHeader(FData).Description;
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) const
{
    if (Empty())
        return;
    PlayEnhMetafile(FData, canvas.Handle(), rect);
}

void TMetafile::TakeHeader(const TEnhMetaHeader& header)
{
    FMMWidth = std::max(0, header.Frame.Right - header.Frame.Left);
    FMMHeight = std::max(0, header.Frame.Bottom - header.Frame.Top);
    FDpiX = header.PixelsPerInchX();
    FDpiY = header.PixelsPerInchY();
}

void TMetafile::SetData(const QByteArray& emf)
{
    CheckEnhMetafile(emf);
    const TEnhMetaHeader header = ReadEnhMetaHeader(emf);
    FData = emf.left(header.Bytes);
    TakeHeader(header);
    Changed();
}

void TMetafile::LoadFromStream(QIODevice& stream)
{
    const QByteArray bytes = stream.readAll();
    const auto word = [&bytes](int at) {
        return static_cast<uint32_t>(static_cast<uchar>(bytes[at])) |
               (static_cast<uint32_t>(static_cast<uchar>(bytes[at + 1])) << 8) |
               (static_cast<uint32_t>(static_cast<uchar>(bytes[at + 2])) << 16) |
               (static_cast<uint32_t>(static_cast<uchar>(bytes[at + 3])) << 24);
    };
    if (bytes.size() >= 4 && word(0) == kPlaceableMetafileKey) {
        const QByteArray emf = EnhancedFromWindowsMetafile(bytes);
        const TEnhMetaHeader header = ReadEnhMetaHeader(emf);
        FData = emf;
        TakeHeader(header);
        FEnhanced = false;
        Changed();
        return;
    }
    if (bytes.size() >= 4 && word(0) == EMR_HEADER) {
        CheckEnhMetafile(bytes);
        const TEnhMetaHeader header = ReadEnhMetaHeader(bytes);
        FData = bytes.left(header.Bytes);
        TakeHeader(header);
        FEnhanced = true;
        Changed();
        return;
    }
    throw EInvalidGraphic(bytes.isEmpty()
                              ? "The metafile is empty"
                              : "The data is neither an enhanced metafile nor a placeable Windows metafile");
}

void TMetafile::SaveToStream(QIODevice& stream) const
{
    if (Empty())
        throw EInvalidGraphic("An empty metafile cannot be written");
    const QByteArray bytes = FEnhanced ? FData : WindowsMetafileFromEnhanced(FData);
    if (stream.write(bytes) != bytes.size())
        throw EInvalidGraphic("The metafile could not be written: " + stream.errorString().toStdString());
}

QImage TMetafile::ToImage() const
{
    const int w = Width(), h = Height();
    if (Empty() || w <= 0 || h <= 0)
        return QImage();
    if (int64_t(w) * h > kMaxImagePixels * 4)
        throw EInvalidGraphic(
            FormatText("A metafile of %d x %d pixels is too large to render", {ArgText(w), ArgText(h)}));
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(ClampRound(FDpiX / 0.0254));
    image.setDotsPerMeterY(ClampRound(FDpiY / 0.0254));
    TPainterDC dc(image);
    PlayEnhMetafile(FData, dc, {0, 0, w, h});
    dc.Finish();
    return image;
}

void TMetafile::Clear()
{
    FData.clear();
    FMMWidth = 0;
    FMMHeight = 0;
    FDpiX = 96.0;
    FDpiY = 96.0;
    Changed();
}

void TMetafile::Assign(const TPersistent* Source)
{
    if (const auto* metafile = qobject_cast<const TMetafile*>(Source)) {
        if (metafile == this)
            return;
        FData = metafile->FData;
        FMMWidth = metafile->FMMWidth;
        FMMHeight = metafile->FMMHeight;
        FDpiX = metafile->FDpiX;
        FDpiY = metafile->FDpiY;
        FEnhanced = metafile->FEnhanced;
        FTransparent = metafile->FTransparent;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

// --- TMetafileCanvas --------------------------------------------------------------------------------

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, TDeviceContext* reference, const QString& title)
    : TCanvas(nullptr), FMetafile(metafile)
{
    int dpiX = reference ? reference->GetDeviceCaps(LOGPIXELSX) : 96;
    int dpiY = reference ? reference->GetDeviceCaps(LOGPIXELSY) : 96;
    if (dpiX <= 0)
        dpiX = 96;
    if (dpiY <= 0)
        dpiY = dpiX;
    QSize surface;
    if (reference)
        surface = QSize(reference->GetDeviceCaps(HORZRES), reference->GetDeviceCaps(VERTRES));
    const bool sized = metafile.MMWidth() > 0 && metafile.MMHeight() > 0;
    if (surface.isEmpty() && sized)
        surface = QSize(std::max(1, ClampRound(metafile.MMWidth() * dpiX / 2540.0)),
                        std::max(1, ClampRound(metafile.MMHeight() * dpiY / 2540.0)));
    FDC = std::make_unique<TMetafileDC>(surface.isEmpty() ? QSize(1920, 1080) : surface, dpiX, dpiY);
    if (!title.isEmpty())
        FDC->SetDescription(title);
    if (sized)
        FDC->SetFrame({0, 0, metafile.MMWidth(), metafile.MMHeight()});
    Font().SetPixelsPerInch(dpiY);
    SetHandle(FDC.get());
}

TMetafileCanvas::~TMetafileCanvas()
{
    try {
        Finish();
    } catch (...) {
        // A destructor cannot report; Finish() called explicitly does.
    }
    SetHandle(nullptr);
}

void TMetafileCanvas::Finish()
{
    if (FDone)
        return;
    FDone = true;
    SetHandle(nullptr);
    FMetafile.SetData(FDC->Finish());
}

} // namespace lp
