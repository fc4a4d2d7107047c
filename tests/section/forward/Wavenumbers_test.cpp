// The wavenumber quadrature on its own: the sum against 1/r over every
// electrode distance of the arrays, and the Bessel ratio of the mixed
// boundary condition.

#include "section/forward/Wavenumbers.h"

#include "section/forward/ForwardResponse.h"
#include "section/forward/ForwardSolver.h"
#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace lp::test {
namespace {

// Every distance between a current and a potential electrode of the survey.
std::set<double> CurrentToPotentialDistances(const TSurvey& survey)
{
    std::set<double> distances;
    for (const TConfiguration& c : survey.Configurations)
        for (int current : {c.a, c.b})
            for (int potential : {c.m, c.n})
                if (current >= 0 && potential >= 0)
                    distances.insert(std::fabs(survey.Electrodes[size_t(current)].x - survey.Electrodes[size_t(potential)].x));
    return distances;
}

TEST(Wavenumbers, TheSumGivesOneOverRForEveryElectrodeDistanceOfTheArrays)
{
    for (TArrayKind kind : {TArrayKind::DipoleDipole, TArrayKind::Wenner, TArrayKind::Schlumberger})
        for (int electrodes : {24, 48, 96}) {
            TArrayLayout layout;
            layout.Kind = kind;
            layout.Electrodes = electrodes;
            layout.Levels = electrodes / 4;
            const TSurvey survey = MakeArraySurvey(layout, 0.0, 5.0 * (electrodes + 1));
            double smallest = 0.0, largest = 0.0;
            SurveyDistances(survey, smallest, largest);
            const TWavenumbers rule = ChooseWavenumbers(smallest, largest);
            double worst = 0.0, at = 0.0;
            for (double r : CurrentToPotentialDistances(survey)) {
                const double error = std::fabs(r * PointSourceSum(rule, r) - 1.0);
                if (error > worst) {
                    worst = error;
                    at = r;
                }
            }
            EXPECT_LE(worst, 1e-3) << ArrayKindName(kind) << " " << electrodes << ": worst relative error " << worst
                                   << " at r = " << at;
            EXPECT_LE(rule.k.size(), 16u);
            std::printf("[ quadrature %s %d electrodes ] %zu wavenumbers, worst relative error %.2e at r = %g\n",
                        ArrayKindName(kind).c_str(), electrodes, rule.k.size(), worst, at);
        }
}

TEST(Wavenumbers, TheFitHoldsBetweenTheSampledDistancesAndThreeTimesBeyondTheLargest)
{
    const TWavenumbers rule = ChooseWavenumbers(2.0, 300.0);
    EXPECT_TRUE(std::is_sorted(rule.k.begin(), rule.k.end()));
    // Distances off the sampling grid, up to the fitted range's end.
    for (double r = 2.0; r <= 900.0; r *= 1.0173)
        EXPECT_LE(std::fabs(r * PointSourceSum(rule, r) - 1.0), 1.5e-4) << "r = " << r;
    EXPECT_LE(PointSourceError(rule, 2.0, 900.0), 1e-4);
}

// Guards a tolerance of 1e-6, met at the sampled distances with weights up
// to ±7.6e4 that multiplied the finite elements' error into data 300 % off.
TEST(Wavenumbers, AToleranceFinerThanTheRuleMeetsIsRefusedByName)
{
    try {
        ChooseWavenumbers(1.0, 100.0, 1e-6);
        ADD_FAILURE() << "1e-6 accepted";
    } catch (const EForwardError& error) {
        EXPECT_NE(error.Message().find("tolerance of 1e-06"), std::string::npos) << error.Message();
        EXPECT_NE(error.Message().find("smallest allowed is 6e-05"), std::string::npos) << error.Message();
    }
    // The forward computation refuses it before meshing.
    TForwardOptions options;
    options.QuadratureTolerance = 1e-6;
    const TForwardSection section(200.0, 100.0, 100.0);
    TArrayLayout layout;
    layout.Electrodes = 12;
    layout.Levels = 3;
    EXPECT_THROW(ComputeForwardResponse(section.Ground(), MakeArraySurvey(layout, 0.0, 200.0), options), EForwardError);
}

// Every rule given out, at any tolerance asked, meets it between the checked
// distances too and does not magnify the finite elements' error.
TEST(Wavenumbers, EveryRuleGivenOutMeetsItsToleranceWithBoundedWeights)
{
    for (double ratio : {1.0, 2.2, 5.3, 17.0, 120.0, 2000.0, 30000.0})
        for (double tolerance : {1e-3, 1e-4, MinimumQuadratureTolerance, 3e-5, 1e-5, 1e-6}) {
            TWavenumbers rule;
            try {
                rule = ChooseWavenumbers(1.0, ratio, tolerance);
            } catch (const EForwardError&) {
                EXPECT_LT(tolerance, MinimumQuadratureTolerance) << "ratio " << ratio << ": refused " << tolerance;
                continue;
            }
            const double fit = WavenumberRangeFactor * ratio;
            EXPECT_LE(ErrorGain(rule, 1.0, fit), 2.0) << "ratio " << ratio << ", tolerance " << tolerance;
            // Off the checked distances: a denser spread, shifted.
            double worst = 0.0;
            for (double r = 1.0 * 1.0007; r < fit; r *= 1.0031)
                worst = std::max(worst, std::fabs(r * PointSourceSum(rule, r) - 1.0));
            EXPECT_LE(worst, 1.01 * tolerance) << "ratio " << ratio << ", tolerance " << tolerance;
        }
}

TEST(Wavenumbers, AToleranceNoCountReachesIsRefused)
{
    EXPECT_THROW(ChooseWavenumbers(1.0, 100.0, 1e-12), EForwardError);
    EXPECT_THROW(ChooseWavenumbers(0.0, 100.0), EForwardError);
    EXPECT_THROW(ChooseWavenumbers(10.0, 1.0), EForwardError);
}

// Pairs much nearer along the line than across it (a remote beside the
// middle of the line, 5 m along from its nearest electrodes) found no rule
// of up to 40 log-spaced wavenumbers. The rule of positive weights keeps
// the line's 1/r within the tolerance with a gain of 1, and gives
// 1 / √(r² + Δy²) from the nearest distance out to the fitted range.
TEST(Wavenumbers, PairsMuchNearerAlongTheLineThanAcrossItGetARuleOfPositiveWeights)
{
    const double smallest = 10.0, largest = 240.0, reach = 3000.0, tolerance = 1e-4;
    const double fit = FittedRange(largest, reach);
    for (const std::vector<TLineOffset>& offsets :
         {std::vector<TLineOffset>{{100.0, 5.0}}, std::vector<TLineOffset>{{20.0, 5.0}},
          std::vector<TLineOffset>{{1000.0, 1.0}, {2.0, 4.0}}}) {
        const TWavenumbers rule = ChooseWavenumbers(smallest, largest, tolerance, reach, offsets);
        for (double w : rule.w)
            EXPECT_GT(w, 0.0);
        EXPECT_LE(PointSourceError(rule, smallest, fit), tolerance);
        EXPECT_LE(ErrorGain(rule, smallest, fit), 1.0 + tolerance);
        double worst = 0.0;
        for (const TLineOffset& offset : offsets)
            for (double r = offset.Nearest * 1.0007; r < fit; r *= 1.0031)
                worst = std::max(worst, std::fabs(std::hypot(r, offset.Across) * OffsetSourceSum(rule, r, offset.Across) - 1.0));
        EXPECT_LE(worst, 10.0 * tolerance * 1.01) << offsets.front().Across << " m across";
        EXPECT_LE(rule.k.size(), 60u);
        std::printf("[ quadrature, %g m across and %g m along first ] %zu wavenumbers, worst relative error %.2e\n",
                    offsets.front().Across, offsets.front().Nearest, rule.k.size(), worst);
    }
}

TEST(Wavenumbers, TheMixedConditionsBesselRatioIsFiniteEverywhere)
{
    for (double x : {1e-6, 0.01, 0.5, 3.0, 20.0, 49.9})
        EXPECT_NEAR(BesselK1OverK0(x), std::cyl_bessel_k(1.0, x) / std::cyl_bessel_k(0.0, x), 1e-9 * BesselK1OverK0(x))
            << x;
    // Beyond the switch to the asymptotic series, and where K0 and K1 underflow.
    EXPECT_NEAR(BesselK1OverK0(50.0 + 1e-9), std::cyl_bessel_k(1.0, 50.0) / std::cyl_bessel_k(0.0, 50.0), 1e-6);
    EXPECT_NEAR(BesselK1OverK0(1e4), 1.0, 1e-3);
    EXPECT_TRUE(std::isfinite(BesselK1OverK0(1e6)));
}

} // namespace
} // namespace lp::test
