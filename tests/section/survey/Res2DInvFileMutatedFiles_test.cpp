// Mutated Res2DInv files: each is refused naming one of its lines, or it
// reads into a sound data set that accounts for every datum its count line
// announces (used or counted as skipped) and is written as a unified data
// file and read back the same; it compares with a response within what a
// double counts, and its electrodes stand on a ground or are refused naming
// a line. Seeded as DataFileMutator.h says.

#include "section/survey/Res2DInvFile.h"

#include "tests/section/survey/DataFileMutator.h"
#include "tests/section/survey/MeasuredDataChecks.h"

#include <gtest/gtest.h>

#include <optional>

namespace lp {
namespace {

// Dipole-dipole with chargeability and a topography block, pole-dipole
// both ways by mid-points with commas, and a general array of resistances
// with tabs and without closing zeros.
std::vector<std::string> Res2DInvSources()
{
    return {"Line 3 dd\n2.5\n3\n6\n0\n1\nChargeability\nmV/V\n0.12,0.92\n"
            "0 2.5 1 100 12\n2.5 2.5 1 110 11\n5 2.5 1 95 9\n0 2.5 2 102 10\n2.5 2.5 2 99 13\n0 5 1 120 8\n"
            "1\n3\n0 10\n10 9\n30 7\n1\n0\n0\n0\n0\n",
            "pole-dipole\r\n1\r\n6\r\n4\r\n1\r\n0\r\n3.75,2.5,2,100\r\n3.75,2.5,-2,95\r\n6.25,2.5,2,97\r\n"
            "6.25,2.5,-2,93\r\n0,0,0,0\r\n",
            "General\n5\n11\n0\nType of measurement (0=app. resistivity,1=resistance)\n1\n4\n1\n0\n"
            "4\t0\t0\t5\t0\t10\t0\t15\t0\t-2\n3\t0\t0\t5\t0\t10\t0\t1.5\n2\t0\t0\t10\t0\t0.4\n"
            "4\t5\t0\t10\t0\t15\t0\t20\t0\t-1.8\n"};
}

// The number of data the file announces, read apart from the reader: the
// fourth line with values, or the seventh for the general array; none
// when those lines are not what they should be.
std::optional<int> AnnouncedData(const std::string& Text)
{
    std::vector<std::string> lines;
    for (const std::string& line : test::SplitLines(Text.starts_with("\xEF\xBB\xBF") ? Text.substr(3) : Text))
        if (line.find_first_not_of(" \t\r") != std::string::npos || lines.empty())
            lines.push_back(line);
    if (lines.size() < 7)
        return std::nullopt;
    const size_t at = std::atoi(lines[2].c_str()) == 11 ? 6 : 3;
    const std::vector<std::string> words = test::Words(lines[at]);
    return words.empty() ? std::nullopt : std::optional<int>(std::atoi(words.front().c_str()));
}

TEST(Res2DInvFileMutatedFiles, AreReadWholeOrRefusedNamingALine)
{
    test::ReadMutants<TMeasuredData>(
        Res2DInvSources(), ReadRes2DInvData, [](const std::string& mutant, const TMeasuredData& data) {
            EXPECT_EQ(test::UnsoundMeasuredData(data), "");
            EXPECT_EQ(static_cast<int>(data.Size()) + data.Skipped.Total(), AnnouncedData(mutant));
            EXPECT_EQ(test::RoundTripDifference(data), "");
            EXPECT_EQ(test::PlacementRefusalWithoutLine(data), "");
            EXPECT_EQ(test::UncountableMisfit(data), "");
        });
}

} // namespace
} // namespace lp
