#include "section/inversion/TimeLapseReport.h"

#include "section/model/ModelGeometryText.h"
#include "section/survey/ModellingError.h"

#include <cmath>

namespace lp {

TTimeLapseStep FinishedStep(const TSurveyInversion& Baseline, const TSurveyInversion& Inversion)
{
    if (Baseline.Resistivities.size() != Inversion.Resistivities.size())
        throw EForwardError("The survey's image does not hold the baseline's cells.");
    TTimeLapseStep step;
    step.Inversion = Inversion;
    step.ChangePercent = ChangePercent(Baseline.Resistivities, Inversion.Resistivities);
    step.ChangeChiSquare = Inversion.Steps.empty() ? 0.0 : Inversion.Steps.back().ChiSquare;
    step.ChangedShare = ChangedShare(step.ChangePercent, Inversion.Coverage);
    return step;
}

std::string FormatStepTable(const TInversionMesh& Mesh, const TTimeLapseStep& Step)
{
    std::string table = FormatChangeTable(Mesh, Step);
    const std::vector<double>& deviation = Step.ChangeUncertainty;
    if (deviation.empty())
        return table;
    if (deviation.size() != static_cast<size_t>(Mesh.Cells()))
        throw EForwardError("The change's uncertainty does not match the parameter mesh: nothing was written.");
    for (double sd : deviation)
        if (!std::isfinite(sd) || sd < 0.0)
            throw EForwardError("The change's uncertainty holds a value that is not a finite number of 0 or more: "
                                "nothing was written.");
    // The table's rows are the header, then the cells in mesh order.
    std::string text;
    text.reserve(table.size() + 24 * deviation.size());
    size_t row = 0;
    for (size_t start = 0; start < table.size(); ++row) {
        size_t end = table.find('\n', start);
        if (end == std::string::npos)
            end = table.size();
        text.append(table, start, end - start);
        text += row == 0 ? ",change_sd_percent" : "," + FormatExactReal(deviation.at(row - 1));
        text += '\n';
        start = end + 1;
    }
    return text;
}

} // namespace lp
