#include "chart/extensions/tools/PlotRotateTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>

namespace lp {

TRotateTool::TRotateTool(TComponent* AOwner) : TPlotCustomTool(AOwner)
{
    Pen()->SetVisible(false);
    Pen()->SetDefaultVisible(false);
    Pen()->SetMode(TPen::pmXor);
    Pen()->SetColor(clWhite);
    KeepStartAsDefault(*Pen(), {"Color", "Mode"});
}

QString TRotateTool::Description() const
{
    return PlotMsg_ToolRotate;
}

namespace {

// One turn of an angle on a canvas without full rotation: the rotation
// wraps around, the elevation stays within 270 .. 360.
double TurnRotation(double Angle, double Delta)
{
    const double Sum = Angle + Delta;
    if (Delta > 0 && Sum > 360)
        return Sum - 360;
    if (Delta < 0 && Sum < 0)
        return Sum + 360;
    return Sum;
}

double TurnElevation(double Angle, double Delta)
{
    if (Delta > 0)
        return std::min(Angle + Delta, 360.0);
    if (Delta < 0)
        return std::max(Angle + Delta, 270.0);
    return Angle;
}

// Into [0, 360) by one step.
double Wrapped(double Angle)
{
    if (Angle >= 360)
        return Angle - 360;
    if (Angle < 0)
        return Angle + 360;
    return Angle;
}

} // namespace

void TRotateTool::TurnAngles(double& Rotation, double& Elevation, double RotationDelta, double ElevationDelta,
                             bool FullRotation) const
{
    const bool TurnRotationToo = FStyle != rsElevation;
    const bool TurnElevationToo = FStyle != rsRotation;
    if (FullRotation) {
        if (TurnRotationToo)
            Rotation = Wrapped(Rotation + RotationDelta);
        if (TurnElevationToo)
            Elevation = Wrapped(Elevation + ElevationDelta);
        return;
    }
    if (TurnRotationToo && RotationDelta != 0)
        Rotation = TurnRotation(Rotation, RotationDelta);
    if (TurnElevationToo && ElevationDelta != 0)
        Elevation = TurnElevation(Elevation, ElevationDelta);
}

void TRotateTool::ChartEvent(int Event)
{
    if (Event == cteAfterDraw)
        FBox.ChartPainted();
}

void TRotateTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomTool::ChartMouseEvent(Kind, Button, Shift, X, Y);
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    switch (Kind) {
    case cmeDown:
        if (Button == FButton) {
            FDragging = true;
            FLastPoint = TPoint{X, Y};
            FFirstStep = true;
            Chart->SetMouseCancelled(true);
        }
        break;
    case cmeMove:
        if (FDragging)
            RotateStep(X, Y);
        break;
    case cmeUp:
        if (FDragging)
            EndDrag();
        break;
    }
}

void TRotateTool::RotateStep(int X, int Y)
{
    TCustomAxisPanel& Chart = *ParentChart();
    const int Width = std::max(Chart.Width(), 1);
    const int Height = std::max(Chart.Height(), 1);
    double RotationDelta = (X - FLastPoint.X) * 90.0 / Width;
    double ElevationDelta = (FLastPoint.Y - Y) * 90.0 / Height;
    if (FInverted) {
        RotationDelta = -RotationDelta;
        ElevationDelta = -ElevationDelta;
    }
    const bool Box = Pen()->Visible();
    if (Box && FFirstStep) {
        FOldRepaint = Chart.RepaintEnabled();
        FRepaintSaved = true;
        Chart.SetRepaintEnabled(false);
    } else if (Box) {
        HideBox();
    }
    FFirstStep = false;
    Chart.SetView3D(true);
    TView3DOptions& Options = *Chart.View3DOptions();
    Options.SetOrthogonal(false);
    double Rotation = Options.RotationFloat();
    double Elevation = Options.ElevationFloat();
    TurnAngles(Rotation, Elevation, RotationDelta, ElevationDelta, Chart.Canvas().SupportsFullRotation());
    Options.SetRotationFloat(Rotation);
    Options.SetElevationFloat(Elevation);
    FLastPoint = TPoint{X, Y};
    Chart.SetMouseCancelled(true);
    if (Box) {
        Chart.Canvas().SetProjection(Chart.Depth3D(), Chart.ChartRectangle());
        ShowBox();
    }
    if (OnRotate)
        OnRotate(this);
}

void TRotateTool::DrawBox(TPlotCanvas3D& Canvas) const
{
    const TCustomAxisPanel& Chart = *ParentChart();
    const TRect R = Chart.ChartRectangle();
    const int Depth = Chart.Depth3D();
    Canvas.AssignVisiblePen(*Pen());
    Canvas.Pen()->SetMode(Pen()->Mode());
    Canvas.Brush()->SetStyle(bsClear);
    Canvas.RectangleWithZ(R, 0);
    Canvas.RectangleWithZ(R, Depth);
    for (const TPoint& P : {TPoint{R.Left, R.Top}, TPoint{R.Right, R.Top}, TPoint{R.Left, R.Bottom},
                            TPoint{R.Right, R.Bottom}}) {
        Canvas.MoveTo3D(P.X, P.Y, 0);
        Canvas.LineTo3D(P.X, P.Y, Depth);
    }
    Canvas.Pen()->SetMode(TPen::pmCopy);
}

void TRotateTool::ShowBox()
{
    FBox.Show(*ParentChart(), [this](TPlotCanvas3D& Canvas) { DrawBox(Canvas); });
}

void TRotateTool::HideBox()
{
    FBox.Hide(*ParentChart(), [this](TPlotCanvas3D& Canvas) { DrawBox(Canvas); });
}

void TRotateTool::EndDrag()
{
    FDragging = false;
    // Only a drag that switched repainting off puts it back.
    if (FRepaintSaved) {
        HideBox();
        ParentChart()->SetRepaintEnabled(FOldRepaint);
        FRepaintSaved = false;
        ParentChart()->Invalidate();
    }
}

} // namespace lp
