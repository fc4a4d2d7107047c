// The median depth of investigation of single configurations against the
// published values of the regular arrays.

#include "section/survey/DepthOfInvestigation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

// The median depths of investigation published for the regular arrays
// (a the spacing): Wenner 0.519 a; dipole-dipole 0.416, 0.697, 0.962 a for
// n = 1, 2, 3; Wenner-Schlumberger 0.925 a for n = 2.
TEST(DepthOfInvestigation, MedianDepthsOfTheRegularArraysAreTheKnownOnes)
{
    TSurvey survey;
    for (int i = 0; i < 12; ++i)
        survey.Electrodes.push_back({i * 10.0, 0.0});
    const auto depth = [&](TConfiguration c) { return MedianDepthOfInvestigation(survey, c) / 10.0; };
    EXPECT_NEAR(depth({0, 3, 1, 2}), 0.519, 0.003);  // Wenner, a = 10
    EXPECT_NEAR(depth({0, 6, 2, 4}) / 2, 0.519, 0.003); // Wenner, a = 20: scales with a
    EXPECT_NEAR(depth({0, 1, 2, 3}), 0.416, 0.003);
    EXPECT_NEAR(depth({0, 1, 3, 4}), 0.697, 0.003);
    EXPECT_NEAR(depth({0, 1, 4, 5}), 0.962, 0.003);
    EXPECT_NEAR(depth({0, 5, 2, 3}), 0.925, 0.005);
    // Reciprocity: current and potential electrodes swapped, the same depth.
    EXPECT_NEAR(depth({2, 3, 0, 1}), 0.416, 0.003);
    // A pole-pole of distance L: 1 - L / √(L² + 4 z²) = 1/2 at z = L √3 / 2.
    EXPECT_NEAR(depth({0, -1, 1, -1}), std::sqrt(3.0) / 2, 1e-6);
    // Electrodes that measure nothing over a homogeneous ground: depth 0.
    EXPECT_EQ(MedianDepthOfInvestigation(survey, {0, 2, 1, 1}), 0.0);
}

} // namespace
} // namespace lp
