// The series animation page: "Stop" during a circular loop ends it and the
// series gets its values back; the page cannot be closed meanwhile; the
// tool or the page freed while the animation runs ends it cleanly; no
// series, no "Execute !".

#include "chart/editors/tools/SeriesAnimationToolPage.h"

#include "ToolPageTestSupport.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/tools/PlotSeriesAnimation.h"

#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <vector>

namespace lp {
namespace {

using test::TEditorChart;

std::vector<double> AnimatedValues(const TChartSeries& Series)
{
    std::vector<double> values;
    for (int i = 0; i < Series.YValues()->Count(); ++i)
        values.push_back(Series.YValues()->Value(i));
    return values;
}

struct AnimationPageTest : ::testing::Test {
    TEditorChart Chart;
    TLineSeries* Series = test::AddSampleSeries(Chart, QStringLiteral("Line"));
    TSeriesAnimationTool* Tool = test::AddChartTool<TSeriesAnimationTool>(Chart);
    std::unique_ptr<TSeriesAnimToolEditor> Page;
    std::vector<double> Original = AnimatedValues(*Series);
    int Steps = 0;

    void SetUp() override
    {
        Tool->SetSeries(Series);
        Tool->SetSteps(4);
        Tool->SetLoop(TSeriesAnimationTool::salCircular);
        Page = test::ShowToolPage<TSeriesAnimToolEditor>(Tool);
    }
};

TEST_F(AnimationPageTest, StopDuringACircularLoopRestoresTheValues)
{
    bool closeRefused = false;
    bool leaveRefused = false;
    Tool->RefreshChart = [this, &closeRefused, &leaveRefused](TCustomAxisPanel&) {
        if (++Steps == 3) {
            EXPECT_EQ(Page->Button1->text(), QStringLiteral("Stop"));
            closeRefused = !Page->close();
            leaveRefused = !Page->MayLeave();
        }
        // The user presses "Stop" while the loop goes round.
        if (Steps == 12)
            Page->Button1->click();
        ASSERT_LT(Steps, 1000) << "the loop did not stop";
    };
    Page->Button1->click();
    EXPECT_EQ(Steps, 12);
    EXPECT_TRUE(closeRefused);
    EXPECT_TRUE(leaveRefused);
    EXPECT_FALSE(Tool->Running());
    EXPECT_EQ(AnimatedValues(*Series), Original);
    EXPECT_EQ(Page->Button1->text(), QStringLiteral("&Execute !"));
    EXPECT_EQ(Page->Button1->property("Tag").toInt(), 0);
    EXPECT_TRUE(Page->MayLeave());
    EXPECT_TRUE(Page->isVisible());
}

TEST_F(AnimationPageTest, DeletingTheToolWhileItRunsEndsTheAnimation)
{
    Tool->RefreshChart = [this](TCustomAxisPanel&) {
        if (++Steps == 3)
            delete Tool;
    };
    Page->Button1->click();
    EXPECT_EQ(Steps, 3);
    EXPECT_EQ(Page->Target(), nullptr);
    EXPECT_EQ(AnimatedValues(*Series), Original);
    EXPECT_EQ(Page->Button1->text(), QStringLiteral("&Execute !"));
    EXPECT_FALSE(Page->Button1->isEnabled());
}

TEST_F(AnimationPageTest, FreeingThePageWhileItRunsStopsTheAnimation)
{
    Tool->RefreshChart = [this](TCustomAxisPanel&) {
        // The tools page shows another tool: this page goes.
        if (++Steps == 3)
            Page.reset();
        ASSERT_LT(Steps, 1000) << "the loop did not stop";
    };
    QPushButton* button = Page->Button1;
    button->click();
    EXPECT_EQ(Page, nullptr);
    EXPECT_LT(Steps, 10);
    EXPECT_FALSE(Tool->Running());
    EXPECT_EQ(AnimatedValues(*Series), Original);
}

TEST_F(AnimationPageTest, ShowingAnotherToolWhileItRunsStopsTheAnimation)
{
    auto* other = test::AddChartTool<TSeriesAnimationTool>(Chart);
    Tool->RefreshChart = [this, other](TCustomAxisPanel&) {
        // The tools page shows another tool on the same page.
        if (++Steps == 3)
            Page->SetTarget(other);
        ASSERT_LT(Steps, 1000) << "the loop did not stop";
    };
    Page->Button1->click();
    EXPECT_LT(Steps, 10);
    EXPECT_FALSE(Tool->Running());
    EXPECT_EQ(AnimatedValues(*Series), Original);
    EXPECT_EQ(Page->Target(), other);
    EXPECT_EQ(Page->Button1->text(), QStringLiteral("&Execute !"));
}

TEST(AnimationPageWithoutSeries, CannotExecute)
{
    TEditorChart chart;
    test::AddSampleSeries(chart);
    auto* tool = test::AddChartTool<TSeriesAnimationTool>(chart);
    auto page = test::ShowToolPage<TSeriesAnimToolEditor>(tool);
    EXPECT_FALSE(page->Button1->isEnabled());
    test::PickEntry(page->CBSeries, 1);
    EXPECT_TRUE(page->Button1->isEnabled());
    // Start at the minimum: the start value waits.
    EXPECT_EQ(page->EStart->isEnabled(), !tool->StartAtMin());
}

} // namespace
} // namespace lp
