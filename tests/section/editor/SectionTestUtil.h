#pragma once
// Models for the section editor tests.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"
#include "section/editor/PolygonChart.h"

#include <gtest/gtest.h>

#include <utility>

namespace lp {

// Expects the chart's top axis to show the bottom axis' distances and its
// right axis the left axis' depths: the same range and every value at the
// same pixel. The chart must have been painted at its present size.
inline void ExpectAxesPaired(const TPolygonChart& Chart, const char* Step)
{
    const std::pair<const TChartAxis*, const TChartAxis*> pairs[] = {{Chart.BottomAxis(), Chart.TopAxis()},
                                                                     {Chart.LeftAxis(), Chart.RightAxis()}};
    for (const auto& [first, second] : pairs) {
        EXPECT_EQ(second->Minimum(), first->Minimum()) << Step;
        EXPECT_EQ(second->Maximum(), first->Maximum()) << Step;
        for (int part = 0; part <= 4; ++part) {
            const double value = first->Minimum() + (first->Maximum() - first->Minimum()) * part / 4;
            EXPECT_EQ(second->CalcPosValue(value), first->CalcPosValue(value)) << Step << " at " << value;
        }
    }
}

struct TSectionFixture {
    // A new 1000 x 100 model with Count square bodies: body k (1 .. 4) spans
    // x 100 + 250 (k - 1) .. 200 + 250 (k - 1), y 10 .. 50; further bodies
    // are small squares in rows below them.
    static void AddBodies(TPolygonChart& Chart, int Count)
    {
        Chart.NewModel({}, false, 0, 1000, 0, 100);
        AppendBodies(Chart, Count);
    }

    static void AppendBodies(TPolygonChart& Chart, int Count, double Top = 10, double Bottom = 50)
    {
        const int first = Chart.Model.Length() - 1;
        for (int k = first; k < first + Count; ++k) {
            const int extra = k - 4;
            const double left = extra < 0 ? 100 + 250.0 * k : 5 + 20.0 * (extra % 45);
            const double right = extra < 0 ? left + 100 : left + 10;
            const double top = extra < 0 ? Top : 55 + 8.0 * (extra / 45);
            const double bottom = extra < 0 ? Bottom : top + 5;
            arofcomplexM square{{left, top}, {right, top}, {right, bottom}, {left, bottom}};
            ASSERT_TRUE(AddPolygon(square, Chart.Model, Chart.Nodes));
        }
        Chart.RebuildMapSeries();
        Chart.TakeBackup();
    }
};

// Drives the editing modes through EditStep with a scale of one pixel per
// model unit, checking the model after every step.
class TEditingFixture : public ::testing::Test {
protected:
    TPolygonChart chart;

    void SetMode(TPolygonEditMode Mode)
    {
        chart.EditMode = Mode;
        chart.ResetEditMode();
        chart.ScaleX = chart.ScaleY = 1.0;
    }

    void ExpectSound() const
    {
        for (const std::string& fault : CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea))
            ADD_FAILURE() << fault;
    }

    // While a node, ring or body is dragged the model may cross itself;
    // the drop checks it.
    bool Dragging() const
    {
        return chart.Editing &&
               (chart.EditMode == pmMoveNode || chart.EditMode == pmMoveSubPolygon || chart.EditMode == pmMovePolygon);
    }

    void Move(double X, double Y)
    {
        chart.CursorX = X;
        chart.CursorY = Y;
        chart.CursorPoint = complexM{X, Y};
        EXPECT_FALSE(chart.EditStep(chart.EditMode, 1, X, Y, false));
        if (!Dragging())
            ExpectSound();
    }

    // A press at the last move's position; a finished right press is
    // recorded as the mouse handler records it.
    bool Press(bool Right)
    {
        const bool finished = chart.EditStep(chart.EditMode, 0, chart.CursorX, chart.CursorY, Right);
        if (finished) {
            EXPECT_TRUE(Right);
            chart.TakeBackup();
            chart.PushUndo();
            chart.ClearEditState();
        }
        ExpectSound();
        return finished;
    }

    int NodeAt(double X, double Y) const
    {
        for (int i = 0; i < chart.Nodes.Length(); ++i)
            if (chart.Nodes[i].x == X && chart.Nodes[i].y == Y)
                return i;
        return -1;
    }
};

} // namespace lp
