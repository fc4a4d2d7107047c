// The inversion window's mesh charts and the record the inversion reads:
// what a chart is shown comes back from it unchanged, edits included, and
// the chart's undo steps back through them.

#include "section/modelling/InversionCharts.h"

#include "section/views/Section2D.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace lp::test
