// The Syscal Pro text export read as the instrument writes it: the four
// header variants, leading unnamed columns, ragged rows, remotes, IP and
// elevations; rows without a measurement skipped and counted by line.

#include "section/survey/formats/SyscalTextFile.h"

#include "section/survey/DataFile.h"
#include "section/survey/MeasuredData.h"
#include "tests/section/survey/formats/RemoteLayout.h"
#include "tests/section/survey/formats/SquareRemote.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {



std::string SyscalRefusal(const std::string& Text)
{
    try {
        ReadSyscalText(Text);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

// Variant a. with a row counter before the empty leading column: the
// resistance V/I taken, not the instrument's Rho; the reciprocal kept as a
// datum of its own; B at 9999999 a pole; unusable rows counted by line.
TEST(SyscalTextFile, ReadsSpacingColumnsWithRemotesAndSkipsUnmeasuredRows)
{
    const std::string text =
        "1,,El-array,Spa.1,Spa.2,Spa.3,Spa.4,Rho ,Dev., M  ,Sp  ,Vp  ,In\r\n"
        "2,,Mixed / non conventional,0.00,1.00,2.00,3.00,52.40,0.2,0.00,4.1,-812.300,97.400\r\n"
        "3,,Mixed / non conventional,2.00,3.00,0.00,1.00,51.90,0.5,0.00,-3.0,-804.900,96.800,,\r\n"
        "4,,Pole Dipole,4.00,9999999.00,6.00,7.00,61.12,1.1,0.00,2.2,35.210,120.00\r\n"
        "5,,Mixed / non conventional,0.00,1.00,2.00,3.00,52.40,0.2,0.00,4.1,-812.300,0\r\n"
        "6,,Mixed / non conventional,0.00,1.00,2.00,3.00,52.40,0.2,0.00,4.1,-,97.4\r\n"
        "7,,Mixed / non conventional,0.00,1.00,2.00,3.00,52.40,0.2,0.00,4.1,1e38,97.4\r\n"
        "8,,Mixed / non conventional,0.00,1.00,2.00,3.00,52.40\r\n";
    const TMeasuredData data = ReadSyscalText(text);
    EXPECT_EQ(data.Format, TDataFormat::SyscalText);
    ASSERT_EQ(data.Electrodes.size(), 7u); // 0 1 2 3 4 6 7
    EXPECT_DOUBLE_EQ(data.Electrodes[4].x, 4.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[6].x, 7.0);
    EXPECT_FALSE(data.HasElevations);
    ASSERT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{0, 1, 2, 3}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{2, 3, 0, 1}));
    EXPECT_EQ(data.Configurations[2], (TConfiguration{4, -1, 5, 6}));
    EXPECT_EQ(data.Lines, (std::vector<int>{2, 3, 4}));
    ASSERT_EQ(data.Resistances.size(), 3u);
    EXPECT_DOUBLE_EQ(data.Resistances[0], -812.3 / 97.4);
    EXPECT_DOUBLE_EQ(data.Resistances[2], 35.21 / 120.0);
    // Dipole-dipole of unit spacing: k = -6 pi; pole-dipole at 2 and 3: 12 pi.
    EXPECT_NEAR(data.Resistivities[0], -6.0 * std::numbers::pi * (-812.3 / 97.4), 1e-9);
    EXPECT_NEAR(data.Resistivities[1], -6.0 * std::numbers::pi * (-804.9 / 96.8), 1e-9);
    EXPECT_NEAR(data.Resistivities[2], 12.0 * std::numbers::pi * (35.21 / 120.0), 1e-9);
    EXPECT_NEAR(data.Voltages[0], -0.8123, 1e-12);
    EXPECT_TRUE(data.Chargeabilities.empty()); // M 0 everywhere: no IP
    EXPECT_TRUE(data.Errors.empty());          // Dev. is no data error
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{5, 6, 7, 8}));
    EXPECT_NE(data.Skipped.Text().find("lines 5, 6, 7, 8"), std::string::npos) << data.Skipped.Text();
}

// Variants b. and d.: x in "xA(m)" and "xA (m)"; d.'s z the relief, its M
// the chargeability in mV/V (the data set's per cent), Global x not read.
TEST(SyscalTextFile, ReadsNamedColumnsWithChargeabilityAndElevations)
{
    const TMeasuredData b = ReadSyscalText(
        "El-array,xA(m),xB(m),xM(m),xN(m),Rho (Ohm.m),Dev.,M (mV/V),SP (mV),VMN (mV),IAB (mA)\n"
        "Wenner,0,3,1,2,10.0,0.0,12.5,0.1,50.0,100.0\n");
    ASSERT_EQ(b.Size(), 1u);
    // Wenner a = 1: k = 2 pi.
    EXPECT_NEAR(b.Resistivities[0], 2.0 * std::numbers::pi * 0.5, 1e-12);
    ASSERT_EQ(b.Chargeabilities.size(), 1u);
    EXPECT_DOUBLE_EQ(b.Chargeabilities[0], 1.25);

    const TMeasuredData d = ReadSyscalText(
        "El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),Dev. M,Dev. Rho (%),M (mV/V),SP (mV),VMN (mV),IAB (mA),"
        "yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),zN (m),Global xA (m),Global xB (m)\n"
        "Mixed / non conventional,0,2,4,6,33.10,0.40,0.02,6.25,1.5,-62.110,50.200,0,0,0,0,10.5,10.4,10.1,9.8,500,502\n"
        "Mixed / non conventional,2,4,6,8,33.10,0.40,0.02,0,1.5,-60.0,50.0,0,0,0,0,10.4,10.1,9.8,9.5,502,504\n");
    ASSERT_EQ(d.Electrodes.size(), 5u);
    EXPECT_TRUE(d.HasElevations);
    EXPECT_DOUBLE_EQ(d.Electrodes[0].z, 10.5);
    EXPECT_DOUBLE_EQ(d.Electrodes[4].x, 8.0);
    EXPECT_DOUBLE_EQ(d.Electrodes[4].z, 9.5);
    ASSERT_EQ(d.Chargeabilities.size(), 2u);
    EXPECT_DOUBLE_EQ(d.Chargeabilities[0], 0.625);
    EXPECT_DOUBLE_EQ(d.Chargeabilities[1], 0.0);
    EXPECT_DOUBLE_EQ(d.Resistances[0], -62.11 / 50.2);
}

// Columns of y: the electrodes keep their map places (a line of a site).
// A line along x at y 8 goes back to a unified file on the map and reads
// back the same; so does a skewed one with an electrode off its line (on
// the map where its places read back as its distances, else by them).
TEST(SyscalTextFile, ColumnsOfYKeepTheMapPlacesAndTheUnifiedFileReadsBackTheSame)
{
    const std::string header = "El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),VMN (mV),IAB (mA),"
                               "yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),zN (m)\n";
    const TMeasuredData along = ReadSyscalText(header +
        "Dipole-dipole,0,2,4,6,30,-50,100,8,8,8,8,101,101.2,101.3,101.5\n"
        "Dipole-dipole,2,4,6,8,30,-50,100,8,8,8,8,101.2,101.3,101.5,101.4\n");
    ASSERT_EQ(along.Electrodes.size(), 5u);
    for (const TElectrode& electrode : along.Electrodes) {
        ASSERT_TRUE(electrode.Map.has_value());
        EXPECT_EQ(*electrode.Map, (TMapPoint{electrode.x, 8.0}));
    }
    const std::string written = FormatMeasuredData(along, 3.0);
    EXPECT_NE(written.find("# x y z"), std::string::npos) << written;
    const TMeasuredData again = ReadUnifiedMeasuredData(written);
    ASSERT_EQ(again.Electrodes.size(), along.Electrodes.size());
    for (size_t e = 0; e < along.Electrodes.size(); ++e) {
        EXPECT_DOUBLE_EQ(again.Electrodes[e].x, along.Electrodes[e].x);
        EXPECT_DOUBLE_EQ(again.Electrodes[e].z, along.Electrodes[e].z);
        EXPECT_EQ(again.Electrodes[e].Map, along.Electrodes[e].Map);
    }

    const TMeasuredData skewed = ReadSyscalText(header +
        "Dipole-dipole,0,2,4,6,30,-50,100,0,2,4,6.5,101,101.2,101.3,101.5\n"
        "Dipole-dipole,2,4,6,8,30,-50,100,2,4,6.5,8,101.2,101.3,101.5,101.4\n");
    ASSERT_TRUE(skewed.Electrodes.front().Map.has_value());
    const TMeasuredData back = ReadUnifiedMeasuredData(FormatMeasuredData(skewed, 3.0));
    ASSERT_EQ(back.Electrodes.size(), skewed.Electrodes.size());
    for (size_t e = 0; e < skewed.Electrodes.size(); ++e) {
        EXPECT_EQ(back.Electrodes[e].x, skewed.Electrodes[e].x);
        EXPECT_EQ(back.Electrodes[e].z, skewed.Electrodes[e].z);
    }
}

// Variant c. along y (x the same everywhere): y is the distance along the line.
TEST(SyscalTextFile, ALineAlongYUsesY)
{
    const TMeasuredData data = ReadSyscalText(
        "El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),Dev. Rho (%),SP (mV),VMN (mV),IAB (mA),Time (ms),"
        "Coef. k (m),yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),zN (m),N\xB0 electrode A\n"
        "Dipole-dipole,5,5,5,5,20,0.1,0,100,50,250,-18.85,20,18,16,14,0,0,0,0,1\n");
    ASSERT_EQ(data.Electrodes.size(), 4u);
    EXPECT_DOUBLE_EQ(data.Electrodes.front().x, 14.0);
    EXPECT_DOUBLE_EQ(data.Electrodes.back().x, 20.0);
    EXPECT_FALSE(data.HasElevations);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{3, 2, 1, 0}));
    // Dipole-dipole a = 2, n = 1: k = 6 pi a, its sign from the order.
    EXPECT_NEAR(std::fabs(data.Resistivities[0]), 12.0 * std::numbers::pi * 2.0, 1e-9);
}

TEST(SyscalTextFile, RefusesWhatItCannotReadNamingTheLine)
{
    EXPECT_EQ(SyscalRefusal("El-array,Spa.1,Spa.2,Spa.3,Rho\n"),
              "Line 1: the Syscal header names El-array and the x of A, B, M and N (Spa.1 .. Spa.4, xA(m) .. or xA "
              "(m) ..), not \"El-array,Spa.1,Spa.2,Spa.3,Rho\".");
    EXPECT_EQ(SyscalRefusal("El-array,Spa.1,Spa.2,Spa.3,Spa.4,Dev.\nW,0,1,2,3,0\n"),
              "Line 1: the Syscal header names no value: Vp and In (VMN (mV) and IAB (mA)), or Rho.");
    EXPECT_EQ(SyscalRefusal("El-array,Spa.1,Spa.2,Spa.3,Spa.4,Vp,In\nW,0,1,2,3,5,1\nW,0,one,2,3,5,1\n"),
              "Line 3: column 3 holds \"one\" where a number is read.");
    // Both current electrodes at infinity: no datum the note describes.
    EXPECT_EQ(SyscalRefusal("El-array,Spa.1,Spa.2,Spa.3,Spa.4,Vp,In\nW,9999999,-9999999,2,3,5,1\n"),
              "Line 2: the datum has no current electrode (A and B are absent).");
}

// A remote at a real place off the line was refused ("a remote electrode off
// the line is not yet modelled"). Variant c. with B 10 spacings off the line:
// read at its place, as the Res2DInv reader reads the same layout; a datum
// with both current electrodes off the line is refused naming its line.
TEST(SyscalTextFile, ReadsARemoteOffTheLineAtItsPlace)
{
    const std::string header = "El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),Dev. Rho (%),SP (mV),VMN (mV),IAB (mA),"
                               "Time (ms),Coef. k (m),yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),zN (m)\n";
    std::string text = header;
    const auto n = test::RemoteLayoutNumber;
    for (const test::TRemoteDatum& d : test::RemoteLayout())
        text += "Pole Dipole," + n(d.A) + "," + n(test::RemoteX) + "," + n(d.M) + "," + n(d.N) + ",99.9,0.0,1.5," +
                n(100.0 * d.R) + ",100,250,-1,0," + n(test::RemoteY) + ",0,0,0,0,0,0\n";
    test::ExpectRemoteLayout(ReadSyscalText(text));

    EXPECT_EQ(SyscalRefusal(text + "Mixed,-50,60,2,4,99.9,0.0,1.5,12,100,250,-1,20,-30,0,0,0,0,0,0\n"),
              "Line 14: both current electrodes stand off the line (at x, y (-50, 20) and (60, -30)): an electrode "
              "off the line is read only as a remote one, its partner on the line, as in pole-dipole and pole-pole "
              "data.");
    // Its place at infinity in the same variant: a pole.
    const TMeasuredData pole =
        ReadSyscalText(header + "Pole Dipole,0,-50,2,4,99.9,0.0,1.5,150,100,250,-1,0,9999999,0,0,0,0,0,0\n");
    EXPECT_EQ(pole.Configurations.at(0).b, -1);
    EXPECT_EQ(pole.Electrodes.size(), 3u);
}

// A remote 20 m off the line square from electrode 24 (x = 69, that
// electrode's x exactly) was read, but its computation refused
// ("Electrodes 24 and 49 stand at one place (x = 69)").
TEST(SyscalTextFile, ARemoteSquareFromALineElectrodeIsComputedAtItsPlace)
{
    std::string text = "El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),Dev. Rho (%),SP (mV),VMN (mV),IAB (mA),"
                       "Time (ms),Coef. k (m),yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),zN (m)\n";
    const auto n = test::RemoteLayoutNumber;
    for (const test::TSquareDatum& d : test::SquareRemoteLayout())
        text += "Pole Dipole," + n(d.A) + "," + n(test::SquareRemoteX) + "," + n(d.M) + "," + n(d.N) + ",99.9,0.0,1.5," +
                n(100.0 * d.R) + ",100,250,-1,0," + n(test::SquareRemoteY) + ",0,0,0,0,0,0\n";
    test::ExpectSquareRemoteComputed(ReadSyscalText(text));
}

} // namespace
} // namespace lp
