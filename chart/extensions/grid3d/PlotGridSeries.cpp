// The grid series base: grid index, value generation, grid sources.

#include "chart/extensions/grid3d/PlotGridSeries.h"

#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// Restores the value lists' growth step when a fill ends, also by an
// exception.
class TCapacityStepScope {
public:
    explicit TCapacityStepScope(int Step) : FSaved(ValueListCapacityStep) { ValueListCapacityStep = Step; }
    ~TCapacityStepScope() { ValueListCapacityStep = FSaved; }
    TCapacityStepScope(const TCapacityStepScope&) = delete;
    TCapacityStepScope& operator=(const TCapacityStepScope&) = delete;

private:
    int FSaved;
};

// Refuses an index of Columns + 1 by Rows + 1 entries beyond the cap.
void CheckGridSize(double Columns, double Rows)
{
    if (!(Columns >= 0 && Rows >= 0)
        || (Columns + 1) * (Rows + 1) > static_cast<double>(TCustom3DGridSeries::MaxGridNodes))
        throw ChartException(QStringLiteral("The grid of %1 by %2 nodes is too large to index")
                                 .arg(Columns, 0, 'g', 12)
                                 .arg(Rows, 0, 'g', 12));
}

// The distinct values of List among points FirstIndex .. Count - 1,
// ascending. NaN has no column and is left out.
std::vector<double> DistinctValues(const TChartValueList& List, int FirstIndex)
{
    std::vector<double> Values;
    Values.reserve(static_cast<size_t>(std::max(0, List.Count() - FirstIndex)));
    for (int I = FirstIndex; I < List.Count(); ++I)
        if (!std::isnan(List.Value(I)))
            Values.push_back(List.Value(I));
    std::sort(Values.begin(), Values.end());
    Values.erase(std::unique(Values.begin(), Values.end()), Values.end());
    return Values;
}

// 1 + the position of Value in the ascending table (an exact match).
int TablePosition(const std::vector<double>& Table, double Value)
{
    return static_cast<int>(std::lower_bound(Table.begin(), Table.end(), Value) - Table.begin()) + 1;
}

} // namespace

double GridSampleValue(int X, int Z, int NumX, int NumZ)
{
    const long double CosX = std::cos(static_cast<long double>(X) / (0.2L * NumX));
    const long double CosZ = std::cos(static_cast<long double>(Z) / (0.2L * NumZ));
    return static_cast<double>(0.5L * CosX * CosX + CosZ * CosZ
                               - std::cos(static_cast<long double>(Z) / (0.5L * NumZ)));
}

TCustom3DGridSeries::TCustom3DGridSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner)
{
    TCustom3DGridSeries::Clear();
}

void TCustom3DGridSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TCustom3DGridSeries*>(Source)) {
        FNumXValues = S->FNumXValues;
        FNumZValues = S->FNumZValues;
        FIrregularGrid = S->FIrregularGrid;
    }
    TCustom3DPaletteSeries::Assign(Source);
}

void TCustom3DGridSeries::DoBeforeDrawChart()
{
    TCustom3DPaletteSeries::DoBeforeDrawChart();
    if (Count() > 0)
        FillGridIndex(0);
}

void TCustom3DGridSeries::AddValues(TChartSeries* Source)
{
    if (const auto* S = qobject_cast<const TCustom3DGridSeries*>(Source)) {
        FNumXValues = S->FNumXValues;
        FNumZValues = S->FNumZValues;
    }
    TCustom3DPaletteSeries::AddValues(Source);
    FillGridIndex(0);
    Repaint();
}

void TCustom3DGridSeries::Clear()
{
    TCustom3DPaletteSeries::Clear();
    // The grid keeps its points in node order; read from a file, the X
    // list keeps the order it was saved with (NumXValues may come after it),
    // and the index waits for both sizes (Loaded).
    if (IsLoading())
        return;
    XValues()->SetOrder(loNone);
    InitGridIndex(FNumXValues, FNumZValues);
}

void TCustom3DGridSeries::Loaded()
{
    TCustom3DPaletteSeries::Loaded();
    // The sizes read are the writer's, kept as read; the index is filled
    // from the points before each paint, which refuses a grid beyond the
    // cap as ever (the points kept).
    try {
        InitGridIndex(FNumXValues, FNumZValues);
    } catch (const ChartException&) {
        InitGridIndex(0, 0);
    }
}

void TCustom3DGridSeries::AddSampleValues(int NumValues, bool /*OnlyMandatory*/)
{
    if (NumValues <= 0)
        return;
    const bool Saved = FCreatingSamples;
    FCreatingSamples = true;
    try {
        CreateValues(NumValues, NumValues);
    } catch (...) {
        FCreatingSamples = Saved;
        throw;
    }
    FCreatingSamples = Saved;
}

bool TCustom3DGridSeries::IsValidSourceOf(TChartSeries* Source)
{
    return qobject_cast<TCustom3DGridSeries*>(Source) != nullptr && TCustom3DPaletteSeries::IsValidSourceOf(Source);
}

bool TCustom3DGridSeries::CanCreateValues() const
{
    return OnGetYValue || IsDesigning() || FCreatingSamples;
}

void TCustom3DGridSeries::CreateValues(int NumX, int NumZ)
{
    if (!CanCreateValues())
        return;
    CheckGridSize(NumX, NumZ);
    FNumXValues = NumX;
    FNumZValues = NumZ;
    {
        TCapacityStepScope Step(std::max(1, NumX * NumZ));
        Clear();
        BeginUpdate();
        try {
            for (int Z = 1; Z <= NumZ; ++Z)
                for (int X = 1; X <= NumX; ++X)
                    AddXYZ(X, GetYValue(X, Z), Z);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    CreateDefaultPalette(PaletteSteps());
}

double TCustom3DGridSeries::GetYValue(int X, int Z)
{
    if (OnGetYValue)
        return OnGetYValue(this, X, Z);
    if (IsDesigning() || FCreatingSamples)
        return GridSampleValue(X, Z, FNumXValues, FNumZValues);
    return 0;
}

void TCustom3DGridSeries::SetNumXValues(int Value)
{
    SetGridSize(Value, FNumZValues);
}

void TCustom3DGridSeries::SetNumZValues(int Value)
{
    SetGridSize(FNumXValues, Value);
}

void TCustom3DGridSeries::SetGridSize(int NumX, int NumZ)
{
    if (NumX == FNumXValues && NumZ == FNumZValues)
        return;
    // Read from a file, a size is the writer's and the other may still
    // come: the index is made once both are in (Loaded).
    if (!IsLoading())
        CheckGridSize(std::max(NumX, 0), std::max(NumZ, 0));
    FNumXValues = NumX;
    FNumZValues = NumZ;
    if (IsLoading())
        return;
    Clear();
    RecreateValues();
}

void TCustom3DGridSeries::InitGridIndex(int NumX, int NumZ)
{
    if (NumX < 0)
        return;
    NumZ = std::max(NumZ, 0);
    CheckGridSize(NumX, NumZ);
    FGridColumns = NumX + 1;
    FGridRows = NumZ + 1;
    const qint64 Nodes = static_cast<qint64>(FGridColumns) * FGridRows;
    FSparseIndex = Nodes > std::max<qint64>(DenseIndexNodes, DenseNodesPerPoint * static_cast<qint64>(Count()));
    if (FSparseIndex) {
        std::vector<int>().swap(FGridIndex);
        FHeldNodes.clear();
        FHeldNodes.reserve(static_cast<size_t>(Count()));
    } else {
        FHeldNodes = {};
        FGridIndex.assign(static_cast<size_t>(Nodes), -1);
    }
}

int TCustom3DGridSeries::GridIndex(int Column, int Row) const
{
    if (Column < 0 || Column >= FGridColumns || Row < 0 || Row >= FGridRows)
        throw ERangeError("Grid node (" + std::to_string(Column) + ", " + std::to_string(Row)
                          + ") is outside the grid index");
    const size_t Node = static_cast<size_t>(Column) * static_cast<size_t>(FGridRows) + static_cast<size_t>(Row);
    if (FSparseIndex) {
        const auto Held = FHeldNodes.find(Node);
        return Held == FHeldNodes.end() ? -1 : Held->second;
    }
    return FGridIndex[Node];
}

void TCustom3DGridSeries::SetGridEntry(int Column, int Row, int PointIndex)
{
    if (Column < 0 || Column >= FGridColumns || Row < 0 || Row >= FGridRows)
        return; // a NaN coordinate has no node
    const size_t Node = static_cast<size_t>(Column) * static_cast<size_t>(FGridRows) + static_cast<size_t>(Row);
    if (FSparseIndex)
        FHeldNodes[Node] = PointIndex;
    else
        FGridIndex[Node] = PointIndex;
}

void TCustom3DGridSeries::FillGridIndex(int FirstIndex)
{
    if (FIrregularGrid)
        FillIrregularGridIndex(FirstIndex);
    else
        FillRegularGridIndex(FirstIndex);
}

void TCustom3DGridSeries::FillRegularGridIndex(int FirstIndex)
{
    if (Count() == 0) {
        InitGridIndex(0, 0);
        FNumXValues = 0;
        FNumZValues = 0;
        return;
    }
    // Sizes are checked in floating point first: a value span beyond the
    // cap (or beyond int) must not reach the index.
    const double MinX = std::nearbyint(XValues()->MinValue()) - 1;
    const double MinZ = std::nearbyint(ZValues()->MinValue()) - 1;
    const double NumX = std::nearbyint(XValues()->MaxValue()) - MinX;
    const double NumZ = std::nearbyint(ZValues()->MaxValue()) - MinZ;
    CheckGridSize(NumX, NumZ);
    InitGridIndex(static_cast<int>(NumX), static_cast<int>(NumZ));
    for (int I = FirstIndex; I < Count(); ++I) {
        const double Column = std::nearbyint(XValues()->Value(I)) - MinX;
        const double Row = std::nearbyint(ZValues()->Value(I)) - MinZ;
        if (Column >= 0 && Column <= NumX && Row >= 0 && Row <= NumZ)
            SetGridEntry(static_cast<int>(Column), static_cast<int>(Row), I);
    }
    FNumXValues = static_cast<int>(NumX);
    FNumZValues = static_cast<int>(NumZ);
}

void TCustom3DGridSeries::FillIrregularGridIndex(int FirstIndex)
{
    const std::vector<double> XTable = DistinctValues(*XValues(), FirstIndex);
    const std::vector<double> ZTable = DistinctValues(*ZValues(), FirstIndex);
    const int NumX = static_cast<int>(XTable.size());
    const int NumZ = static_cast<int>(ZTable.size());
    InitGridIndex(NumX, NumZ);
    for (int I = FirstIndex; I < Count(); ++I) {
        const double X = XValues()->Value(I);
        const double Z = ZValues()->Value(I);
        if (!std::isnan(X) && !std::isnan(Z))
            SetGridEntry(TablePosition(XTable, X), TablePosition(ZTable, Z), I);
    }
    FNumXValues = NumX;
    FNumZValues = NumZ;
}

bool TCustom3DGridSeries::GetCellCorners(int X, int Z)
{
    FCorners = {GridIndex(X, Z), -1, -1, -1};
    if (FCorners[0] == -1)
        return false;
    FCorners[1] = GridIndex(X + FXStep, Z);
    if (FCorners[1] == -1)
        return false;
    FCorners[2] = GridIndex(X + FXStep, Z + FZStep);
    if (FCorners[2] == -1)
        return false;
    FCorners[3] = GridIndex(X, Z + FZStep);
    return FCorners[3] != -1;
}

} // namespace lp
