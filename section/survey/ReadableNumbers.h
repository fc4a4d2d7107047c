#pragma once
// Numbers as messages and summaries show them (misfit totals, χ², λ, fitted
// values): a few significant digits, and beyond what a row of digits can
// say a short power of ten ("1.7e62 %", not 63 digits).

#include <string>

namespace lp {

// Digits significant digits as printf's %g gives them, its power of ten
// written short: "1.67e62", "3e-5" (no plus sign, no leading zeros). Not a
// finite number: "inf", "-inf" or "nan".
std::string ReadableNumber(double Value, int Digits = 3);

// Decimals digits after the point ("2.41") below 1e6; from there on
// ReadableNumber with two digits ("1.7e62").
std::string ReadableFixed(double Value, int Decimals = 2);

} // namespace lp
