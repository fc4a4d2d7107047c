#pragma once
// The number of points and the running total.
//
//   TPlotFunction
//     ├─ TCountPlotFunction  points per period (or in the whole source), or
//     │                      how many sources reach a point index
//     └─ TCumulative         one running total per source point, or across
//                            sources the total of every source so far
//
// The values read are the function's value list of each source
// (TPlotFunction::ValueList).

#include "chart/engine/PlotFunction.h"

namespace lp {

class TCountPlotFunction : public TPlotFunction {
    Q_OBJECT
public:
    using TPlotFunction::TPlotFunction;
    // LastIndex - FirstIndex + 1; the source's count for FirstIndex -1.
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    // The sources that have a value at ValueIndex.
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;
};

class TCumulative : public TPlotFunction {
    Q_OBJECT
    Q_CLASSINFO("default:Period", "1")
public:
    explicit TCumulative(TComponent* AOwner = nullptr);
    // The parent's last value (from FirstIndex 1 on) plus the value at
    // FirstIndex; 0 for the whole source (FirstIndex -1).
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    // The parent's value at ValueIndex - 1 plus every source's value at
    // ValueIndex.
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;

private:
    // The parent's mandatory value at Index; 0 when it has none there.
    double ParentValue(int Index) const;
};

// "Count" as a basic function, "Cumulative" on the "Extended" page.
void RegisterCountCumulativeFunctions();
void UnregisterCountCumulativeFunctions();

} // namespace lp
