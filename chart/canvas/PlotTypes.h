#pragma once
// The small value types of the chart canvas: points with depth, fixed
// groups of points and point arrays, shared by the canvas interface and the
// property objects that draw through it.

#include "platform/base/DynArray.h"
#include "platform/graphics/GraphicsTypes.h"

#include <cstdint>
#include <span>

namespace lp {

// --- Value types -------------------------------------------------------------------------------

// A chart point with depth; Z grows away from the viewer, 0 is the front plane.
struct TPoint3D {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Z = 0;
    friend bool operator==(const TPoint3D&, const TPoint3D&) = default;
};

// A point of real chart coordinates (the rotation centre's offsets).
struct TPointFloat3D {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    friend bool operator==(const TPointFloat3D&, const TPointFloat3D&) = default;
};

// The corners of a projected quadrilateral.
using TFourPoints = FixedArray<TPoint, 4>;
using TTrianglePoints = FixedArray<TPoint, 3>;
using TTrianglePoints3D = FixedArray<TPoint3D, 3>;
using TTriangleColors = FixedArray<TColor, 3>;
using TPointArray = DynArray<TPoint>;

// The points of an array as the span the canvas operations take.
inline std::span<const TPoint> AsSpan(const TPointArray& points)
{
    return points.Items();
}
inline std::span<TPoint> AsSpan(TPointArray& points)
{
    return points.Items();
}
template <int N>
std::span<const TPoint> AsSpan(const FixedArray<TPoint, N>& points)
{
    return {points.begin(), points.end()};
}
template <int N>
std::span<TPoint> AsSpan(FixedArray<TPoint, N>& points)
{
    return {points.begin(), points.end()};
}

} // namespace lp
