// Volume pipe: outline, section boundaries, drawing, marks, hit test,
// sample values and registration.

#include "chart/extensions/stats/PlotVolumePipe.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <cmath>

namespace lp {

TVolumePipeSeries::TVolumePipeSeries(TComponent* AOwner) : TChartSeries(AOwner)
{
    FGradient = std::make_unique<TPlotGradient>([this](TPersistent* Sender) { CanvasChanged(Sender); });
    FGradient->SetVisible(true);
    FGradient->SetMidColor(clWhite);
    KeepStartAsDefault(*FGradient, {"MidColor", "Visible"});
    FLinesPen = CreateChartPen();
    SetColorEachPoint(true);
}

TVolumePipeSeries::~TVolumePipeSeries()
{
    // The pen and gradient call back into the series on change: they go first.
    FLinesPen.reset();
    FGradient.reset();
}

void TVolumePipeSeries::SetGradient(const TPlotGradient* Value)
{
    FGradient->Assign(Value);
}

TVolumePipeSeries::TQuad TVolumePipeSeries::CalcOutline(const TRect& Chart) const
{
    const int L = Chart.Left;
    const int T = Chart.Top;
    const int R = Chart.Right;
    const int B = Chart.Bottom;
    const double Half = std::clamp(FConePercent, 0, 100) / 2;
    return {TPoint{L + 2, T + 2}, TPoint{R - 2, RoundToInt32((B - T) * Half * 0.01 + T)},
            TPoint{R - 2, RoundToInt32(B - (B - T) * Half * 0.01)}, TPoint{L + 2, B - 2}};
}

int TVolumePipeSeries::BoundaryOffset(int ValueIndex, const TQuad& Outline) const
{
    double Cum = 0;
    for (int I = 0; I <= ValueIndex; ++I)
        Cum += YValues()->Value(I);
    return OffsetOfRunningTotal(Cum, Outline);
}

int TVolumePipeSeries::OffsetOfRunningTotal(double Cum, const TQuad& Outline) const
{
    const double Total = YValues()->TotalABS();
    const double W = Outline[1].X - Outline[0].X;
    const double H0 = Outline[3].Y - Outline[0].Y;
    const double H1 = Outline[2].Y - Outline[1].Y;
    if (Total == 0 || W <= 0 || H0 <= 0)
        return 0;
    const double S = RoundHalfEven(W * (H0 + H1) * 0.5);
    const double A = S * (Cum / Total * 100) * 0.01;
    const double D = H0 - H1;
    double X;
    if (D == 0) {
        X = A / H0;
    } else {
        // The smaller root of d·x² − 2·W·H0·x + 2·W·A = 0; rounding of the
        // area may leave a hair of negative discriminant at the far end.
        const double B = 2 * W * H0;
        const double Discriminant = std::max(0.0, B * B - 4 * D * (2 * A * W));
        X = (B - std::sqrt(Discriminant)) / (2 * D);
    }
    return RoundToInt32(std::clamp(X, 0.0, W));
}

TRect TVolumePipeSeries::PipeRect()
{
    TRect R = FParentChart->ChartRectangle();
    if (!Marks()->Visible() || FirstVisibleIndex() < 0)
        return R;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    int Tallest = 0;
    for (int I = FirstVisibleIndex(); I <= LastVisibleIndex(); ++I) {
        if (IsNull(I))
            continue;
        int Lines = 0;
        Canvas.AssignFont(Marks()->ItemFont(I));
        FParentChart->MultiLineTextWidth(GetMarkText(I), Lines);
        Tallest = std::max(Tallest, Canvas.FontHeight() * Lines);
    }
    R.Top += Tallest;
    return R;
}

void TVolumePipeSeries::DoBeforeDrawChart()
{
    TChartSeries::DoBeforeDrawChart();
    if (Active() && GetVertAxis())
        GetVertAxis()->SetVisible(false);
}

void TVolumePipeSeries::FillSection(int ValueIndex, const TQuad& Polygon)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const bool Is3D = FParentChart->View3D();
    const TColor Color = GetValueColor(ValueIndex);
    if (FLinesPen->Visible())
        Canvas.AssignVisiblePen(*FLinesPen);
    else
        Canvas.Pen()->SetStyle(TPen::psClear);
    if (FGradient->Visible()) {
        // A copy in the point's colour: the stored gradient stays as set.
        TPlotGradient Fill;
        Fill.Assign(FGradient.get());
        Fill.SetStartColor(Color);
        Fill.SetEndColor(Color);
        Fill.DrawPolygon(Canvas, TPointArray{Polygon[0], Polygon[1], Polygon[2], Polygon[3]}, DepthStart(), Is3D);
        return;
    }
    Canvas.AssignBrush(*Brush(), Color);
    if (Is3D)
        Canvas.PolygonWithZ(Polygon, DepthStart());
    else
        Canvas.Polygon(Polygon, 3);
}

void TVolumePipeSeries::DrawAllValues()
{
    TChartSeries::DrawAllValues();
    FSections.clear();
    if (!FParentChart)
        return;
    FParentChart->Canvas().Brush()->SetStyle(TBrush::bsClear);
    if (FConePercent > 100)
        FConePercent = 100;
    const TRect Rect = PipeRect();
    if (Rect.Bottom - Rect.Top <= 4)
        return;
    const TQuad P = CalcOutline(Rect);
    const int W = P[1].X - P[0].X;
    const int Dy = P[1].Y - P[0].Y;
    int CurrentX = P[0].X;
    int CurrentInset = 0;
    double Cum = 0;
    for (int I = 0; W > 0 && I < Count(); ++I) {
        Cum += YValues()->Value(I);
        if (IsNull(I))
            continue;
        const int X = OffsetOfRunningTotal(Cum, P);
        const int Inset = RoundToInt32(double(X) / W * Dy);
        const TQuad Section{TPoint{P[0].X + X, P[3].Y - Inset}, TPoint{P[0].X + X, P[0].Y + Inset},
                            TPoint{CurrentX, P[0].Y + CurrentInset}, TPoint{CurrentX, P[3].Y - CurrentInset}};
        FSections.push_back({I, Section});
        FillSection(I, Section);
        CurrentX = P[0].X + X;
        CurrentInset = Inset;
    }
    if (Pen()->Visible()) {
        TPlotCanvas3D& Canvas = FParentChart->Canvas();
        Canvas.AssignVisiblePen(*Pen());
        Canvas.Brush()->SetStyle(TBrush::bsClear);
        if (FParentChart->View3D())
            Canvas.PolygonWithZ(P, DepthStart());
        else
            Canvas.Polygon(P, 3);
    }
}

void TVolumePipeSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    const auto Section = std::find_if(FSections.begin(), FSections.end(),
                                      [&](const TSection& S) { return S.ValueIndex == ValueIndex; });
    if (Section == FSections.end() || !FParentChart)
        return;
    const int Middle = (Section->Polygon[0].X + Section->Polygon[2].X) / 2;
    const int Top = FParentChart->ChartRectangle().Top;
    APosition.TopLeft = {Middle - APosition.MarkWidth / 2, Top};
    APosition.ArrowStart = {Middle, Top + APosition.MarkHeight};
    APosition.ArrowEnd = APosition.ArrowStart;
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

int TVolumePipeSeries::Clicked(int X, int Y)
{
    const int Hit = TChartSeries::Clicked(X, Y);
    if (Hit >= 0)
        return Hit;
    for (const TSection& S : FSections)
        if (PointInPolygon(TPoint{X, Y}, S.Polygon))
            return S.ValueIndex;
    return -1;
}

void TVolumePipeSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const QString* Names[] = {&PlotMsg_SampleCars, &PlotMsg_SamplePhones, &PlotMsg_SampleTables,
                              &PlotMsg_SampleMonitors, &PlotMsg_SampleLamps};
    for (int I = 0; I < NumValues; ++I)
        Add(RandomValue(1000) + 1, *Names[I % 5], clPlotColor);
}

void RegisterVolumePipeSeries()
{
    RegisterPlotSeries<TVolumePipeSeries>(&PlotMsg_GalleryVolumePipe, &PlotMsg_GalleryStats, 1);
}

void UnregisterVolumePipeSeries()
{
    UnRegisterPlotSeries({&TVolumePipeSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TVolumePipeSeries::staticMetaObject));
}

} // namespace lp
