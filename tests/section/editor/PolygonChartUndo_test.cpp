// The section chart's undo history and roll-back copy.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "chart/engine/PlotMapSeries.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

int LiveSlots(const TPolygonChart& Chart)
{
    int live = 0;
    for (int64_t sequence : Chart.UndoSequence)
        live += sequence >= 0 ? 1 : 0;
    return live;
}

// One finished edit: a new body, then the snapshot the edit modes take.
void EditAddBody(TPolygonChart& Chart)
{
    TSectionFixture::AppendBodies(Chart, 1);
    Chart.PushUndo();
}

TEST(PolygonChartUndo, TwoEditsTwoUndosGiveTheLoadedState)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    const AllSpolygon loaded = CopyAllSpolygon(chart.Model);
    const Tnodes loadedNodes = CopyNodes(chart.Nodes);
    EditAddBody(chart);
    EditAddBody(chart);
    EXPECT_EQ(LiveSlots(chart), 3);
    EXPECT_EQ(chart.Model.Length(), 3);

    chart.Undo();
    EXPECT_EQ(chart.Model.Length(), 2);
    EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), 1);
    chart.Undo();
    EXPECT_EQ(chart.Model.Length(), 1);
    EXPECT_EQ(chart.Nodes, loadedNodes);
    EXPECT_EQ(chart.Model[0][0].ring, loaded[0][0].ring);
    EXPECT_EQ(chart.MapSeries()->Shapes()->Count(), 0);
    EXPECT_FALSE(chart.UndoStepped);
    // A further undo with one live slot changes nothing.
    chart.Undo();
    EXPECT_EQ(chart.Model.Length(), 1);
    EXPECT_EQ(chart.Nodes, loadedNodes);
}

TEST(PolygonChartUndo, SingleLiveSlotRestoresItselfAndGrows)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    const Tnodes nodes = CopyNodes(chart.Nodes);
    ASSERT_EQ(chart.UndoSequence.Length(), 1);
    chart.Undo();
    EXPECT_EQ(chart.Nodes, nodes);
    EXPECT_EQ(chart.UndoSequence.Length(), 2); // the following push added a slot
    EXPECT_EQ(LiveSlots(chart), 2);
}

// The state numbers an owner compares with the state it saved: each edit
// a new one, an undo the number of the state it goes back to, so two
// undos after two edits are at the loaded state's number again; an edit
// after an undo is a state never seen before.
TEST(PolygonChartUndo, AnUndoGivesBackTheNumberOfTheStateItGoesBackTo)
{
    TPolygonChart chart;
    EXPECT_EQ(chart.UndoState(), -1);
    chart.NewModel({}, false, 0, 1000, 0, 100);
    const int64_t loaded = chart.UndoState();
    ASSERT_GE(loaded, 0);
    EditAddBody(chart);
    const int64_t once = chart.UndoState();
    EditAddBody(chart);
    const int64_t twice = chart.UndoState();
    EXPECT_NE(once, loaded);
    EXPECT_NE(twice, once);
    EXPECT_NE(twice, loaded);
    chart.Undo();
    EXPECT_EQ(chart.UndoState(), once);
    chart.Undo();
    EXPECT_EQ(chart.UndoState(), loaded);
    // Nothing left to take back: the state stays.
    chart.Undo();
    EXPECT_EQ(chart.UndoState(), loaded);
    EditAddBody(chart);
    EXPECT_NE(chart.UndoState(), loaded);
    EXPECT_NE(chart.UndoState(), once);
    EXPECT_NE(chart.UndoState(), twice);
}

TEST(PolygonChartUndo, TheTwentySixthPushOverwritesTheOldest)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    for (int i = 1; i < 25; ++i)
        chart.PushUndo();
    ASSERT_EQ(chart.UndoSequence.Length(), 25);
    EXPECT_EQ(chart.UndoSequence[0], 0);
    chart.PushUndo();
    EXPECT_EQ(chart.UndoSequence.Length(), 25);
    EXPECT_EQ(chart.UndoSequence[0], 25); // slot 0 held the oldest
    chart.PushUndo();
    EXPECT_EQ(chart.UndoSequence[1], 26);
}

TEST(PolygonChartUndo, FreeSlotsAreTakenBeforeLiveOnes)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    for (int i = 1; i < 25; ++i)
        EditAddBody(chart);
    ASSERT_EQ(chart.UndoSequence.Length(), 25);
    chart.Undo(); // frees two slots, pushes into the first free one
    int free = -1;
    for (int i = 0; i < 25; ++i)
        if (chart.UndoSequence[i] < 0)
            free = i;
    ASSERT_GE(free, 0);
    chart.PushUndo();
    EXPECT_GE(chart.UndoSequence[free], 0);
    EXPECT_EQ(chart.UndoSequence[0], 0); // the oldest live slot is kept
}

TEST(PolygonChartUndo, SequenceNumbersDoNotRunOut)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    for (int i = 1; i < 25; ++i)
        chart.PushUndo();
    // Far past the old bound of 100000: the oldest still goes first.
    for (int i = 0; i < 25; ++i)
        chart.UndoSequence[i] = 200000 + i;
    chart.PushUndo();
    EXPECT_EQ(chart.UndoSequence[0], 200025);
    chart.PushUndo();
    EXPECT_EQ(chart.UndoSequence[1], 200026);
}

// The owner's state with each slot: a number, replaced by a new value on
// each change of its own.
struct TNumberState : TUndoAttachment {
    explicit TNumberState(int AValue) : Value(AValue) {}
    int Value;
};

// Each undo gives the owner back the attachment recorded with the state it
// restores, exactly when the step undone changed it, also once the ring has
// dropped its oldest states. A value the present slot takes afterwards (as
// a read settles it) stays through the undo of a later edit.
TEST(PolygonChartUndo, AttachmentsComeBackWithTheirStatesWhereTheStepChangedThem)
{
    TPolygonChart chart;
    auto owner = std::make_shared<const TNumberState>(0);
    std::vector<int> restored;
    chart.OnCaptureUndoAttachment = [&owner] { return owner; };
    chart.OnRestoreUndoAttachment = [&](const TUndoAttachmentPtr& Attachment) {
        owner = std::dynamic_pointer_cast<const TNumberState>(Attachment);
        ASSERT_NE(owner, nullptr);
        restored.push_back(owner->Value);
    };
    chart.NewModel({}, false, 0, 1000, 0, 100);
    // Thirty steps, every third a change of the owner's state alone: the
    // bodies and the owner's value of each state.
    std::vector<std::pair<int, int>> states{{chart.Model.Length(), 0}};
    for (int step = 1; step <= 30; ++step) {
        if (step % 3 == 0) {
            owner = std::make_shared<const TNumberState>(step);
            chart.PushUndo();
        } else {
            EditAddBody(chart);
        }
        states.emplace_back(chart.Model.Length(), owner->Value);
    }
    // The ring keeps the last 25 states: 24 undos reach the oldest kept.
    for (int undo = 1; undo <= 24; ++undo) {
        restored.clear();
        const int value = owner->Value;
        chart.Undo();
        const auto& [bodies, expected] = states[states.size() - 1 - static_cast<size_t>(undo)];
        EXPECT_EQ(chart.Model.Length(), bodies) << "undo " << undo;
        EXPECT_EQ(owner->Value, expected) << "undo " << undo;
        EXPECT_EQ(restored, expected == value ? std::vector<int>{} : std::vector<int>{expected}) << "undo " << undo;
    }
    restored.clear();
    chart.Undo();
    EXPECT_TRUE(restored.empty());

    EditAddBody(chart);
    const TUndoAttachmentPtr recorded = owner;
    EditAddBody(chart);
    owner = std::make_shared<const TNumberState>(100);
    chart.RetakeUndoAttachment(); // the present slot holds it
    EditAddBody(chart);
    chart.Undo();
    EXPECT_EQ(owner->Value, 100);
    chart.Undo();
    EXPECT_EQ(owner, recorded);
}

TEST(PolygonChartUndo, UndoBringsBackTheAreaAndTheAxes)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    chart.SetModelArea(false, 0, 2000, 0, 300);
    chart.PushUndo();
    chart.Undo();
    EXPECT_DOUBLE_EQ(chart.ModelArea.right, 1000);
    EXPECT_DOUBLE_EQ(chart.BottomAxis()->Maximum(), 1000);
    EXPECT_DOUBLE_EQ(chart.LeftAxis()->Maximum(), 100);
}

TEST(PolygonChartUndo, UndoTakesAFreshBackupAndClearsTheEdit)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    EditAddBody(chart);
    chart.Editing = true;
    chart.PickNode = 5;
    chart.Undo();
    EXPECT_FALSE(chart.Editing);
    EXPECT_EQ(chart.PickNode, -1);
    // A refused edit now rolls back to the undone-to state, not to the
    // state before the undo.
    EditAddBody(chart);
    chart.RestoreBackup();
    EXPECT_EQ(chart.Model.Length(), 2);
}

TEST(PolygonChartUndo, BackupAndRestore)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    chart.ModelBackup.Clear();
    chart.NodesBackup.Clear();
    TSectionFixture::AppendBodies(chart, 1); // takes a backup
    chart.NodesBackup.Clear();
    const int bodies = chart.Model.Length();
    chart.RestoreBackup(); // an empty node backup restores nothing
    EXPECT_EQ(chart.Model.Length(), bodies);
    chart.TakeBackup();
    chart.Nodes[5].x += 1;
    chart.Model.Delete(1);
    chart.RestoreBackup();
    EXPECT_EQ(chart.Model.Length(), bodies);
    EXPECT_EQ(chart.Nodes, chart.NodesBackup);
}

TEST(PolygonChartUndo, LinesComeBackWithNewSeries)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    line record;
    record.points = {{0, 0}, {10, 10}};
    chart.Lines.Add(record);
    chart.BuildLineSeries();
    chart.PushUndo();
    chart.Lines.Delete(0);
    chart.PushUndo();
    chart.Undo();
    ASSERT_EQ(chart.Lines.Length(), 1);
    ASSERT_NE(chart.Lines[0].series, nullptr);
    EXPECT_EQ(chart.Lines[0].series->Count(), 2);
}

// An area applied again can still change the model: here the frame's
// surface node, listed after a body's nodes, comes first again. That is an
// edit like any other: one undo step takes it back, and applying the area
// once more, with nothing left to change, records nothing.
TEST(PolygonChartUndo, AnAreaChangeThatAltersOnlyTheModelIsOneStep)
{
    TPolygonChart chart;
    chart.NewModel({{0, 0}, {500, 20}, {1000, 0}}, true, 0, 1000, 0, 200);
    ASSERT_EQ(chart.Nodes.Length(), 5); // the corners and the crest at 500
    TSectionFixture::AppendBodies(chart, 1, 40, 80);
    // The crest listed last: nodes 5..8 (the body) move down to 4..7.
    const Tnode crest = chart.Nodes[4];
    chart.Nodes.Delete(4);
    chart.Nodes.Add(crest);
    for (SPolygon& rings : chart.Model)
        for (Polygon& ring : rings)
            for (int32_t& index : ring.ring)
                index = index == 4 ? chart.Nodes.High() : index > 4 ? index - 1 : index;
    ASSERT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
    chart.ClearUndoHistory();
    chart.PushUndo();
    const Tnodes listed = CopyNodes(chart.Nodes);
    const arofintM body = chart.Model[1][0].ring;

    const TModelArea before = chart.ModelArea;
    chart.SetModelArea(false, before.left, before.right, before.top, before.bottom);
    EXPECT_EQ(chart.Nodes[4], crest);
    EXPECT_TRUE(CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea).empty());
    EXPECT_TRUE(chart.FinishAreaEdit(before));
    EXPECT_EQ(LiveSlots(chart), 2);

    chart.SetModelArea(false, before.left, before.right, before.top, before.bottom);
    EXPECT_FALSE(chart.FinishAreaEdit(before));
    EXPECT_EQ(LiveSlots(chart), 2);

    chart.Undo();
    EXPECT_EQ(chart.Nodes, listed);
    EXPECT_EQ(chart.Model[1][0].ring, body);
}

} // namespace
} // namespace lp
