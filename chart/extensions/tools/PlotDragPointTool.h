#pragma once
// The drag point tool: the user drags a point of a series with the mouse;
// its X value, its Y value or both follow the axis values under the mouse.
// A press on a point keeps the chart from starting its own zoom or scroll.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

#include <functional>

namespace lp {

// The smallest axis range the chart library works with; an axis without
// any range is widened by a tenth of it before a pixel is turned into a
// value.
inline double PlotMinAxisRange = 1e-12;

// The value of Axis at Pixel. On an axis whose Maximum equals its
// Minimum, AutomaticMaximum goes off and Maximum grows by a tenth of
// PlotMinAxisRange first, so the answer follows the pixel.
double AxisValueAtPixel(TChartAxis& Axis, int Pixel);

class TDragPointTool : public TPlotCustomToolSeries {
    Q_OBJECT
public:
    enum TDragPointStyle { dsX, dsY, dsBoth };
    Q_ENUM(TDragPointStyle)

private:
    Q_PROPERTY(TDragPointStyle DragStyle READ DragStyle WRITE SetDragStyle)
    Q_CLASSINFO("default:DragStyle", "dsBoth")
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)

public:
    using TDragPointToolEvent = std::function<void(TDragPointTool* Sender, int Index)>;

    explicit TDragPointTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TDragPointToolEdit"); }
    // "Drag Point".
    QString Description() const override;

    TDragPointStyle DragStyle() const { return FDragStyle; }
    void SetDragStyle(TDragPointStyle Value) { FDragStyle = Value; }
    // The point being dragged, -1 for none.
    int DraggedIndex() const { return FIndex; }

    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // After each move of the dragged point.
    TDragPointToolEvent OnDragPoint;

private:
    void DragTo(int X, int Y);

    TDragPointStyle FDragStyle = dsBoth;
    int FIndex = -1;
};

using TDragPointStyle = TDragPointTool::TDragPointStyle;
inline constexpr TDragPointStyle dsX = TDragPointTool::dsX;
inline constexpr TDragPointStyle dsY = TDragPointTool::dsY;
inline constexpr TDragPointStyle dsBoth = TDragPointTool::dsBoth;

void RegisterDragPointTool();
void UnregisterDragPointTool();

} // namespace lp
