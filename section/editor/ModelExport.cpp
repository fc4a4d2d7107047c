#include "section/editor/ModelExport.h"

#include "platform/core/SafeSave.h"
#include "section/editor/SectionFileReader.h"
#include "section/model/ModelGeometryText.h"

#include <QtCore/QFileInfo>

namespace lp {

QString ModelGeometryFileName(const QString& FileName)
{
    if (FileName.endsWith(QStringLiteral(".geo"), Qt::CaseInsensitive))
        return FileName;
    return FileName + QStringLiteral(".geo");
}

QString ModelTableFileName(const QString& GeometryFileName)
{
    const QString geometry = ModelGeometryFileName(GeometryFileName);
    return geometry.left(geometry.size() - 4) + QStringLiteral(".csv");
}

QString ModelExportStatusText(const TModelExportSummary& Summary)
{
    QString text = QStringLiteral("Model exported: %1 region%2, %3 point%4")
                       .arg(Summary.Regions)
                       .arg(Summary.Regions == 1 ? QString() : QStringLiteral("s"))
                       .arg(Summary.Points)
                       .arg(Summary.Points == 1 ? QString() : QStringLiteral("s"));
    for (const std::string& warning : Summary.Warnings)
        text += QStringLiteral(" ") + QString::fromStdString(warning);
    return text;
}

TModelExportSummary ExportModel(const QString& FileName, const TSectionModel& Section)
{
    TModelGeometry geometry;
    try {
        geometry = BuildModelGeometry(Section.Model, Section.Nodes, Section.Lines, &Section.ModelArea);
    } catch (const EModelGeometryError& error) {
        throw EModelExportError(error.Message());
    }
    TModelExportSummary summary;
    summary.GeometryFile = ModelGeometryFileName(FileName);
    summary.TableFile = ModelTableFileName(summary.GeometryFile);
    const std::string text = FormatGmshGeometry(geometry);
    const std::string table = FormatRegionTable(geometry);
    QString error;
    if (!SaveFilesAtomically({{summary.GeometryFile, QByteArray::fromStdString(text)},
                              {summary.TableFile, QByteArray::fromStdString(table)}},
                             error))
        throw EModelExportError(
            QStringLiteral("The model cannot be exported: %1. Nothing was written.").arg(error).toStdString());
    for (const TGeometryRegion& region : geometry.Regions)
        summary.Regions += region.surfaces.empty() ? 0 : 1;
    summary.Points = static_cast<int>(geometry.Points.size());
    summary.Warnings = geometry.Warnings;
    return summary;
}

TSectionModel ReadSectionFileModel(const QString& SectionFile)
{
    // Read as the editor opens it: the model exported is the one the editor
    // would show and save.
    TSectionModel section;
    try {
        if (!ReadSectionFile(SectionFile, section))
            throw EModelExportError(
                QStringLiteral("The file \"%1\" holds no section model.").arg(SectionFile).toStdString());
    } catch (const ESectionFileError& error) {
        throw EModelExportError(error.Message());
    }
    return section;
}

TModelExportSummary ExportSectionFileModel(const QString& SectionFile, const QString& FileName)
{
    return ExportModel(FileName, ReadSectionFileModel(SectionFile));
}

} // namespace lp
