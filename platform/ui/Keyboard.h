#pragma once
// Lock-key state of the desktop keyboard (Caps Lock, Num Lock, Scroll Lock).
//
// On an X display the state is the keyboard extension's indicator of the
// key; where the desktop offers no such state (Wayland, offscreen, no
// application object) every lock reads as off. Tests replace the desktop
// by a source of their own.

#include <functional>

namespace lp {

// Key codes of the lock keys, as the status bar names them.
inline constexpr int VK_CAPITAL = 20;
inline constexpr int VK_NUMLOCK = 144;
inline constexpr int VK_SCROLL = 145;

// Answers whether the lock of a key code is on.
using TLockKeySource = std::function<bool(int VirtualKey)>;

// True when the lock of VirtualKey (VK_CAPITAL, VK_NUMLOCK, VK_SCROLL) is on;
// any other code, and any key without a keyboard source, gives False.
bool LockKeyOn(int VirtualKey);
// Replaces the desktop as the source of lock states; an empty source
// returns to the desktop.
void SetLockKeySource(TLockKeySource Source);
// True when the desktop reports lock states (an X display is there).
bool DesktopReportsLockKeys();

} // namespace lp
