// lithoprism --forward OUT.dat SECTION.sec [options]: the response of a
// survey over the section, on an array, a scheme file's configurations or
// a measured file's (then compared with it).

#include "section/main/CommandLine_p.h"

#include "section/editor/ModelExport.h"
#include "section/forward/ForwardModel.h"
#include "section/modelling/ForwardPseudoSection.h"
#include "section/survey/DataFile.h"
#include "section/survey/Misfit.h"

namespace lp::commandline {

namespace {

TCommandOptions ForwardOptions()
{
    TCommandOptions known{{}, {"--array", "--electrodes", "--spacing", "--first", "--levels", "--scheme"}};
    return known += DataOptions();
}

TForwardRequest ParseForwardArguments(const QStringList& Arguments)
{
    TForwardRequest request;
    const TCommandArguments split = SplitCommandArguments(Arguments, ForwardOptions());
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
            throw UnknownOption(argument, QStringLiteral("--forward"));
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

} // namespace

int ForwardCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    TForwardRequest request;
    try {
        request = ParseForwardArguments(Arguments);
    } catch (const EArgumentError& error) {
        return ArgumentsRefused(Errors, error);
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
            PrintElevationMismatch(Errors, measured, ground);
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
        return CommandFailed(Errors, error);
    }
}

} // namespace lp::commandline
