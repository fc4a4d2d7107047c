#include "section/editor/SectionFile.h"

#include "section/editor/BodyParameters.h"
#include "section/model/NumberArrays.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

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

// The text of a token for a message (file bytes to UTF-8).
std::string TokenText(std::string_view Token)
{
    return DecodeText(Token, false);
}

// Whether a save gives the number of Token back: a plain decimal ("-12.5",
// the first comma as its point) with at most MaxDecimals decimals and 15
// significant digits, which the short forms of lines and parameters (at
// least MaxDecimals decimals, 15 digits) write as they read it.
bool KeptByShortForm(std::string_view Token, int MaxDecimals)
{
    size_t at = !Token.empty() && Token[0] == '-' ? 1 : 0;
    int significant = 0;
    int decimals = -1; // -1 before the point
    bool digits = false;
    for (; at < Token.size(); ++at) {
        const char c = Token[at];
        if (c >= '0' && c <= '9') {
            digits = true;
            significant += significant > 0 || c != '0' ? 1 : 0;
            decimals += decimals >= 0 ? 1 : 0;
        } else if ((c == '.' || c == ',') && decimals < 0) {
            decimals = 0;
        } else {
            return false;
        }
    }
    return digits && significant <= 15 && decimals <= MaxDecimals;
}

// The number as a save writes it and reads it back: a number more precise
// than its short form keeps is taken as that form keeps it, so that what
// opens is what a save keeps.
double AsShortFormKeepsIt(std::string_view Token, double Value, int MaxDecimals, std::string (*Form)(double))
{
    return KeptByShortForm(Token, MaxDecimals) ? Value : TextToReal(Form(Value), false, 0.0, 0.0);
}

// Reads the reals of a line into Values (cleared first; its capacity is
// kept). Words that are no number are passed over, as they always were; a
// number that is not finite ("inf", "nan", or beyond the largest double)
// raises EConvertError, since dropping it would shift the values after it.
// With LineForm (a line's points or values), "*" is the missing value, so
// the values keep their places, and each number is taken as the line's
// short form keeps it.
void ReadLineReals(std::string_view Text, bool LineForm, arofdoubleM& Values)
{
    Values.Clear();
    TNumberWordReader words(Text);
    std::string_view word;
    TRealText kind = TRealText::NotANumber;
    for (double value = 0.0; words.Next(word, kind, value);) {
        if (LineForm && word == MissingText) {
            Values.Add(MissingValue);
            continue;
        }
        switch (kind) {
        case TRealText::Number:
            Values.Add(LineForm ? AsShortFormKeepsIt(word, value, 1, FormatLineReal) : value);
            break;
        case TRealText::NotFinite:
            RaiseConvertError("'%s' is not a finite number", {TokenText(word)});
        case TRealText::NotANumber: break;
        }
    }
}

arofdoubleM LineReals(std::string_view Text)
{
    arofdoubleM values;
    ReadLineReals(Text, true, values);
    return values;
}

// The text slots read last, by slot: the rings of a file mostly repeat
// their settings texts, and a repeated token shares the value read before.
struct TParamTexts {
    std::array<std::string, ParamSlotCount> Tokens;
    std::array<ParamValue, ParamSlotCount> Values; // empty: nothing read yet
};

ParamValue ReadTextParam(std::string_view Token, int Slot, TParamTexts* Texts)
{
    if (Texts == nullptr)
        return ParamValue(DecodeText(Token, true));
    const auto slot = static_cast<size_t>(Slot);
    if (Texts->Values[slot].IsEmpty() || Texts->Tokens[slot] != Token) {
        Texts->Tokens[slot].assign(Token);
        Texts->Values[slot] = ParamValue(DecodeText(Token, true));
    }
    return Texts->Values[slot];
}

// Reads the tokens of Text into Slots (read with Texts: a ring of a file
// being read, whose slots are all empty and which a bad token discards with
// the whole file, so the tokens go straight into them).
void ReadParams(TPolygonParams& Slots, std::string_view Text, TParamTexts* Texts)
{
    // Otherwise every token is converted first, so that a bad one changes
    // nothing. The tokens are read as views into the line: no string per
    // token.
    TPolygonParams copy;
    if (Texts == nullptr)
        copy = Slots;
    TPolygonParams& result = Texts == nullptr ? copy : Slots;
    TWordReader words(Text);
    std::string_view token;
    for (int slot = 0; slot < ParamSlotCount && words.Next(token); ++slot) {
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
            result[slot] = ReadTextParam(token, slot, Texts);
            break;
        case psResistivity:
        case psPolarizability:
        case psExtra1:
        case psExtra2:
        case psFit:
        case psLowest:
        case psHighest:
        case psWater:
        case psWaterResistivity:
        case psPhase: {
            // A token that is no number gives the missing value, which a
            // save writes as "*": the slot is not set, as by "*".
            const double value = TextToReal(token, false, 0.0, 0.0);
            if (value != MissingValue)
                result[slot] = ParamValue(AsShortFormKeepsIt(token, value, 3, FormatParamReal));
            break;
        }
        default:
            break;
        }
    }
    if (Texts == nullptr)
        Slots = std::move(copy);
}

// --- Reading ---------------------------------------------------------------------------

// Walks the lines of the block; every failure names the file line. The
// lines are those of SplitFileLines, found one by one as they are read: a
// large file is not first cut into a table of all its lines.
class TBlockReader {
public:
    explicit TBlockReader(std::string_view Bytes) : FBytes(Bytes)
    {
        const char* end = Bytes.data() + Bytes.size();
        for (const char* at = Bytes.data(); at < end; ++at) {
            at = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
            if (at == nullptr)
                break;
            ++FLineCount;
        }
        if (!Bytes.empty() && Bytes.back() != '\n')
            ++FLineCount;
    }

    [[noreturn]] void Fail(size_t LineIndex, std::string_view What) const
    {
        throw ESectionFileError(FormatText("line %d: %s", {ArgText(static_cast<long long>(LineIndex + 1)), What}));
    }

    size_t Remaining() const { return FLineCount - FNext; }
    size_t LastLine() const { return FCurrent; }

    std::string_view Next(std::string_view What)
    {
        if (FNext >= FLineCount)
            Fail(FLineCount, FormatText("the file ends before %s", {What}));
        FCurrent = FNext++;
        return TakeLine();
    }

    // Passes over the lines up to and including the first that holds
    // Marker; false when none does.
    bool SkipPast(std::string_view Marker)
    {
        while (FNext < FLineCount) {
            FCurrent = FNext++;
            if (TakeLine().find(Marker) != std::string_view::npos)
                return true;
        }
        return false;
    }

    // The numbers of the next line, at least Needed of them; the array is
    // the reader's own and is overwritten by the next call.
    const arofdoubleM& Numbers(std::string_view What, long long Needed)
    {
        const std::string_view text = Next(What);
        try {
            ReadLineReals(text, false, FNumbers);
        } catch (const EConvertError& error) {
            Fail(FCurrent, FormatText("%s: %s", {What, error.Message()}));
        }
        if (FNumbers.Length() < Needed)
            Fail(FCurrent, FormatText("%s: %d numbers expected, %d found",
                                      {What, ArgText(Needed), ArgText(FNumbers.Length())}));
        return FNumbers;
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
    // The line at FOffset, without its line end; FOffset moves past it.
    std::string_view TakeLine()
    {
        const size_t end = std::min(FBytes.find('\n', FOffset), FBytes.size());
        std::string_view line = FBytes.substr(FOffset, end - FOffset);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        FOffset = end + 1;
        return line;
    }

    std::string_view FBytes;
    size_t FOffset = 0;
    size_t FLineCount = 0;
    size_t FNext = 0;
    size_t FCurrent = 0;
    arofdoubleM FNumbers; // scratch of Numbers, reused line after line
};

int RoundedField(TBlockReader& Reader, double Value, std::string_view What)
{
    // Whole values in range (almost every field) are taken as they are.
    if (Value >= INT32_MIN && Value <= INT32_MAX) {
        const auto whole = static_cast<int>(Value);
        if (whole == Value)
            return whole;
    }
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
        const arofdoubleM& values = Reader.Numbers("a node line", 5);
        node.x = values[0];
        node.y = values[1];
        node.fixed = RoundedField(Reader, values[2], "the fixed flag") != 0 ? 1 : 0;
        node.sharing = RoundedField(Reader, values[3], "the ring count");
        node.border = RoundedField(Reader, values[4], "the border kind");
        if (node.border < bkNone || node.border > bkSurface)
            Reader.Fail(Reader.LastLine(), "the border kind is not one of 0 to 6");
    }
}

// Indexes is the caller's scratch, reused ring after ring: each ring gets
// its indexes in one allocation of their number.
void ReadRing(TBlockReader& Reader, Polygon& Ring, int NodeCount, std::vector<int32_t>& Indexes)
{
    Indexes.clear();
    const std::string_view text = Reader.Next("a ring line");
    TNumberWordReader words(text);
    std::string_view word;
    TRealText kind = TRealText::NotANumber;
    for (double value = 0.0; words.Next(word, kind, value);) {
        if (kind == TRealText::NotFinite)
            Reader.Fail(Reader.LastLine(), FormatText("'%s' is not a finite node index", {TokenText(word)}));
        if (kind != TRealText::Number)
            continue;
        const int index = RoundedField(Reader, value, "a node index");
        if (index < 0 || index >= NodeCount)
            Reader.Fail(Reader.LastLine(),
                        FormatText("node index %d is outside the node table (%d nodes)",
                                   {ArgText(index), ArgText(NodeCount)}));
        Indexes.push_back(index);
    }
    Ring.ring = arofintM(std::vector<int32_t>(Indexes.begin(), Indexes.end()));
    if (Ring.ring.Length() < 3)
        Reader.Fail(Reader.LastLine(), "a ring has fewer than three nodes");
}

// A body of water holds its measured resistivity as read: one that is no
// number, or no physical value, would hold the water at the body's value
// or at none; the file is refused naming the line and the body.
void RefuseWaterResistivity(const TBlockReader& Reader, const TPolygonParams& Params, std::string_view Line, int Body,
                            int Ring)
{
    if (!RegionIsWater(Params))
        return;
    TWordReader words(Line);
    std::string_view token;
    for (int slot = 0; slot <= psWaterResistivity && words.Next(token); ++slot)
        if (slot == psWaterResistivity) {
            const std::string fault = WaterResistivityTokenFault(token);
            if (!fault.empty())
                Reader.Fail(Reader.LastLine(), FormatText("body %d, ring %d: %s",
                                                          {ArgText(Body), ArgText(Ring), fault}));
        }
}

void ReadBodies(TBlockReader& Reader, TSectionModel& Section)
{
    TParamTexts texts;
    std::vector<int32_t> indexes;
    const int bodies = Reader.CountLine("the body count", 1);
    Section.Model.SetLength(bodies);
    for (int b = 0; b < bodies; ++b) {
        SPolygon& body = Section.Model[b];
        const int subs = Reader.CountLine("the sub-polygon count", 2);
        body.SetLength(subs);
        for (int r = 0; r < subs; ++r) {
            Polygon& ring = body[r];
            const std::string_view params = Reader.Next("a parameter line");
            try {
                ReadParams(ring.params, params, &texts);
            } catch (const EConvertError& error) {
                Reader.Fail(Reader.LastLine(), error.Message());
            }
            RefuseWaterResistivity(Reader, ring.params, params, b, r);
            ReadRing(Reader, ring, Section.Nodes.Length(), indexes);
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

// An area that is empty or turned over cannot hold a frame: the editor
// never makes one, and none of its tools could work on it.
void CheckModelArea(TBlockReader& Reader, const TModelArea& Area)
{
    if (!(Area.left < Area.right) || !(Area.top < Area.bottom))
        Reader.Fail(Reader.LastLine(), "the model area is empty or turned over (left must be less than right and "
                                       "top less than bottom)");
}

// What the places and the rings determine is not taken from the file: a
// node's border kind that does not match its place is taken from its place
// (a node of the frame's outline takes the kind of its stretch and must lie
// on that edge), and border nodes are fitted onto their border within the
// kinds' tolerance (the editor moves border nodes by their kind, so a kind
// that names another border would move an inner node there; a fit beyond
// rounding would alter what the file says); the frame's nodes are put first
// in the table, where the editor's tools look for them; every ring but the
// host ring is turned to the model's orientation and the nodes' sharing is
// recomputed. A model that then breaks the model's rules is refused: every
// editing operation relies on them. The message names the first fault (its
// ring, body and rule).
void SettleReadModel(TSectionModel& Section)
{
    const TModelArea& area = Section.ModelArea;
    std::vector<std::string> faults =
        SettleBorderNodes(Section.Model, Section.Nodes, area.bottom, area.top, area.right, area.left);
    if (faults.empty()) {
        PutFrameNodesFirst(Section.Profile, Section.HasProfile, Section.Model, Section.Nodes, area.bottom, area.top,
                           area.right, area.left);
        faults = SettleAndCheckModel(Section.Model, Section.Nodes, &Section.ModelArea);
    }
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

void AppendInteger(std::string& Out, long long Value)
{
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, Value);
    Out.append(digits, written.ptr);
}

// The exponent of a scientific text from its sign on ("+05", "-300").
int ExponentOf(const char* Sign, const char* End)
{
    int value = 0;
    std::from_chars(Sign + 1, End, value);
    return *Sign == '-' ? -value : value;
}

// The 23 characters of the R form.
void AppendSectionReal(std::string& Out, double Value)
{
    if (!std::isfinite(Value))
        RaiseConvertError("A value that is not a finite number cannot be written");
    const double magnitude = std::fabs(Value);
    // "d.dddddddddddddde+XX": 15 significant digits, rounded to nearest.
    char digits[40];
    auto written = std::to_chars(digits, digits + sizeof digits, magnitude, std::chars_format::scientific, 14);
    int exponent = ExponentOf(digits + 17, written.ptr); // after "d.(14)e"
    if (exponent >= 308) {
        // Rounded up past the largest double the text would no longer read
        // back; those few values are cut to 15 digits (toward zero) instead.
        double back = 0.0;
        if (std::from_chars(digits, written.ptr, back).ec == std::errc::result_out_of_range) {
            char exact[64];
            const auto long_ = std::to_chars(exact, exact + sizeof exact, magnitude, std::chars_format::scientific, 30);
            std::copy(exact, exact + 16, digits);
            exponent = ExponentOf(std::find(exact, long_.ptr, 'e') + 1, long_.ptr);
        }
    }
    const int exponentDigits = std::abs(exponent);
    Out += Value < 0 ? '-' : ' ';
    Out.append(digits, 16);
    Out += 'E';
    Out += exponent < 0 ? '-' : '+';
    Out += static_cast<char>('0' + exponentDigits / 1000);
    Out += static_cast<char>('0' + exponentDigits / 100 % 10);
    Out += static_cast<char>('0' + exponentDigits / 10 % 10);
    Out += static_cast<char>('0' + exponentDigits % 10);
}

void AppendReals(std::string& Out, std::initializer_list<double> Values)
{
    bool first = true;
    for (double value : Values) {
        if (!first)
            Out += ' ';
        first = false;
        AppendSectionReal(Out, value);
    }
    Out.append(LineEnd);
}

} // namespace

// --- Number forms ----------------------------------------------------------------

std::string FormatSectionReal(double Value)
{
    std::string text;
    AppendSectionReal(text, Value);
    return text;
}

std::string FormatSectionInteger(long long Value)
{
    std::string text;
    AppendInteger(text, Value);
    return text;
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
            AppendInteger(out, value.AsInteger());
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
    ReadParams(Slots, Text, nullptr);
}

// --- The block -------------------------------------------------------------------------

std::string FormatSectionModelBlock(const TSectionModel& Section)
{
    std::string out;
    // About 75 bytes a node line: one allocation for most blocks.
    out.reserve(256 + static_cast<size_t>(Section.Nodes.Length()) * 80 +
                static_cast<size_t>(Section.Profile.Length()) * 48);
    AppendLine(out, SectionBlockMarker);
    AppendReals(out, {Section.ReservedPair[0], Section.ReservedPair[1]});
    const TModelArea& area = Section.ModelArea;
    AppendReals(out, {area.left, area.right, area.top, area.bottom});
    AppendInteger(out, Section.HasProfile ? 1 : 0);
    out += ' ';
    AppendInteger(out, Section.Profile.Length());
    out.append(LineEnd);
    for (const complexM& point : Section.Profile) {
        AppendSectionReal(out, point.re);
        out += ' ';
        AppendSectionReal(out, point.im);
        out += ' ';
    }
    out.append(LineEnd);

    AppendInteger(out, Section.Nodes.Length());
    out.append(LineEnd);
    for (const Tnode& node : Section.Nodes) {
        AppendSectionReal(out, node.x);
        out += ' ';
        AppendSectionReal(out, node.y);
        out += ' ';
        AppendInteger(out, node.fixed != 0 ? 1 : 0);
        out += ' ';
        AppendInteger(out, node.sharing);
        out += ' ';
        AppendInteger(out, node.border);
        out.append(LineEnd);
    }

    AppendInteger(out, Section.Model.Length());
    out.append(LineEnd);
    for (const SPolygon& body : Section.Model) {
        AppendInteger(out, body.Length());
        out.append(LineEnd);
        for (const Polygon& ring : body) {
            AppendLine(out, ParamsToText(ring.params));
            for (int32_t node : ring.ring) {
                AppendInteger(out, node);
                out += ' ';
            }
            out.append(LineEnd);
        }
    }

    AppendInteger(out, Section.Lines.Length());
    out.append(LineEnd);
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
    TBlockReader reader(FileBytes);
    if (!reader.SkipPast(SectionBlockMarker) || reader.Remaining() == 0)
        return false;
    TSectionModel result;
    try {
        const arofdoubleM reserved = reader.Numbers("the reserved pair", 2);
        result.ReservedPair[0] = reserved[0];
        result.ReservedPair[1] = reserved[1];
        const arofdoubleM area = reader.Numbers("the model area", 4);
        result.ModelArea = TModelArea{area[0], area[2], area[1], area[3]};
        CheckModelArea(reader, result.ModelArea);
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
    Section = std::move(result);
    return true;
}

std::string SectionBlockFault(std::string_view Block)
{
    TSectionModel check;
    try {
        if (!ParseSectionModelBlock(Block, check))
            return "the model block cannot be read back";
    } catch (const ESectionFileError& error) {
        return error.Message();
    }
    return {};
}

} // namespace lp
