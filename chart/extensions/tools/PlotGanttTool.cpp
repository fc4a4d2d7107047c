#include "chart/extensions/tools/PlotGanttTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/planning/PlotGantt.h"

#include <cstdlib>

namespace lp {

TGanttTool::TGanttTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {}

QString TGanttTool::Description() const
{
    return PlotMsg_GanttDrag;
}

TGanttSeries* TGanttTool::Gantt() const
{
    return qobject_cast<TGanttSeries*>(Series());
}

double TGanttTool::AxisValue(int X) const
{
    const TChartAxis* Axis = Series()->GetHorizAxis();
    return Axis ? Axis->CalcPosPoint(X) : 0;
}

bool TGanttTool::EndUnder(int X, int Y, int& Bar, TGanttToolBarPart& Part) const
{
    const TGanttSeries* S = Gantt();
    if (!S)
        return false;
    const int H = S->Pointer()->VertSize() / 2;
    for (int I = 0; I < S->Count(); ++I) {
        const int BarY = S->CalcYPosValue(S->YValues()->Value(I));
        if (Y < BarY - H || Y > BarY + H)
            continue;
        if (std::abs(X - S->CalcXPosValue(S->StartValues()->Value(I))) < FMinPixels) {
            Bar = I;
            Part = pbStart;
            return true;
        }
        if (std::abs(S->CalcXPosValue(S->EndValues()->Value(I)) - X) < FMinPixels) {
            Bar = I;
            Part = pbEnd;
            return true;
        }
    }
    return false;
}

void TGanttTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (!Gantt() || !ParentChart())
        return;
    switch (Kind) {
    case cmeDown:
        // A grabbed bar keeps the chart from starting a zoom or scroll.
        Grab(X, Y);
        if (FBar != -1)
            ParentChart()->SetMouseCancelled(true);
        break;
    case cmeMove:
        if (FBar != -1)
            MoveGrabbed(X);
        else
            ShowCursor(X, Y);
        break;
    case cmeUp:
        FBar = -1;
        break;
    }
}

void TGanttTool::Grab(int X, int Y)
{
    FBar = -1;
    FLastValue = AxisValue(X);
    if (FAllowResize && EndUnder(X, Y, FBar, FPart))
        return;
    FBar = -1;
    if (FAllowDrag) {
        FBar = Gantt()->Clicked(X, Y);
        FPart = pbAll;
    }
}

void TGanttTool::MoveGrabbed(int X)
{
    TGanttSeries& S = *Gantt();
    if (FBar >= S.Count()) {
        FBar = -1;
        return;
    }
    const double Value = AxisValue(X);
    const double Delta = Value - FLastValue;
    TChartValueList& Start = *S.StartValues();
    TChartValueList& End = *S.EndValues();
    const double OldStart = Start.Value(FBar);
    const double OldEnd = End.Value(FBar);
    switch (FPart) {
    case pbStart:
        Start.InternalSetValue(FBar, std::min(OldStart + Delta, OldEnd));
        if (OnResizeBar)
            OnResizeBar(this, FBar, pbStart);
        break;
    case pbAll:
        Start.InternalSetValue(FBar, OldStart + Delta);
        End.InternalSetValue(FBar, OldEnd + Delta);
        if (OnDragBar)
            OnDragBar(this, FBar);
        break;
    case pbEnd:
        End.InternalSetValue(FBar, std::max(OldEnd + Delta, OldStart));
        if (OnResizeBar)
            OnResizeBar(this, FBar, pbEnd);
        break;
    }
    FLastValue = Value;
    S.Repaint();
}

void TGanttTool::ShowCursor(int X, int Y)
{
    TCustomAxisPanel* Chart = ParentChart();
    int Bar = -1;
    TGanttToolBarPart Part = pbAll;
    if (FAllowResize && EndUnder(X, Y, Bar, Part)) {
        Chart->ShowCursor(FCursorResize);
        Chart->SetMouseCancelled(true);
    }
    if (FAllowDrag && Gantt()->Clicked(X, Y) != -1) {
        Chart->ShowCursor(FCursorDrag);
        Chart->SetMouseCancelled(true);
    }
}

void RegisterGanttTool()
{
    RegisterPlotTools({PlotClass<TGanttTool>()});
}

void UnregisterGanttTool()
{
    UnRegisterPlotTools({&TGanttTool::staticMetaObject});
}

} // namespace lp
