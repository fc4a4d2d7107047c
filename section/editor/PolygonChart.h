#pragma once
// The section chart: a chart that owns a section model and shows it.
//
//   TPolygonChart (a TChart) ──owns──> the model: Model (bodies), Nodes,
//        │                              Lines, ModelArea, Profile
//        ├─ MapSeries          one map polygon per shown ring (slot 0 = its id)
//        ├─ SurfaceSeries      white area above the ground surface
//        ├─ EditPathSeries, RubberBandSeries   drawing aids of the edit modes
//        ├─ one line series per line (owned by the chart, noted in the line)
//        └─ undo history (25 whole-model slots, each with the owner's
//           attachment) and one roll-back copy
//
// The series are always derived from the model: every routine that changes
// Model, Nodes, Lines or ModelArea rebuilds them before the next paint.
// Nodes are painted as 3x3 dots after every paint.
//
// The model and the edit state are public fields: the editing modes, the
// body dialog and the main window work on them directly, as on the records
// of the model layer.

#include "chart/engine/PlotChart.h"
#include "section/editor/BodyParameters.h"
#include "section/editor/SectionFile.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace lp {

class TLineSeries;
class TAreaSeries;
class TMapSeries;
class TBitmap;
class TChartBrush;
class TChartPen;
class TPlotGradient;

// -1 none; 0..12 ring and node modes; 1001..1008 line modes.
using TPolygonEditMode = int32_t;

enum : TPolygonEditMode {
    pmAddPolygon = 0,
    pmAddSubPolygon = 1,
    pmDividePolygon = 2,
    pmCoupleNodes = 3,
    pmDeleteNode = 4,
    pmMoveNode = 5,
    pmUncoupleNodes = 6,
    pmAddNode = 7,
    pmDeleteSubPolygon = 8,
    pmUncoupleSubPolygon = 9,
    pmMovePolygon = 10,
    pmMoveSubPolygon = 11,
    pmFixNode = 12,
    pmAddLine = 1001,
    pmDeleteLineNode = 1002,
    pmMoveLineNode = 1003,
    pmAddLineNode = 1004,
    pmDeleteLine = 1005,
    pmPolygonFromLinesA = 1006,
    pmPolygonFromLinesB = 1007,
    pmMoveLine = 1008,
};

// The status-bar text of a mode (empty for the modes without one) and its
// tool-button hint.
QString EditModeStatusText(TPolygonEditMode Mode);
QString EditModeHint(TPolygonEditMode Mode);

// The settings text a newly drawn line takes (set by the main window from
// an existing line's series); empty: new lines keep the standard look.
QString& DefaultLineSettings();

class TPolygonChart;

// What the chart's owner keeps of its own state with each undo slot (the
// main window: the section's picture). The chart only holds, compares and
// hands back the pointer; a value once made is never changed, so equal
// pointers mean an unchanged state.
class TUndoAttachment {
public:
    virtual ~TUndoAttachment() = default;
};
using TUndoAttachmentPtr = std::shared_ptr<const TUndoAttachment>;

// The body parameters dialog, registered by the dialog's unit; empty until
// then (EditBodyParameters does nothing).
using TBodyParametersEntry = std::function<void(TPolygonChart* Chart, int MapIndex, int Body, int Sub)>;
TBodyParametersEntry& BodyParametersEntryPoint();

// Process-wide: the slots a newly drawn body copies are the model layer's
// DefaultParameters; every section chart sets them when it is created.
void SetSectionDefaultParameters();

class TPolygonChart : public TChart {
    Q_OBJECT
public:
    explicit TPolygonChart(TComponent* AOwner = nullptr);
    ~TPolygonChart() override;

    // Fired after a change of the model finished (edit, body dialog).
    std::function<void(TPolygonChart* Sender)> onchangemodel;
    // Fired on every mouse move over a loaded model after CursorX and CursorY
    // were updated.
    std::function<void(TPolygonChart* Sender)> OnCursorMove;
    // Fired by a double click on a region (a body's ring, or 0, 0 the host
    // medium) before its parameters dialog opens.
    std::function<void(TPolygonChart* Sender, TRingRef Region)> OnRegionDoubleClick;
    // Draws over the section after its nodes, at every paint of a loaded
    // model (the main window's holes of buried electrodes).
    std::function<void()> OnPaintOverlay;
    // Regions shown marked (a thick outline drawn over the section, the host
    // medium's along the frame), as a table of regions selects them. Not
    // part of the model: set it, then Invalidate.
    std::vector<TRingRef> MarkedRegions;

    // --- Edit state (the editing modes work on these) ---
    TPolygonEditMode EditMode = -1;
    bool Editing = false;
    bool ModelLoaded = false;
    TLineSeries* EditPathSeries = nullptr;   // owned through the component tree
    TLineSeries* RubberBandSeries = nullptr; // owned through the component tree
    TAreaSeries* SurfaceSeries = nullptr;    // owned through the component tree
    arofcomplexM DrawnPoints;
    arofintM SelIds, SelBodies, SelSubPolygons, SelNodes;
    complexM CursorPoint;
    double CursorX = 0.0;
    double CursorY = 0.0;
    double DragAnchorX = 0.0;
    double DragAnchorY = 0.0;

    // --- The model ---
    AllSpolygon Model;
    AllSpolygon ModelBackup;
    lines Lines;
    Tnodes Nodes;
    Tnodes NodesBackup;

    // --- Undo history: seven parallel slot arrays; sequence -1 marks a free
    // slot. Sequence numbers are 64-bit, so they never run out. ---
    int UndoDepth = 25;
    DynArray<AllSpolygon> UndoModels;
    DynArray<Tnodes> UndoNodes;
    DynArray<lines> UndoLines;
    DynArray<TModelArea> UndoAreas;
    DynArray<TUndoAttachmentPtr> UndoAttachments;
    DynArray<int64_t> UndoSequence;
    // Each slot's state number (UndoState).
    DynArray<int64_t> UndoStates;
    bool UndoStepped = false;

    double ScaleX = 1.0; // pixels per model unit
    double ScaleY = 1.0;
    int PickNode = -1;
    int PickNode2 = -1;
    int PickSubPolygon = -1;
    int PickBody = -1;
    TModelArea ModelArea{0.0, 0.0, 1000.0, 100.0};
    bool HasProfile = false;
    arofcomplexM Profile;
    bool BodyMovesWhole = false;
    TColor SavedPenColor = 0;
    int HighlightIndex = -1;
    bool BorderMove = false;
    TColor FreeNodeColor = 0xFF0000;
    TColor FixedNodeColor = 0x000000;
    TColor SharedNodeColor = 0x008000;
    TColor BorderNodeColor = 0x808080;
    int CursorPixelX = 0;
    int CursorPixelY = 0;
    double ReservedPair[2] = {0.0, 0.0};
    int PickLine = -1;
    int PickLinePoint = -1;
    int FirstLine = -1;
    int FirstLineSegment = -1;

    // --- Model and series ---
    void ChangeNotify();
    // Starts an empty model (the frame only) over the area.
    void NewModel(const arofcomplexM& AProfile, bool AHasProfile, double Left, double Right, double Top,
                  double Bottom);
    // Stores a surface profile, elevations turned into depths below its
    // highest point.
    void SetProfile(const arofcomplexM& Points);
    // Moves the area's edges (never inside the inner nodes' extent, nor onto
    // or past a node added on the frame's edges: a side that would stays;
    // the top stays) and sets the axes; true when any of the four values
    // differed.
    // An area the model cannot be fitted into (a ring would be cut apart),
    // an empty or turned-over area and values that are not finite are
    // refused: model, area and axes stay, and the result is false.
    // An edit in progress is rolled back first.
    bool SetModelArea(bool KeepModel, double Left, double Right, double Top, double Bottom);
    // Ends a change of the model area (Model setup, the axis menu, the axis
    // windows) as a finished edit: when the area is no longer Before, or the
    // area change altered the model, one undo step holds the new area, nodes
    // and axes, and the change event fires. True when either changed.
    bool FinishAreaEdit(const TModelArea& Before);
    // The number of the frame's own nodes, the first of the node table, as
    // the frame of the present area and profile has them.
    int FrameNodes() const;
    // Pixels per model unit from the axes' ranges and lengths.
    void UpdateAxisScales();
    // After the axis menu: the model area follows the axes (the range of
    // the top or right axis when that one was set). A change of the area
    // is an edit: one undo step, and the change event fires.
    void AxisChanged();
    using TChart::AxisChanged;
    // The series of the map polygons, one per ring but the host ring. A
    // loaded model's polygons are made on first use: by the first paint,
    // edit or call of this.
    TMapSeries* MapSeries() const;
    void RebuildMapSeries();
    // The map polygon of a ring added last to the model.
    void AddMapPolygon(int Body, int Sub);
    void RefreshMapPolygons(const arofintM& Bodies, const arofintM& Subs, const arofintM& MapIndexes);
    void ApplyPolygonAppearance(int Body, int Sub, int MapIndex);
    // The polygon's look goes to its ring's slots; so does its text, which
    // a label made from the parameters changes into the ring's user text
    // (label mode "User text").
    void StorePolygonAppearance(int Body, int Sub, int MapIndex);
    // Whether map polygon MapIndex looks other than its ring's parameters
    // say: the look StorePolygonAppearance would store differs from what
    // the slots give a polygon made anew (an empty or unreadable slot
    // gives the look of a new polygon).
    bool PolygonLookChanged(int Body, int Sub, int MapIndex) const;
    // After the series menu: a map edited in the series editor gives each
    // changed polygon's look to its ring, and the map is made anew from the
    // model, so the section shows only what its file keeps; a line whose
    // look changed keeps it as its appearance text. Either change is an
    // edit: one undo step of its own, and the change event fires.
    void SeriesMenuActionDone();
    // The line whose series Series is, -1 for none.
    int LineOfSeries(const TChartSeries* Series) const;
    // Whether line Line's series looks other than its appearance text says
    // (a line of the standard look when the text is empty or unreadable).
    bool LineLookChanged(int Line) const;
    // Turns slot-0 ids into map indexes; entries without a map polygon are
    // dropped from all lists.
    void ResolveSelection(arofintM& Ids, arofintM& Bodies, arofintM& MapIndexes, arofintM& Subs);
    // Moves the listed map polygons to the front, in list order, and
    // updates the list to their new indexes.
    void MoveMapPolygonsFirst(arofintM& MapIndexes);
    void BuildLineSeries();
    // The chart's after-draw handler: the marked regions' outlines and the
    // node dots.
    void PaintNodes();
    // On: the chart fills its parent. Off: equal scales along x and y.
    void SetAutomaticScaling(bool On);
    void EditBodyParameters(int MapIndex, int Body, int Sub);

    // --- The editing state machine ---
    // Phase 0 a press, 1 a move; X, Y in model units. True only when a
    // right-button press finished an edit that changed the model or lines.
    bool EditStep(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right);
    // After a new EditMode and before a file command (a save, a print): an
    // unfinished edit is rolled back to the last finished one; a line point
    // or line still in hand goes back to where it was picked up (from the
    // copy taken then: lines have no backup).
    void ResetEditMode();
    // Whether an edit is in hand: a node, ring, body, line point or line
    // picked up, a polygon or line being drawn, a division, a coupling or a
    // band between lines begun. Editing in the other modes only marks what
    // lies under the cursor: nothing is in hand.
    bool EditInHand() const;
    // Ends an edit without touching the model.
    void ClearEditState();
    // The map polygon of a ring (the last one with its id), -1 when none.
    int FindMapPolygon(int Body, int Sub) const;
    // The chart's mouse handlers (installed as OnMouseMove ... OnDblClick).
    void ChartMouseMove(TControl* Sender, TShiftState Shift, int X, int Y);
    void ChartMouseDown(TControl* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ChartMouseUp(TControl* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // A double click on a body, or on the host medium, opens its parameters.
    void ChartDblClick(TControl* Sender);
    // Whether a point (model units) lies in the model area, below the
    // surface profile when there is one.
    bool InHostMedium(const complexM& Point) const;
    // Hover highlight of the sub-polygon under the cursor (red pen).
    void HoverHighlightSubPolygon();
    // A map polygon's pen colour, set the way that keeps its own pen.
    void SetMapPolygonPenColor(int MapIndex, TColor Color);
    bool MapPolygonIsHighlighted(int MapIndex) const;
    // The highlighted map polygon gets SavedPenColor back (a body drawn
    // with a red pen of its own keeps it).
    void RemoveHighlights();
    // SelIds (slot-0 ids) become map polygon indexes; entries without a map
    // polygon leave all three selection lists.
    void SelectionToMapIndexes();

    // --- Polygon drawing and dividing modes (PolygonChartDrawModes.cpp) ---
    bool EditStepPolygonModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right);
    // A new body of one ring over the points (also used by the line modes,
    // whose bands no drawing test has checked point by point). False, with
    // Model, Nodes and the map polygons as they were, for fewer than three
    // points, points the model refuses (a ring that crosses itself, leaves
    // the frame or overlaps a body), or a model without its host body (no
    // section started).
    bool DoAddPolygon(arofcomplexM Points);
    // A new ring of Body closed by the drawn path from node StartNode to node
    // EndNode (Points runs from the start node's position to the end node's).
    // In the host body the user is asked "Correct polygon?"; No takes the
    // other ring the path can close. On false Model and Nodes are restored
    // from the backup. The map polygons are rebuilt either way.
    bool DoAddSubPolygon(int StartNode, int EndNode, arofcomplexM Points, int Body);
    // Cuts the ring of Body that holds both nodes along the chord between
    // them. On false Model and Nodes are restored from the backup. The map
    // polygons are rebuilt either way.
    bool DoDividePolygon(int NodeA, int NodeB, int Body);
    // (end of the polygon drawing modes)

    // --- Node modes (PolygonChartNodeModes.cpp) ---
    bool EditStepNodeModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right);
    // Couples Node into Target (-1: into a new node on the edge under X, Y).
    // Every refusal leaves the model at the backup with the map rebuilt.
    bool DoMergeNode(int Node, int Target, double X, double Y);
    bool DoDeleteNode(int Node, int Body);
    // Gives every further ring of the body through Node its own copy.
    bool DoSplitNode(int Node, int Body);
    // Inserts a node on the edge NodeA-NodeB of Body at Point (snapped).
    bool DoAddNode(int NodeA, int NodeB, complexM Point, int Body);
    // Validates moved nodes; on refusal the model goes back to the backup,
    // the map is rebuilt and the selection holds every ring of the body.
    bool CheckMoveOrRollBack(const arofintM& MovedNodes, int Body, bool WholeBody);
    // The refusal of a move: the backup restored, the map rebuilt, the
    // selection every ring of Body (none when Body is not a body).
    void RollBackMove(int Body);
    // Puts Model and Nodes back to the backup and rebuilds the map polygons.
    void RollBackToBackup();
    // The hover pick of a node within 7 pixels (InteriorOnly: border kind 0).
    void HoverPickNode(double X, double Y, bool InteriorOnly);
    // (end of the node modes)

    // --- Sub-polygon and body modes (PolygonChartBodyModes.cpp) ---
    bool EditStepBodyModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right);
    bool DoDeleteSubPolygon(int SubPolygon, int Body);
    bool DoUncoupleSubPolygon(int SubPolygon, int Body);
    // (end of the sub-polygon and body modes)

    // --- Line modes (PolygonChartLineModes.cpp) ---
    bool EditStepLineModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right);
    // A new body over the band between two lines (indexes into Lines): the
    // first line's points by ascending x, then the second's by descending x.
    // B first cuts both lines to their common x range. The lines stay as
    // they are; false (model as before) when the band is refused.
    bool PolygonFromLinesA(int First, int Second);
    bool PolygonFromLinesB(int First, int Second);

private:
    // The hover picks of the line modes at (X, Y): the nearest line point
    // (kept within 7 pixels) and the nearest line segment (kept below 4).
    void PickNearestLinePoint(double X, double Y, bool HoverSetsEditing);
    void PickNearestLineSegment(double X, double Y);
    bool LinePointPicked() const;
    bool LineSegmentPicked() const;
    // A held line's points as they were when it was picked up (any mode:
    // the mode may have changed since).
    void PutHeldLineBack();
    int FHeldLine = -1;
    arofcomplexM FHeldLinePoints;

public:
    // (end of the line modes)

    // --- Undo history ---
    // Every change of the model from outside the chart's own mouse editing
    // (the table of regions, a paste into it, the body and host medium
    // dialogs, Model setup, the Graphic editor, another window) goes
    // through here. An edit in hand ends first, put back (ResetEditMode;
    // the hover of "Add node" and the line modes counts as one). Change
    // then alters the model and says whether it did. A change is a finished
    // edit: the map is made anew, one undo step holds it, the roll-back
    // copy is taken from it (so no later drop of an edit in hand takes it
    // back) and the change event fires. False when nothing changed.
    bool ChangeFromOutside(const std::function<bool()>& Change);
    // Records the present state as the newest slot, with the owner's
    // attachment as OnCaptureUndoAttachment gives it now. A change of the
    // owner's state alone (the model unchanged) is one step too.
    void PushUndo();
    // Takes the last step back: the state before it is restored and
    // recorded anew. When the step changed the owner's attachment (the slot
    // undone holds another than the slot restored), OnRestoreUndoAttachment
    // gets the restored one first; a step that did not change it leaves the
    // owner's state alone.
    void Undo();
    // The owner's state with each slot, and its way back (both empty: no
    // attachments).
    std::function<TUndoAttachmentPtr()> OnCaptureUndoAttachment;
    std::function<void(const TUndoAttachmentPtr& Attachment)> OnRestoreUndoAttachment;
    // The newest slot takes the owner's attachment as it is now: the owner
    // settled its state after the state was recorded (a section's picture
    // read after its model, which started the history).
    void RetakeUndoAttachment();
    // The state shown as the history knows it: every record of a change
    // numbers a new state, and an undo gives back the number of the state
    // it goes back to; -1 before the first record. An owner that keeps the
    // number of the state it saved tells by it when an undo went back there.
    int64_t UndoState() const;
    void TakeBackup();
    void RestoreBackup();
    void ClearUndoHistory();

    // --- The section file ---
    // The model as a block (also stores each line's settings text).
    TSectionModel SectionModel();
    // Writes HeaderLines (each without its line end) and the model block to
    // FileName through a temporary file in its folder, then replaces it.
    // The block is first read back as opening the file reads it: a model
    // that breaks the section rules is refused. Raises with a message on
    // any failure; the old file stays intact.
    void WriteSection(const QString& FileName, const std::vector<QByteArray>& HeaderLines);
    // Keeps the first HeaderLines lines of the existing file (-1: all of
    // them; past its end: empty lines) and writes the model block after them.
    void WriteModelBlock(const QString& FileName, int HeaderLines);
    // Reads the file through ReadSectionFile, as every reader of section
    // files does. False when the file has no block (the chart is
    // unchanged). An unreadable file, an invalid block or a model that could
    // not be saved raises; the chart keeps its model.
    bool ReadModelBlock(const QString& FileName);
    // Replaces the model with a read one (as ReadSectionFile settled it:
    // nothing is moved here) and starts a new history.
    void LoadSectionModel(TSectionModel Section);

    // --- Drawing during a drag (PolygonChartDragCache.cpp) ---
    // While a node, ring or body is dragged, everything that stays put is
    // drawn once into a picture; each frame then shows that picture and
    // draws only the rings being moved, the drawing aids and the moving
    // nodes' dots. Off: every frame draws the whole section.
    bool DragCacheEnabled = true;
    bool DragCacheActive() const { return FDragCacheActive; }
    void DrawToCanvas(TCanvas* Target, const TRect& Rect) override;

protected:
    // A paint of the window: the pick scales then follow the axes as just
    // laid out. A change of the chart's look (its title set or cleared, an
    // axis' labels) moves the axes at the next paint without any change of
    // size or area, and picks must measure in the pixels the user sees.
    void Paint(TCanvas& Canvas) override;
    void PaintPanelBackground(const TRect& Rect) override;
    void DrawWalls() override;
    void DrawAxes() override;
    void DrawTitlesAndLegend(bool BeforeSeries) override;
    // Every paint starts with the axes paired (PairAxes).
    void DoBeforeDrawChart() override;

private:
    void CreateSeries();
    // The newest live undo slot, -1 when none.
    int NewestUndoSlot() const;
    // PushUndo with the attachment given, as state State (-1: a new state).
    void RecordUndoSlot(TUndoAttachmentPtr Attachment, int64_t State = -1);
    // The number the next new state takes.
    int64_t FNextUndoState = 0;
    // The axes show the model area; their automatic range is the area too
    // (the frame is the section's extent, whatever the bodies reach).
    void ShowAreaOnAxes();
    // The top axis shows the bottom axis' distances and the right axis the
    // left axis' depths, whatever set the range: of each pair, the axis
    // whose range was set since the last pairing gives it to the other (the
    // bottom or left one when both were). Run by ShowAreaOnAxes, at the
    // start of every paint and before the axis menu's range becomes the
    // area, so no picture shows the two axes of a pair apart.
    void PairAxes();
    // {bottom, top} and {left, right}.
    std::array<std::pair<TChartAxis*, TChartAxis*>, 2> AxisPairs() const;
    // Each pair's range as the last pairing left it.
    std::array<std::array<double, 2>, 2> FPairedRanges{};
    // A line series takes the look of its record: red, then the record's
    // appearance text when it can be applied.
    static void ApplyLineLook(TLineSeries& Series, const line& Record);
    // The line's look, changed in the series editor, becomes its
    // appearance text (an edit).
    void KeepLineLook(int Line);
    // The map's looks, changed in the series editor, go to the rings.
    void KeepMapLooks();
    // The map polygons made from the rings (RebuildMapSeries without the
    // surface); DeferMapSeries leaves that to the first use of MapSeries.
    void BuildMapSeries();
    void DeferMapSeries();
    TMapSeries* FMapSeries = nullptr; // owned through the component tree
    bool FMapPending = false;
    void SetUpAxes();
    // The chart's axes laid out for its present size (a paint into a scratch
    // picture when the chart was not painted at this size yet; the window's
    // own paints keep them laid out for its look since).
    void EnsureAxesLaidOut();
    double AxisScale(const TChartAxis& Axis) const;
    void ComputeScales();
    void FreeLineSeries(lines& Records);
    void FillSurfaceSeries();
    TColor NodeColor(const Tnode& Node) const;
    void PaintMarkedRegions();
    int FLaidOutWidth = -1;
    int FLaidOutHeight = -1;
    // An area change (SetModelArea adapting the model) altered the rings or
    // the nodes since the last undo record: FinishAreaEdit records it even
    // when the area itself came out the same.
    bool FAreaAlteredModel = false;
    // True during the scratch paint of EnsureAxesLaidOut, which needs the
    // axes only: polygons left to be made stay so, and no dots are drawn.
    bool FLayoutPaint = false;
    // The press that follows a handled double click belongs to it.
    bool FDoubleClickHandled = false;

    // The appearance texts read last: most bodies share their texts, so a
    // rebuild of thousands of map polygons reads each text once.
    template <class T>
    struct TReadText {
        std::string Text; // as the slot holds it
        std::shared_ptr<T> Object; // empty: the text could not be read
    };
    TReadText<TChartBrush> FLastBrush;
    TReadText<TChartPen> FLastPen;
    TReadText<TPlotGradient> FLastGradient;

    // The drag cache.
    bool DragCacheWanted(const TRect& Rect) const;
    std::vector<int> DragMovingNodes() const;
    void BuildDragCache(const TRect& Rect);
    void DropDragCache();
    // Whether a node's dot is in the picture (it does not move).
    bool NodeDotIsCached(int Node) const;
    std::array<double, 4> DragAxesKey() const;
    std::unique_ptr<TBitmap> FDragPicture;
    std::vector<int> FDragHidden;    // map polygons drawn only in the picture
    std::vector<char> FDragMovingNode; // by node index: drawn every frame
    TRect FDragRect{};
    std::array<double, 4> FDragAxes{};
    bool FDragCacheActive = false;
    bool FBuildingDragCache = false;
};

} // namespace lp
