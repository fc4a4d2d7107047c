// The section chart's node modes: coupling, deleting, moving, uncoupling,
// adding and fixing single nodes of the shared node table, and the check
// that rolls a refused move back to the backup.

#include "section/editor/PolygonChart.h"

#include "chart/engine/PlotSeries.h"

#include <algorithm>

namespace lp {

namespace {

// Pick tolerances in pixels.
constexpr double NodePickPixels = 7.0;     // not more than: delete, move, uncouple, fix
constexpr double HoverMarkerPixels = 7.0;  // less than: couple-mode markers
constexpr double MergeSourcePixels = 5.0;  // less than: the node to couple
constexpr double MergeTargetPixels = 3.0;  // less than: the target node or edge
constexpr double AddNodeEdgePixels = 4.0;  // less than: the edge that gets a node

bool ValidNode(const Tnodes& Nodes, int Node)
{
    return Node >= 0 && Node < Nodes.Length();
}

// The picked node joined to the cursor.
void ShowNodeToCursor(TLineSeries* Series, const Tnodes& Nodes, int Node, double X, double Y)
{
    Series->Clear();
    Series->AddXY(Nodes[Node].x, Nodes[Node].y);
    Series->AddXY(X, Y);
}

// Whether the rings an edit of Body may have reshaped fit the model: those
// of Body and of the bodies split off it (appended after the BodiesBefore
// it had), or every ring when the edit touched the frame's outline, which
// bounds them all.
bool EditedBodiesFit(const AllSpolygon& Model, const Tnodes& Nodes, int Body, int BodiesBefore, bool FrameChanged)
{
    if (FrameChanged)
        return ModelFits(Model, Nodes);
    arofintM bodies{Body};
    for (int body = BodiesBefore; body < Model.Length(); ++body)
        bodies.Add(body);
    return BodiesFitModel(bodies, Model, Nodes);
}

} // namespace

void TPolygonChart::RollBackToBackup()
{
    RestoreBackup();
    RebuildMapSeries();
}

void TPolygonChart::HoverPickNode(double X, double Y, bool InteriorOnly)
{
    double plain = 0.0;
    double scaled = 0.0;
    const int node = FindNearestNode(complexM{X, Y}, Nodes, plain, ScaleX, ScaleY, scaled);
    EditPathSeries->Clear();
    if (node >= 0 && scaled <= NodePickPixels && (!InteriorOnly || Nodes[node].border == bkNone)) {
        Editing = true;
        PickNode = node;
        ShowNodeToCursor(EditPathSeries, Nodes, node, X, Y);
    } else {
        Editing = false;
        PickNode = -1;
    }
}

bool TPolygonChart::EditStepNodeModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right)
{
    const complexM cursor{X, Y};
    double plain = 0.0;
    double scaled = 0.0;
    // A pick from before the model changed (an undo, a reload) is dropped.
    if (!ValidNode(Nodes, PickNode))
        PickNode = -1;
    if (!ValidNode(Nodes, PickNode2))
        PickNode2 = -1;

    switch (Mode) {
    case pmCoupleNodes:
        if (Phase == 0) {
            if (PickNode < 0) {
                const int node = FindNearestNode(cursor, Nodes, plain, ScaleX, ScaleY, scaled);
                // Fixed and border nodes are never coupled into another node.
                if (node >= 0 && Nodes[node].fixed == 0 && Nodes[node].border == bkNone &&
                    scaled < MergeSourcePixels) {
                    Editing = true;
                    PickNode = node;
                    RubberBandSeries->Clear();
                    RubberBandSeries->AddXY(Nodes[node].x, Nodes[node].y);
                    RubberBandSeries->AddXY(Nodes[node].x, Nodes[node].y);
                    EditPathSeries->Clear();
                    EditPathSeries->AddXY(Nodes[node].x, Nodes[node].y);
                }
            }
            if (Right && PickNode >= 0) {
                const int target = FindNearestNode(cursor, Nodes, plain, ScaleX, ScaleY, scaled);
                PickNode2 = scaled < MergeTargetPixels ? target : -1;
                const bool merged = DoMergeNode(PickNode, PickNode2, X, Y);
                if (!merged) {
                    ClearEditState();
                    RollBackToBackup();
                }
                return merged;
            }
        } else if (PickNode >= 0) {
            // The target a finish would use: a node near the cursor or an edge.
            int b = -1;
            int a = -1;
            int body = -1;
            bool nearEnd = false;
            double distance = 0.0;
            const int end = FindNearestPolygonEdge(cursor, Nodes, Model, b, a, body, nearEnd, ScaleX, ScaleY, distance);
            EditPathSeries->Clear();
            if (end >= 0) {
                EditPathSeries->AddXY(Nodes[end].x, Nodes[end].y);
            } else if (a >= 0 && b >= 0 && distance < HoverMarkerPixels) {
                EditPathSeries->AddXY(Nodes[a].x, Nodes[a].y);
                EditPathSeries->AddXY(Nodes[b].x, Nodes[b].y);
            }
            if (RubberBandSeries->Count() >= 2) {
                RubberBandSeries->XValues()->SetValue(1, X);
                RubberBandSeries->YValues()->SetValue(1, Y);
                RubberBandSeries->Repaint();
            }
        } else {
            const int node = FindNearestNode(cursor, Nodes, plain, ScaleX, ScaleY, scaled);
            if (node >= 0 && scaled < HoverMarkerPixels)
                ShowNodeToCursor(EditPathSeries, Nodes, node, X, Y);
            else
                EditPathSeries->Clear();
        }
        return false;

    case pmDeleteNode:
        if (Phase == 1) {
            HoverPickNode(X, Y, false);
        } else if (Right && PickNode >= 0) {
            int body = -1;
            FindBodyOfNode(PickNode, body, Model);
            return DoDeleteNode(PickNode, body);
        }
        return false;

    case pmMoveNode:
        if (Phase == 1) {
            if (!Editing) {
                const int node = FindNearestNode(cursor, Nodes, plain, ScaleX, ScaleY, scaled);
                PickNode = node;
                EditPathSeries->Clear();
                if (node >= 0 && scaled <= NodePickPixels)
                    ShowNodeToCursor(EditPathSeries, Nodes, node, X, Y);
                else
                    PickNode = -1;
            } else if (PickNode >= 0) {
                double x = X;
                double y = Y;
                if (BorderMove)
                    ConstrainNodeToBorder(PickNode, Profile, HasProfile, Nodes, Model, y, x, ModelArea.bottom,
                                          ModelArea.top, ModelArea.right, ModelArea.left);
                Nodes[PickNode].x = x;
                Nodes[PickNode].y = y;
                RefreshMapPolygons(SelBodies, SelSubPolygons, SelIds);
                EditPathSeries->Clear();
            }
            return false;
        }
        if (!Right && PickNode >= 0 && !Editing) {
            // Picking up.
            BorderMove = false;
            if (Nodes[PickNode].fixed != 0)
                return false;
            if (Nodes[PickNode].border != bkNone) {
                double x = X;
                double y = Y;
                // False for the frame's own nodes and the bottom corners.
                BorderMove = ConstrainNodeToBorder(PickNode, Profile, HasProfile, Nodes, Model, y, x,
                                                   ModelArea.bottom, ModelArea.top, ModelArea.right, ModelArea.left);
                if (!BorderMove)
                    return false;
            }
            int body = -1;
            if (!FindBodyOfNode(PickNode, body, Model))
                return false; // a node no ring uses has nothing to drag
            Editing = true;
            PickBody = body;
            SelectSubPolygonsByNodes(arofintM{PickNode}, PickBody, Model, SelIds, SelSubPolygons, SelBodies);
            SelectionToMapIndexes();
            MoveMapPolygonsFirst(SelIds);
            return false;
        }
        if (Right && PickNode >= 0 && Editing) {
            // Dropping. A node left within the pick tolerance of another node
            // (a corner above all) could never be picked again: the other
            // one would be found in its place.
            if (FindNodeWithin(PickNode, Nodes, ScaleX, ScaleY, NodePickPixels) >= 0) {
                RollBackMove(PickBody);
                return false;
            }
            const bool surface = Nodes[PickNode].border == bkSurface;
            if (surface) {
                SortSurfaceNodes(PickNode, HasProfile, Model, Nodes);
                // The host body's rings may have been rebuilt along the
                // surface: which nodes they share changes with them.
                UpdateBodySharing(0, Model, Nodes);
            }
            const bool accepted = CheckMoveOrRollBack(arofintM{PickNode}, PickBody, false);
            if (accepted && surface)
                RebuildMapSeries(); // the sorting may have reshaped every ring along the surface
            else
                RefreshMapPolygons(SelBodies, SelSubPolygons, SelIds);
            return accepted;
        }
        return false;

    case pmUncoupleNodes:
        if (Phase == 1) {
            HoverPickNode(X, Y, false);
        } else if (Right && PickNode >= 0) {
            int body = -1;
            FindBodyOfNode(PickNode, body, Model);
            return DoSplitNode(PickNode, body);
        }
        return false;

    case pmAddNode: {
        if (Phase == 1) {
            Editing = true;
            int b = -1;
            int a = -1;
            int body = -1;
            bool nearEnd = false;
            double distance = 0.0;
            const int end = FindNearestPolygonEdge(cursor, Nodes, Model, b, a, body, nearEnd, ScaleX, ScaleY, distance);
            EditPathSeries->Clear();
            if (end >= 0 || a < 0 || b < 0 || distance >= AddNodeEdgePixels) {
                PickNode = PickNode2 = -1;
            } else {
                PickNode = a;
                PickNode2 = b;
                PickBody = body;
                EditPathSeries->AddXY(Nodes[a].x, Nodes[a].y);
                EditPathSeries->AddXY(Nodes[b].x, Nodes[b].y);
            }
        } else if (Right && PickNode >= 0 && PickNode2 >= 0) {
            return DoAddNode(PickNode, PickNode2, cursor, PickBody);
        }
        return false;
    }

    case pmFixNode:
        if (Phase == 1) {
            HoverPickNode(X, Y, true);
        } else if (Right && PickNode >= 0 && Nodes[PickNode].border == bkNone) {
            Nodes[PickNode].fixed = Nodes[PickNode].fixed != 0 ? 0 : 1;
            return true;
        }
        return false;

    default:
        return false;
    }
}

bool TPolygonChart::DoMergeNode(int Node, int Target, double X, double Y)
{
    if (!ValidNode(Nodes, Node) || (Target != -1 && !ValidNode(Nodes, Target)) || Node == Target)
        return false;
    if (Target == -1) {
        const complexM point{std::max(ModelArea.left, std::min(X, ModelArea.right)),
                             std::max(ModelArea.top, std::min(Y, ModelArea.bottom))};
        int b = -1;
        int a = -1;
        int body = -1;
        bool nearEnd = false;
        double distance = 0.0;
        const int end = FindNearestPolygonEdge(point, Nodes, Model, b, a, body, nearEnd, ScaleX, ScaleY, distance);
        // Near an end node the node itself is the target to take.
        if (end >= 0 || a < 0 || b < 0 || body < 0 || distance >= MergeTargetPixels)
            return false;
        if (!AddNodeOnEdge(a, b, body, ScaleX, ScaleY, Nodes, Model, point)) {
            RollBackToBackup();
            return false;
        }
        Target = Nodes.High();
        if (Target == Node) {
            RollBackToBackup();
            return false;
        }
    }
    int bodyA = -1;
    int bodyB = -1;
    if (!FindBodyOfNode(Node, bodyA, Model) || !FindBodyOfNode(Target, bodyB, Model)) {
        RollBackToBackup();
        return false;
    }
    // The rings through Node, as they run once it sits on Target, must not
    // cross anything.
    Nodes[Node].x = Nodes[Target].x;
    Nodes[Node].y = Nodes[Target].y;
    bool merged = CheckMovedNodes(arofintM{Node}, bodyA, Model, 0, Nodes) &&
                  MergeNodes(Node, Target, bodyA, Nodes, Model, bodyB);
    if (merged) {
        if (Node < Target)
            --Target; // the node table closed the gap Node left
        Nodes[Target].border =
            GetNodeBorderKind(Target, Model, Nodes, ModelArea.bottom, ModelArea.top, ModelArea.right, ModelArea.left);
        int body = -1;
        merged = CheckModelInvariants(Model, Nodes, &ModelArea).empty() && FindBodyOfNode(Target, body, Model) &&
                 BodiesFitModel(arofintM{body}, Model, Nodes);
    }
    if (!merged) {
        // The merge may have stopped half way: the backup has the whole model,
        // with Node at its place and any node inserted for the merge gone.
        RollBackToBackup();
        return false;
    }
    RebuildMapSeries();
    return true;
}

bool TPolygonChart::DoDeleteNode(int Node, int Body)
{
    // The frame's own nodes stay: the frame is rebuilt from the profile when
    // the area changes, and a deleted surface node would let a body's node
    // slide into the frame's index range and be dropped with it.
    const bool frameNode = Node < FrameNodes();
    const int bodiesBefore = Model.Length();
    const bool deleted = ValidNode(Nodes, Node) && !frameNode && Body >= 0 && Body < Model.Length() &&
                         DeleteNode(Node, Body, Model, Nodes) &&
                         EditedBodiesFit(Model, Nodes, Body, bodiesBefore, Body == 0);
    if (deleted)
        RebuildMapSeries();
    else
        RollBackToBackup();
    return deleted;
}

bool TPolygonChart::DoSplitNode(int Node, int Body)
{
    if (!ValidNode(Nodes, Node) || Body < 0 || Body >= Model.Length())
        return false;
    if (!SplitSharedNode(Node, Body, Model, Nodes)) {
        // Nothing to split, or the frame could not be tidied afterwards.
        RollBackToBackup();
        return false;
    }
    // The shapes are the same: the map polygons stay as they are.
    return true;
}

bool TPolygonChart::DoAddNode(int NodeA, int NodeB, complexM Point, int Body)
{
    const bool added = ValidNode(Nodes, NodeA) && ValidNode(Nodes, NodeB) && Body >= 0 && Body < Model.Length() &&
                       AddNodeOnEdge(NodeA, NodeB, Body, ScaleX, ScaleY, Nodes, Model, Point);
    if (!added) {
        RollBackToBackup();
        return false;
    }
    // A node added on the area's border or on the surface gets its kind.
    const int node = Nodes.High();
    Nodes[node].border =
        GetNodeBorderKind(node, Model, Nodes, ModelArea.bottom, ModelArea.top, ModelArea.right, ModelArea.left);
    SelectBody(Body, Model, SelIds, SelSubPolygons, SelBodies);
    SelectionToMapIndexes();
    RefreshMapPolygons(SelBodies, SelSubPolygons, SelIds);
    return true;
}

bool TPolygonChart::CheckMoveOrRollBack(const arofintM& MovedNodes, int Body, bool WholeBody)
{
    const bool movedValid =
        std::all_of(MovedNodes.begin(), MovedNodes.end(), [&](int node) { return ValidNode(Nodes, node); });
    // A moved border node reshapes the frame, which bounds every body.
    const bool frameChanged = movedValid && std::any_of(MovedNodes.begin(), MovedNodes.end(), [&](int node) {
        return Nodes[node].border != bkNone;
    });
    const bool valid = movedValid && Body >= 0 && Body < Model.Length() &&
                       CheckMovedNodes(MovedNodes, Body, Model, WholeBody ? 1 : 0, Nodes) &&
                       EditedBodiesFit(Model, Nodes, Body, Model.Length(), frameChanged);
    if (valid)
        return true;
    RollBackMove(Body);
    return false;
}

void TPolygonChart::RollBackMove(int Body)
{
    // The map is rebuilt with the restored model (a surface re-sort may have
    // reshaped rings of the host body), so the selection is taken afterwards:
    // every ring of the body, as indexes of the rebuilt map polygons.
    RollBackToBackup();
    if (Body >= 0 && Body < Model.Length()) {
        SelectBody(Body, Model, SelIds, SelSubPolygons, SelBodies);
        SelectionToMapIndexes();
        RefreshMapPolygons(SelBodies, SelSubPolygons, SelIds);
    } else {
        SelIds.Clear();
        SelBodies.Clear();
        SelSubPolygons.Clear();
    }
}

} // namespace lp
