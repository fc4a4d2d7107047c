#include "section/survey/ElectrodeHoles.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The used electrodes on the line (a remote off it stands in no hole).
std::vector<int> LineElectrodes(const TSurvey& Survey)
{
    std::vector<int> used = UsedElectrodes(Survey);
    std::erase_if(used, [&](int e) { return Survey.Electrodes.at(static_cast<size_t>(e)).y != 0.0; });
    return used;
}

} // namespace

double HoleTolerance(const TSurvey& Survey)
{
    std::vector<TElectrode> buried;
    double low = INFINITY, high = -INFINITY;
    for (int e : LineElectrodes(Survey)) {
        const TElectrode& electrode = Survey.Electrodes.at(static_cast<size_t>(e));
        low = std::min(low, electrode.x);
        high = std::max(high, electrode.x);
        if (electrode.Buried())
            buried.push_back(electrode);
    }
    if (buried.empty())
        return 0.0;
    const double smallest = SmallestPlaneDistance(buried);
    const double floor = 1e-9 * std::max(1.0, high - low);
    return std::isfinite(smallest) ? std::max(HoleShare * smallest, floor) : floor;
}

std::vector<TElectrodeHole> ElectrodeHoles(const TSurvey& Survey)
{
    const double tolerance = HoleTolerance(Survey);
    if (!(tolerance > 0.0))
        return {};
    std::vector<int> order = LineElectrodes(Survey);
    const auto at = [&](int e) -> const TElectrode& { return Survey.Electrodes.at(static_cast<size_t>(e)); };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return at(a).x < at(b).x; });
    std::vector<TElectrodeHole> holes;
    for (size_t first = 0; first < order.size();) {
        size_t last = first + 1;
        while (last < order.size() && at(order[last]).x - at(order[last - 1]).x <= tolerance)
            ++last;
        std::vector<int> run(order.begin() + static_cast<std::ptrdiff_t>(first),
                             order.begin() + static_cast<std::ptrdiff_t>(last));
        first = last;
        // A lone electrode under water or a lake's bottom line is no hole.
        if (run.size() < 2 || std::none_of(run.begin(), run.end(), [&](int e) { return at(e).Buried(); }))
            continue;
        std::stable_sort(run.begin(), run.end(), [&](int a, int b) { return at(a).z > at(b).z; });
        double sum = 0.0;
        for (int e : run)
            sum += at(e).x;
        holes.push_back({sum / static_cast<double>(run.size()), std::move(run)});
    }
    return holes;
}

double HoleSpacing(const TSurvey& Survey, const std::vector<TElectrodeHole>& Holes)
{
    std::vector<double> gaps;
    for (const TElectrodeHole& hole : Holes)
        for (size_t i = 1; i < hole.Electrodes.size(); ++i) {
            const double gap = Survey.Electrodes.at(static_cast<size_t>(hole.Electrodes[i - 1])).z -
                               Survey.Electrodes.at(static_cast<size_t>(hole.Electrodes[i])).z;
            if (gap > 0.0)
                gaps.push_back(gap);
        }
    if (gaps.empty())
        return 0.0;
    std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
    return gaps[gaps.size() / 2];
}

} // namespace lp
