#include "section/survey/formats/PrimeFile.h"

#include "section/survey/DataFileReading_p.h"
#include "section/survey/formats/InstrumentRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>

namespace lp {

namespace {

using datafile::Quoted;
using datafile::Trimmed;

// The instrument's mark on the first line.
bool IsPrimeMark(std::string_view Line)
{
    return Line.starts_with("# Prime:") || Line.starts_with("#Prime:");
}

// A line's first cell is this key ("no_of_electrodes:").
bool HasKey(std::string_view Line, std::string_view Key)
{
    const std::vector<std::string_view> cells = formats::SeparatedCells(Line, '\t');
    return !cells.empty() && cells.front() == Key;
}

// A datum's row as read, its electrodes by label until they are placed.
struct TPrimeRow {
    int Line = 0;
    std::array<int, 4> Labels{};
    double Resistance = 0.0;
    double Phase = std::numeric_limits<double>::quiet_NaN(); // mrad, φ of the voltage
};

class TPrimeReader {
public:
    explicit TPrimeReader(std::string_view text) : FText(text), FRows(TDataFormat::Prime, {}) {}

    TMeasuredData Read()
    {
        ReadHeader();
        while (const std::optional<std::string_view> line = FText.NextLine()) {
            if (line->empty() || line->starts_with('#'))
                continue;
            if (HasKey(*line, "no_of_electrodes:"))
                ReadPositions(*line);
            else
                ReadRow();
        }
        PlaceRows();
        return FRows.Data();
    }

private:
    // The header to the line "data:", then the column row.
    void ReadHeader()
    {
        std::optional<std::string_view> first;
        while ((first = FText.NextLine()) && first->empty()) {
        }
        if (!first || !IsPrimeMark(*first))
            FText.Fail("a Prime export's first line begins \"# Prime:\", not " + Quoted(first.value_or("")));
        while (true) {
            const std::optional<std::string_view> line = FText.NextLine();
            if (!line)
                FText.Fail("the file ends before the line \"data:\"");
            if (HasKey(*line, "no_of_electrodes:"))
                ReadPositions(*line);
            else if (*line == "data:")
                break;
        }
        std::optional<std::string_view> names;
        while ((names = FText.NextLine()) && (names->empty() || names->starts_with('#'))) {
        }
        if (!names)
            FText.Fail("the file ends before the row of column names after \"data:\"");
        for (std::string_view name : formats::SeparatedCells(*names, '\t'))
            FNames.push_back(name.ends_with(':') ? Trimmed(name.substr(0, name.size() - 1)) : name);
        static const std::array<const char*, 4> electrodes = {"pt_c1_no", "pt_c2_no", "pt_p1_no", "pt_p2_no"};
        for (size_t e = 0; e < 4; ++e) {
            const std::optional<size_t> column = Find(electrodes[e]);
            if (!column)
                FText.Fail("the column row names pt_c1_no:, pt_c2_no:, pt_p1_no:, pt_p2_no: and pt_calc_res:, not " +
                           Quoted(*names));
            FElectrodes[e] = *column;
        }
        const std::optional<size_t> resistance = Find("pt_calc_res");
        if (!resistance)
            FText.Fail("the column row names pt_c1_no:, pt_c2_no:, pt_p1_no:, pt_p2_no: and pt_calc_res:, not " +
                       Quoted(*names));
        FResistance = *resistance;
        FLineNumber = Find("pt_line_number");
        FPhase = Find("pt_calc_phase_mag");
    }

    std::optional<size_t> Find(std::string_view Name) const
    {
        const auto found = std::find(FNames.begin(), FNames.end(), Name);
        if (found == FNames.end())
            return std::nullopt;
        return static_cast<size_t>(found - FNames.begin());
    }

    // "no_of_electrodes:<tab>N", a heading line, N lines "label x y z".
    void ReadPositions(std::string_view line)
    {
        if (!FPlaces.empty())
            FText.Fail("a second block of electrode positions");
        const std::vector<std::string_view> cells = formats::SeparatedCells(line, '\t');
        const int count = cells.size() < 2 ? -1 : datafile::WholeNumber(cells[1]).value_or(-1);
        if (count < 1)
            FText.Fail("\"no_of_electrodes:\" is followed by the number of electrodes, not " + Quoted(line));
        if (!FText.NextLine())
            FText.Fail("the file ends before the electrode positions' heading line");
        for (int e = 0; e < count; ++e) {
            const std::optional<std::string_view> place = FText.NextLine();
            if (!place)
                FText.Fail("the file ends before the " + std::to_string(count) + " electrode positions");
            const std::vector<std::string_view> tokens = datafile::Tokens(*place);
            if (tokens.size() < 4)
                FText.Fail("an electrode position is \"label x y z\", not " + Quoted(*place));
            const int label = FText.Integer(tokens[0]);
            if (FPlaces.count(label))
                FText.Fail("electrode " + std::to_string(label) + " is placed twice");
            const formats::TInstrumentPlace at{FText.Number(tokens[1]), FText.Number(tokens[2]),
                                               FText.Number(tokens[3])};
            if (formats::IsRemoteCoordinate(at.x) || formats::IsRemoteCoordinate(at.y))
                FPlaces[label] = std::nullopt;
            else if (std::fabs(at.z) >= 99999.0)
                FText.Fail("the elevation " + Quoted(tokens[3]) + " is no electrode's");
            else
                FPlaces[label] = at;
        }
    }

    std::string_view Cell(const std::vector<std::string_view>& cells, size_t column) const
    {
        return column < cells.size() ? cells[column] : std::string_view();
    }

    std::optional<int> Label(const std::vector<std::string_view>& cells, size_t e, bool empty) const
    {
        const std::string_view cell = Cell(cells, FElectrodes[e]);
        if (cell.empty() && empty)
            return std::nullopt;
        const std::optional<int> label = datafile::WholeNumber(cell);
        if (!label || std::abs(*label) > 99999)
            FText.Fail(std::string("electrode ") + "ABMN"[e] + " (column " + std::to_string(FElectrodes[e] + 1) +
                       ") is a whole number of at most 99999 in size, not " + Quoted(cell));
        return label;
    }

    void ReadRow()
    {
        // Cells are counted by tabs: the line untrimmed.
        const std::vector<std::string_view> cells =
            formats::SeparatedCells(FText.Lines().at(static_cast<size_t>(FText.At() - 1)), '\t');
        TPrimeRow row;
        row.Line = FText.At();
        if (FLineNumber && Cell(cells, *FLineNumber).starts_with("**")) {
            FRows.Skip(row.Line);
            return;
        }
        // An empty C1 or C2 repeats the previous row's.
        for (size_t e = 0; e < 2; ++e)
            if (const std::optional<int> label = Label(cells, e, true))
                FCurrent[e] = label;
            else if (!FCurrent[e])
                FText.Fail(std::string("electrode ") + "AB"[e] + " (column " + std::to_string(FElectrodes[e] + 1) +
                           ") is empty with no row before to repeat");
        for (size_t e = 0; e < 4; ++e)
            row.Labels[e] = e < 2 ? *FCurrent[e] : *Label(cells, e, false);
        const std::string_view value = Cell(cells, FResistance);
        if (formats::IsMissingCell(value) || value.find("/.//") != std::string_view::npos) {
            FRows.Skip(row.Line);
            return;
        }
        const std::optional<double> resistance = formats::SignedNumber(value);
        if (!resistance)
            FText.Fail("column " + std::to_string(FResistance + 1) + " holds " + Quoted(value) +
                       " where a number is read");
        if (!formats::IsMeasuredValue(*resistance)) {
            FRows.Skip(row.Line);
            return;
        }
        row.Resistance = *resistance;
        // "pt_calc_phase_mag" is the phase's magnitude in degrees: the
        // voltage lags over a polarizable ground, φ = −value, here in mrad.
        // A cell that is not a measured number leaves the datum without one.
        const std::optional<double> phase =
            FPhase ? formats::SignedNumber(Cell(cells, *FPhase)) : std::optional<double>();
        if (phase && formats::IsMeasuredValue(*phase))
            row.Phase = -*phase * 1000.0 * std::numbers::pi / 180.0;
        FData.push_back(row);
    }

    // The rows' electrodes at the block's positions, else on a regular line.
    void PlaceRows()
    {
        int first = std::numeric_limits<int>::max();
        if (FPlaces.empty()) {
            FRows.Warn(formats::NumberedPlacesWarning());
            for (const TPrimeRow& row : FData)
                first = std::min(first, *std::min_element(row.Labels.begin(), row.Labels.end()));
        }
        for (const TPrimeRow& data : FData) {
            formats::TInstrumentRow row;
            row.Line = data.Line;
            row.Resistance = data.Resistance;
            row.Phase = data.Phase;
            for (size_t e = 0; e < 4; ++e) {
                if (FPlaces.empty()) {
                    row.Places[e] = formats::NumberedPlace(data.Labels[e], first);
                    continue;
                }
                const auto found = FPlaces.find(data.Labels[e]);
                if (found == FPlaces.end())
                    FText.FailAt(data.Line, "electrode " + std::to_string(data.Labels[e]) +
                                                " is not one the electrode positions list");
                row.Places[e] = found->second;
            }
            FRows.Add(row);
        }
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    std::vector<std::string_view> FNames;
    std::array<size_t, 4> FElectrodes{};
    size_t FResistance = 0;
    std::optional<size_t> FLineNumber, FPhase;
    std::array<std::optional<int>, 2> FCurrent;
    std::map<int, std::optional<formats::TInstrumentPlace>> FPlaces;
    std::vector<TPrimeRow> FData;
};

} // namespace

bool IsPrime(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    while (const std::optional<std::string_view> line = lines.NextLine())
        if (!line->empty())
            return IsPrimeMark(*line);
    return false;
}

TMeasuredData ReadPrime(std::string_view Text)
{
    return TPrimeReader(Text).Read();
}

} // namespace lp
