#include "platform/ui/Timer.h"

#include "platform/ui/Application.h"

#include <QtCore/QTimer>

namespace lp {

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FTimer(std::make_unique<QTimer>())
{
    QObject::connect(FTimer.get(), &QTimer::timeout, FTimer.get(), [this] {
        // An exception never reaches the event loop.
        try {
            Tick();
        } catch (const std::exception& error) {
            Application().HandleException(error);
        }
    });
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(int Value)
{
    Value = std::max(Value, 0);
    if (FInterval == Value)
        return;
    FInterval = Value;
    UpdateTimer();
}

bool TTimer::Running() const
{
    return FEnabled && FInterval > 0 && OnTimer != nullptr;
}

void TTimer::Tick()
{
    if (OnTimer)
        OnTimer(this);
}

void TTimer::UpdateTimer()
{
    if (FEnabled && FInterval > 0)
        FTimer->start(FInterval);
    else
        FTimer->stop();
}

} // namespace lp
