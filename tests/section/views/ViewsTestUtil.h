#pragma once
// A mesh chart filled as an owner fills it: boundaries, one layer of
// half-space cells, empty selection, fixed cells and limits.

#include "section/views/Section2D.h"

#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotChartFile.h"

#include <QtCore/QBuffer>

namespace lp::test {

inline void FillMesh(TTModelSection2d& Chart, const arofdoubleM& Cols, const arofdoubleM& Rows)
{
    Chart.ModelLeft = Cols[0];
    Chart.ModelRight = Cols.Last();
    Chart.ModelTop = Rows[0];
    Chart.ModelBottom = Rows.Last();
    Chart.Layers = DynArray<ararofdoubleM>(1);
    Chart.LayerOrder = arofintM{0};
    Chart.CurrentLayer = 0;
    Chart.SetColBounds(Cols.Length(), &Cols);
    Chart.SetRowBounds(Rows.Length(), &Rows);
}

// The two extent points over the model area, as the owner adds them.
inline void SpanModelArea(TTModelSection2d& Chart)
{
    Chart.ExtentSeries->AddXY(Chart.ModelLeft, Chart.ModelTop);
    Chart.ExtentSeries->AddXY(Chart.ModelRight, Chart.ModelBottom);
}

// Boundaries 0, Step, 2 Step, ... Count Step.
inline arofdoubleM EvenBounds(int Count, double Step)
{
    arofdoubleM bounds(Count + 1);
    for (int i = 0; i <= Count; ++i)
        bounds[i] = i * Step;
    return bounds;
}

// Chart saved as a native chart file (binary or text, with points and
// pictures) and read into Into; what the reader reported goes to Errors.
inline void ReopenChart(TCustomChart& Chart, bool Text, TCustomChart& Into, QStringList& Errors)
{
    QBuffer File;
    File.open(QIODevice::ReadWrite);
    SaveChartToStream(&Chart, File, true, Text);
    File.seek(0);
    TCustomChart* Target = &Into;
    LoadChartFromStreamEx(Target, File, true, [&Errors](const QString& Message) {
        Errors << Message;
        return true;
    });
}

} // namespace lp::test
