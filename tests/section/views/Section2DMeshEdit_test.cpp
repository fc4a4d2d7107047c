#include "section/views/Section2D.h"

#include "tests/section/views/ViewsTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace lp {
namespace {

using test::EvenBounds;
using test::FillMesh;

// Cell (c, r) holds 10 c + r + 1 in layer 0, so every moved or copied
// column and row can be told apart; the extra tables are kept.
void FillNumbered(TTModelSection2d& Chart, const arofdoubleM& Cols, const arofdoubleM& Rows)
{
    Chart.HasExtraTables = true;
    FillMesh(Chart, Cols, Rows);
    Chart.AddLayer();
    Chart.FlattenLayers();
    for (int c = 0; c <= Chart.LastCol; ++c)
        for (int r = 0; r <= Chart.LastRow; ++r) {
            double v = 10 * c + r + 1;
            Chart.SetCellValue(c, r, v);
            Chart.ExtraValues[c][r] = v;
            Chart.ExtraPairs[c][r] = {v, -v};
            Chart.Limits[c][r] = {v, v + 1};
        }
}

double At(const TTModelSection2d& Chart, int C, int R)
{
    return Chart.Layers[0][C][R];
}

// Boundaries strictly ascending and every per-cell table of the mesh size.
void ExpectConsistent(const TTModelSection2d& Chart)
{
    const int cols = Chart.LastCol + 1, rows = Chart.LastRow + 1;
    ASSERT_EQ(Chart.ColBounds.Length(), cols + 1);
    ASSERT_EQ(Chart.RowBounds.Length(), rows + 1);
    EXPECT_EQ(Chart.ColAnchored.Length(), Chart.ColBounds.Length());
    EXPECT_EQ(Chart.ReliefShift.Length(), Chart.ColBounds.Length());
    EXPECT_EQ(Chart.CellCount, cols * rows);
    for (int i = 1; i < Chart.ColBounds.Length(); ++i)
        EXPECT_LT(Chart.ColBounds[i - 1], Chart.ColBounds[i]);
    for (int i = 1; i < Chart.RowBounds.Length(); ++i)
        EXPECT_LT(Chart.RowBounds[i - 1], Chart.RowBounds[i]);
    const auto expectSize = [&](const auto& table) {
        ASSERT_EQ(table.Length(), cols);
        for (const auto& column : table)
            ASSERT_EQ(column.Length(), rows);
    };
    for (const ararofdoubleM& layer : Chart.Layers)
        expectSize(layer);
    expectSize(Chart.Selected);
    expectSize(Chart.Fixed);
    expectSize(Chart.Limits);
    expectSize(Chart.ExtraValues);
    expectSize(Chart.ExtraPairs);
}

TEST(MeshBoundaryInsert, TheNewColumnCopiesTheColumnItSplits)
{
    TTModelSection2d chart;
    FillNumbered(chart, arofdoubleM{0, 2, 4}, EvenBounds(2, 1));
    chart.Selected[0][1] = 1;
    chart.ColAnchored[1] = 1;
    int changes = 0;
    chart.OnAfterChangingParameter = [&](QObject*) { ++changes; };
    chart.InsertColBound(true, 2.5);
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{0, 2, 2.5, 4}));
    EXPECT_EQ(chart.ColAnchored, (arofboolM{0, 1, 0, 0}));
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(At(chart, 0, r), r + 1);
        EXPECT_EQ(At(chart, 1, r), r + 11) << "the split column";
        EXPECT_EQ(At(chart, 2, r), r + 11) << "the old column 1, moved right";
        EXPECT_EQ(chart.ExtraValues[2][r], r + 11);
        EXPECT_EQ(chart.ExtraPairs[2][r].im, -(r + 11));
        EXPECT_EQ(chart.Limits[2][r].re, r + 11);
    }
    EXPECT_FALSE(chart.Selected[1][1]);
    EXPECT_TRUE(chart.Selected[0][1]);
    EXPECT_EQ(changes, 1);
    ExpectConsistent(chart);
}

TEST(MeshBoundaryInsert, InsertionsOnOrOutsideTheMeshAreRefused)
{
    TTModelSection2d chart;
    FillNumbered(chart, arofdoubleM{0, 2, 4}, arofdoubleM{0, 1, 3});
    int changes = 0;
    chart.OnAfterChangingParameter = [&](QObject*) { ++changes; };
    chart.OnChangingGrid = [&](QObject*) { ++changes; };
    for (double x : {0.0, 2.0, 4.0, -1.0, 4.5, std::nan(""), std::numeric_limits<double>::infinity()})
        chart.InsertColBound(true, x);
    for (double z : {0.0, 1.0, 3.0, 7.0, std::nan("")})
        chart.InsertRowBound(true, z);
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{0, 2, 4}));
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 1, 3}));
    EXPECT_EQ(changes, 0);
    ExpectConsistent(chart);
}

TEST(MeshBoundaryInsert, TheNewRowCopiesTheRowItSplits)
{
    TTModelSection2d chart;
    FillNumbered(chart, EvenBounds(2, 1), arofdoubleM{0, 1, 3});
    chart.Fixed[1][1] = 1;
    chart.InsertRowBound(false, 2);
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 1, 2, 3}));
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(At(chart, c, 0), 10 * c + 1);
        EXPECT_EQ(At(chart, c, 1), 10 * c + 2);
        EXPECT_EQ(At(chart, c, 2), 10 * c + 2);
    }
    EXPECT_TRUE(chart.Fixed[1][2]);
    ExpectConsistent(chart);
}

TEST(MeshBoundaryInsert, AtThePointerTheReliefShiftIsTakenOff)
{
    TTModelSection2d chart;
    FillNumbered(chart, arofdoubleM{0, 5, 10}, arofdoubleM{0, 2, 4});
    chart.ReliefX = arofdoubleM{0, 10};
    chart.ReliefZ = arofdoubleM{5, 3};
    chart.UpdateReliefShift();  // shifts 0, 1, 2
    chart.CurCol = 1;
    chart.PointerX = 7.5;       // shift 1.5 there
    chart.InsertRowBoundAtPointer(false, 4.5);
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 2, 3, 4}));
    chart.InsertRowBoundAtPointer(false, 3.5);  // drawn depth of boundary 1 + 1.5
    EXPECT_EQ(chart.RowBounds.Length(), 4);
    ExpectConsistent(chart);
}

TEST(MeshBoundaryRemove, MergedColumnsTakeTheMeanAndKeepTheirOwnFlags)
{
    TTModelSection2d chart;
    FillNumbered(chart, arofdoubleM{0, 1, 2, 3}, EvenBounds(1, 1));
    double v = 2;
    chart.SetCellValue(0, 0, v);
    v = 4;
    chart.SetCellValue(1, 0, v);
    chart.Selected[1][0] = 1;
    chart.Fixed[0][0] = 1;
    chart.ColAnchored[2] = 1;
    chart.RemoveColBound(1, false);
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{0, 2, 3}));
    EXPECT_EQ(chart.ColAnchored, (arofboolM{0, 1, 0}));
    EXPECT_EQ(At(chart, 0, 0), 3);
    EXPECT_EQ(At(chart, 1, 0), 21) << "the old column 2, moved left";
    EXPECT_FALSE(chart.Selected[0][0]);
    EXPECT_TRUE(chart.Fixed[0][0]);
    EXPECT_EQ(chart.Limits[0][0].re, 1) << "the merged column keeps its limits";
    EXPECT_EQ(chart.ExtraValues[1][0], 21);
    ExpectConsistent(chart);
}

TEST(MeshBoundaryRemove, TheEndsAndTheLastTwoColumnsOrRowsStay)
{
    TTModelSection2d chart;
    FillNumbered(chart, arofdoubleM{0, 1, 2}, arofdoubleM{0, 1, 2, 3});
    for (int k : {-1, 0, 1, 2, 3})
        chart.RemoveColBound(k, true);
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{0, 1, 2}));
    for (int k : {-1, 0, 3, 4})
        chart.RemoveRowBound(k, true);
    EXPECT_EQ(chart.RowBounds.Length(), 4);
    chart.RemoveRowBound(2, true);
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 1, 3}));
    EXPECT_EQ(At(chart, 1, 1), (12 + 13) / 2.0);
    chart.RemoveRowBound(1, true);
    EXPECT_EQ(chart.RowBounds.Length(), 3);
    ExpectConsistent(chart);
}

TEST(MeshThinThick, ThinSplitsEveryColumnAndThickenUndoesIt)
{
    TTModelSection2d chart;
    FillNumbered(chart, arofdoubleM{0, 4, 8}, arofdoubleM{0, 4, 8});
    chart.ThinColumns();
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{0, 2, 4, 6, 8}));
    EXPECT_EQ(At(chart, 1, 0), 1);
    EXPECT_EQ(At(chart, 3, 1), 12);
    chart.ThinRows();
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 2, 4, 6, 8}));
    EXPECT_EQ(At(chart, 3, 3), 12);
    ExpectConsistent(chart);
    chart.ThickenColumns();
    chart.ThickenRows();
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{0, 4, 8}));
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 4, 8}));
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r)
            EXPECT_EQ(At(chart, c, r), 10 * c + r + 1) << "means of equal copies";
    ExpectConsistent(chart);
}

TEST(MeshThinThick, ThickenKeepsAnchoredBoundariesAndTwoColumns)
{
    TTModelSection2d chart;
    FillNumbered(chart, EvenBounds(4, 1), EvenBounds(2, 1));
    chart.ColAnchored[1] = 1;
    chart.ThickenColumns();
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{0, 1, 3, 4}));
    EXPECT_EQ(chart.ColAnchored, (arofboolM{0, 1, 0, 0}));
    chart.ThickenColumns();
    chart.ThickenRows();
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{0, 1, 4}));
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 1, 2}));
    ExpectConsistent(chart);
}

TEST(MeshBoundaryMove, BoundariesNeverReachANeighbour)
{
    TTModelSection2d chart;
    FillNumbered(chart, arofdoubleM{0, 2, 4}, arofdoubleM{0, 1, 3});
    int grids = 0;
    chart.OnChangingGrid = [&](QObject*) { ++grids; };
    EXPECT_FALSE(chart.MoveColBound(1, 0));
    EXPECT_FALSE(chart.MoveColBound(1, 4));
    EXPECT_FALSE(chart.MoveColBound(0, 2));
    EXPECT_FALSE(chart.MoveColBound(2, 2));
    EXPECT_FALSE(chart.MoveColBound(3, 9));
    EXPECT_FALSE(chart.MoveColBound(-1, -9));
    EXPECT_FALSE(chart.MoveColBound(1, std::nan("")));
    EXPECT_FALSE(chart.MoveRowBound(1, 3));
    EXPECT_FALSE(chart.MoveRowBound(2, 0.5));
    EXPECT_EQ(grids, 0);
    EXPECT_TRUE(chart.MoveColBound(1, 3.5));
    EXPECT_TRUE(chart.MoveColBound(2, 6));
    EXPECT_TRUE(chart.MoveColBound(0, -1));
    EXPECT_TRUE(chart.MoveRowBound(2, 5));
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{-1, 3.5, 6}));
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 1, 5}));
    EXPECT_GT(grids, 0);
    EXPECT_EQ(At(chart, 1, 1), 12) << "values stay with their cells";
    ExpectConsistent(chart);
}

TEST(MeshBoundaryMove, RowsMoveByTheirDrawnDepthAtThePointer)
{
    TTModelSection2d chart;
    FillNumbered(chart, arofdoubleM{0, 5, 10}, arofdoubleM{0, 2, 4});
    chart.ReliefX = arofdoubleM{0, 10};
    chart.ReliefZ = arofdoubleM{5, 3};
    chart.UpdateReliefShift();
    chart.CurCol = 1;
    chart.PointerX = 10;  // shift 2
    EXPECT_FALSE(chart.MoveRowBound(1, 2));
    EXPECT_TRUE(chart.MoveRowBound(1, 5));
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 3, 4}));
    EXPECT_TRUE(chart.MoveColBound(1, 8));
    EXPECT_NEAR(chart.ReliefShift[1], 1.6, 1e-12) << "the relief follows a moved column boundary";
}

TEST(MeshBoundaryEdits, RandomEditsKeepTheTablesInStep)
{
    TTModelSection2d chart;
    FillNumbered(chart, EvenBounds(6, 1), EvenBounds(5, 2));
    std::mt19937 random(32);
    std::uniform_real_distribution<double> x(-1, 7), z(-1, 11);
    std::uniform_int_distribution<int> index(-1, 8);
    for (int step = 0; step < 400; ++step) {
        switch (random() % 10) {
        case 0: chart.InsertColBound(false, x(random)); break;
        case 1: chart.InsertRowBound(false, z(random)); break;
        case 2: chart.RemoveColBound(index(random), false); break;
        case 3: chart.RemoveRowBound(index(random), false); break;
        case 4: chart.MoveColBound(index(random), x(random)); break;
        case 5: chart.MoveRowBound(index(random), z(random)); break;
        case 6: chart.ColAnchored[static_cast<int>(random() % chart.ColAnchored.Length())] = 1; break;
        case 7: chart.ColBounds.Length() < 40 ? chart.ThinColumns() : chart.ThickenColumns(); break;
        case 8: chart.RowBounds.Length() < 40 ? chart.ThinRows() : chart.ThickenRows(); break;
        default: chart.AddLayer(); break;
        }
        ExpectConsistent(chart);
        if (HasFatalFailure())
            FAIL() << "after step " << step;
    }
}

} // namespace
} // namespace lp
