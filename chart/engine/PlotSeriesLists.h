#pragma once
// The small typed lists of a chart: its series, its series groups, its axes
// and its custom axes.
//
//   TChartSeriesList ─owns─> TSeriesGroups ─owns─> TSeriesGroup (Name, Series)
//   TChartAxes        every axis of a chart in creation order; Clear frees them
//   TChartCustomAxes  the collection that owns a chart's custom axes
//
// Series lists only observe their series: series belong to their owner
// component and leave a chart's list when they leave the chart.

#include "platform/core/Collections.h"

#include <QtCore/QStringList>

#include <functional>
#include <vector>

namespace lp {

class TChartAxis;
class TChartSeries;
class TCustomAxisPanel;

// --- Series lists ---------------------------------------------------------------------------------

class TCustomSeriesList {
public:
    // Owner: the chart, or the series whose dependents the list holds.
    explicit TCustomSeriesList(QObject* AOwner = nullptr) : FOwner(AOwner) {}
    virtual ~TCustomSeriesList() = default;

    QObject* Owner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TChartSeries* Series(int Index) const;
    void SetSeries(int Index, TChartSeries* Value);
    TChartSeries* operator[](int Index) const { return Series(Index); }
    int IndexOf(const TChartSeries* Value) const;
    int Add(TChartSeries* Value);
    void Insert(int Index, TChartSeries* Value);
    void Delete(int Index);
    // Index of the removed entry, -1 when absent.
    int Remove(const TChartSeries* Value);
    void Exchange(int A, int B);
    void Clear() { FItems.clear(); }
    void Assign(const TCustomSeriesList& Source) { FItems = Source.FItems; }

    // Clear on every series of the list.
    void ClearValues();
    // True when every series is active (also for an empty list).
    bool AllActive() const;
    void SetAllActive(bool Value);

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    QObject* FOwner;
    std::vector<TChartSeries*> FItems;
};

class TSeriesGroup : public TCollectionItem {
    Q_OBJECT
public:
    enum TSeriesGroupActive { gaYes, gaNo, gaSome };
    Q_ENUM(TSeriesGroupActive)

private:
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_CLASSINFO("default:Name", "")

public:
    explicit TSeriesGroup(TCollection* Collection);
    ~TSeriesGroup() override;

    void Assign(const TPersistent* Source) override;
    QString DisplayName() const override { return FName; }

    QString Name() const { return FName; }
    void SetName(const QString& Value) { FName = Value; }
    TCustomSeriesList& Series() const { return *FSeries; }
    // The group's list becomes a copy of Value.
    void SetSeries(const TCustomSeriesList& Value);
    // Stored only when the group has series.
    bool IsSeriesStored() const { return FSeries->Count() > 0; }
    // "Series": the names of the group's series, written only when it has
    // series; read names wait for ResolveSeriesNames, since the chart file
    // holds the groups before the series.
    void DefineProperties(TFiler& Filer) override;
    // The series of Chart named by the names read; unknown names are
    // skipped, as a link the chart refuses is.
    void ResolveSeriesNames(const TCustomSeriesList& ChartSeries);

    // gaYes with no series or all active, gaNo with none active, else gaSome.
    TSeriesGroupActive Active() const;
    // gaSome, or the value the group has, changes nothing; gaYes activates
    // every series, gaNo deactivates every one.
    void SetActive(TSeriesGroupActive Value);

private:
    QString FName;
    std::unique_ptr<TCustomSeriesList> FSeries;
    QStringList FSeriesNames;
};

using TSeriesGroupActive = TSeriesGroup::TSeriesGroupActive;
inline constexpr TSeriesGroupActive gaYes = TSeriesGroup::gaYes;
inline constexpr TSeriesGroupActive gaNo = TSeriesGroup::gaNo;
inline constexpr TSeriesGroupActive gaSome = TSeriesGroup::gaSome;

class TSeriesGroups : public TOwnedCollection {
    Q_OBJECT
public:
    explicit TSeriesGroups(TCustomAxisPanel* AOwner);

    TSeriesGroup* Items(int Index) const;
    // Index of the first group holding Series, -1 when none.
    int IndexOfSeries(const TChartSeries* Series) const;
    // Each group's series named by a chart file read (after its series).
    void ResolveSeriesNames(const TCustomSeriesList& ChartSeries);
};

class TChartSeriesList : public TCustomSeriesList {
public:
    explicit TChartSeriesList(TCustomAxisPanel* AOwner);
    ~TChartSeriesList() override;

    TSeriesGroups& Groups() const { return *FGroups; }
    // A new group named Name.
    TSeriesGroup* AddGroup(const QString& Name);

private:
    std::unique_ptr<TSeriesGroups> FGroups;
};

// --- Axes lists ----------------------------------------------------------------------------------

// Every axis of a chart in creation order: the six standard axes, then the
// custom ones. Axes add and remove themselves.
class TChartAxes {
public:
    explicit TChartAxes(TCustomAxisPanel* AChart) : FChart(AChart) {}
    TChartAxes(const TChartAxes&) = delete;
    TChartAxes& operator=(const TChartAxes&) = delete;
    ~TChartAxes();

    TCustomAxisPanel* Chart() const { return FChart; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TChartAxis* Items(int Index) const;
    TChartAxis* operator[](int Index) const { return Items(Index); }
    int IndexOf(const TChartAxis* Axis) const;
    void Add(TChartAxis* Axis) { FItems.push_back(Axis); }
    void Remove(const TChartAxis* Axis);
    // Frees every axis, then empties the list.
    void Clear();

    TChartAxis* LeftAxis() const;
    TChartAxis* TopAxis() const;
    TChartAxis* RightAxis() const;
    TChartAxis* BottomAxis() const;
    TChartAxis* DepthAxis() const;
    TChartAxis* DepthTopAxis() const;
    bool Behind() const;
    void SetBehind(bool Value);
    bool Visible() const;
    void SetVisible(bool Value);

    // Axes use the fast, unclipped linear position function.
    bool FastCalc() const { return FFastCalc; }
    void SetFastCalc(bool Value) { FFastCalc = Value; }
    // May change the space (pixels) an axis needs for its labels.
    std::function<int(TChartAxis* Axis, int Size)> OnAxisSize;

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    TCustomAxisPanel* FChart;
    std::vector<TChartAxis*> FItems;
    bool FFastCalc = false;
};

// The collection owning a chart's custom axes.
class TChartCustomAxes : public TOwnedCollection {
    Q_OBJECT
public:
    explicit TChartCustomAxes(TCustomAxisPanel* AChart);

    TCustomAxisPanel* Chart() const { return FChart; }
    TChartAxis* Items(int Index) const;

private:
    TCustomAxisPanel* FChart;
};

} // namespace lp
