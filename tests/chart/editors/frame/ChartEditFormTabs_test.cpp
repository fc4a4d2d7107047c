// The full chart editor on a chart with three series: every chart tab,
// the series list's actions, groups, and the window's own data, export
// and print tabs.

#include "chart/editors/frame/ChartEditForm.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/data/ChartGrid.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/tools/ToolsPage.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotTitles.h"
#include "chart/engine/PlotTools.h"
#include "chart/export/PlotExportForm.h"
#include "chart/export/PlotPreview.h"
#include "chart/extensions/tools/PlotAnnotationTool.h"
#include "chart/extensions/tools/PlotRotateTool.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Printer.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QImage>
#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtGui/QAction>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

// Three line series of five points and a rotate tool, in a shown editor.
class FullEditorTest : public ::testing::Test {
protected:
    test::TEditorSettingsFolder Settings;
    TEditorChart Chart;
    std::unique_ptr<TChartEditForm> Form;

    FullEditorTest()
    {
        Chart.SetName(QStringLiteral("Chart1"));
        for (int i = 0; i < 3; ++i) {
            auto* series = new TLineSeries(&Chart);
            series->SetName(QStringLiteral("Series%1").arg(i + 1));
            Chart.AddSeries(series);
            for (int j = 0; j < 5; ++j)
                series->Add(j * (i + 1));
        }
        auto* tool = new TRotateTool(&Chart);
        tool->SetName(QStringLiteral("ChartTool1"));
        tool->SetParentChart(&Chart);
    }
    TChartEditForm& Open(unsigned Options = DefaultChartEditorOptions)
    {
        Form = std::make_unique<TChartEditForm>();
        Form->Options = Options;
        Form->SetChart(&Chart);
        Form->show();
        return *Form;
    }
    static QString FileNameOf(const QString& Caption)
    {
        return Caption.toLower().remove(QLatin1Char('&')).replace(QLatin1Char(' '), QLatin1Char('-'));
    }
};

TEST_F(FullEditorTest, TheTitlesMemoSitsRightBelowItsLabel)
{
    // Guards against a stray stretching row above the memo, which put it 110
    // pixels below its "Text:" label.
    TChartEditForm& form = Open();
    for (QWidget* tab : {form.TabGeneral, form.TabAxis, form.TabTitle}) {
        form.SubPage->setCurrentWidget(tab);
        ASSERT_NE(form.PageOf(tab), nullptr);
    }
    QApplication::processEvents();
    TEditorPage* page = form.PageOf(form.TabTitle);
    auto* label = page->findChild<QLabel*>(QStringLiteral("Label2"));
    auto* memo = page->findChild<QWidget*>(QStringLiteral("MText"));
    ASSERT_TRUE(label && memo);
    const int gap = memo->mapTo(page, QPoint()).y() - label->mapTo(page, QPoint(0, label->height())).y();
    EXPECT_LT(gap, 12);
    test::SaveScreenshot(form, QStringLiteral("chart-editor-titles"));
}

// Each chart tab makes its page once, for its own target; a screenshot of
// the editor on every tab.
TEST_F(FullEditorTest, EveryTabMakesItsPageOnceForItsTarget)
{
    TChartEditForm& form = Open();
    test::SaveScreenshot(form, QStringLiteral("chart-editor-series-list"));
    const std::pair<QWidget*, QObject*> chartTabs[] = {
        {form.TabGeneral, &Chart},        {form.TabAxis, Chart.LeftAxis()}, {form.TabTitle, Chart.Title()},
        {form.TabLegend, Chart.Legend()}, {form.TabPanel, &Chart},         {form.TabPaging, &Chart},
        {form.TabWalls, Chart.LeftWall()}, {form.Tab3D, &Chart}};
    for (const auto& entry : chartTabs) {
        QWidget* tab = entry.first;
        ASSERT_TRUE(form.TabOffered(tab)) << tab->objectName().toStdString();
        form.SubPage->setCurrentWidget(tab);
        TEditorPage* page = form.PageOf(tab);
        ASSERT_NE(page, nullptr) << tab->objectName().toStdString();
        EXPECT_EQ(page->Target(), entry.second) << tab->objectName().toStdString();
        EXPECT_TRUE(page->isVisible());
        test::SaveScreenshot(form, QStringLiteral("chart-editor-") +
                                       FileNameOf(form.SubPage->tabText(form.SubPage->indexOf(tab))));
    }
    for (const auto& entry : chartTabs) {
        form.SubPage->setCurrentWidget(entry.first);
        EXPECT_EQ(entry.first->findChildren<TEditorPage*>(QString(), Qt::FindDirectChildrenOnly).size(), 1u);
    }
    form.LBSeries->SetItemIndex(1);
    for (QWidget* tab : {form.TabSeries, form.TabData, form.TabTools, form.TabExport, form.TabPrint}) {
        ASSERT_TRUE(form.TabOffered(tab)) << tab->objectName().toStdString();
        form.MainPage->setCurrentWidget(tab);
        // The Tools tab is photographed with its tool's page.
        if (tab == form.TabTools) {
            auto* tools = qobject_cast<TFormPlotTools*>(form.PageOf(tab));
            ASSERT_NE(tools, nullptr);
            ASSERT_NE(tools->ToolEditor(), nullptr) << "the tool's page is missing";
        }
        test::SaveScreenshot(form, QStringLiteral("chart-editor-") +
                                       FileNameOf(form.MainPage->tabText(form.MainPage->indexOf(tab))));
    }
    form.MainPage->setCurrentWidget(form.TabChart);
    form.MainPage->setCurrentWidget(form.TabExport);
    form.MainPage->setCurrentWidget(form.TabPrint);
    EXPECT_EQ(form.TabExport->findChildren<TPlotExportForm*>().size(), 1u);
    EXPECT_EQ(form.TabPrint->findChildren<TChartPreview*>().size(), 1u);
    auto* tools = qobject_cast<TFormPlotTools*>(form.PageOf(form.TabTools));
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->LBTools->count(), 1);
    ASSERT_NE(form.SeriesPage(), nullptr);
    EXPECT_EQ(form.SeriesPage()->Target(), Chart.Series(1));
}

// At 414 x 347 the Axis tab showed its limits and "LinLog options" as
// empty frames, cut its labels and lost the "Ticks", "Minor" and
// "Position" tabs; Series > Format's "Line Mode" box was empty.
TEST_F(FullEditorTest, EveryControlOfEveryTabIsInReachAtTheSizeTheWindowOpens)
{
    Form = std::make_unique<TChartEditForm>();
    Form->SetChart(&Chart);
    Form->show();
    QStringList problems;
    const auto visit = [&](QTabWidget* Pages, QWidget* Tab) {
        Pages->setCurrentWidget(Tab);
        const QString caption = Pages->tabText(Pages->indexOf(Tab));
        for (const QString& problem : test::UnreachableControlsOnEveryTab(*Form, *Tab))
            problems.append(caption + QStringLiteral(" > ") + problem);
    };
    for (int i = 0; i < Form->SubPage->count(); ++i)
        visit(Form->SubPage, Form->SubPage->widget(i));
    for (int i = 0; i < Form->MainPage->count(); ++i)
        if (Form->MainPage->widget(i) != Form->TabChart)
            visit(Form->MainPage, Form->MainPage->widget(i));
    EXPECT_EQ(problems.join(QLatin1Char('\n')).toStdString(), "");
}

// A page made after the window opened widens it; the window stays on the
// screen.
TEST_F(FullEditorTest, AWindowWidenedByAPageStaysOnTheScreen)
{
    auto* annotation = new TAnnotationTool(&Chart);
    annotation->SetParentChart(&Chart);
    TChartEditForm& form = Open();
    test::SettleLayouts();
    const int opened = form.width();
    form.MainPage->setCurrentWidget(form.TabTools);
    auto* tools = qobject_cast<TFormPlotTools*>(form.PageOf(form.TabTools));
    ASSERT_NE(tools, nullptr);
    tools->SelectTool(annotation);
    test::SettleLayouts();
    EXPECT_GT(form.width(), opened);
    EXPECT_TRUE(form.screen()->availableGeometry().contains(form.frameGeometry()))
        << form.frameGeometry().x() << "," << form.frameGeometry().y() << " " << form.frameGeometry().width() << "x"
        << form.frameGeometry().height();
    EXPECT_EQ(test::UnreachableControls(form).join(QLatin1Char('\n')).toStdString(), "");
}

// A series made from the functions gallery opens on its data source.
TEST_F(FullEditorTest, AFunctionSeriesAddedOpensOnItsDataSource)
{
    const TAddFromGalleryHook savedHook = AddFromGalleryHook();
    AddFromGalleryHook() = [this](QWidget*, TCustomAxisPanel*, TChartSeries*) -> TChartSeries* {
        auto* series = new TLineSeries(&Chart);
        series->SetName(QStringLiteral("Sum1"));
        Chart.AddSeries(series);
        CreateNewPlotFunction(series, &TAddPlotFunction::staticMetaObject);
        return series;
    };
    TChartEditForm& form = Open();
    QTest::mouseClick(form.BAddSeries, Qt::LeftButton);
    AddFromGalleryHook() = savedHook;
    ASSERT_EQ(Chart.SeriesCount(), 4);
    EXPECT_EQ(form.TheSeries, Chart.Series(3));
    EXPECT_EQ(form.MainPage->currentWidget(), form.TabSeries);
    ASSERT_NE(form.SeriesPage(), nullptr);
    EXPECT_EQ(form.SeriesPage()->Target(), Chart.Series(3));
    EXPECT_EQ(form.SeriesPage()->property("ActiveTab").toString(), QStringLiteral("Data Source"));
}

TEST_F(FullEditorTest, StyleFlagsDisableDeleteCloneAndChange)
{
    Chart.Series(0)->SetStyle(SeriesFlagLocked);
    Chart.Series(1)->SetStyle(SeriesFlagNoChangeType);
    Chart.Series(2)->SetStyle(SeriesFlagNoDelete | SeriesFlagNoClone);
    TChartEditForm& form = Open();
    auto states = [&form](int Row) {
        form.LBSeries->ClearSelection();
        form.LBSeries->SetItemIndex(Row);
        form.RefreshButtons();
        return std::vector<bool>{form.BDeleteSeries->isEnabled(), form.BCloneSeries->isEnabled(),
                                 form.BChangeTypeSeries->isEnabled(), form.BRenameSeries->isEnabled()};
    };
    EXPECT_EQ(states(0), (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(states(1), (std::vector<bool>{true, true, false, true}));
    EXPECT_FALSE(form.LBSeries->EnableChangeType);
    EXPECT_EQ(states(2), (std::vector<bool>{false, false, true, true}));
}

TEST_F(FullEditorTest, CancelledAddAndRenameChangeNothing)
{
    const TAddFromGalleryHook savedHook = AddFromGalleryHook();
    int galleries = 0;
    AddFromGalleryHook() = [&galleries](QWidget*, TCustomAxisPanel*, TChartSeries*) -> TChartSeries* {
        ++galleries;
        return nullptr;
    };
    InputService() = [](const TInputRequest&) -> std::optional<QString> { return std::nullopt; };
    TChartEditForm& form = Open();
    const QStringList before = test::DumpProperties(&Chart);
    QTest::mouseClick(form.BAddSeries, Qt::LeftButton);
    EXPECT_EQ(galleries, 1);
    EXPECT_EQ(Chart.SeriesCount(), 3);
    form.LBSeries->SetItemIndex(1);
    QTest::mouseClick(form.BRenameSeries, Qt::LeftButton);
    EXPECT_EQ(Chart.Series(1)->Title(), QString());
    EXPECT_EQ(test::DumpProperties(&Chart), before);
    // Names and titles: the rename button says which.
    form.CBNames->setChecked(true);
    EXPECT_EQ(form.BRenameSeries->text(), QStringLiteral("&Name..."));
    form.CBNames->setChecked(false);
    EXPECT_EQ(form.BRenameSeries->text(), QStringLiteral("&Title..."));
    ResetInputService();
    AddFromGalleryHook() = savedHook;
}

TEST_F(FullEditorTest, TheDataTabSwitchesTheGridAndItsPopupEditsPoints)
{
    Chart.Series(0)->SetValueColor(1, 0x0000FF);
    TChartEditForm& form = Open();
    form.MainPage->setCurrentWidget(form.TabData);
    TChartGrid* grid = form.ChartGrid1;
    EXPECT_EQ(grid->Chart(), &Chart);
    // The first series has colours of its own: the colour column shows.
    EXPECT_TRUE(grid->ShowColors());
    EXPECT_TRUE(form.SBGridCol->isChecked());
    EXPECT_TRUE(form.SBGridText->isChecked());
    EXPECT_FALSE(form.SBGridX->isChecked());
    QTest::mouseClick(form.SBGridText, Qt::LeftButton);
    EXPECT_FALSE(grid->ShowLabels());
    QTest::mouseClick(form.SBGridX, Qt::LeftButton);
    EXPECT_EQ(grid->ShowXValues(), cgsYes);
    EXPECT_TRUE(form.SBGridX->isChecked());
    QTest::mouseClick(form.SBGridX, Qt::LeftButton);
    EXPECT_EQ(grid->ShowXValues(), cgsNo);

    // The pop-up on the colour cell of the recoloured point.
    grid->setCurrentIndex(grid->GridModel().index(1, 0));
    form.PrepareDataPopup();
    EXPECT_TRUE(form.PopupEditColor->isVisible());
    EXPECT_TRUE(form.PopupDefaultColor->isVisible());
    EXPECT_TRUE(form.PopupMakeNull->isVisible());
    form.PopupMakeNull->trigger();
    EXPECT_TRUE(Chart.Series(0)->IsNull(1));
    form.PrepareDataPopup();
    EXPECT_FALSE(form.PopupMakeNull->isVisible());
    form.PopupDefaultColor->trigger();
    EXPECT_EQ(Chart.Series(0)->GetStoredValueColor(1), clDefault);
    form.PrepareDataPopup();
    EXPECT_FALSE(form.PopupDefaultColor->isVisible());
    // Off the colour column only the row and font entries show.
    grid->setCurrentIndex(grid->GridModel().index(1, 1));
    form.PrepareDataPopup();
    EXPECT_FALSE(form.PopupEditColor->isVisible());
    EXPECT_FALSE(form.PopupMakeNull->isVisible());
    EXPECT_TRUE(form.PopupAppendRow->isVisible());
    form.PopupAppendRow->trigger();
    EXPECT_EQ(Chart.Series(0)->Count(), 6);
    form.PopupDeleteRow->trigger();
    EXPECT_EQ(Chart.Series(0)->Count(), 5);
    // The text font sets the row height from the font.
    CommonDialogService().ExecuteFont = [](TFontDialogRequest& Request) {
        Request.Font.setPointSize(20);
        return true;
    };
    form.PopupTextFont->trigger();
    ResetCommonDialogService();
    EXPECT_EQ(grid->font().pointSize(), 20);
    EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), QFontMetrics(grid->font()).height() + 2);
}

TEST_F(FullEditorTest, ExportAndPrintWorkEmbedded)
{
    Form = std::make_unique<TChartEditForm>();
    Form->HiddenTabs = 1u << cetExportData;
    Form->SetChart(&Chart);
    Form->show();
    TChartEditForm& form = *Form;
    form.MainPage->setCurrentWidget(form.TabExport);
    TPlotExportForm* exportForm = form.ExportForm();
    ASSERT_NE(exportForm, nullptr);
    EXPECT_EQ(exportForm->ExportPanel, &Chart);
    EXPECT_FALSE(exportForm->BClose->isVisible());
    EXPECT_FALSE(exportForm->PageControl1->isTabVisible(exportForm->PageControl1->indexOf(exportForm->TabData)));
    EXPECT_TRUE(exportForm->isVisible());
    form.MainPage->setCurrentWidget(form.TabPrint);
    TChartPreview* preview = form.PreviewPage();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->PlotPreviewPanel1->Panel(), &Chart);
    EXPECT_FALSE(preview->GBMargins->isVisible());
    EXPECT_FALSE(preview->PanelMargins->isVisible());
    EXPECT_FALSE(preview->PanelClose->isVisible());
    EXPECT_TRUE(preview->BPrint->isVisibleTo(preview));
    form.MainPage->setCurrentWidget(form.TabChart);
    form.MainPage->setCurrentWidget(form.TabPrint);
    EXPECT_EQ(form.PreviewPage(), preview);

    // Both do their work from inside the editor: a picture saved, the chart
    // printed (into a file where there is no printer).
    QTemporaryDir dir;
    exportForm->AskSaveFileName = [&dir](TExportSaveRequest& Request) {
        Request.FileName = dir.filePath(QStringLiteral("chart.png"));
        Request.FilterIndex = 3;
        return true;
    };
    form.MainPage->setCurrentWidget(form.TabExport);
    exportForm->LBFormat->setCurrentRow(2); // PNG
    exportForm->BSave->click();
    EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("chart.png"))).isNull());
    form.MainPage->setCurrentWidget(form.TabPrint);
    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    const QString oldOutput = Printer().OutputFileName();
    Printer().SetOutputFileName(pdf);
    preview->AskPdfFileName = [&pdf](QWidget*) { return pdf; };
    preview->BPrint->click();
    Printer().SetOutputFileName(oldOutput);
    EXPECT_TRUE(QFile::exists(pdf));
}

// Escape in the embedded export dialog or print preview hid it and left
// its tab empty: it is the window's Escape and closes the editor.
TEST_F(FullEditorTest, EscapeInTheExportAndPrintTabsClosesTheWindow)
{
    for (const bool print : {false, true}) {
        TChartEditForm& form = Open();
        test::ClickTab(form.MainPage, print ? form.TabPrint : form.TabExport);
        QDialog* embedded = print ? static_cast<QDialog*>(form.PreviewPage()) : form.ExportForm();
        ASSERT_NE(embedded, nullptr);
        QWidget* field = test::FirstFieldOf(*embedded);
        ASSERT_NE(field, nullptr);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible()) << print;
        EXPECT_TRUE(embedded->isVisibleTo(&form)) << print;
    }
}

TEST_F(FullEditorTest, GroupsTickTheirSeriesAndTakeDraggedSeries)
{
    TSeriesGroup* first = Chart.SeriesList().AddGroup(QStringLiteral("First"));
    first->Series().Add(Chart.Series(0));
    first->Series().Add(Chart.Series(1));
    TSeriesGroup* second = Chart.SeriesList().AddGroup(QStringLiteral("Second"));
    Chart.Series(1)->SetActive(false);
    TChartEditForm& form = Open(DefaultChartEditorOptions | ceShowGroups);
    ASSERT_TRUE(form.PanelGroups->isVisible());
    ASSERT_EQ(form.Groups->count(), 3);
    EXPECT_EQ(form.Groups->item(0)->text(), QStringLiteral("(all)"));
    EXPECT_EQ(form.Groups->item(1)->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(form.Groups->item(2)->checkState(), Qt::Checked);
    // A click on a group lists its series.
    QTest::mouseClick(form.Groups->viewport(), Qt::LeftButton, {},
                      form.Groups->visualItemRect(form.Groups->item(1)).center());
    EXPECT_EQ(form.LBSeries->Count(), 2);
    EXPECT_TRUE(form.BRenameGroup->isEnabled());
    // Its tick switches them all.
    form.Groups->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(Chart.Series(0)->Active());
    EXPECT_FALSE(Chart.Series(1)->Active());
    form.Groups->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(Chart.Series(0)->Active() && Chart.Series(1)->Active());
    // A series dragged onto the second group moves there.
    form.LBSeries->SetItemIndex(0);
    const QPoint start = form.LBSeries->visualRect(form.LBSeries->Model().index(0)).center();
    const QRect target = form.Groups->visualItemRect(form.Groups->item(2));
    const QPoint drop = form.LBSeries->viewport()->mapFromGlobal(
        form.Groups->viewport()->mapToGlobal(target.center()));
    QTest::mousePress(form.LBSeries->viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(form.LBSeries->viewport(), drop);
    QTest::mouseRelease(form.LBSeries->viewport(), Qt::LeftButton, {}, drop);
    EXPECT_EQ(second->Series().IndexOf(Chart.Series(0)), 0);
    EXPECT_EQ(first->Series().IndexOf(Chart.Series(0)), -1);
    EXPECT_EQ(form.LBSeries->Count(), 1);
    // Names asked with their captions; a cancelled name changes nothing.
    std::vector<TInputRequest> asked;
    std::optional<QString> answer = QStringLiteral("Third");
    InputService() = [&](const TInputRequest& Request) {
        asked.push_back(Request);
        return answer;
    };
    QTest::mouseClick(form.BAddGroup, Qt::LeftButton);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Caption, QStringLiteral("Add new group"));
    EXPECT_EQ(asked[0].Prompt, QStringLiteral("Group name:"));
    EXPECT_EQ(Chart.SeriesList().Groups().Count(), 3);
    EXPECT_EQ(form.Groups->count(), 4);
    answer = std::nullopt;
    QTest::mouseClick(form.BRenameGroup, Qt::LeftButton);
    EXPECT_EQ(asked.back().Caption, QStringLiteral("Change group name"));
    EXPECT_EQ(Chart.SeriesList().Groups().Items(2)->Name(), QStringLiteral("Third"));
    answer = QStringLiteral("Renamed");
    QTest::mouseClick(form.BRenameGroup, Qt::LeftButton);
    EXPECT_EQ(Chart.SeriesList().Groups().Items(2)->Name(), QStringLiteral("Renamed"));
    form.Groups->setCurrentRow(3);
    QTest::mouseClick(form.BDeleteGroup, Qt::LeftButton);
    EXPECT_EQ(Chart.SeriesList().Groups().Count(), 2);
    ResetInputService();
    test::SaveScreenshot(form, QStringLiteral("chart-editor-groups"));
}

TEST_F(FullEditorTest, TheToolToEditOpensTheToolsTab)
{
    auto* second = new TRotateTool(&Chart);
    second->SetParentChart(&Chart);
    Form = std::make_unique<TChartEditForm>();
    Form->SetChart(&Chart);
    Form->EditTool = second;
    Form->show();
    EXPECT_EQ(Form->MainPage->currentWidget(), Form->TabTools);
    auto* tools = qobject_cast<TFormPlotTools*>(Form->PageOf(Form->TabTools));
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->CurrentTool(), second);
    EXPECT_EQ(Form->EditTool, nullptr);
}

TEST_F(FullEditorTest, EditChartOpensTheFullEditorModally)
{
    bool checked = false;
    QTimer::singleShot(0, [this, &checked] {
        auto* form = qobject_cast<TChartEditForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->Chart(), &Chart);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Editing Chart1"));
        EXPECT_TRUE(form->MainPage->isVisible());
        EXPECT_EQ(form->LBSeries->Count(), 3);
        checked = true;
        form->BClose->click();
    });
    EditChart(&Chart);
    EXPECT_TRUE(checked);
    EditChart(nullptr); // nothing to edit: nothing opens
}

} // namespace
} // namespace lp
