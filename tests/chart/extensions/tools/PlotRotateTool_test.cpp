// Rotate tool: angles turned by mouse movement, their limits and wrapping,
// the styles, and repainting with and without the wire box.

#include "chart/extensions/tools/PlotRotateTool.h"

#include "ToolsTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TToolChart;

struct TRotateFixture : TToolChart {
    TRotateTool* Tool = new TRotateTool(&Chart);
    TRotateFixture()
    {
        Chart.Tools().Add(Tool);
        Chart.View3DOptions()->SetRotationFloat(10);
        Chart.View3DOptions()->SetElevationFloat(300);
    }
    double Rotation() const { return Chart.View3DOptions()->RotationFloat(); }
    double Elevation() const { return Chart.View3DOptions()->ElevationFloat(); }
};

TEST(RotateTool, AHundredPixelsAcrossAFourHundredPixelChartTurnTwentyTwoAndAHalfDegrees)
{
    TRotateFixture F;
    ASSERT_FALSE(F.Chart.View3D());
    F.Drag({100, 100}, {200, 100});
    EXPECT_DOUBLE_EQ(F.Rotation(), 32.5);
    EXPECT_DOUBLE_EQ(F.Elevation(), 300);
    EXPECT_TRUE(F.Chart.View3D());
    EXPECT_FALSE(F.Chart.View3DOptions()->Orthogonal());
    F.Tool->SetInverted(true);
    F.Drag({100, 100}, {100, 25});
    EXPECT_DOUBLE_EQ(F.Elevation(), 277.5);
}

TEST(RotateTool, WithoutFullRotationTheElevationStaysWithinItsRangeAndTheRotationWraps)
{
    TRotateFixture F;
    ASSERT_FALSE(F.Chart.Canvas().SupportsFullRotation());
    F.Drag({0, 299}, {0, 0});
    EXPECT_DOUBLE_EQ(F.Elevation(), 360);
    F.Drag({0, 0}, {0, 299});
    F.Drag({0, 0}, {0, 299});
    EXPECT_DOUBLE_EQ(F.Elevation(), 270);
    F.Drag({0, 0}, {399, 0});
    F.Drag({0, 0}, {399, 0});
    F.Drag({0, 0}, {399, 0});
    F.Drag({0, 0}, {399, 0});
    EXPECT_NEAR(F.Rotation(), 10 + 4 * 399 * 90.0 / 400 - 360, 1e-9);
    F.Drag({399, 0}, {0, 0});
    EXPECT_GE(F.Rotation(), 0);
}

TEST(RotateTool, WithFullRotationBothAnglesWrapIntoAFullTurn)
{
    TRotateTool Tool;
    double Rotation = 350, Elevation = 10;
    Tool.TurnAngles(Rotation, Elevation, 20, -30, true);
    EXPECT_DOUBLE_EQ(Rotation, 10);
    EXPECT_DOUBLE_EQ(Elevation, 340);
}

TEST(RotateTool, EachStyleTurnsOnlyItsAngle)
{
    TRotateFixture F;
    F.Tool->SetStyle(rsRotation);
    F.Drag({100, 100}, {200, 25});
    EXPECT_DOUBLE_EQ(F.Elevation(), 300);
    EXPECT_DOUBLE_EQ(F.Rotation(), 32.5);
    F.Tool->SetStyle(rsElevation);
    F.Drag({100, 100}, {200, 25});
    EXPECT_DOUBLE_EQ(F.Rotation(), 32.5);
    EXPECT_DOUBLE_EQ(F.Elevation(), 322.5);
}

TEST(RotateTool, WithoutTheWireBoxTheChartRepaintsAtEveryStep)
{
    TRotateFixture F;
    int Steps = 0;
    F.Tool->OnRotate = [&](QObject*) { ++Steps; };
    F.Press(100, 100);
    const int Before = F.Chart.Invalidations;
    F.Move(110, 100);
    const int AfterFirst = F.Chart.Invalidations;
    F.Move(120, 100);
    F.Release(120, 100);
    EXPECT_GT(AfterFirst, Before);
    EXPECT_GT(F.Chart.Invalidations, AfterFirst);
    EXPECT_EQ(Steps, 2);
}

TEST(RotateTool, WithTheWireBoxTheChartRepaintsOnceAtTheRelease)
{
    TRotateFixture F;
    F.Tool->Pen()->SetVisible(true);
    F.Press(100, 100);
    const int Before = F.Chart.Invalidations;
    F.Move(110, 100);
    F.Move(120, 110);
    EXPECT_EQ(F.Chart.Invalidations, Before);
    EXPECT_FALSE(F.Chart.RepaintEnabled());
    F.Release(120, 110);
    EXPECT_TRUE(F.Chart.RepaintEnabled());
    EXPECT_EQ(F.Chart.Invalidations, Before + 1);
    EXPECT_DOUBLE_EQ(F.Rotation(), 10 + 20 * 90.0 / 400);
}

// A press and release without a step must not put back a repaint switch
// that was never saved.
TEST(RotateTool, APressWithoutMovementLeavesRepaintingOn)
{
    TRotateFixture F;
    F.Tool->Pen()->SetVisible(true);
    F.Drag({100, 100}, {100, 100});
    F.Press(50, 50);
    F.Release(50, 50);
    EXPECT_TRUE(F.Chart.RepaintEnabled());
}

} // namespace
} // namespace lp
