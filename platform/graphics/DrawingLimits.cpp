#include "platform/graphics/DrawingLimits.h"

#include "platform/base/Exception.h"

#include <algorithm>
#include <cmath>

namespace lp {

int ClampToRange(long long Value, int Low, int High)
{
    return static_cast<int>(std::clamp<long long>(Value, Low, High));
}

int CheckInRange(long long Value, int Low, int High, const char* What)
{
    if (Value < Low || Value > High)
        RaiseRangeError("%s %d is outside %d .. %d", {What, ArgText(Value), ArgText(Low), ArgText(High)});
    return static_cast<int>(Value);
}

int ClampPixelLength(long long Value)
{
    return ClampToRange(Value, -MaxPixelLength, MaxPixelLength);
}

int CheckPixelLength(long long Value, const char* What)
{
    return CheckInRange(Value, -MaxPixelLength, MaxPixelLength, What);
}

void CheckBitmapSize(long long Width, long long Height)
{
    if (Width > MaxBitmapSide || Height > MaxBitmapSide || (Width > 0 && Height > MaxBitmapPixels / Width))
        RaiseRangeError("A bitmap of %s x %s pixels is beyond the drawing limits (%s pixels a side, %s pixels)",
                        {ArgText(Width), ArgText(Height), ArgText(MaxBitmapSide), ArgText(MaxBitmapPixels)});
}

TPixelSize ScaledIntoLimits(long long Width, long long Height, int MaxSide, long long MaxPixels)
{
    const double w = static_cast<double>(std::max(Width, 1LL));
    const double h = static_cast<double>(std::max(Height, 1LL));
    double scale = std::min({1.0, MaxSide / w, MaxSide / h});
    scale = std::min(scale, std::sqrt(static_cast<double>(MaxPixels) / (w * h)));
    // Rounded down (forgiving the last bit of a product that should be
    // whole) so the result stays inside; never below one pixel.
    const auto Side = [&](double Length) {
        return static_cast<int>(std::clamp(std::floor(Length * scale + 1e-6), 1.0, static_cast<double>(MaxSide)));
    };
    TPixelSize size{Side(w), Side(h)};
    while (static_cast<long long>(size.Width) * size.Height > MaxPixels) {
        if (size.Width >= size.Height)
            --size.Width;
        else
            --size.Height;
    }
    return size;
}

} // namespace lp
