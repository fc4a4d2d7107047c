#include "chart/extensions/panels/PlotDraw3D.h"

#include "platform/core/ClassRegistry.h"

namespace lp {

TDraw3D::TDraw3D(TComponent* AOwner) : TCustomPlotPanelExtended(AOwner) {}

void TDraw3D::InternalDraw(const TRect& UserRectangle)
{
    const bool OldRepaint = RepaintEnabled();
    SetRepaintEnabled(false);
    try {
        DrawContent(UserRectangle);
    } catch (...) {
        SetRepaintEnabled(OldRepaint);
        throw;
    }
    SetRepaintEnabled(OldRepaint);
}

void TDraw3D::DrawContent(const TRect& R)
{
    TPlotCanvas3D& C = Canvas();
    if (!C.SupportsFullRotation())
        PaintPanelBackground(R);
    RecalcWidthHeight();
    SetDepth3D(Depth);
    C.SetProjection(Depth, ChartRectangle());
    if (C.SupportsFullRotation()) {
        const TRect Current = ChartRectangle();
        SetChartRectangle(R);
        PaintPanelBackground(R);
        SetChartRectangle(Current);
    }
    if (OnPaint)
        OnPaint(this, R);
    if (OnAfterDraw)
        OnAfterDraw(this);
}

void RegisterDraw3D()
{
    RegisterClass<TDraw3D>();
}

void UnregisterDraw3D()
{
    UnRegisterClass(TPersistent::ClassNameOf(TDraw3D::staticMetaObject));
}

} // namespace lp
