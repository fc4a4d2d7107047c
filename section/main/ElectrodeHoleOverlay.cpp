#include "section/main/ElectrodeHoleOverlay.h"

#include "chart/engine/PlotAxis.h"
#include "section/editor/PolygonChart.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace lp {

void TElectrodeHoleOverlay::SetHoles(std::vector<TDrawnHole> Holes)
{
    FHoles = std::move(Holes);
    FChart.Invalidate();
}

void TElectrodeHoleOverlay::Paint()
{
    if (FHoles.empty())
        return;
    TCanvas3D& canvas = FChart.Canvas();
    const TChartAxis& bottom = *FChart.BottomAxis();
    const TChartAxis& left = *FChart.LeftAxis();
    // The chart's depth axis is minus the elevation.
    const auto pixelY = [&](double Elevation) { return left.CalcPosValue(-Elevation); };
    canvas.ClipRectangle(FChart.ChartRectangle());
    canvas.Font()->SetSize(7);
    canvas.Font()->SetColor(clBlack);
    const int textHeight = canvas.FontHeight();
    for (const TDrawnHole& hole : FHoles) {
        if (hole.Electrodes.empty())
            continue;
        const int x = bottom.CalcPosValue(hole.X);
        canvas.Pen()->SetStyle(TPen::psSolid);
        canvas.Pen()->SetColor(HoleColor);
        canvas.Pen()->SetWidth(2);
        canvas.Line(x, pixelY(hole.Top), x, pixelY(hole.Electrodes.back().Elevation));
        canvas.Pen()->SetWidth(1);
        canvas.Pen()->SetColor(clBlack);
        canvas.Brush()->SetStyle(TBrush::bsSolid);
        canvas.Brush()->SetColor(HoleElectrodeColor);
        const int half = DotPixels / 2;
        for (const TDrawnHoleElectrode& electrode : hole.Electrodes) {
            const int y = pixelY(electrode.Elevation);
            canvas.Rectangle(x - half, y - half, x + half + 1, y + half + 1);
        }
        // The numbers where a text line fits between neighbouring dots.
        canvas.Brush()->SetStyle(TBrush::bsClear);
        int lastLabel = INT_MIN / 2;
        for (const TDrawnHoleElectrode& electrode : hole.Electrodes) {
            const int y = pixelY(electrode.Elevation);
            if (std::abs(y - lastLabel) < textHeight)
                continue;
            canvas.TextOut(x + half + 3, y - textHeight / 2, QString::number(electrode.Number));
            lastLabel = y;
        }
    }
    canvas.UnClipRectangle();
}

QString TElectrodeHoleOverlay::ElectrodeAt(int X, int Y) const
{
    const TChartAxis& bottom = *FChart.BottomAxis();
    const TChartAxis& left = *FChart.LeftAxis();
    const int reach = DotPixels / 2 + 2;
    long best = static_cast<long>(reach) * reach + 1;
    QString text;
    for (const TDrawnHole& hole : FHoles)
        for (const TDrawnHoleElectrode& electrode : hole.Electrodes) {
            const long dx = bottom.CalcPosValue(hole.X) - X;
            const long dy = left.CalcPosValue(-electrode.Elevation) - Y;
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                text = HoleElectrodeText(hole, electrode);
            }
        }
    return text;
}

} // namespace lp
