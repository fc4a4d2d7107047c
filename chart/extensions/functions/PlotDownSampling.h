#pragma once
// Fewer points for drawing a long series.
//
//   TPlotFunction
//     └─ TDownSamplingFunction  the source reduced by DownSample
//
// dsDouglas keeps the points that the line needs to stay within Tolerance
// of the source (Douglas-Peucker on squared distances, the first of equal
// distances kept). Its spans are walked from an explicit stack: a long
// series would overflow the call stack by recursion. The grouping methods
// gather runs of points whose X lies less than Tolerance from the run's
// first X and put one point (two for dsMinMax) in their place.

#include "chart/engine/PlotFunction.h"

#include <vector>

namespace lp {

class TDownSamplingFunction : public TPlotFunction {
    Q_OBJECT
public:
    enum TDownSampleMethod : quint8 { dsDouglas, dsMax, dsMin, dsMinMax, dsAverage };
    Q_ENUM(TDownSampleMethod)

private:
    Q_PROPERTY(TDownSampleMethod DownSampleMethod READ DownSampleMethod WRITE SetDownSampleMethod)
    Q_CLASSINFO("default:DownSampleMethod", "dsDouglas")
    Q_PROPERTY(double Tolerance READ Tolerance WRITE SetTolerance)
    Q_CLASSINFO("default:Tolerance", "1")
    Q_CLASSINFO("default:Period", "1")

public:
    explicit TDownSamplingFunction(TComponent* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    // Replaces the parent's points by the reduced source (X and Y in value
    // units, each pair through AddXY); an empty source leaves it empty.
    void AddPoints(TChartSeries* Source) override;

    TDownSampleMethod DownSampleMethod() const { return FMethod; }
    void SetDownSampleMethod(TDownSampleMethod Value);
    double Tolerance() const { return FTolerance; }
    // Stored as max(Value, 0); recalculates on a change.
    void SetTolerance(double Value);
    // The number of points of the last calculation.
    int OutputCount() const { return FOutputCount; }

private:
    TDownSampleMethod FMethod = dsDouglas;
    double FTolerance = 1;
    int FOutputCount = 0;
};

using TDownSampleMethod = TDownSamplingFunction::TDownSampleMethod;
inline constexpr TDownSampleMethod dsDouglas = TDownSamplingFunction::dsDouglas;
inline constexpr TDownSampleMethod dsMax = TDownSamplingFunction::dsMax;
inline constexpr TDownSampleMethod dsMin = TDownSamplingFunction::dsMin;
inline constexpr TDownSampleMethod dsMinMax = TDownSamplingFunction::dsMinMax;
inline constexpr TDownSampleMethod dsAverage = TDownSamplingFunction::dsAverage;

// Points as two parallel lists of equal length.
struct TXYList {
    std::vector<double> X;
    std::vector<double> Y;
    size_t Size() const { return X.size(); }
};

// Points reduced by Method. dsDouglas needs two points (else nothing);
// the grouping methods return every group, dsMinMax as (first X, minimum)
// then (last X, maximum). A negative Tolerance counts as 0.
TXYList DownSample(const TXYList& Points, TDownSampleMethod Method, double Tolerance);

// "Downsampling" on the "Extended" gallery page.
void RegisterDownSamplingFunction();
void UnregisterDownSamplingFunction();

} // namespace lp
