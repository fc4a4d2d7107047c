#include "section/survey/DataFileReading_p.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace lp::datafile {

namespace {

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

bool IsBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace

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
    while (!Text.empty() && IsBlank(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && IsBlank(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

std::vector<std::string_view> Tokens(std::string_view Text, std::string_view Separators)
{
    const auto separator = [&](char c) { return IsBlank(c) || Separators.find(c) != std::string_view::npos; };
    std::vector<std::string_view> tokens;
    size_t i = 0;
    while (i < Text.size()) {
        while (i < Text.size() && separator(Text[i]))
            ++i;
        size_t j = i;
        while (j < Text.size() && !separator(Text[j]))
            ++j;
        if (j > i)
            tokens.push_back(Text.substr(i, j - i));
        i = j;
    }
    return tokens;
}

namespace {

template <typename TNumber>
std::optional<TNumber> WholeToken(std::string_view Token)
{
    TNumber value{};
    const auto [end, error] = std::from_chars(Token.data(), Token.data() + Token.size(), value);
    if (error != std::errc() || end != Token.data() + Token.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> WholeNumber(std::string_view Token)
{
    return WholeToken<int>(Token);
}

std::optional<double> RealNumber(std::string_view Token)
{
    return WholeToken<double>(Token);
}

// --- The file's lines -------------------------------------------------------------

TTextLines::TTextLines(std::string_view Text)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (Text.substr(0, byteOrderMark.size()) == byteOrderMark)
        Text.remove_prefix(byteOrderMark.size());
    // Lines end in LF or CR LF; a file without any LF ends its lines in CR
    // alone, as old desktop systems wrote them.
    const char lineEnd = Text.find('\n') == std::string_view::npos && Text.find('\r') != std::string_view::npos ? '\r' : '\n';
    size_t start = 0;
    while (start <= Text.size()) {
        size_t end = Text.find(lineEnd, start);
        if (end == std::string_view::npos)
            end = Text.size();
        FLines.push_back(Text.substr(start, end - start));
        start = end + 1;
    }
    if (FLines.size() > 1 && FLines.back().empty())
        FLines.pop_back(); // the last line's end
}

std::optional<std::string_view> TTextLines::NextValues(bool HashComments)
{
    while (FNext < FLines.size()) {
        const std::string_view line = FLines[FNext++];
        const std::string_view values = Trimmed(HashComments ? line.substr(0, line.find('#')) : line);
        FAt = static_cast<int>(FNext);
        if (!values.empty())
            return values;
    }
    FAt = static_cast<int>(std::max<size_t>(FLines.size(), 1));
    return std::nullopt;
}

std::optional<std::string_view> TTextLines::NextLine()
{
    if (FNext >= FLines.size()) {
        FAt = static_cast<int>(std::max<size_t>(FLines.size(), 1));
        return std::nullopt;
    }
    FAt = static_cast<int>(FNext + 1);
    return Trimmed(FLines[FNext++]);
}

void TTextLines::Fail(const std::string& What) const
{
    FailAt(FAt, What);
}

void TTextLines::FailAt(int Line, const std::string& What) const
{
    throw EDataFileError("Line " + std::to_string(Line) + ": " + What + ".");
}

int TTextLines::Integer(std::string_view Token) const
{
    const std::optional<int> value = WholeNumber(Token);
    if (!value)
        Fail(Quoted(Token) + " is not a whole number");
    return *value;
}

double TTextLines::Number(std::string_view Token) const
{
    const double value = AnyNumber(Token);
    if (!std::isfinite(value))
        Fail(Quoted(Token) + " is not a finite number");
    return value;
}

double TTextLines::AnyNumber(std::string_view Token) const
{
    const std::optional<double> value = RealNumber(Token);
    if (!value)
        Fail(Quoted(Token) + " is not a number");
    return *value;
}

// --- The unified data format ------------------------------------------------------

namespace {

bool IsColumnLine(std::string_view Line)
{
    const std::string_view text = Trimmed(Line);
    return !text.empty() && text.front() == '#';
}

std::string Lowercase(std::string_view Text)
{
    std::string lower(Text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// A column line's columns, lowercase; a unit after "/" ("ip/%", "err/%") is
// not part of the name.
std::vector<TUnifiedColumn> ColumnNames(std::string_view Line)
{
    const std::string_view text = Trimmed(Line);
    std::vector<TUnifiedColumn> columns;
    for (std::string_view token : Tokens(text.substr(1))) {
        const size_t slash = token.find('/');
        columns.push_back({Lowercase(token.substr(0, slash)),
                           slash == std::string_view::npos ? std::string() : Lowercase(token.substr(slash + 1))});
    }
    return columns;
}

// The columns of a block: named by the column line right after its count
// line (the only place pyGIMLi looks for them), else by the values' places.
struct TColumns {
    std::vector<TUnifiedColumn> Names; // empty without a column line
    int Line = 0;                      // of the column line

    std::optional<size_t> Find(std::string_view Name) const
    {
        const auto found = std::find_if(Names.begin(), Names.end(), [&](const TUnifiedColumn& c) { return c.Name == Name; });
        return found == Names.end() ? std::nullopt : std::optional<size_t>(static_cast<size_t>(found - Names.begin()));
    }
    size_t Count(std::string_view Name) const
    {
        return static_cast<size_t>(
            std::count_if(Names.begin(), Names.end(), [&](const TUnifiedColumn& c) { return c.Name == Name; }));
    }
};

class TUnifiedReader {
public:
    explicit TUnifiedReader(std::string_view text) : FText(text) {}

    TUnifiedTable Read()
    {
        TUnifiedTable table;
        const int electrodes = Count("the electrode count");
        ReadElectrodes(electrodes, table);
        const int data = Count("the datum count");
        ReadData(data, electrodes, table);
        ReadTopography(data, table);
        return table;
    }

private:
    std::vector<std::string_view> Row(const std::string& what)
    {
        const std::optional<std::string_view> values = FText.NextValues();
        if (!values)
            FText.Fail("the file ends before " + what);
        return Tokens(*values);
    }

    // A count line holds one whole number and nothing else.
    int Count(const std::string& what)
    {
        const std::optional<std::string_view> values = FText.NextValues();
        if (!values)
            FText.Fail("the file ends before " + what);
        return CountOn(*values, what);
    }

    int CountOn(std::string_view values, const std::string& what) const
    {
        if (Tokens(values).size() != 1)
            FText.Fail(what + " is one whole number alone on its line, not " + Quoted(values));
        const int count = FText.Integer(values);
        if (count < 0)
            FText.Fail(what + " " + std::to_string(count) + " is below 0");
        return count;
    }

    // The column line right after the count line just read (blank lines
    // between them allowed), or none.
    TColumns Columns() const
    {
        const std::vector<std::string_view>& lines = FText.Lines();
        for (size_t look = FText.Next(); look < lines.size(); ++look) {
            if (Trimmed(lines[look]).empty())
                continue;
            if (!IsColumnLine(lines[look]))
                break;
            TColumns columns{ColumnNames(lines[look]), static_cast<int>(look + 1)};
            if (columns.Names.empty()) // a lone "#": a comment
                break;
            return columns;
        }
        return {};
    }

    // The column of the first of the names the block has; refused when it
    // has none of them or one twice.
    size_t Required(const TColumns& columns, std::initializer_list<std::string_view> names, const char* block) const
    {
        for (std::string_view name : names) {
            const std::optional<size_t> place = columns.Find(name);
            if (!place)
                continue;
            if (columns.Count(name) > 1)
                FText.FailAt(columns.Line, std::string("the ") + block + " columns name \"" + std::string(name) +
                                               "\" twice");
            return *place;
        }
        FText.FailAt(columns.Line,
                     std::string("the ") + block + " columns have no \"" + std::string(*names.begin()) + "\"");
    }

    // A row of a block with a column line has one value per column; one
    // without has from to to values (0: no most).
    std::vector<std::string_view> BlockRow(const std::string& what, const TColumns& columns, size_t from, size_t to)
    {
        std::vector<std::string_view> row = Row(what);
        if (!columns.Names.empty()) {
            const size_t named = columns.Names.size();
            if (row.size() < named)
                FText.Fail(what + " has " + std::to_string(row.size()) + " values where " + std::to_string(named) +
                           " are needed");
            if (row.size() > named)
                FText.Fail(what + " has " + std::to_string(row.size()) + " values where line " +
                           std::to_string(columns.Line) + " names " + std::to_string(named));
        } else if (row.size() < from || (to != 0 && row.size() > to)) {
            FText.Fail(what + " has " + std::to_string(row.size()) + " values where " + std::to_string(from) +
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

    TPositionColumns PositionColumns(const char* block) const
    {
        TPositionColumns place;
        place.Columns = Columns();
        if (place.Columns.Names.empty())
            return place;
        place.X = Required(place.Columns, {"x"}, block);
        place.Z = place.Columns.Find("z");
        place.Y = place.Columns.Find("y");
        if (!place.Z)
            std::swap(place.Z, place.Y);
        return place;
    }

    TElectrode Position(const TPositionColumns& place, const std::vector<std::string_view>& row) const
    {
        for (std::string_view value : row)
            FText.Number(value);
        if (place.Columns.Names.empty()) // x, x z or x y z
            return {FText.Number(row.front()), row.size() > 1 ? FText.Number(row.back()) : 0.0};
        return {FText.Number(row[place.X]), place.Z ? FText.Number(row[*place.Z]) : 0.0};
    }

    // The points of a block of positions, and their map places when the
    // block gives them. A 2-D line written as "x y z" may hold its
    // elevation in y with z 0 everywhere (pyGIMLi writes it so): then y is
    // the elevation. With some z not 0, x and y are a map's (east and
    // north) and z the elevation: the caller places the points along the
    // line (MapLine.h).
    std::vector<TElectrode> Positions(int count, const char* block, const std::string& point,
                                      std::vector<TMapPoint>& map, std::vector<int>* lines = nullptr)
    {
        const TPositionColumns place = PositionColumns(block);
        std::vector<TElectrode> positions;
        std::vector<double> ys;
        bool zeroZ = true;
        for (int e = 0; e < count; ++e) {
            const std::vector<std::string_view> row =
                BlockRow(point + " " + std::to_string(e + 1), place.Columns, 1, MaxElectrodeValues);
            positions.push_back(Position(place, row));
            if (lines)
                lines->push_back(FText.At());
            zeroZ = zeroZ && positions.back().z == 0.0;
            if (place.Y)
                ys.push_back(FText.Number(row[*place.Y]));
            else if (place.Columns.Names.empty() && row.size() == 3)
                ys.push_back(FText.Number(row[1]));
        }
        map.clear();
        if (ys.size() != positions.size() || positions.empty())
            return positions;
        for (size_t e = 0; e < ys.size(); ++e)
            if (zeroZ)
                positions[e].z = ys[e];
            else
                map.push_back({positions[e].x, ys[e]});
        return positions;
    }

    void ReadElectrodes(int electrodes, TUnifiedTable& table)
    {
        std::vector<TMapPoint> map;
        table.Electrodes = Positions(electrodes, "electrode", "electrode", map, &table.ElectrodeLines);
        if (map.empty())
            return;
        for (size_t e = 0; e < map.size(); ++e)
            if (!OnAMap(map[e]))
                FText.FailAt(table.ElectrodeLines.at(e), "electrode " + std::to_string(e + 1) + " stands beyond " +
                                                             "any map (x or y beyond 1e12 m in size)");
        FLine.emplace(map);
        for (size_t e = 0; e < map.size(); ++e) {
            table.Electrodes[e].x = FLine->Distances()[e];
            table.Electrodes[e].Map = map[e];
        }
        if (const std::optional<size_t> bend = FLine->Bend())
            table.Warnings.push_back(BendWarning("electrode " + std::to_string(*bend + 1) + " (line " +
                                                     std::to_string(table.ElectrodeLines.at(*bend)) + ")",
                                                 FLine->BendOffset()));
    }

    void ReadData(int data, int electrodes, TUnifiedTable& table)
    {
        const TColumns columns = Columns();
        size_t places[4] = {0, 1, 2, 3};
        if (!columns.Names.empty()) {
            places[0] = Required(columns, {"a", "c1"}, "datum");
            places[1] = Required(columns, {"b", "c2"}, "datum");
            places[2] = Required(columns, {"m", "p1"}, "datum");
            places[3] = Required(columns, {"n", "p2"}, "datum");
        }
        table.Columns = columns.Names;
        table.ColumnLine = columns.Line;
        for (int d = 0; d < data; ++d) {
            const std::vector<std::string_view> row = BlockRow("datum " + std::to_string(d + 1), columns, 4, 0);
            TUnifiedRow read;
            read.Line = FText.At();
            for (size_t i = 0; i < 4; ++i) {
                read.Electrodes[i] = FText.Integer(row[places[i]]);
                if (read.Electrodes[i] < 0 || read.Electrodes[i] > electrodes)
                    FText.Fail("electrode number " + std::to_string(read.Electrodes[i]) + " is not one of the " +
                               std::to_string(electrodes) + " electrodes");
            }
            for (std::string_view value : row)
                read.Values.push_back(FText.AnyNumber(value));
            table.Rows.push_back(std::move(read));
        }
    }

    // After the data: nothing, or a topography block.
    void ReadTopography(int data, TUnifiedTable& table)
    {
        const std::optional<std::string_view> values = FText.NextValues();
        if (!values)
            return;
        if (Tokens(*values).size() != 1)
            FText.Fail("after the " + std::to_string(data) + " data only a topography count may follow, not " +
                       Quoted(*values));
        const int points = CountOn(*values, "the topography count");
        std::vector<TMapPoint> map;
        table.Topography = Positions(points, "topography", "topography point", map);
        // Points on a map stand along the electrodes' line where they are
        // on one too (else their x is taken as it is).
        if (FLine)
            for (size_t p = 0; p < map.size(); ++p)
                table.Topography[p].x = FLine->DistanceOf(map[p]);
        if (const std::optional<std::string_view> more = FText.NextValues())
            FText.Fail("the file goes on after its topography: " + Quoted(*more));
    }

    TTextLines FText;
    std::optional<TMapLine> FLine; // the electrodes' line when they stand on a map
};

} // namespace

TUnifiedTable ReadUnifiedTable(std::string_view Text)
{
    return TUnifiedReader(Text).Read();
}

} // namespace lp::datafile
