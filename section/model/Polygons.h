#pragma once
// The section model and the geometric operations on it.
//
// A model is a node table shared by all bodies, the bodies (each a group of
// closed rings of node indices, connected through shared nodes) and the open
// lines. Everything is a plain record or array, so the section chart can keep
// whole copies for undo and for cancelling a move, and every operation is a
// free function over the arrays it is given.
//
//   AllSpolygon ── SPolygon (a body) ── Polygon (a ring: node indices + 20 slots)
//        │                                   │
//        └── body 0, ring 0: the host ring ──┘  frame of the model area
//   Tnodes: the one node table; rings refer to nodes by index
//   lines: open polylines with their own points
//
// Invariants every operation keeps: ring indices refer to existing nodes
// (removing a node renumbers every later index), two bodies never share a
// node, rings other than the host ring are kept in the orientation for which
// PolygonIsClockwise is false. The host ring is the frame outline followed by
// the same nodes in reverse (0, 1, 2, 3, 4 .. H, 0, H .. 4, 3, 2, 1); walks over
// its edges stop at the first return to its first node.
//
// All coordinates are model units: x grows to the right, y (depth) grows
// downwards.

#include "section/model/NumberArrays.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace lp {

class TLineSeries; // the chart's series that shows a line; never owned here

// Border kinds of a node against the model area.
enum TBorderKind : int32_t {
    bkNone = 0,        // no border
    bkLeft = 1,        // left edge, top-left corner included
    bkBottomLeft = 2,  // bottom-left corner
    bkBottom = 3,      // bottom edge
    bkBottomRight = 4, // bottom-right corner
    bkRight = 5,       // right edge, top-right corner included
    bkSurface = 6,     // a host-ring node between the top corners
};

// Place of a node within its body (computed by the coupling operations).
enum TNodeSharing : int32_t {
    nsOutlineOnce = 0, // on the body's outline, in one ring
    nsOutlineShared = 1, // on the outline, in more than one ring
    nsInner = 2,       // every ring edge at the node is used by two rings
};

struct Tnode {
    double x = 0.0;        // horizontal distance
    double y = 0.0;        // depth
    ByteBool fixed = 0;    // fixed nodes are left out of body and ring moves
    int32_t sharing = 0;   // a TNodeSharing value
    int32_t border = 0;    // a TBorderKind value
    friend bool operator==(const Tnode&, const Tnode&) = default;
};
using Tnodes = DynArray<Tnode>;

// One parameter slot: empty (not set), an integer, a real or a text.
// A text is held once and shared by the copies of the slot (it never
// changes): the model is copied whole for undo and for cancelling a move, and
// most rings carry the same long settings texts.
class ParamValue {
public:
    enum class Kind { Empty, Integer, Real, Text };

    ParamValue() = default;
    ParamValue(int32_t value) : FValue(value) {}
    ParamValue(double value) : FValue(value) {}
    ParamValue(std::string value) : FValue(std::make_shared<const std::string>(std::move(value))) {}
    ParamValue(const char* value) : ParamValue(std::string(value)) {}

    Kind GetKind() const noexcept { return static_cast<Kind>(FValue.index()); }
    bool IsEmpty() const noexcept { return GetKind() == Kind::Empty; }
    void Clear() noexcept { FValue = std::monostate(); }

    // Conversions: empty gives 0 or ""; a real becomes an integer by rounding
    // (halves to even, range-checked); a text that is not a number raises
    // EConvertError when read as a number.
    int32_t AsInteger() const;
    double AsReal() const;
    std::string AsText() const;
    // The text of a text slot, without a copy; nullptr for the other kinds.
    const std::string* Text() const noexcept;

    friend bool operator==(const ParamValue& a, const ParamValue& b);

private:
    std::variant<std::monostate, int32_t, double, std::shared_ptr<const std::string>> FValue;
};

inline constexpr int ParamSlotCount = 20;
using TPolygonParams = FixedArray<ParamValue, ParamSlotCount>;

// Meanings of the parameter slots (slots not named here carry nothing).
enum TParamSlot : int {
    psId = 0,             // integer id of the ring's map polygon; -1 for none and the host ring
    psBrush = 1,          // brush settings text
    psPen = 2,            // pen settings text
    psGradient = 3,       // gradient settings text
    psColor = 4,          // integer colour value
    psLabelText = 7,      // label text drawn on the body
    psLabelMode = 8,      // 0 none, 1 resistivity, 2 resistivity and polarizability, 3 user text
    psResistivity = 10,   // ohm-metres
    psPolarizability = 11, // per cent
    psExtra1 = 12,
    psExtra2 = 13,
    // How a fit of the regions to measured data treats the ring. Slot 14 was
    // read as a real before, 15 and 16 were skipped: older readers open a
    // file that sets them.
    psFit = 14,     // 1: fixed (kept as drawn); not set or 0: free
    psLowest = 15,  // ohm-metres: the lowest resistivity a fit may give; not set: no bound
    psHighest = 16, // ohm-metres: the highest
    // A body of water: held at its resistivity by an inversion with the
    // section (its cells fixed). Older readers skip slots 17 and 18.
    psWater = 17,           // 1: water; not set or 0: ground
    psWaterResistivity = 18, // ohm-metres: the measured water's; not set: the body's resistivity (slot 10)
    // The ground's phase in a frequency-domain survey, mrad: the voltage's
    // phase a small body of it gives, negative when polarizable (not set: 0).
    // Older readers skip slot 19.
    psPhase = 19,
};

// The largest phase (psPhase) a ring may carry, in size, mrad: beyond a
// radian the first order the apparent phases are computed to is left.
inline constexpr double MostPhaseMrad = 1000.0;

// One closed ring (a "sub-polygon"); the last index joins back to the first.
struct Polygon {
    arofintM ring;
    int32_t tag = 0; // carried along, not used by the geometry operations
    TPolygonParams params;
};
using SPolygon = DynArray<Polygon>;     // one body
using AllSpolygon = DynArray<SPolygon>; // all bodies; body 0 is the host medium

// One open polyline.
struct line {
    arofcomplexM points;
    arofdoubleM values;           // per-point values
    std::string text;
    std::string appearance;       // settings text of the line series
    TLineSeries* series = nullptr; // observed, owned by the section chart
};
using lines = DynArray<line>;

// The slots every new ring starts with; filled by the section chart.
extern TPolygonParams DefaultParameters;
void ClearDefaultParameters();

// --- Deep copies (the result shares nothing with the source) ---------------
Tnode CopyNodeRecord(const Tnode& node);
Tnodes CopyNodes(const Tnodes& nodes);
Polygon CopyPolygon(const Polygon& ring);
SPolygon CopySPolygon(const SPolygon& body);
AllSpolygon CopyAllSpolygon(const AllSpolygon& model);
// Points, values, text and appearance; the copy's series is empty.
lines CopyLines(const lines& source);

// --- Ring access ------------------------------------------------------------
inline bool IsHostRing(int body, int sub) noexcept
{
    return body == 0 && sub == 0;
}
// The number of edges a walk over the ring takes: all of them, except that
// the host ring stops at the first return to its first node.
int RingEdgeCount(const arofintM& ring, bool hostRing);
// The points of the ring's nodes in ring order.
arofcomplexM RingPoints(const arofintM& ring, const Tnodes& nodes);
inline complexM NodePoint(const Tnodes& nodes, int node)
{
    const Tnode& record = nodes[node];
    return complexM{record.x, record.y};
}

// --- Crossing and containment tests (model units, nothing changes) ----------

// Whether segment p1p2 crosses q1q2. Segments sharing an end point never
// cross; collinear segments do not cross; a T does.
bool SegmentsIntersect(const complexM& p1, const complexM& p2, const complexM& q1, const complexM& q2);
// SegmentsIntersect on the points of nodes a, b and c, d.
bool NodeSegmentsIntersect(int a, int b, int c, const Tnodes& nodes, int d);
// Even-odd test; a point within 1e-10 of a vertex is outside.
bool PointInComplexPolygon(const complexM& point, const arofcomplexM& polygon);
bool PointInRing(const complexM& point, const arofintM& ring, const Tnodes& nodes);
bool PolygonIsClockwise(const arofcomplexM& polygon);
bool RingIsClockwise(const arofintM& ring, const Tnodes& nodes);
// Whether the ring encloses no area worth the name: its shoelace area is at
// most 1e-9 of the square of its extent (the larger side of its bounding
// box). Nodes added on a sloped edge lie only nearly on that edge, so an
// exact comparison with zero lets rounding decide; every guard against
// area-less rings uses this one rule. Fewer than three points have no area.
bool PolygonHasNoArea(const arofcomplexM& polygon);
bool RingHasNoArea(const arofintM& ring, const Tnodes& nodes);
// Angle between two vectors in degrees (0 when one of them has no length).
double AngleBetween(const complexM& u, const complexM& v);
bool SubPolygonsShareNode(int s1, int s2, int body, const AllSpolygon& model);

// The first (body, sub) whose ring contains the point, the host ring
// skipped; (-1, -1) when none.
void FindSubPolygonAt(const AllSpolygon& model, int& body, int& sub, const Tnodes& nodes, const complexM& point);
bool PointInOtherBodies(const complexM& point, int excluded, const AllSpolygon& model, const Tnodes& nodes);
// Crossings with free edges (both nodes' sharing below 2) of a body's rings.
bool SegmentCrossesBody(const complexM& p1, const complexM& p2, int body, const Tnodes& nodes,
                        const AllSpolygon& model);
bool SegmentCrossesOtherBodies(const complexM& p1, const complexM& p2, int excluded, const Tnodes& nodes,
                               const AllSpolygon& model);
// Crossings of the segment between nodes a and b with every edge of the
// body's rings (or of one ring) that does not end in a or b.
bool NodeSegmentCrossesBody(int a, int b, int body, const Tnodes& nodes, const AllSpolygon& model);
bool NodeSegmentCrossesRing(int a, int b, int body, const Tnodes& nodes, const AllSpolygon& model, int sub);
bool BodiesNested(int b1, int b2, const AllSpolygon& model, const Tnodes& nodes);
// Whether the areas of two rings (neither the host ring) overlap, by
// PolygonsOverlap: rings that touch along edges or at nodes, also at nodes
// or edges that lie on each other, do not overlap.
bool RingsOverlap(const arofintM& first, const arofintM& second, const Tnodes& nodes);
// The segment from the polyline's last-but-one point to point against the
// segments (i, i+1), i = 0 .. n-3.
bool PolylineCrossesItself(const complexM& point, const arofcomplexM& polyline);
// Whether the drawn polygon's area overlaps a ring of any body (host ring
// skipped).
bool PolygonOverlapsModel(const arofcomplexM& polygon, const AllSpolygon& model, const Tnodes& nodes);
// 1 when the polyline being drawn may go on, 0 when its last point or
// segment (or, with closing, its closing segment) meets the model or
// itself, or leaves the frame's outline.
int CheckDrawnPolyline(const arofcomplexM& points, const AllSpolygon& model, const Tnodes& nodes, bool closing);

// --- Ring shapes (overlap, frame, degenerate rings) ----------------------------
// Boundaries compare with a tolerance relative to the shapes' extent, so
// rings that share edges or vertices (neighbouring bodies) do not overlap,
// and a vertex on an edge counts as touching it.

// Whether the areas of two rings overlap (not merely touch).
bool PolygonsOverlap(const arofcomplexM& p, const arofcomplexM& q);
// Whether the polygon (or the segment) lies inside the outline or on it.
bool PolygonWithinOutline(const arofcomplexM& polygon, const arofcomplexM& outline);
bool SegmentWithinOutline(const complexM& a, const complexM& b, const arofcomplexM& outline);
// Whether two edges that are not neighbours cross or touch.
bool PolygonCrossesItself(const arofcomplexM& polygon);
// Whether the ring turns back on itself at a vertex: a zero-length edge or
// a zero-width spike (the vertex and its neighbours have no area by
// PolygonHasNoArea, and the vertex does not lie between them).
bool PolygonHasDegenerateVertex(const arofcomplexM& polygon);
// The host ring's outline (its walk up to the first return), as points.
arofcomplexM FrameOutline(const AllSpolygon& model, const Tnodes& nodes);
// Whether a new ring over the points would keep the model sound: it has
// area, no degenerate vertex, does not cross itself, lies in the frame and
// overlaps no ring of the model (the host ring aside).
bool PolygonFitsModel(const arofcomplexM& points, const AllSpolygon& model, const Tnodes& nodes);
// The same for one ring of the model (against every other ring), and for
// every ring of the listed bodies.
bool RingFitsModel(int body, int sub, const AllSpolygon& model, const Tnodes& nodes);
bool BodiesFitModel(const arofintM& bodies, const AllSpolygon& model, const Tnodes& nodes);
// BodiesFitModel for every body: after a change of the frame, which bounds them all.
bool ModelFits(const AllSpolygon& model, const Tnodes& nodes);

// --- Nearest elements and selections --------------------------------------
// The searches measure scaled distances: kx and ky multiply x and y
// differences, so a caller measures in screen pixels while the model is in
// model units. Ties keep the first found (body, ring, position order).

// Scaled distance from p to segment ab; beside the segment (its projection
// between the ends) the perpendicular distance, beyond its ends twice the
// distance to the nearer end (so a point beyond the end of a short edge
// loses against an edge it lies beside).
double DistanceToSegment(double kx, double ky, const complexM& a, const complexM& b, const complexM& p);
double ScaledDistance(const complexM& p, const complexM& q, double kx, double ky);
double PlainDistance(const complexM& p, const complexM& q);

// The nearest node by scaled distance, with its plain and scaled distance;
// -1 (distances 1e30) for an empty node table.
int FindNearestNode(const complexM& point, const Tnodes& nodes, double& plain, double kx, double ky, double& scaled);
// The first other node (corners included) within the scaled distance limit
// of the node, -1 when none is. A node dropped that close to another could
// not be told from it by the pointer: the other one would be picked.
int FindNodeWithin(int node, const Tnodes& nodes, double kx, double ky, double limit);
// The nearest line point; (-1, -1) when none is nearer than the start
// distance (dx and dy of 1e5 each).
void FindNearestLinePoint(const complexM& point, const lines& modelLines, double& plain, int& lineIndex,
                          int& pointIndex, double kx, double ky, double& scaled);
// The nearest line segment (i, i+1); line -1 when there is none.
void FindNearestLineSegment(const complexM& point, const lines& modelLines, double& distance, int& lineIndex,
                            int& segment, double kx, double ky);
// The nearest ring edge (a, b) of any ring and its body and distance. The
// result is the edge's end node within 2 scaled units of the point (a on a
// tie), else -1; nearEnd tells that end is also near relative to the edge's
// length (ratio below 0.1).
int FindNearestPolygonEdge(const complexM& point, const Tnodes& nodes, const AllSpolygon& model, int& b, int& a,
                           int& body, bool& nearEnd, double kx, double ky, double& distance);
// As FindNearestPolygonEdge over free edges only, with an end threshold of 7;
// when nearEnd is set the distance is that to the near end.
int FindNearestFreePolygonEdge(const complexM& point, const Tnodes& nodes, const AllSpolygon& model, int& b, int& a,
                               int& body, bool& nearEnd, double kx, double ky, double& distance);

// The border kind (TBorderKind) of the node's position against the area,
// with tolerance 1e-5.
int GetNodeBorderKind(int node, const AllSpolygon& model, const Tnodes& nodes, double bottom, double top, double right,
                      double left);
// The border line a point lies on (within the same tolerance): left or
// right edge, bottom edge or a bottom corner; bkNone elsewhere (the surface
// is no line of the area: GetNodeBorderKind finds it by the host ring).
int BorderLineKind(const complexM& point, double bottom, double right, double left);
// Over the nodes with border 0: smallest x (1e30 when none), largest x and
// largest y (-1e30 when none).
void GetNodeExtent(double& minX, double& maxX, const Tnodes& nodes, double& maxY);
// Over the nodes added on the frame's edges, from index frameNodes on (the
// frame's own nodes come first): smallest and largest x of those on the
// bottom edge or the surface, largest y of those on the left or right edge
// (1e30 / -1e30 when none). Such a node keeps that coordinate while the
// area's corners move, so an area must hold it strictly inside.
void GetFrameEdgeNodeExtent(double& minX, double& maxX, const Tnodes& nodes, int frameNodes, double& maxY);

// Selections fill three parallel lists (ring ids from slot 0, ring indices,
// bodies), emptied first.
void SelectSubPolygonsByNodes(const arofintM& list, int body, const AllSpolygon& model, arofintM& ids, arofintM& subs,
                              arofintM& bodies);
void SelectBody(int body, const AllSpolygon& model, arofintM& ids, arofintM& subs, arofintM& bodies);
void SelectSubPolygon(int body, int sub, const AllSpolygon& model, arofintM& ids, arofintM& subs, arofintM& bodies);
// False when no ring uses the node; else the first body whose rings do.
bool FindBodyOfNode(int node, int& body, const AllSpolygon& model);
// The distinct nodes of the body's rings (with onlyFree, those not fixed and
// not on the border); allFree is false when some node is fixed or on the border.
void CollectBodyNodes(bool onlyFree, int body, const AllSpolygon& model, arofintM& list, bool& allFree,
                      const Tnodes& nodes);
void CollectSubPolygonNodes(bool onlyFree, int body, int sub, arofintM& list, bool& allFree, const Tnodes& nodes,
                            const AllSpolygon& model);
// Cyclic neighbours in a ring: the position and its node.
int NextInRing(int position, const arofintM& ring, int& node);
int PrevInRing(int position, const arofintM& ring, int& node);
// The first position of the node; false when absent.
bool FindInRing(int node, const arofintM& ring, int& position);

// --- Adding nodes, rings and bodies, dividing rings -------------------------
// Each works in place and reports success. AddSubPolygon can fail after it
// has extended the arrays: callers keep a copy and restore it on false.

// Reverses the points when they run clockwise (PolygonIsClockwise).
void NormalizeOrientation(arofcomplexM& points);
// Moves the point onto the segment ab, along x when the segment is steeper
// on screen, else along y; beyond an end it goes to that end.
void SnapPointToSegment(complexM& point, double kx, double ky, const complexM& a, const complexM& b);
// Inserts a new node at the point, snapped onto the edge, into every ring of
// the body that has the edge ab; false (nothing changed) when the snapped
// point lies within 1e-4 of a or b.
bool AddNodeOnEdge(int a, int b, int body, double kx, double ky, Tnodes& nodes, AllSpolygon& model,
                   const complexM& point);
// A new body of one ring over the drawn points (normalised in place).
bool AddPolygon(arofcomplexM& points, AllSpolygon& model, Tnodes& nodes);
// A new ring of the body closed by the drawn polyline from node start to node
// end along the body's outline; reverse takes the other part of the outline.
bool AddSubPolygon(int start, int end, int body, bool reverse, Tnodes& nodes, AllSpolygon& model,
                   arofcomplexM& points);
// AddSubPolygon, then border kinds for every node of the body's last ring.
bool AddSubPolygonWithBorders(int start, int end, int body, bool reverse, Tnodes& nodes, AllSpolygon& model,
                              arofcomplexM& points, double bottom, double top, double right, double left);
// Cuts the ring holding a and b in two along the chord ab; id is the divided
// ring's slot 0 id. False when a piece would have no area (RingHasNoArea).
bool DividePolygon(int a, int b, int body, int& id, Tnodes& nodes, AllSpolygon& model);

// --- Deleting, coupling and uncoupling ----------------------------------------

// 0, 1 or 2 (TNodeSharing) for the node within the body.
int NodeSharing(int node, int body, const AllSpolygon& model, const Tnodes& nodes);
// (node, NodeSharing) for every node the body's rings use (the host ring's
// walk limited), by ascending node, computed in one pass over the body.
std::vector<std::pair<int, int>> BodySharing(int body, const AllSpolygon& model);
// sharing := NodeSharing for every node of every ring of the body.
void UpdateBodySharing(int body, const AllSpolygon& model, Tnodes& nodes);
// Removes a node from the table; every ring index above it, in all rings of
// all bodies, goes down by one.
void RemoveNodeFromTable(int node, Tnodes& nodes, AllSpolygon& model);
// Splits the body into bodies of node-connected rings.
void RegroupBody(int body, AllSpolygon& model, Tnodes& nodes);
// Couples node from into node to. False when that would leave a ring with
// fewer than three nodes, through a node twice, without area or orientation,
// or reaching into another ring; the model is then to be restored.
bool MergeNodes(int from, int to, int bodyFrom, Tnodes& nodes, AllSpolygon& model, int bodyTo);
// Gives every ring but the first that uses the node its own copy of it.
bool SplitSharedNode(int node, int body, AllSpolygon& model, Tnodes& nodes);
void SplitNodeForSubPolygon(int node, int sub, int body, Tnodes& nodes, AllSpolygon& model);
// Frees ring sub from the nodes it shares, moving it into a body of its own.
bool UncoupleSubPolygon(int sub, int body, AllSpolygon& model, Tnodes& nodes);
// Removes the node from the body's rings and the table. Refused, with
// nothing changed, when a ring would keep fewer than three nodes, a new edge
// would cross an edge of any ring, a changed ring would lose its area or
// orientation or reach into another ring, or a body would lie in another.
bool DeleteNode(int node, int body, AllSpolygon& model, Tnodes& nodes);
bool DeleteSubPolygon(int sub, int body, AllSpolygon& model, Tnodes& nodes);
// Deletes host-ring nodes that no longer belong to its closed outline;
// false when such a deletion failed (the model is then to be restored).
bool RemoveStrayFrameNodes(AllSpolygon& model, Tnodes& nodes);

// --- Moves, frame and model area ----------------------------------------------
// The area's bounds: top < bottom, depth growing downwards. A profile is the
// ground surface as a polyline (x, depth), used when useProfile is set.

// Builds the frame nodes and the host ring for an area; returns the number
// of frame nodes.
int BuildFrameModel(Tnodes& nodes, AllSpolygon& model, const arofcomplexM& profile, bool useProfile, double bottom,
                    double top, double right, double left);
void FitBorderNodesToArea(Tnodes& nodes, double bottom, double top, double right, double left);
// Makes the nodes' border kinds those of their places, as a model read from
// a file needs before anything moves by them. A node of the frame's outline
// gets the kind of its stretch of the outline (left, bottom or right edge,
// their corners, or the surface) and must lie on that edge; a node off the
// outline whose kind names a border it does not lie on gets the kind of its
// place (GetNodeBorderKind); a node off the outline with kind 0 keeps it
// wherever it lies (a free node dropped on the border stays free). Then the
// border nodes within the kinds' tolerance of their border are put onto it
// (as FitBorderNodesToArea puts them); a node farther off is not moved (a
// frame corner off the area's corner is left to the model's checks).
// Returns one text per node of an edge stretch that does not lie on its
// edge (nothing is moved then).
std::vector<std::string> SettleBorderNodes(const AllSpolygon& model, Tnodes& nodes, double bottom, double top,
                                           double right, double left);
// The number of frame nodes (the first nodes of the table) that
// BuildFrameModel makes for the profile and area.
int FrameNodeCount(const arofcomplexM& profile, bool useProfile, double bottom, double top, double right,
                   double left);
// The model's nodes that make up the frame BuildFrameModel builds for the
// profile and area, in the frame's order: the corners 0..3, then for each
// of the frame's surface nodes the surface node of the host ring's outline
// at the same x, wherever it stands in the table; -1 where the model has
// none.
arofintM FindFrameNodes(const arofcomplexM& profile, bool useProfile, const AllSpolygon& model, const Tnodes& nodes,
                        double bottom, double top, double right, double left);
// Renumbers the nodes so that the frame's nodes (FindFrameNodes) come first,
// in the frame's order, and the others follow in their order; the rings
// follow the new numbers and nothing else changes. Returns the number of
// frame nodes found, which now stand first.
int PutFrameNodesFirst(const arofcomplexM& profile, bool useProfile, AllSpolygon& model, Tnodes& nodes,
                       double bottom, double top, double right, double left);
// Clamps a moved node's proposed position into the area and onto its
// border, off the corners; true for the border kinds that keep it on a
// border line. On the straight edges (left, bottom, right, and the top
// without a profile) the node stays strictly between its neighbours along
// the frame's outline, keeping its order. With a profile a surface node may
// pass its neighbours along the surface: SortSurfaceNodes puts the rings in
// order again when it is dropped.
bool ConstrainNodeToBorder(int node, const arofcomplexM& profile, bool useProfile, const Tnodes& nodes,
                           const AllSpolygon& model, double& y, double& x, double bottom, double top, double right,
                           double left);
// Re-orders the surface nodes of the host ring (and the host body's rings
// through the node) by x after a surface node moved.
void SortSurfaceNodes(int node, bool useProfile, AllSpolygon& model, const Tnodes& nodes);
// Whether the moved nodes leave the body valid: every ring keeps an area in
// the model's orientation, and (mode 0) no edge at a moved node crosses an
// edge of the body or a free edge of another body and no ring through a
// moved node overlaps another ring, or (mode 1) only the crossings with
// other bodies are tested, inner edges skipped. After a surface node of the
// host body moved, every surface node counts as moved.
bool CheckMovedNodes(const arofintM& moved, int body, const AllSpolygon& model, int mode, const Tnodes& nodes);
// Adapts the frame and the surface nodes to a new area (with a profile
// only; border nodes are then fitted with FitBorderNodesToArea). The old
// frame is found by its nodes' kinds and places (FindFrameNodes), wherever
// they stand in the table; the result has the new frame's nodes first and
// the other nodes after them in their order. False when
// the result, with the border nodes fitted, would not be a sound model: a
// node added on the frame's edges on or outside the new area, a side node
// above its new top corner, a host-body ring without area,
// crossing or overlapping another ring. The caller then restores its copy.
bool ChangeModelArea(const arofcomplexM& profile, bool useProfile, AllSpolygon& model, Tnodes& nodes,
                     double newBottom, double newTop, double newRight, double newLeft, double oldBottom,
                     double oldTop, double oldRight, double oldLeft);

// --- Invariants ------------------------------------------------------------------

struct TModelArea {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

// The invariants every operation keeps, checked: ring indices inside the
// node table, finite coordinates, no node shared by two bodies, the host ring
// layout, rings that enclose an area (RingHasNoArea) in the model's
// orientation, no ring edge crossing another edge of any ring (rings meet
// only at nodes), sharing consistent with the rings, and (with an area)
// frame nodes 0..3 at its corners. Returns one text per violation, naming
// the ring and body and the rule; empty when the model is sound. Near
// linear in the model's size (a grid over the edges).
std::vector<std::string> CheckModelInvariants(const AllSpolygon& model, const Tnodes& nodes,
                                              const TModelArea* area = nullptr);
// A model read from a file settled and checked in one pass: every ring but
// the host ring is turned to the model's orientation (a ring without area is
// left for the check to name) and the nodes' sharing is recomputed from the
// rings, as UpdateBodySharing does for each body in turn; then the faults
// CheckModelInvariants gives for the settled model. A model whose ring
// indices leave the node table is reported and left as it is.
std::vector<std::string> SettleAndCheckModel(AllSpolygon& model, Tnodes& nodes, const TModelArea* area);

} // namespace lp
