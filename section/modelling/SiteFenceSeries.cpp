#include "section/modelling/SiteFenceSeries.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotValueList.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lp {

TSiteFenceSeries::TSiteFenceSeries(TComponent* AOwner) : TCustom3DSeries(AOwner)
{
    // The corners stay in the order given: four points make a quadrilateral.
    XValues()->SetOrder(loNone);
    Marks()->SetVisible(false);
    SetShowInLegend(false);
}

bool TSiteFenceSeries::AddQuad(const std::array<TPointFloat3D, 4>& Corners, TColor Color)
{
    for (const TPointFloat3D& corner : Corners)
        if (!std::isfinite(corner.X) || !std::isfinite(corner.Y) || !std::isfinite(corner.Z))
            return false;
    for (const TPointFloat3D& corner : Corners)
        AddXYZ(corner.X, corner.Y, corner.Z);
    FColors.push_back(Color);
    return true;
}

void TSiteFenceSeries::Clear()
{
    FColors.clear();
    FDrawn.clear();
    TCustom3DSeries::Clear();
}

void TSiteFenceSeries::DrawAllValues()
{
    FDrawn.clear();
    if (!FParentChart || Count() != 4 * QuadCount())
        return;
    TPlotCanvas3D& canvas = FParentChart->Canvas();
    // The depth along the view, as the rotated projection measures it
    // (its perspective divides by it): larger is farther. The projection's
    // centre shifts every depth alike and leaves their order.
    const TView3DOptions* view = FParentChart->View3DOptions();
    const bool turned = FParentChart->View3D() && view && !view->Orthogonal();
    constexpr double degree = std::numbers::pi / 180.0;
    const double elevation = turned ? -view->ElevationFloat() * degree : 0.0;
    const double rotation = turned ? -view->RotationFloat() * degree : 0.0;
    const double sinE = std::sin(elevation), cosE = std::cos(elevation);
    const double sinR = std::sin(rotation), cosR = std::cos(rotation);
    FDrawn.reserve(FColors.size());
    for (int quad = 0; quad < QuadCount(); ++quad) {
        TDrawnQuad drawn;
        drawn.Quad = quad;
        drawn.Color = FColors[static_cast<size_t>(quad)];
        double x = 0.0, y = 0.0, z = 0.0;
        for (int k = 0; k < 4; ++k) {
            const int point = 4 * quad + k;
            const TPoint3D at{CalcXPos(point), CalcYPos(point), CalcZPos(point)};
            drawn.Points[static_cast<size_t>(k)] = canvas.Calculate3DPoint3D(at);
            x += at.X;
            y += at.Y;
            z += at.Z;
        }
        // The orthogonal view shifts depth straight back.
        drawn.Depth = turned ? cosE * (z * cosR - x * sinR) + y * sinE : z;
        FDrawn.push_back(drawn);
    }
    std::stable_sort(FDrawn.begin(), FDrawn.end(),
                     [](const TDrawnQuad& A, const TDrawnQuad& B) { return A.Depth > B.Depth; });
    canvas.Brush()->SetStyle(TBrush::bsSolid);
    canvas.Pen()->SetStyle(TPen::psSolid);
    canvas.Pen()->SetWidth(1);
    for (const TDrawnQuad& drawn : FDrawn) {
        canvas.Brush()->SetColor(drawn.Color);
        canvas.Pen()->SetColor(drawn.Color);
        canvas.Polygon(drawn.Points, 3);
    }
}

int TSiteFenceSeries::Clicked(int X, int Y)
{
    const TPoint pixel{X, Y};
    // The last painted lies in front.
    for (auto drawn = FDrawn.rbegin(); drawn != FDrawn.rend(); ++drawn)
        if (PointInPolygon(pixel, drawn->Points))
            return drawn->Quad;
    return -1;
}

} // namespace lp
