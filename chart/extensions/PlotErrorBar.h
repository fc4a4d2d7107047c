#pragma once
// Error and high-low series, the series types of the "Stats" gallery page.
//
//   TBarSeries
//     └─ TCustomErrorSeries   ErrorValues ("StdError"), ErrorPen, ErrorStyle,
//          │                  ErrorWidth (+ units); a whisker per point
//          ├─ TErrorSeries    whiskers only (DrawsBar false)
//          └─ TErrorBarSeries a bar per point with a whisker on its value
//                             end (DrawsBar true, ErrorStyle essTop)
//   TChartSeries
//     └─ THighLowSeries       LowValues ("Low") beside the Y ("high") values:
//                             a line through the highs (HighPen), one through
//                             the lows (LowPen), the band between them
//                             (HighBrush / LowBrush, Transparency) and a
//                             vertical high-low line per point (Pen)
//
// The error series lay their points out as bars (the bar series' DrawValue
// computes BarBounds) and draw the whisker in DrawBar. The whisker of a
// vertical style reaches half the error value on each side of the point:
// essTop from the point to Y + |E|/2 (as a value), essBottom to Y - |E|/2,
// essTopBottom both; a horizontal style reaches |E| along the horizontal
// axis. The bar of an error-bar series below its origin turns its whisker
// round, so it points away from the bar.
//
// A high-low series draws in segments: each point after the first displayed
// one joins itself to the previous point (kept in FPrevX, FPrevHigh,
// FPrevLow), so a null point breaks the lines and the band on both sides.

#include "chart/engine/PlotBarSeries.h"

#include <memory>

namespace lp {

class TCustomErrorSeries : public TBarSeries {
    Q_OBJECT
public:
    enum TErrorSeriesStyle : quint8 { essLeft, essRight, essLeftRight, essTop, essBottom, essTopBottom };
    Q_ENUM(TErrorSeriesStyle)
    enum TErrorWidthUnits : quint8 { ewuPercent, ewuPixels };
    Q_ENUM(TErrorWidthUnits)

private:
    // Published by both concrete error series (ErrorStyle only by
    // TErrorSeries).
    Q_PROPERTY(lp::TChartPen* ErrorPen READ ErrorPen WRITE SetErrorPen)
    Q_PROPERTY(lp::TChartValueList* ErrorValues READ ErrorValues WRITE SetErrorValues)
    Q_PROPERTY(int ErrorWidth READ ErrorWidth WRITE SetErrorWidth)
    Q_CLASSINFO("default:ErrorWidth", "100")
    Q_PROPERTY(TErrorWidthUnits ErrorWidthUnits READ ErrorWidthUnits WRITE SetErrorWidthUnits)
    Q_CLASSINFO("default:ErrorWidthUnits", "ewuPercent")

public:
    explicit TCustomErrorSeries(TComponent* AOwner = nullptr);
    ~TCustomErrorSeries() override;

    // From another error series: ErrorPen, ErrorStyle, ErrorWidth and
    // ErrorWidthUnits; then the bar series' copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TErrorSeriesEditor"); }

    // Stores AError as the pending error value, then adds (AX, AY) through
    // AddXY; the new index (-1 when OnBeforeAdd refused it).
    int AddErrorBar(double AX, double AY, double AError, const QString& ALabel = {}, TColor AColor = clPlotColor);

    TChartPen* ErrorPen() const { return FErrorPen.get(); }
    // Copies Value; without a bar the series colour follows the pen colour.
    void SetErrorPen(const TChartPen* Value);
    TErrorSeriesStyle ErrorStyle() const { return FErrorStyle; }
    void SetErrorStyle(TErrorSeriesStyle Value);
    TChartValueList* ErrorValues() const { return FErrorValues; }
    void SetErrorValues(TChartValueList* Value) { SetValueList(FErrorValues, Value); }
    // Width of the whisker's end tick; 0 means as wide as the bar.
    int ErrorWidth() const { return FErrorWidth; }
    void SetErrorWidth(int Value) { SetIntegerProperty(FErrorWidth, Value); }
    TErrorWidthUnits ErrorWidthUnits() const { return FErrorWidthUnits; }
    void SetErrorWidthUnits(TErrorWidthUnits Value);
    // Whether the bar itself is drawn (error-bar series only).
    bool DrawsBar() const { return FDrawsBar; }

    // The pixel width of the whisker's end tick over a bar BarWidth wide.
    int ErrorTickWidth(int BarWidth) const;

    // --- Series protocol ---

    // At least the error pen's width on the sides the whisker points to.
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle) override;
    // Without a bar the error pen takes the colour as well.
    void SetSeriesColor(TColor Color) override;
    // The value range including every point's error.
    double MaxYValue() override { return ErrorExtreme(true); }
    double MinYValue() override { return ErrorExtreme(false); }
    bool SubGalleryStack() const override { return false; }
    // The bar (when DrawsBar), then the point's whisker.
    void DrawBar(int BarIndex, int StartPos, int EndPos) override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;

protected:
    // The whisker centred at (X, Y): tick width TickWidth; Up the pixel
    // length towards the top (or, for the horizontal styles, the length
    // along the horizontal axis), Down the pixel length towards the bottom
    // (essBottom and essTopBottom). Negative lengths point the other way.
    void DrawError(int X, int Y, int TickWidth, int Up, int Down, bool Draw3D);
    // Selects the whisker pen: the point's colour without a bar, else the
    // pen's own; background transparent.
    void PrepareErrorPen(int ValueIndex);
    bool IsHorizontalStyle() const { return FErrorStyle <= essLeftRight; }
    // The largest (smallest) value a bar or whisker reaches; 0 for an empty
    // series without bars.
    double ErrorExtreme(bool IsMax);

    bool FDrawsBar = false;

private:
    std::unique_ptr<TChartPen> FErrorPen;
    TErrorSeriesStyle FErrorStyle = essTopBottom;
    TChartValueList* FErrorValues = nullptr; // owned by the value lists
    int FErrorWidth = 100;
    TErrorWidthUnits FErrorWidthUnits = ewuPercent;
};

using TErrorSeriesStyle = TCustomErrorSeries::TErrorSeriesStyle;
inline constexpr TErrorSeriesStyle essLeft = TCustomErrorSeries::essLeft;
inline constexpr TErrorSeriesStyle essRight = TCustomErrorSeries::essRight;
inline constexpr TErrorSeriesStyle essLeftRight = TCustomErrorSeries::essLeftRight;
inline constexpr TErrorSeriesStyle essTop = TCustomErrorSeries::essTop;
inline constexpr TErrorSeriesStyle essBottom = TCustomErrorSeries::essBottom;
inline constexpr TErrorSeriesStyle essTopBottom = TCustomErrorSeries::essTopBottom;
using TErrorWidthUnits = TCustomErrorSeries::TErrorWidthUnits;
inline constexpr TErrorWidthUnits ewuPercent = TCustomErrorSeries::ewuPercent;
inline constexpr TErrorWidthUnits ewuPixels = TCustomErrorSeries::ewuPixels;

// Whiskers without bars.
class TErrorSeries : public TCustomErrorSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TCustomErrorSeries::TErrorSeriesStyle ErrorStyle READ ErrorStyle WRITE SetErrorStyle)
    Q_CLASSINFO("default:ErrorStyle", "essTopBottom")

public:
    explicit TErrorSeries(TComponent* AOwner = nullptr);
};

// A bar per point with a whisker on its value end (ErrorStyle essTop, not
// published).
class TErrorBarSeries : public TCustomErrorSeries {
    Q_OBJECT
public:
    explicit TErrorBarSeries(TComponent* AOwner = nullptr);

    // The error pen 2 pixels wide, then the error series' preparation.
    void PrepareForGallery(bool IsEnabled) override;
};

// --- THighLowSeries -----------------------------------------------------------------------------

class THighLowSeries : public TChartSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartBrush* HighBrush READ HighBrush WRITE SetHighBrush)
    Q_PROPERTY(lp::TChartPen* HighPen READ HighPen WRITE SetHighPen)
    Q_PROPERTY(lp::TChartValueList* HighValues READ HighValues WRITE SetHighValues)
    Q_PROPERTY(lp::TChartBrush* LowBrush READ LowBrush WRITE SetLowBrush)
    Q_PROPERTY(lp::TChartPen* LowPen READ LowPen WRITE SetLowPen)
    Q_PROPERTY(lp::TChartValueList* LowValues READ LowValues WRITE SetLowValues)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    explicit THighLowSeries(TComponent* AOwner = nullptr);
    ~THighLowSeries() override;

    // From another high-low series: HighPen, LowPen, LowBrush and
    // Transparency; then the series' copy (HighBrush and Pen with it).
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("THighLowEditor"); }

    // Stores ALow as the pending low value, then adds (AX, AHigh) through
    // AddXY; the new index.
    int AddHighLow(double AX, double AHigh, double ALow, const QString& ALabel = {}, TColor AColor = clPlotColor);

    // The band's fill where the high value is above the low one (the
    // series' own brush).
    TChartBrush* HighBrush() const { return Brush(); }
    void SetHighBrush(const TChartBrush* Value) { SetBrush(Value); }
    TChartPen* HighPen() const { return FHighPen.get(); }
    void SetHighPen(const TChartPen* Value) { FHighPen->Assign(Value); }
    TChartValueList* HighValues() const { return YValues(); }
    void SetHighValues(TChartValueList* Value) { SetValueList(YValues(), Value); }
    // The band's fill where the high value is not above the low one.
    TChartBrush* LowBrush() const { return FLowBrush.get(); }
    void SetLowBrush(const TChartBrush* Value) { FLowBrush->Assign(Value); }
    TChartPen* LowPen() const { return FLowPen.get(); }
    void SetLowPen(const TChartPen* Value) { FLowPen->Assign(Value); }
    TChartValueList* LowValues() const { return FLowValues; }
    void SetLowValues(TChartValueList* Value) { SetValueList(FLowValues, Value); }
    // Per-cent transparency of the band; ERangeError outside 0 .. 100.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

    // --- Series protocol ---

    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void DrawValue(int ValueIndex) override;
    double MaxYValue() override;
    double MinYValue() override;
    // The point whose band (from the previous point) holds (X, Y), else the
    // point whose high point or high line does; -1 when none.
    int Clicked(int X, int Y) override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    // Only another high-low series may feed this one.
    bool IsValidSourceOf(TChartSeries* Source) override;

private:
    // The vertical high-low line at X in the series pen; clPlotColor means
    // Color.
    void DrawHighLowLine(int X, int High, int Low, TColor Color);
    // The band from the previous point to (X, High, Low) in Color.
    void DrawBand(int ValueIndex, int X, int High, int Low, TColor Color);

    std::unique_ptr<TChartPen> FHighPen;
    TChartValueList* FLowValues = nullptr; // owned by the value lists
    std::unique_ptr<TChartPen> FLowPen;
    int FPrevX = 0;
    int FPrevHigh = 0;
    int FPrevLow = 0;
    std::unique_ptr<TChartBrush> FLowBrush;
    int FTransparency = 0;
};

// The "Stats" gallery page: "Error Bar", "Error" and "High-Low", in this
// order. Called by the extensions' start-up routine; unregistering removes
// the three types.
void RegisterErrorBarSeries();
void UnregisterErrorBarSeries();

} // namespace lp
