#include "platform/graphics/DeviceContext.h"

#include "platform/base/Numeric.h"
#include "platform/graphics/DrawingLimits.h"

#include <QtGui/QFontMetricsF>
#include <QtGui/QPainter>
#include <QtGui/QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <queue>

namespace lp {

// --- Logical objects -----------------------------------------------------------------

TLogPen CreatePen(int style, int width, TColor color)
{
    TLogPen pen;
    pen.Color = color;
    pen.Style = style & PS_STYLE_MASK;
    if (pen.Style > PS_INSIDEFRAME)
        pen.Style = PS_SOLID;
    if (width > 1) {
        pen.Geometric = true;
        pen.Width = width;
        if (pen.Style != PS_NULL && pen.Style != PS_INSIDEFRAME)
            pen.Style = PS_SOLID; // wide plain pens draw their dashes solid
    }
    return pen;
}

TLogPen ExtCreatePen(int styleFlags, int width, TColor color, std::vector<uint32_t> userStyle)
{
    TLogPen pen;
    pen.Color = color;
    pen.Style = styleFlags & PS_STYLE_MASK;
    pen.Geometric = (styleFlags & PS_GEOMETRIC) != 0;
    pen.Width = pen.Geometric ? std::max(width, 1) : 1;
    pen.EndCap = styleFlags & PS_ENDCAP_MASK;
    pen.Join = styleFlags & PS_JOIN_MASK;
    if (pen.Style == PS_USERSTYLE)
        pen.UserStyle = std::move(userStyle);
    return pen;
}

TLogBrush CreateSolidBrush(TColor color)
{
    TLogBrush brush;
    brush.Kind = TBrushKind::Solid;
    brush.Color = color;
    return brush;
}

TLogBrush CreateHatchBrush(int hatch, TColor color)
{
    TLogBrush brush;
    brush.Kind = TBrushKind::Hatched;
    brush.Hatch = std::clamp(hatch, 0, 5);
    brush.Color = color;
    return brush;
}

TLogBrush CreatePatternBrush(const QImage& pattern)
{
    TLogBrush brush;
    brush.Kind = TBrushKind::Pattern;
    brush.Pattern = pattern;
    return brush;
}

TLogBrush NullBrush()
{
    TLogBrush brush;
    brush.Kind = TBrushKind::Null;
    return brush;
}

Qt::PenCapStyle QtCapOf(int endCap)
{
    return endCap == PS_ENDCAP_FLAT ? Qt::FlatCap : endCap == PS_ENDCAP_SQUARE ? Qt::SquareCap : Qt::RoundCap;
}

Qt::PenJoinStyle QtJoinOf(int join)
{
    return join == PS_JOIN_BEVEL ? Qt::BevelJoin : join == PS_JOIN_MITER ? Qt::MiterJoin : Qt::RoundJoin;
}

QString MapFontFamily(const QString& faceName)
{
    const QString name = faceName.trimmed().toLower();
    if (name == QLatin1String("arial") || name == QLatin1String("tahoma") ||
        name == QLatin1String("ms sans serif") ||
        name == QLatin1String("verdana") || name == QLatin1String("symbol") || name.isEmpty())
        return QStringLiteral("Liberation Sans");
    // The small label face has no metric twin; DejaVu Sans keeps its labels
    // legible at 7 points.
    if (name == QLatin1String("small fonts"))
        return QStringLiteral("DejaVu Sans");
    if (name == QLatin1String("times new roman") || name == QLatin1String("times"))
        return QStringLiteral("Liberation Serif");
    if (name == QLatin1String("courier new") || name == QLatin1String("courier"))
        return QStringLiteral("Liberation Mono");
    return faceName;
}

namespace {

// The pixel size whose ascent + descent is the given cell height.
double EmForCellHeight(const QFont& font, int cellHeight)
{
    QFont probe = font;
    probe.setPixelSize(100);
    const QFontMetricsF metrics(probe);
    const double cell = metrics.ascent() + metrics.descent();
    return cell > 0 ? cellHeight * 100.0 / cell : cellHeight;
}

} // namespace

QFont ToQFont(const TLogFont& logFont)
{
    QFont font(MapFontFamily(logFont.FaceName));
    font.setKerning(false);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(logFont.Weight == 0 ? 400 : logFont.Weight, 100, 900)));
    font.setItalic(logFont.Italic);
    font.setUnderline(logFont.Underline);
    font.setStrikeOut(logFont.StrikeOut);
    // Any height a logical font may carry, INT_MIN included, in the font range.
    const int height = logFont.Height == 0 ? -12 : ClampToRange(logFont.Height, -MaxFontHeight, MaxFontHeight);
    const int pixels = height < 0 ? -height : std::max(1, static_cast<int>(std::lround(EmForCellHeight(font, height))));
    font.setPixelSize(std::max(1, pixels));
    if (logFont.Quality == 3) // non-antialiased
        font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// --- Regions ------------------------------------------------------------------------------

namespace {

QRect NormalizedDeviceRect(int l, int t, int r, int b)
{
    return QRect(QPoint(std::min(l, r), std::min(t, b)), QPoint(std::max(l, r) - 1, std::max(t, b) - 1));
}

} // namespace

TRegion CreateRectRgn(int left, int top, int right, int bottom)
{
    return TRegion(NormalizedDeviceRect(left, top, right, bottom));
}

namespace {

// The part of a path within Area (all of it when Area is empty or holds it).
QPainterPath PathWithin(const QPainterPath& path, const QRect& area)
{
    if (area.isEmpty() || area.contains(path.controlPointRect().toAlignedRect()))
        return path;
    QPainterPath bound;
    bound.addRect(area);
    return path.intersected(bound);
}

} // namespace

TRegion RegionFromPath(const QPainterPath& whole, const QRect& area)
{
    const QPainterPath path = PathWithin(whole, area);
    // Rasterise the path (aliased, its own fill rule) and collect the runs
    // of covered pixels, so figures and holes come out as the path fills.
    const QRect bounds = path.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (bounds.isEmpty())
        return TRegion();
    QImage mask(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.translate(-bounds.topLeft());
        painter.fillPath(path, Qt::black);
    }
    TRegion region;
    for (int y = 0; y < mask.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < mask.width();) {
            if (qAlpha(row[x]) == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.width() && qAlpha(row[x]) != 0)
                ++x;
            region += QRect(bounds.left() + start, bounds.top() + y, x - start, 1);
        }
    }
    return region;
}

TRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height, const QRect& area)
{
    const QRect box = NormalizedDeviceRect(left, top, right, bottom);
    QPainterPath path;
    path.addRoundedRect(QRectF(box.left(), box.top(), box.width(), box.height()), width / 2.0, height / 2.0);
    return RegionFromPath(path, area);
}

TRegion CreateEllipticRgn(int left, int top, int right, int bottom, const QRect& area)
{
    // Rasterised like the rounded rectangle and like the ellipses the device
    // draws: Qt's own elliptic region reaches up to two pixels further
    // right and down, so a fill clipped to it showed beyond the outline.
    const QRect box = NormalizedDeviceRect(left, top, right, bottom);
    QPainterPath path;
    path.addEllipse(QRectF(box.left(), box.top(), box.width(), box.height()));
    return RegionFromPath(path, area);
}

TRegion CreatePolygonRgn(const TPoint* points, int count, int fillMode)
{
    QPolygon polygon;
    for (int i = 0; i < count; ++i)
        polygon << QPoint(points[i].X, points[i].Y);
    return TRegion(polygon, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
}

namespace {

// One border line of a rectangle, X (or Y) = At; its inside is where
// Sign * (coordinate - At) >= 0.
struct TBorderLine {
    bool IsX = true;
    double At = 0.0;
    double Sign = 1.0;

    double Coordinate(const QPointF& p) const { return IsX ? p.x() : p.y(); }
    bool Inside(const QPointF& p) const { return Sign * (Coordinate(p) - At) >= 0.0; }
    // Where the edge from a to b, one end on either side, crosses the line.
    QPointF Cut(const QPointF& a, const QPointF& b) const
    {
        const double t = (At - Coordinate(a)) / (Coordinate(b) - Coordinate(a));
        const QPointF p = a + t * (b - a);
        return IsX ? QPointF(At, p.y()) : QPointF(p.x(), At);
    }
};

// The closed polygon with every stretch outside the line replaced by the
// line between the cuts.
QPolygonF KeepInside(const QPolygonF& points, const TBorderLine& line)
{
    QPolygonF kept;
    const qsizetype count = points.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QPointF& from = points[(i + count - 1) % count];
        const QPointF& to = points[i];
        const bool fromInside = line.Inside(from);
        if (line.Inside(to)) {
            if (!fromInside)
                kept << line.Cut(from, to);
            kept << to;
        } else if (fromInside) {
            kept << line.Cut(from, to);
        }
    }
    return kept;
}

// A device coordinate as a pixel, rounded as LPtoDP rounds; a coordinate
// beyond 32 bits (an unbounded polygon) stops at the end of the range.
int DevicePixel(double value)
{
    return static_cast<int>(RoundHalfEven(std::clamp(value, -2147483648.0, 2147483647.0)));
}

} // namespace

QPolygonF PolygonWithin(const QPolygonF& points, const QRectF& area)
{
    // A stretch outside one line and back adds a loop lying wholly outside
    // it, which winds around no point inside: the fill within is kept.
    QPolygonF kept = points;
    for (const TBorderLine& line : {TBorderLine{true, area.left(), 1.0}, TBorderLine{true, area.right(), -1.0},
                                    TBorderLine{false, area.top(), 1.0}, TBorderLine{false, area.bottom(), -1.0}})
        kept = KeepInside(kept, line);
    return kept;
}

TRegion CreatePolygonRgnWithin(const QPolygonF& points, int fillMode, const QRect& area)
{
    const QRectF bound(area);
    const bool inside = area.isEmpty() || bound.contains(points.boundingRect());
    const QPolygonF kept = inside ? points : PolygonWithin(points, bound);
    QPolygon polygon;
    polygon.reserve(kept.size());
    for (const QPointF& p : kept)
        polygon << QPoint(DevicePixel(p.x()), DevicePixel(p.y()));
    return TRegion(polygon, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
}

TRegion CombineRgn(const TRegion& a, const TRegion& b, int mode)
{
    switch (mode) {
    case RGN_AND: return a.intersected(b);
    case RGN_OR: return a.united(b);
    case RGN_XOR: return a.xored(b);
    case RGN_DIFF: return a.subtracted(b);
    default: return a;
    }
}

// --- The device context ---------------------------------------------------------------------

TDeviceContext::TDeviceContext() = default;
TDeviceContext::~TDeviceContext() = default;

void TDeviceContext::ResetDefaults()
{
    FPen = TLogPen();
    FBrush = TLogBrush();
    FFont = TLogFont();
    FTextColor = clBlack;
    FBkColor = clWhite;
    FBkMode = OPAQUE;
    FTextAlign = 0;
    FRop2 = R2_COPYPEN;
    FPolyFillMode = ALTERNATE;
    FArcDirection = AD_COUNTERCLOCKWISE;
    FCharExtra = 0;
    FDCBrushColor = clWhite;
    FBrushOrg = {};
    FMapMode = MM_TEXT;
    FWindowOrg = {};
    FWindowExt = {1, 1};
    FViewportOrg = {};
    FViewportExt = {1, 1};
    FPosition = {};
    FClip.reset();
    DiscardPath();
    FTextCacheChecked = false;
    StateChanged();
}

void TDeviceContext::SelectPen(const TLogPen& pen)
{
    FPen = pen;
}

void TDeviceContext::SelectBrush(const TLogBrush& brush)
{
    FBrush = brush;
}

void TDeviceContext::SelectFont(const TLogFont& font)
{
    FFont = font;
    FTextCacheChecked = false;
}

TColor TDeviceContext::SetTextColor(TColor color)
{
    return std::exchange(FTextColor, color);
}

TColor TDeviceContext::SetBkColor(TColor color)
{
    return std::exchange(FBkColor, color);
}

int TDeviceContext::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(FBkMode, mode);
}

unsigned TDeviceContext::SetTextAlign(unsigned align)
{
    return std::exchange(FTextAlign, align);
}

int TDeviceContext::SetROP2(int rop)
{
    if (rop < R2_BLACK || rop > R2_WHITE)
        return 0;
    return std::exchange(FRop2, rop);
}

int TDeviceContext::SetPolyFillMode(int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return std::exchange(FPolyFillMode, mode);
}

int TDeviceContext::SetArcDirection(int direction)
{
    if (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE)
        return 0;
    return std::exchange(FArcDirection, direction);
}

int TDeviceContext::SetTextCharacterExtra(int extra)
{
    FTextCacheChecked = false;
    return std::exchange(FCharExtra, ClampPixelLength(extra));
}

TColor TDeviceContext::SetDCBrushColor(TColor color)
{
    return std::exchange(FDCBrushColor, color);
}

void TDeviceContext::SetBrushOrg(int x, int y)
{
    FBrushOrg = {x, y};
}

// --- Mapping ---------------------------------------------------------------------------------

int TDeviceContext::SetMapMode(int mode)
{
    if (mode != MM_TEXT && mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC)
        return 0;
    const int old = std::exchange(FMapMode, mode);
    FTextCacheChecked = false;
    StateChanged();
    return old;
}

void TDeviceContext::SetWindowOrg(int x, int y)
{
    FWindowOrg = {x, y};
    StateChanged();
}

void TDeviceContext::SetWindowExt(int cx, int cy)
{
    if (FMapMode == MM_TEXT || cx == 0 || cy == 0)
        return; // extents count only in the scaled modes
    FWindowExt = {cx, cy};
    FTextCacheChecked = false;
    StateChanged();
}

void TDeviceContext::SetViewportOrg(int x, int y)
{
    FViewportOrg = {x, y};
    StateChanged();
}

void TDeviceContext::SetViewportExt(int cx, int cy)
{
    if (FMapMode == MM_TEXT || cx == 0 || cy == 0)
        return;
    FViewportExt = {cx, cy};
    FTextCacheChecked = false;
    StateChanged();
}

void TDeviceContext::MappingScale(double& sx, double& sy) const
{
    sx = 1.0;
    sy = 1.0;
    if (FMapMode != MM_TEXT) {
        sx = double(FViewportExt.cx) / FWindowExt.cx;
        sy = double(FViewportExt.cy) / FWindowExt.cy;
        if (FMapMode == MM_ISOTROPIC) {
            const double scale = std::min(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(scale, sx);
            sy = std::copysign(scale, sy);
        }
    }
}

QTransform TDeviceContext::Mapping() const
{
    double sx = 1.0, sy = 1.0;
    MappingScale(sx, sy);
    QTransform transform;
    transform.translate(FViewportOrg.X, FViewportOrg.Y);
    transform.scale(sx, sy);
    transform.translate(-FWindowOrg.X, -FWindowOrg.Y);
    return transform;
}

TPoint TDeviceContext::LPtoDP(const TPoint& p) const
{
    const QPointF d = Mapping().map(QPointF(p.X, p.Y));
    return {RoundToInt32(d.x()), RoundToInt32(d.y())};
}

TPoint TDeviceContext::DPtoLP(const TPoint& p) const
{
    const QPointF l = Mapping().inverted().map(QPointF(p.X, p.Y));
    return {RoundToInt32(l.x()), RoundToInt32(l.y())};
}

QPointF TDeviceContext::ToDevice(int x, int y) const
{
    if (FMapMode == MM_TEXT)
        return QPointF(x - FWindowOrg.X + FViewportOrg.X, y - FWindowOrg.Y + FViewportOrg.Y);
    const TPoint p = LPtoDP({x, y});
    return QPointF(p.X, p.Y);
}

QRectF TDeviceContext::ShapeBox(int l, int t, int r, int b) const
{
    const QPointF a = ToDevice(std::min(l, r), std::min(t, b));
    const QPointF c = ToDevice(std::max(l, r), std::max(t, b));
    // Right and bottom are excluded: the outline runs through the last
    // pixel inside them.
    QRectF box(a, QPointF(c.x() - 1, c.y() - 1));
    box = box.normalized();
    if (FPen.Geometric && FPen.Style == PS_INSIDEFRAME && FPen.Width > 1) {
        // The pen is centred on pixel rows and columns: an even width
        // reaches one pixel further before its centre than after it.
        const int before = FPen.Width / 2, after = (FPen.Width - 1) / 2;
        box.adjust(before, before, -after, -after);
    }
    return box;
}

// --- Drawing helpers ---------------------------------------------------------------------------

bool TDeviceContext::PenDraws() const
{
    return FPen.Style != PS_NULL && FRop2 != R2_NOP;
}

bool TDeviceContext::BrushFills() const
{
    return FBrush.Kind != TBrushKind::Null && FRop2 != R2_NOP;
}

void TDeviceContext::Emit(const QPainterPath& path, bool stroke, bool fill)
{
    if (FPathOpen) {
        FPath.addPath(path);
        return;
    }
    stroke = stroke && PenDraws();
    fill = fill && BrushFills();
    if (stroke || fill)
        EngineStrokeFillPath(path, stroke, fill);
}

void TDeviceContext::ContinuePathFrom(const QPointF& from)
{
    // The pen position is a whole pixel while the path may end between
    // pixels (after an arc): within half a pixel the figure goes on.
    const QPointF end = FPath.currentPosition();
    if (FPath.elementCount() == 0 || std::fabs(end.x() - from.x()) > 0.5 || std::fabs(end.y() - from.y()) > 0.5)
        FPath.moveTo(from);
}

void TDeviceContext::DiscardPath()
{
    FPathOpen = false;
    FPath = QPainterPath();
}

// --- Lines -------------------------------------------------------------------------------------

void TDeviceContext::MoveTo(int x, int y)
{
    FPosition = {x, y};
    if (FPathOpen)
        FPath.moveTo(ToDevice(x, y));
}

void TDeviceContext::LineTo(int x, int y)
{
    const QPointF from = ToDevice(FPosition.X, FPosition.Y);
    const QPointF to = ToDevice(x, y);
    FPosition = {x, y};
    if (FPathOpen) {
        ContinuePathFrom(from);
        FPath.lineTo(to);
        return;
    }
    QPainterPath path(from);
    path.lineTo(to);
    Emit(path, true, false);
}

void TDeviceContext::Polyline(const TPoint* points, int count)
{
    if (count < 2)
        return;
    QPainterPath path(ToDevice(points[0].X, points[0].Y));
    for (int i = 1; i < count; ++i)
        path.lineTo(ToDevice(points[i].X, points[i].Y));
    Emit(path, true, false);
}

void TDeviceContext::PolylineTo(const TPoint* points, int count)
{
    for (int i = 0; i < count; ++i)
        LineTo(points[i].X, points[i].Y);
}

void TDeviceContext::PolyBezier(const TPoint* points, int count)
{
    if (count < 4 || (count - 1) % 3 != 0)
        return;
    QPainterPath path(ToDevice(points[0].X, points[0].Y));
    for (int i = 1; i + 2 < count; i += 3)
        path.cubicTo(ToDevice(points[i].X, points[i].Y), ToDevice(points[i + 1].X, points[i + 1].Y),
                     ToDevice(points[i + 2].X, points[i + 2].Y));
    Emit(path, true, false);
}

namespace {

// The parametric angle (degrees) of the point where the ray from the centre
// towards (x, y) meets the ellipse of the box.
double EllipseAngle(const QRectF& box, const QPointF& towards)
{
    const QPointF centre = box.center();
    const double rx = std::max(box.width() / 2.0, 1e-9), ry = std::max(box.height() / 2.0, 1e-9);
    const double ray = std::atan2(-(towards.y() - centre.y()), towards.x() - centre.x());
    const double parametric = std::atan2(rx * std::sin(ray), ry * std::cos(ray));
    return parametric * 180.0 / std::numbers::pi;
}

} // namespace

TDeviceContext::TArcGeometry TDeviceContext::ArcGeometry(int l, int t, int r, int b, int xStart, int yStart, int xEnd,
                                                         int yEnd) const
{
    TArcGeometry arc;
    arc.Box = ShapeBox(l, t, r, b);
    arc.Start = EllipseAngle(arc.Box, ToDevice(xStart, yStart));
    const double end = EllipseAngle(arc.Box, ToDevice(xEnd, yEnd));
    arc.Sweep = end - arc.Start;
    if (FArcDirection == AD_COUNTERCLOCKWISE) {
        while (arc.Sweep <= 0)
            arc.Sweep += 360.0;
    } else {
        while (arc.Sweep >= 0)
            arc.Sweep -= 360.0;
    }
    return arc;
}

QPainterPath TDeviceContext::ArcPath(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd) const
{
    const TArcGeometry arc = ArcGeometry(l, t, r, b, xStart, yStart, xEnd, yEnd);
    QPainterPath path;
    path.arcMoveTo(arc.Box, arc.Start);
    path.arcTo(arc.Box, arc.Start, arc.Sweep);
    return path;
}

void TDeviceContext::Arc(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    Emit(ArcPath(l, t, r, b, xStart, yStart, xEnd, yEnd), true, false);
}

void TDeviceContext::ArcTo(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    const QPainterPath arc = ArcPath(l, t, r, b, xStart, yStart, xEnd, yEnd);
    const QPointF from = ToDevice(FPosition.X, FPosition.Y);
    QPainterPath path(from);
    path.lineTo(arc.pointAtPercent(0));
    path.connectPath(arc);
    const QPointF last = arc.pointAtPercent(1);
    FPosition = DPtoLP({RoundToInt32(last.x()), RoundToInt32(last.y())});
    if (FPathOpen) {
        ContinuePathFrom(from);
        FPath.connectPath(path);
        return;
    }
    Emit(path, true, false);
}

// --- Filled shapes ---------------------------------------------------------------------------------

void TDeviceContext::Rectangle(int l, int t, int r, int b)
{
    QPainterPath path;
    path.addRect(ShapeBox(l, t, r, b));
    Emit(path, true, true);
}

void TDeviceContext::RoundRect(int l, int t, int r, int b, int width, int height)
{
    const QTransform map = Mapping();
    QPainterPath path;
    path.addRoundedRect(ShapeBox(l, t, r, b), std::fabs(width * map.m11()) / 2.0, std::fabs(height * map.m22()) / 2.0);
    Emit(path, true, true);
}

void TDeviceContext::Ellipse(int l, int t, int r, int b)
{
    QPainterPath path;
    path.addEllipse(ShapeBox(l, t, r, b));
    Emit(path, true, true);
}

void TDeviceContext::Pie(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    const TArcGeometry arc = ArcGeometry(l, t, r, b, xStart, yStart, xEnd, yEnd);
    QPainterPath path(arc.Box.center());
    path.arcTo(arc.Box, arc.Start, arc.Sweep); // joined to the centre by a line
    path.closeSubpath();
    Emit(path, true, true);
}

void TDeviceContext::Chord(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd)
{
    QPainterPath path = ArcPath(l, t, r, b, xStart, yStart, xEnd, yEnd);
    path.closeSubpath();
    Emit(path, true, true);
}

void TDeviceContext::Polygon(const TPoint* points, int count)
{
    const int counts[1] = {count};
    PolyPolygon(points, counts, 1);
}

void TDeviceContext::PolyPolygon(const TPoint* points, const int* counts, int polygons)
{
    QPainterPath path;
    path.setFillRule(FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    int offset = 0;
    for (int k = 0; k < polygons; ++k) {
        const int count = counts[k];
        if (count >= 2) {
            path.moveTo(ToDevice(points[offset].X, points[offset].Y));
            for (int i = 1; i < count; ++i)
                path.lineTo(ToDevice(points[offset + i].X, points[offset + i].Y));
            path.closeSubpath();
        }
        offset += std::max(count, 0);
    }
    Emit(path, true, true);
}

// --- Brush fills ---------------------------------------------------------------------------------------

void TDeviceContext::FillRect(const TRect& rect, const TLogBrush& brush)
{
    const QPointF a = ToDevice(rect.Left, rect.Top);
    const QPointF b = ToDevice(rect.Right, rect.Bottom);
    const QRect device = NormalizedDeviceRect(RoundToInt32(a.x()), RoundToInt32(a.y()), RoundToInt32(b.x()),
                                              RoundToInt32(b.y()));
    if (!device.isEmpty() && brush.Kind != TBrushKind::Null)
        EngineFillRegion(TRegion(device), brush);
}

void TDeviceContext::FillRgn(const TRegion& region, const TLogBrush& brush)
{
    if (!region.isEmpty() && brush.Kind != TBrushKind::Null)
        EngineFillRegion(region, brush);
}

void TDeviceContext::PatBlt(int x, int y, int width, int height, uint32_t rop)
{
    const QPointF a = ToDevice(x, y);
    const QPointF b = ToDevice(x + width, y + height);
    const QRect device = NormalizedDeviceRect(RoundToInt32(a.x()), RoundToInt32(a.y()), RoundToInt32(b.x()),
                                              RoundToInt32(b.y()));
    if (!device.isEmpty())
        EnginePatBlt(device, rop);
}

bool TDeviceContext::LinearGradientFill(const TRect&, const QPointF&, const QPointF&, const std::vector<TGradientStop>&)
{
    return false;
}

// --- Text ------------------------------------------------------------------------------------------------

const TDeviceContext::TTextCache& TDeviceContext::TextCache() const
{
    TTextCache& cache = FTextCache;
    if (FTextCacheChecked && cache.Valid)
        return cache;
    FTextCacheChecked = true;
    // Only the scale of the mapping matters here: taken without building
    // the whole transform, since every measured and drawn text asks.
    double sx = 1.0, sy = 1.0;
    MappingScale(sx, sy);
    const double scale = std::fabs(sy);
    const double scaleX = std::fabs(sx);
    if (cache.Valid && cache.Font == FFont && cache.Scale == scale && cache.ScaleX == scaleX &&
        cache.CharExtra == FCharExtra)
        return cache;
    cache.Valid = true;
    cache.Font = FFont;
    cache.Scale = scale;
    cache.ScaleX = scaleX;
    cache.CharExtra = FCharExtra;
    cache.LogicalFont = ToQFont(FFont);
    const QFontMetrics metrics(cache.LogicalFont);
    cache.Ascent = metrics.ascent();
    cache.Descent = metrics.descent();
    TLogFont scaled = FFont;
    if (scale != 1.0)
        scaled.Height = RoundToInt32(FFont.Height * scale);
    cache.DeviceFont = scale != 1.0 ? ToQFont(scaled) : cache.LogicalFont;
    if (FCharExtra != 0)
        cache.DeviceFont.setLetterSpacing(QFont::AbsoluteSpacing, FCharExtra * scaleX);
    const QFontMetricsF deviceMetrics(cache.DeviceFont);
    cache.DeviceAscent = deviceMetrics.ascent();
    cache.DeviceDescent = deviceMetrics.descent();
    cache.Advances.clear();
    cache.DeviceAdvances.clear();
    return cache;
}

QFont TDeviceContext::DeviceFont() const
{
    return TextCache().DeviceFont;
}

namespace {

// The width of a text from the cache, measured on first use; a cache that
// grows past a few thousand texts (numbers that change paint after paint)
// starts again.
template <class TWidth, class TMeasure>
TWidth CachedWidth(QHash<QString, TWidth>& cache, const QString& text, TMeasure&& measure)
{
    if (const auto found = cache.constFind(text); found != cache.constEnd())
        return *found;
    if (cache.size() > 4096)
        cache.clear();
    const TWidth width = measure();
    cache.insert(text, width);
    return width;
}

} // namespace

int TDeviceContext::LogicalAdvance(const QString& text) const
{
    const TTextCache& cache = TextCache();
    return CachedWidth(FTextCache.Advances, text,
                       [&] { return QFontMetrics(cache.LogicalFont).horizontalAdvance(text); });
}

double TDeviceContext::DeviceAdvance(const QString& text) const
{
    const TTextCache& cache = TextCache();
    return CachedWidth(FTextCache.DeviceAdvances, text,
                       [&] { return QFontMetricsF(cache.DeviceFont).horizontalAdvance(text); });
}

TSize TDeviceContext::GetTextExtent(const QString& text) const
{
    // The spacing of a long text may pass the int range; the width stops there.
    const long long width = LogicalAdvance(text) + static_cast<long long>(FCharExtra) * text.size();
    const TTextCache& cache = TextCache();
    return {ClampToRange(width, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()),
            cache.Ascent + cache.Descent};
}

TTextMetric TDeviceContext::GetTextMetrics() const
{
    const QFont& font = TextCache().LogicalFont;
    const QFontMetrics metrics(font);
    TTextMetric result;
    result.Ascent = metrics.ascent();
    result.Descent = metrics.descent();
    result.Height = result.Ascent + result.Descent;
    result.InternalLeading = std::max(0, result.Height - font.pixelSize());
    result.ExternalLeading = std::max(0, metrics.leading());
    result.AveCharWidth = metrics.averageCharWidth();
    result.MaxCharWidth = metrics.maxWidth();
    return result;
}

TTextPlacement TDeviceContext::PlaceText(int x, int y, const QString& text) const
{
    TTextPlacement placement;
    const TTextCache& cache = TextCache();
    placement.DeviceFont = cache.DeviceFont;
    const TPoint reference = (FTextAlign & TA_UPDATECP) ? FPosition : TPoint{x, y};
    placement.Reference = ToDevice(reference.X, reference.Y);
    placement.Angle = FFont.Escapement / 10.0;
    // The text fills the width it measures at, on every mapping: the device
    // font's height is rounded to whole pixels, so a scaled or fitted text
    // has its glyphs stretched to that width instead of laid out anew.
    const int measured = GetTextExtent(text).cx;
    placement.Width = FFittedWidth ? *FFittedWidth : measured;
    const double natural = DeviceAdvance(text);
    double width = natural;
    const bool scaled = cache.Scale != 1.0 || cache.ScaleX != 1.0;
    if ((scaled || placement.Width != measured) && natural > 0 && placement.Width > 0) {
        width = placement.Width * cache.ScaleX;
        // A width far from the glyphs' own (a damaged recording) stretches
        // no further than a reasonable text would.
        placement.Stretch = std::clamp(width / natural, 1.0 / 16, 16.0);
        width = natural * placement.Stretch;
    }
    double dx = 0;
    switch (FTextAlign & TA_HORIZONTAL_MASK) {
    case TA_RIGHT: dx = -width; break;
    case TA_CENTER: dx = -width / 2.0; break;
    default: break;
    }
    const double ascent = cache.DeviceAscent;
    const double descent = cache.DeviceDescent;
    double dy = ascent; // top
    switch (FTextAlign & TA_VERTICAL_MASK) {
    case TA_BOTTOM: dy = -descent; break;
    case TA_BASELINE: dy = 0; break;
    default: break;
    }
    placement.Baseline = QPointF(dx, dy);
    placement.Cell = QRectF(dx, dy - ascent, width, ascent + descent);
    return placement;
}

void TDeviceContext::TextOut(int x, int y, const QString& text)
{
    const TTextPlacement placement = PlaceText(x, y, text);
    if (FPathOpen) {
        QPainterPath glyphs;
        glyphs.addText(placement.GlyphOrigin(), placement.DeviceFont, text);
        QTransform frame;
        frame.translate(placement.Reference.x(), placement.Reference.y());
        frame.rotate(-placement.Angle);
        frame.scale(placement.Stretch, 1.0);
        FPath.addPath(frame.map(glyphs));
    } else if (!text.isEmpty()) {
        EngineText(x, y, text);
    }
    if (FTextAlign & TA_UPDATECP) {
        const unsigned horizontal = FTextAlign & TA_HORIZONTAL_MASK;
        if (horizontal == TA_LEFT)
            FPosition.X += placement.Width;
        else if (horizontal == TA_RIGHT)
            FPosition.X -= placement.Width;
    }
}

void TDeviceContext::TextOutFitted(int x, int y, const QString& text, int width)
{
    FFittedWidth = width;
    try {
        TextOut(x, y, text);
    } catch (...) {
        FFittedWidth.reset();
        throw;
    }
    FFittedWidth.reset();
}

// --- Pixels and transfers -----------------------------------------------------------------------------------

bool TDeviceContext::ExtFloodFill(int x, int y, TColor color, int type)
{
    const QImage* image = Image();
    if (!image)
        return false;
    const QPointF start = ToDevice(x, y);
    const QPoint origin(RoundToInt32(start.x()), RoundToInt32(start.y()));
    if (!image->rect().contains(origin))
        return false;
    const QRgb target = ToQColor(color).rgb() | 0xFF000000u;
    auto pixel = [&](int px, int py) { return image->pixel(px, py) | 0xFF000000u; };
    auto fillable = [&](int px, int py) {
        const bool same = pixel(px, py) == target;
        return type == FLOODFILLSURFACE ? same : !same;
    };
    if (!fillable(origin.x(), origin.y()))
        return false;
    // Scan-line fill into a mask; the brush then paints the mask's region.
    const int w = image->width(), h = image->height();
    std::vector<uint8_t> seen(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    TRegion area;
    std::queue<QPoint> pending;
    pending.push(origin);
    while (!pending.empty()) {
        const QPoint p = pending.front();
        pending.pop();
        if (seen[static_cast<size_t>(p.y()) * w + p.x()] || !fillable(p.x(), p.y()))
            continue;
        int left = p.x(), right = p.x();
        while (left > 0 && !seen[static_cast<size_t>(p.y()) * w + left - 1] && fillable(left - 1, p.y()))
            --left;
        while (right < w - 1 && !seen[static_cast<size_t>(p.y()) * w + right + 1] && fillable(right + 1, p.y()))
            ++right;
        for (int px = left; px <= right; ++px) {
            seen[static_cast<size_t>(p.y()) * w + px] = 1;
            for (int ny : {p.y() - 1, p.y() + 1})
                if (ny >= 0 && ny < h && !seen[static_cast<size_t>(ny) * w + px])
                    pending.push(QPoint(px, ny));
        }
        area += QRect(left, p.y(), right - left + 1, 1);
    }
    FillRgn(area, FBrush.Kind == TBrushKind::DCBrush ? CreateSolidBrush(FDCBrushColor) : FBrush);
    return true;
}

void TDeviceContext::BitBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy,
                            uint32_t rop)
{
    StretchBlt(x, y, width, height, source, sx, sy, width, height, rop);
}

void TDeviceContext::StretchBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy,
                                int sw, int sh, uint32_t rop)
{
    const QImage* pixels = source.Image();
    if (!pixels || width == 0 || height == 0)
        return;
    const QPointF a = ToDevice(x, y), b = ToDevice(x + width, y + height);
    const QPointF sa = source.ToDevice(sx, sy), sb = source.ToDevice(sx + sw, sy + sh);
    const QRect dest = QRectF(a, b).normalized().toRect();
    const QRect from = QRectF(sa, sb).normalized().toRect();
    EngineDrawImage(dest, *pixels, from, rop, {});
}

void TDeviceContext::DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent)
{
    if (image.isNull())
        return;
    const QPointF a = ToDevice(dest.Left, dest.Top), b = ToDevice(dest.Right, dest.Bottom);
    EngineDrawImage(QRectF(a, b).normalized().toRect(), image, image.rect(), SRCCOPY, transparent);
}

// --- Clipping --------------------------------------------------------------------------------------------------

namespace {

int RegionKind(const std::optional<TRegion>& region)
{
    if (!region)
        return 2; // the whole surface: one rectangle
    if (region->isEmpty())
        return 1;
    return region->rectCount() == 1 ? 2 : 3;
}

} // namespace

int TDeviceContext::CombineClip(const TRegion* region, int mode)
{
    if (mode == RGN_COPY || !region) {
        if (!region && mode != RGN_COPY)
            return 0;
        if (region)
            FClip = *region;
        else
            FClip.reset();
    } else {
        // No clip stands for the whole surface.
        const TRegion current = FClip ? *FClip : TRegion(DeviceBounds());
        FClip = CombineRgn(current, *region, mode);
    }
    StateChanged();
    return RegionKind(FClip);
}

int TDeviceContext::SelectClipRgn(const TRegion* region)
{
    return CombineClip(region, RGN_COPY);
}

int TDeviceContext::ExtSelectClipRgn(const TRegion* region, int mode)
{
    return CombineClip(region, mode);
}

int TDeviceContext::IntersectClipRect(int l, int t, int r, int b)
{
    const QPointF a = ToDevice(l, t), c = ToDevice(r, b);
    const TRegion rect = CreateRectRgn(RoundToInt32(a.x()), RoundToInt32(a.y()), RoundToInt32(c.x()),
                                       RoundToInt32(c.y()));
    return CombineClip(&rect, RGN_AND);
}

int TDeviceContext::GetClipRgn(TRegion& region) const
{
    if (!FClip)
        return 0;
    region = *FClip;
    return 1;
}

// --- Paths -----------------------------------------------------------------------------------------------------------

void TDeviceContext::BeginPath()
{
    FPath = QPainterPath();
    FPath.setFillRule(FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    FPathOpen = true;
}

void TDeviceContext::EndPath()
{
    FPathOpen = false;
}

void TDeviceContext::AbortPath()
{
    DiscardPath();
}

void TDeviceContext::CloseFigure()
{
    if (FPathOpen)
        FPath.closeSubpath();
}

void TDeviceContext::StrokePath()
{
    if (FPathOpen)
        return; // the bracket is still open
    const QPainterPath path = FPath;
    FPath = QPainterPath();
    Emit(path, true, false);
}

void TDeviceContext::FillPath()
{
    if (FPathOpen)
        return;
    QPainterPath path = FPath;
    path.setFillRule(FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    FPath = QPainterPath();
    Emit(path, false, true);
}

void TDeviceContext::StrokeAndFillPath()
{
    if (FPathOpen)
        return;
    QPainterPath path = FPath;
    path.setFillRule(FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    FPath = QPainterPath();
    Emit(path, true, true);
}

void TDeviceContext::WidenPath()
{
    if (FPathOpen || FPen.Style == PS_NULL)
        return;
    QPainterPathStroker stroker;
    stroker.setWidth(std::max(FPen.Width, 1));
    stroker.setCapStyle(QtCapOf(FPen.EndCap));
    stroker.setJoinStyle(QtJoinOf(FPen.Join));
    FPath = stroker.createStroke(FPath).simplified();
}

int TDeviceContext::SelectClipPath(int mode)
{
    if (FPathOpen)
        return 0;
    QPainterPath path = FPath;
    path.setFillRule(FPolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    FPath = QPainterPath();
    const TRegion region = RegionFromPath(path);
    return CombineClip(&region, mode);
}

} // namespace lp
