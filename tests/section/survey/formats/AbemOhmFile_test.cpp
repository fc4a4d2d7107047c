// The ABEM Lund protocol export read as the instrument writes it: blocks
// relative to their mid-station, resistances or apparent resistivities by
// the block's flag, 1.0E38 a remote; a 3-D grid refused.

#include "section/survey/formats/AbemOhmFile.h"

#include "section/survey/DataFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {



std::string AbemRefusal(const std::string& Text)
{
    try {
        ReadAbemOhm(Text);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

const char* AbemHeader = "Line 7\r\n"
                     "0                              { first station coordinate }\r\n"
                     "2020-03-01 09:30:00   ver. 2.12\r\n"
                     "2                              { electrode take-out spacing }\r\n"
                     "2                              { no. of protocol files used }\r\n"
                     "WEN 1\r\n";

TEST(AbemOhmFile, ReadsBlocksAroundTheirMidStations)
{
    const std::string text = std::string(AbemHeader) +
                             "WEN2.ORG\r\n"
                             "3 1\r\n"
                             "10\r\n"
                             "2020-03-01 09:31:02   ver. 2.12\r\n"
                             "-3 3 -1 1 4.0E-1 0.3 2 2\r\n"  // line 11: Wenner a = 2 around 10
                             "-1 1 -3 3 1.0E38 0.0 1 1\r\n"  // line 12: a failed reading
                             "-3 1.0E38 -1 1 2.0E-1 1.1 2 2\r\n" // line 13: B at infinity
                             "WEN2.UP\r\n"
                             "1 0\r\n"
                             "20\r\n"
                             "2020-03-01 09:40:00   ver. 2.12\r\n"
                             "-3 3 -1 1 120.5 0.3 2 2\r\n";  // line 18: a resistivity around 20
    const TMeasuredData data = ReadAbemOhm(text);
    EXPECT_EQ(data.Format, TDataFormat::AbemOhm);
    // 7 9 11 13 around 10, 17 19 21 23 around 20.
    ASSERT_EQ(data.Electrodes.size(), 8u);
    EXPECT_DOUBLE_EQ(data.Electrodes.front().x, 7.0);
    EXPECT_DOUBLE_EQ(data.Electrodes.back().x, 23.0);
    ASSERT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Lines, (std::vector<int>{11, 13, 18}));
    EXPECT_EQ(data.Configurations[0], (TConfiguration{0, 3, 1, 2}));
    EXPECT_EQ(data.Configurations[1], (TConfiguration{0, -1, 1, 2}));
    // Wenner a = 2: k = 4 pi; pole-dipole A 7, M 9, N 11: k = 2 pi / (1/2 - 1/4) = 8 pi.
    EXPECT_NEAR(data.Resistivities[0], 4.0 * std::numbers::pi * 0.4, 1e-12);
    EXPECT_NEAR(data.Resistivities[1], 8.0 * std::numbers::pi * 0.2, 1e-12);
    EXPECT_DOUBLE_EQ(data.Resistivities[2], 120.5); // flag 0: the value is ρa
    ASSERT_EQ(data.Resistances.size(), 3u);
    EXPECT_TRUE(std::isnan(data.Resistances[2]));
    EXPECT_TRUE(data.Errors.empty()); // the variation coefficient is no data error
    EXPECT_EQ(data.Skipped.UnmeasuredLines, (std::vector<int>{12}));
    // Each block's date line was dropped: a series could not be put in time order.
    const double day = 18322 * 86400.0; // 2020-03-01
    EXPECT_EQ(data.Times, (std::vector<double>{day + 34262.0, day + 34262.0, day + 34800.0}));
}

TEST(AbemOhmFile, RefusesA3DGridAndWhatItCannotReadNamingTheLine)
{
    EXPECT_EQ(AbemRefusal("b dist= 5\r\n0\r\nx\r\n1\r\n1\r\nGRID 12 16 4\r\nGRID.ORG\r\n0 1\r\n0\r\nx\r\n"),
              "Line 1: a 3-D survey, not a line: \"b dist= 5\" gives the distance of parallel lines.");
    EXPECT_EQ(AbemRefusal("\r\n0\r\nx\r\n1\r\n1\r\nGRID 12 16 4\r\nGRID.ORG\r\n0 1\r\n0\r\nx\r\n"),
              "Line 6: a 3-D survey, not a line: the protocol \"GRID\" has array code 12 (a grid).");
    const std::string block = std::string(AbemHeader) + "WEN2.ORG\r\n2 1\r\n10\r\ndate\r\n-3 3 -1 1 0.4 0.3 2 2\r\n";
    EXPECT_EQ(AbemRefusal(block), "Line 11: the file ends before row 2 of the block of line 8.");
    EXPECT_EQ(AbemRefusal(block + "-3 3 -1 x 0.4 0.3 2 2\r\n"), "Line 12: \"x\" is not a number.");
    EXPECT_EQ(AbemRefusal(block + "-3 3 -1 1 0.4 0.3 2 2\r\nnotes\r\n"),
              "Line 13: a protocol file's name (such as DIPDIP2.ORG) opening a block is expected here, not \"notes\".");
    EXPECT_EQ(AbemRefusal(std::string(AbemHeader) + "WEN2.ORG\r\n2 3\r\n"),
              "Line 8: the value flag is 1 (resistances) or 0 (apparent resistivities), not 3.");
}

} // namespace
} // namespace lp
