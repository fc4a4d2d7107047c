// The arrow series.

#include "chart/extensions/shapes/PlotArrow.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>

namespace lp {

TArrowSeries::TArrowSeries(TComponent* AOwner) : TPointSeries(AOwner)
{
    XValues()->InitDateTime(true);
    FEndXValues = new TChartValueList(this, PlotMsg_ValuesEndX);
    FEndXValues->InitDateTime(true);
    FEndYValues = new TChartValueList(this, PlotMsg_ValuesEndY);
    SetVisibleRangeSearch(false);
    Pointer()->SetInflateMargins(false);
    Marks()->Pen()->SetVisible(false);
    Marks()->SetTransparent(true);
    KeepStartAsDefault(*Marks(), {"Transparent"});
    KeepStartAsDefault(*Marks()->Pen(), {"Visible"});
    KeepStartAsDefault(*Pointer(), {"InflateMargins"});
}

int TArrowSeries::AddArrow(double X0, double Y0, double X1, double Y1, const QString& ALabel, TColor AColor)
{
    FEndXValues->SetTempValue(X1);
    FEndYValues->SetTempValue(Y1);
    return AddXY(X0, Y0, ALabel, AColor);
}

int TArrowSeries::ArrowWidth() const
{
    return Pointer()->HorizSize();
}

void TArrowSeries::SetArrowWidth(int Value)
{
    Pointer()->SetHorizSize(Value);
}

int TArrowSeries::ArrowHeight() const
{
    return Pointer()->VertSize();
}

void TArrowSeries::SetArrowHeight(int Value)
{
    Pointer()->SetVertSize(Value);
}

TPoint TArrowSeries::EndPoint(int ValueIndex) const
{
    return {CalcXPosValue(FEndXValues->Value(ValueIndex)), CalcYPosValue(FEndYValues->Value(ValueIndex))};
}

void TArrowSeries::DrawValue(int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    const TColor Color = GetValueColor(ValueIndex);
    if (!Chart || Color == clNone)
        return;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    const bool Is3D = Chart->View3D();
    if (Is3D)
        Pointer()->PrepareCanvas(Canvas, Color);
    else
        Canvas.AssignVisiblePenColor(*Pointer()->Pen(), Color);
    Canvas.Arrow(Is3D, StartPoint(ValueIndex), EndPoint(ValueIndex), ArrowWidth(), ArrowHeight(), DepthMiddle(),
                 FArrowPercent);
}

double TArrowSeries::MaxXValue()
{
    const double Inherited = TPointSeries::MaxXValue();
    return Count() == 0 ? Inherited : std::max(Inherited, FEndXValues->MaxValue());
}

double TArrowSeries::MinXValue()
{
    const double Inherited = TPointSeries::MinXValue();
    return Count() == 0 ? Inherited : std::min(Inherited, FEndXValues->MinValue());
}

double TArrowSeries::MaxYValue()
{
    const double Inherited = TPointSeries::MaxYValue();
    return Count() == 0 ? Inherited : std::max(Inherited, FEndYValues->MaxValue());
}

double TArrowSeries::MinYValue()
{
    const double Inherited = TPointSeries::MinYValue();
    return Count() == 0 ? Inherited : std::min(Inherited, FEndYValues->MinValue());
}

int TArrowSeries::Clicked(int X, int Y)
{
    if (!ParentChart())
        return -1;
    const TPoint P{X, Y};
    for (int I = 0; I < Count(); ++I)
        if (PointInLineTolerancePts(P, StartPoint(I), EndPoint(I), Pen()->Width()))
            return I;
    return -1;
}

namespace {

// A span of sample values as the whole range RandomValue draws from: at
// least 1, at most the largest int (a chart whose values are near the limit
// of the doubles spans far more; an infinite or NaN span counts as 1).
int SampleRange(double Span)
{
    if (!(Span >= 1))
        return 1;
    return static_cast<int>(std::min(Span, 2147483647.0));
}

} // namespace

void TArrowSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    const int XRange = SampleRange(Bounds.StepX * NumValues);
    const int YRange = SampleRange(Bounds.DifY);
    for (int I = 0; I < NumValues; ++I) {
        const double X0 = Bounds.StartX + RandomValue(XRange);
        const double Y0 = Bounds.MinY + RandomValue(YRange);
        const double X1 = Bounds.StartX + RandomValue(XRange);
        AddArrow(X0, Y0, X1, Bounds.MinY + RandomValue(YRange));
    }
}

void TArrowSeries::PrepareForGallery(bool IsEnabled)
{
    TPointSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(3);
    SetArrowWidth(12);
    SetArrowHeight(12);
    if (!IsEnabled)
        SetSeriesColor(0xC0C0C0);
}

bool TArrowSeries::IsValidSourceOf(TChartSeries* Source)
{
    return qobject_cast<TArrowSeries*>(Source) != nullptr;
}

void RegisterArrowSeries()
{
    RegisterPlotSeries<TArrowSeries>(&PlotMsg_GalleryArrow, &PlotMsg_GalleryExtended, 2);
}

void UnregisterArrowSeries()
{
    UnRegisterPlotSeries({&TArrowSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TArrowSeries::staticMetaObject));
}

} // namespace lp
