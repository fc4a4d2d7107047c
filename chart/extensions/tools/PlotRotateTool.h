#pragma once
// The rotate tool: dragging with the chosen button turns the chart's 3-D
// view, horizontal movement its rotation and vertical movement its
// elevation (a drag across the whole chart turns 90 degrees). With a
// visible pen only an exclusive-or wire box of the chart rectangle follows
// the mouse, drawn into the chart's buffered picture, and the chart paints
// once at the release.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/extensions/tools/PlotBufferOverlay.h"
#include "chart/engine/PlotTools.h"

#include <functional>

namespace lp {

class TRotateTool : public TPlotCustomTool {
    Q_OBJECT
public:
    enum TRotateToolStyles { rsAll, rsRotation, rsElevation };
    Q_ENUM(TRotateToolStyles)

private:
    Q_PROPERTY(lp::TControl::TMouseButton Button READ Button WRITE SetButton)
    Q_CLASSINFO("default:Button", "mbLeft")
    Q_PROPERTY(bool Inverted READ Inverted WRITE SetInverted)
    Q_CLASSINFO("default:Inverted", "false")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(TRotateToolStyles Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "rsAll")

public:
    // The pen of the wire box: hidden, exclusive-or, white.
    explicit TRotateTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TRotateToolEditor"); }
    // "Rotate".
    QString Description() const override;

    TMouseButton Button() const { return FButton; }
    void SetButton(TMouseButton Value) { FButton = Value; }
    bool Inverted() const { return FInverted; }
    void SetInverted(bool Value) { FInverted = Value; }
    TRotateToolStyles Style() const { return FStyle; }
    void SetStyle(TRotateToolStyles Value) { FStyle = Value; }

    // The angles after turning by the deltas (degrees), the canvas rotating
    // fully or not; only the angles Style allows change.
    void TurnAngles(double& Rotation, double& Elevation, double RotationDelta, double ElevationDelta,
                    bool FullRotation) const;

    void ChartEvent(int Event) override;
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TNotifyEvent OnRotate;

private:
    void RotateStep(int X, int Y);
    void DrawBox(TPlotCanvas3D& Canvas) const;
    void ShowBox();
    void HideBox();
    void EndDrag();

    TMouseButton FButton = mbLeft;
    bool FInverted = false;
    TRotateToolStyles FStyle = rsAll;
    bool FDragging = false;
    bool FFirstStep = false;
    TPoint FLastPoint;
    // The chart's repainting while a box drag has it switched off.
    bool FOldRepaint = true;
    bool FRepaintSaved = false;
    TBufferOverlay FBox;
};

using TRotateToolStyles = TRotateTool::TRotateToolStyles;
inline constexpr TRotateToolStyles rsAll = TRotateTool::rsAll;
inline constexpr TRotateToolStyles rsRotation = TRotateTool::rsRotation;
inline constexpr TRotateToolStyles rsElevation = TRotateTool::rsElevation;

} // namespace lp
