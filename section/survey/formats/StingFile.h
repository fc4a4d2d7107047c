#pragma once
// The Sting / SuperSting export (.stg): header lines (the instrument and
// serial, firmware and survey period with "Records: N", "Unit: meter" or
// "Unit: feet"), then one comma-separated row per datum to the end of the
// file. Fields (from 1): 1 record number, 2 mode, 3 date, 4 time, 5 R = V/I
// (ohm), 6 the error in tenths of a per cent, 7 the current (mA), 8 the
// instrument's ρa, 9 a label, 10-12 x y z of A, 13-15 of B, 16-18 of M,
// 19-21 of N (metres, or feet by the unit line; z the elevation), then
// "Key=value" fields. R is the datum's value; the error is the cycles'
// repeatability, not a data error: not read. A coordinate of 999 ..
// 9999999 in size is a remote at infinity. IP fields ("IP:" and its
// windows) are left out with a warning: their unit is not documented.
// Rows without a measurement (R not finite or 1e38, a current of 0, "-")
// are skipped and counted; a row of fewer than 21 fields, a field that
// should be a number and is not, or another unit is refused naming its
// line.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether the header (the lines before the first row) says "Records:" or
// "Unit:" and the first row has 21 or more comma-separated fields, the
// places numbers.
bool IsSting(std::string_view Text);
TMeasuredData ReadSting(std::string_view Text);

} // namespace lp
