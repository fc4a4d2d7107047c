#include "section/views/Section2D.h"

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Application.h"
#include "tests/section/views/ViewsTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::EvenBounds;
using test::FillMesh;

// A 10 x 10 mesh of unit cells on a picture of 10 pixels per unit.
class MeshBoundaryHit : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillMesh(Chart, EvenBounds(10, 1), EvenBounds(10, 1));
        Chart.CellPicture().SetSize(101, 101);
        Chart.CurCol = 5;
        Chart.PointerX = 5.5;
    }
    // The boundary picked at (X, Z) in Mode, as (kind, index).
    std::pair<int, int> Hit(int Mode, double X, double Z)
    {
        Chart.ToolMode = static_cast<uint8_t>(Mode);
        int kind = 7;
        const int index = Chart.BoundAtPointer(kind, X, Z);
        return {kind, index};
    }
    TTModelSection2d Chart;
};

TEST_F(MeshBoundaryHit, TheNearerBoundaryWithinThreePixelsIsPicked)
{
    EXPECT_EQ(Hit(7, 3.1, 5.5), std::make_pair(0, 3));
    EXPECT_EQ(Chart.Cursor(), crSizeWE);
    EXPECT_EQ(Hit(9, 3.1, 5.5), std::make_pair(0, 3));
    EXPECT_EQ(Chart.Cursor(), crHSplit);
    EXPECT_EQ(Hit(8, 2.8, 5.5), std::make_pair(0, 3));
    EXPECT_EQ(Chart.Cursor(), crCross);
    EXPECT_EQ(Hit(9, 5.5, 4.2), std::make_pair(1, 4));
    EXPECT_EQ(Chart.Cursor(), crVSplit);
    EXPECT_EQ(Hit(7, 5.5, 0.1), std::make_pair(1, 0));
    EXPECT_EQ(Chart.Cursor(), crSizeNS);
    EXPECT_EQ(Hit(7, 3.3, 5.5), std::make_pair(-1, -1)) << "three pixels away";
    EXPECT_EQ(Chart.Cursor(), crArrow);
}

TEST_F(MeshBoundaryHit, EqualDistancesPickNothing)
{
    EXPECT_EQ(Hit(7, 3.1, 7.1), std::make_pair(-1, -1));
    EXPECT_EQ(Hit(9, 3.0, 7.0), std::make_pair(-1, -1));
}

TEST_F(MeshBoundaryHit, AnchoredColumnBoundariesCannotBeRemovedOrMoved)
{
    Chart.ColAnchored[3] = 1;
    EXPECT_EQ(Hit(7, 3.1, 5.5), std::make_pair(0, 3)) << "a column may be added beside it";
    EXPECT_EQ(Hit(8, 3.1, 5.5), std::make_pair(-1, -1));
    EXPECT_EQ(Hit(9, 3.1, 5.5), std::make_pair(-1, -1));
    EXPECT_EQ(Hit(9, 3.1, 5.05), std::make_pair(1, 5)) << "a row boundary near it still counts";
    int distance = 0;
    Chart.ToolMode = 8;
    EXPECT_EQ(Chart.NearestColBound(3.4, distance), -1) << "no other boundary stands in";
    EXPECT_EQ(distance, 123456789);
}

TEST_F(MeshBoundaryHit, RowBoundariesAreFoundWhereTheyAreDrawn)
{
    Chart.ReliefX = arofdoubleM{0, 10};
    Chart.ReliefZ = arofdoubleM{2, 0};
    Chart.UpdateReliefShift();  // shift 1 at x = 5
    Chart.PointerX = 5;
    int distance = 0;
    EXPECT_EQ(Chart.NearestRowBound(5.1, distance), 4);
    EXPECT_EQ(distance, 1);
    EXPECT_EQ(Hit(9, 5.5, 5.1), std::make_pair(1, 4));
}

} // namespace
} // namespace lp

namespace lp {
namespace {

std::vector<std::pair<int, int>> SelectedCells(const TTModelSection2d& Chart)
{
    return Chart.SelectedCells();
}

class MeshSelection : public ::testing::Test {
protected:
    void SetUp() override { FillMesh(Chart, EvenBounds(10, 1), EvenBounds(10, 1)); }
    void Select(int C, int R, TPoint Start, TPoint End, int Shape, const pointarray& Points = {})
    {
        Chart.SelectCells(C, R, End, Start, Points, 10, Shape);
    }
    void Set(int C, int R, double V) { Chart.SetCellValue(C, R, V); }
    TTModelSection2d Chart;
};

TEST_F(MeshSelection, ARectangleSelectsTheCellsItSpansWhicheverWayItIsDragged)
{
    Chart.Selected[9][9] = 1;
    Select(5, 2, {5, 2}, {3, 4}, 4);
    std::vector<std::pair<int, int>> expected;
    for (int c = 3; c <= 5; ++c)
        for (int r = 2; r <= 4; ++r)
            expected.emplace_back(c, r);
    EXPECT_EQ(SelectedCells(Chart), expected);
}

TEST_F(MeshSelection, TheMagicWandTakesTheConnectedNearRegionOnly)
{
    // Scale 0..10: 10 % is a value step of 1.
    for (int c = 0; c <= 2; ++c)
        for (int r = 0; r <= 1; ++r)
            Set(c, r, c == 2 ? 5.5 : 5);
    Set(3, 0, 6.5);                   // 15 % from the seed
    Set(3, 2, 5);                     // touches the region by a corner only
    Set(8, 8, 5);                     // far away
    Select(0, 0, {0, 0}, {0, 0}, 0);
    const std::vector<std::pair<int, int>> region{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}};
    EXPECT_EQ(SelectedCells(Chart), region);
    Select(8, 8, {8, 8}, {8, 8}, 6);
    EXPECT_EQ(SelectedCells(Chart).size(), region.size() + 1) << "shape 6 adds";
    Select(8, 8, {8, 8}, {8, 8}, 0);
    EXPECT_EQ(SelectedCells(Chart), (std::vector<std::pair<int, int>>{{8, 8}})) << "shape 0 replaces";
}

TEST_F(MeshSelection, EllipseAndFreeFormSelectWhatTheyEnclose)
{
    Select(0, 0, {0, 0}, {8, 8}, 5);
    EXPECT_TRUE(Chart.Selected[4][4]);
    EXPECT_TRUE(Chart.Selected[4][0]);
    EXPECT_FALSE(Chart.Selected[0][0]);
    EXPECT_FALSE(Chart.Selected[8][8]);
    EXPECT_FALSE(Chart.Selected[9][4]);
    Select(0, 0, {0, 0}, {0, 0}, 3, pointarray{{0, 0}, {6, 0}, {0, 6}});
    EXPECT_TRUE(Chart.Selected[1][1]);
    EXPECT_TRUE(Chart.Selected[6][0]);
    EXPECT_FALSE(Chart.Selected[5][5]);
    EXPECT_FALSE(Chart.Selected[4][4]) << "the ellipse's cells went";
}

TEST_F(MeshSelection, NoShapeUnselectsAndAPointOutsideChangesNothing)
{
    Select(0, 0, {0, 0}, {9, 9}, 4);
    Select(10, 0, {0, 0}, {0, 0}, 1);
    Select(0, -1, {0, 0}, {0, 0}, 1);
    EXPECT_EQ(SelectedCells(Chart).size(), 100u);
    Select(0, 0, {0, 0}, {0, 0}, 1);
    EXPECT_TRUE(SelectedCells(Chart).empty());
}

} // namespace
} // namespace lp
