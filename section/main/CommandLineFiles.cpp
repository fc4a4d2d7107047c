// The files of the command line's commands: outputs checked before any
// work, measured data read and cleaned with a line per step, outputs saved
// atomically.

#include "section/main/CommandLine_p.h"

#include "platform/core/SafeSave.h"
#include "section/forward/ForwardModel.h"
#include "section/forward/ForwardResponse.h"
#include "section/survey/ReadableNumbers.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/DataFile.h"
#include "section/survey/ElectrodePositions.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/modelling/SameFile.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <new>

namespace lp::commandline {

void PrintLine(std::FILE* Stream, const QString& Text)
{
    std::fputs((Text + QLatin1Char('\n')).toLocal8Bit().constData(), Stream);
    std::fflush(Stream);
}

int ArgumentsRefused(std::FILE* Errors, const Exception& Error)
{
    PrintLine(Errors, QStringLiteral("lithoprism: %1 (see lithoprism --help)").arg(QString::fromStdString(Error.Message())));
    return 2;
}

namespace {

struct TCommandStep {
    QString What = QStringLiteral("starting");
    double Need = 0.0;
};

TCommandStep& CurrentStep()
{
    static TCommandStep step;
    return step;
}

} // namespace

void SetCommandStep(const QString& What, double NeedBytes)
{
    CurrentStep() = {What, NeedBytes};
}

int CommandFailed(std::FILE* Errors, const std::exception& Error)
{
    if (dynamic_cast<const std::bad_alloc*>(&Error)) {
        // What was being done, and what it needs beside what is left now
        // that the step's memory is freed again.
        const TCommandStep& step = CurrentStep();
        const auto megabytes = [](double Bytes) { return QString::fromStdString(ReadableNumber(std::ceil(Bytes / 1e6), 6)); };
        const QString need = step.Need > 0.0 ? QStringLiteral("it needs about %1 MB; ").arg(megabytes(step.Need))
                                             : QString();
        PrintLine(Errors, QStringLiteral("lithoprism: not enough memory while %1 (%2%3 MB available).")
                              .arg(step.What, need, megabytes(AvailableMemory())));
        return 1;
    }
    PrintLine(Errors, QStringLiteral("lithoprism: ") + QString::fromUtf8(Error.what()));
    return 1;
}

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

namespace {

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
    // Its bytes and what is read of them: a datum's line of some 20 bytes
    // becomes a datum of some 25 numbers.
    SetCommandStep(QStringLiteral("reading the %1 \"%2\"").arg(QLatin1String(Role), FileName),
                   static_cast<double>(file.size()) * 12.0);
    const QByteArray bytes = file.readAll();
    try {
        return Parse(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    } catch (const EDataFileError& error) {
        throw refused(QString::fromStdString(error.Message()));
    }
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

} // namespace

TSurvey ReadSchemeFile(const QString& FileName)
{
    return ReadDataFile(FileName, "scheme file", [](std::string_view text) { return ParseUnifiedData(text); });
}

TMeasuredData ReadMeasuredDataFile(const QString& FileName, std::optional<TDataFormat> Format, std::FILE* Errors,
                                   const TDataReading& Reading)
{
    const TMeasuredData data = ReadDataFile(FileName, "measured data file", [&](std::string_view text) {
        return ReadMeasuredData(text, Format, QFileInfo(FileName).suffix().toStdString(), Reading);
    });
    for (const std::string& warning : data.Warnings)
        PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(warning));
    if (data.Skipped.Total() > 0 && data.Size() > 0)
        PrintLine(Errors, QStringLiteral("lithoprism: warning: %1 data of the file are skipped: %2.")
                              .arg(data.Skipped.Total())
                              .arg(QString::fromStdString(data.Skipped.Text())));
    if (const std::string ip = data.Skipped.IpText(); !ip.empty() && data.Size() > 0)
        PrintLine(Errors, QStringLiteral("lithoprism: warning: IP values of the file left out, their data's "
                                         "resistivities kept: %1.")
                              .arg(QString::fromStdString(ip)));
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

namespace {

// The data's electrodes placed by a positions file, said in a line.
void PlaceElectrodes(TMeasuredData& Data, const QString& FileName, std::FILE* Errors)
{
    const TElectrodePositions positions = ReadDataFile(FileName, "electrode positions file", [](std::string_view text) {
        return ReadElectrodePositions(text);
    });
    const TElectrodePositionsUse use = UseElectrodePositions(Data, positions);
    for (const std::string& warning : use.Warnings)
        PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(warning));
    PrintLine(Errors, QStringLiteral("electrode-positions: %1 from %2")
                          .arg(QString::fromStdString(ElectrodePositionsText(use, positions)), FileName));
}

} // namespace

TMeasuredData CleanMeasuredData(TMeasuredData Data, const TCleaningRequest& Request, std::FILE* Errors)
{
    SetCommandStep(QStringLiteral("cleaning the %1 measured data").arg(Data.Size()),
                   static_cast<double>(Data.Size()) * BytesPerComparedDatum);
    const auto removedCount = [](const std::vector<bool>& removed) {
        return static_cast<long long>(std::count(removed.begin(), removed.end(), true));
    };
    if (!Request.ElectrodePositionsFile.isEmpty())
        PlaceElectrodes(Data, Request.ElectrodePositionsFile, Errors);
    if (Request.TurnPolarity)
        PrintLine(Errors, QStringLiteral("turn-polarity: %1 turned to the sign of their configuration's geometric "
                                         "factor")
                              .arg(CountText(static_cast<long long>(TurnReversedPolarity(Data)), QStringLiteral("datum"),
                                             QStringLiteral("data"))));
    // Most data below 0: their polarity, more likely than the ground.
    const QString reversed = QStringLiteral("most data disagree in sign with their configuration's geometric factor: "
                                            "when the instrument records no polarity, --turn-polarity turns them");
    const QString polarityHint =
        !Request.TurnPolarity && MostlyReversed(Data) ? QStringLiteral(" (%1)").arg(reversed) : QString();
    const std::vector<bool> nonPositive = NonPositiveData(Data);
    if (const long long count = removedCount(nonPositive); Request.DropNegative) {
        PrintLine(Errors, QStringLiteral("drop-negative: %1 data removed%2").arg(count).arg(polarityHint));
    } else if (count > 0) {
        const auto first = std::find(nonPositive.begin(), nonPositive.end(), true) - nonPositive.begin();
        const int line = Data.Lines.at(static_cast<size_t>(first));
        const bool one = count == 1;
        PrintLine(Errors, QStringLiteral("lithoprism: warning: %1 with an apparent resistivity of 0 or below left out "
                                         "(%2 %3); --drop-negative removes %4 without this warning%5")
                              .arg(one ? QStringLiteral("1 datum") : QStringLiteral("%1 data").arg(count),
                                   QString::fromStdString((one ? "on " : "first on ") + LineWord(Data.Format)))
                              .arg(line)
                              .arg(one ? QStringLiteral("it") : QStringLiteral("them"))
                              .arg(polarityHint));
    }
    Data = KeepData(Data, nonPositive);
    if (Data.Size() == 0 && !polarityHint.isEmpty())
        throw EDataFileError("No datum is left after the cleaning. Every datum has an apparent resistivity of 0 or "
                             "below: " + reversed.toStdString() + ".");
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
        Data = KeepData(Data, removed);
        // The IP values judged alike among the data kept; their data stay.
        const TOutlyingIp ip = OutlyingIpValues(Data, *Request.OutlierLimit);
        LeaveOutIpValues(Data, ip);
        PrintLine(Errors, QStringLiteral("drop-outliers: %1 data removed%2")
                              .arg(removedCount(removed))
                              .arg(Data.Chargeabilities.empty() && Data.Phases.empty()
                                       ? QString()
                                       : QStringLiteral(", %1 left out (their data kept)")
                                             .arg(CountText(static_cast<long long>(ip.Count()), QStringLiteral("IP value"),
                                                            QStringLiteral("IP values")))));
    }
    if (Data.Size() == 0)
        throw EDataFileError("No datum is left after the cleaning.");
    return Data;
}

void SaveOutput(const QString& FileName, const char* Role, const std::string& Text)
{
    SetCommandStep(QStringLiteral("writing the %1 \"%2\"").arg(QLatin1String(Role), FileName),
                   static_cast<double>(Text.size()));
    QString error;
    // The text itself, not a copy of it: a table of a million data is a
    // tenth of a gigabyte.
    if (!SaveBytesAtomically(FileName, QByteArray::fromRawData(Text.data(), static_cast<qsizetype>(Text.size())), error))
        throw EDataFileError(QStringLiteral("The %1 \"%2\" cannot be written: %3. Nothing was written.")
                                 .arg(QLatin1String(Role), FileName, error)
                                 .toStdString());
}

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

bool HostWithoutResistivity(const TSectionModel& Section, const TForwardRequest& Request, std::FILE* Errors)
{
    if (Request.HostResistivity || Section.Model.Empty() || Section.Model[0].Empty() ||
        !Section.Model[0][0].params[psResistivity].IsEmpty())
        return false;
    PrintLine(Errors, QStringLiteral("lithoprism: The host medium has no resistivity: set it in the section or give "
                                     "--host-resistivity R."));
    return true;
}

void PrintElevationMismatch(std::FILE* Errors, const TMeasuredData& Data, const TForwardModel& Ground)
{
    if (const std::optional<std::string> mismatch = ElevationMismatch(Data, Ground))
        PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(*mismatch));
}

} // namespace lp::commandline
