// The inversion window's mesh charts and the record the inversion reads:
// what a chart is shown comes back from it unchanged, edits included, and
// the chart's undo steps back through them.

#include "section/modelling/InversionCharts.h"

#include "section/views/Section2D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>

namespace lp::test {
namespace {

// A mesh of three columns and two rows under a sloping surface, a fixed
// cell and a limited one.
TInversionChartData Example()
{
    TInversionMesh mesh;
    mesh.ColumnEdges = {0.0, 10.0, 25.0, 45.0};
    mesh.Elevations = {2.0, 1.0, -0.5, 0.0};
    mesh.RowDepths = {0.0, 3.0, 7.5};
    mesh.Bottom = -0.5 - 7.5;
    TInversionChartData cells = ChartDataOf(mesh, {10.0, 20.0, 30.0, 40.0, 50.0, 60.0});
    cells.Fixed.assign(3, std::vector<bool>(2, false));
    cells.Fixed[1][0] = true;
    cells.Limits.assign(3, std::vector<std::pair<double, double>>(2, {0.0, 0.0}));
    cells.Limits[2][1] = {40.0, 80.0};
    return cells;
}

TEST(InversionCharts, WhatAChartShowsComesBackWithItsMesh)
{
    TTModelSection2d chart;
    const TInversionChartData shown = Example();
    ShowChartCells(chart, shown, true);
    const TInversionChartData back = ChartCells(chart);
    EXPECT_EQ(back.ColBounds, shown.ColBounds);
    EXPECT_EQ(back.RowBounds, shown.RowBounds);
    EXPECT_EQ(back.Values, shown.Values);
    EXPECT_EQ(back.Fixed, shown.Fixed);
    EXPECT_EQ(back.Limits, shown.Limits);
    // The parameter mesh read back is the one shown, flat bottom included.
    const TInversionMesh mesh = ChartInversionMesh(back);
    EXPECT_EQ(mesh.Elevations, (std::vector<double>{2.0, 1.0, -0.5, 0.0}));
    EXPECT_DOUBLE_EQ(mesh.Bottom, -8.0);
    TInversionSettings settings;
    const std::vector<double> start = ChartStartingModel(back, settings);
    EXPECT_EQ(start, (std::vector<double>{10.0, 20.0, 30.0, 40.0, 50.0, 60.0}));
    EXPECT_TRUE(settings.Fixed[1]);
    EXPECT_EQ(settings.Lower[5], 40.0);
    EXPECT_EQ(settings.Upper[5], 80.0);
    EXPECT_EQ(settings.Upper[4], std::numeric_limits<double>::infinity());
    EXPECT_EQ(chart.ScaleMode, 1);
    EXPECT_EQ(chart.ScaleMin, 10.0);
    EXPECT_EQ(chart.ScaleMax, 60.0);
}

// A record that does not fit its mesh is refused before the chart changes.
// Over relief the parameter mesh's rows blend from the ground to level
// lines; the chart drew every row boundary the surface's shape down, so
// the picture and the pointer's cell were not the cells the inversion took.
TEST(InversionCharts, OverReliefTheChartDrawsAndFindsTheBlendedRows)
{
    std::vector<double> x;
    for (int e = 0; e < 24; ++e)
        x.push_back(2.0 * e);
    const TInversionMesh mesh =
        DefaultInversionMesh(x, -6.0, 52.0, {{-6.0, 0.0}, {14.0, 0.0}, {23.0, 8.0}, {32.0, 0.0}, {52.0, 0.0}}, 4.0);
    ASSERT_GT(mesh.FadeBottom, mesh.FadeTop);
    std::vector<double> values(static_cast<size_t>(mesh.Cells()));
    for (size_t cell = 0; cell < values.size(); ++cell)
        values[cell] = 1.0 + static_cast<double>(cell);
    TTModelSection2d chart;
    ShowChartCells(chart, ChartDataOf(mesh, values), true);
    // The chart's depth runs down from the highest surface point.
    const double highest = *std::max_element(mesh.Elevations.begin(), mesh.Elevations.end());
    for (int edge = 0; edge <= mesh.Columns(); ++edge)
        for (int k = 0; k <= mesh.Rows(); ++k)
            EXPECT_NEAR(chart.RowBounds[k] + chart.BoundaryShift(edge, k), highest - RowBoundaryY(mesh, edge, k), 1e-9)
                << "edge " << edge << ", boundary " << k;
    // The pointer over a cell's centre finds that cell; its stored depth is the row's.
    chart.PointerZone = 1;
    for (int cell = 0; cell < mesh.Cells(); ++cell) {
        const TGeometryPoint centre = CellCentre(mesh, cell);
        int c = -1, r = -1;
        ASSERT_TRUE(chart.CellAt(centre.x, highest - centre.y, c, r)) << cell;
        EXPECT_EQ(c, cell % mesh.Columns());
        EXPECT_EQ(r, cell / mesh.Columns());
    }
    const int column = mesh.Columns() / 2, boundary = mesh.Rows() - 2;
    const double across = 0.5 * (mesh.ColumnEdges[static_cast<size_t>(column)] + mesh.ColumnEdges[static_cast<size_t>(column) + 1]);
    const double z = chart.RowBounds[boundary] + chart.BoundaryShiftAt(column, across, boundary);
    EXPECT_NEAR(chart.StoredDepthAt(column, across, z), chart.RowBounds[boundary], 1e-9);
    // And the record read back is the mesh shown, blend included.
    const TInversionMesh back = ChartInversionMesh(ChartCells(chart));
    for (int edge = 0; edge <= mesh.Columns(); ++edge)
        for (int k = 0; k <= mesh.Rows(); ++k)
            EXPECT_NEAR(RowBoundaryY(back, edge, k), RowBoundaryY(mesh, edge, k), 1e-9);
}

TEST(InversionCharts, ABadRecordLeavesTheChartAsItWas)
{
    TTModelSection2d chart;
    ShowChartCells(chart, Example(), false);
    TInversionChartData bad = Example();
    bad.Values.pop_back();
    EXPECT_THROW(ShowChartCells(chart, bad, false), EForwardError);
    EXPECT_EQ(chart.LastCol, 2);
    EXPECT_EQ(ChartCells(chart).Values, Example().Values);
}

// Edits step back one by one to the state shown, and no further.
TEST(InversionCharts, StepBackTakesEditsBackToTheStateShown)
{
    TTModelSection2d chart;
    ShowChartCells(chart, Example(), true);
    EXPECT_FALSE(StepBackChartEdit(chart));
    chart.RemoveColBound(1, true);
    chart.RecordUndo(chart.UndoStore);
    double value = 99.0;
    chart.SetCellValue(0, 0, value);
    chart.RecordUndo(chart.UndoStore);
    ASSERT_TRUE(StepBackChartEdit(chart));
    EXPECT_EQ(chart.LastCol, 1);
    EXPECT_NE(chart.CellValue(0, 0), 99.0);
    ASSERT_TRUE(StepBackChartEdit(chart));
    EXPECT_EQ(ChartCells(chart).Values, Example().Values);
    EXPECT_EQ(ChartCells(chart).Fixed, Example().Fixed);
    EXPECT_FALSE(StepBackChartEdit(chart));
    EXPECT_EQ(chart.LastCol, 2);
}

// Mesh edits, fixes, limits and undo steps in a seeded random order: after
// each, the chart's record is a mesh the inversion takes (no refusal), its
// tables one entry per cell, and the surface the one the chart was given.
TEST(InversionCharts, RandomEditsAlwaysLeaveAnInvertibleRecord)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        const auto uniform = [&](double Low, double High) { return std::uniform_real_distribution<double>(Low, High)(random); };
        const auto index = [&](int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(random); };
        TTModelSection2d chart;
        const TInversionChartData shown = Example();
        ShowChartCells(chart, shown, true);
        std::set<std::pair<int, int>> sizes; // the meshes' columns and rows met
        for (int step = 0; step < 60; ++step) {
            const int action = index(8);
            const int c = index(chart.LastCol + 1), r = index(chart.LastRow + 1);
            switch (action) {
            case 0: chart.InsertColBound(true, uniform(chart.ColBounds[0], chart.ColBounds.Last())); break;
            case 1: chart.InsertRowBound(true, uniform(chart.RowBounds[0], chart.RowBounds.Last())); break;
            case 2: chart.RemoveColBound(1 + index(std::max(chart.LastCol, 1)), true); break;
            case 3: chart.RemoveRowBound(1 + index(std::max(chart.LastRow, 1)), true); break;
            case 4: chart.MoveColBound(1 + index(std::max(chart.LastCol, 1)), uniform(chart.ColBounds[0], chart.ColBounds.Last())); break;
            case 5: chart.Fixed[c][r] = !chart.Fixed[c][r]; break;
            case 6: {
                const double low = uniform(1.0, 50.0);
                chart.Limits[c][r] = complexM{low, low * uniform(1.1, 4.0)};
                break;
            }
            default: StepBackChartEdit(chart); break;
            }
            if (action != 7)
                chart.RecordUndo(chart.UndoStore);
            const TInversionChartData cells = ChartCells(chart);
            TInversionMesh mesh;
            TInversionSettings settings;
            std::vector<double> start;
            ASSERT_NO_THROW({
                mesh = ChartInversionMesh(cells);
                start = ChartStartingModel(cells, settings);
            }) << "seed " << seed << ", step " << step << ", action " << action;
            ASSERT_EQ(start.size(), static_cast<size_t>(mesh.Cells()));
            ASSERT_EQ(settings.Fixed.size(), start.size());
            for (double value : start)
                ASSERT_TRUE(value >= MinCellValue && value <= MaxCellValue) << value;
            ASSERT_EQ(cells.ReliefX, shown.ReliefX);
            ASSERT_EQ(cells.ReliefZ, shown.ReliefZ);
            ASSERT_EQ(mesh.ColumnEdges.front(), shown.ColBounds.front());
            ASSERT_EQ(mesh.ColumnEdges.back(), shown.ColBounds.back());
            sizes.emplace(mesh.Columns(), mesh.Rows());
        }
        EXPECT_GE(sizes.size(), 4u) << "seed " << seed << ": the edits hardly changed the mesh";
    }
}

TEST(InversionCharts, CoverageFadesByDecades)
{
    EXPECT_EQ(FadeOfCoverage(1.0), 0.0);
    EXPECT_EQ(FadeOfCoverage(5.0), 0.0);
    EXPECT_DOUBLE_EQ(FadeOfCoverage(0.1), 0.5);
    EXPECT_EQ(FadeOfCoverage(0.01), 1.0);
    EXPECT_EQ(FadeOfCoverage(0.0), 1.0);
    EXPECT_EQ(FadeOfCoverage(std::nan("")), 1.0);
    // [column][row] from the cells' order, row by row.
    const auto fade = CoverageFade(2, 2, {1.0, 0.1, 0.01, 1.0});
    ASSERT_EQ(fade.size(), 2u);
    EXPECT_EQ(fade[0], (std::vector<double>{0.0, 1.0}));
    EXPECT_DOUBLE_EQ(fade[1][0], 0.5);
    EXPECT_TRUE(CoverageFade(2, 2, {1.0}).empty());
}

// The DOI's line on a flat mesh of 3 columns, 4 rows 2 m thick (centres at
// 1, 3, 5, 7 m down, the last row to the flat bottom at 8 m): values
// growing by 0.1 a row cross 0.25 half way between the second and third
// rows' centres (4 m down), level from the first to the last column's
// centre; a cell beyond the limit fades, one within does not.
TEST(InversionCharts, TheDepthOfInvestigationsLineAndFade)
{
    TInversionMesh mesh;
    mesh.ColumnEdges = {0.0, 10.0, 20.0, 30.0};
    mesh.Elevations = {100.0, 100.0, 100.0, 100.0};
    mesh.RowDepths = {0.0, 2.0, 4.0, 6.0, 8.0};
    mesh.Bottom = 92.0;
    std::vector<double> doi;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            doi.push_back(0.1 * r + 0.05);
    const std::vector<TOutline> line = CellContour(mesh, doi, 0.2);
    ASSERT_EQ(line.size(), 2u);
    double left = 1e9, right = -1e9;
    for (const auto& [a, b] : line)
        for (const TGeometryPoint& point : {a, b}) {
            EXPECT_NEAR(point.y, 100.0 - 4.0, 1e-12);
            left = std::min(left, point.x);
            right = std::max(right, point.x);
        }
    EXPECT_DOUBLE_EQ(left, 5.0);
    EXPECT_DOUBLE_EQ(right, 25.0);
    // 0.175 lies a quarter of the way from the second row's 0.15 (3 m
    // down) to the third row's 0.25 (5 m down).
    EXPECT_NEAR(CellContour(mesh, doi, 0.175).front().first.y, 100.0 - 3.5, 1e-12);
    // One cell above the level inside a field below: a closed diamond of
    // four segments round its centre.
    std::vector<double> spot(12, 0.0);
    spot[4] = 1.0; // column 1, row 1
    EXPECT_EQ(CellContour(mesh, spot, 0.5).size(), 4u);
    EXPECT_TRUE(CellContour(mesh, std::vector<double>(12, 0.1), 0.2).empty());
    EXPECT_TRUE(CellContour(mesh, {0.1}, 0.2).empty());
    EXPECT_EQ(FadeOfDepthOfInvestigation(0.1, 0.2), 0.0);
    EXPECT_EQ(FadeOfDepthOfInvestigation(0.2, 0.2), 0.0);
    EXPECT_GT(FadeOfDepthOfInvestigation(0.3, 0.2), 0.5);
    EXPECT_LT(FadeOfDepthOfInvestigation(0.3, 0.2), 1.0);
    EXPECT_GT(FadeOfDepthOfInvestigation(std::nan(""), 0.2), 0.5);
}

// A pole-dipole image's unsampled corner cell at 0.016 ohm-m among 100
// cells seen from 10 to 1000 ohm-m: the scale spans the cells seen (2nd to
// 98th percentile), so the image keeps its colours; the corner takes the
// blue end. Without coverage, or with too few cells seen, every cell
// counts; no finite value gives no scale.
TEST(InversionCharts, TheColourScaleSpansTheCellsTheDataSee)
{
    // Columns of 11, rows of 10: the seen values 10 * 100^(k/99), k = 0..99,
    // in a shuffled order; the corner (the last cell) unseen.
    std::vector<double> values, coverage;
    for (int k = 0; k < 100; ++k) {
        const int shuffled = (k * 37) % 100;
        values.push_back(10.0 * std::pow(100.0, shuffled / 99.0));
        coverage.push_back(0.02 + 0.5 * (k % 3));
    }
    for (int k = 0; k < 9; ++k) {
        values.push_back(200.0);
        coverage.push_back(0.005); // unseen, within the range
    }
    values.push_back(0.016);
    coverage.push_back(1e-4);
    const auto scale = CoveredScale(values, coverage);
    ASSERT_TRUE(scale.has_value());
    // Nearest rank of 100: the 3rd lowest and the 3rd highest (0.02 * 99 and
    // 0.98 * 99 rounded: ranks 2 and 97 from 0).
    EXPECT_DOUBLE_EQ(scale->first, 10.0 * std::pow(100.0, 2.0 / 99.0));
    EXPECT_DOUBLE_EQ(scale->second, 10.0 * std::pow(100.0, 97.0 / 99.0));
    // In a chart of 11 x 10 cells.
    TInversionMesh mesh;
    for (int c = 0; c <= 11; ++c)
        mesh.ColumnEdges.push_back(10.0 * c);
    mesh.Elevations.assign(12, 0.0);
    for (int r = 0; r <= 10; ++r)
        mesh.RowDepths.push_back(5.0 * r);
    mesh.Bottom = -50.0;
    TTModelSection2d chart;
    ShowChartCells(chart, ChartDataOf(mesh, values), true);
    EXPECT_EQ(chart.ScaleMin, 0.016);
    UseCoveredScale(chart, values, coverage, false);
    EXPECT_EQ(chart.ScaleMin, scale->first);
    EXPECT_EQ(chart.ScaleMax, scale->second);
    EXPECT_EQ(chart.ValueToColor(0.016), chart.ValueToColor(scale->first));
    EXPECT_NE(chart.ValueToColor(10.0 * std::pow(100.0, 10.0 / 99.0)), chart.ValueToColor(scale->first));
    // Set by the user, then Automatic: the same scale again.
    chart.ScaleMin = 1.0;
    int automatic = -1;
    for (int i = 0; i < chart.ColorBarMenu.Count(); ++i)
        if (chart.ColorBarMenu.Item(i).Caption == QStringLiteral("Automatic"))
            automatic = i;
    ASSERT_GE(automatic, 0);
    chart.ColorBarMenu.Click(automatic);
    EXPECT_EQ(chart.ScaleMin, scale->first);
    // Chargeabilities: from 0 to the seen cells' 98th percentile.
    UseCoveredScale(chart, values, coverage, true);
    EXPECT_EQ(chart.ScaleMin, 0.0);
    EXPECT_EQ(chart.ScaleMax, scale->second);

    // No coverage (an iteration under way): every cell.
    const auto all = CoveredScale(values, {});
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(all->first, 10.0 * std::pow(100.0, 1.0 / 99.0)); // rank 2 of 110 with the corner first
    // Two cells seen are too few: every cell.
    std::vector<double> few(coverage.size(), 0.0);
    few[0] = few[1] = 1.0;
    EXPECT_EQ(CoveredScale(values, few), all);
    EXPECT_FALSE(CoveredScale({std::nan("")}, {1.0}).has_value());
    EXPECT_FALSE(CoveredScale({}, {}).has_value());
}

} // namespace
// A contour's segments, in any order and either direction, join into
// chains drawn as one polyline each (a dash pattern runs on along them): an
// open run, a closed ring, two apart.
TEST(InversionCharts, OutlinesJoinIntoChains)
{
    const TGeometryPoint a{0, 0}, b{1, 0}, c{2, -1}, d{3, -1}, p{10, 0}, q{11, 0}, r{11, -1};
    struct Row {
        const char* Name;
        std::vector<TOutline> Outlines;
        std::vector<size_t> ChainPoints; // sorted
    };
    const std::vector<Row> rows{
        {"an open run out of order", {{c, d}, {a, b}, {c, b}}, {4}},
        {"a ring", {{p, q}, {r, p}, {q, r}}, {4}},
        {"two apart", {{a, b}, {p, q}, {b, c}}, {2, 3}},
        {"none", {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::vector<std::vector<TGeometryPoint>> chains = JoinedOutlines(row.Outlines);
        std::vector<size_t> sizes;
        size_t segments = 0;
        for (const std::vector<TGeometryPoint>& chain : chains) {
            sizes.push_back(chain.size());
            segments += chain.size() - 1;
            // Each step of a chain is one of the segments.
            const auto same = [](TGeometryPoint u, TGeometryPoint v) { return u.x == v.x && u.y == v.y; };
            for (size_t i = 1; i < chain.size(); ++i)
                EXPECT_TRUE(std::any_of(row.Outlines.begin(), row.Outlines.end(), [&](const TOutline& s) {
                    return (same(s.first, chain[i - 1]) && same(s.second, chain[i])) ||
                           (same(s.second, chain[i - 1]) && same(s.first, chain[i]));
                }));
        }
        std::sort(sizes.begin(), sizes.end());
        EXPECT_EQ(sizes, row.ChainPoints);
        EXPECT_EQ(segments, row.Outlines.size());
    }
}

} // namespace lp::test
