#pragma once
// The one reader of section files on disk: File > Open and the start-up file
// of the editor (through the section chart) and the command line's model
// export read every file the same way, so that what one opens the other
// opens alike.

#include "section/editor/SectionFile.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace lp {

// A whole file's bytes; raises ESectionFileError "The section file ... cannot
// be read: ..." when it cannot be opened or read.
QByteArray SectionFileBytes(const QString& FileName);

// Reads a section file's model: the block read, settled and checked by
// ParseSectionModelBlock with the checks every save makes of the block it
// writes, so that whatever opens can be saved, and with every number as its
// form keeps it. False when the file has no model block. Raises
// ESectionFileError naming the file and the fault; Section is then
// unchanged.
bool ReadSectionFile(const QString& FileName, TSectionModel& Section);

} // namespace lp
