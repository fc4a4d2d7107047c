// The section chart's sub-polygon and body modes driven through EditStep
// with a scale of one pixel per model unit: deleting and uncoupling the
// sub-polygon under the cursor, moving a body and moving a sub-polygon.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

class BodyModes : public TEditingFixture {
protected:

    // Two separate square bodies: 100..200 and 350..450, y 10..50.
    void TwoBodies() { TSectionFixture::AddBodies(chart, 2); }

    // One body of two rings sharing the edge x = 140: ring A spans
    // 100..140, ring B 140..182, both y 10..50.
    void SharedBody()
    {
        chart.NewModel({}, false, 0, 1000, 0, 100);
        arofcomplexM a{{100, 10}, {140, 10}, {140, 50}, {100, 50}};
        arofcomplexM b{{142, 10}, {182, 10}, {182, 50}, {142, 50}};
        ASSERT_TRUE(AddPolygon(a, chart.Model, chart.Nodes));
        ASSERT_TRUE(AddPolygon(b, chart.Model, chart.Nodes));
        chart.RebuildMapSeries();
        chart.TakeBackup();
        chart.ScaleX = chart.ScaleY = 1.0;
        ASSERT_TRUE(chart.DoMergeNode(NodeAt(142, 10), NodeAt(140, 10), 140, 10));
        ASSERT_TRUE(chart.DoMergeNode(NodeAt(142, 50), NodeAt(140, 50), 140, 50));
        chart.TakeBackup();
        ASSERT_EQ(chart.Model.Length(), 2);
        ASSERT_EQ(chart.Model[1].Length(), 2);
        ExpectSound();
    }


    // The ring (body, sub) whose first node lies at (X, Y); (-1, -1) if none.
    std::pair<int, int> RingStartingAt(double X, double Y) const
    {
        for (int b = 0; b < chart.Model.Length(); ++b)
            for (int s = 0; s < chart.Model[b].Length(); ++s) {
                const arofintM& ring = chart.Model[b][s].ring;
                for (int32_t node : ring)
                    if (chart.Nodes[node].x == X && chart.Nodes[node].y == Y && !IsHostRing(b, s))
                        return {b, s};
            }
        return {-1, -1};
    }

    bool AtBackup() const
    {
        if (!(chart.Nodes == chart.NodesBackup) || chart.Model.Length() != chart.ModelBackup.Length())
            return false;
        for (int b = 0; b < chart.Model.Length(); ++b) {
            if (chart.Model[b].Length() != chart.ModelBackup[b].Length())
                return false;
            for (int s = 0; s < chart.Model[b].Length(); ++s)
                if (!(chart.Model[b][s].ring == chart.ModelBackup[b][s].ring))
                    return false;
        }
        return true;
    }

    // Every shown ring has its map polygon, with the nodes' positions.
    void ExpectMapInStep() const
    {
        int rings = 0;
        for (int b = 0; b < chart.Model.Length(); ++b)
            rings += chart.Model[b].Length();
        EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), rings - 1);
        for (int b = 0; b < chart.Model.Length(); ++b)
            for (int s = 0; s < chart.Model[b].Length(); ++s) {
                if (IsHostRing(b, s))
                    continue;
                const int m = chart.FindMapPolygon(b, s);
                ASSERT_GE(m, 0);
                const TPlotPolygon* shape = chart.MapSeries()->Shapes()->GetPolygon(m);
                const arofintM& ring = chart.Model[b][s].ring;
                ASSERT_EQ(shape->Points()->Count(), ring.Length());
                for (int i = 0; i < ring.Length(); ++i) {
                    EXPECT_DOUBLE_EQ(shape->Points()->XValues()->Value(i), chart.Nodes[ring[i]].x);
                    EXPECT_DOUBLE_EQ(shape->Points()->YValues()->Value(i), chart.Nodes[ring[i]].y);
                }
            }
    }
};

// --- Hover highlight, the host frame --------------------------------------------------------

class BodyModesHover : public BodyModes, public ::testing::WithParamInterface<TPolygonEditMode> {};

TEST_P(BodyModesHover, SubPolygonUnderTheCursorIsRedHostFrameNever)
{
    TwoBodies();
    SetMode(GetParam());
    Move(150, 30);
    EXPECT_EQ(chart.PickBody, 1);
    EXPECT_EQ(chart.PickSubPolygon, 0);
    const int m = chart.FindMapPolygon(1, 0);
    EXPECT_TRUE(chart.MapPolygonIsHighlighted(m));
    // Leaving it for the frame alone restores its pen; nothing is picked.
    Move(600, 80);
    EXPECT_EQ(chart.PickBody, -1);
    EXPECT_FALSE(chart.MapPolygonIsHighlighted(m));
    EXPECT_FALSE(Press(false));
    EXPECT_FALSE(chart.Editing);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
}

INSTANTIATE_TEST_SUITE_P(Modes, BodyModesHover,
                         ::testing::Values(pmDeleteSubPolygon, pmUncoupleSubPolygon, pmMovePolygon,
                                           pmMoveSubPolygon));

// --- pmDeleteSubPolygon ------------------------------------------------------------------------

TEST_F(BodyModes, DeleteSubPolygonKeepsTheSharedNodes)
{
    SharedBody();
    SetMode(pmDeleteSubPolygon);
    const int nodes = chart.Nodes.Length();
    Move(120, 30); // ring A
    EXPECT_FALSE(chart.Editing);
    EXPECT_TRUE(Press(true));
    ASSERT_EQ(chart.Model.Length(), 2);
    EXPECT_EQ(chart.Model[1].Length(), 1);
    // A's own two nodes are gone, the shared ones stay with B.
    EXPECT_EQ(chart.Nodes.Length(), nodes - 2);
    EXPECT_EQ(NodeAt(100, 10), -1);
    EXPECT_GE(NodeAt(140, 10), 0);
    ExpectMapInStep();
}

TEST_F(BodyModes, DeleteTheOnlyRingOfABody)
{
    TwoBodies();
    SetMode(pmDeleteSubPolygon);
    Move(400, 30);
    EXPECT_TRUE(Press(true));
    EXPECT_EQ(chart.Model.Length(), 2);
    EXPECT_EQ(NodeAt(350, 10), -1);
    ExpectMapInStep();
}

TEST_F(BodyModes, RefusedSubPolygonDeletionRestoresTheBackup)
{
    TwoBodies();
    SetMode(pmDeleteSubPolygon);
    EXPECT_FALSE(chart.DoDeleteSubPolygon(0, 0)); // the host frame
    EXPECT_FALSE(chart.DoDeleteSubPolygon(5, 1)); // no such ring
    EXPECT_FALSE(chart.DoDeleteSubPolygon(0, 7)); // no such body
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
}

// --- pmUncoupleSubPolygon ------------------------------------------------------------------------

TEST_F(BodyModes, UncoupleSubPolygonMakesItABodyOfItsOwn)
{
    SharedBody();
    SetMode(pmUncoupleSubPolygon);
    const int nodes = chart.Nodes.Length();
    Move(160, 30); // ring B
    EXPECT_TRUE(Press(true));
    EXPECT_FALSE(chart.Editing);
    EXPECT_EQ(chart.Model.Length(), 3);
    EXPECT_EQ(chart.Nodes.Length(), nodes + 2);
    ExpectMapInStep();
}

TEST_F(BodyModes, UncoupleSubPolygonSharingNothingIsStillAnEdit)
{
    TwoBodies();
    SetMode(pmUncoupleSubPolygon);
    const Tnodes nodes = CopyNodes(chart.Nodes);
    Move(150, 30);
    EXPECT_TRUE(Press(true));
    EXPECT_EQ(chart.Nodes, nodes);
    EXPECT_EQ(chart.Model.Length(), 3);
    ExpectMapInStep();
}

// --- pmMovePolygon ----------------------------------------------------------------------------------

TEST_F(BodyModes, MovePolygonDragsEveryNodeAndDrops)
{
    TwoBodies();
    SetMode(pmMovePolygon);
    Move(150, 30);
    Press(false);
    EXPECT_TRUE(chart.Editing);
    EXPECT_EQ(chart.SelNodes.Length(), 4);
    EXPECT_TRUE(chart.BodyMovesWhole);
    ASSERT_EQ(chart.SelIds.Length(), 1);
    EXPECT_EQ(chart.SelIds[0], 0);
    Move(160, 35);
    Move(170, 40); // two steps: each shifts by the cursor's movement since the last
    EXPECT_GE(NodeAt(120, 20), 0);
    EXPECT_GE(NodeAt(220, 60), 0);
    ExpectMapInStep();
    EXPECT_TRUE(Press(true));
    EXPECT_FALSE(chart.Editing);
    EXPECT_GE(NodeAt(120, 20), 0);
    SetMode(pmMovePolygon); // recorded: a reset keeps it
    EXPECT_GE(NodeAt(120, 20), 0);
}

TEST_F(BodyModes, MovePolygonLeavesFixedNodesOut)
{
    TwoBodies();
    chart.Nodes[NodeAt(100, 10)].fixed = 1;
    chart.TakeBackup();
    SetMode(pmMovePolygon);
    Move(150, 30);
    Press(false);
    EXPECT_EQ(chart.SelNodes.Length(), 3);
    EXPECT_FALSE(chart.BodyMovesWhole);
    Move(160, 30);
    EXPECT_GE(NodeAt(100, 10), 0); // stays: the ring stretches towards it
    EXPECT_GE(NodeAt(210, 10), 0);
    EXPECT_TRUE(Press(true));
    EXPECT_GE(NodeAt(100, 10), 0);
    EXPECT_GE(NodeAt(110, 50), 0);
}

TEST_F(BodyModes, MovePolygonWithAllNodesFixedMovesNothing)
{
    TwoBodies();
    for (const complexM p : {complexM{100, 10}, complexM{200, 10}, complexM{200, 50}, complexM{100, 50}})
        chart.Nodes[NodeAt(p.re, p.im)].fixed = 1;
    chart.TakeBackup();
    SetMode(pmMovePolygon);
    Move(150, 30);
    Press(false);
    EXPECT_TRUE(chart.SelNodes.Empty());
    Move(180, 40);
    EXPECT_TRUE(AtBackup());
    Press(true);
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
}

TEST_F(BodyModes, MovePolygonOntoAnotherIsRefusedAndEndsTheMove)
{
    TwoBodies();
    SetMode(pmMovePolygon);
    Move(150, 30);
    Press(false);
    Move(350, 30); // 300..400 overlaps the body at 350..450
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    EXPECT_FALSE(chart.Editing);
    ExpectMapInStep();
    // The next move is a hover again and moves nothing.
    Move(360, 30);
    EXPECT_TRUE(AtBackup());
}

TEST_F(BodyModes, MovePolygonOutOfTheAreaIsRefused)
{
    TwoBodies();
    SetMode(pmMovePolygon);
    // Wholly left of the area: no edge crosses anything, yet the body would
    // leave the section.
    Move(150, 30);
    Press(false);
    Move(-600, 30);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    EXPECT_FALSE(chart.Editing);
    ExpectMapInStep();
    // Wholly below the area.
    Move(150, 30);
    Press(false);
    Move(150, 300);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
    // Within the area the move is taken.
    Move(150, 30);
    Press(false);
    Move(160, 35);
    EXPECT_TRUE(Press(true));
    EXPECT_GE(NodeAt(110, 15), 0);
}

TEST_F(BodyModes, MoveSubPolygonOutOfTheAreaIsRefused)
{
    SharedBody();
    SetMode(pmMoveSubPolygon);
    Move(120, 30); // ring A; its shared nodes drag ring B's edge along
    Press(false);
    Move(120, -200);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
}

TEST_F(BodyModes, AMoveWithNodesNoLongerInTheTableIsDropped)
{
    TwoBodies();
    for (TPolygonEditMode mode : {pmMovePolygon, pmMoveSubPolygon}) {
        SetMode(mode);
        Move(150, 30);
        Press(false);
        ASSERT_TRUE(chart.Editing);
        // As if the node table had shrunk under the move.
        chart.SelNodes.Add(chart.Nodes.Length() + 3);
        EXPECT_NO_THROW(Move(160, 35));
        EXPECT_FALSE(chart.Editing);
        EXPECT_NO_THROW(EXPECT_FALSE(Press(true)));
        EXPECT_TRUE(AtBackup());
        ExpectMapInStep();
    }
}

TEST_F(BodyModes, MovePolygonModeChangeRollsBack)
{
    TwoBodies();
    SetMode(pmMovePolygon);
    Move(150, 30);
    Press(false);
    Move(155, 32);
    SetMode(pmMoveSubPolygon);
    EXPECT_TRUE(AtBackup());
    ExpectMapInStep();
}

// --- pmMoveSubPolygon -------------------------------------------------------------------------------

TEST_F(BodyModes, MoveSubPolygonDragsTheSharedPartOfItsNeighbour)
{
    SharedBody();
    SetMode(pmMoveSubPolygon);
    Move(160, 30); // ring B
    const int pickedSub = chart.PickSubPolygon;
    Press(false);
    EXPECT_EQ(chart.SelNodes.Length(), 4);
    // Ring A shares two of the nodes: both rings follow on the screen.
    EXPECT_EQ(chart.SelIds.Length(), 2);
    Move(160, 25);
    EXPECT_GE(NodeAt(140, 5), 0);
    EXPECT_GE(NodeAt(182, 45), 0);
    EXPECT_GE(NodeAt(100, 10), 0); // A's own nodes stay
    ExpectMapInStep();
    EXPECT_TRUE(Press(true));
    EXPECT_GE(NodeAt(140, 45), 0);
    EXPECT_EQ(chart.Model[1].Length(), 2);
    EXPECT_GE(pickedSub, 0);
}

TEST_F(BodyModes, MoveSubPolygonLeavesFixedNodesOut)
{
    SharedBody();
    chart.Nodes[NodeAt(182, 10)].fixed = 1;
    chart.TakeBackup();
    SetMode(pmMoveSubPolygon);
    Move(160, 30);
    Press(false);
    EXPECT_EQ(chart.SelNodes.Length(), 3);
    Move(165, 30);
    EXPECT_GE(NodeAt(182, 10), 0);
    EXPECT_GE(NodeAt(187, 50), 0);
    EXPECT_TRUE(Press(true));
    EXPECT_GE(NodeAt(182, 10), 0);
}

TEST_F(BodyModes, MoveSubPolygonOntoAnotherBodyIsRefused)
{
    SharedBody();
    arofcomplexM c{{300, 10}, {340, 10}, {340, 50}, {300, 50}};
    ASSERT_TRUE(AddPolygon(c, chart.Model, chart.Nodes));
    chart.RebuildMapSeries();
    chart.TakeBackup();
    SetMode(pmMoveSubPolygon);
    Move(160, 30); // ring B
    Press(false);
    Move(310, 30); // B at 290..332 overlaps the body at 300..340; A stretches along
    EXPECT_GE(NodeAt(290, 10), 0);
    EXPECT_FALSE(Press(true));
    EXPECT_TRUE(AtBackup());
    EXPECT_FALSE(chart.Editing);
    ExpectMapInStep();
}

} // namespace
} // namespace lp
