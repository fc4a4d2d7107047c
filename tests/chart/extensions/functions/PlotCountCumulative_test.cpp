// Count and cumulative over one source (whole, per period, per point) and
// across several sources of different lengths.

#include "chart/extensions/functions/PlotCountCumulative.h"

#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::AddValues;
using test::YsOf;

struct TSourcesChart {
    test::TTestChart Chart;
    TLineSeries* Output = new TLineSeries(&Chart);
    std::vector<TLineSeries*> Sources;

    TSourcesChart(TPlotFunction* F, const std::vector<std::vector<double>>& Values)
    {
        for (const std::vector<double>& V : Values) {
            auto* S = new TLineSeries(&Chart);
            Chart.AddSeries(S);
            AddValues(*S, V);
            Sources.push_back(S);
        }
        Chart.AddSeries(Output);
        Output->SetFunction(F);
        for (TLineSeries* S : Sources)
            Output->DataSources().Add(S);
        Output->CheckDataSource();
    }
};

TEST(Cumulative, RunningTotalOfOneSourceAndAcrossSources)
{
    TSourcesChart One(new TCumulative, {{1, 2, 3, 4}});
    EXPECT_EQ(YsOf(*One.Output), (std::vector<double>{1, 3, 6, 10}));
    // Point by point: each total adds every source that reaches the index.
    TSourcesChart Many(new TCumulative, {{1, 2, 3}, {10, 20}});
    EXPECT_EQ(YsOf(*Many.Output), (std::vector<double>{11, 33, 36}));
    // Over the whole source at once there is no running value.
    TCumulative Whole;
    EXPECT_EQ(Whole.Calculate(One.Sources[0], -1, -1), 0);
}

TEST(Count, PointsPerPeriodWholeSourceAndSourcesAtAnIndex)
{
    auto* Whole = new TCountPlotFunction;
    TSourcesChart One(Whole, {{5, 5, 5, 5, 5, 5, 5}});
    EXPECT_EQ(YsOf(*One.Output), (std::vector<double>{7, 7}));
    Whole->SetPeriod(3);
    // The walk leaves out a last period that is not full.
    EXPECT_EQ(YsOf(*One.Output), (std::vector<double>{3, 3}));
    TSourcesChart Many(new TCountPlotFunction, {{1, 2, 3}, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}});
    EXPECT_EQ(YsOf(*Many.Output), (std::vector<double>{3, 3, 3, 2, 2}));
}

} // namespace
} // namespace lp
