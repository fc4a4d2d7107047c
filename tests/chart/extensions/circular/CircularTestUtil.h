#pragma once
// A chart for the circular series tests: 400 × 400, 2-D, no legend,
// unbuffered, painted whole onto a recording device or into a picture.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/RecordingDC.h"

#include <QtCore/QRegularExpression>
#include <QtGui/QImage>

namespace lp::test {

struct TCircularChart {
    TChart Chart;
    TRecordingDC DC{400, 400};
    TCanvas Target{&DC};

    explicit TCircularChart(int Size = 400)
    {
        Chart.SetBounds(0, 0, Size, Size);
        Chart.SetBufferedDisplay(false);
        Chart.SetView3D(false);
        Chart.Legend()->SetVisible(false);
    }
    template <class TSeries> TSeries* Add()
    {
        auto* S = new TSeries(&Chart);
        Chart.AddSeries(S);
        return S;
    }
    // One paint; the device calls it made.
    QStringList Paint()
    {
        DC.ClearCalls();
        Chart.DrawToCanvas(&Target, Chart.GetRectangle());
        return DC.Calls();
    }
    // Painted as on screen (a picture made for export skips translucency).
    QImage Picture()
    {
        TBitmap Bitmap(Chart.Width(), Chart.Height());
        Chart.DrawToCanvas(&Bitmap.Canvas(), Chart.GetRectangle());
        return Bitmap.ToImage();
    }
};

// The calls starting with Name followed by "(".
inline QStringList CallsNamed(const QStringList& Calls, const QString& Name)
{
    return Calls.filter(QRegularExpression("^" + Name + "\\("));
}

// The lines drawn from (X, Y): "MoveTo(X,Y)" directly followed by a LineTo.
inline int LinesFrom(const QStringList& Calls, int X, int Y)
{
    const QString Move = QStringLiteral("MoveTo(%1,%2)").arg(X).arg(Y);
    int Result = 0;
    for (int I = 0; I + 1 < Calls.size(); ++I)
        if (Calls[I] == Move && Calls[I + 1].startsWith(QLatin1String("LineTo(")))
            ++Result;
    return Result;
}

} // namespace lp::test
