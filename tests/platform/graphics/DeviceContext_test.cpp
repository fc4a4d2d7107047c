#include "platform/graphics/DeviceContext.h"

#include "platform/graphics/PainterDC.h"
#include "platform/graphics/RecordingDC.h"
#include "PixelTestUtil.h"

#include <QtGui/QFontInfo>
#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::Rows;
using test::Surface;

// --- Lines and shapes ----------------------------------------------------------------

TEST(DeviceRules, LinesDoNotDrawTheirLastPixel)
{
    Surface s(8, 5);
    s.dc->MoveTo(1, 1);
    s.dc->LineTo(6, 1);
    s.dc->LineTo(6, 4);
    // The second line starts on the pixel the first one left out.
    EXPECT_EQ(s.Art(), Rows({"........",
                             ".######.",
                             "......#.",
                             "......#.",
                             "........"}));
    EXPECT_EQ(s.dc->CurrentPosition(), (TPoint{6, 4}));
}

TEST(DeviceRules, LinesRunningBackwardsAlsoLeaveOutTheirEnd)
{
    // Regression: lines whose x or y decreased were drawn with their end
    // pixel and without their start.
    struct Row {
        TPoint from, to;
    };
    for (const Row row : {Row{{10, 2}, {2, 2}}, Row{{2, 10}, {2, 2}}, Row{{10, 10}, {2, 2}}, Row{{10, 2}, {2, 10}},
                          Row{{10, 5}, {2, 2}}, Row{{5, 10}, {2, 2}}}) {
        Surface s(14, 14);
        s.dc->MoveTo(row.from.X, row.from.Y);
        s.dc->LineTo(row.to.X, row.to.Y);
        EXPECT_EQ(s.At(row.from.X, row.from.Y), clBlack) << row.from.X << "," << row.from.Y;
        EXPECT_EQ(s.At(row.to.X, row.to.Y), clWhite) << row.to.X << "," << row.to.Y;
        EXPECT_EQ(s.Count(clBlack), 8);
    }
}

TEST(DevicePaths, AFigureGoesOnAfterAnArc)
{
    // Regression: a line after ArcTo started a new figure, so a closed shape
    // of arcs and lines filled wrongly.
    TRecordingDC dc;
    dc.BeginPath();
    dc.MoveTo(10, 0);
    dc.ArcTo(0, 0, 21, 21, 21, 10, 0, 10);
    const TPoint end = dc.CurrentPosition();
    dc.LineTo(end.X, 30);
    dc.EndPath();
    int moves = 0;
    for (int i = 0; i < dc.CurrentPath().elementCount(); ++i)
        moves += dc.CurrentPath().elementAt(i).isMoveTo();
    EXPECT_EQ(moves, 1);
}

TEST(DeviceRules, PolylineKeepsTheCurrentPositionAndPolylineToMovesIt)
{
    Surface s(8, 4);
    const TPoint points[] = {{1, 1}, {5, 1}, {5, 3}};
    s.dc->MoveTo(7, 3);
    s.dc->Polyline(points, 3);
    EXPECT_EQ(s.dc->CurrentPosition(), (TPoint{7, 3}));
    s.dc->MoveTo(0, 0);
    s.dc->PolylineTo(points + 1, 1);
    EXPECT_EQ(s.dc->CurrentPosition(), (TPoint{5, 1}));
}

TEST(DeviceRules, ShapesExcludeTheirRightAndBottomEdges)
{
    Surface s(8, 6);
    s.dc->SelectBrush(NullBrush());
    s.dc->Rectangle(1, 1, 6, 5);
    EXPECT_EQ(s.Art(), Rows({"........",
                             ".#####..",
                             ".#...#..",
                             ".#...#..",
                             ".#####..",
                             "........"}));
    // Corners given the other way round make the same rectangle.
    Surface t(8, 6);
    t.dc->SelectBrush(NullBrush());
    t.dc->Rectangle(6, 5, 1, 1);
    EXPECT_EQ(t.Art(), s.Art());
}

TEST(DeviceRules, ANullPenMakesFilledShapesOnePixelSmaller)
{
    Surface s(8, 6);
    s.dc->SelectPen(CreatePen(PS_NULL, 1, clBlack));
    s.dc->SelectBrush(CreateSolidBrush(clBlack));
    s.dc->Rectangle(1, 1, 6, 5);
    EXPECT_EQ(s.Art(), Rows({"........",
                             ".####...",
                             ".####...",
                             ".####...",
                             "........",
                             "........"}));
}

TEST(DeviceRules, FillRectExcludesRightAndBottom)
{
    Surface s(6, 4);
    s.dc->FillRect({1, 1, 4, 3}, CreateSolidBrush(clBlack));
    EXPECT_EQ(s.Art(), Rows({"......",
                             ".###..",
                             ".###..",
                             "......"}));
    s.dc->FillRect({5, 3, 2, 0}, CreateSolidBrush(clBlack)); // reversed: normalised
    EXPECT_EQ(s.Count(clBlack), 6 + 9 - 4);
}

TEST(DeviceRules, EllipseAndRoundRectStayInsideTheirBox)
{
    for (int kind = 0; kind < 2; ++kind) {
        Surface s(20, 14);
        s.dc->SelectBrush(CreateSolidBrush(clBlack));
        if (kind == 0)
            s.dc->Ellipse(2, 3, 17, 12);
        else
            s.dc->RoundRect(2, 3, 17, 12, 6, 6);
        EXPECT_EQ(s.Inked(), QRect(QPoint(2, 3), QPoint(16, 11))) << "kind " << kind;
    }
}

TEST(DeviceRules, InsideFramePensStayInsideTheBox)
{
    Surface s(20, 20);
    s.dc->SelectPen(CreatePen(PS_INSIDEFRAME, 4, clBlack));
    s.dc->SelectBrush(NullBrush());
    s.dc->Rectangle(2, 2, 18, 18);
    EXPECT_EQ(s.Inked(), QRect(QPoint(2, 2), QPoint(17, 17)));
}

// --- Pens ---------------------------------------------------------------------------------

TEST(DevicePens, PlainPenCreationRules)
{
    const TLogPen thin = CreatePen(PS_DASH, 1, clRed);
    EXPECT_FALSE(thin.Geometric);
    EXPECT_EQ(thin.Style, PS_DASH);
    const TLogPen wide = CreatePen(PS_DASH, 3, clRed);
    EXPECT_TRUE(wide.Geometric);
    EXPECT_EQ(wide.Style, PS_SOLID); // wide plain pens draw their dashes solid
    EXPECT_EQ(wide.EndCap, PS_ENDCAP_ROUND);
    EXPECT_EQ(CreatePen(PS_INSIDEFRAME, 3, clRed).Style, PS_INSIDEFRAME);
    const TLogPen extended = ExtCreatePen(PS_DOT | PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 3, clBlue);
    EXPECT_EQ(extended.Style, PS_DOT);
    EXPECT_EQ(extended.EndCap, PS_ENDCAP_SQUARE);
    EXPECT_EQ(extended.Join, PS_JOIN_BEVEL);
    EXPECT_EQ(ExtCreatePen(PS_SOLID, 5, clBlue).Width, 1); // cosmetic pens are one pixel
}

TEST(DevicePens, CosmeticStylesAndTheirGaps)
{
    struct Row {
        int style;
        int bkMode;
        const char* expected;
    };
    const Row rows[] = {
        {PS_DOT, TRANSPARENT, "###...###...###...###..."},
        {PS_DOT, OPAQUE, "###xxx###xxx###xxx###xxx"},
        {PS_ALTERNATE, TRANSPARENT, "#.#.#.#.#.#.#.#.#.#.#.#."},
        {PS_DASH, TRANSPARENT, "##################......"},
        {PS_DASHDOT, TRANSPARENT, "#########......###......"},
    };
    for (const Row& row : rows) {
        Surface s(24, 1);
        s.dc->SelectPen(row.style == PS_ALTERNATE ? ExtCreatePen(PS_ALTERNATE, 1, clBlack)
                                                  : CreatePen(row.style, 1, clBlack));
        s.dc->SetBkMode(row.bkMode);
        s.dc->SetBkColor(clGray);
        s.dc->MoveTo(0, 0);
        s.dc->LineTo(24, 0);
        EXPECT_EQ(s.Art(), std::string(row.expected) + "\n") << "style " << row.style << " mode " << row.bkMode;
    }
}

TEST(DevicePens, GeometricPensHaveWidthCapsAndJoins)
{
    Surface flat(12, 7);
    flat.dc->SelectPen(ExtCreatePen(PS_SOLID | PS_GEOMETRIC | PS_ENDCAP_FLAT, 3, clBlack));
    flat.dc->MoveTo(3, 3);
    flat.dc->LineTo(9, 3);
    EXPECT_EQ(flat.Inked(), QRect(QPoint(3, 2), QPoint(8, 4)));

    Surface square(12, 7);
    square.dc->SelectPen(ExtCreatePen(PS_SOLID | PS_GEOMETRIC | PS_ENDCAP_SQUARE, 3, clBlack));
    square.dc->MoveTo(3, 3);
    square.dc->LineTo(9, 3);
    EXPECT_EQ(square.Inked().width(), 6 + 3); // half the width past each end
}

TEST(DevicePens, UserStyleDashesDoNotScaleWithWidth)
{
    for (int width : {1, 3}) {
        Surface s(26, 7);
        const int flags = PS_USERSTYLE | (width > 1 ? PS_GEOMETRIC | PS_ENDCAP_FLAT : 0);
        s.dc->SelectPen(ExtCreatePen(flags, width, clBlack, {4, 4}));
        s.dc->MoveTo(0, 3);
        s.dc->LineTo(24, 3);
        s.dc->Finish();
        std::string row;
        for (int x = 0; x < 24; ++x)
            row += (s.image.pixel(x, 3) & 0xFFFFFF) == 0 ? '#' : '.';
        EXPECT_EQ(row, "####....####....####....") << "width " << width;
    }
}

// --- Brushes -------------------------------------------------------------------------------

TEST(DeviceBrushes, HatchesHaveTheirOrientation)
{
    struct Row {
        int hatch;
        QPoint set1, set2, clear;
    };
    const Row rows[] = {
        {HS_HORIZONTAL, {0, 0}, {7, 0}, {0, 1}},
        {HS_VERTICAL, {0, 0}, {0, 7}, {1, 0}},
        {HS_FDIAGONAL, {0, 0}, {3, 3}, {7, 0}},  // top-left to bottom-right
        {HS_BDIAGONAL, {7, 0}, {4, 3}, {0, 0}},  // bottom-left to top-right
        {HS_CROSS, {0, 5}, {5, 0}, {1, 1}},
        {HS_DIAGCROSS, {0, 0}, {7, 0}, {1, 0}},
    };
    for (const Row& row : rows) {
        Surface s(8, 8);
        s.dc->SetBkMode(TRANSPARENT);
        s.dc->FillRect({0, 0, 8, 8}, CreateHatchBrush(row.hatch, clBlack));
        EXPECT_EQ(s.At(row.set1.x(), row.set1.y()), clBlack) << "hatch " << row.hatch;
        EXPECT_EQ(s.At(row.set2.x(), row.set2.y()), clBlack) << "hatch " << row.hatch;
        EXPECT_EQ(s.At(row.clear.x(), row.clear.y()), clWhite) << "hatch " << row.hatch;
    }
}

TEST(DeviceBrushes, HatchGapsFollowTheBackgroundModeAndColour)
{
    Surface opaque(8, 8);
    opaque.dc->SetBkColor(clYellow);
    opaque.dc->SetBkMode(OPAQUE);
    opaque.dc->FillRect({0, 0, 8, 8}, CreateHatchBrush(HS_HORIZONTAL, clBlack));
    EXPECT_EQ(opaque.Count(clYellow), 56);
    EXPECT_EQ(opaque.Count(clBlack), 8);

    Surface clear(8, 8);
    clear.dc->SetBkColor(clYellow);
    clear.dc->SetBkMode(TRANSPARENT);
    clear.dc->FillRect({0, 0, 8, 8}, CreateHatchBrush(HS_HORIZONTAL, clBlack));
    EXPECT_EQ(clear.Count(clWhite), 56);
}

TEST(DeviceBrushes, MonochromePatternsTakeTextAndBackgroundColours)
{
    QImage pattern(8, 8, QImage::Format_RGB32);
    pattern.fill(Qt::white);
    for (int i = 0; i < 8; ++i)
        pattern.setPixel(i, i, qRgb(0, 0, 0));
    Surface s(8, 8);
    s.dc->SetTextColor(clRed);
    s.dc->SetBkColor(clLime);
    s.dc->FillRect({0, 0, 8, 8}, CreatePatternBrush(pattern));
    EXPECT_EQ(s.At(3, 3), clRed);
    EXPECT_EQ(s.At(3, 4), clLime);
    EXPECT_EQ(s.Count(clRed), 8);
}

TEST(DeviceBrushes, TheDCBrushTakesItsOwnColour)
{
    Surface s(4, 4);
    TLogBrush dcBrush;
    dcBrush.Kind = TBrushKind::DCBrush;
    s.dc->SelectBrush(dcBrush);
    s.dc->SetDCBrushColor(clBlue);
    s.dc->PatBlt(0, 0, 4, 4, PATCOPY);
    EXPECT_EQ(s.Count(clBlue), 16);
    s.dc->SetDCBrushColor(clRed);
    s.dc->FillRect({0, 0, 2, 2}, dcBrush);
    EXPECT_EQ(s.Count(clRed), 4);
}

// --- Raster operations ------------------------------------------------------------------------

TEST(DeviceRasterOps, PenModesCombineWithTheDestination)
{
    struct Row {
        int rop;
        TColor destination, pen, expected;
    };
    const Row rows[] = {
        {R2_COPYPEN, clWhite, clRed, clRed},
        {R2_XORPEN, RGB(0xF0, 0x0F, 0x55), RGB(0xFF, 0xFF, 0x00), RGB(0x0F, 0xF0, 0x55)},
        {R2_NOTXORPEN, RGB(0xF0, 0x0F, 0x55), RGB(0xFF, 0xFF, 0x00), RGB(0xF0, 0x0F, 0xAA)},
        {R2_MASKPEN, RGB(0xF0, 0x0F, 0x55), RGB(0x3C, 0xFF, 0x0F), RGB(0x30, 0x0F, 0x05)},
        {R2_MERGEPEN, RGB(0xF0, 0x0F, 0x55), RGB(0x0F, 0x00, 0x0F), RGB(0xFF, 0x0F, 0x5F)},
        {R2_NOT, RGB(0xF0, 0x0F, 0x55), clRed, RGB(0x0F, 0xF0, 0xAA)},
        {R2_NOTCOPYPEN, clWhite, RGB(0xF0, 0x0F, 0x55), RGB(0x0F, 0xF0, 0xAA)},
        {R2_BLACK, clWhite, clRed, clBlack},
        {R2_WHITE, clBlack, clRed, clWhite},
        {R2_NOP, clBlue, clRed, clBlue},
    };
    for (const Row& row : rows) {
        Surface s(4, 3);
        s.dc->FillRect({0, 0, 4, 3}, CreateSolidBrush(row.destination));
        s.dc->SetROP2(row.rop);
        s.dc->SelectPen(CreatePen(PS_SOLID, 1, row.pen));
        s.dc->MoveTo(0, 1);
        s.dc->LineTo(4, 1);
        EXPECT_EQ(s.At(2, 1), row.expected) << "rop " << row.rop;
        EXPECT_EQ(s.At(2, 0), row.destination) << "rop " << row.rop;
    }
}

TEST(DeviceRasterOps, XorTwiceRestoresTheImage)
{
    Surface s(10, 10);
    s.dc->FillRect({0, 0, 5, 10}, CreateSolidBrush(clBlue));
    const QImage before = (s.dc->Finish(), s.image.copy());
    s.dc->SetROP2(R2_XORPEN);
    s.dc->SelectBrush(CreateSolidBrush(clYellow));
    s.dc->Rectangle(2, 2, 8, 8);
    EXPECT_NE((s.dc->Finish(), s.image), before);
    s.dc->Rectangle(2, 2, 8, 8);
    s.dc->Finish();
    EXPECT_EQ(s.image, before);
}

// --- Text --------------------------------------------------------------------------------------

TEST(DeviceText, FacesMapToMetricCompatibleFonts)
{
    EXPECT_EQ(MapFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(MapFontFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(MapFontFamily("Tahoma"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("MS Sans Serif"), "Liberation Sans");
    // The small bitmap face of chart labels, and the Greek face whose
    // letters rich text maps to Unicode Greek.
    EXPECT_EQ(MapFontFamily("Small fonts"), "DejaVu Sans");
    EXPECT_EQ(MapFontFamily("symbol"), "Liberation Sans");
    TLogFont font;
    font.FaceName = "Arial";
    EXPECT_EQ(QFontInfo(ToQFont(font)).family(), "Liberation Sans"); // installed, no fallback
}

TEST(DeviceText, OpaqueTextFillsItsCellTransparentDoesNot)
{
    Surface s(80, 30);
    s.dc->SetBkColor(clYellow);
    s.dc->SetBkMode(OPAQUE);
    s.dc->TextOut(2, 2, "Hi");
    const TSize extent = s.dc->GetTextExtent("Hi");
    EXPECT_EQ(s.At(2, 2), clYellow);
    EXPECT_EQ(s.Inked(), QRect(2, 2, extent.cx, extent.cy));

    Surface t(80, 30);
    t.dc->SetBkColor(clYellow);
    t.dc->SetBkMode(TRANSPARENT);
    t.dc->TextOut(2, 2, "Hi");
    EXPECT_EQ(t.Count(clYellow), 0);
    EXPECT_GT(t.Inked().width(), 0);
}

TEST(DeviceText, AlignmentPlacesTheReferencePoint)
{
    struct Row {
        unsigned align;
        const char* name;
    };
    for (const Row row : {Row{TA_LEFT | TA_TOP, "left top"}, Row{TA_RIGHT | TA_TOP, "right top"},
                          Row{TA_CENTER | TA_BOTTOM, "centre bottom"}, Row{TA_LEFT | TA_BASELINE, "baseline"}}) {
        Surface s(120, 60);
        s.dc->SetBkMode(OPAQUE);
        s.dc->SetBkColor(clBlack);
        s.dc->SetTextAlign(row.align);
        s.dc->TextOut(60, 30, "Wide");
        const TSize extent = s.dc->GetTextExtent("Wide");
        const QRect cell = s.Inked();
        const TTextMetric metric = s.dc->GetTextMetrics();
        EXPECT_EQ(cell.height(), extent.cy) << row.name;
        switch (row.align & TA_HORIZONTAL_MASK) {
        case TA_RIGHT: EXPECT_EQ(cell.right() + 1, 60) << row.name; break;
        case TA_CENTER: EXPECT_NEAR(cell.center().x(), 60, 1) << row.name; break;
        default: EXPECT_EQ(cell.left(), 60) << row.name; break;
        }
        switch (row.align & TA_VERTICAL_MASK) {
        case TA_BOTTOM: EXPECT_EQ(cell.bottom() + 1, 30) << row.name; break;
        case TA_BASELINE: EXPECT_EQ(cell.top(), 30 - metric.Ascent) << row.name; break;
        default: EXPECT_EQ(cell.top(), 30) << row.name; break;
        }
    }
}

TEST(DeviceText, CharacterSpacingWidensTheText)
{
    Surface s(200, 30);
    const int plain = s.dc->GetTextExtent("abcd").cx;
    s.dc->SetTextCharacterExtra(3);
    EXPECT_EQ(s.dc->GetTextExtent("abcd").cx, plain + 12);
    s.dc->SetBkMode(OPAQUE);
    s.dc->SetBkColor(clBlack);
    s.dc->TextOut(0, 0, "abcd");
    EXPECT_NEAR(s.Inked().width(), plain + 12, 2);
}

TEST(DeviceText, EscapementTurnsTheTextCounterClockwise)
{
    Surface s(60, 120);
    TLogFont font;
    font.Height = -14;
    font.Escapement = 900; // 90 degrees: reads upwards
    s.dc->SelectFont(font);
    s.dc->SetBkMode(OPAQUE);
    s.dc->SetBkColor(clBlack);
    s.dc->TextOut(10, 100, "Vertical");
    const QRect inked = s.Inked();
    EXPECT_GT(inked.height(), inked.width() * 2);
    EXPECT_EQ(inked.bottom() + 1, 100); // the text starts at the reference point and goes up
    EXPECT_EQ(inked.left(), 10);
}

// A painter device whose device font a test can read.
class TFontProbeDC : public TPainterDC {
public:
    using TPainterDC::TPainterDC;
    using TDeviceContext::DeviceFont;
};

TEST(DeviceText, KeptGlyphsDrawTheTextAsQPainterDoes)
{
    // Upright texts are drawn from glyphs shaped once and kept per font:
    // pixel for pixel what QPainter::drawText draws, when first drawn and
    // when drawn again; texts in other scripts are drawn by drawText.
    const QString texts[] = {"0", "-12.5", "1,234.50", "Wide Ag", "\u00dcn\u00efc\u00f6d\u00e9 \u0100\u0141",
                             "\u03b1\u03b2\u03b3 \u2192 \u2713", "1E-5"};
    for (const char* face : {"Arial", "Times New Roman", "Courier New", "Small fonts"})
        for (const int height : {-8, -11, -17})
            for (const int style : {0, 1, 2})
                for (const int extra : {0, 2}) {
                    TLogFont font;
                    font.FaceName = face;
                    font.Height = height;
                    font.Weight = style == 1 ? 700 : 400;
                    font.Italic = style == 2;
                    QImage drawn(260, 40, QImage::Format_RGB32);
                    drawn.fill(Qt::white);
                    drawn.setDotsPerMeterX(3780);
                    drawn.setDotsPerMeterY(3780);
                    QImage expected = drawn;
                    TFontProbeDC dc(drawn);
                    dc.SelectFont(font);
                    dc.SetTextCharacterExtra(extra);
                    dc.SetTextAlign(TA_LEFT | TA_BASELINE);
                    dc.SetBkMode(TRANSPARENT);
                    QPainter painter(&expected);
                    painter.setFont(dc.DeviceFont());
                    painter.setPen(Qt::black);
                    for (const QString& text : texts) {
                        drawn.fill(Qt::white);
                        painter.fillRect(expected.rect(), Qt::white);
                        for (const int x : {3, 130}) {
                            dc.TextOut(x, 30, text);
                            painter.save();
                            painter.translate(x, 30);
                            painter.drawText(QPointF(0, 0), text);
                            painter.restore();
                        }
                        dc.Finish();
                        EXPECT_TRUE(drawn == expected) << face << " " << height << " style " << style << " extra "
                                                       << extra << ": " << text.toStdString();
                    }
                }
}

TEST(DeviceText, UpdateCurrentPositionAdvancesThePen)
{
    Surface s(200, 30);
    s.dc->SetTextAlign(TA_UPDATECP);
    s.dc->MoveTo(5, 5);
    s.dc->TextOut(0, 0, "abc");
    EXPECT_EQ(s.dc->CurrentPosition(), (TPoint{5 + s.dc->GetTextExtent("abc").cx, 5}));
}

// --- Regions, clipping and paths ---------------------------------------------------------------

TEST(DeviceClipping, RectanglesIntersectAndGoBack)
{
    Surface s(10, 10);
    TRegion none;
    EXPECT_EQ(s.dc->GetClipRgn(none), 0);
    s.dc->IntersectClipRect(2, 2, 6, 6);
    s.dc->IntersectClipRect(4, 0, 10, 10);
    TRegion saved;
    ASSERT_EQ(s.dc->GetClipRgn(saved), 1);
    EXPECT_EQ(saved, TRegion(QRect(4, 2, 2, 4)));
    s.dc->FillRect({0, 0, 10, 10}, CreateSolidBrush(clBlack));
    EXPECT_EQ(s.Count(clBlack), 8);
    s.dc->SelectClipRgn(nullptr);
    s.dc->FillRect({0, 0, 1, 1}, CreateSolidBrush(clBlack));
    EXPECT_EQ(s.Count(clBlack), 9);
    s.dc->SelectClipRgn(&saved);
    s.dc->FillRect({0, 0, 10, 10}, CreateSolidBrush(clRed));
    EXPECT_EQ(s.Count(clRed), 8);
}

TEST(DeviceClipping, RegionSelectedAfterTheClipWasRemovedClips)
{
    // Guards against an elliptic or polygonal clip being ignored once an
    // earlier clip had been removed: gradients filled their whole bounds.
    const TPoint triangle[] = {{0, 0}, {20, 0}, {0, 20}};
    const struct {
        const char* Name;
        TRegion Region;
    } Rows[] = {{"ellipse", CreateEllipticRgn(2, 2, 18, 18)},
                {"polygon", CreatePolygonRgn(triangle, 3, ALTERNATE)},
                {"rounded rectangle", CreateRoundRectRgn(0, 0, 20, 20, 12, 12)}};
    for (const auto& row : Rows) {
        Surface s(20, 20);
        s.dc->IntersectClipRect(0, 0, 1, 1);
        s.dc->FillRect({0, 0, 20, 20}, CreateSolidBrush(clBlack));
        s.dc->SelectClipRgn(nullptr);
        s.dc->FillRect({0, 0, 1, 1}, CreateSolidBrush(clBlack));
        s.dc->SelectClipRgn(&row.Region);
        s.dc->SelectBrush(CreateSolidBrush(clRed));
        s.dc->PatBlt(0, 0, 20, 20, PATCOPY);
        int outside = 0;
        int inside = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool red = s.At(x, y) == clRed;
                if (row.Region.contains(QPoint(x, y)))
                    inside += red;
                else
                    outside += red;
            }
        EXPECT_EQ(outside, 0) << row.Name;
        EXPECT_EQ(inside, s.Count(clRed)) << row.Name;
        EXPECT_GT(inside, 100) << row.Name;
    }
}

TEST(DeviceClipping, XorWithAnEllipseDrawsOutsideIt)
{
    Surface s(20, 20);
    const TRegion ellipse = CreateEllipticRgn(2, 2, 18, 18);
    s.dc->ExtSelectClipRgn(&ellipse, RGN_XOR); // no clip: the whole surface xor the ellipse
    s.dc->FillRect({0, 0, 20, 20}, CreateSolidBrush(clBlack));
    EXPECT_EQ(s.At(10, 10), clWhite);
    EXPECT_EQ(s.At(0, 0), clBlack);
    EXPECT_EQ(s.At(19, 19), clBlack);
}

TEST(DeviceClipping, RegionShapes)
{
    EXPECT_EQ(CreateRectRgn(1, 1, 4, 3).boundingRect(), QRect(1, 1, 3, 2));
    EXPECT_EQ(CreateRectRgn(4, 3, 1, 1).boundingRect(), QRect(1, 1, 3, 2));
    EXPECT_EQ(CreateEllipticRgn(0, 0, 10, 10).boundingRect(), QRect(0, 0, 10, 10));
    const TRegion round = CreateRoundRectRgn(0, 0, 20, 20, 8, 8);
    EXPECT_FALSE(round.contains(QPoint(0, 0)));
    EXPECT_TRUE(round.contains(QPoint(10, 0)));
    const TPoint triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    const TRegion polygon = CreatePolygonRgn(triangle, 3, ALTERNATE);
    EXPECT_TRUE(polygon.contains(QPoint(2, 2)));
    EXPECT_FALSE(polygon.contains(QPoint(8, 8)));
    EXPECT_EQ(CombineRgn(CreateRectRgn(0, 0, 4, 4), CreateRectRgn(2, 0, 6, 4), RGN_XOR),
              TRegion(QRect(0, 0, 2, 4)) + TRegion(QRect(4, 0, 2, 4)));
}

int DeviceRegionPixels(const TRegion& region)
{
    int pixels = 0;
    for (const QRect& rect : region)
        pixels += rect.width() * rect.height();
    return pixels;
}

// The distance from the centre of pixel (x, y) to the nearest edge of a
// closed polygon.
double DevicePixelToEdges(const QPolygonF& polygon, int x, int y)
{
    const QPointF p(x + 0.5, y + 0.5);
    double nearest = std::numeric_limits<double>::max();
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i];
        const QPointF d = polygon[(i + 1) % polygon.size()] - a;
        const double t = std::clamp(QPointF::dotProduct(p - a, d) / QPointF::dotProduct(d, d), 0.0, 1.0);
        const QPointF q = a + t * d - p;
        nearest = std::min(nearest, std::hypot(q.x(), q.y()));
    }
    return nearest;
}

// A polygon reaching far past the area is cut to it: within the area it
// covers the pixels the whole polygon covers, by either fill rule, and the
// region ends within the area.
TEST(DeviceRegions, APolygonIsCutToTheAreaAndKeepsItsPixelsThere)
{
    const QRect device(0, 0, 300, 250);
    const QRect area = device.adjusted(-2, -2, 2, 2);
    // A star (self-crossing) and a thin sliver, both from corners thousands
    // of pixels away.
    const QPolygonF star{{150, -4000}, {2500, 3000}, {-3000, 200}, {3200, 150}, {-2000, 3400}};
    const QPolygonF sliver{{-5000, -4000}, {5300, 4300}, {-5000, -3990}};
    for (const QPolygonF& polygon : {star, sliver}) {
        for (int fillMode : {ALTERNATE, WINDING}) {
            const TRegion cut = CreatePolygonRgnWithin(polygon, fillMode, area);
            const TRegion whole = CreatePolygonRgnWithin(polygon, fillMode, QRect());
            EXPECT_TRUE(area.contains(cut.boundingRect()));
            EXPECT_GT(whole.boundingRect().width(), 5000);
            EXPECT_GT(DeviceRegionPixels(whole.intersected(device)), 1000);
            // The cut corners are rounded to pixels: an edge may move by
            // under a pixel, no more.
            double farthest = 0;
            for (const QRect& rect : cut.xored(whole).intersected(device))
                for (int y = rect.top(); y <= rect.bottom(); ++y)
                    for (int x = rect.left(); x <= rect.right(); ++x)
                        farthest = std::max(farthest, DevicePixelToEdges(polygon, x, y));
            EXPECT_LE(farthest, 1.0) << fillMode;
        }
    }
    // Wholly outside: nothing; wholly inside: the polygon as it is.
    EXPECT_TRUE(CreatePolygonRgnWithin(QPolygonF{{400, 0}, {500, 0}, {450, 90}}, ALTERNATE, area).isEmpty());
    const TPoint triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    EXPECT_EQ(CreatePolygonRgnWithin(QPolygonF{{0, 0}, {10, 0}, {0, 10}}, ALTERNATE, area),
              CreatePolygonRgn(triangle, 3, ALTERNATE));
}

TEST(DevicePaths, ShapesGoIntoThePathUntilItIsFilled)
{
    Surface s(10, 10);
    s.dc->SelectBrush(CreateSolidBrush(clBlack));
    s.dc->SelectPen(CreatePen(PS_NULL, 1, clBlack));
    s.dc->BeginPath();
    s.dc->Rectangle(1, 1, 6, 6);
    s.dc->EndPath();
    EXPECT_EQ(s.Count(clBlack), 0);
    s.dc->FillPath();
    EXPECT_EQ(s.Count(clBlack), 16);
    s.dc->FillPath(); // the path is used up
    EXPECT_EQ(s.Count(clBlack), 16);
}

TEST(DevicePaths, TextWidenedAndSelectedAsClip)
{
    Surface s(120, 40);
    TLogFont font;
    font.Height = -24;
    s.dc->SelectFont(font);
    s.dc->BeginPath();
    s.dc->TextOut(4, 4, "Hello");
    s.dc->EndPath();
    s.dc->SelectClipPath(RGN_AND);
    s.dc->FillRect({0, 0, 120, 40}, CreateSolidBrush(clBlack));
    const int glyphs = s.Count(clBlack);
    EXPECT_GT(glyphs, 50);
    EXPECT_LT(glyphs, 120 * 40 / 2);

    Surface w(40, 20);
    w.dc->SelectPen(ExtCreatePen(PS_SOLID | PS_GEOMETRIC | PS_ENDCAP_FLAT, 6, clBlack));
    w.dc->SelectBrush(CreateSolidBrush(clBlack));
    w.dc->BeginPath();
    w.dc->MoveTo(5, 10);
    w.dc->LineTo(35, 10);
    w.dc->EndPath();
    w.dc->WidenPath();
    w.dc->SelectPen(CreatePen(PS_NULL, 1, clBlack));
    w.dc->FillPath();
    EXPECT_EQ(w.Inked(), QRect(5, 7, 30, 6));
}

TEST(DevicePaths, FillModesDecideTheInsideOfAStar)
{
    const TPoint star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    for (int mode : {ALTERNATE, WINDING}) {
        Surface s(21, 21);
        s.dc->SetPolyFillMode(mode);
        s.dc->SelectPen(CreatePen(PS_NULL, 1, clBlack));
        s.dc->SelectBrush(CreateSolidBrush(clBlack));
        s.dc->Polygon(star, 5);
        EXPECT_EQ(s.At(10, 10), mode == WINDING ? clBlack : clWhite) << "mode " << mode;
        EXPECT_EQ(s.At(10, 4), clBlack);
    }
}

TEST(DevicePaths, APolygonDrawsAsItsPathDoes)
{
    // Polygons with plain pens take a faster route; the pixels must not change.
    const TPoint corners[] = {{2, 1}, {17, 4}, {12, 15}, {6, 12}, {1, 6}};
    Surface direct(20, 20), viaPath(20, 20);
    for (Surface* s : {&direct, &viaPath}) {
        s->dc->SelectPen(CreatePen(PS_SOLID, 1, clBlack));
        s->dc->SelectBrush(CreateSolidBrush(clRed));
    }
    direct.dc->Polygon(corners, 5);
    viaPath.dc->BeginPath();
    viaPath.dc->Polygon(corners, 5);
    viaPath.dc->EndPath();
    viaPath.dc->StrokeAndFillPath();
    EXPECT_EQ(direct.Art(), viaPath.Art());
}

// One shape drawn by a primitive, given corner points.
using TShapeCall = void (*)(TDeviceContext& DC, const std::vector<TPoint>& Points);

struct TFastRouteRow {
    const char* Name;
    int Corners;
    TShapeCall Draw;
};

TEST(DevicePaths, FastRoutesDrawAsTheirPathsDo)
{
    // Polylines, rectangles and polygons with plain pens and solid brushes
    // go straight to QPainter; each must give the pixels of its path, for
    // random shapes (degenerate ones and turned-over corners included), with
    // null and plain pens, clear and solid brushes.
    const TFastRouteRow rows[] = {
        {"polyline", 12, [](TDeviceContext& DC, const std::vector<TPoint>& P) { DC.Polyline(P.data(), int(P.size())); }},
        {"rectangle", 2, [](TDeviceContext& DC, const std::vector<TPoint>& P) { DC.Rectangle(P[0].X, P[0].Y, P[1].X, P[1].Y); }},
        {"polygon", 6, [](TDeviceContext& DC, const std::vector<TPoint>& P) { DC.Polygon(P.data(), int(P.size())); }},
    };
    std::mt19937 random(9);
    for (const TFastRouteRow& row : rows)
        for (int round = 0; round < 300; ++round) {
            const int span = round % 3 == 0 ? 4 : 40;
            std::uniform_int_distribution<int> coordinate(-3, span);
            std::vector<TPoint> points(static_cast<size_t>(row.Corners));
            for (TPoint& p : points)
                p = {coordinate(random), coordinate(random)};
            Surface direct(40, 40), viaPath(40, 40);
            for (Surface* s : {&direct, &viaPath}) {
                s->dc->SelectPen(CreatePen(round % 4 == 1 ? PS_NULL : PS_SOLID, 1, clBlack));
                s->dc->SelectBrush(round % 5 == 2 ? NullBrush() : CreateSolidBrush(clRed));
                s->dc->SetViewportOrg(round % 7 == 3 ? 2 : 0, round % 7 == 3 ? -1 : 0);
            }
            row.Draw(*direct.dc, points);
            viaPath.dc->BeginPath();
            row.Draw(*viaPath.dc, points);
            viaPath.dc->EndPath();
            if (row.Corners == 12)
                viaPath.dc->StrokePath();
            else
                viaPath.dc->StrokeAndFillPath();
            ASSERT_EQ(direct.Art(), viaPath.Art()) << row.Name << " round " << round;
        }
}

TEST(DevicePaths, StyledLinesDrawAsTheirPathsDo)
{
    // Dotted and dashed lines running forward go straight to QPainter, with
    // their gaps in the background colour when it is opaque.
    std::mt19937 random(4);
    std::uniform_int_distribution<int> coordinate(-3, 45);
    const int styles[] = {PS_DOT, PS_DASH, PS_DASHDOT, PS_DASHDOTDOT, PS_ALTERNATE};
    for (int round = 0; round < 400; ++round) {
        Surface direct(40, 40), viaPath(40, 40);
        const TPoint from{coordinate(random), coordinate(random)};
        const TPoint to{coordinate(random), coordinate(random)};
        for (Surface* s : {&direct, &viaPath}) {
            s->dc->SelectPen(ExtCreatePen(styles[round % 5], 1, clBlack));
            s->dc->SetBkMode(round % 3 == 0 ? TRANSPARENT : OPAQUE);
            s->dc->SetBkColor(clRed);
            s->dc->MoveTo(from.X, from.Y);
        }
        direct.dc->LineTo(to.X, to.Y);
        viaPath.dc->BeginPath();
        viaPath.dc->LineTo(to.X, to.Y);
        viaPath.dc->EndPath();
        viaPath.dc->StrokePath();
        ASSERT_EQ(direct.Art(), viaPath.Art()) << "round " << round;
        EXPECT_EQ(direct.dc->CurrentPosition(), to);
    }
}

TEST(DeviceArcs, PieFollowsTheArcDirection)
{
    for (int direction : {AD_COUNTERCLOCKWISE, AD_CLOCKWISE}) {
        Surface s(22, 22);
        s.dc->SetArcDirection(direction);
        s.dc->SelectBrush(CreateSolidBrush(clBlack));
        s.dc->SelectPen(CreatePen(PS_NULL, 1, clBlack));
        // From three o'clock to twelve o'clock.
        s.dc->Pie(1, 1, 21, 21, 21, 11, 11, 1);
        const bool counter = direction == AD_COUNTERCLOCKWISE;
        EXPECT_EQ(s.At(15, 6), counter ? clBlack : clWhite) << "upper right";
        EXPECT_EQ(s.At(6, 15), counter ? clWhite : clBlack) << "lower left";
    }
}

TEST(DeviceArcs, ChordAndArc)
{
    Surface s(22, 22);
    s.dc->SelectBrush(CreateSolidBrush(clBlack));
    s.dc->SelectPen(CreatePen(PS_NULL, 1, clBlack));
    s.dc->Chord(1, 1, 21, 21, 21, 11, 1, 11); // the upper half
    EXPECT_EQ(s.At(11, 5), clBlack);
    EXPECT_EQ(s.At(11, 16), clWhite);
    Surface a(22, 22);
    a.dc->Arc(1, 1, 21, 21, 21, 11, 1, 11);
    EXPECT_EQ(a.Inked().top(), 1);
    EXPECT_LE(a.Inked().bottom(), 12);
    a.dc->MoveTo(0, 21);
    a.dc->ArcTo(1, 1, 21, 21, 21, 11, 1, 11);
    EXPECT_NEAR(a.dc->CurrentPosition().X, 1, 1);
    EXPECT_NEAR(a.dc->CurrentPosition().Y, 11, 1);
}

// --- Pixels and transfers --------------------------------------------------------------------------

TEST(DevicePixels, SetAndGet)
{
    Surface s(4, 4);
    s.dc->SetPixel(1, 2, clRed);
    EXPECT_EQ(s.dc->GetPixel(1, 2), clRed);
    EXPECT_EQ(s.dc->GetPixel(0, 0), clWhite);
    EXPECT_EQ(s.dc->GetPixel(4, 0), clNone);
    EXPECT_EQ(s.dc->GetPixel(-1, 0), clNone);
}

TEST(DevicePixels, BlockTransfersCopyAndCombine)
{
    Surface source(4, 4);
    source.dc->FillRect({0, 0, 2, 4}, CreateSolidBrush(clBlue));
    Surface dest(8, 8);
    dest.dc->BitBlt(4, 4, 4, 4, *source.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dest.At(4, 4), clBlue);
    EXPECT_EQ(dest.At(6, 4), clWhite);
    dest.dc->StretchBlt(0, 0, 4, 8, *source.dc, 0, 0, 2, 4, SRCCOPY);
    EXPECT_EQ(dest.Count(clBlue), 8 + 32);
    dest.dc->BitBlt(0, 0, 4, 4, *source.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(dest.At(0, 0), clBlack); // blue xor blue
    EXPECT_EQ(dest.At(2, 0), clYellow); // blue xor white
}

TEST(DevicePixels, FloodFillByBorderAndBySurface)
{
    Surface s(10, 10);
    s.dc->SelectBrush(NullBrush());
    s.dc->Rectangle(1, 1, 9, 9);
    s.dc->SelectBrush(CreateSolidBrush(clRed));
    EXPECT_TRUE(s.dc->ExtFloodFill(4, 4, clBlack, FLOODFILLBORDER));
    EXPECT_EQ(s.Count(clRed), 36);
    EXPECT_EQ(s.At(0, 0), clWhite);
    s.dc->SelectBrush(CreateSolidBrush(clBlue));
    EXPECT_TRUE(s.dc->ExtFloodFill(0, 0, clWhite, FLOODFILLSURFACE));
    EXPECT_EQ(s.Count(clBlue), 100 - 36 - 28);
    EXPECT_FALSE(s.dc->ExtFloodFill(1, 1, clWhite, FLOODFILLSURFACE)); // a black pixel
}

// --- Mapping and device capabilities -------------------------------------------------------------------

TEST(DeviceMapping, AnisotropicWindowAndViewport)
{
    Surface s(40, 40);
    s.dc->SetMapMode(MM_ANISOTROPIC);
    s.dc->SetWindowExt(100, 100);
    s.dc->SetViewportExt(20, 40);
    s.dc->SetViewportOrg(10, 0);
    EXPECT_EQ(s.dc->LPtoDP({50, 50}), (TPoint{20, 20}));
    EXPECT_EQ(s.dc->DPtoLP({20, 20}), (TPoint{50, 50}));
    s.dc->FillRect({0, 0, 50, 25}, CreateSolidBrush(clBlack));
    EXPECT_EQ(s.Inked(), QRect(10, 0, 10, 10));
    s.dc->SetMapMode(MM_TEXT);
    EXPECT_EQ(s.dc->LPtoDP({5, 5}), (TPoint{15, 5})); // the origins stay
}

TEST(DeviceMapping, CapabilitiesOfAnImage)
{
    Surface s(192, 96);
    EXPECT_EQ(s.dc->GetDeviceCaps(HORZRES), 192);
    EXPECT_EQ(s.dc->GetDeviceCaps(VERTRES), 96);
    EXPECT_EQ(s.dc->GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(s.dc->GetDeviceCaps(LOGPIXELSY), 96);
    EXPECT_EQ(s.dc->GetDeviceCaps(HORZSIZE), 51); // two inches
    EXPECT_EQ(s.dc->GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
}

// --- The recording device ---------------------------------------------------------------------------------

TEST(RecordingDC, LogsCallsAndKeepsState)
{
    TRecordingDC dc;
    dc.SetBkMode(TRANSPARENT);
    dc.SetBkColor(clRed);
    dc.SelectPen(CreatePen(PS_DOT, 1, clBlue));
    dc.Rectangle(1, 2, 30, 40);
    dc.TextOut(5, 6, "ab");
    EXPECT_EQ(dc.Calls(), (QStringList{"SetBkMode(1)", "SetBkColor(0x0000FF)", "SelectPen(2,1,0xFF0000,cosmetic,0)",
                                       "Rectangle(1,2,30,40)", "TextOut(5,6,\"ab\")"}));
    EXPECT_EQ(dc.BkMode(), TRANSPARENT);
    EXPECT_EQ(dc.BkColor(), clRed);
    EXPECT_EQ(dc.CallsStartingWith("Set").size(), 2);
    dc.IntersectClipRect(0, 0, 10, 10);
    TRegion clip;
    EXPECT_EQ(dc.GetClipRgn(clip), 1);
    EXPECT_EQ(dc.Calls().back(), "IntersectClipRect(0,0,10,10)");
    EXPECT_EQ(dc.Calls().size(), 6); // one line per call
}

TEST(RecordingDC, RefusesInvalidModes)
{
    TRecordingDC dc;
    EXPECT_EQ(dc.SetBkMode(7), 0);
    EXPECT_EQ(dc.BkMode(), OPAQUE);
    EXPECT_EQ(dc.SetROP2(0), 0);
    EXPECT_EQ(dc.ROP2(), R2_COPYPEN);
}

} // namespace
} // namespace lp
