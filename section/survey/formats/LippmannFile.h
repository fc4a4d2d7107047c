#pragma once
// The Lippmann 4-point light export (.tx0): text whose header lines begin
// with "*", numbers with a decimal point or a decimal comma (German
// exports; the file has no comma separator). Blocks, in order:
//   * Electrode [ i] x y z (m) = x y z      one line per electrode, i from 1; z the elevation
//   * Remote electrode positions ...        then lines "Electrode remote <A|B|M|N> [= x y z]"
//   * num A B M N I U dU U90 dU90 rho phi ...   the data's column line, then a unit line
//   rows                                     whitespace-separated, one value per column
// A B M N are electrode numbers; "-" in a role's column is that role's
// remote: at its place when the remote block gives one, else at infinity.
// R = U / I (mV / mA); dU and dU90 (deviations) and rho (the instrument's
// ρa) are not read; phi is a phase in mrad, not a chargeability: left out
// with a warning. Rows with "-" (or 0) in I, or "-" in U, hold no
// measurement: skipped and counted. Refused naming the line: a row of
// another number of values than the column line names, an electrode number
// the electrode block does not list, a value that is not a number.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether a "*" line names the electrode positions block and a later one
// the data's columns ("* num A B M N ...").
bool IsLippmann(std::string_view Text);
TMeasuredData ReadLippmann(std::string_view Text);

} // namespace lp
