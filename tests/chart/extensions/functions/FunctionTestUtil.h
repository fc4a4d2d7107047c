#pragma once
// Helpers of the analysis function tests: a source series feeding an output
// series through a function on one chart, and lists compared within a
// tolerance.

#include "chart/engine/PlotSeries.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace lp::test {

template <class TSource = TLineSeries, class TOutput = TLineSeries>
struct TFunctionChart {
    TTestChart Chart;
    TSource* Source = new TSource(&Chart);
    TOutput* Output = new TOutput(&Chart);

    // The output takes F (and owns it) with Source as its data source.
    explicit TFunctionChart(TPlotFunction* F)
    {
        Chart.AddSeries(Source);
        Chart.AddSeries(Output);
        Output->SetFunction(F);
        Output->SetDataSource(Source);
    }
    // Points (X[i], Y[i]) added to the source, then the output recomputed.
    void Fill(const std::vector<double>& X, const std::vector<double>& Y)
    {
        for (size_t I = 0; I < X.size(); ++I)
            Source->AddXY(X[I], Y[I]);
        Refresh();
    }
    // Adding points does not recompute a function's series.
    void Refresh() { Output->CheckDataSource(); }
};

inline void ExpectNear(const std::vector<double>& Actual, const std::vector<double>& Expected, double Tolerance = 1e-9)
{
    ASSERT_EQ(Actual.size(), Expected.size());
    for (size_t I = 0; I < Actual.size(); ++I)
        EXPECT_NEAR(Actual[I], Expected[I], Tolerance) << I;
}

} // namespace lp::test
