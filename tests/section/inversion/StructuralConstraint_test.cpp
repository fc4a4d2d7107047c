// Lines, boundaries and well logs in the inversion: which pairs of cells a
// line cuts and by how much, the logs' cell data, and inversions of
// synthetic grounds (the forward computation with seeded noise) with and
// without the constraint.

#include "section/inversion/StructuralConstraint.h"

#include "section/inversion/SurveyInversion.h"
#include "tests/section/forward/ForwardFixtures.h"
#include "tests/section/inversion/NoisySurveyData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>

namespace lp {
namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// Unit columns from 0 and unit rows from the flat surface at 0.
TInversionMesh UnitGrid(int Columns, int Rows)
{
    TInversionMesh mesh;
    for (int c = 0; c <= Columns; ++c) {
        mesh.ColumnEdges.push_back(c);
        mesh.Elevations.push_back(0.0);
    }
    for (int r = 0; r <= Rows; ++r)
        mesh.RowDepths.push_back(r);
    mesh.Bottom = -Rows;
    return mesh;
}

// The factor of the pair of cells (First, Second) in CutWeights.
double PairFactor(const TInversionMesh& Mesh, const TStructuralConstraint& Constraint, int First, int Second)
{
    const Eigen::SparseMatrix<double> C = SmoothnessOperator(Mesh, 1.0);
    const std::vector<double> weights = CutWeights(Mesh, C, Constraint);
    const MatrixXd D(C);
    for (Eigen::Index row = 0; row < D.rows(); ++row)
        if (D(row, First) != 0.0 && D(row, Second) != 0.0)
            return weights.at(static_cast<size_t>(row));
    ADD_FAILURE() << "cells " << First << " and " << Second << " are no pair";
    return -1.0;
}

TEST(StructuralConstraint, ALineCutsThePairsItSeparatesWithItsWeight)
{
    // 4 columns × 3 rows; cell = row × 4 + column.
    const TInversionMesh mesh = UnitGrid(4, 3);
    // Along the boundary of rows 0 and 1 over the first two columns, at weight 0.3.
    TStructuralConstraint along;
    along.Lines.push_back({{{0.0, -1.0}, {2.0, -1.0}}, 0.3});
    EXPECT_DOUBLE_EQ(PairFactor(mesh, along, 0, 4), 0.3);
    EXPECT_DOUBLE_EQ(PairFactor(mesh, along, 1, 5), 0.3);
    EXPECT_DOUBLE_EQ(PairFactor(mesh, along, 2, 6), 1.0); // beyond its end
    // The pairs beside it, whose shared edge only ends on it, keep their smoothing.
    EXPECT_DOUBLE_EQ(PairFactor(mesh, along, 0, 1), 1.0);
    EXPECT_DOUBLE_EQ(PairFactor(mesh, along, 4, 5), 1.0);
    EXPECT_EQ(CutEdges(mesh, along).size(), 2u);

    // A dipping line through the cells: every pair whose edge it crosses.
    TStructuralConstraint dipping;
    dipping.Lines.push_back({{{0.0, -0.5}, {4.0, -2.5}}, 0.0});
    EXPECT_DOUBLE_EQ(PairFactor(mesh, dipping, 0, 4), 0.0); // crosses the bottom of cell 0 at x 1
    EXPECT_DOUBLE_EQ(PairFactor(mesh, dipping, 5, 6), 0.0); // crosses x = 2 at y = -1.5
    EXPECT_DOUBLE_EQ(PairFactor(mesh, dipping, 8, 9), 1.0); // below it
    EXPECT_DOUBLE_EQ(PairFactor(mesh, dipping, 2, 3), 1.0); // above it
    // The smaller weight counts where two cut one pair.
    dipping.Lines.push_back({{{0.0, -1.0}, {4.0, -1.0}}, 0.5});
    EXPECT_DOUBLE_EQ(PairFactor(mesh, dipping, 0, 4), 0.0);
    EXPECT_DOUBLE_EQ(PairFactor(mesh, dipping, 3, 7), 0.5);

    // Zones: a pair in two zones takes the smaller of their weights; a zone
    // beyond the list is unused.
    TStructuralConstraint zones;
    zones.Zones.assign(12, 0);
    for (int cell : {6, 7, 10, 11})
        zones.Zones[static_cast<size_t>(cell)] = 1;
    zones.ZoneWeights = {1.0, 0.25};
    EXPECT_DOUBLE_EQ(PairFactor(mesh, zones, 5, 6), 0.25);
    EXPECT_DOUBLE_EQ(PairFactor(mesh, zones, 2, 6), 0.25);
    EXPECT_DOUBLE_EQ(PairFactor(mesh, zones, 6, 7), 1.0);
    zones.ZoneWeights = {1.0};
    EXPECT_DOUBLE_EQ(PairFactor(mesh, zones, 5, 6), 1.0);
    zones.ZoneWeights.clear(); // as --constrain: every boundary at 0
    EXPECT_DOUBLE_EQ(PairFactor(mesh, zones, 5, 6), 0.0);

    // The operator scales each row by its factor.
    const Eigen::SparseMatrix<double> plain = SmoothnessOperator(mesh, 1.0);
    const Eigen::SparseMatrix<double> cut = ConstrainedSmoothness(mesh, 1.0, along);
    const std::vector<double> factors = CutWeights(mesh, plain, along);
    EXPECT_NEAR((MatrixXd(cut) - VectorXd::Map(factors.data(), static_cast<Eigen::Index>(factors.size())).asDiagonal() *
                                     MatrixXd(plain))
                    .norm(),
                0.0, 1e-14);

    TStructuralConstraint bad;
    bad.Lines.push_back({{{0.0, -1.0}, {2.0, -1.0}}, 1.5});
    EXPECT_THROW(CutWeights(mesh, plain, bad), EForwardError);
    bad.Lines[0].Weight = std::nan("");
    EXPECT_THROW(CutWeights(mesh, plain, bad), EForwardError);
    bad.Lines[0] = {{{0.0, -1.0}}, 0.0};
    EXPECT_THROW(CutWeights(mesh, plain, bad), EForwardError);
}

// The rows bend onto a drawn line: at every column edge the line crosses
// (gently), a row boundary lies on it, the cells stay in columns and rows
// (each centre found in its own row), no cell grows more than twice as
// tall as the one above it; without lines and logs the mesh is the same.
TEST(StructuralConstraint, TheMeshBendsItsRowsOntoADrawnLineAndALogsLayers)
{
    std::vector<double> x;
    for (int e = 0; e < 32; ++e)
        x.push_back(e);
    const std::vector<TGeometryPoint> hill{{-4.0, 0.0}, {8.0, 0.0}, {15.5, 4.0}, {23.0, 0.0}, {35.0, 0.0}};
    const TInversionMesh mesh = DefaultInversionMesh(x, -4.0, 35.0, hill, 4.0);
    const auto line = [](double X) { return -1.3 - 0.1 * X; }; // dipping from 1.3 m to 4.4 m below the level
    const TConstraintLine drawn{{{-4.0, line(-4.0)}, {35.0, line(35.0)}}, 0.0};
    // A steep line (a fault) is no row boundary's to follow.
    const TConstraintLine fault{{{10.0, 0.0}, {12.0, -8.0}}, 0.0};
    TWellLog log{"well", 2.25, {}, {}};
    for (double depth = 0.05; depth < 6.0; depth += 0.1) {
        log.Elevations.push_back(-depth);
        log.Resistivities.push_back(depth < 3.6 ? 20.0 : 400.0);
    }

    const TInversionMesh unchanged = MeshFollowingConstraint(mesh, {}, {});
    EXPECT_TRUE(unchanged.Shifts.empty());
    EXPECT_EQ(unchanged.RowDepths, mesh.RowDepths);
    // A line of weight 1 cuts nothing: nothing to follow.
    TConstraintLine unused = drawn;
    unused.Weight = 1.0;
    EXPECT_TRUE(MeshFollowingConstraint(mesh, {unused}, {}).Shifts.empty());

    const TInversionMesh bent = MeshFollowingConstraint(mesh, {drawn, fault}, {log});
    ASSERT_EQ(bent.Cells(), mesh.Cells());
    int followed = 0;
    for (int edge = 0; edge <= bent.Columns(); ++edge) {
        const double xe = bent.ColumnEdges[static_cast<size_t>(edge)];
        double nearest = 1e300;
        for (int k = 0; k <= bent.Rows(); ++k)
            nearest = std::min(nearest, std::fabs(RowBoundaryY(bent, edge, k) - line(xe)));
        followed += nearest < 1e-9;
        EXPECT_EQ(RowBoundaryY(bent, edge, 0), RowBoundaryY(mesh, edge, 0)); // the surface stays
        for (int k = 1; k < bent.Rows(); ++k) {
            const double above = RowBoundaryY(bent, edge, k - 1) - RowBoundaryY(bent, edge, k);
            const double height = RowBoundaryY(bent, edge, k) - RowBoundaryY(bent, edge, k + 1);
            EXPECT_GT(above, 0.0);
            EXPECT_LE(height, 2.0 * above + 1e-9) << "edge " << edge << ", row " << k;
        }
    }
    // The line below the hill's top row everywhere: every edge follows it.
    EXPECT_EQ(followed, bent.Columns() + 1);
    // The log's contact at 3.6 m: a boundary at the well's column edges.
    const int column = static_cast<int>(std::upper_bound(bent.ColumnEdges.begin(), bent.ColumnEdges.end(), 2.25) -
                                         bent.ColumnEdges.begin()) - 1;
    for (int edge : {column, column + 1}) {
        bool found = false;
        for (int k = 0; k < bent.Rows(); ++k)
            found = found || std::fabs(RowBoundaryY(bent, edge, k) - (-3.6)) < 1e-9;
        EXPECT_TRUE(found) << "edge " << edge;
    }
    for (int cell = 0; cell < bent.Cells(); ++cell) {
        const TGeometryPoint centre = CellCentre(bent, cell);
        EXPECT_EQ(RowAt(bent, cell % bent.Columns(), centre.x, centre.y), cell / bent.Columns());
        EXPECT_EQ(CellAt(bent, centre), cell);
        EXPECT_GT(CellArea(bent, cell), 0.0);
    }
    EXPECT_NO_THROW(InversionGround(bent, std::vector<double>(static_cast<size_t>(bent.Cells()), 100.0)));

    // Shifts that cross two rows are refused.
    TInversionMesh crossed = mesh;
    crossed.Shifts.assign(static_cast<size_t>(mesh.Rows() + 1) * mesh.ColumnEdges.size(), 0.0);
    crossed.Shifts.at(2 * mesh.ColumnEdges.size() + 3) = 5.0;
    EXPECT_THROW(CheckInversionMesh(crossed), EForwardError);
    crossed.Shifts.resize(3);
    EXPECT_THROW(CheckInversionMesh(crossed), EForwardError);
}

// A drawn body's boundary is followed as a line: its four sides, each at
// the weight of its region; a region at weight 1 gives none.
TEST(StructuralConstraint, ABodysBoundaryIsFollowedAsALine)
{
    test::TForwardSection ground(60.0, 30.0, 100.0);
    ground.AddBody({{20.0, 2.0}, {40.0, 2.0}, {40.0, 5.0}, {20.0, 5.0}}, 25.0);
    const TForwardModel model = ground.Ground();
    const std::vector<TConstraintLine> sides = SectionBoundaryLines(model, std::vector<double>(model.Regions.size(), 0.0));
    ASSERT_EQ(sides.size(), 4u);
    double length = 0.0;
    for (const TConstraintLine& side : sides) {
        EXPECT_EQ(side.Weight, 0.0);
        length += std::hypot(side.Points[1].x - side.Points[0].x, side.Points[1].y - side.Points[0].y);
    }
    EXPECT_NEAR(length, 46.0, 1e-9);
    std::vector<double> weights(model.Regions.size(), 1.0);
    EXPECT_TRUE(SectionBoundaryLines(model, weights).empty());

    // Its base, 5 m deep, on row boundaries under the body; its vertical sides are not followed.
    std::vector<double> x;
    for (int e = 0; e < 25; ++e)
        x.push_back(10.0 + 2.0 * e);
    const TInversionMesh mesh = DefaultInversionMesh(x, 0.0, 60.0, {{0.0, 0.0}, {60.0, 0.0}}, 8.0);
    const TInversionMesh bent = MeshFollowingConstraint(mesh, sides, {});
    for (int edge = 0; edge <= bent.Columns(); ++edge) {
        const double xe = bent.ColumnEdges[static_cast<size_t>(edge)];
        if (xe < 20.0 || xe > 40.0)
            continue;
        bool base = false, top = false;
        for (int k = 0; k < bent.Rows(); ++k) {
            base = base || std::fabs(RowBoundaryY(bent, edge, k) + 5.0) < 1e-9;
            top = top || std::fabs(RowBoundaryY(bent, edge, k) + 2.0) < 1e-9;
        }
        EXPECT_TRUE(base && top) << "x " << xe;
    }
}

TEST(StructuralConstraint, ALogBecomesTheMeanLogResistivityOfEachCellItCrosses)
{
    const TInversionMesh mesh = UnitGrid(4, 3);
    TWellLog log{"well A", 1.5, {-0.25, -0.75, -1.5, -5.0}, {10.0, 1000.0, 50.0, 7.0}};
    const TPriorData prior = LogPriorData(mesh, {log});
    ASSERT_EQ(prior.Cells, (std::vector<int>{1, 5})); // the last sample lies below the mesh
    EXPECT_NEAR(prior.LogResistivities[0], std::log(100.0), 1e-12); // the geometric mean of 10 and 1000
    EXPECT_NEAR(prior.LogResistivities[1], std::log(50.0), 1e-12);
    EXPECT_EQ(prior.Samples, (std::vector<int>{2, 1}));

    log.Resistivities[2] = -3.0;
    try {
        LogPriorData(mesh, {log});
        FAIL() << "a log with a negative value was used";
    } catch (const EForwardError& error) {
        EXPECT_NE(error.Message().find("\"well A\""), std::string::npos) << error.Message();
        EXPECT_NE(error.Message().find("0 or below"), std::string::npos) << error.Message();
    }
}

TEST(StructuralConstraint, ALogReachesTheColumnsBesideItsWellWithErrorsGrowingToItsReach)
{
    TInversionMesh mesh = UnitGrid(6, 3);
    const TWellLog log{"well A", 2.5, {-0.25, -0.75, -1.5, -2.5}, {10.0, 1000.0, 50.0, 7.0}};
    // Reach 2.2: the columns centred 1 and 2 away on either side (0.5, 1.5, 3.5, 4.5), not those 3 away.
    const TPriorData prior = LogPriorData(mesh, {log}, 2.2);
    std::map<int, std::vector<double>> distances; // column: the distances of its data
    for (size_t p = 0; p < prior.Cells.size(); ++p)
        distances[prior.Cells[p] % 6].push_back(prior.Distances[p]);
    EXPECT_EQ(distances.size(), 5u);
    EXPECT_EQ(distances.count(5), 0u);
    for (const auto& [column, ds] : distances) {
        EXPECT_EQ(ds.size(), 3u) << "column " << column; // the three rows the log reaches
        for (double d : ds)
            EXPECT_DOUBLE_EQ(d, std::fabs(column + 0.5 - 2.5)) << "column " << column;
    }
    // In every reached column the same layering: the top row the geometric mean of 10 and 1000.
    for (size_t p = 0; p < prior.Cells.size(); ++p) {
        const int row = prior.Cells[p] / 6;
        EXPECT_NEAR(prior.LogResistivities[p], std::log(row == 0 ? 100.0 : row == 1 ? 50.0 : 7.0), 1e-12);
    }

    // A second log of the same well, deeper: its samples join the first's in each cell, at every distance.
    const TWellLog deeper{"well A, deeper", 2.5, {-2.25}, {700.0}};
    const TPriorData both = LogPriorData(mesh, {log, deeper}, 2.2);
    ASSERT_EQ(both.Cells, prior.Cells);
    for (size_t p = 0; p < both.Cells.size(); ++p)
        if (both.Cells[p] / 6 == 2) {
            EXPECT_EQ(both.Samples[p], 2);
            EXPECT_NEAR(both.LogResistivities[p], std::log(70.0), 1e-12); // the geometric mean of 7 and 700
        }

    // Over relief the layers follow the surface: the ground 1 m higher two columns on, the same rows.
    for (size_t e = 4; e < mesh.Elevations.size(); ++e)
        mesh.Elevations[e] = 1.0;
    const TPriorData raised = LogPriorData(mesh, {log}, 2.2);
    EXPECT_EQ(raised.Cells, prior.Cells);
    EXPECT_EQ(raised.LogResistivities, prior.LogResistivities);

    // The error: 20 % at the well, e^0.5 times that at half the reach, none at the reach.
    EXPECT_DOUBLE_EQ(PriorDatumError(0.2, 0.0, 10.0), 0.2);
    EXPECT_NEAR(PriorDatumError(0.2, 5.0, 10.0), 0.2 * 1.6487212707, 1e-9);
    EXPECT_NEAR(PriorDatumError(0.2, -10.0 + 1e-12, 10.0), 0.2 * std::exp(2.0), 1e-9);
    EXPECT_TRUE(std::isinf(PriorDatumError(0.2, 10.0, 10.0)));
    EXPECT_DOUBLE_EQ(PriorDatumError(0.2, 5.0, 0.0), 0.2);
    EXPECT_THROW(LogPriorData(mesh, {log}, -1.0), EForwardError);
    EXPECT_THROW(LogPriorData(mesh, {log}, std::nan("")), EForwardError);
}

// --- Synthetic grounds ---------------------------------------------------------------------

constexpr int Electrodes = 32;
constexpr double Left = 10.0; // the first electrode; 1 m apart
constexpr double Noise = 0.03;

TSurvey SyntheticSurvey()
{
    TSurvey survey;
    for (int e = 0; e < Electrodes; ++e)
        survey.Electrodes.push_back({Left + e, 0.0});
    survey.Configurations = ArrayConfigurations(TArrayKind::Schlumberger, Electrodes, 10);
    return survey;
}

// The data of Ground with Noise of seeded Gaussian noise.
TMeasuredData NoisyData(const TForwardModel& Ground, unsigned Seed)
{
    return test::NoisySurveyData(SyntheticSurvey(), Ground, Seed, Noise, true);
}

TInversionMesh SyntheticMesh()
{
    std::vector<double> x;
    for (int e = 0; e < Electrodes; ++e)
        x.push_back(Left + e);
    return DefaultInversionMesh(x, Left - 2.0, Left + Electrodes + 1.0, {{0.0, 0.0}, {60.0, 0.0}}, 4.0);
}

TSurveyInversion Inverted(const TMeasuredData& Data, const TInversionMesh& Mesh, TSurveyInversionOptions Options = {})
{
    Options.ErrorPercent = 100.0 * Noise;
    return InvertSurvey(Data, Mesh, Options);
}

// Of the cells whose corners all lie on one side of y = Line(x) (Below:
// under it) in x0 .. x1 and above the depth Deepest.
double SideGeometricMean(const TInversionMesh& Mesh, const std::vector<double>& Rho,
                         const std::function<double(double)>& Line, bool Below, double x0, double x1, double Deepest)
{
    double sum = 0.0;
    int count = 0;
    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        const std::vector<TGeometryPoint> corners = CellCorners(Mesh, cell);
        const TGeometryPoint centre = CellCentre(Mesh, cell);
        bool inside = centre.x >= x0 && centre.x <= x1;
        for (const TGeometryPoint& p : corners)
            inside = inside && (Below ? p.y <= Line(p.x) + 1e-9 : p.y >= Line(p.x) - 1e-9) && p.y >= -Deepest - 1e-9;
        if (inside) {
            sum += std::log(Rho.at(static_cast<size_t>(cell)));
            ++count;
        }
    }
    EXPECT_GT(count, 3);
    return std::exp(sum / std::max(count, 1));
}

// Guards against a drawn interface that the mesh's rows cross: the cells
// the line runs through mixed both sides, leaving the lower side 29 % off.
TEST(StructuralConstraint, ADippingInterfaceDrawnAsALineIsRecoveredOnTheMeshThatFollowsIt)
{
    // 30 ohm-m over 300 ohm-m, the interface dipping from 1.2 m to 2.4 m depth under the line.
    const auto interface = [](double x) { return -(1.2 + 1.2 * (x - Left) / (Electrodes - 1.0)); };
    test::TForwardSection truth(60.0, 30.0, 30.0);
    truth.AddBody({{0.0, -interface(0.0)}, {60.0, -interface(60.0)}, {60.0, 30.0}, {0.0, 30.0}}, 300.0);
    const TMeasuredData data = NoisyData(truth.Ground(), 11);
    const TInversionMesh mesh = SyntheticMesh();
    const std::vector<TConstraintLine> lines{{{{0.0, interface(0.0)}, {60.0, interface(60.0)}}, 0.0}};
    const TInversionMesh bent = MeshFollowingConstraint(mesh, lines, {});
    ASSERT_EQ(bent.Cells(), mesh.Cells());

    const auto t0 = std::chrono::steady_clock::now();
    const TSurveyInversion smooth = Inverted(data, mesh);
    const auto t1 = std::chrono::steady_clock::now();
    TSurveyInversionOptions options;
    options.Structure.Lines = lines;
    const TSurveyInversion cut = Inverted(data, bent, options);
    const auto t2 = std::chrono::steady_clock::now();
    std::printf("%d cells, %zu data: smooth %.2f s (%zu iterations), cut %.2f s (%zu iterations)\n", mesh.Cells(),
                data.Size(), std::chrono::duration<double>(t1 - t0).count(), smooth.Steps.size() - 1,
                std::chrono::duration<double>(t2 - t1).count(), cut.Steps.size() - 1);

    const double x0 = Left + 4.0, x1 = Left + Electrodes - 5.0;
    const double upperSmooth = SideGeometricMean(mesh, smooth.Resistivities, interface, false, x0, x1, 4.0);
    const double lowerSmooth = SideGeometricMean(mesh, smooth.Resistivities, interface, true, x0, x1, 3.5);
    const double upperCut = SideGeometricMean(bent, cut.Resistivities, interface, false, x0, x1, 4.0);
    const double lowerCut = SideGeometricMean(bent, cut.Resistivities, interface, true, x0, x1, 3.5);
    std::printf("dipping interface: smooth %.1f / %.1f (chi2 %.2f), cut %.1f / %.1f (chi2 %.2f)\n", upperSmooth,
                lowerSmooth, smooth.Steps.back().ChiSquare, upperCut, lowerCut, cut.Steps.back().ChiSquare);
    EXPECT_LE(cut.Steps.back().ChiSquare, 1.2);
    // Sharper: the contrast across the line larger, each side nearer its truth.
    EXPECT_GT(lowerCut / upperCut, 1.5 * (lowerSmooth / upperSmooth));
    EXPECT_LT(std::fabs(std::log(upperCut / 30.0)), std::fabs(std::log(upperSmooth / 30.0)));
    EXPECT_LT(std::fabs(std::log(lowerCut / 300.0)), std::fabs(std::log(lowerSmooth / 300.0)));
    EXPECT_NEAR(upperCut, 30.0, 0.15 * 30.0);
    EXPECT_NEAR(lowerCut, 300.0, 0.15 * 300.0);
}

TEST(StructuralConstraint, ALineThroughUniformGroundInventsNoJump)
{
    test::TForwardSection truth(60.0, 30.0, 100.0);
    const TMeasuredData data = NoisyData(truth.Ground(), 12);
    const auto line = [](double) { return -1.5; };
    TSurveyInversionOptions options;
    options.Structure.Lines.push_back({{{0.0, -1.5}, {60.0, -1.5}}, 0.0});
    // On the mesh bent onto the line, as the program inverts it.
    const TInversionMesh mesh = MeshFollowingConstraint(SyntheticMesh(), options.Structure.Lines, {});
    // From a start three times too low, so that the two sides move apart or not by the data alone.
    options.Start.assign(static_cast<size_t>(mesh.Cells()), 30.0);
    const TSurveyInversion cut = Inverted(data, mesh, options);
    EXPECT_GT(cut.Steps.size(), 2u);
    const double x0 = Left + 4.0, x1 = Left + Electrodes - 5.0;
    const double above = SideGeometricMean(mesh, cut.Resistivities, line, false, x0, x1, 4.0);
    const double below = SideGeometricMean(mesh, cut.Resistivities, line, true, x0, x1, 3.0);
    std::printf("uniform ground cut at 1.5 m: %.1f above, %.1f below (chi2 %.2f)\n", above, below,
                cut.Steps.back().ChiSquare);
    EXPECT_LE(cut.Steps.back().ChiSquare, 1.2);
    EXPECT_LT(std::fabs(std::log(below / above)), std::log(1.1));
}

// Three layers (20 / 120 / 15 ohm-m over 400 ohm-m from 2.75 m; interfaces
// at 1, 1.75 and 2.75 m) as cells of a flat ground.
struct TThreeLayers {
    TInversionMesh Truth;
    std::vector<double> TruthRho;
    TThreeLayers()
    {
        Truth.ColumnEdges = {0.0, 60.0};
        Truth.Elevations = {0.0, 0.0};
        // The last row reaches from 2.75 m down to the bottom.
        Truth.RowDepths = {0.0, 1.0, 1.75, 2.75, 3.0};
        Truth.Bottom = -30.0;
        TruthRho = {20.0, 120.0, 15.0, 400.0};
    }
    double At(double Depth) const
    {
        return Depth < 1.0 ? 20.0 : Depth < 1.75 ? 120.0 : Depth < 2.75 ? 15.0 : 400.0;
    }
    TWellLog Log(double X, double Factor) const
    {
        TWellLog log{"borehole", X, {}, {}};
        for (double depth = 0.025; depth < 4.0; depth += 0.05) {
            log.Elevations.push_back(-depth);
            log.Resistivities.push_back(Factor * At(depth));
        }
        return log;
    }
};

// The log10 profile of the column holding X: the cells' values and the truth at their centres (above Deepest).
double ProfileCorrelation(const TInversionMesh& Mesh, const std::vector<double>& Rho, const TThreeLayers& Ground,
                          double X, double Deepest, double* MeanError = nullptr)
{
    std::vector<double> image, truth;
    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        const int c = cell % Mesh.Columns();
        double top = 0.0, bottom = 0.0;
        CellDepths(Mesh, cell, top, bottom);
        if (X < Mesh.ColumnEdges[static_cast<size_t>(c)] || X >= Mesh.ColumnEdges[static_cast<size_t>(c) + 1] ||
            (top + bottom) / 2 > Deepest)
            continue;
        image.push_back(std::log10(Rho.at(static_cast<size_t>(cell))));
        truth.push_back(std::log10(Ground.At((top + bottom) / 2)));
    }
    const auto n = static_cast<double>(image.size());
    double mi = 0, mt = 0;
    for (size_t k = 0; k < image.size(); ++k) {
        mi += image[k] / n;
        mt += truth[k] / n;
    }
    double sit = 0, sii = 0, stt = 0, error = 0;
    for (size_t k = 0; k < image.size(); ++k) {
        sit += (image[k] - mi) * (truth[k] - mt);
        sii += (image[k] - mi) * (image[k] - mi);
        stt += (truth[k] - mt) * (truth[k] - mt);
        error += std::fabs(image[k] - truth[k]) / n;
    }
    if (MeanError)
        *MeanError = error;
    return sit / std::sqrt(sii * stt);
}

// The top of the bedrock (rho >= 100 ohm-m) in the column holding X: the
// top of the run of such cells reaching the depth Deepest from above; and
// the height of the cell holding the true top (Truth) there.
double BedrockTop(const TInversionMesh& Mesh, const std::vector<double>& Rho, double X, double Deepest, double Truth,
                  double& CellHeight)
{
    double top = Deepest;
    for (int cell = Mesh.Cells() - 1; cell >= 0; --cell) {
        const int c = cell % Mesh.Columns();
        double upper = 0.0, lower = 0.0;
        CellDepths(Mesh, cell, upper, lower);
        if (X < Mesh.ColumnEdges[static_cast<size_t>(c)] || X >= Mesh.ColumnEdges[static_cast<size_t>(c) + 1])
            continue;
        if (upper <= Truth && Truth < lower)
            CellHeight = lower - upper;
        if (upper >= Deepest)
            continue;
        if (Rho.at(static_cast<size_t>(cell)) < 100.0 && upper < top)
            break;
        top = std::min(top, upper);
    }
    return top;
}

// Guards against a log that reached one column: three spacings from the
// well the image was the survey's alone (mean |log10 error| 0.392 with and
// without the log).
TEST(StructuralConstraint, ALogAtTheCentreOfThreeLayersSharpensTheImageAtTheWellAndBeside)
{
    const TThreeLayers ground;
    const TMeasuredData data = NoisyData(InversionGround(ground.Truth, ground.TruthRho), 13);
    const TInversionMesh smoothMesh = SyntheticMesh();
    const double well = Left + 15.25, beside = well + 3.0, deepest = 3.5;

    const TSurveyInversion smooth = Inverted(data, smoothMesh);
    TSurveyInversionOptions options;
    options.WellLogs.push_back(ground.Log(well, 1.0));
    // The rows under the well bent onto the log's layers.
    const TInversionMesh mesh = MeshFollowingConstraint(smoothMesh, {}, options.WellLogs);
    ASSERT_FALSE(mesh.Shifts.empty());
    const TSurveyInversion logged = Inverted(data, mesh, options);

    // The log at its well only (no lateral reach): it reaches its neighbours through the smoothing alone.
    TSurveyInversionOptions wellOnly = options;
    wellOnly.LogReach = 0.0;
    const TSurveyInversion column = Inverted(data, mesh, wellOnly);

    double errorSmooth = 0, errorLogged = 0, errorColumn = 0, nextSmooth = 0, nextLogged = 0;
    const double rSmooth = ProfileCorrelation(smoothMesh, smooth.Resistivities, ground, well, deepest);
    const double rLogged = ProfileCorrelation(mesh, logged.Resistivities, ground, well, deepest);
    const double rBesideSmooth = ProfileCorrelation(smoothMesh, smooth.Resistivities, ground, beside, deepest, &errorSmooth);
    const double rBesideLogged = ProfileCorrelation(mesh, logged.Resistivities, ground, beside, deepest, &errorLogged);
    ProfileCorrelation(mesh, column.Resistivities, ground, beside, deepest, &errorColumn);
    ProfileCorrelation(smoothMesh, smooth.Resistivities, ground, well + 1.0, deepest, &nextSmooth);
    ProfileCorrelation(mesh, logged.Resistivities, ground, well + 1.0, deepest, &nextLogged);
    std::printf("three layers, log10 profile at the well: r %.2f smooth, %.2f with the log (log chi2 %.2f, survey "
                "chi2 %.2f); mean |log10 error| one spacing away %.3f smooth, %.3f with the log; three away %.3f, "
                "%.3f (%.3f with the log's column alone), r %.2f, %.2f\n",
                rSmooth, rLogged, logged.Steps.back().PriorChiSquare, logged.Steps.back().ChiSquare, nextSmooth,
                nextLogged, errorSmooth, errorLogged, errorColumn, rBesideSmooth, rBesideLogged);
    ASSERT_FALSE(logged.Prior.Cells.empty());
    EXPECT_GE(rLogged, 0.9);
    EXPECT_GT(rLogged, rSmooth);
    // The log stands for the layers round the well: one spacing away and
    // three away the profile is nearer the truth than the survey's alone
    // (the log's column alone left three away where the survey had it).
    EXPECT_LT(nextLogged, nextSmooth - 0.02);
    EXPECT_LT(errorLogged, 0.75 * errorSmooth);
    EXPECT_LT(errorLogged, 0.75 * errorColumn);
    EXPECT_GT(rBesideLogged, rBesideSmooth);
    EXPECT_LE(logged.Steps.back().ChiSquare, 1.2);
    EXPECT_EQ(logged.Response.size(), data.Size()); // the survey's response, the logs' data apart

    // The bedrock's top (2.75 m) within one cell at the well.
    double heightSmooth = 0.0, heightLogged = 0.0;
    const double topSmooth = BedrockTop(smoothMesh, smooth.Resistivities, well, deepest, 2.75, heightSmooth);
    const double topLogged = BedrockTop(mesh, logged.Resistivities, well, deepest, 2.75, heightLogged);
    std::printf("bedrock top at the well: %.2f m smooth (cell %.2f m), %.2f m with the log (cell %.2f m)\n", topSmooth,
                heightSmooth, topLogged, heightLogged);
    EXPECT_NEAR(topLogged, 2.75, heightLogged + 1e-9);

    // A log of twice the truth: the survey still decides its fit, and the log's χ² says it disagrees.
    TSurveyInversionOptions wrong;
    wrong.WellLogs.push_back(ground.Log(well, 2.0));
    const TSurveyInversion disagreeing = Inverted(data, mesh, wrong);
    std::printf("a log of twice the truth: survey chi2 %.2f, log chi2 %.2f (the true log's %.2f)\n",
                disagreeing.Steps.back().ChiSquare, disagreeing.Steps.back().PriorChiSquare,
                logged.Steps.back().PriorChiSquare);
    EXPECT_LE(disagreeing.Steps.back().ChiSquare, 1.5);
    EXPECT_GT(disagreeing.Steps.back().PriorChiSquare, 2.0);
    // The smoothness keeps even the true log's sharp layering from being
    // met cell for cell (its χ² may stand above 1), so the wrong log is
    // told by standing well above it, not by an absolute level alone.
    EXPECT_GT(disagreeing.Steps.back().PriorChiSquare, 2.0 * logged.Steps.back().PriorChiSquare);

    // A log of another quantity (a value at or below 0) is refused by its name before any computation.
    TSurveyInversionOptions negative;
    negative.WellLogs.push_back(ground.Log(well, 1.0));
    negative.WellLogs[0].Name = "SP log";
    negative.WellLogs[0].Resistivities[7] = -12.0;
    try {
        Inverted(data, mesh, negative);
        FAIL() << "a log with a negative value was used";
    } catch (const EForwardError& error) {
        EXPECT_NE(error.Message().find("\"SP log\""), std::string::npos) << error.Message();
    }
}

// 30 ohm-m over bedrock of 300 ohm-m from BedrockDepth, its survey's
// noisy data, and the log of a well at Well through the contact.
constexpr double BedrockDepth = 2.75;
struct TLoggedBedrock {
    explicit TLoggedBedrock(double Well)
        : data([] {
              TInversionMesh truth;
              truth.ColumnEdges = {0.0, 60.0};
              truth.Elevations = {0.0, 0.0};
              truth.RowDepths = {0.0, BedrockDepth, BedrockDepth + 0.25};
              truth.Bottom = -30.0;
              return NoisyData(InversionGround(truth, {30.0, 300.0}), 13);
          }()),
          log{"borehole", Well, {}, {}}
    {
        for (double depth = 0.025; depth < BedrockDepth + 1.5; depth += 0.05) {
            log.Elevations.push_back(-depth);
            log.Resistivities.push_back(depth < BedrockDepth ? 30.0 : 300.0);
        }
    }
    TMeasuredData data;
    TWellLog log;
};

// A layer over bedrock, its top (2.75 m, a third of the deepest datum's
// spread: 33 m on a line of 12 m spacing) logged at a well mid-line. The
// survey allows the log's top: with the log's default error (20 %) and
// reach (6 spacings) on the mesh that follows its contact the image puts
// the top at the log's within one cell and fits the survey to χ² ≤ 1.2;
// a log ten times as strong (2 %) or reaching four times as far changes
// neither. Guards against a stop that read a step trading the survey's
// misfit for the log's (at a λ held back) as the end: χ² 3.2.
TEST(StructuralConstraint, ALogOverBedrockPutsItsTopInTheImageAtTheSurveysFit)
{
    constexpr double Top = BedrockDepth;
    const double well = Left + 15.25, deepest = 5.0;
    const TLoggedBedrock bedrock(well);
    const TMeasuredData& data = bedrock.data;
    const TWellLog& log = bedrock.log;
    for (const auto& [error, reach] : {std::pair{20.0, 6.0}, std::pair{2.0, 6.0}, std::pair{20.0, 24.0}}) {
        TSurveyInversionOptions options;
        options.WellLogs.push_back(log);
        options.LogErrorPercent = error;
        options.LogReach = reach;
        const TInversionMesh mesh = MeshFollowingConstraint(SyntheticMesh(), {}, options.WellLogs);
        const TSurveyInversion logged = Inverted(data, mesh, options);
        double height = 0.0;
        const double top = BedrockTop(mesh, logged.Resistivities, well, deepest, Top, height);
        std::printf("log error %g %%, reach %g spacings: bedrock top %.2f m (cell %.2f m), survey chi2 %.2f, log "
                    "chi2 %.2f\n",
                    error, reach, top, height, logged.Steps.back().ChiSquare, logged.Steps.back().PriorChiSquare);
        EXPECT_NEAR(top, Top, height + 1e-9);
        EXPECT_LE(logged.Steps.back().ChiSquare, 1.2);
    }
}

// The rows bend onto a log's layers as far as its data reach: bent at the
// well's column alone they put the contact in that column only, and across
// the well at the contact's depth its cell stood out of the row (152 ohm-m
// between 69 and 79). Here the well's cell stays within a quarter of its
// two neighbours' mean, and the column edges within the reach follow the
// contact's depth.
TEST(StructuralConstraint, ALogsLayersBendTheRowsOverItsReachSoTheWellsColumnMakesNoSpike)
{
    constexpr double Top = BedrockDepth;
    const double well = Left + 15.25;
    const TLoggedBedrock bedrock(well);
    const TMeasuredData& data = bedrock.data;
    const TWellLog& log = bedrock.log;
    TSurveyInversionOptions options;
    options.WellLogs.push_back(log);
    const double reach = LogReachMetres(data.Survey(), options.LogReach);
    EXPECT_DOUBLE_EQ(reach, 6.0);
    const TInversionMesh mesh =
        MeshFollowingConstraint(SyntheticMesh(), {}, options.WellLogs, DefaultLayerContrast, DefaultCellGrowth, reach);
    const TSurveyInversion logged = Inverted(data, mesh, options);
    for (const double depth : {Top - 0.2, Top + 0.2}) {
        const int cell = CellAt(mesh, {well, -depth});
        ASSERT_GE(cell, 0);
        const int column = cell % mesh.Columns();
        ASSERT_TRUE(column > 0 && column + 1 < mesh.Columns());
        const auto at = [&](int c) {
            const double x = (mesh.ColumnEdges[static_cast<size_t>(c)] + mesh.ColumnEdges[static_cast<size_t>(c) + 1]) / 2.0;
            return std::log(logged.Resistivities.at(static_cast<size_t>(CellAt(mesh, {x, -depth}))));
        };
        const double beside = (at(column - 1) + at(column + 1)) / 2.0;
        std::printf("across the well %.2f m deep: %.1f | %.1f | %.1f ohm-m\n", depth, std::exp(at(column - 1)),
                    std::exp(at(column)), std::exp(at(column + 1)));
        EXPECT_LT(std::fabs(at(column) - beside), std::log(1.25)) << depth;
    }
    // Two spacings from the well a row boundary lies on the contact.
    for (const double x : {well - 2.0, well + 2.0}) {
        const int column = static_cast<int>(std::upper_bound(mesh.ColumnEdges.begin(), mesh.ColumnEdges.end(), x) -
                                            mesh.ColumnEdges.begin()) - 1;
        double nearest = INFINITY;
        for (int row = 0; row <= mesh.Rows(); ++row)
            nearest = std::min(nearest, std::fabs(-RowBoundaryY(mesh, column, row) - Top));
        EXPECT_LT(nearest, 0.05) << x;
    }
    EXPECT_THROW(MeshFollowingConstraint(SyntheticMesh(), {}, options.WellLogs, DefaultLayerContrast,
                                         DefaultCellGrowth, -1.0),
                 EForwardError);
}

} // namespace
} // namespace lp
