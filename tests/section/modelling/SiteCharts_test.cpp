// The site's charts: the depths typed for slices, a slice's points as
// cells of a colour grid, the fence's quadrilaterals on their tracks (the
// padding off the map left out), the common scale over every line, and the
// fence painted farthest first whichever way the view is turned.

#include "section/modelling/SiteCharts.h"

#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "chart/engine/PlotValueList.h"
#include "section/inversion/InversionMesh.h"
#include "section/modelling/SiteFenceChart.h"
#include "section/modelling/SiteFenceSeries.h"

#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

TEST(SiteCharts, SliceDepthsAreReadAsTypedOrRefused)
{
    struct TCase {
        const char* Typed;
        const char* Read; // the texts kept, "|"-joined; empty: refused
    };
    for (const TCase& row : {TCase{"2, 5", "2|5"}, TCase{" 1.5;4  10 ", "1.5|4|10"}, TCase{"2,2.0,3", "2|3"},
                             TCase{"0.25", "0.25"}, TCase{"", ""}, TCase{" , ", ""}, TCase{"2, -1", ""},
                             TCase{"0, 3", "0|3"}, TCase{"two", ""}, TCase{"inf", ""}, TCase{"nan", ""}}) {
        SCOPED_TRACE(row.Typed);
        QString error;
        const std::optional<std::vector<TTypedDepth>> depths = ReadSliceDepths(QString::fromUtf8(row.Typed), error);
        if (*row.Read == '\0') {
            EXPECT_FALSE(depths);
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        ASSERT_TRUE(depths) << error.toStdString();
        QStringList texts;
        for (const TTypedDepth& depth : *depths) {
            texts << depth.Text;
            EXPECT_DOUBLE_EQ(depth.Depth, depth.Text.toDouble());
        }
        EXPECT_EQ(texts.join(QLatin1Char('|')).toStdString(), row.Read);
    }
}

// A 3 × 2 grid of points 2 m apart with its middle point of the first row
// missing: a cell centred on each point, the missing one hidden.
TEST(SiteCharts, ASlicesPointsBecomeCellsCentredOnThem)
{
    std::vector<TVolumePoint> slice;
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i)
            if (i != 1 || j != 0)
                slice.push_back({10.0 + 2.0 * i, 20.0 + 2.0 * j, 98.0, 2.0, 100.0 * (i + 1), 1.0});
    slice.push_back({14.0, 22.0, 98.0, 2.0, std::nan(""), 1.0}); // no number: left out
    TColorGridSeries grid;
    const auto colour = [](double Value) { return static_cast<TColor>(std::lround(Value)); };
    EXPECT_EQ(ShowSliceCells(grid, slice, colour, false), 5);
    ASSERT_EQ(grid.Count(), 4 * 3); // nodes: a column and a row more than the cells
    EXPECT_TRUE(grid.IrregularGrid());
    EXPECT_DOUBLE_EQ(grid.XValues()->Value(0), 9.0);
    EXPECT_DOUBLE_EQ(grid.ZValues()->Value(0), 19.0);
    // Node (i, j) at index j * 4 + i carries cell (i, j).
    EXPECT_EQ(grid.GetValueColor(0), static_cast<TColor>(100));
    EXPECT_EQ(grid.GetValueColor(1), clNone);
    EXPECT_EQ(grid.GetValueColor(2), static_cast<TColor>(300));
    EXPECT_EQ(grid.GetValueColor(4 + 1), static_cast<TColor>(200));
    EXPECT_EQ(grid.GetValueColor(3), clNone); // the closing column
    EXPECT_EQ(ShowSliceCells(grid, {}, colour, false), 0);
    EXPECT_EQ(grid.Count(), 0);
}

// A line bent at a right angle: east along y = 3 from x = 10 for 6 m, then
// north. Its image's columns reach 2 m beyond both ends (padding): those
// and the parts beyond the ends are left out; every quadrilateral's
// corners lie on the track at their distance, at the rows' elevations.
TEST(SiteCharts, TheFenceStandsOnTheTracksWithinTheirEnds)
{
    TSiteLine line;
    line.Name = "bent";
    for (double d = 0.0; d <= 12.0; d += 2.0) {
        const double x = d <= 6.0 ? 10.0 + d : 16.0, y = d <= 6.0 ? 3.0 : 3.0 + (d - 6.0);
        line.Track.push_back({x, y, 50.0 + 0.1 * d, d});
    }
    TLineImage image;
    image.Mesh.ColumnEdges = {-2.0, 1.0, 3.0, 6.0, 9.0, 12.0, 14.0};
    for (double x : image.Mesh.ColumnEdges)
        image.Mesh.Elevations.push_back(50.0 + 0.1 * std::clamp(x, 0.0, 12.0));
    image.Mesh.RowDepths = {0.0, 1.0, 3.0};
    image.Mesh.Level = 50.0;
    image.Mesh.Bottom = 45.0;
    image.Resistivities = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    TSiteImages images;
    images.Images.push_back(image);
    TSiteFenceSeries fence;
    const auto colour = [](double Value) { return static_cast<TColor>(std::lround(Value)); };
    // Five columns reach into the track (the first clipped to its start),
    // the last lies beyond its end: 5 by 2 rows.
    ASSERT_EQ(ShowFenceCells(fence, {line}, images, colour, false), 10);
    for (int quad = 0; quad < fence.QuadCount(); ++quad)
        for (int k = 0; k < 4; ++k) {
            const int point = 4 * quad + k;
            const double x = fence.XValues()->Value(point), y = fence.ZValues()->Value(point);
            // On the track: along y = 3 up to x = 16, then along x = 16.
            EXPECT_TRUE(std::abs(y - 3.0) < 1e-9 || std::abs(x - 16.0) < 1e-9) << quad << " " << k;
            EXPECT_GE(x, 10.0 - 1e-9);
            EXPECT_LE(y, 9.0 + 1e-9);
        }
    // The first quadrilateral: column 0 (-2 .. 1) clipped to 0 .. 1, row 0,
    // its top on the mesh's ground there (linear between the column's
    // edges, 50 and 50.1) and its bottom a metre below.
    const double ground = 50.0 + 0.1 * 2.0 / 3.0;
    EXPECT_DOUBLE_EQ(fence.XValues()->Value(0), 10.0);
    EXPECT_DOUBLE_EQ(fence.XValues()->Value(1), 11.0);
    EXPECT_NEAR(fence.YValues()->Value(0), ground, 1e-9);
    EXPECT_NEAR(fence.YValues()->Value(1), 50.1, 1e-9);
    EXPECT_NEAR(fence.YValues()->Value(3), ground - 1.0, 1e-9);
    EXPECT_EQ(fence.QuadColor(0), static_cast<TColor>(1));
    // Column by column, row by row: the last is row 1 of column 4 (cell 10).
    EXPECT_EQ(fence.QuadColor(9), static_cast<TColor>(11));
    // An image of another size than its mesh draws nothing.
    images.Images[0].Resistivities.pop_back();
    EXPECT_EQ(ShowFenceCells(fence, {line}, images, colour, false), 0);
    EXPECT_EQ(fence.QuadCount(), 0);
}

// The common scale spans the cells the data see over every line: a cell
// of no coverage beyond the others leaves it; a line without coverage
// counts all its cells.
TEST(SiteCharts, TheCommonScaleSpansEveryLinesSeenCells)
{
    TSiteImages images;
    images.Images.resize(2);
    for (int i = 0; i < 50; ++i) {
        images.Images[0].Resistivities.push_back(10.0 + i);
        images.Images[0].Coverage.push_back(1.0);
    }
    images.Images[0].Resistivities.push_back(1e6);
    images.Images[0].Coverage.push_back(0.0);
    images.Images[1].Resistivities.assign(50, 200.0);
    const std::optional<std::pair<double, double>> scale = SiteScale(images);
    ASSERT_TRUE(scale);
    EXPECT_NEAR(scale->first, 11.0, 1.0);
    EXPECT_DOUBLE_EQ(scale->second, 200.0);
    EXPECT_FALSE(SiteScale(TSiteImages{}));
}

// Two walls one behind the other (north 0 red, north 10 blue) seen from
// the south and from the north: the near one shows where they overlap,
// and a click there finds it.
TEST(SiteCharts, TheFenceIsPaintedFarthestFirstFromEitherSide)
{
    TSiteFenceChart chart;
    QWidget* host = chart.Widget();
    host->resize(500, 400);
    TSiteFenceSeries& fence = *chart.Fence();
    for (const auto& [north, colour] : {std::pair{0.0, clRed}, std::pair{10.0, clBlue}})
        ASSERT_TRUE(fence.AddQuad({TPointFloat3D{0.0, 10.0, north}, TPointFloat3D{10.0, 10.0, north},
                                   TPointFloat3D{10.0, 0.0, north}, TPointFloat3D{0.0, 0.0, north}},
                                  colour));
    EXPECT_FALSE(fence.AddQuad({TPointFloat3D{std::nan(""), 0.0, 0.0}, {}, {}, {}}, clRed));
    std::vector<TColor> seen;
    for (double rotation : {0.0, 180.0}) {
        chart.View3DOptions()->SetRotationFloat(rotation);
        chart.View3DOptions()->SetElevationFloat(0.0);
        host->repaint();
        const QImage picture = host->grab().toImage();
        ASSERT_EQ(fence.DrawnQuads().size(), 2u);
        const TSiteFenceSeries::TDrawnQuad& last = fence.DrawnQuads().back();
        QPoint centre;
        for (const TPoint& corner : last.Points)
            centre += QPoint(corner.X, corner.Y);
        centre /= 4;
        const QRgb pixel = picture.pixel(centre);
        const TColor shown = static_cast<TColor>(qRed(pixel) | (qGreen(pixel) << 8) | (qBlue(pixel) << 16));
        EXPECT_EQ(shown, last.Color) << rotation;
        EXPECT_EQ(fence.Clicked(centre.x(), centre.y()), last.Quad);
        seen.push_back(shown);
    }
    // Depth 0 is the chart's front: the red wall is the near one unturned.
    EXPECT_EQ(seen[0], clRed);
    EXPECT_EQ(seen[1], clBlue);
}

} // namespace
} // namespace lp
