// Drawing of picture buttons: frames per style, the layout of glyph and
// caption, and the caption's looks.

#include "components/PictureButton.h"

#include "components/PictureButton_p.h"
#include "platform/graphics/DrawText.h"
#include "platform/ui/Edges.h"

namespace lp {

TButtonLayoutResult CalcButtonLayout(const TRect& Client, TPoint GlyphSize, TPoint TextSize,
                                     TuiPicBtn::TuiButtonLayout Layout, int Margin, int Spacing, bool RightToLeft)
{
    using B = TuiPicBtn;
    if (RightToLeft) {
        if (Layout == B::ablGlyphLeft)
            Layout = B::ablGlyphRight;
        else if (Layout == B::ablGlyphRight)
            Layout = B::ablGlyphLeft;
    }
    const int W = Client.Right - Client.Left, H = Client.Bottom - Client.Top;
    TPoint Glyph{0, 0}, Text{0, 0};
    const bool Horizontal = Layout == B::ablGlyphLeft || Layout == B::ablGlyphRight;
    const bool Vertical = Layout == B::ablGlyphTop || Layout == B::ablGlyphBottom;
    if (Horizontal) {
        Glyph.Y = (H - GlyphSize.Y + 1) / 2;
        Text.Y = (H - TextSize.Y + 1) / 2;
    } else if (Vertical) {
        Glyph.X = (W - GlyphSize.X + 1) / 2;
        Text.X = (W - TextSize.X + 1) / 2;
    } else {
        Text = {(W - TextSize.X + 1) / 2, (H - TextSize.Y + 1) / 2};
        if (Layout == B::ablGlyphCenter)
            Glyph = {(W - GlyphSize.X + 1) / 2, (H - GlyphSize.Y + 1) / 2};
    }
    if (Horizontal || Vertical) {
        if (TextSize.X == 0 || GlyphSize.X == 0)
            Spacing = 0;
        const int Size = Horizontal ? W : H;
        const int G = Horizontal ? GlyphSize.X : GlyphSize.Y;
        const int T = Horizontal ? TextSize.X : TextSize.Y;
        if (Margin == -1) {
            if (Spacing < 0) {
                Margin = (Size - (G + T)) / 3;
                Spacing = Margin;
            } else
                Margin = (Size - (G + Spacing + T) + 1) / 2;
        } else if (Spacing == -1)
            Spacing = (Size - Margin - G - T) / 2;
        int& GlyphMain = Horizontal ? Glyph.X : Glyph.Y;
        int& TextMain = Horizontal ? Text.X : Text.Y;
        if (Layout == B::ablGlyphLeft || Layout == B::ablGlyphTop) {
            GlyphMain = Margin;
            TextMain = GlyphMain + G + Spacing;
        } else {
            GlyphMain = Size - Margin - G;
            TextMain = GlyphMain - Spacing - T;
        }
    }
    const TPoint GlyphPos{Glyph.X + Client.Left, Glyph.Y + Client.Top};
    const TPoint TextPos{Text.X + Client.Left, Text.Y + Client.Top};
    return {GlyphPos, {TextPos.X, TextPos.Y, TextPos.X + TextSize.X, TextPos.Y + TextSize.Y}};
}

namespace {

constexpr TColor kGreyFrameLight = 0xDEDEDE;

void Edge(TCanvas& Canvas, TRect& R, unsigned Kind, unsigned Flags = 0)
{
    DrawEdge(Canvas, R, Kind, Flags | BF_RECT | BF_ADJUST);
}

void GreyFrame(TCanvas& Canvas, TRect& R, bool Pressed)
{
    if (Pressed)
        Frame3D(Canvas, R, clBtnShadow, kGreyFrameLight, 1);
    else
        Frame3D(Canvas, R, kGreyFrameLight, clBtnShadow, 1);
}

void MonoEdge(TCanvas& Canvas, TRect& R)
{
    Edge(Canvas, R, BDR_RAISEDOUTER, BF_MONO | BF_FLAT);
}

bool IsRecessed(TuiPicBtn::TuiButtonStyle Style)
{
    return Style >= TuiPicBtn::absRecessed;
}

// The framed twin of a recessed style.
TuiPicBtn::TuiButtonStyle FramedTwin(TuiPicBtn::TuiButtonStyle Style)
{
    return IsRecessed(Style) ? static_cast<TuiPicBtn::TuiButtonStyle>(Style - 5) : Style;
}

} // namespace

void TuiPicBtn::DrawFrame(TCanvas& Canvas, TRect& R, bool Hot, bool Fill) const
{
    if (Fill) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(FColor);
        Canvas.FillRect(R);
    }
    const bool Pressed = FPressed;
    const bool Prominent = FDefault || FIsActive || FFocused;
    if (FPopup && !Hot && !Pressed && !Prominent)
        return;
    const TuiButtonStyle Style = FStyle == absAutoDetect ? absNew : FStyle;
    // Recessed styles leave a pixel between the outer and the inner edge.
    auto Gap = [&] {
        if (IsRecessed(Style) && !Pressed) {
            ++R.Left;
            ++R.Top;
            --R.Right;
            --R.Bottom;
        }
    };
    // The framed and recessed styles: pressed, two sunken edges; else a
    // sunken outer edge, the recess gap, an inner edge and maybe a grey frame.
    auto Framed = [&](unsigned PressedFlags, unsigned OuterFlags, unsigned Inner, unsigned InnerFlags, bool Grey) {
        if (Pressed) {
            Edge(Canvas, R, BDR_SUNKENOUTER, PressedFlags);
            Edge(Canvas, R, BDR_SUNKENOUTER, PressedFlags);
            return;
        }
        Edge(Canvas, R, BDR_SUNKENOUTER, OuterFlags);
        Gap();
        Edge(Canvas, R, Inner, InnerFlags);
        if (Grey)
            GreyFrame(Canvas, R, false);
    };
    switch (FramedTwin(Style)) {
    case absNew:
        if (Prominent)
            MonoEdge(Canvas, R);
        if (!Pressed) {
            Edge(Canvas, R, BDR_RAISEDOUTER, BF_SOFT);
            DrawEdge(Canvas, R, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_SOFT | BF_ADJUST);
        } else if (Prominent)
            Edge(Canvas, R, BDR_RAISEDOUTER, BF_FLAT);
        else
            Edge(Canvas, R, EDGE_SUNKEN, BF_SOFT);
        break;
    case absWin31: {
        const TRect Outer = R;
        MonoEdge(Canvas, R);
        for (const TPoint Corner : {TPoint{Outer.Left, Outer.Top}, TPoint{Outer.Right - 1, Outer.Top},
                                    TPoint{Outer.Left, Outer.Bottom - 1}, TPoint{Outer.Right - 1, Outer.Bottom - 1}})
            Canvas.SetPixel(Corner.X, Corner.Y, FColor);
        if (Prominent)
            MonoEdge(Canvas, R);
        if (!Pressed) {
            Edge(Canvas, R, BDR_RAISEDINNER);
            Edge(Canvas, R, BDR_RAISEDINNER);
        } else
            DrawEdge(Canvas, R, BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_SOFT | BF_ADJUST);
        break;
    }
    case absThin: Edge(Canvas, R, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER); break;
    case absThinBlack: Edge(Canvas, R, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDOUTER, BF_SOFT); break;
    case absThinGray: GreyFrame(Canvas, R, Pressed); break;
    case absThinHighlight:
        if (Pressed)
            Edge(Canvas, R, BDR_SUNKENOUTER, BF_SOFT);
        else if (Hot)
            Edge(Canvas, R, BDR_RAISEDOUTER, BF_SOFT);
        else
            Edge(Canvas, R, BDR_RAISEDINNER);
        break;
    case absMidHighlight:
    case absThickHighlight:
        if (Pressed) {
            Edge(Canvas, R, BDR_SUNKENOUTER, BF_SOFT);
            GreyFrame(Canvas, R, true);
            break;
        }
        if (Style == absThickHighlight && Hot) {
            Canvas.Brush().SetColor(clBtnShadow);
            Canvas.FillRect({R.Left, R.Bottom - 2, R.Right, R.Bottom - 1});
        }
        if (Hot) {
            Edge(Canvas, R, BDR_RAISEDOUTER, BF_SOFT);
            GreyFrame(Canvas, R, false);
        } else {
            Edge(Canvas, R, BDR_RAISEDINNER);
            if (Style == absThickHighlight) {
                Canvas.Brush().SetColor(clBtnShadow);
                Canvas.FillRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
            }
        }
        break;
    case absFramed: Framed(0, 0, BDR_RAISEDINNER, 0, false); break;
    case absFramedBlack:
    case absFramedBlackHighlight:
        Framed(BF_SOFT, BF_SOFT, BDR_RAISEDOUTER, BF_SOFT, FramedTwin(Style) == absFramedBlackHighlight && Hot);
        break;
    case absFramedRaised: Framed(0, BF_SOFT, BDR_RAISEDOUTER, BF_SOFT, true); break;
    case absFramedHighlight: Framed(0, 0, BDR_RAISEDINNER, 0, Hot); break;
    default: break;
    }
}

void TuiPicBtn::DrawCaption(TCanvas& Canvas, const TRect& TextBounds) const
{
    if (FCaption.isEmpty())
        return;
    Canvas.Brush().SetStyle(bsClear);
    auto At = [&](int DX, int DY, TColor Color, unsigned Format) {
        TRect R{TextBounds.Left + DX, TextBounds.Top + DY, TextBounds.Right + DX, TextBounds.Bottom + DY};
        Canvas.Font().SetColor(Color);
        DrawText(Canvas, FCaption, R, Format);
    };
    const unsigned Centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (!Enabled()) {
        if (FDisabledShadow) {
            At(1, 1, clWhite, DT_CENTER | DT_VCENTER);
            At(0, 0, clGray, DT_CENTER | DT_VCENTER);
        } else
            At(0, 0, clBtnShadow, 0);
        return;
    }
    const TColor Own = FFont->Color();
    if (FTextStyle == tsRaised) {
        At(1, 1, clBtnShadow, Centred);
        At(-1, -1, clBtnHighlight, Centred);
    } else if (FTextStyle == tsLowered) {
        At(1, 1, clBtnHighlight, Centred);
        At(-1, -1, clBtnShadow, Centred);
    }
    At(0, 0, Own, Centred);
}

void TuiPicBtn::Paint(TCanvas& Canvas)
{
    const TuiGlyphState State = DrawState();
    const bool Hot = Enabled() && FMouseInControl;
    const bool Fill = !(FLayout == ablGlyphTiled && FGlyph->HasPicture() && TransparentColor() == FColor);
    TRect Face = ClientRect();
    DrawFrame(Canvas, Face, Hot, Fill);

    TRect Content{Face.Left + 1, Face.Top + 1, Face.Right - 1, Face.Bottom - 1};
    if (FPressed)
        Content = {Content.Left + 1, Content.Top + 1, Content.Right + 1, Content.Bottom + 1};
    Canvas.Font().Assign(FFont.get());
    TPoint TextSize{0, 0};
    if (!FCaption.isEmpty()) {
        TRect Measure{0, 0, Content.Right - Content.Left, 0};
        const int TextHeight = DrawText(Canvas, FCaption, Measure, DT_CALCRECT);
        TextSize = {Measure.Right - Measure.Left, TextHeight};
    }
    const TPoint G = FGlyph->Size();
    const TButtonLayoutResult Placed = CalcButtonLayout(Content, G, TextSize, FLayout, FMargin, FSpacing, FRightToLeft);
    if (FLayout == ablGlyphTiled && G.X > 0 && G.Y > 0) {
        TDeviceContext& DC = Canvas.Handle();
        const std::optional<TRegion> OldClip = DC.ClipRegion();
        DC.IntersectClipRect(Face.Left, Face.Top, Face.Right, Face.Bottom);
        for (int Y = Face.Top; Y < Face.Bottom; Y += G.Y)
            for (int X = Face.Left; X < Face.Right; X += G.X)
                FGlyph->Draw(Canvas, X, Y, State);
        DC.SelectClipRgn(OldClip ? &*OldClip : nullptr);
    } else if (G.X > 0)
        FGlyph->Draw(Canvas, Placed.GlyphPos.X, Placed.GlyphPos.Y, State);
    DrawCaption(Canvas, Placed.TextBounds);

    TRect Again = ClientRect();
    DrawFrame(Canvas, Again, Hot && !FFocused && !FIsActive, false);
    if (FFocused) {
        const bool OldLook = FStyle == absWin31;
        const TRect& T = Placed.TextBounds;
        DrawFocusRect(Canvas, OldLook ? TRect{T.Left - 2, T.Top - 1, T.Right + 2, T.Bottom + 1}
                                      : TRect{4, 4, Width() - 4, Height() - 4});
    }
    TControl::Paint(Canvas);
}

} // namespace lp
