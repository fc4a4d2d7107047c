// The OhmPi export read as the instrument writes it: electrodes by number
// on a line of unit spacing, R from r_[Ohm], reciprocals kept, rows without
// a measurement skipped and counted by line.

#include "section/survey/formats/OhmPiFile.h"

#include "section/survey/DataFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {

const char* OhmPiHeader = "time,a,b,m,n,injection_duration_[ms],vmn_[mV],vmn_std_[%],iab_[mA],iab_std_[%],r_[Ohm],"
                          "r_std_[%],rab_[kOhm],sp_[mV],nb_stack,vab_[V]\n";

std::string OhmPiRefusal(const std::string& Text)
{
    try {
        ReadOhmPi(Text);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

// Electrode n at n - 1 m: a Wenner of a = 1, its reciprocal, a
// dipole-dipole of a = 1, n = 3 whose negative R is that of its order (k
// negative too), and rows without a measurement.
TEST(OhmPiFile, ReadsNumberedElectrodesOnAUnitLine)
{
    const TMeasuredData data = ReadOhmPi(std::string(OhmPiHeader) +
                                         "2024-05-01T10:00:00.0,1,4,2,3,500.0,812.5,0.4,2.1,1.2,386.9,1.3,12.1,-3.2,2,12.0\n"
                                         "2024-05-01T10:00:06.0,2,3,1,4,500.0,640.0,0.6,1.9,1.5,336.8,1.7,13.0,4.4,2,12.0\n"
                                         "2024-05-01T10:00:12.0,1,2,5,6,500.0,10.0,0.6,2.0,1.5,-5.0,1.7,13.0,4.4,2,12.0\n"
                                         "2024-05-01T10:00:18.0,1,4,2,3,500.0,0.0,0.0,0.0,0.0,-,0,0,0,1,12.0\n"
                                         "2024-05-01T10:00:24.0,1,4,2,3,500.0,0.0,0.0,0.0,0.0,nan,0,0,0,1,12.0\n"
                                         "2024-05-01T10:00:30.0,1,4,2,3,500.0\n");
    EXPECT_EQ(data.Format, TDataFormat::OhmPi);
    ASSERT_EQ(data.Electrodes.size(), 6u);
    for (size_t e = 0; e < 6; ++e) {
        EXPECT_DOUBLE_EQ(data.Electrodes[e].x, static_cast<double>(e));
        EXPECT_DOUBLE_EQ(data.Electrodes[e].z, 0.0);
    }
    EXPECT_FALSE(data.HasElevations);
    ASSERT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{0, 3, 1, 2}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{1, 2, 0, 3})); // the reciprocal, a datum of its own
    EXPECT_EQ(data.Configurations[2], (TConfiguration{0, 1, 4, 5}));
    EXPECT_EQ(data.Lines, (std::vector<int>{2, 3, 4}));
    ASSERT_EQ(data.Resistances.size(), 3u);
    EXPECT_DOUBLE_EQ(data.Resistances[0], 386.9); // r_[Ohm], not vmn / iab recomputed
    EXPECT_DOUBLE_EQ(data.Resistances[2], -5.0);
    // k = 2 pi / (1/AM - 1/BM - 1/AN + 1/BN), worked by hand.
    const double wenner = 2.0 * std::numbers::pi / (1.0 / 1.0 - 1.0 / 2.0 - 1.0 / 2.0 + 1.0 / 1.0); // 2 pi
    const double reciprocal = 2.0 * std::numbers::pi / (1.0 / 1.0 - 1.0 / 2.0 - 1.0 / 2.0 + 1.0 / 1.0); // 2 pi
    const double dipoles = 2.0 * std::numbers::pi / (1.0 / 4.0 - 1.0 / 3.0 - 1.0 / 5.0 + 1.0 / 4.0); // -60 pi
    EXPECT_NEAR(data.Resistivities[0], wenner * 386.9, 1e-9);
    EXPECT_NEAR(data.Resistivities[1], reciprocal * 336.8, 1e-9);
    EXPECT_NEAR(data.Resistivities[2], dipoles * -5.0, 1e-9);
    EXPECT_GT(data.Resistivities[2], 0.0);
    EXPECT_NEAR(data.Voltages[0], 0.8125, 1e-12);
    EXPECT_TRUE(data.Chargeabilities.empty());
    EXPECT_TRUE(data.Errors.empty()); // r_std_[%] is the stacks' spread
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{5, 6, 7}));
    // The time column was dropped: a series of files could not be put in time order.
    // 2024-05-01 is day 19844 since 1970-01-01.
    const double day = 19844 * 86400.0 + 10 * 3600.0;
    EXPECT_EQ(data.Times, (std::vector<double>{day, day + 6.0, day + 12.0}));
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_NE(data.Warnings[0].find("no electrode positions"), std::string::npos) << data.Warnings[0];
}

// Without r_[Ohm], R = vmn_[mV] / iab_[mA]; a current of 0 is no measurement.
TEST(OhmPiFile, FormsTheResistanceFromVoltageAndCurrent)
{
    const TMeasuredData data = ReadOhmPi("a,b,m,n,vmn_[mV],iab_[mA]\r\n1,4,2,3,812.5,2.5\r\n1,4,2,3,812.5,0\r\n");
    ASSERT_EQ(data.Size(), 1u);
    EXPECT_DOUBLE_EQ(data.Resistances[0], 325.0);
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{3}));
}

TEST(OhmPiFile, RefusesWhatItCannotReadNamingTheLine)
{
    const std::string head = OhmPiHeader;
    EXPECT_EQ(OhmPiRefusal(head + "t,1,4,2,0,500,1,1,1,1,386.9\n"),
              "Line 2: electrode N (column 5) is a whole number from 1 to 99999, not \"0\".");
    EXPECT_EQ(OhmPiRefusal(head + "t,1,,2,3,500,1,1,1,1,386.9\n"),
              "Line 2: electrode B (column 3) is a whole number from 1 to 99999, not \"\".");
    EXPECT_EQ(OhmPiRefusal(head + "t,1,4,2,3,500,1,1,1,1,3 86\n"),
              "Line 2: column 11 holds \"3 86\" where a number is read.");
    EXPECT_EQ(OhmPiRefusal("time,a,b,m,n,rho\n"),
              "Line 1: the OhmPi header names the columns a, b, m, n and r_[Ohm] (or vmn_[mV] and iab_[mA]), not "
              "\"time,a,b,m,n,rho\".");
}

} // namespace
} // namespace lp
