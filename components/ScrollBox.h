#pragma once
// A scroll box: a control whose content (its child windows) can be larger
// than the control and is scrolled by a horizontal and a vertical position.
//
// Scroll messages arrive as Scroll(direction, code, position) with the
// classic codes (SB_LINEUP … SB_ENDSCROLL); the position is kept within
// 0 … range − page, and the child windows move with it. A direction whose
// range exceeds its page shows a scroll bar along the bottom or the right
// edge, inside the border; the bars take their room from the page, and
// dragging or clicking them sends the same scroll messages as the wheel.
//
// Ranges: the explicit HorzRange and VertRange; with AutoScroll on, each at
// least as large as the child windows reach, followed as children are
// added, moved, resized, shown or hidden. With AutoScroll off, children
// beyond the page stay out of reach unless a range is set.

#include "components/EdgePanel.h"

#include <QtCore/QPointer>
#include <QtWidgets/QScrollBar>


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
    void SetAutoScroll(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // The size of the content as set; 0 = no more than the control.
    int HorzRange() const { return FHorzRange; }
    void SetHorzRange(int Value);
    int VertRange() const { return FVertRange; }
    void SetVertRange(int Value);
    // The ranges in force: the set ones, with AutoScroll at least as far as
    // the child windows reach.
    int HorzScrollRange() const;
    int VertScrollRange() const;
    int HorzPosition() const { return FHorzPosition; }
    int VertPosition() const { return FVertPosition; }

    // Whether a direction shows its scroll bar (its range exceeds its page).
    bool HorzScrollBarVisible() const { return BarsShown().Horizontal; }
    bool VertScrollBarVisible() const { return BarsShown().Vertical; }
    // The visible part of the content: the client area less the border and
    // the bars shown.
    int HorzPage() const;
    int VertPage() const;
    // Thickness of a scroll bar in pixels.
    static int ScrollBarSize();
    // The bar widgets (nullptr before the window exists).
    QScrollBar* HorzScrollBar() const { return FHorzBar; }
    QScrollBar* VertScrollBar() const { return FVertBar; }

    // One scroll message; a line is 8 pixels, a page the visible part.
    virtual void Scroll(bool Horizontal, int ScrollCode, int ScrollPos);

    void Paint(TCanvas& Canvas) override;
    // The wheel scrolls three lines (sideways with Shift).
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) override;
    void Resize() override;

protected:
    // Moves to a position (clamped) and moves the child windows.
    void ScrollTo(bool Horizontal, int Position);
    // Creates the bars and starts following the child windows.
    void CreateWnd() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    struct TBars {
        bool Horizontal = false;
        bool Vertical = false;
    };
    // Which bars the ranges need: one bar's thickness can make the other
    // direction's page too small.
    TBars BarsShown() const;
    int BorderWidth() const;
    // How far the child windows reach in content pixels (0 without a
    // window).
    int ContentExtent(bool Horizontal) const;
    // Ranges, pages, positions and the bars' places after any change.
    void UpdateScrollBars();
    bool IsBar(const QObject* Object) const;

    TBorderStyle FBorderStyle = TuiCustomEdgePanel::bsSingle;
    bool FAutoScroll = true;
    TColor FColor = clBtnFace;
    int FHorzRange = 0, FVertRange = 0;
    int FHorzPosition = 0, FVertPosition = 0;
    // Owned by the window, which may go first.
    QPointer<QScrollBar> FHorzBar, FVertBar;
    // While the box moves its own children or bars.
    bool FArranging = false;
};

} // namespace lp
