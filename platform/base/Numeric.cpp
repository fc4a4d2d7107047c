#include "platform/base/Numeric.h"

#include "platform/base/Exception.h"

#include <limits>

namespace lp {

void RaiseIntegerRangeError(double value)
{
    RaiseRangeError("Value %g is out of the integer range", {ArgText(value)});
}

int64_t RoundToInt64(double value)
{
    const double rounded = RoundHalfEven(value);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        RaiseIntegerRangeError(value);
    return static_cast<int64_t>(rounded);
}

int32_t CheckedInt32(int64_t value)
{
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        RaiseRangeError("Value %d is out of the integer range", {ArgText(static_cast<long long>(value))});
    return static_cast<int32_t>(value);
}

} // namespace lp
