#pragma once
// The Electra export (.ele): text, "#" label lines each followed by its
// value lines, tab-separated, numbers with a decimal point or comma. Two
// layouts, read alike; what is read:
//   # Total enabled electrodes   (and/or "#Total electrodes")   then the count n
//   # X  Y  Z                    then n lines x y z (metres; z the elevation)
//   #Total remote electrode      then 0 or "No data"; "#Xr Yr Zr" then "No data"
//                                (remotes listed: refused)
//   #Note profile [n. line]      then a count and that many free-text lines, passed over
//   # Meas.  [Status]  A B M N  [GND]  I(AB) V(AB) V(MN) ...  the data's columns
//   # [#] ...                    their units (and may close the file)
//   rows                         one value per column (a trailing tab allowed)
// Other labels and their values (the original file's name, the newer
// layout's profile name on the first line, dates, settings, totals,
// samples) are passed over. A B M N are numbers from 1 into the X Y Z
// list, which holds as many positions as one of the counts. R = V(MN) /
// I(AB) (mVpp / mApp): the peak-to-peak voltage itself is not a ΔU, so no
// voltage is read; K/(2pi), rhoa (the instrument's), V(AB), Z(AB) are not
// read, nor the older layout's recorded waveform (VMN000 ..., any number
// of readings). A Status other than E (D disabled, N not measured), "-" in
// I(AB) or V(MN), a current of 0: no measurement, skipped and counted.
// Refused naming the line: X Y Z before a count, an X Y Z list of another
// length than the counts, remote electrodes listed, a file that ends
// within a note, a label after the data's columns other than their units'
// row, a row of another number of values than the columns,
// an electrode the list does not hold, a Status that is not E, D or N, a
// value that is not a number.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether a "#X Y Z" label line comes before a "#Meas." one (the data's
// columns; a unified data file has none).
bool IsElectra(std::string_view Text);
TMeasuredData ReadElectra(std::string_view Text);

} // namespace lp
