// Circled series (the circle from the chart rectangle, angle <-> pixel,
// rotation, the saved 3-D view) and the pie series (slice angles, explode,
// the "other" slice kept apart from the user's points, 2-D, donut and 3-D
// slices, click polygons, legend, gallery).

#include "chart/engine/PlotPieSeries.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace lp {

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2 * std::numbers::pi;

} // namespace

// --- TCircledSeries -----------------------------------------------------------------------------

TCircledSeries::TCircledSeries(TComponent* AOwner) : TChartSeries(AOwner)
{
    SetVisibleRangeSearch(false);
    XValues()->SetName(QStringLiteral("Angle"));
    FGradient = std::make_unique<TPlotGradient>([this](TPersistent* Sender) {
        if (!FDrawingSlices)
            CanvasChanged(Sender);
    });
}

TCircledSeries::~TCircledSeries()
{
    FGradient.reset();
    RestoreView3D();
}

void TCircledSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TCircledSeries*>(Source)) {
        FCircleBackColor = S->FCircleBackColor;
        FCircled = S->FCircled;
        FCustomXRadius = S->FCustomXRadius;
        FCustomYRadius = S->FCustomYRadius;
        SetRotationAngle(S->FRotationAngle);
        FGradient->Assign(S->FGradient.get());
    }
    TChartSeries::Assign(Source);
    TakeChartCircle();
}

void TCircledSeries::TakeChartCircle()
{
    if (!FParentChart)
        return;
    for (TChartSeries* S : FParentChart->SeriesList())
        if (S != this && S->metaObject() == metaObject()) {
            const auto* C = static_cast<const TCircledSeries*>(S);
            FCircled = C->FCircled;
            FCustomXRadius = C->FCustomXRadius;
            FCustomYRadius = C->FCustomYRadius;
            return;
        }
}

void TCircledSeries::SetCircled(bool Value)
{
    SetBooleanProperty(FCircled, Value);
    if (!FParentChart)
        return;
    for (int I = 0; I < FParentChart->SeriesCount(); ++I) {
        auto* S = FParentChart->Series(I);
        if (S->metaObject() != metaObject())
            continue;
        auto* C = static_cast<TCircledSeries*>(S);
        C->SetBooleanProperty(C->FCircled, Value);
        if (!IsLoading()) {
            C->SetIntegerProperty(C->FCustomXRadius, 0);
            C->SetIntegerProperty(C->FCustomYRadius, 0);
        }
    }
}

void TCircledSeries::SetCustomXRadius(int Value)
{
    SetIntegerProperty(FCustomXRadius, Value);
    if (FParentChart)
        for (int I = 0; I < FParentChart->SeriesCount(); ++I)
            if (auto* S = FParentChart->Series(I); S != this && S->metaObject() == metaObject())
                static_cast<TCircledSeries*>(S)->SetIntegerProperty(static_cast<TCircledSeries*>(S)->FCustomXRadius,
                                                                    Value);
}

void TCircledSeries::SetCustomYRadius(int Value)
{
    SetIntegerProperty(FCustomYRadius, Value);
    if (FParentChart)
        for (int I = 0; I < FParentChart->SeriesCount(); ++I)
            if (auto* S = FParentChart->Series(I); S != this && S->metaObject() == metaObject())
                static_cast<TCircledSeries*>(S)->SetIntegerProperty(static_cast<TCircledSeries*>(S)->FCustomYRadius,
                                                                    Value);
}

void TCircledSeries::SetRotationAngle(int Value)
{
    const int Stored = ((Value % 360) + 360) % 360;
    FRotationRadians = Stored * Pi / 180.0;
    SetIntegerProperty(FRotationAngle, Stored);
}

void TCircledSeries::SetGradient(const TPlotGradient* Value)
{
    FGradient->Assign(Value);
}

void TCircledSeries::AdjustCircleRect()
{
    TRect& R = FCircleRect;
    if (R.Width() % 2 != 0)
        --R.Right;
    if (R.Height() % 2 != 0)
        --R.Bottom;
    if (R.Width() < 4)
        R.Right = R.Left + 4;
    if (R.Height() < 4)
        R.Bottom = R.Top + 4;
    FCircleWidth = R.Width();
    FCircleHeight = R.Height();
    FCircleXCenter = (R.Left + R.Right) / 2;
    FCircleYCenter = (R.Top + R.Bottom) / 2;
}

void TCircledSeries::CalcRadii()
{
    if (FCustomXRadius != 0) {
        FXRadius = FCustomXRadius;
        FCircleWidth = 2 * FXRadius;
    } else
        FXRadius = FCircleWidth / 2;
    if (FCustomYRadius != 0) {
        FYRadius = FCustomYRadius;
        FCircleHeight = 2 * FYRadius;
    } else
        FYRadius = FCircleHeight / 2;
    FCircleRect = TRect{FCircleXCenter - FXRadius, FCircleYCenter - FYRadius, FCircleXCenter + FXRadius,
                        FCircleYCenter + FYRadius};
}

void TCircledSeries::SetCircleRect(const TRect& Rect)
{
    FCircleRect = Rect;
    AdjustCircleRect();
    CalcRadii();
}

void TCircledSeries::MarksRoom(int& Horiz, int& Vert)
{
    Horiz = 0;
    Vert = 0;
}

void TCircledSeries::CalcCircleRect(const TRect& Rect)
{
    FCircleRect = Rect;
    AdjustCircleRect();
    int H = 0;
    int V = 0;
    MarksRoom(H, V);
    if (H != 0 || V != 0) {
        FCircleRect.Left += H;
        FCircleRect.Right -= H;
        FCircleRect.Top += V;
        FCircleRect.Bottom -= V;
        AdjustCircleRect();
    }
    if (FCircled && FParentChart) {
        // Round on the device: compare the half-axes in device terms.
        // R: how many pixels across make as many millimetres as one pixel
        // down (the screen ratio over the device ratio); 1 on square pixels.
        double Ratio = 1.0;
        TPlotCanvas3D& Canvas = FParentChart->Canvas();
        if (Canvas.ReferenceCanvas()) {
            const TDeviceContext& Device = Canvas.GetHandle();
            const int ResX = Device.GetDeviceCaps(HORZRES);
            const int ResY = Device.GetDeviceCaps(VERTRES);
            const double DevRatio = DeviceAspectRatio(Canvas);
            if (ResX > 0 && ResY > 0) {
                const double Screen = double(ResX) / ResY;
                Ratio = DevRatio > 0 ? Screen / DevRatio : Screen;
            }
            if (!(Ratio > 0.01 && Ratio < 100))
                Ratio = 1.0;
        }
        const int XR = FCustomXRadius != 0 ? FCustomXRadius : FCircleWidth / 2;
        const int YR = FCustomYRadius != 0 ? FCustomYRadius : FCircleHeight / 2;
        // The horizontal half-axis in vertical pixels.
        const double XInY = XR / Ratio;
        if (XInY > YR) {
            const int Dif = RoundPixel(XR - YR * Ratio);
            FCircleRect.Left += Dif;
            FCircleRect.Right -= Dif;
        } else if (YR > XInY) {
            const int Dif = RoundPixel(YR - XInY);
            FCircleRect.Top += Dif;
            FCircleRect.Bottom -= Dif;
        }
        AdjustCircleRect();
    }
    CalcRadii();
}

void TCircledSeries::AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const
{
    const double A = Angle + FRotationRadians;
    X = FCircleXCenter + RoundPixel(std::cos(A) * AXRadius);
    Y = FCircleYCenter - RoundPixel(std::sin(A) * AYRadius);
}

double TCircledSeries::PointToAngle(int X, int Y) const
{
    double Result;
    if (X == FCircleXCenter)
        Result = Y < FCircleYCenter ? Pi / 2 : -Pi / 2;
    else if (FXRadius == 0 || FYRadius == 0)
        Result = 0;
    else
        Result = std::atan2(double(FCircleYCenter - Y) / FYRadius, double(X - FCircleXCenter) / FXRadius);
    if (Result < 0)
        Result += TwoPi;
    Result -= FRotationRadians;
    if (Result < 0)
        Result += TwoPi;
    return Result;
}

TColor TCircledSeries::CalcCircleBackColor() const
{
    if (FCircleBackColor != clPlotColor)
        return FCircleBackColor;
    return FParentChart ? FParentChart->GetBackColor() : clPlotColor;
}

bool TCircledSeries::HasCircleBackColor() const
{
    const TColor C = CalcCircleBackColor();
    return C != clPlotColor && C != clNone;
}

void TCircledSeries::DrawCircleGradient()
{
    if (!FParentChart || !FGradient->Visible())
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    TRect R = FCircleRect;
    if (FParentChart->View3D()) {
        // Within the ellipse the circle is drawn as, turned in a rotated view.
        Canvas.ClipEllipseWithZ(R, DepthEnd());
        R = Canvas.CalculateRect3D(R, DepthEnd());
    } else {
        Canvas.ClipEllipse(R, false);
    }
    FGradient->Draw(Canvas, R);
    Canvas.UnClipRectangle();
}

void TCircledSeries::RestoreView3D()
{
    if (FOldView3D && FParentChart && !FParentChart->IsDestroying())
        FParentChart->View3DOptions()->Assign(FOldView3D.get());
    FOldView3D.reset();
}

void TCircledSeries::SetParentChart(TCustomAxisPanel* Value)
{
    if (Value == FParentChart) {
        TChartSeries::SetParentChart(Value);
        return;
    }
    RestoreView3D();
    TChartSeries::SetParentChart(Value);
    if (FParentChart && !IsLoading() && !FParentChart->IsLoading())
        TakeChartCircle();
    // A chart being read already holds the view it was saved with, the one
    // this series showed: joining it changes nothing, and there is no
    // earlier view to give back on leaving.
    if (FParentChart && !FParentChart->IsDestroying() && !FParentChart->IsLoading()
        && !FParentChart->Canvas().SupportsFullRotation()) {
        FOldView3D = std::make_unique<TView3DOptions>();
        FOldView3D->Assign(FParentChart->View3DOptions());
        if (Active())
            SetDefaultView3D();
        else
            RestoreView3D();
    }
}

void TCircledSeries::SetActive(bool Value)
{
    const bool Was = Active();
    TChartSeries::SetActive(Value);
    if (Was && !Value)
        RestoreView3D();
    else if (!Was && Value && FParentChart && !FOldView3D && !FParentChart->Canvas().SupportsFullRotation()) {
        FOldView3D = std::make_unique<TView3DOptions>();
        FOldView3D->Assign(FParentChart->View3DOptions());
        SetDefaultView3D();
    }
}

void TCircledSeries::DoBeforeDrawValues()
{
    TChartSeries::DoBeforeDrawValues();
    if (FParentChart)
        CalcCircleRect(FParentChart->ChartRectangle());
}

// --- TSliceValueList ----------------------------------------------------------------------------

int TSliceValueList::Value(int Index) const
{
    if (Index < 0 || Index >= Count())
        return 0;
    return FValues[static_cast<size_t>(Index)];
}

void TSliceValueList::SetValue(int Index, int Value)
{
    if (Index < 0)
        RaiseIndexError(Index, Count());
    if (Index >= Count())
        FValues.resize(static_cast<size_t>(Index) + 1, 0);
    int& Slot = FValues[static_cast<size_t>(Index)];
    if (Slot != Value) {
        Slot = Value;
        if (FOwner)
            FOwner->Repaint();
    }
}

void TSliceValueList::Delete(int Index)
{
    if (Index >= 0 && Index < Count())
        FValues.erase(FValues.begin() + Index);
}

void TSliceValueList::Exchange(int A, int B, int Size)
{
    if (Count() < Size)
        FValues.resize(static_cast<size_t>(Size), 0);
    if (A < 0 || A >= Count())
        RaiseIndexError(A, Count());
    if (B < 0 || B >= Count())
        RaiseIndexError(B, Count());
    std::swap(FValues[static_cast<size_t>(A)], FValues[static_cast<size_t>(B)]);
}

// --- TPieOtherSlice -----------------------------------------------------------------------------

void TPieOtherSlice::Changed()
{
    if (FOwner)
        FOwner->Repaint();
}

TPieOtherSlice::TPieOtherSlice(TPieSeries* Owner) : FOwner(Owner) {}

TPieOtherSlice::~TPieOtherSlice() = default;

TChartLegend* TPieOtherSlice::Legend() const
{
    if (!FLegend)
        FLegend = std::make_unique<TChartLegend>(FOwner ? FOwner->ParentChart() : nullptr);
    return FLegend.get();
}

void TPieOtherSlice::SetLegend(const TChartLegend* Value)
{
    if (Value)
        Legend()->Assign(Value);
    else
        FLegend.reset();
}

void TPieOtherSlice::BindLegend(TCustomAxisPanel* Chart)
{
    if (FLegend)
        FLegend->SetParentChart(Chart);
}

void TPieOtherSlice::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TPieOtherSlice*>(Source)) {
        if (S->FLegend)
            Legend()->Assign(S->FLegend.get());
        else
            FLegend.reset();
        FColor = S->FColor;
        FStyle = S->FStyle;
        FText = S->FText;
        FTextSet = S->FTextSet;
        FValue = S->FValue;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPieOtherSlice::SetColor(TColor Value)
{
    if (FColor != Value) {
        FColor = Value;
        Changed();
    }
}

void TPieOtherSlice::SetStyle(TPieOtherStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Changed();
    }
}

QString TPieOtherSlice::Text() const
{
    return FTextSet ? FText : PlotMsg_Other;
}

void TPieOtherSlice::SetText(const QString& Value)
{
    if (!FTextSet || FText != Value) {
        FText = Value;
        FTextSet = true;
        Changed();
    }
}

void TPieOtherSlice::SetValue(double Value)
{
    if (FValue != Value) {
        FValue = Value;
        Changed();
    }
}

// --- TPieSeries: settings -----------------------------------------------------------------------

TPieSeries::TPieSeries(TComponent* AOwner) : TCircledSeries(AOwner)
{
    FOtherSlice = std::make_unique<TPieOtherSlice>(this);
    FShadow = std::make_unique<TPlotShadow>([this](TPersistent* Sender) { CanvasChanged(Sender); });
    FShadow->SetDefaultColor(TColor(0xA0A0A0));
    FShadow->SetColor(TColor(0xA0A0A0));
    XValues()->SetName(QString());
    YValues()->SetName(QStringLiteral("Pie"));
    Marks()->SetVisible(true);
    KeepStartAsDefault(*Marks(), {"Visible"});
    Marks()->SetArrowLength(8);
    SetColorEachPoint(true);
    // The circle gradient starts white and radial; that start is what a
    // file that leaves them out reads back as.
    Gradient()->SetStartColor(clWhite);
    Gradient()->SetDirection(TGradientDirections::gdRadial);
    KeepStartAsDefault(*Gradient(), {"Direction", "StartColor"});
}

TPieSeries::~TPieSeries() = default;

void TPieSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TPieSeries*>(Source)) {
        FAngleSize = S->FAngleSize;
        FAutoMarkPosition = S->FAutoMarkPosition;
        FDark3D = S->FDark3D;
        FDarkPen = S->FDarkPen;
        FExplodeBiggest = S->FExplodeBiggest;
        FExplodedSlice.Assign(S->FExplodedSlice);
        FSliceHeight.Assign(S->FSliceHeight);
        FUsePatterns = S->FUsePatterns;
        FOtherSlice->Assign(S->FOtherSlice.get());
        FShadow->Assign(S->FShadow.get());
    }
    TCircledSeries::Assign(Source);
    SetColorEachPoint(true);
}

void TPieSeries::SetShadow(const TPlotShadow* Value)
{
    FShadow->Assign(Value);
}

void TPieSeries::SetMultiPie(TMultiPie Value)
{
    if (FMultiPie != Value) {
        FMultiPie = Value;
        Repaint();
    }
}

void TPieSeries::SetExplodeBiggest(int Value)
{
    FExplodeBiggest = Value;
    ApplyExplodeBiggest();
}

void TPieSeries::ApplyExplodeBiggest()
{
    if (Count() == 0)
        return;
    int First = 0;
    int Last = Count() - 1;
    if (FParentChart && FParentChart->MaxPointsPerPage() > 0)
        CalcFirstLastPage(First, Last);
    First = std::clamp(First, 0, Count() - 1);
    Last = std::clamp(Last, First, Count() - 1);
    int Biggest = First;
    for (int I = First + 1; I <= Last; ++I)
        if (YValues()->Value(I) > YValues()->Value(Biggest))
            Biggest = I;
    FExplodedSlice.SetValue(Biggest, FExplodeBiggest);
}

void TPieSeries::SetDefaultView3D()
{
    if (!FParentChart)
        return;
    TView3DOptions* V = FParentChart->View3DOptions();
    V->SetOrthogonal(false);
    V->SetRotation(360);
    V->SetElevation(315);
    V->SetPerspective(0);
    V->SetTilt(0);
}

void TPieSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TCircledSeries::SetParentChart(Value);
    if (FOtherSlice)
        FOtherSlice->BindLegend(Value);
}

void TPieSeries::CalcFirstLastVisibleIndex()
{
    if (FOtherSlice->Style() != poNone || !FParentChart || FParentChart->MaxPointsPerPage() <= 0) {
        if (Count() > 0)
            SetVisibleRange(0, Count() - 1);
        else
            SetVisibleRange(-1, -1);
        return;
    }
    int First = 0;
    int Last = 0;
    CalcFirstLastPage(First, Last);
    First = std::clamp(First, 0, std::max(0, Count() - 1));
    Last = std::clamp(Last, -1, Count() - 1);
    if (Count() == 0 || Last < First)
        SetVisibleRange(-1, -1);
    else
        SetVisibleRange(First, Last);
}

void TPieSeries::CalcZOrder()
{
    SetComputedZOrder(-1);
}

// --- Grouping and angles ------------------------------------------------------------------------

void TPieSeries::GroupOtherSlice()
{
    FGrouped.assign(static_cast<size_t>(Count()), false);
    FOtherSum = 0;
    FGroupedCount = 0;
    if (FOtherSlice->Style() == poNone)
        return;
    const double Scale = SliceScale();
    double Total = 0;
    for (int I = 0; I < Count(); ++I)
        Total += SliceValue(I) * Scale;
    if (!(Total > 0))
        return;
    for (int I = 0; I < Count(); ++I) {
        const double V = SliceValue(I);
        const double Measure = FOtherSlice->Style() == poBelowPercent ? V * Scale * 100.0 / Total : V;
        if (Measure < FOtherSlice->Value()) {
            FGrouped[static_cast<size_t>(I)] = true;
            FOtherSum += V;
            ++FGroupedCount;
        }
    }
}

bool TPieSeries::IsGrouped(int ValueIndex) const
{
    return ValueIndex >= 0 && ValueIndex < static_cast<int>(FGrouped.size()) &&
           FGrouped[static_cast<size_t>(ValueIndex)];
}

std::vector<int> TPieSeries::GroupedPoints() const
{
    std::vector<int> Result;
    for (int I = 0; I < static_cast<int>(FGrouped.size()); ++I)
        if (FGrouped[static_cast<size_t>(I)])
            Result.push_back(I);
    return Result;
}

double TPieSeries::SliceValue(int Index) const
{
    const double Value = Index == Count() ? (FGroupedCount > 0 ? FOtherSum : 0) : std::abs(YValues()->Value(Index));
    return std::isfinite(Value) ? Value : 0;
}

double TPieSeries::SliceScale() const
{
    double Largest = 0;
    for (int I = 0; I < Count(); ++I)
        Largest = std::max(Largest, SliceValue(I));
    return std::ldexp(1.0, -ScaleExponent(Largest));
}

TColor TPieSeries::SliceColor(int Index) const
{
    if (Index == Count())
        return FOtherSlice->Color() == clPlotColor ? (FParentChart ? FParentChart->GetDefaultColor(Index) : clGray) : FOtherSlice->Color();
    return GetValueColor(Index);
}

void TPieSeries::CalcAngles()
{
    const int N = Count();
    FAngles.assign(static_cast<size_t>(N) + 1, TPieAngle{});
    if (static_cast<int>(FGrouped.size()) != N)
        FGrouped.resize(static_cast<size_t>(N), false);
    const double T = FAngleSize * Pi / 180.0;
    const int First = FirstVisibleIndex();
    const int Last = std::min(LastVisibleIndex(), N - 1);
    const bool HasVisible = First >= 0 && Last >= First;
    // The sums are scaled (SliceScale): A / S is each slice's share.
    const double Scale = SliceScale();
    double S = 0;
    if (FOtherSlice->Style() == poNone && HasVisible) {
        for (int I = First; I <= Last; ++I)
            S += SliceValue(I) * Scale;
    } else {
        for (int I = 0; I < N; ++I)
            S += SliceValue(I) * Scale;
    }
    double A = 0;
    double Prev = 0;
    bool IsFirst = true;
    auto Place = [&](int I, bool Grouped) {
        TPieAngle& Ang = FAngles[static_cast<size_t>(I)];
        Ang.StartAngle = IsFirst ? 0 : Prev;
        IsFirst = false;
        if (S == 0)
            Ang.EndAngle = T;
        else {
            if (!Grouped)
                A += SliceValue(I) * Scale;
            Ang.EndAngle = A == S ? T : A * T / S;
        }
        if (Ang.EndAngle - Ang.StartAngle > T)
            Ang.EndAngle = Ang.StartAngle + T;
        Ang.MidAngle = (Ang.StartAngle + Ang.EndAngle) / 2;
        Prev = Ang.EndAngle;
    };
    if (HasVisible)
        for (int I = First; I <= Last; ++I)
            Place(I, IsGrouped(I));
    if (FGroupedCount > 0)
        Place(N, false);
    else {
        FAngles[static_cast<size_t>(N)].StartAngle = Prev;
        FAngles[static_cast<size_t>(N)].MidAngle = Prev;
        FAngles[static_cast<size_t>(N)].EndAngle = Prev;
    }
}

const TPieSeries::TPieAngle& TPieSeries::Angle(int Index) const
{
    if (Index < 0 || Index >= AngleCount())
        RaiseIndexError(Index, AngleCount());
    return FAngles[static_cast<size_t>(Index)];
}

TPoint TPieSeries::ExplodeOffset(int Index) const
{
    const int E = FExplodedSlice.Value(Index);
    if (!FIsExploded || E <= 0 || Index < 0 || Index >= AngleCount())
        return TPoint{0, 0};
    const double A = FAngles[static_cast<size_t>(Index)].MidAngle + RotationRadians();
    return TPoint{RoundPixel(FXRadius * E * 0.01 * std::cos(A)), -RoundPixel(FYRadius * E * 0.01 * std::sin(A))};
}

// --- Drawing ------------------------------------------------------------------------------------

TBrush::TBrushStyle TPieSeries::SlicePattern(int Index) const
{
    if (FUsePatterns || (FParentChart && FParentChart->Monochrome()))
        return BrushPatternOfIndex(Index);
    return TBrush::bsSolid;
}

void TPieSeries::PrepareSlicePen(int Index, TColor Color)
{
    (void)Index;
    if (!FParentChart)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignVisiblePen(*PiePen());
    if (FDarkPen >= 1 && Color != clNone && PiePen()->Visible())
        Canvas.Pen()->SetColor(DarkenColor(Color, 255 - FDarkPen));
}

void TPieSeries::MarksRoom(int& Horiz, int& Vert)
{
    Horiz = 0;
    Vert = 0;
    if (!Marks()->Visible() || !FParentChart)
        return;
    int M = Marks()->ArrowLength();
    if (Marks()->Pen() && Marks()->Pen()->Visible())
        M += 2 * Marks()->Pen()->Width();
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignFont(*Marks()->Font());
    int Widest = 0;
    const int First = std::max(0, FirstVisibleIndex());
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    for (int I = First; I <= Last; ++I)
        if (!IsGrouped(I))
            Widest = std::max(Widest, Canvas.TextWidth(GetMarkText(I)));
    Vert = M + Canvas.FontHeight();
    Horiz = M + Canvas.TextWidth(QStringLiteral("W")) + Widest;
}

void TPieSeries::DoBeforeDrawValues()
{
    if (FParentChart) {
        FOldChartRect = FParentChart->ChartRectangle();
        FHasOldChartRect = true;
        // An ordered value list keeps the slices in value order (the slice
        // lists follow through SwapValueIndex).
        if (YValues()->Order() != loNone)
            YValues()->Sort();
        GroupOtherSlice();
        CalcFirstLastVisibleIndex();
        if (FMultiPie == mpAutomatic) {
            int N = 0;
            int K = 0;
            for (int I = 0; I < FParentChart->SeriesCount(); ++I) {
                TChartSeries* S = FParentChart->Series(I);
                if (S->Active() && S->metaObject() == metaObject()) {
                    if (S == this)
                        K = N;
                    ++N;
                }
            }
            if (N > 1) {
                const int C = std::max(1, static_cast<int>(std::lround(std::sqrt(double(N)))));
                const int R = std::max(1, static_cast<int>(std::nearbyint(std::sqrt(double(N)) + 0.5)));
                const TRect Whole = FOldChartRect;
                const int CW = Whole.Width() / C;
                const int CH = Whole.Height() / R;
                const int Col = K % C;
                const int Row = K / C;
                TRect Cell{Whole.Left + Col * CW, Whole.Top + Row * CH, Whole.Left + (Col + 1) * CW,
                           Whole.Top + (Row + 1) * CH};
                Cell = FParentChart->Canvas().CalculateRect3D(Cell, 0);
                FParentChart->SetChartRectangle(Cell);
            }
        }
    }
    TCircledSeries::DoBeforeDrawValues();
}

void TPieSeries::DoAfterDrawValues()
{
    if (FParentChart && FHasOldChartRect)
        FParentChart->SetChartRectangle(FOldChartRect);
    FHasOldChartRect = false;
    TCircledSeries::DoAfterDrawValues();
}

int TPieSeries::SliceEndDepth(int Index) const
{
    if (Index >= 0 && Index < FSliceHeight.Count())
        return DepthStart() + RoundPixel(FSliceHeight.Value(Index) * (DepthEnd() - DepthStart()) * 0.01);
    return DepthEnd();
}

std::vector<int> TPieSeries::SliceDrawOrder() const
{
    std::vector<int> Order;
    const int First = FirstVisibleIndex();
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    if (First >= 0)
        for (int I = First; I <= Last; ++I)
            if (!IsGrouped(I))
                Order.push_back(I);
    if (FGroupedCount > 0)
        Order.push_back(Count());
    const bool Is3D = FParentChart && FParentChart->View3D();
    if (Is3D && !FParentChart->Canvas().SupportsFullRotation()) {
        // Slices at the back (their middle pointing up, away from the viewer)
        // first: the larger key, sin of the middle angle, is drawn first.
        auto Key = [this](int I) {
            return std::sin(FAngles[static_cast<size_t>(I)].MidAngle + RotationRadians());
        };
        std::stable_sort(Order.begin(), Order.end(), [&](int A, int B) { return Key(A) > Key(B); });
    }
    return Order;
}

void TPieSeries::DrawAllValues()
{
    if (!FParentChart)
        return;
    if (static_cast<int>(FGrouped.size()) != Count())
        GroupOtherSlice();
    if (FExplodeBiggest > 0)
        ApplyExplodeBiggest();
    CalcAngles();
    int MaxExplode = 0;
    int MaxIndex = -1;
    const int First = FirstVisibleIndex();
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    if (First >= 0)
        for (int I = First; I <= Last; ++I)
            if (FExplodedSlice.Value(I) > MaxExplode) {
                MaxExplode = FExplodedSlice.Value(I);
                MaxIndex = I;
            }
    FIsExploded = MaxExplode > 0 || FSliceHeight.Count() > 0;
    if (MaxIndex >= 0) {
        int X = 0;
        int Y = 0;
        AngleToPos(FAngles[static_cast<size_t>(MaxIndex)].MidAngle, FXRadius * MaxExplode * 0.01,
                   FYRadius * MaxExplode * 0.01, X, Y);
        const int DX = std::abs(X - FCircleXCenter) / 2;
        const int DY = std::abs(Y - FCircleYCenter) / 2;
        FCircleRect = TRect{FCircleRect.Left + DX, FCircleRect.Top + DY, FCircleRect.Right - DX,
                            FCircleRect.Bottom - DY};
        AdjustCircleRect();
        CalcRadii();
    }
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (FShadow->Size() != 0 && FShadow->Color() != clNone)
        FShadow->DrawEllipse(Canvas, FCircleRect, DepthEnd());
    FDrawingSlices = true;
    try {
        for (int I : SliceDrawOrder())
            DrawValue(I);
    } catch (...) {
        FDrawingSlices = false;
        throw;
    }
    FDrawingSlices = false;
}

void TPieSeries::DrawValue(int ValueIndex)
{
    if (!FParentChart || FCircleWidth < 5 || FCircleHeight < 5)
        return;
    if (ValueIndex < 0 || ValueIndex > Count() || ValueIndex >= AngleCount())
        return;
    if (ValueIndex < Count() && IsGrouped(ValueIndex))
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    TColor Color = SliceColor(ValueIndex);
    if (FParentChart->Monochrome())
        Color = clBlack;
    if (Color == clNone)
        Canvas.Brush()->SetStyle(TBrush::bsClear);
    else {
        FParentChart->SetBrushCanvas(Color, *Brush(), CalcCircleBackColor());
        const TBrush::TBrushStyle Pattern = SlicePattern(ValueIndex);
        if (Pattern != TBrush::bsSolid)
            Canvas.Brush()->SetStyle(Pattern);
        if (Gradient()->Visible())
            Gradient()->SetEndColor(Color);
    }
    PrepareSlicePen(ValueIndex, Color);
    DrawPieSlice(ValueIndex);
}

void TPieSeries::DrawPieSlice(int Index)
{
    if (!FParentChart || Index < 0 || Index >= AngleCount())
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const TPieAngle& A = FAngles[static_cast<size_t>(Index)];
    const TPoint Off = ExplodeOffset(Index);
    const int XC = FCircleXCenter + Off.X;
    const int YC = FCircleYCenter + Off.Y;
    const double Start = A.StartAngle + RotationRadians();
    const double End = A.EndAngle + RotationRadians();
    if (FParentChart->View3D()) {
        Canvas.Pie3D(XC, YC, FXRadius, FYRadius, DepthStart(), SliceEndDepth(Index), Start, End, FDark3D,
                     FIsExploded || FDonutPercent > 0, FDonutPercent,
                     Gradient()->Visible() ? Gradient() : nullptr);
        return;
    }
    if (FDonutPercent >= 1) {
        Canvas.Donut(XC, YC, FXRadius, FYRadius, Start, End, FDonutPercent);
        return;
    }
    int X0 = 0;
    int Y0 = 0;
    int X1 = 0;
    int Y1 = 0;
    AngleToPos(A.StartAngle, FXRadius, FYRadius, X0, Y0);
    AngleToPos(A.EndAngle, FXRadius, FYRadius, X1, Y1);
    if (X0 != X1 || Y0 != Y1 || Count() == 1 || A.EndAngle - A.StartAngle > 1) {
        Canvas.Pie(FCircleRect.Left + Off.X, FCircleRect.Top + Off.Y, FCircleRect.Right + Off.X,
                   FCircleRect.Bottom + Off.Y, X0 + Off.X, Y0 + Off.Y, X1 + Off.X, Y1 + Off.Y);
    }
}

void TPieSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    if (IsGrouped(ValueIndex) || ValueIndex < 0 || ValueIndex >= AngleCount() || !FParentChart)
        return;
    const double Grow = 1 + FExplodedSlice.Value(ValueIndex) * 0.01;
    const double XR = FIsExploded ? FXRadius * Grow : FXRadius;
    const double YR = FIsExploded ? FYRadius * Grow : FYRadius;
    const double Mid = FAngles[static_cast<size_t>(ValueIndex)].MidAngle;
    const int L = Marks()->ArrowLength();
    AngleToPos(Mid, XR, YR, APosition.ArrowStart.X, APosition.ArrowStart.Y);
    AngleToPos(Mid, XR + L, YR + L, APosition.ArrowEnd.X, APosition.ArrowEnd.Y);
    // The canvas projects the mark at the marks' depth: the slice's top.
    APosition.TopLeft.X =
        APosition.ArrowEnd.X < FCircleXCenter ? APosition.ArrowEnd.X - APosition.MarkWidth : APosition.ArrowEnd.X;
    APosition.TopLeft.Y =
        APosition.ArrowEnd.Y < FCircleYCenter ? APosition.ArrowEnd.Y - APosition.MarkHeight : APosition.ArrowEnd.Y;
    if (FAutoMarkPosition)
        Marks()->MoveOffOverlaps(std::max(0, FirstVisibleIndex()), ValueIndex, APosition);
    const int OldZ = Marks()->ZPosition();
    if (FParentChart->View3D())
        Marks()->SetZPosition(SliceEndDepth(ValueIndex));
    try {
        Marks()->DrawOneMark(ValueIndex, GetValueColor(ValueIndex), St, APosition);
    } catch (...) {
        Marks()->SetZPosition(OldZ);
        throw;
    }
    Marks()->SetZPosition(OldZ);
}

// --- Extremes, clicks, points -------------------------------------------------------------------

double TPieSeries::MaxXValue()
{
    return GetHorizAxis() ? GetHorizAxis()->Maximum() : 0;
}

double TPieSeries::MinXValue()
{
    return GetHorizAxis() ? GetHorizAxis()->Minimum() : 0;
}

double TPieSeries::MaxYValue()
{
    return GetVertAxis() ? GetVertAxis()->Maximum() : 0;
}

double TPieSeries::MinYValue()
{
    return GetVertAxis() ? GetVertAxis()->Minimum() : 0;
}

int TPieSeries::ClickedSlice(int X, int Y) const
{
    if (FAngles.empty())
        return -1;
    const int N = AngleCount();
    for (int I = 0; I < N; ++I) {
        if (I < Count() && IsGrouped(I))
            continue;
        if (I == Count() && FGroupedCount == 0)
            continue;
        if (I < Count() && (I < FirstVisibleIndex() || I > LastVisibleIndex()))
            continue;
        const TPieAngle& A = FAngles[static_cast<size_t>(I)];
        if (A.EndAngle <= A.StartAngle)
            continue;
        const TPoint Off = ExplodeOffset(I);
        std::array<TPoint, 32> Poly{};
        AngleToPos(A.StartAngle, FXRadius, FYRadius, Poly[0].X, Poly[0].Y);
        Poly[1] = TPoint{FCircleXCenter, FCircleYCenter};
        const double Step = (A.EndAngle - A.StartAngle) / 30.0;
        for (int K = 0; K < 30; ++K)
            AngleToPos(A.EndAngle - K * Step, FXRadius, FYRadius, Poly[static_cast<size_t>(K) + 2].X,
                       Poly[static_cast<size_t>(K) + 2].Y);
        for (TPoint& P : Poly) {
            P.X += Off.X;
            P.Y += Off.Y;
            if (FParentChart)
                P = FParentChart->Canvas().Calculate3DPoint(P, DepthEnd());
        }
        if (PointInPolygon(TPoint{X, Y}, Poly))
            return I;
    }
    return -1;
}

int TPieSeries::Clicked(int X, int Y)
{
    const int Base = TChartSeries::Clicked(X, Y);
    if (Base != -1)
        return Base;
    const int Slice = ClickedSlice(X, Y);
    return Slice < Count() ? Slice : -1;
}

void TPieSeries::Delete(int ValueIndex)
{
    TCircledSeries::Delete(ValueIndex);
    FExplodedSlice.Delete(ValueIndex);
    FSliceHeight.Delete(ValueIndex);
    if (ValueIndex >= 0 && ValueIndex < static_cast<int>(FGrouped.size()))
        FGrouped.erase(FGrouped.begin() + ValueIndex);
}

void TPieSeries::SwapValueIndex(int A, int B)
{
    TCircledSeries::SwapValueIndex(A, B);
    FExplodedSlice.Exchange(A, B, Count());
    FSliceHeight.Exchange(A, B, Count());
    if (static_cast<int>(FGrouped.size()) == Count())
        std::vector<bool>::swap(FGrouped[static_cast<size_t>(A)], FGrouped[static_cast<size_t>(B)]);
}

// --- Legend -------------------------------------------------------------------------------------

int TPieSeries::CountLegendItems()
{
    int N = 0;
    for (int I = 0; I < Count(); ++I)
        if (!IsGrouped(I))
            ++N;
    return N;
}

int TPieSeries::LegendToValueIndex(int LegendIndex) const
{
    int N = -1;
    for (int I = 0; I < Count(); ++I)
        if (!IsGrouped(I) && ++N == LegendIndex)
            return I;
    return LegendIndex;
}

TColor TPieSeries::LegendItemColor(int LegendIndex) const
{
    return GetValueColor(LegendToValueIndex(LegendIndex));
}

// --- Samples and gallery ------------------------------------------------------------------------

void TPieSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const QString* Names[] = {&PlotMsg_SampleCars,  &PlotMsg_SamplePhones,    &PlotMsg_SampleTables,
                              &PlotMsg_SampleMonitors, &PlotMsg_SampleLamps, &PlotMsg_SampleKeyboards,
                              &PlotMsg_SampleBikes, &PlotMsg_SampleChairs};
    for (int I = 0; I < NumValues; ++I)
        Add(1 + RandomValue(1000), *Names[I % 8]);
}

void TPieSeries::PrepareForGallery(bool IsEnabled)
{
    TCircledSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(8);
    if (FParentChart) {
        FParentChart->SetChart3DPercent(75);
        TView3DOptions* V = FParentChart->View3DOptions();
        V->SetOrthogonal(false);
        V->SetRotation(0);
        V->SetElevation(305);
    }
    Marks()->SetArrowLength(0);
    Marks()->SetDrawEvery(1);
    Gradient()->SetVisible(true);
    SetColorEachPoint(IsEnabled);
}

void TPieSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCircledSeries::CreateSubGallery(AddSubChart);
    AddSubChart(PlotMsg_StylePatterns);
    AddSubChart(PlotMsg_StyleExploded);
    AddSubChart(PlotMsg_StyleShadow);
    AddSubChart(PlotMsg_StyleMarks);
    AddSubChart(PlotMsg_StyleSemiPie);
    AddSubChart(PlotMsg_StyleNoBorder);
    AddSubChart(PlotMsg_StyleDarkBorder);
}

void TPieSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1:
        SetUsePatterns(true);
        break;
    case 2:
        SetExplodeBiggest(30);
        break;
    case 3:
        FShadow->SetHorizSize(10);
        FShadow->SetVertSize(10);
        break;
    case 4:
        Marks()->SetVisible(true);
        Clear();
        Add(30, QStringLiteral("A"), clPlotColor);
        Add(70, QStringLiteral("B"), clPlotColor);
        break;
    case 5:
        SetAngleSize(180);
        break;
    case 6:
        PiePen()->SetVisible(false);
        break;
    case 7:
        SetDarkPen(32);
        break;
    default:
        TCircledSeries::SetSubGallery(Index);
    }
}

} // namespace lp
