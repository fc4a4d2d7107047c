// The surface series: cell order, cell colours, frames, side walls,
// waterfall strips and hit tests.

#include "chart/extensions/grid3d/PlotSurfaceSeries.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTitles.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <climits>
#include <string>

namespace lp {

namespace {

// first, last, second, last but one, ...: the middle ends up last.
std::vector<int> CentreOut(const std::vector<int>& Order)
{
    std::vector<int> Result;
    Result.reserve(Order.size());
    size_t Low = 0;
    size_t High = Order.size();
    while (Low < High) {
        Result.push_back(Order[Low++]);
        if (Low < High)
            Result.push_back(Order[--High]);
    }
    return Result;
}

std::vector<int> Range(int From, int To, int Step)
{
    std::vector<int> Result;
    for (int I = From; Step > 0 ? I <= To : I >= To; I += Step)
        Result.push_back(I);
    return Result;
}

TRect Bounds(const std::vector<TPoint>& Points)
{
    return RectFromPolygon(Points, static_cast<int>(Points.size()) - 1);
}

} // namespace

TSurfaceSeries::TSurfaceSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner)
{
    SetSteps(-1, -1);
    const auto Changed = [this](TGraphicsObject* Sender) { CanvasChanged(Sender); };
    FSideBrush = std::make_unique<TChartClearBrush>(Changed);
    FSideLines = std::make_unique<TChartHiddenPen>(Changed);
    FWaterLines = CreateChartPen();
}

TSurfaceSeries::~TSurfaceSeries()
{
    // The owned objects call back into the series on change: they go first.
    FWaterLines.reset();
    FSideLines.reset();
    FSideBrush.reset();
}

void TSurfaceSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TSurfaceSeries*>(Source)) {
        FDotFrame = S->FDotFrame;
        FSideBrush->Assign(S->FSideBrush.get());
        FSideLines->Assign(S->FSideLines.get());
        FSmoothPalette = S->FSmoothPalette;
        FTransparency = S->FTransparency;
        FWaterLines->Assign(S->FWaterLines.get());
        FWireFrame = S->FWireFrame;
        FWaterFall = false;
    }
    TCustom3DGridSeries::Assign(Source);
}

// --- Settings -----------------------------------------------------------------------------------

// A frame style draws with the pen, so choosing one shows the pen; read
// from a file, the pen stays as it was saved (it may have been hidden
// after the style was chosen). The two styles exclude each other always.
void TSurfaceSeries::SetWireFrame(bool Value)
{
    if (Value) {
        if (!IsLoading())
            Pen()->SetVisible(true);
        FDotFrame = false;
    }
    SetBooleanProperty(FWireFrame, Value);
}

void TSurfaceSeries::SetDotFrame(bool Value)
{
    if (Value) {
        if (!IsLoading())
            Pen()->SetVisible(true);
        FWireFrame = false;
    }
    SetBooleanProperty(FDotFrame, Value);
}

void TSurfaceSeries::SetTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError("Transparency " + std::to_string(Value) + " is outside 0 .. 100");
    SetIntegerProperty(FTransparency, Value);
}

void TSurfaceSeries::SetSideBrush(const TChartBrush* Value)
{
    FSideBrush->Assign(Value);
}

void TSurfaceSeries::SetSideLines(const TChartPen* Value)
{
    FSideLines->Assign(Value);
}

void TSurfaceSeries::SetWaterLines(const TChartPen* Value)
{
    FWaterLines->Assign(Value);
}

// --- Gallery ------------------------------------------------------------------------------------

void TSurfaceSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustom3DGridSeries::CreateSubGallery(AddSubChart);
    AddSubChart(PlotMsg_StyleWireframe);
    AddSubChart(PlotMsg_StyleDotFrame);
    AddSubChart(PlotMsg_StyleSides);
    AddSubChart(PlotMsg_StyleNoBorder);
}

void TSurfaceSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 2: SetWireFrame(true); break;
    case 3: SetDotFrame(true); break;
    case 4: FSideBrush->SetStyle(TBrush::bsSolid); break;
    case 5: Pen()->SetVisible(false); break;
    default: TCustom3DGridSeries::SetSubGallery(Index);
    }
}

void TSurfaceSeries::PrepareForGallery(bool IsEnabled)
{
    TCustom3DGridSeries::PrepareForGallery(IsEnabled);
    SetCreatingSamples(true); // stays set: the gallery refills with samples
    CreateValues(10, 10);
}

// --- Cell order ---------------------------------------------------------------------------------

std::vector<int> TSurfaceSeries::RowOrder()
{
    const int W = FWaterFall ? 0 : 1;
    if (IsDepthReversed()) {
        SetSteps(XStep(), 1);
        return Range(1, NumZValues() - W, 1);
    }
    SetSteps(XStep(), -1);
    return Range(NumZValues(), W + 1, -1);
}

std::vector<int> TSurfaceSeries::ColumnOrder()
{
    std::vector<int> Columns;
    if (DrawValuesForward()) {
        SetSteps(-1, ZStep());
        Columns = Range(2, NumXValues(), 1);
    } else {
        SetSteps(1, ZStep());
        Columns = Range(NumXValues() - 1, 1, -1);
    }
    return CentreOutColumns() ? CentreOut(Columns) : Columns;
}

bool TSurfaceSeries::CentreOutColumns() const
{
    if (!FParentChart)
        return false;
    const TView3DOptions* View = FParentChart->View3DOptions();
    const int Rotation = ((View->Rotation() % 360) + 360) % 360;
    return !FParentChart->Canvas().SupportsFullRotation() && View->Perspective() > 0
           && (Rotation == 0 || Rotation == 180);
}

std::vector<TPoint> TSurfaceSeries::CellOrder()
{
    std::vector<TPoint> Cells;
    if (!FParentChart)
        return Cells;
    const std::vector<int> Rows = RowOrder();
    for (int Column : ColumnOrder())
        for (int Row : Rows)
            Cells.push_back({Column, Row});
    return Cells;
}

int TSurfaceSeries::ColorCorner() const
{
    if (XStep() == 1)
        return ZStep() == 1 ? 3 : 0;
    return ZStep() == 1 ? 2 : 1;
}

// --- Painting -----------------------------------------------------------------------------------

void TSurfaceSeries::FillCaches()
{
    const int N = Count();
    FScreen.resize(static_cast<size_t>(N));
    FDepth.resize(static_cast<size_t>(N));
    for (int I = 0; I < N; ++I) {
        FScreen[static_cast<size_t>(I)] = {CalcXPosValue(XValues()->Value(I)), CalcYPosValue(YValues()->Value(I))};
        FDepth[static_cast<size_t>(I)] = CalcZPos(I);
    }
}

void TSurfaceSeries::DrawAllValues()
{
    if (Count() == 0 || !FParentChart)
        return;
    if (GridColumns() != NumXValues() + 1 || GridRows() != NumZValues() + 1)
        FillGridIndex(0); // points changed since the paint began
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const auto PrepareCanvas = [&] {
        if (!Pen()->Visible() && !FWireFrame && !FDotFrame)
            Canvas.Pen()->SetStyle(TPen::psClear);
        else
            Canvas.AssignVisiblePen(*Pen());
        Canvas.AssignBrush(*Brush(), GetSeriesColor());
        if (FWireFrame || FDotFrame)
            Canvas.Brush()->SetStyle(TBrush::bsClear);
        Canvas.SetBackMode(TRANSPARENT);
    };
    PrepareCanvas();
    FSingleBrush = (!UseColorRange() && !UsePalette()) || Brush()->HasImage();
    FillCaches();
    const bool Sides = FSideBrush->Style() != TBrush::bsClear || FSideLines->Visible();
    if (Canvas.SupportsFullRotation()) {
        DrawFullRotation(Canvas);
    } else {
        if (Sides) {
            DrawSides(Canvas, false);
            PrepareCanvas();
        }
        FBlending = FTransparency > 0;
        for (const TPoint& Cell : CellOrder())
            DrawCell(Cell.X, Cell.Y);
        FBlending = false;
    }
    if (Sides)
        DrawSides(Canvas, true);
}

void TSurfaceSeries::DrawFullRotation(TPlotCanvas3D& Canvas)
{
    const int Style = (FWireFrame || Brush()->Style() == TBrush::bsClear) ? 1 : (FDotFrame ? 2 : 0);
    std::unique_ptr<TPlotBlend> Blend;
    if (FTransparency > 0)
        Blend = Canvas.BeginBlending(TRect{}, FTransparency);
    Canvas.Surface3D(
        Style,
        [this](int X, int Z, TColor& Color) -> TPoint3D {
            const int Index = GridIndex(X, Z);
            if (Index < 0) {
                Color = clNone;
                return {};
            }
            if (!FSingleBrush)
                Color = GetValueColor(Index);
            return {ScreenPoint(Index).X, ScreenPoint(Index).Y, Depth(Index)};
        },
        NumXValues(), NumZValues());
    Canvas.EndBlending(std::move(Blend));
}

void TSurfaceSeries::DrawCell(int X, int Z)
{
    if (!FParentChart)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (FWaterFall) {
        const int Near = GridIndex(X, Z);
        const int Far = GridIndex(X + XStep(), Z);
        if (Near < 0 || Far < 0)
            return;
        // Corner0 = Corner3 = the near node, Corner1 = Corner2 = the far one.
        FCellCorners = {Near, Far, Far, Near};
        if (!PrepareCellColor(Canvas))
            return;
        DrawWaterfallStrip(Canvas);
        return;
    }
    if (!GetCellCorners(X, Z))
        return;
    FCellCorners = {Corner(0), Corner(1), Corner(2), Corner(3)};
    if (!PrepareCellColor(Canvas))
        return;
    if (FDotFrame)
        DrawDotFrame(Canvas);
    else
        DrawSurfaceCell(Canvas);
}

bool TSurfaceSeries::PrepareCellColor(TPlotCanvas3D& Canvas)
{
    for (int I = 0; I < 4; ++I)
        FCellPoints[static_cast<size_t>(I)] = ScreenPoint(FCellCorners[static_cast<size_t>(I)]);
    TColor Color = GetValueColor(FCellCorners[static_cast<size_t>(ColorCorner())]);
    if (Color == clNone)
        return false;
    if (FSingleBrush)
        return true;
    if (FSmoothPalette) {
        double Sum = 0;
        for (int Corner : FCellCorners)
            Sum += YValues()->Value(Corner);
        Color = ColorForValue(Sum * 0.25);
    }
    if (FWireFrame)
        Canvas.Pen()->SetColor(Color);
    else if (Canvas.Brush()->Style() != TBrush::bsClear)
        Canvas.Brush()->SetColor(Color);
    return true;
}

void TSurfaceSeries::FillQuad(TPlotCanvas3D& Canvas, const std::vector<TPoint>& Corners, int Z0, int Z1)
{
    if (!FBlending) {
        TFourPoints Points;
        for (int I = 0; I < 4; ++I)
            Points[I] = Corners[static_cast<size_t>(I)];
        Canvas.PlaneFour3D(Points, Z0, Z1);
        return;
    }
    std::vector<TPoint> Projected(4);
    for (int I = 0; I < 4; ++I)
        Projected[static_cast<size_t>(I)] = Canvas.Calculate3DPoint(Corners[static_cast<size_t>(I)], I < 2 ? Z0 : Z1);
    std::unique_ptr<TPlotBlend> Blend = Canvas.BeginBlending(Bounds(Projected), FTransparency);
    Canvas.Polygon(Projected, 3);
    Canvas.EndBlending(std::move(Blend));
}

void TSurfaceSeries::DrawSurfaceCell(TPlotCanvas3D& Canvas)
{
    FillQuad(Canvas, FCellPoints, Depth(FCellCorners[0]), Depth(FCellCorners[2]));
}

void TSurfaceSeries::DrawWaterfallStrip(TPlotCanvas3D& Canvas)
{
    const int Z0 = Depth(FCellCorners[0]);
    const int Bottom = GetVertAxis()->EndPixel();
    const TPoint P0 = FCellPoints[0];
    const TPoint P1 = FCellPoints[1];
    if (!FDotFrame) {
        if (!FWireFrame) {
            Canvas.Pen()->SetStyle(TPen::psClear);
            FillQuad(Canvas, {P0, P1, {P1.X, Bottom}, {P0.X, Bottom}}, Z0, Z0);
        }
        Canvas.AssignVisiblePen(*Pen());
        Canvas.LineWithZ(P0.X, P0.Y, P1.X, P1.Y, Z0);
    }
    if (FWaterLines->Visible()) {
        Canvas.AssignVisiblePen(*FWaterLines);
        Canvas.VertLine3D(P0.X, P0.Y, Bottom, Z0);
        Canvas.VertLine3D(P1.X, P1.Y, Bottom, Z0);
    }
    if (FDotFrame)
        DrawDotFrame(Canvas);
}

void TSurfaceSeries::DrawDotFrame(TPlotCanvas3D& Canvas)
{
    for (int I = 0; I < 4; ++I) {
        const int Corner = FCellCorners[static_cast<size_t>(I)];
        const TPoint P = FCellPoints[static_cast<size_t>(I)];
        Canvas.SetPixel3D(P.X, P.Y, Depth(FCellCorners[I < 2 ? 0 : 2]), GetValueColor(Corner));
    }
}

// --- Side walls ---------------------------------------------------------------------------------

void TSurfaceSeries::DrawSides(TPlotCanvas3D& Canvas, bool AfterCells)
{
    Canvas.AssignBrush(*FSideBrush, FSideBrush->Color());
    Canvas.AssignVisiblePen(*FSideLines);
    const double FloorValue = GetVertAxis()->Inverted() ? YValues()->MaxValue() : YValues()->MinValue();
    const int Floor = CalcYPosValue(FloorValue);
    const bool HorizInverted = GetHorizAxis()->Inverted();
    // Each side wall goes with the pass in which the chart draws its own
    // wall on that side: after the series when that wall stands in front.
    const TCustomAxisPanel& Chart = *FParentChart;
    if (IsLeftWallInFront(Chart) == AfterCells)
        DrawDepthWall(Canvas, HorizInverted ? NumXValues() : 1, Floor);
    if (IsRightWallInFront(Chart) == AfterCells)
        DrawDepthWall(Canvas, HorizInverted ? 1 : NumXValues(), Floor);
    // The front plane reaches down over the bottom wall.
    const TRect R = Chart.ChartRectangle();
    const int Below = static_cast<int>(std::clamp<long long>(
        static_cast<long long>(R.Bottom) + Chart.CalcWallSize(Chart.BottomAxis()), INT_MIN, INT_MAX));
    const bool SeenFromBehind = !IsClockwise(Canvas.Calculate3DPosition(R.Right, R.Top, 0),
                                             Canvas.Calculate3DPosition(R.Right, Below, 0),
                                             Canvas.Calculate3DPosition(R.Left, Below, 0));
    if (SeenFromBehind != AfterCells)
        DrawFrontWall(Canvas, FParentChart->DepthAxis()->Inverted() ? NumZValues() : 1, Floor);
}

void TSurfaceSeries::DrawDepthWall(TPlotCanvas3D& Canvas, int Column, int Floor)
{
    for (int Z = NumZValues(); Z >= 2; --Z) {
        const int A = GridIndex(Column, Z);
        const int B = GridIndex(Column, Z - 1);
        if (A < 0 || B < 0)
            continue; // an edge node without a point: no wall there
        TFourPoints Points;
        Points[0] = ScreenPoint(A);
        Points[1] = {ScreenPoint(A).X, Floor};
        Points[2] = {ScreenPoint(B).X, Floor};
        Points[3] = ScreenPoint(B);
        Canvas.PlaneFour3D(Points, Depth(A), Depth(B));
    }
}

void TSurfaceSeries::DrawFrontWall(TPlotCanvas3D& Canvas, int Row, int Floor)
{
    int Last = -1;
    for (int X = 2; X <= NumXValues(); ++X) {
        const int A = GridIndex(X, Row);
        const int B = GridIndex(X - 1, Row);
        if (A < 0 || B < 0)
            continue;
        TFourPoints Points;
        Points[0] = ScreenPoint(A);
        Points[1] = ScreenPoint(B);
        Points[2] = {ScreenPoint(B).X, Floor};
        Points[3] = {ScreenPoint(A).X, Floor};
        Canvas.PlaneFour3D(Points, Depth(A), Depth(B));
        Last = A;
    }
    if (Last >= 0 && FSideLines->Visible() && FSideLines->Style() == TPen::psSolid)
        Canvas.VertLine3D(ScreenPoint(Last).X, ScreenPoint(Last).Y, Floor, Depth(Last));
}

// --- Hit test -----------------------------------------------------------------------------------

int TSurfaceSeries::Clicked(int X, int Y)
{
    if (Count() == 0 || !FParentChart)
        return -1;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    FillGridIndex(0);
    FillCaches();
    std::vector<int> Rows = RowOrder();
    const std::vector<int> Columns = ColumnOrder();
    // The same cells, rows walked from the front to the back.
    std::reverse(Rows.begin(), Rows.end());
    const int Step = -ZStep();
    for (int& Row : Rows)
        Row -= Step;
    SetSteps(XStep(), Step);
    std::vector<TPoint> Quad(4);
    for (int Column : Columns)
        for (int Row : Rows) {
            // Waterfall rows reach one row further than any cell.
            const bool Inside = std::min(Row, Row + Step) >= 0 && std::max(Row, Row + Step) < GridRows();
            if (!Inside || !GetCellCorners(Column, Row))
                continue;
            for (int I = 0; I < 4; ++I)
                Quad[static_cast<size_t>(I)] =
                    Canvas.Calculate3DPoint(ScreenPoint(Corner(I)), Depth(Corner(I < 2 ? 0 : 2)));
            if (PointInPolygon({X, Y}, Quad))
                return Corner(0);
        }
    return -1;
}

} // namespace lp
