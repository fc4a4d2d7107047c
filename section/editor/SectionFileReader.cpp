#include "section/editor/SectionFileReader.h"

#include <QtCore/QFile>

namespace lp {

namespace {

[[noreturn]] void RaiseUnreadableFile(const QString& FileName, const QString& Reason)
{
    throw ESectionFileError(
        QStringLiteral("The section file \"%1\" cannot be read: %2").arg(FileName, Reason).toStdString());
}

} // namespace

QByteArray SectionFileBytes(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        RaiseUnreadableFile(FileName, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        RaiseUnreadableFile(FileName, file.errorString());
    return bytes;
}

bool ReadSectionFile(const QString& FileName, TSectionModel& Section)
{
    const QByteArray bytes = SectionFileBytes(FileName);
    const std::string_view text(bytes.constData(), static_cast<size_t>(bytes.size()));
    TSectionModel section;
    try {
        if (!ParseSectionModelBlock(text, section))
            return false;
    } catch (const ESectionFileError& error) {
        throw ESectionFileError(QStringLiteral("The section file \"%1\" holds an invalid model: %2")
                                    .arg(FileName, QString::fromStdString(error.Message()))
                                    .toStdString());
    }
    Section = std::move(section);
    return true;
}

} // namespace lp
