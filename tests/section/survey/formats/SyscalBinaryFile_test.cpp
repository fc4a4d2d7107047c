// The Syscal Pro binary file read as the instrument writes it: records of
// each length, remotes, IP and elevations; records without a measurement
// skipped and counted by number; a truncated record, a wrong length flag
// and a header of another layout refused naming the record's byte.

#include "section/survey/formats/SyscalBinaryFile.h"

#include "section/survey/DataFile.h"
#include "tests/section/survey/formats/SyscalBinaryWriter.h"
#include "tests/section/survey/formats/RemoteLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <tuple>

namespace lp {
namespace {

using test::SyscalBinaryDatum;
using test::SyscalBinaryFile;
using test::TSyscalBinaryRecord;

std::string SyscalBinaryRefusal(const std::string& Bytes)
{
    try {
        ReadSyscalBinary(Bytes);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

// Records of 304, 296 and 280 bytes: the resistance Vp/In taken, not the
// instrument's rho; the reciprocal kept as a datum of its own; B at
// 9999999 a pole; records without a measurement counted by number.
TEST(SyscalBinaryFile, ReadsRecordsWithRemotesAndChargeabilitiesAndSkipsUnmeasured)
{
    std::vector<TSyscalBinaryRecord> records = {
        SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f, 12.5f),
        SyscalBinaryDatum({1, 2, 0, 3}, 30.25f, 10.0f, 11.0f),
        SyscalBinaryDatum({4, 9999999, 6, 7}, 35.25f, 120.0f, 2.0f),
        SyscalBinaryDatum({0, 3, 1, 2}, std::numeric_limits<float>::quiet_NaN(), 40.0f),
        SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 1e38f),
        SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 0.0f),
        SyscalBinaryDatum({0, std::numeric_limits<float>::quiet_NaN(), 1, 2}, 122.5f, 40.0f),
    };
    records[1].More = 2;
    records[2].More = 0;
    const std::string bytes = SyscalBinaryFile(records);
    ASSERT_EQ(bytes.size(), 1029u + 304 + 296 + 280 + 4 * 304);
    EXPECT_TRUE(IsSyscalBinary(bytes));

    const TMeasuredData data = ReadSyscalBinary(bytes);
    EXPECT_EQ(data.Format, TDataFormat::SyscalBinary);
    ASSERT_EQ(data.Electrodes.size(), 7u); // 0 1 2 3 4 6 7
    EXPECT_DOUBLE_EQ(data.Electrodes[4].x, 4.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[6].x, 7.0);
    EXPECT_FALSE(data.HasElevations);
    ASSERT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{0, 3, 1, 2}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{1, 2, 0, 3}));
    EXPECT_EQ(data.Configurations[2], (TConfiguration{4, -1, 5, 6}));
    EXPECT_EQ(data.Lines, (std::vector<int>{1, 2, 3}));
    ASSERT_EQ(data.Resistances.size(), 3u);
    EXPECT_DOUBLE_EQ(data.Resistances[0], 122.5 / 40.0);
    EXPECT_DOUBLE_EQ(data.Resistances[1], 30.25 / 10.0);
    EXPECT_DOUBLE_EQ(data.Resistances[2], 35.25 / 120.0);
    // Wenner a = 1: k = 2 pi; its reciprocal the same; pole-dipole at 2 and 3: 12 pi.
    EXPECT_NEAR(data.Resistivities[0], 2.0 * std::numbers::pi * 122.5 / 40.0, 1e-12);
    EXPECT_NEAR(data.Resistivities[1], 2.0 * std::numbers::pi * 30.25 / 10.0, 1e-12);
    EXPECT_NEAR(data.Resistivities[2], 12.0 * std::numbers::pi * 35.25 / 120.0, 1e-12);
    EXPECT_NEAR(data.Voltages[0], 0.1225, 1e-15);
    // 12.5 mV/V is 1.25 %.
    ASSERT_EQ(data.Chargeabilities.size(), 3u);
    EXPECT_DOUBLE_EQ(data.Chargeabilities[0], 1.25);
    EXPECT_DOUBLE_EQ(data.Chargeabilities[1], 1.1);
    EXPECT_DOUBLE_EQ(data.Chargeabilities[2], 0.2);
    EXPECT_TRUE(data.Errors.empty()); // the deviation is no data error
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{4, 5, 6, 7}));
    // A long record's date (days since 1899-12-30, 25569 days before 1970)
    // was dropped: a series could not be put in time order. The shorter
    // records have none.
    ASSERT_EQ(data.Times.size(), 3u);
    EXPECT_DOUBLE_EQ(data.Times[0], (46082.5 - 25569.0) * 86400.0);
    EXPECT_TRUE(std::isnan(data.Times[1]));
    EXPECT_TRUE(std::isnan(data.Times[2]));
}

// A line along y with elevations: y the distance along the line, z the
// relief; an M of 0 everywhere is no IP.
TEST(SyscalBinaryFile, ALineAlongYWithElevationsGivesTheRelief)
{
    TSyscalBinaryRecord record = SyscalBinaryDatum({5, 5, 5, 5}, 100.0f, 50.0f);
    record.Y = {20, 14, 18, 16};
    record.Z = {10.5f, 9.75f, 10.25f, 10.0f};
    const TMeasuredData data = ReadSyscalBinary(SyscalBinaryFile({record}));
    ASSERT_EQ(data.Electrodes.size(), 4u);
    EXPECT_DOUBLE_EQ(data.Electrodes.front().x, 14.0);
    EXPECT_DOUBLE_EQ(data.Electrodes.front().z, 9.75);
    EXPECT_DOUBLE_EQ(data.Electrodes.back().x, 20.0);
    EXPECT_DOUBLE_EQ(data.Electrodes.back().z, 10.5);
    EXPECT_TRUE(data.HasElevations);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{3, 0, 2, 1}));
    EXPECT_DOUBLE_EQ(data.Resistances[0], 2.0);
    EXPECT_TRUE(data.Chargeabilities.empty());
}

TEST(SyscalBinaryFile, RefusesWhatItCannotReadNamingTheRecord)
{
    const std::string header = test::SyscalBinaryHeader();
    const std::string record = test::SyscalBinaryRecord(SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f));
    // Truncated: the second record cut after 100 bytes.
    EXPECT_EQ(SyscalBinaryRefusal(header + record + record.substr(0, 100)),
              "Record 2 at byte 1333: the file ends within the record, 100 of its 304 bytes.");
    EXPECT_EQ(SyscalBinaryRefusal(header + record + record.substr(0, 1)),
              "Record 2 at byte 1333: the file ends within the record, 1 bytes into it.");
    // A length flag of 1: no record length this layout knows.
    std::string wrongLength = record;
    wrongLength[2] = 1;
    EXPECT_EQ(SyscalBinaryRefusal(header + record + wrongLength),
              "Record 2 at byte 1333: the record's length flag is 1, not 0, 2 or 3 (a record of 280, 296 or 304 "
              "bytes).");
    TSyscalBinaryRecord kid = SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f);
    kid.CoordinateType = 0;
    EXPECT_EQ(SyscalBinaryRefusal(SyscalBinaryFile({kid})),
              "Record 1 at byte 1029: the record gives no electrode positions (coordinate type 0, the small model's "
              "records): its electrodes cannot be placed.");
    // The rows' own refusals name the record too: A and B at infinity.
    EXPECT_EQ(SyscalBinaryRefusal(header + record + record +
                                  test::SyscalBinaryRecord(SyscalBinaryDatum({1e38f, 9999999, 1, 2}, 1.0f, 1.0f))),
              "Record 3 at byte 1637: the datum has no current electrode (A and B are absent).");
    EXPECT_EQ(SyscalBinaryRefusal(test::SyscalBinaryHeader(0x80000004u) + record),
              "Header at byte 0: the Syscal binary version is 0x80000004, not one of 0x80000000 .. 0x80000003 whose "
              "layout is read.");
    EXPECT_EQ(SyscalBinaryRefusal(test::SyscalBinaryHeader(0x80000002u, 2) + record),
              "Header at byte 4: the instrument type is 2, not a Syscal Pro's (3, 4, 5, 8, 9 or 11) whose records are "
              "read.");
    EXPECT_EQ(SyscalBinaryRefusal(header.substr(0, 600)),
              "Header at byte 600: the file ends within the 1029-byte Syscal binary header.");
}

// The format is told from the bytes, not the extension: a .dat binary is
// read as one, a truncated one refused naming its record, a text is not one.
TEST(SyscalBinaryFile, IsToldFromItsContent)
{
    const std::string bytes = SyscalBinaryFile({SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f)});
    EXPECT_EQ(RecogniseDataFormat(bytes), TDataFormat::SyscalBinary);
    EXPECT_EQ(ReadMeasuredData(bytes, std::nullopt, "dat").Size(), 1u);
    try {
        ReadMeasuredData(bytes.substr(0, 1200), std::nullopt, "bin");
        ADD_FAILURE() << "a truncated record read";
    } catch (const EDataFileError& error) {
        EXPECT_EQ(error.Message(), "Record 1 at byte 1029: the file ends within the record, 171 of its 304 bytes.");
    }
    EXPECT_FALSE(IsSyscalBinary(std::string(2000, ' ')));
    EXPECT_FALSE(IsSyscalBinary(test::SyscalBinaryHeader()));
    EXPECT_FALSE(IsSyscalBinary(test::SyscalBinaryHeader(0x80000002u, 2) + bytes.substr(1029)));
}

std::string SyscalBinxRefusal(const std::string& Bytes)
{
    try {
        ReadSyscalBinx(Bytes);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

// The .binx file: a 54-byte header here (two strings) and records of 4619
// bytes (the seven blocks of version 14 with a 7-byte file name, a 2-byte
// sequence name and two time stamps); the same data as a .bin file gives.
TEST(SyscalBinaryFile, ReadsBinxRecordsWithRemotesChargeabilitiesAndRelief)
{
    std::vector<TSyscalBinaryRecord> records = {
        SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f, 12.5f),
        SyscalBinaryDatum({4, 9999999, 6, 7}, 35.25f, 120.0f, 2.0f),
        SyscalBinaryDatum({0, 3, 1, 2}, 1e38f, 40.0f),
    };
    records[0].Z = {10.5f, 9.75f, 10.25f, 10.0f};
    const std::string bytes = test::SyscalBinxFile(records);
    ASSERT_EQ(bytes.size(), 54u + 3 * 4619);
    EXPECT_EQ(RecogniseDataFormat(bytes), TDataFormat::SyscalBinx);
    const TMeasuredData data = ReadMeasuredData(bytes, std::nullopt, "dat");
    EXPECT_EQ(data.Format, TDataFormat::SyscalBinx);
    ASSERT_EQ(data.Electrodes.size(), 7u);
    EXPECT_TRUE(data.HasElevations);
    EXPECT_DOUBLE_EQ(data.Electrodes[1].z, 10.25);
    EXPECT_DOUBLE_EQ(data.Electrodes[6].x, 7.0);
    ASSERT_EQ(data.Size(), 2u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{0, 3, 1, 2}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{4, -1, 5, 6}));
    EXPECT_DOUBLE_EQ(data.Resistances[0], 122.5 / 40.0);
    EXPECT_NEAR(data.Resistivities[1], 12.0 * std::numbers::pi * 35.25 / 120.0, 1e-12);
    ASSERT_EQ(data.Chargeabilities.size(), 2u);
    EXPECT_DOUBLE_EQ(data.Chargeabilities[0], 1.25);
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{3}));
}

TEST(SyscalBinaryFile, RefusesABinxFileItCannotReadNamingTheRecord)
{
    const TSyscalBinaryRecord datum = SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f);
    const std::string two = test::SyscalBinxFile({datum, datum});
    EXPECT_EQ(SyscalBinxRefusal(two.substr(0, two.size() - 10)),
              "Record 2 at byte 4673: the Syscal Pro .binx file ends within the record, at byte 9282.");
    EXPECT_EQ(SyscalBinxRefusal(two + "xy"), "Record 3 at byte 9292: the Syscal Pro .binx file goes on after its 2 records.");
    EXPECT_EQ(SyscalBinxRefusal(test::SyscalBinxFile({datum}, 13)),
              "Record 1 at byte 54: this Syscal Pro binary file (.binx) holds records of version 13, whose layout is "
              "not read: only records of version 14 are.");
    EXPECT_FALSE(IsSyscalBinx(test::SyscalBinxFile({datum}, 13)));
    std::string version5 = two;
    version5[0] = 5;
    EXPECT_EQ(SyscalBinxRefusal(version5),
              "Header at byte 0: this Syscal Pro binary file (.binx) is of version 5, whose layout is not read: only "
              "version 6 is.");
    EXPECT_EQ(SyscalBinxRefusal(two.substr(0, 30)), "Header at byte 0: the Syscal Pro .binx file ends within the header, at byte 30.");
    // Both current electrodes at infinity: the rows' refusal names the record.
    EXPECT_EQ(SyscalBinxRefusal(test::SyscalBinxFile({datum, SyscalBinaryDatum({1e38f, -9999999, 1, 2}, 1, 1)})),
              "Record 2 at byte 4673: the datum has no current electrode (A and B are absent).");
}

// A .binx file as the instrument writes it: version 6, instrument type 14,
// software 0, version numbers 0 0 0 and the comment "SYSCAL Pro". Records
// of version 14 are read; a file or record version whose layout is not
// read was taken for no format at all ("in no format this program
// reads"), and is now refused as the Syscal binary file it is, saying
// which version is not read.
TEST(SyscalBinaryFile, ReadsOrRefusesByNameABinxFileOfTheInstrument)
{
    test::TSyscalBinxHeader instrument;
    instrument.Type = 14;
    instrument.Software = 0;
    instrument.Numbers = {0, 0, 0};
    instrument.Comment = "SYSCAL Pro";
    const std::vector<TSyscalBinaryRecord> records = {SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f),
                                                      SyscalBinaryDatum({1, 4, 2, 3}, 60.0f, 0.0f),
                                                      SyscalBinaryDatum({2, 5, 3, 4}, -12.0f, 8.0f)};
    const std::string bytes = test::SyscalBinxFile(records, 14, instrument);
    ASSERT_EQ(bytes.size(), 52u + 3 * 4619);
    const TMeasuredData data = ReadMeasuredData(bytes, std::nullopt, "binx");
    EXPECT_EQ(data.Format, TDataFormat::SyscalBinx);
    ASSERT_EQ(data.Size(), 2u);
    EXPECT_EQ(data.Electrodes.size(), 6u);
    EXPECT_EQ(data.Configurations[1], (TConfiguration{2, 5, 3, 4}));
    EXPECT_DOUBLE_EQ(data.Resistances[0], 122.5 / 40.0);
    EXPECT_DOUBLE_EQ(data.Resistances[1], -1.5);
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{2}));

    const auto refusal = [](const std::string& Bytes, std::string_view Extension) {
        EXPECT_EQ(RecogniseDataFormat(Bytes), TDataFormat::SyscalBinx);
        try {
            ReadMeasuredData(Bytes, std::nullopt, Extension);
        } catch (const EDataFileError& error) {
            return error.Message();
        }
        return std::string("read");
    };
    EXPECT_EQ(refusal(test::SyscalBinxFile(records, 15, instrument), "binx"),
              "Record 1 at byte 52: this Syscal Pro binary file (.binx) holds records of version 15, whose layout is "
              "not read: only records of version 14 are.");
    test::TSyscalBinxHeader older = instrument;
    older.Version = 0x80000003u;
    EXPECT_EQ(refusal(test::SyscalBinxFile(records, 14, older), "dat"),
              "Header at byte 0: this Syscal Pro binary file (.binx) is of version 0x80000003 (version 2), whose "
              "layout is not read: only version 6 is.");
    test::TSyscalBinxHeader later = instrument;
    later.Version = 7;
    EXPECT_EQ(refusal(test::SyscalBinxFile(records, 16, later), ""),
              "Header at byte 0: this Syscal Pro binary file (.binx) is of version 7, whose layout is not read: only "
              "version 6 is.");
    // Not taken for a .bin file of the same version number.
    older.Type = 11;
    EXPECT_FALSE(IsSyscalBinary(test::SyscalBinxFile(records, 14, older)));
}

// A remote at a real place off the line was refused ("a remote electrode off
// the line is not yet modelled"): records with B 10 spacings off the line,
// in a .bin and a .binx file, read at its place as the Res2DInv reader reads
// the same layout.
TEST(SyscalBinaryFile, ReadsARemoteOffTheLineAtItsPlace)
{
    std::vector<TSyscalBinaryRecord> records;
    for (const test::TRemoteDatum& d : test::RemoteLayout()) {
        TSyscalBinaryRecord record = SyscalBinaryDatum(
            {float(d.A), float(test::RemoteX), float(d.M), float(d.N)}, float(100.0 * d.R), 100.0f);
        record.Y[1] = float(test::RemoteY);
        records.push_back(record);
    }
    test::ExpectRemoteLayout(ReadSyscalBinary(SyscalBinaryFile(records)));
    test::ExpectRemoteLayout(ReadSyscalBinx(test::SyscalBinxFile(records)));
}

// The binary files' warnings and skipped data said "line 2" of a file that
// has records and bytes: they name the record and its byte now. A line
// along x with its second record's M 2 m off it, and a record without a
// current (skipped), in a .bin and in a .binx file.
TEST(SyscalBinaryFile, WarningsAndSkippedDataNameRecordsAndTheirBytes)
{
    std::vector<TSyscalBinaryRecord> records;
    for (float a = 0.0f; a < 40.0f; a += 10.0f)
        records.push_back(SyscalBinaryDatum({a, a + 10.0f, a + 20.0f, a + 30.0f}, 100.0f, 50.0f));
    records[1].X[2] = 35.0f; // M of the second record, between the line's electrodes
    records[1].Y[2] = 2.0f;
    records[2].In = 0.0f;
    const std::vector<std::tuple<const char*, std::string, TMeasuredData (*)(std::string_view), size_t>> files = {
        {".bin", test::SyscalBinaryFile(records), &ReadSyscalBinary, 1333},
        {".binx", test::SyscalBinxFile(records), &ReadSyscalBinx, 4673},
    };
    for (const auto& [name, bytes, read, second] : files) {
        const TMeasuredData data = read(bytes);
        ASSERT_EQ(data.Warnings.size(), 1u) << name;
        EXPECT_NE(data.Warnings[0].find("first placed on record 2 at byte " + std::to_string(second)),
                  std::string::npos)
            << data.Warnings[0];
        EXPECT_EQ(data.Skipped.Text(), "1 row without a measurement (no value, a current of 0, or a failed reading: "
                                       "record 3)")
            << name;
        EXPECT_EQ(LinePlace(data.Format, 3), "Record 3");
    }
    EXPECT_EQ(LinePlace(TDataFormat::SyscalText, 3), "Line 3");
}

} // namespace
} // namespace lp
