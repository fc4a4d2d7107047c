#include "components/SuperLabel.h"

#include "platform/graphics/DrawText.h"

#include <algorithm>

namespace lp {

namespace {

constexpr int kMaxCaption = 255;

} // namespace

TuiSuperLabel::TuiSuperLabel(TComponent* AOwner) : TControl(AOwner), FFont(std::make_unique<TFont>())
{
    FFont->SetName(QStringLiteral("Tahoma"));
    FFont->SetHeight(-11);
    FFont->OnChange = [this](TGraphicsObject*) { Invalidate(); };
    SetBounds(0, 0, 100, 25);
}

TuiSuperLabel::~TuiSuperLabel() = default;

template <class T>
void TuiSuperLabel::Update(T& Field, const T& Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Invalidate();
}

void TuiSuperLabel::SetVerticalAlignment(TuiVAlignment Value) { Update(FVerticalAlignment, Value); }
void TuiSuperLabel::SetTopMargin(int Value) { Update(FTopMargin, std::clamp(Value, 0, 255)); }
void TuiSuperLabel::SetLeftMargin(int Value) { Update(FLeftMargin, std::clamp(Value, 0, 255)); }
void TuiSuperLabel::SetRightMargin(int Value) { Update(FRightMargin, std::clamp(Value, 0, 255)); }
void TuiSuperLabel::SetBottomMargin(int Value) { Update(FBottomMargin, std::clamp(Value, 0, 255)); }
void TuiSuperLabel::SetBorderStyle(TBorderStyle Value) { Update(FBorderStyle, Value); }
void TuiSuperLabel::SetCtl3D(bool Value) { Update(FCtl3D, Value); }
void TuiSuperLabel::SetBorderColor(TColor Value) { Update(FBorderColor, Value); }
void TuiSuperLabel::SetWordWrap(bool Value) { Update(FWordWrap, Value); }
void TuiSuperLabel::SetAlignment(TAlignment Value) { Update(FAlignment, Value); }
void TuiSuperLabel::SetCaption(const QString& Value) { Update(FCaption, Value); }
void TuiSuperLabel::SetColor(TColor Value) { Update(FColor, Value); }
void TuiSuperLabel::SetShowAccelChar(bool Value) { Update(FShowAccelChar, Value); }
void TuiSuperLabel::SetTransparent(bool Value) { Update(FTransparent, Value); }

void TuiSuperLabel::SetFocusControl(TControl* Value)
{
    SetObserved(FFocusControl, Value);
}

void TuiSuperLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TuiSuperLabel::EnabledChanged()
{
    Invalidate();
}

bool TuiSuperLabel::DialogChar(QChar Key, TShiftState Shift)
{
    if (!Shift.testFlag(ssAlt) || !FShowAccelChar || !FFocusControl || !FFocusControl->Enabled())
        return false;
    const QChar Accelerator = AcceleratorOf(FCaption);
    if (Accelerator.isNull() || Accelerator != Key.toLower())
        return false;
    if (FFocusControl->HandleAllocated())
        FFocusControl->Widget()->setFocus(Qt::ShortcutFocusReason);
    return true;
}

unsigned TuiSuperLabel::DrawTextFormat() const
{
    unsigned Format = DT_EXPANDTABS;
    if (FWordWrap)
        Format |= DT_WORDBREAK;
    if (!FShowAccelChar)
        Format |= DT_NOPREFIX;
    return Format;
}

void TuiSuperLabel::Paint(TCanvas& Canvas)
{
    const QString Text = FCaption.left(kMaxCaption);
    TRect R = ClientRect();
    if (!FTransparent) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(FColor);
        Canvas.FillRect(R);
    }
    int Inset = 0;
    int Far = 0; // what a border takes at the right and bottom
    if (FBorderStyle == bsSingle && FCtl3D) {
        // A sunken edge: highlight inside at the right and bottom, shadow
        // outside at the left and top.
        R.Left += 1;
        R.Top += 1;
        Canvas.Brush().SetColor(clBtnHighlight);
        Canvas.FrameRect(R);
        R = {R.Left - 1, R.Top - 1, R.Right - 1, R.Bottom - 1};
        Canvas.Brush().SetColor(clBtnShadow);
        Canvas.FrameRect(R);
        Inset = 2;
        Far = 1;
    } else if (FBorderStyle == bsSingle) {
        Canvas.Brush().SetColor(FBorderColor);
        Canvas.FrameRect(R);
        Inset = 1;
        Far = 1;
    } else if (IsDesigning()) {
        Canvas.Brush().SetColor(clGray);
        Canvas.FrameRect(R);
    }

    TRect Area{R.Left + FLeftMargin + Inset, R.Top + FTopMargin + Inset, R.Right - FRightMargin - Far,
               R.Bottom - FBottomMargin - Far};
    if (Area.IsEmpty())
        return;
    TDeviceContext& DC = Canvas.Handle();
    const std::optional<TRegion> OldClip = DC.ClipRegion();
    DC.IntersectClipRect(Area.Left, Area.Top, Area.Right, Area.Bottom);

    Canvas.Brush().SetStyle(bsClear);
    Canvas.Font().Assign(FFont.get());
    if (!Enabled())
        Canvas.Font().SetColor(clGrayText);
    const unsigned Format = DrawTextFormat();
    if (FVerticalAlignment != vaTop) {
        // Measured as one blank when there is nothing to show.
        const bool Blank = Text.isEmpty() || (FShowAccelChar && Text == QLatin1String("&"));
        TRect Measured = Area;
        const int Height = DrawText(Canvas, Blank ? QStringLiteral(" ") : Text, Measured, Format | DT_CALCRECT);
        int Shift = Area.Bottom - (Area.Top + Height - 1);
        if (FVerticalAlignment == vaCenter)
            Shift /= 2;
        // The top edge moves; the clip keeps the text inside the area.
        Area.Top += Shift;
    }
    unsigned Alignment = DT_LEFT;
    if (FAlignment == taRightJustify)
        Alignment = DT_RIGHT;
    else if (FAlignment == taCenter)
        Alignment = DT_CENTER;
    DrawText(Canvas, Text, Area, Format | Alignment);
    DC.SelectClipRgn(OldClip ? &*OldClip : nullptr);
    TControl::Paint(Canvas);
}

} // namespace lp
