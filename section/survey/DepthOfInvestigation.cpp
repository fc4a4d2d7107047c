#include "section/survey/DepthOfInvestigation.h"

#include <cmath>

namespace lp {

namespace {

struct TPolePair {
    double distance = 0.0; // horizontal
    double sign = 0.0;
};

// The four pole-pole terms of a configuration (fewer with a pole or
// electrodes at one x).
std::vector<TPolePair> PolePairs(const TSurvey& survey, const TConfiguration& c)
{
    std::vector<TPolePair> pairs;
    const auto add = [&](int current, int potential, double sign) {
        if (current < 0 || potential < 0)
            return;
        const double distance = std::fabs(survey.Electrodes.at(static_cast<size_t>(current)).x -
                                          survey.Electrodes.at(static_cast<size_t>(potential)).x);
        if (distance > 0.0)
            pairs.push_back({distance, sign});
    };
    add(c.a, c.m, 1.0);
    add(c.a, c.n, -1.0);
    add(c.b, c.m, -1.0);
    add(c.b, c.n, 1.0);
    return pairs;
}

// The share of the sensitivity above depth z.
double ShareAbove(const std::vector<TPolePair>& pairs, double whole, double z)
{
    double below = 0.0;
    for (const TPolePair& pair : pairs)
        below += pair.sign / std::sqrt(pair.distance * pair.distance + 4.0 * z * z);
    return 1.0 - below / whole;
}

} // namespace

double MedianDepthOfInvestigation(const TSurvey& Survey, const TConfiguration& Configuration)
{
    const std::vector<TPolePair> pairs = PolePairs(Survey, Configuration);
    double whole = 0.0, largest = 0.0, scale = 0.0;
    for (const TPolePair& pair : pairs) {
        whole += pair.sign / pair.distance;
        scale += 1.0 / pair.distance;
        largest = std::max(largest, pair.distance);
    }
    if (pairs.empty() || std::fabs(whole) <= 1e-9 * scale)
        return 0.0;
    // The share grows from 0 at the surface to 1 far down; bisect for 1/2.
    double low = 0.0, high = largest;
    while (ShareAbove(pairs, whole, high) < 0.5 && high < 1e6 * largest)
        high *= 2.0;
    for (int step = 0; step < 60; ++step) {
        const double middle = (low + high) / 2.0;
        (ShareAbove(pairs, whole, middle) < 0.5 ? low : high) = middle;
    }
    return (low + high) / 2.0;
}

} // namespace lp
