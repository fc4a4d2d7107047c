// Bar series: grouping of related series, bar width, positions, stacking,
// value ranges, drawing of the bar styles in 2-D and 3-D, clicks, marks,
// legend and sub-galleries.

#include "chart/engine/PlotBarSeries.h"

#include "chart/engine/PlotBarShape.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lp {

// Pixel arithmetic of bars stays within the axes' pixel limit, so that huge
// custom sizes or offsets cannot overflow.
static int ClampPos(double Value)
{
    const double Limit = PlotMaxPixelPos;
    return RoundToInt32(std::clamp(Value, -Limit, Limit));
}

// --- TBarSeriesGradient -------------------------------------------------------------------------

TBarSeriesGradient::TBarSeriesGradient(std::function<void(TPersistent*)> OnChange)
    : TCustomPlotGradient(std::move(OnChange))
{
    SetVisible(true);
}

void TBarSeriesGradient::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TBarSeriesGradient*>(Source))
        FRelative = S->FRelative;
    TCustomPlotGradient::Assign(Source);
}

void TBarSeriesGradient::SetRelative(bool Value)
{
    if (FRelative == Value)
        return;
    FRelative = Value;
    Changed();
}

// --- TCustomBarSeries ---------------------------------------------------------------------------

TCustomBarSeries::TCustomBarSeries(TComponent* AOwner) : TChartSeries(AOwner)
{
    FGradient = std::make_unique<TBarSeriesGradient>([this](TPersistent* Sender) { CanvasChanged(Sender); });
    FTickLines = std::make_unique<TChartHiddenPen>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
    Marks()->Callout()->SetLength(20);
    Marks()->Callout()->SetDefaultLength(20);
    Marks()->SetVisible(true);
    // Bars start with their marks shown: hidden marks are the setting to
    // store.
    KeepStartAsDefault(*Marks(), {"Visible"});
}

TCustomBarSeries::~TCustomBarSeries()
{
    // The owned objects call back into the series on change: they go first.
    FTickLines.reset();
    FGradient.reset();
}

void TCustomBarSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TCustomBarSeries*>(Source)) {
        FAutoMarkPosition = S->FAutoMarkPosition;
        FBarWidthPercent = S->FBarWidthPercent;
        FBarStyle = S->FBarStyle;
        FBevelSize = S->FBevelSize;
        FCustomBarSize = S->FCustomBarSize;
        FDark3D = S->FDark3D;
        FDepthPercent = S->FDepthPercent;
        FGradient->Assign(S->FGradient.get());
        FMultiBar = S->FMultiBar;
        FOffsetPercent = S->FOffsetPercent;
        FYOrigin = S->FYOrigin;
        FSideMargins = S->FSideMargins;
        FStackGroup = S->FStackGroup;
        FTickLines->Assign(S->FTickLines.get());
        FUseYOrigin = S->FUseYOrigin;
    }
    TChartSeries::Assign(Source);
}

bool TCustomBarSeries::IsRelated(const TChartSeries* S) const
{
    if (!S || !S->Active())
        return false;
    return S == this || S->metaObject()->inherits(metaObject()) || metaObject()->inherits(S->metaObject());
}

void TCustomBarSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TChartSeries::SetParentChart(Value);
    if (!FParentChart)
        return;
    for (TChartSeries* S : FParentChart->SeriesList())
        if (auto* B = qobject_cast<TCustomBarSeries*>(S); B && IsRelated(B)) {
            FMultiBar = B->FMultiBar;
            FSideMargins = B->FSideMargins;
            SetVisibleRangeSearch(FMultiBar != mbSelfStack);
            break;
        }
}

void TCustomBarSeries::CopyGroupingToRelated()
{
    SetVisibleRangeSearch(FMultiBar != mbSelfStack);
    if (!FParentChart)
        return;
    for (TChartSeries* S : FParentChart->SeriesList())
        if (auto* B = qobject_cast<TCustomBarSeries*>(S); B && B != this && IsRelated(B)) {
            B->FMultiBar = FMultiBar;
            B->FSideMargins = FSideMargins;
            B->SetVisibleRangeSearch(FMultiBar != mbSelfStack);
        }
}

void TCustomBarSeries::SetMultiBar(TMultiBar Value)
{
    if (Value == FMultiBar)
        return;
    FMultiBar = Value;
    CopyGroupingToRelated();
    Repaint();
}

void TCustomBarSeries::SetSideMargins(bool Value)
{
    if (Value == FSideMargins)
        return;
    FSideMargins = Value;
    CopyGroupingToRelated();
    Repaint();
}

void TCustomBarSeries::SetBarStyle(TBarStyle Value)
{
    if (Value == FBarStyle)
        return;
    FBarStyle = Value;
    Repaint();
}

// --- Grouping -----------------------------------------------------------------------------------

void TCustomBarSeries::DoBeforeDrawChart()
{
    FBarOrder = 1;
    FPreviousCount = 0;
    FNumBars = 0;
    FMaxBarPoints = -1;
    std::vector<int> Groups;
    bool Seen = false;
    const auto Visit = [&](TCustomBarSeries* S) {
        if (S == this)
            Seen = true;
        const int N = S->Count();
        if (FMaxBarPoints == -1 || FMaxBarPoints < N)
            FMaxBarPoints = N + (FSideMargins && N > 0 ? 1 : 0);
        switch (FMultiBar) {
        case mbNone:
        case mbSelfStack: FNumBars = 1; break;
        case mbSide:
        case mbSideAll:
            ++FNumBars;
            if (!Seen)
                ++FBarOrder;
            break;
        case mbStacked:
        case mbStacked100:
            if (std::find(Groups.begin(), Groups.end(), S->StackGroup()) == Groups.end()) {
                Groups.push_back(S->StackGroup());
                ++FNumBars;
                if (!Seen)
                    ++FBarOrder;
            }
            break;
        }
        if (!Seen)
            FPreviousCount += N;
    };
    if (FParentChart) {
        for (TChartSeries* S : FParentChart->SeriesList())
            if (auto* B = qobject_cast<TCustomBarSeries*>(S); B && IsRelated(B))
                Visit(B);
    } else {
        Visit(this);
    }
    if (IsStacking()) {
        const auto It = std::find(Groups.begin(), Groups.end(), FStackGroup);
        if (It != Groups.end())
            FBarOrder = static_cast<int>(It - Groups.begin()) + 1;
    }
    const int PerPage = FParentChart ? FParentChart->MaxPointsPerPage() : 0;
    if (FMultiBar == mbSelfStack)
        FMaxBarPoints = PerPage > 0 ? PerPage : FNumBars;
    else if (PerPage > 0)
        FMaxBarPoints = PerPage;
}

TChartAxis* TCustomBarSeries::CategoryAxis() const
{
    return MandatoryIsY() ? GetHorizAxis() : GetVertAxis();
}

void TCustomBarSeries::CalcBarSize()
{
    if (FCustomBarSize != 0) {
        FBarSize = ClampPos(FCustomBarSize);
        return;
    }
    const TChartAxis* Axis = CategoryAxis();
    if (FMaxBarPoints < 1 || !Axis) {
        FBarSize = 0;
        return;
    }
    const int Length = Axis->AxisPixelSize();
    int Slot;
    if (FAutoBarSize) {
        const double Span = 2.0 + Axis->Maximum() - Axis->Minimum();
        Slot = Span > 0 ? RoundToInt32(std::clamp(Length / Span, -1e9, 1e9)) : Length;
    } else {
        Slot = Length / FMaxBarPoints;
    }
    FBarSize = ClampPos(FBarWidthPercent * 0.01 * Slot) / std::max(1, FNumBars);
    if (FBarSize % 2 != 0)
        FBarSize += FBarSize < PlotMaxPixelPos ? 1 : -1;
}

int TCustomBarSeries::CategoryMargin() const
{
    int Extra = FMultiBar == mbSideAll ? FBarSize : FBarSize * FNumBars;
    if (!FSideMargins)
        Extra /= 2;
    return Extra;
}

int TCustomBarSeries::SeriesIndexInChart() const
{
    if (!FParentChart)
        return 0;
    const int Index = FParentChart->SeriesList().IndexOf(this);
    return std::max(0, Index);
}

int TCustomBarSeries::CalcCategoryPos(int ValueIndex) const
{
    const TChartAxis* Axis = CategoryAxis();
    if (!Axis)
        return 0;
    double Result;
    switch (FMultiBar) {
    case mbSideAll: Result = Axis->CalcPosValue(double(FPreviousCount) + ValueIndex) - FBarSize / 2; break;
    case mbSelfStack: Result = Axis->CalcPosValue(SeriesIndexInChart()) - FBarSize / 2; break;
    default: {
        const int Own = MandatoryIsY() ? TChartSeries::CalcXPos(ValueIndex) : TChartSeries::CalcYPos(ValueIndex);
        if (FMultiBar == mbNone)
            Result = Own - FBarSize / 2;
        else
            Result = Own + RoundHalfEven(FBarSize * (FBarOrder - 1 - FNumBars * 0.5));
        break;
    }
    }
    if (FOffsetPercent != 0)
        Result += RoundHalfEven(FOffsetPercent * double(FBarSize) * 0.01);
    return ClampPos(Result);
}

// --- Origins and stacking -----------------------------------------------------------------------

double TCustomBarSeries::GetOriginValue(int ValueIndex, bool SumAll) const
{
    switch (FMultiBar) {
    case mbStacked:
    case mbStacked100: {
        if (ValueIndex < 0 || ValueIndex >= Count())
            return 0;
        const bool Positive = GetStackValue(ValueIndex) >= 0;
        double Result = 0;
        const auto Add = [&](const TChartSeries* S) {
            if (S->Count() <= ValueIndex)
                return;
            const double V = S->GetStackValue(ValueIndex);
            if (Positive ? V >= 0 : V < 0)
                Result += V;
        };
        if (!FParentChart) {
            if (SumAll)
                Add(this);
            return Result;
        }
        for (TChartSeries* S : FParentChart->SeriesList()) {
            if (!SumAll && S == this)
                break;
            const auto* B = qobject_cast<const TCustomBarSeries*>(S);
            if (B && IsRelated(B) && B->StackGroup() == FStackGroup)
                Add(B);
        }
        return Result;
    }
    case mbSelfStack: {
        double Result = 0;
        const int Last = std::min(ValueIndex, Count());
        for (int I = 0; I < Last; ++I)
            Result += MandatoryValues()->Value(I);
        return Result;
    }
    default: return FYOrigin;
    }
}

int TCustomBarSeries::StackedPixel(int ValueIndex, double V) const
{
    if (FMultiBar == mbStacked100) {
        // A stack of zeros has no total: its bars stay at the zero line.
        const double Total = StackTotal(ValueIndex);
        return CalcPosValue(Total == 0 ? 0.0 : V * 100.0 / Total);
    }
    return CalcPosValue(V);
}

int TCustomBarSeries::GetOriginPos(int ValueIndex) const
{
    switch (FMultiBar) {
    case mbStacked:
    case mbStacked100:
    case mbSelfStack: return StackedPixel(ValueIndex, GetOriginValue(ValueIndex, false));
    default: return FUseYOrigin ? CalcPosValue(GetOriginValue(ValueIndex, false)) : DefaultOriginPos();
    }
}

int TCustomBarSeries::CalcValuePos(int ValueIndex) const
{
    switch (FMultiBar) {
    case mbStacked:
    case mbStacked100:
    case mbSelfStack:
        return StackedPixel(ValueIndex, GetOriginValue(ValueIndex, false) + MandatoryValues()->Value(ValueIndex));
    default: return MandatoryIsY() ? TChartSeries::CalcYPos(ValueIndex) : TChartSeries::CalcXPos(ValueIndex);
    }
}

double TCustomBarSeries::StackedExtreme(bool IsMax) const
{
    double Result = 0;
    for (int I = 0; I < Count(); ++I) {
        const double V = GetOriginValue(I, false) + MandatoryValues()->Value(I);
        if (I == 0 || (IsMax ? V > Result : V < Result))
            Result = V;
    }
    return Result;
}

double TCustomBarSeries::ValueRangeMax(double Base)
{
    double Result = Base;
    if (FMultiBar == mbStacked100)
        Result = 100;
    else if (FMultiBar == mbSelfStack && Count() > 0)
        Result = GetOriginValue(Count(), false);
    else if (FMultiBar == mbStacked && Count() > 0)
        Result = StackedExtreme(true);
    if (FUseYOrigin)
        Result = std::max(Result, FYOrigin);
    return Result;
}

double TCustomBarSeries::ValueRangeMin(double Base)
{
    double Result = Base;
    if (FMultiBar == mbStacked100)
        Result = 0;
    else if ((FMultiBar == mbStacked || FMultiBar == mbSelfStack) && Count() > 0)
        Result = StackedExtreme(false);
    if (FUseYOrigin)
        Result = std::min(Result, FYOrigin);
    return Result;
}

double TCustomBarSeries::CategoryRangeMax(double Base) const
{
    if (FMultiBar == mbSideAll)
        return double(Count()) + FPreviousCount - 1;
    if (FMultiBar == mbSelfStack)
        return SeriesIndexInChart();
    return Base;
}

double TCustomBarSeries::CategoryRangeMin(double Base) const
{
    if (FMultiBar == mbSelfStack)
        return SeriesIndexInChart();
    return Base;
}

// --- Visible range, Z order, depth --------------------------------------------------------------

void TCustomBarSeries::CalcFirstLastVisibleIndex()
{
    if (FMultiBar == mbSelfStack) {
        SetVisibleRange(Count() > 0 ? 0 : -1, Count() - 1);
        return;
    }
    if (FParentChart && FParentChart->MaxPointsPerPage() == 1) {
        const int Index = FParentChart->Page() - 1;
        if (Index >= 0 && Index < Count())
            SetVisibleRange(Index, Index);
        else
            SetVisibleRange(-1, -1);
        return;
    }
    TChartSeries::CalcFirstLastVisibleIndex();
}

void TCustomBarSeries::CalcZOrder()
{
    if (FMultiBar != mbNone && FParentChart && ZOrderSetting() == -1) {
        for (TChartSeries* S : FParentChart->SeriesList()) {
            if (S == this)
                break;
            if (qobject_cast<TCustomBarSeries*>(S) && IsRelated(S)) {
                SetComputedZOrder(S->ZOrder());
                return;
            }
        }
    }
    TChartSeries::CalcZOrder();
}

void TCustomBarSeries::CalcDepthPositions()
{
    TChartSeries::CalcDepthPositions();
    if (FDepthPercent == 0)
        return;
    const int Start = DepthStart();
    const int End = DepthEnd();
    const int Inset = ClampPos(double(End - Start) * (100.0 - FDepthPercent) * 0.005);
    SetDepthPositions(Start + Inset, DepthMiddle(), End - Inset);
}

// --- Drawing helpers ----------------------------------------------------------------------------

TBarStyle TCustomBarSeries::StyleOf(int ValueIndex)
{
    TBarStyle Style = FBarStyle;
    if (OnGetBarStyle)
        OnGetBarStyle(this, ValueIndex, Style);
    return Style;
}

void TCustomBarSeries::PrepareBarCanvas()
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignVisiblePen(*BarPen());
    const TColor Back = BarBrush()->Color() == clPlotColor ? FParentChart->Color() : BarBrush()->Color();
    FParentChart->SetBrushCanvas(FNormalBarColor, *BarBrush(), Back);
}

int TCustomBarSeries::PenCorrection() const
{
    return BarPen()->Visible() ? std::max(1, BarPen()->Width()) : 0;
}

void TCustomBarSeries::DrawBarGradient(int ValueIndex, const TRect& Rect)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    TColor End = FNormalBarColor;
    if (FGradient->Relative()) {
        // The end colour moves from StartColor towards the bar colour as the
        // value moves from the base to the largest value.
        const double Base = FUseYOrigin ? FYOrigin : MandatoryValues()->MinValue();
        const double Max = MandatoryValues()->MaxValue();
        const double Range = Max - Base;
        const double Own = MandatoryValues()->Value(ValueIndex);
        const double Ratio = Range == 0 ? 1.0 : std::clamp((Own - Base) / Range, 0.0, 1.0);
        const TColor S = ColorToRGB(FGradient->StartColor());
        const TColor E = ColorToRGB(FNormalBarColor);
        const auto Mix = [&](int Shift) {
            const int A = (S >> Shift) & 0xFF;
            const int B = (E >> Shift) & 0xFF;
            return (RoundToInt32(A + (B - A) * Ratio) & 0xFF) << Shift;
        };
        End = static_cast<TColor>(Mix(0) | Mix(8) | Mix(16));
    }
    // Setting the end colour per bar must not ask for another paint.
    auto Saved = std::move(FGradient->OnChange);
    FGradient->OnChange = {};
    FGradient->SetEndColor(End);
    FGradient->OnChange = std::move(Saved);
    const int Pen = BarPen()->Visible() ? BarPen()->Width() : 0;
    if (!FParentChart->View3D()) {
        FGradient->Draw(Canvas, TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right - Pen, Rect.Bottom - Pen});
    } else if (Canvas.IsOrthogonal()) {
        TRect R = Canvas.CalculateRect3D(Rect, DepthStart());
        FGradient->Draw(Canvas, TRect{R.Left + 1, R.Top + 1, R.Right - Pen, R.Bottom - Pen});
    } else {
        const TRect Shrunk{Rect.Left + Pen, Rect.Top + Pen, Rect.Right - Pen, Rect.Bottom - Pen};
        FGradient->DrawFourPoints(Canvas, Canvas.FourPointsFromRect(Shrunk, DepthStart()));
    }
    (void)ValueIndex;
}

TBarGeometry TCustomBarSeries::BarGeometry(int StartPos, int EndPos) const
{
    const bool Vertical = MandatoryIsY();
    return {Vertical, Vertical ? FBarBounds.Left : FBarBounds.Top, Vertical ? FBarBounds.Right : FBarBounds.Bottom,
            StartPos, EndPos};
}

TBarDepth TCustomBarSeries::BarDepth() const
{
    return {DepthStart(), DepthMiddle(), DepthEnd(), FDark3D};
}

void TCustomBarSeries::DrawBarAlong(int BarIndex, int StartPos, int EndPos)
{
    if (!FParentChart)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    PrepareBarCanvas();
    const TBarStyle Style = StyleOf(BarIndex);
    const TBarGeometry Bar = BarGeometry(StartPos, EndPos);
    const bool Is3D = FParentChart->View3D();
    DrawBarShape(Canvas, Bar, Style, Is3D, BarDepth(), *BarPen(), FNormalBarColor);
    if (Style == bsRectGradient)
        DrawBarGradient(BarIndex, Bar.Rect());
    if (Style == bsBevel && (!Is3D || Canvas.IsOrthogonal()))
        DrawBevel();
    if (TickLines()->Visible())
        DrawTickLines(Bar, Style);
}

void TCustomBarSeries::DrawTickLines(const TBarGeometry& Bar, TBarStyle Style)
{
    if (!BarStyleHasTickLines(Style))
        return;
    const TChartAxis* Axis = Bar.Vertical ? GetVertAxis() : GetHorizAxis();
    if (!Axis)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.AssignVisiblePen(*TickLines());
    DrawBarTickLines(Canvas, Bar, Style, FParentChart->View3D(), BarDepth(), Axis->TickPositions());
}

void TCustomBarSeries::DrawBevel()
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    TRect R = FBarBounds;
    if (BarPen()->Visible()) {
        const int W = BarPen()->Width();
        R = TRect{R.Left + W, R.Top + W, R.Right - W, R.Bottom - W};
    }
    if (FParentChart->View3D()) {
        R = Canvas.CalculateRect3D(R, DepthStart());
        R.Right -= 1;
        R.Bottom -= 1;
    }
    Canvas.Frame3D(R, LightenColor(FNormalBarColor, 128), DarkenColor(FNormalBarColor, 64), FBevelSize);
}

// --- Marks and clicks ---------------------------------------------------------------------------

int TCustomBarSeries::CalcMarkLength(int ValueIndex)
{
    (void)ValueIndex;
    return 0;
}

int TCustomBarSeries::MarksLength()
{
    if (Count() == 0 || !Marks()->Visible() || !FParentChart)
        return 0;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignFont(Marks()->ItemFont(0));
    int Result = CalcMarkLength(-1) + Marks()->Callout()->Length();
    if (const TChartPen& Frame = Marks()->ItemPen(0); Frame.Visible())
        Result += 2 * Frame.Width();
    return Result;
}

bool TCustomBarSeries::InternalClicked(int ValueIndex, const TPoint& P)
{
    if (!FParentChart)
        return false;
    const bool Vertical = MandatoryIsY();
    const int Across = Vertical ? CalcXPos(ValueIndex) : CalcYPos(ValueIndex);
    const int Value = Vertical ? CalcYPos(ValueIndex) : CalcXPos(ValueIndex);
    const int Origin = GetOriginPos(ValueIndex);
    const TBarGeometry Bar{Vertical, Across, Across + FBarSize, std::min(Value, Origin), std::max(Value, Origin)};
    return BarShapeContains(FParentChart->Canvas(), Bar, StyleOf(ValueIndex), FParentChart->View3D(), BarDepth(), P);
}

int TCustomBarSeries::Clicked(int X, int Y)
{
    if (FirstVisibleIndex() == -1 || LastVisibleIndex() == -1)
        return -1;
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    for (int I = std::max(0, FirstVisibleIndex()); I <= Last; ++I)
        if (InternalClicked(I, TPoint{X, Y}))
            return I;
    return -1;
}

// --- Legend, gallery, samples -------------------------------------------------------------------

void TCustomBarSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    if (FParentChart && BarBrush()->HasImage()) {
        const TColor Color = ValueIndex == -1 ? GetSeriesColor() : LegendItemColor(ValueIndex);
        FParentChart->SetBrushCanvas(Color, *BarBrush(), FParentChart->Color());
    }
    TChartSeries::DrawLegendShape(ValueIndex, Rect);
}

void TCustomBarSeries::PrepareLegendCanvas(int, TColor& BackColor, TBrush::TBrushStyle& BrushStyle)
{
    if (!FParentChart)
        return;
    FParentChart->Canvas().AssignVisiblePen(*BarPen());
    BrushStyle = BarBrush()->Style();
    BackColor = BarBrush()->Color() == clPlotColor ? FParentChart->Color() : BarBrush()->Color();
}

void TCustomBarSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TChartSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption : {&PlotMsg_StyleColors, &PlotMsg_StylePyramid, &PlotMsg_StyleEllipse,
                                   &PlotMsg_StyleInvPyramid, &PlotMsg_StyleGradient})
        AddSubChart(*Caption);
    if (SubGalleryStack())
        for (const QString* Caption : {&PlotMsg_StyleStack, &PlotMsg_StyleStack100, &PlotMsg_StyleSelfStacked,
                                       &PlotMsg_StyleSides, &PlotMsg_StyleSideAll})
            AddSubChart(*Caption);
}

void TCustomBarSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: SetColorEachPoint(true); return;
    case 2: SetBarStyle(bsPyramid); return;
    case 3: SetBarStyle(bsEllipse); return;
    case 4: SetBarStyle(bsInvPyramid); return;
    case 5: SetBarStyle(bsRectGradient); return;
    default: break;
    }
    if (!SubGalleryStack() || Index < 6 || Index > 10) {
        TChartSeries::SetSubGallery(Index);
        return;
    }
    // The grouping modes need a second series to show.
    if (FParentChart && FParentChart->SeriesCount() == 1) {
        TCustomBarSeries* Other = nullptr;
        try {
            Other = qobject_cast<TCustomBarSeries*>(CreateNewSeries(Owner(), FParentChart, metaObject()));
        } catch (const Exception&) {
            // A class not registered for streaming gets no companion.
        }
        if (Other) {
            Other->Marks()->SetVisible(false);
            Other->SetBarWidthPercent(FBarWidthPercent);
            Other->FillSampleValues(2);
            Other->SetSubGallery(Index);
        }
    }
    static constexpr TMultiBar Modes[] = {mbStacked, mbStacked100, mbSelfStack, mbSide, mbSideAll};
    SetMultiBar(Modes[Index - 6]);
}

void TCustomBarSeries::PrepareForGallery(bool IsEnabled)
{
    TChartSeries::PrepareForGallery(IsEnabled);
    SetBarWidthPercent(85);
    SetBarStyle(bsRectGradient);
    FGradient->SetVisible(true);
    SetMultiBar(mbNone);
}

int TCustomBarSeries::NumSampleValues() const
{
    if (FParentChart && FParentChart->SeriesCount() > 1)
        for (TChartSeries* S : FParentChart->SeriesList())
            if (S != this && qobject_cast<TCustomBarSeries*>(S) && S->Count() > 0)
                return S->Count();
    return 6;
}

void TCustomBarSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    bool CustomX = false;
    if (FParentChart)
        for (TChartSeries* S : FParentChart->SeriesList())
            if (S != this && IsRelated(S) && SeriesHasCustomXValues(*S))
                CustomX = true;
    // Without custom positions next to them, sample bars stand at 0, 1, 2...
    TChartSeries::AddSampleValues(NumValues, CustomX ? OnlyMandatory : true);
}

// --- TBarSeries ---------------------------------------------------------------------------------

TBarSeries::TBarSeries(TComponent* AOwner) : TCustomBarSeries(AOwner)
{
    Gradient()->SetDirection(gdTopBottom);
    MandatoryValues()->SetName(PlotMsg_StyleBar);
}

int TBarSeries::DefaultOriginPos() const
{
    const TChartAxis* Axis = GetVertAxis();
    return Axis ? Axis->EndPixel() : 0;
}

int TBarSeries::CalcYPos(int Index) const
{
    return CalcValuePos(Index);
}

void TBarSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TChartSeries::CalcHorizMargins(LeftMargin, RightMargin);
    CalcBarSize();
    const int Extra = CategoryMargin();
    LeftMargin += Extra;
    RightMargin += Extra;
}

void TBarSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TChartSeries::CalcVertMargins(TopMargin, BottomMargin);
    int L = MarksLength();
    if (L <= 0)
        return;
    ++L;
    const TChartAxis* Axis = GetVertAxis();
    const bool Inverted = Axis && Axis->Inverted();
    if (UseYOrigin() && MandatoryValues()->MinValue() < YOrigin())
        (Inverted ? TopMargin : BottomMargin) += L;
    if (!UseYOrigin() || MandatoryValues()->MaxValue() > YOrigin())
        (Inverted ? BottomMargin : TopMargin) += L;
}

int TBarSeries::CalcMarkLength(int)
{
    return FParentChart ? FParentChart->Canvas().FontHeight() : 0;
}

bool TBarSeries::HasSameZOrderSeries() const
{
    return MultiBar() == mbSideAll ? false : TCustomBarSeries::HasSameZOrderSeries();
}

bool TBarSeries::DrawSeriesForward() const
{
    const TChartAxis* Axis = GetVertAxis();
    const bool Inverted = Axis && Axis->Inverted();
    switch (MultiBar()) {
    case mbStacked100: return !Inverted;
    case mbStacked:
    case mbSelfStack: {
        const int First = std::max(0, FirstVisibleIndex());
        const double V = First < Count() ? MandatoryValues()->Value(First) : 0;
        return (V >= YOrigin()) != Inverted;
    }
    default: return TCustomBarSeries::DrawSeriesForward();
    }
}

void TBarSeries::DrawValue(int ValueIndex)
{
    FNormalBarColor = GetValueColor(ValueIndex);
    if (FNormalBarColor == clNone || !FParentChart)
        return;
    const int Left = CalcXPos(ValueIndex);
    int Right = Left + FBarSize + 1;
    if (BarsTouch()) {
        const int C = PenCorrection();
        const TChartAxis* Axis = GetHorizAxis();
        if (!(Axis && Axis->Inverted()))
            Right = ValueIndex < Count() - 1 ? CalcXPos(ValueIndex + 1) + 1 - C / 2 : Left + FBarSize + 1 - C / 2;
        else
            Right = ValueIndex == 0 ? Left + FBarSize + C : CalcXPos(ValueIndex - 1);
    }
    int Top = CalcYPos(ValueIndex);
    int Bottom = GetOriginPos(ValueIndex);
    if (!BarPen()->Visible()) {
        if (Bottom > Top)
            ++Bottom;
        else
            ++Top;
        ++Right;
    }
    FBarBounds = TRect{Left, std::min(Top, Bottom), Right, std::max(Top, Bottom)};
    DrawBar(ValueIndex, FBarBounds.Top, FBarBounds.Bottom);
}

void TBarSeries::DrawBar(int BarIndex, int StartPos, int EndPos)
{
    DrawBarAlong(BarIndex, StartPos, EndPos);
}

void TBarSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    TMarksCallout* Callout = Marks()->Callout();
    const int Value = CalcYPos(ValueIndex);
    const bool Down = Value > GetOriginPos(ValueIndex);
    const int Sign = Down ? 1 : -1;
    const int X = CalcXPos(ValueIndex) + FBarSize / 2;
    APosition.ArrowStart = TPoint{X, Value + Sign * Callout->Distance()};
    APosition.ArrowEnd = TPoint{X, APosition.ArrowStart.Y + Sign * Callout->Length()};
    APosition.TopLeft.X = X - APosition.MarkWidth / 2;
    APosition.TopLeft.Y = Down ? APosition.ArrowEnd.Y : APosition.ArrowEnd.Y - APosition.MarkHeight + 1;
    if (AutoMarkPosition())
        Marks()->MoveOffOverlaps(std::max(0, FirstVisibleIndex()), ValueIndex, APosition);
    TCustomBarSeries::DrawMark(ValueIndex, St, APosition);
}

// --- THorizBarSeries ----------------------------------------------------------------------------

THorizBarSeries::THorizBarSeries(TComponent* AOwner) : TCustomBarSeries(AOwner)
{
    SetHorizontal();
    XValues()->InitOrder(loNone);
    YValues()->InitOrder(loAscending);
    Gradient()->SetDirection(gdLeftRight);
    MandatoryValues()->SetName(PlotMsg_StyleBar);
}

int THorizBarSeries::DefaultOriginPos() const
{
    const TChartAxis* Axis = GetHorizAxis();
    return Axis ? Axis->StartPixel() : 0;
}

int THorizBarSeries::CalcXPos(int Index) const
{
    return CalcValuePos(Index);
}

void THorizBarSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TChartSeries::CalcVertMargins(TopMargin, BottomMargin);
    CalcBarSize();
    const int Extra = CategoryMargin();
    TopMargin += Extra;
    BottomMargin += Extra;
}

void THorizBarSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TChartSeries::CalcHorizMargins(LeftMargin, RightMargin);
    int L = MarksLength();
    if (L <= 0)
        return;
    ++L;
    const TChartAxis* Axis = GetHorizAxis();
    const bool Inverted = Axis && Axis->Inverted();
    if (UseYOrigin() && MandatoryValues()->MinValue() < YOrigin())
        LeftMargin += L;
    if (!UseYOrigin() || MandatoryValues()->MaxValue() > YOrigin())
        (Inverted ? LeftMargin : RightMargin) += L;
}

int THorizBarSeries::CalcMarkLength(int ValueIndex)
{
    if (!FParentChart)
        return 0;
    if (ValueIndex == -1)
        return FParentChart->MaxMarkWidth();
    return FParentChart->Canvas().TextWidth(GetMarkText(ValueIndex));
}

bool THorizBarSeries::DrawSeriesForward() const
{
    const TChartAxis* Axis = GetHorizAxis();
    const bool Inverted = Axis && Axis->Inverted();
    switch (MultiBar()) {
    case mbNone: return TCustomBarSeries::DrawSeriesForward();
    case mbSide:
    case mbSideAll: return false;
    case mbStacked100: return !Inverted;
    default: {
        const int First = std::max(0, FirstVisibleIndex());
        const double V = First < Count() ? MandatoryValues()->Value(First) : 0;
        return (V >= 0) != Inverted;
    }
    }
}

void THorizBarSeries::DrawValue(int ValueIndex)
{
    FNormalBarColor = GetValueColor(ValueIndex);
    if (FNormalBarColor == clNone || !FParentChart)
        return;
    const int Top = CalcYPos(ValueIndex);
    int Bottom = Top + FBarSize - 1;
    if (BarsTouch()) {
        const int C = BarPen()->Visible() ? BarPen()->Width() : 0;
        const TChartAxis* Axis = GetVertAxis();
        if (!(Axis && Axis->Inverted()))
            Bottom = ValueIndex == 0 ? Top + FBarSize - C : CalcYPos(ValueIndex - 1);
        else
            Bottom = ValueIndex < Count() - 1 ? CalcYPos(ValueIndex + 1) : Top + FBarSize - C;
    }
    int Right = CalcXPos(ValueIndex);
    int Left = GetOriginPos(ValueIndex);
    if (!BarPen()->Visible()) {
        if (Left < Right) {
            ++Right;
        } else {
            ++Left;
            --Right;
        }
        ++Bottom;
    }
    FBarBounds = TRect{std::min(Left, Right), Top, std::max(Left, Right), Bottom};
    DrawBar(ValueIndex, FBarBounds.Left, FBarBounds.Right);
}

void THorizBarSeries::DrawBar(int BarIndex, int StartPos, int EndPos)
{
    DrawBarAlong(BarIndex, StartPos, EndPos);
}

void THorizBarSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    TMarksCallout* Callout = Marks()->Callout();
    const int Value = CalcXPos(ValueIndex);
    const bool ToLeft = Value < GetOriginPos(ValueIndex);
    const int Sign = ToLeft ? -1 : 1;
    const int Y = CalcYPos(ValueIndex) + FBarSize / 2;
    APosition.ArrowStart = TPoint{Value + Sign * Callout->Distance(), Y};
    APosition.ArrowEnd = TPoint{APosition.ArrowStart.X + Sign * Callout->Length(), Y};
    APosition.TopLeft.X = ToLeft ? APosition.ArrowEnd.X - APosition.MarkWidth : APosition.ArrowEnd.X;
    APosition.TopLeft.Y = Y - APosition.MarkHeight / 2;
    if (AutoMarkPosition())
        Marks()->MoveOffOverlaps(std::max(0, FirstVisibleIndex()), ValueIndex, APosition);
    TCustomBarSeries::DrawMark(ValueIndex, St, APosition);
}

} // namespace lp
