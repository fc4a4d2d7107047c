#pragma once
// Exporting the section model for a mesh generator: the geometry NAME.geo
// and the table of its regions NAME.csv beside it, written together (both
// or neither) through temporary files and atomic renames.

#include "section/editor/SectionFile.h"
#include "section/model/ModelGeometry.h"

#include <QtCore/QString>

#include <string>
#include <vector>

namespace lp {

// A model export that failed: the model cannot be exported (its first
// fault named), the section cannot be read, or a file cannot be written.
class EModelExportError : public Exception {
public:
    using Exception::Exception;
};

// What an export wrote.
struct TModelExportSummary {
    QString GeometryFile;
    QString TableFile;
    int Regions = 0; // physical surfaces written (regions with an area)
    int Points = 0;
    std::vector<std::string> Warnings; // lines left out or not embedded
};

// The chosen name with ".geo" added unless it ends in ".geo" already (any
// letter case).
QString ModelGeometryFileName(const QString& FileName);
// The table beside the geometry: its name with ".geo" replaced by ".csv".
QString ModelTableFileName(const QString& GeometryFileName);
// "Model exported: 5 regions, 14 points", with the warnings after it.
QString ModelExportStatusText(const TModelExportSummary& Summary);

// Writes both files for the geometry name (ModelGeometryFileName applied).
// Raises EModelExportError with nothing written when the model cannot be
// exported or a file cannot be written.
TModelExportSummary ExportModel(const QString& FileName, const TSectionModel& Section);
// Reads a section file's model as the editor opens it (ReadSectionFile; its
// picture is not needed); raises EModelExportError when the file cannot be
// read or holds no sound model.
TSectionModel ReadSectionFileModel(const QString& SectionFile);
// Reads a section file's model and exports it.
TModelExportSummary ExportSectionFileModel(const QString& SectionFile, const QString& FileName);

} // namespace lp
