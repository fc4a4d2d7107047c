#pragma once
// The ranges of the stored lengths and sizes that drawing code uses as they
// are: pen widths, font heights, shadow and gradient offsets, bevels, tick,
// pointer and callout sizes, spacing between characters.
//
// Each property has one valid range, enforced where the value enters:
// setters clamp into it (so any path, streaming and computed values
// included, ends in range), and the text readers refuse a value outside it
// with ERangeError before they change anything. The ranges are far wider
// than any real chart needs, yet small enough that coordinate sums of a few
// of them stay well inside 32 bits and that a drawing loop over one of them
// is short.

namespace lp {

// Pixels, either sign.
inline constexpr int MaxPixelLength = 16384;
// A control's position and size in pixels, either sign: far beyond any
// screen or printed page, yet small enough that the clip regions and
// coordinate sums made from a chart's rectangle stay well inside 32 bits.
inline constexpr int MaxControlExtent = 1 << 20;
// Font height in pixels, either sign (a character or a cell height).
inline constexpr int MaxFontHeight = 16384;
// Font resolution, pixels per inch.
inline constexpr int MaxFontPixelsPerInch = 16384;

// Bitmaps: the longest side and the most pixels one may have (800 MB of
// 32-bit pixels). Every bitmap that is sized (TBitmap::SetSize) is held to
// them, so a size computed from a file or a chart's stored extent is
// refused with a clear message instead of asking for gigabytes.
inline constexpr int MaxBitmapSide = 65500;
inline constexpr long long MaxBitmapPixels = 200'000'000;
// A picture that draws itself at any size (a chart drawn as a picture) is
// drawn at most this large; beyond it, it is drawn at a size scaled down to
// the limit and stretched.
inline constexpr int MaxDrawnPictureSide = MaxPixelLength;
inline constexpr long long MaxDrawnPicturePixels = 4096LL * 4096;

// ERangeError "A bitmap of <W> x <H> pixels is beyond the drawing limits
// (...)" when a side or the pixel count exceeds the bitmap limits.
void CheckBitmapSize(long long Width, long long Height);

// Width x Height (each at least 1) scaled down, keeping its proportions as
// well as whole pixels allow, until it lies within MaxSide a side and
// MaxPixels in all; unchanged when it already does.
struct TPixelSize {
    int Width = 0;
    int Height = 0;
};
TPixelSize ScaledIntoLimits(long long Width, long long Height, int MaxSide, long long MaxPixels);

// Value moved into Low .. High.
int ClampToRange(long long Value, int Low, int High);
// Value, when within Low .. High; otherwise ERangeError
// "<What> <Value> is outside <Low> .. <High>".
int CheckInRange(long long Value, int Low, int High, const char* What);

// The common pixel-length range: -MaxPixelLength .. MaxPixelLength.
int ClampPixelLength(long long Value);
int CheckPixelLength(long long Value, const char* What);

} // namespace lp
