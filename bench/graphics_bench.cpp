// The cost of the device-context layer over plain QPainter: the same lines
// and filled polygons drawn both ways into a 1920 x 1080 image. The layer
// should stay within about ten per cent of QPainter.

#include "platform/graphics/Metafile.h"
#include "platform/graphics/PainterDC.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using namespace lp;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Scene {
    std::vector<QPoint> lineEnds;             // pairs
    std::vector<std::vector<QPoint>> polygons; // five corners each

    Scene(int lines, int polygonCount)
    {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> x(0, kWidth - 1), y(0, kHeight - 1), step(-40, 40);
        for (int i = 0; i < lines; ++i) {
            const QPoint a(x(random), y(random));
            lineEnds.push_back(a);
            lineEnds.push_back(a + QPoint(step(random), step(random)));
        }
        for (int i = 0; i < polygonCount; ++i) {
            const QPoint c(x(random), y(random));
            std::vector<QPoint> corners;
            for (int k = 0; k < 5; ++k)
                corners.push_back(c + QPoint(step(random) / 2, step(random) / 2));
            polygons.push_back(corners);
        }
    }
};

const Scene& TheScene()
{
    static const Scene scene(1000000, 100000);
    return scene;
}

QImage Target()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void Lines_QPainter(benchmark::State& state)
{
    const Scene& scene = TheScene();
    QImage image = Target();
    for (auto _ : state) {
        QPainter painter(&image);
        QPen pen(Qt::black, 0);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        for (size_t i = 0; i < scene.lineEnds.size(); i += 2)
            painter.drawLine(scene.lineEnds[i], scene.lineEnds[i + 1]);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(scene.lineEnds.size() / 2));
}
BENCHMARK(Lines_QPainter)->Unit(benchmark::kMillisecond);

void Lines_DeviceContext(benchmark::State& state)
{
    const Scene& scene = TheScene();
    QImage image = Target();
    for (auto _ : state) {
        TPainterDC dc(image);
        dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
        for (size_t i = 0; i < scene.lineEnds.size(); i += 2) {
            dc.MoveTo(scene.lineEnds[i].x(), scene.lineEnds[i].y());
            dc.LineTo(scene.lineEnds[i + 1].x(), scene.lineEnds[i + 1].y());
        }
        dc.Finish();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(scene.lineEnds.size() / 2));
}
BENCHMARK(Lines_DeviceContext)->Unit(benchmark::kMillisecond);

void Polygons_QPainter(benchmark::State& state)
{
    const Scene& scene = TheScene();
    QImage image = Target();
    for (auto _ : state) {
        QPainter painter(&image);
        QPen pen(Qt::black, 0);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.setBrush(QColor(200, 100, 50));
        for (const std::vector<QPoint>& corners : scene.polygons)
            painter.drawPolygon(corners.data(), static_cast<int>(corners.size()), Qt::OddEvenFill);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(scene.polygons.size()));
}
BENCHMARK(Polygons_QPainter)->Unit(benchmark::kMillisecond);

void Polygons_DeviceContext(benchmark::State& state)
{
    const Scene& scene = TheScene();
    std::vector<std::vector<TPoint>> polygons;
    for (const std::vector<QPoint>& corners : scene.polygons) {
        std::vector<TPoint> points;
        for (const QPoint& p : corners)
            points.push_back({p.x(), p.y()});
        polygons.push_back(points);
    }
    QImage image = Target();
    for (auto _ : state) {
        TPainterDC dc(image);
        dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
        dc.SelectBrush(CreateSolidBrush(RGB(200, 100, 50)));
        for (const std::vector<TPoint>& points : polygons)
            dc.Polygon(points.data(), static_cast<int>(points.size()));
        dc.Finish();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(polygons.size()));
}
BENCHMARK(Polygons_DeviceContext)->Unit(benchmark::kMillisecond);

// The same polygons recorded as a metafile: the recorder also measures the
// pixels each call inks, for the picture's exact bounds. Its floor is
// Polygons_DeviceContext (the same calls drawn into an image).
void Polygons_MetafileRecorder(benchmark::State& state)
{
    const Scene& scene = TheScene();
    std::vector<std::vector<TPoint>> polygons;
    for (const std::vector<QPoint>& corners : scene.polygons) {
        std::vector<TPoint> points;
        for (const QPoint& p : corners)
            points.push_back({p.x(), p.y()});
        polygons.push_back(points);
    }
    for (auto _ : state) {
        TMetafileDC recorder(QSize(kWidth, kHeight), 96);
        recorder.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
        recorder.SelectBrush(CreateSolidBrush(RGB(200, 100, 50)));
        for (const std::vector<TPoint>& points : polygons)
            recorder.Polygon(points.data(), static_cast<int>(points.size()));
        benchmark::DoNotOptimize(recorder.Finish());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(polygons.size()));
}
BENCHMARK(Polygons_MetafileRecorder)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
