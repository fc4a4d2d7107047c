#include "section/survey/formats/AbemOhmFile.h"

#include "section/survey/DataFileReading_p.h"
#include "section/survey/formats/InstrumentRows.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace lp {

namespace {

using datafile::Quoted;
using datafile::Tokens;

// The line without its "{...}" comments.
std::string WithoutComments(std::string_view Line)
{
    std::string text;
    int depth = 0;
    for (char c : Line) {
        if (c == '{')
            ++depth;
        else if (c == '}' && depth > 0)
            --depth;
        else if (depth == 0)
            text += c;
    }
    return text;
}

bool IsProtocolFile(std::string_view Line)
{
    const std::vector<std::string_view> tokens = Tokens(Line);
    if (tokens.size() != 1)
        return false;
    const size_t dot = tokens.front().rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return false;
    std::string last(tokens.front().substr(dot + 1));
    std::transform(last.begin(), last.end(), last.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return last == "ORG" || last == "UP" || last == "DWN";
}

class TAbemReader {
public:
    explicit TAbemReader(std::string_view text) : FText(text), FRows(TDataFormat::AbemOhm, {}) {}

    TMeasuredData Read()
    {
        ReadHeader();
        while (const std::optional<std::string> line = Next()) {
            if (!IsProtocolFile(*line))
                FText.Fail("a protocol file's name (such as DIPDIP2.ORG) opening a block is expected here, not " +
                           Quoted(*line));
            ReadBlock();
        }
        if (!FBlocks)
            FText.Fail("the file ends before its first block (a protocol file's name such as DIPDIP2.ORG)");
        return FRows.Data();
    }

private:
    // The next line with anything but comments, trimmed; none at the end.
    std::optional<std::string> Next() { return NextIn(FText); }

    static std::optional<std::string> NextIn(datafile::TTextLines& Text)
    {
        while (const std::optional<std::string_view> line = Text.NextLine()) {
            const std::string uncommented = WithoutComments(*line);
            const std::string text(datafile::Trimmed(uncommented));
            if (!text.empty())
                return text;
        }
        return std::nullopt;
    }

    std::string Required(const std::string& what)
    {
        const std::optional<std::string> line = Next();
        if (!line)
            FText.Fail("the file ends before " + what);
        return *line;
    }

    void ReadHeader()
    {
        // The survey name may be blank: the first line whatever it holds.
        const std::optional<std::string_view> name = FText.NextLine();
        if (!name)
            FText.Fail("the file ends before the survey name");
        std::string lower(WithoutComments(*name));
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower.find("dist=") != std::string::npos)
            FText.Fail("a 3-D survey, not a line: " + Quoted(*name) + " gives the distance of parallel lines");
        // Up to the first block: station, date, spacing, protocol count,
        // the protocol's name and array code.
        while (true) {
            datafile::TTextLines ahead = FText;
            const std::optional<std::string> line = NextIn(ahead);
            if (!line)
                ahead.Fail("the file ends before its first block (a protocol file's name such as DIPDIP2.ORG)");
            if (IsProtocolFile(*line))
                return;
            FText = ahead;
            const std::vector<std::string_view> tokens = Tokens(*line);
            if (tokens.size() >= 2 && tokens[1] == "12" && !datafile::RealNumber(tokens[0]))
                FText.Fail("a 3-D survey, not a line: the protocol " + Quoted(tokens[0]) + " has array code 12 (a grid)");
        }
    }

    void ReadBlock()
    {
        ++FBlocks;
        const std::string headText = Required("the block's row count and value flag");
        const std::vector<std::string_view> head = Tokens(headText);
        const std::string headLine = std::to_string(FText.At());
        if (head.size() != 2)
            FText.Fail("the block's row count and value flag (two whole numbers) are expected here");
        const int count = FText.Integer(head[0]);
        const int flag = FText.Integer(head[1]);
        if (count < 0)
            FText.Fail("the block's row count " + std::to_string(count) + " is below 0");
        if (flag != 0 && flag != 1)
            FText.Fail("the value flag is 1 (resistances) or 0 (apparent resistivities), not " + std::to_string(flag));
        const std::string midText = Required("the block's mid-station coordinate");
        const std::vector<std::string_view> mid = Tokens(midText);
        const double station = FText.Number(mid.front());
        // "2020-03-01 09:31:02 ver. 2.12": the block's data measured then.
        const std::string dateText = Required("the block's date and version");
        const std::vector<std::string_view> date = Tokens(dateText);
        const double time = date.size() >= 2 ? formats::DateTimeSeconds(date[0], date[1]).value_or(std::nan(""))
                                              : std::nan("");
        for (int r = 0; r < count; ++r)
            ReadRow(Required("row " + std::to_string(r + 1) + " of the block of line " + headLine), station, flag == 1,
                    time);
    }

    void ReadRow(const std::string& line, double station, bool resistance, double time)
    {
        const std::vector<std::string_view> tokens = Tokens(line);
        if (tokens.size() < 5 || tokens.size() > 8)
            FText.Fail("a row holds C1 C2 P1 P2, the value, and the variation coefficient and stacks, not " +
                       std::to_string(tokens.size()) + " values");
        formats::TInstrumentRow row;
        row.Line = FText.At();
        for (size_t e = 0; e < 4; ++e) {
            // C1 C2 P1 P2 are A B M N.
            const double position = FText.AnyNumber(tokens[e]);
            if (formats::IsRemoteCoordinate(position))
                continue;
            row.Places[e] = formats::TInstrumentPlace{station + position, 0.0, 0.0};
        }
        const std::optional<double> value =
            formats::IsMissingCell(tokens[4]) ? std::nullopt : std::optional<double>(FText.AnyNumber(tokens[4]));
        for (size_t t = 5; t < tokens.size(); ++t)
            FText.AnyNumber(tokens[t]);
        if (!value || !formats::IsMeasuredValue(*value)) {
            FRows.Skip(row.Line);
            return;
        }
        (resistance ? row.Resistance : row.Resistivity) = *value;
        row.Time = time;
        FRows.Add(row);
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    int FBlocks = 0;
};

} // namespace

bool IsAbemOhm(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    constexpr int headerLines = 12;
    for (int l = 0; l < headerLines; ++l) {
        const std::optional<std::string_view> line = lines.NextLine();
        if (!line)
            return false;
        if (!IsProtocolFile(WithoutComments(*line)))
            continue;
        const std::optional<std::string_view> head = lines.NextLine();
        if (!head)
            return false;
        const std::string headText = WithoutComments(*head);
        const std::vector<std::string_view> tokens = Tokens(headText);
        return tokens.size() == 2 && datafile::WholeNumber(tokens[0]) && datafile::WholeNumber(tokens[1]);
    }
    return false;
}

TMeasuredData ReadAbemOhm(std::string_view Text)
{
    return TAbemReader(Text).Read();
}

} // namespace lp
