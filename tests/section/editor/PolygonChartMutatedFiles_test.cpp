// Mutated section files opened by the section chart as File > Open opens
// them: each file is refused with a message and the chart left as it was,
// or it opens, saves, and opens again equal; the command line's export
// reads the same files the same way. The mutations change digits, signs,
// nodes' border kinds and parameter tokens, and change, double or drop
// whole lines. Seeded: LP_MUTATION_ROUNDS sets the mutations per source
// file (a few hundred in all by default) and LP_MUTATION_SEED the seed.

#include "section/editor/ModelExport.h"
#include "section/editor/PolygonChart.h"

#include "SectionModelCheck.h"
#include "tests/section/model/RandomSectionModels.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace lp {
namespace {

int EnvironmentNumber(const char* Name, int Default)
{
    const char* text = std::getenv(Name);
    return text != nullptr && *text != '\0' ? std::atoi(text) : Default;
}

std::string FileText(const QString& Name)
{
    QFile file(Name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << Name.toStdString();
    return file.readAll().toStdString();
}

void WriteText(const QString& Name, const std::string& Text)
{
    QFile file(Name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Text.data(), static_cast<qint64>(Text.size()));
}

// A section richer than the example: a relief top with its surface nodes,
// bodies of several rings with shared nodes, pockets of host medium, nodes
// on the left, right and bottom edges, and a line.
std::string RicherSection()
{
    test::TRandomSectionMaker maker(3); // a seed with a relief
    const test::TRandomSection made = maker.Make();
    EXPECT_TRUE(made.faults.empty());
    EXPECT_TRUE(made.useProfile);
    TSectionModel section;
    section.ModelArea = TModelArea{test::TRandomSectionMaker::Left, test::TRandomSectionMaker::Top,
                                   test::TRandomSectionMaker::Right, test::TRandomSectionMaker::Bottom};
    section.HasProfile = made.useProfile;
    section.Profile = made.profile;
    section.Nodes = made.nodes;
    section.Model = made.model;
    section.Lines = made.modelLines;
    for (int body = 1; body < section.Model.Length(); ++body)
        for (Polygon& ring : section.Model[body]) {
            ring.params[psLabelText] = ParamValue("body " + std::to_string(body));
            ring.params[psResistivity] = ParamValue(10.0 * body);
        }
    return "picture.bmp\r\n 0.0 0.0 100.0 60.0\r\n\r\n" + FormatSectionModelBlock(section);
}

std::vector<std::string> SplitLines(const std::string& Text)
{
    std::vector<std::string> lines;
    for (std::string_view line : SplitFileLines(Text))
        lines.emplace_back(line);
    return lines;
}

std::string JoinLines(const std::vector<std::string>& Lines)
{
    std::string text;
    for (const std::string& line : Lines)
        text += line + "\r\n";
    return text;
}

enum TMutation { muDigit, muSign, muBorderKind, muParameter, muLineChanged, muLineDoubled, muLineDropped, muCount };

// Changes a section file's model block (the header lines stay: the chart
// reads the block only).
class TFileMutator {
public:
    explicit TFileMutator(unsigned Seed) : FRandom(Seed) {}

    std::string Mutate(const std::string& Original, TMutation Kind)
    {
        std::vector<std::string> lines = SplitLines(Original);
        const size_t first = BlockStart(lines);
        switch (Kind) {
        case muDigit: ChangeDigit(lines[Pick(first, lines.size())]); break;
        case muSign: FlipSign(lines[Pick(first, lines.size())]); break;
        case muBorderKind: {
            const std::vector<size_t> nodes = NodeLines(lines);
            if (!nodes.empty())
                ChangeLastToken(lines[Pick(nodes)], BorderKindToken());
            break;
        }
        case muParameter: {
            const std::vector<size_t> parameters = ParameterLines(lines);
            if (!parameters.empty())
                ChangeParameter(lines[Pick(parameters)]);
            break;
        }
        case muLineChanged: lines[Pick(first, lines.size())] = lines[Pick(first, lines.size())]; break;
        case muLineDoubled: {
            const size_t at = Pick(first, lines.size());
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), lines[at]);
            break;
        }
        default: lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(Pick(first, lines.size()))); break;
        }
        return JoinLines(lines);
    }

private:
    size_t Pick(size_t Low, size_t High) { return std::uniform_int_distribution<size_t>(Low, High - 1)(FRandom); }
    size_t Pick(const std::vector<size_t>& From) { return From[Pick(0, From.size())]; }
    int Number(int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(FRandom); }

    static size_t BlockStart(const std::vector<std::string>& Lines)
    {
        for (size_t i = 0; i < Lines.size(); ++i)
            if (Lines[i].find(SectionBlockMarker) != std::string::npos)
                return i + 1;
        return 0;
    }

    // Lines of two reals and three integers: two exponents, the last well
    // before the line's end (a profile of one point ends in its second).
    static std::vector<size_t> NodeLines(const std::vector<std::string>& Lines)
    {
        std::vector<size_t> found;
        for (size_t i = 0; i < Lines.size(); ++i)
            if (Lines[i].size() > 50 && std::count(Lines[i].begin(), Lines[i].end(), 'E') == 2 &&
                Lines[i].rfind('E') < Lines[i].size() - 10)
                found.push_back(i);
        return found;
    }

    // Lines of 20 tokens ending in a blank.
    static std::vector<size_t> ParameterLines(const std::vector<std::string>& Lines)
    {
        std::vector<size_t> found;
        for (size_t i = 0; i < Lines.size(); ++i)
            if (std::count(Lines[i].begin(), Lines[i].end(), ' ') == 20 && Lines[i].back() == ' ')
                found.push_back(i);
        return found;
    }

    std::string BorderKindToken()
    {
        // Mostly the kinds there are; now and then one there is not.
        return std::to_string(Number(0, 9) < 9 ? Number(0, 6) : Number(-2, 9));
    }

    void ChangeDigit(std::string& Line)
    {
        std::vector<size_t> digits;
        for (size_t i = 0; i < Line.size(); ++i)
            if (Line[i] >= '0' && Line[i] <= '9')
                digits.push_back(i);
        if (!digits.empty())
            Line[Pick(digits)] = static_cast<char>('0' + Number(0, 9));
    }

    // A blank before a number becomes a minus, or a minus a blank.
    void FlipSign(std::string& Line)
    {
        std::vector<size_t> places;
        for (size_t i = 0; i + 1 < Line.size(); ++i)
            if ((Line[i] == ' ' || Line[i] == '-') && Line[i + 1] >= '0' && Line[i + 1] <= '9')
                places.push_back(i);
        if (places.empty()) {
            Line.insert(0, "-");
            return;
        }
        const size_t at = Pick(places);
        Line[at] = Line[at] == '-' ? ' ' : '-';
    }

    static void ChangeLastToken(std::string& Line, const std::string& Token)
    {
        const size_t blank = Line.find_last_of(' ');
        Line = Line.substr(0, blank == std::string::npos ? 0 : blank + 1) + Token;
    }

    void ChangeParameter(std::string& Line)
    {
        std::vector<std::string> tokens;
        for (std::string_view word : SplitWords(Line))
            if (!word.empty())
                tokens.emplace_back(word);
        static const char* const replacements[] = {"*", "-1", "0", "7", "2147483648", "12.5", "-3,25", "1e999",
                                                   "abc", "two\xA6words", "nan", ""};
        tokens[Pick(0, tokens.size())] = replacements[Pick(0, std::size(replacements))];
        Line.clear();
        for (const std::string& token : tokens)
            Line += token + ' ';
    }

    std::mt19937 FRandom;
};

// All a reading may change of the chart.
struct TChartState {
    test::TSectionState Section;
    bool HasProfile = false;
    arofcomplexM Profile;
    DynArray<int64_t> UndoSequence;
    int UndoRecords = 0;
};

TChartState StateOfChart(const TPolygonChart& Chart)
{
    return {test::StateOf(Chart), Chart.HasProfile, Chart.Profile, Chart.UndoSequence, Chart.UndoModels.Length()};
}

// Empty when equal, else what differs first.
std::string ChartDifference(const TChartState& Expected, const TChartState& Actual, bool WithHistory)
{
    std::string difference = test::StateDifference(Expected.Section, Actual.Section);
    if (difference.empty() && (Expected.HasProfile != Actual.HasProfile || !(Expected.Profile == Actual.Profile)))
        difference = "the profile differs";
    if (difference.empty() && WithHistory &&
        (!(Expected.UndoSequence == Actual.UndoSequence) || Expected.UndoRecords != Actual.UndoRecords))
        difference = "the undo history differs";
    return difference;
}

struct TTally {
    int Opened = 0;
    int Refused = 0;
    int KindsOpened = 0; // files with a border kind changed that opened
};

class MutatedSectionFiles : public ::testing::Test {
protected:
    QTemporaryDir Folder;
    QString Source = Folder.filePath(QStringLiteral("source.sec"));
    QString Mutated = Folder.filePath(QStringLiteral("mutated.sec"));
    QString Saved = Folder.filePath(QStringLiteral("saved.sec"));

    // Opens every mutation of Original in a chart that holds Original.
    void Run(const std::string& Original, unsigned Seed, int Rounds, TTally& Tally)
    {
        WriteText(Source, Original);
        TPolygonChart chart;
        ASSERT_TRUE(chart.ReadModelBlock(Source));
        TFileMutator mutator(Seed);
        for (int round = 0; round < Rounds; ++round) {
            const auto kind = static_cast<TMutation>(round % muCount);
            std::string text = mutator.Mutate(Original, kind);
            if (round % 3 == 2) // now and then a second change
                text = mutator.Mutate(text, static_cast<TMutation>((round / 3) % muCount));
            WriteText(Mutated, text);
            SCOPED_TRACE("seed " + std::to_string(Seed) + ", round " + std::to_string(round));
            OpenOne(chart, text, kind, round % 4 == 0, Tally);
            if (HasFatalFailure())
                return;
        }
    }

private:
    void OpenOne(TPolygonChart& Chart, const std::string& Text, TMutation Kind, bool Export, TTally& Tally)
    {
        const TChartState before = StateOfChart(Chart);
        bool opened = false;
        std::string message;
        try {
            opened = Chart.ReadModelBlock(Mutated);
        } catch (const ESectionFileError& error) {
            message = error.Message();
        }
        if (!message.empty() || !opened) {
            // Refused (or no block at all): nothing of the chart changed.
            EXPECT_EQ(ChartDifference(before, StateOfChart(Chart), true), "") << message << "\n" << Text;
            if (!message.empty()) {
                ++Tally.Refused;
                EXPECT_EQ(message.rfind("The section file \"" + Mutated.toStdString() + "\" ", 0), 0u) << message;
                if (Export)
                    ExpectExportRefusedAlike(message);
            }
            ASSERT_TRUE(Chart.ReadModelBlock(Source)); // the next round starts from the source
            return;
        }
        ++Tally.Opened;
        Tally.KindsOpened += Kind == muBorderKind ? 1 : 0;
        const std::vector<std::string> faults = CheckModelInvariants(Chart.Model, Chart.Nodes, &Chart.ModelArea);
        ASSERT_TRUE(faults.empty()) << faults.front() << "\n" << Text;
        // Border nodes lie on the border they name.
        const TModelArea& area = Chart.ModelArea;
        for (int node = 0; node < Chart.Nodes.Length(); ++node) {
            const int kind = Chart.Nodes[node].border;
            if (kind != bkNone && kind != bkSurface) {
                ASSERT_EQ(BorderLineKind(NodePoint(Chart.Nodes, node), area.bottom, area.right, area.left), kind)
                    << "node " << node << "\n" << Text;
            }
        }
        const TChartState asOpened = StateOfChart(Chart);
        try {
            Chart.WriteSection(Saved, {"picture.bmp", " 0.0 0.0 100.0 100.0", ""});
        } catch (const Exception& error) {
            FAIL() << "an opened file cannot be saved: " << error.Message() << "\n" << Text;
        }
        TPolygonChart again;
        ASSERT_TRUE(again.ReadModelBlock(Saved));
        EXPECT_EQ(ChartDifference(asOpened, StateOfChart(again), false), "") << Text;
        if (Export)
            ExpectExportReadAlike();
        ASSERT_TRUE(Chart.ReadModelBlock(Source));
    }

    // The command line refuses the file with the editor's message.
    void ExpectExportRefusedAlike(const std::string& Message)
    {
        try {
            ExportSectionFileModel(Mutated, Folder.filePath(QStringLiteral("out.geo")));
            ADD_FAILURE() << "the command line exported a file the editor refused: " << Message;
        } catch (const EModelExportError& error) {
            EXPECT_EQ(error.Message(), Message);
        }
    }

    // The command line reads the file the editor opened; an export refused
    // is refused for the model's geometry, not for the reading.
    void ExpectExportReadAlike()
    {
        try {
            ExportSectionFileModel(Mutated, Folder.filePath(QStringLiteral("out.geo")));
        } catch (const EModelExportError& error) {
            EXPECT_NE(error.Message().rfind("The section file \"", 0), 0u) << error.Message();
        }
    }
};

TEST_F(MutatedSectionFiles, EachOpensSavesAndReopensEqualOrIsRefusedWithTheChartUnchanged)
{
    const auto seed = static_cast<unsigned>(EnvironmentNumber("LP_MUTATION_SEED", 20261209));
    const int rounds = EnvironmentNumber("LP_MUTATION_ROUNDS", 120);
    TTally example, richer;
    Run(FileText(QStringLiteral(LP_EXAMPLES_DIR "/example.sec")), seed, rounds, example);
    ASSERT_FALSE(HasFatalFailure());
    Run(RicherSection(), seed + 1, rounds, richer);
    ASSERT_FALSE(HasFatalFailure());
    for (const TTally* tally : {&example, &richer}) {
        EXPECT_GT(tally->Opened, rounds / 8);
        EXPECT_GT(tally->Refused, rounds / 8);
        EXPECT_GT(tally->KindsOpened, 0);
    }
}

} // namespace
} // namespace lp
