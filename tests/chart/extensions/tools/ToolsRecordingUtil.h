#pragma once
// The chart the tool tests drive: (0, 0)-(400, 200) on a recording device,
// X 0 .. 4 across (100 pixels a unit), Y 0 .. 100 up (2 pixels a unit),
// with mouse helpers and the lines drawn since the last ClearCalls.

#include "chart/engine/PlotTools.h"
#include "tests/chart/engine/EngineTestUtil.h"

#include <initializer_list>
#include <utility>

namespace lp::test {

struct TRecordingToolChart : TFixedAxesChart {
    explicit TRecordingToolChart(bool Is3D = false) : TFixedAxesChart(Is3D, 4, 100) {}

    template <class T> T* AddTool()
    {
        auto* Tool = new T(&Chart);
        Chart.Tools().Add(Tool);
        return Tool;
    }
    TChartSeries* AddPoints(std::initializer_list<std::pair<double, double>> Points)
    {
        auto* S = new TChartSeries(&Chart);
        Chart.AddSeries(S);
        for (const auto& [X, Y] : Points)
            S->AddXY(X, Y);
        Layout();
        return S;
    }
    static void Press(TPlotCustomTool& Tool, int X, int Y, TMouseButton Button = mbLeft)
    {
        Tool.ChartMouseEvent(cmeDown, Button, {}, X, Y);
    }
    static void Move(TPlotCustomTool& Tool, int X, int Y) { Tool.ChartMouseEvent(cmeMove, mbLeft, {}, X, Y); }
    static void Release(TPlotCustomTool& Tool, int X, int Y) { Tool.ChartMouseEvent(cmeUp, mbLeft, {}, X, Y); }

    // Each MoveTo/LineTo pair as "Line(x0,y0,x1,y1)"; rectangles, ellipses
    // and polygons as recorded.
    QStringList Drawn() const { return DrawnCalls({"Polygon(", "Rectangle(", "Ellipse("}); }
    QStringList Calls(const char* Prefix) const { return DC.CallsStartingWith(QLatin1String(Prefix)); }
};


} // namespace lp::test
