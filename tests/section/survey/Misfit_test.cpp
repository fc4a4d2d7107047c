// The misfit measures against a hand computation, the error model, the
// refusals, and two synthetic checks: data of the analytic two-layer
// solution against a section drawn with the same layers, and a computed
// response perturbed by known factors.

#include "section/survey/Misfit.h"
#include "section/survey/MeasuredData.h"
#include "section/inversion/RegionFit.h"
#include "section/model/ModelGeometryText.h"

#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace lp::test {
namespace {

constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

TEST(Misfit, MeasuresFollowAHandComputation)
{
    TMeasuredData measured;
    measured.Electrodes = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    measured.Configurations = {{0, 1, 2, 3}, {0, -1, 1, -1}, {0, 3, 1, 2}};
    measured.Resistivities = {100.0, 200.0, 50.0};
    measured.Errors = {0.05, NoValue, NoValue}; // the first from the file, the others from the model
    measured.Chargeabilities = {1.0, NoValue, 2.0};
    measured.Voltages = {0.5, 10.0, -10.0}; // ΔU in volts (a sign is the electrodes' order)
    measured.Skipped.Invalid = 2;
    TForwardResult calculated;
    calculated.Resistivities = {110.0, 180.0, 50.0};
    calculated.GeometricFactors = {-7.0, 20.0, 5.0};
    calculated.Chargeabilities = {1.5, 3.0, 1.0};
    const TMisfit misfit = ComputeMisfit(measured, calculated, {3.0, 0.01});
    ASSERT_EQ(misfit.Misfits.size(), 3u);
    EXPECT_NEAR(misfit.Misfits[0], 10.0, 1e-12);
    EXPECT_NEAR(misfit.Misfits[1], -10.0, 1e-12);
    EXPECT_EQ(misfit.Misfits[2], 0.0);
    // ε: the file's 5 %; 3 % + 0.01 V / 10 V for the others.
    ASSERT_EQ(misfit.Errors.size(), 3u);
    EXPECT_EQ(misfit.Errors[0], 0.05);
    EXPECT_DOUBLE_EQ(misfit.Errors[1], 0.031);
    EXPECT_DOUBLE_EQ(misfit.Errors[2], 0.031);
    // By hand: rrms = 100 √((0.1² + 0.1² + 0)/3); χ² = ((ln(100/110)/0.05)² +
    // (ln(200/180)/0.031)² + 0)/3; ip rms = √((0.5² + 1²)/2).
    EXPECT_NEAR(misfit.Rrms, 8.16496580927726, 1e-12);
    EXPECT_NEAR(misfit.ChiSquare, 5.0616508968354035, 1e-12);
    ASSERT_TRUE(misfit.ChargeabilityRms.has_value());
    EXPECT_NEAR(*misfit.ChargeabilityRms, 0.7905694150420949, 1e-14);
    EXPECT_EQ(misfit.ChargeabilityData, 2);
    EXPECT_TRUE(std::isnan(misfit.ChargeabilityDifferences[1]));
    EXPECT_EQ(MisfitSummary(misfit, measured.Skipped), "3 data (2 skipped): rrms 8.16 %, chi-square 5.06, ip rms 0.79 %");
    // A section without polarizability responds with ηa = 0; data without
    // chargeability have no ip rms.
    calculated.Chargeabilities.clear();
    EXPECT_NEAR(*ComputeMisfit(measured, calculated).ChargeabilityRms, std::sqrt((1.0 + 4.0) / 2.0), 1e-14);
    measured.Chargeabilities.clear();
    const TMisfit plain = ComputeMisfit(measured, calculated);
    EXPECT_FALSE(plain.ChargeabilityRms.has_value());
    EXPECT_EQ(MisfitSummary(plain, {}), "3 data (0 skipped): rrms 8.16 %, chi-square 5.32");
}

// Phases compared as chargeabilities are, in mrad: by hand, φa,calc − φa,meas
// = (−6 + 5, −4 + 8) over the two data with a measured phase, rms √((1 + 16)/2).
TEST(Misfit, PhasesAreComparedInMrad)
{
    TMeasuredData measured;
    measured.Electrodes = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    measured.Configurations = {{0, 1, 2, 3}, {0, -1, 1, -1}, {0, 3, 1, 2}};
    measured.Resistivities = {100.0, 200.0, 50.0};
    measured.Phases = {-5.0, NoValue, -8.0};
    TForwardResult calculated;
    calculated.Resistivities = {100.0, 200.0, 50.0};
    calculated.GeometricFactors = {1.0, 1.0, 1.0};
    calculated.Phases = {-6.0, -3.0, -4.0};
    const TMisfit misfit = ComputeMisfit(measured, calculated);
    ASSERT_EQ(misfit.PhaseDifferences.size(), 3u);
    EXPECT_EQ(misfit.PhaseDifferences[0], -1.0);
    EXPECT_TRUE(std::isnan(misfit.PhaseDifferences[1]));
    EXPECT_EQ(misfit.PhaseDifferences[2], 4.0);
    EXPECT_EQ(misfit.PhaseData, 2);
    ASSERT_TRUE(misfit.PhaseRms.has_value());
    EXPECT_NEAR(*misfit.PhaseRms, std::sqrt(17.0 / 2.0), 1e-14);
    EXPECT_FALSE(misfit.ChargeabilityRms.has_value());
    EXPECT_EQ(MisfitSummary(misfit, {}), "3 data (0 skipped): rrms 0.00 %, chi-square 0, phase rms 2.92 mrad");
    // Bodies without a phase respond with φa = 0.
    calculated.Phases.clear();
    EXPECT_NEAR(*ComputeMisfit(measured, calculated).PhaseRms, std::sqrt((25.0 + 64.0) / 2.0), 1e-14);
    // A response of another length is refused; data without phases have no phase rms.
    calculated.Phases = {-1.0};
    EXPECT_THROW(ComputeMisfit(measured, calculated), EForwardError);
    calculated.Phases.clear();
    measured.Phases.clear();
    const TMisfit plain = ComputeMisfit(measured, calculated);
    EXPECT_FALSE(plain.PhaseRms.has_value());
    EXPECT_TRUE(plain.PhaseDifferences.empty());
}

TEST(Misfit, WhatCannotBeComparedIsRefused)
{
    TMeasuredData measured;
    measured.Electrodes = {{0, 0}, {1, 0}};
    measured.Configurations = {{0, -1, 1, -1}};
    measured.Resistivities = {100.0};
    TForwardResult calculated;
    calculated.Resistivities = {100.0, 90.0};
    calculated.GeometricFactors = {6.28, 6.28};
    EXPECT_THROW(ComputeMisfit(measured, calculated), EForwardError);
    calculated.Resistivities = {-1.0};
    calculated.GeometricFactors = {6.28};
    try {
        ComputeMisfit(measured, calculated);
        ADD_FAILURE() << "not refused";
    } catch (const EForwardError& error) {
        EXPECT_EQ(error.Message(), "Datum 1: the computed apparent resistivity -1 is not above 0, so the data cannot "
                                   "be compared in logarithms.");
    }
    calculated.Resistivities = {100.0};
    for (const TErrorModel& model : {TErrorModel{0.0, 0.0}, TErrorModel{-1.0, 0.0}, TErrorModel{NoValue, 0.0},
                                     TErrorModel{3.0, std::numeric_limits<double>::infinity()}})
        EXPECT_THROW(ComputeMisfit(measured, calculated, model), EForwardError);
    // Without a relative error, a datum without a voltage has no error.
    try {
        ComputeMisfit(measured, calculated, {0.0, 0.5});
        ADD_FAILURE() << "not refused";
    } catch (const EForwardError& error) {
        EXPECT_TRUE(error.Message().starts_with("Datum 1 has no error")) << error.Message();
    }
    measured.Voltages = {-2.0};
    EXPECT_EQ(ComputeMisfit(measured, calculated, {0.0, 0.5}).Errors[0], 0.25);
    // A file's error so small that the datum's χ² term is beyond a double.
    measured.Errors = {1e-320};
    calculated.Resistivities = {90.0};
    EXPECT_THROW(ComputeMisfit(measured, calculated), EForwardError);
    // A measured ρa of 0 or below: remove it first.
    measured.Errors.clear();
    measured.Voltages.clear();
    measured.Lines = {7};
    for (double rho : {0.0, -100.0}) {
        measured.Resistivities = {rho};
        try {
            ComputeMisfit(measured, calculated);
            ADD_FAILURE() << "not refused";
        } catch (const EForwardError& error) {
            EXPECT_EQ(error.Message(), "1 datum has an apparent resistivity of 0 or below (on line 7): remove it first.");
        }
    }
}

// The absolute voltage error weighs the data whose file gives a voltage
// (u, or r and i), and no others; a file's own error wins.
TEST(Misfit, TheVoltageErrorCountsWhereTheFileGivesVoltages)
{
    const std::string electrodes = "4\n# x z\n0 0\n1 0\n2 0\n3 0\n";
    const auto errors = [](const std::string& Text) {
        const TMeasuredData measured = ReadUnifiedMeasuredData(Text);
        TForwardResult calculated;
        calculated.Resistivities = measured.Resistivities;
        calculated.GeometricFactors = measured.GeometricFactors;
        return ComputeMisfit(measured, calculated, {2.0, 0.001}).Errors;
    };
    // ΔU -20 mV (k is negative for A B M N in a row): 2 % + 1 mV / 20 mV; the second datum's file error 5 %.
    const std::vector<double> fromVoltages =
        errors(electrodes + "2\n# a b m n u/mV i/mA err/%\n1 2 3 4 -20 100 0\n1 4 2 3 50 200 5\n");
    ASSERT_EQ(fromVoltages.size(), 2u);
    EXPECT_DOUBLE_EQ(fromVoltages[0], 0.02 + 0.001 / 0.02);
    EXPECT_DOUBLE_EQ(fromVoltages[1], 0.05);
    // |ΔU| = |r·i| = 2 ohm · 0.5 A = 1 V.
    EXPECT_DOUBLE_EQ(errors(electrodes + "1\n# a b m n r i\n1 2 3 4 -2 0.5\n").at(0), 0.021);
    // Only ρa: no voltage, the relative part alone.
    EXPECT_DOUBLE_EQ(errors(electrodes + "1\n# a b m n rhoa\n1 2 3 4 120\n").at(0), 0.02);
}

// A two-layer ground, its analytic data written as a data file and read
// back; the section drawn with the same layers.
TEST(Misfit, AnalyticTwoLayerDataFitTheSectionDrawnWithTheSameLayers)
{
    const double a = 10.0, width = 250.0, depth = 120.0, h = 15.0, rho1 = 100.0, rho2 = 20.0;
    TArrayLayout layout;
    layout.Kind = TArrayKind::Wenner;
    layout.Electrodes = 24;
    layout.Spacing = a;
    layout.First = 10.0;
    layout.Levels = 4;
    TSurvey survey = MakeArraySurvey(layout, 0.0, width);
    TForwardResult analytic;
    analytic.Survey = survey;
    for (const TConfiguration& c : survey.Configurations) {
        analytic.GeometricFactors.push_back(FlatGeometricFactor(survey, c));
        analytic.Resistivities.push_back(AnalyticApparentResistivity(survey, c, [&](int s, int r) {
            return TwoLayerPotential(rho1, rho2, h, std::fabs(survey.Electrodes[size_t(s)].x - survey.Electrodes[size_t(r)].x));
        }));
    }
    const TMeasuredData measured = ReadUnifiedMeasuredData(FormatUnifiedData(analytic));
    TForwardSection section(width, depth, rho2);
    section.AddBody({{0, 0}, {width, 0}, {width, h}, {0, h}}, rho1);
    const TForwardResult computed = ComputeForwardResponse(section.Ground(), measured.Survey());
    const TMisfit misfit = ComputeMisfit(measured, computed);
    EXPECT_LT(misfit.Rrms, 1.0);
    std::printf("[ two-layer data against the drawn layers ] %s\n", MisfitSummary(misfit, measured.Skipped).c_str());

    // The computed response perturbed by known factors, alternately 1.05
    // and 1/1.05: each datum misfits by -4.76 % or +5 %, every
    // |ln ρa,meas - ln ρa,calc| is ln 1.05.
    TMeasuredData perturbed = measured;
    for (size_t d = 0; d < perturbed.Size(); ++d)
        perturbed.Resistivities[d] = computed.Resistivities[d] * (d % 2 == 0 ? 1.05 : 1.0 / 1.05);
    ASSERT_EQ(perturbed.Size() % 2, 0u);
    const TMisfit known = ComputeMisfit(perturbed, computed);
    EXPECT_NEAR(known.Misfits[0], 100.0 * (1.0 / 1.05 - 1.0), 1e-10);
    EXPECT_NEAR(known.Misfits[1], 5.0, 1e-10);
    EXPECT_NEAR(known.Rrms, 4.88240396533569, 1e-10);          // 100 √((0.047619² + 0.05²)/2)
    EXPECT_NEAR(known.ChiSquare, 2.6449779107557014, 1e-10);   // (ln 1.05 / 0.03)²
    EXPECT_NEAR(ComputeMisfit(perturbed, computed, {5.0, 0.0}).ChiSquare, 2.6449779107557014 * 0.36, 1e-10);
}

// Resistances over a relief were turned into ρa with the flat ground's
// factor while the response used the relief's own: the true model misfit
// by hundreds of per cent, and a fit of the host fitted the factor's error.
TEST(Misfit, ResistancesOverAReliefAreComparedWithTheReliefsGeometricFactor)
{
    arofcomplexM profile;
    for (auto [x, depth] : {std::pair{0.0, 0.0}, {60.0, 2.0}, {110.0, 25.0}, {150.0, 20.0}, {200.0, 4.0}, {250.0, 0.0}})
        profile.Add(MakeComplex(x, depth));
    const TForwardSection section(250.0, 150.0, 60.0, 0.0, profile);
    const TForwardModel ground = section.Ground();
    TArrayLayout layout;
    layout.Kind = TArrayKind::Schlumberger;
    layout.Electrodes = 20;
    layout.Levels = 4;
    layout.Spacing = 10.0;
    layout.First = 30.0;
    const TForwardResult truth = ComputeForwardResponse(ground, MakeArraySurvey(layout, ground.Left, ground.Right));
    // The file: the electrodes where they stand, r = ΔU per ampere over the
    // homogeneous 60 ohm-m ground, no k.
    std::string text = std::to_string(truth.Survey.Electrodes.size()) + "\n# x z\n";
    for (const TElectrode& e : truth.Survey.Electrodes)
        text += FormatExactReal(e.x) + " " + FormatExactReal(e.z) + "\n";
    text += std::to_string(truth.Survey.Configurations.size()) + "\n# a b m n r\n";
    double largest = 0.0;
    for (size_t d = 0; d < truth.Survey.Configurations.size(); ++d) {
        const TConfiguration& c = truth.Survey.Configurations[d];
        text += std::to_string(c.a + 1) + " " + std::to_string(c.b + 1) + " " + std::to_string(c.m + 1) + " " +
                std::to_string(c.n + 1) + " " + FormatExactReal(truth.Voltages[d]) + "\n";
        largest = std::max(largest, std::fabs(truth.GeometricFactors[d] / FlatGeometricFactor(truth.Survey, c) - 1));
    }
    ASSERT_GT(largest, 0.1); // the relief's factors differ from the flat ones
    const TMeasuredData measured = ReadUnifiedMeasuredData(text);
    ASSERT_EQ(measured.Size(), truth.Survey.Configurations.size());
    // Formed with the flat factor, as before a computation, ρa misses 60
    // by more than 10 % somewhere; compared, it takes the relief's factor.
    double flatMiss = 0.0;
    for (double rhoa : measured.Resistivities)
        flatMiss = std::max(flatMiss, std::fabs(rhoa / 60.0 - 1.0));
    EXPECT_GT(flatMiss, 0.1);
    const TMisfit misfit = ComputeMisfit(measured, truth);
    EXPECT_LT(misfit.Rrms, 1e-9);
    for (size_t d = 0; d < measured.Size(); ++d)
        EXPECT_NEAR(misfit.Measured[d], 60.0, 0.6) << "datum " << d + 1; // the forward's 1 % on a homogeneous ground
    // The region fit starts from 30 ohm-m and finds the host's 60 (it stops
    // once χ² is below 1, within the forward's per cent).
    TForwardModel start = ground;
    start.Regions[0].resistivity = 30.0;
    const TRegionFitResult fit = FitRegions(start, measured, {TRegionFitSetting{}});
    EXPECT_NEAR(fit.Regions[0].Resistivity, 60.0, 1.2);
    EXPECT_LT(fit.Misfit.Rrms, 1.5);
}

} // namespace
} // namespace lp::test
