#pragma once
// Translucent drawing, smooth bitmap resampling, the graphics bindings chosen
// at start-up and small numeric helpers shared by the chart units.
//
// Translucency, as the canvas runs it:
//
//   TPlotCanvas::BeginBlending(Rect, T) ─> TPlotBlend (owns a copy of the
//        │                                  pixels under Rect, keeps T)
//   caller draws over Rect as usual
//   TPlotCanvas::EndBlending(blend) ─> blend.DoBlend(T): every pixel under
//        Rect becomes new × (100 − T)% + saved × T%, then the blend is freed
//
// A blend observes its canvas (which must outlive it) and owns its saved
// pixels, and each blend mixes with the transparency its caller gives, so
// blends may nest (a translucent text shadow inside a translucent shape).
// All of this runs on the user-interface thread.

#include "platform/base/Exception.h"
#include "platform/graphics/GraphicsTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lp {

class TBitmap;
class TPlotCanvas;

// The resampler's refusal of a bitmap it cannot work with.
class ESmoothStretchError : public Exception {
public:
    using Exception::Exception;
};

class TPlotBlend {
public:
    // Keeps Canvas (observed) and captures the pixels under Rect
    // (SetRectangle).
    TPlotBlend(TPlotCanvas& Canvas, const TRect& Rect);
    ~TPlotBlend();
    TPlotBlend(const TPlotBlend&) = delete;
    TPlotBlend& operator=(const TPlotBlend&) = delete;

    // Captures the device pixels under Rect. The rectangle is normalised,
    // negative coordinates become 0, an empty width or height becomes one
    // pixel, and Right and Bottom are cut at the canvas's Bounds. Only when
    // something remains is the previous capture replaced (Valid). The
    // pixels come from the canvas's off-screen bitmap when it has one,
    // otherwise from the platform canvas it is bound to, when that has
    // pixels to read back (a printer or a window has none). Without either
    // nothing is captured and the blend is not valid, so DoBlend leaves the
    // drawing opaque instead of mixing it with blank pixels.
    void SetRectangle(const TRect& Rect);

    // Mixes the captured pixels back over what was drawn since:
    // current × (100 − Transparency)% + captured × Transparency%. 0 keeps
    // the new drawing (pure white pixels lose one step of red, see
    // BlendBitmaps), 100 restores the captured pixels. Nothing happens when
    // the canvas holds no pixels (a metafile, a printer) or when the blend
    // is not valid; a bitmap picture of the panel is blended.
    // Transparency outside 0 .. 100 raises ERangeError.
    void DoBlend(int Transparency);

    // The transparency the blend was begun with (percent, 0 .. 100, else
    // ERangeError), kept for the canvas's EndBlending.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

    TPlotCanvas& Canvas() const { return *FCanvas; }
    // The captured rectangle after normalising and cutting.
    const TRect& Rectangle() const { return FRectangle; }
    bool Valid() const { return FValid; }
    // The captured pixels (nullptr before the first valid capture).
    const TBitmap* Background() const { return FBackground.get(); }

private:
    std::unique_ptr<TBitmap> FBackground;
    TPlotCanvas* FCanvas;
    TRect FRectangle;
    bool FValid = false;
    uint8_t FTransparency = 0;
};

// Mixes Source into Dest with its top-left corner at Point (negative
// coordinates count as 0; the source is not shifted): each Dest pixel d
// under the source pixel s becomes d + (s − d) × (100 − round(Transparency))
// div 100 per channel, so Transparency 0 copies Source and 100 keeps Dest.
// A pure white Dest pixel first has its red lowered to 254 (even with
// Transparency 100). Both bitmaps are marked 24 bits per pixel. Nothing
// happens when they do not overlap. Transparency outside 0 .. 100 (after
// rounding) raises ERangeError before anything changes.
void BlendBitmaps(TBitmap& Source, TBitmap& Dest, TPoint Point, double Transparency);

// Resamples Source into the size Dest already has, with the Lanczos-3
// filter. Nothing happens when either is nullptr; a source or destination
// narrower or lower than 2 pixels raises ESmoothStretchError
// ("SmoothStretch: Source bitmap too small", then the destination's
// "SmoothStretch: Destination bitmap too small"). Columns are resampled
// first into a work bitmap, then rows, each output channel an integer sum
// over SmoothStretchContributors truncated to 0 .. 255. Both are marked 24
// bits per pixel; Source and Dest may be the same bitmap.
void SmoothStretch(TBitmap* Source, TBitmap* Dest);
// As SmoothStretch; Fast selects the cheaper triangle (linear) filter.
void SmoothStretchWithOption(TBitmap* Source, TBitmap* Dest, bool Fast);

// One source pixel's share of a destination pixel, in units of 1/1024.
struct TContributor {
    int32_t Pixel = 0;
    int32_t Weight = 0;
    friend bool operator==(const TContributor&, const TContributor&) = default;
};
using TContributorList = std::vector<TContributor>;

// The contributor list of every destination index when SourceSize pixels
// are resampled into DestSize (both at least 2, else ESmoothStretchError),
// as the resampler uses them for columns and rows: source indexes reflected
// at the edges (−j left of the first pixel, 2 × SourceSize − 1 − j right of
// the last), weights the filter's samples scaled so that each list adds up
// to exactly 1024 (a uniform area stays uniform).
std::vector<TContributorList> SmoothStretchContributors(int SourceSize, int DestSize, bool Fast);

// --- Graphics bindings ---------------------------------------------------------------------------
// Optional device features, decided by InitializePlotBlend and read by the
// drawing code afterwards. They hold this platform's answers from the start;
// FinalizePlotBlend withdraws them. The geometric-pen switch is the canvas
// unit's (GeometricPens in PlotCanvas.h); InitializePlotBlend switches it on.

// Whether a device alpha-blend routine is bound. Never on this platform:
// BlendBitmaps mixes the pixels itself.
bool AlphaBlendingAvailable();
// Whether devices offer a settable colour of their own brush
// (TDeviceContext::SetDCBrushColor, TBrushKind::DCBrush): always here.
bool SetDCBrushColorAvailable();
// Whether devices offer a settable colour of their own pen: never here.
bool SetDCPenColorAvailable();

// Start-up of the unit: decides the bindings above, switches geometric pens
// on and takes the default chart font name and size from the message texts
// when those are loaded (on a Japanese desktop size 8 and "Arial" give way
// to the desktop's interface font). Runs once; a second call does nothing
// until FinalizePlotBlend has run.
void InitializePlotBlend();
// Withdraws the bindings and empties the default font name. Does nothing
// unless InitializePlotBlend ran since the last finalisation.
void FinalizePlotBlend();

// --- Numeric helpers -----------------------------------------------------------------------------

// From, moved by Distance along the line towards Toward (a negative
// Distance moves away). When both share X the move is vertical: up when
// From is at or below Toward, down otherwise. Coordinates beyond 32 bits
// raise ERangeError.
TPoint MovePointTowards(const TPoint& Toward, const TPoint& From, int Distance);
// The square root of A × A + B × B.
double Hypotenuse(double A, double B);
void SwapInteger(int& A, int& B);
void SwapDouble(double& A, double& B);

} // namespace lp
