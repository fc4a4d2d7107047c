// Marks tip and drag marks tools: the hint of the point under the mouse
// through a recording hint service, and marks moved by the mouse.

#include "chart/extensions/tools/PlotDragMarksTool.h"
#include "chart/extensions/tools/PlotMarksTipTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotMarks.h"
#include "platform/ui/Hints.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TToolChart;

// Records what the tools ask of the hint window.
struct THintRecorder {
    QStringList Shown;
    int Cancels = 0;
    THintRecorder()
    {
        HintService().Show = [this](const THintRequest& R) { Shown << R.Text; };
        HintService().Cancel = [this] { ++Cancels; };
    }
    ~THintRecorder() { ResetHintService(); }
};

// Bars "A" 30, "B" 60, "C" 45 on automatic axes, painted once.
struct TBarsFixture : TToolChart {
    TBarSeries* Bars = new TBarSeries(&Chart);

    TBarsFixture()
    {
        Chart.LeftAxis()->SetAutomatic(true);
        Chart.BottomAxis()->SetAutomatic(true);
        Chart.AddSeries(Bars);
        Bars->Add(30, QStringLiteral("A"));
        Bars->Add(60, QStringLiteral("B"));
        Bars->Add(45, QStringLiteral("C"));
        Paint();
    }
    // A point inside bar Index of Series.
    static TPoint InBar(TChartSeries& Series, int Index)
    {
        const int Bottom = Series.GetVertAxis()->CalcPosValue(0);
        return TPoint{Series.CalcXPos(Index) + 3, (Series.CalcYPos(Index) + Bottom) / 2};
    }
    static TPoint InMark(TChartSeries& Series, int Index)
    {
        const TRect R = Series.Marks()->Positions().GetPosition(Index)->Bounds();
        return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }
};

TEST(MarksTipTool, APointsHintIsShownOnceWhileTheMouseStaysOnIt)
{
    THintRecorder Hints;
    TBarsFixture F;
    auto* Tool = new TMarksTipTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    const TPoint P = F.InBar(*F.Bars, 1);
    ASSERT_EQ(F.Bars->Clicked(P.X, P.Y), 1);
    F.Move(P.X, P.Y);
    F.Move(P.X, P.Y + 1);
    EXPECT_EQ(Hints.Shown, QStringList{QStringLiteral("B")});
    EXPECT_EQ(ControlHint(F.Chart), QStringLiteral("B"));
    EXPECT_TRUE(ControlShowHint(F.Chart));
    const TPoint Q = F.InBar(*F.Bars, 2);
    F.Move(Q.X, Q.Y);
    EXPECT_EQ(Hints.Shown, (QStringList{QStringLiteral("B"), QStringLiteral("C")}));
    const int CancelsBefore = Hints.Cancels;
    F.Move(395, 5);
    EXPECT_EQ(Hints.Cancels, CancelsBefore + 1);
    EXPECT_TRUE(ControlHint(F.Chart).isEmpty());
}

TEST(MarksTipTool, TheTextTakesTheToolsStyleAndLeavesTheSeriesStyleAlone)
{
    THintRecorder Hints;
    TBarsFixture F;
    auto* Tool = new TMarksTipTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    Tool->SetStyle(TSeriesMarks::smsValue);
    Tool->OnGetText = [](TMarksTipTool*, QString& Text) { Text = QStringLiteral("Value ") + Text; };
    F.Bars->Marks()->SetStyle(TSeriesMarks::smsLabel);
    const int PaintsBefore = F.Chart.Invalidations;
    const TPoint P = F.InBar(*F.Bars, 0);
    F.Move(P.X, P.Y);
    EXPECT_EQ(Hints.Shown, QStringList{QStringLiteral("Value 30")});
    EXPECT_EQ(F.Bars->Marks()->Style(), TSeriesMarks::smsLabel);
    EXPECT_TRUE(F.Chart.RepaintEnabled());
    EXPECT_EQ(F.Chart.Invalidations, PaintsBefore);
}

TEST(MarksTipTool, OnClickMovesNeitherShowNorHide)
{
    THintRecorder Hints;
    TBarsFixture F;
    auto* Tool = new TMarksTipTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    Tool->SetMouseAction(mtmClick);
    const TPoint P = F.InBar(*F.Bars, 1);
    F.Move(P.X, P.Y);
    EXPECT_TRUE(Hints.Shown.isEmpty());
    Tool->ChartMouseEvent(cmeDown, mbLeft, {}, P.X, P.Y);
    EXPECT_EQ(Hints.Shown, QStringList{QStringLiteral("B")});
    const int CancelsBefore = Hints.Cancels;
    F.Move(395, 5);
    EXPECT_EQ(Hints.Cancels, CancelsBefore);
    EXPECT_EQ(ControlHint(F.Chart), QStringLiteral("B"));
}

TEST(MarksTipTool, TwoToolsDoNotHideEachOthersHint)
{
    THintRecorder Hints;
    TBarsFixture F;
    auto* Second = new TBarSeries(&F.Chart);
    F.Chart.AddSeries(Second);
    Second->Add(20, QStringLiteral("X"));
    F.Paint();
    auto* ForBars = new TMarksTipTool(&F.Chart);
    ForBars->SetSeries(F.Bars);
    auto* ForSecond = new TMarksTipTool(&F.Chart);
    ForSecond->SetSeries(Second);
    F.Chart.Tools().Add(ForBars);
    F.Chart.Tools().Add(ForSecond);
    const TPoint P = F.InBar(*F.Bars, 1);
    ASSERT_EQ(F.Bars->Clicked(P.X, P.Y), 1);
    ASSERT_EQ(Second->Clicked(P.X, P.Y), -1);
    F.Move(P.X, P.Y);
    EXPECT_EQ(Hints.Shown, QStringList{QStringLiteral("B")});
    EXPECT_EQ(Hints.Cancels, 1);
    EXPECT_EQ(ControlHint(F.Chart), QStringLiteral("B"));
}

TEST(MarksTipTool, MouseDelayIsTheApplicationsHintPause)
{
    TMarksTipTool Tool;
    Tool.SetMouseDelay(1200);
    EXPECT_EQ(HintPause(), 1200);
    SetHintPause(500);
    EXPECT_EQ(Tool.MouseDelay(), 500);
}

TEST(MarksTipTool, SwitchingItOffHidesTheHint)
{
    THintRecorder Hints;
    TBarsFixture F;
    auto* Tool = new TMarksTipTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    int CancelEvents = 0;
    Tool->OnCancelHint = [&](QObject*) { ++CancelEvents; };
    const TPoint P = F.InBar(*F.Bars, 0);
    F.Move(P.X, P.Y);
    Tool->SetActive(false);
    EXPECT_TRUE(ControlHint(F.Chart).isEmpty());
    EXPECT_EQ(CancelEvents, 1);
}

// --- Drag marks ----------------------------------------------------------------------------

TEST(DragMarksTool, ADraggedMarkMovesWithItsArrowAndStaysCustom)
{
    TBarsFixture F;
    F.Bars->Marks()->SetVisible(true);
    F.Paint();
    auto* Tool = new TDragMarksTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    TSeriesMarkPosition Before = *F.Bars->Marks()->Positions().GetPosition(1);
    const TPoint P = F.InMark(*F.Bars, 1);
    F.Drag(P, {P.X + 25, P.Y - 10});
    const TSeriesMarkPosition& After = *F.Bars->Marks()->Positions().GetPosition(1);
    EXPECT_TRUE(After.UserMoved);
    EXPECT_EQ(After.TopLeft, (TPoint{Before.TopLeft.X + 25, Before.TopLeft.Y - 10}));
    EXPECT_EQ(After.ArrowEnd, (TPoint{Before.ArrowEnd.X + 25, Before.ArrowEnd.Y - 10}));
    F.Paint();
    EXPECT_EQ(F.Bars->Marks()->Positions().GetPosition(1)->TopLeft, After.TopLeft);
    EXPECT_EQ(Tool->DraggedIndex(), -1);
}

TEST(DragMarksTool, TheLaterSeriesWinsAndHiddenMarksAreIgnored)
{
    TBarsFixture F;
    auto* Copy = new TBarSeries(&F.Chart);
    F.Chart.AddSeries(Copy);
    Copy->AssignValues(F.Bars);
    Copy->SetMultiBar(TCustomBarSeries::mbNone);
    F.Bars->SetMultiBar(TCustomBarSeries::mbNone);
    F.Bars->Marks()->SetVisible(true);
    Copy->Marks()->SetVisible(true);
    F.Paint();
    TDragMarksTool Tool;
    Tool.SetParentChart(&F.Chart);
    const TPoint P = F.InMark(*F.Bars, 2);
    ASSERT_EQ(Copy->Marks()->Clicked(P.X, P.Y), 2);
    TChartSeries* Found = nullptr;
    int Index = -1;
    ASSERT_TRUE(Tool.MarkUnder(P.X, P.Y, Found, Index));
    EXPECT_EQ(Found, Copy);
    EXPECT_EQ(Index, 2);
    Copy->Marks()->SetVisible(false);
    ASSERT_TRUE(Tool.MarkUnder(P.X, P.Y, Found, Index));
    EXPECT_EQ(Found, F.Bars);
    F.Bars->Marks()->SetVisible(false);
    EXPECT_FALSE(Tool.MarkUnder(P.X, P.Y, Found, Index));
    F.Chart.SetMouseCancelled(false);
    Tool.ChartMouseEvent(cmeMove, mbLeft, {}, P.X, P.Y);
    EXPECT_FALSE(F.Chart.MouseCancelled());
}

} // namespace
} // namespace lp
