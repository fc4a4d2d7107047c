#pragma once
// The basic functions: add, subtract, multiply, divide, high, low, average,
// a user formula y = f(x), median and mode.
//
//   TPlotFunction ─┬─ TAddPlotFunction, THighPlotFunction, TLowPlotFunction
//                  ├─ TManySeriesPlotFunction ── Subtract, Multiply, Divide
//                  ├─ TAveragePlotFunction
//                  ├─ TCustomPlotFunction        (y = f(x), no source)
//                  └─ TCustomSortedFunction ──── Median, Mode
//
// Index ranges follow TPlotFunction::Calculate: -1 .. -1 means all points;
// an empty range gives 0; an index outside the source raises ERangeError.

#include "chart/engine/PlotFunction.h"

#include <functional>
#include <vector>

namespace lp {

// Sum of the values.
class TAddPlotFunction : public TPlotFunction {
    Q_OBJECT
public:
    using TPlotFunction::TPlotFunction;
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;
};

// Largest value.
class THighPlotFunction : public TPlotFunction {
    Q_OBJECT
public:
    using TPlotFunction::TPlotFunction;
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;
};

// Smallest value.
class TLowPlotFunction : public TPlotFunction {
    Q_OBJECT
public:
    using TPlotFunction::TPlotFunction;
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;
};

// Folds the value k of the sources in list order: the first source having
// point k starts, every further one is combined by CalculateValue.
class TManySeriesPlotFunction : public TPlotFunction {
    Q_OBJECT
public:
    using TPlotFunction::TPlotFunction;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;
    // Result combined with Value; 0 in the base.
    virtual double CalculateValue(double Result, double Value);
};

class TSubtractPlotFunction : public TManySeriesPlotFunction {
    Q_OBJECT
public:
    using TManySeriesPlotFunction::TManySeriesPlotFunction;
    double CalculateValue(double Result, double Value) override { return Result - Value; }
};

class TMultiplyPlotFunction : public TManySeriesPlotFunction {
    Q_OBJECT
public:
    using TManySeriesPlotFunction::TManySeriesPlotFunction;
    double CalculateValue(double Result, double Value) override { return Result * Value; }
};

// A zero divisor leaves the running result unchanged (no infinities).
class TDividePlotFunction : public TManySeriesPlotFunction {
    Q_OBJECT
public:
    using TManySeriesPlotFunction::TManySeriesPlotFunction;
    double CalculateValue(double Result, double Value) override { return Value == 0 ? Result : Result / Value; }
};

// Mean of the values; null points count as values unless IncludeNulls is off.
class TAveragePlotFunction : public TPlotFunction {
    Q_OBJECT
    Q_PROPERTY(bool IncludeNulls READ IncludeNulls WRITE SetIncludeNulls)
    Q_CLASSINFO("default:IncludeNulls", "true")
public:
    using TPlotFunction::TPlotFunction;
    void Assign(const TPersistent* Source) override;
    bool IncludeNulls() const { return FIncludeNulls; }
    void SetIncludeNulls(bool Value);
    QString GetEditorClassName() const override { return QStringLiteral("TAverageFuncEditor"); }
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;

private:
    bool FIncludeNulls = true;
};

// y = f(x) without a source: NumPoints points from StartX, Period apart,
// each Y given by OnCalculate. Recalculates on every refill of the parent.
class TCustomPlotFunction : public TPlotFunction {
    Q_OBJECT
    Q_CLASSINFO("default:Period", "1")
    Q_PROPERTY(int NumPoints READ NumPoints WRITE SetNumPoints)
    Q_CLASSINFO("default:NumPoints", "100")
    Q_PROPERTY(double StartX READ StartX WRITE SetStartX)
    Q_CLASSINFO("default:StartX", "0")
public:
    using TCalculateEvent = std::function<void(TCustomPlotFunction* Sender, double X, double& Y)>;

    explicit TCustomPlotFunction(TComponent* AOwner = nullptr);
    void Assign(const TPersistent* Source) override;

    int NumPoints() const { return FNumPoints; }
    // ChartException outside 0 .. MaxFunctionPoints; the old number stays.
    void SetNumPoints(int Value);
    // Raises what SetNumPoints raises for Value.
    static void CheckNumPoints(int Value);
    double StartX() const { return FStartX; }
    void SetStartX(double Value);
    const TCalculateEvent& OnCalculate() const { return FOnCalculate; }
    // Recalculates with the new formula.
    void SetOnCalculate(TCalculateEvent Value);
    // The X being calculated (valid inside OnCalculate).
    double CurrentX() const { return FX; }

    QString GetEditorClassName() const override { return QStringLiteral("TCustomFunctionEditor"); }
    // Ignores Source: clears the parent and adds the formula's points.
    void AddPoints(TChartSeries* Source) override;

private:
    int FNumPoints = 100;
    double FStartX = 0;
    double FX = 0;
    TCalculateEvent FOnCalculate;
};

// Collects the values of a range (or the value k of every source) in
// ascending order, then computes CalculateSorted over them. Skipped null
// points do not count: the sorted data hold only the values taken.
class TCustomSortedFunction : public TPlotFunction {
    Q_OBJECT
    Q_PROPERTY(bool IncludeNulls READ IncludeNulls WRITE SetIncludeNulls)
    Q_CLASSINFO("default:IncludeNulls", "true")
public:
    using TPlotFunction::TPlotFunction;
    void Assign(const TPersistent* Source) override;
    bool IncludeNulls() const { return FIncludeNulls; }
    void SetIncludeNulls(bool Value);
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;

    // The values of the last calculation, ascending.
    const std::vector<double>& SortedValues() const { return FSorted; }

protected:
    // The result over SortedValues(); 0 in the base.
    virtual double CalculateSorted();

private:
    // Inserts after equal values, keeping the order.
    void InsertSorted(double Value);
    bool FIncludeNulls = true;
    std::vector<double> FSorted;
};

// The middle value; the mean of the two middle values for an even count;
// 0 for no values.
class TMedianPlotFunction : public TCustomSortedFunction {
    Q_OBJECT
public:
    using TCustomSortedFunction::TCustomSortedFunction;

protected:
    double CalculateSorted() override;
};

// The most frequent value; the smaller one on a tie; 0 for no values.
class TModePlotFunction : public TCustomSortedFunction {
    Q_OBJECT
public:
    using TCustomSortedFunction::TCustomSortedFunction;

protected:
    double CalculateSorted() override;
};

// Registers the basic functions with their gallery texts (standard page).
void RegisterBasicFunctions();
void UnRegisterBasicFunctions();

} // namespace lp
