// Price compression: blocks of points, calendar and clock periods (bars
// never merging across periods that merely share a name), plain and price
// sources, labels, the date event and the volume pair.

#include "chart/extensions/financial/PlotCompress.h"

#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "platform/core/DateTimeFormat.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::YsOf;

double Date(int Year, int Month, int Day, int Hour = 0, int Minute = 0)
{
    return EncodeDateTime(Year, Month, Day, Hour, Minute, 0, 0);
}

std::vector<double> ValuesOf(const TChartValueList& List)
{
    std::vector<double> Result;
    for (int I = 0; I < List.Count(); ++I)
        Result.push_back(List.Value(I));
    return Result;
}

struct TCompressChart {
    test::TTestChart Chart;
    TLineSeries* Source = new TLineSeries(&Chart);
    TCandleSeries* Output = new TCandleSeries(&Chart);
    TCompressFunction* F = new TCompressFunction(&Chart);

    explicit TCompressChart(TCompressionPeriod Period = TCompressFunction::ocWeek)
    {
        Chart.AddSeries(Source);
        Chart.AddSeries(Output);
        Source->XValues()->SetOrder(loNone); // dates as given
        F->SetCompress(Period);
        Output->SetFunction(F);
    }
    // Source points (X[i], i + 1), then the output refilled.
    int Bars(const std::vector<double>& X)
    {
        Source->Clear();
        for (size_t I = 0; I < X.size(); ++I)
            Source->AddXY(X[I], static_cast<double>(I + 1));
        Output->SetDataSource(nullptr);
        Output->SetDataSource(Source);
        return Output->Count();
    }
};

TEST(Compress, BlocksOfPointsStartAtTheirFirstValue)
{
    TCompressChart C;
    C.F->SetPeriod(5);
    ASSERT_EQ(C.Bars({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), 3);
    EXPECT_EQ(ValuesOf(*C.Output->OpenValues()), (std::vector<double>{1, 6, 11}));
    EXPECT_EQ(YsOf(*C.Output), (std::vector<double>{5, 10, 12}));
    EXPECT_EQ(ValuesOf(*C.Output->HighValues()), (std::vector<double>{5, 10, 12}));
    EXPECT_EQ(ValuesOf(*C.Output->LowValues()), (std::vector<double>{1, 6, 11}));
    // Each bar is dated at its last point.
    EXPECT_EQ(test::XsOf(*C.Output), (std::vector<double>{4, 9, 11}));
    // A period below half a point counts as one point.
    C.F->SetPeriod(0.3);
    EXPECT_EQ(C.Output->Count(), 12);
}

TEST(Compress, PeriodsThatShareANameStayApart)
{
    struct TRow {
        TCompressionPeriod Period;
        std::vector<double> Dates;
        int Bars;
    };
    const TRow Rows[] = {
        // Monday 7 to Sunday 13 December 2026, then the next Monday.
        {TCompressFunction::ocWeek, {Date(2026, 12, 7), Date(2026, 12, 9), Date(2026, 12, 13)}, 1},
        {TCompressFunction::ocWeek, {Date(2026, 12, 7), Date(2026, 12, 13), Date(2026, 12, 14)}, 2},
        // Wednesdays of two consecutive weeks.
        {TCompressFunction::ocWeek, {Date(2026, 12, 9), Date(2026, 12, 16)}, 2},
        // Within a week an earlier weekday still starts a bar.
        {TCompressFunction::ocWeek, {Date(2026, 12, 10), Date(2026, 12, 8)}, 2},
        {TCompressFunction::ocMonth, {Date(2025, 3, 1), Date(2025, 3, 31), Date(2026, 3, 5)}, 2},
        {TCompressFunction::ocQuarter, {Date(2026, 1, 5), Date(2026, 3, 30), Date(2026, 4, 1)}, 2},
        {TCompressFunction::ocYear, {Date(2025, 1, 1), Date(2025, 12, 31), Date(2026, 1, 1)}, 2},
        {TCompressFunction::ocDay, {Date(2026, 1, 5, 1), Date(2026, 1, 5, 23), Date(2026, 1, 6, 1)}, 2},
        {TCompressFunction::ocHour, {Date(2026, 1, 5, 9), Date(2026, 1, 5, 9, 59), Date(2026, 1, 6, 9)}, 2},
        {TCompressFunction::ocFifteenMinutes, {Date(2026, 1, 5, 9), Date(2026, 1, 5, 9, 14), Date(2026, 1, 5, 9, 15)},
         2},
        {TCompressFunction::ocSixHour, {Date(2026, 1, 5, 0), Date(2026, 1, 5, 5, 59), Date(2026, 1, 5, 6)}, 2},
    };
    for (const TRow& Row : Rows) {
        TCompressChart C(Row.Period);
        EXPECT_EQ(C.Bars(Row.Dates), Row.Bars) << Row.Period << " " << Row.Dates.size();
    }
}

TEST(Compress, PriceSourceLabelsAndTheDateEvent)
{
    test::TTestChart Chart;
    auto* Prices = new TOHLCSeries(&Chart);
    Chart.AddSeries(Prices);
    Prices->AddOHLC(Date(2026, 12, 7), 10, 12, 9, 11);
    Prices->AddOHLC(Date(2026, 12, 8), 11, 15, 10, 14);
    Prices->AddOHLC(Date(2026, 12, 9), 14, 14, 7, 8);
    Prices->Labels().SetLabel(2, QStringLiteral("Wed"));
    auto* Output = new TCandleSeries(&Chart);
    Chart.AddSeries(Output);
    auto* F = new TCompressFunction(&Chart);
    Output->SetFunction(F);
    Output->SetDataSource(Prices);
    ASSERT_EQ(Output->Count(), 1);
    EXPECT_EQ(Output->OpenValues()->Value(0), 10);
    EXPECT_EQ(Output->HighValues()->Value(0), 15);
    EXPECT_EQ(Output->LowValues()->Value(0), 7);
    EXPECT_EQ(Output->CloseValues()->Value(0), 8);
    EXPECT_EQ(Output->Labels().GetLabel(0), QStringLiteral("Wed"));
    // The event moves each point a week on from the one before.
    F->OnGetDate = [](TPlotFunction*, TChartSeries*, int Index, double& D) { D += 7 * Index; };
    F->ReCalculate();
    EXPECT_EQ(Output->Count(), 3);
    // Dates are still the source's own.
    EXPECT_EQ(Output->DateValues()->Value(1), Date(2026, 12, 8));
}

TEST(Compress, VolumePairSumsPerBar)
{
    TCompressChart C;
    C.F->SetPeriod(2);
    C.Bars({0, 1, 2});
    TLineSeries Volume;
    test::AddValues(Volume, {100, 50});
    TLineSeries VolumeOut;
    C.F->CompressSeries(C.Source, &Volume, &VolumeOut);
    EXPECT_EQ(YsOf(VolumeOut), (std::vector<double>{150}));
    EXPECT_EQ(test::XsOf(VolumeOut), (std::vector<double>{1}));
    EXPECT_EQ(C.Output->Count(), 2);
    // Nothing for an output that holds no prices.
    TCompressChart Plain;
    auto* Line = new TLineSeries(&Plain.Chart);
    Plain.Chart.AddSeries(Line);
    auto* F = new TCompressFunction(&Plain.Chart);
    Line->SetFunction(F);
    Line->SetDataSource(Plain.Source);
    Plain.Source->AddXY(1, 1);
    F->ReCalculate();
    EXPECT_EQ(Line->Count(), 0);
}

} // namespace
} // namespace lp
