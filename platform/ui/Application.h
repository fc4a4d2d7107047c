#pragma once
// The application object: the one place where an exception that ends a user
// action is shown to the user, and the screen's cursor list.
//
// Event handlers never let an exception into Qt's event loop: the control
// host catches it and hands it to HandleException, which calls OnException
// when set and otherwise shows the message (ShowMessageHook, a message box by
// default; tests replace it).

#include "platform/base/Exception.h"

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QCursor>

#include <exception>
#include <functional>

namespace lp {

// Cursor numbers: the standard shapes are negative, the system's own
// cursors positive (the hand cursor of charts is 2020).
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// The platform's cursor identifiers: "crDefault" ... "crSizeAll" with their
// numbers, in the order of the numbers from 0 downwards.
QStringList CursorIdents();
// False (Cursor untouched) for a name the table does not hold.
bool IdentToCursor(const QString& Ident, TCursor& Cursor);
// False (Ident untouched) for a number the table does not hold.
bool CursorToIdent(TCursor Cursor, QString& Ident);

// Whether the program runs with widgets (a QApplication); false in a
// command-line run or a core-only test, where nothing may be shown.
bool HaveWidgets();

class TApplication {
public:
    static TApplication& Instance();

    // Shows the message of an exception that ended a user action (or hands
    // it to OnException); EAbort ends the action without a word. Never
    // throws.
    void HandleException(const std::exception& error) noexcept;
    // The message text of an exception: Message() for the system's own.
    static QString MessageOf(const std::exception& error);
    // Handles the events waiting in the queue (repaints, input) and
    // returns; for long work on the user-interface thread that must stay
    // responsive.
    void ProcessMessages();

    // Replaces the default handling of exceptions.
    std::function<void(const std::exception&)> OnException;
    // Shows a message to the user; a critical message box by default.
    std::function<void(const QString&)> ShowMessageHook;

    // The screen's cursors: the standard shapes and those registered by
    // number (the chart library registers its hand cursor as 2020).
    QCursor CursorOf(TCursor cursor) const;
    void RegisterCursor(TCursor number, const QCursor& cursor);
    void UnregisterCursor(TCursor number);
    bool HasCursor(TCursor number) const { return FCursors.contains(number); }

    QString Title() const { return FTitle; }
    void SetTitle(const QString& value) { FTitle = value; }

private:
    TApplication() = default;
    void ShowMessage(const QString& message) noexcept;

    QHash<TCursor, QCursor> FCursors;
    QString FTitle = QStringLiteral("Lithoprism");
};

inline TApplication& Application()
{
    return TApplication::Instance();
}

} // namespace lp
