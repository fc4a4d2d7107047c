// Drawing of the line, point and area series: the point routine that keeps
// the previous point, the segment in 2-D and 3-D, stairs, area bands,
// blending, and the shadow and outline passes.

#include "chart/engine/PlotSeries.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lp {

namespace {

// The shade of sloping 3-D faces.
constexpr int DarkAmount = 64;

// Moves an axis' pixel span by Delta for a shadow pass.
void ShiftAxis(TChartAxis* Axis, int Delta)
{
    if (Axis && Delta != 0)
        Axis->SetPixelSpan(Axis->StartPixel() + Delta, Axis->EndPixel() + Delta);
}

} // namespace

int TCustomSeries::VisibleOrigin(int Pos) const
{
    if (!FParentChart)
        return Pos;
    const TRect R = FParentChart->ChartRectangle();
    const int Reach = FParentChart->Width() + FParentChart->Height() + 1;
    if (MandatoryIsY())
        return std::clamp(Pos, R.Top - Reach, R.Bottom + Reach);
    return std::clamp(Pos, R.Left - Reach, R.Right + Reach);
}

TColor TCustomSeries::AreaFillColor(TColor Color) const
{
    if (ColorEachPoint() || FAreaColor == clPlotColor)
        return Color;
    return FAreaColor;
}

void TCustomSeries::DrawPointer(int X, int Y, TColor AColor, int ValueIndex)
{
    if (!FPointer->Visible() || AColor == clNone || !FParentChart)
        return;
    PreparePointer(ValueIndex);
    FPointer->PrepareCanvas(FParentChart->Canvas(), AColor);
    const TSeriesPointerStyle Style = OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : FPointer->Style();
    FPointer->DrawWithStyle(X, Y, Style, AColor);
}

int TCustomSeries::EdgeEntryY(int ValueIndex) const
{
    // The height where the line from the point before the visible range to
    // the first visible point crosses the chart's edge.
    const TChartAxis* HAxis = GetHorizAxis();
    const TChartAxis* VAxis = GetVertAxis();
    const double X0 = XValues()->Value(ValueIndex - 1);
    const double X1 = XValues()->Value(ValueIndex);
    if (!HAxis || !VAxis || X0 == X1)
        return CalcYPos(ValueIndex);
    const double Y0 = YValues()->Value(ValueIndex - 1);
    const double Y1 = YValues()->Value(ValueIndex);
    const double EdgeX = HAxis->CalcPosPoint(FPrevX);
    const double T = (EdgeX - X0) / (X1 - X0);
    double Y;
    if (VAxis->Logarithmic() && Y0 > 0 && Y1 > 0) {
        const double Base = VAxis->LogarithmicBase() > 0 && VAxis->LogarithmicBase() != 1 ? VAxis->LogarithmicBase()
                                                                                          : std::exp(1.0);
        const double L0 = std::log(Y0) / std::log(Base);
        const double L1 = std::log(Y1) / std::log(Base);
        Y = std::pow(Base, L0 + T * (L1 - L0));
    } else {
        Y = Y0 + T * (Y1 - Y0);
    }
    return CalcYPosValue(Y);
}

void TCustomSeries::DrawValue(int ValueIndex)
{
    if (!FParentChart)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const TColor Color = GetValueColor(ValueIndex);
    const int X = CalcXPos(ValueIndex);
    const int Y = CalcYPos(ValueIndex);
    FCurOrigin = VisibleOrigin(GetOriginPos(ValueIndex));
    const auto Remember = [&] {
        FPrevX = X;
        FPrevY = Y;
        FPrevOrigin = FCurOrigin;
        FPrevColor = Color;
    };
    // A null point draws nothing, and the next segment starts at the next
    // point.
    if (Color == clNone) {
        Remember();
        return;
    }
    if (Canvas.Pen()->Color() != clBlack)
        Canvas.Pen()->SetColor(clBlack);
    if (Canvas.Brush()->Color() != Color)
        Canvas.Brush()->SetColor(Color);
    if (FPrevColor == clNone) {
        FPrevX = X;
        FPrevY = Y;
        FPrevOrigin = FCurOrigin;
    }
    const int First = FirstDisplayedIndex();
    const int Last = DrawValuesForward() ? LastVisibleIndex() : FirstVisibleIndex();
    if (ValueIndex != First) {
        DrawSegment(ValueIndex, X, Y, Color, true);
    } else {
        const bool Is3D = FParentChart->View3D();
        if (FDark3D) {
            const int W = FParentChart->SeriesWidth3D();
            FDarkSlope = W == 0 ? 1.0 : std::abs(double(FParentChart->SeriesHeight3D()) / W);
        }
        if (First == FirstVisibleIndex() && ValueIndex > 0 && ValueIndex - 1 < Count() && !IsNull(ValueIndex - 1)) {
            const int Before = ValueIndex - 1;
            if (!FDrawArea) {
                const TRect R = FParentChart->ChartRectangle();
                const TChartAxis* HAxis = GetHorizAxis();
                FPrevX = HAxis && HAxis->Inverted() ? R.Right : R.Left;
                FPrevY = FStairs ? CalcYPos(Before) : EdgeEntryY(ValueIndex);
            } else {
                FPrevX = CalcXPos(Before);
                FPrevY = CalcYPos(Before);
                FPrevOrigin = VisibleOrigin(GetOriginPos(Before));
            }
            FPrevColor = GetValueColor(Before);
            DrawSegment(ValueIndex, X, Y, Color, false);
        }
        if (ValueIndex == Last || (First == FirstVisibleIndex() && FPointer->Visible()))
            DrawPointer(X, Y, Color, ValueIndex);
        if (Canvas.SupportsFullRotation() && FDrawArea && Is3D)
            Canvas.PlaneAtX(X, Y, FCurOrigin, DepthStart(), DepthEnd());
    }
    Remember();
}

void TCustomSeries::DrawSegment(int ValueIndex, int X, int Y, TColor Color, bool WithPointers)
{
    const bool Is3D = FParentChart->View3D();
    const int Last = DrawValuesForward() ? LastVisibleIndex() : FirstVisibleIndex();
    const bool IsLast = ValueIndex == Last;
    const bool Same = X == FPrevX && Y == FPrevY;
    if (!Same) {
        if (Is3D && (FDrawArea || FLineDrawn))
            DrawSegment3DLine(X, Y, Color, IsLast);
        if (FDrawArea)
            DrawAreaBand(ValueIndex, X, Y, Color, IsLast);
        else if (!Is3D && FLineDrawn)
            DrawLine2D(X, Y, Color);
    }
    if (WithPointers) {
        if (FPrevColor != clNone)
            DrawPointer(FPrevX, FPrevY, FPrevColor, ValueIndex - 1);
        DrawPointer(X, Y, Color, ValueIndex);
    }
}

void TCustomSeries::DrawSegment3DLine(int X, int Y, TColor Color, bool IsLast)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const int Z0 = DepthStart();
    const int Z1 = DepthEnd();
    Canvas.AssignVisiblePen(*Pen());
    const TColor Fill = !FColorEachLine && !FDrawArea ? GetSeriesColor() : AreaFillColor(Color);
    Canvas.Brush()->SetStyle(LineBrush());
    Canvas.Brush()->SetColor(Canvas.GetMonochrome() ? clWhite : Fill);
    // An image of the element brush fills the ribbon as its pattern (the
    // colour changes below then only matter without one); later fills must
    // not inherit it.
    const bool Pattern = Brush()->HasImage() && !Canvas.GetMonochrome();
    if (Pattern)
        FParentChart->SetBrushCanvas(Fill, *Brush(), FParentChart->GetBackColor());
    struct TPatternReset {
        TBrush* Brush;
        bool Active;
        ~TPatternReset()
        {
            if (Active)
                Brush->SetBitmap(nullptr);
        }
    } Reset{Canvas.Brush(), Pattern};
    const TColor Dark = DarkenColor(Fill, DarkAmount);
    const bool Vertical = MandatoryIsY();
    if (!FStairs) {
        if (FLineHeight > 0 && !FDrawArea) {
            TFourPoints Four;
            Four[0] = TPoint{FPrevX, FPrevY};
            Four[1] = TPoint{X, Y};
            Four[2] = TPoint{X, Y + FLineHeight};
            Four[3] = TPoint{FPrevX, FPrevY + FLineHeight};
            Canvas.PlaneWithZPoints(Four, Z0);
            if (IsLast)
                Canvas.PlaneAtX(X, Y, Y + FLineHeight, Z0, Z1);
        }
        const bool Darken = FDark3D && !Canvas.SupportsFullRotation() && X != FPrevX && FDarkSlope != 0 &&
                            FDarkSlope < double(FPrevY - Y) / double(X - FPrevX);
        if (Darken)
            Canvas.Brush()->SetColor(Dark);
        Canvas.Plane3D(TPoint{X, Y}, TPoint{FPrevX, FPrevY}, Z0, Z1);
        if (Darken && FLineHeight > 0 && !FDrawArea)
            Canvas.Plane3D(TPoint{X, Y + FLineHeight}, TPoint{FPrevX, FPrevY + FLineHeight}, Z0, Z1);
        Canvas.Brush()->SetColor(Fill);
        return;
    }
    const auto Riser = [&](auto&& Draw) {
        if (FDark3D)
            Canvas.Brush()->SetColor(Dark);
        Draw();
        Canvas.Brush()->SetColor(Fill);
    };
    if (!FInvertedStairs) {
        if (Vertical) {
            Canvas.PlaneAtY(FPrevX, FPrevY, X, Z0, Z1);
            Riser([&] { Canvas.PlaneAtX(X, Y, FPrevY, Z0, Z1); });
        } else {
            Canvas.PlaneAtX(FPrevX, FPrevY, Y, Z0, Z1);
            Riser([&] { Canvas.PlaneAtY(FPrevX, Y, X, Z0, Z1); });
        }
    } else {
        if (Vertical) {
            Riser([&] { Canvas.PlaneAtX(FPrevX, FPrevY, Y, Z0, Z1); });
            Canvas.PlaneAtY(X, Y, FPrevX, Z0, Z1);
        } else {
            Riser([&] { Canvas.PlaneAtY(FPrevX, FPrevY, X, Z0, Z1); });
            Canvas.PlaneAtX(X, Y, FPrevY, Z0, Z1);
        }
    }
}

void TCustomSeries::DrawAreaBand(int ValueIndex, int X, int Y, TColor Color, bool IsLast)
{
    (void)ValueIndex;
    TCustomAxisPanel& Chart = *FParentChart;
    TPlotCanvas3D& Canvas = Chart.Canvas();
    const bool Is3D = Chart.View3D();
    const bool Vertical = MandatoryIsY();
    const int Z0 = DepthStart();
    const int Z1 = DepthEnd();
    TColor Fill = AreaFillColor(Color);
    if (Fill == clPlotColor)
        Fill = GetSeriesColor();
    if (Brush()->HasImage() && Fill == Color)
        Fill = clWhite;
    if (FAreaLinesPen->Visible() && FAreaLinesPen->Color() != clPlotColor)
        Canvas.AssignVisiblePen(*FAreaLinesPen);
    else
        Canvas.AssignVisiblePenColor(*FAreaLinesPen, Fill);
    Chart.SetBrushCanvas(Fill, *FAreaBrush, Chart.GetBackColor());
    TPlotGradient* Gradient = GetFillGradient();
    const bool UseGradient = Gradient && Gradient->Visible();
    const int Transparency = GetTransparency();

    // The corners: for vertical series the origin lies under each point,
    // for horizontal ones beside it.
    std::array<TPoint, 4> Band;
    const auto AtOrigin = [Vertical](int PX, int PY, int Origin) {
        return Vertical ? TPoint{PX, Origin} : TPoint{Origin, PY};
    };
    TRect StairRect{};
    if (!FStairs) {
        Band = {AtOrigin(FPrevX, FPrevY, FPrevOrigin), TPoint{FPrevX, FPrevY}, TPoint{X, Y}, AtOrigin(X, Y, FCurOrigin)};
    } else {
        const int Value = Vertical ? (FInvertedStairs ? Y : FPrevY) : (FInvertedStairs ? X : FPrevX);
        const int Origin = FInvertedStairs ? FCurOrigin : FPrevOrigin;
        if (Vertical)
            StairRect = NormalizeRect(TRect{FPrevX, Value, X, Origin});
        else
            StairRect = NormalizeRect(TRect{Origin, FPrevY, Value, Y});
        if (Vertical)
            ++StairRect.Right;
        else
            ++StairRect.Bottom;
        Band = {TPoint{StairRect.Left, StairRect.Top}, TPoint{StairRect.Right, StairRect.Top},
                TPoint{StairRect.Right, StairRect.Bottom}, TPoint{StairRect.Left, StairRect.Bottom}};
    }
    std::unique_ptr<TPlotBlend> Blend;
    if (Transparency > 0) {
        std::array<TPoint, 4> Projected = Band;
        if (Is3D)
            for (TPoint& P : Projected)
                P = Canvas.Calculate3DPosition(P.X, P.Y, Z0);
        Blend = Canvas.BeginBlending(PolygonBounds(Projected, 4), Transparency);
    }
    if (!FStairs) {
        if (!Is3D) {
            if (UseGradient) {
                Canvas.ClipPolygon(Band, 4);
                const double MaxV = MandatoryValues()->MaxValue();
                const double MinV = MandatoryValues()->MinValue();
                const int A = VisibleOrigin(CalcPosValue(MaxV));
                const int B = VisibleOrigin(CalcPosValue(MinV));
                const TRect R = Vertical ? NormalizeRect(TRect{FPrevX, A, X, B}) : NormalizeRect(TRect{A, FPrevY, B, Y});
                Gradient->Draw(Canvas, R);
                Canvas.UnClipRectangle();
                if (Canvas.Pen()->Style() != TPen::psClear) {
                    Canvas.Brush()->SetStyle(TBrush::bsClear);
                    Canvas.LinePoints(Band[0], Band[1]);
                }
            } else {
                Canvas.Polygon(Band, 3);
            }
        } else {
            TFourPoints Four;
            for (int I = 0; I < 4; ++I)
                Four[I] = Band[static_cast<size_t>(I)];
            const int Rotation = Chart.View3DOptions()->Rotation();
            const int Z = Rotation > 90 && Rotation < 270 ? Z1 : Z0;
            if (UseGradient)
                Gradient->DrawFourPointsWithZ(Canvas, Four, Z);
            else
                Canvas.PlaneWithZ(Band[0], Band[1], Band[2], Band[3], Z);
            if (Canvas.SupportsFullRotation())
                Canvas.PlaneWithZ(Band[0], Band[1], Band[2], Band[3], Z == Z0 ? Z1 : Z0);
        }
    } else {
        if (!Is3D) {
            if (UseGradient) {
                Gradient->Draw(Canvas, StairRect);
                if (Canvas.Pen()->Style() != TPen::psClear) {
                    Canvas.Brush()->SetStyle(TBrush::bsClear);
                    Canvas.RectangleRect(StairRect);
                }
            } else {
                Canvas.RectangleRect(StairRect);
            }
        } else {
            Canvas.RectangleWithZ(StairRect, Z0);
            if (Canvas.SupportsFullRotation())
                Canvas.RectangleWithZ(StairRect, Z1);
        }
    }
    if (Blend)
        Canvas.EndBlending(std::move(Blend));
    if (Is3D && IsLast) {
        if (Vertical)
            Canvas.PlaneAtX(X, Y, FCurOrigin, Z0, Z1);
        else
            Canvas.PlaneAtY(FCurOrigin, Y, X, Z0, Z1);
    }
    if (Pen()->Visible()) {
        Canvas.AssignVisiblePen(*Pen());
        if (!FStairs) {
            Canvas.LineWithZ(FPrevX, FPrevY, X, Y, Z0);
        } else if (!FAreaLinesPen->Visible()) {
            if (Vertical) {
                const int StepY = FInvertedStairs ? Y : FPrevY;
                const int RiserX = FInvertedStairs ? FPrevX : X;
                Canvas.LineWithZ(FPrevX, StepY, X, StepY, Z0);
                Canvas.LineWithZ(RiserX, FPrevY, RiserX, Y, Z0);
            } else {
                const int StepX = FInvertedStairs ? X : FPrevX;
                const int RiserY = FInvertedStairs ? FPrevY : Y;
                Canvas.LineWithZ(StepX, FPrevY, StepX, Y, Z0);
                Canvas.LineWithZ(FPrevX, RiserY, X, RiserY, Z0);
            }
        }
    }
}

void TCustomSeries::DrawLine2D(int X, int Y, TColor Color)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    TColor LineColor = ColorEachPoint() && FColorEachLine ? Color : GetSeriesColor();
    if (Canvas.GetMonochrome())
        LineColor = clWhite;
    Canvas.AssignVisiblePenColor(*Pen(), LineColor);
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    // A dotted or dashed line leaves its gaps as they are (the background
    // colour of the device is whatever the last fill left there).
    Canvas.SetBackMode(TRANSPARENT);
    if (!FStairs) {
        if (FPrevColor != clNone)
            Canvas.Line(FPrevX, FPrevY, X, Y);
        return;
    }
    Canvas.MoveTo(FPrevX, FPrevY);
    if (FInvertedStairs)
        Canvas.LineTo(FPrevX, Y);
    else
        Canvas.LineTo(X, FPrevY);
    Canvas.LineTo(X, Y);
}

void TCustomSeries::DrawAllPass()
{
    FPrevColor = clNone;
    TChartSeries::DrawAllValues();
}

void TCustomSeries::DrawAllValues()
{
    if (!FParentChart) {
        TChartSeries::DrawAllValues();
        return;
    }
    if (FShadow->Size() != 0 && FShadow->Color() != clNone) {
        const TColor OldColor = SeriesColor();
        const bool OldPointer = FPointer->Visible();
        SetSeriesColor(FShadow->Color());
        FPointer->SetVisible(false);
        ShiftAxis(GetHorizAxis(), FShadow->HorizSize());
        ShiftAxis(GetVertAxis(), FShadow->VertSize());
        try {
            DrawAllPass();
        } catch (...) {
            ShiftAxis(GetHorizAxis(), -FShadow->HorizSize());
            ShiftAxis(GetVertAxis(), -FShadow->VertSize());
            FPointer->SetVisible(OldPointer);
            SetSeriesColor(OldColor);
            throw;
        }
        ShiftAxis(GetHorizAxis(), -FShadow->HorizSize());
        ShiftAxis(GetVertAxis(), -FShadow->VertSize());
        FPointer->SetVisible(OldPointer);
        SetSeriesColor(OldColor);
    }
    // The series colour comes back as it was after the outline pass, in 2-D
    // too: the line pen's own colour (black unless set) is not the series
    // colour, and taking it would recolour the series for good.
    if (FOutLine->Visible()) {
        TChartPen Saved;
        Saved.Assign(Pen());
        const TColor OldColor = SeriesColor();
        Pen()->Assign(FOutLine.get());
        SetSeriesColor(FOutLine->Color());
        Pen()->SetWidth(2 * Saved.Width() + FOutLine->Width() + 1);
        try {
            DrawAllPass();
        } catch (...) {
            Pen()->Assign(&Saved);
            SetSeriesColor(OldColor);
            throw;
        }
        Pen()->Assign(&Saved);
        SetSeriesColor(OldColor);
    }
    DrawAllPass();
}

} // namespace lp
