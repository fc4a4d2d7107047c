#pragma once
// The data file of a forward computation, and the survey of a scheme file.
//
// The unified data format (read by pyGIMLi and BERT, imported by ResIPy):
//   # <comment: program, units, array>
//   <electrode count>
//   # x z
//   <x> <z>                     one line per electrode (z the elevation)
//   <datum count>
//   # a b m n k rhoa [ip]
//   <a> <b> <m> <n> <k> <rhoa> [<ip>]   electrodes from 1, 0 for a pole
//   0                           no topography points
// Lines starting with "#" are comments; the one before a block's rows names
// its columns, in any order. Numbers are written in their shortest form that
// reads back as the same double. The table (CSV) holds one row per datum:
// a,b,m,n,xa,xb,xm,xn,k,rhoa,ip (an absent electrode's number 0 and its x
// empty; ip empty without chargeability).

#include "section/forward/ForwardResponse.h"

#include <string>
#include <string_view>

namespace lp {

// A scheme or data file that cannot be read; the message names the line.
class EDataFileError : public Exception {
public:
    using Exception::Exception;
};

std::string FormatUnifiedData(const TForwardResult& Result);
std::string FormatDataTable(const TForwardResult& Result);

// The electrodes (x and z as written) and the configurations of a file in
// the unified data format; other data columns are ignored. Raises
// EDataFileError naming the line of the first fault: a count or an
// electrode number that is not a whole number in range, a coordinate that
// is not a finite number, a file that ends before its counts are read, a
// column line without a, b, m and n (or x).
TSurvey ParseUnifiedData(std::string_view Text);

} // namespace lp
