#pragma once
// Value lists: one kind of number of every point of a series.
//
//   TChartSeries
//     └─owns─> TChartValueLists   X (index 0), Y (1), further lists (2, ...)
//                └─owns─> TChartValueList   values, order, cached statistics
//
// All lists of one series hold the same number of values and are indexed by
// point index; the series inserts, deletes and swaps points across all of
// them together. A list keeps its values in one contiguous array that grows
// in steps of ValueListCapacityStep values, and computes its minimum,
// maximum and totals lazily, once per change.
//
// A series whose points a change of its sources left to be recalculated
// (TChartSeries::Stale) marks its lists; every read of a marked list (and
// every change of it) first has the series recalculate itself, so whatever
// is read is up to date.

#include "platform/base/Exception.h"
#include "platform/core/Component.h"

#include <QtCore/QString>
#include <QtCore/QVariant>

#include <vector>

namespace lp {

class TChartSeries;

// The growth step of every value list's array, in values.
inline int ValueListCapacityStep = 1000;

class TChartValueList : public TPersistent {
    Q_OBJECT
public:
    enum TChartListOrder { loNone, loAscending, loDescending };
    Q_ENUM(TChartListOrder)

private:
    Q_PROPERTY(bool DateTime READ DateTime WRITE SetDateTime)
    Q_CLASSINFO("stored:DateTime", "IsDateTimeStored")
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_CLASSINFO("default:Name", "")
    Q_PROPERTY(TChartListOrder Order READ Order WRITE SetOrder)
    Q_CLASSINFO("stored:Order", "IsOrderStored")
    Q_PROPERTY(QString ValueSource READ ValueSource WRITE SetValueSource)
    Q_CLASSINFO("default:ValueSource", "")

public:
    // Joins Owner's value lists (which then own the list) under Name.
    TChartValueList(TChartSeries* AOwner, const QString& AName);
    ~TChartValueList() override;

    // From another value list: Order, DateTime and ValueSource (not the name
    // or the values).
    void Assign(const TPersistent* Source) override;
    // Reads a property older stored charts wrote; true when claimed.
    // "Multiplier": a value other than 1 tells the user the property is
    // obsolete and is otherwise ignored.
    bool ReadOldProperty(const QString& Name, const QVariant& Value);
    // "Multiplier", read only.
    void DefineProperties(TFiler& Filer) override;

    TChartSeries* Owner() const { return FOwner; }

    bool DateTime() const { return FDateTime; }
    // Stores and repaints the owner series.
    void SetDateTime(bool value);
    // Sets DateTime and the default it is stored against.
    void InitDateTime(bool value);
    Q_INVOKABLE bool IsDateTimeStored() const { return FDateTime != FDefaultDateTime; }
    QString Name() const { return FName; }
    void SetName(const QString& value) { FName = value; }
    TChartListOrder Order() const { return FOrder; }
    // Any order set after the series' own start (by a user, a type change or
    // a file) counts as set.
    void SetOrder(TChartListOrder value)
    {
        FOrder = value;
        FOrderSet = true;
    }
    // Whether an order was set since the list started with InitOrder: a
    // file read into a new series set it only when it held it.
    bool OrderSet() const { return FOrderSet; }
    // Sets Order and the order the list starts with (series constructors).
    void InitOrder(TChartListOrder value);
    // Files have always held every order but loNone, and read a missing one
    // as the list's starting order: so loNone is written too when the list
    // starts ordered.
    Q_INVOKABLE bool IsOrderStored() const { return FOrder != loNone || FDefaultOrder != loNone; }
    // Whether the values rise (loAscending) or fall (loDescending) from the
    // first to the last; always for loNone.
    bool FollowsOrder() const;
    QString ValueSource() const { return FValueSource; }
    // A different text makes the owner refill from its data source.
    void SetValueSource(const QString& value);

    // The pending value the next AddTempValue inserts. (A stale owner is
    // recalculated first: its recalculation adds points through the lists'
    // pending values.)
    double TempValue() const { return FTempValue; }
    void SetTempValue(double value)
    {
        CheckFresh();
        FTempValue = value;
    }
    // Set by the owner series while its points wait for a recalculation.
    void SetStale(bool value) { FStale = value; }
    // A count that grows with every change of the values (and of DateTime).
    unsigned Changes() const { return FChanges; }
    // True while the cached statistics are stale.
    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }

    // Values in use. EAssertionFailed when the count exceeds the array.
    int Count() const
    {
        CheckFresh();
        if (FCount > FCapacity) [[unlikely]]
            CountBeyondCapacity();
        return FCount;
    }
    // A negative count fails with an assertion; a larger count lengthens
    // the array (new values 0).
    void SetCount(int value);
    // The array's length (the capacity, a multiple of the growth step).
    int Capacity() const { return FCapacity; }

    // The value at Index; ERangeError outside 0 .. Count - 1.
    double Value(int Index) const
    {
        CheckIndex(Index);
        return FValue[static_cast<size_t>(Index)];
    }
    // Stores, marks the list modified and tells the owner (modify, 4).
    void SetValue(int Index, double value);
    // Stores and marks the list modified without telling the owner.
    void InternalSetValue(int Index, double value);
    double operator[](int Index) const { return Value(Index); }
    double First() const { return Value(0); }
    double Last() const { return Value(FCount - 1); }

    // TempValue := Value, then AddTempValue; the new index.
    virtual int AddChartValue(double Value);
    // Inserts TempValue where Order puts it: after the last value not
    // greater (ascending) or not smaller (descending), or at the end.
    int AddTempValue();
    virtual void InsertChartValue(int ValueIndex, double Value);
    virtual void Delete(int ValueIndex);
    // Asserts that Start + Quantity - 1 < Count.
    void DeleteRange(int Start, int Quantity);
    virtual void ClearValues();
    // Swaps two values and tells the owner (modify, 4).
    void Exchange(int Index1, int Index2);
    // Swaps two values only (no notification).
    void InternalExchange(int Index1, int Index2);
    // Every value becomes its index; tells the owner (modify, 4).
    void FillSequence();
    // The first value goes to the end; the count (nothing when empty).
    virtual int MoveFirstToLast();

    // Index of the first value equal to Value, -1 when none.
    int Locate(double Value) const;
    // The same within First .. Last (-1 when Last < First).
    int LocateInRange(int First, int Last, double Value) const;

    // The statistics, recomputed first when values changed (inline: drawing
    // asks for them per shape).
    double MaxValue()
    {
        CheckFresh();
        if (FModified)
            RecalcStats();
        return FMaxValue;
    }
    double MinValue()
    {
        CheckFresh();
        if (FModified)
            RecalcStats();
        return FMinValue;
    }
    double Total();
    double TotalABS();
    double Range() { return MaxValue() - MinValue(); }
    // Recomputes the statistics from scratch; clears the modified mark.
    void RecalcStats();
    // Adds the values from StartIndex on to the current statistics.
    void RecalcStatsFrom(int StartIndex);

    // -1, 0 or 1 comparing value A with value B; negated when descending.
    int CompareValueIndex(int A, int B) const;
    // Unless Order is loNone, sorts every point of the owner by this list
    // through the owner's SwapValueIndex.
    void Sort();

    // Direct read access for drawing loops (Count values).
    const double* Data() const
    {
        CheckFresh();
        return FValue.data();
    }

    // Whether the values rise or stay from the first to the last, none of
    // them NaN. What was found is kept: values appended at the end are the
    // only ones read on the next call, and a change at an index makes only
    // the values from there on be read again.
    bool AscendingWithoutNaN() const;

private:
    void Grow();
    void InsertAt(int Index, double Value);
    // The values from Index on changed, moved or went: the statistics are
    // stale and the rising prefix ends at Index at the latest.
    void ValuesChangedFrom(int Index)
    {
        ++FChanges;
        FModified = true;
        if (Index <= FRisingCount) {
            FRisingCount = Index < 0 ? 0 : Index;
            FRisingBreaks = false;
        }
    }
    // Has a stale owner recalculate itself (inline: every read passes).
    void CheckFresh() const
    {
        if (FStale) [[unlikely]]
            RefreshOwner();
    }
    void RefreshOwner() const;
    // Raises the failed consistency check of Count.
    [[noreturn]] void CountBeyondCapacity() const;
    // ERangeError outside 0 .. Count - 1 (inline: every drawn value passes).
    void CheckIndex(int Index) const
    {
        CheckFresh();
        if (Index < 0 || Index >= FCount) [[unlikely]]
            RaiseIndexError(Index, FCount);
    }

    TChartSeries* FOwner;
    bool FDateTime = false;
    bool FDefaultDateTime = false;
    QString FName;
    TChartListOrder FOrder = loNone;
    TChartListOrder FDefaultOrder = loNone;
    bool FOrderSet = false;
    QString FValueSource;
    double FTempValue = 0;
    double FMaxValue = 0;
    double FMinValue = 0;
    double FTotal = 0;
    double FTotalABS = 0;
    int FCount = 0;
    // The capacity callers see grows in steps of ValueListCapacityStep; the
    // storage behind it only as far as the values need (geometrically), so
    // thousands of short lists (the outlines of a map) stay small.
    int FCapacity = 0;
    std::vector<double> FValue; // at least FCount long, the first FCount in use
    void EnsureStorage(int Length);
    bool FModified = true;
    bool FStale = false;
    unsigned FChanges = 0;
    // The first FRisingCount values are known to rise or stay, none NaN;
    // with FRisingBreaks the value after them is known to break that.
    mutable int FRisingCount = 0;
    mutable bool FRisingBreaks = false;
};

using TChartListOrder = TChartValueList::TChartListOrder;
inline constexpr TChartListOrder loNone = TChartValueList::loNone;
inline constexpr TChartListOrder loAscending = TChartValueList::loAscending;
inline constexpr TChartListOrder loDescending = TChartValueList::loDescending;

// A series' value lists in creation order; owns them.
class TChartValueLists {
public:
    TChartValueLists() = default;
    TChartValueLists(const TChartValueLists&) = delete;
    TChartValueLists& operator=(const TChartValueLists&) = delete;
    ~TChartValueLists();

    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TChartValueList* GetValueList(int Index) const;
    TChartValueList* operator[](int Index) const { return GetValueList(Index); }
    int IndexOf(const TChartValueList* List) const;
    // Takes ownership of List (value lists add themselves on creation).
    void Add(TChartValueList* List);
    // Destroys every list.
    void Clear();

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<TChartValueList*> FItems;
};

} // namespace lp
