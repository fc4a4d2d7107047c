#pragma once
// The data table tool: a table of the chart's series values beside the
// axis their X values run along: one row per table series (active, not
// 3-D), one column per axis label, each cell the value of the point at
// that label; a header column (TTableLegend) names the rows with the
// series titles and symbols. Drawn after the chart (event 0); the chart
// reserves room for it through its axes' size hook.
//
//   TDataTableTool ─owns─> TTableLegend ─owns─> TLegendSymbol
//                  ├─owns─> Font (cells), ColumnPen; RowPen is the base Pen
//                  └─hooks─> the chart's TChartAxes::OnAxisSize
//
// CalcDataTableLayout is the pure geometry the drawing follows.

#include "chart/canvas/PlotShapes.h"
#include "chart/engine/PlotLegend.h"
// The tools header observes axes through QPointer: their class must be
// complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"

#include <QtCore/QPointer>

#include <functional>
#include <memory>
#include <vector>

namespace lp {

class TChartAxis;
class TPlotFont;

// --- Layout --------------------------------------------------------------------------------------

struct TDataTableLayoutInput {
    std::vector<int> Ticks;          // the axis' label pixels of its last drawing
    int AxisStart = 0;               // the axis' start and end pixels
    int AxisEnd = 0;
    bool Horizontal = true;          // the table's axis is horizontal
    bool AxisInverted = false;
    int Base = 0;                    // base line across the axis
    int Direction = 1;               // +1: rows grow to larger pixels, −1 to smaller
    int RowSize = 0;                 // font height, or the width of "#.###"
    int Offset = 0;                  // moves the table along the axis
    bool Inverted = false;           // rows in reverse chart order
    int MaxCount = 0;                // the largest point count of the table series
    std::vector<int> Counts;         // point count of each table series, chart order
    // Whether point Index of table series Series is null (may be empty).
    std::function<bool(int Series, int Index)> IsNull;
};

struct TDataTableCell {
    int Series = 0;  // table series, chart order
    int Row = 0;     // row it is drawn in
    int Tick = 0;    // pixel along the axis (offset added)
    int Point = 0;   // point index shown
};

struct TDataTableLayout {
    bool Forward = false;
    std::vector<int> RowBounds;   // the N + 1 row boundaries across the axis
    std::vector<int> Separators;  // column separators along the axis (outer edges included)
    int Edge1 = 0;                // the two outer edges along the axis (offset added)
    int Edge2 = 0;
    std::vector<TDataTableCell> Cells;  // only cells with a point to show
    // The row boundary pixel that row Row starts at (nearer the axis).
    int RowStart(int Row) const { return RowBounds.at(static_cast<size_t>(Row)); }
    int RowEnd(int Row) const { return RowBounds.at(static_cast<size_t>(Row) + 1); }
};

TDataTableLayout CalcDataTableLayout(const TDataTableLayoutInput& In);

// The along-axis span of the header column of width Width: before the
// table's start (Edge1 horizontal, Edge2 vertical, after swapping the edges
// so the start comes first), or at the opposite end with OtherSide. Sets
// the edges to their swapped order.
void PlaceDataTableHeader(TDataTableLayout& Layout, bool Horizontal, bool AxisInverted, bool OtherSide, int Width,
                          int& HeaderFrom, int& HeaderTo);

// --- TTableLegend --------------------------------------------------------------------------------

class TTableLegend : public TPlotShape {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool FontSeriesColor READ FontSeriesColor WRITE SetFontSeriesColor)
    Q_CLASSINFO("default:FontSeriesColor", "false")
    // The border pen is stored as Pen; files written before stored it as
    // Frame, which is still read, never written.
    Q_PROPERTY(lp::TChartPen* Frame READ Pen WRITE SetPen STORED false)
    Q_PROPERTY(bool OtherSide READ OtherSide WRITE SetOtherSide)
    Q_CLASSINFO("default:OtherSide", "false")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TLegendSymbol* Symbol READ Symbol WRITE SetSymbol)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    explicit TTableLegend(TCustomPlotPanel* AOwner = nullptr);
    ~TTableLegend() override;

    // FontSeriesColor and Symbol, then the shape.
    void Assign(const TPersistent* Source) override;

    bool FontSeriesColor() const { return FFontSeriesColor; }
    void SetFontSeriesColor(bool Value);
    bool OtherSide() const { return FOtherSide; }
    void SetOtherSide(bool Value);
    TLegendSymbol* Symbol() const { return FSymbol.get(); }
    void SetSymbol(const TLegendSymbol* Value);

private:
    bool FFontSeriesColor = false;
    bool FOtherSide = false;
    std::unique_ptr<TLegendSymbol> FSymbol;
};

// --- TDataTableTool ------------------------------------------------------------------------------

class TDataTableTool : public TPlotCustomTool {
    Q_OBJECT
    Q_PROPERTY(bool AutoPosition READ AutoPosition WRITE SetAutoPosition)
    Q_CLASSINFO("default:AutoPosition", "true")
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool ClipText READ ClipText WRITE SetClipText)
    Q_CLASSINFO("default:ClipText", "true")
    Q_PROPERTY(lp::TChartPen* ColumnPen READ ColumnPen WRITE SetColumnPen)
    Q_PROPERTY(lp::TPlotFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool Inverted READ Inverted WRITE SetInverted)
    Q_CLASSINFO("default:Inverted", "false")
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_CLASSINFO("default:Left", "0")
    Q_PROPERTY(lp::TTableLegend* Legend READ Legend WRITE SetLegend)
    Q_PROPERTY(lp::TChartPen* RowPen READ RowPen WRITE SetRowPen)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_CLASSINFO("default:Top", "0")

public:
    explicit TDataTableTool(TComponent* AOwner = nullptr);
    ~TDataTableTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TDataTableEditor"); }
    // "Data Table".
    QString Description() const override;

    bool AutoPosition() const { return FAutoPosition; }
    void SetAutoPosition(bool Value) { SetBooleanProperty(FAutoPosition, Value); }
    // Stored only; the cells are not clipped to their columns.
    bool ClipText() const { return FClipText; }
    void SetClipText(bool Value) { SetBooleanProperty(FClipText, Value); }
    TChartPen* ColumnPen() const { return FColumnPen.get(); }
    void SetColumnPen(const TChartPen* Value);
    TPlotFont* Font() const { return FFont.get(); }
    void SetFont(const TPlotFont* Value);
    bool Inverted() const { return FInverted; }
    void SetInverted(bool Value) { SetBooleanProperty(FInverted, Value); }
    int Left() const { return FLeft; }
    void SetLeft(int Value) { SetIntegerProperty(FLeft, Value); }
    TTableLegend* Legend() const { return FLegend.get(); }
    void SetLegend(const TTableLegend* Value);
    // The base's Pen.
    TChartPen* RowPen() const { return Pen(); }
    void SetRowPen(const TChartPen* Value) { SetPen(Value); }
    int Top() const { return FTop; }
    void SetTop(int Value) { SetIntegerProperty(FTop, Value); }

    // The table series (active, not 3-D) in chart order.
    std::vector<TChartSeries*> TableSeries() const;
    // The axis the first table series' X values run along; nullptr without
    // table series.
    TChartAxis* TableAxis() const;
    // The pixels Axis needs with the table (Size: what it needs without).
    int AxisSize(TChartAxis* Axis, int Size);
    // The layout of the next drawing (the chart's canvas bound).
    TDataTableLayout Layout();

    void SetParentChart(TCustomAxisPanel* Value) override;
    void ChartEvent(int Event) override;

private:
    int RowSize(TPlotCanvas3D& Canvas) const;
    int HeaderWidth(TPlotCanvas3D& Canvas, const std::vector<TChartSeries*>& Series) const;
    void PlaceBase(const TChartAxis& Axis, int& Base, int& Offset, int& Direction);
    void Draw();
    void DrawHeader(TPlotCanvas3D& Canvas, TDataTableLayout& L, const std::vector<TChartSeries*>& Series,
                    bool Horizontal, bool AxisInverted, int& From, int& To);
    QString CellText(TChartSeries& Series, int Index) const;
    void HookAxes(bool Install);

    bool FAutoPosition = true;
    bool FClipText = true;
    std::unique_ptr<TChartPen> FColumnPen;
    std::unique_ptr<TPlotFont> FFont;
    bool FInverted = false;
    int FLeft = 0;
    std::unique_ptr<TTableLegend> FLegend;
    int FTop = 0;
    QPointer<TCustomAxisPanel> FHooked;
};

void RegisterDataTableTool();
void UnregisterDataTableTool();

} // namespace lp
