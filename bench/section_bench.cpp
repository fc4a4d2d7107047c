// The section file on a large section: 10,000 bodies of ten nodes each
// (100,000 nodes) in a 100 x 100 grid. Writing measures the whole save (the
// block composed and written through the temporary file); reading measures
// the parse and the model taking the chart's place, map polygons included.

#include "chart/engine/PlotChart.h"
#include "section/editor/ModelExport.h"
#include "section/editor/PolygonChart.h"
#include "section/editor/SectionFile.h"
#include "platform/graphics/Bitmap.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace lp;

constexpr int GridSide = 100;     // bodies per row and per column
constexpr int NodesPerBody = 10;  // a decagon each
constexpr double CellSize = 10.0; // model units

void FillLargeSection(TPolygonChart& Chart, int Side = GridSide)
{
    const double extent = Side * CellSize;
    Chart.NewModel({}, false, 0, extent, 0, extent);
    for (int row = 0; row < Side; ++row)
        for (int column = 0; column < Side; ++column) {
            Polygon ring;
            ring.params = DefaultParameters;
            const double cx = (column + 0.5) * CellSize;
            const double cy = (row + 0.5) * CellSize;
            for (int k = 0; k < NodesPerBody; ++k) {
                // In the model's orientation (PolygonIsClockwise false),
                // so that moves of these rings are accepted.
                const double angle = 2.0 * M_PI * k / NodesPerBody;
                Tnode node;
                node.x = cx + 4.0 * std::cos(angle);
                node.y = cy + 4.0 * std::sin(angle);
                node.sharing = 0;
                ring.ring.Add(Chart.Nodes.Length());
                Chart.Nodes.Add(node);
            }
            SPolygon body;
            body.Add(ring);
            Chart.Model.Add(body);
        }
    Chart.RebuildMapSeries();
}

void BM_WriteLargeSection(benchmark::State& State)
{
    TPolygonChart chart;
    FillLargeSection(chart);
    QTemporaryDir folder;
    const QString name = folder.filePath("large.sec");
    for (auto _ : State)
        chart.WriteSection(name, {"picture.jpg", " 0 0 1000 1000", ""});
    State.counters["nodes"] = chart.Nodes.Length();
    State.counters["bodies"] = chart.Model.Length() - 1;
}
BENCHMARK(BM_WriteLargeSection)->Unit(benchmark::kMillisecond);

void BM_ReadLargeSection(benchmark::State& State)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("large.sec");
    {
        TPolygonChart source;
        FillLargeSection(source);
        source.WriteSection(name, {"picture.jpg", " 0 0 1000 1000", ""});
    }
    TPolygonChart chart;
    for (auto _ : State)
        benchmark::DoNotOptimize(chart.ReadModelBlock(name));
    State.counters["map polygons"] = chart.Model.Length() - 1;
}
BENCHMARK(BM_ReadLargeSection)->Unit(benchmark::kMillisecond);

// The same model exported for a mesh generator (NAME.geo and NAME.csv
// written together), to set against BM_WriteLargeSection: the faces are
// traced, every edge kept once, and both files written through temporary
// files.
void BM_ExportLargeModel(benchmark::State& State)
{
    TPolygonChart chart;
    FillLargeSection(chart);
    const TSectionModel section = chart.SectionModel();
    QTemporaryDir folder;
    const QString name = folder.filePath("large.geo");
    TModelExportSummary summary;
    for (auto _ : State)
        summary = ExportModel(name, section);
    State.counters["nodes"] = chart.Nodes.Length();
    State.counters["regions"] = summary.Regions;
}
BENCHMARK(BM_ExportLargeModel)->Unit(benchmark::kMillisecond);

// --- Against the floor: plain to_chars / from_chars ------------------------------------------

// The bodies per side of a section of about Nodes nodes.
int SideFor(int Nodes)
{
    return static_cast<int>(std::lround(std::sqrt(Nodes / double(NodesPerBody))));
}

// The floor of writing: every number of the model (two reals and three
// integers a node, the node indexes of the rings) by std::to_chars into one
// buffer, one blank after each, and the buffer written to a file.
void WriteFloor(const TPolygonChart& Chart, const QString& Name)
{
    std::string out;
    out.reserve(static_cast<size_t>(Chart.Nodes.Length()) * 80);
    char digits[40];
    const auto put = [&](auto value, auto... format) {
        const auto written = std::to_chars(digits, digits + sizeof digits, value, format...);
        out.append(digits, written.ptr);
        out += ' ';
    };
    for (const Tnode& node : Chart.Nodes) {
        put(node.x, std::chars_format::scientific, 14);
        put(node.y, std::chars_format::scientific, 14);
        put(node.fixed);
        put(node.sharing);
        put(node.border);
        out += "\r\n";
    }
    for (const SPolygon& body : Chart.Model)
        for (const Polygon& ring : body) {
            for (int32_t index : ring.ring)
                put(index);
            out += "\r\n";
        }
    QFile file(Name);
    if (!file.open(QIODevice::WriteOnly) || file.write(out.data(), static_cast<qint64>(out.size())) < 0)
        std::abort();
}

// The floor of reading: the file read whole and every blank-separated word
// read by std::from_chars into one array.
size_t ReadFloor(const QString& Name, std::vector<double>& Numbers)
{
    QFile file(Name);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray bytes = file.readAll();
    Numbers.clear();
    const char* at = bytes.constData();
    const char* end = at + bytes.size();
    while (at < end) {
        while (at < end && (*at == ' ' || *at == '\r' || *at == '\n'))
            ++at;
        double value = 0;
        const auto read = std::from_chars(at, end, value);
        if (read.ptr == at) {
            while (at < end && *at != ' ' && *at != '\n')
                ++at; // a word that is no number
            continue;
        }
        Numbers.push_back(value);
        at = read.ptr;
    }
    return Numbers.size();
}

// Saving the whole section (the block composed and written through the
// temporary file) against the floor, at State.range(0) nodes; the counters
// give the ratio and the cost of a node of each.
// The per-node costs of the section code and of its floor over all
// iterations, and their ratio.
void ReportAgainstFloor(benchmark::State& State, int Nodes, double Seconds, double FloorSeconds)
{
    const double iterations = static_cast<double>(State.iterations());
    const double nodes = Nodes;
    State.counters["nodes"] = nodes;
    State.counters["ns_per_node"] = Seconds / iterations / nodes * 1e9;
    State.counters["floor_ns_per_node"] = FloorSeconds / iterations / nodes * 1e9;
    State.counters["ratio"] = FloorSeconds > 0 ? Seconds / FloorSeconds : 0;
}

void BM_SectionWriteVsFloor(benchmark::State& State)
{
    TPolygonChart chart;
    FillLargeSection(chart, SideFor(static_cast<int>(State.range(0))));
    QTemporaryDir folder;
    const QString name = folder.filePath("large.sec");
    const QString floorName = folder.filePath("floor.txt");
    using Clock = std::chrono::steady_clock;
    double seconds = 0, floorSeconds = 0;
    for (auto _ : State) {
        const auto t0 = Clock::now();
        chart.WriteSection(name, {"picture.jpg", " 0 0 1000 1000", ""});
        const auto t1 = Clock::now();
        WriteFloor(chart, floorName);
        const auto t2 = Clock::now();
        seconds += std::chrono::duration<double>(t1 - t0).count();
        floorSeconds += std::chrono::duration<double>(t2 - t1).count();
        State.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    ReportAgainstFloor(State, chart.Nodes.Length(), seconds, floorSeconds);
}
BENCHMARK(BM_SectionWriteVsFloor)->Arg(10000)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);

// Reading the section into the chart over the model it already holds (the
// parse and the model check, the model taking the chart's place with its
// undo state and roll-back copy; the map polygons wait for the first
// paint) against the floor (<= 3 asked at every size).
void BM_SectionReadVsFloor(benchmark::State& State)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("large.sec");
    int nodes = 0;
    {
        TPolygonChart source;
        FillLargeSection(source, SideFor(static_cast<int>(State.range(0))));
        source.WriteSection(name, {"picture.jpg", " 0 0 1000 1000", ""});
        nodes = source.Nodes.Length();
    }
    TPolygonChart chart;
    chart.ReadModelBlock(name);
    std::vector<double> numbers;
    using Clock = std::chrono::steady_clock;
    double seconds = 0, floorSeconds = 0;
    for (auto _ : State) {
        const auto t0 = Clock::now();
        if (!chart.ReadModelBlock(name))
            std::abort();
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(ReadFloor(name, numbers));
        const auto t2 = Clock::now();
        seconds += std::chrono::duration<double>(t1 - t0).count();
        floorSeconds += std::chrono::duration<double>(t2 - t1).count();
        State.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    ReportAgainstFloor(State, nodes, seconds, floorSeconds);
}
BENCHMARK(BM_SectionReadVsFloor)->Arg(10000)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);

// What opening a section costs before it is seen: the read and the first
// paint of a 1920 x 1080 chart, which makes the map polygons the read left
// to be made.
void BM_ReadAndFirstPaint(benchmark::State& State)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("large.sec");
    {
        TPolygonChart source;
        FillLargeSection(source);
        source.WriteSection(name, {"picture.jpg", " 0 0 1000 1000", ""});
    }
    TPolygonChart chart;
    chart.SetBounds(0, 0, 1920, 1080);
    chart.ReadModelBlock(name);
    TBitmap frame(1920, 1080);
    for (auto _ : State) {
        if (!chart.ReadModelBlock(name))
            std::abort();
        chart.DrawToCanvas(&frame.Canvas(), chart.GetRectangle());
    }
    State.counters["nodes"] = chart.Nodes.Length();
}
BENCHMARK(BM_ReadAndFirstPaint)->Unit(benchmark::kMillisecond);

// The parse alone, without the chart.
void BM_ParseLargeSectionBlock(benchmark::State& State)
{
    TPolygonChart source;
    FillLargeSection(source);
    const std::string block = FormatSectionModelBlock(source.SectionModel());
    for (auto _ : State) {
        TSectionModel section;
        benchmark::DoNotOptimize(ParseSectionModelBlock(block, section));
    }
    State.counters["bytes"] = static_cast<double>(block.size());
}
BENCHMARK(BM_ParseLargeSectionBlock)->Unit(benchmark::kMillisecond);

// A 1920 x 1080 chart of the large section in Move-node mode with the first
// node of a body in the middle picked up; the node.
int PickUpMiddleNode(TPolygonChart& Chart)
{
    Chart.SetBounds(0, 0, 1920, 1080);
    FillLargeSection(Chart);
    Chart.EditMode = pmMoveNode;
    Chart.ResetEditMode();
    const int body = 1 + (GridSide / 2) * GridSide + GridSide / 2;
    const int node = Chart.Model[body][0].ring[0];
    Chart.EditStep(pmMoveNode, 1, Chart.Nodes[node].x, Chart.Nodes[node].y, false);
    Chart.EditStep(pmMoveNode, 0, Chart.Nodes[node].x, Chart.Nodes[node].y, false);
    return node;
}

// One mouse move in Move-node mode with a node picked up, and the repaint
// that shows it, on a 1920 x 1080 chart: the time of one frame.
void BM_MoveNodeFrame(benchmark::State& State)
{
    TPolygonChart chart;
    const int node = PickUpMiddleNode(chart);
    const double x = chart.Nodes[node].x;
    const double y = chart.Nodes[node].y;
    TBitmap frame(1920, 1080);
    double offset = 0.0;
    for (auto _ : State) {
        offset = offset > 0.5 ? 0.0 : offset + 0.05;
        chart.EditStep(pmMoveNode, 1, x + offset, y + offset, false);
        chart.DrawToCanvas(&frame.Canvas(), chart.GetRectangle());
    }
    State.counters["picked"] = chart.PickNode == node ? 1 : 0;
}
BENCHMARK(BM_MoveNodeFrame)->Unit(benchmark::kMillisecond);

// The two halves of that frame apart: the edit step alone and the paint alone.
void BM_MoveNodeStepOnly(benchmark::State& State)
{
    TPolygonChart chart;
    const int node = PickUpMiddleNode(chart);
    const double x = chart.Nodes[node].x;
    const double y = chart.Nodes[node].y;
    double offset = 0.0;
    for (auto _ : State) {
        offset = offset > 0.5 ? 0.0 : offset + 0.05;
        chart.EditStep(pmMoveNode, 1, x + offset, y + offset, false);
    }
}
BENCHMARK(BM_MoveNodeStepOnly)->Unit(benchmark::kMillisecond);

// The drop that ends a node's move: the move check, with the shape tests
// of the moved body against every ring of the large section. Each drop is
// followed (untimed) by the next pick-up.
void BM_DropNode(benchmark::State& State)
{
    TPolygonChart chart;
    const int node = PickUpMiddleNode(chart);
    const double x = chart.Nodes[node].x;
    const double y = chart.Nodes[node].y;
    double offset = 0.0;
    int accepted = 0;
    for (auto _ : State) {
        State.PauseTiming();
        offset = offset > 0.5 ? 0.0 : offset + 0.05;
        chart.EditStep(pmMoveNode, 1, x + offset, y + offset, false);
        State.ResumeTiming();
        accepted += chart.EditStep(pmMoveNode, 0, x + offset, y + offset, true) ? 1 : 0;
        State.PauseTiming();
        chart.TakeBackup();
        chart.ClearEditState();
        chart.EditStep(pmMoveNode, 1, x + offset, y + offset, false);
        chart.EditStep(pmMoveNode, 0, x + offset, y + offset, false);
        State.ResumeTiming();
    }
    State.counters["accepted"] = accepted;
}
BENCHMARK(BM_DropNode)->Unit(benchmark::kMillisecond);

void BM_LargeSectionPaint(benchmark::State& State)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 1920, 1080);
    FillLargeSection(chart);
    TBitmap frame(1920, 1080);
    for (auto _ : State)
        chart.DrawToCanvas(&frame.Canvas(), chart.GetRectangle());
}
BENCHMARK(BM_LargeSectionPaint)->Unit(benchmark::kMillisecond);

} // namespace
