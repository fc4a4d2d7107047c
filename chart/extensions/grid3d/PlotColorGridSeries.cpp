// The colour grid series: extents over whole cells, the cell picture of a
// regular grid, the cell rectangles of an irregular one, grid lines, frame,
// marks and hit tests.

#include "chart/extensions/grid3d/PlotColorGridSeries.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotValueList.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace lp {

namespace {

QRgb ToPixel(TColor Color)
{
    const auto C = static_cast<uint32_t>(ColorToRGB(Color));
    return qRgb(static_cast<int>(C & 0xFF), static_cast<int>((C >> 8) & 0xFF), static_cast<int>((C >> 16) & 0xFF));
}

TColor FromPixel(QRgb Pixel)
{
    return static_cast<TColor>(qRed(Pixel) | (qGreen(Pixel) << 8) | (qBlue(Pixel) << 16));
}

int ClampedInt(int64_t V)
{
    return static_cast<int>(std::clamp<int64_t>(V, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

TRect Normalised(int X0, int Y0, int X1, int Y1)
{
    return {std::min(X0, X1), std::min(Y0, Y1), std::max(X0, X1), std::max(Y0, Y1)};
}

// The smallest and largest value shown along Axis.
std::pair<double, double> VisibleValues(const TChartAxis& Axis)
{
    const double A = Axis.CalcPosPoint(Axis.StartPixel());
    const double B = Axis.CalcPosPoint(Axis.EndPixel());
    return {std::min(A, B), std::max(A, B)};
}

// The first and last of the cells 1 .. Count, cell c spanning
// c + Shift .. c + Shift + 1, that reach into Low .. High.
std::pair<int, int> CellsWithin(double Low, double High, double Shift, int Count)
{
    const double First = std::floor(Low - Shift - 1) + 1;
    const double Last = std::ceil(High - Shift) - 1;
    const auto Clamp = [Count](double V) { return static_cast<int>(std::clamp(V, 0.0, Count + 1.0)); };
    if (std::isnan(First) || std::isnan(Last))
        return {1, 0};
    return {std::max(1, Clamp(First)), std::min(Count, Clamp(Last))};
}

std::vector<double> DistinctSorted(const TChartValueList& Values)
{
    std::vector<double> Result(static_cast<size_t>(Values.Count()));
    for (int I = 0; I < Values.Count(); ++I)
        Result[static_cast<size_t>(I)] = Values.Value(I);
    std::sort(Result.begin(), Result.end());
    Result.erase(std::unique(Result.begin(), Result.end()), Result.end());
    return Result;
}

// The 0-based slot I with Values[I] <= V < Values[I + 1], -1 when none.
int SlotOf(const std::vector<double>& Values, double V)
{
    const auto Above = std::upper_bound(Values.begin(), Values.end(), V);
    if (Above == Values.begin() || Above == Values.end())
        return -1;
    return static_cast<int>(Above - Values.begin()) - 1;
}

} // namespace

TColorGridSeries::TColorGridSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner)
{
    FFrame = std::make_unique<TChartHiddenPen>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->SetPixelFormat(TBitmap::pf24bit);
    FBitmap->SetTransparent(true);
    FBitmap->SetTransparentColor(clWhite);
    Marks()->Callout()->SetLength(0);
    Marks()->Callout()->SetDefaultLength(0);
}

TColorGridSeries::~TColorGridSeries()
{
    // The frame calls back into the series on change: it goes first.
    FFrame.reset();
}

void TColorGridSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TColorGridSeries*>(Source)) {
        FCenteredPoints = S->FCenteredPoints;
        FSmoothBitmap = S->FSmoothBitmap;
        FFrame->Assign(S->FFrame.get());
    }
    TCustom3DGridSeries::Assign(Source);
}

// --- Gallery ------------------------------------------------------------------------------------

void TColorGridSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustom3DGridSeries::CreateSubGallery(AddSubChart);
    AddSubChart(PlotMsg_StyleNoGrid);
}

void TColorGridSeries::SetSubGallery(int Index)
{
    if (Index == 2)
        Pen()->SetVisible(false);
    else
        TCustom3DGridSeries::SetSubGallery(Index);
}

void TColorGridSeries::GalleryChanged3D(bool Is3D)
{
    TCustom3DGridSeries::GalleryChanged3D(Is3D);
    if (TCustomAxisPanel* Chart = ParentChart()) {
        Chart->SetView3D(Is3D);
        Chart->SetClipPoints(true);
    }
}

void TColorGridSeries::PrepareForGallery(bool IsEnabled)
{
    TCustom3DGridSeries::PrepareForGallery(IsEnabled);
    SetCreatingSamples(true);
    CreateValues(8, 4);
}

// --- Extents ------------------------------------------------------------------------------------

double TColorGridSeries::LowExtent(TChartValueList& Values) const
{
    return Values.MinValue() - CentreShift();
}

double TColorGridSeries::HighExtent(TChartValueList& Values) const
{
    if (FCenteredPoints)
        return Values.MaxValue() + 0.5;
    return IrregularGrid() ? Values.MaxValue() : Values.MaxValue() + 1;
}

double TColorGridSeries::MinXValue()
{
    return LowExtent(*XValues());
}

double TColorGridSeries::MaxXValue()
{
    return HighExtent(*XValues());
}

double TColorGridSeries::MinZValue()
{
    return LowExtent(*ZValues());
}

double TColorGridSeries::MaxZValue()
{
    return HighExtent(*ZValues());
}

int TColorGridSeries::CalcYPos(int Index) const
{
    return CalcYPosValue(ZValues()->Value(Index));
}

// --- Painting -----------------------------------------------------------------------------------

TColorGridSeries::TCellWindow TColorGridSeries::VisibleCells() const
{
    TCellWindow Window;
    if (Count() == 0 || !GetHorizAxis() || !GetVertAxis())
        return Window;
    // Column c holds the X value c + BaseX; its cell starts CentreShift()
    // below that.
    const double BaseX = std::nearbyint(XValues()->MinValue()) - 1;
    const double BaseZ = std::nearbyint(ZValues()->MinValue()) - 1;
    const double ShiftX = BaseX - CentreShift();
    const double ShiftZ = BaseZ - CentreShift();
    const auto [LowX, HighX] = VisibleValues(*GetHorizAxis());
    const auto [LowZ, HighZ] = VisibleValues(*GetVertAxis());
    std::tie(Window.FirstColumn, Window.LastColumn) = CellsWithin(LowX, HighX, ShiftX, NumXValues());
    std::tie(Window.FirstRow, Window.LastRow) = CellsWithin(LowZ, HighZ, ShiftZ, NumZValues());
    if (Window.LastColumn < Window.FirstColumn || Window.LastRow < Window.FirstRow)
        return Window;
    Window.Target = Normalised(
        CalcXPosValue(Window.FirstColumn + ShiftX), CalcYPosValue(Window.FirstRow + ShiftZ),
        CalcXPosValue(Window.LastColumn + ShiftX + 1), CalcYPosValue(Window.LastRow + ShiftZ + 1));
    return Window;
}

void TColorGridSeries::DrawAllValues()
{
    if (Count() == 0 || !FParentChart || !GetHorizAxis() || !GetVertAxis())
        return;
    if (GridColumns() != NumXValues() + 1 || GridRows() != NumZValues() + 1)
        FillGridIndex(0); // points changed since the paint began
    TRect Target;
    if (IrregularGrid()) {
        Target = ExtentRect();
        DrawIrregularCells();
    } else {
        const TCellWindow Window = VisibleCells();
        if (Window.LastColumn < Window.FirstColumn || Window.LastRow < Window.FirstRow)
            return;
        Target = Window.Target;
        // The picture's first row and column go to the top and left of the
        // screen, whichever way the axes run.
        const bool FlipX = CalcXPosValue(Window.FirstColumn) > CalcXPosValue(Window.LastColumn + 1);
        const bool FlipY = CalcYPosValue(Window.FirstRow) > CalcYPosValue(Window.LastRow + 1);
        // A turned view would project the picture one cell at a time, empty
        // cells included: the held cells are projected straight instead.
        if (DrawsTurned() && !FSmoothBitmap)
            DrawTurnedCells(Window, FlipX, FlipY);
        else if (FillCellBitmap(Window, FlipX, FlipY))
            DrawCellBitmap(Target);
    }
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (Pen()->Visible())
        DrawGridLines(Target);
    if (FFrame->Visible()) {
        Canvas.SetBackMode(TRANSPARENT);
        Canvas.AssignVisiblePen(*FFrame);
        Canvas.Brush()->SetStyle(TBrush::bsClear);
        Canvas.RectangleWithZ(Target, DepthStart());
    }
}

bool TColorGridSeries::DrawsTurned() const
{
    return FParentChart && FParentChart->View3D() && !FParentChart->View3DOptions()->Orthogonal();
}

std::pair<double, double> TColorGridSeries::RegularNodeOf(int Index) const
{
    // As the grid index places points: column (row) 1 holds the smallest
    // X (Z), rounded to the nearest whole number.
    const double Column = std::nearbyint(XValues()->Value(Index)) - (std::nearbyint(XValues()->MinValue()) - 1);
    const double Row = std::nearbyint(ZValues()->Value(Index)) - (std::nearbyint(ZValues()->MinValue()) - 1);
    return {Column, Row};
}

template <class TVisit>
void TColorGridSeries::ForEachHeldCell(const TCellWindow& Window, bool FlipX, bool FlipY, TVisit&& Visit) const
{
    const int Width = Window.LastColumn - Window.FirstColumn + 1;
    const int Height = Window.LastRow - Window.FirstRow + 1;
    if (static_cast<qint64>(Width) * Height <= DenseNodesPerPoint * static_cast<qint64>(Count())) {
        // Few cells per point: the window's nodes, row by row from the top.
        for (int Y = 0; Y < Height; ++Y) {
            const int Row = FlipY ? Window.LastRow - Y : Window.FirstRow + Y;
            for (int X = 0; X < Width; ++X)
                if (const int Index = GridIndex(FlipX ? Window.LastColumn - X : Window.FirstColumn + X, Row);
                    Index >= 0)
                    Visit(THeldCell{X, Y, Index});
        }
        return;
    }
    // A grid far wider than its points: the points' nodes.
    for (int I = 0; I < Count(); ++I) {
        const auto [Column, Row] = RegularNodeOf(I);
        if (!(Column >= Window.FirstColumn && Column <= Window.LastColumn && Row >= Window.FirstRow
              && Row <= Window.LastRow))
            continue;
        const int C = static_cast<int>(Column);
        const int R = static_cast<int>(Row);
        if (GridIndex(C, R) != I)
            continue; // a later point on the same node holds it
        Visit(THeldCell{FlipX ? Window.LastColumn - C : C - Window.FirstColumn,
                        FlipY ? Window.LastRow - R : R - Window.FirstRow, I});
    }
}

bool TColorGridSeries::FillCellBitmap(const TCellWindow& Window, bool FlipX, bool FlipY)
{
    const int Width = Window.LastColumn - Window.FirstColumn + 1;
    const int Height = Window.LastRow - Window.FirstRow + 1;
    QImage Cells(Width, Height, QImage::Format_RGB32);
    Cells.fill(Qt::white);
    bool AnyColour = false;
    if (Brush()->Style() != TBrush::bsClear)
        ForEachHeldCell(Window, FlipX, FlipY, [&](const THeldCell& Cell) {
            const TColor Color = GetValueColor(Cell.Index);
            if (Color == clNone)
                return;
            reinterpret_cast<QRgb*>(Cells.scanLine(Cell.Y))[Cell.X] = ToPixel(Color);
            AnyColour = true;
        });
    FBitmap->SetImage(Cells);
    return AnyColour;
}

void TColorGridSeries::DrawTurnedCells(const TCellWindow& Window, bool FlipX, bool FlipY)
{
    if (Brush()->Style() == TBrush::bsClear)
        return;
    std::vector<THeldCell> Cells;
    ForEachHeldCell(Window, FlipX, FlipY, [&Cells](const THeldCell& Cell) { Cells.push_back(Cell); });
    // Row by row from the top, as the picture would be drawn.
    std::sort(Cells.begin(), Cells.end(),
              [](const THeldCell& A, const THeldCell& B) { return A.Y != B.Y ? A.Y < B.Y : A.X < B.X; });
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.Pen()->SetStyle(TPen::psClear);
    Canvas.Brush()->SetStyle(TBrush::bsSolid);
    const TRect& Target = Window.Target;
    const int64_t Columns = Window.LastColumn - Window.FirstColumn + 1;
    const int64_t Rows = Window.LastRow - Window.FirstRow + 1;
    const int64_t Width = static_cast<int64_t>(Target.Right) - Target.Left;
    const int64_t Height = static_cast<int64_t>(Target.Bottom) - Target.Top;
    // The target is shared out over all the window's cells by one rule, so
    // that neighbours meet without gaps, as when the picture is stretched.
    const auto EdgeX = [&](int Column) { return ClampedInt(Target.Left + Width * Column / Columns); };
    const auto EdgeY = [&](int Row) { return ClampedInt(Target.Top + Height * Row / Rows); };
    const int Z = DepthStart();
    for (const THeldCell& Cell : Cells) {
        const TColor Color = GetValueColor(Cell.Index);
        // White is the picture's transparent colour: such a cell shows what
        // lies behind, as an empty one does.
        if (Color == clNone || ColorToRGB(Color) == clWhite)
            continue;
        Canvas.Brush()->SetColor(ColorToRGB(Color));
        const int Left = EdgeX(Cell.X);
        const int Right = EdgeX(Cell.X + 1);
        const int Top = EdgeY(Cell.Y);
        const int Bottom = EdgeY(Cell.Y + 1);
        const std::array<TPoint, 4> Corners{TPoint{Left, Top}, TPoint{Right, Top}, TPoint{Right, Bottom},
                                            TPoint{Left, Bottom}};
        Canvas.PolygonWithZ(Corners, Z);
    }
}

void TColorGridSeries::DrawCellBitmap(const TRect& Target)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const TGraphic* Picture = FBitmap.get();
    TBitmap Smooth;
    const int TargetWidth = Target.Right - Target.Left;
    const int TargetHeight = Target.Bottom - Target.Top;
    if (FSmoothBitmap && FBitmap->Width() > 1 && FBitmap->Height() > 1 && TargetWidth > 1 && TargetHeight > 1) {
        Smooth.SetSize(TargetWidth, TargetHeight);
        SmoothStretch(FBitmap.get(), &Smooth);
        Smooth.SetTransparent(true);
        Smooth.SetTransparentColor(clWhite);
        Picture = &Smooth;
    }
    const int Z = DepthStart();
    if (!FParentChart->View3D() || FParentChart->View3DOptions()->Orthogonal())
        Canvas.StretchDraw(Canvas.CalculateRect3D(Target, Z), Picture);
    else
        Canvas.StretchDrawWithZ(Target, Picture, Z);
}

void TColorGridSeries::DrawIrregularCells()
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.Pen()->SetStyle(TPen::psClear);
    Canvas.Brush()->SetStyle(TBrush::bsSolid);
    const int Z = DepthStart();
    for (int Row = 1; Row < NumZValues(); ++Row)
        for (int Column = 1; Column < NumXValues(); ++Column) {
            const int Index = GridIndex(Column, Row);
            if (Index < 0)
                continue;
            const TColor Color = GetValueColor(Index);
            const int Right = GridIndex(Column + 1, Row);
            const int Up = GridIndex(Column, Row + 1);
            if (Color == clNone || Right < 0 || Up < 0)
                continue;
            Canvas.Brush()->SetColor(Color);
            Canvas.RectangleWithZ(Normalised(CalcXPosValue(XValues()->Value(Index)),
                                             CalcYPosValue(ZValues()->Value(Index)),
                                             CalcXPosValue(XValues()->Value(Right)),
                                             CalcYPosValue(ZValues()->Value(Up))),
                                  Z);
        }
}

TRect TColorGridSeries::ExtentRect()
{
    const auto [LowX, HighX] = VisibleValues(*GetHorizAxis());
    const auto [LowZ, HighZ] = VisibleValues(*GetVertAxis());
    return Normalised(CalcXPosValue(std::max(MinXValue(), LowX)), CalcYPosValue(std::max(MinZValue(), LowZ)),
                      CalcXPosValue(std::min(MaxXValue(), HighX)), CalcYPosValue(std::min(MaxZValue(), HighZ)));
}

std::vector<TColorGridSeries::TGridLine> TColorGridSeries::GridLineNodes(bool Horizontal) const
{
    const int Offset = IrregularGrid() && !FCenteredPoints ? 1 : 0;
    // Every below 1 would divide by zero or step backwards: one line per
    // row or column then.
    const int Every = std::max(1, Horizontal ? FZGridEvery : FXGridEvery);
    const int Last = ((Horizontal ? NumZValues() : NumXValues()) - Offset - 1) / Every;
    const auto NodeOfStep = [&](int K) {
        return Horizontal ? GridIndex(1, Every * K + 1) : GridIndex(Every * K + 1, 1);
    };
    std::vector<TGridLine> Lines;
    if (IrregularGrid() || Last <= Count()) {
        for (int K = 1; K <= Last; ++K)
            if (const int Node = NodeOfStep(K); Node >= 0)
                Lines.push_back({K, Node});
        return Lines;
    }
    // More steps than points (a sparse regular grid): the lines are found
    // from the points in the first column (row).
    for (int I = 0; I < Count(); ++I) {
        const auto [Column, Row] = RegularNodeOf(I);
        const double Across = Horizontal ? Column : Row;
        const double Along = (Horizontal ? Row : Column) - 1;
        if (Across != 1 || !(Along >= Every && Along <= static_cast<double>(Last) * Every)
            || std::fmod(Along, Every) != 0)
            continue;
        const int K = static_cast<int>(Along) / Every;
        if (NodeOfStep(K) == I)
            Lines.push_back({K, I});
    }
    std::sort(Lines.begin(), Lines.end(), [](const TGridLine& A, const TGridLine& B) { return A.Step < B.Step; });
    return Lines;
}

void TColorGridSeries::DrawGridLines(const TRect& Target)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.SetBackMode(TRANSPARENT);
    Canvas.AssignVisiblePen(*Pen());
    const int Z = DepthStart();
    for (const TGridLine& Line : GridLineNodes(true))
        Canvas.HorizLine3D(Target.Left, Target.Right, CalcYPosValue(ZValues()->Value(Line.Node) - CentreShift()), Z);
    for (const TGridLine& Line : GridLineNodes(false))
        Canvas.VertLine3D(CalcXPosValue(XValues()->Value(Line.Node) - CentreShift()), Target.Top, Target.Bottom, Z);
}

void TColorGridSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    const double H = !IrregularGrid() && !FCenteredPoints ? 0.5 : 0.0;
    const TPoint Centre{CalcXPosValue(XValues()->Value(ValueIndex) + H),
                        CalcYPosValue(ZValues()->Value(ValueIndex) + H)};
    APosition.ArrowStart = Centre;
    APosition.ArrowEnd = Centre;
    APosition.TopLeft = {Centre.X - APosition.MarkWidth / 2, Centre.Y - APosition.MarkHeight / 2};
    // The cells lie at the series' front, whatever the point's Z.
    Marks()->SetZPosition(DepthStart());
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

// --- Hit test -----------------------------------------------------------------------------------

int TColorGridSeries::Clicked(int X, int Y)
{
    if (Count() == 0 || !FParentChart || !GetHorizAxis() || !GetVertAxis())
        return -1;
    if (FParentChart->View3D())
        FParentChart->Canvas().Calculate2DPosition(X, Y, DepthStart());
    FillGridIndex(0);
    const double VX = GetHorizAxis()->CalcPosPoint(X);
    const double VZ = GetVertAxis()->CalcPosPoint(Y);
    return IrregularGrid() ? ClickedIrregular(VX, VZ) : ClickedRegular(VX, VZ);
}

int TColorGridSeries::ClickedRegular(double VX, double VZ) const
{
    const double Row = std::floor(VZ + CentreShift() - ZValues()->MinValue());
    const double Column = std::floor(VX + CentreShift() - XValues()->MinValue());
    if (!(Row >= 0 && Row < NumZValues() && Column >= 0 && Column < NumXValues()))
        return -1;
    return GridIndex(static_cast<int>(Column) + 1, static_cast<int>(Row) + 1);
}

// The cell between two neighbouring columns and rows, looked up through the
// grid index (points may be stored in any order).
int TColorGridSeries::ClickedIrregular(double VX, double VZ) const
{
    const int Column = SlotOf(DistinctSorted(*XValues()), VX);
    const int Row = SlotOf(DistinctSorted(*ZValues()), VZ);
    if (Column < 0 || Row < 0)
        return -1;
    return GridIndex(Column + 1, Row + 1);
}

// --- Pictures -----------------------------------------------------------------------------------

void TColorGridSeries::CheckPictureSize(int Width, int Height)
{
    if (Width > MaxPictureCells || Height > MaxPictureCells)
        throw ChartException(QStringLiteral("The picture of %1 x %2 pixels is larger than the %3 x %3 cells "
                                            "a colour grid is filled with.")
                                 .arg(Width)
                                 .arg(Height)
                                 .arg(MaxPictureCells));
}

void TColorGridSeries::FillFromBitmap(const TBitmap& Picture)
{
    CheckPictureSize(Picture.Width(), Picture.Height());
    FBitmap->Assign(&Picture);
    const QImage Pixels = Picture.Image();
    BeginUpdate();
    Clear();
    FCenteredPoints = true;
    SetNumXValues(Pixels.width());
    SetNumZValues(Pixels.height());
    Clear(); // the size setters may have refilled the grid
    for (int X = 0; X < Pixels.width(); ++X)
        for (int Y = 0; Y < Pixels.height(); ++Y)
            AddXYZ(X + 1, FromPixel(Pixels.pixel(X, Y)), Y + 1);
    EndUpdate();
}

} // namespace lp
