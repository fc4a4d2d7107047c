#include "section/modelling/FittedRegions.h"

#include "section/editor/BodyParameters.h"
#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

const TPolygonParams& RegionParams(const TForwardModel& Ground, size_t Region, const AllSpolygon& Model)
{
    const TGeometryRegion& region = Ground.Geometry.Regions.at(Region);
    return Model[region.body][region.ring].params;
}

} // namespace

std::vector<TRegionFitSetting> SectionFitSettings(const TForwardModel& Ground, const AllSpolygon& Model)
{
    std::vector<TRegionFitSetting> settings(Ground.Regions.size());
    for (size_t r = 0; r < settings.size(); ++r) {
        const TPolygonParams& params = RegionParams(Ground, r, Model);
        settings[r].Free = !RegionFitFixed(params);
        settings[r].Lowest = RegionFitBound(params, psLowest);
        settings[r].Highest = RegionFitBound(params, psHighest);
    }
    return settings;
}

QString FitRegionName(const TForwardModel& Ground, size_t Region, const QString& HostName)
{
    return Region == 0 ? HostName : QString::fromStdString(Ground.Geometry.Regions.at(Region).name);
}

QString FittedResistivityText(double Resistivity)
{
    return QString::fromStdString(ReadableNumber(Resistivity, 6));
}

QString FittedPolarizabilityText(double Polarizability)
{
    return QString::fromStdString(ReadableNumber(Polarizability, 4));
}

QString ChiSquareText(double ChiSquare)
{
    return QString::fromStdString(ReadableNumber(ChiSquare));
}

QString RrmsText(double Rrms)
{
    return QString::fromStdString(ReadableFixed(Rrms));
}

QString UncertaintyFactorText(double Factor, const QString& Sign)
{
    if (!(Factor >= 1.0))
        return QStringLiteral("unknown");
    if (Factor > MaxShownUncertaintyFactor)
        return QStringLiteral("beyond %1 %2").arg(Sign, QString::number(MaxShownUncertaintyFactor, 'f', 0));
    // Two significant digits of F − 1, which is what the factor says: a
    // well-determined region's 1.0033 is no "1.00".
    const double excess = Factor - 1.0;
    const int decimals = excess > 0.0 && std::isfinite(excess)
                             ? std::clamp(1 - static_cast<int>(std::floor(std::log10(excess))), 2, 6)
                             : 6;
    return Sign + QLatin1Char(' ') + QString::number(Factor, 'f', decimals);
}

QString FittedUncertaintyText(const TFittedRegion& Region, const TRegionFitSetting& Setting, const QString& Sign)
{
    if (HeldAtBound(Region.Resistivity, Setting))
        return QStringLiteral("at its bound");
    return UncertaintyFactorText(Region.Factor, Sign);
}

bool WriteFittedValues(const TRegionFitResult& Fit, const TForwardModel& Ground, AllSpolygon& Model)
{
    // Every ring looked up before the first is written: all or nothing.
    std::vector<TPolygonParams*> rings;
    for (size_t r = 0; r < Fit.Regions.size(); ++r) {
        const TGeometryRegion& region = Ground.Geometry.Regions.at(r);
        rings.push_back(&Model[region.body][region.ring].params);
    }
    bool changed = false;
    const auto write = [&changed](ParamValue& Slot, double Value) {
        // A value that is no finite number never reaches the section.
        if (!std::isfinite(Value) || Slot == ParamValue(Value))
            return;
        Slot = Value;
        changed = true;
    };
    for (size_t r = 0; r < Fit.Regions.size(); ++r) {
        const TFittedRegion& region = Fit.Regions[r];
        if (region.State == TRegionFitState::Fitted)
            write((*rings[r])[psResistivity], region.Resistivity);
        if (region.PolarizabilityState == TRegionFitState::Fitted)
            write((*rings[r])[psPolarizability], region.Polarizability);
    }
    return changed;
}

} // namespace lp
