#pragma once
// Seeded mutations of data files for the readers' mutated-file tests: digits,
// signs and column names changed, tokens and lines dropped, added, doubled
// and swapped, stray bytes inserted, the file cut short. LP_MUTATION_ROUNDS
// sets the mutations per source file and LP_MUTATION_SEED the seed.

#include "section/survey/DataFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace lp::test {

inline int EnvironmentNumber(const char* Name, int Default)
{
    const char* text = std::getenv(Name);
    return text != nullptr && *text != '\0' ? std::atoi(text) : Default;
}

inline std::vector<std::string> SplitLines(const std::string& Text)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream stream(Text);
    while (std::getline(stream, line))
        lines.push_back(line);
    return lines;
}

inline std::vector<std::string> Words(const std::string& Text)
{
    std::vector<std::string> words;
    std::istringstream stream(Text);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

enum TMutation {
    muDigit,
    muSign,
    muColumnName,
    muTokenDropped,
    muTokenAdded,
    muTokenDoubled,
    muLineDropped,
    muLineDoubled,
    muLinesSwapped,
    muByte,
    muCut,
    muCount
};

class TDataFileMutator {
public:
    explicit TDataFileMutator(unsigned Seed) : FRandom(Seed) {}

    std::string Mutate(const std::string& Original, TMutation Kind)
    {
        if (Kind == muByte || Kind == muCut)
            return MutateBytes(Original, Kind);
        std::vector<std::string> lines = SplitLines(Original);
        std::string& line = lines[Pick(lines.size())];
        std::vector<std::string> words = Words(line);
        switch (Kind) {
        case muDigit: {
            std::vector<size_t> digits;
            for (size_t i = 0; i < line.size(); ++i)
                if (line[i] >= '0' && line[i] <= '9')
                    digits.push_back(i);
            if (!digits.empty())
                line[digits[Pick(digits.size())]] = static_cast<char>('0' + Pick(10));
            break;
        }
        case muSign: {
            const size_t at = line.find_first_of("0123456789", Pick(line.size() + 1));
            if (at != std::string::npos)
                line.insert(at, "-");
            break;
        }
        case muColumnName: {
            static const char* names[] = {"a", "B", "m", "n", "x", "Z", "y", "ip/%", "err", "rhoa", "valid", "q"};
            if (!words.empty() && words.front().front() == '#') {
                words[Pick(words.size())] = names[Pick(std::size(names))];
                line = Joined(words);
            }
            break;
        }
        case muTokenDropped:
            if (!words.empty()) {
                words.erase(words.begin() + static_cast<std::ptrdiff_t>(Pick(words.size())));
                line = Joined(words);
            }
            break;
        case muTokenAdded: {
            static const char* tokens[] = {"0", "1", "-2", "3.5", "nan", "1e999", "x", "#", "2147483648", "+1"};
            words.insert(words.begin() + static_cast<std::ptrdiff_t>(Pick(words.size() + 1)), tokens[Pick(std::size(tokens))]);
            line = Joined(words);
            break;
        }
        case muTokenDoubled:
            if (!words.empty()) {
                const size_t at = Pick(words.size());
                words.insert(words.begin() + static_cast<std::ptrdiff_t>(at), words[at]);
                line = Joined(words);
            }
            break;
        case muLineDropped: lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(Pick(lines.size()))); break;
        case muLineDoubled: {
            const size_t at = Pick(lines.size());
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), lines[at]);
            break;
        }
        default: std::swap(lines[Pick(lines.size())], lines[Pick(lines.size())]); break;
        }
        std::string text;
        for (const std::string& kept : lines)
            text += kept + "\n";
        return text;
    }

private:
    size_t Pick(size_t Count) { return std::uniform_int_distribution<size_t>(0, Count - 1)(FRandom); }

    static std::string Joined(const std::vector<std::string>& Words)
    {
        std::string line;
        for (const std::string& word : Words)
            line += (line.empty() ? "" : " ") + word;
        return line;
    }

    std::string MutateBytes(std::string Text, TMutation Kind)
    {
        const size_t at = Pick(Text.size() + 1);
        if (Kind == muCut)
            return Text.substr(0, at);
        static const std::string bytes[] = {std::string(1, '\0'), "\x1b[2J", "\xff", "\xef\xbb\xbf", "\r", "\t", "\n", "#", " "};
        return Text.insert(at, bytes[Pick(std::size(bytes))]);
    }

    std::mt19937 FRandom;
};

// Mutates each source LP_MUTATION_ROUNDS times (seeded by LP_MUTATION_SEED)
// and reads every mutant with Read: a refusal (EDataFileError) names a line
// of the mutant; an accepted mutant goes to Accepted with what was read.
// Each source must read, and both roads must be taken.
template <typename TRead>
void ReadMutants(const std::vector<std::string>& Sources, const std::function<TRead(const std::string&)>& Read,
                 const std::function<void(const std::string& Mutant, const TRead& Read)>& Accepted)
{
    const int rounds = EnvironmentNumber("LP_MUTATION_ROUNDS", 400);
    TDataFileMutator mutator(static_cast<unsigned>(EnvironmentNumber("LP_MUTATION_SEED", 20261209)));
    int accepted = 0, refused = 0;
    for (const std::string& source : Sources) {
        ASSERT_NO_THROW(Read(source));
        for (int round = 0; round < rounds; ++round) {
            const auto kind = static_cast<TMutation>(round % muCount);
            const std::string mutant = mutator.Mutate(source, kind);
            SCOPED_TRACE("mutation " + std::to_string(kind) + " of round " + std::to_string(round) + ":\n" + mutant);
            TRead read;
            try {
                read = Read(mutant);
            } catch (const EDataFileError& error) {
                ++refused;
                const std::string& message = error.Message();
                ASSERT_TRUE(message.starts_with("Line ")) << message;
                const int line = std::atoi(message.c_str() + 5);
                EXPECT_GE(line, 1) << message;
                EXPECT_LE(line, static_cast<int>(SplitLines(mutant).size()) + 1) << message;
                continue;
            }
            ++accepted;
            Accepted(mutant, read);
        }
    }
    EXPECT_GT(accepted, rounds / 4);
    EXPECT_GT(refused, rounds / 4);
}

} // namespace lp::test
