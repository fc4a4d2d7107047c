// The series base: adding in order, deleting, swapping, colours, update
// batching, dependents, data sources, visible range, Z order and texts.

#include "chart/engine/PlotEngine.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/core/StringList.h"

#include <gtest/gtest.h>

#include <memory>

namespace lp {
namespace {

using test::THorizTestSeries;
using test::TSeriesEventRecorder;
using test::TTestChart;

std::vector<double> ValuesOf(const TChartValueList& List)
{
    std::vector<double> Result;
    for (int I = 0; I < List.Count(); ++I)
        Result.push_back(List.Value(I));
    return Result;
}

std::vector<QString> LabelsOf(const TChartSeries& Series)
{
    std::vector<QString> Result;
    for (int I = 0; I < Series.Count(); ++I)
        Result.push_back(Series.Labels().GetLabel(I));
    return Result;
}

// --- Adding ------------------------------------------------------------------------------------

TEST(ChartSeriesAdd, OrderedInsertKeepsArrivalOrderOfEqualXAndMovesEveryPart)
{
    TChartSeries Series;
    EXPECT_EQ(Series.AddXY(3, 30, "c", clRed), 0);
    EXPECT_EQ(Series.AddXY(1, 10, "a"), 0);
    EXPECT_EQ(Series.AddXY(2, 20, "b1", clBlue), 1);
    EXPECT_EQ(Series.AddXY(2, 21, "b2"), 2);
    EXPECT_EQ(ValuesOf(*Series.XValues()), (std::vector<double>{1, 2, 2, 3}));
    EXPECT_EQ(ValuesOf(*Series.YValues()), (std::vector<double>{10, 20, 21, 30}));
    EXPECT_EQ(LabelsOf(Series), (std::vector<QString>{"a", "b1", "b2", "c"}));
    EXPECT_EQ(Series.GetStoredValueColor(0), clPlotColor);
    EXPECT_EQ(Series.GetStoredValueColor(1), clBlue);
    EXPECT_EQ(Series.GetStoredValueColor(2), clPlotColor);
    EXPECT_EQ(Series.GetStoredValueColor(3), clRed);
}

TEST(ChartSeriesAdd, AddUsesTheCountAsPosition)
{
    TChartSeries Vertical;
    Vertical.Add(5);
    EXPECT_EQ(Vertical.XValues()->Value(0), 0);
    EXPECT_EQ(Vertical.YValues()->Value(0), 5);

    THorizTestSeries Horizontal;
    Horizontal.Add(5);
    EXPECT_EQ(Horizontal.XValues()->Value(0), 5);
    EXPECT_EQ(Horizontal.YValues()->Value(0), 0);
    EXPECT_FALSE(Horizontal.MandatoryIsY());
    EXPECT_EQ(Horizontal.MandatoryValues(), Horizontal.XValues());
}

TEST(ChartSeriesAdd, NullPointsAndDefaultColours)
{
    TChartSeries Series;
    Series.SetSeriesColor(clGreen);
    Series.Add(1);
    Series.AddNull("gap");
    Series.AddNullXY(7, 8);
    EXPECT_FALSE(Series.IsNull(0));
    EXPECT_TRUE(Series.IsNull(1));
    EXPECT_TRUE(Series.IsNull(2));
    EXPECT_EQ(Series.GetValueColor(0), clGreen);
    EXPECT_EQ(Series.Labels().GetLabel(1), "gap");
}

TEST(ChartSeriesAdd, FurtherListsInsertTheirPendingValues)
{
    TChartSeries Series;
    auto* Z = new TChartValueList(&Series, "Z");
    Z->SetTempValue(100);
    Series.AddXY(5, 1);
    Z->SetTempValue(200);
    Series.AddXY(2, 2);
    EXPECT_EQ(ValuesOf(*Z), (std::vector<double>{200, 100}));
    EXPECT_EQ(Series.GetValueListByName("z"), Z);
    EXPECT_EQ(Series.GetValueListByName("missing"), Series.YValues());
}

TEST(ChartSeriesAdd, BeforeAddCanRefuseWithoutNotifying)
{
    TChartSeries Series;
    int AfterAdds = 0;
    Series.OnBeforeAdd = [](TChartSeries*) { return false; };
    Series.OnAfterAdd = [&](TChartSeries*, int) { ++AfterAdds; };
    EXPECT_EQ(Series.AddXY(1, 1), -1);
    EXPECT_EQ(Series.Count(), 0);
    EXPECT_EQ(AfterAdds, 0);
}

// --- Deleting and swapping ---------------------------------------------------------------------

TEST(ChartSeriesDelete, OutOfBoundsIndexesRaiseNamingTheRange)
{
    TChartSeries Series;
    for (int I = 0; I < 3; ++I)
        Series.Add(I);
    for (int Index : {3, -1}) {
        try {
            Series.Delete(Index);
            FAIL() << "no exception for " << Index;
        } catch (const ChartException& E) {
            EXPECT_EQ(E.Message(),
                      "Series Delete: ValueIndex " + std::to_string(Index) + " out of bounds (0 to 2).");
        }
    }
    EXPECT_EQ(Series.Count(), 3);
}

TEST(ChartSeriesDelete, DeleteRemovesTheIndexFromEveryPart)
{
    TChartSeries Series;
    Series.AddXY(0, 10, "a");
    Series.AddXY(1, 11, "b", clRed);
    Series.AddXY(2, 12, "c", clBlue);
    Series.Marks()->Positions().SetPosition(1, TSeriesMarkPosition());
    Series.Delete(1);
    EXPECT_EQ(ValuesOf(*Series.YValues()), (std::vector<double>{10, 12}));
    EXPECT_EQ(LabelsOf(Series), (std::vector<QString>{"a", "c"}));
    EXPECT_EQ(Series.GetStoredValueColor(1), clBlue);
    EXPECT_EQ(Series.Marks()->Positions().GetPosition(1), nullptr);
}

TEST(ChartSeriesDelete, DeleteRangeWithAndWithoutGap)
{
    TChartSeries Series;
    for (int I = 0; I < 6; ++I)
        Series.AddXY(I * 10, I, QString::number(I), I == 5 ? clRed : clPlotColor);
    Series.DeleteRange(1, 2);
    EXPECT_EQ(ValuesOf(*Series.XValues()), (std::vector<double>{0, 30, 40, 50}));
    EXPECT_EQ(LabelsOf(Series), (std::vector<QString>{"0", "3", "4", "5"}));
    EXPECT_EQ(Series.GetStoredValueColor(3), clRed);
    Series.DeleteRange(0, 1, true);
    EXPECT_EQ(ValuesOf(*Series.XValues()), (std::vector<double>{0, 1, 2}));
    Series.DeleteRange(0, Series.Count(), true);
    EXPECT_EQ(Series.Count(), 0);
    EXPECT_FALSE(Series.HasColorList());
}

TEST(ChartSeriesDelete, DeleteRangeAssertsItsArguments)
{
    TChartSeries Series;
    Series.Add(1);
    Series.Add(2);
    EXPECT_THROW(
        {
            try {
                Series.DeleteRange(0, 0);
            } catch (const EAssertionFailed& E) {
                EXPECT_EQ(E.Message(), "Quantity of data points to delete must be greater than zero.");
                throw;
            }
        },
        EAssertionFailed);
    EXPECT_THROW(
        {
            try {
                Series.DeleteRange(1, 2);
            } catch (const EAssertionFailed& E) {
                EXPECT_EQ(E.Message(), "Quantity of data to delete must be less than Count.");
                throw;
            }
        },
        EAssertionFailed);
    EXPECT_EQ(Series.Count(), 2);
}

TEST(ChartSeriesSwap, SwapMovesValuesColoursAndLabels)
{
    TChartSeries Series;
    auto* Z = new TChartValueList(&Series, "Z");
    Z->SetTempValue(7);
    Series.AddXY(0, 1, "first", clRed);
    Z->SetTempValue(8);
    Series.AddXY(1, 2, "second");
    Series.SwapValueIndex(0, 1);
    EXPECT_EQ(ValuesOf(*Series.XValues()), (std::vector<double>{1, 0}));
    EXPECT_EQ(ValuesOf(*Series.YValues()), (std::vector<double>{2, 1}));
    EXPECT_EQ(ValuesOf(*Z), (std::vector<double>{8, 7}));
    EXPECT_EQ(LabelsOf(Series), (std::vector<QString>{"second", "first"}));
    EXPECT_EQ(Series.GetStoredValueColor(1), clRed);
    EXPECT_EQ(Series.GetStoredValueColor(0), clPlotColor);
}

TEST(ChartSeriesClear, ClearEmptiesEverythingAndFiresOnce)
{
    // The count outlives the series: the series clears itself once more as
    // it is destroyed.
    int Cleared = 0;
    TChartSeries Series;
    Series.OnClearValues = [&](QObject*) { ++Cleared; };
    Series.AddXY(1, 1, "x", clRed);
    Series.SetVisibleRange(0, 0);
    Series.Clear();
    EXPECT_EQ(Series.Count(), 0);
    EXPECT_EQ(Series.Labels().Count(), 0);
    EXPECT_FALSE(Series.HasColorList());
    EXPECT_EQ(Series.FirstVisibleIndex(), -1);
    EXPECT_EQ(Cleared, 1);
}

// --- Colours -----------------------------------------------------------------------------------

TEST(ChartSeriesColor, SettingTheEffectiveColourWhileAutomaticChangesNothing)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    const TColor Automatic = Series->EffectiveColor();
    ASSERT_NE(Automatic, clPlotColor);
    TSeriesEventRecorder Events(Chart);
    Series->SetSeriesColor(Automatic);
    EXPECT_EQ(Series->SeriesColor(), clPlotColor);
    EXPECT_TRUE(Events.Entries.empty());
    Series->SetSeriesColor(0x123456);
    EXPECT_EQ(Series->SeriesColor(), 0x123456);
    EXPECT_EQ(Series->GetSeriesColor(), 0x123456);
    EXPECT_EQ(Events.Codes(), (std::vector<int>{seChangeColor}));
}

TEST(ChartSeriesColor, ColorEachPointUsesTheChartPalette)
{
    TTestChart Chart;
    Chart.SetColorPalette({clRed, clBlue});
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    for (int I = 0; I < 3; ++I)
        Series->Add(I);
    Series->SetValueColor(1, clYellow);
    Series->SetColorEachPoint(true);
    EXPECT_EQ(Series->GetValueColor(0), clRed);
    EXPECT_EQ(Series->GetValueColor(1), clYellow);
    EXPECT_EQ(Series->GetValueColor(2), clRed);
}

TEST(ChartSeriesColor, SettingPlotColorWithoutAListCreatesNone)
{
    TChartSeries Series;
    Series.Add(1);
    Series.SetValueColor(0, clPlotColor);
    EXPECT_FALSE(Series.HasColorList());
    EXPECT_THROW(Series.SetValueColor(1, clRed), ERangeError);
}

// --- Update batching and dependents ----------------------------------------------------------

TEST(ChartSeriesUpdate, BatchedAddsRefreshOnce)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    TSeriesEventRecorder Events(Chart);
    Series->BeginUpdate();
    Series->BeginUpdate();
    for (int I = 0; I < 10; ++I)
        Series->Add(I);
    Series->EndUpdate();
    EXPECT_TRUE(Events.Entries.empty());
    Series->EndUpdate();
    Series->EndUpdate(); // one too many: ignored
    EXPECT_EQ(Events.Codes(), (std::vector<int>{seDataChanged}));
    EXPECT_EQ(Series->UpdateCount(), 0);
}

// A dependent that counts how its source reaches it.
class TCountingSeries : public TChartSeries {
public:
    using TChartSeries::TChartSeries;
    void AddValues(TChartSeries* Source) override
    {
        ++Refills;
        TChartSeries::AddValues(Source);
    }
    void DeleteSourceValue(TChartSeries* Source, int Index) override
    {
        Deleted.push_back(Index);
        TChartSeries::DeleteSourceValue(Source, Index);
    }
    int Refills = 0;
    std::vector<int> Deleted;
};

TEST(ChartSeriesDependents, DependentsFollowTheirSourceByChangeAction)
{
    TTestChart Chart;
    auto* Source = new TChartSeries(&Chart);
    auto* Follower = new TCountingSeries(&Chart);
    Chart.AddSeries(Source);
    Chart.AddSeries(Follower);
    Source->AddXY(1, 10, "a");
    Follower->SetDataSource(Source);
    EXPECT_EQ(Follower->Count(), 1);
    EXPECT_EQ(Follower->Labels().GetLabel(0), "a");
    EXPECT_EQ(Source->LinkedSeries().IndexOf(Follower), 0);

    Source->AddXY(2, 20, "", clRed); // event 1: the point follows
    EXPECT_EQ(Follower->Count(), 2);
    EXPECT_EQ(Follower->GetStoredValueColor(1), clRed);

    Source->Delete(0); // event 2 with the index
    EXPECT_EQ(Follower->Deleted, (std::vector<int>{0}));
    EXPECT_EQ(Follower->Count(), 1);

    const int RefillsBefore = Follower->Refills;
    Source->YValues()->SetValue(0, 99); // event 4: refill
    EXPECT_EQ(Follower->Refills, RefillsBefore + 1);
    EXPECT_EQ(Follower->YValues()->Value(0), 99);

    Source->Clear(); // event 0
    EXPECT_EQ(Follower->Count(), 0);
}

TEST(ChartSeriesDependents, WithoutTheAddActionOnlyRefreshRefills)
{
    TTestChart Chart;
    auto* Source = new TChartSeries(&Chart);
    auto* Follower = new TChartSeries(&Chart);
    Chart.AddSeries(Source);
    Chart.AddSeries(Follower);
    Follower->SetDataSource(Source);
    Follower->SetChangeActions(TChartSeries::caDelete | TChartSeries::caModify | TChartSeries::caClear);
    Source->Add(1);
    EXPECT_EQ(Follower->Count(), 0);
    Source->RefreshSeries();
    EXPECT_EQ(Follower->Count(), 1);
}

TEST(ChartSeriesDependents, CyclesAndSelfSourcesAreRefused)
{
    TTestChart Chart;
    auto* A = new TChartSeries(&Chart);
    auto* B = new TChartSeries(&Chart);
    auto* C = new TChartSeries(&Chart);
    A->SetName("SeriesA");
    for (TChartSeries* S : {A, B, C})
        Chart.AddSeries(S);
    B->SetDataSource(A);
    C->SetDataSource(B);
    try {
        A->SetDataSource(C);
        FAIL() << "cycle accepted";
    } catch (const ChartException& E) {
        EXPECT_EQ(E.Message(), "Circular Series dependences are not allowed");
    }
    EXPECT_EQ(A->DataSource(), nullptr);
    try {
        A->SetDataSource(A);
        FAIL() << "self source accepted";
    } catch (const ChartException& E) {
        EXPECT_EQ(E.Message(), "No valid DataSource: SeriesA");
    }
}

TEST(ChartSeriesDependents, WithoutAChartOnlySeriesAreValidSources)
{
    TChartSeries Series;
    TComponent NotASeries;
    EXPECT_THROW(
        {
            try {
                Series.SetDataSource(&NotASeries);
            } catch (const ChartException& E) {
                EXPECT_EQ(E.Message(), "No ParentChart to validate DataSource");
                throw;
            }
        },
        ChartException);
}

TEST(ChartSeriesDependents, DestroyingASourceUnlinksItsDependents)
{
    TTestChart Chart;
    auto* Follower = new TChartSeries(&Chart);
    Chart.AddSeries(Follower);
    {
        auto Source = std::make_unique<TChartSeries>();
        Chart.AddSeries(Source.get());
        Source->Add(5);
        Follower->SetDataSource(Source.get());
        EXPECT_EQ(Follower->Count(), 1);
    }
    EXPECT_EQ(Follower->DataSource(), nullptr);
    Follower->CheckDataSource(); // must not touch the freed source
}

// --- Chart link and axes ---------------------------------------------------------------------

TEST(ChartSeriesAxes, AxesResolveFromTheChoices)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    EXPECT_EQ(Series->GetHorizAxis(), nullptr);
    Chart.AddSeries(Series);
    EXPECT_EQ(Series->GetHorizAxis(), Chart.BottomAxis());
    EXPECT_EQ(Series->GetVertAxis(), Chart.LeftAxis());
    Series->SetHorizAxis(aTopAxis);
    Series->SetVertAxis(aRightAxis);
    EXPECT_EQ(Series->GetHorizAxis(), Chart.TopAxis());
    EXPECT_EQ(Series->GetVertAxis(), Chart.RightAxis());
    EXPECT_TRUE(Series->AssociatedToAxis(Chart.TopAxis()));
    EXPECT_FALSE(Series->AssociatedToAxis(Chart.BottomAxis()));
    Series->SetVertAxis(aBothVertAxis);
    EXPECT_TRUE(Series->AssociatedToAxis(Chart.RightAxis()));
    EXPECT_TRUE(Series->AssociatedToAxis(Chart.LeftAxis()));
    EXPECT_EQ(Series->GetAxisValueList(Chart.TopAxis()), Series->XValues());
    EXPECT_EQ(Series->GetAxisValueList(Chart.BottomAxis()), nullptr);
}

TEST(ChartSeriesAxes, CustomAxesAreForgottenWhenTheyGo)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    auto* Custom = static_cast<TChartAxis*>(Chart.CustomAxes().Add());
    EXPECT_EQ(Chart.AxesList().Count(), 7);
    Series->SetCustomVertAxis(Custom);
    EXPECT_EQ(Series->VertAxis(), aCustomVertAxis);
    EXPECT_EQ(Series->GetVertAxis(), Custom);
    EXPECT_EQ(Series->CustomVertAxisIndex(), 0);
    Chart.CustomAxes().Delete(0);
    EXPECT_EQ(Series->CustomVertAxis(), nullptr);
    EXPECT_EQ(Series->VertAxis(), aLeftAxis);
    EXPECT_EQ(Series->GetVertAxis(), Chart.LeftAxis());
    EXPECT_EQ(Chart.AxesList().Count(), 6);
}

TEST(ChartSeriesAxes, PositionsGoThroughTheAxes)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    Series->AddXY(0, 0);
    Series->AddXY(10, 100);
    test::PlaceAxes(Chart, TRect{0, 0, 100, 200});
    EXPECT_EQ(Series->CalcXPos(1), 100);
    EXPECT_EQ(Series->CalcYPos(1), 0);
    EXPECT_EQ(Series->CalcYPos(0), 200);
    EXPECT_DOUBLE_EQ(Series->XScreenToValue(50), 5);
    EXPECT_DOUBLE_EQ(Series->YScreenToValue(100), 50);
}

// --- Visible range and paging ------------------------------------------------------------------

TEST(ChartSeriesVisibleRange, EmptySeriesHasNoRange)
{
    TChartSeries Series;
    Series.CalcFirstLastVisibleIndex();
    EXPECT_EQ(Series.FirstVisibleIndex(), -1);
    EXPECT_EQ(Series.LastVisibleIndex(), -1);
}

TEST(ChartSeriesVisibleRange, OnlyPointsWithinTheAxisAreVisible)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    for (int X = 0; X <= 10; ++X)
        Series->AddXY(X, X);
    test::PlaceAxes(Chart, TRect{0, 0, 100, 100});
    Chart.BottomAxis()->SetCalcRange(2.5, 7.5);
    Series->CalcFirstLastVisibleIndex();
    EXPECT_EQ(Series->FirstVisibleIndex(), 3);
    EXPECT_EQ(Series->LastVisibleIndex(), 7);
    Series->SetKeepPointBeyondEdge(true);
    Series->CalcFirstLastVisibleIndex();
    EXPECT_EQ(Series->LastVisibleIndex(), 8);
    Series->SetVisibleRangeSearch(false);
    Series->CalcFirstLastVisibleIndex();
    EXPECT_EQ(Series->FirstVisibleIndex(), 0);
    EXPECT_EQ(Series->LastVisibleIndex(), 10);
    Series->SetVisibleRangeSearch(true);
    Chart.BottomAxis()->SetCalcRange(20, 30);
    Series->CalcFirstLastVisibleIndex();
    EXPECT_EQ(Series->FirstVisibleIndex(), -1);
}

TEST(ChartSeriesVisibleRange, PagesSplitThePoints)
{
    TTestChart Chart;
    auto* Series = new TChartSeries(&Chart);
    Chart.AddSeries(Series);
    for (int I = 0; I < 25; ++I)
        Series->Add(I);
    struct TRow {
        int PerPage;
        int Page;
        int First;
        int Last;
    };
    for (const TRow& Row : {TRow{0, 1, 0, 24}, TRow{10, 1, 0, 9}, TRow{10, 2, 10, 19}, TRow{10, 3, 20, 24}}) {
        Chart.SetMaxPointsPerPage(Row.PerPage);
        Chart.SetPage(Row.Page);
        int First = 0;
        int Last = 0;
        Series->CalcFirstLastPage(First, Last);
        EXPECT_EQ(First, Row.First) << Row.PerPage << "/" << Row.Page;
        EXPECT_EQ(Last, Row.Last) << Row.PerPage << "/" << Row.Page;
    }
}

// --- Z order and drawing protocol -------------------------------------------------------------

TEST(ChartSeriesZOrder, DepthPositionsFollowTheZOrder)
{
    TTestChart Chart;
    Chart.SetView3D(true);
    auto* A = new TChartSeries(&Chart);
    auto* B = new TChartSeries(&Chart);
    Chart.AddSeries(A);
    Chart.AddSeries(B);
    Chart.SetMaxZOrder(-1);
    A->CalcZOrder();
    B->CalcZOrder();
    EXPECT_EQ(A->ComputedZOrder(), 0);
    EXPECT_EQ(B->ComputedZOrder(), 1);
    Chart.SetSeriesSizes3D(10, 10);
    B->CalcDepthPositions();
    EXPECT_EQ(B->DepthStart(), 10);
    EXPECT_EQ(B->DepthEnd(), 20);
    EXPECT_EQ(B->DepthMiddle(), 15);
    EXPECT_EQ(B->Marks()->ZPosition(), 15);
    B->SetDepth(5);
    B->CalcDepthPositions();
    EXPECT_EQ(B->DepthEnd(), 15);
    EXPECT_EQ(B->DepthMiddle(), 12);
    B->SetZOrderSetting(0);
    EXPECT_TRUE(B->HasSameZOrderSeries());
    EXPECT_TRUE(A->FirstInZOrder());
    EXPECT_FALSE(B->FirstInZOrder());
}

// Records the points it is asked to draw.
class TRecordingSeries : public TChartSeries {
public:
    using TChartSeries::TChartSeries;
    void DrawValue(int ValueIndex) override { Drawn.push_back(ValueIndex); }
    std::vector<int> Drawn;
};

TEST(ChartSeriesDrawing, ValuesAreDrawnInAxisDirection)
{
    TTestChart Chart;
    auto* Series = new TRecordingSeries(&Chart);
    Chart.AddSeries(Series);
    for (int I = 0; I < 3; ++I)
        Series->Add(I);
    Series->SetVisibleRange(0, 2);
    Series->DrawAllValues();
    EXPECT_EQ(Series->Drawn, (std::vector<int>{0, 1, 2}));
    Chart.BottomAxis()->SetInverted(true);
    Series->Drawn.clear();
    Series->DrawAllValues();
    EXPECT_EQ(Series->Drawn, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(Series->FirstDisplayedIndex(), 2);
    Chart.SetDrawBackwards(true);
    EXPECT_TRUE(Series->DrawValuesForward());
    EXPECT_FALSE(Series->DrawSeriesForward());
}

// --- Mark and legend texts ----------------------------------------------------------------------

TEST(ChartSeriesTexts, MarkTextByStyle)
{
    TChartSeries Series;
    Series.AddXY(1, 25, "apple");
    Series.AddXY(2, 75, "pear");
    struct TRow {
        TSeriesMarksStyle Style;
        bool MultiLine;
        QString Text;
    };
    const QChar Cr(13);
    const std::vector<TRow> Rows = {
        {TSeriesMarks::smsValue, false, "25"},
        {TSeriesMarks::smsPercent, false, "25 %"},
        {TSeriesMarks::smsLabel, false, "apple"},
        {TSeriesMarks::smsLabelPercent, false, "apple 25 %"},
        {TSeriesMarks::smsLabelValue, true, QString("apple") + Cr + "25"},
        {TSeriesMarks::smsPercentTotal, false, "25 % of 100"},
        {TSeriesMarks::smsPercentTotal, true, QString("25 %") + Cr + "of 100"},
        {TSeriesMarks::smsLabelPercentTotal, false, "apple 25 % of 100"},
        {TSeriesMarks::smsXValue, false, "1"},
        {TSeriesMarks::smsXY, false, "1 25"},
    };
    for (const TRow& Row : Rows) {
        Series.Marks()->SetStyle(Row.Style);
        Series.Marks()->SetMultiLine(Row.MultiLine);
        EXPECT_EQ(Series.GetMarkText(0), Row.Text) << int(Row.Style);
    }
}

TEST(ChartSeriesTexts, BlankMarksCustomTextsAndTheEvent)
{
    TChartSeries Series;
    Series.AddXY(1, 5, " ");
    Series.AddXY(2, 6, "b");
    Series.Marks()->SetStyle(TSeriesMarks::smsLabel);
    EXPECT_EQ(Series.GetMarkText(0), "");
    Series.Marks()->Items().Item(1).Text().SetText("line 1\r\nline 2\r\n");
    EXPECT_EQ(Series.GetMarkText(1), "line 1\r\nline 2");
    Series.OnGetMarkText = [](TChartSeries*, int Index, QString& Text) { Text = "#" + QString::number(Index); };
    EXPECT_EQ(Series.GetMarkText(0), "#0");
}

TEST(ChartSeriesTexts, LegendTextByStyle)
{
    TChartSeries Series;
    Series.AddXY(3, 20, "a");
    Series.AddXY(4, 80);
    const QChar Sep(6);
    struct TRow {
        TLegendTextStyle Style;
        int Index;
        QString Text;
    };
    const std::vector<TRow> Rows = {
        {TChartSeries::ltsPlain, 0, "a"},
        {TChartSeries::ltsLeftValue, 0, QString("20") + Sep + "a"},
        {TChartSeries::ltsLeftValue, 1, "80"},
        {TChartSeries::ltsRightValue, 0, QString("a") + Sep + "20"},
        {TChartSeries::ltsLeftPercent, 0, QString("20 %") + Sep + "a"},
        {TChartSeries::ltsRightPercent, 1, "80 %"},
        {TChartSeries::ltsXValue, 0, "3"},
        {TChartSeries::ltsValue, 1, "80"},
        {TChartSeries::ltsPercent, 1, "80 %"},
        {TChartSeries::ltsXAndValue, 0, QString("3") + Sep + "20"},
        {TChartSeries::ltsXAndPercent, 0, QString("3") + Sep + "20 %"},
    };
    for (const TRow& Row : Rows)
        EXPECT_EQ(Series.LegendString(Row.Index, Row.Style), Row.Text) << int(Row.Style);
}

TEST(ChartSeriesTexts, TitlesAndNamesForEditors)
{
    TTestChart Chart;
    std::vector<TChartSeries*> All;
    for (int I = 0; I < 3; ++I) {
        All.push_back(new TChartSeries(&Chart));
        Chart.AddSeries(All.back());
    }
    All[0]->SetTitle(QString("Left") + QChar(6) + "Right");
    All[1]->SetName("Depths");
    EXPECT_EQ(SeriesTitleOrName(All[0]), "Left Right");
    EXPECT_EQ(SeriesTitleOrName(All[1]), "Depths");
    EXPECT_EQ(SeriesTitleOrName(All[2]), "Series3");
    All[2]->SetShowInEditor(false);
    TStringList Items;
    FillSeriesItems(Items, Chart.SeriesList(), true);
    ASSERT_EQ(Items.Count(), 2);
    EXPECT_EQ(Items.Strings(1), "Depths");
    EXPECT_EQ(Items.Objects(1), All[1]);
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// Keeps the marks it is asked to draw and the legend shapes' brush colour.
class TMarkRecorder : public TChartSeries {
public:
    using TChartSeries::TChartSeries;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& Position) override
    {
        TChartSeries::DrawMark(ValueIndex, St, Position);
        Recorded.push_back({ValueIndex, St, Position});
    }
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override
    {
        LegendColors.push_back(ParentChart()->Canvas().Brush()->Color());
        TChartSeries::DrawLegendShape(ValueIndex, Rect);
    }
    struct TMark {
        int Index;
        QString Text;
        TSeriesMarkPosition Position;
    };
    std::vector<TMark> Recorded;
    std::vector<TColor> LegendColors;
};

TEST(ChartSeriesDrawing, MarksStandAboveTheirPointsEveryNth)
{
    TTestChart Chart;
    auto* Series = new TMarkRecorder(&Chart);
    Chart.AddSeries(Series);
    for (int I = 0; I < 5; ++I)
        Series->AddXY(I, I * 10, "p" + QString::number(I));
    Series->AddXY(5, 50, " ");
    const auto Target = test::BindCanvas(Chart);
    test::PlaceAxes(Chart, TRect{0, 0, 400, 250});
    Series->CalcFirstLastVisibleIndex();
    Series->Marks()->SetDrawEvery(2);
    Series->DrawMarks();
    ASSERT_EQ(Series->Recorded.size(), 3u); // 0, 2, 4 (the blank one at 5 is skipped anyway)
    const auto Mark = Series->Recorded[1];
    EXPECT_EQ(Mark.Index, 2);
    EXPECT_EQ(Mark.Text, "p2");
    EXPECT_EQ(Mark.Position.ArrowStart, (TPoint{Series->CalcXPos(2), Series->CalcYPos(2)}));
    EXPECT_GT(Mark.Position.MarkWidth, 0);
    EXPECT_GT(Mark.Position.MarkHeight, 0);
    EXPECT_EQ(Mark.Position.TopLeft.X, Mark.Position.ArrowStart.X - Mark.Position.MarkWidth / 2);
    EXPECT_EQ(Mark.Position.TopLeft.Y, Mark.Position.ArrowStart.Y - Mark.Position.MarkHeight + 1);
    // The drawn position is kept for hit tests; a moved mark keeps its place.
    EXPECT_EQ(Series->Marks()->Positions().GetPosition(2)->TopLeft, Mark.Position.TopLeft);
    TSeriesMarkPosition Moved = Mark.Position;
    Moved.TopLeft = {1, 1};
    Series->Marks()->Positions().SetPosition(2, Moved);
    Series->Recorded.clear();
    Series->DrawMarks();
    EXPECT_EQ(Series->Recorded[1].Position.TopLeft, (TPoint{1, 1}));
    // DrawEvery below 1 would divide by zero: it counts as 1.
    Series->Marks()->SetDrawEvery(0);
    EXPECT_EQ(Series->Marks()->DrawEvery(), 1);
}

TEST(ChartSeriesDrawing, LegendSymbolsUseThePointColour)
{
    TTestChart Chart;
    auto* Series = new TMarkRecorder(&Chart);
    Chart.AddSeries(Series);
    Series->SetSeriesColor(clGreen);
    Series->Add(1, "", clRed);
    Series->AddNull();
    Series->Add(3);
    const auto Target = test::BindCanvas(Chart);
    const TRect Box{0, 0, 10, 10};
    Series->DrawLegend(0, Box);
    Series->DrawLegend(1, Box); // a null point draws nothing
    Series->DrawLegend(2, Box);
    Series->DrawLegend(-1, Box);
    EXPECT_EQ(Series->LegendColors, (std::vector<TColor>{clRed, clGreen, clGreen}));
    EXPECT_TRUE(Chart.RepaintEnabled());
    Series->SetColorEachPoint(true);
    Series->DrawLegend(-1, Box);
    EXPECT_EQ(Series->LegendColors.size(), 3u);
}

} // namespace
} // namespace lp
