#include "section/survey/formats/AresFile.h"

#include "section/survey/DataFileReading_p.h"
#include "section/survey/formats/InstrumentRows.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

namespace lp {

namespace {

using datafile::Quoted;
using datafile::Trimmed;

constexpr std::string_view DataMark = "Measured data:";
const char* ElectrodeColumns[4] = {"C1[el]", "C2[el]", "P1[el]", "P2[el]"};

// The cells of a tab-separated line, trimmed.
std::vector<std::string_view> Cells(std::string_view Line)
{
    std::vector<std::string_view> cells;
    size_t start = 0;
    while (true) {
        const size_t tab = Line.find('\t', start);
        cells.push_back(Trimmed(Line.substr(start, tab == std::string_view::npos ? tab : tab - start)));
        if (tab == std::string_view::npos)
            return cells;
        start = tab + 1;
    }
}

std::optional<size_t> Column(const std::vector<std::string>& Names, std::string_view Name)
{
    const auto found = std::find(Names.begin(), Names.end(), Name);
    return found == Names.end() ? std::nullopt : std::optional<size_t>(found - Names.begin());
}

bool NamesElectrodes(const std::vector<std::string_view>& Names)
{
    return std::all_of(std::begin(ElectrodeColumns), std::end(ElectrodeColumns), [&](const char* name) {
        return std::find(Names.begin(), Names.end(), name) != Names.end();
    });
}

std::string LowerText(std::string_view Text)
{
    std::string lower(Text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// An IP window's column: "IP<i>[<unit>]"; its window i (from 1) and unit.
std::optional<std::pair<int, std::string_view>> IpColumn(std::string_view Name)
{
    const size_t open = Name.find('[');
    if (!Name.starts_with("IP") || open == std::string_view::npos || !Name.ends_with(']'))
        return std::nullopt;
    const std::optional<int> window = datafile::WholeNumber(Name.substr(2, open - 2));
    if (!window)
        return std::nullopt;
    return std::pair{*window, Name.substr(open + 1, Name.size() - open - 2)};
}

class TAresReader {
public:
    explicit TAresReader(std::string_view text) : FText(text), FRows(TDataFormat::Ares, {}) {}

    TMeasuredData Read()
    {
        bool data = false;
        while (const std::optional<std::string_view> line = FText.NextLine()) {
            if (line->empty())
                continue;
            if (!data) {
                if (*line == DataMark)
                    data = ReadColumns();
                else
                    ReadHeaderLine(*line);
                continue;
            }
            ReadRow(*line);
        }
        if (!data)
            FText.Fail("the file ends before the line \"Measured data:\" and the data's column line");
        return FRows.Data();
    }

private:
    // A header value: a number, then "m" or nothing.
    double Metres(std::string_view value) const
    {
        const std::vector<std::string_view> tokens = datafile::Tokens(value);
        if (tokens.empty() || tokens.size() > 2 || (tokens.size() == 2 && tokens[1] != "m"))
            FText.Fail("a length in metres (\"2 m\") is expected, not " + Quoted(value));
        return Number(tokens[0]);
    }

    double Number(std::string_view token) const
    {
        const std::optional<double> value = formats::SignedNumber(token);
        if (!value || !std::isfinite(*value))
            FText.Fail(Quoted(token) + " is not a finite number");
        return *value;
    }

    void ReadHeaderLine(std::string_view line)
    {
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return;
        const std::string_view key = Trimmed(line.substr(0, colon)), value = line.substr(colon + 1);
        if (key == "X-loc") {
            FStart = Metres(value);
        } else if (key == "Electrode distance") {
            FSpacing = Metres(value);
            if (!(*FSpacing > 0.0))
                FText.Fail("the electrode distance is above 0, not " + Quoted(value));
        } else if (key == "IP windows") {
            std::vector<std::string_view> tokens = datafile::Tokens(value);
            if (!tokens.empty() && tokens.back() == "ms")
                tokens.pop_back();
            FWindows.clear();
            for (std::string_view token : tokens) {
                const double duration = Number(token);
                if (!(duration > 0.0))
                    FText.Fail("an IP window lasts more than 0 ms, not " + Quoted(token));
                FWindows.push_back(duration);
            }
            double total = 0.0;
            for (double window : FWindows)
                total += window;
            if (!std::isfinite(total))
                FText.Fail("the IP windows last longer than a number holds");
            FWindowsLine = FText.At();
        }
    }

    // The column line after "Measured data:"; false at the file's end.
    bool ReadColumns()
    {
        std::optional<std::string_view> line;
        while ((line = FText.NextLine()) && line->empty()) {
        }
        if (!line)
            return false;
        const std::vector<std::string_view> cells = Cells(*line);
        FColumns.assign(cells.begin(), cells.end());
        FColumnLine = FText.At();
        if (!FSpacing)
            FText.Fail("the header gives no \"Electrode distance:\" before the data");
        for (size_t e = 0; e < 4; ++e) {
            const std::optional<size_t> column = Column(FColumns, ElectrodeColumns[e]);
            if (!column)
                FText.Fail(std::string("the data's column line names no \"") + ElectrodeColumns[e] + "\"");
            FElectrodes[e] = *column;
        }
        const std::optional<size_t> current = Column(FColumns, "I[mA]"), voltage = Column(FColumns, "U[mV]");
        if (!current || !voltage)
            FText.Fail("the data's column line names no \"I[mA]\" and \"U[mV]\"");
        FCurrent = *current, FVoltage = *voltage;
        ReadIpColumns();
        return true;
    }

    void ReadIpColumns()
    {
        std::map<int, size_t> windows;
        for (size_t c = 0; c < FColumns.size(); ++c)
            if (const auto ip = IpColumn(FColumns[c])) {
                if (ip->second != "%")
                    FText.Fail("the IP column " + Quoted(FColumns[c]) + " is in per cent (\"[%]\") here, not in " +
                               Quoted(ip->second));
                if (windows.count(ip->first))
                    FText.Fail("the IP column " + Quoted(FColumns[c]) + " is named twice");
                windows[ip->first] = c;
            }
        if (windows.empty())
            return;
        if (FWindows.empty())
            FText.Fail("the data have IP columns but the header gives no \"IP windows:\" line with their durations");
        if (windows.size() != FWindows.size() || windows.begin()->first != 1 ||
            windows.rbegin()->first != static_cast<int>(windows.size()))
            FText.Fail("the IP columns are IP1[%] .. IP" + std::to_string(FWindows.size()) + "[%], one per window of "
                       "line " + std::to_string(FWindowsLine) + ", not " + std::to_string(windows.size()) +
                       " columns from IP" + std::to_string(windows.begin()->first) + "[%]");
        for (const auto& [window, column] : windows)
            FIpColumns.push_back(column);
    }

    // An electrode: its number from 0, "*k" after it marking a bundle.
    formats::TInstrumentPlace Electrode(std::string_view cell) const
    {
        const size_t star = cell.find('*');
        const std::optional<int> number = datafile::WholeNumber(cell.substr(0, star));
        const std::optional<int> bundle =
            star == std::string_view::npos ? 1 : datafile::WholeNumber(cell.substr(star + 1));
        if (!number || *number < 0 || !bundle || *bundle < 1)
            FText.Fail("an electrode is a number from 0 (\"5\", or \"5*2\" for a bundle), not " + Quoted(cell));
        const double x = FStart + *number * *FSpacing;
        if (!std::isfinite(x))
            FText.Fail("electrode " + std::to_string(*number) + " lies beyond any finite x at the electrode distance");
        return {x, 0.0, 0.0};
    }

    std::optional<double> Value(std::string_view cell) const
    {
        if (formats::IsMissingCell(cell))
            return std::nullopt;
        const std::optional<double> value = formats::SignedNumber(cell);
        if (!value)
            FText.Fail(Quoted(cell) + " is not a number");
        return value;
    }

    // The duration-weighted mean of the windows' chargeabilities, mV/V;
    // nan when a window has none.
    double Chargeability(const std::vector<std::string_view>& cells) const
    {
        double duration = 0.0;
        for (double window : FWindows)
            duration += window;
        double mean = 0.0;
        for (size_t w = 0; w < FIpColumns.size(); ++w) {
            const std::optional<double> percent = Value(cells[FIpColumns[w]]);
            if (!percent || !formats::IsMeasuredValue(*percent))
                return std::nan("");
            mean += FWindows[w] / duration * *percent; // each window's share first: no overflow
        }
        return FIpColumns.empty() ? std::nan("") : mean * datafile::MillivoltsPerVoltPerPercent;
    }

    void ReadRow(std::string_view line)
    {
        if (LowerText(line).find("too low current") != std::string::npos) {
            FRows.Skip(FText.At());
            return;
        }
        const std::vector<std::string_view> cells = Cells(line);
        if (cells.size() != FColumns.size())
            FText.Fail("the row has " + std::to_string(cells.size()) + " cells where line " +
                       std::to_string(FColumnLine) + " names " + std::to_string(FColumns.size()));
        formats::TInstrumentRow row;
        row.Line = FText.At();
        for (size_t e = 0; e < 4; ++e)
            row.Places[e] = Electrode(cells[FElectrodes[e]]);
        const std::optional<double> current = Value(cells[FCurrent]), voltage = Value(cells[FVoltage]);
        const double chargeability = Chargeability(cells);
        if (!current || !voltage || !formats::IsMeasuredValue(*current) || !formats::IsMeasuredValue(*voltage) ||
            *current == 0.0) {
            FRows.Skip(row.Line);
            return;
        }
        row.Resistance = *voltage / *current;
        row.Voltage = *voltage / 1000.0;
        row.Chargeability = chargeability;
        FRows.Add(row);
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    double FStart = 0.0;
    std::optional<double> FSpacing;
    std::vector<double> FWindows;
    int FWindowsLine = 0;
    std::vector<std::string> FColumns;
    int FColumnLine = 0;
    size_t FElectrodes[4] = {};
    size_t FCurrent = 0, FVoltage = 0;
    std::vector<size_t> FIpColumns;
};

} // namespace

bool IsAres(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    bool mark = false;
    while (const std::optional<std::string_view> line = lines.NextLine()) {
        if (line->empty())
            continue;
        if (mark)
            return NamesElectrodes(Cells(*line));
        mark = *line == DataMark;
    }
    return false;
}

TMeasuredData ReadAres(std::string_view Text)
{
    return TAresReader(Text).Read();
}

} // namespace lp
