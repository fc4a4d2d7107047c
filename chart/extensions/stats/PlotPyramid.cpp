// Pyramid: slice geometry, drawing, marks, hit test and registration.

#include "chart/extensions/stats/PlotPyramid.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Numeric.h"

#include <cmath>

namespace lp {

TPyramidSeries::TPyramidSeries(TComponent* AOwner) : TChartSeries(AOwner)
{
    SetColorEachPoint(true);
}

int TPyramidSeries::ChartIndex() const
{
    return FParentChart ? FParentChart->SeriesList().IndexOf(this) : 0;
}

double TPyramidSeries::RunningTotal(int ValueIndex) const
{
    double Sum = 0;
    for (int I = 0; I <= ValueIndex; ++I)
        Sum += YValues()->Value(I);
    return Sum;
}

double TPyramidSeries::MaxYValue()
{
    return YValues()->TotalABS();
}

TPyramidSeries::TSlice TPyramidSeries::CalcSlice(int ValueIndex) const
{
    TSlice S;
    const double Total = YValues()->Total();
    if (!FParentChart || !GetHorizAxis() || Total == 0)
        return S;
    const double Below = RunningTotal(ValueIndex) - YValues()->Value(ValueIndex);
    const double Above = Below + YValues()->Value(ValueIndex);
    S.BelowPercent = 100 - 100 * Below / Total;
    S.AbovePercent = 100 - 100 * Above / Total;
    const int W = RoundToInt32(GetHorizAxis()->AxisPixelSize() * FSizePercent * 0.005);
    const int Centre = CalcXPosValue(ChartIndex());
    const int HalfBottom = RoundToInt32(W * S.BelowPercent * 0.01);
    S.Rect.Left = Centre - HalfBottom;
    S.Rect.Right = S.Rect.Left + 2 * HalfBottom;
    S.Rect.Bottom = CalcYPosValue(Below);
    S.Rect.Top = CalcYPosValue(Above);
    const int Depth = DepthEnd() - DepthStart();
    S.BottomInset = 100 - S.BelowPercent <= 0 ? 0 : RoundToInt32(Depth * (100 - S.BelowPercent) * 0.005);
    S.TopHalfDepth = S.AbovePercent < 100 ? RoundToInt32(Depth * S.AbovePercent * 0.005) : 0;
    S.TopHalfWidth = RoundToInt32(W * S.AbovePercent * 0.01);
    S.Valid = true;
    return S;
}

void TPyramidSeries::CalcFirstLastVisibleIndex()
{
    SetVisibleRange(Count() > 0 ? 0 : -1, Count() - 1);
}

void TPyramidSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TChartSeries::CalcHorizMargins(LeftMargin, RightMargin);
    LeftMargin = 20;
    RightMargin = 20;
}

void TPyramidSeries::DrawValue(int ValueIndex)
{
    if (IsNull(ValueIndex))
        return;
    const TSlice S = CalcSlice(ValueIndex);
    if (!S.Valid)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignBrush(*Brush(), GetValueColor(ValueIndex));
    if (Pen()->Visible())
        Canvas.AssignVisiblePen(*Pen());
    else
        Canvas.Pen()->SetStyle(TPen::psClear);
    Canvas.PyramidTrunc(S.Rect, DepthStart() + S.BottomInset, DepthEnd() - S.BottomInset, S.TopHalfWidth,
                        S.TopHalfDepth);
}

void TPyramidSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    // The mark sits on the slice's top, over the pyramid's centre line.
    const int DX = CalcXPosValue(ChartIndex()) - APosition.ArrowStart.X;
    const int DY = CalcYPosValue(RunningTotal(ValueIndex)) - APosition.ArrowStart.Y;
    for (TPoint* P : {&APosition.ArrowStart, &APosition.ArrowEnd, &APosition.TopLeft}) {
        P->X += DX;
        P->Y += DY;
    }
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

int TPyramidSeries::Clicked(int X, int Y)
{
    for (int I = 0; I < Count(); ++I) {
        if (IsNull(I))
            continue;
        const TSlice S = CalcSlice(I);
        if (S.Valid && PointInRect(NormalizeRect(S.Rect), X, Y))
            return I;
    }
    return -1;
}

bool TPyramidSeries::DrawValuesForward() const
{
    return !(GetVertAxis() && GetVertAxis()->Inverted());
}

void RegisterPyramidSeries()
{
    RegisterPlotSeries<TPyramidSeries>(&PlotMsg_GalleryPyramid, &PlotMsg_GalleryExtended, 2);
}

void UnregisterPyramidSeries()
{
    UnRegisterPlotSeries({&TPyramidSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TPyramidSeries::staticMetaObject));
}

} // namespace lp
