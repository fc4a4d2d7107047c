// The holes as the windows place them over a section: on a well within a
// spacing down the holes of a hole's x (at the well, named after it), each
// electrode's depth from the section's ground there, and the words that
// tell an electrode.

#include "section/modelling/HoleElectrodes.h"

#include "section/survey/HoleSurvey.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

carotagedata Well(double Position, const char* Caption)
{
    carotagedata well;
    well.Position = Position;
    well.Caption = QString::fromLatin1(Caption);
    return well;
}

TEST(HoleElectrodes, HolesStandOnTheWellsAtTheirXAndCountDepthsFromTheGround)
{
    THoleLayout layout;
    layout.Holes = {44.0, 56.0};
    layout.HoleElectrodes = 4;
    layout.HoleSpacing = 1.5;
    const TSurvey survey = MakeHoleSurvey(layout, [](double) { return 0.0; }).Survey;
    // The ground rising from 1 m at x 40 to 3 m at x 60.
    const std::vector<TGeometryPoint> ground{{40.0, 1.0}, {60.0, 3.0}};
    arofcarotagedata wells;
    wells.Add(Well(30.0, "far"));
    wells.Add(Well(45.2, " BH1 ")); // within 1.5 m of the first hole
    wells.Add(Well(44.9, "BH2"));   // nearer still: this one
    wells.Add(Well(57.6, "BH3"));   // beyond a spacing of the second
    const std::vector<TDrawnHole> holes = DrawnHoles(survey, ground, &wells);
    ASSERT_EQ(holes.size(), 2u);
    EXPECT_EQ(holes[0].Number, 1);
    EXPECT_EQ(holes[0].X, 44.9);
    EXPECT_EQ(holes[0].Well, QStringLiteral("BH2"));
    EXPECT_DOUBLE_EQ(holes[0].Top, 1.0 + 2.0 * 4.9 / 20.0);
    EXPECT_EQ(holes[1].X, 56.0);
    EXPECT_EQ(holes[1].Well, QString());
    ASSERT_EQ(holes[1].Electrodes.size(), 4u);
    for (size_t k = 0; k < 4; ++k) {
        const TDrawnHoleElectrode& electrode = holes[1].Electrodes[k];
        EXPECT_EQ(electrode.Number, static_cast<int>(5 + k));
        EXPECT_DOUBLE_EQ(electrode.Elevation, -1.5 * static_cast<double>(k + 1));
        EXPECT_DOUBLE_EQ(electrode.Depth, 1.0 + 2.0 * 16.0 / 20.0 - electrode.Elevation);
    }
    EXPECT_EQ(HoleElectrodeText(holes[1], holes[1].Electrodes[1]),
              QStringLiteral("Hole 2, electrode 6: x 56 m, 5.6 m deep, elevation -3 m"));
    EXPECT_EQ(HoleElectrodeText(holes[0], holes[0].Electrodes[0]),
              QStringLiteral("Hole 1 (well BH2), electrode 1: x 44.9 m, 2.99 m deep, elevation -1.5 m"));
    // Without wells, or with none listed: at the electrodes' x.
    EXPECT_EQ(DrawnHoles(survey, ground, nullptr)[0].X, 44.0);
    EXPECT_EQ(DrawnHoles(survey, {}, &wells)[1].Electrodes[0].Depth, 1.5);
    // A survey on the surface: no hole.
    TSurvey line;
    for (int e = 0; e < 6; ++e)
        line.Electrodes.push_back({static_cast<double>(e), 0.0});
    line.Configurations = ArrayConfigurations(TArrayKind::Wenner, 6, 1);
    EXPECT_TRUE(DrawnHoles(line, ground, &wells).empty());
}

} // namespace
} // namespace lp
