#include "chart/extensions/tools/PlotSelectorTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotTitles.h"
#include "chart/extensions/tools/PlotAnnotationTool.h"

#include <cstdlib>

namespace lp {

namespace {
// A shape moves only once the mouse has left it by this many pixels.
constexpr int DragThreshold = 3;
// A press this close to the control's bottom-right corner resizes it.
constexpr int CornerReach = 8;
// Series show at most about this many handles.
constexpr int MaxSeriesHandles = 20;
} // namespace

TSelectorTool::TSelectorTool(TComponent* AOwner) : TPlotCustomTool(AOwner) {}

TSelectorTool::~TSelectorTool() = default;

QString TSelectorTool::Description() const
{
    return PlotMsg_Selector;
}

void TSelectorTool::SetHandleSize(int Value)
{
    SetIntegerProperty(FHandleSize, Value);
}

TCustomChart* TSelectorTool::Chart() const
{
    return qobject_cast<TCustomChart*>(ParentChart());
}

TChartClickedPart TSelectorTool::Part() const
{
    TChartClickedPart Result = FPart;
    Result.ASeries = FPartSeries.data();
    Result.AAxis = FPartAxis.data();
    return Result;
}

void TSelectorTool::DoSelected()
{
    Repaint();
    if (OnSelected)
        OnSelected(this);
}

// --- Handles ---------------------------------------------------------------------------------------

void TSelectorTool::AddRectHandles(std::vector<THandle>& Out, const TRect& R) const
{
    if (R.Right - R.Left <= 0)
        return;
    for (const TPoint P : {TPoint{R.Left, R.Top}, TPoint{R.Right, R.Top}, TPoint{R.Left, R.Bottom},
                           TPoint{R.Right, R.Bottom}})
        Out.push_back({P, 0, false});
}

void TSelectorTool::AddSeriesHandles(std::vector<THandle>& Out, TChartSeries& Series, bool Marks) const
{
    const int Count = Series.Count();
    int First = Series.FirstVisibleIndex() < 0 ? 0 : Series.FirstVisibleIndex();
    int Last = Series.LastVisibleIndex() < 0 ? Count - 1 : Series.LastVisibleIndex();
    if (Last >= Count)
        Last = Count - 1;
    const int Range = First == Last ? Count : Last - First;
    const int Step = Range > MaxSeriesHandles ? Range / MaxSeriesHandles : 1;
    for (int I = First; I <= Last; I += Step) {
        if (!Marks) {
            Out.push_back({TPoint{Series.CalcXPos(I), Series.CalcYPos(I)}, Series.DepthMiddle(), true});
            continue;
        }
        if (const TSeriesMarkPosition* M = Series.Marks()->Positions().GetPosition(I)) {
            const TRect R = M->Bounds();
            for (const TPoint P : {TPoint{R.Left, R.Top}, TPoint{R.Right, R.Top}, TPoint{R.Left, R.Bottom},
                                   TPoint{R.Right, R.Bottom}})
                Out.push_back({P, Series.Marks()->ZPosition(), true});
        }
    }
}

std::vector<TSelectorTool::THandle> TSelectorTool::Handles() const
{
    std::vector<THandle> Out;
    TCustomChart* C = Chart();
    if (!C)
        return Out;
    if (FShape) {
        AddRectHandles(Out, FShape->ShapeBounds());
        return Out;
    }
    switch (FPart.Part) {
    case cpNone: {
        TRect R = C->ClientRect();
        R = TRect{R.Left + FHandleSize, R.Top + FHandleSize, R.Right - FHandleSize, R.Bottom - FHandleSize};
        AddRectHandles(Out, R);
        break;
    }
    case cpLegend:
        if (C->Legend()->Visible())
            AddRectHandles(Out, C->Legend()->RectLegend());
        break;
    case cpAxis:
        if (FPartAxis)
            AddRectHandles(Out, FPartAxis->CalcRect());
        break;
    case cpTitle:
        AddRectHandles(Out, C->Title()->ShapeBounds());
        break;
    case cpFoot:
        AddRectHandles(Out, C->Foot()->ShapeBounds());
        break;
    case cpSubTitle:
        AddRectHandles(Out, C->SubTitle()->ShapeBounds());
        break;
    case cpSubFoot:
        AddRectHandles(Out, C->SubFoot()->ShapeBounds());
        break;
    case cpChartRect: {
        const TRect R = C->ChartRectangle();
        for (const TPoint P : {TPoint{R.Left, R.Top}, TPoint{R.Right, R.Top}, TPoint{R.Left, R.Bottom},
                               TPoint{R.Right, R.Bottom}})
            Out.push_back({P, C->Depth3D(), true});
        break;
    }
    case cpSeries:
    case cpSeriesMarks:
        if (FPartSeries)
            AddSeriesHandles(Out, *FPartSeries, FPart.Part == cpSeriesMarks);
        break;
    }
    return Out;
}

std::vector<TPoint> TSelectorTool::HandleCentres() const
{
    std::vector<TPoint> Result;
    const TCustomChart* C = Chart();
    if (!C || C->Printing() || C->Canvas().Metafiling())
        return Result;
    for (const THandle& H : Handles())
        Result.push_back(H.Is3D && C->View3D() ? C->Canvas().Calculate3DPosition(H.P.X, H.P.Y, H.Z) : H.P);
    return Result;
}

void TSelectorTool::ChartEvent(int Event)
{
    TPlotCustomTool::ChartEvent(Event);
    TCustomChart* C = Chart();
    if (Event != cteAfterDraw || !C || !FDrawHandles || C->Printing() || C->Canvas().Metafiling())
        return;
    TPlotCanvas3D& Canvas = C->Canvas();
    Canvas.AssignVisiblePen(*Pen());
    Canvas.AssignBrush(*Brush(), Brush()->Color());
    const int S = FHandleSize;
    for (const THandle& H : Handles()) {
        const TRect R{H.P.X - S, H.P.Y - S, H.P.X + S, H.P.Y + S};
        if (H.Is3D && C->View3D())
            Canvas.RectangleWithZ(R, H.Z);
        else
            Canvas.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
    }
}

// --- Mouse -----------------------------------------------------------------------------------------

void TSelectorTool::ClearSelection()
{
    FPart = TChartClickedPart{};
    FPartSeries = nullptr;
    FPartAxis = nullptr;
    FAnnotation = nullptr;
    FShape = nullptr;
    FWall = nullptr;
}

void TSelectorTool::SelectAt(int X, int Y)
{
    TCustomChart& C = *Chart();
    for (TPlotCustomTool* Tool : C.Tools())
        if (auto* A = qobject_cast<TAnnotationTool*>(Tool); A && A->Active() && A->Clicked(X, Y)) {
            FAnnotation = A;
            FShape = A->Shape();
            return;
        }
    FPart = C.CalcClickedPart(X, Y);
    FPartSeries = FPart.ASeries;
    FPartAxis = FPart.AAxis;
    switch (FPart.Part) {
    case cpLegend:
        FShape = C.Legend();
        break;
    case cpTitle:
        FShape = C.Title();
        break;
    case cpFoot:
        FShape = C.Foot();
        break;
    case cpSubTitle:
        FShape = C.SubTitle();
        break;
    case cpSubFoot:
        FShape = C.SubFoot();
        break;
    case cpChartRect:
        FWall = C.BackWall();
        break;
    default:
        break;
    }
}

void TSelectorTool::MouseDown(int X, int Y)
{
    TCustomChart& C = *Chart();
    if (FAllowResizeChart && std::abs(X - C.Width()) <= CornerReach && std::abs(Y - C.Height()) <= CornerReach) {
        FResizing = true;
        FResized = false;
        C.SetMouseCancelled(true);
        return;
    }
    ClearSelection();
    SelectAt(X, Y);
    DoSelected();
    if (FAllowDrag && FShape) {
        FDragging = true;
        FMoved = false;
        FOffsetX = FShape->Left() - X;
        FOffsetY = FShape->Top() - Y;
        // The press is the selector's: the chart starts no zoom of its own.
        C.SetMouseCancelled(true);
    }
}

void TSelectorTool::DragTo(int X, int Y)
{
    TPlotCustomShapePosition& S = *FShape;
    const int NewLeft = FOffsetX + X;
    if (S.Left() != NewLeft && (FMoved || std::abs(S.Left() - NewLeft) >= DragThreshold)) {
        S.SetLeft(NewLeft);
        FMoved = true;
    }
    const int NewTop = FOffsetY + Y;
    if (S.Top() != NewTop && (FMoved || std::abs(S.Top() - NewTop) >= DragThreshold)) {
        S.SetTop(NewTop);
        FMoved = true;
    }
    if (OnDragging)
        OnDragging(this);
}

void TSelectorTool::ResizeTo(int X, int Y)
{
    TCustomChart& C = *Chart();
    if (C.Align() != TControl::TAlign::alNone)
        C.SetAlign(TControl::TAlign::alNone);
    if (C.Width() != X)
        C.SetWidth(X);
    if (C.Height() != Y)
        C.SetHeight(Y);
    FResized = true;
    if (OnResizing)
        OnResizing(this);
}

void TSelectorTool::MouseUp()
{
    if (FMoved && OnDragged)
        OnDragged(this);
    if (FResized && OnResized)
        OnResized(this);
    FDragging = false;
    FMoved = false;
    FResizing = false;
    FResized = false;
}

void TSelectorTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomTool::ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (!Chart() || !Active() || Shift.testFlag(TControl::ssDouble))
        return;
    switch (Kind) {
    case cmeDown:
        if (Button == mbLeft)
            MouseDown(X, Y);
        break;
    case cmeMove:
        if (FDragging && FShape)
            DragTo(X, Y);
        else if (FResizing)
            ResizeTo(X, Y);
        break;
    case cmeUp:
        MouseUp();
        break;
    }
}

void RegisterSelectorTool()
{
    RegisterPlotTools({PlotClass<TSelectorTool>()});
}

void UnregisterSelectorTool()
{
    UnRegisterPlotTools({&TSelectorTool::staticMetaObject});
}

} // namespace lp
