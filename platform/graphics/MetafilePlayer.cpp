// EMF reading: the header, the check of a whole file, and playback onto any
// device context; TPlayer, the base the WMF player shares.
#include "platform/graphics/Metafile.h"

#include "platform/graphics/Metafile_p.h"
#include "platform/graphics/PainterDC.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

#include <map>

namespace lp {

using namespace metafile;

void metafile::Fail(bool wmf, const std::string& reason)
{
    throw EInvalidGraphic(std::string(wmf ? "Invalid placeable metafile: " : "Invalid enhanced metafile: ") + reason);
}

// --- TEnhMetaHeader ------------------------------------------------------------------------------

namespace {

// Reference pixels per inch along one axis from the device's surface in
// pixels and its size in micrometres or millimetres.
double PixelsPerInch(int pixels, int micrometres, int millimetres)
{
    if (pixels > 0 && micrometres > 0)
        return pixels * 25400.0 / micrometres;
    if (pixels > 0 && millimetres > 0)
        return pixels * 25.4 / millimetres;
    return 96.0;
}

} // namespace

double TEnhMetaHeader::PixelsPerInchX() const
{
    return PixelsPerInch(DevicePixels.width(), DeviceMicrometres.width(), DeviceMillimetres.width());
}

double TEnhMetaHeader::PixelsPerInchY() const
{
    return PixelsPerInch(DevicePixels.height(), DeviceMicrometres.height(), DeviceMillimetres.height());
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
    // Extents come from these edges (the frame's width and height, Right + 1
    // and Bottom + 1 of the inclusive bounds): each must fit in 32 bits.
    const auto fits = [](int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; };
    const TRect& f = result.Frame;
    if (!fits(int64_t(f.Right) - f.Left) || !fits(int64_t(f.Bottom) - f.Top))
        Fail(false, "the frame (" + Num(f.Left) + ", " + Num(f.Top) + ", " + Num(f.Right) + ", " + Num(f.Bottom) +
                        ") spans more than 32 bits");
    const TRect& b = result.Bounds;
    if (!fits(int64_t(b.Right) + 1) || !fits(int64_t(b.Bottom) + 1) || !fits(int64_t(b.Right) + 1 - b.Left) ||
        !fits(int64_t(b.Bottom) + 1 - b.Top))
        Fail(false, "the bounds (" + Num(b.Left) + ", " + Num(b.Top) + ", " + Num(b.Right) + ", " + Num(b.Bottom) +
                        ") span more than 32 bits");
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
        QString description = TextOf(text, descriptionLength, true);
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

// --- What both players share ------------------------------------------------------------------

namespace {

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

// RGNDATA at 'at': the header and the rectangles (right and bottom
// exclusive). A rectangle wider or taller than 32 bits can hold is refused;
// the others are cut to the coordinate limit, which no device reaches, so
// moving them onto the target cannot overflow.
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
        int64_t l = data.I32(p), t = data.I32(p + 4), r = data.I32(p + 8), b = data.I32(p + 12);
        if (r <= l || b <= t)
            continue;
        if (r - l > INT32_MAX || b - t > INT32_MAX)
            record.Fail("region rectangle " + Num(i) + " (" + Num(l) + ", " + Num(t) + ", " + Num(r) + ", " + Num(b) +
                        ") spans more than 32 bits");
        const auto limit = [](int64_t v) {
            return std::clamp<int64_t>(v, -int64_t(kCoordinateLimit), int64_t(kCoordinateLimit));
        };
        l = limit(l), t = limit(t), r = limit(r), b = limit(b);
        if (r > l && b > t)
            rects.emplace_back(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                               static_cast<int>(b - t));
    }
    return RegionFromRects(rects, 0, rects.size());
}

// The advance of the whole text by the font, without extra spacing: what
// GetTextExtent measures.
int NaturalWidth(const TLogFont& font, const QString& text)
{
    return QFontMetrics(ToQFont(font)).horizontalAdvance(text);
}

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

} // namespace

TLogFont metafile::ReadLogFont(const TView& r, uint64_t at, bool wide)
{
    const uint64_t size = wide ? 4 : 2;
    const auto integer = [&](int field) -> int {
        const uint64_t offset = at + field * size;
        return wide ? r.I32(offset) : r.I16(offset);
    };
    const uint64_t bytes = at + 5 * size;
    TLogFont f;
    f.Height = integer(0);
    f.Escapement = integer(2);
    f.Orientation = integer(3);
    f.Weight = integer(4);
    f.Italic = r.U8(bytes) != 0;
    f.Underline = r.U8(bytes + 1) != 0;
    f.StrikeOut = r.U8(bytes + 2) != 0;
    f.CharSet = r.U8(bytes + 3);
    f.OutPrecision = r.U8(bytes + 4);
    f.Quality = r.U8(bytes + 6);
    f.FaceName.clear();
    const uint64_t face = bytes + 8;
    for (uint64_t i = 0; i < 32; ++i) {
        if (!wide && face + i >= r.Size())
            break;
        const uint16_t c = wide ? r.U16(face + i * 2) : r.U8(face + i);
        if (c == 0)
            break;
        f.FaceName.append(QChar(static_cast<char16_t>(c)));
    }
    return f;
}

// --- TPlayer ----------------------------------------------------------------------------------------

void TPlayer::Check()
{
    FTarget = nullptr;
    ResetState(Frame());
    Run();
}

void TPlayer::Play(TDeviceContext& target, const TRect& dest)
{
    const TRect frame = Frame();
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

void TPlayer::IndexRecords(uint64_t at, uint64_t end, uint64_t smallest, uint32_t eofType,
                           const std::function<TRecordRef(uint64_t at)>& read)
{
    bool eof = false;
    while (!eof) {
        if (at > end || end - at < smallest)
            Fail(FWmf, "the file is truncated after record " + Num(RecordCount()) +
                           " (the end-of-file record is missing)");
        const TRecordRef record = read(at);
        FRecords.push_back(record);
        eof = record.Type == eofType;
        at += record.Size;
    }
}

void TPlayer::Run()
{
    StartRun();
    const auto* data = reinterpret_cast<const uchar*>(FData.constData());
    for (size_t i = 0; i < FRecords.size(); ++i) {
        const TRecordRef& ref = FRecords[i];
        Record(TView(data + ref.Offset, ref.Size, FWmf, static_cast<long long>(i), ref.Type), ref.Type);
    }
}

void TPlayer::Open(TDeviceContext& target, const TRect& frame, const TRect& dest)
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

void TPlayer::Close()
{
    if (FTarget)
        Restore(*FTarget, FSavedTarget);
    FTarget = nullptr;
}

void TPlayer::ResetState(const TRect& window)
{
    FMap.ResetDefaults();
    FFixedScale = false;
    SetInitialMapping(window);
    FClip.reset();
    FFont = TLogFont();
    FSaved.clear();
    UpdateTransform();
}

void TPlayer::UpdateTransform()
{
    FTotal = FMap.Mapping() * QTransform(FScaleX, 0, 0, FScaleY, FOffsetX, FOffsetY);
}

TPoint TPlayer::Out(double x, double y) const
{
    const QPointF p = FTotal.map(QPointF(x, y));
    return {ClampRound(p.x()), ClampRound(p.y())};
}

TPoint TPlayer::DeviceOut(double x, double y) const
{
    return {ClampRound(x * FScaleX + FOffsetX), ClampRound(y * FScaleY + FOffsetY)};
}

int TPlayer::LengthX(double v) const
{
    return ClampRound(v * std::fabs(FTotal.m11()));
}

int TPlayer::LengthY(double v) const
{
    return ClampRound(v * std::fabs(FTotal.m22()));
}

TRegion TPlayer::RegionOut(const TRegion& region) const
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

TRegion TPlayer::RectOut(double l, double t, double r, double b) const
{
    const TPoint a = Out(l, t), c = Out(r, b);
    return CreateRectRgn(a.X, a.Y, c.X, c.Y);
}

std::vector<TPoint> TPlayer::PointsOut(const TView& r, uint64_t at, uint32_t count, bool wide) const
{
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

TLogPen TPlayer::ScaledPen(const TLogPen& pen) const
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

TLogFont TPlayer::ScaledFont(const TLogFont& font) const
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

void TPlayer::SelectFont(const TLogFont& logical)
{
    FFont = logical;
    if (Drawing())
        Target().SelectFont(ScaledFont(logical));
}

void TPlayer::SelectObject(const TObject& object)
{
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

void TPlayer::Text(int x, int y, const QString& text, const std::vector<int32_t>& advances)
{
    if (!Drawing() || text.isEmpty())
        return;
    TDeviceContext& dc = Target();
    const TLogFont font = ScaledFont(FFont);
    if (!(dc.Font() == font))
        dc.SelectFont(font);
    const TPoint p = Out(x, y);
    if (advances.empty()) {
        dc.SetTextCharacterExtra(0);
        dc.TextOut(p.X, p.Y, text);
        return;
    }
    // The text fills the width it was recorded at: the spacing beyond the
    // font's own advances becomes character spacing, and the whole scales
    // with the playback (the scaled font's height is rounded, its width
    // would not follow).
    int64_t sum = 0;
    for (int32_t a : advances)
        sum += a;
    const double scaleX = std::fabs(FTotal.m11());
    const double spacing = double(sum - NaturalWidth(FFont, text)) / double(text.size());
    dc.SetTextCharacterExtra(ClampRound(spacing * scaleX));
    dc.TextOutFitted(p.X, p.Y, text, ClampRound(double(sum) * scaleX));
    dc.SetTextCharacterExtra(0);
}

void TPlayer::PlayImage(const QImage& image, const QRect& source, double x, double y, double w, double h,
                        uint32_t rop, std::optional<TColor> transparent)
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

QRect TPlayer::SourceRect(const TView& r, uint64_t infoAt, int x, int y, int w, int h)
{
    // In 64 bits, then cut to a range far beyond any bitmap (the caller
    // intersects the result with the bitmap), so no edge overflows.
    const int32_t height = r.I32(infoAt + 8);
    const int64_t top = height > 0 ? int64_t(height) - y - h : int64_t(y);
    const int64_t edges[4] = {x, top, int64_t(x) + w, top + h};
    int32_t cut[4];
    for (int i = 0; i < 4; ++i)
        cut[i] = static_cast<int32_t>(std::clamp<int64_t>(edges[i], -(int64_t(1) << 30), int64_t(1) << 30));
    return QRect(QPoint(std::min(cut[0], cut[2]), std::min(cut[1], cut[3])),
                 QPoint(std::max(cut[0], cut[2]) - 1, std::max(cut[1], cut[3]) - 1));
}

void TPlayer::ApplyClip()
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

void TPlayer::CombineClip(const std::optional<TRegion>& region, int mode)
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

void TPlayer::ClipPath(int mode)
{
    if (!Drawing() || Target().InPath())
        return;
    QPainterPath path = Target().CurrentPath();
    path.setFillRule(Target().PolyFillMode() == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    Target().AbortPath();
    // Only the part on the device counts; a far larger path would be
    // rasterised in vain.
    const QRect device = Target().DeviceBounds().adjusted(-1, -1, 1, 1);
    CombineClip(RegionFromPath(path, device), mode);
}

void TPlayer::SaveState()
{
    if (!Drawing() || FSaved.size() >= kMaxSavedStates)
        return;
    FSaved.push_back({Capture(Target()), Capture(FMap), FClip, FFont, FFixedScale});
}

void TPlayer::RestoreState(int relative)
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

// --- The EMF player ---------------------------------------------------------------------------

namespace {

enum TFixedMapMode : int { MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5, MM_TWIPS = 6 };

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

// The stock object of an index (without the stock bit); none for the kinds
// a player does not select.
std::optional<TObject> StockObject(uint32_t stock)
{
    if (stock == WHITE_PEN || stock == BLACK_PEN || stock == NULL_PEN || stock == DC_PEN)
        return TObject::OfPen(stock == NULL_PEN    ? CreatePen(PS_NULL, 0, clBlack)
                              : stock == WHITE_PEN ? CreatePen(PS_SOLID, 0, clWhite)
                                                   : TLogPen());
    if (stock <= NULL_BRUSH || stock == DC_BRUSH)
        return TObject::OfBrush(StockBrush(stock));
    if (stock >= 10 && stock <= 17 && stock != 15)
        return TObject::OfFont(TLogFont());
    return std::nullopt;
}

class TEmfPlayer final : public TPlayer {
public:
    explicit TEmfPlayer(const QByteArray& emf) : TPlayer(emf, false), FHeader(ReadEnhMetaHeader(emf))
    {
        const auto* data = reinterpret_cast<const uchar*>(emf.constData());
        const uint64_t end = FHeader.Bytes;
        IndexRecords(0, end, 8, EMR_EOF, [&](uint64_t at) -> TRecordRef {
            const long long index = RecordCount();
            const TView head(data + at, 8, false, index, 0);
            const uint32_t type = head.U32(0), size = head.U32(4);
            const auto where = [&] { return "record " + Num(index) + " at offset " + Num(static_cast<long long>(at)); };
            if (size < 8 || size % 4 != 0)
                Fail(false, where() + " has an invalid size " + Num(size));
            if (size > end - at)
                Fail(false, where() + " (" + Num(size) + " bytes) runs past the end of the file");
            if (index == 0 && type != EMR_HEADER)
                Fail(false, "the first record is not a header");
            return {at, size, type};
        });
    }

    // The frame, or the bounds when the header gives no frame.
    TRect Frame() const override
    {
        const TRect frame = FHeader.FramePixels();
        if (frame.Width() > 0 && frame.Height() > 0)
            return frame;
        return {FHeader.Bounds.Left, FHeader.Bounds.Top, FHeader.Bounds.Right + 1, FHeader.Bounds.Bottom + 1};
    }

private:
    using TArcCall = void (TDeviceContext::*)(int, int, int, int, int, int, int, int);

    void StartRun() override { FObjects.clear(); }
    void Record(const TView& r, uint32_t type) override;

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
        if (index & kStock) {
            if (const std::optional<TObject> stock = StockObject(index & ~kStock))
                SelectObject(*stock);
            return;
        }
        const auto found = FObjects.find(CheckedIndex(r, index));
        if (found != FObjects.end()) // an empty entry: nothing changes
            SelectObject(found->second);
    }

    // A POINTL at 'at', through the mapping.
    TPoint PointAt(const TView& r, uint64_t at) const { return Out(r.I32(at), r.I32(at + 4)); }

    std::vector<TPoint> Points(const TView& r, uint64_t at, uint32_t count, bool wide) const
    {
        const uint64_t bytes = uint64_t(count) * (wide ? 8 : 4);
        if (at > r.Size() || bytes > r.Size() - at)
            r.Fail("its " + Num(count) + " points do not fit in the record");
        return PointsOut(r, at, count, wide);
    }

    void PolyRecord(const TView& r, uint32_t type);
    void PolyPolyRecord(const TView& r, uint32_t type);
    void ArcRecord(const TView& r, TArcCall call);
    void TextRecord(const TView& r, bool wide);
    void TransferRecord(const TView& r, uint32_t type);
    void MapMode(int mode);

    // The bitmap of a block transfer; nullopt when there is none to draw.
    std::optional<QImage> Bitmap(const TView& r, uint32_t infoAt, uint32_t infoSize, uint32_t bitsAt, uint32_t bitsSize,
                                 uint32_t usage, TDibMode mode) const
    {
        return ReadDib(r, infoAt, infoSize, bitsAt, bitsSize, usage, mode, Drawing());
    }

    TEnhMetaHeader FHeader;
    std::map<uint32_t, TObject> FObjects;
};

void TEmfPlayer::PolyRecord(const TView& r, uint32_t type)
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

void TEmfPlayer::PolyPolyRecord(const TView& r, uint32_t type)
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

// The box at 8 and the radial points at 24 and 32.
void TEmfPlayer::ArcRecord(const TView& r, TArcCall call)
{
    const TPoint a = PointAt(r, 8), b = PointAt(r, 16), s = PointAt(r, 24), e = PointAt(r, 32);
    Call(call, a.X, a.Y, b.X, b.Y, s.X, s.Y, e.X, e.Y);
}

void TEmfPlayer::TextRecord(const TView& r, bool wide)
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
    const QString text = TextOf(chars, count, wide);
    std::vector<int32_t> advances;
    if (dxAt != 0)
        for (uint32_t i = 0; i < count; ++i)
            advances.push_back(r.I32(dxAt + uint64_t(i) * ((options & ETO_PDY) ? 8 : 4)));
    if (options & ETO_OPAQUE) {
        const TPoint a = PointAt(r, 56), b = PointAt(r, 64);
        Target().FillRect({std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)},
                          CreateSolidBrush(Target().BkColor()));
    }
    Text(x, y, text, advances);
}

// EMR_BITBLT, EMR_STRETCHBLT, EMR_TRANSPARENTBLT and EMR_ALPHABLEND share
// the layout up to the bitmap; the raster operation field holds the
// transparent colour or the blend function.
void TEmfPlayer::TransferRecord(const TView& r, uint32_t type)
{
    const int32_t x = r.I32(24), y = r.I32(28), w = r.I32(32), h = r.I32(36);
    const uint32_t rop = r.U32(40);
    const int32_t sx = r.I32(44), sy = r.I32(48);
    const uint32_t usage = r.U32(80), infoAt = r.U32(84), infoSize = r.U32(88);
    const uint32_t bitsAt = r.U32(92), bitsSize = r.U32(96);
    if (infoSize == 0) { // no bitmap: a pattern transfer
        if (type != EMR_BITBLT && type != EMR_STRETCHBLT)
            r.Fail("a transfer without a bitmap");
        const TPoint a = Out(x, y), b = Out(double(x) + w, double(y) + h);
        Call(&TDeviceContext::PatBlt, a.X, a.Y, b.X - a.X, b.Y - a.Y, rop);
        return;
    }
    const bool blend = type == EMR_ALPHABLEND && ((rop >> 24) & 1) != 0;
    const std::optional<QImage> image =
        Bitmap(r, infoAt, infoSize, bitsAt, bitsSize, usage, blend ? TDibMode::Alpha : TDibMode::Colours);
    const int32_t sw = type == EMR_BITBLT ? w : r.I32(100);
    const int32_t sh = type == EMR_BITBLT ? h : r.I32(104);
    if (!image || !Drawing())
        return;
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
}

void TEmfPlayer::MapMode(int mode)
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

void TEmfPlayer::Record(const TView& r, uint32_t type)
{
    using DC = TDeviceContext;
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
        Call(&DC::SetBrushOrg, p.X, p.Y);
        break;
    }
    case EMR_SETTEXTCOLOR: Call(&DC::SetTextColor, FromColorRef(r.U32(8))); break;
    case EMR_SETBKCOLOR: Call(&DC::SetBkColor, FromColorRef(r.U32(8))); break;
    case EMR_SETBKMODE: Call(&DC::SetBkMode, r.I32(8)); break;
    case EMR_SETTEXTALIGN: Call(&DC::SetTextAlign, r.U32(8)); break;
    case EMR_SETROP2: Call(&DC::SetROP2, r.I32(8)); break;
    case EMR_SETPOLYFILLMODE: Call(&DC::SetPolyFillMode, r.I32(8)); break;
    case EMR_SETARCDIRECTION: Call(&DC::SetArcDirection, r.I32(8)); break;
    case EMR_SAVEDC: SaveState(); break;
    case EMR_RESTOREDC: RestoreState(r.I32(8)); break;

    // --- Objects
    case EMR_CREATEPEN:
        Create(r, r.U32(8),
               TObject::OfPen(CreatePen(r.I32(12) & PS_STYLE_MASK, std::clamp(r.I32(16), 0, kMaxPenWidth),
                                        FromColorRef(r.U32(24)))));
        break;
    case EMR_EXTCREATEPEN: {
        const uint32_t style = r.U32(28);
        const uint32_t entries = r.U32(48);
        if (entries > (r.Size() - std::min<uint64_t>(r.Size(), 52)) / 4)
            r.Fail("its " + Num(entries) + " style entries do not fit in the record");
        std::vector<uint32_t> userStyle;
        for (uint32_t i = 0; i < entries && i < kMaxPenStyleEntries; ++i)
            userStyle.push_back(r.U32(52 + uint64_t(i) * 4));
        Create(r, r.U32(8),
               TObject::OfPen(ExtCreatePen(
                   static_cast<int>(style & (PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK | PS_GEOMETRIC)),
                   std::clamp(r.I32(32), 0, kMaxPenWidth), FromColorRef(r.U32(40)), std::move(userStyle))));
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        const uint32_t style = r.U32(12);
        const TColor color = FromColorRef(r.U32(16));
        const int hatch = style == BS_HATCHED ? static_cast<int>(r.U32(20)) : 0;
        Create(r, r.U32(8), TObject::OfBrush(BrushOfStyle(style, color, hatch)));
        break;
    }
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: {
        const std::optional<QImage> pattern = Bitmap(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28), r.U32(12),
                                                     type == EMR_CREATEMONOBRUSH ? TDibMode::Mono : TDibMode::Colours);
        Create(r, r.U32(8), TObject::OfBrush(pattern ? CreatePatternBrush(*pattern) : CreateSolidBrush(clGray)));
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW:
        r.Need(12, kLogFontSize, "the font");
        Create(r, r.U32(8), TObject::OfFont(ReadLogFont(r, 12, true)));
        break;
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
        const TPoint p = PointAt(r, 8);
        Call(type == EMR_MOVETOEX ? &DC::MoveTo : &DC::LineTo, p.X, p.Y);
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
    case EMR_ELLIPSE: {
        const TPoint a = PointAt(r, 8), b = PointAt(r, 16);
        Call(type == EMR_RECTANGLE ? &DC::Rectangle : &DC::Ellipse, a.X, a.Y, b.X, b.Y);
        break;
    }
    case EMR_ROUNDRECT: {
        const TPoint a = PointAt(r, 8), b = PointAt(r, 16);
        Call(&DC::RoundRect, a.X, a.Y, b.X, b.Y, LengthX(r.I32(24)), LengthY(r.I32(28)));
        break;
    }
    case EMR_ARC: ArcRecord(r, &DC::Arc); break;
    case EMR_ARCTO: ArcRecord(r, &DC::ArcTo); break;
    case EMR_PIE: ArcRecord(r, &DC::Pie); break;
    case EMR_CHORD: ArcRecord(r, &DC::Chord); break;
    case EMR_SETPIXELV: {
        const TPoint p = PointAt(r, 8);
        Call(&DC::SetPixel, p.X, p.Y, FromColorRef(r.U32(16)));
        break;
    }
    case EMR_EXTFLOODFILL: {
        const TPoint p = PointAt(r, 8);
        Call(&DC::ExtFloodFill, p.X, p.Y, FromColorRef(r.U32(16)), r.I32(20));
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
        if (Drawing())
            Target().FillRgn(RegionOut(region), brush);
        break;
    }

    // --- Text
    case EMR_EXTTEXTOUTW: TextRecord(r, true); break;
    case EMR_EXTTEXTOUTA: TextRecord(r, false); break;

    // --- Block transfers
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_TRANSPARENTBLT:
    case EMR_ALPHABLEND: TransferRecord(r, type); break;
    case EMR_STRETCHDIBITS: {
        const int32_t x = r.I32(24), y = r.I32(28), sx = r.I32(32), sy = r.I32(36);
        const int32_t sw = r.I32(40), sh = r.I32(44);
        const uint32_t infoAt = r.U32(48), infoSize = r.U32(52), bitsAt = r.U32(56), bitsSize = r.U32(60);
        const uint32_t usage = r.U32(64), rop = r.U32(68);
        const int32_t w = r.I32(72), h = r.I32(76);
        const std::optional<QImage> image = Bitmap(r, infoAt, infoSize, bitsAt, bitsSize, usage, TDibMode::Colours);
        if (image && Drawing())
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
    case EMR_BEGINPATH: Call(&DC::BeginPath); break;
    case EMR_ENDPATH: Call(&DC::EndPath); break;
    case EMR_ABORTPATH: Call(&DC::AbortPath); break;
    case EMR_CLOSEFIGURE: Call(&DC::CloseFigure); break;
    case EMR_FILLPATH: Call(&DC::FillPath); break;
    case EMR_STROKEPATH: Call(&DC::StrokePath); break;
    case EMR_STROKEANDFILLPATH: Call(&DC::StrokeAndFillPath); break;
    case EMR_WIDENPATH: Call(&DC::WidenPath); break;

    default: break; // records this reader does not draw (the header among them) are skipped
    }
}

} // namespace

std::unique_ptr<TPlayer> metafile::NewEnhMetafilePlayer(const QByteArray& emf)
{
    return std::make_unique<TEmfPlayer>(emf);
}

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

} // namespace lp
