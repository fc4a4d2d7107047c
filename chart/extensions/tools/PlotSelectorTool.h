#pragma once
// The selector tool: a click selects a part of the chart (an annotation
// first, else what the chart reports under the point: legend, axis, series
// point or mark, a title, the chart area) and marks it with small square
// handles drawn after the chart (event 0). A selected framed shape (legend,
// titles, an annotation's shape) follows the mouse; with AllowResizeChart a
// press near the control's bottom-right corner resizes the whole chart.
//
// Idle → press → dragging (a shape was selected and AllowDrag) or
// resizing (corner) → release → idle; the selection stays.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/tools/PlotAnnotationTool.h"

#include <QtCore/QPointer>

#include <functional>

namespace lp {

class TChartWall;
class TPlotCustomShapePosition;

class TSelectorTool : public TPlotCustomTool {
    Q_OBJECT
    Q_PROPERTY(bool AllowDrag READ AllowDrag WRITE SetAllowDrag)
    Q_CLASSINFO("default:AllowDrag", "true")
    Q_PROPERTY(bool AllowResizeChart READ AllowResizeChart WRITE SetAllowResizeChart)
    Q_CLASSINFO("default:AllowResizeChart", "false")
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(int HandleSize READ HandleSize WRITE SetHandleSize)
    Q_CLASSINFO("default:HandleSize", "3")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)

public:
    using TNotifyEvent = std::function<void(TSelectorTool* Sender)>;

    explicit TSelectorTool(TComponent* AOwner = nullptr);
    ~TSelectorTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TSelectorToolEditor"); }
    // "Selector".
    QString Description() const override;

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value) { FAllowDrag = Value; }
    bool AllowResizeChart() const { return FAllowResizeChart; }
    void SetAllowResizeChart(bool Value) { FAllowResizeChart = Value; }
    // Half the side of a handle square, in pixels.
    int HandleSize() const { return FHandleSize; }
    void SetHandleSize(int Value);

    // --- Selection ---
    // The clicked part; its series and axis are nullptr once they are gone.
    TChartClickedPart Part() const;
    TAnnotationTool* Annotation() const { return FAnnotation.data(); }
    TPlotCustomShapePosition* Shape() const { return FShape.data(); }
    TChartWall* Wall() const { return FWall.data(); }
    bool Dragging() const { return FDragging; }
    bool Resizing() const { return FResizing; }
    // Handles are drawn only while this is on (the default).
    bool DrawHandles() const { return FDrawHandles; }
    void SetDrawHandles(bool Value) { FDrawHandles = Value; }

    // The centres of the handles the next drawing shows (empty while
    // printing or exporting).
    std::vector<TPoint> HandleCentres() const;

    // Repaints the chart, then OnSelected.
    virtual void DoSelected();

    void ChartEvent(int Event) override;
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TNotifyEvent OnDragged;
    TNotifyEvent OnDragging;
    TNotifyEvent OnResized;
    TNotifyEvent OnResizing;
    TNotifyEvent OnSelected;

private:
    void MouseDown(int X, int Y);
    void ClearSelection();
    void SelectAt(int X, int Y);
    void DragTo(int X, int Y);
    void ResizeTo(int X, int Y);
    void MouseUp();
    TCustomChart* Chart() const;
    // The handle centres with the depth each stands at.
    struct THandle {
        TPoint P;
        int Z = 0;
        bool Is3D = false;
    };
    std::vector<THandle> Handles() const;
    void AddRectHandles(std::vector<THandle>& Out, const TRect& R) const;
    void AddSeriesHandles(std::vector<THandle>& Out, TChartSeries& Series, bool Marks) const;

    bool FAllowDrag = true;
    bool FAllowResizeChart = false;
    int FHandleSize = 3;

    TChartClickedPart FPart;
    // The part's series and axis, observed.
    QPointer<TChartSeries> FPartSeries;
    QPointer<TChartAxis> FPartAxis;
    QPointer<TAnnotationTool> FAnnotation;
    QPointer<TPlotCustomShapePosition> FShape;
    QPointer<TChartWall> FWall;
    bool FDragging = false;
    bool FMoved = false;
    bool FResizing = false;
    bool FResized = false;
    int FOffsetX = 0;
    int FOffsetY = 0;
    bool FDrawHandles = true;
};

void RegisterSelectorTool();
void UnregisterSelectorTool();

} // namespace lp
