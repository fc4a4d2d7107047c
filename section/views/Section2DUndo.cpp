// The mesh chart's ring of undo snapshots.

#include "section/views/Section2D.h"

#include <algorithm>

namespace lp {

namespace {

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
    unit.LastCol = LastCol;
    unit.LastRow = LastRow;
    unit.CellValueAtCursor = CellValueAtCursor;
    unit.ReliefShift = ReliefShift;
    unit.ColAnchored = ColAnchored;
}

} // namespace lp
