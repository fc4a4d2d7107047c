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

// The data file's ip is a time-domain chargeability in mV/V, as pyGIMLi
// takes it; the computation's is in per cent.
constexpr double MillivoltsPerVoltPerPercent = 10.0;

std::string ElectrodeNumber(int electrode)
{
    return std::to_string(electrode + 1); // an absent electrode (-1) is 0
}

} // namespace

std::string FormatUnifiedData(const TForwardResult& Result)
{
    const TSurvey& survey = Result.Survey;
    const bool chargeability = !Result.Chargeabilities.empty();
    std::string text = "# Lithoprism forward response, array " + survey.Array + ": rhoa in ohm-m, k in m";
    text += chargeability ? ", ip in mV/V (10 mV/V = 1 %)\n" : "\n";
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
            text += " " + FormatExactReal(Result.Chargeabilities[d] * MillivoltsPerVoltPerPercent);
        text += "\n";
    }
    text += "0\n";
    return text;
}

std::string FormatDataTable(const TForwardResult& Result)
{
    const TSurvey& survey = Result.Survey;
    std::string text = "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip_percent\n";
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

// How much of the file a message quotes: enough to recognise the line, never
// a whole runaway token.
constexpr size_t QuotedCharacters = 40;

// The length of the UTF-8 sequence starting at Text[At] when it encodes a
// printable character (no C1 control, no overlong form, no surrogate); 0
// otherwise.
size_t PrintableSequence(std::string_view Text, size_t At)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(Text[i]); };
    const unsigned char lead = byte(At);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || At + length > Text.size())
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(At + i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(At + i) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0xA0, 0x800, 0x10000}; // C1 controls end at 0x9F
    if (code < least[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

// A piece of the file as a message shows it: at most QuotedCharacters
// characters, control characters and bytes that are not UTF-8 escaped, so
// nothing in it can steer a terminal.
std::string Quoted(std::string_view Text)
{
    std::string shown = "\"";
    size_t characters = 0;
    for (size_t at = 0; at < Text.size(); ++characters) {
        if (characters == QuotedCharacters)
            return shown + "...\"";
        const unsigned char c = static_cast<unsigned char>(Text[at]);
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
            ++at;
        } else if (const size_t length = c >= 0x80 ? PrintableSequence(Text, at) : 0; length > 0) {
            shown += Text.substr(at, length);
            at += length;
        } else {
            static const char digits[] = "0123456789abcdef";
            shown += c == '\t' ? std::string("\\t") : c == '\r' ? std::string("\\r")
                                                    : std::string{'\\', 'x', digits[c >> 4], digits[c & 15]};
            ++at;
        }
    }
    return shown + "\"";
}

std::string_view Trimmed(std::string_view Text)
{
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!Text.empty() && blank(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && blank(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

std::vector<std::string_view> Tokens(std::string_view Text)
{
    std::vector<std::string_view> tokens;
    size_t i = 0;
    while (i < Text.size()) {
        while (i < Text.size() && std::isspace(static_cast<unsigned char>(Text[i])))
            ++i;
        size_t j = i;
        while (j < Text.size() && !std::isspace(static_cast<unsigned char>(Text[j])))
            ++j;
        if (j > i)
            tokens.push_back(Text.substr(i, j - i));
        i = j;
    }
    return tokens;
}

// A line's values: what comes before a "#".
std::string_view Content(std::string_view Line)
{
    return Trimmed(Line.substr(0, Line.find('#')));
}

bool IsColumnLine(std::string_view Line)
{
    const std::string_view text = Trimmed(Line);
    return !text.empty() && text.front() == '#';
}

// A column line's names, lowercase; a unit after "/" ("ip/%", "err/%") is
// not part of the name.
std::vector<std::string> ColumnNames(std::string_view Line)
{
    const std::string_view text = Trimmed(Line);
    std::vector<std::string> names;
    for (std::string_view token : Tokens(text.substr(1))) {
        std::string name(token.substr(0, token.find('/')));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        names.push_back(std::move(name));
    }
    return names;
}

// The columns of a block: named by the column line right after its count
// line (the only place pyGIMLi looks for them), else by the values' places.
struct TColumns {
    std::vector<std::string> Names; // empty without a column line
    int Line = 0;                   // of the column line

    std::optional<size_t> Find(std::string_view Name) const
    {
        const auto found = std::find(Names.begin(), Names.end(), Name);
        return found == Names.end() ? std::nullopt : std::optional<size_t>(static_cast<size_t>(found - Names.begin()));
    }
};

class TDataReader {
public:
    explicit TDataReader(std::string_view text)
    {
        constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
        if (text.substr(0, byteOrderMark.size()) == byteOrderMark)
            text.remove_prefix(byteOrderMark.size());
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            FLines.push_back(text.substr(start, end - start));
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
        ReadElectrodes(electrodes, survey);
        const int data = Count("the datum count");
        ReadData(data, electrodes, survey);
        ReadTopography(data);
        return survey;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw EDataFileError("Line " + std::to_string(FAt) + ": " + what + ".");
    }

    // The next line with values (comments and blank lines skipped); none at
    // the file's end.
    std::optional<std::string_view> NextValues()
    {
        while (FNext < FLines.size()) {
            const std::string_view values = Content(FLines[FNext++]);
            FAt = static_cast<int>(FNext);
            if (!values.empty())
                return values;
        }
        FAt = static_cast<int>(std::max<size_t>(FLines.size(), 1));
        return std::nullopt;
    }

    std::vector<std::string_view> Row(const std::string& what)
    {
        const std::optional<std::string_view> values = NextValues();
        if (!values)
            Fail("the file ends before " + what);
        return Tokens(*values);
    }

    // A count line holds one whole number and nothing else.
    int Count(const std::string& what)
    {
        const std::optional<std::string_view> values = NextValues();
        if (!values)
            Fail("the file ends before " + what);
        return CountOn(*values, what);
    }

    int CountOn(std::string_view values, const std::string& what) const
    {
        if (Tokens(values).size() != 1)
            Fail(what + " is one whole number alone on its line, not " + Quoted(values));
        const int count = Integer(values);
        if (count < 0)
            Fail(what + " " + std::to_string(count) + " is below 0");
        return count;
    }

    // The column line right after the count line just read (blank lines
    // between them allowed), or none.
    TColumns Columns()
    {
        for (size_t look = FNext; look < FLines.size(); ++look) {
            if (Trimmed(FLines[look]).empty())
                continue;
            if (!IsColumnLine(FLines[look]))
                break;
            TColumns columns{ColumnNames(FLines[look]), static_cast<int>(look + 1)};
            if (columns.Names.empty()) // a lone "#": a comment
                break;
            return columns;
        }
        return {};
    }

    size_t Required(const TColumns& columns, std::string_view name, const char* block) const
    {
        const std::optional<size_t> place = columns.Find(name);
        if (!place)
            throw EDataFileError("Line " + std::to_string(columns.Line) + ": the " + block + " columns have no \"" +
                                 std::string(name) + "\".");
        if (std::count(columns.Names.begin(), columns.Names.end(), name) > 1)
            throw EDataFileError("Line " + std::to_string(columns.Line) + ": the " + block + " columns name \"" +
                                 std::string(name) + "\" twice.");
        return *place;
    }

    // A row of a block with a column line has one value per column; one
    // without has from to to values (0: no most).
    std::vector<std::string_view> BlockRow(const std::string& what, const TColumns& columns, size_t from, size_t to)
    {
        std::vector<std::string_view> row = Row(what);
        if (!columns.Names.empty()) {
            const size_t named = columns.Names.size();
            if (row.size() < named)
                Fail(what + " has " + std::to_string(row.size()) + " values where " + std::to_string(named) +
                     " are needed");
            if (row.size() > named)
                Fail(what + " has " + std::to_string(row.size()) + " values where line " +
                     std::to_string(columns.Line) + " names " + std::to_string(named));
        } else if (row.size() < from || (to != 0 && row.size() > to)) {
            Fail(what + " has " + std::to_string(row.size()) + " values where " + std::to_string(from) +
                 (to == 0 ? " or more" : " to " + std::to_string(to)) + " are read");
        }
        return row;
    }

    // Positions: x, and z the elevation ("# x y" names it y, as a 2-D file
    // does); without a column line "x", "x z" or "x y z".
    struct TPositionColumns {
        TColumns Columns;
        size_t X = 0;
        std::optional<size_t> Z;
        std::optional<size_t> Y; // beside a z column: the elevation when z is 0 everywhere
    };

    TPositionColumns PositionColumns(const char* block)
    {
        TPositionColumns place;
        place.Columns = Columns();
        if (place.Columns.Names.empty())
            return place;
        place.X = Required(place.Columns, "x", block);
        place.Z = place.Columns.Find("z");
        place.Y = place.Columns.Find("y");
        if (!place.Z)
            std::swap(place.Z, place.Y);
        return place;
    }

    TElectrode Position(const TPositionColumns& place, const std::vector<std::string_view>& row) const
    {
        for (std::string_view value : row)
            Number(value);
        if (place.Columns.Names.empty()) // x, x z or x y z
            return {Number(row.front()), row.size() > 1 ? Number(row.back()) : 0.0};
        return {Number(row[place.X]), place.Z ? Number(row[*place.Z]) : 0.0};
    }

    void ReadElectrodes(int electrodes, TSurvey& survey)
    {
        const TPositionColumns place = PositionColumns("electrode");
        // A 2-D line written as "x y z" may hold its elevation in y with z 0
        // everywhere (pyGIMLi writes it so): then y is the elevation.
        std::vector<double> ys;
        bool zeroZ = true;
        for (int e = 0; e < electrodes; ++e) {
            const std::vector<std::string_view> row =
                BlockRow("electrode " + std::to_string(e + 1), place.Columns, 1, 3);
            survey.Electrodes.push_back(Position(place, row));
            zeroZ = zeroZ && survey.Electrodes.back().z == 0.0;
            if (place.Y)
                ys.push_back(Number(row[*place.Y]));
            else if (place.Columns.Names.empty() && row.size() == 3)
                ys.push_back(Number(row[1]));
        }
        if (zeroZ && ys.size() == survey.Electrodes.size())
            for (size_t e = 0; e < ys.size(); ++e)
                survey.Electrodes[e].z = ys[e];
    }

    void ReadData(int data, int electrodes, TSurvey& survey)
    {
        const TColumns columns = Columns();
        size_t places[4] = {0, 1, 2, 3};
        if (!columns.Names.empty()) {
            const char* names[4] = {"a", "b", "m", "n"};
            for (int i = 0; i < 4; ++i)
                places[i] = Required(columns, names[i], "datum");
        }
        for (int d = 0; d < data; ++d) {
            const std::vector<std::string_view> row =
                BlockRow("datum " + std::to_string(d + 1), columns, 4, 0);
            int numbers[4];
            for (int i = 0; i < 4; ++i) {
                numbers[i] = Integer(row[places[i]]);
                if (numbers[i] < 0 || numbers[i] > electrodes)
                    Fail("electrode number " + std::to_string(numbers[i]) + " is not one of the " +
                         std::to_string(electrodes) + " electrodes");
            }
            for (std::string_view value : row)
                AnyNumber(value);
            survey.Configurations.push_back({numbers[0] - 1, numbers[1] - 1, numbers[2] - 1, numbers[3] - 1});
        }
    }

    // After the data: nothing, or a topography block (its points checked,
    // not kept: the section's surface is the ground's).
    void ReadTopography(int data)
    {
        const std::optional<std::string_view> values = NextValues();
        if (!values)
            return;
        if (Tokens(*values).size() != 1)
            Fail("after the " + std::to_string(data) + " data only a topography count may follow, not " +
                 Quoted(*values));
        const int points = CountOn(*values, "the topography count");
        const TPositionColumns place = PositionColumns("topography");
        for (int p = 0; p < points; ++p)
            Position(place, BlockRow("topography point " + std::to_string(p + 1), place.Columns, 1, 3));
        if (const std::optional<std::string_view> more = NextValues())
            Fail("the file goes on after its topography: " + Quoted(*more));
    }

    int Integer(std::string_view token) const
    {
        int value = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size())
            Fail(Quoted(token) + " is not a whole number");
        return value;
    }

    double Number(std::string_view token) const
    {
        const double value = AnyNumber(token);
        if (!std::isfinite(value))
            Fail(Quoted(token) + " is not a finite number");
        return value;
    }

    // A value of a column the survey does not keep: a number, perhaps a
    // missing one (nan).
    double AnyNumber(std::string_view token) const
    {
        double value = 0.0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size())
            Fail(Quoted(token) + " is not a number");
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
