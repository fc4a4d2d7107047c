// The DAS-1 export read as the instrument writes it: electrodes by
// "cable,electrode" along y (x the same everywhere), R from the column the
// settings name, failed readings skipped and counted by line.

#include "section/survey/formats/Das1File.h"

#include "section/survey/DataFile.h"
#include "tests/section/survey/formats/ExpectedExportData.h"
#include "tests/section/survey/formats/InstrumentExportWriter.h"
#include "tests/section/survey/formats/RemoteLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {

using test::TDas1Export;
using test::Das1Export;

const char* Das1Electrodes = "!Made-up survey\r\n"
                             "#elec_start\r\n"
                             "!Cbl# El# Elec-X  Elec-Y  Elec-Z  Terrn-Z  Type  El.Num\r\n"
                             "002,01 +5.0000 +20.000 +.00000 +.00000 001\r\n"
                             "002,02 +5.0000 +18.000 +.00000 +.00000 002\r\n"
                             "002,03 +5.0000 +16.000 +.50000 +.00000 003\r\n"
                             "002,04 +5.0000 +14.000 +1.0000 +.00000 004\r\n"
                             "002,05 +5.0000 +12.000 +1.5000 +.00000 005\r\n"
                             "#elec_end\r\n"
                             "#data_res_col= 011\r\n"
                             "#data_std_res_col= 012\r\n"
                             "#data_ip_wind_col= -001\r\n"
                             "#data_start\r\n"
                             "! ID      A      B      M      N      Appres      V/I,      Std.\r\n"
                             "! num   Ca El  Ca El  Ca El  Ca El   (Ohm-m)     (Ohms)    (Ohms)\r\n";

TEST(Das1File, ReadsALineAlongYWithItsElevations)
{
    const TMeasuredData data = ReadDas1(std::string(Das1Electrodes) +
                                        "000001 002,01 002,04 002,02 002,03 +102.40 +8.150000 +.0120000\r\n"
                                        "000002 002,02 002,05 002,03 002,04\t * * TX Resist. out of range * *\r\n"
                                        "000003 002,02 002,05 002,03 002,04 +99.0 +1.0E38 +.01\r\n"
                                        "000004 002,05 002,02 002,04 002,03 +99.0 -.5 +.01\r\n"
                                        "#data_end\r\n");
    EXPECT_EQ(data.Format, TDataFormat::Das1);
    ASSERT_EQ(data.Electrodes.size(), 5u);
    // y is the distance along the line.
    EXPECT_DOUBLE_EQ(data.Electrodes[0].x, 12.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[0].z, 1.5);
    EXPECT_DOUBLE_EQ(data.Electrodes[4].x, 20.0);
    EXPECT_TRUE(data.HasElevations);
    ASSERT_EQ(data.Size(), 2u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{4, 1, 3, 2}));
    EXPECT_EQ(data.Lines, (std::vector<int>{16, 19}));
    EXPECT_DOUBLE_EQ(data.Resistances[0], 8.15);
    EXPECT_DOUBLE_EQ(data.Resistances[1], -0.5);
    EXPECT_TRUE(data.Errors.empty()); // Std. is the stacks' spread
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{17, 18}));
}

// A borehole's electrodes below the terrain (Elec-Z under Terrn-Z): buried
// as deep as the file says, the hole's top too; a surface electrode (the
// two equal) on the surface.
TEST(Das1File, ElectrodesBelowTheTerrainAreBuriedAsDeepAsTheFileSays)
{
    const TMeasuredData data = ReadDas1("#elec_start\r\n"
                                        "!Cbl# El# Elec-X  Elec-Y  Elec-Z  Terrn-Z  Type  El.Num\r\n"
                                        "001,01 +0.0000 +0.0000 +100.00 +100.00 001\r\n"
                                        "001,02 +0.0000 +10.000 +99.000 +100.00 002\r\n"
                                        "001,03 +0.0000 +10.000 +97.000 +100.00 003\r\n"
                                        "001,04 +0.0000 +10.000 +95.000 +100.00 004\r\n"
                                        "#elec_end\r\n"
                                        "#data_res_col= 011\r\n"
                                        "#data_start\r\n"
                                        "000001 001,01 001,02 001,03 001,04 +100.0 +2.0 +.01\r\n"
                                        "#data_end\r\n");
    ASSERT_EQ(data.Electrodes.size(), 4u);
    std::vector<double> depths;
    for (const TElectrode& e : data.Electrodes)
        depths.push_back(e.Depth);
    EXPECT_EQ(depths, (std::vector<double>{0.0, 5.0, 3.0, 1.0}));
    ASSERT_EQ(data.Size(), 1u);
    EXPECT_DOUBLE_EQ(data.Resistivities[0], 2.0 * FlatGeometricFactor(data.Survey(), data.Configurations[0]));
}

// A hole electrode above its terrain (Elec-Z 105 over a Terrn-Z of 100)
// stood on a surface of its own above the hole's others, and the inversion
// ended in an internal guard. It stands on the terrain now, said by line.
TEST(Das1File, AnElectrodeAboveItsTerrainStandsOnTheTerrainWithAWarning)
{
    const TMeasuredData data = ReadDas1("#elec_start\r\n"
                                        "001,01 +0.0000 +0.0000 +100.00 +100.00 001\r\n"
                                        "001,02 +0.0000 +10.000 +105.00 +100.00 002\r\n"
                                        "001,03 +0.0000 +10.000 +97.000 +100.00 003\r\n"
                                        "001,04 +0.0000 +10.000 +95.000 +100.00 004\r\n"
                                        "#elec_end\r\n"
                                        "#data_res_col= 011\r\n"
                                        "#data_start\r\n"
                                        "000001 001,01 001,02 001,03 001,04 +100.0 +2.0 +.01\r\n"
                                        "#data_end\r\n");
    ASSERT_EQ(data.Electrodes.size(), 4u);
    std::vector<double> elevations, depths;
    for (const TElectrode& e : data.Electrodes)
        elevations.push_back(e.z), depths.push_back(e.Depth);
    EXPECT_EQ(elevations, (std::vector<double>{100.0, 95.0, 97.0, 100.0}));
    EXPECT_EQ(depths, (std::vector<double>{0.0, 5.0, 3.0, 0.0}));
    EXPECT_EQ(data.Warnings, (std::vector<std::string>{"1 electrode stands above its Terrn-Z (the first on line 3, "
                                                       "the most by 5 m): put on the terrain, the ground's surface "
                                                       "there."}));
}

// A real export was refused at its line "Electrodes input/output format":
// free text between the blocks. Each variant is now read, the same data
// every time.
TEST(Das1File, ReadsARealExportWithFreeTextTwoCablesAndTrailingFields)
{
    const TDas1Export exports[] = {
        {"as written"},
        {"LF, extra blank lines", "\n", true},
        {"tabs, R after the deviation", "\r\n", false, true, true},
    };
    for (const TDas1Export& variant : exports) {
        SCOPED_TRACE(variant.Name);
        std::vector<int> rows;
        const std::string text = Das1Export(variant, rows);
        EXPECT_TRUE(IsDas1(text));
        const TMeasuredData data = ReadMeasuredData(text, std::nullopt, "data");
        EXPECT_EQ(data.Format, TDataFormat::Das1);
        // The cable of the data: a line along y, y the distance along it.
        test::ExpectExportData(data, {{12, 14, 16, 18, 20},
                                      {0.25, 0.5, 0.75, 1.0, 1.25},
                                      {{4, 1, 3, 2}, {0, 3, 1, 2}, {4, 0, 3, 1}},
                                      {344.0836, -0.0835, 12.5},
                                      {rows[0], rows[2], rows[4]},
                                      {rows[1], rows[3]}});
    }
}

TEST(Das1File, RefusesWhatItCannotReadNamingTheLine)
{
    const auto refusal = [](const std::string& text) {
        try {
            ReadDas1(text);
        } catch (const EDataFileError& error) {
            return error.Message();
        }
        return std::string("read");
    };
    const std::string head = Das1Electrodes;
    EXPECT_EQ(refusal(head + "000001 002,01 002,04 002,02 003,03 +102.40 +8.15 +.01\r\n#data_end\r\n"),
              "Line 16: electrode 003,03 is not one the electrode block lists.");
    EXPECT_EQ(refusal(head + "000001 002,01 002,04 002,02 002,03 +102.40\r\n#data_end\r\n"),
              "Line 16: the row has 10 fields where the R column is field 11.");
    EXPECT_EQ(refusal(head + "000001 002,01 002,04 002,02 002,03 +102.40 +8.15 +.01\r\n"),
              "Line 16: the file ends before \"#data_end\".");
    EXPECT_EQ(refusal("#elec_start\r\n002,01 +5 +20 +0 +0\r\n#elec_end\r\n#data_start\r\n#data_end\r\n"),
              "Line 4: the data's R column (#data_res_col, a field after A B M N, from 10) is not given before "
              "\"#data_start\".");
}

// A remote at a real place off the line was refused ("a remote electrode off
// the line is not yet modelled"): the electrode list's B 10 spacings off the
// line, read at its place as the Res2DInv reader reads the same layout.
TEST(Das1File, ReadsARemoteOffTheLineAtItsPlace)
{
    const auto n = test::RemoteLayoutNumber;
    std::string text = "#elec_start\r\n!Cbl# El# Elec-X  Elec-Y  Elec-Z  Terrn-Z  Type  El.Num\r\n";
    for (int e = 0; e <= 8; ++e)
        text += "001," + std::to_string(e + 1) + " +" + n(test::RemoteSpacing * e) + " +.00000 +.00000 +.00000 " +
                std::to_string(e + 1) + "\r\n";
    text += "001,99 " + n(test::RemoteX) + " +" + n(test::RemoteY) + " +.00000 +.00000 099\r\n"
            "#elec_end\r\n#data_res_col= 011\r\n#data_std_res_col= 012\r\n#data_ip_wind_col= -001\r\n"
            "#data_start\r\n";
    int row = 0;
    const auto electrode = [](double x) { return "001," + std::to_string(static_cast<int>(x / test::RemoteSpacing) + 1); };
    for (const test::TRemoteDatum& d : test::RemoteLayout())
        text += std::to_string(++row) + " " + electrode(d.A) + " 001,99 " + electrode(d.M) + " " + electrode(d.N) +
                " +99.9 +" + n(d.R) + " +.0120000\r\n";
    test::ExpectRemoteLayout(ReadDas1(text + "#data_end\r\n"));
}

} // namespace
} // namespace lp
