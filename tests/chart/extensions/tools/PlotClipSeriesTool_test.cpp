// The clip series tool: the series' draw events clip to its axes while the
// chart clips, are replaced when set and cleared when the tool lets go.

#include "chart/extensions/tools/PlotClipSeriesTool.h"

#include "tests/chart/extensions/tools/ToolsRecordingUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TRecordingToolChart;

TEST(ClipSeriesTool, ClipsToTheSeriesAxesWhileTheChartClips)
{
    for (const bool ClipPoints : {true, false}) {
        TRecordingToolChart F;
        TChartSeries* S = F.AddPoints({{1, 10}, {3, 90}});
        auto* Tool = F.AddTool<TClipSeriesTool>();
        Tool->SetSeries(S);
        F.Chart.SetClipPoints(ClipPoints);
        F.DC.ClearCalls();
        S->DoBeforeDrawValues();
        const QStringList Clips = F.Calls("IntersectClipRect(") + F.Calls("SelectClipRgn(") +
                                  F.Calls("ExtSelectClipRgn(");
        EXPECT_EQ(Clips.isEmpty(), !ClipPoints) << Clips.join(' ').toStdString();
        if (ClipPoints) {
            EXPECT_TRUE(Clips.first().contains(QStringLiteral("0,0,400,200"))) << Clips.first().toStdString();
        }
        F.DC.ClearCalls();
        S->DoAfterDrawValues();
        EXPECT_EQ(F.Calls("SelectClipRgn(").isEmpty() && F.Calls("ExtSelectClipRgn(").isEmpty(), !ClipPoints);
    }
}

TEST(ClipSeriesTool, TakesOverTheDrawEventsAndClearsThemWhenLettingGo)
{
    TRecordingToolChart F;
    TChartSeries* A = F.AddPoints({{1, 10}});
    TChartSeries* B = F.AddPoints({{2, 20}});
    int Own = 0;
    A->BeforeDrawValues = [&](QObject*) { ++Own; };
    auto* Tool = F.AddTool<TClipSeriesTool>();
    Tool->SetSeries(A);
    A->DoBeforeDrawValues();
    A->DoAfterDrawValues();
    EXPECT_EQ(Own, 0);
    // Another series: the old one's events are cleared, not restored.
    Tool->SetSeries(B);
    EXPECT_FALSE(static_cast<bool>(A->BeforeDrawValues));
    EXPECT_FALSE(static_cast<bool>(A->AfterDrawValues));
    EXPECT_TRUE(static_cast<bool>(B->BeforeDrawValues));
    EXPECT_TRUE(static_cast<bool>(B->AfterDrawValues));
    delete Tool;
    EXPECT_FALSE(static_cast<bool>(B->BeforeDrawValues));
    EXPECT_FALSE(static_cast<bool>(B->AfterDrawValues));
    // A series freed while hooked leaves the tool without one.
    auto* Other = F.AddTool<TClipSeriesTool>();
    Other->SetSeries(A);
    delete A;
    EXPECT_EQ(Other->Series(), nullptr);
}

} // namespace
} // namespace lp
