#include "chart/editors/chart/PagingPage.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/editors/chart/GeneralPage.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/tools/PlotPageNumTool.h"

#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A chart of 25 points, owned by a form, on the paging page.
class PagingPageTest : public ::testing::Test {
protected:
    TComponent Form;
    test::TEditorChart* Chart = test::OwnedChart(Form);
    TFormPlotPage Page;

    PagingPageTest()
    {
        auto* series = new TLineSeries(&Form);
        Chart->AddSeries(series);
        for (int i = 0; i < 25; ++i)
            series->Add(i);
        Chart->SetMaxPointsPerPage(10);
        Page.SetTarget(Chart);
        Page.show();
    }
    int PageNumTools() const
    {
        int count = 0;
        for (TPlotCustomTool* tool : Chart->Tools())
            count += qobject_cast<TPageNumTool*>(tool) != nullptr;
        return count;
    }
};

TEST_F(PagingPageTest, PointsPerPageTakesEmptyAsNoPagingAndRefusesTheRest)
{
    EXPECT_EQ(Page.UDPointsPerPage->value(), 10);
    EXPECT_EQ(Page.LabelPages->text(), QStringLiteral("Page 1 of 3"));
    test::TypeIntoSpinBox(Page.UDPointsPerPage, QString());
    EXPECT_EQ(Chart->MaxPointsPerPage(), 0);
    EXPECT_EQ(Page.LabelPages->text(), QStringLiteral("Page 1 of 1"));
    test::TypeIntoSpinBox(Page.UDPointsPerPage, QStringLiteral("5"));
    EXPECT_EQ(Chart->MaxPointsPerPage(), 5);
    EXPECT_EQ(Page.LabelPages->text(), QStringLiteral("Page 1 of 5"));
    test::TypeIntoSpinBox(Page.UDPointsPerPage, QStringLiteral("40000"));
    EXPECT_LE(Chart->MaxPointsPerPage(), 32000);
    test::TypeIntoSpinBox(Page.UDPointsPerPage, QStringLiteral("7"));
    // A minus sign before the count is refused.
    QLineEdit* field = Page.UDPointsPerPage->findChild<QLineEdit*>();
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClicks(field, QStringLiteral("-"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(field->text(), QStringLiteral("7"));
    EXPECT_EQ(Chart->MaxPointsPerPage(), 7);
}

TEST_F(PagingPageTest, TheNavigatorPagesAndTheLabelFollows)
{
    EXPECT_EQ(Page.ChartPageNavigator1->Chart(), Chart);
    QTest::mouseClick(Page.ChartPageNavigator1->Button(nbNext), Qt::LeftButton);
    EXPECT_EQ(Chart->Page(), 2);
    EXPECT_EQ(Page.LabelPages->text(), QStringLiteral("Page 2 of 3"));
    QTest::mouseClick(Page.ChartPageNavigator1->Button(nbLast), Qt::LeftButton);
    EXPECT_EQ(Page.LabelPages->text(), QStringLiteral("Page 3 of 3"));
    test::SaveScreenshot(Page, QStringLiteral("page-paging"));
}

TEST_F(PagingPageTest, ThePageNumberToolIsMadeOnceAndReused)
{
    ASSERT_TRUE(Page.CBPageNum->isVisible());
    EXPECT_FALSE(Page.CBPageNum->isChecked());
    test::ClickNearLeftEdge(Page.CBPageNum);
    ASSERT_EQ(PageNumTools(), 1);
    TPlotCustomTool* tool = Chart->Tools()[0];
    EXPECT_TRUE(tool->Active());
    EXPECT_EQ(tool->Owner(), &Form);
    EXPECT_EQ(tool->Name(), QStringLiteral("ChartTool1"));
    test::ClickNearLeftEdge(Page.CBPageNum);
    EXPECT_FALSE(tool->Active());
    test::ClickNearLeftEdge(Page.CBPageNum);
    EXPECT_EQ(PageNumTools(), 1);
    EXPECT_TRUE(tool->Active());
    // Shown again, the active tool ticks the box.
    Page.Refresh();
    EXPECT_TRUE(Page.CBPageNum->isChecked());
}

TEST(PagingPage, TheLastPageIsThePageReopened)
{
    test::TEditorChart chart;
    auto* series = new TLineSeries(&chart);
    series->SetName(QStringLiteral("Line1"));
    chart.AddSeries(series);
    for (int i = 0; i < 64; ++i)
        series->Add(i);
    TFormPlotPage page;
    page.SetTarget(&chart);
    page.show();
    test::TypeIntoSpinBox(page.UDPointsPerPage, QStringLiteral("1"));
    EXPECT_EQ(page.LabelPages->text(), QStringLiteral("Page 1 of 64"));
    QTest::mouseClick(page.ChartPageNavigator1->Button(nbLast), Qt::LeftButton);
    ASSERT_EQ(chart.Page(), 64);
    for (bool text : {false, true}) {
        TChart fresh;
        test::ReopenThroughChartFile(chart, fresh, true, text);
        ASSERT_EQ(fresh.SeriesCount(), 1) << text;
        EXPECT_EQ(fresh.NumPages(), 64) << text;
        EXPECT_EQ(fresh.Page(), 64) << text;
        TFormPlotPage reopened;
        reopened.SetTarget(&fresh);
        reopened.show();
        EXPECT_EQ(reopened.LabelPages->text(), QStringLiteral("Page 64 of 64")) << text;
        // Without its points the chart has one page, and the page read is
        // pulled back to it.
        TChart empty;
        test::ReopenThroughChartFile(chart, empty, false, text);
        EXPECT_EQ(empty.Series(0)->Count(), 0) << text;
        EXPECT_EQ(empty.Page(), 1) << text;
    }
}

TEST(PagingPage, WithoutThePageNumberToolTypeTheBoxIsHidden)
{
    UnregisterPageNumTool();
    test::TEditorChart chart;
    TFormPlotPage page;
    page.SetTarget(&chart);
    page.show();
    EXPECT_FALSE(page.CBPageNum->isVisible());
    EXPECT_EQ(page.PageNumTool(true), nullptr);
    RegisterPageNumTool();
}

} // namespace
} // namespace lp
