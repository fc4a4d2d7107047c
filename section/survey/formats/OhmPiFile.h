#pragma once
// The OhmPi export (.csv): one header row of comma-separated column names,
// then one row per datum to the end of the file. Columns are found by name:
// a b m n the electrode numbers (from 1), r_[Ohm] the resistance
// R = V/I (else vmn_[mV] / iab_[mA]), vmn_[mV] the voltage. The file gives
// no positions: the electrodes stand on a flat line NumberedSpacing metres
// apart (InstrumentRows.h), electrode 1 at 0, with a warning. r_std_[%] and
// vmn_std_[%] are the stacks' repeatability, not data errors: not read; the
// other columns are informative. No IP, no remote. Rows without a
// measurement (R missing, "-", not finite or 1e38, a current of 0) are
// skipped and counted. Refused naming the line: an electrode number that is
// not a whole number from 1 to 99999 or is missing, a value that is not a
// number, a header without a b m n or a resistance.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether the first line is an OhmPi header: comma-separated, naming the
// columns a, b, m, n and r_[Ohm] (or vmn_[mV] and iab_[mA]).
bool IsOhmPi(std::string_view Text);
TMeasuredData ReadOhmPi(std::string_view Text);

} // namespace lp
