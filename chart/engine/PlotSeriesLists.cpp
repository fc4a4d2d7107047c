#include "chart/engine/PlotSeriesLists.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "platform/core/Filer.h"

#include <algorithm>

namespace lp {

// --- TCustomSeriesList ---------------------------------------------------------------------------

TChartSeries* TCustomSeriesList::Series(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

void TCustomSeriesList::SetSeries(int Index, TChartSeries* Value)
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    FItems[static_cast<size_t>(Index)] = Value;
}

int TCustomSeriesList::IndexOf(const TChartSeries* Value) const
{
    const auto It = std::find(FItems.begin(), FItems.end(), Value);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

int TCustomSeriesList::Add(TChartSeries* Value)
{
    FItems.push_back(Value);
    return Count() - 1;
}

void TCustomSeriesList::Insert(int Index, TChartSeries* Value)
{
    if (Index < 0 || Index > Count())
        RaiseIndexError(Index, Count() + 1);
    FItems.insert(FItems.begin() + Index, Value);
}

void TCustomSeriesList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    FItems.erase(FItems.begin() + Index);
}

int TCustomSeriesList::Remove(const TChartSeries* Value)
{
    const int Index = IndexOf(Value);
    if (Index >= 0)
        Delete(Index);
    return Index;
}

void TCustomSeriesList::Exchange(int A, int B)
{
    if (A < 0 || A >= Count())
        RaiseIndexError(A, Count());
    if (B < 0 || B >= Count())
        RaiseIndexError(B, Count());
    std::swap(FItems[static_cast<size_t>(A)], FItems[static_cast<size_t>(B)]);
}

void TCustomSeriesList::ClearValues()
{
    for (TChartSeries* Series : FItems)
        Series->Clear();
}

bool TCustomSeriesList::AllActive() const
{
    return std::all_of(FItems.begin(), FItems.end(), [](const TChartSeries* S) { return S->Active(); });
}

void TCustomSeriesList::SetAllActive(bool Value)
{
    for (TChartSeries* Series : FItems)
        Series->SetActive(Value);
}

// --- TSeriesGroup --------------------------------------------------------------------------------

TSeriesGroup::TSeriesGroup(TCollection* Collection) : TCollectionItem(Collection)
{
    QObject* Chart = nullptr;
    if (auto* Groups = qobject_cast<TOwnedCollection*>(Collection))
        Chart = Groups->Owner();
    FSeries = std::make_unique<TCustomSeriesList>(Chart);
}

TSeriesGroup::~TSeriesGroup() = default;

void TSeriesGroup::Assign(const TPersistent* Source)
{
    const auto* Other = qobject_cast<const TSeriesGroup*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    FName = Other->FName;
    FSeries->Assign(*Other->FSeries);
}

void TSeriesGroup::SetSeries(const TCustomSeriesList& Value)
{
    FSeries->Assign(Value);
}

void TSeriesGroup::DefineProperties(TFiler& Filer)
{
    TCollectionItem::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("Series"), [this](const QVariant& Value) { FSeriesNames = Value.toStringList(); },
        [this] {
            QStringList Names;
            for (const TChartSeries* Series : *FSeries)
                Names << Series->Name();
            return QVariant(Names);
        },
        IsSeriesStored());
}

void TSeriesGroup::ResolveSeriesNames(const TCustomSeriesList& ChartSeries)
{
    if (FSeriesNames.isEmpty())
        return;
    FSeries->Clear();
    for (const QString& Name : FSeriesNames) {
        const auto Found = std::find_if(ChartSeries.begin(), ChartSeries.end(), [&](const TChartSeries* Series) {
            return Series->Name().compare(Name, Qt::CaseInsensitive) == 0;
        });
        if (Found != ChartSeries.end() && FSeries->IndexOf(*Found) < 0)
            FSeries->Add(*Found);
    }
    FSeriesNames.clear();
}

TSeriesGroupActive TSeriesGroup::Active() const
{
    const int Total = FSeries->Count();
    const auto Actives = std::count_if(FSeries->begin(), FSeries->end(), [](const TChartSeries* S) { return S->Active(); });
    if (Actives == Total)
        return gaYes;
    return Actives == 0 ? gaNo : gaSome;
}

void TSeriesGroup::SetActive(TSeriesGroupActive Value)
{
    if (Value == gaSome || Value == Active())
        return;
    FSeries->SetAllActive(Value == gaYes);
}

// --- TSeriesGroups -------------------------------------------------------------------------------

TSeriesGroups::TSeriesGroups(TCustomAxisPanel* AOwner)
    : TOwnedCollection(AOwner, CollectionItemFactory<TSeriesGroup>())
{
}

TSeriesGroup* TSeriesGroups::Items(int Index) const
{
    return static_cast<TSeriesGroup*>(TOwnedCollection::Items(Index));
}

int TSeriesGroups::IndexOfSeries(const TChartSeries* Series) const
{
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->Series().IndexOf(Series) >= 0)
            return I;
    return -1;
}

void TSeriesGroups::ResolveSeriesNames(const TCustomSeriesList& ChartSeries)
{
    for (int I = 0; I < Count(); ++I)
        Items(I)->ResolveSeriesNames(ChartSeries);
}

// --- TChartSeriesList ----------------------------------------------------------------------------

TChartSeriesList::TChartSeriesList(TCustomAxisPanel* AOwner)
    : TCustomSeriesList(AOwner), FGroups(std::make_unique<TSeriesGroups>(AOwner))
{
}

TChartSeriesList::~TChartSeriesList() = default;

TSeriesGroup* TChartSeriesList::AddGroup(const QString& Name)
{
    auto* Group = static_cast<TSeriesGroup*>(FGroups->Add());
    Group->SetName(Name);
    return Group;
}

// --- TChartAxes ----------------------------------------------------------------------------------

TChartAxes::~TChartAxes()
{
    Clear();
}

TChartAxis* TChartAxes::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

int TChartAxes::IndexOf(const TChartAxis* Axis) const
{
    const auto It = std::find(FItems.begin(), FItems.end(), Axis);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TChartAxes::Remove(const TChartAxis* Axis)
{
    const auto It = std::find(FItems.begin(), FItems.end(), Axis);
    if (It != FItems.end())
        FItems.erase(It);
}

void TChartAxes::Clear()
{
    // Each axis removes itself from this list as it goes.
    while (!FItems.empty())
        delete FItems.back();
}

TChartAxis* TChartAxes::LeftAxis() const
{
    return FChart->LeftAxis();
}

TChartAxis* TChartAxes::TopAxis() const
{
    return FChart->TopAxis();
}

TChartAxis* TChartAxes::RightAxis() const
{
    return FChart->RightAxis();
}

TChartAxis* TChartAxes::BottomAxis() const
{
    return FChart->BottomAxis();
}

TChartAxis* TChartAxes::DepthAxis() const
{
    return FChart->DepthAxis();
}

TChartAxis* TChartAxes::DepthTopAxis() const
{
    return FChart->DepthTopAxis();
}

bool TChartAxes::Behind() const
{
    return FChart->AxisBehind();
}

void TChartAxes::SetBehind(bool Value)
{
    FChart->SetAxisBehind(Value);
}

bool TChartAxes::Visible() const
{
    return FChart->AxisVisible();
}

void TChartAxes::SetVisible(bool Value)
{
    FChart->SetAxisVisible(Value);
}

// --- TChartCustomAxes ----------------------------------------------------------------------------

TChartCustomAxes::TChartCustomAxes(TCustomAxisPanel* AChart)
    : TOwnedCollection(AChart, CollectionItemFactory<TChartAxis>()), FChart(AChart)
{
}

TChartAxis* TChartCustomAxes::Items(int Index) const
{
    return static_cast<TChartAxis*>(TOwnedCollection::Items(Index));
}

} // namespace lp
