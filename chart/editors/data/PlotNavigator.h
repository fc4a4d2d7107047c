#pragma once
// The navigator bar: nine flat buttons for moving through and editing
// records, laid out edge to edge across the bar.
//
//   TCustomPlotNavigator (QFrame)
//     ├─owns─> TPlotNavButton × 9    First … Cancel; Insert … Cancel hidden
//     │                              until a descendant shows the ones it uses
//     └─observes─> TCustomPlotPanel  the chart the bar follows (a listener)
//
// The base lays out, keeps hints, handles the keyboard and the focused
// button and reports clicks; descendants decide what a click does
// (BtnClick) and when each button is enabled (EnableButtons).

#include "chart/canvas/PlotPanel.h"

#include <QtCore/QPointer>
#include <QtCore/QStringList>
#include <QtWidgets/QFrame>
#include <QtWidgets/QToolButton>

#include <array>
#include <functional>

namespace lp {

enum TPlotNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel };
inline constexpr int PlotNavButtonCount = 9;

// The name of a button kind, "First" … "Cancel"; its glyph resource is
// "PlotNav_<name>".
QString PlotNavButtonName(TPlotNavigateBtn Kind);

// A flat button that repeats its click while held: first after 400 ms, then
// every 100 ms. Shows the bar's focus rectangle when it is the bar's focused
// button and the bar has the keyboard focus.
class TPlotNavButton : public QToolButton {
    Q_OBJECT
public:
    TPlotNavButton(TPlotNavigateBtn Kind, QWidget* Parent);
    TPlotNavigateBtn Index() const { return FIndex; }

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TPlotNavigateBtn FIndex;
};

class TCustomPlotNavigator : public QFrame, public IPlotEventListener {
    Q_OBJECT
    Q_PROPERTY(bool Locked READ Locked WRITE SetLocked)
    Q_PROPERTY(bool Aligned READ Aligned WRITE SetAligned)
    Q_PROPERTY(QStringList Hints READ Hints WRITE SetHints)
public:
    static constexpr int MinButtonWidth = 20;
    static constexpr int MinButtonHeight = 18;

    // 241 × 25, unaligned, the four moving buttons showing.
    explicit TCustomPlotNavigator(QWidget* Parent = nullptr);
    ~TCustomPlotNavigator() override;

    // ERangeError outside 0 .. 8.
    TPlotNavButton* Button(int Kind) const;
    int ButtonWidth() const { return FButtonWidth; }
    TPlotNavigateBtn FocusedButton() const { return FFocusedButton; }

    // User hints by kind: an empty entry keeps the default text, entries
    // after the ninth are ignored. Setting re-applies all hints.
    QStringList Hints() const { return FHints; }
    void SetHints(const QStringList& Value);

    // Stored for descendants.
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value) { FLocked = Value; }

    // An aligned bar keeps the width its parent gives it; an unaligned one
    // shrinks to a whole number of buttons.
    bool Aligned() const { return FAligned; }
    void SetAligned(bool Value);

    // The chart the bar follows; none when it is destroyed.
    TCustomPlotPanel* Panel() const { return FPanel.data(); }
    virtual void SetPanel(TCustomPlotPanel* Value);

    // Places the visible buttons edge to edge, the remainder of the width
    // handed out one pixel at a time; hidden buttons go past the right edge.
    void ArrangeButtons();

    // Called after every click with the button's kind.
    std::function<void(TPlotNavigateBtn Kind)> OnButtonClicked;

    // The shown buttons at their least size: a layout never makes the bar
    // smaller than its buttons.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    void PlotEvent(TPlotEvent& Event) override;

protected:
    virtual void CreateButtons();
    virtual void EnableButtons() {}
    virtual void BtnClick(TPlotNavigateBtn Kind);
    // Makes Kind the focused button (taking the focus when the bar can).
    void SetFocusedButton(TPlotNavigateBtn Kind);

    void resizeEvent(QResizeEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void ApplyHints();
    void MoveFocus(int Step);

    std::array<TPlotNavButton*, PlotNavButtonCount> FButtons{};
    QStringList FHints;
    QPointer<TCustomPlotPanel> FPanel;
    TPlotNavigateBtn FFocusedButton = nbFirst;
    int FButtonWidth = MinButtonWidth;
    bool FLocked = false;
    bool FAligned = false;
    bool FArranging = false;
};

} // namespace lp
