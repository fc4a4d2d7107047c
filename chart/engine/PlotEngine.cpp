#include "chart/engine/PlotEngine.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRichText.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/base/Numeric.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StringList.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace lp {

// --- TCustomChartElement --------------------------------------------------------------------

TCustomChartElement::TCustomChartElement(TComponent* AOwner) : TComponent(AOwner)
{
    FBrush = std::make_unique<TChartBrush>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
    FPen = CreateChartPen();
}

TCustomChartElement::~TCustomChartElement()
{
    // Descendants detach from their chart in their own destructors; this
    // only forgets the chart.
    FParentChart = nullptr;
}

void TCustomChartElement::Assign(const TPersistent* Source)
{
    const auto* Other = qobject_cast<const TCustomChartElement*>(Source);
    if (!Other) {
        TComponent::Assign(Source);
        return;
    }
    FActive = Other->FActive;
    FBrush->Assign(Other->FBrush.get());
    FPen->Assign(Other->FPen.get());
    FTag = Other->FTag;
}

void TCustomChartElement::SetActive(bool Value)
{
    SetBooleanProperty(FActive, Value);
}

void TCustomChartElement::UseClearBrush()
{
    FBrush = std::make_unique<TChartClearBrush>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
}

void TCustomChartElement::SetBrush(const TChartBrush* Value)
{
    FBrush->Assign(Value);
}

void TCustomChartElement::SetPen(const TChartPen* Value)
{
    FPen->Assign(Value);
}

void TCustomChartElement::SetParentChart(TCustomAxisPanel* Value)
{
    FParentChart = Value;
}

void TCustomChartElement::Repaint()
{
    if (FParentChart)
        FParentChart->Invalidate();
}

void TCustomChartElement::CanvasChanged(QObject*)
{
    Repaint();
}

std::unique_ptr<TChartPen> TCustomChartElement::CreateChartPen()
{
    return std::make_unique<TChartPen>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
}

TComponent* TCustomChartElement::GetParentComponent() const
{
    return FParentChart;
}

void TCustomChartElement::SetParentComponent(TComponent* Value)
{
    if (auto* Chart = qobject_cast<TCustomAxisPanel*>(Value))
        SetParentChart(Chart);
}

void TCustomChartElement::SetBooleanProperty(bool& Variable, bool Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TCustomChartElement::SetIntegerProperty(int& Variable, int Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TCustomChartElement::SetColorProperty(TColor& Variable, TColor Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TCustomChartElement::SetDoubleProperty(double& Variable, double Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TCustomChartElement::SetStringProperty(QString& Variable, const QString& Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

// --- TCustomChartSeries ---------------------------------------------------------------------

TCustomChartSeries::TCustomChartSeries(TComponent* AOwner) : TCustomChartElement(AOwner) {}

void TCustomChartSeries::Assign(const TPersistent* Source)
{
    TCustomChartElement::Assign(Source);
    if (const auto* Other = qobject_cast<const TCustomChartSeries*>(Source)) {
        FShowInLegend = Other->FShowInLegend;
        FTitle = Other->FTitle;
        FStyle = Other->FStyle;
        FIdentifier = Other->FIdentifier;
    }
}

void TCustomChartSeries::SetActive(bool Value)
{
    const bool Changed = Value != Active();
    TCustomChartElement::SetActive(Value);
    if (Changed && FParentChart)
        FParentChart->BroadcastSeriesEvent(this, seChangeActive);
}

void TCustomChartSeries::SetShowInLegend(bool Value)
{
    SetBooleanProperty(FShowInLegend, Value);
}

void TCustomChartSeries::SetTitle(const QString& Value)
{
    if (FTitle == Value)
        return;
    SetStringProperty(FTitle, Value);
    if (FParentChart)
        FParentChart->BroadcastSeriesEvent(this, seChangeTitle);
}

void TCustomChartSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    LeftMargin = 0;
    RightMargin = 0;
}

void TCustomChartSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TopMargin = 0;
    BottomMargin = 0;
}

void TCustomChartSeries::DetachedFromChart()
{
    FParentChart = nullptr;
}

void TCustomChartSeries::GalleryChanged3D(bool Is3D)
{
    if (FParentChart)
        FParentChart->SetView3D(Is3D);
}

void TCustomChartSeries::DefineProperties(TFiler& Filer)
{
    TCustomChartElement::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("Identifier"), [this](const QVariant& V) { FIdentifier = V.toString(); },
        [this] { return QVariant(FIdentifier); }, !FIdentifier.isEmpty());
    // A kind that publishes a Style of its own (a shape's figure, a clock's
    // numerals) keeps that name for it: the editor flags would be read into
    // it.
    if (metaObject()->indexOfProperty("Style") < 0)
        Filer.DefineProperty(
            QStringLiteral("Style"), [this](const QVariant& V) { SetStyle(V.toInt()); },
            [this] { return QVariant(FStyle); }, FStyle != 0);
}

bool TCustomChartSeries::SameClass(const TCustomChartSeries* Other) const
{
    return Other && (metaObject()->inherits(Other->metaObject()) || Other->metaObject()->inherits(metaObject()));
}

// --- TChartSeries: creation -------------------------------------------------------------------

TChartSeries::TChartSeries(TComponent* AOwner) : TCustomChartSeries(AOwner)
{
    FValuesList = std::make_unique<TChartValueLists>();
    FX = new TChartValueList(this, PlotMsg_ValuesX);
    FX->InitOrder(loAscending);
    FY = new TChartValueList(this, PlotMsg_ValuesY);
    FMandatory = FY;
    FNotMandatory = FX;
    FLabels = std::make_unique<TLabelsList>(this);
    FPercentFormat = PlotMsg_DefaultPercentFormat;
    FValueFormat = PlotMsg_DefaultValueFormat;
    FDataSources = std::make_unique<TDataSourcesList>(this);
    FLinkedSeries = std::make_unique<TCustomSeriesList>(this);
}

TChartSeries::~TChartSeries()
{
    Destroying();
    SetStaleMark(false);
    FPendingDataSources.clear();
    UnlinkFromSources();
    // A data source this series owns goes with it.
    if (TComponent* Source = DataSource(); Source && Source->Owner() == this && !qobject_cast<TChartSeries*>(Source)) {
        FDataSources->InternalClear();
        delete Source;
    }
    FDataSources->InternalClear();
    // Dependents forget this series as their source.
    const std::vector<TChartSeries*> Dependents(FLinkedSeries->begin(), FLinkedSeries->end());
    for (TChartSeries* Dependent : Dependents) {
        Dependent->DataSources().InternalRemove(this);
        // A dependent waiting to start from this series starts from its
        // first source left.
        if (Dependent->FStaleSource == this)
            Dependent->FStaleSource = qobject_cast<TChartSeries*>(Dependent->DataSource());
    }
    Clear();
    FLinkedSeries->Clear();
    if (FSeriesFunction) {
        TPlotFunction* F = FSeriesFunction;
        FSeriesFunction = nullptr;
        RemoveFreeNotification(F);
        delete F;
    }
    if (FParentChart)
        FParentChart->InternalRemoveSeries(this);
    FParentChart = nullptr;
}

void TChartSeries::UnlinkFromSources()
{
    for (TComponent* Source : *FDataSources)
        if (auto* Series = qobject_cast<TChartSeries*>(Source))
            Series->LinkedSeries().Remove(this);
}

// --- Adding points ----------------------------------------------------------------------------

int TChartSeries::Count() const
{
    return FX->Count();
}

void TChartSeries::InsertPointParts(int Index, const QString& Label, TColor Color)
{
    if (FColors || Color != clPlotColor) {
        std::vector<TColor>& Colors = FColors ? *FColors : EnsureColors();
        // A list made just now already has an entry for the new point.
        if (Colors.size() >= static_cast<size_t>(Count()))
            Colors.resize(static_cast<size_t>(Count()) - 1, clPlotColor);
        if (Colors.size() < static_cast<size_t>(Index))
            Colors.resize(static_cast<size_t>(Index), clPlotColor);
        Colors.insert(Colors.begin() + Index, Color);
    }
    if (!Label.isEmpty() || FLabels->Count() > 0)
        FLabels->InsertLabel(Index, Label);
}

int TChartSeries::AddXY(double X, double Y, const QString& Label, TColor Color)
{
    FX->SetTempValue(X);
    FY->SetTempValue(Y);
    if (OnBeforeAdd && !OnBeforeAdd(this))
        return -1;
    const int Index = FX->AddTempValue();
    FY->InsertChartValue(Index, Y);
    for (int L = 2; L < FValuesList->Count(); ++L) {
        TChartValueList* List = FValuesList->GetValueList(L);
        List->InsertChartValue(Index, List->TempValue());
    }
    InsertPointParts(Index, Label, Color);
    if (!Updating())
        NotifyValueAdded(Index);
    return Index;
}

int TChartSeries::Add(double Value, const QString& Label, TColor Color)
{
    const double Position = Count();
    return FMandatoryIsY ? AddXY(Position, Value, Label, Color) : AddXY(Value, Position, Label, Color);
}

int TChartSeries::AddNull(const QString& Label)
{
    return Add(0, Label, clNone);
}

int TChartSeries::AddNullXY(double X, double Y, const QString& Label)
{
    return AddXY(X, Y, Label, clNone);
}

int TChartSeries::AddPointValues(TChartSeries* Source, int Index)
{
    double X = Source->XValues()->Value(Index);
    double Y = Source->YValues()->Value(Index);
    if (Source->MandatoryIsY() != FMandatoryIsY)
        std::swap(X, Y);
    FX->SetTempValue(X);
    const int NewIndex = FX->AddTempValue();
    FY->InsertChartValue(NewIndex, Y);
    for (int L = 2; L < FValuesList->Count(); ++L) {
        const double Value =
            L < Source->ValuesList().Count() ? Source->ValuesList().GetValueList(L)->Value(Index) : 0.0;
        FValuesList->GetValueList(L)->InsertChartValue(NewIndex, Value);
    }
    return NewIndex;
}

int TChartSeries::AddSourceValue(TChartSeries* Source, int Index)
{
    const int NewIndex = AddPointValues(Source, Index);
    const std::vector<TColor>* SourceColors = Source->Colors();
    const TColor Color =
        SourceColors && SourceColors->size() > static_cast<size_t>(Index) ? (*SourceColors)[static_cast<size_t>(Index)]
                                                                          : clPlotColor;
    const QString Label = Source->Labels().Count() > Index ? Source->Labels().GetLabel(Index) : QString();
    InsertPointParts(NewIndex, Label, Color);
    NotifyValueAdded(NewIndex);
    return NewIndex;
}

void TChartSeries::AddValues(TChartSeries* Source)
{
    // Sources first: their recalculation would mark this series again
    // while it reads them.
    RefreshSources(Source);
    SetStaleMark(false);
    BeginUpdate();
    try {
        Clear();
        if (FSeriesFunction) {
            if (Source) {
                FX->SetDateTime(Source->XValues()->DateTime());
                FY->SetDateTime(Source->YValues()->DateTime());
            }
            FSeriesFunction->AddPoints(Source);
        } else if (Source && IsValidSourceOf(Source)) {
            for (int I = 0; I < Source->Count(); ++I)
                AddSourceValue(Source, I);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    RememberCalculation(Source);
}

// --- Deleting points --------------------------------------------------------------------------

void TChartSeries::Delete(int ValueIndex)
{
    // A negative index is as wrong as one beyond the end.
    if (ValueIndex < 0 || ValueIndex >= Count())
        throw ChartException(Format(PlotMsg_SeriesDeleteOutOfBounds, {ValueIndex, Count() - 1}));
    for (TChartValueList* List : *FValuesList)
        List->Delete(ValueIndex);
    if (FColors && FColors->size() > static_cast<size_t>(ValueIndex))
        FColors->erase(FColors->begin() + ValueIndex);
    FLabels->DeleteLabel(ValueIndex);
    if (FMarks) {
        FMarks->Positions().Delete(ValueIndex);
        FMarks->Items().Delete(ValueIndex);
    }
    NotifyValue(veDelete, ValueIndex);
    if (Active())
        Repaint();
}

void TChartSeries::DeleteRange(int Start, int Quantity, bool RemoveGap)
{
    Assert(Quantity >= 1, "Quantity of data points to delete must be greater than zero.");
    Assert(Start >= 0 && static_cast<long long>(Start) + Quantity - 1 < Count(),
           "Quantity of data to delete must be less than Count.");
    for (TChartValueList* List : *FValuesList)
        List->DeleteRange(Start, Quantity);
    if (FColors) {
        const size_t First = std::min(FColors->size(), static_cast<size_t>(Start));
        const size_t Last = std::min(FColors->size(), static_cast<size_t>(Start) + static_cast<size_t>(Quantity));
        FColors->erase(FColors->begin() + static_cast<long>(First), FColors->begin() + static_cast<long>(Last));
        if (FColors->empty())
            FColors.reset();
    }
    for (int I = std::min(Start + Quantity, FLabels->Count()) - 1; I >= Start; --I)
        FLabels->DeleteLabel(I);
    if (FMarks)
        FMarks->Positions().DeleteRange(Start, Quantity);
    NotifyValue(veDelete, -1);
    if (Active())
        Repaint();
    if (RemoveGap)
        FNotMandatory->FillSequence();
}

void TChartSeries::ClearLists()
{
    for (TChartValueList* List : *FValuesList)
        List->ClearValues();
    FColors.reset();
    FLabels->Clear();
    // The marks keep items read from a stream while the series loads.
    if (FMarks)
        FMarks->Clear();
}

void TChartSeries::Clear()
{
    // Emptied, the series no longer waits for its sources' changes.
    SetStaleMark(false);
    FCalculation.Known = false;
    FFirstVisibleIndex = -1;
    FLastVisibleIndex = -1;
    ClearLists();
    if (OnClearValues)
        OnClearValues(this);
    NotifyValue(veClear, 0);
    if (FSeriesFunction)
        FSeriesFunction->Clear();
    if (Active() && FParentChart && !FParentChart->IsDestroying())
        Repaint();
}

void TChartSeries::SwapValueIndex(int A, int B)
{
    for (TChartValueList* List : *FValuesList)
        List->Exchange(A, B);
    if (FColors) {
        const size_t Needed = static_cast<size_t>(std::max(A, B)) + 1;
        if (FColors->size() < Needed)
            FColors->resize(Needed, clPlotColor);
        std::swap((*FColors)[static_cast<size_t>(A)], (*FColors)[static_cast<size_t>(B)]);
    }
    FLabels->Exchange(A, B);
}

void TChartSeries::BeginUpdate()
{
    ++FUpdateCount;
}

void TChartSeries::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        RefreshSeries();
}

void TChartSeries::ReorderPoints(const std::function<void()>& Reorder)
{
    ++FReorderCount;
    try {
        Reorder();
    } catch (...) {
        --FReorderCount;
        throw;
    }
    if (--FReorderCount == 0 && std::exchange(FReorderNoticeHeld, false))
        NotifyValue(veModify, 0);
}

void TChartSeries::RefreshSeries()
{
    NotifyValue(veRefresh, 0);
    if (FParentChart)
        FParentChart->BroadcastSeriesEvent(this, seDataChanged);
}

// --- Values and colours ---------------------------------------------------------------------

void TChartSeries::SetHorizontal()
{
    FMandatory = FX;
    FNotMandatory = FY;
    FMandatoryIsY = false;
}

void TChartSeries::SetMandatoryValueList(TChartValueList* List)
{
    bool Own = false;
    for (TChartValueList* L : *FValuesList)
        Own = Own || L == List;
    if (!Own)
        throw ChartException(QStringLiteral("The mandatory value list must belong to the series."));
    // A further list (Z) keeps the series vertical: X positions, Y values.
    FMandatory = List;
    FNotMandatory = List == FX ? FY : FX;
    FMandatoryIsY = List != FX;
}

TChartValueList* TChartSeries::GetValueListByName(const QString& Name) const
{
    for (int L = 2; L < FValuesList->Count(); ++L) {
        TChartValueList* List = FValuesList->GetValueList(L);
        if (List->Name().compare(Name, Qt::CaseInsensitive) == 0)
            return List;
    }
    return FY;
}

TChartValueList* TChartSeries::GetAxisValueList(const TChartAxis* Axis) const
{
    if (!Axis || !AssociatedToAxis(Axis))
        return nullptr;
    return Axis->Horizontal() ? FX : FY;
}

void TChartSeries::SetValueList(TChartValueList* List, const TChartValueList* Source)
{
    List->Assign(Source);
    Repaint();
}

double TChartSeries::GetXValue(int Index) const
{
    return FX->Value(Index);
}

double TChartSeries::GetYValue(int Index) const
{
    return FY->Value(Index);
}

void TChartSeries::SetXValue(int Index, double Value)
{
    FX->InternalSetValue(Index, Value);
    Repaint();
}

void TChartSeries::SetYValue(int Index, double Value)
{
    FY->InternalSetValue(Index, Value);
    Repaint();
}

double TChartSeries::GetMarkValue(int Index) const
{
    return FMandatory->Value(Index);
}

double TChartSeries::MaxXValue()
{
    return FX->MaxValue();
}

double TChartSeries::MinXValue()
{
    return FX->MinValue();
}

double TChartSeries::MaxYValue()
{
    return FY->MaxValue();
}

double TChartSeries::MinYValue()
{
    return FY->MinValue();
}

double TChartSeries::MaxZValue()
{
    return ZOrder();
}

double TChartSeries::MinZValue()
{
    return ZOrder();
}

TColor TChartSeries::GetStoredValueColor(int Index) const
{
    if (FStale)
        const_cast<TChartSeries*>(this)->CheckRefresh();
    if (FColors && Index >= 0 && static_cast<size_t>(Index) < FColors->size())
        return (*FColors)[static_cast<size_t>(Index)];
    return clPlotColor;
}

TColor TChartSeries::GetValueColor(int Index) const
{
    const TColor Own = GetStoredValueColor(Index);
    if (Own != clPlotColor)
        return Own;
    if (FColorEachPoint)
        return FParentChart ? FParentChart->GetDefaultColor(Index) : GetPaletteColor(Index);
    return GetSeriesColor();
}

std::vector<TColor>& TChartSeries::EnsureColors()
{
    if (!FColors)
        FColors = std::make_unique<std::vector<TColor>>();
    if (FColors->size() < static_cast<size_t>(Count()))
        FColors->resize(static_cast<size_t>(Count()), clPlotColor);
    return *FColors;
}

void TChartSeries::SetValueColor(int Index, TColor Color)
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    if (!FColors && Color == clPlotColor)
        return;
    EnsureColors()[static_cast<size_t>(Index)] = Color;
    Repaint();
}

// --- Published settings -----------------------------------------------------------------------

void TChartSeries::SetSeriesColor(TColor Color)
{
    // A colour read from a file is the colour the user fixed, even where it
    // equals the one the series' place in the chart would give it.
    if (FColor == clPlotColor && Color == FEffectiveColor && !IsLoading())
        return;
    SetColorProperty(FColor, Color);
    FEffectiveColor = FColor;
    if (FParentChart)
        FParentChart->BroadcastSeriesEvent(this, seChangeColor);
}

void TChartSeries::SetColorEachPoint(bool Value)
{
    SetBooleanProperty(FColorEachPoint, Value);
}

void TChartSeries::SetColorSource(const QString& Value)
{
    if (FColorSource != Value) {
        FColorSource = Value;
        CheckDataSource();
    }
}

void TChartSeries::SetXLabelsSource(const QString& Value)
{
    if (FXLabelsSource != Value) {
        FXLabelsSource = Value;
        CheckDataSource();
    }
}

void TChartSeries::SetDepth(int Value)
{
    SetIntegerProperty(FDepth, Value);
}

void TChartSeries::SetPercentFormat(const QString& Value)
{
    SetStringProperty(FPercentFormat, Value);
}

void TChartSeries::SetValueFormat(const QString& Value)
{
    SetStringProperty(FValueFormat, Value);
}

bool TChartSeries::IsPercentFormatStored() const
{
    return FPercentFormat != PlotMsg_DefaultPercentFormat;
}

bool TChartSeries::IsValueFormatStored() const
{
    return FValueFormat != PlotMsg_DefaultValueFormat;
}

TSeriesMarks* TChartSeries::Marks() const
{
    if (!FMarks) {
        FMarks = std::make_unique<TSeriesMarks>(const_cast<TChartSeries*>(this));
        if (FParentChart)
            FMarks->SetParentChart(FParentChart);
    }
    return FMarks.get();
}

void TChartSeries::SetMarks(const TSeriesMarks* Value)
{
    Marks()->Assign(Value);
}

void TChartSeries::SetZOrderSetting(int Value)
{
    SetIntegerProperty(FZOrderSetting, Value);
}

// --- Chart and axes ---------------------------------------------------------------------------

void TChartSeries::SetParentChart(TCustomAxisPanel* Value)
{
    if (FParentChart == Value)
        return;
    if (FParentChart)
        FParentChart->InternalRemoveSeries(this);
    FParentChart = Value;
    if (FMarks)
        FMarks->SetParentChart(Value);
    if (Value)
        Value->InternalAddSeries(this);
}

void TChartSeries::AttachedToChart()
{
    if (FColor == clPlotColor && FParentChart) {
        FEffectiveColor = FParentChart->GetFreeSeriesColor(true, this);
        FParentChart->BroadcastSeriesEvent(this, seChangeColor);
    }
    ResolveAxes();
    CheckDataSource();
}

void TChartSeries::DetachedFromChart()
{
    if (FParentChart && FCursor != crDefault && FParentChart->Cursor() == FCursor)
        FParentChart->ShowCursor(FParentChart->SavedCursor());
    UnlinkFromSources();
    if (FMarks)
        FMarks->SetParentChart(nullptr);
    TCustomChartSeries::DetachedFromChart();
    FHorizAxisObject = nullptr;
    FVertAxisObject = nullptr;
}

void TChartSeries::SetHorizAxis(THorizAxis Value)
{
    FHorizAxis = Value;
    if (Value != aCustomHorizAxis && !IsLoading())
        FCustomHorizAxis = nullptr;
    ResolveAxes();
    Repaint();
}

void TChartSeries::SetVertAxis(TVertAxis Value)
{
    FVertAxis = Value;
    if (Value != aCustomVertAxis && !IsLoading())
        FCustomVertAxis = nullptr;
    ResolveAxes();
    Repaint();
}

void TChartSeries::SetCustomHorizAxis(TChartAxis* Value)
{
    FCustomHorizAxis = Value;
    FHorizAxis = Value ? aCustomHorizAxis : aBottomAxis;
    ResolveAxes();
    Repaint();
}

void TChartSeries::SetCustomVertAxis(TChartAxis* Value)
{
    FCustomVertAxis = Value;
    FVertAxis = Value ? aCustomVertAxis : aLeftAxis;
    ResolveAxes();
    Repaint();
}

void TChartSeries::AxisRemoved(const TChartAxis* Axis)
{
    if (FCustomHorizAxis == Axis)
        SetCustomHorizAxis(nullptr);
    if (FCustomVertAxis == Axis)
        SetCustomVertAxis(nullptr);
    if (FHorizAxisObject == Axis || FVertAxisObject == Axis)
        ResolveAxes();
}

void TChartSeries::ResolveAxes()
{
    if (!FParentChart) {
        FHorizAxisObject = nullptr;
        FVertAxisObject = nullptr;
        return;
    }
    if (FHorizAxis == aTopAxis)
        FHorizAxisObject = FParentChart->TopAxis();
    else if (FHorizAxis == aCustomHorizAxis && FCustomHorizAxis)
        FHorizAxisObject = FCustomHorizAxis;
    else
        FHorizAxisObject = FParentChart->BottomAxis();
    if (FVertAxis == aRightAxis)
        FVertAxisObject = FParentChart->RightAxis();
    else if (FVertAxis == aCustomVertAxis && FCustomVertAxis)
        FVertAxisObject = FCustomVertAxis;
    else
        FVertAxisObject = FParentChart->LeftAxis();
}

bool TChartSeries::AssociatedToAxis(const TChartAxis* Axis) const
{
    if (!UseAxis() || !Axis)
        return false;
    if (Axis->Horizontal())
        return FHorizAxis == aBothHorizAxis || Axis == FHorizAxisObject;
    return FVertAxis == aBothVertAxis || Axis == FVertAxisObject;
}

TChartAxis* TChartSeries::MandatoryAxis() const
{
    return FMandatoryIsY ? FVertAxisObject : FHorizAxisObject;
}

TChartAxis* TChartSeries::PositionAxis() const
{
    return FMandatoryIsY ? FHorizAxisObject : FVertAxisObject;
}

int TChartSeries::CalcXPos(int Index) const
{
    return CalcXPosValue(FX->Value(Index));
}

int TChartSeries::CalcYPos(int Index) const
{
    return CalcYPosValue(FY->Value(Index));
}

int TChartSeries::CalcXPosValue(double Value) const
{
    return FHorizAxisObject ? FHorizAxisObject->CalcPosValue(Value) : 0;
}

int TChartSeries::CalcYPosValue(double Value) const
{
    return FVertAxisObject ? FVertAxisObject->CalcPosValue(Value) : 0;
}

int TChartSeries::CalcPosValue(double Value) const
{
    const TChartAxis* Axis = MandatoryAxis();
    return Axis ? Axis->CalcPosValue(Value) : 0;
}

double TChartSeries::XScreenToValue(int ScreenPos) const
{
    return FHorizAxisObject ? FHorizAxisObject->CalcPosPoint(ScreenPos) : 0.0;
}

double TChartSeries::YScreenToValue(int ScreenPos) const
{
    return FVertAxisObject ? FVertAxisObject->CalcPosPoint(ScreenPos) : 0.0;
}

int TChartSeries::Clicked(int, int)
{
    return -1;
}

// --- Data sources and dependents --------------------------------------------------------------

TComponent* TChartSeries::DataSource() const
{
    return FDataSources->Count() > 0 ? FDataSources->Items(0) : nullptr;
}

void TChartSeries::SetDataSource(TComponent* Value)
{
    if (Value) {
        InternalSetDataSource(Value);
        return;
    }
    if (FDataSources->Count() == 0)
        return;
    if (FParentChart)
        FParentChart->RemovedDataSource(this, DataSource());
    FDataSources->Clear();
    CheckDataSource();
}

bool TChartSeries::IsDataSourceStored() const
{
    return FDataSources->Count() == 1;
}

void TChartSeries::ValidateDataSource(TComponent* Source)
{
    auto* SourceSeries = qobject_cast<TChartSeries*>(Source);
    if (FParentChart) {
        if (!FParentChart->IsValidDataSource(this, Source))
            throw ChartException(
                Format(PlotMsg_InvalidDataSource, {Source->Name().isEmpty() ? Source->ClassName() : Source->Name()}));
    } else if (!SourceSeries || SourceSeries == this || !IsValidSourceOf(SourceSeries) ||
               !AcceptsSourceSeries(SourceSeries)) {
        throw ChartException(PlotMsg_CheckDataSource);
    }
    if (SourceSeries)
        CheckOtherSeries(SourceSeries);
}

void TChartSeries::InternalSetDataSource(TComponent* Source)
{
    ValidateDataSource(Source);
    if (!IsLoading())
        FDataSources->Clear();
    InternalAddDataSource(Source);
    CheckDataSource();
}

int TChartSeries::InternalAddDataSource(TComponent* Source)
{
    if (!Source)
        return -1;
    const int Index = FDataSources->InternalAdd(Source);
    FManualData = false;
    if (auto* Series = qobject_cast<TChartSeries*>(Source)) {
        if (Series->LinkedSeries().IndexOf(this) < 0)
            Series->LinkedSeries().Add(this);
        return Index;
    }
    FreeNotification(Source);
    auto* SeriesSource = qobject_cast<TPlotSeriesSource*>(Source);
    if (SeriesSource && SeriesSource->Series() != this) {
        const bool WasActive = SeriesSource->Active();
        SeriesSource->Close();
        if (TChartSeries* Previous = SeriesSource->Series()) {
            if (SeriesSource->Owner() == Previous)
                InsertComponent(SeriesSource);
            Previous->DataSources().InternalRemove(SeriesSource);
        }
        SeriesSource->BindSeries(this);
        if (WasActive)
            SeriesSource->Open();
    }
    return Index;
}

void TChartSeries::RemoveDataSource(TComponent* Source)
{
    if (IsDestroying())
        return;
    if (FParentChart)
        FParentChart->RemovedDataSource(this, Source);
    FDataSources->Clear();
    CheckDataSource();
}

bool TChartSeries::IsValidSourceOf(TChartSeries* Source)
{
    return Source != this;
}

bool TChartSeries::AcceptsSourceSeries(TChartSeries* Source)
{
    return !FSeriesFunction || FSeriesFunction->IsValidSource(Source);
}

void TChartSeries::CheckDataSource()
{
    if (!Updating() && FParentChart)
        FParentChart->CheckDataSource(this);
}

void TChartSeries::CheckOtherSeries(TChartSeries* Source)
{
    // Walk Source's sources (and theirs); meeting this series would close a
    // cycle. The visited set keeps an existing cycle from looping.
    std::set<const TChartSeries*> Visited;
    std::vector<TChartSeries*> Pending{Source};
    while (!Pending.empty()) {
        TChartSeries* S = Pending.back();
        Pending.pop_back();
        if (!Visited.insert(S).second)
            continue;
        for (TComponent* Component : S->DataSources()) {
            if (Component == this)
                throw ChartException(PlotMsg_CircularSeries);
            if (auto* Next = qobject_cast<TChartSeries*>(Component))
                Pending.push_back(Next);
        }
    }
}

void TChartSeries::NotifyValue(int Event, int ValueIndex)
{
    if (Updating() || FLinkedSeries->Count() == 0)
        return;
    if (FReorderCount > 0) {
        FReorderNoticeHeld = true;
        return;
    }
    // A dependent may change the list while it refills; walk a copy.
    const std::vector<TChartSeries*> Dependents(FLinkedSeries->begin(), FLinkedSeries->end());
    for (TChartSeries* S : Dependents) {
        // A dependent still being read decides about its points when its
        // own reading ends (Loaded).
        if (S->IsLoading())
            continue;
        // A function's output (or a series waiting already) waits for a
        // recalculation rather than computing at every change.
        const bool Waits = S->FSeriesFunction || S->FStale;
        switch (Event) {
        case veClear:
            if (S->FChangeActions & caClear)
                S->Clear();
            break;
        case veAdd:
            if (!(S->FChangeActions & caAdd))
                break;
            if (Waits)
                S->SourcePointAdded(this, ValueIndex);
            else
                S->AddSourceValue(this, ValueIndex);
            break;
        case veDelete:
            if (!(S->FChangeActions & caDelete))
                break;
            if (Waits)
                S->MarkStale(this);
            else
                S->DeleteSourceValue(this, ValueIndex);
            break;
        case veRefresh:
            // A refresh that changed nothing the output was made from
            // leaves it.
            if (Waits && S->CalculatedFrom(this))
                break;
            if (Waits)
                S->MarkStale(this);
            else
                S->AddValues(this);
            break;
        case veModify:
            if (!(S->FChangeActions & caModify))
                break;
            if (Waits)
                S->MarkStale(this);
            else
                S->AddValues(this);
            break;
        default:
            break;
        }
    }
}

void TChartSeries::SetStaleMark(bool Value)
{
    if (!Value)
        FStaleSource = nullptr;
    if (FStale == Value)
        return;
    FStale = Value;
    for (TChartValueList* List : *FValuesList)
        List->SetStale(Value);
    FLabels->SetStale(Value);
}

void TChartSeries::MarkStale(TChartSeries* Source)
{
    FCalculation.Known = false;
    FStaleSource = Source;
    if (FStale)
        return;
    SetStaleMark(true);
    // The series reading this one would read it stale: they wait too.
    for (TChartSeries* Dependent : *FLinkedSeries)
        if (!Dependent->IsLoading())
            Dependent->MarkStale(this);
    if (Active())
        Repaint();
}

void TChartSeries::SourcePointAdded(TChartSeries* Source, int ValueIndex)
{
    const bool Appended = !FStale && FSeriesFunction && FDataSources->Count() == 1 && DataSource() == Source &&
                          ValueIndex == Source->Count() - 1 && FSeriesFunction->AddAppendedPoint(Source);
    if (Appended)
        RememberCalculation(Source);
    else
        MarkStale(Source);
}

quint64 TChartSeries::DataChanges() const
{
    quint64 Result = FLabels->Changes();
    for (const TChartValueList* List : *FValuesList)
        Result += List->Changes();
    return Result;
}

void TChartSeries::RememberCalculation(TChartSeries* Source)
{
    FCalculation.Known = Source && !FStale && FSeriesFunction && FSeriesFunction->AddsAppendedPoints() &&
                         FDataSources->Count() == 1 && DataSource() == Source;
    if (!FCalculation.Known)
        return;
    FCalculation.SourceChanges = Source->DataChanges();
    FCalculation.OwnChanges = DataChanges();
    FCalculation.Period = FSeriesFunction->Period();
}

bool TChartSeries::CalculatedFrom(TChartSeries* Source) const
{
    return FCalculation.Known && !FStale && FSeriesFunction && FDataSources->Count() == 1 && DataSource() == Source &&
           FCalculation.SourceChanges == Source->DataChanges() && FCalculation.OwnChanges == DataChanges() &&
           FCalculation.Period == FSeriesFunction->Period();
}

void TChartSeries::RefreshSources(TChartSeries* Source)
{
    for (TComponent* Component : *FDataSources)
        if (auto* S = qobject_cast<TChartSeries*>(Component))
            S->CheckRefresh();
    if (Source && Source != this)
        Source->CheckRefresh();
}

void TChartSeries::CheckRefresh()
{
    if (!FStale)
        return;
    if (IsDestroying() || IsLoading()) {
        SetStaleMark(false);
        return;
    }
    RefreshSources(nullptr);
    // The source that changed last, while it still feeds the series.
    TChartSeries* Source = FDataSources->IndexOf(FStaleSource) >= 0
                               ? FStaleSource
                               : qobject_cast<TChartSeries*>(DataSource());
    AddValues(Source);
}

void TChartSeries::NotifyValueAdded(int ValueIndex)
{
    if (OnAfterAdd)
        OnAfterAdd(this, ValueIndex);
    NotifyValue(veAdd, ValueIndex);
    if (Active())
        Repaint();
}

void TChartSeries::DeleteSourceValue(TChartSeries* Source, int Index)
{
    // A range deletion in the source (-1) refills from it instead.
    if (Index < 0 || Index >= Count()) {
        AddValues(Source);
        return;
    }
    Delete(Index);
}

void TChartSeries::SetFunction(TPlotFunction* F)
{
    if (FSeriesFunction == F)
        return;
    if (TPlotFunction* Old = FSeriesFunction) {
        FSeriesFunction = nullptr;
        RemoveFreeNotification(Old);
        delete Old;
    }
    FSeriesFunction = F;
    if (F) {
        F->SetParentSeries(this);
        FreeNotification(F);
    }
    FManualData = false;
    CheckDataSource();
}

void TChartSeries::HandFunctionTo(TChartSeries& Series)
{
    TPlotFunction* F = FSeriesFunction;
    if (!F || &Series == this || Series.FSeriesFunction)
        return;
    FSeriesFunction = nullptr;
    RemoveFreeNotification(F);
    // Stored first: the function's SetParentSeries then finds itself there.
    Series.FSeriesFunction = F;
    F->SetParentSeries(&Series);
    Series.FreeNotification(F);
}

void TChartSeries::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    if (FSeriesFunction)
        Proc(FSeriesFunction);
    TCustomChartSeries::GetChildren(Proc, Root);
}

bool TChartSeries::CanTakeFunction(const TPlotFunction*) const
{
    return true;
}

void TChartSeries::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomChartSeries::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSeriesFunction)
        FSeriesFunction = nullptr;
    if (FDataSources && FDataSources->IndexOf(AComponent) >= 0) {
        // The component is half destroyed: compare, never cast or call it.
        const bool WasDataSource = AComponent == DataSource();
        FDataSources->InternalRemove(AComponent);
        if (WasDataSource && !IsDestroying()) {
            FDataSources->Clear();
            CheckDataSource();
        }
    }
}

void TChartSeries::DefineProperties(TFiler& Filer)
{
    TCustomChartSeries::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("DataSources"), [this](const QVariant& V) { SetPendingDataSourceNames(V.toStringList()); },
        [this] { return QVariant(DataSourceNames()); }, FDataSources->Count() > 1);
    Filer.DefineProperty(
        QStringLiteral("CustomHorizAxis"), [this](const QVariant& V) { FPendingHorizAxis = ReadCustomAxisIndex(V); },
        [this] { return QVariant(CustomHorizAxisIndex()); }, FCustomHorizAxis != nullptr);
    Filer.DefineProperty(
        QStringLiteral("CustomVertAxis"), [this](const QVariant& V) { FPendingVertAxis = ReadCustomAxisIndex(V); },
        [this] { return QVariant(CustomVertAxisIndex()); }, FCustomVertAxis != nullptr);
    Filer.DefineBinaryProperty(
        QStringLiteral("Data"),
        [this](QIODevice& Stream) {
            ReadData(Stream);
            FReadWithPoints = true;
        },
        [this](QIODevice& Stream) { WriteData(Stream); }, ShouldWriteData() && KeepsPointsInDataBlock());
}

namespace {

// Takes the points of a series that was read without them from its sources
// or function. A calculation that fails on what the series holds leaves it
// empty, as it was read, and the rest of the stream is still read.
void RefillReadSeries(TChartSeries& Series)
{
    try {
        Series.CheckDataSource();
    } catch (const Exception&) {
        Series.Clear();
    }
}

} // namespace

bool TChartSeries::AcceptsReadSource(TComponent& Source)
{
    try {
        ValidateDataSource(&Source);
        return true;
    } catch (const ChartException&) {
        return false;
    }
}

void TChartSeries::Loaded()
{
    TCustomChartSeries::Loaded();
    if (FPendingHorizAxis >= 0 || FPendingVertAxis >= 0) {
        SetCustomAxesByIndex(FPendingHorizAxis, FPendingVertAxis);
        FPendingHorizAxis = -1;
        FPendingVertAxis = -1;
    }
    if (FHasPendingDataSources) {
        FDataSources->InternalClear();
        if (TComponent* OwnerComponent = Owner())
            for (const QString& Name : FPendingDataSources)
                if (TComponent* Source = OwnerComponent->FindComponent(Name); Source && AcceptsReadSource(*Source))
                    InternalAddDataSource(Source);
        FPendingDataSources.clear();
        FHasPendingDataSources = false;
    }
    // Points read with the series are what the saved chart showed: they are
    // kept, not computed again from its sources and function (which could
    // need a paint, or fail on values they cannot handle, while the chart is
    // still being read). An outside source is read afresh.
    const bool KeepReadPoints = FReadWithPoints && !qobject_cast<TPlotSeriesSource*>(DataSource());
    FReadWithPoints = false;
    if (!KeepReadPoints)
        RefillReadSeries(*this);
}

void TChartSeries::SetPendingDataSourceNames(const QStringList& Names)
{
    FPendingDataSources = Names;
    FHasPendingDataSources = true;
}

bool TChartSeries::TakePendingDataSourceNames(QStringList& Names)
{
    if (!FHasPendingDataSources)
        return false;
    Names = std::exchange(FPendingDataSources, {});
    FHasPendingDataSources = false;
    return true;
}

QStringList TChartSeries::DataSourceNames() const
{
    QStringList Names;
    for (TComponent* Source : *FDataSources)
        Names << Source->Name();
    return Names;
}

int TChartSeries::CustomHorizAxisIndex() const
{
    return FParentChart && FCustomHorizAxis ? FParentChart->CustomAxes().IndexOf(FCustomHorizAxis) : -1;
}

int TChartSeries::CustomVertAxisIndex() const
{
    return FParentChart && FCustomVertAxis ? FParentChart->CustomAxes().IndexOf(FCustomVertAxis) : -1;
}

int TChartSeries::ReadCustomAxisIndex(const QVariant& Value) const
{
    const int Index = Value.toInt();
    if (FParentChart)
        FParentChart->CustomAxes().Items(Index); // raises outside the custom axes
    return Index;
}

void TChartSeries::SetCustomAxesByIndex(int HorizIndex, int VertIndex)
{
    if (!FParentChart)
        return;
    TChartCustomAxes& Axes = FParentChart->CustomAxes();
    if (HorizIndex >= 0 && HorizIndex < Axes.Count())
        SetCustomHorizAxis(Axes.Items(HorizIndex));
    if (VertIndex >= 0 && VertIndex < Axes.Count())
        SetCustomVertAxis(Axes.Items(VertIndex));
}

// --- Visible range, paging, Z order -------------------------------------------------------------

void TChartSeries::SetVisibleRange(int First, int Last)
{
    FFirstVisibleIndex = First;
    FLastVisibleIndex = Last;
}

void TChartSeries::CalcFirstLastVisibleIndex()
{
    if (FKeepVisibleRange)
        return;
    FFirstVisibleIndex = -1;
    FLastVisibleIndex = -1;
    const int N = Count();
    if (N == 0)
        return;
    const TChartAxis* Axis = PositionAxis();
    if (!FVisibleRangeSearch || FNotMandatory->Order() == loNone || !Axis || !FParentChart) {
        FFirstVisibleIndex = 0;
        FLastVisibleIndex = N - 1;
        return;
    }
    const TRect R = FParentChart->ChartRectangle();
    int NearPixel;
    int FarPixel;
    if (FMandatoryIsY) {
        NearPixel = Axis->Inverted() ? R.Right : R.Left;
        FarPixel = Axis->Inverted() ? R.Left : R.Right;
    } else {
        NearPixel = Axis->Inverted() ? R.Top : R.Bottom;
        FarPixel = Axis->Inverted() ? R.Bottom : R.Top;
    }
    // The edge values come back from pixels through floating point: widen
    // them by a hair so that a point lying exactly on an edge stays in.
    const double Slack = std::fabs(Axis->CalcPosPoint(FarPixel) - Axis->CalcPosPoint(NearPixel)) * 1e-9;
    const double NearValue = Axis->CalcPosPoint(NearPixel) - Slack;
    const double FarValue = Axis->CalcPosPoint(FarPixel) + Slack;
    const double* Positions = FNotMandatory->Data();
    const double* End = Positions + N;
    const double* First = std::lower_bound(Positions, End, NearValue);
    if (First == End)
        return;
    FFirstVisibleIndex = static_cast<int>(First - Positions);
    if (Positions[N - 1] > FarValue) {
        const double* Last = std::lower_bound(First, End, FarValue);
        int LastIndex = Last == End ? N - 1 : static_cast<int>(Last - Positions);
        if (!FKeepPointBeyondEdge && Positions[LastIndex] > FarValue && LastIndex > 0)
            --LastIndex;
        FLastVisibleIndex = LastIndex;
    } else {
        FLastVisibleIndex = N - 1;
    }
}

void TChartSeries::CalcFirstLastPage(int& First, int& Last) const
{
    const int N = Count();
    if (N == 0) {
        First = -1;
        Last = -1;
        return;
    }
    const int PerPage = FParentChart ? FParentChart->MaxPointsPerPage() : 0;
    if (PerPage < 1) {
        First = 0;
        Last = N - 1;
        return;
    }
    const int Page = FParentChart->Page();
    const long long Start = static_cast<long long>(Page - 1) * PerPage;
    First = Start >= N ? std::max(0, N / PerPage - 1) * PerPage : static_cast<int>(Start);
    Last = First + PerPage - 1;
    if (Last >= N)
        Last = N % PerPage + First - 1;
}

int TChartSeries::FirstDisplayedIndex() const
{
    return DrawValuesForward() ? FFirstVisibleIndex : FLastVisibleIndex;
}

void TChartSeries::CalcZOrder()
{
    if (FZOrderSetting != -1) {
        if (FParentChart && FParentChart->MaxZOrder() < FZOrderSetting)
            FParentChart->SetMaxZOrder(FZOrderSetting);
        return;
    }
    if (!FParentChart || !FParentChart->View3D()) {
        FComputedZOrder = 0;
        return;
    }
    FParentChart->SetMaxZOrder(FParentChart->MaxZOrder() + 1);
    FComputedZOrder = FParentChart->MaxZOrder();
}

void TChartSeries::CalcDepthPositions()
{
    const int Step = FParentChart ? FParentChart->SeriesWidth3D() : 0;
    const int Start = Step * FComputedZOrder;
    const int End = Start + (FDepth == -1 ? Step : FDepth);
    SetDepthPositions(Start, (Start + End) / 2, End);
}

void TChartSeries::SetDepthPositions(int Start, int Middle, int End)
{
    FStartZ = Start;
    FMiddleZ = Middle;
    FEndZ = End;
    Marks()->SetZPosition(Middle);
}

bool TChartSeries::HasSameZOrderSeries() const
{
    if (!FParentChart || !FParentChart->InterleaveSameZOrder())
        return false;
    for (TChartSeries* S : FParentChart->SeriesList())
        if (S != this && S->Active() && !S->ExcludeFromInterleave() && S->ZOrder() == ZOrder())
            return true;
    return false;
}

bool TChartSeries::FirstInZOrder() const
{
    if (!Active())
        return false;
    if (!FParentChart)
        return true;
    for (TChartSeries* S : FParentChart->SeriesList()) {
        if (S == this)
            break;
        if (S->Active() && S->ZOrder() == ZOrder())
            return false;
    }
    return true;
}

// --- Drawing protocol ---------------------------------------------------------------------------

void TChartSeries::DoBeforeDrawValues()
{
    if (BeforeDrawValues)
        BeforeDrawValues(this);
}

void TChartSeries::DoAfterDrawValues()
{
    if (AfterDrawValues)
        AfterDrawValues(this);
}

void TChartSeries::DrawAllValues()
{
    if (FFirstVisibleIndex < 0)
        return;
    if (DrawValuesForward()) {
        for (int I = FFirstVisibleIndex; I <= FLastVisibleIndex; ++I)
            DrawValue(I);
    } else {
        for (int I = FLastVisibleIndex; I >= FFirstVisibleIndex; --I)
            DrawValue(I);
    }
}

void TChartSeries::DrawValue(int) {}

bool TChartSeries::DrawValuesForward() const
{
    if (FMandatoryIsY) {
        bool Result = !(FHorizAxisObject && FHorizAxisObject->Inverted());
        if (FParentChart && FParentChart->DrawBackwards())
            Result = !Result;
        return Result;
    }
    return !(FVertAxisObject && FVertAxisObject->Inverted());
}

bool TChartSeries::DrawSeriesForward() const
{
    return !(FParentChart && FParentChart->DrawBackwards());
}

void TChartSeries::DrawMarks()
{
    if (!FParentChart || FFirstVisibleIndex < 0)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const TView3DOptions& View = *FParentChart->View3DOptions();
    const bool ZoomFont = FParentChart->View3D() && !Canvas.Supports3DText() && View.ZoomText() && View.Zoom() != 100;
    const int Every = std::max(1, Marks()->DrawEvery());
    for (int I = FFirstVisibleIndex; I <= FLastVisibleIndex; ++I) {
        if (I % Every != 0)
            continue;
        int Index = I;
        if (OnGetMarkIndex)
            OnGetMarkIndex(this, Index);
        const QString Text = GetMarkText(Index);
        if (Text.isEmpty() || !Marks()->ItemVisible(Index))
            continue;
        const double OldZoom = Canvas.FontZoom();
        if (ZoomFont)
            Canvas.SetFontZoom(OldZoom * View.Zoom() * 0.01);
        Canvas.AssignFont(Marks()->ItemFont(Index));
        Canvas.SetFontZoom(OldZoom);
        int Width;
        int Height;
        if (Marks()->TextFormat() == ttfHtml) {
            const TSize Extent = HtmlTextExtent(Canvas, Text);
            Width = Extent.cx;
            Height = Extent.cy;
        } else {
            int Lines = 0;
            Width = FParentChart->MultiLineTextWidth(Text, Lines);
            Height = Canvas.FontHeight() * Lines;
        }
        Width += Canvas.TextWidth(QStringLiteral("W"));
        if (Marks()->SymbolShown())
            Width += Canvas.FontHeight() - 4;
        const TChartPen& Frame = Marks()->ItemPen(Index);
        const int Grow = Frame.Visible() ? 2 * Frame.Width() : 1;
        Width += Grow;
        Height += Grow;
        TSeriesMarkPosition Position;
        Position.ArrowStart = TPoint{CalcXPos(Index), CalcYPos(Index)};
        Position.ArrowEnd = Position.ArrowStart;
        Position.TopLeft = TPoint{Position.ArrowStart.X - Width / 2, Position.ArrowStart.Y - Height + 1};
        Position.MarkWidth = Width;
        Position.MarkHeight = Height;
        DrawMark(Index, Text, Position);
    }
}

void TChartSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    // The marks keep the position (or restore one the user moved) and draw.
    Marks()->DrawOneMark(ValueIndex, GetValueColor(ValueIndex), St, APosition);
}

// --- Legend and mark texts ----------------------------------------------------------------------

QString TChartSeries::FormattedValue(double Value) const
{
    if (FMandatory->DateTime())
        return DateTimeOrNumber(QStringLiteral("c"), Value);
    return FormatFloat(FValueFormat, Value);
}

QString TChartSeries::FormattedXValue(int ValueIndex) const
{
    const double X = FX->Value(ValueIndex);
    return FHorizAxisObject ? FHorizAxisObject->LabelValue(X) : FormatFloat(FValueFormat, X);
}

QString TChartSeries::PercentText(double Value, bool WithTotal, bool MultiLine)
{
    const double Total = FMandatory->TotalABS();
    const QString Percent = FormatFloat(FPercentFormat, Total == 0 ? 100.0 : 100.0 * Value / Total);
    if (!WithTotal)
        return Percent;
    return Format(MultiLine ? PlotMsg_ValueOfTotalTwoLines : PlotMsg_ValueOfTotal,
                  {Percent, FormatFloat(FValueFormat, Total)});
}

void TChartSeries::GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text)
{
    const int Index = LegendToValueIndex(LegendIndex);
    Text = FLabels->GetLabel(Index);
    if (TextStyle == ltsPlain)
        return;
    const double V = GetMarkValue(Index);
    const auto Join = [&Text](const QString& Left, const QString& Right) {
        return Text.isEmpty() ? Left + Right : Left + PlotColumnSeparator + Right;
    };
    switch (TextStyle) {
    case ltsLeftValue:
        Text = Join(FormattedValue(V), Text);
        break;
    case ltsRightValue:
        Text = Join(Text, FormattedValue(V));
        break;
    case ltsLeftPercent:
        Text = Join(PercentText(V, false, false), Text);
        break;
    case ltsRightPercent:
        Text = Join(Text, PercentText(V, false, false));
        break;
    case ltsXValue:
        Text = FormattedXValue(Index);
        break;
    case ltsValue:
        Text = FormattedValue(V);
        break;
    case ltsPercent:
        Text = PercentText(V, false, false);
        break;
    case ltsXAndValue:
        Text = FormattedXValue(Index) + PlotColumnSeparator + FormattedValue(V);
        break;
    case ltsXAndPercent:
        Text = FormattedXValue(Index) + PlotColumnSeparator + PercentText(V, false, false);
        break;
    default:
        break;
    }
}

QString TChartSeries::LegendString(int LegendIndex, TLegendTextStyle TextStyle)
{
    QString Text;
    GetLegendText(LegendIndex, TextStyle, Text);
    return Text;
}

void TChartSeries::DrawLegend(int ValueIndex, const TRect& Rect)
{
    if (ValueIndex == -1 && FColorEachPoint)
        return;
    const TColor Color = ValueIndex == -1 ? GetSeriesColor() : LegendItemColor(ValueIndex);
    if (Color == clNone || !FParentChart)
        return;
    TCustomAxisPanel& Chart = *FParentChart;
    const bool OldRepaint = Chart.RepaintEnabled();
    Chart.SetRepaintEnabled(false);
    TPlotCanvas3D& Canvas = Chart.Canvas();
    Canvas.Brush()->SetColor(Color);
    Canvas.AssignVisiblePen(*Pen());
    TColor BackColor = clPlotColor;
    const TBrush::TBrushStyle OldStyle = Brush()->Style();
    TBrush::TBrushStyle Style = OldStyle;
    PrepareLegendCanvas(ValueIndex, BackColor, Style);
    if (const TChartPen* LegendPen = Chart.LegendPen())
        Canvas.AssignVisiblePen(*LegendPen);
    if (BackColor == clPlotColor) {
        BackColor = Chart.LegendColor();
        if (BackColor == clPlotColor)
            BackColor = Chart.Color();
    }
    const bool ChangeStyle = Style != OldStyle && !Brush()->HasImage();
    if (ChangeStyle)
        Brush()->SetStyle(Style);
    Chart.SetBrushCanvas(Color, *Brush(), BackColor);
    try {
        DrawLegendShape(ValueIndex, Rect);
    } catch (...) {
        if (ChangeStyle)
            Brush()->SetStyle(OldStyle);
        Chart.SetRepaintEnabled(OldRepaint);
        throw;
    }
    if (ChangeStyle)
        Brush()->SetStyle(OldStyle);
    Chart.SetRepaintEnabled(OldRepaint);
}

void TChartSeries::DrawLegendShape(int, const TRect& Rect)
{
    if (FParentChart)
        FParentChart->DrawLegendShapeRect(Rect);
}

void TChartSeries::PrepareLegendCanvas(int, TColor&, TBrush::TBrushStyle&) {}

QString TChartSeries::GetMarkText(int ValueIndex)
{
    if (const TMarksItem* Item = Marks()->Items().Find(ValueIndex); Item && Item->HasText()) {
        QString Custom = const_cast<TMarksItem*>(Item)->Text().Text();
        if (Custom.endsWith(QLatin1String("\r\n")))
            Custom.chop(2);
        return Custom;
    }
    const bool Multi = Marks()->MultiLine();
    const QString Separator = Multi ? QString(PlotLineSeparator) : QStringLiteral(" ");
    const double V = GetMarkValue(ValueIndex);
    const auto ValueText = [&] { return FormatFloat(FValueFormat, V); };
    const auto Percent = [&](bool WithTotal) { return PercentText(std::fabs(V), WithTotal, Multi); };
    const auto XText = [&] {
        const double Position = FNotMandatory->Value(ValueIndex);
        return FHorizAxisObject ? FHorizAxisObject->LabelValue(Position) : FormatFloat(FValueFormat, Position);
    };
    const QString Label = FLabels->GetLabel(ValueIndex);
    QString Text;
    switch (Marks()->Style()) {
    case TSeriesMarks::smsValue:
        Text = ValueText();
        break;
    case TSeriesMarks::smsPercent:
        Text = Percent(false);
        break;
    case TSeriesMarks::smsLabel:
        Text = Label;
        break;
    case TSeriesMarks::smsLabelPercent:
        Text = Label + Separator + Percent(false);
        break;
    case TSeriesMarks::smsLabelValue:
        Text = Label + Separator + ValueText();
        break;
    case TSeriesMarks::smsLegend:
        Text = FParentChart ? FParentChart->GetValueLegendText(this, ValueToLegendIndex(ValueIndex)) : QString();
        if (!Multi)
            Text.replace(PlotColumnSeparator, QLatin1Char(' '));
        break;
    case TSeriesMarks::smsPercentTotal:
        Text = Percent(true);
        break;
    case TSeriesMarks::smsLabelPercentTotal:
        Text = Label + Separator + Percent(true);
        break;
    case TSeriesMarks::smsXValue:
        Text = XText();
        break;
    case TSeriesMarks::smsXY:
        Text = XText() + Separator + ValueText();
        break;
    }
    if (Text == QLatin1String(" "))
        Text.clear();
    if (OnGetMarkText)
        OnGetMarkText(this, ValueIndex, Text);
    return Text;
}

// --- Sub-gallery ------------------------------------------------------------------------------

void TChartSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    AddSubChart(PlotMsg_Normal);
}

void TChartSeries::SetSubGallery(int) {}

} // namespace lp
