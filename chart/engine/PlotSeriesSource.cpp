#include "chart/engine/PlotSeriesSource.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotSeriesLists.h"
#include "platform/core/StringList.h"
#include "platform/ui/Dialogs.h"

namespace lp {

// --- TPlotSeriesSource -------------------------------------------------------------------------

TPlotSeriesSource::TPlotSeriesSource(TComponent* AOwner) : TComponent(AOwner) {}

TPlotSeriesSource::~TPlotSeriesSource()
{
    Destroying();
    Close();
    // The free-notification link stays: the component destructor tells the
    // series, which then drops this source from its list.
}

void TPlotSeriesSource::SetActive(bool Value)
{
    if (FActive == Value)
        return;
    if (FSeries) {
        if (Value) {
            if (!IsLoading())
                Load();
        } else if (!IsDestroying() && !FSeries->IsDestroying() && !FKeepValues) {
            FSeries->Clear();
        }
    }
    FActive = Value;
}

void TPlotSeriesSource::SetSeries(TChartSeries* Value)
{
    if (FSeries == Value)
        return;
    Close();
    TChartSeries* Old = FSeries;
    if (Old)
        RemoveFreeNotification(Old);
    FSeries = Value;
    if (FSeries) {
        FreeNotification(FSeries);
        if (FSeries->DataSource() != this)
            FSeries->SetDataSource(this);
    } else if (Old && Old->DataSource() == this) {
        Old->SetDataSource(nullptr);
    }
}

void TPlotSeriesSource::BindSeries(TChartSeries* Value)
{
    SetObserved(FSeries, Value);
}

bool TPlotSeriesSource::Available(TCustomAxisPanel*) const
{
    return true;
}

bool TPlotSeriesSource::HasSeries(const TChartSeries* Series) const
{
    const TComponent* Source = Series ? Series->DataSource() : nullptr;
    return Source && Source->ClassName() == ClassName();
}

void TPlotSeriesSource::Close()
{
    if (!IsLoading() && !IsDestroying())
        SetActive(false);
    else if (IsDestroying())
        FActive = false;
}

void TPlotSeriesSource::Refresh()
{
    if (FActive && !IsLoading())
        Load();
}

void TPlotSeriesSource::Loaded()
{
    TComponent::Loaded();
    Refresh();
}

void TPlotSeriesSource::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSeries) {
        // The series is going: forget it without touching it.
        FSeries = nullptr;
        FActive = false;
    }
}

std::vector<const QMetaObject*>& SeriesSourceClasses()
{
    static std::vector<const QMetaObject*> Classes;
    return Classes;
}

// --- TDataSourcesList ----------------------------------------------------------------------------

TComponent* TDataSourcesList::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

int TDataSourcesList::IndexOf(const TComponent* Source) const
{
    for (int I = 0; I < Count(); ++I)
        if (FItems[static_cast<size_t>(I)] == Source)
            return I;
    return -1;
}

int TDataSourcesList::Add(TComponent* Source)
{
    if (!Source)
        return -1;
    FOwner->ValidateDataSource(Source);
    const int Index = FOwner->InternalAddDataSource(Source);
    FOwner->CheckDataSource();
    return Index;
}

int TDataSourcesList::InternalAdd(TComponent* Source)
{
    FItems.push_back(Source);
    return Count() - 1;
}

void TDataSourcesList::Delete(int Index)
{
    TComponent* Source = Items(Index);
    FItems.erase(FItems.begin() + Index);
    FOwner->RemoveDataSource(Source);
}

void TDataSourcesList::InternalRemove(const TComponent* Source)
{
    const int Index = IndexOf(Source);
    if (Index >= 0)
        FItems.erase(FItems.begin() + Index);
}

int TDataSourcesList::Remove(TComponent* Source)
{
    const int Index = IndexOf(Source);
    if (Index >= 0)
        Delete(Index);
    return Index;
}

void TDataSourcesList::Clear()
{
    for (TComponent* Source : FItems)
        if (auto* Series = qobject_cast<TChartSeries*>(Source))
            Series->LinkedSeries().Remove(FOwner);
    FItems.clear();
    if (!FOwner->ManualData() && !FOwner->IsDestroying())
        FOwner->Clear();
}

// --- TLabelsList ---------------------------------------------------------------------------------

void TLabelsList::RefreshOwner() const
{
    if (FOwner)
        FOwner->CheckRefresh();
}

QString TLabelsList::GetLabel(int Index) const
{
    if (FStale)
        RefreshOwner();
    if (Index < 0 || Index >= Count())
        return {};
    return FItems[static_cast<size_t>(Index)];
}

void TLabelsList::SetLabel(int Index, const QString& Text)
{
    if (FStale)
        RefreshOwner();
    ++FChanges;
    if (Index < 0)
        RaiseIndexError(Index, Count());
    if (Index >= Count()) {
        if (Text.isEmpty())
            return;
        FItems.resize(static_cast<size_t>(Index) + 1);
    }
    FItems[static_cast<size_t>(Index)] = Text;
    if (FOwner)
        FOwner->Repaint();
}

void TLabelsList::InsertLabel(int Index, const QString& Text)
{
    if (FStale)
        RefreshOwner();
    ++FChanges;
    if (Index < 0)
        RaiseIndexError(Index, Count());
    if (Text.isEmpty() && FItems.empty())
        return;
    if (Index > Count())
        FItems.resize(static_cast<size_t>(Index));
    FItems.insert(FItems.begin() + Index, Text);
}

void TLabelsList::DeleteLabel(int Index)
{
    if (FStale)
        RefreshOwner();
    ++FChanges;
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

void TLabelsList::Exchange(int A, int B)
{
    if (FStale)
        RefreshOwner();
    ++FChanges;
    const int Needed = std::max(A, B) + 1;
    if (A < 0 || B < 0)
        RaiseIndexError(std::min(A, B), Count());
    if (FItems.empty())
        return;
    if (Count() < Needed)
        FItems.resize(static_cast<size_t>(Needed));
    std::swap(FItems[static_cast<size_t>(A)], FItems[static_cast<size_t>(B)]);
}

void TLabelsList::Assign(const TLabelsList& Source)
{
    Clear();
    for (int I = 0; I < Source.Count(); ++I)
        InsertLabel(I, Source.GetLabel(I));
}

// --- Editor services -----------------------------------------------------------------------------

QString SeriesTitleOrName(const TChartSeries* Series)
{
    if (!Series)
        return {};
    QString Result = Series->Title();
    Result.replace(PlotColumnSeparator, QLatin1Char(' '));
    if (Result.isEmpty())
        Result = Series->Name();
    if (Result.isEmpty() && Series->ParentChart())
        Result = PlotMsg_Series +
                 QString::number(Series->ParentChart()->SeriesList().IndexOf(Series) + 1);
    return Result;
}

void FillSeriesItems(TStringList& Strings, const TCustomSeriesList& SeriesList, bool UseTitles)
{
    Strings.BeginUpdate();
    try {
        for (TChartSeries* Series : SeriesList) {
            const bool Shown = Series->ShowInEditor() || (Series->IsDesigning() && !Series->Internal());
            if (Shown)
                Strings.AddObject(UseTitles ? SeriesTitleOrName(Series) : Series->Name(), Series);
        }
    } catch (...) {
        Strings.EndUpdate();
        throw;
    }
    Strings.EndUpdate();
}

void ShowErrorMessageBox(const QString& Text)
{
    MessageService()(TMessageRequest{Text, QString(), TMsgDlgType::mtError, mbOK, std::nullopt});
}

} // namespace lp
