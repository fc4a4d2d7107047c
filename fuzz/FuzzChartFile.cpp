// A native chart file (binary or text) loaded into a chart with the
// extension and export layers started: painted, drawn as a picture, saved
// in both forms, and each saved form loaded again.

#include "fuzz/FuzzSupport.h"
#include "chart/engine/PlotChart.h"
#include "chart/export/PlotChartFile.h"
#include "chart/export/PlotChartImage.h"
#include "chart/export/PlotExport.h"
#include "chart/extensions/PlotExtensions.h"

#include <QtCore/QBuffer>

#include <cstdio>
#include <cstdlib>

namespace {

void Load(lp::TChart& Chart, const QByteArray& Bytes)
{
    QBuffer In;
    In.setData(Bytes);
    In.open(QIODevice::ReadOnly);
    lp::TCustomChart* Target = &Chart;
    lp::LoadChartFromStream(Target, In);
}

QByteArray Save(lp::TChart& Chart, bool Text)
{
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    lp::SaveChartToStream(&Chart, Out, true, Text);
    return Out.data();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    static const bool Started = [] {
        lp::InitializeChartExtensions();
        lp::InitializeChartExport();
        std::atexit([] {
            lp::FinalizeChartExport();
            lp::FinalizeChartExtensions();
        });
        return true;
    }();
    (void)Started;
    lp::TChart Chart;
    lp::fuzz::PrepareChart(Chart);
    bool Read = false;
    lp::fuzz::Refusable([&] {
        Load(Chart, lp::fuzz::Bytes(Data, Size));
        Read = true;
    });
    if (!Read)
        return 0;
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
    // The chart drawn as a picture, at its stored size or the picture
    // limits.
    lp::fuzz::Refusable([&] {
        lp::TChartImage Image;
        Image.SetChart(&Chart);
        Image.ToImage();
    });
    for (const bool Text : {false, true}) {
        QByteArray Saved;
        // A chart read may hold what cannot be written (a value out of the
        // writer's range); that refusal is no finding.
        lp::fuzz::Refusable([&] { Saved = Save(Chart, Text); });
        if (Saved.isEmpty())
            continue;
        lp::TChart Again;
        lp::fuzz::PrepareChart(Again);
        bool ReadBack = false;
        try {
            Load(Again, Saved);
            ReadBack = true;
        } catch (const lp::Exception& Error) {
            std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
        }
        lp::fuzz::Require(ReadBack, "a saved chart file reads back");
    }
    return 0;
}
