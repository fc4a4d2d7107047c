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

constexpr std::string_view ElectrodeNames[] = {"A", "B", "M", "N"};

// The line's text after its "*", trimmed.
std::string_view Starred(std::string_view Line)
{
    return datafile::Trimmed(Line.substr(1));
}

// The data's column line: "num" first, then names among which A, B, M
// and N (the columns are read by name, in any order).
bool IsLippmannColumnLine(std::string_view Line)
{
    if (!Line.starts_with('*'))
        return false;
    const std::vector<std::string_view> tokens = Tokens(Starred(Line));
    if (tokens.empty() || tokens.front() != "num")
        return false;
    return std::all_of(std::begin(ElectrodeNames), std::end(ElectrodeNames), [&](std::string_view name) {
        return std::find(tokens.begin(), tokens.end(), name) != tokens.end();
    });
}

// The blocks of the header whose lines are read; the others (the
// program's settings, the moving array, the contact-resistance test, the
// averaged data) are passed over.
enum class TBlock { Other, Electrodes, Remotes };

// The block a "*" line opens, if it is a block's title: a known title
// alone ("* Electrode positions"), or any text closed by a run of stars
// ("* Moving array settings *****").
std::optional<TBlock> OpenedBlock(std::string_view Line)
{
    std::string_view title = Starred(Line);
    const size_t stars = title.find_last_not_of('*');
    const bool starred = stars != std::string_view::npos && title.size() - stars > 3;
    title = datafile::Trimmed(title.substr(0, stars == std::string_view::npos ? 0 : stars + 1));
    if (title == "Electrode positions")
        return TBlock::Electrodes;
    if (title == "Remote electrode positions")
        return TBlock::Remotes;
    return starred ? std::optional<TBlock>(TBlock::Other) : std::nullopt;
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
            // Before the data's columns, lines without "*" are the
            // contact-resistance test's rows (electrode, kOhm, ...).
            if (data)
                ReadRow(*line);
        }
        if (!data)
            FText.Fail("the file ends before the data's column line (\"* num A B M N ...\")");
        return FRows.Data();
    }

private:
    double Required(std::string_view token) const
    {
        const std::optional<double> value = formats::DecimalNumber(token);
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
        if (const std::optional<TBlock> opened = OpenedBlock(line)) {
            FBlock = *opened;
            return;
        }
        const std::string_view text = Starred(line);
        if (FBlock == TBlock::Electrodes && text.starts_with("Electrode [")) {
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
        if (FBlock != TBlock::Remotes || remote == std::string_view::npos)
            return;
        const std::vector<std::string_view> after = Tokens(text.substr(remote + 16));
        const auto role = after.empty() ? std::end(ElectrodeNames)
                                        : std::find(std::begin(ElectrodeNames), std::end(ElectrodeNames), after.front());
        if (role == std::end(ElectrodeNames))
            FText.Fail("a remote electrode's line names its role (A, B, M or N) after \"Electrode remote\", not " +
                       Quoted(line));
        if (text.find('=') != std::string_view::npos) {
            const formats::TInstrumentPlace at = Place(text);
            if (!formats::IsRemoteCoordinate(at.x) && !formats::IsRemoteCoordinate(at.y))
                FRemotes[role - std::begin(ElectrodeNames)] = at;
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
            FElectrodeColumns[e] = find(std::string(ElectrodeNames[e]).c_str());
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
        // "phi" is the voltage's phase against the current in mrad, signed
        // as the program keeps it (negative over a polarizable ground);
        // exports that write its magnitude are turned when all is read
        // (FinishMeasuredData).
        if (FPhase && !formats::IsMissingCell(values[*FPhase]))
            row.Phase = Required(values[*FPhase]);
        if (FDate && FTime)
            row.Time = formats::DateTimeSeconds(values[*FDate], values[*FTime]).value_or(row.Time);
        FRows.Add(row);
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    TBlock FBlock = TBlock::Other;
    std::map<int, formats::TInstrumentPlace> FElectrodes;
    std::optional<formats::TInstrumentPlace> FRemotes[4];
    std::vector<std::string> FColumns;
    int FColumnLine = 0;
    size_t FElectrodeColumns[4] = {};
    size_t FCurrent = 0, FVoltage = 0;
    std::optional<size_t> FPhase, FDate, FTime;
};

} // namespace

bool IsLippmann(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    const std::optional<std::string_view> first = formats::NextFilledLine(lines);
    if (!first || !first->starts_with('*'))
        return false;
    for (std::optional<std::string_view> line = first; line; line = lines.NextLine())
        if (IsLippmannColumnLine(*line))
            return true;
    return false;
}

TMeasuredData ReadLippmann(std::string_view Text)
{
    return TLippmannReader(Text).Read();
}

} // namespace lp
