#include "section/views/Section2D.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

constexpr const char* SmallFontName = "Small fonts";
constexpr int SmallFontSize = 7;

template <typename T>
void ResizeTable(DynArray<DynArray<T>>& Table, int Cols, int Rows, const T& Fill)
{
    Table.SetLength(Cols);
    for (DynArray<T>& column : Table) {
        const int old = column.Length();
        column.SetLength(Rows);
        for (int r = old; r < Rows; ++r)
            column[r] = Fill;
    }
}

} // namespace

TTModelSection2d::TTModelSection2d(TComponent* AOwner) : TChart(AOwner)
{
    if (!IsDesigning()) {
        ExtentSeries = new TPointSeries(this);
        ExtentSeries->SetParentChart(this);
        ExtentSeries->Pointer()->SetVisible(false);
        ExtentSeries->SetHorizAxis(TChartSeries::aBottomAxis);
        ExtentSeries->SetVertAxis(TChartSeries::aLeftAxis);
        ImageTool = new TChartImageTool(this);
        Tools().Add(ImageTool);
        ImageTool->SetSeries(ExtentSeries);
        // The picture follows the cell area the axes give it at each drawing.
        ImageTool->OnBeforeDrawImage = [this](QObject*) { FitCellPicture(CellArea()); };
        // Depth grows downward: the picture's first row lies at ModelTop.
        ImageTool->SetReverseVertical(true);
        MarkerSeries = new TPointSeries(this);
        MarkerSeries->SetParentChart(this);
        TSeriesPointer& pointer = *MarkerSeries->Pointer();
        pointer.SetVisible(true);
        pointer.SetVertSize(3);
        pointer.SetHorizSize(3);
        pointer.SetStyle(TSeriesPointer::psDownTriangle);
        pointer.SetColor(clRed);
        pointer.Brush()->SetColor(clRed);

        SetBounds(0, 0, 783, 324);
        BackWall()->Brush()->SetColor(clWhite);
        BackWall()->Brush()->SetStyle(TBrush::bsClear);
        SetMarginUnits(TPlotUnits::muPixels);
        Zoom()->Pen()->SetColor(clBlack);
        Title()->SetVisible(true);
        Title()->Font()->SetName(QString::fromLatin1(SmallFontName));
        Title()->Font()->SetSize(SmallFontSize);
        SetView3D(false);
        SetBevelOuter(bvNone);
        SetColor(clWhite);

        TChartAxis& left = *LeftAxis();
        left.SetAutomatic(true);
        left.SetInverted(true);
        left.Grid()->SetVisible(false);
        left.SetStartPosition(5.0);
        left.SetLabelsSize(1);
        left.SetMinorTickCount(1);
        left.Axis()->SetVisible(false);
        left.SetLabelStyle(talValue);
        TChartAxis& bottom = *BottomAxis();
        bottom.SetLabelsSize(1);
        bottom.SetMinorTickCount(1);
        bottom.Axis()->SetVisible(false);
        bottom.SetAutomatic(true);
        bottom.Grid()->SetVisible(false);
        bottom.SetLabelStyle(talValue);
        Legend()->SetVisible(false);

        UnitsLabel = QStringLiteral("<font name=symbol>r<font name=arial size=-3>m");
        CreatePopupMenus();
        FMaskBitmap = std::make_unique<TBitmap>();
        SetDefaults();
        OnAfterDraw = [this](TCustomPlotPanelExtended*) { MeshAfterDraw(); };
        OnResize = [this](TControl*) { RepaintCells(); };
        OnMouseMove = [this](TControl*, TShiftState Shift, int X, int Y) { MeshMouseMove(Shift, X, Y); };
        OnMouseDown = [this](TControl*, TMouseButton Button, TShiftState Shift, int X, int Y) {
            MeshMouseDown(Button, Shift, X, Y);
        };
        OnMouseUp = [this](TControl*, TMouseButton Button, TShiftState Shift, int X, int Y) {
            MeshMouseUp(Button, Shift, X, Y);
        };
    }
    SetAllowZoom(false);
    SetAllowPanning(pmNone);
}

TTModelSection2d::~TTModelSection2d() = default;

void TTModelSection2d::SetDefaults()
{
    ToolMode = 1;
    ModelTop = 0.0;
    ModelBottom = 10.0;
    ModelRight = 10.0;
    ModelLeft = 0.0;
    MeshLineColor = 0x808080;
    BorderColor = clBlack;
    PaletteFirstColor = clBlue;
    PaletteMidColors = {0x008000, 0x00FFFF};
    PaletteLastColor = clRed;
    BuildPalette();
    SetMargin(0, 25);
    SetMargin(2, 70);
    SetMargin(1, 1);
    SetMargin(3, 20);
    ColorBarFont = std::make_unique<TPlotFont>();
    ColorBarFont->SetName(QString::fromLatin1(SmallFontName));
    ColorBarFont->SetSize(SmallFontSize);
    HalfSpaceValue = 1.0;
    ScaleMode = 0;
    CursorValue = HalfSpaceValue;
    WandTolerance = 10;
    ShowMesh = true;
    ShowBorders = true;
    BorderThreshold = 10;
}

void TTModelSection2d::BuildPalette()
{
    const arofintM anchors{PaletteFirstColor, PaletteMidColors[0], PaletteMidColors[1], PaletteLastColor};
    const arofintM ramp = InterpolateColors(ColorCount, anchors, anchors.High());
    Palette = DynArray<TColor>(ramp.Length());
    for (int i = 0; i < ramp.Length(); ++i)
        Palette[i] = ramp[i];
}

// --- Cell model -----------------------------------------------------------------

void TTModelSection2d::ClampValue(double& V)
{
    if (!(V >= MinCellValue))  // NaN too
        V = MinCellValue;
    if (V > MaxCellValue)
        V = MaxCellValue;
}

double TTModelSection2d::CellValue(int C, int R) const
{
    const double value = Layers[CurrentLayer][C][R];
    return value == HalfSpaceValue ? Layers[0][C][R] : value;
}

bool TTModelSection2d::SetCellValue(int C, int R, double& V)
{
    ClampValue(V);
    if (Fixed[C][R]) {
        complexM& limits = Limits[C][R];
        if (limits.re > V)
            limits.re = V;
        if (limits.im < V)
            limits.im = V;
    }
    double& cell = Layers[CurrentLayer][C][R];
    const bool changed = cell != V;
    cell = V;
    return changed;
}

void TTModelSection2d::SetHalfSpaceValue(double V)
{
    if (ReadOnly)
        return;
    ClampValue(V);
    for (ararofdoubleM& layer : Layers)
        for (arofdoubleM& column : layer)
            for (double& cell : column)
                if (cell == HalfSpaceValue)
                    cell = V;
    HalfSpaceValue = V;
    ScaleMin = std::min(HalfSpaceValue, ScaleMin);
    ScaleMax = std::max(HalfSpaceValue, ScaleMax);
    Fire(OnAfterChangingParameter);
}

void TTModelSection2d::AddLayer()
{
    const int cols = LastCol + 1, rows = LastRow + 1;
    ararofdoubleM layer;
    ResizeTable(layer, std::max(cols, 0), std::max(rows, 0), HalfSpaceValue);
    Layers.Add(std::move(layer));
    if (HasExtraTables && ExtraValues.Length() == 0) {
        ResizeTable(ExtraValues, std::max(cols, 0), std::max(rows, 0), ExtraDefault);
        ResizeTable(ExtraPairs, std::max(cols, 0), std::max(rows, 0), complexM{});
    }
    LayerOrder.Insert(0, Layers.High());
    CurrentLayer = LayerOrder[0];
    PaintCells();
    Fire(OnAfterChangingParameter);
}

void TTModelSection2d::FlattenLayers()
{
    for (int c = 0; c <= LastCol; ++c)
        for (int r = 0; r <= LastRow; ++r)
            Layers[0][c][r] = CellValue(c, r);
    Layers.SetLength(std::min(Layers.Length(), 1));
    CurrentLayer = 0;
    LayerOrder = arofintM{0};
    Fire(OnAfterChangingParameter);
}

void TTModelSection2d::ResizeCellTables()
{
    // Every per-cell table follows the mesh: kept cells keep their values,
    // new cells take the half-space value, unselected and unfixed.
    const int cols = std::max(LastCol + 1, 0), rows = std::max(LastRow + 1, 0);
    for (ararofdoubleM& layer : Layers)
        ResizeTable(layer, cols, rows, HalfSpaceValue);
    ResizeTable(Selected, cols, rows, ByteBool{0});
    ResizeTable(Fixed, cols, rows, ByteBool{0});
    ResizeTable(Limits, cols, rows, complexM{});
    if (HasExtraTables && ExtraValues.Length() > 0) {
        ResizeTable(ExtraValues, cols, rows, ExtraDefault);
        ResizeTable(ExtraPairs, cols, rows, complexM{});
    }
    CellCount = cols * rows;
}

// --- Mesh geometry --------------------------------------------------------------

void TTModelSection2d::SetColBounds(int Count, const arofdoubleM* Values)
{
    if (Values != nullptr) {
        ColBounds = *Values;
    } else {
        // The mesh keeps its right edge: a resize moves the old last
        // boundary to the new last index instead of cutting the mesh short
        // or ending it on a new 0.0.
        const bool hadBounds = ColBounds.Length() > 0;
        const double rightEdge = hadBounds ? ColBounds.Last() : 0.0;
        ColBounds.SetLength(std::max(Count, 0));
        if (hadBounds && ColBounds.Length() > 1)
            ColBounds.Last() = rightEdge;
        const int anchors = ColAnchored.Length();
        int kept = 0;
        for (int b = 1; b < ColBounds.Length(); ++b) {
            // An anchor that no longer lies between the boundary kept last
            // and the right edge (after a resize moved the edge past it) is
            // redivided with the others, so the bounds stay ascending.
            const bool anchored = b < anchors && ColAnchored[b] && ColBounds[b] > ColBounds[kept] &&
                                  ColBounds[b] < ColBounds.Last();
            if (!anchored && b != ColBounds.High())
                continue;
            for (int k = kept + 1; k < b; ++k)
                ColBounds[k] = ColBounds[kept] + (ColBounds[b] - ColBounds[kept]) * (k - kept) / (b - kept);
            kept = b;
        }
    }
    // One anchor flag and one relief shift per boundary.
    const int oldAnchors = ColAnchored.Length();
    ColAnchored.SetLength(ColBounds.Length());
    for (int b = oldAnchors; b < ColAnchored.Length(); ++b)
        ColAnchored[b] = 0;
    UpdateReliefShift();
    ModelWidth = ModelRight - ModelLeft;
    LastCol = ColBounds.Length() - 2;
    Fire(OnChangingGrid);
    ResizeCellTables();
}

bool TTModelSection2d::SetRowBounds(int Count, const arofdoubleM* Values)
{
    if (Values != nullptr) {
        RowBounds = *Values;
    } else {
        // An even division needs two ends.
        if (Count < 2)
            return false;
        RowBounds = arofdoubleM(Count);
        const double depth = ModelBottom - ModelTop - MaxReliefShift;
        for (int i = 0; i < Count; ++i)
            RowBounds[i] = ModelTop + depth * i / (Count - 1);
    }
    ModelDepth = ModelBottom - ModelTop;
    LastRow = RowBounds.Length() - 2;
    Fire(OnChangingGrid);
    ResizeCellTables();
    return true;
}

void TTModelSection2d::UpdateReliefShift()
{
    ReliefShift = arofdoubleM(ColBounds.Length(), 0.0);
    HasRelief = ReliefX.Length() > 0 && ReliefZ.Length() == ReliefX.Length();
    if (HasRelief && ColBounds.Length() > 0) {
        const arofdoubleM surface = InterpolateTable(ColBounds, ReliefX, ReliefZ);
        const double highest = ExtremeOfArray(surface, 0);
        for (int i = 0; i < surface.Length(); ++i)
            ReliefShift[i] = highest - surface[i];
    }
    MaxReliefShift = ReliefShift.Length() > 0 ? *std::max_element(ReliefShift.begin(), ReliefShift.end()) : 0.0;
}

double TTModelSection2d::ReliefShiftAt(int C, double X) const
{
    return LinearInterpolate(ColBounds[C], ReliefShift[C], ColBounds[C + 1], ReliefShift[C + 1], X);
}

double TTModelSection2d::BoundaryShift(int Edge, int R) const
{
    const double share = SurfaceShare(RowBounds[R] - RowBounds[0], ReliefFadeTop, ReliefFadeBottom);
    const bool bent = RowShifts.size() == static_cast<size_t>(ColBounds.Length()) &&
                      RowShifts[static_cast<size_t>(Edge)].size() == static_cast<size_t>(RowBounds.Length());
    const double bend = bent ? RowShifts[static_cast<size_t>(Edge)][static_cast<size_t>(R)] : 0.0;
    return share * ReliefShift[Edge] + (1.0 - share) * MaxReliefShift + bend;
}

double TTModelSection2d::BoundaryShiftAt(int C, double X, int R) const
{
    return LinearInterpolate(ColBounds[C], BoundaryShift(C, R), ColBounds[C + 1], BoundaryShift(C + 1, R), X);
}

double TTModelSection2d::StoredDepthAt(int C, double X, double Z) const
{
    const double shift = ReliefShiftAt(C, X);
    if (!(ReliefFadeBottom > ReliefFadeTop) || RowBounds.Length() == 0)
        return Z - shift;
    // Z = d + shift blended toward MaxReliefShift grows with d: bisection.
    const double top = RowBounds[0];
    const auto chartDepth = [&](double d) {
        const double share = SurfaceShare(d - top, ReliefFadeTop, ReliefFadeBottom);
        return d + share * shift + (1.0 - share) * MaxReliefShift;
    };
    double low = Z - MaxReliefShift, high = Z - std::min(shift, MaxReliefShift);
    for (int i = 0; i < 60 && high > low; ++i) {
        const double middle = 0.5 * (low + high);
        (chartDepth(middle) < Z ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

// --- Pointer --------------------------------------------------------------------

void TTModelSection2d::UpdatePointerZone(int X, int Y)
{
    const TRect r = ChartRectangle();
    const bool beside = r.Top <= Y && Y <= r.Bottom;
    const int barLeft = r.Right + ColorBarGap;
    if (r.Left < X && X <= r.Right && beside)
        PointerZone = 1;
    else if (X < r.Left && beside)
        PointerZone = 2;
    else if (r.Left <= X && X <= r.Right && Y > r.Bottom)
        PointerZone = 3;
    else if (ShowColorBar && barLeft <= X && X <= barLeft + ColorBarWidth && beside)
        PointerZone = 4;
    else
        PointerZone = 0;
}

bool TTModelSection2d::CellAt(double X, double Z, int& C, int& R) const
{
    if (PointerZone != 1 || LastCol < 1)
        return false;
    C = -1;
    R = -1;
    for (int c = 0; c + 1 < ColBounds.Length(); ++c)
        if (ColBounds[c] <= X && X <= ColBounds[c + 1]) {
            C = c;
            break;
        }
    if (C < 0)
        return false;
    for (int r = 0; r + 1 < RowBounds.Length(); ++r)
        if (RowBounds[r] + BoundaryShiftAt(C, X, r) <= Z && Z <= RowBounds[r + 1] + BoundaryShiftAt(C, X, r + 1)) {
            R = r;
            break;
        }
    return R >= 0;
}

} // namespace lp
