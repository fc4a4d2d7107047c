// The axis panel's data side: series management and events, automatic axis
// ranges, paging, colours and data sources.

#include "chart/engine/PlotAxisPanel.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotFunction.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TSeriesEventRecorder;
using test::TTestChart;

TEST(AxisPanelSeries, AddingAndRemovingTellsListeners)
{
    TTestChart Chart;
    TSeriesEventRecorder Events(Chart);
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Chart.AddSeries(Series); // already there: nothing
    Series->SetTitle("Log");
    Series->SetActive(false);
    Chart.RemoveSeries(Series);
    EXPECT_EQ(Events.Codes(),
              (std::vector<int>{seChangeColor, seAdd, seChangeTitle, seChangeActive, seRemove}));
    EXPECT_EQ(Series->ParentChart(), nullptr);
    EXPECT_EQ(Chart.SeriesCount(), 0);
    Chart.RemoveSeries(-1);
    Chart.SetSeriesEventsSuppressed(true);
    Chart.AddSeries(Series);
    EXPECT_EQ(Events.Entries.size(), 5u);
}

TEST(AxisPanelSeries, MovingASeriesBetweenCharts)
{
    TTestChart First;
    TTestChart Second;
    auto* Series = new TChartSeries(&First);
    First.AddSeries(Series);
    Second.AddSeries(Series);
    EXPECT_EQ(First.SeriesCount(), 0);
    EXPECT_EQ(Second.SeriesCount(), 1);
    EXPECT_EQ(Series->GetHorizAxis(), Second.BottomAxis());
}

TEST(AxisPanelSeries, FreeAllSeriesByClass)
{
    class TOtherSeries : public TChartSeries {
        using TChartSeries::TChartSeries;
    };
    TTestChart Chart;
    QPointer<TChartSeries> Plain = new TChartSeries(&Chart);
    Chart.AddSeries(Plain);
    Chart.AddSeries(new TChartSeries(&Chart));
    EXPECT_EQ(Chart.CountActiveSeries(), 2);
    Chart.FreeAllSeries(&TChartSeries::staticMetaObject);
    EXPECT_EQ(Chart.SeriesCount(), 0);
    EXPECT_TRUE(Plain.isNull());
}

TEST(AxisPanelSeries, LegendTitlesCountByCheckMode)
{
    TTestChart Chart;
    std::vector<TChartSeries*> All;
    for (int I = 0; I < 4; ++I) {
        All.push_back(new TChartSeries(&Chart));
        All.back()->SetTitle("S" + QString::number(I));
        Chart.AddSeries(All.back());
    }
    All[0]->SetShowInLegend(false);
    All[1]->SetActive(false);
    All[2]->SetHorizontalExcluded(true);
    EXPECT_EQ(Chart.SeriesTitleLegend(0), "S2");
    EXPECT_EQ(Chart.SeriesTitleLegend(0, false), "S1");
    Chart.SetLegendCheckMode(1);
    EXPECT_EQ(Chart.SeriesTitleLegend(0), "S1");
    EXPECT_EQ(Chart.SeriesTitleLegend(1), "S3");
    Chart.SetLegendCheckMode(7);
    EXPECT_EQ(Chart.SeriesTitleLegend(0), "");
}

// --- Automatic ranges ----------------------------------------------------------------------------

TEST(AxisPanelRanges, AnEmptyChartHasZeroRanges)
{
    TTestChart Chart;
    EXPECT_EQ(Chart.MinXValue(Chart.BottomAxis()), 0);
    EXPECT_EQ(Chart.MaxYValue(Chart.LeftAxis()), 0);
    EXPECT_EQ(Chart.GetMaxValuesCount(), 0);
    EXPECT_EQ(Chart.NumPages(), 1);
    EXPECT_TRUE(Chart.AxisHasActiveSeries(Chart.LeftAxis(), true));
}

TEST(AxisPanelRanges, RangesSpanTheSeriesOnEachAxis)
{
    TTestChart Chart;
    auto* Left = new TChartSeries(&Chart);
    auto* Right = new TChartSeries(&Chart);
    Chart.AddSeries(Left);
    Chart.AddSeries(Right);
    Right->SetVertAxis(aRightAxis);
    Left->AddXY(1, -5);
    Left->AddXY(4, 5);
    Right->AddXY(-2, 100);
    EXPECT_EQ(Chart.MinYValue(Chart.LeftAxis()), -5);
    EXPECT_EQ(Chart.MaxYValue(Chart.LeftAxis()), 5);
    EXPECT_EQ(Chart.MaxYValue(Chart.RightAxis()), 100);
    EXPECT_EQ(Chart.MinXValue(Chart.BottomAxis()), -2);
    EXPECT_EQ(Chart.MaxXValue(Chart.BottomAxis()), 4);
    Right->SetHorizontalExcluded(true);
    EXPECT_EQ(Chart.MinXValue(Chart.BottomAxis()), 1);
    // Inactive series count only when no active series uses the axis.
    Right->SetActive(false);
    EXPECT_EQ(Chart.MaxYValue(Chart.RightAxis()), 100);
    EXPECT_FALSE(Chart.AxisHasActiveSeries(Chart.RightAxis(), true));
    EXPECT_FALSE(Chart.IsAxisVisible(Chart.RightAxis()));
    EXPECT_TRUE(Chart.IsAxisVisible(Chart.LeftAxis()));
    EXPECT_FALSE(Chart.IsAxisVisible(Chart.DepthAxis()));
}

TEST(AxisPanelRanges, DepthAxisSpansTheZOrders)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Chart.SetMaxZOrder(2);
    EXPECT_EQ(Chart.MinXValue(Chart.DepthAxis()), -0.5);
    EXPECT_EQ(Chart.MaxXValue(Chart.DepthAxis()), 2.5);
}

TEST(AxisPanelRanges, AFixedAxisUsesItsLimits)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->AddXY(0, 0);
    Series->AddXY(10, 10);
    Chart.LeftAxis()->SetMinMax(5, 5);
    EXPECT_FALSE(Chart.LeftAxis()->Automatic());
    EXPECT_DOUBLE_EQ(Chart.LeftAxis()->Maximum(), 5 + 1e-10);
    test::PlaceAxes(Chart, TRect{0, 0, 100, 100});
    EXPECT_EQ(Chart.LeftAxis()->CalcMinimum(), 5);
    EXPECT_EQ(Chart.BottomAxis()->CalcMaximum(), 10);
    EXPECT_THROW(Chart.LeftAxis()->SetMinimum(10), AxisException);
}

// --- Paging -------------------------------------------------------------------------------------

TEST(AxisPanelPaging, PagesAndTheShortLastPage)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    for (int I = 0; I < 25; ++I)
        Series->Add(I);
    TSeriesEventRecorder Events(Chart);
    int PageEvents = 0;
    Chart.OnPageChange = [&](QObject*) { ++PageEvents; };
    Chart.SetMaxPointsPerPage(10);
    EXPECT_EQ(Chart.NumPages(), 3);
    Chart.SetPage(0);
    EXPECT_EQ(Chart.Page(), 1);
    Chart.SetPage(99);
    EXPECT_EQ(Chart.Page(), 3);
    EXPECT_EQ(PageEvents, 2);
    EXPECT_GE(Events.PageChanges, 3);
    EXPECT_EQ(Chart.MinXValue(Chart.BottomAxis()), 20);
    EXPECT_EQ(Chart.MaxXValue(Chart.BottomAxis()), 24);
    Chart.SetScaleLastPage(false);
    EXPECT_EQ(Chart.MaxXValue(Chart.BottomAxis()), 20 + 4.0 * 10 / 5);
    Chart.SetMaxPointsPerPage(30);
    EXPECT_EQ(Chart.Page(), 1);
    EXPECT_THROW(Chart.SetMaxPointsPerPage(-1), ChartException);
    EXPECT_EQ(Chart.MaxPointsPerPage(), 30);
}

// --- Colours -----------------------------------------------------------------------------------

TEST(AxisPanelColors, DefaultColoursWrapTheOwnPalette)
{
    TTestChart Chart;
    EXPECT_EQ(Chart.GetDefaultColor(1), GetPaletteColor(1));
    Chart.SetColorPalette({clRed, clGreen, clBlue});
    EXPECT_EQ(Chart.GetDefaultColor(3), clRed);
    EXPECT_EQ(Chart.GetDefaultColor(5), clBlue);
}

TEST(AxisPanelColors, FreeColoursAndTheLastResort)
{
    TTestChart Chart;
    Chart.SetColorPalette({clRed, clGreen, clBlue});
    std::vector<TChartSeries*> All;
    for (int I = 0; I < 4; ++I) {
        All.push_back(new TChartSeries(&Chart));
        Chart.AddSeries(All.back());
    }
    EXPECT_EQ(All[0]->GetSeriesColor(), clRed);
    EXPECT_EQ(All[1]->GetSeriesColor(), clGreen);
    EXPECT_EQ(All[2]->GetSeriesColor(), clBlue);
    EXPECT_EQ(All[3]->GetSeriesColor(), clBlue); // every colour taken: the last one
    All[1]->SetEffectiveColor(clPlotColor);
    Chart.AssignFreeSeriesColors();
    EXPECT_EQ(All[1]->GetSeriesColor(), clGreen);
}

TEST(AxisPanelSettings, Chart3DPercentRefusesOutOfRange)
{
    TTestChart Chart;
    try {
        Chart.SetChart3DPercent(101);
        FAIL() << "accepted";
    } catch (const ChartException& E) {
        EXPECT_EQ(E.Message(), "3D effect percent must be between 1 and 100");
    }
    EXPECT_EQ(Chart.Chart3DPercent(), 15);
    Chart.SetChart3DPercent(1);
    EXPECT_EQ(Chart.Chart3DPercent(), 1);
}

// --- Data sources -------------------------------------------------------------------------------

// A function that fills its parent from nothing each refill.
class TCountFunction : public TPlotFunction {
public:
    explicit TCountFunction(TComponent* AOwner = nullptr) : TPlotFunction(AOwner) { SetRecalculateOnRefill(true); }
    void AddPoints(TChartSeries*) override
    {
        ++Runs;
        ParentSeries()->Add(Runs);
    }
    int Runs = 0;
};

TEST(AxisPanelDataSources, RefillsByTheKindOfSource)
{
    TTestChart Chart;
    auto* Computed = new TChartSeries(&Chart);
    Chart.AddSeries(Computed);
    auto* Function = new TCountFunction();
    Computed->SetFunction(Function);
    EXPECT_EQ(Function->Runs, 1);
    EXPECT_EQ(Computed->Count(), 1);
    Chart.CheckDataSource(Computed);
    EXPECT_EQ(Computed->Count(), 1);
    EXPECT_EQ(Computed->YValues()->Value(0), 2);

    auto* Plain = new TChartSeries(&Chart);
    Chart.AddSeries(Plain);
    EXPECT_EQ(Plain->Count(), 0); // no sample data outside the designer
    TCustomAxisPanel::FillSampleValuesAtRunTime = true;
    Chart.CheckDataSource(Plain);
    TCustomAxisPanel::FillSampleValuesAtRunTime = false;
    EXPECT_EQ(Plain->Count(), 25);
}

TEST(AxisPanelDataSources, ValidityAndCycles)
{
    TTestChart Chart;
    auto* A = new TChartSeries(&Chart);
    auto* B = new TChartSeries(&Chart);
    Chart.AddSeries(A);
    Chart.AddSeries(B);
    TComponent Stranger;
    EXPECT_TRUE(Chart.IsValidDataSource(A, B));
    EXPECT_FALSE(Chart.IsValidDataSource(A, A));
    EXPECT_FALSE(Chart.IsValidDataSource(A, &Stranger));
    B->SetDataSource(A);
    EXPECT_THROW(Chart.CheckOtherSeries(A, B), ChartException);
    EXPECT_NO_THROW(Chart.CheckOtherSeries(B, A));
}

} // namespace
} // namespace lp
