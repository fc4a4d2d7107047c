#pragma once
// Rounding and checked integer conversion shared by every layer.
//
// A real becomes an integer by rounding to the nearest, halves to the even
// neighbour. Conversions that would not fit raise ERangeError instead of
// wrapping, since the values come from files and users.

#include <cstdint>

namespace lp {

// Nearest integral value, halves to even; NaN and infinities pass through.
double RoundHalfEven(double value) noexcept;

// RoundHalfEven, checked against the range of the result type.
int64_t RoundToInt64(double value);
int32_t RoundToInt32(double value);

// Narrowing with a range check.
int32_t CheckedInt32(int64_t value);

} // namespace lp
