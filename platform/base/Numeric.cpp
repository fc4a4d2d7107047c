#include "platform/base/Numeric.h"

#include "platform/base/Exception.h"

#include <cmath>
#include <limits>

namespace lp {

double RoundHalfEven(double value) noexcept
{
    // rint honours the current rounding mode, which the program never changes
    // from round-to-nearest-even; spell the rule out so it does not depend on it.
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5)
        return lower;
    if (fraction > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

int64_t RoundToInt64(double value)
{
    const double rounded = RoundHalfEven(value);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        RaiseRangeError("Value %g is out of the integer range", {ArgText(value)});
    return static_cast<int64_t>(rounded);
}

int32_t RoundToInt32(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<int32_t>::min() && rounded <= std::numeric_limits<int32_t>::max()))
        RaiseRangeError("Value %g is out of the integer range", {ArgText(value)});
    return static_cast<int32_t>(rounded);
}

int32_t CheckedInt32(int64_t value)
{
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        RaiseRangeError("Value %d is out of the integer range", {ArgText(static_cast<long long>(value))});
    return static_cast<int32_t>(value);
}

} // namespace lp
