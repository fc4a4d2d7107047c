#include "section/survey/formats/ElectraFile.h"

#include "section/survey/DataFileReading_p.h"
#include "section/survey/formats/InstrumentRows.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace lp {

namespace {

using datafile::Quoted;
using datafile::Tokens;

// A label line's text after its "#", trimmed.
std::string_view Label(std::string_view Line)
{
    return datafile::Trimmed(Line.substr(1));
}

bool IsCountLabel(std::string_view Label)
{
    return Label.starts_with("Total enabled electrodes") || Label.starts_with("Total electrodes");
}

bool IsRemoteLabel(std::string_view Label)
{
    return Label.starts_with("Total remote electrode");
}

bool IsPlaceLabel(std::string_view Label)
{
    return Tokens(Label) == std::vector<std::string_view>{"X", "Y", "Z"};
}

bool IsColumnLabel(std::string_view Label)
{
    const std::vector<std::string_view> tokens = Tokens(Label);
    return !tokens.empty() && tokens.front() == "Meas.";
}

// The units' row: "# [#] [#] ..." (after the columns, and closing the file).
bool IsUnitLabel(std::string_view Label)
{
    return Label.starts_with('[');
}

// A waveform reading's column: "VMN" and digits.
bool IsWaveformColumn(std::string_view Name)
{
    return Name.size() > 3 && Name.starts_with("VMN") &&
           std::all_of(Name.begin() + 3, Name.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

class TElectraReader {
public:
    explicit TElectraReader(std::string_view text) : FText(text), FRows(TDataFormat::Electra, {}) {}

    TMeasuredData Read()
    {
        while (const std::optional<std::string_view> line = FText.NextLine()) {
            if (line->empty())
                continue;
            if (line->starts_with('#'))
                ReadLabel(Label(*line));
            else if (FColumns.empty())
                FText.Fail("values without a label before them: " + Quoted(*line));
            else
                ReadRow(*line);
        }
        if (FColumns.empty())
            FText.Fail("the file ends before the data's column label (\"# Meas. A B M N ...\")");
        return FRows.Data();
    }

private:
    std::optional<std::string_view> NextValues()
    {
        while (const std::optional<std::string_view> line = FText.NextLine())
            if (!line->empty())
                return line;
        return std::nullopt;
    }

    double Number(std::string_view token) const
    {
        const std::optional<double> value = formats::SignedNumber(token);
        if (!value || !std::isfinite(*value))
            FText.Fail(Quoted(token) + " is not a finite number");
        return *value;
    }

    void ReadLabel(std::string_view label)
    {
        if (!FColumns.empty()) {
            if (!IsUnitLabel(label))
                FText.Fail("after the data's columns only their units' row (\"# [#] ...\") is read, not " +
                           Quoted(label));
            return;
        }
        if (IsCountLabel(label)) {
            const std::optional<std::string_view> count = NextValues();
            if (!count || count->starts_with('#'))
                FText.Fail("the electrode count (a whole number) is expected after its label");
            FCount = FText.Integer(*count);
            if (*FCount < 0)
                FText.Fail("the electrode count is 0 or more, not " + Quoted(*count));
        } else if (IsPlaceLabel(label)) {
            ReadPlaces();
        } else if (IsRemoteLabel(label)) {
            ReadRemotes();
        } else if (IsColumnLabel(label)) {
            ReadColumns(label);
        } else {
            FText.Fail(Quoted(label) + " is not a label this reader knows (the electrode count, \"X Y Z\", the "
                       "remote electrodes or the data's \"Meas.\" columns)");
        }
    }

    void ReadPlaces()
    {
        if (!FCount)
            FText.Fail("the electrodes' X Y Z come before their count (\"# Total enabled electrodes\")");
        if (!FPlaces.empty())
            FText.Fail("the electrodes' X Y Z are given twice");
        for (int e = 0; e < *FCount; ++e) {
            const std::optional<std::string_view> line = NextValues();
            if (!line || line->starts_with('#'))
                FText.Fail("the list holds " + std::to_string(e) + " electrodes' X Y Z where the count is " +
                           std::to_string(*FCount));
            const std::vector<std::string_view> values = Tokens(*line);
            if (values.size() != 3)
                FText.Fail("an electrode's line holds X Y Z (three numbers), not " + Quoted(*line));
            FPlaces.push_back({Number(values[0]), Number(values[1]), Number(values[2])});
        }
        FPlaced = true;
    }

    // None in the files seen ("No data"); a listed remote's layout is not
    // known.
    void ReadRemotes()
    {
        const std::vector<std::string_view>& lines = FText.Lines();
        while (FText.Next() < lines.size() && !datafile::Trimmed(lines[FText.Next()]).starts_with('#')) {
            const std::optional<std::string_view> line = FText.NextLine();
            if (!line->empty() && *line != "No data")
                FText.Fail("remote electrodes are listed (" + Quoted(*line) + "): their layout is not one this reader "
                           "knows");
        }
    }

    void ReadColumns(std::string_view label)
    {
        if (!FPlaced)
            FText.Fail("the data's columns come before the electrodes' X Y Z");
        for (std::string_view name : Tokens(label))
            FColumns.emplace_back(name);
        FColumnLine = FText.At();
        const auto find = [&](const char* name) -> std::optional<size_t> {
            const auto found = std::find(FColumns.begin(), FColumns.end(), name);
            return found == FColumns.end() ? std::nullopt : std::optional<size_t>(found - FColumns.begin());
        };
        for (size_t e = 0; e < 4; ++e) {
            const std::optional<size_t> column = find(std::string(1, "ABMN"[e]).c_str());
            if (!column)
                FText.Fail(std::string("the data's columns name no \"") + "ABMN"[e] + "\"");
            FElectrodes[e] = *column;
        }
        const std::optional<size_t> current = find("I(AB)"), voltage = find("V(MN)");
        if (!current || !voltage)
            FText.Fail("the data's columns name no \"I(AB)\" and \"V(MN)\"");
        FCurrent = *current, FVoltage = *voltage;
        FStatus = find("Status");
        const auto waveform = std::find_if(FColumns.begin(), FColumns.end(),
                                           [](const std::string& name) { return IsWaveformColumn(name); });
        FWaveform = waveform == FColumns.end() ? std::nullopt : std::optional<size_t>(waveform - FColumns.begin());
        // The values a row holds at least: those before the waveform, and
        // every column read.
        FRead = FWaveform.value_or(FColumns.size());
        for (size_t column : {FElectrodes[0], FElectrodes[1], FElectrodes[2], FElectrodes[3], FCurrent, FVoltage,
                              FStatus.value_or(0)})
            FRead = std::max(FRead, column + 1);
    }

    void ReadRow(std::string_view line)
    {
        const std::vector<std::string_view> values = Tokens(line);
        // The waveform's readings, however many, are not read.
        if (FWaveform ? values.size() < FRead : values.size() != FRead)
            FText.Fail("the row has " + std::to_string(values.size()) + " values where line " +
                       std::to_string(FColumnLine) + " names " + std::to_string(FRead) +
                       (FWaveform ? " before the waveform" : ""));
        formats::TInstrumentRow row;
        row.Line = FText.At();
        if (FStatus) {
            const std::string_view status = values[*FStatus];
            if (status.size() != 1 || std::string_view("EDNedn").find(status.front()) == std::string_view::npos)
                FText.Fail("the status is E (enabled), D (disabled) or N (not measured), not " + Quoted(status));
            if (std::toupper(static_cast<unsigned char>(status.front())) != 'E') {
                FRows.Skip(row.Line);
                return;
            }
        }
        for (size_t e = 0; e < 4; ++e) {
            const int number = FText.Integer(values[FElectrodes[e]]);
            if (number < 1 || number > static_cast<int>(FPlaces.size()))
                FText.Fail("electrode " + std::to_string(number) + " is not one of the " +
                           std::to_string(FPlaces.size()) + " the X Y Z list holds");
            row.Places[e] = FPlaces[static_cast<size_t>(number - 1)];
        }
        if (formats::IsMissingCell(values[FCurrent]) || formats::IsMissingCell(values[FVoltage])) {
            FRows.Skip(row.Line);
            return;
        }
        const double current = Number(values[FCurrent]), voltage = Number(values[FVoltage]);
        if (current == 0.0 || !formats::IsMeasuredValue(current) || !formats::IsMeasuredValue(voltage)) {
            FRows.Skip(row.Line);
            return;
        }
        row.Resistance = voltage / current;
        FRows.Add(row);
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    std::optional<int> FCount;
    std::vector<formats::TInstrumentPlace> FPlaces;
    bool FPlaced = false;
    std::vector<std::string> FColumns;
    int FColumnLine = 0;
    size_t FRead = 0;
    size_t FElectrodes[4] = {};
    size_t FCurrent = 0, FVoltage = 0;
    std::optional<size_t> FStatus, FWaveform;
};

} // namespace

bool IsElectra(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    const auto next = [&]() -> std::optional<std::string_view> {
        while (const std::optional<std::string_view> line = lines.NextLine())
            if (!line->empty())
                return line;
        return std::nullopt;
    };
    const std::optional<std::string_view> count = next();
    if (!count || !count->starts_with('#') || !IsCountLabel(Label(*count)))
        return false;
    const std::optional<std::string_view> number = next();
    if (!number || !datafile::WholeNumber(*number))
        return false;
    const std::optional<std::string_view> places = next();
    if (!places || !places->starts_with('#') || !IsPlaceLabel(Label(*places)))
        return false;
    while (const std::optional<std::string_view> line = next())
        if (line->starts_with('#') && !IsRemoteLabel(Label(*line)))
            return IsColumnLabel(Label(*line));
    return false;
}

TMeasuredData ReadElectra(std::string_view Text)
{
    return TElectraReader(Text).Read();
}

} // namespace lp
