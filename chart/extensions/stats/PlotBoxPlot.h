#pragma once
// Box-and-whisker series of the "Stats" gallery page.
//
//   TPointSeries
//     └─ TCustomBoxSeries     statistics, box, median line, whiskers, outliers
//          ├─ TBoxSeries      vertical box at X = Position (samples in Y)
//          └─ THorizBoxSeries horizontal box at Y = Position (samples in X)
//
// The statistics are computed before each drawing (unless UseCustomValues)
// from a sorted copy of the samples, so the stored order never matters and
// is never changed. Percentiles interpolate between the plotting positions
// (j + 0.5) / N; a percentile below the first position is the first sample.
// Every sample goes through DrawValue, which draws it only when it lies
// beyond an inner fence: mild up to the outer fence (inclusive), extreme
// beyond. The series pointer draws the box from Quartile1 to Quartile3.

#include "chart/engine/PlotSeries.h"

#include <memory>
#include <span>

namespace lp {

// The nine statistics of a box, from sorted samples (see the header).
struct TBoxStatistics {
    double Median = 0;
    double Quartile1 = 0;
    double Quartile3 = 0;
    double InnerFenceLow = 0;
    double InnerFenceHigh = 0;
    double OuterFenceLow = 0;
    double OuterFenceHigh = 0;
    double AdjacentLow = 0;
    double AdjacentHigh = 0;
};

// The statistics of Sorted (ascending, at least one sample) with fences at
// WhiskerLength and twice WhiskerLength interquartile ranges.
TBoxStatistics CalcBoxStatistics(std::span<const double> Sorted, double WhiskerLength);

class TCustomBoxSeries : public TPointSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TSeriesPointer* ExtrOut READ ExtrOut WRITE SetExtrOut)
    Q_PROPERTY(lp::TChartPen* MedianPen READ MedianPen WRITE SetMedianPen)
    Q_PROPERTY(lp::TSeriesPointer* MildOut READ MildOut WRITE SetMildOut)
    Q_PROPERTY(double Position READ Position WRITE SetPosition)
    Q_CLASSINFO("default:Position", "0")
    Q_PROPERTY(lp::TChartValueList* SampleValues READ SampleValues WRITE SetSampleValues)
    Q_PROPERTY(double WhiskerLength READ WhiskerLength WRITE SetWhiskerLength)
    Q_CLASSINFO("default:WhiskerLength", "1.5")
    Q_PROPERTY(lp::TChartPen* WhiskerPen READ WhiskerPen WRITE SetWhiskerPen)
    Q_PROPERTY(bool UseCustomValues READ UseCustomValues WRITE SetUseCustomValues)
    Q_CLASSINFO("default:UseCustomValues", "false")

public:
    explicit TCustomBoxSeries(TComponent* AOwner = nullptr);
    ~TCustomBoxSeries() override;

    // From another box series: both outlier symbols, the pens, Position,
    // WhiskerLength and UseCustomValues; then the point series' copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TBoxSeriesEditor"); }
    void SetParentChart(TCustomAxisPanel* Value) override;

    TSeriesPointer* ExtrOut() const { return FExtrOut.get(); }
    void SetExtrOut(const TSeriesPointer* Value) { FExtrOut->Assign(Value); }
    TSeriesPointer* MildOut() const { return FMildOut.get(); }
    void SetMildOut(const TSeriesPointer* Value) { FMildOut->Assign(Value); }
    TChartPen* MedianPen() const { return FMedianPen.get(); }
    void SetMedianPen(const TChartPen* Value) { FMedianPen->Assign(Value); }
    TChartPen* WhiskerPen() const { return FWhiskerPen.get(); }
    void SetWhiskerPen(const TChartPen* Value) { FWhiskerPen->Assign(Value); }
    double Position() const { return FPosition; }
    void SetPosition(double Value) { SetDoubleProperty(FPosition, Value); }
    double WhiskerLength() const { return FWhiskerLength; }
    void SetWhiskerLength(double Value) { SetDoubleProperty(FWhiskerLength, Value); }
    bool UseCustomValues() const { return FUseCustomValues; }
    void SetUseCustomValues(bool Value) { SetBooleanProperty(FUseCustomValues, Value); }
    // The samples: Y of a vertical box, X of a horizontal one.
    virtual TChartValueList* GetSampleValues() const;
    virtual void SetSampleValues(TChartValueList* Value);
    TChartValueList* SampleValues() const { return GetSampleValues(); }
    bool Vertical() const { return FVertical; }

    // The statistics: computed before drawing, or stored by the program
    // with UseCustomValues.
    const TBoxStatistics& Statistics() const { return FStatistics; }
    void SetStatistics(const TBoxStatistics& Value);
    // Recomputes the statistics from the samples (nothing without samples
    // or with UseCustomValues).
    void CalcStatistics();

    // The box in pixels (left, top, right, bottom; normalised).
    TRect BoxRect() const;

    // --- Series protocol ---

    // Every sample, wherever its position value lies.
    void CalcFirstLastVisibleIndex() override;
    void DoBeforeDrawValues() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    // -m, then m * i / NumValues (i = 2 .. NumValues - 2), then 2m: one low
    // and one high outlier.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;

    // The symbol of sample value V: nullptr within the inner fences (on
    // them too), MildOut up to the outer fences (on them too), else ExtrOut.
    TSeriesPointer* OutlierSymbol(double V) const;

protected:
    // THorizBoxSeries: samples in X.
    void MakeHorizontal();

private:
    void DrawBox(const TRect& Box);
    void DrawMedian(const TRect& Box);
    void DrawWhiskers();
    void StatisticLine(int X0, int Y0, int X1, int Y1, int Z);

    std::unique_ptr<TSeriesPointer> FExtrOut;
    std::unique_ptr<TChartPen> FMedianPen;
    std::unique_ptr<TSeriesPointer> FMildOut;
    double FPosition = 0;
    double FWhiskerLength = 1.5;
    std::unique_ptr<TChartPen> FWhiskerPen;
    bool FVertical = true;
    bool FUseCustomValues = false;
    TBoxStatistics FStatistics;
};

class TBoxSeries : public TCustomBoxSeries {
    Q_OBJECT
    Q_CLASSINFO("unpublished:YValues", "SampleValues")
public:
    explicit TBoxSeries(TComponent* AOwner = nullptr) : TCustomBoxSeries(AOwner) {}
    // The horizontal axis spans just the box position.
    double MaxXValue() override { return Position(); }
    double MinXValue() override { return Position(); }
};

class THorizBoxSeries : public TCustomBoxSeries {
    Q_OBJECT
    Q_CLASSINFO("unpublished:XValues", "SampleValues")
public:
    explicit THorizBoxSeries(TComponent* AOwner = nullptr);
    // The vertical axis spans just the box position.
    double MaxYValue() override { return Position(); }
    double MinYValue() override { return Position(); }
};

// "BoxPlot" and "Horizontal" CR "BoxPlot" on the "Stats" page.
void RegisterBoxSeries();
void UnregisterBoxSeries();

} // namespace lp
