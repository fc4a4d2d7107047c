#pragma once
// The rectangle tool: a semi-transparent annotation block the user moves by
// dragging its inside and resizes by dragging any of its four edges with
// the left mouse button. Its place and size are the shape's custom bounds.

#include "chart/extensions/tools/PlotAnnotationTool.h"

namespace lp {

class TRectangleTool : public TAnnotationTool {
    Q_OBJECT
    // The rectangle's own starting values, so that only changes are stored.
    Q_CLASSINFO("default:AutoSize", "false")
    Q_CLASSINFO("default:Cursor", "-21")

public:
    // The edges a press can grab.
    enum TRectangleEdge { reNone = -1, reLeft = 0, reTop = 1, reRight = 2, reBottom = 3 };

    // Custom place (10, 10), 50 × 50 pixels, 75 per cent transparent, no
    // shadow, the hand cursor.
    explicit TRectangleTool(TComponent* AOwner = nullptr);

    // "Rectangle".
    QString Description() const override;

    // The edge within 4 pixels of (X, Y) inside the block, tested left,
    // top, right, bottom; reNone elsewhere.
    int ClickedEdge(int X, int Y) const;
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TNotifyEvent OnDragged;
    TNotifyEvent OnDragging;
    TNotifyEvent OnResized;
    TNotifyEvent OnResizing;

private:
    // The smallest distance kept between opposite edges.
    static constexpr int MinimumSize = 3;

    void MouseDown(TMouseButton Button, int X, int Y);
    void MouseMove(int X, int Y);
    void MouseUp();
    void DragTo(int X, int Y);
    void ResizeTo(int X, int Y);
    void ShowEdgeCursor(int X, int Y);

    int FEdge = reNone;
    TPoint FOffset;
    bool FDragging = false;
};

} // namespace lp
