// A section file through the section chart: read, paint, save, and the
// saved file read again.

#include "fuzz/FuzzSupport.h"
#include "section/editor/PolygonChart.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    static QTemporaryDir Folder;
    const QString Input = Folder.filePath(QStringLiteral("input.sec"));
    const QString Saved = Folder.filePath(QStringLiteral("saved.sec"));
    {
        QFile File(Input);
        lp::fuzz::Require(File.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input file can be written");
        File.write(lp::fuzz::Bytes(Data, Size));
    }
    lp::TPolygonChart Chart;
    bool Read = false;
    lp::fuzz::Refusable([&] { Read = Chart.ReadModelBlock(Input); });
    if (!Read)
        return 0;
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
    Chart.WriteSection(Saved, {"picture.bmp", " 0.0 0.0 100.0 100.0", ""});
    lp::TPolygonChart Again;
    bool ReadBack = false;
    try {
        ReadBack = Again.ReadModelBlock(Saved);
    } catch (const lp::Exception& Error) {
        std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
    }
    lp::fuzz::Require(ReadBack, "a saved section reads back");
    return 0;
}
