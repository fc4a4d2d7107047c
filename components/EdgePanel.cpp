#include "components/EdgePanel.h"

#include "platform/graphics/DrawText.h"
#include "platform/ui/Edges.h"

#include <algorithm>

namespace lp {

void Frame3DEdges(TCanvas& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width, unsigned Edges)
{
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetStyle(psSolid);
    // Right and bottom one pixel in: the lines run on the last pixels.
    --Rect.Bottom;
    --Rect.Right;
    for (int Ring = 0; Ring < Width; ++Ring) {
        Canvas.Pen().SetColor(TopColor);
        Canvas.MoveTo(Rect.Left, Rect.Bottom);
        if (Edges & BF_LEFT)
            Canvas.LineTo(Rect.Left, Rect.Top);
        else
            Canvas.MoveTo(Rect.Left, Rect.Top);
        if (Edges & BF_TOP)
            Canvas.LineTo(Rect.Right, Rect.Top);
        else
            Canvas.MoveTo(Rect.Right, Rect.Top);
        Canvas.Pen().SetColor(BottomColor);
        if (Edges & BF_RIGHT)
            Canvas.LineTo(Rect.Right, Rect.Bottom);
        else
            Canvas.MoveTo(Rect.Right, Rect.Bottom);
        if (Edges & BF_BOTTOM)
            Canvas.LineTo(Rect.Left - 1, Rect.Bottom);
        ++Rect.Left;
        ++Rect.Top;
        --Rect.Right;
        --Rect.Bottom;
    }
    ++Rect.Bottom;
    ++Rect.Right;
}

TuiCustomEdgePanel::TuiCustomEdgePanel(TComponent* AOwner) : TControl(AOwner), FFont(std::make_unique<TFont>())
{
    FFont->OnChange = [this](TGraphicsObject*) { Invalidate(); };
}

TuiCustomEdgePanel::~TuiCustomEdgePanel() = default;

template <class T>
void TuiCustomEdgePanel::Update(T& Field, const T& Value, bool Borders)
{
    if (Field == Value)
        return;
    Field = Value;
    if (Borders)
        BordersChanged();
    else
        Invalidate();
}

void TuiCustomEdgePanel::SetBevelEdges(TBevelEdges Value) { Update(FBevelEdges, Value, false); }
void TuiCustomEdgePanel::SetBevelInner(TPanelBevel Value) { Update(FBevelInner, Value, true); }
void TuiCustomEdgePanel::SetBevelOuter(TPanelBevel Value) { Update(FBevelOuter, Value, true); }
void TuiCustomEdgePanel::SetBevelWidth(int Value) { Update(FBevelWidth, std::max(Value, 1), true); }
void TuiCustomEdgePanel::SetBorderStyle(TBorderStyle Value) { Update(FBorderStyle, Value, true); }
void TuiCustomEdgePanel::SetBorderWidth(int Value) { Update(FBorderWidth, std::max(Value, 0), true); }
void TuiCustomEdgePanel::SetColor(TColor Value) { Update(FColor, Value, false); }
void TuiCustomEdgePanel::SetCaption(const QString& Value) { Update(FCaption, Value, false); }
void TuiCustomEdgePanel::SetAlignment(TAlignment Value) { Update(FAlignment, Value, false); }

void TuiCustomEdgePanel::PaintBorder(TCanvas& Canvas, TRect& Rect) const
{
    if (FBorderStyle == bsSingle)
        DrawEdge(Canvas, Rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
}

void TuiCustomEdgePanel::Paint(TCanvas& Canvas)
{
    TRect Rect = ClientRect();
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FColor);
    Canvas.FillRect(Rect);
    PaintBorder(Canvas, Rect);
    const unsigned Edges = static_cast<unsigned>(FBevelEdges.toInt());
    auto Bevel = [&](TPanelBevel Kind) {
        if (Kind == bvNone)
            return;
        const TColor Light = Kind == bvLowered ? clBtnShadow : clBtnHighlight;
        const TColor Dark = Kind == bvLowered ? clBtnHighlight : clBtnShadow;
        if (Kind == bvSpace)
            Frame3DEdges(Canvas, Rect, FColor, FColor, FBevelWidth, Edges);
        else
            Frame3DEdges(Canvas, Rect, Light, Dark, FBevelWidth, Edges);
    };
    Bevel(FBevelOuter);
    Frame3DEdges(Canvas, Rect, FColor, FColor, FBorderWidth, BF_RECT);
    Bevel(FBevelInner);
    if (!FCaption.isEmpty()) {
        Canvas.Brush().SetStyle(bsClear);
        Canvas.Font().Assign(FFont.get());
        const int TextHeight = Canvas.TextHeight(QStringLiteral("W"));
        TRect Line{Rect.Left, (Rect.Top + Rect.Bottom - TextHeight) / 2, Rect.Right,
                   (Rect.Top + Rect.Bottom - TextHeight) / 2 + TextHeight};
        const unsigned Align = FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT
                                                                                                     : DT_CENTER;
        DrawText(Canvas, FCaption, Line, Align | DT_SINGLELINE | DT_EXPANDTABS);
    }
    TControl::Paint(Canvas);
}

} // namespace lp
