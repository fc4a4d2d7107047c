// The series "Data" block: read into a line series, painted, written and
// read back.

#include "fuzz/FuzzSupport.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    lp::TChart Chart;
    lp::fuzz::PrepareChart(Chart);
    auto* Series = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Series);
    Series->Marks()->SetVisible(true);
    auto* Copy = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Copy);
    if (lp::fuzz::RoundTripBinaryBlock(*Series, *Copy, Chart, "Data", Data, Size))
        lp::fuzz::Require(Copy->Count() == Series->Count(), "the Data block keeps every point");
    return 0;
}
