// The section chart's polygon drawing and dividing modes: drawing a new
// body, drawing a sub-polygon against a body's outline, and cutting a
// sub-polygon in two along a chord between two of its boundary points.
//
// Pick distances are in pixels (ScaleX, ScaleY). Every pick that starts
// something sets Editing, so a mode change before the finishing right press
// rolls the model back to the backup, including a node inserted on an edge
// for the start.

#include "section/editor/PolygonChart.h"

#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"
#include "platform/ui/Dialogs.h"

namespace lp {

namespace {

constexpr double SubPolygonStartDistance = 5.0; // start of a sub-polygon on an edge (less than)
constexpr double EdgePickDistance = 3.0;        // end of a sub-polygon, both ends of a division

// Strictly inside the area: presses on its border add nothing.
bool InsideModelArea(const TModelArea& Area, double X, double Y)
{
    return Area.left < X && X < Area.right && Area.top < Y && Y < Area.bottom;
}

// Moves point Index of a drawing aid; nothing when the series is shorter.
void SetSeriesPoint(TLineSeries& Series, int Index, const complexM& Point)
{
    if (Index < 0 || Index >= Series.Count())
        return;
    Series.XValues()->SetValue(Index, Point.re);
    Series.YValues()->SetValue(Index, Point.im);
    Series.Repaint();
}

void AddSeriesPoint(TLineSeries& Series, const complexM& Point)
{
    Series.AddXY(Point.re, Point.im);
}

void DeleteLastSeriesPoint(TLineSeries& Series)
{
    if (Series.Count() > 0)
        Series.Delete(Series.Count() - 1);
}

// The nearest edge as the two edge searches report it.
struct TEdgePick {
    int Node = -1; // the end node the cursor is near, -1 when none
    int A = -1;
    int B = -1;
    int Body = -1;
    bool NearEnd = false;
    double Distance = 0.0;

    bool Found() const { return A >= 0; }
    bool NearNode() const { return NearEnd && Node >= 0; }
};

// Whether the edge that closes the drawn path, from its last point back to
// its first, crosses the path itself (each new segment was tested against
// the earlier ones when it was drawn, but this one never is).
bool ClosingEdgeCrossesPath(const arofcomplexM& Points)
{
    arofcomplexM closed = Points;
    closed.Add(Points[0]);
    return PolylineCrossesItself(Points[0], closed);
}

TEdgePick PickFreeEdge(const TPolygonChart& Chart, const complexM& Point)
{
    TEdgePick pick;
    pick.Node = FindNearestFreePolygonEdge(Point, Chart.Nodes, Chart.Model, pick.B, pick.A, pick.Body, pick.NearEnd,
                                           Chart.ScaleX, Chart.ScaleY, pick.Distance);
    return pick;
}

TEdgePick PickAnyEdge(const TPolygonChart& Chart, const complexM& Point)
{
    TEdgePick pick;
    pick.Node = FindNearestPolygonEdge(Point, Chart.Nodes, Chart.Model, pick.B, pick.A, pick.Body, pick.NearEnd,
                                       Chart.ScaleX, Chart.ScaleY, pick.Distance);
    return pick;
}

} // namespace

bool TPolygonChart::EditStepPolygonModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right)
{
    bool result = false;
    const complexM cursor{X, Y};

    if (Mode == pmAddPolygon) {
        if (Phase == 0) {
            if (!InsideModelArea(ModelArea, X, Y))
                return false;
            DrawnPoints.Add(cursor);
            if (CheckDrawnPolyline(DrawnPoints, Model, Nodes, false) == 0) {
                // The point would make the path meet the model or itself.
                DrawnPoints.Delete(DrawnPoints.High());
            } else {
                Editing = true;
                AddSeriesPoint(*EditPathSeries, cursor);
                if (DrawnPoints.Length() == 1)
                    for (int i = 0; i < 3; ++i)
                        AddSeriesPoint(*RubberBandSeries, cursor);
                if (Right) {
                    if (CheckDrawnPolyline(DrawnPoints, Model, Nodes, true) != 0 &&
                        !ClosingEdgeCrossesPath(DrawnPoints)) {
                        result = DoAddPolygon(DrawnPoints);
                    } else {
                        // The closing edge would cross something: drawing goes on.
                        DrawnPoints.Delete(DrawnPoints.High());
                        DeleteLastSeriesPoint(*EditPathSeries);
                    }
                }
            }
            if (!DrawnPoints.Empty()) {
                SetSeriesPoint(*RubberBandSeries, 0, DrawnPoints[0]);
                SetSeriesPoint(*RubberBandSeries, 2, DrawnPoints.Last());
            }
        } else if (Phase == 1) {
            if (RubberBandSeries->Count() >= 2)
                SetSeriesPoint(*RubberBandSeries, 1, cursor);
        }
        return result;
    }

    if (Mode == pmAddSubPolygon) {
        if (Phase == 0) {
            // A path point outside the area (or on its border) is refused like
            // a crossing one: from a node on the frame nothing else stops it,
            // and the ring would lie outside the section.
            if (PickNode >= 0 && !Right && InsideModelArea(ModelArea, X, Y)) {
                DrawnPoints.Add(cursor);
                if (CheckDrawnPolyline(DrawnPoints, Model, Nodes, false) == 0)
                    DrawnPoints.Delete(DrawnPoints.High());
                else
                    AddSeriesPoint(*EditPathSeries, cursor);
            }
            if (PickNode < 0) {
                // Choosing the start: a node or a point of a free edge.
                const TEdgePick pick = PickFreeEdge(*this, cursor);
                if (pick.Found()) {
                    if (pick.NearNode()) {
                        Editing = true;
                        PickBody = pick.Body;
                        PickNode = pick.Node;
                    } else if (pick.Distance < SubPolygonStartDistance &&
                               AddNodeOnEdge(pick.A, pick.B, pick.Body, ScaleX, ScaleY, Nodes, Model, cursor)) {
                        Editing = true;
                        PickBody = pick.Body;
                        PickNode = Nodes.High();
                    }
                    if (PickNode >= 0) {
                        const complexM start = NodePoint(Nodes, PickNode);
                        DrawnPoints = arofcomplexM{start};
                        AddSeriesPoint(*EditPathSeries, start);
                    }
                }
            }
            if (Right && PickNode >= 0) {
                // Finishing on a node or a free edge of the start's body.
                const TEdgePick pick = PickFreeEdge(*this, cursor);
                if (pick.Found() && pick.Body == PickBody) {
                    if (pick.NearNode()) {
                        PickNode2 = pick.Node;
                        const complexM end = NodePoint(Nodes, PickNode2);
                        DrawnPoints.Add(end);
                        // The last segment must not cross the model either.
                        result = CheckDrawnPolyline(DrawnPoints, Model, Nodes, false) != 0 &&
                                 DoAddSubPolygon(PickNode, PickNode2, DrawnPoints, PickBody);
                        if (result) {
                            AddSeriesPoint(*EditPathSeries, end);
                        } else {
                            RestoreBackup();
                            RebuildMapSeries();
                            ClearEditState();
                        }
                    } else if (pick.Distance < EdgePickDistance) {
                        bool added = AddNodeOnEdge(pick.A, pick.B, pick.Body, ScaleX, ScaleY, Nodes, Model, cursor);
                        if (added) {
                            PickNode2 = Nodes.High();
                            DrawnPoints.Add(NodePoint(Nodes, PickNode2));
                            result = CheckDrawnPolyline(DrawnPoints, Model, Nodes, false) != 0 &&
                                     DoAddSubPolygon(PickNode, PickNode2, DrawnPoints, PickBody);
                        }
                        if (result) {
                            AddSeriesPoint(*EditPathSeries, NodePoint(Nodes, PickNode2));
                        } else {
                            // Also removes the node inserted for the end.
                            RestoreBackup();
                            RebuildMapSeries();
                            ClearEditState();
                        }
                    }
                }
            }
            if (DrawnPoints.Length() == 1 && RubberBandSeries->Count() == 0) {
                AddSeriesPoint(*RubberBandSeries, DrawnPoints[0]);
                AddSeriesPoint(*RubberBandSeries, DrawnPoints[0]);
            } else if (DrawnPoints.Length() > 1 && RubberBandSeries->Count() > 0) {
                SetSeriesPoint(*RubberBandSeries, 0, DrawnPoints.Last());
            }
        } else if (Phase == 1) {
            if (!DrawnPoints.Empty())
                SetSeriesPoint(*RubberBandSeries, 1, cursor);
        }
        return result;
    }

    if (Mode == pmDividePolygon) {
        if (Phase == 0) {
            if (PickNode < 0) {
                // Choosing the start: a node or a point of any ring's edge.
                const TEdgePick pick = PickAnyEdge(*this, cursor);
                if (pick.Found()) {
                    if (pick.NearNode()) {
                        Editing = true;
                        PickBody = pick.Body;
                        PickNode = pick.Node;
                    } else if (pick.Distance < EdgePickDistance &&
                               AddNodeOnEdge(pick.A, pick.B, pick.Body, ScaleX, ScaleY, Nodes, Model, cursor)) {
                        Editing = true;
                        PickBody = pick.Body;
                        PickNode = Nodes.High();
                    }
                    if (PickNode >= 0) {
                        const complexM start = NodePoint(Nodes, PickNode);
                        AddSeriesPoint(*RubberBandSeries, start);
                        AddSeriesPoint(*RubberBandSeries, start);
                        AddSeriesPoint(*EditPathSeries, start);
                    }
                }
            }
            if (Right && PickNode >= 0) {
                const TEdgePick pick = PickAnyEdge(*this, cursor);
                if (pick.Found() && pick.Body == PickBody) {
                    if (pick.NearNode()) {
                        PickNode2 = pick.Node;
                        result = DoDividePolygon(PickNode, PickNode2, PickBody);
                        if (!result)
                            ClearEditState();
                    } else if (pick.Distance < EdgePickDistance &&
                               AddNodeOnEdge(pick.A, pick.B, pick.Body, ScaleX, ScaleY, Nodes, Model, cursor)) {
                        PickNode2 = Nodes.High();
                        result = DoDividePolygon(PickNode, PickNode2, PickBody);
                        if (!result)
                            ClearEditState();
                    }
                }
            }
        } else if (Phase == 1) {
            if (PickNode >= 0)
                SetSeriesPoint(*RubberBandSeries, 1, cursor);
            // What a press here would pick: a node, or an edge's two nodes.
            const TEdgePick pick = PickAnyEdge(*this, cursor);
            EditPathSeries->Clear();
            if (pick.Found()) {
                if (pick.NearNode()) {
                    AddSeriesPoint(*EditPathSeries, NodePoint(Nodes, pick.Node));
                } else if (pick.Distance < EdgePickDistance) {
                    AddSeriesPoint(*EditPathSeries, NodePoint(Nodes, pick.A));
                    AddSeriesPoint(*EditPathSeries, NodePoint(Nodes, pick.B));
                }
            }
        }
        return result;
    }

    return false;
}

bool TPolygonChart::DoAddPolygon(arofcomplexM Points)
{
    // Body 0 is the host medium with the frame: without it a new body would
    // take its place and the drawn ring would become the frame.
    if (Model.Empty())
        return false;
    // AddPolygon changes nothing when it refuses; the copies make that hold
    // for this chart whatever the refusal.
    AllSpolygon keptModel = CopyAllSpolygon(Model);
    Tnodes keptNodes = CopyNodes(Nodes);
    if (!AddPolygon(Points, Model, Nodes)) {
        Model = std::move(keptModel);
        Nodes = std::move(keptNodes);
        return false;
    }
    AddMapPolygon(Model.High(), Model.Last().High());
    return true;
}

bool TPolygonChart::DoAddSubPolygon(int StartNode, int EndNode, arofcomplexM Points, int Body)
{
    bool result = false;
    // A path from a node back to itself closes nothing; nodes and body must exist.
    const bool sound = StartNode != EndNode && StartNode >= 0 && StartNode < Nodes.Length() && EndNode >= 0 &&
                       EndNode < Nodes.Length() && Body >= 0 && Body < Model.Length() && Points.Length() >= 2;
    if (sound && Body >= 1) {
        result = AddSubPolygon(StartNode, EndNode, Body, false, Nodes, Model, Points);
    } else if (sound) {
        // The host medium: the path closes one of two rings against the
        // frame; the user chooses.
        const arofcomplexM keptPoints = CopyComplexArray(Points);
        const Tnodes keptNodes = CopyNodes(Nodes);
        const AllSpolygon keptModel = CopyAllSpolygon(Model);
        arofcomplexM points = CopyComplexArray(keptPoints);
        result = AddSubPolygonWithBorders(StartNode, EndNode, 0, false, Nodes, Model, points, ModelArea.bottom,
                                          ModelArea.top, ModelArea.right, ModelArea.left);
        int answer = mrYes;
        if (result) {
            RebuildMapSeries();
            answer = MessageDlg(QStringLiteral("Correct polygon?"), TMsgDlgType::mtConfirmation, mbYes | mbNo);
        }
        if (!result || answer == mrNo) {
            Nodes = CopyNodes(keptNodes);
            Model = CopyAllSpolygon(keptModel);
            points = CopyComplexArray(keptPoints);
            result = AddSubPolygonWithBorders(StartNode, EndNode, 0, true, Nodes, Model, points, ModelArea.bottom,
                                              ModelArea.top, ModelArea.right, ModelArea.left);
        }
    }
    if (!result)
        RestoreBackup();
    RebuildMapSeries();
    return result;
}

bool TPolygonChart::DoDividePolygon(int NodeA, int NodeB, int Body)
{
    int id = -1;
    const bool sound = NodeA >= 0 && NodeA < Nodes.Length() && NodeB >= 0 && NodeB < Nodes.Length() && Body >= 0 &&
                       Body < Model.Length();
    // A chord through a vertex of the ring would leave a piece touching itself.
    const bool result =
        sound && DividePolygon(NodeA, NodeB, Body, id, Nodes, Model) && BodiesFitModel({Body}, Model, Nodes);
    if (result) {
        TPlotPolygonList& shapes = *MapSeries()->Shapes();
        for (int m = shapes.Count() - 1; m >= 0; --m)
            if (shapes.GetPolygon(m)->ID() == id) {
                MapSeries()->Delete(m);
                break;
            }
        for (int node : {NodeA, NodeB})
            Nodes[node].border = GetNodeBorderKind(node, Model, Nodes, ModelArea.bottom, ModelArea.top,
                                                   ModelArea.right, ModelArea.left);
    } else {
        RestoreBackup();
    }
    RebuildMapSeries();
    return result;
}

} // namespace lp
