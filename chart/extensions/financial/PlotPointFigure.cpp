// Point and figure: columns from the high and low prices, their boxes,
// legend and registration.

#include "chart/extensions/financial/PlotPointFigure.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_set>

namespace lp {

TPointFigureSeries::TPointFigureSeries(TComponent* AOwner) : TOHLCSeries(AOwner)
{
    FDownSymbol = std::make_unique<TSeriesPointer>(this);
    FDownSymbol->SetStyle(psCircle);
    FDownSymbol->Brush()->SetColor(clRed);
    FUpSymbol = std::make_unique<TSeriesPointer>(this);
    FUpSymbol->SetStyle(psDiagCross);
    FUpSymbol->Brush()->SetColor(clGreen);
    KeepStartAsDefault(*FDownSymbol, {"Style"});
    KeepStartAsDefault(*FDownSymbol->Brush(), {"Color"});
    KeepStartAsDefault(*FUpSymbol, {"Style"});
    KeepStartAsDefault(*FUpSymbol->Brush(), {"Color"});
    XValues()->InitDateTime(false);
}

TPointFigureSeries::~TPointFigureSeries() = default;

void TPointFigureSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TOHLCSeries::SetParentChart(Value);
    if (!IsDestroying()) {
        FUpSymbol->SetParentChart(Value);
        FDownSymbol->SetParentChart(Value);
    }
}

void TPointFigureSeries::SetBoxSize(double Value)
{
    if (!(Value > 0) || !std::isfinite(Value))
        throw ERangeError(FormatText("Box size %s must be a positive number", {std::to_string(Value)}));
    SetDoubleProperty(FBoxSize, Value);
}

int TPointFigureSeries::ColumnOf(int ValueIndex) const
{
    if (ValueIndex < 0 || static_cast<size_t>(ValueIndex) >= FColumns.size())
        throw ERangeError(FormatText("Point %d has no column", {std::to_string(ValueIndex)}));
    return FColumns[static_cast<size_t>(ValueIndex)];
}

double TPointFigureSeries::BoxCount(double Size) const
{
    if (Count() == 0)
        return 0;
    if (!(Size > 0))
        return HUGE_VAL;
    // Prices that cannot be spanned (infinite, NaN) count as one box.
    const double Span = HighValues()->MaxValue() - LowValues()->MinValue();
    return std::isfinite(Span) && Span > 0 ? std::floor(Span / Size) + 1 : 1;
}

void TPointFigureSeries::CheckBoxSize(double Size) const
{
    if (!(Size > 0)) // the setter's own refusal
        return;
    const double Boxes = BoxCount(Size);
    if (Boxes > MaxPointFigureBoxes)
        throw ERangeError(FormatText("A box size of %s makes %s boxes of the prices; at most %s can be drawn",
                                     {ArgText(Size), ArgText(Boxes), ArgText(MaxPointFigureBoxes)}));
}

void TPointFigureSeries::DrawBoxes(TSeriesPointer& Symbol, int X, double From, double To)
{
    const TChartAxis* Axis = GetVertAxis();
    const TChartAxis* Across = GetHorizAxis();
    if (!Axis || !Across)
        return;
    // A column beside the axis draws nothing.
    const int Reach = Symbol.HorizSize() + 1;
    if (X < std::min(Across->StartPixel(), Across->EndPixel()) - Reach ||
        X > std::max(Across->StartPixel(), Across->EndPixel()) + Reach)
        return;
    const double Low = std::min(Axis->CalcMinimum(), Axis->CalcMaximum());
    const double High = std::max(Axis->CalcMinimum(), Axis->CalcMaximum());
    // Boxes closer than the symbol's size draw as one: the step is a whole
    // number of boxes at least a symbol (2 VertSize, and a pixel) apart. A
    // symbol per box of a few pixels, or per pixel of a long run, only
    // overlapped the ones before it (an export wrote every one of them);
    // boxes as large as the symbols are drawn one by one as always.
    const int SymbolPixels = std::max(2 * Symbol.VertSize(), 1);
    const double PerSymbol = (High - Low) / std::max(Axis->AxisPixelSize(), 1) * SymbolPixels;
    const double Step = FBoxSize < PerSymbol ? std::ceil(PerSymbol / FBoxSize) * FBoxSize : FBoxSize;
    double F = From;
    // Whole steps below the axis are stepped over at once.
    if (F < Low)
        F += std::floor((Low - F) / Step) * Step;
    const bool Up = &Symbol == FUpSymbol.get();
    do {
        if (F > High)
            break;
        // The row of the step the box falls in, counted from the axis' low
        // end (steps of a few pixels at most: the count fits).
        const double Steps = std::floor((F - Low) / Step);
        if (!(std::fabs(Steps) < 1e15)) // an axis without a finite range counts no rows
            break;
        const auto Row = static_cast<long long>(Steps);
        FBoxes.push_back({X, CalcYPosValue(F), Row, Up});
        const double Next = F + Step;
        if (!(Next > F)) // a box too small to move a price this large
            break;
        F = Next;
    } while (F <= To);
}

void TPointFigureSeries::DrawSeenBoxes()
{
    // Columns closer than half a symbol's width draw their boxes over one
    // another: in each cell of half a symbol's width by a step of boxes
    // only the last symbol of each kind drawn there shows, the ones of its
    // kind before it lie (nearly) under it; a symbol of the other kind
    // (a cross over a circle) need not hide them. Only those are drawn, in
    // the order drawn, so a paint or an export draws at most two symbols
    // per such cell of the chart, whatever the number of columns.
    const int CellWidth = std::max({FUpSymbol->HorizSize(), FDownSymbol->HorizSize(), 1});
    std::vector<bool> Seen(FBoxes.size(), false);
    std::unordered_set<long long> Taken;
    Taken.reserve(FBoxes.size());
    for (size_t I = FBoxes.size(); I-- > 0;) {
        const TBoxSymbol& Box = FBoxes[I];
        const long long Column = Box.X >= 0 ? Box.X / CellWidth : -1 - (-1 - Box.X) / CellWidth;
        // Rows stay within an axis of steps a pixel or more apart, columns
        // within the pixels of the chart: the key is one to one.
        const long long Key = ((Column << 32) ^ ((Box.Row & 0x7FFFFFFFLL) << 1)) | (Box.Up ? 1 : 0);
        Seen[I] = Taken.insert(Key).second;
    }
    for (size_t I = 0; I < FBoxes.size(); ++I) {
        if (!Seen[I])
            continue;
        TSeriesPointer& Symbol = FBoxes[I].Up ? *FUpSymbol : *FDownSymbol;
        Symbol.PrepareCanvas(FParentChart->Canvas(), Symbol.Brush()->Color());
        Symbol.Draw(FBoxes[I].X, FBoxes[I].Y);
    }
    FBoxes.clear();
}

int TPointFigureSeries::CalcColumns(bool Draw)
{
    const int N = Count();
    FColumns.assign(static_cast<size_t>(N), 0);
    if (N == 0)
        return 0;
    Draw = Draw && FParentChart;
    const TChartValueList& Highs = *HighValues();
    const TChartValueList& Lows = *LowValues();
    const double Reversal = FReversalAmount * FBoxSize;
    double Low = Lows.Value(0);
    double High = Highs.Value(0);
    int Column = 0;
    int ColumnX = Draw ? CalcXPosValue(0) : 0;
    if (Draw)
        DrawBoxes(*FDownSymbol, ColumnX, Low, High);
    bool Falling = true;
    for (int I = 1; I < N; ++I) {
        const double H = Highs.Value(I);
        const double L = Lows.Value(I);
        if (Falling) {
            if (L <= Low - FBoxSize) {
                if (Draw)
                    DrawBoxes(*FDownSymbol, ColumnX, L, Low - FBoxSize);
                Low = L;
            } else if (H >= Low + Reversal) {
                ++Column;
                ColumnX = Draw ? CalcXPosValue(Column) : 0;
                High = H;
                if (Draw)
                    DrawBoxes(*FUpSymbol, ColumnX, Low + FBoxSize, High);
                Falling = false;
            }
        } else {
            if (H >= High + FBoxSize) {
                if (Draw)
                    DrawBoxes(*FUpSymbol, ColumnX, High + FBoxSize, H);
                High = H;
            } else if (L <= High - Reversal) {
                ++Column;
                ColumnX = Draw ? CalcXPosValue(Column) : 0;
                Low = L;
                if (Draw)
                    DrawBoxes(*FDownSymbol, ColumnX, Low, High - FBoxSize);
                Falling = true;
            }
        }
        FColumns[static_cast<size_t>(I)] = Column;
    }
    return Column + 1;
}

void TPointFigureSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TOHLCSeries::CalcHorizMargins(LeftMargin, RightMargin);
    const int Half = std::max(FUpSymbol->HorizSize(), FDownSymbol->HorizSize()) + 1;
    LeftMargin = std::max(LeftMargin, Half);
    RightMargin = std::max(RightMargin, Half);
}

void TPointFigureSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TOHLCSeries::CalcVertMargins(TopMargin, BottomMargin);
    const int Half = std::max(FUpSymbol->VertSize(), FDownSymbol->VertSize()) + 1;
    TopMargin = std::max(TopMargin, Half);
    BottomMargin = std::max(BottomMargin, Half);
}

void TPointFigureSeries::DrawAllValues()
{
    FBoxes.clear();
    CalcColumns(true);
    if (FParentChart)
        DrawSeenBoxes();
}

TColor TPointFigureSeries::LegendItemColor(int LegendIndex) const
{
    return (LegendIndex == 0 ? FUpSymbol : FDownSymbol)->Brush()->Color();
}

void TPointFigureSeries::GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text)
{
    (void)TextStyle;
    Text = LegendIndex == 0 ? PlotMsg_Up : PlotMsg_Down;
}

void TPointFigureSeries::PrepareForGallery(bool IsEnabled)
{
    TOHLCSeries::PrepareForGallery(IsEnabled);
    if (IsEnabled)
        return;
    for (TSeriesPointer* Symbol : {FUpSymbol.get(), FDownSymbol.get()}) {
        Symbol->Brush()->SetColor(clSilver);
        Symbol->Pen()->SetColor(clGray);
    }
}

void RegisterPointFigureSeries()
{
    RegisterPlotSeries<TPointFigureSeries>(&PlotMsg_GalleryPointFigure, &PlotMsg_GalleryFinancial, 1);
}

void UnregisterPointFigureSeries()
{
    UnRegisterPlotSeries({&TPointFigureSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TPointFigureSeries::staticMetaObject));
}

} // namespace lp
