#include "platform/ui/Forms.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QPointer>
#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtGui/QWindow>
#include <QtWidgets/QWidget>

namespace lp {

TForm::TForm(TComponent* AOwner) : TControl(AOwner)
{
    FHitTest = [this](int X, int Y) { return DefaultHitTest(X, Y); };
    SetVisible(false);
}

TForm::~TForm() = default;

void TForm::SetFormStyle(TFormStyle Value)
{
    if (FFormStyle == Value)
        return;
    FFormStyle = Value;
    ApplyWindowFlags();
}

void TForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    ApplyWindowFlags();
}

void TForm::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    Invalidate();
}

void TForm::CreateWnd()
{
    ApplyWindowFlags();
    ApplyWindowRgn();
}

void TForm::ApplyWindowFlags()
{
    if (!HandleAllocated())
        return;
    QWidget* Window = Widget();
    Qt::WindowFlags Flags = Qt::Window;
    if (FBorderStyle == bsNone)
        Flags |= Qt::FramelessWindowHint;
    if (FFormStyle == fsStayOnTop)
        Flags |= Qt::WindowStaysOnTopHint;
    if (Window->windowFlags() == Flags)
        return;
    const bool WasVisible = Window->isVisible();
    Window->setWindowFlags(Flags); // hides the window
    if (WasVisible)
        Window->show();
}

void TForm::SetWindowRgn(const std::optional<TRegion>& Region)
{
    FWindowRgn = Region;
    ApplyWindowRgn();
}

void TForm::ApplyWindowRgn()
{
    if (!HandleAllocated())
        return;
    if (FWindowRgn)
        Widget()->setMask(*FWindowRgn);
    else
        Widget()->clearMask();
}

void TForm::SetWindowHitTest(THitTestProc Proc)
{
    FHitTest = Proc ? std::move(Proc) : THitTestProc([this](int X, int Y) { return DefaultHitTest(X, Y); });
}

int TForm::HitTest(int X, int Y) const
{
    return FHitTest(X, Y);
}

int TForm::DefaultHitTest(int, int) const
{
    return HTCLIENT;
}

void TForm::Show()
{
    QWidget* Window = Widget();
    if (FPosition == poScreenCenter) {
        if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
            const QRect Area = Screen->geometry();
            SetBounds((Area.width() - Width()) / 2, (Area.height() - Height()) / 2, Width(), Height());
        }
    }
    FShowing = true;
    DoShow(); // before the window appears: a handler may animate it in
    if (FShowing) {
        TControl::SetVisible(true);
        Window->show();
        Activate();
    }
}

void TForm::Hide()
{
    if (!FShowing)
        return;
    FShowing = false;
    DoHide();
    TControl::SetVisible(false);
    if (HandleAllocated())
        Widget()->hide();
}

int TForm::ShowModal()
{
    FModalResult = 0;
    FModal = true;
    QPointer<QWidget> Window = Widget();
    Window->setWindowModality(Qt::ApplicationModal);
    Show();
    QEventLoop Loop;
    while (FShowing && FModalResult == 0 && Window)
        Loop.processEvents(QEventLoop::WaitForMoreEvents);
    FModal = false;
    if (Window)
        Window->setWindowModality(Qt::NonModal);
    if (FShowing)
        Hide();
    return FModalResult;
}

void TForm::SetModalResult(int Value)
{
    FModalResult = Value;
}

void TForm::Close()
{
    TCloseAction Action = caHide;
    DoClose(Action);
    if (Action == caNone)
        return;
    Hide();
    if (Action == caFree)
        Release();
}

void TForm::Release()
{
    deleteLater();
}

void TForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TForm::Paint(TCanvas& Canvas)
{
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FColor);
    Canvas.FillRect(ClientRect());
    TControl::Paint(Canvas);
}

void TForm::NonClientMouseDown(int X, int Y)
{
    // The window system moves the window where it can; otherwise the form
    // follows the mouse itself.
    if (HandleAllocated())
        if (QWindow* Handle = Widget()->windowHandle(); Handle && Handle->startSystemMove())
            return;
    FDraggingWindow = true;
    FDragOffset = QPoint(X, Y);
}

void TForm::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && HitTest(X, Y) == HTCAPTION) {
        NonClientMouseDown(X, Y);
        return;
    }
    TControl::MouseDown(Button, Shift, X, Y);
}

void TForm::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FDraggingWindow) {
        SetBounds(Left() + X - FDragOffset.x(), Top() + Y - FDragOffset.y(), Width(), Height());
        return;
    }
    TControl::MouseMove(Shift, X, Y);
}

void TForm::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FDraggingWindow && Button == mbLeft) {
        FDraggingWindow = false;
        return;
    }
    TControl::MouseUp(Button, Shift, X, Y);
}

// --- Window animation -----------------------------------------------------------------------

namespace {

// The part of a W x H window shown at fraction F of the way in.
QRect RevealedPart(int W, int H, double F, unsigned Flags)
{
    const int ShownW = static_cast<int>(W * F + 0.5), ShownH = static_cast<int>(H * F + 0.5);
    if (Flags & AW_CENTER)
        return QRect((W - ShownW) / 2, (H - ShownH) / 2, ShownW, ShownH);
    QRect Part(0, 0, W, H);
    if (Flags & AW_HOR_POSITIVE)
        Part.setWidth(ShownW);
    else if (Flags & AW_HOR_NEGATIVE)
        Part.setLeft(W - ShownW);
    if (Flags & AW_VER_POSITIVE)
        Part.setHeight(ShownH);
    else if (Flags & AW_VER_NEGATIVE)
        Part.setTop(H - ShownH);
    return Part;
}

} // namespace

bool AnimateWindow(QWidget* Window, int Duration, unsigned Flags)
{
    if (!Window)
        return false;
    const bool Hiding = Flags & AW_HIDE;
    const bool Blend = Flags & AW_BLEND;
    const bool Reveal = Flags & (AW_CENTER | AW_HOR_POSITIVE | AW_HOR_NEGATIVE | AW_VER_POSITIVE | AW_VER_NEGATIVE);
    if ((!Blend && !Reveal) || (Hiding && !Window->isVisible()) || (!Hiding && Window->isVisible()))
        return false;
    const QRegion OwnMask = Window->mask();
    const double OwnOpacity = Window->windowOpacity();
    const QPointer<QWidget> Guard = Window;
    auto Step = [&](double F) {
        if (Blend)
            Window->setWindowOpacity(OwnOpacity * F);
        else {
            QRegion Shown(RevealedPart(Window->width(), Window->height(), F, Flags));
            if (!OwnMask.isEmpty())
                Shown &= OwnMask;
            // An empty mask would show everything: keep one pixel row hidden.
            Window->setMask(Shown.isEmpty() ? QRegion(0, 0, 1, 1) : Shown);
        }
        Window->repaint();
    };
    Step(Hiding ? 1.0 : 0.0);
    if (!Hiding)
        Window->show();
    QElapsedTimer Clock;
    Clock.start();
    while (Guard && Clock.elapsed() < Duration) {
        const double T = static_cast<double>(Clock.elapsed()) / std::max(Duration, 1);
        Step(Hiding ? 1.0 - T : T);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    if (!Guard)
        return false;
    if (Hiding)
        Window->hide();
    if (OwnMask.isEmpty())
        Window->clearMask();
    else
        Window->setMask(OwnMask);
    Window->setWindowOpacity(OwnOpacity);
    return true;
}

} // namespace lp
