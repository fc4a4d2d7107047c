// The grid transpose tool: X and Z swapped in the same point order, back
// again after a second transpose, and nothing when inactive or without a
// grid series.

#include "chart/extensions/tools/PlotGridTransposeTool.h"

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TPointXYZ {
    double X, Y, Z;
    bool operator==(const TPointXYZ&) const = default;
};

std::vector<TPointXYZ> PointsOf(const TSurfaceSeries& S)
{
    std::vector<TPointXYZ> Points;
    for (int I = 0; I < S.Count(); ++I)
        Points.push_back({S.XValues()->Value(I), S.YValues()->Value(I), S.ZValues()->Value(I)});
    return Points;
}

TEST(GridTransposeTool, SwapsXAndZInTheSamePointOrder)
{
    TChart Chart;
    auto* Surface = new TSurfaceSeries(&Chart);
    Chart.AddSeries(Surface);
    // A 4 by 2 grid, stored in an order of its own.
    for (const TPointXYZ& P : std::vector<TPointXYZ>{
             {3, 1, 1}, {1, 2, 2}, {4, 3, 1}, {2, 4, 1}, {1, 5, 1}, {4, 6, 2}, {3, 7, 2}, {2, 8, 2}})
        Surface->AddXYZ(P.X, P.Y, P.Z);
    Surface->SetValueColor(2, clRed);
    const std::vector<TPointXYZ> Original = PointsOf(*Surface);
    TGridTransposeTool Tool(&Chart);
    Tool.SetSeries(Surface);
    Tool.Transpose();
    const std::vector<TPointXYZ> Once = PointsOf(*Surface);
    ASSERT_EQ(Once.size(), Original.size());
    for (size_t I = 0; I < Once.size(); ++I)
        EXPECT_EQ(Once[I], (TPointXYZ{Original[I].Z, Original[I].Y, Original[I].X})) << I;
    EXPECT_EQ(Surface->GetStoredValueColor(2), clRed);
    Surface->FillGridIndex();
    EXPECT_EQ(Surface->GridIndex(1, 3), 0);
    Tool.Transpose();
    EXPECT_EQ(PointsOf(*Surface), Original);
}

TEST(GridTransposeTool, DoesNothingInactiveOrWithoutAGridSeries)
{
    TChart Chart;
    auto* Surface = new TSurfaceSeries(&Chart);
    Chart.AddSeries(Surface);
    Surface->AddXYZ(1, 5, 2);
    TGridTransposeTool Tool(&Chart);
    Tool.Transpose();
    auto* Line = new TLineSeries(&Chart);
    Tool.SetSeries(Line);
    EXPECT_EQ(Tool.Series(), nullptr);
    Tool.SetSeries(Surface);
    Tool.SetActive(false);
    Tool.Transpose();
    EXPECT_EQ(PointsOf(*Surface), (std::vector<TPointXYZ>{{1, 5, 2}}));
    Tool.SetActive(true);
    delete Surface;
    EXPECT_EQ(Tool.Series(), nullptr);
    Tool.Transpose();
}

} // namespace
} // namespace lp
