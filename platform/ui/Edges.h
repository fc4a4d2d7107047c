#pragma once
// Three-dimensional edges and frames of controls: the classic raster
// routines that buttons, panels and splitters draw their bevels with.
//
// DrawEdge draws up to two one-pixel rings (an outer and an inner edge) on
// the chosen sides of a rectangle; Frame3D draws rings of two colours;
// DrawFocusRect draws the dotted focus rectangle by inversion. Colours are
// the system colours of the platform palette.

#include "platform/graphics/Canvas.h"

namespace lp {

// Edge kinds (combine one outer and one inner kind).
enum TEdgeKind : unsigned {
    BDR_RAISEDOUTER = 0x0001,
    BDR_SUNKENOUTER = 0x0002,
    BDR_RAISEDINNER = 0x0004,
    BDR_SUNKENINNER = 0x0008,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
};

// Sides and drawing flags.
enum TEdgeFlag : unsigned {
    BF_LEFT = 0x0001,
    BF_TOP = 0x0002,
    BF_RIGHT = 0x0004,
    BF_BOTTOM = 0x0008,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_MIDDLE = 0x0800,   // fill the inside with clBtnFace
    BF_SOFT = 0x1000,     // the lighter colours outside, the darker inside
    BF_ADJUST = 0x2000,   // shrink the rectangle by what was drawn
    BF_FLAT = 0x4000,     // outer ring clBtnShadow, inner ring clBtnFace
    BF_MONO = 0x8000,     // one ring in clWindowFrame
};

// Draws the edge on the sides in flags; with BF_ADJUST rect shrinks by the
// rings drawn on the chosen sides. Right and bottom are exclusive.
void DrawEdge(TCanvas& canvas, TRect& rect, unsigned edge, unsigned flags);

// Width rings, top and left in topColor, bottom and right in bottomColor;
// rect shrinks by Width on every side.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// The dotted focus rectangle, drawn by inverting every other pixel of its
// outline (drawing it twice removes it).
void DrawFocusRect(TCanvas& canvas, const TRect& rect);

} // namespace lp
