// The axis' settings, range, scale, positions, label steps and texts. The
// layout and drawing are in PlotAxisDraw.cpp.

#include "chart/engine/PlotAxis.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/base/Numeric.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/core/NumberFormat.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace lp {

namespace {

// The chart of a custom axes collection.
TCustomAxisPanel* ChartOfCollection(TCollection* Collection)
{
    auto* Axes = qobject_cast<TChartCustomAxes*>(Collection);
    return Axes ? Axes->Chart() : nullptr;
}

// Round(V) when V lies within 1e-10 of it, else the ceiling or floor: a
// limit that is a multiple of the step up to rounding noise stays there.
double CeilTol(double V)
{
    const double R = RoundHalfEven(V);
    return std::fabs(V - R) <= 1e-10 ? R : std::ceil(V);
}

double FloorTol(double V)
{
    const double R = RoundHalfEven(V);
    return std::fabs(V - R) <= 1e-10 ? R : std::floor(V);
}

double FiniteOr(double Rounded, double Limit)
{
    return std::isfinite(Rounded) ? Rounded : Limit;
}

double Sign(double V)
{
    return V >= 0 ? 1.0 : -1.0;
}

} // namespace

// --- TChartAxisPen -----------------------------------------------------------------------------

TChartAxisPen::TChartAxisPen(TGraphicsChangeEvent OnChange)
{
    SetWidth(2);
    this->OnChange = std::move(OnChange);
}

void TChartAxisPen::SetLineMode(TPenLineMode Value)
{
    if (FLineMode != Value) {
        FLineMode = Value;
        Changed();
    }
}

void TChartAxisPen::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TChartAxisPen*>(Source))
        FLineMode = Other->FLineMode;
    TChartPen::Assign(Source);
}

// --- TAxisGridPen ------------------------------------------------------------------------------

TAxisGridPen::TAxisGridPen(TGraphicsChangeEvent OnChange)
{
    this->OnChange = std::move(OnChange);
}

void TAxisGridPen::SetCentered(bool Value)
{
    if (FCentered != Value) {
        FCentered = Value;
        Changed();
    }
}

void TAxisGridPen::SetZPosition(double Value)
{
    if (FZPosition != Value) {
        FZPosition = Value;
        Changed();
    }
}

void TAxisGridPen::SetDefaultZPosition(double Value)
{
    FZPosition = Value;
    FDefaultZPosition = Value;
}

void TAxisGridPen::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TAxisGridPen*>(Source)) {
        FCentered = Other->FCentered;
        FZPosition = Other->FZPosition;
    }
    TDottedGrayPen::Assign(Source);
}

// --- TChartAxisTitle ---------------------------------------------------------------------------

TChartAxisTitle::TChartAxisTitle(TCustomPlotPanel* AOwner) : TPlotCustomShape(AOwner)
{
    SetTransparent(true);
    SetDefaultTransparent(true);
}

void TChartAxisTitle::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TChartAxisTitle*>(Source)) {
        FAngle = Other->FAngle;
        FCaption = Other->FCaption;
    }
    TPlotCustomShape::Assign(Source);
}

void TChartAxisTitle::SetAngle(int Value)
{
    Value = ((Value % 360) + 360) % 360;
    if (FAngle != Value) {
        FAngle = Value;
        Repaint();
    }
}

void TChartAxisTitle::SetDefaultAngle(int Value)
{
    FAngle = ((Value % 360) + 360) % 360;
    FDefaultAngle = FAngle;
}

void TChartAxisTitle::SetCaption(const QString& Value)
{
    if (FCaption != Value) {
        FCaption = Value;
        Repaint();
    }
}

// --- TAxisItem, TAxisItems ---------------------------------------------------------------------

namespace {

TCustomPlotPanel* ChartOfItems(const TAxisItems* Items)
{
    return Items && Items->Axis() ? Items->Axis()->ParentChart() : nullptr;
}

} // namespace

TAxisItem::TAxisItem(TAxisItems* Owner) : TPlotShape(ChartOfItems(Owner))
{
    SetTransparent(true);
    SetDefaultTransparent(true);
}

void TAxisItem::SetText(const QString& Value)
{
    if (FText != Value) {
        FText = Value;
        Repaint();
    }
}

void TAxisItem::SetValue(double Value)
{
    if (FValue != Value) {
        FValue = Value;
        Repaint();
    }
}

TAxisItems::TAxisItems(TChartAxis* AAxis) : FAxis(AAxis)
{
    FLabelShape = std::make_unique<TPlotCustomShape>(ChartOfItems(this));
    FLabelShape->SetTransparent(true);
    FLabelShape->SetDefaultTransparent(true);
}

TAxisItems::~TAxisItems() = default;

TAxisItem* TAxisItems::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)].get();
}

TAxisItem* TAxisItems::Add(double Value)
{
    return Add(Value, QString());
}

TAxisItem* TAxisItems::Add(double Value, const QString& Text)
{
    auto Item = std::make_unique<TAxisItem>(this);
    Item->SetValue(Value);
    Item->SetText(Text);
    FItems.push_back(std::move(Item));
    Repaint();
    return FItems.back().get();
}

void TAxisItems::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    FItems.erase(FItems.begin() + Index);
    Repaint();
}

void TAxisItems::Clear()
{
    FItems.clear();
    Repaint();
}

void TAxisItems::Assign(const TAxisItems& Source)
{
    if (&Source == this)
        return;
    FLabelShape->Assign(Source.FLabelShape.get());
    FItems.clear();
    for (const auto& Item : Source.FItems)
        Add(Item->Value(), Item->Text());
    Repaint();
}

void TAxisItems::Repaint() const
{
    if (TCustomPlotPanel* Chart = ChartOfItems(this))
        Chart->Invalidate();
}

// --- TChartAxis: life ---------------------------------------------------------------------------

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
    const auto Repaint = [this](TGraphicsObject*) { Changed(); };
    FAxisPen = std::make_unique<TChartAxisPen>(Repaint);
    FGrid = std::make_unique<TAxisGridPen>(Repaint);
    FMinorGrid = std::make_unique<TChartHiddenPen>(Repaint);
    FMinorTicks = std::make_unique<TDarkGrayPen>(Repaint);
    FTicks = std::make_unique<TDarkGrayPen>(Repaint);
    FTicksInner = std::make_unique<TDarkGrayPen>(Repaint);
    FTitle = std::make_unique<TChartAxisTitle>(FParentChart);
    FItems = std::make_unique<TAxisItems>(this);
    SetCalcPosValue();
    if (FParentChart)
        FParentChart->AxesList().Add(this);
}

TChartAxis::~TChartAxis()
{
    if (!FParentChart)
        return;
    FParentChart->AxesList().Remove(this);
    if (!FParentChart->IsDestroying())
        FParentChart->AxisDestroyed(this);
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
    FAxisPen->Assign(Other->FAxisPen.get());
    FAxisValuesFormat = Other->FAxisValuesFormat;
    FDateTimeFormat = Other->FDateTimeFormat;
    FExactDateTime = Other->FExactDateTime;
    FGrid->Assign(Other->FGrid.get());
    FIncrement = Other->FIncrement;
    FInverted = Other->FInverted;
    FItems->Assign(*Other->FItems);
    FLabelsAlign = Other->FLabelsAlign;
    FLabelsAlternate = Other->FLabelsAlternate;
    FLabelsAngle = Other->FLabelsAngle;
    FLabelsExponent = Other->FLabelsExponent;
    FLabelsMultiLine = Other->FLabelsMultiLine;
    FLabelsOnAxis = Other->FLabelsOnAxis;
    FLabelsSeparation = Other->FLabelsSeparation;
    FLabelsSize = Other->FLabelsSize;
    FLabelStyle = Other->FLabelStyle;
    FLogarithmic = Other->FLogarithmic;
    FLogarithmicBase = Other->FLogarithmicBase;
    FMaximum = Other->FMaximum;
    FMinimum = Other->FMinimum;
    FMaximumOffset = Other->FMaximumOffset;
    FMinimumOffset = Other->FMinimumOffset;
    FMinorGrid->Assign(Other->FMinorGrid.get());
    FMinorTickCount = Other->FMinorTickCount;
    FMinorTickLength = Other->FMinorTickLength;
    FMinorTicks->Assign(Other->FMinorTicks.get());
    FPositionPercent = Other->FPositionPercent;
    FPositionUnits = Other->FPositionUnits;
    FRoundFirstLabel = Other->FRoundFirstLabel;
    FStartPosition = Other->FStartPosition;
    FEndPosition = Other->FEndPosition;
    FTickInnerLength = Other->FTickInnerLength;
    FTickLength = Other->FTickLength;
    FTickOnLabelsOnly = Other->FTickOnLabelsOnly;
    FTicks->Assign(Other->FTicks.get());
    FTicksInner->Assign(Other->FTicksInner.get());
    FTitle->Assign(Other->FTitle.get());
    FTitleSize = Other->FTitleSize;
    FVisible = Other->FVisible;
    FZPosition = Other->FZPosition;
    if (IsCustomAxis()) {
        FHorizontal = Other->FHorizontal;
        FOtherSide = Other->FOtherSide;
    }
    SetCalcPosValue();
    RecalcScale();
    Changed();
}

void TChartAxis::Changed()
{
    if (FParentChart)
        FParentChart->Invalidate();
}

void TChartAxis::SetBool(bool& Field, bool Value)
{
    if (Field != Value) {
        Field = Value;
        Changed();
    }
}

void TChartAxis::SetInt(int& Field, int Value)
{
    if (Field != Value) {
        Field = Value;
        Changed();
    }
}

void TChartAxis::SetDouble(double& Field, double Value)
{
    if (Field != Value) {
        Field = Value;
        Changed();
    }
}

// --- TChartAxis: settings ------------------------------------------------------------------------

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
        SetCalcPosValue();
        RecalcScale();
        Changed();
    }
}

void TChartAxis::SetIncrement(double Value)
{
    if (Value < 0)
        throw AxisException(PlotMsg_AxisIncrementNegative);
    SetDouble(FIncrement, Value);
}

void TChartAxis::SetInverted(bool Value)
{
    SetBool(FInverted, Value);
}

bool TChartAxis::Labels() const
{
    return FItems->LabelShape().Visible();
}

void TChartAxis::SetLabels(bool Value)
{
    FItems->LabelShape().SetVisible(Value);
}

TPlotFont* TChartAxis::LabelsFont() const
{
    return FItems->LabelShape().Font();
}

void TChartAxis::SetLabelsFont(const TPlotFont* Value)
{
    FItems->LabelShape().SetFont(Value);
}

void TChartAxis::SetLabelsAlign(TAxisLabelAlign Value)
{
    if (FLabelsAlign != Value) {
        FLabelsAlign = Value;
        Changed();
    }
}

void TChartAxis::SetLabelsSeparation(int Value)
{
    if (Value < 0)
        throw AxisException(PlotMsg_AxisLabelsSeparation);
    SetInt(FLabelsSeparation, std::min(Value, MaxLabelsSeparation));
}

void TChartAxis::SetLabelStyle(TAxisLabelStyle Value)
{
    if (FLabelStyle != Value) {
        FLabelStyle = Value;
        Changed();
    }
}

void TChartAxis::SetLogarithmic(bool Value)
{
    if (FParentChart && FParentChart->Zoomed())
        FParentChart->UndoZoom();
    if (Value && IsDateTime())
        throw AxisException(PlotMsg_AxisLogDateTime);
    const bool Switched = FLogarithmic != Value;
    SetBool(FLogarithmic, Value);
    if (FLogAutoFormat) {
        if (Value) {
            // "10" followed by the exponent, which LabelsExponent raises.
            SetLabelsExponent(true);
            SetAxisValuesFormat(QStringLiteral("0\"0\"e-0"));
            SetMinorTickCount(8);
        } else {
            SetLabelsExponent(false);
            SetAxisValuesFormat(QStringLiteral("##0.###"));
            SetMinorTickCount(1);
        }
    }
    if (Value)
        AdjustMaxMin();
    else
        FLinLogActive = false;
    SetCalcPosValue();
    RecalcScale();
    if (Switched && OnScaleChange)
        OnScaleChange(this);
}

void TChartAxis::SetLogarithmicBase(double Value)
{
    if (Value == 1 || !(Value > 0))
        throw AxisException(PlotMsg_AxisLogBase);
    SetDouble(FLogarithmicBase, Value);
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

void TChartAxis::SetOtherSide(bool Value)
{
    SetBool(FOtherSide, Value);
}

void TChartAxis::SetPositionUnits(TPlotUnits Value)
{
    if (FPositionUnits != Value) {
        FPositionUnits = Value;
        Changed();
    }
}

void TChartAxis::SetVisible(bool Value)
{
    SetBool(FVisible, Value);
}

void TChartAxis::SetDefaultVisible(bool Value)
{
    FVisible = Value;
    FDefaultVisible = Value;
}

void TChartAxis::SetDepthAxis(bool Value)
{
    FIsDepthAxis = Value;
    SetCalcPosValue();
}

void TChartAxis::SetZPosition(double Value)
{
    const double Position = Value == 0 ? 0.01 : Value;
    if (FZPosition != Position) {
        FZPosition = Position;
        Changed();
    }
}

bool TChartAxis::IsZPositionStored() const
{
    // The standard axes of the other side start at 100; a custom axis starts
    // at 0 on either side, so 100 is no default for it. Depth axes start at
    // 0 whatever their side, and the axis page moves them like any other
    // axis, so where they were put must come back.
    if (FOtherSide && !IsCustomAxis() && !FIsDepthAxis)
        return FZPosition != 100;
    return FZPosition > 0.011;
}

void TChartAxis::SetRoundedLimits(bool Value)
{
    FRoundedLimits = Value;
    AdjustMaxMin();
    SetCalcPosValue();
    Changed();
}

void TChartAxis::SetLinLogActive(bool Value)
{
    FLinLogActive = Value;
    RecalcScale();
}

void TChartAxis::SetLinLogMinDec(bool Value)
{
    FLinLogMinDec = Value;
    AdjustMaxMin();
    SetCalcPosValue();
    Changed();
}

void TChartAxis::SetLinLogDecShift(int Value)
{
    FLinLogDecShift = std::clamp(Value, 1, 15);
    AdjustMaxMin();
    SetCalcPosValue();
    Changed();
}

bool TChartAxis::SetLinLogMinDecValue(double Value)
{
    if (!(Value > 0) || !(Value < std::max(std::fabs(FMaximum), std::fabs(FMinimum))))
        return false;
    FLinLogMinDecValue = Value;
    AdjustMaxMin();
    SetCalcPosValue();
    Changed();
    return true;
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

bool TChartAxis::AcceptsLimits(double AMin, double AMax) const
{
    if (!std::isfinite(AMin) || !std::isfinite(AMax))
        return false;
    return !FLogarithmic || FLinLogActive || (AMin > 0 && AMax > 0);
}

void TChartAxis::Scroll(double Offset, bool CheckLimits)
{
    if (CheckLimits && FParentChart) {
        if (Offset > 0) {
            const double Extent = FHorizontal ? FParentChart->MaxXValue(this) : FParentChart->MaxYValue(this);
            if (!(FMaximum < Extent))
                return;
        } else if (Offset < 0) {
            const double Extent = FHorizontal ? FParentChart->MinXValue(this) : FParentChart->MinYValue(this);
            if (!(FMinimum > Extent))
                return;
        }
    }
    // A scroll past the largest double would leave an infinite range.
    if (!std::isfinite(FMinimum + Offset) || !std::isfinite(FMaximum + Offset))
        return;
    FAutomatic = false;
    FAutomaticMinimum = false;
    FAutomaticMaximum = false;
    FMinimum += Offset;
    FMaximum += Offset;
    Changed();
}

// --- TChartAxis: range and scale ---------------------------------------------------------------

void TChartAxis::SetPixelSpan(int Start, int End)
{
    FStartPixel = Start;
    FEndPixel = End;
    const long long Size = static_cast<long long>(End) - Start;
    FAxisPixelSize = static_cast<int>(std::clamp<long long>(Size, std::numeric_limits<int>::min(),
                                                           std::numeric_limits<int>::max()));
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
    const double OldMin = FCalcMinimum;
    const double OldMax = FCalcMaximum;
    FIsDateTimeAxis = IsDateTime();
    if (FParentChart && FParentChart->Zoomed()) {
        // The zoomed or scrolled range is the one set on the axis.
        FCalcMaximum = FMaximum;
        FCalcMinimum = FMinimum;
    } else {
        if (FAutomatic || FAutomaticMaximum) {
            if (FUseFixedLimits)
                FMaximum = FFixedMaximum;
            else if (FParentChart)
                FMaximum = FHorizontal ? FParentChart->MaxXValue(this) : FParentChart->MaxYValue(this);
        }
        if (FAutomatic || FAutomaticMinimum) {
            if (FUseFixedLimits)
                FMinimum = FFixedMinimum;
            else if (FParentChart)
                FMinimum = FHorizontal ? FParentChart->MinXValue(this) : FParentChart->MinYValue(this);
        }
        FLinLogActive = FLogarithmic && !(std::min(FMinimum, FMaximum) > 0);
        FCalcMaximum = FMaximum;
        FCalcMinimum = FMinimum;
        if (FRoundedLimits) {
            if (!FLogarithmic) {
                if (FIncrement > 0) {
                    FCalcMaximum = CeilTol(FMaximum / FIncrement) * FIncrement;
                    FCalcMinimum = FloorTol(FMinimum / FIncrement) * FIncrement;
                }
            } else if (FLinLogActive) {
                // Each limit goes to a power of ten away from zero.
                if (FMaximum > 0)
                    FCalcMaximum = std::pow(10.0, CeilTol(std::log10(FMaximum)));
                else if (FMaximum < 0)
                    FCalcMaximum = -std::pow(10.0, FloorTol(std::log10(-FMaximum)));
                if (FMinimum > 0)
                    FCalcMinimum = std::pow(10.0, FloorTol(std::log10(FMinimum)));
                else if (FMinimum < 0)
                    FCalcMinimum = -std::pow(10.0, CeilTol(std::log10(-FMinimum)));
            } else {
                const double LogBase = std::log(FLogarithmicBase);
                FCalcMaximum = std::pow(FLogarithmicBase, CeilTol(std::log(std::fabs(FMaximum)) / LogBase));
                FCalcMinimum = std::pow(FLogarithmicBase, FloorTol(std::log(std::fabs(FMinimum)) / LogBase));
                if (FCalcMaximum == FCalcMinimum) {
                    FCalcMaximum *= FLogarithmicBase;
                    FCalcMinimum /= FLogarithmicBase;
                }
            }
        }
        // No rounding where it would leave the finite range (a tiny step
        // against a huge limit): an infinite limit could not be drawn, written
        // or read back.
        FCalcMaximum = FiniteOr(FCalcMaximum, FMaximum);
        FCalcMinimum = FiniteOr(FCalcMinimum, FMinimum);
        FMinimum = FCalcMinimum;
        FMaximum = FCalcMaximum;
        if (FLinLogActive)
            ComputeLinLogUnit();
    }
    FRangeChanged = OldMin != FCalcMinimum || OldMax != FCalcMaximum;
    RecalcScale();
}

void TChartAxis::ComputeLinLogUnit()
{
    const double M = std::max(std::fabs(FCalcMaximum), std::fabs(FCalcMinimum));
    if (M == 0 || !std::isfinite(M)) {
        FLinLogUnit = 1;
        return;
    }
    double D;
    if (FLinLogMinDec) {
        if (!(FLinLogMinDecValue > 0))
            FLinLogMinDecValue = M / 100;
        // A smallest decade beyond the range has no meaning: the decade of
        // the largest magnitude is used instead.
        const double Base = FLinLogMinDecValue <= M ? FLinLogMinDecValue : M;
        D = std::pow(10.0, RoundHalfEven(std::log10(Base)));
    } else if (FCalcMaximum < 0) {
        D = std::pow(10.0, RoundHalfEven(std::log10(std::fabs(FCalcMaximum) * 0.00001)));
    } else {
        D = std::pow(10.0, RoundHalfEven(std::log10(M)) - FLinLogDecShift);
    }
    // The value D lies exactly one decade from zero on the scale.
    FLinLogUnit = D > 0 && std::isfinite(D) ? D / 9 : 1;
}

void TChartAxis::RecalcScale()
{
    FCalcRange = FCalcMaximum - FCalcMinimum;
    FRangeIsZero = !(std::fabs(FCalcRange) > 1e-100);
    FPixelsPerUnit = FRangeIsZero ? 0 : FAxisPixelSize / FCalcRange;
    if (!FLogarithmic)
        return;
    if (IsLinLog()) {
        FLogMinimum = LinLogValue(FCalcMinimum);
        FLogMaximum = LinLogValue(FCalcMaximum);
    } else {
        FLogMinimum = FCalcMinimum > 0 ? std::log(FCalcMinimum) : 0;
        FLogMaximum = FCalcMaximum > 0 ? std::log(FCalcMaximum) : 0;
    }
    FLogRange = FLogMaximum - FLogMinimum;
    FPixelsPerLogUnit = FLogRange == 0 ? 0 : FAxisPixelSize / FLogRange;
}

void TChartAxis::InternalCalcPositions()
{
    if (!FParentChart)
        return;
    const TRect R = FParentChart->ChartRectangle();
    double Base;
    double Size;
    if (FIsDepthAxis) {
        Base = 0;
        Size = FParentChart->Depth3D();
    } else if (FHorizontal) {
        Base = R.Left;
        Size = static_cast<double>(R.Right) - R.Left;
    } else {
        Base = R.Top;
        Size = static_cast<double>(R.Bottom) - R.Top;
    }
    const double Limit = PlotMaxPixelPos;
    const auto At = [&](double Percent) {
        const double Offset = std::isfinite(Percent) ? RoundHalfEven(Size * 0.01 * Percent) : 0;
        return RoundToInt32(std::clamp(Base + Offset, -Limit, Limit));
    };
    SetPixelSpan(At(FStartPosition), At(FEndPosition));
}

void TChartAxis::ApplyMargins(int FirstMargin, int SecondMargin)
{
    if (FirstMargin == 0 && SecondMargin == 0)
        return;
    const int OldStart = FStartPixel;
    const int OldEnd = FEndPixel;
    const long long Start = static_cast<long long>(OldStart) + FirstMargin;
    const long long End = static_cast<long long>(OldEnd) - SecondMargin;
    if (End - Start < 1)
        return; // no room left inside the margins: the range stays
    FStartPixel = static_cast<int>(Start);
    FEndPixel = static_cast<int>(End);
    FAxisPixelSize = static_cast<int>(End - Start);
    // The values at the old ends, seen through the narrower span.
    double AtEnd = CalcPosPoint(OldEnd);
    double AtStart = CalcPosPoint(OldStart);
    if (AtEnd < AtStart)
        std::swap(AtEnd, AtStart);
    FCalcMaximum = AtEnd;
    FCalcMinimum = AtStart;
    SetPixelSpan(OldStart, OldEnd);
}

// --- TChartAxis: positions ----------------------------------------------------------------------

void TChartAxis::SetCalcPosValue()
{
    if (FIsDepthAxis)
        FPositionFunction = pfDepth;
    else if (FLogarithmic)
        FPositionFunction = pfLogarithmic;
    else
        FPositionFunction = pfLinear;
}

int TChartAxis::ClampPixel(double Pixel) const
{
    if (std::isnan(Pixel))
        return FCenterPixel;
    const double Limit = PlotMaxPixelPos;
    return RoundToInt32(std::clamp(Pixel, -Limit, Limit));
}

int TChartAxis::CalcPosValue(double Value) const
{
    switch (FPositionFunction) {
    case pfDepth:
        return CalcDepthPos(Value);
    case pfLogarithmic:
        return CalcLogPos(Value);
    case pfLinear:
        break;
    }
    return LinearPixelMap()(Value);
}

TLinearPixelMap TChartAxis::LinearPixelMap() const
{
    TLinearPixelMap Map;
    Map.Flat = FRangeIsZero;
    Map.Fast = FParentChart && FParentChart->AxesList().FastCalc();
    Map.Center = FCenterPixel;
    Map.Minimum = FCalcMinimum;
    Map.PixelsPerUnit = FPixelsPerUnit;
    // Horizontal axes grow to the right, vertical ones upwards (pixels grow
    // downwards); inverting turns either round.
    const bool FromStart = FHorizontal != FInverted;
    Map.Origin = FromStart ? FStartPixel : FEndPixel;
    Map.Sign = FromStart ? 1.0 : -1.0;
    Map.Limit = PlotMaxPixelPos;
    return Map;
}

int TChartAxis::CalcLogPos(double Value) const
{
    if (FLogRange == 0 || std::isnan(FLogRange) || std::isnan(Value))
        return FCenterPixel;
    double L;
    if (IsLinLog()) {
        L = LinLogValue(Value);
    } else {
        // Zero and negative values have no logarithm: they go to the
        // axis' low end.
        if (!(Value > 0)) {
            if (FHorizontal)
                return FInverted ? FEndPixel : FStartPixel;
            return FInverted ? FStartPixel : FEndPixel;
        }
        L = std::log(Value);
    }
    const double D = RoundHalfEven((FInverted ? FLogMaximum - L : L - FLogMinimum) * FPixelsPerLogUnit);
    return ClampPixel(FHorizontal ? FStartPixel + D : FEndPixel - D);
}

int TChartAxis::CalcDepthPos(double Value) const
{
    if (FRangeIsZero || std::isnan(Value))
        return FCenterPixel;
    const double D = FInverted ? FCalcMaximum - Value : Value - FCalcMinimum;
    return ClampPixel(D * FPixelsPerUnit);
}

double TChartAxis::CalcPosPoint(int Pixel) const
{
    if (FPositionFunction == pfLogarithmic) {
        const bool LowAtStart = FHorizontal != FInverted;
        if (Pixel == FStartPixel)
            return LowAtStart ? FCalcMinimum : FCalcMaximum;
        if (Pixel == FEndPixel)
            return LowAtStart ? FCalcMaximum : FCalcMinimum;
        if (FLogRange == 0 || FAxisPixelSize == 0)
            return FCalcMinimum;
        const double Pixels = FInverted ? static_cast<double>(FEndPixel) - Pixel : static_cast<double>(Pixel) - FStartPixel;
        const double D = Pixels * (FLogRange / FAxisPixelSize);
        const double Log = FHorizontal ? FLogMinimum + D : FLogMaximum - D;
        return IsLinLog() ? LinLogInverse(Log) : std::exp(Log);
    }
    if (FAxisPixelSize < 1)
        return 0;
    if (FPositionFunction == pfDepth) {
        // Depth positions count from 0, not from StartPixel.
        const double D = Pixel * (FCalcRange / FAxisPixelSize);
        return FInverted ? FCalcMaximum - D : FCalcMinimum + D;
    }
    const double Pixels = FInverted ? static_cast<double>(FEndPixel) - Pixel : static_cast<double>(Pixel) - FStartPixel;
    const double D = Pixels * (FCalcRange / FAxisPixelSize);
    return FHorizontal ? FCalcMinimum + D : FCalcMaximum - D;
}

int TChartAxis::CalcSizeValue(double Value) const
{
    if (!(Value > 0) || FRangeIsZero)
        return 0;
    double Size;
    if (FLogarithmic)
        Size = (IsLinLog() ? LinLogValue(Value) : std::log(Value)) * FPixelsPerLogUnit;
    else
        Size = Value * FPixelsPerUnit;
    return ClampPixel(Size);
}

double TChartAxis::LinLogValue(double X) const
{
    const double Unit = FLinLogUnit > 0 ? FLinLogUnit : 1;
    return Sign(X) * std::log10(std::fabs(X) / Unit + 1);
}

double TChartAxis::LinLogInverse(double Y) const
{
    const double Unit = FLinLogUnit > 0 ? FLinLogUnit : 1;
    return Sign(Y) * (std::pow(10.0, std::fabs(Y)) - 1) * Unit;
}

double TChartAxis::LinLogShift(double X, int Decades) const
{
    double R = LinLogInverse(LinLogValue(X) + Decades);
    if (R != 0)
        R = Sign(R) * std::pow(10.0, RoundHalfEven(std::log10(std::fabs(R))));
    const double Unit = FLinLogUnit > 0 ? FLinLogUnit : 1;
    if (6 * Unit > std::fabs(R))
        R = 0;
    return R;
}

double TChartAxis::LogRound(double X) const
{
    if (IsLinLog())
        return LinLogShift(X, 0);
    if (X == 0)
        return 0;
    const double Power = RoundHalfEven(std::log(std::fabs(X)) / std::log(FLogarithmicBase));
    return Sign(X) * std::pow(FLogarithmicBase, Power);
}

// --- TChartAxis: label steps --------------------------------------------------------------------

double TChartAxis::NextStep125(double Value)
{
    if (std::isinf(Value) || !(Value > 0))
        return 1;
    if (Value >= 10)
        return 10 * NextStep125(Value / 10);
    if (Value < 1)
        return NextStep125(Value * 10) / 10;
    if (Value < 2)
        return 2;
    if (Value < 5)
        return 5;
    return 10;
}

int TChartAxis::LabelExtent(double Value) const
{
    int Lines = 0;
    const int Width = MultiLineWidth(LabelValue(Value), Lines);
    const int Angle = ((FLabelsAngle % 360) + 360) % 360;
    const bool Across = FHorizontal ? (Angle == 90 || Angle == 270) : (Angle == 0 || Angle == 180);
    return Across ? FontHeightOf() * Lines : Width;
}

double TChartAxis::CalcLabelsIncrement() const
{
    if (FParentChart)
        SelectFont(*LabelsFont());
    const double Lo = FCalcMinimum;
    const double Hi = FCalcMaximum;
    int Width = std::max(LabelExtent(Lo), LabelExtent(Hi));
    if (FIncrement != 0)
        Width = std::max({Width, LabelExtent(Lo + FIncrement), LabelExtent(Hi - FIncrement)});
    else
        Width = std::max(Width, LabelExtent((Lo + Hi) * 0.5));
    int Count = 1;
    if (Width >= 1) {
        if (FLabelsSeparation > 0)
            Width += static_cast<int>(RoundHalfEven(FLabelsSeparation * 0.01 * Width));
        Count = static_cast<int>(RoundHalfEven(static_cast<double>(FAxisPixelSize) / Width));
    }
    double Step = CalcIncrementForLabelCount(Count);
    if (FLabelsAlternate) {
        if (IsLinLog())
            Step = LinLogShift(Step, -1);
        else if (FLogarithmic)
            Step /= FLogarithmicBase;
        else
            Step *= 0.5;
    }
    return Step;
}

double TChartAxis::CalcIncrementForLabelCount(int NumLabels) const
{
    if (NumLabels <= 0)
        return FIsDateTimeAxis ? DateTimeStep(dtOneMicrosecond) : 1e-12;
    return FIsDateTimeAxis ? DateTimeIncrement(NumLabels) : NumericIncrement(NumLabels);
}

double TChartAxis::NextLabelStep(double Step) const
{
    if (IsLinLog())
        return LinLogShift(Step, 1);
    if (FLogarithmic)
        return Step * FLogarithmicBase;
    return NextStep125(Step);
}

double TChartAxis::NumericIncrement(int NumLabels) const
{
    double Step;
    if (FIncrement > 0) {
        Step = FIncrement;
    } else if (FCalcRange == 0) {
        Step = 1;
    } else {
        Step = std::fabs(FCalcRange) / (NumLabels + 1.0);
        if (FLogarithmic)
            Step = LogRound(Step);
        // Points numbered 0, 1, 2 … need no labels between them.
        if (FCalcRange >= 1 && FParentChart) {
            for (TChartSeries* Series : FParentChart->SeriesList())
                if (Series->Active() && Series->AssociatedToAxis(this) && Series->MandatoryIsY() == FHorizontal
                    && Series->Count() <= NumLabels) {
                    Step = std::max(Step, 1.0);
                    break;
                }
        }
    }
    if (FLabelsSeparation > 0) {
        // Widen the step until the labels fit. The guard ends bases below 1,
        // whose steps only shrink.
        double Labels = NumLabels + 1.0;
        int Guard = 0;
        do {
            const double Quotient = FCalcRange / (Step == 0 ? 100000.0 : Step);
            if (std::fabs(Quotient) < 2147483647.0)
                Labels = RoundHalfEven(Quotient);
            if (Labels > NumLabels)
                Step = NextLabelStep(Step);
        } while (Labels > NumLabels && Step <= FCalcRange && !std::isinf(Step) && ++Guard < 10000);
    }
    if (std::isinf(Step))
        return FCalcRange;
    return std::max(Step, 1e-12);
}

double TChartAxis::DateTimeIncrement(int NumLabels) const
{
    const double Micro = DateTimeStep(dtOneMicrosecond);
    double Step = std::max(Micro, FIncrement);
    if (Step > 0 && NumLabels >= 1) {
        if (FCalcRange / Step > 1000000)
            Step = FCalcRange / 1000000;
        const double Second = DateTimeStep(dtOneSecond);
        int Guard = 0;
        while (RoundHalfEven(FCalcRange / Step) > NumLabels && ++Guard < 10000) {
            if (Step >= 365)
                Step *= 2;
            else if (Step >= Second)
                Step = NextDateTimeStep(Step);
            else
                Step = NextStep125(Step);
        }
    }
    return std::max(Micro, Step);
}

// --- TChartAxis: label texts ---------------------------------------------------------------------

QString TChartAxis::FormattedValue(const QString& Format, double Value) const
{
    TLabelTextCache& Cache = FLabelTexts;
    if (Cache.DateTime != FIsDateTimeAxis || Cache.Format != Format || Cache.Texts.size() >= 4096) {
        Cache.Texts.clear();
        Cache.DateTime = FIsDateTimeAxis;
        Cache.Format = Format;
    }
    const auto Key = std::bit_cast<std::uint64_t>(Value);
    if (const auto At = Cache.Texts.find(Key); At != Cache.Texts.end())
        return At->second;
    QString Result;
    if (FIsDateTimeAxis) {
        Result = DateTimeOrNumber(Format, Value);
    } else {
        Result = FormatFloat(Format, Value);
    }
    Cache.Texts.emplace(Key, Result);
    return Result;
}

QString TChartAxis::LabelValue(double Value) const
{
    QString Result;
    if (FIsDateTimeAxis) {
        if (Value >= 0)
            Result = FormattedValue(FDateTimeFormat.isEmpty() ? DefaultDateTimeFormat(FCalcRange) : FDateTimeFormat,
                                    Value);
    } else {
        Result = FormattedValue(FAxisValuesFormat, Value);
    }
    if (!FNoLabelEvent && FParentChart && FParentChart->OnGetAxisLabel)
        FParentChart->OnGetAxisLabel(const_cast<TChartAxis*>(this), nullptr, -1, Result);
    if (FLabelsMultiLine)
        Result.replace(QLatin1Char(' '), PlotLineSeparator);
    return Result;
}

QString TChartAxis::LabelTextWithoutEvent(double Value) const
{
    struct TRestore {
        bool& Flag;
        bool Old;
        ~TRestore() { Flag = Old; }
    } Restore{FNoLabelEvent, FNoLabelEvent};
    FNoLabelEvent = true;
    return LabelValue(Value);
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
        // this axis; series with Z values of their own label nothing here.
        const bool PositionsHere = Series->MandatoryIsY() == FHorizontal;
        if (PositionsHere && !Series->HasZValues() && Series->Count() > 0)
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
        if (Series->Active() && (Series->HasZValues() || Series->MinZValue() != Series->MaxZValue()))
            return talValue;
    return talText;
}

} // namespace lp
