#include "chart/canvas/PlotCanvas.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotPatterns.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/PainterDC.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/RecordingDC.h"

#include "CanvasTestUtil.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace lp {
namespace {

// --- A concrete canvas for the tests ------------------------------------------------------------
// Device-state slots and 2-D primitives go to the bound platform canvas's
// device (a recording device unless a test binds another); the 3-D slots
// and the rotation switches are logged. Its projection is a plain oblique
// shift: (X, Y, Z) → (X + Z, Y - Z).
class TTestCanvas : public TCanvas3D {
public:
    TTestCanvas() : FDC(std::make_unique<TRecordingDC>()), FCanvas(std::make_unique<TCanvas>(FDC.get()))
    {
        SetCanvas(FCanvas.get());
    }

    TRecordingDC& DC() const { return *FDC; }
    // The calls made on the recording device since the last Clear.
    QStringList Calls() const { return FDC->Calls(); }
    void Clear() { FDC->ClearCalls(); Log.clear(); }
    // The names of the recorded calls ("SelectPen"), in order.
    QStringList CallNames() const
    {
        QStringList names;
        for (const QString& call : FDC->Calls())
            names << call.left(call.indexOf(QLatin1Char('(')));
        return names;
    }

    bool Monochrome = false;
    bool FullRotation = false;
    bool Buffered = false;
    QStringList Log;

    TColor GetBackColor() const override { return GetHandle().BkColor(); }
    uint8_t GetBackMode() const override { return static_cast<uint8_t>(GetHandle().BkMode()); }
    TDeviceContext& GetHandle() const override { return BoundCanvas().Handle(); }
    bool GetMonochrome() const override { return Monochrome; }
    TColor GetPixel(int X, int Y) const override { return GetHandle().GetPixel(X, Y); }
    bool SupportsFullRotation() const override { return FullRotation; }
    unsigned GetTextAlign() const override { return GetHandle().TextAlign(); }
    bool GetBufferedDisplay() const override { return Buffered; }
    void SetBackColor(TColor Color) override { GetHandle().SetBkColor(ColorToRGB(Color)); }
    void SetBackMode(uint8_t Mode) override { GetHandle().SetBkMode(Mode); }
    void SetMonochrome(bool Value) override { Monochrome = Value; }
    void SetPixel(int X, int Y, TColor Color) override { GetHandle().SetPixel(X, Y, Color); }
    void SetTextAlign(unsigned Align) override { GetHandle().SetTextAlign(Align); }
    void SetBufferedDisplay(bool Value) override { Buffered = Value; }
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override
    {
        GetHandle().Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    }
    void Donut(int, int, int, int, double, double, double) override { Log << "Donut"; }
    void Draw(int X, int Y, const TGraphic* Graphic) override { BoundCanvas().Draw(X, Y, Graphic); }
    void Ellipse(int X1, int Y1, int X2, int Y2) override { GetHandle().Ellipse(X1, Y1, X2, Y2); }
    void FillRect(const TRect& Rect) override { BoundCanvas().FillRect(Rect); }
    void LineTo(int X, int Y) override { GetHandle().LineTo(X, Y); }
    void MoveTo(int X, int Y) override { GetHandle().MoveTo(X, Y); }
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override
    {
        GetHandle().Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    }
    void Rectangle(int X0, int Y0, int X1, int Y1) override { GetHandle().Rectangle(X0, Y0, X1, Y1); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) override
    {
        GetHandle().RoundRect(X1, Y1, X2, Y2, X3, Y3);
    }
    void StretchDraw(const TRect& Rect, const TGraphic* Graphic) override { BoundCanvas().StretchDraw(Rect, Graphic); }
    void TextOut(int X, int Y, const QString& Text) override { GetHandle().TextOut(X, Y, Text); }
    void ClipRectangle(const TRect& Rect) override
    {
        TDeviceContext& dc = GetHandle();
        const TPoint p0 = dc.LPtoDP(Rect.TopLeft());
        const TPoint p1 = dc.LPtoDP(Rect.BottomRight());
        IntersectClip(dc, CreateRectRgn(p0.X, p0.Y, p1.X, p1.Y));
    }
    void HorizLine(int X0, int X1, int Y) override { Line(X0, Y, X1, Y); }
    void VertLine(int X, int Y0, int Y1) override { Line(X, Y0, X, Y1); }
    void EraseBackground(const TRect& Rect) override { FillRect(Rect); }
    void GradientFill(const TRect&, TColor, TColor, TGradientDirection, int) override { Log << "GradientFill"; }
    void Invalidate() override { Log << "Invalidate"; }
    void Line(int X0, int Y0, int X1, int Y1) override
    {
        MoveTo(X0, Y0);
        LineTo(X1, Y1);
    }
    void Polyline(std::span<const TPoint> Points, int LastIndex) override
    {
        GetHandle().Polyline(Points.data(), LastIndex + 1);
    }
    void Polygon(std::span<const TPoint> Points, int LastIndex) override
    {
        GetHandle().Polygon(Points.data(), LastIndex + 1);
    }
    void RotateLabel(int, int, const QString&, double) override { Log << "RotateLabel"; }
    void UnClipRectangle() override { RestoreClip(GetHandle()); }

    TColor GetPixel3D(int X, int Y, int Z) const override
    {
        const TPoint p = Calculate3DPosition(X, Y, Z);
        return GetPixel(p.X, p.Y);
    }
    bool Supports3DText() const override { return false; }
    void SetPixel3D(int, int, int, TColor) override { Log << "SetPixel3D"; }
    void Calculate2DPosition(int& X, int& Y, int Z) const override
    {
        X -= Z;
        Y += Z;
    }
    TPoint Calculate3DPosition(int X, int Y, int Z) const override { return {X + Z, Y - Z}; }
    TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor, bool, const TRect& ABounds) override
    {
        SetCanvas(DestCanvas);
        FView3DOptions = Options;
        FBounds = ABounds;
        return ABounds;
    }
    void SetProjection(int, const TRect&) override { Log << "SetProjection"; }
    void ShowImage(TCanvas*, TCanvas* DefaultCanvas, const TRect&) override { SetCanvas(DefaultCanvas); }
    bool RedrawBitmap() override { return false; }
    void Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight, int Z,
               double Percent) override
    {
        Log << QStringLiteral("Arrow(%1,%2,%3,%4,%5,%6,%7,%8,%9)")
                   .arg(Filled)
                   .arg(FromPoint.X)
                   .arg(FromPoint.Y)
                   .arg(ToPoint.X)
                   .arg(ToPoint.Y)
                   .arg(HeadWidth)
                   .arg(HeadHeight)
                   .arg(Z)
                   .arg(Percent);
    }
    void ClipCube(const TRect&, int, int) override { Log << "ClipCube"; }
    void Cone(bool, int, int, int, int, int, int, bool, int) override { Log << "Cone"; }
    void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) override
    {
        Log << QStringLiteral("Cube(%1,%2,%3,%4,%5,%6,%7)")
                   .arg(Left)
                   .arg(Right)
                   .arg(Top)
                   .arg(Bottom)
                   .arg(Z0)
                   .arg(Z1)
                   .arg(DarkSides);
    }
    void Cylinder(bool, int, int, int, int, int, int, bool) override { Log << "Cylinder"; }
    void DisableRotation() override { Log << "DisableRotation"; }
    void EllipseWithZ(int, int, int, int, int) override { Log << "EllipseWithZ"; }
    void EnableRotation() override { Log << "EnableRotation"; }
    void HorizLine3D(int, int, int, int) override { Log << "HorizLine3D"; }
    void VertLine3D(int, int, int, int) override { Log << "VertLine3D"; }
    void ZLine3D(int, int, int, int) override { Log << "ZLine3D"; }
    void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) override
    {
        Log << QStringLiteral("LineWithZ(%1,%2,%3,%4,%5)").arg(X0).arg(Y0).arg(X1).arg(Y1).arg(Z);
    }
    void MoveTo3D(int X, int Y, int Z) override { Log << QStringLiteral("MoveTo3D(%1,%2,%3)").arg(X).arg(Y).arg(Z); }
    void LineTo3D(int X, int Y, int Z) override { Log << QStringLiteral("LineTo3D(%1,%2,%3)").arg(X).arg(Y).arg(Z); }
    void Pie3D(int, int, int, int, int, int, double, double, bool, bool, int, TCustomPlotGradient*) override
    {
        Log << "Pie3D";
    }
    void Plane3D(const TPoint&, const TPoint&, int, int) override { Log << "Plane3D"; }
    void PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z) override
    {
        Log << QStringLiteral("PlaneWithZ(%1 %2;%3 %4;%5 %6;%7 %8;%9)")
                   .arg(P1.X)
                   .arg(P1.Y)
                   .arg(P2.X)
                   .arg(P2.Y)
                   .arg(P3.X)
                   .arg(P3.Y)
                   .arg(P4.X)
                   .arg(P4.Y)
                   .arg(Z);
    }
    void PlaneFour3D(TFourPoints&, int, int) override { Log << "PlaneFour3D"; }
    void PolygonWithZ(std::span<const TPoint>, int) override { Log << "PolygonWithZ"; }
    void PolylineWithZ(std::span<const TPoint>, int) override { Log << "PolylineWithZ"; }
    void Pyramid(bool, int, int, int, int, int, int, bool) override { Log << "Pyramid"; }
    void PyramidTrunc(const TRect&, int, int, int, int) override { Log << "PyramidTrunc"; }
    void RectangleWithZ(const TRect& Rect, int Z) override
    {
        Log << QStringLiteral("RectangleWithZ(%1,%2,%3,%4,%5)")
                   .arg(Rect.Left)
                   .arg(Rect.Top)
                   .arg(Rect.Right)
                   .arg(Rect.Bottom)
                   .arg(Z);
    }
    void PlaneAtY(int, int, int, int, int) override { Log << "PlaneAtY"; }
    void PlaneAtX(int, int, int, int, int) override { Log << "PlaneAtX"; }
    void RotateLabel3D(int, int, int, const QString&, double) override { Log << "RotateLabel3D"; }
    void CircleWithZ(int, int, double, int) override { Log << "CircleWithZ"; }
    void Surface3D(int, const TSurfacePointFunc&, int, int) override { Log << "Surface3D"; }
    void TextOut3D(int, int, int, const QString&) override { Log << "TextOut3D"; }
    void Triangle3D(const TTrianglePoints3D&, const TTriangleColors&) override { Log << "Triangle3D"; }
    void TriangleWithZ(const TPoint&, const TPoint&, const TPoint&, int) override { Log << "TriangleWithZ"; }

    using TPlotCanvas::IntersectClip;
    using TPlotCanvas::RestoreClip;

private:
    std::unique_ptr<TRecordingDC> FDC;
    std::unique_ptr<TCanvas> FCanvas;
};

TBrushStyle PatternStyle(int patternIndex)
{
    return static_cast<TBrushStyle>(8 + patternIndex);
}

using test::TDefaultFontScope;

// Keeps the unit-wide geometric-pen switch as a test found it.
class TGeometricPensScope {
public:
    explicit TGeometricPensScope(bool value) : FOld(GeometricPens()) { SetGeometricPens(value); }
    ~TGeometricPensScope() { SetGeometricPens(FOld); }

private:
    bool FOld;
};

// --- Geometry functions ---------------------------------------------------------------------------

struct TClockwiseRow {
    TPoint P0, P1, P2;
    bool Clockwise;
};

class IsClockwiseTable : public ::testing::TestWithParam<TClockwiseRow> {};

TEST_P(IsClockwiseTable, FollowsTheSignOfTheCrossProduct)
{
    const TClockwiseRow& row = GetParam();
    EXPECT_EQ(IsClockwise(row.P0, row.P1, row.P2), row.Clockwise);
}

INSTANTIATE_TEST_SUITE_P(Geometry, IsClockwiseTable,
                         ::testing::Values(TClockwiseRow{{0, 0}, {10, 0}, {10, 10}, true},
                                           TClockwiseRow{{0, 0}, {10, 0}, {10, -10}, false},
                                           TClockwiseRow{{0, 0}, {5, 5}, {10, 10}, false},
                                           TClockwiseRow{{10, 10}, {10, 0}, {0, 0}, false},
                                           TClockwiseRow{{-7, 3}, {-7, 3}, {4, 9}, false}));

TEST(Geometry, IsClockwiseRaisesWhenAStepLeaves32Bits)
{
    // A difference beyond 32 bits.
    EXPECT_THROW(IsClockwise({INT_MIN, 0}, {1, 0}, {0, 0}), ERangeError);
    // A product beyond 32 bits: 100000 × 100000.
    EXPECT_THROW(IsClockwise({100000, 0}, {0, 0}, {0, 100000}), ERangeError);
    // Large but representable values still work.
    EXPECT_TRUE(IsClockwise({0, 0}, {40000, 0}, {40000, 40000}));
}

TEST(Geometry, IsClockwiseTriangleTakesTheFirstThreePoints)
{
    const std::array<TPoint, 4> points{{{0, 0}, {10, 0}, {10, 10}, {-100, -100}}};
    EXPECT_TRUE(IsClockwiseTriangle(points));
    const std::array<TPoint, 2> two{{{0, 0}, {1, 1}}};
    EXPECT_THROW(IsClockwiseTriangle(two), ERangeError);
}

struct TPointInRectRow {
    int X, Y;
    bool Inside;
};

class PointInRectTable : public ::testing::TestWithParam<TPointInRectRow> {};

TEST_P(PointInRectTable, CountsTheEdgesAsInside)
{
    const TRect rect = MakeRect(10, 20, 30, 40);
    EXPECT_EQ(PointInRect(rect, GetParam().X, GetParam().Y), GetParam().Inside);
    EXPECT_EQ(PointInRectPoint(rect, MakePoint(GetParam().X, GetParam().Y)), GetParam().Inside);
}

INSTANTIATE_TEST_SUITE_P(Geometry, PointInRectTable,
                         ::testing::Values(TPointInRectRow{10, 20, true}, TPointInRectRow{30, 40, true},
                                           TPointInRectRow{20, 30, true}, TPointInRectRow{9, 30, false},
                                           TPointInRectRow{31, 30, false}, TPointInRectRow{20, 19, false},
                                           TPointInRectRow{20, 41, false}));

TEST(Geometry, NormalizeRectSwapsReversedSides)
{
    EXPECT_EQ(NormalizeRect(MakeRect(30, 40, 10, 20)), MakeRect(10, 20, 30, 40));
    EXPECT_EQ(NormalizeRect(MakeRect(10, 40, 30, 20)), MakeRect(10, 20, 30, 40));
    EXPECT_EQ(NormalizeRect(MakeRect(10, 20, 30, 40)), MakeRect(10, 20, 30, 40));
}

TEST(Geometry, RectSizeIsRightMinusLeftAndBottomMinusTop)
{
    int32_t width = 0, height = 0;
    RectSize(MakeRect(-5, 2, 10, -8), width, height);
    EXPECT_EQ(width, 15);
    EXPECT_EQ(height, -10);
    EXPECT_THROW(RectSize(MakeRect(INT_MIN, 0, INT_MAX, 0), width, height), ERangeError);
}

struct TRectCenterRow {
    TRect Rect;
    int X, Y;
};

class RectCenterTable : public ::testing::TestWithParam<TRectCenterRow> {};

TEST_P(RectCenterTable, DividesTowardZero)
{
    int32_t x = 0, y = 0;
    RectCenter(GetParam().Rect, x, y);
    EXPECT_EQ(x, GetParam().X);
    EXPECT_EQ(y, GetParam().Y);
}

INSTANTIATE_TEST_SUITE_P(Geometry, RectCenterTable,
                         ::testing::Values(TRectCenterRow{{-3, -3, 0, 0}, -1, -1}, TRectCenterRow{{0, 0, 3, 3}, 1, 1},
                                           TRectCenterRow{{10, 20, 30, 41}, 20, 30},
                                           TRectCenterRow{{INT_MAX - 2, INT_MIN, INT_MAX, INT_MIN + 2},
                                                          INT_MAX - 1, INT_MIN + 1}));

TEST(Geometry, RectFromPolygonBoundsTheFirstHighPlusOnePoints)
{
    const std::array<TPoint, 4> points{{{5, 7}, {-2, 9}, {3, -4}, {100, 100}}};
    EXPECT_EQ(RectFromPolygon(points, 2), MakeRect(-2, -4, 5, 9));
    EXPECT_EQ(RectFromPolygon(points, 0), MakeRect(5, 7, 5, 7));
    EXPECT_EQ(RectFromPolygon(points, -1), TRect{});
    EXPECT_EQ(RectFromPolygon({}, -1), TRect{});
    EXPECT_THROW(RectFromPolygon(points, 4), ERangeError);
}

TEST(Geometry, PolygonBoundsAddsOneToRightAndBottom)
{
    const std::array<TPoint, 1> single{{{5, 7}}};
    EXPECT_EQ(PolygonBounds(single, 1), MakeRect(5, 7, 6, 8));
    const std::array<TPoint, 3> three{{{5, 7}, {-2, 9}, {3, -4}}};
    EXPECT_EQ(PolygonBounds(three, 2), MakeRect(-2, 7, 6, 10));
    EXPECT_EQ(PolygonBounds(three, 3), MakeRect(-2, -4, 6, 10));
    EXPECT_THROW(PolygonBounds(three, 0), ERangeError);
    EXPECT_THROW(PolygonBounds(three, 4), ERangeError);
    const std::array<TPoint, 1> edge{{{INT_MAX, 0}}};
    EXPECT_THROW(PolygonBounds(edge, 1), ERangeError);
}

TEST(Geometry, TriangleBoundsIsPolygonBoundsOfThreePoints)
{
    TTrianglePoints points;
    points[0] = {1, 2};
    points[1] = {5, -3};
    points[2] = {-1, 4};
    EXPECT_EQ(TriangleBounds(points), MakeRect(-1, -3, 6, 5));
}

TEST(Geometry, MakePointAndMakeRectBuildTheValues)
{
    EXPECT_EQ(MakePoint(3, -4), (TPoint{3, -4}));
    EXPECT_EQ(MakeRect(1, 2, 3, 4), (TRect{1, 2, 3, 4}));
}

TEST(Geometry, ColorToRGBTripleListsBlueGreenRed)
{
    EXPECT_EQ(ColorToRGBTriple(RGB(1, 2, 3)), (TRGBTriple{3, 2, 1}));
    // A system colour is resolved to its RGB value first.
    const TColor window = ColorToRGB(clWindow);
    EXPECT_EQ(ColorToRGBTriple(clWindow),
              (TRGBTriple{uint8_t(GetBValue(window)), uint8_t(GetGValue(window)), uint8_t(GetRValue(window))}));
}

struct TShadeRow {
    TColor Color;
    int Quantity;
    TColor Darker, Lighter;
};

class ShadeTable : public ::testing::TestWithParam<TShadeRow> {};

TEST_P(ShadeTable, ChangesEveryChannelWithinAByte)
{
    EXPECT_EQ(DarkenColor(GetParam().Color, GetParam().Quantity), GetParam().Darker);
    EXPECT_EQ(LightenColor(GetParam().Color, GetParam().Quantity), GetParam().Lighter);
}

INSTANTIATE_TEST_SUITE_P(Geometry, ShadeTable,
                         ::testing::Values(TShadeRow{RGB(100, 20, 200), 50, RGB(50, 0, 150), RGB(150, 70, 250)},
                                           TShadeRow{RGB(100, 240, 10), 30, RGB(70, 210, 0), RGB(130, 255, 40)},
                                           TShadeRow{clWhite, 128, RGB(127, 127, 127), clWhite},
                                           TShadeRow{clBlack, 0, clBlack, clBlack},
                                           TShadeRow{RGB(1, 2, 3), INT_MAX, clBlack, clWhite}));

TEST(Geometry, ConvexHullKeepsThreePointsAndRefusesFewer)
{
    TPointArray three{{0, 0}, {5, 5}, {10, 10}};
    EXPECT_TRUE(ConvexHull(three));
    EXPECT_EQ(three, (TPointArray{{0, 0}, {5, 5}, {10, 10}}));
    TPointArray two{{0, 0}, {1, 1}};
    EXPECT_FALSE(ConvexHull(two));
    EXPECT_EQ(two, (TPointArray{{0, 0}, {1, 1}}));
}

TEST(Geometry, ConvexHullDropsInnerEdgeAndDuplicatePointsAndEndsWithTheAnchor)
{
    // A square with a point inside, one on an edge and a duplicate corner.
    TPointArray points{{0, 10}, {5, 5}, {10, 0}, {0, 0}, {10, 10}, {5, 0}, {10, 0}};
    ASSERT_TRUE(ConvexHull(points));
    ASSERT_EQ(points.Length(), 4);
    // Anchor: the smallest Y, among those the largest X.
    EXPECT_EQ(points.Last(), (TPoint{10, 0}));
    const std::set<std::pair<int, int>> corners{{points[0].X, points[0].Y},
                                                {points[1].X, points[1].Y},
                                                {points[2].X, points[2].Y},
                                                {points[3].X, points[3].Y}};
    EXPECT_EQ(corners, (std::set<std::pair<int, int>>{{0, 0}, {10, 0}, {0, 10}, {10, 10}}));
    // Walking the corners turns the same way at each.
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(IsClockwise(points[i], points[(i + 1) % 4], points[(i + 2) % 4]) ==
                    IsClockwise(points[0], points[1], points[2]));
}

TEST(Geometry, ConvexHullOfPointsOnOneLineIsNoPolygon)
{
    TPointArray points{{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    EXPECT_FALSE(ConvexHull(points));
    EXPECT_LT(points.Length(), 3);
}

// --- Binding and state ---------------------------------------------------------------------------------

TEST(PlotCanvasState, SetCanvasKeepsThePlatformObjects)
{
    TTestCanvas canvas;
    TRecordingDC other;
    TCanvas platform(&other);
    canvas.SetCanvas(&platform);
    EXPECT_EQ(canvas.ReferenceCanvas(), &platform);
    EXPECT_EQ(canvas.Font(), &platform.Font());
    EXPECT_EQ(canvas.Pen(), &platform.Pen());
    EXPECT_EQ(canvas.Brush(), &platform.Brush());
    canvas.SetCanvas(nullptr);
    EXPECT_EQ(canvas.ReferenceCanvas(), nullptr);
    EXPECT_EQ(canvas.Pen(), nullptr);
    EXPECT_THROW(canvas.ResetState(), EInvalidOperation);
}

TEST(PlotCanvasState, FieldsStartAsDocumented)
{
    TTestCanvas canvas;
    EXPECT_FALSE(canvas.Metafiling());
    EXPECT_EQ(canvas.BlendTransparency(), 0);
    EXPECT_EQ(canvas.Bounds(), TRect{});
    EXPECT_EQ(canvas.FontAssigned(), nullptr);
    EXPECT_DOUBLE_EQ(canvas.FontZoom(), 100.0);
    EXPECT_EQ(canvas.View3DOptions(), nullptr);
    EXPECT_EQ(canvas.NoRotationLevel(), 0);
    EXPECT_FALSE(canvas.IsOrthogonal());
    EXPECT_EQ(canvas.XCenter(), 0);
    EXPECT_EQ(canvas.RotationCenter(), TPointFloat3D{});
    canvas.SetRotationCenter({1.5, 2.5, 3.5});
    EXPECT_EQ(canvas.RotationCenter(), (TPointFloat3D{1.5, 2.5, 3.5}));
    canvas.SetMetafiling(true);
    EXPECT_TRUE(canvas.Metafiling());
}

TEST(PlotCanvasState, ResetStateMakesTheDeviceCallsInTheDocumentedOrder)
{
    TDefaultFontScope defaultFont(QStringLiteral("Arial"), 8);
    TTestCanvas canvas;
    TCanvas& platform = *canvas.ReferenceCanvas();
    // Every value away from its default, so that each step reaches the device.
    platform.Pen().SetColor(clRed);
    platform.Pen().SetWidth(3);
    platform.Pen().SetStyle(TPen::psDash);
    platform.Brush().SetColor(clBlue);
    platform.Brush().SetStyle(TBrush::bsCross);
    platform.Font().SetColor(clRed);
    platform.Font().SetStyle(TFont::fsBold);
    platform.Font().SetCharset(0);
    platform.Font().SetName(QStringLiteral("Courier New"));
    platform.Font().SetSize(20);
    canvas.SetBackColor(clRed);
    canvas.SetBackMode(OPAQUE);
    canvas.SetTextAlign(TA_CENTER);
    canvas.Clear();

    canvas.ResetState();

    const QStringList pen{"SelectPen", "SetROP2"};
    const QStringList font{"SelectFont", "SetTextColor"};
    QStringList expected;
    expected << pen << pen << pen                      // colour, width, style
             << "SelectBrush" << "SelectBrush"         // colour, style
             << font << font << font << font << font   // colour, style, charset, name, size
             << "SetBkColor" << "SetBkMode" << "SetTextAlign";
    EXPECT_EQ(canvas.CallNames(), expected);
    const QStringList calls = canvas.Calls();
    // A plain pen wider than 1 draws its dashes solid.
    EXPECT_EQ(calls[0], "SelectPen(0,3,0x000000,geometric,0)");
    EXPECT_EQ(calls[2], "SelectPen(1,1,0x000000,cosmetic,0)");
    EXPECT_EQ(calls[4], "SelectPen(0,1,0x000000,cosmetic,0)");
    EXPECT_EQ(calls[7], "SelectBrush(solid,0xFFFFFF,0)");
    EXPECT_EQ(calls.mid(calls.size() - 3), (QStringList{"SetBkColor(0xFFFFFF)", "SetBkMode(1)", "SetTextAlign(0)"}));
    EXPECT_EQ(platform.Font().Name(), "Arial");
    EXPECT_EQ(platform.Font().Size(), 8);
    EXPECT_EQ(platform.Font().Charset(), 1);
    EXPECT_EQ(platform.Font().Style(), TFontStyles());
}

TEST(PlotCanvasState, ResetStateForgetsTheFontTheBlendAndAPatternOfTheLastPass)
{
    TTestCanvas canvas;
    TPlotFont font;
    canvas.AssignFont(font);
    auto blend = canvas.BeginBlending({0, 0, 10, 10}, 40);
    TChartBrush pattern;
    pattern.SetStyle(PatternStyle(4));
    canvas.AssignBrushColor(pattern, clRed, clTransparentBack);
    ASSERT_EQ(canvas.DC().ROP2(), R2_MASKPEN);

    canvas.ResetState();

    EXPECT_EQ(canvas.FontAssigned(), nullptr);
    EXPECT_EQ(font.Canvas(), nullptr);
    EXPECT_EQ(canvas.BlendTransparency(), 0);
    EXPECT_EQ(canvas.Brush()->Bitmap(), nullptr);
    EXPECT_EQ(canvas.DC().Brush().Kind, TBrushKind::Solid);
    EXPECT_EQ(canvas.DC().Brush().Color, clWhite);
    EXPECT_EQ(canvas.DC().ROP2(), R2_COPYPEN);
    canvas.EndBlending(std::move(blend));
}

TEST(PlotCanvasState, DefaultFontNameAndSizeAreSettableForTheProcess)
{
    TDefaultFontScope defaultFont(QStringLiteral("Tahoma"), 11);
    EXPECT_EQ(DefaultFontName(), "Tahoma");
    EXPECT_EQ(DefaultFontSize(), 11);
    TTestCanvas canvas;
    canvas.ResetState();
    EXPECT_EQ(canvas.Font()->Name(), "Tahoma");
    EXPECT_EQ(canvas.Font()->Size(), 11);
    TPlotFont font;
    EXPECT_EQ(font.Name(), "Tahoma");
    EXPECT_EQ(font.Size(), 11);
}

TEST(PlotCanvasState, GradientDirectionsAreNamedForTheMetaObject)
{
    const QMetaEnum directions = QMetaEnum::fromType<TGradientDirection>();
    EXPECT_EQ(directions.keyCount(), 10);
    EXPECT_STREQ(directions.valueToKey(gdTopBottom), "gdTopBottom");
    EXPECT_STREQ(directions.valueToKey(gdRadial), "gdRadial");
    EXPECT_STREQ(directions.valueToKey(gdDiagonalDown), "gdDiagonalDown");
}

TEST(PlotCanvasState, AssignTakesTheSourceMonochromeMode)
{
    TTestCanvas source, target;
    source.Monochrome = true;
    target.Assign(source);
    EXPECT_TRUE(target.Monochrome);
}

TEST(PlotCanvasState, ApplyDarkShadesTheBrushOrTheHatchBackground)
{
    TTestCanvas canvas;
    canvas.Brush()->SetStyle(TBrush::bsSolid);
    canvas.ApplyDark(RGB(200, 100, 50), 64);
    EXPECT_EQ(canvas.Brush()->Color(), RGB(136, 36, 0));
    canvas.Brush()->SetColor(clBlue);
    canvas.Brush()->SetStyle(TBrush::bsCross);
    canvas.ApplyDark(RGB(200, 100, 50), 64);
    EXPECT_EQ(canvas.Brush()->Color(), clBlue);
    EXPECT_EQ(canvas.GetBackColor(), RGB(136, 36, 0));
}

// --- Pens ---------------------------------------------------------------------------------------------------

TEST(PlotCanvasPens, InvisibleChartPenOnlyClearsTheStyle)
{
    TGeometricPensScope geometric(true);
    TTestCanvas canvas;
    canvas.Pen()->SetColor(clRed);
    canvas.Pen()->SetWidth(3);
    TChartHiddenPen hidden;
    hidden.SetColor(clBlue);
    hidden.SetWidth(5);
    canvas.AssignVisiblePen(hidden);
    EXPECT_EQ(canvas.Pen()->Style(), TPen::psClear);
    EXPECT_EQ(canvas.Pen()->Color(), clRed);
    EXPECT_EQ(canvas.Pen()->Width(), 3);
    EXPECT_EQ(canvas.DC().Pen().Style, PS_NULL);

    // A visible pen afterwards draws again.
    TChartPen visible;
    visible.SetColor(clGreen);
    canvas.AssignVisiblePen(visible);
    EXPECT_EQ(canvas.Pen()->Style(), TPen::psSolid);
    EXPECT_EQ(canvas.DC().Pen().Style, PS_SOLID);
    EXPECT_EQ(canvas.DC().Pen().Color, clGreen);
}

TEST(PlotCanvasPens, InvisibleChartPenDropsAGeometricHandle)
{
    TGeometricPensScope geometric(true);
    TTestCanvas canvas;
    TChartPen wide;
    wide.SetWidth(4);
    canvas.AssignVisiblePen(wide);
    ASSERT_TRUE(canvas.Pen()->HasHandle());
    TChartHiddenPen hidden;
    canvas.AssignVisiblePen(hidden);
    EXPECT_EQ(canvas.DC().Pen().Style, PS_NULL);
}

struct TEndStyleRow {
    TPenEndStyle EndStyle;
    int Cap;
    int Join;
};

class PlotCanvasGeometricPens : public ::testing::TestWithParam<TEndStyleRow> {};

TEST_P(PlotCanvasGeometricPens, WidePenBecomesAGeometricDevicePen)
{
    TGeometricPensScope geometric(true);
    TTestCanvas canvas;
    TChartPen pen;
    pen.SetStyle(TPen::psDot);
    pen.SetWidth(3);
    pen.SetEndStyle(GetParam().EndStyle);
    canvas.AssignVisiblePenColor(pen, clRed);
    const TLogPen& device = canvas.DC().Pen();
    EXPECT_TRUE(device.Geometric);
    EXPECT_EQ(device.Style, PS_DOT);
    EXPECT_EQ(device.Width, 3);
    EXPECT_EQ(device.Color, clRed);
    EXPECT_EQ(device.EndCap, GetParam().Cap);
    EXPECT_EQ(device.Join, GetParam().Join);
}

INSTANTIATE_TEST_SUITE_P(EndStyles, PlotCanvasGeometricPens,
                         ::testing::Values(TEndStyleRow{esRound, PS_ENDCAP_ROUND, PS_JOIN_ROUND},
                                           TEndStyleRow{esSquare, PS_ENDCAP_SQUARE, PS_JOIN_BEVEL},
                                           TEndStyleRow{esFlat, PS_ENDCAP_FLAT, PS_JOIN_MITER}));

TEST(PlotCanvasPens, FullRotationOrSwitchOffCopiesTheChartPenAsItIs)
{
    for (const bool fullRotation : {true, false}) {
        TGeometricPensScope geometric(fullRotation); // on with full rotation, else off
        TTestCanvas canvas;
        canvas.FullRotation = fullRotation;
        TChartPen pen;
        pen.SetWidth(3);
        pen.SetSmallDots(true);
        pen.SetEndStyle(esFlat);
        canvas.AssignVisiblePenColor(pen, clBlue);
        EXPECT_FALSE(canvas.Pen()->HasHandle()) << fullRotation;
        EXPECT_EQ(canvas.Pen()->Width(), 3);
        EXPECT_EQ(canvas.Pen()->Color(), clBlue);
        // The plain pen of width 3 has round ends: SmallDots and EndStyle do nothing.
        EXPECT_EQ(canvas.DC().Pen().EndCap, PS_ENDCAP_ROUND);
        EXPECT_TRUE(canvas.DC().Pen().UserStyle.empty());
    }
}

TEST(PlotCanvasPens, PlainPenIsCopiedAndTakesTheColour)
{
    TTestCanvas canvas;
    TPen pen;
    pen.SetWidth(2);
    pen.SetStyle(TPen::psDash);
    pen.SetMode(TPen::pmXor);
    canvas.AssignVisiblePenColor(pen, clFuchsia);
    EXPECT_EQ(canvas.Pen()->Width(), 2);
    EXPECT_EQ(canvas.Pen()->Style(), TPen::psDash);
    EXPECT_EQ(canvas.Pen()->Color(), clFuchsia);
    EXPECT_EQ(canvas.DC().ROP2(), R2_XORPEN);
    canvas.AssignVisiblePen(pen);
    EXPECT_EQ(canvas.Pen()->Color(), clBlack);
}

TEST(PlotCanvasPens, MonochromeDrawsEveryPenBlack)
{
    for (const bool geometric : {true, false}) {
        TGeometricPensScope scope(geometric);
        TTestCanvas canvas;
        canvas.Monochrome = true;
        TChartPen wide;
        wide.SetWidth(4);
        canvas.AssignVisiblePenColor(wide, clRed);
        EXPECT_EQ(canvas.DC().Pen().Color, clBlack);
        TPen plain;
        canvas.AssignVisiblePenColor(plain, clYellow);
        EXPECT_EQ(canvas.Pen()->Color(), clBlack);
        EXPECT_EQ(canvas.DC().Pen().Color, clBlack);
    }
}

TEST(PlotCanvasPens, SmallDotsPenIsReplacedByALaterPlainPen)
{
    // A small-dots device pen must not survive into the next pen whose
    // properties equal the canvas pen's.
    TGeometricPensScope geometric(true);
    TTestCanvas canvas;
    TChartPen dots;
    dots.SetSmallDots(true);
    dots.SetSmallSpace(2);
    canvas.AssignVisiblePenColor(dots, clBlack);
    ASSERT_EQ(canvas.DC().Pen().Style, PS_USERSTYLE);
    TChartPen plain;
    canvas.AssignVisiblePenColor(plain, clBlack);
    EXPECT_EQ(canvas.DC().Pen().Style, PS_SOLID);
    EXPECT_TRUE(canvas.DC().Pen().UserStyle.empty());
}

// --- Brushes ----------------------------------------------------------------------------------------------

struct THatchRow {
    TColor BackColor;
    int Mode;
};

class PlotCanvasHatches : public ::testing::TestWithParam<THatchRow> {};

TEST_P(PlotCanvasHatches, TransparentMarkLeavesTheGapsOtherColoursFillThem)
{
    TTestCanvas canvas;
    canvas.SetBackColor(clAqua);
    TChartBrush brush;
    brush.SetStyle(TBrush::bsCross);
    canvas.AssignBrushColor(brush, clRed, GetParam().BackColor);
    EXPECT_EQ(canvas.DC().Brush().Kind, TBrushKind::Hatched);
    EXPECT_EQ(canvas.DC().Brush().Hatch, HS_CROSS);
    EXPECT_EQ(canvas.DC().Brush().Color, clRed);
    EXPECT_EQ(canvas.GetBackMode(), GetParam().Mode);
    EXPECT_EQ(canvas.GetBackColor(), GetParam().BackColor == clTransparentBack ? clAqua : GetParam().BackColor);
}

INSTANTIATE_TEST_SUITE_P(BackColors, PlotCanvasHatches,
                         ::testing::Values(THatchRow{clTransparentBack, TRANSPARENT}, THatchRow{clSilver, OPAQUE},
                                           THatchRow{clWhite, OPAQUE}, THatchRow{clNavy, OPAQUE}));

TEST(PlotCanvasBrushes, StandardStyleSetsColourAndStyleOnlyWhenTheyDiffer)
{
    TTestCanvas canvas;
    TChartBrush brush;
    brush.SetStyle(TBrush::bsSolid);
    canvas.AssignBrushColor(brush, clWhite, clWhite);
    canvas.Clear();
    canvas.AssignBrushColor(brush, clWhite, clTransparentBack);
    EXPECT_TRUE(canvas.DC().CallsStartingWith("SelectBrush").isEmpty());
    canvas.AssignBrushColor(brush, clLime, clTransparentBack);
    EXPECT_EQ(canvas.DC().CallsStartingWith("SelectBrush"), (QStringList{"SelectBrush(solid,0x00FF00,0)"}));
}

TEST(PlotCanvasBrushes, AssignBrushUsesTheBrushColourAsBackground)
{
    TTestCanvas canvas;
    TChartBrush brush;
    brush.SetStyle(TBrush::bsHorizontal);
    brush.SetColor(clYellow);
    canvas.AssignBrush(brush, clMaroon);
    EXPECT_EQ(canvas.DC().Brush().Color, clMaroon);
    EXPECT_EQ(canvas.GetBackMode(), OPAQUE);
    EXPECT_EQ(canvas.GetBackColor(), clYellow);
}

TEST(PlotCanvasBrushes, PatternStyleFillsWithTheSharedPatternBitmap)
{
    TTestCanvas canvas;
    TChartBrush brush;
    brush.SetStyle(PatternStyle(3));
    canvas.AssignBrushColor(brush, clRed, clTransparentBack);

    const TBitmap* bitmap = canvas.Brush()->Bitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 8);
    EXPECT_EQ(bitmap->Height(), 8);
    EXPECT_TRUE(bitmap->Monochrome());
    EXPECT_TRUE(bitmap->Transparent());
    EXPECT_EQ(bitmap->TransparentColor(), clWhite);
    const FixedArray<uint8_t, 8> bits = PatternBits(3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(bitmap->Image().pixel(x, y) == qRgb(0, 0, 0), (bits[y] & (0x80 >> x)) != 0) << x << "," << y;
    EXPECT_EQ(canvas.DC().Brush().Kind, TBrushKind::Pattern);
    EXPECT_EQ(canvas.GetBackMode(), TRANSPARENT);
    EXPECT_EQ(canvas.DC().ROP2(), R2_MASKPEN);
    // Mask-pen keeps the destination only under white unset pixels.
    EXPECT_EQ(canvas.GetBackColor(), clWhite);
    EXPECT_EQ(canvas.DC().TextColor(), clRed);

    // A real background colour: no masking, the colour behind the pattern.
    TTestCanvas second;
    second.AssignBrushColor(brush, clBlue, clYellow);
    EXPECT_EQ(second.GetBackMode(), TRANSPARENT);
    EXPECT_EQ(second.GetBackColor(), clYellow);
    EXPECT_EQ(second.DC().ROP2(), R2_COPYPEN);
    EXPECT_EQ(second.DC().TextColor(), clBlue);
    EXPECT_EQ(second.Brush()->Bitmap(), bitmap);
}

TEST(PlotCanvasBrushes, PatternIsLoadedAfreshAtEveryCall)
{
    TTestCanvas canvas;
    TChartBrush brush;
    brush.SetStyle(PatternStyle(0));
    canvas.AssignBrushColor(brush, clRed, clWhite);
    const QImage first = canvas.DC().Brush().Pattern;
    brush.SetStyle(PatternStyle(48));
    canvas.AssignBrushColor(brush, clRed, clWhite);
    EXPECT_NE(canvas.DC().Brush().Pattern, first);
    EXPECT_EQ(canvas.DC().Brush().Pattern.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.DC().Brush().Pattern.pixel(7, 0), qRgb(255, 255, 255));
}

TEST(PlotCanvasBrushes, MaskPenModeEndsWithTheNextNonMaskingBrush)
{
    // Mask-pen left on would mask every later solid fill with the destination.
    TTestCanvas canvas;
    TChartBrush pattern;
    pattern.SetStyle(PatternStyle(10));
    canvas.AssignBrushColor(pattern, clRed, clTransparentBack);
    ASSERT_EQ(canvas.DC().ROP2(), R2_MASKPEN);
    TChartBrush solid;
    solid.SetStyle(TBrush::bsSolid);
    canvas.AssignBrushColor(solid, clGreen, clWhite);
    EXPECT_EQ(canvas.DC().ROP2(), R2_COPYPEN);
    EXPECT_EQ(canvas.Brush()->Bitmap(), nullptr);
    EXPECT_EQ(canvas.DC().Brush().Kind, TBrushKind::Solid);
}

TEST(PlotCanvasBrushes, PatternBeyondTheLastRaisesRangeError)
{
    TTestCanvas canvas;
    TChartBrush brush;
    brush.SetStyle(PatternStyle(PatternBitmapCount));
    EXPECT_THROW(canvas.AssignBrushColor(brush, clRed, clWhite), ERangeError);
}

TEST(PlotCanvasBrushes, MonochromeFillsWhite)
{
    TTestCanvas canvas;
    canvas.Monochrome = true;
    TChartBrush brush;
    canvas.AssignBrushColor(brush, clRed, clWhite);
    EXPECT_EQ(canvas.Brush()->Color(), clWhite);
    EXPECT_EQ(canvas.DC().Brush().Color, clWhite);
}

TEST(PlotCanvasBrushes, MonochromePatternDrawsWhite)
{
    TTestCanvas canvas;
    canvas.Monochrome = true;
    TChartBrush brush;
    brush.SetStyle(PatternStyle(1));
    canvas.AssignBrushColor(brush, clRed, clWhite);
    EXPECT_EQ(canvas.DC().TextColor(), clWhite);
}

TEST(PlotCanvasBrushes, BrushWithABitmapPictureFillsWithIt)
{
    TTestCanvas canvas;
    TChartBrush brush;
    TBitmap picture(4, 4);
    brush.Image()->SetGraphic(&picture);
    ASSERT_TRUE(brush.HasImage());
    canvas.AssignBrushColor(brush, clRed, clNavy);
    EXPECT_EQ(canvas.Brush()->Style(), TBrush::bsClear);
    EXPECT_EQ(canvas.Brush()->Bitmap(), brush.Image()->Graphic());
    EXPECT_EQ(canvas.DC().Brush().Kind, TBrushKind::Pattern);
    EXPECT_EQ(canvas.DC().TextColor(), clRed);
    EXPECT_EQ(canvas.GetBackMode(), OPAQUE);
    EXPECT_EQ(canvas.GetBackColor(), clNavy);
}

TEST(PlotCanvasBrushes, OtherPicturesFillThroughABitmapAndKeepTheirFormat)
{
    TTestCanvas canvas;
    TChartBrush brush;
    TRasterImage png;
    QImage pixels(3, 2, QImage::Format_RGB32);
    pixels.fill(qRgb(10, 20, 30));
    png.SetImage(pixels);
    brush.Image()->SetGraphic(&png);
    canvas.AssignBrushColor(brush, clRed, clWhite);
    ASSERT_NE(canvas.Brush()->Bitmap(), nullptr);
    EXPECT_EQ(canvas.Brush()->Bitmap()->Width(), 3);
    EXPECT_EQ(canvas.Brush()->Bitmap()->Image().pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_NE(qobject_cast<TRasterImage*>(brush.Image()->Graphic()), nullptr);
}

TEST(PlotCanvasBrushes, EmptyPictureCountsAsNoPicture)
{
    TTestCanvas canvas;
    TChartBrush brush;
    brush.Image();
    ASSERT_FALSE(brush.HasImage());
    canvas.AssignBrushColor(brush, clRed, clWhite);
    EXPECT_EQ(canvas.Brush()->Style(), TBrush::bsSolid);
    EXPECT_EQ(canvas.DC().Brush().Kind, TBrushKind::Solid);
}

// --- Fonts and text ----------------------------------------------------------------------------------

TEST(PlotCanvasFonts, AssignFontCopiesTheFontAndRemembersIt)
{
    TTestCanvas canvas;
    canvas.Font()->SetPixelsPerInch(120);
    TPlotFont font;
    font.SetName(QStringLiteral("Times New Roman"));
    font.SetSize(14);
    font.SetColor(clRed);
    font.SetStyle(TFont::fsItalic);
    canvas.AssignFont(font);
    EXPECT_EQ(font.PixelsPerInch(), 120);
    EXPECT_EQ(canvas.Font()->Name(), "Times New Roman");
    EXPECT_EQ(canvas.Font()->Height(), font.Height());
    EXPECT_EQ(canvas.Font()->Color(), clRed);
    EXPECT_EQ(canvas.Font()->Style(), TFontStyles(TFont::fsItalic));
    EXPECT_EQ(canvas.FontAssigned(), &font);
    EXPECT_EQ(font.Canvas(), &canvas);
}

struct TFontZoomRow {
    int Size;
    double Zoom;
    int Expected;
};

class PlotCanvasFontZoom : public ::testing::TestWithParam<TFontZoomRow> {};

TEST_P(PlotCanvasFontZoom, ScalesTheSizeRoundingHalfToEven)
{
    TTestCanvas canvas;
    canvas.Font()->SetPixelsPerInch(72); // one pixel per point: sizes stay exact
    canvas.SetFontZoom(GetParam().Zoom);
    TPlotFont font;
    font.SetPixelsPerInch(72);
    font.SetSize(GetParam().Size);
    canvas.AssignFont(font);
    EXPECT_EQ(canvas.Font()->Size(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Zooms, PlotCanvasFontZoom,
                         ::testing::Values(TFontZoomRow{8, 100.0, 8}, TFontZoomRow{8, 150.0, 12},
                                           TFontZoomRow{5, 50.0, 2}, TFontZoomRow{7, 50.0, 4},
                                           TFontZoomRow{10, 25.0, 2}));

TEST(PlotCanvasFonts, MonochromeFontIsBlack)
{
    TTestCanvas canvas;
    canvas.Monochrome = true;
    TPlotFont font;
    font.SetColor(clRed);
    canvas.AssignFont(font);
    EXPECT_EQ(canvas.Font()->Color(), clBlack);
    EXPECT_EQ(font.Color(), clRed);
}

TEST(PlotCanvasFonts, CharacterSpacingIsSetOnlyWhenItDiffers)
{
    TTestCanvas canvas;
    TPlotFont font;
    canvas.AssignFont(font);
    EXPECT_TRUE(canvas.DC().CallsStartingWith("SetTextCharacterExtra").isEmpty());
    font.SetInterCharSize(3);
    canvas.AssignFont(font);
    EXPECT_EQ(canvas.DC().CallsStartingWith("SetTextCharacterExtra"), (QStringList{"SetTextCharacterExtra(3)"}));
    canvas.AssignFont(font);
    EXPECT_EQ(canvas.DC().CallsStartingWith("SetTextCharacterExtra").size(), 1);
    EXPECT_EQ(canvas.DC().TextCharacterExtra(), 3);
}

TEST(PlotCanvasFonts, BackReferenceFollowsTheCurrentFontOnly)
{
    TPlotFont first, second;
    {
        TTestCanvas canvas;
        canvas.AssignFont(first);
        canvas.AssignFont(second);
        EXPECT_EQ(first.Canvas(), nullptr);
        EXPECT_EQ(second.Canvas(), &canvas);
    }
    // The canvas is gone: no font points to it.
    EXPECT_EQ(second.Canvas(), nullptr);
}

TEST(PlotCanvasFonts, DestroyedFontIsNoLongerAssigned)
{
    TTestCanvas canvas;
    {
        TPlotFont font;
        font.Shadow()->SetHorizSize(5);
        canvas.AssignFont(font);
    }
    EXPECT_EQ(canvas.FontAssigned(), nullptr);
    EXPECT_EQ(canvas.TextWidth("Abc"), canvas.ReferenceCanvas()->TextWidth("Abc"));
}

TEST(PlotCanvasText, TextWidthMakesRoomForANegativeShadow)
{
    TTestCanvas canvas;
    TPlotFont font;
    canvas.AssignFont(font);
    const int plainWidth = canvas.ReferenceCanvas()->TextWidth("Chart");
    const int plainHeight = canvas.ReferenceCanvas()->TextHeight("Chart");
    ASSERT_GT(plainWidth, 0);
    // No shadow object yet: the plain extent, and measuring creates none.
    EXPECT_EQ(canvas.TextWidth("Chart"), plainWidth);
    EXPECT_FALSE(font.HasShadow());
    font.Shadow()->SetHorizSize(-3);
    font.Shadow()->SetVertSize(4);
    EXPECT_EQ(canvas.TextWidth("Chart"), plainWidth + 3);
    EXPECT_EQ(canvas.TextHeight("Chart"), plainHeight + 4);
    EXPECT_EQ(canvas.WideTextWidth("Chart"), plainWidth + 3);
    EXPECT_EQ(canvas.WideTextHeight("Chart"), plainHeight + 4);
    EXPECT_EQ(canvas.FontHeight(), canvas.ReferenceCanvas()->TextHeight("W") + 4);
}

TEST(PlotCanvasText, TextOutHtmlDrawsTheTextEitherWay)
{
    TTestCanvas canvas;
    canvas.TextOutHtml(5, 6, QStringLiteral("<b>x</b>"), false);
    canvas.TextOutHtml(7, 8, QStringLiteral("plain"), true);
    EXPECT_EQ(canvas.DC().CallsStartingWith("TextOut"),
              (QStringList{"TextOut(5,6,\"<b>x</b>\")", "TextOut(7,8,\"plain\")"}));
}

// --- Frame3D and the rectangle helpers --------------------------------------------------------------

TEST(PlotCanvasFrame3D, DrawsTwoPolylinesPerRingAndShrinksTheRectangle)
{
    TTestCanvas canvas;
    canvas.Pen()->SetWidth(4);
    canvas.Pen()->SetStyle(TPen::psDash);
    canvas.Clear();
    TRect rect = MakeRect(0, 0, 10, 8);
    canvas.Frame3D(rect, clWhite, clGray, 2);
    EXPECT_EQ(rect, MakeRect(2, 2, 8, 6));
    QStringList drawing;
    for (const QString& call : canvas.Calls())
        if (call.startsWith("Polyline") || call.startsWith("SelectPen"))
            drawing << call;
    const QStringList expected{
        "SelectPen(1,1,0x000000,cosmetic,0)", // width 1, still dashed
        "SelectPen(0,1,0x000000,cosmetic,0)", // solid
        "SelectPen(0,1,0xFFFFFF,cosmetic,0)", "Polyline([0 7;0 0;9 0])",
        "SelectPen(0,1,0x808080,cosmetic,0)", "Polyline([9 0;9 7;-1 7])",
        "SelectPen(0,1,0xFFFFFF,cosmetic,0)", "Polyline([1 6;1 1;8 1])",
        "SelectPen(0,1,0x808080,cosmetic,0)", "Polyline([8 1;8 6;0 6])",
    };
    EXPECT_EQ(drawing, expected);
}

TEST(PlotCanvasFrame3D, ZeroWidthDrawsNothingAndKeepsTheRectangle)
{
    TTestCanvas canvas;
    canvas.Clear();
    TRect rect = MakeRect(3, 4, 20, 30);
    canvas.Frame3D(rect, clWhite, clGray, 0);
    EXPECT_EQ(rect, MakeRect(3, 4, 20, 30));
    EXPECT_TRUE(canvas.DC().CallsStartingWith("Polyline").isEmpty());
}

TEST(PlotCanvasFrame3D, WidthBeyondTheRectangleStopsWhereItEmpties)
{
    // A bevel of INT_MAX once drew that many rings (and overflowed the inset).
    TTestCanvas canvas;
    canvas.Clear();
    TRect rect = MakeRect(0, 0, 10, 8);
    canvas.Frame3D(rect, clWhite, clGray, INT_MAX);
    // Rings 0 .. 3 fit the 8-pixel height; the fifth would start inverted.
    EXPECT_EQ(canvas.DC().CallsStartingWith("Polyline").size(), 8);
    EXPECT_EQ(rect, MakeRect(4, 4, 6, 4));
}

TEST(PlotCanvasShapes, RectangleHelpersPassTheCoordinates)
{
    TTestCanvas canvas;
    canvas.Clear();
    canvas.RectangleRect({1, 2, 3, 4});
    canvas.EllipseRect({5, 6, 7, 8});
    canvas.RoundRectRect({1, 2, 30, 40}, 5, 6);
    canvas.LinePoints({1, 1}, {9, 9});
    EXPECT_EQ(canvas.Calls(), (QStringList{"Rectangle(1,2,3,4)", "Ellipse(5,6,7,8)", "RoundRect(1,2,30,40,5,6)",
                                           "MoveTo(1,1)", "LineTo(9,9)"}));
}

// --- Blending -----------------------------------------------------------------------------------------

TEST(PlotCanvasBlending, EachBlendKeepsItsOwnTransparency)
{
    TTestCanvas canvas;
    auto outer = canvas.BeginBlending({0, 0, 10, 10}, 30);
    EXPECT_EQ(canvas.BlendTransparency(), 30);
    auto inner = canvas.BeginBlending({2, 2, 5, 5}, 70);
    EXPECT_EQ(canvas.BlendTransparency(), 70);
    EXPECT_EQ(inner->Transparency(), 70);
    EXPECT_EQ(outer->Transparency(), 30);
    canvas.EndBlending(std::move(inner));
    EXPECT_EQ(outer->Transparency(), 30);
    canvas.EndBlending(std::move(outer));
    canvas.EndBlending(nullptr);
    EXPECT_THROW(canvas.BeginBlending({0, 0, 1, 1}, 101), ERangeError);
    EXPECT_THROW(canvas.BeginBlending({0, 0, 1, 1}, -1), ERangeError);
}

TEST(PlotCanvasBlending, OuterBlendMixesWithItsOwnPercentAfterAnInnerOne)
{
    // An inner blend used to end the outer one with the inner percentage.
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    TPainterDC dc(image);
    TCanvas platform(&dc);
    TTestCanvas canvas;
    canvas.InitWindow(&platform, nullptr, clWhite, false, {0, 0, 10, 10});
    canvas.ResetState();

    auto outer = canvas.BeginBlending({0, 0, 10, 10}, 100); // restores everything
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect({0, 0, 10, 10});
    auto inner = canvas.BeginBlending({0, 0, 10, 10}, 0); // keeps the new drawing
    canvas.Brush()->SetColor(clBlue);
    canvas.FillRect({0, 0, 10, 10});
    canvas.EndBlending(std::move(inner));
    EXPECT_EQ(canvas.GetPixel(5, 5), clBlue);
    canvas.EndBlending(std::move(outer));
    const TColor restored = canvas.GetPixel(5, 5);
    EXPECT_GE(GetRValue(restored), 250);
    EXPECT_GE(GetGValue(restored), 250);
    EXPECT_GE(GetBValue(restored), 250);
}

// --- Rotation nesting -----------------------------------------------------------------------------

TEST(Canvas3DRotation, NestedNoRotationEnablesOnlyAtTheLastEnd)
{
    TTestCanvas canvas;
    canvas.BeginNoRotation();
    canvas.BeginNoRotation();
    EXPECT_EQ(canvas.NoRotationLevel(), 2);
    EXPECT_EQ(canvas.Log, (QStringList{"DisableRotation"}));
    canvas.EndNoRotation();
    EXPECT_EQ(canvas.NoRotationLevel(), 1);
    EXPECT_EQ(canvas.Log, (QStringList{"DisableRotation"}));
    canvas.EndNoRotation();
    EXPECT_EQ(canvas.NoRotationLevel(), 0);
    EXPECT_EQ(canvas.Log, (QStringList{"DisableRotation", "EnableRotation"}));
}

TEST(Canvas3DRotation, UnbalancedEndNoRotationRaisesAndChangesNothing)
{
    TTestCanvas canvas;
    EXPECT_THROW(canvas.EndNoRotation(), EInvalidOperation);
    EXPECT_EQ(canvas.NoRotationLevel(), 0);
    EXPECT_TRUE(canvas.Log.isEmpty());
    canvas.BeginNoRotation();
    EXPECT_EQ(canvas.Log, (QStringList{"DisableRotation"}));
}

// --- Projection helpers ----------------------------------------------------------------------------

TEST(Canvas3DHelpers, RectanglesAndFourPointsFollowTheProjection)
{
    TTestCanvas canvas; // projects (X, Y, Z) to (X + Z, Y - Z)
    EXPECT_EQ(canvas.Calculate3DPoint({1, 2}, 10), (TPoint{11, -8}));
    EXPECT_EQ(canvas.Calculate3DPoint3D({1, 2, 3}), (TPoint{4, -1}));
    EXPECT_EQ(canvas.CalculateRect3D({0, 0, 20, 10}, 5), MakeRect(5, -5, 25, 5));
    const TFourPoints four = canvas.FourPointsFromRect({0, 0, 20, 10}, 5);
    EXPECT_EQ(four[0], (TPoint{5, -5}));
    EXPECT_EQ(four[1], (TPoint{25, -5}));
    EXPECT_EQ(four[2], (TPoint{25, 5}));
    EXPECT_EQ(four[3], (TPoint{5, 5}));
    EXPECT_EQ(canvas.RectFromRectZ({0, 0, 20, 10}, 5), MakeRect(5, -5, 26, 6));
}

TEST(Canvas3DHelpers, ConvenienceFormsCallTheirSlots)
{
    TTestCanvas canvas;
    canvas.CubeRect({1, 2, 3, 4}, 5, 6, true);
    canvas.LineWithZPoints({1, 2}, {3, 4}, 5);
    canvas.MoveTo3DPoint({1, 2, 3});
    canvas.LineTo3DPoint({4, 5, 6});
    TFourPoints four;
    four[0] = {1, 2};
    four[1] = {3, 4};
    four[2] = {5, 6};
    four[3] = {7, 8};
    canvas.PlaneWithZPoints(four, 9);
    canvas.RectangleWithZCoords(1, 2, 3, 4, 5);
    canvas.ArrowDefault(true, {0, 0}, {10, 0}, 4, 6, 2);
    EXPECT_EQ(canvas.Log, (QStringList{"Cube(1,3,2,4,5,6,1)", "LineWithZ(1,2,3,4,5)", "MoveTo3D(1,2,3)",
                                       "LineTo3D(4,5,6)", "PlaneWithZ(1 2;3 4;5 6;7 8;9)",
                                       "RectangleWithZ(1,2,3,4,5)", "Arrow(1,0,0,10,0,4,6,2,50)"}));
}

TEST(Canvas3DHelpers, StretchDrawWithZFillsOneProjectedCellPerPixel)
{
    TTestCanvas canvas;
    TBitmap picture(2, 1);
    QImage pixels(2, 1, QImage::Format_RGB32);
    pixels.setPixel(0, 0, qRgb(255, 0, 0));
    pixels.setPixel(1, 0, qRgb(0, 0, 255));
    picture.SetImage(pixels);
    canvas.Brush()->SetColor(clLime);
    canvas.Clear();
    canvas.StretchDrawWithZ({0, 0, 10, 4}, &picture, 3);
    EXPECT_EQ(canvas.Pen()->Style(), TPen::psClear);
    EXPECT_EQ(canvas.DC().CallsStartingWith("Polygon"),
              (QStringList{"Polygon([3 -3;8 -3;8 1;3 1])", "Polygon([8 -3;13 -3;13 1;8 1])"}));
    EXPECT_EQ(canvas.DC().CallsStartingWith("SetDCBrushColor"),
              (QStringList{"SetDCBrushColor(0x0000FF)", "SetDCBrushColor(0xFF0000)"}));
    // The canvas brush is in force again afterwards.
    EXPECT_EQ(canvas.DC().Brush().Kind, TBrushKind::Solid);
    EXPECT_EQ(canvas.DC().Brush().Color, clLime);
    canvas.Clear();
    canvas.StretchDrawWithZ({0, 0, 10, 4}, nullptr, 3);
    EXPECT_TRUE(canvas.Calls().isEmpty());
}

// --- Clipping -----------------------------------------------------------------------------------------

TEST(PlotCanvasClipping, RoundRectangleClipIsUndoneToNoClip)
{
    TTestCanvas canvas;
    canvas.Clear();
    canvas.ClipRoundRectangle({0, 0, 50, 40}, 10);
    ASSERT_TRUE(canvas.DC().ClipRegion().has_value());
    EXPECT_EQ(canvas.CallNames(), (QStringList{"ExtSelectClipRgn"}));
    EXPECT_TRUE(canvas.Calls()[0].endsWith(",1)"));
    canvas.UnClipRectangle();
    EXPECT_FALSE(canvas.DC().ClipRegion().has_value());
    EXPECT_EQ(canvas.Calls().last(), "SelectClipRgn(null)");
}

TEST(PlotCanvasClipping, EllipseClipRestoresTheClipInForceBefore)
{
    TTestCanvas canvas;
    canvas.DC().IntersectClipRect(0, 0, 100, 100);
    const TRegion before = *canvas.DC().ClipRegion();
    canvas.ClipEllipse({10, 10, 60, 40}, false);
    EXPECT_NE(*canvas.DC().ClipRegion(), before);
    canvas.UnClipRectangle();
    ASSERT_TRUE(canvas.DC().ClipRegion().has_value());
    EXPECT_EQ(*canvas.DC().ClipRegion(), before);
}

TEST(PlotCanvasClipping, InvertedEllipseTakesTheEllipseOutOfTheClipAndIsUndoneToIt)
{
    // Guards against an inverted clip that drew beyond the clip in force
    // (exclusive-or) and whose undoing dropped that clip altogether.
    TTestCanvas canvas;
    canvas.DC().IntersectClipRect(0, 0, 100, 100);
    const TRegion before = *canvas.DC().ClipRegion();
    canvas.Clear();
    canvas.ClipEllipse({80, 80, 140, 140}, true);
    ASSERT_EQ(canvas.CallNames(), (QStringList{"ExtSelectClipRgn"}));
    EXPECT_TRUE(canvas.Calls()[0].endsWith(",4)"));
    const TRegion clipped = *canvas.DC().ClipRegion();
    EXPECT_FALSE(clipped.contains(QPoint(120, 120)));
    EXPECT_FALSE(clipped.contains(QPoint(110, 110)));
    EXPECT_TRUE(clipped.contains(QPoint(5, 5)));
    canvas.UnClipRectangle();
    ASSERT_TRUE(canvas.DC().ClipRegion().has_value());
    EXPECT_EQ(*canvas.DC().ClipRegion(), before);
}

TEST(PlotCanvasClipping, PolygonClipUsesDevicePointsAndLeavesTheCallersPoints)
{
    // Guards against the clip turning the caller's points into device
    // points, which later bounds and outlines of the polygon then used.
    TTestCanvas canvas;
    canvas.DC().SetViewportOrg(10, 20);
    const TPointArray points{{0, 0}, {30, 0}, {30, 30}, {99, 99}};
    canvas.ClipPolygon(AsSpan(points), 3);
    EXPECT_EQ(points, (TPointArray{{0, 0}, {30, 0}, {30, 30}, {99, 99}}));
    ASSERT_TRUE(canvas.DC().ClipRegion().has_value());
    const TRegion clip = *canvas.DC().ClipRegion();
    EXPECT_TRUE(clip.contains(QPoint(35, 25)));
    EXPECT_FALSE(clip.contains(QPoint(5, 5)));
    canvas.UnClipRectangle();
    EXPECT_THROW(canvas.ClipPolygon(AsSpan(points), 5), ERangeError);
}

// Clip shapes reaching far past the device (the box of a zoomed 3-D view,
// a huge ellipse) are cut to the device and a margin of 2 pixels before
// they become regions. The polygon's region was the whole shape, built row
// by row (seconds a paint); the ellipse's and the rounded rectangle's asked
// for a mask of the whole shape, which could not be had, and clipped
// everything away.
TEST(PlotCanvasClipping, ShapesFarLargerThanTheDeviceAreCutToIt)
{
    TTestCanvas canvas;
    const QRect device = canvas.DC().DeviceBounds();
    const QRect area = device.adjusted(-2, -2, 2, 2);
    const QRegularExpression bounds(QStringLiteral("rgn\\[(-?\\d+),(-?\\d+),(-?\\d+),(-?\\d+);"));
    const auto clippedArea = [&] {
        const QRegularExpressionMatch m = bounds.match(canvas.Calls().last());
        return m.hasMatch() ? QRect(QPoint(m.captured(1).toInt(), m.captured(2).toInt()),
                                    QPoint(m.captured(3).toInt() - 1, m.captured(4).toInt() - 1))
                            : QRect();
    };

    // The half of the device right of its diagonal.
    const TPointArray far{{-3000000, -3000000}, {3000000, 3000000}, {3000000, -3000000}};
    canvas.ClipPolygon(AsSpan(far), 3);
    EXPECT_TRUE(area.contains(clippedArea())) << canvas.Calls().last().toStdString();
    EXPECT_TRUE(canvas.DC().ClipRegion()->contains(QPoint(600, 300)));
    EXPECT_FALSE(canvas.DC().ClipRegion()->contains(QPoint(300, 600)));
    canvas.UnClipRectangle();

    canvas.ClipEllipse({-4000000, -4000000, 4000000, 4000000}, false);
    EXPECT_TRUE(area.contains(clippedArea())) << canvas.Calls().last().toStdString();
    EXPECT_EQ(*canvas.DC().ClipRegion(), TRegion(device));
    canvas.UnClipRectangle();

    canvas.ClipRoundRectangle({-4000000, 10, 4000000, 4000000}, 40);
    EXPECT_TRUE(area.contains(clippedArea())) << canvas.Calls().last().toStdString();
    EXPECT_EQ(*canvas.DC().ClipRegion(), TRegion(device.adjusted(0, 10, 0, 0)));
    canvas.UnClipRectangle();
}

// --- Pattern bitmaps ----------------------------------------------------------------------------------

TEST(PlotPatterns, FortyNineDistinctPatternsThatAreNeitherEmptyNorFull)
{
    std::set<std::vector<uint8_t>> seen;
    for (int index = 0; index < PatternBitmapCount; ++index) {
        const FixedArray<uint8_t, 8> bits = PatternBits(index);
        std::vector<uint8_t> rows(bits.begin(), bits.end());
        int set = 0;
        for (uint8_t row : rows)
            set += std::popcount(row);
        EXPECT_GT(set, 0) << index;
        EXPECT_LT(set, 64) << index;
        EXPECT_TRUE(seen.insert(rows).second) << "pattern " << index + 1 << " repeats another";
    }
    EXPECT_EQ(PatternBitmapCount, 49);
    EXPECT_THROW(PatternBits(-1), ERangeError);
    EXPECT_THROW(PatternBits(49), ERangeError);
}

TEST(PlotPatterns, LoadBrushStyleBitmapGivesATransparentMonochromeEightByEight)
{
    TBitmap bitmap;
    LoadBrushStyleBitmap(26, bitmap);
    EXPECT_EQ(bitmap.Width(), 8);
    EXPECT_EQ(bitmap.Height(), 8);
    EXPECT_TRUE(bitmap.Monochrome());
    EXPECT_TRUE(bitmap.Transparent());
    EXPECT_EQ(bitmap.TransparentColor(), clWhite);
    const FixedArray<uint8_t, 8> bits = PatternBits(26);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(bitmap.Image().pixel(x, y),
                      (bits[y] & (0x80 >> x)) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    EXPECT_THROW(LoadBrushStyleBitmap(49, bitmap), ERangeError);
}

struct TResourceRow {
    const char* Name;
    int Index;
};

class PatternResourceNames : public ::testing::TestWithParam<TResourceRow> {};

TEST_P(PatternResourceNames, AreComparedWithoutRegardToCase)
{
    EXPECT_EQ(PatternIndexOfResource(QString::fromLatin1(GetParam().Name)), GetParam().Index);
    TBitmap bitmap;
    if (GetParam().Index >= 0) {
        LoadPatternResource(QString::fromLatin1(GetParam().Name), bitmap);
        EXPECT_EQ(bitmap.Width(), 8);
    } else {
        EXPECT_THROW(LoadPatternResource(QString::fromLatin1(GetParam().Name), bitmap), ERangeError);
    }
}

INSTANTIATE_TEST_SUITE_P(PlotPatterns, PatternResourceNames,
                         ::testing::Values(TResourceRow{"BBitmap1", 0}, TResourceRow{"bbitmap49", 48},
                                           TResourceRow{"BBITMAP7", 6}, TResourceRow{"BBitmap0", -1},
                                           TResourceRow{"BBitmap50", -1}, TResourceRow{"BBitmap07", -1},
                                           TResourceRow{"Bitmap7", -1}));

} // namespace
} // namespace lp
