// The ground of the forward computation: the regions' parameters, the
// ground surface, and the models that are refused with their region named.

#include "section/forward/ForwardModel.h"

#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <limits>

namespace lp::test {
namespace {

TEST(ForwardModel, TheHostRingsResistivityWinsOverTheOneGivenForTheComputation)
{
    const TForwardSection own(100.0, 50.0, 30.0);
    EXPECT_DOUBLE_EQ(own.Ground(500.0).Regions[0].resistivity, 30.0);
    const TForwardSection none(100.0, 50.0, std::nullopt);
    EXPECT_DOUBLE_EQ(none.Ground(500.0).Regions[0].resistivity, 500.0);
    try {
        none.Ground();
        FAIL() << "a host medium without resistivity was accepted";
    } catch (const EForwardError& error) {
        EXPECT_EQ(error.Message(), "The host medium has no resistivity.");
    }
}

TEST(ForwardModel, RegionsCarryTheirRingsResistivityAndPolarizabilityAsAFraction)
{
    TForwardSection section(100.0, 50.0, 30.0, 4.0);
    section.AddBody({{10, 10}, {30, 10}, {30, 20}, {10, 20}}, 300.0, 99.5);
    const TForwardModel ground = section.Ground();
    ASSERT_EQ(ground.Regions.size(), 2u);
    EXPECT_DOUBLE_EQ(ground.Regions[1].resistivity, 300.0);
    EXPECT_DOUBLE_EQ(ground.Regions[1].polarizability, 0.995);
    EXPECT_DOUBLE_EQ(ground.Regions[0].polarizability, 0.04);
    EXPECT_TRUE(ground.HasPolarizability);
    EXPECT_FALSE(ground.HasRelief);
    EXPECT_EQ(ground.Left, 0.0);
    EXPECT_EQ(ground.Right, 100.0);
    EXPECT_EQ(ground.Bottom, -50.0);
    EXPECT_FALSE(TForwardSection(100.0, 50.0, 30.0).Ground().HasPolarizability);
}

// A body's phase (mrad) is the region's; a section without one has none,
// and one beyond a radian is refused naming the region.
TEST(ForwardModel, RegionsCarryTheirRingsPhase)
{
    TForwardSection section(100.0, 50.0, 30.0);
    const int body = section.AddBody({{10, 10}, {30, 10}, {30, 20}, {10, 20}}, 300.0, 0.0, "Clay lens");
    EXPECT_FALSE(section.Ground().HasPhase);
    EXPECT_EQ(section.Ground().Regions[1].phase, 0.0);
    // The editor's "*" (not set), as a new body's slots hold it: none.
    section.model[body][0].params[psPhase] = ParamValue(std::string(MissingText));
    EXPECT_FALSE(section.Ground().HasPhase);
    section.model[body][0].params[psPhase] = ParamValue(-20.5);
    const TForwardModel ground = section.Ground();
    EXPECT_TRUE(ground.HasPhase);
    EXPECT_EQ(ground.Regions[1].phase, -20.5);
    EXPECT_EQ(ground.Regions[0].phase, 0.0);
    for (const double refused : {-1000.5, 1001.0, std::numeric_limits<double>::quiet_NaN()}) {
        section.model[body][0].params[psPhase] = ParamValue(refused);
        try {
            section.Ground();
            ADD_FAILURE() << refused;
        } catch (const EForwardError& error) {
            EXPECT_TRUE(error.Message().starts_with("Region \"Clay lens\" (body 1, ring 0) has a phase of "))
                << error.Message();
            EXPECT_TRUE(error.Message().ends_with("mrad: it must lie from -1000 to 1000.")) << error.Message();
        }
    }
}

struct TRefusedParameters {
    const char* name;
    ParamValue resistivity, polarizability;
    const char* message;
};

class RefusedParameters : public ::testing::TestWithParam<TRefusedParameters> {};

TEST_P(RefusedParameters, NameTheRegionByLabelBodyAndRing)
{
    TForwardSection section(100.0, 50.0, 30.0);
    const int body = section.AddBody({{10, 10}, {30, 10}, {30, 20}, {10, 20}}, 1.0, 0.0, "Clay lens");
    section.model[body][0].params[psResistivity] = GetParam().resistivity;
    section.model[body][0].params[psPolarizability] = GetParam().polarizability;
    try {
        section.Ground();
        FAIL() << "not refused";
    } catch (const EForwardError& error) {
        EXPECT_EQ(error.Message(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ForwardModel, RefusedParameters,
    ::testing::Values(
        TRefusedParameters{"NoResistivity", ParamValue(), ParamValue(),
                           "Region \"Clay lens\" (body 1, ring 0) has no resistivity."},
        TRefusedParameters{"Zero", 0.0, ParamValue(),
                           "Region \"Clay lens\" (body 1, ring 0) has a resistivity of 0 ohm-m: it must be a finite "
                           "number above 0."},
        TRefusedParameters{"Negative", -12, ParamValue(),
                           "Region \"Clay lens\" (body 1, ring 0) has a resistivity of -12 ohm-m: it must be a finite "
                           "number above 0."},
        TRefusedParameters{"Infinite", std::numeric_limits<double>::infinity(), ParamValue(),
                           "Region \"Clay lens\" (body 1, ring 0) has a resistivity of inf ohm-m: it must be a finite "
                           "number above 0."},
        TRefusedParameters{"Text", "high", ParamValue(),
                           "Region \"Clay lens\" (body 1, ring 0) has a resistivity that is not a number: \"high\"."},
        TRefusedParameters{"PolarizabilityAbove100", 10.0, 100.5,
                           "Region \"Clay lens\" (body 1, ring 0) has a polarizability of 100.5 %: it must lie from 0 "
                           "up to (not including) 100."},
        // A charged ground of 100 % would be an insulator.
        TRefusedParameters{"Polarizability100", 10.0, 100.0,
                           "Region \"Clay lens\" (body 1, ring 0) has a polarizability of 100 %: it must lie from 0 "
                           "up to (not including) 100."},
        TRefusedParameters{"PolarizabilityBelow0", 10.0, -1.0,
                           "Region \"Clay lens\" (body 1, ring 0) has a polarizability of -1 %: it must lie from 0 "
                           "up to (not including) 100."}),
    [](const ::testing::TestParamInfo<TRefusedParameters>& info) { return std::string(info.param.name); });

TEST(ForwardModel, AModelBreakingTheSectionRulesIsRefusedWithItsFirstFault)
{
    TForwardSection section(100.0, 50.0, 30.0);
    section.AddBody({{10, 10}, {30, 10}, {30, 20}, {10, 20}}, 5.0);
    section.AddBody({{40, 15}, {60, 15}, {60, 25}, {40, 25}}, 5.0);
    // The second body's corner (40, 15) dragged into the first.
    for (Tnode& node : section.nodes)
        if (node.x == 40 && node.y == 15)
            node.x = 20;
    try {
        section.Ground();
        FAIL() << "not refused";
    } catch (const EForwardError& error) {
        EXPECT_EQ(error.Message().rfind("The model cannot be computed: ", 0), 0u) << error.Message();
    }
}

TEST(ForwardModel, SurfaceElevationFollowsTheProfileBetweenItsPoints)
{
    arofcomplexM profile;
    for (auto [x, depth] : {std::pair{0.0, 2.0}, {40.0, 6.0}, {100.0, 0.0}})
        profile.Add(MakeComplex(x, depth));
    const TForwardModel ground = TForwardSection(100.0, 50.0, 30.0, 0.0, profile).Ground();
    ASSERT_EQ(ground.Surface.size(), 3u);
    EXPECT_DOUBLE_EQ(SurfaceElevation(ground, 0.0), -2.0);
    EXPECT_DOUBLE_EQ(SurfaceElevation(ground, 20.0), -4.0);
    EXPECT_DOUBLE_EQ(SurfaceElevation(ground, 70.0), -3.0);
    EXPECT_DOUBLE_EQ(SurfaceElevation(ground, 100.0), 0.0);
}

} // namespace
} // namespace lp::test
