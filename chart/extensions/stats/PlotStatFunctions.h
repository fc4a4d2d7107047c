#pragma once
// Statistical functions: one value per window of source points.
//
//   TPlotMovingFunction (one result per window of Period points)
//     ├─ TMovingAverageFunction  plain, weighted by X or by position
//     ├─ TExpAverageFunction     Weight of the last point, the rest the one
//     │                          before
//     ├─ TMomentumFunction, TMomentumDivFunction, TPerformanceFunction
//     └─ TStochasticFunction     close against the window's low-high span
//   TPlotFunction
//     ├─ TExpMovAveFunction      the whole exponential moving average
//     └─ TStdDeviationFunction, TRMSFunction, TVarianceFunction
//                                per period block, or across sources
//
// A window FirstIndex .. LastIndex of -1 .. -1 means the whole source. The
// values are the function's value list of the source (TPlotFunction::
// ValueList); the variance reads the mandatory list.

#include "chart/engine/PlotFunction.h"

#include <memory>
#include <vector>

namespace lp {

class TChartValueList;

class TMovingAverageFunction : public TPlotMovingFunction {
    Q_OBJECT
    Q_PROPERTY(bool Weighted READ Weighted WRITE SetWeighted)
    Q_CLASSINFO("default:Weighted", "false")
    Q_PROPERTY(bool WeightedIndex READ WeightedIndex WRITE SetWeightedIndex)
    Q_CLASSINFO("default:WeightedIndex", "false")

public:
    using TPlotMovingFunction::TPlotMovingFunction;
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TMovAveFuncEditor"); }
    bool Weighted() const { return FWeighted; }
    void SetWeighted(bool Value);
    bool WeightedIndex() const { return FWeightedIndex; }
    void SetWeightedIndex(bool Value);
    // EAssertionFailed "Period must be bigger than zero." for a period of 0.
    // Weighted (by X) wins over WeightedIndex (1, 2, 3, ...); a zero weight
    // sum gives 0.
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;

protected:
    bool WindowOnly() const override { return true; }

private:
    bool FWeighted = false;
    bool FWeightedIndex = false;
};

class TExpAverageFunction : public TPlotMovingFunction {
    Q_OBJECT
    Q_PROPERTY(double Weight READ Weight WRITE SetWeight)
    Q_CLASSINFO("default:Weight", "0.2")

public:
    using TPlotMovingFunction::TPlotMovingFunction;
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TExpAveFuncEditor"); }
    double Weight() const { return FWeight; }
    // ChartException outside 0 .. 1; the weight stays.
    void SetWeight(double Value);
    // Weight · V[L] + (1 - Weight) · V[L - 1]; V[0] at the first point.
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;

protected:
    bool WindowOnly() const override { return true; }

private:
    double FWeight = 0.2;
};

// E = V[0], then E = V[i] k + (1 - k) E with k = 2 / (Period + 1), one
// point per source point; nothing for fewer than two points.
class TExpMovAveFunction : public TPlotFunction {
    Q_OBJECT
    Q_CLASSINFO("default:Period", "10")
public:
    explicit TExpMovAveFunction(TComponent* AOwner = nullptr);
    // Without a period it computes nothing.
    bool PeriodRequired() const override { return true; }
    void AddPoints(TChartSeries* Source) override;
};

// A series off every chart whose points an exponential average of Period
// computes; Function is set to that average, which the series owns. Its X
// list keeps the order of adding (none), so the averages stand at the
// indexes of the source points they belong to.
std::unique_ptr<TChartSeries> CreateExpAverageSeries(double Period, TExpMovAveFunction*& Function);

// V[L] - V[F].
class TMomentumFunction : public TPlotMovingFunction {
    Q_OBJECT
public:
    using TPlotMovingFunction::TPlotMovingFunction;
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
protected:
    bool WindowOnly() const override { return true; }
};

// 100 V[L] / V[F]; 0 when V[F] is 0.
class TMomentumDivFunction : public TPlotMovingFunction {
    Q_OBJECT
public:
    using TPlotMovingFunction::TPlotMovingFunction;
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
protected:
    bool WindowOnly() const override { return true; }
};

// The sample deviation, or the population one with Complete; 0 for fewer
// than two values.
class TStdDeviationFunction : public TPlotFunction {
    Q_OBJECT
    Q_PROPERTY(bool Complete READ Complete WRITE SetComplete)
    Q_CLASSINFO("default:Complete", "false")

public:
    using TPlotFunction::TPlotFunction;
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TRMSFuncEditor"); }
    bool Complete() const { return FComplete; }
    void SetComplete(bool Value);
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;

private:
    double Deviation(const std::vector<double>& Values) const;
    bool FComplete = false;
};

// √(Σ v² / (N - 1)), or / N with Complete; 0 for fewer than two values.
class TRMSFunction : public TPlotFunction {
    Q_OBJECT
    Q_PROPERTY(bool Complete READ Complete WRITE SetComplete)
    Q_CLASSINFO("default:Complete", "false")

public:
    using TPlotFunction::TPlotFunction;
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TRMSFuncEditor"); }
    bool Complete() const { return FComplete; }
    void SetComplete(bool Value);
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;

private:
    double RootMeanSquare(const std::vector<double>& Values) const;
    bool FComplete = false;
};

// The population variance of the mandatory values.
class TVarianceFunction : public TPlotFunction {
    Q_OBJECT
public:
    using TPlotFunction::TPlotFunction;
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;
};

// 100 (V[L] - V[0]) / V[0]: always against the source's first value; 0 when
// that is 0.
class TPerformanceFunction : public TPlotMovingFunction {
    Q_OBJECT
public:
    using TPlotMovingFunction::TPlotMovingFunction;
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
protected:
    bool WindowOnly() const override { return true; }
};

// 100 (V[L] - lowest "Low") / (highest "High" - lowest "Low") over the
// window; 0 when the window's high equals its low.
class TStochasticFunction : public TPlotMovingFunction {
    Q_OBJECT
public:
    explicit TStochasticFunction(TComponent* AOwner = nullptr);
    void AddPoints(TChartSeries* Source) override;
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    // Numerator and denominator of each window's result, by its last index.
    const std::vector<double>& Nums() const { return FNums; }
    const std::vector<double>& Dens() const { return FDens; }

protected:
    bool WindowOnly() const override { return true; }

private:
    std::vector<double> FNums;
    std::vector<double> FDens;
};

// The statistics unit: the fourteen functions on the "Financial" and
// "Extended" pages and the two histograms on "Stats". Called by the
// extensions' start-up routine after the candle unit.
void RegisterStatisticsFunctions();
void UnregisterStatisticsFunctions();

} // namespace lp
