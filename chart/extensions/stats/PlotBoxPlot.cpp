// Box plots: statistics from a sorted copy of the samples, the box, median
// line, whiskers and outlier symbols, sample values and registration.

#include "chart/extensions/stats/PlotBoxPlot.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <vector>

namespace lp {

namespace {

// The p-quantile by the plotting positions (j + 0.5) / N: linear between
// the two samples whose positions enclose p; the first sample when p lies
// at or below the first position, the last when beyond the last.
double Percentile(std::span<const double> S, double P)
{
    const size_t N = S.size();
    const double Step = 1.0 / static_cast<double>(N);
    size_t K = 0;
    double A = 0;
    double B = 0;
    while (B < P && K < N) {
        A = B;
        B = (static_cast<double>(K) + 0.5) * Step;
        ++K;
    }
    if (K <= 1 || B < P)
        return B < P ? S[N - 1] : S[0];
    const double T = (P - A) / (B - A);
    return S[K - 2] + (S[K - 1] - S[K - 2]) * T;
}

} // namespace

TBoxStatistics CalcBoxStatistics(std::span<const double> S, double WhiskerLength)
{
    TBoxStatistics R;
    const size_t N = S.size();
    if (N == 0)
        return R;
    const size_t H = N / 2;
    R.Median = N % 2 == 0 ? (S[H - 1] + S[H]) * 0.5 : S[H];
    R.Quartile1 = Percentile(S, 0.25);
    R.Quartile3 = Percentile(S, 0.75);
    const double IQR = R.Quartile3 - R.Quartile1;
    R.InnerFenceLow = R.Quartile1 - WhiskerLength * IQR;
    R.InnerFenceHigh = R.Quartile3 + WhiskerLength * IQR;
    R.OuterFenceLow = R.Quartile1 - 2 * WhiskerLength * IQR;
    R.OuterFenceHigh = R.Quartile3 + 2 * WhiskerLength * IQR;
    // The walks stop at the first sample beyond the fence; when none is
    // found the low walk ends on the last sample, never past it.
    size_t I = 0;
    while (I <= H && I < N && S[I] <= R.InnerFenceLow)
        ++I;
    R.AdjacentLow = S[std::min(I, N - 1)];
    I = H;
    while (I < N && S[I] <= R.InnerFenceHigh)
        ++I;
    R.AdjacentHigh = S[I > 0 ? I - 1 : 0];
    return R;
}

// --- TCustomBoxSeries -----------------------------------------------------------------------------

TCustomBoxSeries::TCustomBoxSeries(TComponent* AOwner) : TPointSeries(AOwner)
{
    FExtrOut = std::make_unique<TSeriesPointer>(this);
    FExtrOut->SetStyle(psStar);
    FMedianPen = CreateChartPen();
    FMedianPen->SetStyle(TPen::psDot);
    FMildOut = std::make_unique<TSeriesPointer>(this);
    FMildOut->SetStyle(psCircle);
    FWhiskerPen = CreateChartPen();
    YValues()->SetName(QStringLiteral("Samples"));
    XValues()->SetName(QString());
    Marks()->SetVisible(false);
    Marks()->Callout()->SetLength(0);
    Pointer()->SetDraw3D(false);
    Pointer()->Pen()->SetWidth(1);
    Pointer()->SetHorizSize(15);
    Pointer()->SetVertSize(15);
    Pointer()->Brush()->SetColor(clWhite);
    // These starts are the series' own defaults, so a user's change back to
    // the pen's or pointer's class default is still written.
    KeepStartAsDefault(*FExtrOut, {"Style"});
    KeepStartAsDefault(*FMedianPen, {"Style"});
    KeepStartAsDefault(*FMildOut, {"Style"});
    KeepStartAsDefault(*Pointer(), {"Draw3D", "HorizSize", "VertSize"});
    KeepStartAsDefault(*Pointer()->Brush(), {"Color"});
}

TCustomBoxSeries::~TCustomBoxSeries()
{
    // The pens call back into the series on change: they go first.
    FMedianPen.reset();
    FWhiskerPen.reset();
}

void TCustomBoxSeries::MakeHorizontal()
{
    SetHorizontal();
    FVertical = false;
}

void TCustomBoxSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TCustomBoxSeries*>(Source)) {
        FExtrOut->Assign(S->FExtrOut.get());
        FMedianPen->Assign(S->FMedianPen.get());
        FMildOut->Assign(S->FMildOut.get());
        FPosition = S->FPosition;
        FWhiskerLength = S->FWhiskerLength;
        FWhiskerPen->Assign(S->FWhiskerPen.get());
        FUseCustomValues = S->FUseCustomValues;
    }
    TPointSeries::Assign(Source);
}

void TCustomBoxSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TPointSeries::SetParentChart(Value);
    if (!IsDestroying()) {
        FExtrOut->SetParentChart(Value);
        FMildOut->SetParentChart(Value);
    }
}

TChartValueList* TCustomBoxSeries::GetSampleValues() const
{
    return FVertical ? YValues() : XValues();
}

void TCustomBoxSeries::SetSampleValues(TChartValueList* Value)
{
    SetValueList(GetSampleValues(), Value);
}

void TCustomBoxSeries::SetStatistics(const TBoxStatistics& Value)
{
    FStatistics = Value;
    Repaint();
}

void TCustomBoxSeries::CalcStatistics()
{
    const TChartValueList& Samples = *GetSampleValues();
    const int N = Samples.Count();
    if (FUseCustomValues || N == 0)
        return;
    const std::span<const double> Stored(Samples.Data(), static_cast<size_t>(N));
    if (std::is_sorted(Stored.begin(), Stored.end())) {
        FStatistics = CalcBoxStatistics(Stored, FWhiskerLength);
        return;
    }
    std::vector<double> Sorted(Stored.begin(), Stored.end());
    std::sort(Sorted.begin(), Sorted.end());
    FStatistics = CalcBoxStatistics(Sorted, FWhiskerLength);
}

void TCustomBoxSeries::CalcFirstLastVisibleIndex()
{
    SetVisibleRange(Count() > 0 ? 0 : -1, Count() - 1);
}

void TCustomBoxSeries::DoBeforeDrawValues()
{
    TPointSeries::DoBeforeDrawValues();
    CalcStatistics();
}

TRect TCustomBoxSeries::BoxRect() const
{
    const int Half = Pointer()->HorizSize();
    TRect R;
    if (FVertical) {
        const int X = CalcXPosValue(FPosition);
        const int Q1 = CalcYPosValue(FStatistics.Quartile1);
        const int Q3 = CalcYPosValue(FStatistics.Quartile3);
        R = {X - Half, std::min(Q1, Q3), X + Half, std::max(Q1, Q3)};
    } else {
        const int Y = CalcYPosValue(FPosition);
        const int Q1 = CalcXPosValue(FStatistics.Quartile1);
        const int Q3 = CalcXPosValue(FStatistics.Quartile3);
        R = {std::min(Q1, Q3), Y - Half, std::max(Q1, Q3), Y + Half};
    }
    return R;
}

void TCustomBoxSeries::DrawAllValues()
{
    TPointSeries::DrawAllValues();
    if (!FParentChart)
        return;
    const TRect Box = BoxRect();
    if (Pointer()->Visible())
        DrawBox(Box);
    if (FMedianPen->Visible())
        DrawMedian(Box);
    if (FWhiskerPen->Visible())
        DrawWhiskers();
}

void TCustomBoxSeries::DrawBox(const TRect& Box)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    TSeriesPointer& P = *Pointer();
    P.PrepareCanvas(Canvas, P.Brush()->Color());
    const bool Is3D = FParentChart->View3D();
    if (FVertical) {
        const int H = (Box.Bottom - Box.Top) / 2;
        P.DrawPointer(Canvas, Is3D, Box.Left + P.HorizSize() - 1, Box.Top + H, P.HorizSize() - 1, H - 1,
                      P.Brush()->Color(), P.Style());
    } else {
        const int W = (Box.Right - Box.Left) / 2;
        P.DrawPointer(Canvas, Is3D, Box.Left + W, Box.Top + P.HorizSize() - 1, W - 1, P.VertSize() - 1,
                      P.Brush()->Color(), P.Style());
    }
}

void TCustomBoxSeries::StatisticLine(int X0, int Y0, int X1, int Y1, int Z)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (FParentChart->View3D())
        Canvas.LineWithZ(X0, Y0, X1, Y1, Z);
    else
        Canvas.Line(X0, Y0, X1, Y1);
}

void TCustomBoxSeries::DrawMedian(const TRect& Box)
{
    FParentChart->Canvas().AssignVisiblePen(*FMedianPen);
    if (FVertical) {
        const int Y = CalcYPosValue(FStatistics.Median);
        StatisticLine(Box.Left, Y, Box.Right, Y, DepthStart());
    } else {
        const int X = CalcXPosValue(FStatistics.Median);
        StatisticLine(X, Box.Top, X, Box.Bottom, DepthStart());
    }
}

void TCustomBoxSeries::DrawWhiskers()
{
    FParentChart->Canvas().AssignVisiblePen(*FWhiskerPen);
    const int Z = Pointer()->Visible() && Pointer()->Draw3D() ? DepthMiddle() : DepthStart();
    const int Half = Pointer()->HorizSize();
    // Each whisker runs from the quartile's box edge along the centre line
    // to the adjacent value, then a cap across as wide as the box.
    const auto Whisker = [&](double Quartile, double Adjacent) {
        if (FVertical) {
            const int X = CalcXPosValue(FPosition);
            const int Y = CalcYPosValue(Adjacent);
            StatisticLine(X, CalcYPosValue(Quartile), X, Y, Z);
            StatisticLine(X - Half, Y, X + Half, Y, Z);
        } else {
            const int Y = CalcYPosValue(FPosition);
            const int X = CalcXPosValue(Adjacent);
            StatisticLine(CalcXPosValue(Quartile), Y, X, Y, Z);
            StatisticLine(X, Y - Half, X, Y + Half, Z);
        }
    };
    Whisker(FStatistics.Quartile1, FStatistics.AdjacentLow);
    Whisker(FStatistics.Quartile3, FStatistics.AdjacentHigh);
}

TSeriesPointer* TCustomBoxSeries::OutlierSymbol(double V) const
{
    const TBoxStatistics& S = FStatistics;
    if (V > S.InnerFenceHigh)
        return V <= S.OuterFenceHigh ? FMildOut.get() : FExtrOut.get();
    if (V < S.InnerFenceLow)
        return V < S.OuterFenceLow ? FExtrOut.get() : FMildOut.get();
    return nullptr;
}

void TCustomBoxSeries::DrawValue(int ValueIndex)
{
    if (!FParentChart || IsNull(ValueIndex))
        return;
    TSeriesPointer* Symbol = OutlierSymbol(GetSampleValues()->Value(ValueIndex));
    if (!Symbol || !Symbol->Visible())
        return;
    const TColor Color = GetValueColor(ValueIndex);
    Symbol->PrepareCanvas(FParentChart->Canvas(), Color);
    if (FVertical)
        Symbol->DrawWithStyle(CalcXPosValue(FPosition), CalcYPos(ValueIndex), Symbol->Style(), Color);
    else
        Symbol->DrawWithStyle(CalcXPos(ValueIndex), CalcYPosValue(FPosition), Symbol->Style(), Color);
}

void TCustomBoxSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    if (FVertical) {
        APosition.ArrowStart.X = CalcXPosValue(FPosition);
        APosition.TopLeft.X = APosition.ArrowStart.X - APosition.MarkWidth / 2;
    } else {
        APosition.ArrowStart.Y = CalcYPosValue(FPosition);
        APosition.TopLeft.Y = APosition.ArrowStart.Y - APosition.MarkHeight / 2;
    }
    APosition.ArrowEnd = APosition.ArrowStart;
    TPointSeries::DrawMark(ValueIndex, St, APosition);
}

void TCustomBoxSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const int K = (FParentChart ? FParentChart->SeriesCount() : 0) + 1;
    const double M = (RandomValue(10) + 3) * K;
    Add(-M);
    for (int I = 2; I <= NumValues - 2; ++I)
        Add(M * I / NumValues);
    Add(2 * M);
}

void TCustomBoxSeries::PrepareForGallery(bool IsEnabled)
{
    TPointSeries::PrepareForGallery(IsEnabled);
    if (!FParentChart)
        return;
    int Index = 0;
    for (int I = 0; I < FParentChart->SeriesCount(); ++I) {
        auto* Box = qobject_cast<TCustomBoxSeries*>(FParentChart->Series(I));
        if (!Box)
            continue;
        Box->SetPosition(Index + 1);
        Box->Pointer()->SetHorizSize(12);
        Box->MildOut()->SetHorizSize(3);
        Box->ExtrOut()->SetVertSize(3);
        Box->FillSampleValues((Index + 1) * 10);
        ++Index;
    }
}

// --- THorizBoxSeries ------------------------------------------------------------------------------

THorizBoxSeries::THorizBoxSeries(TComponent* AOwner) : TCustomBoxSeries(AOwner)
{
    MakeHorizontal();
}

// --- Registration ---------------------------------------------------------------------------------

void RegisterBoxSeries()
{
    RegisterPlotSeries<TBoxSeries>(&PlotMsg_GalleryBoxPlot, &PlotMsg_GalleryStats, 2);
    RegisterPlotSeries<THorizBoxSeries>(&PlotMsg_GalleryHorizBoxPlot, &PlotMsg_GalleryStats, 2);
}

void UnregisterBoxSeries()
{
    const std::initializer_list<const QMetaObject*> Series = {&TBoxSeries::staticMetaObject,
                                                              &THorizBoxSeries::staticMetaObject};
    UnRegisterPlotSeries(Series);
    for (const QMetaObject* Meta : Series)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
