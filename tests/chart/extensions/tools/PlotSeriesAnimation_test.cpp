// The series animation tool, driven through an injected refresh that
// records the animated values at every step: the step values, point groups,
// the start at the minimum, Stop, loops, and steps below one.

#include "chart/extensions/tools/PlotSeriesAnimation.h"

#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"
#include "tests/chart/extensions/tools/ToolsRecordingUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace lp {
namespace {

using test::TRecordingToolChart;

struct TAnimationChart : TRecordingToolChart {
    TSeriesAnimationTool* Tool = AddTool<TSeriesAnimationTool>();
    TChartSeries* Series = nullptr;
    // The Y values at each refresh.
    std::vector<std::vector<double>> Frames;
    std::vector<int> Steps;

    explicit TAnimationChart(std::initializer_list<double> Values)
    {
        Series = new TChartSeries(&Chart);
        Chart.AddSeries(Series);
        for (const double V : Values)
            Series->Add(V);
        Tool->SetSeries(Series);
        Tool->RefreshChart = [this](TCustomAxisPanel& Refreshed) {
            EXPECT_EQ(&Refreshed, &Chart);
            std::vector<double> Frame;
            for (int I = 0; I < Series->Count(); ++I)
                Frame.push_back(Series->YValues()->Value(I));
            Frames.push_back(Frame);
        };
        Tool->OnStep = [this](TSeriesAnimationTool*, int Step) { Steps.push_back(Step); };
    }
    std::vector<double> Values() const
    {
        std::vector<double> Result;
        for (int I = 0; I < Series->Count(); ++I)
            Result.push_back(Series->YValues()->Value(I));
        return Result;
    }
};

using TFrames = std::vector<std::vector<double>>;

TEST(SeriesAnimation, StepsGrowFromTheStartToTheSavedValues)
{
    TAnimationChart F({8});
    F.Tool->SetStartAtMin(false);
    F.Tool->SetSteps(4);
    F.Tool->Execute();
    // The start, steps 0 .. 4, and the saved values put back.
    EXPECT_EQ(F.Frames, (TFrames{{0}, {0}, {2}, {4}, {6}, {8}, {8}}));
    EXPECT_EQ(F.Steps, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(F.Tool->Running());
    EXPECT_EQ(F.Series->UpdateCount(), 0);
}

TEST(SeriesAnimation, DrawEveryAnimatesGroupsOneAfterAnother)
{
    TAnimationChart F({10, 11, 12, 13, 14, 15, 16});
    F.Tool->SetStartAtMin(false);
    F.Tool->SetSteps(1);
    F.Tool->SetDrawEvery(3);
    F.Tool->Execute();
    // Groups 0-2, 3-5 and 6, each in steps 0 and 1; later groups wait at
    // the start, earlier ones keep their values.
    EXPECT_EQ(F.Frames, (TFrames{{0, 0, 0, 0, 0, 0, 0},
                                 {0, 0, 0, 0, 0, 0, 0},
                                 {10, 11, 12, 0, 0, 0, 0},
                                 {10, 11, 12, 0, 0, 0, 0},
                                 {10, 11, 12, 13, 14, 15, 0},
                                 {10, 11, 12, 13, 14, 15, 0},
                                 {10, 11, 12, 13, 14, 15, 16},
                                 {10, 11, 12, 13, 14, 15, 16}}));
    EXPECT_EQ(F.Steps, (std::vector<int>{0, 1, 0, 1, 0, 1}));
}

TEST(SeriesAnimation, TheMinimumPointStaysWithStartAtMin)
{
    TAnimationChart F({20, 5, 10});
    F.Tool->SetSteps(5);
    F.Tool->Execute();
    ASSERT_EQ(F.Frames.size(), 8u);
    for (const auto& Frame : F.Frames)
        EXPECT_DOUBLE_EQ(Frame[1], 5);
    EXPECT_DOUBLE_EQ(F.Frames[3][0], 11);  // 5 + 2/5 of 15
}

TEST(SeriesAnimation, StopRestoresTheSavedValues)
{
    TAnimationChart F({8, 4});
    F.Tool->SetStartAtMin(false);
    F.Tool->SetSteps(10);
    F.Tool->OnStep = [&](TSeriesAnimationTool* Sender, int Step) {
        F.Steps.push_back(Step);
        if (Step == 2)
            Sender->Stop();
    };
    F.Tool->Execute();
    EXPECT_EQ(F.Steps, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(F.Tool->Running());
    EXPECT_EQ(F.Values(), (std::vector<double>{8, 4}));
}

TEST(SeriesAnimation, LoopsRunUntilStoppedAndCircularPassesShrinkBackwards)
{
    for (const auto Loop : {TSeriesAnimationTool::salOneWay, TSeriesAnimationTool::salCircular}) {
        TAnimationChart F({8});
        F.Tool->SetStartAtMin(false);
        F.Tool->SetSteps(2);
        F.Tool->SetLoop(Loop);
        // Three passes: each refreshes at the start, at steps 0 .. 2 and at
        // the end; the third pass is stopped at its first step.
        F.Tool->OnStep = [&](TSeriesAnimationTool* Sender, int Step) {
            F.Steps.push_back(Step);
            if (F.Steps.size() == 7)
                Sender->Stop();
        };
        F.Tool->Execute();
        EXPECT_EQ(F.Steps, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
        const std::vector<double> Second{F.Frames[6][0], F.Frames[7][0], F.Frames[8][0]};
        if (Loop == TSeriesAnimationTool::salOneWay)
            EXPECT_EQ(Second, (std::vector<double>{0, 4, 8}));
        else
            EXPECT_EQ(Second, (std::vector<double>{8, 4, 0}));
        EXPECT_EQ(F.Values(), std::vector<double>{8});
    }
}

TEST(SeriesAnimation, StepsBelowOneAnimateInOneStep)
{
    for (const int Steps : {0, -5}) {
        TAnimationChart F({6});
        F.Tool->SetStartAtMin(false);
        F.Tool->SetSteps(Steps);
        F.Tool->Execute();
        EXPECT_EQ(F.Frames, (TFrames{{0}, {0}, {6}, {6}}));
    }
}

TEST(SeriesAnimation, NothingRunsWithoutASeriesOrWhileRunning)
{
    TAnimationChart F({3});
    int Nested = 0;
    F.Tool->OnStep = [&](TSeriesAnimationTool* Sender, int) {
        ++Nested;
        Sender->Execute();
    };
    F.Tool->SetSteps(1);
    F.Tool->Execute();
    EXPECT_EQ(Nested, 2);
    F.Tool->SetSeries(nullptr);
    F.Frames.clear();
    F.Tool->Execute();
    EXPECT_TRUE(F.Frames.empty());
}

TEST(SeriesAnimation, AFailingStepLeavesTheSavedValues)
{
    // A step that raised used to leave the series at its animated values.
    TAnimationChart F({8, 2});
    F.Tool->SetSteps(4);
    F.Tool->OnStep = [](TSeriesAnimationTool*, int Step) {
        if (Step == 2)
            throw ERangeError("step failed");
    };
    EXPECT_THROW(F.Tool->Execute(), ERangeError);
    EXPECT_FALSE(F.Tool->Running());
    EXPECT_EQ(F.Values(), (std::vector<double>{8, 2}));
    EXPECT_EQ(F.Series->UpdateCount(), 0);
}

TEST(SeriesAnimation, ASeriesFreedDuringTheAnimationEndsIt)
{
    TAnimationChart F({3, 4});
    F.Tool->SetSteps(3);
    F.Tool->OnStep = [&](TSeriesAnimationTool*, int Step) {
        if (Step == 1)
            delete F.Series;
    };
    F.Tool->RefreshChart = [](TCustomAxisPanel&) {};
    F.Tool->Execute();
    EXPECT_FALSE(F.Tool->Running());
    EXPECT_EQ(F.Tool->Series(), nullptr);
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// An event handled during a step frees the tool: the animation ends, the
// series gets its values back and leaves its update, and nothing of the
// freed tool is touched (AddressSanitizer watches).
TEST(SeriesAnimation, AToolFreedDuringAStepEndsTheAnimationCleanly)
{
    TAnimationChart F({3, 5, 9});
    F.Tool->SetLoop(TSeriesAnimationTool::salCircular);
    int Refreshes = 0;
    F.Tool->RefreshChart = [&F, &Refreshes](TCustomAxisPanel&) {
        if (++Refreshes == 4)
            delete F.Tool;
    };
    TChartSeries* Series = F.Series;
    F.Tool->Execute();
    EXPECT_EQ(Refreshes, 4);
    EXPECT_EQ(F.Values(), (std::vector<double>{3, 5, 9}));
    EXPECT_EQ(Series->UpdateCount(), 0);
}

} // namespace
} // namespace lp
