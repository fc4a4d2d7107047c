// The mesh chart's whole-mesh paint against its floor: 500 x 200 cells
// painted into the cell picture by PaintCells, and the same number of
// quadrilaterals (100,000) filled with their colours and outlined by one
// plain QPainter on an image of the same size. Both are timed in every
// iteration; the counters give each time and their ratio (cells over floor).
// Then the mesh edits that move every per-cell table, and a MagicWand.

#include "chart/engine/PlotChart.h"
#include "platform/graphics/Bitmap.h"
#include "section/views/Section2D.h"

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

} // namespace
