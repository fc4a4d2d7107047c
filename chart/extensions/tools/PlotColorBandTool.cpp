#include "chart/extensions/tools/PlotColorBandTool.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotPanelExtended.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/extensions/tools/PlotToolSupport.h"

#include <algorithm>
#include <array>
#include <utility>

namespace lp {

namespace {

bool IsZoomingOrScrolling(TCustomAxisPanel& Chart)
{
    const auto* Extended = dynamic_cast<TCustomPlotPanelExtended*>(&Chart);
    return (Extended && Extended->Zoom()->Active) || Chart.Panning().Active;
}

} // namespace

TColorBandTool::TColorBandTool(TComponent* AOwner)
    : TPlotCustomToolAxis(AOwner),
      FGradient(std::make_unique<TPlotGradient>([this](TPersistent* Sender) { CanvasChanged(Sender); })),
      FStartLine(std::make_unique<TColorLineTool>()),
      FEndLine(std::make_unique<TColorLineTool>())
{
    for (TColorLineTool* Edge : {FStartLine.get(), FEndLine.get()}) {
        Edge->SetActive(false);
        Edge->SetDragRepaint(true);
        Edge->OnDragLine = [this](TColorLineTool* Sender) {
            if (Sender->DragRepaint())
                TakeEdgeValue(Sender);
        };
        Edge->InternalEndDrag = [this](TColorLineTool* Sender) {
            if (!Sender->DragRepaint())
                TakeEdgeValue(Sender);
        };
        Edge->Pen()->OnChange = [this](TGraphicsObject* Sender) { CanvasChanged(Sender); };
    }
}

TColorBandTool::~TColorBandTool()
{
    FGradient->OnChange = nullptr;
    for (TColorLineTool* Edge : {FStartLine.get(), FEndLine.get()})
        Edge->Pen()->OnChange = nullptr;
}

QString TColorBandTool::Description() const
{
    return PlotMsg_ToolColorBand;
}

void TColorBandTool::SetParentChart(TCustomAxisPanel* Value)
{
    TPlotCustomToolAxis::SetParentChart(Value);
    FStartLine->SetOwnerChart(Value);
    FEndLine->SetOwnerChart(Value);
}

void TColorBandTool::SetAxis(TChartAxis* Value)
{
    TPlotCustomToolAxis::SetAxis(Value);
    for (TColorLineTool* Edge : {FStartLine.get(), FEndLine.get()}) {
        Edge->SetAxis(Value);
        Edge->SetParentChart(nullptr);
    }
}

void TColorBandTool::Loaded()
{
    TPlotCustomToolAxis::Loaded();
    SyncEdges();
}

void TColorBandTool::SyncEdges()
{
    FEndLine->SetValue(FEndValue);
    FStartLine->SetValue(FStartValue);
}

void TColorBandTool::SetStartValue(double Value)
{
    SetDoubleProperty(FStartValue, Value);
    SyncEdges();
}

void TColorBandTool::SetEndValue(double Value)
{
    SetDoubleProperty(FEndValue, Value);
    SyncEdges();
}

void TColorBandTool::TakeEdgeValue(TColorLineTool* Edge)
{
    if (Edge == FStartLine.get())
        SetStartValue(Edge->Value());
    else
        SetEndValue(Edge->Value());
}

void TColorBandTool::SetGradient(const TPlotGradient* Value)
{
    FGradient->Assign(Value);
}

void TColorBandTool::SetResizeStart(bool Value)
{
    FStartLine->SetActive(Value);
    Repaint();
}

void TColorBandTool::SetResizeEnd(bool Value)
{
    FEndLine->SetActive(Value);
    Repaint();
}

void TColorBandTool::SetTransparency(int Value)
{
    CheckTransparency(Value);
    SetIntegerProperty(FTransparency, Value);
}

TRect TColorBandTool::BoundsRect() const
{
    const TChartAxis* A = Axis();
    const TCustomAxisPanel* Chart = ParentChart();
    if (!A || !Chart)
        return {};
    double Start = FStartValue;
    double End = FEndValue;
    // Start is the value nearer the axis' start pixel side of the band.
    if (A->Inverted() ? Start < End : Start > End)
        std::swap(Start, End);
    const bool Outside = A->Inverted() ? (End > A->Maximum() || Start < A->Minimum())
                                       : (Start > A->Maximum() || End < A->Minimum());
    if (Outside)
        return {};
    TRect R = Chart->ChartRectangle();
    if (A->Horizontal()) {
        R.Left = std::max(A->StartPixel(), A->CalcPosValue(Start));
        R.Right = std::min(A->EndPixel(), A->CalcPosValue(End));
        if (Pen()->Visible())
            ++R.Right;
    } else {
        R.Top = std::max(A->StartPixel(), A->CalcPosValue(End));
        R.Bottom = std::min(A->EndPixel(), A->CalcPosValue(Start));
        ++R.Left;
        ++R.Bottom;
        if (!Pen()->Visible()) {
            ++R.Bottom;
            ++R.Right;
        }
    }
    return R;
}

int TColorBandTool::BandDepth() const
{
    return FDrawBehind && ParentChart() ? ParentChart()->Depth3D() : 0;
}

bool TColorBandTool::Clicked(int X, int Y) const
{
    const TRect R = BoundsRect();
    if (R.Right - R.Left < 1 || R.Bottom - R.Top < 1)
        return false;
    const TCanvas3D& Canvas = ParentChart()->Canvas();
    const int Z = BandDepth();
    const std::array<TPoint, 4> Corners{Canvas.Calculate3DPosition(R.Left, R.Top, Z),
                                        Canvas.Calculate3DPosition(R.Right, R.Top, Z),
                                        Canvas.Calculate3DPosition(R.Right, R.Bottom, Z),
                                        Canvas.Calculate3DPosition(R.Left, R.Bottom, Z)};
    return PointInPolygon(TPoint{X, Y}, Corners);
}

void TColorBandTool::DrawEdge(TColorLineTool& Edge, double Value)
{
    if (!Edge.Active())
        return;
    Edge.SetValue(Value);
    Edge.DrawColorLine(FDrawBehind);
}

void TColorBandTool::DrawBand()
{
    TCustomAxisPanel* Chart = ParentChart();
    const TRect R = BoundsRect();
    if (!Chart || R.Right - R.Left < 1 || R.Bottom - R.Top < 1)
        return;
    TCanvas3D& Canvas = Chart->Canvas();
    const int Z = BandDepth();
    const bool Is3D = Chart->View3D();
    Canvas.AssignBrush(*Brush(), FColor);
    Canvas.AssignVisiblePen(*Pen());
    if (FGradient->Visible()) {
        const TRect Inner{R.Left, R.Top, R.Right - 1, R.Bottom - 1};
        FGradient->Draw(Canvas, Canvas.CalculateRect3D(Inner, Z));
        // The rectangle below only frames the gradient.
        Canvas.Brush()->SetStyle(bsClear);
    }
    std::unique_ptr<TPlotBlend> Blend;
    if (FTransparency > 0)
        Blend = Canvas.BeginBlending(Is3D ? Canvas.CalculateRect3D(R, Z) : R, FTransparency);
    if (Is3D)
        Canvas.RectangleWithZ(R, Z);
    else
        Canvas.RectangleRect(R);
    if (Blend)
        Canvas.EndBlending(std::move(Blend));
    DrawEdge(*FEndLine, FEndValue);
    DrawEdge(*FStartLine, FStartValue);
}

void TColorBandTool::ChartEvent(int Event)
{
    TPlotCustomToolAxis::ChartEvent(Event);
    if (!Axis())
        return;
    const bool Draw = FDrawBehindAxes ? Event == cteBeforeDrawAxes
                      : FDrawBehind   ? Event == cteBeforeDrawSeries
                                      : Event == cteAfterDraw;
    if (Draw)
        DrawBand();
}

void TColorBandTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolAxis::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    if (FStartLine->Active())
        FStartLine->ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (FEndLine->Active() && !Chart->MouseCancelled())
        FEndLine->ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (Kind == cmeDown) {
        if (OnClick && Clicked(X, Y))
            OnClick(this, Button, Shift, X, Y);
    } else if (Kind == cmeMove) {
        if (FCursor != crDefault && !Chart->MouseCancelled() && Clicked(X, Y)) {
            Chart->ShowCursor(FCursor);
            if (!IsZoomingOrScrolling(*Chart))
                Chart->SetMouseCancelled(true);
        }
    }
}

} // namespace lp
