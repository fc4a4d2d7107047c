// The Prime export read as the instrument writes it: tab-separated columns
// named with a trailing ":", an empty C1 or C2 repeating the row before,
// the positions block (elevations the relief) or, without it, the labels on
// a line of unit spacing; error rows skipped and counted by line.

#include "section/survey/formats/PrimeFile.h"

#include "section/survey/DataFile.h"
#include "tests/section/survey/formats/RemoteLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {

// Lines 1-6: the header, "data:" and the column row; rows from line 7.
const char* PrimeHead = "# Prime:\tRX Ver.1.00\r\n"
                        "set_no_of_meas:\t5\r\n"
                        "#Units\tOhm\tTenths %\t-\t-\t-\t-\tDegrees\r\n"
                        "#%d\t%f\t%f\t%d\t%d\t%d\t%d\t%f\r\n"
                        "data:\r\n"
                        "pt_line_number:\tpt_calc_res:\tpt_calc_res_error:\tpt_c1_no:\tpt_c2_no:\tpt_p1_no:\tpt_p2_no:\t"
                        "pt_calc_phase_mag:\r\n";

const char* PrimeRows = "1\t0.8123\t4.5\t12\t11\t13\t14\t0.5\r\n"
                        "2\t0.3518\t6.0\t\t\t14\t15\t0.4\r\n"   // C1 C2 those of the row before
                        "**Error: no current\r\n"
                        "4\t/.//\t0\t13\t12\t14\t15\t0\r\n"
                        "5\t-0.2000\t6.0\t\t\t15\t11\t0.4\r\n"; // the C1 C2 of the row before: 13 12

std::string PrimeRefusal(const std::string& Text)
{
    try {
        ReadPrime(Text);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

// k = 2 pi / (1/AM - 1/BM - 1/AN + 1/BN) from the places (x, z) of A B M N.
struct TAt {
    double x, z = 0.0;
};
double FlatFactor(TAt A, TAt B, TAt M, TAt N)
{
    const auto r = [](TAt p, TAt q) { return std::hypot(p.x - q.x, p.z - q.z); };
    return 2.0 * std::numbers::pi / (1.0 / r(A, M) - 1.0 / r(B, M) - 1.0 / r(A, N) + 1.0 / r(B, N));
}

TEST(PrimeFile, ReadsLabelsOnAUnitLineWithoutPositions)
{
    const TMeasuredData data = ReadPrime(std::string(PrimeHead) + PrimeRows);
    EXPECT_EQ(data.Format, TDataFormat::Prime);
    // Labels 11 .. 15: the smallest at 0.
    ASSERT_EQ(data.Electrodes.size(), 5u);
    EXPECT_DOUBLE_EQ(data.Electrodes[0].x, 0.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[4].x, 4.0);
    EXPECT_FALSE(data.HasElevations);
    ASSERT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{1, 0, 2, 3}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{1, 0, 3, 4}));
    EXPECT_EQ(data.Configurations[2], (TConfiguration{2, 1, 4, 0}));
    EXPECT_EQ(data.Lines, (std::vector<int>{7, 8, 11}));
    EXPECT_DOUBLE_EQ(data.Resistances[0], 0.8123);
    EXPECT_DOUBLE_EQ(data.Resistances[2], -0.2);
    EXPECT_NEAR(data.Resistivities[0], FlatFactor({1}, {0}, {2}, {3}) * 0.8123, 1e-9);
    EXPECT_NEAR(data.Resistivities[1], FlatFactor({1}, {0}, {3}, {4}) * 0.3518, 1e-9);
    EXPECT_NEAR(data.Resistivities[2], FlatFactor({2}, {1}, {4}, {0}) * -0.2, 1e-9);
    EXPECT_TRUE(data.Errors.empty());          // pt_calc_res_error is the stacks' spread
    EXPECT_TRUE(data.Chargeabilities.empty()); // the phase is no chargeability
    // pt_calc_phase_mag is the phase's magnitude in degrees: φ = −value, in mrad.
    constexpr double mradPerDegree = 1000.0 * std::numbers::pi / 180.0;
    ASSERT_EQ(data.Phases.size(), 3u);
    EXPECT_NEAR(data.Phases[0], -0.5 * mradPerDegree, 1e-12);
    EXPECT_NEAR(data.Phases[1], -0.4 * mradPerDegree, 1e-12);
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{9, 10}));
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_NE(data.Warnings[0].find("no electrode positions"), std::string::npos) << data.Warnings[0];
}

// The positions block after the data: x y z, z the relief; a line along y.
TEST(PrimeFile, ReadsThePositionsBlockWithElevations)
{
    const TMeasuredData data = ReadPrime(std::string(PrimeHead) + PrimeRows +
                                         "no_of_electrodes:\t5\r\n"
                                         "label\tx\ty\tz\r\n"
                                         "11\t3.0\t0.0\t100.0\r\n"
                                         "12\t3.0\t2.0\t99.5\r\n"
                                         "13\t3.0\t4.0\t99.0\r\n"
                                         "14\t3.0\t6.0\t98.0\r\n"
                                         "15\t3.0\t8.0\t97.5\r\n");
    ASSERT_EQ(data.Electrodes.size(), 5u);
    EXPECT_DOUBLE_EQ(data.Electrodes[1].x, 2.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[1].z, 99.5);
    EXPECT_DOUBLE_EQ(data.Electrodes[4].x, 8.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[4].z, 97.5);
    EXPECT_TRUE(data.HasElevations);
    ASSERT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{1, 0, 2, 3}));
    // The factor over the electrodes' distances (2 m along the line, the
    // elevations too).
    EXPECT_NEAR(data.Resistivities[0], FlatFactor({2, 99.5}, {0, 100}, {4, 99}, {6, 98}) * 0.8123, 1e-9);
    EXPECT_TRUE(data.Warnings.empty());
}

TEST(PrimeFile, RefusesWhatItCannotReadNamingTheLine)
{
    const std::string head = PrimeHead;
    EXPECT_EQ(PrimeRefusal(head + "1\t0.8\t4.5\t\t11\t13\t14\t0\r\n"),
              "Line 7: electrode A (column 4) is empty with no row before to repeat.");
    EXPECT_EQ(PrimeRefusal(head + "1\t0.8\t4.5\t12\t11\t\t14\t0\r\n"),
              "Line 7: electrode M (column 6) is a whole number of at most 99999 in size, not \"\".");
    EXPECT_EQ(PrimeRefusal(head + "1\t0.8 ohm\t4.5\t12\t11\t13\t14\t0\r\n"),
              "Line 7: column 2 holds \"0.8 ohm\" where a number is read.");
    EXPECT_EQ(PrimeRefusal(head + "1\t0.8\t4.5\t12\t11\t13\t14\t0\r\nno_of_electrodes:\t1\r\nlabel x y z\r\n"
                                  "12\t0\t0\t0\r\n"),
              "Line 7: electrode 11 is not one the electrode positions list.");
    // A .dat of another format read as Prime (by its extension) is refused at its first line.
    EXPECT_EQ(PrimeRefusal("Title\r\n1.0\r\n"), "Line 1: a Prime export's first line begins \"# Prime:\", not \"Title\".");
    EXPECT_EQ(PrimeRefusal("# Prime:\tRX Ver.1.00\r\npt_c1_no:\tpt_calc_res:\r\n1\t2\r\n"),
              "Line 3: the file ends before the line \"data:\".");
    EXPECT_EQ(PrimeRefusal("# Prime:\tRX\r\ndata:\r\npt_line_number:\tpt_calc_res:\tpt_c1_no:\r\n"),
              "Line 3: the column row names pt_c1_no:, pt_c2_no:, pt_p1_no:, pt_p2_no: and pt_calc_res:, not "
              "\"pt_line_number:\\tpt_calc_res:\\tpt_c1_no:\".");
}

// A remote at a real place off the line was refused ("a remote electrode off
// the line is not yet modelled"): the positions block's B 10 spacings off
// the line, read at its place as the Res2DInv reader reads the same layout.
TEST(PrimeFile, ReadsARemoteOffTheLineAtItsPlace)
{
    const auto n = test::RemoteLayoutNumber;
    const auto label = [](double x) { return std::to_string(static_cast<int>(x / test::RemoteSpacing) + 1); };
    std::string text = PrimeHead;
    int row = 0;
    for (const test::TRemoteDatum& d : test::RemoteLayout())
        text += std::to_string(++row) + "\t" + n(d.R) + "\t4.5\t" + label(d.A) + "\t99\t" + label(d.M) + "\t" +
                label(d.N) + "\t0\r\n";
    text += "no_of_electrodes:\t10\r\nlabel\tx\ty\tz\r\n";
    for (int e = 0; e <= 8; ++e)
        text += std::to_string(e + 1) + "\t" + n(test::RemoteSpacing * e) + "\t0\t0\r\n";
    test::ExpectRemoteLayout(ReadPrime(text + "99\t" + n(test::RemoteX) + "\t" + n(test::RemoteY) + "\t0\r\n"));
}

} // namespace
} // namespace lp
