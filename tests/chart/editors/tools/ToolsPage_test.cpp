#include "chart/editors/tools/ToolsPage.h"

#include "chart/editors/ChartEditors.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/tools/ToolsGallery.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/tools/PlotAnnotationTool.h"
#include "chart/extensions/tools/PlotCursorTool.h"
#include "chart/extensions/tools/PlotDataTableTool.h"
#include "chart/extensions/tools/PlotDragMarksTool.h"
#include "chart/extensions/tools/PlotPageNumTool.h"
#include "chart/extensions/tools/PlotRotateTool.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

// Answers the tools gallery: opens a tab, clicks the entry of a
// description and presses a button (nothing clicked: Cancel).
class TToolsGalleryAnswer {
public:
    int Tab = TPlotToolsGallery::ttSeries;
    QString Entry;
    bool Add = true;
    bool DoubleClick = false;
    int Shown = 0;
    QStringList Tabs;
    bool AddEnabledBeforeClick = true;

    TToolsGalleryAnswer()
    {
        ToolsGalleryShowService() = [this](TPlotToolsGallery& Gallery) {
            ++Shown;
            for (int i = 0; i < Gallery.TabControl1->count(); ++i)
                Tabs << Gallery.TabControl1->tabText(i);
            Gallery.show();
            Gallery.TabControl1->setCurrentIndex(Tab);
            AddEnabledBeforeClick = Gallery.BOk->isEnabled();
            const QList<QListWidgetItem*> found = Gallery.LBTool->findItems(Entry, Qt::MatchExactly);
            if (!found.isEmpty()) {
                const QRect rect = Gallery.LBTool->visualItemRect(found.constFirst());
                if (DoubleClick) {
                    QTest::mouseClick(Gallery.LBTool->viewport(), Qt::LeftButton, {}, rect.center());
                    QTest::mouseDClick(Gallery.LBTool->viewport(), Qt::LeftButton, {}, rect.center());
                    return Gallery.result();
                }
                QTest::mouseClick(Gallery.LBTool->viewport(), Qt::LeftButton, {}, rect.center());
            }
            QTest::mouseClick(Add ? Gallery.BOk : Gallery.BCan, Qt::LeftButton);
            return Gallery.result();
        };
    }
    ~TToolsGalleryAnswer() { ResetToolsGalleryShowService(); }
};

// A chart with N tools (cursor, drag marks, rotate, page number ...), all
// owned by Owner, on the tools page.
class ToolsPageTest : public ::testing::Test {
protected:
    TComponent Owner;
    TEditorChart* Chart = test::OwnedChart(Owner);
    TFormPlotTools Page;
    std::vector<TMessageRequest> Questions;
    int Answer = mrYes;

    ToolsPageTest()
    {
        Chart->SetName(QStringLiteral("Chart1"));
        MessageService() = [this](const TMessageRequest& Request) {
            Questions.push_back(Request);
            return Answer;
        };
    }
    ~ToolsPageTest() override { ResetMessageService(); }

    template <class TTool>
    TTool* AddTool(const char* Name)
    {
        auto* tool = new TTool(&Owner);
        tool->SetName(QString::fromLatin1(Name));
        tool->SetParentChart(Chart);
        return tool;
    }
    void AddFourTools()
    {
        AddTool<TCursorTool>("Cursor1");
        AddTool<TDragMarksTool>("Marks1");
        AddTool<TRotateTool>("Rotate1");
        AddTool<TPageNumTool>("Pages1");
    }
    // At the size the page opens as a window of its own.
    void ShowPage()
    {
        Page.SetTarget(Chart);
        Page.show();
    }
    QStringList Listed() const
    {
        QStringList texts;
        for (int i = 0; i < Page.LBTools->count(); ++i)
            texts << Page.LBTools->item(i)->text();
        return texts;
    }
    QStringList ChartToolNames() const
    {
        QStringList names;
        for (TPlotCustomTool* tool : Chart->Tools())
            names << tool->Name();
        return names;
    }
    void SelectRow(int Row)
    {
        QTest::mouseClick(Page.LBTools->viewport(), Qt::LeftButton, {},
                          Page.LBTools->visualItemRect(Page.LBTools->item(Row)).center());
    }
};

TEST_F(ToolsPageTest, AChartWithoutToolsDisablesEverythingButAdd)
{
    ShowPage();
    EXPECT_EQ(Page.LBTools->count(), 0);
    EXPECT_TRUE(Page.BAdd->isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{Page.CBActive, Page.BDelete, Page.BMoveUp, Page.BMoveDown})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(Page.ToolEditor(), nullptr);
    EXPECT_FALSE(Page.CBShowInEditor->isVisible());
    EXPECT_FALSE(Page.PBottom->isVisible());
    test::SaveScreenshot(Page, QStringLiteral("tools-page-empty"));
}

TEST_F(ToolsPageTest, ListsDescriptionsSelectsTheFirstAndSwitchesActive)
{
    AddFourTools();
    ShowPage();
    EXPECT_EQ(Listed(), (QStringList{QStringLiteral("Cursor"), QStringLiteral("Drag Marks"), QStringLiteral("Rotate"),
                                     QStringLiteral("Page Number")}));
    EXPECT_EQ(Page.CurrentTool(), Chart->Tools()[0]);
    EXPECT_TRUE(Page.CBActive->isChecked());
    EXPECT_FALSE(Page.BMoveUp->isEnabled());
    EXPECT_TRUE(Page.BMoveDown->isEnabled());
    const int paints = Chart->Invalidations;
    test::ClickNearLeftEdge(Page.CBActive);
    EXPECT_FALSE(Chart->Tools()[0]->Active());
    EXPECT_GT(Chart->Invalidations, paints);
    SelectRow(3);
    EXPECT_EQ(Page.CurrentTool(), Chart->Tools()[3]);
    ASSERT_NE(Page.ToolEditor(), nullptr) << "the tool's page is missing";
    EXPECT_TRUE(Page.CBActive->isChecked());
    EXPECT_TRUE(Page.BMoveUp->isEnabled());
    EXPECT_FALSE(Page.BMoveDown->isEnabled());
    test::SaveScreenshot(Page, QStringLiteral("tools-page"));
}

// The tool's own page comes from the registry by its editor class name
// (with the tool as target); without a registered page the panel is empty.
TEST_F(ToolsPageTest, TheToolsOwnPageIsMadeFromTheRegistry)
{
    AddFourTools();
    ShowPage();
    ASSERT_NE(Page.ToolEditor(), nullptr);
    EXPECT_EQ(Page.ToolEditor()->metaObject()->className(),
              QStringLiteral("lp::") + Chart->Tools()[0]->GetEditorClassName());
    EXPECT_EQ(Page.ToolEditor()->Target(), Chart->Tools()[0]);
    EXPECT_EQ(Page.ToolEditorArea->widget(), Page.ToolEditor());
    EXPECT_TRUE(Page.PanelToolEditor->isAncestorOf(Page.ToolEditor()));
    SelectRow(1);
    ASSERT_NE(Page.ToolEditor(), nullptr);
    EXPECT_EQ(Page.ToolEditor()->Target(), Chart->Tools()[1]);
    EXPECT_EQ(Page.PanelToolEditor->findChildren<TEditorPage*>().size(), 1u);

    // A tool whose page is not registered leaves the panel empty.
    test::TEditorPageRegistration noPage(Chart->Tools()[2]->GetEditorClassName(), nullptr);
    SelectRow(2);
    EXPECT_EQ(Page.PanelToolEditor->findChildren<TEditorPage*>().size(), 0u);
    EXPECT_EQ(Page.ToolEditor(), nullptr);
}

// A wide tool page squeezed the list to about 70 pixels ("Annota",
// "Data Ta") and hid its own tabs from "Callout" on.
TEST_F(ToolsPageTest, AWideToolPageLeavesTheListItsWidthAndShowsAllItsTabs)
{
    AddTool<TAnnotationTool>("Annotation1");
    AddTool<TDataTableTool>("Table1");
    ShowPage();
    for (int row : {0, 1}) {
        SelectRow(row);
        ASSERT_NE(Page.ToolEditor(), nullptr);
        const QListWidgetItem* entry = Page.LBTools->item(row);
        EXPECT_GE(Page.LBTools->viewport()->width(),
                  Page.LBTools->fontMetrics().horizontalAdvance(entry->text()) + Page.LBTools->iconSize().width())
            << entry->text().toStdString();
        EXPECT_EQ(test::UnreachableControlsOnEveryTab(Page, *Page.ToolEditor()).join(QLatin1Char('\n')).toStdString(),
                  "");
    }
}

// A tool page wider than the screen allows scrolls in its panel; the list
// keeps its width and the page's window fits the screen.
TEST_F(ToolsPageTest, APageWiderThanTheScreenScrollsBesideTheList)
{
    class TWidePage : public TEditorPage {
    public:
        explicit TWidePage(QWidget* Parent) : TEditorPage(Parent)
        {
            auto* layout = new QHBoxLayout(this);
            auto* wide = new QLabel(QStringLiteral("wide"), this);
            wide->setMinimumWidth(4000);
            layout->addWidget(wide);
        }
    };
    test::TEditorPageRegistration wide(QStringLiteral("TRotateToolEditor"),
                                       [](QWidget* Parent) { return new TWidePage(Parent); });
    AddTool<TRotateTool>("Rotate1");
    ShowPage();
    ASSERT_NE(Page.ToolEditor(), nullptr);
    test::SettleLayouts();
    EXPECT_LE(Page.width(), Page.screen()->availableGeometry().width());
    EXPECT_TRUE(Page.ToolEditorArea->horizontalScrollBar()->isVisible());
    EXPECT_GE(Page.LBTools->width(), Page.LBTools->minimumWidth());
    EXPECT_GE(Page.LBTools->viewport()->width(),
              Page.LBTools->fontMetrics().horizontalAdvance(QStringLiteral("Rotate")) +
                  Page.LBTools->iconSize().width());
    EXPECT_EQ(test::UnreachableControls(Page).join(QLatin1Char('\n')).toStdString(), "");
}

// A page that may not be left keeps its tool selected.
TEST_F(ToolsPageTest, AnEditorThatMayNotBeLeftKeepsItsTool)
{
    class TStubbornPage : public TEditorPage {
    public:
        using TEditorPage::TEditorPage;
        bool MayLeave() override { return false; }
    };
    AddFourTools();
    Chart->Tools()[1]->SetShowInEditor(false); // hidden: list rows differ from tool positions
    const auto stubborn = [](QWidget* Parent) -> TEditorPage* { return new TStubbornPage(Parent); };
    test::TEditorPageRegistration pageNumber(QStringLiteral("TPageNumToolEditor"), stubborn);
    test::TEditorPageRegistration annotation(QStringLiteral("TAnnotationToolEdit"), stubborn);
    ShowPage();
    ASSERT_EQ(Page.LBTools->count(), 3);
    SelectRow(2);
    const TPlotCustomTool* edited = Page.CurrentTool();
    ASSERT_NE(Page.ToolEditor(), nullptr);
    SelectRow(0);
    EXPECT_EQ(Page.CurrentTool(), edited);
    EXPECT_EQ(Page.ToolEditor()->Target(), edited);
}

TEST_F(ToolsPageTest, HiddenToolsAreListedOnlyWhileDesigning)
{
    AddFourTools();
    Chart->Tools()[2]->SetShowInEditor(false);
    ShowPage();
    EXPECT_EQ(Listed(), (QStringList{QStringLiteral("Cursor"), QStringLiteral("Drag Marks"),
                                     QStringLiteral("Page Number")}));
    Owner.SetDesigning(true);
    Page.Refresh();
    EXPECT_EQ(Page.LBTools->count(), 4);
    EXPECT_TRUE(Page.PBottom->isVisible());
    EXPECT_EQ(Page.PBottom->text(), QStringLiteral("Cursor1"));
    SelectRow(2);
    EXPECT_TRUE(Page.CBShowInEditor->isVisible());
    EXPECT_FALSE(Page.CBShowInEditor->isChecked());
    test::ClickNearLeftEdge(Page.CBShowInEditor);
    EXPECT_TRUE(Chart->Tools()[2]->ShowInEditor());
    Owner.SetDesigning(false);
}

// Moving exchanges the listed tools themselves, also across a hidden tool
// that lies between them in the chart's list.
TEST_F(ToolsPageTest, MovingExchangesTheListedToolsAcrossAHiddenOne)
{
    AddFourTools();
    Chart->Tools()[1]->SetShowInEditor(false);
    ShowPage();
    ASSERT_EQ(Listed(), (QStringList{QStringLiteral("Cursor"), QStringLiteral("Rotate"), QStringLiteral("Page Number")}));
    const int paints = Chart->Invalidations;
    QTest::mouseClick(Page.BMoveDown, Qt::LeftButton);
    EXPECT_EQ(Listed(), (QStringList{QStringLiteral("Rotate"), QStringLiteral("Cursor"), QStringLiteral("Page Number")}));
    EXPECT_EQ(ChartToolNames(), (QStringList{QStringLiteral("Rotate1"), QStringLiteral("Marks1"),
                                             QStringLiteral("Cursor1"), QStringLiteral("Pages1")}));
    EXPECT_GT(Chart->Invalidations, paints);
    EXPECT_EQ(Page.CurrentTool()->Name(), QStringLiteral("Cursor1"));
    // The owner's order follows.
    EXPECT_LT(Owner.ComponentIndex(Chart->Tools()[0]), Owner.ComponentIndex(Chart->Tools()[2]));
    QTest::mouseClick(Page.BMoveUp, Qt::LeftButton);
    EXPECT_EQ(ChartToolNames(), (QStringList{QStringLiteral("Cursor1"), QStringLiteral("Marks1"),
                                             QStringLiteral("Rotate1"), QStringLiteral("Pages1")}));
    EXPECT_FALSE(Page.BMoveUp->isEnabled());
}

TEST_F(ToolsPageTest, DeletingSelectsByTheRuleAndNoKeepsTheTool)
{
    AddFourTools();
    ShowPage();
    // Deleting entry 4 of four selects the third.
    SelectRow(3);
    QTest::mouseClick(Page.BDelete, Qt::LeftButton);
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions.back().Text, QStringLiteral("Delete Page Number ?"));
    EXPECT_EQ(Page.LBTools->currentRow(), 2);
    EXPECT_EQ(Chart->Tools().Count(), 3);
    EXPECT_EQ(Owner.FindComponent(QStringLiteral("Pages1")), nullptr);
    // Deleting entry 2 of three, then entry 1 of two, selects the last.
    SelectRow(1);
    QTest::mouseClick(Page.BDelete, Qt::LeftButton);
    EXPECT_EQ(Listed(), (QStringList{QStringLiteral("Cursor"), QStringLiteral("Rotate")}));
    EXPECT_EQ(Page.LBTools->currentRow(), 1);
    SelectRow(0);
    QTest::mouseClick(Page.BDelete, Qt::LeftButton);
    EXPECT_EQ(Listed(), QStringList{QStringLiteral("Rotate")});
    EXPECT_EQ(Page.LBTools->currentRow(), 0);
    // No keeps it.
    Answer = mrNo;
    QTest::mouseClick(Page.BDelete, Qt::LeftButton);
    EXPECT_EQ(Chart->Tools().Count(), 1);
    Answer = mrYes;
    QTest::mouseClick(Page.BDelete, Qt::LeftButton);
    EXPECT_EQ(Chart->Tools().Count(), 0);
    EXPECT_FALSE(Page.BDelete->isEnabled());
    EXPECT_FALSE(Page.CBActive->isEnabled());
}

TEST_F(ToolsPageTest, AddingNamesTheToolAfterItsOwnersComponentsAndTellsTheHost)
{
    TToolsGalleryAnswer gallery;
    gallery.Tab = TPlotToolsGallery::ttOther;
    gallery.Entry = QStringLiteral("Rotate");
    std::vector<TPlotCustomTool*> added;
    Page.OnAddTool = [&added](TPlotCustomTool* Tool) { added.push_back(Tool); };
    ShowPage();
    const int paints = Chart->Invalidations;
    QTest::mouseClick(Page.BAdd, Qt::LeftButton);
    ASSERT_EQ(Chart->Tools().Count(), 1);
    TPlotCustomTool* tool = Chart->Tools()[0];
    EXPECT_TRUE(qobject_cast<TRotateTool*>(tool));
    EXPECT_EQ(tool->Name(), QStringLiteral("ChartTool1"));
    // No tool was the chart's: the new one belongs to the chart's owner.
    EXPECT_EQ(tool->Owner(), &Owner);
    EXPECT_EQ(added, std::vector<TPlotCustomTool*>{tool});
    EXPECT_GT(Chart->Invalidations, paints);
    EXPECT_EQ(Page.CurrentTool(), tool);
    EXPECT_EQ(gallery.Tabs, (QStringList{QStringLiteral("Series"), QStringLiteral("Axis"), QStringLiteral("Other")}));
    EXPECT_FALSE(gallery.AddEnabledBeforeClick);
    // A double click adds too; the next name is free.
    gallery.DoubleClick = true;
    QTest::mouseClick(Page.BAdd, Qt::LeftButton);
    ASSERT_EQ(Chart->Tools().Count(), 2);
    EXPECT_EQ(Chart->Tools()[1]->Name(), QStringLiteral("ChartTool2"));
    EXPECT_EQ(Page.LBTools->currentRow(), 1);
    // Cancel adds nothing.
    gallery.DoubleClick = false;
    gallery.Add = false;
    QTest::mouseClick(Page.BAdd, Qt::LeftButton);
    EXPECT_EQ(Chart->Tools().Count(), 2);
}

TEST_F(ToolsPageTest, ToolsOfTheChartMakeTheChartOwnTheNext)
{
    auto* own = new TCursorTool(Chart);
    own->SetParentChart(Chart);
    TToolsGalleryAnswer gallery;
    gallery.Entry = QStringLiteral("Cursor");
    ShowPage();
    QTest::mouseClick(Page.BAdd, Qt::LeftButton);
    ASSERT_EQ(Chart->Tools().Count(), 2);
    EXPECT_EQ(Chart->Tools()[1]->Owner(), Chart);
}

TEST(ToolsGallery, TabsSortByBaseClassAndAddWaitsForAClick)
{
    TPlotToolsGallery gallery;
    gallery.FormShow();
    gallery.show();
    auto texts = [&gallery] {
        QStringList listed;
        for (int i = 0; i < gallery.LBTool->count(); ++i)
            listed << gallery.LBTool->item(i)->text();
        return listed;
    };
    int total = 0;
    for (int tab : {TPlotToolsGallery::ttSeries, TPlotToolsGallery::ttAxis, TPlotToolsGallery::ttOther}) {
        gallery.TabControl1->setCurrentIndex(tab);
        const QStringList listed = texts();
        QStringList sorted = listed;
        sorted.sort(Qt::CaseInsensitive);
        EXPECT_EQ(listed, sorted) << tab;
        EXPECT_FALSE(gallery.BOk->isEnabled());
        EXPECT_FALSE(listed.isEmpty()) << tab;
        total += listed.size();
        for (int i = 0; i < gallery.LBTool->count(); ++i) {
            const auto* toolClass = static_cast<const QMetaObject*>(
                gallery.LBTool->item(i)->data(Qt::UserRole).value<const void*>());
            EXPECT_TRUE(ToolBelongsToTab(*toolClass, tab));
        }
        if (tab == TPlotToolsGallery::ttSeries) {
            EXPECT_TRUE(texts().contains(QStringLiteral("Cursor")));
        }
        if (tab == TPlotToolsGallery::ttOther) {
            EXPECT_TRUE(texts().contains(QStringLiteral("Rotate")));
        }
    }
    EXPECT_EQ(total, PlotToolTypes()->Count());
    QTest::mouseClick(gallery.LBTool->viewport(), Qt::LeftButton, {},
                      gallery.LBTool->visualItemRect(gallery.LBTool->item(0)).center());
    EXPECT_TRUE(gallery.BOk->isEnabled());
    ASSERT_NE(gallery.SelectedTool(), nullptr);
    test::SaveScreenshot(gallery, QStringLiteral("tools-gallery"));
}

} // namespace
} // namespace lp
