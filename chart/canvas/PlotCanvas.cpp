#include "chart/canvas/PlotCanvas.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotPatterns.h"
#include "chart/canvas/PlotRichText.h"
#include "platform/base/Numeric.h"

#include <QtGui/QImage>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace lp {

namespace {

// Pixels beyond the device at which a clip shape is cut.
constexpr int kClipMargin = 2;

// The device's surface and a margin around it: as much of a clip as can
// show (none when the device tells no surface).
QRect ClipArea(const TDeviceContext& DC)
{
    const QRect bounds = DC.DeviceBounds();
    return bounds.isEmpty() ? QRect() : bounds.adjusted(-kClipMargin, -kClipMargin, kClipMargin, kClipMargin);
}

int ClampByte(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, 0, 255));
}

bool GGeometricPens = true;

// The one pattern bitmap shared by every canvas, reloaded at each use.
TBitmap& PatternBitmap()
{
    static const std::unique_ptr<TBitmap> bitmap = std::make_unique<TBitmap>();
    return *bitmap;
}

} // namespace

// --- Geometry ------------------------------------------------------------------------------------

bool IsClockwise(const TPoint& P0, const TPoint& P1, const TPoint& P2)
{
    const int32_t a = Mul32(Sub32(P0.X, P1.X), Sub32(P2.Y, P1.Y));
    const int32_t b = Mul32(Sub32(P2.X, P1.X), Sub32(P0.Y, P1.Y));
    return Sub32(a, b) < 0;
}

bool IsClockwiseTriangle(std::span<const TPoint> Points)
{
    if (Points.size() < 3)
        RaiseIndexError(2, static_cast<long long>(Points.size()));
    return IsClockwise(Points[0], Points[1], Points[2]);
}

TPoint MakePoint(int32_t X, int32_t Y)
{
    return {X, Y};
}

TRect MakeRect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom)
{
    return {Left, Top, Right, Bottom};
}

bool PointInRect(const TRect& Rect, int32_t X, int32_t Y)
{
    return X >= Rect.Left && X <= Rect.Right && Y >= Rect.Top && Y <= Rect.Bottom;
}

bool PointInRectPoint(const TRect& Rect, const TPoint& P)
{
    return PointInRect(Rect, P.X, P.Y);
}

TRect NormalizeRect(const TRect& Rect)
{
    TRect result = Rect;
    if (result.Left > result.Right)
        std::swap(result.Left, result.Right);
    if (result.Top > result.Bottom)
        std::swap(result.Top, result.Bottom);
    return result;
}

void RectSize(const TRect& Rect, int32_t& Width, int32_t& Height)
{
    Width = Sub32(Rect.Right, Rect.Left);
    Height = Sub32(Rect.Bottom, Rect.Top);
}

void RectCenter(const TRect& Rect, int32_t& X, int32_t& Y)
{
    // Half of a sum of two 32-bit values always fits; C++ division truncates
    // toward zero as the rule asks.
    X = static_cast<int32_t>((static_cast<int64_t>(Rect.Left) + Rect.Right) / 2);
    Y = static_cast<int32_t>((static_cast<int64_t>(Rect.Top) + Rect.Bottom) / 2);
}

TRect RectFromPolygon(std::span<const TPoint> Points, int High)
{
    if (High < 0)
        return {};
    if (static_cast<size_t>(High) >= Points.size())
        RaiseIndexError(High, static_cast<long long>(Points.size()));
    TRect result{Points[0].X, Points[0].Y, Points[0].X, Points[0].Y};
    for (int i = 1; i <= High; ++i) {
        const TPoint& p = Points[static_cast<size_t>(i)];
        result.Left = std::min(result.Left, p.X);
        result.Top = std::min(result.Top, p.Y);
        result.Right = std::max(result.Right, p.X);
        result.Bottom = std::max(result.Bottom, p.Y);
    }
    return result;
}

TRect PolygonBounds(std::span<const TPoint> Points, int Count)
{
    if (Count < 1 || static_cast<size_t>(Count) > Points.size())
        RaiseRangeError("Polygon bounds of %d points out of %d",
                        {ArgText(static_cast<long long>(Count)), ArgText(static_cast<long long>(Points.size()))});
    TRect result = RectFromPolygon(Points, Count - 1);
    result.Right = Add32(result.Right, 1);
    result.Bottom = Add32(result.Bottom, 1);
    return result;
}

TRect TriangleBounds(const TTrianglePoints& Points)
{
    return PolygonBounds(AsSpan(Points), 3);
}

bool ConvexHull(TPointArray& Points)
{
    const int count = Points.Length();
    if (count == 3)
        return true;
    if (count < 3)
        return false;

    int anchorIndex = 0;
    for (int i = 1; i < count; ++i) {
        const TPoint& p = Points[i];
        const TPoint& a = Points[anchorIndex];
        if (p.Y < a.Y || (p.Y == a.Y && p.X > a.X))
            anchorIndex = i;
    }
    const TPoint anchor = Points[anchorIndex];

    // Vectors from the anchor; every one points into the half plane Y >= 0
    // (and along Y = 0 only to the left), so the cross product orders them by
    // angle without overflow in 128 bits.
    struct TVector {
        TPoint P;
        int64_t DX;
        int64_t DY;
    };
    std::vector<TVector> others;
    for (const TPoint& p : Points)
        if (p != anchor)
            others.push_back({p, static_cast<int64_t>(p.X) - anchor.X, static_cast<int64_t>(p.Y) - anchor.Y});
    const auto cross = [](int64_t ax, int64_t ay, int64_t bx, int64_t by) {
        return static_cast<__int128>(ax) * by - static_cast<__int128>(ay) * bx;
    };
    // Larger angle first; along one ray the nearer point first.
    std::sort(others.begin(), others.end(), [&](const TVector& a, const TVector& b) {
        const __int128 c = cross(a.DX, a.DY, b.DX, b.DY);
        if (c != 0)
            return c < 0;
        return a.DX * a.DX + a.DY * a.DY < b.DX * b.DX + b.DY * b.DY;
    });

    // The ring turns one way at every corner; a point where it does not
    // (or runs straight on) is not a corner of the hull.
    const auto turnsOn = [&](const TPoint& o, const TPoint& a, const TPoint& b) {
        return cross(static_cast<int64_t>(a.X) - o.X, static_cast<int64_t>(a.Y) - o.Y,
                     static_cast<int64_t>(b.X) - o.X, static_cast<int64_t>(b.Y) - o.Y) < 0;
    };
    std::vector<TPoint> hull{anchor};
    for (const TVector& v : others) {
        while (hull.size() >= 2 && !turnsOn(hull[hull.size() - 2], hull.back(), v.P))
            hull.pop_back();
        hull.push_back(v.P);
    }
    while (hull.size() >= 3 && !turnsOn(hull[hull.size() - 2], hull.back(), anchor))
        hull.pop_back();

    // The anchor goes last.
    std::rotate(hull.begin(), hull.begin() + 1, hull.end());
    Points = TPointArray(std::move(hull));
    return Points.Length() >= 3;
}

TRGBTriple ColorToRGBTriple(TColor Color)
{
    const TColor rgb = ColorToRGB(Color);
    return {static_cast<uint8_t>(GetBValue(rgb)), static_cast<uint8_t>(GetGValue(rgb)),
            static_cast<uint8_t>(GetRValue(rgb))};
}

TColor DarkenColor(TColor Color, int Quantity)
{
    const TColor rgb = ColorToRGB(Color);
    return RGB(ClampByte(static_cast<int64_t>(GetRValue(rgb)) - Quantity),
               ClampByte(static_cast<int64_t>(GetGValue(rgb)) - Quantity),
               ClampByte(static_cast<int64_t>(GetBValue(rgb)) - Quantity));
}

TColor LightenColor(TColor Color, int Quantity)
{
    const TColor rgb = ColorToRGB(Color);
    return RGB(ClampByte(static_cast<int64_t>(GetRValue(rgb)) + Quantity),
               ClampByte(static_cast<int64_t>(GetGValue(rgb)) + Quantity),
               ClampByte(static_cast<int64_t>(GetBValue(rgb)) + Quantity));
}

// --- Unit-wide settings ----------------------------------------------------------------------------

bool GeometricPens()
{
    return GGeometricPens;
}

void SetGeometricPens(bool Value)
{
    GGeometricPens = Value;
}

// --- TPlotCanvas ------------------------------------------------------------------------------------

TPlotCanvas::TPlotCanvas() = default;

TPlotCanvas::~TPlotCanvas()
{
    SetFontAssigned(nullptr);
}

bool TPlotCanvas::HoldsPixels() const
{
    if (OffscreenBitmap() != nullptr)
        return true;
    return FReferenceCanvas != nullptr && FReferenceCanvas->HandleAllocated() &&
           FReferenceCanvas->Handle().Image() != nullptr;
}

TCanvas& TPlotCanvas::BoundCanvas() const
{
    if (!FReferenceCanvas)
        throw EInvalidOperation("The chart canvas is not bound to a platform canvas");
    return *FReferenceCanvas;
}

void TPlotCanvas::SetFontAssigned(TPlotFont* AFont)
{
    TPlotFont* old = FFontAssigned.data();
    if (old && old != AFont && old->FCanvas == this)
        old->FCanvas = nullptr;
    FFontAssigned = AFont;
    if (AFont)
        AFont->FCanvas = this;
}

void TPlotCanvas::SetCanvas(TCanvas* ACanvas)
{
    // The platform objects carry no thread lock to detach from: everything
    // draws on the user-interface thread.
    FReferenceCanvas = ACanvas;
    FFont = ACanvas ? &ACanvas->Font() : nullptr;
    FPen = ACanvas ? &ACanvas->Pen() : nullptr;
    FBrush = ACanvas ? &ACanvas->Brush() : nullptr;
}

void TPlotCanvas::ResetState()
{
    TCanvas& canvas = BoundCanvas();
    TPen& pen = canvas.Pen();
    pen.SetColor(clBlack);
    pen.SetWidth(1);
    pen.SetStyle(TPen::psSolid);
    TBrush& brush = canvas.Brush();
    brush.SetColor(clWhite);
    brush.SetStyle(TBrush::bsSolid);
    // A pattern or picture of the previous pass would otherwise keep filling
    // in place of the solid white brush.
    brush.SetBitmap(nullptr);
    TFont& font = canvas.Font();
    font.SetColor(clBlack);
    font.SetStyle({});
    font.SetCharset(1);
    font.SetName(DefaultFontName());
    font.SetSize(DefaultFontSize());
    FBlendTransparency = 0;
    SetFontAssigned(nullptr);
    SetBackColor(clWhite);
    SetBackMode(TRANSPARENT);
    SetTextAlign(TA_LEFT | TA_TOP);
    // A transparent pattern of the previous pass may have left the device
    // masking every drawing with its destination.
    TDeviceContext& dc = GetHandle();
    if (dc.ROP2() != PenModeToRop2(pen.Mode()))
        dc.SetROP2(PenModeToRop2(pen.Mode()));
}

void TPlotCanvas::AssignVisiblePenColor(const TPen& Pen, TColor Color)
{
    TPen& canvasPen = BoundCanvas().Pen();
    if (GetMonochrome())
        Color = clBlack;
    if (const auto* chartPen = qobject_cast<const TChartPen*>(&Pen)) {
        if (!chartPen->Visible()) {
            canvasPen.SetStyle(TPen::psClear);
            return;
        }
        if (GeometricPens() && !SupportsFullRotation()) {
            CreateDevicePen(*chartPen, Color, canvasPen, GetHandle());
            return;
        }
    }
    if (&Pen != &canvasPen)
        canvasPen.Assign(&Pen);
    canvasPen.SetColor(Color);
}

void TPlotCanvas::AssignBrushColor(const TChartBrush& Brush, TColor Color, TColor BackColor)
{
    TBrush& brush = BoundCanvas().Brush();
    TDeviceContext& dc = GetHandle();
    if (GetMonochrome())
        Color = clWhite;
    const int style = static_cast<int>(Brush.Style());

    // A transparent pattern before may have left the device in mask-pen
    // mode, which would mask every later fill with the destination.
    const bool maskPattern = style >= 8 && BackColor == clTransparentBack;
    const int penRop = PenModeToRop2(BoundCanvas().Pen().Mode());
    if (!maskPattern && dc.ROP2() == R2_MASKPEN && penRop != R2_MASKPEN)
        dc.SetROP2(penRop);

    if (style >= 8) {
        brush.SetBitmap(nullptr);
        TBitmap& pattern = PatternBitmap();
        LoadBrushStyleBitmap(style - 8, pattern);
        pattern.SetMonochrome(true);
        pattern.SetTransparentColor(clWhite);
        pattern.SetTransparent(true);
        brush.SetBitmap(&pattern);
        SetBackMode(TRANSPARENT);
        if (maskPattern) {
            // The pattern's unset pixels draw in the background colour;
            // mask-pen leaves the destination untouched under them only when
            // that colour is white.
            SetBackColor(clWhite);
            dc.SetROP2(R2_MASKPEN);
        } else {
            SetBackColor(BackColor);
        }
        dc.SetTextColor(ColorToRGB(Color));
        return;
    }

    if (const TPicture* image = Brush.ImageIfCreated(); image && Brush.HasImage()) {
        brush.SetStyle(TBrush::bsClear);
        TGraphic* graphic = image->Graphic();
        TBitmap* bitmap = qobject_cast<TBitmap*>(graphic);
        if (!bitmap) {
            // Another kind of picture fills through a bitmap of its pixels;
            // the brush's picture itself keeps its format.
            if (!FImageBitmap)
                FImageBitmap = std::make_unique<TBitmap>();
            FImageBitmap->SetImage(graphic->ToImage());
            bitmap = FImageBitmap.get();
        }
        // Removed first so that a bitmap whose pixels changed is taken afresh.
        brush.SetBitmap(nullptr);
        brush.SetBitmap(bitmap);
        dc.SetTextColor(ColorToRGB(Color));
        SetBackMode(OPAQUE);
        SetBackColor(BackColor);
        return;
    }

    brush.SetBitmap(nullptr);
    if (brush.Color() != Color)
        brush.SetColor(Color);
    if (brush.Style() != Brush.Style())
        brush.SetStyle(Brush.Style());
    if (BackColor == clTransparentBack) {
        SetBackMode(TRANSPARENT);
    } else {
        SetBackMode(OPAQUE);
        SetBackColor(BackColor);
    }
}

void TPlotCanvas::AssignFont(TPlotFont& AFont)
{
    TFont& font = BoundCanvas().Font();
    AFont.SetPixelsPerInch(font.PixelsPerInch());
    font.Assign(&AFont);
    if (FFontZoom != 100.0)
        font.SetSize(RoundToInt32(font.Size() * FFontZoom * 0.01));
    if (GetMonochrome())
        font.SetColor(clBlack);
    TDeviceContext& dc = GetHandle();
    if (dc.TextCharacterExtra() != AFont.InterCharSize())
        dc.SetTextCharacterExtra(AFont.InterCharSize());
    SetFontAssigned(&AFont);
}

int TPlotCanvas::TextWidth(const QString& Text) const
{
    int64_t width = BoundCanvas().TextExtent(Text).cx;
    if (TPlotFont* font = FontAssigned(); font && font->HasShadow())
        width += std::llabs(font->Shadow()->HorizSize());
    return CheckedInt32(width);
}

int TPlotCanvas::TextHeight(const QString& Text) const
{
    int64_t height = BoundCanvas().TextExtent(Text).cy;
    if (TPlotFont* font = FontAssigned(); font && font->HasShadow())
        height += std::llabs(font->Shadow()->VertSize());
    return CheckedInt32(height);
}

int TPlotCanvas::WideTextWidth(const QString& Text) const
{
    int64_t width = GetHandle().GetTextExtent(Text).cx;
    if (TPlotFont* font = FontAssigned(); font && font->HasShadow())
        width += std::llabs(font->Shadow()->HorizSize());
    return CheckedInt32(width);
}

int TPlotCanvas::WideTextHeight(const QString& Text) const
{
    int64_t height = GetHandle().GetTextExtent(Text).cy;
    if (TPlotFont* font = FontAssigned(); font && font->HasShadow())
        height += std::llabs(font->Shadow()->VertSize());
    return CheckedInt32(height);
}

void TPlotCanvas::Frame3D(TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    TPen& pen = BoundCanvas().Pen();
    pen.SetWidth(1);
    pen.SetStyle(TPen::psSolid);
    Rect.Bottom = Sub32(Rect.Bottom, 1);
    Rect.Right = Sub32(Rect.Right, 1);
    // Rings past the one that empties the rectangle would only cross over
    // it: the loop ends there, whatever the width asked for.
    for (int ring = 0; ring < Width && Rect.Left <= Rect.Right && Rect.Top <= Rect.Bottom; ++ring) {
        pen.SetColor(TopColor);
        const std::array<TPoint, 3> topLeft{{{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}}};
        Polyline(topLeft, 2);
        pen.SetColor(BottomColor);
        const std::array<TPoint, 3> bottomRight{
            {{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Sub32(Rect.Left, 1), Rect.Bottom}}};
        Polyline(bottomRight, 2);
        Rect = {Add32(Rect.Left, 1), Add32(Rect.Top, 1), Sub32(Rect.Right, 1), Sub32(Rect.Bottom, 1)};
    }
    Rect.Bottom = Add32(Rect.Bottom, 1);
    Rect.Right = Add32(Rect.Right, 1);
}

std::unique_ptr<TPlotBlend> TPlotCanvas::BeginBlending(const TRect& Rect, int Transparency)
{
    if (Transparency < 0 || Transparency > 100)
        RaiseRangeError("Transparency %d is outside 0 .. 100", {ArgText(static_cast<long long>(Transparency))});
    FBlendTransparency = static_cast<uint8_t>(Transparency);
    auto blend = std::make_unique<TPlotBlend>(*this, Rect);
    // Each blend keeps its own percentage, so an inner blend begun before an
    // outer one ends does not change how the outer one mixes.
    blend->SetTransparency(Transparency);
    return blend;
}

void TPlotCanvas::EndBlending(std::unique_ptr<TPlotBlend> Blend)
{
    if (!Blend)
        return;
    Blend->DoBlend(Blend->Transparency());
}

void TPlotCanvas::TextOutHtml(int X, int Y, const QString& Text, bool AllowHtml)
{
    if (AllowHtml)
        HtmlTextOut(*this, X, Y, Text);
    else
        TextOut(X, Y, Text);
}

void TPlotCanvas::ApplyDark(TColor Color, int Quantity)
{
    TBrush& brush = BoundCanvas().Brush();
    const TColor dark = DarkenColor(Color, Quantity);
    if (brush.Style() == TBrush::bsSolid)
        brush.SetColor(dark);
    else
        SetBackColor(dark);
}

void TPlotCanvas::SaveClip(const TDeviceContext& DC)
{
    FSavedClips.push_back(DC.ClipRegion());
}

void TPlotCanvas::IntersectClip(TDeviceContext& DC, const TRegion& Region)
{
    SaveClip(DC);
    DC.ExtSelectClipRgn(&Region, RGN_AND);
}

void TPlotCanvas::RestoreClip(TDeviceContext& DC)
{
    if (FSavedClips.empty()) {
        DC.SelectClipRgn(nullptr);
        return;
    }
    const std::optional<TRegion> saved = std::move(FSavedClips.back());
    FSavedClips.pop_back();
    DC.SelectClipRgn(saved ? &*saved : nullptr);
}

void TPlotCanvas::ClipRoundRectangle(const TRect& Rect, int RoundSize)
{
    TDeviceContext& dc = GetHandle();
    const TPoint p0 = dc.LPtoDP(Rect.TopLeft());
    const TPoint p1 = dc.LPtoDP(Rect.BottomRight());
    IntersectClip(dc, CreateRoundRectRgn(p0.X, p0.Y, p1.X, p1.Y, RoundSize, RoundSize, ClipArea(dc)));
}

void TPlotCanvas::ClipEllipse(const TRect& Rect, bool Inverted)
{
    TDeviceContext& dc = GetHandle();
    const TPoint p0 = dc.LPtoDP(Rect.TopLeft());
    const TPoint p1 = dc.LPtoDP(Rect.BottomRight());
    const TRegion region = CreateEllipticRgn(p0.X, p0.Y, p1.X, p1.Y, ClipArea(dc));
    if (Inverted) {
        // The ellipse is taken out of the clip in force: an exclusive-or
        // would add the parts of the ellipse outside that clip, drawing
        // beyond it. The clip before is kept so that UnClipRectangle
        // restores it, as after any other clip.
        SaveClip(dc);
        dc.ExtSelectClipRgn(&region, RGN_DIFF);
    } else {
        IntersectClip(dc, region);
    }
}

void TPlotCanvas::ClipPolygon(std::span<const TPoint> Points, int NumPoints)
{
    if (NumPoints < 0 || static_cast<size_t>(NumPoints) > Points.size())
        RaiseRangeError("Clip polygon of %d points out of %d",
                        {ArgText(static_cast<long long>(NumPoints)), ArgText(static_cast<long long>(Points.size()))});
    TDeviceContext& dc = GetHandle();
    const QTransform mapping = dc.Mapping();
    QPolygonF device;
    device.reserve(NumPoints);
    for (const TPoint& p : Points.first(static_cast<size_t>(NumPoints)))
        device << mapping.map(QPointF(p.X, p.Y));
    // Only the device's pixels show: a polygon far larger (the box of a
    // zoomed 3-D view) is cut to them before it becomes a region.
    IntersectClip(dc, CreatePolygonRgnWithin(device, ALTERNATE, ClipArea(dc)));
}

// --- TCanvas3D --------------------------------------------------------------------------------------

TCanvas3D::TCanvas3D() = default;
TCanvas3D::~TCanvas3D() = default;

void TCanvas3D::Assign(const TCanvas3D& Source)
{
    SetMonochrome(Source.GetMonochrome());
}

void TCanvas3D::BeginNoRotation()
{
    if (FNoRotationLevel == 0)
        DisableRotation();
    ++FNoRotationLevel;
}

void TCanvas3D::EndNoRotation()
{
    if (FNoRotationLevel == 0)
        throw EInvalidOperation("EndNoRotation without BeginNoRotation");
    --FNoRotationLevel;
    if (FNoRotationLevel == 0)
        EnableRotation();
}

void TCanvas3D::ClipEllipseWithZ(const TRect& Rect, int Z)
{
    ClipEllipse(CalculateRect3D(Rect, Z), false);
}

TRect TCanvas3D::CalculateRect3D(const TRect& Rect, int Z) const
{
    const TPoint topLeft = Calculate3DPosition(Rect.Left, Rect.Top, Z);
    const TPoint bottomRight = Calculate3DPosition(Rect.Right, Rect.Bottom, Z);
    return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

TFourPoints TCanvas3D::FourPointsFromRect(const TRect& Rect, int Z) const
{
    TFourPoints points;
    points[0] = Calculate3DPosition(Rect.Left, Rect.Top, Z);
    points[1] = Calculate3DPosition(Rect.Right, Rect.Top, Z);
    points[2] = Calculate3DPosition(Rect.Right, Rect.Bottom, Z);
    points[3] = Calculate3DPosition(Rect.Left, Rect.Bottom, Z);
    return points;
}

TRect TCanvas3D::RectFromRectZ(const TRect& Rect, int Z) const
{
    return PolygonBounds(AsSpan(FourPointsFromRect(Rect, Z)), 4);
}

void TCanvas3D::StretchDrawWithZ(const TRect& Rect, const TGraphic* Graphic, int Z)
{
    if (!Graphic || Graphic->Empty())
        return;
    TCanvas& canvas = BoundCanvas();
    canvas.Pen().SetStyle(TPen::psClear);
    // 24-bit pixels: an alpha channel of the picture plays no part.
    const QImage image = Graphic->ToImage().convertToFormat(QImage::Format_RGB32);
    const int columns = image.width();
    const int rows = image.height();
    if (columns <= 0 || rows <= 0)
        return;
    int32_t width = 0;
    int32_t height = 0;
    RectSize(Rect, width, height);
    // Cell edges are computed by one rule for both neighbours, so cells meet
    // without gaps.
    const auto edgeX = [&](int column) { return Add32(Rect.Left, static_cast<int64_t>(width) * column / columns); };
    const auto edgeY = [&](int row) { return Add32(Rect.Top, static_cast<int64_t>(height) * row / rows); };

    TDeviceContext& dc = GetHandle();
    // Each cell fills with the device's own brush when it has a settable
    // colour, else with the canvas brush recoloured per pixel.
    const bool deviceBrush = SetDCBrushColorAvailable();
    TBrush& brush = canvas.Brush();
    if (deviceBrush) {
        TLogBrush own;
        own.Kind = TBrushKind::DCBrush;
        dc.SelectBrush(own);
    } else {
        brush.SetBitmap(nullptr);
        brush.SetStyle(TBrush::bsSolid);
    }
    struct TRestoreBrush {
        TDeviceContext& DC;
        TBrush& Brush;
        bool Active;
        ~TRestoreBrush()
        {
            if (Active)
                DC.SelectBrush(Brush.LogBrush());
        }
    } restore{dc, brush, deviceBrush};

    for (int row = 0; row < rows; ++row) {
        const int32_t top = edgeY(row);
        const int32_t bottom = edgeY(row + 1);
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int column = 0; column < columns; ++column) {
            const int32_t left = edgeX(column);
            const int32_t right = edgeX(column + 1);
            const QRgb pixel = line[column];
            const TColor color = RGB(qRed(pixel), qGreen(pixel), qBlue(pixel));
            if (deviceBrush)
                dc.SetDCBrushColor(color);
            else
                brush.SetColor(color);
            const std::array<TPoint, 4> cell{Calculate3DPosition(left, top, Z), Calculate3DPosition(right, top, Z),
                                             Calculate3DPosition(right, bottom, Z),
                                             Calculate3DPosition(left, bottom, Z)};
            dc.Polygon(cell.data(), 4);
        }
    }
}

} // namespace lp
