#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lp {

namespace {

// From this size on fixed decimals would be a row of digits.
constexpr double Large = 1e6;

std::string Printed(const char* Format, int Precision, double Value)
{
    char text[64];
    std::snprintf(text, sizeof text, Format, Precision, Value);
    return text;
}

// "1.67e+62" as "1.67e62", "3e-05" as "3e-5".
std::string ShortExponent(std::string Text)
{
    const size_t e = Text.find('e');
    if (e == std::string::npos)
        return Text;
    std::string mantissa = Text.substr(0, e), exponent = Text.substr(e + 1);
    const bool negative = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+'))
        exponent.erase(0, 1);
    exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
    return mantissa + "e" + (negative ? "-" : "") + exponent;
}

} // namespace

std::string ReadableNumber(double Value, int Digits)
{
    if (!std::isfinite(Value))
        return std::isnan(Value) ? "nan" : Value > 0 ? "inf" : "-inf";
    return ShortExponent(Printed("%.*g", std::clamp(Digits, 1, 17), Value));
}

std::string ReadableFixed(double Value, int Decimals)
{
    if (!std::isfinite(Value) || std::fabs(Value) >= Large)
        return ReadableNumber(Value, 2);
    return Printed("%.*f", std::clamp(Decimals, 0, 17), Value);
}

} // namespace lp
