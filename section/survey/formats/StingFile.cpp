#include "section/survey/formats/StingFile.h"

#include "section/survey/DataFileReading_p.h"
#include "section/survey/formats/InstrumentRows.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace lp {

namespace {

using datafile::Quoted;
using datafile::Trimmed;

constexpr size_t StingFields = 21;
constexpr double MetresPerFoot = 0.3048;

std::vector<std::string_view> Fields(std::string_view Line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        const size_t comma = Line.find(',', start);
        fields.push_back(Trimmed(Line.substr(start, comma == std::string_view::npos ? comma : comma - start)));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

// A row: its first field a whole number (the record number).
bool IsRow(std::string_view Line)
{
    const std::vector<std::string_view> fields = Fields(Line);
    return fields.size() > 1 && datafile::WholeNumber(fields.front()).has_value();
}

std::string LowerText(std::string_view Text)
{
    std::string lower(Text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

class TStingReader {
public:
    explicit TStingReader(std::string_view text) : FText(text), FRows(TDataFormat::Sting, {}) 
    {
        FRows.PlaceOnMap(); // every record gives x, y and z
    }

    TMeasuredData Read()
    {
        bool rows = false;
        while (const std::optional<std::string_view> line = FText.NextLine()) {
            if (line->empty())
                continue;
            if (!rows && !IsRow(*line)) {
                ReadHeaderLine(*line);
                continue;
            }
            rows = true;
            ReadRow(*line);
        }
        if (FIpRows > 0)
            FRows.Warn(std::to_string(FIpRows) + " rows carry IP readings, whose unit the file does not document: "
                       "they are not used (the resistances are).");
        return FRows.Data();
    }

private:
    void ReadHeaderLine(std::string_view line)
    {
        const std::string lower = LowerText(line);
        const size_t unit = lower.find("unit:");
        if (unit == std::string::npos)
            return;
        const std::string name(Trimmed(std::string_view(lower).substr(unit + 5)));
        if (name.starts_with("meter") || name.starts_with("metre"))
            FScale = 1.0;
        else if (name.starts_with("feet") || name.starts_with("foot"))
            FScale = MetresPerFoot;
        else
            FText.Fail("the unit is meter or feet, not " + Quoted(line.substr(unit + 5)));
    }

    double Number(std::string_view field) const
    {
        const std::optional<double> value = formats::SignedNumber(field);
        if (!value)
            FText.Fail(Quoted(field) + " is not a number");
        return *value;
    }

    void ReadRow(std::string_view line)
    {
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.size() < StingFields)
            FText.Fail("a row has " + std::to_string(fields.size()) + " fields where " + std::to_string(StingFields) +
                       " or more are read (record, mode, date, time, V/I, error, current, rho, label, x y z of A, B, "
                       "M and N)");
        if (!datafile::WholeNumber(fields.front()))
            FText.Fail("a row's first field is its record number, not " + Quoted(fields.front()));
        formats::TInstrumentRow row;
        row.Line = FText.At();
        bool usable = true;
        for (size_t e = 0; e < 4; ++e) {
            double at[3];
            for (size_t c = 0; c < 3; ++c) {
                const std::string_view field = fields[9 + 3 * e + c];
                at[c] = formats::IsMissingCell(field) ? std::nan("") : Number(field);
            }
            if (formats::IsRemoteCoordinate(at[0]) && std::isfinite(at[0]))
                continue;
            if (!(std::isfinite(at[0]) && std::isfinite(at[1]) && std::isfinite(at[2])) || std::fabs(at[2]) >= 99999.0)
                usable = false;
            else if (formats::IsRemoteCoordinate(at[1]))
                continue;
            else
                row.Places[e] = formats::TInstrumentPlace{at[0] * FScale, at[1] * FScale, at[2] * FScale};
        }
        const double resistance = formats::IsMissingCell(fields[4]) ? std::nan("") : Number(fields[4]);
        const double current = formats::IsMissingCell(fields[6]) ? std::nan("") : Number(fields[6]);
        for (size_t f = StingFields; f < fields.size(); ++f)
            if (LowerText(fields[f]).starts_with("ip")) {
                ++FIpRows;
                break;
            }
        if (!usable || !formats::IsMeasuredValue(resistance) || !formats::IsMeasuredValue(current) || current == 0.0) {
            FRows.Skip(row.Line);
            return;
        }
        row.Resistance = resistance;
        row.Voltage = resistance * current / 1000.0;
        row.Time = formats::DateTimeSeconds(fields[2], fields[3]).value_or(row.Time);
        FRows.Add(row);
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    double FScale = 1.0;
    int FIpRows = 0;
};

} // namespace

bool IsSting(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    bool marked = false;
    constexpr int headerLines = 6;
    for (int l = 0; l < headerLines; ++l) {
        const std::optional<std::string_view> line = lines.NextLine();
        if (!line)
            return false;
        if (line->empty())
            continue;
        if (!IsRow(*line)) {
            const std::string lower = LowerText(*line);
            marked = marked || lower.find("records:") != std::string::npos || lower.starts_with("unit:");
            continue;
        }
        const std::vector<std::string_view> fields = Fields(*line);
        if (!marked || fields.size() < StingFields)
            return false;
        for (size_t f = 9; f < StingFields; ++f)
            if (!formats::SignedNumber(fields[f]))
                return false;
        return true;
    }
    return false;
}

TMeasuredData ReadSting(std::string_view Text)
{
    return TStingReader(Text).Read();
}

} // namespace lp
