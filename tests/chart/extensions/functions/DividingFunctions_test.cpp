// Every function that divides or takes logarithms, fed prices and values
// holding zeros (and values whose quotients leave the doubles): a point it
// cannot compute is a null point, never ±inf or NaN in its series.

#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/financial/PlotOscillators.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"
#include "chart/extensions/financial/PlotVolumeIndicators.h"
#include "chart/extensions/functions/PlotCountCumulative.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "chart/extensions/functions/PlotDownSampling.h"
#include "chart/extensions/functions/PlotSmoothing.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"
#include "chart/extensions/stats/PlotStatFunctions.h"
#include "tests/chart/extensions/functions/FunctionTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace lp {
namespace {

using TMake = std::function<TPlotFunction*()>;

template <class T> TMake Make(double Period = -1)
{
    return [Period] {
        auto* F = new T;
        if (Period >= 0)
            F->InternalSetPeriod(Period);
        return F;
    };
}

struct TDividing {
    const char* Name;
    TMake Create;
};

const TDividing Functions[] = {
    {"divide", Make<TDividePlotFunction>()},
    {"average", Make<TAveragePlotFunction>()},
    {"average by 2", Make<TAveragePlotFunction>(2)},
    {"moving average", Make<TMovingAverageFunction>(2)},
    {"exponential average", Make<TExpAverageFunction>(2)},
    {"exponential moving average", Make<TExpMovAveFunction>(2)},
    {"momentum division", Make<TMomentumDivFunction>(2)},
    {"performance", Make<TPerformanceFunction>()},
    {"standard deviation", Make<TStdDeviationFunction>(2)},
    {"root mean square", Make<TRMSFunction>(2)},
    {"variance", Make<TVarianceFunction>(2)},
    {"stochastic", Make<TStochasticFunction>(2)},
    {"relative strength", Make<TRSIFunction>(2)},
    {"directional movement", Make<TADXFunction>(2)},
    {"moving average convergence", Make<TMACDFunction>(3)},
    {"Bollinger bands", Make<TBollingerFunction>(2)},
    {"commodity channel", Make<TCCIFunction>(2)},
    {"volume oscillator", Make<TPVOFunction>(1)},
    {"close location", Make<TCLVFunction>()},
    {"on balance volume", Make<TOBVFunction>()},
    {"curve fitting", Make<TCurveFittingFunction>()},
    {"trend", Make<TTrendFunction>()},
    {"exponential trend", Make<TExpTrendFunction>()},
    {"correlation", Make<TCorrelationFunction>()},
    {"smoothing", Make<TSmoothingFunction>()},
    {"down sampling", Make<TDownSamplingFunction>(2)},
};

// Prices (open = high = low = close = each value) at X 0, 1, ...
const std::vector<std::vector<double>> Data = {
    {0, 0, 0, 0, 0, 0},
    {0, 1, 0, 2, 0, 0},
    {1, 0, -1, 0, 1, 0},
    {1e-310, 1e308, 0, -1e308, 1e-310, 0},
};

void ExpectOnlyFiniteOrNullPoints(const TChartSeries& Output)
{
    for (int I = 0; I < Output.Count(); ++I) {
        if (Output.IsNull(I))
            continue;
        EXPECT_TRUE(std::isfinite(Output.XValues()->Value(I))) << "point " << I;
        EXPECT_TRUE(std::isfinite(Output.YValues()->Value(I)))
            << "point " << I << ": " << Output.YValues()->Value(I);
    }
}

TEST(DividingFunctions, PointsTheyCannotComputeAreNullNeverInfinite)
{
    for (const TDividing& Row : Functions)
        for (size_t D = 0; D < Data.size(); ++D) {
            SCOPED_TRACE(testing::Message() << Row.Name << ", data " << D);
            test::TFunctionChart<TCandleSeries> C(Row.Create());
            for (size_t I = 0; I < Data[D].size(); ++I) {
                const double V = Data[D][I];
                C.Source->AddOHLC(static_cast<double>(I), V, V, V, V);
            }
            C.Refresh();
            ExpectOnlyFiniteOrNullPoints(*C.Output);
        }
}

TEST(DividingFunctions, ADivisorOfZeroOrAQuotientPastTheDoubles)
{
    // Across two sources: the divisor's zeros and a quotient beyond the
    // doubles (1e308 / 1e-10).
    test::TFunctionChart<> C(new TDividePlotFunction);
    auto* Divisor = new TLineSeries(&C.Chart);
    C.Chart.AddSeries(Divisor);
    C.Output->DataSources().Add(Divisor);
    test::AddValues(*C.Source, {1, 1e308, 0, 3});
    test::AddValues(*Divisor, {0, 1e-10, 0, 1.5});
    C.Refresh();
    ASSERT_EQ(C.Output->Count(), 4);
    ExpectOnlyFiniteOrNullPoints(*C.Output);
    EXPECT_TRUE(C.Output->IsNull(1));
    EXPECT_DOUBLE_EQ(C.Output->YValues()->Value(3), 2);
}

} // namespace
} // namespace lp
