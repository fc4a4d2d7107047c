// The section chart's editing state machine: the mouse handlers, EditStep's
// dispatch to the mode groups, resetting and clearing an edit, and the
// hover highlight of a sub-polygon.

#include "section/editor/PolygonChart.h"

#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"

namespace lp {

namespace {

constexpr TColor HighlightColor = 0x0000FF; // red

} // namespace

QString& DefaultLineSettings()
{
    static QString Settings;
    return Settings;
}

QString EditModeStatusText(TPolygonEditMode Mode)
{
    switch (Mode) {
    case pmAddPolygon:
        return QStringLiteral("\"Add polygon\" mode. Use left-click for adding point to polygon, right-click to close polygon");
    case pmAddSubPolygon:
        return QStringLiteral("\"Add sub-polygon to other\" mode. Use left-click for adding point to polygon, right-click to close polygon");
    case pmDividePolygon:
        return QStringLiteral("\"Divide polygon\" mode. Use left-click to select polygons border, right-click to divide polygon");
    case pmCoupleNodes:
        return QStringLiteral("\"Couple nodes\" mode. Use left-click to choose first node, right-click to choose second node");
    case pmDeleteNode:
        return QStringLiteral("\"Delete node\" mode. Use right-click to remove node of polygon");
    case pmMoveNode:
        return QStringLiteral("\"Move node\" mode. Use left-click dragging for nodes moving, right-click for new position placing");
    case pmUncoupleNodes:
        return QStringLiteral("\"Uncouple nodes\" mode. Use right-click to uncouple connected nodes of polygon");
    case pmAddNode:
        return QStringLiteral("\"Add node\" mode. Use right-click to add new node to polygon");
    case pmDeleteSubPolygon:
        return QStringLiteral("\"Delete sub-polygon\" mode. Use right-click to remove polygon");
    case pmUncoupleSubPolygon:
        return QStringLiteral("\"Uncouple sub-polygon from polygon\" mode. Use right-click to uncouple polygon");
    case pmMovePolygon:
        return QStringLiteral("\"Move polygon\" mode. Use left-click dragging for polygons moving, right-click for new position placing");
    case pmMoveSubPolygon:
        return QStringLiteral("\"Move sub-polygon\" mode. Use left-click dragging for polygons moving, right-click for new position placing");
    case pmFixNode:
        return QStringLiteral("\"Fix node\" mode. Use right-click to fix node");
    case pmAddLine:
        return QStringLiteral("\"Add line\" mode. Use left-click for adding point to line, right-click to end");
    case pmDeleteLineNode:
        return QStringLiteral("\"Delete line node\" mode. Use right-click to remove node of line");
    case pmMoveLineNode:
        return QStringLiteral("\"Move line node\" mode. Use left-click dragging for nodes moving, right-click for new position placing");
    case pmAddLineNode:
        return QStringLiteral("\"Add line node\" mode. Use right-click to add new node to line");
    case pmDeleteLine:
        return QStringLiteral("\"Delete line\" mode. Use right-click to remove line");
    default:
        return {};
    }
}

QString EditModeHint(TPolygonEditMode Mode)
{
    switch (Mode) {
    case pmAddPolygon:
        return QStringLiteral("Add polygon");
    case pmAddSubPolygon:
        return QStringLiteral("Add sub-polygon to other");
    case pmDividePolygon:
        return QStringLiteral("Divide polygon");
    case pmCoupleNodes:
        return QStringLiteral("Couple nodes");
    case pmDeleteNode:
    case pmDeleteLineNode:
        return QStringLiteral("Delete node");
    case pmMoveNode:
    case pmMoveLineNode:
        return QStringLiteral("Move node");
    case pmUncoupleNodes:
        return QStringLiteral("Uncouple nodes");
    case pmAddNode:
    case pmAddLineNode:
        return QStringLiteral("Add node");
    case pmDeleteSubPolygon:
        return QStringLiteral("Delete sub-polygon");
    case pmUncoupleSubPolygon:
        return QStringLiteral("Uncouple sub-polygon from polygon");
    case pmMovePolygon:
        return QStringLiteral("Move polygon");
    case pmMoveSubPolygon:
        return QStringLiteral("Move sub-polygon");
    case pmAddLine:
        return QStringLiteral("Add line");
    case pmDeleteLine:
        return QStringLiteral("Delete line");
    case pmPolygonFromLinesA:
    case pmPolygonFromLinesB:
        return QStringLiteral("Create polygon from two lines");
    case pmMoveLine:
        return QStringLiteral("Move line");
    default:
        return {};
    }
}

// --- Mouse handlers -----------------------------------------------------------------

void TPolygonChart::ChartMouseMove(TControl* Sender, TShiftState Shift, int X, int Y)
{
    (void)Sender;
    (void)Shift;
    if (!ModelLoaded)
        return;
    CursorPixelX = X;
    CursorPixelY = Y;
    CursorX = MapSeries()->XScreenToValue(X);
    CursorY = MapSeries()->YScreenToValue(Y);
    if (OnCursorMove)
        OnCursorMove(this);
    CursorPoint = complexM{CursorX, CursorY};
    if (!AllowZoom())
        EditStep(EditMode, 1, CursorX, CursorY, false);
}

void TPolygonChart::ChartMouseDown(TControl* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Sender;
    (void)X;
    (void)Y;
    if (AllowZoom())
        return;
    // The press of a double click that opened the body dialog ends there.
    if (Shift.testFlag(ssDouble) && FDoubleClickHandled) {
        FDoubleClickHandled = false;
        return;
    }
    FDoubleClickHandled = false;
    if (Editing)
        ChartMenuSuppressed = true;
    // The position is the one of the last mouse move.
    if (Button == mbLeft) {
        EditStep(EditMode, 0, CursorX, CursorY, false);
    } else if (Button == mbRight) {
        if (EditStep(EditMode, 0, CursorX, CursorY, true)) {
            TakeBackup();
            PushUndo();
            ClearEditState();
            ChangeNotify();
        }
    }
}

void TPolygonChart::ChartMouseUp(TControl* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    (void)Sender;
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    ChartMenuSuppressed = false;
}

bool TPolygonChart::InHostMedium(const complexM& Point) const
{
    if (Point.re < ModelArea.left || Point.re > ModelArea.right || Point.im < ModelArea.top ||
        Point.im > ModelArea.bottom)
        return false;
    return !HasProfile || Profile.Length() < 2 || Point.im >= InterpolateComplexAt(Profile, Point.re);
}

void TPolygonChart::ChartDblClick(TControl* Sender)
{
    (void)Sender;
    if (!ModelLoaded)
        return;
    int body = -1;
    int sub = -1;
    // In no body but inside the model area (below the surface): the host
    // medium (body 0, ring 0), unless an edit is in progress (a double
    // click while drawing a body in the host medium goes on drawing).
    // Outside the frame nothing happens, and an edit in progress goes on.
    const auto regionAtCursor = [&] {
        FindSubPolygonAt(Model, body, sub, Nodes, CursorPoint);
        if (body < 0 && !Editing && Model.Length() > 0 && Model[0].Length() > 0 && InHostMedium(CursorPoint)) {
            body = 0;
            sub = 0;
        }
        return body >= 0;
    };
    if (!regionAtCursor())
        return;
    // An edit in progress (a node being dragged) is rolled back before the
    // dialog, so it never starts from an unvalidated model.
    if (Editing) {
        ResetEditMode();
        if (!regionAtCursor())
            return;
    }
    // The dialog reads the body's look from its map polygon: a hover
    // highlight would pass for the body's own red pen.
    RemoveHighlights();
    if (OnRegionDoubleClick)
        OnRegionDoubleClick(this, {body, sub});
    // Each Apply of the dialog that changes the model is an edit of its
    // own (an undo step and the change event); one that changes nothing
    // records nothing.
    EditBodyParameters(FindMapPolygon(body, sub), body, sub);
    Editing = false;
    TakeBackup();
    ResetEditMode();
    SetMouseCancelled(true);
    FDoubleClickHandled = true;
}

// --- The state machine -------------------------------------------------------------

bool TPolygonChart::EditStep(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right)
{
    switch (Mode) {
    case pmAddPolygon:
    case pmAddSubPolygon:
    case pmDividePolygon:
        return EditStepPolygonModes(Mode, Phase, X, Y, Right);
    case pmCoupleNodes:
    case pmDeleteNode:
    case pmMoveNode:
    case pmUncoupleNodes:
    case pmAddNode:
    case pmFixNode:
        return EditStepNodeModes(Mode, Phase, X, Y, Right);
    case pmDeleteSubPolygon:
    case pmUncoupleSubPolygon:
    case pmMovePolygon:
    case pmMoveSubPolygon:
        return EditStepBodyModes(Mode, Phase, X, Y, Right);
    case pmAddLine:
    case pmDeleteLineNode:
    case pmMoveLineNode:
    case pmAddLineNode:
    case pmDeleteLine:
    case pmPolygonFromLinesA:
    case pmPolygonFromLinesB:
    case pmMoveLine:
        return EditStepLineModes(Mode, Phase, X, Y, Right);
    default:
        return false;
    }
}

void TPolygonChart::ResetEditMode()
{
    UpdateAxisScales();
    // A line point or a line still in hand goes back where it was picked
    // up, whatever the new mode: only a right click places it.
    PutHeldLineBack();
    if (Editing) {
        RestoreBackup();
        RebuildMapSeries();
    }
    Editing = false;
    FHeldLine = -1;
    FirstLine = -1;
    SelIds.Clear();
    SelBodies.Clear();
    SelSubPolygons.Clear();
    EditPathSeries->Clear();
    RubberBandSeries->Clear();
    DrawnPoints.Clear();
    PickNode = PickNode2 = PickSubPolygon = PickBody = -1;
    TakeBackup();
    RemoveHighlights();
}

bool TPolygonChart::EditInHand() const
{
    switch (EditMode) {
    case pmAddPolygon:
    case pmAddSubPolygon:
    case pmDividePolygon:
    case pmCoupleNodes:
    case pmMoveNode:
    case pmMovePolygon:
    case pmMoveSubPolygon:
    case pmAddLine:
    case pmMoveLineNode:
    case pmMoveLine:
        return Editing;
    case pmPolygonFromLinesA:
    case pmPolygonFromLinesB:
        return FirstLine >= 0;
    default:
        return false;
    }
}

void TPolygonChart::ClearEditState()
{
    FHeldLine = -1;
    PickLine = -1;
    FirstLine = -1;
    Editing = false;
    EditPathSeries->Clear();
    RubberBandSeries->Clear();
    DrawnPoints.Clear();
    PickNode = PickNode2 = PickSubPolygon = PickBody = -1;
    SelIds.Clear();
    SelBodies.Clear();
    SelSubPolygons.Clear();
    RemoveHighlights();
}

int TPolygonChart::FindMapPolygon(int Body, int Sub) const
{
    const ParamValue& slot = Model[Body][Sub].params[psId];
    if (slot.GetKind() != ParamValue::Kind::Integer)
        return -1;
    const int id = slot.AsInteger();
    TPlotPolygonList& shapes = *MapSeries()->Shapes();
    int found = -1;
    for (int m = 0; m < shapes.Count(); ++m)
        if (shapes.GetPolygon(m)->ID() == id)
            found = m;
    return found;
}

// --- Highlights ------------------------------------------------------------------------

void TPolygonChart::SetMapPolygonPenColor(int MapIndex, TColor Color)
{
    TPlotPolygon* polygon = MapSeries()->Shapes()->GetPolygon(MapIndex);
    polygon->SetParentPen(true);
    polygon->Pen()->SetColor(Color);
    polygon->SetParentPen(false);
}

bool TPolygonChart::MapPolygonIsHighlighted(int MapIndex) const
{
    return MapIndex >= 0 && MapIndex < MapSeries()->Shapes()->Count() &&
           MapSeries()->Shapes()->GetPolygon(MapIndex)->Pen()->Color() == HighlightColor;
}

void TPolygonChart::RemoveHighlights()
{
    // Only the hovered polygon is ever painted red, and HighlightIndex
    // follows it: a body whose own pen is red keeps its pen.
    if (MapPolygonIsHighlighted(HighlightIndex))
        SetMapPolygonPenColor(HighlightIndex, SavedPenColor);
    HighlightIndex = -1;
}

void TPolygonChart::SelectionToMapIndexes()
{
    arofintM mapIndexes;
    ResolveSelection(SelIds, SelBodies, mapIndexes, SelSubPolygons);
    SelIds = std::move(mapIndexes);
}

void TPolygonChart::HoverHighlightSubPolygon()
{
    FindSubPolygonAt(Model, PickBody, PickSubPolygon, Nodes, CursorPoint);
    if (PickBody < 0) {
        if (MapPolygonIsHighlighted(HighlightIndex))
            SetMapPolygonPenColor(HighlightIndex, SavedPenColor);
        return;
    }
    SelectSubPolygon(PickBody, PickSubPolygon, Model, SelIds, SelSubPolygons, SelBodies);
    SelectionToMapIndexes();
    if (MapPolygonIsHighlighted(HighlightIndex) && !SelIds.Empty() && SelIds[0] != HighlightIndex)
        SetMapPolygonPenColor(HighlightIndex, SavedPenColor);
    if (!SelIds.Empty() && !MapPolygonIsHighlighted(SelIds[0])) {
        SavedPenColor = MapSeries()->Shapes()->GetPolygon(SelIds[0])->Pen()->Color();
        HighlightIndex = SelIds[0];
        SetMapPolygonPenColor(SelIds[0], HighlightColor);
    }
}

} // namespace lp
