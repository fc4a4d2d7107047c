// lithoprism --invert OUT.csv MEASURED [options]: a measured file inverted
// for the cells of a mesh under its line or a section's area; and the
// reading of its options, which --timelapse shares.

#include "section/main/CommandLine_p.h"

#include "section/editor/Carotage.h"
#include "section/editor/ModelExport.h"
#include "section/forward/ForwardModel.h"
#include "section/inversion/InversionExport.h"
#include "section/modelling/FittedRegions.h"
#include "section/inversion/InversionSetup.h"
#include "section/modelling/SectionInversionInput.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>

namespace lp::commandline {

namespace {

// "chi-square X" on the data's own errors; with --robust also over the data
// it kept at their full weight: "chi-square X (Y over the N data not down-weighted)".
QString ChiSquareReport(const TInversionStep& Step, bool Robust)
{
    QString text = QStringLiteral("chi-square ") + ChiSquareText(Step.ChiSquare);
    if (Robust)
        text += QStringLiteral(" (%1 over the %2 data not down-weighted)")
                    .arg(ChiSquareText(Step.FullWeightChiSquare))
                    .arg(Step.FullWeightData);
    return text;
}

// Of the data with a value (Values finite), those whose file gives an
// error above 0 and the others, which take the default.
std::pair<long long, long long> OwnErrorCounts(const std::vector<double>& Values, const std::vector<double>& Errors)
{
    long long own = 0, others = 0;
    for (size_t d = 0; d < Values.size(); ++d) {
        if (!std::isfinite(Values[d]))
            continue;
        const bool given = d < Errors.size() && std::isfinite(Errors[d]) && Errors[d] > 0.0;
        ++(given ? own : others);
    }
    return {own, others};
}

// "phase errors: the file's (iperr) for 58 data, 0.5 mrad (--phase-error) for 2":
// which errors an IP inversion weighs its data by; empty without such data.
QString IpErrorsText(const QString& What, const std::vector<double>& Values, const std::vector<double>& Errors,
                     const QString& Default)
{
    const auto [own, others] = OwnErrorCounts(Values, Errors);
    QStringList parts;
    if (own > 0)
        parts.append(QStringLiteral("the file's (iperr) for ") +
                     CountText(own, QStringLiteral("datum"), QStringLiteral("data")));
    if (others > 0)
        parts.append(Default + QStringLiteral(" for ") + CountText(others, QStringLiteral("datum"), QStringLiteral("data")));
    return parts.isEmpty() ? QString() : What + QStringLiteral(" errors: ") + parts.join(QStringLiteral(", "));
}

// Says which errors the chargeability and phase inversions use.
void PrintIpErrors(std::FILE* Out, const TMeasuredData& Data, const TSurveyInversionOptions& Options)
{
    const QString chargeabilities =
        IpErrorsText(QStringLiteral("chargeability"), Data.Chargeabilities, Data.ChargeabilityErrors,
                     QStringLiteral("2 % of the value + 0.1 %"));
    const QString phases = IpErrorsText(
        QStringLiteral("phase"), Data.Phases, Data.PhaseErrors,
        QStringLiteral("%1 mrad (--phase-error)").arg(QString::fromStdString(ReadableNumber(Options.PhaseErrorMrad))));
    for (const QString& line : {chargeabilities, phases})
        if (!line.isEmpty())
            PrintLine(Out, line);
}

// The largest relative error of a change between surveys, per cent: ten
// times the change itself says the change is not measured at all.
constexpr double MostChangeErrorPercent = 1000.0;

// After a linear step's χ²: where χ² 1 was out of reach, what the errors
// would have to be ("" where it was reached).
QString OutOfReachText(double ErrorScale)
{
    if (!(ErrorScale > 1.0))
        return {};
    return QStringLiteral(" (1 out of reach at the errors given: lambda stopped where the data left out are best "
                          "predicted; errors about %1 times larger would be fitted to chi-square 1)")
        .arg(QString::fromStdString(ReadableNumber(ErrorScale)));
}

} // namespace

TInvertRequest ParseInvertArguments(const QStringList& Arguments, bool TimeLapse)
{
    const QString command = TimeLapse ? QStringLiteral("--timelapse") : QStringLiteral("--invert");
    TCommandOptions known{{"--constrain", "--start-from-section", "--doi", "--blocky", "--robust", "--ip-is-phase"},
                          {"--section", "--fixed", "--error", "--lambda", "--z-weight", "--reference-weight",
                           "--iterations", "--boundary-weight", "--well-logs", "--log-error", "--log-reach", "--format",
                           "--change-error", "--blocky-epsilon", "--phase-error"}};
    const TCommandArguments split = SplitCommandArguments(Arguments, known += CleaningOptions());
    const QStringList& names = split.Names;
    TInvertRequest request;
    bool epsilonGiven = false, logOptionGiven = false;
    for (const auto& [argument, value] : split.Options) {
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
        if (argument == QStringLiteral("--blocky") || argument == QStringLiteral("--robust") ||
            argument == QStringLiteral("--blocky-epsilon")) {
            // The time-lapse steps keep the smooth norms of their change.
            if (TimeLapse)
                throw EArgumentError(QStringLiteral("%1 goes with --invert, not with --timelapse").arg(argument).toStdString());
            if (argument == QStringLiteral("--blocky"))
                request.Options.Settings.Blocky = true;
            else if (argument == QStringLiteral("--robust"))
                request.Options.Settings.Robust = true;
            else
                request.Options.Settings.BlockyEpsilon = PositiveArgument(argument, value);
            epsilonGiven = epsilonGiven || argument == QStringLiteral("--blocky-epsilon");
            continue;
        }
        if (TimeLapse && (argument == QStringLiteral("--ip-is-phase") || argument == QStringLiteral("--phase-error")))
            // A series inverts no phases yet: refused, not ignored.
            throw EArgumentError(QStringLiteral("%1 goes with --invert, not with --timelapse").arg(argument).toStdString());
        if (argument == QStringLiteral("--ip-is-phase")) {
            request.Reading.IpIsPhase = true;
            continue;
        }
        if (ReadCleaningOption(argument, value, request.Cleaning)) {
            continue;
        } else if (argument == QStringLiteral("--section")) {
            request.SectionFile = value;
        } else if (argument == QStringLiteral("--fixed")) {
            // A series holds its regions as the baseline would: not built yet, refused.
            if (TimeLapse)
                throw EArgumentError("--fixed goes with --invert, not with --timelapse");
            request.Fixed += LabelList(argument, value);
        } else if (argument == QStringLiteral("--error")) {
            request.Options.ErrorPercent = PositiveArgument(argument, value);
        } else if (argument == QStringLiteral("--phase-error")) {
            // Checked here, naming the option: an error below what any
            // instrument reaches weighs the data beyond what a double holds.
            request.Options.PhaseErrorMrad = RangeArgument(argument, value, MinPhaseError, MostIpPhase);
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
        } else if (argument == QStringLiteral("--change-error")) {
            // A single survey has no change to weigh: refused, not ignored.
            if (!TimeLapse)
                throw EArgumentError("--change-error goes with --timelapse, not with --invert");
            request.Options.ChangeErrorPercent = RangeArgument(argument, value, 100.0 * MinError, MostChangeErrorPercent);
        } else if (TimeLapse && (argument == QStringLiteral("--well-logs") || argument == QStringLiteral("--log-error") ||
                                 argument == QStringLiteral("--log-reach"))) {
            // A series has no place for a log's prior data yet: refused, not ignored.
            throw EArgumentError(QStringLiteral("%1 goes with --invert, not with --timelapse").arg(argument).toStdString());
        } else if (argument == QStringLiteral("--well-logs")) {
            request.WellLogsFile = value;
        } else if (argument == QStringLiteral("--log-error")) {
            request.Options.LogErrorPercent = PositiveArgument(argument, value);
            logOptionGiven = true;
        } else if (argument == QStringLiteral("--log-reach")) {
            request.Options.LogReach = RangeArgument(argument, value, 0.0, MostLogReach);
            logOptionGiven = true;
        } else if (argument == QStringLiteral("--format")) {
            request.DataFormat = DataFormatFromName(value.toStdString());
            if (!request.DataFormat)
                throw EArgumentError("--format is " + MeasuredFormatNameChoice() + ", not \"" + value.toStdString() + "\"");
        } else {
            throw UnknownOption(argument, command);
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
    if (!request.Fixed.isEmpty() && request.SectionFile.isEmpty())
        throw EArgumentError("--fixed goes with --section SECTION.sec");
    if ((request.Constrain || request.StartFromSection) && request.SectionFile.isEmpty())
        throw EArgumentError("--constrain and --start-from-section go with --section SECTION.sec");
    if (request.BoundaryWeight && !request.Constrain)
        throw EArgumentError("--boundary-weight goes with --constrain");
    if (epsilonGiven && !request.Options.Settings.Blocky)
        throw EArgumentError("--blocky-epsilon goes with --blocky");
    if (logOptionGiven && request.WellLogsFile.isEmpty())
        throw EArgumentError("--log-error and --log-reach go with --well-logs LIST.crt");
    request.OutFile = names[0];
    request.DataFile = names[1];
    return request;
}

namespace {

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

// Per region of Ground, the resistivity it is held at: the section's
// water, and the regions --fixed names at their own resistivity. Refuses
// (EArgumentError) a label that names no region.
std::vector<std::optional<double>> HeldRegions(const TInvertRequest& Request, const TForwardModel& Ground,
                                               const TSectionModel& Section)
{
    std::vector<std::optional<double>> held = WaterRegions(Ground, Section.Model);
    for (const QString& label : Request.Fixed)
        for (size_t r : RegionsNamed(label, Ground, Section))
            held.at(r) = Ground.Regions.at(r).resistivity;
    return held;
}

// A region --fixed names that holds no cell's centre (beside the mesh,
// or too thin for its cells) is said: nothing of it is held.
void WarnFixedWithoutCells(std::FILE* Errors, const TInvertRequest& Request, const TInversionMesh& Mesh,
                           const TForwardModel& Ground, const TSectionModel& Section)
{
    if (Request.Fixed.isEmpty())
        return;
    const std::vector<int> zones = CellZones(Mesh, Ground);
    for (const QString& label : Request.Fixed) {
        const std::vector<size_t> regions = RegionsNamed(label, Ground, Section);
        const bool held = std::any_of(zones.begin(), zones.end(), [&](int zone) {
            return std::find(regions.begin(), regions.end(), static_cast<size_t>(zone)) != regions.end();
        });
        if (!held)
            PrintLine(Errors, QStringLiteral("lithoprism: warning: no cell's centre lies in region \"%1\": nothing of "
                                             "it is held.")
                                  .arg(label));
    }
}

// A body of water too thin for the cells (or beside them) is said as
// --fixed's regions are: the inversion then moves the cells it covers.
void WarnWaterWithoutCells(std::FILE* Errors, const TInversionMesh& Mesh, const TForwardModel& Ground,
                           const std::vector<std::optional<double>>& Water)
{
    const std::vector<size_t> empty = HeldRegionsWithoutCells(Mesh, Ground, Water);
    if (!empty.empty())
        PrintLine(Errors, QStringLiteral("lithoprism: warning: no cell's centre lies in the water (%1): nothing of it "
                                         "is held.")
                              .arg(QString::fromStdString(WaterRegionsText(Ground, empty))));
}

} // namespace

int InvertCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    TInvertRequest request;
    try {
        request = ParseInvertArguments(Arguments);
    } catch (const EArgumentError& error) {
        return ArgumentsRefused(Errors, error);
    }
    try {
        const TInversionFileFormat format = InvertOutputFormat(request.OutFile);
        const char* role = InvertOutputRole(format);
        RefuseOutputNamingInput({{role, request.OutFile}},
                                {{"measured data file", request.DataFile}, {"section file", request.SectionFile},
                                 {"well-log list", request.WellLogsFile},
                                 {"electrode positions file", request.Cleaning.ElectrodePositionsFile}});
        RefuseUnwritableOutput(request.OutFile, role);
        const TMeasuredData measured = CleanMeasuredData(
            ReadMeasuredDataFile(request.DataFile, request.DataFormat, Errors, request.Reading), request.Cleaning, Errors);
        std::optional<TForwardModel> section;
        lines sectionLines;
        std::vector<std::optional<double>> held; // per region of the section
        TSectionModel sectionFile;
        if (!request.SectionFile.isEmpty()) {
            sectionFile = ReadSectionFileModel(request.SectionFile);
            sectionLines = std::move(sectionFile.Lines);
            // A host medium without a resistivity takes the data's median.
            section = PrepareForwardModel(sectionFile.Model, sectionFile.Nodes, sectionFile.ModelArea,
                                          MedianResistivity(measured));
            try {
                held = HeldRegions(request, *section, sectionFile);
            } catch (const EArgumentError& error) {
                return ArgumentsRefused(Errors, error);
            }
            PrintElevationMismatch(Errors, measured, *section);
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
        SetCommandStep(QStringLiteral("laying the inversion's cells"));
        TInversionMesh mesh = InversionMeshFor(measured, section ? &*section : nullptr);
        if (!options.WellLogs.empty()) {
            std::vector<std::string> dropped;
            options.WellLogs = LogsOverTheCells(options.WellLogs, mesh, dropped);
            for (const std::string& note : dropped)
                PrintLine(Errors, QStringLiteral("lithoprism: warning: ") + QString::fromStdString(note));
            if (options.WellLogs.empty())
                throw EForwardError("No log of the well-log list " + request.WellLogsFile.toStdString() +
                                    " stands over the inversion's cells.");
        }
        // The rows bent onto the lines and boundaries used and the logs'
        // layers; the section's start, structure and held regions.
        TSectionUse use;
        if (section) {
            const double weight = request.BoundaryWeight.value_or(0.0);
            use.Section = &*section;
            use.Held = held;
            use.StartFromSection = request.StartFromSection;
            use.Lines = request.Constrain ? SectionRowLines(*section, sectionLines, weight)
                                          : HeldBoundaryLines(*section, held);
            if (request.Constrain)
                use.Structure = SectionStructure(*section, sectionLines, weight);
        }
        const TPreparedInversion prepared =
            PrepareInversion(mesh, measured, use, LogReachMetres(measured.Survey(), options.LogReach), options);
        mesh = prepared.Mesh;
        if (section) {
            if (prepared.Held > 0)
                PrintLine(Out, QStringLiteral("held: %1 cells").arg(prepared.Held));
            WarnFixedWithoutCells(Errors, request, mesh, *section, sectionFile);
            WarnWaterWithoutCells(Errors, mesh, *section, WaterRegions(*section, sectionFile.Model));
        }
        TInversionCallbacks callbacks;
        callbacks.Iteration = [&](const TInversionStep& step, const Eigen::VectorXd&) {
            if (step.Iteration > 0)
                PrintLine(Out, QStringLiteral("iteration %1: %2, rrms %3 %, lambda %4")
                                   .arg(step.Iteration)
                                   .arg(ChiSquareReport(step, options.Settings.Robust), RrmsText(step.Rrms),
                                        QString::fromStdString(ReadableNumber(step.Lambda))));
        };
        PrintIpErrors(Out, measured, options);
        // Its Jacobians, about four of data × cells numbers, are checked
        // before they are made (RefuseInversionBeyondMemory).
        SetCommandStep(QStringLiteral("inverting %1 data on %2 cells").arg(measured.Size()).arg(mesh.Cells()),
                       4.0 * 8.0 * static_cast<double>(measured.Size()) * mesh.Cells());
        TSurveyInverter inverter(measured, mesh, options);
        TSurveyInversion inversion = inverter.Invert(callbacks);
        const TInversionStep& last = inversion.Steps.back();
        // Not one step taken from a start that does not explain the data:
        // the uniform start is no image of the ground. With --robust the
        // data it keeps at full weight judge (a wild datum down-weighted
        // leaves the start the ground's image where the rest fit it).
        const double judged = options.Settings.Robust && last.FullWeightData > 0 ? last.FullWeightChiSquare
                                                                                   : last.ChiSquare;
        if (inversion.Steps.size() < 2 && judged > 1.0)
            throw EForwardError(QStringLiteral("The inversion did not move from its starting model (chi-square %1): "
                                               "%2 Nothing was written.")
                                    .arg(ChiSquareText(last.ChiSquare), QString::fromStdString(inversion.Stop))
                                    .toStdString());
        if (request.DepthOfInvestigation) {
            SetCommandStep(QStringLiteral("computing the depth of investigation"));
            inverter.AddDepthOfInvestigation(inversion);
            const auto seen = std::count_if(inversion.DepthOfInvestigation.begin(), inversion.DepthOfInvestigation.end(),
                                            [](double doi) { return doi < 0.2; });
            PrintLine(Out, QStringLiteral("depth of investigation: %1 of %2 cells below 0.2").arg(seen).arg(mesh.Cells()));
        }
        SaveOutput(request.OutFile, role, FormatInversionFile(mesh, inversion, format));
        PrintLine(Out, QStringLiteral("stopped: ") + QString::fromStdString(inversion.Stop));
        PrintLine(Out, QStringLiteral("inverted: %1 cells, %2, rrms %3 %")
                           .arg(mesh.Cells())
                           .arg(ChiSquareReport(last, options.Settings.Robust), RrmsText(last.Rrms)));
        if (!inversion.Chargeabilities.empty())
            PrintLine(Out, QStringLiteral("chargeabilities: chi-square %1%2")
                               .arg(ChiSquareText(inversion.ChargeabilityChiSquare),
                                    OutOfReachText(inversion.ChargeabilityErrorScale)));
        if (!inversion.Phases.empty())
            PrintLine(Out, QStringLiteral("phases: chi-square %1%2")
                               .arg(ChiSquareText(inversion.PhaseChiSquare),
                                    OutOfReachText(inversion.PhaseErrorScale)));
        if (!inversion.Prior.Cells.empty())
            PrintLine(Out, QStringLiteral("well logs: %1 cells, chi-square %2")
                               .arg(inversion.Prior.CellCount())
                               .arg(ChiSquareText(last.PriorChiSquare)));
        return 0;
    } catch (const std::exception& error) {
        return CommandFailed(Errors, error);
    }
}

} // namespace lp::commandline
