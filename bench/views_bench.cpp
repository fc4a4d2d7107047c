// The mesh chart's whole-mesh paint against its floor: 500 x 200 cells
// painted into the cell picture by PaintCells, and the same number of
// quadrilaterals (100,000) filled with their colours and outlined by one
// plain QPainter on an image of the same size. Both are timed in every
// iteration; the counters give each time and their ratio (cells over floor).
// Then the mesh edits that move every per-cell table, and a MagicWand.
// Last the pseudo-section picture against the same triangles filled flat.

#include "chart/engine/PlotChart.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Metafile.h"
#include "section/views/PseudoSection2D.h"
#include "section/views/Section2D.h"
#include "tests/section/views/PseudoSectionTestUtil.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Cols = 500;
constexpr int Rows = 200;
constexpr int PictureWidth = 1501;
constexpr int PictureHeight = 801;

lp::arofdoubleM Bounds(int Count)
{
    lp::arofdoubleM bounds(Count + 1);
    for (int i = 0; i <= Count; ++i)
        bounds[i] = i;
    return bounds;
}

// A layered model with a few contrasting blocks, so borders are drawn too,
// and a sloping relief.
void FillChart(lp::TTModelSection2d& Chart)
{
    const lp::arofdoubleM cols = Bounds(Cols), rows = Bounds(Rows);
    Chart.ModelLeft = 0;
    Chart.ModelRight = Cols;
    Chart.ModelTop = 0;
    Chart.ReliefX = lp::arofdoubleM{0, Cols / 2.0, Cols};
    Chart.ReliefZ = lp::arofdoubleM{10, 0, 5};
    Chart.Layers = lp::DynArray<lp::ararofdoubleM>(1);
    Chart.LayerOrder = lp::arofintM{0};
    Chart.SetColBounds(cols.Length(), &cols);
    Chart.SetRowBounds(rows.Length(), &rows);
    Chart.UpdateReliefShift();
    Chart.ModelBottom = Rows + Chart.MaxReliefShift;
    std::mt19937 random(7);
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            double v = 1 + 8.0 * r / Rows + ((c / 50 + r / 40) % 3 == 0 ? 1.5 : 0);
            Chart.SetCellValue(c, r, v);
            Chart.Selected[c][r] = random() % 50 == 0;
        }
    Chart.CellPicture().SetSize(PictureWidth, PictureHeight);
}

// The floor: every cell's quadrilateral, mapped beforehand, with its colour.
struct TQuad {
    QPolygon Points;
    QColor Color;
};

std::vector<TQuad> FloorQuads(lp::TTModelSection2d& Chart)
{
    std::vector<TQuad> quads;
    quads.reserve(static_cast<size_t>(Cols) * Rows);
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            const int xL = Chart.XToCellPixel(Chart.ColBounds[c]), xR = Chart.XToCellPixel(Chart.ColBounds[c + 1]);
            const double sL = Chart.ReliefShift[c], sR = Chart.ReliefShift[c + 1];
            QPolygon quad;
            quad << QPoint(xL, Chart.ZToCellPixel(sL + Chart.RowBounds[r]))
                 << QPoint(xL, Chart.ZToCellPixel(sL + Chart.RowBounds[r + 1]))
                 << QPoint(xR, Chart.ZToCellPixel(sR + Chart.RowBounds[r + 1]))
                 << QPoint(xR, Chart.ZToCellPixel(sR + Chart.RowBounds[r]));
            const lp::TColor color = Chart.ValueToColor(Chart.CellValue(c, r));
            quads.push_back({quad, QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF)});
        }
    return quads;
}

void BM_PaintCellsVsFloor(benchmark::State& state)
{
    lp::TTModelSection2d chart;
    FillChart(chart);
    const std::vector<TQuad> quads = FloorQuads(chart);
    QImage floorImage(PictureWidth, PictureHeight, QImage::Format_RGB32);
    double cellSeconds = 0, floorSeconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        chart.PaintCells();
        const auto middle = Clock::now();
        {
            QPainter painter(&floorImage);
            painter.setPen(QColor(0x80, 0x80, 0x80));
            for (const TQuad& quad : quads) {
                painter.setBrush(quad.Color);
                painter.drawPolygon(quad.Points);
            }
        }
        const auto end = Clock::now();
        cellSeconds += std::chrono::duration<double>(middle - start).count();
        floorSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(std::chrono::duration<double>(middle - start).count());
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["cells_ms"] = cellSeconds / iterations * 1000;
    state.counters["floor_ms"] = floorSeconds / iterations * 1000;
    state.counters["ratio"] = floorSeconds > 0 ? cellSeconds / floorSeconds : 0;
    state.SetItemsProcessed(state.iterations() * Cols * Rows);
}
BENCHMARK(BM_PaintCellsVsFloor)->UseManualTime()->Unit(benchmark::kMillisecond);

// "Thin mesh" then "Thick mesh" along the columns of the same 500 x 200 mesh
// with three layers: 500 insertions and 500 removals, each moving every
// per-cell table, and the two whole-mesh paints that end them. With the
// argument 0 the cell picture is empty, so the edits are timed alone.
void BM_ThinThenThickenColumns(benchmark::State& state)
{
    lp::TTModelSection2d chart;
    FillChart(chart);
    if (state.range(0) == 0)
        chart.CellPicture().SetSize(0, 0);
    chart.AddLayer();
    chart.AddLayer();
    double thinSeconds = 0, thickenSeconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        chart.ThinColumns();
        const auto middle = Clock::now();
        chart.ThickenColumns();
        const auto end = Clock::now();
        thinSeconds += std::chrono::duration<double>(middle - start).count();
        thickenSeconds += std::chrono::duration<double>(end - middle).count();
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["thin_ms"] = thinSeconds / iterations * 1000;
    state.counters["thicken_ms"] = thickenSeconds / iterations * 1000;
    if (chart.LastCol + 1 != Cols)
        state.SkipWithError("the mesh did not come back to its columns");
}
BENCHMARK(BM_ThinThenThickenColumns)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// A MagicWand selection over the same mesh, seeded in its middle with the
// default tolerance: the whole mask is classified, flooded and read back,
// and every cell whose selection changes is repainted (argument 1: from no
// selection; 0: the same selection again, no cell changes).
void BM_MagicWand(benchmark::State& state)
{
    lp::TTModelSection2d chart;
    FillChart(chart);
    chart.AddLayer();
    chart.AddLayer();
    // The wand reads the current layer: the model's, not a fresh one.
    chart.CurrentLayer = 0;
    chart.LayerOrder = lp::arofintM{0, 2, 1};
    lp::TPoint seed{Cols / 2, Rows / 2};
    int selected = 0;
    if (state.range(0) == 0)
        chart.SelectCells(seed.X, seed.Y, seed, seed, {}, chart.WandTolerance, 0);
    for (auto _ : state) {
        state.PauseTiming();
        if (state.range(0) == 1)
            for (lp::arofboolM& column : chart.Selected)
                for (lp::ByteBool& cell : column)
                    cell = 0;
        state.ResumeTiming();
        chart.SelectCells(seed.X, seed.Y, seed, seed, {}, chart.WandTolerance, 0);
    }
    for (const lp::arofboolM& column : chart.Selected)
        for (const lp::ByteBool& cell : column)
            selected += cell ? 1 : 0;
    state.counters["selected"] = selected;
}
BENCHMARK(BM_MagicWand)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// RenderPicture of a scattered section of 20,000 triangles with 15 levels
// (bands and contour lines) into a 1500 x 600 metafile, against its floor:
// the same triangles, mapped beforehand, each filled flat in the colour of
// its first vertex's band and recorded into the same metafile.
void BM_PseudoSectionRenderVsFlatFill(benchmark::State& state)
{
    lp::TPseudoSection2d chart;
    lp::test::FillScatteredSection(chart, 10060, 5);
    lp::TMetafile metafile;
    chart.PictureMetafile = &metafile;
    chart.PictureWidth = 1500;
    chart.PictureHeight = 600;
    chart.PrepareLevels();
    chart.ComputePictureScale();

    struct TFlat {
        std::vector<lp::TPoint> Points;
        lp::TColor Color;
    };
    std::vector<TFlat> flat;
    for (int t = 1; t <= chart.TriangleCount; ++t) {
        TFlat triangle;
        for (const int v : chart.Triangles[t].V)
            triangle.Points.push_back({chart.XToPixel(chart.Vertices[v].X), chart.ZToPixel(chart.Vertices[v].Z)});
        const double value = chart.Vertices[chart.Triangles[t].V[0]].Value;
        int band = 0;
        while (band < chart.Levels.Length() && chart.Levels[band] < value)
            ++band;
        triangle.Color = chart.BandColors[band];
        flat.push_back(std::move(triangle));
    }

    double renderSeconds = 0, floorSeconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        chart.RenderPicture();
        const auto middle = Clock::now();
        metafile.Clear();
        metafile.SetWidth(chart.PictureWidth);
        metafile.SetHeight(chart.PictureHeight);
        {
            lp::TMetafileCanvas canvas(metafile);
            canvas.Pen().SetStyle(lp::TPen::psClear);
            for (const TFlat& triangle : flat) {
                canvas.Brush().SetColor(triangle.Color);
                canvas.Polygon(triangle.Points);
            }
            canvas.Finish();
        }
        const auto end = Clock::now();
        renderSeconds += std::chrono::duration<double>(middle - start).count();
        floorSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(std::chrono::duration<double>(middle - start).count());
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["triangles"] = chart.TriangleCount;
    state.counters["render_ms"] = renderSeconds / iterations * 1000;
    state.counters["floor_ms"] = floorSeconds / iterations * 1000;
    state.counters["ratio"] = floorSeconds > 0 ? renderSeconds / floorSeconds : 0;
}
BENCHMARK(BM_PseudoSectionRenderVsFlatFill)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
