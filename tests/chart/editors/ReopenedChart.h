#pragma once
// A chart saved through the chart file functions, with its points, in the
// binary or the text form, and read into a fresh chart: what a user gets
// who saves a chart and opens it again.

#include "chart/engine/PlotChart.h"
#include "chart/export/PlotChartFile.h"

#include <QtCore/QBuffer>

#include <memory>

namespace lp::test {

inline QByteArray SavedChartFile(TCustomChart& Chart, bool Text)
{
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    SaveChartToStream(&Chart, Out, true, Text);
    return Out.data();
}

inline std::unique_ptr<TChart> ReopenedChart(TCustomChart& Chart, bool Text)
{
    auto Copy = std::make_unique<TChart>();
    QBuffer In;
    In.setData(SavedChartFile(Chart, Text));
    In.open(QIODevice::ReadOnly);
    TCustomChart* Target = Copy.get();
    LoadChartFromStream(Target, In);
    return Copy;
}

} // namespace lp::test
