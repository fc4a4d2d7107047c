// The stages below the entry point: the padded geometry and its mesh, and
// the assembled system.

#include "section/forward/ForwardMesh.h"

#include "section/forward/ForwardSolver.h"
#include "tests/section/forward/CornerGrounds.h"
#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <set>
#include <thread>

namespace lp::test {
namespace {

struct TMeshedContact {
    TForwardSection section{200.0, 80.0, 100.0};
    TForwardModel ground;
    TSurvey survey;
    TPaddedGeometry padded;
    TForwardMesh mesh;
    TMeshedContact()
    {
        // Region 1 right of x = 95, from the surface to the bottom.
        section.AddBody({{95, 0}, {200, 0}, {200, 80}, {95, 80}}, 10.0);
        ground = section.Ground();
        TArrayLayout layout;
        layout.Electrodes = 12;
        survey = MakeArraySurvey(layout, ground.Left, ground.Right);
        PlaceSurvey(survey, ground);
        padded = PadGeometry(ground, survey);
        mesh = MeshGeometry(padded);
    }
};

TEST(ForwardMesh, ThePaddedMeshHasANodeAtEveryElectrodeAndCoversThePadding)
{
    const TMeshedContact m;
    ASSERT_EQ(m.mesh.ElectrodeNodes.size(), m.survey.Electrodes.size());
    for (size_t e = 0; e < m.survey.Electrodes.size(); ++e) {
        const TGeometryPoint& node = m.mesh.Nodes[size_t(m.mesh.ElectrodeNodes[e])];
        EXPECT_DOUBLE_EQ(node.x, m.survey.Electrodes[e].x);
        EXPECT_DOUBLE_EQ(node.y, 0.0);
    }
    // The padding: four survey or model lengths beside and below.
    const double pad = TMeshOptions().Padding * 200.0;
    double area = 0.0, minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    double rightmost = -1e300;
    int rightmostRegion = -1;
    for (size_t t = 0; t < m.mesh.Triangles.size(); ++t) {
        const auto& tri = m.mesh.Triangles[t];
        const TGeometryPoint &a = m.mesh.Nodes[size_t(tri[0])], &b = m.mesh.Nodes[size_t(tri[1])],
                             &c = m.mesh.Nodes[size_t(tri[2])];
        const double twice = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        EXPECT_GT(twice, 0.0) << "triangle " << t << " is not counter-clockwise";
        area += twice / 2;
        for (const TGeometryPoint* p : {&a, &b, &c}) {
            minX = std::min(minX, p->x);
            maxX = std::max(maxX, p->x);
            minY = std::min(minY, p->y);
            maxY = std::max(maxY, p->y);
        }
        const double middle = (a.x + b.x + c.x) / 3;
        if (middle > rightmost) {
            rightmost = middle;
            rightmostRegion = m.mesh.TriangleRegion[t];
        }
    }
    EXPECT_DOUBLE_EQ(minX, -pad);
    EXPECT_DOUBLE_EQ(maxX, 200.0 + pad);
    EXPECT_DOUBLE_EQ(minY, -80.0 - pad);
    EXPECT_DOUBLE_EQ(maxY, 0.0);
    EXPECT_NEAR(area, (200.0 + 2 * pad) * (80.0 + pad), 1e-6 * area);
    // The contact goes on beyond the right side.
    EXPECT_EQ(rightmostRegion, 1);
    // The mixed condition on the sides and the bottom only, never on the surface.
    ASSERT_FALSE(m.mesh.OuterEdges.empty());
    for (const auto& edge : m.mesh.OuterEdges) {
        const TGeometryPoint &a = m.mesh.Nodes[size_t(edge[0])], &b = m.mesh.Nodes[size_t(edge[1])];
        const bool side = (a.x == -pad && b.x == -pad) || (a.x == 200.0 + pad && b.x == 200.0 + pad);
        const bool bottom = a.y == -80.0 - pad && b.y == -80.0 - pad;
        EXPECT_TRUE(side || bottom) << a.x << "," << a.y << " - " << b.x << "," << b.y;
    }
}

TEST(ForwardMesh, TheSystemSumsToTheMassAndTheMixedConditionsShares)
{
    // Σᵢⱼ Aᵢⱼ: the stiffness rows sum to 0, the mass to σ · area, the mixed
    // condition to σ α · length.
    const TMeshedContact m;
    const TElementMatrices elements = ElementMatrices(m.mesh);
    const TSystemPattern pattern = SystemPattern(m.mesh);
    const std::vector<double> conductivity{0.01, 0.1};
    const double k = 0.05;
    const TGeometryPoint centre{100.0, 0.0};
    const Eigen::SparseMatrix<double> A = AssembleSystem(m.mesh, elements, pattern, conductivity, k, centre);
    double lower = 0.0, diagonal = 0.0;
    for (int column = 0; column < A.outerSize(); ++column)
        for (Eigen::SparseMatrix<double>::InnerIterator it(A, column); it; ++it) {
            EXPECT_GE(it.row(), it.col());
            lower += it.value();
            if (it.row() == it.col()) {
                diagonal += it.value();
                EXPECT_GT(it.value(), 0.0);
            }
        }
    double expected = 0.0;
    for (size_t t = 0; t < m.mesh.Triangles.size(); ++t)
        expected += k * k * conductivity[size_t(m.mesh.TriangleRegion[t])] * elements.Area[t];
    for (size_t e = 0; e < m.mesh.OuterEdges.size(); ++e) {
        const TGeometryPoint& middle = elements.EdgeMiddle[e];
        const double r = std::hypot(middle.x - centre.x, middle.y - centre.y);
        const double cosine = ((middle.x - centre.x) * elements.EdgeNormal[e].x +
                               (middle.y - centre.y) * elements.EdgeNormal[e].y) / r;
        EXPECT_GT(cosine, 0.0);
        expected += conductivity[size_t(m.mesh.OuterEdgeRegion[e])] * k * BesselK1OverK0(k * r) * cosine *
                    elements.EdgeLength[e];
    }
    EXPECT_NEAR(2 * lower - diagonal, expected, 1e-9 * expected);
}

// Guards meshes with triangles of no area at the surface when electrodes
// stood a centimetre apart beside a model 1 km wide.
TEST(ForwardMesh, ElectrodesACentimetreApartGetTrianglesWithAreaAndTheSameFan)
{
    const TForwardSection section(1000.0, 200.0, 100.0);
    const TForwardModel ground = section.Ground();
    TArrayLayout layout;
    layout.Electrodes = 12;
    layout.Spacing = 0.01;
    layout.First = 500.0;
    TSurvey survey = MakeArraySurvey(layout, ground.Left, ground.Right);
    PlaceSurvey(survey, ground);
    const TForwardMesh mesh = MeshGeometry(PadGeometry(ground, survey));
    EXPECT_NO_THROW(CheckTriangleShapes(mesh));
    double worst = 1.0;
    for (const auto& t : mesh.Triangles) {
        const TGeometryPoint &a = mesh.Nodes[size_t(t[0])], &b = mesh.Nodes[size_t(t[1])], &c = mesh.Nodes[size_t(t[2])];
        const auto squared = [](const TGeometryPoint& p, const TGeometryPoint& q) {
            return (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y);
        };
        worst = std::min(worst, ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) /
                                    std::max({squared(a, b), squared(b, c), squared(c, a)}));
    }
    EXPECT_GT(worst, 0.1);
    // Every electrode: the same triangles round it, as seen from it.
    const auto fan = [&](size_t e) {
        const int centre = mesh.ElectrodeNodes[e];
        std::vector<std::array<long, 4>> corners;
        for (const auto& t : mesh.Triangles)
            for (int i = 0; i < 3; ++i)
                if (t[size_t(i)] == centre) {
                    const TGeometryPoint& o = mesh.Nodes[size_t(centre)];
                    const TGeometryPoint& p = mesh.Nodes[size_t(t[size_t((i + 1) % 3)])];
                    const TGeometryPoint& q = mesh.Nodes[size_t(t[size_t((i + 2) % 3)])];
                    // In micrometres: the corners relative to the electrode.
                    corners.push_back({std::lround(1e6 * (p.x - o.x)), std::lround(1e6 * (p.y - o.y)),
                                       std::lround(1e6 * (q.x - o.x)), std::lround(1e6 * (q.y - o.y))});
                }
        std::sort(corners.begin(), corners.end());
        return corners;
    };
    ASSERT_EQ(fan(0).size(), 6u);
    for (size_t e = 1; e < survey.Electrodes.size(); ++e)
        EXPECT_EQ(fan(e), fan(0)) << "electrode " << e + 1;
}

// Guards a computation that waited while an obsolete one meshed and then
// meshed as well, though a newer edit had made it obsolete too.
TEST(ForwardMesh, ACallThatWaitedForTheMesherAsksWhetherItIsStillWanted)
{
    const TMeshedContact small;
    const TForwardSection wide(1000.0, 200.0, 100.0);
    const TForwardModel ground = wide.Ground();
    TArrayLayout layout;
    layout.Electrodes = 96;
    TSurvey survey = MakeArraySurvey(layout, ground.Left, ground.Right);
    PlaceSurvey(survey, ground);
    const TPaddedGeometry large = PadGeometry(ground, survey);
    // Another call meshes the large geometry; this one comes while it does
    // (tried again in the rare case the other had not begun or was done).
    int asked = 0;
    for (int attempt = 0; attempt < 5 && asked == 0; ++attempt) {
        std::atomic<bool> started{false}, failed{false};
        std::thread other([&] {
            started = true;
            try {
                MeshGeometry(large);
            } catch (...) {
                failed = true;
            }
        });
        while (!started)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        try {
            const TForwardMesh mesh = MeshGeometry(small.padded, [&] {
                ++asked;
                return false;
            });
            EXPECT_EQ(asked, 0); // Gmsh was free: nothing to ask
            EXPECT_EQ(mesh.Triangles.size(), small.mesh.Triangles.size());
        } catch (const EForwardCancelled&) {
            EXPECT_EQ(asked, 1); // asked once Gmsh was its own, before meshing
        }
        other.join();
        EXPECT_FALSE(failed);
    }
    EXPECT_EQ(asked, 1);
    // Still wanted: the same mesh as without asking.
    const TForwardMesh wanted = MeshGeometry(small.padded, [] { return true; });
    EXPECT_EQ(wanted.Triangles, small.mesh.Triangles);
}

TEST(ForwardMesh, ATriangleWithoutAreaIsRefusedWithWhereItLies)
{
    TForwardMesh mesh;
    mesh.Nodes = {{0, 0}, {1, 0}, {0, 1}, {2, -1}, {4, -1}, {3, -1 + 1e-9}};
    mesh.Triangles = {{0, 1, 2}, {3, 4, 5}};
    try {
        CheckTriangleShapes(mesh);
        ADD_FAILURE() << "not refused";
    } catch (const EForwardError& error) {
        EXPECT_STREQ(error.what(), "The mesh has a triangle without area at x = 3, y = -1: the geometry there is finer "
                                   "than the mesher resolves.");
    }
}

// --- Beside a region's corner ---------------------------------------------------

// The worst relative difference of the apparent resistivities on the
// default mesh from those on a mesh with every element size halved, and the
// worst difference of the chargeabilities (in per cent of chargeability).
struct TRefinedDifference {
    TWorstError rho;
    double eta = 0.0;
};

TRefinedDifference DifferenceFromRefined(const TForwardModel& ground, const TSurvey& survey)
{
    const TForwardResult coarse = ComputeForwardResponse(ground, survey);
    TForwardOptions options;
    options.Mesh.Refinement = 2.0;
    const TForwardResult fine = ComputeForwardResponse(ground, survey, options);
    EXPECT_GT(fine.MeshNodes, 3 * coarse.MeshNodes);
    TRefinedDifference difference{WorstError(coarse.Resistivities, fine.Resistivities)};
    EXPECT_EQ(coarse.Chargeabilities.size(), fine.Chargeabilities.size());
    for (size_t d = 0; d < std::min(coarse.Chargeabilities.size(), fine.Chargeabilities.size()); ++d)
        difference.eta = std::max(difference.eta, std::fabs(coarse.Chargeabilities[d] - fine.Chargeabilities[d]));
    std::printf("[ %s ] %d nodes: %s; chargeability within %.3f\n", survey.Array.c_str(), coarse.MeshNodes,
                difference.rho.Text().c_str(), difference.eta);
    return difference;
}

// Guards data 1 to 3 % off beside a body's corner a few metres under the
// electrodes, where the mesh grew from the electrodes alone: the default
// mesh now agrees with one refined everywhere.
TEST(ForwardMesh, BesideARegionsCornerTheDataAgreeWithARefinedMesh)
{
    // The dyke: every pole-dipole onto the dipole over its right top corner
    // (electrodes 25 and 26) and every dipole-dipole using an electrode
    // beside a corner (24 or 26).
    TSurvey dyke = CornerLine();
    dyke.Array = "dyke";
    for (int a = 0; a < CornerElectrodes; ++a)
        if (a < 23 || a > 26)
            dyke.Configurations.push_back({a, -1, a < 24 ? 24 : 25, a < 24 ? 25 : 24});
    for (const TConfiguration& c : ArrayConfigurations(TArrayKind::DipoleDipole, CornerElectrodes, 10))
        for (int beside : {23, 25})
            if (c.a == beside || c.b == beside || c.m == beside || c.n == beside) {
                dyke.Configurations.push_back(c);
                break;
            }
    const TRefinedDifference dykeDifference = DifferenceFromRefined(DykeGround(), dyke);
    // Homogeneous data scatter by 0.2 % between the two meshes.
    EXPECT_LE(dykeDifference.rho.error, 0.0035) << dykeDifference.rho.Text();
    // The graben: pole-dipoles with the pole over the fill (electrodes 15 to 25).
    TSurvey graben = CornerLine();
    graben.Array = "graben";
    for (int a = 14; a <= 24; ++a)
        AddPoleDipoles(graben, a, 15);
    const TRefinedDifference grabenDifference = DifferenceFromRefined(GrabenGround(), graben);
    EXPECT_LE(grabenDifference.rho.error, 0.01) << grabenDifference.rho.Text();
    EXPECT_LE(grabenDifference.eta, 0.03);
}

TEST(ForwardMesh, ARefinementOutsideItsRangeIsRefusedBeforeMeshing)
{
    const TMeshedContact m;
    for (double refinement : {0.0, -2.0, 100.0, std::nan("")}) {
        TMeshOptions options;
        options.Refinement = refinement;
        try {
            PadGeometry(m.ground, m.survey, options);
            ADD_FAILURE() << refinement << " not refused";
        } catch (const EForwardError& error) {
            EXPECT_STREQ(error.what(), "The mesh refinement must be a number from 0.25 to 16.");
        }
    }
}

// The padding beside the model area in regions of its own: each strip
// takes its border region plus the offset; the padding below keeps the
// region above it. An offset naming no region is refused.
TEST(ForwardMesh, SidePaddingInRegionsOfItsOwn)
{
    TMeshedContact m;
    TForwardModel ground = m.ground;
    ground.Regions.insert(ground.Regions.end(), m.ground.Regions.begin(), m.ground.Regions.end());
    TMeshOptions options;
    options.SidePaddingOffset = 2;
    const TForwardMesh mesh = MeshGeometry(PadGeometry(ground, m.survey, options));
    std::set<int> left, right, below, inside;
    for (size_t t = 0; t < mesh.Triangles.size(); ++t) {
        double x = 0.0, y = 0.0;
        for (int node : mesh.Triangles[t]) {
            x += mesh.Nodes[size_t(node)].x / 3;
            y += mesh.Nodes[size_t(node)].y / 3;
        }
        const int region = mesh.TriangleRegion[t];
        (x < 0.0 ? left : x > 200.0 ? right : y < -80.0 ? below : inside).insert(region);
    }
    EXPECT_EQ(left, (std::set<int>{2}));  // beside the host medium
    EXPECT_EQ(right, (std::set<int>{3})); // beside the contact's body
    EXPECT_EQ(below, (std::set<int>{0, 1}));
    EXPECT_EQ(inside, (std::set<int>{0, 1}));
    options.SidePaddingOffset = 3; // the body's strips would be region 4
    EXPECT_THROW(PadGeometry(ground, m.survey, options), EForwardError);
}

// The angle the triangles round a node close, and the regions they lie in.
double AngleRound(const TForwardMesh& mesh, int at, std::set<int>& regions)
{
    const TGeometryPoint& node = mesh.Nodes[static_cast<size_t>(at)];
    double angle = 0.0;
    for (size_t t = 0; t < mesh.Triangles.size(); ++t) {
        const auto& tri = mesh.Triangles[t];
        const auto corner = std::find(tri.begin(), tri.end(), at);
        if (corner == tri.end())
            continue;
        const size_t i = static_cast<size_t>(corner - tri.begin());
        const TGeometryPoint& p = mesh.Nodes[static_cast<size_t>(tri[(i + 1) % 3])];
        const TGeometryPoint& q = mesh.Nodes[static_cast<size_t>(tri[(i + 2) % 3])];
        angle += std::fabs(std::remainder(std::atan2(q.y - node.y, q.x - node.x) - std::atan2(p.y - node.y, p.x - node.x),
                                          2 * std::numbers::pi));
        regions.insert(mesh.TriangleRegion[t]);
    }
    return angle;
}

// Buried electrodes: one inside a region, one on the boundary between two
// regions (a lake's bottom), one at the x of a surface electrode below
// it. Each has a node of its own at its place, and the triangles round it
// close the whole turn (a surface electrode's half a turn), in the regions
// on either side.
TEST(ForwardMesh, BuriedElectrodesGetNodesOfTheirOwnWithTrianglesAllRound)
{
    TForwardSection section(100.0, 40.0, 100.0);
    section.AddBody({{0, 0}, {100, 0}, {100, 3}, {0, 3}}, 15.0); // water, 3 m deep
    const TForwardModel ground = section.Ground();
    TSurvey survey;
    survey.HasElevations = true;
    survey.Electrodes = {{40.0, 0.0}, {40.0, -7.0}, {60.0, -3.0}, {50.0, -10.0}};
    survey.Configurations = {{0, 1, 2, 3}};
    PlaceSurvey(survey, ground);
    EXPECT_FALSE(survey.Electrodes[0].Buried());
    EXPECT_DOUBLE_EQ(survey.Electrodes[1].Depth, 7.0);
    EXPECT_DOUBLE_EQ(survey.Electrodes[2].Depth, 3.0);
    const TForwardMesh mesh = MeshGeometry(PadGeometry(ground, survey));
    ASSERT_EQ(mesh.ElectrodeNodes.size(), 4u);
    EXPECT_EQ(std::set<int>(mesh.ElectrodeNodes.begin(), mesh.ElectrodeNodes.end()).size(), 4u);
    const double turn[4] = {std::numbers::pi, 2 * std::numbers::pi, 2 * std::numbers::pi, 2 * std::numbers::pi};
    for (size_t e = 0; e < 4; ++e) {
        const int at = mesh.ElectrodeNodes[e];
        const TGeometryPoint& node = mesh.Nodes[static_cast<size_t>(at)];
        EXPECT_DOUBLE_EQ(node.x, survey.Electrodes[e].x);
        EXPECT_DOUBLE_EQ(node.y, survey.Electrodes[e].z);
        std::set<int> regions;
        EXPECT_NEAR(AngleRound(mesh, at, regions), turn[e], 1e-9) << "electrode " << e + 1;
        // On the lake's bottom: water above, ground below.
        EXPECT_EQ(regions.size(), e == 2 ? 2u : 1u) << "electrode " << e + 1;
    }
    CheckTriangleShapes(mesh);
}

// An electrode whose nearest lies beside a closer pair (a hole's) took
// its fan from a far electrode: the nearest in the plane is every
// electrode's own, so its rim is 0.12 of that distance (ElectrodeSize).
TEST(ForwardMesh, ABuriedElectrodesFanFollowsItsNearestInThePlane)
{
    const TForwardSection section(100.0, 40.0, 100.0);
    TSurvey survey;
    survey.HasElevations = true;
    survey.Electrodes = {{40.0, -10.0}, {40.0, -11.0}, {43.0, -10.5}, {60.0, -10.0}};
    survey.Configurations = {{0, 1, 2, 3}};
    const TForwardModel ground = section.Ground();
    PlaceSurvey(survey, ground);
    const TPaddedGeometry padded = PadGeometry(ground, survey);
    ASSERT_EQ(padded.RimSizes.size(), 4u);
    EXPECT_NEAR(padded.RimSizes[2], TMeshOptions().ElectrodeSize * std::hypot(3.0, 0.5), 1e-12);
    EXPECT_NEAR(padded.RimSizes[0], TMeshOptions().ElectrodeSize * 1.0, 1e-12);
}

// A hole on the model area's side split the side's frame edge, and the
// padding beside it was looked for along an edge no longer there
// ("unordered_map::at"): its electrodes now stand on the side, the padding
// closing their turn.
TEST(ForwardMesh, AHoleOnTheModelAreasSideIsMeshedWithThePaddingBesideIt)
{
    const TForwardSection section(100.0, 40.0, 100.0);
    TSurvey survey;
    survey.HasElevations = true;
    survey.Electrodes = {{0.0, -1.0}, {0.0, -2.0}, {0.0, -3.0}, {5.0, 0.0}};
    survey.Configurations = {{0, 1, 2, 3}};
    const TForwardModel ground = section.Ground();
    PlaceSurvey(survey, ground);
    const TForwardMesh mesh = MeshGeometry(PadGeometry(ground, survey));
    for (size_t e = 0; e < 3; ++e) {
        const TGeometryPoint& node = mesh.Nodes[static_cast<size_t>(mesh.ElectrodeNodes[e])];
        EXPECT_EQ(node.x, 0.0);
        EXPECT_EQ(node.y, survey.Electrodes[e].z);
        std::set<int> regions;
        EXPECT_NEAR(AngleRound(mesh, mesh.ElectrodeNodes[e], regions), 2 * std::numbers::pi, 1e-9);
    }
}

// A buried electrode below the model area's bottom cannot be meshed:
// refused naming it.
TEST(ForwardMesh, ABuriedElectrodeBelowTheModelAreaIsRefused)
{
    const TForwardSection section(100.0, 40.0, 100.0);
    TSurvey survey;
    survey.HasElevations = true;
    survey.Electrodes = {{40.0, 0.0}, {40.0, -50.0}};
    survey.Configurations = {{0, -1, 1, -1}};
    try {
        PlaceSurvey(survey, section.Ground());
        FAIL() << "placed";
    } catch (const EForwardError& error) {
        EXPECT_EQ(error.Message(), "Electrode 2 (x = 40, z = -50) lies below the model area's bottom (z = -40).");
    }
}

} // namespace
} // namespace lp::test
