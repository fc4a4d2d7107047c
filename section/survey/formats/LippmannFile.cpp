#include "section/survey/formats/LippmannFile.h"

#include "section/survey/DataFileReading_p.h"
#include "section/survey/formats/InstrumentRows.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace lp {

namespace {

using datafile::Quoted;
using datafile::Tokens;

// The line's text after its "*", trimmed.
std::string_view Starred(std::string_view Line)
{
    return datafile::Trimmed(Line.substr(1));
}

bool IsLippmannColumnLine(std::string_view Line)
{
    if (!Line.starts_with('*'))
        return false;
    const std::vector<std::string_view> tokens = Tokens(Starred(Line));
    return tokens.size() >= 7 && tokens[0] == "num" && tokens[1] == "A" && tokens[2] == "B";
}

class TLippmannReader {
public:
    explicit TLippmannReader(std::string_view text) : FText(text), FRows(TDataFormat::Lippmann, {}) {}

    TMeasuredData Read()
    {
        bool data = false;
        while (const std::optional<std::string_view> line = FText.NextLine()) {
            if (line->empty())
                continue;
            if (line->starts_with('*')) {
                if (IsLippmannColumnLine(*line)) {
                    ReadColumns(*line);
                    data = true;
                } else if (!data) {
                    ReadHeaderLine(*line);
                }
                continue;
            }
            if (!data)
                FText.Fail("a header line (\"*\") or the data's column line (\"* num A B M N ...\") is expected "
                           "before the rows, not " + Quoted(*line));
            ReadRow(*line);
        }
        if (!data)
            FText.Fail("the file ends before the data's column line (\"* num A B M N ...\")");
        if (FPhases)
            FRows.Warn("The column \"phi\" holds phases (mrad) of the voltage, not chargeabilities: they are not "
                       "used (the resistances are).");
        return FRows.Data();
    }

private:
    // A number with a decimal point or comma.
    std::optional<double> Number(std::string_view token) const
    {
        std::string text(token);
        std::replace(text.begin(), text.end(), ',', '.');
        return formats::SignedNumber(text);
    }

    double Required(std::string_view token) const
    {
        const std::optional<double> value = Number(token);
        if (!value || !std::isfinite(*value))
            FText.Fail(Quoted(token) + " is not a finite number");
        return *value;
    }

    // Three coordinates after the line's "=".
    formats::TInstrumentPlace Place(std::string_view line) const
    {
        const std::vector<std::string_view> values = Tokens(line.substr(line.find('=') + 1));
        if (values.size() != 3)
            FText.Fail("x y z (three numbers) are expected after \"=\", not " + Quoted(line.substr(line.find('=') + 1)));
        return {Required(values[0]), Required(values[1]), Required(values[2])};
    }

    void ReadHeaderLine(std::string_view line)
    {
        const std::string_view text = Starred(line);
        if (text.starts_with("Electrode [")) {
            const size_t close = text.find(']');
            if (close == std::string_view::npos || text.find('=') == std::string_view::npos)
                FText.Fail("an electrode line is \"* Electrode [ i] x y z (m) = x y z\", not " + Quoted(line));
            const int number = FText.Integer(datafile::Trimmed(text.substr(11, close - 11)));
            if (FElectrodes.count(number))
                FText.Fail("electrode " + std::to_string(number) + " is placed twice");
            FElectrodes[number] = Place(text);
            return;
        }
        const size_t remote = text.find("Electrode remote");
        if (remote == std::string_view::npos)
            return;
        const std::vector<std::string_view> after = Tokens(text.substr(remote + 16));
        const std::string roles = "ABMN";
        if (after.empty() || after.front().size() != 1 || roles.find(after.front().front()) == std::string::npos)
            FText.Fail("a remote electrode's line names its role (A, B, M or N) after \"Electrode remote\", not " +
                       Quoted(line));
        const size_t role = roles.find(after.front().front());
        if (text.find('=') != std::string_view::npos) {
            const formats::TInstrumentPlace at = Place(text);
            if (!formats::IsRemoteCoordinate(at.x) && !formats::IsRemoteCoordinate(at.y))
                FRemotes[role] = at;
        }
    }

    void ReadColumns(std::string_view line)
    {
        FColumns.clear();
        for (std::string_view name : Tokens(Starred(line)))
            FColumns.emplace_back(name);
        FColumnLine = FText.At();
        const auto find = [&](const char* name) -> size_t {
            const auto found = std::find(FColumns.begin(), FColumns.end(), name);
            if (found == FColumns.end())
                FText.Fail(std::string("the data's column line names no \"") + name + "\"");
            return static_cast<size_t>(found - FColumns.begin());
        };
        for (size_t e = 0; e < 4; ++e)
            FElectrodeColumns[e] = find(std::string(1, "ABMN"[e]).c_str());
        FCurrent = find("I");
        FVoltage = find("U");
        const auto phi = std::find(FColumns.begin(), FColumns.end(), "phi");
        FPhase = phi == FColumns.end() ? std::nullopt : std::optional<size_t>(phi - FColumns.begin());
        // The measurement's date and time, where the export gives them.
        const auto column = [&](const char* name) {
            const auto found = std::find(FColumns.begin(), FColumns.end(), name);
            return found == FColumns.end() ? std::nullopt : std::optional<size_t>(found - FColumns.begin());
        };
        FDate = column("Date");
        FTime = column("Time");
    }

    void ReadRow(std::string_view line)
    {
        const std::vector<std::string_view> values = Tokens(line);
        if (values.size() != FColumns.size())
            FText.Fail("the row has " + std::to_string(values.size()) + " values where line " +
                       std::to_string(FColumnLine) + " names " + std::to_string(FColumns.size()));
        formats::TInstrumentRow row;
        row.Line = FText.At();
        for (size_t e = 0; e < 4; ++e) {
            const std::string_view token = values[FElectrodeColumns[e]];
            if (token == "-") {
                row.Places[e] = FRemotes[e];
                continue;
            }
            const int number = FText.Integer(token);
            const auto found = FElectrodes.find(number);
            if (found == FElectrodes.end())
                FText.Fail("electrode " + std::to_string(number) + " is not one the electrode block lists");
            row.Places[e] = found->second;
        }
        if (FPhase && !formats::IsMissingCell(values[*FPhase]) && Required(values[*FPhase]) != 0.0)
            FPhases = true;
        if (formats::IsMissingCell(values[FCurrent]) || formats::IsMissingCell(values[FVoltage])) {
            FRows.Skip(row.Line);
            return;
        }
        const double current = Required(values[FCurrent]), voltage = Required(values[FVoltage]);
        if (current == 0.0 || !formats::IsMeasuredValue(current) || !formats::IsMeasuredValue(voltage)) {
            FRows.Skip(row.Line);
            return;
        }
        row.Resistance = voltage / current;
        row.Voltage = voltage / 1000.0;
        if (FDate && FTime)
            row.Time = formats::DateTimeSeconds(values[*FDate], values[*FTime]).value_or(row.Time);
        FRows.Add(row);
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    std::map<int, formats::TInstrumentPlace> FElectrodes;
    std::optional<formats::TInstrumentPlace> FRemotes[4];
    std::vector<std::string> FColumns;
    int FColumnLine = 0;
    size_t FElectrodeColumns[4] = {};
    size_t FCurrent = 0, FVoltage = 0;
    std::optional<size_t> FPhase, FDate, FTime;
    bool FPhases = false;
};

} // namespace

bool IsLippmann(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    bool electrodes = false;
    while (const std::optional<std::string_view> line = lines.NextLine()) {
        if (line->empty())
            continue;
        if (!line->starts_with('*'))
            return false;
        electrodes = electrodes || Starred(*line).starts_with("Electrode positions");
        if (IsLippmannColumnLine(*line))
            return electrodes;
    }
    return false;
}

TMeasuredData ReadLippmann(std::string_view Text)
{
    return TLippmannReader(Text).Read();
}

} // namespace lp
