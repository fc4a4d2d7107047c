#pragma once
// Numeric arrays, number texts and small numerics shared by the section
// model, the section editor, the well-log overlay and the mesh views.
//
// Everything here is a free function on values and arrays; nothing keeps
// state except the replaceable resolver of system colours. Number texts never
// depend on the process locale: reading takes the first comma of a number as
// its decimal point, writing always uses a point.
//
// The real 123456789.0 (MissingValue) means "no value" in every real list;
// its text form is "*". Tests against it are exact comparisons.

#include "platform/base/DynArray.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace lp {

// A point of the section: re = x (horizontal distance), im = y (depth).
struct complexM {
    double re = 0.0;
    double im = 0.0;
    friend bool operator==(const complexM&, const complexM&) = default;
};

using ByteBool = uint8_t; // a byte-sized boolean: 0 false, anything else true

using arofdoubleM = DynArray<double>;
using ararofdoubleM = DynArray<arofdoubleM>;
using arofintM = DynArray<int32_t>;
using ararofintM = DynArray<arofintM>;
using arofboolM = DynArray<ByteBool>;
using ararofboolM = DynArray<arofboolM>;
using arofstrM = DynArray<std::string>;
using arofcomplexM = DynArray<complexM>;
using ararofcomplexM = DynArray<arofcomplexM>;

inline constexpr double MissingValue = 123456789.0;
inline constexpr std::string_view MissingText = "*";

// --- Text to numbers -------------------------------------------------------

// Reads a decimal real: leading blanks, an optional sign, digits with an
// optional fraction and an optional exponent; the first comma counts as the
// decimal point. A parse error gives MissingValue. When low == high the value
// is not range-checked; otherwise a non-zero low is a lower and a non-zero
// high an upper bound (strict unless inclusive), and a value outside gives
// MissingValue.
double TextToReal(std::string_view text, bool inclusive, double low, double high);
// The reader behind TextToReal: false (value untouched) on a parse error.
bool TryTextToReal(std::string_view text, double& value);

// What a text is as a real.
enum class TRealText {
    Number,     // a finite number
    NotANumber, // no number form
    NotFinite,  // "inf", "nan", or a number form beyond the largest double
};
// The reader behind TryTextToReal, telling a text that is no number from one
// that is a number but not a finite one. Reads without heap allocations.
TRealText ReadRealText(std::string_view text, double& value);

// Splits a line into words at blanks and tabs. A text that ends in two or
// more separators yields one final empty word; an empty text yields nothing.
arofstrM SplitWords(std::string_view text);

// The words of SplitWords one by one, as views into the text.
class TWordReader {
public:
    explicit TWordReader(std::string_view text) noexcept : FText(text) {}
    // The next word; false after the last. Inline: a section file is read
    // word by word.
    bool Next(std::string_view& word) noexcept
    {
        const size_t n = FText.size();
        if (FDone || n == 0)
            return false;
        while (FPosition < n && IsBlank(FText[FPosition]))
            ++FPosition;
        const size_t start = FPosition;
        while (FPosition < n && !IsBlank(FText[FPosition]))
            ++FPosition;
        word = FText.substr(start, FPosition - start);
        // Go on while the position reached is before the last character.
        FDone = !(FPosition + 1 < n);
        return true;
    }

private:
    static bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

    std::string_view FText;
    size_t FPosition = 0;
    bool FDone = false;
};

// The words of a line read as numbers as they are found: the same words as
// TWordReader's (an empty word aside), each with what ReadRealText makes of
// it. A word that is a whole number or a real that from_chars reads up to
// the next blank is read without being scanned first; other words are
// scanned and given to ReadRealText. A section file is read this way.
class TNumberWordReader {
public:
    explicit TNumberWordReader(std::string_view text) noexcept
        : FAt(text.data()), FEnd(text.data() + text.size())
    {
    }
    // The next word, its kind and (a number) its value; false after the last.
    bool Next(std::string_view& word, TRealText& kind, double& value);

private:
    const char* FAt;
    const char* FEnd;
};

// Inline: called for every word of a section file.
inline bool TNumberWordReader::Next(std::string_view& word, TRealText& kind, double& value)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (FAt < FEnd && blank(*FAt))
        ++FAt;
    if (FAt == FEnd)
        return false;
    const char* start = FAt;
    // A whole number of up to nine digits, as ReadRealText reads it.
    const char* at = start + (*start == '-' && FEnd - start > 1 ? 1 : 0);
    const char* digitsStart = at;
    std::uint32_t whole = 0;
    while (at < FEnd && at - digitsStart < 10) {
        const unsigned digit = static_cast<unsigned char>(*at) - unsigned('0');
        if (digit > 9)
            break;
        whole = whole * 10 + digit;
        ++at;
    }
    if (at > digitsStart && at - digitsStart <= 9 && (at == FEnd || blank(*at))) {
        value = digitsStart != start ? -double(whole) : double(whole);
        kind = TRealText::Number;
        word = std::string_view(start, static_cast<size_t>(at - start));
        FAt = at;
        return true;
    }
    // A real from_chars reads up to a blank: ReadRealText's first reading.
    double real = 0.0;
    const auto [stop, error] = std::from_chars(start, FEnd, real, std::chars_format::general);
    if (error == std::errc() && (stop == FEnd || blank(*stop)) && std::isfinite(real)) {
        value = real;
        kind = TRealText::Number;
        word = std::string_view(start, static_cast<size_t>(stop - start));
        FAt = stop;
        return true;
    }
    while (FAt < FEnd && !blank(*FAt))
        ++FAt;
    word = std::string_view(start, static_cast<size_t>(FAt - start));
    kind = ReadRealText(word, value);
    return true;
}

// The words with index >= skip that read as numbers (others are dropped but
// still count for skip).
arofdoubleM TextToRealArray(std::string_view text, int skip);
// As TextToRealArray, every value rounded to the nearest integer (halves to
// even); a value outside the 32-bit range raises ERangeError.
arofintM TextToIntArray(std::string_view text, int skip);
// The words with index >= skip, unchecked.
arofstrM TextToStrArray(std::string_view text, int skip);
// TextToRealArray paired into points (x0 y0 x1 y1 ...).
arofcomplexM TextToComplexArray(std::string_view text, int skip);

// --- Numbers to text -------------------------------------------------------

// Fixed-point text with a point as separator and no padding; MissingValue
// gives "*". With adaptive on, small values get more decimals (see source).
std::string RealToText(int decimals, bool adaptive, double value);
// lead followed by the values, one blank between them, none at the end.
std::string RealArrayToText(const arofdoubleM& values, std::string_view lead, int decimals, bool adaptive);
// x0 y0 x1 y1 ... through RealArrayToText.
std::string ComplexArrayToText(const arofcomplexM& points, std::string_view lead, int decimals, bool adaptive);

// --- Conversions and copies ------------------------------------------------

// floor(n / 2) points; an odd last real is dropped.
arofcomplexM RealArrayToComplexArray(const arofdoubleM& reals);
// Writes re0, im0, re1, im1, ... into reals; returns the number of points,
// -1 for an empty array.
int ComplexArrayToRealArray(const arofcomplexM& points, arofdoubleM& reals);

arofboolM CopyBoolArray(const arofboolM& values);
arofintM CopyIntArray(const arofintM& values);
arofcomplexM CopyComplexArray(const arofcomplexM& values);
arofdoubleM CopyRealArray(const arofdoubleM& values);
ararofdoubleM CopyRealArrays(const ararofdoubleM& values);

// A copy without the element at index; an index beyond the last removes the
// last, an empty array gives an empty array, a negative index raises.
arofdoubleM DeleteRealArrayItem(const arofdoubleM& values, int index);
arofboolM DeleteBoolArrayItem(const arofboolM& values, int index);

void FillBoolArray(arofboolM& values, ByteBool value);
void FillIntArray(arofintM& values, int32_t value);
void FillRealArray(arofdoubleM& values, double value);

void SwapReal(double& a, double& b) noexcept;
void SwapInt(int32_t& a, int32_t& b) noexcept;
void SwapComplex(complexM& a, complexM& b) noexcept;

complexM MakeComplex(double x, double y) noexcept;

// e^v element by element (missing values get no special treatment).
arofdoubleM ExpArray(const arofdoubleM& values);

// --- Small numerics --------------------------------------------------------

// The number of elements other than MissingValue.
int CountValid(const arofdoubleM& values);

// mode 0: the largest value (-1e20 when none); mode 1: the largest value
// above 0 (-1e20 when none); mode 2: the smallest value below 0 (1e20 when
// none). Missing values are never chosen. Any other mode gives MissingValue.
double ExtremeOfArray(const arofdoubleM& values, int mode);

// The value at x of the straight line through (xa, ya) and (xb, yb);
// yb when xa == xb.
double LinearInterpolate(double xa, double ya, double xb, double yb, double x) noexcept;

// How much of the ground surface's shape a mesh row boundary at Depth keeps
// when the rows blend from the surface to level lines: 1 down to Top, 0
// from Bottom on, between them the smooth step 1 − (3t² − 2t³),
// t = (Depth − Top) / (Bottom − Top), which leaves both ends without a kink.
// 1 everywhere when Bottom is not below Top (no blending).
double SurfaceShare(double Depth, double Top, double Bottom) noexcept;

// The piecewise-linear value of a knot table (knotsX ascending) at x: the
// first knot's value before it, the last knot's value after it, MissingValue
// when there are no knots.
double InterpolateTableAt(const arofdoubleM& knotsX, const arofdoubleM& knotsY, double x);
// The same over a polyline: re is the knot position, im its value.
double InterpolateComplexAt(const arofcomplexM& points, double x);
// InterpolateTableAt for every x of xs, which must be ascending: the knot
// index carries over from one x to the next and never moves back.
arofdoubleM InterpolateTable(const arofdoubleM& xs, const arofdoubleM& knotsX, const arofdoubleM& knotsY);

// A colour ramp of n + 1 colours from the anchors 0..m (colour values with
// red in the low byte; system colours are resolved first). n <= m copies the
// first n + 1 anchors; a single anchor (m = 0) fills the ramp with it.
arofintM InterpolateColors(int n, const arofintM& anchors, int m);

// System colours (high bit set, index in the low byte) become RGB values
// through a resolver that the platform layer may replace; other colours keep
// their value.
using SystemColorResolver = int32_t (*)(int32_t color);
void SetSystemColorResolver(SystemColorResolver resolver) noexcept;
int32_t ResolveColor(int32_t color);

int SignOf(double x) noexcept;
double SignedLog(double c, double x);
double SignedLogInverse(double c, double y);

// The mean after dropping, one at a time, the value farthest from the mean
// of those left (see source); MissingValue when no value is valid.
double RobustMean(const arofdoubleM& values);

} // namespace lp
