#pragma once
// Whether two names lead to one file: a command that writes refuses an
// output that is one of its inputs (or the section the editor has open), so
// the user's file is never replaced by what was computed from it.

#include <QtCore/QString>

namespace lp {

// By device and inode where both exist (relative or absolute, "./" and "..",
// symlinks, hard links), else by their absolute paths with the symlinks of
// the existing part resolved. An empty name is no file.
bool SameFile(const QString& First, const QString& Second);

} // namespace lp
