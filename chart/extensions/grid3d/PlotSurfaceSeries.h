#pragma once
// A grid series drawn as a 3-D surface: each cell (the quadrilateral
// between four neighbouring nodes) filled in the colour of its values, or
// outlined (WireFrame), or dotted at its corners (DotFrame), optionally
// translucent, with optional side walls down to the chart floor. The same
// class draws the waterfall mode: one strip per row from the value line
// down to the bottom of the vertical axis.
//
//   TCustom3DGridSeries
//     └─ TSurfaceSeries
//
// Cells are painted back to front: columns outer, rows inner, each walked
// away from the viewer first (the order follows the depth axis and the
// drawing direction). A straight front view in perspective takes the
// columns centre-out (first, last, second, last but one, ...) so that the
// middle columns end on top. A cell takes the colour of its corner with the
// smaller column and the larger row, or, with SmoothPalette, the colour of
// the mean of its four corner values; a corner coloured clNone hides it.
//
// FastBrush stays off: the platform has no per-context brush colour.

#include "chart/extensions/grid3d/PlotGridSeries.h"

#include "chart/canvas/PlotPens.h"
#include "platform/graphics/GraphicsTypes.h"

#include <memory>
#include <vector>

namespace lp {

class TPlotBlend;
class TPlotCanvas3D;

class TSurfaceSeries : public TCustom3DGridSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(bool DotFrame READ DotFrame WRITE SetDotFrame)
    Q_CLASSINFO("default:DotFrame", "false")
    Q_PROPERTY(bool FastBrush READ FastBrush WRITE SetFastBrush)
    Q_CLASSINFO("default:FastBrush", "false")
    Q_PROPERTY(bool IrregularGrid READ IrregularGrid WRITE SetIrregularGrid)
    Q_CLASSINFO("default:IrregularGrid", "false")
    Q_PROPERTY(int NumXValues READ NumXValues WRITE SetNumXValues)
    Q_CLASSINFO("default:NumXValues", "10")
    Q_PROPERTY(int NumZValues READ NumZValues WRITE SetNumZValues)
    Q_CLASSINFO("default:NumZValues", "10")
    Q_PROPERTY(lp::TChartBrush* SideBrush READ SideBrush WRITE SetSideBrush)
    Q_PROPERTY(lp::TChartPen* SideLines READ SideLines WRITE SetSideLines)
    Q_PROPERTY(bool SmoothPalette READ SmoothPalette WRITE SetSmoothPalette)
    Q_CLASSINFO("default:SmoothPalette", "false")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(lp::TChartPen* WaterLines READ WaterLines WRITE SetWaterLines)
    Q_PROPERTY(bool WireFrame READ WireFrame WRITE SetWireFrame)
    Q_CLASSINFO("default:WireFrame", "false")

public:
    explicit TSurfaceSeries(TComponent* AOwner = nullptr);
    ~TSurfaceSeries() override;

    // From another surface: the frame, side, palette-smoothing and
    // transparency settings (WaterFall off); then the grid base's copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TSurfaceSeriesEditor"); }

    // The palette base's styles, then "Wireframe", "Dot Frame", "Sides",
    // "No Border".
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    // The palette base's preparation, then a 10 by 10 sample surface.
    void PrepareForGallery(bool IsEnabled) override;
    void DrawAllValues() override;
    // The nearest cell's Corner0 whose projected quadrilateral holds the
    // pixel, rows walked front to back; -1 when none.
    int Clicked(int X, int Y) override;
    // Draws the cell whose near corner is node (X, Z).
    virtual void DrawCell(int X, int Z);

    // The (column, row) near corners in painting order; sets XStep and
    // ZStep. Empty without a chart.
    std::vector<TPoint> CellOrder();
    // The corner whose colour a cell takes for the current steps (0 .. 3).
    int ColorCorner() const;

    bool DotFrame() const { return FDotFrame; }
    // On: the pen shows and WireFrame goes off.
    void SetDotFrame(bool Value);
    bool FastBrush() const { return false; }
    void SetFastBrush(bool /*Value*/) {}
    TChartBrush* SideBrush() const { return FSideBrush.get(); }
    void SetSideBrush(const TChartBrush* Value);
    TChartPen* SideLines() const { return FSideLines.get(); }
    void SetSideLines(const TChartPen* Value);
    bool SmoothPalette() const { return FSmoothPalette; }
    void SetSmoothPalette(bool Value) { SetBooleanProperty(FSmoothPalette, Value); }
    // Percent see-through of the cells; ERangeError outside 0 .. 100.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);
    bool WaterFall() const { return FWaterFall; }
    void SetWaterFall(bool Value) { SetBooleanProperty(FWaterFall, Value); }
    TChartPen* WaterLines() const { return FWaterLines.get(); }
    void SetWaterLines(const TChartPen* Value);
    bool WireFrame() const { return FWireFrame; }
    // On: the pen shows and DotFrame goes off.
    void SetWireFrame(bool Value);

private:
    // Screen point and depth pixel of every point, taken once per paint or
    // hit test.
    void FillCaches();
    TPoint ScreenPoint(int PointIndex) const { return FScreen.at(static_cast<size_t>(PointIndex)); }
    int Depth(int PointIndex) const { return FDepth.at(static_cast<size_t>(PointIndex)); }
    // Columns and rows in painting order (WaterFall: one more row each).
    std::vector<int> ColumnOrder();
    std::vector<int> RowOrder();
    bool CentreOutColumns() const;
    // The cell's colour for the canvas; false when it is hidden (clNone).
    bool PrepareCellColor(TPlotCanvas3D& Canvas);
    void FillQuad(TPlotCanvas3D& Canvas, const std::vector<TPoint>& Corners, int Z0, int Z1);
    void DrawSurfaceCell(TPlotCanvas3D& Canvas);
    void DrawWaterfallStrip(TPlotCanvas3D& Canvas);
    void DrawDotFrame(TPlotCanvas3D& Canvas);
    // The side walls of the pass before (AfterCells false) or after the
    // cells.
    void DrawSides(TPlotCanvas3D& Canvas, bool AfterCells);
    void DrawDepthWall(TPlotCanvas3D& Canvas, int Column, int Floor);
    void DrawFrontWall(TPlotCanvas3D& Canvas, int Row, int Floor);
    // Surface3D's view of the grid on a canvas that rotates fully.
    void DrawFullRotation(TPlotCanvas3D& Canvas);

    bool FDotFrame = false;
    std::unique_ptr<TChartBrush> FSideBrush;
    std::unique_ptr<TChartPen> FSideLines;
    bool FSmoothPalette = false;
    int FTransparency = 0;
    bool FWaterFall = false;
    std::unique_ptr<TChartPen> FWaterLines;
    bool FWireFrame = false;

    // Per paint.
    std::vector<TPoint> FScreen;
    std::vector<int> FDepth;
    std::vector<int> FCellCorners = std::vector<int>(4, -1);
    std::vector<TPoint> FCellPoints = std::vector<TPoint>(4); // P0 .. P3
    bool FSingleBrush = false;
    bool FBlending = false;
};

} // namespace lp
