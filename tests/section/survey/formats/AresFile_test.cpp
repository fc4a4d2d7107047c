// The ARES II export read as the instrument writes it: electrodes by number
// from X-loc at the electrode distance (a bundle "5*2" as its first
// electrode), R = U/I, the chargeability the duration-weighted mean of IP
// windows of unequal length, rows without a measurement skipped by line.

#include "section/survey/formats/AresFile.h"

#include "section/survey/DataFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {

const char* AresHeader = "Method: Dip-Dip overlap\r\n"
                         "X-loc: 10 m\r\n"
                         "Electrode distance: 2 m\r\n"
                         "IP windows:\t20\t20\t40\t80 ms\r\n"
                         "Connected MC 1: 0.8 kOhm\r\n"
                         "Measured data:\r\n"
                         "C1[el]\tC2[el]\tP1[el]\tP2[el]\tPn\tPn+1\tArray\tUout[V]\tI[mA]\tU[mV]\tEP[mV]\t"
                         "AppRes[Ohmm]\tSt-dev[%]\tIP1[%]\tIP1-dev\tIP2[%]\tIP2-dev\tIP3[%]\tIP3-dev\tIP4[%]\tIP4-dev\r\n";

std::string AresRow(const char* Electrodes, const char* CurrentVoltage, const char* Windows)
{
    return std::string(Electrodes) + "\tP1\tP2\tDD\t180.2\t" + CurrentVoltage + "\t12\t23.400\t0.1\t" + Windows + "\r\n";
}

std::string AresRefusal(const std::string& Text)
{
    try {
        ReadAres(Text);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

double AresFlatK(double Am, double Bm, double An, double Bn)
{
    return 2.0 * std::numbers::pi / (1.0 / Am - 1.0 / Bm - 1.0 / An + 1.0 / Bn);
}

TEST(AresFile, ReadsElectrodeNumbersResistancesAndWeightedChargeabilities)
{
    const std::string text = std::string(AresHeader) +
                             AresRow("1\t0\t2\t3", "250.500\t310.400", "2.10\t3.0\t1.60\t4.1\t1.20\t5.5\t0.70\t9.0") +
                             AresRow("5*2\t1*2\t8\t9", "0.000\t0.000", "0.00\t0.0\t0.00\t0.0\t0.00\t0.0\t0.00\t0.0") +
                             AresRow("0\t3\t1\t2", "100.000\t50.000", "1.00\t0.1\t1.00\t0.1\t1.00\t0.1\t1.00\t0.1") +
                             "2\t5\t3\t4\tToo low current\r\n" +
                             AresRow("2\t5\t3\t4", "-\t12.000", "1.00\t0.1\t1.00\t0.1\t1.00\t0.1\t1.00\t0.1") +
                             AresRow("5*2\t1*2\t3\t4", "200.000\t40.000", "0.50\t0.1\t-\t0.1\t0.50\t0.1\t0.50\t0.1");
    const TMeasuredData data = ReadAres(text);
    EXPECT_EQ(data.Format, TDataFormat::Ares);
    // Electrodes 0 .. 5 from X-loc 10 every 2 m; no relief.
    ASSERT_EQ(data.Electrodes.size(), 6u);
    for (size_t e = 0; e < 6; ++e)
        EXPECT_DOUBLE_EQ(data.Electrodes[e].x, 10.0 + 2.0 * static_cast<double>(e));
    EXPECT_FALSE(data.HasElevations);
    ASSERT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Configurations[0], (TConfiguration{1, 0, 2, 3}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{0, 3, 1, 2}));
    EXPECT_EQ(data.Configurations[2], (TConfiguration{5, 1, 3, 4})); // the bundles at their first electrodes
    EXPECT_EQ(data.Lines, (std::vector<int>{8, 10, 13}));
    EXPECT_DOUBLE_EQ(data.Resistances[0], 310.4 / 250.5);
    EXPECT_DOUBLE_EQ(data.Resistances[2], 40.0 / 200.0);
    EXPECT_NEAR(data.Voltages[0], 0.3104, 1e-15);
    // A at 12, B at 10, M at 14, N at 16: AM 2, BM 4, AN 4, BN 6.
    EXPECT_NEAR(data.Resistivities[0], AresFlatK(2, 4, 4, 6) * 310.4 / 250.5, 1e-12);
    EXPECT_NEAR(data.Resistivities[1], 2.0 * std::numbers::pi * 2.0 * 0.5, 1e-12); // Wenner, a = 2
    // Windows of 20, 20, 40 and 80 ms: (20·2.1 + 20·1.6 + 40·1.2 + 80·0.7) / 160 = 1.1125 %
    // (the plain mean would be 1.4 %); per cent in the data set.
    ASSERT_EQ(data.Chargeabilities.size(), 3u);
    EXPECT_NEAR(data.Chargeabilities[0], 1.1125, 1e-12);
    EXPECT_NEAR(data.Chargeabilities[1], 1.0, 1e-12);
    EXPECT_TRUE(std::isnan(data.Chargeabilities[2])); // a window without a reading: none
    EXPECT_TRUE(data.Errors.empty());
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{9, 11, 12}));
}

TEST(AresFile, ReadsAFileWithoutIp)
{
    const TMeasuredData data = ReadAres("X-loc: 0 m\r\nElectrode distance: 1 m\r\nMeasured data:\r\n"
                                        "C1[el]\tC2[el]\tP1[el]\tP2[el]\tI[mA]\tU[mV]\r\n0\t3\t1\t2\t10\t5\r\n");
    ASSERT_EQ(data.Size(), 1u);
    EXPECT_DOUBLE_EQ(data.Resistances[0], 0.5);
    EXPECT_TRUE(data.Chargeabilities.empty());
}

TEST(AresFile, RefusesWhatItCannotReadNamingTheLine)
{
    const std::string columns = "C1[el]\tC2[el]\tP1[el]\tP2[el]\tI[mA]\tU[mV]\tIP1[%]\tIP2[%]\r\n";
    EXPECT_EQ(AresRefusal("Electrode distance: 1 m\r\nMeasured data:\r\n" + columns),
              "Line 3: the data have IP columns but the header gives no \"IP windows:\" line with their durations.");
    EXPECT_EQ(AresRefusal("Electrode distance: 1 m\r\nIP windows:\t20\t40\t80 ms\r\nMeasured data:\r\n" + columns),
              "Line 4: the IP columns are IP1[%] .. IP3[%], one per window of line 2, not 2 columns from IP1[%].");
    EXPECT_EQ(AresRefusal("Electrode distance: 1 m\r\nIP windows:\t20 ms\r\nMeasured data:\r\n"
                      "C1[el]\tC2[el]\tP1[el]\tP2[el]\tI[mA]\tU[mV]\tIP1[mV/V]\r\n"),
              "Line 4: the IP column \"IP1[mV/V]\" is in per cent (\"[%]\") here, not in \"mV/V\".");
    EXPECT_EQ(AresRefusal("Measured data:\r\nC1[el]\tC2[el]\tP1[el]\tP2[el]\tI[mA]\tU[mV]\r\n"),
              "Line 2: the header gives no \"Electrode distance:\" before the data.");
    EXPECT_EQ(AresRefusal("Electrode distance: 2 ft\r\n"), "Line 1: a length in metres (\"2 m\") is expected, not \" 2 ft\".");
    const std::string plain = "Electrode distance: 1 m\r\nMeasured data:\r\nC1[el]\tC2[el]\tP1[el]\tP2[el]\tI[mA]\tU[mV]\r\n";
    EXPECT_EQ(AresRefusal(plain + "0\t3\t1\t2\t10\r\n"), "Line 4: the row has 5 cells where line 3 names 6.");
    EXPECT_EQ(AresRefusal(plain + "0\t-\t1\t2\t10\t5\r\n"),
              "Line 4: an electrode is a number from 0 (\"5\", or \"5*2\" for a bundle), not \"-\".");
    EXPECT_EQ(AresRefusal(plain + "0\t3\t1\t2\t10\t5,5\r\n"), "Line 4: \"5,5\" is not a number.");
    EXPECT_EQ(AresRefusal("Method: Wenner\r\n"),
              "Line 1: the file ends before the line \"Measured data:\" and the data's column line.");
}

} // namespace
} // namespace lp
