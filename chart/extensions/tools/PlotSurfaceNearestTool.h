#pragma once
// The surface nearest-cell tool: colours the cell of a surface series under
// the mouse, and the points of its grid row and column, so the user sees
// which cell is pointed at.
//
// A cell shows the colour of one of its corners (the surface's colour
// corner); the tool colours that point CellColor, the other points with
// its X value RowColor and those with its Z value ColumnColor. Every other
// point gets the "no colour of its own" value, so the series' own colouring
// shows there; leaving the surface gives every point that value again.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

namespace lp {

class TSurfaceSeries;

class TSurfaceNearestTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(int CellColor READ CellColor WRITE SetCellColor)
    Q_CLASSINFO("default:CellColor", "255")
    Q_PROPERTY(int ColumnColor READ ColumnColor WRITE SetColumnColor)
    Q_CLASSINFO("default:ColumnColor", "32768")
    Q_PROPERTY(int RowColor READ RowColor WRITE SetRowColor)
    Q_CLASSINFO("default:RowColor", "0xFF0000")
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)

public:
    explicit TSurfaceNearestTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TSurfaceNearest"); }
    // "Surface Nearest".
    QString Description() const override;

    TColor CellColor() const { return FCellColor; }
    void SetCellColor(TColor Value) { SetColorProperty(FCellColor, Value); }
    TColor ColumnColor() const { return FColumnColor; }
    void SetColumnColor(TColor Value) { SetColorProperty(FColumnColor, Value); }
    TColor RowColor() const { return FRowColor; }
    void SetRowColor(TColor Value) { SetColorProperty(FRowColor, Value); }

    // Only a surface series is taken; any other is stored as none. A new
    // series starts with no cell pointed at.
    void SetSeries(TChartSeries* Value) override;
    // The point index the pointed cell was found by, -1 for none.
    int PointedIndex() const { return FIndex; }

    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // After each change of the pointed cell.
    TNotifyEvent OnSelectCell;

private:
    void ColorPoints(TSurfaceSeries& Surface, int ColorPoint);

    TColor FCellColor = clRed;
    TColor FColumnColor = clGreen;
    TColor FRowColor = clBlue;
    int FIndex = -1;
};

void RegisterSurfaceNearestTool();
void UnregisterSurfaceNearestTool();

} // namespace lp
