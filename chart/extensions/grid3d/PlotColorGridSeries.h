#pragma once
// A grid series drawn flat, seen from above, as a map of coloured cells: X
// across on the horizontal axis, Z up on the vertical axis, each cell in the
// colour of its value.
//
//   TCustom3DGridSeries
//     └─ TColorGridSeries
//
// A regular grid is one bitmap of one pixel per visible cell stretched over
// the cells' area (optionally resampled smoothly first); white pixels, and
// so cells without a point or coloured clNone or white, show the
// background. In a turned (not orthogonal) 3-D view the cells that hold
// points are projected one by one where the stretched picture would put
// them, so the paint costs what those cells cover however wide the grid.
// An irregular grid is one rectangle per cell, from a node to its
// neighbours in the next column and row. A cell spans value .. value + 1
// (regular), value - 0.5 .. value + 0.5 (CenteredPoints) or node to next
// node (irregular); the value extents cover whole cells, and the vertical
// extents are those of Z.
//
// Grid lines every XGridEvery columns and ZGridEvery rows (values below 1
// count as 1); a Frame around the cells. FillFromBitmap turns a picture into
// one centred point per pixel, column after column.

#include "chart/extensions/grid3d/PlotGridSeries.h"

#include "chart/canvas/PlotPens.h"
#include "platform/graphics/Bitmap.h"

#include <memory>
#include <utility>
#include <vector>

namespace lp {

class TColorGridSeries : public TCustom3DGridSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(bool CenteredPoints READ CenteredPoints WRITE SetCenteredPoints)
    Q_CLASSINFO("default:CenteredPoints", "false")
    Q_PROPERTY(lp::TChartPen* Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(bool IrregularGrid READ IrregularGrid WRITE SetIrregularGrid)
    Q_CLASSINFO("default:IrregularGrid", "false")
    Q_PROPERTY(int NumXValues READ NumXValues WRITE SetNumXValues)
    Q_CLASSINFO("default:NumXValues", "10")
    Q_PROPERTY(int NumZValues READ NumZValues WRITE SetNumZValues)
    Q_CLASSINFO("default:NumZValues", "10")
    Q_PROPERTY(bool SmoothBitmap READ SmoothBitmap WRITE SetSmoothBitmap)
    Q_CLASSINFO("default:SmoothBitmap", "false")
    Q_PROPERTY(int XGridEvery READ XGridEvery WRITE SetXGridEvery)
    Q_CLASSINFO("default:XGridEvery", "1")
    Q_PROPERTY(int ZGridEvery READ ZGridEvery WRITE SetZGridEvery)
    Q_CLASSINFO("default:ZGridEvery", "1")

public:
    // Columns First .. Last and rows First .. Last of the visible cells, and
    // the pixel rectangle they cover (normalised).
    struct TCellWindow {
        int FirstColumn = 1;
        int LastColumn = 0;
        int FirstRow = 1;
        int LastRow = 0;
        TRect Target;
    };

    explicit TColorGridSeries(TComponent* AOwner = nullptr);
    ~TColorGridSeries() override;

    // From another colour grid: CenteredPoints, SmoothBitmap, Frame; then
    // the grid base's copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TColorGridEditor"); }
    // The palette base's styles, then "No Grid" (2: Pen hidden).
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    // The palette base's view; the chart shows 3-D as asked and clips.
    void GalleryChanged3D(bool Is3D) override;
    // The palette base's preparation, then 8 columns by 4 rows of samples.
    void PrepareForGallery(bool IsEnabled) override;

    void DrawAllValues() override;
    // The mark centred on the point's cell.
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    // The vertical axis shows Z.
    int CalcYPos(int Index) const override;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override { return MaxZValue(); }
    double MinYValue() override { return MinZValue(); }
    double MaxZValue() override;
    double MinZValue() override;
    // The point whose cell holds the pixel, -1 when none.
    int Clicked(int X, int Y) override;

    // The most columns and rows a picture fills (one cell per pixel): the
    // grid size the editors offer.
    static constexpr int MaxPictureCells = 1000;

    // Replaces the points by one per pixel of Picture: (x + 1, the pixel's
    // colour as a number, y + 1), column after column, centred; keeps a copy
    // of the picture. A picture wider or higher than MaxPictureCells raises
    // ChartException (see CheckPictureSize) and changes nothing.
    void FillFromBitmap(const TBitmap& Picture);
    // Raises what FillFromBitmap raises for a picture of Width x Height
    // pixels, so a picture file can be refused before it is decoded.
    static void CheckPictureSize(int Width, int Height);

    // The visible cells of a regular grid and their pixels (empty without a
    // chart or points).
    TCellWindow VisibleCells() const;
    // Painting's cell picture (one pixel per visible cell; a turned 3-D
    // view without SmoothBitmap makes none) or the picture FillFromBitmap
    // was given.
    const TBitmap& Bitmap() const { return *FBitmap; }

    bool CenteredPoints() const { return FCenteredPoints; }
    void SetCenteredPoints(bool Value) { SetBooleanProperty(FCenteredPoints, Value); }
    TChartPen* Frame() const { return FFrame.get(); }
    void SetFrame(const TChartPen* Value) { FFrame->Assign(Value); }
    bool SmoothBitmap() const { return FSmoothBitmap; }
    void SetSmoothBitmap(bool Value) { SetBooleanProperty(FSmoothBitmap, Value); }
    int XGridEvery() const { return FXGridEvery; }
    void SetXGridEvery(int Value) { SetIntegerProperty(FXGridEvery, Value); }
    int ZGridEvery() const { return FZGridEvery; }
    void SetZGridEvery(int Value) { SetIntegerProperty(FZGridEvery, Value); }

private:
    // Half a cell when points are cell centres, else 0.
    double CentreShift() const { return FCenteredPoints ? 0.5 : 0.0; }
    // The extent of a value list over whole cells.
    double LowExtent(TChartValueList& Values) const;
    double HighExtent(TChartValueList& Values) const;
    // A cell of Window that holds a point: its place in the cell picture
    // (X from the left, Y from the top) and the point.
    struct THeldCell {
        int X;
        int Y;
        int Index;
    };
    // The column and row of point Index in a regular grid (NaN for a NaN
    // coordinate), as the grid index places it.
    std::pair<double, double> RegularNodeOf(int Index) const;
    // Calls Visit for each held cell of Window: the window's nodes are
    // walked when it has few cells per point, else the points (a sparse
    // grid's window is far larger than its points).
    template <class TVisit>
    void ForEachHeldCell(const TCellWindow& Window, bool FlipX, bool FlipY, TVisit&& Visit) const;
    // In a 3-D view that is not orthogonal.
    bool DrawsTurned() const;
    // Fills the cell picture for Window; true when anything is drawn.
    bool FillCellBitmap(const TCellWindow& Window, bool FlipX, bool FlipY);
    void DrawCellBitmap(const TRect& Target);
    // The held cells of Window, each projected at the series' front where
    // the stretched picture would put it; empty and white cells are left
    // out, as the picture leaves them transparent.
    void DrawTurnedCells(const TCellWindow& Window, bool FlipX, bool FlipY);
    void DrawIrregularCells();
    // The pixel rectangle of the whole grid for the irregular drawing.
    TRect ExtentRect();
    // A grid line: its step k (the line at node k * Every + 1 of the first
    // column or row) and the point at that node.
    struct TGridLine {
        int Step;
        int Node;
    };
    // The horizontal (or vertical) grid lines whose nodes hold points, in
    // step order.
    std::vector<TGridLine> GridLineNodes(bool Horizontal) const;
    void DrawGridLines(const TRect& Target);
    int ClickedRegular(double VX, double VZ) const;
    int ClickedIrregular(double VX, double VZ) const;

    bool FCenteredPoints = false;
    std::unique_ptr<TChartHiddenPen> FFrame;
    bool FSmoothBitmap = false;
    int FXGridEvery = 1;
    int FZGridEvery = 1;
    std::unique_ptr<TBitmap> FBitmap;
};

} // namespace lp
