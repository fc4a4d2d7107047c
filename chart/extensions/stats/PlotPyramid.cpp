// Pyramid: slice geometry, drawing, marks, hit test and registration.

#include "chart/extensions/stats/PlotPyramid.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Numeric.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lp {

namespace {

// A value beyond the doubles or NaN has no place on the pyramid: it draws
// no slice and counts 0 in the running totals.
double Counted(double Value)
{
    return std::isfinite(Value) ? Value : 0;
}

} // namespace

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
        Sum += Counted(YValues()->Value(I));
    return Sum;
}

TPyramidSeries::TShares TPyramidSeries::CalcShares(int ValueIndex) const
{
    // The sums are taken of the values divided by the power of two that
    // brings the largest below 1: values near the limit of the doubles
    // cannot overflow them, and ordinary values give their unscaled shares.
    const TChartValueList& Y = *YValues();
    double Largest = 0;
    for (int I = 0; I < Y.Count(); ++I)
        Largest = std::max(Largest, std::fabs(Counted(Y.Value(I))));
    const double Factor = std::ldexp(1.0, -ScaleExponent(Largest));
    double Below = 0;
    double Total = 0;
    for (int I = 0; I < Y.Count(); ++I) {
        if (I == ValueIndex)
            Below = Total;
        Total += Counted(Y.Value(I)) * Factor;
    }
    TShares Result;
    if (Total == 0)
        return Result;
    Result.Valid = true;
    const double Above = Below + Counted(Y.Value(ValueIndex)) * Factor;
    // Values that nearly cancel leave a total far smaller than the running
    // sums: the shares may then pass the doubles, and the pixels are held.
    Result.BelowPercent = 100 - 100 * Below / Total;
    Result.AbovePercent = 100 - 100 * Above / Total;
    return Result;
}

double TPyramidSeries::MaxYValue()
{
    double Sum = 0;
    for (int I = 0; I < Count(); ++I)
        Sum += std::fabs(Counted(YValues()->Value(I)));
    return std::min(Sum, std::numeric_limits<double>::max());
}

TPyramidSeries::TSlice TPyramidSeries::CalcSlice(int ValueIndex) const
{
    TSlice S;
    if (!FParentChart || !GetHorizAxis())
        return S;
    const TShares Shares = CalcShares(ValueIndex);
    if (!Shares.Valid)
        return S;
    S.BelowPercent = Shares.BelowPercent;
    S.AbovePercent = Shares.AbovePercent;
    const double Above = RunningTotal(ValueIndex);
    const double Below = Above - Counted(YValues()->Value(ValueIndex));
    // Every pixel is held within the axes' pixel range (RoundPixel), so
    // the sums and differences of them below stay within the ints.
    const int W = RoundPixel(GetHorizAxis()->AxisPixelSize() * static_cast<double>(FSizePercent) * 0.005);
    const int Centre = CalcXPosValue(ChartIndex());
    const int HalfBottom = RoundPixel(W * S.BelowPercent * 0.01);
    S.Rect.Left = Centre - HalfBottom;
    S.Rect.Right = S.Rect.Left + 2 * HalfBottom;
    S.Rect.Bottom = CalcYPosValue(Below);
    S.Rect.Top = CalcYPosValue(Above);
    const int Depth = DepthEnd() - DepthStart();
    S.BottomInset = 100 - S.BelowPercent <= 0 ? 0 : RoundPixel(Depth * (100 - S.BelowPercent) * 0.005);
    S.TopHalfDepth = S.AbovePercent < 100 ? RoundPixel(Depth * S.AbovePercent * 0.005) : 0;
    S.TopHalfWidth = RoundPixel(W * S.AbovePercent * 0.01);
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
    if (IsNull(ValueIndex) || !std::isfinite(YValues()->Value(ValueIndex)))
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
        if (IsNull(I) || !std::isfinite(YValues()->Value(I)))
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
