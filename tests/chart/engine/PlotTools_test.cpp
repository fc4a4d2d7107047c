// Tools: joining and leaving charts, series and axis bindings, events.

#include "chart/engine/PlotTools.h"

#include "EngineTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TTestChart;

// Records the paint-sequence events it receives.
class TEventTool : public TPlotCustomTool {
public:
    using TPlotCustomTool::TPlotCustomTool;
    void ChartEvent(int Event) override { Events.push_back(Event); }
    void ChartMouseEvent(int Kind, TMouseButton, TShiftState, int X, int Y) override
    {
        Mouse.push_back({Kind, X, Y});
    }
    std::vector<int> Events;
    struct TMouse {
        int Kind;
        int X;
        int Y;
        bool operator==(const TMouse&) const = default;
    };
    std::vector<TMouse> Mouse;
};

TEST(ChartTools, ToolsJoinAndLeaveTheirChart)
{
    TTestChart First;
    TTestChart Second;
    auto* Tool = new TEventTool(&First);
    First.Tools().Add(Tool);
    EXPECT_EQ(First.Tools().Count(), 1);
    EXPECT_EQ(First.Tools().GetTool(0), Tool);
    Tool->SetParentChart(&Second);
    EXPECT_EQ(First.Tools().Count(), 0);
    EXPECT_EQ(Second.Tools().IndexOf(Tool), 0);
    delete Tool;
    EXPECT_EQ(Second.Tools().Count(), 0);
    EXPECT_THROW(Second.Tools().Items(0), ERangeError);
}

TEST(ChartTools, OnlyActiveToolsHearEventsInListOrder)
{
    TTestChart Chart;
    auto* A = new TEventTool(&Chart);
    auto* B = new TEventTool(&Chart);
    Chart.Tools().Add(A);
    Chart.Tools().Add(B);
    B->SetActive(false);
    Chart.BroadcastToolEvent(cteBeforeDraw);
    Chart.BroadcastToolMouseEvent(cmeMove, mbLeft, {}, 3, 4);
    Chart.MouseLeave();
    EXPECT_EQ(A->Events, (std::vector<int>{cteBeforeDraw, cteMouseLeave}));
    EXPECT_EQ(A->Mouse, (std::vector<TEventTool::TMouse>{{cmeMove, 3, 4}}));
    EXPECT_TRUE(B->Events.empty());
    Chart.Tools().Exchange(0, 1);
    EXPECT_EQ(Chart.Tools()[0], B);
}

TEST(ChartTools, TheChartFreesItsTools)
{
    QPointer<TEventTool> Tool;
    {
        TTestChart Chart;
        Tool = new TEventTool(&Chart);
        Chart.Tools().Add(Tool);
    }
    EXPECT_TRUE(Tool.isNull());
}

TEST(ChartSeriesTool, TheSeriesIsForgottenWhenItGoes)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    TPlotCustomToolSeries Tool;
    Tool.SetParentChart(&Chart);
    Tool.SetSeries(Series);
    EXPECT_EQ(Tool.GetHorizAxis(), Chart.BottomAxis());
    Series->SetVertAxis(aRightAxis);
    EXPECT_EQ(Tool.GetVertAxis(), Chart.RightAxis());
    delete Series;
    EXPECT_EQ(Tool.Series(), nullptr);
    EXPECT_EQ(Tool.GetEditorClassName(), "TSeriesToolEditor");
}

TEST(ChartSeriesTool, WithoutASeriesTheUsedAxesAnswer)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->SetVertAxis(aRightAxis);
    Series->SetHorizAxis(aTopAxis);
    TPlotCustomToolSeries Tool;
    Tool.SetParentChart(&Chart);
    EXPECT_EQ(Tool.GetVertAxis(), Chart.RightAxis());
    EXPECT_EQ(Tool.GetHorizAxis(), Chart.TopAxis());
    Series->SetActive(false);
    EXPECT_EQ(Tool.GetVertAxis(), Chart.LeftAxis());
}

TEST(ChartAxisTool, TheAxisPicksTheChartAndIsStoredByIndex)
{
    TTestChart Chart;
    TPlotCustomToolAxis Tool;
    EXPECT_EQ(Tool.GetEditorClassName(), "TAxisToolEditor");
    Tool.SetAxis(Chart.RightAxis());
    EXPECT_EQ(Tool.ParentChart(), &Chart);
    TPropertyDefinitions Written;
    Tool.DefineProperties(Written);
    ASSERT_NE(Written.Find("AxisID"), nullptr);
    EXPECT_TRUE(Written.Find("AxisID")->HasData);
    const int Index = Written.Find("AxisID")->WriteValue().toInt();
    EXPECT_EQ(Index, 3);

    TPlotCustomToolAxis Restored;
    Restored.SetParentChart(&Chart);
    TPropertyDefinitions Read;
    Restored.DefineProperties(Read);
    EXPECT_FALSE(Read.Find("AxisID")->HasData);
    Read.Find("AxisID")->ReadValue(Index);
    EXPECT_EQ(Restored.Axis(), Chart.RightAxis());

    auto* Custom = static_cast<TChartAxis*>(Chart.CustomAxes().Add());
    Restored.SetAxis(Custom);
    Chart.CustomAxes().Delete(0);
    EXPECT_EQ(Restored.Axis(), nullptr);
    Restored.SetAxis(Chart.LeftAxis());
    Restored.SetAxis(nullptr);
    EXPECT_EQ(Restored.ParentChart(), nullptr);
}

} // namespace
} // namespace lp
