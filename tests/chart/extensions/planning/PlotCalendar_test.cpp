// The calendar series with fixed locales and dates: the first day's place,
// the rows without headers, clicks on days, leading days and the title,
// the month menu and buttons, OnChange, a chart without room, date
// patterns kept away from printf and a picture.

#include "chart/extensions/planning/PlotCalendar.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/ui/Menus.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

double Day(int Y, int M, int D)
{
    return EncodeDateTime(Y, M, D, 0, 0, 0, 0);
}

const QLocale Britain(QLocale::English, QLocale::UnitedKingdom); // weeks start on Monday
const QLocale States(QLocale::English, QLocale::UnitedStates);   // weeks start on Sunday

// The plot area is 400 x 200 pixels: 7 columns of 57 pixels, 8 rows of 25.
struct TCalendarChart : test::TFixedAxesChart {
    explicit TCalendarChart(const QLocale& Locale, double Date) : TFixedAxesChart(false, 100, 100)
    {
        Calendar = new TCalendarSeries(&Chart);
        Chart.AddSeries(Calendar);
        Calendar->SetLocale(Locale);
        Calendar->SetDate(Date);
    }
    // The texts drawn, in order.
    QStringList Texts()
    {
        DC.ClearCalls();
        Calendar->DrawAllValues();
        QStringList Result;
        const QRegularExpression Text("^TextOut\\(-?\\d+,-?\\d+,\"(.*)\"\\)$");
        for (const QString& Call : DC.Calls())
            if (const auto M = Text.match(Call); M.hasMatch())
                Result << M.captured(1);
        return Result;
    }
    // The middle of the cell at Column, Row (1-based, 8 rows).
    void Click(int Column, int Row) { Chart.MouseDown(mbLeft, {}, Column * 57 - 28, Row * 25 - 12); }
    TCalendarSeries* Calendar = nullptr;
};

TEST(CalendarSeries, MonthStartingOnTheFirstWeekdayHasNoLeadingDays)
{
    TCalendarChart C(Britain, Day(2026, 6, 17));
    EXPECT_EQ(C.Calendar->FirstDayOfWeek(), 0);
    EXPECT_EQ(C.Calendar->FirstDayColumn(), 1);
    const QStringList Texts = C.Texts();
    ASSERT_GE(Texts.size(), 9);
    EXPECT_EQ(Texts.mid(0, 8).join(' ').toStdString(), "Mon Tue Wed Thu Fri Sat Sun June, 2026");
    EXPECT_EQ(Texts[8], "1");
    // After 30 days the next month fills the last rows: 1 .. 12.
    EXPECT_EQ(Texts.last(), "12");

    TCalendarChart Us(States, Day(2026, 1, 15));
    EXPECT_EQ(Us.Calendar->FirstDayColumn(), 5);
    EXPECT_EQ(Us.Texts().mid(7, 6).join(' ').toStdString(), "January, 2026 28 29 30 31 1");
}

TEST(CalendarSeries, WithoutHeadersSixRowsAndDayOneInTheFirst)
{
    TCalendarChart C(Britain, Day(2026, 6, 17));
    C.Calendar->WeekDays()->SetVisible(false);
    C.Calendar->Months()->SetVisible(false);
    EXPECT_EQ(C.Calendar->Rows(), 6);
    EXPECT_EQ(C.Calendar->FirstDayRow(), 1);
    EXPECT_EQ(C.Texts().first(), "1");
    double Clicked = 0;
    ASSERT_TRUE(C.Calendar->ClickedDate(10, 10, Clicked));
    EXPECT_EQ(Clicked, Day(2026, 6, 1));
}

TEST(CalendarSeries, ClicksPickDaysLeadingDaysOnlyWhenShown)
{
    TCalendarChart C(States, Day(2026, 1, 15));
    // Row 3 holds the first week; 1 January is in column 5.
    C.Click(6, 3);
    EXPECT_EQ(C.Calendar->Date(), Day(2026, 1, 2));
    C.Calendar->SetDate(Day(2026, 1, 15));
    C.Click(2, 3);
    EXPECT_EQ(C.Calendar->Date(), Day(2025, 12, 29));
    C.Calendar->SetDate(Day(2026, 1, 15));
    C.Calendar->Trailing()->SetVisible(false);
    C.Click(2, 3);
    EXPECT_EQ(C.Calendar->Date(), Day(2026, 1, 15));
    // Beyond the month's last day only with Trailing shown.
    C.Click(7, 8);
    EXPECT_EQ(C.Calendar->Date(), Day(2026, 1, 15));
    C.Calendar->Trailing()->SetVisible(true);
    C.Click(7, 8);
    EXPECT_EQ(C.Calendar->Date(), Day(2026, 2, 7));
    // The header rows and the right button are not days.
    C.Click(3, 2);
    C.Chart.MouseDown(mbRight, {}, 100, 150);
    EXPECT_EQ(C.Calendar->Date(), Day(2026, 2, 7));
}

TEST(CalendarSeries, TitleOpensTheMonthMenuWhichClampsTheDay)
{
    TCalendarChart C(Britain, Day(2026, 1, 31));
    C.Texts();
    C.Click(4, 1);
    ASSERT_TRUE(C.Calendar->MonthMenu().PoppedUp());
    ASSERT_EQ(C.Calendar->MonthMenu().Count(), 12);
    EXPECT_EQ(C.Calendar->MonthMenu().Item(1).Caption, "February");
    C.Calendar->MonthMenu().Click(1);
    EXPECT_EQ(C.Calendar->Date(), Day(2026, 2, 28));
    C.Calendar->SetDate(Day(2024, 1, 31));
    C.Calendar->MonthMenu().Click(1);
    EXPECT_EQ(C.Calendar->Date(), Day(2024, 2, 29));
}

TEST(CalendarSeries, ButtonsOnTheChartMoveByMonths)
{
    TCalendarChart C(Britain, Day(2026, 1, 31));
    ASSERT_NE(C.Calendar->NextButton(), nullptr);
    EXPECT_EQ(C.Calendar->PreviousButton()->Left(), 6);
    EXPECT_EQ(C.Calendar->NextButton()->Left(), 30);
    EXPECT_EQ(C.Calendar->NextButton()->Top(), 6);
    C.Calendar->NextButton()->Click();
    EXPECT_EQ(C.Calendar->Date(), Day(2026, 2, 28));
    C.Calendar->PreviousButton()->Click();
    C.Calendar->PreviousButton()->Click();
    EXPECT_EQ(C.Calendar->Date(), Day(2025, 12, 28));
    C.Calendar->SetActive(false);
    EXPECT_FALSE(C.Calendar->NextButton()->Visible());
    C.Calendar->SetActive(true);
    C.Calendar->SetNextButtonVisible(false);
    EXPECT_FALSE(C.Calendar->NextButton()->Visible());
    EXPECT_TRUE(C.Calendar->PreviousButton()->Visible());
    // Without a chart there are no buttons and no listener.
    C.Chart.RemoveSeries(C.Calendar);
    EXPECT_EQ(C.Calendar->NextButton(), nullptr);
    EXPECT_EQ(C.Chart.Listeners().IndexOf(C.Calendar), -1);
    delete C.Calendar;
}

TEST(CalendarSeries, OnChangeMayAlterOrCancel)
{
    test::TCountingChart<> Chart;
    auto* S = new TCalendarSeries(&Chart);
    Chart.AddSeries(S);
    S->SetDate(Day(2026, 3, 10));
    S->OnChange = [S](TCalendarSeries*, double& NewDate) { NewDate = S->Date(); };
    Chart.Invalidations = 0;
    S->SetDate(Day(2026, 3, 11));
    S->NextMonth();
    EXPECT_EQ(S->Date(), Day(2026, 3, 10));
    EXPECT_EQ(Chart.Invalidations, 0);
    S->OnChange = [](TCalendarSeries*, double& NewDate) { NewDate += 1; };
    S->SetDate(Day(2026, 3, 20));
    EXPECT_EQ(S->Date(), Day(2026, 3, 21));
    EXPECT_GT(Chart.Invalidations, 0);
    EXPECT_THROW(S->SetDate(1e9), EConvertError);
    EXPECT_EQ(S->Date(), Day(2026, 3, 21));
}

TEST(CalendarSeries, ChartWithoutRoomAnswersNoDate)
{
    TCalendarChart C(Britain, Day(2026, 6, 17));
    for (TChartAxis* Axis : C.Chart.AxesList())
        Axis->SetPixelSpan(0, 0);
    double Clicked = -1;
    EXPECT_FALSE(C.Calendar->ClickedDate(0, 0, Clicked));
    EXPECT_EQ(C.Calendar->Clicked(0, 0), -1);
    C.Chart.MouseDown(mbLeft, {}, 0, 0);
    EXPECT_EQ(C.Calendar->Date(), Day(2026, 6, 17));
}

TEST(CalendarSeries, TitlePatternIsADatePictureOnly)
{
    TCalendarChart C(Britain, Day(2026, 6, 17));
    C.Calendar->Months()->SetFormat(QStringLiteral("%i%x %d 'of' mmmm"));
    C.Calendar->Months()->SetUpperCase(true);
    const QStringList Texts = C.Texts();
    EXPECT_TRUE(Texts.contains("%I%X %17 OF JUNE")) << Texts.join('|').toStdString();
    EXPECT_EQ(PlotSeriesTypes()->Find(&TCalendarSeries::staticMetaObject)->GalleryPageText(), "Other");
    EXPECT_FALSE(C.Calendar->ShowInLegend());
    EXPECT_FALSE(C.Calendar->UseAxis());
    EXPECT_EQ(C.Calendar->Count(), 1);
    C.Calendar->FillSampleValues(5);
    EXPECT_EQ(C.Calendar->Count(), 1);
}

TEST(CalendarPicture, OneMonth)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 360, 260);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    Chart.BottomAxis()->SetVisible(false);
    Chart.LeftAxis()->SetVisible(false);
    auto* S = new TCalendarSeries(&Chart);
    Chart.AddSeries(S);
    S->SetLocale(States);
    S->SetDate(Day(2026, 3, 18));
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "planning", "calendar"));
}

} // namespace
} // namespace lp
