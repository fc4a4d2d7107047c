#pragma once
// The drag marks tool: the user moves the marks (value labels) of a series
// with the mouse. A moved mark's stored position becomes custom, so it
// keeps its place when the chart paints again.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

#include <QtCore/QPointer>

namespace lp {

class TDragMarksTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)

public:
    explicit TDragMarksTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TDragMarksToolEditor"); }
    // "Drag Marks".
    QString Description() const override;

    // The visible mark of an active series under (X, Y): Series, else the
    // chart's series from the last to the first. False when none.
    bool MarkUnder(int X, int Y, TChartSeries*& Found, int& Index) const;
    // The mark being dragged (-1 when none) and its series.
    int DraggedIndex() const { return FIndex; }
    TChartSeries* DraggedSeries() const { return FSeries.data(); }

    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DragTo(int X, int Y);

    QPointer<TChartSeries> FSeries;
    int FIndex = -1;
    TPoint FLastPoint;
};

} // namespace lp
