#include "section/survey/DataFile.h"

#include "section/survey/DataFileReading_p.h"

#include "section/model/ModelGeometryText.h"

#include <cmath>

namespace lp {

namespace {

using datafile::MillivoltsPerVoltPerPercent;

std::string ElectrodeNumber(int electrode)
{
    return std::to_string(electrode + 1); // an absent electrode (-1) is 0
}

} // namespace

void RequireElectrodesOnLine(const std::vector<TElectrode>& Electrodes)
{
    for (size_t e = 0; e < Electrodes.size(); ++e)
        if (Electrodes[e].y != 0.0)
            throw EDataFileError("Electrode " + std::to_string(e + 1) + " (x = " + FormatExactReal(Electrodes[e].x) +
                                 ") stands " + FormatExactReal(std::fabs(Electrodes[e].y)) +
                                 " m off the line: the unified data format has no place for an offset across the "
                                 "line (pyGIMLi reads a line's y as its elevation), so these data cannot be written "
                                 "in it.");
}

std::string FormatUnifiedData(const TSurveyResponse& Result)
{
    const TSurvey& survey = Result.Survey;
    RequireElectrodesOnLine(survey.Electrodes);
    const bool chargeability = !Result.Chargeabilities.empty();
    std::string text = "# Lithoprism forward response, array " + survey.Array + ": rhoa in ohm-m, k in m";
    text += chargeability ? ", ip in mV/V (10 mV/V = 1 %)\n" : "\n";
    text += std::to_string(survey.Electrodes.size()) + "\n# x z\n";
    for (const TElectrode& electrode : survey.Electrodes)
        text += FormatExactReal(electrode.x) + " " + FormatExactReal(electrode.z) + "\n";
    text += std::to_string(survey.Configurations.size()) + "\n# a b m n k rhoa";
    text += chargeability ? " ip\n" : "\n";
    for (size_t d = 0; d < survey.Configurations.size(); ++d) {
        const TConfiguration& c = survey.Configurations[d];
        text += ElectrodeNumber(c.a) + " " + ElectrodeNumber(c.b) + " " + ElectrodeNumber(c.m) + " " +
                ElectrodeNumber(c.n) + " " + FormatExactReal(Result.GeometricFactors[d]) + " " + FormatExactReal(Result.Resistivities[d]);
        if (chargeability)
            text += " " + FormatExactReal(Result.Chargeabilities[d] * MillivoltsPerVoltPerPercent);
        text += "\n";
    }
    text += "0\n";
    return text;
}

std::string FormatDataTable(const TSurveyResponse& Result)
{
    const TSurvey& survey = Result.Survey;
    std::string text = "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip_percent\n";
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
    for (const datafile::TUnifiedRow& row : table.Rows) {
        const auto& e = row.Electrodes;
        survey.Configurations.push_back({e[0] - 1, e[1] - 1, e[2] - 1, e[3] - 1});
    }
    return survey;
}

} // namespace lp
