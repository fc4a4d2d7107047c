// What the page walk cannot see on the axis page: the axes list with its
// custom axes, the scale rules (automatic limits, logarithmic refusals and
// bases, start and end that cannot cross), the format list by axis kind,
// the linear-logarithmic options and rounded limits on a real chart, and the
// single-axis window.

#include "chart/editors/axis/AxisEditorPage.h"

#include "../EditorTestSupport.h"
#include "AxisDialogTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/editors/axis/FormatEditor.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/tools/ColorLineBandToolPages.h"
#include "chart/export/PlotChartFile.h"
#include "chart/extensions/tools/PlotColorLineTool.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QBuffer>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTreeWidget>
#include <QtWidgets/QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

using test::OnModal;
using test::TMessages;

const QLocale UsEnglish(QLocale::English, QLocale::UnitedStates);

struct AxisPage : ::testing::Test {
    test::TEditorChart Chart;
    std::unique_ptr<TFormPlotAxis> Page = std::make_unique<TFormPlotAxis>();

    void Open(TChartAxis* Axis)
    {
        Page->SetFormatLocale(UsEnglish);
        Page->SetAxis(Axis);
        Page->show();
    }
    static void Click(QAbstractButton* Button)
    {
        QTest::mouseClick(Button, Qt::LeftButton, {}, QPoint(6, Button->height() / 2));
    }
    // A line series on the left axis with date-time values over Days.
    void AddDateTimeSeries(double From, double To)
    {
        auto* series = new TLineSeries(&Chart);
        Chart.AddSeries(series);
        series->YValues()->SetDateTime(true);
        series->AddXY(0, From);
        series->AddXY(1, To);
        Chart.LeftAxis()->SetMinMax(From, To);
    }
};

TEST_F(AxisPage, TheListHoldsTheSixAxesThenTheCustomOnes)
{
    Open(Chart.LeftAxis());
    ASSERT_EQ(Page->LBAxes->count(), 6);
    EXPECT_EQ(Page->LBAxes->item(5)->text(), QStringLiteral("Depth Top"));
    EXPECT_EQ(Page->LBAxes->currentRow(), 0);
    EXPECT_FALSE(Page->BDelete->isEnabled());
    EXPECT_FALSE(Page->CBOtherSide->isEnabled());

    QTest::mouseClick(Page->BAdd, Qt::LeftButton);
    QTest::mouseClick(Page->BAdd, Qt::LeftButton);
    ASSERT_EQ(Chart.CustomAxes().Count(), 2);
    ASSERT_EQ(Page->LBAxes->count(), 8);
    EXPECT_EQ(Page->LBAxes->item(7)->text(), QStringLiteral("Custom 1"));
    EXPECT_EQ(Page->LBAxes->currentRow(), 7);
    EXPECT_EQ(Page->Axis(), Chart.CustomAxes().Items(1));
    EXPECT_TRUE(Page->BDelete->isEnabled());
    EXPECT_TRUE(Page->CBOtherSide->isEnabled());
    EXPECT_TRUE(Page->CBHorizAxis->isEnabled());

    // A custom axis turned horizontal is told to the owner.
    TChartAxis* told = nullptr;
    Page->OnChangeHorizAxis = [&told](TChartAxis* Axis) { told = Axis; };
    Page->PageAxis->setCurrentWidget(Page->TabPositions);
    Click(Page->CBHorizAxis);
    EXPECT_TRUE(Chart.CustomAxes().Items(1)->Horizontal());
    EXPECT_EQ(told, Chart.CustomAxes().Items(1));

    // Picking the first custom axis and deleting it selects "Depth Top".
    Page->LBAxes->setCurrentRow(6);
    EXPECT_EQ(Page->Axis(), Chart.CustomAxes().Items(0));
    QTest::mouseClick(Page->BDelete, Qt::LeftButton);
    EXPECT_EQ(Chart.CustomAxes().Count(), 1);
    EXPECT_EQ(Page->LBAxes->currentRow(), 5);
    EXPECT_EQ(Page->LBAxes->currentItem()->text(), QStringLiteral("Depth Top"));
    EXPECT_EQ(Page->Axis(), Chart.DepthTopAxis());
    EXPECT_FALSE(Page->BDelete->isEnabled());
    // The remaining line keeps its number until the list is filled again.
    EXPECT_EQ(Page->LBAxes->item(6)->text(), QStringLiteral("Custom 1"));
    // Depth axes are never logarithmic.
    EXPECT_FALSE(Page->CBLogarithmic->isEnabled());

    QStringList withoutDepth;
    FillAxesList(Chart, withoutDepth, false);
    EXPECT_EQ(withoutDepth, (QStringList{QStringLiteral("Left Axis"), QStringLiteral("Right Axis"),
                                         QStringLiteral("Top Axis"), QStringLiteral("Bottom Axis"),
                                         QStringLiteral("Custom 0")}));
}

TEST_F(AxisPage, AutoOffTurnsBothLimitsOffAndStartAndEndCannotCross)
{
    Open(Chart.LeftAxis());
    Click(Page->CBAutomatic);
    EXPECT_FALSE(Chart.LeftAxis()->Automatic());
    EXPECT_FALSE(Chart.LeftAxis()->AutomaticMinimum());
    EXPECT_FALSE(Chart.LeftAxis()->AutomaticMaximum());
    EXPECT_FALSE(Page->CBAutoMin->isChecked());

    Page->PageAxis->setCurrentWidget(Page->TabPositions);
    Chart.LeftAxis()->SetStartPosition(40);
    Chart.LeftAxis()->SetEndPosition(41);
    Page->Refresh();
    Page->UDStart->setFocus();
    QTest::keyClick(Page->UDStart, Qt::Key_Up);
    EXPECT_EQ(Chart.LeftAxis()->StartPosition(), 40);
    EXPECT_EQ(Page->UDStart->value(), 40);
    Page->UDEnd->setFocus();
    QTest::keyClick(Page->UDEnd, Qt::Key_Down);
    EXPECT_EQ(Chart.LeftAxis()->EndPosition(), 41);
    EXPECT_EQ(Page->UDEnd->value(), 41);
    QTest::keyClick(Page->UDEnd, Qt::Key_Up);
    EXPECT_EQ(Chart.LeftAxis()->EndPosition(), 42);
}

// Start and End were applied or refused at each keystroke: with Start at
// 60, "80" typed into End was refused at "8" and snapped back to 100; with
// End at 80, "90" typed into Start left Start at 9.
TEST_F(AxisPage, StartAndEndAreJudgedWhenTheirTypingIsDone)
{
    Open(Chart.LeftAxis());
    Page->PageAxis->setCurrentWidget(Page->TabPositions);
    TChartAxis& axis = *Chart.LeftAxis();
    axis.SetStartPosition(60);
    axis.SetEndPosition(100);
    Page->Refresh();
    test::TypeIntoSpinBox(Page->UDEnd, QStringLiteral("80"));
    EXPECT_EQ(axis.EndPosition(), 80);
    EXPECT_EQ(Page->UDEnd->value(), 80);
    test::TypeIntoSpinBox(Page->UDStart, QStringLiteral("90")); // would cross End: refused whole
    EXPECT_EQ(axis.StartPosition(), 60);
    EXPECT_EQ(Page->UDStart->value(), 60);
    test::TypeIntoSpinBox(Page->UDStart, QStringLiteral("70"));
    EXPECT_EQ(axis.StartPosition(), 70);
}

TEST_F(AxisPage, TheLogarithmicBaseIgnoresZeroOneAndHalfTypedText)
{
    Chart.LeftAxis()->SetMinMax(1, 1000);
    Open(Chart.LeftAxis());
    Click(Page->CBLogarithmic);
    ASSERT_TRUE(Chart.LeftAxis()->Logarithmic());
    EXPECT_TRUE(Page->ELogBase->isEnabled());
    EXPECT_TRUE(Page->GroupBox1->isEnabled());
    TMessages messages;
    const int paints = Chart.Invalidations;
    for (const char* ignored : {"1", "0", "", "-", "-2", "abc", "1e"}) {
        test::RetypeText(Page->ELogBase, QString::fromLatin1(ignored));
        EXPECT_EQ(Chart.LeftAxis()->LogarithmicBase(), 10) << ignored;
    }
    EXPECT_EQ(Chart.Invalidations, paints);
    test::RetypeText(Page->ELogBase, QStringLiteral("2"));
    EXPECT_EQ(Chart.LeftAxis()->LogarithmicBase(), 2);
    EXPECT_GT(Chart.Invalidations, paints);
    Click(Page->LogE);
    EXPECT_DOUBLE_EQ(Chart.LeftAxis()->LogarithmicBase(), std::exp(1.0));
    EXPECT_FALSE(Page->LogE->isEnabled());
    EXPECT_TRUE(messages.Texts.isEmpty());

    // A half-typed title angle or size stores nothing and says nothing.
    Page->PageAxis->setCurrentWidget(Page->TabTitle);
    for (QSpinBox* spin : {Page->UDTitleAngle, Page->UDTitleSize}) {
        const QStringList before = test::DumpProperties(Chart.LeftAxis());
        spin->setFocus();
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_Backspace);
        QTest::keyClicks(spin, QStringLiteral("-"));
        EXPECT_EQ(test::DumpProperties(Chart.LeftAxis()), before) << spin->objectName().toStdString();
    }
    EXPECT_TRUE(messages.Texts.isEmpty());
}

TEST_F(AxisPage, ADateTimeAxisRefusesLogarithmicAndOffersTimeFormatsWithinADay)
{
    AddDateTimeSeries(45000.25, 45000.75);
    Open(Chart.LeftAxis());
    TMessages messages;
    Click(Page->CBLogarithmic);
    EXPECT_FALSE(Chart.LeftAxis()->Logarithmic());
    EXPECT_FALSE(Page->CBLogarithmic->isChecked());
    EXPECT_EQ(messages.Texts, QStringList{QStringLiteral("DateTime Axis cannot be Logarithmic")});

    Page->PageAxis->setCurrentWidget(Page->TabLabels);
    EXPECT_EQ(Page->LabelAxisFormat->text(), QStringLiteral("DateTime For&mat:"));
    for (int i = 0; i < Page->CBFormat->count(); ++i) {
        const QString format = Page->CBFormat->itemText(i);
        EXPECT_FALSE(format.contains(QLatin1Char('y')) || format.contains(QLatin1Char('d'))) << format.toStdString();
    }
    EXPECT_NE(Page->CBFormat->findText(QStringLiteral("hh:nn:ss.zzz")), -1);
    // The limits show as times, the date kept out.
    EXPECT_EQ(Page->LAxisMin->text(), DateTimeLimitText(45000.25));

    Chart.LeftAxis()->SetMinMax(45000, 45010);
    Page->Refresh();
    EXPECT_NE(Page->CBFormat->findText(QStringLiteral("yyyy-mm-dd")), -1);
    EXPECT_EQ(Page->CBFormat->findText(QStringLiteral("hh:nn")), -1);
    Page->CBFormat->setCurrentIndex(Page->CBFormat->findText(QStringLiteral("dd-mm-yyyy")));
    EXPECT_EQ(Chart.LeftAxis()->DateTimeFormat(), QStringLiteral("dd-mm-yyyy"));
}

TEST_F(AxisPage, ValueFormatsShowTheUsersSeparatorsAndAreStoredNeutral)
{
    Page->SetFormatLocale(QLocale(QLocale::German, QLocale::Germany));
    Page->SetAxis(Chart.LeftAxis());
    Page->show();
    Page->PageAxis->setCurrentWidget(Page->TabLabels);
    Page->PageLabels->setCurrentWidget(Page->TabLabFormat);
    EXPECT_EQ(Page->LabelAxisFormat->text(), QStringLiteral("Values For&mat:"));
    EXPECT_EQ(Page->CBFormat->currentText(), QStringLiteral("#.##0,###"));
    Page->CBFormat->setFocus();
    Page->CBFormat->lineEdit()->selectAll();
    QTest::keyClicks(Page->CBFormat->lineEdit(), QStringLiteral("#.##0,00"));
    EXPECT_EQ(Chart.LeftAxis()->AxisValuesFormat(), QStringLiteral("#,##0.00"));
}

TEST_F(AxisPage, LinLogAndRoundedLimitsThroughThePage)
{
    TChartAxis& axis = *Chart.LeftAxis();
    axis.SetMinMax(0, 1000);
    Open(&axis);
    EXPECT_EQ(Page->SpinEdit1->value(), 3);
    EXPECT_EQ(Page->Edit3->text(), QStringLiteral("0.01"));
    EXPECT_FALSE(Page->GroupBox1->isEnabled());
    Click(Page->CBLogarithmic);
    EXPECT_TRUE(axis.LinLogActive());
    EXPECT_TRUE(Page->GroupBox1->isEnabled());
    Page->SpinEdit1->setFocus();
    Page->SpinEdit1->selectAll();
    QTest::keyClicks(Page->SpinEdit1, QStringLiteral("2"));
    EXPECT_EQ(axis.LinLogDecShift(), 2);
    EXPECT_DOUBLE_EQ(axis.LinLogUnit(), 10.0 / 9);
    EXPECT_NEAR(axis.LinLogValue(10), 1, 1e-12);
    EXPECT_NEAR(axis.LinLogValue(1000), std::log10(901.0), 1e-12);

    // "Min dec": the edit takes over from the decade shift; half-typed text
    // stores nothing and says nothing; a value outside the range is ignored.
    Click(Page->CheckBox1);
    EXPECT_TRUE(axis.LinLogMinDec());
    EXPECT_FALSE(Page->SpinEdit1->isEnabled());
    ASSERT_TRUE(Page->Edit3->isEnabled());
    TMessages messages;
    for (const char* ignored : {"", "-", "-5", "0", "."}) {
        test::RetypeText(Page->Edit3, QString::fromLatin1(ignored));
        EXPECT_EQ(axis.LinLogMinDecValue(), 0.01) << ignored;
    }
    // "1" is taken on the way; "1e" (half an exponent) keeps it.
    test::RetypeText(Page->Edit3, QStringLiteral("1e"));
    EXPECT_EQ(axis.LinLogMinDecValue(), 1);
    QTest::keyClicks(Page->Edit3, QStringLiteral("1"));
    EXPECT_EQ(axis.LinLogMinDecValue(), 10);
    // Typing 10000 takes 100 on the way; 1000 and 10000 are not below the
    // larger limit and are ignored.
    test::RetypeText(Page->Edit3, QStringLiteral("10000"));
    EXPECT_EQ(axis.LinLogMinDecValue(), 100);
    axis.SetMinMax(0, 100000);
    test::RetypeText(Page->Edit3, QStringLiteral("2000"));
    Page->Edit3->clearFocus();
    Page->Refresh();
    EXPECT_EQ(Page->Edit3->text(), QStringLiteral("2000")); // no grouping to trip over
    axis.SetMinMax(0, 1000);
    test::RetypeText(Page->Edit3, QStringLiteral("100"));
    EXPECT_TRUE(messages.Texts.isEmpty());
    // Text set in code (not typed) is not taken.
    Page->Edit3->clearFocus();
    Page->Edit3->setText(QStringLiteral("20"));
    EXPECT_EQ(axis.LinLogMinDecValue(), 100);

    // Rounded limits on a linear-logarithmic axis: -0.5 .. 3000 -> -1 .. 10000.
    Click(Page->CheckBox1);
    axis.SetMinMax(-0.5, 3000);
    Page->Refresh();
    Click(Page->CheckBox2);
    EXPECT_TRUE(axis.RoundedLimits());
    EXPECT_DOUBLE_EQ(axis.Minimum(), -1);
    EXPECT_DOUBLE_EQ(axis.Maximum(), 10000);

    // And on a linear axis with increment 10: 3 .. 97 -> 0 .. 100.
    Click(Page->CheckBox2);
    Click(Page->CBLogarithmic);
    EXPECT_FALSE(Page->GroupBox1->isEnabled());
    axis.SetMinMax(3, 97);
    axis.SetIncrement(10);
    Page->Refresh();
    Click(Page->CheckBox2);
    EXPECT_DOUBLE_EQ(axis.Minimum(), 0);
    EXPECT_DOUBLE_EQ(axis.Maximum(), 100);
    EXPECT_EQ(Page->LAxisMax->text(), QStringLiteral("100"));
}

TEST_F(AxisPage, TheSmallDialogsWriteOnOkAndCancelLeavesTheAxis)
{
    TChartAxis& axis = *Chart.LeftAxis();
    axis.SetMinMax(0, 10);
    axis.SetIncrement(0.5);
    axis.SetAxisValuesFormat(QStringLiteral("0"));
    Open(&axis);
    // A value the format would hide shows as the plain number.
    EXPECT_EQ(Page->LAxisIncre->text(), QStringLiteral("0.5"));
    const QStringList before = test::DumpProperties(&Chart);
    OnModal<TAxisIncrement>([](TAxisIncrement& Dialog) { QTest::mouseClick(Dialog.BCancel, Qt::LeftButton); });
    QTest::mouseClick(Page->BIncre, Qt::LeftButton);
    OnModal<TAxisMaxMin>([](TAxisMaxMin& Dialog) { QTest::mouseClick(Dialog.BitBtn2, Qt::LeftButton); });
    QTest::mouseClick(Page->BAxisMin, Qt::LeftButton);
    Page->PageAxis->setCurrentWidget(Page->TabLabels);
    Page->PageLabels->setCurrentWidget(Page->TabLabFormat);
    OnModal<TFormatEditor>([](TFormatEditor& Dialog) {
        Dialog.UpDown1->setValue(4);
        QTest::mouseClick(Dialog.BCancel, Qt::LeftButton);
    });
    QTest::mouseClick(Page->Button1, Qt::LeftButton);
    EXPECT_EQ(test::DumpProperties(&Chart), before);
    OnModal<TFormatEditor>([](TFormatEditor& Dialog) {
        Dialog.UpDown1->setValue(2);
        QTest::mouseClick(Dialog.BOk, Qt::LeftButton);
    });
    QTest::mouseClick(Page->Button1, Qt::LeftButton);
    EXPECT_EQ(axis.AxisValuesFormat(), QStringLiteral("0.##"));
    EXPECT_EQ(Page->CBFormat->currentText(), QStringLiteral("0.##"));
    axis.SetAxisValuesFormat(QStringLiteral("0"));
    Page->PageAxis->setCurrentWidget(Page->TabScales);

    axis.SetAutomatic(true);
    Page->Refresh();
    OnModal<TAxisMaxMin>([](TAxisMaxMin& Dialog) {
        Dialog.EMaximum->setText(QStringLiteral("-2"));
        QTest::mouseClick(Dialog.BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(Page->BAxisMin, Qt::LeftButton);
    EXPECT_EQ(axis.Minimum(), -2);
    EXPECT_FALSE(Page->CBAutoMin->isChecked());
    EXPECT_EQ(Page->LAxisMin->text(), QStringLiteral("-2"));
    OnModal<TAxisIncrement>([](TAxisIncrement& Dialog) {
        Dialog.ECustom->setText(QStringLiteral("2"));
        QTest::mouseClick(Dialog.BOk, Qt::LeftButton);
    });
    QTest::mouseClick(Page->BIncre, Qt::LeftButton);
    EXPECT_EQ(axis.Increment(), 2);
    EXPECT_EQ(Page->LAxisIncre->text(), QStringLiteral("2"));
}

TEST_F(AxisPage, TheSingleAxisWindow)
{
    Chart.LeftAxis()->SetLogAutoFormat(true);
    std::unique_ptr<TFormPlotAxis> window = CreateAxisEditorWindow(&Chart, Chart.LeftAxis());
    ASSERT_NE(window, nullptr);
    window->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Left axis edit"));
    EXPECT_TRUE(window->windowFlags() & Qt::Tool);
    for (QWidget* hidden : std::initializer_list<QWidget*>{window->Panel1, window->CBLabelStyle, window->Label3,
                                                            window->UDGridZ, window->Label6, window->UDZ,
                                                            window->LabelZ})
        EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
    EXPECT_FALSE(window->PageLabels->isTabVisible(window->PageLabels->indexOf(window->TabLabFormat)));
    EXPECT_GE(window->width(), 350);
    EXPECT_GE(window->height(), 250);
    test::SaveScreenshot(*window, QStringLiteral("axis-dialog"));

    EXPECT_EQ(CreateAxisEditorWindow(&Chart, Chart.BottomAxis())->windowTitle(), QStringLiteral("Bottom axis edit"));
    test::TEditorChart other;
    EXPECT_EQ(CreateAxisEditorWindow(&Chart, other.LeftAxis()), nullptr);
    ShowAxisEditor(&Chart, other.LeftAxis()); // does nothing, returns at once
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// Whether every visible control below Root lies inside its parent.
void ExpectNothingClipped(QWidget& Root)
{
    for (QWidget* control : Root.findChildren<QWidget*>())
        if (control->isVisible() && control->parentWidget() && !control->isWindow() &&
            !qobject_cast<QTabWidget*>(control->parentWidget())) {
            EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry()))
                << control->objectName().toStdString() << " in " << control->parentWidget()->objectName().toStdString();
        }
}

TEST_F(AxisPage, EveryTabAndTheSmallDialogsShowWhole)
{
    Chart.LeftAxis()->SetMinMax(0, 1000);
    Chart.LeftAxis()->SetLogarithmic(true);
    Open(Chart.LeftAxis());
    const std::pair<QWidget*, const char*> tabs[] = {
        {Page->TabScales, "scales"},   {Page->TabTitle, "title"},          {Page->TabLabels, "labels"},
        {Page->TabTicks, "ticks"},     {Page->TabMinorTicks, "minor"},     {Page->TabPositions, "position"}};
    for (auto [tab, name] : tabs) {
        Page->PageAxis->setCurrentWidget(tab);
        ExpectNothingClipped(*Page);
        test::SaveScreenshot(*Page, QStringLiteral("axis-page-") + QLatin1String(name));
    }
    Page->PageAxis->setCurrentWidget(Page->TabLabels);
    Page->PageLabels->setCurrentWidget(Page->TabLabFormat);
    ExpectNothingClipped(*Page);
    test::SaveScreenshot(*Page, QStringLiteral("axis-page-labels-format"));
    Page->PageLabels->setCurrentWidget(Page->TabLabelsFont);
    test::SaveScreenshot(*Page, QStringLiteral("axis-page-labels-text"));

    auto showWhole = [](QWidget& Dialog, const char* Name) {
        Dialog.show();
        ExpectNothingClipped(Dialog);
        test::SaveScreenshot(Dialog, QLatin1String(Name));
    };
    TFormatEditor format(QStringLiteral("#,##0.00"), true, UsEnglish);
    showWhole(format, "format-editor");
    TAxisIncrement increment;
    increment.IsDateTime = true;
    increment.Increment = 1.5;
    showWhole(increment, "axis-increment");
    TAxisMaxMin limit;
    limit.IsDateTime = true;
    limit.MaxMin = 45000.25;
    showWhole(limit, "axis-maximum-minimum");
}

// --- What the Axis page sets reaches the chart file -----------------------------------------------

// The chart editor on a chart with a line series, on its Axis page.
struct AxisPageStorage : ::testing::Test {
    test::TEditorSettingsFolder Settings;
    test::TEditorChart Chart;
    std::unique_ptr<TChartEditForm> Form;
    TFormPlotAxis* Page = nullptr;

    void SetUp() override
    {
        auto* series = new TLineSeries(&Chart);
        Chart.AddSeries(series);
        for (int i = 0; i < 5; ++i)
            series->AddXY(i, i * 2);
        Form = std::make_unique<TChartEditForm>();
        Form->SetChart(&Chart);
        Form->show();
        Form->SubPage->setCurrentWidget(Form->TabAxis);
        Page = qobject_cast<TFormPlotAxis*>(Form->PageOf(Form->TabAxis));
        ASSERT_NE(Page, nullptr);
        Page->SetFormatLocale(UsEnglish);
    }
    static void Click(QAbstractButton* Button)
    {
        QTest::mouseClick(Button, Qt::LeftButton, {}, QPoint(6, Button->height() / 2));
    }
    // The chart saved as a chart file (binary or text) and read into a new
    // chart.
    static std::unique_ptr<TChart> Reopened(TCustomChart& Source, bool Text)
    {
        QBuffer file;
        file.open(QIODevice::ReadWrite);
        SaveChartToStream(&Source, file, true, Text);
        file.seek(0);
        auto chart = std::make_unique<TChart>();
        TCustomChart* target = chart.get();
        LoadChartFromStream(target, file);
        return chart;
    }
};

// Left axis, Scales: Minimum "Change...", -1, OK; Inverted and Logarithmic
// ticked: the reopened chart's left axis was automatic, upright and linear
// again.
TEST_F(AxisPageStorage, TheLeftAxisMinimumAndSwitchesReadBack)
{
    ASSERT_EQ(Page->Axis(), Chart.LeftAxis());
    Page->PageAxis->setCurrentWidget(Page->TabScales);
    OnModal<TAxisMaxMin>([](TAxisMaxMin& Dialog) {
        Dialog.EMaximum->setText(QStringLiteral("-1"));
        QTest::mouseClick(Dialog.BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(Page->BAxisMin, Qt::LeftButton);
    ASSERT_EQ(Chart.LeftAxis()->Minimum(), -1);
    Click(Page->CBInverted);
    Click(Page->CBLogarithmic);
    ASSERT_TRUE(Chart.LeftAxis()->Inverted());
    ASSERT_TRUE(Chart.LeftAxis()->Logarithmic());
    for (const bool text : {false, true}) {
        const std::unique_ptr<TChart> copy = Reopened(Chart, text);
        const TChartAxis& left = *copy->LeftAxis();
        EXPECT_FALSE(left.AutomaticMinimum()) << text;
        EXPECT_TRUE(left.AutomaticMaximum()) << text;
        EXPECT_EQ(left.Minimum(), -1) << text;
        EXPECT_TRUE(left.Inverted()) << text;
        EXPECT_TRUE(left.Logarithmic()) << text;
        EXPECT_EQ(copy->SeriesCount(), 1);
    }
}

// Axis page "+" adds a custom axis; a colour line tool is put on it through
// its Axis combo: the reopened chart had 6 axes and the tool none.
TEST_F(AxisPageStorage, ACustomAxisAndTheColourLineOnItReadBack)
{
    QTest::mouseClick(Page->BAdd, Qt::LeftButton);
    ASSERT_EQ(Chart.CustomAxes().Count(), 1);
    TChartAxis* custom = Chart.CustomAxes().Items(0);
    auto* tool = new TColorLineTool(&Chart);
    tool->SetParentChart(&Chart);
    tool->SetAxis(Chart.LeftAxis());
    TColorLineToolEditor toolPage;
    toolPage.SetTarget(tool);
    toolPage.show();
    const int customLine = toolPage.CBAxis->findText(QStringLiteral("Custom 0"));
    ASSERT_GE(customLine, 0);
    toolPage.CBAxis->setFocus();
    for (int step = 0; step < toolPage.CBAxis->count() && toolPage.CBAxis->currentIndex() < customLine; ++step)
        QTest::keyClick(toolPage.CBAxis, Qt::Key_Down);
    ASSERT_EQ(tool->Axis(), custom);
    for (const bool text : {false, true}) {
        const std::unique_ptr<TChart> copy = Reopened(Chart, text);
        ASSERT_EQ(copy->AxesList().Count(), 7) << text;
        ASSERT_EQ(copy->Tools().Count(), 1) << text;
        auto* copyTool = qobject_cast<TColorLineTool*>(copy->Tools()[0]);
        ASSERT_NE(copyTool, nullptr);
        EXPECT_EQ(copyTool->Axis(), copy->CustomAxes().Items(0)) << text;
    }
}

// --- A depth axis' Z position through the tree-mode editor -----------------------------------------

// The chart editor in tree mode on a chart with a line series.
struct AxisTreeStorage : AxisPageStorage {
    void SetUp() override
    {
        WriteEditorRegBoolean(QStringLiteral("TreeMode"), true);
        AxisPageStorage::SetUp();
        ASSERT_TRUE(Form->InTreeMode());
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    }
    // A click on the tree's node of Axis (under "Chart", "Axis").
    void ClickAxisNode(const QString& Axis)
    {
        QTreeWidgetItem* found = nullptr;
        for (QTreeWidgetItemIterator it(Form->Tree); *it && !found; ++it)
            if ((*it)->text(0) == Axis && (*it)->parent() && (*it)->parent()->text(0) == QStringLiteral("Axis"))
                found = *it;
        ASSERT_NE(found, nullptr) << Axis.toStdString();
        for (QTreeWidgetItem* up = found->parent(); up; up = up->parent())
            up->setExpanded(true);
        Form->Tree->scrollToItem(found);
        QTest::mouseClick(Form->Tree->viewport(), Qt::LeftButton, {}, Form->Tree->visualItemRect(found).center());
        ASSERT_EQ(Form->Tree->currentItem(), found);
        Page = qobject_cast<TFormPlotAxis*>(Form->PageOf(Form->TabAxis));
        ASSERT_NE(Page, nullptr);
    }
    void ClickPositionTab()
    {
        QTabBar* bar = Page->PageAxis->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(Page->PageAxis->indexOf(Page->TabPositions)).center());
        ASSERT_EQ(Page->PageAxis->currentWidget(), Page->TabPositions);
    }
    // Text typed over the whole "Z %" field, then Tab.
    void TypeZ(const QString& Text)
    {
        QLineEdit* field = Page->UDZ->findChild<QLineEdit*>();
        QTest::mouseClick(field, Qt::LeftButton);
        ASSERT_TRUE(Page->UDZ->hasFocus());
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, Text);
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_FALSE(Page->UDZ->hasFocus()) << "Tab leaves the field";
    }
};

// Right Axis, Position tab, then "Depth Top"; "-2147483649" typed into
// "Z %" and Tab: the axis held 21 (the field refused the digits that made
// the number too large) and the chart file read back 0.
TEST_F(AxisTreeStorage, ADepthAxisZPositionTypedOnThePositionTabReadsBack)
{
    ClickAxisNode(QStringLiteral("Right Axis"));
    ClickPositionTab();
    ClickAxisNode(QStringLiteral("Depth Top"));
    ASSERT_EQ(Page->Axis(), Chart.DepthTopAxis());
    ASSERT_EQ(Page->PageAxis->currentWidget(), Page->TabPositions);
    TChartAxis& top = *Chart.DepthTopAxis();

    // Below the range: the nearest end, and the field shows what the axis holds.
    TypeZ(QStringLiteral("-2147483649"));
    EXPECT_LE(top.ZPosition(), 0.011);
    EXPECT_EQ(Page->UDZ->value(), 0);
    EXPECT_EQ(Page->UDZ->text(), QStringLiteral("0"));
    // Above it, however long: the other end.
    TypeZ(QStringLiteral("99999999999999999999999"));
    EXPECT_EQ(top.ZPosition(), 100);
    EXPECT_EQ(Page->UDZ->text(), QStringLiteral("100"));
    TypeZ(QStringLiteral("37"));
    EXPECT_EQ(top.ZPosition(), 37);
    EXPECT_EQ(Page->UDZ->text(), QStringLiteral("37"));
    // The other depth axis, which lies on the other side.
    ClickAxisNode(QStringLiteral("Depth Right"));
    TypeZ(QStringLiteral("250"));
    EXPECT_EQ(Chart.DepthAxis()->ZPosition(), 100);
    EXPECT_EQ(Page->UDZ->text(), QStringLiteral("100"));

    for (const bool text : {false, true}) {
        const std::unique_ptr<TChart> copy = Reopened(Chart, text);
        EXPECT_EQ(copy->DepthTopAxis()->ZPosition(), 37) << text;
        EXPECT_EQ(copy->DepthAxis()->ZPosition(), 100) << text;
    }
}

} // namespace
} // namespace lp
