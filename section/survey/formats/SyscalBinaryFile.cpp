#include "section/survey/formats/SyscalBinaryFile.h"

#include "section/survey/formats/InstrumentRows.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace lp {

namespace {

constexpr size_t HeaderSize = 4 + 1 + 1024; // version, instrument type, comment
constexpr uint32_t FirstVersion = 0x80000000u, LastVersion = 0x80000003u;

// Where a record's fields start, and its length by its "more" flag.
namespace field {
constexpr size_t More = 2, CoordinateType = 12, X = 16, Y = 32, Z = 48, Vp = 68, In = 72, M = 80;
} // namespace field
constexpr size_t RecordBase = 280;

// The record's length its "more" flag gives; 0 for a flag this layout
// does not know.
size_t RecordLength(int More)
{
    return More == 0 ? RecordBase : More == 2 ? RecordBase + 16 : More == 3 ? RecordBase + 24 : 0;
}

uint32_t Unsigned32(std::string_view Bytes, size_t At)
{
    uint32_t value = 0;
    for (size_t b = 4; b-- > 0;)
        value = value << 8 | static_cast<unsigned char>(Bytes.at(At + b));
    return value;
}

int Signed16(std::string_view Bytes, size_t At)
{
    const auto value = static_cast<uint16_t>(static_cast<unsigned char>(Bytes.at(At)) |
                                             static_cast<unsigned char>(Bytes.at(At + 1)) << 8);
    return static_cast<int16_t>(value);
}

double Float32(std::string_view Bytes, size_t At)
{
    return std::bit_cast<float>(Unsigned32(Bytes, At));
}

double Float64(std::string_view Bytes, size_t At)
{
    return std::bit_cast<double>(uint64_t{Unsigned32(Bytes, At + 4)} << 32 | Unsigned32(Bytes, At));
}

// A record's date and time (more = 3: days since 1899-12-30, after the
// four readings of more = 2) in seconds since 1970-01-01; nan without one.
double RecordTime(std::string_view Bytes, size_t At, int More)
{
    if (More != 3)
        return std::nan("");
    constexpr double DaysTo1970 = 25569.0, MaxDays = 1e6;
    const double days = Float64(Bytes, At + RecordBase + 16);
    return std::isfinite(days) && days > 0.0 && days < MaxDays ? 86400.0 * (days - DaysTo1970) : std::nan("");
}

bool IsProType(int Type)
{
    return Type == 3 || Type == 4 || Type == 5 || Type == 8 || Type == 9 || Type == 11;
}

std::string Hex(uint32_t Value)
{
    static const char* digits = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        text += digits[(Value >> shift) & 0xF];
    return text;
}

// A refusal of the rows ("Line N: ...", N a record's number) as one of the
// record ("Record N at byte B: ..."), B from each record's first byte.
std::string RecordRefusal(const std::string& Message, const std::vector<size_t>& Starts)
{
    if (!Message.starts_with("Line "))
        return Message;
    const char* end = Message.data() + Message.size();
    size_t record = 0;
    const auto [after, fault] = std::from_chars(Message.data() + 5, end, record);
    if (fault != std::errc() || record == 0 || record > Starts.size() ||
        !std::string_view(after, static_cast<size_t>(end - after)).starts_with(": "))
        return Message;
    return "Record " + std::to_string(record) + " at byte " + std::to_string(Starts[record - 1]) +
           std::string(after);
}

// The rows' data with each "record N" of their warnings (the readers'
// lines are the records) placed by its byte: "record N at byte B".
TMeasuredData WithRecordBytes(TMeasuredData Data, const std::vector<size_t>& Starts)
{
    const std::string word = "record ";
    for (std::string& warning : Data.Warnings)
        for (size_t at = warning.find(word); at != std::string::npos; at = warning.find(word, at + 1)) {
            const char* begin = warning.data() + at + word.size();
            const char* end = warning.data() + warning.size();
            size_t record = 0;
            const auto [after, fault] = std::from_chars(begin, end, record);
            if (fault != std::errc() || record == 0 || record > Starts.size())
                continue;
            warning.insert(static_cast<size_t>(after - warning.data()), " at byte " + std::to_string(Starts[record - 1]));
        }
    return Data;
}

class TSyscalBinaryReader {
public:
    explicit TSyscalBinaryReader(std::string_view bytes) : FBytes(bytes), FRows(TDataFormat::SyscalBinary, {}) 
    {
        FRows.PlaceOnMap(); // every record gives x, y and z
    }

    TMeasuredData Read()
    {
        if (FBytes.size() < HeaderSize)
            throw EDataFileError("Header at byte " + std::to_string(FBytes.size()) + ": the file ends within the " +
                                 std::to_string(HeaderSize) + "-byte Syscal binary header.");
        const uint32_t version = Unsigned32(FBytes, 0);
        if (version < FirstVersion || version > LastVersion)
            throw EDataFileError("Header at byte 0: the Syscal binary version is " + Hex(version) + ", not one of " +
                                 Hex(FirstVersion) + " .. " + Hex(LastVersion) + " whose layout is read.");
        const int type = static_cast<unsigned char>(FBytes[4]);
        if (!IsProType(type))
            throw EDataFileError("Header at byte 4: the instrument type is " + std::to_string(type) +
                                 ", not a Syscal Pro's (3, 4, 5, 8, 9 or 11) whose records are read.");
        for (size_t at = HeaderSize; at < FBytes.size(); at += RecordLength(Signed16(FBytes, at + field::More)))
            ReadRecord(at);
        try {
            return WithRecordBytes(FRows.Data(), FStarts);
        } catch (const EDataFileError& error) {
            throw EDataFileError(RecordRefusal(error.Message(), FStarts));
        }
    }

private:
    [[noreturn]] void Fail(size_t Record, size_t At, const std::string& What) const
    {
        throw EDataFileError("Record " + std::to_string(Record) + " at byte " + std::to_string(At) + ": " + What +
                             ".");
    }

    void ReadRecord(size_t At)
    {
        FStarts.push_back(At);
        const size_t record = FStarts.size();
        if (FBytes.size() - At < field::More + 2)
            Fail(record, At, "the file ends within the record, " + std::to_string(FBytes.size() - At) +
                                 " bytes into it");
        const int more = Signed16(FBytes, At + field::More);
        const size_t length = RecordLength(more);
        if (length == 0)
            Fail(record, At, "the record's length flag is " + std::to_string(more) + ", not 0, 2 or 3 (a record of " +
                                 "280, 296 or 304 bytes)");
        if (FBytes.size() - At < length)
            Fail(record, At, "the file ends within the record, " + std::to_string(FBytes.size() - At) + " of its " +
                                 std::to_string(length) + " bytes");
        if (Signed16(FBytes, At + field::CoordinateType) == 0)
            Fail(record, At, "the record gives no electrode positions (coordinate type 0, the small model's "
                             "records): its electrodes cannot be placed");
        formats::TInstrumentRow row;
        row.Line = static_cast<int>(record);
        for (size_t e = 0; e < 4; ++e) {
            const double x = Float32(FBytes, At + field::X + 4 * e), y = Float32(FBytes, At + field::Y + 4 * e),
                         z = Float32(FBytes, At + field::Z + 4 * e);
            if (std::isnan(x) || std::isnan(y))
                return FRows.Skip(row.Line);
            if (formats::IsRemoteCoordinate(x) || formats::IsRemoteCoordinate(y))
                continue;
            if (!std::isfinite(z) || std::fabs(z) >= 99999.0)
                return FRows.Skip(row.Line);
            row.Places[e] = formats::TInstrumentPlace{x, y, z};
        }
        const double v = Float32(FBytes, At + field::Vp), i = Float32(FBytes, At + field::In);
        if (!formats::IsMeasuredValue(v) || !formats::IsMeasuredValue(i) || i == 0.0)
            return FRows.Skip(row.Line);
        row.Resistance = v / i;
        row.Voltage = v / 1000.0;
        if (const double m = Float32(FBytes, At + field::M); formats::IsMeasuredValue(m))
            row.Chargeability = m;
        row.Time = RecordTime(FBytes, At, more);
        FRows.Add(row);
    }

    std::string_view FBytes;
    formats::TInstrumentRows FRows;
    std::vector<size_t> FStarts; // each record's first byte
};


// The .binx file's fields read one after the other; a read past the end
// refused as the file ending within the record (or the header) begun at
// Begin.
class TBinxCursor {
public:
    explicit TBinxCursor(std::string_view bytes) : FBytes(bytes) {}

    size_t At() const { return FAt; }
    size_t Left() const { return FBytes.size() - FAt; }
    // What is read from here on: record Record (from 1; 0 the header).
    void Begin(size_t Record) { FRecord = Record, FBegin = FAt; }

    [[noreturn]] void Fail(const std::string& What) const
    {
        throw EDataFileError((FRecord == 0 ? std::string("Header") : "Record " + std::to_string(FRecord)) +
                             " at byte " + std::to_string(FBegin) + ": " + What + ".");
    }

    void Skip(size_t Count)
    {
        if (Count > Left())
            Fail("the Syscal Pro .binx file ends within the " + std::string(FRecord == 0 ? "header" : "record") +
                 ", at byte " + std::to_string(FBytes.size()));
        FAt += Count;
    }
    uint32_t U32()
    {
        Skip(4);
        return Unsigned32(FBytes, FAt - 4);
    }
    double F64()
    {
        Skip(8);
        const uint64_t bits = uint64_t{Unsigned32(FBytes, FAt - 4)} << 32 | Unsigned32(FBytes, FAt - 8);
        return std::bit_cast<double>(bits);
    }
    // A length-prefixed string, skipped.
    void String() { Skip(U32()); }

private:
    std::string_view FBytes;
    size_t FAt = 0, FRecord = 0, FBegin = 0;
};

constexpr uint32_t BinxVersion = 6;
constexpr int BinxRecordVersion = 14;
// The .binx versions of older files: 0x80000002 .. 0x80000004 stand for 1 .. 3.
constexpr uint32_t FirstOlderBinx = 0x80000002u, LastOlderBinx = 0x80000004u;
// Where the comment's length stands: after the version and instrument type,
// and in version 6 the software and three version numbers.
constexpr size_t OlderCommentAt = 4 + 1, CommentAt = 4 + 1 + 1 + 3 * 2;
// A comment longer than this is not one.
constexpr uint32_t MaxComment = 4096;

std::string BinxVersionText(uint32_t Version)
{
    if (Version >= FirstOlderBinx && Version <= LastOlderBinx)
        return Hex(Version) + " (version " + std::to_string(Version - FirstOlderBinx + 1) + ")";
    return Version >= 0x80000000u ? Hex(Version) : std::to_string(Version);
}

// Whether the length-prefixed comment at At names the instrument
// ("SYSCAL Pro", any case).
bool NamesSyscal(std::string_view Bytes, size_t At)
{
    if (Bytes.size() < At + 4)
        return false;
    const uint32_t length = Unsigned32(Bytes, At);
    if (length > MaxComment || length > Bytes.size() - At - 4)
        return false;
    std::string comment(Bytes.substr(At + 4, length));
    for (char& c : comment)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return comment.find("syscal") != std::string::npos;
}

// Whether the header's comment names the instrument where a version 6 file
// or an older one has it: a .binx file, whatever its version.
bool IsNamedBinxHeader(std::string_view Bytes)
{
    return NamesSyscal(Bytes, CommentAt) || NamesSyscal(Bytes, OlderCommentAt);
}

// The header of a version 6 file: version, instrument type, software,
// version numbers, comment, common path, file counts (both 0), and the
// record count.
uint32_t BinxHeader(TBinxCursor& Cursor)
{
    Cursor.Begin(0);
    if (const uint32_t version = Cursor.U32(); version != BinxVersion)
        Cursor.Fail("this Syscal Pro binary file (.binx) is of version " + BinxVersionText(version) +
                    ", whose layout is not read: only version " + std::to_string(BinxVersion) + " is");
    Cursor.Skip(1 + 1 + 3 * 2); // instrument type, software, major, minor, release
    Cursor.String();            // comment
    Cursor.String();            // common path
    if (Cursor.U32() != 0 || Cursor.U32() != 0)
        Cursor.Fail("this Syscal Pro .binx file names files of injections or full waveforms, which are not read");
    return Cursor.U32();
}

class TSyscalBinxReader {
public:
    explicit TSyscalBinxReader(std::string_view bytes) : FCursor(bytes), FRows(TDataFormat::SyscalBinx, {}) 
    {
        FRows.PlaceOnMap(); // every record gives x, y and z
    }

    TMeasuredData Read()
    {
        const uint32_t count = BinxHeader(FCursor);
        for (uint32_t r = 0; r < count; ++r)
            ReadRecord();
        if (FCursor.Left() > 0) {
            FCursor.Begin(count + 1);
            FCursor.Fail("the Syscal Pro .binx file goes on after its " + std::to_string(count) + " records");
        }
        try {
            return WithRecordBytes(FRows.Data(), FStarts);
        } catch (const EDataFileError& error) {
            throw EDataFileError(RecordRefusal(error.Message(), FStarts));
        }
    }

private:
    // A record of version 14, its blocks in order.
    void ReadRecord()
    {
        FStarts.push_back(FCursor.At());
        FCursor.Begin(FStarts.size());
        const auto version = static_cast<int32_t>(FCursor.U32());
        if (version != BinxRecordVersion)
            FCursor.Fail("this Syscal Pro binary file (.binx) holds records of version " + std::to_string(version) +
                         ", whose layout is not read: only records of version " +
                         std::to_string(BinxRecordVersion) + " are");
        formats::TInstrumentRow row;
        row.Line = static_cast<int>(FStarts.size());
        // 1. The measurement.
        FCursor.Skip(2 * 8 + 2 * 4 + 8); // times, overload, stacks, SP
        const double v = FCursor.F64(), i = FCursor.F64(), m = FCursor.F64();
        FCursor.Skip(20 * 8 + 5 * 8 + 5 * 4 + 800 * 4); // M1..M20, k .. contact check, Tx/Rx state, raw files
        FCursor.String();
        // 2. The injection's settings.
        FCursor.Skip(4 + 8 + 2 + 2 * 4 + 2 * 8 + 3 * 4 + 20 * 4 + 1 + 2 * 4 + 4 + 1 + 4 + 4 + 1);
        FCursor.String();
        // 3. The sequence.
        FCursor.Skip(10 * 4 + 8 + 2 * 4 + 1 + 2 + 2 * 8);
        // 4. A, B, M, N, then the grid.
        bool placed = true;
        for (size_t e = 0; e < 4; ++e) {
            const double x = FCursor.F64(), y = FCursor.F64(), z = FCursor.F64();
            FCursor.Skip(8 + 4 + 2 + 3 * 4 + 1); // depth, electrode fields, bool (v >= 5)
            if (std::isnan(x) || std::isnan(y))
                placed = false;
            else if (formats::IsRemoteCoordinate(x) || formats::IsRemoteCoordinate(y))
                continue; // at infinity
            else if (!std::isfinite(z) || std::fabs(z) >= 99999.0)
                placed = false;
            else
                row.Places[e] = formats::TInstrumentPlace{x, y, z};
        }
        FCursor.Skip(4 * 8 + 4 + 2 + 3 * 4 + 1 + 2 * 8);
        // 5. Remotes, position, injection files, Cole-Cole.
        FCursor.Skip(1 + 1 + 9 + 2 * 8 + 2 + 3 * 4);
        FCursor.String();
        FCursor.String();
        FCursor.Skip(3 * 8 + 1);
        // 6. Quadrupole counts, injection number.
        FCursor.Skip(6 * 4 + 4);
        // 7. The instrument's state, gated by version as for 14.
        FCursor.Skip(1 + 2 * 4 + 3 + 5 * 4 + 4 + 2 + 4 * 4); // all versions
        FCursor.Skip(5 + 4 + 4 + 3 * 4 + 1 + 2 * 2);        // v >= 3
        FCursor.Skip(4 + 3 * 2 + 4 + 5 + 1);                // v >= 4
        FCursor.Skip(3 + 5 + 4 + 2 * 4 + 2);                // v >= 6, 7, 8
        FCursor.Skip(2 * 8 + 4 + 8 + 1);                    // v >= 10, 14
        FCursor.Skip(1);                                    // v >= 11
        const uint32_t stamps = FCursor.U32();
        if (stamps > FCursor.Left() / 8)
            FCursor.Skip(FCursor.Left() + 1); // the file ends within the record
        FCursor.Skip(8 * size_t{stamps});
        FCursor.Skip(40 * 8 + 2 * 8 + 9); // 11 <= v < 15, 12 <= v < 15, v = 14
        if (!placed || !formats::IsMeasuredValue(v) || !formats::IsMeasuredValue(i) || i == 0.0)
            return FRows.Skip(row.Line);
        row.Resistance = v / i;
        row.Voltage = v / 1000.0;
        if (formats::IsMeasuredValue(m))
            row.Chargeability = m;
        FRows.Add(row);
    }

    TBinxCursor FCursor;
    formats::TInstrumentRows FRows;
    std::vector<size_t> FStarts;
};

} // namespace

bool IsSyscalBinary(std::string_view Bytes)
{
    if (Bytes.size() < HeaderSize + field::More + 2)
        return false;
    const uint32_t version = Unsigned32(Bytes, 0);
    return version >= FirstVersion && version <= LastVersion && IsProType(static_cast<unsigned char>(Bytes[4])) &&
           RecordLength(Signed16(Bytes, HeaderSize + field::More)) != 0 && !IsNamedBinxHeader(Bytes);
}

TMeasuredData ReadSyscalBinary(std::string_view Bytes)
{
    return TSyscalBinaryReader(Bytes).Read();
}

bool IsSyscalBinx(std::string_view Bytes)
{
    if (IsNamedBinxHeader(Bytes))
        return true;
    try {
        TBinxCursor cursor(Bytes);
        return BinxHeader(cursor) > 0 && cursor.Left() >= 4 && cursor.U32() == BinxRecordVersion;
    } catch (const EDataFileError&) {
        return false;
    }
}

TMeasuredData ReadSyscalBinx(std::string_view Bytes)
{
    return TSyscalBinxReader(Bytes).Read();
}

} // namespace lp
