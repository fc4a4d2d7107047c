#pragma once
// The cursor tool: a horizontal line, a vertical line or a cross-hair over
// the chart, dragged with the mouse (or following it), optionally snapping
// to the nearest point of its series. The lines are an exclusive-or overlay
// (PlotBufferOverlay.h): a move erases them at the old place and draws them at
// the new one; after every paint nothing of them is on the screen until the
// next move.
//
// Positions are kept in axis units (XValue, YValue); snapping measures in
// axis units too, the hit test in pixels within ClickTolerance.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"

#include <functional>

namespace lp {

class TCursorTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(int ClickTolerance READ ClickTolerance WRITE SetClickTolerance)
    Q_CLASSINFO("default:ClickTolerance", "3")
    Q_PROPERTY(bool FollowMouse READ FollowMouse WRITE SetFollowMouse)
    Q_CLASSINFO("default:FollowMouse", "false")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)
    Q_PROPERTY(bool Snap READ Snap WRITE SetSnap)
    Q_CLASSINFO("default:Snap", "false")
    Q_PROPERTY(TCursorToolStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "cssBoth")
    Q_PROPERTY(bool UseSeriesZ READ UseSeriesZ WRITE SetUseSeriesZ)
    Q_CLASSINFO("default:UseSeriesZ", "false")

public:
    enum TCursorToolStyle : quint8 { cssHorizontal, cssVertical, cssBoth };
    Q_ENUM(TCursorToolStyle)
    // The part of the cursor under the mouse or being dragged.
    enum TCursorPart : quint8 { cpNothing = 0, cpHorizontal = 1, cpVertical = 2, cpCrossing = 3 };

    using TCursorToolChangeEvent = std::function<void(TCursorTool* Sender, int X, int Y, double XValue,
                                                      double YValue, TChartSeries* Series, int ValueIndex)>;

    explicit TCursorTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TCursorToolEditor"); }
    // "Cursor".
    QString Description() const override;

    int ClickTolerance() const { return FClickTolerance; }
    void SetClickTolerance(int Value) { FClickTolerance = Value; }
    bool FollowMouse() const { return FFollowMouse; }
    void SetFollowMouse(bool Value) { FFollowMouse = Value; }
    bool Snap() const { return FSnap; }
    void SetSnap(bool Value) { FSnap = Value; }
    TCursorToolStyle Style() const { return FStyle; }
    // Snaps and repaints when the style changes.
    void SetStyle(TCursorToolStyle Value);
    bool UseSeriesZ() const { return FUseSeriesZ; }
    void SetUseSeriesZ(bool Value) { SetBooleanProperty(FUseSeriesZ, Value); }
    // Forgets the last snapped point; a series set outside loading snaps
    // and repaints.
    void SetSeries(TChartSeries* Value) override;

    double XValue() const { return FXValue; }
    void SetXValue(double Value) { FXValue = Value; }
    double YValue() const { return FYValue; }
    void SetYValue(double Value) { FYValue = Value; }
    // The pixel position of the lines on the screen, -1 when none is shown.
    int PixelX() const { return FPixelX; }
    int PixelY() const { return FPixelY; }
    TCursorPart DraggedPart() const { return FDragged; }

    // The rectangle the cursor lives in: the tool's axes' pixel spans.
    TRect CursorRect() const;
    // The part of the cursor at (X, Y), within ClickTolerance.
    TCursorPart Clicked(int X, int Y) const;
    // The visible point nearest to the cursor's values in axis units along
    // the style's direction (ties: the lower index); -1 without points.
    int NearestPoint() const;
    // Moves the values to the nearest point when Snap is on and a series is
    // set; the point's index, else -1.
    int SnapToPoint();

    // After every paint nothing of the cursor is on the screen.
    void ChartEvent(int Event) override;
    // Press starts a drag of the part hit, moves drag or hover, release ends.
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TCursorToolChangeEvent OnChange;
    TCursorToolChangeEvent OnSnapChange;

protected:
    virtual void DoChange(int ValueIndex);

private:
    int CursorDepth() const;
    // (X, Y) taken at the cursor's depth.
    TPoint AtCursorDepth(int X, int Y) const;
    bool InsideCursorRect(int X, int Y) const;
    void ValuesFromPoint(int X, int Y);
    void PixelsFromValues();
    // Draws (or, drawn twice, erases) the lines as an overlay.
    void DrawCursorLines();
    void MoveTo(int X, int Y);
    void Hover(int X, int Y);

    int FClickTolerance = 3;
    bool FFollowMouse = false;
    bool FSnap = false;
    TCursorToolStyle FStyle = cssBoth;
    bool FUseSeriesZ = false;
    double FXValue = 0;
    double FYValue = 0;
    int FPixelX = -1;
    int FPixelY = -1;
    TCursorPart FDragged = cpNothing;
    int FLastSnapped = -1;
};

} // namespace lp
