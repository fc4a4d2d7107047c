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

bool IsRemotePlaceLabel(std::string_view Label)
{
    return Tokens(Label) == std::vector<std::string_view>{"Xr", "Yr", "Zr"};
}

// "#Note profile [n. line]": a count of free-text lines, then those lines.
bool IsNoteLabel(std::string_view Label)
{
    return Label.starts_with("Note");
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
            else if (!FColumns.empty())
                ReadRow(*line);
            // Before the data, lines without "#" are the newer layout's
            // profile name and the values of labels not read.
        }
        if (FColumns.empty())
            FText.Fail("the file ends before the data's column label (\"# Meas. A B M N ...\")");
        return FRows.Data();
    }

private:
    // The next line with text, trimmed, not read yet; none at the end.
    std::optional<std::string_view> Ahead() const
    {
        const std::vector<std::string_view>& lines = FText.Lines();
        for (size_t next = FText.Next(); next < lines.size(); ++next)
            if (const std::string_view line = datafile::Trimmed(lines[next]); !line.empty())
                return line;
        return std::nullopt;
    }

    // Whether the next line with text is a label, or the file ends: the
    // end of a label's values.
    bool AtLabel() const
    {
        const std::optional<std::string_view> next = Ahead();
        return !next || next->starts_with('#');
    }

    // The line after the one read last: where a label's values end.
    int NextLineNumber() const { return FText.At() + (FText.Next() < FText.Lines().size() ? 1 : 0); }

    // A number with a decimal point or comma (the file's values are
    // tab-separated).
    double Number(std::string_view token) const
    {
        const std::optional<double> value = formats::DecimalNumber(token);
        if (!value || !std::isfinite(*value))
            FText.Fail(Quoted(token) + " is not a finite number");
        return *value;
    }

    // The whole number alone on the line after a label.
    int Count(const char* what)
    {
        const std::optional<std::string_view> count = formats::NextFilledLine(FText);
        if (!count || count->starts_with('#'))
            FText.Fail(std::string(what) + " (a whole number) is expected after its label");
        const int value = FText.Integer(*count);
        if (value < 0)
            FText.Fail(std::string(what) + " is 0 or more, not " + Quoted(*count));
        return value;
    }

    void ReadLabel(std::string_view label)
    {
        if (!FColumns.empty()) {
            if (!IsUnitLabel(label))
                FText.Fail("after the data's columns only their units' row (\"# [#] ...\") is read, not " +
                           Quoted(label));
            return;
        }
        if (IsCountLabel(label))
            FCounts.push_back(Count("the electrode count"));
        else if (IsPlaceLabel(label))
            ReadPlaces();
        else if (IsRemoteLabel(label) || IsRemotePlaceLabel(label))
            ReadRemotes(IsRemoteLabel(label));
        else if (IsNoteLabel(label))
            SkipNote();
        else if (IsColumnLabel(label))
            ReadColumns(label);
        // Other labels (the original file, dates, settings, totals) and
        // their values are not read.
    }

    // The note's lines are free text, "#" lines among them: passed over by
    // their count. A note without a count is passed over as any label's
    // values are.
    void SkipNote()
    {
        const std::optional<std::string_view> ahead = Ahead();
        const std::optional<int> count = ahead ? datafile::WholeNumber(*ahead) : std::nullopt;
        if (!count || *count < 0)
            return;
        formats::NextFilledLine(FText);
        for (int line = 0; line < *count; ++line)
            if (!FText.NextLine())
                FText.Fail("the file ends within the note of " + std::to_string(*count) + " lines");
    }

    // The X Y Z rows up to the next label: as many as one of the counts
    // given ("#Total electrodes", "#Total enabled electrodes").
    void ReadPlaces()
    {
        if (FCounts.empty())
            FText.Fail("the electrodes' X Y Z come before their count (\"# Total enabled electrodes\")");
        if (FPlaced)
            FText.Fail("the electrodes' X Y Z are given twice");
        while (!AtLabel()) {
            const std::optional<std::string_view> line = formats::NextFilledLine(FText);
            const std::vector<std::string_view> values = Tokens(*line);
            if (values.size() != 3)
                FText.Fail("an electrode's line holds X Y Z (three numbers), not " + Quoted(*line));
            FPlaces.push_back({Number(values[0]), Number(values[1]), Number(values[2])});
        }
        if (std::find(FCounts.begin(), FCounts.end(), static_cast<int>(FPlaces.size())) == FCounts.end()) {
            std::string counts;
            for (int count : FCounts)
                counts += (counts.empty() ? "" : " or ") + std::to_string(count);
            FText.FailAt(NextLineNumber(), "the list holds " + std::to_string(FPlaces.size()) +
                                               " electrodes' X Y Z where the count is " + counts);
        }
        FPlaced = true;
    }

    // None in the files seen: the count 0, and "No data" for their
    // places; a listed remote's layout is not known.
    void ReadRemotes(bool count)
    {
        while (!AtLabel()) {
            const std::optional<std::string_view> line = formats::NextFilledLine(FText);
            if (*line != "No data" && !(count && datafile::WholeNumber(*line) == 0))
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
    std::vector<int> FCounts;
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
    bool places = false;
    while (const std::optional<std::string_view> line = lines.NextLine())
        if (line->starts_with('#')) {
            if (places && IsColumnLabel(Label(*line)))
                return true;
            places = places || IsPlaceLabel(Label(*line));
        }
    return false;
}

TMeasuredData ReadElectra(std::string_view Text)
{
    return TElectraReader(Text).Read();
}

} // namespace lp
