#pragma once
// Rounding and checked integer conversion shared by every layer.
//
// A real becomes an integer by rounding to the nearest, halves to the even
// neighbour. Conversions that would not fit raise ERangeError instead of
// wrapping, since the values come from files and users.
//
// Rounding is inline and branch-free: it runs for every coordinate drawn.

#include <cmath>
#include <cstdint>

namespace lp {

// Nearest integral value, halves to even; NaN, infinities and -0 pass through.
// Adding and taking away 2^52 (with the value's sign) leaves no fraction bits,
// so the addition itself rounds, half to even, in the round-to-nearest mode
// the program never leaves. From 2^52 on every double is already integral.
inline double RoundHalfEven(double value) noexcept
{
    constexpr double TwoTo52 = 4503599627370496.0;
    const double shift = std::copysign(TwoTo52, value);
    const double rounded = (value + shift) - shift;
    return std::fabs(value) < TwoTo52 && value != 0.0 ? rounded : value;
}

// Raises ERangeError naming the value (out of line: the rare path).
[[noreturn]] void RaiseIntegerRangeError(double value);

// RoundHalfEven, checked against the range of the result type.
int64_t RoundToInt64(double value);

inline int32_t RoundToInt32(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) [[unlikely]]
        RaiseIntegerRangeError(value);
    return static_cast<int32_t>(rounded);
}

// Narrowing with a range check.
int32_t CheckedInt32(int64_t value);

// Checked 32-bit arithmetic of coordinates: the exact result must fit 32
// bits, else ERangeError. The operands are 32-bit values widened, so the
// 64-bit result is exact.
inline int32_t Add32(int64_t a, int64_t b)
{
    return CheckedInt32(a + b);
}

inline int32_t Sub32(int64_t a, int64_t b)
{
    return CheckedInt32(a - b);
}

inline int32_t Mul32(int64_t a, int64_t b)
{
    return CheckedInt32(a * b);
}

// An angle in whole degrees as 0 .. 359 (negative angles turn the other
// way round).
inline int NormalAngle(int Angle)
{
    const int A = Angle % 360;
    return A < 0 ? A + 360 : A;
}

} // namespace lp
