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

// Reads a section file's model: the block read and settled by
// ParseSectionModelBlock, then taken as a save writes it and reads it back
// (numbers as precise as the file's forms keep them), so that whatever
// opens can be saved and opens again the same: a model a save would refuse
// is refused here. False when the file has no model block. Raises
// ESectionFileError naming the file and the fault; Section is then
// unchanged.
bool ReadSectionFile(const QString& FileName, TSectionModel& Section);

} // namespace lp
