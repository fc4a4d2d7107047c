#pragma once
// Checked coordinate arithmetic and small geometry shared by the sources of
// TPlotCanvas3D (PlotCanvas3D.cpp, PlotCanvas3DProjection.cpp).

#include "chart/canvas/PlotCanvas.h"
#include "platform/base/Numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

namespace lp::canvas3d {

// The farthest a projected point lies from the device origin, either way.
// A point at or past the horizon of a perspective, or pushed away by
// extreme offsets, is drawn at this distance instead of failing the paint:
// far beyond any device, yet sums and differences of a few such coordinates
// stay inside 32 bits.
inline constexpr int32_t kMaxProjectedPixel = 1 << 29;

inline int32_t HeldProjected(int64_t Value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(Value, -kMaxProjectedPixel, kMaxProjectedPixel));
}

// A projected coordinate as a pixel: Value rounded (NaN, a point on the
// horizon, as 0) and moved by Offset (itself within the limit), held within
// kMaxProjectedPixel.
inline int32_t ProjectedPixel(double Value, int64_t Offset)
{
    // Beyond twice the limit the sum is beyond the limit whatever Offset.
    constexpr double Reach = 2.0 * kMaxProjectedPixel;
    const double Held = std::isnan(Value) ? 0.0 : std::clamp(Value, -Reach, Reach);
    return HeldProjected(static_cast<int64_t>(RoundHalfEven(Held)) + Offset);
}

// Twice the signed area of a polygon in device orientation (Y down):
// positive when its corners run clockwise on the screen. Exact for any
// 32-bit corners.
inline __int128 SignedArea2(std::span<const TPoint> Points)
{
    __int128 sum = 0;
    const size_t count = Points.size();
    for (size_t i = 0; i < count; ++i) {
        const TPoint& a = Points[i];
        const TPoint& b = Points[(i + 1) % count];
        sum += static_cast<__int128>(a.X) * b.Y - static_cast<__int128>(b.X) * a.Y;
    }
    return sum;
}

// IsClockwise without its 32-bit limit: (P0 - P1) x (P2 - P1) < 0, which
// is a clockwise turn on the screen.
inline bool Clockwise(const TPoint& P0, const TPoint& P1, const TPoint& P2)
{
    const __int128 a = static_cast<__int128>(static_cast<int64_t>(P0.X) - P1.X) * (static_cast<int64_t>(P2.Y) - P1.Y);
    const __int128 b = static_cast<__int128>(static_cast<int64_t>(P2.X) - P1.X) * (static_cast<int64_t>(P0.Y) - P1.Y);
    return a - b < 0;
}

inline void SetFourPoints(TFourPoints& Points, const TPoint& P0, const TPoint& P1, const TPoint& P2, const TPoint& P3)
{
    Points[0] = P0;
    Points[1] = P1;
    Points[2] = P2;
    Points[3] = P3;
}

} // namespace lp::canvas3d
