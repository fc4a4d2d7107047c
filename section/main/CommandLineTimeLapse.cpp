// lithoprism --timelapse OUT_PREFIX DATA1 DATA2 [DATA3 ...] [options]: a
// series of surveys of one line inverted for the change of the ground.

#include "section/main/CommandLine_p.h"

#include "section/editor/ModelExport.h"
#include "section/forward/ForwardModel.h"
#include "section/inversion/InversionExport.h"
#include "section/inversion/TimeLapseInversion.h"
#include "section/inversion/TimeLapseReport.h"
#include "section/modelling/FittedRegions.h"
#include "section/inversion/InversionSetup.h"
#include "section/modelling/ModellingWindowCommands.h"

namespace lp::commandline {

namespace {

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
    QString text = QString::fromStdString(LineWord(Data.Format)) + (LeftOut.size() == 1 ? QStringLiteral(" ") : QStringLiteral("s ")) +
                   lines.join(QStringLiteral(", "));
    if (LeftOut.size() > shown)
        text += QStringLiteral(" and %1 more").arg(LeftOut.size() - shown);
    return text;
}

} // namespace

int TimeLapseCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    TInvertRequest request;
    try {
        request = ParseInvertArguments(Arguments, true);
    } catch (const EArgumentError& error) {
        return ArgumentsRefused(Errors, error);
    }
    try {
        const QStringList outputs = TimeLapseOutputs(request.OutFile, request.DataFiles.size());
        std::vector<TNamedFile> outputFiles, inputFiles{{"section file", request.SectionFile},
                                                        {"electrode positions file",
                                                         request.Cleaning.ElectrodePositionsFile}};
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
            // The steps invert resistivities (and chargeabilities); phases are said, not dropped unseen.
            if (HasPhases(surveys.back()))
                PrintLine(Errors, QStringLiteral("lithoprism: warning: the phases of \"%1\" are not inverted: a "
                                                 "time-lapse series inverts no phases (--invert does, one file at a "
                                                 "time)")
                                      .arg(file));
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
            PrintElevationMismatch(Errors, baseline, *section);
        }
        const TInversionMesh mesh = InversionMeshFor(baseline, section ? &*section : nullptr);
        TSurveyInversionOptions& options = request.Options;
        if (section)
            UseSectionInInversion(mesh, *section, baseline, request.Constrain, request.StartFromSection, options);
        TTimeLapseCallbacks callbacks;
        TSurveyInversion baselineImage; // step 0's, which every change is measured from
        callbacks.Finished = [&](int step, const TSurveyInversion& inversion) {
            const TInversionStep& last = inversion.Steps.back();
            if (step == 0) {
                baselineImage = inversion;
                PrintLine(Out, QStringLiteral("step 0: chi-square %1, rrms %2 %")
                                   .arg(ChiSquareText(last.ChiSquare), RrmsText(last.Rrms)));
                return;
            }
            // A later step's χ² is the change's.
            const TTimeLapseStep done = FinishedStep(baselineImage, inversion);
            PrintLine(Out, QStringLiteral("step %1: chi-square %2, rrms %3 %, changed beyond \u00b1%4 %: %5 % of "
                                          "the well-covered cells")
                               .arg(step)
                               .arg(ChiSquareText(done.ChangeChiSquare), RrmsText(last.Rrms),
                                    QString::number(ChangedLimit), QString::number(done.ChangedShare, 'f', 1)));
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
            tables.push_back(FormatStepTable(mesh, step));
        for (size_t k = 0; k < tables.size(); ++k)
            SaveOutput(outputs[static_cast<qsizetype>(k)], "cell table", tables[k]);
        return 0;
    } catch (const std::exception& error) {
        return CommandFailed(Errors, error);
    }
}

} // namespace lp::commandline
