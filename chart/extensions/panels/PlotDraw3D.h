#pragma once
// The 3-D drawing panel: a panel with the chart background that offers its
// canvas, projected over the panel's chart rectangle at depth 100, to the
// user's OnPaint event; OnAfterDraw follows.
//
// One drawing into rectangle R: background (after the projection on a
// canvas that rotates fully), projection, OnPaint (Self, R), OnAfterDraw.
// The panel asks for no repaint while it draws.

#include "chart/canvas/PlotPanelExtended.h"

#include <functional>

namespace lp {

class TDraw3D : public TCustomPlotPanelExtended {
    Q_OBJECT

public:
    // The depth of the projection.
    static constexpr int Depth = 100;

    using TDraw3DPaintEvent = std::function<void(QObject* Sender, const TRect& ARect)>;

    explicit TDraw3D(TComponent* AOwner = nullptr);

    void InternalDraw(const TRect& UserRectangle) override;

    TDraw3DPaintEvent OnPaint;

private:
    void DrawContent(const TRect& R);
};

void RegisterDraw3D();
void UnregisterDraw3D();

} // namespace lp
