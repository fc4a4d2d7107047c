#include "section/model/NumberArrays.h"

#include "platform/base/Numeric.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>

namespace lp {

namespace {

bool IsSeparator(char c) noexcept
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

// True when text (after its leading blanks) is exactly
// [sign] digits [. digits] [(e|E) [sign] digits] with at least one mantissa digit.
bool HasNumberForm(std::string_view text) noexcept
{
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    return i == n;
}

locale_t ClassicLocale()
{
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return classic;
}

// strtod in the classic locale, for the rare numbers from_chars leaves out
// of range: underflow quietly gives a denormal or zero, overflow infinity.
double ParseOutOfRange(std::string_view number)
{
    const std::string copy(number);
    return strtod_l(copy.c_str(), nullptr, ClassicLocale());
}

bool EqualsNoCase(std::string_view text, std::string_view lower) noexcept
{
    if (text.size() != lower.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if ((text[i] | 0x20) != lower[i])
            return false;
    return true;
}

// "inf", "infinity" or "nan" in any case, with an optional sign.
bool IsNonFiniteWord(std::string_view text) noexcept
{
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        text.remove_prefix(1);
    return EqualsNoCase(text, "inf") || EqualsNoCase(text, "infinity") || EqualsNoCase(text, "nan");
}

} // namespace

TRealText ReadRealText(std::string_view text, double& value)
{
    // Whole numbers of up to nine digits, signed or not (flags, node
    // indexes, counts: most words of a section file), are read straight;
    // they are exact in a double, as from_chars reads them too.
    if (const size_t start = text.size() > 1 && text[0] == '-' ? 1 : 0;
        text.size() > start && text.size() - start <= 9) {
        std::uint32_t whole = 0;
        size_t i = start;
        for (; i < text.size(); ++i) {
            const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned('0');
            if (digit > 9)
                break;
            whole = whole * 10 + digit;
        }
        if (i == text.size()) {
            value = start != 0 ? -double(whole) : double(whole);
            return TRealText::Number;
        }
    }
    // The common case first: a word that from_chars reads whole into a
    // finite number has the number form below and reads the same there.
    double whole = 0.0;
    const auto [wholeEnd, wholeError] =
        std::from_chars(text.data(), text.data() + text.size(), whole, std::chars_format::general);
    if (wholeError == std::errc() && wholeEnd == text.data() + text.size() && std::isfinite(whole)) {
        value = whole;
        return TRealText::Number;
    }
    size_t start = 0;
    while (start < text.size() && IsSeparator(text[start]))
        ++start;
    text.remove_prefix(start);
    // The first comma is the decimal point; a number that needs the swap is
    // copied into a buffer on the stack (longer texts are no number form a
    // writer makes, but still read).
    char buffer[64];
    std::string longCopy;
    std::string_view number = text;
    if (const size_t comma = text.find(','); comma != std::string_view::npos) {
        char* target = buffer;
        if (text.size() > sizeof buffer) {
            longCopy.assign(text);
            target = longCopy.data();
        } else {
            std::copy(text.begin(), text.end(), buffer);
        }
        target[comma] = '.';
        number = std::string_view(target, text.size());
    }
    if (!HasNumberForm(number))
        return IsNonFiniteWord(number) ? TRealText::NotFinite : TRealText::NotANumber;
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    const char* last = number.data() + number.size();
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (error == std::errc::result_out_of_range || end != last)
        parsed = ParseOutOfRange(number);
    if (!std::isfinite(parsed))
        return TRealText::NotFinite;
    value = parsed;
    return TRealText::Number;
}

namespace {

bool ParseReal(std::string_view text, double& value)
{
    return ReadRealText(text, value) == TRealText::Number;
}

int AdaptiveExtraDecimals(double value)
{
    if (value == 0.0)
        return 1;
    const double magnitude = std::log10(std::fabs(value));
    if (magnitude >= 0.0)
        return 1;
    return static_cast<int>(std::ceil(std::fabs(magnitude)));
}

} // namespace

// --- Text to numbers -------------------------------------------------------

bool TryTextToReal(std::string_view text, double& value)
{
    return ParseReal(text, value);
}

double TextToReal(std::string_view text, bool inclusive, double low, double high)
{
    double value = 0.0;
    if (!ParseReal(text, value))
        return MissingValue;
    if (low == high)
        return value;
    if (low != 0.0 && (inclusive ? value < low : value <= low))
        return MissingValue;
    if (high != 0.0 && (inclusive ? value > high : value >= high))
        return MissingValue;
    return value;
}

arofstrM SplitWords(std::string_view text)
{
    arofstrM words;
    TWordReader reader(text);
    for (std::string_view word; reader.Next(word);)
        words.Add(std::string(word));
    return words;
}

arofdoubleM TextToRealArray(std::string_view text, int skip)
{
    arofdoubleM values;
    TWordReader reader(text);
    int index = 0;
    for (std::string_view word; reader.Next(word); ++index) {
        double value = 0.0;
        if (index >= skip && ParseReal(word, value))
            values.Add(value);
    }
    return values;
}

arofintM TextToIntArray(std::string_view text, int skip)
{
    arofintM values;
    for (double value : TextToRealArray(text, skip))
        values.Add(RoundToInt32(value));
    return values;
}

arofstrM TextToStrArray(std::string_view text, int skip)
{
    arofstrM words = SplitWords(text);
    arofstrM result;
    for (int i = std::max(skip, 0); i < words.Length(); ++i)
        result.Add(std::move(words[i]));
    return result;
}

arofcomplexM TextToComplexArray(std::string_view text, int skip)
{
    return RealArrayToComplexArray(TextToRealArray(text, skip));
}

// --- Numbers to text -------------------------------------------------------

std::string RealToText(int decimals, bool adaptive, double value)
{
    if (value == MissingValue)
        return std::string(MissingText);
    int digits = std::max(decimals, 0);
    if (adaptive)
        digits += AdaptiveExtraDecimals(value);
    // The largest double has 309 integer digits; the adaptive decimals of the
    // smallest denormal stay below 330.
    char buffer[1024];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                       std::min(digits, 600));
    if (written.ec != std::errc())
        RaiseConvertError("Cannot write the value %g as text", {ArgText(value)});
    return std::string(buffer, written.ptr);
}

std::string RealArrayToText(const arofdoubleM& values, std::string_view lead, int decimals, bool adaptive)
{
    std::string text(lead);
    for (int i = 0; i < values.Length(); ++i) {
        if (i > 0)
            text += ' ';
        text += RealToText(decimals, adaptive, values[i]);
    }
    return text;
}

std::string ComplexArrayToText(const arofcomplexM& points, std::string_view lead, int decimals, bool adaptive)
{
    arofdoubleM reals;
    ComplexArrayToRealArray(points, reals);
    return RealArrayToText(reals, lead, decimals, adaptive);
}

// --- Conversions and copies ------------------------------------------------

arofcomplexM RealArrayToComplexArray(const arofdoubleM& reals)
{
    arofcomplexM points(reals.Length() / 2);
    for (int i = 0; i < points.Length(); ++i)
        points[i] = MakeComplex(reals[2 * i], reals[2 * i + 1]);
    return points;
}

int ComplexArrayToRealArray(const arofcomplexM& points, arofdoubleM& reals)
{
    reals.SetLength(2 * points.Length());
    for (int i = 0; i < points.Length(); ++i) {
        reals[2 * i] = points[i].re;
        reals[2 * i + 1] = points[i].im;
    }
    return points.Empty() ? -1 : points.Length();
}

arofboolM CopyBoolArray(const arofboolM& values)
{
    return values;
}

arofintM CopyIntArray(const arofintM& values)
{
    return values;
}

arofcomplexM CopyComplexArray(const arofcomplexM& values)
{
    return values;
}

arofdoubleM CopyRealArray(const arofdoubleM& values)
{
    return values;
}

ararofdoubleM CopyRealArrays(const ararofdoubleM& values)
{
    ararofdoubleM copy;
    for (const arofdoubleM& row : values)
        copy.Add(CopyRealArray(row));
    return copy;
}

namespace {

template <class Array>
Array DeleteArrayItem(const Array& values, int index)
{
    if (index < 0)
        RaiseIndexError(index, values.Length());
    Array result = values;
    if (!result.Empty())
        result.Delete(std::min(index, result.High()));
    return result;
}

} // namespace

arofdoubleM DeleteRealArrayItem(const arofdoubleM& values, int index)
{
    return DeleteArrayItem(values, index);
}

arofboolM DeleteBoolArrayItem(const arofboolM& values, int index)
{
    return DeleteArrayItem(values, index);
}

void FillBoolArray(arofboolM& values, ByteBool value)
{
    std::fill(values.begin(), values.end(), value);
}

void FillIntArray(arofintM& values, int32_t value)
{
    std::fill(values.begin(), values.end(), value);
}

void FillRealArray(arofdoubleM& values, double value)
{
    std::fill(values.begin(), values.end(), value);
}

void SwapReal(double& a, double& b) noexcept
{
    std::swap(a, b);
}

void SwapInt(int32_t& a, int32_t& b) noexcept
{
    std::swap(a, b);
}

void SwapComplex(complexM& a, complexM& b) noexcept
{
    std::swap(a, b);
}

complexM MakeComplex(double x, double y) noexcept
{
    return complexM{x, y};
}

arofdoubleM ExpArray(const arofdoubleM& values)
{
    arofdoubleM result(values.Length());
    for (int i = 0; i < values.Length(); ++i)
        result[i] = std::exp(values[i]);
    return result;
}

// --- Small numerics --------------------------------------------------------

int CountValid(const arofdoubleM& values)
{
    return static_cast<int>(std::count_if(values.begin(), values.end(), [](double v) { return v != MissingValue; }));
}

double ExtremeOfArray(const arofdoubleM& values, int mode)
{
    if (mode < 0 || mode > 2)
        return MissingValue;
    const double start = mode == 2 ? 1e20 : -1e20;
    auto qualifies = [mode](double v) {
        if (v == MissingValue)
            return false;
        return mode == 0 || (mode == 1 && v > 0.0) || (mode == 2 && v < 0.0);
    };
    auto better = [mode](double candidate, double current) {
        return mode == 2 ? candidate < current : candidate > current;
    };
    if (values.Empty())
        return start;
    double result = qualifies(values[0]) ? values[0] : start;
    for (int i = 1; i < values.Length(); ++i)
        if (qualifies(values[i]) && better(values[i], result))
            result = values[i];
    return result;
}

double LinearInterpolate(double xa, double ya, double xb, double yb, double x) noexcept
{
    if (xa == xb)
        return yb;
    return yb + (x - xb) * (ya - yb) / (xa - xb);
}

double SurfaceShare(double Depth, double Top, double Bottom) noexcept
{
    if (!(Bottom > Top) || Depth <= Top)
        return 1.0;
    if (Depth >= Bottom)
        return 0.0;
    const double t = (Depth - Top) / (Bottom - Top);
    return 1.0 - t * t * (3.0 - 2.0 * t);
}

namespace {

// The table rule at x given k, the first knot index with knotX(k) >= x
// (count when there is none).
template <class KnotX, class KnotY>
double TableValue(int k, int count, double x, KnotX knotX, KnotY knotY)
{
    if (count == 0)
        return MissingValue;
    if (k == 0)
        return knotY(0);
    if (k >= count)
        return knotY(count - 1);
    return LinearInterpolate(knotX(k), knotY(k), knotX(k - 1), knotY(k - 1), x);
}

template <class KnotX>
int FirstKnotAtOrAfter(int from, int count, double x, KnotX knotX)
{
    int k = from;
    while (k < count && knotX(k) < x)
        ++k;
    return k;
}

} // namespace

double InterpolateTableAt(const arofdoubleM& knotsX, const arofdoubleM& knotsY, double x)
{
    const int count = knotsX.Length();
    auto knotX = [&](int i) { return knotsX[i]; };
    auto knotY = [&](int i) { return knotsY[i]; };
    return TableValue(FirstKnotAtOrAfter(0, count, x, knotX), count, x, knotX, knotY);
}

double InterpolateComplexAt(const arofcomplexM& points, double x)
{
    const int count = points.Length();
    auto knotX = [&](int i) { return points[i].re; };
    auto knotY = [&](int i) { return points[i].im; };
    return TableValue(FirstKnotAtOrAfter(0, count, x, knotX), count, x, knotX, knotY);
}

arofdoubleM InterpolateTable(const arofdoubleM& xs, const arofdoubleM& knotsX, const arofdoubleM& knotsY)
{
    const int count = knotsX.Length();
    auto knotX = [&](int i) { return knotsX[i]; };
    auto knotY = [&](int i) { return knotsY[i]; };
    arofdoubleM values(xs.Length());
    int k = 0;
    for (int i = 0; i < xs.Length(); ++i) {
        k = FirstKnotAtOrAfter(k, count, xs[i], knotX);
        values[i] = TableValue(k, count, xs[i], knotX, knotY);
    }
    return values;
}

namespace {

// Neutral light-theme values for the system colour indices, used until the
// platform layer installs its own resolver.
int32_t DefaultSystemColor(int32_t color)
{
    static constexpr int32_t table[] = {
        0xC8C8C8, 0x000000, 0xD77800, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
        0x000000, 0xFFFFFF, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
        0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
        0xE1FFFF, 0xF0F0F0, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xD77800, 0xF0F0F0};
    const int index = color & 0xFF;
    return index < static_cast<int>(std::size(table)) ? table[index] : 0x000000;
}

SystemColorResolver gSystemColorResolver = &DefaultSystemColor;

struct Rgb {
    double r, g, b;
};

Rgb Channels(int32_t color)
{
    const int32_t value = ResolveColor(color);
    return {double(value & 0xFF), double((value >> 8) & 0xFF), double((value >> 16) & 0xFF)};
}

int32_t ChannelByte(double value)
{
    return std::clamp(static_cast<int32_t>(RoundHalfEven(value)), 0, 255);
}

} // namespace

void SetSystemColorResolver(SystemColorResolver resolver) noexcept
{
    gSystemColorResolver = resolver ? resolver : &DefaultSystemColor;
}

int32_t ResolveColor(int32_t color)
{
    return color < 0 ? gSystemColorResolver(color) : color;
}

arofintM InterpolateColors(int n, const arofintM& anchors, int m)
{
    if (n < 0)
        return {};
    arofintM ramp(n + 1);
    if (n <= m) {
        for (int i = 0; i <= n; ++i)
            ramp[i] = anchors[i];
        return ramp;
    }
    if (m <= 0) {
        // A single anchor: the whole ramp is that colour.
        FillIntArray(ramp, ResolveColor(anchors[0]));
        return ramp;
    }
    for (int k = 0; k < m; ++k) {
        const int i0 = static_cast<int>(int64_t(k) * n / m);
        const int i1 = static_cast<int>(int64_t(k + 1) * n / m);
        const Rgb from = Channels(anchors[k]);
        const Rgb to = Channels(anchors[k + 1]);
        const double span = i1 == i0 ? 1.0 : double(i1 - i0);
        auto channel = [&](double a, double b, int i) { return ChannelByte(a + (i - i0) * (b - a) / span); };
        for (int i = i0; i <= i1; ++i)
            ramp[i] = channel(from.r, to.r, i) | (channel(from.g, to.g, i) << 8) | (channel(from.b, to.b, i) << 16);
    }
    return ramp;
}

int SignOf(double x) noexcept
{
    return x >= 0.0 ? 1 : -1;
}

double SignedLog(double c, double x)
{
    return SignOf(x) * std::log10(1.0 + std::fabs(x) / c);
}

double SignedLogInverse(double c, double y)
{
    return SignOf(y) * (std::pow(10.0, std::fabs(y)) - 1.0) * c;
}

double RobustMean(const arofdoubleM& values)
{
    if (CountValid(values) == 0)
        return MissingValue;
    arofboolM kept(values.Length(), 1);
    double mean = 0.0;
    int count = 0;
    do {
        double sum = 0.0;
        count = 0;
        for (int i = 0; i < values.Length(); ++i)
            if (kept[i] && values[i] != MissingValue) {
                sum += values[i];
                ++count;
            }
        mean = sum / count;
        if (count > 1) {
            int farthest = -1;
            double distance = -1.0;
            for (int i = 0; i < values.Length(); ++i)
                if (kept[i] && values[i] != MissingValue && std::fabs(values[i] - mean) > distance) {
                    distance = std::fabs(values[i] - mean);
                    farthest = i;
                }
            if (farthest < 0)
                break; // only NaNs are left: no distance compares
            kept[farthest] = 0;
        }
    } while (count > 1);
    return mean;
}

} // namespace lp
