#include "platform/ui/Hints.h"

#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtCore/QVariant>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolTip>

#include <algorithm>

namespace lp {

namespace {

constexpr const char* HintProperty = "lpHint";
constexpr const char* ShowHintProperty = "lpShowHint";

int& HintPauseValue()
{
    static int Pause = 500;
    return Pause;
}

// The pending hint of the default service: one single-shot timer owned by
// the application object, replaced by every request and stopped by a
// cancel.
QPointer<QTimer>& PendingHint()
{
    static QPointer<QTimer> Timer;
    return Timer;
}

void DefaultShowHint(const THintRequest& Request)
{
    if (!HaveWidgets())
        return;
    QPointer<QTimer>& Timer = PendingHint();
    delete Timer.data();
    Timer = new QTimer(QCoreApplication::instance());
    Timer->setSingleShot(true);
    QPointer<QWidget> Widget = Request.Control && Request.Control->HandleAllocated() ? Request.Control->Widget()
                                                                                      : nullptr;
    QObject::connect(Timer.data(), &QTimer::timeout, [Request, Widget] {
        QToolTip::showText(Request.ScreenPos, Request.Text, Widget.data());
    });
    Timer->start(HintPause());
}

void DefaultCancelHint()
{
    delete PendingHint().data();
    if (HaveWidgets())
        QToolTip::hideText();
}

THintService DefaultHintService()
{
    return {DefaultShowHint, DefaultCancelHint};
}

} // namespace

THintService& HintService()
{
    static THintService Service = DefaultHintService();
    return Service;
}

void ResetHintService()
{
    HintService() = DefaultHintService();
}

void ActivateHint(TControl* Control, const QString& Text, const QPoint& ScreenPos)
{
    // A copy: a service may replace itself while it runs.
    const auto Show = HintService().Show;
    const THintRequest Request{Text, ScreenPos, Control};
    if (Show)
        Show(Request);
    else
        DefaultShowHint(Request);
}

void CancelHint()
{
    const auto Cancel = HintService().Cancel;
    if (Cancel)
        Cancel();
    else
        DefaultCancelHint();
}

int HintPause()
{
    return HintPauseValue();
}

void SetHintPause(int Milliseconds)
{
    HintPauseValue() = std::max(Milliseconds, 0);
}

QString ControlHint(const TControl& Control)
{
    return Control.property(HintProperty).toString();
}

void SetControlHint(TControl& Control, const QString& Text)
{
    Control.setProperty(HintProperty, Text);
}

bool ControlShowHint(const TControl& Control)
{
    return Control.property(ShowHintProperty).toBool();
}

void SetControlShowHint(TControl& Control, bool Value)
{
    Control.setProperty(ShowHintProperty, Value);
}

QPoint ControlToScreen(TControl& Control, const QPoint& ClientPos)
{
    return Control.HandleAllocated() ? Control.Widget()->mapToGlobal(ClientPos) : ClientPos;
}

} // namespace lp
