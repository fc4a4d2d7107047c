#include "chart/editors/frame/ChartEditForm.h"

#include "chart/editors/ChartEditors.h"
#include "chart/editors/EditorPageRegistry.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTitles.h"
#include "platform/ui/Registry.h"

#include <QtCore/QTimer>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>

#include <gtest/gtest.h>

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
// its target and the options its host gave it.
class TStandInPage : public TEditorPage {
public:
    using TEditorPage::TEditorPage;
    static inline int Made = 0;
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

} // namespace
} // namespace lp
