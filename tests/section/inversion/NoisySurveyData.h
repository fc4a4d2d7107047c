#pragma once
// Synthetic measured data for the inversion tests: a survey's apparent
// resistivities over a ground by the forward computation, with seeded
// log-normal noise.

#include "section/forward/ForwardResponse.h"
#include "section/survey/MeasuredData.h"

#include <cmath>
#include <limits>
#include <random>

namespace lp::test {

// Each ρa of Survey over Ground times e^(Noise N(0, 1)), seeded. The
// geometric factors: the flat ground's with FlatFactors, else none given
// (nan: the forward computation's own, over relief).
inline TMeasuredData NoisySurveyData(const TSurvey& Survey, const TForwardModel& Ground, unsigned Seed, double Noise,
                                     bool FlatFactors)
{
    const TForwardResult clean = ComputeForwardResponse(Ground, Survey);
    std::mt19937 random(Seed);
    std::normal_distribution<double> gauss(0.0, Noise);
    TMeasuredData data;
    data.Electrodes = Survey.Electrodes;
    data.Configurations = Survey.Configurations;
    for (size_t i = 0; i < Survey.Configurations.size(); ++i) {
        data.Resistivities.push_back(clean.Resistivities[i] * std::exp(gauss(random)));
        data.GeometricFactors.push_back(FlatFactors ? FlatGeometricFactor(Survey, Survey.Configurations[i])
                                                    : std::numeric_limits<double>::quiet_NaN());
    }
    return data;
}

} // namespace lp::test
