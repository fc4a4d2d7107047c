#pragma once
// The DAS-1 export (.data): "!" lines are comments, "#Key value" lines
// settings. The electrodes between "#elec_start" and "#elec_end", one line
// each: "cable,electrode" x y z (metres; z the elevation), then the
// terrain z (Terrn-Z; 0 where not surveyed: an electrode below it is
// buried that deep, one above it is put on it, counted in a warning naming
// the first line) and more (not read); they may stand on several cables, the
// data using those of one (a line). The data between "#data_start" and
// "#data_end": per row an ID, then A B M N as "cable,electrode", then
// values; "#data_res_col= 011" gives the column of R = V/I (ohm), counting
// fields split at spaces and commas from the row's start (the ID 1, A's
// cable 2 and electrode 3, ... N's electrode 9), so fields after the
// named ones (a date, a gain "CH 01 GN 1", a voltage) do not matter. The
// standard deviation (#data_std_res_col) is the stacks' spread, not a data
// error: not read; an IP window column (#data_ip_wind_col not -1) is left
// out with a warning, its unit not being documented. Free text and blank
// lines between the blocks ("Electrodes input/output format") and after
// "#data_end" ("Run Complete") are passed over, and so are the settings
// not named here. Rows saying "out of range", or whose R is not finite or
// 1e38, hold no measurement: skipped and counted. Refused naming the line:
// an electrode the block does not list, a row too short for the R column,
// a value that is not a number, a file without #data_res_col.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether lines "#elec_start" and "#data_start" begin blocks of the text.
bool IsDas1(std::string_view Text);
TMeasuredData ReadDas1(std::string_view Text);

} // namespace lp
