#pragma once
// Writes a Syscal Pro binary file (.bin) by the layout of its records, for
// the tests, the fuzz seeds and the benchmark: little-endian, packed, the
// header's version, instrument type and 1024-byte comment, then one record
// per datum with the fields it is given (the others 0).

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace lp::test {

struct TSyscalBinaryRecord {
    int More = 3; // 0, 2 or 3: a record of 280, 296 or 304 bytes
    int CoordinateType = 1;
    std::array<float, 4> X{}, Y{}, Z{}; // A, B, M, N
    float Sp = 0.0f, Vp = 0.0f, In = 0.0f, Rho = 0.0f, M = 0.0f, Deviation = 0.0f;
    std::array<float, 20> Windows{}, WindowChargeabilities{};
};

inline void AppendLittleEndian(std::string& Bytes, uint64_t Value, int Size)
{
    for (int b = 0; b < Size; ++b)
        Bytes += static_cast<char>((Value >> (8 * b)) & 0xFF);
}

inline void AppendFloat(std::string& Bytes, float Value)
{
    AppendLittleEndian(Bytes, std::bit_cast<uint32_t>(Value), 4);
}

inline std::string SyscalBinaryHeader(uint32_t Version = 0x80000002u, int Type = 11)
{
    std::string bytes;
    AppendLittleEndian(bytes, Version, 4);
    bytes += static_cast<char>(Type);
    std::string comment = "Made-up line 1";
    comment.resize(1024, '\0');
    return bytes + comment;
}

inline std::string SyscalBinaryRecord(const TSyscalBinaryRecord& Record)
{
    std::string bytes;
    AppendLittleEndian(bytes, 11, 2); // array code
    AppendLittleEndian(bytes, static_cast<uint16_t>(Record.More), 2);
    AppendFloat(bytes, 500.0f); // injection time
    AppendFloat(bytes, 20.0f);  // chargeability delay
    AppendLittleEndian(bytes, static_cast<uint16_t>(Record.CoordinateType), 2);
    AppendLittleEndian(bytes, 0, 2);
    for (const std::array<float, 4>* axis : {&Record.X, &Record.Y, &Record.Z})
        for (float value : *axis)
            AppendFloat(bytes, value);
    for (float value : {Record.Sp, Record.Vp, Record.In, Record.Rho, Record.M, Record.Deviation})
        AppendFloat(bytes, value);
    for (const std::array<float, 20>* values : {&Record.Windows, &Record.WindowChargeabilities})
        for (float value : *values)
            AppendFloat(bytes, value);
    bytes += std::string(2, '\x03');           // channel bits
    bytes += std::string("Q-made-up\0\0\0", 12); // name
    AppendLittleEndian(bytes, 1, 2);           // quadrupole number
    for (float value : {0.0f, 0.0f, 4.0f, 1.5f}) // latitude, longitude, stacks, contact check
        AppendFloat(bytes, value);
    if (Record.More == 2 || Record.More == 3)
        for (float value : {48.0f, 12.5f, 12.1f, 21.0f})
            AppendFloat(bytes, value);
    if (Record.More == 3)
        AppendLittleEndian(bytes, std::bit_cast<uint64_t>(46082.5), 8);
    return bytes;
}

inline std::string SyscalBinaryFile(const std::vector<TSyscalBinaryRecord>& Records)
{
    std::string bytes = SyscalBinaryHeader();
    for (const TSyscalBinaryRecord& record : Records)
        bytes += SyscalBinaryRecord(record);
    return bytes;
}

// A record of A B M N at x (the y and z 0), Vp over In and M.
inline TSyscalBinaryRecord SyscalBinaryDatum(std::array<float, 4> X, float Vp, float In, float M = 0.0f)
{
    TSyscalBinaryRecord record;
    record.X = X;
    record.Vp = Vp;
    record.In = In;
    record.M = M;
    record.Rho = 18.4f;
    record.Deviation = 5.7f;
    return record;
}

} // namespace lp::test
