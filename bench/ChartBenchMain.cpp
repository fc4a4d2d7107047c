// The main of the benchmark programs that draw charts: an offscreen
// application object and the chart library started around the run.

#include "chart/engine/PlotChart.h"

#include <QtWidgets/QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    lp::InitializeChartLibrary();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    lp::FinalizeChartLibrary();
    return 0;
}
