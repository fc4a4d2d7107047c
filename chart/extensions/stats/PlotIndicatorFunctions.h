#pragma once
// Indicators that compute their whole output at once.
//
//   TPlotMovingFunction
//     └─ TMACDFunction         fast minus slow exponential average into the
//                              parent; owns the signal line (MACDExp, the
//                              signal average of the parent) and the
//                              histogram (parent minus signal)
//   TPlotFunction
//     ├─ TBollingerFunction    average ± Deviation standard deviations: the
//     │                        upper band into the parent, the lower one
//     │                        into its own line (LowBand)
//     ├─ TCrossPointsFunction  where the first two sources cross
//     └─ TPerimeterFunction    the convex hull of the source on the screen
//
// The owned lines are internal series (see CreateIndicatorLine); they follow
// the parent onto its chart at every calculation.

#include "chart/engine/PlotFunction.h"

#include <QtCore/QPointer>

#include <memory>
#include <vector>

namespace lp {

class TChartPen;
class TChartSeries;
class TExpMovAveFunction;
class TFastLineSeries;
class TVolumeSeries;

class TMACDFunction : public TPlotMovingFunction {
    Q_OBJECT
    Q_CLASSINFO("default:Period", "26")
    Q_PROPERTY(double Period2 READ Period2 WRITE SetPeriod2)
    Q_CLASSINFO("default:Period2", "12")
    Q_PROPERTY(int Period3 READ Period3 WRITE SetPeriod3)
    Q_CLASSINFO("default:Period3", "9")
    Q_PROPERTY(lp::TChartPen* HistogramPen READ HistogramPen WRITE SetHistogramPen)
    Q_PROPERTY(lp::TChartPen* MACDExpPen READ MACDExpPen WRITE SetMACDExpPen)
    Q_PROPERTY(lp::TChartPen* MACDPen READ MACDPen WRITE SetMACDPen)

public:
    explicit TMACDFunction(TComponent* AOwner = nullptr);
    ~TMACDFunction() override;

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TMACDFuncEditor"); }
    void AddPoints(TChartSeries* Source) override;
    // Also empties the signal line and the histogram.
    void Clear() override;

    // The fast period; below 1 becomes 1.
    double Period2() const;
    void SetPeriod2(double Value);
    // The signal period.
    int Period3() const;
    void SetPeriod3(int Value);
    // The parent's pen (nullptr without a parent).
    TChartPen* MACDPen() const;
    void SetMACDPen(const TChartPen* Value);
    TChartPen* MACDExpPen() const;
    void SetMACDExpPen(const TChartPen* Value);
    TChartPen* HistogramPen() const;
    void SetHistogramPen(const TChartPen* Value);

    // nullptr once a chart has freed them.
    TFastLineSeries* MACDExp() const;
    TVolumeSeries* Histogram() const;

protected:
    // The signal line and the histogram, from the parent's points.
    void RestoreOwnLines(TChartSeries& Parent) override;

private:
    void FillHistogram(TChartSeries& Parent);
    // The signal line's average; nullptr once a chart has freed the line.
    TExpMovAveFunction* Signal() const;

    QPointer<TVolumeSeries> FHistogram;
    QPointer<TFastLineSeries> FMACDExp;
    std::unique_ptr<TChartSeries> FFastSeries;
    std::unique_ptr<TChartSeries> FSlowSeries;
    TExpMovAveFunction* FFast = nullptr; // owned by FFastSeries
    TExpMovAveFunction* FSlow = nullptr; // owned by FSlowSeries
};

class TBollingerFunction : public TPlotFunction {
    Q_OBJECT
    Q_CLASSINFO("default:Period", "10")
    Q_PROPERTY(double Deviation READ Deviation WRITE SetDeviation)
    Q_CLASSINFO("default:Deviation", "2")
    Q_PROPERTY(bool Exponential READ Exponential WRITE SetExponential)
    Q_CLASSINFO("default:Exponential", "true")
    Q_PROPERTY(lp::TChartPen* LowBandPen READ LowBandPen WRITE SetLowBandPen)
    Q_PROPERTY(lp::TChartPen* UpperBandPen READ UpperBandPen WRITE SetUpperBandPen)

public:
    explicit TBollingerFunction(TComponent* AOwner = nullptr);
    ~TBollingerFunction() override;

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TBollingerFuncEditor"); }
    // A period below one point computes nothing.
    void AddPoints(TChartSeries* Source) override;
    // A point appended to a source whose positions rise: the bands'
    // points of the last run of windows (the window sums start afresh and
    // are scaled anew every Period points) are computed again, the others
    // kept; exactly the points a recalculation gives.
    bool AddAppendedPoint(TChartSeries* Source) override;
    bool AddsAppendedPoints() const override { return true; }
    void Clear() override;

    double Deviation() const { return FDeviation; }
    void SetDeviation(double Value);
    bool Exponential() const { return FExponential; }
    void SetExponential(bool Value);
    TChartPen* LowBandPen() const;
    void SetLowBandPen(const TChartPen* Value);
    // The parent's pen (nullptr without a parent).
    TChartPen* UpperBandPen() const;
    void SetUpperBandPen(const TChartPen* Value);
    TFastLineSeries* LowBand() const;

protected:
    // The lower band, from the parent's source.
    void RestoreOwnLines(TChartSeries& Parent) override;

private:
    // Target cleared and filled with the average ± D deviations of Source;
    // Band 0 is the parent's, 1 the lower band's.
    void AddBand(TChartSeries& Source, TChartSeries& Target, double D, int Band);
    // The band's points from the run of windows starting at point FirstRun
    // (Period + a multiple of it) on, added to Target, which holds those
    // before it; the averages are FAverages.
    void AddBandRuns(TChartSeries& Source, TChartSeries& Target, double D, int Band, int FirstRun);
    // FAverages grown by the average the last of Source's Count points
    // brings, as the averages series computes it; false when that is not
    // a number (the series would leave it out).
    bool AppendAverage(TChartSeries& Source);
    int WindowPoints() const;
    // The lower band joins the parent's chart, coloured as the parent.
    void SetUpLowBand(TChartSeries& Parent);

    double FDeviation = 2;
    bool FExponential = true;
    QPointer<TFastLineSeries> FLowBand;

    // What the last calculation left for a point appended to its source.
    struct TBandRun {
        int Start = 0;  // the first point index of the last run of windows
        int Before = 0; // the band's points before that run
        int Count = 0;  // the band's points
    };
    std::vector<double> FAverages; // the averages series' values, all of them
    const TChartSeries* FBandsSource = nullptr;
    int FBandsFor = -1; // the source's count they were computed for; -1: none
    TBandRun FRuns[2];
};

class TCrossPointsFunction : public TPlotFunction {
    Q_OBJECT
public:
    explicit TCrossPointsFunction(TComponent* AOwner = nullptr);
    // No editor page.
    QString GetEditorClassName() const override { return {}; }
    // The crossings of the parent's first two sources, in order; nothing
    // with fewer than two sources or points.
    void AddPoints(TChartSeries* Source) override;
};

class TPerimeterFunction : public TPlotFunction {
    Q_OBJECT
public:
    explicit TPerimeterFunction(TComponent* AOwner = nullptr);
    // The closed convex hull of Source's points as shown on its chart.
    void AddPoints(TChartSeries* Source) override;
};

} // namespace lp
