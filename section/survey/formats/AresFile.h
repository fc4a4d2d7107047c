#pragma once
// The ARES II export (.2dm): text, "Key: value" header lines, then the line
// "Measured data:", a tab-separated column line, and one row per datum to
// the end of the file.
//   X-loc: 0 m                      the x of electrode 0 (0 when absent)
//   Electrode distance: 2 m         the spacing (required)
//   IP windows:<tab>20<tab>40 ms    the IP windows' durations
//   C1[el] C2[el] P1[el] P2[el] ... I[mA] U[mV] ... IP1[%] IP1-dev ...
// A B M N (C1 C2 P1 P2) are electrode numbers from 0 at X-loc + number x
// spacing; "5*2" (a bundle of electrodes) is read as electrode 5.
// R = U / I (mV / mA). The chargeability is the mean of the windows' IPi[%]
// weighted by their durations, in mV/V (per cent x 10); AppRes (the
// instrument's ρa), St-dev and IPi-dev (the stacks' spread), EP and Uout
// are not read. Rows that hold no measurement (I and U both 0, I 0, "-" in
// I or U, "too low current") are skipped and counted. Refused naming the
// line: IP columns without a matching "IP windows:" line (or another
// count of windows), an IP column in another unit than %, a unit other
// than m, a row of another number of cells than the column line names, an
// electrode that is not a number from 0, a value that is not a number.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether a line "Measured data:" is followed by a column line naming
// C1[el], C2[el], P1[el] and P2[el].
bool IsAres(std::string_view Text);
TMeasuredData ReadAres(std::string_view Text);

} // namespace lp
