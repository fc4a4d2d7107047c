#include "section/survey/ElectrodePositions.h"

#include "section/survey/DataCleaning.h"
#include "section/survey/DataFileReading_p.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

namespace lp {

namespace {

using datafile::Quoted;

// The cells of a line: split at commas, semicolons or tabs where it has
// any (a header's "X (m)" one cell), else at blanks.
std::vector<std::string_view> Cells(std::string_view Line)
{
    if (Line.find_first_of(",;\t") == std::string_view::npos)
        return datafile::Tokens(Line);
    std::vector<std::string_view> cells;
    for (size_t start = 0;;) {
        const size_t end = Line.find_first_of(",;\t", start);
        cells.push_back(datafile::Trimmed(Line.substr(start, end - start)));
        if (end == std::string_view::npos)
            return cells;
        start = end + 1;
    }
}

[[noreturn]] void FailAt(int Line, const std::string& What)
{
    throw EDataFileError("Line " + std::to_string(Line) + ": " + What + ".");
}

std::string Lowercase(std::string_view Text)
{
    std::string lower(Text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// A header's cell as the column it names ("" when it names none): the
// name before a unit in brackets or after "/", any case.
std::string ColumnOf(std::string_view Cell)
{
    const std::string name(datafile::Trimmed(Cell.substr(0, Cell.find_first_of("([/"))));
    static const std::map<std::string, std::string> names = {
        {"number", "number"}, {"electrode", "number"}, {"label", "number"}, {"id", "number"}, {"n", "number"},
        {"no", "number"},     {"nr", "number"},        {"x", "x"},          {"easting", "x"}, {"y", "y"},
        {"northing", "y"},    {"z", "z"},              {"elevation", "z"},  {"elev", "z"},    {"height", "z"},
        {"buried", "buried"}};
    const auto found = names.find(Lowercase(name));
    return found == names.end() ? std::string() : found->second;
}

bool IsFlag(double Value)
{
    return Value == 0.0 || Value == 1.0;
}

// The number a cell gives an electrode: a whole number, or the one a label
// ends in ("E12"); none otherwise.
std::optional<int> ElectrodeNumberOf(std::string_view Cell)
{
    size_t digits = Cell.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(Cell[digits - 1])))
        --digits;
    if (digits == Cell.size())
        return std::nullopt;
    const std::string_view prefix = Cell.substr(0, digits);
    if (!std::all_of(prefix.begin(), prefix.end(), [](char c) {
            return std::isalpha(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '#';
        }))
        return std::nullopt;
    return datafile::WholeNumber(Cell.substr(digits));
}

struct TRow {
    int Line = 0;
    std::vector<std::string_view> Cells;
};

// Whether the first column numbers the electrodes: labels, or 1, 2, 3, ...
bool NumbersFirst(const std::vector<TRow>& Rows)
{
    for (size_t r = 0; r < Rows.size(); ++r) {
        const std::string_view cell = Rows[r].Cells.front();
        if (datafile::RealNumber(cell)) {
            if (datafile::WholeNumber(cell) != std::optional<int>(static_cast<int>(r) + 1))
                return false;
        } else if (!ElectrodeNumberOf(cell)) {
            return false;
        }
    }
    return true;
}

bool FlagsLast(const std::vector<TRow>& Rows)
{
    return std::all_of(Rows.begin(), Rows.end(), [](const TRow& row) {
        const std::optional<double> value = datafile::RealNumber(row.Cells.back());
        return value && IsFlag(*value);
    });
}

// The columns of a file without a header, told from its values.
std::vector<std::string> ColumnsByCount(const std::vector<TRow>& Rows)
{
    const size_t count = Rows.front().Cells.size();
    switch (count) {
    case 2:
        return {"x", "z"};
    case 3:
        if (FlagsLast(Rows))
            return {"x", "z", "buried"};
        return NumbersFirst(Rows) ? std::vector<std::string>{"number", "x", "z"} : std::vector<std::string>{"x", "y", "z"};
    case 4:
        if (FlagsLast(Rows))
            return NumbersFirst(Rows) ? std::vector<std::string>{"number", "x", "z", "buried"}
                                      : std::vector<std::string>{"x", "y", "z", "buried"};
        return {"number", "x", "y", "z"};
    case 5:
        return {"number", "x", "y", "z", "buried"};
    default:
        FailAt(Rows.front().Line, std::to_string(count) + (count == 1 ? " value" : " values") +
                                      " where an electrode's position needs 2 to 5: [number,] x, [y,] z, [buried]");
    }
}

std::vector<std::string> HeaderColumns(const TRow& Header)
{
    std::vector<std::string> columns;
    for (std::string_view cell : Header.Cells) {
        const std::string column = ColumnOf(cell);
        if (column.empty())
            FailAt(Header.Line, Quoted(cell) + " is no column this reader knows (number or label, x, y, z, buried)");
        if (std::find(columns.begin(), columns.end(), column) != columns.end())
            FailAt(Header.Line, "the columns name " + column + " twice");
        columns.push_back(column);
    }
    for (const char* needed : {"x", "z"})
        if (std::find(columns.begin(), columns.end(), needed) == columns.end())
            FailAt(Header.Line, std::string("the columns have no ") + needed);
    return columns;
}

// A line is a header when a cell past the first is not a number (a data
// line's x, y, z and flag are).
bool IsHeader(const TRow& Row)
{
    return std::any_of(Row.Cells.begin() + 1, Row.Cells.end(),
                       [](std::string_view cell) { return !datafile::RealNumber(cell); }) ||
           (Row.Cells.size() == 1 && !datafile::RealNumber(Row.Cells.front()));
}

TElectrodePosition PositionOf(const TRow& Row, const std::vector<std::string>& Columns, int Order)
{
    TElectrodePosition position;
    position.Line = Row.Line;
    position.Number = Order;
    for (size_t c = 0; c < Columns.size(); ++c) {
        const std::string_view cell = Row.Cells[c];
        if (Columns[c] == "number") {
            const std::optional<int> number = ElectrodeNumberOf(cell);
            if (!number || *number < 1)
                FailAt(Row.Line, Quoted(cell) + " names no electrode number (a whole number from 1, or a label "
                                                "ending in one)");
            position.Number = *number;
            continue;
        }
        const std::optional<double> value = datafile::RealNumber(cell);
        if (!value || !std::isfinite(*value))
            FailAt(Row.Line, "the " + Columns[c] + " " + Quoted(cell) + " is not a finite number");
        if (Columns[c] == "x")
            position.x = *value;
        else if (Columns[c] == "y")
            position.y = *value;
        else if (Columns[c] == "z")
            position.z = *value;
        else if (!IsFlag(*value))
            FailAt(Row.Line, "buried is 0 or 1, not " + Quoted(cell));
        else
            position.Buried = *value == 1.0;
    }
    return position;
}

} // namespace

std::string TElectrodePositions::ColumnText() const
{
    std::string text;
    for (const std::string& column : Columns)
        text += (text.empty() ? "" : ", ") + column;
    return text;
}

TElectrodePositions ReadElectrodePositions(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    std::vector<TRow> rows;
    std::optional<TRow> header;
    while (const std::optional<std::string_view> line = lines.NextLine()) {
        const bool comment = line->starts_with('#');
        const std::string_view values = datafile::Trimmed(comment ? line->substr(1) : line->substr(0, line->find('#')));
        if (values.empty())
            continue;
        TRow row{lines.At(), Cells(values)};
        const bool first = rows.empty() && !header;
        // A header may stand behind "#" when it names columns only.
        if (comment) {
            if (first && std::all_of(row.Cells.begin(), row.Cells.end(),
                                     [](std::string_view cell) { return !ColumnOf(cell).empty(); }))
                header = row;
            continue;
        }
        if (first && IsHeader(row)) {
            header = row;
            continue;
        }
        const TRow& model = rows.empty() ? (header ? *header : row) : rows.front();
        if (row.Cells.size() != model.Cells.size())
            FailAt(row.Line, std::to_string(row.Cells.size()) + " values where line " + std::to_string(model.Line) +
                                 " has " + std::to_string(model.Cells.size()));
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        FailAt(lines.At(), "the file places no electrode");
    TElectrodePositions read;
    read.Columns = header ? HeaderColumns(*header) : ColumnsByCount(rows);
    const auto has = [&](const char* column) {
        return std::find(read.Columns.begin(), read.Columns.end(), column) != read.Columns.end();
    };
    read.HasY = has("y");
    read.HasBuried = has("buried");
    std::map<int, int> lineOf;
    for (size_t r = 0; r < rows.size(); ++r) {
        TElectrodePosition position = PositionOf(rows[r], read.Columns, static_cast<int>(r) + 1);
        if (const auto [at, added] = lineOf.emplace(position.Number, position.Line); !added)
            FailAt(position.Line, "electrode " + std::to_string(position.Number) + " is placed twice (line " +
                                      std::to_string(at->second) + " places it too)");
        read.Positions.push_back(position);
    }
    return read;
}

std::vector<int> NominalElectrodeNumbers(const TMeasuredData& Data)
{
    std::vector<size_t> line;
    for (size_t e = 0; e < Data.Electrodes.size(); ++e)
        if (Data.Electrodes[e].y == 0.0)
            line.push_back(e);
    std::stable_sort(line.begin(), line.end(),
                     [&](size_t a, size_t b) { return Data.Electrodes[a].x < Data.Electrodes[b].x; });
    std::vector<double> xs;
    for (size_t e : line)
        xs.push_back(Data.Electrodes[e].x);
    for (size_t i = 1; i < xs.size(); ++i)
        if (xs[i] == xs[i - 1])
            throw EDataFileError("Two of the data's electrodes stand at x = " + ReadableNumber(xs[i], 6) +
                                 ": electrodes placed by a positions file stand on a line at nominal places, one "
                                 "at each.");
    std::vector<int> numbers(Data.Electrodes.size(), 0);
    // The unit spacing: the smallest gap (a cable's unused electrodes
    // leave wider ones).
    double gap = 0.0;
    for (size_t i = 1; i < xs.size(); ++i)
        gap = i == 1 ? xs[1] - xs[0] : std::min(gap, xs[i] - xs[i - 1]);
    bool regular = gap > 0.0;
    for (size_t i = 0; regular && i < xs.size(); ++i) {
        const double steps = (xs[i] - xs.front()) / gap;
        regular = std::fabs(steps - std::round(steps)) <= 0.01 && steps < std::numeric_limits<int>::max() / 2;
    }
    for (size_t i = 0; i < line.size(); ++i)
        numbers[line[i]] = regular ? static_cast<int>(std::lround((xs[i] - xs.front()) / gap)) + 1 : static_cast<int>(i) + 1;
    return numbers;
}

namespace {

// The elevation of the surface at x: between the points linear, level
// beyond the ends (Points sorted by x, at least one).
double SurfaceAt(const std::vector<TElectrode>& Points, double x)
{
    const auto after = std::lower_bound(Points.begin(), Points.end(), x,
                                        [](const TElectrode& p, double at) { return p.x < at; });
    if (after == Points.begin())
        return Points.front().z;
    if (after == Points.end())
        return Points.back().z;
    const TElectrode& a = *(after - 1);
    const TElectrode& b = *after;
    return b.x > a.x ? a.z + (b.z - a.z) * (x - a.x) / (b.x - a.x) : a.z;
}

// The data's line using an electrode first, for a message.
std::string FirstUse(const TMeasuredData& Data, int Electrode)
{
    for (size_t d = 0; d < Data.Size(); ++d) {
        const TConfiguration& c = Data.Configurations[d];
        if ((c.a == Electrode || c.b == Electrode || c.m == Electrode || c.n == Electrode) && d < Data.Lines.size())
            return " (used first on the data's line " + std::to_string(Data.Lines[d]) + ")";
    }
    return {};
}

} // namespace

TElectrodePositionsUse UseElectrodePositions(TMeasuredData& Data, const TElectrodePositions& Positions)
{
    const std::vector<int> numbers = NominalElectrodeNumbers(Data);
    std::map<int, size_t> byNumber;
    for (size_t p = 0; p < Positions.Positions.size(); ++p)
        byNumber[Positions.Positions[p].Number] = p;
    const std::vector<int> used = UsedElectrodes(Data.Survey());
    for (int e : used) {
        const int number = numbers.at(static_cast<size_t>(e));
        if (number > 0 && !byNumber.contains(number))
            throw EDataFileError("The positions file places no electrode " + std::to_string(number) + " (at x = " +
                                 ReadableNumber(Data.Electrodes[static_cast<size_t>(e)].x, 6) + " in the data" +
                                 FirstUse(Data, e) + "): it places " + std::to_string(Positions.Positions.size()) +
                                 (Positions.Positions.size() == 1 ? " electrode." : " electrodes."));
    }
    // Distances along the line, from the map when the file gives y.
    TElectrodePositionsUse use;
    std::vector<double> along;
    if (Positions.HasY) {
        std::vector<TMapPoint> map;
        for (const TElectrodePosition& p : Positions.Positions) {
            map.push_back({p.x, p.y});
            if (!OnAMap(map.back()))
                FailAt(p.Line, "electrode " + std::to_string(p.Number) + " stands beyond any map (x or y beyond 1e12 m "
                                                                         "in size)");
        }
        const TMapLine line(std::move(map));
        along = line.Distances();
        if (const std::optional<size_t> bend = line.Bend()) {
            const TElectrodePosition& p = Positions.Positions[*bend];
            use.Warnings.push_back(BendWarning("electrode " + std::to_string(p.Number) + " (line " +
                                                   std::to_string(p.Line) + " of the positions file)",
                                               line.BendOffset()));
        }
    } else {
        for (const TElectrodePosition& p : Positions.Positions)
            along.push_back(p.x);
    }
    for (size_t p = 0; p < along.size(); ++p)
        if (!std::isfinite(along[p]))
            FailAt(Positions.Positions[p].Line, "electrode " + std::to_string(Positions.Positions[p].Number) +
                                                    " stands at no finite distance along the line");
    // The surface over buried electrodes: the others'.
    std::vector<TElectrode> surface;
    if (Positions.HasBuried) {
        for (size_t p = 0; p < Positions.Positions.size(); ++p)
            if (!Positions.Positions[p].Buried)
                surface.push_back({along[p], Positions.Positions[p].z});
        if (surface.empty())
            throw EDataFileError("The positions file marks every electrode buried: the ground's surface above them "
                                 "is not known (mark those on the surface 0).");
        std::stable_sort(surface.begin(), surface.end(), [](const TElectrode& a, const TElectrode& b) { return a.x < b.x; });
    }
    TMeasuredData placed = Data;
    const TSurvey before = Data.Survey();
    for (size_t e = 0; e < placed.Electrodes.size(); ++e) {
        const auto found = byNumber.find(numbers[e]);
        if (numbers[e] == 0 || found == byNumber.end())
            continue;
        const TElectrodePosition& p = Positions.Positions[found->second];
        TElectrode& electrode = placed.Electrodes[e];
        electrode.x = along[found->second];
        electrode.z = p.z;
        electrode.Depth = 0.0;
        electrode.Map = Positions.HasY ? std::optional<TMapPoint>(TMapPoint{p.x, p.y}) : std::nullopt;
        ++use.Placed;
        if (!p.Buried)
            continue;
        const double depth = SurfaceAt(surface, electrode.x) - p.z;
        if (depth > 0.0) {
            electrode.Depth = depth;
            ++use.Buried;
        } else {
            use.Warnings.push_back("Electrode " + std::to_string(p.Number) + " (line " + std::to_string(p.Line) +
                                   ") is marked buried but stands at or above the surface the others give there (" +
                                   ReadableNumber(SurfaceAt(surface, electrode.x), 6) + " m): it stands on it.");
        }
    }
    placed.Topography = surface;
    placed.HasElevations = Positions.HasBuried || std::any_of(placed.Electrodes.begin(), placed.Electrodes.end(),
                                                                [](const TElectrode& e) { return e.z != 0.0; });
    if (!Positions.HasBuried && placed.HasElevations)
        SetEnvelopeDepths(placed.Electrodes);
    // Each datum's resistance stays; its k and ρa follow the new places.
    const TSurvey after = placed.Survey();
    if (placed.Resistances.empty())
        placed.Resistances.assign(placed.Size(), std::numeric_limits<double>::quiet_NaN());
    placed.GeometricFactors.resize(placed.Size(), std::numeric_limits<double>::quiet_NaN());
    // Skipped as a reader skips them: measuring nothing, or a ρa beyond
    // what a misfit counts.
    std::vector<bool> nothing(placed.Size(), false);
    int infinite = 0, beyond = 0;
    for (size_t d = 0; d < placed.Size(); ++d) {
        const TConfiguration& c = placed.Configurations[d];
        double resistance = placed.Resistances[d];
        if (!std::isfinite(resistance)) {
            const double given = placed.GeometricFactors[d];
            resistance = placed.Resistivities[d] / (std::isfinite(given) ? given : FlatGeometricFactor(before, c));
        }
        const double k = FlatGeometricFactor(after, c);
        const double rho = k * resistance;
        const bool measures = std::isfinite(k);
        const bool counted = std::isfinite(rho) && std::fabs(rho) <= MaxResistivity && (rho <= 0.0 || rho >= MinResistivity);
        nothing[d] = !measures || !counted;
        infinite += !measures;
        beyond += measures && !counted;
        placed.Resistances[d] = resistance;
        placed.GeometricFactors[d] = k;
        placed.Resistivities[d] = nothing[d] ? 0.0 : rho;
    }
    use.Skipped = static_cast<size_t>(infinite + beyond);
    if (use.Skipped > 0) {
        placed = KeepData(placed, nothing);
        placed.Skipped.NoGeometricFactor += infinite;
        placed.Skipped.BadResistivity += beyond;
    }
    use.Turned = TurnMagnitudes(placed);
    Data = std::move(placed);
    return use;
}

std::string ElectrodePositionsText(const TElectrodePositionsUse& Use, const TElectrodePositions& Positions)
{
    std::string text = std::to_string(Use.Placed) + (Use.Placed == 1 ? " electrode" : " electrodes") +
                       " placed (columns " + Positions.ColumnText();
    if (Positions.HasBuried)
        text += "; " + std::to_string(Use.Buried) + " buried";
    text += ")";
    if (Use.Skipped > 0)
        text += ", " + std::to_string(Use.Skipped) + (Use.Skipped == 1 ? " datum" : " data") +
                " measuring nothing there skipped";
    if (Use.Turned > 0)
        text += ", " + std::to_string(Use.Turned) + " data of magnitudes turned to the sign of their new geometric factor";
    return text;
}

} // namespace lp
