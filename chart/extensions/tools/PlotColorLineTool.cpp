#include "chart/extensions/tools/PlotColorLineTool.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/extensions/tools/PlotBufferOverlay.h"
#include "platform/ui/Application.h"

#include <cstdlib>
#include <utility>

namespace lp {

TColorLineTool::TColorLineTool(TComponent* AOwner) : TPlotCustomToolAxis(AOwner) {}

void TColorLineTool::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TColorLineTool*>(Source)) {
        FAllowDrag = Other->FAllowDrag;
        FDragRepaint = Other->FDragRepaint;
        FDraw3D = Other->FDraw3D;
        FDrawBehind = Other->FDrawBehind;
        FNoLimitDrag = Other->FNoLimitDrag;
        FStyle = Other->FStyle;
        FValue = Other->FValue;
    }
    TPlotCustomToolAxis::Assign(Source);
}

QString TColorLineTool::Description() const
{
    return PlotMsg_ToolColorLine;
}

void TColorLineTool::SetStyle(TColorLineStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Repaint();
}

void TColorLineTool::SetValue(double Value)
{
    if (!IsLoading())
        FStyle = clCustom;
    if (FDragging && !FDragRepaint)
        FValue = Value;
    else
        SetDoubleProperty(FValue, Value);
}

TCustomAxisPanel* TColorLineTool::LineChart() const
{
    return FOwnerChart ? FOwnerChart.data() : ParentChart();
}

double TColorLineTool::EffectiveValue() const
{
    const TChartAxis* A = Axis();
    if (!A)
        return FStyle == clCustom ? FValue : 0;
    switch (FStyle) {
    case clMaximum:
        return A->Maximum();
    case clCenter:
        return (A->Maximum() + A->Minimum()) * 0.5;
    case clMinimum:
        return A->Minimum();
    default:
        return FValue;
    }
}

double TColorLineTool::LimitValue(double Value) const
{
    const TChartAxis* A = Axis();
    if (!A)
        return Value;
    int Start = A->StartPixel();
    int End = A->EndPixel();
    // Values grow rightwards on a horizontal axis and upwards (towards the
    // start pixel) on a vertical one; inverting the axis turns either round.
    if (A->Horizontal())
        std::swap(Start, End);
    if (A->Inverted())
        std::swap(Start, End);
    const double Lower = A->CalcPosPoint(End);
    const double Upper = A->CalcPosPoint(Start);
    if (Value < Lower)
        return Lower;
    if (Value >= Upper)
        return Upper;
    return Value;
}

double TColorLineTool::DrawnValue() const
{
    const double Value = EffectiveValue();
    return FAllowDrag && !FNoLimitDrag ? LimitValue(Value) : Value;
}

bool TColorLineTool::Clicked(int X, int Y) const
{
    const TChartAxis* A = Axis();
    const TCustomAxisPanel* Chart = LineChart();
    if (!A || !Chart)
        return false;
    const int Pos = A->CalcPosValue(DrawnValue());
    const TRect R = Chart->ChartRectangle();
    if (A->Horizontal())
        return std::abs(X - Pos) < 3 && Y >= R.Top && Y <= R.Bottom;
    return std::abs(Y - Pos) < 3 && X >= R.Left && X <= R.Right;
}

void TColorLineTool::DrawParts(TCanvas3D& Canvas, bool Back, int Pos)
{
    const TCustomAxisPanel* Chart = LineChart();
    const TRect R = Chart->ChartRectangle();
    const int Depth = Chart->Depth3D();
    const bool Horizontal = Axis()->Horizontal();
    if (Back) {
        if (FDraw3D) {
            if (Horizontal)
                Canvas.ZLine3D(Pos, R.Bottom, 0, Depth);
            else
                Canvas.ZLine3D(R.Left, Pos, 0, Depth);
        }
        if (FDrawBehind || FDraw3D) {
            if (Horizontal)
                Canvas.VertLine3D(Pos, R.Top, R.Bottom, Depth);
            else
                Canvas.HorizLine3D(R.Left, R.Right, Pos, Depth);
        }
        return;
    }
    // In 2-D the back part already is the whole line: drawing the front part
    // too would cancel it out under the overlay's not-xor pen.
    if (!Chart->View3D() && FDragging && !FDragRepaint)
        return;
    if (FDraw3D) {
        if (Horizontal)
            Canvas.ZLine3D(Pos, R.Top, 0, Depth);
        else
            Canvas.ZLine3D(R.Right, Pos, 0, Depth);
    }
    if (!FDrawBehind) {
        if (Horizontal)
            Canvas.VertLine3D(Pos, R.Top, R.Bottom, 0);
        else
            Canvas.HorizLine3D(R.Left, R.Right, Pos, 0);
    }
}

void TColorLineTool::DrawColorLine(bool Back)
{
    TCustomAxisPanel* Chart = LineChart();
    if (!Chart || !Axis())
        return;
    TCanvas3D& Canvas = Chart->Canvas();
    Canvas.AssignVisiblePen(*Pen());
    Canvas.SetBackMode(1);
    DrawParts(Canvas, Back, Axis()->CalcPosValue(DrawnValue()));
}

void TColorLineTool::ChartEvent(int Event)
{
    TPlotCustomToolAxis::ChartEvent(Event);
    if (!Axis())
        return;
    if (Event == cteBeforeDrawSeries)
        DrawColorLine(true);
    else if (Event == cteAfterDraw)
        DrawColorLine(false);
}

void TColorLineTool::DoEndDragLine()
{
    if (InternalEndDrag)
        InternalEndDrag(this);
    if (OnEndDragLine)
        OnEndDragLine(this);
}

void TColorLineTool::DragTo(int X, int Y)
{
    TCustomAxisPanel* Chart = LineChart();
    const TChartAxis* A = Axis();
    double NewValue = A->CalcPosPoint(A->Horizontal() ? X : Y);
    if (!FNoLimitDrag)
        NewValue = LimitValue(NewValue);
    // Draws both parts at the line's present place with the overlay pen
    // (erasing them when they are already there).
    const auto DrawOverlay = [&] {
        DrawChartOverlay(*Chart, [&](TCanvas3D& Canvas) {
            Canvas.AssignVisiblePen(*Pen());
            Canvas.Pen()->SetMode(pmNotXor);
            Canvas.SetBackMode(1);
            const int Pos = A->CalcPosValue(DrawnValue());
            DrawParts(Canvas, true, Pos);
            DrawParts(Canvas, false, Pos);
            Canvas.Pen()->SetMode(pmCopy);
        });
    };
    bool Moved = false;
    if (FDragRepaint) {
        SetValue(NewValue);
    } else if (EffectiveValue() != NewValue) {
        DrawOverlay();
        FStyle = clCustom;
        FValue = NewValue;
        Moved = true;
    }
    Chart->SetMouseCancelled(true);
    if (OnDragLine)
        OnDragLine(this);
    if (Moved)
        DrawOverlay();
}

void TColorLineTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolAxis::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TCustomAxisPanel* Chart = LineChart();
    if (!FAllowDrag || !Axis() || !Chart)
        return;
    switch (Kind) {
    case cmeDown:
        if (Button != mbLeft)
            break;
        FDragging = Clicked(X, Y);
        Chart->SetMouseCancelled(FDragging);
        if (FDragging && OnBeginDragLine)
            OnBeginDragLine(this);
        break;
    case cmeMove:
        if (FDragging) {
            DragTo(X, Y);
        } else if (Clicked(X, Y)) {
            Chart->ShowCursor(Axis()->Horizontal() ? crHSplit : crVSplit);
            Chart->SetMouseCancelled(true);
        }
        break;
    case cmeUp:
        if (!FDragging)
            break;
        if (!FDragRepaint)
            Chart->Invalidate();
        DoEndDragLine();
        FDragging = false;
        break;
    default:
        break;
    }
}

} // namespace lp
