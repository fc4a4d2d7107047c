// The user's road through the section chart's window with real mouse
// events: draw a body, add a node to it, move that node, undo the move;
// draw a line. Every step leaves a sound model.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

namespace lp {
namespace {

struct ChartWindow : ::testing::Test {
    TPolygonChart Chart;
    QWidget* Window = nullptr;

    void SetUp() override
    {
        Chart.SetBounds(0, 0, 900, 400);
        Chart.NewModel({}, false, 0, 1000, 0, 100);
        Window = Chart.Widget();
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
        QCoreApplication::processEvents();
    }
    void TearDown() override { ChartMenuSuppressed = false; }

    void ChooseMode(TPolygonEditMode Mode)
    {
        Chart.EditMode = Mode;
        Chart.ResetEditMode();
    }
    QPoint Pixel(double X, double Y) const
    {
        return {Chart.BottomAxis()->CalcPosValue(X), Chart.LeftAxis()->CalcPosValue(Y)};
    }
    void MoveTo(double X, double Y)
    {
        const QPoint at = Pixel(X, Y);
        QMouseEvent move(QEvent::MouseMove, QPointF(at), Window->mapToGlobal(QPointF(at)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Window, &move);
    }
    void Press(double X, double Y, Qt::MouseButton Button)
    {
        MoveTo(X, Y);
        QTest::mousePress(Window, Button, {}, Pixel(X, Y));
        QTest::mouseRelease(Window, Button, {}, Pixel(X, Y));
    }
    bool Sound() const { return CheckModelInvariants(Chart.Model, Chart.Nodes, &Chart.ModelArea).empty(); }
};

TEST_F(ChartWindow, DrawABodyAddANodeMoveItAndUndo)
{
    int changes = 0;
    Chart.onchangemodel = [&](TPolygonChart*) { ++changes; };

    // Add polygon: two left presses, the right press closes.
    ChooseMode(pmAddPolygon);
    Press(200, 20, Qt::LeftButton);
    Press(400, 20, Qt::LeftButton);
    EXPECT_TRUE(Chart.Editing);
    EXPECT_EQ(Chart.EditPathSeries->Count(), 2);
    Press(300, 70, Qt::RightButton);
    ASSERT_EQ(Chart.Model.Length(), 2);
    EXPECT_EQ(Chart.Model[1][0].ring.Length(), 3);
    EXPECT_EQ(Chart.MapSeries()->Shapes()->Count(), 1);
    EXPECT_FALSE(Chart.Editing);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(Sound());
    const int nodesWithBody = Chart.Nodes.Length();

    // Add node: a right press on the top edge.
    ChooseMode(pmAddNode);
    MoveTo(300, 20.2);
    Press(300, 20.2, Qt::RightButton);
    ASSERT_EQ(Chart.Nodes.Length(), nodesWithBody + 1);
    EXPECT_EQ(Chart.Model[1][0].ring.Length(), 4);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(Sound());
    const int added = Chart.Nodes.High();
    const Tnodes beforeMove = CopyNodes(Chart.Nodes);

    // Move node: pick it with the left button, drag, place with the right.
    ChooseMode(pmMoveNode);
    Press(300, 20, Qt::LeftButton);
    MoveTo(300, 10);
    MoveTo(310, 8);
    Press(310, 8, Qt::RightButton);
    EXPECT_NEAR(Chart.Nodes[added].x, 310, 2.0);
    EXPECT_NEAR(Chart.Nodes[added].y, 8, 0.5);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(Sound());

    // Undo brings the node back to where it was added.
    Chart.Undo();
    EXPECT_EQ(Chart.Nodes, beforeMove);
    EXPECT_TRUE(Sound());
    Chart.Undo();
    EXPECT_EQ(Chart.Nodes.Length(), nodesWithBody);
}

// A left-edge node dragged onto the bottom-left corner used to be accepted a
// hair above it, and the corner was picked in its place from then on.
TEST_F(ChartWindow, ANodeDroppedOnACornerStaysPickedUpAndCanBePlacedElsewhere)
{
    ChooseMode(pmAddNode);
    MoveTo(0, 30);
    Press(0, 30, Qt::RightButton);
    const int node = Chart.Nodes.High();
    ASSERT_EQ(Chart.Nodes[node].border, bkLeft);
    ASSERT_EQ(Chart.UndoSequence.Length(), 2);

    ChooseMode(pmMoveNode);
    Press(0, 30, Qt::LeftButton);
    ASSERT_TRUE(Chart.Editing);
    MoveTo(0, 100);
    Press(0, 100, Qt::RightButton); // refused: the node goes back, still in hand
    EXPECT_TRUE(Chart.Editing);
    EXPECT_EQ(Chart.UndoSequence.Length(), 2);
    EXPECT_NEAR(Chart.Nodes[node].y, 30, 0.5);
    EXPECT_TRUE(Sound());
    MoveTo(0, 80);
    Press(0, 80, Qt::RightButton);
    EXPECT_FALSE(Chart.Editing);
    EXPECT_EQ(Chart.UndoSequence.Length(), 3);
    EXPECT_NEAR(Chart.Nodes[node].y, 80, 0.5);

    // It is the node, not the corner, that the pointer finds on it.
    MoveTo(0, 80);
    EXPECT_EQ(Chart.PickNode, node);
    EXPECT_TRUE(Sound());
}

TEST_F(ChartWindow, DrawALine)
{
    ChooseMode(pmAddLine);
    Press(100, 80, Qt::LeftButton);
    Press(500, 85, Qt::LeftButton);
    Press(900, 90, Qt::LeftButton);
    Press(700, 60, Qt::RightButton); // ends the line, adds nothing
    ASSERT_EQ(Chart.Lines.Length(), 1);
    EXPECT_EQ(Chart.Lines[0].points.Length(), 3);
    ASSERT_NE(Chart.Lines[0].series, nullptr);
    EXPECT_EQ(Chart.Lines[0].series->Count(), 3);
    EXPECT_NEAR(Chart.Lines[0].points[1].re, 500, 2.0);
    EXPECT_EQ(Chart.UndoSequence.Length(), 2);
}

TEST_F(ChartWindow, ZoomingKeepsTheMouseFromEditing)
{
    int moves = 0;
    Chart.OnCursorMove = [&](TPolygonChart*) { ++moves; };
    ChooseMode(pmAddPolygon);
    Chart.SetAllowZoom(true);
    Press(200, 20, Qt::LeftButton);
    EXPECT_EQ(moves, 1); // the cursor still follows
    EXPECT_TRUE(Chart.DrawnPoints.Empty());
    Chart.SetAllowZoom(false);
    Press(200, 20, Qt::LeftButton);
    EXPECT_EQ(Chart.DrawnPoints.Length(), 1);
}

TEST_F(ChartWindow, APressUsesThePositionOfTheLastMove)
{
    ChooseMode(pmAddPolygon);
    MoveTo(250, 30);
    QTest::mousePress(Window, Qt::LeftButton, {}, Pixel(600, 60)); // no move to there
    QTest::mouseRelease(Window, Qt::LeftButton, {}, Pixel(600, 60));
    ASSERT_EQ(Chart.DrawnPoints.Length(), 1);
    EXPECT_NEAR(Chart.DrawnPoints[0].re, 250, 2.0);
}

} // namespace
} // namespace lp
