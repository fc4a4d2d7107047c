#pragma once
// The Lippmann 4-point light export (.tx0): text whose header lines begin
// with "*", numbers with a decimal point or a decimal comma (German
// exports; the file has no comma separator). What is read, in order:
//   * Electrode positions ***               the block's title, then
//   * Electrode [ i] x y z (m) = x y z      one line per electrode, i from 1; z the elevation
//   * Remote electrode positions ***        the block's title, then
//   * ... Electrode remote <A|B|M|N> [= x y z]
//   * num A B M N I U dU U90 dU90 rho phi ...   the data's column line, then a unit line
//   rows                                     whitespace-separated, one value per column
// Everything else is passed over: the long header of settings before the
// electrodes, the blocks after them (a title closed by a run of stars ends
// a block), the contact-resistance test's rows (lines without "*" after
// "* # R (kOhm) =": electrode and kOhm, or six values), and the "*" lines
// of an "Averaged data" block, whose own "*  #  rho phi ..." columns are
// not the data's. The data's columns are taken by name, in any order:
// A B M N, I, U, phi, and Date and Time (a time without a date gives
// none). A B M N are electrode numbers; "-" in a role's column is that
// role's remote: at its place when the remote block gives one, else at
// infinity. R = U / I (mV / mA); dU and dU90 (deviations) and rho (the
// instrument's ρa) are not read; phi is a phase in mrad, not a
// chargeability: left out with a warning. Rows with "-" (or 0) in I, or "-"
// in U, hold no measurement: skipped and counted. Refused naming the line:
// a row of another number of values than the column line names, an
// electrode number the electrode block does not list, a value that is not
// a number, a malformed electrode line in the electrode block, a file
// without the data's column line.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether the first line with text begins with "*" and a later "*" line
// names the data's columns ("* num ..." with A, B, M and N among them).
bool IsLippmann(std::string_view Text);
TMeasuredData ReadLippmann(std::string_view Text);

} // namespace lp
