#include "section/main/CommandLine.h"

#include "section/editor/ModelExport.h"

namespace lp {

namespace {

void PrintLine(std::FILE* Stream, const QString& Text)
{
    std::fputs((Text + QLatin1Char('\n')).toLocal8Bit().constData(), Stream);
    std::fflush(Stream);
}

int ExportModelCommand(const QStringList& Arguments, std::FILE* Errors)
{
    if (Arguments.size() != 3) {
        PrintLine(Errors, QStringLiteral("lithoprism: --export-model needs two names: OUT.geo SECTION.sec "
                                         "(see lithoprism --help)"));
        return 2;
    }
    try {
        const TModelExportSummary summary = ExportSectionFileModel(Arguments[2], Arguments[1]);
        for (const std::string& warning : summary.Warnings)
            PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(warning));
        return 0;
    } catch (const std::exception& error) {
        PrintLine(Errors, QStringLiteral("lithoprism: ") + QString::fromUtf8(error.what()));
        return 1;
    }
}

} // namespace

QString CommandLineUsage()
{
    return QStringLiteral(
        "Usage: lithoprism [SECTION.sec] [-ns]\n"
        "       lithoprism --export-model OUT.geo SECTION.sec\n"
        "       lithoprism --help\n"
        "\n"
        "Without options the section editor opens, with the section file named (if any).\n"
        "\n"
        "  -ns, /ns        start without the splash window\n"
        "  --export-model OUT.geo SECTION.sec\n"
        "                  write the section's model as a Gmsh geometry OUT.geo and the\n"
        "                  table of its regions OUT.csv (tag, body, ring, label,\n"
        "                  resistivity, polarizability, area), then exit; no window is\n"
        "                  opened. Mesh it with: gmsh -2 OUT.geo\n"
        "  --help          print this text and exit");
}

std::optional<int> RunCommandLine(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    if (Arguments.isEmpty())
        return std::nullopt;
    const QString& first = Arguments.front();
    if (first == QStringLiteral("--help") || first == QStringLiteral("-h")) {
        PrintLine(Out, CommandLineUsage());
        return 0;
    }
    if (first == QStringLiteral("--export-model"))
        return ExportModelCommand(Arguments, Errors);
    return std::nullopt;
}

} // namespace lp
