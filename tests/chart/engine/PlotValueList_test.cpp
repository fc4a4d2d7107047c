// Value lists: ordered insertion, growth, statistics, deletion, lookups,
// sorting through the owner and the obsolete stored multiplier.

#include "chart/engine/PlotValueList.h"

#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/ui/Dialogs.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

std::vector<double> ValuesOf(const TChartValueList& List)
{
    std::vector<double> Result;
    for (int I = 0; I < List.Count(); ++I)
        Result.push_back(List.Value(I));
    return Result;
}

// A series whose X list is the list under test (its other lists stay in
// step through the series).
struct TListFixture {
    TChartSeries Series;
    TChartValueList& List = *Series.XValues();
};

TEST(ChartValueList, OrderedInsertsGoAfterEqualValues)
{
    struct TRow {
        TChartListOrder Order;
        std::vector<double> Start;
        double Added;
        int Index;
    };
    const std::vector<TRow> Rows = {
        {loAscending, {1, 2, 2, 3}, 2, 3},
        {loAscending, {1, 2, 2, 3}, 0, 0},
        {loAscending, {1, 2, 2, 3}, 5, 4},
        {loAscending, {}, 7, 0},
        {loDescending, {3, 2, 1}, 2, 2},
        {loDescending, {3, 2, 1}, 9, 0},
        {loDescending, {3, 2, 1}, 0, 3},
        {loNone, {3, 1}, 2, 2},
    };
    for (const TRow& Row : Rows) {
        TChartSeries Series;
        TChartValueList List(nullptr, "T");
        List.SetOrder(Row.Order);
        for (double V : Row.Start)
            List.InsertChartValue(List.Count(), V);
        EXPECT_EQ(List.AddChartValue(Row.Added), Row.Index) << Row.Added;
        EXPECT_EQ(List.Value(Row.Index), Row.Added);
        EXPECT_EQ(List.Count(), static_cast<int>(Row.Start.size()) + 1);
    }
}

TEST(ChartValueList, GrowsByTheFixedStep)
{
    TChartValueList List(nullptr, "T");
    for (int I = 0; I < 1000; ++I)
        List.AddChartValue(I);
    EXPECT_EQ(List.Capacity(), 1000);
    List.AddChartValue(1000);
    EXPECT_EQ(List.Capacity(), 2000);
    EXPECT_EQ(List.Count(), 1001);
}

TEST(ChartValueList, StatisticsAreLazyAndExact)
{
    TChartValueList Empty(nullptr, "E");
    EXPECT_EQ(Empty.MinValue(), 0);
    EXPECT_EQ(Empty.MaxValue(), 0);
    EXPECT_EQ(Empty.Total(), 0);
    EXPECT_EQ(Empty.TotalABS(), 0);

    TChartValueList List(nullptr, "T");
    List.AddChartValue(-2);
    List.AddChartValue(1);
    EXPECT_EQ(List.MinValue(), -2);
    EXPECT_EQ(List.MaxValue(), 1);
    EXPECT_EQ(List.Total(), -1);
    EXPECT_EQ(List.TotalABS(), 3);
    EXPECT_EQ(List.Range(), 3);
    EXPECT_FALSE(List.Modified());
    List.InsertChartValue(0, 10);
    EXPECT_TRUE(List.Modified());
    EXPECT_EQ(List.MaxValue(), 10);
}

TEST(ChartValueList, IndexesOutsideTheCountRaise)
{
    TChartValueList List(nullptr, "T");
    for (int I = 0; I < 3; ++I)
        List.AddChartValue(I);
    // The array has room for 1000 values; only 3 are in use.
    EXPECT_THROW(List.Value(3), ERangeError);
    EXPECT_THROW(List.Value(-1), ERangeError);
    EXPECT_THROW(List.SetValue(5, 1), ERangeError);
    EXPECT_THROW(List.Delete(3), ERangeError);
    EXPECT_THROW(List.Exchange(0, 3), ERangeError);
    EXPECT_THROW(List.InsertChartValue(5, 1), ERangeError);
    EXPECT_THROW(List.SetCount(-1), EAssertionFailed);
}

TEST(ChartValueList, DeletingValues)
{
    TChartValueList List(nullptr, "T");
    for (int I = 0; I < 5; ++I)
        List.AddChartValue(I);
    List.Delete(1);
    EXPECT_EQ(ValuesOf(List), (std::vector<double>{0, 2, 3, 4}));
    List.DeleteRange(1, 2);
    EXPECT_EQ(ValuesOf(List), (std::vector<double>{0, 4}));
    try {
        List.DeleteRange(1, 2);
        FAIL() << "range beyond the end accepted";
    } catch (const EAssertionFailed& E) {
        EXPECT_EQ(E.Message(), "Quantity of data to delete must be less than Count.");
    }
    List.DeleteRange(0, List.Count());
    EXPECT_EQ(List.Count(), 0);
}

TEST(ChartValueList, LookupsAndRearrangements)
{
    TChartValueList List(nullptr, "T");
    for (double V : {5.0, 6.0, 7.0, 6.0})
        List.InsertChartValue(List.Count(), V);
    EXPECT_EQ(List.Locate(6), 1);
    EXPECT_EQ(List.Locate(8), -1);
    EXPECT_EQ(List.LocateInRange(2, 3, 6), 3);
    EXPECT_EQ(List.LocateInRange(3, 2, 6), -1);
    EXPECT_EQ(List.First(), 5);
    EXPECT_EQ(List.Last(), 6);
    EXPECT_EQ(List.MoveFirstToLast(), 4);
    EXPECT_EQ(ValuesOf(List), (std::vector<double>{6, 7, 6, 5}));
    List.FillSequence();
    EXPECT_EQ(ValuesOf(List), (std::vector<double>{0, 1, 2, 3}));
    List.SetOrder(loDescending);
    EXPECT_EQ(List.CompareValueIndex(0, 1), 1);
    List.SetOrder(loAscending);
    EXPECT_EQ(List.CompareValueIndex(0, 1), -1);
    EXPECT_EQ(List.CompareValueIndex(2, 2), 0);
}

TEST(ChartValueList, AscendingOrderIsKeptAcrossAppendsAndForgottenOnChanges)
{
    // What the list found of its order must follow every kind of change:
    // appends, values set, inserted, deleted or exchanged, and NaN.
    TChartValueList List(nullptr, "T");
    EXPECT_TRUE(List.AscendingWithoutNaN());
    for (double V : {1.0, 2.0, 2.0, 5.0})
        List.InsertChartValue(List.Count(), V);
    EXPECT_TRUE(List.AscendingWithoutNaN());
    List.InsertChartValue(List.Count(), 4.0); // an append that breaks the order
    EXPECT_FALSE(List.AscendingWithoutNaN());
    List.SetValue(4, 6.0);
    EXPECT_TRUE(List.AscendingWithoutNaN());
    List.InternalSetValue(1, 7.0);
    EXPECT_FALSE(List.AscendingWithoutNaN());
    List.Delete(1);
    EXPECT_TRUE(List.AscendingWithoutNaN());
    List.Exchange(0, 3);
    EXPECT_FALSE(List.AscendingWithoutNaN());
    List.Exchange(0, 3);
    EXPECT_TRUE(List.AscendingWithoutNaN());
    List.InsertChartValue(0, 9.0);
    EXPECT_FALSE(List.AscendingWithoutNaN());
    List.DeleteRange(0, 1);
    EXPECT_TRUE(List.AscendingWithoutNaN());
    List.InsertChartValue(List.Count(), std::nan(""));
    EXPECT_FALSE(List.AscendingWithoutNaN());
    List.SetCount(List.Count() - 1);
    EXPECT_TRUE(List.AscendingWithoutNaN());
    List.SetCount(List.Count() + 2); // zeros appended
    EXPECT_FALSE(List.AscendingWithoutNaN());
    List.FillSequence();
    EXPECT_TRUE(List.AscendingWithoutNaN());
    List.MoveFirstToLast();
    EXPECT_FALSE(List.AscendingWithoutNaN());
    List.ClearValues();
    EXPECT_TRUE(List.AscendingWithoutNaN());
    List.InsertChartValue(0, std::nan(""));
    EXPECT_FALSE(List.AscendingWithoutNaN());
    // A long list, checked in blocks: a break anywhere is found, and one
    // mended far from the start is read again from there.
    List.ClearValues();
    for (int I = 0; I < 1000; ++I)
        List.InsertChartValue(List.Count(), I);
    EXPECT_TRUE(List.AscendingWithoutNaN());
    List.SetValue(777, -1.0);
    EXPECT_FALSE(List.AscendingWithoutNaN());
    List.SetValue(777, 777.0);
    EXPECT_TRUE(List.AscendingWithoutNaN());
}

TEST(ChartValueList, SortMovesWholePointsThroughTheOwner)
{
    TChartSeries Series;
    Series.XValues()->SetOrder(loNone);
    for (int I = 0; I < 6; ++I)
        Series.AddXY(I, (I * 7) % 6, QString::number(I), I == 4 ? clRed : clPlotColor);
    Series.YValues()->SetOrder(loAscending);
    Series.YValues()->Sort();
    EXPECT_EQ(ValuesOf(*Series.YValues()), (std::vector<double>{0, 1, 2, 3, 4, 5}));
    // Each point keeps its X, label and colour.
    for (int I = 0; I < 6; ++I) {
        const int Original = static_cast<int>(Series.XValues()->Value(I));
        EXPECT_EQ((Original * 7) % 6, I);
        EXPECT_EQ(Series.Labels().GetLabel(I), QString::number(Original));
        EXPECT_EQ(Series.GetStoredValueColor(I), Original == 4 ? clRed : clPlotColor);
    }
}

TEST(ChartValueList, AssignCopiesSettingsOnly)
{
    TChartValueList Source(nullptr, "Source");
    Source.SetOrder(loDescending);
    Source.SetDateTime(true);
    Source.SetValueSource("Depth");
    Source.AddChartValue(1);
    TChartValueList Target(nullptr, "Target");
    Target.AddChartValue(5);
    Target.AddChartValue(6);
    Target.Assign(&Source);
    EXPECT_EQ(Target.Order(), loDescending);
    EXPECT_TRUE(Target.DateTime());
    EXPECT_EQ(Target.ValueSource(), "Depth");
    EXPECT_EQ(Target.Name(), "Target");
    EXPECT_EQ(Target.Count(), 2);
}

TEST(ChartValueList, ObsoleteMultiplierWarnsUnlessOne)
{
    std::vector<TMessageRequest> Shown;
    MessageService() = [&](const TMessageRequest& Request) {
        Shown.push_back(Request);
        return mrOk;
    };
    TChartValueList List(nullptr, "T");
    EXPECT_TRUE(List.ReadOldProperty("Multiplier", 1.0));
    EXPECT_TRUE(Shown.empty());
    EXPECT_TRUE(List.ReadOldProperty("Multiplier", 2.5));
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].Type, TMsgDlgType::mtError);
    EXPECT_TRUE(Shown[0].Caption.isEmpty());
    EXPECT_TRUE(Shown[0].Text.startsWith("Error: Multiplier property is obsolete."));
    EXPECT_FALSE(List.ReadOldProperty("Other", 1));
    ResetMessageService();
}

TEST(ChartValueList, DateTimeIsStoredAgainstItsOwnDefault)
{
    TChartValueList List(nullptr, "T");
    EXPECT_FALSE(List.IsDateTimeStored());
    List.InitDateTime(true);
    EXPECT_FALSE(List.IsDateTimeStored());
    List.SetDateTime(false);
    EXPECT_TRUE(List.IsDateTimeStored());
}

} // namespace
} // namespace lp
