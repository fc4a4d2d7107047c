#pragma once
// Cleaning a measured survey before it is compared, fitted or inverted:
// keeping a subset of its data, finding the data of an apparent
// resistivity of 0 or below (which no computation takes), data that stand far from their
// neighbours in the pseudo-section, and pairing each measurement with its
// reciprocal (current and potential dipoles exchanged) for the reciprocal
// error and an error model fitted to it.
//
// Reciprocity: the resistance of A,B;M,N equals that of M,N;A,B. A pair
// is found whatever the polarity of either dipole (exchanging the two
// electrodes of one dipole changes the sign of R, and the comparison
// undoes it). The reciprocal error of a pair is |R_n − R_r| over the mean
// of |R_n| and |R_r|, in per cent.
//
//   TMeasuredData ──NonPositiveData / OutlyingData / ReciprocalPairs──> removed data ──KeepData──> TMeasuredData

#include "section/survey/MeasuredData.h"

#include <vector>

namespace lp {

// The data not marked in Removed (one entry per datum), every per-datum
// list cut alike; the electrodes, topography and warnings stay. Raises
// EDataFileError when Removed has another size.
TMeasuredData KeepData(const TMeasuredData& Data, const std::vector<bool>& Removed);

// The data whose apparent resistivity is 0 or below (not above 0): data
// a file may hold (MeasuredData.h) that no computation takes.
std::vector<bool> NonPositiveData(const TMeasuredData& Data);

// Polarity. A datum's resistance R has the sign of its configuration's
// geometric factor k, so that ρa = k·R is above 0; an instrument that
// writes magnitudes, or records no polarity for some arrays, gives data
// whose R disagrees with k: ρa below 0. Turned, such a datum takes k's
// sign: ρa, R and the voltage ΔU change sign. Its chargeability or phase
// stays as it is: both are ratios of the voltage to itself (the decay to
// the primary voltage, the voltage's phase against the current), which a
// reversed voltage leaves alone.
//
// The data whose sign disagrees with their geometric factor: ρa below 0
// (0 itself has no sign to turn).
std::vector<bool> ReversedPolarityData(const TMeasuredData& Data);
// Turns the data marked (one mark per datum; EDataFileError otherwise) and
// returns how many.
size_t TurnPolarity(TMeasuredData& Data, const std::vector<bool>& Turned);
// Turns every datum ReversedPolarityData marks; returns how many.
size_t TurnReversedPolarity(TMeasuredData& Data);
// Whether so many data have a ρa below 0 (half or more) that their
// polarity, not the ground, is the likelier cause.
bool MostlyReversed(const TMeasuredData& Data);

// The one check of every computation with measured data (the misfit, the
// region fit, the inversion and its start, the reciprocal pairs): raises
// EForwardError "3 data have an apparent resistivity of 0 or below (first
// on line 12): remove them first" when NonPositiveData marks any (one:
// "1 datum has ... (on line 12): remove it first"; data made without
// lines are named by their place, "datum 4").
void RequirePositiveResistivities(const TMeasuredData& Data);

// The resistance of each datum (ohm): the file's where it gives one, else
// ρa / k with the file's k (or the flat ground's it was computed with).
std::vector<double> DataResistances(const TMeasuredData& Data);

// The data whose ln ρa stands more than K scaled median absolute
// deviations (1.4826 MAD, at least 1 % of ρa) from the median of its
// Neighbours nearest data in the pseudo-section (x: the middle of the
// four electrodes; depth: half the distance between the two dipoles'
// middles, the same scale). K must be a finite number above 0 and
// Neighbours at least 3 (EDataFileError otherwise); fewer data than
// Neighbours + 1 find no outlier. A datum of ρa 0 or below has no
// logarithm: it is no neighbour and never marked (NonPositiveData marks
// it), so the others are judged as if it were removed.
std::vector<bool> OutlyingData(const TMeasuredData& Data, double K, int Neighbours = 8);

// The data whose value stands more than K scaled median absolute
// deviations from the median of its Neighbours nearest data in the
// pseudo-section (as OutlyingData); Values one per datum, nan where a datum
// has none (neither judged nor a neighbour), the scale at least Floor and
// at least RelativeFloor times the neighbours' median in size. Refusals
// and the least count as OutlyingData's, which is this over ln ρa with a
// Floor of 0.01.
std::vector<bool> OutlyingValues(const TMeasuredData& Data, const std::vector<double>& Values, double K, double Floor,
                                 double RelativeFloor = 0.0, int Neighbours = 8);

// The data whose IP value (chargeability, phase) stands beyond K scaled
// deviations from its neighbours' (OutlyingValues), per list: the datum
// stays, its IP value is to be left out. The scale is at least 0.1 % or 1
// mrad, at least a quarter of the scaled deviation of the whole list
// (neighbours may agree more closely than the data repeat, and a value is
// judged wild against the scatter the line shows), and at least half the
// neighbours' median in size (IP contrasts are ratios: beside a strongly
// polarizable body a datum may be a few times its neighbours). A list the
// data do not have gives no marks (empty).
struct TOutlyingIp {
    std::vector<bool> Chargeabilities;
    std::vector<bool> Phases;
    size_t Count() const;
};
TOutlyingIp OutlyingIpValues(const TMeasuredData& Data, double K, int Neighbours = 8);

// The IP values OutlyingIpValues marks set to nan (the data kept).
void LeaveOutIpValues(TMeasuredData& Data, const TOutlyingIp& Outlying);

struct TReciprocalPair {
    size_t Normal = 0;     // the datum first in the file
    size_t Reciprocal = 0; // its reciprocal
    double Resistance = 0.0;   // mean of |R_n| and |R_r|, ohm
    double ErrorPercent = 0.0; // |R_n − R_r| / Resistance × 100
};

// Each datum in at most one pair, in the order of the normal data; a datum
// measured twice alike (not exchanged) is no pair. Refuses data of ρa 0 or
// below (RequirePositiveResistivities): remove them first.
std::vector<TReciprocalPair> ReciprocalPairs(const TMeasuredData& Data);

// |ΔR| = Absolute + Relative · |R| fitted to the pairs by least squares,
// both parts at least 0 (ohm and a fraction).
struct TReciprocalErrorModel {
    double Absolute = 0.0;
    double Relative = 0.0;
    size_t Pairs = 0;
    // The relative error of a datum of resistance R (a fraction).
    double ErrorOf(double Resistance) const;
};

// Raises EDataFileError without pairs.
TReciprocalErrorModel FitReciprocalErrorModel(const std::vector<TReciprocalPair>& Pairs);

// Both data of every pair whose reciprocal error is beyond Percent, marked
// among Count data.
std::vector<bool> ReciprocalDataBeyond(const std::vector<TReciprocalPair>& Pairs, size_t Count, double Percent);

// The least relative error (a fraction) the reciprocal error model gives a
// datum: pairs that agree closely (identical readings fit "0 ohm + 0 %")
// say how well a reading repeats, not how well a computation can explain
// it, and an error far below the forward computation's own would weigh the
// datum beyond what it holds.
inline constexpr double MinReciprocalError = 0.001;

// What UseReciprocalErrorModel did.
struct TReciprocalErrorUse {
    size_t Set = 0;     // data given the model's error
    size_t Own = 0;     // paired data that keep the file's own error
    size_t Floored = 0; // of those set, data whose model error was below MinReciprocalError: they took it
};

// The model's error, at least MinReciprocalError, for both data of every
// pair whose file gives no error (a file's own error stays).
TReciprocalErrorUse UseReciprocalErrorModel(TMeasuredData& Data, const std::vector<TReciprocalPair>& Pairs,
                                            const TReciprocalErrorModel& Model);

} // namespace lp
