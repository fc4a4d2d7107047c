// Placeable metafiles (WMF): written from EMF by playing it onto a device
// context that writes WMF records, and read by a player like the EMF one.
#include "platform/graphics/Metafile.h"

#include "platform/graphics/Metafile_p.h"

#include <iterator>
#include <set>

namespace lp {

using namespace metafile;

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

constexpr int kPlaceableHeaderSize = 22;
constexpr int kWmfHeaderSize = 18;

int16_t Clamp16(int value)
{
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

// The two words of a 32-bit value (a colour, a raster operation), low first.
int LowWord(uint32_t value)
{
    return static_cast<int>(value & 0xFFFF);
}

int HighWord(uint32_t value)
{
    return static_cast<int>(value >> 16);
}

// The pixels from one corner to the other, whichever way round they are given.
QRect NormalizedRect(int x1, int y1, int x2, int y2)
{
    return QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized().toRect();
}

std::vector<TPoint> Rounded(const QPolygonF& figure)
{
    std::vector<TPoint> points;
    points.reserve(static_cast<size_t>(figure.size()));
    for (const QPointF& p : figure)
        points.push_back({ClampRound(p.x()), ClampRound(p.y())});
    return points;
}

// --- Writing ---------------------------------------------------------------------------------------

// A device context that writes what is drawn on it as WMF records. It is
// the target of the EMF player, which hands it pixels of the frame's
// reference device (the identity mapping), so logical units are the
// metafile's units. Shapes, lines, text and images map to their records;
// everything else (curves, paths, region fills) reaches the engine and is
// written as polygons, polylines and pattern blocks. Clips are written as an
// intersecting rectangle less excluded rectangles, inside a saved state
// that is restored for each new clip.
class TWmfWriterDC final : public TDeviceContext {
public:
    TWmfWriterDC(const TRect& frame, int inch) : FFrame(frame), FInch(std::clamp(inch, 1, 0xFFFF))
    {
        Words(META_SETWINDOWORG, {}, {frame.Left, frame.Top});
        Words(META_SETWINDOWEXT, {}, {frame.Width(), frame.Height()});
        Words(META_SAVEDC, {});
    }

    QByteArray Finish();

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
        Sync(UsesNothing);
        const uint32_t c = ColorRef(color);
        Words(META_SETPIXEL, {LowWord(c), HighWord(c)}, {x, y});
    }

    void LineTo(int x, int y) override
    {
        Shape(UsesPen, [&] { TDeviceContext::LineTo(x, y); },
              [&] {
                  Position(CurrentPosition());
                  Words(META_LINETO, {}, {x, y});
                  FState.Position = TPoint{x, y};
                  TDeviceContext::MoveTo(x, y);
              });
    }

    void Polyline(const TPoint* points, int count) override
    {
        if (!InPath() && count < 2)
            return;
        // Point counts are 16-bit: long lines are split into runs that share an end.
        Shape(UsesPen, [&] { TDeviceContext::Polyline(points, count); },
              [&] {
                  for (int start = 0; start < count - 1; start += 0xFFFE)
                      PolyWords(META_POLYLINE, points + start, std::min(count - start, 0xFFFF));
              });
    }

    void Polygon(const TPoint* points, int count) override
    {
        if (!InPath() && count < 2)
            return;
        Shape(UsesPen | UsesBrush, [&] { TDeviceContext::Polygon(points, count); },
              [&] { PolyWords(META_POLYGON, points, std::min(count, 0xFFFF)); });
    }

    void PolyPolygon(const TPoint* points, const int* counts, int polygons) override
    {
        if (!InPath() && polygons < 1)
            return;
        Shape(UsesPen | UsesBrush, [&] { TDeviceContext::PolyPolygon(points, counts, polygons); },
              [&] { PolyPolygonWords(points, counts, polygons); });
    }

    void Rectangle(int l, int t, int r, int b) override
    {
        Shape(UsesPen | UsesBrush, [&] { TDeviceContext::Rectangle(l, t, r, b); },
              [&] { Words(META_RECTANGLE, {}, {l, t, r, b}); });
    }

    void RoundRect(int l, int t, int r, int b, int width, int height) override
    {
        Shape(UsesPen | UsesBrush, [&] { TDeviceContext::RoundRect(l, t, r, b, width, height); },
              [&] { Words(META_ROUNDRECT, {}, {l, t, r, b, width, height}); });
    }

    void Ellipse(int l, int t, int r, int b) override
    {
        Shape(UsesPen | UsesBrush, [&] { TDeviceContext::Ellipse(l, t, r, b); },
              [&] { Words(META_ELLIPSE, {}, {l, t, r, b}); });
    }

    void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override
    {
        Shape(UsesPen, [&] { TDeviceContext::Arc(l, t, r, b, xs, ys, xe, ye); },
              [&] { ArcWords(META_ARC, l, t, r, b, xs, ys, xe, ye); });
    }

    void Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override
    {
        Shape(UsesPen | UsesBrush, [&] { TDeviceContext::Pie(l, t, r, b, xs, ys, xe, ye); },
              [&] { ArcWords(META_PIE, l, t, r, b, xs, ys, xe, ye); });
    }

    void Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override
    {
        Shape(UsesPen | UsesBrush, [&] { TDeviceContext::Chord(l, t, r, b, xs, ys, xe, ye); },
              [&] { ArcWords(META_CHORD, l, t, r, b, xs, ys, xe, ye); });
    }

    void TextOut(int x, int y, const QString& text) override;

    bool ExtFloodFill(int x, int y, TColor color, int type) override
    {
        Sync(UsesBrush);
        const uint32_t c = ColorRef(color);
        Words(META_EXTFLOODFILL, {type, LowWord(c), HighWord(c)}, {x, y});
        return true;
    }

    void StretchBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy, int sw, int sh,
                    uint32_t rop) override
    {
        if (!source.Image() || width == 0 || height == 0)
            return;
        const QImage part = SourcePixels(source, sx, sy, sw, sh);
        if (part.isNull())
            return;
        Sync(UsesBrush);
        StretchDib(NormalizedRect(x, y, x + width, y + height), part, rop);
    }

    void DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent) override;

protected:
    void EngineStrokeFillPath(const QPainterPath& path, bool stroke, bool fill) override;
    void EngineFillRegion(const TRegion& region, const TLogBrush& brush) override;
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
        Sync(UsesBrush);
        Words(META_PATBLT, {LowWord(rop), HighWord(rop)}, {dest.left(), dest.top(), dest.width(), dest.height()});
    }

private:
    // The objects a record draws with: Sync selects them first.
    enum TUses : unsigned { UsesNothing = 0, UsesPen = 1, UsesBrush = 2, UsesFont = 4 };

    // An object this writer created and keeps selectable.
    template <class T>
    struct TSlot {
        int Index = -1;
        T Value;
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

    // Inside a path the base class adds the figure to the path; elsewhere
    // the call is written as its record after the state it uses.
    template <class TForward, class TWrite>
    void Shape(unsigned uses, TForward&& forward, TWrite&& write)
    {
        if (InPath())
            return forward();
        Sync(uses);
        write();
    }

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

    // The parameters of a record: 'words' as they are, then 'coordinates'
    // clamped to 16 bits and last first, the order of this format.
    void PutWords(std::initializer_list<int> words, std::initializer_list<int> coordinates)
    {
        for (int w : words)
            Put16(FBody, static_cast<uint16_t>(w));
        for (auto c = std::rbegin(coordinates); c != std::rend(coordinates); ++c)
            Put16(FBody, static_cast<uint16_t>(Clamp16(*c)));
    }

    void Words(uint16_t function, std::initializer_list<int> words, std::initializer_list<int> coordinates = {})
    {
        const qsizetype at = Begin(function);
        PutWords(words, coordinates);
        End(at);
    }

    void ColorWords(uint16_t function, TColor color)
    {
        const uint32_t c = ColorRef(color);
        Words(function, {LowWord(c), HighWord(c)});
    }

    void PutPoints(const TPoint* points, int count)
    {
        for (int i = 0; i < count; ++i) {
            Put16(FBody, static_cast<uint16_t>(Clamp16(points[i].X)));
            Put16(FBody, static_cast<uint16_t>(Clamp16(points[i].Y)));
        }
    }

    void PolyWords(uint16_t function, const TPoint* points, int count)
    {
        const qsizetype at = Begin(function);
        Put16(FBody, static_cast<uint16_t>(count));
        PutPoints(points, count);
        End(at);
    }

    // Counts and polygons beyond 16 bits are cut; the points of a cut
    // polygon are still skipped as a whole.
    void PolyPolygonWords(const TPoint* points, const int* counts, int polygons)
    {
        const int n = std::min(polygons, 0xFFFF);
        const qsizetype at = Begin(META_POLYPOLYGON);
        Put16(FBody, static_cast<uint16_t>(n));
        for (int k = 0; k < n; ++k)
            Put16(FBody, static_cast<uint16_t>(std::clamp(counts[k], 0, 0xFFFF)));
        size_t offset = 0;
        for (int k = 0; k < n; ++k) {
            PutPoints(points + offset, std::clamp(counts[k], 0, 0xFFFF));
            offset += static_cast<size_t>(std::max(counts[k], 0));
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
        Words(function, {}, {l, t, r, b, xs, ys, xe, ye});
    }

    void StretchDib(const QRect& dest, const QImage& image, uint32_t rop);

    void Position(const TPoint& p)
    {
        if (FState.Position && *FState.Position == p)
            return;
        Words(META_MOVETO, {}, {p.X, p.Y});
        FState.Position = p;
    }

    int CreateSlot();
    void SelectObject(int index, int& selected)
    {
        if (selected == index)
            return;
        Words(META_SELECTOBJECT, {index});
        selected = index;
    }
    void DeleteObject(int index);
    int CreatePenObject(const TLogPen& pen);
    int CreateBrushObject(const TLogBrush& brush);
    int CreateFontObject(const TLogFont& font);

    // Brings a selected object up to date: a changed value creates its
    // object, selects it and deletes the one it replaces.
    template <class T, class TCreate>
    void SyncObject(TSlot<T>& slot, const T& value, int& selected, TCreate create)
    {
        if (slot.Index < 0 || !(slot.Value == value)) {
            const int old = slot.Index;
            slot = {create(value), value};
            SelectObject(slot.Index, selected);
            if (old >= 0)
                DeleteObject(old);
        }
        SelectObject(slot.Index, selected);
    }

    void SelectNullPen();
    void SyncBrush();
    void SyncClip();
    void Sync(unsigned uses);

    TRect FFrame;
    int FInch;
    QByteArray FBody;
    uint32_t FMaxRecord = 0;
    std::vector<bool> FSlots;
    TSlot<TLogPen> FPen;
    TSlot<TLogBrush> FBrush;
    TSlot<TLogFont> FFont;
    int FNullPen = -1;
    TWmfState FState;
    std::optional<TRegion> FClip;
};

QByteArray TWmfWriterDC::Finish()
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
        checksum ^= static_cast<uint16_t>(static_cast<uchar>(out[i * 2]) | (static_cast<uchar>(out[i * 2 + 1]) << 8));
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

void TWmfWriterDC::TextOut(int x, int y, const QString& text)
{
    if (text.isEmpty())
        return TDeviceContext::TextOut(x, y, text);
    Shape(UsesFont, [&] { TDeviceContext::TextOut(x, y, text); },
          [&] {
              if (TextAlign() & TA_UPDATECP)
                  Position(CurrentPosition());
              const QByteArray bytes = text.left(0x7FFF).toLatin1();
              const std::vector<int32_t> advances =
                  CharacterAdvances(Font(), text.left(0x7FFF), TextCharacterExtra());
              const qsizetype at = Begin(META_EXTTEXTOUT);
              PutWords({}, {x, y});
              PutWords({static_cast<int>(bytes.size()), 0}, {}); // options: none
              FBody += bytes;
              PadTo(FBody, 2);
              for (int32_t advance : advances)
                  Put16(FBody, static_cast<uint16_t>(Clamp16(advance)));
              End(at);
              TDeviceContext::TextOut(x, y, text); // the position, with TA_UPDATECP
              if (TextAlign() & TA_UPDATECP)
                  FState.Position = CurrentPosition();
          });
}

void TWmfWriterDC::DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent)
{
    if (image.isNull())
        return;
    Sync(UsesNothing);
    const QRect target = NormalizedRect(dest.Left, dest.Top, dest.Right, dest.Bottom);
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

void TWmfWriterDC::EngineStrokeFillPath(const QPainterPath& path, bool stroke, bool fill)
{
    const QList<QPolygonF> figures = path.toSubpathPolygons();
    if (figures.isEmpty())
        return;
    if (fill) {
        Sync(UsesBrush);
        const int mode = path.fillRule() == Qt::WindingFill ? WINDING : ALTERNATE;
        if (FState.PolyFillMode != mode)
            Words(META_SETPOLYFILLMODE, {FState.PolyFillMode = mode, 0});
        SelectNullPen();
        std::vector<TPoint> points;
        std::vector<int> counts;
        for (const QPolygonF& figure : figures) {
            counts.push_back(static_cast<int>(figure.size()));
            const std::vector<TPoint> rounded = Rounded(figure);
            points.insert(points.end(), rounded.begin(), rounded.end());
        }
        PolyPolygonWords(points.data(), counts.data(), static_cast<int>(counts.size()));
    }
    if (stroke) {
        Sync(UsesPen);
        for (const QPolygonF& figure : figures) {
            const std::vector<TPoint> points = Rounded(figure);
            if (points.size() >= 2)
                PolyWords(META_POLYLINE, points.data(), static_cast<int>(std::min<size_t>(points.size(), 0xFFFF)));
        }
    }
}

void TWmfWriterDC::EngineFillRegion(const TRegion& region, const TLogBrush& brush)
{
    Sync(UsesNothing);
    const TLogBrush resolved = Normalized(brush, DCBrushColor());
    int index = FBrush.Index;
    const bool temporary = index < 0 || !(FBrush.Value == resolved);
    if (temporary)
        index = CreateBrushObject(resolved);
    SelectObject(index, FState.Brush);
    // Pattern blocks fill exactly their rectangles at any scale.
    for (const QRect& r : region)
        Words(META_PATBLT, {LowWord(PATCOPY), HighWord(PATCOPY)}, {r.left(), r.top(), r.width(), r.height()});
    if (temporary) {
        SyncBrush();
        DeleteObject(index);
    }
}

void TWmfWriterDC::StretchDib(const QRect& dest, const QImage& image, uint32_t rop)
{
    QImage pixels = image;
    if (pixels.width() > 0x7FFF || pixels.height() > 0x7FFF)
        pixels = pixels.scaled(std::min(pixels.width(), 0x7FFF), std::min(pixels.height(), 0x7FFF));
    const TDib dib = EncodeDib24(pixels);
    const qsizetype at = Begin(META_STRETCHDIB);
    PutWords({LowWord(rop), HighWord(rop), static_cast<int>(DIB_RGB_COLORS)},
             {dest.left(), dest.top(), dest.width(), dest.height(), 0, 0, pixels.width(), pixels.height()});
    FBody += dib.Info;
    FBody += dib.Bits;
    End(at);
}

int TWmfWriterDC::CreateSlot()
{
    for (size_t i = 0; i < FSlots.size(); ++i)
        if (!FSlots[i]) {
            FSlots[i] = true;
            return static_cast<int>(i);
        }
    FSlots.push_back(true);
    return static_cast<int>(FSlots.size() - 1);
}

void TWmfWriterDC::DeleteObject(int index)
{
    Words(META_DELETEOBJECT, {index});
    FSlots[static_cast<size_t>(index)] = false;
    for (int* selected : {&FState.Pen, &FState.Brush, &FState.Font})
        if (*selected == index)
            *selected = -1;
}

int TWmfWriterDC::CreatePenObject(const TLogPen& pen)
{
    int style = pen.Style;
    if (style == PS_USERSTYLE)
        style = PS_DASH;
    else if (style == PS_ALTERNATE)
        style = PS_DOT;
    if (pen.Geometric)
        style |= pen.EndCap | pen.Join;
    const uint32_t c = ColorRef(pen.Color);
    Words(META_CREATEPENINDIRECT, {style, Clamp16(pen.Geometric ? pen.Width : 1), 0, LowWord(c), HighWord(c)});
    return CreateSlot();
}

int TWmfWriterDC::CreateBrushObject(const TLogBrush& brush)
{
    if (brush.Kind == TBrushKind::Pattern) {
        const bool mono = IsMonochrome(brush.Pattern);
        const TDib dib = mono ? EncodeDibMono(brush.Pattern) : EncodeDib24(brush.Pattern);
        const qsizetype at = Begin(META_DIBCREATEPATTERNBRUSH);
        PutWords({static_cast<int>(mono ? BS_PATTERN : BS_DIBPATTERN), static_cast<int>(DIB_RGB_COLORS)}, {});
        FBody += dib.Info;
        FBody += dib.Bits;
        End(at);
        return CreateSlot();
    }
    const uint32_t c = ColorRef(brush.Color);
    Words(META_CREATEBRUSHINDIRECT, {static_cast<int>(BrushStyleOf(brush)), LowWord(c), HighWord(c),
                                     brush.Kind == TBrushKind::Hatched ? brush.Hatch : 0});
    return CreateSlot();
}

int TWmfWriterDC::CreateFontObject(const TLogFont& font)
{
    const qsizetype at = Begin(META_CREATEFONTINDIRECT);
    PutWords({Clamp16(font.Height), 0, Clamp16(font.Escapement), Clamp16(font.Orientation), Clamp16(font.Weight)},
             {});
    for (int v : {font.Italic ? 1 : 0, font.Underline ? 1 : 0, font.StrikeOut ? 1 : 0, font.CharSet,
                  font.OutPrecision, 0, font.Quality, 0})
        Put8(FBody, static_cast<uint8_t>(v));
    QByteArray face = font.FaceName.left(31).toLatin1();
    face.append(QByteArray(32 - face.size(), '\0'));
    FBody += face;
    End(at);
    return CreateSlot();
}

void TWmfWriterDC::SelectNullPen()
{
    if (FNullPen < 0)
        FNullPen = CreatePenObject(Normalized(CreatePen(PS_NULL, 0, clBlack)));
    SelectObject(FNullPen, FState.Pen);
}

void TWmfWriterDC::SyncBrush()
{
    SyncObject(FBrush, Normalized(Brush(), DCBrushColor()), FState.Brush,
               [this](const TLogBrush& brush) { return CreateBrushObject(brush); });
}

void TWmfWriterDC::SyncClip()
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
    Words(META_INTERSECTCLIPRECT, {}, {bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1});
    for (const QRect& r : TRegion(bounds).subtracted(*FClip))
        Words(META_EXCLUDECLIPRECT, {}, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
}

void TWmfWriterDC::Sync(unsigned uses)
{
    SyncClip();
    TWmfState& s = FState;
    if (ColorRef(TextColor()) != ColorRef(s.TextColor))
        ColorWords(META_SETTEXTCOLOR, s.TextColor = TextColor());
    if (ColorRef(BkColor()) != ColorRef(s.BkColor))
        ColorWords(META_SETBKCOLOR, s.BkColor = BkColor());
    if (BkMode() != s.BkMode)
        Words(META_SETBKMODE, {s.BkMode = BkMode(), 0});
    if (TextAlign() != s.TextAlign) {
        s.TextAlign = TextAlign();
        Words(META_SETTEXTALIGN, {static_cast<int>(s.TextAlign & 0xFFFF), 0});
    }
    if (ROP2() != s.Rop2)
        Words(META_SETROP2, {s.Rop2 = ROP2(), 0});
    if (PolyFillMode() != s.PolyFillMode)
        Words(META_SETPOLYFILLMODE, {s.PolyFillMode = PolyFillMode(), 0});
    if (uses & UsesPen)
        SyncObject(FPen, Normalized(Pen()), FState.Pen, [this](const TLogPen& pen) { return CreatePenObject(pen); });
    if (uses & UsesBrush)
        SyncBrush();
    if (uses & UsesFont)
        SyncObject(FFont, Font(), FState.Font, [this](const TLogFont& font) { return CreateFontObject(font); });
}

// --- Reading -----------------------------------------------------------------------------------------

class TWmfPlayer final : public TPlayer {
public:
    explicit TWmfPlayer(const QByteArray& wmf);

    TRect Frame() const override { return FBox; }
    int Inch() const { return FInch; }

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
    void StartRun() override
    {
        FTable.assign(FObjectCount, std::nullopt);
        FFree.clear();
        for (uint16_t i = 0; i < FObjectCount; ++i)
            FFree.insert(FFree.end(), i);
        FCharExtra = 0;
    }

    void Record(const TView& r, uint32_t function) override;

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

    // A point stored as y, x at 'at', through the mapping.
    TPoint PointAt(const TView& r, uint64_t at) const { return Out(r.I16(at + 2), r.I16(at)); }

    std::vector<TPoint> Points(const TView& r, uint64_t at, uint32_t count) const
    {
        r.Need(at, uint64_t(count) * 4, "the points");
        return PointsOut(r, at, count, false);
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

    // The bitmap at 'at' running to the end of the record.
    std::optional<QImage> Dib(const TView& r, uint64_t at, uint32_t usage, TDibMode mode) const
    {
        const uint64_t info = InfoSize(r, at);
        if (info > r.Size() - std::min<uint64_t>(r.Size(), at))
            r.Fail("the bitmap header runs past the end of the record");
        return ReadDib(r, at, info, at + info, r.Size() - at - info, usage, mode, Drawing());
    }

    // A bitmap with its source rectangle at (sx, sy, sw, sh) onto (x, y, w, h).
    void DibImage(const TView& r, uint64_t dibAt, uint32_t usage, uint32_t rop, int sx, int sy, int sw, int sh, int x,
                  int y, int w, int h)
    {
        const std::optional<QImage> image = Dib(r, dibAt, usage, TDibMode::Colours);
        if (image && Drawing())
            PlayImage(*image, SourceRect(r, dibAt, sx, sy, sw, sh), x, y, w, h, rop, std::nullopt);
    }

    void PlayText(int x, int y, const QString& text, std::vector<int32_t> advances)
    {
        if (advances.empty() && FCharExtra != 0 && !text.isEmpty())
            advances = CharacterAdvances(FFont, text, FCharExtra);
        Text(x, y, text, advances);
    }

    void ExtTextRecord(const TView& r);

    TRect FBox;
    int FInch = 96;
    uint16_t FObjectCount = 0;
    std::vector<std::optional<TObject>> FTable;
    std::set<uint16_t> FFree; // the empty entries of the table
    int FCharExtra = 0;
};

TWmfPlayer::TWmfPlayer(const QByteArray& wmf) : TPlayer(wmf, true)
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
    IndexRecords(kPlaceableHeaderSize + kWmfHeaderSize, end, 6, META_EOF, [&](uint64_t at) -> TRecordRef {
        const uint64_t words = file.U32(at);
        const uint16_t function = file.U16(at + 4);
        if (words < 3 || words * 2 > end - at)
            Fail(true, "record " + Num(RecordCount()) + " at offset " + Num(static_cast<long long>(at)) +
                           " has an invalid size of " + Num(static_cast<long long>(words)) + " words");
        return {at, static_cast<uint32_t>(words * 2), function};
    });
}

void TWmfPlayer::ExtTextRecord(const TView& r)
{
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
    if (Drawing() && (options & ETO_OPAQUE) && !opaque.isEmpty())
        Target().FillRect(FromQRect(opaque), CreateSolidBrush(Target().BkColor()));
    PlayText(x, y, TextOf(chars, count, false), advances);
}

void TWmfPlayer::Record(const TView& r, uint32_t function)
{
    using DC = TDeviceContext;
    switch (function) {
    // --- State
    case META_SETBKCOLOR: Call(&DC::SetBkColor, FromColorRef(r.U32(6))); break;
    case META_SETTEXTCOLOR: Call(&DC::SetTextColor, FromColorRef(r.U32(6))); break;
    case META_SETBKMODE: Call(&DC::SetBkMode, int(r.U16(6))); break;
    case META_SETROP2: Call(&DC::SetROP2, int(r.U16(6))); break;
    case META_SETPOLYFILLMODE: Call(&DC::SetPolyFillMode, int(r.U16(6))); break;
    case META_SETTEXTALIGN: Call(&DC::SetTextAlign, unsigned(r.U16(6))); break;
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

    // --- Objects
    case META_CREATEPENINDIRECT: {
        const uint16_t style = r.U16(6);
        const int width = std::clamp<int>(r.I16(8), 0, kMaxPenWidth);
        const TColor color = FromColorRef(r.U32(12));
        if (style & (PS_ENDCAP_MASK | PS_JOIN_MASK))
            Create(r, TObject::OfPen(ExtCreatePen((style & (PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK)) |
                                                      PS_GEOMETRIC,
                                                  width, color)));
        else
            Create(r, TObject::OfPen(CreatePen(style & PS_STYLE_MASK, width, color)));
        break;
    }
    case META_CREATEBRUSHINDIRECT: {
        const uint16_t style = r.U16(6);
        const TColor color = FromColorRef(r.U32(8));
        const uint16_t hatch = r.U16(12);
        Create(r, TObject::OfBrush(BrushOfStyle(style, color, hatch)));
        break;
    }
    case META_DIBCREATEPATTERNBRUSH: {
        const uint16_t style = r.U16(6), usage = r.U16(8);
        const std::optional<QImage> pattern =
            Dib(r, 10, usage, style == BS_PATTERN ? TDibMode::Mono : TDibMode::Colours);
        Create(r, TObject::OfBrush(pattern ? CreatePatternBrush(*pattern) : CreateSolidBrush(clGray)));
        break;
    }
    case META_CREATEFONTINDIRECT: Create(r, TObject::OfFont(ReadLogFont(r, 6, false))); break;
    case META_CREATEPALETTE:
    case META_CREATEPATTERNBRUSH:
    case META_CREATEREGION: Create(r, TObject()); break; // kept only for the numbering
    case META_SELECTOBJECT:
        if (const std::optional<TObject>& slot = Slot(r, r.U16(6)))
            SelectObject(*slot);
        break;
    case META_DELETEOBJECT: {
        const uint16_t index = r.U16(6);
        if (Slot(r, index)) {
            FTable[index].reset();
            FFree.insert(index);
        }
        break;
    }
    case META_SELECTCLIPREGION: Slot(r, r.U16(6)); break;

    // --- Lines and shapes
    case META_MOVETO:
    case META_LINETO: {
        const TPoint p = PointAt(r, 6);
        Call(function == META_MOVETO ? &DC::MoveTo : &DC::LineTo, p.X, p.Y);
        break;
    }
    case META_POLYLINE:
    case META_POLYGON: {
        const std::vector<TPoint> points = Points(r, 8, r.U16(6));
        Call(function == META_POLYLINE ? &DC::Polyline : &DC::Polygon, points.data(), static_cast<int>(points.size()));
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
        Call(&DC::PolyPolygon, points.data(), counts.data(), static_cast<int>(counts.size()));
        break;
    }
    case META_RECTANGLE:
    case META_ELLIPSE: {
        const TPoint a = PointAt(r, 10), b = PointAt(r, 6);
        Call(function == META_RECTANGLE ? &DC::Rectangle : &DC::Ellipse, a.X, a.Y, b.X, b.Y);
        break;
    }
    case META_ROUNDRECT: {
        const int h = LengthY(r.I16(6)), w = LengthX(r.I16(8));
        const TPoint a = PointAt(r, 14), b = PointAt(r, 10);
        Call(&DC::RoundRect, a.X, a.Y, b.X, b.Y, w, h);
        break;
    }
    case META_ARC:
    case META_PIE:
    case META_CHORD: {
        const TPoint e = PointAt(r, 6), s = PointAt(r, 10);
        const TPoint a = PointAt(r, 18), b = PointAt(r, 14);
        if (!Drawing())
            break;
        // Arcs of this format run counter-clockwise.
        const auto call = function == META_ARC ? &DC::Arc : function == META_PIE ? &DC::Pie : &DC::Chord;
        const int direction = Target().SetArcDirection(AD_COUNTERCLOCKWISE);
        (Target().*call)(a.X, a.Y, b.X, b.Y, s.X, s.Y, e.X, e.Y);
        Target().SetArcDirection(direction);
        break;
    }
    case META_SETPIXEL: {
        const TColor color = FromColorRef(r.U32(6));
        const TPoint p = PointAt(r, 10);
        Call(&DC::SetPixel, p.X, p.Y, color);
        break;
    }
    case META_FLOODFILL:
    case META_EXTFLOODFILL: {
        const bool ext = function == META_EXTFLOODFILL;
        const uint64_t base = ext ? 8 : 6;
        const int mode = ext ? int(r.U16(6)) : int(FLOODFILLBORDER);
        const TColor color = FromColorRef(r.U32(base));
        const TPoint p = PointAt(r, base + 4);
        Call(&DC::ExtFloodFill, p.X, p.Y, color, mode);
        break;
    }

    // --- Text
    case META_TEXTOUT: {
        const uint16_t count = r.U16(6);
        const uchar* chars = r.Bytes(8, count, "the text");
        const uint64_t after = 8 + ((count + 1ull) / 2) * 2;
        const int y = r.I16(after), x = r.I16(after + 2);
        PlayText(x, y, TextOf(chars, count, false), {});
        break;
    }
    case META_EXTTEXTOUT: ExtTextRecord(r); break;

    // --- Block transfers
    case META_PATBLT: {
        const uint32_t rop = r.U32(6);
        const int h = r.I16(10), w = r.I16(12), y = r.I16(14), x = r.I16(16);
        const TPoint a = Out(x, y), b = Out(x + w, y + h);
        Call(&DC::PatBlt, a.X, a.Y, b.X - a.X, b.Y - a.Y, rop);
        break;
    }
    case META_STRETCHDIB: {
        const uint32_t rop = r.U32(6);
        const uint16_t usage = r.U16(10);
        const int sh = r.I16(12), sw = r.I16(14), sy = r.I16(16), sx = r.I16(18);
        const int h = r.I16(20), w = r.I16(22), y = r.I16(24), x = r.I16(26);
        DibImage(r, 28, usage, rop, sx, sy, sw, sh, x, y, w, h);
        break;
    }
    case META_DIBSTRETCHBLT:
    case META_DIBBITBLT: {
        // The same fields, but the plain transfer has no source size: it is
        // the destination's.
        const bool stretch = function == META_DIBSTRETCHBLT;
        const uint32_t rop = r.U32(6);
        const int sh = stretch ? r.I16(10) : 0, sw = stretch ? r.I16(12) : 0;
        const uint64_t at = stretch ? 14 : 10;
        const int sy = r.I16(at), sx = r.I16(at + 2), h = r.I16(at + 4), w = r.I16(at + 6);
        const int y = r.I16(at + 8), x = r.I16(at + 10);
        DibImage(r, at + 12, DIB_RGB_COLORS, rop, sx, sy, stretch ? sw : w, stretch ? sh : h, x, y, w, h);
        break;
    }

    // --- Clipping
    case META_INTERSECTCLIPRECT:
    case META_EXCLUDECLIPRECT: {
        const TRegion rect = RectOut(r.I16(12), r.I16(10), r.I16(8), r.I16(6));
        CombineClip(rect, function == META_INTERSECTCLIPRECT ? RGN_AND : RGN_DIFF);
        break;
    }
    default: break; // records this reader does not draw are skipped
    }
}

} // namespace

QByteArray PlaceableFromEnhanced(const QByteArray& emf)
{
    const std::unique_ptr<TPlayer> player = NewEnhMetafilePlayer(emf);
    player->Check();
    const TEnhMetaHeader header = ReadEnhMetaHeader(emf);
    TRect frame = player->Frame();
    if (frame.Width() <= 0 || frame.Height() <= 0)
        frame = {0, 0, 1, 1};
    TWmfWriterDC writer(frame, ClampRound(header.PixelsPerInchX()));
    player->Play(writer, frame);
    return writer.Finish();
}

void SavePlaceableMetafile(const QByteArray& emf, QIODevice& stream)
{
    const QByteArray wmf = PlaceableFromEnhanced(emf);
    if (stream.write(wmf) != wmf.size())
        throw EInvalidGraphic("The placeable metafile could not be written: " + stream.errorString().toStdString());
}

void PlayPlaceableMetafile(const QByteArray& wmf, TDeviceContext& target, const TRect& dest)
{
    TWmfPlayer player(wmf);
    player.Check();
    player.Play(target, dest);
}

QByteArray EnhancedFromPlaceable(const QByteArray& wmf)
{
    TWmfPlayer player(wmf);
    player.Check();
    const TRect box = player.Frame();
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

} // namespace lp
