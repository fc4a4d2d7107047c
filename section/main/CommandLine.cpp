#include "section/main/CommandLine.h"

#include "platform/core/SafeSave.h"
#include "section/editor/BodyParameters.h"
#include "section/editor/ModelExport.h"
#include "section/editor/SectionFileReader.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/DataFile.h"
#include "section/survey/Misfit.h"
#include "section/survey/ReadableNumbers.h"
#include "section/survey/formats/DataFormats.h"
#include "section/inversion/SurveyInversion.h"
#include "section/inversion/InversionExport.h"
#include "section/inversion/TimeLapseInversion.h"
#include "section/modelling/FittedRegions.h"
#include "section/modelling/InversionSetup.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/modelling/ForwardPseudoSection.h"
#include "section/inversion/RegionFit.h"
#include "section/modelling/SameFile.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

namespace lp {

namespace {

void PrintLine(std::FILE* Stream, const QString& Text)
{
    std::fputs((Text + QLatin1Char('\n')).toLocal8Bit().constData(), Stream);
    std::fflush(Stream);
}

// An output that names one of the command's inputs: exit code 1.
class EOutputIsInput : public Exception {
public:
    using Exception::Exception;
};

// One name of a command: what it is ("section file") and the name given.
using TNamedFile = std::pair<const char*, QString>;

// Every command that writes calls this before it reads or writes anything:
// an output that is one of the inputs would replace the user's file.
void RefuseOutputNamingInput(const std::vector<TNamedFile>& Outputs, const std::vector<TNamedFile>& Inputs)
{
    for (const auto& [outputRole, output] : Outputs)
        for (const auto& [inputRole, input] : Inputs)
            if (!input.isEmpty() && SameFile(output, input))
                throw EOutputIsInput(QStringLiteral("The %1 \"%2\" is the %3 \"%4\": name another file to write. "
                                                    "Nothing was written.")
                                         .arg(QLatin1String(outputRole), output, QLatin1String(inputRole), input)
                                         .toStdString());
}

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
        PrintLine(Errors, QStringLiteral("lithoprism: ") + QString::fromUtf8(error.what()));
        return 1;
    }
}

// A wrong argument of --forward: exit code 2.
class EArgumentError : public Exception {
public:
    using Exception::Exception;
};

// What --forward was asked.
// What the measured data are cleaned of before they are used.
struct TCleaningRequest {
    std::optional<double> OutlierLimit;    // --drop-outliers K
    std::optional<double> ReciprocalLimit; // --drop-reciprocal PERCENT
    bool ReciprocalError = false;          // --reciprocal-error
    bool DropNegative = false;             // --drop-negative
    bool Any() const { return OutlierLimit || ReciprocalLimit || ReciprocalError || DropNegative; }
};

struct TForwardRequest {
    QString OutFile, SectionFile, SchemeFile, DataFile;
    TCleaningRequest Cleaning;               // with DataFile
    TArrayLayout Layout;
    std::optional<double> HostResistivity;
    std::optional<double> ErrorPercent;      // with DataFile
    std::optional<double> VoltageError;      // volts, with DataFile
    std::optional<TDataFormat> DataFormat;   // with DataFile; none: told from the content
};

double PositiveArgument(const QString& Option, const QString& Text)
{
    bool ok = false;
    const double value = Text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0.0)
        throw EArgumentError(
            QStringLiteral("%1 needs a number above 0, not \"%2\"").arg(Option, Text).toStdString());
    return value;
}

double FiniteArgument(const QString& Option, const QString& Text)
{
    bool ok = false;
    const double value = Text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw EArgumentError(
            QStringLiteral("%1 needs a finite number, not \"%2\"").arg(Option, Text).toStdString());
    return value;
}

double RangeArgument(const QString& Option, const QString& Text, double Least, double Most)
{
    bool ok = false;
    const double value = Text.toDouble(&ok);
    if (!ok || !(value >= Least && value <= Most))
        throw EArgumentError(QStringLiteral("%1 needs a number from %2 to %3, not \"%4\"")
                                 .arg(Option, QString::fromStdString(ReadableNumber(Least)),
                                      QString::fromStdString(ReadableNumber(Most)), Text)
                                 .toStdString());
    return value;
}

int CountArgument(const QString& Option, const QString& Text, int Least, int Most)
{
    bool ok = false;
    const int value = Text.toInt(&ok);
    if (!ok || value < Least || value > Most)
        throw EArgumentError(QStringLiteral("%1 needs a whole number from %2 to %3, not \"%4\"")
                                 .arg(Option)
                                 .arg(Least)
                                 .arg(Most)
                                 .arg(Text)
                                 .toStdString());
    return value;
}

// A command's arguments after its name: the names, and each option with
// its value (an option without one is refused).
struct TCommandArguments {
    QStringList Names;
    std::vector<std::pair<QString, QString>> Options;
};

TCommandArguments SplitCommandArguments(const QStringList& Arguments)
{
    TCommandArguments split;
    for (qsizetype i = 1; i < Arguments.size(); ++i) {
        const QString& argument = Arguments[i];
        if (!argument.startsWith(QStringLiteral("--"))) {
            split.Names.append(argument);
            continue;
        }
        if (argument == QStringLiteral("--reciprocal-error") || argument == QStringLiteral("--drop-negative")) {
            // a switch: no value
            split.Options.emplace_back(argument, QString());
            continue;
        }
        if (i + 1 >= Arguments.size())
            throw EArgumentError(QStringLiteral("%1 needs a value").arg(argument).toStdString());
        split.Options.emplace_back(argument, Arguments[++i]);
    }
    return split;
}

// The cleaning options, which --forward, --fit and --invert share; false
// for any other option.
bool ReadCleaningOption(const QString& Option, const QString& Value, TCleaningRequest& Request)
{
    if (Option == QStringLiteral("--drop-outliers"))
        Request.OutlierLimit = PositiveArgument(Option, Value);
    else if (Option == QStringLiteral("--drop-reciprocal"))
        Request.ReciprocalLimit = PositiveArgument(Option, Value);
    else if (Option == QStringLiteral("--reciprocal-error"))
        Request.ReciprocalError = true;
    else if (Option == QStringLiteral("--drop-negative"))
        Request.DropNegative = true;
    else
        return false;
    return true;
}

// The options of the measured data and the host medium, which --forward
// and --fit share; false for any other option.
bool ReadDataOption(const QString& Option, const QString& Value, TForwardRequest& Request)
{
    if (ReadCleaningOption(Option, Value, Request.Cleaning))
        return true;
    if (Option == QStringLiteral("--data")) {
        Request.DataFile = Value;
    } else if (Option == QStringLiteral("--error")) {
        Request.ErrorPercent = PositiveArgument(Option, Value);
    } else if (Option == QStringLiteral("--voltage-error")) {
        Request.VoltageError = FiniteArgument(Option, Value);
        if (*Request.VoltageError < 0.0)
            throw EArgumentError(
                QStringLiteral("%1 needs a number of at least 0, not \"%2\"").arg(Option, Value).toStdString());
    } else if (Option == QStringLiteral("--format")) {
        Request.DataFormat = DataFormatFromName(Value.toStdString());
        if (!Request.DataFormat)
            throw EArgumentError("--format is " + MeasuredFormatNameChoice() + ", not \"" + Value.toStdString() + "\"");
    } else if (Option == QStringLiteral("--host-resistivity")) {
        Request.HostResistivity = PositiveArgument(Option, Value);
    } else {
        return false;
    }
    return true;
}

TForwardRequest ParseForwardArguments(const QStringList& Arguments)
{
    TForwardRequest request;
    const TCommandArguments split = SplitCommandArguments(Arguments);
    const QStringList& names = split.Names;
    bool layoutGiven = false;
    for (const auto& [argument, value] : split.Options) {
        if (ReadDataOption(argument, value, request))
            continue;
        if (argument == QStringLiteral("--array")) {
            const std::optional<TArrayKind> kind = ArrayKindFromName(value.toStdString());
            if (!kind)
                throw EArgumentError(
                    QStringLiteral("--array is dipole-dipole, wenner or schlumberger, not \"%1\"").arg(value).toStdString());
            request.Layout.Kind = *kind;
            layoutGiven = true;
        } else if (argument == QStringLiteral("--electrodes")) {
            request.Layout.Electrodes = CountArgument(argument, value, MinArrayElectrodes, MaxArrayElectrodes);
            layoutGiven = true;
        } else if (argument == QStringLiteral("--spacing")) {
            request.Layout.Spacing = PositiveArgument(argument, value);
            layoutGiven = true;
        } else if (argument == QStringLiteral("--first")) {
            request.Layout.First = FiniteArgument(argument, value);
            layoutGiven = true;
        } else if (argument == QStringLiteral("--levels")) {
            request.Layout.Levels = CountArgument(argument, value, MinArrayLevels, MaxArrayLevels);
            layoutGiven = true;
        } else if (argument == QStringLiteral("--scheme")) {
            request.SchemeFile = value;
        } else {
            throw EArgumentError(QStringLiteral("unknown option %1 for --forward").arg(argument).toStdString());
        }
    }
    if (names.size() != 2)
        throw EArgumentError("--forward needs two names: OUT.dat SECTION.sec");
    if (!request.SchemeFile.isEmpty() && layoutGiven)
        throw EArgumentError("--scheme takes the electrodes and configurations from its file: it cannot be combined "
                             "with --array, --electrodes, --spacing, --first or --levels");
    if (!request.DataFile.isEmpty() && !request.SchemeFile.isEmpty())
        throw EArgumentError("--data and --scheme both give the electrodes and configurations: name one of them");
    if (!request.DataFile.isEmpty() && layoutGiven)
        throw EArgumentError("--data takes the electrodes and configurations from its file: it cannot be combined "
                             "with --array, --electrodes, --spacing, --first or --levels");
    if (request.DataFile.isEmpty() && (request.ErrorPercent || request.VoltageError || request.DataFormat ||
                                       request.Cleaning.Any()))
        throw EArgumentError("--error, --voltage-error, --format, --drop-negative, --drop-outliers, "
                             "--drop-reciprocal and --reciprocal-error go with --data MEASURED");
    request.OutFile = names[0];
    request.SectionFile = names[1];
    return request;
}

// A data file's bytes read by Parse; a refusal names the file.
template <typename TParse>
auto ReadDataFile(const QString& FileName, const char* Role, const TParse& Parse)
{
    const auto refused = [&](const QString& why) {
        return EDataFileError(QStringLiteral("The %1 \"%2\" cannot be read: %3")
                                  .arg(QLatin1String(Role), FileName, why)
                                  .toStdString());
    };
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw refused(file.errorString());
    const QByteArray bytes = file.readAll();
    try {
        return Parse(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    } catch (const EDataFileError& error) {
        throw refused(QString::fromStdString(error.Message()));
    }
}

TSurvey ReadSchemeFile(const QString& FileName)
{
    return ReadDataFile(FileName, "scheme file", [](std::string_view text) { return ParseUnifiedData(text); });
}

// The measured data, with a line on Errors for each warning and for the
// data skipped; refused when no datum can be used.
TMeasuredData ReadMeasuredDataFile(const QString& FileName, std::optional<TDataFormat> Format, std::FILE* Errors)
{
    const TMeasuredData data = ReadDataFile(FileName, "measured data file", [&](std::string_view text) {
        return ReadMeasuredData(text, Format, QFileInfo(FileName).suffix().toStdString());
    });
    for (const std::string& warning : data.Warnings)
        PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(warning));
    if (data.Skipped.Total() > 0 && data.Size() > 0)
        PrintLine(Errors, QStringLiteral("lithoprism: warning: %1 data of the file are skipped: %2.")
                              .arg(data.Skipped.Total())
                              .arg(QString::fromStdString(data.Skipped.Text())));
    if (data.Size() == 0)
        throw EDataFileError(QStringLiteral("The measured data file \"%1\" holds no datum that can be used%2.")
                                 .arg(FileName,
                                      data.Skipped.Total() > 0
                                          ? QStringLiteral(" (%1 skipped: %2)")
                                                .arg(data.Skipped.Total())
                                                .arg(QString::fromStdString(data.Skipped.Text()))
                                          : QString())
                                 .toStdString());
    return data;
}

// The line of --reciprocal-error: the model and what its data took ("the
// error of their 8 data"; the file's own error where it gives one), and a
// warning when the pairs agree so closely that the model's error fell
// below the least one it gives.
void PrintReciprocalErrorUse(std::FILE* Errors, const TReciprocalErrorModel& Model, const TReciprocalErrorUse& Use)
{
    const auto paired = static_cast<long long>(Use.Set + Use.Own);
    QString taken;
    if (Use.Own == 0)
        taken = QStringLiteral("the error of their %1 data").arg(paired);
    else if (Use.Set == 0)
        taken = QStringLiteral("not used: their %1 data keep the file's own error").arg(paired);
    else
        taken = QStringLiteral("the error of %1 of their %2 data (%3 the file's own error)")
                    .arg(static_cast<long long>(Use.Set))
                    .arg(paired)
                    .arg(Use.Own == 1 ? QStringLiteral("1 keeps") : QStringLiteral("%1 keep").arg(Use.Own));
    PrintLine(Errors, QStringLiteral("reciprocal-error: %1: |dR| = %2 ohm + %3 % of |R|, %4")
                          .arg(CountText(static_cast<long long>(Model.Pairs), QStringLiteral("pair"),
                                         QStringLiteral("pairs")))
                          .arg(Model.Absolute, 0, 'g', 3)
                          .arg(100.0 * Model.Relative, 0, 'g', 3)
                          .arg(taken));
    if (Use.Floored > 0)
        PrintLine(Errors, QStringLiteral("lithoprism: warning: the reciprocal pairs agree so closely that the model "
                                         "gives %1 an error below %2 %: %3 %2 %, the least it gives")
                              .arg(Use.Floored == 1 ? QStringLiteral("1 datum") : QStringLiteral("%1 data").arg(Use.Floored))
                              .arg(100.0 * MinReciprocalError, 0, 'g', 3)
                              .arg(Use.Floored == 1 ? QStringLiteral("it takes") : QStringLiteral("they take")));
}

// The measured data cleaned as asked, a line on Errors for each step: the
// data of ρa 0 or below removed (always: no computation takes them; without
// --drop-negative a warning says so), reciprocal pairs beyond the limit
// removed (both data), the error model fitted to the pairs left set as the
// error of their data whose file gives none, then the outliers removed.
// Refused when no datum is left.
TMeasuredData CleanMeasuredData(TMeasuredData Data, const TCleaningRequest& Request, std::FILE* Errors)
{
    const auto removedCount = [](const std::vector<bool>& removed) {
        return static_cast<long long>(std::count(removed.begin(), removed.end(), true));
    };
    const std::vector<bool> nonPositive = NonPositiveData(Data);
    if (const long long count = removedCount(nonPositive); Request.DropNegative) {
        PrintLine(Errors, QStringLiteral("drop-negative: %1 data removed").arg(count));
    } else if (count > 0) {
        const auto first = std::find(nonPositive.begin(), nonPositive.end(), true) - nonPositive.begin();
        const int line = Data.Lines.at(static_cast<size_t>(first));
        const bool one = count == 1;
        PrintLine(Errors, QStringLiteral("lithoprism: warning: %1 with an apparent resistivity of 0 or below left out "
                                         "(%2 %3); --drop-negative removes %4 without this warning")
                              .arg(one ? QStringLiteral("1 datum") : QStringLiteral("%1 data").arg(count),
                                   one ? QStringLiteral("on line") : QStringLiteral("first on line"))
                              .arg(line)
                              .arg(one ? QStringLiteral("it") : QStringLiteral("them")));
    }
    Data = KeepData(Data, nonPositive);
    if (Request.ReciprocalLimit || Request.ReciprocalError) {
        std::vector<TReciprocalPair> pairs = ReciprocalPairs(Data);
        if (Request.ReciprocalLimit) {
            const std::vector<bool> removed = ReciprocalDataBeyond(pairs, Data.Size(), *Request.ReciprocalLimit);
            PrintLine(Errors, QStringLiteral("drop-reciprocal: %1 data removed (%2 of %3 beyond %4 %)")
                                  .arg(removedCount(removed))
                                  .arg(removedCount(removed) / 2)
                                  .arg(CountText(static_cast<long long>(pairs.size()), QStringLiteral("pair"),
                                                 QStringLiteral("pairs")))
                                  .arg(*Request.ReciprocalLimit));
            Data = KeepData(Data, removed);
            pairs = ReciprocalPairs(Data);
        }
        if (Request.ReciprocalError) {
            if (pairs.empty())
                throw EDataFileError("--reciprocal-error: the data hold no reciprocal pair to fit an error model to.");
            const TReciprocalErrorModel model = FitReciprocalErrorModel(pairs);
            const TReciprocalErrorUse use = UseReciprocalErrorModel(Data, pairs, model);
            PrintReciprocalErrorUse(Errors, model, use);
        }
    }
    if (Request.OutlierLimit) {
        const std::vector<bool> removed = OutlyingData(Data, *Request.OutlierLimit);
        PrintLine(Errors, QStringLiteral("drop-outliers: %1 data removed").arg(removedCount(removed)));
        Data = KeepData(Data, removed);
    }
    if (Data.Size() == 0)
        throw EDataFileError("No datum is left after the cleaning.");
    return Data;
}

// Role names the file in the refusal ("data file", "cell table").
void SaveOutput(const QString& FileName, const char* Role, const std::string& Text)
{
    QString error;
    if (!SaveBytesAtomically(FileName, QByteArray::fromStdString(Text), error))
        throw EDataFileError(QStringLiteral("The %1 \"%2\" cannot be written: %3. Nothing was written.")
                                 .arg(QLatin1String(Role), FileName, error)
                                 .toStdString());
}

// Why no file can be made in a folder that looks writable (a file system
// that takes no files, /proc say, or one mounted read-only): a temporary
// file beside the output tried and removed again; empty when it was made.
QString FolderRefusingFiles(const QString& Folder, const QString& FileName)
{
    QTemporaryFile probe(Folder + QStringLiteral("/.") + FileName + QStringLiteral(".XXXXXX"));
    if (probe.open())
        return {};
    return QStringLiteral("no file can be made in its folder \"%1\" (%2)").arg(Folder, probe.errorString());
}

// Before a computation: an output whose folder is missing or cannot be
// written is refused at once, not after minutes of work. The file itself
// is neither made nor touched here (a temporary file beside it is, and
// removed again); the save stays atomic.
void RefuseUnwritableOutput(const QString& FileName, const char* Role)
{
    const QFileInfo file(FileName);
    const QFileInfo folder(file.absolutePath());
    QString why;
    if (!folder.exists())
        why = QStringLiteral("its folder \"%1\" does not exist").arg(folder.filePath());
    else if (!folder.isDir())
        why = QStringLiteral("\"%1\" is not a folder").arg(folder.filePath());
    else if (!folder.isWritable())
        why = QStringLiteral("its folder \"%1\" cannot be written").arg(folder.filePath());
    else if (file.exists() && !file.isFile())
        why = QStringLiteral("the name is taken by something that is not a file");
    else
        why = FolderRefusingFiles(folder.absoluteFilePath(), file.fileName());
    if (!why.isEmpty())
        throw EDataFileError(QStringLiteral("The %1 \"%2\" cannot be written: %3. Nothing was computed or written.")
                                 .arg(QLatin1String(Role), FileName, why)
                                 .toStdString());
}

// A host medium without a resistivity and no --host-resistivity: said on
// Errors (the command then exits with 1).
bool HostWithoutResistivity(const TSectionModel& Section, const TForwardRequest& Request, std::FILE* Errors)
{
    if (Request.HostResistivity || Section.Model.Empty() || Section.Model[0].Empty() ||
        !Section.Model[0][0].params[psResistivity].IsEmpty())
        return false;
    PrintLine(Errors, QStringLiteral("lithoprism: The host medium has no resistivity: set it in the section or give "
                                     "--host-resistivity R."));
    return true;
}

int ForwardCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    TForwardRequest request;
    try {
        request = ParseForwardArguments(Arguments);
    } catch (const EArgumentError& error) {
        PrintLine(Errors, QStringLiteral("lithoprism: %1 (see lithoprism --help)").arg(QString::fromStdString(error.Message())));
        return 2;
    }
    try {
        RefuseOutputNamingInput({{"data file", request.OutFile}},
                                {{"section file", request.SectionFile},
                                 {"scheme file", request.SchemeFile},
                                 {"measured data file", request.DataFile}});
        RefuseUnwritableOutput(request.OutFile, "data file");
        const TSectionModel section = ReadSectionFileModel(request.SectionFile);
        if (HostWithoutResistivity(section, request, Errors))
            return 1;
        const TForwardModel ground =
            PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, request.HostResistivity);
        const bool table = request.OutFile.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
        if (!request.DataFile.isEmpty()) {
            const TMeasuredData measured = CleanMeasuredData(
                ReadMeasuredDataFile(request.DataFile, request.DataFormat, Errors), request.Cleaning, Errors);
            if (const std::optional<std::string> mismatch = ElevationMismatch(measured, ground))
                PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(*mismatch));
            const TForwardResult result = ComputeForwardResponse(ground, measured.Survey());
            TErrorModel errors;
            errors.RelativePercent = request.ErrorPercent.value_or(errors.RelativePercent);
            errors.AbsoluteVoltage = request.VoltageError.value_or(errors.AbsoluteVoltage);
            const TMisfit misfit = ComputeMisfit(measured, result, errors);
            SaveOutput(request.OutFile, "data file",
                       table ? FormatComparisonTable(measured, result, misfit) : FormatUnifiedData(result));
            PrintLine(Out, QString::fromStdString(MisfitSummary(misfit, measured.Skipped)));
            return 0;
        }
        TSurvey survey = request.SchemeFile.isEmpty() ? MakeArraySurvey(request.Layout, ground.Left, ground.Right)
                                                      : ReadSchemeFile(request.SchemeFile);
        const TForwardResult result = ComputeForwardResponse(ground, std::move(survey));
        SaveOutput(request.OutFile, "data file", table ? FormatDataTable(result) : FormatUnifiedData(result));
        return 0;
    } catch (const std::exception& error) {
        PrintLine(Errors, QStringLiteral("lithoprism: ") + QString::fromUtf8(error.what()));
        return 1;
    }
}

// What --invert was asked.
struct TInvertRequest {
    QString OutFile, DataFile, SectionFile;
    QStringList DataFiles; // --timelapse: the surveys in time order
    TCleaningRequest Cleaning;
    bool Constrain = false, StartFromSection = false;
    std::optional<double> BoundaryWeight; // of every line and boundary with --constrain
    QString WellLogsFile;                 // a carotage list of resistivity logs
    bool DepthOfInvestigation = false;
    std::optional<TDataFormat> DataFormat;
    TSurveyInversionOptions Options;
};

// --invert, and --timelapse (TimeLapse) with the same options but --doi,
// --well-logs, --log-error and --log-reach.
TInvertRequest ParseInvertArguments(const QStringList& Arguments, bool TimeLapse = false)
{
    const QString command = TimeLapse ? QStringLiteral("--timelapse") : QStringLiteral("--invert");
    TInvertRequest request;
    QStringList names;
    for (qsizetype i = 1; i < Arguments.size(); ++i) {
        const QString& argument = Arguments[i];
        if (!argument.startsWith(QStringLiteral("--"))) {
            names.append(argument);
            continue;
        }
        if (argument == QStringLiteral("--constrain")) {
            request.Constrain = true;
            continue;
        }
        if (argument == QStringLiteral("--start-from-section")) {
            request.StartFromSection = true;
            continue;
        }
        if (argument == QStringLiteral("--doi")) {
            request.DepthOfInvestigation = true;
            continue;
        }
        if (argument == QStringLiteral("--reciprocal-error") || argument == QStringLiteral("--drop-negative")) {
            ReadCleaningOption(argument, QString(), request.Cleaning); // switches
            continue;
        }
        if (i + 1 >= Arguments.size())
            throw EArgumentError(QStringLiteral("%1 needs a value").arg(argument).toStdString());
        const QString value = Arguments[++i];
        if (ReadCleaningOption(argument, value, request.Cleaning)) {
            continue;
        } else if (argument == QStringLiteral("--section")) {
            request.SectionFile = value;
        } else if (argument == QStringLiteral("--error")) {
            request.Options.ErrorPercent = PositiveArgument(argument, value);
        } else if (argument == QStringLiteral("--lambda")) {
            request.Options.Settings.Lambda = RangeArgument(argument, value, MinLambda, MaxLambda);
        } else if (argument == QStringLiteral("--z-weight")) {
            request.Options.ZWeight = PositiveArgument(argument, value);
        } else if (argument == QStringLiteral("--reference-weight")) {
            bool ok = false;
            const double weight = value.toDouble(&ok);
            if (!ok || !std::isfinite(weight) || weight < 0.0)
                throw EArgumentError(
                    QStringLiteral("%1 needs a finite number of 0 or more, not \"%2\"").arg(argument, value).toStdString());
            request.Options.Settings.ReferenceWeight = weight;
        } else if (argument == QStringLiteral("--iterations")) {
            request.Options.Settings.Iterations = CountArgument(argument, value, 1, 1000);
        } else if (argument == QStringLiteral("--boundary-weight")) {
            request.BoundaryWeight = RangeArgument(argument, value, 0.0, 1.0);
        } else if (TimeLapse && (argument == QStringLiteral("--well-logs") || argument == QStringLiteral("--log-error") ||
                                 argument == QStringLiteral("--log-reach"))) {
            // A series has no place for a log's prior data yet: refused, not ignored.
            throw EArgumentError(QStringLiteral("%1 goes with --invert, not with --timelapse").arg(argument).toStdString());
        } else if (argument == QStringLiteral("--well-logs")) {
            request.WellLogsFile = value;
        } else if (argument == QStringLiteral("--log-error")) {
            request.Options.LogErrorPercent = PositiveArgument(argument, value);
        } else if (argument == QStringLiteral("--log-reach")) {
            request.Options.LogReach = RangeArgument(argument, value, 0.0, MostLogReach);
        } else if (argument == QStringLiteral("--format")) {
            request.DataFormat = DataFormatFromName(value.toStdString());
            if (!request.DataFormat)
                throw EArgumentError("--format is " + MeasuredFormatNameChoice() + ", not \"" + value.toStdString() + "\"");
        } else {
            throw EArgumentError(QStringLiteral("unknown option %1 for %2").arg(argument, command).toStdString());
        }
    }
    if (TimeLapse) {
        if (names.size() < 3)
            throw EArgumentError("--timelapse needs an output prefix and at least two measured files: OUT_PREFIX "
                                 "DATA1 DATA2 [DATA3 ...]");
        if (request.DepthOfInvestigation)
            throw EArgumentError("--doi goes with --invert, not with --timelapse");
        if ((request.Constrain || request.StartFromSection) && request.SectionFile.isEmpty())
            throw EArgumentError("--constrain and --start-from-section go with --section SECTION.sec");
        if (request.BoundaryWeight && !request.Constrain)
            throw EArgumentError("--boundary-weight goes with --constrain");
        request.OutFile = names[0];
        request.DataFiles = names.mid(1);
        return request;
    }
    if (names.size() != 2)
        throw EArgumentError("--invert needs two names: OUT.csv MEASURED");
    if ((request.Constrain || request.StartFromSection) && request.SectionFile.isEmpty())
        throw EArgumentError("--constrain and --start-from-section go with --section SECTION.sec");
    if (request.BoundaryWeight && !request.Constrain)
        throw EArgumentError("--boundary-weight goes with --constrain");
    request.OutFile = names[0];
    request.DataFile = names[1];
    return request;
}

// What --fit was asked: the section, the data and the regions' roles.
struct TFitRequest {
    TForwardRequest Data; // OutFile, SectionFile, DataFile, ErrorPercent, DataFormat, HostResistivity
    QStringList Free, Fixed;
};

QStringList LabelList(const QString& Option, const QString& Text)
{
    QStringList labels;
    for (const QString& label : Text.split(QLatin1Char(',')))
        if (!label.trimmed().isEmpty())
            labels.append(label.trimmed());
    if (labels.isEmpty())
        throw EArgumentError(QStringLiteral("%1 needs labels of regions, not \"%2\"").arg(Option, Text).toStdString());
    return labels;
}

TFitRequest ParseFitArguments(const QStringList& Arguments)
{
    TFitRequest request;
    const TCommandArguments split = SplitCommandArguments(Arguments);
    const QStringList& names = split.Names;
    for (const auto& [argument, value] : split.Options) {
        if (ReadDataOption(argument, value, request.Data))
            continue;
        if (argument == QStringLiteral("--free")) {
            request.Free += LabelList(argument, value);
        } else if (argument == QStringLiteral("--fixed")) {
            request.Fixed += LabelList(argument, value);
        } else {
            throw EArgumentError(QStringLiteral("unknown option %1 for --fit").arg(argument).toStdString());
        }
    }
    if (names.size() != 2)
        throw EArgumentError("--fit needs two names: OUT.sec SECTION.sec");
    if (request.Data.DataFile.isEmpty())
        throw EArgumentError("--fit needs the measured data: --data MEASURED");
    for (const QString& label : request.Free)
        if (request.Fixed.contains(label))
            throw EArgumentError(
                QStringLiteral("region \"%1\" cannot be both --free and --fixed").arg(label).toStdString());
    request.Data.OutFile = names[0];
    request.Data.SectionFile = names[1];
    return request;
}

// The regions a label names: the host medium as "host" (or the table's
// "Host medium"), a ring by its label or by the name the region has in
// the model's geometry ("Body 2 ring 0" for a ring without a label).
std::vector<size_t> RegionsNamed(const QString& Label, const TForwardModel& Ground, const TSectionModel& Section)
{
    std::vector<size_t> regions;
    for (size_t r = 0; r < Ground.Geometry.Regions.size(); ++r) {
        const TGeometryRegion& region = Ground.Geometry.Regions[r];
        const ParamValue& text = Section.Model[region.body][region.ring].params[psLabelText];
        const QString label = text.IsEmpty() ? QString() : QString::fromStdString(text.AsText()).trimmed();
        const QString name = r == 0 ? QStringLiteral("host") : QString::fromStdString(region.name);
        if (Label == name || (!label.isEmpty() && Label == label) ||
            (r == 0 && Label.compare(QStringLiteral("Host medium"), Qt::CaseInsensitive) == 0))
            regions.push_back(r);
    }
    if (regions.empty()) {
        QStringList known;
        for (size_t r = 0; r < Ground.Geometry.Regions.size(); ++r)
            known.append(r == 0 ? QStringLiteral("host") : QString::fromStdString(Ground.Geometry.Regions[r].name));
        throw EArgumentError(QStringLiteral("the section has no region \"%1\" (its regions: %2)")
                                 .arg(Label, known.join(QStringLiteral(", ")))
                                 .toStdString());
    }
    return regions;
}

// Free and fixed regions and their bounds as the section keeps them; with
// --free only those named are free; --fixed fixes those it names.
std::vector<TRegionFitSetting> FitSettings(const TFitRequest& Request, const TForwardModel& Ground,
                                           const TSectionModel& Section)
{
    std::vector<TRegionFitSetting> settings = SectionFitSettings(Ground, Section.Model);
    if (!Request.Free.isEmpty()) {
        for (TRegionFitSetting& setting : settings)
            setting.Free = false;
        for (const QString& label : Request.Free)
            for (size_t r : RegionsNamed(label, Ground, Section))
                settings[r].Free = true;
    }
    for (const QString& label : Request.Fixed)
        for (size_t r : RegionsNamed(label, Ground, Section))
            settings[r].Free = false;
    return settings;
}

// What --invert writes, told by OUT's extension (.vtk, .xyz; the cell
// table otherwise), and its name in refusals.
TInversionFileFormat InvertOutputFormat(const QString& OutFile)
{
    return InversionFileFormatOf(OutFile.toStdString()).value_or(TInversionFileFormat::Table);
}

const char* InvertOutputRole(TInversionFileFormat Format)
{
    switch (Format) {
    case TInversionFileFormat::Vtk:
        return "cell grid";
    case TInversionFileFormat::Xyz:
        return "resistivity grid";
    case TInversionFileFormat::Table:
        break;
    }
    return "cell table";
}

int InvertCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    TInvertRequest request;
    try {
        request = ParseInvertArguments(Arguments);
    } catch (const EArgumentError& error) {
        PrintLine(Errors, QStringLiteral("lithoprism: %1 (see lithoprism --help)").arg(QString::fromStdString(error.Message())));
        return 2;
    }
    try {
        const TInversionFileFormat format = InvertOutputFormat(request.OutFile);
        const char* role = InvertOutputRole(format);
        RefuseOutputNamingInput({{role, request.OutFile}},
                                {{"measured data file", request.DataFile}, {"section file", request.SectionFile},
                                 {"well-log list", request.WellLogsFile}});
        RefuseUnwritableOutput(request.OutFile, role);
        const TMeasuredData measured = CleanMeasuredData(
            ReadMeasuredDataFile(request.DataFile, request.DataFormat, Errors), request.Cleaning, Errors);
        std::optional<TForwardModel> section;
        lines sectionLines;
        if (!request.SectionFile.isEmpty()) {
            TSectionModel file = ReadSectionFileModel(request.SectionFile);
            sectionLines = std::move(file.Lines);
            // A host medium without a resistivity takes the data's median.
            section = PrepareForwardModel(file.Model, file.Nodes, file.ModelArea, MedianResistivity(measured));
            if (const std::optional<std::string> mismatch = ElevationMismatch(measured, *section))
                PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(*mismatch));
        }
        TSurveyInversionOptions& options = request.Options;
        if (!request.WellLogsFile.isEmpty()) {
            QStringList skipped;
            const arofcarotagedata logs = ReadCarotageList(request.WellLogsFile, &skipped);
            for (const QString& note : skipped)
                PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + note);
            if (logs.Length() == 0)
                throw EForwardError("The well-log list " + request.WellLogsFile.toStdString() + " holds no usable log.");
            for (const carotagedata& log : logs)
                options.WellLogs.push_back(WellLogOf(log));
        }
        TInversionMesh mesh = InversionMeshFor(measured, section ? &*section : nullptr);
        // The rows bent onto the lines and boundaries used and the logs' layers.
        mesh = MeshFollowingSection(mesh, section && request.Constrain ? &*section : nullptr, sectionLines,
                                    request.BoundaryWeight.value_or(0.0), options.WellLogs);
        if (section) {
            UseSectionInInversion(mesh, *section, measured, false, request.StartFromSection, options);
            // Every line and boundary of the section, at 0 (sharp) unless weighted.
            if (request.Constrain)
                ConstrainBySection(mesh, *section, sectionLines, request.BoundaryWeight.value_or(0.0), options);
        }
        TInversionCallbacks callbacks;
        callbacks.Iteration = [&](const TInversionStep& step, const Eigen::VectorXd&) {
            if (step.Iteration > 0)
                PrintLine(Out, QStringLiteral("iteration %1: chi-square %2, rrms %3 %, lambda %4")
                                   .arg(step.Iteration)
                                   .arg(ChiSquareText(step.ChiSquare), RrmsText(step.Rrms),
                                        QString::fromStdString(ReadableNumber(step.Lambda))));
        };
        TSurveyInverter inverter(measured, mesh, options);
        TSurveyInversion inversion = inverter.Invert(callbacks);
        const TInversionStep& last = inversion.Steps.back();
        // Not one step taken from a start that does not explain the data:
        // the uniform start is no image of the ground.
        if (inversion.Steps.size() < 2 && last.ChiSquare > 1.0)
            throw EForwardError(QStringLiteral("The inversion did not move from its starting model (chi-square %1): "
                                               "%2 Nothing was written.")
                                    .arg(ChiSquareText(last.ChiSquare), QString::fromStdString(inversion.Stop))
                                    .toStdString());
        if (request.DepthOfInvestigation) {
            inverter.AddDepthOfInvestigation(inversion);
            const auto seen = std::count_if(inversion.DepthOfInvestigation.begin(), inversion.DepthOfInvestigation.end(),
                                            [](double doi) { return doi < 0.2; });
            PrintLine(Out, QStringLiteral("depth of investigation: %1 of %2 cells below 0.2").arg(seen).arg(mesh.Cells()));
        }
        SaveOutput(request.OutFile, role, FormatInversionFile(mesh, inversion, format));
        PrintLine(Out, QStringLiteral("stopped: ") + QString::fromStdString(inversion.Stop));
        PrintLine(Out, QStringLiteral("inverted: %1 cells, chi-square %2, rrms %3 %")
                           .arg(mesh.Cells())
                           .arg(ChiSquareText(last.ChiSquare), RrmsText(last.Rrms)));
        if (!inversion.Prior.Cells.empty())
            PrintLine(Out, QStringLiteral("well logs: %1 cells, chi-square %2")
                               .arg(inversion.Prior.CellCount())
                               .arg(ChiSquareText(last.PriorChiSquare)));
        return 0;
    } catch (const std::exception& error) {
        PrintLine(Errors, QStringLiteral("lithoprism: ") + QString::fromUtf8(error.what()));
        return 1;
    }
}

// The files --timelapse writes: OUT_PREFIX-K.csv for survey K (0 the baseline).
QStringList TimeLapseOutputs(const QString& Prefix, qsizetype Surveys)
{
    QStringList outputs;
    for (qsizetype k = 0; k < Surveys; ++k)
        outputs.append(QStringLiteral("%1-%2.csv").arg(Prefix).arg(k));
    return outputs;
}

// "lines 12, 15, 31 and 2 more" of the data left out of a survey.
QString LeftOutLines(const TMeasuredData& Data, const std::vector<size_t>& LeftOut)
{
    constexpr size_t shown = 8;
    QStringList lines;
    for (size_t k = 0; k < LeftOut.size() && k < shown; ++k)
        lines.append(QString::number(Data.Lines.empty() ? 0 : Data.Lines.at(LeftOut[k])));
    QString text = (LeftOut.size() == 1 ? QStringLiteral("line ") : QStringLiteral("lines ")) +
                   lines.join(QStringLiteral(", "));
    if (LeftOut.size() > shown)
        text += QStringLiteral(" and %1 more").arg(LeftOut.size() - shown);
    return text;
}

int TimeLapseCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    TInvertRequest request;
    try {
        request = ParseInvertArguments(Arguments, true);
    } catch (const EArgumentError& error) {
        PrintLine(Errors, QStringLiteral("lithoprism: %1 (see lithoprism --help)").arg(QString::fromStdString(error.Message())));
        return 2;
    }
    try {
        const QStringList outputs = TimeLapseOutputs(request.OutFile, request.DataFiles.size());
        std::vector<TNamedFile> outputFiles, inputFiles{{"section file", request.SectionFile}};
        for (const QString& output : outputs)
            outputFiles.emplace_back("cell table", output);
        for (const QString& data : request.DataFiles)
            inputFiles.emplace_back("measured data file", data);
        RefuseOutputNamingInput(outputFiles, inputFiles);
        for (const QString& output : outputs)
            RefuseUnwritableOutput(output, "cell table");
        std::vector<TMeasuredData> surveys;
        std::vector<std::string> names;
        for (const QString& file : request.DataFiles) {
            surveys.push_back(CleanMeasuredData(ReadMeasuredDataFile(file, request.DataFormat, Errors), request.Cleaning, Errors));
            names.push_back(file.toStdString());
        }
        // In time order when every file dates its survey; each survey's date shown.
        const std::vector<size_t> order = TimeOrder(surveys);
        {
            std::vector<TMeasuredData> sorted;
            std::vector<std::string> sortedNames;
            QStringList sortedFiles;
            for (size_t s : order) {
                sorted.push_back(std::move(surveys.at(s)));
                sortedNames.push_back(names.at(s));
                sortedFiles.append(request.DataFiles.at(static_cast<qsizetype>(s)));
            }
            surveys = std::move(sorted);
            names = std::move(sortedNames);
            request.DataFiles = sortedFiles;
        }
        bool dated = true;
        for (size_t s = 0; s < surveys.size(); ++s) {
            const std::optional<double> time = SurveyTime(surveys[s]);
            dated = dated && time.has_value();
            PrintLine(Out, QStringLiteral("survey %1: %2%3")
                               .arg(s)
                               .arg(request.DataFiles[static_cast<qsizetype>(s)],
                                    time ? QStringLiteral(", ") + QString::fromStdString(FormatSurveyTime(*time))
                                         : QString()));
        }
        PrintLine(Out, dated ? QStringLiteral("order: by date") : QStringLiteral("order: as given"));
        const TCommonData common = CommonData(surveys, names);
        QStringList counts;
        for (const TMeasuredData& survey : surveys)
            counts.append(QString::number(survey.Size()));
        PrintLine(Out, QStringLiteral("common data: %1 of %2").arg(common.Common()).arg(counts.join(QStringLiteral(", "))));
        for (size_t s = 0; s < surveys.size(); ++s)
            if (!common.LeftOut[s].empty())
                PrintLine(Errors, QStringLiteral("lithoprism: warning: %1 of \"%2\" not in every survey, left out (%3)")
                                      .arg(CountText(static_cast<long long>(common.LeftOut[s].size()),
                                                     QStringLiteral("datum"), QStringLiteral("data")),
                                           request.DataFiles[static_cast<qsizetype>(s)],
                                           LeftOutLines(surveys[s], common.LeftOut[s])));
        // Data removed from (or not measured in) one later survey: out of its step alone.
        for (size_t s = 1; s < surveys.size(); ++s)
            if (const std::vector<size_t> lacking = common.Lacking(s); !lacking.empty())
                PrintLine(Errors, QStringLiteral("lithoprism: warning: %1 of the common data not in \"%2\", left out of "
                                                 "step %3 only (the baseline's %4)")
                                      .arg(QString::number(lacking.size()), request.DataFiles[static_cast<qsizetype>(s)])
                                      .arg(s)
                                      .arg(LeftOutLines(common.Surveys.front(), lacking)));
        const TMeasuredData& baseline = common.Surveys.front();
        std::optional<TForwardModel> section;
        if (!request.SectionFile.isEmpty()) {
            const TSectionModel file = ReadSectionFileModel(request.SectionFile);
            section = PrepareForwardModel(file.Model, file.Nodes, file.ModelArea, MedianResistivity(baseline));
            if (const std::optional<std::string> mismatch = ElevationMismatch(baseline, *section))
                PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(*mismatch));
        }
        const TInversionMesh mesh = InversionMeshFor(baseline, section ? &*section : nullptr);
        TSurveyInversionOptions& options = request.Options;
        if (section)
            UseSectionInInversion(mesh, *section, baseline, request.Constrain, request.StartFromSection, options);
        TTimeLapseCallbacks callbacks;
        callbacks.Finished = [&](int step, const TSurveyInversion& inversion) {
            const TInversionStep& last = inversion.Steps.back();
            PrintLine(Out, QStringLiteral("step %1: chi-square %2, rrms %3 %")
                               .arg(step)
                               .arg(ChiSquareText(last.ChiSquare), RrmsText(last.Rrms)));
        };
        const TTimeLapseInversion series = InvertTimeLapse(common, mesh, options, callbacks);
        const TInversionStep& first = series.Baseline.Steps.back();
        // As --invert: a baseline that did not move from a start that does
        // not explain its data is no image to measure change against.
        if (series.Baseline.Steps.size() < 2 && first.ChiSquare > 1.0)
            throw EForwardError(QStringLiteral("The baseline's inversion did not move from its starting model "
                                               "(chi-square %1): %2 Nothing was written.")
                                    .arg(ChiSquareText(first.ChiSquare), QString::fromStdString(series.Baseline.Stop))
                                    .toStdString());
        // Every table formed (and checked) before the first is written.
        std::vector<std::string> tables{FormatBaselineTable(mesh, series.Baseline)};
        for (const TTimeLapseStep& step : series.Steps)
            tables.push_back(FormatChangeTable(mesh, step));
        for (size_t k = 0; k < tables.size(); ++k)
            SaveOutput(outputs[static_cast<qsizetype>(k)], "cell table", tables[k]);
        return 0;
    } catch (const std::exception& error) {
        PrintLine(Errors, QStringLiteral("lithoprism: ") + QString::fromUtf8(error.what()));
        return 1;
    }
}

// The lines of the fitted regions: resistivities, then polarizabilities.
void PrintFittedRegions(std::FILE* Out, const TRegionFitResult& Fit, const TForwardModel& Ground)
{
    const auto name = [&](size_t r) { return FitRegionName(Ground, r, QStringLiteral("host")); };
    for (size_t r = 0; r < Fit.Regions.size(); ++r) {
        const TFittedRegion& region = Fit.Regions[r];
        switch (region.State) {
        case TRegionFitState::Fitted:
            PrintLine(Out, QStringLiteral("%1: %2 -> %3 ohm-m (%4)")
                               .arg(name(r), FittedResistivityText(region.StartResistivity),
                                    FittedResistivityText(region.Resistivity),
                                    UncertaintyFactorText(region.Factor, QStringLiteral("x/\u00f7"))));
            break;
        case TRegionFitState::NotDetermined:
            PrintLine(Out, QStringLiteral("%1: %2 ohm-m, not determined")
                               .arg(name(r), FittedResistivityText(region.StartResistivity)));
            break;
        case TRegionFitState::Fixed:
            PrintLine(Out, QStringLiteral("%1: %2 ohm-m, fixed").arg(name(r), FittedResistivityText(region.Resistivity)));
            break;
        }
    }
    if (!Fit.PolarizabilityFitted)
        return;
    for (size_t r = 0; r < Fit.Regions.size(); ++r) {
        const TFittedRegion& region = Fit.Regions[r];
        if (region.PolarizabilityState == TRegionFitState::Fitted)
            PrintLine(Out, QStringLiteral("%1: %2 -> %3 %").arg(name(r), FittedPolarizabilityText(region.StartPolarizability),
                                                                 FittedPolarizabilityText(region.Polarizability)));
        else
            PrintLine(Out, QStringLiteral("%1: %2 %, %3")
                               .arg(name(r), FittedPolarizabilityText(region.Polarizability),
                                    region.State == TRegionFitState::NotDetermined ? QStringLiteral("not determined")
                                                                                    : QStringLiteral("fixed")));
    }
}

// The section file's bytes with its model block made anew from Section:
// the lines before the block as they are (what a save of the editor keeps).
std::string WithModelBlock(const QByteArray& FileBytes, const TSectionModel& Section)
{
    const std::string_view bytes(FileBytes.constData(), static_cast<size_t>(FileBytes.size()));
    std::string out;
    for (std::string_view line : SplitFileLines(bytes)) {
        if (line.find(SectionBlockMarker) != std::string_view::npos)
            break;
        out.append(line);
        out.append("\r\n");
    }
    const std::string block = FormatSectionModelBlock(Section);
    const std::string fault = SectionBlockFault(block);
    if (!fault.empty())
        throw ESectionFileError("The fitted section would not open again: " + fault + " Nothing was written.");
    return out + block;
}

int FitCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    TFitRequest request;
    const auto wrongArguments = [&](const Exception& error) {
        PrintLine(Errors, QStringLiteral("lithoprism: %1 (see lithoprism --help)").arg(QString::fromStdString(error.Message())));
        return 2;
    };
    try {
        request = ParseFitArguments(Arguments);
    } catch (const EArgumentError& error) {
        return wrongArguments(error);
    }
    try {
        const TForwardRequest& files = request.Data;
        RefuseOutputNamingInput({{"section file to write", files.OutFile}},
                                {{"section file", files.SectionFile}, {"measured data file", files.DataFile}});
        RefuseUnwritableOutput(files.OutFile, "section file to write");
        const QByteArray sectionBytes = SectionFileBytes(files.SectionFile);
        TSectionModel section = ReadSectionFileModel(files.SectionFile);
        if (HostWithoutResistivity(section, files, Errors))
            return 1;
        const TForwardModel ground =
            PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, files.HostResistivity);
        std::vector<TRegionFitSetting> settings;
        try {
            settings = FitSettings(request, ground, section);
        } catch (const EArgumentError& error) {
            return wrongArguments(error);
        }
        const TMeasuredData measured =
            CleanMeasuredData(ReadMeasuredDataFile(files.DataFile, files.DataFormat, Errors), files.Cleaning, Errors);
        if (const std::optional<std::string> mismatch = ElevationMismatch(measured, ground))
            PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(*mismatch));
        TRegionFitOptions options;
        options.Errors.RelativePercent = files.ErrorPercent.value_or(options.Errors.RelativePercent);
        options.Errors.AbsoluteVoltage = files.VoltageError.value_or(options.Errors.AbsoluteVoltage);
        const TRegionFitResult fit = FitRegions(ground, measured, settings, options, {}, [&](const TRegionFitStep& step) {
            PrintLine(Out, QStringLiteral("iteration %1: chi-square %2, rrms %3 %")
                               .arg(step.Iteration)
                               .arg(ChiSquareText(step.ChiSquare), RrmsText(step.Rrms)));
        });
        PrintLine(Out, QStringLiteral("stopped: ") + QString::fromStdString(fit.Stop));

        // The fitted values into the section; everything else as it was.
        WriteFittedValues(fit, ground, section.Model);
        QString error;
        const std::string bytes = WithModelBlock(sectionBytes, section);
        if (!SaveBytesAtomically(files.OutFile, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), error))
            throw ESectionFileError(QStringLiteral("The section file \"%1\" cannot be written: %2. Nothing was written.")
                                        .arg(files.OutFile, error)
                                        .toStdString());
        PrintFittedRegions(Out, fit, ground);
        PrintLine(Out, QString::fromStdString(MisfitSummary(fit.Misfit, measured.Skipped)));
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
        "       lithoprism --forward OUT.dat SECTION.sec [options]\n"
        "       lithoprism --invert OUT.csv MEASURED [options]\n"
        "       lithoprism --fit OUT.sec SECTION.sec --data MEASURED [options]\n"
        "       lithoprism --timelapse OUT_PREFIX DATA1 DATA2 [DATA3 ...] [options]\n"
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
        "  --forward OUT.dat SECTION.sec [options]\n"
        "                  compute what a resistivity / induced-polarization survey over\n"
        "                  the section would measure and write it in the unified data\n"
        "                  format (a b m n k rhoa, and ip in mV/V when a region is\n"
        "                  polarizable; OUT.csv: a table, ip_percent in per cent), then\n"
        "                  exit; no window is opened. Options:\n"
        "    --array dipole-dipole|wenner|schlumberger   (default dipole-dipole)\n"
        "    --electrodes N    number of electrodes (default 48)\n"
        "    --spacing A       electrode spacing (default: spread over the model area's\n"
        "                      width, one spacing in from each side)\n"
        "    --first X         position of the first electrode\n"
        "    --levels L        levels n = 1 .. L (default 6)\n"
        "    --scheme FILE     electrodes and configurations from a unified data file\n"
        "    --data MEASURED   compute at the configurations of a measured data file\n"
        "                      (any format --format names; poles included) and\n"
        "                      compare (its ip is a chargeability in mV/V; phases,\n"
        "                      ip/mrad or phi, are left out with a warning; data that\n"
        "                      cannot be used are skipped and counted): OUT.csv is the\n"
        "                      comparison table (a,b,m,n,\n"
        "                      xa,xb,xm,xn,k,rhoa,ip,rhoa_measured,ip_measured,error,\n"
        "                      misfit; ip, error and misfit in per cent), another name\n"
        "                      the computed data; the last line printed is\n"
        "                      \"N data (M skipped): rrms X %, chi-square Y\" (and\n"
        "                      \", ip rms Z %\" with chargeability)\n"
        "    --error PERCENT   relative error of data whose file gives none (default 3)\n"
        "    --voltage-error V   absolute voltage error (volts) added to it where the\n"
        "                      file gives voltages: p/100 + V/|U| (default 0)\n"
        "    --format unified|res2dinv   the measured file's format (default: told\n"
        "                      from its content)\n"
        "    --drop-negative   remove the data whose apparent resistivity is 0 or below\n"
        "                      (first of the cleaning steps); without it they are\n"
        "                      left out all the same (no computation takes them), with\n"
        "                      a warning naming the first one's line\n"
        "    --drop-reciprocal PERCENT   remove both data of each reciprocal pair (A,B\n"
        "                      and M,N exchanged, either polarity) whose resistances\n"
        "                      differ by more than PERCENT of their mean\n"
        "    --reciprocal-error   fit |dR| = a + b |R| to the reciprocal pairs and take\n"
        "                      it as the error of their data (instead of --error; a\n"
        "                      file's own err stays; at least 0.1 %, with a warning)\n"
        "    --drop-outliers K   remove data whose ln rhoa lies more than K scaled\n"
        "                      median absolute deviations from the median of their 8\n"
        "                      nearest neighbours in the pseudo-section\n"
        "                      (each cleaning step prints what it removed or fitted on\n"
        "                      standard error: \"drop-outliers: N data removed\")\n"
        "    --host-resistivity R   the host medium's resistivity (ohm-m) when the\n"
        "                      section sets none\n"
        "  --invert OUT.csv MEASURED [options]\n"
        "                  invert a measured data file (any format --format names)\n"
        "                  for the resistivity (and, with IP data, the chargeability) of\n"
        "                  the cells of a mesh that follows the ground surface, and write\n"
        "                  one row per cell: x1,x2,z1,z2,resistivity,chargeability,coverage\n"
        "                  (z the depth below the surface at the cell; chargeability in\n"
        "                  per cent, empty without IP data; coverage 0 .. 1; with --doi\n"
        "                  a last column doi), then exit; no window is opened.\n"
        "                  OUT.vtk instead: the cells as a VTK unstructured grid\n"
        "                  (quadrilaterals over x and elevation; cell data\n"
        "                  resistivity, chargeability, coverage, doi as computed);\n"
        "                  OUT.xyz: lines \"x elevation resistivity\" on a grid at\n"
        "                  half the smallest cell's width and height, points inside\n"
        "                  the cells only, after a \"#\" line naming the columns.\n"
        "                  Prints \"iteration I: chi-square X, rrms\n"
        "                  Y %, lambda L\" per iteration, \"stopped: WHY\" and last\n"
        "                  \"inverted: N cells, chi-square X, rrms Y %\"; when not one\n"
        "                  iteration could be taken (and the start does not explain\n"
        "                  the data) it says why, writes nothing and exits with 1.\n"
        "                  An electrode more than 50 median spacings from its\n"
        "                  neighbour is refused, naming its line.\n"
        "                  Options:\n"
        "    --section SECTION.sec   the model area and relief from the section (without\n"
        "                      it: the electrodes' span padded by two spacings, with the\n"
        "                      file's topography)\n"
        "    --constrain       no smoothing across the section's lines and boundaries\n"
        "    --boundary-weight W  with --constrain: the smoothing kept across them, 0 (none, the\n"
        "                      default) to 1 (as if not drawn)\n"
        "    --well-logs LIST.crt  resistivity logs (a well-log list) as data of the cells they cross\n"
        "    --log-error PERCENT  the logs' relative error at the well (default 20)\n"
        "    --log-reach SPACINGS  how far along the line a log stands for the ground, in\n"
        "                      electrode spacings (default 6; 0 to 1000): the cells of the\n"
        "                      columns within it take the log's values at their depth\n"
        "                      below the surface as data, their error growing with the\n"
        "                      distance from the well (x1.6 at half the reach, x7.4 at\n"
        "                      it); 0: the well's column alone\n"
        "    --start-from-section   start from the section's resistivities (default: the\n"
        "                      data's median apparent resistivity everywhere)\n"
        "    --error PERCENT   relative error of data whose file gives none (default 3)\n"
        "    --lambda L        the first regularisation strength, 0.0001 to 1e6\n"
        "                      (default 20)\n"
        "    --z-weight W      vertical against horizontal smoothness (default 1)\n"
        "    --reference-weight W   also pull each cell toward the starting model\n"
        "                      (--start-from-section: the section's values) with W\n"
        "                      times the smoothness's strength, per cell area (default\n"
        "                      0: no pull)\n"
        "    --doi             add the depth of investigation per cell (two more\n"
        "                      inversions toward a ground 10 times below and above\n"
        "                      the start, taking up to 1.5 times as long again): 0\n"
        "                      where the data decide the cell, toward 1 where the\n"
        "                      start does; beyond 0.2 read the image as a guess.\n"
        "                      Prints \"depth of investigation: N of M cells below 0.2\"\n"
        "    --iterations N    at most N iterations (default 20)\n"
        "    --format unified|res2dinv   the measured file's format (default: told\n"
        "                      from its content)\n"
        "    --drop-negative, --drop-reciprocal PERCENT, --reciprocal-error,\n"
        "    --drop-outliers K\n"
        "                      as for --forward --data\n"
        "  --fit OUT.sec SECTION.sec --data MEASURED [options]\n"
        "                  fit the regions' resistivities (and, with measured\n"
        "                  chargeabilities, their polarizabilities) to the measured\n"
        "                  data, the drawn boundaries held, and write the section with\n"
        "                  the fitted values as OUT.sec (SECTION.sec is not written),\n"
        "                  then exit. Prints \"iteration I: chi-square X, rrms Y %\" per\n"
        "                  iteration, \"stopped: WHY\" (the regions held at a bound are\n"
        "                  named when chi-square stays far above 1), then per region\n"
        "                  \"LABEL: START -> FITTED ohm-m (x/\u00f7 F)\" with F its\n"
        "                  uncertainty factor (one standard deviation, two digits of\n"
        "                  F - 1), \"LABEL: START ohm-m, not determined\" (kept) or\n"
        "                  \"LABEL: R ohm-m, fixed\", the same\n"
        "                  for polarizabilities in per cent, and the misfit line.\n"
        "                  LABEL: the region's label in the table of regions (or\n"
        "                  \"Body B ring R\" without one); the host medium is host.\n"
        "                  Options:\n"
        "    --free LABEL,...    fit only these regions (default: those the section\n"
        "                      marks free, within its bounds; every region unless set)\n"
        "    --fixed LABEL,...   keep these regions as drawn\n"
        "    --error PERCENT, --voltage-error V, --format, --host-resistivity R,\n"
        "    --drop-negative, --drop-reciprocal PERCENT, --reciprocal-error,\n"
        "    --drop-outliers K\n"
        "                      as for --forward (R is the host medium's start when\n"
        "                      the section sets none)\n"
        "  --timelapse OUT_PREFIX DATA1 DATA2 [DATA3 ...] [options]\n"
        "                  invert a series of surveys of one line, in time order (by\n"
        "                  the files' dates when every file gives them, else as given),\n"
        "                  for the change of the ground: the first (the baseline) as\n"
        "                  --invert does, each later one by a difference inversion\n"
        "                  against it on the same cells. The baseline's data the later\n"
        "                  files hold (the same four electrodes) take part; the others\n"
        "                  are listed per file and left out, a datum one later file\n"
        "                  lacks (or its cleaning removed) from that file's step only.\n"
        "                  Prints each survey with its date and the order used. Writes\n"
        "                  OUT_PREFIX-0.csv (x1,x2,z1,z2,resistivity,coverage) and\n"
        "                  OUT_PREFIX-K.csv for the K-th later survey\n"
        "                  (x1,x2,z1,z2,resistivity,change_percent,coverage; the change\n"
        "                  against the baseline), then exits. Prints \"common data: N of\n"
        "                  N1, N2, ...\" and per survey \"step K: chi-square X, rrms Y %\"\n"
        "                  (step 0 the baseline). A file whose electrodes stand\n"
        "                  elsewhere than the baseline's, or of which fewer than half\n"
        "                  the data are common to all, is refused by name.\n"
        "                  Options: those of --invert but --doi, --well-logs,\n"
        "                  --log-error and --log-reach\n"
        "  --help          print this text and exit\n"
        "\n"
        "A file to write that is one of the files read (by any path) is refused.")
        .replace(QStringLiteral("--format unified|res2dinv   "),
                 QStringLiteral("--format %1\n                      ").arg(QString::fromStdString(MeasuredFormatNames("|"))));
}

std::optional<int> RunCommandLine(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    const QString first = Arguments.value(0);
    if (first == QStringLiteral("--help") || first == QStringLiteral("-h")) {
        PrintLine(Out, CommandLineUsage());
        return 0;
    }
    if (first == QStringLiteral("--export-model"))
        return ExportModelCommand(Arguments, Errors);
    if (first == QStringLiteral("--forward"))
        return ForwardCommand(Arguments, Out, Errors);
    if (first == QStringLiteral("--invert"))
        return InvertCommand(Arguments, Out, Errors);
    if (first == QStringLiteral("--fit"))
        return FitCommand(Arguments, Out, Errors);
    if (first == QStringLiteral("--timelapse"))
        return TimeLapseCommand(Arguments, Out, Errors);
    // The editor takes a section file and -ns; a word that looks like an
    // option is a mistyped command, not a file to open.
    for (const QString& argument : Arguments) {
        if (!argument.startsWith(QStringLiteral("--")))
            continue;
        const bool command = argument == QStringLiteral("--help") || argument == QStringLiteral("--export-model") ||
                             argument == QStringLiteral("--forward") || argument == QStringLiteral("--invert") ||
                             argument == QStringLiteral("--fit") || argument == QStringLiteral("--timelapse");
        PrintLine(Errors, (command ? QStringLiteral("lithoprism: %1 comes first on the command line")
                                   : QStringLiteral("lithoprism: unknown option %1"))
                              .arg(argument) +
                              QStringLiteral(" (see lithoprism --help)"));
        return 2;
    }
    const QString missing = MissingDisplay(QProcessEnvironment::systemEnvironment(), Arguments);
    if (!missing.isEmpty()) {
        PrintLine(Errors, QStringLiteral("lithoprism: no display to show the editor on (%1); use xvfb-run, or "
                                         "--forward / --export-model for work without a window.")
                              .arg(missing));
        return 1;
    }
    return std::nullopt;
}

QString MissingDisplay(const QProcessEnvironment& Environment, const QStringList& Arguments)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // The platform Qt would load: "-platform NAME", else QT_QPA_PLATFORM
    // (its first entry, options after ":" not part of the name).
    QString platform = Environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    const qsizetype option = Arguments.indexOf(QStringLiteral("-platform"));
    if (option >= 0 && option + 1 < Arguments.size())
        platform = Arguments[option + 1];
    platform = platform.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0).trimmed();
    const bool x11 = !Environment.value(QStringLiteral("DISPLAY")).isEmpty();
    const bool wayland = !Environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (platform == QStringLiteral("xcb"))
        return x11 ? QString() : QStringLiteral("DISPLAY is not set");
    if (platform.startsWith(QStringLiteral("wayland")))
        return wayland ? QString() : QStringLiteral("WAYLAND_DISPLAY is not set");
    // offscreen, minimal, vnc, eglfs, linuxfb, ...: no display server needed.
    if (!platform.isEmpty() || x11 || wayland)
        return {};
    return QStringLiteral("DISPLAY is not set");
#else
    Q_UNUSED(Environment);
    Q_UNUSED(Arguments);
    return {};
#endif
}

} // namespace lp
