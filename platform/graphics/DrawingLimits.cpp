#include "platform/graphics/DrawingLimits.h"

#include "platform/base/Exception.h"

#include <algorithm>

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

} // namespace lp
