#pragma once
// The chart legend: a framed box that lists either the chart's series or the
// values of one series, each item with a symbol, an optional check box and
// up to two text columns, under an optional title block.
//
//   TCustomChartLegend (TPlotCustomShape)   layout, drawing, hit test, paging
//     ├─owns─> TLegendSymbol        symbol width, position, pen, gradient
//     ├─owns─> TLegendTitle         the title block (its own shape and font)
//     ├─owns─> TChartHiddenPen      dividing lines
//     ├─owns─> TLegendItems         texts and positions of the shown items
//     ├─observes─> TCustomAxisPanel  the chart it belongs to (ParentChart)
//     └─observes─> TChartSeries      the series whose values it lists
//   TChartLegend                    publishes the properties
//
// The chart that owns the legend drives it:
//   paint:       ShouldDraw → DrawLegend (layout: style, paging, size and
//                place, the chart's DoGetLegendRect; then frame, title,
//                items with the chart's DoGetLegendText and DoGetLegendPos;
//                then the chart rectangle shrinks when ResizeChart)
//   hit test:    Clicked(X, Y) on the rectangle of the last layout
//   mouse down:  CheckBoxClick(Clicked(X, Y))
// Everything here runs on the user-interface thread while the chart's
// canvas is bound (the drawing pass).

#include "chart/canvas/PlotShapes.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotTitles.h"
#include "platform/core/StringList.h"

#include <QtCore/QPointer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace lp {

class TCustomAxisPanel;
class TCustomChartLegend;

// The legend's error: a message text, the old value kept.
class LegendException : public Exception {
public:
    using Exception::Exception;
    explicit LegendException(const QString& Message) : Exception(Message.toStdString()) {}
};

// The text of a series point as a legend lists it: the series' legend text
// of legend item Index in TextStyle, with every line break (code 13) turned
// into a blank. Empty for no series or Index -1. The chart control's
// GetValueLegendText hands its legend's TextStyle here.
QString ValueLegendText(TChartSeries* Series, int Index, TLegendTextStyle TextStyle);

// --- TChartLegendGradient ----------------------------------------------------------------------

// The legend's fill gradient: silver on the right fading to white on the left.
class TChartLegendGradient : public TPlotGradient {
    Q_OBJECT
    Q_CLASSINFO("default:Direction", "gdRightLeft")
    Q_CLASSINFO("default:EndColor", "0xFFFFFF")
    Q_CLASSINFO("default:StartColor", "0xC0C0C0")

public:
    explicit TChartLegendGradient(std::function<void(TPersistent*)> OnChange = {});
};

// --- TLegendSymbol -----------------------------------------------------------------------------

class TLegendSymbol;

// Called after the legend drew an item's symbol: the symbol, the item's
// series, the value index (-1 for a whole series) and the symbol rectangle.
using TSymbolDrawEvent =
    std::function<void(TLegendSymbol* Sender, TChartSeries* Series, int ValueIndex, const TRect& Rect)>;

// The coloured mark in front of (or after) each legend text.
class TLegendSymbol : public TPersistent {
    Q_OBJECT
public:
    enum TLegendSymbolPosition { spLeft, spRight };
    Q_ENUM(TLegendSymbolPosition)
    enum TLegendSymbolSize { lcsPercent, lcsPixels };
    Q_ENUM(TLegendSymbolSize)

private:
    Q_PROPERTY(bool Continuous READ Continuous WRITE SetContinuous)
    Q_CLASSINFO("default:Continuous", "false")
    Q_PROPERTY(bool DefaultPen READ DefaultPen WRITE SetDefaultPen)
    Q_CLASSINFO("default:DefaultPen", "true")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(TLegendSymbolPosition Position READ Position WRITE SetPosition)
    Q_CLASSINFO("default:Position", "spLeft")
    Q_PROPERTY(bool Squared READ Squared WRITE SetSquared)
    Q_CLASSINFO("default:Squared", "false")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_CLASSINFO("default:Width", "20")
    Q_PROPERTY(TLegendSymbolSize WidthUnits READ WidthUnits WRITE SetWidthUnits)
    Q_CLASSINFO("default:WidthUnits", "lcsPercent")

public:
    // Owned by Legend (may be nullptr); every change repaints its chart.
    explicit TLegendSymbol(TCustomChartLegend* Legend = nullptr);
    ~TLegendSymbol() override;

    // From another symbol: every property (not OnDraw).
    void Assign(const TPersistent* Source) override;

    TCustomChartLegend* Legend() const { return FLegend; }

    // Symbols of consecutive items touch (no gap below each).
    bool Continuous() const { return FContinuous; }
    void SetContinuous(bool Value);
    // False: Pen replaces the series pen of the symbols.
    bool DefaultPen() const { return FDefaultPen; }
    void SetDefaultPen(bool Value);
    // A visible gradient fills the symbols that the chart draws as plain
    // rectangles; its end colour is the item's colour.
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TPlotGradient* Value) { FGradient->Assign(Value); }
    TChartPen* Pen() const { return FPen.get(); }
    void SetPen(const TChartPen* Value) { FPen->Assign(Value); }
    TLegendSymbolPosition Position() const { return FPosition; }
    void SetPosition(TLegendSymbolPosition Value);
    // Square symbols: the item height less 5 pixels wide.
    bool Squared() const { return FSquared; }
    void SetSquared(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Pixels, or per cent of the legend's text width (WidthUnits).
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TLegendSymbolSize WidthUnits() const { return FWidthUnits; }
    void SetWidthUnits(TLegendSymbolSize Value);

    // The symbol width in pixels for a legend whose text columns are
    // TextWidth wide and whose items are ItemHeight high: 0 when invisible;
    // squared ItemHeight - 5; lcsPixels Width; lcsPercent Width per cent of
    // TextWidth + 10, so short texts still get a visible symbol (clamped to
    // 32 bits, never negative).
    int CalcWidth(int TextWidth, int ItemHeight) const;
    // Fills Rect on the legend's chart canvas: with the gradient (its end
    // colour replaced by AColor) when the gradient is visible, else a
    // rectangle in AColor with the canvas pen. Nothing without a chart.
    void Draw(TColor AColor, const TRect& Rect);

    TSymbolDrawEvent OnDraw;

private:
    void Changed();

    TCustomChartLegend* FLegend = nullptr;
    bool FContinuous = false;
    bool FDefaultPen = true;
    std::unique_ptr<TPlotGradient> FGradient;
    std::unique_ptr<TChartPen> FPen;
    TLegendSymbolPosition FPosition = spLeft;
    bool FSquared = false;
    bool FVisible = true;
    int FWidth = 20;
    TLegendSymbolSize FWidthUnits = lcsPercent;
};

using TLegendSymbolPosition = TLegendSymbol::TLegendSymbolPosition;
inline constexpr TLegendSymbolPosition spLeft = TLegendSymbol::spLeft;
inline constexpr TLegendSymbolPosition spRight = TLegendSymbol::spRight;
using TLegendSymbolSize = TLegendSymbol::TLegendSymbolSize;
inline constexpr TLegendSymbolSize lcsPercent = TLegendSymbol::lcsPercent;
inline constexpr TLegendSymbolSize lcsPixels = TLegendSymbol::lcsPixels;

// --- TLegendTitle ------------------------------------------------------------------------------

// The block of text lines at the top of the legend: transparent, bold, with
// a silver shadow of size 2 when made opaque.
class TLegendTitle : public TPlotShape {
    Q_OBJECT
public:
    // The alignment of text blocks, shared with the chart's titles.
    using TAlignment = TChartTitle::TAlignment;
    static constexpr TAlignment taLeftJustify = TChartTitle::taLeftJustify;
    static constexpr TAlignment taRightJustify = TChartTitle::taRightJustify;
    static constexpr TAlignment taCenter = TChartTitle::taCenter;

private:
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Frame READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TStringList* Text READ Text WRITE SetText)
    Q_PROPERTY(lp::TChartTitle::TAlignment TextAlignment READ TextAlignment WRITE SetTextAlignment)
    Q_CLASSINFO("default:TextAlignment", "taLeftJustify")
    Q_PROPERTY(lp::TPlotCustomShape::TTextFormat TextFormat READ TextFormat WRITE SetTextFormat)
    Q_CLASSINFO("default:TextFormat", "ttfNormal")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    explicit TLegendTitle(TCustomPlotPanel* AOwner = nullptr);
    ~TLegendTitle() override;

    // Text and TextAlignment, then the shape.
    void Assign(const TPersistent* Source) override;

    // A change repaints the chart.
    TStringList* Text() const { return FText.get(); }
    void SetText(const TStringList* Value);
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment Value);

    // Visible with at least one line.
    bool ShouldShow() const;
    // The frame pen's width when visible, else BevelWidth with a bevel.
    int FrameWidth() const;
    // The block's size on the chart canvas (selects the title font): the
    // widest line plus the width of "W" (plus twice the frame width and the
    // horizontal shadow when opaque); the lines times the font height (plus
    // 2 and the frame width when opaque).
    void CalcSize(int& AWidth, int& AHeight);
    // The room the block takes above the legend's items: its height + 2
    // (plus the vertical shadow when opaque); 0 when not shown.
    int TotalHeight();
    // Draws the block with its top-left corner at (X, Y): the shape, then
    // each line (or the whole text as rich text with ttfHtml).
    void DrawTitle(int X, int Y);

private:
    std::unique_ptr<TStringList> FText;
    TAlignment FTextAlignment = taLeftJustify;
};

// --- TLegendItems ------------------------------------------------------------------------------

// One shown legend item: its two text columns and where the last drawing
// put it.
struct TLegendItem {
    std::array<QString, 2> Text;
    int Left = 0;       // the item's left edge (the check box stands here + 4)
    int Top = 0;        // the item's top
    int SymbolLeft = 0; // after the chart's DoGetLegendPos
    int TextLeft = 0;
    TRect SymbolRect;
    TRect Bounds; // the item's cell: one column wide, one item height high
};

// The items of the last layout, item FirstValue + k at position k. Marked
// Custom, the texts in the list are shown instead of the computed ones
// (items beyond the list keep theirs), and a layout never shortens it.
class TLegendItems {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TLegendItem& Item(int Index);
    const TLegendItem& Item(int Index) const;
    TLegendItem& operator[](int Index) { return Item(Index); }
    void Clear() { FItems.clear(); }
    // Grows or shrinks to Count items (ERangeError for a negative count).
    void SetCount(int Count);
    bool Custom() const { return FCustom; }
    void SetCustom(bool Value) { FCustom = Value; }
    // The position of the first item whose cell (Bounds, right and bottom
    // exclusive) holds the point; -1 when none.
    int IndexAt(int X, int Y) const;

private:
    std::vector<TLegendItem> FItems;
    bool FCustom = false;
};

// --- TCustomChartLegend ------------------------------------------------------------------------

class TCustomChartLegend : public TPlotCustomShapePosition {
    Q_OBJECT
public:
    enum TLegendAlignment { laLeft, laRight, laTop, laBottom };
    Q_ENUM(TLegendAlignment)
    enum TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };
    Q_ENUM(TLegendStyle)
    enum TCheckBoxesStyle { cbsCheck, cbsRadio };
    Q_ENUM(TCheckBoxesStyle)

    // The legend of Chart (may be nullptr): right aligned, white, framed,
    // with a symbol, an empty title and hidden dividing lines.
    explicit TCustomChartLegend(TCustomAxisPanel* Chart = nullptr);
    ~TCustomChartLegend() override;

    // From another legend: every property, the symbol, the title, the
    // dividing lines and the position; then the shape.
    void Assign(const TPersistent* Source) override;
    // Also the title's chart; a panel that is no axis panel leaves the
    // legend without chart.
    void SetParentChart(TCustomPlotPanel* Value) override;
    TCustomAxisPanel* Chart() const { return FChart.data(); }

    // --- Properties ---

    TLegendAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TLegendAlignment Value);
    bool CheckBoxes() const { return FCheckBoxes; }
    void SetCheckBoxes(bool Value);
    TCheckBoxesStyle CheckBoxesStyle() const { return FCheckBoxesStyle; }
    // Switching to cbsRadio leaves only the first active series of the
    // legend active.
    void SetCheckBoxesStyle(TCheckBoxesStyle Value);
    // The symbol's Width.
    int ColorWidth() const;
    void SetColorWidth(int Value);
    // Values legends follow the chart's page.
    bool CurrentPage() const { return FCurrentPage; }
    void SetCurrentPage(bool Value);
    TChartHiddenPen* DividingLines() const { return FDividingLines.get(); }
    void SetDividingLines(const TChartHiddenPen* Value);
    // The first item shown; below 0 raises LegendException and the value stays.
    int FirstValue() const { return FFirstValue; }
    void SetFirstValue(int Value);
    bool FontSeriesColor() const { return FFontSeriesColor; }
    void SetFontSeriesColor(bool Value);
    // Pixels between a left or right legend and the chart (0: 3 % of the
    // chart width).
    int HorizMargin() const { return FHorizMargin; }
    void SetHorizMargin(int Value);
    bool Inverted() const { return FInverted; }
    void SetInverted(bool Value);
    int LeftPercent() const { return FLeftPercent; }
    void SetLeftPercent(int Value);
    TLegendStyle LegendStyle() const { return FLegendStyle; }
    void SetLegendStyle(TLegendStyle Value);
    // Rows of a top or bottom legend (1: one row; 0 or less: no limit).
    int MaxNumRows() const { return FMaxNumRows; }
    void SetMaxNumRows(int Value);
    TPlotUnits PositionUnits() const { return FPositionUnits; }
    void SetPositionUnits(TPlotUnits Value);
    bool ResizeChart() const { return FResizeChart; }
    void SetResizeChart(bool Value);
    TLegendSymbol* Symbol() const { return FSymbol.get(); }
    void SetSymbol(const TLegendSymbol* Value) { FSymbol->Assign(Value); }
    TLegendTextStyle TextStyle() const { return FTextStyle; }
    void SetTextStyle(TLegendTextStyle Value);
    TLegendTitle* Title() const { return FTitle.get(); }
    void SetTitle(const TLegendTitle* Value) { FTitle->Assign(Value); }
    int TopPercent() const { return FTopPercent; }
    void SetTopPercent(int Value);
    // Per cent offset: from the panel top for left and right legends, along
    // the free width for top and bottom ones.
    int TopPos() const { return FTopPos; }
    void SetTopPos(int Value);
    // Pixels between a top or bottom legend and the chart (0: 4 % of the
    // chart height).
    int VertMargin() const { return FVertMargin; }
    void SetVertMargin(int Value);
    // Extra pixels per item row.
    int VertSpacing() const { return FVertSpacing; }
    void SetVertSpacing(int Value);

    // Placed at Left, Top instead of beside the chart; the chart rectangle
    // keeps its size then.
    // CustomPosition, Left and Top are the positioned shape's: setting Left
    // or Top places the legend by hand.
    Q_INVOKABLE bool IsLeftStored() const { return CustomPosition(); }
    Q_INVOKABLE bool IsTopStored() const { return CustomPosition(); }

    // The series whose values are listed; nullptr chooses automatically
    // (observed: a series that goes away is forgotten).
    TChartSeries* Series() const { return FSeries.data(); }
    void SetSeries(TChartSeries* Value);

    // Adds pixels to the legend's size while it lays out (to the width of a
    // left or right legend, to the height of a top or bottom one): the
    // extension tools that draw along the legend's edge make room so.
    std::function<void(TCustomChartLegend* Sender, int& ExtraSize)> OnCalcSize;

    // --- Queries ---

    // lsAuto becomes lsValues without check boxes and with fewer than two
    // active series, else lsSeries; other styles stay.
    TLegendStyle CalcLegendStyle() const;
    // Visible and, with check boxes (and no values legend), always, else
    // when at least one series is active.
    bool ShouldDraw() const;
    // Left or right aligned.
    bool Vertical() const { return FAlignment == laLeft || FAlignment == laRight; }
    // The series listed by a values legend: the explicit series (when on
    // the chart), else the first active series shown in the legend, else
    // the first active series; nullptr when none.
    TChartSeries* GetLegendSeries() const;
    // The series of a series legend, in chart order: those with
    // ShowInLegend, all of them with check boxes, else by the chart's
    // LegendCheckMode (0 active, 1 not excluded horizontally, 2 not
    // excluded vertically).
    std::vector<TChartSeries*> LegendSeriesList() const;
    // The series of item Index of a series legend (nullptr beyond them).
    TChartSeries* SeriesOfItem(int Index) const;
    // The series item Index stands for in the current style: the listed
    // series of a values legend, else SeriesOfItem.
    TChartSeries* ItemSeries(int Index) const;
    // Items from FirstValue on in the current style (at least 0).
    int CountItems() const;
    // The text of item Index after the chart's DoGetLegendText (the two
    // columns still joined by code 6).
    QString GetItemText(int Index) const;
    // Whether the check box of Series shows checked under the chart's
    // LegendCheckMode.
    bool SeriesChecked(const TChartSeries* Series) const;

    // --- State of the last layout ---

    TLegendStyle ResolvedStyle() const { return FResolvedStyle; }
    TLegendItems& Items() { return FItems; }
    const TLegendItems& Items() const { return FItems; }
    // Items from FirstValue on (limited to the page when paging).
    int TotalLegendItems() const { return FTotalLegendItems; }
    // The last shown item's index; -1 when nothing shows.
    int LastValue() const { return FLastValue; }
    int NumCols() const { return FNumCols; }
    int NumRows() const { return FNumRows; }
    // The widths of the two text columns.
    int ColumnWidth(int Index) const;
    // Pixels between the two text columns (0 without a second column).
    int ColumnGap() const { return FColumnGap; }
    int SymbolWidth() const { return FSymbolWidth; }
    // The symbol width plus the spacing around it inside an item.
    int SymbolSpaceWidth() const { return FSymbolSpaceWidth; }
    int ItemHeight() const { return FItemHeight; }
    int FrameWidth() const { return FFrameWidth; }
    // The top of the first item row.
    int ItemsTop() const { return FItemsTop; }
    TRect RectLegend() const { return ShapeBounds(); }

    // --- Driving (the chart) ---

    // Steps 1..9 of a paint: resolves the style, pages, measures the items
    // and places the legend (then the chart's DoGetLegendRect). False when
    // no item shows (LastValue -1); nothing is drawn then. Needs the chart's
    // canvas bound.
    bool CalcLayout();
    // Lays out, draws the frame, the title and the items, and (ResizeChart,
    // not custom-positioned, chart rectangle not fixed) takes the legend's
    // room from the chart rectangle. Nothing when ShouldDraw is False or no
    // item shows.
    void DrawLegend();
    // The item under (X, Y) after the last layout; -1 outside the legend,
    // above or below the rows, beyond the last shown item, or when the
    // legend would not draw (ShouldDraw).
    int Clicked(int X, int Y) const;
    // The click on item Index's check box: with cbsRadio only the item's
    // series stays active; with cbsCheck the item's series toggles Active,
    // HorizontalExcluded or VerticalExcluded by the chart's LegendCheckMode.
    // False (nothing done) without check boxes, in a values legend, for -1
    // or an item without series.
    bool CheckBoxClick(int Index);

protected:
    // The legend's gradient is a TChartLegendGradient.
    std::unique_ptr<TPlotGradient> CreateGradient() const override;
    // Store Value and repaint the chart, only when it differs.
    template <typename T>
    void SetProperty(T& Variable, T Value)
    {
        if (Variable != Value) {
            Variable = Value;
            Repaint();
        }
    }

private:
    void Changed() { Repaint(); }
    int CalcItemHeight(int FontHeight) const;
    // Splits the texts of items First .. Last into the item list and
    // measures the two columns and the gap between them.
    void PrepareItems(int First, int Last);
    void DrawItems();
    // Item Index in place Place (the Place-th item drawn).
    void DrawItem(int Index, int Place);
    void DrawCheckBox(const TRect& Box, bool Checked);
    void ShrinkChartRectangle();
    // Check boxes are on and the legend lists series.
    bool ShowsCheckBoxes() const;
    // The colour behind the items: Color, or the chart's when transparent.
    TColor BackColor() const;
    // The two text columns and the gap between them.
    int TextWidth() const;
    // TextWidth plus the symbol width.
    int ItemWidth() const;
    // The distance between the left edges of two columns.
    int ColumnStep() const;

    QPointer<TCustomAxisPanel> FChart;
    QPointer<TChartSeries> FSeries;

    TLegendAlignment FAlignment = laRight;
    bool FCheckBoxes = false;
    TCheckBoxesStyle FCheckBoxesStyle = cbsCheck;
    bool FCurrentPage = true;
    std::unique_ptr<TChartHiddenPen> FDividingLines;
    int FFirstValue = 0;
    bool FFontSeriesColor = false;
    int FHorizMargin = 0;
    bool FInverted = false;
    int FLeftPercent = 0;
    TLegendStyle FLegendStyle = lsAuto;
    int FMaxNumRows = 10;
    TPlotUnits FPositionUnits = muPixels;
    bool FResizeChart = true;
    std::unique_ptr<TLegendSymbol> FSymbol;
    TLegendTextStyle FTextStyle = TChartSeries::ltsLeftValue;
    std::unique_ptr<TLegendTitle> FTitle;
    int FTopPercent = 0;
    int FTopPos = 10;
    int FVertMargin = 0;
    int FVertSpacing = 0;

    // The last layout.
    TLegendStyle FResolvedStyle = lsSeries;
    TLegendItems FItems;
    int FTotalLegendItems = 0;
    int FLastValue = -1;
    int FNumCols = 0;
    int FNumRows = 0;
    int FColumnWidths[2] = {0, 0};
    int FColumnGap = 0;
    int FSymbolWidth = 0;
    int FSymbolSpaceWidth = 0;
    int FItemHeight = 0;
    int FFrameWidth = 0;
    int FTitleSpace = 0;
    int FItemsTop = 0;
};

using TLegendAlignment = TCustomChartLegend::TLegendAlignment;
inline constexpr TLegendAlignment laLeft = TCustomChartLegend::laLeft;
inline constexpr TLegendAlignment laRight = TCustomChartLegend::laRight;
inline constexpr TLegendAlignment laTop = TCustomChartLegend::laTop;
inline constexpr TLegendAlignment laBottom = TCustomChartLegend::laBottom;
using TLegendStyle = TCustomChartLegend::TLegendStyle;
inline constexpr TLegendStyle lsAuto = TCustomChartLegend::lsAuto;
inline constexpr TLegendStyle lsSeries = TCustomChartLegend::lsSeries;
inline constexpr TLegendStyle lsValues = TCustomChartLegend::lsValues;
inline constexpr TLegendStyle lsLastValues = TCustomChartLegend::lsLastValues;
using TCheckBoxesStyle = TCustomChartLegend::TCheckBoxesStyle;
inline constexpr TCheckBoxesStyle cbsCheck = TCustomChartLegend::cbsCheck;
inline constexpr TCheckBoxesStyle cbsRadio = TCustomChartLegend::cbsRadio;

// --- TChartLegend ------------------------------------------------------------------------------

class TChartLegend : public TCustomChartLegend {
    Q_OBJECT
    Q_PROPERTY(lp::TCustomChartLegend::TLegendAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_CLASSINFO("default:Alignment", "laRight")
    Q_PROPERTY(lp::TCustomPanelNoCaption::TBevelCut Bevel READ Bevel WRITE SetBevel)
    Q_CLASSINFO("default:Bevel", "bvNone")
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_CLASSINFO("default:BevelWidth", "2")
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool CheckBoxes READ CheckBoxes WRITE SetCheckBoxes)
    Q_CLASSINFO("default:CheckBoxes", "false")
    Q_PROPERTY(lp::TCustomChartLegend::TCheckBoxesStyle CheckBoxesStyle READ CheckBoxesStyle WRITE SetCheckBoxesStyle)
    Q_CLASSINFO("default:CheckBoxesStyle", "cbsCheck")
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0xFFFFFF")
    // Symbol.Width under its older name; Symbol stores it.
    Q_PROPERTY(int ColorWidth READ ColorWidth WRITE SetColorWidth STORED false)
    Q_CLASSINFO("default:ColorWidth", "20")
    Q_PROPERTY(bool CurrentPage READ CurrentPage WRITE SetCurrentPage)
    Q_CLASSINFO("default:CurrentPage", "true")
    Q_PROPERTY(bool CustomPosition READ CustomPosition WRITE SetCustomPosition)
    Q_CLASSINFO("default:CustomPosition", "false")
    Q_PROPERTY(lp::TChartHiddenPen* DividingLines READ DividingLines WRITE SetDividingLines)
    Q_PROPERTY(int FirstValue READ FirstValue WRITE SetFirstValue)
    Q_CLASSINFO("default:FirstValue", "0")
    Q_PROPERTY(lp::TPlotFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool FontSeriesColor READ FontSeriesColor WRITE SetFontSeriesColor)
    Q_CLASSINFO("default:FontSeriesColor", "false")
    Q_PROPERTY(lp::TChartPen* Frame READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(int HorizMargin READ HorizMargin WRITE SetHorizMargin)
    Q_CLASSINFO("default:HorizMargin", "0")
    Q_PROPERTY(bool Inverted READ Inverted WRITE SetInverted)
    Q_CLASSINFO("default:Inverted", "false")
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_CLASSINFO("stored:Left", "IsLeftStored")
    Q_PROPERTY(int LeftPercent READ LeftPercent WRITE SetLeftPercent)
    Q_CLASSINFO("default:LeftPercent", "0")
    Q_PROPERTY(lp::TCustomChartLegend::TLegendStyle LegendStyle READ LegendStyle WRITE SetLegendStyle)
    Q_CLASSINFO("default:LegendStyle", "lsAuto")
    Q_PROPERTY(int MaxNumRows READ MaxNumRows WRITE SetMaxNumRows)
    Q_CLASSINFO("default:MaxNumRows", "10")
    Q_PROPERTY(lp::TCustomPlotPanel::TPlotUnits PositionUnits READ PositionUnits WRITE SetPositionUnits)
    Q_CLASSINFO("default:PositionUnits", "muPixels")
    Q_PROPERTY(bool ResizeChart READ ResizeChart WRITE SetResizeChart)
    Q_CLASSINFO("default:ResizeChart", "true")
    Q_PROPERTY(lp::TPlotShadow* Shadow READ Shadow WRITE SetShadow)
    Q_PROPERTY(lp::TPlotCustomShape::TChartObjectShapeStyle ShapeStyle READ ShapeStyle WRITE SetShapeStyle)
    Q_CLASSINFO("default:ShapeStyle", "fosRectangle")
    Q_PROPERTY(lp::TLegendSymbol* Symbol READ Symbol WRITE SetSymbol)
    Q_PROPERTY(lp::TChartSeries::TLegendTextStyle TextStyle READ TextStyle WRITE SetTextStyle)
    Q_CLASSINFO("default:TextStyle", "ltsLeftValue")
    Q_PROPERTY(lp::TLegendTitle* Title READ Title WRITE SetTitle)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_CLASSINFO("stored:Top", "IsTopStored")
    Q_PROPERTY(int TopPercent READ TopPercent WRITE SetTopPercent)
    Q_CLASSINFO("default:TopPercent", "0")
    Q_PROPERTY(int TopPos READ TopPos WRITE SetTopPos)
    Q_CLASSINFO("default:TopPos", "10")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_CLASSINFO("stored:Transparent", "IsTransparentStored")
    Q_PROPERTY(int VertMargin READ VertMargin WRITE SetVertMargin)
    Q_CLASSINFO("default:VertMargin", "0")
    Q_PROPERTY(int VertSpacing READ VertSpacing WRITE SetVertSpacing)
    Q_CLASSINFO("default:VertSpacing", "0")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    using TCustomChartLegend::TCustomChartLegend;
};

} // namespace lp
