#pragma once
// The data file of a forward computation, and the survey of a scheme file
// (the measured values a data file holds: MeasuredData.h).
//
// The unified data format (read by pyGIMLi and BERT, imported by ResIPy):
//   # <comment: program, array, units>
//   <electrode count>
//   # x z                       the column line, right after its count line
//   <x> <z>                     one line per electrode (z the elevation)
//   <datum count>
//   # a b m n k rhoa [ip] [phi]
//   <a> <b> <m> <n> <k> <rhoa> [<ip>] [<phi>]   electrodes from 1, 0 for a pole
//   0                           no topography points
// Tokens are lowercase; pyGIMLi looks for a block's column line only right
// after its count line. ip is the time-domain chargeability in mV/V
// (10 mV/V = 1 %), k in m. Numbers are written in their shortest form that
// reads back as the same double. The table (CSV) holds one row per datum:
// a,b,m,n,xa,xb,xm,xn,k,rhoa,ip_percent (an absent electrode's number 0 and
// its x empty; ip_percent, the chargeability in per cent, empty without
// one); with apparent phases (any region has a phase) a last column
// phi_mrad. The unified file's phi and the table's phi_mrad are the
// voltage's phase in mrad, negative over a polarizable ground, as the
// readers take a "phi" column (MeasuredData.h).

#include "section/survey/Survey.h"

#include <string>
#include <string_view>

namespace lp {

// A scheme or data file that cannot be read; the message names the line.
class EDataFileError : public Exception {
public:
    using Exception::Exception;
};

// The number (from 0) each electrode of the survey is written under in the
// unified format. The format's "x y z" holds a 2-D line's elevation in y
// (pyGIMLi reads it so, and this program's reader too where z is 0
// everywhere), so an offset across the line cannot be written without
// changing what the file means: an electrode off the line (y not 0) that
// no configuration uses is left out (-1, the others numbered on), and one
// that a configuration uses raises EDataFileError naming it, how many data
// use it, and what to do (remove those data to save the others).
std::vector<int> UnifiedElectrodeNumbers(const TSurvey& Survey);
// A configuration's Electrode (from 0, -1 absent) as the file writes it:
// its number from 1, 0 for an absent one.
std::string UnifiedElectrodeNumber(const std::vector<int>& Numbers, int Electrode);
// The electrode block: the count, the column line "# x z", and x z of each
// electrode written (Numbers from UnifiedElectrodeNumbers).
std::string FormatUnifiedElectrodes(const std::vector<TElectrode>& Electrodes, const std::vector<int>& Numbers);

// Raises EDataFileError for an electrode off the line a configuration uses
// (above); leaves out the others off it.
std::string FormatUnifiedData(const TSurveyResponse& Result);
std::string FormatDataTable(const TSurveyResponse& Result);

// The electrodes (x and z as written) and the configurations of a file in
// the unified data format. A count line holds one whole number (a comment
// after it allowed); a block's columns are named by the column line right
// after its count (any order, any case, a unit after "/" as in "ip/%";
// "c1 c2 p1 p2" for "a b m n"), or without one are x [y] z and a b m n
// first; "# x y" takes y as the
// elevation. Data columns other than a b m n are checked as numbers, not
// kept. After the data only a topography block (checked, not kept) may
// follow. A UTF-8 byte-order mark is skipped. Raises EDataFileError naming
// the line of the first fault: a count or an electrode number that is not a
// whole number in range, a coordinate that is not a finite number, a row
// with more or fewer values than its columns, a file that ends before its
// counts are read or goes on after its blocks, a column line without a, b,
// m and n (or x). Messages quote at most 40 characters of the file, control
// characters escaped.
TSurvey ParseUnifiedData(std::string_view Text);

} // namespace lp
