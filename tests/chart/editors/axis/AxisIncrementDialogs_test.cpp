// The increment texts and the readings of typed numbers, dates and times as
// tables, and the "Axis Increment" and "Axis Maximum and Minimum" dialogs
// driven by the user: bad input is reported and keeps the dialog open,
// Cancel leaves the axis as it was.

#include "chart/editors/axis/AxisIncrementDialogs.h"

#include "../EditorTestSupport.h"
#include "AxisDialogTestSupport.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
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

#include <gtest/gtest.h>

#include <cmath>

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
    TFormatSettings comma;
    comma.DecimalSeparator = QLatin1Char(',');
    comma.ThousandSeparator = QLatin1Char('.');
    EXPECT_EQ(AxisIncrementText(false, false, QStringLiteral("0"), 0.5, comma), QStringLiteral("0,5"));
}

TEST(AxisIncrementText, TypedValuesRead)
{
    EXPECT_DOUBLE_EQ(ReadIncrementText(QStringLiteral("2 06:00:00")), 2.25);
    EXPECT_DOUBLE_EQ(ReadIncrementText(QStringLiteral("1 12:00:00")), 1.5);
    EXPECT_DOUBLE_EQ(ReadIncrementText(QStringLiteral("3")), 3);
    EXPECT_DOUBLE_EQ(ReadIncrementText(QStringLiteral("01:00")), Hour);
    EXPECT_DOUBLE_EQ(ReadNumber(QStringLiteral(" -1.5e3 ")), -1500);
    TFormatSettings comma;
    comma.DecimalSeparator = QLatin1Char(',');
    EXPECT_DOUBLE_EQ(ReadNumber(QStringLiteral("0,25"), comma), 0.25);
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

} // namespace
} // namespace lp
