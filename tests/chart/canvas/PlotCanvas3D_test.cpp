#include "chart/canvas/PlotCanvas3D.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotEffects.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/RecordingDC.h"

#include "FillInside.h"

#include <gtest/gtest.h>

#include <QtCore/QBuffer>
#include <QtGui/QImage>

#include <climits>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace lp {
namespace {

constexpr double kPi = std::numbers::pi;

// --- Fixtures ----------------------------------------------------------------------------------------

// A canvas drawing without buffering onto a recording device, in a pass set
// up by Begin with the view options Options.
class TRecordedPass {
public:
    TRecordingDC DC{1000, 1000};
    TCanvas Canvas{&DC};
    TView3DOptions Options;
    TPlotCanvas3D Plot;

    // A pass over Bounds; WithOptions false gives the pass no options.
    void Begin(bool Is3D, bool WithOptions = true, TRect Bounds = {0, 0, 200, 200}, int MaxDepth = 100)
    {
        Plot.SetBufferedDisplay(false);
        Plot.InitWindow(&Canvas, WithOptions ? &Options : nullptr, clWhite, Is3D, Bounds);
        Plot.ResetState();
        Plot.SetProjection(MaxDepth, Bounds);
        DC.ClearCalls();
    }
    // An orthogonal 3-D pass: depth moves right (left above 90 degrees) and up.
    void BeginOrthogonal(int Angle = 45, int Zoom = 100)
    {
        Options.SetOrthogonal(true);
        Options.SetOrthoAngle(Angle);
        Options.SetZoom(Zoom);
        Begin(true);
    }
    // A rotated 3-D pass without perspective.
    void BeginRotated(double Elevation, double Rotation, int Tilt = 0, int Zoom = 100)
    {
        Options.SetOrthogonal(false);
        Options.SetElevationFloat(Elevation);
        Options.SetRotationFloat(Rotation);
        Options.SetTilt(Tilt);
        Options.SetPerspective(0);
        Options.SetZoom(Zoom);
        Begin(true);
    }

    QStringList Calls() const { return DC.Calls(); }
    QStringList With(const QString& Prefix) const { return DC.CallsStartingWith(Prefix); }
    QStringList Names() const
    {
        QStringList names;
        for (const QString& call : DC.Calls())
            names << call.left(call.indexOf(QLatin1Char('(')));
        return names;
    }
    // The number of corners of each recorded polygon, in order.
    std::vector<int> PolygonSizes() const
    {
        std::vector<int> sizes;
        for (const QString& call : With(QStringLiteral("Polygon(")))
            sizes.push_back(call == QStringLiteral("Polygon([])") ? 0
                                                                  : static_cast<int>(call.count(QLatin1Char(';'))) + 1);
        return sizes;
    }
};

QString PolygonText(std::initializer_list<TPoint> Points)
{
    const std::vector<TPoint> points(Points);
    return QStringLiteral("Polygon(") + LogPoints(points.data(), static_cast<int>(points.size())) + QLatin1Char(')');
}

TColor PixelOf(const TBitmap& Bitmap, int X, int Y)
{
    const QRgb pixel = Bitmap.Image().pixel(X, Y);
    return RGB(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

// A canvas bound to a white bitmap without buffering, in a pass set up like
// TRecordedPass's.
class TPixelPass {
public:
    TBitmap Surface{240, 200};
    TView3DOptions Options;
    TPlotCanvas3D Plot;

    void Begin(bool Is3D, TRect Bounds = {0, 0, 200, 200}, int MaxDepth = 100)
    {
        Plot.SetBufferedDisplay(false);
        Plot.InitWindow(&Surface.Canvas(), &Options, clWhite, Is3D, Bounds);
        Plot.ResetState();
        Plot.SetProjection(MaxDepth, Bounds);
    }
    TColor Pixel(int X, int Y) const { return PixelOf(Surface, X, Y); }
};

// --- Buffered display ----------------------------------------------------------------------------------

TEST(PlotCanvas3DBuffering, PassDrawsIntoABitmapOfTheBoundsSizeAndShowImagePutsItBack)
{
    TBitmap screen(200, 100);
    TPlotCanvas3D plot;
    const TRect area = plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {10, 20, 110, 70});
    EXPECT_EQ(area, (TRect{0, 0, 100, 50}));
    ASSERT_NE(plot.Bitmap(), nullptr);
    EXPECT_EQ(plot.Bitmap()->Width(), 100);
    EXPECT_EQ(plot.Bitmap()->Height(), 50);
    EXPECT_EQ(plot.ReferenceCanvas(), &plot.Bitmap()->Canvas());
    EXPECT_EQ(plot.OffscreenBitmap(), plot.Bitmap());

    plot.ResetState();
    plot.Brush()->SetColor(clRed);
    plot.FillRect(area);
    plot.ShowImage(&screen.Canvas(), &screen.Canvas(), {10, 20, 110, 70});

    EXPECT_EQ(PixelOf(screen, 10, 20), clRed);
    EXPECT_EQ(PixelOf(screen, 109, 69), clRed);
    EXPECT_EQ(PixelOf(screen, 9, 20), clWhite);
    EXPECT_EQ(PixelOf(screen, 10, 19), clWhite);
    EXPECT_EQ(PixelOf(screen, 110, 70), clWhite);
    EXPECT_EQ(plot.ReferenceCanvas(), &screen.Canvas());
    EXPECT_EQ(plot.OffscreenBitmap(), nullptr);
    EXPECT_FALSE(plot.Changed());
}

TEST(PlotCanvas3DBuffering, ShowImageCopiesTheWholeBitmapToTheRectanglesCorner)
{
    TRecordingDC dc;
    TCanvas screen(&dc);
    TPlotCanvas3D plot;
    plot.InitWindow(&screen, nullptr, clWhite, false, {10, 20, 110, 70});
    dc.ClearCalls();
    plot.ShowImage(&screen, &screen, {10, 20, 999, 999});
    EXPECT_EQ(dc.Calls(), (QStringList{"BitBlt(10,20,100,50,0,0,0x00cc0020)"}));
}

TEST(PlotCanvas3DBuffering, SameSizeReusesTheBitmapAndAResizeReallocatesIt)
{
    TBitmap screen(200, 100);
    TPlotCanvas3D plot;
    plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {0, 0, 100, 50});
    plot.ResetState();
    plot.SetPixel(3, 4, clBlue);
    plot.ShowImage(&screen.Canvas(), &screen.Canvas(), {0, 0, 100, 50});
    const TBitmap* first = plot.Bitmap();
    const uchar* pixels = first->Image().constBits();

    plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {5, 5, 105, 55});
    EXPECT_EQ(plot.Bitmap(), first);
    EXPECT_EQ(plot.Bitmap()->Image().constBits(), pixels);
    EXPECT_EQ(PixelOf(*plot.Bitmap(), 3, 4), clBlue);
    plot.ShowImage(&screen.Canvas(), &screen.Canvas(), {0, 0, 100, 50});

    plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {0, 0, 60, 40});
    EXPECT_EQ(plot.Bitmap()->Width(), 60);
    EXPECT_EQ(plot.Bitmap()->Height(), 40);
}

TEST(PlotCanvas3DBuffering, RedrawBitmapRepaintsAfterShowImageAndDeclinesAfterInvalidate)
{
    TRecordingDC dc;
    TCanvas screen(&dc);
    TPlotCanvas3D plot;
    EXPECT_TRUE(plot.Changed());
    plot.InitWindow(&screen, nullptr, clWhite, false, {0, 0, 100, 50});
    plot.ShowImage(&screen, &screen, {0, 0, 100, 50});
    dc.ClearCalls();
    EXPECT_TRUE(plot.RedrawBitmap());
    EXPECT_EQ(dc.Calls(), (QStringList{"BitBlt(0,0,100,50,0,0,0x00cc0020)"}));

    dc.ClearCalls();
    plot.Invalidate();
    EXPECT_TRUE(plot.Changed());
    EXPECT_FALSE(plot.RedrawBitmap());
    EXPECT_TRUE(dc.Calls().isEmpty());
}

struct TBufferOffRow {
    bool KeepBitmap;
    bool BitmapKept;
    bool ChangedAfter;
};

class PlotCanvas3DBufferOff : public ::testing::TestWithParam<TBufferOffRow> {};

TEST_P(PlotCanvas3DBufferOff, FreesTheBitmapUnlessKeepBitmapIsSet)
{
    const TBufferOffRow row = GetParam();
    TBitmap screen(100, 60);
    TPlotCanvas3D plot;
    plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {0, 0, 100, 50});
    plot.ShowImage(&screen.Canvas(), &screen.Canvas(), {0, 0, 100, 50});
    plot.SetKeepBitmap(row.KeepBitmap);
    plot.SetBufferedDisplay(false);
    EXPECT_FALSE(plot.GetBufferedDisplay());
    EXPECT_EQ(plot.Bitmap() != nullptr, row.BitmapKept);
    EXPECT_EQ(plot.Changed(), row.ChangedAfter);
    // Still bound to the screen, not to a bitmap.
    EXPECT_EQ(plot.ReferenceCanvas(), &screen.Canvas());
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DBufferOff,
                         ::testing::Values(TBufferOffRow{false, false, true}, TBufferOffRow{true, true, false}));

TEST(PlotCanvas3DBuffering, SwitchingBackOnRebindsToTheKeptBitmap)
{
    TBitmap screen(100, 60);
    TPlotCanvas3D plot;
    plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {0, 0, 100, 50});
    plot.ShowImage(&screen.Canvas(), &screen.Canvas(), {0, 0, 100, 50});
    plot.SetKeepBitmap(true);
    plot.SetBufferedDisplay(false);
    plot.SetBufferedDisplay(true);
    EXPECT_EQ(plot.ReferenceCanvas(), &plot.Bitmap()->Canvas());
    EXPECT_EQ(plot.OffscreenBitmap(), plot.Bitmap());
}

TEST(PlotCanvas3DBuffering, UnbufferedPassDrawsOnTheDestination)
{
    TBitmap screen(100, 60);
    TPlotCanvas3D plot;
    plot.SetBufferedDisplay(false);
    const TRect area = plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {10, 20, 110, 70});
    EXPECT_EQ(area, (TRect{10, 20, 110, 70}));
    EXPECT_EQ(plot.Bitmap(), nullptr);
    EXPECT_EQ(plot.ReferenceCanvas(), &screen.Canvas());
    EXPECT_EQ(plot.OffscreenBitmap(), nullptr);
}

TEST(PlotCanvas3DBuffering, FreeingTheBitmapDuringAPassUnbindsTheCanvas)
{
    // Guards against a canvas left bound to a freed bitmap when buffering
    // goes off before ShowImage (a pass that ended in an error).
    TBitmap screen(100, 60);
    TPlotCanvas3D plot;
    plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {0, 0, 100, 50});
    plot.SetBufferedDisplay(false);
    EXPECT_EQ(plot.Bitmap(), nullptr);
    EXPECT_EQ(plot.ReferenceCanvas(), nullptr);
    EXPECT_THROW(plot.GetHandle(), EInvalidOperation);
}

TEST(PlotCanvas3DBuffering, RedrawBitmapWithoutABitmapDeclines)
{
    // Guards against RedrawBitmap reading a bitmap freed after ShowImage.
    TRecordingDC dc;
    TCanvas screen(&dc);
    TPlotCanvas3D plot;
    plot.InitWindow(&screen, nullptr, clWhite, false, {0, 0, 100, 50});
    plot.ShowImage(&screen, &screen, {0, 0, 100, 50});
    plot.DeleteBitmap();
    dc.ClearCalls();
    EXPECT_FALSE(plot.RedrawBitmap());
    EXPECT_TRUE(plot.Changed());
    EXPECT_TRUE(dc.Calls().isEmpty());
}

TEST(PlotCanvas3DBuffering, ClipLeftByAFailedPassDoesNotHideTheNext)
{
    // Guards against a clip on the buffer, never undone by a pass that ended
    // in an error, clipping every later pass.
    TBitmap screen(100, 60);
    TPlotCanvas3D plot;
    plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {0, 0, 100, 50});
    plot.ClipRectangle({0, 0, 10, 10});
    ASSERT_TRUE(plot.GetHandle().ClipRegion().has_value());
    plot.InitWindow(&screen.Canvas(), nullptr, clWhite, false, {0, 0, 100, 50});
    EXPECT_FALSE(plot.GetHandle().ClipRegion().has_value());
}

TEST(PlotCanvas3DBuffering, MonochromeChangeMarksTheCanvasChangedAndRepaintsThePanel)
{
    int repaints = 0;
    TView3DOptions options(nullptr, [&] { ++repaints; });
    TBitmap screen(100, 60);
    TPlotCanvas3D plot;
    plot.InitWindow(&screen.Canvas(), &options, clWhite, false, {0, 0, 100, 50});
    plot.ShowImage(&screen.Canvas(), &screen.Canvas(), {0, 0, 100, 50});
    ASSERT_FALSE(plot.Changed());
    plot.SetMonochrome(true);
    EXPECT_TRUE(plot.GetMonochrome());
    EXPECT_TRUE(plot.Changed());
    EXPECT_EQ(repaints, 1);
    plot.SetMonochrome(true);
    EXPECT_EQ(repaints, 1);
}

// --- Device state and 2-D primitives -----------------------------------------------------------------

TEST(PlotCanvas3DDevice, StateSlotsGoToTheDevice)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.SetBackColor(clRed);
    pass.Plot.SetBackMode(OPAQUE);
    pass.Plot.SetTextAlign(TA_RIGHT);
    EXPECT_EQ(pass.Calls(), (QStringList{"SetBkColor(0x0000FF)", "SetBkMode(2)", "SetTextAlign(2)"}));
    EXPECT_EQ(pass.Plot.GetBackColor(), clRed);
    EXPECT_EQ(pass.Plot.GetBackMode(), OPAQUE);
    EXPECT_EQ(pass.Plot.GetTextAlign(), static_cast<unsigned>(TA_RIGHT));
    EXPECT_EQ(&pass.Plot.GetHandle(), &pass.DC);
    EXPECT_FALSE(pass.Plot.SupportsFullRotation());
    EXPECT_FALSE(pass.Plot.Supports3DText());
    EXPECT_THROW(pass.Plot.SetTextAlign(0x80000000u), ERangeError);
}

TEST(PlotCanvas3DDevice, PrimitivesPassTheirArgumentsToTheDevice)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.Arc(1, 2, 3, 4, 5, 6, 7, 8);
    pass.Plot.Pie(1, 2, 3, 4, 5, 6, 7, 8);
    pass.Plot.Ellipse(1, 2, 30, 40);
    pass.Plot.Rectangle(1, 2, 30, 40);
    pass.Plot.RoundRect(1, 2, 30, 40, 5, 6);
    pass.Plot.Line(1, 2, 3, 4);
    pass.Plot.HorizLine(1, 9, 5);
    pass.Plot.VertLine(7, 1, 9);
    pass.Plot.SetPixel(3, 4, clLime);
    EXPECT_EQ(pass.Calls(),
              (QStringList{"Arc(1,2,3,4,5,6,7,8)", "Pie(1,2,3,4,5,6,7,8)", "Ellipse(1,2,30,40)", "Rectangle(1,2,30,40)",
                           "RoundRect(1,2,30,40,5,6)", "MoveTo(1,2)", "LineTo(3,4)", "MoveTo(1,5)", "LineTo(9,5)",
                           "MoveTo(7,1)", "LineTo(7,9)", "SetPixel(3,4,0x00FF00)"}));
}

TEST(PlotCanvas3DDevice, PolygonsTakeLastIndexPlusOnePointsAndCheckTheIndex)
{
    TRecordedPass pass;
    pass.Begin(false);
    const std::vector<TPoint> points{{1, 2}, {3, 4}, {5, 6}, {7, 8}};
    pass.Plot.Polygon(points, 2);
    pass.Plot.Polyline(points, 1);
    pass.Plot.FourPoints()[0] = {1, 1};
    pass.Plot.FourPoints()[1] = {2, 1};
    pass.Plot.FourPoints()[2] = {2, 2};
    pass.Plot.FourPoints()[3] = {1, 2};
    pass.Plot.PolygonFour();
    EXPECT_EQ(pass.Calls(),
              (QStringList{"Polygon([1 2;3 4;5 6])", "Polyline([1 2;3 4])", "Polygon([1 1;2 1;2 2;1 2])"}));
    EXPECT_THROW(pass.Plot.Polygon(points, 4), ERangeError);
    EXPECT_THROW(pass.Plot.Polyline(points, -2), ERangeError);
}

TEST(PlotCanvas3DDevice, FillRectAndEraseBackgroundUseTheCanvasBrush)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.Brush()->SetColor(clYellow);
    pass.DC.ClearCalls();
    pass.Plot.FillRect({1, 2, 3, 4});
    pass.Plot.EraseBackground({5, 6, 7, 8});
    EXPECT_EQ(pass.Calls(), (QStringList{"FillRect(1,2,3,4,solid,0x00FFFF,0)", "FillRect(5,6,7,8,solid,0x00FFFF,0)"}));
}

// --- Text ---------------------------------------------------------------------------------------------------

struct TShadowRow {
    int Horiz;
    int Vert;
    TPoint ShadowAt;
    TPoint TextAt;
};

class PlotCanvas3DShadowText : public ::testing::TestWithParam<TShadowRow> {};

TEST_P(PlotCanvas3DShadowText, ShadowAndTextShareTheMeasuredBox)
{
    const TShadowRow row = GetParam();
    TRecordedPass pass;
    pass.Begin(false);
    TPlotFont font;
    font.Shadow()->SetHorizSize(row.Horiz);
    font.Shadow()->SetVertSize(row.Vert);
    font.Shadow()->SetColor(clGray);
    pass.Plot.AssignFont(font);
    pass.DC.ClearCalls();
    pass.Plot.TextOut(10, 10, QStringLiteral("Ab"));
    EXPECT_EQ(pass.Calls(),
              (QStringList{"SetTextColor(0x808080)",
                           QStringLiteral("TextOut(%1,%2,\"Ab\")").arg(row.ShadowAt.X).arg(row.ShadowAt.Y),
                           "SetTextColor(0x000000)",
                           QStringLiteral("TextOut(%1,%2,\"Ab\")").arg(row.TextAt.X).arg(row.TextAt.Y)}));
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DShadowText,
                         ::testing::Values(TShadowRow{-2, -2, {10, 10}, {12, 12}}, TShadowRow{3, 4, {13, 14}, {10, 10}},
                                           TShadowRow{-2, 5, {10, 15}, {12, 10}}));

TEST(PlotCanvas3DText, WithoutShadowSizeTheTextIsDrawnOnce)
{
    TRecordedPass pass;
    pass.Begin(false);
    TPlotFont font;
    font.Shadow(); // created, sizes 0
    pass.Plot.AssignFont(font);
    pass.DC.ClearCalls();
    pass.Plot.TextOut(10, 10, QStringLiteral("Ab"));
    EXPECT_EQ(pass.Calls(), (QStringList{"SetTextColor(0x000000)", "TextOut(10,10,\"Ab\")"}));
}

TEST(PlotCanvas3DText, TranslucentShadowIsBlended)
{
    TPixelPass pass;
    pass.Begin(false);
    TPlotFont font;
    font.Shadow()->SetHorizSize(2);
    font.Shadow()->SetVertSize(2);
    font.Shadow()->SetTransparency(40);
    pass.Plot.AssignFont(font);
    pass.Plot.TextOut(10, 10, QStringLiteral("Ab"));
    EXPECT_EQ(pass.Plot.BlendTransparency(), 40);
}

struct TOutlineRow {
    TColor FontColor;
    QString Finish;
};

class PlotCanvas3DOutlinedText : public ::testing::TestWithParam<TOutlineRow> {};

TEST_P(PlotCanvas3DOutlinedText, TextBecomesAPathStrokedWithTheOutline)
{
    const TOutlineRow row = GetParam();
    TRecordedPass pass;
    pass.Begin(false);
    TPlotFont font;
    font.SetColor(row.FontColor);
    font.OutLine()->SetVisible(true);
    font.OutLine()->SetColor(clBlue);
    pass.Plot.AssignFont(font);
    pass.DC.ClearCalls();
    pass.Plot.TextOut(10, 10, QStringLiteral("Ab"));
    QStringList names = pass.Names();
    const qsizetype begin = names.indexOf(QStringLiteral("BeginPath"));
    ASSERT_GE(begin, 0);
    EXPECT_EQ(names.mid(begin), (QStringList{"BeginPath", "TextOut", "EndPath", row.Finish}));
    EXPECT_EQ(pass.With("TextOut"), (QStringList{"TextOut(10,10,\"Ab\")"}));
    EXPECT_EQ(pass.DC.Pen().Color, clBlue);
    EXPECT_EQ(pass.DC.BkMode(), TRANSPARENT);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DOutlinedText,
                         ::testing::Values(TOutlineRow{clNone, "StrokePath"}, TOutlineRow{clRed, "StrokeAndFillPath"}));

TEST(PlotCanvas3DText, OutlinedTextWithoutFontColourLeavesTheGlyphsHollow)
{
    TPixelPass pass;
    pass.Begin(false);
    TPlotFont font;
    font.SetSize(60);
    font.SetStyle(TFont::fsBold);
    font.SetColor(clNone);
    font.OutLine()->SetVisible(true);
    font.OutLine()->SetColor(clBlue);
    pass.Plot.AssignFont(font);
    pass.Plot.TextOut(20, 10, QStringLiteral("I"));

    // Across the middle of the stem: outline, hollow inside, outline.
    const int row = 10 + pass.Plot.TextHeight(QStringLiteral("I")) / 2;
    int first = -1;
    int last = -1;
    for (int x = 0; x < pass.Surface.Width(); ++x)
        if (pass.Pixel(x, row) != clWhite) {
            if (first < 0)
                first = x;
            last = x;
        }
    ASSERT_GE(first, 0);
    ASSERT_GT(last - first, 4);
    bool hollow = false;
    for (int x = first + 1; x < last; ++x)
        hollow = hollow || pass.Pixel(x, row) == clWhite;
    EXPECT_TRUE(hollow);
}

struct TGradientTextRow {
    unsigned Align;
    bool Outline;
};

class PlotCanvas3DGradientText : public ::testing::TestWithParam<TGradientTextRow> {};

TEST_P(PlotCanvas3DGradientText, GradientFillsTheTextBoxThroughTheTextClip)
{
    const TGradientTextRow row = GetParam();
    TRecordedPass pass;
    pass.Begin(false);
    TPlotFont font;
    font.Gradient()->SetVisible(true);
    font.Gradient()->SetDirection(gdLeftRight);
    font.Gradient()->SetStartColor(clBlack);
    font.Gradient()->SetEndColor(clWhite);
    font.Gradient()->SetOutline(row.Outline);
    pass.Plot.AssignFont(font);
    pass.Plot.SetTextAlign(row.Align);
    const int width = pass.Plot.TextWidth(QStringLiteral("Ab"));
    pass.DC.ClearCalls();
    pass.Plot.TextOut(100, 50, QStringLiteral("Ab"));

    const QStringList names = pass.Names();
    const qsizetype clip = names.indexOf(QStringLiteral("SelectClipPath"));
    ASSERT_GE(clip, 0);
    EXPECT_EQ(names.indexOf(QStringLiteral("WidenPath")) >= 0, row.Outline);
    EXPECT_EQ(pass.Calls()[clip], "SelectClipPath(1)");
    // The clip in force before (none) is back afterwards.
    EXPECT_FALSE(pass.DC.ClipRegion().has_value());
    EXPECT_EQ(pass.With("SelectClipRgn").last(), "SelectClipRgn(null)");

    // The bands cover the text box by the horizontal alignment.
    int left = INT_MAX;
    int right = INT_MIN;
    for (const QString& call : pass.With("PatBlt")) {
        const QStringList args = call.mid(7, call.size() - 8).split(QLatin1Char(','));
        left = std::min(left, args[0].toInt());
        right = std::max(right, args[0].toInt() + args[2].toInt());
    }
    const int expectedLeft = (row.Align & TA_HORIZONTAL_MASK) == TA_CENTER ? 100 - width / 2 : 100;
    EXPECT_EQ(left, expectedLeft);
    EXPECT_EQ(right, expectedLeft + ((row.Align & TA_HORIZONTAL_MASK) == TA_CENTER ? 2 * (width / 2) : width));
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DGradientText,
                         ::testing::Values(TGradientTextRow{TA_LEFT | TA_TOP, false},
                                           TGradientTextRow{TA_LEFT | TA_TOP, true},
                                           // Centred on the baseline: the vertical part plays no part.
                                           TGradientTextRow{TA_CENTER | TA_BASELINE, false}));

TEST(PlotCanvas3DText, RotateLabelReducesTheAngleAndRestoresTheFont)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.RotateLabel(10, 20, QStringLiteral("Ab"), 450.0);
    EXPECT_EQ(pass.With("SelectFont"), (QStringList{"SelectFont(Arial,-11,400,900)", "SelectFont(Arial,-11,400,0)"}));
    EXPECT_EQ(pass.With("TextOut"), (QStringList{"TextOut(10,20,\"Ab\")"}));
    EXPECT_EQ(pass.Plot.Brush()->Style(), bsClear);
    pass.DC.ClearCalls();
    pass.Plot.RotateLabel(10, 20, QStringLiteral("Ab"), -90.0);
    EXPECT_EQ(pass.With("SelectFont").first(), "SelectFont(Arial,-11,400,-900)");
}

struct TLabelZoomRow {
    int FontSize;
    int Zoom;
    bool ZoomText;
    int Height;
};

class PlotCanvas3DLabelZoom : public ::testing::TestWithParam<TLabelZoomRow> {};

TEST_P(PlotCanvas3DLabelZoom, RotatedFontFollowsTheZoomToNoLessThanOnePoint)
{
    const TLabelZoomRow row = GetParam();
    TRecordedPass pass;
    pass.Options.SetZoomText(row.ZoomText);
    pass.BeginOrthogonal(45, row.Zoom);
    pass.Plot.Font()->SetSize(row.FontSize);
    pass.DC.ClearCalls();
    pass.Plot.RotateLabel(10, 20, QStringLiteral("Ab"), 90.0);
    EXPECT_EQ(pass.With("SelectFont").first(), QStringLiteral("SelectFont(Arial,%1,400,900)").arg(row.Height));
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DLabelZoom,
                         ::testing::Values(TLabelZoomRow{1, 50, true, -1}, TLabelZoomRow{10, 50, true, -7},
                                           TLabelZoomRow{10, 50, false, -13}, TLabelZoomRow{10, 100, true, -13},
                                           TLabelZoomRow{8, 200, true, -21}));

TEST(PlotCanvas3DText, TextOut3DDrawsAtTheProjectionInAZoomedFont)
{
    TRecordedPass pass;
    pass.BeginOrthogonal(45, 50);
    pass.Plot.Font()->SetSize(10);
    pass.DC.ClearCalls();
    pass.Plot.TextOut3D(120, 100, 20, QStringLiteral("Ab"));
    EXPECT_EQ(pass.With("SelectFont"), (QStringList{"SelectFont(Arial,-7,400,0)", "SelectFont(Arial,-13,400,0)"}));
    EXPECT_EQ(pass.With("TextOut"), (QStringList{"TextOut(120,90,\"Ab\")"}));

    pass.Options.SetZoomText(false);
    pass.Begin(true);
    pass.Plot.TextOut3D(120, 100, 20, QStringLiteral("Ab"));
    EXPECT_TRUE(pass.With("SelectFont").isEmpty());
}

// --- Clipping --------------------------------------------------------------------------------------------

class PlotCanvas3DNestedClips : public ::testing::TestWithParam<int> {};

TEST_P(PlotCanvas3DNestedClips, EachUnclipRestoresTheClipBeforeItsClip)
{
    // Guards against the single process-wide saved clip: a nested clip's
    // undoing lost the outer clip (the printing clip among them).
    const int depth = GetParam();
    TRecordedPass pass;
    pass.Begin(false);
    pass.DC.IntersectClipRect(0, 0, 500, 500); // the printer's clip
    std::vector<TRegion> before;
    const std::vector<TRect> rects{{10, 10, 400, 400}, {20, 20, 300, 300}, {30, 30, 200, 200}};
    for (int level = 0; level < depth; ++level) {
        before.push_back(*pass.DC.ClipRegion());
        if (level == 2)
            pass.Plot.ClipEllipse(rects[2], false);
        else
            pass.Plot.ClipRectangle(rects[static_cast<size_t>(level)]);
        EXPECT_NE(*pass.DC.ClipRegion(), before.back());
    }
    for (int level = depth - 1; level >= 0; --level) {
        pass.Plot.UnClipRectangle();
        ASSERT_TRUE(pass.DC.ClipRegion().has_value());
        EXPECT_EQ(*pass.DC.ClipRegion(), before[static_cast<size_t>(level)]) << level;
    }
    EXPECT_EQ(pass.DC.ClipRegion()->boundingRect(), QRect(0, 0, 500, 500));
}

INSTANTIATE_TEST_SUITE_P(Levels, PlotCanvas3DNestedClips, ::testing::Values(2, 3));

TEST(PlotCanvas3DClipping, CanvasesKeepTheirOwnSavedClips)
{
    // Guards against one canvas's clip overwriting the clip another canvas
    // had saved.
    TRecordedPass a;
    TRecordedPass b;
    a.Begin(false);
    b.Begin(false);
    a.DC.IntersectClipRect(0, 0, 300, 300);
    a.Plot.ClipRectangle({10, 10, 50, 50});
    b.Plot.ClipRectangle({20, 20, 60, 60});
    b.Plot.UnClipRectangle();
    a.Plot.UnClipRectangle();
    ASSERT_TRUE(a.DC.ClipRegion().has_value());
    EXPECT_EQ(a.DC.ClipRegion()->boundingRect(), QRect(0, 0, 300, 300));
    EXPECT_FALSE(b.DC.ClipRegion().has_value());
}

TEST(PlotCanvas3DClipping, ClipRectangleIntersectsTheDevicePointsOfTheCorners)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.DC.SetViewportOrg(5, 7);
    pass.DC.ClearCalls();
    pass.Plot.ClipRectangle({10, 20, 30, 40});
    EXPECT_EQ(pass.Calls(), (QStringList{"ExtSelectClipRgn(rgn[15,27,35,47;1],1)"}));
    pass.Plot.UnClipRectangle();
    EXPECT_FALSE(pass.DC.ClipRegion().has_value());
    // Nothing saved: the clip is removed.
    pass.DC.IntersectClipRect(0, 0, 5, 5);
    pass.Plot.UnClipRectangle();
    EXPECT_FALSE(pass.DC.ClipRegion().has_value());
}

TEST(PlotCanvas3DClipping, ClipCubeClipsToTheHullOfTheProjectedBox)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.ClipCube({50, 50, 100, 100}, 0, 20);
    ASSERT_TRUE(pass.DC.ClipRegion().has_value());
    const TRegion clip = *pass.DC.ClipRegion();
    EXPECT_TRUE(clip.contains(QPoint(55, 95)));  // front
    EXPECT_TRUE(clip.contains(QPoint(115, 35))); // back
    EXPECT_TRUE(clip.contains(QPoint(105, 60))); // right side
    EXPECT_FALSE(clip.contains(QPoint(45, 95)));
    EXPECT_FALSE(clip.contains(QPoint(55, 33)));
    pass.Plot.UnClipRectangle();

    pass.Begin(false);
    pass.Plot.ClipCube({50, 50, 100, 100}, 0, 20);
    EXPECT_EQ(pass.Calls(), (QStringList{"ExtSelectClipRgn(rgn[50,50,100,100;1],1)"}));
}

// --- Gradient fill -----------------------------------------------------------------------------------------

struct TBandRow {
    TGradientDirection Direction;
    TRect Rect;
    int Bands;
    QString FirstBand;
    QString LastBand;
};

class PlotCanvas3DGradientBands : public ::testing::TestWithParam<TBandRow> {};

TEST_P(PlotCanvas3DGradientBands, PaintsAtMost256BandsFromTheStartEdge)
{
    const TBandRow row = GetParam();
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.GradientFill(row.Rect, clBlack, clWhite, row.Direction, 50);
    const QStringList bands = pass.With("PatBlt");
    ASSERT_EQ(bands.size(), row.Bands);
    if (row.Bands == 0) {
        EXPECT_TRUE(pass.Calls().filter("SetDCBrushColor").isEmpty());
        return;
    }
    EXPECT_EQ(bands.first(), row.FirstBand);
    EXPECT_EQ(bands.last(), row.LastBand);
    const QStringList colours = pass.With("SetDCBrushColor");
    const bool reversed = row.Direction == gdBottomTop || row.Direction == gdRightLeft;
    EXPECT_EQ(colours.first(), reversed ? "SetDCBrushColor(0xFFFFFF)" : "SetDCBrushColor(0x000000)");
    EXPECT_EQ(colours.last(), reversed ? "SetDCBrushColor(0x000000)" : "SetDCBrushColor(0xFFFFFF)");
    // The canvas brush is in force again.
    EXPECT_EQ(pass.With("SelectBrush").last(), "SelectBrush(solid,0xFFFFFF,0)");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotCanvas3DGradientBands,
    ::testing::Values(
        TBandRow{gdTopBottom, {0, 0, 10, 256}, 256, "PatBlt(0,255,10,1,0x00f00021)", "PatBlt(0,0,10,1,0x00f00021)"},
        TBandRow{gdBottomTop, {0, 256, 10, 0}, 256, "PatBlt(0,255,10,1,0x00f00021)", "PatBlt(0,0,10,1,0x00f00021)"},
        TBandRow{gdTopBottom, {5, 0, 15, 1000}, 256, "PatBlt(5,997,10,3,0x00f00021)", "PatBlt(5,0,10,4,0x00f00021)"},
        TBandRow{gdLeftRight, {0, 0, 4, 10}, 4, "PatBlt(3,0,1,10,0x00f00021)", "PatBlt(0,0,1,10,0x00f00021)"},
        TBandRow{gdRightLeft, {0, 0, 4, 10}, 4, "PatBlt(3,0,1,10,0x00f00021)", "PatBlt(0,0,1,10,0x00f00021)"},
        TBandRow{gdTopBottom, {0, 0, 10, 1}, 0, "", ""}, TBandRow{gdTopBottom, {0, 0, 10, 0}, 0, "", ""},
        TBandRow{gdLeftRight, {0, 0, 1, 10}, 0, "", ""}));

TEST(PlotCanvas3DGradient, ThousandPixelsGiveBandsOfThreeOrFour)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.GradientFill({0, 0, 10, 1000}, clBlack, clWhite, gdTopBottom, 50);
    int total = 0;
    for (const QString& call : pass.With("PatBlt")) {
        const int height = call.split(QLatin1Char(','))[3].toInt();
        EXPECT_TRUE(height == 3 || height == 4) << call.toStdString();
        total += height;
    }
    EXPECT_EQ(total, 1000);
}

TEST(PlotCanvas3DGradient, TopBottomOver256PixelsGivesEveryGreyLevelFromTheBottomUp)
{
    TPixelPass pass;
    pass.Surface.SetSize(10, 256);
    pass.Begin(false, {0, 0, 10, 256});
    pass.Plot.GradientFill({0, 0, 10, 256}, clBlack, clWhite, gdTopBottom, 50);
    for (int y = 0; y < 256; ++y) {
        const int grey = 255 - y;
        ASSERT_EQ(pass.Pixel(4, y), RGB(grey, grey, grey)) << y;
    }
}

TEST(PlotCanvas3DGradient, BalanceBendsTheRamp)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.GradientFill({0, 0, 10, 256}, clBlack, clWhite, gdTopBottom, 100);
    const QStringList calls = pass.Calls();
    // Step 127 of 255 with exponent 2: (128 / 256)^2 of the way.
    const qsizetype band = calls.indexOf("PatBlt(0,128,10,1,0x00f00021)");
    ASSERT_GT(band, 0);
    EXPECT_EQ(calls.mid(0, band).filter("SetDCBrushColor").last(), "SetDCBrushColor(0x404040)");
}

TEST(PlotCanvas3DGradient, FromCenterPaintsFramesFromTheOutsideIn)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.GradientFill({0, 0, 4, 4}, clBlack, clWhite, gdFromCenter, 50);
    const QStringList expected{"SetDCBrushColor(0xFFFFFF)",  "PatBlt(0,0,1,4,0x00f00021)", "PatBlt(3,0,1,4,0x00f00021)",
                               "PatBlt(0,0,4,1,0x00f00021)", "PatBlt(0,3,4,1,0x00f00021)", "SetDCBrushColor(0x808080)",
                               "PatBlt(1,1,1,2,0x00f00021)", "PatBlt(2,1,1,2,0x00f00021)", "PatBlt(1,1,2,1,0x00f00021)",
                               "PatBlt(1,2,2,1,0x00f00021)"};
    QStringList fill;
    for (const QString& call : pass.Calls())
        if (call.startsWith("PatBlt") || call.startsWith("SetDCBrushColor"))
            fill << call;
    EXPECT_EQ(fill, expected);
}

TEST(PlotCanvas3DGradient, FromTopLeftSweepsColumnsAndRowsFromTheCorner)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.GradientFill({0, 0, 3, 2}, clBlack, clWhite, gdFromTopLeft, 50);
    QStringList fill;
    for (const QString& call : pass.Calls())
        if (call.startsWith("PatBlt") || call.startsWith("SetDCBrushColor"))
            fill << call;
    // The end colour at the corner; steps c + r of T = 5.
    EXPECT_EQ(fill,
              (QStringList{"SetDCBrushColor(0xFFFFFF)", "PatBlt(0,0,1,1,0x00f00021)", "PatBlt(0,0,1,1,0x00f00021)",
                           "SetDCBrushColor(0x999999)", "PatBlt(1,0,1,2,0x00f00021)", "PatBlt(0,1,2,1,0x00f00021)",
                           "SetDCBrushColor(0x666666)", "PatBlt(2,0,1,2,0x00f00021)", "PatBlt(0,1,3,1,0x00f00021)"}));
}

TEST(PlotCanvas3DGradient, FromBottomLeftSweepsFromTheBottomCorner)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.GradientFill({0, 0, 3, 2}, clBlack, clWhite, gdFromBottomLeft, 50);
    EXPECT_EQ(pass.With("PatBlt"),
              (QStringList{"PatBlt(0,1,1,1,0x00f00021)", "PatBlt(0,1,1,1,0x00f00021)", "PatBlt(1,0,1,2,0x00f00021)",
                           "PatBlt(0,0,2,1,0x00f00021)", "PatBlt(2,0,1,2,0x00f00021)", "PatBlt(0,0,3,1,0x00f00021)"}));
}

TEST(PlotCanvas3DGradient, DiagonalLinesRunRightwardsAlongTheAntiDiagonals)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.GradientFill({0, 0, 3, 2}, clBlack, clWhite, gdDiagonalUp, 50);
    QStringList lines;
    for (const QString& call : pass.Calls())
        if (call.startsWith("MoveTo") || call.startsWith("LineTo"))
            lines << call;
    // Width + height lines; the last repeats the far corner.
    EXPECT_EQ(lines, (QStringList{"MoveTo(0,1)", "LineTo(1,2)", "MoveTo(0,0)", "LineTo(2,2)", "MoveTo(1,0)",
                                  "LineTo(3,2)", "MoveTo(2,0)", "LineTo(3,1)", "MoveTo(2,0)", "LineTo(3,1)"}));
    pass.DC.ClearCalls();
    pass.Plot.GradientFill({0, 0, 3, 2}, clBlack, clWhite, gdDiagonalDown, 50);
    lines.clear();
    for (const QString& call : pass.Calls())
        if (call.startsWith("MoveTo") || call.startsWith("LineTo"))
            lines << call;
    EXPECT_EQ(lines, (QStringList{"MoveTo(0,0)", "LineTo(1,-1)", "MoveTo(0,1)", "LineTo(2,-1)", "MoveTo(1,1)",
                                  "LineTo(3,-1)", "MoveTo(2,1)", "LineTo(3,0)", "MoveTo(2,1)", "LineTo(3,0)"}));
}

struct TDiagonalRow {
    TGradientDirection Direction;
    TPoint StartCorner;
    TPoint EndCorner;
};

class PlotCanvas3DDiagonalGradient : public ::testing::TestWithParam<TDiagonalRow> {};

TEST_P(PlotCanvas3DDiagonalGradient, PaintsEveryPixelOfTheRectangleAndNothingElse)
{
    // Guards against diagonal lines that left the left column unpainted and
    // drew a row below the rectangle.
    const TDiagonalRow row = GetParam();
    TPixelPass pass;
    pass.Begin(false);
    pass.Plot.Pen()->SetColor(clLime);
    pass.Plot.GradientFill({10, 20, 40, 40}, clBlack, clRed, row.Direction, 50);
    for (int y = 15; y < 45; ++y)
        for (int x = 5; x < 45; ++x) {
            const bool inside = x >= 10 && x < 40 && y >= 20 && y < 40;
            const TColor pixel = pass.Pixel(x, y);
            if (inside)
                ASSERT_NE(pixel, clWhite) << x << "," << y;
            else
                ASSERT_EQ(pixel, clWhite) << x << "," << y;
        }
    EXPECT_EQ(pass.Pixel(row.StartCorner.X, row.StartCorner.Y), clBlack);
    EXPECT_GT(GetRValue(pass.Pixel(row.EndCorner.X, row.EndCorner.Y)), 240);
    // The canvas pen is as it was.
    EXPECT_EQ(pass.Plot.Pen()->Color(), clLime);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DDiagonalGradient,
                         ::testing::Values(TDiagonalRow{gdDiagonalUp, {10, 39}, {39, 20}},
                                           TDiagonalRow{gdDiagonalDown, {10, 20}, {39, 39}}));

TEST(PlotCanvas3DGradient, RadialFillGoesThroughAGradientsRadialRoutine)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.GradientFill({0, 7, 10, 0}, clBlack, clWhite, gdRadial, 50);
    EXPECT_FALSE(pass.With("FillRect").isEmpty());
    EXPECT_EQ(pass.With("Ellipse").size(), 10);
    EXPECT_TRUE(pass.With("PatBlt").isEmpty());
}

// --- Gradient fills inside their shapes ----------------------------------------------------------------

enum class TPictureKind { Bitmap, Emf, Wmf };

const char* PictureKindName(TPictureKind Kind)
{
    switch (Kind) {
    case TPictureKind::Bitmap: return "bitmap";
    case TPictureKind::Emf: return "emf";
    case TPictureKind::Wmf: return "wmf";
    }
    return "";
}

constexpr int kShapePictureWidth = 200;
constexpr int kShapePictureHeight = 160;

// The view of a 3-D pass: orthogonal when Elevation is 0.
struct TShapeView {
    int Elevation = 0;
    int Rotation = 0;
};

// A picture of Script drawn by a plot canvas on white: into a bitmap, or
// recorded into a metafile (EMF, or saved and read back as WMF) and played
// back into a bitmap. The pass is 3-D in View, or 2-D; as in every chart
// paint, a clip was set and removed before Script runs.
QImage ShapePicture(TPictureKind Kind, bool Is3D, TShapeView View, const std::function<void(TPlotCanvas3D&)>& Script)
{
    const TRect bounds{0, 0, kShapePictureWidth, kShapePictureHeight};
    TView3DOptions options;
    options.SetOrthogonal(View.Elevation == 0);
    if (View.Elevation != 0) {
        options.SetElevation(View.Elevation);
        options.SetRotation(View.Rotation);
        options.SetPerspective(0);
    }
    TPlotCanvas3D plot;
    const auto draw = [&](TCanvas& Canvas) {
        Canvas.Brush().SetColor(clWhite);
        Canvas.FillRect(bounds);
        plot.SetBufferedDisplay(false);
        plot.InitWindow(&Canvas, &options, clWhite, Is3D, bounds);
        plot.ResetState();
        plot.SetProjection(40, bounds);
        plot.Brush()->SetColor(clWhite);
        plot.ClipRectangle({0, 0, 2, 2});
        plot.FillRect(bounds);
        plot.UnClipRectangle();
        plot.FillRect({0, 0, 2, 2});
        plot.Pen()->SetStyle(psClear);
        plot.Brush()->SetColor(clGreen);
        Script(plot);
    };
    if (Kind == TPictureKind::Bitmap) {
        TBitmap bitmap(kShapePictureWidth, kShapePictureHeight);
        draw(bitmap.Canvas());
        return bitmap.Image().copy();
    }
    TMetafile metafile;
    metafile.SetWidth(kShapePictureWidth);
    metafile.SetHeight(kShapePictureHeight);
    {
        TMetafileCanvas canvas(metafile);
        draw(canvas);
    }
    if (Kind == TPictureKind::Emf)
        return metafile.ToImage();
    metafile.SetEnhanced(false);
    QBuffer wmf;
    wmf.open(QIODevice::ReadWrite);
    metafile.SaveToStream(wmf);
    wmf.seek(0);
    TMetafile played;
    played.LoadFromStream(wmf);
    return played.ToImage();
}

// A shape the charts fill with gradients: drawn with the canvas brush, or
// filled by a gradient.
struct TGradientShape {
    const char* Name;
    bool Is3D;
    TShapeView View;
    std::function<void(TPlotCanvas3D&, TCustomPlotGradient*)> Draw;
};

const TRect kShapeRect{30, 40, 150, 130};
constexpr int kShapeZ = 20;

TPointArray ShapePolygon()
{
    return TPointArray{{30, 130}, {90, 40}, {150, 130}, {90, 100}};
}

std::vector<TGradientShape> GradientShapes()
{
    const auto ellipse = [](TPlotCanvas3D& Plot, TCustomPlotGradient* Gradient) {
        if (!Gradient) {
            Plot.EllipseWithZ(kShapeRect.Left, kShapeRect.Top, kShapeRect.Right, kShapeRect.Bottom, kShapeZ);
            return;
        }
        Plot.ClipEllipseWithZ(kShapeRect, kShapeZ);
        Gradient->Draw(Plot, Plot.CalculateRect3D(kShapeRect, kShapeZ));
        Plot.UnClipRectangle();
    };
    const auto polygon = [](TPlotCanvas3D& Plot, TCustomPlotGradient* Gradient) {
        const TPointArray points = ShapePolygon();
        if (Gradient)
            Gradient->DrawPolygon(Plot, points, kShapeZ, Plot.Is3D());
        else if (Plot.Is3D())
            Plot.PolygonWithZ(AsSpan(points), kShapeZ);
        else
            Plot.Polygon(AsSpan(points), points.Length() - 1);
    };
    const auto rounded = [](TPlotCanvas3D& Plot, TCustomPlotGradient* Gradient) {
        const TRect r = Plot.Is3D() ? Plot.CalculateRect3D(kShapeRect, kShapeZ) : kShapeRect;
        if (Gradient)
            Gradient->Draw(Plot, r, 40);
        else
            Plot.RoundRect(r.Left, r.Top, r.Right, r.Bottom, 40, 40);
    };
    const auto slice = [](int DonutPercent) {
        return [DonutPercent](TPlotCanvas3D& Plot, TCustomPlotGradient* Gradient) {
            Plot.Pie3D(90, 85, 60, 40, 0, kShapeZ, 0.3, 2.2, false, true, DonutPercent, Gradient);
        };
    };
    const TShapeView orthogonal;
    const TShapeView turned{350, 335};
    const TShapeView tilted{305, 0};
    return {{"ellipse-2d", false, orthogonal, ellipse},
            {"ellipse-3d", true, orthogonal, ellipse},
            {"ellipse-rotated", true, turned, ellipse},
            {"polygon-2d", false, orthogonal, polygon},
            {"polygon-3d", true, orthogonal, polygon},
            {"polygon-rotated", true, turned, polygon},
            {"rounded-rectangle-2d", false, orthogonal, rounded},
            {"rounded-rectangle-3d", true, orthogonal, rounded},
            {"pie-slice-orthogonal", true, orthogonal, slice(0)},
            {"pie-slice-rotated", true, tilted, slice(0)},
            {"donut-slice-rotated", true, turned, slice(50)}};
}

TEST(PlotCanvas3DGradientShapes, GradientFillsStayInsideTheirShapes)
{
    // Guards against gradients filling the shape's whole bounding rectangle:
    // pie slices spilled a rectangular quadrant and bubbles became squares.
    const TGradientDirection directions[] = {gdTopBottom, gdRadial, gdDiagonalUp, gdFromCenter};
    for (const TGradientShape& shape : GradientShapes())
        for (TPictureKind kind : {TPictureKind::Bitmap, TPictureKind::Emf, TPictureKind::Wmf}) {
            const QImage plain = ShapePicture(kind, shape.Is3D, shape.View,
                                              [&](TPlotCanvas3D& Plot) { shape.Draw(Plot, nullptr); });
            for (TGradientDirection direction : directions) {
                TCustomPlotGradient gradient;
                gradient.SetDirection(direction);
                gradient.SetStartColor(clRed);
                gradient.SetEndColor(clBlue);
                const QImage filled = ShapePicture(kind, shape.Is3D, shape.View,
                                                   [&](TPlotCanvas3D& Plot) { shape.Draw(Plot, &gradient); });
                const QString name = QStringLiteral("%1-%2-direction%3")
                                         .arg(QLatin1String(shape.Name), QLatin1String(PictureKindName(kind)))
                                         .arg(static_cast<int>(direction));
                EXPECT_TRUE(test::FillStaysInside(filled, plain, qRgb(255, 255, 255), name));
            }
        }
}

// --- Donut -------------------------------------------------------------------------------------------------

TEST(PlotCanvas3DDonut, RingSectorIsOnePathOfTwoArcs)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.Donut(100, 100, 50, 40, 0.0, kPi / 2, 50.0);
    EXPECT_EQ(pass.Calls(), (QStringList{"BeginPath()", "MoveTo(150,100)", "ArcTo(50,60,150,140,150,100,100,60)",
                                         "LineTo(100,80)", "SetArcDirection(2)", "ArcTo(75,80,125,120,100,80,125,100)",
                                         "SetArcDirection(1)", "LineTo(150,100)", "EndPath()", "StrokeAndFillPath()"}));
}

TEST(PlotCanvas3DDonut, NoHoleGivesAPieSectorWhoseInnerArcIsTheCentre)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.Donut(100, 100, 50, 40, 0.0, kPi / 2, 0.0);
    EXPECT_EQ(pass.With("ArcTo").last(), "ArcTo(100,100,100,100,100,100,100,100)");
    EXPECT_EQ(pass.With("LineTo").first(), "LineTo(100,100)");
}

// --- Projection ---------------------------------------------------------------------------------------------

struct TOrthoRow {
    int Angle;
    double Sign;
    TPoint Projected; // of (130, 120, 10) with the origin at (100, 100)
};

class PlotCanvas3DOrthogonal : public ::testing::TestWithParam<TOrthoRow> {};

TEST_P(PlotCanvas3DOrthogonal, DepthShiftsAcrossAndUp)
{
    const TOrthoRow row = GetParam();
    TRecordedPass pass;
    pass.BeginOrthogonal(row.Angle);
    EXPECT_TRUE(pass.Plot.IsOrthogonal());
    EXPECT_EQ(pass.Plot.OrthoSign(), row.Sign);
    EXPECT_EQ(pass.Plot.Calculate3DPosition(130, 120, 10), row.Projected);
    EXPECT_EQ(pass.Plot.Calculate3DPosition(130, 120, 0), (TPoint{130, 120}));
    EXPECT_EQ(pass.Plot.Calculate3DPositionFloat(130.2, 120.2, 10), row.Projected);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DOrthogonal,
                         ::testing::Values(TOrthoRow{45, 1.0, {140, 110}}, TOrthoRow{135, -1.0, {120, 110}},
                                           TOrthoRow{90, 1.0, {140, 110}}, TOrthoRow{60, 1.0, {140, 103}}));

TEST(PlotCanvas3DProjection, OrthogonalRatioOf90DegreesIsOne)
{
    TRecordedPass pass;
    pass.BeginOrthogonal(90);
    EXPECT_EQ(pass.Plot.OrthoRatio(), 1.0);
    pass.BeginOrthogonal(45);
    EXPECT_NEAR(pass.Plot.OrthoRatio(), 1.0, 1e-12);
    EXPECT_FALSE(pass.Plot.UsePerspective());
}

TEST(PlotCanvas3DProjection, OrthogonalZoomScalesAboutTheOrigin)
{
    TRecordedPass pass;
    pass.Options.SetHorizOffset(7);
    pass.Options.SetVertOffset(-3);
    pass.BeginOrthogonal(45, 50);
    EXPECT_EQ(pass.Plot.Zoom3D(), 0.5);
    EXPECT_EQ(pass.Plot.XCenterOffset(), 107);
    EXPECT_EQ(pass.Plot.YCenterOffset(), 97);
    // (30 + 10) × 0.5 and (20 − 10) × 0.5 from the shifted origin.
    EXPECT_EQ(pass.Plot.Calculate3DPosition(130, 120, 10), (TPoint{127, 102}));
}

struct TRotatedRow {
    double Elevation;
    double Rotation;
    int Tilt;
    TPoint3D Point;
    TPoint Projected;
};

class PlotCanvas3DRotated : public ::testing::TestWithParam<TRotatedRow> {};

TEST_P(PlotCanvas3DRotated, ProjectsAboutTheOriginAsWorkedOutByHand)
{
    // Origin (100, 100), depth centre 50.
    const TRotatedRow row = GetParam();
    TRecordedPass pass;
    pass.BeginRotated(row.Elevation, row.Rotation, row.Tilt);
    EXPECT_FALSE(pass.Plot.IsOrthogonal());
    EXPECT_EQ(pass.Plot.ZCenter(), 50);
    EXPECT_EQ(pass.Plot.Calculate3DPosition(row.Point.X, row.Point.Y, row.Point.Z), row.Projected);
    EXPECT_EQ(pass.Plot.Calculate3DPositionFloat(row.Point.X, row.Point.Y, row.Point.Z), row.Projected);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DRotated,
                         ::testing::Values(
                             // No angle: X and Y as they are, whatever the depth.
                             TRotatedRow{0, 0, 0, {130, 120, 70}, {130, 120}},
                             TRotatedRow{0, 0, 0, {130, 120, -500}, {130, 120}},
                             // Rotation 90: x' = -z, y' = y.
                             TRotatedRow{0, 90, 0, {130, 120, 70}, {80, 120}},
                             // Elevation 90: x' = x, y' = z.
                             TRotatedRow{90, 0, 0, {130, 150, 60}, {130, 110}},
                             // 345 and 345: x = 100 gives (96.59, 6.70); z = 100 gives (25.88, -25).
                             TRotatedRow{345, 345, 0, {200, 100, 50}, {197, 107}},
                             TRotatedRow{345, 345, 0, {100, 100, 150}, {126, 75}},
                             // Tilt 90: x' = -y, y' = x.
                             TRotatedRow{0, 0, 90, {130, 120, 50}, {80, 130}}));

TEST(PlotCanvas3DProjection, WithoutOptionsA3DPassPassesPointsThrough)
{
    TRecordedPass pass;
    pass.Begin(true, false);
    EXPECT_FALSE(pass.Plot.IsOrthogonal());
    EXPECT_EQ(pass.Plot.Zoom3D(), 1.0);
    EXPECT_EQ(pass.Plot.Calculate3DPosition(130, 120, 77), (TPoint{130, 120}));
    pass.Begin(false);
    EXPECT_EQ(pass.Plot.Calculate3DPosition(130, 120, 77), (TPoint{130, 120}));
    EXPECT_EQ(pass.Plot.Calculate3DPositionFloat(130.5, 119.5, 77), (TPoint{130, 120}));
}

TEST(PlotCanvas3DProjection, PerspectiveStrengthFollowsPerspectiveZoomAndWidth)
{
    TRecordedPass pass;
    pass.Options.SetOrthogonal(false);
    pass.Options.SetElevation(0);
    pass.Options.SetRotation(0);
    pass.Options.SetPerspective(15);
    pass.Begin(true, true, {0, 0, 300, 200});
    EXPECT_TRUE(pass.Plot.UsePerspective());
    EXPECT_NEAR(pass.Plot.PerspectiveFactor(), 15.0 / 150.0 / 300.0, 1e-15);
    // z = 300 behind the centre: scale 1 / (1 + 0.1).
    EXPECT_EQ(pass.Plot.Calculate3DPosition(260, 100, 350), (TPoint{250, 100}));

    pass.Options.SetZoom(200);
    pass.Begin(true, true, {0, 0, 300, 200});
    EXPECT_NEAR(pass.Plot.PerspectiveFactor(), 15.0 * 2.0 / 150.0 / 300.0, 1e-15);
    pass.Options.SetPerspective(0);
    pass.Begin(true, true, {0, 0, 300, 200});
    EXPECT_FALSE(pass.Plot.UsePerspective());
}

TEST(PlotCanvas3DProjection, SetProjectionTakesTheCentreRotationCentreAndOffsets)
{
    TRecordedPass pass;
    pass.Plot.SetRotationCenter({2.5, -3.5, 1.0});
    pass.Options.SetHorizOffset(10);
    pass.Options.SetVertOffset(20);
    pass.Options.SetFontZoom(150);
    pass.Options.SetZoomText(false);
    pass.BeginRotated(0, 0);
    EXPECT_EQ(pass.Plot.XCenter(), 102);
    EXPECT_EQ(pass.Plot.YCenter(), 96);
    EXPECT_EQ(pass.Plot.ZCenter(), 51);
    EXPECT_EQ(pass.Plot.XCenterOffset(), 112);
    EXPECT_EQ(pass.Plot.YCenterOffset(), 116);
    EXPECT_EQ(pass.Plot.FontZoom(), 150.0);
    EXPECT_FALSE(pass.Plot.ZoomText());
    // Half the depth plus the centre's Z, rounded half to even.
    pass.Plot.SetProjection(5, {0, 0, 200, 200});
    EXPECT_EQ(pass.Plot.ZCenter(), 4);
    pass.Plot.SetRotationCenter({});
    pass.Plot.SetProjection(5, {0, 0, 200, 200});
    EXPECT_EQ(pass.Plot.ZCenter(), 2);
}

struct TInverseRow {
    double Elevation;
    double Rotation;
    int Tilt;
};

class PlotCanvas3DInverse : public ::testing::TestWithParam<TInverseRow> {};

TEST_P(PlotCanvas3DInverse, Calculate2DPositionUndoesTheRotatedProjection)
{
    // Guards against an inverse that ignored the depth's share in X and Y:
    // at 345/345 a point 100 behind the centre came back 5 pixels off.
    const TInverseRow row = GetParam();
    TRecordedPass pass;
    pass.BeginRotated(row.Elevation, row.Rotation, row.Tilt);
    for (int z : {0, 50, 150, -40})
        for (int y : {20, 100, 190})
            for (int x : {10, 100, 180}) {
                const TPoint p = pass.Plot.Calculate3DPosition(x, y, z);
                int bx = p.X;
                int by = p.Y;
                pass.Plot.Calculate2DPosition(bx, by, z);
                EXPECT_LE(std::abs(bx - x), 1) << x << "," << y << "," << z;
                EXPECT_LE(std::abs(by - y), 1) << x << "," << y << "," << z;
            }
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DInverse,
                         ::testing::Values(TInverseRow{345, 345, 0}, TInverseRow{330, 20, 0}, TInverseRow{345, 345, 15},
                                           TInverseRow{10, 300, 30}, TInverseRow{0, 0, 0}));

TEST(PlotCanvas3DProjection, OrthogonalInverseIsExactAtZoom100)
{
    TRecordedPass pass;
    for (int angle : {45, 135, 60}) {
        pass.BeginOrthogonal(angle);
        for (int z : {0, 10, 73, -20})
            for (int x : {0, 55, 199}) {
                const TPoint p = pass.Plot.Calculate3DPosition(x, 2 * x - 30, z);
                int bx = p.X;
                int by = p.Y;
                pass.Plot.Calculate2DPosition(bx, by, z);
                EXPECT_EQ((TPoint{bx, by}), (TPoint{x, 2 * x - 30})) << angle << " " << z;
            }
    }
}

TEST(PlotCanvas3DProjection, InverseLeavesPointsAloneWithoutZoomOrWithout3D)
{
    TRecordedPass pass;
    pass.BeginOrthogonal(45, 0);
    int x = 13;
    int y = 17;
    pass.Plot.Calculate2DPosition(x, y, 10);
    EXPECT_EQ((TPoint{x, y}), (TPoint{13, 17}));
    pass.Options.SetZoom(100);
    pass.Begin(false);
    pass.Plot.Calculate2DPosition(x, y, 10);
    EXPECT_EQ((TPoint{x, y}), (TPoint{13, 17}));
}

TEST(PlotCanvas3DProjection, NoRotationKeepsTheOrthogonalShiftAndStopsTheRotatedOne)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.BeginNoRotation();
    EXPECT_FALSE(pass.Plot.Is3D());
    EXPECT_EQ(pass.Plot.Calculate3DPosition(130, 120, 10), (TPoint{140, 110}));
    pass.Plot.EndNoRotation();
    EXPECT_TRUE(pass.Plot.Is3D());

    pass.BeginRotated(345, 345);
    const TPoint rotated = pass.Plot.Calculate3DPosition(200, 100, 50);
    pass.Plot.BeginNoRotation();
    EXPECT_EQ(pass.Plot.Calculate3DPosition(200, 100, 50), (TPoint{200, 100}));
    pass.Plot.EndNoRotation();
    EXPECT_EQ(pass.Plot.Calculate3DPosition(200, 100, 50), rotated);
}

// Points beyond the 32-bit range, at the horizon of a perspective or moved
// by extreme offsets raised a range error that ended the paint; they are
// held at the projection's limit, 2^29 pixels either way, so a paint draws
// what lies on the device.
TEST(PlotCanvas3DProjection, PointsFarOffTheDeviceAreHeldAtTheLimit)
{
    constexpr int Limit = 1 << 29;
    TRecordedPass pass;
    pass.BeginOrthogonal(45, 200);
    EXPECT_EQ(pass.Plot.Calculate3DPosition(INT_MIN, 0, 0).X, -Limit);
    EXPECT_EQ(pass.Plot.Calculate3DPosition(2000000000, 0, 0).X, Limit);
    EXPECT_EQ(pass.Plot.Calculate3DPositionFloat(3e9, 0.0, 0).X, Limit);
    EXPECT_NO_THROW(pass.Plot.Cube(0, 2000000000, 0, 10, 0, 10, false));
    EXPECT_FALSE(pass.DC.CallsStartingWith(QStringLiteral("Polygon(")).isEmpty());
    pass.BeginRotated(345, 345);
    const TPoint Deep = pass.Plot.Calculate3DPosition(0, 0, INT_MIN);
    EXPECT_LE(std::max(std::abs(Deep.X), std::abs(Deep.Y)), Limit);

    // Elevation and rotation 0, perspective 100 over 200 pixels: depth
    // 300 before the centre (Z -250) is the eye's plane, where the scale is
    // infinite. Across it the point is held; along the centre line (0 times
    // infinity) it stays at the centre.
    pass.BeginRotated(0, 0);
    pass.Options.SetPerspective(100);
    pass.Begin(true);
    EXPECT_EQ(pass.Plot.Calculate3DPosition(110, 100, -250), (TPoint{Limit, 100}));

    pass.Options.SetPerspective(0);
    pass.Options.SetHorizOffset(INT_MAX);
    pass.Options.SetVertOffset(INT_MIN);
    ASSERT_NO_THROW(pass.Begin(true));
    EXPECT_EQ(pass.Plot.Calculate3DPosition(100, 100, 50), (TPoint{Limit, -Limit}));
}

// --- 3-D primitives -------------------------------------------------------------------------------------------

TEST(PlotCanvas3DPrimitives, LinesAndPlanesProjectTheirCorners)
{
    // Orthogonal 45, origin at the centre: (X, Y, Z) → (X + Z, Y − Z).
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.HorizLine3D(10, 30, 50, 10);
    pass.Plot.VertLine3D(10, 30, 50, 10);
    pass.Plot.ZLine3D(10, 50, 0, 20);
    pass.Plot.LineWithZ(1, 2, 3, 4, 5);
    pass.Plot.MoveTo3D(1, 2, 3);
    pass.Plot.LineTo3D(4, 5, 6);
    EXPECT_EQ(pass.Calls(),
              (QStringList{"MoveTo(20,40)", "LineTo(40,40)", "MoveTo(20,20)", "LineTo(20,40)", "MoveTo(10,50)",
                           "LineTo(30,30)", "MoveTo(6,-3)", "LineTo(8,-1)", "MoveTo(4,-1)", "LineTo(10,-1)"}));
    pass.DC.ClearCalls();
    pass.Plot.PlaneAtY(10, 50, 30, 0, 20);
    pass.Plot.PlaneAtX(10, 50, 70, 0, 20);
    pass.Plot.Plane3D({10, 50}, {30, 60}, 0, 20);
    pass.Plot.RectangleWithZ({10, 20, 30, 40}, 5);
    pass.Plot.PlaneWithZ({1, 1}, {2, 2}, {3, 3}, {4, 4}, 1);
    TFourPoints four;
    four[0] = {10, 50};
    four[1] = {30, 50};
    four[2] = {30, 70};
    four[3] = {10, 70};
    const TFourPoints copy = four;
    pass.Plot.PlaneFour3D(four, 0, 20);
    EXPECT_EQ(four, copy);
    EXPECT_EQ(pass.Calls(), (QStringList{PolygonText({{10, 50}, {30, 50}, {50, 30}, {30, 30}}),
                                         PolygonText({{10, 50}, {30, 30}, {30, 50}, {10, 70}}),
                                         PolygonText({{10, 50}, {30, 60}, {50, 40}, {30, 30}}),
                                         PolygonText({{15, 15}, {35, 15}, {35, 35}, {15, 35}}),
                                         PolygonText({{2, 0}, {3, 1}, {4, 2}, {5, 3}}),
                                         PolygonText({{10, 50}, {30, 50}, {50, 50}, {30, 50}})}));
}

TEST(PlotCanvas3DPrimitives, Triangle3DTakesTheFirstColourUnlessTheBrushIsClear)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    TTrianglePoints3D corners;
    corners[0] = {0, 0, 0};
    corners[1] = {10, 0, 0};
    corners[2] = {10, 10, 10};
    TTriangleColors colors;
    colors[0] = clRed;
    colors[1] = clLime;
    colors[2] = clBlue;
    pass.Plot.Triangle3D(corners, colors);
    EXPECT_EQ(pass.Calls(), (QStringList{"SelectBrush(solid,0x0000FF,0)", PolygonText({{0, 0}, {10, 0}, {20, 0}})}));
    pass.Plot.Brush()->SetStyle(bsClear);
    pass.DC.ClearCalls();
    colors[0] = clLime;
    pass.Plot.Triangle3D(corners, colors);
    EXPECT_EQ(pass.Plot.Brush()->Color(), clRed);
}

TEST(PlotCanvas3DPrimitives, WidePenSetsPixelsAsDotsAndSurfacesDrawNothing)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.Pen()->SetWidth(3);
    pass.DC.ClearCalls();
    pass.Plot.SetPixel3D(1, 2, 3, clRed);
    EXPECT_EQ(pass.Calls(), (QStringList{"MoveTo(4,-1)", "LineTo(4,-1)"}));
    pass.DC.ClearCalls();
    pass.Plot.Surface3D(0, {}, 10, 10);
    EXPECT_TRUE(pass.Calls().isEmpty());
}

TEST(PlotCanvas3DPrimitives, PolygonsTrianglesAndPixelsReachTheDevice)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    const std::vector<TPoint> points{{0, 0}, {10, 0}, {10, 10}};
    pass.Plot.PolygonWithZ(points, 5);
    pass.Plot.PolylineWithZ(points, 5);
    pass.Plot.TriangleWithZ({0, 0}, {10, 0}, {10, 10}, 1);
    pass.Plot.SetPixel3D(1, 2, 3, clRed);
    EXPECT_EQ(pass.Calls(), (QStringList{PolygonText({{5, -5}, {15, -5}, {15, 5}}), "Polyline([5 -5;15 -5;15 5])",
                                         PolygonText({{1, -1}, {11, -1}, {11, 9}}), "SetPixel(4,-1,0x0000FF)"}));
}

TEST(PlotCanvas3DPrimitives, RotatedEllipseIs63TrianglesAndA64PointOutline)
{
    TRecordedPass pass;
    pass.BeginRotated(0, 0);
    pass.Plot.EllipseWithZ(50, 50, 150, 130, 0);
    const std::vector<int> sizes = pass.PolygonSizes();
    EXPECT_EQ(sizes, std::vector<int>(63, 3));
    const QStringList outline = pass.With("Polyline");
    ASSERT_EQ(outline.size(), 1);
    EXPECT_EQ(outline[0].count(QLatin1Char(';')) + 1, 64);
    EXPECT_TRUE(outline[0].startsWith("Polyline([100 130;"));
    EXPECT_TRUE(outline[0].endsWith(";100 130])"));
    // The triangles are filled without the pen, which comes back for the outline.
    const QStringList pens = pass.With("SelectPen");
    ASSERT_EQ(pens.size(), 2);
    EXPECT_TRUE(pens[0].startsWith("SelectPen(5,"));
    EXPECT_TRUE(pens[1].startsWith("SelectPen(0,"));

    pass.DC.ClearCalls();
    pass.Plot.Brush()->SetStyle(bsClear);
    pass.Plot.EllipseWithZ(50, 50, 150, 130, 0);
    EXPECT_TRUE(pass.PolygonSizes().empty());
    pass.Plot.Pen()->SetStyle(psClear);
    pass.Plot.Brush()->SetStyle(bsSolid);
    pass.DC.ClearCalls();
    pass.Plot.EllipseWithZ(50, 50, 150, 130, 0);
    EXPECT_TRUE(pass.With("Polyline").isEmpty());
}

TEST(PlotCanvas3DPrimitives, FlatEllipsesAreDeviceEllipses)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.EllipseWithZ(50, 50, 150, 130, 10);
    pass.Plot.CircleWithZ(100, 100, 10.5, 0);
    EXPECT_EQ(pass.Calls(), (QStringList{"Ellipse(60,40,160,120)", "Ellipse(90,90,110,110)"}));
    pass.Begin(false);
    pass.Plot.EllipseWithZ(50, 50, 150, 130, 10);
    EXPECT_EQ(pass.Calls(), (QStringList{"Ellipse(50,50,151,131)"}));
}

struct TCubeRow {
    int Angle;
    bool Clear;
    bool DarkSides;
    QStringList Expected;
};

class PlotCanvas3DCube : public ::testing::TestWithParam<TCubeRow> {};

TEST_P(PlotCanvas3DCube, DrawsTheFacesTurnedToTheViewer)
{
    const TCubeRow row = GetParam();
    TRecordedPass pass;
    pass.BeginOrthogonal(row.Angle);
    pass.Plot.Brush()->SetColor(clRed);
    if (row.Clear)
        pass.Plot.Brush()->SetStyle(bsClear);
    pass.DC.ClearCalls();
    pass.Plot.Cube(50, 100, 50, 100, 0, 20, row.DarkSides);
    EXPECT_EQ(pass.Calls(), row.Expected);
}

const QString kFront = PolygonText({{50, 50}, {100, 50}, {100, 100}, {50, 100}});
const QString kRight = PolygonText({{100, 50}, {120, 30}, {120, 80}, {100, 100}});
const QString kTop = PolygonText({{50, 50}, {70, 30}, {120, 30}, {100, 50}});
const QString kLeftSeen = PolygonText({{50, 50}, {50, 100}, {30, 80}, {30, 30}});
const QString kTopLeft = PolygonText({{50, 50}, {30, 30}, {80, 30}, {100, 50}});

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotCanvas3DCube,
    ::testing::Values(
        TCubeRow{
            45, false, true, {kFront, "SelectBrush(solid,0x00007F,0)", kRight, "SelectBrush(solid,0x0000BF,0)", kTop}},
        TCubeRow{45, false, false, {kFront, kRight, kTop}},
        TCubeRow{135,
                 false,
                 true,
                 {kFront, "SelectBrush(solid,0x00007F,0)", kLeftSeen, "SelectBrush(solid,0x0000BF,0)", kTopLeft}},
        // A clear brush: the front and all four sides, as outlines.
        TCubeRow{45,
                 true,
                 false,
                 {kFront, kRight, PolygonText({{50, 50}, {50, 100}, {70, 80}, {70, 30}}), kTop,
                  PolygonText({{50, 100}, {100, 100}, {120, 80}, {70, 80}})}}));

TEST(PlotCanvas3DPrimitives, CubeSeenFromBehindDrawsItsBackFace)
{
    TRecordedPass pass;
    pass.BeginRotated(0, 150);
    pass.Plot.Cube(50, 100, 50, 100, 0, 20, false);
    const TFourPoints back = pass.Plot.FourPointsFromRect({50, 50, 100, 100}, 20);
    ASSERT_FALSE(pass.With("Polygon").isEmpty());
    EXPECT_EQ(pass.With("Polygon").first(), PolygonText({back[0], back[1], back[2], back[3]}));
}

TEST(PlotCanvas3DPrimitives, CubePixelsShowTheShadedFaces)
{
    TPixelPass pass;
    pass.Options.SetOrthogonal(true);
    pass.Begin(true);
    pass.Plot.Brush()->SetColor(RGB(200, 150, 100));
    pass.Plot.Pen()->SetStyle(psClear);
    pass.Plot.Cube(50, 100, 50, 100, 0, 20, true);
    EXPECT_EQ(pass.Pixel(75, 75), RGB(200, 150, 100));
    EXPECT_EQ(pass.Pixel(110, 70), RGB(72, 22, 0));
    EXPECT_EQ(pass.Pixel(90, 40), RGB(136, 86, 36));
    EXPECT_EQ(pass.Pixel(45, 75), clWhite);
}

TEST(PlotCanvas3DPrimitives, CylinderHas16SidesOf17PointEndsAndShowsItsTop)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.Brush()->SetStyle(bsClear);
    pass.DC.ClearCalls();
    pass.Plot.Cylinder(true, 50, 50, 100, 100, 0, 20, false);
    std::vector<int> expected(16, 4);
    expected.push_back(17);
    EXPECT_EQ(pass.PolygonSizes(), expected);
    // The cap seen from above is the far end at Top.
    const TPoint start = pass.Plot.Calculate3DPositionFloat(100, 50, 10);
    EXPECT_TRUE(pass.With("Polygon").last().startsWith(QStringLiteral("Polygon([%1 %2;").arg(start.X).arg(start.Y)));

    pass.Plot.Brush()->SetStyle(bsSolid);
    pass.DC.ClearCalls();
    pass.Plot.Cylinder(true, 50, 50, 100, 100, 0, 20, false);
    const std::vector<int> solid = pass.PolygonSizes();
    ASSERT_FALSE(solid.empty());
    EXPECT_LT(solid.size(), 17u);
    EXPECT_GT(solid.size(), 1u);
    EXPECT_EQ(solid.back(), 17);
}

TEST(PlotCanvas3DPrimitives, ConeShadesItsSidesAroundTheBodyAndItsCap)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.Cone(true, 50, 50, 100, 100, 0, 20, true, 50);
    // Each side drawn is darker by 8 per side index (the closing side not
    // at all); the cap by 64.
    const QStringList brushes = pass.With("SelectBrush");
    ASSERT_FALSE(brushes.isEmpty());
    for (const QString& call : brushes.mid(0, brushes.size() - 1)) {
        const int red = static_cast<int>(call.section(QLatin1Char(','), 1, 1).mid(2).toUInt(nullptr, 16) & 0xFF);
        EXPECT_EQ((255 - red) % 8, 0) << call.toStdString();
        EXPECT_LE(255 - red, 8 * 14) << call.toStdString();
    }
    EXPECT_EQ(brushes.last(), "SelectBrush(solid,0xBFBFBF,0)");
    const QStringList calls = pass.Calls();
    EXPECT_EQ(calls[calls.size() - 2], "SelectBrush(solid,0xBFBFBF,0)");
    EXPECT_EQ(pass.PolygonSizes().back(), 17);
}

TEST(PlotCanvas3DPrimitives, ConeSegmentsAreAUnitWideSetting)
{
    EXPECT_EQ(ConeSegments(), 16);
    EXPECT_THROW(SetConeSegments(2), ERangeError);
    SetConeSegments(8);
    struct TRestore {
        ~TRestore() { SetConeSegments(16); }
    } restore;
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.Brush()->SetStyle(bsClear);
    pass.DC.ClearCalls();
    pass.Plot.Cylinder(true, 50, 50, 100, 100, 0, 20, false);
    std::vector<int> expected(8, 4);
    expected.push_back(9);
    EXPECT_EQ(pass.PolygonSizes(), expected);
}

TEST(PlotCanvas3DPrimitives, PyramidDrawsItsBaseOnlyWhenItFacesTheViewer)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.Brush()->SetStyle(bsClear);
    pass.DC.ClearCalls();
    pass.Plot.Pyramid(true, 50, 50, 100, 100, 0, 20, false);
    EXPECT_EQ(pass.PolygonSizes(), (std::vector<int>{3, 3, 3, 3, 4}));

    pass.Plot.Brush()->SetStyle(bsSolid);
    pass.Plot.Brush()->SetColor(clRed);
    pass.DC.ClearCalls();
    // Seen from above: the base underneath is hidden; the right face is shaded.
    pass.Plot.Pyramid(true, 50, 50, 100, 100, 0, 20, true);
    std::vector<int> sizes = pass.PolygonSizes();
    EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 4), 0);
    EXPECT_FALSE(pass.Calls().filter("SelectBrush(solid,0x00007F,0)").isEmpty());
    // Upside down, its base on top faces the viewer.
    pass.DC.ClearCalls();
    pass.Plot.Pyramid(true, 50, 100, 100, 50, 0, 20, true);
    sizes = pass.PolygonSizes();
    EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 4), 1);
    EXPECT_EQ(sizes.back(), 4);

    pass.DC.ClearCalls();
    pass.Plot.Pyramid(false, 50, 50, 100, 100, 0, 20, true);
    sizes = pass.PolygonSizes();
    // Pointing right with depth to the right: the base at Left is hidden.
    EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 4), 0);
    EXPECT_GE(sizes.size(), 2u);
}

TEST(PlotCanvas3DPrimitives, PyramidTruncDrawsCapsAroundItsFaces)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.Brush()->SetStyle(bsClear);
    pass.DC.ClearCalls();
    pass.Plot.PyramidTrunc({50, 50, 100, 100}, 0, 20, 10, 5);
    const QStringList polygons = pass.With("Polygon");
    ASSERT_EQ(polygons.size(), 6);
    // The base cap first and the top cap last.
    EXPECT_EQ(polygons.first(), PolygonText({{50, 100}, {100, 100}, {120, 80}, {70, 80}}));
    EXPECT_EQ(polygons.last(), PolygonText({{70, 45}, {90, 45}, {100, 35}, {80, 35}}));

    pass.DC.ClearCalls();
    pass.Plot.PyramidTrunc({50, 50, 100, 100}, 10, 10, 0, 5);
    EXPECT_EQ(pass.PolygonSizes(), (std::vector<int>{4, 4}));

    pass.Plot.Brush()->SetStyle(bsSolid);
    pass.DC.ClearCalls();
    pass.Plot.PyramidTrunc({50, 50, 100, 100}, 0, 20, 10, 5);
    EXPECT_LT(pass.With("Polygon").size(), 6);
}

struct TPieCountRow {
    double Degrees;
    int DonutPercent;
    int CoverPoints;
};

class PlotCanvas3DPieCount : public ::testing::TestWithParam<TPieCountRow> {};

TEST_P(PlotCanvas3DPieCount, ArcHasOnePointPerTwoDegreesUpTo96)
{
    const TPieCountRow row = GetParam();
    TRecordedPass pass;
    pass.BeginOrthogonal();
    pass.Plot.Pie3D(100, 100, 50, 40, 0, 20, 0.0, row.Degrees * kPi / 180.0, false, false, row.DonutPercent, nullptr);
    const std::vector<int> sizes = pass.PolygonSizes();
    ASSERT_FALSE(sizes.empty());
    // The donut's inner wall first, then the cover.
    EXPECT_EQ(sizes[row.DonutPercent > 0 ? 1 : 0], row.CoverPoints);
    if (row.DonutPercent > 0) {
        EXPECT_EQ(sizes[0], row.CoverPoints);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, PlotCanvas3DPieCount,
                         ::testing::Values(TPieCountRow{360, 0, 97}, TPieCountRow{10, 0, 8}, TPieCountRow{100, 0, 53},
                                           TPieCountRow{360, 50, 192}, TPieCountRow{1, 0, 3}));

TEST(PlotCanvas3DPrimitives, PieWallLiesOutsideTheCoverAtZ1)
{
    // Guards against the outer wall painted over the cover it surrounds.
    TPixelPass pass;
    pass.Options.SetOrthogonal(true);
    pass.Begin(true);
    pass.Plot.Brush()->SetColor(RGB(200, 150, 100));
    pass.Plot.Pen()->SetStyle(psClear);
    pass.Plot.Pie3D(100, 100, 50, 50, 0, 20, 0.0, 2 * kPi, true, false, 0, nullptr);
    // The cover at depth 20 is centred at (120, 80).
    EXPECT_EQ(pass.Pixel(120, 80), RGB(200, 150, 100));
    EXPECT_EQ(pass.Pixel(150, 60), RGB(200, 150, 100));
    // Below-left of it the wall shows, shaded.
    EXPECT_EQ(pass.Pixel(72, 128), RGB(168, 118, 68));
    EXPECT_EQ(pass.Pixel(165, 45), clWhite);
}

TEST(PlotCanvas3DPrimitives, PieSidesShowOnlyTheOneTurnedToTheViewer)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    // The quarter from 12 to 9 o'clock, its cover at Z1 up and right of the
    // one at Z0: the side at 9 o'clock shows below that cover, the one at
    // 12 o'clock would lie on it.
    pass.Plot.Pie3D(100, 100, 50, 50, 0, 20, 0.5 * kPi, kPi, false, true, 0, nullptr);
    const QStringList polygons = pass.With("Polygon");
    ASSERT_GE(polygons.size(), 2);
    EXPECT_EQ(polygons[0], PolygonText({{100, 100}, {50, 100}, {70, 80}, {120, 80}}));
    EXPECT_EQ(pass.PolygonSizes()[1], 48);
}

TEST(PlotCanvas3DPrimitives, PieGradientFillsTheCoverThroughItsClip)
{
    TRecordedPass pass;
    pass.BeginOrthogonal();
    TCustomPlotGradient gradient;
    gradient.SetStartColor(clBlack);
    gradient.SetEndColor(clWhite);
    pass.Plot.Pie3D(100, 100, 50, 50, 0, 20, 0.0, 0.5 * kPi, false, false, 0, &gradient);
    const QStringList names = pass.Names();
    const qsizetype clip = names.indexOf("ExtSelectClipRgn");
    ASSERT_GE(clip, 0);
    EXPECT_GT(names.indexOf("PatBlt"), clip);
    const qsizetype unclip = names.indexOf("SelectClipRgn", clip);
    ASSERT_GT(unclip, clip);
    // The outline of the cover with no brush, then the canvas brush again.
    EXPECT_EQ(pass.Calls()[unclip + 1], "SelectBrush(null,0xFFFFFF,0)");
    EXPECT_EQ(names[unclip + 2], "Polygon");
    EXPECT_EQ(pass.Calls()[unclip + 3], "SelectBrush(solid,0xFFFFFF,0)");
    EXPECT_FALSE(pass.DC.ClipRegion().has_value());
}

TEST(PlotCanvas3DPrimitives, PieGradientOutlineKeepsTheLogicalPoints)
{
    // Guards against the clip turning the cover's points into device points
    // before its bounds and outline were taken from them.
    TRecordedPass plain;
    plain.BeginOrthogonal();
    plain.DC.SetViewportOrg(5, 7);
    plain.Plot.Pie3D(100, 100, 50, 50, 0, 20, 0.0, 0.5 * kPi, false, false, 0, nullptr);
    const QString cover = plain.With("Polygon").first();

    TRecordedPass filled;
    filled.BeginOrthogonal();
    filled.DC.SetViewportOrg(5, 7);
    TCustomPlotGradient gradient;
    filled.Plot.Pie3D(100, 100, 50, 50, 0, 20, 0.0, 0.5 * kPi, false, false, 0, &gradient);
    EXPECT_EQ(filled.With("Polygon").first(), cover);
    const QString clip = filled.With("ExtSelectClipRgn").first();
    // The cover spans 120 .. 170 across and 30 .. 80 down at depth 20; the
    // clip is in device points, 5 and 7 further.
    EXPECT_TRUE(clip.startsWith("ExtSelectClipRgn(rgn[125,37,")) << clip.toStdString();
    // The gradient fills the polygon's bounds in logical points.
    const QStringList bands = filled.With("PatBlt");
    ASSERT_FALSE(bands.isEmpty());
    EXPECT_TRUE(bands.last().startsWith("PatBlt(120,30,")) << bands.last().toStdString();
}

TEST(PlotCanvas3DPrimitives, ArrowIsSevenPointsOrThreeLines)
{
    TRecordedPass pass;
    pass.Begin(false);
    pass.Plot.Arrow(true, {0, 0}, {100, 0}, 20, 30, 0, 100.0);
    EXPECT_EQ(pass.Calls(),
              (QStringList{PolygonText({{0, 10}, {70, 10}, {70, 10}, {100, 0}, {70, -10}, {70, -10}, {0, -10}})}));
    pass.DC.ClearCalls();
    pass.Plot.ArrowDefault(true, {0, 0}, {100, 0}, 20, 30, 0);
    EXPECT_EQ(pass.Calls(),
              (QStringList{PolygonText({{0, 5}, {70, 5}, {70, 10}, {100, 0}, {70, -10}, {70, -5}, {0, -5}})}));
    pass.DC.ClearCalls();
    pass.Plot.Arrow(false, {0, 0}, {100, 0}, 20, 30, 0, 50.0);
    EXPECT_EQ(pass.Calls(), (QStringList{"MoveTo(0,0)", "LineTo(100,0)", "MoveTo(100,0)", "LineTo(70,10)",
                                         "MoveTo(100,0)", "LineTo(70,-10)"}));
    pass.DC.ClearCalls();
    // The head is no longer than the arrow; a zero-length arrow draws nothing.
    pass.Plot.Arrow(false, {0, 0}, {0, 10}, 20, 30, 0, 50.0);
    EXPECT_EQ(pass.Calls()[3], "LineTo(-10,0)");
    pass.DC.ClearCalls();
    pass.Plot.Arrow(true, {5, 5}, {5, 5}, 20, 30, 0, 50.0);
    EXPECT_TRUE(pass.Calls().isEmpty());
}

} // namespace
} // namespace lp
