// The data table: its layout as a pure function (rows, columns, empty
// cells, edges), the room the chart keeps for it, and its picture under a
// bar chart.

#include "chart/extensions/tools/PlotDataTableTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotSeries.h"
#include "platform/core/ComponentStream.h"
#include "tests/support/ReferenceImage.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"

#include <QtCore/QBuffer>

#include <gtest/gtest.h>

namespace lp {
namespace {

// Ticks 100, 200, 300 on a horizontal axis from 50 to 350, three series.
TDataTableLayoutInput ThreeTicks()
{
    TDataTableLayoutInput In;
    In.Ticks = {100, 200, 300};
    In.AxisStart = 50;
    In.AxisEnd = 350;
    In.Base = 250;
    In.RowSize = 12;
    In.MaxCount = 3;
    In.Counts = {3, 3, 3};
    return In;
}

std::vector<int> PointsOfSeries(const TDataTableLayout& L, int Series)
{
    std::vector<int> Points;
    for (const TDataTableCell& C : L.Cells)
        if (C.Series == Series)
            Points.push_back(C.Point);
    return Points;
}

TEST(DataTableLayout, RowsLieBelowTheAxisPastTheLabelRoomAndColumnsSplitBetweenTicks)
{
    const TDataTableLayout L = CalcDataTableLayout(ThreeTicks());
    EXPECT_TRUE(L.Forward);
    EXPECT_EQ(L.RowBounds, (std::vector<int>{272, 284, 296, 308}));
    // Between the ticks, then the two outer edges half a step beyond.
    EXPECT_EQ(L.Separators, (std::vector<int>{150, 250, 350, 50}));
    EXPECT_EQ(L.Edge1, 350);
    EXPECT_EQ(L.Edge2, 50);
    EXPECT_EQ(PointsOfSeries(L, 0), (std::vector<int>{0, 1, 2}));
}

TEST(DataTableLayout, ShortSeriesAndNullPointsLeaveEmptyCells)
{
    TDataTableLayoutInput In = ThreeTicks();
    In.Counts = {3, 1, 3};
    In.IsNull = [](int Series, int Index) { return Series == 2 && Index == 1; };
    const TDataTableLayout L = CalcDataTableLayout(In);
    EXPECT_EQ(PointsOfSeries(L, 1), (std::vector<int>{0}));
    EXPECT_EQ(PointsOfSeries(L, 2), (std::vector<int>{0, 2}));
}

TEST(DataTableLayout, OneLabelGivesNoSeparatorsAndSpansTheWholeAxis)
{
    TDataTableLayoutInput In = ThreeTicks();
    In.Ticks = {180};
    const TDataTableLayout L = CalcDataTableLayout(In);
    EXPECT_TRUE(L.Separators.empty());
    EXPECT_EQ(L.Edge1, 50);
    EXPECT_EQ(L.Edge2, 350);
    // Not forward with one tick: the last tick shows point MaxCount − 1.
    EXPECT_EQ(PointsOfSeries(L, 0), (std::vector<int>{2}));
}

TEST(DataTableLayout, InvertedReversesTheRowsButNotTheColumns)
{
    TDataTableLayoutInput In = ThreeTicks();
    const TDataTableLayout Plain = CalcDataTableLayout(In);
    In.Inverted = true;
    const TDataTableLayout Inverted = CalcDataTableLayout(In);
    ASSERT_EQ(Plain.Cells.size(), Inverted.Cells.size());
    for (size_t I = 0; I < Plain.Cells.size(); ++I) {
        EXPECT_EQ(Inverted.Cells[I].Tick, Plain.Cells[I].Tick);
        EXPECT_EQ(Inverted.Cells[I].Point, Plain.Cells[I].Point);
        EXPECT_EQ(Inverted.Cells[I].Row, 2 - Plain.Cells[I].Row);
    }
}

TEST(DataTableLayout, AVerticalAxisRunsBackwardsFromTheTopAndStacksRowsLeftwards)
{
    TDataTableLayoutInput In = ThreeTicks();
    // Pixels fall as values rise on a vertical axis.
    In.Ticks = {300, 200, 100};
    In.Horizontal = false;
    In.Direction = -1;
    In.Base = 60;
    const TDataTableLayout L = CalcDataTableLayout(In);
    EXPECT_TRUE(L.Forward);
    EXPECT_EQ(L.RowBounds.front(), 60 - (12 + 10));
    EXPECT_EQ(PointsOfSeries(L, 0), (std::vector<int>{0, 1, 2}));
    In.AxisInverted = true;
    EXPECT_EQ(PointsOfSeries(CalcDataTableLayout(In), 0), (std::vector<int>{2, 1, 0}));
}

TEST(DataTableLayout, TheHeaderStandsBeforeTheTablesStartOrAfterItsEndOnTheOtherSide)
{
    TDataTableLayout L = CalcDataTableLayout(ThreeTicks());
    int From = 0;
    int To = 0;
    PlaceDataTableHeader(L, true, false, false, 40, From, To);
    EXPECT_EQ(From, 10);
    EXPECT_EQ(To, 50);
    TDataTableLayout Other = CalcDataTableLayout(ThreeTicks());
    PlaceDataTableHeader(Other, true, false, true, 40, From, To);
    EXPECT_EQ(From, 350);
    EXPECT_EQ(To, 390);
}

struct TTableChart : test::TToolChart {
    TDataTableTool* Table = nullptr;
    TBarSeries* Sales = nullptr;
    TBarSeries* Costs = nullptr;

    TTableChart()
    {
        Chart.BottomAxis()->SetAutomatic(true);
        Sales = new TBarSeries(&Chart);
        Sales->SetTitle(QStringLiteral("Sales"));
        Chart.AddSeries(Sales);
        Costs = new TBarSeries(&Chart);
        Costs->SetTitle(QStringLiteral("Costs"));
        Chart.AddSeries(Costs);
        for (const double V : {35, 70, 50, 85, 20})
            Sales->Add(V);
        for (const double V : {20, 40, 30, 45})
            Costs->Add(V);
        Costs->AddNull();
        Table = new TDataTableTool(&Chart);
        Chart.Tools().Add(Table);
    }
};

TEST(DataTableTool, TheChartKeepsRoomForTheTableOnlyWithTableSeries)
{
    TTableChart F;
    F.Paint();
    const int WithTable = F.Chart.ChartRectangle().Bottom;
    F.Sales->SetActive(false);
    F.Costs->SetActive(false);
    F.Paint();
    EXPECT_EQ(F.Table->AxisSize(F.Chart.BottomAxis(), 17), 17);
    EXPECT_GT(F.Chart.ChartRectangle().Bottom, WithTable);
}

TEST(DataTableTool, AutomaticPlacementWritesTopAndLeavesItWhenSwitchedOff)
{
    TTableChart F;
    F.Paint();
    const int Top = F.Table->Top();
    EXPECT_EQ(Top, F.Chart.BottomAxis()->AxisLinePixel());
    EXPECT_EQ(F.Table->Left(), 0);
    F.Table->SetAutoPosition(false);
    F.Paint();
    EXPECT_EQ(F.Table->Top(), Top);
}

// Chart text read into Chart; its one tool as a data table, null when it
// holds another number of tools or another kind.
TDataTableTool* DataTableReadFromText(QByteArray Text, TChart& Chart)
{
    QBuffer In(&Text);
    In.open(QIODevice::ReadOnly);
    TComponentReader().ReadRootComponent(ReadStreamText(In), &Chart);
    EXPECT_EQ(Chart.Tools().Count(), 1);
    return Chart.Tools().Count() == 1 ? qobject_cast<TDataTableTool*>(Chart.Tools()[0]) : nullptr;
}

TEST(DataTableTool, TheHeaderColumnStoresItsBorderPenAsPen)
{
    TTableChart F;
    F.Table->SetName(QStringLiteral("Table1"));
    F.Table->Legend()->Pen()->SetColor(0x0000FF);
    F.Table->Legend()->Pen()->SetWidth(3);
    const QByteArray Text = test::ComponentText(F.Chart);
    EXPECT_TRUE(Text.contains("Legend.Pen.Color = 255")) << Text.toStdString();
    EXPECT_FALSE(Text.contains("Legend.Frame")) << Text.toStdString();

    TChart Copy;
    auto* Read = DataTableReadFromText(Text, Copy);
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(Read->Legend()->Pen()->Color(), 0x0000FF);
    EXPECT_EQ(Read->Legend()->Pen()->Width(), 3);
}

TEST(DataTableTool, AnEarlierFileNamingTheHeaderPenFrameStillReads)
{
    const QByteArray Text("object Chart1: TChart\n"
                    "  object Table1: TDataTableTool\n"
                    "    Legend.Frame.Color = 255\n"
                    "    Legend.Frame.Width = 2\n"
                    "    Legend.Frame.Visible = False\n"
                    "  end\n"
                    "end\n");
    TChart Chart;
    auto* Read = DataTableReadFromText(Text, Chart);
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(Read->Legend()->Pen()->Color(), 0x0000FF);
    EXPECT_EQ(Read->Legend()->Pen()->Width(), 2);
    EXPECT_FALSE(Read->Legend()->Pen()->Visible());
    // Written again, it names the pen Pen.
    EXPECT_TRUE(test::ComponentText(Chart).contains("Legend.Pen.Width = 2"));
}

TEST(DataTableTool, PictureUnderABarChart)
{
    TTableChart F;
    F.Chart.Legend()->SetVisible(false);
    F.Paint();
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "data-table"));
}

} // namespace
} // namespace lp
