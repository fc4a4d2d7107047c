// The Lippmann export read as the instrument writes it: decimal commas,
// electrodes by number into the electrode block (z the relief), a remote's
// "-" at the remote block's place, phi read as the voltage's phase (mrad,
// signed as the program keeps it).

#include "section/survey/formats/LippmannFile.h"

#include "section/survey/DataFile.h"
#include "tests/section/survey/formats/ExpectedExportData.h"
#include "tests/section/survey/formats/InstrumentExportWriter.h"
#include "tests/section/survey/formats/RemoteLayout.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {

using test::TLippmannExport;
using test::LippmannExport;

const char* LippmannHeader =
    "* Electrode positions *********************************\r\n"
    "* Electrode [  1] x y z (m) =       0,000       0,000      10,000\r\n"
    "* Electrode [  2] x y z (m) =       1,000       0,000       9,900\r\n"
    "* Electrode [  3] x y z (m) =       2,000       0,000       9,800\r\n"
    "* Electrode [  4] x y z (m) =       3,000       0,000       9,700\r\n"
    "* Electrode [  5] x y z (m) =       4,000       0,000       9,600\r\n"
    "* Remote electrode positions **************************\r\n"
    "* Electrode remote B x y z (m) =     -20,000       0,000      10,000\r\n"
    "* Moving array settings *******************************\r\n"
    "* Data ************************************************\r\n"
    "* num    A    B    M    N        I         U      dU       U90    dU90       rho     phi     f   n nAB  Profile"
    "   Spread  PseudoZ            X            Y           Z       Date        Time  U(Tx)\r\n"
    "*                               mA        mV       %        mV       %      Ohmm    mrad    Hz   -   -        m"
    "        m        m            m            m           m yyyy.mm.dd hh:mm:ss.ss      V\r\n";

const char* LippmannRows =
    "    1    1    2    4    3   5,0000 120,50000   0,010   0,20000   1,000    94,600   1,660  8,33   0   1    1,500"
    "    3,000    0,330        1,500        0,000      -0,330 2020.03.01 10:00:00.00   6,00\r\n"
    "    2    2    3    5    4        -         -       -         -       -         -       -  8,33   0   1    2,500"
    "    3,000    0,330        2,500        0,000      -0,330          -           -   4,00\r\n"
    "    3    3    -    4    5   2,0000  10,00000   0,010   0,20000   1,000    20,000   0,000  8,33   0   1    2,500"
    "    3,000    0,330        2,500        0,000      -0,330 2020.03.01 10:00:09.00   4,00\r\n";

TEST(LippmannFile, ReadsDecimalCommasElectrodeNumbersAndTheRemote)
{
    const TMeasuredData data = ReadLippmann(std::string(LippmannHeader) + LippmannRows);
    EXPECT_EQ(data.Format, TDataFormat::Lippmann);
    // The remote B at -20 on the line (a real place), then electrodes 1 .. 5.
    ASSERT_EQ(data.Electrodes.size(), 6u);
    EXPECT_DOUBLE_EQ(data.Electrodes[0].x, -20.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[1].z, 10.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[4].z, 9.7);
    EXPECT_TRUE(data.HasElevations);
    ASSERT_EQ(data.Size(), 2u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{1, 2, 4, 3}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{3, 0, 4, 5}));
    EXPECT_EQ(data.Lines, (std::vector<int>{13, 15}));
    EXPECT_DOUBLE_EQ(data.Resistances[0], 120.5 / 5.0);
    EXPECT_DOUBLE_EQ(data.Resistances[1], 10.0 / 2.0);
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{14}));
    // The Date and Time columns were dropped: a series could not be put in time order.
    const double day = 18322 * 86400.0 + 10 * 3600.0; // 2020-03-01 10:00
    EXPECT_EQ(data.Times, (std::vector<double>{day, day + 9.0}));
    EXPECT_TRUE(data.Chargeabilities.empty());
    // phi mostly above 0, which no polarizable ground gives: the export wrote
    // magnitudes, read in the other convention with a warning.
    EXPECT_EQ(data.Phases, (std::vector<double>{-1.66, 0.0}));
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_TRUE(data.Warnings[0].starts_with("1 of 1 phases are above 0")) << data.Warnings[0];
}

// A phi column of zeros only is an instrument measuring no phase; a
// negative one keeps its sign.
TEST(LippmannFile, PhiOfZerosOnlyIsNoPhaseAndASignIsKept)
{
    std::string rows = LippmannRows;
    const size_t at = rows.find("   1,660");
    EXPECT_TRUE(ReadLippmann(std::string(LippmannHeader) + std::string(rows).replace(at, 8, "   0,000")).Phases.empty());
    const TMeasuredData lagging = ReadLippmann(std::string(LippmannHeader) + rows.replace(at, 8, " -12,500"));
    EXPECT_EQ(lagging.Phases, (std::vector<double>{-12.5, 0.0}));
    EXPECT_TRUE(lagging.Warnings.empty());
}

TEST(LippmannFile, RefusesWhatItCannotReadNamingTheLine)
{
    const auto refusal = [](const std::string& text) {
        try {
            ReadLippmann(text);
        } catch (const EDataFileError& error) {
            return error.Message();
        }
        return std::string("read");
    };
    const std::string header = LippmannHeader;
    EXPECT_EQ(refusal(header + "    1    1    2    4    9   5,0 120,5   0,0   0,2   1,0    94,6   1,6  8,3   0   1"
                               "    1,5    3,0    0,3        1,5        0,0      -0,3 2020.03.01 10:00:00.00   6,0\r\n"),
              "Line 13: electrode 9 is not one the electrode block lists.");
    EXPECT_EQ(refusal(header + "    1    1    2    4    3   5,0 120,5\r\n"), "Line 13: the row has 7 values where line 11 "
                                                                           "names 24.");
    EXPECT_EQ(refusal(header + "    1    1    2    4    3   5;0 120,5   0,0   0,2   1,0    94,6   1,6  8,3   0   1"
                               "    1,5    3,0    0,3        1,5        0,0      -0,3 2020.03.01 10:00:00.00   6,0\r\n"),
              "Line 13: \"5;0\" is not a finite number.");
    EXPECT_EQ(refusal("* Electrode positions\r\n* Electrode [ 1] x y z (m) = 0,0 0,0\r\n"),
              "Line 2: x y z (three numbers) are expected after \"=\", not \" 0,0 0,0\".");
}

// Four of five real exports were refused as in no format this program
// reads: the contact test's rows without "*" before the data's columns.
// Each variant of the export is now read, the same data every time.
TEST(LippmannFile, ReadsARealExportWithItsSettingsContactTestAndAveragedData)
{
    std::vector<const char*> reordered = TLippmannExport{}.Columns;
    std::swap(reordered[5], reordered[6]);                           // U before I
    std::rotate(reordered.begin() + 7, reordered.end() - 2, reordered.end() - 1); // Time after U
    const TLippmannExport exports[] = {
        {"two-value contact test, Time alone"},
        {"six-value contact test", "\r\n", ',', true},
        {"no averaged data, LF, decimal point", "\n", '.', false, false},
        {"Date and Time", "\r\n", ',', true, true, true},
        {"tabs and blank lines", "\n", ',', false, true, false, "\t", true},
        {"another column order", "\r\n", '.', true, true, true, " ", false, reordered},
    };
    for (const TLippmannExport& variant : exports) {
        SCOPED_TRACE(variant.Name);
        std::vector<int> rows;
        const std::string text = LippmannExport(variant, rows);
        EXPECT_TRUE(IsLippmann(text));
        const TMeasuredData data = ReadMeasuredData(text, std::nullopt, "tx0");
        EXPECT_EQ(data.Format, TDataFormat::Lippmann);
        test::ExpectExportData(data, {{0, 2, 4, 6, 8, 10},
                                      {100, 99.75, 99.5, 99.25, 99, 98.75},
                                      {{0, 3, 1, 2}, {2, 5, 3, 4}, {5, 0, 4, 1}},
                                      {16.9 / 15.0, -4.25 / 12.5, 9.8 / 14.0},
                                      {rows[0], rows[2], rows[4]},
                                      {rows[1], rows[3]}});
        // A time of day without a date places no datum in time.
        if (variant.Date)
            EXPECT_EQ(data.Times.size(), 3u);
        else
            EXPECT_TRUE(data.Times.empty());
    }
}

// A remote at a real place off the line was refused ("a remote electrode off
// the line is not yet modelled"): the remote block's B 10 spacings off the
// line ("-" in the data's B column), read at its place as the Res2DInv
// reader reads the same layout.
TEST(LippmannFile, ReadsARemoteOffTheLineAtItsPlace)
{
    const auto comma = [](double value) {
        std::string text = test::RemoteLayoutNumber(value);
        std::replace(text.begin(), text.end(), '.', ',');
        return text;
    };
    std::string text = "* Electrode positions *********************************\r\n";
    for (int e = 0; e <= 8; ++e)
        text += "* Electrode [  " + std::to_string(e + 1) + "] x y z (m) = " + comma(test::RemoteSpacing * e) +
                " 0,000 0,000\r\n";
    text += "* Remote electrode positions **************************\r\n"
            "* Electrode remote B x y z (m) = " + comma(test::RemoteX) + " " + comma(test::RemoteY) + " 0,000\r\n"
            "* Data ************************************************\r\n"
            "* num    A    B    M    N        I         U      dU       U90    dU90       rho     phi     f\r\n"
            "*                               mA        mV       %        mV       %      Ohmm    mrad    Hz\r\n";
    int row = 0;
    const auto number = [](double x) { return std::to_string(static_cast<int>(x / test::RemoteSpacing) + 1); };
    for (const test::TRemoteDatum& d : test::RemoteLayout())
        text += std::to_string(++row) + " " + number(d.A) + " - " + number(d.M) + " " + number(d.N) + " 100,0000 " +
                comma(100.0 * d.R) + " 0,010 0,0 0,0 99,9 0,000 8,33\r\n";
    test::ExpectRemoteLayout(ReadLippmann(text));
}

} // namespace
} // namespace lp
