// The analysis functions' option forms inside the function page, on a
// chart with a price series as source: a change makes "&Apply" pending and
// writes nothing; the apply stores it, the series recomputes and the chart
// repaints; leaving with a pending change asks, Cancel stays and No leaves
// the function as it was. Then what single forms promise: compression
// periods, constants and weights that are no numbers, periods past their
// range, the volume series choice and the pen buttons.

#include "chart/editors/functions/ADXFunctionEditor.h"
#include "chart/editors/functions/CompressFunctionEditor.h"
#include "chart/editors/functions/FunctionPage.h"
#include "chart/editors/functions/IndicatorFunctionEditors.h"
#include "chart/editors/functions/MovingAverageFunctionEditors.h"
#include "chart/editors/functions/OscillatorFunctionEditors.h"
#include "chart/editors/functions/RMSFunctionEditor.h"
#include "chart/editors/functions/VolumeFunctionEditors.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/financial/PlotCompress.h"
#include "chart/extensions/financial/PlotOscillators.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"
#include "chart/extensions/financial/PlotVolumeIndicators.h"
#include "chart/extensions/stats/PlotStatFunctions.h"
#include "platform/core/ClassRegistry.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A chart with a price series and a series computed from it by a function.
class AnalysisFunctionChart : public ::testing::Test {
protected:
    AnalysisFunctionChart()
    {
        Prices = new TCandleSeries(&Chart);
        Prices->SetName(QStringLiteral("Prices"));
        Chart.AddSeries(Prices);
        Prices->FillSampleValues(40);
        // A second candidate for a volume series.
        auto* volume = new TVolumeSeries(&Chart);
        volume->SetName(QStringLiteral("Traded"));
        Chart.AddSeries(volume);
        volume->FillSampleValues(40);
        MessageService() = [this](const TMessageRequest& Request) {
            Messages.append(Request.Text);
            return Answer;
        };
    }
    ~AnalysisFunctionChart() override
    {
        Page.reset();
        ResetMessageService();
    }

    // The computed series, a price series for the compression (which
    // fills price bars only), else a line.
    TPlotFunction* Compute(const QString& FunctionClass)
    {
        TChartSeries* host = FunctionClass == QStringLiteral("TCompressFunction")
                                 ? static_cast<TChartSeries*>(new TCandleSeries(&Chart))
                                 : new TLineSeries(&Chart);
        host->SetName(QStringLiteral("Computed"));
        Chart.AddSeries(host);
        std::unique_ptr<TPersistent> made = CreateObject(FunctionClass);
        const QMetaObject* meta = made->metaObject();
        made.reset();
        TPlotFunction* function = CreateNewPlotFunction(host, meta);
        if (qobject_cast<TPlotMovingFunction*>(function) && function->Period() == 0)
            function->InternalSetPeriod(5);
        host->SetDataSource(Prices);
        Computed = host;
        return function;
    }

    TEditorPage* Open()
    {
        Page = std::make_unique<TPlotFuncEditor>();
        Page->SetTarget(Computed);
        Page->show();
        // The user turns to the "Options" tab.
        Page->PageControl1->setCurrentWidget(Page->TabOptions);
        return Page->FunctionEditor();
    }

    std::vector<double> ComputedValues() const
    {
        std::vector<double> values;
        for (int i = 0; i < Computed->Count(); ++i)
            values.push_back(Computed->MandatoryValues()->Value(i));
        return values;
    }

    test::TEditorChart Chart;
    TCandleSeries* Prices = nullptr;
    TChartSeries* Computed = nullptr;
    std::unique_ptr<TPlotFuncEditor> Page;
    QStringList Messages;
    int Answer = mrCancel;
};

// Parameter: the function class and the control of its form to change.
struct TFormCase {
    const char* FunctionClass;
    const char* Control;
};

class AnalysisFunctionForm : public AnalysisFunctionChart, public ::testing::WithParamInterface<TFormCase> {};

// Changes Control as a user does.
void ChangeAsUser(QWidget* Control)
{
    Control->setFocus();
    if (auto* spin = qobject_cast<QSpinBox*>(Control))
        QTest::keyClick(spin, Qt::Key_Up);
    else if (auto* combo = qobject_cast<QComboBox*>(Control))
        QTest::keyClick(combo, Qt::Key_Down);
    else if (auto* check = qobject_cast<QCheckBox*>(Control))
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    else if (auto* edit = qobject_cast<QLineEdit*>(Control)) {
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("0.5"));
    }
}

TEST_P(AnalysisFunctionForm, AppliesOnlyOnApplyAndAsksBeforeLeaving)
{
    TPlotFunction* function = Compute(QString::fromLatin1(GetParam().FunctionClass));
    TEditorPage* form = Open();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(Page->BApply->isEnabled()) << "loading made a change";
    auto* control = form->findChild<QWidget*>(QString::fromLatin1(GetParam().Control));
    ASSERT_NE(control, nullptr);

    const QStringList stored = test::DumpProperties(function);
    const std::vector<double> values = ComputedValues();
    ChangeAsUser(control);
    EXPECT_TRUE(Page->BApply->isEnabled());
    EXPECT_EQ(test::DumpProperties(function), stored) << "written before the apply";
    EXPECT_EQ(ComputedValues(), values);

    const int paints = Chart.Invalidations;
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_FALSE(Page->BApply->isEnabled());
    EXPECT_EQ(Computed->SeriesFunction(), function);
    const QStringList applied = test::DumpProperties(function);
    EXPECT_NE(applied, stored);
    EXPECT_NE(ComputedValues(), values) << "not recomputed";
    EXPECT_GT(Chart.Invalidations, paints);

    // A pending change: Cancel keeps the page, No leaves the function.
    ChangeAsUser(control);
    Answer = mrCancel;
    EXPECT_FALSE(Page->MayLeave());
    EXPECT_TRUE(Page->BApply->isEnabled());
    Answer = mrNo;
    EXPECT_TRUE(Page->MayLeave());
    EXPECT_EQ(Messages.size(), 2);
    EXPECT_EQ(test::DumpProperties(function), applied);
    test::SaveScreenshot(*Page, QStringLiteral("function-options-") + QString::fromLatin1(GetParam().FunctionClass + 1));
}

INSTANTIATE_TEST_SUITE_P(EveryForm, AnalysisFunctionForm,
                         ::testing::Values(TFormCase{"TCompressFunction", "UpDown1"},
                                           TFormCase{"TCLVFunction", "CBAccumulate"},
                                           TFormCase{"TOBVFunction", "CBVolume"},
                                           TFormCase{"TCCIFunction", "UDPeriod"},
                                           TFormCase{"TPVOFunction", "UDPeriod2"},
                                           TFormCase{"TADXFunction", "UDPeriod"},
                                           TFormCase{"TMovingAverageFunction", "UpDown1"},
                                           TFormCase{"TSmoothingFunction", "UpDown1"},
                                           TFormCase{"TMACDFunction", "UDPeriod1"},
                                           TFormCase{"TBollingerFunction", "Edit1"},
                                           TFormCase{"TRMSFunction", "CBComplete"},
                                           TFormCase{"TExpAverageFunction", "Edit1"}),
                         [](const ::testing::TestParamInfo<TFormCase>& Info) {
                             return std::string(Info.param.FunctionClass + 1);
                         });

TEST_F(AnalysisFunctionChart, CompressionPeriodsAndPointsLoadAndStore)
{
    auto* compress = qobject_cast<TCompressFunction*>(Compute(QStringLiteral("TCompressFunction")));
    compress->InternalSetPeriod(3);
    auto* form = qobject_cast<TCompressFuncEditor*>(Open());
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->RadioPoints->isChecked());
    EXPECT_EQ(form->UpDown1->value(), 3);

    // "Weekly" after a number of points: a period of weeks, no points.
    form->CBDatePeriod->setFocus();
    QTest::keyClick(form->CBDatePeriod, Qt::Key_Down);
    EXPECT_EQ(form->CBDatePeriod->currentText(), QStringLiteral("Weekly"));
    EXPECT_TRUE(form->RadioDate->isChecked());
    EXPECT_EQ(form->UpDown1->value(), 0);
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_EQ(compress->Period(), 0);
    EXPECT_EQ(compress->Compress(), TCompressFunction::ocWeek);

    // A clock period stores from 6 on and loads back onto its radio button.
    form->CBTimePeriod->setFocus();
    QTest::keyClick(form->CBTimePeriod, Qt::Key_End);
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_EQ(compress->Compress(), TCompressFunction::ocTwelveHour);
    form->Refresh();
    EXPECT_TRUE(form->RadioTime->isChecked());
    EXPECT_EQ(form->CBTimePeriod->currentText(), QStringLiteral("TwelveHour"));
    EXPECT_EQ(form->CBDatePeriod->currentIndex(), 0);

    // Clicking into the number of points chooses it; a number typed there
    // is stored as points.
    QTest::mouseClick(form->UpDown1->findChild<QLineEdit*>(), Qt::LeftButton);
    EXPECT_TRUE(form->RadioPoints->isChecked());
    EXPECT_EQ(form->CBTimePeriod->currentText(), QStringLiteral("TwelveHour"));
    form->UpDown1->selectAll();
    QTest::keyClicks(form->UpDown1, QStringLiteral("12"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_EQ(compress->Period(), 12);
}

TEST_F(AnalysisFunctionChart, ConstantsAndWeightsThatAreNoNumbersKeepTheirValue)
{
    auto* cci = qobject_cast<TCCIFunction*>(Compute(QStringLiteral("TCCIFunction")));
    auto* form = qobject_cast<TCCIFuncEditor*>(Open());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->EConst->text(), QStringLiteral("0.015"));
    EXPECT_EQ(form->UDPeriod->value(), 20);
    for (const char* typed : {"abc", "-", ""}) {
        form->EConst->selectAll();
        if (*typed)
            QTest::keyClicks(form->EConst, QString::fromLatin1(typed));
        else
            QTest::keyClick(form->EConst, Qt::Key_Delete);
        EXPECT_TRUE(Page->BApply->isEnabled()) << typed;
        QTest::mouseClick(Page->BApply, Qt::LeftButton);
        EXPECT_DOUBLE_EQ(cci->Constant(), 0.015) << typed;
        EXPECT_TRUE(Messages.isEmpty()) << typed;
    }
    form->EConst->selectAll();
    QTest::keyClicks(form->EConst, QStringLiteral("0.02"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(cci->Constant(), 0.02);

    // A period typed past its range is not taken: the form keeps 1..10000.
    form->UDPeriod->selectAll();
    QTest::keyClicks(form->UDPeriod, QStringLiteral("0"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_EQ(cci->Period(), 20);
    form->UDPeriod->selectAll();
    QTest::keyClicks(form->UDPeriod, QStringLiteral("99999"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_LE(cci->Period(), 10000);
}

TEST_F(AnalysisFunctionChart, AnExponentialWeightOutsideZeroToOneIsRefusedBeforeAnythingChanges)
{
    auto* average = qobject_cast<TExpAverageFunction*>(Compute(QStringLiteral("TExpAverageFunction")));
    auto* form = qobject_cast<TExpAveFuncEditor*>(Open());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("0.2"));
    form->Edit1->selectAll();
    QTest::keyClicks(form->Edit1, QStringLiteral("7"));
    EXPECT_ANY_THROW(form->CheckSettings());
    form->Edit1->selectAll();
    QTest::keyClicks(form->Edit1, QStringLiteral("x"));
    EXPECT_NO_THROW(form->CheckSettings());
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(average->Weight(), 0.2);
}

TEST_F(AnalysisFunctionChart, TheVolumeSeriesIsChosenAmongTheOthers)
{
    auto* volume = new TVolumeSeries(&Chart);
    volume->SetName(QStringLiteral("Volume1"));
    Chart.AddSeries(volume);
    volume->FillSampleValues(40);
    auto* clv = qobject_cast<TCLVFunction*>(Compute(QStringLiteral("TCLVFunction")));
    auto* form = qobject_cast<TCLVFuncEditor*>(Open());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->CBVolume->currentIndex(), -1);
    EXPECT_TRUE(form->CBAccumulate->isChecked());
    // The computed series is not offered as its own volume.
    EXPECT_EQ(form->CBVolume->findText(QStringLiteral("Computed")), -1);
    form->CBVolume->setCurrentIndex(form->CBVolume->findText(QStringLiteral("Volume1")));
    emit form->CBVolume->activated(form->CBVolume->currentIndex());
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_EQ(clv->Volume(), volume);
    // The volume series going clears the choice shown.
    delete volume;
    form->Refresh();
    EXPECT_EQ(form->CBVolume->currentIndex(), -1);
    EXPECT_EQ(clv->Volume(), nullptr);
}

TEST_F(AnalysisFunctionChart, PenButtonsEditTheLinesPensAndACancelChangesNothing)
{
    Compute(QStringLiteral("TMACDFunction"));
    auto* form = qobject_cast<TMACDFuncEditor*>(Open());
    ASSERT_NE(form, nullptr);
    for (TButtonPen* button : {form->BHistogram, form->BMACDExp, form->BMACD}) {
        ASSERT_NE(button->Pen(), nullptr);
        EXPECT_TRUE(button->isEnabled());
    }
    EXPECT_EQ(form->BMACD->Pen(), Computed->Pen());
    const QStringList before = test::DumpProperties(&Chart);
    QTimer::singleShot(0, [form] {
        if (TPenDialog* dialog = form->BMACDExp->OpenDialog())
            dialog->reject();
    });
    QTest::mouseClick(form->BMACDExp, Qt::LeftButton);
    EXPECT_EQ(test::DumpProperties(&Chart), before);
    EXPECT_FALSE(Page->BApply->isEnabled());

    // The direction index's own lines' pens.
    TADXFuncEditor adx;
    TADXFunction detached;
    adx.SetTarget(&detached);
    adx.show();
    EXPECT_EQ(adx.BUp->Pen(), detached.UpLinePen());
    EXPECT_EQ(adx.BDown->Pen(), detached.DownLinePen());
    EXPECT_EQ(adx.UDPeriod->value(), 14);
}

} // namespace
} // namespace lp
