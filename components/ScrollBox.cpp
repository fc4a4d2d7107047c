#include "components/ScrollBox.h"

#include "platform/ui/Edges.h"

#include <QtWidgets/QWidget>

#include <algorithm>

namespace lp {

namespace {

constexpr int kLine = 8;

} // namespace

TuiCustomScrollBox::TuiCustomScrollBox(TComponent* AOwner) : TControl(AOwner)
{
    SetBounds(0, 0, 185, 41);
}

TuiCustomScrollBox::~TuiCustomScrollBox() = default;

void TuiCustomScrollBox::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    Invalidate();
}

void TuiCustomScrollBox::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    Invalidate();
}

void TuiCustomScrollBox::SetHorzRange(int Value)
{
    FHorzRange = std::max(Value, 0);
    ScrollTo(true, FHorzPosition);
}

void TuiCustomScrollBox::SetVertRange(int Value)
{
    FVertRange = std::max(Value, 0);
    ScrollTo(false, FVertPosition);
}

void TuiCustomScrollBox::ScrollTo(bool Horizontal, int Position)
{
    const int Range = Horizontal ? FHorzRange : FVertRange;
    const int Page = Horizontal ? Width() : Height();
    Position = std::clamp(Position, 0, std::max(Range - Page, 0));
    int& Current = Horizontal ? FHorzPosition : FVertPosition;
    const int Delta = Position - Current;
    if (Delta == 0)
        return;
    Current = Position;
    if (HandleAllocated())
        Widget()->scroll(Horizontal ? -Delta : 0, Horizontal ? 0 : -Delta);
}

void TuiCustomScrollBox::Scroll(bool Horizontal, int ScrollCode, int ScrollPos)
{
    const int Current = Horizontal ? FHorzPosition : FVertPosition;
    const int Page = std::max(Horizontal ? Width() : Height(), 1);
    const int Range = Horizontal ? FHorzRange : FVertRange;
    switch (ScrollCode) {
    case SB_LINEUP: ScrollTo(Horizontal, Current - kLine); break;
    case SB_LINEDOWN: ScrollTo(Horizontal, Current + kLine); break;
    case SB_PAGEUP: ScrollTo(Horizontal, Current - Page); break;
    case SB_PAGEDOWN: ScrollTo(Horizontal, Current + Page); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: ScrollTo(Horizontal, ScrollPos); break;
    case SB_TOP: ScrollTo(Horizontal, 0); break;
    case SB_BOTTOM: ScrollTo(Horizontal, Range); break;
    default: break;
    }
}

bool TuiCustomScrollBox::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos)
{
    if (TControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    const bool Horizontal = Shift.testFlag(ssShift);
    const int Code = WheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN;
    for (int Line = 0; Line < 3; ++Line)
        Scroll(Horizontal, Code, 0);
    return true;
}

void TuiCustomScrollBox::Paint(TCanvas& Canvas)
{
    TRect R = ClientRect();
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FColor);
    Canvas.FillRect(R);
    if (FBorderStyle == TuiCustomEdgePanel::bsSingle)
        DrawEdge(Canvas, R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    TControl::Paint(Canvas);
}

} // namespace lp
