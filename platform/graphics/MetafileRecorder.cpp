// TMetafileDC: every call made on it becomes EMF records, written by
// TMetafileDC::TWriter, while the base class keeps the device state and the
// engine measures the pixels each call inks (for the records' bounds).
#include "platform/graphics/Metafile.h"

#include "platform/graphics/Metafile_p.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QFontMetricsF>
#include <QtGui/QPainter>

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

namespace lp {

using namespace metafile;

namespace {

// The tiles in which exact coverage is measured, the largest area measured
// at all (beyond it the box counts as inked), and the area measured in a
// whole recording: past it every call counts its box, so a recording of
// many large calls (a metafile being converted) costs bounded time.
constexpr int kCoverageTile = 1024;
constexpr int64_t kCoverageArea = 64LL * 1024 * 1024;
constexpr int64_t kCoverageBudget = kCoverageArea;

// The first and last non-zero bytes of a row of coverage, (-1, -1) when the
// row is empty; zero runs are skipped eight bytes at a time.
std::pair<int, int> InkedSpan(const uchar* row, int width)
{
    int x = 0;
    for (uint64_t word = 0; x + 8 <= width; x += 8) {
        std::memcpy(&word, row + x, sizeof word);
        if (word != 0)
            break;
    }
    while (x < width && row[x] == 0)
        ++x;
    if (x == width)
        return {-1, -1};
    int end = width;
    for (uint64_t word = 0; end - 8 >= x; end -= 8) {
        std::memcpy(&word, row + end - 8, sizeof word);
        if (word != 0)
            break;
    }
    while (row[end - 1] == 0)
        --end;
    return {x, end - 1};
}

void PutBox(QByteArray& out, int l, int t, int r, int b)
{
    PutI32(out, l);
    PutI32(out, t);
    PutI32(out, r);
    PutI32(out, b);
}

// A rectangle of pixels as RECTL (inclusive); an empty one as (0, 0, -1, -1).
void PutPixelRect(QByteArray& out, const QRect& pixels)
{
    if (pixels.isEmpty())
        PutBox(out, 0, 0, -1, -1);
    else
        PutBox(out, pixels.left(), pixels.top(), pixels.right(), pixels.bottom());
}

// The identity world transform of the block-transfer records.
void PutIdentityTransform(QByteArray& out)
{
    for (float m : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f})
        PutFloat(out, m);
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

// RGNDATA: the header and the rectangles (right and bottom exclusive).
QByteArray RegionData(const TRegion& region)
{
    QByteArray data;
    Put32(data, 32);
    Put32(data, 1); // RDH_RECTANGLES
    Put32(data, static_cast<uint32_t>(region.rectCount()));
    Put32(data, static_cast<uint32_t>(region.rectCount() * 16));
    const QRect bounds = region.boundingRect();
    PutBox(data, bounds.left(), bounds.top(), bounds.left() + bounds.width(), bounds.top() + bounds.height());
    for (const QRect& r : region)
        PutBox(data, r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return data;
}

// The stock object that stands for a (normalized) pen or brush, or 0.
uint32_t StockHandle(const TLogPen& pen)
{
    if (pen.Style == PS_NULL)
        return kStock | NULL_PEN;
    return pen == TLogPen() ? kStock | BLACK_PEN : 0;
}

uint32_t StockHandle(const TLogBrush& brush)
{
    if (brush.Kind == TBrushKind::Null)
        return kStock | NULL_BRUSH;
    if (brush.Kind != TBrushKind::Solid)
        return 0;
    const uint32_t color = ColorRef(brush.Color);
    return color == 0xFFFFFF ? kStock | WHITE_BRUSH : color == 0 ? kStock | BLACK_BRUSH : 0;
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
    wide.setCapStyle(QtCapOf(pen.EndCap));
    wide.setJoinStyle(QtJoinOf(pen.Join));
    return wide;
}

} // namespace

// --- Helpers both writers share -----------------------------------------------------------------

std::vector<int32_t> metafile::CharacterAdvances(const TLogFont& font, const QString& text, int extra)
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

TLogPen metafile::Normalized(const TLogPen& pen)
{
    if (pen.Style != PS_NULL)
        return pen;
    TLogPen null;
    null.Style = PS_NULL;
    return null;
}

TLogBrush metafile::Normalized(const TLogBrush& brush, TColor dcBrushColor)
{
    if (brush.Kind == TBrushKind::DCBrush)
        return CreateSolidBrush(dcBrushColor);
    if (brush.Kind == TBrushKind::Null || (brush.Kind == TBrushKind::Pattern && brush.Pattern.isNull()))
        return NullBrush();
    if (brush.Kind == TBrushKind::Solid)
        return CreateSolidBrush(brush.Color);
    return brush;
}

QImage metafile::SourcePixels(const TDeviceContext& source, int sx, int sy, int sw, int sh)
{
    const QImage* pixels = source.Image();
    if (!pixels)
        return QImage();
    const TPoint a = source.LPtoDP({sx, sy}), b = source.LPtoDP({sx + sw, sy + sh});
    return pixels->copy(QRectF(QPointF(a.X, a.Y), QPointF(b.X, b.Y)).normalized().toRect());
}

// --- TMetafileDC::TWriter ------------------------------------------------------------------------

// The file being recorded: the records after the header, the object table,
// and the state the file's reader holds once it has read them. Every
// record function returns the offset of the record it wrote (its rclBounds,
// where it has one, is 8 bytes further).
class TMetafileDC::TWriter {
public:
    TWriter() : FHandles(1, true) {}

    bool Finished() const { return FResult.has_value(); }
    void SetTitle(const QString& title) { FTitle = title; }
    void SetFrame(const TRect& hundredthsOfMillimetre) { FFrame = hundredthsOfMillimetre; }

    // One record: 'fields' puts what follows the type and the size.
    template <class TFields>
    qsizetype Write(uint32_t type, TFields&& fields)
    {
        const qsizetype at = FBody.size();
        Put32(FBody, type);
        Put32(FBody, 0); // the size, below
        fields(FBody);
        PadTo(FBody, 4);
        Patch32(FBody, at + 4, static_cast<uint32_t>(FBody.size() - at));
        ++FRecordCount;
        return at;
    }

    qsizetype Empty(uint32_t type)
    {
        return Write(type, [](QByteArray&) {});
    }
    qsizetype Value(uint32_t type, uint32_t value)
    {
        return Write(type, [&](QByteArray& out) { Put32(out, value); });
    }
    qsizetype Pair(uint32_t type, int32_t a, int32_t b)
    {
        return Write(type, [&](QByteArray& out) {
            PutI32(out, a);
            PutI32(out, b);
        });
    }
    qsizetype Box(uint32_t type, int l, int t, int r, int b)
    {
        return Write(type, [&](QByteArray& out) { PutBox(out, l, t, r, b); });
    }
    // Arcs, pies and chords: the box and the two radial points.
    qsizetype ArcBox(uint32_t type, int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
    {
        return Write(type, [&](QByteArray& out) {
            PutBox(out, l, t, r, b);
            PutBox(out, xStart, yStart, xEnd, yEnd);
        });
    }
    // A record of its bounds alone (the path fills and strokes).
    qsizetype BoundsOnly(uint32_t type)
    {
        return Write(type, [](QByteArray& out) { PutPixelRect(out, QRect()); });
    }

    // The 16-bit form when every point fits.
    qsizetype Poly(uint32_t type16, uint32_t type32, const TPoint* points, int count);
    qsizetype PolyPolygon(const TPoint* points, const int* counts, int polygons);
    qsizetype PatBlt(int x, int y, int width, int height, uint32_t rop);
    qsizetype Text(int x, int y, const QString& text, const std::vector<int32_t>& advances, int dpiX, int dpiY);
    qsizetype Image(const TRect& dest, const QImage& image, std::optional<TColor> transparent, uint32_t rop);
    qsizetype Clip(const TRegion* region, int mode);
    // EMR_FILLRGN with the current brush object, or a temporary one.
    void FillRegion(const TRegion& region, const QRect& inked, const TLogBrush& brush);

    // Fills the rclBounds field at 'at' with the pixels a call inked.
    void PatchBounds(qsizetype at, const QRect& inked);
    // Writes the records of every state difference since the last record.
    void Sync(const TDeviceContext& dc);
    // A clip record has been written: the reader holds this clip now.
    void ClipRecorded(const std::optional<TRegion>& clip) { FRecorded.Clip = clip; }

    // The whole file (the same bytes on later calls).
    QByteArray Finish(const QRect& bounds, QSize reference, int dpiX, int dpiY);

private:
    uint32_t AllocateHandle();
    void Release(uint32_t handle);
    // Selects a new object in place of the one a handle held, which goes.
    void Replace(uint32_t& current, uint32_t handle);
    uint32_t PenObject(const TLogPen& pen);
    uint32_t BrushObject(const TLogBrush& brush);
    uint32_t FontObject(const TLogFont& font);
    void SyncObjects(const TDeviceContext& dc);
    TRect FrameOf(const QRect& bounds, int dpiX, int dpiY) const;

    QByteArray FBody;
    uint32_t FRecordCount = 0;
    std::vector<bool> FHandles; // entry 0 is the metafile itself
    // What the reader holds; its font only once FFontHandle is set.
    TStateSnapshot FRecorded;
    uint32_t FPenHandle = kStock | BLACK_PEN;
    uint32_t FBrushHandle = kStock | WHITE_BRUSH;
    uint32_t FFontHandle = 0;
    std::optional<TRect> FFrame;
    std::optional<QString> FTitle;
    std::optional<QByteArray> FResult;
};

qsizetype TMetafileDC::TWriter::Poly(uint32_t type16, uint32_t type32, const TPoint* points, int count)
{
    const bool narrow = Fits16(points, count);
    return Write(narrow ? type16 : type32, [&](QByteArray& out) {
        PutPixelRect(out, QRect());
        Put32(out, static_cast<uint32_t>(count));
        PutPoints(out, points, count, !narrow);
    });
}

qsizetype TMetafileDC::TWriter::PolyPolygon(const TPoint* points, const int* counts, int polygons)
{
    int64_t total = 0;
    for (int k = 0; k < polygons; ++k)
        total += std::max(counts[k], 0);
    const int count = static_cast<int>(total);
    const bool narrow = Fits16(points, count);
    return Write(narrow ? EMR_POLYPOLYGON16 : EMR_POLYPOLYGON, [&](QByteArray& out) {
        PutPixelRect(out, QRect());
        Put32(out, static_cast<uint32_t>(polygons));
        Put32(out, static_cast<uint32_t>(count));
        for (int k = 0; k < polygons; ++k)
            Put32(out, static_cast<uint32_t>(std::max(counts[k], 0)));
        PutPoints(out, points, count, !narrow);
    });
}

// A bit-block transfer without a bitmap: the pattern alone.
qsizetype TMetafileDC::TWriter::PatBlt(int x, int y, int width, int height, uint32_t rop)
{
    return Write(EMR_BITBLT, [&](QByteArray& out) {
        PutPixelRect(out, QRect());
        PutBox(out, x, y, width, height);
        Put32(out, rop);
        PutI32(out, 0);
        PutI32(out, 0);
        PutIdentityTransform(out);
        for (int i = 0; i < 6; ++i) // background colour, usage and an absent bitmap
            Put32(out, 0);
    });
}

qsizetype TMetafileDC::TWriter::Text(int x, int y, const QString& text, const std::vector<int32_t>& advances,
                                     int dpiX, int dpiY)
{
    const uint32_t count = static_cast<uint32_t>(text.size());
    const uint32_t stringAt = 76;
    const uint32_t dxAt = stringAt + ((count * 2 + 3) / 4) * 4;
    return Write(EMR_EXTTEXTOUTW, [&](QByteArray& out) {
        PutPixelRect(out, QRect());
        Put32(out, GM_COMPATIBLE);
        PutFloat(out, static_cast<float>(2540.0 / dpiX)); // hundredths of a millimetre per pixel
        PutFloat(out, static_cast<float>(2540.0 / dpiY));
        PutI32(out, x);
        PutI32(out, y);
        Put32(out, count);
        Put32(out, stringAt);
        Put32(out, 0); // options
        PutBox(out, 0, 0, -1, -1);
        Put32(out, dxAt);
        for (QChar c : text)
            Put16(out, c.unicode());
        PadTo(out, 4);
        for (int32_t advance : advances)
            PutI32(out, advance);
    });
}

qsizetype TMetafileDC::TWriter::Image(const TRect& dest, const QImage& image, std::optional<TColor> transparent,
                                      uint32_t rop)
{
    const bool alpha = !transparent && rop == SRCCOPY && HasTranslucency(image);
    const TDib dib = EncodeDib32(image, alpha);
    const int w = image.width(), h = image.height();
    if (!transparent && !alpha)
        return Write(EMR_STRETCHDIBITS, [&](QByteArray& out) {
            PutPixelRect(out, QRect());
            PutI32(out, dest.Left);
            PutI32(out, dest.Top);
            PutBox(out, 0, 0, w, h); // the source rectangle
            Put32(out, 80);
            Put32(out, static_cast<uint32_t>(dib.Info.size()));
            Put32(out, static_cast<uint32_t>(80 + dib.Info.size()));
            Put32(out, static_cast<uint32_t>(dib.Bits.size()));
            Put32(out, DIB_RGB_COLORS);
            Put32(out, rop);
            PutI32(out, dest.Width());
            PutI32(out, dest.Height());
            out += dib.Info;
            out += dib.Bits;
        });
    // A transparent colour or alpha: the stretch-blit layout, whose raster
    // operation field holds the colour or the blend function.
    return Write(transparent ? EMR_TRANSPARENTBLT : EMR_ALPHABLEND, [&](QByteArray& out) {
        PutPixelRect(out, QRect());
        PutBox(out, dest.Left, dest.Top, dest.Width(), dest.Height());
        Put32(out, transparent ? ColorRef(*transparent) : kBlendSourceAlpha);
        PutI32(out, 0);
        PutI32(out, 0);
        PutIdentityTransform(out);
        Put32(out, 0); // background colour of the source
        Put32(out, DIB_RGB_COLORS);
        Put32(out, 108);
        Put32(out, static_cast<uint32_t>(dib.Info.size()));
        Put32(out, static_cast<uint32_t>(108 + dib.Info.size()));
        Put32(out, static_cast<uint32_t>(dib.Bits.size()));
        PutI32(out, w);
        PutI32(out, h);
        out += dib.Info;
        out += dib.Bits;
    });
}

qsizetype TMetafileDC::TWriter::Clip(const TRegion* region, int mode)
{
    const QByteArray data = region ? RegionData(*region) : QByteArray();
    return Write(EMR_EXTSELECTCLIPRGN, [&](QByteArray& out) {
        Put32(out, static_cast<uint32_t>(data.size()));
        Put32(out, static_cast<uint32_t>(mode));
        out += data;
    });
}

void TMetafileDC::TWriter::FillRegion(const TRegion& region, const QRect& inked, const TLogBrush& brush)
{
    const bool current = brush == FRecorded.Brush && !(FBrushHandle & kStock);
    const uint32_t handle = current ? FBrushHandle : BrushObject(brush);
    const QByteArray data = RegionData(region);
    Write(EMR_FILLRGN, [&](QByteArray& out) {
        PutPixelRect(out, inked);
        Put32(out, static_cast<uint32_t>(data.size()));
        Put32(out, handle);
        out += data;
    });
    if (!current)
        Release(handle);
}

void TMetafileDC::TWriter::PatchBounds(qsizetype at, const QRect& inked)
{
    const bool empty = inked.isEmpty();
    Patch32(FBody, at, static_cast<uint32_t>(empty ? 0 : inked.left()));
    Patch32(FBody, at + 4, static_cast<uint32_t>(empty ? 0 : inked.top()));
    Patch32(FBody, at + 8, static_cast<uint32_t>(empty ? -1 : inked.right()));
    Patch32(FBody, at + 12, static_cast<uint32_t>(empty ? -1 : inked.bottom()));
}

uint32_t TMetafileDC::TWriter::AllocateHandle()
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

void TMetafileDC::TWriter::Release(uint32_t handle)
{
    if ((handle & kStock) || handle == 0 || handle >= FHandles.size())
        return;
    Value(EMR_DELETEOBJECT, handle);
    FHandles[handle] = false;
}

void TMetafileDC::TWriter::Replace(uint32_t& current, uint32_t handle)
{
    Value(EMR_SELECTOBJECT, handle);
    Release(current);
    current = handle;
}

uint32_t TMetafileDC::TWriter::PenObject(const TLogPen& pen)
{
    const uint32_t handle = AllocateHandle();
    if (CreatePen(pen.Style, pen.Width, pen.Color) == pen) {
        Write(EMR_CREATEPEN, [&](QByteArray& out) {
            Put32(out, handle);
            Put32(out, static_cast<uint32_t>(pen.Style));
            PutI32(out, pen.Width);
            PutI32(out, 0);
            Put32(out, ColorRef(pen.Color));
        });
        return handle;
    }
    const size_t entries = pen.Style == PS_USERSTYLE ? std::min<size_t>(pen.UserStyle.size(), kMaxPenStyleEntries) : 0;
    Write(EMR_EXTCREATEPEN, [&](QByteArray& out) {
        Put32(out, handle);
        PutBox(out, 0, 0, 0, 0); // no brush bitmap
        Put32(out, static_cast<uint32_t>(pen.Style | (pen.Geometric ? PS_GEOMETRIC : 0) | pen.EndCap | pen.Join));
        PutI32(out, pen.Width);
        Put32(out, BS_SOLID);
        Put32(out, ColorRef(pen.Color));
        Put32(out, 0);
        Put32(out, static_cast<uint32_t>(entries));
        for (size_t i = 0; i < entries; ++i)
            Put32(out, pen.UserStyle[i]);
    });
    return handle;
}

uint32_t TMetafileDC::TWriter::BrushObject(const TLogBrush& brush)
{
    const uint32_t handle = AllocateHandle();
    if (brush.Kind == TBrushKind::Pattern) {
        const bool mono = IsMonochrome(brush.Pattern);
        const TDib dib = mono ? EncodeDibMono(brush.Pattern) : EncodeDib32(brush.Pattern, false);
        Write(mono ? EMR_CREATEMONOBRUSH : EMR_CREATEDIBPATTERNBRUSHPT, [&](QByteArray& out) {
            Put32(out, handle);
            Put32(out, DIB_RGB_COLORS);
            Put32(out, 32);
            Put32(out, static_cast<uint32_t>(dib.Info.size()));
            Put32(out, static_cast<uint32_t>(32 + dib.Info.size()));
            Put32(out, static_cast<uint32_t>(dib.Bits.size()));
            out += dib.Info;
            out += dib.Bits;
        });
        return handle;
    }
    Write(EMR_CREATEBRUSHINDIRECT, [&](QByteArray& out) {
        Put32(out, handle);
        Put32(out, BrushStyleOf(brush));
        Put32(out, ColorRef(brush.Color));
        Put32(out, brush.Kind == TBrushKind::Hatched ? static_cast<uint32_t>(brush.Hatch) : 0);
    });
    return handle;
}

uint32_t TMetafileDC::TWriter::FontObject(const TLogFont& font)
{
    const uint32_t handle = AllocateHandle();
    Write(EMR_EXTCREATEFONTINDIRECTW, [&](QByteArray& out) {
        Put32(out, handle);
        const qsizetype logFont = out.size();
        PutI32(out, font.Height);
        PutI32(out, 0); // width: the font's own
        PutI32(out, font.Escapement);
        PutI32(out, font.Orientation);
        PutI32(out, font.Weight);
        Put8(out, font.Italic ? 1 : 0);
        Put8(out, font.Underline ? 1 : 0);
        Put8(out, font.StrikeOut ? 1 : 0);
        Put8(out, static_cast<uint8_t>(font.CharSet));
        Put8(out, static_cast<uint8_t>(font.OutPrecision));
        Put8(out, 0); // clip precision
        Put8(out, static_cast<uint8_t>(font.Quality));
        Put8(out, 0); // pitch and family
        const QString face = font.FaceName.left(31);
        for (int i = 0; i < 32; ++i)
            Put16(out, i < face.size() ? face[i].unicode() : 0);
        // The rest of the panose form (full name, style, version ...) stays zero.
        out.append(QByteArray(kFontObjectSize - (out.size() - logFont), '\0'));
    });
    return handle;
}

void TMetafileDC::TWriter::SyncObjects(const TDeviceContext& dc)
{
    const TLogPen pen = Normalized(dc.Pen());
    if (!(pen == FRecorded.Pen)) {
        const uint32_t stock = StockHandle(pen);
        Replace(FPenHandle, stock != 0 ? stock : PenObject(pen));
        FRecorded.Pen = pen;
    }

    const TLogBrush brush = Normalized(dc.Brush(), dc.DCBrushColor());
    if (!(brush == FRecorded.Brush)) {
        const uint32_t stock = StockHandle(brush);
        Replace(FBrushHandle, stock != 0 ? stock : BrushObject(brush));
        FRecorded.Brush = brush;
    }

    const TLogFont& font = dc.Font();
    if (FFontHandle == 0 || !(FRecorded.Font == font)) {
        Replace(FFontHandle, FontObject(font));
        FRecorded.Font = font;
    }
}

namespace {

// A recorded value brought up to date: 'write' puts the record of the new one.
template <class T, class TWrite>
void Follow(T& recorded, const T& current, TWrite&& write)
{
    if (current == recorded)
        return;
    recorded = current;
    write(current);
}

} // namespace

void TMetafileDC::TWriter::Sync(const TDeviceContext& dc)
{
    TStateSnapshot& r = FRecorded;
    // The writers of the three kinds of value record.
    const auto value = [this](uint32_t type) {
        return [this, type](auto v) { Value(type, static_cast<uint32_t>(v)); };
    };
    const auto point = [this](uint32_t type) { return [this, type](const TPoint& p) { Pair(type, p.X, p.Y); }; };
    const auto size = [this](uint32_t type) { return [this, type](const TSize& s) { Pair(type, s.cx, s.cy); }; };
    Follow(r.MapMode, dc.MapMode(), value(EMR_SETMAPMODE));
    // Extents count only in the scaled modes; the reader ignores them in
    // MM_TEXT, so they are written once such a mode is on.
    if (dc.MapMode() != MM_TEXT) {
        Follow(r.WindowExt, dc.WindowExt(), size(EMR_SETWINDOWEXTEX));
        Follow(r.ViewportExt, dc.ViewportExt(), size(EMR_SETVIEWPORTEXTEX));
    }
    Follow(r.WindowOrg, dc.WindowOrg(), point(EMR_SETWINDOWORGEX));
    Follow(r.ViewportOrg, dc.ViewportOrg(), point(EMR_SETVIEWPORTORGEX));
    Follow(r.BrushOrg, dc.BrushOrg(), point(EMR_SETBRUSHORGEX));
    // Colours count by the value they stand for (system colours resolved).
    if (ColorRef(dc.TextColor()) != ColorRef(r.TextColor))
        Value(EMR_SETTEXTCOLOR, ColorRef(r.TextColor = dc.TextColor()));
    if (ColorRef(dc.BkColor()) != ColorRef(r.BkColor))
        Value(EMR_SETBKCOLOR, ColorRef(r.BkColor = dc.BkColor()));
    Follow(r.BkMode, dc.BkMode(), value(EMR_SETBKMODE));
    Follow(r.TextAlign, dc.TextAlign(), value(EMR_SETTEXTALIGN));
    Follow(r.Rop2, dc.ROP2(), value(EMR_SETROP2));
    Follow(r.PolyFillMode, dc.PolyFillMode(), value(EMR_SETPOLYFILLMODE));
    Follow(r.ArcDirection, dc.ArcDirection(), value(EMR_SETARCDIRECTION));
    Follow(r.Clip, dc.ClipRegion(),
           [this](const std::optional<TRegion>& clip) { Clip(clip ? &*clip : nullptr, RGN_COPY); });
    SyncObjects(dc);
}

TRect TMetafileDC::TWriter::FrameOf(const QRect& bounds, int dpiX, int dpiY) const
{
    if (FFrame)
        return *FFrame;
    if (bounds.isEmpty())
        return {0, 0, 0, 0};
    // The frame covers the inked pixels: right and bottom are the edges
    // after the last pixel.
    return {PixelsToHundredths(bounds.left(), dpiX), PixelsToHundredths(bounds.top(), dpiY),
            PixelsToHundredths(bounds.right() + 1.0, dpiX), PixelsToHundredths(bounds.bottom() + 1.0, dpiY)};
}

QByteArray TMetafileDC::TWriter::Finish(const QRect& bounds, QSize reference, int dpiX, int dpiY)
{
    if (FResult)
        return *FResult;
    Write(EMR_EOF, [](QByteArray& out) {
        Put32(out, 0);  // nPalEntries
        Put32(out, 16); // offPalEntries
        Put32(out, 20); // nSizeLast
    });

    QString description;
    if (FTitle)
        description = QStringLiteral("Lithoprism") + QChar(0) + *FTitle + QChar(0) + QChar(0);
    QByteArray header;
    Put32(header, EMR_HEADER);
    Put32(header, 0); // size, below
    PutPixelRect(header, bounds);
    const TRect frame = FrameOf(bounds, dpiX, dpiY);
    PutBox(header, frame.Left, frame.Top, frame.Right, frame.Bottom);
    Put32(header, kEnhMetafileSignature);
    Put32(header, 0x10000); // nVersion
    Put32(header, 0);       // nBytes, below
    Put32(header, FRecordCount + 1);
    Put16(header, static_cast<uint16_t>(std::min<size_t>(FHandles.size(), 0xFFFF)));
    Put16(header, 0);
    Put32(header, static_cast<uint32_t>(description.size()));
    Put32(header, description.isEmpty() ? 0 : kHeaderSize);
    Put32(header, 0); // nPalEntries
    PutI32(header, reference.width());
    PutI32(header, reference.height());
    PutI32(header, ClampRound(reference.width() * 25.4 / dpiX));
    PutI32(header, ClampRound(reference.height() * 25.4 / dpiY));
    Put32(header, 0); // cbPixelFormat
    Put32(header, 0); // offPixelFormat
    Put32(header, 0); // bOpenGL
    PutI32(header, ClampRound(reference.width() * 25400.0 / dpiX));
    PutI32(header, ClampRound(reference.height() * 25400.0 / dpiY));
    for (QChar c : description)
        Put16(header, c.unicode());
    PadTo(header, 4);
    Patch32(header, 4, static_cast<uint32_t>(header.size()));
    Patch32(header, 48, static_cast<uint32_t>(header.size() + FBody.size()));

    FResult = header + FBody;
    FBody.clear();
    return *FResult;
}

// --- TMetafileDC::TCall ---------------------------------------------------------------------------

// One recorded call: writes the pending state first, marks the nesting (the
// base class's implementation may call other virtual primitives, which must
// not record again) and, at the end, fills the record's rclBounds with the
// pixels the call inked.
class TMetafileDC::TCall {
public:
    explicit TCall(TMetafileDC& dc) : FDC(dc)
    {
        dc.CheckOpen();
        dc.FWriter->Sync(dc);
        ++dc.FDepth;
        dc.FCallInked = QRect();
    }
    ~TCall()
    {
        --FDC.FDepth;
        if (FBoundsAt >= 0)
            FDC.FWriter->PatchBounds(FBoundsAt, FDC.FCallInked);
    }
    TCall(const TCall&) = delete;
    TCall& operator=(const TCall&) = delete;
    // The offset of the record's rclBounds field, once the record is written.
    void BoundsAt(qsizetype at) { FBoundsAt = at; }

private:
    TMetafileDC& FDC;
    qsizetype FBoundsAt = -1;
};

template <class TWrite, class TForward>
decltype(auto) TMetafileDC::Record(TRecording kind, TWrite&& write, TForward&& forward)
{
    if (FDepth > 0 || kind == TRecording::Skip)
        return forward();
    TCall call(*this);
    if constexpr (std::is_void_v<decltype(write())>) {
        write();
    } else {
        // Only a record that was written gets its bounds: an encoding that
        // raises leaves nothing behind to patch.
        const qsizetype at = write();
        if (kind == TRecording::Bounded)
            call.BoundsAt(at + 8);
    }
    return forward();
}

template <class TWrite, class TForward>
int TMetafileDC::RecordClip(TRecording kind, TWrite&& write, TForward&& forward)
{
    bool recorded = false;
    const int result = Record(
        kind,
        [&] {
            recorded = true;
            return write();
        },
        forward);
    if (recorded)
        FWriter->ClipRecorded(ClipRegion());
    return result;
}

// --- TMetafileDC ------------------------------------------------------------------------------------

TMetafileDC::TMetafileDC(QSize referenceSize, int pixelsPerInchX, int pixelsPerInchY)
    : FReferenceSize(referenceSize.isValid() && !referenceSize.isEmpty() ? referenceSize : QSize(1920, 1080)),
      FDpiX(pixelsPerInchX > 0 ? pixelsPerInchX : 96),
      FDpiY(pixelsPerInchY > 0 ? pixelsPerInchY : (pixelsPerInchX > 0 ? pixelsPerInchX : 96)),
      FWriter(std::make_unique<TWriter>()), FCoverageLeft(kCoverageBudget)
{
}

TMetafileDC::~TMetafileDC() = default;

void TMetafileDC::SetDescription(const QString& title)
{
    CheckOpen();
    FWriter->SetTitle(title);
}

void TMetafileDC::SetFrame(const TRect& hundredthsOfMillimetre)
{
    CheckOpen();
    FWriter->SetFrame(hundredthsOfMillimetre);
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

bool TMetafileDC::Finished() const
{
    return FWriter->Finished();
}

QByteArray TMetafileDC::Finish()
{
    return FWriter->Finish(FBounds, FReferenceSize, FDpiX, FDpiY);
}

void TMetafileDC::CheckOpen() const
{
    if (Finished())
        throw EInvalidOperation("The metafile recording has been finished");
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
    // Pixels inside the bounds so far cannot grow them: only the part of the
    // box outside is measured (a picture of many adjoining polygons, each
    // reaching a little beyond the others, measures a sliver of each).
    const QRegion outside = QRegion(area).subtracted(QRegion(FBounds));
    int64_t measured = 0;
    for (const QRect& part : outside)
        measured += int64_t(part.width()) * part.height();
    if (measured > kCoverageArea || measured > FCoverageLeft) {
        FBounds |= area;
        return;
    }
    FCoverageLeft -= measured;
    // Paint the call in black on transparent tiles, exactly as the painter
    // engine would (aliased, same clip), and keep the covered pixels.
    QRect exact;
    for (const QRect& part : outside)
        InkExactly(part, paint, exact);
    FBounds |= exact;
}

void TMetafileDC::InkExactly(const QRect& area, const std::function<void(QPainter&)>& paint, QRect& exact) const
{
    for (int top = area.top(); top <= area.bottom(); top += kCoverageTile) {
        for (int left = area.left(); left <= area.right(); left += kCoverageTile) {
            const QRect tile(left, top, std::min(kCoverageTile, area.right() - left + 1),
                             std::min(kCoverageTile, area.bottom() - top + 1));
            // One byte of coverage a pixel, scanned a machine word at a
            // time: a large drawing is measured in a fraction of the time.
            QImage mask(tile.size(), QImage::Format_Alpha8);
            mask.fill(0);
            {
                QPainter painter(&mask);
                painter.setRenderHint(QPainter::Antialiasing, false);
                painter.translate(-tile.left(), -tile.top());
                if (ClipRegion())
                    painter.setClipRegion(*ClipRegion());
                paint(painter);
            }
            for (int y = 0; y < mask.height(); ++y) {
                const auto [first, last] = InkedSpan(mask.constScanLine(y), mask.width());
                if (first >= 0)
                    exact |= QRect(tile.left() + first, tile.top() + y, last - first + 1, 1);
            }
        }
    }
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
    QRect inked = region.boundingRect();
    if (ClipRegion())
        inked = ClipRegion()->intersected(region).boundingRect();
    FWriter->FillRegion(region, inked, Normalized(brush, DCBrushColor()));
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

void TMetafileDC::MoveTo(int x, int y)
{
    Record(TRecording::Plain, [&] { return FWriter->Pair(EMR_MOVETOEX, x, y); },
           [&] { TDeviceContext::MoveTo(x, y); });
}

void TMetafileDC::LineTo(int x, int y)
{
    Record(TRecording::Plain, [&] { return FWriter->Pair(EMR_LINETO, x, y); },
           [&] { TDeviceContext::LineTo(x, y); });
}

void TMetafileDC::Polyline(const TPoint* points, int count)
{
    Record(BoundedIf(count >= 2), [&] { return FWriter->Poly(EMR_POLYLINE16, EMR_POLYLINE, points, count); },
           [&] { TDeviceContext::Polyline(points, count); });
}

void TMetafileDC::PolylineTo(const TPoint* points, int count)
{
    Record(BoundedIf(count >= 1), [&] { return FWriter->Poly(EMR_POLYLINETO16, EMR_POLYLINETO, points, count); },
           [&] { TDeviceContext::PolylineTo(points, count); });
}

void TMetafileDC::PolyBezier(const TPoint* points, int count)
{
    Record(BoundedIf(count >= 4 && (count - 1) % 3 == 0),
           [&] { return FWriter->Poly(EMR_POLYBEZIER16, EMR_POLYBEZIER, points, count); },
           [&] { TDeviceContext::PolyBezier(points, count); });
}

void TMetafileDC::Polygon(const TPoint* points, int count)
{
    Record(BoundedIf(count >= 2), [&] { return FWriter->Poly(EMR_POLYGON16, EMR_POLYGON, points, count); },
           [&] { TDeviceContext::Polygon(points, count); });
}

void TMetafileDC::PolyPolygon(const TPoint* points, const int* counts, int polygons)
{
    Record(BoundedIf(polygons >= 1), [&] { return FWriter->PolyPolygon(points, counts, polygons); },
           [&] { TDeviceContext::PolyPolygon(points, counts, polygons); });
}

void TMetafileDC::Arc(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    Record(TRecording::Plain, [&] { return FWriter->ArcBox(EMR_ARC, l, t, r, b, xStart, yStart, xEnd, yEnd); },
           [&] { TDeviceContext::Arc(l, t, r, b, xStart, yStart, xEnd, yEnd); });
}

void TMetafileDC::ArcTo(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    Record(TRecording::Plain, [&] { return FWriter->ArcBox(EMR_ARCTO, l, t, r, b, xStart, yStart, xEnd, yEnd); },
           [&] { TDeviceContext::ArcTo(l, t, r, b, xStart, yStart, xEnd, yEnd); });
}

void TMetafileDC::Pie(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    Record(TRecording::Plain, [&] { return FWriter->ArcBox(EMR_PIE, l, t, r, b, xStart, yStart, xEnd, yEnd); },
           [&] { TDeviceContext::Pie(l, t, r, b, xStart, yStart, xEnd, yEnd); });
}

void TMetafileDC::Chord(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    Record(TRecording::Plain, [&] { return FWriter->ArcBox(EMR_CHORD, l, t, r, b, xStart, yStart, xEnd, yEnd); },
           [&] { TDeviceContext::Chord(l, t, r, b, xStart, yStart, xEnd, yEnd); });
}

void TMetafileDC::Rectangle(int l, int t, int r, int b)
{
    Record(TRecording::Plain, [&] { return FWriter->Box(EMR_RECTANGLE, l, t, r, b); },
           [&] { TDeviceContext::Rectangle(l, t, r, b); });
}

void TMetafileDC::Ellipse(int l, int t, int r, int b)
{
    Record(TRecording::Plain, [&] { return FWriter->Box(EMR_ELLIPSE, l, t, r, b); },
           [&] { TDeviceContext::Ellipse(l, t, r, b); });
}

void TMetafileDC::RoundRect(int l, int t, int r, int b, int width, int height)
{
    Record(
        TRecording::Plain,
        [&] {
            return FWriter->Write(EMR_ROUNDRECT, [&](QByteArray& out) {
                PutBox(out, l, t, r, b);
                PutI32(out, width);
                PutI32(out, height);
            });
        },
        [&] { TDeviceContext::RoundRect(l, t, r, b, width, height); });
}

// FillRect and FillRgn write no record of their own: the engine writes
// EMR_FILLRGN, where the base class has the area in device pixels.
void TMetafileDC::FillRect(const TRect& rect, const TLogBrush& brush)
{
    Record(TRecording::Plain, [] {}, [&] { TDeviceContext::FillRect(rect, brush); });
}

void TMetafileDC::FillRgn(const TRegion& region, const TLogBrush& brush)
{
    Record(TRecording::Plain, [] {}, [&] { TDeviceContext::FillRgn(region, brush); });
}

void TMetafileDC::PatBlt(int x, int y, int width, int height, uint32_t rop)
{
    Record(TRecording::Bounded, [&] { return FWriter->PatBlt(x, y, width, height, rop); },
           [&] { TDeviceContext::PatBlt(x, y, width, height, rop); });
}

void TMetafileDC::TextOut(int x, int y, const QString& text)
{
    Record(
        BoundedIf(!text.isEmpty()),
        [&] {
            return FWriter->Text(x, y, text, CharacterAdvances(Font(), text, TextCharacterExtra()), FDpiX, FDpiY);
        },
        [&] { TDeviceContext::TextOut(x, y, text); });
}

void TMetafileDC::SetPixel(int x, int y, TColor color)
{
    Record(
        TRecording::Plain,
        [&] {
            return FWriter->Write(EMR_SETPIXELV, [&](QByteArray& out) {
                PutI32(out, x);
                PutI32(out, y);
                Put32(out, ColorRef(color));
            });
        },
        [&] {
            const QPointF p = ToDevice(x, y);
            InkExact(QRect(ClampRound(p.x()), ClampRound(p.y()), 1, 1));
        });
}

TColor TMetafileDC::GetPixel(int, int) const
{
    return clNone;
}

bool TMetafileDC::ExtFloodFill(int x, int y, TColor color, int type)
{
    return Record(
        TRecording::Plain,
        [&] {
            return FWriter->Write(EMR_EXTFLOODFILL, [&](QByteArray& out) {
                PutI32(out, x);
                PutI32(out, y);
                Put32(out, ColorRef(color));
                Put32(out, static_cast<uint32_t>(type));
            });
        },
        [] { return true; });
}

void TMetafileDC::StretchBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy, int sw,
                             int sh, uint32_t rop)
{
    const auto forward = [&] { TDeviceContext::StretchBlt(x, y, width, height, source, sx, sy, sw, sh, rop); };
    if (FDepth > 0 || !source.Image() || width == 0 || height == 0)
        return forward();
    const QImage part = SourcePixels(source, sx, sy, sw, sh);
    if (part.isNull())
        return;
    Record(TRecording::Bounded, [&] { return FWriter->Image({x, y, x + width, y + height}, part, {}, rop); },
           forward);
}

void TMetafileDC::DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent)
{
    Record(BoundedIf(!image.isNull()), [&] { return FWriter->Image(dest, image, transparent, SRCCOPY); },
           [&] { TDeviceContext::DrawImage(dest, image, transparent); });
}

// --- Clipping and paths ---

int TMetafileDC::SelectClipRgn(const TRegion* region)
{
    return ExtSelectClipRgn(region, RGN_COPY);
}

int TMetafileDC::ExtSelectClipRgn(const TRegion* region, int mode)
{
    const bool valid = mode >= RGN_AND && mode <= RGN_COPY && (region || mode == RGN_COPY);
    return RecordClip(valid ? TRecording::Plain : TRecording::Skip, [&] { return FWriter->Clip(region, mode); },
                      [&] { return TDeviceContext::ExtSelectClipRgn(region, mode); });
}

int TMetafileDC::IntersectClipRect(int l, int t, int r, int b)
{
    return RecordClip(TRecording::Plain, [&] { return FWriter->Box(EMR_INTERSECTCLIPRECT, l, t, r, b); },
                      [&] { return TDeviceContext::IntersectClipRect(l, t, r, b); });
}

int TMetafileDC::SelectClipPath(int mode)
{
    return RecordClip(TRecording::Plain,
                      [&] { return FWriter->Value(EMR_SELECTCLIPPATH, static_cast<uint32_t>(mode)); },
                      [&] { return TDeviceContext::SelectClipPath(mode); });
}

void TMetafileDC::BeginPath()
{
    Record(TRecording::Plain, [&] { return FWriter->Empty(EMR_BEGINPATH); }, [&] { TDeviceContext::BeginPath(); });
}

void TMetafileDC::EndPath()
{
    Record(TRecording::Plain, [&] { return FWriter->Empty(EMR_ENDPATH); }, [&] { TDeviceContext::EndPath(); });
}

void TMetafileDC::AbortPath()
{
    Record(TRecording::Plain, [&] { return FWriter->Empty(EMR_ABORTPATH); }, [&] { TDeviceContext::AbortPath(); });
}

void TMetafileDC::CloseFigure()
{
    Record(TRecording::Plain, [&] { return FWriter->Empty(EMR_CLOSEFIGURE); },
           [&] { TDeviceContext::CloseFigure(); });
}

void TMetafileDC::WidenPath()
{
    Record(TRecording::Plain, [&] { return FWriter->Empty(EMR_WIDENPATH); }, [&] { TDeviceContext::WidenPath(); });
}

void TMetafileDC::StrokePath()
{
    Record(TRecording::Bounded, [&] { return FWriter->BoundsOnly(EMR_STROKEPATH); },
           [&] { TDeviceContext::StrokePath(); });
}

void TMetafileDC::FillPath()
{
    Record(TRecording::Bounded, [&] { return FWriter->BoundsOnly(EMR_FILLPATH); }, [&] { TDeviceContext::FillPath(); });
}

void TMetafileDC::StrokeAndFillPath()
{
    Record(TRecording::Bounded, [&] { return FWriter->BoundsOnly(EMR_STROKEANDFILLPATH); },
           [&] { TDeviceContext::StrokeAndFillPath(); });
}

} // namespace lp
