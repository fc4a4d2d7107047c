#include "section/survey/HoleSurvey.h"

#include "section/survey/MeasuredData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

namespace lp::test {
namespace {

const auto Flat = [](double) { return 0.0; };

TEST(HoleSurvey, CrossholeElectrodesStandInTheirHolesBelowTheSurface)
{
    THoleLayout layout;
    layout.Holes = {44.0, 56.0};
    const auto relief = [](double x) { return 0.1 * x; };
    const THoleSurvey made = MakeHoleSurvey(layout, relief);
    ASSERT_EQ(made.Survey.Electrodes.size(), 24u);
    EXPECT_TRUE(made.Survey.HasElevations);
    for (int e = 0; e < 24; ++e) {
        const TElectrode& electrode = made.Survey.Electrodes[static_cast<size_t>(e)];
        EXPECT_EQ(electrode.x, e < 12 ? 44.0 : 56.0);
        EXPECT_DOUBLE_EQ(electrode.Depth, e % 12 + 1.0);
        EXPECT_DOUBLE_EQ(electrode.z, 0.1 * electrode.x - electrode.Depth);
    }
}

// Every configuration kept uses both holes, measures
// within the limit, and appears once; the dropped ones are counted.
TEST(HoleSurvey, ConfigurationsBeyondTheGeometricFactorsLimitAreDroppedAndCounted)
{
    THoleLayout layout;
    layout.Holes = {44.0, 56.0};
    layout.MaxGeometricFactor = 1e300;
    const THoleSurvey all = MakeHoleSurvey(layout, Flat);
    layout.MaxGeometricFactor = DefaultMaxGeometricFactor;
    const THoleSurvey kept = MakeHoleSurvey(layout, Flat);
    // AB-MN: 11² + 10² + 9² per kind of dipole; AM-BN the same; pole-bipole both ways: 2 · 12 · 30.
    const size_t bipoles = 11 * 11 + 10 * 10 + 9 * 9;
    EXPECT_EQ(all.Survey.Configurations.size(), 2 * bipoles + 2 * 12 * 30);
    EXPECT_EQ(all.Dropped, 0);
    EXPECT_GT(kept.Dropped, 0);
    EXPECT_EQ(kept.Survey.Configurations.size() + static_cast<size_t>(kept.Dropped),
              all.Survey.Configurations.size() + static_cast<size_t>(all.Dropped));
    std::set<std::tuple<int, int, int, int>> seen;
    for (const TConfiguration& c : kept.Survey.Configurations) {
        EXPECT_LE(std::fabs(FlatGeometricFactor(kept.Survey, c)), DefaultMaxGeometricFactor);
        EXPECT_TRUE(seen.insert({c.a, c.b, c.m, c.n}).second);
        // Each uses both holes.
        const std::set<int> holes{c.a / 12, c.m / 12, c.n / 12};
        EXPECT_EQ(holes.size(), 2u);
    }
}

TEST(HoleSurvey, SurfaceToHoleAndSingleHoleSurveys)
{
    THoleLayout layout;
    layout.Kind = THoleArrayKind::SurfaceHole;
    layout.Holes = {50.0};
    layout.SurfaceElectrodes = 10;
    layout.SurfaceSpacing = 2.0;
    layout.SurfaceFirst = 41.0;
    const THoleSurvey surfaceHole = MakeHoleSurvey(layout, Flat);
    ASSERT_EQ(surfaceHole.Survey.Electrodes.size(), 22u);
    EXPECT_EQ(surfaceHole.Survey.Electrodes[9].x, 59.0);
    EXPECT_FALSE(surfaceHole.Survey.Electrodes[9].Buried());
    EXPECT_TRUE(surfaceHole.Survey.Electrodes[10].Buried());
    EXPECT_FALSE(surfaceHole.Survey.Configurations.empty());
    layout.Kind = THoleArrayKind::SingleHole;
    const THoleSurvey single = MakeHoleSurvey(layout, Flat);
    ASSERT_EQ(single.Survey.Electrodes.size(), 12u);
    EXPECT_FALSE(single.Survey.Configurations.empty());
    for (const TConfiguration& c : single.Survey.Configurations)
        EXPECT_TRUE(std::isfinite(FlatGeometricFactor(single.Survey, c)));
}

TEST(HoleSurvey, LayoutsThatCannotBeMadeAreRefused)
{
    const auto refusal = [](THoleLayout layout) {
        try {
            MakeHoleSurvey(layout, Flat);
            return std::string("made");
        } catch (const EForwardError& error) {
            return error.Message();
        }
    };
    THoleLayout one;
    one.Holes = {10.0};
    EXPECT_EQ(refusal(one), "A crosshole survey needs two holes, not 1.");
    THoleLayout same;
    same.Holes = {10.0, 10.0};
    EXPECT_EQ(refusal(same), "The two holes stand at one x (10).");
    THoleLayout few;
    few.Holes = {0.0, 10.0};
    few.HoleElectrodes = 1;
    EXPECT_EQ(refusal(few), "A hole has 2 to 1000 electrodes, not 1.");
    THoleLayout spacing;
    spacing.Holes = {0.0, 10.0};
    spacing.HoleSpacing = std::nan("");
    EXPECT_EQ(refusal(spacing), "The hole spacing nan is not a finite number above 0.");
    THoleLayout line;
    line.Kind = THoleArrayKind::SurfaceHole;
    line.Holes = {0.0};
    EXPECT_EQ(refusal(line), "The surface line has 2 to 10000 electrodes, not 0.");
    EXPECT_EQ(HoleArrayKindFromName("surface-hole"), THoleArrayKind::SurfaceHole);
    EXPECT_EQ(HoleArrayKindFromName("borehole"), std::nullopt);
}

// The half-space's geometric factor with image sources, against the
// sum written out for a pole-pole between two depths.
TEST(HoleSurvey, TheGeometricFactorOfBuriedElectrodesCountsTheirImages)
{
    TSurvey survey;
    survey.Electrodes = {{0.0, -2.0, 0.0, 2.0}, {3.0, -6.0, 0.0, 6.0}, {10.0, 0.0}, {13.0, 0.0}};
    const double r = 5.0, image = std::hypot(3.0, 8.0);
    EXPECT_DOUBLE_EQ(FlatGeometricFactor(survey, {0, -1, 1, -1}), 4 * std::numbers::pi / (1 / r + 1 / image));
    // On the surface the image coincides: 2π r.
    EXPECT_DOUBLE_EQ(FlatGeometricFactor(survey, {2, -1, 3, -1}), 2 * std::numbers::pi * 3.0);
}

// A cross-hole file was refused ("Electrodes 1 and 2 stand at one place")
// or its data skipped as measuring nothing: its holes' electrodes read as
// buried, every datum kept, the file written and read again the same.
TEST(HoleSurvey, ACrossholeFileKeepsItsDataAndElevationsThroughSaving)
{
    THoleLayout layout;
    layout.Holes = {44.0, 56.0};
    const TSurvey survey = MakeHoleSurvey(layout, Flat).Survey;
    std::string text = "24\n# x z\n";
    for (const TElectrode& e : survey.Electrodes)
        text += std::to_string(e.x) + " " + std::to_string(e.z) + "\n";
    text += std::to_string(survey.Configurations.size()) + "\n# a b m n rhoa\n";
    for (const TConfiguration& c : survey.Configurations)
        text += std::to_string(c.a + 1) + " " + std::to_string(c.b + 1) + " " + std::to_string(c.m + 1) + " " +
                std::to_string(c.n + 1) + " 100\n";
    text += "0\n";
    const TMeasuredData data = ReadUnifiedMeasuredData(text);
    EXPECT_EQ(data.Size(), survey.Configurations.size());
    EXPECT_EQ(data.Skipped.Total(), 0);
    // The file's z count down from 0: each hole starts there, its top
    // electrode 1 m down and buried as the rest.
    EXPECT_DOUBLE_EQ(data.Electrodes[0].Depth, 1.0);
    EXPECT_DOUBLE_EQ(data.Electrodes[11].Depth, 12.0);
    const TMeasuredData again = ReadUnifiedMeasuredData(FormatMeasuredData(data, 0.03));
    EXPECT_EQ(again.Electrodes.size(), 24u);
    for (size_t e = 0; e < 24; ++e)
        EXPECT_EQ(again.Electrodes[e].z, data.Electrodes[e].z);
    EXPECT_EQ(again.Configurations, data.Configurations);
}

} // namespace
} // namespace lp::test
