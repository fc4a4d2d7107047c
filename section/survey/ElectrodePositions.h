#pragma once
// Electrode positions read from a file of their own, in place of the
// nominal positions a data file carries (a cable's electrodes at its unit
// spacing along a straight, flat line).
//
// The file: one electrode a line, values separated by commas, semicolons,
// tabs or spaces, in the columns
//   [number or label,] x, [y,] z, [buried]
// x and y metres on a map (y given: the distance along the line from x and
// y, MapLine.h; else x is the distance), z the elevation, buried 1 for an
// electrode below the ground's surface (under a river's bed: the surface
// above it then runs between the electrodes not buried, linear, level
// beyond the ends) and 0 for one on it. A label names an electrode's number
// after its letters ("E12", "el-12": 12).
// A first line that names its columns (any order, any case, a unit in
// brackets or after "/" ignored) says which they are: "number"
// ("electrode", "label", "id", "n", "no", "nr"), "x" ("easting"), "y"
// ("northing"), "z" ("elevation", "elev", "height"), "buried". Without
// it the values' count says: 2 x z; 3 x z buried when the third is 0 or 1
// on every line, number x z when the first counts 1, 2, 3, ... (or holds
// labels), else x y z; 4 number x z buried or x y z buried (the last 0 or
// 1 on every line; the first as for 3), else number x y z; 5 number x y z
// buried. Blank lines and "#" comments are skipped.
// Without a number the lines are the electrodes 1, 2, 3, ... in order.
//
// The data's electrodes are numbered along the line from 1: on a regular
// spacing (every electrode within a hundredth of the smallest gap of the
// first's position plus a whole number of gaps) by that number, so that a
// cable's electrode no datum uses keeps its number; else by their order.

#include "section/survey/MeasuredData.h"

#include <string>
#include <string_view>
#include <vector>

namespace lp {

struct TElectrodePosition {
    int Number = 0; // from 1
    double x = 0.0;
    double y = 0.0; // when the file gives y
    double z = 0.0;
    bool Buried = false;
    int Line = 0;   // of the file
};

struct TElectrodePositions {
    std::vector<TElectrodePosition> Positions; // in file order
    bool HasY = false;
    bool HasBuried = false;
    std::vector<std::string> Columns; // as read: "number", "x", "y", "z", "buried"
    // "number, x, z, buried"
    std::string ColumnText() const;
};

// Raises EDataFileError naming the line of the first fault: a value that is
// not a finite number, a buried flag not 0 or 1, a number below 1 or a
// label without one, a number given twice (naming both lines), a line with
// another count of values than the first, a column name this reader does
// not know (naming those it knows), a column given twice or x or z
// missing, a file without an electrode.
TElectrodePositions ReadElectrodePositions(std::string_view Text);

// The number (from 1) of each of the data's electrodes, as the note at the
// top says; 0 for an electrode off the line (a remote, y not 0), which
// keeps its place. Raises EDataFileError when two electrodes of the line
// stand at one x (electrodes in a hole are not a cable's nominal line).
std::vector<int> NominalElectrodeNumbers(const TMeasuredData& Data);

// What UseElectrodePositions did.
struct TElectrodePositionsUse {
    size_t Placed = 0;  // electrodes of the data placed
    size_t Buried = 0;  // of them buried
    size_t Skipped = 0; // data measuring nothing at the new places, skipped
    size_t Turned = 0;  // data of magnitudes turned to the sign of their new k
    std::vector<std::string> Warnings; // one sentence each
};

// The data's electrodes placed as the file says: distance along the line,
// elevation, depth below the surface (SetEnvelopeDepths without a buried
// column), the file's map places kept; the data's topography replaced by
// the surface the electrodes not buried give (none without a buried
// column: the electrodes' elevations are the relief). Each datum's
// resistance is kept (the file's, else ρa over its nominal k) and its k
// and ρa computed anew over the new places; a datum that then measures
// nothing, or whose ρa leaves what a misfit counts (MeasuredData.h), is
// skipped and counted. Data of magnitudes take their new k's
// sign (TurnMagnitudes). Raises EDataFileError, and changes nothing, for an
// electrode a datum uses that the file does not place (naming its number
// and the data's line using it first), for a buried column that marks
// every electrode buried, and for a map line so far out that a distance
// along it is not finite (naming the positions file's line).
TElectrodePositionsUse UseElectrodePositions(TMeasuredData& Data, const TElectrodePositions& Positions);

// "32 electrodes placed (columns x, z, buried; 18 buried)", with what else
// was done, for a message.
std::string ElectrodePositionsText(const TElectrodePositionsUse& Use, const TElectrodePositions& Positions);

} // namespace lp
