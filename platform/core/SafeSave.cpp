#include "platform/core/SafeSave.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtCore/QTemporaryFile>

#include <cstdio>
#include <memory>

namespace lp {

namespace {

// Writes all of Bytes into File, opened unbuffered: every write reaches the
// file system at once, so a short write shows here and not in a later flush.
bool WriteEveryByte(QFileDevice& File, const QByteArray& Bytes, QString& Error)
{
    qint64 written = 0;
    while (written < Bytes.size()) {
        const qint64 step = File.write(Bytes.constData() + written, Bytes.size() - written);
        if (step <= 0) {
            Error = File.error() != QFileDevice::NoError ? File.errorString()
                                                         : QStringLiteral("not every byte could be written");
            if (Error.isEmpty() || Error == QLatin1String("Unknown error"))
                Error = QStringLiteral("not every byte could be written (is the disk full?)");
            return false;
        }
        written += step;
    }
    return true;
}

} // namespace

bool SaveBytesAtomically(const QString& FileName, const QByteArray& Bytes, QString& Error)
{
    QSaveFile file(FileName);
    // Unbuffered: every write reaches the file system at once, so a short
    // write shows here and not in a flush that commit would ignore.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Error = file.errorString();
        return false;
    }
    if (!WriteEveryByte(file, Bytes, Error))
        return false; // the uncommitted temporary file is removed
    if (!file.commit()) {
        Error = file.errorString();
        return false;
    }
    return true;
}

bool SaveAtomically(const QString& FileName, const std::function<void(QIODevice&)>& Write, QString& Error)
{
    QByteArray content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::WriteOnly);
    Write(buffer);
    buffer.close();
    return SaveBytesAtomically(FileName, content, Error);
}

namespace {

// Renames over an existing file in one step (the platform's rename).
bool ReplaceFile(const QString& From, const QString& To)
{
    return std::rename(QFile::encodeName(From).constData(), QFile::encodeName(To).constData()) == 0;
}

// A name beside the file that nothing uses yet.
QString UnusedNameBeside(const QString& FileName, const QString& Purpose)
{
    for (int attempt = 0;; ++attempt) {
        const QString name = FileName + QStringLiteral(".") + Purpose + QString::number(attempt);
        if (!QFileInfo::exists(name))
            return name;
    }
}

} // namespace

bool SaveFilesAtomically(const std::vector<std::pair<QString, QByteArray>>& Files, QString& Error)
{
    // 1. Every content into a temporary file beside its target.
    std::vector<std::unique_ptr<QTemporaryFile>> staged;
    for (const auto& [name, bytes] : Files) {
        const QFileInfo target(name);
        auto temporary = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.") +
                                                          target.fileName() + QStringLiteral(".XXXXXX"));
        // The temporary file object reserves a unique name and removes the
        // file unless it becomes the target; the content goes in through an
        // unbuffered file on that name.
        if (!temporary->open()) {
            Error = QStringLiteral("%1: %2").arg(name, temporary->errorString());
            return false; // the temporary files made so far go with their objects
        }
        temporary->close();
        QFile content(temporary->fileName());
        if (!content.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            Error = QStringLiteral("%1: %2").arg(name, content.errorString());
            return false;
        }
        if (!WriteEveryByte(content, bytes, Error)) {
            Error = QStringLiteral("%1: %2").arg(name, Error);
            return false;
        }
        content.close();
        // A replaced file keeps its permissions; a new one gets the usual ones.
        temporary->setPermissions(QFileInfo::exists(name)
                                      ? QFile::permissions(name)
                                      : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                            QFileDevice::ReadOther);
        staged.push_back(std::move(temporary));
    }
    // 2. Each target replaced, its old file kept aside until all are done.
    struct TReplaced {
        QString target, kept; // kept is empty when the target is new
    };
    std::vector<TReplaced> replaced;
    const auto undo = [&] {
        for (auto it = replaced.rbegin(); it != replaced.rend(); ++it)
            if (it->kept.isEmpty())
                QFile::remove(it->target);
            else
                ReplaceFile(it->kept, it->target);
    };
    for (size_t i = 0; i < Files.size(); ++i) {
        const QString& target = Files[i].first;
        QString kept;
        const QFileInfo existing(target);
        if (existing.exists() && !existing.isFile()) {
            Error = QStringLiteral("%1: the name is taken by something that is not a file").arg(target);
            undo();
            return false;
        }
        if (existing.exists()) {
            kept = UnusedNameBeside(target, QStringLiteral("old"));
            if (!ReplaceFile(target, kept)) {
                Error = QStringLiteral("%1: the file cannot be replaced").arg(target);
                undo();
                return false;
            }
        }
        replaced.push_back({target, kept});
        if (!ReplaceFile(staged[i]->fileName(), target)) {
            Error = QStringLiteral("%1: the file cannot be written").arg(target);
            undo();
            return false;
        }
        staged[i]->setAutoRemove(false); // it is the target now
    }
    for (const TReplaced& entry : replaced)
        if (!entry.kept.isEmpty())
            QFile::remove(entry.kept);
    return true;
}

} // namespace lp
