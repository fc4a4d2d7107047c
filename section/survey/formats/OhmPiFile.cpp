#include "section/survey/formats/OhmPiFile.h"

#include "section/survey/DataFileReading_p.h"
#include "section/survey/formats/InstrumentRows.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lp {

namespace {

using datafile::Quoted;

// The largest electrode number read: beyond it a number is no electrode
// of a line.
constexpr int MaxElectrodeNumber = 99999;

class TOhmPiHeader {
public:
    explicit TOhmPiHeader(std::string_view Line) : FNames(formats::SeparatedCells(Line, ',')) {}

    std::optional<size_t> Find(std::string_view Name) const
    {
        const auto found = std::find(FNames.begin(), FNames.end(), Name);
        if (found == FNames.end())
            return std::nullopt;
        return static_cast<size_t>(found - FNames.begin());
    }

    // The columns of a, b, m, n; none unless all four are there.
    std::optional<std::array<size_t, 4>> Electrodes() const
    {
        std::array<size_t, 4> columns{};
        for (size_t e = 0; e < 4; ++e) {
            const std::optional<size_t> found = Find(std::string(1, "abmn"[e]));
            if (!found)
                return std::nullopt;
            columns[e] = *found;
        }
        return columns;
    }

    bool HasValue() const { return Find("r_[Ohm]") || (Find("vmn_[mV]") && Find("iab_[mA]")); }

private:
    std::vector<std::string_view> FNames;
};

class TOhmPiReader {
public:
    explicit TOhmPiReader(std::string_view text) : FText(text), FRows(TDataFormat::OhmPi, {}) {}

    TMeasuredData Read()
    {
        const std::optional<std::string_view> header = formats::NextFilledLine(FText);
        if (!header)
            FText.Fail("the file ends before the OhmPi header");
        const TOhmPiHeader columns(*header);
        const std::optional<std::array<size_t, 4>> electrodes = columns.Electrodes();
        if (!electrodes || !columns.HasValue())
            FText.Fail("the OhmPi header names the columns a, b, m, n and r_[Ohm] (or vmn_[mV] and iab_[mA]), not " +
                       Quoted(*header));
        FElectrodes = *electrodes;
        FResistance = columns.Find("r_[Ohm]");
        FVoltage = columns.Find("vmn_[mV]");
        FCurrent = columns.Find("iab_[mA]");
        FTime = columns.Find("time");
        FRows.Warn(formats::NumberedPlacesWarning());
        while (const std::optional<std::string_view> line = FText.NextLine())
            if (!line->empty())
                ReadRow(*line);
        return FRows.Data();
    }

private:
    // A cell's number; none for a missing cell (beyond the row's end, "-" or
    // blank); refused when it is not a number.
    std::optional<double> Value(const std::vector<std::string_view>& cells, std::optional<size_t> column) const
    {
        if (!column || *column >= cells.size() || formats::IsMissingCell(cells[*column]))
            return std::nullopt;
        const std::optional<double> value = formats::SignedNumber(cells[*column]);
        if (!value)
            FText.Fail("column " + std::to_string(*column + 1) + " holds " + Quoted(cells[*column]) +
                       " where a number is read");
        return value;
    }

    int Electrode(const std::vector<std::string_view>& cells, size_t e) const
    {
        const size_t column = FElectrodes[e];
        const std::string_view cell = column < cells.size() ? cells[column] : std::string_view();
        const std::optional<int> number = datafile::WholeNumber(cell);
        if (!number || *number < 1 || *number > MaxElectrodeNumber)
            FText.Fail(std::string("electrode ") + "ABMN"[e] + " (column " + std::to_string(column + 1) +
                       ") is a whole number from 1 to " + std::to_string(MaxElectrodeNumber) + ", not " +
                       Quoted(cell));
        return *number;
    }

    // R from r_[Ohm], else from vmn_[mV] / iab_[mA]; none without a measurement.
    std::optional<double> Resistance(const std::vector<std::string_view>& cells) const
    {
        if (FResistance) {
            const std::optional<double> r = Value(cells, FResistance);
            if (!r || !formats::IsMeasuredValue(*r))
                return std::nullopt;
            return r;
        }
        const std::optional<double> v = Value(cells, FVoltage), i = Value(cells, FCurrent);
        if (!v || !i || !formats::IsMeasuredValue(*v) || !formats::IsMeasuredValue(*i) || *i == 0.0)
            return std::nullopt;
        return *v / *i;
    }

    void ReadRow(std::string_view line)
    {
        const std::vector<std::string_view> cells = formats::SeparatedCells(line, ',');
        formats::TInstrumentRow row;
        row.Line = FText.At();
        for (size_t e = 0; e < 4; ++e)
            row.Places[e] = formats::NumberedPlace(Electrode(cells, e), 1);
        const std::optional<double> resistance = Resistance(cells);
        if (!resistance) {
            FRows.Skip(row.Line);
            return;
        }
        row.Resistance = *resistance;
        if (const std::optional<double> v = Value(cells, FVoltage); v && formats::IsMeasuredValue(*v))
            row.Voltage = *v / 1000.0;
        if (FTime && *FTime < cells.size())
            row.Time = formats::DateTimeSeconds(cells[*FTime]).value_or(row.Time);
        FRows.Add(row);
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    std::array<size_t, 4> FElectrodes{};
    std::optional<size_t> FResistance, FVoltage, FCurrent, FTime;
};

} // namespace

bool IsOhmPi(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    const std::optional<std::string_view> header = formats::NextFilledLine(lines);
    if (!header || header->find(',') == std::string_view::npos)
        return false;
    const TOhmPiHeader columns(*header);
    return columns.Electrodes().has_value() && columns.HasValue();
}

TMeasuredData ReadOhmPi(std::string_view Text)
{
    return TOhmPiReader(Text).Read();
}

} // namespace lp
