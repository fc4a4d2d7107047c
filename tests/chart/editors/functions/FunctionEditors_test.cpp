// The function option forms on their own: what they show for a function's
// settings, what they store, and the period-range dialog.

#include "chart/editors/functions/AverageFunctionEditor.h"
#include "chart/editors/functions/PeriodFunctionEditor.h"

#include "../EditorTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/stats/PlotStatFunctions.h"

#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include <gtest/gtest.h>

namespace lp {
namespace {

class FunctionForms : public ::testing::Test {
protected:
    TPlotFunction* OnNewSeries(const QMetaObject* Class)
    {
        auto* series = new TLineSeries(&Chart);
        Chart.AddSeries(series);
        return CreateNewPlotFunction(series, Class);
    }

    template <class TForm>
    std::unique_ptr<TForm> Show(TPlotFunction* Function)
    {
        auto form = std::make_unique<TForm>();
        form->SetTarget(Function);
        form->show();
        return form;
    }

    test::TEditorChart Chart;
};

TEST_F(FunctionForms, ThePeriodShowsByStyle)
{
    TPlotFunction* add = OnNewSeries(&TAddPlotFunction::staticMetaObject);
    auto form = Show<TPlotFunctionEditor>(add);
    EXPECT_EQ(form->ChosenStyle(), TPlotFunctionEditor::StyleAllPoints);
    EXPECT_EQ(form->ENum->text(), QString());
    EXPECT_FALSE(form->ENum->isEnabled());
    EXPECT_FALSE(form->BChange->isEnabled());
    EXPECT_EQ(form->CBAlign->currentText(), QStringLiteral("Center"));

    // A negative period (stored without the setter's check) shows as 0.
    add->InternalSetPeriod(-3);
    form->Refresh();
    EXPECT_EQ(form->ChosenStyle(), TPlotFunctionEditor::StyleNumPoints);
    EXPECT_EQ(form->ENum->text(), QStringLiteral("0"));

    add->InternalSetPeriod(2.5);
    add->SetPeriodStyle(TPlotFunction::psRange);
    form->Refresh();
    EXPECT_EQ(form->ChosenStyle(), TPlotFunctionEditor::StyleRange);
    EXPECT_EQ(form->ENum->text(), QStringLiteral("2.5"));
    EXPECT_TRUE(form->BChange->isEnabled());

    // A moving function has no ranges: a range style shows as points.
    TPlotFunction* moving = OnNewSeries(&TMovingAverageFunction::staticMetaObject);
    moving->InternalSetPeriod(3);
    moving->SetPeriodStyle(TPlotFunction::psRange);
    auto movingForm = Show<TPlotFunctionEditor>(moving);
    EXPECT_EQ(movingForm->ChosenStyle(), TPlotFunctionEditor::StyleNumPoints);
    EXPECT_EQ(movingForm->ENum->text(), QStringLiteral("3"));
    // Nor "All points": it needs a period (0, from a stored chart, shows).
    EXPECT_EQ(movingForm->CBStyle->findText(QStringLiteral("All points")), -1);
    moving->InternalSetPeriod(0);
    movingForm->Refresh();
    EXPECT_EQ(movingForm->ChosenStyle(), TPlotFunctionEditor::StyleNumPoints);
    EXPECT_EQ(movingForm->ENum->text(), QStringLiteral("0"));
    // The same form on a function without that need offers it again.
    movingForm->SetTarget(add);
    movingForm->Refresh();
    EXPECT_EQ(movingForm->CBStyle->itemText(0), QStringLiteral("All points"));
    // A huge range period still shows (no integer overflow).
    add->InternalSetPeriod(1e12);
    add->SetPeriodStyle(TPlotFunction::psNumPoints);
    form->Refresh();
    EXPECT_EQ(form->ChosenStyle(), TPlotFunctionEditor::StyleNumPoints);
}

TEST_F(FunctionForms, ShownAloneAChangeWaitsAndTheApplyStores)
{
    TPlotFunction* add = OnNewSeries(&TAddPlotFunction::staticMetaObject);
    auto form = Show<TPlotFunctionEditor>(add);
    EXPECT_TRUE(form->DefersEdits());
    EXPECT_EQ(form->FunctionPage(), nullptr);
    form->CBStyle->setFocus();
    QTest::keyClick(form->CBStyle, Qt::Key_Down);
    EXPECT_EQ(form->focusWidget(), form->ENum);
    form->ENum->selectAll();
    QTest::keyClicks(form->ENum, QStringLiteral("4"));
    form->CBAlign->setFocus();
    QTest::keyClick(form->CBAlign, Qt::Key_Down);
    EXPECT_EQ(add->Period(), 0);
    EXPECT_EQ(add->PeriodAlign(), TPlotFunction::paCenter);
    form->ApplyEdits();
    EXPECT_EQ(add->Period(), 4);
    EXPECT_EQ(add->PeriodStyle(), TPlotFunction::psNumPoints);
    EXPECT_EQ(add->PeriodAlign(), TPlotFunction::paLast);

    // A text that is not a number stores no period.
    form->ENum->selectAll();
    QTest::keyClicks(form->ENum, QStringLiteral("abc"));
    form->ApplyEdits();
    EXPECT_EQ(add->Period(), 0);
}

TEST_F(FunctionForms, AMovingAverageWithoutAPeriodIsRefusedAndKeepsItsOwn)
{
    // Regression: period 0 reached a moving average, which then refused to
    // compute ("Period must be bigger than zero.") while keeping it.
    TPlotFunction* average = OnNewSeries(&TMovingAverageFunction::staticMetaObject);
    average->InternalSetPeriod(3);
    auto form = Show<TPlotFunctionEditor>(average);
    test::RetypeText(form->ENum, QStringLiteral("0"));
    EXPECT_THROW(form->ApplyEdits(), ChartException);
    EXPECT_EQ(average->Period(), 3);
    test::RetypeText(form->ENum, QStringLiteral("4"));
    form->ApplyEdits();
    EXPECT_EQ(average->Period(), 4);
}

TEST_F(FunctionForms, ThePeriodRangeDialogFillsTheEditOnOkOnly)
{
    TPlotFunction* add = OnNewSeries(&TAddPlotFunction::staticMetaObject);
    add->InternalSetPeriod(5);
    add->SetPeriodStyle(TPlotFunction::psRange);
    auto form = Show<TPlotFunctionEditor>(add);
    QString title;
    test::OnModal<TAxisIncrement>([&title](TAxisIncrement& Dialog) {
        title = Dialog.windowTitle();
        Dialog.ECustom->setText(QStringLiteral("9"));
        QTest::mouseClick(Dialog.BCancel, Qt::LeftButton);
    });
    QTest::mouseClick(form->BChange, Qt::LeftButton);
    EXPECT_EQ(title, QStringLiteral("Period range"));
    EXPECT_EQ(form->ENum->text(), QStringLiteral("5"));
    test::OnModal<TAxisIncrement>([](TAxisIncrement& Dialog) {
        QTest::mouseClick(Dialog.RBCustom, Qt::LeftButton);
        Dialog.ECustom->setText(QStringLiteral("9"));
        QTest::mouseClick(Dialog.BOk, Qt::LeftButton);
    });
    QTest::mouseClick(form->BChange, Qt::LeftButton);
    EXPECT_EQ(form->ENum->text(), QStringLiteral("9"));
    EXPECT_EQ(add->Period(), 5); // still waiting for the apply
}

TEST_F(FunctionForms, TheAverageFormCarriesIncludeNulls)
{
    auto* average = qobject_cast<TAveragePlotFunction*>(OnNewSeries(&TAveragePlotFunction::staticMetaObject));
    auto form = Show<TAverageFuncEditor>(average);
    EXPECT_EQ(form->CBNulls->text(), QStringLiteral("&Include Null values"));
    EXPECT_TRUE(form->CBNulls->isChecked());
    test::ClickNearLeftEdge(form->CBNulls);
    EXPECT_TRUE(average->IncludeNulls());
    form->ApplyEdits();
    EXPECT_FALSE(average->IncludeNulls());
    average->SetIncludeNulls(true);
    form->Refresh();
    EXPECT_TRUE(form->CBNulls->isChecked());
}

} // namespace
} // namespace lp
