#include "platform/graphics/RecordingDC.h"

#include <QtCore/QStringBuilder>

namespace lp {

namespace {

QString N(long long value)
{
    return QString::number(value);
}

QString BrushText(const TLogBrush& brush)
{
    static const char* const kinds[] = {"solid", "null", "hatched", "pattern", "dcbrush"};
    return QString::fromLatin1(kinds[static_cast<int>(brush.Kind)]) + QLatin1Char(',') + LogColor(brush.Color) +
           QLatin1Char(',') + N(brush.Hatch);
}

QString RegionText(const TRegion* region)
{
    if (!region)
        return QStringLiteral("null");
    const QRect b = region->boundingRect();
    return QStringLiteral("rgn[%1,%2,%3,%4;%5]")
        .arg(b.left())
        .arg(b.top())
        .arg(b.right() + 1)
        .arg(b.bottom() + 1)
        .arg(region->rectCount());
}

} // namespace

QString LogColor(TColor color)
{
    return QStringLiteral("0x%1").arg(static_cast<uint32_t>(color), 6, 16, QLatin1Char('0')).toUpper().replace(
        QLatin1String("0X"), QLatin1String("0x"));
}

QString LogPoints(const TPoint* points, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << N(points[i].X) % QLatin1Char(' ') % N(points[i].Y);
    return QLatin1Char('[') + parts.join(QLatin1Char(';')) + QLatin1Char(']');
}

TRecordingDC::TRecordingDC(int width, int height, int dpi) : FWidth(width), FHeight(height), FDpi(dpi) {}

QStringList TRecordingDC::CallsStartingWith(const QString& prefix) const
{
    QStringList found;
    for (const QString& call : FCalls)
        if (call.startsWith(prefix))
            found << call;
    return found;
}

void TRecordingDC::Log(const QString& name, std::initializer_list<QString> args)
{
    QStringList list;
    for (const QString& arg : args)
        list << arg;
    FCalls << name + QLatin1Char('(') + list.join(QLatin1Char(',')) + QLatin1Char(')');
}

void TRecordingDC::SelectPen(const TLogPen& pen)
{
    Log(QStringLiteral("SelectPen"), {N(pen.Style), N(pen.Width), LogColor(pen.Color),
                                      pen.Geometric ? QStringLiteral("geometric") : QStringLiteral("cosmetic"),
                                      N(pen.EndCap | pen.Join)});
    TDeviceContext::SelectPen(pen);
}

void TRecordingDC::SelectBrush(const TLogBrush& brush)
{
    Log(QStringLiteral("SelectBrush"), {BrushText(brush)});
    TDeviceContext::SelectBrush(brush);
}

void TRecordingDC::SelectFont(const TLogFont& font)
{
    Log(QStringLiteral("SelectFont"), {font.FaceName, N(font.Height), N(font.Weight), N(font.Escapement)});
    TDeviceContext::SelectFont(font);
}

TColor TRecordingDC::SetTextColor(TColor color)
{
    Log(QStringLiteral("SetTextColor"), {LogColor(color)});
    return TDeviceContext::SetTextColor(color);
}

TColor TRecordingDC::SetBkColor(TColor color)
{
    Log(QStringLiteral("SetBkColor"), {LogColor(color)});
    return TDeviceContext::SetBkColor(color);
}

int TRecordingDC::SetBkMode(int mode)
{
    Log(QStringLiteral("SetBkMode"), {N(mode)});
    return TDeviceContext::SetBkMode(mode);
}

unsigned TRecordingDC::SetTextAlign(unsigned align)
{
    Log(QStringLiteral("SetTextAlign"), {N(align)});
    return TDeviceContext::SetTextAlign(align);
}

int TRecordingDC::SetROP2(int rop)
{
    Log(QStringLiteral("SetROP2"), {N(rop)});
    return TDeviceContext::SetROP2(rop);
}

int TRecordingDC::SetPolyFillMode(int mode)
{
    Log(QStringLiteral("SetPolyFillMode"), {N(mode)});
    return TDeviceContext::SetPolyFillMode(mode);
}

int TRecordingDC::SetArcDirection(int direction)
{
    Log(QStringLiteral("SetArcDirection"), {N(direction)});
    return TDeviceContext::SetArcDirection(direction);
}

int TRecordingDC::SetTextCharacterExtra(int extra)
{
    Log(QStringLiteral("SetTextCharacterExtra"), {N(extra)});
    return TDeviceContext::SetTextCharacterExtra(extra);
}

TColor TRecordingDC::SetDCBrushColor(TColor color)
{
    Log(QStringLiteral("SetDCBrushColor"), {LogColor(color)});
    return TDeviceContext::SetDCBrushColor(color);
}

void TRecordingDC::SetBrushOrg(int x, int y)
{
    Log(QStringLiteral("SetBrushOrg"), {N(x), N(y)});
    TDeviceContext::SetBrushOrg(x, y);
}

int TRecordingDC::SetMapMode(int mode)
{
    Log(QStringLiteral("SetMapMode"), {N(mode)});
    return TDeviceContext::SetMapMode(mode);
}

void TRecordingDC::SetWindowOrg(int x, int y)
{
    Log(QStringLiteral("SetWindowOrg"), {N(x), N(y)});
    TDeviceContext::SetWindowOrg(x, y);
}

void TRecordingDC::SetWindowExt(int cx, int cy)
{
    Log(QStringLiteral("SetWindowExt"), {N(cx), N(cy)});
    TDeviceContext::SetWindowExt(cx, cy);
}

void TRecordingDC::SetViewportOrg(int x, int y)
{
    Log(QStringLiteral("SetViewportOrg"), {N(x), N(y)});
    TDeviceContext::SetViewportOrg(x, y);
}

void TRecordingDC::SetViewportExt(int cx, int cy)
{
    Log(QStringLiteral("SetViewportExt"), {N(cx), N(cy)});
    TDeviceContext::SetViewportExt(cx, cy);
}

int TRecordingDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES:
    case PHYSICALWIDTH: return FWidth;
    case VERTRES:
    case PHYSICALHEIGHT: return FHeight;
    case LOGPIXELSX:
    case LOGPIXELSY: return FDpi;
    case HORZSIZE: return FWidth * 254 / (FDpi * 10);
    case VERTSIZE: return FHeight * 254 / (FDpi * 10);
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    default: return 0;
    }
}

QRect TRecordingDC::DeviceBounds() const
{
    return QRect(0, 0, FWidth, FHeight);
}

void TRecordingDC::MoveTo(int x, int y)
{
    Log(QStringLiteral("MoveTo"), {N(x), N(y)});
    TDeviceContext::MoveTo(x, y);
}

void TRecordingDC::LineTo(int x, int y)
{
    Log(QStringLiteral("LineTo"), {N(x), N(y)});
    TDeviceContext::LineTo(x, y);
}

void TRecordingDC::Polyline(const TPoint* points, int count)
{
    Log(QStringLiteral("Polyline"), {LogPoints(points, count)});
    TDeviceContext::Polyline(points, count);
}

void TRecordingDC::PolylineTo(const TPoint* points, int count)
{
    Log(QStringLiteral("PolylineTo"), {LogPoints(points, count)});
    // Not through LineTo, so the log keeps one line for the call.
    if (count > 0) {
        const TPoint start = CurrentPosition();
        std::vector<TPoint> all{start};
        all.insert(all.end(), points, points + count);
        TDeviceContext::Polyline(all.data(), static_cast<int>(all.size()));
        TDeviceContext::MoveTo(points[count - 1].X, points[count - 1].Y);
    }
}

void TRecordingDC::PolyBezier(const TPoint* points, int count)
{
    Log(QStringLiteral("PolyBezier"), {LogPoints(points, count)});
    TDeviceContext::PolyBezier(points, count);
}

void TRecordingDC::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    Log(QStringLiteral("Arc"), {N(l), N(t), N(r), N(b), N(xs), N(ys), N(xe), N(ye)});
    TDeviceContext::Arc(l, t, r, b, xs, ys, xe, ye);
}

void TRecordingDC::ArcTo(int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    Log(QStringLiteral("ArcTo"), {N(l), N(t), N(r), N(b), N(xs), N(ys), N(xe), N(ye)});
    TDeviceContext::ArcTo(l, t, r, b, xs, ys, xe, ye);
}

void TRecordingDC::Rectangle(int l, int t, int r, int b)
{
    Log(QStringLiteral("Rectangle"), {N(l), N(t), N(r), N(b)});
    TDeviceContext::Rectangle(l, t, r, b);
}

void TRecordingDC::RoundRect(int l, int t, int r, int b, int width, int height)
{
    Log(QStringLiteral("RoundRect"), {N(l), N(t), N(r), N(b), N(width), N(height)});
    TDeviceContext::RoundRect(l, t, r, b, width, height);
}

void TRecordingDC::Ellipse(int l, int t, int r, int b)
{
    Log(QStringLiteral("Ellipse"), {N(l), N(t), N(r), N(b)});
    TDeviceContext::Ellipse(l, t, r, b);
}

void TRecordingDC::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    Log(QStringLiteral("Pie"), {N(l), N(t), N(r), N(b), N(xs), N(ys), N(xe), N(ye)});
    TDeviceContext::Pie(l, t, r, b, xs, ys, xe, ye);
}

void TRecordingDC::Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    Log(QStringLiteral("Chord"), {N(l), N(t), N(r), N(b), N(xs), N(ys), N(xe), N(ye)});
    TDeviceContext::Chord(l, t, r, b, xs, ys, xe, ye);
}

void TRecordingDC::Polygon(const TPoint* points, int count)
{
    Log(QStringLiteral("Polygon"), {LogPoints(points, count)});
    const int counts[1] = {count};
    TDeviceContext::PolyPolygon(points, counts, 1);
}

void TRecordingDC::PolyPolygon(const TPoint* points, const int* counts, int polygons)
{
    int total = 0;
    for (int i = 0; i < polygons; ++i)
        total += counts[i];
    Log(QStringLiteral("PolyPolygon"), {LogPoints(points, total), N(polygons)});
    TDeviceContext::PolyPolygon(points, counts, polygons);
}

void TRecordingDC::FillRect(const TRect& rect, const TLogBrush& brush)
{
    Log(QStringLiteral("FillRect"), {N(rect.Left), N(rect.Top), N(rect.Right), N(rect.Bottom), BrushText(brush)});
    TDeviceContext::FillRect(rect, brush);
}

void TRecordingDC::FillRgn(const TRegion& region, const TLogBrush& brush)
{
    Log(QStringLiteral("FillRgn"), {RegionText(&region), BrushText(brush)});
    TDeviceContext::FillRgn(region, brush);
}

void TRecordingDC::PatBlt(int x, int y, int width, int height, uint32_t rop)
{
    Log(QStringLiteral("PatBlt"), {N(x), N(y), N(width), N(height), QStringLiteral("0x%1").arg(rop, 8, 16, QLatin1Char('0'))});
    TDeviceContext::PatBlt(x, y, width, height, rop);
}

void TRecordingDC::TextOut(int x, int y, const QString& text)
{
    Log(QStringLiteral("TextOut"), {N(x), N(y), QLatin1Char('"') + text + QLatin1Char('"')});
    TDeviceContext::TextOut(x, y, text);
}

void TRecordingDC::SetPixel(int x, int y, TColor color)
{
    Log(QStringLiteral("SetPixel"), {N(x), N(y), LogColor(color)});
}

TColor TRecordingDC::GetPixel(int, int) const
{
    return clNone; // nothing is drawn, so there are no pixels to read
}

bool TRecordingDC::ExtFloodFill(int x, int y, TColor color, int type)
{
    Log(QStringLiteral("ExtFloodFill"), {N(x), N(y), LogColor(color), N(type)});
    return false;
}

void TRecordingDC::BitBlt(int x, int y, int width, int height, const TDeviceContext&, int sx, int sy, uint32_t rop)
{
    Log(QStringLiteral("BitBlt"),
        {N(x), N(y), N(width), N(height), N(sx), N(sy), QStringLiteral("0x%1").arg(rop, 8, 16, QLatin1Char('0'))});
}

void TRecordingDC::StretchBlt(int x, int y, int width, int height, const TDeviceContext&, int sx, int sy, int sw,
                              int sh, uint32_t rop)
{
    Log(QStringLiteral("StretchBlt"), {N(x), N(y), N(width), N(height), N(sx), N(sy), N(sw), N(sh),
                                       QStringLiteral("0x%1").arg(rop, 8, 16, QLatin1Char('0'))});
}

void TRecordingDC::DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent)
{
    Log(QStringLiteral("DrawImage"), {N(dest.Left), N(dest.Top), N(dest.Right), N(dest.Bottom), N(image.width()),
                                      N(image.height()), transparent ? LogColor(*transparent) : QStringLiteral("opaque")});
}

int TRecordingDC::SelectClipRgn(const TRegion* region)
{
    Log(QStringLiteral("SelectClipRgn"), {RegionText(region)});
    return TDeviceContext::SelectClipRgn(region);
}

int TRecordingDC::ExtSelectClipRgn(const TRegion* region, int mode)
{
    Log(QStringLiteral("ExtSelectClipRgn"), {RegionText(region), N(mode)});
    return TDeviceContext::ExtSelectClipRgn(region, mode);
}

int TRecordingDC::IntersectClipRect(int l, int t, int r, int b)
{
    Log(QStringLiteral("IntersectClipRect"), {N(l), N(t), N(r), N(b)});
    return TDeviceContext::IntersectClipRect(l, t, r, b);
}

void TRecordingDC::BeginPath()
{
    Log(QStringLiteral("BeginPath"));
    TDeviceContext::BeginPath();
}

void TRecordingDC::EndPath()
{
    Log(QStringLiteral("EndPath"));
    TDeviceContext::EndPath();
}

void TRecordingDC::AbortPath()
{
    Log(QStringLiteral("AbortPath"));
    TDeviceContext::AbortPath();
}

void TRecordingDC::CloseFigure()
{
    Log(QStringLiteral("CloseFigure"));
    TDeviceContext::CloseFigure();
}

void TRecordingDC::StrokePath()
{
    Log(QStringLiteral("StrokePath"));
    TDeviceContext::StrokePath();
}

void TRecordingDC::FillPath()
{
    Log(QStringLiteral("FillPath"));
    TDeviceContext::FillPath();
}

void TRecordingDC::StrokeAndFillPath()
{
    Log(QStringLiteral("StrokeAndFillPath"));
    TDeviceContext::StrokeAndFillPath();
}

void TRecordingDC::WidenPath()
{
    Log(QStringLiteral("WidenPath"));
    TDeviceContext::WidenPath();
}

int TRecordingDC::SelectClipPath(int mode)
{
    Log(QStringLiteral("SelectClipPath"), {N(mode)});
    return TDeviceContext::SelectClipPath(mode);
}

} // namespace lp
