#include "chart/canvas/PlotShapes.h"

#include "platform/core/PropertyInfo.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// A panel whose canvas draws straight onto a white 200 x 200 bitmap.
struct PlotShapeDrawing : ::testing::Test {
    TCustomPlotPanel panel;
    TBitmap bitmap{200, 200};
    TPlotShape shape{&panel};
    void SetUp() override
    {
        panel.SetBufferedDisplay(false);
        panel.Canvas().InitWindow(&bitmap.Canvas(), panel.View3DOptions(), clWhite, false, {0, 0, 200, 200});
        shape.Shadow()->SetSmooth(false);
        shape.Pen()->SetColor(clBlack);
        shape.SetColor(clRed);
    }
    void TearDown() override { panel.Canvas().SetCanvas(nullptr); }
    TColor Pixel(int X, int Y) const { return const_cast<TBitmap&>(bitmap).Canvas().Pixel(X, Y); }
};

// --- Defaults and properties ---

TEST(PlotShapeDefaults, NewShapeHasItsDocumentedDefaults)
{
    TPlotShape shape;
    EXPECT_TRUE(shape.Visible());
    EXPECT_EQ(shape.Bevel(), bvNone);
    EXPECT_EQ(shape.BevelWidth(), 2);
    EXPECT_EQ(shape.Color(), clWhite);
    EXPECT_EQ(shape.ShapeStyle(), fosRectangle);
    EXPECT_EQ(shape.TextFormat(), ttfNormal);
    EXPECT_EQ(shape.Transparency(), 0);
    EXPECT_FALSE(shape.HasGradient());
    ASSERT_NE(shape.Shadow(), nullptr);
    EXPECT_EQ(shape.Shadow()->Color(), clBlack);
    EXPECT_EQ(shape.Shadow()->HorizSize(), 3);
    EXPECT_EQ(shape.Shadow()->VertSize(), 3);
    EXPECT_FALSE(IsPropertyStored(shape.Shadow(), "Color"));
    EXPECT_FALSE(IsPropertyStored(shape.Shadow(), "HorizSize"));
    for (const char* name : {"Bevel", "BevelWidth", "Color", "ShapeStyle", "Transparent"})
        EXPECT_FALSE(IsPropertyStored(&shape, name)) << name;
}

TEST(PlotShapeDefaults, TransparentIsStoredAgainstTheDescendantsDefault)
{
    TPlotShape shape;
    shape.SetDefaultTransparent(true);
    EXPECT_TRUE(IsPropertyStored(&shape, "Transparent"));
    shape.SetTransparent(true);
    EXPECT_FALSE(IsPropertyStored(&shape, "Transparent"));
}

TEST(PlotShapeDefaults, WidthAndHeightCountBothEdges)
{
    TPlotShape shape;
    shape.SetShapeBounds({5, 6, 5, 6});
    shape.SetWidth(10);
    shape.SetHeight(4);
    EXPECT_EQ(shape.Width(), 10);
    EXPECT_EQ(shape.Height(), 4);
    EXPECT_EQ(shape.ShapeBounds(), (TRect{5, 6, 14, 9}));
    shape.SetShapeBounds({-2147483647 - 1, 0, 2147483647, 0});
    EXPECT_THROW(shape.Width(), ERangeError);
}

TEST(PlotShapeDefaults, TransparencyOutsidePercentIsARangeError)
{
    TPlotShape shape;
    EXPECT_THROW(shape.SetTransparency(101), ERangeError);
    shape.SetTransparency(40);
    EXPECT_EQ(shape.Transparency(), 40);
}

TEST(PlotShapeDefaults, AssignCopiesEverythingAndAMissingGradientFreesTheTargets)
{
    TPlotShape source;
    source.SetBevel(bvRaised);
    source.SetBevelWidth(4);
    source.SetColor(clBlue);
    source.SetShapeStyle(fosRoundRectangle);
    source.SetTextFormat(ttfHtml);
    source.SetTransparency(20);
    source.Shadow()->SetSize(7);
    source.Pen()->SetWidth(3);
    source.Hide();
    TPlotShape target;
    target.Gradient()->SetVisible(true);
    target.Assign(&source);
    EXPECT_EQ(target.Bevel(), bvRaised);
    EXPECT_EQ(target.BevelWidth(), 4);
    EXPECT_EQ(target.Color(), clBlue);
    EXPECT_EQ(target.ShapeStyle(), fosRoundRectangle);
    EXPECT_EQ(target.TextFormat(), ttfHtml);
    EXPECT_EQ(target.Transparency(), 20);
    EXPECT_EQ(target.Shadow()->HorizSize(), 7);
    EXPECT_EQ(target.Pen()->Width(), 3);
    EXPECT_FALSE(target.Visible());
    EXPECT_FALSE(target.HasGradient());
}

// --- Old stored names ---

TEST(PlotShapeStorage, OldShadowColorByNameOrNumberAndShadowSize)
{
    TPlotShape shape;
    EXPECT_TRUE(shape.ReadOldProperty("ShadowColor", QStringLiteral("clRed")));
    EXPECT_EQ(shape.Shadow()->Color(), clRed);
    EXPECT_TRUE(shape.ReadOldProperty("ShadowColor", 0xFF0000));
    EXPECT_EQ(shape.Shadow()->Color(), clBlue);
    EXPECT_TRUE(shape.ReadOldProperty("ShadowSize", 5));
    EXPECT_EQ(shape.Shadow()->HorizSize(), 5);
    EXPECT_EQ(shape.Shadow()->VertSize(), 5);
    EXPECT_THROW(shape.ReadOldProperty("ShadowColor", QStringLiteral("clNoSuchColour")), EConvertError);
    EXPECT_FALSE(shape.ReadOldProperty("ShadowStyle", 1));
}

TEST(PlotShapeStorage, OldShadowNamesRecreateAFreedShadow)
{
    TPlotShape shape;
    shape.SetShadow(nullptr);
    EXPECT_EQ(shape.Shadow(), nullptr);
    EXPECT_TRUE(shape.ReadOldProperty("ShadowSize", 2));
    ASSERT_NE(shape.Shadow(), nullptr);
    EXPECT_EQ(shape.Shadow()->VertSize(), 2);
}

// --- Rotated outline ---

TEST(PlotShapeOutline, Angle90TurnsA100x20RectangleInto20x100AroundItsCentre)
{
    const TFourPoints p = TPlotCustomShape::RotatedCorners({0, 0, 100, 20}, 90);
    EXPECT_EQ(p[0], (TPoint{40, 60}));
    EXPECT_EQ(p[1], (TPoint{40, -40}));
    EXPECT_EQ(p[2], (TPoint{60, -40}));
    EXPECT_EQ(p[3], (TPoint{60, 60}));
}

// --- Drawing ---

TEST_F(PlotShapeDrawing, TransparentShapeDrawsNeitherFrameFillNorShadow)
{
    shape.SetTransparent(true);
    shape.SetShapeBounds({10, 10, 50, 40});
    shape.Draw();
    for (const auto& [x, y] : {std::pair{10, 10}, {30, 25}, {51, 30}, {49, 39}})
        EXPECT_EQ(Pixel(x, y), clWhite) << x << "," << y;
}

TEST_F(PlotShapeDrawing, RectangleDrawsFillFrameAndShadow)
{
    shape.SetShapeBounds({10, 10, 50, 40});
    shape.Draw();
    EXPECT_EQ(Pixel(30, 25), clRed);
    EXPECT_EQ(Pixel(10, 25), clBlack);
    EXPECT_EQ(Pixel(49, 25), clBlack);
    EXPECT_EQ(Pixel(51, 30), clBlack); // the shadow band on the right
    EXPECT_EQ(Pixel(53, 30), clWhite);
}

TEST_F(PlotShapeDrawing, InvisibleFramePenDrawsOnlyTheFill)
{
    shape.Pen()->SetVisible(false);
    shape.Shadow()->SetSize(0);
    shape.SetShapeBounds({10, 10, 50, 40});
    shape.Draw();
    EXPECT_EQ(Pixel(10, 25), clRed);
}

TEST_F(PlotShapeDrawing, RoundedShapeWithoutTransparencyDrawsNoShadow)
{
    shape.SetShapeStyle(fosRoundRectangle);
    shape.SetShapeBounds({10, 10, 50, 40});
    shape.Draw();
    EXPECT_EQ(Pixel(30, 25), clRed);
    EXPECT_EQ(Pixel(10, 10), clWhite); // rounded corner
    EXPECT_EQ(Pixel(51, 30), clWhite);
}

TEST_F(PlotShapeDrawing, RoundedShapeWithTransparencyDrawsTheOffsetCopy)
{
    shape.SetShapeStyle(fosRoundRectangle);
    shape.SetTransparency(30);
    shape.SetShapeBounds({10, 10, 50, 40});
    shape.Draw();
    // Offset by the shadow size 3 plus the pen width 1, outside the blend.
    EXPECT_EQ(Pixel(52, 30), clBlack);
    EXPECT_EQ(Pixel(54, 30), clWhite);
    // Inside the blend the red fill is mixed 30 % with the white behind.
    const TColor mixed = Pixel(30, 20);
    EXPECT_NE(mixed, clRed);
    EXPECT_NE(mixed, clWhite);
}

TEST_F(PlotShapeDrawing, RectangleWithTransparencyDrawsShadowAndOffsetCopy)
{
    // A wide pen moves the offset copy (shadow size + pen width) beyond the
    // 3-pixel rectangle shadow.
    shape.Pen()->SetWidth(5);
    shape.SetTransparency(30);
    shape.SetShapeBounds({10, 10, 50, 40});
    shape.Draw();
    EXPECT_EQ(Pixel(55, 30), clBlack); // only the offset copy reaches here
    EXPECT_EQ(Pixel(57, 30), clWhite);

    // Without transparency the rectangle shadow alone stops at 3 pixels.
    TBitmap plain(200, 200);
    panel.Canvas().SetCanvas(&plain.Canvas());
    shape.SetTransparency(0);
    shape.Pen()->SetVisible(false);
    shape.Draw();
    EXPECT_EQ(plain.Canvas().Pixel(52, 30), clBlack);
    EXPECT_EQ(plain.Canvas().Pixel(53, 30), clWhite);
}

TEST_F(PlotShapeDrawing, BevelIsDrawnAtAngleZeroOnly)
{
    shape.Shadow()->SetSize(0);
    shape.Pen()->SetVisible(false);
    shape.SetBevel(bvRaised);
    shape.SetBevelWidth(1);
    shape.SetShapeBounds({10, 10, 50, 40});
    shape.Draw();
    EXPECT_EQ(Pixel(10, 25), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Pixel(49, 25), ColorToRGB(clBtnShadow));

    TBitmap turned(200, 200);
    panel.Canvas().SetCanvas(&turned.Canvas());
    shape.DrawRectRotated({50, 50, 150, 70}, 90, 0);
    EXPECT_EQ(turned.Canvas().Pixel(100, 60), clRed);
    EXPECT_EQ(turned.Canvas().Pixel(100, 15), clRed);   // the turned shape reaches up to 10
    EXPECT_EQ(turned.Canvas().Pixel(50, 60), clWhite);  // nothing at the unturned left edge
    EXPECT_EQ(turned.Canvas().Pixel(120, 60), clWhite); // 20 wide only
}

TEST_F(PlotShapeDrawing, VisibleGradientReplacesTheBrush)
{
    shape.Shadow()->SetSize(0);
    shape.Gradient()->SetVisible(true);
    shape.Gradient()->SetStartColor(clBlue);
    shape.Gradient()->SetEndColor(clBlue);
    shape.SetShapeBounds({10, 10, 50, 40});
    shape.Draw();
    EXPECT_EQ(Pixel(30, 25), clBlue);
    EXPECT_EQ(Pixel(10, 25), clBlack);
}

TEST_F(PlotShapeDrawing, ShapeWithoutPanelDrawsNothingAndSettersJustStore)
{
    TPlotShape loose;
    loose.SetColor(clRed);
    loose.SetVisible(false);
    loose.SetShapeBounds({10, 10, 50, 40});
    loose.Draw();
    EXPECT_EQ(loose.Color(), clRed);
    EXPECT_EQ(Pixel(30, 25), clWhite);
}

} // namespace
} // namespace lp
