// 3-D bar and donut series.

#include "chart/extensions/circular/PlotBar3DDonut.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/ClassRegistry.h"

#include <algorithm>
#include <cmath>

namespace lp {

// --- TBar3DSeries -------------------------------------------------------------------------------

TBar3DSeries::TBar3DSeries(TComponent* AOwner) : TBarSeries(AOwner)
{
    FOffsetValues = new TChartValueList(this, PlotMsg_ValuesOffset);
}

int TBar3DSeries::AddBar(double X, double Y, double AOffset, const QString& ALabel, TColor AColor)
{
    FOffsetValues->SetTempValue(AOffset);
    return AddXY(X, Y, ALabel, AColor);
}

double TBar3DSeries::GetOriginValue(int ValueIndex, bool SumAll) const
{
    (void)SumAll;
    return ValueIndex >= 0 && ValueIndex < FOffsetValues->Count() ? FOffsetValues->Value(ValueIndex) : 0;
}

double TBar3DSeries::GetStackValue(int ValueIndex) const
{
    return TBarSeries::GetStackValue(ValueIndex) + GetOriginValue(ValueIndex, false);
}

double TBar3DSeries::MaxYValue()
{
    const double Result = TBarSeries::MaxYValue();
    if (!OffsetsWidenRange() || Count() == 0)
        return Result;
    return std::max(Result, FOffsetValues->MaxValue());
}

double TBar3DSeries::MinYValue()
{
    double Result = TBarSeries::MinYValue();
    if (!OffsetsWidenRange())
        return Result;
    for (int I = 0; I < Count(); ++I)
        if (const double Offset = FOffsetValues->Value(I); Offset < 0)
            Result = std::min(Result, YValues()->Value(I) + Offset);
    return Result;
}

void TBar3DSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    const double Range = Bounds.DifY;
    double X = Bounds.StartX;
    for (int I = 0; I < NumValues; ++I) {
        const double Y = std::abs(RandomValue(std::max(1, static_cast<int>(std::round(Range))))) + 10;
        const double Offset = std::fabs(Range / (RandomValue(5) + 1));
        AddBar(X, Y, Offset);
        X += Bounds.StepX;
    }
}

// --- TDonutSeries -------------------------------------------------------------------------------

TDonutSeries::TDonutSeries(TComponent* AOwner) : TPieSeries(AOwner)
{
    SetDonutPercent(50);
}

void TDonutSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TDonutSeries*>(Source))
        SetDonutPercent(S->DonutPercent());
    TPieSeries::Assign(Source);
    if (DonutPercent() < 1)
        SetDonutPercent(50);
}

// --- Registration -------------------------------------------------------------------------------

void RegisterBar3DDonutSeries()
{
    RegisterPlotSeries<TBar3DSeries>(&PlotMsg_GalleryBar3D, &PlotMsg_GalleryOther, 1);
    RegisterPlotSeries<TDonutSeries>(&PlotMsg_GalleryDonut, &PlotMsg_GalleryExtended, 1);
}

void UnregisterBar3DDonutSeries()
{
    const std::initializer_list<const QMetaObject*> Classes = {&TBar3DSeries::staticMetaObject,
                                                               &TDonutSeries::staticMetaObject};
    UnRegisterPlotSeries(Classes);
    for (const QMetaObject* Meta : Classes)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
