#pragma once
// What the command line's --fit and the window's Fit regions share about a
// fit of the drawn regions: the regions' Fit, Lowest and Highest as the
// section keeps them, the regions' names, the numbers as both show them,
// and the fitted values written into a model.

#include "section/inversion/RegionFit.h"
#include "section/model/Polygons.h"

#include <QtCore/QString>

#include <vector>

namespace lp {

// Free or fixed and the bounds of every region of Ground (one per region),
// read from the rings of Model that Ground was prepared from.
std::vector<TRegionFitSetting> SectionFitSettings(const TForwardModel& Ground, const AllSpolygon& Model);

// A region's name: the ring's label, else "Body B ring R" as the model's
// geometry names it; the host medium (region 0) is HostName.
QString FitRegionName(const TForwardModel& Ground, size_t Region, const QString& HostName);

// A resistivity (ohm-m) and a polarizability (per cent) as a fit shows
// them, and an uncertainty factor with two significant digits of F − 1
// ("x/÷ 1.25", "x/÷ 1.0033" with Sign "x/÷"). Huge and tiny numbers with a
// short power of ten (ReadableNumbers.h).
QString FittedResistivityText(double Resistivity);
QString FittedPolarizabilityText(double Polarizability);
// A factor that is no finite number of 1 or above reads "unknown"; one
// beyond MaxShownUncertaintyFactor reads "beyond x/÷ 1000": a factor of
// 1e41 (a region whose column of J has faded) says no more than that.
QString UncertaintyFactorText(double Factor, const QString& Sign);
inline constexpr double MaxShownUncertaintyFactor = 1000.0;

// A region held at a bound (HeldAtBound) reads "at its bound": there the
// fit's factor is no uncertainty (its steps stop at the bound, and the
// curvature along the bound says nothing of how far the data would move
// it: factors of 1e41 came out).

// The uncertainty column of a fitted region: "at its bound" where the fit
// holds it there, else its factor (UncertaintyFactorText).
QString FittedUncertaintyText(const TFittedRegion& Region, const TRegionFitSetting& Setting, const QString& Sign);
// χ² (three significant digits) and rrms in per cent (two decimals) as a
// fit's iterations and summary show them.
QString ChiSquareText(double ChiSquare);
QString RrmsText(double Rrms);

// Writes the fitted resistivities and polarizabilities of Fit into the
// rings of Model that Ground's regions came from (fixed and undetermined
// regions as they are); true when a value changed. A ring Model no longer
// has raises ERangeError before anything is written.
bool WriteFittedValues(const TRegionFitResult& Fit, const TForwardModel& Ground, AllSpolygon& Model);

} // namespace lp
