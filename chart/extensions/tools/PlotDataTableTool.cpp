#include "chart/extensions/tools/PlotDataTableTool.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"

#include <algorithm>

namespace lp {

namespace {
// The first row's room next to the axis is left to the axis' own labels.
constexpr int LabelRoom = 10;
// Text inside a cell or header starts this far from its edge.
constexpr int TextInset = 4;
// The width of a "row" of a vertical table: a column of this text.
const QString RowSample = QStringLiteral("#.###");
} // namespace

// --- Layout --------------------------------------------------------------------------------------

TDataTableLayout CalcDataTableLayout(const TDataTableLayoutInput& In)
{
    TDataTableLayout L;
    const int N = static_cast<int>(In.Counts.size());
    for (int B = 1; B <= N + 1; ++B)
        L.RowBounds.push_back(In.Base + In.Direction * (In.RowSize * B + LabelRoom));

    const std::vector<int>& T = In.Ticks;
    const int Count = static_cast<int>(T.size());
    if (Count >= 2) {
        L.Forward = T[0] < T[1];
        if (!In.Horizontal)
            L.Forward = !L.Forward;
        if (In.AxisInverted)
            L.Forward = !L.Forward;
    }
    const auto AddCells = [&](int Tick, int Point) {
        for (int S = 0; S < N; ++S) {
            if (Point < 0 || Point >= In.Counts[static_cast<size_t>(S)] || (In.IsNull && In.IsNull(S, Point)))
                continue;
            L.Cells.push_back({S, In.Inverted ? N - 1 - S : S, Tick + In.Offset, Point});
        }
    };
    for (int I = 0; I + 1 < Count; ++I) {
        L.Separators.push_back((T[I] + T[I + 1]) / 2 + In.Offset);
        AddCells(T[I], L.Forward ? I : In.MaxCount - 1 - I);
    }
    if (Count > 0)
        AddCells(T[Count - 1], L.Forward ? Count - 1 : In.MaxCount - Count);

    const int Low = std::min(In.AxisStart, In.AxisEnd);
    const int High = std::max(In.AxisStart, In.AxisEnd);
    if (Count >= 2) {
        L.Edge1 = std::clamp(T[Count - 1] - (T[Count - 2] - T[Count - 1]) / 2, Low, High) + In.Offset;
        L.Edge2 = std::clamp(T[0] + (T[0] - T[1]) / 2, Low, High) + In.Offset;
        L.Separators.push_back(L.Edge1);
        L.Separators.push_back(L.Edge2);
    } else {
        L.Edge1 = In.AxisStart + In.Offset;
        L.Edge2 = In.AxisEnd + In.Offset;
    }
    return L;
}

void PlaceDataTableHeader(TDataTableLayout& Layout, bool Horizontal, bool AxisInverted, bool OtherSide, int Width,
                          int& HeaderFrom, int& HeaderTo)
{
    if (Layout.Forward != AxisInverted)
        std::swap(Layout.Edge1, Layout.Edge2);
    // The table's start: the first edge along a horizontal axis, the second
    // along a vertical one (pixels grow downwards there).
    const int Start = Horizontal ? Layout.Edge1 : Layout.Edge2;
    const int End = Horizontal ? Layout.Edge2 : Layout.Edge1;
    const bool Before = (Start <= End) != OtherSide;
    const int At = OtherSide ? End : Start;
    HeaderFrom = Before ? At - Width : At;
    HeaderTo = Before ? At : At + Width;
}

// --- TTableLegend --------------------------------------------------------------------------------

TTableLegend::TTableLegend(TCustomPlotPanel* AOwner) : TPlotShape(AOwner), FSymbol(std::make_unique<TLegendSymbol>())
{
    SetDefaultTransparent(true);
    SetTransparent(true);
}

TTableLegend::~TTableLegend() = default;

void TTableLegend::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TTableLegend*>(Source)) {
        FFontSeriesColor = Other->FFontSeriesColor;
        FSymbol->Assign(Other->FSymbol.get());
    }
    TPlotShape::Assign(Source);
}

void TTableLegend::SetFontSeriesColor(bool Value)
{
    if (FFontSeriesColor != Value) {
        FFontSeriesColor = Value;
        Repaint();
    }
}

void TTableLegend::SetOtherSide(bool Value)
{
    if (FOtherSide != Value) {
        FOtherSide = Value;
        Repaint();
    }
}

void TTableLegend::SetSymbol(const TLegendSymbol* Value)
{
    FSymbol->Assign(Value);
}

// --- TDataTableTool ------------------------------------------------------------------------------

TDataTableTool::TDataTableTool(TComponent* AOwner)
    : TPlotCustomTool(AOwner),
      FColumnPen(CreateChartPen()),
      FFont(std::make_unique<TPlotFont>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); })),
      FLegend(std::make_unique<TTableLegend>())
{
}

TDataTableTool::~TDataTableTool()
{
    HookAxes(false);
}

QString TDataTableTool::Description() const
{
    return PlotMsg_DataTable;
}

void TDataTableTool::SetColumnPen(const TChartPen* Value)
{
    FColumnPen->Assign(Value);
}

void TDataTableTool::SetFont(const TPlotFont* Value)
{
    FFont->Assign(Value);
}

void TDataTableTool::SetLegend(const TTableLegend* Value)
{
    FLegend->Assign(Value);
}

std::vector<TChartSeries*> TDataTableTool::TableSeries() const
{
    std::vector<TChartSeries*> Result;
    if (const TCustomAxisPanel* Chart = ParentChart())
        for (TChartSeries* S : Chart->SeriesList())
            if (S->Active() && !S->HasZValues())
                Result.push_back(S);
    return Result;
}

TChartAxis* TDataTableTool::TableAxis() const
{
    const std::vector<TChartSeries*> Series = TableSeries();
    if (Series.empty())
        return nullptr;
    // Horizontal bars and the like run their X values vertically.
    return Series.front()->MandatoryIsY() ? Series.front()->GetHorizAxis() : Series.front()->GetVertAxis();
}

int TDataTableTool::RowSize(TPlotCanvas3D& Canvas) const
{
    Canvas.AssignFont(*FFont);
    const TChartAxis* Axis = TableAxis();
    return !Axis || Axis->Horizontal() ? Canvas.FontHeight() : Canvas.TextWidth(RowSample);
}

int TDataTableTool::HeaderWidth(TPlotCanvas3D& Canvas, const std::vector<TChartSeries*>& Series) const
{
    Canvas.AssignFont(*FLegend->Font());
    int Widest = 0;
    for (const TChartSeries* S : Series)
        Widest = std::max(Widest, Canvas.TextWidth(SeriesTitleOrName(S)));
    const int Symbol = FLegend->Symbol()->Visible() ? FLegend->Symbol()->Width() : 0;
    return Widest + Canvas.FontHeight() + Symbol;
}

int TDataTableTool::AxisSize(TChartAxis* Axis, int Size)
{
    TCustomAxisPanel* Chart = ParentChart();
    const std::vector<TChartSeries*> Series = TableSeries();
    TChartAxis* Table = TableAxis();
    if (!Chart || !Axis || Axis->IsDepthAxis() || !FAutoPosition || Series.empty() || !Table)
        return Size;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    const int N = static_cast<int>(Series.size());
    if (Axis == Table) {
        Canvas.AssignFont(*FFont);
        return Size + (Table->Horizontal() ? N * Canvas.FontHeight() + LabelRoom
                                           : N * Canvas.TextWidth(RowSample) + 16);
    }
    if (!FLegend->Visible() || Axis->Horizontal() == Table->Horizontal())
        return Size;
    const int Header = HeaderWidth(Canvas, Series);
    const bool Other = FLegend->OtherSide();
    const TRect Plot = Chart->ChartRectangle();
    const TRect Panel = Chart->GetRectangle();
    if (Table->Horizontal()) {
        if (!Other && !Axis->OtherSide())
            return std::max(Size, Header);
        if (Other && Axis->OtherSide())
            return std::max(Size, Header - (Panel.Right - Plot.Right));
    } else {
        if (!Other && Axis->OtherSide())
            return std::max(Size, Header);
        if (Other && !Axis->OtherSide())
            return std::max(Size, Header - (Panel.Bottom - Plot.Bottom));
    }
    return Size;
}

void TDataTableTool::PlaceBase(const TChartAxis& Axis, int& Base, int& Offset, int& Direction)
{
    const TCustomAxisPanel& Chart = *ParentChart();
    const bool Horizontal = Axis.Horizontal();
    Direction = Horizontal ? 1 : -1;
    if (Axis.OtherSide())
        Direction = -Direction;
    if (!FAutoPosition) {
        Base = Horizontal ? FTop : FLeft;
        Offset = Horizontal ? FLeft : FTop;
        return;
    }
    Base = Axis.AxisLinePixel();
    Offset = 0;
    if (Chart.View3D() && Axis.OtherSide()) {
        const int Depth = Chart.Depth3D();
        Base += Depth;
        Offset = Horizontal ? Depth : -Depth;
    }
    // Written as the automatic placement left them, without a repaint.
    FLeft = Horizontal ? 0 : Base;
    FTop = Horizontal ? Base : 0;
}

TDataTableLayout TDataTableTool::Layout()
{
    const std::vector<TChartSeries*> Series = TableSeries();
    TChartAxis* Axis = TableAxis();
    if (!Axis)
        return {};
    TDataTableLayoutInput In;
    In.Ticks = Axis->TickPositions();
    In.AxisStart = Axis->StartPixel();
    In.AxisEnd = Axis->EndPixel();
    In.Horizontal = Axis->Horizontal();
    In.AxisInverted = Axis->Inverted();
    PlaceBase(*Axis, In.Base, In.Offset, In.Direction);
    In.RowSize = RowSize(ParentChart()->Canvas());
    In.Inverted = FInverted;
    for (const TChartSeries* S : Series) {
        In.Counts.push_back(S->Count());
        In.MaxCount = std::max(In.MaxCount, S->Count());
    }
    In.IsNull = [&Series](int S, int Index) { return Series[static_cast<size_t>(S)]->IsNull(Index); };
    return CalcDataTableLayout(In);
}

QString TDataTableTool::CellText(TChartSeries& Series, int Index) const
{
    return Series.FormattedValue(Series.GetMarkValue(Index));
}

void TDataTableTool::DrawHeader(TPlotCanvas3D& Canvas, TDataTableLayout& L, const std::vector<TChartSeries*>& Series,
                                bool Horizontal, bool AxisInverted, int& From, int& To)
{
    const int Width = HeaderWidth(Canvas, Series);
    PlaceDataTableHeader(L, Horizontal, AxisInverted, FLegend->OtherSide(), Width, From, To);
    const int Across0 = L.RowBounds.front();
    const int Across1 = L.RowBounds.back();
    // The line between header and values.
    const bool HeaderBefore = From < std::min(L.Edge1, L.Edge2) + 1;
    const int Inner = HeaderBefore ? To : From;
    Canvas.AssignVisiblePen(*FColumnPen);
    if (Horizontal)
        Canvas.Line(Inner, Across0, Inner, Across1);
    else
        Canvas.Line(Across0, Inner, Across1, Inner);

    const TLegendSymbol& Symbol = *FLegend->Symbol();
    const int SymbolWidth = Symbol.Visible() ? Symbol.Width() : 0;
    const bool SymbolLeft = Symbol.Visible() && Symbol.Position() == spLeft;
    const int N = static_cast<int>(Series.size());
    Canvas.AssignFont(*FLegend->Font());
    Canvas.SetBackMode(1);
    Canvas.SetTextAlign(TA_LEFT | TA_TOP);
    for (int S = 0; S < N; ++S) {
        TChartSeries& Item = *Series[static_cast<size_t>(S)];
        const int Row = FInverted ? N - 1 - S : S;
        const int RowLow = std::min(L.RowStart(Row), L.RowEnd(Row));
        const int RowHigh = std::max(L.RowStart(Row), L.RowEnd(Row));
        if (FLegend->FontSeriesColor())
            Canvas.Font()->SetColor(Item.GetSeriesColor());
        else
            Canvas.Font()->SetColor(FLegend->Font()->Color());
        const int TextStart = From + TextInset + (SymbolLeft ? SymbolWidth + TextInset : 0);
        const QString Title = SeriesTitleOrName(&Item);
        if (Horizontal)
            Canvas.TextOut(TextStart, RowLow, Title);
        else
            Canvas.RotateLabel(RowLow, To - TextInset - (SymbolLeft ? SymbolWidth + TextInset : 0), Title, 90);
        if (!Symbol.Visible())
            continue;
        // An 8-pixel-high box 4 pixels inside the row.
        const int Along0 = Symbol.Position() == spRight ? To - TextInset - SymbolWidth : From + TextInset;
        const TRect Box = Horizontal ? TRect{Along0, RowLow + TextInset, Along0 + SymbolWidth, RowLow + TextInset + 8}
                                     : TRect{RowLow + TextInset, Along0, RowLow + TextInset + 8, Along0 + SymbolWidth};
        (void)RowHigh;
        if (Symbol.Gradient()->Visible()) {
            TPlotGradient Gradient;
            Gradient.Assign(Symbol.Gradient());
            Gradient.SetEndColor(Item.GetSeriesColor());
            Gradient.Draw(Canvas, Box);
        } else {
            Item.DrawLegend(-1, Box);
        }
    }
}

void TDataTableTool::Draw()
{
    const std::vector<TChartSeries*> Series = TableSeries();
    TChartAxis* Axis = TableAxis();
    if (!Axis)
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    TDataTableLayout L = Layout();
    const bool Horizontal = Axis->Horizontal();
    const int Across0 = FAutoPosition ? (Horizontal ? FTop : FLeft) : L.RowBounds.front();
    const int Across1 = L.RowBounds.back();

    Canvas.AssignVisiblePen(Horizontal ? *FColumnPen : *Pen());
    for (const int S : L.Separators) {
        if (Horizontal)
            Canvas.Line(S, Across0, S, Across1);
        else
            Canvas.Line(Across0, S, Across1, S);
    }

    Canvas.AssignFont(*FFont);
    Canvas.SetBackMode(1);
    Canvas.SetTextAlign(TA_LEFT | TA_TOP);
    const int FontHeight = Canvas.FontHeight();
    for (const TDataTableCell& Cell : L.Cells) {
        const QString Text = CellText(*Series[static_cast<size_t>(Cell.Series)], Cell.Point);
        const int RowLow = std::min(L.RowStart(Cell.Row), L.RowEnd(Cell.Row));
        if (Horizontal)
            Canvas.TextOut(Cell.Tick - Canvas.TextWidth(Text) / 2, RowLow, Text);
        else
            Canvas.TextOut(RowLow + TextInset, Cell.Tick - FontHeight / 2, Text);
    }

    int From = std::min(L.Edge1, L.Edge2);
    int To = std::max(L.Edge1, L.Edge2);
    if (FLegend->Visible())
        DrawHeader(Canvas, L, Series, Horizontal, Axis->Inverted(), From, To);
    const int Low = std::min({L.Edge1, L.Edge2, From});
    const int High = std::max({L.Edge1, L.Edge2, To});
    Canvas.AssignVisiblePen(Horizontal ? *Pen() : *FColumnPen);
    for (const int B : L.RowBounds) {
        if (Horizontal)
            Canvas.Line(Low, B, High, B);
        else
            Canvas.Line(B, Low, B, High);
    }
}

void TDataTableTool::ChartEvent(int Event)
{
    TPlotCustomTool::ChartEvent(Event);
    if (Event == cteAfterDraw && ParentChart())
        Draw();
}

void TDataTableTool::HookAxes(bool Install)
{
    if (FHooked) {
        if (!FHooked->IsDestroying())
            FHooked->AxesList().OnAxisSize = nullptr;
        FHooked = nullptr;
    }
    TCustomAxisPanel* Chart = ParentChart();
    if (!Install || !Chart)
        return;
    FHooked = Chart;
    Chart->AxesList().OnAxisSize = [this](TChartAxis* Axis, int Size) { return AxisSize(Axis, Size); };
}

void TDataTableTool::SetParentChart(TCustomAxisPanel* Value)
{
    HookAxes(false);
    TPlotCustomTool::SetParentChart(Value);
    if (!IsDestroying()) {
        FLegend->SetParentChart(Value);
        HookAxes(true);
        Repaint();
    }
}

void RegisterDataTableTool()
{
    RegisterPlotTools({PlotClass<TDataTableTool>()});
}

void UnregisterDataTableTool()
{
    UnRegisterPlotTools({&TDataTableTool::staticMetaObject});
}

} // namespace lp
