// The increment texts and the readings of typed numbers, dates and times as
// tables, and the "Axis Increment" and "Axis Maximum and Minimum" dialogs
// driven by the user: bad input is reported and keeps the dialog open,
// Cancel leaves the axis as it was.

#include "chart/editors/axis/AxisIncrementDialogs.h"

#include "../EditorTestSupport.h"
#include "AxisDialogTestSupport.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace lp {
namespace {

using test::OnModal;
using test::TMessages;

constexpr double Hour = 1.0 / 24;

TEST(AxisIncrementText, DateTimeAndValueIncrements)
{
    EXPECT_EQ(IncrementCustomText(1.5), QStringLiteral("1 12:00:00"));
    EXPECT_EQ(IncrementCustomText(2), QStringLiteral("2"));
    EXPECT_EQ(IncrementCustomText(0), QStringLiteral("00:00:01"));
    EXPECT_EQ(IncrementCustomText(0.25), QStringLiteral("06:00:00"));
    EXPECT_EQ(AxisIncrementText(true, true, {}, Hour), QStringLiteral("One Hour"));
    EXPECT_EQ(AxisIncrementText(true, true, {}, 365), QStringLiteral("One Year"));
    EXPECT_EQ(AxisIncrementText(true, false, {}, Hour), QStringLiteral("01:00:00"));
    EXPECT_EQ(AxisIncrementText(true, true, {}, 1.5), QStringLiteral("1 12:00:00"));
    EXPECT_EQ(AxisIncrementText(true, false, {}, 1.0), QStringLiteral("1"));
    EXPECT_EQ(AxisIncrementText(true, false, {}, -3), QStringLiteral("00:00:01"));
    // The formatted text must read back as the increment.
    EXPECT_EQ(AxisIncrementText(false, false, QStringLiteral("0"), 0.5), QStringLiteral("0.5"));
    EXPECT_EQ(AxisIncrementText(false, false, QStringLiteral("0.00"), 0.5), QStringLiteral("0.50"));
    EXPECT_EQ(AxisIncrementText(false, false, QStringLiteral("#,##0.###"), 2500), QStringLiteral("2,500"));
    EXPECT_EQ(AxisIncrementText(false, false, QStringLiteral("0.0 m"), 2), QStringLiteral("2"));
    EXPECT_EQ(AxisIncrementText(false, false, QStringLiteral("0"), 0.5, test::GermanLocale()), QStringLiteral("0,5"));
    EXPECT_EQ(AxisIncrementText(false, false, QStringLiteral("#,##0.###"), 2500, test::GermanLocale()),
              QStringLiteral("2.500"));
}

TEST(AxisIncrementText, TypedValuesRead)
{
    EXPECT_DOUBLE_EQ(ReadIncrementText(QStringLiteral("2 06:00:00")), 2.25);
    EXPECT_DOUBLE_EQ(ReadIncrementText(QStringLiteral("1 12:00:00")), 1.5);
    EXPECT_DOUBLE_EQ(ReadIncrementText(QStringLiteral("3")), 3);
    EXPECT_DOUBLE_EQ(ReadIncrementText(QStringLiteral("01:00")), Hour);
    EXPECT_DOUBLE_EQ(ReadNumber(QStringLiteral(" -1.5e3 ")), -1500);
    EXPECT_DOUBLE_EQ(ReadNumber(QStringLiteral("0,25"), test::GermanLocale()), 0.25);
    EXPECT_DOUBLE_EQ(ReadTime(QStringLiteral("12:30:15.500")), (12 * 3600 + 30 * 60 + 15.5) / 86400);
    EXPECT_DOUBLE_EQ(ReadDateTime(QStringLiteral("31/12/1899 06:00:00")), 1.25);
    EXPECT_DOUBLE_EQ(ReadDateTime(DateText(45000.5) + QLatin1Char(' ') + TimeText(45000.5)), 45000.5);
    EXPECT_EQ(DateTimeLimitText(0.5), QStringLiteral("12:00:00"));
    EXPECT_EQ(DateTimeLimitText(1.25), QStringLiteral("31/12/1899 06:00:00"));
    for (const char* bad : {"abc", "1..2", "25:99:00", "", "1e", "-", "inf", "nan", "1 25:00"})
        EXPECT_THROW(ReadIncrementText(QString::fromLatin1(bad)), EConvertError) << bad;
    for (const char* bad : {"32/01/2020", "1/2", "a/b/c", "29/02/2021"})
        EXPECT_THROW(ReadDate(QString::fromLatin1(bad)), EConvertError) << bad;
    for (const char* bad : {"24:00", "12:60", "1:2:3:4", "12", "12:00.5000"})
        EXPECT_THROW(ReadTime(QString::fromLatin1(bad)), EConvertError) << bad;
}

TEST(AxisIncrementDialog, BadTextIsReportedAndTheDialogStaysOpen)
{
    for (bool dateTime : {false, true}) {
        for (const char* bad : {"abc", "1..2", "25:99:00"}) {
            TMessages messages;
            TAxisIncrement dialog;
            dialog.IsDateTime = dateTime;
            dialog.Increment = 2;
            dialog.show();
            dialog.ECustom->selectAll();
            QTest::keyClicks(dialog.ECustom, QString::fromLatin1(bad));
            QTest::mouseClick(dialog.BOk, Qt::LeftButton);
            ASSERT_EQ(messages.Texts.size(), 1) << bad;
            EXPECT_TRUE(messages.Texts[0].startsWith(QStringLiteral("Incorrect value. Reason: '"))) << bad;
            EXPECT_TRUE(dialog.isVisible()) << bad;
            EXPECT_EQ(dialog.result(), 0) << bad;
        }
    }
}

TEST(AxisIncrementDialog, DateTimeIncrementsByStepOrByDaysAndTime)
{
    TAxisIncrement custom;
    custom.IsDateTime = true;
    custom.Increment = 1.5;
    custom.show();
    EXPECT_TRUE(custom.RBCustom->isChecked());
    EXPECT_EQ(custom.ECustom->text(), QStringLiteral("1 12:00:00"));
    custom.ECustom->selectAll();
    QTest::keyClicks(custom.ECustom, QStringLiteral("2 06:00:00"));
    QTest::mouseClick(custom.BOk, Qt::LeftButton);
    EXPECT_EQ(custom.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(custom.Increment, 2.25);

    TAxisIncrement exact;
    exact.IsDateTime = true;
    exact.ExactDateTime = true;
    exact.Increment = Hour;
    exact.StepIndex = FindDateTimeStep(Hour);
    exact.show();
    EXPECT_TRUE(exact.RBStandard->isChecked());
    EXPECT_EQ(exact.CBSteps->currentText(), QStringLiteral("One Hour"));
    EXPECT_FALSE(exact.ECustom->isEnabled());
    EXPECT_EQ(exact.CBSteps->count(), 27);
    // Clearing "Exact" goes to the custom text.
    QTest::mouseClick(exact.CBExact, Qt::LeftButton, {}, QPoint(6, exact.CBExact->height() / 2));
    EXPECT_TRUE(exact.RBCustom->isChecked());
    EXPECT_EQ(exact.ECustom->text(), QStringLiteral("01:00:00"));
    EXPECT_FALSE(exact.ExactDateTime);
    // Back to a standard step: two hours.
    QTest::mouseClick(exact.RBStandard, Qt::LeftButton, {}, QPoint(6, exact.RBStandard->height() / 2));
    EXPECT_TRUE(exact.ExactDateTime);
    exact.CBSteps->setFocus();
    QTest::keyClick(exact.CBSteps, Qt::Key_Down);
    QTest::mouseClick(exact.BOk, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(exact.Increment, 2 * Hour);
}

TEST(AxisIncrementDialog, AValueAxisAsksForANumberOnly)
{
    TAxisIncrement dialog;
    dialog.Increment = 0.5;
    dialog.show();
    EXPECT_FALSE(dialog.RadioGroup1->isVisible());
    EXPECT_FALSE(dialog.CBExact->isVisible());
    EXPECT_EQ(dialog.ECustom->text(), QStringLiteral("0.5"));
}

TEST(AxisLimitDialog, ValueDateAndTimeLimits)
{
    TAxisMaxMin value;
    value.MaxMin = 12.5;
    value.show();
    EXPECT_EQ(value.Label1->text(), QStringLiteral("Value:"));
    EXPECT_FALSE(value.EMinimum->isVisible());
    EXPECT_EQ(value.EMaximum->text(), QStringLiteral("12.5"));

    TAxisMaxMin time;
    time.IsDateTime = true;
    time.MaxMin = 0.5;
    time.show();
    EXPECT_FALSE(time.EMaximum->isVisible());
    EXPECT_EQ(time.EMinimum->text(), QStringLiteral("12:00:00"));
    time.EMinimum->selectAll();
    QTest::keyClicks(time.EMinimum, QStringLiteral("06:00"));
    QTest::mouseClick(time.BitBtn1, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(time.MaxMin, 0.25);

    TAxisMaxMin date;
    date.IsDateTime = true;
    date.MaxMin = 1.25;
    date.show();
    EXPECT_EQ(date.EMaximum->text(), QStringLiteral("31/12/1899"));
    EXPECT_EQ(date.EMinimum->text(), QStringLiteral("06:00:00"));
    date.EMaximum->selectAll();
    QTest::keyClicks(date.EMaximum, QStringLiteral("01/01/1900"));
    QTest::mouseClick(date.BitBtn1, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(date.MaxMin, 2.25);

    for (bool dateTime : {false, true})
        for (const char* bad : {"abc", "1..2", "25:99:00"}) {
            TMessages messages;
            TAxisMaxMin dialog;
            dialog.IsDateTime = dateTime;
            dialog.MaxMin = 3;
            dialog.show();
            QLineEdit* edit = dateTime ? dialog.EMinimum : dialog.EMaximum;
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromLatin1(bad));
            QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
            ASSERT_EQ(messages.Texts.size(), 1) << bad;
            EXPECT_TRUE(messages.Texts[0].startsWith(QStringLiteral("Incorrect value. Reason: "))) << bad;
            EXPECT_TRUE(dialog.isVisible());
        }
}

TEST(AxisDialogs, CancelLeavesTheAxisAndOkWritesIt)
{
    test::TEditorChart chart;
    TChartAxis& axis = *chart.LeftAxis();
    axis.SetMinMax(0, 100);
    const QStringList before = test::DumpProperties(&axis);
    OnModal<TAxisIncrement>([](TAxisIncrement& Dialog) {
        EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Desired Left Axis Increment"));
        Dialog.ECustom->setText(QStringLiteral("7"));
        QTest::mouseClick(Dialog.BCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(EditAxisIncrement(nullptr, axis));
    for (bool maximum : {false, true}) {
        OnModal<TAxisMaxMin>([maximum](TAxisMaxMin& Dialog) {
            EXPECT_EQ(Dialog.windowTitle(), maximum ? QStringLiteral("Left Axis Maximum") : QStringLiteral("Left Axis Minimum"));
            Dialog.EMaximum->setText(QStringLiteral("55"));
            QTest::mouseClick(Dialog.BitBtn2, Qt::LeftButton);
        });
        EXPECT_FALSE(EditAxisLimit(nullptr, axis, maximum));
    }
    EXPECT_EQ(test::DumpProperties(&axis), before);

    OnModal<TAxisIncrement>([](TAxisIncrement& Dialog) {
        Dialog.ECustom->setText(QStringLiteral("7"));
        QTest::mouseClick(Dialog.BOk, Qt::LeftButton);
    });
    EXPECT_TRUE(EditAxisIncrement(nullptr, axis));
    EXPECT_EQ(axis.Increment(), 7);
    axis.SetAutomatic(true);
    OnModal<TAxisMaxMin>([](TAxisMaxMin& Dialog) {
        Dialog.EMaximum->setText(QStringLiteral("55"));
        QTest::mouseClick(Dialog.BitBtn1, Qt::LeftButton);
    });
    EXPECT_TRUE(EditAxisLimit(nullptr, axis, true));
    EXPECT_EQ(axis.Maximum(), 55);
    EXPECT_FALSE(axis.AutomaticMaximum());
    EXPECT_TRUE(axis.AutomaticMinimum());
}

// Texts a dialog showed did not read back: a limit before day 1 opened as
// a time alone (-1.25 became 0.25), two days less 0.1 ms showed
// "1 00:00:00" (one day), "12:00:00.5" read as 5 ms past noon, and a limit
// past the year 9999 ended the program.
TEST(AxisIncrementText, DateTimeTextsShowWhatReadsBack)
{
    constexpr double TenthOfAMilli = 0.0001 / 86400;
    EXPECT_DOUBLE_EQ(ReadTime(QStringLiteral("12:00:00.5")), (12 * 3600 + 0.5) / 86400);
    EXPECT_DOUBLE_EQ(ReadTime(QStringLiteral("00:00:01.25")), 1.25 / 86400);
    EXPECT_THROW(ReadTime(QStringLiteral("12:00.5")), EConvertError); // a fraction belongs to the seconds
    EXPECT_THROW(ReadTime(QStringLiteral("12:00:00.")), EConvertError);
    EXPECT_EQ(IncrementCustomText(2 - TenthOfAMilli), QStringLiteral("2"));
    EXPECT_EQ(IncrementCustomText(1 - TenthOfAMilli), QStringLiteral("1"));
    EXPECT_EQ(IncrementCustomText(1.5 + 0.5 / 86400), QStringLiteral("1 12:00:00.500"));
    EXPECT_EQ(TimeText(0.5 + 0.5 / 86400), QStringLiteral("12:00:00.500"));

    struct TShownCase {
        double Days;
        TDateTimeShown Shown;
        const char* Text;
    };
    const TShownCase cases[] = {
        {0.5, TDateTimeShown::Time, "12:00:00"},
        {0, TDateTimeShown::Time, "00:00:00"},
        {1 - TenthOfAMilli, TDateTimeShown::DateAndTime, "31/12/1899 00:00:00"},
        {1.25, TDateTimeShown::DateAndTime, "31/12/1899 06:00:00"},
        {-1.25, TDateTimeShown::DateAndTime, "29/12/1899 06:00:00"},
        {45000.5, TDateTimeShown::DateAndTime, "15/03/2023 12:00:00"},
        {-0.25, TDateTimeShown::Number, "-0.25"},   // 30/12/1899 06:00 is 0.25
        {3e6, TDateTimeShown::Number, "3000000"},   // past 31/12/9999
        {-7e5, TDateTimeShown::Number, "-700000"},  // before 01/01/0001
        {std::numeric_limits<double>::infinity(), TDateTimeShown::Number, "inf"},
    };
    for (const TShownCase& c : cases) {
        EXPECT_EQ(DateTimeShownAs(c.Days), c.Shown) << c.Text;
        EXPECT_EQ(DateTimeLimitText(c.Days, test::EnglishLocale()), QString::fromLatin1(c.Text)) << c.Text;
    }
    EXPECT_EQ(DateTimeLimitText(3e6 + 0.5, test::GermanLocale()), QStringLiteral("3000000,5"));
}

// Opened and confirmed unchanged, a dialog leaves its value to the last bit:
// the texts it showed stand for the value they were made from.
TEST(AxisDialogs, ConfirmedUnchangedEveryDialogLeavesItsValue)
{
    constexpr double TenthOfAMilli = 0.0001 / 86400;
    const double values[] = {0.5, 1.5, 2 - TenthOfAMilli, -1.25, -0.25, 45000.123456789, 3e6, -3e6, 1e300,
                             0.1 + 0.2, 1e-9, 0, 12.5};
    for (const QLocale* locale : {&test::EnglishLocale(), &test::GermanLocale()})
        for (bool dateTime : {false, true})
            for (double value : values) {
                const std::string what = locale->name().toStdString() + (dateTime ? " date-time " : " ") +
                                         QString::number(value, 'g', 17).toStdString();
                TMessages messages;
                if (value >= 0) {
                    TAxisIncrement increment;
                    increment.IsDateTime = dateTime;
                    increment.Increment = value;
                    increment.Locale = *locale;
                    increment.show();
                    QTest::mouseClick(increment.BOk, Qt::LeftButton);
                    EXPECT_EQ(increment.result(), QDialog::Accepted) << what;
                    EXPECT_EQ(std::memcmp(&increment.Increment, &value, sizeof value), 0) << what;
                }
                TAxisMaxMin limit;
                limit.IsDateTime = dateTime;
                limit.MaxMin = value;
                limit.Locale = *locale;
                limit.show();
                QTest::mouseClick(limit.BitBtn1, Qt::LeftButton);
                EXPECT_EQ(limit.result(), QDialog::Accepted) << what;
                EXPECT_EQ(std::memcmp(&limit.MaxMin, &value, sizeof value), 0) << what;
                EXPECT_TRUE(messages.Texts.isEmpty()) << what;
            }

    TAxisMaxMin before;
    before.IsDateTime = true;
    before.MaxMin = -1.25;
    before.show();
    EXPECT_TRUE(before.EMaximum->isVisible());
    EXPECT_EQ(before.EMaximum->text(), QStringLiteral("29/12/1899"));
    EXPECT_EQ(before.EMinimum->text(), QStringLiteral("06:00:00"));
    before.EMinimum->selectAll();
    QTest::keyClicks(before.EMinimum, QStringLiteral("12:00:00.5"));
    QTest::mouseClick(before.BitBtn1, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(before.MaxMin, -1 - (12 * 3600 + 0.5) / 86400);

    TAxisIncrement almostTwo;
    almostTwo.IsDateTime = true;
    almostTwo.Increment = 2 - TenthOfAMilli;
    almostTwo.show();
    EXPECT_EQ(almostTwo.ECustom->text(), QStringLiteral("2"));
}

// The single-axis window as the chart's axis menu opens it.
struct AxisWindow : ::testing::Test {
    test::TEditorChart Chart;
    std::unique_ptr<TFormPlotAxis> Window;

    void Open()
    {
        Window = CreateAxisEditorWindow(&Chart, Chart.LeftAxis());
        ASSERT_NE(Window, nullptr);
        EXPECT_EQ(Window->windowTitle(), QStringLiteral("Left axis edit"));
        Window->show();
    }
    void ShowLimitTab(bool Maximum) { Window->PageControl1->setCurrentIndex(Maximum ? 1 : 0); }
};

// An increment of "-1", or a maximum below the minimum, raised out of the
// button handler through Qt's event loop and ended the program.
TEST_F(AxisWindow, AnIncrementOrLimitTheAxisRefusesKeepsTheDialogOpenWithItsReason)
{
    Chart.LeftAxis()->SetMinMax(0, 100);
    Chart.LeftAxis()->SetIncrement(5);
    Open();
    const QStringList before = test::DumpProperties(Chart.LeftAxis());
    TMessages messages;
    bool stayedOpen = false;
    OnModal<TAxisIncrement>([&stayedOpen](TAxisIncrement& Dialog) {
        Dialog.ECustom->selectAll();
        QTest::keyClicks(Dialog.ECustom, QStringLiteral("-1"));
        QTest::mouseClick(Dialog.BOk, Qt::LeftButton);
        stayedOpen = Dialog.isVisible();
        QTest::mouseClick(Dialog.BCancel, Qt::LeftButton);
    });
    QTest::mouseClick(Window->BIncre, Qt::LeftButton);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Texts, QStringList{QStringLiteral("Incorrect value. Reason: Axis increment must be >= 0")});

    struct TRefusedLimit {
        bool Maximum;
        const char* Typed;
        const char* Reason;
    };
    for (const TRefusedLimit& c : {TRefusedLimit{true, "-5", "Axis Maximum Value must be >= Minimum"},
                                   TRefusedLimit{false, "500", "Axis Minimum Value must be <= Maximum"}}) {
        messages.Texts.clear();
        stayedOpen = false;
        ShowLimitTab(c.Maximum);
        OnModal<TAxisMaxMin>([&stayedOpen, &c](TAxisMaxMin& Dialog) {
            Dialog.EMaximum->selectAll();
            QTest::keyClicks(Dialog.EMaximum, QString::fromLatin1(c.Typed));
            QTest::mouseClick(Dialog.BitBtn1, Qt::LeftButton);
            stayedOpen = Dialog.isVisible();
            QTest::mouseClick(Dialog.BitBtn2, Qt::LeftButton);
        });
        QTest::mouseClick(c.Maximum ? Window->BAxisMax : Window->BAxisMin, Qt::LeftButton);
        EXPECT_TRUE(stayedOpen) << c.Typed;
        EXPECT_EQ(messages.Texts, QStringList{QStringLiteral("Incorrect value. Reason: ") + QString::fromLatin1(c.Reason)});
    }
    EXPECT_EQ(test::DumpProperties(Chart.LeftAxis()), before);
    EXPECT_TRUE(Window->isVisible());
}

TEST_F(AxisWindow, ADateTimeLimitPastTheYear9999OpensAsItsNumber)
{
    auto* series = new TLineSeries(&Chart);
    Chart.AddSeries(series);
    series->YValues()->SetDateTime(true);
    series->AddXY(0, 45000);
    Chart.LeftAxis()->SetMinMax(45000, 3e6);
    Open();
    EXPECT_EQ(Window->LAxisMax->text(), QStringLiteral("3000000"));
    ShowLimitTab(true);
    TMessages messages;
    OnModal<TAxisMaxMin>([](TAxisMaxMin& Dialog) {
        EXPECT_EQ(Dialog.Label1->text(), QStringLiteral("Value:"));
        EXPECT_EQ(Dialog.EMaximum->text(), QStringLiteral("3000000"));
        EXPECT_FALSE(Dialog.EMinimum->isVisible());
        QTest::mouseClick(Dialog.BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(Window->BAxisMax, Qt::LeftButton);
    EXPECT_EQ(Chart.LeftAxis()->Maximum(), 3e6);
    // A date typed there is read as a date.
    OnModal<TAxisMaxMin>([](TAxisMaxMin& Dialog) {
        Dialog.EMaximum->selectAll();
        QTest::keyClicks(Dialog.EMaximum, QStringLiteral("16/03/2023 06:00"));
        QTest::mouseClick(Dialog.BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(Window->BAxisMax, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(Chart.LeftAxis()->Maximum(), 45001.25);
    EXPECT_TRUE(messages.Texts.isEmpty());
}

// The dialogs read and wrote "." in every locale while the page beside them
// followed it: "0,5" was refused in a decimal-comma locale.
TEST_F(AxisWindow, TheDialogsFollowTheLocaleOfThePageThatOpensThem)
{
    Chart.LeftAxis()->SetMinMax(0, 12.5);
    Chart.LeftAxis()->SetIncrement(0.5);
    Open();
    TMessages messages;
    for (const QLocale* locale : {&test::GermanLocale(), &test::FrenchLocale(), &test::DutchLocale(), &test::RussianLocale()}) {
        const std::string name = locale->name().toStdString();
        Window->SetFormatLocale(*locale);
        Chart.LeftAxis()->SetIncrement(0.5);
        Window->Refresh();
        OnModal<TAxisIncrement>([&name](TAxisIncrement& Dialog) {
            EXPECT_EQ(Dialog.ECustom->text(), QStringLiteral("0,5")) << name;
            Dialog.ECustom->selectAll();
            QTest::keyClicks(Dialog.ECustom, QStringLiteral("0,25"));
            QTest::mouseClick(Dialog.BOk, Qt::LeftButton);
        });
        QTest::mouseClick(Window->BIncre, Qt::LeftButton);
        EXPECT_EQ(Chart.LeftAxis()->Increment(), 0.25) << name;
        EXPECT_EQ(Window->LAxisIncre->text(), QStringLiteral("0,25")) << name;

        ShowLimitTab(true);
        OnModal<TAxisMaxMin>([&name](TAxisMaxMin& Dialog) {
            EXPECT_EQ(Dialog.EMaximum->text(), QStringLiteral("12,5")) << name;
            Dialog.EMaximum->selectAll();
            QTest::keyClicks(Dialog.EMaximum, QStringLiteral("20,5"));
            QTest::mouseClick(Dialog.BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(Window->BAxisMax, Qt::LeftButton);
        EXPECT_EQ(Chart.LeftAxis()->Maximum(), 20.5) << name;
        Chart.LeftAxis()->SetMaximum(12.5);
    }
    EXPECT_TRUE(messages.Texts.isEmpty());
}

} // namespace
} // namespace lp
