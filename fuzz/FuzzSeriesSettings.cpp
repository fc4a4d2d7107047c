// The series settings text, applied to a line series with points (its
// pointer shown), painted, written and applied again.

#include "fuzz/FuzzSupport.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    lp::TChart Chart;
    lp::fuzz::PrepareChart(Chart);
    auto* Series = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Series);
    for (int I = 0; I < 5; ++I)
        Series->AddXY(I, 10 - I);
    bool Applied = false;
    lp::fuzz::Refusable([&] { Applied = lp::SeriesSettingsFromText(Series, lp::fuzz::Text(Data, Size)); });
    if (!Applied)
        return 0;
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
    auto* Copy = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Copy);
    try {
        lp::fuzz::Require(lp::SeriesSettingsFromText(Copy, lp::SeriesSettingsToText(Series)),
                          "a written series settings text applies");
    } catch (const lp::Exception& Error) {
        std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
        lp::fuzz::Require(false, "a written series settings text reads back");
    }
    return 0;
}
