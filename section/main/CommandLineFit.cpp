// lithoprism --fit OUT.sec SECTION.sec --data MEASURED [options]: the
// regions' resistivities (and polarizabilities) fitted to measured data,
// the drawn boundaries held, written as a new section file.

#include "section/main/CommandLine_p.h"

#include "platform/core/SafeSave.h"
#include "section/editor/ModelExport.h"
#include "section/editor/SectionFileReader.h"
#include "section/forward/ForwardModel.h"
#include "section/inversion/RegionFit.h"
#include "section/modelling/FittedRegions.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/survey/Misfit.h"

namespace lp::commandline {

namespace {

// What --fit was asked: the section, the data and the regions' roles.
struct TFitRequest {
    TForwardRequest Data; // OutFile, SectionFile, DataFile, ErrorPercent, DataFormat, HostResistivity
    QStringList Free, Fixed;
};

} // namespace

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

namespace {

TFitRequest ParseFitArguments(const QStringList& Arguments)
{
    TFitRequest request;
    TCommandOptions known{{}, {"--free", "--fixed"}};
    const TCommandArguments split = SplitCommandArguments(Arguments, known += DataOptions());
    const QStringList& names = split.Names;
    for (const auto& [argument, value] : split.Options) {
        if (ReadDataOption(argument, value, request.Data))
            continue;
        if (argument == QStringLiteral("--free")) {
            request.Free += LabelList(argument, value);
        } else if (argument == QStringLiteral("--fixed")) {
            request.Fixed += LabelList(argument, value);
        } else {
            throw UnknownOption(argument, QStringLiteral("--fit"));
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

} // namespace

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

namespace {

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

} // namespace

int FitCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors)
{
    TFitRequest request;
    try {
        request = ParseFitArguments(Arguments);
    } catch (const EArgumentError& error) {
        return ArgumentsRefused(Errors, error);
    }
    try {
        const TForwardRequest& files = request.Data;
        RefuseOutputNamingInput({{"section file to write", files.OutFile}},
                                {{"section file", files.SectionFile}, {"measured data file", files.DataFile},
                                 {"electrode positions file", files.Cleaning.ElectrodePositionsFile}});
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
            return ArgumentsRefused(Errors, error);
        }
        const TMeasuredData measured =
            CleanMeasuredData(ReadMeasuredDataFile(files.DataFile, files.DataFormat, Errors), files.Cleaning, Errors);
        PrintElevationMismatch(Errors, measured, ground);
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
        return CommandFailed(Errors, error);
    }
}

} // namespace lp::commandline
