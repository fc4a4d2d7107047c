// Tree mode of the chart editor: nodes for tabs, series, axes, titles and
// tools; a node shows its content; the tab sheets go back at the end.

#include "chart/editors/frame/ChartEditForm.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/canvas/PlotConst.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/data/PlotSourceEdit.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/series/SeriesDataSourceTab.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/tools/ToolsGallery.h"
#include "chart/editors/tools/ToolsPage.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTitles.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "chart/extensions/tools/PlotRotateTool.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QCoreApplication>
#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTreeWidget>
#include <QtWidgets/QTreeWidgetItemIterator>

#include <gtest/gtest.h>

namespace lp {
namespace {

// Three series and a tool, in an editor started in tree mode.
class TreeModeTest : public ::testing::Test {
protected:
    test::TEditorSettingsFolder Settings;
    test::TEditorChart Chart;
    TPlotCustomTool* Tool = nullptr;
    std::unique_ptr<TChartEditForm> Form;
    int WidthBefore = 0;

    TreeModeTest()
    {
        for (int i = 0; i < 3; ++i) {
            auto* series = new TLineSeries(&Chart);
            series->SetName(QStringLiteral("Series%1").arg(i + 1));
            series->SetTitle(QStringLiteral("Well %1").arg(i + 1));
            Chart.AddSeries(series);
            series->FillSampleValues(6);
        }
        Tool = new TRotateTool(&Chart);
        Tool->SetParentChart(&Chart);
        WriteEditorRegBoolean(QStringLiteral("TreeMode"), true);
        Form = std::make_unique<TChartEditForm>();
        Form->SetChart(&Chart);
        WidthBefore = Form->width();
        Form->show();
    }
    QTreeWidgetItem* Node(const QStringList& Path) const
    {
        QTreeWidgetItem* node = nullptr;
        for (const QString& text : Path) {
            QTreeWidgetItem* found = nullptr;
            const int count = node ? node->childCount() : Form->Tree->topLevelItemCount();
            for (int i = 0; i < count && !found; ++i) {
                QTreeWidgetItem* child = node ? node->child(i) : Form->Tree->topLevelItem(i);
                if (child->text(0) == text)
                    found = child;
            }
            if (!found)
                return nullptr;
            node = found;
        }
        return node;
    }
    static QStringList Children(const QTreeWidgetItem* Node)
    {
        QStringList texts;
        for (int i = 0; Node && i < Node->childCount(); ++i)
            texts << Node->child(i)->text(0);
        return texts;
    }
    void Select(const QStringList& Path)
    {
        QTreeWidgetItem* node = Node(Path);
        ASSERT_NE(node, nullptr) << Path.join(QLatin1Char('/')).toStdString();
        Form->Tree->setCurrentItem(node);
    }
};

TEST(ChartEditFormNames, ATypeOrSeriesNameWithAnAmpersandShowsAsItIs)
{
    // Guards against the series page's header reading "Point && Figure".
    for (const bool tree : {false, true}) {
        test::TEditorSettingsFolder settings;
        test::TEditorChart chart;
        auto* series = new TPointFigureSeries(&chart);
        series->SetTitle(QStringLiteral("P&L"));
        chart.AddSeries(series);
        series->FillSampleValues(20);
        WriteEditorRegBoolean(QStringLiteral("TreeMode"), tree);
        TChartEditForm form;
        form.SetChart(&chart);
        form.EditSeries = series;
        form.show();
        const QStringList texts = test::ShownTexts(form);
        EXPECT_TRUE(texts.contains(QStringLiteral("Point & Figure: P&L"))) << tree;
        EXPECT_EQ(texts.contains(QStringLiteral("P&L")), tree); // the series' node
        for (const QString& text : texts)
            EXPECT_FALSE(text.contains(QStringLiteral("&&"))) << text.toStdString();
    }
}

TEST_F(TreeModeTest, TheTreeHoldsTabsSeriesAxesTitlesAndTools)
{
    TChartEditForm& form = *Form;
    ASSERT_TRUE(form.InTreeMode());
    EXPECT_FALSE(form.MainPage->isVisible());
    EXPECT_GT(form.width(), WidthBefore);
    QStringList top;
    for (int i = 0; i < form.Tree->topLevelItemCount(); ++i)
        top << form.Tree->topLevelItem(i)->text(0);
    EXPECT_EQ(top, (QStringList{QStringLiteral("Chart"), QStringLiteral("Series"), QStringLiteral("Data"),
                                QStringLiteral("Tools"), QStringLiteral("Export"), QStringLiteral("Print")}));
    EXPECT_EQ(Children(Node({QStringLiteral("Chart")})),
              (QStringList{QStringLiteral("Series"), QStringLiteral("General"), QStringLiteral("Axis"),
                           QStringLiteral("Titles"), QStringLiteral("Legend"), QStringLiteral("Panel"),
                           QStringLiteral("Paging"), QStringLiteral("Walls"), QStringLiteral("3D")}));
    EXPECT_EQ(Children(Node({QStringLiteral("Chart"), QStringLiteral("Series")})),
              (QStringList{QStringLiteral("Well 1"), QStringLiteral("Well 2"), QStringLiteral("Well 3")}));
    EXPECT_EQ(Children(Node({QStringLiteral("Chart"), QStringLiteral("Axis")})),
              (QStringList{QStringLiteral("Left Axis"), QStringLiteral("Right Axis"), QStringLiteral("Top Axis"),
                           QStringLiteral("Bottom Axis"), QStringLiteral("Depth Right"), QStringLiteral("Depth Top")}));
    EXPECT_EQ(Children(Node({QStringLiteral("Chart"), QStringLiteral("Titles")})),
              (QStringList{QStringLiteral("Title"), QStringLiteral("SubTitle"), QStringLiteral("Footer"),
                           QStringLiteral("SubFoot")}));
    EXPECT_EQ(Children(Node({QStringLiteral("Tools")})), QStringList{QStringLiteral("Rotate")});
    // The chart node shows the chart tabs.
    EXPECT_EQ(form.SubPage->parentWidget(), form.TreePanel());
    test::SaveScreenshot(form, QStringLiteral("chart-editor-tree"));
}

TEST_F(TreeModeTest, EachNodeShowsItsContent)
{
    TChartEditForm& form = *Form;
    Select({QStringLiteral("Chart"), QStringLiteral("General")});
    EXPECT_EQ(form.TabGeneral->parentWidget(), form.TreePanel());
    ASSERT_NE(form.PageOf(form.TabGeneral), nullptr);
    EXPECT_TRUE(form.PageOf(form.TabGeneral)->isVisible());
    EXPECT_EQ(form.SubPage->parentWidget(), form.TabChart); // returned
    Select({QStringLiteral("Chart"), QStringLiteral("Axis"), QStringLiteral("Top Axis")});
    auto* axis = qobject_cast<TFormPlotAxis*>(form.PageOf(form.TabAxis));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->Axis(), Chart.TopAxis());
    EXPECT_EQ(form.SubPage->indexOf(form.TabGeneral), 1); // put back in its place
    Select({QStringLiteral("Chart"), QStringLiteral("Titles"), QStringLiteral("Footer")});
    EXPECT_EQ(form.PageOf(form.TabTitle)->Target(), Chart.Foot());
    test::SaveScreenshot(form, QStringLiteral("chart-editor-tree-footer"));
    Select({QStringLiteral("Tools"), QStringLiteral("Rotate")});
    auto* tools = qobject_cast<TFormPlotTools*>(form.PageOf(form.TabTools));
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->CurrentTool(), Tool);
    EXPECT_EQ(form.TabTools->parentWidget(), form.TreePanel());
    Select({QStringLiteral("Chart"), QStringLiteral("Series"), QStringLiteral("Well 2")});
    EXPECT_EQ(form.TheSeries, Chart.Series(1));
    EXPECT_EQ(form.LBSeries->CurrentSeries(), Chart.Series(1));
    EXPECT_EQ(form.TabSeries->parentWidget(), form.TreePanel());
    ASSERT_NE(form.SeriesPage(), nullptr);
    EXPECT_EQ(form.SeriesPage()->Target(), Chart.Series(1));
    test::SaveScreenshot(form, QStringLiteral("chart-editor-tree-series"));
    Select({QStringLiteral("Chart"), QStringLiteral("Series"), QStringLiteral("Well 3")});
    EXPECT_EQ(form.SeriesPage()->Target(), Chart.Series(2));
    Select({QStringLiteral("Data")});
    EXPECT_EQ(form.TabData->parentWidget(), form.TreePanel());
    EXPECT_EQ(form.MainPage->indexOf(form.TabData), -1);
    EXPECT_EQ(form.MainPage->indexOf(form.TabTools), 2);
    EXPECT_EQ(form.MainPage->indexOf(form.TabSeries), 1); // back in its place
}

// At 598 pixels the tree's "Chart" node hid the "Paging", "Walls" and
// "3D" tabs.
TEST_F(TreeModeTest, EveryNodeShowsAllItsControlsAtTheSizeTheWindowOpens)
{
    QStringList problems;
    for (QTreeWidgetItemIterator it(Form->Tree); *it; ++it) {
        Form->Tree->setCurrentItem(*it);
        for (const QString& problem : test::UnreachableControlsOnEveryTab(*Form, *Form->TreePanel()))
            problems.append((*it)->text(0) + QStringLiteral(" > ") + problem);
    }
    EXPECT_EQ(problems.join(QLatin1Char('\n')).toStdString(), "");
}

TEST_F(TreeModeTest, OnlySeriesNodesAreRenamed)
{
    QTreeWidgetItem* series = Node({QStringLiteral("Chart"), QStringLiteral("Series"), QStringLiteral("Well 3")});
    ASSERT_NE(series, nullptr);
    EXPECT_TRUE(series->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(Node({QStringLiteral("Chart"), QStringLiteral("General")})->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(Node({QStringLiteral("Tools"), QStringLiteral("Rotate")})->flags() & Qt::ItemIsEditable);
    series->setText(0, QStringLiteral("Borehole"));
    EXPECT_EQ(Chart.Series(2)->Title(), QStringLiteral("Borehole"));
    // A rename through the list's dialog renames the node.
    InputService() = [](const TInputRequest&) -> std::optional<QString> { return QStringLiteral("Shaft"); };
    Form->LBSeries->ClearSelection();
    Form->LBSeries->SetItemIndex(0);
    Select({QStringLiteral("Chart")});
    QTest::mouseClick(Form->BRenameSeries, Qt::LeftButton);
    ResetInputService();
    EXPECT_EQ(Chart.Series(0)->Title(), QStringLiteral("Shaft"));
    EXPECT_NE(Node({QStringLiteral("Chart"), QStringLiteral("Series"), QStringLiteral("Shaft")}), nullptr);
}

TEST_F(TreeModeTest, ToolsAddedAndDeletedOnTheToolsPageFollowInTheTree)
{
    ToolsGalleryShowService() = [](TPlotToolsGallery& Gallery) {
        Gallery.TabControl1->setCurrentIndex(TPlotToolsGallery::ttOther);
        const QList<QListWidgetItem*> found = Gallery.LBTool->findItems(QStringLiteral("Rotate"), Qt::MatchExactly);
        if (!found.isEmpty())
            Gallery.LBTool->setCurrentItem(found.constFirst());
        return static_cast<int>(mrOk);
    };
    MessageService() = [](const TMessageRequest&) { return static_cast<int>(mrYes); };
    Select({QStringLiteral("Tools")});
    auto* tools = qobject_cast<TFormPlotTools*>(Form->PageOf(Form->TabTools));
    ASSERT_NE(tools, nullptr);
    tools->BAdd->click();
    EXPECT_EQ(Chart.Tools().Count(), 2);
    EXPECT_EQ(Children(Node({QStringLiteral("Tools")})), (QStringList{QStringLiteral("Rotate"), QStringLiteral("Rotate")}));
    tools->BDelete->click();
    EXPECT_EQ(Children(Node({QStringLiteral("Tools")})), QStringList{QStringLiteral("Rotate")});
    ResetMessageService();
    ResetToolsGalleryShowService();
}

TEST_F(TreeModeTest, ASeriesDestroyedElsewhereLeavesTheTree)
{
    Select({QStringLiteral("Chart"), QStringLiteral("Series"), QStringLiteral("Well 2")});
    delete Chart.Series(1);
    EXPECT_EQ(Children(Node({QStringLiteral("Chart"), QStringLiteral("Series")})),
              (QStringList{QStringLiteral("Well 1"), QStringLiteral("Well 3")}));
    Select({QStringLiteral("Chart"), QStringLiteral("Series"), QStringLiteral("Well 3")});
    EXPECT_EQ(Form->SeriesPage()->Target(), Chart.Series(1));
}

TEST_F(TreeModeTest, AddingASeriesPutsTheSeriesTabBackAndShowsTheNodeAgain)
{
    const TAddFromGalleryHook saved = AddFromGalleryHook();
    AddFromGalleryHook() = [this](QWidget*, TCustomAxisPanel*, TChartSeries*) -> TChartSeries* {
        // While the gallery runs the series tab is in its place.
        EXPECT_EQ(Form->MainPage->indexOf(Form->TabSeries), 1);
        return nullptr;
    };
    Select({QStringLiteral("Chart"), QStringLiteral("Series"), QStringLiteral("Well 1")});
    Form->BAddSeries->click();
    AddFromGalleryHook() = saved;
    EXPECT_EQ(Form->TabSeries->parentWidget(), Form->TreePanel());
    EXPECT_EQ(Form->SeriesPage()->Target(), Chart.Series(0));
}

TEST_F(TreeModeTest, TheToolToEditOpensOnItsNode)
{
    Form = std::make_unique<TChartEditForm>();
    Form->SetChart(&Chart);
    Form->EditTool = Tool;
    Form->show();
    ASSERT_NE(Form->Tree->currentItem(), nullptr);
    EXPECT_EQ(Form->Tree->currentItem()->text(0), QStringLiteral("Rotate"));
    auto* tools = qobject_cast<TFormPlotTools*>(Form->PageOf(Form->TabTools));
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->CurrentTool(), Tool);
    EXPECT_EQ(Form->TabTools->parentWidget(), Form->TreePanel());
    EXPECT_EQ(Form->EditTool, nullptr);
}

// Choosing another node hid a page with changes not applied and asked
// nothing. The page in view is asked first, clicking a node showing other
// content: Cancel stays on its node, No drops the changes and goes; another
// series' node shows the same page, which does its own asking.
TEST_F(TreeModeTest, LeavingAPageWithPendingChangesAsksFirst)
{
    QStringList asked;
    int answer = mrCancel;
    MessageService() = [&asked, &answer](const TMessageRequest& Request) {
        asked.append(Request.Text);
        return answer;
    };
    TChartEditForm& form = *Form;
    const QStringList wellNode{QStringLiteral("Chart"), QStringLiteral("Series"), QStringLiteral("Well 1")};
    Select(wellNode);
    auto* seriesPage = qobject_cast<TFormPlotSeries*>(form.SeriesPage());
    ASSERT_NE(seriesPage, nullptr);
    test::ClickTab(seriesPage->PageSeries, seriesPage->TabDataSource);
    // "Function" for a series of its own points: a function page with
    // everything still to apply.
    QComboBox* style = seriesPage->DataSourceTab->CBDataSourcestyle;
    style->setFocus();
    for (int i = 0; i < style->count() && style->currentText() != QStringLiteral("Function"); ++i)
        QTest::keyClick(style, Qt::Key_Down);
    auto* functionPage = qobject_cast<TBaseSourceEditor*>(seriesPage->DataSourceTab->Editor());
    ASSERT_NE(functionPage, nullptr);
    ASSERT_TRUE(functionPage->Pending());

    auto clickNode = [&form, this](const QStringList& Path) {
        QTreeWidgetItem* node = Node(Path);
        ASSERT_NE(node, nullptr);
        QTest::mouseClick(form.Tree->viewport(), Qt::LeftButton, {}, form.Tree->visualItemRect(node).center());
        QCoreApplication::processEvents();
    };
    clickNode({QStringLiteral("Tools")});
    EXPECT_EQ(asked, QStringList{PlotMsg_SureToApply});
    EXPECT_EQ(form.Tree->currentItem(), Node(wellNode));
    EXPECT_EQ(form.Tree->selectedItems(), QList<QTreeWidgetItem*>{Node(wellNode)});
    EXPECT_TRUE(functionPage->isVisible());
    EXPECT_TRUE(functionPage->Pending());

    answer = mrNo;
    clickNode({QStringLiteral("Tools")});
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(form.Tree->currentItem(), Node({QStringLiteral("Tools")}));
    EXPECT_EQ(form.TabTools->parentWidget(), form.TreePanel());
    EXPECT_FALSE(functionPage->isVisible());
    EXPECT_FALSE(functionPage->Pending());
    EXPECT_EQ(Chart.Series(0)->SeriesFunction(), nullptr);
    ResetMessageService();
}

TEST_F(TreeModeTest, TheTabsGoBackAndTheWidthWithoutTheTreeIsKept)
{
    TChartEditForm& form = *Form;
    Select({QStringLiteral("Chart"), QStringLiteral("Legend")});
    // The legend page may have widened the window beyond its first width.
    const int withoutTree = form.width() - form.Tree->width() - form.TreeSplitter->handleWidth();
    EXPECT_GE(withoutTree, WidthBefore);
    const int subTabs = form.SubPage->count();
    form.EndTreeMode();
    EXPECT_FALSE(form.InTreeMode());
    EXPECT_TRUE(form.MainPage->isVisible());
    EXPECT_EQ(form.SubPage->count(), subTabs + 1);
    EXPECT_EQ(form.SubPage->indexOf(form.TabLegend), 4);
    EXPECT_EQ(form.SubPage->tabText(4), QStringLiteral("Legend"));
    EXPECT_EQ(form.MainPage->count(), 6);
    Form.reset();
    EXPECT_EQ(ReadEditorRegInteger(QStringLiteral("Width"), 414), withoutTree);
    EXPECT_GT(ReadEditorRegInteger(QStringLiteral("TreeWidth"), 0), 0);
}

} // namespace
} // namespace lp
