#include "components/PictureButton.h"

#include "components/PictureButton_p.h"
#include "platform/core/ClassRegistry.h"
#include "platform/ui/Forms.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QWidget>

#include <algorithm>

namespace lp {

TuiPicBtn::TuiPicBtn(TComponent* AOwner)
    : TControl(AOwner), FPicture(std::make_unique<TPicture>()), FGlyph(std::make_unique<TuiButtonGlyph>()),
      FFont(std::make_unique<TFont>())
{
    FFont->SetName(QStringLiteral("Tahoma"));
    FFont->SetHeight(-11);
    FFont->OnChange = [this](TGraphicsObject*) { Invalidate(); };
    FPicture->OnChange = [this](TPicture*) {
        FGlyph->SetPicture(FPicture.get());
        Invalidate();
    };
    SetBounds(0, 0, 75, 25);
}

TuiPicBtn::~TuiPicBtn()
{
    if (FImages)
        FImages->UnRegisterChanges(this);
}

template <class T>
void TuiPicBtn::Update(T& Field, const T& Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Invalidate();
}

void TuiPicBtn::SetStyle(TuiButtonStyle Value) { Update(FStyle, Value); }
void TuiPicBtn::SetLayout(TuiButtonLayout Value) { Update(FLayout, Value); }
void TuiPicBtn::SetSpacing(int Value) { Update(FSpacing, Value); }
void TuiPicBtn::SetTextStyle(TuiTextStyle Value) { Update(FTextStyle, Value); }
void TuiPicBtn::SetPopup(bool Value) { Update(FPopup, Value); }
void TuiPicBtn::SetCaption(const QString& Value) { Update(FCaption, Value); }
void TuiPicBtn::SetRightToLeft(bool Value) { Update(FRightToLeft, Value); }

void TuiPicBtn::SetMargin(int Value)
{
    if (Value < -1)
        return;
    Update(FMargin, Value);
}

int TuiPicBtn::NumGlyphs() const
{
    return FGlyph->NumGlyphs();
}

void TuiPicBtn::SetNumGlyphs(int Value)
{
    Value = std::clamp(Value, 1, 5);
    if (Value == NumGlyphs())
        return;
    FGlyph->SetNumGlyphs(Value);
    Invalidate();
}

TuiPicBtn::TuiGlyphHighlight TuiPicBtn::PictureHighlight() const
{
    return FGlyph->Highlight();
}

void TuiPicBtn::SetPictureHighlight(TuiGlyphHighlight Value)
{
    if (Value == PictureHighlight())
        return;
    FGlyph->SetHighlight(Value);
    Invalidate();
}

TColor TuiPicBtn::TransparentColor() const
{
    return FGlyph->TransparentColor();
}

void TuiPicBtn::SetTransparentColor(TColor Value)
{
    FGlyph->SetTransparentColor(Value);
    Invalidate();
}

bool TuiPicBtn::IsTransparentColorStored() const
{
    return FGlyph->TransparentColorSet();
}

void TuiPicBtn::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    FGlyph->SetColor(Value);
    Invalidate();
}

void TuiPicBtn::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->UnRegisterChanges(this);
    SetObserved(FImages, Value);
    if (FImages)
        FImages->RegisterChanges(this, [this] {
            FGlyph->Invalidate();
            Invalidate();
        });
    FGlyph->SetImages(FImages);
    Invalidate();
}

int TuiPicBtn::ImageIndex() const
{
    return FGlyph->ImageIndex();
}

void TuiPicBtn::SetImageIndex(int Value)
{
    if (Value == ImageIndex())
        return;
    FGlyph->SetImageIndex(Value);
    Invalidate();
}

void TuiPicBtn::ActionChange(int ActionImageIndex, bool CheckDefaults)
{
    if (!CheckDefaults || ImageIndex() == -1)
        SetImageIndex(ActionImageIndex);
}

void TuiPicBtn::SetDisabledShadow(bool Value)
{
    if (FDisabledShadow == Value)
        return;
    FDisabledShadow = Value;
    if (!Enabled())
        Invalidate();
}

void TuiPicBtn::SetSoundList(TuiCustomWaveList* Value)
{
    SetObserved(FSoundList, Value);
}

void TuiPicBtn::SetDefault(bool Value)
{
    FDefault = Value;
    SetIsActive(Value);
}

void TuiPicBtn::SetIsActive(bool Value)
{
    Update(FIsActive, Value);
}

void TuiPicBtn::Notification(TComponent* AComponent, TOperation Operation)
{
    TControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages) {
        FImages = nullptr;
        FGlyph->SetImages(nullptr);
        Invalidate();
    }
    if (AComponent == FSoundList)
        FSoundList = nullptr;
}

void TuiPicBtn::EnabledChanged()
{
    if (!Enabled())
        FMouseInControl = false;
    Invalidate();
}

void TuiPicBtn::SysColorChange()
{
    FGlyph->Invalidate();
    Invalidate();
}

QImage TuiPicBtn::GlyphImage(TuiGlyphState State) const
{
    return FGlyph->StateImage(State);
}

TuiPicBtn::TuiGlyphState TuiPicBtn::DrawState() const
{
    if (!Enabled())
        return gsDisabled;
    if (FPressed)
        return gsDown;
    if (FFocused || FMouseInControl || FIsActive)
        return gsHot;
    return gsUp;
}

// --- Mouse, keys and focus --------------------------------------------------------------------

std::function<bool()>& TuiPicBtn::ApplicationActiveHook()
{
    static std::function<bool()> Hook = [] { return QGuiApplication::applicationState() == Qt::ApplicationActive; };
    return Hook;
}

bool TuiPicBtn::HoverChangesLook() const
{
    switch (FStyle) {
    case absThinHighlight:
    case absMidHighlight:
    case absThickHighlight:
    case absFramedHighlight:
    case absFramedBlackHighlight:
    case absRecessedHighlight:
    case absRecessedBlackHighlight: return true;
    default: return FPopup || PictureHighlight() != aghNormal;
    }
}

void TuiPicBtn::PlaySound(int Index)
{
    if (Index >= 0 && FSoundList)
        FSoundList->Play(Index);
}

void TuiPicBtn::MouseEnter()
{
    const bool Active = ApplicationActiveHook() ? ApplicationActiveHook()() : true;
    if (Active && !FMouseInControl && Enabled() && !QWidget::mouseGrabber()) {
        FMouseInControl = true;
        if (HoverChangesLook())
            Invalidate();
        PlaySound(FSoundOver);
        TControl::MouseEnter();
    }
}

void TuiPicBtn::MouseLeave()
{
    if (!FMouseInControl)
        return;
    FMouseInControl = false;
    if (HoverChangesLook())
        Invalidate();
    TControl::MouseLeave();
}

void TuiPicBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Enabled()) {
        PlaySound(FSoundDown);
        FTracking = true;
        FPressed = true;
        Invalidate();
    }
    TControl::MouseDown(Button, Shift, X, Y);
}

void TuiPicBtn::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FTracking) {
        const bool Inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
        if (Inside != FPressed) {
            FPressed = Inside;
            Invalidate();
        }
    }
    TControl::MouseMove(Shift, X, Y);
}

void TuiPicBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FTracking) {
        FTracking = false;
        FPressed = false;
        // The mouse may have left or come back while the button was held.
        const bool Inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
        if (FPopup && Inside && !FMouseInControl)
            MouseEnter();
        else if (FPopup && !Inside && FMouseInControl)
            MouseLeave();
        Invalidate();
    }
    TControl::MouseUp(Button, Shift, X, Y);
}

void TuiPicBtn::Click()
{
    if (FModalResult != 0)
        if (auto* Form = qobject_cast<TForm*>(Owner()))
            Form->SetModalResult(FModalResult);
    TControl::Click();
}

void TuiPicBtn::KeyDown(int& Key, TShiftState Shift)
{
    TControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && Enabled() && !FPressed) {
        FPressed = true;
        Invalidate();
    }
}

void TuiPicBtn::KeyUp(int& Key, TShiftState Shift)
{
    TControl::KeyUp(Key, Shift);
    if (Key == VK_SPACE && FPressed && !FTracking) {
        FPressed = false;
        Invalidate();
        Click();
    }
}

void TuiPicBtn::DoEnter()
{
    FFocused = true;
    Invalidate();
    TControl::DoEnter();
}

void TuiPicBtn::DoExit()
{
    FFocused = false;
    Invalidate();
    TControl::DoExit();
}

void RegisterPicButtons()
{
    RegisterClass<TuiPicBtn>();
}

void UnregisterPicButtons()
{
    UnRegisterClass(QStringLiteral("TuiPicBtn"));
}

} // namespace lp
