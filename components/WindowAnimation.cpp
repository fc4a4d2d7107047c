#include "components/WindowAnimation.h"

#include "platform/ui/Forms.h"

#include <algorithm>

namespace lp {

void TuiAnimateWin::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TuiAnimateWin::SetDuration(int Value)
{
    Value = std::clamp(Value, 0, 65535);
    if (FDuration == Value)
        return;
    FDuration = Value;
    Changed();
}

void TuiAnimateWin::SetEffect(TuiAnimEffect Value)
{
    if (FEffect == Value)
        return;
    FEffect = Value;
    if ((Value == aweRoll || Value == aweSlide) && FHorz == awdNone && FVert == awdNone)
        FHorz = awdPositive;
    Changed();
}

void TuiAnimateWin::DropDirectionlessRoll()
{
    if ((FEffect == aweRoll || FEffect == aweSlide) && FHorz == awdNone && FVert == awdNone)
        FEffect = aweNone;
}

void TuiAnimateWin::SetHorz(TuiAnimDirection Value)
{
    if (FHorz == Value)
        return;
    FHorz = Value;
    DropDirectionlessRoll();
    Changed();
}

void TuiAnimateWin::SetVert(TuiAnimDirection Value)
{
    if (FVert == Value)
        return;
    FVert = Value;
    DropDirectionlessRoll();
    Changed();
}

unsigned TuiAnimateWin::Flags(bool Hiding) const
{
    unsigned Result = Hiding ? AW_HIDE : 0u;
    switch (FEffect) {
    case aweSlide: Result |= AW_SLIDE; break;
    case aweBlend: Result |= AW_BLEND; break;
    case aweCenter: Result |= AW_CENTER; break;
    default: break;
    }
    if (FHorz == awdPositive)
        Result |= AW_HOR_POSITIVE;
    else if (FHorz == awdNegative)
        Result |= AW_HOR_NEGATIVE;
    if (FVert == awdPositive)
        Result |= AW_VER_POSITIVE;
    else if (FVert == awdNegative)
        Result |= AW_VER_NEGATIVE;
    return Result;
}

bool TuiAnimateWin::Animate(QWidget* Window, bool Hiding) const
{
    if (FEffect == aweNone)
        return false;
    return AnimateWindow(Window, FDuration, Flags(Hiding));
}

void TuiAnimateWin::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TuiAnimateWin*>(Source)) {
        FDuration = Other->FDuration;
        FEffect = Other->FEffect;
        FHorz = Other->FHorz;
        FVert = Other->FVert;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

} // namespace lp
