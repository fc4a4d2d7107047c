#include "chart/extensions/tools/PlotPieTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"

#include <QtCore/QThread>

namespace lp {

TPieTool::TPieTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner)
{
    Pen()->SetWidth(4);
    Pen()->SetStyle(TPen::psSolid);
    KeepStartAsDefault(*Pen(), {"Width"});
}

QString TPieTool::Description() const
{
    return PlotMsg_PieSlices;
}

int TPieTool::FrameOffset(int K)
{
    return RoundToInt32(K * double(ExplodeOffset) / ExplodeFrames);
}

void TPieTool::SetSeries(TChartSeries* Value)
{
    if (Value != Series())
        FSlice = -1;
    TPlotCustomToolSeries::SetSeries(Value);
}

TPieSeries* TPieTool::Pie() const
{
    return qobject_cast<TPieSeries*>(Series());
}

TColor TPieTool::OutlineColor(TColor SliceColor) const
{
    const TColor PenColor = Pen()->Color();
    if (ColorToRGB(SliceColor) != ColorToRGB(PenColor))
        return PenColor;
    return ColorToRGB(PenColor) == clBlack ? clWhite : clBlack;
}

void TPieTool::ChartEvent(int Event)
{
    TPlotCustomToolSeries::ChartEvent(Event);
    if (Event == cteAfterDraw && FStyle == ptFocus && FSlice != -1)
        DrawOutline();
}

void TPieTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TPieSeries* Series = Pie();
    if (Kind != cmeMove || !Series || !ParentChart())
        return;
    const int Index = Series->ClickedSlice(X, Y);
    if (Index == FSlice)
        return;
    const int Old = FSlice;
    FSlice = Index;
    if (Old != -1)
        Unhighlight(Old);
    if (Index != -1)
        Highlight(Index);
}

void TPieTool::Highlight(int Index)
{
    TPieSeries& Series = *Pie();
    if (FStyle == ptFocus) {
        Repaint();
        return;
    }
    for (int K = 1; K <= ExplodeFrames; ++K)
        ShowFrame(Series, Index, FrameOffset(K));
}

void TPieTool::Unhighlight(int Index)
{
    TPieSeries& Series = *Pie();
    if (FStyle == ptFocus) {
        Repaint();
        return;
    }
    for (int K = 1; K <= ExplodeFrames; ++K)
        ShowFrame(Series, Index, FrameOffset(ExplodeFrames + 1 - K));
    ShowFrame(Series, Index, 0);
}

void TPieTool::ShowFrame(TPieSeries& Series, int Index, int Offset)
{
    Series.ExplodedSlice().SetValue(Index, Offset);
    if (FDelay > 0)
        QThread::msleep(static_cast<unsigned long>(FDelay));
    TCustomAxisPanel* Chart = ParentChart();
    Chart->Invalidate();
    Chart->Repaint();
}

void TPieTool::DrawOutline()
{
    TPieSeries* Series = Pie();
    TCustomAxisPanel* Chart = ParentChart();
    if (!Series || !Chart || !Series->Active() || FSlice >= Series->AngleCount())
        return;
    const TColor SliceColor = FSlice < Series->Count() ? Series->GetValueColor(FSlice) : Series->OtherSlice()->Color();
    TPlotCanvas3D& Canvas = Chart->Canvas();
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.AssignVisiblePenColor(*Pen(), OutlineColor(SliceColor));
    Series->DrawPieSlice(FSlice);
}

void RegisterPieTool()
{
    RegisterPlotTools({PlotClass<TPieTool>()});
}

void UnregisterPieTool()
{
    UnRegisterPlotTools({&TPieTool::staticMetaObject});
}

} // namespace lp
