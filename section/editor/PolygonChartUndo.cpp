// The section chart's undo history and its roll-back copy.

#include "section/editor/PolygonChart.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotMapSeries.h"

#include <optional>

namespace lp {

namespace {

constexpr int64_t FreeSlot = -1;

} // namespace

void TPolygonChart::ClearUndoHistory()
{
    UndoModels.Clear();
    UndoNodes.Clear();
    UndoLines.Clear();
    UndoAreas.Clear();
    UndoAttachments.Clear();
    UndoSequence.Clear();
    UndoStates.Clear();
    ModelBackup.Clear();
    NodesBackup.Clear();
}

bool TPolygonChart::ChangeFromOutside(const std::function<bool()>& Change)
{
    ResetEditMode();
    if (!Change())
        return false;
    RebuildMapSeries();
    PushUndo();
    TakeBackup();
    ChangeNotify();
    return true;
}

void TPolygonChart::PushUndo()
{
    RecordUndoSlot(OnCaptureUndoAttachment ? OnCaptureUndoAttachment() : TUndoAttachmentPtr());
}

int TPolygonChart::NewestUndoSlot() const
{
    int newest = -1;
    for (int i = 0; i < UndoSequence.Length(); ++i)
        if (UndoSequence[i] != FreeSlot && (newest < 0 || UndoSequence[i] > UndoSequence[newest]))
            newest = i;
    return newest;
}

int64_t TPolygonChart::UndoState() const
{
    const int newest = NewestUndoSlot();
    return newest < 0 ? -1 : UndoStates[newest];
}

void TPolygonChart::RetakeUndoAttachment()
{
    const int newest = NewestUndoSlot();
    if (newest >= 0)
        UndoAttachments[newest] = OnCaptureUndoAttachment ? OnCaptureUndoAttachment() : TUndoAttachmentPtr();
}

void TPolygonChart::RecordUndoSlot(TUndoAttachmentPtr Attachment, int64_t State)
{
    int64_t newest = FreeSlot;
    for (int64_t sequence : UndoSequence)
        newest = std::max(newest, sequence);
    int target = 0;
    if (UndoSequence.Length() < UndoDepth) {
        target = UndoSequence.Length();
        const int length = target + 1;
        UndoModels.SetLength(length);
        UndoNodes.SetLength(length);
        UndoLines.SetLength(length);
        UndoAreas.SetLength(length);
        UndoAttachments.SetLength(length);
        UndoSequence.SetLength(length);
        UndoStates.SetLength(length);
    } else {
        // The oldest slot goes; free slots (-1) come first. Sequence numbers
        // are 64-bit and never run out.
        for (int i = 1; i < UndoSequence.Length(); ++i)
            if (UndoSequence[i] < UndoSequence[target])
                target = i;
    }
    UndoSequence[target] = newest + 1;
    UndoModels[target] = CopyAllSpolygon(Model);
    UndoNodes[target] = CopyNodes(Nodes);
    UndoLines[target] = CopyLines(Lines);
    UndoAreas[target] = ModelArea;
    UndoAttachments[target] = std::move(Attachment);
    UndoStates[target] = State >= 0 ? State : FNextUndoState++;
    UndoStepped = false;
    FAreaAlteredModel = false; // the record holds what the area change did
}

void TPolygonChart::Undo()
{
    // The attachment of the first slot restored (the present state) and of
    // the last (the state undone to).
    std::optional<TUndoAttachmentPtr> undone;
    TUndoAttachmentPtr restored;
    int64_t restoredState = -1;
    for (;;) {
        const int newest = NewestUndoSlot();
        if (newest < 0)
            return;
        int live = 0;
        for (int64_t sequence : UndoSequence)
            live += sequence != FreeSlot ? 1 : 0;
        Model = CopyAllSpolygon(UndoModels[newest]);
        Nodes = CopyNodes(UndoNodes[newest]);
        FreeLineSeries(Lines);
        Lines = CopyLines(UndoLines[newest]);
        ModelArea = UndoAreas[newest];
        restored = UndoAttachments[newest];
        restoredState = UndoStates[newest];
        if (!undone)
            undone = restored;
        if (live > 1)
            UndoSequence[newest] = FreeSlot;
        if (UndoStepped)
            break;
        // The newest slot held the present state; the second pass reaches
        // the state before it.
        UndoStepped = true;
    }
    if (*undone != restored && OnRestoreUndoAttachment)
        OnRestoreUndoAttachment(restored);
    // The restored state keeps its own attachment, whatever the owner's
    // capture would make of it, and its number.
    RecordUndoSlot(std::move(restored), restoredState);
    // The axes follow the restored area (the area alone would leave them on
    // the undone one).
    ShowAreaOnAxes();
    RebuildMapSeries();
    BuildLineSeries();
    UpdateAxisScales();
    TakeBackup();
    ClearEditState();
}

void TPolygonChart::TakeBackup()
{
    ModelBackup = CopyAllSpolygon(Model);
    NodesBackup = CopyNodes(Nodes);
}

void TPolygonChart::RestoreBackup()
{
    if (NodesBackup.Empty())
        return;
    Model = CopyAllSpolygon(ModelBackup);
    Nodes = CopyNodes(NodesBackup);
}

} // namespace lp
