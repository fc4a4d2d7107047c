#include "platform/ui/Edges.h"

namespace lp {

namespace {

// One ring: left and top in topLeft, right and bottom in bottomRight, each
// side only when chosen.
void Ring(TCanvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight, unsigned sides)
{
    if (r.Right - r.Left <= 0 || r.Bottom - r.Top <= 0)
        return;
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(topLeft);
    if (sides & BF_LEFT)
        canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
    if (sides & BF_TOP)
        canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1});
    canvas.Brush().SetColor(bottomRight);
    if (sides & BF_RIGHT)
        canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
    if (sides & BF_BOTTOM)
        canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
}

void Shrink(TRect& r, unsigned sides)
{
    if (sides & BF_LEFT)
        ++r.Left;
    if (sides & BF_TOP)
        ++r.Top;
    if (sides & BF_RIGHT)
        --r.Right;
    if (sides & BF_BOTTOM)
        --r.Bottom;
}

struct TRingColors {
    TColor TopLeft;
    TColor BottomRight;
};

TRingColors OuterColors(unsigned edge, unsigned flags)
{
    if (flags & BF_MONO)
        return {clWindowFrame, clWindowFrame};
    if (flags & BF_FLAT)
        return {clBtnShadow, clBtnShadow};
    const bool soft = flags & BF_SOFT;
    if (edge & BDR_RAISEDOUTER)
        return {soft ? clBtnHighlight : cl3DLight, cl3DDkShadow};
    return {soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight};
}

TRingColors InnerColors(unsigned edge, unsigned flags)
{
    if (flags & BF_FLAT)
        return {clBtnFace, clBtnFace};
    const bool soft = flags & BF_SOFT;
    if (edge & BDR_RAISEDINNER)
        return {soft ? cl3DLight : clBtnHighlight, clBtnShadow};
    return {soft ? clBtnShadow : cl3DDkShadow, cl3DLight};
}

} // namespace

void DrawEdge(TCanvas& canvas, TRect& rect, unsigned edge, unsigned flags)
{
    const unsigned sides = flags & BF_RECT;
    TRect r = rect;
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        const TRingColors c = OuterColors(edge, flags);
        Ring(canvas, r, c.TopLeft, c.BottomRight, sides);
        Shrink(r, sides);
    }
    if ((edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) && !(flags & BF_MONO)) {
        const TRingColors c = InnerColors(edge, flags);
        Ring(canvas, r, c.TopLeft, c.BottomRight, sides);
        Shrink(r, sides);
    }
    if (flags & BF_MIDDLE) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(clBtnFace);
        canvas.FillRect(r);
    }
    if (flags & BF_ADJUST)
        rect = r;
}

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width)
{
    for (int i = 0; i < width; ++i) {
        Ring(canvas, rect, topColor, bottomColor, BF_RECT);
        Shrink(rect, BF_RECT);
    }
}

void DrawFocusRect(TCanvas& canvas, const TRect& rect)
{
    if (rect.Right - rect.Left <= 0 || rect.Bottom - rect.Top <= 0)
        return;
    auto invert = [&](int x, int y) {
        const TColor c = ColorToRGB(canvas.Pixel(x, y));
        canvas.SetPixel(x, y, c ^ 0xFFFFFF);
    };
    for (int x = rect.Left; x < rect.Right; x += 2) {
        invert(x, rect.Top);
        if (rect.Bottom - 1 > rect.Top)
            invert(x, rect.Bottom - 1);
    }
    for (int y = rect.Top + 2; y < rect.Bottom - 1; y += 2) {
        invert(rect.Left, y);
        if (rect.Right - 1 > rect.Left)
            invert(rect.Right - 1, y);
    }
}

} // namespace lp
