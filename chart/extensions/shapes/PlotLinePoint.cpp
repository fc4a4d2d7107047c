// The line point and bar join series.

#include "chart/extensions/shapes/PlotLinePoint.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/DeviceContext.h"

#include <array>
#include <utility>

namespace lp {

// --- TMyPointSeries -----------------------------------------------------------------------------

TMyPointSeries::TMyPointSeries(TComponent* AOwner) : TPointSeries(AOwner)
{
    FLinesPen = CreateChartPen();
    FLinesPen->SetColor(0x0000FF);
    Pointer()->SetDraw3D(false);
    Pointer()->SetStyle(psDiamond);
    KeepStartAsDefault(*FLinesPen, {"Color"});
    KeepStartAsDefault(*Pointer(), {"Draw3D", "Style"});
}

TMyPointSeries::~TMyPointSeries() = default;

void TMyPointSeries::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TMyPointSeries*>(Source))
        FLinesPen->Assign(Other->FLinesPen.get());
    TPointSeries::Assign(Source);
}

void TMyPointSeries::DrawValue(int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart && !IsNull(ValueIndex) && GetHorizAxis() && GetVertAxis()) {
        const int X = CalcXPos(ValueIndex);
        const int Y = CalcYPos(ValueIndex);
        TPlotCanvas3D& Canvas = Chart->Canvas();
        Canvas.Brush()->SetStyle(TBrush::bsClear);
        Canvas.SetBackMode(TRANSPARENT);
        Canvas.AssignVisiblePen(*FLinesPen);
        const std::array<TPoint, 3> Lines{TPoint{GetVertAxis()->AxisLinePixel(), Y}, TPoint{X, Y},
                                          TPoint{X, GetHorizAxis()->AxisLinePixel()}};
        Canvas.PolylineWithZ(Lines, DepthStart());
    }
    TPointSeries::DrawValue(ValueIndex);
}

// --- TBarJoinSeries -----------------------------------------------------------------------------

TBarJoinSeries::TBarJoinSeries(TComponent* AOwner) : TBarSeries(AOwner)
{
    FJoinPen = CreateChartPen();
}

TBarJoinSeries::~TBarJoinSeries() = default;

void TBarJoinSeries::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TBarJoinSeries*>(Source))
        FJoinPen->Assign(Other->FJoinPen.get());
    TBarSeries::Assign(Source);
}

void TBarJoinSeries::DoBeforeDrawChart()
{
    TBarSeries::DoBeforeDrawChart();
    FFirstBar = true;
}

void TBarJoinSeries::DrawBar(int BarIndex, int StartPos, int EndPos)
{
    TBarSeries::DrawBar(BarIndex, StartPos, EndPos);
    if (!FFirstBar)
        DrawJoin(StyleOf(BarIndex));
    FFirstBar = false;
    FPreviousBar = BarBounds();
}

void TBarJoinSeries::DrawJoin(TBarStyle Style)
{
    const TRect& Bar = BarBounds();
    const bool Centred = Style == bsPyramid || Style == bsEllipse || Style == bsArrow || Style == bsCone;
    int X0 = Centred ? (FPreviousBar.Left + FPreviousBar.Right) / 2 : FPreviousBar.Right;
    int X1 = Centred ? (Bar.Left + Bar.Right) / 2 : Bar.Left;
    int Y0 = FPreviousBar.Top;
    int Y1 = Bar.Top;
    if (!DrawValuesForward()) {
        X0 = Bar.Right;
        X1 = FPreviousBar.Left;
        std::swap(Y0, Y1);
    }
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignVisiblePen(*FJoinPen);
    Canvas.SetBackMode(TRANSPARENT);
    if (ParentChart()->View3D())
        Canvas.LineWithZ(X0, Y0, X1, Y1, DepthMiddle());
    else
        Canvas.Line(X0, Y0, X1, Y1);
}

void TBarJoinSeries::PrepareForGallery(bool IsEnabled)
{
    TBarSeries::PrepareForGallery(IsEnabled);
    FJoinPen->SetColor(0xFF0000);
    FJoinPen->SetWidth(2);
    FillSampleValues(2);
}

// --- Registration -------------------------------------------------------------------------------

void RegisterLinePointSeries()
{
    RegisterPlotSeries<TMyPointSeries>(&PlotMsg_GalleryLinePoint, &PlotMsg_GalleryOther, 1);
    RegisterPlotSeries<TBarJoinSeries>(&PlotMsg_GalleryBarJoin, &PlotMsg_GalleryOther, 1);
}

void UnregisterLinePointSeries()
{
    const std::initializer_list<const QMetaObject*> Classes = {&TMyPointSeries::staticMetaObject,
                                                               &TBarJoinSeries::staticMetaObject};
    UnRegisterPlotSeries(Classes);
    for (const QMetaObject* Meta : Classes)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
