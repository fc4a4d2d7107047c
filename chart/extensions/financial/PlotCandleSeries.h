#pragma once
// Price series of the "Financial" gallery page.
//
//   TCustomSeries
//     ├─ TOHLCSeries        Date (X), Close (Y), High, Low and Open lists
//     │    └─ TCandleSeries candlesticks, high-low bars, open-close boxes
//     │                     or a close-price line
//     └─ TVolumeSeries      a vertical line per point from an origin
//
// A candle's colour is the start colour of its gradient: DownCloseGradient
// when the price fell, UpCloseGradient when it rose. Relative to the close
// (ColorStyle cssRelativeToClose) an unchanged close keeps the colour of the
// last change before it; that choice is found by walking back over the
// equal closes, never by recursion, and a drawing pass reuses the answer of
// the previous point so a long flat run stays linear.
//
// The candle pen is the series pointer's pen; the pointer is shown for every
// style but the line, so its margins keep the candles inside the axes.

#include "chart/engine/PlotSeries.h"

#include <memory>

namespace lp {

class TPlotGradient;

class TOHLCSeries : public TCustomSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* CloseValues READ CloseValues WRITE SetCloseValues)
    Q_PROPERTY(lp::TChartValueList* DateValues READ DateValues WRITE SetDateValues)
    Q_PROPERTY(lp::TChartValueList* HighValues READ HighValues WRITE SetHighValues)
    Q_PROPERTY(lp::TChartValueList* LowValues READ LowValues WRITE SetLowValues)
    Q_PROPERTY(lp::TChartValueList* OpenValues READ OpenValues WRITE SetOpenValues)

public:
    explicit TOHLCSeries(TComponent* AOwner = nullptr);

    // Stores the high, low and open as pending values, then adds
    // (ADate, AClose) through AddXY; the new index.
    int AddOHLC(double ADate, double AOpen, double AHigh, double ALow, double AClose);

    TChartValueList* DateValues() const { return XValues(); }
    void SetDateValues(TChartValueList* Value) { SetValueList(XValues(), Value); }
    TChartValueList* CloseValues() const { return YValues(); }
    void SetCloseValues(TChartValueList* Value) { SetValueList(YValues(), Value); }
    TChartValueList* HighValues() const { return FHighValues; }
    void SetHighValues(TChartValueList* Value) { SetValueList(FHighValues, Value); }
    TChartValueList* LowValues() const { return FLowValues; }
    void SetLowValues(TChartValueList* Value) { SetValueList(FLowValues, Value); }
    TChartValueList* OpenValues() const { return FOpenValues; }
    void SetOpenValues(TChartValueList* Value) { SetValueList(FOpenValues, Value); }

    // The extremes over the close, high, low and open lists.
    double MaxYValue() override;
    double MinYValue() override;
    // Random prices whose high is never below max(open, close) and whose low
    // is never above min(open, close).
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    // Only another price series feeds this one, unless a function of this
    // series computes the points.
    bool IsValidSourceOf(TChartSeries* Source) override;
    int NumSampleValues() const override { return 40; }

private:
    TChartValueList* FHighValues = nullptr; // owned by the value lists
    TChartValueList* FLowValues = nullptr;
    TChartValueList* FOpenValues = nullptr;
};

class TCandleSeries : public TOHLCSeries {
    Q_OBJECT
public:
    enum TCandleStyle : quint8 { csCandleStick, csCandleBar, csOpenClose, csLine };
    Q_ENUM(TCandleStyle)
    enum TCandleColorStyle : quint8 { cssRelativeToOpen, cssRelativeToClose };
    Q_ENUM(TCandleColorStyle)

private:
    Q_PROPERTY(TCandleStyle CandleStyle READ CandleStyle WRITE SetCandleStyle)
    Q_CLASSINFO("default:CandleStyle", "csCandleStick")
    Q_PROPERTY(int CandleWidth READ CandleWidth WRITE SetCandleWidth)
    Q_CLASSINFO("default:CandleWidth", "4")
    Q_PROPERTY(TCandleColorStyle ColorStyle READ ColorStyle WRITE SetColorStyle)
    Q_CLASSINFO("default:ColorStyle", "cssRelativeToOpen")
    Q_PROPERTY(bool Draw3D READ Draw3D WRITE SetDraw3D)
    Q_CLASSINFO("default:Draw3D", "false")
    Q_PROPERTY(bool Dark3D READ Dark3D WRITE SetDark3D)
    Q_CLASSINFO("default:Dark3D", "true")
    Q_PROPERTY(int DownCloseColor READ DownCloseColor WRITE SetDownCloseColor)
    Q_CLASSINFO("default:DownCloseColor", "255")
    Q_PROPERTY(lp::TPlotGradient* DownCloseGradient READ DownCloseGradient WRITE SetDownCloseGradient)
    Q_PROPERTY(lp::TChartPen* HighLowPen READ HighLowPen WRITE SetHighLowPen)
    Q_PROPERTY(bool ShowCloseTick READ ShowCloseTick WRITE SetShowCloseTick)
    Q_CLASSINFO("default:ShowCloseTick", "true")
    Q_PROPERTY(bool ShowOpenTick READ ShowOpenTick WRITE SetShowOpenTick)
    Q_CLASSINFO("default:ShowOpenTick", "true")
    Q_PROPERTY(int UpCloseColor READ UpCloseColor WRITE SetUpCloseColor)
    Q_CLASSINFO("default:UpCloseColor", "16777215")
    Q_PROPERTY(lp::TPlotGradient* UpCloseGradient READ UpCloseGradient WRITE SetUpCloseGradient)
    Q_PROPERTY(lp::TChartPen* Pen READ CandlePen WRITE SetCandlePen)

public:
    explicit TCandleSeries(TComponent* AOwner = nullptr);
    ~TCandleSeries() override;

    // From another candle series: width, style, colour style, both
    // gradients, the high-low pen and both ticks; then the series' copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TCandleEditor"); }

    TCandleStyle CandleStyle() const { return FCandleStyle; }
    // The pointer (and its margins) is shown for every style but csLine.
    void SetCandleStyle(TCandleStyle Value);
    int CandleWidth() const { return FCandleWidth; }
    void SetCandleWidth(int Value) { SetIntegerProperty(FCandleWidth, Value); }
    TCandleColorStyle ColorStyle() const { return FColorStyle; }
    void SetColorStyle(TCandleColorStyle Value);
    bool Draw3D() const { return Pointer()->Draw3D(); }
    void SetDraw3D(bool Value) { Pointer()->SetDraw3D(Value); }
    bool Dark3D() const { return Pointer()->Dark3D(); }
    void SetDark3D(bool Value) { Pointer()->SetDark3D(Value); }
    TPlotGradient* DownCloseGradient() const { return FDownCloseGradient.get(); }
    void SetDownCloseGradient(const TPlotGradient* Value);
    TPlotGradient* UpCloseGradient() const { return FUpCloseGradient.get(); }
    void SetUpCloseGradient(const TPlotGradient* Value);
    // The gradients' start colours.
    TColor DownCloseColor() const;
    void SetDownCloseColor(TColor Value);
    TColor UpCloseColor() const;
    void SetUpCloseColor(TColor Value);
    // The wicks' pen; its colour clPlotColor means the candle pen's colour.
    TChartPen* HighLowPen() const { return FHighLowPen.get(); }
    void SetHighLowPen(const TChartPen* Value) { FHighLowPen->Assign(Value); }
    bool ShowCloseTick() const { return FShowCloseTick; }
    void SetShowCloseTick(bool Value) { SetBooleanProperty(FShowCloseTick, Value); }
    bool ShowOpenTick() const { return FShowOpenTick; }
    void SetShowOpenTick(bool Value) { SetBooleanProperty(FShowOpenTick, Value); }
    // The candle pen: the pointer's.
    TChartPen* CandlePen() const { return Pointer()->Pen(); }
    void SetCandlePen(const TChartPen* Value) { Pointer()->Pen()->Assign(Value); }

    // The gradient whose start colour a candle takes (see the header).
    const TPlotGradient& CandleGradient(int ValueIndex) const;
    // The point's own colour, or its gradient's start colour when the point
    // has the series colour.
    TColor CandleColor(int ValueIndex) const;

    // --- Series protocol ---

    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    TColor LegendItemColor(int LegendIndex) const override { return CandleColor(LegendIndex); }
    // csLine: the close prices only.
    double MaxYValue() override;
    double MinYValue() override;
    // The first visible candle under (X, Y) by the style's shapes; -1 when
    // none.
    int Clicked(int X, int Y) override;
    void PrepareForGallery(bool IsEnabled) override;

private:
    struct TCandlePixels {
        int X = 0;
        int Open = 0;
        int Close = 0;
        int High = 0;
        int Low = 0;
        int Left = 0;  // half widths: CandleWidth div 2 and the rest
        int Right = 0;
    };
    TCandlePixels Pixels(int ValueIndex) const;
    // The 2-D body as drawn: an equal open and close lifted to one pixel,
    // the upper edge one higher without a visible pen; right edge exclusive.
    TRect BodyRect(const TCandlePixels& P) const;
    const TPlotGradient& RelativeToClose(int ValueIndex) const;
    void PrepareHighLowPen();
    void PrepareBodyPen(TColor Color, bool OpenIsClose);
    void FillBodyGradient(int ValueIndex, int Top, int Bottom, const TCandlePixels& P, bool AtDepthStart);
    void DrawLine(int ValueIndex, const TCandlePixels& P, TColor Color);
    void DrawBar(const TCandlePixels& P, TColor Color);
    void DrawBox3D(int ValueIndex, const TCandlePixels& P, TColor Color);
    void DrawBody(int ValueIndex, TCandlePixels P, TColor Color);
    bool HitsCandle(int ValueIndex, const TPoint& Mouse) const;

    TCandleStyle FCandleStyle = csCandleStick;
    int FCandleWidth = 4;
    TCandleColorStyle FColorStyle = cssRelativeToOpen;
    std::unique_ptr<TPlotGradient> FDownCloseGradient;
    std::unique_ptr<TChartPen> FHighLowPen;
    bool FShowCloseTick = true;
    bool FShowOpenTick = true;
    std::unique_ptr<TPlotGradient> FUpCloseGradient;
    int FPrevX = 0;
    int FPrevY = 0;
    // While drawing: the gradient chosen for point FLastGradientIndex.
    mutable int FLastGradientIndex = -1;
    mutable const TPlotGradient* FLastGradient = nullptr;
    bool FDrawing = false;
};

using TCandleStyle = TCandleSeries::TCandleStyle;
inline constexpr TCandleStyle csCandleStick = TCandleSeries::csCandleStick;
inline constexpr TCandleStyle csCandleBar = TCandleSeries::csCandleBar;
inline constexpr TCandleStyle csOpenClose = TCandleSeries::csOpenClose;
inline constexpr TCandleStyle csLine = TCandleSeries::csLine;
using TCandleColorStyle = TCandleSeries::TCandleColorStyle;
inline constexpr TCandleColorStyle cssRelativeToOpen = TCandleSeries::cssRelativeToOpen;
inline constexpr TCandleColorStyle cssRelativeToClose = TCandleSeries::cssRelativeToClose;

// Traded volumes: a vertical line per point from the origin (YOrigin with
// UseYOrigin, else the vertical axis's bottom, its top when inverted).
class TVolumeSeries : public TCustomSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartPen* LinePen READ LinePen WRITE SetLinePen)
    Q_PROPERTY(bool UseYOrigin READ UseYOrigin WRITE SetUseYOrigin)
    Q_CLASSINFO("default:UseYOrigin", "false")
    Q_PROPERTY(lp::TChartValueList* VolumeValues READ VolumeValues WRITE SetVolumeValues)
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(double YOrigin READ YOrigin WRITE SetYOrigin)
    Q_CLASSINFO("default:YOrigin", "0")

public:
    explicit TVolumeSeries(TComponent* AOwner = nullptr);

    // From another volume series: UseYOrigin and YOrigin; then the series'.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TVolumeSeriesEditor"); }

    TChartValueList* VolumeValues() const { return YValues(); }
    void SetVolumeValues(TChartValueList* Value) { SetValueList(YValues(), Value); }
    bool UseYOrigin() const { return FUseYOrigin; }
    void SetUseYOrigin(bool Value) { SetBooleanProperty(FUseYOrigin, Value); }
    double YOrigin() const { return FYOrigin; }
    void SetYOrigin(double Value) { SetDoubleProperty(FYOrigin, Value); }

    // The pixel the lines start from.
    int OriginPixel() const;

    // --- Series protocol ---

    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void DrawValue(int ValueIndex) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle) override;
    // The line pen takes the colour too.
    void SetSeriesColor(TColor Color) override;
    // The first visible line within the pen width - 1 of (X, Y); -1 when
    // none.
    int Clicked(int X, int Y) override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;
    int NumSampleValues() const override { return 40; }

private:
    bool FUseYOrigin = false;
    double FYOrigin = 0;
    TColor FLastColor = clNone;
};

// The "Financial" gallery page: "Candle", "Volume", "ADX" and "R.S.I.", in
// this order. Called by the extensions' start-up routine.
void RegisterCandleSeries();
void UnregisterCandleSeries();

} // namespace lp
