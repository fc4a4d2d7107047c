#include "chart/extensions/tools/PlotBufferOverlay.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/engine/PlotAxisPanel.h"

namespace lp {

bool DrawOnChartBuffer(TCustomAxisPanel& Chart, const std::function<void(TPlotCanvas3D& Canvas)>& Draw)
{
    TPlotCanvas3D& Canvas = Chart.Canvas();
    TBitmap* Buffer = Canvas.Bitmap();
    // A changed canvas will be painted anew: what is drawn now would vanish.
    if (!Buffer || !Canvas.GetBufferedDisplay() || Canvas.Changed())
        return false;
    TCanvas* Previous = Canvas.ReferenceCanvas();
    Canvas.SetCanvas(&Buffer->Canvas());
    try {
        Draw(Canvas);
    } catch (...) {
        Canvas.SetCanvas(Previous);
        throw;
    }
    Canvas.SetCanvas(Previous);
    Chart.UpdateWindow();
    return true;
}

bool DrawChartOverlay(TCustomAxisPanel& Chart, const std::function<void(TPlotCanvas3D& Canvas)>& Draw)
{
    if (DrawOnChartBuffer(Chart, Draw))
        return true;
    TPlotCanvas3D& Canvas = Chart.Canvas();
    // A buffer that is about to be painted anew, or a window's own paint.
    if ((Canvas.GetBufferedDisplay() && Canvas.Bitmap()) || Chart.HandleAllocated() || !Canvas.ReferenceCanvas())
        return false;
    Draw(Canvas);
    return true;
}

TColor XorPenColor(const TCustomAxisPanel& Chart, TColor Color)
{
    const TColor Back = Chart.Color() == clPlotColor ? clBtnFace : Chart.Color();
    return ColorToRGB(Color) ^ ColorToRGB(Back);
}

void TBufferOverlay::Show(TCustomAxisPanel& Chart, const std::function<void(TPlotCanvas3D& Canvas)>& Draw)
{
    if (!FShown)
        FShown = DrawOnChartBuffer(Chart, Draw);
}

void TBufferOverlay::Hide(TCustomAxisPanel& Chart, const std::function<void(TPlotCanvas3D& Canvas)>& Draw)
{
    if (FShown) {
        DrawOnChartBuffer(Chart, Draw);
        FShown = false;
    }
}

} // namespace lp
