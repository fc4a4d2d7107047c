// The roughness of the parameter mesh: its weights, its independence of
// the cells' shapes and sizes, and the structural cuts.

#include "section/inversion/InversionMesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>
#include <numbers>

namespace lp {
namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// Columns of Width from 0, rows starting First thick growing by Growth, flat
// unless Slope tilts the surface.
TInversionMesh Grid(int Columns, double Width, int Rows, double First, double Growth, double Slope = 0.0)
{
    TInversionMesh mesh;
    for (int c = 0; c <= Columns; ++c) {
        mesh.ColumnEdges.push_back(c * Width);
        mesh.Elevations.push_back(Slope * c * Width);
    }
    double depth = 0.0, thickness = First;
    mesh.RowDepths.push_back(0.0);
    for (int r = 0; r < Rows; ++r) {
        depth += thickness;
        thickness *= Growth;
        mesh.RowDepths.push_back(depth);
    }
    mesh.Bottom = std::min(mesh.Elevations.front(), mesh.Elevations.back()) - depth;
    return mesh;
}

template <typename TModel>
double Roughness(const TInversionMesh& Mesh, const TModel& Model, double ZWeight = 1.0)
{
    VectorXd m(Mesh.Cells());
    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        const TGeometryPoint p = CellCentre(Mesh, cell);
        m[cell] = Model(p.x, p.y);
    }
    return (SmoothnessOperator(Mesh, ZWeight) * m).squaredNorm();
}

TEST(InversionMesh, RoughnessPairsNeighboursWithTheirWeights)
{
    // Unit squares: w² = a × L / d = a.
    const TInversionMesh mesh = Grid(3, 1.0, 2, 1.0, 1.0);
    const Eigen::SparseMatrix<double> C = SmoothnessOperator(mesh, 0.5, {1, 1, 2, 1, 1, 2});
    ASSERT_EQ(C.rows(), 7); // 2 rows × 2 horizontal pairs + 3 vertical pairs
    const MatrixXd D(C);
    EXPECT_EQ((D * VectorXd::Ones(6)).norm(), 0.0);
    EXPECT_DOUBLE_EQ(D(0, 0), -1.0);
    EXPECT_DOUBLE_EQ(D(0, 1), 1.0);
    EXPECT_DOUBLE_EQ(D(1, 3), std::sqrt(0.5));
    EXPECT_EQ(D.row(2).cwiseAbs().sum(), 0.0); // (1,2) across zones
    EXPECT_DOUBLE_EQ(D(3, 4), std::sqrt(0.5));
    // A cell twice as tall as wide: its horizontal pair weighs 2 / 1, its
    // vertical pair 1 / 2 (squared).
    const MatrixXd E(SmoothnessOperator(Grid(2, 1.0, 2, 2.0, 1.0), 1.0));
    EXPECT_DOUBLE_EQ(E(0, 1), std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(E(1, 2), std::sqrt(0.5));
    EXPECT_THROW(SmoothnessOperator(mesh, -1.0), EForwardError);
    EXPECT_THROW(SmoothnessOperator(mesh, std::nan("")), EForwardError);
    EXPECT_THROW(SmoothnessOperator(mesh, 1.0, {1, 2}), EForwardError);
}

TEST(InversionMesh, RoughnessOfASmoothModelDoesNotDependOnTheMesh)
{
    // A bump in the middle (no gradient at the borders): ∫|∇m|² dA = π
    // for m = exp(-r²/s²) whatever s; the sums over a coarse mesh of tall
    // cells and over one refined twice in each direction agree with it.
    const double s = 6.0;
    const auto bump = [s](double x, double y) {
        return std::exp(-((x - 30.0) * (x - 30.0) + (y + 20.0) * (y + 20.0)) / (s * s));
    };
    const double exact = std::numbers::pi;
    const double coarse = Roughness(Grid(60, 1.0, 20, 0.5, 1.12), bump);
    const double fine = Roughness(Grid(240, 0.25, 80, 0.125, std::pow(1.12, 0.25)), bump);
    EXPECT_NEAR(coarse, exact, 0.05 * exact);
    EXPECT_NEAR(fine, exact, 0.02 * exact);
    EXPECT_NEAR(coarse, fine, 0.05 * fine);
    // On a tilted surface the cells are parallelograms; the bump's integral
    // is the same.
    EXPECT_NEAR(Roughness(Grid(120, 0.5, 40, 0.5, 1.04, 0.2), bump), exact, 0.06 * exact);
}

TEST(InversionMesh, ZWeightOneFavoursNeitherDirection)
{
    // Cells six times taller than wide at depth: the same gradient along x
    // and along z costs the same (plain differences would make the
    // horizontal one 36 times dearer per pair).
    const TInversionMesh mesh = Grid(200, 0.5, 12, 3.0, 1.0);
    const double width = 100.0, height = 36.0;
    const double alongX = Roughness(mesh, [](double x, double) { return 0.1 * x; });
    const double alongZ = Roughness(mesh, [](double, double y) { return 0.1 * y; });
    // Each ≈ g² × area, less the half cell at the borders.
    EXPECT_NEAR(alongX, 0.01 * width * height, 0.02 * 0.01 * width * height);
    EXPECT_NEAR(alongZ, 0.01 * width * height, 0.1 * 0.01 * width * height);
    EXPECT_NEAR(alongX / alongZ, 1.0, 0.1);
    // A z-weight of 0.5 halves the vertical part only.
    EXPECT_NEAR(Roughness(mesh, [](double, double y) { return 0.1 * y; }, 0.5), 0.5 * alongZ, 1e-9 * alongZ);
    EXPECT_NEAR(Roughness(mesh, [](double x, double) { return 0.1 * x; }, 0.5), alongX, 1e-9 * alongX);
}

// A mesh was laid before the memory was asked: an electrode at x = -1e9
// had 2e9 columns laid (19 GB) before anything could refuse them. The
// cells are counted first, alike, without laying them.
TEST(InversionMesh, TheDefaultMeshIsCountedBeforeItIsLaid)
{
    const std::vector<TGeometryPoint> level = {{-1e10, 0.0}, {1e10, 0.0}};
    for (const auto& [x, left, right, depth] : std::vector<std::tuple<std::vector<double>, double, double, double>>{
             {{0.0, 10.0, 20.0, 30.0}, -20.0, 50.0, 12.0},
             {{5.0, 0.0, 7.5, 30.0, 31.0}, -3.0, 31.0, 40.0},
             {{0.0, 2.0, 4.0, 6.0, 8.0, 10.0, 100.0}, -4.0, 104.0, 30.0}})
        EXPECT_EQ(DefaultInversionMeshCells(x, left, right, level, depth),
                  static_cast<double>(DefaultInversionMesh(x, left, right, level, depth).Cells()));
    // Spacing 10, half-spacing columns across a gap of 1e9: 2e8 of them,
    // counted at once; a mesh beyond what an int counts is refused unlaid.
    const std::vector<double> stray = {-1e9, 0.0, 10.0, 20.0, 30.0};
    const double cells = DefaultInversionMeshCells(stray, -1e9 - 20.0, 50.0, level, 1e8);
    EXPECT_GT(cells, 2e8 * 20);
    EXPECT_THROW(DefaultInversionMesh(stray, -1e9 - 20.0, 50.0, level, 1e8), EForwardError);
}

// Over relief the mesh's bottom row ran flat under rows that followed the
// surface: one cell tens of metres tall under the high end, a few under
// the low end, and the image drew columns in it. Now the top row follows
// the ground, the rows below blend to level lines, and no cell is more
// than twice as tall as the one above it.
TEST(InversionMesh, OverReliefTheRowsFollowTheGroundAtTheTopAndLevelWithDepth)
{
    std::vector<double> x;
    for (int e = 0; e < 32; ++e)
        x.push_back(e);
    const double deepest = 4.0, left = -4.0, right = 35.0;
    const double drop = std::tan(25.0 * std::numbers::pi / 180.0) * (right - left);
    const std::vector<std::pair<const char*, std::vector<TGeometryPoint>>> grounds{
        {"hill", {{left, 0.0}, {8.0, 0.0}, {15.5, 6.0}, {23.0, 0.0}, {right, 0.0}}},
        {"valley", {{left, 0.0}, {9.0, 0.0}, {15.5, -5.0}, {22.0, 0.0}, {right, 0.0}}},
        {"25 degree slope", {{left, drop}, {right, 0.0}}},
        {"steep cliff", {{left, 40.0}, {10.0, 40.0}, {12.0, 0.0}, {right, 0.0}}}};
    for (const auto& [name, surface] : grounds) {
        SCOPED_TRACE(name);
        const TInversionMesh mesh = DefaultInversionMesh(x, left, right, surface, deepest);
        const int rows = mesh.Rows();
        EXPECT_GE(mesh.Level - mesh.Bottom, 2.0 * deepest - 1e-9);
        EXPECT_GE(mesh.FadeBottom, deepest);
        for (int edge = 0; edge <= mesh.Columns(); ++edge) {
            // The top row: half a spacing below the ground, as on flat ground.
            EXPECT_NEAR(RowBoundaryY(mesh, edge, 0) - RowBoundaryY(mesh, edge, 1), 0.5, 1e-9);
            for (int k = 1; k < rows; ++k) {
                const double above = RowBoundaryY(mesh, edge, k - 1) - RowBoundaryY(mesh, edge, k);
                const double height = RowBoundaryY(mesh, edge, k) - RowBoundaryY(mesh, edge, k + 1);
                EXPECT_LE(height, 2.0 * above + 1e-9) << "edge " << edge << ", row " << k;
            }
            // Below the blend every boundary is level with the bottom's, at least two rows of them.
            int level = 0;
            for (int k = 0; k < rows; ++k)
                if (mesh.RowDepths[static_cast<size_t>(k)] >= mesh.FadeBottom) {
                    EXPECT_NEAR(RowBoundaryY(mesh, edge, k), RowBoundaryY(mesh, 0, k), 1e-9) << "row " << k;
                    ++level;
                }
            EXPECT_GE(level, 2);
        }
        // Every cell's centre is found in its own row.
        for (int cell = 0; cell < mesh.Cells(); ++cell) {
            const TGeometryPoint centre = CellCentre(mesh, cell);
            EXPECT_EQ(RowAt(mesh, cell % mesh.Columns(), centre.x, centre.y), cell / mesh.Columns());
        }
    }
}

// On flat ground the rows are the old ones (half a spacing, growing by
// 20 %) except that they go on down to twice the deepest median depth.
TEST(InversionMesh, OnFlatGroundTheRowsOnlyReachDeeper)
{
    const std::vector<double> x{0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0};
    const TInversionMesh mesh = DefaultInversionMesh(x, -2.0, 11.0, {{-2.0, 3.0}, {11.0, 3.0}}, 5.0);
    EXPECT_LE(mesh.FadeBottom, mesh.FadeTop);
    EXPECT_DOUBLE_EQ(mesh.Level - mesh.Bottom, 10.0);
    double depth = 0.0, thickness = 0.5;
    for (size_t k = 0; k + 1 < mesh.RowDepths.size(); ++k) {
        EXPECT_NEAR(mesh.RowDepths[k], depth, 1e-12) << k;
        depth += thickness;
        thickness *= 1.2;
    }
    for (int edge = 0; edge <= mesh.Columns(); ++edge)
        for (int k = 0; k <= mesh.Rows(); ++k)
            EXPECT_DOUBLE_EQ(RowBoundaryY(mesh, edge, k), k < mesh.Rows() ? 3.0 - mesh.RowDepths[static_cast<size_t>(k)] : -7.0);
    EXPECT_EQ(RowAt(mesh, 3, 0.2, 3.1), -1);
    EXPECT_EQ(RowAt(mesh, 3, 0.2, -7.5), -1);
    EXPECT_THROW(RowAt(mesh, mesh.Columns(), 0.2, 0.0), EForwardError);
    EXPECT_THROW(RowBoundaryY(mesh, 0, mesh.Rows() + 1), EForwardError);
}

} // namespace
} // namespace lp
