// Triangulating scattered points: the smallest cases (square, three points,
// too few points), coincident, collinear and non-finite points, a regular
// grid, the closest pair when two early points coincide, and the
// empty-circle property with a consistent mesh on many random points.

#include "chart/extensions/grid3d/PlotTriangulation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <utility>

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TPoints {
    std::vector<double> X;
    std::vector<double> Z;
    void Add(double PX, double PZ)
    {
        X.push_back(PX);
        Z.push_back(PZ);
    }
};

double Orientation(const TPoints& P, const std::array<int, 3>& T)
{
    const auto At = [&](int I) {
        return std::pair { P.X.at(static_cast<size_t>(T[static_cast<size_t>(I)])),
            P.Z.at(static_cast<size_t>(T[static_cast<size_t>(I)])) };
    };
    const auto [X1, Z1] = At(0);
    const auto [X2, Z2] = At(1);
    const auto [X3, Z3] = At(2);
    return (X2 - X1) * (Z3 - Z1) - (Z2 - Z1) * (X3 - X1);
}

double TotalArea(const TPoints& P, const TTriangulation& R)
{
    double Sum = 0;
    for (const auto& T : R.Triangles)
        Sum += Orientation(P, T) / 2;
    return Sum;
}

std::set<int> Vertices(const TTriangulation& R)
{
    std::set<int> Used;
    for (const auto& T : R.Triangles)
        Used.insert(T.begin(), T.end());
    return Used;
}

// A sound mesh: valid distinct vertexes, counter-clockwise triangles, every
// directed edge once, the border exactly the edges without a twin, each
// border entry naming its own triangle, and Euler's count of triangles.
void ExpectSoundMesh(const TPoints& P, const TTriangulation& R)
{
    std::map<std::pair<int, int>, int> Edges;
    for (size_t I = 0; I < R.Triangles.size(); ++I) {
        const auto& T = R.Triangles[I];
        for (int V : T)
            ASSERT_TRUE(V >= 0 && static_cast<size_t>(V) < P.X.size());
        ASSERT_TRUE(T[0] != T[1] && T[1] != T[2] && T[2] != T[0]);
        EXPECT_GT(Orientation(P, T), 0) << "triangle " << I;
        for (int E = 0; E < 3; ++E)
            ASSERT_TRUE(Edges
                            .emplace(std::pair { T[static_cast<size_t>(E)], T[static_cast<size_t>((E + 1) % 3)] },
                                static_cast<int>(I))
                            .second);
    }
    std::set<std::pair<int, int>> Open;
    for (const auto& [Edge, Triangle] : Edges)
        if (!Edges.contains({ Edge.second, Edge.first }))
            Open.insert(Edge);
    ASSERT_EQ(R.Border.size(), Open.size());
    for (const auto& B : R.Border) {
        EXPECT_TRUE(Open.contains({ B.First, B.Second }));
        EXPECT_EQ(Edges.at({ B.First, B.Second }), B.Triangle);
    }
    const auto V = static_cast<long long>(Vertices(R).size());
    EXPECT_EQ(static_cast<long long>(R.Triangles.size()), 2 * V - 2 - static_cast<long long>(R.Border.size()));
}

TEST(PlotTriangulation, SquareGivesTwoTrianglesInsideFourBorderEdges)
{
    TPoints P;
    P.Add(0, 0);
    P.Add(1, 0);
    P.Add(1, 1);
    P.Add(0, 1);
    const TTriangulation R = Triangulate(P.X, P.Z);
    ASSERT_EQ(R.Triangles.size(), 2u);
    EXPECT_EQ(R.Border.size(), 4u);
    EXPECT_EQ(Vertices(R), (std::set<int> { 0, 1, 2, 3 }));
    EXPECT_DOUBLE_EQ(TotalArea(P, R), 1); // no overlap
    ExpectSoundMesh(P, R);
}

TEST(PlotTriangulation, ThreePointsGiveOneCounterClockwiseTriangle)
{
    TPoints P;
    P.Add(0, 0);
    P.Add(0, 2);
    P.Add(3, 0); // clockwise as given
    const TTriangulation R = Triangulate(P.X, P.Z);
    ASSERT_EQ(R.Triangles.size(), 1u);
    EXPECT_EQ(R.Border.size(), 3u);
    EXPECT_EQ(Vertices(R), (std::set<int> { 0, 1, 2 }));
    ExpectSoundMesh(P, R);
}

TEST(PlotTriangulation, FewerThanThreeDistinctPointsGiveNothing)
{
    for (const TPoints& P :
        { TPoints {}, TPoints { { 1 }, { 1 } }, TPoints { { 1, 2 }, { 1, 2 } }, TPoints { { 1, 2, 1 }, { 1, 2, 1 } },
            TPoints { { 5, 5, 5, 5 }, { 3, 3, 3, 3 } }, TPoints { { 1, 2, NAN }, { 1, 2, 3 } } }) {
        const TTriangulation R = Triangulate(P.X, P.Z);
        EXPECT_TRUE(R.Triangles.empty());
        EXPECT_TRUE(R.Border.empty());
    }
}

TEST(PlotTriangulation, CoincidentAndNonFinitePointsTakeNoPart)
{
    TPoints P;
    P.Add(0, 0);
    P.Add(4, 0);
    P.Add(4, 0); // same X and Z as point 1
    P.Add(2, 3);
    P.Add(std::numeric_limits<double>::infinity(), 1);
    P.Add(1, NAN);
    P.Add(2, 3); // same as point 3
    const TTriangulation R = Triangulate(P.X, P.Z);
    ASSERT_EQ(R.Triangles.size(), 1u);
    EXPECT_EQ(Vertices(R), (std::set<int> { 0, 1, 3 }));
    ExpectSoundMesh(P, R);
}

// With points 1 and 2 coincident the true closest pair (3, 4) still starts
// the mesh: the first triangle holds both of them.
TEST(PlotTriangulation, CoincidentEarlyPointsDoNotHideTheClosestPair)
{
    TPoints P;
    P.Add(10, 0);
    P.Add(0, 0);
    P.Add(0, 0);
    P.Add(5, 5);
    P.Add(5.1, 5);
    P.Add(9, 9);
    const TTriangulation R = Triangulate(P.X, P.Z);
    ASSERT_FALSE(R.Triangles.empty());
    const auto& First = R.Triangles.front();
    EXPECT_NE(std::find(First.begin(), First.end(), 3), First.end());
    EXPECT_NE(std::find(First.begin(), First.end(), 4), First.end());
    EXPECT_FALSE(Vertices(R).contains(2));
    ExpectSoundMesh(P, R);
}

// A regular grid: every four neighbours share a circle, yet the mesh covers
// the grid's square exactly once.
TEST(PlotTriangulation, CocircularGridIsCoveredOnce)
{
    TPoints P;
    for (int I = 0; I < 20; ++I)
        for (int J = 0; J < 20; ++J)
            P.Add(I, J);
    const TTriangulation R = Triangulate(P.X, P.Z);
    EXPECT_EQ(R.Triangles.size(), 2u * 19 * 19);
    EXPECT_EQ(R.Border.size(), 4u * 19);
    EXPECT_DOUBLE_EQ(TotalArea(P, R), 19 * 19);
    ExpectSoundMesh(P, R);
}

// All on one line: degenerate triangles with valid vertexes, no failure.
// One point off the line makes a sound fan again.
TEST(PlotTriangulation, CollinearInputStaysSafe)
{
    TPoints Line;
    for (int I = 0; I < 6; ++I)
        Line.Add(I, 2 * I + 1);
    const TTriangulation R = Triangulate(Line.X, Line.Z);
    EXPECT_FALSE(R.Triangles.empty());
    for (const auto& T : R.Triangles) {
        for (int V : T)
            EXPECT_TRUE(V >= 0 && V < 6);
        EXPECT_EQ(Orientation(Line, T), 0);
    }
    for (const auto& B : R.Border)
        EXPECT_TRUE(B.Triangle >= 0 && static_cast<size_t>(B.Triangle) < R.Triangles.size());

    TPoints Fan = Line;
    Fan.Add(10, 0);
    const TTriangulation F = Triangulate(Fan.X, Fan.Z);
    EXPECT_EQ(F.Triangles.size(), 5u);
    EXPECT_DOUBLE_EQ(TotalArea(Fan, F), 52.5);
    ExpectSoundMesh(Fan, F);
}

// Whether D lies strictly inside the circle through the counter-clockwise
// A, B, C, with a tolerance relative to the coordinates' scale.
bool InsideCircle(const TPoints& P, const std::array<int, 3>& T, int D)
{
    const auto Get = [&](int I) { return std::pair { P.X[static_cast<size_t>(I)], P.Z[static_cast<size_t>(I)] }; };
    const auto [DX, DZ] = Get(D);
    double M[3][3];
    for (int R = 0; R < 3; ++R) {
        const auto [X, Z] = Get(T[static_cast<size_t>(R)]);
        M[R][0] = X - DX;
        M[R][1] = Z - DZ;
        M[R][2] = M[R][0] * M[R][0] + M[R][1] * M[R][1];
    }
    const double Det = M[0][0] * (M[1][1] * M[2][2] - M[1][2] * M[2][1])
        - M[0][1] * (M[1][0] * M[2][2] - M[1][2] * M[2][0]) + M[0][2] * (M[1][0] * M[2][1] - M[1][1] * M[2][0]);
    return Det > 1e-9;
}

// No point lies inside any triangle's circumcircle; points are looked up in
// a bucket grid over each circle's bounding box.
TEST(PlotTriangulation, RandomPointsGiveEmptyCircles)
{
    constexpr int Count = 10000;
    constexpr int Cells = 100;
    std::mt19937 Random(35);
    std::uniform_real_distribution<double> Unit(0, 1);
    TPoints P;
    std::vector<std::vector<int>> Buckets(Cells * Cells);
    const auto Cell = [](double V) { return std::clamp(static_cast<int>(V * Cells), 0, Cells - 1); };
    for (int I = 0; I < Count; ++I) {
        P.Add(Unit(Random), Unit(Random));
        Buckets[static_cast<size_t>(Cell(P.Z.back()) * Cells + Cell(P.X.back()))].push_back(I);
    }
    const TTriangulation R = Triangulate(P.X, P.Z);
    ExpectSoundMesh(P, R);
    EXPECT_EQ(Vertices(R).size(), static_cast<size_t>(Count));
    int Violations = 0;
    for (const auto& T : R.Triangles) {
        const double AX = P.X[static_cast<size_t>(T[0])], AZ = P.Z[static_cast<size_t>(T[0])];
        const double BX = P.X[static_cast<size_t>(T[1])] - AX, BZ = P.Z[static_cast<size_t>(T[1])] - AZ;
        const double CX = P.X[static_cast<size_t>(T[2])] - AX, CZ = P.Z[static_cast<size_t>(T[2])] - AZ;
        const double D = 2 * (BX * CZ - BZ * CX);
        const double UX = (CZ * (BX * BX + BZ * BZ) - BZ * (CX * CX + CZ * CZ)) / D;
        const double UZ = (BX * (CX * CX + CZ * CZ) - CX * (BX * BX + BZ * BZ)) / D;
        const double Radius = std::hypot(UX, UZ);
        const double MidX = AX + UX, MidZ = AZ + UZ;
        for (int CellZ = Cell(MidZ - Radius); CellZ <= Cell(MidZ + Radius); ++CellZ)
            for (int CellX = Cell(MidX - Radius); CellX <= Cell(MidX + Radius); ++CellX)
                for (int Q : Buckets[static_cast<size_t>(CellZ * Cells + CellX)])
                    if (Q != T[0] && Q != T[1] && Q != T[2] && InsideCircle(P, T, Q))
                        ++Violations;
    }
    EXPECT_EQ(Violations, 0);
}

} // namespace
} // namespace lp
