// The calendar page: its tabs, the cells' shape-format tabs bound to the
// right cells, and check boxes that act on the chart at once.

#include "chart/editors/extendedseries/CalendarSeriesPage.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "../axis/AxisDialogTestSupport.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/extensions/planning/PlotCalendar.h"
#include "platform/ui/Controls.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TShownCalendarPage {
    TShownCalendarPage()
    {
        Calendar = new TCalendarSeries(&Chart);
        Chart.AddSeries(Calendar);
        Page.SetTarget(Calendar);
        Page.show();
    }
    test::TEditorChart Chart;
    TCalendarSeries* Calendar;
    TCalendarSeriesEditor Page;
};

TEST(CalendarSeriesPage, OptionsAndSixCellTabsEachEditingItsCell)
{
    TShownCalendarPage shown;
    TCalendarSeriesEditor& page = shown.Page;
    QStringList tabs;
    for (int i = 0; i < page.PageControl1->count(); ++i)
        tabs.append(page.PageControl1->tabText(i));
    EXPECT_EQ(tabs, (QStringList{QStringLiteral("Options"), QStringLiteral("Days"), QStringLiteral("Weekdays"),
                                 QStringLiteral("Today"), QStringLiteral("Sunday"), QStringLiteral("Trailing"),
                                 QStringLiteral("Months")}));
    const std::array<TCalendarCell*, 6> cells{shown.Calendar->Days(),  shown.Calendar->WeekDays(),
                                              shown.Calendar->Today(), shown.Calendar->Sunday(),
                                              shown.Calendar->Trailing(), shown.Calendar->Months()};
    for (size_t i = 0; i < cells.size(); ++i) {
        ASSERT_NE(page.CellEditors[i], nullptr);
        EXPECT_EQ(page.CellEditors[i]->Target(), cells[i]) << i;
        // The shape editor's four tabs, once, however often the page fills.
        EXPECT_EQ(page.CellPageControls[i]->count(), 4) << i;
    }
    page.Refresh();
    page.hide();
    page.show();
    EXPECT_EQ(page.CellPageControls[0]->count(), 4);
    page.PageControl1->setCurrentIndex(1);
    test::SaveScreenshot(page, QStringLiteral("series-format-CalendarSeries-Days"));
    // The boxes show the series' state.
    shown.Calendar->WeekDays()->SetUpperCase(true);
    shown.Calendar->Trailing()->SetVisible(false);
    page.Refresh();
    EXPECT_TRUE(page.CBWeekUpper->isChecked());
    EXPECT_FALSE(page.CBTrailing->isChecked());
    EXPECT_EQ(page.CBMonthUpper->isChecked(), shown.Calendar->Months()->UpperCase());
    EXPECT_TRUE(page.CBNext->isChecked());
}

TEST(CalendarSeriesPage, HidingTheMonthsMovesTheDaysUpAndTheNextButtonGoesAtOnce)
{
    TShownCalendarPage shown;
    TCalendarSeriesEditor& page = shown.Page;
    const int rows = shown.Calendar->Rows();
    const int firstRow = shown.Calendar->FirstDayRow();
    test::ClickNearLeftEdge(page.CBMonths);
    EXPECT_FALSE(shown.Calendar->Months()->Visible());
    EXPECT_EQ(shown.Calendar->Rows(), rows - 1);
    EXPECT_EQ(shown.Calendar->FirstDayRow(), firstRow - 1);

    ASSERT_NE(shown.Calendar->NextButton(), nullptr);
    EXPECT_TRUE(shown.Calendar->NextButton()->Visible());
    const int paints = shown.Chart.Invalidations;
    test::ClickNearLeftEdge(page.CBNext);
    EXPECT_FALSE(shown.Calendar->NextButtonVisible());
    EXPECT_FALSE(shown.Calendar->NextButton()->Visible());
    EXPECT_TRUE(shown.Calendar->PreviousButton()->Visible());
    EXPECT_GT(shown.Chart.Invalidations, paints);
    test::ClickNearLeftEdge(page.CBPrevious);
    EXPECT_FALSE(shown.Calendar->PreviousButton()->Visible());
}

} // namespace
} // namespace lp
