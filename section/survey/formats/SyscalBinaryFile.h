#pragma once
// The Syscal Pro binary file (.bin): little-endian and packed. A header of
// a uint32 version (0x80000000 .. 0x80000003), a uint8 instrument type of
// the Pro family (3, 4, 5, 8, 9, 11) and a 1024-byte comment; then records
// to the end of the file, each of 280, 296 or 304 bytes as its "more" flag
// (0, 2 or 3, its second int16) says:
//   int16 array, more; float32 injection time, delay; int16 coordinate
//   type, unused; float32 xA xB xM xN, yA .. yN, zA .. zN (m); float32 SP,
//   Vp (mV), In (mA), rho, M (mV/V), deviation; float32 x 20 window
//   durations, x 20 window chargeabilities; 2 channel bytes; a 12-byte
//   name; int16 quadrupole number; float32 latitude, longitude, stacks,
//   contact check; more 2 or 3: float32 x 4 (transmitter and receiver
//   state); more 3: a float64 date.
// A datum's value is R = Vp / In (mV / mA = ohm), its chargeability M in
// mV/V (all zero: no IP; the windows are its parts and not read); x, y, z
// place the electrodes (z the elevation), a coordinate of 999 .. 9999999
// or 1e38 in size marks a remote at infinity. The instrument's rho, SP and
// deviation (repeatability, not a data error) are not read.
// Records are numbered from 1 and stand for the lines of a text file: a
// datum's line is its record's number, and so are the lines of the
// records skipped. Skipped and counted: a record whose Vp or In is not
// finite or of 1e38 in size, whose In is 0, or whose coordinate is not
// finite. Refused naming the record and its byte ("Record N at byte B:"):
// a record that the file ends within, a "more" flag other than 0, 2 or 3,
// a coordinate type of 0 (the small model's records without positions);
// and the header's faults ("Header at byte B:"): a version or instrument
// type this layout is not known for.
//
// The Syscal Pro .binx file, version 6 (little-endian, packed): a header
// (uint32 version 6, uint8 instrument type, uint8 software, int16 x 3
// version numbers, a comment and a common path each as a uint32 length and
// its bytes, uint32 counts of injection and waveform files, both 0, uint32
// record count) and that many records of version 14, each read by its
// seven blocks in turn; Vp, In and M from the first, x, y, z of A, B, M, N
// from the fourth. A datum is made, and a record skipped, as in the .bin
// file. The instrument names itself in the comment ("SYSCAL Pro"): a file
// so named is a .binx file whatever its version (older files: 0x80000002
// .. 0x80000004, the comment right after the instrument type), and one of
// another file or record version is refused as a Syscal Pro binary file
// of that version, whose layout is not read. Refused naming the record and
// its byte: another record version, a record the file ends within, bytes
// after the last record; naming the header: another file version, files
// of injections or waveforms named.

#include "section/survey/MeasuredData.h"

#include <string_view>

namespace lp {

// Whether the bytes are a Syscal Pro binary file: the header's version and
// Pro instrument type, and a first record whose "more" flag is 0, 2 or 3;
// not a .binx file that names the instrument (IsSyscalBinx).
bool IsSyscalBinary(std::string_view Bytes);
TMeasuredData ReadSyscalBinary(std::string_view Bytes);

// Whether the bytes are a .binx file: a header whose comment names the
// instrument ("SYSCAL Pro", any case, where a version 6 or an older file
// has it), or a version 6 header whose fields fit the file and a first
// record of version 14.
bool IsSyscalBinx(std::string_view Bytes);
TMeasuredData ReadSyscalBinx(std::string_view Bytes);

} // namespace lp
