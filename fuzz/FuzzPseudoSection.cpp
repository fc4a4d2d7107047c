// The pseudo-section chart: its settings text (the first line) and the
// measurements after it, one "X Z Value" line each, triangulated and filled
// in as the chart's owner fills them, then the levels prepared, the picture
// rebuilt and the chart painted. A refused settings text leaves the
// defaults in force and the rest goes on.

#include "fuzz/FuzzSupport.h"
#include "section/model/NumberArrays.h"
#include "section/views/PseudoSection2D.h"
#include "tests/section/views/PseudoSectionTestUtil.h"

#include <cmath>

namespace {

// Enough for every shape of triangulation, few enough to paint quickly.
constexpr size_t kMaxMeasurements = 200;

std::vector<lp::test::TFixturePoint> Measurements(const QList<QByteArray>& Lines)
{
    std::vector<lp::test::TFixturePoint> Points;
    for (qsizetype i = 1; i < Lines.size() && Points.size() < kMaxMeasurements; ++i) {
        double Numbers[3] = {};
        int Count = 0;
        for (const std::string& Word : lp::SplitWords(Lines[i].toStdString())) {
            if (Count == 3 || Word.empty() || !lp::TryTextToReal(Word, Numbers[Count]) || !std::isfinite(Numbers[Count]))
                break;
            ++Count;
        }
        if (Count == 3)
            Points.push_back({Numbers[0], Numbers[1], Numbers[2]});
    }
    return Points;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    const QList<QByteArray> Lines = lp::fuzz::Bytes(Data, Size).split('\n');
    // Filled as its owner fills it.
    lp::test::TOwnedChart Owned;
    lp::TPseudoSection2d& Chart = Owned.Chart;
    lp::fuzz::PrepareChart(Chart);
    Chart.PictureWidth = 300;
    Chart.PictureHeight = 200;

    lp::fuzz::Refusable([&] { Chart.ApplySettings(QString::fromLocal8Bit(Lines[0])); });
    const std::vector<lp::test::TFixturePoint> Measured = Measurements(Lines);
    if (Measured.size() < 3)
        return 0;
    std::vector<double> Xs, Zs;
    for (const lp::test::TFixturePoint& Point : Measured) {
        Xs.push_back(Point.X);
        Zs.push_back(Point.Z);
    }
    const lp::TTriangulation Mesh = lp::Triangulate(Xs, Zs);
    if (Mesh.Triangles.empty())
        return 0;
    std::vector<std::array<int, 3>> Corners;
    for (const std::array<int, 3>& Triangle : Mesh.Triangles)
        Corners.push_back({Triangle[0] + 1, Triangle[1] + 1, Triangle[2] + 1});
    lp::test::FillTriangulation(Chart, Measured, Corners);
    lp::fuzz::Refusable([&] {
        Chart.PrepareLevels();
        Chart.RebuildPicture();
    });
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
    return 0;
}
