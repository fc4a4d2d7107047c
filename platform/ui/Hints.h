#pragma once
// Pop-up hints through one replaceable service.
//
// A control's hint text and its show-hint switch live with the control;
// showing and cancelling the one hint window of the application go through
// the process-wide HintService(), in the same way as messages
// (Dialogs.h): the default shows a QToolTip once the application's hint
// pause has passed; tests replace it with functions that record the
// requests.

#include <QtCore/QPoint>
#include <QtCore/QString>

#include <functional>

namespace lp {

class TControl;

struct THintRequest {
    QString Text;
    QPoint ScreenPos;               // where the mouse is, in screen coordinates
    TControl* Control = nullptr;    // the control the hint belongs to
};

struct THintService {
    std::function<void(const THintRequest&)> Show;
    std::function<void()> Cancel;
};

// The service every hint goes through; assign members to replace them. An
// empty member stands for the default.
THintService& HintService();
void ResetHintService();

// Asks the service to show Text for Control at ScreenPos, or to remove the
// hint shown (or about to be shown).
void ActivateHint(TControl* Control, const QString& Text, const QPoint& ScreenPos);
void CancelHint();

// The application's hint pause: milliseconds between the request and the
// hint appearing (500 at start); negative values count as 0.
int HintPause();
void SetHintPause(int Milliseconds);

// A control's hint text and whether it shows hints (off at start). Kept on
// the control object itself, so they go with it.
QString ControlHint(const TControl& Control);
void SetControlHint(TControl& Control, const QString& Text);
bool ControlShowHint(const TControl& Control);
void SetControlShowHint(TControl& Control, bool Value);
// Control's client point in screen coordinates (the point itself without
// a window).
QPoint ControlToScreen(TControl& Control, const QPoint& ClientPos);

} // namespace lp
