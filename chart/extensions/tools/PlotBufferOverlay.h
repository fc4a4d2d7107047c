#pragma once
// Erasable overlays of the interactive tools (rubber bands, wire boxes).
//
// An overlay is drawn with an exclusive-or pen into the chart's buffered
// picture, and the window is asked to show that picture again; drawing the
// same overlay twice erases it. Nothing is drawn outside a paint: the
// window's next paint copies the buffer. A repaint of the chart throws the
// overlay away, so an overlay owner forgets what it drew whenever the
// chart paints (TBufferOverlay::ChartPainted).

#include <functional>

namespace lp {

class TCustomAxisPanel;
class TPlotCanvas3D;

// Draws into Chart's buffer while it holds the last complete paint, then
// asks the window to show it; false (nothing drawn) without such a buffer.
bool DrawOnChartBuffer(TCustomAxisPanel& Chart, const std::function<void(TPlotCanvas3D& Canvas)>& Draw);

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
