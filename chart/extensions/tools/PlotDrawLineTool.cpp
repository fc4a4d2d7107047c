#include "chart/extensions/tools/PlotDrawLineTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"

namespace lp {

// --- TDrawLine -----------------------------------------------------------------------------------

TDrawLine::TDrawLine(TCollection* Collection) : TCollectionItem(Collection) {}

TDrawLine::~TDrawLine() = default;

TDrawLineTool* TDrawLine::Tool() const
{
    const auto* Lines = qobject_cast<const TDrawLines*>(Collection());
    return Lines ? Lines->Tool() : nullptr;
}

void TDrawLine::RepaintTool() const
{
    if (TDrawLineTool* T = Tool())
        T->Repaint();
}

void TDrawLine::Assign(const TPersistent* Source)
{
    const auto* S = qobject_cast<const TDrawLine*>(Source);
    if (!S) {
        TCollectionItem::Assign(Source);
        return;
    }
    FX0 = S->FX0;
    FY0 = S->FY0;
    FX1 = S->FX1;
    FY1 = S->FY1;
    FStyle = S->FStyle;
    SetPen(S->FPen.get());
}

void TDrawLine::SetValue(double& Field, double Value)
{
    if (Field != Value) {
        Field = Value;
        RepaintTool();
    }
}

void TDrawLine::SetStyle(TDrawLineStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        RepaintTool();
    }
}

TChartPen* TDrawLine::Pen()
{
    if (!FPen) {
        FPen = std::make_unique<TChartPen>([this](TGraphicsObject*) { RepaintTool(); });
        if (TDrawLineTool* T = Tool())
            FPen->Assign(T->Pen());
    }
    return FPen.get();
}

void TDrawLine::SetPen(const TChartPen* Value)
{
    if (!Value) {
        if (FPen) {
            FPen.reset();
            RepaintTool();
        }
        return;
    }
    Pen()->Assign(Value);
}

// --- TDrawLines ----------------------------------------------------------------------------------

TDrawLines::TDrawLines(TDrawLineTool* AOwner)
    : TOwnedCollection(AOwner, CollectionItemFactory<TDrawLine>()), FTool(AOwner)
{
}

TDrawLines::~TDrawLines()
{
    // The lines still tell the tool while they go.
    Clear();
}

void TDrawLines::Notify(TCollectionItem* Item, TCollectionNotification Action)
{
    if (Action != cnAdded && FTool)
        FTool->LineRemoved(static_cast<const TDrawLine*>(Item));
}

// --- TDrawLineTool: settings and geometry --------------------------------------------------------

TDrawLineTool::TDrawLineTool(TComponent* AOwner) : TPlotCustomToolSeries(AOwner), FLines(std::make_unique<TDrawLines>(this))
{
}

TDrawLineTool::~TDrawLineTool()
{
    FLines->Clear();
}

QString TDrawLineTool::Description() const
{
    return PlotMsg_ToolDrawLine;
}

void TDrawLineTool::SetEnableSelect(bool Value)
{
    if (FEnableSelect == Value)
        return;
    FEnableSelect = Value;
    if (!Value) {
        FSelected = nullptr;
        Repaint();
    }
}

void TDrawLineTool::LineRemoved(const TDrawLine* Line)
{
    if (FSelected == Line) {
        FSelected = nullptr;
        FDragPart = lpNone;
    }
}

void TDrawLineTool::SetSelected(TDrawLine* Value)
{
    if (FSelected == Value)
        return;
    TDrawLine* Previous = FSelected;
    FSelected = Value;
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    if (Previous || !Value)
        Repaint();
    else
        DrawOnChartBuffer(*Chart, [this, Value](TPlotCanvas3D& Canvas) { DrawHandles(Canvas, *Value); });
}

TPoint TDrawLineTool::AxisPoint(double X, double Y) const
{
    const TChartAxis* H = HorizAxis();
    const TChartAxis* V = VertAxis();
    return TPoint{H ? H->CalcPosValue(X) : 0, V ? V->CalcPosValue(Y) : 0};
}

void TDrawLineTool::ScreenPoint(const TPoint& P, double& X, double& Y) const
{
    const TChartAxis* H = HorizAxis();
    const TChartAxis* V = VertAxis();
    X = H ? H->CalcPosPoint(P.X) : 0;
    Y = V ? V->CalcPosPoint(P.Y) : 0;
}

namespace {

TRect HandleRect(const TPoint& P)
{
    return TRect{P.X - 3, P.Y - 3, P.X + 3, P.Y + 3};
}

} // namespace

bool TDrawLineTool::ClickedLine(const TDrawLine& Line, int Part, const TPoint& P) const
{
    const TPoint P0 = AxisPoint(Line.X0(), Line.Y0());
    const TPoint P1 = AxisPoint(Line.X1(), Line.Y1());
    switch (Part) {
    case lpStart:
        return PointInRectPoint(HandleRect(P0), P);
    case lpEnd:
        return PointInRectPoint(HandleRect(P1), P);
    default:
        break;
    }
    switch (Line.Style()) {
    case dlHorizParallel:
        return PointInLineTolerance(P, P0.X, P0.Y, P1.X, P0.Y, FClickTolerance) ||
               PointInLineTolerance(P, P0.X, P1.Y, P1.X, P1.Y, FClickTolerance);
    case dlVertParallel:
        return PointInLineTolerance(P, P0.X, P0.Y, P0.X, P1.Y, FClickTolerance) ||
               PointInLineTolerance(P, P1.X, P0.Y, P1.X, P1.Y, FClickTolerance);
    default:
        return PointInLineTolerance(P, P0.X, P0.Y, P1.X, P1.Y, FClickTolerance);
    }
}

TDrawLine* TDrawLineTool::LineUnder(int Part, int X, int Y) const
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return nullptr;
    Chart->Canvas().Calculate2DPosition(X, Y, 0);
    const TPoint P{X, Y};
    if (FSelected && ClickedLine(*FSelected, Part, P))
        return FSelected;
    for (int I = 0; I < FLines->Count(); ++I)
        if (TDrawLine* Line = FLines->Items(I); ClickedLine(*Line, Part, P))
            return Line;
    return nullptr;
}

TDrawLine* TDrawLineTool::AnyLineUnder(int X, int Y, int& Part) const
{
    for (const int Tried : {int(lpNone), int(lpStart), int(lpEnd)})
        if (TDrawLine* Line = LineUnder(Tried, X, Y)) {
            Part = Tried;
            return Line;
        }
    Part = lpNone;
    return nullptr;
}

// --- Drawing -------------------------------------------------------------------------------------

void TDrawLineTool::DrawLine(TPlotCanvas3D& Canvas, const TPoint& P0, const TPoint& P1, TDrawLineStyle Style) const
{
    const bool Is3D = ParentChart()->View3D();
    switch (Style) {
    case dlLine:
        if (Is3D) {
            Canvas.MoveTo3D(P0.X, P0.Y, 0);
            Canvas.LineTo3D(P1.X, P1.Y, 0);
        } else {
            Canvas.Line(P0.X, P0.Y, P1.X, P1.Y);
        }
        break;
    case dlHorizParallel:
        for (const int Y : {P0.Y, P1.Y})
            Is3D ? Canvas.HorizLine3D(P0.X, P1.X, Y, 0) : Canvas.HorizLine(P0.X, P1.X, Y);
        break;
    case dlVertParallel:
        for (const int X : {P0.X, P1.X})
            Is3D ? Canvas.VertLine3D(X, P0.Y, P1.Y, 0) : Canvas.VertLine(X, P0.Y, P1.Y);
        break;
    }
}

void TDrawLineTool::DrawHandles(TPlotCanvas3D& Canvas, const TDrawLine& Line) const
{
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(ParentChart()->Color() == clBlack ? TColor(0xC0C0C0) : clBlack);
    Canvas.Pen()->SetStyle(psClear);
    for (const TPoint& P : {AxisPoint(Line.X0(), Line.Y0()), AxisPoint(Line.X1(), Line.Y1())})
        Canvas.RectangleWithZ(HandleRect(P), 0);
}

TRect TDrawLineTool::ClipRect() const
{
    if (!Series())
        return ParentChart()->ChartRectangle();
    const TChartAxis* H = HorizAxis();
    const TChartAxis* V = VertAxis();
    return NormalizeRect(TRect{H->StartPixel(), V->StartPixel(), H->EndPixel(), V->EndPixel()});
}

void TDrawLineTool::DrawLines()
{
    TCustomAxisPanel& Chart = *ParentChart();
    TPlotCanvas3D& Canvas = Chart.Canvas();
    Canvas.SetBackMode(1);
    const bool Clip = Chart.ClipPoints();
    if (Clip)
        Canvas.ClipCube(ClipRect(), 0, Chart.Depth3D());
    for (int I = 0; I < FLines->Count(); ++I) {
        const TDrawLine& Line = *FLines->Items(I);
        const TChartPen* LinePen = Line.OwnPen() ? Line.OwnPen() : Pen();
        Canvas.AssignVisiblePen(*LinePen);
        Canvas.Brush()->SetStyle(bsClear);
        DrawLine(Canvas, AxisPoint(Line.X0(), Line.Y0()), AxisPoint(Line.X1(), Line.Y1()), Line.Style());
    }
    if (FSelected)
        DrawHandles(Canvas, *FSelected);
    if (Clip)
        Canvas.UnClipRectangle();
}

void TDrawLineTool::ChartEvent(int Event)
{
    if (Event != cteAfterDraw)
        return;
    FBand.ChartPainted();
    if (ParentChart() && FLines->Count() > 0)
        DrawLines();
}

void TDrawLineTool::DrawRubberBand(TPlotCanvas3D& Canvas) const
{
    const TDrawLine* Line = FDragPart != lpNone ? FSelected : nullptr;
    const TChartPen* BandPen = Line && Line->OwnPen() ? Line->OwnPen() : Pen();
    const TColor Back = ColorToRGB(ParentChart()->GetBackColor());
    Canvas.AssignVisiblePenColor(*BandPen, ColorToRGB(BandPen->Color()) ^ (0xFFFFFF - Back));
    Canvas.Pen()->SetMode(TPen::pmNotXor);
    Canvas.Brush()->SetStyle(bsClear);
    DrawLine(Canvas, FBandStart, FBandEnd, Line ? Line->Style() : dlLine);
    Canvas.Pen()->SetMode(TPen::pmCopy);
}

void TDrawLineTool::ShowRubberBand()
{
    FBand.Show(*ParentChart(), [this](TPlotCanvas3D& Canvas) { DrawRubberBand(Canvas); });
}

void TDrawLineTool::HideRubberBand()
{
    FBand.Hide(*ParentChart(), [this](TPlotCanvas3D& Canvas) { DrawRubberBand(Canvas); });
}

// --- Mouse ---------------------------------------------------------------------------------------

void TDrawLineTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (!ParentChart())
        return;
    switch (Kind) {
    case cmeDown:
        if (Button == FButton)
            MouseDown(X, Y);
        break;
    case cmeMove:
        MouseMove(X, Y);
        break;
    case cmeUp:
        MouseUp();
        break;
    }
}

void TDrawLineTool::MouseDown(int X, int Y)
{
    int Part = lpNone;
    if (TDrawLine* Line = FEnableSelect ? AnyLineUnder(X, Y, Part) : nullptr) {
        PickLine(Line, Part, X, Y);
        return;
    }
    SetSelected(nullptr);
    if (!FEnableDraw)
        return;
    FDrawing = true;
    FMoved = false;
    FBandStart = FBandEnd = FLastPoint = TPoint{X, Y};
    ShowRubberBand();
    ParentChart()->SetMouseCancelled(true);
}

void TDrawLineTool::PickLine(TDrawLine* Line, int Part, int X, int Y)
{
    if (Line != FSelected) {
        // A line whose selection is refused is neither selected nor
        // dragged: the press is ignored.
        bool Allow = true;
        if (OnSelecting)
            OnSelecting(this, Line, Allow);
        if (!Allow)
            return;
    }
    FBandStart = AxisPoint(Line->X0(), Line->Y0());
    FBandEnd = AxisPoint(Line->X1(), Line->Y1());
    FLastPoint = TPoint{X, Y};
    FMoved = false;
    if (Line == FSelected) {
        if (Part == lpStart || LineUnder(lpStart, X, Y) == Line)
            FDragPart = lpStart;
        else if (Part == lpEnd || LineUnder(lpEnd, X, Y) == Line)
            FDragPart = lpEnd;
        else
            FDragPart = lpWhole;
    } else {
        FDragPart = lpWhole;
        SetSelected(Line);
        if (OnSelect)
            OnSelect(this);
    }
    ParentChart()->SetMouseCancelled(true);
}

void TDrawLineTool::MouseMove(int X, int Y)
{
    TCustomAxisPanel& Chart = *ParentChart();
    if (!FDrawing && FDragPart == lpNone) {
        if (!FEnableSelect)
            return;
        TCursor Shown = crDefault;
        if (FSelected && (LineUnder(lpStart, X, Y) == FSelected || LineUnder(lpEnd, X, Y) == FSelected))
            Shown = crCross;
        else if (LineUnder(lpNone, X, Y))
            Shown = crHandPoint;
        if (Shown != crDefault) {
            Chart.ShowCursor(Shown);
            Chart.SetMouseCancelled(true);
        }
        return;
    }
    const TPoint Mouse{X, Y};
    Chart.SetMouseCancelled(true);
    // A move event that does not move changes nothing.
    if (Mouse == FLastPoint)
        return;
    HideRubberBand();
    if (FDragPart == lpStart) {
        FBandStart = Mouse;
    } else if (FDragPart == lpEnd || FDrawing) {
        FBandEnd = Mouse;
    } else {
        const int DX = X - FLastPoint.X;
        const int DY = Y - FLastPoint.Y;
        FBandStart = TPoint{FBandStart.X + DX, FBandStart.Y + DY};
        FBandEnd = TPoint{FBandEnd.X + DX, FBandEnd.Y + DY};
    }
    FLastPoint = Mouse;
    ShowRubberBand();
    FMoved = true;
    if (OnDragLine)
        OnDragLine(this);
}

void TDrawLineTool::MouseUp()
{
    if (FDragPart != lpNone) {
        HideRubberBand();
        // A press that only selects leaves the line's values as they are
        // (the pixel round trip would move them).
        if (FSelected && FMoved) {
            double X = 0, Y = 0;
            if (FDragPart != lpEnd) {
                ScreenPoint(FBandStart, X, Y);
                FSelected->SetX0(X);
                FSelected->SetY0(Y);
            }
            if (FDragPart != lpStart) {
                ScreenPoint(FBandEnd, X, Y);
                FSelected->SetX1(X);
                FSelected->SetY1(Y);
            }
        }
        FDragPart = lpNone;
        Repaint();
        if (FMoved) {
            FMoved = false;
            if (OnDraggedLine)
                OnDraggedLine(this);
        }
        return;
    }
    if (!FDrawing)
        return;
    FDrawing = false;
    HideRubberBand();
    if (FBandStart == FBandEnd)
        return;
    TDrawLine* Line = FLines->Add();
    double X = 0, Y = 0;
    ScreenPoint(FBandStart, X, Y);
    Line->SetX0(X);
    Line->SetY0(Y);
    ScreenPoint(FBandEnd, X, Y);
    Line->SetX1(X);
    Line->SetY1(Y);
    if (FSelectNewLines)
        FSelected = Line;
    Repaint();
    if (OnNewLine)
        OnNewLine(this);
}

} // namespace lp
