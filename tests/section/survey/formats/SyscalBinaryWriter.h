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

// A .binx file's header: its version (6; older files 0x80000002 ..
// 0x80000004, without the software and version numbers), the instrument's
// type and software, and the comment.
struct TSyscalBinxHeader {
    uint32_t Version = 6;
    int Type = 11, Software = 2;
    std::array<int, 3> Numbers{1, 4, 0}; // major, minor, release
    std::string Comment = "Made-up line";
};

// The .binx file with records of version Version (14, the one whose
// layout is read), each field as the layout lists it: block by block, 0
// where the record gives nothing.
inline std::string SyscalBinxFile(const std::vector<TSyscalBinaryRecord>& Records, int Version = 14,
                                  const TSyscalBinxHeader& Header = {})
{
    std::string bytes;
    const auto put = [&](uint64_t value, int size) { AppendLittleEndian(bytes, value, size); };
    const auto zeros = [&](size_t count) { bytes.append(count, '\0'); };
    const auto text = [&](const std::string& value) { put(value.size(), 4), bytes += value; };
    const auto real = [&](double value) { put(std::bit_cast<uint64_t>(value), 8); };
    put(Header.Version, 4), put(static_cast<uint64_t>(Header.Type), 1);
    if (Header.Version == 6)
        put(static_cast<uint64_t>(Header.Software), 1), put(static_cast<uint64_t>(Header.Numbers[0]), 2),
            put(static_cast<uint64_t>(Header.Numbers[1]), 2), put(static_cast<uint64_t>(Header.Numbers[2]), 2);
    text(Header.Comment), text("C:\\Made-up"), put(0, 4), put(0, 4), put(Records.size(), 4);
    for (const TSyscalBinaryRecord& record : Records) {
        // 1. version, times, overload, stacks, SP Vp In M, M1..M20, k, rho, deviations, contact, Tx/Rx, raw files, name
        put(static_cast<uint32_t>(Version), 4), real(1.0), real(0.5), put(0, 4), put(4, 4);
        real(record.Sp), real(record.Vp), real(record.In), real(record.M);
        for (float window : record.WindowChargeabilities)
            real(window);
        real(-75.4), real(record.Rho), real(record.Deviation), real(0.1), real(1.5);
        zeros(5 * 4 + 800 * 4), text("raw.bin");
        // 2. current, Vab max, array, stacks, deviations, times, windows, filter .. deviation unit, sequence
        zeros(4 + 8), put(11, 2), zeros(2 * 4 + 2 * 8 + 3 * 4 + 20 * 4 + 1 + 2 * 4 + 4 + 1 + 4 + 4 + 1), text("DD");
        // 3. sequence numbers, spacing, channels, gap filler, range, gain index, gain, offset
        zeros(10 * 4 + 8 + 2 * 4 + 1 + 2 + 2 * 8);
        // 4. A, B, M, N (x, y, z, depth, four numbers, a bool), then the grid
        for (size_t e = 0; e < 4; ++e)
            real(record.X[e]), real(record.Y[e]), real(record.Z[e]), zeros(8 + 4 + 2 + 3 * 4 + 1);
        zeros(4 * 8 + 4 + 2 + 3 * 4 + 1 + 2 * 8);
        // 5. remote flags, latitude, longitude, injection files, Cole-Cole
        zeros(1 + 1 + 9 + 2 * 8 + 2 + 3 * 4), text(""), text(""), zeros(3 * 8 + 1);
        // 6. quadrupole counts, injection number
        zeros(6 * 4 + 4);
        // 7. the instrument's state up to version 14, two time stamps
        zeros(54 + 30 + 20 + 8 + 4 + 10 + 28 + 1 + 1), put(2, 4), zeros(2 * 8), zeros(40 * 8 + 2 * 8 + 9);
    }
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
