// The data files: the unified data format written and read back, the
// column orders and comments other programs write, the table, and the
// scheme files that are refused with their line named.

#include "section/forward/DataFile.h"

#include <gtest/gtest.h>

namespace lp::test {
namespace {

// A result as the computation leaves it: a pole-dipole datum among them.
TForwardResult SmallResult(bool chargeability)
{
    TForwardResult result;
    result.Survey.Array = "wenner";
    result.Survey.Electrodes = {{0.1, -0.3}, {10.0 / 3.0, -1e-17}, {20.0, 0.0}, {30.25, -2.5}};
    result.Survey.Configurations = {{0, 3, 1, 2}, {0, -1, 2, 3}, {3, 2, 1, -1}};
    result.GeometricFactors = {62.83185307179586, -1.0 / 3.0, 1e-300};
    result.Resistivities = {100.00000000000001, 0.1 + 0.2, 5e7};
    if (chargeability)
        result.Chargeabilities = {4.999999999, 0.0, 1.0 / 7.0};
    return result;
}

TEST(DataFile, TheUnifiedFormatHoldsItsBlocksInOrder)
{
    EXPECT_EQ(FormatUnifiedData(SmallResult(true)),
              "# Lithoprism forward response: rhoa in ohm-m, ip in per cent, array wenner\n"
              "4\n"
              "# x z\n"
              "0.1 -0.3\n"
              "3.3333333333333335 -1e-17\n"
              "20 0\n"
              "30.25 -2.5\n"
              "3\n"
              "# a b m n k rhoa ip\n"
              "1 4 2 3 62.83185307179586 100.00000000000001 4.999999999\n"
              "1 0 3 4 -0.3333333333333333 0.30000000000000004 0\n"
              "4 3 2 0 1e-300 5e+07 0.14285714285714285\n"
              "0\n");
    const std::string plain = FormatUnifiedData(SmallResult(false));
    EXPECT_NE(plain.find("# a b m n k rhoa\n1 4 2 3 62.83185307179586 100.00000000000001\n"), std::string::npos);
    EXPECT_EQ(plain.find("ip"), std::string::npos);
}

TEST(DataFile, WhatIsWrittenReadsBackAsTheSameSurvey)
{
    const TForwardResult result = SmallResult(true);
    const TSurvey read = ParseUnifiedData(FormatUnifiedData(result));
    ASSERT_EQ(read.Electrodes.size(), result.Survey.Electrodes.size());
    for (size_t e = 0; e < read.Electrodes.size(); ++e) {
        EXPECT_EQ(read.Electrodes[e].x, result.Survey.Electrodes[e].x);
        EXPECT_EQ(read.Electrodes[e].z, result.Survey.Electrodes[e].z);
    }
    EXPECT_EQ(read.Configurations, result.Survey.Configurations);
    EXPECT_EQ(read.Array, SchemeArrayName);
    // A scheme without data is refused as such.
    TSurvey empty = ParseUnifiedData("2\n0\n1\n0\n0\n");
    TForwardModel ground;
    ground.Right = 10.0;
    ground.Surface = {{0.0, 0.0}, {10.0, 0.0}};
    try {
        PlaceSurvey(empty, ground);
        FAIL() << "not refused";
    } catch (const EForwardError& error) {
        EXPECT_EQ(error.Message(), "The scheme has no configuration.");
    }
}

TEST(DataFile, ColumnsAreReadByTheirNamesCommentsAndBlankLinesSkipped)
{
    const TSurvey survey = ParseUnifiedData("# a scheme from another program\r\n"
                                            "3   # electrodes\r\n"
                                            "#x\ty\tz\r\n"
                                            "\r\n"
                                            "0\t0\t-1\r\n"
                                            "5 0 -2\n"
                                            "10 0 -3\n"
                                            "2\n"
                                            "# rhoa M N A B valid\n"
                                            "12.5 2 3 1 0 1\n"
                                            "# a comment between the data\n"
                                            "99 3 2 1 0 1\n"
                                            "0\n");
    ASSERT_EQ(survey.Electrodes.size(), 3u);
    EXPECT_EQ(survey.Electrodes[1].x, 5.0);
    EXPECT_EQ(survey.Electrodes[2].z, -3.0);
    ASSERT_EQ(survey.Configurations.size(), 2u);
    EXPECT_EQ(survey.Configurations[0], (TConfiguration{0, -1, 1, 2}));
    EXPECT_EQ(survey.Configurations[1], (TConfiguration{0, -1, 2, 1}));
    // Without column lines: x first, then a b m n.
    const TSurvey bare = ParseUnifiedData("2\n1.5\n2.5\n1\n1 0 2 0\n");
    EXPECT_EQ(bare.Electrodes[1].x, 2.5);
    EXPECT_EQ(bare.Configurations[0], (TConfiguration{0, -1, 1, -1}));
}

struct TRefusedFile {
    const char* name;
    const char* text;
    const char* message;
};

class RefusedDataFiles : public ::testing::TestWithParam<TRefusedFile> {};

TEST_P(RefusedDataFiles, NameTheLineOfTheirFirstFault)
{
    try {
        ParseUnifiedData(GetParam().text);
        FAIL() << "not refused";
    } catch (const EDataFileError& error) {
        EXPECT_EQ(error.Message(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    DataFile, RefusedDataFiles,
    ::testing::Values(
        TRefusedFile{"Empty", "", "Line 1: the file ends before the electrode count."},
        TRefusedFile{"CountNotAWholeNumber", "# c\n2.5\n", "Line 2: \"2.5\" is not a whole number."},
        TRefusedFile{"NegativeCount", "-2\n", "Line 1: the electrode count -2 is below 0."},
        TRefusedFile{"CutShort", "3\n# x z\n0 0\n1 0\n", "Line 4: the file ends before electrode 3."},
        TRefusedFile{"NotANumber", "2\n# x z\n0 0\nnan 0\n", "Line 4: \"nan\" is not a finite number."},
        TRefusedFile{"TooFewValues", "2\n# x z\n0 0\n1\n", "Line 4: electrode 2 has 1 values where 2 are needed."},
        TRefusedFile{"NoSuchElectrode", "2\n0\n1\n1\n# a b m n\n1 0 3 2\n", "Line 6: electrode number 3 is not one of the 2 electrodes."},
        TRefusedFile{"NoColumnA", "2\n0\n1\n1\n# b m n\n0 1 2\n", "Line 5: the datum columns have no \"a\"."},
        TRefusedFile{"NoColumnX", "1\n# y z\n0 0\n", "Line 2: the electrode columns have no \"x\"."}),
    [](const ::testing::TestParamInfo<TRefusedFile>& info) { return std::string(info.param.name); });

TEST(DataFile, TheTableHasOneRowPerDatumWithTheElectrodesPositions)
{
    EXPECT_EQ(FormatDataTable(SmallResult(false)),
              "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip\n"
              "1,4,2,3,0.1,30.25,3.3333333333333335,20,62.83185307179586,100.00000000000001,\n"
              "1,0,3,4,0.1,,20,30.25,-0.3333333333333333,0.30000000000000004,\n"
              "4,3,2,0,30.25,20,3.3333333333333335,,1e-300,5e+07,\n");
    EXPECT_NE(FormatDataTable(SmallResult(true)).find(",100.00000000000001,4.999999999\n"), std::string::npos);
}

} // namespace
} // namespace lp::test
