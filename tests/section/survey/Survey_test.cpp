// The arrays' configurations and electrodes, the electrodes on the ground
// surface, and the surveys that are refused.

#include "section/survey/Survey.h"

#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

namespace lp::test {
namespace {

TEST(Survey, ArraysListTheirConfigurationsByLevelThenByFirstElectrode)
{
    const std::vector<TConfiguration> dd = ArrayConfigurations(TArrayKind::DipoleDipole, 48, 6);
    const std::vector<TConfiguration> wenner = ArrayConfigurations(TArrayKind::Wenner, 48, 6);
    const std::vector<TConfiguration> schlumberger = ArrayConfigurations(TArrayKind::Schlumberger, 48, 6);
    EXPECT_EQ(dd.size(), 255u);           // 45 + 44 + ... + 40
    EXPECT_EQ(wenner.size(), 225u);       // 45 + 42 + ... + 30
    EXPECT_EQ(schlumberger.size(), 240u); // 45 + 43 + ... + 35
    // {a, b, m, n} from 0.
    EXPECT_EQ(dd[0], (TConfiguration{0, 1, 2, 3}));
    EXPECT_EQ(dd[44], (TConfiguration{44, 45, 46, 47}));
    EXPECT_EQ(dd[45], (TConfiguration{0, 1, 3, 4})); // n = 2
    EXPECT_EQ(dd.back(), (TConfiguration{39, 40, 46, 47}));
    EXPECT_EQ(wenner[0], (TConfiguration{0, 3, 1, 2}));
    EXPECT_EQ(wenner[45], (TConfiguration{0, 6, 2, 4}));
    EXPECT_EQ(wenner.back(), (TConfiguration{29, 47, 35, 41}));
    EXPECT_EQ(schlumberger[0], (TConfiguration{0, 3, 1, 2}));
    EXPECT_EQ(schlumberger[45], (TConfiguration{0, 5, 2, 3}));
    EXPECT_EQ(schlumberger.back(), (TConfiguration{34, 47, 40, 41}));
    // Too few electrodes for a level: none of it.
    EXPECT_TRUE(ArrayConfigurations(TArrayKind::Wenner, 3, 2).empty());
    EXPECT_EQ(ArrayConfigurations(TArrayKind::Wenner, 7, 9).size(), 4u + 1u);
}

TEST(Survey, ArrayNamesReadBack)
{
    for (TArrayKind kind : {TArrayKind::DipoleDipole, TArrayKind::Wenner, TArrayKind::Schlumberger})
        EXPECT_EQ(ArrayKindFromName(ArrayKindName(kind)), kind);
    EXPECT_FALSE(ArrayKindFromName("pole-pole").has_value());
    EXPECT_FALSE(ArrayKindFromName("Wenner").has_value());
}

TEST(Survey, ElectrodesDefaultToTheModelAreasWidthOneSpacingInFromEachSide)
{
    TArrayLayout layout;
    layout.Electrodes = 9;
    TSurvey survey = MakeArraySurvey(layout, 100.0, 200.0);
    EXPECT_DOUBLE_EQ(survey.Electrodes.front().x, 110.0);
    EXPECT_DOUBLE_EQ(survey.Electrodes.back().x, 190.0);
    // The spacing alone: the spread is centred.
    layout.Spacing = 5.0;
    survey = MakeArraySurvey(layout, 100.0, 200.0);
    EXPECT_DOUBLE_EQ(survey.Electrodes.front().x, 130.0);
    EXPECT_DOUBLE_EQ(survey.Electrodes.back().x, 170.0);
    // The first electrode alone: the spread ends one spacing in from the right.
    layout.Spacing.reset();
    layout.First = 120.0;
    survey = MakeArraySurvey(layout, 100.0, 200.0);
    EXPECT_DOUBLE_EQ(survey.Electrodes[1].x, 120.0 + 80.0 / 9);
    EXPECT_DOUBLE_EQ(survey.Electrodes.back().x + 80.0 / 9, 200.0);
    EXPECT_EQ(survey.Array, "dipole-dipole");

    layout.Spacing = -1.0;
    EXPECT_THROW(MakeArraySurvey(layout, 100.0, 200.0), EForwardError);
    layout.Spacing = 1.0;
    layout.Electrodes = 1;
    EXPECT_THROW(MakeArraySurvey(layout, 100.0, 200.0), EForwardError);
    layout.Electrodes = 4;
    layout.Levels = 0;
    EXPECT_THROW(MakeArraySurvey(layout, 100.0, 200.0), EForwardError);
}

struct TRefusedSurvey {
    const char* name;
    std::vector<double> x;
    std::vector<TConfiguration> configurations;
    const char* message;
};

class RefusedSurveys : public ::testing::TestWithParam<TRefusedSurvey> {};

TEST_P(RefusedSurveys, AreRefusedWithTheirFaultNamed)
{
    const TForwardSection section(100.0, 50.0, 10.0);
    const TForwardModel ground = section.Ground();
    TSurvey survey;
    for (double x : GetParam().x)
        survey.Electrodes.push_back({x, 0.0});
    survey.Configurations = GetParam().configurations;
    try {
        PlaceSurvey(survey, ground);
        FAIL() << "not refused";
    } catch (const EForwardError& error) {
        EXPECT_EQ(error.Message(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Survey, RefusedSurveys,
    ::testing::Values(
        TRefusedSurvey{"Outside", {10, 20, 30, 100.5}, {{0, 1, 2, 3}},
                       "Electrode 4 at x = 100.5 lies outside the model area (x from 0 to 100)."},
        TRefusedSurvey{"OnePlace", {10, 20, 30, 20}, {{0, 1, 2, 3}}, "Electrodes 2 and 4 stand at one place (x = 20)."},
        TRefusedSurvey{"NoConfiguration", {10, 20, 30}, {},
                       "The survey has no configuration: 3 electrodes are too few for its levels."},
        TRefusedSurvey{"NoSuchElectrode", {10, 20, 30, 40}, {{0, 1, 2, 3}, {0, 1, 2, 4}},
                       "Datum 2 names electrode 5, but the survey has 4."},
        TRefusedSurvey{"NoCurrentElectrode", {10, 20, 30, 40}, {{-1, 1, 2, 3}}, "Datum 1 has no electrode A or M."},
        TRefusedSurvey{"OneElectrodeTwice", {10, 20, 30, 40}, {{0, 1, 2, 0}}, "Datum 1 uses electrode 1 twice."}),
    [](const ::testing::TestParamInfo<TRefusedSurvey>& info) { return std::string(info.param.name); });

// A remote at a line electrode's x, apart across the line, was refused as
// standing at that electrode's place. Two electrodes at one x and one y
// (within a billionth of the model area's width) stay refused, both named.
TEST(Survey, ElectrodesAtOneXStandApartAcrossTheLineButNotAtOneY)
{
    const TForwardSection section(100.0, 50.0, 10.0);
    const TForwardModel ground = section.Ground();
    TSurvey survey;
    for (double x : {10.0, 20.0, 30.0, 40.0})
        survey.Electrodes.push_back({x, 0.0});
    survey.Electrodes.push_back({20.0, 0.0, 15.0});
    survey.Configurations = {{0, 4, 2, 3}, {4, -1, 1, -1}};
    TSurvey placed = survey;
    EXPECT_NO_THROW(PlaceSurvey(placed, ground));
    EXPECT_FALSE(ElectrodesAtOnePlace(survey.Electrodes, ground).has_value());
    const auto refusal = [&](TSurvey s) {
        try {
            PlaceSurvey(s, ground);
        } catch (const EForwardError& error) {
            return error.Message();
        }
        return std::string("placed");
    };
    survey.Electrodes.push_back({20.0 + 1e-12, 0.0, 15.0 + 1e-12});
    EXPECT_EQ(refusal(survey), "Electrodes 5 and 6 stand at one place (x = 20, y = 15).");
    survey.Electrodes.back() = {20.0, 0.0, -15.0}; // across on the other side
    EXPECT_EQ(refusal(survey), "placed");
    survey.Electrodes.back() = {20.0, 0.0, 0.0};
    EXPECT_EQ(refusal(survey), "Electrodes 2 and 6 stand at one place (x = 20).");
}

TEST(Survey, ElectrodesStandOnTheReliefAndAtTheSidesOnTheCorners)
{
    arofcomplexM profile;
    for (auto [x, depth] : {std::pair{0.0, 4.0}, {50.0, 0.0}, {100.0, 10.0}})
        profile.Add(MakeComplex(x, depth));
    const TForwardSection section(100.0, 60.0, 10.0, 0.0, profile);
    const TForwardModel ground = section.Ground();
    EXPECT_TRUE(ground.HasRelief);
    TSurvey survey;
    for (double x : {0.0, 25.0, 50.0, 75.0, 100.0})
        survey.Electrodes.push_back({x, 99.0});
    survey.Configurations = {{0, 1, 2, 3}, {1, 2, 3, 4}};
    PlaceSurvey(survey, ground);
    const double expected[] = {-4.0, -2.0, 0.0, -5.0, -10.0};
    for (size_t e = 0; e < 5; ++e)
        EXPECT_DOUBLE_EQ(survey.Electrodes[e].z, expected[e]) << e;
}

TEST(Survey, MedianGapOfDistinctPositionsInAnyOrder)
{
    EXPECT_EQ(MedianGap({30.0, 0.0, 10.0, 10.0, 20.0, 25.0}), 10.0); // gaps 10, 10, 5, 5 → upper middle
    EXPECT_EQ(MedianGap({3.0, 3.0}), 0.0);
    EXPECT_EQ(MedianGap({}), 0.0);
    EXPECT_EQ(MedianGap({1.0, 4.0}), 3.0);
}

// The frame covers the electrodes the data use, two median spacings
// beyond each outer one; an electrode no datum uses does not widen it.
TEST(Survey, TheSurveysFrameIsItsUsedElectrodesPaddedByTwoSpacings)
{
    TSurvey survey;
    for (double x : {500.0, 502.0, 504.0, 506.0, 509.0, 900.0})
        survey.Electrodes.push_back({x, 0.0});
    survey.Configurations = {{0, 1, 2, 3}, {1, 2, 3, 4}, {0, -1, 4, -1}};
    EXPECT_EQ(UsedElectrodePositions(survey), (std::vector<double>{500.0, 502.0, 504.0, 506.0, 509.0}));
    const TSurveyFrame frame = SurveyFrame(survey); // gaps 2, 2, 2, 3: median 2
    EXPECT_FALSE(frame.Empty());
    EXPECT_DOUBLE_EQ(frame.Left, 496.0);
    EXPECT_DOUBLE_EQ(frame.Right, 513.0);
    // Electrodes at one place: nothing to frame.
    survey.Configurations = {{0, -1, 0, -1}};
    EXPECT_TRUE(SurveyFrame(survey).Empty());
    EXPECT_TRUE(SurveyFrame(TSurvey{}).Empty());
    // A configuration naming an electrode that does not exist is refused.
    survey.Configurations = {{0, 1, 2, 7}};
    EXPECT_THROW(SurveyFrame(survey), std::out_of_range);
}

// One used electrode far from the line had the inversion's cells follow it
// across the gap (19 GB for one at x = -1e9). The rule both the command
// line and the inversion window lay their mesh by: a gap between used
// electrodes wider than MaxElectrodeGap median spacings names the
// electrode on its side with fewer electrodes.
TEST(Survey, AnElectrodeFarBeyondTheRestIsStray)
{
    TSurvey survey;
    for (double x : {0.0, 10.0, 20.0, 30.0, 40.0, 50.0})
        survey.Electrodes.push_back({x, 0.0});
    survey.Configurations = {{0, 1, 2, 3}, {1, 2, 3, 4}, {2, 3, 4, 5}};
    EXPECT_FALSE(StrayElectrode(survey).has_value());
    // Electrode 6 (index 6) 501 m beyond electrode 5: 50.1 spacings.
    survey.Electrodes.push_back({551.0, 0.0});
    EXPECT_FALSE(StrayElectrode(survey).has_value()); // no datum uses it
    survey.Configurations.push_back({3, 4, 5, 6});
    std::optional<TStrayElectrode> stray = StrayElectrode(survey);
    ASSERT_TRUE(stray.has_value());
    EXPECT_EQ(stray->Electrode, 6);
    EXPECT_EQ(stray->Neighbour, 5);
    EXPECT_DOUBLE_EQ(stray->Gap, 50.1);
    // 50 spacings exactly still frame; on the left, the first electrode at
    // its place named.
    survey.Electrodes[6].x = 550.0;
    EXPECT_FALSE(StrayElectrode(survey).has_value());
    survey.Electrodes[6].x = -1e9;
    survey.Electrodes.push_back({-1e9, 0.0});
    survey.Configurations.push_back({7, 0, 1, 2});
    stray = StrayElectrode(survey);
    ASSERT_TRUE(stray.has_value());
    EXPECT_EQ(stray->Electrode, 6);
    EXPECT_EQ(stray->Neighbour, 0);
    EXPECT_DOUBLE_EQ(stray->Gap, 1e8);
    // Fewer than four places give no spacing to measure by.
    survey.Electrodes = {{0.0, 0.0}, {10.0, 0.0}, {1e9, 0.0}};
    survey.Configurations = {{0, -1, 1, 2}};
    EXPECT_FALSE(StrayElectrode(survey).has_value());
}

} // namespace
} // namespace lp::test

namespace lp::test {
namespace {

// Without a section the electrodes' envelope is the ground; a hole whose
// file counts z down from 0 starts at 0, its top electrode buried too (a
// real cross-hole file's top electrodes stand 0.1 m down).
TEST(Survey, EnvelopeDepthsStartAHoleAtZeroWhenTheFileCountsDown)
{
    struct Row {
        const char* Name;
        std::vector<TElectrode> Electrodes;
        std::vector<double> Depths;
    };
    const std::vector<Row> rows{
        {"two holes counted down", {{4, -0.1}, {4, -1.1}, {8, -0.1}, {8, -1.1}}, {0.1, 1.1, 0.1, 1.1}},
        {"holes at elevations", {{4, 99.9}, {4, 98.9}, {8, 100.2}, {8, 99.2}}, {0, 1, 0, 1}},
        {"a line below 0", {{0, -1}, {1, -2}, {2, -0.5}}, {0, 0, 0}},
        {"a line and a hole", {{0, 0}, {1, 0}, {1, -2}, {1, -3}, {2, 0}}, {0, 0, 2, 3, 0}},
        {"no elevations", {{0, 0}, {1, 0}}, {0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        std::vector<TElectrode> electrodes = row.Electrodes;
        SetEnvelopeDepths(electrodes);
        for (size_t e = 0; e < electrodes.size(); ++e)
            EXPECT_NEAR(electrodes[e].Depth, row.Depths[e], 1e-9) << e;
    }
}

} // namespace
} // namespace lp::test
