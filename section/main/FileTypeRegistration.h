#pragma once
// The section file type on the desktop: a desktop entry for the program and
// a shared-mime-info type for "*.sec", both under the user's data folder
// ($XDG_DATA_HOME, else ~/.local/share), written only when missing or
// different, after which the desktop's databases are brought up to date
// when their tools are installed.

#include <QtCore/QString>

namespace lp {

struct TFileTypeEntry {
    QString Extension;   // without the point
    QString Description; // the type's comment
    QString IconPath;    // may be empty
    QString Program;     // the program's file
};

// The desktop entry and the shared-mime-info package for Entry.
QString DesktopEntryText(const TFileTypeEntry& Entry);
QString MimePackageText(const TFileTypeEntry& Entry);

// Writes both files where they are missing or differ; true when anything
// was written; after a change the desktop's databases are updated when
// UpdateDatabases is on. Failures leave the desktop as it was.
bool RegisterFileType(const TFileTypeEntry& Entry, const QString& DataFolder, bool UpdateDatabases = true);
// The user's data folder.
QString UserDataFolder();
// "sec", "Vexa section data", this program.
void RegisterSectionFileType();

} // namespace lp
