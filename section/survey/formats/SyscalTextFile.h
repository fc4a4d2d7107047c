#pragma once
// The Syscal Pro text export (.csv): one header row of comma-separated
// column names (padding spaces trimmed; an unnamed leading column or two
// allowed), then one row per datum to the end of the file. Columns are
// found by name, in the four header variants the instrument's software
// writes:
//   a. Spa.1 .. Spa.4 (x of A, B, M, N), Rho, Dev., M, Sp, Vp, In, ...
//   b. xA(m) .. xN(m), Rho (Ohm.m), Dev., M (mV/V), SP (mV), VMN (mV), IAB (mA)
//   c. xA (m) .. xN (m), yA (m) .. yN (m), zA (m) .. zN (m), Rho (Ohm.m),
//      Dev. Rho (%), VMN (mV), IAB (mA), Coef. k (m), ...
//   d. as c. with M (mV/V), Dev. M, Global xA (m) .. (not read: the same
//      places in another frame), M1 .. M20
// A datum's value is R = Vp / In (mV / mA = ohm; Rho, the instrument's ρa,
// only where the file has no Vp and In columns); M is its chargeability in
// mV/V (an all-zero M column is no IP; the windows M1 .. M20 are its parts
// and not read); y and z place the electrodes (z the elevation). A
// coordinate of 999 .. 9999999 in size is a remote at infinity. Dev. is the
// stacks' repeatability, not a data error: not read. Rows are ragged:
// cells beyond the header are ignored, missing ones absent. Rows without
// a measurement (a value missing, "-", In 0, a value not finite or 1e38)
// are skipped and counted. Refused naming the line: a cell that should be
// a number and is not; a header without the positions or a value.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether the first line is a Syscal header: comma-separated, naming
// El-array and x of A (Spa.1, xA(m) or xA (m)).
bool IsSyscalText(std::string_view Text);
TMeasuredData ReadSyscalText(std::string_view Text);

} // namespace lp
