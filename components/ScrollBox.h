#pragma once
// A scroll box: a control whose content (its child windows) can be larger
// than the control and is scrolled by a horizontal and a vertical position.
//
// Scroll messages arrive as Scroll(direction, code, position) with the
// classic codes (SB_LINEUP … SB_ENDSCROLL); the position is kept within
// 0 … range − client size, and the child windows move with it. The box
// draws no scroll bars of its own: the wheel and the owner's messages
// scroll it.

#include "components/EdgePanel.h"

namespace lp {

enum TScrollCode : int {
    SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5,
    SB_TOP = 6, SB_BOTTOM = 7, SB_ENDSCROLL = 8,
};

class TuiCustomScrollBox : public TControl {
    Q_OBJECT
public:
    using TBorderStyle = TuiCustomEdgePanel::TBorderStyle;

    // 185 x 41 pixels, single border, automatic scrolling on.
    explicit TuiCustomScrollBox(TComponent* AOwner = nullptr);
    ~TuiCustomScrollBox() override;

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value) { FAutoScroll = Value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // The size of the content; 0 = no more than the control.
    int HorzRange() const { return FHorzRange; }
    void SetHorzRange(int Value);
    int VertRange() const { return FVertRange; }
    void SetVertRange(int Value);
    int HorzPosition() const { return FHorzPosition; }
    int VertPosition() const { return FVertPosition; }

    // One scroll message; a line is 8 pixels, a page the client size.
    virtual void Scroll(bool Horizontal, int ScrollCode, int ScrollPos);

    void Paint(TCanvas& Canvas) override;
    // The wheel scrolls three lines (sideways with Shift).
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) override;

protected:
    // Moves to a position (clamped) and moves the child windows.
    void ScrollTo(bool Horizontal, int Position);

private:
    TBorderStyle FBorderStyle = TuiCustomEdgePanel::bsSingle;
    bool FAutoScroll = true;
    TColor FColor = clBtnFace;
    int FHorzRange = 0, FVertRange = 0;
    int FHorzPosition = 0, FVertPosition = 0;
};

} // namespace lp
