#include "section/modelling/ForwardPseudoSection.h"

#include "section/views/PseudoSection2D.h"

#include <gtest/gtest.h>

#include <cmath>
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

// The median depths of investigation published for the regular arrays
// (a the spacing): Wenner 0.519 a; dipole-dipole 0.416, 0.697, 0.962 a for
// n = 1, 2, 3; Wenner-Schlumberger 0.925 a for n = 2.
TEST(ForwardPseudoSection, MedianDepthsOfTheRegularArraysAreTheKnownOnes)
{
    const TSurvey survey = LineOf(12, 10.0);
    const auto depth = [&](TConfiguration c) { return MedianDepthOfInvestigation(survey, c) / 10.0; };
    EXPECT_NEAR(depth({0, 3, 1, 2}), 0.519, 0.003);  // Wenner, a = 10
    EXPECT_NEAR(depth({0, 6, 2, 4}) / 2, 0.519, 0.003); // Wenner, a = 20: scales with a
    EXPECT_NEAR(depth({0, 1, 2, 3}), 0.416, 0.003);
    EXPECT_NEAR(depth({0, 1, 3, 4}), 0.697, 0.003);
    EXPECT_NEAR(depth({0, 1, 4, 5}), 0.962, 0.003);
    EXPECT_NEAR(depth({0, 5, 2, 3}), 0.925, 0.005);
    // Reciprocity: current and potential electrodes swapped, the same depth.
    EXPECT_NEAR(depth({2, 3, 0, 1}), 0.416, 0.003);
    // A pole-pole of distance L: 1 - L / √(L² + 4 z²) = 1/2 at z = L √3 / 2.
    EXPECT_NEAR(depth({0, -1, 1, -1}), std::sqrt(3.0) / 2, 1e-6);
    // Electrodes that measure nothing over a homogeneous ground: depth 0.
    EXPECT_EQ(MedianDepthOfInvestigation(survey, {0, 2, 1, 1}), 0.0);
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

// The chart's tables as the rendering relies on them: every shared edge
// linked both ways with the edge's number in the neighbour, the others the
// outer boundary; every vertex one point.
// A field survey's dots would hide the colours: dense data over a wide
// axis are shown by the colour fill alone, a few data keep their dots.
TEST(ForwardPseudoSection, DatumMarksOnlyWhereTheyLeaveTheColoursVisible)
{
    TSurvey dense = LineOf(200, 1.0);
    dense.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 200, 6);
    const std::vector<TPseudoPoint> many = PseudoSectionPoints(dense);
    EXPECT_FALSE(DatumMarksLeaveTheColours(many, 0.0, 200.0));  // gaps of 0.5 m: 400 columns
    EXPECT_TRUE(DatumMarksLeaveTheColours(many, 90.0, 140.0));  // zoomed to 50 m: 100 columns
    TSurvey sparse = LineOf(24, 10.0);
    sparse.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 24, 6);
    const std::vector<TPseudoPoint> few = PseudoSectionPoints(sparse);
    EXPECT_TRUE(DatumMarksLeaveTheColours(few, 0.0, 230.0));
    EXPECT_TRUE(DatumMarksLeaveTheColours({}, 0.0, 1.0));
    // Through the chart: the dots' series is off for the dense survey.
    TMetafile metafile;
    std::unique_ptr<TPseudoSection2d> chart(CreateFieldPseudoSection(QStringLiteral("Measured"), metafile));
    std::vector<double> values(many.size(), 100.0);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] += static_cast<double>(i % 7);
    ShowFieldPseudoSection(*chart, many, values, 0.0, 200.0, 20.0, false);
    EXPECT_FALSE(chart->GridPointSeries->Active());
    EXPECT_EQ(chart->GridPointSeries->Count(), static_cast<int>(many.size()));
    std::vector<double> fewValues(few.size(), 50.0);
    fewValues.front() = 60.0;
    ShowFieldPseudoSection(*chart, few, fewValues, 0.0, 230.0, 20.0, false);
    EXPECT_TRUE(chart->GridPointSeries->Active());
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
