// Labels, series sources and the data-source list.

#include "chart/engine/PlotSeriesSource.h"

#include "EngineTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TTestChart;

TEST(LabelsList, SettingPadsAndEmptyEntriesAreNoLabels)
{
    TLabelsList Labels(nullptr);
    Labels.SetLabel(5, "five");
    EXPECT_EQ(Labels.Count(), 6);
    EXPECT_EQ(Labels.GetLabel(3), "");
    EXPECT_EQ(Labels.GetLabel(5), "five");
    EXPECT_EQ(Labels.GetLabel(50), "");
    Labels.SetLabel(5, "");
    EXPECT_EQ(Labels.GetLabel(5), "");
    EXPECT_THROW(Labels.SetLabel(-1, "x"), ERangeError);
}

TEST(LabelsList, InsertingAndDeleting)
{
    TLabelsList Labels(nullptr);
    Labels.InsertLabel(0, "");
    EXPECT_EQ(Labels.Count(), 0);
    Labels.InsertLabel(2, "c");
    EXPECT_EQ(Labels.Count(), 3);
    Labels.InsertLabel(0, "");
    EXPECT_EQ(Labels.GetLabel(3), "c");
    Labels.DeleteLabel(0);
    Labels.DeleteLabel(99);
    EXPECT_EQ(Labels.GetLabel(2), "c");
    TLabelsList Copy(nullptr);
    Copy.SetLabel(0, "old");
    Copy.Assign(Labels);
    EXPECT_EQ(Copy.Count(), 3);
    EXPECT_EQ(Copy.GetLabel(0), "");
    EXPECT_EQ(Copy.GetLabel(2), "c");
}

// A source that fills its series with three points.
class TThreePointSource : public TPlotSeriesSource {
public:
    using TPlotSeriesSource::TPlotSeriesSource;
    void Load() override
    {
        ++Loads;
        Series()->Clear();
        for (int I = 0; I < 3; ++I)
            Series()->Add(I);
    }
    int Loads = 0;
};

TEST(PlotSeriesSource, ActivatingLoadsAndDeactivatingClears)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    TThreePointSource Source;
    Source.SetSeries(Series);
    EXPECT_EQ(Series->DataSource(), &Source);
    EXPECT_EQ(Series->Count(), 0);
    Source.Open();
    EXPECT_EQ(Series->Count(), 3);
    Source.Refresh();
    EXPECT_EQ(Source.Loads, 2);
    Source.Close();
    EXPECT_EQ(Series->Count(), 0);
    Source.SetKeepValues(true);
    Source.Open();
    Source.Close();
    EXPECT_EQ(Series->Count(), 3);
    EXPECT_TRUE(Source.HasSeries(Series));
}

TEST(PlotSeriesSource, ASeriesBeingDestroyedIsLeftAlone)
{
    TTestChart Chart;
    TThreePointSource Source;
    {
        auto* Series = new TChartSeries(&Chart);
        Chart.AddSeries(Series);
        Source.SetSeries(Series);
        Source.Open();
        delete Series;
    }
    EXPECT_EQ(Source.Series(), nullptr);
    Source.Close(); // nothing to clear, nothing to crash
}

TEST(PlotSeriesSource, TheOwnerSeriesFreesASourceItOwns)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    QPointer<TThreePointSource> Source = new TThreePointSource(Series);
    Source->SetSeries(Series);
    delete Series;
    EXPECT_TRUE(Source.isNull());
}

TEST(PlotSeriesSource, HasSeriesComparesClasses)
{
    TTestChart Chart;
    auto* A = new TChartSeries(&Chart);
    auto* B = new TChartSeries(&Chart);
    Chart.AddSeries(A);
    Chart.AddSeries(B);
    TThreePointSource Source;
    EXPECT_FALSE(Source.HasSeries(A));
    A->SetDataSource(B);
    EXPECT_FALSE(Source.HasSeries(A));
}

TEST(DataSourcesList, AddKeepsTheSourcesAndClearUnlinks)
{
    TTestChart Chart;
    auto* A = new TChartSeries(&Chart);
    auto* B = new TChartSeries(&Chart);
    auto* Sum = new TChartSeries(&Chart);
    for (TChartSeries* S : {A, B, Sum})
        Chart.AddSeries(S);
    A->Add(1);
    Sum->DataSources().Add(A);
    Sum->DataSources().Add(B);
    EXPECT_EQ(Sum->DataSources().Count(), 2);
    EXPECT_EQ(Sum->DataSource(), A);
    EXPECT_EQ(B->LinkedSeries().IndexOf(Sum), 0);
    EXPECT_EQ(Sum->DataSourceNames().size(), 2);
    Sum->DataSources().Clear();
    EXPECT_EQ(Sum->DataSources().Count(), 0);
    EXPECT_EQ(A->LinkedSeries().Count(), 0);
    EXPECT_EQ(B->LinkedSeries().Count(), 0);
    EXPECT_EQ(Sum->Count(), 0);
    TComponent Stranger;
    EXPECT_THROW(Sum->DataSources().Add(&Stranger), ChartException);
}

} // namespace
} // namespace lp
