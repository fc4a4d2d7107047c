// Controls a series' document cannot keep: a lock that holds whatever the
// pages' own rules enable later and gives back what the control had, the
// names controls are known by, and the series page locking them for the
// series the query names (and only for it).

#include "chart/editors/series/UnkeptSettings.h"

#include "../EditorTestSupport.h"
#include "SeriesPageTestSupport.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/series/CustomSeriesEditor.h"
#include "chart/editors/series/SeriesMarksTab.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/engine/PlotSeries.h"

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
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
        UnkeptSettingsQuery() = [this](const TChartSeries& Series) {
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

} // namespace
} // namespace lp
