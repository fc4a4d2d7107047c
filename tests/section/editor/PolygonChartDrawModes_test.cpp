// The section chart's polygon drawing and dividing modes, driven through
// EditStep with fixed scales, so pick distances in pixels are model units
// (times the scale).

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"
#include "platform/ui/Dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lp {
namespace {

// A chart with Count square bodies (see TSectionFixture) in Mode, scales fixed.
void StartMode(TPolygonChart& Chart, int Count, TPolygonEditMode Mode, double Scale = 1.0)
{
    TSectionFixture::AddBodies(Chart, Count);
    Chart.EditMode = Mode;
    Chart.ResetEditMode();
    Chart.ScaleX = Chart.ScaleY = Scale;
}

// A press as the mouse handler makes it: a finished right press is recorded.
bool Press(TPolygonChart& Chart, double X, double Y, bool Right = false)
{
    const bool finished = Chart.EditStep(Chart.EditMode, 0, X, Y, Right);
    if (finished) {
        Chart.TakeBackup();
        Chart.PushUndo();
        Chart.ClearEditState();
    }
    return finished;
}

void Move(TPolygonChart& Chart, double X, double Y)
{
    EXPECT_FALSE(Chart.EditStep(Chart.EditMode, 1, X, Y, false));
}

// The model is sound and every shown ring has its own map polygon.
void ExpectSound(const TPolygonChart& Chart)
{
    EXPECT_TRUE(CheckModelInvariants(Chart.Model, Chart.Nodes, &Chart.ModelArea).empty());
    int rings = 0;
    for (int body = 0; body < Chart.Model.Length(); ++body)
        for (int sub = 0; sub < Chart.Model[body].Length(); ++sub)
            if (!IsHostRing(body, sub)) {
                ++rings;
                EXPECT_GE(Chart.FindMapPolygon(body, sub), 0) << "body " << body << " ring " << sub;
            }
    EXPECT_EQ(Chart.MapSeries()->Shapes()->Count(), rings);
}

struct TModelCopy {
    AllSpolygon Model;
    Tnodes Nodes;
};

TModelCopy Keep(const TPolygonChart& Chart)
{
    return {CopyAllSpolygon(Chart.Model), CopyNodes(Chart.Nodes)};
}

void ExpectSameModel(const TPolygonChart& Chart, const TModelCopy& Kept)
{
    EXPECT_EQ(Chart.Nodes, Kept.Nodes);
    ASSERT_EQ(Chart.Model.Length(), Kept.Model.Length());
    for (int body = 0; body < Kept.Model.Length(); ++body) {
        ASSERT_EQ(Chart.Model[body].Length(), Kept.Model[body].Length());
        for (int sub = 0; sub < Kept.Model[body].Length(); ++sub)
            EXPECT_EQ(Chart.Model[body][sub].ring, Kept.Model[body][sub].ring);
    }
}

complexM SeriesPoint(const TLineSeries& Series, int Index)
{
    return {Series.XValues()->Value(Index), Series.YValues()->Value(Index)};
}

double RingArea(const TPolygonChart& Chart, int Body, int Sub)
{
    const arofcomplexM points = RingPoints(Chart.Model[Body][Sub].ring, Chart.Nodes);
    double twice = 0.0;
    for (int i = 0; i < points.Length(); ++i) {
        const complexM& p = points[i];
        const complexM& q = points[(i + 1) % points.Length()];
        twice += p.re * q.im - q.re * p.im;
    }
    return std::fabs(twice) / 2.0;
}

// Answers every question with Answer and records the requests.
struct TAnswering {
    explicit TAnswering(int Answer)
    {
        MessageService() = [this, Answer](const TMessageRequest& Request) {
            Requests.push_back(Request);
            return Answer;
        };
    }
    ~TAnswering() { ResetMessageService(); }
    std::vector<TMessageRequest> Requests;
};

// --- pmAddPolygon ------------------------------------------------------------------

TEST(PolygonChartAddPolygon, LeftPressesDrawRightPressClosesANewBody)
{
    TPolygonChart chart;
    StartMode(chart, 1, pmAddPolygon);
    const int nodes = chart.Nodes.Length();

    EXPECT_FALSE(Press(chart, 300, 20));
    ExpectSound(chart);
    EXPECT_TRUE(chart.Editing);
    ASSERT_EQ(chart.RubberBandSeries->Count(), 3);
    Move(chart, 350, 60);
    EXPECT_EQ(SeriesPoint(*chart.RubberBandSeries, 1), (complexM{350, 60}));
    EXPECT_FALSE(Press(chart, 400, 20));
    EXPECT_EQ(SeriesPoint(*chart.RubberBandSeries, 0), (complexM{300, 20}));
    EXPECT_EQ(SeriesPoint(*chart.RubberBandSeries, 2), (complexM{400, 20}));
    EXPECT_EQ(chart.EditPathSeries->Count(), 2);
    // Nothing reaches the model before the closing press.
    EXPECT_EQ(chart.Model.Length(), 2);
    EXPECT_EQ(chart.Nodes.Length(), nodes);

    EXPECT_TRUE(Press(chart, 350, 60, true));
    ExpectSound(chart);
    ASSERT_EQ(chart.Model.Length(), 3);
    ASSERT_EQ(chart.Model[2].Length(), 1);
    EXPECT_EQ(chart.Model[2][0].ring.Length(), 3);
    EXPECT_EQ(chart.Nodes.Length(), nodes + 3);
    EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), 2);
    EXPECT_EQ(chart.FindMapPolygon(2, 0), 1);
    // The recording steps ended the edit.
    EXPECT_FALSE(chart.Editing);
    EXPECT_TRUE(chart.DrawnPoints.Empty());
    EXPECT_EQ(chart.RubberBandSeries->Count(), 0);
}

TEST(PolygonChartAddPolygon, MouseHandlerRecordsTheFinishedPolygon)
{
    TPolygonChart chart;
    StartMode(chart, 1, pmAddPolygon);
    int changes = 0;
    chart.onchangemodel = [&](TPolygonChart*) { ++changes; };
    const int snapshots = chart.UndoSequence.Length();
    // The handler presses at the position of the last move.
    auto press = [&](double x, double y, TControl::TMouseButton button) {
        chart.CursorX = x;
        chart.CursorY = y;
        chart.ChartMouseDown(nullptr, button, TShiftState(), 0, 0);
        chart.ChartMouseUp(nullptr, button, TShiftState(), 0, 0);
    };
    press(300, 20, TControl::mbLeft);
    press(400, 20, TControl::mbLeft);
    EXPECT_EQ(changes, 0);
    press(350, 60, TControl::mbRight);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(chart.Model.Length(), 3);
    EXPECT_EQ(chart.UndoSequence.Length(), snapshots + 1);
    EXPECT_FALSE(chart.Editing);
    EXPECT_TRUE(chart.DrawnPoints.Empty());
    ExpectSound(chart);
    // The backup is the new model: a mode change keeps the polygon.
    chart.ResetEditMode();
    EXPECT_EQ(chart.Model.Length(), 3);
    ExpectSound(chart);
}

TEST(PolygonChartAddPolygon, PressesOutsideOrOnTheAreaBorderAddNothing)
{
    const complexM presses[] = {{0, 50}, {1000, 50}, {500, 0}, {500, 100}, {-5, 50}, {500, 120}, {1200, -3}};
    for (const complexM& press : presses) {
        SCOPED_TRACE(testing::Message() << press.re << ", " << press.im);
        for (bool right : {false, true}) {
            TPolygonChart chart;
            StartMode(chart, 1, pmAddPolygon);
            const TModelCopy kept = Keep(chart);
            EXPECT_FALSE(Press(chart, press.re, press.im, right));
            EXPECT_FALSE(chart.Editing);
            EXPECT_TRUE(chart.DrawnPoints.Empty());
            EXPECT_EQ(chart.EditPathSeries->Count(), 0);
            EXPECT_EQ(chart.RubberBandSeries->Count(), 0);
            ExpectSameModel(chart, kept);
            ExpectSound(chart);
        }
    }
}

TEST(PolygonChartAddPolygon, RightPressWithFewerThanThreePointsMakesNoPolygon)
{
    // Rows: left presses before the right press.
    for (int lefts : {0, 1}) {
        SCOPED_TRACE(lefts);
        TPolygonChart chart;
        StartMode(chart, 1, pmAddPolygon);
        const TModelCopy kept = Keep(chart);
        if (lefts == 1) {
            EXPECT_FALSE(Press(chart, 300, 20));
        }
        EXPECT_FALSE(Press(chart, 400, 20, true));
        ExpectSameModel(chart, kept);
        ExpectSound(chart);
        // The drawing goes on with the right press's point.
        EXPECT_TRUE(chart.Editing);
        EXPECT_EQ(chart.DrawnPoints.Length(), lefts + 1);
        EXPECT_EQ(chart.EditPathSeries->Count(), lefts + 1);
        if (lefts == 1) {
            // The third point closes it.
            EXPECT_TRUE(Press(chart, 350, 60, true));
            EXPECT_EQ(chart.Model.Length(), 3);
            ExpectSound(chart);
        }
    }
}

TEST(PolygonChartAddPolygon, PointThatMeetsTheModelOrThePathIsRefused)
{
    struct Row {
        const char* Name;
        std::vector<complexM> Before;
        complexM Refused;
    };
    const Row rows[] = {
        {"inside a body", {}, {150, 30}},
        {"segment crosses a body", {{50, 30}}, {250, 30}},
        {"path crosses itself", {{300, 20}, {400, 80}, {400, 20}}, {300, 80}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        for (bool right : {false, true}) {
            TPolygonChart chart;
            StartMode(chart, 1, pmAddPolygon);
            const TModelCopy kept = Keep(chart);
            for (const complexM& p : row.Before)
                EXPECT_FALSE(Press(chart, p.re, p.im));
            EXPECT_FALSE(Press(chart, row.Refused.re, row.Refused.im, right));
            EXPECT_EQ(chart.DrawnPoints.Length(), static_cast<int>(row.Before.size()));
            EXPECT_EQ(chart.EditPathSeries->Count(), static_cast<int>(row.Before.size()));
            EXPECT_EQ(chart.Editing, !row.Before.empty());
            ExpectSameModel(chart, kept);
            ExpectSound(chart);
        }
    }
}

TEST(PolygonChartAddPolygon, ClosingEdgeThatCrossesABodyIsRefusedAndDrawingGoesOn)
{
    TPolygonChart chart;
    StartMode(chart, 1, pmAddPolygon);
    const TModelCopy kept = Keep(chart);
    EXPECT_FALSE(Press(chart, 50, 30));
    EXPECT_FALSE(Press(chart, 90, 5));
    EXPECT_FALSE(Press(chart, 250, 5));
    // Its own segment is clear, the closing one runs through body 1.
    EXPECT_FALSE(Press(chart, 250, 30, true));
    EXPECT_EQ(chart.DrawnPoints.Length(), 3);
    EXPECT_EQ(chart.EditPathSeries->Count(), 3);
    EXPECT_EQ(SeriesPoint(*chart.RubberBandSeries, 2), (complexM{250, 5}));
    EXPECT_TRUE(chart.Editing);
    ExpectSameModel(chart, kept);
    ExpectSound(chart);
}

TEST(PolygonChartAddPolygon, ClosingEdgeThatCrossesThePathIsRefusedAndDrawingGoesOn)
{
    // Regression: the closing edge was tested against the bodies only, so a
    // ring crossing itself was added (and its file could not be opened again).
    TPolygonChart chart;
    StartMode(chart, 0, pmAddPolygon);
    const TModelCopy kept = Keep(chart);
    // A spiral: every segment is clear of the earlier ones.
    for (const complexM& point : {complexM{50, 50}, complexM{100, 50}, complexM{100, 80}, complexM{20, 80},
                                  complexM{20, 10}, complexM{150, 10}})
        EXPECT_FALSE(Press(chart, point.re, point.im));
    ASSERT_EQ(chart.DrawnPoints.Length(), 6);
    // The last segment is clear too; the closing one crosses (100,50)-(100,80).
    EXPECT_FALSE(Press(chart, 150, 70, true));
    EXPECT_EQ(chart.DrawnPoints.Length(), 6);
    EXPECT_TRUE(chart.Editing);
    ExpectSameModel(chart, kept);
    ExpectSound(chart);
}

TEST(PolygonChartAddPolygon, PolygonAroundABodyIsRefusedAndTheModelIsKept)
{
    TPolygonChart chart;
    StartMode(chart, 1, pmAddPolygon);
    const TModelCopy kept = Keep(chart);
    EXPECT_FALSE(Press(chart, 50, 5));
    EXPECT_FALSE(Press(chart, 250, 5));
    EXPECT_FALSE(Press(chart, 250, 60));
    EXPECT_FALSE(Press(chart, 50, 60, true));
    ExpectSameModel(chart, kept);
    ExpectSound(chart);
    // The drawing is unchanged: its points keep their order.
    ASSERT_EQ(chart.DrawnPoints.Length(), 4);
    EXPECT_EQ(chart.DrawnPoints[1], (complexM{250, 5}));
    EXPECT_EQ(chart.DrawnPoints[3], (complexM{50, 60}));
}

TEST(PolygonChartAddPolygon, ModeChangeDuringDrawingDropsThePath)
{
    TPolygonChart chart;
    StartMode(chart, 1, pmAddPolygon);
    const TModelCopy kept = Keep(chart);
    EXPECT_FALSE(Press(chart, 300, 20));
    EXPECT_FALSE(Press(chart, 400, 20));
    chart.EditMode = pmDividePolygon;
    chart.ResetEditMode();
    EXPECT_TRUE(chart.DrawnPoints.Empty());
    EXPECT_EQ(chart.EditPathSeries->Count(), 0);
    ExpectSameModel(chart, kept);
    ExpectSound(chart);
}

TEST(PolygonChartAddPolygon, DoAddPolygonRefusesWithoutChangingTheChart)
{
    TPolygonChart chart;
    StartMode(chart, 1, pmAddPolygon);
    const TModelCopy kept = Keep(chart);
    // Too few points, collinear points, a polygon over a body.
    const arofcomplexM refused[] = {
        {{300, 20}, {400, 20}},
        {{300, 20}, {400, 20}, {500, 20}},
        {{120, 20}, {180, 20}, {150, 40}},
    };
    for (const arofcomplexM& points : refused) {
        EXPECT_FALSE(chart.DoAddPolygon(points));
        ExpectSameModel(chart, kept);
        ExpectSound(chart);
    }
    EXPECT_TRUE(chart.DoAddPolygon({{300, 20}, {400, 20}, {350, 60}}));
    ExpectSound(chart);
}

// Regression: on a chart without a section the first drawn polygon became
// body 0, so it was taken for the host frame.
TEST(PolygonChartAddPolygon, NoPolygonWithoutTheHostBody)
{
    TPolygonChart chart;
    chart.EditMode = pmAddPolygon;
    chart.ResetEditMode();
    chart.ScaleX = chart.ScaleY = 1.0;
    ASSERT_TRUE(chart.Model.Empty());
    EXPECT_FALSE(Press(chart, 300, 20));
    EXPECT_FALSE(Press(chart, 400, 20));
    EXPECT_FALSE(Press(chart, 350, 60, true));
    EXPECT_TRUE(chart.Model.Empty());
    EXPECT_TRUE(chart.Nodes.Empty());
    EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), 0);
    EXPECT_FALSE(chart.DoAddPolygon({{300, 20}, {400, 20}, {350, 60}}));
    EXPECT_TRUE(chart.Model.Empty());
    EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), 0);
}

// --- pmAddSubPolygon ---------------------------------------------------------------

TEST(PolygonChartAddSubPolygon, StartOnANodeOrWithinFivePixelsOfAFreeEdge)
{
    struct Row {
        double Scale;
        complexM Press;
        bool Starts;
        bool NewNode;
        complexM Start;
    };
    const Row rows[] = {
        {1.0, {150, 6}, true, true, {150, 10}},    // 4 px from the top edge
        {1.0, {150, 5.2}, true, true, {150, 10}},  // 4.8 px
        {1.0, {150, 5}, false, false, {}},         // exactly 5 px
        {1.0, {150, 54.8}, true, true, {150, 50}}, // 4.8 px below the bottom edge
        {1.0, {150, 55}, false, false, {}},        // exactly 5 px
        {1.0, {150, 56}, false, false, {}},        // 6 px
        {1.0, {201, 9}, true, false, {200, 10}},   // at the corner node
        {1.0, {95, 30}, false, false, {}},         // beside the left edge, 5 px
        {1.0, {96, 30}, true, true, {100, 30}},    // 4 px
        {2.0, {150, 8}, true, true, {150, 10}},    // 2 units are 4 px
        {2.0, {150, 7}, false, false, {}},         // 6 px
        {1.0, {600, 60}, false, false, {}},        // far from everything
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.Press.re << ", " << row.Press.im << " scale " << row.Scale);
        TPolygonChart chart;
        StartMode(chart, 1, pmAddSubPolygon, row.Scale);
        const int nodes = chart.Nodes.Length();
        EXPECT_FALSE(Press(chart, row.Press.re, row.Press.im));
        ExpectSound(chart);
        EXPECT_EQ(chart.Editing, row.Starts);
        EXPECT_EQ(chart.PickNode >= 0, row.Starts);
        EXPECT_EQ(chart.Nodes.Length(), nodes + (row.NewNode ? 1 : 0));
        if (!row.Starts) {
            EXPECT_TRUE(chart.DrawnPoints.Empty());
            continue;
        }
        EXPECT_EQ(chart.PickBody, 1);
        ASSERT_EQ(chart.DrawnPoints.Length(), 1);
        EXPECT_NEAR(chart.DrawnPoints[0].re, row.Start.re, 1e-9);
        EXPECT_NEAR(chart.DrawnPoints[0].im, row.Start.im, 1e-9);
        EXPECT_EQ(NodePoint(chart.Nodes, chart.PickNode), chart.DrawnPoints[0]);
        EXPECT_EQ(chart.EditPathSeries->Count(), 1);
        EXPECT_EQ(chart.RubberBandSeries->Count(), 2);
        // Leaving the mode takes the inserted node away again.
        chart.ResetEditMode();
        EXPECT_EQ(chart.Nodes.Length(), nodes);
        ExpectSound(chart);
    }
}

// Draws from the top edge of body 1 round to its right side: start at
// (150, 10), then (150, 5), (250, 5), (250, 30).
void DrawPathBesideBody1(TPolygonChart& Chart)
{
    EXPECT_FALSE(Press(Chart, 150, 8));
    EXPECT_FALSE(Press(Chart, 150, 5));
    EXPECT_FALSE(Press(Chart, 250, 5));
    EXPECT_FALSE(Press(Chart, 250, 30));
    ASSERT_EQ(Chart.DrawnPoints.Length(), 4);
}

TEST(PolygonChartAddSubPolygon, FinishOnAnEdgeWithinThreePixels)
{
    struct Row {
        complexM Press;
        bool Finishes;
    };
    const Row rows[] = {
        {{202, 30}, true},   // 2 px from the right edge
        {{202.9, 30}, true}, // 2.9 px
        {{203, 30}, false},  // exactly 3 px
        {{205, 30}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Press.re);
        TPolygonChart chart;
        StartMode(chart, 1, pmAddSubPolygon);
        const int nodes = chart.Nodes.Length();
        DrawPathBesideBody1(chart);
        Move(chart, row.Press.re, row.Press.im);
        EXPECT_EQ(SeriesPoint(*chart.RubberBandSeries, 0), (complexM{250, 30}));
        EXPECT_EQ(SeriesPoint(*chart.RubberBandSeries, 1), row.Press);
        EXPECT_EQ(Press(chart, row.Press.re, row.Press.im, true), row.Finishes);
        ExpectSound(chart);
        if (row.Finishes) {
            // Start, three drawn points, the end on the edge and the corner
            // (200, 10) walked along the outline.
            ASSERT_EQ(chart.Model[1].Length(), 2);
            EXPECT_EQ(chart.Model[1][1].ring.Length(), 6);
            EXPECT_EQ(chart.Nodes.Length(), nodes + 5);
            EXPECT_NEAR(RingArea(chart, 1, 1), 50 * 5 + 50 * 25, 1e-9);
            EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), 2);
            EXPECT_FALSE(chart.Editing);
        } else {
            // Nothing picked: the path stays open.
            EXPECT_TRUE(chart.Editing);
            EXPECT_EQ(chart.DrawnPoints.Length(), 4);
            EXPECT_EQ(chart.Model[1].Length(), 1);
            EXPECT_EQ(chart.Nodes.Length(), nodes + 1);
        }
    }
}

TEST(PolygonChartAddSubPolygon, FinishOnANodeOfTheBody)
{
    TPolygonChart chart;
    StartMode(chart, 1, pmAddSubPolygon);
    DrawPathBesideBody1(chart);
    EXPECT_FALSE(Press(chart, 250, 50));
    // The corner (200, 50) is within reach of its end search.
    EXPECT_TRUE(Press(chart, 201, 51, true));
    ExpectSound(chart);
    ASSERT_EQ(chart.Model[1].Length(), 2);
    EXPECT_NEAR(RingArea(chart, 1, 1), 50 * 5 + 50 * 45, 1e-9);
}

TEST(PolygonChartAddSubPolygon, FinishOnAnotherBodyDoesNothing)
{
    TPolygonChart chart;
    StartMode(chart, 2, pmAddSubPolygon);
    EXPECT_FALSE(Press(chart, 150, 8));
    EXPECT_FALSE(Press(chart, 150, 5));
    EXPECT_FALSE(Press(chart, 300, 5));
    const TModelCopy kept = Keep(chart);
    const int pick = chart.PickNode;
    // Body 2's left edge is at x 350; a node of it at (350, 10).
    for (const complexM& press : {complexM{348, 30}, complexM{351, 9}}) {
        EXPECT_FALSE(Press(chart, press.re, press.im, true));
        ExpectSameModel(chart, kept);
        ExpectSound(chart);
        EXPECT_TRUE(chart.Editing);
        EXPECT_EQ(chart.PickNode, pick);
        EXPECT_EQ(chart.DrawnPoints.Length(), 3);
    }
}

TEST(PolygonChartAddSubPolygon, RefusedPointsAreNotAdded)
{
    TPolygonChart chart;
    StartMode(chart, 2, pmAddSubPolygon);
    EXPECT_FALSE(Press(chart, 150, 8));
    EXPECT_FALSE(Press(chart, 150, 30)); // inside body 1
    EXPECT_FALSE(Press(chart, 400, 30)); // inside body 2
    EXPECT_EQ(chart.DrawnPoints.Length(), 1);
    EXPECT_FALSE(Press(chart, 300, 5));
    EXPECT_FALSE(Press(chart, 300, 60));
    EXPECT_FALSE(Press(chart, 250, 30)); // beside body 1: accepted
    EXPECT_EQ(chart.DrawnPoints.Length(), 4);
    EXPECT_FALSE(Press(chart, 500, 30)); // segment through body 2
    EXPECT_EQ(chart.DrawnPoints.Length(), 4);
    EXPECT_EQ(chart.EditPathSeries->Count(), 4);
    ExpectSound(chart);
}

// Regression: a path started on the frame took points outside the model
// area, and the host medium got a ring outside the section.
TEST(PolygonChartAddSubPolygon, PathPointsOutsideOrOnTheAreaBorderAreRefused)
{
    TAnswering answering(mrYes);
    TPolygonChart chart;
    StartMode(chart, 0, pmAddSubPolygon);
    EXPECT_FALSE(Press(chart, 2, 40)); // on the left edge of the frame
    ASSERT_EQ(chart.PickBody, 0);
    ExpectSound(chart);
    const TModelCopy started = Keep(chart);
    for (const complexM& p : {complexM{-30, 40}, complexM{-30, 80}, complexM{0, 60}, complexM{300, 0},
                              complexM{300, 120}}) {
        SCOPED_TRACE(testing::Message() << p.re << ", " << p.im);
        EXPECT_FALSE(Press(chart, p.re, p.im));
        EXPECT_EQ(chart.DrawnPoints.Length(), 1);
        EXPECT_EQ(chart.EditPathSeries->Count(), 1);
        EXPECT_TRUE(chart.Editing);
        ExpectSameModel(chart, started);
        ExpectSound(chart);
    }
    // Drawing goes on inside the area.
    EXPECT_FALSE(Press(chart, 300, 40));
    EXPECT_EQ(chart.DrawnPoints.Length(), 2);
    ExpectSound(chart);
    EXPECT_TRUE(Press(chart, 300, 99, true)); // on the bottom edge
    ExpectSound(chart);
    ASSERT_EQ(chart.Model[0].Length(), 2);
    for (int n : chart.Model[0][1].ring) {
        EXPECT_GE(chart.Nodes[n].x, 0.0);
        EXPECT_LE(chart.Nodes[n].x, 1000.0);
        EXPECT_GE(chart.Nodes[n].y, 0.0);
        EXPECT_LE(chart.Nodes[n].y, 100.0);
    }
}

TEST(PolygonChartAddSubPolygon, RefusedRingRestoresTheModelAndEndsTheEdit)
{
    TPolygonChart chart;
    StartMode(chart, 2, pmAddSubPolygon);
    const TModelCopy kept = Keep(chart);
    // A path round body 2 back to body 1's right side encloses body 2.
    EXPECT_FALSE(Press(chart, 150, 8));
    EXPECT_FALSE(Press(chart, 150, 5));
    EXPECT_FALSE(Press(chart, 500, 5));
    EXPECT_FALSE(Press(chart, 500, 60));
    EXPECT_FALSE(Press(chart, 250, 60));
    ASSERT_EQ(chart.DrawnPoints.Length(), 5);
    EXPECT_FALSE(Press(chart, 202, 30, true));
    ExpectSameModel(chart, kept);
    ExpectSound(chart);
    EXPECT_FALSE(chart.Editing);
    EXPECT_TRUE(chart.DrawnPoints.Empty());
    EXPECT_EQ(chart.PickNode, -1);
    EXPECT_EQ(chart.EditPathSeries->Count(), 0);
    EXPECT_EQ(chart.RubberBandSeries->Count(), 0);
}

TEST(PolygonChartAddSubPolygon, LastSegmentToAnEndNodeMustNotCrossABody)
{
    // Regression: a path finished on a node was closed without testing its
    // last segment, so the new ring could run through another body.
    struct Row {
        const char* Name;
        std::vector<complexM> Path; // the start press, then the drawn points
        complexM End;
    };
    const Row rows[] = {
        // Under both bodies, back up through body 2's top strip to (200, 10).
        {"through body 2", {{150, 52}, {150, 60}, {600, 60}, {600, 15}}, {201, 9}},
        // From (50, 5) to the corner (200, 50) through body 1's left side.
        {"through its own body", {{150, 8}, {150, 5}, {50, 5}}, {201, 51}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TPolygonChart chart;
        StartMode(chart, 2, pmAddSubPolygon);
        const TModelCopy kept = Keep(chart);
        for (const complexM& p : row.Path)
            EXPECT_FALSE(Press(chart, p.re, p.im));
        EXPECT_EQ(chart.DrawnPoints.Length(), static_cast<int>(row.Path.size()));
        EXPECT_FALSE(Press(chart, row.End.re, row.End.im, true));
        ExpectSameModel(chart, kept);
        ExpectSound(chart);
        EXPECT_FALSE(chart.Editing);
    }
}

TEST(PolygonChartAddSubPolygon, DoAddSubPolygonRefusalRestoresTheBackup)
{
    TPolygonChart chart;
    StartMode(chart, 2, pmAddSubPolygon);
    const TModelCopy kept = Keep(chart);
    // Corners of body 1: (200, 10) and (200, 50).
    int top = -1, bottom = -1;
    for (int n : chart.Model[1][0].ring) {
        if (NodePoint(chart.Nodes, n) == complexM{200, 10})
            top = n;
        if (NodePoint(chart.Nodes, n) == complexM{200, 50})
            bottom = n;
    }
    ASSERT_GE(top, 0);
    ASSERT_GE(bottom, 0);
    // A ring round body 2 is refused by the model after it grew the arrays.
    EXPECT_FALSE(chart.DoAddSubPolygon(top, bottom, {{200, 10}, {300, 5}, {500, 5}, {500, 60}, {200, 50}}, 1));
    ExpectSameModel(chart, kept);
    ExpectSound(chart);
    // Start and end the same node, nodes or body outside the model.
    EXPECT_FALSE(chart.DoAddSubPolygon(top, top, {{200, 10}, {300, 5}, {200, 10}}, 1));
    EXPECT_FALSE(chart.DoAddSubPolygon(top, chart.Nodes.Length(), {{200, 10}, {300, 5}}, 1));
    EXPECT_FALSE(chart.DoAddSubPolygon(top, bottom, {{200, 10}, {300, 5}}, chart.Model.Length()));
    EXPECT_FALSE(chart.DoDividePolygon(top, -1, 1));
    ExpectSameModel(chart, kept);
    ExpectSound(chart);
    // The same path beside body 1 only is a ring of it.
    EXPECT_TRUE(chart.DoAddSubPolygon(top, bottom, {{200, 10}, {300, 5}, {300, 60}, {200, 50}}, 1));
    ExpectSound(chart);
    EXPECT_EQ(chart.Model[1].Length(), 2);
}

TEST(PolygonChartAddSubPolygon, RightPressWithNothingPickedStartsAndFailsAtOnce)
{
    // Rows: on an edge (a node is inserted), on a node.
    for (const complexM& press : {complexM{150, 8}, complexM{201, 9}}) {
        TPolygonChart chart;
        StartMode(chart, 1, pmAddSubPolygon);
        const TModelCopy kept = Keep(chart);
        EXPECT_FALSE(Press(chart, press.re, press.im, true));
        ExpectSameModel(chart, kept);
        ExpectSound(chart);
        EXPECT_FALSE(chart.Editing);
        EXPECT_EQ(chart.PickNode, -1);
    }
}

TEST(PolygonChartAddSubPolygon, EdgeSharedByTwoRingsCannotStartOrEnd)
{
    // Body 1 as a 2 x 2 grid of squares round a centre node (150, 30): the
    // edges at the centre are used by two rings each.
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 0);
    auto node = [&](double x, double y) {
        chart.Nodes.Add(Tnode{x, y, 0, 0, 0});
        return chart.Nodes.High();
    };
    int grid[3][3];
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            grid[row][col] = node(100 + 50 * col, 10 + 20 * row);
    SPolygon body;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col) {
            Polygon ring;
            ring.ring = {grid[row][col], grid[row][col + 1], grid[row + 1][col + 1], grid[row + 1][col]};
            if (RingIsClockwise(ring.ring, chart.Nodes))
                std::reverse(ring.ring.begin(), ring.ring.end());
            ring.params = DefaultParameters;
            body.Add(ring);
        }
    chart.Model.Add(body);
    UpdateBodySharing(1, chart.Model, chart.Nodes);
    chart.RebuildMapSeries();
    chart.TakeBackup();
    chart.EditMode = pmAddSubPolygon;
    chart.ResetEditMode();
    chart.ScaleX = chart.ScaleY = 1.0;
    ExpectSound(chart);
    ASSERT_EQ(chart.Nodes[grid[1][1]].sharing, nsInner);

    const TModelCopy kept = Keep(chart);
    // Beside the inner edge from (150, 10) to the centre, far from the outline.
    EXPECT_FALSE(Press(chart, 151, 24));
    EXPECT_FALSE(chart.Editing);
    ExpectSameModel(chart, kept);
    // The dividing mode does see the inner edge.
    chart.EditMode = pmDividePolygon;
    chart.ResetEditMode();
    chart.ScaleX = chart.ScaleY = 1.0;
    EXPECT_FALSE(Press(chart, 151, 24));
    EXPECT_TRUE(chart.Editing);
    ExpectSound(chart);
}

TEST(PolygonChartAddSubPolygon, HostMediumAsksAndNoGivesTheOtherRing)
{
    // Rows: the answer. Which ring the path closes first follows from the
    // model's outline walk; No always gives the other one, Yes and a dialog
    // closed otherwise keep the first.
    double firstArea = 0.0;
    for (int answer : {mrYes, mrCancel, mrNo}) {
        SCOPED_TRACE(answer);
        TAnswering answering(answer);
        TPolygonChart chart;
        StartMode(chart, 0, pmAddSubPolygon);
        const int nodes = chart.Nodes.Length();
        EXPECT_FALSE(Press(chart, 2, 40)); // on the left edge of the frame
        EXPECT_EQ(chart.PickBody, 0);
        EXPECT_FALSE(Press(chart, 300, 40));
        EXPECT_TRUE(Press(chart, 300, 99, true)); // on the bottom edge
        ASSERT_EQ(answering.Requests.size(), 1u);
        EXPECT_EQ(answering.Requests[0].Text, QStringLiteral("Correct polygon?"));
        EXPECT_EQ(answering.Requests[0].Buttons, static_cast<TMsgDlgButtons>(mbYes | mbNo));
        ExpectSound(chart);
        ASSERT_EQ(chart.Model[0].Length(), 2);
        EXPECT_EQ(chart.Nodes.Length(), nodes + 3);
        const double area = RingArea(chart, 0, 1);
        if (answer == mrYes) {
            firstArea = area;
            EXPECT_TRUE(area == 300.0 * 60.0 || area == 1000.0 * 100.0 - 300.0 * 60.0) << area;
        } else if (answer == mrCancel) {
            EXPECT_DOUBLE_EQ(area, firstArea);
        } else {
            EXPECT_DOUBLE_EQ(area + firstArea, 1000.0 * 100.0);
        }
        // The path's nodes: the two on the frame know their border.
        struct Expected {
            complexM Point;
            int Border;
        };
        for (const Expected& expected : {Expected{{0, 40}, bkLeft}, Expected{{300, 100}, bkBottom},
                                         Expected{{300, 40}, bkNone}}) {
            int found = 0;
            for (int n : chart.Model[0][1].ring)
                if (NodePoint(chart.Nodes, n) == expected.Point) {
                    ++found;
                    EXPECT_EQ(chart.Nodes[n].border, expected.Border);
                }
            EXPECT_EQ(found, 1);
        }
    }
}

// --- pmDividePolygon ---------------------------------------------------------------

TEST(PolygonChartDividePolygon, DivideBetweenTwoBoundaryPoints)
{
    struct Row {
        const char* Name;
        complexM Start, End;
        double AreaOfFirst; // one of the two pieces
        int NewNodes;
    };
    const Row rows[] = {
        {"edge to edge", {150, 11}, {150, 48}, 50 * 40, 2},
        {"corner to corner", {101, 11}, {199, 49}, 100 * 40 / 2, 0},
        {"edge to corner", {150, 8}, {200.5, 50.5}, 50 * 40 / 2, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TPolygonChart chart;
        StartMode(chart, 2, pmDividePolygon);
        const int nodes = chart.Nodes.Length();
        EXPECT_FALSE(Press(chart, row.Start.re, row.Start.im));
        EXPECT_TRUE(chart.Editing);
        EXPECT_EQ(chart.PickBody, 1);
        EXPECT_EQ(chart.RubberBandSeries->Count(), 2);
        Move(chart, row.End.re, row.End.im);
        EXPECT_EQ(SeriesPoint(*chart.RubberBandSeries, 1), row.End);
        EXPECT_TRUE(Press(chart, row.End.re, row.End.im, true));
        ExpectSound(chart);
        ASSERT_EQ(chart.Model[1].Length(), 2);
        EXPECT_EQ(chart.Nodes.Length(), nodes + row.NewNodes);
        const double a = RingArea(chart, 1, 0);
        const double b = RingArea(chart, 1, 1);
        EXPECT_NEAR(a + b, 100 * 40, 1e-9);
        EXPECT_NEAR(std::min(a, b), row.AreaOfFirst, 1e-9);
        EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), 3);
        EXPECT_FALSE(chart.Editing);
    }
}

TEST(PolygonChartDividePolygon, RefusedDivisionRestoresTheModelAndEndsTheEdit)
{
    struct Row {
        const char* Name;
        complexM Start, End;
    };
    const Row rows[] = {
        {"along a side", {101, 11}, {199, 11}},
        {"start and end in one place", {150, 11}, {150, 11}},
        {"edge to the neighbouring corner", {150, 11}, {199, 9}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TPolygonChart chart;
        StartMode(chart, 1, pmDividePolygon);
        const TModelCopy kept = Keep(chart);
        EXPECT_FALSE(Press(chart, row.Start.re, row.Start.im));
        EXPECT_FALSE(Press(chart, row.End.re, row.End.im, true));
        ExpectSameModel(chart, kept);
        ExpectSound(chart);
        EXPECT_FALSE(chart.Editing);
        EXPECT_EQ(chart.PickNode, -1);
        EXPECT_EQ(chart.RubberBandSeries->Count(), 0);
    }
}

TEST(PolygonChartDividePolygon, RightPressWithNothingPickedTriesAtOnce)
{
    for (const complexM& press : {complexM{150, 11}, complexM{101, 11}}) {
        TPolygonChart chart;
        StartMode(chart, 1, pmDividePolygon);
        const TModelCopy kept = Keep(chart);
        EXPECT_FALSE(Press(chart, press.re, press.im, true));
        ExpectSameModel(chart, kept);
        ExpectSound(chart);
        EXPECT_FALSE(chart.Editing);
    }
}

TEST(PolygonChartDividePolygon, EndOnAnotherBodyOrFarAwayDoesNothing)
{
    TPolygonChart chart;
    StartMode(chart, 2, pmDividePolygon);
    EXPECT_FALSE(Press(chart, 150, 11));
    const TModelCopy kept = Keep(chart);
    const int pick = chart.PickNode;
    for (const complexM& press : {complexM{400, 11}, complexM{351, 11}, complexM{150, 30}, complexM{150, 14}}) {
        EXPECT_FALSE(Press(chart, press.re, press.im, true));
        ExpectSameModel(chart, kept);
        ExpectSound(chart);
        EXPECT_TRUE(chart.Editing);
        EXPECT_EQ(chart.PickNode, pick);
    }
    // A start press 3 px or more from every edge picks nothing.
    for (double y : {30.0, 13.0, 7.0}) {
        TPolygonChart other;
        StartMode(other, 1, pmDividePolygon);
        EXPECT_FALSE(Press(other, 150, y));
        EXPECT_FALSE(other.Editing);
        EXPECT_EQ(other.PickNode, -1);
    }
}

TEST(PolygonChartDividePolygon, HoverMarksTheNodeOrTheEdgeAPressWouldPick)
{
    struct Row {
        complexM Cursor;
        int Marks;
    };
    const Row rows[] = {
        {{101, 11}, 1},  // the corner node
        {{150, 12}, 2},  // the top edge: its two nodes
        {{150, 13}, 0},  // 3 px: nothing
        {{150, 30}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Cursor.im);
        TPolygonChart chart;
        StartMode(chart, 1, pmDividePolygon);
        Move(chart, row.Cursor.re, row.Cursor.im);
        EXPECT_EQ(chart.EditPathSeries->Count(), row.Marks);
        EXPECT_FALSE(chart.Editing);
        ExpectSound(chart);
    }
}

TEST(PolygonChartDividePolygon, DividingAHostSubPolygonSetsBorderKinds)
{
    TAnswering answering(mrYes);
    TPolygonChart chart;
    StartMode(chart, 0, pmAddSubPolygon);
    EXPECT_FALSE(Press(chart, 2, 40));
    EXPECT_FALSE(Press(chart, 300, 40));
    ASSERT_TRUE(Press(chart, 300, 99, true));
    // Keep the small ring whichever the first answer gave.
    if (RingArea(chart, 0, 1) > 300 * 60 + 1) {
        chart.Undo();
        TAnswering no(mrNo);
        chart.EditMode = pmAddSubPolygon;
        chart.ResetEditMode();
        chart.ScaleX = chart.ScaleY = 1.0;
        EXPECT_FALSE(Press(chart, 2, 40));
        EXPECT_FALSE(Press(chart, 300, 40));
        ASSERT_TRUE(Press(chart, 300, 99, true));
    }
    ASSERT_NEAR(RingArea(chart, 0, 1), 300 * 60, 1e-9);

    chart.EditMode = pmDividePolygon;
    chart.ResetEditMode();
    chart.ScaleX = chart.ScaleY = 1.0;
    EXPECT_FALSE(Press(chart, 1, 70));
    EXPECT_TRUE(Press(chart, 150, 99, true));
    ExpectSound(chart);
    ASSERT_EQ(chart.Model[0].Length(), 3);
    const Tnode& left = chart.Nodes[chart.Nodes.High() - 1];
    const Tnode& bottom = chart.Nodes.Last();
    EXPECT_EQ(left.x, 0.0);
    EXPECT_EQ(left.border, bkLeft);
    EXPECT_EQ(bottom.y, 100.0);
    EXPECT_EQ(bottom.border, bkBottom);
    EXPECT_NEAR(RingArea(chart, 0, 1) + RingArea(chart, 0, 2), 300 * 60, 1e-9);
}

TEST(PolygonChartDrawModes, OtherPhasesDoNothing)
{
    for (TPolygonEditMode mode : {pmAddPolygon, pmAddSubPolygon, pmDividePolygon}) {
        TPolygonChart chart;
        StartMode(chart, 1, mode);
        const TModelCopy kept = Keep(chart);
        EXPECT_FALSE(chart.EditStep(mode, 2, 150, 11, true));
        EXPECT_FALSE(chart.Editing);
        ExpectSameModel(chart, kept);
    }
}

} // namespace
} // namespace lp
