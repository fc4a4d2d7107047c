// Price compression: blocks of points, calendar and clock periods (bars
// never merging across periods that merely share a name), plain and price
// sources, labels, the date event and the volume pair.

#include "chart/extensions/financial/PlotCompress.h"

#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "platform/core/DateTimeFormat.h"
#include "tests/chart/extensions/functions/FunctionTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::XsOf;
using test::YsOf;
using F = TCompressFunction;

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

// Source points (Dates[i], i + 1) in the order given, compressed by Period.
struct TCompressChart : test::TFunctionChart<TLineSeries, TCandleSeries> {
    TCompressFunction* Compress;

    TCompressChart(TCompressionPeriod Period, const std::vector<double>& Dates) : TFunctionChart(new F)
    {
        Compress = static_cast<F*>(Output->SeriesFunction());
        Compress->SetCompress(Period);
        Source->XValues()->SetOrder(loNone);
        for (size_t I = 0; I < Dates.size(); ++I)
            Source->AddXY(Dates[I], static_cast<double>(I + 1));
        Refresh();
    }
};

TEST(Compress, BlocksOfPointsStartAtTheirFirstValue)
{
    TCompressChart C(F::ocWeek, {});
    C.Compress->SetPeriod(5);
    test::AddValues(*C.Source, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    C.Refresh();
    EXPECT_EQ(ValuesOf(*C.Output->OpenValues()), (std::vector<double>{1, 6, 11}));
    EXPECT_EQ(ValuesOf(*C.Output->HighValues()), (std::vector<double>{5, 10, 12}));
    EXPECT_EQ(ValuesOf(*C.Output->LowValues()), (std::vector<double>{1, 6, 11}));
    EXPECT_EQ(YsOf(*C.Output), (std::vector<double>{5, 10, 12}));
    EXPECT_EQ(XsOf(*C.Output), (std::vector<double>{4, 9, 11})); // dated at the last point
    // A period below half a point counts as one point.
    C.Compress->SetPeriod(0.3);
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
        {F::ocWeek, {Date(2026, 12, 7), Date(2026, 12, 9), Date(2026, 12, 13)}, 1},
        {F::ocWeek, {Date(2026, 12, 7), Date(2026, 12, 13), Date(2026, 12, 14)}, 2},
        // Wednesdays of two consecutive weeks.
        {F::ocWeek, {Date(2026, 12, 9), Date(2026, 12, 16)}, 2},
        // Within a week an earlier weekday still starts a bar.
        {F::ocWeek, {Date(2026, 12, 10), Date(2026, 12, 8)}, 2},
        {F::ocMonth, {Date(2025, 3, 1), Date(2025, 3, 31), Date(2026, 3, 5)}, 2},
        {F::ocQuarter, {Date(2026, 1, 5), Date(2026, 3, 30), Date(2026, 4, 1)}, 2},
        {F::ocYear, {Date(2025, 1, 1), Date(2025, 12, 31), Date(2026, 1, 1)}, 2},
        {F::ocDay, {Date(2026, 1, 5, 1), Date(2026, 1, 5, 23), Date(2026, 1, 6, 1)}, 2},
        {F::ocHour, {Date(2026, 1, 5, 9), Date(2026, 1, 5, 9, 59), Date(2026, 1, 6, 9)}, 2},
        {F::ocFifteenMinutes, {Date(2026, 1, 5, 9), Date(2026, 1, 5, 9, 14), Date(2026, 1, 5, 9, 15)}, 2},
        {F::ocSixHour, {Date(2026, 1, 5, 0), Date(2026, 1, 5, 5, 59), Date(2026, 1, 5, 6)}, 2},
    };
    for (const TRow& Row : Rows)
        EXPECT_EQ(TCompressChart(Row.Period, Row.Dates).Output->Count(), Row.Bars)
            << Row.Period << " " << Row.Dates.size();
}

TEST(Compress, PriceSourceLabelsAndTheDateEvent)
{
    test::TFunctionChart<TOHLCSeries, TCandleSeries> C(new F);
    C.Source->AddOHLC(Date(2026, 12, 7), 10, 12, 9, 11);
    C.Source->AddOHLC(Date(2026, 12, 8), 11, 15, 10, 14);
    C.Source->AddOHLC(Date(2026, 12, 9), 14, 14, 7, 8);
    C.Source->Labels().SetLabel(2, QStringLiteral("Wed"));
    C.Refresh();
    ASSERT_EQ(C.Output->Count(), 1);
    EXPECT_EQ(C.Output->OpenValues()->Value(0), 10);
    EXPECT_EQ(C.Output->HighValues()->Value(0), 15);
    EXPECT_EQ(C.Output->LowValues()->Value(0), 7);
    EXPECT_EQ(C.Output->CloseValues()->Value(0), 8);
    EXPECT_EQ(C.Output->Labels().GetLabel(0), QStringLiteral("Wed"));
    // The event moves each point a week on from the one before; the bars
    // keep the source's own dates.
    static_cast<F*>(C.Output->SeriesFunction())->OnGetDate = [](TPlotFunction*, TChartSeries*, int Index,
                                                                 double& D) { D += 7 * Index; };
    C.Refresh();
    EXPECT_EQ(XsOf(*C.Output), (std::vector<double>{Date(2026, 12, 7), Date(2026, 12, 8), Date(2026, 12, 9)}));
}

TEST(Compress, VolumePairSumsPerBarAndOnlyPricesAreWritten)
{
    TCompressChart C(F::ocWeek, {0, 1, 2});
    C.Compress->SetPeriod(2);
    TLineSeries Volume;
    test::AddValues(Volume, {100, 50});
    TLineSeries VolumeOut;
    C.Compress->CompressSeries(C.Source, &Volume, &VolumeOut);
    EXPECT_EQ(YsOf(VolumeOut), (std::vector<double>{150}));
    EXPECT_EQ(XsOf(VolumeOut), (std::vector<double>{1}));
    EXPECT_EQ(C.Output->Count(), 2);
    // A function series that holds no prices stays empty.
    test::TFunctionChart<> Plain(new F);
    Plain.Fill({1}, {1});
    EXPECT_EQ(Plain.Output->Count(), 0);
}

} // namespace
} // namespace lp
