#include "components/KeyboardMonitor.h"

#include <algorithm>
#include <vector>

namespace lp {

namespace {

struct TMonitorState {
    bool Loaded = false;
    std::vector<TsbStatusBar*> Registered;
};

TMonitorState& State()
{
    static TMonitorState state;
    return state;
}

} // namespace

void TKeyboardMonitorLibrary::Load()
{
    if (State().Loaded)
        Unload();
    // The library is built for another desktop and is never present here.
    State().Loaded = false;
}

void TKeyboardMonitorLibrary::Unload()
{
    if (!State().Loaded)
        return;
    while (!State().Registered.empty())
        Deregister(State().Registered.back());
    State().Loaded = false;
}

bool TKeyboardMonitorLibrary::Loaded()
{
    return State().Loaded;
}

unsigned TKeyboardMonitorLibrary::Register(TsbStatusBar* Bar)
{
    // Without the library's entry point there is nothing to register with.
    if (!State().Loaded)
        return 0;
    State().Registered.push_back(Bar);
    return 0;
}

void TKeyboardMonitorLibrary::Deregister(TsbStatusBar* Bar)
{
    auto& Registered = State().Registered;
    Registered.erase(std::remove(Registered.begin(), Registered.end(), Bar), Registered.end());
}

int TKeyboardMonitorLibrary::RegisteredCount()
{
    return static_cast<int>(State().Registered.size());
}

} // namespace lp
