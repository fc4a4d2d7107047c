// The Bezier series.

#include "chart/extensions/shapes/PlotBezier.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/base/Numeric.h"
#include "platform/core/ClassRegistry.h"
#include "platform/graphics/DeviceContext.h"

namespace lp {

TBezierSeries::TBezierSeries(TComponent* AOwner) : TCustomSeries(AOwner) {}

void TBezierSeries::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TBezierSeries*>(Source)) {
        FBezierStyle = Other->FBezierStyle;
        FNumBezierPoints = Other->FNumBezierPoints;
    }
    TCustomSeries::Assign(Source);
}

void TBezierSeries::SetBezierStyle(TBezierStyle Value)
{
    if (FBezierStyle != Value) {
        FBezierStyle = Value;
        Repaint();
    }
}

void TBezierSeries::SetNumBezierPoints(int Value)
{
    if (Value < 2)
        throw ChartException(PlotMsg_BezierPoints);
    SetIntegerProperty(FNumBezierPoints, Value);
}

void TBezierSeries::SetSeriesColor(TColor Color)
{
    TCustomSeries::SetSeriesColor(Color);
    LinePen()->SetColor(Color);
}

void TBezierSeries::LineToPoint(const TPoint& P, bool Is3D)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    if (Is3D)
        Canvas.LineTo3D(P.X, P.Y, DepthStart());
    else
        Canvas.LineTo(P.X, P.Y);
}

void TBezierSeries::DrawCurve(const std::vector<TPoint>& P, int Order, int Last, bool Is3D)
{
    if (Last >= static_cast<int>(P.size()))
        return;
    if (ColorEachLine())
        ParentChart()->Canvas().AssignVisiblePenColor(*LinePen(), GetValueColor(Last));
    const auto At = [&](int Offset) { return P.at(static_cast<size_t>(Last - Order + 1 + Offset)); };
    for (int J = 1; J <= FNumBezierPoints; ++J) {
        const double T = static_cast<double>(J) / FNumBezierPoints;
        const double U = 1 - T;
        double X = 0;
        double Y = 0;
        if (Order == 3) {
            const double W[3] = {U * U, 2 * U * T, T * T};
            for (int K = 0; K < 3; ++K) {
                X += At(K).X * W[K];
                Y += At(K).Y * W[K];
            }
        } else {
            const double W[4] = {U * U * U, 3 * U * U * T, 3 * T * T * U, T * T * T};
            for (int K = 0; K < 4; ++K) {
                X += At(K).X * W[K];
                Y += At(K).Y * W[K];
            }
        }
        LineToPoint({RoundToInt32(X), RoundToInt32(Y)}, Is3D);
    }
}

void TBezierSeries::DrawAllValues()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || Count() == 0)
        return;
    std::vector<TPoint> P;
    P.reserve(static_cast<size_t>(Count()));
    for (int I = 0; I < Count(); ++I)
        P.push_back({CalcXPos(I), CalcYPos(I)});
    TPlotCanvas3D& Canvas = Chart->Canvas();
    const bool Is3D = Chart->View3D();
    // The series colour, also while it is the chart's automatic one.
    Canvas.AssignVisiblePenColor(*LinePen(), GetSeriesColor());
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.SetBackMode(TRANSPARENT);
    if (Is3D)
        Canvas.MoveTo3D(P[0].X, P[0].Y, DepthStart());
    else
        Canvas.MoveTo(P[0].X, P[0].Y);
    const int Last = Count() - 1;
    switch (FBezierStyle) {
    case bsWindows:
        if (!Is3D) {
            // From the current position through the first whole triples.
            std::vector<TPoint> Curve{P[0]};
            Curve.insert(Curve.end(), P.begin(), P.begin() + (Count() / 3) * 3);
            Canvas.GetHandle().PolyBezier(Curve.data(), static_cast<int>(Curve.size()));
            break;
        }
        DrawCurve(P, 3, 2, true);
        for (int I = 5; I <= Last; I += 3)
            DrawCurve(P, 4, I, true);
        break;
    case bsBezier3:
        DrawCurve(P, 3, 2, Is3D);
        for (int I = 4; I <= Last; I += 2)
            DrawCurve(P, 3, I, Is3D);
        break;
    case bsBezier4:
        DrawCurve(P, 4, 3, Is3D);
        for (int I = 6; I <= Last; I += 3)
            DrawCurve(P, 4, I, Is3D);
        break;
    }
    if (Pointer()->Visible())
        for (int I = 0; I < Count(); ++I)
            DrawPointer(P[static_cast<size_t>(I)].X, P[static_cast<size_t>(I)].Y, GetValueColor(I), I);
}

void TBezierSeries::PrepareForGallery(bool IsEnabled)
{
    TCustomSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(3);
    SetColorEachPoint(IsEnabled);
    Pointer()->SetDraw3D(false);
}

void RegisterBezierSeries()
{
    RegisterPlotSeries<TBezierSeries>(&PlotMsg_GalleryBezier, &PlotMsg_GalleryExtended, 1);
}

void UnregisterBezierSeries()
{
    UnRegisterPlotSeries({&TBezierSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TBezierSeries::staticMetaObject));
}

} // namespace lp
