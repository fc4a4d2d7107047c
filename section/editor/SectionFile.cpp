#include "section/editor/SectionFile.h"

#include "section/model/Rudirizor2e.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lp {

namespace {

constexpr std::string_view LineEnd = "\r\n";

// --- Texts -----------------------------------------------------------------------

void AppendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The length of the valid UTF-8 multi-byte sequence at Bytes[At], 0 when
// there is none (overlong forms, surrogates and values past U+10FFFF are
// not valid).
size_t Utf8SequenceLength(std::string_view Bytes, size_t At, unsigned& Code)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(Bytes[i]); };
    const unsigned lead = byte(At);
    size_t length = 0;
    unsigned minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, Code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, Code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, Code = lead & 0x07;
    } else {
        return 0;
    }
    if (At + length > Bytes.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const unsigned next = byte(At + i);
        if ((next & 0xC0) != 0x80)
            return 0;
        Code = (Code << 6) | (next & 0x3F);
    }
    if (Code < minimum || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
        return 0;
    return length;
}

// Decodes file bytes; with BlankMarkers a stray LabelBlankByte is a blank.
std::string DecodeText(std::string_view Bytes, bool BlankMarkers)
{
    std::string out;
    out.reserve(Bytes.size());
    for (size_t i = 0; i < Bytes.size();) {
        const auto byte = static_cast<unsigned char>(Bytes[i]);
        unsigned code = 0;
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            ++i;
        } else if (const size_t length = Utf8SequenceLength(Bytes, i, code); length > 0) {
            out.append(Bytes.substr(i, length));
            i += length;
        } else {
            if (BlankMarkers && Bytes[i] == LabelBlankByte)
                out += ' ';
            else
                AppendUtf8(out, byte);
            ++i;
        }
    }
    return out;
}

// The text as ISO 8859-1 bytes; false when a character does not fit.
bool ToLatin1(std::string_view Utf8, std::string& Out)
{
    Out.clear();
    for (size_t i = 0; i < Utf8.size();) {
        const auto byte = static_cast<unsigned char>(Utf8[i]);
        unsigned code = byte;
        size_t length = 1;
        if (byte >= 0x80) {
            length = Utf8SequenceLength(Utf8, i, code);
            if (length == 0 || code > 0xFF)
                return false;
        }
        Out += static_cast<char>(code);
        i += length;
    }
    return true;
}

// One line of the file: line breaks become blanks; with BlankMarkers blanks
// and tabs become LabelBlankByte (the text is then one token).
std::string EncodeText(std::string_view Text, bool BlankMarkers)
{
    std::string plain(Text);
    for (char& c : plain) {
        if (c == '\r' || c == '\n')
            c = ' ';
        if (BlankMarkers && c == '\t')
            c = ' ';
    }
    const auto markBlanks = [&](std::string bytes) {
        if (BlankMarkers)
            for (char& c : bytes)
                if (c == ' ')
                    c = LabelBlankByte;
        return bytes;
    };
    std::string latin1;
    if (ToLatin1(plain, latin1)) {
        std::string candidate = markBlanks(latin1);
        // A single-byte form that would read back differently (it happens to
        // form UTF-8 sequences) is written in UTF-8 instead.
        if (DecodeText(candidate, BlankMarkers) == plain)
            return candidate;
    }
    return markBlanks(plain);
}

// --- Numbers -----------------------------------------------------------------------

bool ParseStrictInteger(std::string_view Token, long long& Value)
{
    if (Token.empty())
        return false;
    const char* first = Token.data();
    const char* last = first + Token.size();
    const auto [end, error] = std::from_chars(first, last, Value);
    return error == std::errc() && end == last;
}

int32_t ParamInteger(std::string_view Token, int Slot)
{
    long long value = 0;
    if (!ParseStrictInteger(Token, value) || value < INT32_MIN || value > INT32_MAX)
        RaiseConvertError("'%s' is not a valid integer value (parameter %d)",
                          {DecodeText(Token, false), ArgText(Slot)});
    return static_cast<int32_t>(value);
}

// Reals of a line's points or values; "*" is the missing value, so the
// values keep their places.
arofdoubleM LineReals(std::string_view Text)
{
    arofdoubleM values;
    for (const std::string& word : TextToStrArray(Text, 0)) {
        double value = 0.0;
        if (word == MissingText)
            values.Add(MissingValue);
        else if (TryTextToReal(word, value))
            values.Add(value);
    }
    return values;
}

// --- Reading ---------------------------------------------------------------------------

// Walks the lines of the block; every failure names the file line.
class TBlockReader {
public:
    TBlockReader(std::vector<std::string_view> Lines, size_t Next) : FLines(std::move(Lines)), FNext(Next) {}

    [[noreturn]] void Fail(size_t LineIndex, std::string_view What) const
    {
        throw ESectionFileError(FormatText("line %d: %s", {ArgText(static_cast<long long>(LineIndex + 1)), What}));
    }

    size_t Remaining() const { return FLines.size() - FNext; }
    size_t LastLine() const { return FCurrent; }

    std::string_view Next(std::string_view What)
    {
        if (FNext >= FLines.size())
            Fail(FLines.size(), FormatText("the file ends before %s", {What}));
        FCurrent = FNext;
        return FLines[FNext++];
    }

    arofdoubleM Numbers(std::string_view What, long long Needed)
    {
        const std::string_view text = Next(What);
        arofdoubleM values = TextToRealArray(text, 0);
        if (values.Length() < Needed)
            Fail(FCurrent, FormatText("%s: %d numbers expected, %d found",
                                      {What, ArgText(Needed), ArgText(values.Length())}));
        for (double value : values)
            if (!std::isfinite(value))
                Fail(FCurrent, FormatText("%s: a number is out of range", {What}));
        return values;
    }

    // A count whose items take at least LinesPerItem lines each.
    int Count(double Value, std::string_view What, size_t LinesPerItem)
    {
        if (!(Value >= 0.0) || Value > static_cast<double>(INT32_MAX) || Value != std::floor(Value))
            Fail(FCurrent, FormatText("%s is not a valid count", {What}));
        const auto count = static_cast<long long>(Value);
        if (static_cast<unsigned long long>(count) * LinesPerItem > Remaining())
            Fail(FCurrent, FormatText("%s (%d) is larger than the data that follows",
                                      {What, ArgText(count)}));
        return static_cast<int>(count);
    }

    int CountLine(std::string_view What, size_t LinesPerItem)
    {
        return Count(Numbers(What, 1)[0], What, LinesPerItem);
    }

private:
    std::vector<std::string_view> FLines;
    size_t FNext = 0;
    size_t FCurrent = 0;
};

int RoundedField(TBlockReader& Reader, double Value, std::string_view What)
{
    const double rounded = std::nearbyint(Value);
    if (!(rounded >= INT32_MIN && rounded <= INT32_MAX))
        Reader.Fail(Reader.LastLine(), FormatText("%s is out of range", {What}));
    return static_cast<int>(rounded);
}

void ReadNodes(TBlockReader& Reader, TSectionModel& Section)
{
    const int count = Reader.CountLine("the node count", 1);
    Section.Nodes.SetLength(count);
    for (Tnode& node : Section.Nodes) {
        const arofdoubleM values = Reader.Numbers("a node line", 5);
        node.x = values[0];
        node.y = values[1];
        node.fixed = RoundedField(Reader, values[2], "the fixed flag") != 0 ? 1 : 0;
        node.sharing = RoundedField(Reader, values[3], "the ring count");
        node.border = RoundedField(Reader, values[4], "the border kind");
        if (node.border < bkNone || node.border > bkSurface)
            Reader.Fail(Reader.LastLine(), "the border kind is not one of 0 to 6");
    }
}

void ReadRing(TBlockReader& Reader, Polygon& Ring, int NodeCount)
{
    const std::string_view text = Reader.Next("a ring line");
    for (const std::string& word : TextToStrArray(text, 0)) {
        double value = 0.0;
        if (!TryTextToReal(word, value))
            continue;
        const int index = RoundedField(Reader, value, "a node index");
        if (index < 0 || index >= NodeCount)
            Reader.Fail(Reader.LastLine(),
                        FormatText("node index %d is outside the node table (%d nodes)",
                                   {ArgText(index), ArgText(NodeCount)}));
        Ring.ring.Add(index);
    }
    if (Ring.ring.Length() < 3)
        Reader.Fail(Reader.LastLine(), "a ring has fewer than three nodes");
}

void ReadBodies(TBlockReader& Reader, TSectionModel& Section)
{
    const int bodies = Reader.CountLine("the body count", 1);
    Section.Model.SetLength(bodies);
    for (SPolygon& body : Section.Model) {
        const int subs = Reader.CountLine("the sub-polygon count", 2);
        body.SetLength(subs);
        for (Polygon& ring : body) {
            const std::string_view params = Reader.Next("a parameter line");
            try {
                ParamsFromText(ring.params, params);
            } catch (const EConvertError& error) {
                Reader.Fail(Reader.LastLine(), error.Message());
            }
            ReadRing(Reader, ring, Section.Nodes.Length());
        }
    }
    if (Section.Model.Empty() || Section.Model[0].Empty())
        Reader.Fail(Reader.LastLine(), "the model has no frame (body 0 without a ring)");
}

void ReadLines(TBlockReader& Reader, TSectionModel& Section)
{
    const std::string_view countText = Reader.Next("the line count");
    const arofstrM words = TextToStrArray(countText, 0);
    long long count = 0;
    if (words.Empty() || !ParseStrictInteger(words[0], count))
        Reader.Fail(Reader.LastLine(), "the line count is not an integer");
    const int lineCount = Reader.Count(static_cast<double>(count), "the line count", 4);
    Section.Lines.SetLength(lineCount);
    for (line& record : Section.Lines) {
        record.points = RealArrayToComplexArray(LineReals(Reader.Next("the points of a line")));
        record.values = LineReals(Reader.Next("the values of a line"));
        record.text = DecodeText(Reader.Next("the text of a line"), false);
        record.appearance = DecodeText(Reader.Next("the appearance of a line"), false);
    }
}

// The block ends with its end marker. A file cut short inside the last
// line's appearance text would otherwise load that text shortened, and the
// next save would lose the rest for good.
void ReadEndMarker(TBlockReader& Reader)
{
    const std::string missing = FormatText("the end marker \"%s\" is missing: the file is cut short or damaged",
                                           {SectionBlockEndMarker});
    if (Reader.Remaining() == 0)
        Reader.Fail(Reader.LastLine() + 1, missing);
    if (Reader.Next("the end marker").find(SectionBlockEndMarker) == std::string_view::npos)
        Reader.Fail(Reader.LastLine(), missing);
}

// What the rings determine is not taken from the file: every ring but the
// host ring is turned to the model's orientation (a ring without area is
// left for the check to name), and the nodes' sharing is recomputed.
void SettleReadModel(TSectionModel& Section)
{
    for (int body = 0; body < Section.Model.Length(); ++body) {
        for (int sub = 0; sub < Section.Model[body].Length(); ++sub) {
            arofintM& ring = Section.Model[body][sub].ring;
            if (!IsHostRing(body, sub) && !RingHasNoArea(ring, Section.Nodes) && RingIsClockwise(ring, Section.Nodes))
                std::reverse(ring.begin(), ring.end());
        }
        UpdateBodySharing(body, Section.Model, Section.Nodes);
    }
}

// A model that breaks the model's rules is refused: every editing operation
// relies on them. The message names the first fault (its ring, body and rule).
void RefuseBrokenModel(const TSectionModel& Section)
{
    const std::vector<std::string> faults = CheckModelInvariants(Section.Model, Section.Nodes, &Section.ModelArea);
    if (faults.empty())
        return;
    std::string message = "the model breaks a rule of section models: " + faults.front();
    if (faults.size() > 1)
        message += FormatText(faults.size() == 2 ? " (and %d more fault)" : " (and %d more faults)",
                              {ArgText(static_cast<long long>(faults.size() - 1))});
    throw ESectionFileError(message);
}

void AppendLine(std::string& Out, std::string_view Text)
{
    Out.append(Text);
    Out.append(LineEnd);
}

void AppendReals(std::string& Out, std::initializer_list<double> Values)
{
    std::string line;
    for (double value : Values) {
        if (!line.empty())
            line += ' ';
        line += FormatSectionReal(value);
    }
    AppendLine(Out, line);
}

} // namespace

// --- Number forms ----------------------------------------------------------------

std::string FormatSectionReal(double Value)
{
    if (!std::isfinite(Value))
        RaiseConvertError("A value that is not a finite number cannot be written");
    if (Value == 0.0)
        Value = 0.0; // no "-0"
    char digits[40];
    std::snprintf(digits, sizeof digits, "%.14E", std::fabs(Value));
    const std::string_view text(digits);
    const size_t mark = text.find('E');
    const int exponent = std::atoi(digits + mark + 1);
    char result[40];
    std::snprintf(result, sizeof result, "%c%.*sE%c%04d", Value < 0 ? '-' : ' ', static_cast<int>(mark), digits,
                  exponent < 0 ? '-' : '+', std::abs(exponent));
    return result;
}

std::string FormatSectionInteger(long long Value)
{
    return std::to_string(Value);
}

std::string FormatLineReal(double Value)
{
    return RealToText(0, true, Value);
}

std::string FormatParamReal(double Value)
{
    return RealToText(2, true, Value);
}

// --- Texts ---------------------------------------------------------------------------

std::string EncodeFileText(std::string_view Text)
{
    return EncodeText(Text, false);
}

std::string DecodeFileText(std::string_view Bytes)
{
    return DecodeText(Bytes, false);
}

// --- The parameter line ------------------------------------------------------------

std::string ParamsToText(const TPolygonParams& Slots)
{
    std::string out;
    for (int slot = 0; slot < ParamSlotCount; ++slot) {
        const ParamValue& value = Slots[slot];
        switch (value.GetKind()) {
        case ParamValue::Kind::Empty:
            out += MissingText;
            break;
        case ParamValue::Kind::Integer:
            out += FormatSectionInteger(value.AsInteger());
            break;
        case ParamValue::Kind::Real:
            out += FormatParamReal(value.AsReal());
            break;
        case ParamValue::Kind::Text: {
            const std::string text = EncodeText(value.AsText(), true);
            out += text.empty() ? std::string(MissingText) : text;
            break;
        }
        }
        out += ' ';
    }
    return out;
}

void ParamsFromText(TPolygonParams& Slots, std::string_view Text)
{
    const arofstrM tokens = TextToStrArray(Text, 0);
    // Convert every token first, so that a bad one changes nothing.
    TPolygonParams result = Slots;
    for (int slot = 0; slot < std::min(tokens.Length(), ParamSlotCount); ++slot) {
        const std::string& token = tokens[slot];
        if (token == MissingText || token.empty())
            continue;
        switch (slot) {
        case psId:
        case psColor:
        case psLabelMode:
            result[slot] = ParamValue(ParamInteger(token, slot));
            break;
        case psBrush:
        case psPen:
        case psGradient:
        case psLabelText:
            result[slot] = ParamValue(DecodeText(token, true));
            break;
        case psResistivity:
        case psPolarizability:
        case psExtra1:
        case psExtra2:
        case psExtra3:
            result[slot] = ParamValue(TextToReal(token, false, 0.0, 0.0));
            break;
        default:
            break;
        }
    }
    Slots = std::move(result);
}

// --- The block -------------------------------------------------------------------------

std::string FormatSectionModelBlock(const TSectionModel& Section)
{
    std::string out;
    AppendLine(out, SectionBlockMarker);
    AppendReals(out, {Section.ReservedPair[0], Section.ReservedPair[1]});
    const TModelArea& area = Section.ModelArea;
    AppendReals(out, {area.left, area.right, area.top, area.bottom});
    AppendLine(out, FormatSectionInteger(Section.HasProfile ? 1 : 0) + ' ' +
                        FormatSectionInteger(Section.Profile.Length()));
    std::string profile;
    for (const complexM& point : Section.Profile)
        profile += FormatSectionReal(point.re) + ' ' + FormatSectionReal(point.im) + ' ';
    AppendLine(out, profile);

    AppendLine(out, FormatSectionInteger(Section.Nodes.Length()));
    for (const Tnode& node : Section.Nodes)
        AppendLine(out, FormatSectionReal(node.x) + ' ' + FormatSectionReal(node.y) + ' ' +
                            FormatSectionInteger(node.fixed != 0 ? 1 : 0) + ' ' + FormatSectionInteger(node.sharing) +
                            ' ' + FormatSectionInteger(node.border));

    AppendLine(out, FormatSectionInteger(Section.Model.Length()));
    for (const SPolygon& body : Section.Model) {
        AppendLine(out, FormatSectionInteger(body.Length()));
        for (const Polygon& ring : body) {
            AppendLine(out, ParamsToText(ring.params));
            std::string indexes;
            for (int32_t node : ring.ring)
                indexes += FormatSectionInteger(node) + ' ';
            AppendLine(out, indexes);
        }
    }

    AppendLine(out, FormatSectionInteger(Section.Lines.Length()));
    for (const line& record : Section.Lines) {
        AppendLine(out, ComplexArrayToText(record.points, "", 0, true));
        AppendLine(out, RealArrayToText(record.values, "", 0, true));
        AppendLine(out, EncodeText(record.text, false));
        AppendLine(out, EncodeText(record.appearance, false));
    }
    AppendLine(out, SectionBlockEndMarker);
    return out;
}

std::vector<std::string_view> SplitFileLines(std::string_view Bytes)
{
    std::vector<std::string_view> result;
    size_t start = 0;
    while (start < Bytes.size()) {
        size_t end = Bytes.find('\n', start);
        const size_t next = end == std::string_view::npos ? Bytes.size() : end + 1;
        if (end == std::string_view::npos)
            end = Bytes.size();
        std::string_view line = Bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        result.push_back(line);
        start = next;
    }
    return result;
}

bool ParseSectionModelBlock(std::string_view FileBytes, TSectionModel& Section)
{
    std::vector<std::string_view> fileLines = SplitFileLines(FileBytes);
    size_t marker = 0;
    while (marker < fileLines.size() && fileLines[marker].find(SectionBlockMarker) == std::string_view::npos)
        ++marker;
    if (marker + 1 >= fileLines.size())
        return false;

    TBlockReader reader(std::move(fileLines), marker + 1);
    TSectionModel result;
    try {
        const arofdoubleM reserved = reader.Numbers("the reserved pair", 2);
        result.ReservedPair[0] = reserved[0];
        result.ReservedPair[1] = reserved[1];
        const arofdoubleM area = reader.Numbers("the model area", 4);
        result.ModelArea = TModelArea{area[0], area[2], area[1], area[3]};
        const arofdoubleM profileHead = reader.Numbers("the profile settings", 2);
        result.HasProfile = RoundedField(reader, profileHead[0], "the profile flag") != 0;
        const int points = reader.Count(profileHead[1], "the profile length", 0);
        const arofdoubleM profile = reader.Numbers("the profile", 2LL * points);
        for (int i = 0; i < points; ++i)
            result.Profile.Add(complexM{profile[2 * i], profile[2 * i + 1]});
        ReadNodes(reader, result);
        ReadBodies(reader, result);
        ReadLines(reader, result);
        ReadEndMarker(reader);
    } catch (const ESectionFileError&) {
        throw;
    } catch (const Exception& error) {
        reader.Fail(reader.LastLine(), error.Message());
    }
    SettleReadModel(result);
    RefuseBrokenModel(result);
    Section = std::move(result);
    return true;
}

} // namespace lp
