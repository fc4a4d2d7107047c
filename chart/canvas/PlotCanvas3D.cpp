#include "chart/canvas/PlotCanvas3D.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D_p.h"
#include "platform/base/Numeric.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace lp {


namespace {

// The colours of a gradient's steps 0 .. T: the linear ramp with integer
// division at balance 50, else the balance curve.
class TColorRamp {
public:
    TColorRamp(TColor First, TColor Second, int Balance) : FBalance(Balance)
    {
        const TColor a = ColorToRGB(First);
        const TColor b = ColorToRGB(Second);
        FStart = {GetRValue(a), GetGValue(a), GetBValue(a)};
        FDelta = {GetRValue(b) - FStart[0], GetGValue(b) - FStart[1], GetBValue(b) - FStart[2]};
        FExponent = 0.5 + 0.015 * Balance;
    }

    // T must be above 0.
    TColor At(int64_t Step, int64_t T) const
    {
        std::array<int64_t, 3> channel{};
        if (FBalance == 50) {
            for (size_t c = 0; c < 3; ++c)
                channel[c] = FStart[c] + FDelta[c] * Step / T;
        } else {
            const double f = std::pow((1.0 + static_cast<double>(Step)) / (1.0 + static_cast<double>(T)), FExponent);
            for (size_t c = 0; c < 3; ++c)
                channel[c] = FStart[c] + RoundToInt64(FDelta[c] * f);
        }
        // A balance below about -33 bends the curve past the second colour.
        for (int64_t& value : channel)
            value = std::clamp<int64_t>(value, 0, 255);
        return RGB(static_cast<int>(channel[0]), static_cast<int>(channel[1]), static_cast<int>(channel[2]));
    }

    bool Linear() const { return FBalance == 50; }

private:
    std::array<int64_t, 3> FStart{};
    std::array<int64_t, 3> FDelta{};
    int FBalance;
    double FExponent;
};

// The ramp as gradient stops, in the colours of a fill of 256 bands: its two
// ends, and for a bent ramp (a balance other than 50) every sixteenth too.
std::vector<TGradientStop> RampStops(const TColorRamp& Ramp)
{
    constexpr int64_t LastBand = 255;
    const int64_t count = Ramp.Linear() ? 1 : 16;
    std::vector<TGradientStop> stops;
    for (int64_t k = 0; k <= count; ++k)
        stops.push_back({static_cast<double>(k) / static_cast<double>(count), Ramp.At(k * LastBand / count, LastBand)});
    return stops;
}

// The straight and diagonal ramps of R as one gradient of the device where
// it has them (an SVG file); false when the bands must be painted. The line
// runs from the first band (step 0) to the last, as the bands do.
bool DeviceGradientFill(TDeviceContext& DC, const TRect& R, const TColorRamp& Ramp, TGradientDirection Direction)
{
    const double left = R.Left;
    const double top = R.Top;
    const double halfSum = (static_cast<double>(R.Right) - R.Left + (static_cast<double>(R.Bottom) - R.Top)) / 2;
    QPointF start;
    QPointF end;
    switch (Direction) {
    case gdTopBottom:
    case gdBottomTop:
        start = {left, static_cast<double>(R.Bottom)};
        end = {left, top};
        break;
    case gdLeftRight:
    case gdRightLeft:
        start = {static_cast<double>(R.Right), top};
        end = {left, top};
        break;
    case gdDiagonalUp:
        // Colours stay along the anti-diagonals, from the bottom-left corner.
        start = {left, static_cast<double>(R.Bottom)};
        end = {left + halfSum, R.Bottom - halfSum};
        break;
    case gdDiagonalDown:
        // Colours stay along the diagonals, from the top-left corner.
        start = {left, top};
        end = {left + halfSum, top + halfSum};
        break;
    default:
        return false;
    }
    return DC.LinearGradientFill(R, start, end, RampStops(Ramp));
}

// A solid device brush per colour for the band fills: the device's own brush
// recoloured when it has one, else a solid brush selected per new colour. The
// canvas brush is selected again at the end.
class TBandBrush {
public:
    TBandBrush(TDeviceContext& DC, const TBrush& CanvasBrush) : FDC(DC), FCanvasBrush(CanvasBrush)
    {
        FOwnBrush = SetDCBrushColorAvailable();
        if (FOwnBrush) {
            TLogBrush own;
            own.Kind = TBrushKind::DCBrush;
            FDC.SelectBrush(own);
        }
    }
    ~TBandBrush() { FDC.SelectBrush(FCanvasBrush.LogBrush()); }
    TBandBrush(const TBandBrush&) = delete;
    TBandBrush& operator=(const TBandBrush&) = delete;

    void Use(TColor Color)
    {
        if (FHasColor && Color == FColor)
            return;
        FHasColor = true;
        FColor = Color;
        if (FOwnBrush)
            FDC.SetDCBrushColor(Color);
        else
            FDC.SelectBrush(CreateSolidBrush(Color));
    }

private:
    TDeviceContext& FDC;
    const TBrush& FCanvasBrush;
    bool FOwnBrush = false;
    bool FHasColor = false;
    TColor FColor = clNone;
};

// The canvas pen as it was, put back when the scope ends.
class TPenRestore {
public:
    explicit TPenRestore(TPen& Pen) : FPen(Pen) { FSaved.Assign(&Pen); }
    ~TPenRestore() { FPen.Assign(&FSaved); }
    TPenRestore(const TPenRestore&) = delete;
    TPenRestore& operator=(const TPenRestore&) = delete;

private:
    TPen& FPen;
    TPen FSaved;
};

// A device font selected for the scope; the previous one comes back.
class TFontScope {
public:
    TFontScope(TDeviceContext& DC, const TLogFont& Font) : FDC(DC), FPrevious(DC.Font()) { FDC.SelectFont(Font); }
    ~TFontScope() { FDC.SelectFont(FPrevious); }
    TFontScope(const TFontScope&) = delete;
    TFontScope& operator=(const TFontScope&) = delete;

private:
    TDeviceContext& FDC;
    TLogFont FPrevious;
};

// The quality of rotated label fonts: antialiased.
constexpr int kRotatedFontQuality = 4;
// Output precision of rotated label fonts: outline (TrueType) fonts only.
constexpr int kOutPrecisionTrueTypeOnly = 7;

} // namespace

// --- Creation ------------------------------------------------------------------------------------

TPlotCanvas3D::TPlotCanvas3D() = default;

TPlotCanvas3D::~TPlotCanvas3D()
{
    DeleteBitmap();
}

// --- Device state ----------------------------------------------------------------------------------

TDeviceContext& TPlotCanvas3D::GetHandle() const
{
    return BoundCanvas().Handle();
}

TColor TPlotCanvas3D::GetBackColor() const
{
    return GetHandle().BkColor();
}

uint8_t TPlotCanvas3D::GetBackMode() const
{
    return static_cast<uint8_t>(GetHandle().BkMode());
}

TColor TPlotCanvas3D::GetPixel(int X, int Y) const
{
    return BoundCanvas().Pixel(X, Y);
}

unsigned TPlotCanvas3D::GetTextAlign() const
{
    return GetHandle().TextAlign();
}

void TPlotCanvas3D::SetBackColor(TColor Color)
{
    GetHandle().SetBkColor(ColorToRGB(Color));
}

void TPlotCanvas3D::SetBackMode(uint8_t Mode)
{
    GetHandle().SetBkMode(Mode);
}

void TPlotCanvas3D::SetMonochrome(bool Value)
{
    if (FMonochrome == Value)
        return;
    FMonochrome = Value;
    FChanged = true;
    if (TView3DOptions* options = View3DOptions())
        options->Repaint();
}

void TPlotCanvas3D::SetPixel(int X, int Y, TColor Color)
{
    GetHandle().SetPixel(X, Y, ColorToRGB(Color));
}

void TPlotCanvas3D::SetTextAlign(unsigned Align)
{
    if (Align > static_cast<unsigned>(INT32_MAX))
        RaiseRangeError("Text alignment %d is negative",
                        {ArgText(static_cast<long long>(static_cast<int32_t>(Align)))});
    GetHandle().SetTextAlign(Align);
}

// --- Buffered display ------------------------------------------------------------------------------

void TPlotCanvas3D::SetBufferedDisplay(bool Value)
{
    if (FBufferedDisplay == Value)
        return;
    FBufferedDisplay = Value;
    if (!FBitmap)
        return;
    if (!Value) {
        if (!FKeepBitmap)
            DeleteBitmap();
    } else {
        SetCanvas(&FBitmap->Canvas());
    }
}

TRect TPlotCanvas3D::BindForPass(TCanvas* DestCanvas, const TRect& ABounds)
{
    // Clips saved by an earlier pass that ended in an error are no longer
    // balanced by anyone.
    DiscardSavedClips();
    if (!FBufferedDisplay) {
        SetCanvas(DestCanvas);
        return ABounds;
    }
    int32_t width = 0;
    int32_t height = 0;
    RectSize(ABounds, width, height);
    if (!FBitmap)
        FBitmap = std::make_unique<TBitmap>();
    // Unchanged sizes keep the pixels: the buffer is reallocated on resize
    // only. Drawing into the buffer notifies nobody.
    FBitmap->SetSize(width, height);
    FBitmap->OnChange = nullptr;
    TCanvas& canvas = FBitmap->Canvas();
    // Nothing but this canvas clips its own buffer; a clip left by a pass
    // that ended in an error would hide the next pass.
    TDeviceContext& dc = canvas.Handle();
    if (dc.ClipRegion())
        dc.SelectClipRgn(nullptr);
    SetCanvas(&canvas);
    return {0, 0, width, height};
}

void TPlotCanvas3D::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& Rect)
{
    if (FBufferedDisplay && FBitmap && DestCanvas) {
        BitBltBitmap(Rect.Left, Rect.Top, *DestCanvas);
        FChanged = false;
    }
    SetCanvas(DefaultCanvas);
}

bool TPlotCanvas3D::RedrawBitmap()
{
    // Without a bitmap there is nothing to repaint from, whatever Changed
    // says (DeleteBitmap may have run since the last ShowImage).
    if (FChanged || !FBitmap)
        return false;
    BitBltBitmap(0, 0, BoundCanvas());
    return true;
}

void TPlotCanvas3D::DeleteBitmap()
{
    if (!FBitmap)
        return;
    // A canvas still bound to the buffer (a pass that ended in an error)
    // would draw into freed memory.
    if (ReferenceCanvas() == &FBitmap->Canvas())
        SetCanvas(nullptr);
    FBitmap.reset();
    FChanged = true;
}

void TPlotCanvas3D::BitBltBitmap(int X, int Y, TCanvas& Dest)
{
    if (!FBitmap)
        return;
    TCanvas& source = FBitmap->Canvas();
    if (&Dest == &source)
        return;
    // Reading the pixels finishes drawing in progress on them.
    const QImage& pixels = FBitmap->Image();
    Dest.Handle().BitBlt(X, Y, pixels.width(), pixels.height(), source.Handle(), 0, 0, SRCCOPY);
}

TBitmap* TPlotCanvas3D::OffscreenBitmap() const
{
    if (FBitmap && FBufferedDisplay && ReferenceCanvas() == &FBitmap->Canvas())
        return FBitmap.get();
    return nullptr;
}

// --- 2-D primitives --------------------------------------------------------------------------------

void TPlotCanvas3D::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    GetHandle().Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TPlotCanvas3D::Donut(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle, double EndAngle,
                          double HolePercent)
{
    // A slice whose angles are not numbers has no place on the circle.
    if (!std::isfinite(StartAngle) || !std::isfinite(EndAngle))
        return;
    const double innerX = XRadius * HolePercent * 0.01;
    const double innerY = YRadius * HolePercent * 0.01;
    const auto pointAt = [&](double angle, double rx, double ry) {
        return TPoint{Add32(XCenter, RoundToInt32(rx * std::cos(angle))),
                      Sub32(YCenter, RoundToInt32(ry * std::sin(angle)))};
    };
    const TPoint outerStart = pointAt(StartAngle, XRadius, YRadius);
    const TPoint outerEnd = pointAt(EndAngle, XRadius, YRadius);
    const TPoint innerStart = pointAt(StartAngle, innerX, innerY);
    const TPoint innerEnd = pointAt(EndAngle, innerX, innerY);
    const int32_t innerRX = RoundToInt32(innerX);
    const int32_t innerRY = RoundToInt32(innerY);

    TDeviceContext& dc = GetHandle();
    // The outer arc runs counter-clockwise whatever direction an earlier
    // drawing left on the device.
    if (dc.ArcDirection() != AD_COUNTERCLOCKWISE)
        dc.SetArcDirection(AD_COUNTERCLOCKWISE);
    dc.BeginPath();
    dc.MoveTo(outerStart.X, outerStart.Y);
    dc.ArcTo(Sub32(XCenter, XRadius), Sub32(YCenter, YRadius), Add32(XCenter, XRadius), Add32(YCenter, YRadius),
             outerStart.X, outerStart.Y, outerEnd.X, outerEnd.Y);
    dc.LineTo(innerEnd.X, innerEnd.Y);
    dc.SetArcDirection(AD_CLOCKWISE);
    dc.ArcTo(Sub32(XCenter, innerRX), Sub32(YCenter, innerRY), Add32(XCenter, innerRX), Add32(YCenter, innerRY),
             innerEnd.X, innerEnd.Y, innerStart.X, innerStart.Y);
    dc.SetArcDirection(AD_COUNTERCLOCKWISE);
    dc.LineTo(outerStart.X, outerStart.Y);
    dc.EndPath();
    dc.StrokeAndFillPath();
}

void TPlotCanvas3D::Draw(int X, int Y, const TGraphic* Graphic)
{
    BoundCanvas().Draw(X, Y, Graphic);
}

void TPlotCanvas3D::Ellipse(int X1, int Y1, int X2, int Y2)
{
    GetHandle().Ellipse(X1, Y1, X2, Y2);
}

void TPlotCanvas3D::FillRect(const TRect& Rect)
{
    BoundCanvas().FillRect(Rect);
}

void TPlotCanvas3D::LineTo(int X, int Y)
{
    GetHandle().LineTo(X, Y);
}

void TPlotCanvas3D::MoveTo(int X, int Y)
{
    GetHandle().MoveTo(X, Y);
}

void TPlotCanvas3D::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    GetHandle().Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TPlotCanvas3D::Rectangle(int X0, int Y0, int X1, int Y1)
{
    GetHandle().Rectangle(X0, Y0, X1, Y1);
}

void TPlotCanvas3D::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    GetHandle().RoundRect(X1, Y1, X2, Y2, X3, Y3);
}

void TPlotCanvas3D::StretchDraw(const TRect& Rect, const TGraphic* Graphic)
{
    BoundCanvas().StretchDraw(Rect, Graphic);
}

void TPlotCanvas3D::HorizLine(int X0, int X1, int Y)
{
    TDeviceContext& dc = GetHandle();
    dc.MoveTo(X0, Y);
    dc.LineTo(X1, Y);
}

void TPlotCanvas3D::VertLine(int X, int Y0, int Y1)
{
    TDeviceContext& dc = GetHandle();
    dc.MoveTo(X, Y0);
    dc.LineTo(X, Y1);
}

void TPlotCanvas3D::EraseBackground(const TRect& Rect)
{
    FillRect(Rect);
}

void TPlotCanvas3D::Line(int X0, int Y0, int X1, int Y1)
{
    TDeviceContext& dc = GetHandle();
    dc.MoveTo(X0, Y0);
    dc.LineTo(X1, Y1);
}

namespace {

int PointCount(std::span<const TPoint> Points, int LastIndex)
{
    if (LastIndex < -1 || static_cast<int64_t>(LastIndex) >= static_cast<int64_t>(Points.size()))
        RaiseIndexError(LastIndex, static_cast<long long>(Points.size()));
    return LastIndex + 1;
}

} // namespace

void TPlotCanvas3D::Polyline(std::span<const TPoint> Points, int LastIndex)
{
    const int count = PointCount(Points, LastIndex);
    GetHandle().Polyline(Points.data(), count);
}

void TPlotCanvas3D::Polygon(std::span<const TPoint> Points, int LastIndex)
{
    const int count = PointCount(Points, LastIndex);
    GetHandle().Polygon(Points.data(), count);
}

void TPlotCanvas3D::PolygonFour()
{
    GetHandle().Polygon(&FFourPoints[0], 4);
}

// --- Text --------------------------------------------------------------------------------------------

TRect TPlotCanvas3D::TextRect(int X, int Y, const QString& Text) const
{
    const int width = TextWidth(Text);
    const int height = TextHeight(Text);
    const int32_t bottom = Add32(Y, height);
    // The horizontal part of the alignment alone decides (TA_CENTER holds
    // the TA_RIGHT bit).
    switch (GetTextAlign() & TA_HORIZONTAL_MASK) {
    case TA_CENTER:
        return {Sub32(X, width / 2), Y, Add32(X, width / 2), bottom};
    case TA_RIGHT:
        return {Sub32(X, width), Y, X, bottom};
    default:
        return {X, Y, Add32(X, width), bottom};
    }
}

void TPlotCanvas3D::TextOut(int X, int Y, const QString& Text)
{
    TDeviceContext& dc = GetHandle();
    TPlotFont* font = FontAssigned();
    int32_t x = X;
    int32_t y = Y;

    if (font && font->HasShadow()) {
        TPlotShadow& shadow = *font->Shadow();
        const int horiz = shadow.HorizSize();
        const int vert = shadow.VertSize();
        if (horiz != 0 || vert != 0) {
            // A negative offset moves the text instead of the shadow, so both
            // stay inside the box TextWidth and TextHeight measure.
            int32_t shadowX = X;
            int32_t shadowY = Y;
            if (horiz < 0)
                x = Sub32(X, horiz);
            else
                shadowX = Add32(X, horiz);
            if (vert < 0)
                y = Sub32(Y, vert);
            else
                shadowY = Add32(Y, vert);
            std::unique_ptr<TPlotBlend> blend;
            if (shadow.Transparency() > 0)
                blend = BeginBlending(TextRect(shadowX, shadowY, Text), shadow.Transparency());
            dc.SetTextColor(ColorToRGB(shadow.Color()));
            dc.TextOut(shadowX, shadowY, Text);
            if (blend)
                EndBlending(std::move(blend));
        }
    }

    const TColor fontColor = Font()->Color();
    dc.SetTextColor(ColorToRGB(fontColor));

    const bool outline = font && font->HasOutLine() && font->OutLine()->Visible();
    TPlotFontGradient* gradient =
        font && font->HasGradient() && font->Gradient()->Visible() ? font->Gradient() : nullptr;
    if (!outline && !gradient) {
        dc.TextOut(x, y, Text);
        return;
    }

    if (outline)
        AssignVisiblePen(*font->OutLine());
    else
        Pen()->SetStyle(psClear);
    TBrush& brush = *Brush();
    brush.SetBitmap(nullptr);
    brush.SetStyle(bsSolid);
    brush.SetColor(fontColor);
    SetBackMode(TRANSPARENT);

    dc.BeginPath();
    dc.TextOut(x, y, Text);
    dc.EndPath();

    if (gradient) {
        if (gradient->Outline())
            dc.WidenPath();
        // The text's path joins the clip in force; UnClipRectangle restores
        // that clip.
        SaveClip(dc);
        dc.SelectClipPath(RGN_AND);
        gradient->Draw(*this, TextRect(x, y, Text), 0);
        UnClipRectangle();
        if (!gradient->Outline() && outline) {
            dc.BeginPath();
            dc.TextOut(x, y, Text);
            dc.EndPath();
            brush.SetStyle(bsClear);
        }
    }

    if (outline) {
        if (fontColor == clNone)
            dc.StrokePath();
        else
            dc.StrokeAndFillPath();
    }
}

void TPlotCanvas3D::RotateLabel(int X, int Y, const QString& Text, double Angle)
{
    while (Angle >= 360.0)
        Angle -= 360.0;
    Brush()->SetStyle(bsClear);
    const TFont& canvasFont = *Font();
    TLogFont rotated = canvasFont.LogFont();
    const int tenths = RoundToInt32(Angle * 10.0);
    rotated.Escapement = tenths;
    rotated.Orientation = tenths;
    rotated.OutPrecision = kOutPrecisionTrueTypeOnly;
    rotated.Quality = kRotatedFontQuality;
    if (FZoomText && FZoom3D != 1.0) {
        const int size = std::max(RoundToInt32(canvasFont.Size() * FZoom3D), 1);
        rotated.Height = -MulDiv(size, canvasFont.PixelsPerInch(), 72);
    }
    TFontScope scope(GetHandle(), rotated);
    TextOut(X, Y, Text);
}

// --- Clipping ----------------------------------------------------------------------------------------

void TPlotCanvas3D::ClipRectangle(const TRect& Rect)
{
    TDeviceContext& dc = GetHandle();
    const TPoint p0 = dc.LPtoDP(Rect.TopLeft());
    const TPoint p1 = dc.LPtoDP(Rect.BottomRight());
    IntersectClip(dc, CreateRectRgn(p0.X, p0.Y, p1.X, p1.Y));
}

void TPlotCanvas3D::UnClipRectangle()
{
    RestoreClip(GetHandle());
}

// --- Gradient fill ------------------------------------------------------------------------------------

void TPlotCanvas3D::GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                                 int Balance)
{
    const TRect r = NormalizeRect(Rect);
    if (Direction == gdRadial) {
        TCustomPlotGradient radial;
        radial.SetDirection(gdRadial);
        radial.SetStartColor(StartColor);
        radial.SetEndColor(EndColor);
        radial.DrawRadial(*this, r);
        return;
    }

    switch (Direction) {
    case gdBottomTop:
    case gdRightLeft:
    case gdFromCenter:
    case gdFromTopLeft:
    case gdFromBottomLeft:
        std::swap(StartColor, EndColor);
        break;
    default:
        break;
    }
    const TColorRamp ramp(StartColor, EndColor, Balance);
    int32_t width = 0;
    int32_t height = 0;
    RectSize(r, width, height);
    if (width <= 0 || height <= 0)
        return;

    TDeviceContext& dc = GetHandle();
    if (DeviceGradientFill(dc, r, ramp, Direction))
        return;

    if (Direction == gdDiagonalUp || Direction == gdDiagonalDown) {
        // Lines of one pixel along the anti-diagonals (up) or diagonals
        // (down), from the start corner to the opposite one. Each line runs
        // from its end on the left or top edge rightwards to one pixel past
        // its end on the bottom (top) or right edge, so that both ends are
        // painted and the left column is covered; both ends stay inside the
        // rectangle (its right and bottom edges are exclusive).
        TPen& pen = *Pen();
        const TPenRestore restore(pen);
        pen.SetWidth(1);
        pen.SetStyle(psSolid);
        pen.SetMode(pmCopy);
        const int64_t n = static_cast<int64_t>(width) + height;
        const int64_t t = std::max<int64_t>(1, std::min<int64_t>(255, n - 1));
        const int64_t lastStep = static_cast<int64_t>(width) - 1 + height - 1;
        const int32_t right = r.Right - 1;
        const int32_t bottom = r.Bottom - 1;
        const bool up = Direction == gdDiagonalUp;
        for (int64_t i = 0; i < n; ++i) {
            const int64_t k = std::min(i, lastStep);
            TPoint first;
            TPoint second;
            if (k <= width - 1)
                first = {static_cast<int32_t>(r.Left + k), up ? bottom : r.Top};
            else
                first = {right, static_cast<int32_t>(up ? bottom - (k - (width - 1)) : r.Top + (k - (width - 1)))};
            if (k <= height - 1)
                second = {r.Left, static_cast<int32_t>(up ? bottom - k : r.Top + k)};
            else
                second = {static_cast<int32_t>(r.Left + (k - (height - 1))), up ? r.Top : bottom};
            pen.SetColor(ramp.At(t * i / n, t));
            dc.MoveTo(second.X, second.Y);
            dc.LineTo(first.X + 1, up ? first.Y + 1 : first.Y - 1);
        }
        return;
    }

    TBandBrush brush(dc, *Brush());
    switch (Direction) {
    case gdTopBottom:
    case gdBottomTop: {
        const int64_t bands = std::min<int64_t>(height, 256);
        const int64_t t = bands - 1;
        if (t <= 0)
            return;
        for (int64_t i = 0; i < bands; ++i) {
            const int64_t top = r.Bottom - (i + 1) * height / bands;
            const int64_t bottom = r.Bottom - i * height / bands;
            brush.Use(ramp.At(i, t));
            dc.PatBlt(r.Left, static_cast<int32_t>(top), width, static_cast<int32_t>(bottom - top), PATCOPY);
        }
        break;
    }
    case gdLeftRight:
    case gdRightLeft: {
        const int64_t bands = std::min<int64_t>(width, 256);
        const int64_t t = bands - 1;
        if (t <= 0)
            return;
        for (int64_t i = 0; i < bands; ++i) {
            const int64_t left = r.Right - (i + 1) * width / bands;
            const int64_t right = r.Right - i * width / bands;
            brush.Use(ramp.At(i, t));
            dc.PatBlt(static_cast<int32_t>(left), r.Top, static_cast<int32_t>(right - left), height, PATCOPY);
        }
        break;
    }
    case gdFromCenter: {
        const int32_t halfWidth = width / 2;
        const int32_t halfHeight = height / 2;
        const int64_t t = std::max<int64_t>(1, static_cast<int64_t>(halfWidth) + halfHeight);
        for (int32_t k = 0;; ++k) {
            const int32_t x = std::min(k, halfWidth);
            const int32_t y = std::min(k, halfHeight);
            const int32_t columnHeight = height - 2 * y;
            const int32_t rowWidth = width - 2 * x;
            if (columnHeight > 0 || rowWidth > 0)
                brush.Use(ramp.At(static_cast<int64_t>(x) + y, t));
            if (columnHeight > 0) {
                dc.PatBlt(r.Left + x, r.Top + y, 1, columnHeight, PATCOPY);
                dc.PatBlt(r.Right - x - 1, r.Top + y, 1, columnHeight, PATCOPY);
            }
            if (rowWidth > 0) {
                dc.PatBlt(r.Left + x, r.Top + y, rowWidth, 1, PATCOPY);
                dc.PatBlt(r.Left + x, r.Bottom - y - 1, rowWidth, 1, PATCOPY);
            }
            if (x == halfWidth && y == halfHeight)
                break;
        }
        break;
    }
    case gdFromTopLeft:
    case gdFromBottomLeft: {
        // The column of the current offset from the corner's edge to the
        // current row, and the current row from the left edge to that column.
        const bool fromTop = Direction == gdFromTopLeft;
        const int64_t t = std::max<int64_t>(1, static_cast<int64_t>(width) + height);
        int32_t column = 0;
        int32_t row = 0;
        for (;;) {
            brush.Use(ramp.At(static_cast<int64_t>(column) + row, t));
            const int32_t rowY = fromTop ? r.Top + row : r.Bottom - 1 - row;
            dc.PatBlt(r.Left + column, fromTop ? r.Top : rowY, 1, row + 1, PATCOPY);
            dc.PatBlt(r.Left, rowY, column + 1, 1, PATCOPY);
            bool moved = false;
            if (row < height - 1) {
                ++row;
                moved = true;
            }
            if (column < width - 1) {
                ++column;
                moved = true;
            }
            if (!moved)
                break;
        }
        break;
    }
    default:
        break;
    }
}

} // namespace lp
