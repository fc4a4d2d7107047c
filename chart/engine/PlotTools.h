#pragma once
// Chart tools: chart elements that are not series. They hook into the
// chart's paint sequence (ChartEvent) and mouse handling (ChartMouseEvent)
// to draw or react.
//
//   TPlotCustomTool (TCustomChartElement)
//     ├─ TPlotCustomToolSeries   bound to one series (free-notified)
//     └─ TPlotCustomToolAxis     bound to one axis ("AxisID" when stored)
//   TChartTools                  a chart's tools in the order they joined
//
// Paint-sequence codes of ChartEvent: 2 before anything is drawn, 3 before
// the axes, 1 before the series, 4 after the series, 0 after the whole
// chart; 5 when the mouse leaves the chart.

#include "chart/engine/PlotEngine.h"

#include <QtCore/QPointer>

#include <vector>

namespace lp {

class TChartAxis;

enum TChartToolEvent : int {
    cteAfterDraw = 0,
    cteBeforeDrawSeries = 1,
    cteBeforeDraw = 2,
    cteBeforeDrawAxes = 3,
    cteAfterDrawSeries = 4,
    cteMouseLeave = 5,
};

enum TChartMouseEvent : int { cmeDown = 0, cmeMove = 1, cmeUp = 2 };

class TPlotCustomTool : public TCustomChartElement {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_CLASSINFO("default:Active", "true")

public:
    explicit TPlotCustomTool(TComponent* AOwner = nullptr);
    ~TPlotCustomTool() override;

    // Leaves the old chart's tools list (invalidating it when the new chart
    // is none) and joins the new one's.
    void SetParentChart(TCustomAxisPanel* Value) override;

    // A stage of the chart's paint sequence or the mouse leaving it.
    virtual void ChartEvent(int Event) { (void)Event; }
    // A mouse press (0), move (1) or release (2) over the chart.
    virtual void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y);
    // The display name of the tool type.
    virtual QString Description() const { return {}; }

    // Drawing after the series (event 4) instead of before them (event 1).
    bool DrawInFront() const { return FDrawInFront; }
    void SetDrawInFront(bool Value) { FDrawInFront = Value; }

private:
    bool FDrawInFront = false;
};

class TPlotCustomToolSeries : public TPlotCustomTool {
    Q_OBJECT
public:
    explicit TPlotCustomToolSeries(TComponent* AOwner = nullptr);
    ~TPlotCustomToolSeries() override;

    QString GetEditorClassName() const override { return QStringLiteral("TSeriesToolEditor"); }
    TChartSeries* Series() const { return FSeries; }
    virtual void SetSeries(TChartSeries* Value);
    // The series' axes; without a series the chart's bottom (or top) and
    // left (or right) axis that active series use.
    TChartAxis* GetHorizAxis() const;
    TChartAxis* GetVertAxis() const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TChartSeries* FSeries = nullptr;
};

class TPlotCustomToolAxis : public TPlotCustomTool {
    Q_OBJECT
public:
    explicit TPlotCustomToolAxis(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TAxisToolEditor"); }
    TChartAxis* Axis() const { return FAxis.data(); }
    // The tool moves to the axis' chart (none without an axis).
    virtual void SetAxis(TChartAxis* Value);
    // "AxisID": the axis' index in the chart's axes list, when set; an
    // index read that names no axis of the chart raises.
    void DefineProperties(TFiler& Filer) override;

private:
    // Cleared by the axis' own destruction.
    QPointer<TChartAxis> FAxis;
};

// A chart's tools; observes them (their owner component frees them).
class TChartTools {
public:
    explicit TChartTools(TCustomAxisPanel* AChart) : FChart(AChart) {}
    TChartTools(const TChartTools&) = delete;
    TChartTools& operator=(const TChartTools&) = delete;

    TCustomAxisPanel* Chart() const { return FChart; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TPlotCustomTool* Items(int Index) const;
    TPlotCustomTool* GetTool(int Index) const { return Items(Index); }
    TPlotCustomTool* operator[](int Index) const { return Items(Index); }
    int IndexOf(const TPlotCustomTool* Tool) const;
    // Puts Tool on the chart; returns it.
    TPlotCustomTool* Add(TPlotCustomTool* Tool);
    void Exchange(int A, int B);
    // Frees every tool (each leaves the list as it goes).
    void Clear();

    // The list's own bookkeeping, called by the tools.
    void InternalAdd(TPlotCustomTool* Tool);
    void InternalRemove(const TPlotCustomTool* Tool);

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    TCustomAxisPanel* FChart;
    std::vector<TPlotCustomTool*> FItems;
};

} // namespace lp
