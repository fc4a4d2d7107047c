// The mesh model chart's tables to a parameter mesh with its starting
// model, fixed cells and limits, and back.

#include "section/inversion/InversionChartData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

TInversionChartData SlopeChart()
{
    TInversionChartData chart;
    chart.ColBounds = {0.0, 2.0, 4.0, 8.0};
    chart.RowBounds = {0.0, 1.0, 3.0};
    chart.ReliefX = {0.0, 4.0};
    chart.ReliefZ = {10.0, 8.0}; // falls 2 m over 4 m, level beyond
    chart.Values = {{10.0, 20.0}, {30.0, 40.0}, {50.0, 60.0}};
    return chart;
}

TEST(InversionChartData, ChartCellsBecomeTheParameterMeshFollowingTheRelief)
{
    const TInversionMesh mesh = ChartInversionMesh(SlopeChart());
    EXPECT_EQ(mesh.Columns(), 3);
    EXPECT_EQ(mesh.Rows(), 2);
    EXPECT_EQ(mesh.Elevations, (std::vector<double>{10.0, 9.0, 8.0, 8.0}));
    EXPECT_EQ(mesh.RowDepths, (std::vector<double>{0.0, 1.0, 3.0}));
    EXPECT_EQ(mesh.Bottom, 5.0); // the lowest surface point less the last row's depth
    // Cell (column 1, row 1): 1 .. 3 m below the surface at x 2 and 4.
    const std::vector<TGeometryPoint> corners = CellCorners(mesh, mesh.Columns() + 1);
    EXPECT_EQ(corners[3].y, 9.0 - 1.0);
    EXPECT_EQ(corners[2].y, 8.0 - 1.0);
}

// Rows bent onto a line go to the chart and come back as they were; shifts
// that do not match the layout are refused.
TEST(InversionChartData, BentRowsGoToTheChartAndBack)
{
    TInversionMesh mesh = ChartInversionMesh(SlopeChart());
    mesh = FollowTargets(mesh, {{8.5}, {7.8}, {6.9}, {6.6}}, 10.0);
    ASSERT_FALSE(mesh.Shifts.empty());
    EXPECT_DOUBLE_EQ(RowBoundaryY(mesh, 1, 1), 7.8);
    const TInversionChartData chart = ChartDataOf(mesh, std::vector<double>(6, 100.0));
    ASSERT_EQ(chart.RowShifts.size(), 4u);
    EXPECT_DOUBLE_EQ(chart.RowShifts[1][1], 8.0 - 7.8); // 0.2 m deeper than the straight row
    const TInversionMesh back = ChartInversionMesh(chart);
    ASSERT_EQ(back.Shifts.size(), mesh.Shifts.size());
    for (size_t i = 0; i < mesh.Shifts.size(); ++i)
        EXPECT_NEAR(back.Shifts[i], mesh.Shifts[i], 1e-12) << i;
    TInversionChartData wrong = chart;
    wrong.RowShifts.pop_back();
    EXPECT_THROW(ChartInversionMesh(wrong), EForwardError);
    wrong = chart;
    wrong.RowShifts[2].push_back(0.0);
    EXPECT_THROW(ChartInversionMesh(wrong), EForwardError);
}

TEST(InversionChartData, ValuesFixedCellsAndLimitsInTheMeshOrder)
{
    TInversionChartData chart = SlopeChart();
    chart.Fixed = {{false, false}, {false, true}, {false, false}};
    chart.Limits.assign(3, std::vector<std::pair<double, double>>(2, {0.0, 0.0}));
    chart.Limits[2][0] = {45.0, 55.0};
    chart.Limits[0][1] = {5.0, 5.0}; // min not below max: no limit
    TInversionSettings settings;
    const std::vector<double> start = ChartStartingModel(chart, settings);
    // Cells row by row: (0,0) (1,0) (2,0) (0,1) (1,1) (2,1).
    EXPECT_EQ(start, (std::vector<double>{10.0, 30.0, 50.0, 20.0, 40.0, 60.0}));
    EXPECT_EQ(settings.Fixed, (std::vector<bool>{false, false, false, false, true, false}));
    EXPECT_EQ(settings.Lower[2], 45.0);
    EXPECT_EQ(settings.Upper[2], 55.0);
    EXPECT_EQ(settings.Lower[3], 0.0);
    EXPECT_TRUE(std::isinf(settings.Upper[3]));

    chart.Values[1].pop_back();
    EXPECT_THROW(ChartStartingModel(chart, settings), EForwardError);
    chart = SlopeChart();
    chart.ReliefZ.pop_back();
    EXPECT_THROW(ChartInversionMesh(chart), EForwardError);
    chart = SlopeChart();
    chart.ColBounds = {0.0, 4.0, 2.0, 8.0};
    EXPECT_THROW(ChartInversionMesh(chart), EForwardError);
}

TEST(InversionChartData, DefaultMeshGoesToTheChartAndBackUnchanged)
{
    const TInversionMesh mesh =
        DefaultInversionMesh({0, 1, 2, 3, 4, 5}, -2.0, 7.0, {{-2.0, 1.0}, {2.0, 0.0}, {7.0, 0.5}}, 1.3);
    std::vector<double> values;
    for (int cell = 0; cell < mesh.Cells(); ++cell)
        values.push_back(1.0 + cell);
    const TInversionChartData chart = ChartDataOf(mesh, values);
    ASSERT_EQ(chart.Values.size(), static_cast<size_t>(mesh.Columns()));
    EXPECT_EQ(chart.Values[2][1], values[static_cast<size_t>(mesh.Columns() + 2)]);
    const TInversionMesh back = ChartInversionMesh(chart);
    EXPECT_EQ(back.ColumnEdges, mesh.ColumnEdges);
    EXPECT_EQ(back.RowDepths, mesh.RowDepths);
    EXPECT_EQ(back.Elevations, mesh.Elevations);
    EXPECT_EQ(back.Bottom, mesh.Bottom);
    // The rows' blend to level lines over the relief too: every corner where it was.
    ASSERT_GT(mesh.FadeBottom, mesh.FadeTop);
    EXPECT_EQ(back.FadeTop, mesh.FadeTop);
    EXPECT_EQ(back.FadeBottom, mesh.FadeBottom);
    for (int cell = 0; cell < mesh.Cells(); ++cell)
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(CellCorners(back, cell)[k].x, CellCorners(mesh, cell)[k].x);
            EXPECT_EQ(CellCorners(back, cell)[k].y, CellCorners(mesh, cell)[k].y);
        }
    TInversionSettings settings;
    EXPECT_EQ(ChartStartingModel(chart, settings), values);
    EXPECT_THROW(ChartDataOf(mesh, {1.0}), EForwardError);
}

} // namespace
} // namespace lp
