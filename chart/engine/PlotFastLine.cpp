#include "chart/engine/PlotFastLine.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/graphics/DeviceContext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// The pixels one pixel column of a polyline passes through, in the order
// met, consecutive repeats left out: Entry first, Second the one after it
// (Moved: there is one), Last the final one and BeforeLast the one before it;
// Low and High the extremes, Bottom the highest of the pixels between Entry
// and Last (Inner: there are some).
struct TColumnPath {
    int Entry = 0;
    int Second = 0;
    int BeforeLast = 0;
    int Last = 0;
    int Low = 0;
    int High = 0;
    int Bottom = 0;
    bool Moved = false;
    bool Inner = false;
};

// The column's points after its entry, as few as keep the pixels of the
// whole line. The line device strokes a polyline with state carried from one
// segment to the next: a vertical segment leaves out its lower end, a pixel
// met again is skipped, a turn from down to up draws the turning pixel, and
// whether a slanted segment draws its first pixel depends on its direction.
// So the pixels of a column depend on the direction the line leaves Entry
// and reaches Last, and on whether it turns at High between them; the rest
// is the sweep from Low to High. The reduced path leaves Entry the same way,
// sweeps Low .. Bottom (turning at High only where the full line does), and
// reaches Last the same way: at most four points after the entry.
template <class TAppend>
void AppendColumnTail(int X, const TColumnPath& C, TAppend&& Append)
{
    if (!C.Moved)
        return;
    if (!C.Inner) {
        Append(TPoint{X, C.Last});
        return;
    }
    const bool LeavesDown = C.Second > C.Entry; // pixel Y grows downwards
    const bool ArrivesDown = C.Last > C.BeforeLast;
    const int Far = LeavesDown ? C.Bottom : C.Low;
    const int Near = LeavesDown ? C.Low : C.Bottom;
    Append(TPoint{X, Far});
    int At = Far;
    if (C.Entry != Near || Near == C.High) {
        Append(TPoint{X, Near});
        At = Near;
    }
    if (C.Last == At) {
        if (At == C.High) { // the full line turns at High before it ends there
            Append(TPoint{X, C.Low});
            Append(TPoint{X, C.Last});
        }
        return;
    }
    if ((C.Last > At) != ArrivesDown)
        Append(TPoint{X, ArrivesDown ? C.Low : C.Bottom});
    Append(TPoint{X, C.Last});
}

// Whether the values rise or stay, none of them NaN.
bool AscendingWithoutNaN(const double* Values, int Count)
{
    if (Count > 0 && std::isnan(Values[0]))
        return false;
    bool Ascending = true;
    for (int I = 1; I < Count; ++I)
        Ascending &= Values[I - 1] <= Values[I]; // false for NaN
    return Ascending;
}

// The lowest and highest of Count values (Count > 0) into Low and High;
// false when one of them is NaN. A column of a million-point line holds
// hundreds of points: they are taken four at a time where the processor
// compares two doubles in one instruction, with the NaN test kept apart
// from the comparisons.
bool RangeWithoutNaN(const double* Values, int Count, double& Low, double& High)
{
    int I = 0;
    bool NaN = false;
    double L = Values[0];
    double H = Values[0];
#if defined(__SSE2__)
    if (Count >= 4) {
        __m128d L0 = _mm_loadu_pd(Values), L1 = _mm_loadu_pd(Values + 2);
        __m128d H0 = L0, H1 = L1;
        __m128d Unordered = _mm_cmpunord_pd(L0, L1);
        for (I = 4; I + 4 <= Count; I += 4) {
            const __m128d A = _mm_loadu_pd(Values + I);
            const __m128d B = _mm_loadu_pd(Values + I + 2);
            L0 = _mm_min_pd(L0, A);
            L1 = _mm_min_pd(L1, B);
            H0 = _mm_max_pd(H0, A);
            H1 = _mm_max_pd(H1, B);
            Unordered = _mm_or_pd(Unordered, _mm_cmpunord_pd(A, B));
        }
        NaN = _mm_movemask_pd(Unordered) != 0;
        double Lanes[4];
        _mm_storeu_pd(Lanes, _mm_min_pd(L0, L1));
        _mm_storeu_pd(Lanes + 2, _mm_max_pd(H0, H1));
        L = std::min(Lanes[0], Lanes[1]);
        H = std::max(Lanes[2], Lanes[3]);
    }
#endif
    for (; I < Count; ++I) {
        const double Y = Values[I];
        L = Y < L ? Y : L;
        H = Y > H ? Y : H;
        NaN |= Y != Y;
    }
    Low = L;
    High = H;
    return !NaN && !std::isnan(Values[0]);
}

// The last index from First on (up to Last) whose value maps to Column;
// the value at First does. A gallop then a bisection: the mapping never
// turns back over sorted values.
int LastOfColumn(const TLinearPixelMap& Axis, const double* Values, int First, int Last, int Column)
{
    int Inside = First;
    int Outside = Last + 1;
    for (long long Step = 1; Inside + Step <= Last; Step *= 2) {
        const int Probe = static_cast<int>(Inside + Step);
        if (Axis(Values[Probe]) != Column) {
            Outside = Probe;
            break;
        }
        Inside = Probe;
    }
    while (Outside - Inside > 1) {
        const int Middle = Inside + (Outside - Inside) / 2;
        if (Axis(Values[Middle]) == Column)
            Inside = Middle;
        else
            Outside = Middle;
    }
    return Inside;
}

} // namespace

TRect TFastLineSeries::UncutArea() const
{
    if (!FParentChart || FParentChart->View3D() || !FParentChart->Canvas().ReferenceCanvas())
        return {};
    const TDeviceContext& DC = FParentChart->Canvas().GetHandle();
    if (DC.MapMode() != MM_TEXT)
        return {};
    // Two pixels inside every edge of the device and of its clip: a segment
    // that stays there is drawn whole, so its end pixels follow the rules
    // the reduction relies on.
    QRect Device = DC.DeviceBounds();
    if (DC.ClipRegion())
        Device &= DC.ClipRegion()->boundingRect();
    const TPoint Origin = DC.DPtoLP({0, 0});
    return TRect{Device.left() + Origin.X + 2, Device.top() + Origin.Y + 2, Device.right() + Origin.X - 2,
                 Device.bottom() + Origin.Y - 2};
}

bool TFastLineSeries::BuildColumnRuns(int From, int To)
{
    const TChartAxis* H = GetHorizAxis();
    const TChartAxis* V = GetVertAxis();
    if (FDrawAllPoints || FStairs || !H || !V || !H->LinearPositions() || !V->LinearPositions() || From < 0 ||
        To >= Count() || From > To)
        return false;
    const TRect Area = UncutArea();
    if (const std::vector<TColor>* C = Colors()) {
        const auto Begin = C->begin() + std::min<size_t>(static_cast<size_t>(From), C->size());
        const auto End = C->begin() + std::min<size_t>(static_cast<size_t>(To) + 1, C->size());
        if (std::find(Begin, End, clNone) != End)
            return false;
    }
    // Both axes are linear: their mappings are taken once for every point.
    const TLinearPixelMap HMap = H->LinearPixelMap();
    const TLinearPixelMap VMap = V->LinearPixelMap();
    const double* XV = XValues()->Data();
    const double* YV = YValues()->Data();
    // The X list keeps what it found of its order; a part of an unordered
    // list may still be ordered.
    if (!XValues()->AscendingWithoutNaN() && !AscendingWithoutNaN(XV + From, To - From + 1))
        return false;
    FPoints.clear();
    FRunEnds.clear();
    const auto Append = [this](const TPoint& P) {
        if (FPoints.empty() || FPoints.back().X != P.X || FPoints.back().Y != P.Y)
            FPoints.push_back(P);
    };
    for (int First = From; First <= To;) {
        const int Column = HMap(XV[First]);
        const int Last = LastOfColumn(HMap, XV, First, To, Column);
        // The extremes of the column, and of its points between the first
        // and the last.
        const double Ends[2] = {YV[First], YV[Last]};
        double InnerLow = Ends[0];
        double InnerHigh = Ends[0];
        bool NaN = std::isnan(Ends[0]) || std::isnan(Ends[1]);
        if (First + 1 < Last)
            NaN |= !RangeWithoutNaN(YV + First + 1, Last - First - 1, InnerLow, InnerHigh);
        if (NaN) // NaN maps to the axis centre, out of the values' order
            return false;
        TColumnPath Path;
        Path.Entry = VMap(Ends[0]);
        if (FPoints.empty())
            FPoints.push_back(TPoint{Column, Path.Entry});
        else
            Append(TPoint{Column, Path.Entry});
        if (Last > First) {
            const double Low = std::min({Ends[0], Ends[1], InnerLow});
            const double High = std::max({Ends[0], Ends[1], InnerHigh});
            const int A = VMap(Low);
            const int B = VMap(High);
            Path.Low = std::min(A, B);
            Path.High = std::max(A, B);
            Path.Moved = Path.Low != Path.High;
        }
        const bool Uncut = !Area.IsEmpty() && Column >= Area.Left && Column <= Area.Right && Path.Low >= Area.Top &&
                           Path.High <= Area.Bottom;
        if (Path.Moved && (Last == To || !Uncut)) {
            // The line ends in this column (its last segment leaves out its
            // end pixel, which no reduction can keep as it is), or the device
            // cuts segments of it: every point.
            for (int I = First + 1; I <= Last; ++I)
                Append(TPoint{Column, VMap(YV[I])});
        } else if (Path.Moved) {
            // The turns that decide how the line leaves and reaches the
            // column: the nearest pixels that differ from the entry and from
            // the last (a few points in at most, in real data).
            int I = First + 1;
            while ((Path.Second = VMap(YV[I])) == Path.Entry)
                ++I;
            Path.Last = VMap(Ends[1]);
            int J = Last - 1;
            while ((Path.BeforeLast = VMap(YV[J])) == Path.Last)
                --J;
            Path.Inner = I <= J;
            if (Path.Inner) {
                // The lowest pixel of the points between I and J. That of all
                // the points between the ends is it, unless the points left
                // out before I (all at the entry pixel) or after J (all at
                // the last) could have given it: only then are they counted
                // again without those.
                Path.Bottom = std::max(VMap(InnerLow), VMap(InnerHigh));
                if ((I > First + 1 && Path.Bottom == Path.Entry) || (J < Last - 1 && Path.Bottom == Path.Last)) {
                    InnerLow = InnerHigh = YV[I];
                    for (int K = I + 1; K <= J; ++K) {
                        InnerLow = YV[K] < InnerLow ? YV[K] : InnerLow;
                        InnerHigh = YV[K] > InnerHigh ? YV[K] : InnerHigh;
                    }
                    Path.Bottom = std::max(VMap(InnerLow), VMap(InnerHigh));
                }
            }
            AppendColumnTail(Column, Path, Append);
        }
        First = Last + 1;
    }
    FRunEnds.push_back(static_cast<int>(FPoints.size()));
    return true;
}

void TFastLineSeries::BuildRuns(int From, int To)
{
    if (BuildColumnRuns(From, To))
        return;
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
    // The pixel column being reduced (only with Reduce): its X and its path;
    // ColumnCount points fell on it.
    int ColumnX = 0;
    TColumnPath Column;
    int ColumnCount = 0;
    const auto Append = [this](const TPoint& P) {
        if (FPoints.empty() || FPoints.back().X != P.X || FPoints.back().Y != P.Y)
            FPoints.push_back(P);
    };
    // The column's points after its entry, for columns kept whole (the last
    // of a run, those the device cuts; see BuildColumnRuns).
    FColumnYs.clear();
    const TRect Area = Reduce ? UncutArea() : TRect{};
    const auto FlushColumn = [&](bool RunEnds) {
        const bool Uncut = !Area.IsEmpty() && ColumnX >= Area.Left && ColumnX <= Area.Right && Column.Low >= Area.Top &&
                           Column.High <= Area.Bottom;
        if (ColumnCount > 1 && (RunEnds || !Uncut))
            for (const int Y : FColumnYs)
                Append(TPoint{ColumnX, Y});
        else if (ColumnCount > 1)
            AppendColumnTail(ColumnX, Column, Append);
        ColumnCount = 0;
        FColumnYs.clear();
    };
    const auto Emit = [&](const TPoint& P) {
        if (Reduce) {
            if (ColumnCount > 0 && P.X == ColumnX) {
                if (P.Y != Column.Last) {
                    if (!Column.Moved)
                        Column.Second = P.Y;
                    else // the last pixel so far is now one between
                        Column.Bottom = Column.Inner ? std::max(Column.Bottom, Column.Last) : Column.Last;
                    Column.Inner = Column.Moved;
                    Column.Moved = true;
                    Column.BeforeLast = Column.Last;
                    Column.Last = P.Y;
                }
                Column.Low = std::min(Column.Low, P.Y);
                Column.High = std::max(Column.High, P.Y);
                FColumnYs.push_back(P.Y);
                ++ColumnCount;
                return;
            }
            FlushColumn(false);
            ColumnX = P.X;
            Column = TColumnPath{P.Y, P.Y, P.Y, P.Y, P.Y, P.Y, P.Y, false, false};
            ColumnCount = 1;
        }
        if (FPoints.size() == RunStart)
            FPoints.push_back(P); // a run always keeps its first point
        else
            Append(P);
    };
    const auto EndRun = [&] {
        FlushColumn(true);
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
    if (!FDrawLine && FFillMode == fmNone) {
        // Nothing to draw: only the last point, where a point added next
        // would join the line.
        for (int I = Last; I >= (First > 0 ? First - 1 : First); --I)
            if (!PointIsNull(I)) {
                FLastPoint = PointPosition(I);
                FHasLastPoint = true;
                break;
            }
        return;
    }
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
