#include "chart/extensions/tools/PlotMarksTipTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/ui/Hints.h"

namespace lp {

TMarksTipTool::TMarksTipTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {}

QString TMarksTipTool::Description() const
{
    return PlotMsg_ToolMarkTips;
}

void TMarksTipTool::SetActive(bool Value)
{
    TPlotCustomToolSeries::SetActive(Value);
    if (!Value)
        HideHint();
}

void TMarksTipTool::SetMouseAction(TMarkToolMouseAction Value)
{
    FMouseAction = Value;
    HideHint();
}

int TMarksTipTool::MouseDelay() const
{
    return HintPause();
}

void TMarksTipTool::SetMouseDelay(int Value)
{
    SetHintPause(Value);
}

TCustomAxisPanel* TMarksTipTool::HintChart() const
{
    return Series() ? Series()->ParentChart() : ParentChart();
}

void TMarksTipTool::HideHint()
{
    TCustomAxisPanel* Chart = HintChart();
    if (!Chart)
        return;
    if (OnCancelHint)
        OnCancelHint(this);
    const bool Shown = !ControlHint(*Chart).isEmpty();
    SetControlHint(*Chart, {});
    if (Shown)
        CancelHint();
}

bool TMarksTipTool::FindPoint(int X, int Y, TChartSeries*& Found, int& Index) const
{
    if (Series()) {
        Found = Series();
        Index = Found->Clicked(X, Y);
        return Index != -1;
    }
    const TCustomAxisPanel* Chart = ParentChart();
    for (int I = Chart->SeriesCount() - 1; I >= 0; --I) {
        TChartSeries* S = Chart->Series(I);
        if (!S->Active())
            continue;
        if (const int Clicked = S->Clicked(X, Y); Clicked != -1) {
            Found = S;
            Index = Clicked;
            return true;
        }
    }
    return false;
}

QString TMarksTipTool::TipText(TChartSeries& Series, int Index)
{
    TSeriesMarks& Marks = *Series.Marks();
    TCustomAxisPanel* Chart = HintChart();
    const auto OldStyle = Marks.Style();
    const bool OldRepaint = Chart->RepaintEnabled();
    Chart->SetRepaintEnabled(false);
    const auto Restore = [&] {
        Marks.SetStyle(OldStyle);
        Chart->SetRepaintEnabled(OldRepaint);
    };
    QString Text;
    try {
        Marks.SetStyle(FStyle);
        Text = Series.GetMarkText(Index);
        if (OnGetText)
            OnGetText(this, Text);
    } catch (...) {
        Restore();
        throw;
    }
    Restore();
    return Text;
}

void TMarksTipTool::ShowTip(const QString& Text, int X, int Y)
{
    TCustomAxisPanel& Chart = *HintChart();
    // The same text again: the hint on show stays as it is.
    if (Text == ControlHint(Chart))
        return;
    CancelHint();
    SetControlShowHint(Chart, true);
    SetControlHint(Chart, Text);
    ActivateHint(&Chart, Text, ControlToScreen(Chart, QPoint(X, Y)));
}

bool TMarksTipTool::OtherTipToolOnChart() const
{
    for (const TPlotCustomTool* Tool : ParentChart()->Tools())
        if (Tool != this && qobject_cast<const TMarksTipTool*>(Tool))
            return true;
    return false;
}

void TMarksTipTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    const bool Handled = (Kind == cmeMove && FMouseAction == mtmMove) || (Kind == cmeDown && FMouseAction == mtmClick);
    if (!Handled || !ParentChart() || !HintChart())
        return;
    TChartSeries* Found = nullptr;
    int Index = -1;
    if (FindPoint(X, Y, Found, Index))
        ShowTip(TipText(*Found, Index), X, Y);
    else if (!OtherTipToolOnChart())
        HideHint();
}

} // namespace lp
