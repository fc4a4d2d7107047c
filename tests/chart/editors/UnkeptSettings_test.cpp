// Controls a chart's document cannot keep: a lock that holds whatever the
// pages' own rules enable later and gives back what the control had, the
// names controls are known by, and the series page and the axis page
// locking them for the series or axis the query names (and only for it).

#include "chart/editors/UnkeptSettings.h"

#include "EditorTestSupport.h"
#include "series/SeriesPageTestSupport.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/series/CustomSeriesEditor.h"
#include "chart/editors/series/SeriesMarksTab.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

#include <gtest/gtest.h>

namespace lp {
namespace {

const QString NotKept = QStringLiteral("Not kept here");

TEST(UnkeptSettings, ALockHoldsAgainstEnablingAndGivesBackWhatTheControlHad)
{
    QGroupBox box;
    auto* inside = new QCheckBox(&box);
    auto* check = new QCheckBox(&box);
    check->setToolTip(QStringLiteral("its own"));
    LockUnkept(*check, NotKept);
    LockUnkept(box, NotKept);
    EXPECT_TRUE(IsLockedUnkept(*check));
    check->setEnabled(true);
    box.setEnabled(true);
    inside->setEnabled(true);
    EXPECT_FALSE(check->isEnabled());
    EXPECT_FALSE(inside->isEnabled());
    check->setToolTip(QStringLiteral("another"));
    EXPECT_EQ(check->toolTip(), NotKept);

    UnlockUnkept(*check);
    UnlockUnkept(box);
    EXPECT_FALSE(IsLockedUnkept(*check));
    EXPECT_TRUE(check->isEnabled());
    EXPECT_TRUE(inside->isEnabled());
    EXPECT_EQ(check->toolTip(), QStringLiteral("another"));
    EXPECT_TRUE(box.toolTip().isEmpty());
}

TEST(UnkeptSettings, ControlsAreNamedByTheirPagesClass)
{
    TCustomSeriesEditor page;
    EXPECT_EQ(UnkeptSettingName(*page.CBStairs), QStringLiteral("TCustomSeriesEditor.CBStairs"));
    EXPECT_TRUE(IsNamedUnkept(*page.CBStairs, {QStringLiteral("TCustomSeriesEditor.CBStairs")}));
    EXPECT_FALSE(IsNamedUnkept(*page.CBStairs, {QStringLiteral("TSeriesPointerEditor.CBStairs")}));
    EXPECT_TRUE(IsNamedUnkept(page, {QStringLiteral("TCustomSeriesEditor")}));
    EXPECT_FALSE(IsNamedUnkept(*page.CBInvStairs, {QStringLiteral("TCustomSeriesEditor")}));
}

// Three line series; the query keeps stairs, shadow, the points' margins and
// the marks' "All Series Visible" from the first and everything from the
// third.
struct TQueriedChart {
    TQueriedChart()
    {
        for (int i = 0; i < 3; ++i) {
            S[i] = new TLineSeries(&Chart);
            Chart.AddSeries(S[i]);
        }
        UnkeptSettingsQuery() = [this](const QObject& Series) {
            TUnkeptSettings unkept;
            unkept.Reason = NotKept;
            if (&Series == S[0])
                unkept.Controls = {QStringLiteral("TCustomSeriesEditor.GBStair"),
                                   QStringLiteral("TCustomSeriesEditor.Button1"),
                                   QStringLiteral("TSeriesPointerEditor.CBInflate"),
                                   QStringLiteral("TFormPlotSeries.CBAllVisible")};
            unkept.Nothing = &Series == S[2];
            return unkept;
        };
    }
    ~TQueriedChart() { UnkeptSettingsQuery() = nullptr; }
    test::TEditorChart Chart;
    TLineSeries* S[3];
};

TEST(UnkeptSettings, TheSeriesPageLocksWhatTheQueryNamesForItsSeriesOnly)
{
    TQueriedChart c;
    test::THostedSeriesPage<TCustomSeriesEditor> shown(c.S[0]);
    TFormPlotSeries& host = shown.Host;
    ASSERT_NE(shown.Page, nullptr);
    host.SetActiveTab(QStringLiteral("Point"));
    host.PageSeries->setCurrentWidget(host.TabMarks);
    auto* points = host.findChild<TSeriesPointerEditor*>();
    ASSERT_NE(points, nullptr);
    for (QWidget* control : std::initializer_list<QWidget*>{shown.Page->CBStairs, shown.Page->Button1,
                                                            points->CBInflate, host.MarksTab->CBAllVisible}) {
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        // The group's tooltip stands for the boxes in it.
        const QString tip = control == shown.Page->CBStairs ? shown.Page->GBStair->toolTip() : control->toolTip();
        EXPECT_EQ(tip, NotKept) << control->objectName().toStdString();
    }
    EXPECT_TRUE(shown.Page->BLineColor->isEnabled());
    EXPECT_TRUE(host.MarksTab->CBMarksVisible->isEnabled());

    // Another series: the series page's own controls are given back.
    host.SetTarget(c.S[1]);
    EXPECT_TRUE(host.MarksTab->CBAllVisible->isEnabled());
    EXPECT_TRUE(host.MarksTab->CBAllVisible->toolTip().isEmpty());
    auto* format = qobject_cast<TCustomSeriesEditor*>(host.SeriesEditor());
    ASSERT_NE(format, nullptr);
    EXPECT_TRUE(format->Button1->isEnabled());

    // A series of which nothing is kept: every tab disabled, still chosen.
    host.SetTarget(c.S[2]);
    for (int i = 0; i < host.PageSeries->count(); ++i) {
        host.PageSeries->setCurrentIndex(i);
        EXPECT_EQ(host.PageSeries->currentIndex(), i);
        EXPECT_FALSE(host.PageSeries->widget(i)->isEnabled()) << host.PageSeries->tabText(i).toStdString();
    }
    host.SetTarget(c.S[1]);
    for (int i = 0; i < host.PageSeries->count(); ++i)
        EXPECT_TRUE(host.PageSeries->widget(i)->isEnabled()) << host.PageSeries->tabText(i).toStdString();
}

TEST(UnkeptSettings, TheGeneralGraphicEditorKeepsEveryControlEnabled)
{
    test::TEditorChart chart;
    auto* line = new TLineSeries(&chart);
    chart.AddSeries(line);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TChartEditForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        auto* page = qobject_cast<TFormPlotSeries*>(form->SeriesPage());
        ASSERT_NE(page, nullptr);
        auto* format = qobject_cast<TCustomSeriesEditor*>(page->SeriesEditor());
        ASSERT_NE(format, nullptr);
        seen = true;
        for (QWidget* control : std::initializer_list<QWidget*>{format->CBStairs, format->Button1, format->BOutline}) {
            EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
            EXPECT_TRUE(control->toolTip().isEmpty()) << control->objectName().toStdString();
        }
        for (QWidget* control : page->findChildren<QWidget*>())
            EXPECT_FALSE(IsLockedUnkept(*control)) << control->objectName().toStdString();
        form->BClose->click();
    });
    ShowSeriesEditor(line);
    EXPECT_TRUE(seen);
}

// The query keeps the title tab and the "Auto" box from the left axis and
// nothing of the right one.
TEST(UnkeptSettings, TheAxisPageLocksWhatTheQueryNamesForItsAxisOnly)
{
    test::TEditorChart chart;
    UnkeptSettingsQuery() = [&chart](const QObject& Edited) {
        TUnkeptSettings unkept;
        unkept.Reason = NotKept;
        if (&Edited == chart.LeftAxis())
            unkept.Controls = {QStringLiteral("TFormPlotAxis.TabTitle"), QStringLiteral("TFormPlotAxis.CBAutomatic")};
        unkept.Nothing = &Edited == chart.RightAxis();
        return unkept;
    };
    TFormPlotAxis page;
    page.SetAxis(chart.LeftAxis());
    page.show();
    EXPECT_FALSE(page.CBAutomatic->isEnabled());
    EXPECT_EQ(page.CBAutomatic->toolTip(), NotKept);
    EXPECT_FALSE(page.TabTitle->isEnabled());
    EXPECT_FALSE(page.ETitle->isEnabled());
    EXPECT_EQ(page.TabTitle->toolTip(), NotKept);
    // The tab is still chosen, so what it shows can be read.
    page.PageAxis->setCurrentWidget(page.TabTitle);
    EXPECT_EQ(page.PageAxis->currentWidget(), page.TabTitle);
    EXPECT_TRUE(page.BAxisMax->isEnabled());
    EXPECT_TRUE(page.TabLabels->isEnabled());
    // A change of the page refills it: the locks stay.
    QTest::mouseClick(page.CBInverted, Qt::LeftButton, {}, QPoint(6, page.CBInverted->height() / 2));
    EXPECT_TRUE(chart.LeftAxis()->Inverted());
    EXPECT_FALSE(page.CBAutomatic->isEnabled());

    // Another axis: the page's own controls are given back.
    page.SetAxis(chart.BottomAxis());
    EXPECT_TRUE(page.CBAutomatic->isEnabled());
    EXPECT_TRUE(page.CBAutomatic->toolTip().isEmpty());
    EXPECT_TRUE(page.TabTitle->isEnabled());
    // An axis of which nothing is kept: every tab disabled, still chosen.
    page.SetAxis(chart.RightAxis());
    for (int i = 0; i < page.PageAxis->count(); ++i) {
        page.PageAxis->setCurrentIndex(i);
        EXPECT_EQ(page.PageAxis->currentIndex(), i);
        EXPECT_FALSE(page.PageAxis->widget(i)->isEnabled()) << page.PageAxis->tabText(i).toStdString();
    }
    page.SetAxis(chart.TopAxis());
    for (int i = 0; i < page.PageAxis->count(); ++i)
        EXPECT_TRUE(page.PageAxis->widget(i)->isEnabled()) << page.PageAxis->tabText(i).toStdString();
    UnkeptSettingsQuery() = nullptr;
}

TEST(UnkeptSettings, TheGeneralAxisWindowKeepsEveryControlEnabled)
{
    test::TEditorChart chart;
    std::unique_ptr<TFormPlotAxis> window = CreateAxisEditorWindow(&chart, chart.LeftAxis());
    ASSERT_NE(window, nullptr);
    window->show();
    for (QWidget* control : window->findChildren<QWidget*>())
        EXPECT_FALSE(IsLockedUnkept(*control)) << control->objectName().toStdString();
    for (QWidget* control : std::initializer_list<QWidget*>{window->CBAutomatic, window->CBInverted, window->BIncre,
                                                            window->BAxisMin, window->BAxisMax, window->CheckBox2,
                                                            window->TabTitle, window->ETitle, window->TabLabels,
                                                            window->TabTicks, window->TabMinorTicks,
                                                            window->TabPositions})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
}

} // namespace
} // namespace lp
