#pragma once
// The program's start-up: every unit registers its classes in dependency
// order, the main window opens (with the splash unless "-ns" or "/ns" is on
// the command line), the event loop runs, and the units unregister in
// reverse order.

#include <QtCore/QStringList>

namespace lp {

// Registers every unit's classes (chart library, extensions, the section
// dialogs); UnregisterUnits undoes it in reverse order.
void RegisterUnits();
void UnregisterUnits();

// Runs the program on an existing application object; answers the exit
// code. Arguments: the command line without the program.
int RunSectionEditor(const QStringList& Arguments);

} // namespace lp
