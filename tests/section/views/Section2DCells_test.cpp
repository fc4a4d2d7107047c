#include "section/views/Section2D.h"

#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTitles.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/section/views/ViewsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace lp {
namespace {

using test::EvenBounds;
using test::FillMesh;

// A 2 x 2 mesh over 0..2 on a 101 x 101 picture: boundaries at pixels 0,
// 50 and 100; borders drawn, painting recorded.
struct TRecordedMesh {
    TRecordedMesh()
    {
        FillMesh(Chart, EvenBounds(2, 1), EvenBounds(2, 1));
        Chart.CellPicture().SetSize(101, 101);
        Chart.ShowMesh = false;
    }
    void Set(int C, int R, double V) { Chart.SetCellValue(C, R, V); }
    QStringList Draw(int C, int R, bool Isolated)
    {
        DC.ClearCalls();
        Chart.DrawCell(C, R, Isolated, &Canvas);
        return DC.CallsStartingWith(QStringLiteral("MoveTo")) + DC.CallsStartingWith(QStringLiteral("LineTo")) +
               DC.CallsStartingWith(QStringLiteral("SetPixel"));
    }
    TTModelSection2d Chart;
    TRecordingDC DC{200, 200};
    TCanvas Canvas{&DC};
};

QString Call(const char* Name, int X, int Y)
{
    return QStringLiteral("%1(%2,%3").arg(QLatin1String(Name)).arg(X).arg(Y);
}

bool HasCall(const QStringList& Calls, const QString& Start)
{
    return std::any_of(Calls.begin(), Calls.end(), [&](const QString& c) {
        return c.startsWith(Start + QLatin1Char(')')) || c.startsWith(Start + QLatin1Char(','));
    });
}

TEST(MeshCellBorders, DrawnBetweenCellsMoreThanTheThresholdApart)
{
    TRecordedMesh mesh;
    mesh.Set(0, 0, 1);
    mesh.Set(1, 0, 2);  // 10 % of the 0..10 scale: no border
    QStringList calls = mesh.Draw(1, 0, false);
    EXPECT_FALSE(HasCall(calls, Call("LineTo", 50, 50))) << calls.join(' ').toStdString();
    // Top (first row) and right (last column) borders, with end pixels.
    EXPECT_TRUE(HasCall(calls, Call("LineTo", 100, 0)));
    EXPECT_TRUE(HasCall(calls, Call("LineTo", 100, 50)));
    EXPECT_TRUE(HasCall(calls, Call("SetPixel", 100, 50)));
    mesh.Set(1, 0, 2.05);  // 10.5 %
    calls = mesh.Draw(1, 0, false);
    EXPECT_TRUE(HasCall(calls, Call("LineTo", 50, 50)));
    EXPECT_TRUE(HasCall(calls, Call("SetPixel", 50, 50)));
}

TEST(MeshCellBorders, LastRowHasNoBottomAndInnerCellsOnlyWhenIsolated)
{
    TRecordedMesh mesh;
    mesh.Set(0, 0, 9);
    mesh.Set(1, 0, 9);
    mesh.Set(1, 1, 9);  // (0, 1) keeps 1.0, far from 9
    // Over a differing cell: a bottom border only when painted alone; no
    // right border into an equal neighbour.
    EXPECT_FALSE(HasCall(mesh.Draw(0, 0, false), Call("MoveTo", 0, 50)));
    const QStringList alone = mesh.Draw(0, 0, true);
    EXPECT_TRUE(HasCall(alone, Call("MoveTo", 0, 50)) && HasCall(alone, Call("LineTo", 50, 50)));
    EXPECT_FALSE(HasCall(alone, Call("MoveTo", 50, 0)));
    // The last row's cell: its left border against (0, 1) and the last
    // column's right border, but never a bottom one.
    const QStringList last = mesh.Draw(1, 1, true);
    EXPECT_TRUE(HasCall(last, Call("MoveTo", 50, 50)) && HasCall(last, Call("LineTo", 50, 100)));
    EXPECT_TRUE(HasCall(last, Call("MoveTo", 100, 50)) && HasCall(last, Call("LineTo", 100, 100)));
    EXPECT_TRUE(HasCall(last, Call("SetPixel", 100, 100)));
    EXPECT_FALSE(HasCall(last, Call("MoveTo", 50, 100)));
}

TEST(MeshCellBorders, CellsUnderTwoPixelsGetNone)
{
    TRecordedMesh mesh;
    mesh.Chart.CellPicture().SetSize(3, 101);  // columns 1 pixel wide
    mesh.Set(1, 0, 9);
    EXPECT_TRUE(mesh.Draw(1, 0, true).filter(QStringLiteral("LineTo")).isEmpty());
    EXPECT_FALSE(mesh.DC.CallsStartingWith(QStringLiteral("Polygon")).isEmpty());
}

// The pixels of a cell's inside that carry the dot colour.
std::set<std::pair<int, int>> DotsInside(const QImage& Image, QRect Inside, QRgb Dot)
{
    std::set<std::pair<int, int>> dots;
    for (int y = Inside.top(); y <= Inside.bottom(); ++y)
        for (int x = Inside.left(); x <= Inside.right(); ++x)
            if ((Image.pixel(x, y) & 0xFFFFFF) == (Dot & 0xFFFFFF))
                dots.insert({x % 8, y % 8});
    return dots;
}

TEST(MeshCellPatterns, SelectedAndFixedCellsShowEightDotsPerTile)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(2, 1), EvenBounds(1, 1));
    chart.CellPicture().SetSize(81, 41);  // cells 40 x 40 pixels
    chart.ShowMesh = false;
    chart.ShowBorders = false;
    const std::set<std::pair<int, int>> eight{{0, 0}, {4, 0}, {2, 2}, {6, 2}, {0, 4}, {4, 4}, {2, 6}, {6, 6}};
    const QRect left(2, 2, 36, 36), right(42, 2, 36, 36);
    struct TCase {
        bool Selected, Fixed;
        QRgb Dot;
    };
    for (const TCase& c : {TCase{true, false, 0xFFFFFF}, {false, true, 0x000000}, {true, true, 0x808080}}) {
        chart.Selected[0][0] = c.Selected;
        chart.Fixed[0][0] = c.Fixed;
        chart.PaintCells();
        const QImage image = chart.CellPicture().Image();
        EXPECT_EQ(DotsInside(image, left, c.Dot), eight) << c.Selected << c.Fixed;
        // The plain cell painted next shows its own colour only.
        const QRgb plain = image.pixel(60, 20);
        EXPECT_EQ(plain & 0xFFFFFF, QRgb(0xFFFFFF & qRgb(GetRValue(chart.ValueToColor(1)), GetGValue(chart.ValueToColor(1)),
                                                         GetBValue(chart.ValueToColor(1)))));
        for (int y = right.top(); y <= right.bottom(); ++y)
            for (int x = right.left(); x <= right.right(); ++x)
                ASSERT_EQ(image.pixel(x, y), plain) << x << "," << y;
    }
}

TEST(MeshCellPainting, WholeMeshResetsTheCurrentCellAndReliefFillsBelow)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(2, 1), EvenBounds(2, 1));
    chart.CellPicture().SetSize(101, 121);
    chart.CurCol = 1;
    chart.CurRow = 1;
    TRecordingDC dc{200, 200};
    TCanvas canvas{&dc};
    chart.PaintCells(&canvas);
    EXPECT_EQ(chart.CurCol, 0);
    EXPECT_EQ(chart.CurRow, 0);
    const int plainPolygons = dc.CallsStartingWith(QStringLiteral("Polygon")).size();
    EXPECT_EQ(plainPolygons, 4);
    for (int knots : {2, 3}) {
        chart.ReliefX = EvenBounds(knots - 1, 2.0 / (knots - 1));
        chart.ReliefZ = arofdoubleM(knots, 0.0);
        chart.UpdateReliefShift();
        dc.ClearCalls();
        chart.PaintCells(&canvas);
        // Three or more relief entries: one fill under each last-row cell.
        EXPECT_EQ(dc.CallsStartingWith(QStringLiteral("Polygon")).size(), plainPolygons + (knots >= 3 ? 2 : 0));
    }
}

TEST(MeshCellPainting, PartialRepaintsStayInsideTheMesh)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(3, 1), EvenBounds(3, 1));
    chart.CellPicture().SetSize(61, 61);
    for (int outside : {-1, 3})
        chart.RedrawCell(outside, 0), chart.RedrawCell(0, outside);
    for (int boundary : {-1, 0, 3, 4}) {
        chart.RedrawColumnsAround(boundary);
        chart.RedrawRowsAround(boundary);
    }
    std::vector<double> corners;
    chart.OnCellDrawn = [&](double X1, double X2, double Z1, double Z2, double Z3, double Z4) {
        corners = {X1, X2, Z1, Z2, Z3, Z4};
    };
    chart.PaintCells();
    const QRgb before = chart.CellPicture().Image().pixel(21, 50);
    chart.HighlightCell(1, 2);
    EXPECT_EQ(corners, (std::vector<double>{1, 2, 2, 3, 2, 3}));
    // The outline inverts what lies under it, one pixel inside the cell.
    EXPECT_EQ(chart.CellPicture().Image().pixel(21, 50) & 0xFFFFFF, ~before & 0xFFFFFF);
    EXPECT_EQ(chart.CellPicture().Image().pixel(30, 50), before);
    chart.ReadOnly = true;
    corners.clear();
    chart.HighlightCell(1, 2);
    EXPECT_TRUE(corners.empty());
}

TEST(MeshStatusTexts, PositionValueAndModeTexts)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(3, 1), EvenBounds(3, 1));
    chart.UpdateStatusTexts();
    EXPECT_TRUE(chart.ValueText.isEmpty());
    chart.CurCol = 1;
    chart.CurRow = 2;
    chart.PointerX = 1.5;
    chart.PointerZ = 0.5;
    chart.CellValueAtCursor = 3.2;
    chart.Fixed[1][2] = 1;
    chart.Limits[1][2] = {2, 5};
    chart.ToolMode = 4;
    chart.UpdateStatusTexts();
    EXPECT_EQ(chart.PositionText, QStringLiteral("X:1.5 Z:0.5 cellX:2 cellZ:3"));
    EXPECT_EQ(chart.ValueText, QStringLiteral("Value:3.2, fixed (Min:2.0, Max:5.0)"));
    EXPECT_EQ(chart.ModeText, QStringLiteral("Elleptic selection"));
    chart.Selected[1][2] = 1;
    chart.Fixed[1][2] = 0;
    chart.Limits[1][2] = {0, 0};
    chart.ToolMode = 12;
    chart.UpdateStatusTexts();
    EXPECT_EQ(chart.ValueText, QStringLiteral("Value:3.2, selected"));
    EXPECT_EQ(chart.ModeText, QStringLiteral("Elleptic selection"));
}

TEST(MeshCellPainting, RepaintCellsFillsThePictureBeforeTheChartShowsIt)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(2, 5), EvenBounds(2, 5));
    TBitmap screen(chart.Width(), chart.Height());
    chart.DrawToCanvas(&screen.Canvas(), chart.GetRectangle());
    chart.RepaintCells();
    const TRect area = chart.CellArea();
    const QImage& cells = chart.CellPicture().Image();
    ASSERT_EQ(cells.size(), QSize(area.Width(), area.Height()));
    // Half-space cells (1.0 on the 0..10 scale) inside, not white.
    const lp::TColor expected = chart.ValueToColor(1.0);
    EXPECT_EQ(cells.pixel(cells.width() / 4, cells.height() / 4) & 0xFFFFFF,
              qRgb(expected & 0xFF, (expected >> 8) & 0xFF, (expected >> 16) & 0xFF) & 0xFFFFFF);
    // Without columns the picture is left white.
    TTModelSection2d empty;
    empty.DrawToCanvas(&screen.Canvas(), empty.GetRectangle());
    empty.RepaintCells();
    EXPECT_EQ(empty.CellPicture().Image().pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
}

// A fade table whitens each cell by its share, in the picture as in the
// colour the cell reports; a table of another size (a mesh edited after
// it was set) or a share that is no number leaves the colours as they are.
TEST(MeshCellPainting, CellsFadeTowardWhiteByTheirShare)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(2, 5), EvenBounds(2, 5));
    TBitmap screen(chart.Width(), chart.Height());
    chart.DrawToCanvas(&screen.Canvas(), chart.GetRectangle());
    const lp::TColor plain = chart.ValueToColor(1.0);
    const auto pixelAt = [&](int C, int R) {
        const QImage& cells = chart.CellPicture().Image();
        return cells.pixel(cells.width() * (2 * C + 1) / 4, cells.height() * (2 * R + 1) / 4) & 0xFFFFFF;
    };
    const auto rgb = [](lp::TColor Color) {
        return qRgb(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF) & 0xFFFFFF;
    };
    chart.CellFade = ararofdoubleM{arofdoubleM{0.0, 0.5}, arofdoubleM{1.0, std::nan("")}};
    chart.RepaintCells();
    EXPECT_EQ(pixelAt(0, 0), rgb(plain));
    EXPECT_EQ(pixelAt(0, 1), rgb(FadedColor(plain, 0.5)));
    EXPECT_EQ(pixelAt(1, 0), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(1, 1), rgb(plain));
    EXPECT_NE(FadedColor(plain, 0.5), plain);
    EXPECT_EQ(chart.ShownCellColor(0, 1), FadedColor(plain, 0.5));
    // Each channel halfway to white.
    EXPECT_EQ(FadedColor(0x000000, 0.5), 0x808080);
    EXPECT_EQ(FadedColor(0x0000FF, 1.0), 0xFFFFFF);
    // A third column: the table no longer fits and nothing fades.
    chart.InsertColBound(true, 2.5);
    ASSERT_EQ(chart.LastCol, 2);
    chart.RepaintCells();
    for (int c = 0; c <= chart.LastCol; ++c)
        EXPECT_EQ(chart.ShownCellColor(c, 0), plain) << c;
}

// The whole chart: a 20 x 10 mesh under a relief, a selected block, a
// fixed cell, borders between differing cells, the colour bar with its
// marker and units label.
// Sheared cells (rows bent over a relief, steep and gentle) leave no
// pixel unpainted between neighbours: down every pixel column, from the
// first pixel of the cells' one colour to the last, nothing else shows.
TEST(MeshCellPainting, ShearedCellsLeaveNoPinholes)
{
    struct Row {
        const char* Name;
        arofdoubleM ReliefX, ReliefZ;
    };
    for (const Row& row : {Row{"gentle", {0, 40, 70, 100}, {8, 3, 6, 0}}, Row{"steep", {0, 30, 60, 100}, {0, 25, 2, 30}}}) {
        SCOPED_TRACE(row.Name);
        TTModelSection2d chart;
        FillMesh(chart, EvenBounds(20, 5), EvenBounds(10, 4));
        chart.ShowMesh = false; // the cells' fills alone, as the image shows them
        chart.ReliefX = row.ReliefX;
        chart.ReliefZ = row.ReliefZ;
        chart.UpdateReliefShift();
        chart.ModelBottom = 40 + chart.MaxReliefShift;
        double value = 3.0;
        for (int c = 0; c <= chart.LastCol; ++c)
            for (int r = 0; r <= chart.LastRow; ++r)
                chart.SetCellValue(c, r, value);
        TBitmap picture(chart.Width(), chart.Height());
        chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
        chart.RepaintCells();
        const QImage cells = chart.CellPicture().ToImage();
        const QRgb colour = cells.pixel(cells.width() / 2, cells.height() / 2);
        int holes = 0;
        for (int x = 0; x < cells.width(); ++x) {
            int first = -1, last = -1;
            for (int y = 0; y < cells.height(); ++y)
                if (cells.pixel(x, y) == colour) {
                    first = first < 0 ? y : first;
                    last = y;
                }
            for (int y = first; first >= 0 && y <= last; ++y)
                holes += cells.pixel(x, y) != colour;
        }
        EXPECT_EQ(holes, 0);
    }
}

TEST(MeshChartPicture, MatchesTheReference)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(20, 5), EvenBounds(10, 4));
    chart.ReliefX = arofdoubleM{0, 40, 70, 100};
    chart.ReliefZ = arofdoubleM{8, 3, 6, 0};
    chart.UpdateReliefShift();
    chart.ModelBottom = 40 + chart.MaxReliefShift;
    chart.ExtentSeries->AddXY(chart.ModelLeft, chart.ModelTop);
    chart.ExtentSeries->AddXY(chart.ModelRight, chart.ModelBottom);
    for (int c = 0; c <= chart.LastCol; ++c)
        for (int r = 0; r <= chart.LastRow; ++r) {
            double v = r < 3 ? 2.0 : (c > 6 && c < 13 && r > 4) ? 9.0 : 1.0 + 0.4 * r;
            chart.SetCellValue(c, r, v);
        }
    for (int c = 2; c <= 4; ++c)
        for (int r = 1; r <= 2; ++r)
            chart.Selected[c][r] = 1;
    chart.Fixed[15][6] = 1;
    chart.Fixed[4][2] = 1;
    chart.ColAnchored[10] = 1;
    chart.CursorValue = 6.5;
    // A title gives the units label room above the bar.
    chart.Title()->Text()->Add(QStringLiteral("Resistivity model"));
    TBitmap picture(chart.Width(), chart.Height());
    chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());  // lays the axes out
    chart.RepaintCells();
    chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(picture.Image(), QStringLiteral("views"), QStringLiteral("mesh-chart")));
}

} // namespace
} // namespace lp
