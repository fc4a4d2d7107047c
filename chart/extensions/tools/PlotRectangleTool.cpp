#include "chart/extensions/tools/PlotRectangleTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <cstdlib>

namespace lp {

TRectangleTool::TRectangleTool(TComponent* AOwner) : TAnnotationTool(AOwner)
{
    SetAutoSize(false);
    TPlotShapePosition& S = *Shape();
    S.SetCustomPosition(true);
    S.Shadow()->SetSize(0);
    S.SetTransparency(75);
    S.SetShapeBounds(TRect{10, 10, 10 + 50 - 1, 10 + 50 - 1});
    KeepStartAsDefault(S, {"CustomPosition", "Transparency"});
    SetPositionUnits(muPixels);
    SetCursor(crHandPoint);
}

QString TRectangleTool::Description() const
{
    return PlotMsg_RectangleTool;
}

int TRectangleTool::ClickedEdge(int X, int Y) const
{
    if (!Clicked(X, Y))
        return reNone;
    const TRect R = Shape()->ShapeBounds();
    if (std::abs(X - R.Left) < 4)
        return reLeft;
    if (std::abs(Y - R.Top) < 4)
        return reTop;
    if (std::abs(X - R.Right) < 4)
        return reRight;
    if (std::abs(Y - R.Bottom) < 4)
        return reBottom;
    return reNone;
}

void TRectangleTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TAnnotationTool::ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (!Active() || !ParentChart())
        return;
    switch (Kind) {
    case cmeDown:
        MouseDown(Button, X, Y);
        break;
    case cmeMove:
        MouseMove(X, Y);
        break;
    case cmeUp:
        MouseUp();
        break;
    }
}

void TRectangleTool::MouseDown(TMouseButton Button, int X, int Y)
{
    if (Button != mbLeft)
        return;
    const TRect R = Shape()->ShapeBounds();
    FEdge = ClickedEdge(X, Y);
    if (FEdge != reNone) {
        FOffset = TPoint{X - (FEdge == reRight ? R.Right : R.Left), Y - (FEdge == reBottom ? R.Bottom : R.Top)};
        ParentChart()->SetMouseCancelled(true);
    } else if (Clicked(X, Y)) {
        FOffset = TPoint{X - R.Left, Y - R.Top};
        FDragging = true;
        ParentChart()->SetMouseCancelled(true);
    }
}

void TRectangleTool::MouseMove(int X, int Y)
{
    if (FDragging)
        DragTo(X, Y);
    else if (FEdge != reNone)
        ResizeTo(X, Y);
    else
        ShowEdgeCursor(X, Y);
}

void TRectangleTool::DragTo(int X, int Y)
{
    const TRect R = Shape()->ShapeBounds();
    const int Left = X - FOffset.X;
    const int Top = Y - FOffset.Y;
    // A move that leaves the rectangle where it is changes nothing.
    if (Left == R.Left && Top == R.Top)
        return;
    Shape()->SetShapeBounds(TRect{Left, Top, Left + (R.Right - R.Left), Top + (R.Bottom - R.Top)});
    Repaint();
    if (OnDragging)
        OnDragging(this);
}

void TRectangleTool::ResizeTo(int X, int Y)
{
    TRect R = Shape()->ShapeBounds();
    switch (FEdge) {
    case reLeft:
        R.Left = std::min(R.Right - MinimumSize, X - FOffset.X);
        break;
    case reTop:
        R.Top = std::min(R.Bottom - MinimumSize, Y - FOffset.Y);
        break;
    case reRight:
        R.Right = std::max(R.Left + MinimumSize, X - FOffset.X);
        break;
    case reBottom:
        R.Bottom = std::max(R.Top + MinimumSize, Y - FOffset.Y);
        break;
    }
    Shape()->SetShapeBounds(R);
    Repaint();
    if (OnResizing)
        OnResizing(this);
}

void TRectangleTool::ShowEdgeCursor(int X, int Y)
{
    TCursor Shown = crDefault;
    switch (ClickedEdge(X, Y)) {
    case reLeft:
    case reRight:
        Shown = crSizeWE;
        break;
    case reTop:
    case reBottom:
        Shown = crSizeNS;
        break;
    default:
        if (Clicked(X, Y))
            Shown = Cursor();
        break;
    }
    if (Shown != crDefault) {
        ParentChart()->ShowCursor(Shown);
        ParentChart()->SetMouseCancelled(true);
    }
}

void TRectangleTool::MouseUp()
{
    if (FDragging) {
        if (OnDragged)
            OnDragged(this);
        FDragging = false;
    }
    if (FEdge != reNone && OnResized)
        OnResized(this);
    FEdge = reNone;
    Repaint();
}

} // namespace lp
