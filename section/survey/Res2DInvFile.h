#pragma once
// The Res2DInv data format, the common denominator of field instruments'
// exports, read into measured data (MeasuredData.h). Lines, values
// separated by spaces, commas or tabs; blank lines skipped:
//
//   <title>                       any text (may be blank)
//   <unit electrode spacing>      a finite number above 0
//   <array type>                  1 Wenner, 2 pole-pole, 3 dipole-dipole, 4 Wenner-beta,
//                                 5 Wenner-gamma, 6 pole-dipole, 7 Wenner-Schlumberger,
//                                 11 general array, 12 cross-borehole
//   [types 2, 6: a remote block   a line naming it ("Remote electrodes"), then per remote
//                                 "[label] x [z]" (B, for pole-pole then N; a label B/C2/current
//                                 or N/P2/potential names one and may stand alone; unlabelled
//                                 positions need x and z; a position may follow the name);
//                                 or "Remote electrodes included", then per remote a heading
//                                 "C2 (or P2) remote electrode X, Y and Z location" and "x,y,z"
//                                 on the next line, then "Exact Geometric factor used"]
//   [types 11, 12: <sub-type>     a whole number (the array measured; not needed)
//             <Type of measurement (0=app. resistivity,1=resistance)>   a line of text
//             <0 or 1>            the rows' value: 0 apparent resistivity, 1 resistance]
//   [type 12: [Surface electrodes present   a line of text, then 0 or 1; with 1 a label line
//              <0 or 1>           ("Surface electrodes"), a count and that many "x z" rows]
//             Number of boreholes   a line of text
//             <count>             1 or more; per borehole:
//             Borehole 1 electrodes   a line of text
//             <count>             then that many "x z" rows (z the depth, down positive);
//                                 the lists are read and checked, the data rows place the
//                                 electrodes
//             [Number of data points]   an optional line of text before the data count]
//   <number of data>
//   <x-location type>             0 first electrode, 1 mid-point (type 11: read, not needed)
//   [<error flag>                 here or right after the IP flag's lines; label lines holding
//                                 "error" may stand before it; with 1 optionally:
//    <Type of error estimate …>   a line of text holding "error" and "type" (or "unit"), whose
//                                 legend "0=…, 1=…" says per cent or the data's unit
//    <type>]                      what the legend says, else 0 the data's unit; another refused.
//                                 A label ("Error estimate for data present") followed by the
//                                 type line stands for the flag 1
//   <IP flag>                     0 or 1; with 1 three lines follow:
//     <quantity>                  text ("Chargeability")
//     <unit>                      mV/V, msec, mrad or %
//     <delay, integration time>   read, not needed
//   <data rows>                   one per datum, then the chargeability with IP and the error
//                                 with the error flag, in the order of their flags
//   [<topography flag>            0 none; 1 true horizontal distances, 2 distances along the surface
//    <number of points>           (flag 1 or 2)
//    <x z> rows
//    <topography point of the first electrode>]   read, not needed
//   [lines of zeros]              the closing zeros, which may be missing; what follows
//                                 them (programs' own blocks) is not read, with a warning
//
// Data rows: x (the array's first, i.e. leftmost, electrode, or the mid-point
// between its outermost electrodes, as the x-location type says) and the
// spacing a (metres), then
//   1 Wenner (alpha)        x a ρ     A M N B at x, x+a, x+2a, x+3a
//   2 pole-pole             x a ρ     A M at x, x+a (B, N at infinity)
//   3 dipole-dipole         x a n ρ   A B M N at x, x+a, x+(n+1)a, x+(n+2)a
//   4 Wenner-beta           x a ρ     A B M N at x, x+a, x+2a, x+3a
//   5 Wenner-gamma          x a ρ     A M B N at x, x+a, x+2a, x+3a
//   6 pole-dipole           x a n ρ   A M N at x, x+na, x+(n+1)a; n < 0 the reverse:
//                                     N M A at x, x+a, x+(|n|+1)a
//   7 Wenner-Schlumberger   x a n ρ   A M N B at x, x+na, x+(n+1)a, x+(2n+1)a
//   11 general array        k x1 z1 … xk zk value, k = 2 (A M), 3 (A M N) or 4 (A B M N);
//                           z the elevation; a resistance value gives ρa = k_flat·R
//                           with the flat ground's factor over the electrodes
//   12 cross-borehole       as 11, z the depth below the surface (down positive): an
//                           electrode below it is buried (Depth), its elevation minus
//                           the depth (a topography's elevation at x less the depth)
// A remote given as x,y,z off the line (y not 0) stands there: the
// electrode keeps its y (its k from distances in space, the computation's
// potential with it; over a topography its elevation the line's at its
// x). A remote stands where the
// block puts it and enters every datum (its k changes with it), unless
// (not given as x,y,z) it is more than ten line lengths from the line
// (the data's own electrodes' span, at least the unit spacing) or at a
// coordinate of 99999 or more in size, as files mark infinity: then it
// stays a pole.
// Electrodes at one place (within a millionth of the unit spacing) are one.
// With a topography block the electrodes' elevations are the topography's
// (linear between its points, its end values beyond them), and with flag 2
// the x of the data and of the topography are distances along the surface,
// turned into horizontal distances along the topography's segments.
//
// Chargeability: mV/V becomes per cent (10 mV/V = 1 %), % stays; in msec
// (the decay curve integrated over a window) it has no conversion that
// holds for every instrument, so it is not kept (no chargeability misfit)
// and a warning says so; mrad are phases of a frequency-domain survey, left
// out with a warning as well. Another unit is refused. Error estimates in
// per cent become fractions; in the data's unit (ohm-m, or ohm for
// resistances) they are divided by the datum's value.
//
// Refusals (EDataFileError) name the line and what was expected there: an
// array type the reader does not know (by its number), a line that is not
// what its place needs, a row with more or fewer values than its array
// needs, a spacing or n that is not a finite number (above 0; n of type 6
// not 0), the file going on after its blocks with anything but zeros before
// its closing zeros, an error type other than 0.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

TMeasuredData ReadRes2DInvData(std::string_view Text);

// Whether the text begins as a Res2DInv file does: a title, the unit
// electrode spacing (a finite number above 0) and a known array type, each
// without another number on its line.
bool HasRes2DInvHeader(std::string_view Text);

} // namespace lp
