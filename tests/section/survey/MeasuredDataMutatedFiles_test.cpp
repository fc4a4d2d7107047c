// Mutated measured data files in the unified data format: each is refused
// naming one of its lines, or it reads into a sound data set that accounts
// for every datum of the file (used or counted as skipped), is written
// and read back the same, compares with a response within what a double
// counts, and whose electrodes stand on a ground or are refused naming a
// line. Seeded as DataFileMutator.h says.

#include "section/forward/ForwardResponse.h"
#include "section/survey/MeasuredData.h"

#include "tests/section/survey/DataFileMutator.h"
#include "tests/section/survey/MeasuredDataChecks.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// This program's file with chargeability, pyGIMLi's manner (x y z with the
// elevation in y, err fractions, ip in mV/V, valid, a topography block),
// and resistances with units, CR LF and a byte-order mark.
std::vector<std::string> UnifiedSources()
{
    TForwardResult result;
    result.Survey.Array = "dipole-dipole";
    for (int e = 0; e < 7; ++e)
        result.Survey.Electrodes.push_back({5.0 * e, -0.25 * e});
    for (int a = 0; a + 3 < 7; ++a)
        result.Survey.Configurations.push_back({a, a + 1, a + 2, a + 3});
    result.Survey.Configurations.push_back({0, -1, 2, 3});
    for (size_t d = 0; d < result.Survey.Configurations.size(); ++d) {
        result.GeometricFactors.push_back(94.24777960769379 * double(d + 1));
        result.Resistivities.push_back(80.0 + 3.5 * double(d));
        result.Chargeabilities.push_back(2.0 + 0.25 * double(d));
    }
    return {FormatUnifiedData(result),
            "# pyGIMLi\n4\n# x y z\n0 10 0\n1 9.5 0\n2 9 0\n3 8.5 0\n3\n# a b m n err ip k rhoa valid\n"
            "1 2 3 4 0.02 15 18.85 120 1\n2 0 3 4 0.05 nan 9.42 80 1\n1 2 3 4 0.03 4 18.85 -1 0\n"
            "2\n# x y\n0 10\n3 8.5\n",
            "\xEF\xBB\xBF" "3\r\n# X Z\r\n0 0\r\n2 -1\r\n4 -2\r\n2\r\n# C1 C2 P1 P2 U/mV I/mA ERR/% IP/%\r\n"
            "1 0 2 3 150 100 3 1.5\r\n1 0 3 2 -150 100 2 1\r\n0\r\n"};
}

TEST(MeasuredDataMutatedFiles, AreReadWholeOrRefusedNamingALine)
{
    test::ReadMutants<TMeasuredData>(
        UnifiedSources(), ReadUnifiedMeasuredData, [](const std::string& mutant, const TMeasuredData& data) {
            EXPECT_EQ(test::UnsoundMeasuredData(data), "");
            // Every datum of the file is used or counted (the scheme reader
            // accounts for every line of the same blocks).
            EXPECT_EQ(data.Size() + static_cast<size_t>(data.Skipped.Total()),
                      ParseUnifiedData(mutant).Configurations.size());
            EXPECT_EQ(test::RoundTripDifference(data), "");
            EXPECT_EQ(test::PlacementRefusalWithoutLine(data), "");
            EXPECT_EQ(test::UncountableMisfit(data), "");
        });
}

} // namespace
} // namespace lp
