// The section chart's sub-polygon and body modes: deleting and uncoupling
// the sub-polygon under the cursor, and dragging the free nodes of a whole
// body or of one sub-polygon.

#include "section/editor/PolygonChart.h"

#include <algorithm>

namespace lp {

namespace {

bool ValidRing(const AllSpolygon& Model, int Body, int Sub)
{
    return Body >= 0 && Body < Model.Length() && Sub >= 0 && Sub < Model[Body].Length();
}

} // namespace

bool TPolygonChart::EditStepBodyModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right)
{
    if (Mode != pmDeleteSubPolygon && Mode != pmUncoupleSubPolygon && Mode != pmMovePolygon &&
        Mode != pmMoveSubPolygon)
        return false;
    // A pick from before the model changed (an undo, a reload) is dropped.
    if (PickBody >= 0 && !ValidRing(Model, PickBody, PickSubPolygon)) {
        PickBody = PickSubPolygon = -1;
        Editing = false;
    }
    // So is a move whose nodes are no longer in the node table.
    if (Editing && (Mode == pmMovePolygon || Mode == pmMoveSubPolygon) &&
        std::any_of(SelNodes.begin(), SelNodes.end(), [&](int node) { return node < 0 || node >= Nodes.Length(); }))
        Editing = false;

    if (Phase == 1) {
        const bool moving = (Mode == pmMovePolygon || Mode == pmMoveSubPolygon) && Editing;
        if (!moving) {
            // The handlers keep the cursor point equal to (X, Y).
            CursorPoint = complexM{X, Y};
            HoverHighlightSubPolygon();
            return false;
        }
        const double dx = X - DragAnchorX;
        const double dy = Y - DragAnchorY;
        for (int node : SelNodes) {
            Nodes[node].x += dx;
            Nodes[node].y += dy;
        }
        RefreshMapPolygons(SelBodies, SelSubPolygons, SelIds);
        DragAnchorX = X;
        DragAnchorY = Y;
        return false;
    }

    if (PickBody < 0 || IsHostRing(PickBody, PickSubPolygon))
        return false;

    switch (Mode) {
    case pmDeleteSubPolygon:
        return Right && DoDeleteSubPolygon(PickSubPolygon, PickBody);
    case pmUncoupleSubPolygon:
        return Right && DoUncoupleSubPolygon(PickSubPolygon, PickBody);
    default:
        break;
    }

    // pmMovePolygon, pmMoveSubPolygon.
    if (Right) {
        if (!Editing)
            return false;
        // Dropping: a refused drop is back at the backup and ends the move.
        const bool accepted =
            CheckMoveOrRollBack(SelNodes, PickBody, Mode == pmMovePolygon ? BodyMovesWhole : false);
        if (!accepted)
            RefreshMapPolygons(SelBodies, SelSubPolygons, SelIds);
        Editing = false;
        return accepted;
    }
    // Picking up: only free nodes move; fixed and border nodes stay, so the
    // rings stretch towards them.
    Editing = true;
    bool allFree = true;
    if (Mode == pmMovePolygon) {
        CollectBodyNodes(true, PickBody, Model, SelNodes, allFree, Nodes);
        BodyMovesWhole = allFree;
    } else {
        CollectSubPolygonNodes(true, PickBody, PickSubPolygon, SelNodes, allFree, Nodes, Model);
    }
    SelectSubPolygonsByNodes(SelNodes, PickBody, Model, SelIds, SelSubPolygons, SelBodies);
    SelectionToMapIndexes();
    MoveMapPolygonsFirst(SelIds);
    DragAnchorX = X;
    DragAnchorY = Y;
    return false;
}

bool TPolygonChart::DoDeleteSubPolygon(int SubPolygon, int Body)
{
    const bool deleted = ValidRing(Model, Body, SubPolygon) && !IsHostRing(Body, SubPolygon) &&
                         DeleteSubPolygon(SubPolygon, Body, Model, Nodes);
    if (deleted)
        RebuildMapSeries();
    else
        RollBackToBackup();
    return deleted;
}

bool TPolygonChart::DoUncoupleSubPolygon(int SubPolygon, int Body)
{
    if (!ValidRing(Model, Body, SubPolygon) || IsHostRing(Body, SubPolygon))
        return false;
    if (!UncoupleSubPolygon(SubPolygon, Body, Model, Nodes)) {
        RollBackToBackup();
        return false;
    }
    // The shapes are the same: the map polygons stay as they are.
    return true;
}

} // namespace lp
