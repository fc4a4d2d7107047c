#include "platform/graphics/PainterDC.h"

#include "platform/base/Numeric.h"

#include <QtGui/QPaintDevice>
#include <QtGui/QPaintEngine>
#include <QtGui/QPainterPath>
#include <QtGui/QTextLayout>

#include <algorithm>
#include <cmath>

namespace lp {

QPainter::CompositionMode CompositionForRop2(int rop)
{
    switch (rop) {
    case R2_BLACK: return QPainter::RasterOp_ClearDestination;
    case R2_NOTMERGEPEN: return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_MASKNOTPEN: return QPainter::RasterOp_NotSourceAndDestination;
    case R2_NOTCOPYPEN: return QPainter::RasterOp_NotSource;
    case R2_MASKPENNOT: return QPainter::RasterOp_SourceAndNotDestination;
    case R2_NOT: return QPainter::RasterOp_NotDestination;
    case R2_XORPEN: return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTMASKPEN: return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_MASKPEN: return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTXORPEN: return QPainter::RasterOp_NotSourceXorDestination;
    case R2_MERGENOTPEN: return QPainter::RasterOp_NotSourceOrDestination;
    case R2_MERGEPENNOT: return QPainter::RasterOp_SourceOrNotDestination;
    case R2_MERGEPEN: return QPainter::RasterOp_SourceOrDestination;
    case R2_WHITE: return QPainter::RasterOp_SetDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

namespace {

QPainter::CompositionMode CompositionForRop3(uint32_t rop)
{
    switch (rop) {
    case SRCAND: return QPainter::RasterOp_SourceAndDestination;
    case SRCPAINT: return QPainter::RasterOp_SourceOrDestination;
    case SRCINVERT: return QPainter::RasterOp_SourceXorDestination;
    case NOTSRCCOPY: return QPainter::RasterOp_NotSource;
    case SRCERASE: return QPainter::RasterOp_SourceAndNotDestination;
    case NOTSRCERASE: return QPainter::RasterOp_NotSourceAndNotDestination;
    case MERGEPAINT: return QPainter::RasterOp_NotSourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

Qt::PenStyle GeometricStyle(int style)
{
    switch (style) {
    case PS_DASH: return Qt::DashLine;
    case PS_DOT: return Qt::DotLine;
    case PS_DASHDOT: return Qt::DashDotLine;
    case PS_DASHDOTDOT: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

bool IsStyled(const TLogPen& pen)
{
    return pen.Style != PS_SOLID && pen.Style != PS_NULL && pen.Style != PS_INSIDEFRAME;
}

// A monochrome pattern takes the text colour on its black pixels and the
// background colour on the others; any other picture fills as it is.
QImage PatternTexture(const QImage& pattern, TColor text, TColor background)
{
    QImage texture = pattern.convertToFormat(QImage::Format_RGB32);
    bool monochrome = true;
    for (int y = 0; y < texture.height() && monochrome; ++y)
        for (int x = 0; x < texture.width() && monochrome; ++x) {
            const QRgb p = texture.pixel(x, y) & 0xFFFFFF;
            monochrome = p == 0 || p == 0xFFFFFF;
        }
    if (!monochrome)
        return texture;
    const QRgb set = ToQColor(text).rgb(), gap = ToQColor(background).rgb();
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x)
            texture.setPixel(x, y, (texture.pixel(x, y) & 0xFFFFFF) == 0 ? set : gap);
    return texture;
}

// The 8 x 8 hatch cells: horizontal and vertical lines on the first row and
// column, the forward diagonal from the top-left, the backward one from the
// top-right. Set pixels take the brush colour, the rest stays transparent.
QImage HatchTexture(int hatch, TColor color)
{
    QImage cell(8, 8, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    const QRgb ink = ToQColor(color).rgb();
    for (int i = 0; i < 8; ++i) {
        const bool horizontal = hatch == HS_HORIZONTAL || hatch == HS_CROSS;
        const bool vertical = hatch == HS_VERTICAL || hatch == HS_CROSS;
        const bool forward = hatch == HS_FDIAGONAL || hatch == HS_DIAGCROSS;
        const bool backward = hatch == HS_BDIAGONAL || hatch == HS_DIAGCROSS;
        if (horizontal)
            cell.setPixel(i, 0, ink);
        if (vertical)
            cell.setPixel(0, i, ink);
        if (forward)
            cell.setPixel(i, i, ink);
        if (backward)
            cell.setPixel(7 - i, i, ink);
    }
    return cell;
}

} // namespace

QList<qreal> CosmeticDashes(int style)
{
    switch (style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    default: return {};
    }
}

TPainterDC::TPainterDC(QImage& image) : FImage(&image), FDevice(&image), FTechnology(DT_RASDISPLAY) {}

TPainterDC::TPainterDC(QPaintDevice& device, int technology) : FDevice(&device), FTechnology(technology) {}

TPainterDC::~TPainterDC()
{
    Finish();
}

void TPainterDC::Finish()
{
    if (FPainter) {
        FPainter->end();
        FPainter.reset();
    }
}

QPainter& TPainterDC::Painter()
{
    if (!FPainter) {
        FPainter = std::make_unique<QPainter>(FDevice);
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        FClipApplied = false;
        FPenApplied = false;
        FAppliedRop = -1;
    }
    if (!FClipApplied)
        ApplyClip(*FPainter);
    return *FPainter;
}

void TPainterDC::ApplyClip(QPainter& painter)
{
    if (ClipRegion()) {
        // Switched on before it is replaced: QPainter keeps a switched-off
        // clip, and a region of several rectangles (an ellipse, a polygon)
        // only replaces its contents, leaving it off, so everything drawn
        // in that region would spill over the whole device.
        painter.setClipping(true);
        painter.setClipRegion(*ClipRegion());
    } else {
        painter.setClipping(false);
    }
    FClipApplied = true;
}

QRect TPainterDC::DeviceBounds() const
{
    return QRect(0, 0, FDevice->width(), FDevice->height());
}

int TPainterDC::GetDeviceCaps(int index) const
{
    const int dpiX = FImage ? RoundToInt32(FImage->dotsPerMeterX() * 0.0254) : FDevice->logicalDpiX();
    const int dpiY = FImage ? RoundToInt32(FImage->dotsPerMeterY() * 0.0254) : FDevice->logicalDpiY();
    switch (index) {
    case TECHNOLOGY: return FTechnology;
    case HORZRES:
    case PHYSICALWIDTH: return FDevice->width();
    case VERTRES:
    case PHYSICALHEIGHT: return FDevice->height();
    case HORZSIZE: return dpiX > 0 ? RoundToInt32(FDevice->width() * 25.4 / dpiX) : 0;
    case VERTSIZE: return dpiY > 0 ? RoundToInt32(FDevice->height() * 25.4 / dpiY) : 0;
    case LOGPIXELSX: return dpiX;
    case LOGPIXELSY: return dpiY;
    case BITSPIXEL: return FDevice->depth();
    case PLANES: return 1;
    default: return 0;
    }
}

QPen TPainterDC::MakePen() const
{
    const TLogPen& logPen = Pen();
    const QColor color = ToQColor(logPen.Color);
    if (!logPen.Geometric) {
        QPen pen(color, 0);
        pen.setCapStyle(Qt::FlatCap); // the last pixel of a line stays empty
        pen.setJoinStyle(Qt::MiterJoin);
        QList<qreal> dashes = CosmeticDashes(logPen.Style);
        if (logPen.Style == PS_USERSTYLE)
            for (uint32_t entry : logPen.UserStyle)
                dashes << qreal(std::max<uint32_t>(entry, 1));
        if (dashes.size() >= 2)
            pen.setDashPattern(dashes);
        return pen;
    }
    QPen pen(color, logPen.Width);
    pen.setCapStyle(QtCapOf(logPen.EndCap));
    pen.setJoinStyle(QtJoinOf(logPen.Join));
    if (logPen.Style == PS_USERSTYLE && logPen.UserStyle.size() >= 2) {
        // User dashes are in logical units: they must not grow with the width.
        QList<qreal> dashes;
        for (uint32_t entry : logPen.UserStyle)
            dashes << std::max(qreal(entry), qreal(0.001)) / logPen.Width;
        pen.setDashPattern(dashes);
    } else {
        pen.setStyle(GeometricStyle(logPen.Style));
    }
    return pen;
}

QBrush TPainterDC::MakeBrush(const TLogBrush& brush) const
{
    switch (brush.Kind) {
    case TBrushKind::Solid: return QBrush(ToQColor(brush.Color));
    case TBrushKind::DCBrush: return QBrush(ToQColor(DCBrushColor()));
    case TBrushKind::Hatched: return QBrush(HatchTexture(brush.Hatch, brush.Color));
    case TBrushKind::Pattern: return QBrush(PatternTexture(brush.Pattern, TextColor(), BkColor()));
    case TBrushKind::Null: break;
    }
    return QBrush(Qt::NoBrush);
}

void TPainterDC::FillWithBrush(QPainter& painter, const QPainterPath& path, const TLogBrush& brush)
{
    if (brush.Kind == TBrushKind::Null)
        return;
    painter.setBrushOrigin(BrushOrg().X, BrushOrg().Y);
    if (brush.Kind == TBrushKind::Hatched && BkMode() == OPAQUE)
        painter.fillPath(path, ToQColor(BkColor())); // the gaps between the hatch lines
    painter.fillPath(path, MakeBrush(brush));
}

void TPainterDC::EngineStrokeFillPath(const QPainterPath& path, bool stroke, bool fill)
{
    QPainter& painter = Painter();
    if (SupportsRasterOps() && FAppliedRop != ROP2()) {
        painter.setCompositionMode(CompositionForRop2(ROP2()));
        FAppliedRop = ROP2();
    }
    if (fill)
        FillWithBrush(painter, path, Brush());
    if (!stroke)
        return;
    const TLogPen& logPen = Pen();
    if (!logPen.Geometric && IsStyled(logPen) && BkMode() == OPAQUE) {
        // Gaps of a styled line show the background colour.
        QPen gaps(ToQColor(BkColor()), 0);
        gaps.setCapStyle(Qt::FlatCap);
        painter.strokePath(path, gaps);
    }
    painter.strokePath(path, MakePen());
    FPenApplied = false;
}

bool TPainterDC::PlainPenLines() const
{
    const TLogPen& logPen = Pen();
    return !InPath() && MapMode() == MM_TEXT && logPen.Style == PS_SOLID && !logPen.Geometric && ROP2() != R2_NOP;
}

const QPolygon& TPainterDC::DevicePoints(const TPoint* points, int count)
{
    const QPointF origin = ToDevice(0, 0);
    const int dx = static_cast<int>(origin.x());
    const int dy = static_cast<int>(origin.y());
    FIntScratch.resize(count);
    QPoint* device = FIntScratch.data();
    for (int i = 0; i < count; ++i)
        device[i] = QPoint(points[i].X + dx, points[i].Y + dy);
    return FIntScratch;
}

void TPainterDC::Polyline(const TPoint* points, int count)
{
    // A plain pen draws the polyline straight from the points, without
    // building a path of them: QPainter strokes both alike.
    if (count < 2 || !PlainPenLines()) {
        TDeviceContext::Polyline(points, count);
        return;
    }
    const QPolygon& device = DevicePoints(points, count);
    QPainter& painter = Painter();
    ApplyRopAndPen(painter);
    painter.drawPolyline(device);
}

bool TPainterDC::PlainShape() const
{
    const TLogPen& logPen = Pen();
    const bool plainPen = logPen.Style == PS_NULL ||
                          (!logPen.Geometric && (logPen.Style == PS_SOLID || logPen.Style == PS_INSIDEFRAME));
    const TBrushKind brush = Brush().Kind;
    const bool plainBrush = brush == TBrushKind::Solid || brush == TBrushKind::Null || brush == TBrushKind::DCBrush;
    return !InPath() && MapMode() == MM_TEXT && ROP2() == R2_COPYPEN && plainPen && plainBrush;
}

void TPainterDC::Rectangle(int l, int t, int r, int b)
{
    // The fill and the outline as rectangle fills: what stroking and filling
    // the rectangle's path gives, without the path.
    if (!PlainShape()) {
        TDeviceContext::Rectangle(l, t, r, b);
        return;
    }
    const QRectF box = ShapeBox(l, t, r, b);
    const int x0 = static_cast<int>(box.left()), y0 = static_cast<int>(box.top());
    const int x1 = static_cast<int>(box.right()), y1 = static_cast<int>(box.bottom());
    QPainter& painter = Painter();
    ApplyRopAndPen(painter);
    if (Brush().Kind != TBrushKind::Null && x1 > x0 && y1 > y0)
        painter.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), MakeBrush(Brush()).color());
    if (Pen().Style == PS_NULL)
        return;
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
}

void TPainterDC::LineTo(int x, int y)
{
    // The common case, a plain line on the device, skips the path machinery.
    if (PlainPenLines()) {
        const QPointF from = ToDevice(CurrentPosition().X, CurrentPosition().Y);
        TDeviceContext::MoveTo(x, y);
        const QPointF to = ToDevice(x, y);
        QPainter& painter = Painter();
        ApplyRopAndPen(painter);
        DrawCosmeticLine(painter, from, to);
        return;
    }
    if (StyledLineForward(x, y)) {
        // Dotted and dashed grid lines: a line running forward draws as its
        // path does, its dashes starting at its start.
        const QPointF from = ToDevice(CurrentPosition().X, CurrentPosition().Y);
        TDeviceContext::MoveTo(x, y);
        const QPointF to = ToDevice(x, y);
        QPainter& painter = Painter();
        ApplyRopAndPen(painter);
        if (BkMode() == OPAQUE) { // the gaps show the background colour
            const QPen dashes = painter.pen();
            QPen gaps(ToQColor(BkColor()), 0);
            gaps.setCapStyle(Qt::FlatCap);
            painter.setPen(gaps);
            painter.drawLine(from, to);
            painter.setPen(dashes);
        }
        painter.drawLine(from, to);
        return;
    }
    TDeviceContext::LineTo(x, y);
}

bool TPainterDC::StyledLineForward(int x, int y) const
{
    const TLogPen& logPen = Pen();
    if (InPath() || MapMode() != MM_TEXT || logPen.Geometric || !IsStyled(logPen) || ROP2() == R2_NOP)
        return false;
    const int dx = x - CurrentPosition().X;
    const int dy = y - CurrentPosition().Y;
    return std::abs(dx) >= std::abs(dy) ? dx >= 0 : dy >= 0;
}

void TPainterDC::DrawCosmeticLine(QPainter& painter, const QPointF& from, const QPointF& to)
{
    // QPainter walks every line along its major axis in the positive
    // direction, leaving out the pixel it ends on. For a line running the
    // other way that is the start, not the end: draw it one step shifted
    // towards the start, so the start is drawn and the end left out.
    const QPointF delta = to - from;
    const bool xMajor = std::fabs(delta.x()) >= std::fabs(delta.y());
    const double major = xMajor ? delta.x() : delta.y();
    if (major >= 0) {
        painter.drawLine(from, to);
        return;
    }
    const QPointF step = -delta / std::fabs(major); // one pixel back towards the start
    painter.drawLine(to + step, from + step);
}

void TPainterDC::ApplyRopAndPen(QPainter& painter)
{
    if (SupportsRasterOps() && FAppliedRop != ROP2()) {
        painter.setCompositionMode(CompositionForRop2(ROP2()));
        FAppliedRop = ROP2();
    }
    const TLogPen& logPen = Pen();
    if (!FPenApplied || !(FAppliedPen == logPen)) {
        painter.setPen(logPen.Style == PS_NULL ? QPen(Qt::NoPen) : MakePen());
        FAppliedPen = logPen;
        FPenApplied = true;
    }
}

void TPainterDC::Polygon(const TPoint* points, int count)
{
    // Solid fills with a plain pen go straight to QPainter's polygon filler;
    // everything else (paths, hatches, patterns, styled pens) takes the
    // general route.
    const TLogPen& logPen = Pen();
    const bool plainPen = logPen.Style == PS_NULL || (!logPen.Geometric && !IsStyled(logPen));
    const bool plainBrush = Brush().Kind == TBrushKind::Solid || Brush().Kind == TBrushKind::Null;
    if (InPath() || count < 2 || !plainPen || !plainBrush || ROP2() == R2_NOP) {
        TDeviceContext::Polygon(points, count);
        return;
    }
    QPainter& painter = Painter();
    ApplyRopAndPen(painter);
    painter.setBrush(Brush().Kind == TBrushKind::Solid ? QBrush(ToQColor(Brush().Color)) : QBrush(Qt::NoBrush));
    const Qt::FillRule rule = PolyFillMode() == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    if (MapMode() == MM_TEXT) { // whole pixels: QPainter's integer polygon route
        painter.drawPolygon(DevicePoints(points, count), rule);
        return;
    }
    FScratch.resize(count);
    for (int i = 0; i < count; ++i)
        FScratch[i] = ToDevice(points[i].X, points[i].Y);
    painter.drawPolygon(FScratch, rule);
}

void TPainterDC::EngineFillRegion(const TRegion& region, const TLogBrush& brush)
{
    QPainter& painter = Painter();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    FAppliedRop = -1;
    TLogBrush resolved = brush;
    if (brush.Kind == TBrushKind::DCBrush)
        resolved = CreateSolidBrush(DCBrushColor());
    if (region.rectCount() == 1 && resolved.Kind != TBrushKind::Null) {
        // One rectangle (the common case): filled directly, without a path.
        const QRect rect = region.boundingRect();
        painter.setBrushOrigin(BrushOrg().X, BrushOrg().Y);
        if (resolved.Kind == TBrushKind::Hatched && BkMode() == OPAQUE)
            painter.fillRect(rect, ToQColor(BkColor()));
        painter.fillRect(rect, MakeBrush(resolved));
        return;
    }
    QPainterPath path;
    path.addRegion(region);
    FillWithBrush(painter, path, resolved);
}

void TPainterDC::EnginePatBlt(const QRect& dest, uint32_t rop)
{
    QPainter& painter = Painter();
    FAppliedRop = -1;
    switch (rop) {
    case BLACKNESS:
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(dest, Qt::black);
        break;
    case WHITENESS:
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(dest, Qt::white);
        break;
    case DSTINVERT:
        if (SupportsRasterOps()) {
            painter.setCompositionMode(QPainter::RasterOp_NotDestination);
            painter.fillRect(dest, Qt::black);
        }
        break;
    case PATINVERT:
        if (SupportsRasterOps()) {
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            QPainterPath path;
            path.addRect(dest);
            FillWithBrush(painter, path, Brush());
        }
        break;
    default: { // PATCOPY and anything else: the brush, copied
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        QPainterPath path;
        path.addRect(dest);
        TLogBrush brush = Brush();
        if (brush.Kind == TBrushKind::DCBrush)
            brush = CreateSolidBrush(DCBrushColor());
        FillWithBrush(painter, path, brush);
        break;
    }
    }
}

bool TPainterDC::LinearGradientFill(const TRect& rect, const QPointF& start, const QPointF& end,
                                    const std::vector<TGradientStop>& stops)
{
    // Pixels and printers take the bands; an SVG file would hold each band
    // as an element of its own, thousands for one chart.
    if (FImage || InPath() || stops.empty())
        return false;
    QPainter& painter = Painter();
    if (!painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::SVG)
        return false;
    const QPointF a = ToDevice(rect.Left, rect.Top);
    const QPointF b = ToDevice(rect.Right, rect.Bottom);
    const int l = RoundToInt32(a.x());
    const int t = RoundToInt32(a.y());
    const int r = RoundToInt32(b.x());
    const int bottom = RoundToInt32(b.y());
    const QRect device(QPoint(std::min(l, r), std::min(t, bottom)),
                       QPoint(std::max(l, r) - 1, std::max(t, bottom) - 1));
    if (device.isEmpty())
        return true;
    const QTransform mapping = Mapping();
    QLinearGradient gradient(mapping.map(start), mapping.map(end));
    for (const TGradientStop& stop : stops)
        gradient.setColorAt(std::clamp(stop.Offset, 0.0, 1.0), ToQColor(stop.Color));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    FAppliedRop = -1;
    painter.fillRect(device, QBrush(gradient));
    return true;
}

namespace {

// Whether a text is kept shaped: left-to-right characters that neither
// combine nor join (Latin letters, digits, signs), so that its glyphs are
// those QPainter::drawText shapes, drawn at the same places.
bool KeepsShape(const QString& text)
{
    if (text.isEmpty() || text.size() > 256)
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u > 0x24F)
            return false;
    }
    return true;
}

} // namespace

const QList<QGlyphRun>* TPainterDC::ShapedText(const QFont& font, const QString& text)
{
    if (!KeepsShape(text) || font.underline() || font.strikeOut() || font.overline())
        return nullptr;
    auto texts = std::find_if(FShapedTexts.begin(), FShapedTexts.end(),
                              [&](const TShapedTexts& entry) { return entry.Font == font; });
    if (texts == FShapedTexts.end()) {
        if (FShapedTexts.size() >= 8)
            FShapedTexts.erase(FShapedTexts.begin());
        FShapedTexts.push_back({font, {}});
        texts = FShapedTexts.end() - 1;
    }
    if (const auto found = texts->Runs.constFind(text); found != texts->Runs.cend())
        return &found.value();
    // Numbers that change paint after paint are not kept without bound.
    if (texts->Runs.size() >= 4096)
        texts->Runs.clear();
    // One line, laid out as drawText lays it out; the glyphs are placed
    // from the baseline, as drawText places them.
    QTextLayout layout(text, font, FPainter ? FPainter->device() : nullptr);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    QList<QGlyphRun> runs = layout.glyphRuns();
    const QPointF toBaseline(-line.x(), -line.ascent());
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& position : positions)
            position += toBaseline;
        run.setPositions(positions);
    }
    return &texts->Runs.insert(text, std::move(runs)).value();
}

namespace {

// Whether Transform scales either axis by more than eight times or less
// than an eighth: such a text is filled from its outlines rather than drawn
// through Qt's glyph cache.
bool FarScaled(const QTransform& Transform)
{
    constexpr double Limit = 8.0;
    const double scaleX = std::hypot(Transform.m11(), Transform.m12());
    const double scaleY = std::hypot(Transform.m21(), Transform.m22());
    for (const double scale : {scaleX, scaleY})
        if (!(scale <= Limit && scale >= 1.0 / Limit))
            return true;
    return false;
}

} // namespace

void TPainterDC::EngineText(int x, int y, const QString& text)
{
    const TTextPlacement placement = PlaceText(x, y, text);
    QPainter& painter = Painter();
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.translate(placement.Reference);
    painter.rotate(-placement.Angle);
    if (BkMode() == OPAQUE)
        painter.fillRect(placement.Cell, ToQColor(BkColor()));
    painter.setPen(ToQColor(TextColor()));
    painter.scale(placement.Stretch, 1.0);
    // Upright, unscaled texts are drawn from their kept glyphs.
    const QList<QGlyphRun>* shaped = painter.worldTransform().type() <= QTransform::TxTranslate
                                         ? ShapedText(placement.DeviceFont, text)
                                         : nullptr;
    if (shaped) {
        for (const QGlyphRun& run : *shaped)
            painter.drawGlyphRun(placement.GlyphOrigin(), run);
    } else if (FarScaled(painter.worldTransform())) {
        // Qt renders the glyphs of a transformed text into a cache at
        // their transformed size, judged by the transform's area alone: a
        // text stretched along one axis (a metafile's record may ask for
        // it) made that cache gigabytes. The outlines are filled instead.
        QPainterPath outlines;
        outlines.addText(placement.GlyphOrigin(), placement.DeviceFont, text);
        painter.fillPath(outlines, ToQColor(TextColor()));
    } else {
        painter.setFont(placement.DeviceFont);
        painter.drawText(placement.GlyphOrigin(), text);
    }
    painter.restore();
    FAppliedRop = -1;
    FPenApplied = false;
}

void TPainterDC::EngineDrawImage(const QRect& dest, const QImage& image, const QRect& source, uint32_t rop,
                                 std::optional<TColor> transparent)
{
    QPainter& painter = Painter();
    FAppliedRop = -1;
    if (transparent) {
        QImage masked = image.copy(source).convertToFormat(QImage::Format_ARGB32);
        const QRgb key = ToQColor(*transparent).rgb() & 0xFFFFFF;
        for (int y = 0; y < masked.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(masked.scanLine(y));
            for (int x = 0; x < masked.width(); ++x)
                if ((row[x] & 0xFFFFFF) == key)
                    row[x] = 0;
        }
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(QRectF(dest), masked, QRectF(masked.rect()));
        return;
    }
    painter.setCompositionMode(SupportsRasterOps() ? CompositionForRop3(rop) : QPainter::CompositionMode_SourceOver);
    painter.drawImage(QRectF(dest), image, QRectF(source));
}

void TPainterDC::SetPixel(int x, int y, TColor color)
{
    const QPointF p = ToDevice(x, y);
    QPainter& painter = Painter();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(RoundToInt32(p.x()), RoundToInt32(p.y()), 1, 1), ToQColor(color));
    FAppliedRop = -1;
}

TColor TPainterDC::GetPixel(int x, int y) const
{
    if (!FImage)
        return clNone;
    const QPointF p = ToDevice(x, y);
    const QPoint device(RoundToInt32(p.x()), RoundToInt32(p.y()));
    if (!FImage->rect().contains(device))
        return clNone;
    return FromQColor(QColor(FImage->pixel(device)));
}

} // namespace lp
