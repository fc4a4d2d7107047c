#include "platform/core/SafeSave.h"

#include <QtCore/QBuffer>
#include <QtCore/QSaveFile>

namespace lp {

bool SaveBytesAtomically(const QString& FileName, const QByteArray& Bytes, QString& Error)
{
    QSaveFile file(FileName);
    // Unbuffered: every write reaches the file system at once, so a short
    // write shows here and not in a flush that commit would ignore.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        Error = file.errorString();
        return false;
    }
    qint64 written = 0;
    while (written < Bytes.size()) {
        const qint64 step = file.write(Bytes.constData() + written, Bytes.size() - written);
        if (step <= 0) {
            Error = file.error() != QFileDevice::NoError ? file.errorString()
                                                         : QStringLiteral("not every byte could be written");
            if (Error.isEmpty() || Error == QLatin1String("Unknown error"))
                Error = QStringLiteral("not every byte could be written (is the disk full?)");
            return false; // the uncommitted temporary file is removed
        }
        written += step;
    }
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

} // namespace lp
