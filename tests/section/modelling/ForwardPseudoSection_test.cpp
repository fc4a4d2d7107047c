#include "section/modelling/ForwardPseudoSection.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Metafile.h"
#include "section/views/PseudoSection2D.h"

#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <utility>

namespace lp {
namespace {

TSurvey LineOf(int Count, double Spacing)
{
    TSurvey survey;
    for (int i = 0; i < Count; ++i)
        survey.Electrodes.push_back({i * Spacing, 0.0});
    return survey;
}

TEST(ForwardPseudoSection, PointsStandAtTheElectrodesMidpoints)
{
    TSurvey survey = LineOf(8, 5.0);
    survey.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 8, 3);
    const std::vector<TPseudoPoint> points = PseudoSectionPoints(survey);
    ASSERT_EQ(points.size(), survey.Configurations.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const TConfiguration& c = survey.Configurations[i];
        EXPECT_DOUBLE_EQ(points[i].X, 5.0 * (c.a + c.b + c.m + c.n) / 4.0);
        EXPECT_GT(points[i].Depth, 0.0);
    }
    // Deeper with each level.
    EXPECT_LT(points.front().Depth, points.back().Depth);
}

// The data's dots are sized to their spacing on screen: 40 % of the gap
// between distinct midpoints in pixels, 2 to 6 pixels, none where they
// would be smaller (they would hide the colours).
TEST(ForwardPseudoSection, DatumMarksFollowTheGapBetweenMidpointsInPixels)
{
    EXPECT_EQ(DatumMarkPixels(0.0), 0);
    EXPECT_EQ(DatumMarkPixels(4.9), 0);
    EXPECT_EQ(DatumMarkPixels(5.0), 2);
    EXPECT_EQ(DatumMarkPixels(10.0), 4);
    EXPECT_EQ(DatumMarkPixels(14.0), 6);
    EXPECT_EQ(DatumMarkPixels(400.0), 6);
    EXPECT_EQ(DatumMarkPixels(std::nan("")), 0);
}

// Through a chart laid out on screen: a sparse survey gets large dots, a
// dense one the colours alone, and a narrower chart smaller dots.
TEST(ForwardPseudoSection, DatumMarksOfSparseAndDenseSurveysOnALaidOutChart)
{
    TMetafile metafile;
    std::unique_ptr<TPseudoSection2d> chart(CreateFieldPseudoSection(QStringLiteral("Measured"), metafile));
    QWidget* widget = chart->Widget();
    widget->resize(800, 300);
    const auto pointer = [&] { return dynamic_cast<TPointSeries&>(*chart->GridPointSeries).Pointer(); };
    const auto show = [&](const TSurvey& Survey, double Left, double Right) {
        const std::vector<TPseudoPoint> points = PseudoSectionPoints(Survey);
        std::vector<double> values(points.size(), 100.0);
        for (size_t i = 0; i < values.size(); ++i)
            values[i] += static_cast<double>(i % 7);
        ShowFieldPseudoSection(*chart, points, values, Left, Right, 20.0);
        widget->grab(); // laid out and drawn
    };
    // 24 electrodes 10 m apart: midpoints 5 m apart over a 230 m axis of
    // some 700 pixels, about 15 pixels: the largest dots (7 pixels, half 3).
    TSurvey sparse = LineOf(24, 10.0);
    sparse.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 24, 6);
    show(sparse, 0.0, 230.0);
    const int axisPixels = chart->BottomAxis()->CalcPosValue(230.0) - chart->BottomAxis()->CalcPosValue(0.0);
    ASSERT_GT(axisPixels, 600);
    EXPECT_TRUE(pointer()->Visible());
    EXPECT_EQ(pointer()->HorizSize(), DatumMarkPixels(5.0 * axisPixels / 230.0) / 2);
    EXPECT_EQ(pointer()->HorizSize(), 3);
    EXPECT_EQ(pointer()->VertSize(), 3);
    // 200 electrodes 1 m apart: midpoints 0.5 m apart over 200 m, under
    // two pixels: no dots, the colour fill alone.
    TSurvey dense = LineOf(200, 1.0);
    dense.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 200, 6);
    show(dense, 0.0, 200.0);
    EXPECT_FALSE(pointer()->Visible());
    EXPECT_EQ(chart->GridPointSeries->Count(), static_cast<int>(dense.Configurations.size()));
    // The sparse survey again on a chart resized narrower: smaller dots
    // (some 300 pixels: gaps of 6 or 7 pixels, dots 3 pixels wide).
    show(sparse, 0.0, 230.0);
    widget->resize(450, 300);
    widget->grab();
    const int narrow = chart->BottomAxis()->CalcPosValue(230.0) - chart->BottomAxis()->CalcPosValue(0.0);
    EXPECT_TRUE(pointer()->Visible());
    EXPECT_EQ(pointer()->HorizSize(), std::max(1, DatumMarkPixels(5.0 * narrow / 230.0) / 2));
    EXPECT_EQ(pointer()->HorizSize(), 1);
    // Narrower still (gaps under 5 pixels): the colours alone.
    widget->resize(330, 300);
    widget->grab();
    EXPECT_FALSE(pointer()->Visible());
}

// Over relief each datum hangs from the ground below its midpoint: plotted
// at the surface's elevation there less its pseudo-depth, the vertical axis
// the elevation (growing upwards), the surface drawn as a line.
TEST(ForwardPseudoSection, OverReliefTheDataHangFromTheSurfaceOnAnElevationAxis)
{
    TSurvey survey = LineOf(20, 5.0);
    survey.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 20, 5);
    const std::vector<TPseudoPoint> points = PseudoSectionPoints(survey);
    std::vector<double> values;
    for (const TPseudoPoint& point : points)
        values.push_back(40.0 + point.X);
    // A hill: 100 m at both ends, 112 m at x 50.
    const std::vector<TGeometryPoint> surface{{-20.0, 100.0}, {50.0, 112.0}, {120.0, 100.0}};
    const auto ground = [](double X) { return X <= 50.0 ? 100.0 + 12.0 * (X + 20.0) / 70.0 : 112.0 - 12.0 * (X - 50.0) / 70.0; };
    EXPECT_TRUE(SurfaceHasRelief(surface));
    EXPECT_FALSE(SurfaceHasRelief({{0.0, 3.0}, {10.0, 3.0}}));
    TMetafile metafile;
    std::unique_ptr<TPseudoSection2d> chart(CreateFieldPseudoSection(QStringLiteral("Measured"), metafile));
    QWidget* widget = chart->Widget();
    widget->resize(800, 300);
    double deepest = 0.0;
    for (const TPseudoPoint& point : points)
        deepest = std::max(deepest, point.Depth);
    ShowFieldPseudoSection(*chart, points, values, -10.0, 105.0, deepest, surface);
    ASSERT_EQ(chart->VertexCount, static_cast<int>(points.size()));
    for (size_t p = 0; p < points.size(); ++p) {
        const dVertex3d& vertex = chart->Vertices[static_cast<int>(p) + 1];
        EXPECT_NEAR(vertex.AxisY, ground(points[p].X) - points[p].Depth, 1e-9) << p;
        EXPECT_EQ(vertex.Z, -vertex.AxisY);
        EXPECT_EQ(PlottedVertical(*chart, p, points[p].Depth), vertex.AxisY);
    }
    EXPECT_EQ(PlottedVertical(*chart, points.size(), 7.0), 7.0);
    const TChartAxis& vertical = *chart->LeftAxis();
    EXPECT_FALSE(vertical.Inverted());
    EXPECT_EQ(vertical.Title()->Caption(), QStringLiteral("Elevation (m)"));
    EXPECT_GT(vertical.Maximum(), 112.0);
    double lowest = 1e9;
    for (int v = 1; v <= chart->VertexCount; ++v)
        lowest = std::min(lowest, chart->Vertices[v].AxisY);
    EXPECT_LT(vertical.Minimum(), lowest);
    EXPECT_EQ(chart->BottomAxis()->Minimum(), -10.0);
    EXPECT_EQ(chart->BottomAxis()->Maximum(), 105.0);
    // The surface line: from the left edge over the crest to the right edge.
    ASSERT_TRUE(chart->SurfaceSeries->Active());
    ASSERT_EQ(chart->SurfaceSeries->Count(), 3);
    EXPECT_DOUBLE_EQ(chart->SurfaceSeries->GetYValue(0), ground(-10.0));
    EXPECT_DOUBLE_EQ(chart->SurfaceSeries->GetYValue(1), 112.0);
    EXPECT_DOUBLE_EQ(chart->SurfaceSeries->GetYValue(2), ground(105.0));
    // Drawn: a dark pixel on the line above the data at several places.
    const QImage picture = widget->grab().toImage();
    for (double x : {-5.0, 20.0, 50.0, 80.0, 100.0}) {
        const int px = chart->BottomAxis()->CalcPosValue(x), py = vertical.CalcPosValue(ground(x));
        int darkest = 255;
        for (int dy = -2; dy <= 2; ++dy)
            darkest = std::min(darkest, qGray(picture.pixel(px, py + dy)));
        EXPECT_LT(darkest, 80) << "no surface line at x " << x;
        // Above the ground: the background (white, or a grey grid line).
        EXPECT_GT(qGray(picture.pixel(px, py - 8)), 100) << "x " << x;
    }
    // Level ground again: pseudo-depth growing downward, no surface line.
    ShowFieldPseudoSection(*chart, points, values, -10.0, 105.0, deepest);
    EXPECT_TRUE(vertical.Inverted());
    EXPECT_EQ(vertical.Title()->Caption(), QStringLiteral("Pseudo-depth (m)"));
    EXPECT_FALSE(chart->SurfaceSeries->Active());
    EXPECT_EQ(chart->Vertices[1].AxisY, points[0].Depth);
}

// With buried electrodes (two holes, a line beside them, a pole and a
// remote beside the line) each datum stands where its dipoles lie: the mean
// x and elevation of its electrodes on the line, on an elevation axis that
// takes in every datum; a survey on the surface keeps its pseudo-depths.
TEST(ForwardPseudoSection, DataOfBuriedElectrodesStandAtTheirDipolesMidpoints)
{
    TSurvey survey;
    const auto add = [&](double X, double Z, double Depth, double Y = 0.0) {
        TElectrode electrode;
        electrode.x = X;
        electrode.z = Z;
        electrode.Depth = Depth;
        electrode.y = Y;
        survey.Electrodes.push_back(electrode);
    };
    for (int k = 1; k <= 8; ++k)
        add(44.0, 3.0 - 1.5 * k, 1.5 * k); // electrodes 0 .. 7, ground at 3 m
    for (int k = 1; k <= 8; ++k)
        add(56.0, 3.0 - 1.5 * k, 1.5 * k); // 8 .. 15
    add(50.0, 3.0, 0.0);                   // 16, on the surface
    add(50.0, 3.0, 0.0, 300.0);            // 17, a remote beside the line
    survey.HasElevations = true;
    survey.Configurations = {{0, 1, 8, 9}, {0, 8, 1, 9}, {2, -1, 10, 11}, {16, -1, 3, -1}, {5, 17, 12, 13}};
    const std::vector<TPseudoPoint> points = PseudoSectionPoints(survey);
    ASSERT_EQ(points.size(), 5u);
    // Between the two holes a datum stands by its path's tilt: midway when
    // level, at the right hole when it falls the holes' whole height (10.5
    // m) to the right, at the left one when it rises as far.
    // The height is that of the hole electrodes the data use: 1.5 m down
    // to -6 m here.
    const auto tilted = [](double LeftZ, double RightZ, double Height = 7.5) {
        return 44.0 + 12.0 * (1.0 + (LeftZ - RightZ) / Height) / 2.0;
    };
    ASSERT_TRUE(PlacedPseudoPoints(points));
    const auto z = [&](int e) { return survey.Electrodes[static_cast<size_t>(e)].z; };
    EXPECT_DOUBLE_EQ(points[0].X, 50.0);
    EXPECT_DOUBLE_EQ(*points[0].Elevation, (z(0) + z(1) + z(8) + z(9)) / 4.0);
    EXPECT_DOUBLE_EQ(points[1].X, 50.0);
    EXPECT_DOUBLE_EQ(*points[1].Elevation, (z(0) + z(1) + z(8) + z(9)) / 4.0);
    // Pole-bipole: the pole's absent B left out.
    EXPECT_DOUBLE_EQ(points[2].X, tilted(z(2), (z(10) + z(11)) / 2.0));
    EXPECT_DOUBLE_EQ(*points[2].Elevation, (z(2) + z(10) + z(11)) / 3.0);
    EXPECT_DOUBLE_EQ(points[2].Depth, 3.0 - *points[2].Elevation);
    // Pole-pole from the surface into the hole.
    EXPECT_DOUBLE_EQ(points[3].X, 47.0);
    EXPECT_DOUBLE_EQ(*points[3].Elevation, (3.0 + z(3)) / 2.0);
    // A remote beside the line is a pole too.
    EXPECT_DOUBLE_EQ(points[4].X, tilted(z(5), (z(12) + z(13)) / 2.0));
    struct Row {
        TConfiguration Configuration;
        double X;
    };
    // Together (the holes' whole height used: 1.5 m to -9 m).
    const std::vector<Row> rows{{{0, -1, 15, -1}, 56.0},
                                {{7, -1, 8, -1}, 44.0},
                                {{3, 4, 11, 12}, 50.0},
                                {{0, 1, 14, 15}, tilted(0.75, -8.25, 10.5)},
                                {{16, -1, 15, -1}, 53.0}};
    TSurvey tilts = survey;
    tilts.Configurations.clear();
    for (const Row& row : rows)
        tilts.Configurations.push_back(row.Configuration);
    const std::vector<TPseudoPoint> tiltPoints = PseudoSectionPoints(tilts);
    for (size_t r = 0; r < rows.size(); ++r)
        EXPECT_DOUBLE_EQ(tiltPoints.at(r).X, rows[r].X) << r;
    EXPECT_DOUBLE_EQ(*points[4].Elevation, (z(5) + z(12) + z(13)) / 3.0);

    TMetafile metafile;
    std::unique_ptr<TPseudoSection2d> chart(CreateFieldPseudoSection(QStringLiteral("Measured"), metafile));
    chart->Widget()->resize(600, 300);
    const std::vector<double> values = {10.0, 20.0, 30.0, 40.0, 50.0};
    double deepest = 0.0;
    for (const TPseudoPoint& point : points)
        deepest = std::max(deepest, point.Depth);
    // Without a surface and with one: the points where their electrodes are.
    for (const std::vector<TGeometryPoint>& surface :
         {std::vector<TGeometryPoint>{}, std::vector<TGeometryPoint>{{0.0, 3.0}, {100.0, 3.0}}}) {
        ShowFieldPseudoSection(*chart, points, values, 40.0, 60.0, deepest, surface);
        ASSERT_EQ(chart->VertexCount, 5);
        double lowest = 1e9, highest = -1e9;
        for (size_t p = 0; p < points.size(); ++p) {
            const dVertex3d& vertex = chart->Vertices[static_cast<int>(p) + 1];
            EXPECT_EQ(vertex.AxisY, *points[p].Elevation) << p;
            EXPECT_EQ(vertex.Z, -vertex.AxisY);
            EXPECT_EQ(vertex.AxisX, points[p].X);
            EXPECT_EQ(PlottedVertical(*chart, p, points[p].Depth), *points[p].Elevation);
            lowest = std::min(lowest, vertex.AxisY);
            highest = std::max(highest, vertex.AxisY);
        }
        EXPECT_EQ(PlottedVerticals(*chart, points)[2], *points[2].Elevation);
        const TChartAxis& vertical = *chart->LeftAxis();
        EXPECT_FALSE(vertical.Inverted());
        EXPECT_EQ(vertical.Title()->Caption(), QStringLiteral("Elevation (m)"));
        EXPECT_LT(vertical.Minimum(), lowest);
        EXPECT_GT(vertical.Maximum(), surface.empty() ? highest : 3.0);
        EXPECT_EQ(chart->SurfaceSeries->Active(), !surface.empty());
    }

    // One hole alone: its data stand in one column, shown without a fault.
    TSurvey single = survey;
    single.Configurations = {{0, 1, 3, 4}, {1, 2, 4, 5}, {0, 1, 4, 5}, {2, -1, 3, 4}};
    const std::vector<TPseudoPoint> column = PseudoSectionPoints(single);
    for (const TPseudoPoint& point : column)
        EXPECT_EQ(point.X, 44.0);
    ASSERT_NO_THROW(ShowFieldPseudoSection(*chart, column, {1.0, 2.0, 3.0, 4.0}, 40.0, 60.0, deepest));
    EXPECT_EQ(chart->VertexCount, 4);
    EXPECT_NO_THROW(chart->Widget()->grab());
    // No triangle colours one column: its dots are shown.
    EXPECT_TRUE(dynamic_cast<TCustomSeries&>(*chart->GridPointSeries).Pointer()->Visible());

    // A line on a lake's bottom, 3 m under water: buried, in no hole; its
    // data keep their pseudo-depths.
    TSurvey lake = LineOf(8, 2.0);
    for (TElectrode& electrode : lake.Electrodes) {
        electrode.z = -3.0;
        electrode.Depth = 3.0;
    }
    lake.Configurations = ArrayConfigurations(TArrayKind::Wenner, 8, 2);
    const std::vector<TPseudoPoint> bottom = PseudoSectionPoints(lake);
    EXPECT_FALSE(PlacedPseudoPoints(bottom));
    EXPECT_DOUBLE_EQ(bottom[0].Depth, MedianDepthOfInvestigation(lake, lake.Configurations[0]));

    // The same survey with every electrode on the surface: pseudo-depths.
    for (TElectrode& electrode : survey.Electrodes)
        electrode.Depth = 0.0;
    const std::vector<TPseudoPoint> surfacePoints = PseudoSectionPoints(survey);
    EXPECT_FALSE(PlacedPseudoPoints(surfacePoints));
    EXPECT_DOUBLE_EQ(surfacePoints[0].Depth, MedianDepthOfInvestigation(survey, survey.Configurations[0]));
}

TEST(ForwardPseudoSection, FillsTheChartsTablesConsistently)
{
    TSurvey survey = LineOf(16, 10.0);
    survey.Configurations = ArrayConfigurations(TArrayKind::Wenner, 16, 4);
    const std::vector<TPseudoPoint> points = PseudoSectionPoints(survey);
    std::vector<double> values;
    for (const TPseudoPoint& point : points)
        values.push_back(50.0 + point.X / 10.0);
    TPseudoSection2d chart;
    FillPseudoSection(chart, points, values);
    ASSERT_EQ(chart.VertexCount, static_cast<int>(points.size()));
    ASSERT_GE(chart.TriangleCount, chart.VertexCount - 2 - 8); // a triangulated strip of rows
    std::set<int> used;
    int boundary = 0;
    for (int t = 1; t <= chart.TriangleCount; ++t) {
        const TPseudoTriangle& triangle = chart.Triangles[t];
        for (size_t e = 0; e < 3; ++e) {
            used.insert(triangle.V[e]);
            const int other = triangle.Neighbour[e];
            if (other == 0) {
                EXPECT_EQ(triangle.EdgeKind[e], 1);
                ++boundary;
                continue;
            }
            EXPECT_EQ(triangle.EdgeKind[e], 0);
            const TPseudoTriangle& neighbour = chart.Triangles[other];
            const size_t back = triangle.NeighbourEdge[e];
            EXPECT_EQ(neighbour.Neighbour[back], t);
            EXPECT_EQ(std::minmax(neighbour.V[back], neighbour.V[(back + 1) % 3]),
                      std::minmax(triangle.V[e], triangle.V[(e + 1) % 3]));
        }
    }
    EXPECT_EQ(static_cast<int>(used.size()), chart.VertexCount);
    EXPECT_GE(boundary, 3);
    for (int v = 1; v <= chart.VertexCount; ++v) {
        EXPECT_EQ(chart.Vertices[v].AxisX, points[static_cast<size_t>(v - 1)].X);
        EXPECT_EQ(chart.Vertices[v].AxisY, points[static_cast<size_t>(v - 1)].Depth);
        EXPECT_NEAR(chart.Vertices[v].Value, values[static_cast<size_t>(v - 1)], 1e-4 * values[static_cast<size_t>(v - 1)]);
    }
    // Positive data: the logarithmic scale, levels inside the range.
    EXPECT_TRUE(chart.LogDataScale);
    ASSERT_EQ(chart.Levels.Length(), chart.LevelCount);
    EXPECT_GT(chart.Levels[0], chart.DataMin * 0.99);
    EXPECT_LT(chart.Levels[chart.LevelCount - 1], chart.DataMax * 1.01);

    // A value of 0 (a chargeability) keeps the scale linear.
    values.front() = 0.0;
    FillPseudoSection(chart, points, values);
    EXPECT_FALSE(chart.LogDataScale);
    EXPECT_THROW(FillPseudoSection(chart, points, {1.0}), ERangeError);
}

} // namespace
} // namespace lp
