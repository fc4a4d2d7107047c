#include "platform/ui/Controls.h"

#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/PainterDC.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QWheelEvent>

namespace lp {

// --- TControl ----------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

TControl::~TControl()
{
    FHost.reset();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    // Bounds can come from a stored file: they are kept in the range the
    // drawing code handles.
    ALeft = ClampToRange(ALeft, -MaxControlExtent, MaxControlExtent);
    ATop = ClampToRange(ATop, -MaxControlExtent, MaxControlExtent);
    AWidth = ClampToRange(AWidth, 0, MaxControlExtent);
    AHeight = ClampToRange(AHeight, 0, MaxControlExtent);
    const bool resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    // The window's resize event finds the new size already stored and does
    // not call Resize a second time.
    if (FHost && FHost->geometry() != QRect(FLeft, FTop, FWidth, FHeight))
        FHost->setGeometry(FLeft, FTop, FWidth, FHeight);
    if (resized)
        Resize();
}

void TControl::SetVisible(bool value)
{
    if (FVisible == value)
        return;
    FVisible = value;
    if (FHost)
        FHost->setVisible(value);
}

void TControl::SetEnabled(bool value)
{
    if (FEnabled == value)
        return;
    FEnabled = value;
    if (FHost)
        FHost->setEnabled(value);
    EnabledChanged();
}

void TControl::SetCursor(TCursor value)
{
    if (FCursor == value)
        return;
    FCursor = value;
    if (FHost)
        FHost->setCursor(Application().CursorOf(value));
}

void TControl::SetAlign(TAlign value)
{
    FAlign = value;
    ApplyAlign();
}

TRect TControl::AlignedBounds(int ParentWidth, int ParentHeight) const
{
    switch (FAlign) {
    case TAlign::alTop:
        return {0, 0, ParentWidth, FHeight};
    case TAlign::alBottom:
        return {0, ParentHeight - FHeight, ParentWidth, ParentHeight};
    case TAlign::alLeft:
        return {0, 0, FWidth, ParentHeight};
    case TAlign::alRight:
        return {ParentWidth - FWidth, 0, ParentWidth, ParentHeight};
    case TAlign::alClient:
        return {0, 0, ParentWidth, ParentHeight};
    case TAlign::alNone:
        break;
    }
    return BoundsRect();
}

void TControl::ApplyAlign()
{
    if (FAlign == TAlign::alNone || !FHost || !FHost->parentWidget())
        return;
    const QWidget* parent = FHost->parentWidget();
    const TRect bounds = AlignedBounds(parent->width(), parent->height());
    SetBounds(bounds.Left, bounds.Top, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top);
}

QWidget* TControl::Widget(QWidget* parent)
{
    if (!FHost) {
        FHost = std::make_unique<TControlHost>(*this, parent);
        FHost->setGeometry(FLeft, FTop, std::max(FWidth, 1), std::max(FHeight, 1));
        FHost->setCursor(Application().CursorOf(FCursor));
        FHost->setEnabled(FEnabled);
        if (parent)
            parent->installEventFilter(FHost.get());
        ApplyAlign();
        CreateWnd();
        return FHost.get();
    } else if (parent && FHost->parentWidget() != parent) {
        if (FHost->parentWidget())
            FHost->parentWidget()->removeEventFilter(FHost.get());
        FHost->setParent(parent);
        parent->installEventFilter(FHost.get());
    }
    ApplyAlign();
    return FHost.get();
}

void TControl::Invalidate()
{
    if (FHost)
        FHost->update();
}

void TControl::Repaint()
{
    if (FHost)
        FHost->repaint();
}

TCanvas* TControl::WindowCanvas()
{
    return FHost ? &FHost->PictureCanvas() : nullptr;
}

void TControl::UpdateWindow()
{
    if (FHost)
        FHost->update();
}

void TControl::Paint(TCanvas&) {}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, X, Y);
}

void TControl::MouseMove(TShiftState shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, X, Y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, X, Y);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, const TPoint& mousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    return handled;
}

void TControl::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TControl::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TControl::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

// --- Keys and shift states -------------------------------------------------------------------

int VirtualKeyOf(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // the same codes as the capital characters
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    default: return 0;
    }
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState shift;
    shift.setFlag(TControl::ssShift, modifiers.testFlag(Qt::ShiftModifier));
    shift.setFlag(TControl::ssAlt, modifiers.testFlag(Qt::AltModifier));
    shift.setFlag(TControl::ssCtrl, modifiers.testFlag(Qt::ControlModifier));
    shift.setFlag(TControl::ssLeft, buttons.testFlag(Qt::LeftButton));
    shift.setFlag(TControl::ssRight, buttons.testFlag(Qt::RightButton));
    shift.setFlag(TControl::ssMiddle, buttons.testFlag(Qt::MiddleButton));
    return shift;
}

namespace {

bool ButtonOf(Qt::MouseButton qtButton, TMouseButton& button)
{
    switch (qtButton) {
    case Qt::LeftButton: button = mbLeft; return true;
    case Qt::RightButton: button = mbRight; return true;
    case Qt::MiddleButton: button = mbMiddle; return true;
    default: return false;
    }
}

} // namespace

// --- TControlHost -------------------------------------------------------------------------------

TControlHost::TControlHost(TControl& control, QWidget* parent) : QWidget(parent), FControl(control)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TControlHost::~TControlHost()
{
    // A parent window that goes first takes its child windows with it: the
    // control must then not free this host a second time.
    if (FControl.FHost.get() == this)
        (void)FControl.FHost.release();
    FCanvas.reset();
    FDC.reset();
}

template <class Handler>
void TControlHost::Guard(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        Application().HandleException(error);
    } catch (...) {
        Application().HandleException(Exception("Unknown error"));
    }
}

void TControlHost::EnsurePicture()
{
    const QSize wanted(std::max(width(), 1), std::max(height(), 1));
    if (FPicture.size() == wanted && FCanvas)
        return;
    FCanvas.reset();
    FDC.reset();
    FPicture = QImage(wanted, QImage::Format_RGB32);
    FPicture.fill(Qt::white);
    FDC = std::make_unique<TPainterDC>(FPicture);
    FCanvas = std::make_unique<TCanvas>(FDC.get());
}

TCanvas& TControlHost::PictureCanvas()
{
    EnsurePicture();
    return *FCanvas;
}

bool TControlHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        Guard([&] { FControl.ApplyAlign(); });
    return QWidget::eventFilter(watched, event);
}

void TControlHost::paintEvent(QPaintEvent*)
{
    EnsurePicture();
    Guard([&] { FControl.Paint(*FCanvas); });
    FDC->Finish();
    QPainter painter(this);
    painter.drawImage(0, 0, FPicture);
}

void TControlHost::resizeEvent(QResizeEvent*)
{
    FControl.FLeft = x();
    FControl.FTop = y();
    const bool resized = FControl.FWidth != width() || FControl.FHeight != height();
    FControl.FWidth = width();
    FControl.FHeight = height();
    if (resized)
        Guard([&] { FControl.Resize(); });
}

void TControlHost::mousePressEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!ButtonOf(event->button(), button))
        return;
    if (button == mbLeft)
        FPressedLeft = true;
    const QPoint p = event->position().toPoint();
    Guard([&] { FControl.MouseDown(button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

void TControlHost::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click: the double-click event first, then
    // the press itself with the double flag.
    TMouseButton button;
    if (!ButtonOf(event->button(), button))
        return;
    const QPoint p = event->position().toPoint();
    Guard([&] {
        if (button == mbLeft)
            FControl.DblClick();
        TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
        shift |= TControl::ssDouble;
        FControl.MouseDown(button, shift, p.x(), p.y());
    });
}

void TControlHost::mouseReleaseEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (!ButtonOf(event->button(), button))
        return;
    const QPoint p = event->position().toPoint();
    const bool click = button == mbLeft && FPressedLeft && rect().contains(p);
    if (button == mbLeft)
        FPressedLeft = false;
    Guard([&] {
        FControl.MouseUp(button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
        if (click)
            FControl.Click();
    });
}

void TControlHost::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Guard([&] { FControl.MouseMove(ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

void TControlHost::wheelEvent(QWheelEvent* event)
{
    const QPoint p = event->position().toPoint();
    bool handled = false;
    Guard([&] {
        handled = FControl.DoMouseWheel(ShiftStateOf(event->modifiers(), event->buttons()), event->angleDelta().y(),
                                        {p.x(), p.y()});
    });
    event->setAccepted(handled);
}

void TControlHost::keyPressEvent(QKeyEvent* event)
{
    // A key the control uses comes back cleared (0, or a null character);
    // any other goes on to the parent windows as in every widget, so that a
    // dialog's Escape and Return still work while its chart has the focus.
    int key = VirtualKeyOf(event->key());
    const TShiftState shift = ShiftStateOf(event->modifiers(), Qt::NoButton);
    bool used = false;
    Guard([&] {
        if (key != 0) {
            FControl.KeyDown(key, shift);
            used = key == 0;
        }
        for (QChar c : event->text()) {
            QChar typed = c;
            FControl.KeyPress(typed);
            used = used || typed.isNull();
        }
    });
    event->setAccepted(used);
}

void TControlHost::keyReleaseEvent(QKeyEvent* event)
{
    int key = VirtualKeyOf(event->key());
    bool used = false;
    if (key != 0)
        Guard([&] {
            FControl.KeyUp(key, ShiftStateOf(event->modifiers(), Qt::NoButton));
            used = key == 0;
        });
    event->setAccepted(used);
}

void TControlHost::enterEvent(QEnterEvent*)
{
    Guard([&] { FControl.MouseEnter(); });
}

void TControlHost::leaveEvent(QEvent*)
{
    Guard([&] { FControl.MouseLeave(); });
}

void TControlHost::focusInEvent(QFocusEvent*)
{
    Guard([&] { FControl.DoEnter(); });
}

void TControlHost::focusOutEvent(QFocusEvent*)
{
    Guard([&] { FControl.DoExit(); });
}

} // namespace lp
