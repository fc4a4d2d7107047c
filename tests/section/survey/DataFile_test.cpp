// The data files: the unified data format written and read back (ip in
// mV/V), the column orders, units and comments other programs write, the
// table, and the scheme files that are refused with their line named.

#include "section/survey/DataFile.h"

#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <sstream>

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
              "# Lithoprism forward response, array wenner: rhoa in ohm-m, k in m, ip in mV/V (10 mV/V = 1 %)\n"
              "4\n"
              "# x z\n"
              "0.1 -0.3\n"
              "3.3333333333333335 -1e-17\n"
              "20 0\n"
              "30.25 -2.5\n"
              "3\n"
              "# a b m n k rhoa ip\n"
              "1 4 2 3 62.83185307179586 100.00000000000001 49.99999999\n"
              "1 0 3 4 -0.3333333333333333 0.30000000000000004 0\n"
              "4 3 2 0 1e-300 5e+07 1.4285714285714284\n"
              "0\n");
    const std::string plain = FormatUnifiedData(SmallResult(false));
    EXPECT_NE(plain.find("# a b m n k rhoa\n1 4 2 3 62.83185307179586 100.00000000000001\n"), std::string::npos);
    EXPECT_EQ(plain.find("ip"), std::string::npos);
    EXPECT_TRUE(plain.starts_with("# Lithoprism forward response, array wenner: rhoa in ohm-m, k in m\n4\n# x z\n"));
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
    // Without column lines: x first, then a b m n; "x z" and "x y z" rows
    // give z.
    const TSurvey bare = ParseUnifiedData("3\n1.5\n2.5 -1\n2 7 -2\n1\n1 0 2 0\n");
    EXPECT_EQ(bare.Electrodes[1].x, 2.5);
    EXPECT_EQ(bare.Electrodes[0].z, 0.0);
    EXPECT_EQ(bare.Electrodes[1].z, -1.0);
    EXPECT_EQ(bare.Electrodes[2].z, -2.0);
    EXPECT_EQ(bare.Configurations[0], (TConfiguration{0, -1, 1, -1}));
    // The tokens other programs write, in any case and with units, are read
    // as columns and skipped; "# x y" names the elevation y.
    const TSurvey other = ParseUnifiedData("2\n# X Y\n0 -1\n5 -2\n"
                                           "2\n# RHOA IP/% ERR/% R U I K VALID A B M N ip err\n"
                                           "12.5 1.5 3 0.4 0.2 0.5 6.28 1 1 2 0 0 15 0.03\n"
                                           "nan 0 0 0 0 0 0 0 2 0 1 0 0 0\n");
    EXPECT_EQ(other.Electrodes[1].z, -2.0);
    EXPECT_EQ(other.Configurations, (std::vector<TConfiguration>{{0, 1, -1, -1}, {1, -1, 0, -1}}));
    // A 2-D line as "x y z" with z 0 everywhere keeps its elevation in y (the
    // relief of a scheme another program wrote); with any z set, z wins.
    const TSurvey inY = ParseUnifiedData("2\n# x y z\n0 1.5 0\n5 -2 0\n1\n# a b m n\n1 0 2 0\n");
    EXPECT_EQ(inY.Electrodes[0].z, 1.5);
    EXPECT_EQ(inY.Electrodes[1].z, -2.0);
    const TSurvey bareInY = ParseUnifiedData("2\n0 1.5 0\n5 -2 0\n1\n1 0 2 0\n");
    EXPECT_EQ(bareInY.Electrodes[0].z, 1.5);
    const TSurvey inZ = ParseUnifiedData("2\n# x y z\n0 1.5 0\n5 -2 -1\n1\n# a b m n\n1 0 2 0\n");
    EXPECT_EQ(inZ.Electrodes[0].z, 0.0);
    EXPECT_EQ(inZ.Electrodes[1].z, -1.0);
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
        TRefusedFile{"NoColumnX", "1\n# y z\n0 0\n", "Line 2: the electrode columns have no \"x\"."},
        TRefusedFile{"TooManyValues", "2\n# x z\n0 0\n1 0 5\n", "Line 4: electrode 2 has 3 values where line 2 names 2."},
        TRefusedFile{"ColumnTwice", "1\n0\n1\n# a b m n a\n1 0 1 0 1\n", "Line 4: the datum columns name \"a\" twice."},
        TRefusedFile{"DataValueNotANumber", "2\n0\n1\n1\n# a b m n rhoa\n1 0 2 0 12,5\n",
                     "Line 6: \"12,5\" is not a number."},
        TRefusedFile{"BareRowTooLong", "1\n0 0 0 0\n", "Line 2: electrode 1 has 4 values where 1 to 3 are read."},
        TRefusedFile{"BareDatumTooShort", "2\n0\n1\n1\n1 0 2\n", "Line 5: datum 1 has 3 values where 4 or more are read."},
        TRefusedFile{"ColumnLineNotRightAfterItsCount", "2\n# electrode positions\n# x z\n0 0\n1 0\n",
                     "Line 2: the electrode columns have no \"x\"."}),
    [](const ::testing::TestParamInfo<TRefusedFile>& info) { return std::string(info.param.name); });

// The scheme reader took a count from the first token of a line: with the
// datum count line missing, "1 2 3 4" was read as a count of 1 and one
// datum computed; with an electrode row missing, the datum count became an
// electrode; a datum count lower than the rows present dropped the rest.
TEST(DataFile, ASchemeWithACountOrARowMissingIsRefusedNamingTheLine)
{
    const std::string electrodes = "4\n# x z\n0 0\n1 0\n2 0\n3 0\n";
    const std::string data = "# a b m n\n1 2 3 4\n1 4 2 3\n";
    const auto refusal = [](const std::string& text) {
        try {
            const TSurvey survey = ParseUnifiedData(text);
            return "read " + std::to_string(survey.Electrodes.size()) + " electrodes, " +
                   std::to_string(survey.Configurations.size()) + " data";
        } catch (const EDataFileError& error) {
            return error.Message();
        }
    };
    EXPECT_EQ(refusal(electrodes + data + "0\n"),
              "Line 8: the datum count is one whole number alone on its line, not \"1 2 3 4\".");
    EXPECT_EQ(refusal("4\n# x z\n0 0\n1 0\n2 0\n2\n" + data + "0\n"),
              "Line 6: electrode 4 has 1 values where 2 are needed.");
    EXPECT_EQ(refusal("4\n# x\n0\n1\n2\n2\n" + data + "0\n"),
              "Line 8: the datum count is one whole number alone on its line, not \"1 2 3 4\".");
    EXPECT_EQ(refusal(electrodes + "1\n" + data + "0\n"),
              "Line 10: after the 1 data only a topography count may follow, not \"1 4 2 3\".");
    EXPECT_EQ(refusal(electrodes + "2\n" + data + "0\n1 2 3 4\n"),
              "Line 12: the file goes on after its topography: \"1 2 3 4\".");
    EXPECT_EQ(refusal(electrodes + "2 3\n" + data), "Line 7: the datum count is one whole number alone on its line, not \"2 3\".");
    // A comment after a count, a topography block, or nothing after the data.
    EXPECT_EQ(refusal("4 # electrodes\n# x z\n0 0\n1 0\n2 0\n3 0\n2   # data\n" + data + "0\n"), "read 4 electrodes, 2 data");
    EXPECT_EQ(refusal(electrodes + "2\n" + data), "read 4 electrodes, 2 data");
    EXPECT_EQ(refusal(electrodes + "2\n" + data + "2\n# x z\n0 0\n3 -1\n# end\n\n"), "read 4 electrodes, 2 data");
    EXPECT_EQ(refusal(electrodes + "2\n" + data + "2\n0 0\n"), "Line 12: the file ends before topography point 2.");
}

// A UTF-8 byte-order mark was refused with an invisible character in the
// message.
TEST(DataFile, AByteOrderMarkIsSkipped)
{
    const TSurvey survey = ParseUnifiedData("\xEF\xBB\xBF" "2\n# x z\n0 0\n1 0\n1\n# a b m n\n1 0 2 0\n");
    EXPECT_EQ(survey.Electrodes.size(), 2u);
    EXPECT_EQ(survey.Configurations.size(), 1u);
}

// A refusal echoed the offending token whole (a 200 MB token took 1.9 GB)
// and passed escape sequences on to the terminal.
TEST(DataFile, RefusalsQuoteAtMostFortyCharactersWithControlCharactersEscaped)
{
    const std::string huge(2'000'000, '7');
    try {
        ParseUnifiedData("2\n# x z\n0 0\n" + huge + "x 0\n");
        FAIL() << "not refused";
    } catch (const EDataFileError& error) {
        EXPECT_EQ(error.Message(), "Line 4: \"" + std::string(40, '7') + "...\" is not a number.");
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\x1b]0;owned\x07", "\"\\x1b]0;owned\\x07\""},
        {"a\x01" "b\x7f", "\"a\\x01b\\x7f\""},
        {"\xc2\x9b" "2J", "\"\\xc2\\x9b2J\""},            // the C1 control introducing a sequence
        {"\xff\xfe" "1", "\"\\xff\\xfe1\""},               // not UTF-8
        {"\xce\xa9m", "\"\xce\xa9m\""},                     // a Greek letter stays
        {std::string(39, 'a') + "\xce\xa9\xce\xa9", "\"" + std::string(39, 'a') + "\xce\xa9...\""}};
    try {
        ParseUnifiedData("2\t3\r\n");
        ADD_FAILURE() << "not refused";
    } catch (const EDataFileError& error) {
        EXPECT_EQ(error.Message(), "Line 1: the electrode count is one whole number alone on its line, not \"2\\t3\".");
    }
    for (const auto& [token, quoted] : cases) {
        try {
            ParseUnifiedData("1 \n# x\n" + token + "\n");
            ADD_FAILURE() << "not refused: " << token;
        } catch (const EDataFileError& error) {
            EXPECT_EQ(error.Message(), "Line 3: " + quoted + " is not a number.");
        }
    }
}

// ip was written in per cent, which pyGIMLi takes as mV/V: a region of 5 %
// read as 0.5 %.
TEST(DataFile, ChargeabilityIsWrittenInMillivoltsPerVolt)
{
    const test::TForwardSection section(100.0, 50.0, 100.0, 5.0);
    TArrayLayout layout;
    layout.Kind = TArrayKind::Wenner;
    layout.Electrodes = 8;
    layout.Levels = 1;
    const TForwardModel ground = section.Ground();
    const TForwardResult result = ComputeForwardResponse(ground, MakeArraySurvey(layout, ground.Left, ground.Right));
    const std::string text = FormatUnifiedData(result);
    EXPECT_TRUE(text.starts_with("# Lithoprism forward response, array wenner: rhoa in ohm-m, k in m, ip in mV/V "
                                 "(10 mV/V = 1 %)\n"))
        << text;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line) && line != "# a b m n k rhoa ip") {
    }
    int data = 0;
    for (; std::getline(lines, line) && line != "0"; ++data) {
        std::istringstream row(line);
        double a, b, m, n, k, rhoa, ip;
        ASSERT_TRUE(row >> a >> b >> m >> n >> k >> rhoa >> ip) << line;
        EXPECT_NEAR(ip, 50.0, 0.5) << line;
    }
    EXPECT_EQ(data, 5);
    // The table keeps per cent and says so.
    const std::string table = FormatDataTable(result);
    EXPECT_TRUE(table.starts_with("a,b,m,n,xa,xb,xm,xn,k,rhoa,ip_percent\n"));
    EXPECT_NEAR(std::stod(table.substr(table.find_last_of(',') + 1)), 5.0, 0.05);
    // What is written reads back as its survey.
    const TSurvey read = ParseUnifiedData(text);
    EXPECT_EQ(read.Configurations, result.Survey.Configurations);
    ASSERT_EQ(read.Electrodes.size(), result.Survey.Electrodes.size());
    for (size_t e = 0; e < read.Electrodes.size(); ++e)
        EXPECT_EQ(read.Electrodes[e].x, result.Survey.Electrodes[e].x);
}

TEST(DataFile, TheTableHasOneRowPerDatumWithTheElectrodesPositions)
{
    EXPECT_EQ(FormatDataTable(SmallResult(false)),
              "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip_percent\n"
              "1,4,2,3,0.1,30.25,3.3333333333333335,20,62.83185307179586,100.00000000000001,\n"
              "1,0,3,4,0.1,,20,30.25,-0.3333333333333333,0.30000000000000004,\n"
              "4,3,2,0,30.25,20,3.3333333333333335,,1e-300,5e+07,\n");
    EXPECT_NE(FormatDataTable(SmallResult(true)).find(",100.00000000000001,4.999999999\n"), std::string::npos);
}

} // namespace
} // namespace lp::test
