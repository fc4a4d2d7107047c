#include "chart/extensions/tools/PlotDragMarksTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"

namespace lp {

namespace {

int MarkIndexUnder(TChartSeries& Series, int X, int Y)
{
    if (!Series.Active() || !Series.Marks()->Visible())
        return -1;
    return Series.Marks()->Clicked(X, Y);
}

} // namespace

TDragMarksTool::TDragMarksTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner) {}

QString TDragMarksTool::Description() const
{
    return PlotMsg_ToolDragMarks;
}

bool TDragMarksTool::MarkUnder(int X, int Y, TChartSeries*& Found, int& Index) const
{
    const auto Try = [&](TChartSeries* S) {
        Index = MarkIndexUnder(*S, X, Y);
        Found = Index == -1 ? nullptr : S;
        return Found != nullptr;
    };
    if (Series())
        return Try(Series());
    const TCustomAxisPanel* Chart = ParentChart();
    for (int I = Chart ? Chart->SeriesCount() - 1 : -1; I >= 0; --I)
        if (Try(Chart->Series(I)))
            return true;
    return false;
}

void TDragMarksTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    TChartSeries* Found = nullptr;
    int Index = -1;
    switch (Kind) {
    case cmeDown:
        if (MarkUnder(X, Y, Found, Index)) {
            FSeries = Found;
            FIndex = Index;
            FLastPoint = TPoint{X, Y};
            Chart->SetMouseCancelled(true);
        }
        break;
    case cmeMove:
        if (FIndex != -1 && FSeries) {
            DragTo(X, Y);
        } else if (MarkUnder(X, Y, Found, Index)) {
            Chart->ShowCursor(crHandPoint);
            Chart->SetMouseCancelled(true);
        }
        break;
    case cmeUp:
        FIndex = -1;
        break;
    }
}

void TDragMarksTool::DragTo(int X, int Y)
{
    TSeriesMarkPosition* Position = FSeries->Marks()->Positions().GetPosition(FIndex);
    if (!Position)
        return;
    const int DX = X - FLastPoint.X;
    const int DY = Y - FLastPoint.Y;
    Position->UserMoved = true;
    Position->TopLeft = TPoint{Position->TopLeft.X + DX, Position->TopLeft.Y + DY};
    Position->ArrowEnd = TPoint{Position->ArrowEnd.X + DX, Position->ArrowEnd.Y + DY};
    FLastPoint = TPoint{X, Y};
    ParentChart()->SetMouseCancelled(true);
    Repaint();
}

} // namespace lp
