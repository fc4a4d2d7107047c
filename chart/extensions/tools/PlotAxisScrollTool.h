#pragma once
// The axis scroll tool: the user drags an axis (the tool's, or any visible
// axis without one) to scroll it; other axes of the same orientation that
// show a series of the dragged axis scroll along, each on its own scale.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

#include <QtCore/QPointer>

namespace lp {

class TAxisScrollTool : public TPlotCustomToolAxis {
    Q_OBJECT
    Q_PROPERTY(bool ScrollInverted READ ScrollInverted WRITE SetScrollInverted)
    Q_CLASSINFO("default:ScrollInverted", "false")

public:
    explicit TAxisScrollTool(TComponent* AOwner = nullptr);

    // "Axis Scroll".
    QString Description() const override;

    bool ScrollInverted() const { return FScrollInverted; }
    void SetScrollInverted(bool Value) { FScrollInverted = Value; }

    // The visible axis under (X, Y): the tool's axis, or without one the
    // first of the chart's axes hit; nullptr when none.
    TChartAxis* AxisUnder(int X, int Y) const;
    // Scrolls Axis by a pixel distance on its own scale (nothing for an
    // axis without pixel length or a zero distance).
    static void ScrollByPixels(TChartAxis& Axis, int Pixels);
    TChartAxis* DraggedAxis() const { return FDragged.data(); }

    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DragTo(int X, int Y);
    bool ShareSeries(const TChartAxis* A, const TChartAxis* B) const;

    bool FScrollInverted = false;
    QPointer<TChartAxis> FDragged;
    TPoint FLastPoint;
};

} // namespace lp
