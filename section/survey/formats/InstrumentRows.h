#pragma once
// What the readers of instruments' exports share: the rows of a file as
// the instrument gives them (each electrode by its coordinates, or at
// infinity) turned into measured data as every reader gives them.
//
// - Electrodes given by coordinates are one electrode when they stand
//   within 1 mm of each other; their elevations (z) become the survey's
//   relief, as the unified format's electrode elevations do, and
//   electrodes at one place along the line below the highest there (a
//   borehole's) are buried (SetEnvelopeDepths, Survey.h); where the file
//   gives the electrodes' depths below the surface (TInstrumentPlace::Depth)
//   those are taken instead.
// - The line: along x when every y is the same, along y when every x is;
//   any other straight line in x-y is fitted through the electrodes and the
//   distance along it used (from its first electrode), with a warning when
//   an electrode lies more than a tenth of a spacing off it.
// - Remote electrodes at a real place off the line (a pole-dipole's B, a
//   pole-pole's B and N given by their coordinates): at most two
//   electrodes each standing more than a spacing (the median distance
//   between neighbours) off the straight line through the others, which all
//   stand within a spacing of it (three at least). They keep their place:
//   x the distance along the line, y the offset across it, positive to the
//   left looking along the line (the file's y less the line's for a line
//   along x; the file's x less, negated, for a line along y). Their
//   elevation is the line's at their distance along it (linear between its
//   electrodes, level beyond its ends), not the file's z: the 2.5-D ground
//   is the same across the line, and the relief is the line's alone. Each
//   such remote is named in a warning. A datum with both current (or both
//   potential) electrodes off the line is refused naming its line: a remote
//   is paired with an electrode on the line, or with none. More electrodes
//   off the line, or no line through the rest, are a 3-D survey, refused
//   naming the line of the electrode farthest off the best line.
//   A remote marked at infinity (a huge coordinate, "-", 1e38) stays a pole.
// - A datum's value: the resistance R = V/I (ohm) where the file gives one,
//   with the flat ground's k over the electrodes until a computation gives
//   the ground's own; else the instrument's ρa. Chargeabilities in mV/V as
//   the instruments give them (the data set's per cent is a tenth). An
//   instrument's stack deviation is repeatability, not a data error: the
//   readers give none (the error model serves).
// - Rows that hold no measurement (no value, "-", a current of 0, a value
//   not finite or of 1e38 in size) are skipped and counted with their
//   lines (TSkippedData::UnmeasuredLines). Repeats and reciprocals are kept
//   as rows of their own.

#include "section/survey/MeasuredData.h"

#include <array>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lp::datafile {
class TTextLines;
}

namespace lp::formats {

// An electrode's place as a file gives it, metres; z the elevation.
struct TInstrumentPlace {
    double x = 0.0, y = 0.0, z = 0.0;
    // The depth below the ground's surface where the file gives it (DAS-1's
    // terrain elevation above the electrode's); none: the electrodes' upper
    // envelope decides (SetEnvelopeDepths).
    std::optional<double> Depth = std::nullopt;
    // The file's line placing it where the file has an electrode block
    // (DAS-1's); 0: the first row using it stands for it.
    int Line = 0;
};

struct TInstrumentRow {
    int Line = 0;
    // A, B, M, N; none: at infinity (a remote marked so), or not used.
    std::array<std::optional<TInstrumentPlace>, 4> Places;
    double Resistance = std::numeric_limits<double>::quiet_NaN();    // V/I, ohm
    double Resistivity = std::numeric_limits<double>::quiet_NaN();   // the instrument's ρa, where no resistance
    double Chargeability = std::numeric_limits<double>::quiet_NaN(); // mV/V
    double Phase = std::numeric_limits<double>::quiet_NaN();         // φ of the voltage, mrad (MeasuredData.h)
    double Voltage = std::numeric_limits<double>::quiet_NaN();       // ΔU, volts
    double Time = std::numeric_limits<double>::quiet_NaN();          // TMeasuredData::Times
};

// Whether a coordinate marks an electrode at infinity: 99999 or more in
// size (the instruments write 9999999, 1e38), or a run of nines from 999
// (-999, 9999).
bool IsRemoteCoordinate(double Value);

// Whether a value read from a column holds a measurement: finite and below
// 1e30 in size (1e38 marks a failed reading).
bool IsMeasuredValue(double Value);

// A cell of a file: "-" or blank marks no value.
bool IsMissingCell(std::string_view Cell);

// A number written with a sign ("+.5", "-1.2E-01") or without; none when
// the cell is not one number.
std::optional<double> SignedNumber(std::string_view Cell);

// A number with a decimal point or a decimal comma ("-0,330"), in files
// that use no comma to separate values; none when the cell is not one
// number.
std::optional<double> DecimalNumber(std::string_view Cell);

// The cells of a row split at Separator, each trimmed; empty cells kept
// (a file's columns are counted by its separators).
std::vector<std::string_view> SeparatedCells(std::string_view Line, char Separator);
std::vector<std::string_view> SeparatedCells(std::string&& Line, char Separator) = delete; // would dangle

// A date and a time of day as instruments write them, in seconds since
// 1970-01-01 00:00 (TMeasuredData::Times): the date year first, "2020-03-01",
// "2020.03.01", "2020/03/01" or "20200301"; the time "10:02" or
// "10:02:11.25", or empty for midnight; Date alone may hold both, split by
// "T" or a space ("2024-05-01T10:00:00.0"). None when they are not a real
// date and time.
std::optional<double> DateTimeSeconds(std::string_view Date, std::string_view Time = {});

// The next line that is not empty (a header after blank lines); none at
// the file's end.
std::optional<std::string_view> NextFilledLine(datafile::TTextLines& Lines);

// Files that number their electrodes without placing them: the electrodes
// stand on a flat straight line NumberedSpacing metres apart (as the
// reference code places them), the electrode numbered First at 0.
inline constexpr double NumberedSpacing = 1.0;
TInstrumentPlace NumberedPlace(int Number, int First);
// The warning such a file's data carry.
std::string NumberedPlacesWarning();

class TInstrumentRows {
public:
    TInstrumentRows(TDataFormat Format, std::string Title);

    // A row; a place at a coordinate marking infinity (IsRemoteCoordinate,
    // x or y) is none, whichever reader gives it.
    void Add(TInstrumentRow Row);
    // A row that holds no measurement.
    void Skip(int Line) { FData.Skipped.UnmeasuredLines.push_back(Line); }
    void Warn(std::string Warning) { FData.Warnings.push_back(std::move(Warning)); }
    size_t Size() const { return FRows.size(); }
    // The file gives each electrode's y beside its x (x east, y north): the
    // electrodes keep their map positions (TElectrode::Map), by which a
    // line takes its place among the lines of a site.
    void PlaceOnMap() { FOnMap = true; }

    // The measured data of the rows; raises EDataFileError naming a line
    // as the note at the top says (3-D survey, two electrodes of a pair off
    // the line, a datum without current or potential electrodes).
    TMeasuredData Data();

private:
    TMeasuredData FData;
    std::vector<TInstrumentRow> FRows;
    bool FOnMap = false;
};

} // namespace lp::formats
