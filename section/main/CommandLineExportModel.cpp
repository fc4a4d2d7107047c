// lithoprism --export-model OUT.geo SECTION.sec: the section's model as a
// Gmsh geometry and its table of regions.

#include "section/main/CommandLine_p.h"

#include "section/editor/ModelExport.h"

namespace lp::commandline {

int ExportModelCommand(const QStringList& Arguments, std::FILE* Errors)
{
    if (Arguments.size() != 3) {
        PrintLine(Errors, QStringLiteral("lithoprism: --export-model needs two names: OUT.geo SECTION.sec "
                                         "(see lithoprism --help)"));
        return 2;
    }
    try {
        const QString geometry = ModelGeometryFileName(Arguments[1]);
        RefuseOutputNamingInput({{"geometry file", geometry}, {"region table", ModelTableFileName(geometry)}},
                                {{"section file", Arguments[2]}});
        const TModelExportSummary summary = ExportSectionFileModel(Arguments[2], Arguments[1]);
        for (const std::string& warning : summary.Warnings)
            PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(warning));
        return 0;
    } catch (const std::exception& error) {
        return CommandFailed(Errors, error);
    }
}

} // namespace lp::commandline
