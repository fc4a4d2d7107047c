#include "chart/canvas/PlotBlend.h"

#include "chart/canvas/PlotCanvas.h"
#include "chart/canvas/PlotConst.h"
#include "platform/graphics/Bitmap.h"

#include <QtCore/QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

namespace lp {
namespace {

// --- Pixels ----------------------------------------------------------------------------------------

struct Rgb {
    int R = 0;
    int G = 0;
    int B = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

void PrintTo(const Rgb& c, std::ostream* os)
{
    *os << "(" << c.R << ", " << c.G << ", " << c.B << ")";
}

Rgb PixelAt(const TBitmap& bitmap, int x, int y)
{
    const uint8_t* p = bitmap.ScanLine(y) + 4 * x;
    return {p[2], p[1], p[0]};
}

void SetPixelAt(TBitmap& bitmap, int x, int y, Rgb c)
{
    uint8_t* p = bitmap.ScanLine(y) + 4 * x;
    p[0] = static_cast<uint8_t>(c.B);
    p[1] = static_cast<uint8_t>(c.G);
    p[2] = static_cast<uint8_t>(c.R);
}

void Fill(TBitmap& bitmap, Rgb c)
{
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            SetPixelAt(bitmap, x, y, c);
}

bool Inside(const TRect& r, int x, int y)
{
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// --- A canvas over a bitmap ----------------------------------------------------------------------------

// The smallest concrete canvas: bound to a bitmap's platform canvas, with
// Bounds covering the bitmap. The text alignment can be scripted to act as
// a device that loses its alignment while pixels are blended.
class TBitmapCanvas : public TPlotCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap)
    {
        SetCanvas(&bitmap.Canvas());
        FBounds = {0, 0, bitmap.Width(), bitmap.Height()};
    }

    void SetBounds(const TRect& r) { FBounds = r; }

    // Alignments GetTextAlign reports on its next calls, before it reports
    // the device's again.
    mutable std::vector<unsigned> ScriptedAligns;
    std::vector<unsigned> AlignsSet;

    TColor GetBackColor() const override { return GetHandle().BkColor(); }
    uint8_t GetBackMode() const override { return static_cast<uint8_t>(GetHandle().BkMode()); }
    TDeviceContext& GetHandle() const override { return ReferenceCanvas()->Handle(); }
    bool GetMonochrome() const override { return false; }
    TColor GetPixel(int X, int Y) const override { return GetHandle().GetPixel(X, Y); }
    bool SupportsFullRotation() const override { return false; }
    unsigned GetTextAlign() const override
    {
        if (!ScriptedAligns.empty()) {
            const unsigned align = ScriptedAligns.front();
            ScriptedAligns.erase(ScriptedAligns.begin());
            return align;
        }
        return GetHandle().TextAlign();
    }
    bool GetBufferedDisplay() const override { return false; }
    void SetBackColor(TColor Color) override { GetHandle().SetBkColor(Color); }
    void SetBackMode(uint8_t Mode) override { GetHandle().SetBkMode(Mode); }
    void SetMonochrome(bool) override {}
    void SetPixel(int X, int Y, TColor Color) override { GetHandle().SetPixel(X, Y, Color); }
    void SetTextAlign(unsigned Align) override
    {
        AlignsSet.push_back(Align);
        GetHandle().SetTextAlign(Align);
    }
    void SetBufferedDisplay(bool) override {}
    void Arc(int, int, int, int, int, int, int, int) override {}
    void Donut(int, int, int, int, double, double, double) override {}
    void Draw(int X, int Y, const TGraphic* Graphic) override { ReferenceCanvas()->Draw(X, Y, Graphic); }
    void Ellipse(int, int, int, int) override {}
    void FillRect(const TRect& Rect) override { ReferenceCanvas()->FillRect(Rect); }
    void LineTo(int, int) override {}
    void MoveTo(int, int) override {}
    void Pie(int, int, int, int, int, int, int, int) override {}
    void Rectangle(int, int, int, int) override {}
    void RoundRect(int, int, int, int, int, int) override {}
    void StretchDraw(const TRect&, const TGraphic*) override {}
    void TextOut(int, int, const QString&) override {}
    void ClipRectangle(const TRect&) override {}
    void HorizLine(int, int, int) override {}
    void VertLine(int, int, int) override {}
    void EraseBackground(const TRect&) override {}
    void GradientFill(const TRect&, TColor, TColor, TGradientDirection, int) override {}
    void Invalidate() override {}
    void Line(int, int, int, int) override {}
    void Polyline(std::span<const TPoint>, int) override {}
    void Polygon(std::span<const TPoint>, int) override {}
    void RotateLabel(int, int, const QString&, double) override {}
    void UnClipRectangle() override {}
};

// Fills a rectangle of the canvas's bitmap through the platform canvas, as
// chart drawing would.
void PaintRect(TBitmapCanvas& canvas, const TRect& r, TColor color)
{
    canvas.ReferenceCanvas()->Brush().SetColor(color);
    canvas.ReferenceCanvas()->Brush().SetStyle(TBrush::bsSolid);
    canvas.FillRect(r);
}

// --- Capturing ---------------------------------------------------------------------------------------

struct CaptureRow {
    const char* Name;
    TRect Given;
    TRect Bounds;
    TRect Captured;
    bool Valid;
};

class PlotBlendCapture : public ::testing::TestWithParam<CaptureRow> {};

TEST_P(PlotBlendCapture, NormalisesCutsAndCapturesTheRectangle)
{
    const CaptureRow& row = GetParam();
    TBitmap bitmap(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            SetPixelAt(bitmap, x, y, {x * 5, y * 7, 100});
    TBitmapCanvas canvas(bitmap);
    canvas.SetBounds(row.Bounds);

    TPlotBlend blend(canvas, row.Given);

    EXPECT_EQ(blend.Rectangle(), row.Captured);
    ASSERT_EQ(blend.Valid(), row.Valid);
    if (!row.Valid) {
        EXPECT_EQ(blend.Background(), nullptr);
        return;
    }
    const TBitmap* background = blend.Background();
    ASSERT_NE(background, nullptr);
    ASSERT_EQ(background->Width(), row.Captured.Width());
    ASSERT_EQ(background->Height(), row.Captured.Height());
    EXPECT_EQ(background->PixelFormat(), TBitmap::pf24bit);
    for (int y = 0; y < background->Height(); ++y)
        for (int x = 0; x < background->Width(); ++x)
            ASSERT_EQ(PixelAt(*background, x, y), PixelAt(bitmap, row.Captured.Left + x, row.Captured.Top + y))
                << "at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    Rectangles, PlotBlendCapture,
    ::testing::Values(
        CaptureRow{"Inside", {3, 4, 10, 9}, {0, 0, 40, 30}, {3, 4, 10, 9}, true},
        CaptureRow{"EmptyWidthCapturesOneColumn", {5, 2, 5, 8}, {0, 0, 40, 30}, {5, 2, 6, 8}, true},
        CaptureRow{"EmptyHeightCapturesOneRow", {5, 2, 9, 2}, {0, 0, 40, 30}, {5, 2, 9, 3}, true},
        CaptureRow{"EmptyBothCapturesOnePixel", {7, 7, 7, 7}, {0, 0, 40, 30}, {7, 7, 8, 8}, true},
        CaptureRow{"ReversedIsNormalised", {10, 9, 3, 4}, {0, 0, 40, 30}, {3, 4, 10, 9}, true},
        CaptureRow{"LeftAndAboveAreCutAtZero", {-3, -4, 5, 6}, {0, 0, 40, 30}, {0, 0, 5, 6}, true},
        CaptureRow{"WhollyNegativeBecomesOnePixelAtZero", {-9, -9, -2, -2}, {0, 0, 40, 30}, {0, 0, 1, 1}, true},
        CaptureRow{"PastTheBoundsIsCutAtThem", {15, 12, 60, 50}, {0, 0, 20, 16}, {15, 12, 20, 16}, true},
        CaptureRow{"BeyondTheBoundsIsNotValid", {25, 2, 30, 5}, {0, 0, 20, 16}, {25, 2, 20, 5}, false},
        CaptureRow{"EmptyBoundsIsNotValid", {1, 1, 5, 5}, {0, 0, 0, 0}, {1, 1, 0, 0}, false}),
    [](const ::testing::TestParamInfo<CaptureRow>& info) { return std::string(info.param.Name); });

TEST(PlotBlendCaptureState, AnInvalidRectangleKeepsThePreviousCapture)
{
    TBitmap bitmap(20, 20);
    Fill(bitmap, {10, 20, 30});
    TBitmapCanvas canvas(bitmap);
    TPlotBlend blend(canvas, {2, 2, 6, 6});
    const TBitmap* first = blend.Background();
    ASSERT_TRUE(blend.Valid());

    blend.SetRectangle({30, 30, 40, 40});

    EXPECT_FALSE(blend.Valid());
    EXPECT_EQ(blend.Background(), first);
    ASSERT_NE(blend.Background(), nullptr);
    EXPECT_EQ(blend.Background()->Width(), 4);
}

TEST(PlotBlendCaptureState, AnUnboundCanvasCapturesNothingAndBlendsNothing)
{
    TBitmap bitmap(10, 10);
    TBitmapCanvas canvas(bitmap);
    canvas.SetCanvas(nullptr);

    TPlotBlend blend(canvas, {1, 1, 5, 5});
    blend.DoBlend(100);

    EXPECT_FALSE(blend.Valid());
    EXPECT_EQ(blend.Background(), nullptr);
}

TEST(PlotBlendCaptureState, ACanvasWithoutReadablePixelsIsNotValid)
{
    // A platform canvas without a device (a printer or window would have no
    // pixels to read back either): mixing over it must not paint anything.
    TBitmap bitmap(10, 10);
    TBitmapCanvas canvas(bitmap);
    TCanvas deviceless;
    canvas.SetCanvas(&deviceless);

    TPlotBlend blend(canvas, {1, 1, 5, 5});

    EXPECT_FALSE(blend.Valid());
}

// --- Mixing back --------------------------------------------------------------------------------------

// The drawing is (0, 0, 255) over a background of (200, 100, 50); see the
// mixing rule in BlendBitmaps.
struct MixRow {
    int Transparency;
    Rgb Expected;
};

class PlotBlendMix : public ::testing::TestWithParam<MixRow> {};

TEST_P(PlotBlendMix, MixesTheDrawingWithTheCapturedPixelsInsideTheRectangleOnly)
{
    const MixRow& row = GetParam();
    const Rgb background{200, 100, 50};
    const TRect rect{4, 3, 12, 9};
    TBitmap bitmap(16, 12);
    Fill(bitmap, background);
    TBitmapCanvas canvas(bitmap);
    TPlotBlend blend(canvas, rect);
    PaintRect(canvas, {0, 0, 16, 12}, RGB(0, 0, 255));

    blend.DoBlend(row.Transparency);

    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(PixelAt(bitmap, x, y), (Inside(rect, x, y) ? row.Expected : Rgb{0, 0, 255}))
                << "at " << x << ", " << y;
}

// Per channel: drawing + (background - drawing) * T div 100.
INSTANTIATE_TEST_SUITE_P(Transparencies, PlotBlendMix,
                         ::testing::Values(MixRow{0, {0, 0, 255}},      // the drawing as it is
                                           MixRow{30, {60, 30, 194}},  // blue 255 - 61 (61.5 truncated)
                                           MixRow{50, {100, 50, 153}}, // blue 255 - 102 (102.5 truncated)
                                           MixRow{100, {200, 100, 50}} // the background restored
                                           ));

TEST(PlotBlendMixRules, ZeroTransparencyLowersTheRedOfPureWhiteDrawing)
{
    TBitmap bitmap(6, 6);
    Fill(bitmap, {10, 10, 10});
    TBitmapCanvas canvas(bitmap);
    TPlotBlend blend(canvas, {0, 0, 6, 6});
    PaintRect(canvas, {0, 0, 3, 6}, clWhite);

    blend.DoBlend(0);

    EXPECT_EQ(PixelAt(bitmap, 1, 1), (Rgb{254, 255, 255}));
    EXPECT_EQ(PixelAt(bitmap, 4, 1), (Rgb{10, 10, 10}));
}

// A picture of the chart made as a bitmap is drawn with the metafiling
// flag set; it must still blend as the window does, since its target holds
// pixels (only a metafile target leaves blending out).
TEST(PlotBlendMixRules, APictureDrawnIntoABitmapStillBlends)
{
    TBitmap bitmap(8, 8);
    Fill(bitmap, {200, 100, 50});
    TBitmapCanvas canvas(bitmap);
    TPlotBlend blend(canvas, {0, 0, 8, 8});
    PaintRect(canvas, {0, 0, 8, 8}, RGB(0, 0, 255));
    canvas.SetMetafiling(true);
    ASSERT_TRUE(canvas.HoldsPixels());

    blend.DoBlend(100);

    EXPECT_EQ(PixelAt(bitmap, 3, 3), (Rgb{200, 100, 50}));
}

TEST(PlotBlendMixRules, TransparencyOutsideZeroToHundredIsRejected)
{
    TBitmap bitmap(8, 8);
    Fill(bitmap, {200, 100, 50});
    TBitmapCanvas canvas(bitmap);
    TPlotBlend blend(canvas, {0, 0, 8, 8});
    PaintRect(canvas, {0, 0, 8, 8}, RGB(0, 0, 255));

    EXPECT_THROW(blend.DoBlend(101), ERangeError);
    EXPECT_THROW(blend.DoBlend(-1), ERangeError);
    EXPECT_THROW(blend.SetTransparency(101), ERangeError);
    EXPECT_EQ(PixelAt(bitmap, 3, 3), (Rgb{0, 0, 255}));
}

TEST(PlotBlendMixRules, ABlendKeepsTheTransparencyItIsGiven)
{
    TBitmap bitmap(4, 4);
    TBitmapCanvas canvas(bitmap);
    TPlotBlend blend(canvas, {0, 0, 4, 4});
    EXPECT_EQ(blend.Transparency(), 0);

    blend.SetTransparency(35);

    EXPECT_EQ(blend.Transparency(), 35);
}

TEST(PlotBlendMixRules, AlignmentLostDuringBlendingIsPutBackWithTheAssignedFont)
{
    TBitmap bitmap(8, 8);
    Fill(bitmap, {10, 10, 10});
    TBitmapCanvas canvas(bitmap);
    TPlotFont font;
    font.SetSize(14);
    canvas.AssignFont(font);
    TPlotBlend blend(canvas, {0, 0, 8, 8});
    canvas.ReferenceCanvas()->Font().SetSize(30);
    // Before blending the device reports centred text, afterwards left.
    canvas.ScriptedAligns = {TA_CENTER, TA_LEFT};

    blend.DoBlend(50);

    ASSERT_EQ(canvas.AlignsSet, std::vector<unsigned>{TA_CENTER});
    EXPECT_EQ(canvas.ReferenceCanvas()->Font().Size(), 14);
}

TEST(PlotBlendMixRules, AnUnchangedAlignmentIsLeftAlone)
{
    TBitmap bitmap(8, 8);
    TBitmapCanvas canvas(bitmap);
    TPlotBlend blend(canvas, {0, 0, 8, 8});

    blend.DoBlend(50);

    EXPECT_TRUE(canvas.AlignsSet.empty());
}

TEST(PlotBlendNesting, EachBlendMixesWithItsOwnTransparency)
{
    // Outer blend over the whole picture at 50, inner over the left half at
    // 20: the inner one must not change how the outer one mixes.
    const Rgb background{200, 100, 0};
    TBitmap bitmap(10, 4);
    Fill(bitmap, background);
    TBitmapCanvas canvas(bitmap);

    auto outer = canvas.BeginBlending({0, 0, 10, 4}, 50);
    PaintRect(canvas, {0, 0, 10, 4}, RGB(0, 0, 200)); // (0, 0, 200) everywhere
    auto inner = canvas.BeginBlending({0, 0, 5, 4}, 20);
    PaintRect(canvas, {0, 0, 5, 4}, RGB(100, 200, 0)); // (100, 200, 0) on the left
    canvas.EndBlending(std::move(inner));
    canvas.EndBlending(std::move(outer));

    // Inner at 20 on the left: (100, 200, 0) + ((0, 0, 200) - it) * 20 div 100
    //   = (80, 160, 40); then outer at 50: + ((200, 100, 0) - it) * 50 div 100
    //   = (140, 130, 20).
    // Outer at 50 on the right: (0, 0, 200) + ((200, 100, 0) - it) * 50 div 100
    //   = (100, 50, 100).
    EXPECT_EQ(PixelAt(bitmap, 2, 2), (Rgb{140, 130, 20}));
    EXPECT_EQ(PixelAt(bitmap, 7, 2), (Rgb{100, 50, 100}));
}

TEST(PlotBlendNesting, BlendsDrivenDirectlyNestTheSameWay)
{
    const Rgb background{200, 100, 0};
    TBitmap bitmap(10, 4);
    Fill(bitmap, background);
    TBitmapCanvas canvas(bitmap);

    TPlotBlend outer(canvas, {0, 0, 10, 4});
    outer.SetTransparency(50);
    PaintRect(canvas, {0, 0, 10, 4}, RGB(0, 0, 200));
    TPlotBlend inner(canvas, {0, 0, 5, 4});
    inner.SetTransparency(20);
    PaintRect(canvas, {0, 0, 5, 4}, RGB(100, 200, 0));
    inner.DoBlend(inner.Transparency());
    outer.DoBlend(outer.Transparency());

    EXPECT_EQ(PixelAt(bitmap, 2, 2), (Rgb{140, 130, 20}));
    EXPECT_EQ(PixelAt(bitmap, 7, 2), (Rgb{100, 50, 100}));
}

// --- Blending two bitmaps ----------------------------------------------------------------------------

TEST(BlendBitmaps, MixesTheSourceIntoTheDestinationAtThePoint)
{
    TBitmap source(2, 2);
    SetPixelAt(source, 0, 0, {100, 200, 0});
    SetPixelAt(source, 1, 0, {255, 255, 255});
    SetPixelAt(source, 0, 1, {0, 0, 0});
    SetPixelAt(source, 1, 1, {40, 80, 120});
    TBitmap dest(3, 3);
    Fill(dest, {10, 20, 30});

    BlendBitmaps(source, dest, {1, 1}, 25.0);

    // p = 75: d + (s - d) * 75 div 100, truncated towards zero per channel.
    const Rgb untouched{10, 20, 30};
    EXPECT_EQ(PixelAt(dest, 0, 0), untouched);
    EXPECT_EQ(PixelAt(dest, 1, 0), untouched);
    EXPECT_EQ(PixelAt(dest, 2, 0), untouched);
    EXPECT_EQ(PixelAt(dest, 0, 1), untouched);
    EXPECT_EQ(PixelAt(dest, 0, 2), untouched);
    EXPECT_EQ(PixelAt(dest, 1, 1), (Rgb{77, 155, 8}));   // blue 30 - 22 (22.5 truncated)
    EXPECT_EQ(PixelAt(dest, 2, 1), (Rgb{193, 196, 198}));
    EXPECT_EQ(PixelAt(dest, 1, 2), (Rgb{3, 5, 8}));      // red 10 - 7 (7.5 truncated)
    EXPECT_EQ(PixelAt(dest, 2, 2), (Rgb{32, 65, 97}));
    EXPECT_EQ(source.PixelFormat(), TBitmap::pf24bit);
    EXPECT_EQ(dest.PixelFormat(), TBitmap::pf24bit);
}

TEST(BlendBitmaps, TransparencyIsRoundedHalfToEven)
{
    TBitmap source(1, 1);
    SetPixelAt(source, 0, 0, {100, 100, 100});
    TBitmap dest(1, 1);
    SetPixelAt(dest, 0, 0, {0, 0, 0});

    BlendBitmaps(source, dest, {0, 0}, 12.5); // round → 12, p = 88

    EXPECT_EQ(PixelAt(dest, 0, 0), (Rgb{88, 88, 88}));
}

TEST(BlendBitmaps, ANegativePointBlendsAtTheOrigin)
{
    TBitmap source(2, 2);
    Fill(source, {100, 100, 100});
    SetPixelAt(source, 0, 0, {200, 0, 0});
    TBitmap dest(4, 4);
    Fill(dest, {0, 0, 0});

    BlendBitmaps(source, dest, {-5, -5}, 0.0);

    EXPECT_EQ(PixelAt(dest, 0, 0), (Rgb{200, 0, 0}));
    EXPECT_EQ(PixelAt(dest, 1, 1), (Rgb{100, 100, 100}));
    EXPECT_EQ(PixelAt(dest, 2, 2), (Rgb{0, 0, 0}));
}

TEST(BlendBitmaps, ThePartOutsideTheDestinationIsLeftOut)
{
    TBitmap source(3, 3);
    Fill(source, {90, 90, 90});
    TBitmap dest(4, 4);
    Fill(dest, {0, 0, 0});

    BlendBitmaps(source, dest, {2, 3}, 0.0);

    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(PixelAt(dest, x, y), ((x >= 2 && y >= 3) ? Rgb{90, 90, 90} : Rgb{0, 0, 0})) << x << ", " << y;
}

TEST(BlendBitmaps, NoOverlapChangesNothing)
{
    TBitmap source(3, 3);
    Fill(source, {90, 90, 90});
    TBitmap dest(4, 4);
    Fill(dest, {1, 2, 3});

    BlendBitmaps(source, dest, {4, 0}, 0.0);
    BlendBitmaps(source, dest, {0, 4}, 0.0);

    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(PixelAt(dest, x, y), (Rgb{1, 2, 3}));
}

struct WhiteRow {
    const char* Name;
    Rgb Source;
    double Transparency;
    Rgb Expected;
};

class BlendBitmapsWhite : public ::testing::TestWithParam<WhiteRow> {};

TEST_P(BlendBitmapsWhite, PureWhiteDestinationFirstLosesOneStepOfRed)
{
    const WhiteRow& row = GetParam();
    TBitmap source(1, 1);
    SetPixelAt(source, 0, 0, row.Source);
    TBitmap dest(1, 1);
    SetPixelAt(dest, 0, 0, {255, 255, 255});

    BlendBitmaps(source, dest, {0, 0}, row.Transparency);

    EXPECT_EQ(PixelAt(dest, 0, 0), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BlendBitmapsWhite,
    ::testing::Values(WhiteRow{"KeptDestination", {0, 0, 0}, 100.0, {254, 255, 255}},
                      WhiteRow{"WhiteSourceCopied", {255, 255, 255}, 0.0, {255, 255, 255}},
                      WhiteRow{"HalfWayToBlack", {0, 0, 0}, 50.0, {127, 128, 128}}),
    [](const ::testing::TestParamInfo<WhiteRow>& info) { return std::string(info.param.Name); });

TEST(BlendBitmaps, AlmostWhiteIsNotTouchedByTheWhiteRule)
{
    TBitmap source(1, 1);
    SetPixelAt(source, 0, 0, {0, 0, 0});
    TBitmap dest(1, 1);
    SetPixelAt(dest, 0, 0, {255, 255, 254});

    BlendBitmaps(source, dest, {0, 0}, 100.0);

    EXPECT_EQ(PixelAt(dest, 0, 0), (Rgb{255, 255, 254}));
}

TEST(BlendBitmaps, TransparencyOutsideZeroToHundredIsRejectedBeforeAnyChange)
{
    TBitmap source(1, 1);
    SetPixelAt(source, 0, 0, {0, 0, 0});
    TBitmap dest(1, 1);
    SetPixelAt(dest, 0, 0, {50, 50, 50});

    EXPECT_THROW(BlendBitmaps(source, dest, {0, 0}, 100.6), ERangeError);
    EXPECT_THROW(BlendBitmaps(source, dest, {0, 0}, -0.6), ERangeError);
    EXPECT_THROW(BlendBitmaps(source, dest, {0, 0}, std::nan("")), ERangeError);
    EXPECT_EQ(PixelAt(dest, 0, 0), (Rgb{50, 50, 50}));
    EXPECT_EQ(dest.PixelFormat(), TBitmap::pfDevice);
}

TEST(BlendBitmaps, NearTheLimitsRoundsIntoRange)
{
    TBitmap source(1, 1);
    SetPixelAt(source, 0, 0, {0, 0, 0});
    TBitmap dest(1, 1);
    SetPixelAt(dest, 0, 0, {50, 50, 50});

    BlendBitmaps(source, dest, {0, 0}, 100.4);

    EXPECT_EQ(PixelAt(dest, 0, 0), (Rgb{50, 50, 50}));
}

// --- Resampling -------------------------------------------------------------------------------------

struct TooSmallRow {
    const char* Name;
    int SourceWidth, SourceHeight, DestWidth, DestHeight;
    const char* Message;
};

class SmoothStretchTooSmall : public ::testing::TestWithParam<TooSmallRow> {};

TEST_P(SmoothStretchTooSmall, RaisesTheExactMessage)
{
    const TooSmallRow& row = GetParam();
    TBitmap source(row.SourceWidth, row.SourceHeight);
    TBitmap dest(row.DestWidth, row.DestHeight);
    for (const bool fast : {false, true}) {
        try {
            SmoothStretchWithOption(&source, &dest, fast);
            ADD_FAILURE() << "no error";
        } catch (const ESmoothStretchError& e) {
            EXPECT_EQ(e.Message(), row.Message);
            EXPECT_NE(dynamic_cast<const Exception*>(&e), nullptr);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SmoothStretchTooSmall,
    ::testing::Values(
        TooSmallRow{"SourceOneWide", 1, 10, 5, 5, "SmoothStretch: Source bitmap too small"},
        TooSmallRow{"SourceOneHigh", 10, 1, 5, 5, "SmoothStretch: Source bitmap too small"},
        TooSmallRow{"DestOneWide", 10, 10, 1, 5, "SmoothStretch: Destination bitmap too small"},
        TooSmallRow{"DestOneHigh", 10, 10, 5, 1, "SmoothStretch: Destination bitmap too small"},
        TooSmallRow{"DestEmpty", 10, 10, 0, 0, "SmoothStretch: Destination bitmap too small"},
        TooSmallRow{"SourceIsTestedFirst", 1, 10, 1, 1, "SmoothStretch: Source bitmap too small"}),
    [](const ::testing::TestParamInfo<TooSmallRow>& info) { return std::string(info.param.Name); });

TEST(SmoothStretch, AMissingBitmapDoesNothing)
{
    TBitmap bitmap(4, 4);
    Fill(bitmap, {1, 2, 3});

    SmoothStretch(nullptr, &bitmap);
    SmoothStretch(&bitmap, nullptr);

    EXPECT_EQ(PixelAt(bitmap, 2, 2), (Rgb{1, 2, 3}));
    EXPECT_EQ(bitmap.PixelFormat(), TBitmap::pfDevice);
}

struct SizeRow {
    int SourceWidth, SourceHeight, DestWidth, DestHeight;
    bool Fast;
};

class SmoothStretchUniform : public ::testing::TestWithParam<SizeRow> {};

TEST_P(SmoothStretchUniform, AUniformGreyStaysUniform)
{
    const SizeRow& row = GetParam();
    TBitmap source(row.SourceWidth, row.SourceHeight);
    Fill(source, {128, 128, 128});
    TBitmap dest(row.DestWidth, row.DestHeight);
    Fill(dest, {0, 0, 0});

    SmoothStretchWithOption(&source, &dest, row.Fast);

    const Rgb first = PixelAt(dest, 0, 0);
    EXPECT_EQ(first, (Rgb{128, 128, 128}));
    for (int y = 0; y < dest.Height(); ++y)
        for (int x = 0; x < dest.Width(); ++x)
            ASSERT_EQ(PixelAt(dest, x, y), first) << "at " << x << ", " << y;
    EXPECT_EQ(dest.PixelFormat(), TBitmap::pf24bit);
    EXPECT_EQ(source.PixelFormat(), TBitmap::pf24bit);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmoothStretchUniform,
                         ::testing::Values(SizeRow{5, 4, 13, 11, false}, SizeRow{20, 17, 6, 5, false},
                                           SizeRow{7, 7, 7, 7, false}, SizeRow{5, 4, 13, 11, true},
                                           SizeRow{20, 17, 6, 5, true}, SizeRow{2, 2, 40, 3, false}));

class SmoothStretchWeights : public ::testing::TestWithParam<SizeRow> {};

TEST_P(SmoothStretchWeights, TheWeightsOfEachListSumTo1024)
{
    const SizeRow& row = GetParam();
    const std::vector<TContributorList> lists =
        SmoothStretchContributors(row.SourceWidth, row.DestWidth, row.Fast);
    ASSERT_EQ(static_cast<int>(lists.size()), row.DestWidth);
    for (size_t i = 0; i < lists.size(); ++i) {
        int sum = 0;
        for (const TContributor& c : lists[i]) {
            sum += c.Weight;
            ASSERT_GE(c.Pixel, 0);
            ASSERT_LT(c.Pixel, row.SourceWidth);
        }
        EXPECT_EQ(sum, 1024) << "list " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmoothStretchWeights,
                         ::testing::Values(SizeRow{5, 0, 13, 0, false}, SizeRow{20, 0, 6, 0, false},
                                           SizeRow{100, 0, 7, 0, false}, SizeRow{3, 0, 50, 0, false},
                                           SizeRow{5, 0, 13, 0, true}, SizeRow{20, 0, 6, 0, true},
                                           SizeRow{100, 0, 7, 0, true}, SizeRow{9, 0, 9, 0, false}));

TEST(SmoothStretchWeightsTable, EnlargingTwoIntoThreeWithTheTriangleSplitsTheMiddle)
{
    const std::vector<TContributorList> lists = SmoothStretchContributors(2, 3, true);

    ASSERT_EQ(lists.size(), 3u);
    EXPECT_EQ(lists[0], (TContributorList{{0, 1024}}));
    EXPECT_EQ(lists[1], (TContributorList{{0, 512}, {1, 512}}));
    EXPECT_EQ(lists[2], (TContributorList{{1, 1024}}));
}

TEST(SmoothStretchWeightsTable, IndexesBeyondTheEdgesAreReflected)
{
    // Shrinking 5 into 3 with the triangle: scale 0.5, each list spans two
    // source pixels on either side. Left of the edge -1 reads pixel 1; right
    // of it 5 reads 2 × 5 − 1 − 5 = 4, the edge pixel itself.
    const std::vector<TContributorList> lists = SmoothStretchContributors(5, 3, true);

    ASSERT_EQ(lists.size(), 3u);
    EXPECT_EQ(lists[0], (TContributorList{{1, 256}, {0, 512}, {1, 256}}));
    EXPECT_EQ(lists[1], (TContributorList{{1, 256}, {2, 512}, {3, 256}}));
    EXPECT_EQ(lists[2], (TContributorList{{3, 256}, {4, 512}, {4, 256}}));
}

TEST(SmoothStretchWeightsTable, TooFewPixelsAreRejected)
{
    EXPECT_THROW(SmoothStretchContributors(1, 5, false), ESmoothStretchError);
    EXPECT_THROW(SmoothStretchContributors(5, 1, true), ESmoothStretchError);
}

TEST(SmoothStretch, TheTriangleFilterInterpolatesLinearly)
{
    TBitmap source(2, 2);
    SetPixelAt(source, 0, 0, {0, 0, 0});
    SetPixelAt(source, 1, 0, {255, 100, 10});
    SetPixelAt(source, 0, 1, {100, 0, 0});
    SetPixelAt(source, 1, 1, {0, 200, 50});
    TBitmap dest(3, 3);

    SmoothStretchWithOption(&source, &dest, true);

    // Columns: 0, (a + b) * 512 >> 10, b; rows the same over the columns.
    EXPECT_EQ(PixelAt(dest, 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(dest, 1, 0), (Rgb{127, 50, 5}));
    EXPECT_EQ(PixelAt(dest, 2, 0), (Rgb{255, 100, 10}));
    EXPECT_EQ(PixelAt(dest, 0, 1), (Rgb{50, 0, 0}));
    EXPECT_EQ(PixelAt(dest, 1, 1), (Rgb{88, 75, 15})); // (127 + 50) / 2, (50 + 100) / 2, (5 + 25) / 2
    EXPECT_EQ(PixelAt(dest, 2, 1), (Rgb{127, 150, 30}));
    EXPECT_EQ(PixelAt(dest, 0, 2), (Rgb{100, 0, 0}));
    EXPECT_EQ(PixelAt(dest, 1, 2), (Rgb{50, 100, 25}));
    EXPECT_EQ(PixelAt(dest, 2, 2), (Rgb{0, 200, 50}));
}

TEST(SmoothStretch, ABitmapStretchedOntoItselfIsUnchanged)
{
    TBitmap bitmap(6, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            SetPixelAt(bitmap, x, y, {x * 40, y * 50, (x * y * 9) % 256});
    TBitmap copy;
    copy.Assign(&bitmap);

    SmoothStretch(&bitmap, &bitmap);

    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(PixelAt(bitmap, x, y), PixelAt(copy, x, y)) << "at " << x << ", " << y;
}

// A straightforward floating-point resampler with the same rules: per
// destination pixel, a horizontal then a vertical filter over reflected
// source indexes, the samples of each filter position divided by their sum,
// each pass truncated and limited to 0 .. 255.
double ReferenceLanczos3(double x)
{
    if (x == 0.0)
        return 1.0;
    if (std::fabs(x) >= 3.0)
        return 0.0;
    const double a = std::numbers::pi * x;
    const double b = a / 3.0;
    return std::sin(a) / a * (std::sin(b) / b);
}

std::vector<std::pair<int, double>> ReferenceWeights(int sourceSize, int destSize, int index)
{
    const double scale = double(destSize - 1) / double(sourceSize - 1);
    const double center = index / scale;
    const double stretch = scale < 1.0 ? scale : 1.0;
    const double reach = 3.0 / stretch;
    std::vector<std::pair<int, double>> weights;
    double total = 0.0;
    for (int j = int(std::floor(center - reach)); j <= int(std::ceil(center + reach)); ++j) {
        const double f = ReferenceLanczos3((center - j) * stretch) * stretch;
        int n = j < 0 ? -j : (j >= sourceSize ? 2 * sourceSize - 1 - j : j);
        n = std::clamp(n, 0, sourceSize - 1);
        weights.emplace_back(n, f);
        total += f;
    }
    for (auto& weight : weights)
        weight.second /= total;
    return weights;
}

// Truncated, forgiving the noise of floating-point sums (20 × weights that
// add up to one may come out as 19.999999).
int ReferenceChannel(double value)
{
    return std::clamp(int(std::floor(value + 1e-9)), 0, 255);
}

std::vector<Rgb> ReferenceStretch(const std::vector<Rgb>& source, int sourceWidth, int sourceHeight, int destWidth,
                                  int destHeight)
{
    std::vector<Rgb> work(size_t(destWidth) * sourceHeight);
    for (int y = 0; y < sourceHeight; ++y)
        for (int x = 0; x < destWidth; ++x) {
            double r = 0, g = 0, b = 0;
            for (const auto& [n, w] : ReferenceWeights(sourceWidth, destWidth, x)) {
                const Rgb& s = source[size_t(y) * sourceWidth + n];
                r += w * s.R;
                g += w * s.G;
                b += w * s.B;
            }
            work[size_t(y) * destWidth + x] = {ReferenceChannel(r), ReferenceChannel(g), ReferenceChannel(b)};
        }
    std::vector<Rgb> dest(size_t(destWidth) * destHeight);
    for (int y = 0; y < destHeight; ++y) {
        const auto weights = ReferenceWeights(sourceHeight, destHeight, y);
        for (int x = 0; x < destWidth; ++x) {
            double r = 0, g = 0, b = 0;
            for (const auto& [n, w] : weights) {
                const Rgb& s = work[size_t(n) * destWidth + x];
                r += w * s.R;
                g += w * s.G;
                b += w * s.B;
            }
            dest[size_t(y) * destWidth + x] = {ReferenceChannel(r), ReferenceChannel(g), ReferenceChannel(b)};
        }
    }
    return dest;
}

class SmoothStretchLanczos : public ::testing::TestWithParam<SizeRow> {};

TEST_P(SmoothStretchLanczos, AgreesWithAFloatingPointResamplerWithinOne)
{
    const SizeRow& row = GetParam();
    std::vector<Rgb> pixels;
    TBitmap source(row.SourceWidth, row.SourceHeight);
    for (int y = 0; y < row.SourceHeight; ++y)
        for (int x = 0; x < row.SourceWidth; ++x) {
            // A gradient with a bright stripe, so the negative lobes show.
            const Rgb c{x * 255 / (row.SourceWidth - 1), y * 255 / (row.SourceHeight - 1),
                        x == row.SourceWidth / 2 ? 250 : 20};
            SetPixelAt(source, x, y, c);
            pixels.push_back(c);
        }
    TBitmap dest(row.DestWidth, row.DestHeight);

    SmoothStretch(&source, &dest);

    const std::vector<Rgb> expected =
        ReferenceStretch(pixels, row.SourceWidth, row.SourceHeight, row.DestWidth, row.DestHeight);
    for (int y = 0; y < row.DestHeight; ++y)
        for (int x = 0; x < row.DestWidth; ++x) {
            const Rgb actual = PixelAt(dest, x, y);
            const Rgb& want = expected[size_t(y) * row.DestWidth + x];
            ASSERT_NEAR(actual.R, want.R, 1) << "red at " << x << ", " << y;
            ASSERT_NEAR(actual.G, want.G, 1) << "green at " << x << ", " << y;
            ASSERT_NEAR(actual.B, want.B, 1) << "blue at " << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmoothStretchLanczos,
                         ::testing::Values(SizeRow{5, 4, 17, 13, false},  // enlargement
                                           SizeRow{23, 19, 7, 6, false},  // reduction
                                           SizeRow{6, 20, 15, 5, false})); // both at once

TEST(SmoothStretchLanczosStep, OvershootAtAHardEdgeIsHeldInsideTheChannelRange)
{
    // Black to white (and the reverse in green): the lobes overshoot past 255
    // and below 0 next to the edge; those sums must end at 255 and 0.
    std::vector<Rgb> pixels;
    TBitmap source(8, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x) {
            const Rgb c{x < 4 ? 0 : 255, x < 4 ? 255 : 0, 128};
            SetPixelAt(source, x, y, c);
            pixels.push_back(c);
        }
    TBitmap dest(22, 4);

    SmoothStretch(&source, &dest);

    // The case does overshoot: some column sums of the red step leave
    // 0 .. 255 × 1024.
    bool over = false, under = false;
    for (const TContributorList& list : SmoothStretchContributors(8, 22, false)) {
        int sum = 0;
        for (const TContributor& c : list)
            sum += c.Weight * (c.Pixel < 4 ? 0 : 255);
        over = over || sum >= 256 * 1024;
        under = under || sum < 0;
    }
    EXPECT_TRUE(over);
    EXPECT_TRUE(under);
    const std::vector<Rgb> expected = ReferenceStretch(pixels, 8, 3, 22, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 22; ++x) {
            const Rgb actual = PixelAt(dest, x, y);
            const Rgb& want = expected[size_t(y) * 22 + x];
            ASSERT_NEAR(actual.R, want.R, 1) << "red at " << x << ", " << y;
            ASSERT_NEAR(actual.G, want.G, 1) << "green at " << x << ", " << y;
            ASSERT_EQ(actual.B, 128) << "blue at " << x << ", " << y;
        }
    EXPECT_EQ(PixelAt(dest, 0, 0), (Rgb{0, 255, 128}));
    EXPECT_EQ(PixelAt(dest, 21, 3), (Rgb{255, 0, 128}));
}

// --- Bindings ------------------------------------------------------------------------------------

// Keeps the process-wide state the start-up touches and puts it back.
class PlotBlendBindings : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFontName = DefaultFontName();
        FFontSize = DefaultFontSize();
        FNameText = PlotMsg_DefaultFontName;
        FSizeText = PlotMsg_DefaultFontSize;
        FGeometric = GeometricPens();
        FinalizePlotBlend();
    }
    void TearDown() override
    {
        PlotMsg_DefaultFontName = FNameText;
        PlotMsg_DefaultFontSize = FSizeText;
        FinalizePlotBlend();
        InitializePlotBlend();
        SetDefaultFontName(FFontName);
        SetDefaultFontSize(FFontSize);
        SetGeometricPens(FGeometric);
    }

private:
    QString FFontName;
    int FFontSize = 0;
    QString FNameText;
    QString FSizeText;
    bool FGeometric = true;
};

TEST_F(PlotBlendBindings, StartUpBindsWhatThisPlatformOffers)
{
    SetGeometricPens(false);

    InitializePlotBlend();

    EXPECT_TRUE(GeometricPens());
    EXPECT_FALSE(AlphaBlendingAvailable());
    EXPECT_TRUE(SetDCBrushColorAvailable());
    EXPECT_FALSE(SetDCPenColorAvailable());
}

TEST_F(PlotBlendBindings, FinalisationWithdrawsTheBindings)
{
    InitializePlotBlend();

    FinalizePlotBlend();

    EXPECT_FALSE(AlphaBlendingAvailable());
    EXPECT_FALSE(SetDCBrushColorAvailable());
    EXPECT_FALSE(SetDCPenColorAvailable());
    EXPECT_TRUE(DefaultFontName().isEmpty());
}

TEST_F(PlotBlendBindings, StartUpRunsOnceUntilFinalised)
{
    PlotMsg_DefaultFontName = QStringLiteral("Courier New");
    PlotMsg_DefaultFontSize = QStringLiteral("10");
    InitializePlotBlend();
    SetDefaultFontName(QStringLiteral("Times New Roman"));

    InitializePlotBlend(); // already started: changes nothing

    EXPECT_EQ(DefaultFontName(), QStringLiteral("Times New Roman"));
    FinalizePlotBlend();
    FinalizePlotBlend(); // already finalised: changes nothing
    EXPECT_TRUE(DefaultFontName().isEmpty());
    InitializePlotBlend();
    EXPECT_TRUE(SetDCBrushColorAvailable());
}

TEST_F(PlotBlendBindings, StartUpTakesTheDefaultFontFromTheMessageTexts)
{
    if (QLocale::system().language() == QLocale::Japanese)
        GTEST_SKIP() << "the desktop's interface font replaces the texts on this system";
    PlotMsg_DefaultFontName = QStringLiteral("Courier New");
    PlotMsg_DefaultFontSize = QStringLiteral("10");

    InitializePlotBlend();

    EXPECT_EQ(DefaultFontName(), QStringLiteral("Courier New"));
    EXPECT_EQ(DefaultFontSize(), 10);
}

TEST_F(PlotBlendBindings, StartUpKeepsTheDefaultFontWhileTheTextsAreNotLoaded)
{
    SetDefaultFontName(QStringLiteral("Arial"));
    SetDefaultFontSize(8);
    PlotMsg_DefaultFontName.clear();
    PlotMsg_DefaultFontSize.clear();

    InitializePlotBlend();

    EXPECT_EQ(DefaultFontName(), QStringLiteral("Arial"));
    EXPECT_EQ(DefaultFontSize(), 8);
}

// --- Numeric helpers -----------------------------------------------------------------------------

struct MoveRow {
    const char* Name;
    TPoint Toward;
    TPoint From;
    int Distance;
    TPoint Expected;
};

class MovePointTowardsRows : public ::testing::TestWithParam<MoveRow> {};

TEST_P(MovePointTowardsRows, MovesAlongTheLineTowardsTheTarget)
{
    const MoveRow& row = GetParam();
    EXPECT_EQ(MovePointTowards(row.Toward, row.From, row.Distance), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MovePointTowardsRows,
    ::testing::Values(MoveRow{"Right", {10, 0}, {0, 0}, 3, {3, 0}},
                      MoveRow{"Down", {0, 10}, {0, 0}, 3, {0, 3}},
                      MoveRow{"Up", {0, -10}, {0, 0}, 3, {0, -3}},
                      MoveRow{"Left", {-10, 0}, {0, 0}, 3, {-3, 0}},
                      MoveRow{"SamePointMovesUp", {4, 4}, {4, 4}, 2, {4, 2}},
                      MoveRow{"Diagonal", {10, 10}, {0, 0}, 5, {4, 4}}, // 5 × cos 45° = 3.54
                      MoveRow{"FromElsewhere", {20, 5}, {8, 5}, 6, {14, 5}},
                      MoveRow{"PastTheTarget", {2, 0}, {0, 0}, 5, {5, 0}},
                      MoveRow{"NegativeMovesAway", {10, 0}, {0, 0}, -3, {-3, 0}},
                      MoveRow{"HalfRoundsToEven", {0, 0}, {3, 4}, 5, {0, 0}},
                      MoveRow{"HalfStepsRoundToEven", {6, 8}, {0, 0}, 5, {3, 4}}),
    [](const ::testing::TestParamInfo<MoveRow>& info) { return std::string(info.param.Name); });

TEST(MovePointTowards, ACoordinateBeyond32BitsIsRejected)
{
    EXPECT_THROW(MovePointTowards({0, 0}, {0, INT_MAX}, -1), ERangeError);
    EXPECT_THROW(MovePointTowards({INT_MAX, 0}, {INT_MAX - 1, 0}, 5), ERangeError);
}

TEST(Hypotenuse, IsTheLengthOfTheDiagonal)
{
    EXPECT_DOUBLE_EQ(Hypotenuse(3.0, 4.0), 5.0);
    EXPECT_DOUBLE_EQ(Hypotenuse(-5.0, 12.0), 13.0);
    EXPECT_DOUBLE_EQ(Hypotenuse(0.0, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(Hypotenuse(0.0, -2.5), 2.5);
}

TEST(Swap, ExchangesIntegersAndReals)
{
    int a = 3, b = -7;
    SwapInteger(a, b);
    EXPECT_EQ(a, -7);
    EXPECT_EQ(b, 3);
    double x = 1.5, y = -0.25;
    SwapDouble(x, y);
    EXPECT_EQ(x, -0.25);
    EXPECT_EQ(y, 1.5);
}

} // namespace
} // namespace lp
