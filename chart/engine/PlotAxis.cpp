#include "chart/engine/PlotAxis.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/base/Numeric.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/core/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The chart of a custom axes collection.
TCustomAxisPanel* ChartOfCollection(TCollection* Collection)
{
    auto* Axes = qobject_cast<TChartCustomAxes*>(Collection);
    return Axes ? Axes->Chart() : nullptr;
}

} // namespace

TChartAxis::TChartAxis(TCollection* Collection) : TCollectionItem(Collection), FParentChart(ChartOfCollection(Collection))
{
    Init();
}

TChartAxis::TChartAxis(TCustomAxisPanel* Chart) : TCollectionItem(nullptr), FParentChart(Chart)
{
    Init();
}

void TChartAxis::Init()
{
    FAxisValuesFormat = PlotMsg_DefaultValueFormat;
    if (FParentChart)
        FParentChart->AxesList().Add(this);
}

TChartAxis::~TChartAxis()
{
    if (!FParentChart)
        return;
    FParentChart->AxesList().Remove(this);
    // Series must not keep a custom axis that is gone.
    if (!FParentChart->IsDestroying())
        for (TChartSeries* Series : FParentChart->SeriesList())
            Series->AxisRemoved(this);
}

void TChartAxis::Assign(const TPersistent* Source)
{
    const auto* Other = qobject_cast<const TChartAxis*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    FAutomatic = Other->FAutomatic;
    FAutomaticMaximum = Other->FAutomaticMaximum;
    FAutomaticMinimum = Other->FAutomaticMinimum;
    FAxisValuesFormat = Other->FAxisValuesFormat;
    FDateTimeFormat = Other->FDateTimeFormat;
    FInverted = Other->FInverted;
    FLabelStyle = Other->FLabelStyle;
    FMaximum = Other->FMaximum;
    FMinimum = Other->FMinimum;
    FVisible = Other->FVisible;
    FZPosition = Other->FZPosition;
    Changed();
}

void TChartAxis::Changed()
{
    if (FParentChart)
        FParentChart->Invalidate();
}

void TChartAxis::SetAutomatic(bool Value)
{
    FAutomatic = Value;
    if (!FParentChart || !FParentChart->IsLoading()) {
        FAutomaticMinimum = Value;
        FAutomaticMaximum = Value;
    }
    Changed();
}

void TChartAxis::SetAutomaticMaximum(bool Value)
{
    FAutomaticMaximum = Value;
    if (!Value)
        FAutomatic = false;
    else if (FAutomaticMinimum)
        FAutomatic = true;
    Changed();
}

void TChartAxis::SetAutomaticMinimum(bool Value)
{
    FAutomaticMinimum = Value;
    if (!Value)
        FAutomatic = false;
    else if (FAutomaticMaximum)
        FAutomatic = true;
    Changed();
}

void TChartAxis::SetAxisValuesFormat(const QString& Value)
{
    if (FAxisValuesFormat != Value) {
        FAxisValuesFormat = Value;
        Changed();
    }
}

bool TChartAxis::IsAxisValuesFormatStored() const
{
    return FAxisValuesFormat != PlotMsg_DefaultValueFormat;
}

void TChartAxis::SetDateTimeFormat(const QString& Value)
{
    if (FDateTimeFormat != Value) {
        FDateTimeFormat = Value;
        Changed();
    }
}

void TChartAxis::SetHorizontal(bool Value)
{
    if (FHorizontal != Value) {
        FHorizontal = Value;
        RecalcScale();
        Changed();
    }
}

void TChartAxis::SetOtherSide(bool Value)
{
    if (FOtherSide != Value) {
        FOtherSide = Value;
        Changed();
    }
}

void TChartAxis::SetInverted(bool Value)
{
    if (FInverted != Value) {
        FInverted = Value;
        Changed();
    }
}

void TChartAxis::SetLabelStyle(TAxisLabelStyle Value)
{
    if (FLabelStyle != Value) {
        FLabelStyle = Value;
        Changed();
    }
}

void TChartAxis::SetMaximum(double Value)
{
    if (Value < FMinimum && !(FParentChart && FParentChart->IsLoading()))
        throw AxisException(PlotMsg_AxisMaximumBelowMinimum);
    FMaximum = Value;
    Changed();
}

void TChartAxis::SetMinimum(double Value)
{
    if (Value > FMaximum && !(FParentChart && FParentChart->IsLoading()))
        throw AxisException(PlotMsg_AxisMinimumAboveMaximum);
    FMinimum = Value;
    Changed();
}

void TChartAxis::SetVisible(bool Value)
{
    if (FVisible != Value) {
        FVisible = Value;
        Changed();
    }
}

void TChartAxis::SetDefaultVisible(bool Value)
{
    FVisible = Value;
    FDefaultVisible = Value;
}

void TChartAxis::SetZPosition(double Value)
{
    if (FZPosition != Value) {
        FZPosition = Value == 0 ? 0.01 : Value;
        Changed();
    }
}

void TChartAxis::SetMinMax(double AMin, double AMax)
{
    FAutomatic = false;
    FAutomaticMinimum = false;
    FAutomaticMaximum = false;
    if (AMin > AMax)
        std::swap(AMin, AMax);
    FMinimum = AMin;
    FMaximum = AMax;
    if (FMaximum - FMinimum < 1e-10)
        FMaximum = FMinimum + 1e-10;
    if (FParentChart)
        FParentChart->AxisChanged(this);
}

void TChartAxis::SetPixelSpan(int Start, int End)
{
    FStartPixel = Start;
    FEndPixel = End;
    FAxisPixelSize = End - Start;
    FCenterPixel = static_cast<int>((static_cast<long long>(Start) + End) / 2);
    RecalcScale();
}

void TChartAxis::SetCalcRange(double AMin, double AMax)
{
    FCalcMinimum = AMin;
    FCalcMaximum = AMax;
    RecalcScale();
}

void TChartAxis::AdjustMaxMin()
{
    double Min = FMinimum;
    double Max = FMaximum;
    if (FParentChart) {
        if (FAutomaticMinimum)
            Min = FHorizontal ? FParentChart->MinXValue(this) : FParentChart->MinYValue(this);
        if (FAutomaticMaximum)
            Max = FHorizontal ? FParentChart->MaxXValue(this) : FParentChart->MaxYValue(this);
    }
    SetCalcRange(Min, Max);
}

void TChartAxis::RecalcScale()
{
    FCalcRange = FCalcMaximum - FCalcMinimum;
    FPixelsPerUnit = FCalcRange == 0 ? 0 : FAxisPixelSize / FCalcRange;
}

void TChartAxis::CalcAxisSpace(TRect& Rect, bool CalcSizes)
{
    // Placeholder layout until axes draw their labels: no space taken.
    (void)Rect;
    (void)CalcSizes;
}

void TChartAxis::InternalCalcPositions()
{
    if (!FParentChart)
        return;
    const TRect R = FParentChart->ChartRectangle();
    if (FIsDepthAxis)
        SetPixelSpan(0, FParentChart->Depth3D());
    else if (FHorizontal)
        SetPixelSpan(R.Left, R.Right);
    else
        SetPixelSpan(R.Top, R.Bottom);
}

void TChartAxis::ApplyMargins(int FirstMargin, int SecondMargin)
{
    (void)FirstMargin;
    (void)SecondMargin;
}

void TChartAxis::DrawAxis(bool CalcPosAxis)
{
    (void)CalcPosAxis;
}

int TChartAxis::CalcPosValue(double Value) const
{
    if (FCalcRange == 0 || !std::isfinite(Value))
        return FCenterPixel;
    const double D = (Value - FCalcMinimum) * FPixelsPerUnit;
    double P;
    if (FHorizontal)
        P = FInverted ? FEndPixel - D : FStartPixel + D;
    else
        P = FInverted ? FStartPixel + D : FEndPixel - D;
    P = std::clamp(P, -static_cast<double>(PlotMaxPixelPos), static_cast<double>(PlotMaxPixelPos));
    return RoundToInt32(P);
}

double TChartAxis::CalcPosPoint(int Pixel) const
{
    if (FAxisPixelSize < 1)
        return 0;
    const double D = (FInverted ? FEndPixel - Pixel : Pixel - FStartPixel) * (FCalcRange / FAxisPixelSize);
    return FHorizontal ? FCalcMinimum + D : FCalcMaximum - D;
}

int TChartAxis::CalcSizeValue(double Value) const
{
    if (Value <= 0 || FCalcRange == 0)
        return 0;
    return RoundToInt32(std::min(Value * FPixelsPerUnit, static_cast<double>(PlotMaxPixelPos)));
}

QString TChartAxis::LabelValue(double Value) const
{
    if (IsDateTime()) {
        if (Value < 0)
            return {};
        const QString Format = FDateTimeFormat.isEmpty() ? DefaultDateTimeFormat(FCalcRange) : FDateTimeFormat;
        return FormatDateTime(Format, Value);
    }
    return FormatFloat(FAxisValuesFormat, Value);
}

TAxisLabelStyle TChartAxis::CalcLabelStyle() const
{
    if (!FParentChart)
        return talNone;
    TAxisLabelStyle Result = talNone;
    for (TChartSeries* Series : FParentChart->SeriesList()) {
        if (!Series->Active() || !Series->AssociatedToAxis(this))
            continue;
        Result = talValue;
        // Labels name the points of a series whose positions run along
        // this axis.
        const bool PositionsHere = Series->MandatoryIsY() == FHorizontal;
        if (PositionsHere && Series->Count() > 0)
            for (int I = 0; I < Series->Labels().Count(); ++I)
                if (!Series->Labels().GetLabel(I).isEmpty())
                    return talText;
    }
    return Result;
}

bool TChartAxis::IsDateTime() const
{
    if (!FParentChart)
        return false;
    for (TChartSeries* Series : FParentChart->SeriesList()) {
        if (!Series->Active())
            continue;
        if (TChartValueList* List = Series->GetAxisValueList(this))
            return List->DateTime();
    }
    return false;
}

// --- TChartDepthAxis -------------------------------------------------------------------------------

TChartDepthAxis::TChartDepthAxis(TCustomAxisPanel* Chart) : TChartAxis(Chart)
{
    SetDepthAxis(true);
    SetDefaultVisible(false);
}

void TChartDepthAxis::SetInverted(bool Value)
{
    TChartAxis::SetInverted(Value);
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    TChartAxis* Other = Chart->DepthAxis() == this ? Chart->DepthTopAxis() : Chart->DepthAxis();
    if (Other && Other != this && Other->Inverted() != Value)
        Other->TChartAxis::SetInverted(Value);
}

TAxisLabelStyle TChartDepthAxis::CalcLabelStyle() const
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || Chart->SeriesCount() == 0)
        return talText;
    for (TChartSeries* Series : Chart->SeriesList())
        if (Series->Active() && Series->MinZValue() != Series->MaxZValue())
            return talValue;
    return talText;
}

} // namespace lp
