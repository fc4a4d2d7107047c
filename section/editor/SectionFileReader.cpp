#include "section/editor/SectionFileReader.h"

#include <QtCore/QFile>

namespace lp {

namespace {

// Where the block of a file starts: the line that holds the start marker.
size_t BlockStart(std::string_view FileBytes)
{
    const size_t marker = FileBytes.find(SectionBlockMarker);
    if (marker == std::string_view::npos)
        return FileBytes.size();
    const size_t lineEnd = FileBytes.rfind('\n', marker);
    return lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
}

// The model as a save writes it and the file then opens again, in place of
// the model read: the two differ only where the file holds more than its
// forms keep (a line's point with more than its one decimal, a parameter
// real with more than three, a parameter that is no number and is saved
// as not set), so that what opens is what a save keeps. When the block a
// save would write is the file's own block, the model read is that model
// already. Raises ESectionFileError when the save would be refused.
void TakeAsSaved(const QString& FileName, std::string_view FileBytes, TSectionModel& Section)
{
    std::string fault;
    try {
        const std::string block = FormatSectionModelBlock(Section);
        if (FileBytes.substr(BlockStart(FileBytes)).substr(0, block.size()) == block)
            return;
        TSectionModel saved;
        if (ParseSectionModelBlock(block, saved)) {
            Section = std::move(saved);
            return;
        }
        fault = "the model block cannot be read back";
    } catch (const Exception& error) {
        fault = error.Message();
    }
    throw ESectionFileError(
        QStringLiteral("The section file \"%1\" holds a model that could not be saved once opened: %2")
            .arg(FileName, QString::fromStdString(fault))
            .toStdString());
}

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
    TakeAsSaved(FileName, text, section);
    Section = std::move(section);
    return true;
}

} // namespace lp
