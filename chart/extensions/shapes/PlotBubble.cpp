// The bubble series.

#include "chart/extensions/shapes/PlotBubble.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"

#include <QtCore/QScopeGuard>

#include <algorithm>
#include <array>
#include <cmath>

namespace lp {

namespace {

// Puts the pointer's stored sizes back when the scope ends.
auto KeepPointerSizes(TSeriesPointer& P)
{
    return qScopeGuard([&P, H = P.HorizSize(), V = P.VertSize()] {
        P.ChangeHorizSize(H);
        P.ChangeVertSize(V);
    });
}

} // namespace

TBubbleSeries::TBubbleSeries(TComponent* AOwner) : TPointSeries(AOwner)
{
    FRadiusValues = new TChartValueList(this, PlotMsg_ValuesRadius);
    Pointer()->SetInflateMargins(false);
    Pointer()->SetStyle(psCircle);
    Marks()->Pen()->SetVisible(false);
    Marks()->SetTransparent(true);
    KeepStartAsDefault(*Marks(), {"Transparent"});
    KeepStartAsDefault(*Marks()->Pen(), {"Visible"});
    SetColorEachPoint(true);
    KeepStartAsDefault(*Pointer(), {"InflateMargins", "Style"});
}

void TBubbleSeries::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TBubbleSeries*>(Source))
        FSquared = Other->FSquared;
    TPointSeries::Assign(Source);
}

int TBubbleSeries::AddBubble(double AX, double AY, double ARadius, const QString& ALabel, TColor AColor)
{
    FRadiusValues->SetTempValue(ARadius);
    return AddXY(AX, AY, ALabel, AColor);
}

void TBubbleSeries::PreparePointer(int ValueIndex)
{
    const double Radius = FRadiusValues->Value(ValueIndex);
    const int Vert = GetVertAxis() ? GetVertAxis()->CalcSizeValue(Radius) : 0;
    const int Horiz = FSquared || !GetHorizAxis() ? Vert : GetHorizAxis()->CalcSizeValue(Radius);
    // A radius that maps to no pixel draws the smallest pointer.
    Pointer()->ChangeVertSize(std::max(Vert, 1));
    Pointer()->ChangeHorizSize(std::max(Horiz, 1));
}

void TBubbleSeries::DrawValue(int ValueIndex)
{
    const TColor Color = GetValueColor(ValueIndex);
    const auto Restore = KeepPointerSizes(*Pointer());
    DrawPointer(CalcXPos(ValueIndex), CalcYPos(ValueIndex), Color, ValueIndex);
}

void TBubbleSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    const auto Restore = KeepPointerSizes(*Pointer());
    const int Size = std::max(std::min(Rect.Width(), Rect.Height()), 1);
    Pointer()->ChangeHorizSize(Size);
    Pointer()->ChangeVertSize(Size);
    TPointSeries::DrawLegendShape(ValueIndex, Rect);
}

int TBubbleSeries::Clicked(int X, int Y)
{
    const auto Restore = KeepPointerSizes(*Pointer());
    return TPointSeries::Clicked(X, Y);
}

bool TBubbleSeries::ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y)
{
    PreparePointer(ValueIndex);
    const int H = Pointer()->HorizSize();
    const int V = Pointer()->VertSize();
    const TPoint P{X, Y};
    switch (Pointer()->Style()) {
    case psCircle: return PointInEllipse(P, PX - H, PY - V, PX + H, PY + V);
    case psTriangle: return PointInVertTriangle(P, PX - H, PY - V, PX + H, PY + V);
    case psDownTriangle: return PointInVertTriangle(P, PX - H, PY + V, PX + H, PY - V);
    case psDiamond: {
        const std::array<TPoint, 4> Poly{TPoint{PX - H, PY}, TPoint{PX, PY - V}, TPoint{PX + H, PY},
                                         TPoint{PX, PY + V}};
        return PointInPolygon(P, Poly);
    }
    case psLeftTriangle: return PointInHorizTriangle(P, PX - H, PY - V, PX + H, PY + V);
    case psRightTriangle: return PointInHorizTriangle(P, PX + H, PY - V, PX - H, PY + V);
    case psNothing: return false;
    default: return std::abs(X - PX) < H && std::abs(Y - PY) < V;
    }
}

double TBubbleSeries::MaxYValue()
{
    double Result = TPointSeries::MaxYValue();
    for (int I = 0; I < Count(); ++I)
        Result = std::max(Result, YValues()->Value(I) + FRadiusValues->Value(I));
    return Result;
}

double TBubbleSeries::MinYValue()
{
    double Result = TPointSeries::MinYValue();
    for (int I = 0; I < Count(); ++I)
        Result = std::min(Result, YValues()->Value(I) - FRadiusValues->Value(I));
    return Result;
}

double TBubbleSeries::MaxZValue()
{
    if (!Pointer()->Draw3D() || Count() == 0)
        return TPointSeries::MaxZValue();
    return FRadiusValues->MaxValue();
}

double TBubbleSeries::MinZValue()
{
    if (!Pointer()->Draw3D() || Count() == 0)
        return TPointSeries::MinZValue();
    return -FRadiusValues->MaxValue();
}

TPlotGradient* TBubbleSeries::GetFillGradient() const
{
    return Pointer()->Gradient();
}

void TBubbleSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    const double DY = Bounds.DifY;
    double X = Bounds.StartX;
    for (int I = 0; I < NumValues; ++I) {
        const double Y = RandomValue(std::max(1, static_cast<int>(std::lround(DY))));
        const double Radius = std::round(DY / (10 + RandomValue(15))) + DY / 15;
        AddBubble(X, Y, Radius);
        X += Bounds.StepX;
    }
}

void TBubbleSeries::PrepareForGallery(bool IsEnabled)
{
    TPointSeries::PrepareForGallery(IsEnabled);
    Pointer()->Gradient()->SetVisible(true);
}

bool TBubbleSeries::IsValidSourceOf(TChartSeries* Source)
{
    return qobject_cast<TBubbleSeries*>(Source) != nullptr;
}

void RegisterBubbleSeries()
{
    RegisterPlotSeries<TBubbleSeries>(&PlotMsg_GalleryBubble, &PlotMsg_GalleryStandard, 1);
}

void UnregisterBubbleSeries()
{
    UnRegisterPlotSeries({&TBubbleSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TBubbleSeries::staticMetaObject));
}

} // namespace lp
