#include "chart/engine/PlotFastLine.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace lp {

TFastLineSeries::TFastLineSeries(TComponent* AOwner) : TCustomLineSeries(AOwner)
{
    SetFunctionResultCentered(false);
    SetKeepPointBeyondEdge(true);
    FLastPenColor = Pen()->Color();
}

TFastLineSeries::~TFastLineSeries() = default;

void TFastLineSeries::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TFastLineSeries*>(Source)) {
        FAutoRepaint = Other->FAutoRepaint;
        FDrawAllPoints = Other->FDrawAllPoints;
        FIgnoreNulls = Other->FIgnoreNulls;
        FInvertedStairs = Other->FInvertedStairs;
        FStairs = Other->FStairs;
        FDrawLine = Other->FDrawLine;
        FDirectPen = Other->FDirectPen;
        FFillMode = Other->FFillMode;
        FFillOrigin = Other->FFillOrigin;
        FFillColorAbove = Other->FFillColorAbove;
        FFillColorBelow = Other->FFillColorBelow;
        FClearAbove = Other->FClearAbove;
        FClearBelow = Other->FClearBelow;
    }
    TCustomLineSeries::Assign(Source);
    FLastPenColor = Pen()->Color();
}

void TFastLineSeries::SetFillMode(int Value)
{
    if (Value < fmNone || Value > fmVerticalOrigin)
        throw ChartException(QStringLiteral("Fill mode %1 is not 0, 1 or 2").arg(Value));
    SetIntegerProperty(FFillMode, Value);
}

// --- Colours and pen ---------------------------------------------------------------------------

void TFastLineSeries::SetSeriesColor(TColor Color)
{
    TCustomLineSeries::SetSeriesColor(Color);
    if (Color == clPlotColor || FSyncingColor)
        return;
    FSyncingColor = true;
    Pen()->SetColor(Color);
    FLastPenColor = Pen()->Color();
    FSyncingColor = false;
}

void TFastLineSeries::SetPen(const TChartPen* Value)
{
    TCustomLineSeries::SetPen(Value);
    if (Value)
        CanvasChanged(Pen());
}

void TFastLineSeries::CanvasChanged(QObject* Sender)
{
    // Only a new pen colour becomes the series colour: a width or style
    // change keeps an automatic (palette) series colour automatic.
    if (Sender == Pen() && !FSyncingColor && Pen()->Color() != FLastPenColor) {
        FLastPenColor = Pen()->Color();
        FSyncingColor = true;
        TCustomLineSeries::SetSeriesColor(FLastPenColor);
        FSyncingColor = false;
    }
    TCustomLineSeries::CanvasChanged(Sender);
}

void TFastLineSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TCustomLineSeries::CalcHorizMargins(LeftMargin, RightMargin);
    const int W = Pen()->Width();
    const int Extra = W - (W - 2) / 2;
    LeftMargin += Extra;
    RightMargin += Extra;
}

void TFastLineSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TCustomLineSeries::CalcVertMargins(TopMargin, BottomMargin);
    const int W = Pen()->Width();
    const int Extra = W - (W - 2) / 2;
    TopMargin += Extra;
    BottomMargin += Extra;
}

// --- Geometry ----------------------------------------------------------------------------------

bool TFastLineSeries::PointIsNull(int Index) const
{
    const std::vector<TColor>* C = Colors();
    return C && Index >= 0 && static_cast<size_t>(Index) < C->size() && (*C)[static_cast<size_t>(Index)] == clNone;
}

TPoint TFastLineSeries::PointPosition(int Index) const
{
    const TChartAxis* H = GetHorizAxis();
    const TChartAxis* V = GetVertAxis();
    return TPoint{H ? H->CalcPosValue(XValues()->Value(Index)) : 0, V ? V->CalcPosValue(YValues()->Value(Index)) : 0};
}

int TFastLineSeries::CalcOriginPixel() const
{
    if (FFillMode == fmVerticalOrigin)
        return GetHorizAxis() ? GetHorizAxis()->CalcPosValue(FFillOrigin) : 0;
    if (FFillMode == fmHorizontalOrigin)
        return GetVertAxis() ? GetVertAxis()->CalcPosValue(FFillOrigin) : 0;
    return 0;
}

bool TFastLineSeries::PixelAbove(const TPoint& P) const
{
    if (FFillMode == fmVerticalOrigin) {
        const bool Inverted = GetHorizAxis() && GetHorizAxis()->Inverted();
        return Inverted ? P.X <= FOriginPixel : P.X >= FOriginPixel;
    }
    const bool Inverted = GetVertAxis() && GetVertAxis()->Inverted();
    return Inverted ? P.Y >= FOriginPixel : P.Y <= FOriginPixel;
}

TColor TFastLineSeries::SideColor(bool Above) const
{
    const TColor C = Above ? FFillColorAbove : FFillColorBelow;
    return C == clPlotColor ? GetSeriesColor() : C;
}

void TFastLineSeries::BuildRuns(int From, int To)
{
    FPoints.clear();
    FRunEnds.clear();
    const TChartAxis* H = GetHorizAxis();
    const TChartAxis* V = GetVertAxis();
    if (!H || !V || From < 0 || To >= Count() || From > To)
        return;
    const double* XV = XValues()->Data();
    const double* YV = YValues()->Data();
    const std::vector<TColor>* C = Colors();
    const TColor* Colour = C ? C->data() : nullptr;
    const int ColourCount = C ? static_cast<int>(C->size()) : 0;
    const bool Steps = FStairs;
    const bool Inverted = FInvertedStairs;
    const bool Reduce = !FDrawAllPoints;
    FPoints.reserve(static_cast<size_t>(To - From + 1) * (Steps ? 2 : 1) + 4);

    size_t RunStart = 0;
    TPoint Previous{0, 0};
    // The pixel column being reduced (only with Reduce): its X, the lowest
    // and highest Y met and the last one; ColumnCount points fell on it.
    int ColumnX = 0;
    int ColumnMin = 0;
    int ColumnMax = 0;
    int ColumnLast = 0;
    int ColumnCount = 0;
    const auto Append = [this](const TPoint& P) {
        if (FPoints.empty() || FPoints.back().X != P.X || FPoints.back().Y != P.Y)
            FPoints.push_back(P);
    };
    const auto FlushColumn = [&] {
        if (ColumnCount > 1) {
            Append(TPoint{ColumnX, ColumnMin});
            Append(TPoint{ColumnX, ColumnMax});
            Append(TPoint{ColumnX, ColumnLast});
        }
        ColumnCount = 0;
    };
    const auto Emit = [&](const TPoint& P) {
        if (Reduce) {
            if (ColumnCount > 0 && P.X == ColumnX) {
                ColumnMin = std::min(ColumnMin, P.Y);
                ColumnMax = std::max(ColumnMax, P.Y);
                ColumnLast = P.Y;
                ++ColumnCount;
                return;
            }
            FlushColumn();
            ColumnX = P.X;
            ColumnMin = ColumnMax = ColumnLast = P.Y;
            ColumnCount = 1;
        }
        if (FPoints.size() == RunStart)
            FPoints.push_back(P); // a run always keeps its first point
        else
            Append(P);
    };
    const auto EndRun = [&] {
        FlushColumn();
        if (FPoints.size() > RunStart)
            FRunEnds.push_back(static_cast<int>(FPoints.size()));
        RunStart = FPoints.size();
    };

    for (int I = From; I <= To; ++I) {
        if (Colour && I < ColourCount && Colour[I] == clNone) {
            if (!FIgnoreNulls)
                EndRun();
            continue;
        }
        const TPoint P{H->CalcPosValue(XV[I]), V->CalcPosValue(YV[I])};
        if (Steps && FPoints.size() > RunStart)
            Emit(Inverted ? TPoint{Previous.X, P.Y} : TPoint{P.X, Previous.Y});
        Emit(P);
        Previous = P;
    }
    EndRun();
}

// --- Drawing -----------------------------------------------------------------------------------

void TFastLineSeries::PrepareCanvas()
{
    if (!FParentChart)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignVisiblePenColor(*Pen(), GetSeriesColor());
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.SetBackMode(TRANSPARENT);
}

void TFastLineSeries::MoveToPoint(const TPoint& P)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (FParentChart->View3D())
        Canvas.MoveTo3D(P.X, P.Y, DepthMiddle());
    else
        Canvas.MoveTo(P.X, P.Y);
}

void TFastLineSeries::LineToPoint(const TPoint& P)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (FParentChart->View3D())
        Canvas.LineTo3D(P.X, P.Y, DepthMiddle());
    else
        Canvas.LineTo(P.X, P.Y);
}

void TFastLineSeries::FillSegment(const TPoint& A, const TPoint& B)
{
    if (FFillMode == fmNone || (FFillMode == fmHorizontalOrigin && A.X == B.X) ||
        (FFillMode == fmVerticalOrigin && A.Y == B.Y))
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const bool Is3D = FParentChart->View3D();
    const auto Fill = [&](std::span<const TPoint> Points, bool Above) {
        if (Above ? FClearAbove : FClearBelow)
            return;
        Canvas.Brush()->SetStyle(TBrush::bsSolid);
        Canvas.Brush()->SetColor(SideColor(Above));
        if (Is3D)
            Canvas.PolygonWithZ(Points, DepthMiddle());
        else
            Canvas.Polygon(Points, static_cast<int>(Points.size()) - 1);
    };
    const int O = FOriginPixel;
    const bool AAbove = PixelAbove(A);
    const bool BAbove = PixelAbove(B);
    if (FFillMode == fmHorizontalOrigin) {
        if (AAbove == BAbove) {
            const std::array<TPoint, 4> Quad{A, B, TPoint{B.X, O}, TPoint{A.X, O}};
            Fill(Quad, AAbove);
            return;
        }
        // The segment crosses the origin line: split it at the crossing so
        // each side takes its own colour. Sides differ, so B.Y != A.Y.
        const std::int64_t CX = A.X + static_cast<std::int64_t>(B.X - A.X) * (O - A.Y) / (B.Y - A.Y);
        const TPoint Cross{static_cast<int>(CX), O};
        const std::array<TPoint, 3> First{A, Cross, TPoint{A.X, O}};
        const std::array<TPoint, 3> Second{Cross, B, TPoint{B.X, O}};
        Fill(First, AAbove);
        Fill(Second, BAbove);
        return;
    }
    if (AAbove == BAbove) {
        const std::array<TPoint, 4> Quad{A, B, TPoint{O, B.Y}, TPoint{O, A.Y}};
        Fill(Quad, AAbove);
        return;
    }
    const std::int64_t CY = A.Y + static_cast<std::int64_t>(B.Y - A.Y) * (O - A.X) / (B.X - A.X);
    const TPoint Cross{O, static_cast<int>(CY)};
    const std::array<TPoint, 3> First{A, Cross, TPoint{O, A.Y}};
    const std::array<TPoint, 3> Second{Cross, B, TPoint{O, B.Y}};
    Fill(First, AAbove);
    Fill(Second, BAbove);
}

void TFastLineSeries::DrawAllValues()
{
    const int First = FirstVisibleIndex();
    const int Last = LastVisibleIndex();
    FHasLastPoint = false;
    if (First < 0 || Last < First || !FParentChart)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    // The point before the first visible one joins the line to the left
    // edge of a scrolled chart.
    BuildRuns(First > 0 ? First - 1 : First, Last);
    if (FPoints.empty())
        return;
    FPassStart = FPoints.front();
    const bool Is3D = FParentChart->View3D();
    const std::span<const TPoint> All(FPoints);

    if (FFillMode != fmNone) {
        PrepareCanvas();
        FOriginPixel = CalcOriginPixel();
        Canvas.Pen()->SetStyle(psClear);
        int Start = 0;
        for (const int End : FRunEnds) {
            for (int K = Start + 1; K < End; ++K)
                FillSegment(FPoints[static_cast<size_t>(K - 1)], FPoints[static_cast<size_t>(K)]);
            Start = End;
        }
    }

    if (FDrawLine) {
        PrepareCanvas();
        int Start = 0;
        for (const int End : FRunEnds) {
            if (End - Start >= 2) {
                const std::span<const TPoint> Run = All.subspan(static_cast<size_t>(Start),
                                                                static_cast<size_t>(End - Start));
                if (Is3D)
                    Canvas.PolylineWithZ(Run, DepthMiddle());
                else
                    Canvas.Polyline(Run, End - Start - 1);
            }
            Start = End;
        }
    }
    FLastPoint = FPoints.back();
    FHasLastPoint = true;
}

void TFastLineSeries::DrawValue(int ValueIndex)
{
    if (ValueIndex < 0 || ValueIndex >= Count())
        RaiseIndexError(ValueIndex, Count());
    if (!FParentChart || PointIsNull(ValueIndex))
        return;
    const TPoint P = PointPosition(ValueIndex);
    if (!FHasLastPoint) {
        FLastPoint = P;
        FHasLastPoint = true;
        return;
    }
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    std::array<TPoint, 3> Path{FLastPoint, P, P};
    int N = 2;
    if (FStairs) {
        Path[1] = FInvertedStairs ? TPoint{FLastPoint.X, P.Y} : TPoint{P.X, FLastPoint.Y};
        N = 3;
    }
    if (FFillMode != fmNone) {
        FOriginPixel = CalcOriginPixel();
        Canvas.Pen()->SetStyle(psClear);
        for (int K = 1; K < N; ++K)
            FillSegment(Path[static_cast<size_t>(K - 1)], Path[static_cast<size_t>(K)]);
    }
    if (FDrawLine) {
        if (FDirectPen) {
            Canvas.Pen()->SetStyle(psSolid);
            Canvas.Pen()->SetWidth(Pen()->Width());
            Canvas.Pen()->SetColor(GetSeriesColor());
        } else {
            PrepareCanvas();
        }
        MoveToPoint(FLastPoint);
        for (int K = 1; K < N; ++K)
            LineToPoint(Path[static_cast<size_t>(K)]);
    }
    FLastPoint = P;
}

void TFastLineSeries::NotifyValueAdded(int ValueIndex)
{
    if (FAutoRepaint) {
        TCustomLineSeries::NotifyValueAdded(ValueIndex);
        return;
    }
    if (OnAfterAdd)
        OnAfterAdd(this, ValueIndex);
    NotifyValue(veAdd, ValueIndex);
    // Drawing needs a chart whose canvas is bound to a device (a paint has
    // run); otherwise the point shows at the next paint.
    if (!Active() || !FParentChart || !FParentChart->Canvas().ReferenceCanvas() || ValueIndex < 0 ||
        ValueIndex >= Count())
        return;
    // The last point: the nearest earlier point that is drawn.
    FHasLastPoint = false;
    for (int I = ValueIndex - 1; I >= 0; --I) {
        if (PointIsNull(I)) {
            if (!FIgnoreNulls)
                break;
            continue;
        }
        FLastPoint = PointPosition(I);
        FHasLastPoint = true;
        break;
    }
    if (!FHasLastPoint)
        FLastPoint = PointPosition(ValueIndex);
    FHasLastPoint = true;
    DrawValue(ValueIndex);
}

int TFastLineSeries::Clicked(int X, int Y)
{
    const int First = FirstVisibleIndex();
    const int Last = LastVisibleIndex();
    if (First < 0 || Last < First || !FParentChart || Last >= Count())
        return -1;
    if (FParentChart->View3D())
        FParentChart->Canvas().Calculate2DPosition(X, Y, DepthMiddle());
    const TPoint P{X, Y};
    const int Tolerance = std::max(0, Pen()->Width() / 2);
    const auto OnSegment = [&](const TPoint& A, const TPoint& B) {
        return PointInLineTolerance(P, A.X, A.Y, B.X, B.Y, Tolerance);
    };
    int PreviousIndex = -1;
    TPoint Previous{0, 0};
    for (int I = First > 0 ? First - 1 : First; I <= Last; ++I) {
        if (PointIsNull(I)) {
            if (!FIgnoreNulls)
                PreviousIndex = -1;
            continue;
        }
        const TPoint Q = PointPosition(I);
        if (I >= First && Q.X == X && Q.Y == Y)
            return I;
        if (PreviousIndex >= 0) {
            bool Hit;
            if (FStairs) {
                const TPoint Corner = FInvertedStairs ? TPoint{Previous.X, Q.Y} : TPoint{Q.X, Previous.Y};
                Hit = OnSegment(Previous, Corner) || OnSegment(Corner, Q);
            } else {
                Hit = OnSegment(Previous, Q);
            }
            if (Hit)
                return PreviousIndex;
        }
        PreviousIndex = I;
        Previous = Q;
    }
    return -1;
}

void TFastLineSeries::DrawLegendShape(int, const TRect& Rect)
{
    if (!FParentChart)
        return;
    PrepareCanvas();
    const int Middle = Rect.Top + (Rect.Bottom - Rect.Top) / 2;
    FParentChart->Canvas().HorizLine(Rect.Left, Rect.Right, Middle);
}

void TFastLineSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    Marks()->ApplyArrowLength(APosition);
    TCustomLineSeries::DrawMark(ValueIndex, St, APosition);
}

void TFastLineSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustomLineSeries::CreateSubGallery(AddSubChart);
    AddSubChart(PlotMsg_StyleMarks);
    AddSubChart(PlotMsg_StyleDotted);
    AddSubChart(PlotMsg_StyleStairs);
}

void TFastLineSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: Marks()->SetVisible(true); break;
    case 2: Pen()->SetSmallDots(true); break;
    case 3: SetStairs(true); break;
    default: TCustomLineSeries::SetSubGallery(Index); break;
    }
}

} // namespace lp
