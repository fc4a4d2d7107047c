#pragma once
// What feeds a series besides other series, and the per-point labels.
//
//   TPlotSeriesSource (TComponent)  bound to one series; loads its points
//                                   while Active
//   TDataSourcesList                the components feeding one series
//                                   (entry 0 is the series' DataSource)
//   TLabelsList                     one optional text per point index
//
// Also the small services the series editors use to list series and source
// types.

#include "platform/core/Component.h"

#include <QtCore/QString>

#include <vector>

namespace lp {

class TChartSeries;
class TCustomAxisPanel;
class TCustomSeriesList;
class TStringList;

// --- TPlotSeriesSource --------------------------------------------------------------------------

class TPlotSeriesSource : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_CLASSINFO("default:Active", "false")

public:
    explicit TPlotSeriesSource(TComponent* AOwner = nullptr);
    ~TPlotSeriesSource() override;

    bool Active() const { return FActive; }
    // Activating loads the series (unless loading); deactivating clears it
    // unless the source or the series is being destroyed or KeepValues is
    // set.
    virtual void SetActive(bool Value);
    bool KeepValues() const { return FKeepValues; }
    void SetKeepValues(bool Value) { FKeepValues = Value; }
    TChartSeries* Series() const { return FSeries; }
    // Closes, then binds to Value and becomes its DataSource (nullptr
    // clears the old series' DataSource).
    void SetSeries(TChartSeries* Value);

    // Binds to Value without touching its data sources (the series calls
    // this when it takes the source over).
    void BindSeries(TChartSeries* Value);

    // Whether the source type can feed a series of Chart (base: yes).
    virtual bool Available(TCustomAxisPanel* Chart) const;
    // The caption of the source type in the editor's list.
    virtual QString Description() const { return {}; }
    // The editor form class of the source type (none in the base).
    virtual QString EditorClassName() const { return {}; }
    // True when Series' DataSource is of this very class.
    virtual bool HasSeries(const TChartSeries* Series) const;

    void Open() { SetActive(true); }
    void Close();
    // Load when Active and not loading.
    void Refresh();
    // Fills the series; nothing in the base.
    virtual void Load() {}
    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FActive = false;
    bool FKeepValues = false;
    TChartSeries* FSeries = nullptr;
};

// The registered series-source classes (none in this system by default):
// source units add their meta-objects.
std::vector<const QMetaObject*>& SeriesSourceClasses();

// --- TDataSourcesList --------------------------------------------------------------------------

// The components feeding one series; does not own them.
class TDataSourcesList {
public:
    explicit TDataSourcesList(TChartSeries* AOwner) : FOwner(AOwner) {}

    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TComponent* Items(int Index) const;
    TComponent* operator[](int Index) const { return Items(Index); }
    int IndexOf(const TComponent* Source) const;

    // Validates Source through the owner series and appends it without
    // clearing the present sources (multi-source functions).
    int Add(TComponent* Source);
    // Appends without validation (the owner's own bookkeeping).
    int InternalAdd(TComponent* Source);
    // Removes an entry and runs the owner's RemoveDataSource for it.
    void Delete(int Index);
    int Remove(TComponent* Source);
    // The owner leaves its source series' dependents, the list empties, and
    // the owner is cleared when its data are not its own.
    void Clear();
    // Empties the list only.
    void InternalClear() { FItems.clear(); }
    // Removes Source's entry only (no callback).
    void InternalRemove(const TComponent* Source);

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    TChartSeries* FOwner;
    std::vector<TComponent*> FItems;
};

// --- TLabelsList ------------------------------------------------------------------------------

// One entry per point index; an empty entry means no label.
class TLabelsList {
public:
    explicit TLabelsList(TChartSeries* AOwner) : FOwner(AOwner) {}

    // Number of entries (may be fewer than the points).
    int Count() const
    {
        if (FStale) [[unlikely]]
            RefreshOwner();
        return static_cast<int>(FItems.size());
    }
    // Empty beyond the list or for an empty entry.
    QString GetLabel(int Index) const;
    QString operator[](int Index) const { return GetLabel(Index); }
    // Pads with empty entries up to Index; repaints the owner.
    void SetLabel(int Index, const QString& Text);
    // Pads with empty entries up to Index, then inserts; an empty text into
    // an empty list adds nothing.
    void InsertLabel(int Index, const QString& Text);
    // Removes the entry when within the list.
    void DeleteLabel(int Index);
    void Exchange(int A, int B);
    void Clear()
    {
        ++FChanges;
        FItems.clear();
    }
    // Clear, then InsertLabel of each label of Source in order.
    void Assign(const TLabelsList& Source);
    // Set by the owner series while its points wait for a recalculation
    // (see TChartValueList::SetStale).
    void SetStale(bool Value) { FStale = Value; }
    // A count that grows with every change of the labels.
    unsigned Changes() const { return FChanges; }

private:
    void RefreshOwner() const;

    TChartSeries* FOwner;
    bool FStale = false;
    unsigned FChanges = 0;
    std::vector<QString> FItems;
};

// --- Editor services ----------------------------------------------------------------------------

// The Title with column separators as blanks; else the component name;
// else "Series" and the series' 1-based position in its chart.
QString SeriesTitleOrName(const TChartSeries* Series);
// Adds each series shown in editors (with the series as object), titled or
// named, inside Strings' BeginUpdate/EndUpdate.
void FillSeriesItems(TStringList& Strings, const TCustomSeriesList& SeriesList, bool UseTitles = true);
// A modal message box with an error icon and no caption, through the
// replaceable message service.
void ShowErrorMessageBox(const QString& Text);

} // namespace lp
