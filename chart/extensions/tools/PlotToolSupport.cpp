#include "chart/extensions/tools/PlotToolSupport.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <string>

namespace lp {

bool DrawChartOverlay(TCustomAxisPanel& Chart, const std::function<void(TCanvas3D& Canvas)>& Draw)
{
    TPlotCanvas3D& Canvas = Chart.Canvas();
    TBitmap* Buffer = Canvas.GetBufferedDisplay() ? Canvas.Bitmap() : nullptr;
    if (Buffer) {
        TCanvas* Previous = Canvas.ReferenceCanvas();
        Canvas.SetCanvas(&Buffer->Canvas());
        try {
            Draw(Canvas);
        } catch (...) {
            Canvas.SetCanvas(Previous);
            throw;
        }
        Canvas.SetCanvas(Previous);
        // The buffer is unchanged as far as the chart knows: the next window
        // paint shows it, overlay included, without drawing the chart anew.
        Chart.UpdateWindow();
        return true;
    }
    if (Chart.HandleAllocated() || !Canvas.ReferenceCanvas())
        return false;
    Draw(Canvas);
    return true;
}

TColor XorPenColor(const TCustomAxisPanel& Chart, TColor Color)
{
    const TColor Back = Chart.Color() == clPlotColor ? clBtnFace : Chart.Color();
    return ColorToRGB(Color) ^ ColorToRGB(Back);
}

void VisibleRange(const TChartSeries& Series, int& First, int& Last)
{
    const int Count = Series.Count();
    First = std::max(Series.FirstVisibleIndex(), 0);
    Last = Series.LastVisibleIndex() >= 0 && Series.LastVisibleIndex() < Count ? Series.LastVisibleIndex() : Count - 1;
}

TChartValueList* ZValueList(const TChartSeries& Series)
{
    for (TChartValueList* List : Series.ValuesList())
        if (List->Name().compare(QLatin1String("Z"), Qt::CaseInsensitive) == 0)
            return List;
    return nullptr;
}

void CheckTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError(FormatText("Transparency %d is outside 0 .. 100", {std::to_string(Value)}));
}

} // namespace lp
