// A section started from a measured survey: its frame, its relief, its host
// medium and its depth, checked against values worked out by hand and
// against the forward computation's view of the model it makes.

#include "section/modelling/SectionFromData.h"

#include "section/forward/ForwardModel.h"
#include "section/inversion/InversionSetup.h"
#include "section/survey/HoleSurvey.h"
#include "section/editor/BodyParameters.h"
#include "section/inversion/InversionMesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace lp {
namespace {

// Electrodes at 10, 15, ..., 65 with elevations z(x), one Wenner datum of
// a = 5 m per place that fits, every ρa Value.
TMeasuredData TwelveElectrodeLine(const std::function<double(double)>& Elevation, bool HasElevations)
{
    TMeasuredData data;
    for (int e = 0; e < 12; ++e) {
        const double x = 10.0 + 5.0 * e;
        data.Electrodes.push_back({x, HasElevations ? Elevation(x) : 0.0});
    }
    data.HasElevations = HasElevations;
    for (int a = 0; a + 3 < 12; ++a) {
        data.Configurations.push_back({a, a + 3, a + 1, a + 2});
        data.Resistivities.push_back(100.0 + a);
    }
    return data;
}

// Linear between the points (x rising), level beyond them: the ground the
// section's relief must give at X.
double GroundBetween(const std::vector<TElectrode>& Points, double X)
{
    if (X <= Points.front().x)
        return Points.front().z;
    for (size_t i = 1; i < Points.size(); ++i)
        if (X <= Points[i].x) {
            const double t = (X - Points[i - 1].x) / (Points[i].x - Points[i - 1].x);
            return Points[i - 1].z + t * (Points[i].z - Points[i - 1].z);
        }
    return Points.back().z;
}

// An electrode no datum uses widened the frame to it. The frame spans the
// electrodes the data use; the data on them keep every datum, renumbered.
TEST(SectionFromData, AnElectrodeNoDatumUsesDoesNotWidenTheFrame)
{
    TMeasuredData data = TwelveElectrodeLine([](double) { return 0.0; }, false);
    // A spare far to the right, and one to the left before the line's first.
    data.Electrodes.push_back({300.0, 0.0});
    data.Electrodes.insert(data.Electrodes.begin(), {-150.0, 0.0});
    for (TConfiguration& c : data.Configurations)
        for (int* e : {&c.a, &c.b, &c.m, &c.n})
            *e += 1;
    const TDataSection section = SectionFromData(data);
    EXPECT_DOUBLE_EQ(section.Area.left, 0.0);
    EXPECT_DOUBLE_EQ(section.Area.right, 75.0);
    std::vector<int> used;
    const TMeasuredData kept = DataOnUsedElectrodes(data, &used);
    ASSERT_EQ(kept.Electrodes.size(), 12u);
    ASSERT_EQ(used.size(), 12u);
    EXPECT_EQ(used.front(), 1);
    EXPECT_EQ(used.back(), 12);
    ASSERT_EQ(kept.Size(), data.Size());
    for (size_t d = 0; d < kept.Size(); ++d) {
        const TConfiguration& was = data.Configurations[d];
        const TConfiguration& is = kept.Configurations[d];
        EXPECT_EQ(kept.Electrodes.at(static_cast<size_t>(is.a)).x, data.Electrodes.at(static_cast<size_t>(was.a)).x);
        EXPECT_EQ(kept.Electrodes.at(static_cast<size_t>(is.n)).x, data.Electrodes.at(static_cast<size_t>(was.n)).x);
        EXPECT_EQ(kept.Resistivities[d], data.Resistivities[d]);
    }
    // Data whose electrodes all serve are kept as they are.
    EXPECT_EQ(DataOnUsedElectrodes(kept).Electrodes.size(), 12u);
    // One electrode used: no frame.
    TMeasuredData spare = data;
    spare.Configurations.assign(1, TConfiguration{1, -1, 1, -1});
    spare.Resistivities.assign(1, 100.0);
    EXPECT_THROW(SectionFromData(spare), EForwardError);
}

TEST(SectionFromData, FramesTheSurveyTwoSpacingsOutWithTheFilesTopographyAsRelief)
{
    TMeasuredData data = TwelveElectrodeLine([](double X) { return 200.0 + 0.1 * X; }, true);
    // The topography reaches beyond the frame (0 .. 75) on the left and
    // stops short of it on the right, given out of order.
    data.Topography = {{40.0, 207.0}, {-20.0, 195.0}, {5.0, 199.0}, {20.0, 203.0}, {60.0, 204.0}, {70.0, 206.5}};
    const TDataSection section = SectionFromData(data);
    EXPECT_DOUBLE_EQ(section.Area.left, 0.0);
    EXPECT_DOUBLE_EQ(section.Area.right, 75.0);
    // Minus the highest ground within the frame (the topography's 207 at 40).
    EXPECT_DOUBLE_EQ(section.Area.top, -207.0);
    const std::vector<TElectrode> sorted = {{-20.0, 195.0}, {5.0, 199.0}, {20.0, 203.0},
                                            {40.0, 207.0},  {60.0, 204.0}, {70.0, 206.5}};
    // The points inside the frame, and the ground where its sides cut it
    // (at 0 between -20 and 5; at 75 level beyond the last point).
    const std::vector<std::pair<double, double>> expected = {
        {0.0, GroundBetween(sorted, 0.0)}, {5.0, 199.0}, {20.0, 203.0}, {40.0, 207.0}, {60.0, 204.0}, {70.0, 206.5},
        {75.0, 206.5}};
    EXPECT_DOUBLE_EQ(GroundBetween(sorted, 0.0), 198.2);
    ASSERT_EQ(section.Relief.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(section.Relief[i].x, expected[i].first) << i;
        EXPECT_NEAR(section.Relief[i].y, expected[i].second, 1e-12) << i;
    }
    // The host: the median of 100 .. 108.
    EXPECT_DOUBLE_EQ(section.HostResistivity, 104.0);
    // The inversion's cells over this relief reach deeper than a third of
    // the 55 m line: the area's bottom lies a quarter of their depth below
    // them, under the lowest ground in the frame (198.2), so their image
    // lies inside the area.
    const double cellsBottom = InversionMeshFor(data, nullptr).Bottom;
    EXPECT_GT(198.2 - cellsBottom, 55.0 / 3.0);
    EXPECT_NEAR(section.Area.bottom, -198.2 + 1.25 * (198.2 - cellsBottom), 1e-9);
    EXPECT_LT(-cellsBottom, section.Area.bottom);
}

TEST(SectionFromData, TheElectrodesElevationsWithoutTopographyAndALevelGroundWithoutEither)
{
    // Elevations, no topography: the electrodes' (level beyond the outer
    // ones), the first of two at one place.
    TMeasuredData sloped = TwelveElectrodeLine([](double X) { return X < 40.0 ? 0.2 * X : 8.0 - 0.1 * (X - 40.0); }, true);
    sloped.Electrodes.push_back({40.0, 3.0});
    const TDataSection section = SectionFromData(sloped);
    ASSERT_EQ(section.Relief.size(), 14u);
    EXPECT_DOUBLE_EQ(section.Relief.front().x, 0.0);
    EXPECT_DOUBLE_EQ(section.Relief.front().y, 2.0);
    EXPECT_DOUBLE_EQ(section.Relief.back().x, 75.0);
    EXPECT_DOUBLE_EQ(section.Relief.back().y, 8.0 - 2.5);
    for (size_t i = 1; i + 1 < section.Relief.size(); ++i) {
        EXPECT_DOUBLE_EQ(section.Relief[i].x, sloped.Electrodes[i - 1].x);
        EXPECT_DOUBLE_EQ(section.Relief[i].y, sloped.Electrodes[i - 1].z);
    }
    EXPECT_DOUBLE_EQ(section.Area.top, -8.0);

    // No elevations: level at 0.
    const TDataSection level = SectionFromData(TwelveElectrodeLine({}, false));
    EXPECT_TRUE(level.Relief.empty());
    EXPECT_EQ(level.Area.top, 0.0);
    EXPECT_NEAR(level.Area.bottom, 55.0 / 3.0, 1e-9);
    // Elevations all alike: level at that elevation.
    const TDataSection high = SectionFromData(TwelveElectrodeLine([](double) { return 312.5; }, true));
    EXPECT_TRUE(high.Relief.empty());
    EXPECT_EQ(high.Area.top, -312.5);
    EXPECT_NEAR(high.Area.bottom, -312.5 + 55.0 / 3.0, 1e-9);
}

TEST(SectionFromData, DeepEnoughForTheDeepestDatumSeen)
{
    // Electrodes 0, 20, 40, 60. A Wenner datum of a = 20 m sees 0.519 a =
    // 10.4 m deep (Edwards 1977); the inversion's cells reach twice that,
    // and the area a quarter deeper again: 2.5 times, deeper than a third
    // of the line (20 m).
    TMeasuredData data;
    data.Electrodes = {{0.0, 0.0}, {20.0, 0.0}, {40.0, 0.0}, {60.0, 0.0}};
    data.Configurations = {{0, 3, 1, 2}};
    data.Resistivities = {50.0};
    EXPECT_NEAR(SectionFromData(data).Area.bottom, 2.5 * 0.519 * 20.0, 0.01 * 2.5 * 0.519 * 20.0);
    // A pole-pole datum over the whole line sees 0.867 a = 52 m deep: two
    // and a half times that.
    data.Configurations.push_back({0, -1, 3, -1});
    data.Resistivities.push_back(70.0);
    EXPECT_NEAR(SectionFromData(data).Area.bottom, 2.5 * 0.867 * 60.0, 0.01 * 2.5 * 0.867 * 60.0);
}

TEST(SectionFromData, TheHostIsTheMedianOfTheApparentResistivitiesAboveZero)
{
    TMeasuredData data = TwelveElectrodeLine({}, false);
    data.Resistivities = {50.0, 10.0, -3.0, 0.0, 200.0, 30.0, 40.0, std::nan(""), 1e3};
    EXPECT_DOUBLE_EQ(MedianPositiveResistivity(data), 45.0); // 10 30 40 | 50 200 1000
    data.Resistivities.push_back(35.0);
    EXPECT_DOUBLE_EQ(MedianPositiveResistivity(data), 40.0); // 10 30 35 40 50 200 1000
    data.Resistivities = {-1.0, 0.0};
    EXPECT_THROW(MedianPositiveResistivity(data), EForwardError);
    EXPECT_THROW(SectionFromData(data), EForwardError);
}

TEST(SectionFromData, ElectrodesAtOnePlaceOrNotFiniteFrameNothing)
{
    TMeasuredData data;
    data.Electrodes = {{5.0, 0.0}, {5.0, 1.0}};
    data.Configurations = {{0, -1, 1, -1}};
    data.Resistivities = {10.0};
    EXPECT_THROW(SectionFromData(data), EForwardError);
    data.Electrodes = {{5.0, 0.0}, {std::nan(""), 0.0}};
    EXPECT_THROW(SectionFromData(data), EForwardError);
    data.Electrodes = {{5.0, 0.0}, {10.0, 0.0}};
    data.Topography = {{0.0, INFINITY}, {10.0, 0.0}};
    EXPECT_THROW(SectionFromData(data), EForwardError);
}

// The model made: the frame on the area with the relief as its surface;
// the forward computation sees that surface, stands the file's electrodes
// where the file puts them (no elevation mismatch) and takes the host's
// resistivity from the host ring.
TEST(SectionFromData, TheModelsSurfaceIsTheReliefAndTheHostRingHoldsTheMedian)
{
    TMeasuredData data = TwelveElectrodeLine([](double X) { return 120.0 + 3.0 * std::sin(X / 9.0); }, true);
    // A valley between sides at one level: ground, as the user answers.
    const TDataSection section = SectionFromData(data, false);
    const TSectionModel model = DataSectionModel(section);
    EXPECT_TRUE(model.HasProfile);
    EXPECT_EQ(model.ModelArea.left, section.Area.left);
    EXPECT_EQ(model.ModelArea.top, section.Area.top);
    EXPECT_EQ(model.ModelArea.bottom, section.Area.bottom);
    ASSERT_EQ(model.Model.Length(), 1);
    ASSERT_EQ(model.Model[0].Length(), 1);
    EXPECT_EQ(model.Model[0][0].params[psResistivity].AsReal(), section.HostResistivity);

    const TForwardModel ground = PrepareForwardModel(model.Model, model.Nodes, model.ModelArea);
    EXPECT_TRUE(ground.HasRelief);
    EXPECT_EQ(ground.Left, section.Area.left);
    EXPECT_EQ(ground.Right, section.Area.right);
    EXPECT_EQ(ground.Bottom, -section.Area.bottom);
    ASSERT_EQ(ground.Surface.size(), section.Relief.size());
    for (size_t i = 0; i < ground.Surface.size(); ++i) {
        EXPECT_DOUBLE_EQ(ground.Surface[i].x, section.Relief[i].x);
        EXPECT_DOUBLE_EQ(ground.Surface[i].y, section.Relief[i].y);
    }
    ASSERT_EQ(ground.Regions.size(), 1u);
    EXPECT_EQ(ground.Regions[0].resistivity, section.HostResistivity);
    EXPECT_EQ(ElevationMismatch(data, ground), std::nullopt);

    // A level ground: a frame without a profile at the electrodes' height.
    const TSectionModel level = DataSectionModel(SectionFromData(TwelveElectrodeLine({}, false)));
    EXPECT_FALSE(level.HasProfile);
    const TForwardModel flat = PrepareForwardModel(level.Model, level.Nodes, level.ModelArea);
    EXPECT_FALSE(flat.HasRelief);
    EXPECT_EQ(SurfaceElevation(flat, 30.0), 0.0);
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// Measured data of a hole scheme as a file gives them: the electrodes at
// their elevations below 0, the envelope's depths (each hole from 0 down).
TMeasuredData HoleData(THoleArrayKind Kind, std::vector<double> Holes)
{
    THoleLayout layout;
    layout.Kind = Kind;
    layout.Holes = std::move(Holes);
    layout.HoleElectrodes = 8;
    layout.HoleSpacing = 1.5;
    layout.SurfaceElectrodes = Kind == THoleArrayKind::SurfaceHole ? 12 : 0;
    layout.SurfaceFirst = 40.0;
    const TSurvey survey = MakeHoleSurvey(layout, [](double) { return 0.0; }).Survey;
    TMeasuredData data;
    data.Electrodes = survey.Electrodes;
    for (TElectrode& electrode : data.Electrodes)
        electrode.Depth = 0.0;
    SetEnvelopeDepths(data.Electrodes);
    data.HasElevations = true;
    data.Configurations = survey.Configurations;
    for (size_t d = 0; d < data.Configurations.size(); ++d)
        data.Resistivities.push_back(90.0 + static_cast<double>(d % 21));
    return data;
}

// Cross-hole data frame a section spanning the holes three spacings down
// the holes out, reaching three spacings below the deepest electrode; the
// ground at 0 where the holes start, no electrode moved onto it: the forward
// computation keeps every buried one at its elevation.
TEST(SectionFromData, HoleDataFrameTheHolesBySpacingsDownThemAndStayBuried)
{
    const TMeasuredData data = HoleData(THoleArrayKind::Crosshole, {44.0, 56.0});
    const TDataSection section = SectionFromData(data);
    EXPECT_DOUBLE_EQ(section.Area.left, 44.0 - HoleFrameMargin * 1.5);
    EXPECT_DOUBLE_EQ(section.Area.right, 56.0 + HoleFrameMargin * 1.5);
    // The holes start at 0, not at their top electrodes 1.5 m down: the
    // file's z count down from there.
    EXPECT_DOUBLE_EQ(section.Area.top, 0.0);
    EXPECT_TRUE(section.Relief.empty());
    EXPECT_GE(section.Area.bottom, 12.0 + HoleFrameMargin * 1.5);
    EXPECT_LE(section.Area.bottom, 12.0 + 4.0 * 12.0); // no deeper than the data could need
    const TSectionModel model = DataSectionModel(section);
    const TForwardModel ground = PrepareForwardModel(model.Model, model.Nodes, model.ModelArea);
    TSurvey survey = data.Survey();
    ASSERT_NO_THROW(PlaceSurvey(survey, ground));
    for (size_t e = 0; e < survey.Electrodes.size(); ++e) {
        EXPECT_EQ(survey.Electrodes[e].z, data.Electrodes[e].z) << e;
        EXPECT_TRUE(survey.Electrodes[e].Buried()) << e;
        EXPECT_DOUBLE_EQ(survey.Electrodes[e].Depth, -data.Electrodes[e].z) << e;
    }
}

// One hole alone stands at one x: it frames a section all the same; a line
// with a hole keeps the line's electrodes as its ground.
TEST(SectionFromData, ASingleHoleAndALineWithAHoleFrameSectionsToo)
{
    const TDataSection single = SectionFromData(HoleData(THoleArrayKind::SingleHole, {50.0}));
    EXPECT_DOUBLE_EQ(single.Area.left, 50.0 - HoleFrameMargin * 1.5);
    EXPECT_DOUBLE_EQ(single.Area.right, 50.0 + HoleFrameMargin * 1.5);
    EXPECT_GE(single.Area.bottom, 12.0 + HoleFrameMargin * 1.5);

    const TMeasuredData lined = HoleData(THoleArrayKind::SurfaceHole, {46.5});
    const TDataSection section = SectionFromData(lined);
    EXPECT_DOUBLE_EQ(section.Area.left, 40.0 - HoleFrameMargin * 1.5);
    EXPECT_DOUBLE_EQ(section.Area.right, 51.0 + HoleFrameMargin * 1.5);
    EXPECT_DOUBLE_EQ(section.Area.top, 0.0);
    EXPECT_TRUE(section.Relief.empty()); // the line's level ground, not the hole's electrodes
    EXPECT_GE(section.Area.bottom, 12.0 + HoleFrameMargin * 1.5);
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// A line laid on a lake's bottom: the electrodes below the two beside them
// at both ends (those at one level) lie under water; a valley whose sides
// stand at other levels, a slope and a level line hold no lake.
TEST(SectionFromData, ALakesBottomIsFoundBetweenShoresAtOneLevel)
{
    struct TCase {
        const char* Name;
        std::vector<double> Z; // at x 0, 2, 4, ...
        std::vector<std::pair<double, double>> Shores; // x of each lake's shores
    };
    const std::vector<TCase> cases = {
        {"a lake", {0, 0, -1, -3, -3, -1, 0, 0}, {{2, 12}}},
        {"two lakes", {0, -1, 0, 1, 1, -2, -2, 1}, {{0, 4}, {8, 14}}},
        {"shores within a tenth of the spacing", {5, -1, -2, 5.15, 6}, {{0, 6}}},
        {"land sloping to the water: from where it stands at one level", {3, 2, 0, -2, 1.9, 3}, {{0, 10}}},
        {"the left shore lower, the land beyond lower still", {2.5, 1.9, -2, 0, 2, 2.2}, {{2, 8}}},
        {"shores a quarter of the depth apart and more", {3, 1, 0, 2.2, 4}, {}},
        {"a valley between sides at other levels", {4, 2, -1, 0, 3, 6}, {}},
        {"a bottom only a tenth of the spacing deep", {0, -0.2, -0.2, 0}, {}},
        {"a slope", {0, -1, -2, -3, -4}, {}},
        {"a level line", {0, 0, 0, 0}, {}},
        {"a run open at the line's end", {0, -1, -2}, {}},
    };
    for (const TCase& c : cases) {
        std::vector<TGeometryPoint> ground;
        for (size_t i = 0; i < c.Z.size(); ++i)
            ground.push_back({2.0 * static_cast<double>(i), c.Z[i]});
        const std::vector<TDataLake> lakes = LakesOfGround(ground);
        ASSERT_EQ(lakes.size(), c.Shores.size()) << c.Name;
        for (size_t l = 0; l < lakes.size(); ++l) {
            EXPECT_EQ(lakes[l].Shore1.x, c.Shores[l].first) << c.Name;
            EXPECT_EQ(lakes[l].Shore2.x, c.Shores[l].second) << c.Name;
            EXPECT_EQ(lakes[l].Bottom.size(), static_cast<size_t>((c.Shores[l].second - c.Shores[l].first) / 2 - 1))
                << c.Name;
        }
    }
}

// The section of a lake line: its surface the water's level from shore to
// shore (the bottom's electrodes below it, buried), the water a body of
// its own down to them, marked and labelled, its resistivity left to
// fill; the forward computation takes the model once it is filled.
TEST(SectionFromData, ALakeLineFramesTheWaterUnderItsLevel)
{
    const auto bottom = [](double x) { return -std::clamp(std::min(x - 20.0, 50.0 - x) * 0.4, 0.0, 2.0); };
    const TMeasuredData data = TwelveElectrodeLine(bottom, true);
    const TDataSection section = SectionFromData(data);
    ASSERT_EQ(section.Lakes.size(), 1u);
    EXPECT_EQ(section.Lakes[0].Shore1.x, 20.0);
    EXPECT_EQ(section.Lakes[0].Shore2.x, 50.0);
    EXPECT_TRUE(section.Relief.empty()) << "the water's level is the ground's elsewhere: level";
    EXPECT_FALSE(LakesText(section).isEmpty());
    TSectionModel model = DataSectionModel(section);
    ASSERT_EQ(model.Model.Length(), 2);
    TPolygonParams& water = model.Model[1][0].params;
    EXPECT_TRUE(RegionIsWater(water));
    EXPECT_EQ(water[psLabelText].AsText(), "Water");
    EXPECT_TRUE(ParameterNotSet(water[psResistivity]));
    EXPECT_THROW(PrepareForwardModel(model.Model, model.Nodes, model.ModelArea), EForwardError);
    water[psResistivity] = ParamValue(15.0);
    const TForwardModel ground = PrepareForwardModel(model.Model, model.Nodes, model.ModelArea);
    for (const TElectrode& electrode : data.Electrodes) {
        const TGeometryPoint point{electrode.x, electrode.z + 0.05};
        const int region = RegionAt(ground.Geometry, point);
        EXPECT_EQ(region > 0, electrode.x > 20.0 && electrode.x < 50.0) << "x " << electrode.x;
    }
    // Asked to take it as ground: the electrodes' ground is the surface.
    EXPECT_TRUE(SectionFromData(data, false).Lakes.empty());
    EXPECT_FALSE(SectionFromData(data, false).Relief.empty());
}

} // namespace
} // namespace lp
