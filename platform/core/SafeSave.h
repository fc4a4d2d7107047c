#pragma once
// Saving a file without ever leaving it half written.
//
// The content is first produced in memory; then it goes into a temporary
// file in the target's folder, every write checked, and only a complete
// temporary file replaces the target (an atomic rename). A writer that
// raises, a full disk, a file-size limit or a folder that cannot be written
// leave the old file exactly as it was, and no temporary file behind.
//
// (A buffered save file cannot be trusted here: when the disk fills during
// its final flush it may still commit a truncated file.)

#include <QtCore/QByteArray>
#include <QtCore/QIODevice>
#include <QtCore/QString>

#include <functional>
#include <utility>
#include <vector>

namespace lp {

// False with the reason in Error when the file could not be saved.
bool SaveBytesAtomically(const QString& FileName, const QByteArray& Bytes, QString& Error);
// Write produces the content into a memory device; its exceptions pass
// through before anything on disk is touched.
bool SaveAtomically(const QString& FileName, const std::function<void(QIODevice&)>& Write, QString& Error);
// Several files that belong together (name, content): all of them are
// written to temporary files first, then each replaces its target; when any
// step fails, the targets already replaced get their old content back (or go
// again when they are new), so either every file is saved or none.
bool SaveFilesAtomically(const std::vector<std::pair<QString, QByteArray>>& Files, QString& Error);

} // namespace lp
