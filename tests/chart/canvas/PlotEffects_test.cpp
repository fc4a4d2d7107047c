#include "chart/canvas/PlotEffects.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/PainterDC.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/RecordingDC.h"

#include "CanvasTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace lp {
namespace {

// --- A concrete canvas for the tests ------------------------------------------------------------
// The 2-D primitives are drawn on the bound device (a recording device
// unless a test gives another) and logged, with the colour they paint in,
// in one list together with the 3-D primitives, clips, gradient fills and
// blends, so a test reads the whole sequence. Its projection is a plain
// oblique shift: (X, Y, Z) → (X + Z, Y - Z).
class TEffectsCanvas : public TCanvas3D {
public:
    explicit TEffectsCanvas(TDeviceContext* Device = nullptr, int Width = 1000, int Height = 1000)
    {
        if (!Device) {
            FOwnDC = std::make_unique<TRecordingDC>(Width, Height);
            Device = FOwnDC.get();
        }
        FDC = Device;
        FCanvas = std::make_unique<TCanvas>(FDC);
        SetCanvas(FCanvas.get());
        FBounds = {0, 0, Width, Height};
    }

    TDeviceContext& DC() const { return *FDC; }
    TRecordingDC& Recorder() const { return *FOwnDC; }

    bool Monochrome = false;
    // The primitive (Ellipse, Rectangle) that raises instead of drawing, to
    // check what a failing drawing leaves.
    QString FailOn;
    QStringList Log;

    TColor GetBackColor() const override { return GetHandle().BkColor(); }
    uint8_t GetBackMode() const override { return static_cast<uint8_t>(GetHandle().BkMode()); }
    TDeviceContext& GetHandle() const override { return *FDC; }
    bool GetMonochrome() const override { return Monochrome; }
    TColor GetPixel(int X, int Y) const override { return FDC->GetPixel(X, Y); }
    bool SupportsFullRotation() const override { return false; }
    unsigned GetTextAlign() const override { return FDC->TextAlign(); }
    bool GetBufferedDisplay() const override { return false; }
    void SetBackColor(TColor Color) override { FDC->SetBkColor(ColorToRGB(Color)); }
    void SetBackMode(uint8_t Mode) override { FDC->SetBkMode(Mode); }
    void SetMonochrome(bool Value) override { Monochrome = Value; }
    void SetPixel(int X, int Y, TColor Color) override
    {
        Log << QStringLiteral("SetPixel(%1,%2,%3)").arg(X).arg(Y).arg(LogColor(Color));
        FDC->SetPixel(X, Y, ColorToRGB(Color));
    }
    void SetTextAlign(unsigned Align) override { FDC->SetTextAlign(Align); }
    void SetBufferedDisplay(bool) override {}

    std::unique_ptr<TPlotBlend> BeginBlending(const TRect& Rect, int Transparency) override
    {
        Log << QStringLiteral("BeginBlending(%1,%2)").arg(Text(Rect)).arg(Transparency);
        return TCanvas3D::BeginBlending(Rect, Transparency);
    }
    void EndBlending(std::unique_ptr<TPlotBlend> Blend) override
    {
        Log << QStringLiteral("EndBlending");
        TCanvas3D::EndBlending(std::move(Blend));
    }

    void Arc(int, int, int, int, int, int, int, int) override { Log << "Arc"; }
    void Donut(int, int, int, int, double, double, double) override { Log << "Donut"; }
    void Draw(int, int, const TGraphic*) override { Log << "Draw"; }
    void Ellipse(int X1, int Y1, int X2, int Y2) override
    {
        if (FailOn == QLatin1String("Ellipse"))
            RaiseRangeError("Ellipse failed", {});
        Log << QStringLiteral("Ellipse(%1,%2,%3,%4) %5").arg(X1).arg(Y1).arg(X2).arg(Y2).arg(BrushText());
        FDC->Ellipse(X1, Y1, X2, Y2);
    }
    void FillRect(const TRect& Rect) override
    {
        Log << QStringLiteral("FillRect(%1) %2").arg(Text(Rect)).arg(BrushText());
        FCanvas->FillRect(Rect);
    }
    void LineTo(int X, int Y) override { FDC->LineTo(X, Y); }
    void MoveTo(int X, int Y) override { FDC->MoveTo(X, Y); }
    void Pie(int, int, int, int, int, int, int, int) override { Log << "Pie"; }
    void Rectangle(int X0, int Y0, int X1, int Y1) override
    {
        if (FailOn == QLatin1String("Rectangle"))
            RaiseRangeError("Rectangle failed", {});
        Log << QStringLiteral("Rectangle(%1,%2,%3,%4) %5").arg(X0).arg(Y0).arg(X1).arg(Y1).arg(BrushText());
        FDC->Rectangle(X0, Y0, X1, Y1);
    }
    void RoundRect(int, int, int, int, int, int) override { Log << "RoundRect"; }
    void StretchDraw(const TRect&, const TGraphic*) override { Log << "StretchDraw"; }
    void TextOut(int, int, const QString&) override { Log << "TextOut"; }
    void ClipRectangle(const TRect& Rect) override
    {
        Log << QStringLiteral("ClipRectangle(%1)").arg(Text(Rect));
        const TPoint p0 = FDC->LPtoDP(Rect.TopLeft());
        const TPoint p1 = FDC->LPtoDP(Rect.BottomRight());
        IntersectClip(*FDC, CreateRectRgn(p0.X, p0.Y, p1.X, p1.Y));
    }
    void ClipRoundRectangle(const TRect& Rect, int RoundSize) override
    {
        Log << QStringLiteral("ClipRoundRectangle(%1,%2)").arg(Text(Rect)).arg(RoundSize);
        TCanvas3D::ClipRoundRectangle(Rect, RoundSize);
    }
    void ClipEllipse(const TRect& Rect, bool Inverted) override
    {
        Log << QStringLiteral("ClipEllipse(%1,%2)").arg(Text(Rect)).arg(Inverted);
        TCanvas3D::ClipEllipse(Rect, Inverted);
    }
    void ClipPolygon(std::span<const TPoint> Points, int NumPoints) override
    {
        Log << QStringLiteral("ClipPolygon(%1)").arg(LogPoints(Points.data(), NumPoints));
        TCanvas3D::ClipPolygon(Points, NumPoints);
    }
    void HorizLine(int X0, int X1, int Y) override
    {
        Log << QStringLiteral("HorizLine(%1,%2,%3) %4").arg(X0).arg(X1).arg(Y).arg(PenText());
        Line(X0, Y, X1, Y);
    }
    void VertLine(int X, int Y0, int Y1) override
    {
        Log << QStringLiteral("VertLine(%1,%2,%3) %4").arg(X).arg(Y0).arg(Y1).arg(PenText());
        Line(X, Y0, X, Y1);
    }
    void EraseBackground(const TRect& Rect) override { FillRect(Rect); }
    void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                      int Balance) override
    {
        Log << QStringLiteral("GradientFill(%1,%2,%3,%4,%5)")
                   .arg(Text(Rect))
                   .arg(LogColor(StartColor))
                   .arg(LogColor(EndColor))
                   .arg(QMetaEnum::fromType<TGradientDirection>().valueToKey(Direction))
                   .arg(Balance);
    }
    void Invalidate() override {}
    void Line(int X0, int Y0, int X1, int Y1) override
    {
        FDC->MoveTo(X0, Y0);
        FDC->LineTo(X1, Y1);
    }
    void Polyline(std::span<const TPoint> Points, int LastIndex) override
    {
        FDC->Polyline(Points.data(), LastIndex + 1);
    }
    void Polygon(std::span<const TPoint> Points, int LastIndex) override
    {
        Log << QStringLiteral("Polygon(%1)").arg(LogPoints(Points.data(), LastIndex + 1));
        FDC->Polygon(Points.data(), LastIndex + 1);
    }
    void RotateLabel(int, int, const QString&, double) override { Log << "RotateLabel"; }
    void UnClipRectangle() override
    {
        Log << QStringLiteral("UnClipRectangle");
        RestoreClip(*FDC);
    }

    TColor GetPixel3D(int X, int Y, int Z) const override
    {
        const TPoint p = Calculate3DPosition(X, Y, Z);
        return GetPixel(p.X, p.Y);
    }
    bool Supports3DText() const override { return false; }
    void SetPixel3D(int X, int Y, int Z, TColor Color) override
    {
        Log << QStringLiteral("SetPixel3D(%1,%2,%3,%4)").arg(X).arg(Y).arg(Z).arg(LogColor(Color));
    }
    void Calculate2DPosition(int& X, int& Y, int Z) const override
    {
        X -= Z;
        Y += Z;
    }
    TPoint Calculate3DPosition(int X, int Y, int Z) const override { return {X + Z, Y - Z}; }
    TRect InitWindow(TCanvas*, TView3DOptions*, TColor, bool, const TRect& ABounds) override { return ABounds; }
    void SetProjection(int, const TRect&) override {}
    void ShowImage(TCanvas*, TCanvas*, const TRect&) override {}
    bool RedrawBitmap() override { return false; }
    void Arrow(bool, const TPoint&, const TPoint&, int, int, int, double) override { Log << "Arrow"; }
    void ClipCube(const TRect&, int, int) override { Log << "ClipCube"; }
    void Cone(bool, int, int, int, int, int, int, bool, int) override { Log << "Cone"; }
    void Cube(int, int, int, int, int, int, bool) override { Log << "Cube"; }
    void Cylinder(bool, int, int, int, int, int, int, bool) override { Log << "Cylinder"; }
    void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) override
    {
        Log << QStringLiteral("EllipseWithZ(%1,%2,%3,%4,%5) %6")
                   .arg(X1)
                   .arg(Y1)
                   .arg(X2)
                   .arg(Y2)
                   .arg(Z)
                   .arg(BrushText());
    }
    void HorizLine3D(int Left, int Right, int Y, int Z) override
    {
        Log << QStringLiteral("HorizLine3D(%1,%2,%3,%4) %5").arg(Left).arg(Right).arg(Y).arg(Z).arg(PenText());
    }
    void VertLine3D(int X, int Top, int Bottom, int Z) override
    {
        Log << QStringLiteral("VertLine3D(%1,%2,%3,%4) %5").arg(X).arg(Top).arg(Bottom).arg(Z).arg(PenText());
    }
    void ZLine3D(int, int, int, int) override { Log << "ZLine3D"; }
    void LineWithZ(int, int, int, int, int) override { Log << "LineWithZ"; }
    void MoveTo3D(int, int, int) override { Log << "MoveTo3D"; }
    void LineTo3D(int, int, int) override { Log << "LineTo3D"; }
    void Pie3D(int, int, int, int, int, int, double, double, bool, bool, int, TCustomPlotGradient*) override
    {
        Log << "Pie3D";
    }
    void Plane3D(const TPoint&, const TPoint&, int, int) override { Log << "Plane3D"; }
    void PlaneWithZ(const TPoint&, const TPoint&, const TPoint&, const TPoint&, int) override { Log << "PlaneWithZ"; }
    void PlaneFour3D(TFourPoints&, int, int) override { Log << "PlaneFour3D"; }
    void PolygonWithZ(std::span<const TPoint>, int) override { Log << "PolygonWithZ"; }
    void PolylineWithZ(std::span<const TPoint>, int) override { Log << "PolylineWithZ"; }
    void Pyramid(bool, int, int, int, int, int, int, bool) override { Log << "Pyramid"; }
    void PyramidTrunc(const TRect&, int, int, int, int) override { Log << "PyramidTrunc"; }
    void RectangleWithZ(const TRect& Rect, int Z) override
    {
        Log << QStringLiteral("RectangleWithZ(%1,%2) %3").arg(Text(Rect)).arg(Z).arg(BrushText());
    }
    void PlaneAtY(int, int, int, int, int) override { Log << "PlaneAtY"; }
    void PlaneAtX(int, int, int, int, int) override { Log << "PlaneAtX"; }
    void RotateLabel3D(int, int, int, const QString&, double) override { Log << "RotateLabel3D"; }
    void CircleWithZ(int, int, double, int) override { Log << "CircleWithZ"; }
    void Surface3D(int, const TSurfacePointFunc&, int, int) override { Log << "Surface3D"; }
    void TextOut3D(int, int, int, const QString&) override { Log << "TextOut3D"; }
    void Triangle3D(const TTrianglePoints3D&, const TTriangleColors&) override { Log << "Triangle3D"; }
    void TriangleWithZ(const TPoint&, const TPoint&, const TPoint&, int) override { Log << "TriangleWithZ"; }

private:
    static QString Text(const TRect& Rect)
    {
        return QStringLiteral("%1,%2,%3,%4").arg(Rect.Left).arg(Rect.Top).arg(Rect.Right).arg(Rect.Bottom);
    }
    // The colour the device fills with: its own brush's colour while that is
    // selected, else the selected brush's (clear for a null brush).
    QString BrushText() const
    {
        const TLogBrush& brush = FDC->Brush();
        if (brush.Kind == TBrushKind::DCBrush)
            return LogColor(FDC->DCBrushColor());
        if (brush.Kind == TBrushKind::Null)
            return QStringLiteral("clear");
        return LogColor(brush.Color);
    }
    QString PenText() const
    {
        const TLogPen& pen = FDC->Pen();
        return pen.Style == PS_NULL ? QStringLiteral("clear") : LogColor(pen.Color);
    }

    std::unique_ptr<TRecordingDC> FOwnDC;
    TDeviceContext* FDC = nullptr;
    std::unique_ptr<TCanvas> FCanvas;
};

// A white image with a painting device and a canvas drawing on it.
struct TPixelCanvas {
    explicit TPixelCanvas(int Width = 40, int Height = 40) : Image(Width, Height, QImage::Format_RGB32)
    {
        Image.fill(qRgb(255, 255, 255));
        DC = std::make_unique<TPainterDC>(Image);
        Canvas = std::make_unique<TEffectsCanvas>(DC.get(), Width, Height);
    }
    TColor Pixel(int X, int Y) const { return Canvas->GetPixel(X, Y); }

    QImage Image;
    std::unique_ptr<TPainterDC> DC;
    std::unique_ptr<TEffectsCanvas> Canvas;
};

using test::TDefaultFontScope;

QStringList PropertyNames(const QObject* object)
{
    QStringList names;
    for (const QMetaProperty& property : PublishedProperties(object))
        names << QString::fromLatin1(property.name());
    return names;
}

// --- Shadow properties ------------------------------------------------------------------------------

TEST(PlotShadow, DefaultsAndStoredRules)
{
    TPlotShadow shadow;
    EXPECT_EQ(shadow.Color(), clSilver);
    EXPECT_EQ(shadow.HorizSize(), 0);
    EXPECT_EQ(shadow.VertSize(), 0);
    EXPECT_TRUE(shadow.Smooth());
    EXPECT_EQ(shadow.Transparency(), 0);
    EXPECT_EQ(PropertyNames(&shadow), (QStringList{"Color", "HorizSize", "Smooth", "Transparency", "VertSize"}));
    EXPECT_EQ(PropertyDefault(&shadow, "Smooth"), QVariant(true));
    EXPECT_EQ(PropertyDefault(&shadow, "Transparency"), QVariant(0));
    for (const char* name : {"Color", "HorizSize", "VertSize"})
        EXPECT_FALSE(HasPropertyDefault(&shadow, name)) << name;
    for (const char* name : {"Color", "HorizSize", "Smooth", "Transparency", "VertSize"})
        EXPECT_FALSE(IsPropertyStored(&shadow, name)) << name;
    shadow.SetDefaultColor(clBlack);
    EXPECT_TRUE(IsPropertyStored(&shadow, "Color"));
    shadow.SetHorizSize(3);
    EXPECT_TRUE(IsPropertyStored(&shadow, "HorizSize"));
    shadow.SetDefaultSize(3);
    EXPECT_FALSE(IsPropertyStored(&shadow, "HorizSize"));
    EXPECT_TRUE(IsPropertyStored(&shadow, "VertSize"));
    shadow.SetSmooth(false);
    shadow.SetTransparency(40);
    EXPECT_TRUE(IsPropertyStored(&shadow, "Smooth"));
    EXPECT_TRUE(IsPropertyStored(&shadow, "Transparency"));
}

TEST(PlotShadow, SettersSignalOnlyRealChangesAndSizeIsTheLarger)
{
    int changes = 0;
    TPlotShadow* expected = nullptr;
    TPlotShadow shadow([&](TPersistent* sender) {
        EXPECT_EQ(sender, expected);
        ++changes;
    });
    expected = &shadow;
    shadow.SetColor(clSilver);
    shadow.SetHorizSize(0);
    shadow.SetSmooth(true);
    shadow.SetTransparency(0);
    shadow.SetVertSize(0);
    EXPECT_EQ(changes, 0);
    shadow.SetSize(4);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(shadow.HorizSize(), 4);
    EXPECT_EQ(shadow.VertSize(), 4);
    shadow.SetVertSize(-6);
    EXPECT_EQ(shadow.Size(), 4);
    shadow.SetHorizSize(-7);
    EXPECT_EQ(shadow.Size(), -6);
    shadow.SetTransparency(100);
    EXPECT_EQ(changes, 5);
    EXPECT_THROW(shadow.SetTransparency(101), ERangeError);
    EXPECT_THROW(shadow.SetTransparency(-1), ERangeError);
    EXPECT_EQ(shadow.Transparency(), 100);
    EXPECT_EQ(changes, 5);
}

TEST(PlotShadow, AssignCopiesTheFiveValuesButNotTheDefaultsOrTheEvent)
{
    int sourceChanges = 0;
    int targetChanges = 0;
    TPlotShadow source([&](TPersistent*) { ++sourceChanges; });
    source.SetColor(clRed);
    source.SetHorizSize(4);
    source.SetVertSize(-6);
    source.SetSmooth(false);
    source.SetTransparency(30);
    source.SetDefaultColor(clRed);
    source.SetDefaultSize(4);
    TPlotShadow target([&](TPersistent*) { ++targetChanges; });
    target.Assign(&source);
    EXPECT_EQ(target.Color(), clRed);
    EXPECT_EQ(target.HorizSize(), 4);
    EXPECT_EQ(target.VertSize(), -6);
    EXPECT_FALSE(target.Smooth());
    EXPECT_EQ(target.Transparency(), 30);
    EXPECT_EQ(target.DefaultColor(), clSilver);
    EXPECT_EQ(target.DefaultSize(), 0);
    EXPECT_EQ(targetChanges, 0);
    target.SetColor(clBlue);
    EXPECT_EQ(targetChanges, 1);
    EXPECT_EQ(sourceChanges, 5);
    TPen pen;
    EXPECT_THROW(target.Assign(&pen), EConvertError);
}

// --- Shadow drawing --------------------------------------------------------------------------------

TEST(PlotShadowDrawing, NoColourOrNoSizeDrawsNothingAndStartsNoBlending)
{
    struct TRow {
        TColor Color;
        int HorizSize;
        int VertSize;
    };
    for (const TRow& row : {TRow{clNone, 3, 3}, TRow{clBlack, 0, 0}}) {
        TEffectsCanvas canvas;
        canvas.Brush()->SetColor(clLime);
        canvas.Recorder().ClearCalls();
        TPlotShadow shadow;
        shadow.SetColor(row.Color);
        shadow.SetHorizSize(row.HorizSize);
        shadow.SetVertSize(row.VertSize);
        shadow.SetTransparency(50);
        EXPECT_FALSE(shadow.PrepareCanvas(canvas, {10, 10, 20, 20}, 0));
        shadow.Draw(canvas, {10, 10, 20, 20});
        shadow.DrawEllipse(canvas, {10, 10, 20, 20}, 0);
        EXPECT_TRUE(canvas.Log.isEmpty()) << canvas.Log.join(' ').toStdString();
        EXPECT_TRUE(canvas.Recorder().Calls().isEmpty());
        EXPECT_EQ(canvas.Brush()->Color(), clLime);
    }
}

TEST(PlotShadowDrawing, PrepareCanvasSetsASolidBrushWithoutPatternAndAClearPen)
{
    // Guards against a shadow filled with the pattern an earlier brush left.
    TEffectsCanvas canvas;
    TBitmap pattern(8, 8);
    canvas.Brush()->SetStyle(bsCross);
    canvas.Brush()->SetBitmap(&pattern);
    TPlotShadow shadow;
    shadow.SetColor(clMaroon);
    shadow.SetHorizSize(2);
    EXPECT_TRUE(shadow.PrepareCanvas(canvas, {0, 0, 10, 10}, 0));
    EXPECT_EQ(canvas.Brush()->Bitmap(), nullptr);
    EXPECT_EQ(canvas.Brush()->Color(), clMaroon);
    EXPECT_EQ(canvas.Brush()->Style(), bsSolid);
    EXPECT_EQ(canvas.Pen()->Style(), psClear);
    EXPECT_EQ(canvas.DC().Brush(), CreateSolidBrush(clMaroon));
    EXPECT_TRUE(canvas.Log.isEmpty()); // no transparency, no blend
    shadow.FinishBlending(canvas);
    EXPECT_TRUE(canvas.Log.isEmpty());
}

struct THardShadowRow {
    const char* Name;
    int HorizSize;
    int VertSize;
    bool Smooth;
    QStringList Expected;
};

class PlotShadowHardForm : public ::testing::TestWithParam<THardShadowRow> {};

// Flat (inside a no-rotation bracket): 2-D rectangles below/above and
// right/left of (10, 10, 20, 20).
TEST_P(PlotShadowHardForm, FlatCanvasDrawsRectanglesOnTheSidesOfTheOffset)
{
    const THardShadowRow& row = GetParam();
    TEffectsCanvas canvas;
    canvas.BeginNoRotation();
    TPlotShadow shadow;
    shadow.SetColor(clNavy);
    shadow.SetHorizSize(row.HorizSize);
    shadow.SetVertSize(row.VertSize);
    shadow.SetSmooth(row.Smooth);
    shadow.Draw(canvas, {10, 10, 20, 20});
    EXPECT_EQ(canvas.Log, row.Expected);
    EXPECT_EQ(canvas.Pen()->Style(), psClear);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotShadowHardForm,
    ::testing::Values(
        THardShadowRow{"BelowAndRight", 3, 2, false,
                       {"Rectangle(13,20,23,23) 0x800000", "Rectangle(20,12,24,23) 0x800000"}},
        THardShadowRow{"AboveAndLeft", -3, -2, false,
                       {"Rectangle(7,11,17,8) 0x800000", "Rectangle(11,8,7,19) 0x800000"}},
        THardShadowRow{"OnlyBelow", 0, 4, false, {"Rectangle(10,20,20,25) 0x800000"}},
        THardShadowRow{"OnlyLeft", -2, 0, false, {"Rectangle(11,10,8,21) 0x800000"}},
        THardShadowRow{"SmoothOfSizeOneIsHard", 1, 1, true,
                       {"Rectangle(11,20,21,22) 0x800000", "Rectangle(20,11,22,22) 0x800000"}},
        THardShadowRow{"SmoothWithBothSizesNegativeIsHard", -2, -2, true,
                       {"Rectangle(8,11,18,8) 0x800000", "Rectangle(11,8,8,19) 0x800000"}}),
    [](const ::testing::TestParamInfo<THardShadowRow>& info) { return std::string(info.param.Name); });

TEST(PlotShadowDrawing, HardFormOnARotatedCanvasDrawsTwoRectanglesAtDepth)
{
    TEffectsCanvas canvas;
    TPlotShadow shadow;
    shadow.SetColor(clNavy);
    shadow.SetHorizSize(3);
    shadow.SetVertSize(2);
    shadow.SetSmooth(false);
    shadow.DrawWithDepth(canvas, {10, 10, 20, 20}, 7);
    EXPECT_EQ(canvas.Log, (QStringList{"RectangleWithZ(13,20,23,22,7) 0x800000",
                                       "RectangleWithZ(20,12,23,22,7) 0x800000"}));
}

TEST(PlotShadowDrawing, FadingFormLightensEachLineByTheRoundedStep)
{
    // RGB(100, 50, 0): average 50; bottom step round(205 / 2) = 102 (half to
    // even), right step round(205 / 3) = 68.
    TEffectsCanvas canvas;
    canvas.BeginNoRotation();
    TPlotShadow shadow;
    shadow.SetColor(RGB(100, 50, 0));
    shadow.SetHorizSize(3);
    shadow.SetVertSize(2);
    canvas.Recorder().ClearCalls();
    shadow.Draw(canvas, {10, 10, 20, 20});
    EXPECT_EQ(canvas.Log, (QStringList{"HorizLine(13,21,20) 0x003264", "HorizLine(13,22,21) 0x6698CA",
                                       "VertLine(20,12,19) 0x003264", "SetPixel(19,18,0x003264)",
                                       "VertLine(21,12,20) 0x4476A8", "SetPixel(20,19,0x4476A8)",
                                       "VertLine(22,12,21) 0x88BAEC", "SetPixel(21,20,0x88BAEC)"}));
    // Lines are drawn with a solid pen.
    EXPECT_EQ(canvas.Pen()->Style(), psSolid);
    EXPECT_EQ(canvas.Recorder().CallsStartingWith("MoveTo").first(), "MoveTo(13,20)");
}

TEST(PlotShadowDrawing, FadingFormOnARotatedCanvasDrawsAtDepth)
{
    TEffectsCanvas canvas;
    TPlotShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetSize(2); // steps round(255 / 2) = 128
    shadow.DrawWithDepth(canvas, {0, 0, 10, 10}, 4);
    EXPECT_EQ(canvas.Log, (QStringList{"HorizLine3D(2,10,10,4) 0x000000", "HorizLine3D(2,11,11,4) 0x808080",
                                       "VertLine3D(10,2,10,4) 0x000000", "SetPixel3D(9,9,4,0x000000)",
                                       "VertLine3D(11,2,11,4) 0x808080", "SetPixel3D(10,10,4,0x808080)"}));
}

TEST(PlotShadowDrawing, FadingFormDrawsNoBandForANegativeSize)
{
    TEffectsCanvas canvas;
    canvas.BeginNoRotation();
    TPlotShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetHorizSize(2);
    shadow.SetVertSize(-3);
    shadow.Draw(canvas, {0, 0, 10, 10});
    EXPECT_EQ(canvas.Log, (QStringList{"VertLine(10,-3,5) 0x000000", "SetPixel(9,4,0x000000)",
                                       "VertLine(11,-3,6) 0x808080", "SetPixel(10,5,0x808080)"}));
}

TEST(PlotShadowDrawing, TranslucentShadowBlendsOverTheProjectedOffsetRectangle)
{
    TEffectsCanvas canvas;
    TPlotShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetHorizSize(3);
    shadow.SetVertSize(2);
    shadow.SetSmooth(false);
    shadow.SetTransparency(40);
    // (13, 12, 23, 22) projected at depth 5: corners (18, 7) .. (28, 17),
    // bounds with exclusive right and bottom.
    shadow.DrawWithDepth(canvas, {10, 10, 20, 20}, 5);
    ASSERT_EQ(canvas.Log.size(), 4);
    EXPECT_EQ(canvas.Log.first(), "BeginBlending(18,7,29,18,40)");
    EXPECT_EQ(canvas.Log.last(), "EndBlending");
    EXPECT_EQ(canvas.BlendTransparency(), 40);
}

TEST(PlotShadowPixels, OpaqueHardShadowFillsTheBandsInItsColour)
{
    TPixelCanvas pixels;
    TEffectsCanvas& canvas = *pixels.Canvas;
    canvas.BeginNoRotation();
    TPlotShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetHorizSize(3);
    shadow.SetVertSize(2);
    shadow.SetSmooth(false);
    shadow.Draw(canvas, {10, 10, 20, 20});
    struct TRow {
        int X, Y;
        TColor Expected;
    };
    for (const TRow& row : {TRow{13, 20, clBlack}, TRow{22, 21, clBlack}, TRow{12, 20, clWhite},
                            TRow{13, 22, clWhite}, TRow{20, 12, clBlack}, TRow{20, 11, clWhite},
                            TRow{23, 15, clWhite}, TRow{15, 15, clWhite}})
        EXPECT_EQ(pixels.Pixel(row.X, row.Y), row.Expected) << row.X << "," << row.Y;
}

TEST(PlotShadowPixels, NegativeVertSizePutsTheHardBandAboveTheRectangle)
{
    TPixelCanvas pixels;
    TEffectsCanvas& canvas = *pixels.Canvas;
    canvas.BeginNoRotation();
    TPlotShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetVertSize(-3);
    shadow.SetSmooth(false);
    shadow.Draw(canvas, {10, 10, 20, 20});
    for (int y = 7; y <= 9; ++y)
        EXPECT_EQ(pixels.Pixel(15, y), clBlack) << y;
    EXPECT_EQ(pixels.Pixel(15, 6), clWhite);
    EXPECT_EQ(pixels.Pixel(15, 10), clWhite);
    EXPECT_EQ(pixels.Pixel(15, 20), clWhite);
}

TEST(PlotShadowPixels, TranslucentShadowMixesWithWhatWasUnderIt)
{
    TPixelCanvas pixels;
    TEffectsCanvas& canvas = *pixels.Canvas;
    canvas.BeginNoRotation();
    TPlotShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetHorizSize(3);
    shadow.SetVertSize(2);
    shadow.SetSmooth(false);
    shadow.SetTransparency(50);
    shadow.Draw(canvas, {10, 10, 20, 20});
    // Half of the white beneath shows through the black band.
    EXPECT_EQ(pixels.Pixel(15, 21), RGB(127, 127, 127));
    EXPECT_EQ(pixels.Pixel(21, 15), RGB(127, 127, 127));
    // Inside the blended rectangle white stays white but for the blend's
    // one step of red (BlendBitmaps); outside it nothing changes.
    EXPECT_EQ(pixels.Pixel(15, 15), RGB(254, 255, 255));
    EXPECT_EQ(pixels.Pixel(5, 5), clWhite);
}

TEST(PlotShadowDrawing, OverflowingOffsetRaisesRangeError)
{
    TEffectsCanvas canvas;
    canvas.BeginNoRotation();
    TPlotShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetVertSize(2);
    shadow.SetHorizSize(2);
    shadow.SetSmooth(false);
    EXPECT_THROW(shadow.Draw(canvas, {0, 0, 10, INT32_MAX - 1}), ERangeError);
    shadow.SetTransparency(50);
    canvas.Log.clear();
    EXPECT_THROW(shadow.Draw(canvas, {0, 0, INT32_MAX, 10}), ERangeError);
    EXPECT_TRUE(canvas.Log.isEmpty()); // refused before any blend began
}

// A shadow of 100,000,000 pixels once drew as many band lines; sizes now
// keep within the pixel-length range, and flat bands stop at the canvas.
TEST(PlotShadowDrawing, HugeFadingShadowDrawsOnlyTheLinesThatReachTheCanvas)
{
    TEffectsCanvas canvas(nullptr, 300, 200);
    TPlotShadow shadow;
    shadow.SetColor(clBlack);
    shadow.SetSize(100000000);
    EXPECT_EQ(shadow.Size(), MaxPixelLength);
    canvas.BeginNoRotation();
    shadow.Draw(canvas, {10, 10, 20, 20});
    EXPECT_EQ(canvas.Log.filter(QStringLiteral("HorizLine(")).size(), 200 - 20);
    EXPECT_EQ(canvas.Log.filter(QStringLiteral("VertLine(")).size(), 300 - 20);
    // Through the projection every line of the range is drawn, no more.
    canvas.EndNoRotation();
    canvas.Log.clear();
    shadow.DrawWithDepth(canvas, {10, 10, 20, 20}, 0);
    EXPECT_EQ(canvas.Log.filter(QStringLiteral("HorizLine3D(")).size(), MaxPixelLength);
}

// Every size, offset and balance keeps within its range whoever sets it
// (the appearance readers refuse what lies outside; streams and editors
// reach the setters directly).
TEST(PlotEffectsRanges, SettersKeepValuesInTheirRanges)
{
    TPlotShadow shadow;
    TPlotGradient gradient;
    TPlotFont font;
    const struct {
        const char* Name;
        std::function<void(int)> Set;
        std::function<int()> Get;
        int Low;
        int High;
    } rows[] = {
        {"HorizSize", [&](int V) { shadow.SetHorizSize(V); }, [&] { return shadow.HorizSize(); }, -MaxPixelLength,
         MaxPixelLength},
        {"VertSize", [&](int V) { shadow.SetVertSize(V); }, [&] { return shadow.VertSize(); }, -MaxPixelLength,
         MaxPixelLength},
        {"Balance", [&](int V) { gradient.SetBalance(V); }, [&] { return gradient.Balance(); }, 0, 100},
        {"RadialX", [&](int V) { gradient.SetRadialX(V); }, [&] { return gradient.RadialX(); }, -MaxPixelLength,
         MaxPixelLength},
        {"RadialY", [&](int V) { gradient.SetRadialY(V); }, [&] { return gradient.RadialY(); }, -MaxPixelLength,
         MaxPixelLength},
        {"InterCharSize", [&](int V) { font.SetInterCharSize(V); }, [&] { return font.InterCharSize(); },
         -MaxPixelLength, MaxPixelLength},
        {"Height", [&](int V) { font.SetHeight(V); }, [&] { return font.Height(); }, -MaxFontHeight, MaxFontHeight},
        {"OutLine.Width", [&](int V) { font.OutLine()->SetWidth(V); }, [&] { return font.OutLine()->Width(); }, 0,
         MaxPixelLength},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        for (const int value : {INT_MAX, 100000000, INT_MIN, -100000000}) {
            row.Set(value);
            EXPECT_EQ(row.Get(), value > 0 ? row.High : row.Low) << value;
        }
        row.Set(row.Low + 1);
        EXPECT_EQ(row.Get(), row.Low + 1);
    }
}

// A radial gradient with its centre far outside once made every paint raise.
TEST(PlotGradientRadial, FarRadialOffsetsStillDraw)
{
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.SetDirection(gdRadial);
    gradient.SetRadialX(INT_MAX);
    gradient.SetRadialY(INT_MIN);
    gradient.SetBalance(INT_MIN);
    EXPECT_NO_THROW(gradient.Draw(canvas, {0, 0, 100, 60}));
    EXPECT_EQ(canvas.Log.filter(QStringLiteral("Ellipse(")).size(), 101); // i = 100 .. 0
}

TEST(PlotShadowDrawing, FailedDrawingDropsItsBlend)
{
    // Guards against a failed drawing leaving its blend for a later FinishBlending.
    TEffectsCanvas canvas;
    canvas.BeginNoRotation();
    canvas.FailOn = QStringLiteral("Rectangle");
    TPlotShadow shadow;
    shadow.SetSize(2);
    shadow.SetSmooth(false);
    shadow.SetTransparency(50);
    EXPECT_THROW(shadow.Draw(canvas, {0, 0, 10, 10}), ERangeError);
    EXPECT_EQ(canvas.Log, (QStringList{"BeginBlending(2,2,13,13,50)"}));
    shadow.FinishBlending(canvas); // nothing left over from the failed drawing
    EXPECT_EQ(canvas.Log.size(), 1);
}

TEST(PlotShadowDrawing, HardEllipseIsAnEllipseAtDepth)
{
    TEffectsCanvas canvas;
    TPlotShadow shadow;
    shadow.SetColor(clGray);
    shadow.SetHorizSize(4);
    shadow.SetVertSize(-2);
    shadow.SetSmooth(false);
    shadow.DrawEllipse(canvas, {10, 10, 30, 20}, 3);
    EXPECT_EQ(canvas.Log, (QStringList{"EllipseWithZ(14,8,34,18,3) 0x808080"}));
}

TEST(PlotShadowDrawing, SmoothEllipseFillsTheProjectedEllipseRadially)
{
    TEffectsCanvas canvas;
    TPlotShadow shadow;
    shadow.SetColor(RGB(160, 160, 160));
    shadow.SetSize(2);
    canvas.Brush()->SetColor(clLime);
    shadow.DrawEllipse(canvas, {0, 0, 4, 4}, 1);
    // (2, 2, 6, 6) at depth 1 is (3, 1, 7, 5); the fill goes from 160 - 128
    // at the centre to 160 + 32 at the rim in n = 4 linear steps of 40.
    // Centre (1 + 5, 1 + 3), steps 0.5, coordinates rounded half to even.
    EXPECT_EQ(canvas.Log, (QStringList{"ClipEllipse(3,1,7,5,0)", "ClipRectangle(3,1,7,5)",
                                       "FillRect(3,1,7,5) 0xC0C0C0", "Ellipse(4,2,8,6) 0xC0C0C0",
                                       "Ellipse(4,2,8,6) 0x989898", "Ellipse(5,3,7,5) 0x707070",
                                       "Ellipse(6,4,6,4) 0x484848", "Ellipse(6,4,6,4) 0x202020",
                                       "UnClipRectangle", "UnClipRectangle"}));
    // The brush colour is back after the fill.
    EXPECT_EQ(canvas.Brush()->Color(), RGB(160, 160, 160));
}

TEST(PlotShadowDrawing, SmoothEllipseLeavesTheClipAsItWas)
{
    TEffectsCanvas canvas;
    canvas.DC().IntersectClipRect(0, 0, 100, 100);
    const TRegion before = *canvas.DC().ClipRegion();
    TPlotShadow shadow;
    shadow.SetSize(3);
    shadow.DrawEllipse(canvas, {10, 10, 40, 30}, 0);
    ASSERT_TRUE(canvas.DC().ClipRegion().has_value());
    EXPECT_EQ(*canvas.DC().ClipRegion(), before);
}

TEST(PlotShadowDrawing, TranslucentEllipseBlendsAroundTheFill)
{
    TEffectsCanvas canvas;
    TPlotShadow shadow;
    shadow.SetSize(2);
    shadow.SetSmooth(false);
    shadow.SetTransparency(25);
    shadow.DrawEllipse(canvas, {0, 0, 10, 10}, 0);
    EXPECT_EQ(canvas.Log, (QStringList{"BeginBlending(2,2,13,13,25)", "EllipseWithZ(2,2,12,12,0) 0xC0C0C0",
                                       "EndBlending"}));
}

TEST(PlotShadowDrawing, UnboundCanvasRaisesInsteadOfDrawing)
{
    // Guards against drawing through the missing pen and brush of an unbound canvas.
    TEffectsCanvas canvas;
    canvas.SetCanvas(nullptr);
    TPlotShadow shadow;
    shadow.SetSize(3);
    EXPECT_THROW(shadow.Draw(canvas, {0, 0, 10, 10}), EInvalidOperation);
    TPlotGradient gradient;
    EXPECT_THROW(gradient.DrawRadial(canvas, {0, 0, 10, 10}), EInvalidOperation);
    EXPECT_EQ(canvas.Log, (QStringList{"ClipRectangle(0,0,10,10)", "UnClipRectangle"}));
}

// --- Gradient properties ----------------------------------------------------------------------------

TEST(PlotGradient, DefaultsArePublishedAndNotStored)
{
    TPlotGradient gradient;
    EXPECT_EQ(gradient.Balance(), 50);
    EXPECT_EQ(gradient.Direction(), gdTopBottom);
    EXPECT_EQ(gradient.EndColor(), 0x00FFFF);
    EXPECT_EQ(gradient.MidColor(), clNone);
    EXPECT_EQ(gradient.RadialX(), 0);
    EXPECT_EQ(gradient.RadialY(), 0);
    EXPECT_EQ(gradient.StartColor(), 0xFFFFFF);
    EXPECT_FALSE(gradient.Visible());
    EXPECT_FALSE(gradient.MiddleColorInUse());
    const QStringList names{"Balance",  "Direction", "EndColor",   "MidColor",
                            "RadialX",  "RadialY",   "StartColor", "Visible"};
    EXPECT_EQ(PropertyNames(&gradient), names);
    for (const QString& name : names) {
        const QByteArray key = name.toLatin1();
        EXPECT_TRUE(HasPropertyDefault(&gradient, key.constData())) << key.constData();
        EXPECT_FALSE(IsPropertyStored(&gradient, key.constData())) << key.constData();
    }
    EXPECT_EQ(PropertyDefault(&gradient, "Direction").value<TGradientDirection>(), gdTopBottom);
    EXPECT_EQ(PropertyDefault(&gradient, "MidColor").toInt(), clNone);
    EXPECT_EQ(PropertyDefault(&gradient, "EndColor").toInt(), 65535);
    // The custom gradient publishes nothing.
    TCustomPlotGradient custom;
    EXPECT_TRUE(PropertyNames(&custom).isEmpty());
}

TEST(PlotGradient, ChangedValuesAreStored)
{
    TPlotGradient gradient;
    gradient.SetBalance(70);
    gradient.SetDirection(gdRadial);
    gradient.SetEndColor(clRed);
    gradient.SetMidColor(clBlue);
    gradient.SetRadialX(-4);
    gradient.SetRadialY(5);
    gradient.SetStartColor(clBlack);
    gradient.SetVisible(true);
    for (const char* name :
         {"Balance", "Direction", "EndColor", "MidColor", "RadialX", "RadialY", "StartColor", "Visible"})
        EXPECT_TRUE(IsPropertyStored(&gradient, name)) << name;
    // Published values can be written by name, as streaming does.
    EXPECT_TRUE(gradient.setProperty("Direction", QVariant::fromValue(gdDiagonalUp)));
    EXPECT_EQ(gradient.Direction(), gdDiagonalUp);
}

TEST(PlotGradient, SettersSignalOnlyRealChanges)
{
    int changes = 0;
    TPlotGradient* expected = nullptr;
    TPlotGradient gradient([&](TPersistent* sender) {
        EXPECT_EQ(sender, expected);
        ++changes;
    });
    expected = &gradient;
    gradient.SetBalance(50);
    gradient.SetDirection(gdTopBottom);
    gradient.SetEndColor(clYellow);
    gradient.SetRadialX(0);
    gradient.SetRadialY(0);
    gradient.SetStartColor(clWhite);
    gradient.SetVisible(false);
    EXPECT_EQ(changes, 0);
    gradient.SetBalance(10);
    gradient.SetDirection(gdFromCenter);
    gradient.SetEndColor(clRed);
    gradient.SetRadialX(1);
    gradient.SetRadialY(2);
    gradient.SetStartColor(clBlue);
    gradient.SetVisible(true);
    EXPECT_EQ(changes, 7);
}

TEST(PlotGradient, DirectionOutsideTheTenRaisesRangeError)
{
    TPlotGradient gradient;
    EXPECT_THROW(gradient.SetDirection(static_cast<TGradientDirection>(10)), ERangeError);
    EXPECT_EQ(gradient.Direction(), gdTopBottom);
    const QMetaEnum directions = QMetaEnum::fromType<TGradientDirection>();
    EXPECT_EQ(directions.keyCount(), 10);
    EXPECT_STREQ(directions.valueToKey(gdDiagonalUp), "gdDiagonalUp");
    EXPECT_EQ(TPlotCanvas::gdRadial, gdRadial);
}

TEST(PlotGradient, MidColorReadsNoneWhileUnusedAndUseMiddleColorBringsItBack)
{
    int changes = 0;
    TPlotGradient gradient([&](TPersistent*) { ++changes; });
    gradient.SetMidColor(clRed);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(gradient.MidColor(), clRed);
    EXPECT_TRUE(gradient.MiddleColorInUse());
    EXPECT_TRUE(IsPropertyStored(&gradient, "MidColor"));

    gradient.SetMidColor(clNone);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(gradient.MidColor(), clNone);
    EXPECT_FALSE(gradient.MiddleColorInUse());
    EXPECT_FALSE(IsPropertyStored(&gradient, "MidColor"));
    // Writing clNone again still signals; writing the same colour too.
    gradient.SetMidColor(clNone);
    EXPECT_EQ(changes, 3);

    gradient.UseMiddleColor();
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(gradient.MidColor(), clRed);
    gradient.UseMiddleColor(); // already in use: no signal
    EXPECT_EQ(changes, 4);
    gradient.SetMidColor(clRed);
    EXPECT_EQ(changes, 5);
}

TEST(PlotGradient, AssignCopiesValuesStoredMiddleColourAndItsUse)
{
    TPlotGradient source;
    source.SetBalance(20);
    source.SetDirection(gdDiagonalDown);
    source.SetEndColor(clTeal);
    source.SetMidColor(clPurple);
    source.SetMidColor(clNone); // kept, not in use
    source.SetRadialX(3);
    source.SetRadialY(-3);
    source.SetStartColor(clOlive);
    source.SetVisible(true);
    int changes = 0;
    TCustomPlotGradient target([&](TPersistent*) { ++changes; });
    target.Assign(&source);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(target.Balance(), 20);
    EXPECT_EQ(target.Direction(), gdDiagonalDown);
    EXPECT_EQ(target.EndColor(), clTeal);
    EXPECT_EQ(target.MidColor(), clNone);
    EXPECT_EQ(target.RadialX(), 3);
    EXPECT_EQ(target.RadialY(), -3);
    EXPECT_EQ(target.StartColor(), clOlive);
    EXPECT_TRUE(target.Visible());
    target.UseMiddleColor();
    EXPECT_EQ(target.MidColor(), clPurple);
    source.UseMiddleColor();
    TPlotGradient again;
    again.Assign(&source);
    EXPECT_TRUE(again.MiddleColorInUse());
    TPen pen;
    EXPECT_THROW(target.Assign(&pen), EConvertError);
}

TEST(PlotFontGradient, AddsOutlineWhichAssignDoesNotCopy)
{
    int changes = 0;
    TPlotFontGradient gradient([&](TPersistent*) { ++changes; });
    EXPECT_FALSE(gradient.Outline());
    EXPECT_EQ(PropertyNames(&gradient).last(), "Outline");
    EXPECT_FALSE(IsPropertyStored(&gradient, "Outline"));
    gradient.SetOutline(false);
    EXPECT_EQ(changes, 0);
    gradient.SetOutline(true);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(IsPropertyStored(&gradient, "Outline"));
    TPlotFontGradient other;
    other.SetStartColor(clRed);
    gradient.Assign(&other);
    EXPECT_EQ(gradient.StartColor(), clRed);
    EXPECT_TRUE(gradient.Outline());
}

// --- Gradient fills -----------------------------------------------------------------------------------

struct TBandPlanRow {
    const char* Name;
    TGradientDirection Direction;
    TRect Rect;
    QStringList Expected;
};

class PlotGradientBandPlan : public ::testing::TestWithParam<TBandPlanRow> {};

// Start red, end blue, middle lime, balance 70.
TEST_P(PlotGradientBandPlan, MiddleColourSplitsTheStraightDirections)
{
    const TBandPlanRow& row = GetParam();
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.SetStartColor(clRed);
    gradient.SetEndColor(clBlue);
    gradient.SetMidColor(clLime);
    gradient.SetBalance(70);
    gradient.SetDirection(row.Direction);
    gradient.Draw(canvas, row.Rect);
    EXPECT_EQ(canvas.Log, row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotGradientBandPlan,
    ::testing::Values(
        TBandPlanRow{"TopBottom", gdTopBottom, {0, 0, 10, 100},
                     {"GradientFill(0,0,10,50,0x00FF00,0xFF0000,gdTopBottom,50)",
                      "GradientFill(0,50,10,100,0x0000FF,0x00FF00,gdTopBottom,50)"}},
        TBandPlanRow{"TopBottomNegativeHalvesTowardZero", gdTopBottom, {0, -3, 10, 0},
                     {"GradientFill(0,-3,10,-1,0x00FF00,0xFF0000,gdTopBottom,50)",
                      "GradientFill(0,-1,10,0,0x0000FF,0x00FF00,gdTopBottom,50)"}},
        TBandPlanRow{"BottomTop", gdBottomTop, {0, 0, 10, 101},
                     {"GradientFill(0,0,10,50,0x0000FF,0x00FF00,gdBottomTop,50)",
                      "GradientFill(0,50,10,101,0x00FF00,0xFF0000,gdBottomTop,50)"}},
        TBandPlanRow{"LeftRight", gdLeftRight, {0, 0, 30, 10},
                     {"GradientFill(0,0,15,10,0x00FF00,0xFF0000,gdLeftRight,50)",
                      "GradientFill(15,0,30,10,0x0000FF,0x00FF00,gdLeftRight,50)"}},
        TBandPlanRow{"RightLeft", gdRightLeft, {-5, 0, 30, 10},
                     {"GradientFill(-5,0,12,10,0x0000FF,0x00FF00,gdRightLeft,50)",
                      "GradientFill(12,0,30,10,0x00FF00,0xFF0000,gdRightLeft,50)"}},
        TBandPlanRow{"FromCenterIgnoresTheMiddle", gdFromCenter, {0, 0, 30, 10},
                     {"GradientFill(0,0,30,10,0x0000FF,0xFF0000,gdFromCenter,50)"}},
        TBandPlanRow{"FromTopLeftIgnoresTheMiddle", gdFromTopLeft, {0, 0, 30, 10},
                     {"GradientFill(0,0,30,10,0x0000FF,0xFF0000,gdFromTopLeft,50)"}},
        TBandPlanRow{"FromBottomLeftIgnoresTheMiddle", gdFromBottomLeft, {0, 0, 30, 10},
                     {"GradientFill(0,0,30,10,0x0000FF,0xFF0000,gdFromBottomLeft,50)"}},
        TBandPlanRow{"DiagonalUpKeepsTheBalance", gdDiagonalUp, {0, 0, 30, 10},
                     {"GradientFill(0,0,30,10,0x0000FF,0xFF0000,gdDiagonalUp,70)"}},
        TBandPlanRow{"DiagonalDownKeepsTheBalance", gdDiagonalDown, {0, 0, 30, 10},
                     {"GradientFill(0,0,30,10,0x0000FF,0xFF0000,gdDiagonalDown,70)"}},
        // Guards against a reversed rectangle putting the middle colour at an edge.
        TBandPlanRow{"ReversedRectangleIsCutNormalised", gdTopBottom, {10, 100, 0, 0},
                     {"GradientFill(0,0,10,50,0x00FF00,0xFF0000,gdTopBottom,50)",
                      "GradientFill(0,50,10,100,0x0000FF,0x00FF00,gdTopBottom,50)"}}),
    [](const ::testing::TestParamInfo<TBandPlanRow>& info) { return std::string(info.param.Name); });

TEST(PlotGradientFill, WithoutMiddleColourEachStraightDirectionIsOneFillWithItsBalance)
{
    for (int direction = 0; direction <= 9; ++direction) {
        if (direction == gdRadial)
            continue;
        TEffectsCanvas canvas;
        TPlotGradient gradient;
        gradient.SetStartColor(clRed);
        gradient.SetEndColor(clBlue);
        gradient.SetBalance(30);
        gradient.SetDirection(static_cast<TGradientDirection>(direction));
        gradient.Draw(canvas, {1, 2, 31, 12});
        const QString name = QString::fromLatin1(QMetaEnum::fromType<TGradientDirection>().valueToKey(direction));
        EXPECT_EQ(canvas.Log, (QStringList{"GradientFill(1,2,31,12,0x0000FF,0xFF0000," + name + ",30)"}));
    }
}

TEST(PlotGradientFill, MiddleColourSwitchedOnWithoutOneDrawsAPlainFill)
{
    // Guards against clNone reaching the canvas as a colour to fill with.
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.UseMiddleColor();
    EXPECT_EQ(gradient.MidColor(), clNone);
    gradient.Draw(canvas, {0, 0, 10, 10});
    EXPECT_EQ(canvas.Log, (QStringList{"GradientFill(0,0,10,10,0xFFFFFF,0x00FFFF,gdTopBottom,50)"}));
}

TEST(PlotGradientFill, MonochromeCanvasGetsTheColoursInGrey)
{
    TEffectsCanvas canvas;
    canvas.Monochrome = true;
    TPlotGradient gradient;
    gradient.SetStartColor(RGB(255, 0, 0));   // 85
    gradient.SetEndColor(RGB(10, 20, 31));    // 61 / 3 = 20
    gradient.SetMidColor(RGB(0, 255, 255));   // 170
    gradient.Draw(canvas, {0, 0, 10, 10});
    EXPECT_EQ(canvas.Log, (QStringList{"GradientFill(0,0,10,5,0xAAAAAA,0x141414,gdTopBottom,50)",
                                       "GradientFill(0,5,10,10,0x555555,0xAAAAAA,gdTopBottom,50)"}));
}

TEST(PlotGradientFill, RoundSizeClipsToTheRoundedRectangleAndUnclips)
{
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.Draw(canvas, {0, 0, 40, 20}, 6);
    EXPECT_EQ(canvas.Log, (QStringList{"ClipRoundRectangle(0,0,40,20,6)",
                                       "GradientFill(0,0,40,20,0xFFFFFF,0x00FFFF,gdTopBottom,50)",
                                       "UnClipRectangle"}));
    EXPECT_FALSE(canvas.DC().ClipRegion().has_value());
}

TEST(PlotGradientFill, RoundedRadialFillLeavesTheClipAsItWas)
{
    TEffectsCanvas canvas;
    canvas.DC().IntersectClipRect(0, 0, 100, 100);
    const TRegion before = *canvas.DC().ClipRegion();
    TPlotGradient gradient;
    gradient.SetDirection(gdRadial);
    gradient.Draw(canvas, {0, 0, 4, 4}, 2);
    EXPECT_EQ(canvas.Log.mid(0, 3), (QStringList{"ClipRoundRectangle(0,0,4,4,2)", "ClipRectangle(0,0,4,4)",
                                                 "FillRect(0,0,4,4) 0x00FFFF"}));
    EXPECT_EQ(canvas.Log.mid(canvas.Log.size() - 2), (QStringList{"UnClipRectangle", "UnClipRectangle"}));
    ASSERT_TRUE(canvas.DC().ClipRegion().has_value());
    EXPECT_EQ(*canvas.DC().ClipRegion(), before);
}

TEST(PlotGradientFill, FailedFillStillUnclips)
{
    // Guards against a failed fill leaving its clip in force.
    TEffectsCanvas canvas;
    canvas.FailOn = QStringLiteral("Ellipse");
    TPlotGradient gradient;
    gradient.SetDirection(gdRadial);
    EXPECT_THROW(gradient.Draw(canvas, {0, 0, 4, 4}, 2), ERangeError);
    EXPECT_EQ(canvas.Log.last(), "UnClipRectangle");
    EXPECT_FALSE(canvas.DC().ClipRegion().has_value());
}

// --- Radial fills -------------------------------------------------------------------------------------

TEST(PlotGradientRadial, TenBySevenDrawsTenEllipsesAfterTheEndColour)
{
    // n = max(10, 7) = 10, one less because 7 is odd; steps 0.5 and 0.35;
    // centre (1 + 5, 1 + 3.5); the colour steps are (250, 100, 0) / 10.
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.SetStartColor(clBlack);
    gradient.SetEndColor(RGB(250, 100, 0));
    gradient.DrawRadial(canvas, {0, 0, 10, 7});
    EXPECT_EQ(canvas.Log, (QStringList{"ClipRectangle(0,0,10,7)", "FillRect(0,0,10,7) 0x0064FA",
                                       "Ellipse(2,1,10,8) 0x005AE1", "Ellipse(2,2,10,7) 0x0050C8",
                                       "Ellipse(2,2,10,7) 0x0046AF", "Ellipse(3,2,9,7) 0x003C96",
                                       "Ellipse(4,3,8,6) 0x00327D", "Ellipse(4,3,8,6) 0x002864",
                                       "Ellipse(4,3,8,6) 0x001E4B", "Ellipse(5,4,7,5) 0x001432",
                                       "Ellipse(6,4,6,5) 0x000A19", "Ellipse(6,4,6,4) 0x000000",
                                       "UnClipRectangle"}));
}

TEST(PlotGradientRadial, EmptyRectangleDrawsNothing)
{
    // An empty rectangle used to divide by a step count of zero.
    for (const TRect& rect : {TRect{5, 5, 5, 5}, TRect{0, 0, 0, 9}, TRect{0, 3, 9, 3}}) {
        TEffectsCanvas canvas;
        canvas.Recorder().ClearCalls();
        TPlotGradient gradient;
        gradient.DrawRadial(canvas, rect);
        EXPECT_TRUE(canvas.Log.isEmpty()) << canvas.Log.join(' ').toStdString();
        EXPECT_TRUE(canvas.Recorder().Calls().isEmpty());
    }
}

TEST(PlotGradientRadial, CentreMovesByTheRadialOffsets)
{
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.SetRadialX(3);
    gradient.SetRadialY(-2);
    gradient.DrawRadial(canvas, {0, 0, 4, 4});
    // Centre (3 + 1 + 2, -2 + 1 + 2) = (6, 1); n = 4, steps 0.5.
    EXPECT_EQ(canvas.Log.mid(2, 5), (QStringList{"Ellipse(4,-1,8,3) 0x00FFFF", "Ellipse(4,0,8,2) 0x40FFFF",
                                                 "Ellipse(5,0,7,2) 0x7FFFFF", "Ellipse(6,0,6,2) 0xBFFFFF",
                                                 "Ellipse(6,1,6,1) 0xFFFFFF"}));
}

TEST(PlotGradientRadial, ReversedRectangleIsNormalised)
{
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.DrawRadial(canvas, {4, 4, 0, 0});
    EXPECT_EQ(canvas.Log.first(), "ClipRectangle(0,0,4,4)");
    EXPECT_EQ(canvas.Log[1], "FillRect(0,0,4,4) 0x00FFFF");
    EXPECT_EQ(canvas.Log[2], "Ellipse(1,1,5,5) 0x00FFFF");
}

struct TBalanceRow {
    const char* Name;
    int Balance;
    QStringList Colours; // of the ellipses, i = 4 down to 0
};

class PlotGradientBalance : public ::testing::TestWithParam<TBalanceRow> {};

// From black to red 200 over 4 × 4 (n = 4): linear steps of 200 / 4, or
// 200 × ((1 + i) / 5) ^ (0.015 × Balance + 0.5) rounded half to even.
TEST_P(PlotGradientBalance, EllipseColoursFollowTheBalanceCurve)
{
    const TBalanceRow& row = GetParam();
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.SetStartColor(clBlack);
    gradient.SetEndColor(RGB(200, 0, 0));
    gradient.SetBalance(row.Balance);
    gradient.DrawRadial(canvas, {0, 0, 4, 4});
    QStringList colours;
    for (const QString& call : canvas.Log.filter(QStringLiteral("Ellipse(")))
        colours << call.section(QLatin1Char(' '), 1);
    EXPECT_EQ(colours, row.Colours);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotGradientBalance,
    ::testing::Values(TBalanceRow{"Linear", 50, {"0x0000C8", "0x000096", "0x000064", "0x000032", "0x000000"}},
                      TBalanceRow{"Squared", 100, {"0x0000C8", "0x000080", "0x000048", "0x000020", "0x000008"}},
                      TBalanceRow{"SquareRoot", 0, {"0x0000C8", "0x0000B3", "0x00009B", "0x00007E", "0x000059"}},
                      // Balances outside 0 .. 100 are clamped by the setter: a
                      // huge negative one once gave infinite colour steps.
                      TBalanceRow{"BelowTheRangeIsZero",
                                  INT32_MIN,
                                  {"0x0000C8", "0x0000B3", "0x00009B", "0x00007E", "0x000059"}},
                      TBalanceRow{"AboveTheRangeIsHundred",
                                  INT32_MAX,
                                  {"0x0000C8", "0x000080", "0x000048", "0x000020", "0x000008"}}),
    [](const ::testing::TestParamInfo<TBalanceRow>& info) { return std::string(info.param.Name); });

TEST(PlotGradientRadial, UsesTheDeviceBrushAndRestoresTheCanvasState)
{
    TEffectsCanvas canvas;
    canvas.Brush()->SetColor(clLime);
    canvas.Pen()->SetStyle(psDot);
    canvas.Recorder().ClearCalls();
    TPlotGradient gradient;
    gradient.DrawRadial(canvas, {0, 0, 2, 2});
    // The device's own brush is selected once, then only its colour changes.
    EXPECT_EQ(canvas.Recorder().CallsStartingWith("SelectBrush(dcbrush").size(), 1);
    EXPECT_EQ(canvas.Recorder().CallsStartingWith("SetDCBrushColor"),
              (QStringList{"SetDCBrushColor(0x00FFFF)", "SetDCBrushColor(0x7FFFFF)", "SetDCBrushColor(0xFFFFFF)"}));
    EXPECT_EQ(canvas.Brush()->Color(), clLime);
    EXPECT_EQ(canvas.Pen()->Style(), psDot);
    EXPECT_EQ(canvas.DC().Brush(), CreateSolidBrush(clLime));
    EXPECT_EQ(canvas.DC().Pen().Style, PS_DOT);
    EXPECT_FALSE(canvas.DC().ClipRegion().has_value());
}

TEST(PlotGradientRadial, FailureRestoresBrushColourPenStyleAndClip)
{
    TEffectsCanvas canvas;
    canvas.Brush()->SetColor(clLime);
    canvas.Pen()->SetStyle(psDash);
    canvas.FailOn = QStringLiteral("Ellipse");
    TPlotGradient gradient;
    EXPECT_THROW(gradient.DrawRadial(canvas, {0, 0, 10, 10}), ERangeError);
    EXPECT_EQ(canvas.Brush()->Color(), clLime);
    EXPECT_EQ(canvas.Pen()->Style(), psDash);
    EXPECT_EQ(canvas.DC().Brush(), CreateSolidBrush(clLime));
    EXPECT_FALSE(canvas.DC().ClipRegion().has_value());
}

TEST(PlotGradientRadial, DrawOnAMonochromeCanvasFillsRadiallyInGrey)
{
    // Guards against a radial fill in colour on a monochrome canvas.
    TEffectsCanvas canvas;
    canvas.Monochrome = true;
    TPlotGradient gradient;
    gradient.SetDirection(gdRadial);
    gradient.SetStartColor(RGB(255, 0, 0)); // 85
    gradient.SetEndColor(RGB(0, 0, 255));   // 85
    gradient.Draw(canvas, {0, 0, 2, 2});
    for (const QString& call : canvas.Log.filter(QStringLiteral("Ellipse(")))
        EXPECT_TRUE(call.endsWith(QStringLiteral("0x555555"))) << call.toStdString();
    EXPECT_EQ(canvas.Log[1], "FillRect(0,0,2,2) 0x555555");
}

TEST(PlotGradientRadialPixels, CentreHasTheStartColourAndCornersTheEndColour)
{
    TPixelCanvas pixels(20, 20);
    TPlotGradient gradient;
    gradient.SetStartColor(clBlack);
    gradient.SetEndColor(clWhite);
    gradient.DrawRadial(*pixels.Canvas, {0, 0, 20, 20});
    EXPECT_EQ(pixels.Pixel(0, 0), clWhite);
    EXPECT_EQ(pixels.Pixel(19, 19), clWhite);
    const TColor centre = pixels.Pixel(10, 10);
    EXPECT_LE(GetRValue(centre), 26); // the innermost rings: i = 0 or 1 of 20
    EXPECT_LT(GetRValue(pixels.Pixel(10, 10)), GetRValue(pixels.Pixel(10, 4)));
    EXPECT_LT(GetRValue(pixels.Pixel(10, 4)), GetRValue(pixels.Pixel(10, 1)));
}

// --- Polygon and four-point fills -------------------------------------------------------------------

TEST(PlotGradientPolygon, FlatPolygonClipsToItsPointsAndFillsItsBounds)
{
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    const TPointArray points{{10, 10}, {30, 15}, {20, 40}};
    gradient.DrawPolygon(canvas, points, 9, false);
    EXPECT_EQ(canvas.Log, (QStringList{"ClipPolygon([10 10;30 15;20 40])",
                                       "GradientFill(10,10,31,41,0xFFFFFF,0x00FFFF,gdTopBottom,50)",
                                       "UnClipRectangle"}));
    EXPECT_EQ(points, (TPointArray{{10, 10}, {30, 15}, {20, 40}}));
}

TEST(PlotGradientPolygon, PolygonIn3DClipsToTheProjectionAndFillsTheProjectedBounds)
{
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.DrawPolygon(canvas, {{10, 10}, {30, 15}, {20, 40}}, 5, true);
    EXPECT_EQ(canvas.Log, (QStringList{"ClipPolygon([15 5;35 10;25 35])",
                                       "GradientFill(15,5,36,36,0xFFFFFF,0x00FFFF,gdTopBottom,50)",
                                       "UnClipRectangle"}));
}

TEST(PlotGradientPolygon, NoPointsDrawNothing)
{
    // Guards against an empty polygon raising and ending the drawing pass.
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    gradient.DrawPolygon(canvas, TPointArray{}, 0, true);
    gradient.DrawPolygon(canvas, TPointArray{}, 0, false);
    EXPECT_TRUE(canvas.Log.isEmpty());
}

TEST(PlotGradientPolygon, RadialPolygonFillClipsTwiceAndLeavesTheClipAsItWas)
{
    TEffectsCanvas canvas;
    canvas.DC().IntersectClipRect(0, 0, 100, 100);
    const TRegion before = *canvas.DC().ClipRegion();
    TPlotGradient gradient;
    gradient.SetDirection(gdRadial);
    gradient.DrawPolygon(canvas, {{0, 0}, {3, 0}, {3, 3}, {0, 3}}, 0, false);
    EXPECT_EQ(canvas.Log.mid(0, 3), (QStringList{"ClipPolygon([0 0;3 0;3 3;0 3])", "ClipRectangle(0,0,4,4)",
                                                 "FillRect(0,0,4,4) 0x00FFFF"}));
    EXPECT_EQ(canvas.Log.mid(canvas.Log.size() - 2), (QStringList{"UnClipRectangle", "UnClipRectangle"}));
    EXPECT_EQ(*canvas.DC().ClipRegion(), before);
}

TEST(PlotGradientFourPoints, ClipsToTheQuadrilateralAndFillsItsBounds)
{
    TEffectsCanvas canvas;
    // Clips take device points, fills logical ones: the fill rectangle comes
    // from the caller's points, which stay as they were.
    canvas.DC().SetViewportOrg(50, 50);
    TPlotGradient gradient;
    gradient.SetDirection(gdLeftRight);
    TFourPoints four;
    four[0] = {0, 0};
    four[1] = {20, 5};
    four[2] = {25, 30};
    four[3] = {-5, 20};
    gradient.DrawFourPoints(canvas, four);
    EXPECT_EQ(canvas.Log, (QStringList{"ClipPolygon([0 0;20 5;25 30;-5 20])",
                                       "GradientFill(-5,0,26,31,0xFFFFFF,0x00FFFF,gdLeftRight,50)",
                                       "UnClipRectangle"}));
    EXPECT_EQ(four[0], (TPoint{0, 0}));
}

TEST(PlotGradientFourPoints, WithZProjectsThePointsFirst)
{
    TEffectsCanvas canvas;
    TPlotGradient gradient;
    TFourPoints four;
    four[0] = {0, 0};
    four[1] = {20, 0};
    four[2] = {20, 10};
    four[3] = {0, 10};
    gradient.DrawFourPointsWithZ(canvas, four, 3);
    EXPECT_EQ(canvas.Log, (QStringList{"ClipPolygon([3 -3;23 -3;23 7;3 7])",
                                       "GradientFill(3,-3,24,8,0xFFFFFF,0x00FFFF,gdTopBottom,50)",
                                       "UnClipRectangle"}));
}

// --- Chart fonts ----------------------------------------------------------------------------------------

TEST(PlotFont, SubObjectsAreCreatedOnFirstReadAndReportAsTheFont)
{
    int changes = 0;
    TPlotFont* expected = nullptr;
    TPlotFont font([&](TGraphicsObject* sender) {
        ++changes;
        EXPECT_EQ(sender, expected);
    });
    expected = &font;
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(font.HasShadow());
    EXPECT_FALSE(font.HasOutLine());
    EXPECT_FALSE(font.HasGradient());
    TPlotShadow* shadow = font.Shadow();
    EXPECT_EQ(shadow->Color(), 0xC0C0C0);
    EXPECT_EQ(shadow->HorizSize(), 0);
    EXPECT_EQ(shadow->VertSize(), 0);
    EXPECT_TRUE(shadow->Smooth());
    EXPECT_EQ(changes, 0);
    shadow->SetHorizSize(2);
    EXPECT_EQ(changes, 1);
    TChartHiddenPen* outline = font.OutLine();
    EXPECT_FALSE(outline->Visible());
    outline->Show();
    EXPECT_EQ(changes, 2);
    TPlotFontGradient* gradient = font.Gradient();
    EXPECT_TRUE(font.HasGradient());
    EXPECT_EQ(font.Gradient(), gradient);
    EXPECT_FALSE(gradient->Visible());
    EXPECT_EQ(changes, 2);
    gradient->SetVisible(true);
    gradient->SetOutline(true);
    EXPECT_EQ(changes, 4);
    font.SetInterCharSize(0);
    EXPECT_EQ(changes, 4);
    font.SetInterCharSize(2);
    EXPECT_EQ(changes, 5);
}

TEST(PlotFont, WritingNilFreesAndTheNextReadCreatesAFreshOne)
{
    TPlotFont font;
    font.Shadow()->SetHorizSize(7);
    font.SetShadow(nullptr);
    EXPECT_FALSE(font.HasShadow());
    EXPECT_EQ(font.Shadow()->HorizSize(), 0);
    TPlotShadow other;
    other.SetVertSize(9);
    font.SetShadow(&other);
    EXPECT_EQ(font.Shadow()->VertSize(), 9);
    EXPECT_NE(font.Shadow(), &other);

    font.Gradient()->SetStartColor(clRed);
    font.SetGradient(nullptr);
    EXPECT_FALSE(font.HasGradient());
    EXPECT_EQ(font.Gradient()->StartColor(), clWhite);
    TPlotFontGradient colours;
    colours.SetEndColor(clBlue);
    font.SetGradient(&colours);
    EXPECT_EQ(font.Gradient()->EndColor(), clBlue);
    EXPECT_NE(font.Gradient(), &colours);
    font.SetGradient(font.Gradient()); // itself: nothing to copy
    EXPECT_EQ(font.Gradient()->EndColor(), clBlue);

    font.OutLine()->SetWidth(3);
    font.SetOutLine(nullptr);
    EXPECT_FALSE(font.HasOutLine());
    EXPECT_EQ(font.OutLine()->Width(), 1);
}

TEST(PlotFont, AssignFromAFontWithoutSubObjectsFreesTheOwnOnes)
{
    TPlotFont source, target;
    target.Shadow()->SetHorizSize(4);
    target.OutLine()->Show();
    target.Gradient()->SetVisible(true);
    source.SetInterCharSize(5);
    source.SetName(QStringLiteral("Courier New"));
    target.Assign(&source);
    EXPECT_FALSE(target.HasShadow());
    EXPECT_FALSE(target.HasOutLine());
    EXPECT_FALSE(target.HasGradient());
    EXPECT_EQ(target.InterCharSize(), 5);
    EXPECT_EQ(target.Name(), "Courier New");
    source.Shadow()->SetVertSize(3);
    source.Gradient()->SetMidColor(clGreen);
    target.Assign(&source);
    EXPECT_EQ(target.Shadow()->VertSize(), 3);
    EXPECT_EQ(target.Gradient()->MidColor(), clGreen);
    EXPECT_FALSE(target.HasOutLine());
    // A plain font only brings the platform part.
    TFont plain;
    plain.SetName(QStringLiteral("Tahoma"));
    target.Assign(&plain);
    EXPECT_EQ(target.Name(), "Tahoma");
    EXPECT_TRUE(target.HasShadow());
    EXPECT_TRUE(target.HasGradient());
}

TEST(PlotFont, AssignCopiesInterCharSizeWithoutASignalOfItsOwn)
{
    TPlotFont source;
    source.SetInterCharSize(3);
    TFont plain;
    int plainChanges = 0;
    TPlotFont fromPlain([&](TGraphicsObject*) { ++plainChanges; });
    fromPlain.Assign(&plain);
    int changes = 0;
    TPlotFont target([&](TGraphicsObject*) { ++changes; });
    target.Assign(&source);
    EXPECT_EQ(target.InterCharSize(), 3);
    // Only the platform font's part signals.
    EXPECT_EQ(changes, plainChanges);
    EXPECT_EQ(changes, 1);
}

TEST(PlotFont, DefaultNameAndSizeAreNotStored)
{
    TDefaultFontScope defaultFont(QStringLiteral("Arial"), 8);
    TPlotFont font;
    EXPECT_EQ(font.Name(), "Arial");
    EXPECT_EQ(font.Size(), 8);
    for (const char* name : {"Name", "Height", "Color", "Style", "InterCharSize", "Charset"})
        EXPECT_FALSE(IsPropertyStored(&font, name)) << name;
    EXPECT_EQ(PropertyDefault(&font, "Charset"), QVariant(1));
    font.SetName(QStringLiteral("Courier New"));
    font.SetSize(12);
    font.SetInterCharSize(1);
    font.SetCharset(0);
    for (const char* name : {"Name", "Height", "InterCharSize", "Charset"})
        EXPECT_TRUE(IsPropertyStored(&font, name)) << name;
}

TEST(PlotFont, NewFontsTakeTheProcessDefaultFont)
{
    TDefaultFontScope defaultFont(QStringLiteral("Tahoma"), 11);
    int changes = 0;
    TPlotFont font([&](TGraphicsObject*) { ++changes; });
    EXPECT_EQ(font.Name(), "Tahoma");
    EXPECT_EQ(font.Size(), 11);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(IsPropertyStored(&font, "Name"));
    EXPECT_FALSE(IsPropertyStored(&font, "Height"));
}

TEST(PlotFont, ColourAndStyleFollowTheOwnersDefaults)
{
    TPlotFont font;
    EXPECT_EQ(font.DefaultColor(), clBlack);
    EXPECT_EQ(font.DefaultStyle(), TFontStyles());
    font.SetDefaultColor(clWhite);
    EXPECT_TRUE(IsPropertyStored(&font, "Color")); // black differs from the owner's white
    font.SetColor(clWhite);
    EXPECT_FALSE(IsPropertyStored(&font, "Color"));
    font.SetDefaultStyle(TFont::fsBold);
    EXPECT_TRUE(IsPropertyStored(&font, "Style"));
    font.SetStyle(TFont::fsBold);
    EXPECT_FALSE(IsPropertyStored(&font, "Style"));
}

TEST(PlotFont, SubObjectsArePublished)
{
    TPlotFont font;
    const QStringList names = PropertyNames(&font);
    for (const char* name : {"Charset", "Color", "Gradient", "Height", "InterCharSize", "Name", "OutLine", "Shadow",
                             "Style"})
        EXPECT_TRUE(names.contains(QLatin1String(name))) << name;
    EXPECT_EQ(font.property("Gradient").value<TPlotFontGradient*>(), font.Gradient());
    EXPECT_EQ(font.property("Shadow").value<TPlotShadow*>(), font.Shadow());
    EXPECT_EQ(font.property("OutLine").value<TChartHiddenPen*>(), font.OutLine());
}

} // namespace
} // namespace lp
