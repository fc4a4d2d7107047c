// Smith series: impedance positions, the resistance circles and reactance
// arcs with their labels, the points, clicks and registration.

#include "chart/extensions/circular/PlotSmithSeries.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/circular/PlotCircular_p.h"
#include "platform/core/ClassRegistry.h"

#include <array>
#include <cmath>
#include <numbers>

namespace lp {


namespace {

constexpr std::array<double, 7> ResistanceGrid{0, 0.2, 0.5, 1, 2, 5, 10};
constexpr std::array<double, 12> ReactanceGrid{0, 0.1, 0.3, 0.5, 0.8, 1, 1.5, 2, 3, 5, 7, 10};

} // namespace

TSmithSeries::TSmithSeries(TComponent* AOwner) : TCircledSeries(AOwner)
{
    XValues()->SetName(PlotMsg_ValuesResistance);
    XValues()->InitOrder(loNone);
    YValues()->SetName(PlotMsg_ValuesReactance);
    FPointer = std::make_unique<TSeriesPointer>(this);
    FCirclePen = CreateChartPen();
}

TSmithSeries::~TSmithSeries()
{
    // The pen calls back into the series on change.
    FCirclePen.reset();
}

void TSmithSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TCircledSeries::SetParentChart(Value);
    FPointer->SetParentChart(Value);
    if (Value && IsDesigning())
        Value->SetView3D(false);
}

// --- Settings on the axes -----------------------------------------------------------------------

TChartPen* TSmithSeries::RCirclePen() const
{
    return GetHorizAxis() ? static_cast<TChartPen*>(GetHorizAxis()->Grid()) : Pen();
}

void TSmithSeries::SetRCirclePen(const TChartPen* Value)
{
    if (GetHorizAxis())
        GetHorizAxis()->Grid()->Assign(Value);
}

TChartPen* TSmithSeries::CCirclePen() const
{
    return GetVertAxis() ? static_cast<TChartPen*>(GetVertAxis()->Grid()) : Pen();
}

void TSmithSeries::SetCCirclePen(const TChartPen* Value)
{
    if (GetVertAxis())
        GetVertAxis()->Grid()->Assign(Value);
}

bool TSmithSeries::RLabels() const
{
    return GetHorizAxis() ? GetHorizAxis()->Labels() : true;
}

void TSmithSeries::SetRLabels(bool Value)
{
    if (GetHorizAxis())
        GetHorizAxis()->SetLabels(Value);
}

bool TSmithSeries::CLabels() const
{
    return GetVertAxis() ? GetVertAxis()->Labels() : true;
}

void TSmithSeries::SetCLabels(bool Value)
{
    if (GetVertAxis())
        GetVertAxis()->SetLabels(Value);
}

TPlotFont* TSmithSeries::RLabelsFont() const
{
    return GetHorizAxis() ? GetHorizAxis()->LabelsFont() : Marks()->Font();
}

void TSmithSeries::SetRLabelsFont(const TPlotFont* Value)
{
    if (GetHorizAxis())
        GetHorizAxis()->SetLabelsFont(Value);
}

TPlotFont* TSmithSeries::CLabelsFont() const
{
    return GetVertAxis() ? GetVertAxis()->LabelsFont() : Marks()->Font();
}

void TSmithSeries::SetCLabelsFont(const TPlotFont* Value)
{
    if (GetVertAxis())
        GetVertAxis()->SetLabelsFont(Value);
}

// --- Geometry -----------------------------------------------------------------------------------

bool TSmithSeries::PositionOf(double R, double X, TPoint& P) const
{
    const double S = R * R + X * X;
    const double Denominator = 2 * R + S + 1;
    if (!(Denominator != 0) || !std::isfinite(Denominator))
        return false;
    const double D = 1 / Denominator;
    P.X = FCircleXCenter + RoundPixel(FXRadius * (S - 1) * D);
    P.Y = FCircleYCenter - RoundPixel(FYRadius * 2 * X * D);
    return true;
}

int TSmithSeries::CalcXPos(int Index) const
{
    TPoint P{FCircleXCenter, FCircleYCenter};
    PositionOf(XValues()->Value(Index), YValues()->Value(Index), P);
    return P.X;
}

int TSmithSeries::CalcYPos(int Index) const
{
    TPoint P{FCircleXCenter, FCircleYCenter};
    PositionOf(XValues()->Value(Index), YValues()->Value(Index), P);
    return P.Y;
}

int TSmithSeries::Clicked(int X, int Y)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart && Chart->View3D())
        Chart->Canvas().Calculate2DPosition(X, Y, DepthEnd());
    if (const int Base = TCircledSeries::Clicked(X, Y); Base != -1)
        return Base;
    if (!FPointer->Visible())
        return -1;
    for (int I = 0; I < Count(); ++I) {
        TPoint P;
        if (IsNull(I) || !PositionOf(XValues()->Value(I), YValues()->Value(I), P))
            continue;
        if (std::abs(P.X - X) < FPointer->HorizSize() && std::abs(P.Y - Y) < FPointer->VertSize())
            return I;
    }
    return -1;
}

// --- Grid ---------------------------------------------------------------------------------------

bool TSmithSeries::IsFirstOfClass() const
{
    return circular::IsEndOfClass(*this, false);
}

void TSmithSeries::DoBeforeDrawValues()
{
    TCircledSeries::DoBeforeDrawValues();
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !IsFirstOfClass())
        return;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    if (CLabels())
        CalcCircleRect(circular::ShrinkChartRectangle(*Chart, Canvas.TextWidth(QStringLiteral("360")),
                                                      Canvas.FontHeight() + 2));
    circular::PrepareCircleBackground(Canvas, CircleBackColor(), *FCirclePen);
    Canvas.EllipseWithZ(FCircleRect.Left, FCircleRect.Top, FCircleRect.Right, FCircleRect.Bottom, DepthEnd());
    if (Gradient()->Visible())
        DrawCircleGradient();
    if (!Chart->AxisVisible() || !Chart->AxisBehind())
        return;
    circular::RunBeforeDrawAxes(*Chart);
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.SetBackMode(TRANSPARENT);
    if (GetVertAxis() && GetVertAxis()->Visible())
        for (const double X : ReactanceGrid)
            DrawReactanceArc(X);
    if (GetHorizAxis() && GetHorizAxis()->Visible())
        for (const double R : ResistanceGrid)
            DrawResistanceCircle(R);
}

void TSmithSeries::DrawResistanceCircle(double R)
{
    if (R == -1)
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const double K = 1 / (1 + R);
    const int RX = RoundPixel(FXRadius * K);
    const int RY = RoundPixel(FYRadius * K);
    const int Right = FCircleRect.Right;
    Canvas.AssignVisiblePen(*RCirclePen());
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.EllipseWithZ(Right - 2 * RX, FCircleYCenter - RY, Right, FCircleYCenter + RY, DepthEnd());
    if (RLabels()) {
        Canvas.AssignFont(*RLabelsFont());
        Canvas.SetTextAlign(TA_CENTER | TA_TOP);
        Canvas.TextOut3D(Right - 2 * RX, FCircleYCenter, DepthEnd(), circular::ShortestText(R));
    }
}

void TSmithSeries::DrawReactanceArc(double X)
{
    TCustomAxisPanel& Chart = *ParentChart();
    TPlotCanvas3D& Canvas = Chart.Canvas();
    Canvas.AssignVisiblePen(*CCirclePen());
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    const int Z = DepthEnd();
    if (X == 0) {
        Canvas.LineWithZ(FCircleRect.Left, FCircleYCenter, FCircleRect.Right, FCircleYCenter, Z);
        DrawReactanceLabel({FCircleRect.Left, FCircleYCenter}, QStringLiteral("0") + FImagSymbol);
        return;
    }
    TPoint P1;
    TPoint P2;
    TPoint P1Mirror;
    PositionOf(0, X, P1);
    PositionOf(100, X, P2);
    PositionOf(0, -X, P1Mirror);
    const int RX = RoundPixel(FXRadius / X);
    const int RY = RoundPixel(FYRadius / X);
    const int Right = FCircleRect.Right;
    const bool Flat = !Chart.View3D() || Chart.View3DOptions()->Orthogonal();
    // Arcs run counter-clockwise on screen: from the outer circle down to
    // the right end for +x, from the right end round to the outer circle
    // for -x.
    const auto Arc = [&](const TRect& Box, const TPoint& From, const TPoint& To) {
        const TPoint TL = Canvas.Calculate3DPosition(Box.Left, Box.Top, Z);
        const TPoint BR = Canvas.Calculate3DPosition(Box.Right, Box.Bottom, Z);
        const TPoint A = Canvas.Calculate3DPoint(From, Z);
        const TPoint B = Canvas.Calculate3DPoint(To, Z);
        Canvas.Arc(TL.X, TL.Y, BR.X, BR.Y, A.X, A.Y, B.X, B.Y);
    };
    if (Flat)
        Arc({Right - RX, FCircleYCenter - 2 * RY, Right + RX, FCircleYCenter}, P1, P2);
    if (CLabels())
        DrawReactanceLabel(P1, circular::ShortestText(X) + FImagSymbol);
    if (Flat)
        Arc({Right - RX, FCircleYCenter, Right + RX, FCircleYCenter + 2 * RY}, P2, P1Mirror);
    if (CLabels())
        DrawReactanceLabel(P1Mirror, circular::ShortestText(-X) + FImagSymbol);
}

void TSmithSeries::DrawReactanceLabel(const TPoint& P, const QString& Text)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    double A = std::atan2(double(FCircleYCenter - P.Y), double(P.X - FCircleXCenter)) * 180 / std::numbers::pi;
    if (A < 0)
        A += 360;
    if (A >= 360)
        A -= 360;
    // Whole degrees: the exact quarters decide alignment and offsets.
    A = std::round(A * 1e6) / 1e6;
    Canvas.AssignFont(*CLabelsFont());
    const int H = Canvas.FontHeight();
    int X = P.X;
    int Y = P.Y;
    if (A > 0 && A < 180)
        Y -= H;
    else if (A == 0 || A == 180)
        Y -= H / 2;
    unsigned Align = TA_LEFT;
    if (A == 90 || A == 270)
        Align = TA_CENTER;
    else if (A > 90 && A < 270)
        Align = TA_RIGHT;
    if (A == 0)
        X += Canvas.TextWidth(QStringLiteral("0")) / 2;
    else if (A == 180)
        X -= Canvas.TextWidth(QStringLiteral("0")) / 2;
    Canvas.SetBackMode(TRANSPARENT);
    Canvas.SetTextAlign(Align | TA_TOP);
    Canvas.TextOut3D(X, Y, DepthEnd(), Text);
}

// --- Points -------------------------------------------------------------------------------------

void TSmithSeries::DrawAllValues()
{
    FHasOld = false;
    TCircledSeries::DrawAllValues();
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !FPointer->Visible())
        return;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    for (int I = std::max(0, FirstVisibleIndex()); I <= LastVisibleIndex() && I < Count(); ++I) {
        TPoint P;
        if (IsNull(I) || !PositionOf(XValues()->Value(I), YValues()->Value(I), P))
            continue;
        const TColor Color = GetValueColor(I);
        FPointer->PrepareCanvas(Canvas, Color);
        FPointer->DrawWithStyle(P.X, P.Y, OnGetPointerStyle ? OnGetPointerStyle(this, I) : FPointer->Style(), Color);
    }
}

void TSmithSeries::DrawValue(int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    TPoint P;
    // A point without a finite position (r = -1, x = 0) is left out as a
    // null point is.
    if (!Chart || IsNull(ValueIndex) ||
        !PositionOf(XValues()->Value(ValueIndex), YValues()->Value(ValueIndex), P))
        return;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    if (Pen()->Visible())
        Canvas.AssignVisiblePenColor(*Pen(), GetValueColor(ValueIndex));
    else
        Canvas.Pen()->SetStyle(TPen::psClear);
    Canvas.SetBackMode(TRANSPARENT);
    if (!FHasOld)
        Canvas.MoveTo3D(P.X, P.Y, DepthEnd());
    else if (P.X != FOldX || P.Y != FOldY)
        Canvas.LineWithZ(FOldX, FOldY, P.X, P.Y, DepthEnd());
    FOldX = P.X;
    FOldY = P.Y;
    FHasOld = true;
}

// --- Samples and gallery ------------------------------------------------------------------------

void TSmithSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    for (int I = 0; I < NumValues; ++I)
        AddXY(I * 6.5 / NumValues, ((I == 0 ? 0 : RandomValue(I)) + 3.8) / NumValues);
}

void TSmithSeries::PrepareForGallery(bool IsEnabled)
{
    TCircledSeries::PrepareForGallery(IsEnabled);
    if (TCustomAxisPanel* Chart = ParentChart())
        circular::PrepareRoundGalleryView(*Chart);
}

// --- Registration -------------------------------------------------------------------------------

void RegisterSmithSeries()
{
    RegisterPlotSeries<TSmithSeries>(&PlotMsg_GallerySmith, &PlotMsg_GalleryExtended, 2);
}

void UnregisterSmithSeries()
{
    UnRegisterPlotSeries({&TSmithSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TSmithSeries::staticMetaObject));
}

} // namespace lp
