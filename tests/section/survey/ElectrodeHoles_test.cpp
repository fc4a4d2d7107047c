// The holes of a survey's buried electrodes: grouped by x within the
// tolerance, each listed from the top down with the electrode on the
// surface at its x; a line on the surface, a lone buried electrode and a
// remote beside the line stand in no hole.

#include "section/survey/ElectrodeHoles.h"

#include "section/survey/HoleSurvey.h"

#include <gtest/gtest.h>

namespace lp::test {
namespace {

// A survey of the given electrodes with one configuration using them all,
// four at a time (the last configuration wrapping round).
TSurvey UsingAll(std::vector<TElectrode> Electrodes)
{
    TSurvey survey;
    survey.Electrodes = std::move(Electrodes);
    survey.HasElevations = true;
    const int count = static_cast<int>(survey.Electrodes.size());
    for (int e = 0; e < count; e += 4)
        survey.Configurations.push_back({e, (e + 1) % count, (e + 2) % count, (e + 3) % count});
    return survey;
}

TElectrode At(double X, double Z, double Depth, double Y = 0.0)
{
    TElectrode electrode;
    electrode.x = X;
    electrode.z = Z;
    electrode.Depth = Depth;
    electrode.y = Y;
    return electrode;
}

TEST(ElectrodeHoles, CrossholeElectrodesFormTwoHolesFromTheTopDown)
{
    THoleLayout layout;
    layout.Holes = {56.0, 44.0};
    layout.HoleElectrodes = 8;
    layout.HoleSpacing = 1.5;
    const TSurvey survey = MakeHoleSurvey(layout, [](double) { return 2.0; }).Survey;
    const std::vector<TElectrodeHole> holes = ElectrodeHoles(survey);
    ASSERT_EQ(holes.size(), 2u);
    EXPECT_EQ(holes[0].X, 44.0);
    EXPECT_EQ(holes[1].X, 56.0);
    for (const TElectrodeHole& hole : holes) {
        ASSERT_EQ(hole.Electrodes.size(), 8u);
        for (size_t k = 0; k < hole.Electrodes.size(); ++k) {
            const TElectrode& electrode = survey.Electrodes.at(static_cast<size_t>(hole.Electrodes[k]));
            EXPECT_EQ(electrode.x, hole.X);
            EXPECT_DOUBLE_EQ(electrode.z, 2.0 - 1.5 * static_cast<double>(k + 1)) << k;
        }
    }
    EXPECT_DOUBLE_EQ(HoleSpacing(survey, holes), 1.5);
    EXPECT_DOUBLE_EQ(HoleTolerance(survey), HoleShare * 1.5);
}

// A hole drilled a little off the vertical keeps its electrodes; its top
// electrode on the surface (as a file of holes alone has it) belongs to it;
// the surface line's electrodes beside it, a remote off the line and a
// lone electrode under water are no hole's.
TEST(ElectrodeHoles, AHoleKeepsItsTopAndSlantedElectrodesAndNothingElse)
{
    std::vector<TElectrode> electrodes = {
        At(10.0, 0.0, 0.0), At(11.0, 0.0, 0.0), At(12.0, 0.0, 0.0),          // the line
        At(20.0, 0.0, 0.0),                                                 // the hole's top
        At(20.1, -1.0, 1.0), At(20.15, -2.0, 2.0), At(20.2, -3.0, 3.0),   // slanted down
        At(30.0, -4.0, 4.0),                                                // alone under water
        At(500.0, 0.0, 0.0, 400.0),                                         // a remote beside the line
        At(13.0, 0.0, 0.0), At(14.0, 0.0, 0.0), At(15.0, 0.0, 0.0)};
    const TSurvey survey = UsingAll(electrodes);
    const std::vector<TElectrodeHole> holes = ElectrodeHoles(survey);
    ASSERT_EQ(holes.size(), 1u);
    EXPECT_EQ(holes[0].Electrodes, (std::vector<int>{3, 4, 5, 6}));
    EXPECT_DOUBLE_EQ(holes[0].X, (20.0 + 20.1 + 20.15 + 20.2) / 4.0);
    EXPECT_DOUBLE_EQ(HoleSpacing(survey, holes), 1.0);
}

// Holes closer than the tolerance would be one: they are apart by more.
TEST(ElectrodeHoles, HolesApartByMoreThanTheToleranceStaySeparate)
{
    std::vector<TElectrode> electrodes;
    for (double x : {0.0, 0.5})
        for (int k = 1; k <= 4; ++k)
            electrodes.push_back(At(x, -1.0 * k, 1.0 * k));
    const TSurvey survey = UsingAll(electrodes);
    EXPECT_DOUBLE_EQ(HoleTolerance(survey), HoleShare * 0.5);
    EXPECT_EQ(ElectrodeHoles(survey).size(), 2u);
}

TEST(ElectrodeHoles, ASurveyOnTheSurfaceHasNone)
{
    std::vector<TElectrode> electrodes;
    for (int e = 0; e < 8; ++e)
        electrodes.push_back(At(e, 0.1 * e, 0.0));
    const TSurvey survey = UsingAll(electrodes);
    EXPECT_EQ(HoleTolerance(survey), 0.0);
    EXPECT_TRUE(ElectrodeHoles(survey).empty());
    EXPECT_EQ(HoleSpacing(survey, {}), 0.0);
    EXPECT_TRUE(ElectrodeHoles(TSurvey{}).empty());
}

// Only the electrodes the data use: a spare hole electrode no datum uses
// is left out.
TEST(ElectrodeHoles, AnElectrodeNoDatumUsesIsLeftOut)
{
    TSurvey survey = UsingAll({At(0.0, 0.0, 0.0), At(0.0, -1.0, 1.0), At(0.0, -2.0, 2.0), At(0.0, -3.0, 3.0)});
    survey.Electrodes.push_back(At(0.0, -9.0, 9.0));
    const std::vector<TElectrodeHole> holes = ElectrodeHoles(survey);
    ASSERT_EQ(holes.size(), 1u);
    EXPECT_EQ(holes[0].Electrodes, (std::vector<int>{0, 1, 2, 3}));
}

} // namespace
} // namespace lp::test
