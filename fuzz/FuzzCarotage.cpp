// Well logs: a list file and the data files it names, read into the
// overlay of a section chart and painted. The input is the list file, then
// after each zero byte the next data file, named "1", "2", ... beside it.

#include "fuzz/FuzzSupport.h"
#include "chart/engine/PlotAxis.h"
#include "section/editor/Carotage.h"
#include "section/editor/PolygonChart.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

namespace {

constexpr int kMaxDataFiles = 4;

void WriteFile(const QString& Name, const QByteArray& Content)
{
    QFile File(Name);
    lp::fuzz::Require(File.open(QIODevice::WriteOnly | QIODevice::Truncate), "an input file can be written");
    File.write(Content);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    static QTemporaryDir Folder;
    const QList<QByteArray> Parts = lp::fuzz::Bytes(Data, Size).split('\0');
    const QString List = Folder.filePath(QStringLiteral("logs.crt"));
    WriteFile(List, Parts[0]);
    for (int i = 1; i <= kMaxDataFiles; ++i) {
        const QString Name = Folder.filePath(QString::number(i));
        if (i < Parts.size())
            WriteFile(Name, Parts[i]);
        else
            QFile::remove(Name);
    }
    lp::TPolygonChart Chart;
    lp::fuzz::PrepareChart(Chart);
    Chart.NewModel({}, false, 0, 1000, 0, 100);
    lp::TCarotageOverlay Overlay(Chart);
    lp::fuzz::Refusable([&] {
        Overlay.ReadCarotage(List);
        Overlay.Redraw();
    });
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
    // Zoomed far out: every log of the list on the plot at once.
    lp::fuzz::Refusable([&] {
        Chart.BottomAxis()->SetMinMax(-1e7, 1e7);
        Chart.LeftAxis()->SetMinMax(-1e9, 1e9);
        Overlay.Redraw();
        lp::fuzz::PaintChart(Chart);
    });
    return 0;
}
