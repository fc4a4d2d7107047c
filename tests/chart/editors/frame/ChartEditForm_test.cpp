#include "chart/editors/frame/ChartEditForm.h"

#include "chart/editors/ChartEditors.h"
#include "chart/editors/EditorPageRegistry.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/functions/FunctionPage.h"
#include "chart/editors/series/CustomSeriesEditor.h"
#include "chart/editors/series/SeriesDataSourceTab.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/editors/tools/RotateToolPage.h"
#include "chart/editors/tools/SeriesAnimationToolPage.h"
#include "chart/editors/tools/ToolsPage.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTitles.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"
#include "chart/extensions/tools/PlotRotateTool.h"
#include "chart/extensions/tools/PlotSeriesAnimation.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Registry.h"

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace lp {
namespace {

using test::TEditorChart;

class ChartEditFormTest : public ::testing::Test {
protected:
    test::TEditorSettingsFolder Settings;
    TEditorChart Chart;

    void AddSeries(int Count)
    {
        for (int i = 0; i < Count; ++i) {
            auto* series = new TLineSeries(&Chart);
            series->SetName(QStringLiteral("Series%1").arg(i + 1));
            Chart.AddSeries(series);
        }
    }
    static bool Stored(const QString& Name)
    {
        TRegistry registry;
        return registry.OpenKeyReadOnly(QStringLiteral("\\") + EditorRegKey) && registry.ValueExists(Name);
    }
    static QRect Screen() { return QGuiApplication::primaryScreen()->geometry(); }
};

TEST_F(ChartEditFormTest, StartsAtItsDefaultSizeWithTheDefaultOptions)
{
    TChartEditForm form;
    EXPECT_EQ(form.width(), 414 * form.logicalDpiY() / 96);
    EXPECT_EQ(form.height(), 347 * form.logicalDpiY() / 96);
    EXPECT_EQ(form.Options, 0x037Fu);
    EXPECT_EQ(form.HiddenTabs, 0u);
    EXPECT_EQ(form.StartPage, -1);
    EXPECT_FALSE(form.MainPage->isEnabled()); // no chart yet
    EXPECT_EQ(form.MainPage->currentWidget(), form.TabChart);
    EXPECT_EQ(form.SubPage->currentWidget(), form.TabSeriesList);
    EXPECT_EQ(form.ButtonHelp->text(), QStringLiteral("&Help..."));
    EXPECT_EQ(form.BClose->text(), QStringLiteral("Close"));
}

TEST_F(ChartEditFormTest, ATallerCaptionButtonAddsItsExtraHeight)
{
    const auto saved = CaptionButtonHeightMetric();
    CaptionButtonHeightMetric() = [] { return 24; };
    TChartEditForm form;
    CaptionButtonHeightMetric() = saved;
    EXPECT_EQ(form.height(), 347 * form.logicalDpiY() / 96 + 6);
}

TEST_F(ChartEditFormTest, StoredSizesBelowAHundredBecomeAHundred)
{
    WriteEditorRegInteger(QStringLiteral("Width"), 50);
    WriteEditorRegInteger(QStringLiteral("Height"), 20);
    TChartEditForm form;
    form.SetChart(&Chart);
    EXPECT_EQ(form.width(), 100);
    EXPECT_EQ(form.height(), 100);
}

// A stored size too small for the window's pages gave empty frames and cut
// labels: shown, the window is as large as its pages need.
TEST_F(ChartEditFormTest, AStoredSizeTooSmallForThePagesOpensAtTheirSize)
{
    WriteEditorRegInteger(QStringLiteral("Width"), 100);
    WriteEditorRegInteger(QStringLiteral("Height"), 100);
    AddSeries(2);
    TChartEditForm form;
    form.SetChart(&Chart);
    form.show();
    form.SubPage->setCurrentWidget(form.TabAxis);
    test::SettleLayouts();
    EXPECT_GE(form.width(), form.minimumSizeHint().width());
    EXPECT_GE(form.height(), form.minimumSizeHint().height());
    EXPECT_EQ(test::UnreachableControls(form).join(QLatin1Char('\n')).toStdString(), "");
}

TEST_F(ChartEditFormTest, APlaceBeyondTheScreenPutsTheRightEdgeAtTheScreenEdge)
{
    WriteEditorRegInteger(QStringLiteral("Left"), Screen().width() + 500);
    WriteEditorRegInteger(QStringLiteral("Top"), -40);
    TChartEditForm form;
    form.SetChart(&Chart);
    EXPECT_EQ(form.x(), Screen().width() - form.width());
    EXPECT_EQ(form.y(), 0);
}

// A window wider than the screen was pulled to a negative Left.
TEST_F(ChartEditFormTest, AWindowWiderThanTheScreenStaysAtTheScreenOrigin)
{
    WriteEditorRegInteger(QStringLiteral("Left"), Screen().width() + 10);
    WriteEditorRegInteger(QStringLiteral("Top"), Screen().height() + 10);
    WriteEditorRegInteger(QStringLiteral("Width"), Screen().width() + 300);
    WriteEditorRegInteger(QStringLiteral("Height"), Screen().height() + 300);
    TChartEditForm form;
    form.SetChart(&Chart);
    EXPECT_EQ(form.x(), 0);
    EXPECT_EQ(form.y(), 0);
}

TEST_F(ChartEditFormTest, AnUnresizedWindowWritesNoSizeButItsPlace)
{
    {
        TChartEditForm form;
        form.SetChart(&Chart);
        form.show();
    }
    EXPECT_TRUE(Stored(QStringLiteral("Left")));
    EXPECT_TRUE(Stored(QStringLiteral("Top")));
    EXPECT_FALSE(Stored(QStringLiteral("Width")));
    EXPECT_FALSE(Stored(QStringLiteral("Height")));
    {
        TChartEditForm form;
        form.SetChart(&Chart);
        form.show();
        form.resize(500, 400);
    }
    EXPECT_EQ(ReadEditorRegInteger(QStringLiteral("Width"), 0), 500);
    EXPECT_EQ(ReadEditorRegInteger(QStringLiteral("Height"), 0), 400);
}

TEST_F(ChartEditFormTest, WithoutRememberingNothingIsReadOrWritten)
{
    WriteEditorRegBoolean(QStringLiteral("RememberPosition"), false);
    WriteEditorRegBoolean(QStringLiteral("RememberSize"), false);
    WriteEditorRegInteger(QStringLiteral("Width"), 600);
    {
        TChartEditForm form;
        form.SetChart(&Chart);
        EXPECT_EQ(form.width(), 414 * form.logicalDpiY() / 96);
        form.resize(480, 300);
    }
    EXPECT_FALSE(Stored(QStringLiteral("Left")));
    EXPECT_EQ(ReadEditorRegInteger(QStringLiteral("Width"), 0), 600);
}

TEST_F(ChartEditFormTest, ThreeSeriesAreListedWithTheirButtons)
{
    AddSeries(3);
    Chart.SetName(QStringLiteral("Chart1"));
    TChartEditForm form;
    form.SetChart(&Chart);
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Editing Chart1"));
    EXPECT_TRUE(form.MainPage->isEnabled());
    EXPECT_EQ(form.LBSeries->Count(), 3);
    EXPECT_EQ(form.LBSeries->ItemIndex(), 0);
    EXPECT_TRUE(form.BDeleteSeries->isEnabled());
    EXPECT_TRUE(form.BRenameSeries->isEnabled());
    EXPECT_TRUE(form.BCloneSeries->isEnabled());
    EXPECT_FALSE(form.BMoveUP->isEnabled());
    EXPECT_TRUE(form.BMoveDown->isEnabled());
    EXPECT_FALSE(form.CBNames->isVisible()); // not a chart being designed
    EXPECT_FALSE(form.PanelGroups->isVisible());
    // Tabs whose pages are registered are offered.
    EXPECT_TRUE(form.TabOffered(form.TabGeneral));
    EXPECT_TRUE(form.TabOffered(form.TabSeries)); // the series page is registered
    EXPECT_TRUE(form.TabOffered(form.TabSeriesList));

    form.BMoveDown->click();
    EXPECT_EQ(Chart.Series(1)->Name(), QStringLiteral("Series1"));
    EXPECT_TRUE(form.BMoveUP->isEnabled());
    form.BCloneSeries->click();
    EXPECT_EQ(Chart.SeriesCount(), 4);
    test::SaveScreenshot(form, QStringLiteral("chart-editor-three-series"));
}

TEST_F(ChartEditFormTest, AChartClosesAfterItsMACDSeriesWasMovedDown)
{
    // A line, a MACD series of it, a third line, owned by their chart.
    auto closing = std::make_unique<TEditorChart>();
    TEditorChart* chart = closing.get();
    auto* line = new TLineSeries(chart);
    chart->AddSeries(line);
    for (int i = 0; i < 60; ++i)
        line->AddXY(i, 50 + (i * 37) % 23);
    auto* macd = new TLineSeries(chart);
    chart->AddSeries(macd);
    macd->SetFunction(new TMACDFunction(chart));
    macd->SetDataSource(line);
    auto* third = new TLineSeries(chart);
    chart->AddSeries(third);
    third->FillSampleValues(10);
    ASSERT_EQ(chart->SeriesCount(), 5); // with the MACD's signal line and histogram

    // The editor lists the three; Move Down on the MACD row.
    std::vector<QPointer<TChartSeries>> series;
    for (int i = 0; i < chart->SeriesCount(); ++i)
        series.emplace_back(chart->Series(i));
    {
        TChartEditForm form;
        form.SetChart(chart);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        ASSERT_EQ(form.LBSeries->Count(), 3);
        const QRect row = form.LBSeries->visualRect(form.LBSeries->Model().index(1));
        QTest::mouseClick(form.LBSeries->viewport(), Qt::LeftButton, {}, row.center());
        ASSERT_EQ(form.LBSeries->CurrentSeries(), macd);
        ASSERT_TRUE(form.BMoveDown->isEnabled());
        QTest::mouseClick(form.BMoveDown, Qt::LeftButton);
        EXPECT_EQ(form.LBSeries->CurrentSeries(), macd);
        EXPECT_EQ(form.LBSeries->ItemIndex(), 2);
        EXPECT_EQ(chart->Series(1), third);
        QTest::mouseClick(form.BClose, Qt::LeftButton);
    }
    // The chart behind its own lines in the chart's list: closing frees
    // every series once.
    EXPECT_EQ(chart->SeriesList().IndexOf(macd), 4);
    closing.reset();
    for (const QPointer<TChartSeries>& each : series)
        EXPECT_TRUE(each.isNull());
}

TEST_F(ChartEditFormTest, AnEmptyChartOffersOnlyAdd)
{
    TChartEditForm form;
    form.SetChart(&Chart);
    form.show();
    EXPECT_TRUE(form.BAddSeries->isEnabled());
    for (QWidget* button : {static_cast<QWidget*>(form.BDeleteSeries), static_cast<QWidget*>(form.BRenameSeries),
                            static_cast<QWidget*>(form.BCloneSeries), static_cast<QWidget*>(form.BChangeTypeSeries),
                            static_cast<QWidget*>(form.BMoveUP), static_cast<QWidget*>(form.BMoveDown)})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    test::SaveScreenshot(form, QStringLiteral("chart-editor-empty"));
}

TEST_F(ChartEditFormTest, HelpRunsTheApplicationsHookAndCloseCancels)
{
    int context = 0;
    ChartEditorHelpHook() = [&context](QWidget*, int HelpContext) { context = HelpContext; };
    TChartEditForm form;
    form.SetChart(&Chart);
    form.show();
    form.ButtonHelp->click();
    ChartEditorHelpHook() = nullptr;
    EXPECT_EQ(context, 726);
    form.BClose->click();
    EXPECT_EQ(form.result(), static_cast<int>(mrCancel));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ChartEditFormTest, HooksRunOnShowAndOptionsHideMoveButtons)
{
    std::vector<QWidget*> tabs;
    ChartEditorHooks().push_back([&tabs](TChartEditForm*, QWidget* Tab) { tabs.push_back(Tab); });
    AddSeries(2);
    TChartEditForm form;
    form.Options = DefaultChartEditorOptions & ~ceAllowMoveSeries;
    form.SetChart(&Chart);
    form.show();
    ChartEditorHooks().clear();
    ASSERT_FALSE(tabs.empty());
    EXPECT_EQ(tabs.front(), nullptr);
    EXPECT_FALSE(form.BMoveUP->isVisible());
    EXPECT_FALSE(form.LBSeries->EnableDragSeries);
}

// A page standing in for the pages later families register: it records
// its target and the options its host gave it, and refuses to be left
// while Refuse is set.
class TStandInPage : public TEditorPage {
public:
    using TEditorPage::TEditorPage;
    static inline int Made = 0;
    static inline bool Refuse = false;
    static inline int Asked = 0;
    bool MayLeave() override
    {
        ++Asked;
        return !Refuse;
    }
};

// Registers the stand-in page under a class name while alive.
class TStandInRegistration : public test::TEditorPageRegistration {
public:
    explicit TStandInRegistration(const QString& ClassName)
        : TEditorPageRegistration(ClassName, [](QWidget* Parent) {
              ++TStandInPage::Made;
              return new TStandInPage(Parent);
          })
    {
        TStandInPage::Made = 0;
        TStandInPage::Refuse = false;
        TStandInPage::Asked = 0;
    }
};

TEST_F(ChartEditFormTest, ARegisteredPageIsMadeOnItsTabsFirstActivationForItsTarget)
{
    TStandInRegistration general(QStringLiteral("TFormPlotGeneral"));
    TStandInRegistration titles(QStringLiteral("TFormPlotTitle"));
    AddSeries(1);
    TChartEditForm form;
    form.SetChart(&Chart);
    form.show();
    EXPECT_TRUE(form.TabOffered(form.TabGeneral));
    EXPECT_TRUE(form.TabOffered(form.TabTitle));
    EXPECT_EQ(TStandInPage::Made, 0);
    form.SubPage->setCurrentWidget(form.TabGeneral);
    ASSERT_NE(form.PageOf(form.TabGeneral), nullptr);
    EXPECT_EQ(form.PageOf(form.TabGeneral)->Target(), &Chart);
    EXPECT_TRUE(form.PageOf(form.TabGeneral)->isVisible());
    form.SubPage->setCurrentWidget(form.TabTitle);
    EXPECT_EQ(form.PageOf(form.TabTitle)->Target(), Chart.Title());
    form.SubPage->setCurrentWidget(form.TabGeneral);
    EXPECT_EQ(TStandInPage::Made, 2); // made once per tab
}

TEST_F(ChartEditFormTest, HiddenTabsAndTheStartPage)
{
    TStandInRegistration general(QStringLiteral("TFormPlotGeneral"));
    TStandInRegistration legend(QStringLiteral("TFormPlotLegend"));
    TChartEditForm form;
    form.HiddenTabs = 1u << cetGeneral;
    form.StartPage = cetTitles; // no page: the next shown tab after it
    form.SetChart(&Chart);
    form.show();
    EXPECT_FALSE(form.TabOffered(form.TabGeneral));
    EXPECT_EQ(form.SubPage->currentWidget(), form.TabTitle); // the titles page is registered
}

TEST_F(ChartEditFormTest, TheGraphicEditorShowsOnlyTheSeriesPage)
{
    auto series = std::make_unique<TStandInRegistration>(QStringLiteral("TFormPlotSeries"));
    AddSeries(2);
    bool checked = false;
    QTimer::singleShot(0, [this, &checked] {
        auto* form = qobject_cast<TChartEditForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Graphic editor"));
        EXPECT_FALSE(form->MainPage->isVisible());
        EXPECT_FALSE(form->ButtonHelp->isVisible());
        TEditorPage* page = form->SeriesPage();
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(page->isVisible());
        EXPECT_EQ(page->Target(), Chart.Series(1));
        EXPECT_EQ(page->parentWidget(), form);
        EXPECT_TRUE(page->property("GraphicEditor").toBool());
        checked = true;
        form->BClose->click();
    });
    ShowSeriesEditor(Chart.Series(1));
    EXPECT_TRUE(checked);

    // The editors' start-up fills the entry point with the series page
    // and empties it at shutdown.
    series.reset();
    FinalizeChartEditors();
    EXPECT_FALSE(ChartEditorEntryPoints().ShowSeriesEditor);
    InitializeChartEditors();
    EXPECT_TRUE(ChartEditorEntryPoints().ShowSeriesEditor);
}

// The Graphic editor closed whatever its page said: Close, Escape and the
// close box ask it, and only its agreement closes the window.
TEST_F(ChartEditFormTest, TheGraphicEditorClosesOnlyWhenItsPageAgrees)
{
    TStandInRegistration series(QStringLiteral("TFormPlotSeries"));
    AddSeries(1);
    std::vector<bool> stayed;
    bool closed = false;
    QTimer::singleShot(0, [&stayed, &closed] {
        auto* form = qobject_cast<TChartEditForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        TStandInPage::Refuse = true;
        QTest::mouseClick(form->BClose, Qt::LeftButton);
        stayed.push_back(form->isVisible());
        QTest::keyClick(form->SeriesPage(), Qt::Key_Escape);
        stayed.push_back(form->isVisible());
        test::ClickCloseBox(*form);
        stayed.push_back(form->isVisible());
        TStandInPage::Refuse = false;
        test::ClickCloseBox(*form);
        closed = !form->isVisible();
    });
    ShowSeriesEditor(Chart.Series(0));
    EXPECT_EQ(stayed, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(closed);
    EXPECT_EQ(TStandInPage::Asked, 4);
}

// Clicks the tab of Tabs whose page holds Control.
void ClickTabHolding(QTabWidget* Tabs, QWidget* Control)
{
    for (int i = 0; i < Tabs->count(); ++i)
        if (Tabs->widget(i)->isAncestorOf(Control))
            test::ClickTab(Tabs, Tabs->widget(i));
}

// The embedded pages of Window shown now.
std::vector<QDialog*> ShownPagesOf(QDialog& Window)
{
    std::vector<QDialog*> shown;
    for (QDialog* page : test::EmbeddedDialogs(Window))
        if (page != &Window && page->isVisible())
            shown.push_back(page);
    return shown;
}

// The shown pages that Escape hid (by class name).
std::string PagesHidden(const std::vector<QDialog*>& Shown, QDialog& Window)
{
    std::string hidden;
    for (QDialog* page : Shown)
        if (!page->isVisibleTo(&Window))
            hidden += std::string(page->metaObject()->className()) + " ";
    return hidden;
}

// Escape in a field of the Graphic editor's pages hid the page and left
// its tab empty, the window still open. Now it closes the window, keeping
// what was set; opened again, the window shows the page as set.
TEST_F(ChartEditFormTest, EscapeInTheGraphicEditorsPagesClosesItKeepingWhatWasSet)
{
    AddSeries(1);
    auto* line = qobject_cast<TLineSeries*>(Chart.Series(0));
    line->FillSampleValues(6);
    struct TRow {
        const char* Name;
        // Sets something on the page as a user does; returns the field.
        std::function<QWidget*(TFormPlotSeries&, TCustomSeriesEditor&)> Edit;
        std::function<bool()> Kept;
    };
    const TRow rows[] = {
        {"line page",
         [](TFormPlotSeries&, TCustomSeriesEditor& Editor) -> QWidget* {
             test::ClickNearLeftEdge(Editor.CBStairs);
             return Editor.CBStairs;
         },
         [line] { return line->Stairs(); }},
        {"point page",
         [](TFormPlotSeries& Page, TCustomSeriesEditor& Editor) -> QWidget* {
             auto* pointer = qobject_cast<TSeriesPointerEditor*>(Editor.PointerEditor.data());
             if (!pointer)
                 return nullptr;
             ClickTabHolding(Page.PageSeries, pointer);
             test::ClickNearLeftEdge(pointer->CBDrawPoint);
             test::TypeIntoSpinBox(pointer->UDPointHorizSize, QStringLiteral("9"));
             return pointer->UDPointHorizSize;
         },
         [line] { return line->Pointer()->Visible() && line->Pointer()->HorizSize() == 9; }},
    };
    for (const TRow& row : rows) {
        bool closed = false;
        std::string hidden = "not run";
        QTimer::singleShot(0, [&row, &closed, &hidden] {
            auto* form = qobject_cast<TChartEditForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            auto* page = qobject_cast<TFormPlotSeries*>(form->SeriesPage());
            auto* editor = page ? qobject_cast<TCustomSeriesEditor*>(page->SeriesEditor()) : nullptr;
            QWidget* field = editor ? row.Edit(*page, *editor) : nullptr;
            if (!field) {
                form->reject();
                return;
            }
            const std::vector<QDialog*> shown = ShownPagesOf(*form);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Escape);
            closed = !form->isVisible();
            hidden = PagesHidden(shown, *form);
            if (!closed)
                form->reject();
        });
        ShowSeriesEditor(line);
        EXPECT_TRUE(closed) << row.Name;
        EXPECT_EQ(hidden, "") << row.Name;
        EXPECT_TRUE(row.Kept()) << row.Name;
    }

    // Opened again at the size it opens, the line page shows what was set.
    QTimer::singleShot(0, [line] {
        auto* form = qobject_cast<TChartEditForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        auto* page = qobject_cast<TFormPlotSeries*>(form->SeriesPage());
        auto* editor = page ? qobject_cast<TCustomSeriesEditor*>(page->SeriesEditor()) : nullptr;
        EXPECT_TRUE(editor && editor->isVisible());
        EXPECT_TRUE(editor && editor->CBStairs->isChecked());
        EXPECT_EQ(page ? page->Target() : nullptr, line);
        test::SaveScreenshot(*form, QStringLiteral("page-after-escape"));
        form->BClose->click();
    });
    ShowSeriesEditor(line);
}

// The Marks tab's inner tabs did not fit the Graphic editor: "Shadow"
// started 18 pixels before the window's right edge without scroll
// buttons, and the Marks > Gradient page was cut at its right and bottom.
TEST_F(ChartEditFormTest, TheGraphicEditorShowsEveryControlAtTheSizeItOpens)
{
    AddSeries(1);
    Chart.Series(0)->FillSampleValues(8);
    QStringList problems;
    bool checked = false;
    QTimer::singleShot(0, [&problems, &checked] {
        auto* form = qobject_cast<TChartEditForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        TEditorPage* page = form->SeriesPage();
        ASSERT_NE(page, nullptr);
        test::SaveScreenshot(*form, QStringLiteral("graphic-editor-chart"));
        page->setProperty("ActiveTab", QStringLiteral("Marks"));
        test::SaveScreenshot(*form, QStringLiteral("graphic-editor-chart-marks"));
        problems = test::UnreachableControlsOnEveryTab(*form, *page);
        checked = true;
        form->BClose->click();
    });
    ShowSeriesEditor(Chart.Series(0));
    ASSERT_TRUE(checked);
    EXPECT_EQ(problems.join(QLatin1Char('\n')).toStdString(), "");
}

TEST_F(ChartEditFormTest, TheGraphicEditorNeedsTheSeriesPage)
{
    AddSeries(1);
    {
        // Without a series page nothing opens (and nothing blocks).
        test::TEditorPageRegistration noSeriesPage(QStringLiteral("TFormPlotSeries"), nullptr);
        ShowSeriesEditor(Chart.Series(0));
    }
    EXPECT_TRUE(IsEditorPageRegistered(QStringLiteral("TFormPlotSeries")));
}

// A chart whose series "Sum" an addition computes from "Source", with a
// rotate tool and a series animation tool. The full editor opens on it in
// tabs or tree mode; every question it asks is recorded and answered with
// Answer.
struct ChartEditorClosing : ::testing::Test {
    test::TEditorSettingsFolder Settings;
    TEditorChart Chart;
    TLineSeries* Source = nullptr;
    TLineSeries* Sum = nullptr;
    TRotateTool* Rotate = nullptr;
    TSeriesAnimationTool* Animation = nullptr;
    std::unique_ptr<TChartEditForm> Form;
    QStringList Asked;
    int Answer = mrCancel;

    ChartEditorClosing()
    {
        Source = new TLineSeries(&Chart);
        Source->SetName(QStringLiteral("Source"));
        Chart.AddSeries(Source);
        Source->FillSampleValues(8);
        Sum = new TLineSeries(&Chart);
        Sum->SetName(QStringLiteral("Sum"));
        Chart.AddSeries(Sum);
        CreateNewPlotFunction(Sum, &TAddPlotFunction::staticMetaObject);
        Sum->SetDataSource(Source);
        Rotate = new TRotateTool(&Chart);
        Rotate->SetParentChart(&Chart);
        Animation = new TSeriesAnimationTool(&Chart);
        Animation->SetParentChart(&Chart);
        Animation->SetSeries(Source);
        Animation->SetSteps(4);
        Animation->SetLoop(TSeriesAnimationTool::salCircular);
        MessageService() = [this](const TMessageRequest& Request) {
            Asked.append(Request.Text);
            return Answer;
        };
    }
    ~ChartEditorClosing() override
    {
        Form.reset();
        ResetMessageService();
    }

    // The editor in tabs or tree mode, opened on Series or on Tool.
    TChartEditForm& Open(bool TreeMode, TChartSeries* Series, TPlotCustomTool* Tool = nullptr)
    {
        WriteEditorRegBoolean(QStringLiteral("TreeMode"), TreeMode);
        Form = std::make_unique<TChartEditForm>();
        Form->SetChart(&Chart);
        Form->EditSeries = Series;
        Form->EditTool = Tool;
        Form->show();
        return *Form;
    }
    TFormPlotSeries* SeriesPage() const { return qobject_cast<TFormPlotSeries*>(Form->SeriesPage()); }
    // The series page's "Data Source" tab, clicked.
    TSeriesDataSourceTab* ShowDataSource() const
    {
        TFormPlotSeries* page = SeriesPage();
        if (!page)
            return nullptr;
        test::ClickTab(page->PageSeries, page->TabDataSource);
        return page->DataSourceTab;
    }
    // The function page of Sum's data source.
    TPlotFuncEditor* FunctionPage() const
    {
        TSeriesDataSourceTab* tab = ShowDataSource();
        return tab ? qobject_cast<TPlotFuncEditor*>(tab->Editor()) : nullptr;
    }
    TFormPlotTools* ToolsPage() const { return qobject_cast<TFormPlotTools*>(Form->PageOf(Form->TabTools)); }
    const QMetaObject* SumFunctionClass() const
    {
        return Sum->SeriesFunction() ? Sum->SeriesFunction()->metaObject() : nullptr;
    }
};

// Escape in the full editor's pages hid the page and left its tab empty.
// Now the window closes, keeping what was set, and no page is hidden.
TEST_F(ChartEditorClosing, EscapeInThePagesOfTheFullEditorClosesItKeepingWhatWasSet)
{
    struct TRow {
        const char* Name;
        // Opens the editor, sets something as a user does, returns the field.
        std::function<QWidget*(ChartEditorClosing&)> Edit;
        std::function<bool(ChartEditorClosing&)> Kept;
    };
    const TRow rows[] = {
        {"tools list",
         [](ChartEditorClosing& Test) -> QWidget* {
             Test.Open(false, nullptr, Test.Rotate);
             TFormPlotTools* tools = Test.ToolsPage();
             if (!tools)
                 return nullptr;
             test::ClickNearLeftEdge(tools->CBActive);
             return tools->LBTools;
         },
         [](ChartEditorClosing& Test) { return !Test.Rotate->Active(); }},
        {"tool page",
         [](ChartEditorClosing& Test) -> QWidget* {
             Test.Open(false, nullptr, Test.Rotate);
             auto* page = Test.ToolsPage() ? qobject_cast<TRotateToolEditor*>(Test.ToolsPage()->ToolEditor()) : nullptr;
             if (!page)
                 return nullptr;
             test::ClickNearLeftEdge(page->CBInverted);
             return page->CBInverted;
         },
         [](ChartEditorClosing& Test) { return Test.Rotate->Inverted(); }},
        {"data source tab",
         [](ChartEditorClosing& Test) -> QWidget* {
             Test.Open(false, Test.Source);
             TSeriesDataSourceTab* tab = Test.ShowDataSource();
             return tab ? tab->CBDataSourcestyle : nullptr;
         },
         [](ChartEditorClosing& Test) { return Test.Source->Count() == 8; }},
        {"function page",
         [](ChartEditorClosing& Test) -> QWidget* {
             Test.Open(false, Test.Sum);
             TPlotFuncEditor* page = Test.FunctionPage();
             return page ? page->CBSources : nullptr;
         },
         [](ChartEditorClosing& Test) { return Test.SumFunctionClass() == &TAddPlotFunction::staticMetaObject; }},
    };
    for (const TRow& row : rows) {
        Asked.clear();
        QWidget* field = row.Edit(*this);
        ASSERT_NE(field, nullptr) << row.Name;
        ASSERT_TRUE(field->isVisible()) << row.Name;
        const std::vector<QDialog*> shown = ShownPagesOf(*Form);
        int rejected = 0;
        QObject::connect(Form.get(), &QDialog::rejected, [&rejected] { ++rejected; });
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape);
        EXPECT_EQ(rejected, 1) << row.Name;
        EXPECT_FALSE(Form->isVisible()) << row.Name;
        EXPECT_EQ(PagesHidden(shown, *Form), "") << row.Name;
        EXPECT_TRUE(row.Kept(*this)) << row.Name;
        EXPECT_TRUE(Asked.isEmpty()) << row.Name << ": nothing was pending";
    }
}

enum class TClosingWay { CloseButton, Escape, CloseBox };

struct TPendingCloseRow {
    const char* Name;
    bool TreeMode;
    TClosingWay Way;
    int Answer;
};

void PrintTo(const TPendingCloseRow& Row, std::ostream* Out)
{
    *Out << Row.Name;
}

// Closes the form the given way; Escape is pressed in Field.
void CloseEditorBy(TClosingWay Way, TChartEditForm& Form, QWidget* Field)
{
    switch (Way) {
    case TClosingWay::CloseButton:
        QTest::mouseClick(Form.BClose, Qt::LeftButton);
        break;
    case TClosingWay::Escape:
        Field->setFocus();
        QTest::keyClick(Field, Qt::Key_Escape);
        break;
    case TClosingWay::CloseBox:
        test::ClickCloseBox(Form);
        break;
    }
}

class ClosingWithAPendingFunctionChange : public ChartEditorClosing,
                                          public ::testing::WithParamInterface<TPendingCloseRow> {};

// Close and Escape closed without asking, so a function type chosen but
// not applied was lost; the close box asked only on the Series tab, and in
// tree mode never. Every way asks "Apply Changes ?": Yes applies, No drops
// the choice, Cancel keeps the window and the choice.
TEST_P(ClosingWithAPendingFunctionChange, AsksApplyChanges)
{
    const TPendingCloseRow& row = GetParam();
    Open(row.TreeMode, Sum);
    TPlotFuncEditor* page = FunctionPage();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->isVisible());
    ASSERT_FALSE(page->Pending());
    const QMetaObject* before = SumFunctionClass();
    // Another function type, chosen from the keyboard.
    page->CBSources->setFocus();
    for (int i = 0; i < page->CBSources->count() && (!page->SelectedFunctionClass() ||
                                                   page->SelectedFunctionClass() == before);
         ++i)
        QTest::keyClick(page->CBSources, page->CBSources->currentIndex() + 1 < page->CBSources->count() ? Qt::Key_Down
                                                                                                     : Qt::Key_Home);
    const QMetaObject* chosen = page->SelectedFunctionClass();
    ASSERT_NE(chosen, nullptr);
    ASSERT_NE(chosen, before);
    ASSERT_TRUE(page->Pending());
    EXPECT_EQ(SumFunctionClass(), before); // nothing applied yet

    Answer = row.Answer;
    CloseEditorBy(row.Way, *Form, page->CBSources);
    EXPECT_EQ(Asked, QStringList{PlotMsg_SureToApply});
    if (row.Answer == mrCancel) {
        EXPECT_TRUE(Form->isVisible());
        EXPECT_TRUE(page->isVisible());
        EXPECT_TRUE(page->Pending());
        EXPECT_EQ(SumFunctionClass(), before);
        return;
    }
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(SumFunctionClass(), row.Answer == mrYes ? chosen : before);
    EXPECT_FALSE(page->Pending());
}

INSTANTIATE_TEST_SUITE_P(
    EveryWayInBothModes, ClosingWithAPendingFunctionChange,
    ::testing::Values(TPendingCloseRow{"TabsCloseYes", false, TClosingWay::CloseButton, mrYes},
                      TPendingCloseRow{"TabsCloseNo", false, TClosingWay::CloseButton, mrNo},
                      TPendingCloseRow{"TabsCloseCancel", false, TClosingWay::CloseButton, mrCancel},
                      TPendingCloseRow{"TabsEscapeYes", false, TClosingWay::Escape, mrYes},
                      TPendingCloseRow{"TabsEscapeNo", false, TClosingWay::Escape, mrNo},
                      TPendingCloseRow{"TabsEscapeCancel", false, TClosingWay::Escape, mrCancel},
                      TPendingCloseRow{"TabsCloseBoxYes", false, TClosingWay::CloseBox, mrYes},
                      TPendingCloseRow{"TabsCloseBoxNo", false, TClosingWay::CloseBox, mrNo},
                      TPendingCloseRow{"TabsCloseBoxCancel", false, TClosingWay::CloseBox, mrCancel},
                      TPendingCloseRow{"TreeCloseYes", true, TClosingWay::CloseButton, mrYes},
                      TPendingCloseRow{"TreeCloseNo", true, TClosingWay::CloseButton, mrNo},
                      TPendingCloseRow{"TreeCloseCancel", true, TClosingWay::CloseButton, mrCancel},
                      TPendingCloseRow{"TreeEscapeYes", true, TClosingWay::Escape, mrYes},
                      TPendingCloseRow{"TreeEscapeNo", true, TClosingWay::Escape, mrNo},
                      TPendingCloseRow{"TreeEscapeCancel", true, TClosingWay::Escape, mrCancel},
                      TPendingCloseRow{"TreeCloseBoxYes", true, TClosingWay::CloseBox, mrYes},
                      TPendingCloseRow{"TreeCloseBoxNo", true, TClosingWay::CloseBox, mrNo},
                      TPendingCloseRow{"TreeCloseBoxCancel", true, TClosingWay::CloseBox, mrCancel}),
    [](const ::testing::TestParamInfo<TPendingCloseRow>& Info) { return std::string(Info.param.Name); });

class ClosingWhileAnAnimationRuns : public ChartEditorClosing, public ::testing::WithParamInterface<bool> {};

// Closing the editor while a series animation ran was refused only by the
// animation page, and only when it was asked: the window closed (Close,
// Escape) or the page went out of view. Every way of closing, and leaving
// the Tools tab or node, is refused until "Stop"; then Close closes.
TEST_P(ClosingWhileAnAnimationRuns, IsRefusedInEveryWayUntilStop)
{
    const bool treeMode = GetParam();
    Open(treeMode, nullptr, Animation);
    TFormPlotTools* tools = ToolsPage();
    ASSERT_NE(tools, nullptr);
    auto* page = qobject_cast<TSeriesAnimToolEditor*>(tools->ToolEditor());
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->isVisible());
    std::vector<std::string> closedBy;
    bool stillShown = false;
    int steps = 0;
    Animation->RefreshChart = [&](TCustomAxisPanel&) {
        if (++steps == 2) {
            const std::pair<const char*, std::function<void()>> ways[] = {
                {"Close", [this] { QTest::mouseClick(Form->BClose, Qt::LeftButton); }},
                {"Escape in the page", [page] { QTest::keyClick(page->SBSteps, Qt::Key_Escape); }},
                {"Escape in the tools list", [tools] { QTest::keyClick(tools->LBTools, Qt::Key_Escape); }},
                {"close box", [this] { test::ClickCloseBox(*Form); }},
                {"another tab or node",
                 [this, treeMode] {
                     if (treeMode)
                         Form->Tree->setCurrentItem(Form->TreeNodeOf(Form->TabChart));
                     else
                         test::ClickTab(Form->MainPage, Form->TabChart);
                     QCoreApplication::processEvents();
                 }},
            };
            for (const auto& [name, close] : ways) {
                close();
                if (!Form->isVisible() || !page->isVisible())
                    closedBy.push_back(name);
            }
            stillShown = Animation->Running() && page->Button1->text() == QStringLiteral("Stop");
        }
        if (steps == 6)
            QTest::mouseClick(page->Button1, Qt::LeftButton); // "Stop"
        ASSERT_LT(steps, 1000) << "the animation did not stop";
    };
    QTest::mouseClick(page->Button1, Qt::LeftButton);
    EXPECT_EQ(steps, 6);
    EXPECT_EQ(closedBy, std::vector<std::string>{});
    EXPECT_TRUE(stillShown);
    EXPECT_FALSE(Animation->Running());
    EXPECT_TRUE(Asked.isEmpty());
    QTest::mouseClick(Form->BClose, Qt::LeftButton);
    EXPECT_FALSE(Form->isVisible());
}

INSTANTIATE_TEST_SUITE_P(TabsAndTree, ClosingWhileAnAnimationRuns, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& Info) {
                             return std::string(Info.param ? "TreeMode" : "TabsMode");
                         });

} // namespace
} // namespace lp
