// The grid band tool: the stripes between the ticks of vertical and
// horizontal axes for one, two, three and many ticks, clear brushes, the
// band colours, the hook on the axis, and translucent stripes.

#include "chart/extensions/tools/PlotGridBandTool.h"

#include "tests/chart/extensions/tools/ToolsRecordingUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TRecordingToolChart;

struct TBandsChart : TRecordingToolChart {
    TGridBandTool* Tool = AddTool<TGridBandTool>();

    explicit TBandsChart(bool Horizontal = false)
    {
        Tool->SetAxis(Horizontal ? Chart.BottomAxis() : Chart.LeftAxis());
        Tool->Band1()->SetColor(clYellow);
        Tool->Band2()->SetColor(clAqua);
    }
    // Draws the axis with labels every Increment; the stripes drawn, each
    // with the band (1 or 2) whose colour filled it.
    QStringList Stripes(double Increment)
    {
        TChartAxis* Axis = Tool->Axis();
        Axis->SetLabelStyle(talValue);
        Axis->SetIncrement(Increment);
        DC.ClearCalls();
        Axis->DrawAxis(true);
        QStringList Result;
        QString Brush;
        for (const QString& Call : DC.Calls()) {
            if (Call.startsWith(QLatin1String("SelectBrush(")))
                Brush = Call;
            else if (Call.startsWith(QLatin1String("Rectangle(")))
                Result << Call + (Brush.contains(QLatin1String("0x00FFFF"))   ? QStringLiteral(" 1")
                                  : Brush.contains(QLatin1String("0xFFFF00")) ? QStringLiteral(" 2")
                                                                              : QStringLiteral(" ?"));
        }
        return Result;
    }
};

TEST(GridBandTool, StripesOfAVerticalAxisForOneTwoThreeAndManyTicks)
{
    struct TRow {
        double Increment;
        std::vector<int> Ticks;
        QStringList Expected;
    };
    const TRow Rows[] = {
        // One tick: no stripe.
        {150, {200}, {}},
        // Two ticks: above the first and between them (the stripe between
        // two ticks is filled as between any others).
        {60, {80, 200}, {"Rectangle(1,1,400,81) 1", "Rectangle(1,80,400,201) 2"}},
        // Ticks on both ends: the stripes between them; the brushes
        // alternate from the axis' top end even where it has no stripe.
        {50, {0, 100, 200}, {"Rectangle(1,0,400,101) 2", "Rectangle(1,100,400,201) 1"}},
        {20,
         {0, 40, 80, 120, 160, 200},
         {"Rectangle(1,0,400,41) 2", "Rectangle(1,40,400,81) 1", "Rectangle(1,80,400,121) 2",
          "Rectangle(1,120,400,161) 1", "Rectangle(1,160,400,201) 2"}},
    };
    for (const TRow& Row : Rows) {
        TBandsChart F;
        EXPECT_EQ(F.Stripes(Row.Increment), Row.Expected) << Row.Increment;
        EXPECT_EQ(F.Tool->Axis()->TickPositions(), Row.Ticks) << Row.Increment;
    }
}

TEST(GridBandTool, StripesOfAHorizontalAxisRunFromItsRightEnd)
{
    TBandsChart F(true);
    // Ticks at 3, 1.5 and 0: pixels 300, 150, 0.
    EXPECT_EQ(F.Stripes(1.5), (QStringList{"Rectangle(300,1,399,200) 1", "Rectangle(150,1,300,200) 2",
                                           "Rectangle(0,1,150,200) 1"}));
}

TEST(GridBandTool, ClearBrushesLeaveTheirStripesOut)
{
    TBandsChart F;
    F.Tool->Band2()->SetStyle(bsClear);
    EXPECT_EQ(F.Stripes(60), QStringList{"Rectangle(1,1,400,81) 1"});
    F.Tool->Band1()->SetStyle(bsClear);
    EXPECT_TRUE(F.Stripes(20).isEmpty());
    F.Tool->Band1()->SetStyle(bsSolid);
    F.Tool->SetActive(false);
    EXPECT_TRUE(F.Stripes(20).isEmpty());
}

TEST(GridBandTool, TheDefaultBackColourIsTheCharts)
{
    TBandsChart F;
    F.Chart.SetColor(clGreen);
    F.Tool->Band1()->SetStyle(bsCross);
    F.Tool->Band2()->SetStyle(bsClear);
    F.Stripes(60);
    EXPECT_TRUE(F.Calls("SetBkColor(").contains(QStringLiteral("SetBkColor(0x008000)")));
    F.Tool->Band1()->SetBackColor(clRed);
    F.Stripes(60);
    EXPECT_TRUE(F.Calls("SetBkColor(").contains(QStringLiteral("SetBkColor(0x0000FF)")));
}

TEST(GridBandTool, TheToolIsTheHookOfItsAxisOnly)
{
    TBandsChart F;
    EXPECT_TRUE(static_cast<bool>(F.Chart.LeftAxis()->OnDrawGrid));
    F.Tool->SetAxis(F.Chart.BottomAxis());
    EXPECT_FALSE(static_cast<bool>(F.Chart.LeftAxis()->OnDrawGrid));
    EXPECT_TRUE(static_cast<bool>(F.Chart.BottomAxis()->OnDrawGrid));
    delete F.Tool;
    EXPECT_FALSE(static_cast<bool>(F.Chart.BottomAxis()->OnDrawGrid));
}

} // namespace
} // namespace lp
