// The inversion's mesh for a measured survey (buried electrodes measured
// from the drawn section's surface when a section is given) and what an
// inversion with a drawn section takes from it about water and held regions.

#include "section/inversion/InversionSetup.h"
#include "section/modelling/SectionInversionInput.h"

#include "section/editor/BodyParameters.h"
#include "section/editor/SectionFile.h"
#include "section/editor/SectionFileReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lp {
namespace {

// The lake of the forward tests: 3 m of 15 ohm-m water (body 1) over
// 100 ohm-m (the host) over 300 ohm-m from 13 m (body 2), 100 m wide.
TSectionModel Lake()
{
    TSectionModel lake;
    EXPECT_TRUE(ReadSectionFile(QStringLiteral(LP_FORWARD_DATA_DIR "/lake-bottom.sec"), lake));
    return lake;
}

// 24 electrodes 2 m apart at elevation Z, dipole-dipole n = 1 .. 3, every
// ρa Rho.
TMeasuredData LakeLine(double Z, double Rho = 30.0)
{
    TMeasuredData data;
    for (int e = 0; e < 24; ++e)
        data.Electrodes.push_back({26.0 + 2.0 * e, Z});
    data.HasElevations = Z != 0.0;
    for (int n = 1; n <= 3; ++n)
        for (int a = 0; a + n + 2 < 24; ++a) {
            data.Configurations.push_back({a, a + 1, a + n + 1, a + n + 2});
            data.Resistivities.push_back(Rho);
        }
    return data;
}

TEST(InversionSetupWater, ALakeBottomLineIsBuriedAndAFloatingOneStandsOnTheWater)
{
    const TSectionModel lake = Lake();
    const TForwardModel ground = PrepareForwardModel(lake.Model, lake.Nodes, lake.ModelArea);
    // On the bottom: rows of half a spacing down to it (a boundary at 3 m),
    // reaching three spacings below it.
    const TInversionMesh bottom = InversionMeshFor(LakeLine(-3.0), &ground);
    EXPECT_NE(std::find(bottom.RowDepths.begin(), bottom.RowDepths.end(), 3.0), bottom.RowDepths.end());
    EXPECT_DOUBLE_EQ(bottom.RowDepths[1], 1.0);
    EXPECT_GE(bottom.RowDepths.back(), 3.0 + 3.0 * 2.0);
    // Floating on the water: surface electrodes, the mesh laid as for a line on the ground.
    const TInversionMesh floating = InversionMeshFor(LakeLine(0.0), &ground);
    EXPECT_LT(floating.RowDepths.back(), 3.0 + 3.0 * 2.0);
    EXPECT_GT(floating.RowDepths[2] - floating.RowDepths[1], floating.RowDepths[1]);
}

TEST(InversionSetupWater, TheWatersCellsAreHeldAtItsMeasuredValueElseItsOwn)
{
    TSectionModel lake = Lake();
    const TForwardModel ground = PrepareForwardModel(lake.Model, lake.Nodes, lake.ModelArea);
    // Nothing marked: nothing held, the options untouched.
    const TMeasuredData data = LakeLine(-3.0);
    const TInversionMesh mesh = InversionMeshFor(data, &ground);
    TSurveyInversionOptions options;
    EXPECT_EQ(HoldCells(HeldCells(mesh, ground, WaterRegions(ground, lake.Model)), data, options), 0);
    EXPECT_TRUE(options.Start.empty());
    EXPECT_TRUE(options.Settings.Fixed.empty());
    EXPECT_FALSE(SectionHasWater(lake.Model));

    lake.Model[1][0].params[psWater] = ParamValue(1.0);
    EXPECT_TRUE(SectionHasWater(lake.Model));
    std::vector<std::optional<double>> held = WaterRegions(ground, lake.Model);
    ASSERT_EQ(held.size(), 3u);
    EXPECT_FALSE(held[0].has_value());
    EXPECT_EQ(held[1], 15.0); // the body's resistivity
    EXPECT_FALSE(held[2].has_value());
    lake.Model[1][0].params[psWaterResistivity] = ParamValue(12.5);
    held = WaterRegions(ground, lake.Model);
    EXPECT_EQ(held[1], 12.5); // the measured water's

    const std::vector<std::optional<double>> cells = HeldCells(mesh, ground, held);
    ASSERT_EQ(cells.size(), static_cast<size_t>(mesh.Cells()));
    EXPECT_EQ(HoldCells(cells, data, options), 3 * mesh.Columns()); // the three rows above the bottom
    ASSERT_EQ(options.Start.size(), cells.size());
    for (int cell = 0; cell < mesh.Cells(); ++cell) {
        const bool water = -CellCentre(mesh, cell).y < 3.0;
        EXPECT_EQ(options.Settings.Fixed[static_cast<size_t>(cell)], water) << cell;
        EXPECT_EQ(options.Start[static_cast<size_t>(cell)], water ? 12.5 : 30.0) << cell; // else the data's median
    }
    // A start given (from the section) keeps its free cells' values.
    TSurveyInversionOptions fromSection;
    fromSection.Start.assign(cells.size(), 77.0);
    HoldCells(cells, data, fromSection);
    EXPECT_EQ(fromSection.Start.back(), 77.0);
    EXPECT_EQ(fromSection.Start.front(), 12.5);
}

// A water resistivity no water has (beyond 1e12 ohm-m, below 1e-12, not a
// number) was held as it stood or replaced by the body's: refused, naming
// the body. Water too thin for the cells' centres is found, as --fixed's.
TEST(InversionSetupWater, AWaterResistivityNoWaterHasIsRefusedAndThinWaterIsFound)
{
    TSectionModel lake = Lake();
    lake.Model[1][0].params[psWater] = ParamValue(1.0);
    const TForwardModel ground = PrepareForwardModel(lake.Model, lake.Nodes, lake.ModelArea);
    for (const ParamValue& value : {ParamValue(1e308), ParamValue(1e-300), ParamValue(0.0), ParamValue(-5.0),
                                    ParamValue(std::numeric_limits<double>::infinity()), ParamValue("salty")}) {
        lake.Model[1][0].params[psWaterResistivity] = value;
        try {
            WaterRegions(ground, lake.Model);
            ADD_FAILURE() << "held: " << ParamsToText(lake.Model[1][0].params);
        } catch (const EForwardError& Error) {
            EXPECT_NE(std::string(Error.what()).find("(body 1, ring 0) is water: the water's resistivity"),
                      std::string::npos)
                << Error.what();
        }
    }
    lake.Model[1][0].params[psWaterResistivity] = ParamValue(1e12);
    EXPECT_EQ(WaterRegions(ground, lake.Model)[1], 1e12);
    // Rows half a spacing (1 m) thick from the surface: 3 m of water holds
    // three, a mesh of level 4 m rows none.
    const TMeasuredData data = LakeLine(-3.0);
    const std::vector<std::optional<double>> held = WaterRegions(ground, lake.Model);
    EXPECT_TRUE(HeldRegionsWithoutCells(InversionMeshFor(data, &ground), ground, held).empty());
    TInversionMesh coarse = InversionMeshFor(data, &ground);
    coarse.RowDepths = {0.0, 8.0, 16.0};
    coarse.Shifts.clear();
    EXPECT_EQ(HeldRegionsWithoutCells(coarse, ground, held), std::vector<size_t>{1});
    EXPECT_NE(WaterRegionsText(ground, {1}).find("region \"Water\" (body 1, ring 0)"), std::string::npos);
}

TEST(InversionSetupWater, TheHeldBoundaryCutsTheSmoothnessAndKeepsTheOtherWeights)
{
    const TSectionModel lake = Lake();
    const TForwardModel ground = PrepareForwardModel(lake.Model, lake.Nodes, lake.ModelArea);
    const TInversionMesh mesh = InversionMeshFor(LakeLine(-3.0), &ground);
    const std::vector<std::optional<double>> held{std::nullopt, 15.0, std::nullopt};
    // Nothing constrained: only the held region's boundary.
    TSurveyInversionOptions options;
    CutAtHeldRegions(mesh, ground, held, options);
    EXPECT_EQ(options.Structure.Zones, CellZones(mesh, ground));
    EXPECT_EQ(options.Structure.ZoneWeights, (std::vector<double>{1.0, 0.0, 1.0}));
    // Weighted boundaries (--constrain --boundary-weight 0.5): the held one at 0.
    TSurveyInversionOptions weighted;
    weighted.Structure.Zones = CellZones(mesh, ground);
    weighted.Structure.ZoneWeights = {0.5, 0.5, 0.5};
    CutAtHeldRegions(mesh, ground, held, weighted);
    EXPECT_EQ(weighted.Structure.ZoneWeights, (std::vector<double>{0.5, 0.0, 0.5}));
    // Zones alone cut every boundary; they still do.
    TSurveyInversionOptions zones;
    zones.Zones = CellZones(mesh, ground);
    CutAtHeldRegions(mesh, ground, held, zones);
    EXPECT_TRUE(zones.Zones.empty());
    EXPECT_EQ(zones.Structure.ZoneWeights, (std::vector<double>{0.0, 0.0, 0.0}));
    // Nothing held: nothing changes, and the rows follow nothing.
    TSurveyInversionOptions none;
    CutAtHeldRegions(mesh, ground, {}, none);
    EXPECT_TRUE(none.Structure.Empty());
    EXPECT_TRUE(HeldBoundaryLines(ground, {}).empty());
    // The held water's boundary: its bottom at 3 m (the frame's edges are no boundary between regions).
    const std::vector<TConstraintLine> lines = HeldBoundaryLines(ground, held);
    ASSERT_FALSE(lines.empty());
    for (const TConstraintLine& line : lines) {
        EXPECT_EQ(line.Weight, 0.0);
        for (const TGeometryPoint& point : line.Points)
            EXPECT_DOUBLE_EQ(point.y, -3.0);
    }
}


// The one road both the command line and the window take: the rows bent
// onto the held water's bottom, the water's cells held, the smoothness cut
// there; with the section's structure (--constrain at 0.5) its zones on the
// bent cells and the water's weight 0; the start from the section's
// regions where asked. Without a section: the laid mesh and the options as
// they were.
TEST(InversionSetupWater, PrepareInversionHoldsTheWaterAndCutsItsBoundaryOnTheBentCells)
{
    TSectionModel lake = Lake();
    lake.Model[1][0].params[psWater] = ParamValue(1.0);
    const TForwardModel ground = PrepareForwardModel(lake.Model, lake.Nodes, lake.ModelArea);
    const TMeasuredData data = LakeLine(-3.0);
    TInversionMesh laid = InversionMeshFor(data, &ground);
    laid.RowDepths = {0.0, 2.0, 4.5, 8.0, 12.0}; // no row boundary at the water's bottom (3 m)
    laid.Shifts.clear();
    for (const bool constrained : {false, true}) {
        SCOPED_TRACE(constrained ? "constrained" : "water alone");
        TSectionUse use;
        use.Section = &ground;
        use.Held = WaterRegions(ground, lake.Model);
        use.Lines = HeldBoundaryLines(ground, use.Held);
        use.StartFromSection = constrained;
        if (constrained)
            use.Structure = SectionStructure(ground, lake.Lines, 0.5);
        TSurveyInversionOptions options;
        const TPreparedInversion prepared = PrepareInversion(laid, data, use, 0.0, options);
        const TInversionMesh& mesh = prepared.Mesh;
        EXPECT_FALSE(mesh.Shifts.empty()); // bent onto the bottom
        EXPECT_EQ(prepared.HeldCells, HeldCells(mesh, ground, use.Held));
        EXPECT_GT(prepared.Held, 0);
        EXPECT_EQ(options.Structure.Zones, CellZones(mesh, ground));
        EXPECT_EQ(options.Structure.ZoneWeights,
                  constrained ? (std::vector<double>{0.5, 0.0, 0.5}) : (std::vector<double>{1.0, 0.0, 1.0}));
        for (int cell = 0; cell < mesh.Cells(); ++cell) {
            const auto j = static_cast<size_t>(cell);
            EXPECT_EQ(options.Settings.Fixed[j], prepared.HeldCells[j].has_value()) << cell;
            const int zone = CellZones(mesh, ground)[j];
            const double free = constrained && zone >= 0 ? ground.Regions[static_cast<size_t>(zone)].resistivity : 30.0;
            EXPECT_EQ(options.Start[j], prepared.HeldCells[j] ? 15.0 : free) << cell;
        }
    }
    TSurveyInversionOptions alone;
    const TPreparedInversion none = PrepareInversion(laid, data, {}, 0.0, alone);
    EXPECT_EQ(none.Mesh.RowDepths, laid.RowDepths);
    EXPECT_TRUE(none.HeldCells.empty());
    EXPECT_TRUE(alone.Structure.Empty());
    EXPECT_TRUE(alone.Start.empty());
}


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

// Read alone, the holes start at 0, the file's z counting down from it: the
// electrodes lie 1 to 12 m below it. Under a drawn section whose surface
// lies at 0 too, the rows keep half a spacing down to the deepest electrode
// at 12 m, and the cells reach three spacings below it.
TEST(InversionSetup, BuriedElectrodesLayTheCellsFromTheSectionsSurface)
{
    const TMeasuredData data = TwoHoles();
    ASSERT_DOUBLE_EQ(data.Electrodes[11].Depth, 12.0);
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
    // Without the section the surface lies at 0, where the holes start, as
    // under the section.
    const TInversionMesh alone = InversionMeshFor(data, nullptr);
    EXPECT_DOUBLE_EQ(alone.Elevations.front(), 0.0);
    EXPECT_EQ(alone.RowDepths, mesh.RowDepths);
}

} // namespace
} // namespace lp
