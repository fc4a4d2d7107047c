#pragma once
// Erasable overlays of the interactive tools (rubber bands, wire boxes,
// cursor and dragged lines, nearest-point markers).
//
// An overlay is drawn with an exclusive-or pen into the chart's buffered
// picture, and the window is asked to show that picture again; drawing the
// same overlay twice erases it. Nothing is drawn outside a paint: the
// window's next paint copies the buffer. A repaint of the chart throws the
// overlay away, so an overlay owner forgets what it drew whenever the
// chart paints (TBufferOverlay::ChartPainted).

#include "platform/graphics/GraphicsTypes.h"

#include <functional>

namespace lp {

class TCustomAxisPanel;
class TPlotCanvas3D;

// Draws into Chart's buffer while it holds the last complete paint, then
// asks the window to show it; false (nothing drawn) without such a buffer.
bool DrawOnChartBuffer(TCustomAxisPanel& Chart, const std::function<void(TPlotCanvas3D& Canvas)>& Draw);

// Draws an overlay where one can be seen: into the chart's buffer as
// DrawOnChartBuffer does; a chart with neither a buffer nor a window draws
// onto the target its canvas is bound to (an export or test device). An
// unbuffered chart with a window keeps no pixels between paints: nothing is
// drawn there. False when nothing was drawn.
bool DrawChartOverlay(TCustomAxisPanel& Chart, const std::function<void(TPlotCanvas3D& Canvas)>& Draw);

// The pen colour that stays visible when drawn exclusive-or over the
// chart's background: Color xor the RGB value of the chart's Color (the
// button-face colour when the chart has none of its own).
TColor XorPenColor(const TCustomAxisPanel& Chart, TColor Color);

// One erasable overlay: remembers whether it stands on the buffer, so a
// toggle after a repaint never leaves a stray copy behind.
class TBufferOverlay {
public:
    // Draws the overlay (shown) or draws it again (erased) through Draw.
    void Show(TCustomAxisPanel& Chart, const std::function<void(TPlotCanvas3D& Canvas)>& Draw);
    void Hide(TCustomAxisPanel& Chart, const std::function<void(TPlotCanvas3D& Canvas)>& Draw);
    bool Shown() const { return FShown; }
    // The chart painted anew: the overlay is gone from the buffer.
    void ChartPainted() { FShown = false; }

private:
    bool FShown = false;
};

} // namespace lp
