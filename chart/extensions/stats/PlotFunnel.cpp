// Funnel: sorting and geometry, segment fills, outline and separators,
// marks, hit test, legend, sample values and registration.

#include "chart/extensions/stats/PlotFunnel.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>

namespace lp {

TFunnelSeries::TFunnelSeries(TComponent* AOwner) : TChartSeries(AOwner)
{
    FLinesPen = CreateChartPen();
    FOpportunityValues = new TChartValueList(this, PlotMsg_OpportunityValues);
    YValues()->SetName(PlotMsg_QuoteValues);
    YValues()->InitOrder(loDescending);
    XValues()->SetName(QString());
    XValues()->InitOrder(loNone);
    SetPercentFormat(PlotMsg_FunnelPercentFormat);
    KeepStartAsDefault(*this, {"PercentFormat"});
}

TFunnelSeries::~TFunnelSeries()
{
    // The pen calls back into the series on change: it goes first.
    FLinesPen.reset();
}

void TFunnelSeries::SetAutoUpdate(bool Value)
{
    FAutoUpdate = Value;
    if (Value)
        Recalc();
}

void TFunnelSeries::SetDifferenceLimit(double Value)
{
    if (FDifferenceLimit != Value) {
        FDifferenceLimit = Value;
        if (FAutoUpdate)
            Recalc();
    }
    Repaint();
}

void TFunnelSeries::SetQuotesSorted(bool Value)
{
    FQuotesSorted = Value;
    FSorted = Value;
}

void TFunnelSeries::SortQuotes()
{
    ReorderPoints([this] {
        YValues()->Sort();
        XValues()->FillSequence();
    });
    FSorted = true;
}

int TFunnelSeries::AddSegment(double AQuote, double AOpportunity, const QString& ALabel, TColor AColor)
{
    FOpportunityValues->SetTempValue(AOpportunity);
    const int Index = Add(AQuote, ALabel, AColor);
    if (!FQuotesSorted)
        SortQuotes();
    return Index;
}

void TFunnelSeries::Recalc()
{
    if (!FSorted)
        SortQuotes();
    if (Count() == 0)
        return;
    FFirstQuote = YValues()->First();
    FLastQuote = YValues()->Last();
    FStep = (FFirstQuote - FLastQuote) * 0.5 / Count();
}

double TFunnelSeries::Ratio(int ValueIndex) const
{
    const double Quote = YValues()->Value(ValueIndex);
    return Quote == 0 ? 0 : FOpportunityValues->Value(ValueIndex) / Quote;
}

TFunnelSeries::TSegment TFunnelSeries::CalcSegment(int ValueIndex) const
{
    const double I = ValueIndex;
    const double F = FFirstQuote;
    const double S = FStep;
    const double R = Ratio(ValueIndex);
    const TPoint P0{CalcXPosValue(I - 0.5), CalcYPosValue(F - I * S)};
    const TPoint P1{CalcXPosValue(I + 0.5), CalcYPosValue(F - (I + 1) * S)};
    const TPoint P2{P1.X, CalcYPosValue((I + 1) * S)};
    const TPoint P3{P0.X, CalcYPosValue(I * S)};
    const double Span = F - 2 * S * I;
    const double Level = Span * R + I * S;
    const int YL = CalcYPosValue(Level);
    // Where the level meets a slanted edge: X = Offset / s + i - 0.5, within
    // the segment. A flat funnel (s = 0) has no slant: the edge named by
    // Otherwise is the meeting point.
    const auto EdgeX = [&](double Offset, double Otherwise) {
        const double X = S == 0 ? Otherwise : Offset / S + I - 0.5;
        return CalcXPosValue(std::clamp(X, I - 0.5, I + 0.5));
    };
    TSegment Result;
    if (YL <= P0.Y)
        Result.Polygon = {P0, P1, P2, P3};
    else if (YL <= P1.Y)
        Result.Polygon = {{P0.X, YL}, {EdgeX(Span * (1 - R), I + 0.5), YL}, P1, P2, P3};
    else if (YL <= P2.Y)
        Result.Polygon = {{P0.X, YL}, {P1.X, YL}, P2, P3};
    else
        Result.Polygon = {{P0.X, YL}, {EdgeX(Span * R, I - 0.5), YL}, P3};
    // A shortfall that equals the limit up to rounding (1 - 35 / 50 is
    // 0.30000000000000004) is within it.
    const double Shortfall = (1 - R) * 100;
    if (R >= 1)
        Result.Color = FAboveColor;
    else
        Result.Color = Shortfall <= FDifferenceLimit + 1e-9 ? FWithinColor : FBelowColor;
    return Result;
}

void TFunnelSeries::DrawPolygon(const std::vector<TPoint>& Points)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (FParentChart->View3D())
        Canvas.PolygonWithZ(Points, DepthStart());
    else
        Canvas.Polygon(Points, static_cast<int>(Points.size()) - 1);
}

void TFunnelSeries::DoBeforeDrawChart()
{
    TChartSeries::DoBeforeDrawChart();
    if (Active() && GetVertAxis())
        GetVertAxis()->SetVisible(false);
}

void TFunnelSeries::DrawAllValues()
{
    if (!FParentChart || Count() == 0)
        return;
    Recalc();
    TChartSeries::DrawAllValues();
    DrawOutline();
    DrawSeparators();
}

void TFunnelSeries::DrawValue(int ValueIndex)
{
    if (!FParentChart)
        return;
    const TSegment Segment = CalcSegment(ValueIndex);
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.Pen()->SetStyle(TPen::psClear);
    Canvas.AssignBrush(*Brush(), Segment.Color);
    DrawPolygon(Segment.Polygon);
}

void TFunnelSeries::DrawOutline()
{
    if (!Pen()->Visible())
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignVisiblePen(*Pen());
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    const int Left = CalcXPosValue(-0.5);
    const int Right = CalcXPosValue(Count() - 0.5);
    DrawPolygon({{Left, CalcYPosValue(FFirstQuote)},
                 {Right, CalcYPosValue((FFirstQuote + FLastQuote) * 0.5)},
                 {Right, CalcYPosValue((FFirstQuote - FLastQuote) * 0.5)},
                 {Left, CalcYPosValue(0)}});
}

void TFunnelSeries::DrawSeparators()
{
    if (!FLinesPen->Visible())
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignVisiblePen(*FLinesPen);
    const bool Is3D = FParentChart->View3D();
    const int Last = std::min(LastVisibleIndex(), Count() - 2);
    for (int I = std::max(FirstVisibleIndex(), 0); I <= Last; ++I) {
        const int X = CalcXPosValue(I + 0.5);
        const int Bottom = CalcYPosValue((I + 1) * FStep);
        const int Top = CalcYPosValue(FFirstQuote - (I + 1) * FStep);
        if (Is3D)
            Canvas.LineWithZ(X, Bottom, X, Top, DepthStart());
        else
            Canvas.Line(X, Bottom, X, Top);
    }
}

void TFunnelSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    const TPoint Centre{CalcXPosValue(ValueIndex), CalcYPosValue(FFirstQuote * 0.5)};
    APosition.ArrowStart = Centre;
    APosition.ArrowEnd = Centre;
    APosition.TopLeft = {Centre.X - APosition.MarkWidth / 2, Centre.Y - APosition.MarkHeight / 2};
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

QString TFunnelSeries::GetMarkText(int ValueIndex)
{
    QString Text = FormatFloat(PercentFormat(), 100 * Ratio(ValueIndex));
    if (OnGetMarkText)
        OnGetMarkText(this, ValueIndex, Text);
    return Text;
}

int TFunnelSeries::Clicked(int X, int Y)
{
    const int Hit = TChartSeries::Clicked(X, Y);
    if (Hit >= 0 || !FParentChart || Count() == 0 || FirstVisibleIndex() < 0)
        return Hit;
    Recalc();
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    for (int I = FirstVisibleIndex(); I <= Last; ++I)
        if (PointInPolygon(TPoint{X, Y}, CalcSegment(I).Polygon))
            return I;
    return -1;
}

TColor TFunnelSeries::LegendItemColor(int LegendIndex) const
{
    switch (LegendIndex) {
    case 0: return FAboveColor;
    case 1: return FWithinColor;
    default: return FBelowColor;
    }
}

void TFunnelSeries::GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text)
{
    (void)TextStyle;
    if (LegendIndex == 0) {
        Text = PlotMsg_FunnelExceedsQuota;
        return;
    }
    const QString Limit = FormatFloat(PercentFormat(), FDifferenceLimit);
    Text = Limit + (LegendIndex == 1 ? PlotMsg_FunnelWithinQuota : PlotMsg_FunnelBelowQuota);
}

void TFunnelSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const double N = NumValues;
    for (int I = 0; I < NumValues; ++I)
        AddSegment(N * 2.3 * (I + 1), (2.3 - RandomValue(2)) * N * (I + 2),
                   QStringLiteral("Segment %1").arg(I + 1), clPlotColor);
    Recalc();
}

void RegisterFunnelSeries()
{
    RegisterPlotSeries<TFunnelSeries>(&PlotMsg_GalleryFunnel, &PlotMsg_GalleryStats, 1);
}

void UnregisterFunnelSeries()
{
    UnRegisterPlotSeries({&TFunnelSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TFunnelSeries::staticMetaObject));
}

} // namespace lp
