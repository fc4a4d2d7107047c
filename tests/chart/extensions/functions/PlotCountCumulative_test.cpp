// Count and cumulative over one source (whole, per period, per point) and
// across several sources of different lengths.

#include "chart/extensions/functions/PlotCountCumulative.h"

#include "chart/engine/PlotSeriesSource.h"
#include "tests/chart/extensions/functions/FunctionTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::YsOf;

// F over the points 0, 1, 2 .. of the first list, and then of every list.
std::vector<double> Computed(TPlotFunction* F, const std::vector<std::vector<double>>& Lists)
{
    test::TFunctionChart<> C(F);
    test::AddValues(*C.Source, Lists.front());
    for (size_t I = 1; I < Lists.size(); ++I) {
        auto* S = new TLineSeries(&C.Chart);
        C.Chart.AddSeries(S);
        test::AddValues(*S, Lists[I]);
        C.Output->DataSources().Add(S);
    }
    C.Refresh();
    return YsOf(*C.Output);
}

TEST(Cumulative, RunningTotalOfOneSourceAndAcrossSources)
{
    EXPECT_EQ(Computed(new TCumulative, {{1, 2, 3, 4}}), (std::vector<double>{1, 3, 6, 10}));
    // Point by point: each total adds every source that reaches the index.
    EXPECT_EQ(Computed(new TCumulative, {{1, 2, 3}, {10, 20}}), (std::vector<double>{11, 33, 36}));
}

TEST(Count, PointsPerPeriodWholeSourceAndSourcesAtAnIndex)
{
    EXPECT_EQ(Computed(new TCountPlotFunction, {{5, 5, 5, 5, 5, 5, 5}}), (std::vector<double>{7, 7}));
    auto* ByThree = new TCountPlotFunction;
    ByThree->InternalSetPeriod(3);
    // The walk leaves out a last period that is not full.
    EXPECT_EQ(Computed(ByThree, {{5, 5, 5, 5, 5, 5, 5}}), (std::vector<double>{3, 3}));
    EXPECT_EQ(Computed(new TCountPlotFunction, {{1, 2, 3}, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}}),
              (std::vector<double>{3, 3, 3, 2, 2}));
}

} // namespace
} // namespace lp
