#pragma once
// Formatted text in a rectangle: alignment, line breaks, word wrapping,
// tab expansion, ellipses and accelerator prefixes, the way labels and
// status panels lay out their captions.
//
// Text is drawn in the canvas font and its colour, without background,
// clipped to the rectangle unless DT_NOCLIP is given. A '&' marks the next
// character as the accelerator (underlined; "&&" is one '&') unless
// DT_NOPREFIX is given.

#include "platform/graphics/Canvas.h"

namespace lp {

enum TDrawTextFormat : unsigned {
    DT_TOP = 0x0000,
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,  // single line only
    DT_BOTTOM = 0x0008,   // single line only
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_EXPANDTABS = 0x0040,
    DT_NOCLIP = 0x0100,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
};

// Draws Text into Rect with the DT_ flags of Format and returns the height
// of the text. With DT_CALCRECT nothing is drawn: Rect's right edge moves to
// hold the widest line and its bottom edge to hold every line. A canvas
// without a device measures only.
int DrawText(TCanvas& Canvas, const QString& Text, TRect& Rect, unsigned Format);

// The character a '&' marks as the accelerator (lower case), or a null
// character when the text has none.
QChar AcceleratorOf(const QString& Text);

} // namespace lp
