#pragma once
// The Gantt drag tool: the user moves the bars of a Gantt series along the
// horizontal axis and stretches either end of a bar, with cursors showing
// what a press would do. A press within MinPixels of a bar end grabs that
// end; elsewhere on a bar it grabs the whole bar, and a grabbing press
// starts no zoom or scroll of the chart. An end never passes the
// other: the bar shrinks to zero length at most.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

#include <functional>

namespace lp {

class TGanttSeries;

class TGanttTool : public TPlotCustomToolSeries {
    Q_OBJECT
public:
    enum TGanttToolBarPart { pbStart, pbAll, pbEnd };
    Q_ENUM(TGanttToolBarPart)

private:
    Q_PROPERTY(bool AllowDrag READ AllowDrag WRITE SetAllowDrag)
    Q_CLASSINFO("default:AllowDrag", "true")
    Q_PROPERTY(bool AllowResize READ AllowResize WRITE SetAllowResize)
    Q_CLASSINFO("default:AllowResize", "true")
    Q_PROPERTY(int CursorDrag READ CursorDrag WRITE SetCursorDrag)
    Q_CLASSINFO("default:CursorDrag", "-21")
    Q_PROPERTY(int CursorResize READ CursorResize WRITE SetCursorResize)
    Q_CLASSINFO("default:CursorResize", "-9")
    Q_PROPERTY(int MinPixels READ MinPixels WRITE SetMinPixels)
    Q_CLASSINFO("default:MinPixels", "5")
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)

public:
    using TGanttDragEvent = std::function<void(TGanttTool* Sender, int GanttBar)>;
    using TGanttResizeEvent = std::function<void(TGanttTool* Sender, int GanttBar, TGanttToolBarPart BarPart)>;

    explicit TGanttTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TGanttToolEditor"); }
    // "Gantt Drag".
    QString Description() const override;

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value) { FAllowDrag = Value; }
    bool AllowResize() const { return FAllowResize; }
    void SetAllowResize(bool Value) { FAllowResize = Value; }
    TCursor CursorDrag() const { return FCursorDrag; }
    void SetCursorDrag(TCursor Value) { FCursorDrag = Value; }
    TCursor CursorResize() const { return FCursorResize; }
    void SetCursorResize(TCursor Value) { FCursorResize = Value; }
    int MinPixels() const { return FMinPixels; }
    void SetMinPixels(int Value) { FMinPixels = Value; }

    // Series as a Gantt series; null for any other series.
    TGanttSeries* Gantt() const;
    // The bar end within MinPixels of (X, Y): true with its bar and part.
    bool EndUnder(int X, int Y, int& Bar, TGanttToolBarPart& Part) const;
    // The grabbed bar (-1 for none) and part.
    int GrabbedBar() const { return FBar; }
    TGanttToolBarPart GrabbedPart() const { return FPart; }

    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TGanttDragEvent OnDragBar;
    TGanttResizeEvent OnResizeBar;

private:
    void Grab(int X, int Y);
    void MoveGrabbed(int X);
    void ShowCursor(int X, int Y);
    double AxisValue(int X) const;

    bool FAllowDrag = true;
    bool FAllowResize = true;
    TCursor FCursorDrag = crHandPoint;
    TCursor FCursorResize = crSizeWE;
    int FMinPixels = 5;
    int FBar = -1;
    TGanttToolBarPart FPart = pbAll;
    double FLastValue = 0;
};

using TGanttToolBarPart = TGanttTool::TGanttToolBarPart;
inline constexpr TGanttToolBarPart pbStart = TGanttTool::pbStart;
inline constexpr TGanttToolBarPart pbAll = TGanttTool::pbAll;
inline constexpr TGanttToolBarPart pbEnd = TGanttTool::pbEnd;

void RegisterGanttTool();
void UnregisterGanttTool();

} // namespace lp
