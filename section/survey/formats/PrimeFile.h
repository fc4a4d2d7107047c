#pragma once
// The Prime export (.tab, .dat): tab-separated. Header lines
// "key:<tab>value[<tab>unit]", the first beginning "# Prime:", "#" lines
// (units, formats) among them; then a line "data:", a row of column names
// each ending in ":", and one row per datum. Columns are found by name:
// pt_c1_no, pt_c2_no, pt_p1_no, pt_p2_no the electrodes A B M N (whole
// numbers, labels not necessarily from 1; an empty C1 or C2 repeats the
// previous row's), pt_calc_res the resistance R (ohm). pt_calc_res_error
// (tenths of a per cent) is the stacks' repeatability, not a data error:
// not read; pt_calc_phase_mag is a phase (degrees), left out with a warning.
// Positions: a block opened by a line "no_of_electrodes:<tab>N" (before or
// after the data), one heading line, then N lines "label x y z" (metres; z
// the elevation; a coordinate of 999 .. 9999999 in size a remote at
// infinity). Without it the electrodes stand on a flat line
// NumberedSpacing metres apart by their labels (InstrumentRows.h), the
// smallest at 0, with a warning. Rows with "**Error" in pt_line_number or
// "/.//" (or nothing, "-", a value not finite or 1e38) in pt_calc_res hold
// no measurement: skipped and counted. Refused naming the line: no "data:"
// line or column row, a column row without the electrodes or pt_calc_res,
// an empty P1 or P2, an empty C1 or C2 on the first row, a label not a
// whole number, a label the position block does not list, a value that is
// not a number.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether the first line begins "# Prime:" (the instrument's mark).
bool IsPrime(std::string_view Text);
TMeasuredData ReadPrime(std::string_view Text);

} // namespace lp
