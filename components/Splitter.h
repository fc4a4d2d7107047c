#pragma once
// The multi-pane splitter: a container that divides its client area into
// up to four panes by one vertical and one horizontal bar, in one of eight
// layouts; the user drags the bars or moves them with the arrow keys.
//
//   TuiCustomEdgePanel ── TuiCustomSplit (ordered pane list; observed panes)
//                          └─ TuiCustomMultiSplit ── TuiSMultiSplit
//   TuiSplitPane, TuiScrollingSplitPane: the panes, attached by SetParent
//
// Panes are controls owned by their owner (the form); the splitter keeps
// them in order, sizes them and, once it has a window, shows their windows
// as its children. A pane or splitter going first detaches the other.
//
// Positions: SplitHPos is the x of the vertical bar's centre, SplitVPos the
// y of the horizontal bar's centre, in client pixels; the bar spans
// BarSpanH/BarSpanV follow from them and Thickness. While a bar is dragged
// the tracking bands (TrackingBands()) are shown inverted over the panes,
// unless MoveImmediate moves the bars at once.

#include "components/EdgePanel.h"
#include "components/ScrollBox.h"

#include <QtCore/QPointer>

#include <memory>
#include <vector>

class QWidget;

namespace lp {

// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

class TuiCustomSplit;

// What both pane classes share: the splitter they are attached to.
class TuiSplitPaneLink {
public:
    virtual ~TuiSplitPaneLink();
    // The splitter, or nullptr.
    TuiCustomSplit* Splitter() const { return FSplit; }
    // The place in the splitter's pane list; -1 without a splitter.
    int PaneIndex() const;
    // Moves the pane in the list; EListError outside 0 … count − 1.
    void SetPaneIndex(int Value);

protected:
    // Attaches to a splitter (nullptr detaches); any other parent ends the
    // operation with EAbort.
    void AttachTo(TControl* Self, TControl* AParent);
    void Detach(TControl* Self);

private:
    friend class TuiCustomSplit;
    TuiCustomSplit* FSplit = nullptr;
};

// The four-way sizing cursor, the system's own picture (registered by
// InitializeMultiSplit).
inline constexpr TCursor crSizeFourWay = -23;

class TuiCustomSplit : public TuiCustomEdgePanel {
    Q_OBJECT
public:
    explicit TuiCustomSplit(TComponent* AOwner = nullptr);
    ~TuiCustomSplit() override;

    int PaneCount() const { return static_cast<int>(FPanes.size()); }
    // ERangeError outside 0 … count − 1.
    TControl* Panes(int Index) const;
    int IndexOfPane(const TControl* Pane) const;

    // Pane list maintenance, used by the panes themselves.
    void InsertPane(TControl* Pane);
    void RemovePane(TControl* Pane);
    // EListError "%d is an invalid PaneIndex value.  PaneIndex must be
    // between 0 and %d"; the order is then unchanged.
    void MovePane(TControl* Pane, int NewIndex);

    // Places the panes (not while loading or destroying).
    virtual void LayoutPanes() {}

protected:
    void CreateWnd() override;
    // Gives each pane a window inside this control's window.
    void ParentPaneWindows();

private:
    std::vector<TControl*> FPanes;
};

class TuiCustomMultiSplit : public TuiCustomSplit {
    Q_OBJECT
public:
    enum TuiMultiSplitLayout {
        mslSingle, mslVert, mslHorz, mslLeftTopBottom, mslRightTopBottom, mslLeftRightBottom, mslTopLeftRight,
        mslFourWay
    };
    Q_ENUM(TuiMultiSplitLayout)
    enum TuiSplitMoveStyle { amsBlack, amsDark, amsMedium, amsMediumLight, amsLight, amsNoLine, amsImmediate };
    Q_ENUM(TuiSplitMoveStyle)

    // The private message that applies the positions after start-up.
    static constexpr int WM_SPLITSTARTUP = 28683;

    // 100 x 100 pixels, four-way layout, both bars at 50.
    explicit TuiCustomMultiSplit(TComponent* AOwner = nullptr);
    ~TuiCustomMultiSplit() override;

    TuiMultiSplitLayout Layout() const { return FLayout; }
    void SetLayout(TuiMultiSplitLayout Value);
    int SplitHPos() const { return FSplitHPos; }
    void SetSplitHPos(int Value);
    int SplitVPos() const { return FSplitVPos; }
    void SetSplitVPos(int Value);
    int SplitHPercent() const { return FSplitHPercent; }
    void SetSplitHPercent(int Value);
    int SplitVPercent() const { return FSplitVPercent; }
    void SetSplitVPercent(int Value);
    int SplitHMin() const { return FSplitHMin; }
    void SetSplitHMin(int Value);
    int SplitHMax() const { return FSplitHMax; }
    void SetSplitHMax(int Value);
    int SplitVMin() const { return FSplitVMin; }
    void SetSplitVMin(int Value);
    int SplitVMax() const { return FSplitVMax; }
    void SetSplitVMax(int Value);
    bool SplitHLock() const { return FSplitHLock; }
    void SetSplitHLock(bool Value) { FSplitHLock = Value; }
    bool SplitVLock() const { return FSplitVLock; }
    void SetSplitVLock(bool Value) { FSplitVLock = Value; }
    bool SplitHScaled() const { return FSplitHScaled; }
    void SetSplitHScaled(bool Value) { FSplitHScaled = Value; }
    bool SplitVScaled() const { return FSplitVScaled; }
    void SetSplitVScaled(bool Value) { FSplitVScaled = Value; }
    int Thickness() const { return FThickness; }
    // 0 … 255; re-applies both positions.
    void SetThickness(int Value);
    TColor SplitColor() const { return FSplitColor; }
    void SetSplitColor(TColor Value);
    TPanelBevel SplitBevel() const { return FSplitBevel; }
    void SetSplitBevel(TPanelBevel Value);
    TuiSplitMoveStyle SplitMoveStyle() const { return FSplitMoveStyle; }
    void SetSplitMoveStyle(TuiSplitMoveStyle Value) { FSplitMoveStyle = Value; }
    bool MoveImmediate() const { return FSplitMoveStyle == amsImmediate; }
    void SetMoveImmediate(bool Value);
    int KeyIncrement() const { return FKeyIncrement; }
    void SetKeyIncrement(int Value) { FKeyIncrement = Value; }
    bool SyncHScroll() const { return FSyncHScroll; }
    void SetSyncHScroll(bool Value) { FSyncHScroll = Value; }
    bool SyncVScroll() const { return FSyncVScroll; }
    void SetSyncVScroll(bool Value) { FSyncVScroll = Value; }

    std::function<void(TControl*)> OnSplitMoveH;
    std::function<void(TControl*)> OnSplitMoveV;

    // The cursor of the control and of every pane (new panes take it too).
    void SetCursor(TCursor Value);

    // Derived values.
    int Inset() const { return FInset; }
    // The vertical bar's first and last x, the horizontal bar's first and
    // last y (inclusive).
    std::pair<int, int> BarSpanH() const { return {FVL, FVR}; }
    std::pair<int, int> BarSpanV() const { return {FHT, FHB}; }
    // The point moved into the range the bars may take.
    TPoint ClampPoint(TPoint P) const;
    // The pane rectangle of the layout for pane Index (0 … 3), or an empty
    // optional when the layout hides that pane.
    std::optional<TRect> PaneRect(int Index) const;
    // The cursor over a client point: a split cursor over a movable bar,
    // the control's Cursor elsewhere.
    TCursor CursorAt(int X, int Y) const;
    // True while a drag is under way; the bands shown now (empty for
    // amsNoLine and amsImmediate), in client coordinates.
    bool Dragging() const { return FDragging; }
    const std::vector<TRect>& TrackingBands() const { return FBands; }
    // Whether the splitter takes an arrow key (VK_LEFT … VK_DOWN).
    bool WantsKey(int Key) const;
    // Whether the positions were applied after start-up.
    bool Initialized() const { return FInitialized; }
    // The start-up message: applies both positions and lays out the panes.
    void ApplyStartupPositions();
    // From a scrolling pane: sends the scroll to every other pane when the
    // direction is synchronised (once: their own reports are not passed on).
    void PaneScrolled(TControl* Pane, bool Horizontal, int ScrollCode, int Position);

    void LayoutPanes() override;
    void Paint(TCanvas& Canvas) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(int& Key, TShiftState Shift) override;
    void Resize() override;
    void Loaded() override;

protected:
    void BordersChanged() override;
    void CreateWnd() override;

private:
    void PostStartup();
    void UpdateInset();
    // Clamps and stores a position; false when there is no size yet.
    void ApplyHPos(int Value, bool Notify);
    void ApplyVPos(int Value, bool Notify);
    void UpdateSpans();
    bool ShowsVerticalBar(int Y) const;
    bool ShowsHorizontalBar(int X) const;
    // The bands of the bars being moved, through point P.
    std::vector<TRect> BandsAt(TPoint P) const;
    void ShowBands(const std::vector<TRect>& Bands);
    void PaintBars(TCanvas& Canvas) const;

    TuiMultiSplitLayout FLayout = mslFourWay;
    int FSplitHPos = 50;
    int FSplitVPos = 50;
    int FSplitHPercent = 50;
    int FSplitVPercent = 50;
    int FSplitHMin = 0, FSplitHMax = 0, FSplitVMin = 0, FSplitVMax = 0;
    bool FSplitHLock = false, FSplitVLock = false;
    bool FSplitHScaled = false, FSplitVScaled = false;
    int FThickness = 2;
    TColor FSplitColor = clBtnFace;
    TPanelBevel FSplitBevel = bvRaised;
    TuiSplitMoveStyle FSplitMoveStyle = amsBlack;
    int FKeyIncrement = 10;
    bool FSyncHScroll = false, FSyncVScroll = false;
    bool FSyncing = false;

    int FInset = 1;
    int FVL = 0, FVR = 0, FHT = 0, FHB = 0;
    bool FInitialized = false;

    bool FDragging = false;
    TCursor FDragCursor = crDefault;
    TPoint FDragPoint{};
    std::vector<TRect> FBands;
    QPointer<QWidget> FOverlay; // shows the tracking bands over the panes (owned)
};

using TuiMultiSplitLayout = TuiCustomMultiSplit::TuiMultiSplitLayout;
using TuiSplitMoveStyle = TuiCustomMultiSplit::TuiSplitMoveStyle;

class TuiSMultiSplit : public TuiCustomMultiSplit {
    Q_OBJECT
    Q_PROPERTY(lp::TuiCustomMultiSplit::TuiMultiSplitLayout Layout READ Layout WRITE SetLayout)
    Q_CLASSINFO("default:Layout", "mslFourWay")
    Q_PROPERTY(int SplitHPos READ SplitHPos WRITE SetSplitHPos)
    Q_CLASSINFO("default:SplitHPos", "50")
    Q_PROPERTY(int SplitVPos READ SplitVPos WRITE SetSplitVPos)
    Q_CLASSINFO("default:SplitVPos", "50")
    Q_PROPERTY(int SplitHPercent READ SplitHPercent WRITE SetSplitHPercent STORED false)
    Q_PROPERTY(int SplitVPercent READ SplitVPercent WRITE SetSplitVPercent STORED false)
    Q_PROPERTY(int SplitHMin READ SplitHMin WRITE SetSplitHMin)
    Q_CLASSINFO("default:SplitHMin", "0")
    Q_PROPERTY(int SplitHMax READ SplitHMax WRITE SetSplitHMax)
    Q_CLASSINFO("default:SplitHMax", "0")
    Q_PROPERTY(int SplitVMin READ SplitVMin WRITE SetSplitVMin)
    Q_CLASSINFO("default:SplitVMin", "0")
    Q_PROPERTY(int SplitVMax READ SplitVMax WRITE SetSplitVMax)
    Q_CLASSINFO("default:SplitVMax", "0")
    Q_PROPERTY(bool SplitHLock READ SplitHLock WRITE SetSplitHLock)
    Q_CLASSINFO("default:SplitHLock", "false")
    Q_PROPERTY(bool SplitVLock READ SplitVLock WRITE SetSplitVLock)
    Q_CLASSINFO("default:SplitVLock", "false")
    Q_PROPERTY(bool SplitHScaled READ SplitHScaled WRITE SetSplitHScaled)
    Q_CLASSINFO("default:SplitHScaled", "false")
    Q_PROPERTY(bool SplitVScaled READ SplitVScaled WRITE SetSplitVScaled)
    Q_CLASSINFO("default:SplitVScaled", "false")
    Q_PROPERTY(int Thickness READ Thickness WRITE SetThickness)
    Q_CLASSINFO("default:Thickness", "2")
    Q_PROPERTY(int SplitColor READ SplitColor WRITE SetSplitColor)
    Q_CLASSINFO("default:SplitColor", "0x8000000F")
    Q_PROPERTY(lp::TuiCustomEdgePanel::TPanelBevel SplitBevel READ SplitBevel WRITE SetSplitBevel)
    Q_CLASSINFO("default:SplitBevel", "bvRaised")
    Q_PROPERTY(lp::TuiCustomMultiSplit::TuiSplitMoveStyle SplitMoveStyle READ SplitMoveStyle WRITE SetSplitMoveStyle)
    Q_CLASSINFO("default:SplitMoveStyle", "amsBlack")
    Q_PROPERTY(bool MoveImmediate READ MoveImmediate WRITE SetMoveImmediate STORED false)
    Q_PROPERTY(int KeyIncrement READ KeyIncrement WRITE SetKeyIncrement)
    Q_CLASSINFO("default:KeyIncrement", "10")
    Q_PROPERTY(bool SyncHScroll READ SyncHScroll WRITE SetSyncHScroll)
    Q_CLASSINFO("default:SyncHScroll", "false")
    Q_PROPERTY(bool SyncVScroll READ SyncVScroll WRITE SetSyncVScroll)
    Q_CLASSINFO("default:SyncVScroll", "false")
    Q_PROPERTY(lp::TuiCustomEdgePanel::TBevelEdges BevelEdges READ BevelEdges WRITE SetBevelEdges)
    Q_CLASSINFO("default:BevelEdges", "beLeft|beTop|beRight|beBottom")
    Q_PROPERTY(lp::TuiCustomEdgePanel::TPanelBevel BevelInner READ BevelInner WRITE SetBevelInner)
    Q_CLASSINFO("default:BevelInner", "bvNone")
    Q_PROPERTY(lp::TuiCustomEdgePanel::TPanelBevel BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_CLASSINFO("default:BevelOuter", "bvRaised")
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_CLASSINFO("default:BevelWidth", "1")
    Q_PROPERTY(lp::TuiCustomEdgePanel::TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_CLASSINFO("default:BorderStyle", "bsNone")
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_CLASSINFO("default:BorderWidth", "0")
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0x8000000F")
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
    Q_CLASSINFO("default:Cursor", "0")

public:
    using TuiCustomMultiSplit::TuiCustomMultiSplit;
};

// A pane: a plain area that holds controls, colour clWindow, no bevel.
class TuiSplitPane : public TuiCustomEdgePanel, public TuiSplitPaneLink {
    Q_OBJECT
    Q_PROPERTY(int PaneIndex READ PaneIndex WRITE SetPaneIndex STORED false)

public:
    explicit TuiSplitPane(TComponent* AOwner = nullptr);
    ~TuiSplitPane() override;
    // A TuiCustomSplit or nullptr; any other parent raises EAbort.
    void SetParent(TControl* AParent) { AttachTo(this, AParent); }
};

// A pane on a scroll box, without border: raises OnScrollH/OnScrollV, may
// change the position, scrolls, then tells its splitter.
class TuiScrollingSplitPane : public TuiCustomScrollBox, public TuiSplitPaneLink {
    Q_OBJECT
    Q_PROPERTY(int PaneIndex READ PaneIndex WRITE SetPaneIndex STORED false)

public:
    explicit TuiScrollingSplitPane(TComponent* AOwner = nullptr);
    ~TuiScrollingSplitPane() override;
    void SetParent(TControl* AParent) { AttachTo(this, AParent); }

    std::function<void(TControl*, int ScrollCode, int& ScrollPos)> OnScrollH;
    std::function<void(TControl*, int ScrollCode, int& ScrollPos)> OnScrollV;

    void Scroll(bool Horizontal, int ScrollCode, int ScrollPos) override;
};

// Registers the pane classes for streaming and the four-way cursor; the
// finalisation undoes both.
void InitializeMultiSplit();
void FinalizeMultiSplit();
// The four-way cursor's picture (32 x 32, hot spot at the centre).
QCursor FourWayCursor();

} // namespace lp
