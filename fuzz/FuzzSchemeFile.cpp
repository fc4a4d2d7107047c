// The scheme reader of "lithoprism --forward --scheme FILE": a file in the
// unified data format read into electrodes and configurations. A refusal
// names its line and quotes little of the file, with nothing in it that
// steers a terminal; an accepted file gives a survey whose electrodes are
// finite and whose configurations name them, and which the data file
// writer writes and the reader reads back the same.

#include "fuzz/FuzzDataFile.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

namespace {

bool SoundSurvey(const lp::TSurvey& Survey)
{
    const int electrodes = static_cast<int>(Survey.Electrodes.size());
    const auto named = [&](int electrode) { return electrode >= -1 && electrode < electrodes; };
    return std::all_of(Survey.Electrodes.begin(), Survey.Electrodes.end(),
                       [](const lp::TElectrode& e) { return std::isfinite(e.x) && std::isfinite(e.z); }) &&
           std::all_of(Survey.Configurations.begin(), Survey.Configurations.end(), [&](const lp::TConfiguration& c) {
               return named(c.a) && named(c.b) && named(c.m) && named(c.n);
           });
}

bool SameSurvey(const lp::TSurvey& First, const lp::TSurvey& Second)
{
    return First.Configurations == Second.Configurations &&
           std::equal(First.Electrodes.begin(), First.Electrodes.end(), Second.Electrodes.begin(),
                      Second.Electrodes.end(), [](const lp::TElectrode& a, const lp::TElectrode& b) {
                          return a.x == b.x && a.z == b.z;
                      });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    const auto read = lp::fuzz::ReadOrRefusePlainly(text, lp::ParseUnifiedData);
    if (!read)
        return 0;
    const lp::TSurvey& survey = *read;
    lp::fuzz::Require(SoundSurvey(survey), "an accepted scheme names finite electrodes only");
    // Written as a data file (numbers of no meaning in k, rhoa and ip) and
    // read again.
    lp::TSurveyResponse result;
    result.Survey = survey;
    const size_t data = survey.Configurations.size();
    result.GeometricFactors.assign(data, 1.0);
    result.Resistivities.assign(data, 100.0);
    result.Chargeabilities.assign(data, 5.0);
    lp::fuzz::Require(SameSurvey(lp::ParseUnifiedData(lp::FormatUnifiedData(result)), survey),
                      "the survey written as a data file reads back the same");
    return 0;
}
