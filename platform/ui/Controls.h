#pragma once
// Controls: components that draw themselves and take mouse and keyboard
// input, with or without a window.
//
//   TControl (a TComponent) ──owns, on demand──> TControlHost (a QWidget)
//                                                  └─ backing image + TCanvas
//
// A control works without any window (charts draw into bitmaps, metafiles
// and printers). Widget() creates its host the first time it is asked for:
// the host forwards paint, resize, mouse, wheel, key, enter/leave and focus
// events to the control's virtual methods and catches every exception a
// handler throws, handing it to the application object — no exception ever
// reaches Qt's event loop. A key the control does not use goes on to the
// parent windows (a dialog's Escape and Return keep working).
//
// Painting happens into the host's backing image, which the host then shows.
// Drawing outside painting (rubber bands, overlays) goes to WindowCanvas(),
// the canvas over the same backing image; it shows at once and lasts until
// the next paint.

#include "platform/core/Component.h"
#include "platform/graphics/Canvas.h"
#include "platform/ui/Application.h"

#include <QtWidgets/QWidget>

#include <functional>
#include <memory>

namespace lp {

class TControlHost;
class TPainterDC;

class TControl : public TComponent {
    Q_OBJECT
public:
    enum TMouseButton { mbLeft, mbRight, mbMiddle };
    Q_ENUM(TMouseButton)
    enum TShiftStateFlag {
        ssShift = 0x01,
        ssAlt = 0x02,
        ssCtrl = 0x04,
        ssLeft = 0x08,
        ssRight = 0x10,
        ssMiddle = 0x20,
        ssDouble = 0x40,
    };
    Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
    Q_FLAG(TShiftState)
    // Where the control sits in its parent window: alNone keeps its bounds,
    // the others fill the parent's client area or a full-length side of it.
    enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
    Q_ENUM(TAlign)

private:
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_CLASSINFO("default:Left", "0")
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_CLASSINFO("default:Top", "0")
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_CLASSINFO("default:Enabled", "true")
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
    Q_CLASSINFO("default:Cursor", "0")

public:
    explicit TControl(TComponent* AOwner = nullptr);
    ~TControl() override;

    int Left() const { return FLeft; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    int Top() const { return FTop; }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    int Width() const { return FWidth; }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    // Moves and sizes the control (and its window); Resize runs when the
    // size changed.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
    TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }

    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value);
    TAlign Align() const { return FAlign; }
    // Stores the alignment and applies it at once when the control has a
    // window inside a parent; the window follows the parent's resizes.
    void SetAlign(TAlign value);
    // The bounds the alignment gives inside a parent of ParentWidth x
    // ParentHeight (the present bounds for alNone).
    TRect AlignedBounds(int ParentWidth, int ParentHeight) const;

    // The window that shows the control, created on first use as a child of
    // parent (or as a top-level window).
    QWidget* Widget(QWidget* parent = nullptr);
    bool HandleAllocated() const { return FHost != nullptr; }
    // Asks for a repaint of the window (nothing without one).
    virtual void Invalidate();
    // Repaints the window now.
    void Repaint();
    // The canvas over the window's picture, for drawing outside painting;
    // nullptr without a window.
    TCanvas* WindowCanvas();
    // Shows what was drawn on the window canvas.
    void UpdateWindow();

    // Event handlers (empty = unassigned).
    std::function<void(TControl*, TMouseButton, TShiftState, int, int)> OnMouseDown;
    std::function<void(TControl*, TMouseButton, TShiftState, int, int)> OnMouseUp;
    std::function<void(TControl*, TShiftState, int, int)> OnMouseMove;
    std::function<void(TControl*)> OnClick;
    std::function<void(TControl*)> OnDblClick;
    std::function<void(TControl*)> OnResize;
    std::function<void(TControl*)> OnMouseEnter;
    std::function<void(TControl*)> OnMouseLeave;
    std::function<void(TControl*)> OnEnter;
    std::function<void(TControl*)> OnExit;
    std::function<void(TControl*, TShiftState, int, TPoint, bool&)> OnMouseWheel;
    std::function<void(TControl*, int&, TShiftState)> OnKeyDown;
    std::function<void(TControl*, int&, TShiftState)> OnKeyUp;
    std::function<void(TControl*, QChar&)> OnKeyPress;

    // What the host calls; controls override them (and call the base to keep
    // the events).
    virtual void Paint(TCanvas& canvas);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int X, int Y);
    virtual void MouseMove(TShiftState shift, int X, int Y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int X, int Y);
    virtual void Click();
    virtual void DblClick();
    // True when the wheel was handled.
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, const TPoint& mousePos);
    // A handler that uses a key clears it (0, or a null character); a key
    // left as it came goes on to the parent windows.
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void KeyPress(QChar& key);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void DoEnter();
    virtual void DoExit();
    virtual void Resize();
    // After Enabled changed.
    virtual void EnabledChanged() {}
    // After the control's window was created (by Widget()).
    virtual void CreateWnd() {}

private:
    friend class TControlHost;

    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    TCursor FCursor = crDefault;
    TAlign FAlign = TAlign::alNone;
    void ApplyAlign();
    std::unique_ptr<TControlHost> FHost;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TControl::TShiftState)
using TMouseButton = TControl::TMouseButton;
using TShiftState = TControl::TShiftState;
inline constexpr TMouseButton mbLeft = TControl::mbLeft, mbRight = TControl::mbRight, mbMiddle = TControl::mbMiddle;

// Key codes as the controls see them: letters and digits as their capital
// characters, VK-style numbers for the others (VK_LEFT 37 ...).
enum TVirtualKey : int {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18, VK_ESCAPE = 27,
    VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38,
    VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46, VK_ADD = 107, VK_SUBTRACT = 109,
    VK_F1 = 112,
};
int VirtualKeyOf(int qtKey);
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

// The window of a control. It owns the picture the control paints into.
class TControlHost : public QWidget {
    Q_OBJECT
public:
    TControlHost(TControl& control, QWidget* parent);
    ~TControlHost() override;

    // The canvas over the window picture (sized to the window).
    TCanvas& PictureCanvas();
    const QImage& Picture() const { return FPicture; }

protected:
    // Parent resizes re-apply the control's alignment.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Runs an event handler of the control; its exceptions go to the
    // application object.
    template <class Handler>
    void Guard(Handler&& handler);
    void EnsurePicture();

    TControl& FControl;
    QImage FPicture;
    std::unique_ptr<TPainterDC> FDC;
    std::unique_ptr<TCanvas> FCanvas;
    bool FPressedLeft = false;
};

} // namespace lp
