#include "../StoredNamesTable.h"

namespace lp::test {

namespace {

// Every function keeps how it walks its sources: the period length, whether
// it counts points or spans an X range, and where each result is placed.
const std::vector<const char*> FunctionBaseNames{"Period", "PeriodAlign", "PeriodStyle"};

// The average, median and mode may leave null points out of their results.
const std::vector<const char*> NullsNames{"IncludeNulls"};

// The deviation and the root mean square divide by the full count or one less.
const std::vector<const char*> CompleteNames{"Complete"};

} // namespace

void AddFunctionNames(std::vector<TStoredNamesRow>& Rows)
{
    // Basic functions: sums, extremes, averages and the user formula
    Rows.push_back({"TAddPlotFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TSubtractPlotFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TMultiplyPlotFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TDividePlotFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"THighPlotFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TLowPlotFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TAveragePlotFunction", JoinNames({FunctionBaseNames, NullsNames}), {}, {}});
    Rows.push_back({"TCustomPlotFunction", JoinNames({FunctionBaseNames, {"NumPoints", "StartX"}}), {}, {}});
    Rows.push_back({"TMedianPlotFunction", JoinNames({FunctionBaseNames, NullsNames}), {}, {}});
    Rows.push_back({"TModePlotFunction", JoinNames({FunctionBaseNames, NullsNames}), {}, {}});

    // Count and running total
    Rows.push_back({"TCountPlotFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TCumulative", FunctionBaseNames, {}, {}});

    // Statistical functions
    Rows.push_back({"TMovingAverageFunction", JoinNames({FunctionBaseNames, {"Weighted", "WeightedIndex"}}), {}, {}});
    Rows.push_back({"TExpAverageFunction", JoinNames({FunctionBaseNames, {"Weight"}}), {}, {}});
    Rows.push_back({"TExpMovAveFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TMomentumFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TMomentumDivFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TStdDeviationFunction", JoinNames({FunctionBaseNames, CompleteNames}), {}, {}});
    Rows.push_back({"TRMSFunction", JoinNames({FunctionBaseNames, CompleteNames}), {}, {}});
    Rows.push_back({"TVarianceFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TPerformanceFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TStochasticFunction", FunctionBaseNames, {}, {}});

    // Price indicators drawn with lines of their own
    Rows.push_back({"TADXFunction", JoinNames({FunctionBaseNames, {"DownLinePen", "UpLinePen"}}), {}, {}});
    Rows.push_back({"TRSIFunction", JoinNames({FunctionBaseNames, {"Style"}}), {}, {}});

    // Spline smoothing: the function, and the smoothing a contour series
    // applies to its lines
    Rows.push_back({"TSmoothingFunction", JoinNames({FunctionBaseNames, {"Factor", "Interpolate"}}), {}, {}});
    Rows.push_back({"TSmoothPoints", {"Active", "Interpolate"}, {}, {}});

    // Composite indicators
    Rows.push_back({"TMACDFunction",
                    JoinNames({FunctionBaseNames, {"Period2", "Period3", "MACDPen", "MACDExpPen", "HistogramPen"}}),
                    {},
                    {}});
    Rows.push_back({"TBollingerFunction",
                    JoinNames({FunctionBaseNames, {"Deviation", "Exponential", "LowBandPen", "UpperBandPen"}}),
                    {},
                    {}});
    Rows.push_back({"TCrossPointsFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TPerimeterFunction", FunctionBaseNames, {}, {}});

    // Point reduction and bar compression
    Rows.push_back({"TDownSamplingFunction", JoinNames({FunctionBaseNames, {"DownSampleMethod", "Tolerance"}}), {}, {}});
    Rows.push_back({"TCompressFunction", JoinNames({FunctionBaseNames, {"Compress"}}), {}, {}});

    // Volume-based and channel indicators
    Rows.push_back({"TCLVFunction", JoinNames({FunctionBaseNames, {"Accumulate", "Volume"}}), {}, {}});
    Rows.push_back({"TOBVFunction", JoinNames({FunctionBaseNames, {"Volume"}}), {}, {}});
    Rows.push_back({"TCCIFunction", JoinNames({FunctionBaseNames, {"Constant"}}), {}, {}});
    Rows.push_back({"TPVOFunction", JoinNames({FunctionBaseNames, {"Period2", "Percentage"}}), {}, {}});

    // Curve fitting, trends and correlation
    Rows.push_back({"TCurveFittingFunction",
                    JoinNames({FunctionBaseNames,
                               {"Factor", "FirstCalcPoint", "FirstPoint", "LastCalcPoint", "LastPoint", "PolyDegree",
                                "TypeFitting"}}),
                    {},
                    {}});
    Rows.push_back({"TTrendFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TExpTrendFunction", FunctionBaseNames, {}, {}});
    Rows.push_back({"TCorrelationFunction", FunctionBaseNames, {}, {}});
}

} // namespace lp::test
