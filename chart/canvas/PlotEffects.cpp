#include "chart/canvas/PlotEffects.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/DrawingLimits.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

namespace lp {

namespace {

// A checked 32-bit sum of coordinates and offsets: the exact result must fit.
int32_t Sum32(std::initializer_list<int64_t> terms)
{
    int64_t sum = 0;
    for (const int64_t term : terms)
        sum += term; // a handful of 32-bit terms cannot leave 64 bits
    return CheckedInt32(sum);
}

// Of Count lines at First, First + 1, ..., those before Limit.
int LinesBefore(int Count, int64_t First, int64_t Limit)
{
    return static_cast<int>(std::clamp<int64_t>(Limit - First, 0, std::max(Count, 0)));
}

int ClampByte(double value)
{
    return static_cast<int>(std::clamp(value, 0.0, 255.0));
}

TPen& CanvasPen(const TPlotCanvas& Canvas)
{
    if (!Canvas.Pen())
        throw EInvalidOperation("The chart canvas is not bound to a platform canvas");
    return *Canvas.Pen();
}

TBrush& CanvasBrush(const TPlotCanvas& Canvas)
{
    if (!Canvas.Brush())
        throw EInvalidOperation("The chart canvas is not bound to a platform canvas");
    return *Canvas.Brush();
}

// The grey of a monochrome canvas: the channels' average (integer) in each.
TColor GreyColor(TColor Color)
{
    const TColor rgb = ColorToRGB(Color);
    const int grey = (GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb)) / 3;
    return RGB(grey, grey, grey);
}

// Removes the latest clip of the canvas when the scope ends. During the
// unwinding of an error a failure to unclip is dropped, so the first error
// is the one reported.
class TUnclipOnExit {
public:
    explicit TUnclipOnExit(TCanvas3D& Canvas) : FCanvas(Canvas), FErrors(std::uncaught_exceptions()) {}
    TUnclipOnExit(const TUnclipOnExit&) = delete;
    TUnclipOnExit& operator=(const TUnclipOnExit&) = delete;
    ~TUnclipOnExit() noexcept(false)
    {
        if (std::uncaught_exceptions() == FErrors) {
            FCanvas.UnClipRectangle();
            return;
        }
        try {
            FCanvas.UnClipRectangle();
        } catch (...) {
        }
    }

private:
    TCanvas3D& FCanvas;
    int FErrors;
};

int GDefaultFontSize = 8;

QString& DefaultFontNameValue()
{
    static QString name = QStringLiteral("Arial");
    return name;
}

} // namespace

// --- Default chart font ------------------------------------------------------------------------

QString DefaultFontName()
{
    return DefaultFontNameValue();
}

void SetDefaultFontName(const QString& Value)
{
    DefaultFontNameValue() = Value;
}

int DefaultFontSize()
{
    return GDefaultFontSize;
}

void SetDefaultFontSize(int Value)
{
    GDefaultFontSize = Value;
}

// --- TPlotShadow ------------------------------------------------------------------------------------

TPlotShadow::TPlotShadow(TPersistentChangeEvent ChangeEvent) : OnChange(std::move(ChangeEvent)) {}

TPlotShadow::~TPlotShadow() = default;

void TPlotShadow::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPlotShadow::SetColor(TColor value)
{
    if (FColor != value) {
        FColor = value;
        Changed();
    }
}

void TPlotShadow::SetHorizSize(int value)
{
    value = ClampPixelLength(value);
    if (FHorizSize != value) {
        FHorizSize = value;
        Changed();
    }
}

void TPlotShadow::SetSmooth(bool value)
{
    if (FSmooth != value) {
        FSmooth = value;
        Changed();
    }
}

void TPlotShadow::SetTransparency(int value)
{
    if (value < 0 || value > 100)
        RaiseRangeError("Transparency %d is outside 0 .. 100", {ArgText(static_cast<long long>(value))});
    if (FTransparency != value) {
        FTransparency = static_cast<uint8_t>(value);
        Changed();
    }
}

void TPlotShadow::SetVertSize(int value)
{
    value = ClampPixelLength(value);
    if (FVertSize != value) {
        FVertSize = value;
        Changed();
    }
}

int TPlotShadow::Size() const
{
    return std::max(FHorizSize, FVertSize);
}

void TPlotShadow::SetSize(int value)
{
    SetHorizSize(value);
    SetVertSize(value);
}

void TPlotShadow::Assign(const TPersistent* Source)
{
    if (const auto* shadow = qobject_cast<const TPlotShadow*>(Source)) {
        FColor = shadow->FColor;
        FHorizSize = shadow->FHorizSize;
        FSmooth = shadow->FSmooth;
        FTransparency = shadow->FTransparency;
        FVertSize = shadow->FVertSize;
        return;
    }
    TPersistent::Assign(Source);
}

bool TPlotShadow::PrepareCanvas(TCanvas3D& Canvas, const TRect& Rect, int Z)
{
    if (FColor == clNone || (FHorizSize == 0 && FVertSize == 0))
        return false;
    TBrush& brush = CanvasBrush(Canvas);
    // A pattern left by an earlier brush would fill instead of the colour.
    if (brush.Bitmap())
        brush.SetBitmap(nullptr);
    brush.SetColor(FColor);
    brush.SetStyle(bsSolid);
    CanvasPen(Canvas).SetStyle(psClear);
    if (FTransparency > 0) {
        const TRect moved{Add32(Rect.Left, FHorizSize), Add32(Rect.Top, FVertSize), Add32(Rect.Right, FHorizSize),
                          Add32(Rect.Bottom, FVertSize)};
        FBlend = Canvas.BeginBlending(Canvas.RectFromRectZ(moved, Z), FTransparency);
    }
    return true;
}

void TPlotShadow::FinishBlending(TCanvas3D& Canvas)
{
    if (FBlend)
        Canvas.EndBlending(std::move(FBlend));
}

void TPlotShadow::Draw(TCanvas3D& Canvas, const TRect& Rect)
{
    DrawWithDepth(Canvas, Rect, 0);
}

void TPlotShadow::DrawWithDepth(TCanvas3D& Canvas, const TRect& Rect, int Z)
{
    if (!PrepareCanvas(Canvas, Rect, Z))
        return;
    try {
        DrawBands(Canvas, Rect, Z);
    } catch (...) {
        // The drawing is abandoned; its blend is dropped unmixed.
        FBlend.reset();
        throw;
    }
    FinishBlending(Canvas);
}

void TPlotShadow::DrawBands(TCanvas3D& Canvas, const TRect& Rect, int Z)
{
    const int64_t L = Rect.Left;
    const int64_t T = Rect.Top;
    const int64_t R = Rect.Right;
    const int64_t B = Rect.Bottom;
    const int H = FHorizSize;
    const int V = FVertSize;
    const bool flat = Canvas.NoRotationLevel() > 0;

    if (FSmooth && Size() > 1) {
        // Flat bands run outward one pixel per line: lines past the canvas's
        // far edge cover nothing, so the loops end there.
        const TRect bounds = Canvas.Bounds();
        const bool bounded = flat && !bounds.IsEmpty();
        const int bottomLines = bounded ? LinesBefore(V, B, bounds.Bottom) : V;
        const int rightLines = bounded ? LinesBefore(H, R, bounds.Right) : H;
        const TColor rgb = ColorToRGB(FColor);
        const double average = (GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb)) / 3.0;
        TPen& pen = CanvasPen(Canvas);
        pen.SetStyle(psSolid);
        if (V != 0) {
            pen.SetColor(FColor);
            const int step = RoundToInt32((255.0 - average) / V);
            for (int i = 1; i <= bottomLines; ++i) {
                const int32_t x0 = Sum32({L, H});
                const int32_t x1 = Sum32({R, H, -static_cast<int64_t>(V), i, -1});
                const int32_t y = Sum32({B, i, -1});
                if (flat)
                    Canvas.HorizLine(x0, x1, y);
                else
                    Canvas.HorizLine3D(x0, x1, y, Z);
                pen.SetColor(LightenColor(pen.Color(), step));
            }
        }
        if (H != 0) {
            pen.SetColor(FColor);
            const int step = RoundToInt32((255.0 - average) / H);
            for (int i = 1; i <= rightLines; ++i) {
                const int32_t x = Sum32({R, i, -1});
                const int32_t y0 = Sum32({T, V});
                const int32_t y1 = Sum32({B, V, -static_cast<int64_t>(H), i, -1});
                if (flat)
                    Canvas.VertLine(x, y0, y1);
                else
                    Canvas.VertLine3D(x, y0, y1, Z);
                // The corner pixel that closes the diagonal end of the band.
                const int32_t px = Sum32({R, i, -2});
                const int32_t py = Sum32({B, V, -static_cast<int64_t>(H), i, -2});
                if (flat)
                    Canvas.SetPixel(px, py, pen.Color());
                else
                    Canvas.SetPixel3D(px, py, Z, pen.Color());
                pen.SetColor(LightenColor(pen.Color(), step));
            }
        }
        return;
    }

    if (!flat) {
        Canvas.RectangleWithZ({Sum32({L, H}), CheckedInt32(B), Sum32({R, H}), Sum32({B, V})}, Z);
        Canvas.RectangleWithZ({CheckedInt32(R), Sum32({T, V}), Sum32({R, H}), Sum32({B, V})}, Z);
        return;
    }
    if (V != 0) {
        // Below the rectangle, or above it for a negative size.
        const int64_t y0 = V > 0 ? B : T + 1;
        const int64_t y1 = V > 0 ? B + 1 : T;
        Canvas.Rectangle(Sum32({L, H}), CheckedInt32(y0), Sum32({R, H}), Sum32({y1, V}));
    }
    if (H != 0) {
        // Right of the rectangle, or left of it for a negative size.
        const int64_t x0 = H > 0 ? R : L + 1;
        const int64_t x1 = H > 0 ? R + 1 : L;
        Canvas.Rectangle(CheckedInt32(x0), Sum32({T, V}), Sum32({x1, H}), Sum32({B, V, 1}));
    }
}

void TPlotShadow::DrawEllipse(TCanvas3D& Canvas, const TRect& Rect, int Z)
{
    if (!PrepareCanvas(Canvas, Rect, Z))
        return;
    try {
        DrawEllipseShape(Canvas, Rect, Z);
    } catch (...) {
        FBlend.reset();
        throw;
    }
    FinishBlending(Canvas);
}

void TPlotShadow::DrawEllipseShape(TCanvas3D& Canvas, const TRect& Rect, int Z)
{
    const TRect moved{Add32(Rect.Left, FHorizSize), Add32(Rect.Top, FVertSize), Add32(Rect.Right, FHorizSize),
                      Add32(Rect.Bottom, FVertSize)};
    if (!FSmooth) {
        Canvas.EllipseWithZ(moved.Left, moved.Top, moved.Right, moved.Bottom, Z);
        return;
    }
    const TRect projected = Canvas.CalculateRect3D(moved, Z);
    Canvas.ClipEllipse(projected, false);
    TUnclipOnExit unclip(Canvas);
    TPlotGradient gradient;
    gradient.SetEndColor(LightenColor(FColor, 32));
    gradient.SetStartColor(DarkenColor(FColor, 128));
    gradient.DrawRadial(Canvas, projected);
}

// --- TCustomPlotGradient -------------------------------------------------------------------------------

TCustomPlotGradient::TCustomPlotGradient(std::function<void(TPersistent*)> OnChange) : OnChange(std::move(OnChange))
{
}

TCustomPlotGradient::~TCustomPlotGradient() = default;

void TCustomPlotGradient::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TCustomPlotGradient::SetBalance(int value)
{
    value = ClampToRange(value, MinGradientBalance, MaxGradientBalance);
    if (FBalance != value) {
        FBalance = value;
        Changed();
    }
}

void TCustomPlotGradient::SetDirection(TGradientDirection value)
{
    if (static_cast<int>(value) > static_cast<int>(gdDiagonalDown))
        RaiseRangeError("Gradient direction %d is outside 0 .. 9", {ArgText(static_cast<long long>(value))});
    if (FDirection != value) {
        FDirection = value;
        Changed();
    }
}

void TCustomPlotGradient::SetEndColor(TColor value)
{
    if (FEndColor != value) {
        FEndColor = value;
        Changed();
    }
}

TColor TCustomPlotGradient::MidColor() const
{
    return FUseMidColor ? FMidColor : clNone;
}

void TCustomPlotGradient::SetMidColor(TColor value)
{
    if (value == clNone) {
        FUseMidColor = false;
    } else {
        FUseMidColor = true;
        FMidColor = value;
    }
    Changed();
}

void TCustomPlotGradient::SetRadialX(int value)
{
    value = ClampPixelLength(value);
    if (FRadialX != value) {
        FRadialX = value;
        Changed();
    }
}

void TCustomPlotGradient::SetRadialY(int value)
{
    value = ClampPixelLength(value);
    if (FRadialY != value) {
        FRadialY = value;
        Changed();
    }
}

void TCustomPlotGradient::SetStartColor(TColor value)
{
    if (FStartColor != value) {
        FStartColor = value;
        Changed();
    }
}

void TCustomPlotGradient::SetVisible(bool value)
{
    if (FVisible != value) {
        FVisible = value;
        Changed();
    }
}

void TCustomPlotGradient::UseMiddleColor()
{
    if (!FUseMidColor) {
        FUseMidColor = true;
        Changed();
    }
}

void TCustomPlotGradient::Assign(const TPersistent* Source)
{
    if (const auto* gradient = qobject_cast<const TCustomPlotGradient*>(Source)) {
        FBalance = gradient->FBalance;
        FDirection = gradient->FDirection;
        FEndColor = gradient->FEndColor;
        FMidColor = gradient->FMidColor;
        FRadialX = gradient->FRadialX;
        FRadialY = gradient->FRadialY;
        FStartColor = gradient->FStartColor;
        FVisible = gradient->FVisible;
        FUseMidColor = gradient->FUseMidColor;
        return;
    }
    TPersistent::Assign(Source);
}

void TCustomPlotGradient::Draw(TCanvas3D& Canvas, const TRect& Rect, int RoundSize)
{
    // A middle colour switched on without ever being given one is no colour
    // to draw with.
    const bool useMiddle = FUseMidColor && FMidColor != clNone;
    TColor middle = MidColor();
    TColor start = FStartColor;
    TColor end = FEndColor;
    if (Canvas.GetMonochrome()) {
        middle = GreyColor(middle);
        start = GreyColor(start);
        end = GreyColor(end);
    }

    std::optional<TUnclipOnExit> unclip;
    if (RoundSize > 0) {
        Canvas.ClipRoundRectangle(Rect, RoundSize);
        unclip.emplace(Canvas);
    }

    if (FDirection == gdRadial) {
        FillRadial(Canvas, Rect, start, end);
        return;
    }

    if (useMiddle && FDirection != gdDiagonalUp && FDirection != gdDiagonalDown) {
        // Cut the normalised rectangle, so the halves keep their places when
        // the caller's rectangle is reversed.
        const TRect r = NormalizeRect(Rect);
        switch (FDirection) {
        case gdTopBottom:
        case gdBottomTop: {
            const auto mid = static_cast<int32_t>((static_cast<int64_t>(r.Top) + r.Bottom) / 2);
            const TRect upper{r.Left, r.Top, r.Right, mid};
            const TRect lower{r.Left, mid, r.Right, r.Bottom};
            if (FDirection == gdTopBottom) {
                Canvas.GradientFill(upper, middle, end, FDirection, 50);
                Canvas.GradientFill(lower, start, middle, FDirection, 50);
            } else {
                Canvas.GradientFill(upper, start, middle, FDirection, 50);
                Canvas.GradientFill(lower, middle, end, FDirection, 50);
            }
            return;
        }
        case gdLeftRight:
        case gdRightLeft: {
            const auto mid = static_cast<int32_t>((static_cast<int64_t>(r.Left) + r.Right) / 2);
            const TRect left{r.Left, r.Top, mid, r.Bottom};
            const TRect right{mid, r.Top, r.Right, r.Bottom};
            if (FDirection == gdLeftRight) {
                Canvas.GradientFill(left, middle, end, FDirection, 50);
                Canvas.GradientFill(right, start, middle, FDirection, 50);
            } else {
                Canvas.GradientFill(left, start, middle, FDirection, 50);
                Canvas.GradientFill(right, middle, end, FDirection, 50);
            }
            return;
        }
        default:
            // gdFromCenter, gdFromTopLeft, gdFromBottomLeft: the middle colour
            // plays no part.
            Canvas.GradientFill(Rect, start, end, FDirection, 50);
            return;
        }
    }

    Canvas.GradientFill(Rect, start, end, FDirection, FBalance);
}

void TCustomPlotGradient::DrawRadial(TCanvas3D& Canvas, const TRect& Rect)
{
    FillRadial(Canvas, Rect, FStartColor, FEndColor);
}

void TCustomPlotGradient::FillRadial(TCanvas3D& Canvas, const TRect& Rect, TColor Start, TColor End)
{
    const TRect r = NormalizeRect(Rect);
    int32_t width = 0;
    int32_t height = 0;
    RectSize(r, width, height);
    // Nothing to fill, and no step size to divide by.
    if (width == 0 || height == 0)
        return;

    Canvas.ClipRectangle(r);
    TUnclipOnExit unclip(Canvas);

    int n = std::min(255, std::max(width, height));
    const double xStep = width * 0.5 / n;
    const double yStep = height * 0.5 / n;

    const TColor startRgb = ColorToRGB(Start);
    const TColor endRgb = ColorToRGB(End);
    const int startRed = GetRValue(startRgb);
    const int startGreen = GetGValue(startRgb);
    const int startBlue = GetBValue(startRgb);
    double deltaRed = GetRValue(endRgb) - startRed;
    double deltaGreen = GetGValue(endRgb) - startGreen;
    double deltaBlue = GetBValue(endRgb) - startBlue;
    const bool linear = FBalance == 50;
    if (linear) {
        const double scale = 1.0 / n;
        deltaRed *= scale;
        deltaGreen *= scale;
        deltaBlue *= scale;
    }

    TPen& pen = CanvasPen(Canvas);
    TBrush& brush = CanvasBrush(Canvas);
    TDeviceContext& dc = Canvas.GetHandle();
    const bool deviceBrush = SetDCBrushColorAvailable();

    // Puts the brush colour and the pen style back, and the canvas brush
    // into the device when the device's own brush was in use; also while an
    // error unwinds.
    struct TRestore {
        TPen& Pen;
        TBrush& Brush;
        TDeviceContext& DC;
        TPenStyle PenStyle;
        TColor BrushColor;
        bool DeviceBrush = false;
        ~TRestore()
        {
            Brush.SetColor(BrushColor);
            if (DeviceBrush)
                DC.SelectBrush(Brush.LogBrush());
            Pen.SetStyle(PenStyle);
        }
    } restore{pen, brush, dc, pen.Style(), brush.Color()};

    pen.SetStyle(psClear);
    brush.SetColor(End);
    Canvas.FillRect(r);

    if (width % 2 != 0 || height % 2 != 0)
        --n;

    const double cx = (static_cast<double>(FRadialX) + 1.0) + (static_cast<double>(r.Left) + r.Right) * 0.5;
    const double cy = (static_cast<double>(FRadialY) + 1.0) + (static_cast<double>(r.Top) + r.Bottom) * 0.5;

    if (deviceBrush) {
        TLogBrush own;
        own.Kind = TBrushKind::DCBrush;
        dc.SelectBrush(own);
        restore.DeviceBrush = true;
    }

    const double exponent = 0.015 * FBalance + 0.5;
    for (int i = n; i >= 0; --i) {
        const double f = linear ? i : std::pow((1.0 + i) / (1.0 + n), exponent);
        // A balance below -33 makes f exceed 1; the channels stay in a byte.
        const TColor color = RGB(ClampByte(startRed + RoundHalfEven(f * deltaRed)),
                                 ClampByte(startGreen + RoundHalfEven(f * deltaGreen)),
                                 ClampByte(startBlue + RoundHalfEven(f * deltaBlue)));
        if (deviceBrush)
            dc.SetDCBrushColor(color);
        else
            brush.SetColor(color);
        Canvas.Ellipse(RoundToInt32(cx - i * xStep), RoundToInt32(cy - i * yStep), RoundToInt32(cx + i * xStep),
                       RoundToInt32(cy + i * yStep));
    }
}

void TCustomPlotGradient::DrawPolygon(TCanvas3D& Canvas, const TPointArray& Points, int Z, bool Is3D)
{
    const int count = Points.Length();
    if (count == 0)
        return;
    TRect fillRect = PolygonBounds(AsSpan(Points), count);
    if (Is3D) {
        TPointArray projected = Points;
        for (TPoint& p : projected)
            p = Canvas.Calculate3DPoint(p, Z);
        Canvas.ClipPolygon(AsSpan(projected), count);
        fillRect = Canvas.CalculateRect3D(fillRect, Z);
    } else {
        Canvas.ClipPolygon(AsSpan(Points), count);
    }
    TUnclipOnExit unclip(Canvas);
    Draw(Canvas, fillRect, 0);
}

void TCustomPlotGradient::DrawFourPoints(TCanvas3D& Canvas, const TFourPoints& P)
{
    Canvas.ClipPolygon(AsSpan(P), 4);
    const TRect fillRect = PolygonBounds(AsSpan(P), 4);
    TUnclipOnExit unclip(Canvas);
    Draw(Canvas, fillRect, 0);
}

void TCustomPlotGradient::DrawFourPointsWithZ(TCanvas3D& Canvas, const TFourPoints& P, int Z)
{
    TFourPoints projected;
    for (int i = 0; i < 4; ++i)
        projected[i] = Canvas.Calculate3DPoint(P[i], Z);
    DrawFourPoints(Canvas, projected);
}

// --- TPlotGradient, TPlotFontGradient -------------------------------------------------------------------

TPlotGradient::TPlotGradient(std::function<void(TPersistent*)> OnChange) : TCustomPlotGradient(std::move(OnChange))
{
}

TPlotFontGradient::TPlotFontGradient(std::function<void(TPersistent*)> OnChange)
    : TPlotGradient(std::move(OnChange))
{
}

void TPlotFontGradient::SetOutline(bool value)
{
    if (FOutline != value) {
        FOutline = value;
        Changed();
    }
}

// --- TPlotFont --------------------------------------------------------------------------------------

TPlotFont::TPlotFont(TGraphicsChangeEvent OnChange)
{
    // Set before the callback is installed: the owner hears of no change
    // while it builds its font.
    SetName(DefaultFontName());
    SetSize(DefaultFontSize());
    this->OnChange = std::move(OnChange);
}

TPlotFont::~TPlotFont()
{
    // The canvas observes this font through a guarded pointer, which clears
    // itself; the sub-objects must not report to a font being destroyed.
    if (FGradient)
        FGradient->OnChange = nullptr;
    if (FOutLine)
        FOutLine->OnChange = nullptr;
    if (FShadow)
        FShadow->OnChange = nullptr;
}

TPlotFontGradient* TPlotFont::Gradient()
{
    if (!FGradient)
        FGradient = std::make_unique<TPlotFontGradient>([this](TPersistent*) { Changed(); });
    return FGradient.get();
}

void TPlotFont::SetGradient(const TPlotFontGradient* value)
{
    if (value) {
        if (value != FGradient.get())
            Gradient()->Assign(value);
    } else {
        FGradient.reset();
    }
}

void TPlotFont::SetInterCharSize(int value)
{
    value = ClampPixelLength(value);
    if (FInterCharSize != value) {
        FInterCharSize = value;
        Changed();
    }
}

TChartHiddenPen* TPlotFont::OutLine()
{
    if (!FOutLine)
        FOutLine = std::make_unique<TChartHiddenPen>([this](TGraphicsObject*) { Changed(); });
    return FOutLine.get();
}

void TPlotFont::SetOutLine(const TChartPen* value)
{
    if (value) {
        if (value != FOutLine.get())
            OutLine()->Assign(value);
    } else {
        FOutLine.reset();
    }
}

TPlotShadow* TPlotFont::Shadow()
{
    if (!FShadow)
        FShadow = std::make_unique<TPlotShadow>([this](TPersistent*) { Changed(); });
    return FShadow.get();
}

void TPlotFont::SetShadow(const TPlotShadow* value)
{
    if (value) {
        if (value != FShadow.get())
            Shadow()->Assign(value);
    } else {
        FShadow.reset();
    }
}

void TPlotFont::Assign(const TPersistent* Source)
{
    if (const auto* font = qobject_cast<const TPlotFont*>(Source)) {
        SetGradient(font->FGradient.get());
        SetOutLine(font->FOutLine.get());
        SetShadow(font->FShadow.get());
        FInterCharSize = font->FInterCharSize;
    }
    TFont::Assign(Source);
}

} // namespace lp
