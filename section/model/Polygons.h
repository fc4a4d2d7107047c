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

#include "section/model/Rudirizor2e.h"

#include <cstdint>
#include <string>
#include <variant>

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
class ParamValue {
public:
    enum class Kind { Empty, Integer, Real, Text };

    ParamValue() = default;
    ParamValue(int32_t value) : FValue(value) {}
    ParamValue(double value) : FValue(value) {}
    ParamValue(std::string value) : FValue(std::move(value)) {}
    ParamValue(const char* value) : FValue(std::string(value)) {}

    Kind GetKind() const noexcept { return static_cast<Kind>(FValue.index()); }
    bool IsEmpty() const noexcept { return GetKind() == Kind::Empty; }
    void Clear() noexcept { FValue = std::monostate(); }

    // Conversions: empty gives 0 or ""; a real becomes an integer by rounding
    // (halves to even, range-checked); a text that is not a number raises
    // EConvertError when read as a number.
    int32_t AsInteger() const;
    double AsReal() const;
    std::string AsText() const;

    friend bool operator==(const ParamValue&, const ParamValue&) = default;

private:
    std::variant<std::monostate, int32_t, double, std::string> FValue;
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
    psExtra3 = 14,
};

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
bool IsHostRing(int body, int sub) noexcept;
// The number of edges a walk over the ring takes: all of them, except that
// the host ring stops at the first return to its first node.
int RingEdgeCount(const arofintM& ring, bool hostRing);
// The points of the ring's nodes in ring order.
arofcomplexM RingPoints(const arofintM& ring, const Tnodes& nodes);
complexM NodePoint(const Tnodes& nodes, int node);

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
// The segment from the polyline's last-but-one point to point against the
// segments (i, i+1), i = 0 .. n-3.
bool PolylineCrossesItself(const complexM& point, const arofcomplexM& polyline);
bool PolygonOverlapsModel(const arofcomplexM& polygon, const AllSpolygon& model, const Tnodes& nodes);
// 1 when the polyline being drawn may go on, 0 when its last point or
// segment (or, with closing, its closing segment) meets the model or itself.
int CheckDrawnPolyline(const arofcomplexM& points, const AllSpolygon& model, const Tnodes& nodes, bool closing);

} // namespace lp
