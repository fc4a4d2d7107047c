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

// Value moved into Low .. High.
int ClampToRange(long long Value, int Low, int High);
// Value, when within Low .. High; otherwise ERangeError
// "<What> <Value> is outside <Low> .. <High>".
int CheckInRange(long long Value, int Low, int High, const char* What);

// The common pixel-length range: -MaxPixelLength .. MaxPixelLength.
int ClampPixelLength(long long Value);
int CheckPixelLength(long long Value, const char* What);

} // namespace lp
