#pragma once
// A chart series of coloured quadrilaterals standing anywhere in 3-D: the
// cells of the site's images, each on its line's track (x east on the
// bottom axis, the elevation on the left axis, y north on the depth axis).
// A grid or triangulated surface cannot hold them: a fence is vertical,
// and its images cross one another.
//
//   TCustom3DSeries (X, Y, Z per point)
//     └─ TSiteFenceSeries   four points per quadrilateral, one colour each
//
// Each paint projects every quadrilateral through the chart's 3-D canvas
// and fills them farthest first (the depth along the view the rotated
// projection uses), so that a turned view shows the near images over the
// far ones. The fill's outline is drawn in the fill's colour: neighbouring
// cells leave no hairline of background between them.

#include "chart/canvas/PlotTypes.h"
#include "chart/engine/PlotPaletteSeries.h"

#include <array>
#include <vector>

namespace lp {

class TSiteFenceSeries : public TCustom3DSeries {
    Q_OBJECT
public:
    // A quadrilateral as last painted: its number (in the order added), its
    // colour and its corners on the screen.
    struct TDrawnQuad {
        int Quad = 0;
        TColor Color = clBlack;
        std::array<TPoint, 4> Points;
        double Depth = 0.0;
    };

    explicit TSiteFenceSeries(TComponent* AOwner = nullptr);

    // Corners (x, elevation, y) in order around the quadrilateral; a corner
    // that is no finite number leaves the quadrilateral out (false).
    bool AddQuad(const std::array<TPointFloat3D, 4>& Corners, TColor Color);
    int QuadCount() const { return static_cast<int>(FColors.size()); }
    TColor QuadColor(int Quad) const { return FColors.at(static_cast<size_t>(Quad)); }
    void Clear() override;

    void DrawAllValues() override;
    // The number of the front-most quadrilateral under the pixel as last
    // painted, -1 when none.
    int Clicked(int X, int Y) override;
    const std::vector<TDrawnQuad>& DrawnQuads() const { return FDrawn; }

private:
    std::vector<TColor> FColors; // one per four points
    std::vector<TDrawnQuad> FDrawn;
};

} // namespace lp
