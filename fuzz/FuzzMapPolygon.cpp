// The "Data" block of a map polygon: read into a polygon of a map series,
// painted, written and read back.

#include "fuzz/FuzzSupport.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMapSeries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    lp::TChart Chart;
    lp::fuzz::PrepareChart(Chart);
    auto* Map = new lp::TMapSeries(&Chart);
    Chart.AddSeries(Map);
    lp::TPlotPolygon* Polygon = Map->Shapes()->Add();
    lp::TPlotPolygon* Neighbour = Map->Shapes()->Add();
    for (const auto& [X, Y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 10.0}})
        Neighbour->AddXY(X, Y);
    lp::fuzz::RoundTripBinaryBlock(*Polygon, *Neighbour, Chart, "Data", Data, Size);
    return 0;
}
