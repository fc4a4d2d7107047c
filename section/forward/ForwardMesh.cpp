#include "section/forward/ForwardMesh.h"

#include "section/model/ModelGeometryText.h"

#include <gmsh.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <mutex>
#include <unordered_map>

namespace lp {

namespace {

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
        PutElectrodesOnSurface();
        ChooseSizes();
        Pad();
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

    // --- Electrodes -------------------------------------------------------------
    void PutElectrodesOnSurface()
    {
        // The surface's points in the geometry, left to right.
        std::map<std::pair<double, double>, int> pointAt;
        for (size_t p = 0; p < P.Points.size(); ++p)
            pointAt.emplace(std::make_pair(P.Points[p].x, P.Points[p].y), static_cast<int>(p));
        for (const TGeometryPoint& s : FGround.Surface)
            FSurface.push_back(pointAt.at({s.x, s.y}));
        const double width = FGround.Right - FGround.Left;
        const double same = 1e-9 * std::max(1.0, width);
        for (const TElectrode& electrode : FSurvey.Electrodes) {
            const auto after = std::lower_bound(FSurface.begin(), FSurface.end(), electrode.x,
                                                [&](int p, double x) { return X(p) < x; });
            if (after != FSurface.end() && X(*after) - electrode.x <= same) {
                P.ElectrodePoints.push_back(*after);
                continue;
            }
            if (after != FSurface.begin() && electrode.x - X(*(after - 1)) <= same) {
                P.ElectrodePoints.push_back(*(after - 1));
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
            P.ElectrodePoints.push_back(point);
        }
    }

    double X(int p) const { return P.Points[static_cast<size_t>(p)].x; }
    double Y(int p) const { return P.Points[static_cast<size_t>(p)].y; }

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

    void ChooseSizes()
    {
        double smallest = 1e300, first = 1e300, last = -1e300;
        std::vector<double> xs;
        for (const TElectrode& electrode : FSurvey.Electrodes) {
            xs.push_back(electrode.x);
            first = std::min(first, electrode.x);
            last = std::max(last, electrode.x);
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 1; i < xs.size(); ++i)
            smallest = std::min(smallest, xs[i] - xs[i - 1]);
        if (xs.size() < 2)
            smallest = FGround.Right - FGround.Left;
        FLength = std::max(FGround.Right - FGround.Left, last - first);
        P.ElectrodeSize = FOptions.ElectrodeSize * smallest;
        P.Growth = FOptions.Growth;
        P.MaxSize = std::max(P.ElectrodeSize, FLength);
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
        const double depth = FSurface.empty() ? 0.0 : FGround.Surface.front().y - bottom;
        const double pad = FOptions.Padding * std::max(FLength, depth);
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
        for (size_t i = 0; i + 1 < leftSide.size(); ++i)
            AddBlock({leftOut[i], leftSide[i], leftSide[i + 1], leftOut[i + 1]}, RegionAlong(leftSide[i], leftSide[i + 1]));
        for (size_t i = 0; i + 1 < rightSide.size(); ++i)
            AddBlock({rightSide[i], rightOut[i], rightOut[i + 1], rightSide[i + 1]},
                     RegionAlong(rightSide[i], rightSide[i + 1]));
        for (size_t i = 0; i + 1 < bottomSide.size(); ++i)
            AddBlock({bottomOut[i], bottomOut[i + 1], bottomSide[i + 1], bottomSide[i]},
                     RegionAlong(bottomSide[i], bottomSide[i + 1]));
        const int bottomLeftCorner = AddPoint(outLeft, outBottom);
        const int bottomRightCorner = AddPoint(outRight, outBottom);
        AddBlock({bottomLeftCorner, bottomOut.at(0), bottomSide.at(0), leftOut.at(0)},
                 RegionAlong(leftSide.at(0), leftSide.at(1)));
        AddBlock({bottomOut.at(bottomOut.size() - 1), bottomRightCorner, rightOut.at(0), bottomSide.at(bottomSide.size() - 1)},
                 RegionAlong(rightSide.at(0), rightSide.at(1)));
        for (size_t e = 0; e < P.Edges.size(); ++e) {
            const int a = P.Edges[e].first, b = P.Edges[e].second;
            if ((X(a) == outLeft && X(b) == outLeft) || (X(a) == outRight && X(b) == outRight) ||
                (Y(a) == outBottom && Y(b) == outBottom)) {
                P.OuterEdges.push_back(static_cast<int>(e));
                P.OuterEdgeRegions.push_back(RegionAlong(a, b));
            }
        }
    }

    // --- Order ---------------------------------------------------------------------
    // The same ground gives the same geometry, and so the same mesh, however
    // the section file orders its nodes and rings: points by place, edges by
    // their points, loops from their smallest edge, surfaces by their loops.
    // (Regions keep their numbers: they only name a conductivity.)
    void MakeCanonical()
    {
        const size_t points = P.Points.size();
        std::vector<int> order(points);
        for (size_t p = 0; p < points; ++p)
            order[p] = static_cast<int>(p);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            return std::make_pair(X(a), Y(a)) < std::make_pair(X(b), Y(b));
        });
        std::vector<int> pointTo(points);
        std::vector<TGeometryPoint> sortedPoints;
        for (size_t p = 0; p < points; ++p) {
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
        for (int& p : P.ElectrodePoints)
            p = pointTo[static_cast<size_t>(p)];
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
    std::vector<int> FSurface; // surface points left to right
    double FLength = 1.0;
};

std::mutex& GmshLock()
{
    static std::mutex lock;
    return lock;
}

// Gmsh started once per process, quiet. Single-threaded meshing is set at
// every call: Gmsh keeps its thread count in the calling thread's OpenMP
// settings, so a computation started from another thread would mesh in
// parallel, and a parallel mesh is not the same from one run to the next.
void StartGmsh()
{
    static bool started = false;
    if (!started) {
        gmsh::initialize(0, nullptr, false);
        started = true;
    }
    gmsh::option::setNumber("General.Terminal", 0);
    gmsh::option::setNumber("General.NumThreads", 1);
    gmsh::option::setNumber("Mesh.MaxNumThreads1D", 1);
    gmsh::option::setNumber("Mesh.MaxNumThreads2D", 1);
    gmsh::option::setNumber("Mesh.Algorithm", 6);
    gmsh::option::setNumber("Mesh.MeshSizeExtendFromBoundary", 0);
    gmsh::option::setNumber("Mesh.MeshSizeFromPoints", 0);
    gmsh::option::setNumber("Mesh.MeshSizeFromCurvature", 0);
    // The 1-D meshes integrate the size along each edge: a thousandth is plenty.
    gmsh::option::setNumber("Mesh.LcIntegrationPrecision", 1e-3);
}

void BuildGmshModel(const TPaddedGeometry& g)
{
    gmsh::model::add("forward");
    for (size_t p = 0; p < g.Points.size(); ++p)
        gmsh::model::geo::addPoint(g.Points[p].x, g.Points[p].y, 0.0, g.MaxSize, static_cast<int>(p) + 1);
    for (size_t e = 0; e < g.Edges.size(); ++e)
        gmsh::model::geo::addLine(g.Edges[e].first + 1, g.Edges[e].second + 1, static_cast<int>(e) + 1);
    int loop = 0;
    for (size_t s = 0; s < g.Surfaces.size(); ++s) {
        std::vector<int> loops{gmsh::model::geo::addCurveLoop(g.Surfaces[s].outer, ++loop)};
        for (const TGeometryLoop& hole : g.Surfaces[s].holes)
            loops.push_back(gmsh::model::geo::addCurveLoop(hole, ++loop));
        gmsh::model::geo::addPlaneSurface(loops, static_cast<int>(s) + 1);
    }
    gmsh::model::geo::synchronize();
    std::vector<double> electrodes;
    for (int p : g.ElectrodePoints)
        electrodes.push_back(p + 1);
    const int distance = gmsh::model::mesh::field::add("Distance");
    gmsh::model::mesh::field::setNumbers(distance, "PointsList", electrodes);
    // Size ElectrodeSize + Growth * distance, up to MaxSize.
    const int size = gmsh::model::mesh::field::add("Threshold");
    gmsh::model::mesh::field::setNumber(size, "InField", distance);
    gmsh::model::mesh::field::setNumber(size, "SizeMin", g.ElectrodeSize);
    gmsh::model::mesh::field::setNumber(size, "SizeMax", g.MaxSize);
    gmsh::model::mesh::field::setNumber(size, "DistMin", 0.0);
    gmsh::model::mesh::field::setNumber(size, "DistMax", (g.MaxSize - g.ElectrodeSize) / g.Growth);
    gmsh::model::mesh::field::setAsBackgroundMesh(size);
}

TForwardMesh ReadGmshMesh(const TPaddedGeometry& g)
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
        for (size_t t = 0; t < types.size(); ++t) {
            if (types[t] != 2) // 3-node triangles only
                throw EForwardError("The mesh holds elements other than linear triangles.");
            for (size_t i = 0; i + 2 < nodes[t].size(); i += 3) {
                std::array<int, 3> triangle{node(nodes[t][i]), node(nodes[t][i + 1]), node(nodes[t][i + 2])};
                const TGeometryPoint& a = mesh.Nodes[static_cast<size_t>(triangle[0])];
                const TGeometryPoint& b = mesh.Nodes[static_cast<size_t>(triangle[1])];
                const TGeometryPoint& c = mesh.Nodes[static_cast<size_t>(triangle[2])];
                if ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) < 0)
                    std::swap(triangle[1], triangle[2]);
                mesh.Triangles.push_back(triangle);
                mesh.TriangleRegion.push_back(g.Surfaces[s].region);
            }
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
    for (int p : g.ElectrodePoints) {
        std::vector<std::size_t> pointNodes;
        gmsh::model::mesh::getNodes(pointNodes, coordinates, parametric, 0, p + 1);
        if (pointNodes.empty())
            throw EForwardError("The mesh has no node at an electrode.");
        mesh.ElectrodeNodes.push_back(node(pointNodes.front()));
    }
    return mesh;
}

} // namespace

TPaddedGeometry PadGeometry(const TForwardModel& Ground, const TSurvey& Survey, const TMeshOptions& Options)
{
    return TPadder(Ground, Survey, Options).Build();
}

TForwardMesh MeshGeometry(const TPaddedGeometry& Geometry)
{
    std::lock_guard<std::mutex> hold(GmshLock());
    StartGmsh();
    TForwardMesh mesh;
    try {
        gmsh::clear();
        BuildGmshModel(Geometry);
        gmsh::model::mesh::generate(2);
        mesh = ReadGmshMesh(Geometry);
        gmsh::clear();
    } catch (const EForwardError&) {
        gmsh::clear();
        throw;
    } catch (...) {
        std::string error;
        try {
            gmsh::logger::getLastError(error);
            gmsh::clear();
        } catch (...) {
        }
        throw EForwardError("The model cannot be meshed" + (error.empty() ? std::string(".") : ": " + error));
    }
    if (mesh.Triangles.empty())
        throw EForwardError("The model cannot be meshed: the mesh has no triangles.");
    return mesh;
}

} // namespace lp
