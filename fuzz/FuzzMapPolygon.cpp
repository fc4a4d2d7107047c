// The "Data" block of a map polygon: read into a polygon of a map series,
// painted, written and read back.

#include "fuzz/FuzzSupport.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMapSeries.h"
#include "platform/core/Filer.h"

#include <QtCore/QBuffer>

namespace {

void StreamPolygon(lp::TPlotPolygon& Polygon, QBuffer& Buffer, bool Read)
{
    lp::TPropertyDefinitions Definitions;
    Polygon.DefineProperties(Definitions);
    const lp::TPropertyDefinitions::TDefinition* Data = Definitions.Find(QStringLiteral("Data"));
    lp::fuzz::Require(Data && Data->Binary, "a map polygon defines its Data block");
    if (Read)
        Data->ReadStream(Buffer);
    else
        Data->WriteStream(Buffer);
}

} // namespace

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
    QBuffer Input;
    Input.setData(lp::fuzz::Bytes(Data, Size));
    Input.open(QIODevice::ReadOnly);
    bool Read = false;
    lp::fuzz::Refusable([&] {
        StreamPolygon(*Polygon, Input, true);
        Read = true;
    });
    if (!Read)
        return 0;
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
    QBuffer Written;
    Written.open(QIODevice::WriteOnly);
    StreamPolygon(*Polygon, Written, false);
    QBuffer Again;
    Again.setData(Written.data());
    Again.open(QIODevice::ReadOnly);
    try {
        StreamPolygon(*Neighbour, Again, true);
    } catch (const lp::Exception& Error) {
        std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
        lp::fuzz::Require(false, "a written polygon Data block reads back");
    }
    return 0;
}
