// The Gantt series: bars and links drawn from the recorded calls, links to
// no task, hits on bars, the range reaching the end dates, the stored
// "End" and "NextTask" lists and a picture.

#include "chart/extensions/planning/PlotGantt.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

// X 0 .. 100 at 4 pixels a unit, Y 0 .. 100 at pixel 200 - 2 Y.
struct TGanttChart : test::TFixedAxesChart {
    TGanttChart() : TFixedAxesChart(false, 100, 100)
    {
        Gantt = new TGanttSeries(&Chart);
        Chart.AddSeries(Gantt);
    }
    QStringList Lines()
    {
        Layout();
        DC.ClearCalls();
        Gantt->DrawAllValues();
        return DC.Calls().filter(QRegularExpression("^(MoveTo|LineTo)\\("));
    }
    TGanttSeries* Gantt = nullptr;
};

TEST(GanttSeries, LinksOnlyToTasksThatExist)
{
    TGanttChart C;
    C.Gantt->Pointer()->SetVisible(false);
    C.Gantt->AddGantt(10, 30, 20);
    C.Gantt->AddGantt(50, 60, 50);
    C.Gantt->AddGantt(70, 80, 10);
    EXPECT_TRUE(C.Lines().isEmpty());
    C.Gantt->NextTask()->SetValue(0, 1);
    // Beyond the tasks and negative: no link.
    C.Gantt->NextTask()->SetValue(1, 3);
    C.Gantt->NextTask()->SetValue(2, -2);
    EXPECT_EQ(C.Lines().join(' ').toStdString(), QStringList({"MoveTo(120,160)", "LineTo(160,160)", "LineTo(160,100)", "LineTo(200,100)"}).join(' ').toStdString());
    C.Gantt->ConnectingPen()->SetVisible(false);
    EXPECT_TRUE(C.Lines().isEmpty());
}

TEST(GanttSeries, BarSpansTheTaskAndIsHitThere)
{
    TGanttChart C;
    C.Gantt->AddGantt(10, 30, 20);
    C.Gantt->AddGantt(50, 60, 50);
    C.Layout();
    EXPECT_EQ(C.Gantt->Clicked(80, 160), 0);
    EXPECT_EQ(C.Gantt->Clicked(41, 162), 0);
    EXPECT_EQ(C.Gantt->Clicked(130, 160), -1);
    EXPECT_EQ(C.Gantt->Clicked(80, 160 + C.Gantt->Pointer()->VertSize()), -1);
    EXPECT_EQ(C.Gantt->Clicked(220, 100), 1);
    EXPECT_EQ(C.Gantt->MaxXValue(), 60);
    EXPECT_EQ(C.Gantt->MinXValue(), 10);
}

TEST(GanttSeries, TasksKeepTheOrderTheyWereAddedIn)
{
    TGanttSeries S;
    S.AddGantt(50, 60, 1);
    S.AddGantt(10, 20, 2);
    S.AddXY(5, 3);
    EXPECT_EQ(S.StartValues()->Value(1), 10);
    EXPECT_EQ(S.NextTask()->Value(0), -1);
    EXPECT_EQ(S.NextTask()->Value(2), -1);
    EXPECT_EQ(S.StartValues()->Name(), "Start");
    EXPECT_TRUE(S.EndValues()->DateTime());
}

TEST(GanttSeries, SampleTasksLinkToLaterOnes)
{
    TChartSeries::RandomSeed(3);
    TGanttSeries S;
    S.FillSampleValues(12);
    ASSERT_EQ(S.Count(), 12);
    EXPECT_EQ(S.Labels()[9], "Banking");
    int Links = 0;
    for (int I = 0; I < S.Count(); ++I) {
        const int N = static_cast<int>(S.NextTask()->Value(I));
        if (N == -1)
            continue;
        ++Links;
        EXPECT_GT(N, I);
        EXPECT_LT(S.EndValues()->Value(I), S.StartValues()->Value(N));
    }
    EXPECT_GT(Links, 0);
}

TEST(GanttSeries, DataBlockKeepsEndAndNextTask)
{
    TChart Original;
    auto* S = new TGanttSeries(&Original);
    S->SetName(QStringLiteral("Plan"));
    Original.AddSeries(S);
    S->AddGantt(1, 4.5, 0, QStringLiteral("A"));
    S->AddGantt(6, 9.25, 1, QStringLiteral("B"));
    S->NextTask()->SetValue(0, 1);
    S->SetSaveData(true);
    S->SetManualData(true);
    TChart Copy;
    test::ReadInto(Original, Copy);
    auto* R = qobject_cast<TGanttSeries*>(Copy.Series(0));
    ASSERT_TRUE(R);
    ASSERT_EQ(R->Count(), 2);
    EXPECT_EQ(R->EndValues()->Value(1), 9.25);
    EXPECT_EQ(R->NextTask()->Value(0), 1);
    EXPECT_EQ(R->NextTask()->Value(1), -1);
    EXPECT_TRUE(qobject_cast<TGanttSeries*>(Copy.Series(0))->IsValidSourceOf(R));
    EXPECT_EQ(PlotSeriesTypes()->Find(&TGanttSeries::staticMetaObject)->GalleryPageText(), "Standard");
}

TEST(GanttPicture, TasksWithLinks)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 240);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    auto* S = new TGanttSeries(&Chart);
    Chart.AddSeries(S);
    S->AddGantt(0, 4, 0, QStringLiteral("Survey"));
    S->AddGantt(6, 12, 1, QStringLiteral("Drilling"));
    S->AddGantt(7, 10, 2, QStringLiteral("Logging"));
    S->AddGantt(14, 20, 3, QStringLiteral("Model"));
    S->NextTask()->SetValue(0, 1);
    S->NextTask()->SetValue(1, 3);
    S->NextTask()->SetValue(2, 3);
    S->Pointer()->SetVertSize(8);
    S->ConnectingPen()->SetWidth(2);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "planning", "gantt-links"));
}

// Tasks whose dates lie near 1e300, beyond the calendar: every paint raised
// "Invalid argument to date encode" from the legend's date texts, before and
// after a Ctrl+wheel turn scrolled the vertical range. The dates show as
// numbers and the bars are drawn.
TEST(GanttPicture, DatesBeyondTheCalendar)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetView3D(false);
    auto* Gantt = new TGanttSeries(&Chart);
    Chart.AddSeries(Gantt);
    Gantt->AddGanttColor(1e300, 1.1e300, 1e300, "A", clRed);
    Gantt->AddGanttColor(0.9e300, 1e300, 0.95e300, "B", clRed);
    for (int Turn = 0; Turn < 2; ++Turn) {
        SCOPED_TRACE(Turn);
        QImage Picture;
        ASSERT_NO_THROW(Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage());
        EXPECT_GT(test::CountPixelsOf(Picture, qRgb(255, 0, 0)), 50);
        Chart.DoMouseWheel(TControl::TShiftState(TControl::ssCtrl), 120, {200, 150});
    }
}

} // namespace
} // namespace lp
