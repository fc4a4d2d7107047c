#include "platform/core/TemporaryFiles.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <cstdlib>
#include <mutex>
#include <vector>

namespace lp {

namespace {

std::mutex& RegistryLock()
{
    static std::mutex Lock;
    return Lock;
}

// Made before the exit handler is installed, so it is still there when the
// handler runs.
std::vector<QString>& RegisteredPaths()
{
    static std::vector<QString> Paths;
    return Paths;
}

void RemovePath(const QString& Path)
{
    const QFileInfo Info(Path);
    if (Info.isDir() && !Info.isSymLink())
        QDir(Path).removeRecursively();
    else
        QFile::remove(Path);
}

void RemoveAtProgramEnd()
{
    RemoveRegisteredPathsNow();
}

} // namespace

QString MakeTemporaryFolderUntilExit(const QString& Prefix)
{
    // The temporary path is empty when the folder named for it is missing.
    const QString Base = QDir::tempPath();
    const QFileInfo BaseInfo(Base);
    if (Base.isEmpty() || !BaseInfo.isDir() || !BaseInfo.isWritable())
        return {};
    QTemporaryDir Folder(Base + u'/' + Prefix + QStringLiteral("-XXXXXX"));
    if (!Folder.isValid())
        return {};
    Folder.setAutoRemove(false);
    RemoveAtExit(Folder.path());
    return Folder.path();
}

void RemoveAtExit(const QString& Path)
{
    std::lock_guard<std::mutex> Guard(RegistryLock());
    std::vector<QString>& Paths = RegisteredPaths();
    static const bool Installed = std::atexit(RemoveAtProgramEnd) == 0;
    (void)Installed;
    Paths.push_back(Path);
}

void RemoveRegisteredPathsNow()
{
    std::vector<QString> Paths;
    {
        std::lock_guard<std::mutex> Guard(RegistryLock());
        Paths.swap(RegisteredPaths());
    }
    for (const QString& Path : Paths)
        RemovePath(Path);
}

} // namespace lp
