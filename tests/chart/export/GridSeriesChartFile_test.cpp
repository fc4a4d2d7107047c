// Grid series made by a change of type from a line series fed by a
// down-sampling, their data set over a grid whose index range is huge but
// sparse, saved to the chart file (binary and text) and reopened.

#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/functions/PlotDownSampling.h"
#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "chart/extensions/grid3d/PlotContourSeries.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "chart/extensions/grid3d/PlotTowerSeries.h"
#include "chart/extensions/grid3d/PlotWaterFallSeries.h"
#include "ExportTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace lp {
namespace {

struct TXYZ {
    double X, Y, Z;
    bool operator==(const TXYZ&) const = default;
};

std::vector<TXYZ> PointsOf(TChartSeries& S)
{
    auto& Grid = *qobject_cast<TCustom3DGridSeries*>(&S);
    std::vector<TXYZ> Points;
    for (int I = 0; I < S.Count(); ++I)
        Points.push_back({S.XValues()->Value(I), S.YValues()->Value(I), Grid.ZValues()->Value(I)});
    return Points;
}

TEST(GridSeriesChartFile, ASparseGridMadeByATypeChangeReopens)
{
    // Regression: a tower made from a line series fed by a down-sampling,
    // its points at X 3 .. 10102410, saved and reopened: "Error reading
    // NumXValues: The grid of 10102410 by 10 nodes is too large to index"
    // (the reader checked the written width against the default depth,
    // before the written depth was read).
    for (TChartSeriesClass Kind :
         {&TTowerSeries::staticMetaObject, &TSurfaceSeries::staticMetaObject, &TContourSeries::staticMetaObject,
          &TColorGridSeries::staticMetaObject, &TWaterFallSeries::staticMetaObject}) {
        SCOPED_TRACE(Kind->className());
        TChart Chart;
        Chart.SetBounds(0, 0, 500, 400);
        TChartSeries* Source = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
        Source->FillSampleValues(12);
        TChartSeries* Series =
            CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject, &TDownSamplingFunction::staticMetaObject);
        Series->SetDataSource(Source);
        ChangeSeriesType(Series, Kind);
        auto* Grid = qobject_cast<TCustom3DGridSeries*>(Series);
        ASSERT_NE(Grid, nullptr);
        Grid->Clear();
        const std::array<double, 3> Xs{3, 5, 10102410};
        for (int Z = 1; Z <= 2; ++Z)
            for (const double X : Xs)
                Grid->AddXYZ(X, X / 1e6 + Z, Z);
        // The index a paint builds first: 10102408 columns by 2 rows.
        Grid->FillGridIndex();
        ASSERT_EQ(Grid->NumXValues(), 10102408);
        ASSERT_EQ(Grid->NumZValues(), 2);
        for (const bool Text : {false, true}) {
            SCOPED_TRACE(Text ? "text" : "binary");
            TChart Reopened;
            test::ReadChartFileExpectingNoError(Reopened, test::SaveChartFile(Chart, Text));
            ASSERT_EQ(Reopened.SeriesCount(), 2);
            auto* Copy = qobject_cast<TCustom3DGridSeries*>(Reopened.Series(1));
            ASSERT_NE(Copy, nullptr);
            EXPECT_EQ(Copy->metaObject(), Kind);
            EXPECT_EQ(PointsOf(*Copy), PointsOf(*Grid));
            EXPECT_EQ(Copy->NumXValues(), Grid->NumXValues());
            EXPECT_EQ(Copy->NumZValues(), Grid->NumZValues());
            Copy->FillGridIndex();
            EXPECT_EQ(Copy->GridIndex(Copy->GridColumns() - 1, 2), 5);
        }
    }
}

TEST(GridSeriesChartFile, ASizeBeyondTheIndexIsRefusedAndChangesNothing)
{
    TTowerSeries Tower;
    Tower.SetNumZValues(2);
    Tower.SetNumXValues(10102408);
    EXPECT_THROW(Tower.SetNumZValues(10), ChartException);
    EXPECT_EQ(Tower.NumXValues(), 10102408);
    EXPECT_EQ(Tower.NumZValues(), 2);
}

} // namespace
} // namespace lp
