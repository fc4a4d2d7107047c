#pragma once
// The ABEM Lund protocol export (.ohm): whitespace-separated text, comments
// in braces. A header (survey name, first station coordinate, date and
// version, electrode spacing, the number of protocol files, the protocol's
// name and array code), then blocks, each opened by a protocol file's name
// (its last "."-part ORG, UP or DWN):
//   <N> <flag>            N rows; flag 1: the values are resistances (ohm), 0: apparent resistivities
//   <mid-station>         the block's coordinate, metres
//   <date, version>
//   N rows                C1 C2 P1 P2 (metres from the mid-station), the value, the variation
//                         coefficient (%), stacks used and taken
// x = mid-station + position; 1.0E38 (any coordinate of 99999 or more in
// size) is a remote at infinity. The variation coefficient is the stacks'
// repeatability, not a data error: not read. No IP, no topography. A
// survey name "b dist= D" or array code 12 (a grid of parallel lines) is a
// 3-D survey, refused; so is anything between or after the blocks that is
// not a block, naming its line. Rows without a measurement (a value not
// finite or of 1e38, "-") are skipped and counted.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether a protocol file's name stands alone on one of the first lines,
// followed by a line of two whole numbers (a block's count and flag).
bool IsAbemOhm(std::string_view Text);
TMeasuredData ReadAbemOhm(std::string_view Text);

} // namespace lp
