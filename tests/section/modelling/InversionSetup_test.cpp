// The inversion's mesh for a measured survey: buried electrodes measured
// from the drawn section's surface when a section is given.

#include "section/modelling/InversionSetup.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// Two holes at x 44 and 56, 12 electrodes each 1 m to 12 m below flat
// ground at 0, as a data file holds them (elevations; the holes' tops not
// on the surface), one cross-hole datum per pair of levels.
TMeasuredData TwoHoles()
{
    TMeasuredData data;
    for (double x : {44.0, 56.0})
        for (int e = 1; e <= 12; ++e)
            data.Electrodes.push_back({x, -static_cast<double>(e)});
    SetEnvelopeDepths(data.Electrodes);
    data.HasElevations = true;
    for (int e = 0; e + 1 < 12; ++e) {
        data.Configurations.push_back({e, e + 1, 12 + e, 13 + e});
        data.Resistivities.push_back(100.0);
        data.GeometricFactors.push_back(std::nan(""));
    }
    return data;
}

// Read alone, the holes' tops stand for the surface (the envelope): the
// electrodes lie 0 to 11 m below it. Under a drawn section whose surface
// lies 1 m above the tops, the rows keep half a spacing down to the deepest
// electrode at 12 m (not 11), and the cells reach three spacings below it.
TEST(InversionSetup, BuriedElectrodesLayTheCellsFromTheSectionsSurface)
{
    const TMeasuredData data = TwoHoles();
    ASSERT_DOUBLE_EQ(data.Electrodes[11].Depth, 11.0);
    TForwardModel section;
    section.Left = 0.0;
    section.Right = 100.0;
    section.Bottom = -40.0;
    section.Surface = {{0.0, 0.0}, {100.0, 0.0}};
    const TInversionMesh mesh = InversionMeshFor(data, &section);
    size_t even = 0;
    while (even + 1 < mesh.RowDepths.size() && mesh.RowDepths[even + 1] - mesh.RowDepths[even] < 0.5 + 1e-9)
        ++even;
    EXPECT_DOUBLE_EQ(mesh.RowDepths.at(even), 12.0);
    EXPECT_LE(mesh.Bottom, -12.0 - BuriedMeshMargin);
    // Without the section the envelope's surface lies at the tops.
    const TInversionMesh alone = InversionMeshFor(data, nullptr);
    EXPECT_DOUBLE_EQ(alone.Elevations.front(), -1.0);
}

} // namespace
} // namespace lp
