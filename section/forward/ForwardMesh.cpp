#include "section/forward/ForwardMesh.h"

#include "section/forward/VectorState.h"
#include "section/model/ModelGeometryText.h"

#include <gmsh.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <numbers>
#include <string>
#include <unordered_map>

namespace lp {

namespace {

// The fans round the electrodes: rays about 30 degrees apart, rings at the
// rim, half and a quarter of its radius; a fan reaches at most 0.4 of the
// way to the nearest electrode.
constexpr double FanAngle = std::numbers::pi / 6;
constexpr int FanRings = 3;
constexpr double MaxFanShare = 0.4;
// The rim's element size per unit of fan radius (the chord of FanAngle).
const double RimChord = 2.0 * std::sin(FanAngle / 2);
// Gmsh's 2-D algorithms.
constexpr int MeshAdapt = 1, FrontalDelaunay = 6;
// Frontal-Delaunay tears surfaces with elements below this share of the
// model's size (it leaves triangles of no area, or poorly shaped ones
// that cost a per cent of accuracy): MeshAdapt meshes the surfaces round
// the electrodes then, and any surface Frontal-Delaunay left uncovered or
// with a triangle shaped worse than TornShape (twice the area over the
// longest edge squared; a sharp corner of the model alone stays above it).
constexpr double FrontalLimit = 1e-9;
// The mesh refinement's range: coarser meshes lose the electrodes' fans in
// the growth, finer ones outgrow any memory.
constexpr double MinRefinement = 0.25, MaxRefinement = 16.0;
// The corners of regions near the electrodes (see FindCorners): those
// within CornerReach nearest-electrode distances of an electrode get an
// element size of CornerShare of their distance to it, growing by
// CornerGrowth. Two boundary edges meeting within about 3 degrees of a
// straight line make no corner.
constexpr double CornerReach = 4.0, CornerShare = 0.015, CornerGrowth = 0.15;
constexpr double StraightCosine = 0.9986;
constexpr double TornShape = 0.01;

// A length in messages: three digits, or whole metres.
std::string ShortReal(double value)
{
    char buffer[32];
    const bool large = std::fabs(value) >= 100.0 && std::fabs(value) < 1e7; // "9000", not "9e+03"
    std::snprintf(buffer, sizeof buffer, large ? "%.0f" : "%.3g", value);
    return buffer;
}

class TPadder {
public:
    TPadder(const TForwardModel& ground, const TSurvey& survey, const TMeshOptions& options)
        : FGround(ground), FSurvey(survey), FOptions(options)
    {
        const TModelGeometry& g = ground.Geometry;
        P.Points = g.Points;
        P.Edges.assign(g.Edges.begin(), g.Edges.begin() + g.ModelEdgeCount);
        P.Surfaces = g.Surfaces;
        for (size_t e = 0; e < P.Edges.size(); ++e)
            FEdgeOf.emplace(Key(P.Edges[e].first, P.Edges[e].second), static_cast<int>(e));
    }

    TPaddedGeometry Build()
    {
        FindPlaces();
        ChooseSizes();
        CheckElectrodeDistances();
        PutElectrodesOnSurface();
        Pad();
        const std::vector<double> radii = FanRadii();
        FindCorners(radii);
        CutFans(radii);
        for (int place : FPlaceOf)
            P.ElectrodeNodes.push_back(FPlaceNodes.at(static_cast<size_t>(place)));
        MakeCanonical();
        return std::move(P);
    }

private:
    static uint64_t Key(int a, int b)
    {
        if (a > b)
            std::swap(a, b);
        return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
    }

    // The signed edge number from a to b, the edge made when it is new.
    int Edge(int a, int b)
    {
        const auto found = FEdgeOf.find(Key(a, b));
        int e = 0;
        if (found != FEdgeOf.end()) {
            e = found->second;
        } else {
            e = static_cast<int>(P.Edges.size());
            P.Edges.emplace_back(a, b);
            FEdgeOf.emplace(Key(a, b), e);
        }
        return P.Edges[static_cast<size_t>(e)].first == a ? e + 1 : -(e + 1);
    }

    int AddPoint(double x, double y)
    {
        P.Points.push_back({x, y});
        return static_cast<int>(P.Points.size()) - 1;
    }

    double X(int p) const { return P.Points[static_cast<size_t>(p)].x; }
    double Y(int p) const { return P.Points[static_cast<size_t>(p)].y; }

    // --- Sizes ------------------------------------------------------------------------
    void ChooseSizes()
    {
        double first = 1e300, last = -1e300;
        for (const TElectrode& electrode : FSurvey.Electrodes) {
            first = std::min(first, electrode.x);
            last = std::max(last, electrode.x);
        }
        const double width = FGround.Right - FGround.Left;
        FLength = std::max(width, last - first);
        const double top = FGround.Surface.empty() ? 0.0 : FGround.Surface.front().y;
        double highest = top;
        for (const TGeometryPoint& s : FGround.Surface)
            highest = std::max(highest, s.y);
        FPad = FOptions.Padding * std::max(FLength, top - FGround.Bottom);
        FExtent = std::max(width + 2 * FPad, highest - FGround.Bottom + FPad);
        const double refinement = FOptions.Refinement;
        if (!(refinement >= MinRefinement && refinement <= MaxRefinement))
            throw EForwardError("The mesh refinement must be a number from " + ShortReal(MinRefinement) + " to " +
                                ShortReal(MaxRefinement) + ".");
        FFanShare = std::min(FOptions.ElectrodeSize / RimChord, MaxFanShare) / refinement;
        P.Growth = FOptions.Growth / refinement;
        P.MaxSize = std::max(FOptions.ElectrodeSize * FLength, FLength) / refinement;
        P.Extent = FExtent;
    }

    // The rim's element size is RimChord times the fan's radius; it must
    // not fall below the mesher's resolution.
    double SmallestMeshSize() const { return MinMeshSize * FExtent; }
    // The distance at which an electrode's fan gets the smallest size.
    double SmallestDistance(double share) const { return SmallestMeshSize() / (RimChord * share); }

    std::string TooClose(double smallest) const
    {
        return "m apart: too close to mesh beside a padded model " + ShortReal(FExtent) + " m across (at least " +
               ShortReal(smallest) + " m)";
    }

    // Neighbours closer than the mesher resolves, refused by name before Gmsh sees them.
    void CheckElectrodeDistances()
    {
        const double smallest = SmallestDistance(FFanShare);
        if (AnyBuried()) {
            int a = -1, b = -1;
            NearestInPlane(a, b);
            if (a >= 0 && PlaceDistance(a, b) < smallest)
                throw EForwardError("Electrodes " + std::to_string(FPlaces[static_cast<size_t>(a)] + 1) + " and " +
                                    std::to_string(FPlaces[static_cast<size_t>(b)] + 1) + " are " +
                                    ShortReal(PlaceDistance(a, b)) + " " + TooClose(smallest) + ".");
            return;
        }
        const std::vector<int> order = PlacesByX();
        for (size_t i = 1; i < order.size(); ++i) {
            const int a = std::min(order[i - 1], order[i]), b = std::max(order[i - 1], order[i]);
            const double d = PlaceDistance(a, b);
            if (d < smallest)
                throw EForwardError("Electrodes " + std::to_string(FPlaces[static_cast<size_t>(a)] + 1) + " and " +
                                    std::to_string(FPlaces[static_cast<size_t>(b)] + 1) + " (x = " +
                                    FormatExactReal(Place(a).x) + " and " + FormatExactReal(Place(b).x) + ") are " +
                                    ShortReal(d) + " " + TooClose(smallest) + ".");
        }
    }

    // --- Places ----------------------------------------------------------------------
    // The mesh sees the section's plane (x, z): electrodes at one x and
    // different y (a remote set out square from a line electrode) are one
    // source of the 2.5-D problem there, one point with one fan and one
    // node; the back-transform sets them apart by cos(k Δy). Electrodes at
    // different x keep points of their own however near, each at its own
    // x: the source's place in the plane is where its field comes from, and
    // moving it would move the field (their fans shrink to their distance in
    // the plane, like those of electrodes that near on the line). One place
    // per x within a billionth of the model area's width (the tolerance
    // PlaceSurvey refuses two electrodes at one place by), by the first
    // electrode standing there; a survey on the line has one per electrode,
    // in their order.
    void FindPlaces()
    {
        const double same = 1e-9 * std::max(1.0, FGround.Right - FGround.Left);
        std::vector<int> order(FSurvey.Electrodes.size());
        for (size_t e = 0; e < order.size(); ++e)
            order[e] = static_cast<int>(e);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Electrode(a).x < Electrode(b).x; });
        FPlaceOf.assign(FSurvey.Electrodes.size(), -1);
        for (size_t i = 0; i < order.size();) {
            // A run of electrodes within the tolerance of the run's first x.
            size_t end = i + 1;
            while (end < order.size() && Electrode(order[end]).x - Electrode(order[i]).x <= same)
                ++end;
            // Within the run, buried electrodes at different depths stand apart (a hole).
            for (size_t j = i; j < end; ++j) {
                const int e = order[j];
                int first = e;
                for (size_t k = i; k < end; ++k)
                    if (SamePlace(Electrode(order[k]), Electrode(e), same))
                        first = std::min(first, order[k]);
                FPlaceOf[static_cast<size_t>(e)] = first;
            }
            i = end;
        }
        // Places numbered by their first electrode's number.
        std::vector<int> number(FSurvey.Electrodes.size(), -1);
        for (size_t e = 0; e < FSurvey.Electrodes.size(); ++e)
            if (FPlaceOf[e] == static_cast<int>(e)) {
                number[e] = static_cast<int>(FPlaces.size());
                FPlaces.push_back(static_cast<int>(e));
            }
        for (int& place : FPlaceOf)
            place = number[static_cast<size_t>(place)];
    }

    // Two electrodes at one x: one place on the surface, or buried at one depth.
    static bool SamePlace(const TElectrode& a, const TElectrode& b, double same)
    {
        return a.Buried() == b.Buried() && (!a.Buried() || std::fabs(a.z - b.z) <= same);
    }

    const TElectrode& Electrode(int e) const { return FSurvey.Electrodes[static_cast<size_t>(e)]; }
    // A place's electrode: the first standing there.
    const TElectrode& Place(int p) const { return Electrode(FPlaces[static_cast<size_t>(p)]); }
    double PlaceDistance(int a, int b) const { return std::hypot(Place(a).x - Place(b).x, Place(a).z - Place(b).z); }
    std::vector<int> PlacesByX() const
    {
        std::vector<int> order(FPlaces.size());
        for (size_t p = 0; p < order.size(); ++p)
            order[p] = static_cast<int>(p);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Place(a).x < Place(b).x; });
        return order;
    }

    bool AnyBuried() const
    {
        return std::any_of(FSurvey.Electrodes.begin(), FSurvey.Electrodes.end(),
                           [](const TElectrode& e) { return e.Buried(); });
    }

    // Each place's distance to its nearest other place in the section's
    // plane (a buried electrode's nearest may be in another hole, or below
    // it in its own), scanned out both ways along x until the x distance
    // alone exceeds the nearest found; the closest pair, lower place first.
    std::vector<double> NearestInPlane(int& closestA, int& closestB) const
    {
        std::vector<double> nearest(FPlaces.size(), FLength);
        const std::vector<int> order = PlacesByX();
        double closest = 1e300;
        for (size_t i = 0; i < order.size(); ++i) {
            const int at = order[i];
            double& own = nearest[static_cast<size_t>(at)];
            const auto visit = [&](size_t j) {
                const double d = PlaceDistance(at, order[j]);
                own = std::min(own, d);
                if (d < closest) {
                    closest = d;
                    closestA = std::min(at, order[j]);
                    closestB = std::max(at, order[j]);
                }
            };
            for (size_t j = i + 1; j < order.size() && Place(order[j]).x - Place(at).x < own; ++j)
                visit(j);
            for (size_t j = i; j-- > 0 && Place(at).x - Place(order[j]).x < own;)
                visit(j);
        }
        return nearest;
    }

    // Each place's distance to its neighbours along the surface, the nearer
    // (in the plane, NearestInPlane, with buried electrodes).
    std::vector<double> NearestElectrodeDistances() const
    {
        if (AnyBuried()) {
            int a = 0, b = 0;
            return NearestInPlane(a, b);
        }
        std::vector<double> nearest(FPlaces.size(), FLength);
        const std::vector<int> order = PlacesByX();
        for (size_t i = 1; i < order.size(); ++i) {
            const double d = PlaceDistance(order[i - 1], order[i]);
            for (int e : {order[i - 1], order[i]})
                nearest[static_cast<size_t>(e)] = std::min(nearest[static_cast<size_t>(e)], d);
        }
        return nearest;
    }

    // --- Electrodes -------------------------------------------------------------
    void PutElectrodesOnSurface()
    {
        // The surface's points in the geometry, left to right.
        std::map<std::pair<double, double>, int> pointAt;
        for (size_t p = 0; p < P.Points.size(); ++p)
            pointAt.emplace(std::make_pair(P.Points[p].x, P.Points[p].y), static_cast<int>(p));
        for (const TGeometryPoint& s : FGround.Surface)
            FSurface.push_back(pointAt.at({s.x, s.y}));
        // An electrode by a point of the surface, too near for a fan of its
        // own, stands on the point: it moves by a thousandth of its distance
        // to the nearest electrode at most.
        const double width = FGround.Right - FGround.Left;
        const std::vector<double> nearest = NearestElectrodeDistances();
        FFreeSurface.assign(FPlaces.size(), -1);
        for (size_t e = 0; e < FPlaces.size(); ++e) {
            const TElectrode& electrode = Place(static_cast<int>(e));
            if (electrode.Buried()) {
                FElectrodePoints.push_back(PutBuriedElectrode(e, 1e-3 * nearest[e]));
                continue;
            }
            const double same = std::max(1e-9 * std::max(1.0, width), std::min(SmallestDistance(0.5), 1e-3 * nearest[e]));
            const auto after = std::lower_bound(FSurface.begin(), FSurface.end(), electrode.x,
                                                [&](int p, double x) { return X(p) < x; });
            if (after != FSurface.end() && X(*after) - electrode.x <= same) {
                FElectrodePoints.push_back(*after);
                continue;
            }
            if (after != FSurface.begin() && electrode.x - X(*(after - 1)) <= same) {
                FElectrodePoints.push_back(*(after - 1));
                continue;
            }
            // An electrode beyond the surface's ends has no edge to split.
            if (after == FSurface.begin() || after == FSurface.end())
                throw EForwardError("An electrode at x = " + FormatExactReal(electrode.x) +
                                    " lies beyond the ground surface.");
            const int a = *(after - 1), b = *after;
            const int point = AddPoint(electrode.x, electrode.z);
            SplitEdge(a, b, point);
            FSurface.insert(after, point);
            FElectrodePoints.push_back(point);
        }
    }

    // A buried electrode's point: a point of the geometry within Snap of it,
    // else a point on a boundary between regions within Snap (the
    // electrode moved onto it: a lake's bottom, a layer's boundary), else a
    // point of its own inside a region, whose fan is a whole disc
    // (CutDiscFan). Surface edges are left out: a buried electrode lies
    // further below the surface than it may move.
    int PutBuriedElectrode(size_t place, double snap)
    {
        const TElectrode& electrode = Place(static_cast<int>(place));
        const TGeometryPoint at{electrode.x, electrode.z};
        int nearestPoint = -1, nearestEdge = -1;
        double pointDistance = snap, edgeDistance = snap;
        for (size_t p = 0; p < P.Points.size(); ++p) {
            const double d = std::hypot(X(static_cast<int>(p)) - at.x, Y(static_cast<int>(p)) - at.y);
            if (d <= pointDistance) {
                pointDistance = d;
                nearestPoint = static_cast<int>(p);
            }
        }
        if (nearestPoint >= 0 && !FEdgeOf.empty() && PointOnEdges(nearestPoint))
            return nearestPoint;
        const std::vector<char> onSurface = SurfaceEdges();
        for (size_t i = 0; i < P.Edges.size(); ++i) {
            if (onSurface[i])
                continue;
            const auto [a, b] = P.Edges[i];
            const double d = SegmentDistance(at, P.Points[static_cast<size_t>(a)], P.Points[static_cast<size_t>(b)]);
            if (d <= edgeDistance) {
                edgeDistance = d;
                nearestEdge = static_cast<int>(i);
            }
        }
        if (nearestEdge >= 0) {
            const auto [a, b] = P.Edges[static_cast<size_t>(nearestEdge)];
            const double dx = X(b) - X(a), dy = Y(b) - Y(a);
            const double t = std::clamp(((at.x - X(a)) * dx + (at.y - Y(a)) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            const int point = AddPoint(X(a) + t * dx, Y(a) + t * dy);
            SplitEdge(a, b, point);
            return point;
        }
        FFreeSurface[place] = SurfaceHolding(at);
        if (FFreeSurface[place] < 0)
            throw EForwardError("The buried electrode at x = " + FormatExactReal(at.x) + ", z = " +
                                FormatExactReal(at.y) + " lies in no region of the ground.");
        return AddPoint(at.x, at.y);
    }

    bool PointOnEdges(int point) const
    {
        return std::any_of(P.Edges.begin(), P.Edges.end(),
                           [&](const std::pair<int, int>& e) { return e.first == point || e.second == point; });
    }

    // The edges between two surface points next to each other.
    std::vector<char> SurfaceEdges() const
    {
        std::vector<char> on(P.Edges.size(), 0);
        for (size_t i = 1; i < FSurface.size(); ++i) {
            const auto found = FEdgeOf.find(Key(FSurface[i - 1], FSurface[i]));
            if (found != FEdgeOf.end())
                on[static_cast<size_t>(found->second)] = 1;
        }
        return on;
    }

    // Whether the point lies inside the loop (crossings of a ray to the right).
    bool InsideLoop(const TGeometryPoint& at, const TGeometryLoop& loop) const
    {
        bool inside = false;
        for (int edge : loop) {
            const auto [a, b] = P.Edges[static_cast<size_t>(std::abs(edge) - 1)];
            const TGeometryPoint& p = P.Points[static_cast<size_t>(a)];
            const TGeometryPoint& q = P.Points[static_cast<size_t>(b)];
            if ((p.y > at.y) != (q.y > at.y) && at.x < p.x + (q.x - p.x) * (at.y - p.y) / (q.y - p.y))
                inside = !inside;
        }
        return inside;
    }

    // The surface of the geometry the point lies in; -1 for none.
    int SurfaceHolding(const TGeometryPoint& at) const
    {
        for (size_t s = 0; s < P.Surfaces.size(); ++s) {
            const TGeometrySurface& surface = P.Surfaces[s];
            if (InsideLoop(at, surface.outer) &&
                std::none_of(surface.holes.begin(), surface.holes.end(),
                             [&](const TGeometryLoop& hole) { return InsideLoop(at, hole); }))
                return static_cast<int>(s);
        }
        return -1;
    }

    // Edge a-b becomes a-point and point-b in every loop that runs along it.
    void SplitEdge(int a, int b, int point)
    {
        const int e = FEdgeOf.at(Key(a, b));
        auto& edge = P.Edges[static_cast<size_t>(e)];
        const int first = edge.first, second = edge.second;
        FEdgeOf.erase(Key(a, b));
        edge = {first, point};
        FEdgeOf.emplace(Key(first, point), e);
        const int added = Edge(point, second); // positive: a new edge
        const auto split = [&](TGeometryLoop& loop) {
            for (size_t i = 0; i < loop.size(); ++i)
                if (loop[i] == e + 1) {
                    loop.insert(loop.begin() + static_cast<std::ptrdiff_t>(i) + 1, added);
                    return;
                } else if (loop[i] == -(e + 1)) {
                    loop.insert(loop.begin() + static_cast<std::ptrdiff_t>(i), -added);
                    return;
                }
        };
        for (TGeometrySurface& surface : P.Surfaces) {
            split(surface.outer);
            for (TGeometryLoop& hole : surface.holes)
                split(hole);
        }
    }

    // --- Padding ----------------------------------------------------------------
    // The region of the model surface whose loops run along the edge.
    int RegionAlong(int a, int b) const
    {
        const int e = FEdgeOf.at(Key(a, b)) + 1;
        for (const TGeometrySurface& surface : P.Surfaces) {
            const auto uses = [&](const TGeometryLoop& loop) {
                return std::find_if(loop.begin(), loop.end(), [&](int x) { return std::abs(x) == e; }) != loop.end();
            };
            if (uses(surface.outer) || std::any_of(surface.holes.begin(), surface.holes.end(), uses))
                return surface.region;
        }
        return 0;
    }

    void AddBlock(std::vector<int> corners, int region)
    {
        TGeometrySurface surface;
        for (size_t i = 0; i < corners.size(); ++i)
            surface.outer.push_back(Edge(corners[i], corners[(i + 1) % corners.size()]));
        surface.region = region;
        P.Surfaces.push_back(std::move(surface));
    }

    void Pad()
    {
        const double left = FGround.Left, right = FGround.Right, bottom = FGround.Bottom;
        const double pad = FPad;
        // The frame's points on each side and on the bottom, in order.
        std::vector<int> leftSide, rightSide, bottomSide;
        const double same = 1e-12 * std::max(1.0, FLength);
        for (int edge : FGround.Geometry.FrameEdges)
            for (int p : {P.Edges[static_cast<size_t>(edge - 1)].first, P.Edges[static_cast<size_t>(edge - 1)].second}) {
                if (std::fabs(X(p) - left) <= same)
                    leftSide.push_back(p);
                if (std::fabs(X(p) - right) <= same)
                    rightSide.push_back(p);
                if (std::fabs(Y(p) - bottom) <= same)
                    bottomSide.push_back(p);
            }
        // A buried electrode on a side or the bottom split its frame edge:
        // the pieces' points too.
        for (const auto& edge : P.Edges) {
            // Named copies: a lambda may not capture a structured binding.
            const int a = edge.first, b = edge.second;
            const auto along = [&](auto on, std::vector<int>& side) {
                if (on(a) && on(b))
                    side.insert(side.end(), {a, b});
            };
            along([&](int p) { return std::fabs(X(p) - left) <= same; }, leftSide);
            along([&](int p) { return std::fabs(X(p) - right) <= same; }, rightSide);
            along([&](int p) { return std::fabs(Y(p) - bottom) <= same; }, bottomSide);
        }
        const auto sortUnique = [](std::vector<int>& side, auto less) {
            std::sort(side.begin(), side.end(), less);
            side.erase(std::unique(side.begin(), side.end()), side.end());
        };
        sortUnique(leftSide, [&](int a, int b) { return Y(a) < Y(b); });
        sortUnique(rightSide, [&](int a, int b) { return Y(a) < Y(b); });
        sortUnique(bottomSide, [&](int a, int b) { return X(a) < X(b); });
        // Points beyond the sides and below the bottom, one per border point.
        const double outLeft = left - pad, outRight = right + pad, outBottom = bottom - pad;
        std::vector<int> leftOut, rightOut, bottomOut;
        for (int p : leftSide)
            leftOut.push_back(AddPoint(outLeft, Y(p)));
        for (int p : rightSide)
            rightOut.push_back(AddPoint(outRight, Y(p)));
        for (int p : bottomSide)
            bottomOut.push_back(AddPoint(X(p), outBottom));
        const auto side = [&](int along) {
            if (FOptions.SidePaddingOffset < 0)
                return along;
            const long long region = static_cast<long long>(along) + FOptions.SidePaddingOffset;
            if (region >= static_cast<long long>(FGround.Regions.size()))
                throw EForwardError("The padding beside the model area names a region the ground does not have.");
            return static_cast<int>(region);
        };
        for (size_t i = 0; i + 1 < leftSide.size(); ++i)
            AddBlock({leftOut[i], leftSide[i], leftSide[i + 1], leftOut[i + 1]},
                     side(RegionAlong(leftSide[i], leftSide[i + 1])));
        for (size_t i = 0; i + 1 < rightSide.size(); ++i)
            AddBlock({rightSide[i], rightOut[i], rightOut[i + 1], rightSide[i + 1]},
                     side(RegionAlong(rightSide[i], rightSide[i + 1])));
        for (size_t i = 0; i + 1 < bottomSide.size(); ++i)
            AddBlock({bottomOut[i], bottomOut[i + 1], bottomSide[i + 1], bottomSide[i]},
                     RegionAlong(bottomSide[i], bottomSide[i + 1]));
        const int bottomLeftCorner = AddPoint(outLeft, outBottom);
        const int bottomRightCorner = AddPoint(outRight, outBottom);
        AddBlock({bottomLeftCorner, bottomOut.at(0), bottomSide.at(0), leftOut.at(0)},
                 side(RegionAlong(leftSide.at(0), leftSide.at(1))));
        AddBlock({bottomOut.at(bottomOut.size() - 1), bottomRightCorner, rightOut.at(0), bottomSide.at(bottomSide.size() - 1)},
                 side(RegionAlong(rightSide.at(0), rightSide.at(1))));
        for (size_t e = 0; e < P.Edges.size(); ++e) {
            const int a = P.Edges[e].first, b = P.Edges[e].second;
            if ((X(a) == outLeft && X(b) == outLeft) || (X(a) == outRight && X(b) == outRight) ||
                (Y(a) == outBottom && Y(b) == outBottom)) {
                P.OuterEdges.push_back(static_cast<int>(e));
                P.OuterEdgeRegions.push_back(RegionAlong(a, b));
            }
        }
    }

    // --- Corners ------------------------------------------------------------------
    // Where region boundaries meet at an angle (or end on the frame) close
    // beside the electrodes, the field bends sharply at a scale set by the
    // distance to the nearest electrode: the mesh there gets CornerShare of
    // that distance, growing by CornerGrowth, as far as it is finer than
    // what the electrodes' own growth gives.

    // The edges between regions of different parameters, the padding's
    // among them: a boundary that goes on straight into the padding makes
    // no corner where it leaves the model area.
    std::vector<char> ContrastEdges() const
    {
        std::vector<std::vector<int>> sides(P.Edges.size());
        for (const TGeometrySurface& surface : P.Surfaces) {
            const auto note = [&](const TGeometryLoop& loop) {
                for (int edge : loop)
                    sides.at(static_cast<size_t>(std::abs(edge) - 1)).push_back(surface.region);
            };
            note(surface.outer);
            for (const TGeometryLoop& hole : surface.holes)
                note(hole);
        }
        const auto differ = [&](int a, int b) {
            const TForwardRegion& p = FGround.Regions.at(static_cast<size_t>(a));
            const TForwardRegion& q = FGround.Regions.at(static_cast<size_t>(b));
            return p.resistivity != q.resistivity || p.polarizability != q.polarizability;
        };
        std::vector<char> contrast(P.Edges.size(), 0);
        for (size_t e = 0; e < contrast.size(); ++e)
            contrast[e] = sides[e].size() == 2 && differ(sides[e][0], sides[e][1]);
        return contrast;
    }

    // The points where contrast edges meet other than in a straight line.
    std::vector<int> CornerPoints() const
    {
        const std::vector<char> contrast = ContrastEdges();
        std::unordered_map<int, std::vector<std::pair<double, double>>> directions; // unit vectors away from the point
        for (size_t e = 0; e < contrast.size(); ++e) {
            if (!contrast[e])
                continue;
            const auto [a, b] = P.Edges[e];
            const double length = std::hypot(X(b) - X(a), Y(b) - Y(a));
            directions[a].emplace_back((X(b) - X(a)) / length, (Y(b) - Y(a)) / length);
            directions[b].emplace_back((X(a) - X(b)) / length, (Y(a) - Y(b)) / length);
        }
        std::vector<int> corners;
        for (const auto& [point, away] : directions) {
            const bool straight =
                away.size() == 2 && away[0].first * away[1].first + away[0].second * away[1].second < -StraightCosine;
            if (!straight)
                corners.push_back(point);
        }
        return corners;
    }

    // The corners in the order of their places (the file's order of nodes
    // and rings changes nothing).
    void FindCorners(const std::vector<double>& radii)
    {
        P.CornerGrowth = CornerGrowth / FOptions.Refinement;
        if (FElectrodePoints.empty())
            return;
        const std::vector<double> nearest = NearestElectrodeDistances();
        std::vector<int> corners = CornerPoints();
        std::sort(corners.begin(), corners.end(),
                  [&](int a, int b) { return std::make_pair(X(a), Y(a)) < std::make_pair(X(b), Y(b)); });
        for (int point : corners)
            AddCorner(P.Points[static_cast<size_t>(point)], radii, nearest);
    }

    // A corner at p, when it lies within reach of its nearest electrode, off
    // that electrode's fan, and asks for a finer mesh than the electrodes' growth gives.
    void AddCorner(const TGeometryPoint& p, const std::vector<double>& radii, const std::vector<double>& nearest)
    {
        double distance = 1e300, electrodeSize = 1e300;
        size_t closest = 0;
        for (size_t e = 0; e < FElectrodePoints.size(); ++e) {
            const int at = FElectrodePoints[e];
            const double d = std::hypot(p.x - X(at), p.y - Y(at));
            if (d < distance) {
                distance = d;
                closest = e;
            }
            electrodeSize = std::min(electrodeSize, RimChord * radii[e] + P.Growth * std::max(0.0, d - radii[e]));
        }
        if (distance > CornerReach * nearest[closest] || distance <= radii[closest])
            return;
        const double size = std::max(CornerShare * distance / FOptions.Refinement, 2.0 * FrontalLimit * FExtent);
        if (size >= electrodeSize)
            return;
        P.Corners.push_back(p);
        P.CornerSizes.push_back(size);
        P.CornerReaches.push_back((electrodeSize - size) / P.CornerGrowth);
    }

    // --- Fans -----------------------------------------------------------------------
    // An edge meeting an electrode's point: where it goes, and its direction.
    struct TSpoke {
        int edge = 0;
        int far = 0; // the edge's other end
        double angle = 0.0;
        std::vector<int> nodes; // rim point (as -1 - point), then the inner rings' fan nodes
    };

    // A corner of one surface at an electrode: its loop runs in along one
    // spoke and out along another, the surface on its left.
    struct TSector {
        TGeometryLoop* loop = nullptr;
        int in = 0, out = 0; // signed edge numbers
        int region = 0;
    };

    int FanNode(double x, double y)
    {
        P.FanNodes.push_back({x, y});
        return static_cast<int>(P.FanNodes.size()) - 1;
    }

    static double SegmentDistance(const TGeometryPoint& p, const TGeometryPoint& a, const TGeometryPoint& b)
    {
        const double dx = b.x - a.x, dy = b.y - a.y, length = dx * dx + dy * dy;
        const double t = length > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0) : 0.0;
        return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
    }

    // The nearest point or edge of the geometry that does not touch point e,
    // scanned only within reach.
    void NearestFeature(int e, double reach, double& distance, int& point, int& edge) const
    {
        const TGeometryPoint& at = P.Points[static_cast<size_t>(e)];
        distance = reach;
        point = edge = -1;
        for (size_t p = 0; p < P.Points.size(); ++p)
            if (static_cast<int>(p) != e && std::fabs(P.Points[p].x - at.x) < distance &&
                std::fabs(P.Points[p].y - at.y) < distance) {
                const double d = std::hypot(P.Points[p].x - at.x, P.Points[p].y - at.y);
                if (d < distance) {
                    distance = d;
                    point = static_cast<int>(p);
                    edge = -1;
                }
            }
        for (size_t i = 0; i < P.Edges.size(); ++i) {
            const auto [a, b] = P.Edges[i];
            if (a == e || b == e || std::min(X(a), X(b)) > at.x + distance || std::max(X(a), X(b)) < at.x - distance ||
                std::min(Y(a), Y(b)) > at.y + distance || std::max(Y(a), Y(b)) < at.y - distance)
                continue;
            const double d = SegmentDistance(at, P.Points[static_cast<size_t>(a)], P.Points[static_cast<size_t>(b)]);
            if (d < distance) {
                distance = d;
                point = -1;
                edge = static_cast<int>(i);
            }
        }
    }

    // Each electrode's fan radius: a share of its nearest electrode's
    // distance, at most half the way to anything else of the geometry.
    std::vector<double> FanRadii() const
    {
        const size_t count = FElectrodePoints.size();
        const std::vector<double> nearest = NearestElectrodeDistances();
        std::vector<double> radii(count);
        const double smallest = SmallestDistance(0.5);
        for (size_t e = 0; e < count; ++e) {
            const double wanted = FFanShare * nearest[e];
            const int at = FElectrodePoints[e];
            double clearance = 0.0;
            int point = -1, edge = -1;
            NearestFeature(at, 2.0 * wanted, clearance, point, edge);
            radii[e] = std::min(wanted, 0.5 * clearance);
            if (clearance < smallest) {
                const TGeometryPoint& p = P.Points[static_cast<size_t>(point >= 0 ? point : at)];
                const std::string what =
                    point >= 0 ? "a corner of the model at x = " + FormatExactReal(p.x) + ", y = " + FormatExactReal(p.y)
                               : std::string("a boundary of the model");
                throw EForwardError("Electrode " + std::to_string(FPlaces[e] + 1) + " (x = " + FormatExactReal(X(at)) +
                                    ") and " + what + " are " + ShortReal(clearance) + " " + TooClose(smallest) + ".");
            }
        }
        return radii;
    }

    void CutFans(const std::vector<double>& radii)
    {
        // Spokes and sectors found on the geometry as it is before any cut.
        std::unordered_map<int, std::vector<int>> edgesAt;
        for (size_t e = 0; e < P.Edges.size(); ++e) {
            edgesAt[P.Edges[e].first].push_back(static_cast<int>(e));
            edgesAt[P.Edges[e].second].push_back(static_cast<int>(e));
        }
        std::vector<std::vector<TSpoke>> spokes(FElectrodePoints.size());
        for (size_t e = 0; e < FElectrodePoints.size(); ++e) {
            const int at = FElectrodePoints[e];
            for (int edge : edgesAt[at]) {
                const auto [a, b] = P.Edges[static_cast<size_t>(edge)];
                const int far = a == at ? b : a;
                spokes[e].push_back({edge, far, std::atan2(Y(far) - Y(at), X(far) - X(at)), {}});
            }
            // By direction, so the fan's nodes come in the same order however the file lists its rings.
            std::sort(spokes[e].begin(), spokes[e].end(),
                      [](const TSpoke& a, const TSpoke& b) { return a.angle < b.angle; });
        }
        for (size_t e = 0; e < FElectrodePoints.size(); ++e)
            if (FFreeSurface[e] >= 0)
                CutDiscFan(static_cast<int>(e), radii[e]);
            else
                CutFan(static_cast<int>(e), radii[e], spokes[e]);
    }

    // The fan of a buried electrode inside a region: a whole disc, its rim a
    // hole (clockwise) of the surface holding it.
    void CutDiscFan(int place, double radius)
    {
        const int at = FElectrodePoints[static_cast<size_t>(place)];
        const double x = X(at), y = Y(at);
        const int centre = FanNode(x, y);
        FPlaceNodes.push_back(centre);
        const int rays = static_cast<int>(std::lround(2 * std::numbers::pi / FanAngle));
        std::vector<int> rim;
        std::vector<std::vector<int>> nodes(FanRings, std::vector<int>(static_cast<size_t>(rays) + 1));
        for (int ring = 0; ring < FanRings; ++ring) {
            const double r = radius * std::ldexp(1.0, -ring);
            for (int ray = 0; ray < rays; ++ray) {
                const double angle = 2 * std::numbers::pi * ray / rays;
                const double px = x + r * std::cos(angle), py = y + r * std::sin(angle);
                if (ring > 0) {
                    nodes[static_cast<size_t>(ring)][static_cast<size_t>(ray)] = FanNode(px, py);
                } else {
                    rim.push_back(AddPoint(px, py));
                    nodes[0][static_cast<size_t>(ray)] = -1 - rim.back();
                }
            }
            nodes[static_cast<size_t>(ring)].back() = nodes[static_cast<size_t>(ring)].front();
        }
        TGeometrySurface& surface = P.Surfaces[static_cast<size_t>(FFreeSurface[static_cast<size_t>(place)])];
        AddFanTriangles(nodes, 0.0, 2 * std::numbers::pi, centre, surface.region);
        TGeometryLoop hole;
        for (int ray = rays; ray > 0; --ray) {
            const int edge = Edge(rim[static_cast<size_t>(ray % rays)], rim[static_cast<size_t>(ray - 1)]);
            hole.push_back(edge);
            P.RimEdges.push_back(std::abs(edge) - 1);
        }
        surface.holes.push_back(std::move(hole));
        P.Rims.push_back(rim);
        P.RimSizes.push_back(RimChord * radius);
    }

    const TSpoke& SpokeOf(const std::vector<TSpoke>& spokes, int edge) const
    {
        for (const TSpoke& spoke : spokes)
            if (spoke.edge == edge)
                return spoke;
        throw EForwardError("The geometry at an electrode is not closed.");
    }

    // The surfaces' corners at a point: where a loop comes in and goes out.
    std::vector<TSector> SectorsAt(int at)
    {
        std::vector<TSector> sectors;
        const auto ends = [&](int edge) {
            const auto& [a, b] = P.Edges[static_cast<size_t>(std::abs(edge) - 1)];
            return edge > 0 ? b : a;
        };
        for (TGeometrySurface& surface : P.Surfaces) {
            const auto scan = [&](TGeometryLoop& loop) {
                for (size_t i = 0; i < loop.size(); ++i)
                    if (ends(loop[i]) == at)
                        sectors.push_back({&loop, loop[i], loop[(i + 1) % loop.size()], surface.region});
            };
            scan(surface.outer);
            for (TGeometryLoop& hole : surface.holes)
                scan(hole);
        }
        return sectors;
    }

    void CutFan(int place, double radius, std::vector<TSpoke>& spokes)
    {
        const int at = FElectrodePoints[static_cast<size_t>(place)];
        const double x = X(at), y = Y(at);
        std::vector<TSector> sectors = SectorsAt(at);
        std::sort(sectors.begin(), sectors.end(), [&](const TSector& a, const TSector& b) {
            return SpokeOf(spokes, std::abs(a.out) - 1).angle < SpokeOf(spokes, std::abs(b.out) - 1).angle;
        });
        const int centre = FanNode(x, y);
        FPlaceNodes.push_back(centre);
        std::vector<int> rim;
        const auto ringPoint = [&](int ring, double angle, bool onRim) {
            const double r = radius * std::ldexp(1.0, -ring);
            const double px = x + r * std::cos(angle), py = y + r * std::sin(angle);
            if (!onRim)
                return FanNode(px, py);
            rim.push_back(AddPoint(px, py));
            return -1 - rim.back();
        };
        // Every spoke: its edge now starts at the rim. Its points lie on the
        // edge exactly (a level edge stays level).
        for (TSpoke& spoke : spokes) {
            const double length = std::hypot(X(spoke.far) - x, Y(spoke.far) - y);
            for (int ring = 0; ring < FanRings; ++ring) {
                const double t = radius * std::ldexp(1.0, -ring) / length;
                const double px = x + t * (X(spoke.far) - x), py = y + t * (Y(spoke.far) - y);
                if (ring > 0) {
                    spoke.nodes.push_back(FanNode(px, py));
                } else {
                    rim.push_back(AddPoint(px, py));
                    spoke.nodes.push_back(-1 - rim.back());
                }
            }
            auto& edge = P.Edges[static_cast<size_t>(spoke.edge)];
            FEdgeOf.erase(Key(edge.first, edge.second));
            (edge.first == at ? edge.first : edge.second) = -1 - spoke.nodes.front();
            FEdgeOf.emplace(Key(edge.first, edge.second), spoke.edge);
        }
        for (const TSector& sector : sectors) {
            const TSpoke& in = SpokeOf(spokes, std::abs(sector.in) - 1);
            const TSpoke& out = SpokeOf(spokes, std::abs(sector.out) - 1);
            // The surface lies on the loop's left: counter-clockwise from out to in.
            double sweep = std::remainder(in.angle - out.angle, 2 * std::numbers::pi);
            if (sweep <= 0.0)
                sweep += 2 * std::numbers::pi;
            const int rays = std::max(1, static_cast<int>(std::lround(sweep / FanAngle)));
            // nodes[ring][ray], ray 0 along out, ray `rays` along in.
            std::vector<std::vector<int>> nodes(FanRings, std::vector<int>(static_cast<size_t>(rays) + 1));
            for (int ring = 0; ring < FanRings; ++ring) {
                nodes[static_cast<size_t>(ring)].front() = out.nodes[static_cast<size_t>(ring)];
                nodes[static_cast<size_t>(ring)].back() = in.nodes[static_cast<size_t>(ring)];
                for (int ray = 1; ray < rays; ++ray)
                    nodes[static_cast<size_t>(ring)][static_cast<size_t>(ray)] =
                        ringPoint(ring, out.angle + sweep * ray / rays, ring == 0);
            }
            AddFanTriangles(nodes, out.angle, sweep, centre, sector.region);
            // The loop goes round the rim from the in spoke to the out spoke.
            TGeometryLoop arc;
            const std::vector<int>& outer = nodes.front();
            for (int ray = rays; ray > 0; --ray) {
                const int edge = Edge(-1 - outer[static_cast<size_t>(ray)], -1 - outer[static_cast<size_t>(ray) - 1]);
                arc.push_back(edge);
                P.RimEdges.push_back(std::abs(edge) - 1);
            }
            TGeometryLoop& loop = *sector.loop;
            const auto position = std::find(loop.begin(), loop.end(), sector.in);
            loop.insert(position + 1, arc.begin(), arc.end());
        }
        P.Rims.push_back(rim);
        P.RimSizes.push_back(RimChord * radius);
    }

    // Triangles between the rings, split mirror-symmetrically about the
    // vertical through the electrode, and a fan round it.
    void AddFanTriangles(const std::vector<std::vector<int>>& nodes, double start, double sweep, int centre, int region)
    {
        const size_t rays = nodes.front().size() - 1;
        const auto add = [&](int a, int b, int c) {
            P.FanTriangles.push_back({a, b, c});
            P.FanTriangleRegions.push_back(region);
        };
        for (size_t ring = 0; ring + 1 < nodes.size(); ++ring)
            for (size_t ray = 0; ray < rays; ++ray) {
                const int o0 = nodes[ring][ray], o1 = nodes[ring][ray + 1];
                const int i0 = nodes[ring + 1][ray], i1 = nodes[ring + 1][ray + 1];
                const double middle = start + sweep * (static_cast<double>(ray) + 0.5) / static_cast<double>(rays);
                if (std::cos(middle) < 0.0) {
                    add(o0, o1, i1);
                    add(o0, i1, i0);
                } else {
                    add(o0, o1, i0);
                    add(o1, i1, i0);
                }
            }
        for (size_t ray = 0; ray < rays; ++ray)
            add(centre, nodes.back()[ray], nodes.back()[ray + 1]);
    }

    // --- Order ---------------------------------------------------------------------
    // The same ground gives the same geometry, and so the same mesh, however
    // the section file orders its nodes and rings: points by place, edges by
    // their points, loops from their smallest edge, surfaces by their loops.
    // (Regions keep their numbers: they only name a conductivity.)
    void MakeCanonical()
    {
        // Only the points edges use: the electrodes now stand inside their fans.
        std::vector<char> used(P.Points.size(), 0);
        for (const auto& [a, b] : P.Edges)
            used[static_cast<size_t>(a)] = used[static_cast<size_t>(b)] = 1;
        std::vector<int> order;
        for (size_t p = 0; p < P.Points.size(); ++p)
            if (used[p])
                order.push_back(static_cast<int>(p));
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            return std::make_pair(X(a), Y(a)) < std::make_pair(X(b), Y(b));
        });
        std::vector<int> pointTo(P.Points.size(), -1);
        std::vector<TGeometryPoint> sortedPoints;
        for (size_t p = 0; p < order.size(); ++p) {
            pointTo[static_cast<size_t>(order[p])] = static_cast<int>(p);
            sortedPoints.push_back(P.Points[static_cast<size_t>(order[p])]);
        }
        // Edges from the lower point to the higher, sorted.
        const size_t edges = P.Edges.size();
        std::vector<std::pair<std::pair<int, int>, int>> keyed; // (points, old edge)
        for (size_t e = 0; e < edges; ++e) {
            const int a = pointTo[static_cast<size_t>(P.Edges[e].first)];
            const int b = pointTo[static_cast<size_t>(P.Edges[e].second)];
            keyed.push_back({{std::min(a, b), std::max(a, b)}, static_cast<int>(e)});
        }
        std::sort(keyed.begin(), keyed.end());
        std::vector<int> edgeTo(edges); // signed new edge number of old edge e + 1
        std::vector<std::pair<int, int>> sortedEdges;
        for (size_t e = 0; e < edges; ++e) {
            const int old = keyed[e].second;
            const bool forward = pointTo[static_cast<size_t>(P.Edges[static_cast<size_t>(old)].first)] == keyed[e].first.first;
            edgeTo[static_cast<size_t>(old)] = forward ? static_cast<int>(e) + 1 : -(static_cast<int>(e) + 1);
            sortedEdges.push_back(keyed[e].first);
        }
        const auto renumber = [&](TGeometryLoop& loop) {
            for (int& edge : loop)
                edge = edge > 0 ? edgeTo[static_cast<size_t>(edge - 1)] : -edgeTo[static_cast<size_t>(-edge - 1)];
            const auto smallest = std::min_element(loop.begin(), loop.end(),
                                                   [](int a, int b) { return std::abs(a) < std::abs(b); });
            std::rotate(loop.begin(), smallest, loop.end());
        };
        const auto firstEdge = [](const TGeometryLoop& loop) { return loop.empty() ? 0 : std::abs(loop.front()); };
        for (TGeometrySurface& surface : P.Surfaces) {
            renumber(surface.outer);
            for (TGeometryLoop& hole : surface.holes)
                renumber(hole);
            std::sort(surface.holes.begin(), surface.holes.end(),
                      [&](const TGeometryLoop& a, const TGeometryLoop& b) { return firstEdge(a) < firstEdge(b); });
        }
        std::sort(P.Surfaces.begin(), P.Surfaces.end(), [&](const TGeometrySurface& a, const TGeometrySurface& b) {
            return firstEdge(a.outer) < firstEdge(b.outer);
        });
        for (auto& triangle : P.FanTriangles)
            for (int& node : triangle)
                if (node < 0)
                    node = -1 - pointTo[static_cast<size_t>(-1 - node)];
        for (std::vector<int>& rim : P.Rims)
            for (int& p : rim)
                p = pointTo[static_cast<size_t>(p)];
        for (int& edge : P.RimEdges)
            edge = std::abs(edgeTo[static_cast<size_t>(edge)]) - 1;
        std::sort(P.RimEdges.begin(), P.RimEdges.end());
        std::vector<std::pair<int, int>> outer;
        for (size_t i = 0; i < P.OuterEdges.size(); ++i)
            outer.emplace_back(std::abs(edgeTo[static_cast<size_t>(P.OuterEdges[i])]) - 1, P.OuterEdgeRegions[i]);
        std::sort(outer.begin(), outer.end());
        P.OuterEdges.clear();
        P.OuterEdgeRegions.clear();
        for (const auto& [edge, region] : outer) {
            P.OuterEdges.push_back(edge);
            P.OuterEdgeRegions.push_back(region);
        }
        P.Points = std::move(sortedPoints);
        P.Edges = std::move(sortedEdges);
    }

    const TForwardModel& FGround;
    const TSurvey& FSurvey;
    const TMeshOptions& FOptions;
    TPaddedGeometry P;
    std::unordered_map<uint64_t, int> FEdgeOf;
    std::vector<int> FSurface;         // surface points left to right
    std::vector<int> FPlaces;          // the first electrode at each place
    std::vector<int> FPlaceOf;         // the place of each electrode
    std::vector<int> FElectrodePoints; // the point of each place
    std::vector<int> FFreeSurface;     // per place: the surface holding a buried electrode off every boundary, else -1
    std::vector<int> FPlaceNodes;      // the fan node of each place
    double FLength = 1.0;              // of the model area or the survey
    double FPad = 1.0;                 // the padding's width and depth
    double FExtent = 1.0;              // the padded model's larger side
    double FFanShare = 0.2;            // a fan's radius in nearest-electrode distances
};

double SmallestRimSize(const TPaddedGeometry& g)
{
    return g.RimSizes.empty() ? g.MaxSize : *std::min_element(g.RimSizes.begin(), g.RimSizes.end());
}

std::mutex& GmshLock()
{
    static std::mutex lock;
    return lock;
}

// Gmsh started once per process, quiet. Single-threaded meshing is set at
// every call: Gmsh keeps its thread count in the calling thread's OpenMP
// settings, so a computation started from another thread would mesh in
// parallel, and a parallel mesh is not the same from one run to the next.
// Errors only logged, never thrown: Gmsh raises them inside its own
// parallel regions, where no caller can catch them and the program ends;
// the mesh is checked afterwards instead.
void StartGmsh(const TPaddedGeometry& g)
{
    static bool started = false;
    if (!started) {
        gmsh::initialize(0, nullptr, false);
        started = true;
    }
    gmsh::option::setNumber("General.Terminal", 0);
    gmsh::option::setNumber("General.AbortOnError", 0);
    gmsh::option::setNumber("General.NumThreads", 1);
    gmsh::option::setNumber("Mesh.MaxNumThreads1D", 1);
    gmsh::option::setNumber("Mesh.MaxNumThreads2D", 1);
    gmsh::option::setNumber("Mesh.Algorithm", FrontalDelaunay);
    gmsh::option::setNumber("Mesh.MeshSizeExtendFromBoundary", 0);
    gmsh::option::setNumber("Mesh.MeshSizeFromPoints", 0);
    gmsh::option::setNumber("Mesh.MeshSizeFromCurvature", 0);
    // The 1-D meshes integrate the size along each edge: a thousandth is plenty.
    gmsh::option::setNumber("Mesh.LcIntegrationPrecision", 1e-3);
    // Gmsh shakes the points by this share of the model's size before its
    // first triangulation: well below the smallest element, or a fine mesh
    // beside a large padding is torn; not below 1e-11, or points in a
    // regular pattern stay cocircular and edges are lost.
    gmsh::option::setNumber("Mesh.RandomFactor", std::clamp(1e-3 * SmallestRimSize(g) / g.Extent, 1e-11, 1e-9));
}

// One size field per size class of the rims (a quarter octave): the size
// grows with the distance from the nearest rim point of the class.
void AddSizeFields(const TPaddedGeometry& g)
{
    std::map<long, std::pair<double, std::vector<double>>> classes; // class: smallest size, rim points
    for (size_t e = 0; e < g.Rims.size(); ++e) {
        const long key = std::lround(std::floor(4.0 * std::log2(g.RimSizes[e]) + 0.5));
        auto& [size, points] = classes.try_emplace(key, g.RimSizes[e], std::vector<double>{}).first->second;
        size = std::min(size, g.RimSizes[e]);
        for (int p : g.Rims[e])
            points.push_back(p + 1);
    }
    std::vector<double> fields;
    for (const auto& [key, sizeAndPoints] : classes) {
        const auto& [size, points] = sizeAndPoints;
        const int distance = gmsh::model::mesh::field::add("Distance");
        gmsh::model::mesh::field::setNumbers(distance, "PointsList", points);
        // Size `size` + Growth * distance, up to MaxSize.
        const int threshold = gmsh::model::mesh::field::add("Threshold");
        gmsh::model::mesh::field::setNumber(threshold, "InField", distance);
        gmsh::model::mesh::field::setNumber(threshold, "SizeMin", size);
        gmsh::model::mesh::field::setNumber(threshold, "SizeMax", std::max(size, g.MaxSize));
        gmsh::model::mesh::field::setNumber(threshold, "DistMin", 0.0);
        gmsh::model::mesh::field::setNumber(threshold, "DistMax", std::max(g.MaxSize - size, 0.0) / g.Growth);
        fields.push_back(threshold);
    }
    if (fields.empty())
        return;
    if (fields.size() == 1) {
        gmsh::model::mesh::field::setAsBackgroundMesh(static_cast<int>(fields.front()));
        return;
    }
    const int smallest = gmsh::model::mesh::field::add("Min");
    gmsh::model::mesh::field::setNumbers(smallest, "FieldsList", fields);
    gmsh::model::mesh::field::setAsBackgroundMesh(smallest);
}

// The surfaces whose loops run along an electrode's rim.
std::vector<int> SurfacesAtElectrodes(const TPaddedGeometry& g)
{
    std::vector<char> rim(g.Edges.size(), 0);
    for (int e : g.RimEdges)
        rim[static_cast<size_t>(e)] = 1;
    const auto alongRim = [&](const TGeometryLoop& loop) {
        return std::any_of(loop.begin(), loop.end(), [&](int e) { return rim[static_cast<size_t>(std::abs(e) - 1)] != 0; });
    };
    std::vector<int> surfaces;
    for (size_t s = 0; s < g.Surfaces.size(); ++s)
        if (alongRim(g.Surfaces[s].outer) || std::any_of(g.Surfaces[s].holes.begin(), g.Surfaces[s].holes.end(), alongRim))
            surfaces.push_back(static_cast<int>(s));
    return surfaces;
}

// The size the corners ask for at (x, y): the smallest of their sizes
// grown to there, or none (a size far above any) beyond their reach.
double CornerSize(const TPaddedGeometry& g, double x, double y)
{
    double size = 1e22;
    for (size_t c = 0; c < g.Corners.size(); ++c) {
        const double reach = g.CornerReaches[c];
        const double dx = x - g.Corners[c].x, dy = y - g.Corners[c].y;
        if (std::fabs(dx) >= reach || std::fabs(dy) >= reach)
            continue;
        const double d = std::hypot(dx, dy);
        if (d < reach)
            size = std::min(size, g.CornerSizes[c] + g.CornerGrowth * d);
    }
    return size;
}

void BuildGmshModel(const TPaddedGeometry& g, const std::vector<int>& adaptive)
{
    gmsh::model::add("forward");
    for (size_t p = 0; p < g.Points.size(); ++p)
        gmsh::model::geo::addPoint(g.Points[p].x, g.Points[p].y, 0.0, g.MaxSize, static_cast<int>(p) + 1);
    for (size_t e = 0; e < g.Edges.size(); ++e)
        gmsh::model::geo::addLine(g.Edges[e].first + 1, g.Edges[e].second + 1, static_cast<int>(e) + 1);
    for (int e : g.RimEdges)
        gmsh::model::geo::mesh::setTransfiniteCurve(e + 1, 2);
    int loop = 0;
    for (size_t s = 0; s < g.Surfaces.size(); ++s) {
        std::vector<int> loops{gmsh::model::geo::addCurveLoop(g.Surfaces[s].outer, ++loop)};
        for (const TGeometryLoop& hole : g.Surfaces[s].holes)
            loops.push_back(gmsh::model::geo::addCurveLoop(hole, ++loop));
        gmsh::model::geo::addPlaneSurface(loops, static_cast<int>(s) + 1);
    }
    for (int s : adaptive)
        gmsh::model::geo::mesh::setAlgorithm(2, s + 1, MeshAdapt);
    gmsh::model::geo::synchronize();
    AddSizeFields(g);
    // Gmsh takes the smaller of this and its fields' size. Set at every
    // call, corners or not: Gmsh keeps the callback beyond its model, and
    // an earlier call's would read a geometry that is gone.
    gmsh::model::mesh::setSizeCallback([&g](int, int, double x, double y, double) { return CornerSize(g, x, y); });
}

double TwiceArea(const TGeometryPoint& a, const TGeometryPoint& b, const TGeometryPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Twice the area a loop encloses, counter-clockwise positive.
double TwiceLoopArea(const TPaddedGeometry& g, const TGeometryLoop& loop)
{
    double sum = 0.0;
    const TGeometryPoint& origin = g.Points.front();
    for (int edge : loop) {
        const auto& [a, b] = g.Edges[static_cast<size_t>(std::abs(edge) - 1)];
        const TGeometryPoint& from = g.Points[static_cast<size_t>(edge > 0 ? a : b)];
        const TGeometryPoint& to = g.Points[static_cast<size_t>(edge > 0 ? b : a)];
        sum += TwiceArea(origin, from, to);
    }
    return sum;
}

void AddTriangle(TForwardMesh& mesh, std::array<int, 3> triangle, int region)
{
    if (TwiceArea(mesh.Nodes[static_cast<size_t>(triangle[0])], mesh.Nodes[static_cast<size_t>(triangle[1])],
                  mesh.Nodes[static_cast<size_t>(triangle[2])]) < 0)
        std::swap(triangle[1], triangle[2]);
    mesh.Triangles.push_back(triangle);
    mesh.TriangleRegion.push_back(region);
}

std::string GmshError()
{
    std::string error;
    try {
        gmsh::logger::getLastError(error);
    } catch (...) {
    }
    return error.empty() ? std::string() : " (" + error + ")";
}

// Twice the area over the longest edge squared; NaN for three points at one place.
double Shape(const TGeometryPoint& a, const TGeometryPoint& b, const TGeometryPoint& c)
{
    const auto squared = [](const TGeometryPoint& p, const TGeometryPoint& q) {
        return (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y);
    };
    return std::fabs(TwiceArea(a, b, c)) / std::max({squared(a, b), squared(b, c), squared(c, a)});
}

// What went wrong with a surface's mesh: where, and how.
struct TUnfit {
    int surface = 0;
    std::string fault;
};

// The mesh as Gmsh made it, and the surfaces it left uncovered or meshed
// with poorly shaped triangles.
TForwardMesh ReadGmshMesh(const TPaddedGeometry& g, std::vector<TUnfit>& unfit)
{
    TForwardMesh mesh;
    std::vector<std::size_t> tags;
    std::vector<double> coordinates, parametric;
    gmsh::model::mesh::getNodes(tags, coordinates, parametric, -1, -1, true, false);
    std::unordered_map<std::size_t, int> index;
    index.reserve(tags.size());
    for (size_t i = 0; i < tags.size(); ++i)
        if (index.emplace(tags[i], static_cast<int>(mesh.Nodes.size())).second)
            mesh.Nodes.push_back({coordinates[3 * i], coordinates[3 * i + 1]});
    const auto node = [&](std::size_t tag) { return index.at(tag); };
    for (size_t s = 0; s < g.Surfaces.size(); ++s) {
        std::vector<int> types;
        std::vector<std::vector<std::size_t>> elements, nodes;
        gmsh::model::mesh::getElements(types, elements, nodes, 2, static_cast<int>(s) + 1);
        double area = 0.0, shape = 1.0;
        for (size_t t = 0; t < types.size(); ++t) {
            if (types[t] != 2) // 3-node triangles only
                throw EForwardError("The mesh holds elements other than linear triangles.");
            for (size_t i = 0; i + 2 < nodes[t].size(); i += 3) {
                AddTriangle(mesh, {node(nodes[t][i]), node(nodes[t][i + 1]), node(nodes[t][i + 2])}, g.Surfaces[s].region);
                const auto& tri = mesh.Triangles.back();
                const TGeometryPoint& a = mesh.Nodes[static_cast<size_t>(tri[0])];
                const TGeometryPoint& b = mesh.Nodes[static_cast<size_t>(tri[1])];
                const TGeometryPoint& c = mesh.Nodes[static_cast<size_t>(tri[2])];
                area += TwiceArea(a, b, c);
                shape = std::min(shape, Shape(a, b, c));
            }
        }
        // Gmsh reports some failures only in its log: a surface left (partly) unmeshed.
        double expected = std::fabs(TwiceLoopArea(g, g.Surfaces[s].outer));
        for (const TGeometryLoop& hole : g.Surfaces[s].holes)
            expected -= std::fabs(TwiceLoopArea(g, hole));
        if (!(std::fabs(area - expected) <= 1e-6 * expected)) {
            const TGeometryPoint& p =
                g.Points[static_cast<size_t>(g.Edges[static_cast<size_t>(std::abs(g.Surfaces[s].outer.front()) - 1)].first)];
            unfit.push_back({static_cast<int>(s), "the mesher left the region at x = " + ShortReal(p.x) + ", y = " +
                                                      ShortReal(p.y) + " uncovered" + GmshError()});
        } else if (shape < TornShape) {
            unfit.push_back({static_cast<int>(s), {}});
        }
    }
    for (size_t outer = 0; outer < g.OuterEdges.size(); ++outer) {
        const int e = g.OuterEdges[outer];
        std::vector<int> types;
        std::vector<std::vector<std::size_t>> elements, nodes;
        gmsh::model::mesh::getElements(types, elements, nodes, 1, e + 1);
        for (size_t t = 0; t < types.size(); ++t)
            for (size_t i = 0; i + 1 < nodes[t].size() && types[t] == 1; i += 2)
            {
                mesh.OuterEdges.push_back({node(nodes[t][i]), node(nodes[t][i + 1])});
                mesh.OuterEdgeRegion.push_back(g.OuterEdgeRegions[outer]);
            }
    }
    // The fans: their inner nodes after Gmsh's, their rims on Gmsh's nodes.
    std::unordered_map<int, int> rimNode;
    for (const auto& triangle : g.FanTriangles)
        for (int n : triangle)
            if (n < 0 && !rimNode.count(-1 - n)) {
                std::vector<std::size_t> pointNodes;
                gmsh::model::mesh::getNodes(pointNodes, coordinates, parametric, 0, -n);
                if (pointNodes.empty())
                    throw EForwardError("The mesh has no node on an electrode's rim" + GmshError() + ".");
                rimNode.emplace(-1 - n, node(pointNodes.front()));
            }
    const int first = static_cast<int>(mesh.Nodes.size());
    mesh.Nodes.insert(mesh.Nodes.end(), g.FanNodes.begin(), g.FanNodes.end());
    for (size_t t = 0; t < g.FanTriangles.size(); ++t) {
        std::array<int, 3> triangle = g.FanTriangles[t];
        for (int& n : triangle)
            n = n < 0 ? rimNode.at(-1 - n) : first + n;
        AddTriangle(mesh, triangle, g.FanTriangleRegions[t]);
    }
    for (int n : g.ElectrodeNodes)
        mesh.ElectrodeNodes.push_back(first + n);
    return mesh;
}

} // namespace

TPaddedGeometry PadGeometry(const TForwardModel& Ground, const TSurvey& Survey, const TMeshOptions& Options)
{
    return TPadder(Ground, Survey, Options).Build();
}

void CheckTriangleShapes(const TForwardMesh& Mesh)
{
    for (const auto& triangle : Mesh.Triangles) {
        const TGeometryPoint& a = Mesh.Nodes[static_cast<size_t>(triangle[0])];
        const TGeometryPoint& b = Mesh.Nodes[static_cast<size_t>(triangle[1])];
        const TGeometryPoint& c = Mesh.Nodes[static_cast<size_t>(triangle[2])];
        if (!(Shape(a, b, c) > MinTriangleShape))
            throw EForwardError("The mesh has a triangle without area at x = " + ShortReal((a.x + b.x + c.x) / 3) +
                                ", y = " + ShortReal((a.y + b.y + c.y) / 3) +
                                ": the geometry there is finer than the mesher resolves.");
    }
}

TForwardMesh MeshGeometry(const TPaddedGeometry& Geometry, const std::function<bool()>& GoOn)
{
    const auto stopUnlessWanted = [&] {
        if (GoOn && !GoOn())
            throw EForwardCancelled("The forward computation was cancelled.");
    };
    // A call that waited while another meshed asks whether it is still
    // wanted: a newer edit may have made it obsolete in the meantime.
    std::unique_lock<std::mutex> hold(GmshLock(), std::try_to_lock);
    if (!hold.owns_lock()) {
        hold.lock();
        stopUnlessWanted();
    }
    ClearUpperVectorState();
    StartGmsh(Geometry);
    // Frontal-Delaunay is quick; MeshAdapt holds where elements are very
    // small beside a large model, but takes ten times as long.
    std::vector<int> adaptive;
    if (SmallestRimSize(Geometry) < FrontalLimit * Geometry.Extent)
        adaptive = SurfacesAtElectrodes(Geometry);
    for (;;) {
        TForwardMesh mesh;
        std::vector<TUnfit> unfit;
        try {
            gmsh::clear();
            BuildGmshModel(Geometry, adaptive);
            gmsh::model::mesh::generate(2);
            mesh = ReadGmshMesh(Geometry, unfit);
            gmsh::clear();
        } catch (const EForwardError&) {
            try {
                gmsh::clear();
            } catch (...) {
            }
            throw;
        } catch (...) {
            const std::string error = GmshError();
            try {
                gmsh::clear();
            } catch (...) {
            }
            throw EForwardError("The model cannot be meshed" + error + ".");
        }
        bool again = false;
        for (const TUnfit& surface : unfit)
            if (std::find(adaptive.begin(), adaptive.end(), surface.surface) == adaptive.end()) {
                adaptive.push_back(surface.surface);
                again = true;
            }
        if (again) {
            stopUnlessWanted();
            continue;
        }
        for (const TUnfit& surface : unfit)
            if (!surface.fault.empty())
                throw EForwardError("The model cannot be meshed: " + surface.fault + ".");
        if (mesh.Triangles.empty())
            throw EForwardError("The model cannot be meshed: the mesh has no triangles.");
        CheckTriangleShapes(mesh);
        return mesh;
    }
}

} // namespace lp
