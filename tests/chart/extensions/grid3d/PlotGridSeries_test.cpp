// The grid series base: the empty index, generated grids (row order, the
// sample surface, the growth step restored), regular and irregular indexes,
// sparse indexes of wide grids, the size cap, cell corners and grid-only
// data sources.

#include "chart/extensions/grid3d/PlotGridSeries.h"

#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"
#include "tests/chart/engine/EngineTestUtil.h"

#include <stdexcept>

#include <gtest/gtest.h>

namespace lp {
namespace {

// Every index entry of the series, column by column.
std::vector<int> AllEntries(const TCustom3DGridSeries& S)
{
    std::vector<int> Result;
    for (int C = 0; C < S.GridColumns(); ++C)
        for (int R = 0; R < S.GridRows(); ++R)
            Result.push_back(S.GridIndex(C, R));
    return Result;
}

TEST(GridSeries, NewSeriesHasAnEmptyElevenByElevenIndex)
{
    TCustom3DGridSeries S;
    EXPECT_EQ(S.NumXValues(), 10);
    EXPECT_EQ(S.NumZValues(), 10);
    EXPECT_EQ(S.Count(), 0);
    ASSERT_EQ(S.GridColumns(), 11);
    ASSERT_EQ(S.GridRows(), 11);
    EXPECT_EQ(AllEntries(S), std::vector<int>(121, -1));
    EXPECT_THROW(S.GridIndex(11, 0), ERangeError);
    EXPECT_THROW(S.GridIndex(0, -1), ERangeError);
    EXPECT_EQ(S.XValues()->Order(), loNone);
}

TEST(GridSeries, SampleGridIsStoredRowAfterRow)
{
    TCustom3DGridSeries S;
    S.AddSampleValues(5);
    ASSERT_EQ(S.Count(), 25);
    EXPECT_EQ(S.NumXValues(), 5);
    EXPECT_EQ(S.NumZValues(), 5);
    EXPECT_FALSE(S.CreatingSamples());
    for (int I = 0; I < 25; ++I) {
        EXPECT_EQ(S.XValues()->Value(I), I % 5 + 1);
        EXPECT_EQ(S.ZValues()->Value(I), I / 5 + 1);
    }
    EXPECT_NEAR(S.YValues()->Value(0), -0.483171, 1e-6);
    EXPECT_GT(S.PaletteCount(), 0);
    S.FillGridIndex(0);
    EXPECT_EQ(S.GridIndex(1, 1), 0);
    EXPECT_EQ(S.GridIndex(5, 1), 4);
    EXPECT_EQ(S.GridIndex(1, 2), 5);
    EXPECT_EQ(S.GridIndex(5, 5), 24);
}

TEST(GridSeries, SizeSettersClearAndRecreateOnlyWithASource)
{
    TCustom3DGridSeries S;
    S.AddSampleValues(4);
    S.SetNumXValues(6); // no callback at run time: left empty
    EXPECT_EQ(S.Count(), 0);
    EXPECT_EQ(S.GridColumns(), 7);

    S.OnGetYValue = [](TChartSeries*, int X, int Z) { return X * 100.0 + Z; };
    S.SetNumZValues(3);
    ASSERT_EQ(S.Count(), 18);
    EXPECT_EQ(S.YValues()->Value(7), 202); // six columns: row 2, column 2
    S.SetNumZValues(3); // unchanged: nothing happens
    EXPECT_EQ(S.Count(), 18);
}

TEST(GridSeries, GrowthStepIsRestoredAfterAFailedFill)
{
    TCustom3DGridSeries S;
    const int Step = ValueListCapacityStep;
    S.OnGetYValue = [](TChartSeries*, int X, int) -> double {
        if (X == 3)
            throw std::runtime_error("no value");
        return 1;
    };
    EXPECT_THROW(S.CreateValues(4, 4), std::runtime_error);
    EXPECT_EQ(ValueListCapacityStep, Step);
    S.OnGetYValue = [](TChartSeries*, int, int) { return 1.0; };
    S.CreateValues(3, 2);
    EXPECT_EQ(ValueListCapacityStep, Step);
    EXPECT_EQ(S.Count(), 6);
}

TEST(GridSeries, RegularIndexFromTheNearestWholeNumbers)
{
    TCustom3DGridSeries S;
    for (double Z : {10.0, 11.0})
        for (double X : {3.0, 4.0, 5.0})
            S.AddXYZ(X, X + Z, Z);
    S.FillGridIndex(0);
    EXPECT_EQ(S.NumXValues(), 3);
    EXPECT_EQ(S.NumZValues(), 2);
    EXPECT_EQ(S.GridIndex(1, 1), 0);
    EXPECT_EQ(S.GridIndex(3, 2), 5);

    TCustom3DGridSeries Halves;
    Halves.AddXYZ(1.4, 0, 1);
    Halves.AddXYZ(1.6, 0, 1);
    Halves.AddXYZ(2.5, 0, 1); // halves go to the even neighbour: 2, the later point wins
    Halves.AddXYZ(4, 0, 1);   // column 4, leaving column 3 empty
    Halves.FillGridIndex(0);
    EXPECT_EQ(Halves.GridIndex(1, 1), 0);
    EXPECT_EQ(Halves.GridIndex(2, 1), 2);
    EXPECT_EQ(Halves.GridIndex(3, 1), -1);
    EXPECT_EQ(Halves.GridIndex(4, 1), 3);
}

// A grid far wider than its points (date-time X values: one column a day)
// keeps only its held nodes, and answers as the full index would: the
// point of a node (the later one on a shared node), -1 between, a range
// error outside.
TEST(GridSeries, SparseGridIndexAnswersLikeTheFullOne)
{
    TCustom3DGridSeries S;
    S.AddXYZ(36526.25, 1, 3); // 2000-01-01 06:00
    S.AddXYZ(45000.7, 2, 1);
    S.AddXYZ(40000, 3, 20);
    S.AddXYZ(40000.2, 4, 20); // the same node as point 2: it wins
    S.FillGridIndex(0);
    ASSERT_EQ(S.NumXValues(), 45001 - 36526 + 1);
    ASSERT_EQ(S.NumZValues(), 20);
    EXPECT_GT(static_cast<qint64>(S.GridColumns()) * S.GridRows(), TCustom3DGridSeries::DenseIndexNodes);
    EXPECT_EQ(S.GridIndex(1, 3), 0);
    EXPECT_EQ(S.GridIndex(45001 - 36526 + 1, 1), 1);
    EXPECT_EQ(S.GridIndex(40000 - 36526 + 1, 20), 3);
    EXPECT_EQ(S.GridIndex(40000 - 36526 + 1, 19), -1);
    int Held = 0;
    for (const int Entry : AllEntries(S))
        Held += Entry >= 0 ? 1 : 0;
    EXPECT_EQ(Held, 3);
    EXPECT_THROW(S.GridIndex(S.GridColumns(), 1), ERangeError);
    EXPECT_THROW(S.GridIndex(1, -1), ERangeError);
    // Filled in again densely, it answers the same.
    S.Clear();
    for (int X = 1; X <= 300; ++X)
        for (int Z = 1; Z <= 300; ++Z)
            S.AddXYZ(X, X * Z, Z);
    S.FillGridIndex(0);
    EXPECT_EQ(S.GridIndex(1, 1), 0);
    EXPECT_EQ(S.GridIndex(300, 300), 300 * 300 - 1);
    EXPECT_EQ(S.GridIndex(0, 0), -1);
}

TEST(GridSeries, IrregularIndexFromDistinctValues)
{
    TCustom3DGridSeries S;
    S.SetIrregularGrid(true);
    const double Xs[] = {0.1, 5, 0.1, 2};
    const double Zs[] = {7, 7, -1, 7};
    for (int I = 0; I < 4; ++I)
        S.AddXYZ(Xs[I], I, Zs[I]);
    S.FillGridIndex(0);
    EXPECT_EQ(S.NumXValues(), 3);
    EXPECT_EQ(S.NumZValues(), 2);
    EXPECT_EQ(S.GridIndex(1, 2), 0);
    EXPECT_EQ(S.GridIndex(3, 2), 1);
    EXPECT_EQ(S.GridIndex(1, 1), 2);
    EXPECT_EQ(S.GridIndex(2, 2), 3);

    // Far more distinct values than a fixed table of 20000 would hold.
    TCustom3DGridSeries Wide;
    Wide.SetIrregularGrid(true);
    for (int I = 30000; I > 0; --I)
        Wide.AddXYZ(I * 0.001, 0, 0);
    Wide.FillGridIndex(0);
    EXPECT_EQ(Wide.NumXValues(), 30000);
    EXPECT_EQ(Wide.GridIndex(1, 1), 29999);
    EXPECT_EQ(Wide.GridIndex(30000, 1), 0);
}

TEST(GridSeries, HugeSpanIsRefusedAndTheDataKept)
{
    TCustom3DGridSeries S;
    S.AddXYZ(1, 5, 1);
    S.AddXYZ(1e9, 6, 2);
    EXPECT_THROW(S.FillGridIndex(0), ChartException);
    EXPECT_EQ(S.Count(), 2);
    EXPECT_EQ(S.XValues()->Value(1), 1e9);
    S.AddXYZ(1e300, 6, 2); // beyond any integer
    EXPECT_THROW(S.FillGridIndex(0), ChartException);
    S.OnGetYValue = [](TChartSeries*, int, int) { return 0.0; };
    EXPECT_THROW(S.CreateValues(20000, 20000), ChartException);
    EXPECT_EQ(S.Count(), 3);
}

TEST(GridSeries, CellCornersFollowTheSteps)
{
    TCustom3DGridSeries S;
    S.AddSampleValues(3);
    S.FillGridIndex(0);
    S.SetSteps(1, 1);
    ASSERT_TRUE(S.GetCellCorners(1, 1));
    EXPECT_EQ(S.Corner(0), 0);
    EXPECT_EQ(S.Corner(1), 1);
    EXPECT_EQ(S.Corner(2), 4);
    EXPECT_EQ(S.Corner(3), 3);
    S.SetSteps(-1, -1);
    ASSERT_TRUE(S.GetCellCorners(3, 3));
    EXPECT_EQ(S.Corner(0), 8);
    EXPECT_EQ(S.Corner(1), 7);
    EXPECT_EQ(S.Corner(2), 4);
    EXPECT_EQ(S.Corner(3), 5);
    EXPECT_FALSE(S.GetCellCorners(1, 1)); // column 0 is never filled
    S.SetSteps(1, 1);
    EXPECT_THROW(S.GetCellCorners(3, 3), ERangeError); // the far corner lies outside
}

TEST(GridSeries, OnlyGridSeriesFeedAGridSeries)
{
    test::TTestChart Chart;
    auto* Grid = new TCustom3DGridSeries(&Chart);
    auto* Source = new TCustom3DGridSeries(&Chart);
    auto* Line = new TLineSeries(&Chart);
    Chart.AddSeries(Grid);
    Chart.AddSeries(Source);
    Chart.AddSeries(Line);
    EXPECT_FALSE(Grid->IsValidSourceOf(Line));
    EXPECT_THROW(Grid->SetDataSource(Line), ChartException);
    Source->AddSampleValues(4);
    Grid->SetDataSource(Source);
    EXPECT_EQ(Grid->Count(), 16);
    EXPECT_EQ(Grid->NumXValues(), 4);
    EXPECT_EQ(Grid->GridIndex(4, 4), 15);

    TCustom3DGridSeries Copy;
    Source->SetIrregularGrid(true);
    Copy.Assign(Source);
    EXPECT_TRUE(Copy.IrregularGrid());
    EXPECT_EQ(Copy.NumXValues(), 4);
}

} // namespace
} // namespace lp
