#include "chart/canvas/PlotBlend.h"

#include "chart/canvas/PlotCanvas.h"
#include "chart/canvas/PlotConst.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <QtCore/QLocale>
#include <QtGui/QFontInfo>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lp {

namespace {

// Bytes per pixel of a bitmap scan line (blue, green, red, unused).
constexpr int kPixelBytes = 4;

// --- Bindings ---

// The device alpha-blend routine: copies (SourceX, SourceY, Width, Height)
// of Source onto (X, Y, Width, Height) of Dest, mixing with a constant
// source alpha (0 .. 255). No device of this platform has one, so it stays
// unbound and BlendBitmaps mixes the pixels itself.
using TAlphaBlendRoutine = void (*)(TBitmap& Dest, int X, int Y, int Width, int Height, const TBitmap& Source,
                                    int SourceX, int SourceY, uint8_t ConstantAlpha);

struct TBindings {
    bool Initialized = false;
    bool AlphaBlendingAvailable = false;
    TAlphaBlendRoutine AlphaBlend = nullptr;
    bool SetDCBrushColorAvailable = true;
    bool SetDCPenColorAvailable = false;
};

TBindings& Bindings()
{
    static TBindings bindings;
    return bindings;
}

// The default chart font from the message texts "8" and "Arial" (when they
// are loaded). On a Japanese system the size 8 becomes the point size of the
// desktop's interface font and "Arial" that font's family, since the
// Latin face lacks the script.
void SetDefaultFontFromTexts()
{
    bool isNumber = false;
    int size = PlotMsg_DefaultFontSize.trimmed().toInt(&isNumber);
    QString name = PlotMsg_DefaultFontName;
    if (!isNumber || name.isEmpty())
        return;
    if (QLocale::system().language() == QLocale::Japanese && QGuiApplication::instance() != nullptr) {
        const QFont interfaceFont = QGuiApplication::font();
        if (size == 8) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            const int pixelsPerInch = screen ? RoundToInt32(screen->logicalDotsPerInchY()) : 96;
            size = std::abs(MulDiv(QFontInfo(interfaceFont).pixelSize(), 72, pixelsPerInch));
        }
        if (name == QStringLiteral("Arial"))
            name = interfaceFont.family();
    }
    SetDefaultFontName(name);
    SetDefaultFontSize(size);
}

// --- Resampling ---

using TFilter = float (*)(float);

float TriangleFilter(float x)
{
    x = std::fabs(x);
    return x < 1.0f ? 1.0f - x : 0.0f;
}

float Lanczos3Filter(float x)
{
    if (x == 0.0f)
        return 1.0f;
    if (std::fabs(x) >= 3.0f)
        return 0.0f;
    const double t = std::numbers::pi * static_cast<double>(x);
    return static_cast<float>((std::sin(t) / t) * (std::sin(t / 3.0) / (t / 3.0)));
}

constexpr float kTriangleSupport = 1.0f;
constexpr float kLanczos3Support = 3.0f;

// A source index outside 0 .. Size - 1 mirrored back in at the edge (the
// edge pixel itself repeated only on the far side), then kept inside.
int32_t ReflectIndex(int64_t j, int32_t size)
{
    if (j < 0)
        j = -j;
    else if (j >= size)
        j = 2 * static_cast<int64_t>(size) - 1 - j;
    return static_cast<int32_t>(std::clamp<int64_t>(j, 0, size - 1));
}

// Scale = (DestSize - 1) / (SourceSize - 1) in single precision; each list
// samples the filter around the source position of its destination index.
//
// The sampled filter does not add up to exactly one (the Lanczos lobes fall
// between pixels differently for every position), and both passes truncate
// their sums. Weights of 1024 × sample alone would turn a uniform area into
// stripes a level darker or lighter, so each list is scaled to add up to
// exactly 1024, the rounding remainder going to its largest weight.
std::vector<TContributorList> BuildContributors(int32_t sourceSize, int32_t destSize, float scale,
                                                TFilter filter, float support)
{
    std::vector<TContributorList> lists(static_cast<size_t>(destSize));
    const bool shrinking = scale < 1.0f;
    // When shrinking, the filter is stretched over 1 / scale source pixels
    // and its samples lowered by scale.
    const float width = shrinking ? support / scale : support;
    const float factor = shrinking ? scale : 1.0f;
    std::vector<double> samples;
    for (int32_t i = 0; i < destSize; ++i) {
        TContributorList& list = lists[static_cast<size_t>(i)];
        list.reserve(static_cast<size_t>(2.0f * width + 1.0f));
        samples.clear();
        double total = 0.0;
        const float center = static_cast<float>(i) / scale;
        const int64_t left = static_cast<int64_t>(std::floor(center - width));
        const int64_t right = static_cast<int64_t>(std::ceil(center + width));
        for (int64_t j = left; j <= right; ++j) {
            const float f = filter((center - static_cast<float>(j)) * factor);
            if (f == 0.0f)
                continue;
            const double sample = static_cast<double>(factor) * static_cast<double>(f);
            samples.push_back(sample);
            total += sample;
            list.push_back({ReflectIndex(j, sourceSize), 0});
        }
        if (list.empty() || total <= 0.0)
            continue;
        int32_t sum = 0;
        size_t largest = 0;
        for (size_t k = 0; k < list.size(); ++k) {
            list[k].Weight = RoundToInt32(1024.0 * samples[k] / total);
            sum += list[k].Weight;
            if (list[k].Weight > list[largest].Weight)
                largest = k;
        }
        list[largest].Weight += 1024 - sum;
    }
    return lists;
}

uint8_t ClampChannel(int64_t sum)
{
    if (sum < 0)
        return 0;
    if (sum >= 256 * 1024)
        return 255;
    return static_cast<uint8_t>(sum >> 10);
}

void CheckStretchSizes(int sourceWidth, int sourceHeight, int destWidth, int destHeight)
{
    if (sourceWidth < 2 || sourceHeight < 2)
        throw ESmoothStretchError("SmoothStretch: Source bitmap too small");
    if (destWidth < 2 || destHeight < 2)
        throw ESmoothStretchError("SmoothStretch: Destination bitmap too small");
}

float StretchScale(int sourceSize, int destSize)
{
    return static_cast<float>(destSize - 1) / static_cast<float>(sourceSize - 1);
}

void Stretch(TBitmap& source, TBitmap& dest, TFilter filter, float support)
{
    const int sourceWidth = source.Width(), sourceHeight = source.Height();
    const int destWidth = dest.Width(), destHeight = dest.Height();
    CheckStretchSizes(sourceWidth, sourceHeight, destWidth, destHeight);
    source.SetPixelFormat(TBitmap::pf24bit);
    dest.SetPixelFormat(TBitmap::pf24bit);
    TBitmap work(destWidth, sourceHeight);
    work.SetPixelFormat(TBitmap::pf24bit);

    const TBitmap& constSource = source;
    {
        const std::vector<TContributorList> columns =
            BuildContributors(sourceWidth, destWidth, StretchScale(sourceWidth, destWidth), filter, support);
        for (int y = 0; y < sourceHeight; ++y) {
            const uint8_t* from = constSource.ScanLine(y);
            uint8_t* to = work.ScanLine(y);
            for (int x = 0; x < destWidth; ++x) {
                int64_t blue = 0, green = 0, red = 0;
                for (const TContributor& c : columns[static_cast<size_t>(x)]) {
                    const uint8_t* p = from + static_cast<ptrdiff_t>(c.Pixel) * kPixelBytes;
                    blue += static_cast<int64_t>(c.Weight) * p[0];
                    green += static_cast<int64_t>(c.Weight) * p[1];
                    red += static_cast<int64_t>(c.Weight) * p[2];
                }
                uint8_t* q = to + static_cast<ptrdiff_t>(x) * kPixelBytes;
                q[0] = ClampChannel(blue);
                q[1] = ClampChannel(green);
                q[2] = ClampChannel(red);
            }
        }
    }

    const TBitmap& constWork = work;
    std::vector<const uint8_t*> workRows(static_cast<size_t>(sourceHeight));
    for (int y = 0; y < sourceHeight; ++y)
        workRows[static_cast<size_t>(y)] = constWork.ScanLine(y);
    const std::vector<TContributorList> rows =
        BuildContributors(sourceHeight, destHeight, StretchScale(sourceHeight, destHeight), filter, support);
    for (int y = 0; y < destHeight; ++y) {
        uint8_t* to = dest.ScanLine(y);
        const TContributorList& list = rows[static_cast<size_t>(y)];
        for (int x = 0; x < destWidth; ++x) {
            const ptrdiff_t offset = static_cast<ptrdiff_t>(x) * kPixelBytes;
            int64_t blue = 0, green = 0, red = 0;
            for (const TContributor& c : list) {
                const uint8_t* p = workRows[static_cast<size_t>(c.Pixel)] + offset;
                blue += static_cast<int64_t>(c.Weight) * p[0];
                green += static_cast<int64_t>(c.Weight) * p[1];
                red += static_cast<int64_t>(c.Weight) * p[2];
            }
            to[offset] = ClampChannel(blue);
            to[offset + 1] = ClampChannel(green);
            to[offset + 2] = ClampChannel(red);
        }
    }
}

// --- Blending ---

// The device the canvas's pixels can be read from and written to: its
// off-screen bitmap's, or that of the bound platform canvas when it has
// pixels (a printer or a window has none to read back).
TDeviceContext* PixelDevice(TPlotCanvas& canvas, TBitmap*& offscreen)
{
    offscreen = canvas.OffscreenBitmap();
    if (offscreen != nullptr)
        return &offscreen->Canvas().Handle();
    TCanvas* bound = canvas.ReferenceCanvas();
    if (bound == nullptr || !bound->HandleAllocated() || bound->Handle().Image() == nullptr)
        return nullptr;
    return &bound->Handle();
}

void CheckTransparency(int value)
{
    if (value < 0 || value > 100)
        RaiseRangeError("Transparency %d is outside 0 .. 100", {ArgText(static_cast<long long>(value))});
}

} // namespace

// --- TPlotBlend ---

TPlotBlend::TPlotBlend(TPlotCanvas& Canvas, const TRect& Rect) : FCanvas(&Canvas)
{
    SetRectangle(Rect);
}

TPlotBlend::~TPlotBlend() = default;

void TPlotBlend::SetTransparency(int Value)
{
    CheckTransparency(Value);
    FTransparency = static_cast<uint8_t>(Value);
}

void TPlotBlend::SetRectangle(const TRect& Rect)
{
    TRect r = NormalizeRect(Rect);
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::max(r.Right, 0);
    r.Bottom = std::max(r.Bottom, 0);
    if (static_cast<int64_t>(r.Right) - r.Left < 1)
        r.Right = CheckedInt32(static_cast<int64_t>(r.Left) + 1);
    if (static_cast<int64_t>(r.Bottom) - r.Top < 1)
        r.Bottom = CheckedInt32(static_cast<int64_t>(r.Top) + 1);
    const TRect bounds = FCanvas->Bounds();
    r.Right = std::min(r.Right, bounds.Right);
    r.Bottom = std::min(r.Bottom, bounds.Bottom);
    FRectangle = r;

    TBitmap* offscreen = nullptr;
    TDeviceContext* device = PixelDevice(*FCanvas, offscreen);
    FValid = r.Right - r.Left > 0 && r.Bottom - r.Top > 0 && device != nullptr;
    if (!FValid)
        return;
    FBackground.reset();
    auto background = std::make_unique<TBitmap>();
    background->SetPixelFormat(TBitmap::pf24bit);
    background->SetSize(r.Width(), r.Height());
    background->Canvas().Handle().BitBlt(0, 0, r.Width(), r.Height(), *device, r.Left, r.Top, SRCCOPY);
    FBackground = std::move(background);
}

void TPlotBlend::DoBlend(int Transparency)
{
    CheckTransparency(Transparency);
    // Only pixels can be blended: a metafile keeps the shape opaque, a
    // bitmap export blends as the window does.
    if (!FValid || !FCanvas->HoldsPixels())
        return;
    TBitmap* offscreen = nullptr;
    TDeviceContext* device = PixelDevice(*FCanvas, offscreen);
    if (device == nullptr)
        return;

    std::unique_ptr<TBitmap> temporary;
    TBitmap* target = offscreen;
    TPoint point = FRectangle.TopLeft();
    if (target == nullptr) {
        temporary = std::make_unique<TBitmap>(FRectangle.Width(), FRectangle.Height());
        temporary->Canvas().Handle().BitBlt(0, 0, FRectangle.Width(), FRectangle.Height(), *device, FRectangle.Left,
                                            FRectangle.Top, SRCCOPY);
        target = temporary.get();
        point = {0, 0};
    }

    // Blending must leave the canvas's text state as it was: should the
    // device have lost its alignment, the font and the alignment are put back.
    const unsigned align = FCanvas->GetTextAlign();
    BlendBitmaps(*FBackground, *target, point, 100 - Transparency);
    if (FCanvas->GetTextAlign() != align) {
        if (TPlotFont* font = FCanvas->FontAssigned())
            FCanvas->AssignFont(*font);
        FCanvas->SetTextAlign(align);
    }

    if (temporary)
        FCanvas->ReferenceCanvas()->Draw(FRectangle.Left, FRectangle.Top, temporary.get());
}

// --- Bitmaps ---

void BlendBitmaps(TBitmap& Source, TBitmap& Dest, TPoint Point, double Transparency)
{
    const int rounded = RoundToInt32(Transparency);
    CheckTransparency(rounded);
    Source.SetPixelFormat(TBitmap::pf24bit);
    Dest.SetPixelFormat(TBitmap::pf24bit);
    const int x = std::max(0, Point.X);
    const int y = std::max(0, Point.Y);
    const int width = std::min(Source.Width(), Dest.Width() - x);
    const int height = std::min(Source.Height(), Dest.Height() - y);
    if (width < 1 || height < 1)
        return;

    TBindings& bindings = Bindings();
    if (bindings.AlphaBlendingAvailable && bindings.AlphaBlend != nullptr) {
        const int alpha = 255 - RoundToInt32(2.55 * Transparency);
        bindings.AlphaBlend(Dest, x, y, width, height, Source, 0, 0, static_cast<uint8_t>(std::clamp(alpha, 0, 255)));
        return;
    }

    const int percent = 100 - rounded;
    const TBitmap& constSource = Source;
    for (int r = 0; r < height; ++r) {
        uint8_t* d = Dest.ScanLine(y + r) + static_cast<ptrdiff_t>(x) * kPixelBytes;
        const uint8_t* s = constSource.ScanLine(r);
        for (int c = 0; c < width; ++c, d += kPixelBytes, s += kPixelBytes) {
            if (d[0] == 255 && d[1] == 255 && d[2] == 255)
                d[2] = 254;
            for (int k = 0; k < 3; ++k)
                d[k] = static_cast<uint8_t>(d[k] + (s[k] - d[k]) * percent / 100);
        }
    }
}

void SmoothStretch(TBitmap* Source, TBitmap* Dest)
{
    SmoothStretchWithOption(Source, Dest, false);
}

void SmoothStretchWithOption(TBitmap* Source, TBitmap* Dest, bool Fast)
{
    if (Source == nullptr || Dest == nullptr)
        return;
    if (Fast)
        Stretch(*Source, *Dest, TriangleFilter, kTriangleSupport);
    else
        Stretch(*Source, *Dest, Lanczos3Filter, kLanczos3Support);
}

std::vector<TContributorList> SmoothStretchContributors(int SourceSize, int DestSize, bool Fast)
{
    CheckStretchSizes(SourceSize, 2, DestSize, 2);
    const float scale = StretchScale(SourceSize, DestSize);
    return Fast ? BuildContributors(SourceSize, DestSize, scale, TriangleFilter, kTriangleSupport)
                : BuildContributors(SourceSize, DestSize, scale, Lanczos3Filter, kLanczos3Support);
}

// --- Bindings ---

bool AlphaBlendingAvailable()
{
    return Bindings().AlphaBlendingAvailable;
}

bool SetDCBrushColorAvailable()
{
    return Bindings().SetDCBrushColorAvailable;
}

bool SetDCPenColorAvailable()
{
    return Bindings().SetDCPenColorAvailable;
}

void InitializePlotBlend()
{
    TBindings& bindings = Bindings();
    if (bindings.Initialized)
        return;
    bindings.Initialized = true;
    // Every device of this platform draws geometric pens (widths, caps,
    // joins, user dashes).
    SetGeometricPens(true);
    // The optional routines are not looked up in system libraries here:
    // the device context is one known class, so what it offers is fixed.
    // There is no device alpha-blend routine; the device has a settable
    // brush colour of its own but no such pen colour.
    bindings.AlphaBlend = nullptr;
    bindings.AlphaBlendingAvailable = bindings.AlphaBlend != nullptr;
    bindings.SetDCBrushColorAvailable = true;
    bindings.SetDCPenColorAvailable = false;
    // The canvas's saved clip region is a value the canvas unit holds, and
    // the class registry needs no activation for streaming: nothing to
    // create for either.
    SetDefaultFontFromTexts();
}

void FinalizePlotBlend()
{
    TBindings& bindings = Bindings();
    if (!bindings.Initialized)
        return;
    bindings.Initialized = false;
    bindings.AlphaBlend = nullptr;
    bindings.AlphaBlendingAvailable = false;
    bindings.SetDCBrushColorAvailable = false;
    bindings.SetDCPenColorAvailable = false;
    SetDefaultFontName(QString());
}

// --- Numeric helpers ---

TPoint MovePointTowards(const TPoint& Toward, const TPoint& From, int Distance)
{
    TPoint result = From;
    if (From.X == Toward.X) {
        const int64_t step = From.Y >= Toward.Y ? -static_cast<int64_t>(Distance) : Distance;
        result.Y = CheckedInt32(From.Y + step);
        return result;
    }
    const double angle = std::atan2(static_cast<double>(From.Y) - Toward.Y, static_cast<double>(From.X) - Toward.X);
    result.X = CheckedInt32(From.X - RoundToInt64(Distance * std::cos(angle)));
    result.Y = CheckedInt32(From.Y - RoundToInt64(Distance * std::sin(angle)));
    return result;
}

double Hypotenuse(double A, double B)
{
    return std::sqrt(A * A + B * B);
}

void SwapInteger(int& A, int& B)
{
    std::swap(A, B);
}

void SwapDouble(double& A, double& B)
{
    std::swap(A, B);
}

} // namespace lp
