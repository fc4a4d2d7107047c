#include "chart/engine/PlotLegend.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRichText.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/base/Numeric.h"
#include "platform/core/StringList.h"

#include <algorithm>
#include <cstdint>

namespace lp {

namespace {

// Legend geometry is kept within this many pixels of the origin, so that the
// sums of a few coordinates never leave 32 bits whatever the settings hold.
constexpr int64_t CoordLimit = int64_t{1} << 28;

int Clamped(int64_t Value)
{
    return static_cast<int>(std::clamp(Value, -CoordLimit, CoordLimit));
}

// Round(Value) for a pixel quantity, clamped before the conversion.
int RoundClamped(double Value)
{
    if (!(Value == Value)) // NaN
        return 0;
    const double Limit = static_cast<double>(CoordLimit);
    return RoundToInt32(std::clamp(Value, -Limit, Limit));
}

// The size of the check box (and of the radio button) in pixels.
constexpr int CheckBoxSize = 11;
// From an item's left edge: the check box, and the content after it.
constexpr int CheckBoxIndent = 4;
constexpr int CheckBoxSpace = 15;
// Inside an item: before the first part, and between symbol and text. The
// item's width allows 10 pixels beside symbol and text; the 3 left over keep
// the text off the legend's right frame.
constexpr int ItemIndent = 3;
constexpr int SymbolGap = 4;

} // namespace

QString ValueLegendText(TChartSeries* Series, int Index, TLegendTextStyle TextStyle)
{
    if (!Series || Index == -1)
        return {};
    QString Text;
    Series->GetLegendText(Index, TextStyle, Text);
    Text.replace(PlotLineSeparator, QLatin1Char(' '));
    return Text;
}

// --- TChartLegendGradient ----------------------------------------------------------------------

TChartLegendGradient::TChartLegendGradient(std::function<void(TPersistent*)> OnChange)
    : TPlotGradient(std::move(OnChange))
{
    // Assign sets the values without a change signal.
    TCustomPlotGradient Defaults;
    Defaults.SetDirection(gdRightLeft);
    Defaults.SetEndColor(clWhite);
    Defaults.SetStartColor(clSilver);
    TCustomPlotGradient::Assign(&Defaults);
}

// --- TLegendSymbol -----------------------------------------------------------------------------

TLegendSymbol::TLegendSymbol(TCustomChartLegend* Legend) : FLegend(Legend)
{
    FGradient = std::make_unique<TPlotGradient>([this](TPersistent*) { Changed(); });
    FPen = std::make_unique<TChartPen>([this](TGraphicsObject*) { Changed(); });
}

TLegendSymbol::~TLegendSymbol() = default;

void TLegendSymbol::Assign(const TPersistent* Source)
{
    const auto* S = qobject_cast<const TLegendSymbol*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    FContinuous = S->FContinuous;
    FDefaultPen = S->FDefaultPen;
    FGradient->Assign(S->FGradient.get());
    FPen->Assign(S->FPen.get());
    FPosition = S->FPosition;
    FSquared = S->FSquared;
    FVisible = S->FVisible;
    FWidth = S->FWidth;
    FWidthUnits = S->FWidthUnits;
    Changed();
}

void TLegendSymbol::Changed()
{
    if (FLegend)
        FLegend->Repaint();
}

void TLegendSymbol::SetContinuous(bool Value)
{
    if (Value != FContinuous) {
        FContinuous = Value;
        Changed();
    }
}

void TLegendSymbol::SetDefaultPen(bool Value)
{
    if (Value != FDefaultPen) {
        FDefaultPen = Value;
        Changed();
    }
}

void TLegendSymbol::SetPosition(TLegendSymbolPosition Value)
{
    if (Value != FPosition) {
        FPosition = Value;
        Changed();
    }
}

void TLegendSymbol::SetSquared(bool Value)
{
    if (Value != FSquared) {
        FSquared = Value;
        Changed();
    }
}

void TLegendSymbol::SetVisible(bool Value)
{
    if (Value != FVisible) {
        FVisible = Value;
        Changed();
    }
}

void TLegendSymbol::SetWidth(int Value)
{
    if (Value != FWidth) {
        FWidth = Value;
        Changed();
    }
}

void TLegendSymbol::SetWidthUnits(TLegendSymbolSize Value)
{
    if (Value != FWidthUnits) {
        FWidthUnits = Value;
        Changed();
    }
}

int TLegendSymbol::CalcWidth(int TextWidth, int ItemHeight) const
{
    if (!FVisible)
        return 0;
    if (FSquared)
        return std::max(0, ItemHeight - 5);
    if (FWidthUnits == lcsPixels)
        return std::max(0, Clamped(FWidth));
    return std::max(0, Clamped(int64_t{RoundClamped(static_cast<double>(FWidth) * TextWidth * 0.01)} + 10));
}

void TLegendSymbol::Draw(TColor AColor, const TRect& Rect)
{
    if (!FLegend || !FLegend->Chart())
        return;
    TCanvas3D& Canvas = FLegend->Chart()->Canvas();
    if (FGradient->Visible()) {
        // The gradient's end colour is the item's own; the stored gradient
        // keeps its settings.
        TPlotGradient Fill;
        Fill.Assign(FGradient.get());
        Fill.SetEndColor(AColor);
        Fill.Draw(Canvas, Rect);
        return;
    }
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor(AColor);
    Canvas.RectangleRect(Rect);
}

// --- TLegendTitle ------------------------------------------------------------------------------

TLegendTitle::TLegendTitle(TCustomPlotPanel* AOwner) : TPlotShape(AOwner)
{
    FText = std::make_unique<TStringList>();
    FText->OnChange = [this](TStringList*) { Repaint(); };
    SetDefaultTransparent(true);
    SetTransparent(true);
    Font()->SetDefaultStyle(TFont::fsBold);
    Font()->SetStyle(TFont::fsBold);
    Shadow()->SetDefaultColor(clSilver);
    Shadow()->SetDefaultSize(2);
    Shadow()->SetColor(clSilver);
    Shadow()->SetSize(2);
}

TLegendTitle::~TLegendTitle()
{
    FText->OnChange = nullptr;
}

void TLegendTitle::Assign(const TPersistent* Source)
{
    if (const auto* T = qobject_cast<const TLegendTitle*>(Source)) {
        FText->Assign(T->FText.get());
        FTextAlignment = T->FTextAlignment;
    }
    TPlotShape::Assign(Source);
}

void TLegendTitle::SetText(const TStringList* Value)
{
    FText->Assign(Value);
}

void TLegendTitle::SetTextAlignment(TAlignment Value)
{
    if (Value != FTextAlignment) {
        FTextAlignment = Value;
        Repaint();
    }
}

bool TLegendTitle::ShouldShow() const
{
    return Visible() && FText->Count() > 0;
}

int TLegendTitle::FrameWidth() const
{
    if (Pen()->Visible())
        return Pen()->Width();
    return Bevel() != bvNone ? BevelWidth() : 0;
}

void TLegendTitle::CalcSize(int& AWidth, int& AHeight)
{
    AWidth = 0;
    AHeight = 0;
    if (!ParentChart())
        return;
    TCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignFont(*Font());
    int Widest = 0;
    if (TextFormat() == ttfHtml) {
        Widest = HtmlTextExtent(Canvas, FText->Text()).cx;
    } else {
        for (int I = 0; I < FText->Count(); ++I)
            Widest = std::max(Widest, Canvas.TextWidth(FText->Strings(I)));
    }
    int64_t W = int64_t{Widest} + Canvas.TextWidth(QStringLiteral("W"));
    int64_t H = int64_t{FText->Count()} * Canvas.FontHeight();
    if (!Transparent()) {
        const int Frame = FrameWidth();
        W += 2 * int64_t{Frame} + (Shadow() ? Shadow()->HorizSize() : 0);
        H += 2 + Frame;
    }
    AWidth = Clamped(W);
    AHeight = Clamped(H);
}

int TLegendTitle::TotalHeight()
{
    if (!ShouldShow())
        return 0;
    int W = 0;
    int H = 0;
    CalcSize(W, H);
    int64_t Result = int64_t{H} + 2;
    if (!Transparent() && Shadow())
        Result += Shadow()->VertSize();
    return Clamped(Result);
}

void TLegendTitle::DrawTitle(int X, int Y)
{
    if (!ParentChart() || !ShouldShow())
        return;
    int W = 0;
    int H = 0;
    CalcSize(W, H);
    const TRect Bounds{X, Y, Clamped(int64_t{X} + W), Clamped(int64_t{Y} + H)};
    SetShapeBounds(Bounds);
    DrawRectRotated(Bounds);
    TCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignFont(*Font());
    Canvas.SetBackMode(TRANSPARENT);
    Canvas.SetTextAlign(TA_LEFT | TA_TOP);
    const int HalfW = Canvas.TextWidth(QStringLiteral("W")) / 2;
    if (TextFormat() == ttfHtml) {
        Canvas.TextOutHtml(X + HalfW, Y, FText->Text(), true);
        return;
    }
    const int LineHeight = Canvas.FontHeight();
    for (int I = 0; I < FText->Count(); ++I) {
        const QString Line = FText->Strings(I);
        const int LineTop = Clamped(int64_t{Y} + int64_t{I} * LineHeight);
        int LineLeft = X + HalfW;
        if (FTextAlignment == taRightJustify)
            LineLeft = Clamped(int64_t{Bounds.Right} - HalfW - Canvas.TextWidth(Line));
        else if (FTextAlignment == taCenter)
            LineLeft = Clamped(int64_t{X} + (int64_t{W} - Canvas.TextWidth(Line)) / 2);
        Canvas.TextOut(LineLeft, LineTop, Line);
    }
}

// --- TLegendItems ------------------------------------------------------------------------------

TLegendItem& TLegendItems::Item(int Index)
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

const TLegendItem& TLegendItems::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

void TLegendItems::SetCount(int Count)
{
    if (Count < 0)
        RaiseIndexError(Count, 0);
    FItems.resize(static_cast<size_t>(Count));
}

int TLegendItems::IndexAt(int X, int Y) const
{
    for (int I = 0; I < Count(); ++I) {
        const TRect& B = FItems[static_cast<size_t>(I)].Bounds;
        if (X >= B.Left && X < B.Right && Y >= B.Top && Y < B.Bottom)
            return I;
    }
    return -1;
}

// --- TCustomChartLegend ------------------------------------------------------------------------

TCustomChartLegend::TCustomChartLegend(TCustomAxisPanel* Chart) : TPlotCustomShapePosition(Chart)
{
    FDividingLines = std::make_unique<TChartHiddenPen>([this](TGraphicsObject*) { Changed(); });
    FSymbol = std::make_unique<TLegendSymbol>(this);
    FTitle = std::make_unique<TLegendTitle>(Chart);
    // The base constructor stored the panel before this class existed.
    SetParentChart(Chart);
}

TCustomChartLegend::~TCustomChartLegend()
{
    OnCalcSize = nullptr;
}

void TCustomChartLegend::SetParentChart(TCustomPlotPanel* Value)
{
    TPlotCustomShape::SetParentChart(Value);
    FChart = qobject_cast<TCustomAxisPanel*>(Value);
    if (FTitle)
        FTitle->SetParentChart(Value);
}

std::unique_ptr<TPlotGradient> TCustomChartLegend::CreateGradient() const
{
    auto* Self = const_cast<TCustomChartLegend*>(this);
    return std::make_unique<TChartLegendGradient>([Self](TPersistent*) { Self->Repaint(); });
}

void TCustomChartLegend::Assign(const TPersistent* Source)
{
    if (const auto* L = qobject_cast<const TCustomChartLegend*>(Source)) {
        FAlignment = L->FAlignment;
        FCheckBoxes = L->FCheckBoxes;
        FCheckBoxesStyle = L->FCheckBoxesStyle;
        FCurrentPage = L->FCurrentPage;
        FDividingLines->Assign(L->FDividingLines.get());
        FFirstValue = L->FFirstValue;
        FFontSeriesColor = L->FFontSeriesColor;
        FHorizMargin = L->FHorizMargin;
        FInverted = L->FInverted;
        FLeftPercent = L->FLeftPercent;
        FLegendStyle = L->FLegendStyle;
        FMaxNumRows = L->FMaxNumRows;
        FPositionUnits = L->FPositionUnits;
        FResizeChart = L->FResizeChart;
        FSymbol->Assign(L->FSymbol.get());
        FTextStyle = L->FTextStyle;
        FTitle->Assign(L->FTitle.get());
        FTopPercent = L->FTopPercent;
        FTopPos = L->FTopPos;
        FVertMargin = L->FVertMargin;
        FVertSpacing = L->FVertSpacing;
    }
    TPlotCustomShapePosition::Assign(Source);
    Repaint();
}

// --- Properties ----------------------------------------------------------------------------------

void TCustomChartLegend::SetAlignment(TLegendAlignment Value)
{
    SetProperty(FAlignment, Value);
}

void TCustomChartLegend::SetCheckBoxes(bool Value)
{
    SetProperty(FCheckBoxes, Value);
}

void TCustomChartLegend::SetCheckBoxesStyle(TCheckBoxesStyle Value)
{
    if (Value == FCheckBoxesStyle)
        return;
    FCheckBoxesStyle = Value;
    if (Value == cbsRadio) {
        bool SeenActive = false;
        for (TChartSeries* S : LegendSeriesList()) {
            if (!S->Active())
                continue;
            if (SeenActive)
                S->SetActive(false);
            SeenActive = true;
        }
    }
    Repaint();
}

int TCustomChartLegend::ColorWidth() const
{
    return FSymbol->Width();
}

void TCustomChartLegend::SetColorWidth(int Value)
{
    FSymbol->SetWidth(Value);
}

void TCustomChartLegend::SetCurrentPage(bool Value)
{
    SetProperty(FCurrentPage, Value);
}

void TCustomChartLegend::SetDividingLines(const TChartHiddenPen* Value)
{
    FDividingLines->Assign(Value);
}

void TCustomChartLegend::SetFirstValue(int Value)
{
    if (Value < 0)
        throw LegendException(PlotMsg_LegendFirstValue);
    SetProperty(FFirstValue, Value);
}

void TCustomChartLegend::SetFontSeriesColor(bool Value)
{
    SetProperty(FFontSeriesColor, Value);
}

void TCustomChartLegend::SetHorizMargin(int Value)
{
    SetProperty(FHorizMargin, Value);
}

void TCustomChartLegend::SetInverted(bool Value)
{
    SetProperty(FInverted, Value);
}

void TCustomChartLegend::SetLeftPercent(int Value)
{
    SetProperty(FLeftPercent, Value);
}

void TCustomChartLegend::SetLegendStyle(TLegendStyle Value)
{
    SetProperty(FLegendStyle, Value);
}

void TCustomChartLegend::SetMaxNumRows(int Value)
{
    SetProperty(FMaxNumRows, Value);
}

void TCustomChartLegend::SetPositionUnits(TPlotUnits Value)
{
    SetProperty(FPositionUnits, Value);
}

void TCustomChartLegend::SetResizeChart(bool Value)
{
    SetProperty(FResizeChart, Value);
}

void TCustomChartLegend::SetTextStyle(TLegendTextStyle Value)
{
    SetProperty(FTextStyle, Value);
}

void TCustomChartLegend::SetTopPercent(int Value)
{
    SetProperty(FTopPercent, Value);
}

void TCustomChartLegend::SetTopPos(int Value)
{
    SetProperty(FTopPos, Value);
}

void TCustomChartLegend::SetVertMargin(int Value)
{
    SetProperty(FVertMargin, Value);
}

void TCustomChartLegend::SetVertSpacing(int Value)
{
    SetProperty(FVertSpacing, Value);
}

void TCustomChartLegend::SetSeries(TChartSeries* Value)
{
    if (FSeries.data() != Value) {
        FSeries = Value;
        Repaint();
    }
}

// --- Queries -------------------------------------------------------------------------------------

TLegendStyle TCustomChartLegend::CalcLegendStyle() const
{
    if (FLegendStyle != lsAuto)
        return FLegendStyle;
    const TCustomAxisPanel* C = Chart();
    if (!FCheckBoxes && (!C || C->CountActiveSeries() < 2))
        return lsValues;
    return lsSeries;
}

bool TCustomChartLegend::ShouldDraw() const
{
    const TCustomAxisPanel* C = Chart();
    if (!Visible() || !C)
        return false;
    if (FCheckBoxes && CalcLegendStyle() != lsValues)
        return true;
    return C->CountActiveSeries() > 0;
}

TChartSeries* TCustomChartLegend::GetLegendSeries() const
{
    const TCustomAxisPanel* C = Chart();
    if (!C)
        return nullptr;
    if (TChartSeries* S = FSeries.data(); S && S->ParentChart() == C)
        return S;
    for (TChartSeries* S : C->SeriesList())
        if (S->Active() && S->ShowInLegend())
            return S;
    for (TChartSeries* S : C->SeriesList())
        if (S->Active())
            return S;
    return nullptr;
}

std::vector<TChartSeries*> TCustomChartLegend::LegendSeriesList() const
{
    std::vector<TChartSeries*> Result;
    const TCustomAxisPanel* C = Chart();
    if (!C)
        return Result;
    for (TChartSeries* S : C->SeriesList()) {
        if (!S->ShowInLegend())
            continue;
        bool Listed = FCheckBoxes;
        if (!Listed) {
            switch (C->LegendCheckMode()) {
            case 0:
                Listed = S->Active();
                break;
            case 1:
                Listed = !S->HorizontalExcluded();
                break;
            case 2:
                Listed = !S->VerticalExcluded();
                break;
            default:
                break;
            }
        }
        if (Listed)
            Result.push_back(S);
    }
    return Result;
}

TChartSeries* TCustomChartLegend::SeriesOfItem(int Index) const
{
    const std::vector<TChartSeries*> List = LegendSeriesList();
    if (Index < 0 || Index >= static_cast<int>(List.size()))
        return nullptr;
    return List[static_cast<size_t>(Index)];
}

TChartSeries* TCustomChartLegend::ItemSeries(int Index) const
{
    return CalcLegendStyle() == lsValues ? GetLegendSeries() : SeriesOfItem(Index);
}

int TCustomChartLegend::CountItems() const
{
    int Count = 0;
    if (CalcLegendStyle() == lsValues) {
        if (TChartSeries* S = GetLegendSeries())
            Count = S->CountLegendItems();
    } else {
        Count = static_cast<int>(LegendSeriesList().size());
    }
    return std::max(0, Count - FFirstValue);
}

QString TCustomChartLegend::GetItemText(int Index) const
{
    TCustomAxisPanel* C = Chart();
    if (!C)
        return {};
    const TLegendStyle Style = CalcLegendStyle();
    QString Text;
    if (Style == lsValues) {
        if (TChartSeries* S = GetLegendSeries())
            Text = C->GetValueLegendText(S, Index);
    } else if (TChartSeries* S = SeriesOfItem(Index)) {
        if (Style == lsLastValues)
            Text = C->GetValueLegendText(S, S->CountLegendItems() - 1);
        else
            Text = SeriesTitleOrName(S);
    }
    C->DoGetLegendText(Style, Index, Text);
    return Text;
}

bool TCustomChartLegend::SeriesChecked(const TChartSeries* Series) const
{
    if (!Series)
        return false;
    switch (Chart() ? Chart()->LegendCheckMode() : 0) {
    case 1:
        return !Series->HorizontalExcluded();
    case 2:
        return !Series->VerticalExcluded();
    default:
        return Series->Active();
    }
}

int TCustomChartLegend::ColumnWidth(int Index) const
{
    if (Index < 0 || Index > 1)
        RaiseIndexError(Index, 2);
    return FColumnWidths[Index];
}

bool TCustomChartLegend::ShowsCheckBoxes() const
{
    return FCheckBoxes && FResolvedStyle != lsValues;
}

TColor TCustomChartLegend::BackColor() const
{
    if (!Transparent())
        return Color();
    return Chart() ? Chart()->Color() : clWhite;
}

int TCustomChartLegend::TextWidth() const
{
    return Clamped(int64_t{FColumnWidths[0]} + FColumnGap + FColumnWidths[1]);
}

int TCustomChartLegend::ItemWidth() const
{
    return Clamped(int64_t{TextWidth()} + FSymbolWidth);
}

int TCustomChartLegend::ColumnStep() const
{
    return Clamped(int64_t{ItemWidth()} + 6 + (ShowsCheckBoxes() ? CheckBoxSpace : 0));
}

// --- Layout --------------------------------------------------------------------------------------

int TCustomChartLegend::CalcItemHeight(int FontHeight) const
{
    int64_t Height = FontHeight;
    if (ShowsCheckBoxes())
        Height = std::max<int64_t>(Height, 17);
    Height += FVertSpacing;
    if (Vertical() && FDividingLines->Visible())
        Height += FDividingLines->Width();
    return std::max(1, Clamped(Height));
}

void TCustomChartLegend::PrepareItems(int First, int Last)
{
    const int Count = Last >= First ? Clamped(int64_t{Last} - First + 1) : 0;
    const int Kept = FItems.Custom() ? FItems.Count() : 0;
    if (!FItems.Custom())
        FItems.Clear();
    // A custom list is never shortened: its texts stay for later layouts.
    FItems.SetCount(std::max(Kept, Count));
    for (int K = Kept; K < Count; ++K) {
        const QString Text = GetItemText(First + K);
        TLegendItem& Item = FItems[K];
        const int Split = Text.indexOf(PlotColumnSeparator);
        if (Split < 0) {
            Item.Text = {Text, QString()};
        } else {
            QString Second = Text.mid(Split + 1);
            // At most two columns: further separators become blanks.
            Second.replace(PlotColumnSeparator, QLatin1Char(' '));
            Item.Text = {Text.left(Split), Second};
        }
    }
    FColumnWidths[0] = 0;
    FColumnWidths[1] = 0;
    TCanvas3D& Canvas = Chart()->Canvas();
    Canvas.AssignFont(*Font());
    const bool Html = TextFormat() == ttfHtml;
    for (int K = 0; K < Count; ++K) {
        const TLegendItem& Item = FItems[K];
        for (int Column = 0; Column < 2; ++Column) {
            const QString& Text = Item.Text[static_cast<size_t>(Column)];
            if (Text.isEmpty())
                continue;
            const int W = Html ? HtmlTextExtent(Canvas, Text).cx : Canvas.TextWidth(Text);
            FColumnWidths[Column] = std::max(FColumnWidths[Column], W);
        }
    }
    FColumnGap = FColumnWidths[1] > 0 ? Canvas.TextWidth(QStringLiteral(" ")) : 0;
}

bool TCustomChartLegend::CalcLayout()
{
    FLastValue = -1;
    FNumCols = 0;
    FNumRows = 0;
    FTotalLegendItems = 0;
    TCustomAxisPanel* C = Chart();
    if (!C)
        return false;
    TCanvas3D& Canvas = C->Canvas();

    // 1. Style and frame.
    FResolvedStyle = CalcLegendStyle();
    if (Pen()->Visible())
        FFrameWidth = Pen()->Width();
    else
        FFrameWidth = Bevel() != bvNone ? BevelWidth() : 0;

    // 2. A custom position in per cent of the panel.
    TRect R = ShapeBounds();
    const TRect Panel = C->PanelBounds();
    const int64_t PanelWidth = int64_t{Panel.Right} - Panel.Left;
    const int64_t PanelHeight = int64_t{Panel.Bottom} - Panel.Top;
    if (CustomPosition() && FPositionUnits == muPercent) {
        R.Left = Clamped(Panel.Left + int64_t{RoundClamped(FLeftPercent * static_cast<double>(PanelWidth) * 0.01)});
        R.Top = Clamped(Panel.Top + int64_t{RoundClamped(FTopPercent * static_cast<double>(PanelHeight) * 0.01)});
    }

    // 3. Paging.
    const bool Paging = FCurrentPage && C->MaxPointsPerPage() > 0;
    if (Paging) {
        if (FResolvedStyle == lsValues)
            FFirstValue = Clamped((int64_t{C->Page()} - 1) * C->MaxPointsPerPage());
        else
            FFirstValue = 0;
        FFirstValue = std::max(0, FFirstValue);
    }
    int Total = CountItems();
    if (Paging)
        Total = std::min(Total, C->MaxPointsPerPage());
    FTotalLegendItems = Total;

    // 4. Item height and the title.
    Canvas.AssignFont(*Font());
    FItemHeight = CalcItemHeight(Canvas.FontHeight());
    const int Ih = FItemHeight;
    int TitleWidth = 0;
    int TitleHeight = 0;
    if (FTitle->ShouldShow())
        FTitle->CalcSize(TitleWidth, TitleHeight);
    FTitleSpace = FTitle->TotalHeight();
    const int64_t Padding = 2 + 2 * int64_t{RoundClamped(Ih * 0.1)};
    const bool Boxes = ShowsCheckBoxes();
    const TRect ChartRect = C->ChartRectangle();

    int Shown = 0;
    if (!Vertical()) {
        // 5. Top or bottom: measure every item from FirstValue on, then as
        // many columns as fit in the chart width.
        PrepareItems(FFirstValue, Clamped(int64_t{FFirstValue} + Total - 1));
        FSymbolWidth = FSymbol->CalcWidth(TextWidth(), Ih);
        if (Total > 0) {
            int64_t Columns = Total;
            int64_t Rows = 1;
            if (FMaxNumRows != 1) {
                const int64_t PerColumn = int64_t{ColumnStep()};
                const int64_t Fixed = 10 + (Boxes ? 8 : 0);
                const int64_t Fit = PerColumn > 0 ? (int64_t{C->ChartRectWidth()} - Fixed) / PerColumn : Total;
                Columns = std::clamp<int64_t>(Fit, 1, Total);
                Rows = (Total + Columns - 1) / Columns;
                if (FMaxNumRows > 0)
                    Rows = std::min<int64_t>(Rows, FMaxNumRows);
            }
            FNumCols = static_cast<int>(Columns);
            FNumRows = static_cast<int>(Rows);
            Shown = static_cast<int>(std::min<int64_t>(Total, Columns * Rows));
        }
    } else {
        // 6. Left or right: one column of as many rows as fit below the top.
        if (!CustomPosition())
            R.Top = Clamped(Panel.Top + int64_t{RoundClamped(FTopPos * static_cast<double>(PanelHeight) * 0.01)});
        const int64_t Bottom = CustomPosition() ? Panel.Bottom : ChartRect.Bottom;
        const int64_t Free = Bottom - R.Top - FTitleSpace - Padding;
        const int64_t Rows = Free > 0 ? std::min<int64_t>(Free / Ih, Total) : 0;
        FNumCols = Rows > 0 ? 1 : 0;
        FNumRows = static_cast<int>(Rows);
        Shown = FNumRows;
        PrepareItems(FFirstValue, Clamped(int64_t{FFirstValue} + Shown - 1));
        FSymbolWidth = FSymbol->CalcWidth(TextWidth(), Ih);
    }
    FSymbolSpaceWidth = Clamped(int64_t{FSymbolWidth} + 10);
    if (Shown <= 0) {
        FNumCols = 0;
        FNumRows = 0;
        return false;
    }
    FLastValue = Clamped(int64_t{FFirstValue} + Shown - 1);

    // 7. Height.
    int64_t Height = int64_t{Ih} * FNumRows + Padding + FTitleSpace;

    // 8. Width.
    int64_t Width = 0;
    if (Vertical()) {
        // The check box column is room of its own, so the texts stay inside.
        Width = int64_t{TextWidth()} + 10 + FSymbolWidth + (Boxes ? CheckBoxSpace : 0);
        Width = std::max<int64_t>(Width, TitleWidth);
    } else {
        Width = int64_t{ItemWidth()} * FNumCols + 12 + (int64_t{FNumCols} - 1) * 6 + 4;
        if (Boxes)
            Width += int64_t{FNumCols} * CheckBoxSpace + 8;
        Width = std::max<int64_t>(Width, TitleWidth);
        Width = std::min<int64_t>(Width, std::max(0, C->ChartRectWidth()));
    }
    int Extra = 0;
    if (OnCalcSize)
        OnCalcSize(this, Extra);
    if (Vertical())
        Width += Extra;
    else
        Height += Extra;
    Width = Clamped(Width);
    Height = Clamped(Height);

    // Placement.
    if (Vertical()) {
        if (!CustomPosition()) {
            if (FAlignment == laLeft) {
                R.Left = Clamped(int64_t{ChartRect.Left} + FFrameWidth + 1);
            } else {
                const int64_t Shadow = this->Shadow() ? this->Shadow()->HorizSize() : 0;
                R.Left = Clamped(int64_t{ChartRect.Right} - (Shadow + FFrameWidth + 1) - Width);
            }
        }
        R.Right = Clamped(int64_t{R.Left} + Width);
        R.Bottom = Clamped(int64_t{R.Top} + Height);
    } else {
        if (!CustomPosition()) {
            const int64_t Half = Width / 2;
            R.Left = Clamped(int64_t{C->ChartCenterX()} - Half +
                             RoundClamped(FTopPos * static_cast<double>(PanelWidth - 2 * Half) * 0.01));
            if (FAlignment == laBottom) {
                const int64_t Shadow = C->Shadow() ? C->Shadow()->VertSize() : 0;
                R.Bottom = Clamped(int64_t{ChartRect.Bottom} - (Shadow + FFrameWidth + 1));
                R.Top = Clamped(int64_t{R.Bottom} - Height);
            } else {
                R.Top = Clamped(int64_t{ChartRect.Top} + FFrameWidth + 1);
            }
        }
        R.Right = Clamped(int64_t{R.Left} + Width);
        R.Bottom = Clamped(int64_t{R.Top} + Height);
    }

    // 9. The chart may move the rectangle.
    C->DoGetLegendRect(R);
    SetShapeBounds(R);
    FItemsTop = Clamped(int64_t{R.Top} + FTitleSpace + 1 + FFrameWidth);
    return true;
}

// --- Drawing -------------------------------------------------------------------------------------

void TCustomChartLegend::DrawLegend()
{
    if (!ShouldDraw()) {
        FLastValue = -1;
        return;
    }
    if (!CalcLayout())
        return;
    Draw();
    if (FTitle->ShouldShow())
        FTitle->DrawTitle(ShapeBounds().Left + 2, ShapeBounds().Top + 2);
    DrawItems();
    ShrinkChartRectangle();
}

void TCustomChartLegend::DrawItems()
{
    TCustomAxisPanel& C = *Chart();
    // The series draw their symbols against the legend's colour and, when
    // the symbol has its own pen, with it; the pen is handed back at the
    // end, also when drawing fails, so the chart never keeps a pointer into
    // this legend.
    C.SetLegendColor(Transparent() ? clPlotColor : Color());
    C.SetLegendPen(FSymbol->DefaultPen() ? nullptr : FSymbol->Pen());
    struct TPenGuard {
        TCustomAxisPanel& Chart;
        ~TPenGuard() { Chart.SetLegendPen(nullptr); }
    } Guard{C};
    const int Shown = FLastValue - FFirstValue + 1;
    for (int Place = 0; Place < Shown; ++Place)
        DrawItem(FInverted ? FLastValue - Place : FFirstValue + Place, Place);
}

void TCustomChartLegend::DrawItem(int Index, int Place)
{
    TCustomAxisPanel& C = *Chart();
    TCanvas3D& Canvas = C.Canvas();
    const TRect R = ShapeBounds();
    const int Ih = FItemHeight;
    const int Shown = FLastValue - FFirstValue + 1;
    const bool Columns = !Vertical() && FNumCols > 1;
    const int Row = Columns ? Place / FNumCols : Place;
    const int Column = Columns ? Place % FNumCols : 0;
    const bool ValuesLegend = FResolvedStyle == lsValues;
    const bool Boxes = ShowsCheckBoxes();

    const int ItemLeft = Clamped(int64_t{R.Left} + int64_t{Column} * ColumnStep());
    int ItemTop = Clamped(int64_t{FItemsTop} + int64_t{Row} * Ih + FVertSpacing / 2);
    const int ContentLeft = ItemLeft + (Boxes ? CheckBoxSpace : 0);
    int SymbolLeft = 0;
    int TextLeft = 0;
    if (FSymbol->Position() == spLeft) {
        SymbolLeft = ContentLeft + ItemIndent;
        TextLeft = Clamped(int64_t{SymbolLeft} + FSymbolWidth + SymbolGap);
    } else {
        TextLeft = ContentLeft + ItemIndent;
        SymbolLeft = Clamped(int64_t{TextLeft} + TextWidth() + SymbolGap);
    }
    C.DoGetLegendPos(Index, SymbolLeft, ItemTop, TextLeft);

    TLegendItem& Item = FItems[Index - FFirstValue];
    Item.Left = ItemLeft;
    Item.Top = ItemTop;
    Item.SymbolLeft = SymbolLeft;
    Item.TextLeft = TextLeft;
    Item.Bounds = TRect{ItemLeft, ItemTop,
                        Vertical() ? R.Right : Clamped(int64_t{ItemLeft} + ColumnStep()),
                        Clamped(int64_t{ItemTop} + Ih)};

    TChartSeries* Series = ValuesLegend ? GetLegendSeries() : SeriesOfItem(Index);

    // Dividing lines: between rows of a side legend, between columns of a
    // top or bottom one.
    if (FDividingLines->Visible()) {
        if (Vertical() && Place > 0) {
            Canvas.AssignVisiblePen(*FDividingLines);
            const int Y = ItemTop - FVertSpacing / 2;
            Canvas.Line(R.Left, Y, R.Right, Y);
        } else if (!Vertical() && Row == 0 && Column > 0) {
            Canvas.AssignVisiblePen(*FDividingLines);
            Canvas.Line(ItemLeft, FItemsTop, ItemLeft, R.Bottom);
        }
    }

    // Text.
    Canvas.AssignFont(*Font());
    if (FFontSeriesColor && Series)
        Canvas.Font()->SetColor(ValuesLegend ? Series->LegendItemColor(Index) : Series->GetSeriesColor());
    Canvas.SetBackMode(TRANSPARENT);
    Canvas.SetTextAlign(TA_LEFT | TA_TOP);
    const bool Html = TextFormat() == ttfHtml;
    // In a values legend the numbers stand right-aligned in their column.
    bool RightFirst = false;
    bool RightSecond = false;
    if (ValuesLegend) {
        switch (FTextStyle) {
        case TChartSeries::ltsLeftValue:
        case TChartSeries::ltsLeftPercent:
        case TChartSeries::ltsXValue:
        case TChartSeries::ltsValue:
        case TChartSeries::ltsPercent:
            RightFirst = true;
            break;
        case TChartSeries::ltsXAndValue:
        case TChartSeries::ltsXAndPercent:
            RightFirst = true;
            RightSecond = true;
            break;
        case TChartSeries::ltsRightValue:
        case TChartSeries::ltsRightPercent:
            RightSecond = true;
            break;
        default:
            break;
        }
    }
    const auto Width = [&](const QString& Text) {
        return Html ? HtmlTextExtent(Canvas, Text).cx : Canvas.TextWidth(Text);
    };
    const auto Out = [&](int64_t X, const QString& Text) {
        if (!Text.isEmpty())
            Canvas.TextOutHtml(Clamped(X), ItemTop, Text, Html);
    };
    const QString& First = Item.Text[0];
    const QString& Second = Item.Text[1];
    Out(RightFirst ? int64_t{TextLeft} + FColumnWidths[0] - Width(First) : int64_t{TextLeft}, First);
    const int64_t SecondLeft = int64_t{TextLeft} + FColumnWidths[0] + FColumnGap;
    Out(RightSecond ? SecondLeft + FColumnWidths[1] - Width(Second) : SecondLeft, Second);

    // Symbol.
    int64_t SymbolHeight = int64_t{Ih} + 1 - FVertSpacing - 3;
    if (FSymbol->Continuous() && Place != Shown - 1)
        SymbolHeight = int64_t{Ih} + 1;
    Item.SymbolRect = TRect{SymbolLeft, ItemTop, Clamped(int64_t{SymbolLeft} + FSymbolWidth),
                            Clamped(int64_t{ItemTop} + std::max<int64_t>(0, SymbolHeight))};
    if (FSymbolWidth > 0 && Series) {
        const int ValueIndex = ValuesLegend ? Index : -1;
        Series->DrawLegend(ValueIndex, Item.SymbolRect);
        if (FSymbol->OnDraw)
            FSymbol->OnDraw(FSymbol.get(), Series, ValueIndex, Item.SymbolRect);
    }

    // Check box.
    if (Boxes && Series) {
        const int BoxTop = Clamped(int64_t{ItemTop} + (int64_t{Ih} - FVertSpacing - CheckBoxSize) / 2);
        const int BoxLeft = ItemLeft + CheckBoxIndent;
        DrawCheckBox(TRect{BoxLeft, BoxTop, BoxLeft + CheckBoxSize, BoxTop + CheckBoxSize}, SeriesChecked(Series));
    }
}

void TCustomChartLegend::DrawCheckBox(const TRect& Box, bool Checked)
{
    TCanvas3D& Canvas = Chart()->Canvas();
    const TColor Ink = Font()->Color();
    TPen* Pen = Canvas.Pen();
    TBrush* Brush = Canvas.Brush();
    Pen->SetStyle(psSolid);
    Pen->SetWidth(1);
    Pen->SetColor(Ink);
    Brush->SetStyle(bsSolid);
    Brush->SetColor(BackColor());
    if (FCheckBoxesStyle == cbsRadio) {
        Canvas.EllipseRect(Box);
        if (Checked) {
            Brush->SetColor(Ink);
            Canvas.Ellipse(Box.Left + 3, Box.Top + 3, Box.Right - 3, Box.Bottom - 3);
        }
        return;
    }
    Canvas.RectangleRect(Box);
    if (Checked) {
        // The tick: two strokes down to the lower third and up to the right,
        // two pixels thick.
        for (int Row = 0; Row < 2; ++Row) {
            Canvas.MoveTo(Box.Left + 2, Box.Top + 5 + Row);
            Canvas.LineTo(Box.Left + 4, Box.Top + 7 + Row);
            Canvas.LineTo(Box.Left + 9, Box.Top + 2 + Row);
        }
    }
}

void TCustomChartLegend::ShrinkChartRectangle()
{
    TCustomAxisPanel& C = *Chart();
    if (!FResizeChart || CustomPosition() || C.FixedChartRectangle())
        return;
    TRect Rect = C.ChartRectangle();
    const TRect L = ShapeBounds();
    const int HorizMargin = FHorizMargin != 0 ? FHorizMargin : RoundClamped(C.ChartRectWidth() * 3 * 0.01);
    const int VertMargin = FVertMargin != 0 ? FVertMargin : RoundClamped(C.ChartRectHeight() * 4 * 0.01);
    switch (FAlignment) {
    case laLeft:
        Rect.Left = Clamped(int64_t{L.Right} + HorizMargin);
        break;
    case laRight:
        Rect.Right = Clamped(int64_t{L.Left} - HorizMargin);
        break;
    case laTop: {
        const int64_t Shadow = C.Shadow() ? C.Shadow()->VertSize() : 0;
        Rect.Top = Clamped(int64_t{L.Bottom} + Shadow + VertMargin);
        break;
    }
    case laBottom:
        Rect.Bottom = Clamped(int64_t{L.Top} - VertMargin);
        break;
    }
    C.SetChartRectangle(Rect);
    C.RecalcWidthHeight();
}

// --- Mouse ---------------------------------------------------------------------------------------

int TCustomChartLegend::Clicked(int X, int Y) const
{
    // A legend that would not draw now shows no items, whatever it showed
    // when it was drawn last.
    if (FLastValue < 0 || FNumRows <= 0 || FItemHeight <= 0 || !ShouldDraw())
        return -1;
    const TRect R = ShapeBounds();
    if (X < R.Left || X >= R.Right || Y < R.Top || Y >= R.Bottom)
        return -1;
    const int64_t Below = int64_t{Y} - FItemsTop;
    if (Below < 0)
        return -1;
    const int64_t Row = Below / FItemHeight;
    if (Row >= FNumRows)
        return -1;
    int64_t Column = 0;
    if (FNumCols > 1) {
        const int64_t ColumnWidth = (int64_t{R.Right} - R.Left) / FNumCols;
        Column = ColumnWidth > 0 ? std::min<int64_t>((int64_t{X} - R.Left) / ColumnWidth, FNumCols - 1) : 0;
    }
    const int64_t Place = Row * std::max(1, FNumCols) + Column;
    const int64_t Shown = int64_t{FLastValue} - FFirstValue + 1;
    if (Place >= Shown)
        return -1;
    return static_cast<int>(FInverted ? FLastValue - Place : FFirstValue + Place);
}

bool TCustomChartLegend::CheckBoxClick(int Index)
{
    TCustomAxisPanel* C = Chart();
    if (!C || !FCheckBoxes || Index < 0 || CalcLegendStyle() == lsValues)
        return false;
    const std::vector<TChartSeries*> List = LegendSeriesList();
    if (Index >= static_cast<int>(List.size()))
        return false;
    TChartSeries* Clicked = List[static_cast<size_t>(Index)];
    if (FCheckBoxesStyle == cbsRadio) {
        for (TChartSeries* S : List)
            S->SetActive(S == Clicked);
        return true;
    }
    switch (C->LegendCheckMode()) {
    case 1:
        Clicked->SetHorizontalExcluded(!Clicked->HorizontalExcluded());
        Repaint();
        break;
    case 2:
        Clicked->SetVerticalExcluded(!Clicked->VerticalExcluded());
        Repaint();
        break;
    default:
        Clicked->SetActive(!Clicked->Active());
        break;
    }
    return true;
}

} // namespace lp
