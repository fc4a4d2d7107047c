// Mutated scheme files read as "--forward --scheme" reads them: each is
// refused with EDataFileError naming one of its lines, or it reads into a
// survey that accounts for every line of values in the file (its counts and
// rows, a topography block or nothing after the data) and that is written
// and read back the same. The mutations change digits, signs and column
// names, drop, add, double and swap tokens and lines, insert stray bytes
// and cut the file short. Seeded: LP_MUTATION_ROUNDS sets the mutations per
// source file and LP_MUTATION_SEED the seed.

#include "section/survey/DataFile.h"

#include "tests/section/survey/DataFileMutator.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace lp {
namespace {

// The sources: this program's own data file, one in another program's
// manner (comments, columns in another order and case, units, CR LF, a
// topography block), and one without column lines.
std::vector<std::string> SourceFiles()
{
    TForwardResult result;
    result.Survey.Array = "wenner";
    for (int e = 0; e < 7; ++e)
        result.Survey.Electrodes.push_back({10.0 * e + 0.5, -0.125 * e});
    for (int a = 0; a + 3 < 7; ++a)
        result.Survey.Configurations.push_back({a, a + 3, a + 1, a + 2});
    result.Survey.Configurations.push_back({0, -1, 1, -1});
    for (size_t d = 0; d < result.Survey.Configurations.size(); ++d) {
        result.GeometricFactors.push_back(62.83185307179586 * double(d + 1));
        result.Resistivities.push_back(100.0 + double(d));
        result.Chargeabilities.push_back(5.0 - 0.5 * double(d));
    }
    return {FormatUnifiedData(result),
            "# measured\r\n4  # electrodes\r\n# X Y/m Z\r\n0 0 0\r\n5 0 -0.5\r\n10 0 -1\r\n15 0 -1.5\r\n"
            "3\r\n# RHOA IP/% ERR/% M N A B valid\r\n12.5 1.5 3 2 3 1 4 1\r\n13 1 2 3 4 1 0 1\r\n"
            "# a comment between the data\r\n14.25 0 1 3 2 4 1 1\r\n2\r\n# x z\r\n0 0\r\n15 -1.5\r\n",
            "3\n0\n5 -1\n10 0 -2\n2\n1 0 2 3 100\n3 2 1 0\n"};
}

// The lines with values (before a "#"), as words.
std::vector<std::vector<std::string>> ValueLines(std::string Text)
{
    if (Text.starts_with("\xef\xbb\xbf"))
        Text.erase(0, 3);
    std::vector<std::vector<std::string>> found;
    for (const std::string& line : test::SplitLines(Text)) {
        std::vector<std::string> words = test::Words(line.substr(0, line.find('#')));
        if (!words.empty())
            found.push_back(std::move(words));
    }
    return found;
}

// A line of one whole number (as from_chars reads it: "-0", "007").
std::optional<long long> CountOn(const std::vector<std::vector<std::string>>& Lines, size_t At)
{
    if (At >= Lines.size() || Lines[At].size() != 1)
        return std::nullopt;
    const std::string& word = Lines[At][0];
    long long count = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), count);
    return error == std::errc() && end == word.data() + word.size() ? std::optional<long long>(count) : std::nullopt;
}

bool IsCountOf(const std::vector<std::vector<std::string>>& Lines, size_t At, size_t Count)
{
    return CountOn(Lines, At) == static_cast<long long>(Count);
}

// Whether a survey read from Text accounts for every line of values: the
// electrode count and its rows, the datum count and its rows, then nothing
// or a topography count and its rows.
std::string Unaccounted(const std::string& Text, const TSurvey& Survey)
{
    const std::vector<std::vector<std::string>> lines = ValueLines(Text);
    const size_t electrodes = Survey.Electrodes.size(), data = Survey.Configurations.size();
    if (!IsCountOf(lines, 0, electrodes))
        return "the first line of values is not the count of the " + std::to_string(electrodes) + " electrodes read";
    if (!IsCountOf(lines, electrodes + 1, data))
        return "the line after the electrodes is not the count of the " + std::to_string(data) + " data read";
    const size_t after = electrodes + data + 2;
    if (lines.size() == after)
        return {};
    if (const std::optional<long long> points = CountOn(lines, after);
        points && *points >= 0 && lines.size() == after + 1 + static_cast<size_t>(*points))
        return {};
    return "the lines of values after the data are no topography block";
}

TEST(DataFileMutatedFiles, AreReadWholeOrRefusedNamingALine)
{
    test::ReadMutants<TSurvey>(SourceFiles(), ParseUnifiedData, [](const std::string& mutant, const TSurvey& survey) {
        EXPECT_EQ(Unaccounted(mutant, survey), "");
        TForwardResult written;
        written.Survey = survey;
        written.GeometricFactors.assign(survey.Configurations.size(), 1.0);
        written.Resistivities.assign(survey.Configurations.size(), 1.0);
        EXPECT_EQ(ParseUnifiedData(FormatUnifiedData(written)).Configurations, survey.Configurations);
    });
}

} // namespace
} // namespace lp
