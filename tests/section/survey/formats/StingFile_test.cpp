// The Sting export read as the instrument writes it: electrodes by x, y, z
// (the relief from z), R = V/I the value, feet turned into metres, IP
// readings left out with a warning.

#include "section/survey/formats/StingFile.h"

#include "section/survey/DataFile.h"
#include "tests/section/survey/formats/RemoteLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {



const char* StingHeader = "Advanced Geosciences, Inc. SuperSting R8-IP Resistivity meter. S/N: SS0000001 Type: 3D\n"
                     "Firmware version: 01.03.41E Survey period: 20200301 Records: 4\n";

std::string StingRow(int Record, const char* Resistance, const char* Current, const char* Places, const char* Tail = "")
{
    return std::to_string(Record) + ",USER   ,20200301,10:02:11, " + Resistance + ",   4, " + Current +
           ", 9.42478E+01,X0       ," + Places + ",Cmd=1,HV=300,Cyk=1" + Tail + "\n";
}

TEST(StingFile, ReadsElectrodesByCoordinatesWithTheirElevations)
{
    const std::string text =
        std::string(StingHeader) + "Unit: meter\n" +
        // Dipole-dipole a = 2, n = 1 over a slope.
        StingRow(1, "2.50000E+00", "500",
            " 2.0E+00, 0.0E+00, 1.50E+01, 0.0E+00, 0.0E+00, 1.50E+01, 4.0E+00, 0.0E+00, 1.48E+01, 6.0E+00, 0.0E+00, "
            "1.46E+01") +
        StingRow(2, "-1.20000E-01", "480",
            " 4.0E+00, 0.0E+00, 1.48E+01, 2.0E+00, 0.0E+00, 1.50E+01, 6.0E+00, 0.0E+00, 1.46E+01, 8.0E+00, 0.0E+00, "
            "1.44E+01") +
        StingRow(3, "1.0E+00", "0",
            " 4.0E+00, 0.0E+00, 1.48E+01, 2.0E+00, 0.0E+00, 1.50E+01, 6.0E+00, 0.0E+00, 1.46E+01, 8.0E+00, 0.0E+00, "
            "1.44E+01") +
        // B at infinity: a pole.
        StingRow(4, "3.0E-01", "500",
            " 0.0E+00, 0.0E+00, 1.50E+01, 9.99999E+06, 0.0E+00, 0.0E+00, 2.0E+00, 0.0E+00, 1.50E+01, 4.0E+00, "
            "0.0E+00, 1.48E+01");
    const TMeasuredData data = ReadSting(text);
    EXPECT_EQ(data.Format, TDataFormat::Sting);
    ASSERT_EQ(data.Electrodes.size(), 5u); // 0 2 4 6 8
    EXPECT_TRUE(data.HasElevations);
    EXPECT_DOUBLE_EQ(data.Electrodes[1].z, 15.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[4].z, 14.4);
    ASSERT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{1, 0, 2, 3}));
    EXPECT_EQ(data.Configurations[2], (TConfiguration{0, -1, 1, 2}));
    EXPECT_EQ(data.Lines, (std::vector<int>{4, 5, 7}));
    EXPECT_DOUBLE_EQ(data.Resistances[0], 2.5);
    // The flat ground's k over the electrodes' true distances (x and z):
    // A (2, 15), B (0, 15), M (4, 14.8), N (6, 14.6).
    const auto k = [](double am, double bm, double an, double bn) {
        return 2.0 * std::numbers::pi / (1.0 / am - 1.0 / bm - 1.0 / an + 1.0 / bn);
    };
    EXPECT_NEAR(data.Resistivities[0],
                k(std::hypot(2.0, 0.2), std::hypot(4.0, 0.2), std::hypot(4.0, 0.4), std::hypot(6.0, 0.4)) * 2.5, 1e-9);
    // Pole-dipole A (0, 15), M (2, 15), N (4, 14.8).
    EXPECT_NEAR(data.Resistivities[2], 2.0 * std::numbers::pi / (1.0 / 2.0 - 1.0 / std::hypot(4.0, 0.2)) * 0.3, 1e-12);
    EXPECT_NEAR(data.Voltages[0], 2.5 * 0.5, 1e-12);
    EXPECT_TRUE(data.Errors.empty());
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{6}));
    // The date and time fields were dropped: a series could not be put in time order.
    // 2020-03-01 is day 18322 since 1970-01-01.
    EXPECT_EQ(data.Times, std::vector<double>(3, 18322 * 86400.0 + 10 * 3600.0 + 2 * 60.0 + 11.0));
}

TEST(StingFile, TurnsFeetIntoMetresAndLeavesIpOut)
{
    const TMeasuredData data = ReadSting(
        std::string(StingHeader) + "Unit: feet\n" +
        StingRow(1, "1.0", "500", " 0, 0, 0, 10, 0, 0, 20, 0, 0, 30, 0, 0", ",IP: 2, 100, 1.2, 1.3, 1.1, 1.0, 0.9, 0.8, 6.3"));
    ASSERT_EQ(data.Electrodes.size(), 4u);
    EXPECT_DOUBLE_EQ(data.Electrodes[3].x, 30.0 * 0.3048);
    EXPECT_TRUE(data.Chargeabilities.empty());
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_NE(data.Warnings[0].find("IP readings"), std::string::npos);
}

TEST(StingFile, RefusesWhatItCannotReadNamingTheLine)
{
    const auto refusal = [](const std::string& text) {
        try {
            ReadSting(text);
        } catch (const EDataFileError& error) {
            return error.Message();
        }
        return std::string("read");
    };
    EXPECT_EQ(refusal(std::string(StingHeader) + "Unit: yard\n"), "Line 3: the unit is meter or feet, not \" yard\".");
    EXPECT_EQ(refusal(std::string(StingHeader) + "1,USER,20200301,10:02:11,1.0,4,500\n"),
              "Line 3: a row has 7 fields where 21 or more are read (record, mode, date, time, V/I, error, current, "
              "rho, label, x y z of A, B, M and N).");
    EXPECT_EQ(refusal(std::string(StingHeader) + StingRow(1, "1.0", "500", " 0, 0, 0, 1, 0, 0, 2, 0, 0, three, 0, 0")),
              "Line 3: \"three\" is not a number.");
}

// A remote at a real place off the line was refused ("a remote electrode off
// the line is not yet modelled"): B 10 spacings off the line, read at its
// place as the Res2DInv reader reads the same layout.
TEST(StingFile, ReadsARemoteOffTheLineAtItsPlace)
{
    std::string text = std::string(StingHeader) + "Unit: meter\n";
    const auto n = test::RemoteLayoutNumber;
    int record = 0;
    for (const test::TRemoteDatum& d : test::RemoteLayout()) {
        const std::string places = n(d.A) + ",0,0," + n(test::RemoteX) + "," + n(test::RemoteY) + ",0," + n(d.M) +
                                   ",0,0," + n(d.N) + ",0,0";
        text += StingRow(++record, n(d.R).c_str(), "500", places.c_str());
    }
    test::ExpectRemoteLayout(ReadSting(text));
}

} // namespace
} // namespace lp
