#include "section/survey/Misfit.h"

#include "section/survey/DataCleaning.h"

#include "section/survey/ReadableNumbers.h"
#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lp {

namespace {

double DatumError(const TMeasuredData& Measured, size_t Datum, const TErrorModel& Model)
{
    if (!Measured.Errors.empty() && std::isfinite(Measured.Errors.at(Datum)))
        return Measured.Errors[Datum];
    double error = Model.RelativePercent / 100.0;
    const double voltage = Measured.Voltages.empty() ? std::nan("") : Measured.Voltages.at(Datum);
    if (Model.AbsoluteVoltage > 0.0 && std::isfinite(voltage))
        error += Model.AbsoluteVoltage / std::fabs(voltage);
    if (!(error > 0.0))
        throw EForwardError("Datum " + std::to_string(Datum + 1) + " has no error: the file gives neither an error "
                            "nor a voltage for the absolute voltage error. Set a relative error above 0.");
    return error;
}

void CheckErrorModel(const TErrorModel& Model)
{
    const double p = Model.RelativePercent, u = Model.AbsoluteVoltage;
    if (!(std::isfinite(p) && std::isfinite(u) && p >= 0.0 && u >= 0.0 && (p > 0.0 || u > 0.0)))
        throw EForwardError("The error model needs a relative error and an absolute voltage error of at least 0, "
                            "one of them above 0 (relative " + FormatExactReal(p) + " %, absolute " +
                            FormatExactReal(u) + " V).");
}

// Calculated − measured per datum (nan where nothing was measured), and the
// rms over the data compared; a response without the quantity counts as 0.
// Nothing when nothing was measured.
void CompareAbsolute(const std::vector<double>& Measured, const std::vector<double>& Calculated,
                     std::vector<double>& Differences, std::optional<double>& Rms, int& Compared)
{
    if (Measured.empty())
        return;
    double squares = 0.0;
    for (size_t d = 0; d < Measured.size(); ++d) {
        const double calculated = Calculated.empty() ? 0.0 : Calculated.at(d);
        const double difference = std::isfinite(Measured[d]) ? calculated - Measured[d]
                                                             : std::numeric_limits<double>::quiet_NaN();
        Differences.push_back(difference);
        if (std::isfinite(difference) && std::isfinite(difference * difference)) {
            squares += difference * difference;
            ++Compared;
        }
    }
    if (Compared > 0)
        Rms = std::sqrt(squares / Compared);
}

} // namespace

std::vector<double> DataErrors(const TMeasuredData& Measured, const TErrorModel& Errors)
{
    CheckErrorModel(Errors);
    std::vector<double> errors(Measured.Size());
    for (size_t i = 0; i < errors.size(); ++i)
        errors[i] = DatumError(Measured, i, Errors);
    return errors;
}

TMisfit ComputeMisfit(const TMeasuredData& Measured, const TSurveyResponse& Calculated, const TErrorModel& Errors)
{
    RequirePositiveResistivities(Measured);
    CheckErrorModel(Errors);
    const size_t count = Measured.Size();
    if (Calculated.Resistivities.size() != count || Calculated.GeometricFactors.size() != count ||
        (!Calculated.Chargeabilities.empty() && Calculated.Chargeabilities.size() != count) ||
        (!Calculated.Phases.empty() && Calculated.Phases.size() != count) ||
        (!Measured.Phases.empty() && Measured.Phases.size() != count))
        throw EForwardError("The response holds " + std::to_string(Calculated.Resistivities.size()) +
                            " data where the measured data hold " + std::to_string(count) + ".");
    TMisfit misfit;
    misfit.Data = static_cast<int>(count);
    misfit.Measured = Measured.ApparentResistivities(Calculated.GeometricFactors);
    double squares = 0.0, weighted = 0.0;
    for (size_t d = 0; d < count; ++d) {
        const double measured = misfit.Measured[d], calculated = Calculated.Resistivities[d];
        if (!(calculated > 0.0))
            throw EForwardError("Datum " + std::to_string(d + 1) + ": the computed apparent resistivity " +
                                FormatExactReal(calculated) + " is not above 0, so the data cannot be compared in "
                                "logarithms.");
        const double relative = (calculated - measured) / measured;
        const double error = DatumError(Measured, d, Errors);
        const double logarithmic = (std::log(measured) - std::log(calculated)) / error;
        if (!std::isfinite(relative * relative) || !std::isfinite(logarithmic * logarithmic))
            throw EForwardError("Datum " + std::to_string(d + 1) + " (measured " + FormatExactReal(measured) +
                                " ohm-m, computed " + FormatExactReal(calculated) + " ohm-m, error " +
                                FormatExactReal(100.0 * error) + " %) misfits beyond what can be counted.");
        misfit.Misfits.push_back(100.0 * relative);
        misfit.Errors.push_back(error);
        squares += relative * relative;
        weighted += logarithmic * logarithmic;
    }
    CompareAbsolute(Measured.Chargeabilities, Calculated.Chargeabilities, misfit.ChargeabilityDifferences,
                    misfit.ChargeabilityRms, misfit.ChargeabilityData);
    if (HasPhases(Measured))
        CompareAbsolute(Measured.Phases, Calculated.Phases, misfit.PhaseDifferences, misfit.PhaseRms,
                        misfit.PhaseData);
    if (!std::isfinite(squares) || !std::isfinite(weighted))
        throw EForwardError("The data misfit beyond what can be counted: their sum of squares exceeds a double.");
    if (count > 0) {
        misfit.Rrms = 100.0 * std::sqrt(squares / static_cast<double>(count));
        misfit.ChiSquare = weighted / static_cast<double>(count);
    }
    return misfit;
}

std::vector<int> DropNonPositiveResponses(TMeasuredData& Measured, TSurveyResponse& Calculated)
{
    const size_t count = Calculated.Resistivities.size();
    std::vector<bool> dropped(count, false);
    std::vector<int> lines;
    for (size_t d = 0; d < count; ++d)
        if (!(Calculated.Resistivities[d] > 0.0)) {
            dropped[d] = true;
            lines.push_back(d < Measured.Lines.size() ? Measured.Lines[d] : static_cast<int>(d) + 1);
        }
    if (lines.empty())
        return lines;
    if (Measured.Size() != count)
        throw EForwardError("The response holds " + std::to_string(count) + " data where the measured data hold " +
                            std::to_string(Measured.Size()) + ".");
    Measured = KeepData(Measured, dropped);
    const auto keep = [&](auto& Values) {
        if (Values.size() != count)
            return;
        size_t kept = 0;
        for (size_t d = 0; d < count; ++d)
            if (!dropped[d])
                Values[kept++] = Values[d];
        Values.resize(kept);
    };
    keep(Calculated.Survey.Configurations);
    keep(Calculated.Voltages);
    keep(Calculated.GeometricFactors);
    keep(Calculated.Resistivities);
    keep(Calculated.Chargeabilities);
    keep(Calculated.Phases);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string FormatComparisonTable(const TMeasuredData& Measured, const TSurveyResponse& Calculated,
                                  const TMisfit& Misfit)
{
    const TSurvey& survey = Calculated.Survey;
    const auto number = [](int electrode) { return std::to_string(electrode + 1); };
    const auto x = [&](int electrode) {
        return electrode < 0 ? std::string() : FormatExactReal(survey.Electrodes.at(static_cast<size_t>(electrode)).x);
    };
    const auto optional = [](const std::vector<double>& values, size_t d) {
        return d < values.size() && std::isfinite(values[d]) ? FormatExactReal(values[d]) : std::string();
    };
    std::string text = "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip,rhoa_measured,ip_measured,error,misfit\n";
    for (size_t d = 0; d < survey.Configurations.size(); ++d) {
        const TConfiguration& c = survey.Configurations[d];
        text += number(c.a) + "," + number(c.b) + "," + number(c.m) + "," + number(c.n) + "," + x(c.a) + "," +
                x(c.b) + "," + x(c.m) + "," + x(c.n) + "," + FormatExactReal(Calculated.GeometricFactors.at(d)) + "," +
                FormatExactReal(Calculated.Resistivities.at(d)) + "," + optional(Calculated.Chargeabilities, d) + "," +
                FormatExactReal(Misfit.Measured.at(d)) + "," + optional(Measured.Chargeabilities, d) + "," +
                FormatExactReal(100.0 * Misfit.Errors.at(d)) + "," + FormatExactReal(Misfit.Misfits.at(d)) + "\n";
    }
    return text;
}

std::string MisfitSummary(const TMisfit& Misfit, const TSkippedData& Skipped)
{
    std::string text = std::to_string(Misfit.Data) + " data (" + std::to_string(Skipped.Total()) +
                       " skipped): rrms " + ReadableFixed(Misfit.Rrms) + " %, chi-square " +
                       ReadableNumber(Misfit.ChiSquare);
    if (Misfit.ChargeabilityRms)
        text += ", ip rms " + ReadableFixed(*Misfit.ChargeabilityRms) + " %";
    if (Misfit.PhaseRms)
        text += ", phase rms " + ReadableFixed(*Misfit.PhaseRms) + " mrad";
    return text;
}

} // namespace lp
