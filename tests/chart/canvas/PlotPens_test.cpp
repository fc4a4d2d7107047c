#include "chart/canvas/PlotPens.h"

#include "platform/core/PropertyInfo.h"
#include "platform/graphics/RecordingDC.h"

#include <gtest/gtest.h>

#include <climits>

namespace lp {
namespace {

// Counts the change signals of an object.
struct TChangeCounter {
    int Count = 0;
    TGraphicsChangeEvent Event()
    {
        return [this](TGraphicsObject*) { ++Count; };
    }
};

// --- TChartPen -----------------------------------------------------------------------------------

TEST(ChartPen, StartsWithTheDocumentedValues)
{
    TChartPen pen;
    EXPECT_EQ(pen.EndStyle(), esRound);
    EXPECT_FALSE(pen.SmallDots());
    EXPECT_EQ(pen.SmallSpace(), 0);
    EXPECT_TRUE(pen.Visible());
    EXPECT_EQ(pen.DefaultEndStyle(), esRound);
    EXPECT_TRUE(pen.DefaultVisible());
    EXPECT_EQ(pen.Color(), clBlack);
    EXPECT_EQ(pen.Mode(), TPen::pmCopy);
    EXPECT_EQ(pen.Style(), TPen::psSolid);
    EXPECT_EQ(pen.Width(), 1);
    for (const char* name : {"Color", "Mode", "Style", "Width", "EndStyle", "SmallDots", "SmallSpace", "Visible"})
        EXPECT_FALSE(IsPropertyStored(&pen, name)) << name;
}

TEST(ChartPen, SettersSignalOnlyRealChanges)
{
    TChangeCounter changes;
    TChartPen pen(changes.Event());
    pen.SetEndStyle(esRound);
    pen.SetSmallDots(false);
    pen.SetSmallSpace(0);
    pen.SetVisible(true);
    EXPECT_EQ(changes.Count, 0);
    pen.SetEndStyle(esFlat);
    pen.SetSmallDots(true);
    pen.SetSmallSpace(3);
    pen.Hide();
    EXPECT_EQ(changes.Count, 4);
    EXPECT_FALSE(pen.Visible());
    pen.Show();
    EXPECT_TRUE(pen.Visible());
    EXPECT_EQ(changes.Count, 5);
    // Moving the defaults is silent.
    pen.SetDefaultEndStyle(esSquare);
    pen.SetDefaultVisible(false);
    EXPECT_EQ(changes.Count, 5);
}

TEST(ChartPen, AssignCopiesChartValuesFromChartPensOnly)
{
    TChartPen source;
    source.SetEndStyle(esSquare);
    source.SetSmallDots(true);
    source.SetSmallSpace(4);
    source.Hide();
    source.SetColor(clRed);
    source.SetWidth(3);
    source.SetMode(TPen::pmXor);
    TChartPen target;
    target.Assign(&source);
    EXPECT_EQ(target.EndStyle(), esSquare);
    EXPECT_TRUE(target.SmallDots());
    EXPECT_EQ(target.SmallSpace(), 4);
    EXPECT_FALSE(target.Visible());
    EXPECT_EQ(target.Color(), clRed);
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(target.Mode(), TPen::pmXor);

    TPen plain;
    plain.SetColor(clBlue);
    target.Assign(&plain);
    EXPECT_EQ(target.Color(), clBlue);
    EXPECT_EQ(target.Width(), 1);
    EXPECT_FALSE(target.Visible()); // not a chart pen: the chart values stay
    EXPECT_TRUE(target.SmallDots());
}

TEST(ChartPen, HiddenPenIsStoredOnlyOnceShown)
{
    TChartHiddenPen pen;
    EXPECT_FALSE(pen.Visible());
    EXPECT_FALSE(pen.DefaultVisible());
    EXPECT_FALSE(IsPropertyStored(&pen, "Visible"));
    EXPECT_EQ(PropertyDefault(&pen, "Visible").toBool(), false);
    pen.SetVisible(true);
    EXPECT_TRUE(IsPropertyStored(&pen, "Visible"));
    EXPECT_EQ(pen.property("Visible").toBool(), true);
}

struct TEndStyleStoredRow {
    TPenEndStyle Value;
    bool Stored;
};

class ChartPenFlatDefault : public ::testing::TestWithParam<TEndStyleStoredRow> {};

TEST_P(ChartPenFlatDefault, EndStyleIsStoredOnlyWhenItDiffersFromTheOwnersDefault)
{
    TChartPen pen;
    pen.SetDefaultEndStyle(esFlat);
    pen.SetEndStyle(GetParam().Value);
    EXPECT_EQ(IsPropertyStored(&pen, "EndStyle"), GetParam().Stored);
}

INSTANTIATE_TEST_SUITE_P(EndStyles, ChartPenFlatDefault,
                         ::testing::Values(TEndStyleStoredRow{esRound, true}, TEndStyleStoredRow{esSquare, true},
                                           TEndStyleStoredRow{esFlat, false}));

TEST(ChartPen, SmallDotsAndSpaceAreStoredWhenChanged)
{
    TChartPen pen;
    pen.SetSmallDots(true);
    pen.SetSmallSpace(2);
    EXPECT_TRUE(IsPropertyStored(&pen, "SmallDots"));
    EXPECT_TRUE(IsPropertyStored(&pen, "SmallSpace"));
}

struct TPresetRow {
    std::function<std::unique_ptr<TChartPen>(TGraphicsChangeEvent)> Make;
    TColor Color;
    TPenStyle Style;
    bool Visible;
};

class PresetPens : public ::testing::TestWithParam<TPresetRow> {};

TEST_P(PresetPens, ConstructorValuesAreThePublishedDefaults)
{
    TChangeCounter changes;
    const std::unique_ptr<TChartPen> pen = GetParam().Make(changes.Event());
    // An owner building its pen hears of no change.
    EXPECT_EQ(changes.Count, 0);
    EXPECT_EQ(pen->Color(), GetParam().Color);
    EXPECT_EQ(pen->Style(), GetParam().Style);
    EXPECT_EQ(pen->Visible(), GetParam().Visible);
    EXPECT_EQ(PropertyDefault(pen.get(), "Color").toInt(), GetParam().Color);
    EXPECT_EQ(PropertyDefault(pen.get(), "Style").value<TPenStyle>(), GetParam().Style);
    for (const char* name : {"Color", "Style", "Visible", "Width"})
        EXPECT_FALSE(IsPropertyStored(pen.get(), name)) << name;
    pen->SetColor(clLime);
    EXPECT_TRUE(IsPropertyStored(pen.get(), "Color"));
    EXPECT_EQ(changes.Count, 1);
}

INSTANTIATE_TEST_SUITE_P(
    ChartPen, PresetPens,
    ::testing::Values(
        TPresetRow{[](TGraphicsChangeEvent e) { return std::make_unique<TChartPen>(std::move(e)); }, clBlack,
                   TPen::psSolid, true},
        TPresetRow{[](TGraphicsChangeEvent e) { return std::make_unique<TChartHiddenPen>(std::move(e)); }, clBlack,
                   TPen::psSolid, false},
        TPresetRow{[](TGraphicsChangeEvent e) { return std::make_unique<TDottedGrayPen>(std::move(e)); }, 0x808080,
                   TPen::psDot, true},
        TPresetRow{[](TGraphicsChangeEvent e) { return std::make_unique<TDarkGrayPen>(std::move(e)); }, 0x808080,
                   TPen::psSolid, true},
        TPresetRow{[](TGraphicsChangeEvent e) { return std::make_unique<TWhitePen>(std::move(e)); }, 0xFFFFFF,
                   TPen::psSolid, true}));

// --- Device pens ----------------------------------------------------------------------------------

TEST(DevicePens, SmallDotsWithoutSpacingSetEveryOtherPixel)
{
    TRecordingDC dc;
    TChartPen pen;
    pen.SetSmallDots(true);
    pen.SetWidth(5);
    pen.SetStyle(TPen::psDash);
    pen.SetMode(TPen::pmNotXor);
    TPen target;
    CreateDevicePen(pen, clRed, target, dc);
    ASSERT_TRUE(target.HasHandle());
    const TLogPen device = target.LogPen();
    EXPECT_EQ(device.Style, PS_ALTERNATE);
    EXPECT_FALSE(device.Geometric);
    EXPECT_EQ(device.Width, 1);
    EXPECT_EQ(device.Color, clRed);
    EXPECT_EQ(target.Mode(), TPen::pmNotXor);
    EXPECT_EQ(dc.ROP2(), R2_NOTXORPEN);
}

struct TSmallSpaceRow {
    int Space;
    uint32_t Gap;
};

class SmallDotsSpacing : public ::testing::TestWithParam<TSmallSpaceRow> {};

TEST_P(SmallDotsSpacing, DrawsOneDotEverySpacePlusOnePixels)
{
    TRecordingDC dc;
    TChartPen pen;
    pen.SetSmallDots(true);
    pen.SetSmallSpace(GetParam().Space);
    TPen target;
    CreateDevicePen(pen, clBlue, target, dc);
    const TLogPen device = target.LogPen();
    EXPECT_EQ(device.Style, PS_USERSTYLE);
    EXPECT_TRUE(device.Geometric);
    EXPECT_EQ(device.Width, 1);
    EXPECT_EQ(device.Color, clBlue);
    EXPECT_EQ(device.UserStyle, (std::vector<uint32_t>{0u, GetParam().Gap}));
}

INSTANTIATE_TEST_SUITE_P(DevicePens, SmallDotsSpacing,
                         ::testing::Values(TSmallSpaceRow{1, 2}, TSmallSpaceRow{2, 3}, TSmallSpaceRow{10, 11}));

TEST(DevicePens, SmallDotsSpacingBeyond32BitsRaises)
{
    EXPECT_THROW(CreateSmallDotsPen(clBlack, INT_MAX), ERangeError);
    EXPECT_EQ(CreateSmallDotsPen(clBlack, -5).Style, PS_ALTERNATE);
}

TEST(DevicePens, ThinPenIsCopiedWithTheColour)
{
    TRecordingDC dc;
    TChartPen pen;
    pen.SetStyle(TPen::psDashDot);
    pen.SetEndStyle(esFlat);
    TPen target;
    target.SetHandle(CreateSmallDotsPen(clBlack, 3));
    CreateDevicePen(pen, clGreen, target, dc);
    EXPECT_FALSE(target.HasHandle());
    EXPECT_EQ(target.Style(), TPen::psDashDot);
    EXPECT_EQ(target.Color(), clGreen);
    EXPECT_EQ(target.LogPen().EndCap, PS_ENDCAP_ROUND);
}

struct TGeometricRow {
    TPenStyle Style;
    TPenEndStyle EndStyle;
    int StyleCode;
    int Flags; // cap | join
};

class GeometricDevicePens : public ::testing::TestWithParam<TGeometricRow> {};

TEST_P(GeometricDevicePens, CarryStyleCapsJoinsAndWidth)
{
    TRecordingDC dc;
    TChartPen pen;
    pen.SetWidth(3);
    pen.SetStyle(GetParam().Style);
    pen.SetEndStyle(GetParam().EndStyle);
    pen.SetMode(TPen::pmXor);
    TPen target;
    CreateDevicePen(pen, clRed, target, dc);
    ASSERT_TRUE(target.HasHandle());
    const TLogPen device = target.LogPen();
    EXPECT_TRUE(device.Geometric);
    EXPECT_EQ(device.Style, GetParam().StyleCode);
    EXPECT_EQ(device.EndCap | device.Join, GetParam().Flags);
    EXPECT_EQ(PenEndStyleFlags(GetParam().EndStyle), GetParam().Flags);
    EXPECT_EQ(device.Width, 3);
    EXPECT_EQ(device.Color, clRed);
    EXPECT_TRUE(device.UserStyle.empty());
    EXPECT_EQ(target.Color(), clRed);
    EXPECT_EQ(dc.ROP2(), R2_XORPEN);
}

INSTANTIATE_TEST_SUITE_P(
    DevicePens, GeometricDevicePens,
    ::testing::Values(TGeometricRow{TPen::psSolid, esRound, PS_SOLID, 0x0000},
                      TGeometricRow{TPen::psDot, esSquare, PS_DOT, 0x1100},
                      TGeometricRow{TPen::psDash, esFlat, PS_DASH, 0x2200},
                      TGeometricRow{TPen::psDashDot, esRound, PS_DASHDOT, 0x0000},
                      TGeometricRow{TPen::psDashDotDot, esSquare, PS_DASHDOTDOT, 0x1100},
                      TGeometricRow{TPen::psClear, esFlat, PS_NULL, 0x2200},
                      TGeometricRow{TPen::psInsideFrame, esRound, PS_INSIDEFRAME, 0x0000}));

// --- TChartBrush ----------------------------------------------------------------------------------

TEST(ChartBrush, StartsWithTheDefaultColourMark)
{
    TChartBrush brush;
    EXPECT_EQ(brush.Color(), clDefault);
    EXPECT_EQ(brush.Style(), TBrush::bsSolid);
    EXPECT_EQ(PropertyDefault(&brush, "Color").toInt(), 0x20000000);
    EXPECT_FALSE(IsPropertyStored(&brush, "Color"));
    EXPECT_FALSE(IsPropertyStored(&brush, "Style"));
    EXPECT_EQ(brush.ImageIfCreated(), nullptr);
    brush.SetColor(clRed);
    EXPECT_TRUE(IsPropertyStored(&brush, "Color"));
}

TEST(ChartBrush, PictureIsCreatedOnFirstReadAndReportsAsTheBrush)
{
    TChangeCounter changes;
    TChartBrush brush(changes.Event());
    TPicture* picture = brush.Image();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(brush.Image(), picture);
    EXPECT_EQ(changes.Count, 0);
    EXPECT_FALSE(brush.HasImage());
    TBitmap bitmap(2, 2);
    picture->SetGraphic(&bitmap);
    EXPECT_GE(changes.Count, 1);
    EXPECT_TRUE(brush.HasImage());
}

TEST(ChartBrush, WritingAPictureCopiesItAndNilFreesIt)
{
    TChangeCounter changes;
    TChartBrush brush(changes.Event());
    TPicture source;
    TBitmap bitmap(3, 2);
    source.SetGraphic(&bitmap);
    brush.SetImage(&source);
    ASSERT_NE(brush.ImageIfCreated(), nullptr);
    EXPECT_NE(brush.ImageIfCreated(), &source);
    EXPECT_EQ(brush.Image()->Width(), 3);
    const int afterCopy = changes.Count;
    EXPECT_GE(afterCopy, 1);
    brush.SetImage(nullptr);
    EXPECT_EQ(brush.ImageIfCreated(), nullptr);
    EXPECT_EQ(changes.Count, afterCopy + 1);
}

TEST(ChartBrush, AssignFromABrushWithoutPictureFreesThePicture)
{
    TChartBrush target;
    TBitmap bitmap(2, 2);
    target.Image()->SetGraphic(&bitmap);
    TChartBrush source;
    source.SetColor(clBlue);
    source.SetStyle(TBrush::bsFDiagonal);
    target.Assign(&source);
    EXPECT_EQ(target.ImageIfCreated(), nullptr);
    EXPECT_EQ(target.Color(), clBlue);
    EXPECT_EQ(target.Style(), TBrush::bsFDiagonal);

    source.Image()->SetGraphic(&bitmap);
    target.Assign(&source);
    ASSERT_NE(target.ImageIfCreated(), nullptr);
    EXPECT_NE(target.ImageIfCreated(), source.ImageIfCreated());
    EXPECT_EQ(target.Image()->Width(), 2);

    // A plain brush brings only its own values.
    TBrush plain;
    plain.SetColor(clRed);
    target.Assign(&plain);
    EXPECT_EQ(target.Color(), clRed);
    EXPECT_NE(target.ImageIfCreated(), nullptr);
}

// --- TView3DOptions -------------------------------------------------------------------------------

struct TViewDefaultRow {
    const char* Name;
    QVariant Value;
};

class View3DDefaults : public ::testing::TestWithParam<TViewDefaultRow> {};

TEST_P(View3DDefaults, ReadBackThroughTheMetaObjectAndAreNotStored)
{
    TView3DOptions options;
    EXPECT_TRUE(HasPropertyDefault(&options, GetParam().Name));
    EXPECT_EQ(PropertyDefault(&options, GetParam().Name), GetParam().Value);
    EXPECT_EQ(options.property(GetParam().Name), GetParam().Value);
    EXPECT_FALSE(IsPropertyStored(&options, GetParam().Name));
}

INSTANTIATE_TEST_SUITE_P(
    View3DOptions, View3DDefaults,
    ::testing::Values(TViewDefaultRow{"Elevation", 345}, TViewDefaultRow{"FontZoom", 100},
                      TViewDefaultRow{"HorizOffset", 0}, TViewDefaultRow{"Orthogonal", true},
                      TViewDefaultRow{"OrthoAngle", 45}, TViewDefaultRow{"Perspective", 15},
                      TViewDefaultRow{"Rotation", 345}, TViewDefaultRow{"Tilt", 0},
                      TViewDefaultRow{"VertOffset", 0}, TViewDefaultRow{"Zoom", 100},
                      TViewDefaultRow{"ZoomText", true}));

TEST(View3DOptions, PublishesTheElevenPropertiesInOrder)
{
    TView3DOptions options;
    QStringList names;
    for (const QMetaProperty& property : PublishedProperties(&options))
        names << property.name();
    EXPECT_EQ(names, (QStringList{"Elevation", "FontZoom", "HorizOffset", "Orthogonal", "OrthoAngle", "Perspective",
                                  "Rotation", "Tilt", "VertOffset", "Zoom", "ZoomText"}));
}

struct TViewSetterRow {
    const char* Name;
    QVariant Changed;
};

class View3DSetters : public ::testing::TestWithParam<TViewSetterRow> {};

TEST_P(View3DSetters, RepaintOnlyWhenTheValueChanges)
{
    int repaints = 0;
    TView3DOptions options(nullptr, [&] { ++repaints; });
    const QVariant original = options.property(GetParam().Name);
    options.setProperty(GetParam().Name, original);
    EXPECT_EQ(repaints, 0);
    options.setProperty(GetParam().Name, GetParam().Changed);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(options.property(GetParam().Name), GetParam().Changed);
    EXPECT_TRUE(IsPropertyStored(&options, GetParam().Name));
    options.setProperty(GetParam().Name, GetParam().Changed);
    EXPECT_EQ(repaints, 1);
}

INSTANTIATE_TEST_SUITE_P(
    View3DOptions, View3DSetters,
    ::testing::Values(TViewSetterRow{"Elevation", 300}, TViewSetterRow{"FontZoom", 120},
                      TViewSetterRow{"HorizOffset", 7}, TViewSetterRow{"Orthogonal", false},
                      TViewSetterRow{"OrthoAngle", 60}, TViewSetterRow{"Perspective", 0},
                      TViewSetterRow{"Rotation", 10}, TViewSetterRow{"Tilt", 5}, TViewSetterRow{"VertOffset", -3},
                      TViewSetterRow{"Zoom", 150}, TViewSetterRow{"ZoomText", false}));

TEST(View3DOptions, RotationHeldAsARealRoundsForThePublishedValue)
{
    int repaints = 0;
    TView3DOptions options(nullptr, [&] { ++repaints; });
    options.SetRotation(345);
    EXPECT_EQ(repaints, 0);
    options.SetRotationFloat(345.4);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(options.Rotation(), 345);
    EXPECT_DOUBLE_EQ(options.RotationFloat(), 345.4);
    // The integer form replaces the fraction.
    options.SetRotation(345);
    EXPECT_EQ(repaints, 2);
    EXPECT_DOUBLE_EQ(options.RotationFloat(), 345.0);
    options.SetRotationFloat(344.5);
    EXPECT_EQ(options.Rotation(), 344); // half to even
    options.SetElevationFloat(10.5);
    EXPECT_EQ(options.Elevation(), 10);
    options.SetElevationFloat(11.5);
    EXPECT_EQ(options.Elevation(), 12);
}

TEST(View3DOptions, AnglesBeyond32BitsRaiseWhenRead)
{
    TView3DOptions options;
    options.SetRotationFloat(1e12);
    EXPECT_THROW(options.Rotation(), ERangeError);
    options.SetElevationFloat(-1e12);
    EXPECT_THROW(options.Elevation(), ERangeError);
}

TEST(View3DOptions, OffsetChangesAreReportedAfterTheRepaint)
{
    QStringList events;
    TView3DOptions options(nullptr, [&] { events << "repaint"; });
    options.OnOffsetChange = [&](bool horizontal) { events << (horizontal ? "horizontal" : "vertical"); };
    options.SetHorizOffset(5);
    options.SetVertOffset(6);
    options.SetVertOffset(6);
    EXPECT_EQ(events, (QStringList{"repaint", "horizontal", "repaint", "vertical"}));
}

TEST(View3DOptions, ZoomChangeIsReportedBeforeTheNewZoomIsStored)
{
    QStringList events;
    TView3DOptions options(nullptr, [&] { events << "repaint"; });
    options.OnZoomChange = [&](int newZoom) {
        events << QStringLiteral("zoom %1 -> %2").arg(options.Zoom()).arg(newZoom);
    };
    options.SetZoom(120);
    options.SetZoom(120);
    EXPECT_EQ(events, (QStringList{"zoom 100 -> 120", "repaint"}));
    EXPECT_EQ(options.Zoom(), 120);
}

struct TOrthoRow {
    bool Orthogonal;
    int Angle;
    double Ratio;
};

class OrthoRatios : public ::testing::TestWithParam<TOrthoRow> {};

TEST_P(OrthoRatios, AreTheTangentOfTheMirroredAngle)
{
    TView3DOptions options;
    options.SetOrthogonal(GetParam().Orthogonal);
    options.SetOrthoAngle(GetParam().Angle);
    EXPECT_NEAR(options.CalcOrthoRatio(), GetParam().Ratio, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(View3DOptions, OrthoRatios,
                         ::testing::Values(TOrthoRow{true, 45, 1.0}, TOrthoRow{true, 135, 1.0},
                                           TOrthoRow{true, 60, std::sqrt(3.0)},
                                           TOrthoRow{true, 120, std::sqrt(3.0)}, TOrthoRow{true, 0, 0.0},
                                           // 90 degrees: no ratio so large that depths overflow
                                           TOrthoRow{true, 90, 1.0}, TOrthoRow{false, 60, 1.0}));

TEST(View3DOptions, AssignCopiesTheValuesButNotCallbacksOrParent)
{
    TComponent panel;
    int sourceRepaints = 0;
    int targetRepaints = 0;
    TView3DOptions source(nullptr, [&] { ++sourceRepaints; });
    source.SetRotationFloat(12.75);
    source.SetElevationFloat(300.25);
    source.SetFontZoom(90);
    source.SetHorizOffset(3);
    source.SetOrthogonal(false);
    source.SetOrthoAngle(30);
    source.SetPerspective(40);
    source.SetTilt(8);
    source.SetVertOffset(-4);
    source.SetZoom(80);
    source.SetZoomText(false);
    TView3DOptions target(&panel, [&] { ++targetRepaints; });
    bool zoomReported = false;
    target.OnZoomChange = [&](int) { zoomReported = true; };
    target.Assign(&source);
    EXPECT_EQ(targetRepaints, 0);
    EXPECT_FALSE(zoomReported);
    EXPECT_EQ(target.Parent(), &panel);
    EXPECT_DOUBLE_EQ(target.RotationFloat(), 12.75);
    EXPECT_DOUBLE_EQ(target.ElevationFloat(), 300.25);
    for (const QMetaProperty& property : PublishedProperties(&source))
        EXPECT_EQ(property.read(&target), property.read(&source)) << property.name();
    EXPECT_TRUE(static_cast<bool>(target.OnZoomChange));

    // Anything else is ignored.
    TPen pen;
    EXPECT_NO_THROW(target.Assign(&pen));
    EXPECT_EQ(target.Zoom(), 80);
}

} // namespace
} // namespace lp
