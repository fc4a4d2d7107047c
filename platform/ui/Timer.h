#pragma once
// A timer component: calls OnTimer every Interval milliseconds while it is
// enabled, on the user-interface thread.
//
// The ticks come from a Qt timer and need a running event loop; Tick()
// delivers one at once, so code driven by a timer can be tested with a
// clock of its own and no waiting.

#include "platform/core/Component.h"

#include <functional>
#include <memory>

class QTimer;

namespace lp {

class TTimer : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_CLASSINFO("default:Enabled", "true")
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
    Q_CLASSINFO("default:Interval", "1000")

public:
    explicit TTimer(TComponent* AOwner = nullptr);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds; 0 stops the ticks (as does a negative value, stored as 0).
    int Interval() const { return FInterval; }
    void SetInterval(int Value);
    // True while ticks are due: enabled, with an interval and a handler.
    bool Running() const;

    // Delivers one tick now (as the Qt timer does when it fires).
    void Tick();

    std::function<void(TTimer* Sender)> OnTimer;

private:
    void UpdateTimer();

    bool FEnabled = true;
    int FInterval = 1000;
    std::unique_ptr<QTimer> FTimer;
};

} // namespace lp
