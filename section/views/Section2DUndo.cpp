// The mesh chart's ring of undo snapshots.

#include "section/views/Section2D.h"

#include <algorithm>

namespace lp {

namespace {

// Cols lists of Rows entries each.
template <typename T>
bool TableFits(const DynArray<DynArray<T>>& Table, int Cols, int Rows)
{
    return Table.Length() == Cols &&
           std::all_of(Table.begin(), Table.end(), [Rows](const DynArray<T>& column) { return column.Length() == Rows; });
}

bool StrictlyAscending(const arofdoubleM& Bounds)
{
    return std::adjacent_find(Bounds.begin(), Bounds.end(), std::greater_equal<>()) == Bounds.end();
}

// The first empty slot; when every slot holds a snapshot, the oldest (the
// first of equally old ones).
int SlotToOverwrite(const undo& Store)
{
    const auto empty = std::find(Store.Counters.begin(), Store.Counters.end(), -1);
    const auto slot = empty != Store.Counters.end() ? empty
                                                    : std::min_element(Store.Counters.begin(), Store.Counters.end());
    return static_cast<int>(slot - Store.Counters.begin());
}

} // namespace

void TTModelSection2d::RecordUndo(undo& Store)
{
    Store.Recorded = true;
    const int32_t newest = std::max(*std::max_element(Store.Counters.begin(), Store.Counters.end()), -1);
    const int slot = SlotToOverwrite(Store);
    Store.Counters.at(slot) = newest + 1;
    StoreSnapshot(Store, slot);
}

void TTModelSection2d::StoreSnapshot(undo& Store, int Slot)
{
    undounit& unit = Store.Slots.at(Slot);
    unit.ColBounds = ColBounds;
    unit.RowBounds = RowBounds;
    unit.ModelTop = ModelTop;
    unit.ModelBottom = ModelBottom;
    unit.ModelRight = ModelRight;
    unit.ModelLeft = ModelLeft;
    unit.ModelWidth = ModelWidth;
    unit.ModelDepth = ModelDepth;
    unit.ScaleMin = ScaleMin;
    unit.ScaleMax = ScaleMax;
    unit.Layers = Layers;
    // Taken with the layers, so a snapshot written back keeps every per-cell
    // table of the mesh's size.
    unit.Selected = Selected;
    unit.Fixed = Fixed;
    unit.Limits = Limits;
    unit.ScaleMode = ScaleMode;
    unit.SymLogConstant = SymLogConstant;
    unit.ReliefX = ReliefX;
    unit.ReliefZ = ReliefZ;
    unit.ReliefFadeTop = ReliefFadeTop;
    unit.ReliefFadeBottom = ReliefFadeBottom;
    unit.RowShifts = RowShifts;
    unit.LastCol = LastCol;
    unit.LastRow = LastRow;
    unit.CellValueAtCursor = CellValueAtCursor;
    unit.ReliefShift = ReliefShift;
    unit.ColAnchored = ColAnchored;
}

int TTModelSection2d::NewestSnapshot(const undo& Store)
{
    if (!Store.Recorded)
        return -1;
    const auto newest = std::max_element(Store.Counters.begin(), Store.Counters.end());
    return *newest < 0 ? -1 : static_cast<int>(newest - Store.Counters.begin());
}

bool TTModelSection2d::SnapshotFits(const undounit& Unit) const
{
    const int cols = Unit.LastCol + 1, rows = Unit.LastRow + 1;
    const auto cellTable = [&](const auto& table) { return TableFits(table, cols, rows); };
    return cols > 0 && rows > 0 && Unit.ColBounds.Length() == cols + 1 && Unit.RowBounds.Length() == rows + 1 &&
           StrictlyAscending(Unit.ColBounds) && StrictlyAscending(Unit.RowBounds) &&
           Unit.ColAnchored.Length() == cols + 1 && Unit.ReliefShift.Length() == cols + 1 &&
           Unit.Layers.Length() > 0 && std::all_of(Unit.Layers.begin(), Unit.Layers.end(), cellTable) &&
           cellTable(Unit.Selected) && cellTable(Unit.Fixed) && cellTable(Unit.Limits);
}

bool TTModelSection2d::RestoreSnapshot(const undo& Store, int Slot)
{
    // A slot never recorded into (a new chart's counters are 0) holds empty
    // tables: writing it back would lose the model.
    const undounit& unit = Store.Slots.at(Slot);
    if (Store.Counters.at(Slot) < 0 || !SnapshotFits(unit))
        return false;
    ColBounds = unit.ColBounds;
    RowBounds = unit.RowBounds;
    ModelTop = unit.ModelTop;
    ModelBottom = unit.ModelBottom;
    ModelRight = unit.ModelRight;
    ModelLeft = unit.ModelLeft;
    ModelWidth = unit.ModelWidth;
    ModelDepth = unit.ModelDepth;
    ScaleMin = unit.ScaleMin;
    ScaleMax = unit.ScaleMax;
    Layers = unit.Layers;
    Selected = unit.Selected;
    Fixed = unit.Fixed;
    Limits = unit.Limits;
    ScaleMode = unit.ScaleMode;
    SymLogConstant = unit.SymLogConstant;
    ReliefX = unit.ReliefX;
    ReliefZ = unit.ReliefZ;
    ReliefFadeTop = unit.ReliefFadeTop;
    ReliefFadeBottom = unit.ReliefFadeBottom;
    RowShifts = unit.RowShifts;
    LastCol = unit.LastCol;
    LastRow = unit.LastRow;
    CellValueAtCursor = unit.CellValueAtCursor;
    ColAnchored = unit.ColAnchored;
    // The shifts follow from the relief and the boundaries just restored.
    UpdateReliefShift();
    // One layer order entry per layer, newest first, as AddLayer keeps it.
    if (LayerOrder.Length() != Layers.Length()) {
        LayerOrder = arofintM(Layers.Length());
        for (int i = 0; i < Layers.Length(); ++i)
            LayerOrder[i] = Layers.High() - i;
    }
    CurrentLayer = LayerOrder[0];
    FloatingCells = DynArray<FloatingCell>();
    FreeFormPoints = pointarray();
    ResizeCellTables();
    UpdateExtentSeries();
    RepaintCells();
    Fire(OnChangingGrid);
    Fire(OnAfterChangingParameter);
    Fire(OnAfterChangeCB);
    return true;
}

} // namespace lp
