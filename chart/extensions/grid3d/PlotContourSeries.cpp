// Contour levels and the contour series: automatic levels, CONREC tracing,
// joining segments into lines, drawing, legend and hit tests.

#include "chart/extensions/grid3d/PlotContourSeries.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/functions/PlotSmoothing.h"
#include "platform/core/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lp {

namespace {

double Manhattan(const TContourPoint& A, const TContourPoint& B)
{
    return std::fabs(A.X - B.X) + std::fabs(A.Z - B.Z);
}

bool SamePoint(const TContourPoint& A, const TContourPoint& B)
{
    return std::fabs(A.X - B.X) <= TContourSeries::JoinTolerance
           && std::fabs(A.Z - B.Z) <= TContourSeries::JoinTolerance;
}

// After Line grew at its end (AtEnd) or start: the first other line with an
// end on the new end point is joined on, the shared point kept once.
void MergeAtEnd(std::vector<TContourLine>& Lines, size_t Grown, bool AtEnd)
{
    const TContourPoint End = AtEnd ? Lines[Grown].back() : Lines[Grown].front();
    for (size_t I = 0; I < Lines.size(); ++I) {
        if (I == Grown)
            continue;
        const bool AtItsFront = SamePoint(Lines[I].front(), End);
        if (!AtItsFront && !SamePoint(Lines[I].back(), End))
            continue;
        TContourLine Other = std::move(Lines[I]);
        TContourLine& Line = Lines[Grown];
        // Turned so that it runs away from the shared point, then without it.
        if (!AtItsFront)
            std::reverse(Other.begin(), Other.end());
        if (AtEnd) {
            Line.insert(Line.end(), Other.begin() + 1, Other.end());
        } else {
            std::reverse(Other.begin(), Other.end());
            Line.insert(Line.begin(), Other.begin(), Other.end() - 1);
        }
        Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(I));
        return;
    }
}

// CONREC's case table, indexed by the signs (+1) of vertex m, the centre
// and vertex m3.
constexpr int CaseTable[3][3][3] = {
    {{0, 0, 8}, {0, 2, 5}, {7, 6, 9}},
    {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}},
    {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}},
};

int Sign(double H)
{
    return H > 0 ? 1 : (H < 0 ? -1 : 0);
}

} // namespace

// --- TContourLevel ------------------------------------------------------------------------------

TContourLevel::TContourLevel(TCollection* Collection) : TCollectionItem(Collection)
{
    if (TContourSeries* Series = ParentSeries(); Series && !Series->FCreatingLevels)
        Series->FAutomaticLevels = false;
}

TContourLevel::~TContourLevel()
{
    // Still in the collection: its owner is known.
    if (TContourSeries* Series = ParentSeries(); Series && !Series->FCreatingLevels) {
        Series->FAutomaticLevels = false;
        Series->Repaint();
    }
}

TContourSeries* TContourLevel::ParentSeries() const
{
    const auto* Levels = qobject_cast<const TContourLevels*>(Collection());
    return Levels ? Levels->Series() : nullptr;
}

void TContourLevel::Assign(const TPersistent* Source)
{
    const auto* S = qobject_cast<const TContourLevel*>(Source);
    if (!S) {
        TCollectionItem::Assign(Source);
        return;
    }
    FColor = S->FColor;
    FUpToValue = S->FUpToValue;
    SetPen(S->FPen.get());
}

void TContourLevel::ChangedFromOutside()
{
    TContourSeries* Series = ParentSeries();
    if (!Series || Series->FCreatingLevels)
        return;
    Series->FAutomaticLevels = false;
    Series->Repaint();
}

void TContourLevel::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    if (FPen)
        FPen->SetColor(Value);
    ChangedFromOutside();
}

void TContourLevel::SetUpToValue(double Value)
{
    if (FUpToValue == Value)
        return;
    FUpToValue = Value;
    ChangedFromOutside();
}

TChartPen* TContourLevel::Pen()
{
    if (!FPen) {
        FPen = std::make_unique<TChartPen>([this](TGraphicsObject*) {
            if (TContourSeries* Series = ParentSeries())
                Series->Repaint();
        });
        FPen->SetColor(FColor);
    }
    return FPen.get();
}

void TContourLevel::SetPen(const TChartPen* Value)
{
    if (!Value) {
        FPen.reset();
        if (TContourSeries* Series = ParentSeries())
            Series->Repaint();
        return;
    }
    Pen()->Assign(Value);
}

TContourLevels::TContourLevels(TContourSeries* AOwner)
    : TOwnedCollection(AOwner, CollectionItemFactory<TContourLevel>()), FSeries(AOwner)
{
}

TContourLevels::~TContourLevels()
{
    // The levels still ask for their series while they go.
    Clear();
}

// --- TSmoothPoints ------------------------------------------------------------------------------

void TSmoothPoints::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TSmoothPoints*>(Source)) {
        SetActive(S->FActive);
        return;
    }
    TPersistent::Assign(Source);
}

void TSmoothPoints::SetActive(bool Value)
{
    if (FActive == Value)
        return;
    FActive = Value;
    if (FOwner)
        FOwner->Repaint();
}

void TSmoothPoints::SetInterpolate(bool Value)
{
    if (FInterpolate == Value)
        return;
    FInterpolate = Value;
    if (FOwner)
        FOwner->Repaint();
}

void TSmoothPoints::SetFactor(int Value)
{
    Value = std::max(1, Value);
    if (FFactor == Value)
        return;
    FFactor = Value;
    if (FOwner)
        FOwner->Repaint();
}

std::vector<TPoint> TSmoothPoints::Smooth(const std::vector<TPoint>& Points) const
{
    if (Points.size() < 2)
        return Points;
    TBSpline Spline;
    for (const TPoint& P : Points)
        Spline.AddPoint(P.X, P.Y);
    Spline.SetInterpolate(FInterpolate);
    Spline.SetFragments(static_cast<int>(std::min<size_t>(Points.size() * static_cast<size_t>(FFactor),
                                                          TBSpline::MaxFragments)));
    const int Fragments = Spline.Fragments();
    std::vector<TPoint> Result;
    Result.reserve(static_cast<size_t>(Fragments) + 1);
    for (int J = 0; J <= Fragments; ++J) {
        const TSplinePoint P = Spline.Value(static_cast<double>(J) / Fragments);
        Result.push_back({static_cast<int>(std::lround(P.X)), static_cast<int>(std::lround(P.Y))});
    }
    return Result;
}

// --- TContourSeries -----------------------------------------------------------------------------

TContourSeries::TContourSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner)
{
    FLevels = std::make_unique<TContourLevels>(this);
    FSmoothing = std::make_unique<TSmoothPoints>(this);
    SetColorEachPoint(true);
}

TContourSeries::~TContourSeries()
{
    FSmoothing.reset();
    FCreatingLevels = true;
    FLevels.reset();
}

void TContourSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TContourSeries*>(Source)) {
        FCreatingLevels = true;
        FLevels->Assign(S->FLevels.get());
        FCreatingLevels = false;
        FAutomaticLevels = S->FAutomaticLevels;
        FNumLevels = S->FNumLevels;
        FYPosition = S->FYPosition;
        FYPositionLevel = S->FYPositionLevel;
    }
    TCustom3DGridSeries::Assign(Source);
}

void TContourSeries::ClearLevels()
{
    const bool Saved = FCreatingLevels;
    FCreatingLevels = true;
    FLevels->Clear();
    FCreatingLevels = Saved;
}

void TContourSeries::SetNumLevels(int Value)
{
    SetIntegerProperty(FNumLevels, Value);
    if (FAutomaticLevels)
        ClearLevels();
}

void TContourSeries::SetAutomaticLevels(bool Value)
{
    SetBooleanProperty(FAutomaticLevels, Value);
    if (FAutomaticLevels)
        ClearLevels();
}

void TContourSeries::DoBeforeDrawChart()
{
    TCustom3DGridSeries::DoBeforeDrawChart();
    if (!FCreatingLevels && FAutomaticLevels && FNumLevels > 0)
        CreateAutoLevels();
}

void TContourSeries::CreateAutoLevels()
{
    FCreatingLevels = true;
    try {
        const double Min = YValues()->MinValue();
        const double Step = (YValues()->MaxValue() - Min) / FNumLevels;
        FLevels->Clear();
        for (int I = 0; I < FNumLevels; ++I) {
            double Value = Min + I * Step;
            TColor Color = clPlotColor;
            if (!ColorEachPoint())
                Color = ColorForValue(Value);
            else if (I < Count() && GetStoredValueColor(I) != clPlotColor)
                Color = GetValueColor(I);
            if (OnGetLevel)
                OnGetLevel(this, I, Value, Color);
            TContourLevel* Level = FLevels->Add();
            Level->SetUpToValue(Value);
            Level->SetColor(Color);
        }
    } catch (...) {
        FCreatingLevels = false;
        throw;
    }
    FCreatingLevels = false;
}

// --- Tracing ------------------------------------------------------------------------------------

void TContourSeries::AddSegment(std::vector<TContourLine>& Lines, TContourPoint A, TContourPoint B)
{
    for (size_t I = 0; I < Lines.size(); ++I) {
        TContourLine& Line = Lines[I];
        // Ties favour the last point: its cases come first.
        const std::array<double, 4> Distances = {Manhattan(A, Line.back()), Manhattan(B, Line.back()),
                                                 Manhattan(A, Line.front()), Manhattan(B, Line.front())};
        const auto Best = static_cast<size_t>(std::min_element(Distances.begin(), Distances.end()) - Distances.begin());
        if (Distances[Best] > JoinTolerance)
            continue;
        const bool AtEnd = Best < 2;
        const TContourPoint& Other = (Best == 0 || Best == 2) ? B : A;
        if (AtEnd)
            Line.push_back(Other);
        else
            Line.insert(Line.begin(), Other);
        if (Lines.size() > 1)
            MergeAtEnd(Lines, I, AtEnd);
        return;
    }
    Lines.push_back({A, B});
}

void TContourSeries::TraceCell(double Value, std::vector<TContourLine>& Lines) const
{
    const int C0 = Corner(0), C1 = Corner(1), C2 = Corner(2), C3 = Corner(3);
    std::array<double, 5> H{}, X{}, Z{};
    X[1] = XValues()->Value(C0), Z[1] = ZValues()->Value(C0);
    X[2] = XValues()->Value(C1), Z[2] = ZValues()->Value(C0);
    X[3] = XValues()->Value(C1), Z[3] = ZValues()->Value(C3);
    X[4] = XValues()->Value(C0), Z[4] = ZValues()->Value(C3);
    H[1] = YValues()->Value(C0) - Value;
    H[2] = YValues()->Value(C1) - Value;
    H[3] = YValues()->Value(C2) - Value;
    H[4] = YValues()->Value(C3) - Value;
    X[0] = (X[1] + X[2]) * 0.5;
    Z[0] = (Z[1] + Z[4]) * 0.5;
    H[0] = (H[1] + H[2] + H[3] + H[4]) * 0.25;
    std::array<int, 5> S{};
    for (size_t I = 0; I < 5; ++I)
        S[I] = Sign(H[I]);
    const auto Vertex = [&](size_t V) { return TContourPoint{X[V], Z[V]}; };
    const auto Crossing = [&](size_t P, size_t Q) {
        const double D = H[Q] - H[P];
        return TContourPoint{(H[Q] * X[P] - H[P] * X[Q]) / D, (H[Q] * Z[P] - H[P] * Z[Q]) / D};
    };
    for (size_t M = 1; M <= 4; ++M) {
        const size_t M3 = M == 4 ? 1 : M + 1;
        const int Case = CaseTable[S[M] + 1][S[0] + 1][S[M3] + 1];
        switch (Case) {
        case 1: AddSegment(Lines, Vertex(M), Vertex(0)); break;
        case 2: AddSegment(Lines, Vertex(0), Vertex(M3)); break;
        case 3: AddSegment(Lines, Vertex(M3), Vertex(M)); break;
        case 4: AddSegment(Lines, Vertex(M), Crossing(0, M3)); break;
        case 5: AddSegment(Lines, Vertex(0), Crossing(M3, M)); break;
        case 6: AddSegment(Lines, Vertex(M3), Crossing(M, 0)); break;
        case 7: AddSegment(Lines, Crossing(M, 0), Crossing(0, M3)); break;
        case 8: AddSegment(Lines, Crossing(0, M3), Crossing(M3, M)); break;
        case 9: AddSegment(Lines, Crossing(M3, M), Crossing(M, 0)); break;
        default: break;
        }
    }
}

void TContourSeries::CreateLines()
{
    const int N = FLevels->Count();
    std::vector<double> Values(static_cast<size_t>(N));
    for (int I = 0; I < N; ++I) {
        Values[static_cast<size_t>(I)] = FLevels->Items(I)->UpToValue();
        FLevels->Items(I)->MutableLines().clear();
    }
    if (N == 0 || Count() == 0)
        return;
    // Levels need not be sorted: a cell is rejected against the smallest
    // and the largest of them.
    const auto [Lowest, Highest] = std::minmax_element(Values.begin(), Values.end());
    const double Low = *Lowest;
    const double High = *Highest;
    SetSteps(1, 1);
    for (int Z = 1; Z < NumZValues(); ++Z)
        for (int X = 1; X < NumXValues(); ++X) {
            if (!GetCellCorners(X, Z))
                continue;
            double Min = YValues()->Value(Corner(0));
            double Max = Min;
            for (int C = 1; C < 4; ++C) {
                Min = std::min(Min, YValues()->Value(Corner(C)));
                Max = std::max(Max, YValues()->Value(Corner(C)));
            }
            if (Min > High || Max < Low)
                continue;
            for (int K = 0; K < N; ++K) {
                const double V = Values[static_cast<size_t>(K)];
                if (Min <= V && V <= Max)
                    TraceCell(V, FLevels->Items(K)->MutableLines());
            }
        }
}

// --- Drawing ------------------------------------------------------------------------------------

bool TContourSeries::Is3D() const
{
    return FParentChart && FParentChart->View3D();
}

TPoint TContourSeries::LinePixel(const TContourPoint& P) const
{
    if (Is3D()) {
        const TChartAxis* Depth = FParentChart->DepthAxis();
        return {CalcXPosValue(P.X), Depth ? Depth->CalcPosValue(P.Z) : 0};
    }
    return {CalcXPosValue(P.X), CalcYPosValue(P.Z)};
}

void TContourSeries::DrawAllValues()
{
    if (Count() == 0 || FLevels->Count() == 0 || !FParentChart)
        return;
    if (GridColumns() != NumXValues() + 1 || GridRows() != NumZValues() + 1)
        FillGridIndex(0);
    CreateLines();
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.SetBackMode(TRANSPARENT);
    int Height = CalcYPosValue(FYPosition);
    for (int I = 0; I < FLevels->Count(); ++I) {
        const TContourLevel& Level = *FLevels->Items(I);
        const TColor Color = Level.Color() == clPlotColor ? FParentChart->GetDefaultColor(I) : Level.Color();
        Canvas.AssignVisiblePenColor(Level.OwnPen() ? *Level.OwnPen() : *Pen(), Color);
        if (FYPositionLevel)
            Height = CalcYPosValue(Level.UpToValue());
        if (OnBeforeDrawLevel)
            OnBeforeDrawLevel(this, I);
        DrawLevelLines(Level, Height);
    }
}

void TContourSeries::DrawLevelLines(const TContourLevel& Level, int Height)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    for (const TContourLine& Line : Level.Lines()) {
        std::vector<TPoint> Pixels;
        Pixels.reserve(Line.size());
        for (const TContourPoint& P : Line)
            Pixels.push_back(LinePixel(P));
        if (Is3D()) {
            Canvas.MoveTo3D(Pixels.front().X, Height, Pixels.front().Y);
            for (size_t J = 1; J < Pixels.size(); ++J)
                Canvas.LineTo3D(Pixels[J].X, Height, Pixels[J].Y);
            continue;
        }
        if (FSmoothing->Active())
            Pixels = FSmoothing->Smooth(Pixels);
        Canvas.Polyline(Pixels, static_cast<int>(Pixels.size()) - 1);
    }
}

int TContourSeries::Clicked(int X, int Y)
{
    if (!FParentChart)
        return -1;
    FParentChart->Canvas().Calculate2DPosition(X, Y, DepthStart());
    const TPoint P{X, Y};
    for (int I = 0; I < FLevels->Count(); ++I)
        for (const TContourLine& Line : FLevels->Items(I)->Lines())
            for (size_t J = 1; J < Line.size(); ++J)
                if (PointInLinePts(P, LinePixel(Line[J - 1]), LinePixel(Line[J])))
                    return I;
    return -1;
}

// --- Legend, ranges, gallery --------------------------------------------------------------------

int TContourSeries::LegendToLevelIndex(int LegendIndex) const
{
    const int Count = FLevels->Count();
    return LegendIndex >= 0 && LegendIndex < Count ? Count - 1 - LegendIndex : -1;
}

int TContourSeries::LevelOfValue(double Value) const
{
    int Found = -1;
    for (int I = 0; I < FLevels->Count(); ++I) {
        const double Level = FLevels->Items(I)->UpToValue();
        if (Level <= Value && (Found < 0 || Level > FLevels->Items(Found)->UpToValue()))
            Found = I;
    }
    return Found;
}

TColor TContourSeries::LegendItemColor(int LegendIndex) const
{
    const int Index = LegendToLevelIndex(LegendIndex);
    if (Index < 0)
        return GetSeriesColor();
    const TColor Color = FLevels->Items(Index)->Color();
    if (Color != clPlotColor)
        return Color;
    // The point colour of the level's index, as long as there is such a point.
    if (Index < Count())
        return GetValueColor(Index);
    return FParentChart ? FParentChart->GetDefaultColor(Index) : GetSeriesColor();
}

void TContourSeries::GetLegendText(int LegendIndex, TLegendTextStyle /*TextStyle*/, QString& Text)
{
    const int Index = LegendToLevelIndex(LegendIndex);
    Text = Index < 0 ? QString() : FormatFloat(ValueFormat(), FLevels->Items(Index)->UpToValue());
}

int TContourSeries::ValueToLegendIndex(int ValueIndex) const
{
    if (ValueIndex < 0 || ValueIndex >= Count())
        return -1;
    const int Level = LevelOfValue(YValues()->Value(ValueIndex));
    return Level < 0 ? -1 : FLevels->Count() - 1 - Level;
}

double TContourSeries::MaxYValue()
{
    return Is3D() || !FParentChart ? TCustom3DGridSeries::MaxYValue() : ZValues()->MaxValue();
}

double TContourSeries::MinYValue()
{
    return Is3D() || !FParentChart ? TCustom3DGridSeries::MinYValue() : ZValues()->MinValue();
}

void TContourSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustom3DGridSeries::CreateSubGallery(AddSubChart);
    AddSubChart(PlotMsg_StyleColors);
    AddSubChart(PlotMsg_StylePositions);
}

void TContourSeries::SetSubGallery(int Index)
{
    if (Index == 2)
        SetColorEachPoint(true);
    else if (Index == 3)
        SetYPositionLevel(true);
    else
        TCustom3DGridSeries::SetSubGallery(Index);
}

void TContourSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    TCustom3DGridSeries::AddSampleValues(NumValues, OnlyMandatory);
    if (Count() > 0)
        FYPosition = (YValues()->MaxValue() + YValues()->MinValue()) * 0.5;
}

void TContourSeries::PrepareForGallery(bool IsEnabled)
{
    TCustom3DGridSeries::PrepareForGallery(IsEnabled);
    if (!IsEnabled)
        SetSeriesColor(TColor(0x808080));
}

} // namespace lp
