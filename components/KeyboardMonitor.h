#pragma once
// The keyboard-monitor library of the status bar: an outside library that
// reports lock-key changes to registered windows, as an alternative to
// listening to the keyboard in the program.
//
// The library ("SBKbMon.dll") exists for one desktop only; here Load finds
// none, Loaded stays False, and a bar that asks for monitor mode falls back
// to its own listening. Registration is bookkept all the same, so a bar
// pairs its registrations whatever the outcome.

#include <QtCore/QString>

namespace lp {

class TsbStatusBar;

class TKeyboardMonitorLibrary {
public:
    static QString LibraryName() { return QStringLiteral("SBKbMon.dll"); }

    // Frees a loaded library, then tries to load it; Loaded tells the result.
    static void Load();
    // Deregisters every registered bar (last first) and frees the library.
    static void Unload();
    static bool Loaded();
    // Registers a bar for reports; the number of the message the library
    // will send, 0 without a library.
    static unsigned Register(TsbStatusBar* Bar);
    static void Deregister(TsbStatusBar* Bar);
    static int RegisteredCount();
};

} // namespace lp
