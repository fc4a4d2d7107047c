#pragma once
// Temporary files that outlive the action that made them: a file handed to
// another program (a mail attachment) may still be read after the hand-over
// returns, so it stays until this program ends.

#include <QtCore/QString>

namespace lp {

// A new, empty folder of its own in the system's temporary folder, whose
// name begins with Prefix; it and everything put into it are removed when
// the program ends. An empty string when the temporary folder is missing
// or cannot be written.
QString MakeTemporaryFolderUntilExit(const QString& Prefix);

// Removes Path (a file, or a folder with everything in it) when the
// program ends normally (returning from main or calling exit).
void RemoveAtExit(const QString& Path);

// Removes every path registered so far, as the end of the program does.
void RemoveRegisteredPathsNow();

} // namespace lp
