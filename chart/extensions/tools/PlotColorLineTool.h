#pragma once
// The colour line tool: a line across the chart rectangle at one value of
// an axis (vertical for a horizontal axis, horizontal for a vertical one),
// with its depth lines in 3-D, dragged with the left button.
//
// Paint order: the back part (depth line along the bottom or left edge and
// the line on the back wall) at the before-series event, the front part
// (depth line along the top or right edge and the line at depth 0) at the
// after-draw event. A drag either repaints at every step (DragRepaint) or
// erases and redraws the line as a not-xor overlay (PlotBufferOverlay.h).
//
// The colour band tool uses two of these, without parent chart, as its
// draggable edges: their owner chart then stands in for the parent chart.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

#include <QtCore/QPointer>

#include <functional>

namespace lp {

class TCanvas3D;

class TColorLineTool : public TPlotCustomToolAxis {
    Q_OBJECT
    Q_PROPERTY(bool AllowDrag READ AllowDrag WRITE SetAllowDrag)
    Q_CLASSINFO("default:AllowDrag", "true")
    Q_PROPERTY(bool DragRepaint READ DragRepaint WRITE SetDragRepaint)
    Q_CLASSINFO("default:DragRepaint", "false")
    Q_PROPERTY(bool Draw3D READ Draw3D WRITE SetDraw3D)
    Q_CLASSINFO("default:Draw3D", "true")
    Q_PROPERTY(bool DrawBehind READ DrawBehind WRITE SetDrawBehind)
    Q_CLASSINFO("default:DrawBehind", "false")
    Q_PROPERTY(bool NoLimitDrag READ NoLimitDrag WRITE SetNoLimitDrag)
    Q_CLASSINFO("default:NoLimitDrag", "false")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(TColorLineStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "clCustom")
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_CLASSINFO("default:Value", "0")

public:
    enum TColorLineStyle : quint8 { clCustom, clMaximum, clCenter, clMinimum };
    Q_ENUM(TColorLineStyle)

    using TColorLineToolOnDrag = std::function<void(TColorLineTool* Sender)>;

    explicit TColorLineTool(TComponent* AOwner = nullptr);

    // Drag and drawing settings, Style and Value, then the element's.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TColorLineToolEditor"); }
    // "Color Line".
    QString Description() const override;

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value) { FAllowDrag = Value; }
    bool DragRepaint() const { return FDragRepaint; }
    void SetDragRepaint(bool Value) { FDragRepaint = Value; }
    bool Draw3D() const { return FDraw3D; }
    void SetDraw3D(bool Value) { SetBooleanProperty(FDraw3D, Value); }
    bool DrawBehind() const { return FDrawBehind; }
    void SetDrawBehind(bool Value) { SetBooleanProperty(FDrawBehind, Value); }
    bool NoLimitDrag() const { return FNoLimitDrag; }
    void SetNoLimitDrag(bool Value) { FNoLimitDrag = Value; }
    TColorLineStyle Style() const { return FStyle; }
    void SetStyle(TColorLineStyle Value);
    double Value() const { return FValue; }
    // Makes Style clCustom (except while loading); stores without repaint
    // during an overlay drag, else stores and repaints when it changed.
    void SetValue(double Value);

    // The value the line stands at: Value, or the axis' Maximum, centre or
    // Minimum by Style (0 without an axis).
    double EffectiveValue() const;
    // Value kept within the axis' visible range (either direction of the
    // axis); unchanged without an axis.
    double LimitValue(double Value) const;
    // Where the line is drawn and grabbed: the effective value, kept within
    // the axis' visible range while a limited drag is allowed, so the line
    // stays reachable. Painting never rewrites Value: what was set (or read
    // from a file) stays, whatever range the axis shows at the moment.
    double DrawnValue() const;
    // Whether (X, Y) lies on the line (less than 3 pixels along the axis,
    // within the chart rectangle across it).
    bool Clicked(int X, int Y) const;
    bool Dragging() const { return FDragging; }

    // The chart that draws the line and takes its cursor: the owner chart
    // when set, else the parent chart.
    TCustomAxisPanel* LineChart() const;
    TCustomAxisPanel* OwnerChart() const { return FOwnerChart.data(); }
    void SetOwnerChart(TCustomAxisPanel* Value) { FOwnerChart = Value; }
    // Called at the end of a drag before OnEndDragLine (the band's edges).
    std::function<void(TColorLineTool* Sender)> InternalEndDrag;

    // The back part of the line (behind the series) or its front part.
    void DrawColorLine(bool Back);

    void ChartEvent(int Event) override;
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TColorLineToolOnDrag OnBeginDragLine;
    TColorLineToolOnDrag OnDragLine;
    TColorLineToolOnDrag OnEndDragLine;

protected:
    virtual void DoEndDragLine();

private:
    void DrawParts(TCanvas3D& Canvas, bool Back, int Pos);
    void DragTo(int X, int Y);

    bool FAllowDrag = true;
    bool FDragRepaint = false;
    bool FDraw3D = true;
    bool FDrawBehind = false;
    bool FNoLimitDrag = false;
    TColorLineStyle FStyle = clCustom;
    double FValue = 0;
    bool FDragging = false;
    QPointer<TCustomAxisPanel> FOwnerChart;
};

} // namespace lp
