#include "platform/ui/StatusBar.h"

#include "platform/graphics/DrawText.h"

namespace lp {

namespace {

// Panels start 2 pixels below the bar's top and are 2 pixels apart.
constexpr int kTopBorder = 2;
constexpr int kPanelGap = 2;
constexpr int kGripWidth = 15;

} // namespace

// --- TStatusPanel ---------------------------------------------------------------------------

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    if (FBevel == Value)
        return;
    FBevel = Value;
    Changed(false);
}

TBiDiMode TStatusPanel::BiDiMode() const
{
    const TStatusBar* Bar = StatusBar();
    return FParentBiDiMode && Bar ? Bar->BiDiMode() : FBiDiMode;
}

void TStatusPanel::SetBiDiMode(TBiDiMode Value)
{
    FParentBiDiMode = false;
    if (FBiDiMode == Value)
        return;
    FBiDiMode = Value;
    Changed(false);
}

void TStatusPanel::SetParentBiDiMode(bool Value)
{
    if (FParentBiDiMode == Value)
        return;
    FParentBiDiMode = Value;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Changed(false);
}

void TStatusPanel::SetText(const QString& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    Changed(false);
}

void TStatusPanel::SetWidth(int Value)
{
    Value = std::max(Value, 0);
    if (FWidth == Value)
        return;
    FWidth = Value;
    Changed(true);
}

TStatusBar* TStatusPanel::StatusBar() const
{
    const auto* Panels = qobject_cast<const TStatusPanels*>(Collection());
    return Panels ? Panels->StatusBar() : nullptr;
}

void TStatusPanel::Assign(const TPersistent* Source)
{
    const auto* Panel = qobject_cast<const TStatusPanel*>(Source);
    if (!Panel) {
        TCollectionItem::Assign(Source);
        return;
    }
    FAlignment = Panel->FAlignment;
    FBevel = Panel->FBevel;
    FBiDiMode = Panel->FBiDiMode;
    FParentBiDiMode = Panel->FParentBiDiMode;
    FStyle = Panel->FStyle;
    FText = Panel->FText;
    FWidth = Panel->FWidth;
    Changed(true);
}

// --- TStatusPanels --------------------------------------------------------------------------

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(CollectionItemFactory<TStatusPanel>()), FStatusBar(StatusBar)
{
}

TStatusPanels::~TStatusPanels()
{
    FStatusBar = nullptr;
}

void TStatusPanels::Update(TCollectionItem* Item)
{
    if (FStatusBar)
        FStatusBar->PanelsChanged(static_cast<TStatusPanel*>(Item));
}

// --- TStatusBar -----------------------------------------------------------------------------

TStatusBar::TStatusBar(TComponent* AOwner)
    : TControl(AOwner), FFont(std::make_unique<TFont>()), FPanels(std::make_unique<TStatusPanels>(this))
{
    FFont->SetName(QStringLiteral("Tahoma"));
    FFont->SetHeight(-11);
    FFont->OnChange = [this](TGraphicsObject*) { FontChanged(); };
    SetBounds(0, 0, 200, 19);
    SetAlign(TAlign::alBottom);
}

TStatusBar::~TStatusBar()
{
    FPanels.reset();
}

void TStatusBar::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    Invalidate();
}

void TStatusBar::SetSizeGrip(bool Value)
{
    if (FSizeGrip == Value)
        return;
    FSizeGrip = Value;
    Invalidate();
}

void TStatusBar::SetBiDiMode(TBiDiMode Value)
{
    if (FBiDiMode == Value)
        return;
    FBiDiMode = Value;
    Invalidate();
}

TRect TStatusBar::PanelRect(int Index) const
{
    FPanels->Items(Index); // checks the index
    int Left = 0;
    for (int i = 0; i < Index; ++i)
        Left += FPanels->Items(i)->Width();
    // The last panel reaches to the size grip (or the bar's right edge).
    const bool Last = Index == FPanels->Count() - 1;
    const int End = FSizeGrip ? Width() - kGripWidth : Width();
    int Right = Left + FPanels->Items(Index)->Width() - kPanelGap;
    if (Last)
        Right = std::max(End, Right);
    Right = std::min(Right, Width());
    if (Right <= Left || Height() <= kTopBorder)
        return {};
    return {Left, kTopBorder, Right, Height()};
}

int TStatusBar::PanelAt(int X, int Y) const
{
    for (int i = 0; i < FPanels->Count(); ++i) {
        const TRect R = PanelRect(i);
        if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom)
            return i;
    }
    return -1;
}

void TStatusBar::Paint(TCanvas& Canvas)
{
    const TCanvasScope Scope(*this, Canvas);
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FColor);
    Canvas.FillRect(ClientRect());
    Canvas.Font().Assign(FFont.get());
    for (int i = 0; i < FPanels->Count(); ++i) {
        TStatusPanel* Panel = FPanels->Items(i);
        const TRect R = PanelRect(i);
        if (R.IsEmpty())
            continue;
        DrawBevel(Canvas, R, Panel->Bevel());
        if (Panel->Style() == TStatusPanel::psOwnerDraw) {
            DrawPanel(Canvas, Panel, R);
            continue;
        }
        TRect TextRect{R.Left + 2, R.Top + 1, R.Right - 2, R.Bottom - 1};
        unsigned Format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (Panel->Alignment() == taCenter)
            Format |= DT_CENTER;
        else if (Panel->Alignment() == taRightJustify)
            Format |= DT_RIGHT;
        Canvas.Font().Assign(FFont.get());
        DrawText(Canvas, Panel->Text(), TextRect, Format);
    }
    if (FSizeGrip)
        DrawSizeGrip(Canvas);
    TControl::Paint(Canvas);
}

void TStatusBar::DrawPanel(TCanvas&, TStatusPanel* Panel, const TRect& Rect)
{
    if (OnDrawPanel)
        OnDrawPanel(this, Panel, Rect);
}

void TStatusBar::FontChanged()
{
    Invalidate();
}

void TStatusBar::PanelsChanged(TStatusPanel*)
{
    Invalidate();
}

void TStatusBar::DrawBevel(TCanvas& Canvas, const TRect& R, TStatusPanelBevel Bevel) const
{
    if (Bevel == pbNone)
        return;
    const TColor TopLeft = Bevel == pbLowered ? clBtnShadow : clBtnHighlight;
    const TColor BottomRight = Bevel == pbLowered ? clBtnHighlight : clBtnShadow;
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetColor(TopLeft);
    Canvas.MoveTo(R.Left, R.Bottom - 1);
    Canvas.LineTo(R.Left, R.Top);
    Canvas.LineTo(R.Right - 1, R.Top);
    Canvas.Pen().SetColor(BottomRight);
    Canvas.LineTo(R.Right - 1, R.Bottom - 1);
    Canvas.LineTo(R.Left - 1, R.Bottom - 1);
}

void TStatusBar::DrawSizeGrip(TCanvas& Canvas) const
{
    // The grip's area in the bar's colour, crossed by diagonals from the
    // bottom edge to the right edge.
    const int Right = Width();
    const int Bottom = Height() - 1;
    const int Top = 3;
    if (Bottom <= Top)
        return;
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FColor);
    Canvas.FillRect({Right - kGripWidth, Top, Right, Bottom});
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Pen().SetWidth(1);
    const auto Diagonal = [&](int Distance, TColor Color) {
        Canvas.Pen().SetColor(Color);
        Canvas.MoveTo(Right - Distance, Bottom);
        Canvas.LineTo(Right, Bottom - Distance);
    };
    for (int Distance : {1, 2, 5, 9, 13})
        Diagonal(Distance, clBtnHighlight);
    for (int Distance : {3, 7, 11})
        Diagonal(Distance, clBtnShadow);
    Canvas.Pen().SetColor(clBtnShadow);
    Canvas.MoveTo(Right - kGripWidth, Top);
    Canvas.LineTo(Right, Top);
}

} // namespace lp
