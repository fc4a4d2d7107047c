// The function page driven as a user does: choosing the function type, the
// sources and the options, and "&Apply"; nothing reaches the series before
// the apply, and leaving with pending changes asks first.

#include "chart/editors/functions/FunctionPage.h"

#include "../EditorTestSupport.h"
#include "chart/engine/PlotRegistry.h"
#include "DialogTestUtil.h"
#include "chart/editors/data/PlotSelectList.h"
#include "chart/editors/functions/CustomFunctionEditor.h"
#include "chart/editors/functions/PeriodFunctionEditor.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/stats/PlotStatFunctions.h"
#include "chart/extensions/stats/PlotVolumePipe.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace lp {
namespace {

class FunctionPage : public ::testing::Test {
protected:
    FunctionPage()
    {
        Source1 = AddLine("Source1", {10, 20, 30, 40});
        Source2 = AddLine("Source2", {30, 40, 50, 60});
        Edited = AddLine("Edited", {});
        MessageService() = [this](const TMessageRequest& Request) {
            Messages.append(Request.Text);
            return Answer;
        };
        // Errors an apply raises are shown by the application: recorded.
        TApplication::Instance().OnException = [this](const std::exception& Error) {
            Messages.append(QString::fromUtf8(Error.what()));
        };
    }
    ~FunctionPage() override
    {
        Page.reset();
        TApplication::Instance().OnException = nullptr;
        ResetMessageService();
    }

    TLineSeries* AddLine(const char* Name, std::initializer_list<double> Values)
    {
        auto* series = new TLineSeries(&Chart);
        series->SetName(QString::fromLatin1(Name));
        Chart.AddSeries(series);
        double x = 0;
        for (double value : Values)
            series->AddXY(x++, value);
        return series;
    }

    void Open()
    {
        Page = std::make_unique<TPlotFuncEditor>();
        Page->SetTarget(Edited);
        Page->show();
    }

    // Picks the entry starting with Text with the arrow keys, as a user
    // steps through a list (each step is a choice the page reacts to).
    static void TypeInto(QComboBox* Combo, const QString& Text)
    {
        int target = -1;
        for (int i = 0; i < Combo->count() && target < 0; ++i)
            if (Combo->itemText(i).startsWith(Text))
                target = i;
        ASSERT_GE(target, 0) << Text.toStdString();
        Combo->setFocus();
        while (Combo->currentIndex() != target)
            QTest::keyClick(Combo, Combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }

    QPushButton* SelectButton(const QString& Caption) const
    {
        for (QPushButton* button : Page->SelectList()->findChildren<QPushButton*>())
            if (button->text() == Caption)
                return button;
        return nullptr;
    }

    bool TabShown(QWidget* Tab) const { return Page->PageControl1->isTabVisible(Page->PageControl1->indexOf(Tab)); }

    test::TEditorChart Chart;
    TLineSeries* Source1 = nullptr;
    TLineSeries* Source2 = nullptr;
    TLineSeries* Edited = nullptr;
    std::unique_ptr<TPlotFuncEditor> Page;
    QStringList Messages;
    int Answer = mrCancel;
};

TEST_F(FunctionPage, ANewSeriesOpensOnCopyWithApplyPending)
{
    Open();
    EXPECT_EQ(Page->LLabel->text(), QStringLiteral("&Functions:"));
    EXPECT_EQ(Page->CBSources->currentText(), QStringLiteral("Copy"));
    EXPECT_FALSE(TabShown(Page->TabOptions));
    EXPECT_TRUE(TabShown(Page->TabSource));
    EXPECT_TRUE(Page->BApply->isEnabled());
    EXPECT_FALSE(Page->PanSingle->isVisible());
    EXPECT_TRUE(Page->SelectList()->isVisible());
    // The types are sorted, each once, on one line.
    QStringList types;
    for (int i = 0; i < Page->CBSources->count(); ++i)
        types.append(Page->CBSources->itemText(i));
    QStringList sorted = types;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString& A, const QString& B) { return A.compare(B, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(types, sorted);
    EXPECT_EQ(types.removeDuplicates(), 0);
    EXPECT_TRUE(types.contains(QStringLiteral("Moving Average")));
    for (const QString& type : types)
        EXPECT_FALSE(type.contains(QChar(13))) << type.toStdString();
    // Every series of the owner but the edited one is offered.
    EXPECT_EQ(Page->SelectList()->FromList()->count(), 2);
    EXPECT_EQ(Page->CBSingle->count(), 2);
}

TEST_F(FunctionPage, SingleSourceAndNoSourceTypesLayTheTabsOut)
{
    Open();
    TypeInto(Page->CBSources, QStringLiteral("Moving"));
    EXPECT_TRUE(Page->PanSingle->isVisible());
    EXPECT_FALSE(Page->SelectList()->isVisibleTo(Page->TabSource));
    EXPECT_TRUE(Page->LValues->isVisibleTo(Page->PanSingle));
    EXPECT_TRUE(TabShown(Page->TabOptions));
    EXPECT_TRUE(Page->BApply->isEnabled());

    // A type reading fixed lists of its source offers no list to choose.
    TypeInto(Page->CBSources, QStringLiteral("Close Location"));
    EXPECT_TRUE(Page->PanSingle->isVisibleTo(Page->TabSource));
    EXPECT_FALSE(Page->LValues->isVisibleTo(Page->PanSingle));
    EXPECT_FALSE(Page->CBValues->isVisibleTo(Page->PanSingle));

    // The custom function needs no source: only its options show.
    TypeInto(Page->CBSources, QStringLiteral("y = f"));
    EXPECT_FALSE(TabShown(Page->TabSource));
    EXPECT_TRUE(TabShown(Page->TabOptions));
    // The switch to the options tab comes from a one-shot timer.
    for (int waited = 0; waited < 2000 && Page->PageControl1->currentWidget() != Page->TabOptions; waited += 10)
        QTest::qWait(10);
    EXPECT_EQ(Page->PageControl1->currentWidget(), Page->TabOptions);
    EXPECT_NE(qobject_cast<TCustomFunctionEditor*>(Page->FunctionEditor()), nullptr);

    // Back to several sources.
    TypeInto(Page->CBSources, QStringLiteral("Add"));
    EXPECT_TRUE(TabShown(Page->TabSource));
    EXPECT_FALSE(Page->PanSingle->isVisibleTo(Page->TabSource));
    EXPECT_TRUE(Page->SelectList()->isVisibleTo(Page->TabSource));
    EXPECT_NE(qobject_cast<TPlotFunctionEditor*>(Page->FunctionEditor()), nullptr);
    // Nothing of all this reached the series.
    EXPECT_EQ(Edited->SeriesFunction(), nullptr);
    EXPECT_EQ(Edited->DataSource(), nullptr);
}

TEST_F(FunctionPage, ASourceWithXAndYOffersOneValueListAndNoneClearsIt)
{
    Open();
    TypeInto(Page->CBSources, QStringLiteral("Moving"));
    EXPECT_FALSE(Page->CBValues->isEnabled());
    EXPECT_FALSE(Page->BNone->isEnabled());
    TypeInto(Page->CBSingle, QStringLiteral("Source2"));
    ASSERT_EQ(Page->CBValues->count(), 1);
    EXPECT_EQ(Page->CBValues->itemText(0), QStringLiteral("Y"));
    EXPECT_TRUE(Page->BNone->isEnabled());
    QTest::mouseClick(Page->BNone, Qt::LeftButton);
    EXPECT_EQ(Page->CBSingle->currentIndex(), -1);
    EXPECT_FALSE(Page->CBValues->isEnabled());
    EXPECT_FALSE(Page->BNone->isEnabled());

    // Applied with a source, the series computes from it and the page
    // shows it again when filled anew.
    TypeInto(Page->CBSingle, QStringLiteral("Source1"));
    Page->PageControl1->setCurrentWidget(Page->TabOptions);
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_EQ(Edited->DataSource(), Source1);
    EXPECT_EQ(Edited->MandatoryValues()->ValueSource(), QStringLiteral("Y"));
    EXPECT_NE(qobject_cast<TMovingAverageFunction*>(Edited->SeriesFunction()), nullptr);
    EXPECT_FALSE(Page->BApply->isEnabled());
    Page->Refresh();
    EXPECT_EQ(Page->CBSingle->currentText(), QStringLiteral("Source1"));
    EXPECT_EQ(Page->CBValues->currentText(), QStringLiteral("Y"));
    EXPECT_TRUE(Page->CBSources->currentText().startsWith(QStringLiteral("Moving")));
}

TEST_F(FunctionPage, NothingReachesTheSeriesBeforeApplyThenItFollowsItsSources)
{
    Open();
    TypeInto(Page->CBSources, QStringLiteral("Average"));
    QTest::mouseClick(SelectButton(QStringLiteral(">>")), Qt::LeftButton);
    EXPECT_EQ(Page->SelectList()->ToList()->count(), 2);
    const int paints = Chart.Invalidations;
    EXPECT_EQ(Edited->SeriesFunction(), nullptr);
    EXPECT_EQ(Edited->DataSources().Count(), 0);
    EXPECT_EQ(Edited->Count(), 0);
    EXPECT_EQ(Chart.Invalidations, paints);

    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    auto* average = qobject_cast<TAveragePlotFunction*>(Edited->SeriesFunction());
    ASSERT_NE(average, nullptr);
    EXPECT_EQ(average->Owner(), &Chart); // made as a function for the series is
    EXPECT_TRUE(average->Name().startsWith(QStringLiteral("PlotFunction")));
    ASSERT_EQ(Edited->DataSources().Count(), 2);
    EXPECT_EQ(Edited->DataSources()[0], Source1);
    EXPECT_EQ(Edited->DataSources()[1], Source2);
    ASSERT_EQ(Edited->Count(), 4);
    EXPECT_DOUBLE_EQ(Edited->YValues()->Value(0), 20);
    EXPECT_DOUBLE_EQ(Edited->YValues()->Value(3), 50);
    EXPECT_GT(Chart.Invalidations, paints);

    // The sources change: the series follows.
    Source1->AddXY(4, 70);
    Source2->AddXY(4, 90);
    Source2->RefreshSeries();
    ASSERT_EQ(Edited->Count(), 5);
    EXPECT_DOUBLE_EQ(Edited->YValues()->Value(4), 80);
}

// The Y values of Series, in point order.
std::vector<double> FunctionPageYValuesOf(const TChartSeries& Series)
{
    std::vector<double> Values;
    for (int I = 0; I < Series.Count(); ++I)
        Values.push_back(Series.YValues()->Value(I));
    return Values;
}

// Guards the one source chosen here: the chart file did not keep it, and
// the reopened function no longer followed its source.
TEST_F(FunctionPage, TheOneSourceAppliedIsKeptByTheChartFile)
{
    Open();
    TypeInto(Page->CBSources, QStringLiteral("Moving"));
    TypeInto(Page->CBSingle, QStringLiteral("Source2"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    ASSERT_EQ(Edited->DataSource(), Source2);
    ASSERT_GT(Edited->Count(), 0);
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text" : "binary");
        test::TEditorChart Fresh;
        test::ReopenThroughChartFile(Chart, Fresh, true, Text);
        ASSERT_EQ(Fresh.SeriesCount(), 3);
        TChartSeries* Source = Fresh.Series(1);
        TChartSeries* Average = Fresh.Series(2);
        EXPECT_EQ(Average->DataSource(), Source);
        ASSERT_NE(qobject_cast<TMovingAverageFunction*>(Average->SeriesFunction()), nullptr);
        EXPECT_EQ(FunctionPageYValuesOf(*Average), FunctionPageYValuesOf(*Edited));
        // The reopened source changes: its average follows as the open
        // chart's does.
        const std::vector<double> Before = FunctionPageYValuesOf(*Average);
        Source->YValues()->SetValue(0, 100);
        Source2->YValues()->SetValue(0, 100);
        EXPECT_NE(FunctionPageYValuesOf(*Average), Before);
        EXPECT_EQ(FunctionPageYValuesOf(*Average), FunctionPageYValuesOf(*Edited));
        Source2->YValues()->SetValue(0, 30);
    }
}

// The X and Y values of Series, in point order.
std::vector<std::pair<double, double>> FunctionPagePointsOf(const TChartSeries& Series)
{
    std::vector<std::pair<double, double>> Points;
    for (int I = 0; I < Series.Count(); ++I)
        Points.emplace_back(Series.XValues()->Value(I), Series.YValues()->Value(I));
    return Points;
}

// Guards the source's value chosen under "Values" lost by the chart file:
// the reopened average read its candle's closes instead of its highs.
TEST_F(FunctionPage, TheSourceValueChosenIsKeptByTheChartFile)
{
    auto* candle = new TCandleSeries(&Chart);
    candle->SetName(QStringLiteral("Candle"));
    Chart.AddSeries(candle);
    candle->FillSampleValues(12);
    Open();
    TypeInto(Page->CBSources, QStringLiteral("Moving"));
    TypeInto(Page->CBSingle, QStringLiteral("Candle"));
    TypeInto(Page->CBValues, QStringLiteral("High"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    ASSERT_EQ(Edited->DataSource(), candle);
    ASSERT_EQ(Edited->YValues()->ValueSource(), QStringLiteral("High"));
    const std::vector<std::pair<double, double>> saved = FunctionPagePointsOf(*Edited);
    ASSERT_FALSE(saved.empty());
    ASSERT_NE(FunctionPageYValuesOf(*Edited), FunctionPageYValuesOf(*candle)) << "highs differ from closes";
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text" : "binary");
        test::TEditorChart Fresh;
        test::ReopenThroughChartFile(Chart, Fresh, true, Text);
        ASSERT_EQ(Fresh.SeriesCount(), 4);
        TChartSeries* Average = Fresh.Series(2);
        ASSERT_EQ(Average->DataSource(), Fresh.Series(3));
        EXPECT_EQ(Average->YValues()->ValueSource(), QStringLiteral("High"));
        ASSERT_NE(Average->SeriesFunction(), nullptr);
        Average->SeriesFunction()->ReCalculate();
        EXPECT_EQ(FunctionPagePointsOf(*Average), saved);
    }
}

// Guards a volume pipe's source choice lost by the chart file: the pipe
// publishes no value list, so the reopened pipe forgot that its values are
// the candle's highs and that its X values are the candle's dates.
TEST_F(FunctionPage, APipesSourceValueAndDatesAreKeptByTheChartFile)
{
    auto* candle = new TCandleSeries(&Chart);
    candle->SetName(QStringLiteral("Candle"));
    Chart.AddSeries(candle);
    candle->FillSampleValues(12);
    auto* pipe = new TVolumePipeSeries(&Chart);
    pipe->SetName(QStringLiteral("Pipe"));
    Chart.AddSeries(pipe);
    ASSERT_TRUE(candle->XValues()->DateTime());
    ASSERT_FALSE(pipe->XValues()->DateTime());
    Page = std::make_unique<TPlotFuncEditor>();
    Page->SetTarget(pipe);
    Page->show();
    TypeInto(Page->CBSources, QStringLiteral("Moving"));
    TypeInto(Page->CBSingle, QStringLiteral("Candle"));
    TypeInto(Page->CBValues, QStringLiteral("High"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    ASSERT_EQ(pipe->DataSource(), candle);
    ASSERT_EQ(pipe->YValues()->ValueSource(), QStringLiteral("High"));
    ASSERT_TRUE(pipe->XValues()->DateTime());
    const std::vector<std::pair<double, double>> saved = FunctionPagePointsOf(*pipe);
    ASSERT_FALSE(saved.empty());
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text" : "binary");
        test::TEditorChart Fresh;
        test::ReopenThroughChartFile(Chart, Fresh, true, Text);
        ASSERT_EQ(Fresh.SeriesCount(), 5);
        TChartSeries* Pipe = Fresh.Series(4);
        ASSERT_NE(qobject_cast<TVolumePipeSeries*>(Pipe), nullptr);
        EXPECT_EQ(Pipe->YValues()->ValueSource(), QStringLiteral("High"));
        EXPECT_TRUE(Pipe->XValues()->DateTime());
        EXPECT_EQ(FunctionPagePointsOf(*Pipe), saved);
        ASSERT_NE(Pipe->SeriesFunction(), nullptr);
        Pipe->SeriesFunction()->ReCalculate();
        EXPECT_EQ(FunctionPagePointsOf(*Pipe), saved);
        EXPECT_TRUE(Pipe->XValues()->DateTime());
    }
}

TEST_F(FunctionPage, TheSameTypeKeepsTheSeriesFunctionObject)
{
    Edited->SetDataSource(Source1);
    TPlotFunction* own = CreateNewPlotFunction(Edited, &TAveragePlotFunction::staticMetaObject);
    Open();
    EXPECT_EQ(Page->CBSources->currentText(), QStringLiteral("Average"));
    EXPECT_FALSE(Page->BApply->isEnabled());
    EXPECT_EQ(Page->FunctionEditor()->Target(), own);
    TypeInto(Page->CBSources, QStringLiteral("Add"));
    EXPECT_NE(Page->FunctionEditor()->Target(), own);
    EXPECT_EQ(Edited->SeriesFunction(), own);
    TypeInto(Page->CBSources, QStringLiteral("Average"));
    EXPECT_EQ(Page->FunctionEditor()->Target(), own);
    // "Copy" then removes it on Apply, keeping the source.
    TypeInto(Page->CBSources, QStringLiteral("Copy"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_EQ(Edited->SeriesFunction(), nullptr);
    EXPECT_EQ(Edited->DataSource(), Source1);
}

TEST_F(FunctionPage, LeavingWithPendingChangesAsksAndCancelKeepsTheSeries)
{
    Open();
    TypeInto(Page->CBSources, QStringLiteral("Average"));
    QTest::mouseClick(SelectButton(QStringLiteral(">>")), Qt::LeftButton);
    const QStringList before = test::DumpProperties(Edited);
    Answer = mrCancel;
    EXPECT_FALSE(Page->MayLeave());
    EXPECT_EQ(Messages, QStringList{QStringLiteral("Apply Changes ?")});
    EXPECT_TRUE(Page->BApply->isEnabled());
    EXPECT_EQ(Edited->SeriesFunction(), nullptr);
    EXPECT_EQ(test::DumpProperties(Edited), before);
    Answer = mrNo;
    EXPECT_TRUE(Page->MayLeave());
    EXPECT_EQ(Edited->SeriesFunction(), nullptr);
    EXPECT_EQ(Edited->DataSources().Count(), 0);
    // Closing the page then frees the function it edited: nothing leaks
    // into the chart's owner.
    const int components = Chart.ComponentCount();
    Page.reset();
    EXPECT_EQ(Chart.ComponentCount(), components);
}

TEST_F(FunctionPage, ASourceThatWouldMakeACycleIsRefusedWithTheEnginesError)
{
    Source1->SetDataSource(Edited);
    Open();
    TypeInto(Page->CBSources, QStringLiteral("Average"));
    QListWidget* from = Page->SelectList()->FromList();
    const QList<QListWidgetItem*> found = from->findItems(QStringLiteral("Source1"), Qt::MatchExactly);
    if (found.isEmpty())
        GTEST_SKIP() << "the chart does not offer a series that takes its data from the edited one";
    from->setCurrentItem(found.front());
    QTest::mouseClick(SelectButton(QStringLiteral(">")), Qt::LeftButton);
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_FALSE(Messages.front().isEmpty());
    EXPECT_TRUE(Page->BApply->isEnabled());
    EXPECT_EQ(Edited->SeriesFunction(), nullptr);
    EXPECT_EQ(Edited->DataSources().Count(), 0);
}

TEST_F(FunctionPage, ACustomFunctionNeedsNoSourceAndABadNumberStopsTheApply)
{
    Edited->SetDataSource(Source1);
    Open();
    TypeInto(Page->CBSources, QStringLiteral("y = f"));
    auto* editor = qobject_cast<TCustomFunctionEditor*>(Page->FunctionEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->ENum->text(), QStringLiteral("100"));
    editor->ENum->selectAll();
    QTest::keyClicks(editor->ENum, QStringLiteral("ten"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_EQ(Edited->SeriesFunction(), nullptr);
    EXPECT_EQ(Edited->DataSource(), Source1);
    EXPECT_TRUE(Page->BApply->isEnabled());

    editor->ENum->selectAll();
    QTest::keyClicks(editor->ENum, QStringLiteral("12"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    auto* custom = qobject_cast<TCustomPlotFunction*>(Edited->SeriesFunction());
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->NumPoints(), 12);
    EXPECT_EQ(Edited->DataSource(), nullptr);
    // The program gives the formula; the points then follow the options.
    custom->SetOnCalculate([](TCustomPlotFunction*, double X, double& Y) { Y = 2 * X; });
    ASSERT_EQ(Edited->Count(), 12);
    EXPECT_DOUBLE_EQ(Edited->YValues()->Value(11), 22);
}

TEST_F(FunctionPage, ARangePeriodTooFineForItsSourceIsRefusedBeforeAnythingIsStored)
{
    // Regression: "Every range" with a period of 1e-9 over an X span of 30
    // added a point per empty range (about 3e10) until memory ran out.
    TLineSeries* wide = AddLine("Wide", {});
    wide->AddXY(0, 1);
    wide->AddXY(30, 2);
    Edited->SetDataSource(wide);
    Open();
    TypeInto(Page->CBSources, QStringLiteral("Add"));
    auto* form = qobject_cast<TPlotFunctionEditor*>(Page->FunctionEditor());
    ASSERT_NE(form, nullptr);
    TypeInto(form->CBStyle, QStringLiteral("Every range"));
    test::RetypeText(form->ENum, QStringLiteral("1e-9"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages.front().contains(QStringLiteral("ranges"))) << Messages.front().toStdString();
    EXPECT_EQ(Edited->SeriesFunction(), nullptr);
    EXPECT_EQ(Edited->DataSource(), wide);
    EXPECT_EQ(Edited->Count(), 2);
    EXPECT_TRUE(Page->BApply->isEnabled());

    test::RetypeText(form->ENum, QStringLiteral("0.5"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_EQ(Messages.size(), 1);
    ASSERT_NE(Edited->SeriesFunction(), nullptr);
    EXPECT_EQ(Edited->SeriesFunction()->PeriodStyle(), TPlotFunction::psRange);
    EXPECT_DOUBLE_EQ(Edited->SeriesFunction()->Period(), 0.5);
    EXPECT_EQ(Edited->Count(), 61);
}

TEST_F(FunctionPage, AMovingFunctionOffersNoAllPointsAndARefusedPeriodChangesNothing)
{
    // Regression: "All points" gave a moving function period 0; the user saw
    // "Period must be bigger than zero." while the function kept it.
    Open();
    TypeInto(Page->CBSources, QStringLiteral("Momentum"));
    TypeInto(Page->CBSingle, QStringLiteral("Source1"));
    Page->PageControl1->setCurrentWidget(Page->TabOptions);
    auto* form = qobject_cast<TPlotFunctionEditor*>(Page->FunctionEditor());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->CBStyle->findText(QStringLiteral("All points")), -1);
    EXPECT_EQ(form->ChosenStyle(), TPlotFunctionEditor::StyleNumPoints);
    test::RetypeText(form->ENum, QStringLiteral("2"));
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    TPlotFunction* momentum = Edited->SeriesFunction();
    ASSERT_NE(momentum, nullptr);
    EXPECT_DOUBLE_EQ(momentum->Period(), 2);
    const int count = Edited->Count();
    EXPECT_EQ(count, 3);

    form = qobject_cast<TPlotFunctionEditor*>(Page->FunctionEditor());
    ASSERT_NE(form, nullptr);
    for (const char* typed : {"0", "abc"}) {
        test::RetypeText(form->ENum, QString::fromLatin1(typed));
        QTest::mouseClick(Page->BApply, Qt::LeftButton);
        ASSERT_FALSE(Messages.isEmpty());
        EXPECT_EQ(Messages.last(), QStringLiteral("Period must be bigger than zero.")) << typed;
        EXPECT_EQ(Edited->SeriesFunction(), momentum);
        EXPECT_DOUBLE_EQ(momentum->Period(), 2) << typed;
        EXPECT_EQ(Edited->Count(), count);
    }
    EXPECT_EQ(Messages.size(), 2);
}

TEST_F(FunctionPage, ACustomFunctionRefusesANegativeStepAndTooManyPointsWhole)
{
    // Regression: a negative step passed the check and the apply stored the
    // start before the step was refused; 2147483647 points were taken and
    // computed until memory ran out.
    auto* custom = qobject_cast<TCustomPlotFunction*>(
        CreateNewPlotFunction(Edited, &TCustomPlotFunction::staticMetaObject));
    ASSERT_NE(custom, nullptr);
    Open();
    auto* editor = qobject_cast<TCustomFunctionEditor*>(Page->FunctionEditor());
    ASSERT_NE(editor, nullptr);
    struct TRow {
        const char* Start;
        const char* Step;
        const char* Points;
    } refused[] = {{"5", "-1", "100"}, {"5", "1", "2147483647"}, {"5", "1", "1000001"}, {"5", "1", "-1"}};
    for (const TRow& row : refused) {
        SCOPED_TRACE(row.Step + std::string(" ") + row.Points);
        test::RetypeText(editor->EStart, QString::fromLatin1(row.Start));
        test::RetypeText(editor->EStep, QString::fromLatin1(row.Step));
        test::RetypeText(editor->ENum, QString::fromLatin1(row.Points));
        const qsizetype shown = Messages.size();
        QTest::mouseClick(Page->BApply, Qt::LeftButton);
        EXPECT_EQ(Messages.size(), shown + 1);
        EXPECT_EQ(custom->StartX(), 0);
        EXPECT_EQ(custom->Period(), 1);
        EXPECT_EQ(custom->NumPoints(), 100);
        EXPECT_TRUE(Page->BApply->isEnabled());
    }
    test::RetypeText(editor->EStep, QStringLiteral("2"));
    test::RetypeText(editor->ENum, QStringLiteral("1000000"));
    const qsizetype shown = Messages.size();
    QTest::mouseClick(Page->BApply, Qt::LeftButton);
    EXPECT_EQ(Messages.size(), shown);
    EXPECT_EQ(custom->StartX(), 5);
    EXPECT_EQ(custom->Period(), 2);
    EXPECT_EQ(custom->NumPoints(), 1000000);
}

TEST_F(FunctionPage, ARemovedSourceSeriesLeavesTheLists)
{
    Open();
    EXPECT_EQ(Page->SelectList()->FromList()->count(), 2);
    delete Source2;
    QTest::qWait(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(Page->SelectList()->FromList()->count(), 1);
    EXPECT_EQ(Page->CBSingle->count(), 1);
}

TEST_F(FunctionPage, Screenshots)
{
    Edited->SetDataSource(Source1);
    TPlotFunction* moving = CreateNewPlotFunction(Edited, &TAveragePlotFunction::staticMetaObject);
    moving->SetPeriod(2);
    Open();
    QTest::qWait(20);
    Page->PageControl1->setCurrentWidget(Page->TabSource);
    test::SaveScreenshot(*Page, QStringLiteral("function-page"));
    Page->PageControl1->setCurrentWidget(Page->TabOptions);
    const QImage options = test::SaveScreenshot(*Page, QStringLiteral("function-page-options"));
    EXPECT_FALSE(options.isNull());
    TypeInto(Page->CBSources, QStringLiteral("Moving"));
    TypeInto(Page->CBSingle, QStringLiteral("Source2"));
    Page->PageControl1->setCurrentWidget(Page->TabSource);
    test::SaveScreenshot(*Page, QStringLiteral("function-page-single-source"));
}

} // namespace
} // namespace lp
