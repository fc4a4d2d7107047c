#pragma once
// How well a forward response explains measured data, by the measures
// pyGIMLi reports, so that users can compare:
//
//   misfit of datum i   m_i = 100·(ρa,calc − ρa,meas) / ρa,meas        per cent
//   rrms                100·√( (1/N) Σ ((ρa,calc − ρa,meas)/ρa,meas)² ) per cent
//   χ²                  (1/N) Σ ((ln ρa,meas − ln ρa,calc) / ε_i)²
//   chargeability rms   √( (1/N_η) Σ (ηa,calc − ηa,meas)² )          per cent (absolute)
//   phase rms           √( (1/N_φ) Σ (φa,calc − φa,meas)² )          mrad
//
// ρa,meas is the measured ρa with a resistance's ρa formed with the
// computation's geometric factor (TMeasuredData::ApparentResistivities), so
// that over a relief both sides share the numerical factor.
//
// ε_i is the datum's relative error (a fraction; a relative error of ρa is
// an absolute error of ln ρa): the file's err where the datum has one, else
// the error model's ε = p/100 + u_abs/|ΔU|, with p the relative error in per
// cent, u_abs the absolute voltage error in volts and ΔU the voltage the
// file gives for the datum (the absolute part counts only where it gives
// one: without currents the voltage is not known). χ² near 1 means the
// section explains the data within their errors.
//
// The chargeability rms runs over the data with a measured ηa (and a
// difference whose square is finite); a section
// without polarizability responds with ηa = 0 everywhere. N counts the
// data compared (the file's skipped data are not among them). The phase rms
// likewise, over the data with a measured phase; a section whose bodies
// carry no phase responds with φa = 0.

#include "section/survey/Survey.h"
#include "section/survey/MeasuredData.h"

#include <optional>
#include <string>
#include <vector>

namespace lp {

struct TErrorModel {
    double RelativePercent = 3.0; // p
    double AbsoluteVoltage = 0.0; // u_abs, volts
};

struct TMisfit {
    std::vector<double> Measured; // ρa,meas as compared, ohm-m
    std::vector<double> Misfits; // m_i, per cent
    std::vector<double> Errors;  // ε_i, fraction
    // ηa,calc − ηa,meas, per cent; nan where the datum has no measured ηa;
    // empty when no datum has one.
    std::vector<double> ChargeabilityDifferences;
    double Rrms = 0.0;      // per cent
    double ChiSquare = 0.0;
    std::optional<double> ChargeabilityRms; // per cent; none without measured ηa
    // φa,calc − φa,meas, mrad; nan where the datum has no measured φa;
    // empty when the data hold no phases.
    std::vector<double> PhaseDifferences;
    std::optional<double> PhaseRms; // mrad; none without measured φa
    int Data = 0;
    int ChargeabilityData = 0;
    int PhaseData = 0;
};

// The misfit of a response computed at the measured data's configurations
// (Calculated.Survey holds them in the same order). Raises EForwardError
// for measured data of ρa 0 or below (RequirePositiveResistivities, DataCleaning.h:
// remove them first), when the two hold different numbers of data, when the error model is not
// finite numbers of at least 0 with one of them above 0, or when a datum's
// error comes out 0 (no file error, no relative error and no voltage; the
// datum is named), or when a computed
// ρa is not above 0 (its logarithm does not exist; the datum is named), or
// when a datum's term is beyond a double (a tiny error, say; named too). The
// sums of the data's terms stay finite only as long as their count allows:
// the totals are then checked finite as well.
TMisfit ComputeMisfit(const TMeasuredData& Measured, const TSurveyResponse& Calculated,
                      const TErrorModel& Errors = {});

// ε_i of every datum, as the misfit weighs them (a fraction); raises as
// ComputeMisfit does for an error model or a datum without an error.
std::vector<double> DataErrors(const TMeasuredData& Measured, const TErrorModel& Errors = {});

// The comparison table (CSV), one row per datum:
//   a,b,m,n,xa,xb,xm,xn,k,rhoa,ip,rhoa_measured,ip_measured,error,misfit
// electrodes numbered from 1 (an absent one 0, its x empty), x where the
// computation stood them, k and rhoa computed, ip the computed chargeability,
// rhoa_measured as compared (Misfit.Measured) and ip_measured the measured one in per cent (empty where absent), error
// ε and misfit m_i in per cent. Numbers in their shortest exact form.
std::string FormatComparisonTable(const TMeasuredData& Measured, const TSurveyResponse& Calculated,
                                  const TMisfit& Misfit);

// The data whose computed ρa is not above 0, taken out of both Measured
// and Calculated (in the same order, one datum each): a configuration that
// measures next to nothing over the ground (a geometric factor of 1e8 m,
// say) leaves the sign of its tiny voltage to the computation's rounding,
// and a logarithm of it does not exist. Returns the file's lines of the
// data taken out (Measured.Lines; the datum's number from 1 where the file
// gives none), rising.
std::vector<int> DropNonPositiveResponses(TMeasuredData& Measured, TSurveyResponse& Calculated);

// "255 data (3 skipped): rrms 2.41 %, chi-square 0.812" with ", ip rms
// 0.35 %" when chargeabilities were compared and ", phase rms 0.42 mrad"
// when phases were: rrms, ip and phase rms with two
// decimals, χ² with three significant digits, huge totals as "1.7e62"
// (ReadableNumbers.h).
std::string MisfitSummary(const TMisfit& Misfit, const TSkippedData& Skipped);

} // namespace lp
