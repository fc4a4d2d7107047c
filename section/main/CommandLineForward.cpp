// lithoprism --forward OUT.dat SECTION.sec [options]: the response of a
// survey over the section, on an array, a scheme file's configurations or
// a measured file's (then compared with it).

#include "section/main/CommandLine_p.h"

#include "section/editor/ModelExport.h"
#include "section/forward/ForwardModel.h"
#include "section/model/ModelGeometryText.h"
#include "section/modelling/ForwardPseudoSection.h"
#include "section/survey/DataFile.h"
#include "section/survey/Misfit.h"

namespace lp::commandline {

namespace {

TCommandOptions ForwardOptions()
{
    TCommandOptions known{{"--phase"},
                          {"--array", "--electrodes", "--spacing", "--first", "--levels", "--scheme", "--holes",
                           "--hole-electrodes", "--hole-spacing", "--max-geometric-factor"}};
    return known += DataOptions();
}

TForwardRequest ParseForwardArguments(const QStringList& Arguments)
{
    TForwardRequest request;
    const TCommandArguments split = SplitCommandArguments(Arguments, ForwardOptions());
    const QStringList& names = split.Names;
    bool layoutGiven = false, levelsGiven = false, holeArray = false, holeGiven = false;
    THoleLayout holes;
    for (const auto& [argument, value] : split.Options) {
        if (ReadDataOption(argument, value, request))
            continue;
        if (argument == QStringLiteral("--array")) {
            const std::optional<TArrayKind> kind = ArrayKindFromName(value.toStdString());
            const std::optional<THoleArrayKind> holeKind = HoleArrayKindFromName(value.toStdString());
            if (!kind && !holeKind)
                throw EArgumentError(QStringLiteral("--array is dipole-dipole, wenner, schlumberger, crosshole, "
                                                    "surface-hole or single-hole, not \"%1\"")
                                         .arg(value)
                                         .toStdString());
            if (kind)
                request.Layout.Kind = *kind;
            else
                holes.Kind = *holeKind;
            holeArray = holeKind.has_value();
            layoutGiven = true;
        } else if (argument == QStringLiteral("--holes")) {
            holes.Holes.clear();
            for (const QString& x : value.split(QLatin1Char(',')))
                holes.Holes.push_back(FiniteArgument(argument, x.trimmed()));
            holeGiven = true;
        } else if (argument == QStringLiteral("--hole-electrodes")) {
            holes.HoleElectrodes = CountArgument(argument, value, 2, MaxHoleElectrodes);
            holeGiven = true;
        } else if (argument == QStringLiteral("--hole-spacing")) {
            holes.HoleSpacing = PositiveArgument(argument, value);
            holeGiven = true;
        } else if (argument == QStringLiteral("--max-geometric-factor")) {
            holes.MaxGeometricFactor = PositiveArgument(argument, value);
            holeGiven = true;
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
            layoutGiven = levelsGiven = true;
        } else if (argument == QStringLiteral("--scheme")) {
            request.SchemeFile = value;
        } else if (argument == QStringLiteral("--phase")) {
            request.Phase = true;
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
                             "--drop-reciprocal, --reciprocal-error, --turn-polarity and --electrode-positions go "
                             "with --data MEASURED");
    if (holeGiven && !holeArray)
        throw EArgumentError("--holes, --hole-electrodes, --hole-spacing and --max-geometric-factor go with "
                             "--array crosshole, surface-hole or single-hole");
    if (holeArray) {
        if (holes.Holes.empty())
            throw EArgumentError("--array " + HoleArrayKindName(holes.Kind) + " needs --holes X" +
                                 (holes.Kind == THoleArrayKind::Crosshole ? "1,X2" : ""));
        if (levelsGiven)
            throw EArgumentError("--levels goes with the arrays on the surface, not with --array " +
                                 HoleArrayKindName(holes.Kind));
        request.Holes = holes;
    }
    request.OutFile = names[0];
    request.SectionFile = names[1];
    return request;
}

// The survey of a hole array under the section's surface; a surface-to-hole
// line as --electrodes, --spacing and --first place an array's. Prints how
// many configurations it has and how many were dropped for their
// geometric factor, once the survey passed the computation's checks.
TSurvey HoleSurvey(THoleLayout Holes, const TArrayLayout& Line, const TForwardModel& Ground, std::FILE* Out)
{
    // A hole beyond the area first: its configurations' factors would say
    // nothing sound (1e308 away they overflow).
    for (double x : Holes.Holes)
        if (!(x >= Ground.Left && x <= Ground.Right))
            throw EForwardError("The hole at x = " + FormatExactReal(x) + " lies outside the model area (x from " +
                                FormatExactReal(Ground.Left) + " to " + FormatExactReal(Ground.Right) + ").");
    if (Holes.Kind == THoleArrayKind::SurfaceHole) {
        const TSurvey line = MakeArraySurvey(Line, Ground.Left, Ground.Right);
        Holes.SurfaceElectrodes = static_cast<int>(line.Electrodes.size());
        Holes.SurfaceFirst = line.Electrodes.front().x;
        Holes.SurfaceSpacing = line.Electrodes.at(1).x - line.Electrodes.front().x;
    }
    const THoleSurvey made = MakeHoleSurvey(Holes, [&](double x) { return SurfaceElevation(Ground, x); });
    // Checked as the computation will place it before its count is said: a
    // survey refused prints only its refusal.
    TSurvey placed = made.Survey;
    PlaceSurvey(placed, Ground);
    PrintLine(Out, QStringLiteral("%1: %2 configurations, %3 dropped (a geometric factor above %4 m)")
                       .arg(QString::fromStdString(HoleArrayKindName(Holes.Kind)))
                       .arg(made.Survey.Configurations.size())
                       .arg(made.Dropped)
                       .arg(QString::fromStdString(FormatExactReal(Holes.MaxGeometricFactor))));
    return made.Survey;
}

// A computed ρa of 0 or below cannot be compared in logarithms: those data
// are skipped, counted with the file's skipped data and named by line on
// Errors; refused when no datum is left.
void SkipNonPositiveResponses(TMeasuredData& Measured, TForwardResult& Result, std::FILE* Errors)
{
    std::vector<int> lines = DropNonPositiveResponses(Measured, Result);
    if (lines.empty())
        return;
    TSkippedData skipped;
    skipped.NonPositiveResponseLines = lines;
    const QString text = QString::fromStdString(skipped.Text());
    if (Measured.Size() == 0)
        throw EForwardError("No datum can be compared: every one, " + text.toStdString() + ".");
    PrintLine(Errors, QStringLiteral("lithoprism: warning: data skipped: %1.").arg(text));
    Measured.Skipped.NonPositiveResponseLines = std::move(lines);
}

// The apparent phases are written whenever a region has a phase; --phase
// asks for their column over a ground without any too: a ground that does
// not polarize gives the phase 0 at every configuration, which is written,
// with a line on Errors saying so (a section whose phases were forgotten
// shows at once).
void AddAskedPhases(TForwardResult& Result, const TForwardRequest& Request, const TForwardModel& Ground,
                    std::FILE* Errors)
{
    if (!Request.Phase || Ground.HasPhase)
        return;
    Result.Phases.assign(Result.Survey.Configurations.size(), 0.0);
    PrintLine(Errors, QStringLiteral("lithoprism: --phase: no region of the section has a phase: every apparent "
                                     "phase is 0 (set the regions' phases to compute others)"));
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
                                 {"measured data file", request.DataFile},
                                 {"electrode positions file", request.Cleaning.ElectrodePositionsFile}});
        RefuseUnwritableOutput(request.OutFile, "data file");
        const TSectionModel section = ReadSectionFileModel(request.SectionFile);
        if (HostWithoutResistivity(section, request, Errors))
            return 1;
        const TForwardModel ground =
            PrepareForwardModel(section.Model, section.Nodes, section.ModelArea, request.HostResistivity);
        const bool table = request.OutFile.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
        if (!request.DataFile.isEmpty()) {
            TMeasuredData measured = CleanMeasuredData(
                ReadMeasuredDataFile(request.DataFile, request.DataFormat, Errors), request.Cleaning, Errors);
            PrintElevationMismatch(Errors, measured, ground);
            SetCommandStep(QStringLiteral("computing the response at the %1 measured data").arg(measured.Size()),
                           static_cast<double>(measured.Size()) * BytesPerComparedDatum);
            TForwardResult result = ComputeForwardResponse(ground, measured.Survey());
            SkipNonPositiveResponses(measured, result, Errors);
            AddAskedPhases(result, request, ground, Errors);
            TErrorModel errors;
            errors.RelativePercent = request.ErrorPercent.value_or(errors.RelativePercent);
            errors.AbsoluteVoltage = request.VoltageError.value_or(errors.AbsoluteVoltage);
            const TMisfit misfit = ComputeMisfit(measured, result, errors);
            SaveOutput(request.OutFile, "data file",
                       table ? FormatComparisonTable(measured, result, misfit) : FormatUnifiedData(result));
            PrintLine(Out, QString::fromStdString(MisfitSummary(misfit, measured.Skipped)));
            return 0;
        }
        TSurvey survey = request.Holes            ? HoleSurvey(*request.Holes, request.Layout, ground, Out)
                         : request.SchemeFile.isEmpty() ? MakeArraySurvey(request.Layout, ground.Left, ground.Right)
                                                        : ReadSchemeFile(request.SchemeFile);
        // A scheme's electrodes off the surface are moved onto it as --data's are: said alike.
        if (!request.SchemeFile.isEmpty())
            if (const std::optional<std::string> mismatch =
                    ElevationMismatch(survey.Electrodes, survey.HasElevations, ground))
                PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(*mismatch));
        SetCommandStep(QStringLiteral("computing the response at %1 configurations").arg(survey.Configurations.size()),
                       static_cast<double>(survey.Configurations.size()) * BytesPerComparedDatum);
        TForwardResult result = ComputeForwardResponse(ground, std::move(survey));
        AddAskedPhases(result, request, ground, Errors);
        SaveOutput(request.OutFile, "data file", table ? FormatDataTable(result) : FormatUnifiedData(result));
        return 0;
    } catch (const std::exception& error) {
        return CommandFailed(Errors, error);
    }
}

} // namespace lp::commandline
