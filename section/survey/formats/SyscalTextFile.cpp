#include "section/survey/formats/SyscalTextFile.h"

#include "section/survey/DataFileReading_p.h"
#include "section/survey/formats/InstrumentRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

namespace lp {

namespace {

using datafile::Quoted;
using datafile::Trimmed;

// The cells of a row, trimmed.
std::vector<std::string_view> Cells(std::string_view Line)
{
    return formats::SeparatedCells(Line, ',');
}

class TSyscalHeader {
public:
    explicit TSyscalHeader(const std::vector<std::string_view>& names) : FNames(names) {}

    // The column of the first name found.
    std::optional<size_t> Find(std::initializer_list<std::string_view> Names) const
    {
        for (std::string_view name : Names) {
            const auto found = std::find(FNames.begin(), FNames.end(), name);
            if (found != FNames.end())
                return static_cast<size_t>(found - FNames.begin());
        }
        return std::nullopt;
    }

    // The columns of one coordinate of A, B, M, N: "Spa.1" .. or "xA(m)" ..
    // or "xA (m)" ..; none unless all four are there.
    std::optional<std::array<size_t, 4>> Coordinate(char Axis) const
    {
        static const char* electrodes = "ABMN";
        std::array<size_t, 4> columns{};
        for (size_t e = 0; e < 4; ++e) {
            const std::string tight = std::string(1, Axis) + electrodes[e] + "(m)";
            const std::string spaced = std::string(1, Axis) + electrodes[e] + " (m)";
            const std::string spa = "Spa." + std::to_string(e + 1);
            const std::optional<size_t> found =
                Axis == 'x' ? Find({spa, tight, spaced}) : Find({std::string_view(tight), std::string_view(spaced)});
            if (!found)
                return std::nullopt;
            columns[e] = *found;
        }
        return columns;
    }

    bool Names(std::string_view Name) const { return Find({Name}).has_value(); }

private:
    std::vector<std::string_view> FNames;
};

class TSyscalReader {
public:
    explicit TSyscalReader(std::string_view text) : FText(text), FRows(TDataFormat::SyscalText, {}) {}

    TMeasuredData Read()
    {
        const std::optional<std::string_view> header = formats::NextFilledLine(FText);
        if (!header)
            FText.Fail("the file ends before the Syscal header");
        const std::vector<std::string_view> names = Cells(*header);
        const TSyscalHeader columns(names);
        const std::optional<std::array<size_t, 4>> x = columns.Coordinate('x');
        if (!x || !columns.Names("El-array"))
            FText.Fail("the Syscal header names El-array and the x of A, B, M and N (Spa.1 .. Spa.4, xA(m) .. or "
                       "xA (m) ..), not " + Quoted(*header));
        FX = *x;
        FY = columns.Coordinate('y');
        if (FY)
            FRows.PlaceOnMap();
        FZ = columns.Coordinate('z');
        FVoltage = columns.Find({"Vp", "VMN (mV)"});
        FCurrent = columns.Find({"In", "IAB (mA)"});
        FRho = columns.Find({"Rho", "Rho (Ohm.m)"});
        FCharge = columns.Find({"M", "M (mV/V)"});
        if (!(FVoltage && FCurrent) && !FRho)
            FText.Fail("the Syscal header names no value: Vp and In (VMN (mV) and IAB (mA)), or Rho");
        if (!(FVoltage && FCurrent))
            FRows.Warn("The file gives no Vp and In: the instrument's Rho is read as the apparent resistivity.");
        FColumns = names.size();
        while (const std::optional<std::string_view> line = FText.NextLine())
            if (!line->empty())
                ReadRow(*line);
        return FRows.Data();
    }

private:
    // A cell's number; none for a missing cell (beyond the row's end, "-" or
    // blank); refused when it is not a number.
    std::optional<double> Value(const std::vector<std::string_view>& cells, size_t column) const
    {
        if (column >= cells.size() || formats::IsMissingCell(cells[column]))
            return std::nullopt;
        const std::optional<double> value = formats::SignedNumber(cells[column]);
        if (!value)
            FText.Fail("column " + std::to_string(column + 1) + " holds " + Quoted(cells[column]) +
                       " where a number is read");
        return value;
    }

    void ReadRow(std::string_view line)
    {
        std::vector<std::string_view> cells = Cells(line);
        cells.resize(std::min(cells.size(), FColumns)); // cells beyond the header ignored
        formats::TInstrumentRow row;
        row.Line = FText.At();
        for (size_t e = 0; e < 4; ++e) {
            const std::optional<double> x = Value(cells, FX[e]);
            const std::optional<double> y = FY ? Value(cells, (*FY)[e]) : 0.0;
            const std::optional<double> z = FZ ? Value(cells, (*FZ)[e]) : 0.0;
            // "-" where a coordinate stands: a remote, as is a huge coordinate.
            const bool dash = FX[e] < cells.size() && Trimmed(cells[FX[e]]) == "-";
            if (dash || (x && formats::IsRemoteCoordinate(*x)) || (y && formats::IsRemoteCoordinate(*y)))
                continue;
            if (!x || !y || !z || !std::isfinite(*z) || std::fabs(*z) >= 99999.0) {
                FRows.Skip(row.Line);
                return;
            }
            row.Places[e] = formats::TInstrumentPlace{*x, *y, *z};
        }
        if (FVoltage && FCurrent) {
            const std::optional<double> v = Value(cells, *FVoltage), i = Value(cells, *FCurrent);
            if (!v || !i || !formats::IsMeasuredValue(*v) || !formats::IsMeasuredValue(*i) || *i == 0.0) {
                FRows.Skip(row.Line);
                return;
            }
            row.Resistance = *v / *i;
            row.Voltage = *v / 1000.0;
        } else {
            const std::optional<double> rho = Value(cells, *FRho);
            if (!rho || !formats::IsMeasuredValue(*rho)) {
                FRows.Skip(row.Line);
                return;
            }
            row.Resistivity = *rho;
        }
        if (FCharge)
            if (const std::optional<double> m = Value(cells, *FCharge); m && formats::IsMeasuredValue(*m))
                row.Chargeability = *m;
        FRows.Add(row);
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    size_t FColumns = 0;
    std::array<size_t, 4> FX{};
    std::optional<std::array<size_t, 4>> FY, FZ;
    std::optional<size_t> FVoltage, FCurrent, FRho, FCharge;
};

} // namespace

bool IsSyscalText(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    const std::optional<std::string_view> header = formats::NextFilledLine(lines);
    if (!header || header->find(',') == std::string_view::npos)
        return false;
    const TSyscalHeader columns(Cells(*header));
    return columns.Names("El-array") && columns.Find({"Spa.1", "xA(m)", "xA (m)"}).has_value();
}

TMeasuredData ReadSyscalText(std::string_view Text)
{
    return TSyscalReader(Text).Read();
}

} // namespace lp
