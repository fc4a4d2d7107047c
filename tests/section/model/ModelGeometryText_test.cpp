// The geometry file and the region table, and the geometry meshed by gmsh
// for hand-built and seeded random models.

#include "section/model/ModelGeometryText.h"

#include "tests/section/model/GmshMeshCheck.h"
#include "tests/section/model/ModelFixtures.h"
#include "tests/section/model/RandomSectionModels.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace lp::test {
namespace {

FrameModel TwoCoupledSquares()
{
    FrameModel m;
    const int left = m.AddSquare(10, 10, 10);
    const int right = m.AddSquare(20, 10, 10);
    EXPECT_TRUE(MergeNodes(8, 5, right, m.nodes, m.model, left));
    EXPECT_TRUE(MergeNodes(10, 6, 1, m.nodes, m.model, 1));
    m.model[1][0].params[psLabelText] = "Sand, wet";
    m.model[1][0].params[psResistivity] = 150.0;
    m.model[1][0].params[psPolarizability] = 2;
    m.model[0][0].params[psResistivity] = 80.5;
    return m;
}

TEST(ModelGeometryText, TheGeometryFileNamesItsRegionsAndFrame)
{
    const FrameModel m = TwoCoupledSquares();
    const std::string text = FormatGmshGeometry(BuildModelGeometry(m.model, m.nodes, {}));
    EXPECT_EQ(text.rfind("// Section model geometry: x is the distance, y is minus the depth", 0), 0u);
    EXPECT_NE(text.find("\nlc = 2.5;"), std::string::npos);
    EXPECT_NE(text.find("Point(2) = {0, -50, 0, lc};"), std::string::npos);
    EXPECT_NE(text.find("// Host medium: resistivity 80.5 ohm-m, polarizability not set\n"
                        "Physical Surface(\"Host medium\", 1) = {"),
              std::string::npos);
    EXPECT_NE(text.find("// Sand, wet: resistivity 150 ohm-m, polarizability 2 %\n"
                        "Physical Surface(\"Sand, wet\", 2) = {"),
              std::string::npos);
    EXPECT_NE(text.find("Physical Surface(\"Body 1 ring 1\", 3) = {"), std::string::npos);
    EXPECT_NE(text.find("Physical Curve(\"Frame\", 1) = {1, 2, 3, 4};"), std::string::npos);
}

TEST(ModelGeometryText, TheTableHasOneRowPerRingHostFirst)
{
    const FrameModel m = TwoCoupledSquares();
    EXPECT_EQ(FormatRegionTable(BuildModelGeometry(m.model, m.nodes, {})),
              "tag,body,ring,label,resistivity,polarizability,area\n"
              "1,0,0,Host medium,80.5,,4800\n"
              "2,1,0,\"Sand, wet\",150,2,100\n"
              "3,1,1,Body 1 ring 1,,,100\n");
}

class ModelGeometryMeshed : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GmshAvailable())
            GTEST_FAIL() << "gmsh is not installed (scripts/install-deps.sh installs it)";
    }
};

TEST_F(ModelGeometryMeshed, HandBuiltModelsMeshConformingly)
{
    const FrameModel frame;
    const TModelGeometry alone = BuildModelGeometry(frame.model, frame.nodes, {});
    ASSERT_EQ(alone.Regions.size(), 1u);
    ExpectMeshMatchesModel(alone, "frame", "the frame alone");
    const FrameModel squares = TwoCoupledSquares();
    ExpectMeshMatchesModel(BuildModelGeometry(squares.model, squares.nodes, {}), "squares", "coupled squares");

    // Rings touching at one node, a node on another ring's edge, a pocket,
    // and lines embedded or not.
    FrameModel m;
    const int first = m.AddSquare(10, 10, 10);
    const int second = m.AddSquare(20, 20, 10);
    ASSERT_TRUE(MergeNodes(8, 6, second, m.nodes, m.model, first));
    arofcomplexM onEdge{P(12, 5), P(18, 5), P(18, 10), P(12, 10)};
    ASSERT_TRUE(AddPolygon(onEdge, m.model, m.nodes));
    for (auto [x0, y0, x1, y1] : {std::array{50.0, 10.0, 80.0, 15.0}, std::array{50.0, 35.0, 80.0, 40.0},
                                  std::array{50.0, 15.0, 55.0, 35.0}, std::array{75.0, 15.0, 80.0, 35.0}}) {
        arofcomplexM bar{P(x0, y0), P(x1, y0), P(x1, y1), P(x0, y1)};
        ASSERT_TRUE(AddPolygon(bar, m.model, m.nodes));
    }
    ExpectSound(m);
    lines modelLines;
    line inPocket, across;
    inPocket.points = {P(60, 20), P(70, 30)};
    across.points = {P(5, 45), P(95, 30)};
    modelLines.Add(inPocket);
    modelLines.Add(across);
    const TModelGeometry g = BuildModelGeometry(m.model, m.nodes, modelLines);
    ASSERT_GE(g.Lines[0].surface, 0);
    ExpectMeshMatchesModel(g, "touching", "touching rings and a pocket");
}

TEST_F(ModelGeometryMeshed, SeededRandomModelsMeshConformingly)
{
    const unsigned first = 1000, count = 32;
    // What the seeds made, so that a change of the maker that stops making
    // some kind of model shows.
    int pockets = 0, multiRing = 0, touchingFrame = 0, relief = 0;
    std::vector<TModelGeometry> geometries;
    std::vector<std::pair<std::string, std::string>> files;
    for (unsigned seed = first; seed < first + count; ++seed) {
        TRandomSection section = TRandomSectionMaker(seed).Make();
        ASSERT_TRUE(section.faults.empty()) << "seed " << seed << ": " << section.faults.front();
        TModelGeometry g;
        try {
            g = BuildModelGeometry(section.model, section.nodes, section.modelLines);
        } catch (const EModelGeometryError& error) {
            FAIL() << "seed " << seed << ": " << error.Message();
        }
        // The rings do not overlap, so each ring's region is its own area.
        double rings = 0.0;
        for (size_t r = 1; r < g.Regions.size(); ++r) {
            const arofintM& ring = section.model[g.Regions[r].body][g.Regions[r].ring].ring;
            std::vector<TGeometryPoint> polygon;
            for (int node : ring)
                polygon.push_back({section.nodes[node].x, -section.nodes[node].y});
            const double area = std::fabs(SignedLoopArea(polygon));
            EXPECT_LT(std::fabs(area - g.Regions[r].area), 1e-9 * g.FrameArea) << "seed " << seed;
            rings += area;
        }
        EXPECT_LT(std::fabs(rings + g.Regions[0].area - g.FrameArea), 1e-9 * g.FrameArea) << "seed " << seed;
        pockets += g.Regions[0].surfaces.size() > 1;
        touchingFrame += section.model[0].Length() > 1;
        relief += section.nodes.Length() > 4 && section.nodes[4].border == bkSurface;
        for (int body = 1; body < section.model.Length(); ++body)
            multiRing += section.model[body].Length() > 1;
        files.emplace_back(FormatGmshGeometry(g), "random-" + std::to_string(seed));
        geometries.push_back(std::move(g));
    }
    const std::vector<TGmshMesh> meshes = MeshAllWithGmsh(files);
    for (unsigned i = 0; i < count; ++i) {
        ExpectMeshMatchesModel(geometries[i], meshes[i], "seed " + std::to_string(first + i));
        if (HasFailure())
            break;
    }
    EXPECT_GT(pockets, 0);
    EXPECT_GT(multiRing, 0);
    EXPECT_GT(touchingFrame, 0);
    EXPECT_GT(relief, 0);
    std::printf("random models: %d with pockets, %d multi-ring bodies, %d touching the frame, %d with relief\n",
                pockets, multiRing, touchingFrame, relief);
}

} // namespace
} // namespace lp::test
