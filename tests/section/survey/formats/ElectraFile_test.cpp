// The Electra export read in both its layouts: electrodes by number into
// the X Y Z list (z the relief; a line along y), R = V(MN)/I(AB), the older
// layout's waveform readings passed over, the newer's rows not enabled
// (D, N) skipped by line.

#include "section/survey/formats/ElectraFile.h"

#include "section/survey/DataFile.h"
#include "tests/section/survey/formats/ExpectedExportData.h"
#include "tests/section/survey/formats/InstrumentExportWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {

using test::TElectraExport;
using test::ElectraExport;

const char* OlderElectra =
    "# Total enabled electrodes\r\n5\r\n# X\tY\tZ\r\n0.000\t0.000\t10.000\r\n2.000\t0.000\t9.800\r\n"
    "4.000\t0.000\t9.500\r\n6.000\t0.000\t9.400\r\n8.000\t0.000\t9.000\r\n"
    "# Meas.\tA\tB\tM\tN\tI(AB)\tV(AB)\tV(MN)\tK/(2pi)\trhoa\tZ(AB)\tStartOn\tVMN000\tVMN001\r\n"
    "# [#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t-\t[ohm m]\t[ohm]\t[byte]\t[mV]\t[mV]\r\n"
    "1\t1\t4\t2\t3\t48.10\t40.20\t512.3\t0.500\t33.45\t836.0\t1024\t12.1\t12.9\r\n"
    "2\t2\t5\t3\t4\t-\t-\t-\t0.500\t-\t-\t1024\t-\t-\r\n"
    "3\t1\t2\t3\t4\t50.00\t40.00\t-25.0\t-3.000\t-9.42\t800.0\t1024\t12.1\t12.9\t13.0\r\n";

const char* NewerElectra =
    "#Total electrodes\r\n4\r\n#X\tY\tZ\r\n5.00\t0.00\t0.00\r\n5.00\t2.00\t0.00\r\n5.00\t4.00\t0.00\r\n"
    "5.00\t6.00\t0.00\r\n#Total remote electrode\r\nNo data\r\n"
    "#Meas.\tStatus\tA\tB\tM\tN\tGND\tI(AB)\tV(AB)\tV(MN)\ta-Spacing\tn-Factor\tK/(2pi)\tRhoa\tZ(AB)\r\n"
    "#[#]\t[E/D/N]\t[#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t-\t-\t-\t[ohm m]\t[ohm]\r\n"
    "1\tE\t1\t4\t2\t3\t3\t49.00\t81.20\t270.10\t2.00\t1.00\t2.00\t69.30\t1650.00\r\n"
    "2\tN\t2\t5\t3\t4\t4\t-\t-\t-\t2.00\t1.00\t2.00\t-\t-\r\n"
    "3\tD\t1\t4\t2\t3\t3\t49.00\t81.20\t270.10\t2.00\t1.00\t2.00\t69.30\t1650.00\r\n"
    "4\tE\t4\t1\t3\t2\t3\t49.00\t81.20\t270.10\t2.00\t1.00\t2.00\t69.30\t1650.00\r\n"
    "#[#]\t[e/d]\t[#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t-\t-\t-\t[ohm m]\t[ohm]\r\n";

std::string ElectraRefusal(const std::string& Text)
{
    try {
        ReadElectra(Text);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

TEST(ElectraFile, ReadsTheOlderLayoutWithItsWaveformAndRelief)
{
    const TMeasuredData data = ReadElectra(OlderElectra);
    EXPECT_EQ(data.Format, TDataFormat::Electra);
    ASSERT_EQ(data.Electrodes.size(), 4u); // electrode 5 only in a row without a measurement
    EXPECT_DOUBLE_EQ(data.Electrodes[3].x, 6.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[0].z, 10.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[3].z, 9.4);
    EXPECT_TRUE(data.HasElevations);
    ASSERT_EQ(data.Size(), 2u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{0, 3, 1, 2}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{0, 1, 2, 3}));
    EXPECT_EQ(data.Lines, (std::vector<int>{11, 13}));
    EXPECT_DOUBLE_EQ(data.Resistances[0], 512.3 / 48.1);
    EXPECT_DOUBLE_EQ(data.Resistances[1], -25.0 / 50.0);
    // The flat ground's k over the true distances (x and z): A (0, 10),
    // B (6, 9.4), M (2, 9.8), N (4, 9.5).
    const double am = std::hypot(2.0, 0.2), bm = std::hypot(4.0, 0.4), an = std::hypot(4.0, 0.5),
                 bn = std::hypot(2.0, 0.1);
    EXPECT_NEAR(data.Resistivities[0], 2.0 * std::numbers::pi / (1 / am - 1 / bm - 1 / an + 1 / bn) * 512.3 / 48.1,
                1e-9);
    EXPECT_TRUE(data.Voltages.empty()); // peak-to-peak: no ΔU
    EXPECT_TRUE(data.Chargeabilities.empty());
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{12}));
}

TEST(ElectraFile, ReadsTheNewerLayoutAlongYOnlyItsEnabledRows)
{
    const TMeasuredData data = ReadElectra(NewerElectra);
    ASSERT_EQ(data.Electrodes.size(), 4u);
    for (size_t e = 0; e < 4; ++e)
        EXPECT_DOUBLE_EQ(data.Electrodes[e].x, 2.0 * static_cast<double>(e)); // the distance along y
    EXPECT_FALSE(data.HasElevations);
    ASSERT_EQ(data.Size(), 2u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{0, 3, 1, 2}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{3, 0, 2, 1}));
    EXPECT_EQ(data.Lines, (std::vector<int>{12, 15}));
    // Wenner a = 2: k = 2π a.
    EXPECT_NEAR(data.Resistivities[0], 2.0 * std::numbers::pi * 2.0 * 270.1 / 49.0, 1e-12);
    EXPECT_NEAR(data.Resistivities[1], 2.0 * std::numbers::pi * 2.0 * 270.1 / 49.0, 1e-12);
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{13, 14}));
}

// Both layouts of real exports were refused: the older one taken for the
// unified data format at its original file's name, the newer one at its
// profile name. Each variant is now read, the same data every time.
TEST(ElectraFile, ReadsRealExportsOfBothLayoutsWithTheirLabelsAndNotes)
{
    const TElectraExport exports[] = {
        {"newer"},
        {"newer, LF, decimal comma, trailing tabs", true, "\n", ',', true},
        {"newer, blank lines, another column order", true, "\r\n", '.', false, true, true},
        {"older", false},
        {"older, LF, decimal comma, blank lines, trailing tabs", false, "\n", ',', true, true},
        {"older, another column order", false, "\r\n", '.', false, false, true},
    };
    for (const TElectraExport& variant : exports) {
        SCOPED_TRACE(variant.Name);
        std::vector<int> rows;
        const std::string text = ElectraExport(variant, rows);
        EXPECT_TRUE(IsElectra(text));
        const TMeasuredData data = ReadMeasuredData(text, std::nullopt, "ele");
        EXPECT_EQ(data.Format, TDataFormat::Electra);
        const bool newer = variant.Newer; // only its rows have a status: D (skipped) among them
        test::ExpectExportData(data, {{0, 2, 4, 6, 8},
                                      {50, 49.5, 49, 48.5, 48},
                                      {{0, 3, 1, 2}, {1, 4, 2, 3}, {4, 0, 3, 1}},
                                      {275.7 / 49.0, -120.5 / 48.0, 30.25 / 47.5},
                                      {rows[0], rows[newer ? 2 : 1], rows[newer ? 4 : 3]},
                                      newer ? std::vector<int>{rows[1], rows[3]} : std::vector<int>{rows[2]}});
    }
}

TEST(ElectraFile, RefusesWhatItCannotReadNamingTheLine)
{
    const std::string places = "#Total electrodes\r\n2\r\n#X\tY\tZ\r\n0\t0\t0\r\n1\t0\t0\r\n";
    const std::string columns = "#Meas.\tStatus\tA\tB\tM\tN\tI(AB)\tV(MN)\r\n";
    EXPECT_EQ(ElectraRefusal("#Total electrodes\r\n3\r\n#X\tY\tZ\r\n0\t0\t0\r\n#Meas.\tA\tB\tM\tN\tI(AB)\tV(MN)\r\n"),
              "Line 5: the list holds 1 electrodes' X Y Z where the count is 3.");
    EXPECT_EQ(ElectraRefusal(places + "#Sequence\r\nDD\r\n"),
              "Line 7: the file ends before the data's column label (\"# Meas. A B M N ...\").");
    EXPECT_EQ(ElectraRefusal(places + "#Note profile [n. line]\r\nno count\r\n" + columns + "1\tE\t1\t2\t2\t1\t10\r\n"),
              "Line 9: the row has 7 values where line 8 names 8.");
    EXPECT_EQ(ElectraRefusal(places + "#Note profile [n. line]\r\n3\r\n#X\tY\tZ\r\n"),
              "Line 8: the file ends within the note of 3 lines.");
    EXPECT_EQ(ElectraRefusal("#Total electrodes\r\n3\r\n#Total enabled electrodes\r\n2\r\n#X\tY\tZ\r\n0\t0\t0\r\n"
                             "#Meas.\tA\tB\tM\tN\tI(AB)\tV(MN)\r\n"),
              "Line 7: the list holds 1 electrodes' X Y Z where the count is 3 or 2.");
    EXPECT_EQ(ElectraRefusal(places + "#Total remote electrode\r\n2\r\n"),
              "Line 7: remote electrodes are listed (\"2\"): their layout is not one this reader knows.");
    EXPECT_EQ(ElectraRefusal(places + "#Total remote electrode\r\nB\t-30\t0\t0\r\n"),
              "Line 7: remote electrodes are listed (\"B\\t-30\\t0\\t0\"): their layout is not one this reader knows.");
    EXPECT_EQ(ElectraRefusal(places + columns + "1\tE\t1\t3\t2\t1\t10\t5\r\n"),
              "Line 7: electrode 3 is not one of the 2 the X Y Z list holds.");
    EXPECT_EQ(ElectraRefusal(places + columns + "1\tX\t1\t2\t2\t1\t10\t5\r\n"),
              "Line 7: the status is E (enabled), D (disabled) or N (not measured), not \"X\".");
    EXPECT_EQ(ElectraRefusal(places + columns + "1\tE\t1\t2\t2\t1\t10\r\n"), "Line 7: the row has 7 values where line 6 names 8.");
    EXPECT_EQ(ElectraRefusal(places + columns + "1\tE\t1\t2\t2\t1\t10\t5;5\r\n"), "Line 7: \"5;5\" is not a finite number.");
    EXPECT_EQ(ElectraRefusal(places + columns + "#Meas.\tA\r\n"),
              "Line 7: after the data's columns only their units' row (\"# [#] ...\") is read, not \"Meas.\\tA\".");
    EXPECT_EQ(ElectraRefusal("#Total electrodes\r\n2\r\n1\t0\t0\r\n"),
              "Line 3: the file ends before the data's column label (\"# Meas. A B M N ...\").");
}

} // namespace
} // namespace lp
