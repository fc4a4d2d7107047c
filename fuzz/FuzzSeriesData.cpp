// The series "Data" block: read into a line series, painted, written and
// read back.

#include "fuzz/FuzzSupport.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"
#include "platform/core/Filer.h"

#include <QtCore/QBuffer>

namespace {

// Reads or writes the series' "Data" through its stored-property definition.
void StreamData(lp::TChartSeries& Series, QBuffer& Buffer, bool Read)
{
    lp::TPropertyDefinitions Definitions;
    Series.DefineProperties(Definitions);
    const lp::TPropertyDefinitions::TDefinition* Data = Definitions.Find(QStringLiteral("Data"));
    lp::fuzz::Require(Data && Data->Binary, "a series defines its Data block");
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
    auto* Series = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Series);
    Series->Marks()->SetVisible(true);
    QBuffer Input;
    Input.setData(lp::fuzz::Bytes(Data, Size));
    Input.open(QIODevice::ReadOnly);
    bool Read = false;
    lp::fuzz::Refusable([&] {
        StreamData(*Series, Input, true);
        Read = true;
    });
    if (!Read)
        return 0;
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
    QBuffer Written;
    Written.open(QIODevice::WriteOnly);
    StreamData(*Series, Written, false);
    auto* Copy = new lp::TLineSeries(&Chart);
    Chart.AddSeries(Copy);
    QBuffer Again;
    Again.setData(Written.data());
    Again.open(QIODevice::ReadOnly);
    try {
        StreamData(*Copy, Again, true);
    } catch (const lp::Exception& Error) {
        std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
        lp::fuzz::Require(false, "a written Data block reads back");
    }
    lp::fuzz::Require(Copy->Count() == Series->Count(), "the Data block keeps every point");
    return 0;
}
