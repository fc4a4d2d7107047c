#include "section/views/Section2D.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/export/PlotChartFile.h"
#include "tests/section/views/ViewsTestUtil.h"

#include <QtCore/QBuffer>

#include <gtest/gtest.h>

#include <random>

namespace lp {
namespace {

using test::EvenBounds;
using test::FillMesh;

TEST(MeshChartDefaults, ConstructionSetsTheChartUp)
{
    TTModelSection2d chart;
    EXPECT_EQ(chart.Width(), 783);
    EXPECT_EQ(chart.Height(), 324);
    EXPECT_EQ(chart.MarginLeft(), 25);
    EXPECT_EQ(chart.MarginRight(), 70);
    EXPECT_EQ(chart.MarginTop(), 1);
    EXPECT_EQ(chart.MarginBottom(), 20);
    EXPECT_EQ(chart.UnitsLabel, QStringLiteral("<font name=symbol>r<font name=arial size=-3>m"));
    ASSERT_EQ(chart.Palette.Length(), 251);
    EXPECT_EQ(chart.Palette[0], clBlue);
    EXPECT_EQ(chart.Palette[250], clRed);
}

// The mesh chart turns its picture (depth grows downward); a chart file of
// it reopened the picture the other way up, and opaque.
TEST(MeshChartDefaults, ItsChartFileReopensThePictureTheWayItIsDrawn)
{
    TTModelSection2d chart;
    chart.ImageTool->SetTransparency(35);
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    SaveChartToStream(&chart, file, true, true);
    file.close();
    file.open(QIODevice::ReadOnly);
    TChart reopened;
    TCustomChart* target = &reopened;
    LoadChartFromStream(target, file);
    TChartImageTool* tool = nullptr;
    for (int i = 0; i < reopened.Tools().Count() && !tool; ++i)
        tool = qobject_cast<TChartImageTool*>(reopened.Tools().Items(i));
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(tool->ReverseVertical());
    EXPECT_EQ(tool->Transparency(), 35);
}

TEST(MeshChartDefaults, ThePaperScaleExportEnlargesTheColourBarFont)
{
    TTModelSection2d mesh;
    TChart plain;
    const TCustomChart& asChart = mesh;
    EXPECT_EQ(asChart.PaperScaleExtraFont(), mesh.ColorBarFont.get());
    EXPECT_EQ(plain.PaperScaleExtraFont(), nullptr);
}

TEST(MeshCellValues, ValuesAreClampedAndReportChanges)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(2, 1), EvenBounds(2, 1));
    double v = 0;
    EXPECT_TRUE(chart.SetCellValue(0, 0, v));
    EXPECT_EQ(v, 1e-6);
    v = 5e9;
    EXPECT_TRUE(chart.SetCellValue(0, 0, v));
    EXPECT_EQ(chart.CellValue(0, 0), 1e9);
    v = 1e9;
    EXPECT_FALSE(chart.SetCellValue(0, 0, v));
    v = std::nan("");
    chart.SetCellValue(0, 1, v);
    EXPECT_EQ(chart.CellValue(0, 1), 1e-6);
}

TEST(MeshCellValues, FixedCellLimitsWidenToEveryValueWritten)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(3, 1), EvenBounds(4, 1));
    chart.Fixed[1][2] = 1;
    chart.Limits[1][2] = {2, 3};
    double v = 5;
    chart.SetCellValue(1, 2, v);
    EXPECT_EQ(chart.Limits[1][2], (complexM{2, 5}));
    v = 1;
    chart.SetCellValue(1, 2, v);
    EXPECT_EQ(chart.Limits[1][2], (complexM{1, 5}));
    // An unfixed cell keeps its limits.
    v = 7;
    chart.SetCellValue(0, 0, v);
    EXPECT_EQ(chart.Limits[0][0], (complexM{0, 0}));
}

TEST(MeshCellValues, HalfSpaceCellsShowTheLayerBelow)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(2, 1), EvenBounds(2, 1));
    double v = 4;
    chart.SetCellValue(1, 1, v);
    chart.AddLayer();
    EXPECT_EQ(chart.LayerOrder, (arofintM{1, 0}));
    EXPECT_EQ(chart.CurrentLayer, 1);
    EXPECT_EQ(chart.CellValue(1, 1), 4);
    v = 6;
    chart.SetCellValue(0, 0, v);
    EXPECT_EQ(chart.CellValue(0, 0), 6);
    chart.FlattenLayers();
    EXPECT_EQ(chart.Layers.Length(), 1);
    EXPECT_EQ(chart.LayerOrder, arofintM{0});
    EXPECT_EQ(chart.Layers[0][0][0], 6);
    EXPECT_EQ(chart.Layers[0][1][1], 4);
}

TEST(MeshCellValues, HalfSpaceValueMovesItsCellsAndWidensTheScale)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(2, 1), EvenBounds(2, 1));
    double v = 3;
    chart.SetCellValue(0, 0, v);
    int fired = 0;
    chart.OnAfterChangingParameter = [&](QObject*) { ++fired; };
    chart.SetHalfSpaceValue(20);
    EXPECT_EQ(chart.Layers[0][1][1], 20);
    EXPECT_EQ(chart.Layers[0][0][0], 3);
    EXPECT_EQ(chart.ScaleMin, 0);
    EXPECT_EQ(chart.ScaleMax, 20);
    EXPECT_EQ(fired, 1);
    chart.ReadOnly = true;
    chart.SetHalfSpaceValue(30);
    EXPECT_EQ(chart.HalfSpaceValue, 20);
}

TEST(MeshGeometry, ColumnsAreRedividedBetweenAnchoredBoundaries)
{
    TTModelSection2d chart;
    const arofdoubleM cols{0, 1, 2, 3, 10};
    FillMesh(chart, cols, EvenBounds(2, 1));
    chart.ColAnchored = arofboolM{0, 0, 1, 0, 0};
    int grid = 0;
    chart.OnChangingGrid = [&](QObject*) { ++grid; };
    chart.SetColBounds(5, nullptr);
    EXPECT_EQ(chart.ColBounds, (arofdoubleM{0, 1, 2, 6, 10}));
    EXPECT_EQ(chart.LastCol, 3);
    EXPECT_EQ(grid, 1);
}

TEST(MeshGeometry, RowsDivideTheDepthLessTheReliefShift)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(2, 5), EvenBounds(2, 5));
    chart.MaxReliefShift = 2;
    ASSERT_TRUE(chart.SetRowBounds(3, nullptr));
    EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 4, 8}));
    EXPECT_EQ(chart.LastRow, 1);
    for (int count : {1, 0, -3}) {
        EXPECT_FALSE(chart.SetRowBounds(count, nullptr)) << count;
        EXPECT_EQ(chart.RowBounds, (arofdoubleM{0, 4, 8}));
    }
}

TEST(MeshGeometry, TheReliefShiftsColumnBoundariesBelowTheHighestPoint)
{
    TTModelSection2d chart;
    FillMesh(chart, arofdoubleM{0, 5, 10}, EvenBounds(2, 5));
    chart.ReliefX = arofdoubleM{0, 10};
    chart.ReliefZ = arofdoubleM{5, 3};
    chart.UpdateReliefShift();
    EXPECT_TRUE(chart.HasRelief);
    EXPECT_EQ(chart.ReliefShift, (arofdoubleM{0, 1, 2}));
    EXPECT_EQ(chart.MaxReliefShift, 2);
    EXPECT_DOUBLE_EQ(chart.ReliefShiftAt(1, 7.5), 1.5);
}

TEST(MeshPointer, ZonesAndCellsUnderThePointer)
{
    TTModelSection2d chart;
    FillMesh(chart, EvenBounds(4, 1), EvenBounds(3, 1));
    chart.SetChartRectangle({100, 10, 300, 200});
    const struct {
        int X, Y, Zone;
    } zones[] = {{101, 10, 1}, {300, 200, 1}, {100, 50, 3 * 0}, {99, 50, 2}, {100, 201, 3}, {310, 10, 4},
                 {325, 200, 4}, {326, 50, 0}, {305, 50, 0}};
    for (const auto& z : zones) {
        chart.UpdatePointerZone(z.X, z.Y);
        EXPECT_EQ(chart.PointerZone, z.Zone) << z.X << "," << z.Y;
    }
    int c = 7, r = 7;
    chart.UpdatePointerZone(150, 50);
    // A shared boundary belongs to the lower index.
    ASSERT_TRUE(chart.CellAt(1.0, 2.0, c, r));
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 1);
    EXPECT_FALSE(chart.CellAt(-0.1, 1, c, r));
    EXPECT_FALSE(chart.CellAt(1, 3.5, c, r));
    chart.UpdatePointerZone(50, 50);
    c = r = 7;
    EXPECT_FALSE(chart.CellAt(1, 1, c, r));
    EXPECT_EQ(c, 7);
}

// The promises every operation keeps, whatever the order.
void ExpectInvariants(const TTModelSection2d& Chart)
{
    for (const arofdoubleM* bounds : {&Chart.ColBounds, &Chart.RowBounds})
        for (int i = 1; i < bounds->Length(); ++i)
            ASSERT_LT((*bounds)[i - 1], (*bounds)[i]);
    ASSERT_EQ(Chart.ColAnchored.Length(), Chart.ColBounds.Length());
    ASSERT_EQ(Chart.ReliefShift.Length(), Chart.ColBounds.Length());
    ASSERT_EQ(Chart.LayerOrder.Length(), Chart.Layers.Length());
    const int cols = Chart.LastCol + 1, rows = Chart.LastRow + 1;
    ASSERT_EQ(Chart.CellCount, cols * rows);
    const auto sized = [&](const auto& table) {
        ASSERT_EQ(table.Length(), cols);
        for (const auto& column : table)
            ASSERT_EQ(column.Length(), rows);
    };
    for (const ararofdoubleM& layer : Chart.Layers) {
        sized(layer);
        for (const arofdoubleM& column : layer)
            for (double v : column)
                ASSERT_TRUE(v >= MinCellValue && v <= MaxCellValue);
    }
    sized(Chart.Selected);
    sized(Chart.Fixed);
    sized(Chart.Limits);
}

TEST(MeshInvariants, HoldAfterRandomEditing)
{
    std::mt19937 random(31);
    for (int run = 0; run < 20; ++run) {
        TTModelSection2d chart;
        FillMesh(chart, EvenBounds(5, 2), EvenBounds(4, 1));
        chart.ReliefX = arofdoubleM{0, 10};
        chart.ReliefZ = arofdoubleM{1, 0};
        chart.UpdateReliefShift();
        for (int step = 0; step < 60; ++step) {
            const int c = std::uniform_int_distribution(0, chart.LastCol)(random);
            const int r = std::uniform_int_distribution(0, chart.LastRow)(random);
            double v = std::uniform_real_distribution(-5.0, 2e9)(random);
            switch (std::uniform_int_distribution(0, 6)(random)) {
            case 0: chart.SetCellValue(c, r, v); break;
            case 1: chart.SetHalfSpaceValue(v); break;
            case 2: chart.AddLayer(); break;
            case 3: chart.FlattenLayers(); break;
            case 4:
                chart.ColAnchored[std::uniform_int_distribution(0, chart.ColAnchored.High())(random)] = 1;
                chart.SetColBounds(std::uniform_int_distribution(3, 9)(random), nullptr);
                break;
            case 5: chart.SetRowBounds(std::uniform_int_distribution(-1, 8)(random), nullptr); break;
            case 6: chart.Fixed[c][r] = 1; chart.SetCellValue(c, r, v); break;
            }
            ExpectInvariants(chart);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

// The mesh chart's picture tool, made in code, was written to the chart
// file but read by no class the section program's chart start-up knew: the
// reopened chart had its two series and no tool.
TEST(MeshChartFile, ThePictureToolReadsBackOnItsSeries)
{
    TTModelSection2d mesh;
    FillMesh(mesh, EvenBounds(4, 2.5), EvenBounds(4, 2.5));
    test::SpanModelArea(mesh);
    for (const bool text : {false, true}) {
        SCOPED_TRACE(text ? "text file" : "binary file");
        TChart reopened;
        QStringList errors;
        test::ReopenChart(mesh, text, reopened, errors);
        EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(reopened.SeriesCount(), 2);
        ASSERT_EQ(reopened.Tools().Count(), 1);
        auto* tool = qobject_cast<TChartImageTool*>(reopened.Tools()[0]);
        ASSERT_NE(tool, nullptr);
        EXPECT_EQ(tool->Series(), reopened.Series(0));
        ASSERT_EQ(reopened.Series(0)->Count(), 2);
        EXPECT_EQ(reopened.Series(0)->GetXValue(1), 10.0);
        EXPECT_EQ(reopened.Series(0)->GetYValue(1), 10.0);
    }
}

} // namespace
} // namespace lp
