#include "section/survey/formats/SyscalBinaryFile.h"

#include "section/survey/formats/InstrumentRows.h"

#include <bit>
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

class TSyscalBinaryReader {
public:
    explicit TSyscalBinaryReader(std::string_view bytes) : FBytes(bytes), FRows(TDataFormat::SyscalBinary, {}) {}

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
            return FRows.Data();
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
        FRows.Add(row);
    }

    std::string_view FBytes;
    formats::TInstrumentRows FRows;
    std::vector<size_t> FStarts; // each record's first byte
};

} // namespace

bool IsSyscalBinary(std::string_view Bytes)
{
    if (Bytes.size() < HeaderSize + field::More + 2)
        return false;
    const uint32_t version = Unsigned32(Bytes, 0);
    return version >= FirstVersion && version <= LastVersion && IsProType(static_cast<unsigned char>(Bytes[4])) &&
           RecordLength(Signed16(Bytes, HeaderSize + field::More)) != 0;
}

TMeasuredData ReadSyscalBinary(std::string_view Bytes)
{
    return TSyscalBinaryReader(Bytes).Read();
}

} // namespace lp
