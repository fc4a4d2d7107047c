#pragma once
// What the readers of data files share (private to section/forward): the
// file as lines, its tokens and numbers, refusals that name a line and quote
// the file plainly, and the unified data format read into a table that the
// scheme reader (DataFile.h) and the measured-data reader (MeasuredData.h)
// each take what they need from.

#include "section/survey/DataFile.h"
#include "section/survey/MeasuredData.h"

#include <array>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lp::datafile {

// How much of the file a message quotes: enough to recognise the line, never
// a whole runaway token.
inline constexpr size_t QuotedCharacters = 40;

// A piece of the file as a message shows it, in double quotes: at most
// QuotedCharacters characters, control characters and bytes that are not
// UTF-8 escaped, so nothing in it can steer a terminal.
std::string Quoted(std::string_view Text);

std::string_view Trimmed(std::string_view Text);

// The tokens of a line, separated by white space and by any character of
// Separators.
std::vector<std::string_view> Tokens(std::string_view Text, std::string_view Separators = {});
// The tokens view the text: a string that dies with the call would leave
// them dangling.
std::vector<std::string_view> Tokens(std::string&& Text, std::string_view Separators = {}) = delete;
std::string_view Trimmed(std::string&& Text) = delete;

// A token read whole by std::from_chars (no "+", no spaces); none otherwise.
std::optional<int> WholeNumber(std::string_view Token);
std::optional<double> RealNumber(std::string_view Token); // nan and inf included

// A file as lines (a UTF-8 byte-order mark skipped, the last line's end no
// line of its own; LF, CR LF, or CR alone in a file without LF), read one after the other; refusals name the line read
// last.
class TTextLines {
public:
    explicit TTextLines(std::string_view Text);

    // The next line with values, trimmed; with HashComments what comes
    // before a "#" (comments and blank lines skipped). None at the end.
    std::optional<std::string_view> NextValues(bool HashComments = true);
    // The next line whatever it holds, trimmed; none at the end.
    std::optional<std::string_view> NextLine();

    [[noreturn]] void Fail(const std::string& What) const; // "Line N: What."
    [[noreturn]] void FailAt(int Line, const std::string& What) const;

    int Integer(std::string_view Token) const; // refused: not a whole number
    double Number(std::string_view Token) const; // refused: not a finite number
    double AnyNumber(std::string_view Token) const; // refused: not a number (nan allowed)

    int At() const { return FAt; } // the line read last, from 1
    size_t Next() const { return FNext; }
    const std::vector<std::string_view>& Lines() const { return FLines; }

private:
    std::vector<std::string_view> FLines;
    size_t FNext = 0;
    int FAt = 0;
};

// A column of a unified data block: its name and the unit after a "/"
// ("ip/%": "ip" and "%"), both lowercase.
struct TUnifiedColumn {
    std::string Name;
    std::string Unit;
};

// A datum row: its line, its electrode numbers (from 1, 0 a pole; A B M N)
// and every value of the row in the order of the columns.
struct TUnifiedRow {
    int Line = 0;
    std::array<int, 4> Electrodes{};
    std::vector<double> Values;
};

struct TUnifiedTable {
    std::vector<TElectrode> Electrodes;
    std::vector<int> ElectrodeLines;    // the line of each electrode
    std::vector<TUnifiedColumn> Columns; // of the data; empty without a column line
    int ColumnLine = 0;                  // the data's column line
    std::vector<TUnifiedRow> Rows;
    std::vector<TElectrode> Topography; // the points of the topography block (x, z)
    std::vector<std::string> Warnings;  // what was read but not taken as written
};

// The values of a measured datum as a file gives them (nan where not given);
// a resistance (r, or u/i) instead of ρa gives ρa = k·r, with the flat
// ground's k over the file's electrodes where the file gives none.
struct TMeasuredValues {
    double Resistivity = std::numeric_limits<double>::quiet_NaN();
    std::optional<double> Resistance;
    double GeometricFactor = std::numeric_limits<double>::quiet_NaN();
    double Error = std::numeric_limits<double>::quiet_NaN();              // fraction
    double Chargeability = std::numeric_limits<double>::quiet_NaN();      // per cent
    double ChargeabilityError = std::numeric_limits<double>::quiet_NaN(); // per cent
    double Phase = std::numeric_limits<double>::quiet_NaN();              // φ of the voltage, mrad (MeasuredData.h)
    double PhaseError = std::numeric_limits<double>::quiet_NaN();         // mrad
    double Voltage = std::numeric_limits<double>::quiet_NaN();            // ΔU, volts
    double Time = std::numeric_limits<double>::quiet_NaN();               // TMeasuredData::Times
};

// Adds a datum to a data set whose electrodes are read: a lone B taken as
// A and a lone N as M; skipped and counted when it cannot be used as
// MeasuredData.h says (returns false). A datum without A and B or without
// M and N is refused naming its line.
bool AddMeasuredDatum(TMeasuredData& Data, TConfiguration Configuration, const TMeasuredValues& Values, int Line);

// Empties the per-datum lists of values no datum has.
void DropAbsentLists(TMeasuredData& Data);

// What every reader does last, as MeasuredData.h says: a column of IP
// values mostly of the sign no polarizable ground gives turned (a warning
// counting them), IP values far beyond their neighbours' left out and
// counted, and the lists no datum has emptied. Returns which columns were
// turned.
struct TTurnedIpSigns {
    bool Chargeabilities = false;
    bool Phases = false;
};
TTurnedIpSigns FinishMeasuredData(TMeasuredData& Data);

// The most values an electrode's row holds without a column line: x [y] z.
inline constexpr size_t MaxElectrodeValues = 3;

// The data file's ip is a time-domain chargeability in mV/V, as pyGIMLi
// takes it; the data set's is in per cent.
inline constexpr double MillivoltsPerVoltPerPercent = 10.0;

// The unified data format read as ParseUnifiedData documents it (the
// columns "c1 c2 p1 p2" stand for "a b m n"). Raises EDataFileError.
TUnifiedTable ReadUnifiedTable(std::string_view Text);

} // namespace lp::datafile
