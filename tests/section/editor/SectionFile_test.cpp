// The section file's number forms, parameter lines and model block: exact
// bytes, round trips, and rejection of invalid blocks without partial models.

#include "section/editor/SectionFile.h"

#include "section/model/NumberArrays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace lp {
namespace {

TSectionModel SampleSection()
{
    TSectionModel section;
    section.ReservedPair[0] = 0.0;
    section.ReservedPair[1] = 2.5;
    section.ModelArea = TModelArea{0.0, 0.0, 1000.0, 100.0};
    BuildFrameModel(section.Nodes, section.Model, {}, false, 100.0, 0.0, 1000.0, 0.0);
    TPolygonParams params;
    params[psId] = ParamValue(7);
    params[psBrush] = ParamValue("255#0");
    params[psPen] = ParamValue("0&0&0&1&0&4&1");
    params[psColor] = ParamValue(255);
    params[psLabelText] = ParamValue("clay with sand");
    params[psLabelMode] = ParamValue(3);
    params[psResistivity] = ParamValue(12.5);
    params[psPolarizability] = ParamValue(0.25);
    params[psPhase] = ParamValue(-12.25);
    DefaultParameters = params;
    arofcomplexM square{{100, 10}, {200, 10}, {200, 50}, {100, 50}};
    EXPECT_TRUE(AddPolygon(square, section.Model, section.Nodes));
    line first;
    first.points = {{10.0, 5.0}, {123.456, 0.5}, {300.0, 20.0}};
    first.values = {1.0, MissingValue, 3.25};
    first.text = "well A";
    first.appearance = "some~settings";
    section.Lines.Add(first);
    return section;
}

struct TRealForm {
    double Value;
    const char* Text;
};

TEST(SectionFileNumbers, RealFormIs23CharactersWide)
{
    const TRealForm cases[] = {
        {1000.0, " 1.00000000000000E+0003"},
        {0.0, " 0.00000000000000E+0000"},
        {-0.0, " 0.00000000000000E+0000"},
        {-2.5, "-2.50000000000000E+0000"},
        {1.5e-300, " 1.50000000000000E-0300"},
        {123456789.0, " 1.23456789000000E+0008"},
    };
    for (const TRealForm& row : cases) {
        const std::string text = FormatSectionReal(row.Value);
        EXPECT_EQ(text, row.Text);
        EXPECT_EQ(text.size(), 23u);
        EXPECT_DOUBLE_EQ(TextToReal(text, false, 0, 0), row.Value);
    }
    EXPECT_THROW(FormatSectionReal(std::numeric_limits<double>::infinity()), EConvertError);
    EXPECT_THROW(FormatSectionReal(std::nan("")), EConvertError);
}

TEST(SectionFileNumbers, ShortAndParameterReals)
{
    EXPECT_EQ(FormatLineReal(123.456), "123.5");
    EXPECT_EQ(FormatLineReal(MissingValue), "*");
    EXPECT_EQ(FormatParamReal(10.0), "10.000");
    EXPECT_EQ(FormatSectionInteger(-1), "-1");
}

TEST(SectionFileParams, DefaultsAndSlotKinds)
{
    TPolygonParams slots;
    slots[0] = ParamValue(-1);
    slots[7] = ParamValue("three word label");
    slots[10] = ParamValue(10.0);
    slots[5] = ParamValue("*");
    slots[6] = ParamValue("");
    const std::string text = ParamsToText(slots);
    EXPECT_EQ(text, "-1 * * * * * * three\xA6word\xA6label * * 10.000 * * * * * * * * * ");

    TPolygonParams back;
    ParamsFromText(back, text);
    EXPECT_EQ(back[0].AsInteger(), -1);
    EXPECT_EQ(back[7].AsText(), "three word label");
    EXPECT_DOUBLE_EQ(back[10].AsReal(), 10.0);
    EXPECT_TRUE(back[5].IsEmpty()); // "*" text reads back empty (and is not read)
    EXPECT_TRUE(back[6].IsEmpty());
}

// A ring's phase (slot 19) goes into the file and back; a file of an older
// writer, without the slot, reads it as not set (a phase of 0).
TEST(SectionFileParams, PhaseRoundTripsAndAnOlderLineHasNone)
{
    TPolygonParams slots;
    slots[psResistivity] = ParamValue(40.0);
    slots[psPhase] = ParamValue(-20.5);
    const std::string text = ParamsToText(slots);
    EXPECT_EQ(text, "* * * * * * * * * * 40.000 * * * * * * * * -20.500 ");
    TPolygonParams back;
    ParamsFromText(back, text);
    EXPECT_DOUBLE_EQ(back[psPhase].AsReal(), -20.5);
    TPolygonParams older;
    ParamsFromText(older, "-1 * * * * * * * * * 100.000 2.000 * *");
    EXPECT_DOUBLE_EQ(older[psResistivity].AsReal(), 100.0);
    EXPECT_TRUE(older[psPhase].IsEmpty());
}

TEST(SectionFileParams, TabsAndEmptyTextsKeepTheTokens)
{
    TPolygonParams slots;
    slots[1] = ParamValue("");
    slots[7] = ParamValue("a\tb");
    slots[9] = ParamValue("two words");
    slots[10] = ParamValue(3.0);
    TPolygonParams back;
    ParamsFromText(back, ParamsToText(slots));
    EXPECT_TRUE(back[1].IsEmpty());
    EXPECT_EQ(back[7].AsText(), "a b");
    EXPECT_DOUBLE_EQ(back[10].AsReal(), 3.0); // not shifted by the text of slot 9
}

TEST(SectionFileParams, TextsOutsideSingleBytesSurvive)
{
    const char* labels[] = {"глина с песком", "\xC3\x83 b", "bar \xC2\xA6 sign", "caf\xC3\xA9 noir"};
    for (const char* label : labels) {
        TPolygonParams slots;
        slots[7] = ParamValue(label);
        TPolygonParams back;
        ParamsFromText(back, ParamsToText(slots));
        EXPECT_EQ(back[7].AsText(), label);
    }
    // Single-byte where it fits: é is one byte.
    TPolygonParams slots;
    slots[7] = ParamValue("caf\xC3\xA9");
    EXPECT_EQ(ParamsToText(slots).substr(14, 5), "caf\xE9 ");
}

TEST(SectionFileParams, BadIntegersRaiseAndChangeNothing)
{
    for (int slot : {0, 4, 8}) {
        std::vector<std::string> tokens(20, "*");
        tokens[slot] = "12x";
        std::string text;
        for (const std::string& token : tokens)
            text += token + ' ';
        TPolygonParams slots;
        slots[10] = ParamValue(5.0);
        EXPECT_THROW(ParamsFromText(slots, text), EConvertError) << slot;
        EXPECT_DOUBLE_EQ(slots[10].AsReal(), 5.0);
    }
}

TEST(SectionFileBlock, LayoutOfASmallModel)
{
    TSectionModel section;
    section.ModelArea = TModelArea{0.0, 0.0, 1000.0, 100.0};
    BuildFrameModel(section.Nodes, section.Model, {}, false, 100.0, 0.0, 1000.0, 0.0);
    section.Model[0][0].params[0] = ParamValue(-1);
    const std::string block = FormatSectionModelBlock(section);
    const std::vector<std::string_view> lines = SplitFileLines(block);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "VexaPolyModelDescription2.0");
    EXPECT_EQ(lines[1], " 0.00000000000000E+0000  0.00000000000000E+0000");
    EXPECT_EQ(lines[2], " 0.00000000000000E+0000  1.00000000000000E+0003  0.00000000000000E+0000  1.00000000000000E+0002");
    EXPECT_EQ(lines[3], "0 0");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], std::to_string(section.Nodes.Length()));
    EXPECT_EQ(lines[6].substr(48), "0 0 1");
    const size_t body = 6 + section.Nodes.Length();
    EXPECT_EQ(lines[body], "1");
    EXPECT_EQ(lines[body + 1], "1");
    EXPECT_EQ(lines[body + 2], "-1 * * * * * * * * * * * * * * * * * * * ");
    // No lines: the count 0, then the end marker.
    EXPECT_EQ(lines[body + 4], "0");
    EXPECT_EQ(lines[body + 5], "EndPolyModelDescription2.0");
    EXPECT_EQ(lines.size(), body + 6);
    EXPECT_NE(block.find("\r\n"), std::string::npos);
    EXPECT_EQ(block.substr(block.size() - 2), "\r\n");
}

TEST(SectionFileBlock, WriteReadWriteGivesTheSameBytes)
{
    const TSectionModel section = SampleSection();
    const std::string header = "picture.jpg\r\n 0.0 1.0 2.0 3.0\r\n\r\n";
    const std::string first = header + FormatSectionModelBlock(section);
    TSectionModel read;
    ASSERT_TRUE(ParseSectionModelBlock(first, read));
    EXPECT_EQ(header + FormatSectionModelBlock(read), first);
    EXPECT_EQ(read.Nodes, section.Nodes);
    EXPECT_EQ(read.Model.Length(), 2);
    EXPECT_EQ(read.Model[1][0].params[psLabelText].AsText(), "clay with sand");
    EXPECT_DOUBLE_EQ(read.Model[1][0].params[psPhase].AsReal(), -12.25);
    ASSERT_EQ(read.Lines.Length(), 1);
    EXPECT_DOUBLE_EQ(read.Lines[0].points[1].re, 123.5);
    EXPECT_EQ(read.Lines[0].values.Length(), 3); // "*" keeps its place
    EXPECT_EQ(read.Lines[0].values[1], MissingValue);
    EXPECT_EQ(read.Lines[0].text, "well A");
    EXPECT_EQ(read.Lines[0].appearance, "some~settings");
    EXPECT_DOUBLE_EQ(read.ReservedPair[1], 2.5);
}

TEST(SectionFileBlock, ReadsCommasAndTabs)
{
    TSectionModel section = SampleSection();
    std::string block = FormatSectionModelBlock(section);
    // A model area written with commas and tabs reads the same.
    const std::vector<std::string_view> lines = SplitFileLines(block);
    std::string changed = std::string(lines[0]) + "\r\n0,0\t2,5\r\n";
    for (size_t i = 2; i < lines.size(); ++i)
        changed += std::string(lines[i]) + "\r\n";
    TSectionModel read;
    ASSERT_TRUE(ParseSectionModelBlock(changed, read));
    EXPECT_DOUBLE_EQ(read.ReservedPair[1], 2.5);
}

TEST(SectionFileBlock, FilesWithoutABlock)
{
    TSectionModel read = SampleSection();
    EXPECT_FALSE(ParseSectionModelBlock("picture.jpg\r\n 0 0 1 1\r\n", read));
    EXPECT_FALSE(ParseSectionModelBlock("a\r\nb\r\n\r\nVexaPolyModelDescription2.0\r\n", read));
    EXPECT_FALSE(ParseSectionModelBlock("", read));
    EXPECT_EQ(read.Model.Length(), 2); // untouched
}

// Replaces file line Index (0-based, within the block text) and expects a
// rejection that names line Named (by default the replaced one).
void ExpectRejected(const std::string& Block, size_t Index, const std::string& Replacement, size_t Named = 0)
{
    Named = Named == 0 ? Index + 1 : Named;
    std::vector<std::string_view> lines = SplitFileLines(Block);
    std::string changed;
    for (size_t i = 0; i < lines.size(); ++i)
        changed += (i == Index ? Replacement : std::string(lines[i])) + "\r\n";
    TSectionModel read = SampleSection();
    try {
        ParseSectionModelBlock(changed, read);
        ADD_FAILURE() << "accepted: " << Replacement;
    } catch (const ESectionFileError& error) {
        EXPECT_EQ(error.Message().rfind("line " + std::to_string(Named) + ":", 0), 0u) << error.Message();
    }
    EXPECT_EQ(read.Model.Length(), 2);
    EXPECT_EQ(read.Lines[0].text, "well A");
}

TEST(SectionFileBlock, InvalidBlocksNameTheirLine)
{
    const TSectionModel section = SampleSection();
    const std::string block = FormatSectionModelBlock(section);
    const size_t nodesLine = 5;
    const size_t bodyLine = nodesLine + 1 + section.Nodes.Length();
    const size_t paramsLine = bodyLine + 5; // body 1's only ring
    ExpectRejected(block, 1, "1.0");                              // too few numbers
    ExpectRejected(block, 3, "0 5", 5);                           // 5 profile points, an empty line follows
    ExpectRejected(block, nodesLine, "100000");                    // more nodes than lines
    ExpectRejected(block, nodesLine, "-3");
    ExpectRejected(block, nodesLine + 1, "1.0 2.0 0 1");           // a node line too short
    ExpectRejected(block, nodesLine + 1, "1.0 2.0 0 1 9");         // no such border kind
    ExpectRejected(block, bodyLine, "2000000000");
    ExpectRejected(block, bodyLine + 1, "7");                      // sub-polygons beyond the data
    ExpectRejected(block, paramsLine, "1x * * * * * * * * * * * * * * * * * * * ");
    ExpectRejected(block, paramsLine + 1, "0 1 9999 ");            // ring index outside the node table
    ExpectRejected(block, paramsLine + 1, "0 1 ");                 // a ring too short
    const std::vector<std::string_view> lines = SplitFileLines(block);
    ExpectRejected(block, lines.size() - 6, "2");                  // two lines, data for one
    ExpectRejected(block, lines.size() - 6, "one");
}

TEST(SectionFileBlock, ATruncatedFileIsRefusedAtEveryByte)
{
    // Regression: a file cut inside the last appearance text loaded with the
    // text shortened, since the end marker was never looked for.
    const std::string file = "p.jpg\r\n 0 0 1 1\r\n\r\n" + FormatSectionModelBlock(SampleSection());
    const size_t endMarker = file.find(SectionBlockEndMarker);
    const size_t lastAppearance = file.rfind("some~settings");
    for (size_t length = 0; length < file.size(); ++length) {
        TSectionModel read = SampleSection();
        const std::string cut = file.substr(0, length);
        if (length >= endMarker + SectionBlockEndMarker.size()) {
            EXPECT_TRUE(ParseSectionModelBlock(cut, read)) << length; // only the line end is missing
            continue;
        }
        try {
            // Before the block's second line there is no block at all.
            EXPECT_FALSE(ParseSectionModelBlock(cut, read)) << length;
        } catch (const ESectionFileError& error) {
            if (length > lastAppearance) {
                EXPECT_NE(error.Message().find("the end marker \"EndPolyModelDescription2.0\" is missing"),
                          std::string::npos)
                    << length << ": " << error.Message();
            }
        }
        EXPECT_EQ(read.Lines[0].appearance, "some~settings") << length; // unchanged
    }
}

TEST(SectionFileBlock, TheLineAfterTheLastLineMustBeTheEndMarker)
{
    const std::string block = FormatSectionModelBlock(SampleSection());
    const std::vector<std::string_view> lines = SplitFileLines(block);
    ExpectRejected(block, lines.size() - 1, "EndPolyModel");
    ExpectRejected(block, lines.size() - 1, "");
    // Whatever follows the end marker is not read.
    TSectionModel read;
    EXPECT_TRUE(ParseSectionModelBlock(block + "anything\r\n", read));
}

// The sample section with one change, written and read.
TSectionModel ReadChanged(void (*Change)(TSectionModel&))
{
    TSectionModel section = SampleSection();
    Change(section);
    TSectionModel read;
    EXPECT_TRUE(ParseSectionModelBlock(FormatSectionModelBlock(section), read));
    return read;
}

TEST(SectionFileBlock, DerivedValuesComeFromTheRings)
{
    const TSectionModel sample = SampleSection();
    // A ring stored the wrong way round is turned back.
    TSectionModel read = ReadChanged([](TSectionModel& s) {
        std::reverse(s.Model[1][0].ring.begin(), s.Model[1][0].ring.end());
    });
    EXPECT_EQ(read.Model[1][0].ring, sample.Model[1][0].ring);
    // Sharing values that disagree with the rings are recomputed.
    read = ReadChanged([](TSectionModel& s) {
        for (Tnode& node : s.Nodes)
            node.sharing = nsInner;
    });
    EXPECT_EQ(read.Nodes, sample.Nodes);
}

// The sample with a body against the left edge: its nodes at x 0 are no
// nodes of the frame's outline.
TSectionModel SampleAgainstTheLeftEdge()
{
    TSectionModel section = SampleSection();
    arofcomplexM square{{0, 60}, {50, 60}, {50, 80}, {0, 80}};
    EXPECT_TRUE(AddPolygon(square, section.Model, section.Nodes));
    return section;
}

int NodeAt(const TSectionModel& Section, double X, double Y)
{
    for (int i = 0; i < Section.Nodes.Length(); ++i)
        if (Section.Nodes[i].x == X && Section.Nodes[i].y == Y)
            return i;
    return -1;
}

TEST(SectionFileBlock, BorderKindsComeFromTheNodesPlaces)
{
    struct Row {
        const char* name;
        double x, y;       // the node, as the sample has it
        int written;       // the kind the file gives it
        int read;          // the kind it opens with
    };
    const Row rows[] = {
        // An inner corner claiming an edge, a corner or the surface.
        {"inner node as left edge", 100, 10, bkLeft, bkNone},
        {"inner node as bottom-right corner", 200, 50, bkBottomRight, bkNone},
        {"inner node as surface", 200, 10, bkSurface, bkNone},
        // The frame's corners, whatever they claim.
        {"bottom-left corner as bottom edge", 0, 100, bkBottom, bkBottomLeft},
        {"top-right corner as nothing", 1000, 0, bkNone, bkRight},
        // A node on the left edge off the frame's outline keeps kind 0 or 1.
        {"left node left free", 0, 60, bkNone, bkNone},
        {"left node on its edge", 0, 80, bkLeft, bkLeft},
        {"left node as right edge", 0, 80, bkRight, bkLeft},
    };
    for (const Row& row : rows) {
        TSectionModel section = SampleAgainstTheLeftEdge();
        const int node = NodeAt(section, row.x, row.y);
        ASSERT_GE(node, 0) << row.name;
        section.Nodes[node].border = row.written;
        TSectionModel read;
        ASSERT_TRUE(ParseSectionModelBlock(FormatSectionModelBlock(section), read)) << row.name;
        // Nothing moved: the node opens where the file has it.
        ASSERT_EQ(read.Nodes.Length(), section.Nodes.Length()) << row.name;
        for (int i = 0; i < read.Nodes.Length(); ++i) {
            EXPECT_EQ(read.Nodes[i].x, section.Nodes[i].x) << row.name << ", node " << i;
            EXPECT_EQ(read.Nodes[i].y, section.Nodes[i].y) << row.name << ", node " << i;
        }
        EXPECT_EQ(read.Nodes[node].border, row.read) << row.name;
        // What opened is written and read back as it is.
        TSectionModel again;
        ASSERT_TRUE(ParseSectionModelBlock(FormatSectionModelBlock(read), again)) << row.name;
        EXPECT_EQ(again.Nodes, read.Nodes) << row.name;
    }
}

TEST(SectionFileBlock, BorderNodesAreFittedOntoTheirBorderOnlyWithinRounding)
{
    // Within the kinds' tolerance of the left edge: put onto it.
    TSectionModel section = SampleAgainstTheLeftEdge();
    const int node = NodeAt(section, 0, 80);
    section.Nodes[node].x = 4e-6;
    section.Nodes[node].border = bkLeft;
    TSectionModel read;
    ASSERT_TRUE(ParseSectionModelBlock(FormatSectionModelBlock(section), read));
    EXPECT_EQ(read.Nodes[node].x, 0.0);
    EXPECT_EQ(read.Nodes[node].border, bkLeft);
    // Beyond it: the node stays where it is and is no border node.
    section.Nodes[node].x = 2e-5;
    ASSERT_TRUE(ParseSectionModelBlock(FormatSectionModelBlock(section), read));
    EXPECT_EQ(read.Nodes[node].x, 2e-5);
    EXPECT_EQ(read.Nodes[node].border, bkNone);
    // The fit moves the frame's bottom-right corner onto the area's corner.
    section = SampleSection();
    section.Nodes[2].x = 1000 - 3e-6;
    section.Nodes[2].y = 100 + 3e-6;
    ASSERT_TRUE(ParseSectionModelBlock(FormatSectionModelBlock(section), read));
    EXPECT_EQ(read.Nodes[2].x, 1000.0);
    EXPECT_EQ(read.Nodes[2].y, 100.0);
}

TEST(SectionFileBlock, AnAreaEmptyOrTurnedOverIsRefused)
{
    const std::pair<const char*, void (*)(TModelArea&)> changes[] = {
        {"left beyond right", [](TModelArea& a) { std::swap(a.left, a.right); }},
        {"empty width", [](TModelArea& a) { a.right = a.left; }},
        {"top below bottom", [](TModelArea& a) { std::swap(a.top, a.bottom); }},
    };
    for (const auto& [name, change] : changes) {
        TSectionModel section = SampleSection();
        change(section.ModelArea);
        TSectionModel read;
        try {
            ParseSectionModelBlock(FormatSectionModelBlock(section), read);
            ADD_FAILURE() << name << ": accepted";
        } catch (const ESectionFileError& error) {
            EXPECT_EQ(error.Message(), "line 3: the model area is empty or turned over (left must be less than "
                                       "right and top less than bottom)")
                << name;
        }
    }
}

TEST(SectionFileBlock, ABrokenModelIsRefusedNamingBodyAndRule)
{
    struct Row {
        const char* name;
        void (*spoil)(TSectionModel&);
        const char* expected;
    };
    const Row rows[] = {
        {"ring without area",
         [](TSectionModel& s) {
             for (int node : s.Model[1][0].ring)
                 s.Nodes[node].y = 10;
         },
         "ring 0 of body 1 encloses no area"},
        {"ring crossing itself",
         [](TSectionModel& s) {
             Tnode& node = s.Nodes[s.Model[1][0].ring[2]];
             node.x = 60;
             node.y = 35;
         },
         "ring 0 of body 1 crosses itself"},
        {"overlapping bodies",
         [](TSectionModel& s) {
             arofcomplexM square{{150, 30}, {250, 30}, {250, 70}, {150, 70}};
             const int from = s.Nodes.Length();
             for (const complexM& point : square) {
                 Tnode node;
                 node.x = point.re;
                 node.y = point.im;
                 s.Nodes.Add(node);
             }
             Polygon ring;
             ring.ring = {from, from + 1, from + 2, from + 3};
             s.Model.Add(SPolygon{ring});
         },
         "ring 0 of body 1 crosses ring 0 of body 2"},
        {"leaving the frame", [](TSectionModel& s) { s.Nodes[s.Model[1][0].ring[1]].x = 1200; },
         "ring 0 of body 0 crosses ring 0 of body 1"},
        {"node of two bodies", [](TSectionModel& s) { s.Model[1][0].ring[0] = 2; }, "used by bodies 0 and 1"},
        {"frame off the area", [](TSectionModel& s) { s.ModelArea.right = 900; }, "not at the corners"},
    };
    for (const Row& row : rows) {
        TSectionModel section = SampleSection();
        row.spoil(section);
        TSectionModel read = SampleSection();
        try {
            ParseSectionModelBlock(FormatSectionModelBlock(section), read);
            ADD_FAILURE() << row.name << ": accepted";
        } catch (const ESectionFileError& error) {
            EXPECT_EQ(error.Message().rfind("the model breaks a rule of section models: ", 0), 0u) << error.Message();
            EXPECT_NE(error.Message().find(row.expected), std::string::npos) << row.name << ": " << error.Message();
        }
        EXPECT_EQ(read.Nodes, SampleSection().Nodes) << row.name; // unchanged
    }
}

TEST(SectionFileBlock, MutatedFilesNeverCrashOrHalfRead)
{
    const std::string original = "p.jpg\r\n 0 0 1 1\r\n\r\n" + FormatSectionModelBlock(SampleSection());
    std::mt19937 random(20261207);
    const std::string alphabet = "0123456789 -.,*\t\r\nE+x\xA6";
    int accepted = 0;
    int rejected = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string mutated = original;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % mutated.size();
            switch (random() % 4) {
            case 0:
                mutated[at] = alphabet[random() % alphabet.size()];
                break;
            case 1:
                mutated.erase(at, 1 + random() % 20);
                break;
            case 2:
                mutated.insert(at, 1, alphabet[random() % alphabet.size()]);
                break;
            default:
                mutated.resize(at);
                break;
            }
            if (mutated.empty())
                mutated = "x";
        }
        TSectionModel read;
        try {
            if (ParseSectionModelBlock(mutated, read)) {
                ++accepted;
                // Whatever was accepted is a usable model: indexes inside the table.
                for (const SPolygon& body : read.Model)
                    for (const Polygon& ring : body)
                        for (int32_t node : ring.ring)
                            ASSERT_LT(node, read.Nodes.Length());
                ASSERT_FALSE(read.Model.Empty());
                // ... and a sound one.
                const std::vector<std::string> faults = CheckModelInvariants(read.Model, read.Nodes, &read.ModelArea);
                ASSERT_TRUE(faults.empty()) << faults.front();
            } else {
                EXPECT_TRUE(read.Model.Empty());
            }
        } catch (const ESectionFileError&) {
            ++rejected;
            EXPECT_TRUE(read.Model.Empty());
            EXPECT_TRUE(read.Nodes.Empty());
        }
    }
    EXPECT_GT(accepted, 0);
    EXPECT_GT(rejected, 0);
}

} // namespace
} // namespace lp
