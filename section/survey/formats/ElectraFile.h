#pragma once
// The Electra export (.ele): text, "#" label lines each followed by its
// value lines, tab-separated. Two layouts, read alike:
//   # Total enabled electrodes   (or "#Total electrodes")   then the count n
//   # X  Y  Z                    then n lines x y z (metres; z the elevation)
//   #Total remote electrode      then "No data" (remotes listed: refused)
//   # Meas.  [Status]  A B M N  [GND]  I(AB) V(AB) V(MN) ...  the data's columns
//   # [#] ...                    their units (and may close the file)
//   rows                         one value per column
// A B M N are numbers from 1 into the X Y Z list. R = V(MN) / I(AB)
// (mVpp / mApp): the peak-to-peak voltage itself is not a ΔU, so no
// voltage is read; K/(2pi), rhoa (the instrument's), V(AB), Z(AB) are not
// read, nor the older layout's recorded waveform (VMN000 ..., any number of
// readings). A Status other than E (D disabled, N not measured), "-" in
// I(AB) or V(MN), a current of 0: no measurement, skipped and counted.
// Refused naming the line: a label this reader does not know, values
// without a label, fewer X Y Z lines than the count, a row of another
// number of values than the columns, an electrode the list does not hold,
// a Status that is not E, D or N, a value that is not a number.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether the text opens with the electrode count's label, the count and
// the "X Y Z" label, and the next label after the positions is the data's
// "Meas." (a unified data file has its data count and "# a b m n" there).
bool IsElectra(std::string_view Text);
TMeasuredData ReadElectra(std::string_view Text);

} // namespace lp
