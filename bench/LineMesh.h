#pragma once
// The default parameter mesh under a flat line of electrodes, padded by
// two spacings on each side, for the benchmarks of the inversion.

#include "section/inversion/InversionMesh.h"
#include "section/modelling/ForwardPseudoSection.h"

#include <algorithm>
#include <vector>

namespace lp {

inline TInversionMesh LineMesh(const TSurvey& Survey, double Spacing)
{
    double deepest = 0.0;
    std::vector<double> x;
    for (const TConfiguration& c : Survey.Configurations)
        deepest = std::max(deepest, MedianDepthOfInvestigation(Survey, c));
    for (const TElectrode& e : Survey.Electrodes)
        x.push_back(e.x);
    const double left = x.front() - 2 * Spacing, right = x.back() + 2 * Spacing;
    return DefaultInversionMesh(x, left, right, {{left, 0.0}, {right, 0.0}}, deepest);
}

} // namespace lp
