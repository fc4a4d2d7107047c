#pragma once
// The chart the tool tests drive: 400 × 300, flat, unbuffered, without
// legend or titles, both side axes fixed to 0 .. 100, painted onto a
// recording device or a bitmap, and the mouse as the user moves it.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/RecordingDC.h"

#include <QtCore/QStringList>

namespace lp::test {

// A chart that counts its repaint requests.
class TCountingToolChart : public TChart {
public:
    void Invalidate() override
    {
        if (RepaintEnabled())
            ++Invalidations;
        TChart::Invalidate();
    }
    int Invalidations = 0;
};

struct TToolChart {
    TCountingToolChart Chart;

    TToolChart()
    {
        Chart.SetBounds(0, 0, 400, 300);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Chart.Legend()->SetVisible(false);
        Chart.Title()->SetVisible(false);
        Chart.LeftAxis()->SetMinMax(0, 100);
        Chart.BottomAxis()->SetMinMax(0, 100);
    }

    // One paint onto a recording device; its calls.
    QStringList Paint()
    {
        TRecordingDC DC(400, 300);
        TCanvas Target(&DC);
        Chart.DrawToCanvas(&Target, Chart.GetRectangle());
        return DC.Calls();
    }
    // One paint into a picture, as a window paint draws.
    QImage Picture()
    {
        TBitmap Target(400, 300);
        Chart.DrawToCanvas(&Target.Canvas(), Chart.GetRectangle());
        return Target.ToImage();
    }

    void Press(int X, int Y, TMouseButton Button = mbLeft) { Chart.MouseDown(Button, {}, X, Y); }
    void Move(int X, int Y) { Chart.MouseMove({}, X, Y); }
    void Release(int X, int Y, TMouseButton Button = mbLeft) { Chart.MouseUp(Button, {}, X, Y); }
    void Drag(TPoint From, TPoint To)
    {
        Press(From.X, From.Y);
        Move(To.X, To.Y);
        Release(To.X, To.Y);
    }
    // Pixels of axis values on the bottom and left axes.
    TPoint Pixel(double X, double Y) const
    {
        return TPoint{Chart.BottomAxis()->CalcPosValue(X), Chart.LeftAxis()->CalcPosValue(Y)};
    }
};

} // namespace lp::test
