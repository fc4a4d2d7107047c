// lithoprism --invert-lines OUTDIR LINE.dat [LINE.dat ...] [options]:
// several lines of one site, each inverted on its map track and tied where
// the tracks cross, written as each line's cell table, the fence, the
// volume between the lines, slices at depths below the ground and,
// when asked, the volume as a VTK grid.

#include "section/main/CommandLine_p.h"

#include "section/modelling/FittedRegions.h"
#include "section/site/SiteVolume.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <cmath>
#include <cstdio>
#include <memory>

namespace lp::commandline {

namespace {

// What --invert-lines was asked.
struct TLinesRequest {
    QString OutFolder;
    QStringList DataFiles;
    QStringList SliceTexts;          // each depth as typed: its file's name
    std::vector<double> SliceDepths; // metres below the ground
    QString VtkFile;
    TInvertRequest Invert; // the options --invert-lines shares with --invert
};

// The --invert options that do not apply to several lines: a section, a
// well-log list and a positions file each belong to one line.
bool OneLineOption(const QString& Option)
{
    static const QStringList options{"--section",    "--fixed",     "--constrain", "--start-from-section",
                                     "--boundary-weight", "--well-logs", "--log-error", "--log-reach",
                                     "--electrode-positions"};
    return options.contains(Option);
}

// "2,5,10.5": depths of 0 or more, each once; their texts as typed name
// their files.
void ReadSliceDepths(const QString& Text, TLinesRequest& Request)
{
    for (const QString& part : Text.split(QLatin1Char(','))) {
        const QString depth = part.trimmed();
        bool ok = false;
        const double value = depth.toDouble(&ok);
        if (!ok || !std::isfinite(value) || value < 0.0 || depth.contains(QLatin1Char('/')))
            throw EArgumentError(
                QStringLiteral("--slice-depths needs depths of 0 or more metres, comma-separated, not \"%1\"")
                    .arg(depth)
                    .toStdString());
        if (Request.SliceTexts.contains(depth))
            throw EArgumentError(QStringLiteral("--slice-depths names the depth %1 twice").arg(depth).toStdString());
        Request.SliceTexts.append(depth);
        Request.SliceDepths.push_back(value);
    }
}

TLinesRequest ParseLinesArguments(const QStringList& Arguments)
{
    TCommandOptions invert{{"--constrain", "--start-from-section", "--doi", "--blocky", "--robust", "--ip-is-phase"},
                           {"--section", "--fixed", "--error", "--lambda", "--z-weight", "--reference-weight",
                            "--iterations", "--boundary-weight", "--well-logs", "--log-error", "--log-reach",
                            "--format", "--change-error", "--blocky-epsilon", "--phase-error"}};
    invert += CleaningOptions();
    TCommandOptions known = invert;
    known += TCommandOptions{{}, {"--slice-depths", "--vtk"}};
    const TCommandArguments split = SplitCommandArguments(Arguments, known);
    TLinesRequest request;
    // The shared options are read as --invert reads them.
    QStringList shared{QStringLiteral("--invert"), QStringLiteral("OUT.csv"), QStringLiteral("LINE.dat")};
    for (const auto& [argument, value] : split.Options) {
        if (argument == QStringLiteral("--slice-depths")) {
            if (!request.SliceTexts.isEmpty())
                throw EArgumentError("--slice-depths is given twice: list every depth in one");
            ReadSliceDepths(value, request);
        } else if (argument == QStringLiteral("--vtk")) {
            request.VtkFile = value;
        } else if (OneLineOption(argument)) {
            throw EArgumentError(
                QStringLiteral("%1 goes with --invert (one line), not with --invert-lines").arg(argument).toStdString());
        } else if (argument == QStringLiteral("--change-error")) {
            throw EArgumentError("--change-error goes with --timelapse, not with --invert-lines");
        } else {
            shared.append(argument);
            if (!invert.Switches.contains(argument))
                shared.append(value);
        }
    }
    if (split.Names.size() < 2)
        throw EArgumentError("--invert-lines needs an output folder and at least one measured file: OUTDIR LINE.dat "
                             "[LINE.dat ...]");
    request.Invert = ParseInvertArguments(shared);
    request.OutFolder = QDir::cleanPath(split.Names[0]);
    request.DataFiles = split.Names.mid(1);
    return request;
}

// Every file the command writes, by its role, in the order written.
std::vector<std::pair<const char*, QString>> OutputFiles(const TLinesRequest& Request, const QStringList& Names)
{
    const QDir folder(Request.OutFolder);
    std::vector<std::pair<const char*, QString>> files;
    for (const QString& name : Names)
        files.emplace_back("cell table", folder.filePath(name + QStringLiteral(".csv")));
    files.emplace_back("fence table", folder.filePath(QStringLiteral("fence.csv")));
    files.emplace_back("volume table", folder.filePath(QStringLiteral("volume.csv")));
    for (const QString& depth : Request.SliceTexts)
        files.emplace_back("slice table", folder.filePath(QStringLiteral("slice-%1.csv").arg(depth)));
    if (!Request.VtkFile.isEmpty())
        files.emplace_back("volume grid", Request.VtkFile);
    return files;
}

// The output folder is made where its parent exists; nothing is made here.
void RefuseUnusableFolder(const QString& Folder)
{
    const QFileInfo info(Folder);
    if (info.exists() && !info.isDir())
        throw EDataFileError(QStringLiteral("The output folder \"%1\" is a file. Nothing was computed or written.")
                                 .arg(Folder)
                                 .toStdString());
    // Its parent (or, when it exists, the folder itself) must take files.
    RefuseUnwritableOutput(info.exists() ? QDir(Folder).filePath(QStringLiteral("fence.csv")) : Folder,
                           "output folder");
}

// The lines' names, as SiteLineOf gives them.
QStringList LineNames(const QStringList& Files)
{
    QStringList names;
    for (const QString& file : Files)
        names.append(QString::fromStdString(SiteLineName(file.toStdString())));
    return names;
}

// A line's data read and cleaned as --invert reads them, each line said on
// Errors naming the file ("lithoprism: line5.dat: warning: ...",
// "line5.dat: drop-outliers: 18 data removed"): several
// files are read, and a warning must say which one it is about.
TMeasuredData ReadLine(const QString& File, const TInvertRequest& Request, std::FILE* Errors)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> said(std::tmpfile(), &std::fclose);
    std::FILE* to = said ? said.get() : Errors;
    const auto pass = [&] {
        if (!said)
            return;
        std::rewind(said.get());
        QByteArray bytes;
        char buffer[4096];
        for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, said.get())) > 0;)
            bytes.append(buffer, static_cast<qsizetype>(read));
        const QString prefix = QStringLiteral("lithoprism: ");
        for (QString line : QString::fromLocal8Bit(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            line.insert(line.startsWith(prefix) ? prefix.size() : 0, File + QStringLiteral(": "));
            PrintLine(Errors, line);
        }
    };
    try {
        TMeasuredData data = CleanMeasuredData(ReadMeasuredDataFile(File, Request.DataFormat, to, Request.Reading),
                                               Request.Cleaning, to);
        pass();
        return data;
    } catch (...) {
        pass();
        throw;
    }
}

// A map coordinate as printed: to the centimetre, without trailing zeros.
QString MapNumber(double Value)
{
    return QString::number(std::round(Value * 100.0) / 100.0 + 0.0, 'g', 15);
}

// The texts of every file, made before any is written: a fault in one
// writes none.
std::vector<std::string> OutputTexts(const TLinesRequest& Request, const std::vector<TSiteLine>& Lines,
                                     const TSiteImages& Images)
{
    std::vector<std::string> texts;
    for (const TLineImage& image : Images.Images)
        texts.push_back(FormatInversionTable(image.Mesh, image.Inversion));
    texts.push_back(FormatFenceCsv(Lines, FenceCells(Lines, Images)));
    const TSiteVolume volume = InterpolateVolume(Lines, Images);
    texts.push_back(FormatVolumeCsv(volume));
    for (double depth : Request.SliceDepths)
        texts.push_back(FormatSliceCsv(VolumeSlice(Lines, Images, depth)));
    if (!Request.VtkFile.isEmpty())
        texts.push_back(FormatVolumeVtk(volume));
    return texts;
}

} // namespace

int InvertLinesCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    TLinesRequest request;
    try {
        request = ParseLinesArguments(Arguments);
    } catch (const EArgumentError& error) {
        return ArgumentsRefused(Errors, error);
    }
    try {
        const QStringList names = LineNames(request.DataFiles);
        const auto outputs = OutputFiles(request, names);
        std::vector<TNamedFile> inputs;
        for (const QString& file : request.DataFiles)
            inputs.emplace_back("measured data file", file);
        std::vector<TNamedFile> written(outputs.begin(), outputs.end());
        written.emplace_back("output folder", request.OutFolder);
        RefuseOutputNamingInput(written, inputs);
        RefuseUnusableFolder(request.OutFolder);
        // A grid inside the output folder is checked with the folder.
        if (!request.VtkFile.isEmpty() &&
            QFileInfo(request.VtkFile).absolutePath() != QFileInfo(request.OutFolder).absoluteFilePath())
            RefuseUnwritableOutput(request.VtkFile, "volume grid");
        // Every line read and checked before anything is computed.
        std::vector<TSiteLine> lines;
        for (const QString& file : request.DataFiles) {
            SetCommandStep(QStringLiteral("reading %1").arg(file));
            lines.push_back(SiteLineOf(file.toStdString(), ReadLine(file, request.Invert, Errors)));
        }
        CheckSiteLines(lines);
        SetCommandStep(QStringLiteral("inverting the lines"));
        const TSiteImages site = InvertSite(lines, request.Invert.Options, {}, request.Invert.DepthOfInvestigation);
        SetCommandStep(QStringLiteral("placing the images on the map"));
        const std::vector<std::string> texts = OutputTexts(request, lines, site);
        if (!QFileInfo::exists(request.OutFolder) && !QDir().mkdir(request.OutFolder))
            throw EDataFileError(QStringLiteral("The output folder \"%1\" cannot be made. Nothing was written.")
                                     .arg(request.OutFolder)
                                     .toStdString());
        for (size_t f = 0; f < outputs.size(); ++f)
            SaveOutput(outputs[f].second, outputs[f].first, texts.at(f));
        for (size_t l = 0; l < lines.size(); ++l) {
            const TLineImage& image = site.Images[l];
            PrintLine(Out, QStringLiteral("line %1: %2 data, chi-square %3, rrms %4 %")
                               .arg(names[static_cast<qsizetype>(l)])
                               .arg(image.Data)
                               .arg(ChiSquareText(image.ChiSquare), RrmsText(image.Rrms)));
        }
        for (const TCrossing& crossing : site.Crossings)
            PrintLine(Out, QStringLiteral("crossing %1 %2 at %3 %4")
                               .arg(names[static_cast<qsizetype>(crossing.LineA)],
                                    names[static_cast<qsizetype>(crossing.LineB)], MapNumber(crossing.X),
                                    MapNumber(crossing.Y)));
        return 0;
    } catch (const std::exception& error) {
        return CommandFailed(Errors, error);
    }
}

} // namespace lp::commandline
