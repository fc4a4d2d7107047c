#include "section/views/CellRaster.h"

#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "section/views/Section2D.h"
#include "tests/section/views/ViewsTestUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace lp {
namespace {

constexpr int Width = 400, Height = 400;

// The first pixel where two pictures differ, or (-1, -1).
QPoint FirstDifference(const QImage& A, const QImage& B)
{
    for (int y = 0; y < A.height(); ++y)
        for (int x = 0; x < A.width(); ++x)
            if ((A.pixel(x, y) & 0xFFFFFF) != (B.pixel(x, y) & 0xFFFFFF))
                return {x, y};
    return {-1, -1};
}

void Clear(TBitmap& Picture)
{
    TCanvas& canvas = Picture.Canvas();
    canvas.Brush().SetBitmap(nullptr);
    canvas.Brush().SetColor(clWhite);
    canvas.FillRect({0, 0, Picture.Width(), Picture.Height()});
}

// Cells as the mesh chart draws them: vertical sides, sloping tops and
// bottoms of any steepness, widths and heights down to nothing, the fill
// under the last row reaching the picture's bottom, plain and dotted
// brushes; and forward border lines. The device and the raster must leave
// the same pixels.
TEST(CellRaster, LeavesThePixelsTheDeviceLeaves)
{
    TBitmap device(Width, Height), raster(Width, Height), dots(8, 8);
    std::array<QRgb, 64> pattern{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool dot = (x + y) % 4 == 0 && y % 2 == 0;
            dots.Canvas().SetPixel(x, y, dot ? clWhite : clLime);
            pattern[y * 8 + x] = dot ? 0xFFFFFFFF : 0xFF00FF00;
        }
    std::mt19937 random(11);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int shape = 0; shape < 1500; ++shape) {
        const int xL = below(Width - 70), xR = xL + below(shape % 3 ? 60 : 4);
        const int slope = shape % 4 == 0 ? 120 : 12;
        const int yTL = 125 + below(50), yTR = yTL + below(2 * slope + 1) - slope;
        const int height = below(shape % 2 ? 5 : 40);
        const int yBL = yTL + height + below(3), yBR = yTR + height + below(3);
        std::vector<TPoint> points{{xL, yTL}, {xL, yBL}, {xR, yBR}, {xR, yTR}, {xL, yTL}};
        if (shape % 5 == 4)
            points = {{xL, yBL}, {xR, yBR}, {xR, Height}, {xL, Height}};
        const bool dotted = shape % 3 == 1;
        const std::vector<std::pair<TPoint, TPoint>> lines{
            {{xL, yTL}, {xR, yTR}}, {{xL, yBL}, {xR + 3, yBR + 7}}, {{xL, yTL}, {xL, yBL}}, {{xR, yBR}, {xR, yBR}}};

        Clear(device);
        TCanvas& canvas = device.Canvas();
        canvas.Brush().SetColor(clRed);
        canvas.Brush().SetBitmap(dotted ? &dots : nullptr);
        canvas.Pen().SetColor(clGray);
        canvas.Polygon(points);
        canvas.Pen().SetColor(clBlack);
        Clear(raster);
        TCellRaster cells(raster);
        ASSERT_TRUE(cells.Holds(points.data(), static_cast<int>(points.size())));
        cells.Polygon(points.data(), static_cast<int>(points.size()), 0xFF808080, 0xFFFF0000,
                      dotted ? pattern.data() : nullptr);
        for (const auto& [from, to] : lines) {
            if (!TCellRaster::ForwardLine(from, to) || !cells.Holds(&to, 1))
                continue;
            canvas.MoveTo(from.X, from.Y);
            canvas.LineTo(to.X, to.Y);
            cells.Line(from, to, 0xFF000000);
        }
        const QPoint at = FirstDifference(device.Image(), raster.Image());
        ASSERT_EQ(at, QPoint(-1, -1)) << "shape " << shape << " from (" << xL << ", " << yTL << ") to (" << xR
                                      << ", " << yBR << ")";
    }
}

TEST(CellRaster, RefusesPointsOutsideThePictureAndBackwardLines)
{
    TBitmap picture(10, 10);
    const TCellRaster raster(picture);
    const TPoint inside[] = {{0, 0}, {9, 10}};
    const TPoint left[] = {{-1, 5}}, right[] = {{10, 5}}, under[] = {{5, 11}};
    EXPECT_TRUE(raster.Holds(inside, 2));
    EXPECT_FALSE(raster.Holds(left, 1));
    EXPECT_FALSE(raster.Holds(right, 1));
    EXPECT_FALSE(raster.Holds(under, 1));
    EXPECT_TRUE(TCellRaster::ForwardLine({0, 5}, {9, 2}));
    EXPECT_FALSE(TCellRaster::ForwardLine({9, 2}, {0, 5}));
    EXPECT_FALSE(TCellRaster::ForwardLine({0, 9}, {2, 0}));
    TBitmap empty;
    EXPECT_FALSE(TCellRaster(empty).Holds(inside, 1));
}

// The whole mesh, painted into the cell picture (straight into its pixels)
// and through a canvas (the device), comes out the same with and without
// mesh lines.
TEST(CellRaster, MeshPaintsMatchTheDevice)
{
    TTModelSection2d chart;
    test::FillMesh(chart, test::EvenBounds(37, 3), test::EvenBounds(23, 2));
    chart.ReliefX = arofdoubleM{0, 40, 70, 111};
    chart.ReliefZ = arofdoubleM{8, 3, 9, 0};
    chart.UpdateReliefShift();
    chart.ModelBottom = 46 + chart.MaxReliefShift;
    std::mt19937 random(5);
    for (int c = 0; c <= chart.LastCol; ++c)
        for (int r = 0; r <= chart.LastRow; ++r) {
            double v = 1 + (random() % 90) / 10.0;
            chart.SetCellValue(c, r, v);
            chart.Selected[c][r] = random() % 5 == 0;
            chart.Fixed[c][r] = random() % 7 == 0;
        }
    chart.CellPicture().SetSize(523, 311);
    TBitmap device(523, 311);
    for (bool mesh : {true, false}) {
        chart.ShowMesh = mesh;
        Clear(chart.CellPicture());
        Clear(device);
        chart.PaintCells();
        chart.PaintCells(&device.Canvas());
        EXPECT_EQ(FirstDifference(chart.CellPicture().Image(), device.Image()), QPoint(-1, -1)) << mesh;
        // A cell repainted alone, with all four of its borders.
        chart.RedrawCell(20, 11);
        chart.DrawCell(20, 11, true, &device.Canvas());
        EXPECT_EQ(FirstDifference(chart.CellPicture().Image(), device.Image()), QPoint(-1, -1)) << mesh;
    }
}

} // namespace
} // namespace lp
