#include "section/views/Section2D.h"

#include "tests/section/views/ViewsTestUtil.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lp {
namespace {

using test::EvenBounds;
using test::FillMesh;

using Counters = std::array<int32_t, undo::SlotCount>;

TEST(MeshUndoRing, ANewChartFillsTheSlotsInOrderAndThenOverwritesTheOldest)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(2, 1), EvenBounds(2, 1));
    EXPECT_EQ(chart.UndoStore.Counters, Counters{});
    EXPECT_FALSE(chart.UndoStore.Recorded);

    for (int i = 0; i < 10; ++i) {
        chart.ScaleMin = i;
        chart.RecordUndo(chart.UndoStore);
    }
    EXPECT_TRUE(chart.UndoStore.Recorded);
    EXPECT_EQ(chart.UndoStore.Counters, (Counters{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(chart.UndoStore.Slots[i].ScaleMin, i);

    chart.ScaleMin = 100;
    chart.RecordUndo(chart.UndoStore);
    chart.ScaleMin = 101;
    chart.RecordUndo(chart.UndoStore);
    EXPECT_EQ(chart.UndoStore.Counters, (Counters{11, 12, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(chart.UndoStore.Slots[0].ScaleMin, 100) << "the eleventh recording takes the first one's slot";
    EXPECT_EQ(chart.UndoStore.Slots[1].ScaleMin, 101);
    EXPECT_EQ(chart.UndoStore.Slots[2].ScaleMin, 2);
}

TEST(MeshUndoRing, EmptySlotsAreFilledBeforeTheOldestIsOverwritten)
{
    TTModelSection2d chart;
    undo store;
    store.Counters = {5, -1, 3, -1, -1, -1, -1, -1, -1, -1};
    chart.RecordUndo(store);
    EXPECT_EQ(store.Counters, (Counters{5, 6, 3, -1, -1, -1, -1, -1, -1, -1}));

    undo empty;
    empty.Counters.fill(-1);
    chart.RecordUndo(empty);
    EXPECT_EQ(empty.Counters[0], 0) << "an all-empty ring starts at 0";

    // Equally old slots: the first of them goes.
    undo tied;
    tied.Counters = {7, 4, 9, 4, 8, 10, 11, 12, 13, 14};
    chart.RecordUndo(tied);
    EXPECT_EQ(tied.Counters[1], 15);
    EXPECT_EQ(tied.Counters[3], 4);
}

TEST(MeshUndoRing, ASnapshotIsAnIndependentCopyWithEveryPerCellTable)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(3, 2), EvenBounds(2, 1));
    chart.AddLayer();
    double v = 42;
    chart.SetCellValue(1, 1, v);
    chart.Selected[2][0] = 1;
    chart.Fixed[0][1] = 1;
    chart.Limits[0][1] = {3, 4};
    chart.ColAnchored[1] = 1;
    chart.CellValueAtCursor = 8;
    chart.StoreSnapshot(chart.UndoStore, 4);

    chart.ThinColumns();
    chart.Selected[0][0] = 1;
    chart.Layers[0][0][0] = 9;

    const undounit& unit = chart.UndoStore.Slots[4];
    EXPECT_EQ(unit.ColBounds, EvenBounds(3, 2));
    EXPECT_EQ(unit.RowBounds, EvenBounds(2, 1));
    EXPECT_EQ(unit.LastCol, 2);
    EXPECT_EQ(unit.LastRow, 1);
    EXPECT_EQ(unit.ColAnchored, (arofboolM{0, 1, 0, 0}));
    EXPECT_EQ(unit.CellValueAtCursor, 8);
    ASSERT_EQ(unit.Layers.Length(), 2);
    EXPECT_EQ(unit.Layers[1][1][1], 42);
    EXPECT_EQ(unit.Layers[0][0][0], chart.HalfSpaceValue);
    // The tables an owner writes back must have the snapshot's mesh size.
    for (const auto* table : {&unit.Selected, &unit.Fixed}) {
        ASSERT_EQ(table->Length(), 3);
        for (const arofboolM& column : *table)
            EXPECT_EQ(column.Length(), 2);
    }
    ASSERT_EQ(unit.Limits.Length(), 3);
    EXPECT_EQ(unit.Limits[2].Length(), 2);
    EXPECT_EQ(unit.Selected[2][0], 1);
    EXPECT_EQ(unit.Selected[0][0], 0);
    EXPECT_EQ(unit.Fixed[0][1], 1);
    EXPECT_EQ(unit.Limits[0][1], (complexM{3, 4}));
    EXPECT_EQ(chart.UndoStore.Counters, Counters{}) << "a snapshot alone counts nothing";
}

TEST(MeshUndoRing, ASlotOutsideTheRingRaises)
{
    TTModelSection2d chart;
    EXPECT_THROW(chart.StoreSnapshot(chart.UndoStore, 10), std::out_of_range);
    EXPECT_THROW(chart.StoreSnapshot(chart.UndoStore, -1), std::out_of_range);
}

} // namespace
} // namespace lp
