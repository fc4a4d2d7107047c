#include "section/forward/DataFile.h"

#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace lp {

namespace {

std::string ElectrodeNumber(int electrode)
{
    return std::to_string(electrode + 1); // an absent electrode (-1) is 0
}

} // namespace

std::string FormatUnifiedData(const TForwardResult& Result)
{
    const TSurvey& survey = Result.Survey;
    const bool chargeability = !Result.Chargeabilities.empty();
    std::string text = "# Lithoprism forward response: rhoa in ohm-m";
    text += chargeability ? ", ip in per cent" : "";
    text += ", array " + survey.Array + "\n";
    text += std::to_string(survey.Electrodes.size()) + "\n# x z\n";
    for (const TElectrode& electrode : survey.Electrodes)
        text += FormatExactReal(electrode.x) + " " + FormatExactReal(electrode.z) + "\n";
    text += std::to_string(survey.Configurations.size()) + "\n# a b m n k rhoa";
    text += chargeability ? " ip\n" : "\n";
    for (size_t d = 0; d < survey.Configurations.size(); ++d) {
        const TConfiguration& c = survey.Configurations[d];
        text += ElectrodeNumber(c.a) + " " + ElectrodeNumber(c.b) + " " + ElectrodeNumber(c.m) + " " +
                ElectrodeNumber(c.n) + " " + FormatExactReal(Result.GeometricFactors[d]) + " " + FormatExactReal(Result.Resistivities[d]);
        if (chargeability)
            text += " " + FormatExactReal(Result.Chargeabilities[d]);
        text += "\n";
    }
    text += "0\n";
    return text;
}

std::string FormatDataTable(const TForwardResult& Result)
{
    const TSurvey& survey = Result.Survey;
    std::string text = "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip\n";
    const auto x = [&](int electrode) {
        return electrode < 0 ? std::string() : FormatExactReal(survey.Electrodes[static_cast<size_t>(electrode)].x);
    };
    for (size_t d = 0; d < survey.Configurations.size(); ++d) {
        const TConfiguration& c = survey.Configurations[d];
        text += ElectrodeNumber(c.a) + "," + ElectrodeNumber(c.b) + "," + ElectrodeNumber(c.m) + "," +
                ElectrodeNumber(c.n) + "," + x(c.a) + "," + x(c.b) + "," + x(c.m) + "," + x(c.n) + "," +
                FormatExactReal(Result.GeometricFactors[d]) + "," + FormatExactReal(Result.Resistivities[d]) + ",";
        if (!Result.Chargeabilities.empty())
            text += FormatExactReal(Result.Chargeabilities[d]);
        text += "\n";
    }
    return text;
}

// --- Reading ----------------------------------------------------------------------

namespace {

class TDataReader {
public:
    explicit TDataReader(std::string_view text)
    {
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view line = text.substr(start, end - start);
            FLines.push_back(line);
            start = end + 1;
        }
        if (FLines.size() > 1 && FLines.back().empty())
            FLines.pop_back(); // the last line's end
    }

    TSurvey Read()
    {
        TSurvey survey;
        survey.Array = SchemeArrayName;
        const int electrodes = Count("the electrode count");
        const std::vector<std::string> electrodeColumns = Columns({"x"});
        const size_t xColumn = ColumnOf(electrodeColumns, "x", "electrode");
        const std::optional<size_t> zColumn = OptionalColumnOf(electrodeColumns, "z");
        const size_t electrodeValues = std::max(xColumn, zColumn.value_or(0)) + 1;
        for (int e = 0; e < electrodes; ++e) {
            const std::vector<std::string_view> row = Row("electrode " + std::to_string(e + 1), electrodeValues);
            TElectrode electrode;
            electrode.x = Number(row[xColumn]);
            electrode.z = zColumn ? Number(row[*zColumn]) : 0.0;
            survey.Electrodes.push_back(electrode);
        }
        const int data = Count("the datum count");
        const std::vector<std::string> dataColumns = Columns({"a", "b", "m", "n"});
        size_t places[4];
        const char* names[4] = {"a", "b", "m", "n"};
        for (int i = 0; i < 4; ++i)
            places[i] = ColumnOf(dataColumns, names[i], "datum");
        const size_t needed = *std::max_element(places, places + 4) + 1;
        for (int d = 0; d < data; ++d) {
            const std::vector<std::string_view> row = Row("datum " + std::to_string(d + 1), needed);
            int numbers[4];
            for (int i = 0; i < 4; ++i) {
                numbers[i] = Integer(row[places[i]]);
                if (numbers[i] < 0 || numbers[i] > electrodes)
                    Fail("electrode number " + std::string(row[places[i]]) + " is not one of the " +
                         std::to_string(electrodes) + " electrodes");
            }
            survey.Configurations.push_back({numbers[0] - 1, numbers[1] - 1, numbers[2] - 1, numbers[3] - 1});
        }
        return survey;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw EDataFileError("Line " + std::to_string(FAt) + ": " + what + ".");
    }

    static std::vector<std::string_view> Tokens(std::string_view line)
    {
        std::vector<std::string_view> tokens;
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
                ++i;
            size_t j = i;
            while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j])))
                ++j;
            if (j > i)
                tokens.push_back(line.substr(i, j - i));
            i = j;
        }
        return tokens;
    }

    static bool IsComment(std::string_view line)
    {
        const std::vector<std::string_view> tokens = Tokens(line);
        return !tokens.empty() && tokens.front().front() == '#';
    }
    static bool IsBlank(std::string_view line) { return Tokens(line).empty(); }

    // The tokens of the next line that is neither blank nor a comment.
    std::vector<std::string_view> NextRow(const std::string& what)
    {
        while (FNext < FLines.size()) {
            const std::string_view line = FLines[FNext++];
            FAt = static_cast<int>(FNext);
            if (IsBlank(line))
                continue;
            if (IsComment(line))
                continue;
            return Tokens(line);
        }
        FAt = static_cast<int>(FLines.size());
        Fail("the file ends before " + what);
    }

    int Count(const std::string& what)
    {
        const std::vector<std::string_view> tokens = NextRow(what);
        const int count = Integer(tokens.front());
        if (count < 0)
            Fail(what + " " + std::string(tokens.front()) + " is below 0");
        return count;
    }

    // The column names of the next block: those of the comment line right
    // before its first row, when there is one; else the defaults.
    std::vector<std::string> Columns(std::vector<std::string> defaults)
    {
        size_t look = FNext;
        std::string_view names;
        while (look < FLines.size() && (IsBlank(FLines[look]) || IsComment(FLines[look]))) {
            if (IsComment(FLines[look]))
                names = FLines[look];
            ++look;
        }
        if (names.empty())
            return defaults;
        std::string text(names.substr(names.find('#') + 1));
        std::vector<std::string> columns;
        for (std::string_view token : Tokens(text)) {
            std::string name(token);
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            // "a/b" style unit suffixes are not part of the name.
            columns.push_back(name.substr(0, name.find('/')));
        }
        return columns;
    }

    size_t ColumnOf(const std::vector<std::string>& columns, const std::string& name, const char* block)
    {
        const std::optional<size_t> place = OptionalColumnOf(columns, name);
        if (!place) {
            FAt = static_cast<int>(FNext + 1);
            Fail(std::string("the ") + block + " columns have no \"" + name + "\"");
        }
        return *place;
    }

    static std::optional<size_t> OptionalColumnOf(const std::vector<std::string>& columns, const std::string& name)
    {
        const auto found = std::find(columns.begin(), columns.end(), name);
        if (found == columns.end())
            return std::nullopt;
        return static_cast<size_t>(found - columns.begin());
    }

    std::vector<std::string_view> Row(const std::string& what, size_t needed)
    {
        std::vector<std::string_view> tokens = NextRow(what);
        if (tokens.size() < needed)
            Fail(what + " has " + std::to_string(tokens.size()) + " values where " + std::to_string(needed) +
                 " are needed");
        return tokens;
    }

    int Integer(std::string_view token) const
    {
        int value = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size())
            Fail("\"" + std::string(token) + "\" is not a whole number");
        return value;
    }

    double Number(std::string_view token) const
    {
        double value = 0.0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(value))
            Fail("\"" + std::string(token) + "\" is not a finite number");
        return value;
    }

    std::vector<std::string_view> FLines;
    size_t FNext = 0;
    int FAt = 0;
};

} // namespace

TSurvey ParseUnifiedData(std::string_view Text)
{
    return TDataReader(Text).Read();
}

} // namespace lp
