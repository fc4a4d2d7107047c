// The marks "Items" block: read into the marks of a series with points,
// painted, written and read back.

#include "fuzz/FuzzSupport.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"

#include <QtCore/QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    lp::TChart Chart;
    lp::fuzz::PrepareChart(Chart);
    auto* Series = new lp::TPointSeries(&Chart);
    Chart.AddSeries(Series);
    for (int I = 0; I < 5; ++I)
        Series->AddXY(I, I * I);
    lp::TSeriesMarks& Marks = *Series->Marks();
    Marks.SetVisible(true);
    QBuffer Input;
    Input.setData(lp::fuzz::Bytes(Data, Size));
    Input.open(QIODevice::ReadOnly);
    bool Read = false;
    lp::fuzz::Refusable([&] {
        Marks.ReadItems(Input);
        Read = true;
    });
    if (!Read)
        return 0;
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
    QBuffer Written;
    Written.open(QIODevice::WriteOnly);
    Marks.WriteItems(Written);
    QBuffer Again;
    Again.setData(Written.data());
    Again.open(QIODevice::ReadOnly);
    try {
        Marks.ReadItems(Again);
    } catch (const lp::Exception& Error) {
        std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
        lp::fuzz::Require(false, "written marks items read back");
    }
    return 0;
}
