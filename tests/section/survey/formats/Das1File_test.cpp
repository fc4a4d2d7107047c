// The DAS-1 export read as the instrument writes it: electrodes by
// "cable,electrode" along y (x the same everywhere), R from the column the
// settings name, failed readings skipped and counted by line.

#include "section/survey/formats/Das1File.h"

#include "section/survey/DataFile.h"
#include "tests/section/survey/formats/RemoteLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace lp {
namespace {

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

// A real export's shape: free text and blank lines between and after the
// blocks, the settings of the electrodes and of the data, electrodes on
// two cables of which the data use one, and rows with fields after the
// named ones (a date, a gain, a voltage); with the variants files show.
struct TDas1Export {
    const char* Name;
    const char* LineEnd = "\r\n";
    bool ExtraBlankLines = false;
    bool Tabs = false;          // a tab between a row's fields
    bool ResistanceLast = false; // V/I and Std. exchanged (#data_res_col= 012)
};

// The text, and the lines of its data rows.
std::string Das1Export(const TDas1Export& Export, std::vector<int>& RowLines)
{
    std::string text;
    int line = 0;
    const auto put = [&](const std::string& content) {
        text += content + Export.LineEnd;
        ++line;
    };
    const auto gap = [&] {
        if (Export.ExtraBlankLines)
            put("");
    };
    put("!Made-up survey, line 9");
    put("#elec_start");
    put("!Cbl# El# Elev-X  Elev-Y  Elev-Z  Terrn-Z  Type  El.Num");
    for (int e = 1; e <= 4; ++e) // another cable, across the line: not used
        put("001,0" + std::to_string(e) + " +14.000 +" + std::to_string(60 + 2 * e) + ".000 +.00000 +.00000 00" +
            std::to_string(e));
    const char* elevations[] = {"+1.2500", "+1.0000", "+.75000", "+.50000", "+.25000"};
    for (int e = 1; e <= 5; ++e)
        put("009,0" + std::to_string(e) + " +5.0000 +" + std::to_string(22 - 2 * e) + ".000 " + elevations[e - 1] +
            " +.00000 " + std::to_string(256 + e));
    put("#elec_end");
    put("");
    gap();
    put("Electrodes input/output format");
    for (const char* setting : {"#elec_no_cable= 1", "#elec_cable_col= 1", "#elec_id_col= 2", "#elec_x_col= 3",
                                "#elec_y_col= 4", "#elec_z_col= 5"})
        put(setting);
    put("");
    put("!Data input/output format");
    for (const char* setting : {"#data_id_col= 1", "#data_a_cable_col= 2", "#data_a_id_col= 3"})
        put(setting);
    put(Export.ResistanceLast ? "#data_res_col= 012" : "#data_res_col= 011");
    put("#data_ip_wind_col= -001");
    put(Export.ResistanceLast ? "#data_std_res_col= 011" : "#data_std_res_col= 012");
    put("#data_appres= 1");
    put("#data_ip_scale= 1000");
    put("#data_i_curr_col= 015");
    put("!End of header");
    put("");
    put("!Batteries   Main 13.1  TX  12.9");
    put("");
    gap();
    put("#data_start");
    put("! ID      A      B      M      N      Appres      V/I,      Std.     Amp.,     Std.    Current     ContactR  "
        "Date_And_Time    Gains     Tx_V");
    put("! num   Ca El  Ca El  Ca El  Ca El   (Ohm-m)     (Ohms)    (Ohms)   (Volts)   (Volts)    (ma)        (Ohms)");
    struct TRow {
        const char* Electrodes;
        const char* Resistance;
    };
    const TRow rows[] = {{"009,01 009,04 009,02 009,03", "+344.083600"},
                         {"009,02 009,05 009,03 009,04\t * * TX Resist. out of range * *", nullptr},
                         {"009,05 009,02 009,04 009,03", "-.0835000"},
                         {"009,02 009,05 009,03 009,04", "+1.0E38"},
                         {"009,01 009,05 009,02 009,04", "+12.50000"}};
    const std::string space = Export.Tabs ? "\t" : " ";
    RowLines.clear();
    int id = 0;
    for (const TRow& row : rows) {
        char number[8];
        std::snprintf(number, sizeof number, "%06d", ++id);
        std::string fields = number + space + row.Electrodes;
        if (row.Resistance) {
            const std::string spread = "+1.080994";
            fields += space + "+3242.914" + space + (Export.ResistanceLast ? spread : row.Resistance) + space +
                      (Export.ResistanceLast ? row.Resistance : spread) + space + "+2.224208" + space + "+.0069877" +
                      space + "+6.46415000" + space + "+27664.00" + space + "20150501_115434 CH 01 GN 1   192";
        }
        put(fields);
        RowLines.push_back(line);
    }
    put("#data_end");
    gap();
    put("Run Complete");
    put("");
    return text;
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
        ASSERT_EQ(data.Electrodes.size(), 5u);
        for (size_t e = 0; e < 5; ++e) {
            EXPECT_DOUBLE_EQ(data.Electrodes[e].x, 12.0 + 2.0 * static_cast<double>(e));
            EXPECT_DOUBLE_EQ(data.Electrodes[e].z, 0.25 * static_cast<double>(e + 1));
        }
        ASSERT_EQ(data.Size(), 3u);
        EXPECT_EQ(data.Configurations[0], (TConfiguration{4, 1, 3, 2}));
        EXPECT_EQ(data.Configurations[1], (TConfiguration{0, 3, 1, 2}));
        EXPECT_EQ(data.Configurations[2], (TConfiguration{4, 0, 3, 1}));
        EXPECT_EQ(data.Lines, (std::vector<int>{rows[0], rows[2], rows[4]}));
        EXPECT_DOUBLE_EQ(data.Resistances[0], 344.0836);
        EXPECT_DOUBLE_EQ(data.Resistances[1], -0.0835);
        EXPECT_DOUBLE_EQ(data.Resistances[2], 12.5);
        EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{rows[1], rows[3]}));
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
