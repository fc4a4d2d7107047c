#include "section/survey/DataFile.h"

#include "section/survey/DataFileReading_p.h"

#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

using datafile::MillivoltsPerVoltPerPercent;

std::string ElectrodeNumber(int electrode)
{
    return std::to_string(electrode + 1); // an absent electrode (-1) is 0
}

} // namespace

std::vector<int> UnifiedElectrodeNumbers(const TSurvey& Survey)
{
    std::vector<int> uses(Survey.Electrodes.size(), 0);
    for (const TConfiguration& c : Survey.Configurations)
        for (int e : {c.a, c.b, c.m, c.n})
            if (e >= 0)
                ++uses.at(static_cast<size_t>(e));
    std::vector<int> numbers;
    int written = 0;
    for (size_t e = 0; e < Survey.Electrodes.size(); ++e) {
        const TElectrode& electrode = Survey.Electrodes[e];
        if (electrode.y == 0.0) {
            numbers.push_back(written++);
            continue;
        }
        if (uses[e] > 0)
            throw EDataFileError(
                "Electrode " + std::to_string(e + 1) + " (x = " + FormatExactReal(electrode.x) + ") stands " +
                FormatExactReal(std::fabs(electrode.y)) + " m off the line, and " + std::to_string(uses[e]) +
                (uses[e] == 1 ? " datum uses" : " data use") +
                " it: the unified data format has no place for an offset across the line (pyGIMLi reads a line's y "
                "as its elevation), so these data cannot be written in it. To save the others, remove the data that "
                "use this electrode; the data file read keeps them all.");
        numbers.push_back(-1);
    }
    return numbers;
}

std::string UnifiedElectrodeNumber(const std::vector<int>& Numbers, int Electrode)
{
    return std::to_string(Electrode < 0 ? 0 : Numbers.at(static_cast<size_t>(Electrode)) + 1);
}

std::string FormatUnifiedElectrodes(const std::vector<TElectrode>& Electrodes, const std::vector<int>& Numbers)
{
    const long count = std::count_if(Numbers.begin(), Numbers.end(), [](int number) { return number >= 0; });
    // Electrodes a file placed on a map go back on it: "x y z" read again
    // gives the same distances along the line, as long as some z is not 0
    // (else y would be read as the elevation).
    bool map = count > 0, elevations = false;
    for (size_t e = 0; e < Electrodes.size(); ++e)
        if (Numbers.at(e) >= 0)
            map = map && Electrodes[e].Map.has_value(), elevations = elevations || Electrodes[e].z != 0.0;
    map = map && elevations;
    std::string text = std::to_string(count) + (map ? "\n# x y z\n" : "\n# x z\n");
    for (size_t e = 0; e < Electrodes.size(); ++e)
        if (Numbers.at(e) >= 0)
            text += (map ? FormatExactReal(Electrodes[e].Map->x) + " " + FormatExactReal(Electrodes[e].Map->y)
                         : FormatExactReal(Electrodes[e].x)) +
                    " " + FormatExactReal(Electrodes[e].z) + "\n";
    return text;
}

std::string FormatUnifiedData(const TSurveyResponse& Result)
{
    const TSurvey& survey = Result.Survey;
    const std::vector<int> numbers = UnifiedElectrodeNumbers(survey);
    const bool chargeability = !Result.Chargeabilities.empty();
    const bool phases = !Result.Phases.empty();
    std::string text = "# Lithoprism forward response, array " + survey.Array + ": rhoa in ohm-m, k in m";
    text += chargeability ? ", ip in mV/V (10 mV/V = 1 %)" : "";
    text += phases ? ", phi the voltage's phase in mrad (negative when polarizable)\n" : "\n";
    text += FormatUnifiedElectrodes(survey.Electrodes, numbers);
    text += std::to_string(survey.Configurations.size()) + "\n# a b m n k rhoa";
    text += chargeability ? " ip" : "";
    text += phases ? " phi\n" : "\n";
    for (size_t d = 0; d < survey.Configurations.size(); ++d) {
        const TConfiguration& c = survey.Configurations[d];
        text += UnifiedElectrodeNumber(numbers, c.a) + " " + UnifiedElectrodeNumber(numbers, c.b) + " " +
                UnifiedElectrodeNumber(numbers, c.m) + " " + UnifiedElectrodeNumber(numbers, c.n) + " " +
                FormatExactReal(Result.GeometricFactors[d]) + " " + FormatExactReal(Result.Resistivities[d]);
        if (chargeability)
            text += " " + FormatExactReal(Result.Chargeabilities[d] * MillivoltsPerVoltPerPercent);
        if (phases)
            text += " " + FormatExactReal(Result.Phases[d]);
        text += "\n";
    }
    text += "0\n";
    return text;
}

std::string FormatDataTable(const TSurveyResponse& Result)
{
    const TSurvey& survey = Result.Survey;
    const bool phases = !Result.Phases.empty();
    std::string text = phases ? "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip_percent,phi_mrad\n"
                              : "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip_percent\n";
    const auto x = [&](int electrode) {
        return electrode < 0 ? std::string() : FormatExactReal(survey.Electrodes[static_cast<size_t>(electrode)].x);
    };
    for (size_t d = 0; d < survey.Configurations.size(); ++d) {
        const TConfiguration& c = survey.Configurations[d];
        text += ElectrodeNumber(c.a) + "," + ElectrodeNumber(c.b) + "," + ElectrodeNumber(c.m) + "," +
                ElectrodeNumber(c.n) + "," + x(c.a) + "," + x(c.b) + "," + x(c.m) + "," + x(c.n) + "," +
                FormatExactReal(Result.GeometricFactors[d]) + "," + FormatExactReal(Result.Resistivities[d]) + ",";
        if (!Result.Chargeabilities.empty())
            text += FormatExactReal(Result.Chargeabilities[d]);
        if (phases)
            text += "," + FormatExactReal(Result.Phases[d]);
        text += "\n";
    }
    return text;
}

// --- Reading ----------------------------------------------------------------------

TSurvey ParseUnifiedData(std::string_view Text)
{
    const datafile::TUnifiedTable table = datafile::ReadUnifiedTable(Text);
    TSurvey survey;
    survey.Array = SchemeArrayName;
    survey.Electrodes = table.Electrodes;
    survey.HasElevations = std::any_of(survey.Electrodes.begin(), survey.Electrodes.end(),
                                       [](const TElectrode& e) { return e.z != 0.0; });
    for (const datafile::TUnifiedRow& row : table.Rows) {
        const auto& e = row.Electrodes;
        survey.Configurations.push_back({e[0] - 1, e[1] - 1, e[2] - 1, e[3] - 1});
    }
    return survey;
}

} // namespace lp
