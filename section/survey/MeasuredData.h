#pragma once
// A measured survey: the electrodes, configurations and values a field file
// holds, read from the unified data format (here) or the Res2DInv format
// (Res2DInvFile.h), for the forward response to be computed at exactly its
// configurations and compared with it (Misfit.h).
//
// Units: positions in model units (metres; x the distance along the line, z
// the elevation, up positive), ρa in ohm-m, k in m, errors as fractions
// (0.03 for 3 %), chargeability in per cent (10 mV/V = 1 %), phase in mrad.
//
// Phases of a frequency-domain survey keep one sign convention throughout
// the program: the phase of the measured voltage against the current, in
// mrad, negative over a polarizable ground (the voltage lags). Files write
// it either way: each reader says which its format uses and turns it into
// this one; windows show its magnitude, as the field does.
//
// Data that cannot be used are skipped and counted, never used: marked
// invalid (valid 0), with an apparent resistivity that is not a finite
// number, beyond MaxResistivity in size, or above 0 but below
// MinResistivity, with an error below
// MinError (no instrument measures that well, and its weight would be
// beyond counting), measuring nothing over a homogeneous ground (an
// infinite geometric factor: M and N equally far from the current
// electrodes), or using one electrode twice in a configuration. A datum
// with only B (or only N) has it taken as A (as M): swapping both electrodes
// of a pair changes the sign of ΔU and of k alike, so ρa stays.
//
// Resistivities: finite; those of 0 or below are data nothing may compute
// with until removed, NonPositiveData (DataCleaning.h). A field file holds
// them (a potential below the noise, a reversed cable): they are kept as
// data, written as they are (pyGIMLi reads a negative rhoa), and every
// computation refuses them (RequirePositiveResistivities) until they are
// removed. A resistance negative only by the sign convention of its
// configuration (k negative too) gives ρa = k·R above 0: ordinary data.
//
// IP values (chargeabilities and phases) are read with the same care, the
// IP value alone left out (nan) and its line counted while the datum's
// resistivity stays (TSkippedData::IpLines): a value not finite or beyond
// what a ground gives (|φ| beyond MostIpPhase, |η| beyond
// MostIpChargeability: the instruments' no-value codes, such as -9999999,
// among them), or with an error above 0 but below the least an instrument
// reaches (MinPhaseError, MinChargeabilityError). After every reader
// (FinishMeasuredData): a column whose values mostly have the sign a
// polarizable ground cannot give (phases above 0, chargeabilities below 0:
// three in four of those not 0 or more, and their sum) is read in the
// other convention, every sign turned, with a warning counting them; and values far beyond their neighbours' (WildIpLimit
// scaled deviations, OutlyingIpValues in DataCleaning.h) are left out and
// counted (TSkippedData::IpOutlierLines): no measurement gives them.
//
// A file that cannot be read raises EDataFileError naming the line of the
// first fault and what was expected there; messages quote at most 40
// characters of the file, control characters escaped.

#include "section/survey/DataFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lp {

// The formats measured data are read in: the two data formats and the
// instruments' own exports (formats/DataFormats.h lists them with their
// names, extensions and readers).
enum class TDataFormat { Unified, Res2DInv, SyscalText, AbemOhm, Sting, Lippmann, Das1, OhmPi, Prime, Ares, Electra, SyscalBinary, SyscalBinx };

// The format's name on the command line ("unified", "res2dinv", "syscal",
// ...), and the format a name names.
std::string DataFormatName(TDataFormat Format);
std::optional<TDataFormat> DataFormatFromName(const std::string& Name);
// What the format numbers its data by, for messages: "record" for the
// binary files (their records from 1, which the data's Lines hold), "line"
// for the text files.
std::string LineWord(TDataFormat Format);
// "Line 12", "Record 12": a message's start naming a datum's line.
std::string LinePlace(TDataFormat Format, int Line);

// The range of apparent resistivities (ohm-m) and the least relative error
// (a fraction) a datum may have to be used: beyond them the misfit's terms
// leave what a double counts.
// (TSkippedData::Text writes them out.)
inline constexpr double MinResistivity = 1e-12;
inline constexpr double MaxResistivity = 1e12;
inline constexpr double MinError = 1e-6;

// The range of IP values a datum may have, and their least errors: a
// phase beyond a radian leaves the first order the apparent phases are
// computed to (the section's own bound on a body's phase, MostPhaseMrad);
// an apparent chargeability is at most the whole voltage (1000 mV/V, 100
// %) in size. Errors below these no instrument reaches, and their weights
// would be beyond counting.
inline constexpr double MostIpPhase = 1000.0;           // mrad
inline constexpr double MostIpChargeability = 100.0;    // per cent
inline constexpr double MinPhaseError = 1e-3;           // mrad
inline constexpr double MinChargeabilityError = 1e-4;   // per cent (0.001 mV/V)
// IP values more than this many scaled deviations from their
// neighbours' median are left out when read (OutlyingIpValues): far
// beyond what the neighbours' scatter or a real anomaly gives.
inline constexpr double WildIpLimit = 10.0;

// The data a file holds that cannot be used, by reason.
struct TSkippedData {
    int Invalid = 0;            // marked invalid (valid 0)
    int BadResistivity = 0;     // ρa not finite, beyond MaxResistivity in size, or above 0 but below MinResistivity (from r or u/i too)
    int BadError = 0;           // an error above 0 but below MinError
    int NoGeometricFactor = 0;  // measures nothing over a homogeneous ground: the geometric factor is infinite
    int RepeatedElectrode = 0;  // an electrode used twice within one configuration
    // Rows of an instrument's file that hold no measurement: no value, "-",
    // a current of 0, a value not finite or of 1e38 (the instruments' mark
    // of a failed reading); their lines, rising.
    std::vector<int> UnmeasuredLines;
    // The lines of data whose IP value (chargeability or phase) is left
    // out, the datum kept: not finite, beyond MostIpPhase or
    // MostIpChargeability in size, or with an error above 0 below the
    // least; and those far beyond their neighbours'. Neither counts in
    // Total(): the data stay.
    std::vector<int> IpLines;
    std::vector<int> IpOutlierLines;
    // Data whose computed ρa came out 0 or below (DropNonPositiveResponses,
    // Misfit.h): left out of a comparison; their lines, rising.
    std::vector<int> NonPositiveResponseLines;
    std::string LineWord = "line"; // "record" in a binary file (LineWord(TDataFormat))
    int Total() const
    {
        return Invalid + BadResistivity + BadError + NoGeometricFactor + RepeatedElectrode +
               static_cast<int>(UnmeasuredLines.size() + NonPositiveResponseLines.size());
    }
    // "3 marked invalid, 1 with an apparent resistivity that is not
    // finite, beyond 1e12 ohm-m in size, or above 0 but below 1e-12
    // ohm-m, 2 rows without a measurement (lines 5, 9)"; empty when
    // nothing was skipped.
    std::string Text() const;
    // "2 IP values not finite, beyond ±1000 mrad or ±100 % in size, or
    // with an error below the least (lines 5, 9), 1 far beyond its
    // neighbours' (line 40)"; empty when no IP value was left out.
    std::string IpText() const;
};

// The usable data of a file, one entry per datum in every per-datum list.
struct TMeasuredData {
    TDataFormat Format = TDataFormat::Unified;
    std::string Title; // the Res2DInv title, or the unified file's first comment
    // Every electrode of the file (some may serve no usable datum), z the
    // elevation the file gives (0 where it gives none).
    std::vector<TElectrode> Electrodes;
    bool HasElevations = false; // the electrodes' elevations are given (some z not 0, or Res2DInv topography)
    std::vector<TConfiguration> Configurations; // from 0; -1 absent (B or N only)
    std::vector<double> Resistivities;           // ρa measured, ohm-m, finite; 0 or below: see above (NonPositiveData)
    // The resistance R = ΔU/I (ohm) of a datum whose file gives one (r, u/i,
    // Res2DInv resistances) instead of ρa; nan where it gives ρa (empty: no
    // datum has one). Its ρa is k·R with the file's k or the flat ground's
    // until a computation gives the ground's own k (ApparentResistivities).
    std::vector<double> Resistances;
    std::vector<double> GeometricFactors;        // k the file gives (or the flat-ground k it was computed with); nan where none
    std::vector<double> Errors;                  // relative error, fraction; nan where none (empty: the file has none)
    std::vector<double> Chargeabilities;         // per cent; nan where none (empty: the file has none)
    std::vector<double> ChargeabilityErrors;     // per cent; nan where none (empty: the file has none)
    std::vector<double> Phases;                  // φ of the voltage, mrad, negative when polarizable; nan where none (empty: the file has none)
    std::vector<double> PhaseErrors;             // mrad, absolute; nan where none (empty: the file has none)
    std::vector<double> Voltages;                // ΔU measured, volts (u, or r·i); nan where none (empty: the file has none)
    // When each datum was measured, where the file tells (an instrument's
    // date and time columns): seconds since 1970-01-01 00:00 on the
    // instrument's clock, as the file writes it (no time zone); nan where
    // none (empty: the file tells none).
    std::vector<double> Times;
    std::vector<TElectrode> Topography;          // the file's topography points (x, elevation), if any
    std::vector<int> Lines;                      // the file's line of each datum
    std::vector<int> ElectrodeLines;             // the file's line placing each electrode (Res2DInv: the first datum using it)
    TSkippedData Skipped;
    std::vector<std::string> Warnings;           // what was read but not taken as written (one sentence each)
    // The file gives its resistances as magnitudes: none below 0 while
    // some configurations' geometric factors are (ReadMeasuredData). Each
    // such datum takes its configuration's sign, again whenever its k
    // changes (new electrode positions, ElectrodePositions.h).
    bool Magnitudes = false;

    size_t Size() const { return Configurations.size(); }
    // The measured ρa to compare with a response computed with the given
    // geometric factors (one per datum): a resistance's ρa formed with the
    // computation's k, as the computed ρa is (over a relief the numerical
    // factor, which the flat one misses by tens of per cent), the others as
    // the file gives them.
    std::vector<double> ApparentResistivities(const std::vector<double>& Factors) const;
    // The survey to compute at: the electrodes and the usable
    // configurations (Array names the format).
    TSurvey Survey() const;
};

// The data in the unified data format, to be read again by this program
// and by pyGIMLi alike: the electrodes, then per datum a b m n, k (the
// file's, else the flat ground's), rhoa (or r in ohm when every datum was
// given as a resistance, so that a ground's own k forms its ρa again), err
// (a fraction: the file's, else DefaultError), when every datum has
// one, ip and iperr in mV/V, and, when every datum has a phase, phi in mrad
// (the voltage's phase as the program keeps it, negative when polarizable)
// with, when every datum has one and no ip column is written, its error
// as iperr in mrad. A ρa of 0 or below is written as it is.
// Raises EDataFileError for a DefaultError not finite and above 0, and for
// an electrode off the line a datum uses; one no datum uses is left out
// (UnifiedElectrodeNumbers, DataFile.h).
std::string FormatMeasuredData(const TMeasuredData& Data, double DefaultError);

// Whether two data sets hold the same measurements: the same electrodes,
// configurations and values (a value absent in both counts as the same),
// whatever file or reading they came from.
bool SameMeasurements(const TMeasuredData& A, const TMeasuredData& B);

// The unified data format, as DataFile.h describes its blocks, with its
// value columns in any order and case: "a b m n" (or "c1 c2 p1 p2"); the
// apparent resistivity as "rhoa" ("ra", "rhos"), or "r" (ρa = k·r), or "u"
// and "i" (ρa = k·u/i; "u/mv" in millivolts, "i/ma" in milliamperes); "k"
// (without one, k is the flat ground's from the file's electrodes); the
// voltage ΔU kept from "u", or from "r" and "i" (for an absolute voltage
// error, Misfit.h); "err"
// a fraction, "err/%" per cent; "ip" in mV/V ("ip/mv/v" too), "ip/%" per
// cent; "iperr" the error of the IP column ("ip", or "phi" without an ip
// chargeability), in that column's unit unless it names its own ("mv/v",
// "%" for a chargeability; "mrad", "rad", "deg" for a phase); "valid". A bare "ip" is taken for a
// time-domain chargeability in mV/V, as pyGIMLi takes it (unless
// Options.IpIsPhase: then phases in mrad, as pyGIMLi's −φ when most values
// are above 0, else as the voltage's φ itself); chargeabilities below
// 0 are kept (a few below 0 beside strong contrasts are ordinary data),
// a column mostly below 0 turned (above) with a warning suggesting the
// phase reading, which half of them below 0 suggests too.
// Phases: an "ip" in a phase's unit ("ip/mrad", "ip/rad", "ip/deg") holds
// the phase's magnitude as pyGIMLi writes it (−φ, above 0 over a
// polarizable ground); a "phi" or "phase" column (no unit: mrad; "mrad",
// "rad", "deg") the voltage's phase φ itself, negative when polarizable, as
// this program writes it. A file with both, or with both "phi" and
// "phase", is refused naming the column line. Other columns are
// ignored. The data
// block needs its column line (the values are named by it), and a value
// column of resistivity; a unit the reader does not know for one of these
// columns is refused. A datum without A and B, or without M and N, is
// refused. A nan reads as absent (a nan error or ip: the datum
// has none; a nan ρa: skipped; an infinite IP value is left out and
// counted, above), and so does an error that is not above
// 0 (pyGIMLi writes 0 for an error not set): the error model serves there.
struct TDataReading {
    bool IpIsPhase = false; // a bare "ip" column holds phases (mrad), not chargeabilities
};
TMeasuredData ReadUnifiedMeasuredDataWith(std::string_view Text, const TDataReading& Options);
TMeasuredData ReadUnifiedMeasuredData(std::string_view Text);

// The format of a data file's text, told from its content: an
// instrument's export by its own marks (formats/DataFormats.h); else
// unified when its first lines are (LooksUnified), else Res2DInv, whose
// first line is a title (blank or text).
TDataFormat RecogniseDataFormat(std::string_view Text);

// Whether the first line is the unified format's: a "#" comment, or one
// whole number alone followed by a "#" line or a line of at most three
// values (an electrode's); an empty text too.
bool LooksUnified(std::string_view Text);

// Reads a data file's text in the given format, or the one recognised. A
// file taken for Res2DInv whose first lines are not Res2DInv's header (a
// spacing alone on its line, a known array type) is refused as in no
// format this program reads, naming the formats it reads; when the file's
// Extension (without the dot, any case) is an instrument format's own, the
// message adds why that format's reader refuses it (naming the line).
// Options serve the unified format (the instruments name their columns).
// A file whose resistances are all 0 or above while some data's ρa = k·R
// fall below 0 writes magnitudes (an instrument that records no polarity):
// its data are marked Magnitudes and turned to their configuration's sign
// (TurnMagnitudes), a warning counting them.
TMeasuredData ReadMeasuredData(std::string_view Text, std::optional<TDataFormat> Format = std::nullopt,
                               std::string_view Extension = {}, const TDataReading& Options = {});

// For data that hold magnitudes (or whose resistances are all 0 or above
// while some ρa are below 0: then marked Magnitudes), the data given as a
// resistance whose ρa is below 0 turned to their configuration's sign
// (DataCleaning.h); returns how many.
size_t TurnMagnitudes(TMeasuredData& Data);

// Whether any datum has a phase.
bool HasPhases(const TMeasuredData& Data);

} // namespace lp
