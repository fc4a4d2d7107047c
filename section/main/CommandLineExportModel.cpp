// lithoprism --export-model OUT.geo SECTION.sec: the section's model as a
// Gmsh geometry and its table of regions.

#include "section/main/CommandLine_p.h"

#include "section/editor/ModelExport.h"

namespace lp::commandline {

int ExportModelCommand(const QStringList& Arguments, std::FILE* Errors)
{
    QStringList names;
    try {
        names = SplitCommandArguments(Arguments, {}).Names; // no options
        if (names.size() != 2)
            throw EArgumentError("--export-model needs two names: OUT.geo SECTION.sec");
    } catch (const EArgumentError& error) {
        return ArgumentsRefused(Errors, error);
    }
    try {
        const QString geometry = ModelGeometryFileName(names[0]);
        RefuseOutputNamingInput({{"geometry file", geometry}, {"region table", ModelTableFileName(geometry)}},
                                {{"section file", names[1]}});
        const TModelExportSummary summary = ExportSectionFileModel(names[1], names[0]);
        for (const std::string& warning : summary.Warnings)
            PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(warning));
        return 0;
    } catch (const std::exception& error) {
        return CommandFailed(Errors, error);
    }
}

} // namespace lp::commandline
