// The section file's numbers: the writer's bytes stay exactly those stored
// for the test sections, every finite value reads back finite, and the
// reader refuses numbers that are not finite with a message.

#include "section/editor/SectionFile.h"

#include "section/model/NumberArrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

namespace lp {
namespace {

// Reals over the whole range of magnitudes, built from raw random bits so the
// same seed gives the same values with any standard library.
class TWideReals {
public:
    explicit TWideReals(uint64_t Seed) : FRandom(Seed) {}
    double Next()
    {
        const uint64_t bits = FRandom();
        const double fraction = static_cast<double>(bits >> 11) * 0x1p-53;
        const int exponent = static_cast<int>(FRandom() % 2040) - 1020;
        const double value = std::ldexp(fraction, exponent);
        return (bits & 1) ? -value : value;
    }
    // A value of a few digits, as surveyed coordinates are.
    double NextPlain() { return static_cast<double>(FRandom() % 2000000) / 1000.0 - 500.0; }
    uint64_t Raw() { return FRandom(); }

private:
    std::mt19937_64 FRandom;
};

// Values whose 15-digit rounding carries into the exponent, exact halves of
// the last digit, the smallest magnitudes and the largest the first writer
// wrote readably.
const double EdgeReals[] = {0.0, -0.0, 1.0, -1.0, 9.999999999999995, 9.9999999999999947, 0.099999999999999995,
                            1.000000000000005, 1.234567890123455e10, 2.5e-308, 4.9406564584124654e-324,
                            1.79769313486231e308, 1e308, -1e308, 123456789.0, 0.5, 1e-5, 1e22, 0.1, 0.3};

TSectionModel NumbersSection(uint64_t Seed, int NodeCount)
{
    TWideReals random(Seed);
    TSectionModel section;
    section.ReservedPair[0] = random.Next();
    section.ReservedPair[1] = 2.5;
    section.ModelArea = TModelArea{-500.0, 0.0, 1500.0, 250.0};
    section.HasProfile = true;
    for (int i = 0; i < 40; ++i)
        section.Profile.Add(complexM{random.NextPlain(), random.Next()});
    for (int i = 0; i < NodeCount; ++i) {
        Tnode node;
        const int kind = i % 4;
        node.x = kind == 0 ? EdgeReals[(i / 4) % std::size(EdgeReals)] : kind == 1 ? random.Next() : random.NextPlain();
        node.y = kind == 3 ? random.Next() : random.NextPlain();
        node.fixed = i % 3 == 0 ? 1 : 0;
        node.sharing = static_cast<int>(random.Raw() % 5);
        node.border = static_cast<int>(random.Raw() % 7);
        section.Nodes.Add(node);
    }
    for (int body = 0; body < 12; ++body) {
        SPolygon rings;
        for (int sub = 0; sub < 1 + body % 3; ++sub) {
            Polygon ring;
            ring.params[psId] = ParamValue(body * 10 + sub - 1);
            ring.params[psBrush] = ParamValue("255#0");
            ring.params[psColor] = ParamValue(static_cast<int32_t>(random.Raw() % 0x1000000));
            ring.params[psLabelText] = ParamValue("layer " + std::to_string(body));
            ring.params[psResistivity] = ParamValue(random.NextPlain());
            ring.params[psPolarizability] = ParamValue(std::ldexp(1.0, -static_cast<int>(random.Raw() % 30)));
            ring.params[psExtra1] = ParamValue(random.Next());
            for (int k = 0; k < 3 + (body + sub) % 5; ++k)
                ring.ring.Add(static_cast<int32_t>(random.Raw() % static_cast<uint64_t>(NodeCount)));
            rings.Add(ring);
        }
        section.Model.Add(rings);
    }
    for (int l = 0; l < 5; ++l) {
        line record;
        for (int k = 0; k < 30; ++k) {
            record.points.Add(complexM{random.NextPlain(), k % 7 == 0 ? random.Next() : random.NextPlain() / 1e4});
            record.values.Add(k % 9 == 0 ? MissingValue : random.Next());
        }
        record.text = "line " + std::to_string(l);
        record.appearance = "pen~" + std::to_string(l);
        section.Lines.Add(record);
    }
    return section;
}

struct TStoredSection {
    const char* Name;
    uint64_t Seed;
    int Nodes;
};

const TStoredSection StoredSections[] = {{"numbers-small", 11, 40}, {"numbers-large", 23, 4000}};

std::string StoredBytes(const std::string& Name)
{
    std::ifstream file(std::string(LP_SECTION_DATA_DIR) + "/" + Name + ".block", std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Regression guard for the number writer: the bytes of the stored blocks were
// made by the first writer (printf based); any change of form shows here.
TEST(SectionFileNumbers, WriterKeepsTheStoredBytes)
{
    const bool update = std::getenv("LP_UPDATE_REFERENCES") != nullptr;
    for (const TStoredSection& stored : StoredSections) {
        SCOPED_TRACE(stored.Name);
        const std::string written = FormatSectionModelBlock(NumbersSection(stored.Seed, stored.Nodes));
        if (update) {
            std::ofstream(std::string(LP_SECTION_DATA_DIR) + "/" + stored.Name + ".block", std::ios::binary)
                << written;
            continue;
        }
        const std::string expected = StoredBytes(stored.Name);
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(written == expected);
    }
}

// A frame model holding the largest finite values wherever the file keeps
// reals that no geometry depends on.
TSectionModel ExtremeSection()
{
    constexpr double largest = std::numeric_limits<double>::max();
    TSectionModel section;
    section.ReservedPair[0] = largest;
    section.ReservedPair[1] = -largest;
    section.ModelArea = TModelArea{0.0, 0.0, 1000.0, 100.0};
    BuildFrameModel(section.Nodes, section.Model, {}, false, 100.0, 0.0, 1000.0, 0.0);
    section.HasProfile = false;
    section.Profile = {{largest, -largest}, {-largest, 4.9406564584124654e-324}};
    section.Model[0][0].params[psResistivity] = ParamValue(largest);
    section.Model[0][0].params[psPolarizability] = ParamValue(-largest);
    line record;
    record.points = {{largest, -largest}, {1.0, 2.0}};
    record.values = {-largest, largest};
    section.Lines.Add(record);
    return section;
}

// Regression: 1.7976931348623157E+308 was written rounded to 15 digits,
// above the largest double, and the saved file then failed to open
// ("5 numbers expected, 4 found").
TEST(SectionFileNumbers, LargestValuesAreWrittenSoTheyReadBack)
{
    constexpr double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(FormatSectionReal(largest), " 1.79769313486231E+0308");
    EXPECT_EQ(FormatSectionReal(-largest), "-1.79769313486231E+0308");
    EXPECT_EQ(FormatSectionReal(1.7976931348623155e308), " 1.79769313486231E+0308");
    // Rounding that stays below the largest double is kept.
    EXPECT_EQ(FormatSectionReal(1.7976931348623149e308), " 1.79769313486231E+0308");
    EXPECT_EQ(FormatSectionReal(9.9999999999999995e307), " 1.00000000000000E+0308");
    for (const double value : {largest, -largest, std::nextafter(largest, 0.0), 1.797693134862315e308}) {
        double back = 0.0;
        EXPECT_EQ(ReadRealText(FormatSectionReal(value), back), TRealText::Number) << value;
        EXPECT_TRUE(std::isfinite(back));
        EXPECT_LE(std::fabs(back), std::fabs(value)); // toward zero
    }

    const TSectionModel section = ExtremeSection();
    const std::string written = FormatSectionModelBlock(section);
    TSectionModel read;
    ASSERT_TRUE(ParseSectionModelBlock(written, read));
    EXPECT_EQ(read.ReservedPair[0], 1.79769313486231e308);
    EXPECT_EQ(read.ReservedPair[1], -1.79769313486231e308);
    ASSERT_EQ(read.Profile.Length(), 2);
    EXPECT_EQ(read.Profile[0].re, 1.79769313486231e308);
    EXPECT_EQ(read.Profile[1].im, 4.94065645841247e-324);
    EXPECT_EQ(read.Model[0][0].params[psResistivity].AsReal(), largest); // fixed-point text is exact
    EXPECT_EQ(read.Model[0][0].params[psPolarizability].AsReal(), -largest);
    ASSERT_EQ(read.Lines.Length(), 1);
    EXPECT_EQ(read.Lines[0].points[0].re, largest);
    EXPECT_EQ(read.Lines[0].values[0], -largest);
    // What was read writes the same bytes again.
    EXPECT_TRUE(FormatSectionModelBlock(read) == written);
}

// Replaces the first line that starts with Prefix and expects a refusal
// whose message says which number is not finite.
void ExpectNonFiniteRefused(const std::string& Block, size_t LineIndex, const std::string& Replacement)
{
    const std::vector<std::string_view> lines = SplitFileLines(Block);
    std::string changed;
    for (size_t i = 0; i < lines.size(); ++i)
        changed += (i == LineIndex ? Replacement : std::string(lines[i])) + "\r\n";
    TSectionModel read;
    try {
        ParseSectionModelBlock(changed, read);
        ADD_FAILURE() << "accepted: " << Replacement;
    } catch (const ESectionFileError& error) {
        const std::string message = error.Message();
        EXPECT_EQ(message.rfind("line " + std::to_string(LineIndex + 1) + ":", 0), 0u) << message;
        EXPECT_NE(message.find("not a finite"), std::string::npos) << message;
    }
}

TEST(SectionFileNumbers, ReaderRefusesNumbersThatAreNotFinite)
{
    const TSectionModel section = ExtremeSection();
    const std::string block = FormatSectionModelBlock(section);
    const std::vector<std::string_view> lines = SplitFileLines(block);
    const size_t nodesLine = 5;
    ExpectNonFiniteRefused(block, 1, " 1.79769313486232E+0308  0.0");
    ExpectNonFiniteRefused(block, 2, "0 inf 0 100");
    ExpectNonFiniteRefused(block, nodesLine + 1, "NaN 0 0 1 1");
    ExpectNonFiniteRefused(block, nodesLine + 1, "0 -1e999 0 1 1");
    const size_t ringLine = nodesLine + section.Nodes.Length() + 4;
    ExpectNonFiniteRefused(block, ringLine, "0 1 inf 2 ");
    const size_t pointsLine = lines.size() - 5;
    ExpectNonFiniteRefused(block, pointsLine, "1 2 -Infinity 4");
    ExpectNonFiniteRefused(block, pointsLine + 1, "1 nan");
}

} // namespace
} // namespace lp
