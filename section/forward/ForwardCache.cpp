#include "section/forward/ForwardCache.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace lp {

namespace {

bool SameNumber(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SamePoints(const std::vector<TGeometryPoint>& a, const std::vector<TGeometryPoint>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TGeometryPoint& p, const TGeometryPoint& q) {
        return SameNumber(p.x, q.x) && SameNumber(p.y, q.y);
    });
}

bool SameNumbers(const std::vector<double>& a, const std::vector<double>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameNumber);
}

bool SameSurfaces(const std::vector<TGeometrySurface>& a, const std::vector<TGeometrySurface>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TGeometrySurface& s, const TGeometrySurface& t) {
        return s.outer == t.outer && s.holes == t.holes && s.region == t.region && SameNumber(s.area, t.area);
    });
}

} // namespace

TMeshSetup::TMeshSetup(TPaddedGeometry PaddedGeometry, const std::function<bool()>& GoOn)
    : Geometry(std::move(PaddedGeometry)),
      Mesh(MeshGeometry(Geometry, GoOn)),
      Elements(ElementMatrices(Mesh)),
      Pattern(SystemPattern(Mesh)),
      Analysis(Pattern.Matrix)
{
}

bool SameGeometry(const TPaddedGeometry& A, const TPaddedGeometry& B)
{
    return SamePoints(A.Points, B.Points) && A.Edges == B.Edges && SameSurfaces(A.Surfaces, B.Surfaces) &&
           A.OuterEdges == B.OuterEdges && A.OuterEdgeRegions == B.OuterEdgeRegions &&
           SamePoints(A.FanNodes, B.FanNodes) && A.FanTriangles == B.FanTriangles &&
           A.FanTriangleRegions == B.FanTriangleRegions && A.RimEdges == B.RimEdges &&
           A.ElectrodeNodes == B.ElectrodeNodes && A.Rims == B.Rims && SameNumbers(A.RimSizes, B.RimSizes) &&
           SamePoints(A.Corners, B.Corners) && SameNumbers(A.CornerSizes, B.CornerSizes) &&
           SameNumbers(A.CornerReaches, B.CornerReaches) && SameNumber(A.CornerGrowth, B.CornerGrowth) &&
           SameNumber(A.Growth, B.Growth) && SameNumber(A.MaxSize, B.MaxSize) && SameNumber(A.Extent, B.Extent);
}

std::shared_ptr<const TMeshSetup> TForwardCache::Find(const TPaddedGeometry& Geometry) const
{
    std::lock_guard<std::mutex> hold(FLock);
    return FSetup && SameGeometry(FSetup->Geometry, Geometry) ? FSetup : nullptr;
}

void TForwardCache::Keep(std::shared_ptr<const TMeshSetup> Setup)
{
    std::shared_ptr<const TMeshSetup> old;
    std::lock_guard<std::mutex> hold(FLock);
    old = std::move(FSetup); // freed after the lock is let go
    FSetup = std::move(Setup);
}

void TForwardCache::Clear()
{
    std::shared_ptr<const TMeshSetup> old;
    std::lock_guard<std::mutex> hold(FLock);
    old = std::move(FSetup);
}

} // namespace lp
