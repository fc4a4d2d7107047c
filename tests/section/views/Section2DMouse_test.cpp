#include "section/views/Section2D.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Application.h"
#include "tests/section/views/ViewsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace lp {
namespace {

using test::EvenBounds;
using test::FillMesh;

constexpr TShiftState NoKeys{};
const TShiftState Left{TControl::ssLeft};
const TShiftState Right{TControl::ssRight};
const TShiftState ShiftLeft{TControl::ssShift | TControl::ssLeft};
const TShiftState ShiftRight{TControl::ssShift | TControl::ssRight};
const TShiftState CtrlLeft{TControl::ssCtrl | TControl::ssLeft};
const TShiftState CtrlRight{TControl::ssCtrl | TControl::ssRight};

// A laid-out chart of Cols x Rows unit cells, all 2.0, driven by synthetic
// mouse events at cell centres in control pixels, as the window sends them.
class MeshMouse : public ::testing::Test {
protected:
    void Build(int Cols, int Rows)
    {
        FillMesh(Chart, EvenBounds(Cols, 1), EvenBounds(Rows, 1));
        Chart.ExtentSeries->AddXY(Chart.ModelLeft, Chart.ModelTop);
        Chart.ExtentSeries->AddXY(Chart.ModelRight, Chart.ModelBottom);
        for (int c = 0; c < Cols; ++c)
            for (int r = 0; r < Rows; ++r)
                Set(c, r, 2.0);
        Screen.SetSize(Chart.Width(), Chart.Height());
        Chart.DrawToCanvas(&Screen.Canvas(), Chart.GetRectangle());  // lays the axes out
        Chart.RepaintCells();
        Chart.OnAfterChangingParameter = [this](QObject*) { ++ParameterEvents; };
        Chart.OnChangingGrid = [this](QObject*) { ++GridEvents; };
    }
    void SetUp() override { Build(10, 10); }

    void Set(int C, int R, double V) { Chart.SetCellValue(C, R, V); }
    // The control pixel of the world point (X, Z).
    TPoint PixelOf(double X, double Z)
    {
        const TRect area = Chart.CellArea();
        return {area.Left + Chart.XToCellPixel(X), area.Top + Chart.ZToCellPixel(Z)};
    }
    TPoint CellCentre(int C, int R) { return PixelOf(C + 0.5, R + 0.5); }
    void MoveTo(TPoint P, TShiftState Shift) { Chart.MouseMove(Shift, P.X, P.Y); }
    // A press after the pointer came to P, as a real press comes.
    void Press(TPoint P, TMouseButton Button, TShiftState Shift)
    {
        MoveTo(P, Shift & ~TShiftState(TControl::ssLeft | TControl::ssRight));
        Chart.MouseDown(Button, Shift, P.X, P.Y);
    }
    void Release(TPoint P, TMouseButton Button) { Chart.MouseUp(Button, NoKeys, P.X, P.Y); }
    // Press, drag through the cells and release at the last one.
    void Drag(std::initializer_list<TPoint> Cells, TMouseButton Button, TShiftState Shift)
    {
        const TPoint* cell = Cells.begin();
        Press(CellCentre(cell->X, cell->Y), Button, Shift);
        for (++cell; cell != Cells.end(); ++cell)
            MoveTo(CellCentre(cell->X, cell->Y), Shift);
        const TPoint last = *(Cells.end() - 1);
        Release(CellCentre(last.X, last.Y), Button);
    }
    void Select(int C1, int R1, int C2, int R2)
    {
        for (int c = C1; c <= C2; ++c)
            for (int r = R1; r <= R2; ++r)
                Chart.Selected[c][r] = 1;
    }
    // The selected cells as (column, row) points, column by column.
    std::vector<std::pair<int, int>> SelectedCells() const { return Chart.SelectedCells(); }
    int RecordedSnapshots() const
    {
        int count = 0;
        for (int32_t counter : Chart.UndoStore.Counters)
            count += counter > 0 ? 1 : 0;
        return count;
    }

    TTModelSection2d Chart;
    TBitmap Screen;
    int ParameterEvents = 0;
    int GridEvents = 0;
};

std::vector<std::pair<int, int>> Block(int C1, int R1, int C2, int R2)
{
    std::vector<std::pair<int, int>> cells;
    for (int c = C1; c <= C2; ++c)
        for (int r = R1; r <= R2; ++r)
            cells.emplace_back(c, r);
    return cells;
}

// Guards the pointer shape of the cells saved as the mesh chart's own
// cursor: the reopened chart showed the cross everywhere.
TEST_F(MeshMouse, ThePointerShapeOverTheCellsIsNotStoredAsTheChartsCursor)
{
    MoveTo(CellCentre(3, 7), NoKeys);
    ASSERT_EQ(Chart.Cursor(), crCross);
    for (const bool text : {false, true}) {
        SCOPED_TRACE(text ? "text file" : "binary file");
        TChart reopened;
        QStringList errors;
        test::ReopenChart(Chart, text, reopened, errors);
        EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(reopened.Cursor(), crDefault);
    }
}

TEST_F(MeshMouse, MovesTrackThePointerTheCellAndItsShape)
{
    MoveTo(CellCentre(3, 7), NoKeys);
    EXPECT_NEAR(Chart.PointerX, 3.5, 0.05);
    EXPECT_NEAR(Chart.PointerZ, 7.5, 0.05);
    EXPECT_EQ(Chart.PointerZone, 1);
    EXPECT_EQ(std::make_pair(Chart.CurCol, Chart.CurRow), std::make_pair(3, 7));
    EXPECT_EQ(Chart.Cursor(), crCross);
    EXPECT_TRUE(Chart.PositionText.endsWith(QStringLiteral(" cellX:4 cellZ:8"))) << "the cell under the pointer";
    Chart.ToolMode = 6;
    MoveTo(CellCentre(4, 7), NoKeys);
    EXPECT_EQ(Chart.Cursor(), crSizeAll);
    // Beyond the colour bar: the arrow, the pointer clamped to the model.
    const TRect area = Chart.ChartRectangle();
    MoveTo({Chart.Width() - 1, area.Bottom + 10}, NoKeys);
    EXPECT_EQ(Chart.PointerZone, 0);
    EXPECT_EQ(Chart.Cursor(), crArrow);
    EXPECT_EQ(Chart.PointerX, 10.0);
    EXPECT_EQ(Chart.PointerZ, 10.0);
    EXPECT_EQ(std::make_pair(Chart.CurCol, Chart.CurRow), std::make_pair(4, 7)) << "the last cell stays current";
}

TEST_F(MeshMouse, WithZoomingAllowedOnlyThePositionFollows)
{
    MoveTo(CellCentre(1, 1), NoKeys);
    Chart.SetAllowZoom(true);
    MoveTo(CellCentre(6, 2), NoKeys);
    EXPECT_NEAR(Chart.PointerX, 6.5, 0.05);
    EXPECT_EQ(std::make_pair(Chart.CurCol, Chart.CurRow), std::make_pair(1, 1));
    Press(CellCentre(6, 2), mbLeft, Left);
    Release(CellCentre(6, 2), mbLeft);
    EXPECT_EQ(Chart.CellValue(6, 2), 2.0);
    EXPECT_EQ(ParameterEvents, 0);
}

TEST_F(MeshMouse, EditingSetsRaisesAndLowersCells)
{
    Set(1, 1, 10);
    Drag({{1, 1}}, mbLeft, ShiftLeft);
    EXPECT_DOUBLE_EQ(Chart.CellValue(1, 1), 11);
    Set(2, 1, 10);
    Drag({{2, 1}}, mbRight, ShiftRight);
    EXPECT_DOUBLE_EQ(Chart.CellValue(2, 1), 9);
    Set(3, 1, 1e9);
    Drag({{3, 1}}, mbLeft, ShiftLeft);
    EXPECT_EQ(Chart.CellValue(3, 1), 1e9);
    EXPECT_EQ(ParameterEvents, 3) << "one event per gesture, at its release";
    EXPECT_EQ(RecordedSnapshots(), 3);

    // A raise drag takes each cell it enters once.
    Set(4, 3, 10);
    Set(5, 3, 10);
    Press(CellCentre(4, 3), mbLeft, ShiftLeft);
    MoveTo(PixelOf(4.7, 3.5), ShiftLeft);
    MoveTo(CellCentre(5, 3), ShiftLeft);
    MoveTo(PixelOf(5.8, 3.2), ShiftLeft);
    Release(CellCentre(5, 3), mbLeft);
    EXPECT_DOUBLE_EQ(Chart.CellValue(4, 3), 11);
    EXPECT_DOUBLE_EQ(Chart.CellValue(5, 3), 11);
    EXPECT_EQ(ParameterEvents, 4);

    // A left drag paints the cursor value along its path.
    Chart.CursorValue = 7;
    Drag({{0, 5}, {1, 5}, {2, 5}}, mbLeft, Left);
    for (int c = 0; c <= 2; ++c)
        EXPECT_EQ(Chart.CellValue(c, 5), 7);
    EXPECT_EQ(Chart.CellValue(3, 5), 2);
    // A right drag picks values up into the cursor value.
    Set(8, 8, 4.5);
    Press(CellCentre(7, 8), mbRight, Right);
    MoveTo(CellCentre(8, 8), Right);
    Release(CellCentre(8, 8), mbRight);
    EXPECT_EQ(Chart.CursorValue, 4.5);
}

TEST_F(MeshMouse, EditingASelectedCellEditsTheWholeSelection)
{
    Select(4, 4, 5, 5);
    Set(5, 5, 5);
    Drag({{4, 4}}, mbLeft, ShiftLeft);
    EXPECT_DOUBLE_EQ(Chart.CellValue(4, 5), 2.2);
    EXPECT_DOUBLE_EQ(Chart.CellValue(5, 5), 5.5);
    EXPECT_EQ(Chart.CellValue(3, 4), 2) << "unselected cells keep their values";
    Chart.CursorValue = 5e9;
    Drag({{5, 4}}, mbLeft, Left);
    for (auto [c, r] : Block(4, 4, 5, 5))
        EXPECT_EQ(Chart.CellValue(c, r), 1e9);
    EXPECT_EQ(Chart.CursorValue, 1e9) << "the cursor value is clamped with the cells";
}

TEST_F(MeshMouse, RectangleAndEllipseSelectWhatTheDragSpans)
{
    Select(0, 0, 0, 0);
    Chart.ToolMode = 5;
    Drag({{5, 2}, {4, 3}, {3, 4}}, mbLeft, Left);
    EXPECT_EQ(SelectedCells(), Block(3, 2, 5, 4));
    EXPECT_EQ(ParameterEvents, 0) << "a selection changes no value";

    Chart.ToolMode = 4;
    Drag({{1, 1}, {7, 7}}, mbLeft, Left);
    const auto ellipse = SelectedCells();
    EXPECT_TRUE(std::count(ellipse.begin(), ellipse.end(), std::make_pair(4, 4)));
    EXPECT_FALSE(std::count(ellipse.begin(), ellipse.end(), std::make_pair(1, 1))) << "corners lie outside";
}

TEST_F(MeshMouse, FreeFormSelectsTheOutlinedCells)
{
    Chart.ToolMode = 2;
    Drag({{1, 1}, {6, 1}, {6, 6}, {1, 6}}, mbLeft, Left);
    EXPECT_EQ(Chart.FreeFormPoints.Length(), 4);
    const auto cells = SelectedCells();
    EXPECT_TRUE(std::count(cells.begin(), cells.end(), std::make_pair(3, 3)));
    EXPECT_FALSE(std::count(cells.begin(), cells.end(), std::make_pair(8, 8)));
    EXPECT_FALSE(Chart.AddFreeFormPoint({1, 6})) << "a repeated point is not added";
}

TEST_F(MeshMouse, MagicWandTakesTheConnectedRegionWithinTenPercent)
{
    // Scale 0..10: 10 % is 1.0. A block of 5 and 5.5 joined to the seed,
    // the same values cut off by a column of 9, and a cell of 7 inside.
    for (int c = 0; c <= 9; ++c)
        for (int r = 0; r <= 9; ++r)
            Set(c, r, c < 4 ? (r % 2 ? 5.0 : 5.5) : c == 4 ? 9.0 : 5.0);
    Set(1, 1, 7.0);
    Select(8, 8, 9, 9);
    Chart.ToolMode = 3;
    Drag({{0, 0}}, mbLeft, Left);
    auto expected = Block(0, 0, 3, 9);
    expected.erase(std::find(expected.begin(), expected.end(), std::make_pair(1, 1)));
    EXPECT_EQ(SelectedCells(), expected);
    EXPECT_EQ(Chart.WandCurrentTolerance, 10.0);
}

TEST_F(MeshMouse, ACutMovedOneColumnRightLeavesTheHalfSpace)
{
    Select(2, 1, 3, 2);
    for (auto [c, r] : Block(2, 1, 3, 2))
        Set(c, r, 5);
    Drag({{2, 1}, {3, 1}}, mbLeft, CtrlLeft);
    EXPECT_EQ(Chart.Layers.Length(), 1) << "flattened at the release";
    EXPECT_EQ(Chart.CellValue(2, 1), Chart.HalfSpaceValue);
    EXPECT_EQ(Chart.CellValue(2, 2), Chart.HalfSpaceValue);
    for (auto [c, r] : Block(3, 1, 4, 2))
        EXPECT_EQ(Chart.CellValue(c, r), 5);
    EXPECT_EQ(Chart.CellValue(5, 1), 2);
    EXPECT_EQ(SelectedCells(), Block(3, 1, 4, 2));
    EXPECT_EQ(Chart.ToolMode, 1) << "the mode in force before the Ctrl press";
    EXPECT_GE(ParameterEvents, 1);
    EXPECT_EQ(RecordedSnapshots(), 1);
}

TEST_F(MeshMouse, ACopyLeavesTheOriginalAndCellsOutsideTheMeshAreDropped)
{
    Select(7, 1, 8, 1);
    Set(7, 1, 5);
    Set(8, 1, 6);
    Drag({{7, 1}, {8, 1}, {9, 3}}, mbRight, CtrlRight);
    EXPECT_EQ(Chart.CellValue(7, 1), 5);
    EXPECT_EQ(Chart.CellValue(8, 1), 6);
    EXPECT_EQ(Chart.CellValue(9, 3), 5);
    EXPECT_EQ(SelectedCells(), (std::vector<std::pair<int, int>>{{9, 3}}));
}

// A move released outside the cell area used to leave the floating layer
// unflattened, with no event and no undo snapshot.
TEST_F(MeshMouse, GesturesEndAtTheirReleaseOutsideTheCells)
{
    Select(2, 2, 2, 2);
    Set(2, 2, 5);
    const TPoint outside{Chart.Width() - 2, 2};
    Press(CellCentre(2, 2), mbLeft, CtrlLeft);
    MoveTo(CellCentre(4, 2), CtrlLeft);
    MoveTo(outside, CtrlLeft);
    Release(outside, mbLeft);
    EXPECT_EQ(Chart.Layers.Length(), 1);
    EXPECT_EQ(Chart.CellValue(4, 2), 5) << "the move ends at the last cell it reached";
    EXPECT_EQ(Chart.CellValue(2, 2), Chart.HalfSpaceValue);
    EXPECT_EQ(Chart.ToolMode, 1);
    EXPECT_FALSE(Chart.Dragging);
    const int afterMove = ParameterEvents;
    EXPECT_GE(afterMove, 1);

    Chart.CursorValue = 8;
    Press(CellCentre(6, 6), mbLeft, Left);
    MoveTo(outside, Left);
    Release(outside, mbLeft);
    EXPECT_EQ(ParameterEvents, afterMove + 1);

    Chart.ToolMode = 9;
    Press(PixelOf(6.02, 3.5), mbLeft, Left);
    MoveTo(PixelOf(6.5, 3.5), Left);
    MoveTo(outside, Left);
    Release(outside, mbLeft);
    EXPECT_NEAR(Chart.ColBounds[6], 6.5, 0.02);
    EXPECT_GE(GridEvents, 1);
    EXPECT_EQ(RecordedSnapshots(), 3);
}

TEST_F(MeshMouse, CtrlOnAnUnselectedCellMovesNothing)
{
    Select(5, 5, 5, 5);
    Set(5, 5, 5);
    Press(CellCentre(2, 2), mbLeft, CtrlLeft);
    EXPECT_EQ(Chart.ToolMode, 6);
    MoveTo(CellCentre(3, 2), CtrlLeft);
    Release(CellCentre(3, 2), mbLeft);
    EXPECT_EQ(Chart.ToolMode, 1);
    EXPECT_EQ(Chart.Layers.Length(), 1);
    EXPECT_EQ(Chart.CellValue(5, 5), 5);
    EXPECT_EQ(SelectedCells(), (std::vector<std::pair<int, int>>{{5, 5}}));
    EXPECT_EQ(ParameterEvents, 0);
}

class MeshMouseNarrow : public MeshMouse, public ::testing::WithParamInterface<std::pair<int, int>> {
protected:
    void SetUp() override { Build(GetParam().first, GetParam().second); }
};

TEST_P(MeshMouseNarrow, MeshesOfOneColumnOrRowIgnoreTheMouse)
{
    Chart.PointerX = -1;
    Chart.CurCol = Chart.CurRow = -1;
    Drag({{0, 0}}, mbLeft, ShiftLeft);
    EXPECT_EQ(Chart.PointerX, -1);
    EXPECT_EQ(Chart.CurCol, -1);
    EXPECT_EQ(Chart.CellValue(0, 0), 2);
    EXPECT_FALSE(Chart.Dragging);
    EXPECT_EQ(ParameterEvents, 0);
}
INSTANTIATE_TEST_SUITE_P(OneColumnOrRow, MeshMouseNarrow, ::testing::Values(std::make_pair(1, 4), std::make_pair(4, 1)));

TEST_F(MeshMouse, AnchoredColumnBoundariesCanBeCrossedButNotRemovedOrMoved)
{
    Chart.ColAnchored[3] = 1;
    const TPoint nearAnchor = PixelOf(3.02, 5.5);
    Chart.ToolMode = 8;
    Press(nearAnchor, mbLeft, Left);
    Release(nearAnchor, mbLeft);
    EXPECT_EQ(Chart.LastCol, 9);
    Chart.ToolMode = 9;
    Press(nearAnchor, mbLeft, Left);
    MoveTo(PixelOf(3.5, 5.5), Left);
    Release(PixelOf(3.5, 5.5), mbLeft);
    EXPECT_EQ(Chart.ColBounds[3], 3.0);
    EXPECT_EQ(GridEvents, 0);
    // Adding runs a new row boundary across the anchored column boundary.
    Chart.ToolMode = 7;
    Press(nearAnchor, mbLeft, Left);
    Release(nearAnchor, mbLeft);
    EXPECT_EQ(Chart.LastRow, 10);
    EXPECT_NEAR(Chart.RowBounds[6], 5.5, 0.02);
    EXPECT_EQ(Chart.ColBounds.Length(), 11);
    EXPECT_EQ(Chart.Cursor(), crSizeWE);

    // The same boundary tools on boundaries that are not anchored.
    Chart.ToolMode = 8;
    Press(PixelOf(4.02, 2.5), mbLeft, Left);
    Release(PixelOf(4.02, 2.5), mbLeft);
    EXPECT_EQ(Chart.LastCol, 8);
    EXPECT_EQ(Chart.ColBounds[4], 5.0);
    Chart.ToolMode = 7;
    Press(PixelOf(1.5, 2.02), mbLeft, Left);
    Release(PixelOf(1.5, 2.02), mbLeft);
    EXPECT_EQ(Chart.LastCol, 9);
    EXPECT_NEAR(Chart.ColBounds[2], 1.5, 0.02);
    EXPECT_EQ(RecordedSnapshots(), 3);
}

TEST_F(MeshMouse, RightClicksOpenTheMainMenuOrPickFromTheColourBar)
{
    int menus = 0;
    Chart.OnMainMenuRequest = [&] { ++menus; };
    Press(CellCentre(4, 4), mbRight, Right);
    Release(CellCentre(4, 4), mbRight);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(Chart.CellValue(4, 4), 2);

    const TRect area = Chart.ChartRectangle();
    const TPoint bar{area.Right + Chart.ColorBarGap + 5, area.Top + 1};
    Chart.ToolMode = 5;
    Press(bar, mbRight, Right);
    Release(bar, mbRight);
    EXPECT_EQ(Chart.PointerZone, 4);
    EXPECT_EQ(Chart.ToolMode, 1);
    EXPECT_NEAR(Chart.CursorValue, 10, 0.1);
    EXPECT_EQ(menus, 1);
}

TEST_F(MeshMouse, ReadOnlyChartsChangeNothing)
{
    Chart.ReadOnly = true;
    Drag({{1, 1}, {2, 1}}, mbLeft, Left);
    Chart.ToolMode = 5;
    Drag({{1, 1}, {2, 2}}, mbLeft, Left);
    EXPECT_EQ(Chart.CellValue(1, 1), 2);
    EXPECT_TRUE(SelectedCells().empty());
    EXPECT_EQ(ParameterEvents, 0);
}

// The chart after a selection block was moved two columns right and one
// row down: the moved block dotted white, half-space where it was.
TEST(MeshMovedSelectionPicture, MatchesTheReference)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(20, 5), EvenBounds(10, 4));
    chart.ExtentSeries->AddXY(chart.ModelLeft, chart.ModelTop);
    chart.ExtentSeries->AddXY(chart.ModelRight, chart.ModelBottom);
    for (int c = 0; c <= chart.LastCol; ++c)
        for (int r = 0; r <= chart.LastRow; ++r) {
            double v = 2.0 + 0.5 * r;
            chart.SetCellValue(c, r, v);
        }
    for (int c = 4; c <= 7; ++c)
        for (int r = 2; r <= 4; ++r) {
            double v = 9.0;
            chart.SetCellValue(c, r, v);
            chart.Selected[c][r] = 1;
        }
    chart.Title()->Text()->Add(QStringLiteral("Moved selection"));
    TBitmap picture(chart.Width(), chart.Height());
    chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
    chart.RepaintCells();
    const TRect area = chart.CellArea();
    const auto at = [&](int C, int R) {
        return TPoint{area.Left + chart.XToCellPixel(5 * C + 2.5), area.Top + chart.ZToCellPixel(4 * R + 2)};
    };
    const TShiftState ctrlLeft{TControl::ssCtrl | TControl::ssLeft};
    chart.MouseMove(TShiftState(TControl::ssCtrl), at(5, 3).X, at(5, 3).Y);
    chart.MouseDown(mbLeft, ctrlLeft, at(5, 3).X, at(5, 3).Y);
    chart.MouseMove(ctrlLeft, at(6, 3).X, at(6, 3).Y);
    chart.MouseMove(ctrlLeft, at(7, 4).X, at(7, 4).Y);
    chart.MouseUp(mbLeft, NoKeys, at(7, 4).X, at(7, 4).Y);
    ASSERT_EQ(chart.CellValue(6, 3), 9.0);
    ASSERT_EQ(chart.CellValue(4, 2), 1.0);
    chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(picture.Image(), QStringLiteral("views"),
                                       QStringLiteral("mesh-moved-selection")));
}

} // namespace
} // namespace lp

namespace lp {
namespace {

QRgb Rgb(lp::TColor Color)
{
    return qRgb(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

// Guards against the pointer acting on another cell than the one drawn
// under it: an 8 x 6 mesh of unit cells, each in a colour of its own, is
// drawn, and the pointer is moved over the drawn pixels. Variants: the
// axes' own offsets (the depth axis starts 5 % down), none, and both axes
// shortened at their ends.
class MeshPointerOverDrawnCells : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        FillMesh(Chart, EvenBounds(8, 1), EvenBounds(6, 1));
        test::SpanModelArea(Chart);
        Chart.ShowBorders = false;
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 6; ++r) {
                double v = 0.1 + 0.2 * (c * 6 + r);
                Chart.SetCellValue(c, r, v);
                const QRgb colour = Rgb(Chart.ValueToColor(v)) & 0xFFFFFF;
                ASSERT_EQ(CellOfColour.count(colour), 0u) << "every cell has a colour of its own";
                CellOfColour[colour] = {c, r};
            }
        if (GetParam() == 1)
            Chart.LeftAxis()->SetStartPosition(0);
        if (GetParam() == 2) {
            Chart.LeftAxis()->SetEndPosition(90);
            Chart.BottomAxis()->SetStartPosition(7);
            Chart.BottomAxis()->SetEndPosition(96);
        }
        Screen.SetSize(Chart.Width(), Chart.Height());
        Chart.RepaintCells();
        Chart.DrawToCanvas(&Screen.Canvas(), Chart.GetRectangle());
    }
    QRgb ScreenAt(int X, int Y) const { return Screen.Image().pixel(X, Y) & 0xFFFFFF; }
    // The cell whose colour is drawn at (X, Y); (-1, -1) for a mesh line.
    std::pair<int, int> DrawnCell(int X, int Y) const
    {
        const auto found = CellOfColour.find(ScreenAt(X, Y));
        return found == CellOfColour.end() ? std::make_pair(-1, -1) : found->second;
    }
    void MoveTo(int X, int Y) { Chart.MouseMove(NoKeys, X, Y); }

    TTModelSection2d Chart;
    TBitmap Screen;
    std::map<QRgb, std::pair<int, int>> CellOfColour;
};

TEST_P(MeshPointerOverDrawnCells, EveryDrawnPixelPicksItsCell)
{
    const TRect area = Chart.CellArea();
    ASSERT_GT(area.Width(), 200);
    ASSERT_GT(area.Height(), 100);
    std::set<std::pair<int, int>> seen;
    int probed = 0;
    const auto probe = [&](int x, int y) {
        const auto drawn = DrawnCell(x, y);
        if (drawn.first < 0)
            return;  // a mesh line
        MoveTo(x, y);
        EXPECT_EQ(std::make_pair(Chart.CurCol, Chart.CurRow), drawn) << "pixel " << x << ", " << y;
        seen.insert(drawn);
        ++probed;
    };
    // Across every row and down every column through the cells' middles.
    for (int r = 0; r < 6; ++r)
        for (int x = area.Left; x < area.Right; ++x)
            probe(x, area.Top + (area.Height() * (2 * r + 1)) / 12);
    for (int c = 0; c < 8; ++c)
        for (int y = area.Top; y < area.Bottom; ++y)
            probe(area.Left + (area.Width() * (2 * c + 1)) / 16, y);
    EXPECT_EQ(seen.size(), 48u);
    EXPECT_GT(probed, area.Width() * 5);
}

TEST_P(MeshPointerOverDrawnCells, DrawnEdgesAndBoundariesReadTheirWorldValues)
{
    const TRect area = Chart.CellArea();
    // Cell (0, 0) as drawn: its last pixel column and row inside the mesh
    // lines, found on the screen.
    const int y0 = area.Top + area.Height() / 12;
    const int x0 = area.Left + area.Width() / 16;
    int right = x0, bottom = y0;
    while (DrawnCell(right + 1, y0) == std::make_pair(0, 0))
        ++right;
    while (DrawnCell(x0, bottom + 1) == std::make_pair(0, 0))
        ++bottom;
    const double pixelX = 8.0 / (Chart.CellPicture().Width() - 1);
    const double pixelZ = 6.0 / (Chart.CellPicture().Height() - 1);
    MoveTo(right, bottom);
    EXPECT_EQ(std::make_pair(Chart.CurCol, Chart.CurRow), std::make_pair(0, 0));
    EXPECT_LT(Chart.PointerX, 1.0);
    EXPECT_LT(Chart.PointerZ, 1.0);
    // The mesh line right of it is the boundary at x 1, below it z 1.
    MoveTo(right + 1, bottom + 1);
    EXPECT_NEAR(Chart.PointerX, 1.0, pixelX / 2);
    EXPECT_NEAR(Chart.PointerZ, 1.0, pixelZ / 2);

    // Column 7's first pixel reads column 7.
    const int y = area.Top + area.Height() / 4;
    int x = area.Right - 1;
    while (DrawnCell(x - 1, y).first == 7)
        --x;
    MoveTo(x, y);
    EXPECT_EQ(Chart.CurCol, 7);
    EXPECT_GT(Chart.PointerX, 7.0);

    // The drawn row boundary at z 3 reads z 3, and the add tool takes it.
    int boundary = area.Top;
    while (!(DrawnCell(x0, boundary - 1).second == 2 && DrawnCell(x0, boundary).first < 0))
        ASSERT_LT(++boundary, area.Bottom);
    Chart.ToolMode = 7;
    MoveTo(x0, boundary);
    EXPECT_NEAR(Chart.PointerZ, 3.0, pixelZ / 2);
    EXPECT_EQ(Chart.HitKind, 1);
    EXPECT_EQ(Chart.HitIndex, 3);
    EXPECT_EQ(Chart.Cursor(), crSizeNS);
    Chart.MouseDown(mbLeft, Left, x0, boundary);
    Chart.MouseUp(mbLeft, NoKeys, x0, boundary);
    EXPECT_EQ(Chart.LastCol, 8) << "a new column runs across the row boundary";
}

INSTANTIATE_TEST_SUITE_P(AxisOffsets, MeshPointerOverDrawnCells, ::testing::Values(0, 1, 2));

// Guards against the window keeping the old cells after a command: the
// window's own picture is read after each command.
class MeshWindowAfterCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillMesh(Chart, EvenBounds(4, 1), EvenBounds(3, 1));
        test::SpanModelArea(Chart);
        Chart.ShowBorders = false;
        SetAll(2.0);
        Chart.SetBounds(0, 0, 500, 260);
        QWidget* window = Chart.Widget();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        Chart.RepaintCells();
        Chart.RepaintCells();  // the layout of the first paint, then the cells
    }
    void SetAll(double V)
    {
        for (int c = 0; c <= Chart.LastCol; ++c)
            for (int r = 0; r <= Chart.LastRow; ++r) {
                double v = V;
                Chart.SetCellValue(c, r, v);
            }
    }
    // The colour the window shows at the middle of cell (C, R).
    QRgb Shown(int C, int R)
    {
        const TRect area = Chart.CellArea();
        const QImage shot = Chart.Widget()->grab().toImage();
        return shot.pixel(area.Left + Chart.XToCellPixel(C + 0.5), area.Top + Chart.ZToCellPixel(R + 0.5)) &
               0xFFFFFF;
    }
    QRgb ColourOf(double V) { return Rgb(Chart.ValueToColor(V)) & 0xFFFFFF; }

    TTModelSection2d Chart;
};

TEST_F(MeshWindowAfterCommands, ClearModelShowsTheHalfSpace)
{
    ASSERT_EQ(Shown(1, 1), ColourOf(2.0));
    Chart.MainMenuClick(7);  // "Clear model"
    EXPECT_EQ(Shown(1, 1), ColourOf(Chart.HalfSpaceValue));
}

TEST_F(MeshWindowAfterCommands, AutomaticScaleRecoloursTheCells)
{
    double high = 8.0;
    Chart.SetCellValue(0, 0, high);
    Chart.RepaintCells();
    const QRgb before = Shown(1, 1);
    Chart.ColorBarMenuClick(3);  // "Automatic": 2 .. 8
    ASSERT_EQ(Chart.ScaleMin, 2.0);
    EXPECT_EQ(Shown(1, 1), ColourOf(2.0));
    EXPECT_NE(Shown(1, 1), before);
}

TEST_F(MeshWindowAfterCommands, AnOwnersRefillShowsAfterRepaintCells)
{
    SetAll(7.0);
    Chart.RepaintCells();
    EXPECT_EQ(Shown(2, 1), ColourOf(7.0));
}

} // namespace
} // namespace lp
