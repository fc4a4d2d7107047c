#pragma once
// The mesh model chart: a chart that shows a two-dimensional cell mesh of a
// cross-section, one positive value per cell, each cell painted in the
// colour of its value on a scale shown by a colour bar beside the chart.
//
//   TTModelSection2d (a TChart)
//     ├─ ExtentSeries  two points spanning the model area (pointer hidden)
//     ├─ ImageTool     the cell picture, stretched over ExtentSeries
//     ├─ MarkerSeries  small red triangles
//     └─ the mesh: ColBounds × RowBounds, relief shifts, value layers,
//        selection, fixed cells and their limits (public fields, filled by
//        the owner, as the section chart's model is)
//
// Cells are painted into the cell picture, which covers exactly the model
// area (ModelLeft..ModelRight, ModelTop..ModelBottom); world and picture
// pixels map linearly onto each other, the model's right and bottom edges
// onto the picture's last pixel column and row. ImageTool draws the picture
// where the axes place the model area (the cell area; the depth axis, for
// one, starts a little below the chart rectangle's top), and the picture
// takes the cell area's pixel size before every drawing, so each picture
// pixel is one control pixel and the mouse reads the world under the
// pointer through the same mapping the cells were painted with.
//
// Units: Section2D.cpp construction and the cell model,
// Section2DMeshEdit.cpp moving, inserting and removing boundaries,
// Section2DTools.cpp the mouse tools' boundary hit test and cell selection,
// Section2DMouse.cpp the mouse handlers, cell edits and selection moves,
// Section2DUndo.cpp the ring of undo snapshots,
// Section2DMenus.cpp the five pop-up menus and the commands they run,
// Section2DScale.cpp the colour scale and colour bar, Section2DCells.cpp the
// cell painting and status texts (CellRaster.cpp draws the cells straight
// into the picture's pixels), ValueScale.cpp the free value scale.

#include "chart/engine/PlotChart.h"
#include "platform/base/DynArray.h"
#include "platform/ui/Menus.h"
#include "section/model/NumberArrays.h"
#include "section/views/ValueScale.h"

#include <QtCore/QString>

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace lp {

class TBitmap;
class TCanvas;
class TChartImageTool;
class TPlotCanvas;
class TPlotFont;
class TPointSeries;
class TBrush;
class TCellRaster;

using pointarray = DynArray<TPoint>;

// A cell lifted by a selection move.
struct FloatingCell {
    int32_t Col = 0;
    int32_t Row = 0;
    double Value = 0.0;
};

// One snapshot of the chart for the undo ring: independent copies of the
// mesh, every layer and the per-cell selection, fixed flags and limits, so
// an owner that writes one back gets tables of the mesh's size.
struct undounit {
    arofdoubleM ColBounds, RowBounds;
    double ModelTop = 0, ModelBottom = 0, ModelRight = 0, ModelLeft = 0, ModelWidth = 0, ModelDepth = 0;
    double ScaleMin = 0, ScaleMax = 0;
    DynArray<ararofdoubleM> Layers;
    ararofboolM Selected, Fixed;
    ararofcomplexM Limits;
    uint8_t ScaleMode = 0;
    double SymLogConstant = 0;
    arofdoubleM ReliefX, ReliefZ;
    double ReliefFadeTop = 0, ReliefFadeBottom = 0;
    std::vector<std::vector<double>> RowShifts;
    int32_t LastCol = 0, LastRow = 0;
    double CellValueAtCursor = 0;
    arofdoubleM ReliefShift;
    arofboolM ColAnchored;
};

// Ten snapshot slots. A counter of -1 marks an empty slot; the newest
// snapshot has the highest counter. A new chart starts with every counter 0.
struct undo {
    static constexpr int SlotCount = 10;
    std::array<int32_t, SlotCount> Counters{};
    std::array<undounit, SlotCount> Slots{};
    bool Recorded = false;
};

// White blended over Color by Share (0: the colour, 1: white).
TColor FadedColor(TColor Color, double Share);

// Values kept in every cell.
inline constexpr double MinCellValue = 1e-6;
inline constexpr double MaxCellValue = 1e9;

class TTModelSection2d : public TChart {
    Q_OBJECT
public:
    using TCellDrawnEvent = std::function<void(double X1, double X2, double Z1, double Z2, double Z3, double Z4)>;

    explicit TTModelSection2d(TComponent* AOwner = nullptr);
    ~TTModelSection2d() override;

    void SetDefaults();

    // --- Cell model ---

    static void ClampValue(double& V);
    // The current layer's value; where it holds HalfSpaceValue exactly, the
    // value of layer 0.
    double CellValue(int C, int R) const;
    // Writes V (clamped, the caller's variable too) into the current layer;
    // a fixed cell's limits widen to take it. True when the value changed.
    bool SetCellValue(int C, int R, double& V);
    void SetHalfSpaceValue(double V);
    void AddLayer();
    void FlattenLayers();

    // --- Mesh geometry ---

    // With Values a copy of them; without, Count boundaries redivided evenly
    // between the first, the last and the anchored ones.
    void SetColBounds(int Count, const arofdoubleM* Values);
    // With Values a copy of them; without, Count boundaries dividing the
    // depth range less MaxReliefShift. A division into fewer than two
    // boundaries is refused (false, nothing changes).
    bool SetRowBounds(int Count, const arofdoubleM* Values);
    void UpdateReliefShift();
    // The relief shift at X inside column C.
    double ReliefShiftAt(int C, double X) const;
    // The shift of row boundary R at column boundary Edge: the relief shift
    // at the surface, blending (ReliefFadeTop .. ReliefFadeBottom below the
    // first row boundary) to MaxReliefShift, which levels the boundaries
    // with the lowest surface point; without a blend the relief shift.
    double BoundaryShift(int Edge, int R) const;
    // The same at X inside column C.
    double BoundaryShiftAt(int C, double X, int R) const;
    // The stored depth of a point at chart depth Z and X inside column C:
    // Z less the shift of a boundary through the point.
    double StoredDepthAt(int C, double X, double Z) const;

    // --- Mesh editing ---
    // Every per-cell table follows: a new column or row copies the one it
    // splits, a merged one takes the mean of the two in every layer and keeps
    // its own selection, fixed flag and limits. Boundaries stay strictly
    // ascending: an edit that would break that is refused and changes nothing.

    // False (nothing changes) when the boundary would reach a neighbour.
    bool MoveColBound(int I, double X);
    // Z is a drawn depth: the relief shift at the pointer is taken off.
    bool MoveRowBound(int J, double Z);
    void InsertColBound(bool Redraw, double X);
    // Z is a depth below the relief.
    void InsertRowBound(bool Redraw, double Z);
    // Z is a drawn depth at the pointer.
    void InsertRowBoundAtPointer(bool Redraw, double Z);
    // The first and last boundaries stay, and so do at least two columns
    // (rows).
    void RemoveColBound(int K, bool Redraw);
    void RemoveRowBound(int K, bool Redraw);
    // Every column (row) split in the middle.
    void ThinColumns();
    void ThinRows();
    // Every second boundary removed; anchored column boundaries stay.
    void ThickenColumns();
    void ThickenRows();
    // The stored depth of chart depth Z under the pointer (Z less the
    // relief shift of a boundary through it).
    double PointerStoredDepth(double Z) const;

    // --- Undo ring ---

    // Snapshots the chart into the first empty slot of Store, or over the
    // oldest one when none is empty, with a counter above every other.
    void RecordUndo(undo& Store);
    // Snapshots the chart into slot Slot (0..9; others raise).
    void StoreSnapshot(undo& Store, int Slot);
    // The slot with the highest counter (the first of equal ones); -1 when
    // Store recorded nothing.
    static int NewestSnapshot(const undo& Store);
    // Writes the snapshot in Slot back (the extra tables follow the mesh it
    // brings), repaints and fires the chart's events. False, and nothing
    // changes, when the slot holds no snapshot whose tables fit its mesh.
    bool RestoreSnapshot(const undo& Store, int Slot);

    // --- Pop-up menus ---
    // Every command is on one of five menus: the main menu of the cell area,
    // and by double click the view menu (outside the plot), the depth-axis
    // menu (left of the cells), the horizontal-axis menu (below them) and the
    // colour-bar menu. The click handlers take the clicked item's index in
    // its menu, separators counted. Values are asked for with InputBox until
    // one is accepted or the text shown first comes back (a cancel).

    // The right-button press in the cell area: the main menu's tool marks
    // follow ToolMode and the menu pops up at the mouse cursor.
    void ShowMainMenu();
    // The menu of PointerZone pops up (none in the cell area); the double
    // click goes no further.
    void MeshDblClick(TControl* Sender);
    void MainMenuClick(int Index);
    void SelectionMenuClick(int Index);
    void MeshOptionsMenuClick(int Index);
    void ViewMenuClick(int Index);
    void ColorBarMenuClick(int Index);
    void DepthAxisMenuClick(int Index);
    void HorizAxisMenuClick(int Index);
    // The colour scale spans Factor below and above HalfSpaceValue, each end
    // clamped into the cell values' range.
    void SetScaleByFactor(double Factor);
    // The colour scale spans layer 0's values, missing ones (MissingValue,
    // not finite) left out; a single value v gives v / 10 .. 10 v in
    // increasing order (-10 .. -0.1 for -1; -1 .. 1 for 0). A mesh without
    // cells, or whose cells all miss their value, keeps its scale (false).
    bool SetScaleFromCells();
    // Makes ScaleMin < ScaleMax hold whoever set them: limits the wrong way
    // round change places, equal (or unreadable) ones widen around their
    // value as "Automatic" widens a single cell value.
    void SecureScaleLimits();
    // The increasing scale "Automatic" gives when every cell holds Value:
    // Value / 10 .. Value × 10 in increasing order, -1 .. 1 around 0.
    static void ScaleAroundValue(double Value, double& Lo, double& Hi);

    // --- Pointer ---

    void UpdatePointerZone(int X, int Y);
    bool CellAt(double X, double Z, int& C, int& R) const;

    // --- Mouse tools ---

    // The column boundary nearest to X (the first on ties) and its distance
    // in cell-picture pixels; -1 (distance 123456789) when there is none or,
    // in the remove and resize tools, when the nearest one is anchored.
    int NearestColBound(double X, int& PixelDistance) const;
    // The row boundary nearest to the drawn depth Z at the pointer.
    int NearestRowBound(double Z, int& PixelDistance) const;
    // The boundary within 3 pixels of (X, Z): Kind 0 a column, 1 a row, -1
    // none (also when a column and a row boundary are equally near). Sets the
    // pointer shape of the boundary tools.
    int BoundAtPointer(int& Kind, double X, double Z);
    // Selects cells through the one-pixel-per-cell mask. Shape 0: the
    // cells 4-connected to (C, R) whose value is the seed's or within
    // Tolerance percent of the colour scale of it (the selection replaced);
    // 6: the same, added to the selection; 3: the polygon through Points;
    // 4: the rectangle spanned by StartCell and EndCell; 5: the ellipse in
    // it. Any other shape unselects every cell. Nothing when (C, R) lies
    // outside the mesh.
    void SelectCells(int C, int R, TPoint& EndCell, TPoint& StartCell, const pointarray& Points, double Tolerance,
                     int Shape);
    // Sets the pointer shape unless it is already shown.
    void SetPointerShape(TCursor Shape);

    // The chart's mouse handlers (X, Y in control pixels). A gesture starts
    // at a press in the cell area and ends at the release, wherever the
    // pointer then is: a selection move is flattened, edits fire their
    // events and are recorded in UndoStore. A Ctrl press switches to the
    // selection move until the release. Meshes of fewer than two columns or
    // rows ignore the mouse.
    void MeshMouseMove(TShiftState Shift, int X, int Y);
    void MeshMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void MeshMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // The pointer shape of the cell tools (modes 1 to 6) in the cell area,
    // the arrow elsewhere.
    void UpdateCellCursor();
    // Op 0 sets the cell to CursorValue (clamped with it), 1 raises and 2
    // lowers it by Percent percent; a changed cell is repainted. True when
    // the value changed.
    bool PaintCellValue(int C, int R, int Op, int Percent);
    // PaintCellValue (Op, StepPercent) on every selected cell whose value
    // is not Value.
    void ApplyToSelection(int Op, double Value);
    void ClearSelection();
    // The selected cells as (column, row) pairs, column by column.
    std::vector<std::pair<int, int>> SelectedCells() const;
    void ClearFreeForm();
    // Appends P unless it repeats the last point; true when appended.
    bool AddFreeFormPoint(TPoint P);
    // Copies the selected cells into FloatingCells, with Cut leaving the
    // half-space value behind; with AddNewLayer a new transparent layer
    // becomes current, so the lifted cells float above the model.
    void LiftSelection(bool Cut, bool AddNewLayer);
    // Shows the floating cells offset by EndCell - StartCell in the current
    // layer and selects them; cells that fall outside the mesh are left out.
    void MoveFloatingCells(TPoint& StartCell, TPoint& EndCell);

    // --- Colour scale and colour bar ---

    TColor ValueToColor(double Value);
    // The palette index ValueToColor uses.
    int ValueToPaletteIndex(double Value);
    double ColorScalePercent(double A, double B);
    void ComputeSymLogConstant();
    // The bar, its scale, the cursor marker and the units label on Canvas.
    void DrawColorBar(int X, int Y, int Width, int Height, TPlotCanvas& Canvas);
    // Marker and readout of Value; drawn on Canvas when given, else the
    // chart is repainted (the marker is part of every paint). Fires
    // OnAfterChangeCB.
    void DrawCursorMarker(double Value, TPlotCanvas* Canvas = nullptr);
    // The marker's pixel row for Value and whether it is red (at or past an
    // end of the bar).
    struct TMarkerPlace {
        int Y = 0;
        int Y1 = 0;
        bool AtEnd = false;
    };
    TMarkerPlace CursorMarkerPlace(double Value) const;
    // The readout text of a cursor value.
    static QString CursorReadout(double Value);
    void CursorFromBarPixel(int Y);
    // Repaints the cell picture and then the chart, so the control shows the
    // new cells when this returns.
    void RepaintCells();

    // World coordinates and cell-picture pixels.
    int XToCellPixel(double X) const;
    int ZToCellPixel(double Z) const;
    double CellPixelToX(int X) const;
    double CellPixelToZ(int Y) const;
    // The control rectangle the cell picture was last drawn into (before
    // the first drawing, the one the axes give it now), normalised; the
    // chart rectangle while the extent points span no area.
    TRect CellArea() const;
    // The cell-picture pixel shown at control pixel (X, Y): the pixel whose
    // span holds the control pixel's centre (one to one while the picture
    // has the cell area's size).
    TPoint ControlToCellPixel(int X, int Y) const;

    // --- Cell painting ---

    // The picture the cells are painted into (ImageTool's bitmap).
    TBitmap& CellPicture();
    void DrawCell(int C, int R, bool Isolated, TCanvas* Canvas = nullptr);
    // Every cell; into the cell picture (which then shows at the next
    // paint) unless a canvas is given.
    void PaintCells(TCanvas* Canvas = nullptr);
    void PaintSingleCell(int C, int R) { DrawCell(C, R, true); }
    void RepaintCell(int C, int R) { DrawCell(C, R, true); }
    void RedrawCell(int C, int R);
    void RedrawColumnsAround(int I);
    void RedrawRowsAround(int J);
    void SetCellBrush(TBrush& Brush, TColor CellColor, bool Hatched, TColor DotColor);
    // The colour a cell is painted in: its value's, faded by CellFade.
    TColor ShownCellColor(int C, int R);
    void HighlightCell(int C, int R);
    void MeshAfterDraw();
    void UpdateStatusTexts();

    // Where the cell painter draws (Section2DCells.cpp).
    class TCellTarget;

    // The paper-scale picture export enlarges this font too: the colour
    // bar's.
    TPlotFont* PaperScaleExtraFont() const override { return ColorBarFont.get(); }

    // --- Fields: mesh geometry ---
    arofdoubleM ColBounds, RowBounds;
    int LastCol = -1, LastRow = -1;
    int CellCount = 0;
    arofboolM ColAnchored;
    double ModelTop = 0.0, ModelBottom = 10.0, ModelLeft = 0.0, ModelRight = 10.0;
    double ModelWidth = 0.0, ModelDepth = 0.0;
    arofdoubleM ReliefX, ReliefZ;
    bool HasRelief = false;
    arofdoubleM ReliefShift;
    double MaxReliefShift = 0.0;
    // The depths (below the first row boundary) over which the row
    // boundaries blend from the relief to level lines; none when the
    // bottom is not below the top.
    double ReliefFadeTop = 0.0, ReliefFadeBottom = 0.0;
    // Per column boundary and row boundary, a depth added (down positive):
    // rows bent onto a drawn line; used only while it matches the mesh
    // ([ColBounds][RowBounds]), empty for none.
    std::vector<std::vector<double>> RowShifts;
    arofcomplexM MarkerPoints;

    // --- Fields: cell values ---
    DynArray<ararofdoubleM> Layers;
    int CurrentLayer = 0;
    arofintM LayerOrder;
    double HalfSpaceValue = 1.0;
    ararofboolM Selected, Fixed;
    ararofcomplexM Limits;
    bool HasExtraTables = false;
    ararofdoubleM ExtraValues;
    ararofcomplexM ExtraPairs;
    double ExtraDefault = 0.0;
    // How far each cell's colour fades toward white, [column][row]: 0 keeps
    // the colour, 1 is white (an inverted image fades what the data see
    // little). Empty, or of another size than the mesh, for no fading.
    ararofdoubleM CellFade;
    DynArray<FloatingCell> FloatingCells;
    pointarray FreeFormPoints;

    // --- Fields: pointer and tools ---
    uint8_t ToolMode = 1;
    uint8_t SavedMode = 0;
    bool ModeOverride = false;
    TMouseButton PressButton = mbLeft;
    bool Dragging = false;
    double PointerX = 0.0, PointerZ = 0.0;
    int CurCol = -1, CurRow = -1;
    double CellValueAtCursor = 0.0;
    uint8_t PointerZone = 0;
    int HitKind = -1, HitIndex = -1;
    TPoint SelStart, SelEnd;
    int StepPercent = 10;
    int WandTolerance = 10;
    double WandCurrentTolerance = -1.0;
    bool ReadOnly = false;
    // Pops up the main menu at the mouse cursor (a right click with no key
    // in the cell area); the chart sets it to ShowMainMenu.
    std::function<void()> OnMainMenuRequest;

    // --- Fields: display ---
    bool ShowMesh = true;
    bool ShowBorders = true;
    int BorderThreshold = 10;
    TColor MeshLineColor = 0x808080;
    TColor BorderColor = clBlack;
    TColor SelectedDotColor = clWhite;
    TColor FixedDotColor = clBlack;
    TChartImageTool* ImageTool = nullptr;
    TPointSeries* ExtentSeries = nullptr;
    TPointSeries* MarkerSeries = nullptr;
    QString PositionText, ValueText, ModeText;
    TNotifyEvent OnStatusChange;
    TCellDrawnEvent OnCellDrawn;
    undo UndoStore;
    TPopupMenu MainMenu, ViewMenu, ColorBarMenu, DepthAxisMenu, HorizAxisMenu;

    // --- Fields: colour scale ---
    int ColorCount = 250;
    DynArray<TColor> Palette;
    TColor PaletteFirstColor = clBlue;
    std::array<TColor, 2> PaletteMidColors{0x008000, 0x00FFFF};
    TColor PaletteLastColor = clRed;
    double ScaleMin = 0.0, ScaleMax = 10.0;
    uint8_t ScaleMode = 0;
    double SymLogConstant = 0.0;
    double CursorValue = 1.0;
    bool ShowColorBar = true;
    int ColorBarGap = 10;
    int ColorBarWidth = 15;
    std::unique_ptr<TPlotFont> ColorBarFont;
    QString UnitsLabel;

    // --- Published events ---
    TNotifyEvent OnAfterChangeCB;
    TNotifyEvent OnAfterChangingParameter;
    TNotifyEvent OnChangingGrid;

private:
    struct TCellCorners {
        int xL, xR, yTL, yBL, yTR, yBR;
    };
    TCellCorners CornersOf(int C, int R) const;
    void BuildPalette();
    // The cell picture takes the size of the cell area (at most the chart
    // rectangle's and 4096 pixels each way, so a zoomed view or a large
    // print stretches it instead of growing it without bound) and, when
    // that changed, is painted anew (true). No
    // repaint is asked for: the drawing under way shows the result.
    bool FitCellPicture(const TRect& Area);
    // White, then every cell (a mesh without cells stays white).
    void RefillCellPicture();
    void PaintAllCells(TCanvas* Canvas);
    // The logarithmic mode needs ScaleMin > 0: otherwise the scale becomes
    // symmetric logarithmic (and stays so).
    void SecureScaleMode();
    // T(v) of the current mode.
    double ScaleTransform(double V) const;
    void CreatePopupMenus();
    bool SnapshotFits(const undounit& Unit) const;
    // The depth-axis "Set maximum": the last row boundary.
    void AskMaxDepth();
    // The model area after a change of its depth: ExtentSeries spans it.
    void UpdateExtentSeries();
    void ResizeCellTables();
    // The end of a boundary insertion or removal whose tables already
    // follow the new boundaries.
    void CommitColBounds(const arofdoubleM& Bounds, bool Redraw);
    void CommitRowBounds(const arofdoubleM& Bounds, bool Redraw);
    void FinishBoundaryMove();
    // Paints the mask pixels of the cells the MagicWand takes red.
    void FillWandMask(TCanvas& Mask, int C, int R, double Tolerance);
    // Steps of the mouse handlers: what a move does with the current tool,
    // the value edits of a drag, the start of a gesture at a press in the
    // cell area (false: the press ends there) and the boundary tools' press.
    void DragTool(TShiftState Shift);
    void EditDrag(TShiftState Shift);
    bool StartGesture(TShiftState Shift);
    bool StartEdit(TShiftState Shift, bool InMesh);
    void EditBoundAtPointer();
    // Whether the raster draws the cell's shapes as the device would.
    bool RasterTakes(const TCellRaster& Raster, const TCellCorners& K);
    void DrawCellOn(TCellTarget& Target, const TCellCorners& K, int C, int R, bool Isolated);
    void DrawBorders(TCellTarget& Target, const TCellCorners& K, int C, int R, bool Isolated);
    void Fire(const TNotifyEvent& Event) { if (Event) Event(this); }

    std::unique_ptr<TBitmap> FHatchBitmap;
    std::unique_ptr<TBitmap> FMaskBitmap;
    // The cell the running edit gesture raised or lowered last.
    TPoint FEditedCell{-1, -1};
};

} // namespace lp
