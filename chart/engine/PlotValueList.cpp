#include "chart/engine/PlotValueList.h"

#include <cstdlib>

#include <climits>

#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotSeriesSource.h"

#include <cmath>
#include <cstring>

namespace lp {

namespace {

constexpr std::string_view DeleteRangeText = "Quantity of data to delete must be less than Count.";

} // namespace

// --- TChartValueList -------------------------------------------------------------------------

TChartValueList::TChartValueList(TChartSeries* AOwner, const QString& AName) : FOwner(AOwner), FName(AName)
{
    if (FOwner)
        FOwner->ValuesList().Add(this);
    ClearValues();
}

TChartValueList::~TChartValueList() = default;

void TChartValueList::Assign(const TPersistent* Source)
{
    const auto* Other = qobject_cast<const TChartValueList*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    FOrder = Other->FOrder;
    FDateTime = Other->FDateTime;
    FValueSource = Other->FValueSource;
}

bool TChartValueList::ReadOldProperty(const QString& Name, const QVariant& Value)
{
    if (Name.compare(QLatin1String("Multiplier"), Qt::CaseInsensitive) != 0)
        return false;
    bool Ok = false;
    const double Multiplier = Value.toDouble(&Ok);
    if (!Ok || Multiplier != 1.0)
        ShowErrorMessageBox(QStringLiteral(
            "Error: Multiplier property is obsolete.\rModify PlotDefs.inc (enable Multiplier) and recompile."));
    return true;
}

void TChartValueList::DefineProperties(TFiler& Filer)
{
    TPersistent::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("Multiplier"), [this](const QVariant& V) { ReadOldProperty(QStringLiteral("Multiplier"), V); },
        {}, false);
}

void TChartValueList::SetDateTime(bool value)
{
    if (FDateTime == value)
        return;
    FDateTime = value;
    ++FChanges;
    if (FOwner)
        FOwner->Repaint();
}

void TChartValueList::InitDateTime(bool value)
{
    FDateTime = value;
    FDefaultDateTime = value;
}

void TChartValueList::InitOrder(TChartListOrder value)
{
    FOrder = value;
    FDefaultOrder = value;
}

bool TChartValueList::FollowsOrder() const
{
    CheckFresh();
    if (FOrder == loNone)
        return true;
    for (int I = 1; I < FCount; ++I)
        if (CompareValueIndex(I - 1, I) > 0)
            return false;
    return true;
}

void TChartValueList::SetValueSource(const QString& value)
{
    if (FValueSource == value)
        return;
    FValueSource = value;
    if (FOwner)
        FOwner->CheckDataSource();
}

void TChartValueList::RefreshOwner() const
{
    if (FOwner)
        FOwner->CheckRefresh();
}

void TChartValueList::CountBeyondCapacity() const
{
    Assert(false, "ValueList Count (" + std::to_string(FCount) + ") greater than array length (" +
                      std::to_string(Capacity()) + ").");
    std::abort(); // Assert(false) raises; never reached
}

void TChartValueList::SetCount(int value)
{
    CheckFresh();
    Assert(value >= 0, "ValueList Count must be greater than zero.");
    while (Capacity() < value)
        Grow();
    EnsureStorage(value);
    for (int I = FCount; I < value; ++I)
        FValue[static_cast<size_t>(I)] = 0;
    if (value < FCount)
        ValuesChangedFrom(value);
    FCount = value;
    FModified = true;
}

void TChartValueList::SetValue(int Index, double value)
{
    CheckIndex(Index);
    FValue[static_cast<size_t>(Index)] = value;
    ValuesChangedFrom(Index);
    if (FOwner)
        FOwner->NotifyValue(veModify, Index);
}

void TChartValueList::InternalSetValue(int Index, double value)
{
    CheckIndex(Index);
    FValue[static_cast<size_t>(Index)] = value;
    ValuesChangedFrom(Index);
}

void TChartValueList::Grow()
{
    // The visible capacity grows by the fixed step; storage follows the
    // values (EnsureStorage), doubling, so appending stays linear overall.
    const int step = ValueListCapacityStep > 0 ? ValueListCapacityStep : 1;
    if (FCapacity > INT_MAX - step)
        RaiseRangeError("Too many values in one list");
    FCapacity += step;
}

void TChartValueList::EnsureStorage(int Length)
{
    const auto needed = static_cast<size_t>(Length);
    if (FValue.size() >= needed)
        return;
    // At least 16 values: the outline of a map polygon (a few nodes) is
    // then stored in one allocation, not three or four.
    FValue.resize(std::max({needed, FValue.size() * 2, size_t{16}}));
}

void TChartValueList::InsertAt(int Index, double Value)
{
    if (Index < 0 || Index > FCount)
        RaiseIndexError(Index, FCount + 1);
    if (FCount == Capacity())
        Grow();
    EnsureStorage(FCount + 1);
    double* Data = FValue.data();
    if (Index < FCount)
        std::memmove(Data + Index + 1, Data + Index, sizeof(double) * static_cast<size_t>(FCount - Index));
    Data[Index] = Value;
    ++FCount;
    // Appending keeps what is known of the values before.
    ValuesChangedFrom(Index);
}

int TChartValueList::AddChartValue(double Value)
{
    CheckFresh();
    FTempValue = Value;
    return AddTempValue();
}

int TChartValueList::AddTempValue()
{
    CheckFresh();
    int Index = FCount;
    const double* Data = FValue.data();
    if (FOrder == loAscending && FCount > 0 && FTempValue < Data[FCount - 1]) {
        Index = FCount - 1;
        while (Index >= 0 && Data[Index] > FTempValue)
            --Index;
        ++Index;
    } else if (FOrder == loDescending && FCount > 0 && FTempValue > Data[FCount - 1]) {
        Index = FCount - 1;
        while (Index >= 0 && Data[Index] < FTempValue)
            --Index;
        ++Index;
    }
    InsertAt(Index, FTempValue);
    return Index;
}

void TChartValueList::InsertChartValue(int ValueIndex, double Value)
{
    CheckFresh();
    InsertAt(ValueIndex, Value);
}

void TChartValueList::Delete(int ValueIndex)
{
    CheckFresh();
    CheckIndex(ValueIndex);
    double* Data = FValue.data();
    std::memmove(Data + ValueIndex, Data + ValueIndex + 1, sizeof(double) * static_cast<size_t>(FCount - ValueIndex - 1));
    --FCount;
    ValuesChangedFrom(ValueIndex);
}

void TChartValueList::DeleteRange(int Start, int Quantity)
{
    CheckFresh();
    Assert(Start >= 0 && Quantity >= 0 && static_cast<long long>(Start) + Quantity - 1 < FCount, DeleteRangeText);
    if (Quantity == 0)
        return;
    double* Data = FValue.data();
    const int Tail = FCount - Start - Quantity;
    std::memmove(Data + Start, Data + Start + Quantity, sizeof(double) * static_cast<size_t>(Tail));
    FCount -= Quantity;
    ValuesChangedFrom(Start);
}

void TChartValueList::ClearValues()
{
    FCount = 0;
    FCapacity = 0;
    FValue.clear();
    FValue.shrink_to_fit();
    ValuesChangedFrom(0);
}

void TChartValueList::InternalExchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FValue[static_cast<size_t>(Index1)], FValue[static_cast<size_t>(Index2)]);
    ValuesChangedFrom(std::min(Index1, Index2));
}

void TChartValueList::Exchange(int Index1, int Index2)
{
    InternalExchange(Index1, Index2);
    if (FOwner)
        FOwner->NotifyValue(veModify, Index1);
}

void TChartValueList::FillSequence()
{
    CheckFresh();
    for (int I = 0; I < FCount; ++I)
        FValue[static_cast<size_t>(I)] = I;
    ValuesChangedFrom(0);
    if (FOwner)
        FOwner->NotifyValue(veModify, 0);
}

int TChartValueList::MoveFirstToLast()
{
    CheckFresh();
    if (FCount > 0) {
        double* Data = FValue.data();
        const double First = Data[0];
        std::memmove(Data, Data + 1, sizeof(double) * static_cast<size_t>(FCount - 1));
        Data[FCount - 1] = First;
        ValuesChangedFrom(0);
    }
    return FCount;
}

bool TChartValueList::AscendingWithoutNaN() const
{
    CheckFresh();
    if (FRisingBreaks)
        return false;
    const double* Data = FValue.data();
    int I = FRisingCount;
    if (I == 0 && FCount > 0) {
        if (std::isnan(Data[0])) {
            FRisingBreaks = true;
            return false;
        }
        I = 1;
    }
    // In blocks whose comparisons are all made (no early exit inside a
    // block), so that the compiler can compare several values at once.
    constexpr int Block = 64;
    while (I < FCount) {
        const int End = std::min(FCount, I + Block);
        bool Rising = true;
        for (int K = I; K < End; ++K)
            Rising &= Data[K - 1] <= Data[K]; // false for NaN
        if (!Rising) {
            while (Data[I - 1] <= Data[I])
                ++I;
            FRisingCount = I;
            FRisingBreaks = true;
            return false;
        }
        I = End;
    }
    FRisingCount = FCount;
    return true;
}

int TChartValueList::Locate(double Value) const
{
    return LocateInRange(0, FCount - 1, Value);
}

int TChartValueList::LocateInRange(int First, int Last, double Value) const
{
    CheckFresh();
    First = std::max(First, 0);
    Last = std::min(Last, FCount - 1);
    for (int I = First; I <= Last; ++I)
        if (FValue[static_cast<size_t>(I)] == Value)
            return I;
    return -1;
}

void TChartValueList::RecalcStats()
{
    CheckFresh();
    if (FCount > Capacity()) {
        FCount = Capacity();
        ValuesChangedFrom(FCount);
    }
    FMinValue = FMaxValue = FTotal = FTotalABS = 0;
    if (FCount > 0) {
        const double First = FValue[0];
        FMinValue = FMaxValue = FTotal = First;
        FTotalABS = std::fabs(First);
        RecalcStatsFrom(1);
    }
    FModified = false;
}

void TChartValueList::RecalcStatsFrom(int StartIndex)
{
    CheckFresh();
    const double* Data = FValue.data();
    for (int I = std::max(StartIndex, 0); I < FCount; ++I) {
        const double V = Data[I];
        if (V < FMinValue)
            FMinValue = V;
        else if (V > FMaxValue)
            FMaxValue = V;
        FTotal += V;
        FTotalABS += std::fabs(V);
    }
}

double TChartValueList::Total()
{
    CheckFresh();
    if (FModified)
        RecalcStats();
    return FTotal;
}

double TChartValueList::TotalABS()
{
    CheckFresh();
    if (FModified)
        RecalcStats();
    return FTotalABS;
}

int TChartValueList::CompareValueIndex(int A, int B) const
{
    CheckFresh();
    const double VA = Value(A);
    const double VB = Value(B);
    const int Result = VA < VB ? -1 : (VA > VB ? 1 : 0);
    return FOrder == loDescending ? -Result : Result;
}

void TChartValueList::Sort()
{
    CheckFresh();
    if (FOrder == loNone || !FOwner)
        return;
    TChartSeries* Series = FOwner;
    Series->ReorderPoints([this, Series] {
        QuickSortIndexes(
            0, FCount - 1, [this](int A, int B) { return CompareValueIndex(A, B); },
            [Series](int A, int B) { Series->SwapValueIndex(A, B); });
    });
}

// --- TChartValueLists ------------------------------------------------------------------------

TChartValueLists::~TChartValueLists()
{
    Clear();
}

TChartValueList* TChartValueLists::GetValueList(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

int TChartValueLists::IndexOf(const TChartValueList* List) const
{
    for (int I = 0; I < Count(); ++I)
        if (FItems[static_cast<size_t>(I)] == List)
            return I;
    return -1;
}

void TChartValueLists::Add(TChartValueList* List)
{
    if (List && IndexOf(List) < 0)
        FItems.push_back(List);
}

void TChartValueLists::Clear()
{
    std::vector<TChartValueList*> Items;
    Items.swap(FItems);
    for (TChartValueList* List : Items)
        delete List;
}

} // namespace lp
