#include "section/views/PseudoSection2D.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Picture.h"
#include "tests/section/views/PseudoSectionTestUtil.h"
#include "tests/section/views/ViewsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace lp {
namespace {

using test::DoubleArea;
using test::FillTriangulation;
using test::RecordedPolygons;
using test::SetLevels;
using test::TRecordedPolygon;

// A chart drawing on a recording device, one world unit per pixel over
// 0..100 (the fixtures span that square).
struct TRecordedChart {
    void Prepare(const std::vector<double>& Levels)
    {
        SetLevels(Chart, Levels);
        Chart.PictureWidth = Chart.PictureHeight = 100;
        Chart.ComputePictureScale();
        Chart.PictureCanvas = &Canvas;
        DC.ClearCalls();
    }
    std::vector<TRecordedPolygon> FillTriangle(int T)
    {
        DC.ClearCalls();
        Chart.FillTriangleBands(T);
        return RecordedPolygons(DC);
    }
    TPseudoSection2d Chart;
    TRecordingDC DC{200, 200};
    TCanvas Canvas{&DC};
};

// One triangle (0,0) (100,0) (0,100) with the given values.
void OneTriangle(TPseudoSection2d& Chart, std::array<double, 3> Values)
{
    FillTriangulation(Chart, {{0, 0, Values[0]}, {100, 0, Values[1]}, {0, 100, Values[2]}}, {{1, 2, 3}});
}

std::vector<TColor> ColorsOf(const std::vector<TRecordedPolygon>& Polygons)
{
    std::vector<TColor> colors;
    for (const TRecordedPolygon& p : Polygons)
        colors.push_back(p.Color);
    return colors;
}

TEST(PseudoSectionMath, EdgeInterpolationAndStrictCrossing)
{
    EXPECT_EQ(TPseudoSection2d::EdgeInterpolate(1.5, 2, 10, 1, 0), 5);
    EXPECT_EQ(TPseudoSection2d::EdgeInterpolate(3, 2, 10, 2, 4), 4);  // equal ends: no division
    EXPECT_TRUE(TPseudoSection2d::StrictlyBetween(3, 1, 2));
    EXPECT_FALSE(TPseudoSection2d::StrictlyBetween(1, 3, 3));
    EXPECT_FALSE(TPseudoSection2d::StrictlyBetween(1, 3, 0));
}

TEST(PseudoSectionBands, TrianglesOutsideTheLevelsOrFlatAreOnePolygon)
{
    struct TCase {
        std::array<double, 3> Values;
        TColor Color;
    };
    // Levels 10, 20, 30: bands 0x100 (below 10) .. 0x103 (above 30).
    const TCase cases[] = {
        {{1, 2, 9}, 0x100}, {{31, 40, 50}, 0x103}, {{25, 25, 25}, 0x102}, {{12, 15, 19}, 0x101},
    };
    for (const TCase& c : cases) {
        TRecordedChart r;
        OneTriangle(r.Chart, c.Values);
        r.Prepare({10, 20, 30});
        const std::vector<TRecordedPolygon> polygons = r.FillTriangle(1);
        ASSERT_EQ(polygons.size(), 1u) << c.Values[0];
        EXPECT_EQ(polygons[0].Color, c.Color);
        EXPECT_EQ(std::abs(DoubleArea(polygons[0].Points)), 100 * 100);
        // Filled without an outline, and the pen is solid again afterwards.
        EXPECT_TRUE(r.DC.Calls().filter(QStringLiteral("SelectPen(5,")).size() >= 1);
        EXPECT_EQ(r.Canvas.Pen().Style(), TPen::psSolid);
    }
}

TEST(PseudoSectionBands, OneLevelSplitsTheTriangleAtItsSmoothCurve)
{
    TRecordedChart r;
    OneTriangle(r.Chart, {0, 10, 10});
    r.Prepare({5});
    const std::vector<TRecordedPolygon> polygons = r.FillTriangle(1);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(ColorsOf(polygons), (std::vector<TColor>{0x100, 0x101}));
    // The start vertex side: the lowest vertex, then the curve from edge 0
    // (at (50, 0)) to edge 2 (at (0, 50)).
    EXPECT_EQ(polygons[0].Points.front(), (TPoint{0, 0}));
    EXPECT_EQ(polygons[0].Points.size(), 9u);
    EXPECT_EQ(polygons[0].Points[1], (TPoint{50, 0}));
    EXPECT_EQ(polygons[0].Points.back(), (TPoint{0, 50}));
    // The rest: the curve, then the two other vertices.
    EXPECT_EQ(polygons[1].Points.size(), 10u);
    EXPECT_EQ(polygons[1].Points[8], (TPoint{100, 0}));
    EXPECT_EQ(polygons[1].Points[9], (TPoint{0, 100}));
    EXPECT_EQ(std::abs(DoubleArea(polygons[0].Points)) + std::abs(DoubleArea(polygons[1].Points)), 100 * 100);
}

// Every order of three distinct values over the corners: the bands tile the
// triangle without overlap, and the middle vertex joins exactly one band.
TEST(PseudoSectionBands, BandsTileTheTriangleAndTakeTheMiddleVertexOnce)
{
    std::array<double, 3> values{0, 50, 100};
    const std::array<TPoint, 3> corners{TPoint{0, 0}, TPoint{100, 0}, TPoint{0, 100}};
    do {
        TRecordedChart r;
        OneTriangle(r.Chart, values);
        r.Prepare({12, 37, 62, 87});
        const std::vector<TRecordedPolygon> polygons = r.FillTriangle(1);
        ASSERT_EQ(polygons.size(), 5u);
        EXPECT_EQ(ColorsOf(polygons), (std::vector<TColor>{0x100, 0x101, 0x102, 0x103, 0x104}));
        long long area = 0;
        for (const TRecordedPolygon& p : polygons)
            area += std::abs(DoubleArea(p.Points));
        EXPECT_NEAR(area, 100 * 100, 4) << values[0] << values[1] << values[2];
        const int middle = static_cast<int>(std::find(values.begin(), values.end(), 50.0) - values.begin());
        int holding = 0;
        for (const TRecordedPolygon& p : polygons)
            holding += static_cast<int>(std::count(p.Points.begin(), p.Points.end(), corners[middle]));
        EXPECT_EQ(holding, 1) << values[0] << values[1] << values[2];
        // Passed at 50, between levels 37 and 62: the vertex lies in band 2.
        EXPECT_EQ(std::count(polygons[2].Points.begin(), polygons[2].Points.end(), corners[middle]), 1);
    } while (std::next_permutation(values.begin(), values.end()));
}

TEST(PseudoSectionBands, CurvesOfNeighboursMeetAtTheirSharedEdge)
{
    TRecordedChart r;
    // Two triangles sharing the edge (100,0)-(0,100); the level crosses both.
    FillTriangulation(r.Chart, {{0, 0, 0}, {100, 0, 10}, {0, 100, 4}, {100, 100, 12}}, {{1, 2, 3}, {2, 4, 3}});
    r.Prepare({6});
    const int shared = 2;  // edge 1..2 of triangle 1 is V[1]V[2]: edge 1
    ASSERT_EQ(r.Chart.Triangles[1].Neighbour[1], 2);
    ASSERT_EQ(r.Chart.Triangles[1].NeighbourEdge[1], shared);
    // Triangle 1: crossed edges 0 and 1 (uncrossed edge 2). Triangle 2:
    // crossed edges 1 (4-3) and 2 (3-2).
    const std::array<TPoint, 8> first = r.Chart.IsoCurvePoints(1, 0, 1, 6);
    const std::array<TPoint, 8> second = r.Chart.IsoCurvePoints(2, 1, 2, 6);
    EXPECT_EQ(first[7], second[7]);
    // The meeting point is smoothed: not the raw crossing on the edge (at
    // X = 33.3 from (0,100) toward (100,0)).
    EXPECT_NE(first[7], (TPoint{33, 67}));
    // Without a neighbour the curve ends on the edge's crossing itself.
    EXPECT_EQ(first[0], (TPoint{60, 0}));
}

// Six triangles round an interior centre; ring values given.
void Fan(TPseudoSection2d& Chart, double Centre, const std::array<double, 6>& Ring)
{
    std::vector<test::TFixturePoint> points{{50, 50, Centre}};
    const std::array<TPoint, 6> ring{TPoint{0, 50}, {25, 0}, {75, 0}, {100, 50}, {75, 100}, {25, 100}};
    for (int i = 0; i < 6; ++i)
        points.push_back({double(ring[i].X), double(ring[i].Y), Ring[i]});
    std::vector<std::array<int, 3>> corners;
    for (int i = 0; i < 6; ++i)
        corners.push_back({1, 2 + i, 2 + (i + 1) % 6});
    FillTriangulation(Chart, points, corners);
}

TEST(PseudoSectionContours, APeakGivesAClosedLineAndABoundaryLevelAnOpenOne)
{
    TRecordedChart peak;
    Fan(peak.Chart, 10, {0, 0, 0, 0, 0, 0});
    peak.Prepare({5});
    peak.Chart.DrawContourLines();
    const QStringList pieces = peak.DC.CallsStartingWith(QStringLiteral("Polyline("));
    EXPECT_TRUE(peak.DC.CallsStartingWith(QStringLiteral("LineTo")).isEmpty());
    ASSERT_EQ(pieces.size(), 6);  // one smooth piece per triangle, no straight ends
    EXPECT_EQ(test::ParsePoints(pieces.front()).front(), test::ParsePoints(pieces.back()).back());
    EXPECT_EQ(peak.DC.CallsStartingWith(QStringLiteral("SelectPen")).last().section(QLatin1Char(','), 2, 2),
              QStringLiteral("0x000200"));

    TRecordedChart slope;
    // A ridge reaching the boundary on the right: level 15 enters and leaves
    // through the boundary edges next to the high ring vertex.
    Fan(slope.Chart, 10, {0, 0, 0, 20, 0, 0});
    slope.Prepare({15});
    slope.Chart.DrawContourLines();
    const QStringList moves = slope.DC.CallsStartingWith(QStringLiteral("MoveTo"));
    const QStringList lines = slope.DC.CallsStartingWith(QStringLiteral("LineTo"));
    ASSERT_EQ(moves.size(), 2);  // the straight first and last pieces
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(slope.DC.CallsStartingWith(QStringLiteral("Polyline(")).size(), 1);
    // It starts on a boundary edge: (75,0)-(100,50) at value 15 of 0..20.
    EXPECT_EQ(moves.front(), QStringLiteral("MoveTo(94,38)"));
}

TEST(PseudoSectionRendering, ContourLinesOffDrawsOnlyTheBands)
{
    TRecordedChart r;
    Fan(r.Chart, 10, {0, 0, 0, 20, 0, 0});
    r.Prepare({5, 15});
    r.Chart.ShowContourLines = false;
    r.Chart.RenderOnto(r.Canvas);
    EXPECT_FALSE(r.DC.CallsStartingWith(QStringLiteral("Polygon(")).isEmpty());
    EXPECT_TRUE(r.DC.CallsStartingWith(QStringLiteral("Polyline(")).isEmpty());
    EXPECT_TRUE(r.DC.CallsStartingWith(QStringLiteral("LineTo(")).isEmpty());
    EXPECT_EQ(r.Chart.PictureCanvas, nullptr);

    r.Chart.ShowContourLines = true;
    r.Chart.RenderOnto(r.Canvas);
    EXPECT_FALSE(r.DC.CallsStartingWith(QStringLiteral("Polyline(")).isEmpty());
}

TEST(PseudoSectionRendering, VerticesOnOneLineRenderNothing)
{
    for (const bool vertical : {true, false}) {
        TRecordedChart r;
        FillTriangulation(r.Chart, {{0, 0, 0}, {vertical ? 0.0 : 50, vertical ? 50.0 : 0, 5}, {0, 0, 10}, {0, 0, 3}},
                          {{1, 2, 3}, {2, 3, 4}, {1, 3, 4}});
        r.Prepare({4});
        EXPECT_EQ(vertical ? r.Chart.PixelsPerX : r.Chart.PixelsPerZ, 0.0);
        r.Chart.RenderOnto(r.Canvas);
        EXPECT_TRUE(r.DC.Calls().filter(QRegularExpression(QStringLiteral("^Poly"))).isEmpty());
    }
}

// --- The whole chart ------------------------------------------------------------------------

using test::TOwnedChart;

// A scattered section drawn into a 300 x 120 picture.
void BuildScatteredPicture(TOwnedChart& owned)
{
    test::FillScatteredSection(owned.Chart, 60, 3);
    owned.Chart.PictureWidth = 300;
    owned.Chart.PictureHeight = 120;
    owned.Chart.PrepareLevels();
    owned.Chart.RebuildPicture();
}

TEST(PseudoSectionPicture, RebuildSpansTheAxisExtentAndHandsTheToolACopy)
{
    TOwnedChart owned;
    BuildScatteredPicture(owned);
    ASSERT_EQ(owned.Extent->Count(), 2);
    double minX, maxX, maxY, minY;
    ASSERT_TRUE(owned.Chart.AxisBounds(minX, maxX, maxY, minY));
    EXPECT_EQ(owned.Extent->GetXValue(0), minX);
    EXPECT_EQ(owned.Extent->GetYValue(0), maxY);
    EXPECT_EQ(owned.Extent->GetXValue(1), maxX);
    EXPECT_EQ(owned.Extent->GetYValue(1), minY);
    EXPECT_FALSE(owned.Metafile.Empty());
    EXPECT_EQ(owned.Metafile.Width(), 300);
    EXPECT_EQ(owned.Metafile.Height(), 120);
    auto* shown = qobject_cast<TMetafile*>(owned.Tool->Picture()->Graphic());
    ASSERT_NE(shown, nullptr);
    EXPECT_NE(shown, &owned.Metafile);
    EXPECT_EQ(shown->Data(), owned.Metafile.Data());

    // A second rebuild moves the two points rather than adding more; an
    // inactive tool stops the rebuild.
    owned.Chart.Vertices[1].AxisX = -50;
    owned.Chart.RebuildPicture();
    EXPECT_EQ(owned.Extent->Count(), 2);
    EXPECT_EQ(owned.Extent->GetXValue(0), -50);
    owned.Tool->SetActive(false);
    owned.Chart.Vertices[1].AxisX = -70;
    owned.Chart.RebuildPicture();
    EXPECT_EQ(owned.Extent->GetXValue(0), -50);
}

// The picture tool holding the section's metafile was dropped when the
// chart file was read with the section program's chart start-up.
TEST(PseudoSectionPicture, AReopenedChartFileHoldsTheToolWithItsPicture)
{
    TOwnedChart owned;
    BuildScatteredPicture(owned);
    for (const bool text : {false, true}) {
        SCOPED_TRACE(text ? "text file" : "binary file");
        TChart reopened;
        QStringList errors;
        test::ReopenChart(owned.Chart, text, reopened, errors);
        EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(reopened.Tools().Count(), 1);
        auto* tool = qobject_cast<TChartImageTool*>(reopened.Tools()[0]);
        ASSERT_NE(tool, nullptr);
        EXPECT_EQ(tool->Series(), reopened.Series(0));
        EXPECT_EQ(reopened.Series(0)->Count(), 2);
        auto* picture = qobject_cast<TMetafile*>(tool->Picture()->Graphic());
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Width(), 300);
        EXPECT_EQ(picture->Height(), 120);
        EXPECT_EQ(picture->Data(), owned.Metafile.Data());
    }
}

// About 2,000 triangles of a scattered section with its legend.
TEST(PseudoSectionPicture, MatchesTheReference)
{
    TOwnedChart owned;
    test::FillScatteredSection(owned.Chart, 1000, 11);
    ASSERT_GT(owned.Chart.TriangleCount, 1900);
    for (int v = 1; v <= owned.Chart.VertexCount; ++v)
        owned.Points->AddXY(owned.Chart.Vertices[v].AxisX, owned.Chart.Vertices[v].AxisY);
    // The default palettes and levels, a wider right margin for the legend.
    ASSERT_TRUE(owned.Chart.ApplySettings(
        QStringLiteral("255 16711680 16711680 255 65535 32768 15 35 110 8 20 0 1 0 1 1 0 0")));
    TBitmap picture(owned.Chart.Width(), owned.Chart.Height());
    owned.Chart.DrawToCanvas(&picture.Canvas(), owned.Chart.GetRectangle());  // lays the axes out
    const TRect rect = owned.Chart.ChartRectangle();
    owned.Chart.PictureWidth = rect.Right - rect.Left;
    owned.Chart.PictureHeight = rect.Bottom - rect.Top;
    owned.Chart.PrepareLevels();
    owned.Chart.RebuildPicture();
    owned.Chart.PlaceLegend();
    owned.Chart.DrawToCanvas(&picture.Canvas(), owned.Chart.GetRectangle());
    EXPECT_TRUE(
        test::MatchesReference(picture.Image(), QStringLiteral("views"), QStringLiteral("pseudo-section")));
}

} // namespace
} // namespace lp
