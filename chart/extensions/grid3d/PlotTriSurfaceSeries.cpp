// The triangulated surface series.

#include "chart/extensions/grid3d/PlotTriSurfaceSeries.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace lp {

namespace {

std::vector<double> ValuesOf(const TChartValueList& List)
{
    std::vector<double> Result(static_cast<size_t>(List.Count()));
    for (int I = 0; I < List.Count(); ++I)
        Result[static_cast<size_t>(I)] = List.Value(I);
    return Result;
}

} // namespace

ETriSurfaceException::ETriSurfaceException() : ChartException(PlotMsg_SimilarPoints) {}

TCustomTriSurfaceSeries::TCustomTriSurfaceSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner)
{
    FBorder = std::make_unique<TChartHiddenPen>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
    FBorder->SetColor(clWhite);
    KeepStartAsDefault(*FBorder, {"Color"});
}

TCustomTriSurfaceSeries::~TCustomTriSurfaceSeries()
{
    // The border pen calls back into the series on change: it goes first.
    FBorder.reset();
}

void TCustomTriSurfaceSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TCustomTriSurfaceSeries*>(Source)) {
        FBorder->Assign(S->FBorder.get());
        FHideTriangles = S->FHideTriangles;
        FTransparency = S->FTransparency;
    }
    TCustom3DPaletteSeries::Assign(Source);
}

void TCustomTriSurfaceSeries::SetTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError("Transparency " + std::to_string(Value) + " is outside 0 .. 100");
    SetIntegerProperty(FTransparency, Value);
}

void TCustomTriSurfaceSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustom3DPaletteSeries::CreateSubGallery(AddSubChart);
    AddSubChart(PlotMsg_StyleWireframe);
    AddSubChart(PlotMsg_StyleNoLine);
    AddSubChart(PlotMsg_StyleBorder);
}

void TCustomTriSurfaceSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 2: Brush()->SetStyle(TBrush::bsClear); break;
    case 3: Pen()->SetVisible(false); break;
    case 4: FBorder->SetVisible(true); break;
    default: TCustom3DPaletteSeries::SetSubGallery(Index); break;
    }
}

void TCustomTriSurfaceSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    for (int I = 0; I < std::max(NumValues, 3); ++I) {
        const double X = RandomValue(1000) * 0.001;
        const double Z = RandomValue(1000) * 0.001;
        AddXYZ(X, std::cos(X * Z) * std::exp(2 * Z), Z);
    }
}

// --- Triangles ----------------------------------------------------------------------------------

void TCustomTriSurfaceSeries::UpdateTriangles()
{
    if (Count() < 3) {
        FDrawn.clear();
        FTriangulation = {};
        FTriangulatedX.clear();
        FTriangulatedZ.clear();
        return;
    }
    std::vector<double> X = ValuesOf(*XValues());
    std::vector<double> Z = ValuesOf(*ZValues());
    if (X == FTriangulatedX && Z == FTriangulatedZ)
        return;
    FDrawn.clear(); // its triangle numbers are stale
    FTriangulation = Triangulate(X, Z);
    FTriangulatedX = std::move(X);
    FTriangulatedZ = std::move(Z);
}

void TCustomTriSurfaceSeries::CalculateTriangles()
{
    UpdateTriangles();
    if (Count() >= 3 && TriangleCount() == 0)
        throw ETriSurfaceException();
}

std::array<int, 3> TCustomTriSurfaceSeries::Triangle(int Number) const
{
    if (Number < 1 || Number > TriangleCount())
        throw ERangeError("Triangle " + std::to_string(Number) + " is outside 1 .. " + std::to_string(TriangleCount()));
    return FTriangulation.Triangles[static_cast<size_t>(Number - 1)];
}

void TCustomTriSurfaceSeries::DoBeforeDrawValues()
{
    TCustom3DPaletteSeries::DoBeforeDrawValues();
    UpdateTriangles();
}

// --- Painting -----------------------------------------------------------------------------------

TPoint3D TCustomTriSurfaceSeries::Vertex(int Point) const
{
    return {CalcXPos(Point), CalcYPos(Point), CalcZPos(Point)};
}

void TCustomTriSurfaceSeries::DrawAllValues()
{
    FDrawn.clear();
    if (!FParentChart || TriangleCount() == 0)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (Pen()->Visible() || Brush()->Style() != TBrush::bsClear) {
        Canvas.AssignBrush(*Brush(), GetSeriesColor());
        Canvas.AssignVisiblePen(*Pen());
        if (FHideTriangles && !Canvas.SupportsFullRotation() && Canvas.Brush()->Style() == TBrush::bsSolid) {
            BuildDepthList();
            DrawDepthList(Canvas);
        } else {
            DrawTableOrder(Canvas);
        }
    }
    if (FBorder->Visible())
        DrawBorder(Canvas);
}

bool TCustomTriSurfaceSeries::DescendingDepthOrder() const
{
    bool Descending = !FParentChart->DepthAxis()->Inverted();
    const TView3DOptions* View = FParentChart->View3DOptions();
    const int Rotation = ((View->Rotation() % 360) + 360) % 360;
    if (FParentChart->View3D() && !View->Orthogonal() && Rotation > 90 && Rotation < 270)
        Descending = !Descending;
    return Descending;
}

void TCustomTriSurfaceSeries::BuildDepthList()
{
    const TPlotCanvas3D& Canvas = FParentChart->Canvas();
    FDrawn.reserve(FTriangulation.Triangles.size());
    for (int Number = 1; Number <= TriangleCount(); ++Number) {
        const std::array<int, 3>& Corners = FTriangulation.Triangles[static_cast<size_t>(Number - 1)];
        TDrawnTriangle Node;
        Node.Triangle = Number;
        Node.Color = GetValueColor(Corners[0]);
        Node.Key = -std::numeric_limits<double>::infinity();
        for (size_t I = 0; I < 3; ++I) {
            Node.Points[I] = Canvas.Calculate3DPoint3D(Vertex(Corners[I]));
            Node.Key = std::max(Node.Key, ZValues()->Value(Corners[I]));
        }
        FDrawn.push_back(Node);
    }
    // Equal keys keep the triangulation's order.
    if (DescendingDepthOrder())
        std::stable_sort(FDrawn.begin(), FDrawn.end(), [](const auto& A, const auto& B) { return A.Key > B.Key; });
    else
        std::stable_sort(FDrawn.begin(), FDrawn.end(), [](const auto& A, const auto& B) { return A.Key < B.Key; });
}

void TCustomTriSurfaceSeries::FillTriangle(TPlotCanvas3D& Canvas, const std::array<TPoint, 3>& Points)
{
    std::unique_ptr<TPlotBlend> Blend;
    if (FTransparency > 0)
        Blend = Canvas.BeginBlending(RectFromPolygon(Points, 2), FTransparency);
    Canvas.Polygon(Points, 2);
    Canvas.EndBlending(std::move(Blend));
}

void TCustomTriSurfaceSeries::DrawDepthList(TPlotCanvas3D& Canvas)
{
    for (const TDrawnTriangle& Node : FDrawn) {
        Canvas.Brush()->SetColor(Node.Color);
        FillTriangle(Canvas, Node.Points);
    }
}

void TCustomTriSurfaceSeries::DrawTableOrder(TPlotCanvas3D& Canvas)
{
    const bool VertexColours = Canvas.SupportsFullRotation();
    for (const std::array<int, 3>& Corners : FTriangulation.Triangles) {
        TTrianglePoints3D Points;
        TTriangleColors Colors;
        for (int I = 0; I < 3; ++I) {
            Points[I] = Vertex(Corners[static_cast<size_t>(I)]);
            Colors[I] = GetValueColor(Corners[static_cast<size_t>(VertexColours ? I : 0)]);
        }
        if (FTransparency == 0) {
            Canvas.Triangle3D(Points, Colors);
            continue;
        }
        if (Canvas.Brush()->Style() != TBrush::bsClear)
            Canvas.Brush()->SetColor(Colors[0]);
        FillTriangle(Canvas, {Canvas.Calculate3DPoint3D(Points[0]), Canvas.Calculate3DPoint3D(Points[1]),
                              Canvas.Calculate3DPoint3D(Points[2])});
    }
}

void TCustomTriSurfaceSeries::DrawBorder(TPlotCanvas3D& Canvas)
{
    Canvas.AssignVisiblePen(*FBorder);
    for (const TTriangulation::TBorderEdge& Edge : FTriangulation.Border) {
        Canvas.MoveTo3DPoint(Vertex(Edge.First));
        Canvas.LineTo3DPoint(Vertex(Edge.Second));
    }
}

// --- Hit test -----------------------------------------------------------------------------------

int TCustomTriSurfaceSeries::Clicked(int X, int Y)
{
    if (!FParentChart)
        return -1;
    const TPoint P{X, Y};
    if (!FDrawn.empty()) {
        // The last drawn lies in front.
        for (auto Node = FDrawn.rbegin(); Node != FDrawn.rend(); ++Node)
            if (PointInPolygon(P, Node->Points))
                return Node->Triangle;
        return -1;
    }
    UpdateTriangles();
    const TPlotCanvas3D& Canvas = FParentChart->Canvas();
    for (int Number = 1; Number <= TriangleCount(); ++Number) {
        const std::array<int, 3>& Corners = FTriangulation.Triangles[static_cast<size_t>(Number - 1)];
        const std::array<TPoint, 3> Points = {Canvas.Calculate3DPoint3D(Vertex(Corners[0])),
                                              Canvas.Calculate3DPoint3D(Vertex(Corners[1])),
                                              Canvas.Calculate3DPoint3D(Vertex(Corners[2]))};
        if (PointInPolygon(P, Points))
            return Number;
    }
    return -1;
}

} // namespace lp
