// The section chart's model block: writing through a temporary file that
// replaces the target (only a block that reads back as a valid model), and
// reading through the one reader of section files (ReadSectionFile) into
// temporaries that replace the model only when the whole file was valid.

#include "section/editor/PolygonChart.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "platform/core/SafeSave.h"
#include "section/editor/SectionFileReader.h"

#include <QtCore/QFile>

namespace lp {

namespace {

[[noreturn]] void RaiseFileError(const QString& FileName, const QString& Reason)
{
    throw ESectionFileError(QStringLiteral("The section file \"%1\" cannot be written: %2")
                                .arg(FileName, Reason)
                                .toStdString());
}

// The block is read back as opening the file would read it: a model that
// breaks the section rules (a ring crossing another, ...) is refused before
// the disk is touched, since the editor could not open what it wrote.
void RefuseUnreadableBlock(const QString& FileName, const std::string& Block)
{
    const std::string fault = SectionBlockFault(Block);
    if (!fault.empty())
        RaiseFileError(FileName, QString::fromStdString(fault) + QStringLiteral(". The file is left as it was."));
}

} // namespace

TSectionModel TPolygonChart::SectionModel()
{
    TSectionModel section;
    section.ReservedPair[0] = ReservedPair[0];
    section.ReservedPair[1] = ReservedPair[1];
    section.ModelArea = ModelArea;
    section.HasProfile = HasProfile;
    section.Profile = CopyComplexArray(Profile);
    section.Nodes = CopyNodes(Nodes);
    section.Model = CopyAllSpolygon(Model);
    // Each line's look is taken from its series as it is now.
    for (line& record : Lines)
        if (record.series != nullptr)
            record.appearance = SeriesSettingsToText(record.series).toStdString();
    section.Lines = CopyLines(Lines);
    return section;
}

void TPolygonChart::WriteSection(const QString& FileName, const std::vector<QByteArray>& HeaderLines)
{
    std::string bytes;
    for (const QByteArray& header : HeaderLines) {
        bytes.append(header.constData(), static_cast<size_t>(header.size()));
        bytes.append("\r\n");
    }
    std::string block;
    try {
        block = FormatSectionModelBlock(SectionModel());
    } catch (const Exception& error) {
        RaiseFileError(FileName, QString::fromStdString(error.Message()));
    }
    RefuseUnreadableBlock(FileName, block);
    bytes += block;
    QString error;
    if (!SaveBytesAtomically(FileName, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), error))
        RaiseFileError(FileName, error);
}

void TPolygonChart::WriteModelBlock(const QString& FileName, int HeaderLines)
{
    std::vector<QByteArray> header;
    if (HeaderLines != 0 && QFile::exists(FileName)) {
        const QByteArray existing = SectionFileBytes(FileName);
        const std::vector<std::string_view> lines =
            SplitFileLines(std::string_view(existing.constData(), static_cast<size_t>(existing.size())));
        const size_t count = HeaderLines < 0 ? lines.size() : static_cast<size_t>(HeaderLines);
        for (size_t i = 0; i < count; ++i)
            header.push_back(i < lines.size() ? QByteArray(lines[i].data(), static_cast<qsizetype>(lines[i].size()))
                                              : QByteArray());
    }
    WriteSection(FileName, header);
}

bool TPolygonChart::ReadModelBlock(const QString& FileName)
{
    TSectionModel section;
    if (!ReadSectionFile(FileName, section))
        return false;
    LoadSectionModel(std::move(section));
    return true;
}

void TPolygonChart::LoadSectionModel(TSectionModel Section)
{
    ClearEditState();
    ReservedPair[0] = Section.ReservedPair[0];
    ReservedPair[1] = Section.ReservedPair[1];
    ModelArea = Section.ModelArea;
    HasProfile = Section.HasProfile;
    Profile = std::move(Section.Profile);
    // As the reader settled it: border kinds those of the nodes' places,
    // border nodes on their border, the frame's nodes first. Nothing moves
    // here, so the model as opened is the one the first undo record holds.
    Nodes = std::move(Section.Nodes);
    Model = std::move(Section.Model);
    FreeLineSeries(Lines);
    Lines = std::move(Section.Lines);
    BuildLineSeries();
    ModelLoaded = true;
    ClearUndoHistory();
    PushUndo();
    // The axes and the map show the read model.
    ShowAreaOnAxes();
    // The map polygons are made when the section is first drawn or edited.
    DeferMapSeries();
    UpdateAxisScales();
    TakeBackup();
}

} // namespace lp
