#include "section/modelling/SectionInversionInput.h"

#include "section/editor/BodyParameters.h"
#include "section/survey/ReadableNumbers.h"

#include <QtCore/QFileInfo>

#include <cmath>
#include <string>

namespace lp {

TWellLog WellLogOf(const carotagedata& Log)
{
    carotagedata raw = Log;
    raw.Series = nullptr;
    raw.PictureTool = nullptr;
    // A normalised log was shifted to its group's level: its own values come from its file.
    if ((Log.Normalisation == 1 || Log.Normalisation == 2) && !ReadCarotageData(raw, nullptr))
        throw EForwardError("The log \"" + Log.Path.toStdString() + "\" can no longer be read.");
    TWellLog log;
    log.Name = (Log.Caption.trimmed().isEmpty() ? QFileInfo(Log.Path).fileName() : Log.Caption.trimmed()).toStdString();
    log.X = Log.Position;
    // A resistivity of 0 or below, or no number, where the file has a
    // sample: a column or a file mixed up, refused by its line (the reader
    // drops such samples for drawing; an inversion would take the log
    // without them as if it were sound).
    const auto refuse = [&](int Line, double Value) {
        throw EForwardError("The log \"" + log.Name + "\" (" + QFileInfo(Log.Path).fileName().toStdString() +
                            ", line " + std::to_string(Line) + ") holds " +
                            (std::isfinite(Value) ? "a resistivity of " + ReadableNumber(Value) : "no number") +
                            ": a resistivity log holds numbers above 0 (ohm-m). Correct or remove that sample.");
    };
    if (!raw.UnusableValues.empty())
        refuse(raw.UnusableValues.front().first, raw.UnusableValues.front().second);
    for (int i = 0; i < raw.Points.Length(); ++i) {
        const complexM& sample = raw.Points[i];
        const double rho = raw.Logarithmic ? std::exp(sample.im) : sample.im;
        if (!(std::isfinite(rho) && rho > 0.0))
            refuse(static_cast<size_t>(i) < raw.Lines.size() ? raw.Lines[static_cast<size_t>(i)] : i + 1, rho);
        log.Elevations.push_back(-sample.re);
        log.Resistivities.push_back(rho);
    }
    return log;
}

bool SectionHasWater(const AllSpolygon& Model)
{
    for (int body = 0; body < Model.Length(); ++body)
        for (int ring = 0; ring < Model[body].Length(); ++ring)
            if (RegionIsWater(Model[body][ring].params))
                return true;
    return false;
}

std::vector<std::optional<double>> WaterRegions(const TForwardModel& Section, const AllSpolygon& Model)
{
    std::vector<std::optional<double>> held(Section.Regions.size());
    for (size_t r = 0; r < held.size(); ++r) {
        const TGeometryRegion& region = Section.Geometry.Regions.at(r);
        const TPolygonParams& params = Model[region.body][region.ring].params;
        if (!RegionIsWater(params))
            continue;
        // A value no water has would hold the cells at nothing physical
        // and leave the ground under them to explain the data: refused,
        // naming the body.
        std::string fault = WaterResistivityFault(params);
        const double value = MeasuredWaterResistivity(params).value_or(Section.Regions[r].resistivity);
        if (fault.empty() && !(value >= MinWaterResistivity && value <= MaxWaterResistivity))
            fault = "its resistivity " + ReadableNumber(value, 6) +
                    " ohm-m, held as the water's, is not allowed: it must be a number from 1e-12 to 1e12 ohm-m";
        if (!fault.empty())
            throw EForwardError(ForwardRegionLabel(Section.Geometry, static_cast<int>(r)) + " is water: " + fault +
                                ". Type the measured water's resistivity in the table of regions.");
        held[r] = value;
    }
    return held;
}

} // namespace lp
