// The contour page where the page walk cannot see: automatic levels and
// the levels edited one by one (value, colour by keyboard, pen), the level
// controls past the last level, values typed half-way, cancelled dialogs,
// the "Grid 3D" tab it adds to the series page, and the page deleted while
// a level field has the focus.

#include "chart/editors/extendedseries/ContourSeriesPage.h"

#include "../EditorTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/grid3d/PlotContourSeries.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QFocusEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lp {
namespace {

// Types Text into Spin's field as a user does, replacing what it shows
// (no Enter: shown alone, the page's first button is its default).
void ContourPageTypeInto(QSpinBox* Spin, const QString& Text)
{
    QLineEdit* field = Spin->findChild<QLineEdit*>();
    Spin->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, Text);
}

// A contour with sample points whose automatic levels are made (as the
// chart's first paint makes them), and its page shown alone.
struct TContourPageFixture {
    explicit TContourPageFixture(bool MakeLevels = true)
    {
        Series = new TContourSeries(&Chart);
        Chart.AddSeries(Series);
        Series->FillSampleValues();
        if (MakeLevels)
            Series->CreateAutoLevels();
        Page.SetTarget(Series);
        Page.show();
    }
    void SelectLevel(int Index)
    {
        Page.UDLevel->setFocus();
        ContourPageTypeInto(Page.UDLevel, QString::number(Index));
    }
    void TypeValue(const QString& Text)
    {
        Page.EValue->setFocus();
        Page.EValue->selectAll();
        QTest::keyClick(Page.EValue, Qt::Key_Delete);
        QTest::keyClicks(Page.EValue, Text);
    }
    std::vector<double> LevelValues() const
    {
        std::vector<double> values;
        for (int i = 0; i < Series->Levels()->Count(); ++i)
            values.push_back(Series->Levels()->Items(i)->UpToValue());
        return values;
    }
    test::TEditorChart Chart;
    TContourSeries* Series;
    TContourSeriesEditor Page;
};

// Level controls in the order the page shows them.
std::vector<QWidget*> ContourLevelControls(TContourSeriesEditor& Page)
{
    return {Page.UDLevel, Page.SHColor, Page.EValue, Page.cbDefaultPen};
}

TEST(ContourSeriesPage, ShowsTheSeriesAndItsLevels)
{
    TContourPageFixture fixture;
    TContourSeriesEditor& page = fixture.Page;
    EXPECT_TRUE(page.CBAutoLevels->isChecked());
    EXPECT_EQ(page.UDNum->value(), 10);
    EXPECT_EQ(page.UDNum->minimum(), 1);
    EXPECT_EQ(page.UDNum->maximum(), 150);
    EXPECT_EQ(page.UDLevel->maximum(), 9);
    EXPECT_EQ(page.UDYPos->minimum(), -30000);
    EXPECT_EQ(page.UDYPos->maximum(), 30000);
    EXPECT_EQ(page.UDYPos->value(), qRound(fixture.Series->YPosition()));
    EXPECT_TRUE(page.UDNum->isEnabled());
    EXPECT_TRUE(page.CBColorEach->isEnabled());
    EXPECT_FALSE(page.CBInterpolate->isEnabled());
    EXPECT_EQ(page.Button2->Pen(), fixture.Series->Pen());
    // An automatic level takes the chart's default colour for its index;
    // its value shows with at most three decimals.
    TContourLevel* level = fixture.Series->Levels()->Items(0);
    ASSERT_EQ(level->Color(), clPlotColor);
    EXPECT_EQ(page.SHColor->Color(), fixture.Chart.GetDefaultColor(0));
    fixture.SelectLevel(3);
    EXPECT_EQ(page.SHColor->Color(), fixture.Chart.GetDefaultColor(3));
    const double value = fixture.Series->Levels()->Items(3)->UpToValue();
    EXPECT_NEAR(page.EValue->text().toDouble(), value, 0.0005);
    const QString decimals = page.EValue->text().section(QLatin1Char('.'), 1);
    EXPECT_LE(decimals.size(), 3);
    // A level without a pen of its own draws with the series pen.
    EXPECT_TRUE(page.cbDefaultPen->isChecked());
    EXPECT_FALSE(page.bLevelPen->isEnabled());
    EXPECT_EQ(page.bLevelPen->Pen(), nullptr);
    // Without a chart an automatic colour shows white.
    TContourSeries alone;
    TContourSeriesEditor lonely;
    lonely.SetTarget(&alone);
    EXPECT_EQ(lonely.ShownLevelColor(clPlotColor, 2), clWhite);
    EXPECT_EQ(lonely.ShownLevelColor(clRed, 2), clRed);
}

TEST(ContourSeriesPage, NumberAndColourEachRemakeAutomaticLevels)
{
    TContourPageFixture fixture;
    TContourSeriesEditor& page = fixture.Page;
    ContourPageTypeInto(page.UDNum, QStringLiteral("4"));
    EXPECT_EQ(fixture.Series->NumLevels(), 4);
    EXPECT_EQ(fixture.Series->Levels()->Count(), 4);
    EXPECT_EQ(page.UDLevel->maximum(), 3);
    // One colour per value range instead of the chart's colours.
    test::ClickNearLeftEdge(page.CBColorEach);
    EXPECT_FALSE(fixture.Series->ColorEachPoint());
    ASSERT_EQ(fixture.Series->Levels()->Count(), 4);
    const TColor first = fixture.Series->Levels()->Items(0)->Color();
    EXPECT_NE(first, clPlotColor);
    fixture.SelectLevel(0);
    EXPECT_EQ(page.SHColor->Color(), first);
    EXPECT_TRUE(fixture.Series->AutomaticLevels());
}

TEST(ContourSeriesPage, WithAutomaticLevelsOffNumberIsDisabledAndEditedLevelsStay)
{
    TContourPageFixture fixture;
    TContourSeriesEditor& page = fixture.Page;
    test::ClickNearLeftEdge(page.CBAutoLevels);
    EXPECT_FALSE(fixture.Series->AutomaticLevels());
    EXPECT_FALSE(page.UDNum->isEnabled());
    EXPECT_FALSE(page.LNum->isEnabled());
    EXPECT_FALSE(page.CBColorEach->isEnabled());
    // The levels made automatically stay, to be edited.
    ASSERT_EQ(fixture.Series->Levels()->Count(), 10);
    fixture.SelectLevel(2);
    fixture.TypeValue(QStringLiteral("1.25"));
    fixture.SelectLevel(5);
    fixture.TypeValue(QStringLiteral("-3"));
    const std::vector<double> edited = fixture.LevelValues();
    EXPECT_EQ(edited[2], 1.25);
    EXPECT_EQ(edited[5], -3);
    // A paint keeps them, and so does showing the page again.
    fixture.Series->DoBeforeDrawChart();
    fixture.Page.Refresh();
    EXPECT_EQ(fixture.LevelValues(), edited);
    fixture.SelectLevel(2);
    EXPECT_EQ(page.EValue->text(), QStringLiteral("1.25"));
    EXPECT_FALSE(page.CBAutoLevels->isChecked());

    // Turned on again, the levels are made anew from the points.
    test::ClickNearLeftEdge(page.CBAutoLevels);
    EXPECT_TRUE(fixture.Series->AutomaticLevels());
    EXPECT_EQ(fixture.Series->Levels()->Count(), 10);
    EXPECT_NE(fixture.LevelValues(), edited);
    EXPECT_TRUE(page.UDNum->isEnabled());
}

TEST(ContourSeriesPage, StoringALevelValueTurnsAutomaticOffAtOnce)
{
    TContourPageFixture fixture;
    TContourSeriesEditor& page = fixture.Page;
    fixture.SelectLevel(1);
    const int paints = fixture.Chart.Invalidations;
    fixture.TypeValue(QStringLiteral("7.5"));
    EXPECT_EQ(fixture.Series->Levels()->Items(1)->UpToValue(), 7.5);
    EXPECT_FALSE(fixture.Series->AutomaticLevels());
    EXPECT_FALSE(page.CBAutoLevels->isChecked());
    EXPECT_FALSE(page.UDNum->isEnabled());
    EXPECT_GT(fixture.Chart.Invalidations, paints);
    // The edit keeps what was typed.
    EXPECT_EQ(page.EValue->text(), QStringLiteral("7.5"));
}

TEST(ContourSeriesPage, AnIndexPastTheLastLevelDisablesTheLevelControls)
{
    // Automatic levels not made yet (no paint so far): none to edit.
    TContourPageFixture fixture(false);
    TContourSeriesEditor& page = fixture.Page;
    ASSERT_EQ(fixture.Series->Levels()->Count(), 0);
    for (QWidget* control : ContourLevelControls(page))
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_FALSE(page.bLevelPen->isEnabled());
    EXPECT_FALSE(page.LLevel->isEnabled());
    EXPECT_EQ(page.SHColor->Color(), clBtnFace);

    fixture.Series->CreateAutoLevels();
    page.Refresh();
    for (QWidget* control : ContourLevelControls(page))
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    fixture.SelectLevel(9);
    EXPECT_EQ(page.UDLevel->value(), 9);
    EXPECT_TRUE(page.EValue->isEnabled());

    // Levels taken away in code: the index past the last one disables them.
    fixture.Series->SetAutomaticLevels(false);
    while (fixture.Series->Levels()->Count() > 3)
        fixture.Series->Levels()->Delete(fixture.Series->Levels()->Count() - 1);
    const int index = page.UDLevel->value();
    EXPECT_EQ(index, 9);
    EXPECT_EQ(page.SelectedLevel(), nullptr);
    // The index follows the last level on the next refresh and shows it.
    page.Refresh();
    EXPECT_EQ(page.UDLevel->maximum(), 2);
    EXPECT_EQ(page.UDLevel->value(), 2);
    EXPECT_TRUE(page.EValue->isEnabled());
    EXPECT_EQ(page.EValue->text().toDouble(),
              QString::number(fixture.Series->Levels()->Items(2)->UpToValue(), 'f', 3).toDouble());

    // No levels at all: nothing to edit.
    fixture.Series->Levels()->Clear();
    page.Refresh();
    EXPECT_EQ(page.UDLevel->value(), 0);
    for (QWidget* control : ContourLevelControls(page))
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
}

TEST(ContourSeriesPage, ALevelColourIsChosenByKeyboardAndACancelChangesNothing)
{
    TContourPageFixture fixture;
    TContourSeriesEditor& page = fixture.Page;
    fixture.SelectLevel(4);
    TContourLevel* level = fixture.Series->Levels()->Items(4);
    const QStringList before = test::DumpProperties(&fixture.Chart);
    {
        test::TColorDialogAnswer cancel;
        page.SHColor->setFocus();
        QTest::keyClick(page.SHColor, Qt::Key_Space);
        ASSERT_EQ(cancel.Requests.size(), 1u);
        // The dialog opens on the colour shown.
        EXPECT_EQ(cancel.Requests[0].Color, fixture.Chart.GetDefaultColor(4));
    }
    EXPECT_EQ(level->Color(), clPlotColor);
    EXPECT_TRUE(fixture.Series->AutomaticLevels());
    EXPECT_EQ(test::DumpProperties(&fixture.Chart), before);

    // The swatch takes the focus from the keyboard; Space opens the dialog.
    EXPECT_TRUE(page.SHColor->focusPolicy() & Qt::TabFocus);
    page.SHColor->setFocus();
    test::TColorDialogAnswer answer;
    answer.Answer = static_cast<TColor>(0x3366CC);
    QTest::keyClick(page.SHColor, Qt::Key_Space);
    EXPECT_EQ(level->Color(), static_cast<TColor>(0x3366CC));
    EXPECT_EQ(page.SHColor->Color(), static_cast<TColor>(0x3366CC));
    // The edit made the levels the user's, shown at once.
    EXPECT_FALSE(fixture.Series->AutomaticLevels());
    EXPECT_FALSE(page.CBAutoLevels->isChecked());

    // A level with a pen of its own: the pen takes the colour too.
    test::ClickNearLeftEdge(page.cbDefaultPen);
    ASSERT_TRUE(level->HasPen());
    answer.Answer = static_cast<TColor>(0x00AA00);
    QTest::keyClick(page.SHColor, Qt::Key_Space);
    EXPECT_EQ(level->OwnPen()->Color(), static_cast<TColor>(0x00AA00));
    EXPECT_EQ(page.bLevelPen->Pen(), level->OwnPen());
}

TEST(ContourSeriesPage, ALevelValueThatIsNoNumberKeepsTheLevel)
{
    test::TMessages messages;
    TContourPageFixture fixture;
    TContourSeriesEditor& page = fixture.Page;
    fixture.SelectLevel(2);
    const std::vector<double> values = fixture.LevelValues();
    const QString shown = page.EValue->text();
    for (const char* typed : {"abc", "-", "", "e1", "+"}) {
        fixture.TypeValue(QString::fromLatin1(typed));
        EXPECT_EQ(fixture.LevelValues(), values) << typed;
        EXPECT_TRUE(fixture.Series->AutomaticLevels()) << typed;
    }
    // Left half-typed, the edit shows the value kept again.
    fixture.TypeValue(QStringLiteral("-"));
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(page.EValue, &leaving);
    EXPECT_EQ(page.EValue->text(), shown);
    // Typing on to a number stores it.
    fixture.TypeValue(QStringLiteral("-4.5"));
    EXPECT_EQ(fixture.Series->Levels()->Items(2)->UpToValue(), -4.5);
    EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join(QLatin1Char('|')).toStdString();
    ResetMessageService();
}

TEST(ContourSeriesPage, ALevelGetsAPenOfItsOwnAndItsColourFollowsThePen)
{
    TContourPageFixture fixture;
    TContourSeriesEditor& page = fixture.Page;
    fixture.SelectLevel(1);
    TContourLevel* level = fixture.Series->Levels()->Items(1);
    ASSERT_FALSE(level->HasPen());
    test::ClickNearLeftEdge(page.cbDefaultPen);
    ASSERT_TRUE(level->HasPen());
    EXPECT_TRUE(page.bLevelPen->isEnabled());
    EXPECT_EQ(page.bLevelPen->Pen(), level->OwnPen());
    // Automatic levels are made anew at each paint: a level's own pen
    // stays only with the user's levels.
    EXPECT_FALSE(fixture.Series->AutomaticLevels());
    EXPECT_FALSE(page.CBAutoLevels->isChecked());
    fixture.Series->DoBeforeDrawChart();
    EXPECT_TRUE(fixture.Series->Levels()->Items(1)->HasPen());

    // A cancelled pen dialog changes nothing.
    const QStringList before = test::DumpProperties(&fixture.Chart);
    const TColor color = level->Color();
    const int width = level->OwnPen()->Width();
    QTimer::singleShot(0, [&page] {
        if (TPenDialog* dialog = page.bLevelPen->OpenDialog()) {
            dialog->UDWidth->setValue(5);
            QTest::mouseClick(dialog->BCancel, Qt::LeftButton);
        }
    });
    QTest::mouseClick(page.bLevelPen, Qt::LeftButton);
    EXPECT_EQ(level->OwnPen()->Width(), width);
    EXPECT_EQ(level->Color(), color);
    EXPECT_EQ(test::DumpProperties(&fixture.Chart), before);

    // A colour chosen in the pen dialog becomes the level's colour.
    QTimer::singleShot(0, [&page] {
        if (TPenDialog* dialog = page.bLevelPen->OpenDialog()) {
            page.bLevelPen->Pen()->SetColor(clFuchsia);
            dialog->accept();
        }
    });
    QTest::mouseClick(page.bLevelPen, Qt::LeftButton);
    EXPECT_EQ(level->Color(), clFuchsia);
    EXPECT_EQ(page.SHColor->Color(), clFuchsia);
    EXPECT_FALSE(page.cbDefaultPen->isChecked());

    // "Default" again: the series pen draws the level.
    test::ClickNearLeftEdge(page.cbDefaultPen);
    EXPECT_FALSE(level->HasPen());
    EXPECT_FALSE(page.bLevelPen->isEnabled());
    EXPECT_EQ(page.bLevelPen->Pen(), nullptr);
}

TEST(ContourSeriesPage, PositionSmoothingAndTheSeriesPenDialog)
{
    TContourPageFixture fixture;
    TContourSeriesEditor& page = fixture.Page;
    ContourPageTypeInto(page.UDYPos, QStringLiteral("-120"));
    EXPECT_EQ(fixture.Series->YPosition(), -120);
    test::ClickNearLeftEdge(page.CBYPosLevel);
    EXPECT_TRUE(fixture.Series->YPositionLevel());
    EXPECT_FALSE(page.UDYPos->isEnabled());
    test::ClickNearLeftEdge(page.CBYPosLevel);
    EXPECT_TRUE(page.UDYPos->isEnabled());

    test::ClickNearLeftEdge(page.CBSmooth);
    EXPECT_TRUE(fixture.Series->Smoothing()->Active());
    ASSERT_TRUE(page.CBInterpolate->isEnabled());
    test::ClickNearLeftEdge(page.CBInterpolate);
    EXPECT_TRUE(fixture.Series->Smoothing()->Interpolate());
    test::ClickNearLeftEdge(page.CBSmooth);
    EXPECT_FALSE(page.CBInterpolate->isEnabled());

    const QStringList before = test::DumpProperties(&fixture.Chart);
    QTimer::singleShot(0, [&page] {
        if (TPenDialog* dialog = page.Button2->OpenDialog()) {
            dialog->UDWidth->setValue(4);
            QTest::mouseClick(dialog->BCancel, Qt::LeftButton);
        }
    });
    QTest::mouseClick(page.Button2, Qt::LeftButton);
    EXPECT_EQ(test::DumpProperties(&fixture.Chart), before);
}

TEST(ContourSeriesPage, TheSeriesPageShowsItWithAGrid3DTabAddedOnce)
{
    test::TEditorChart chart;
    auto* series = new TContourSeries(&chart);
    chart.AddSeries(series);
    series->FillSampleValues();
    series->CreateAutoLevels();
    TFormPlotSeries host;
    host.SetTarget(series);
    host.show();
    auto* page = qobject_cast<TContourSeriesEditor*>(host.SeriesEditor());
    ASSERT_NE(page, nullptr);
    page->hide();
    page->show();
    page->Refresh();
    QStringList tabs;
    for (int i = 0; i < host.PageSeries->count(); ++i)
        tabs.append(host.PageSeries->tabText(i));
    EXPECT_EQ(tabs.count(QStringLiteral("Grid 3D")), 1) << tabs.join(' ').toStdString();
    EXPECT_EQ(tabs.indexOf(QStringLiteral("Grid 3D")), 1);
    ASSERT_NE(page->Grid3DEditor, nullptr);
    EXPECT_EQ(page->Grid3DEditor->Target(), series);
    // As the editor shows it after the chart's first paint made the levels.
    test::SaveScreenshot(host, QStringLiteral("series-format-ContourSeries-Levels"));

    // Another series' page in its place takes the tab away with the page.
    const QPointer<TContourSeriesEditor> contourPage = page;
    const QPointer<TGrid3DSeriesEditor> gridPage = page->Grid3DEditor.data();
    auto* line = new TLineSeries(&chart);
    chart.AddSeries(line);
    host.SetTarget(line);
    tabs.clear();
    for (int i = 0; i < host.PageSeries->count(); ++i)
        tabs.append(host.PageSeries->tabText(i));
    EXPECT_FALSE(tabs.contains(QStringLiteral("Grid 3D"))) << tabs.join(' ').toStdString();
    EXPECT_EQ(contourPage, nullptr);
    EXPECT_EQ(gridPage, nullptr);
}

// A contour page deleted with the focus in a level field crashed: the
// field's focus-out reached the page's binder, already destroyed, and a
// half-typed level value was fixed up from the level of a page being
// destroyed. Shown alone and deleted, and shown on the series page when
// its series is deleted, with the focus in the level's value (a number
// half typed), in the level index and in the number of levels: the series
// keeps what was written and nothing runs into the deleted page.
TEST(ContourSeriesPage, DeletedWhileALevelFieldHasTheFocus)
{
    for (const bool onTheSeriesPage : {false, true})
        for (const char* fieldName : {"EValue", "UDLevel", "UDNum"}) {
            const std::string where = std::string(onTheSeriesPage ? "series page " : "alone ") + fieldName;
            test::TEditorChart chart;
            auto* series = new TContourSeries(&chart);
            chart.AddSeries(series);
            series->FillSampleValues();
            series->CreateAutoLevels();
            std::unique_ptr<TFormPlotSeries> host;
            QPointer<TContourSeriesEditor> page;
            if (onTheSeriesPage) {
                host = std::make_unique<TFormPlotSeries>();
                host->SetTarget(series);
                host->show();
                page = qobject_cast<TContourSeriesEditor*>(host->SeriesEditor());
            } else {
                page = new TContourSeriesEditor;
                page->SetTarget(series);
                page->show();
            }
            ASSERT_NE(page, nullptr) << where;
            QWidget* window = page->window();
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window)) << where;
            ContourPageTypeInto(page->UDLevel, QStringLiteral("2"));
            std::vector<double> values;
            for (int i = 0; i < series->Levels()->Count(); ++i)
                values.push_back(series->Levels()->Items(i)->UpToValue());
            if (QByteArray(fieldName) == "EValue") {
                page->EValue->setFocus();
                page->EValue->selectAll();
                QTest::keyClicks(page->EValue, QStringLiteral("-"));
                ASSERT_EQ(QApplication::focusWidget(), page->EValue) << where;
            } else if (QByteArray(fieldName) == "UDNum") {
                ContourPageTypeInto(page->UDNum, QStringLiteral("7"));
                EXPECT_EQ(series->NumLevels(), 7) << where;
            }
            if (onTheSeriesPage) {
                delete series;
                EXPECT_TRUE(page.isNull()) << where;
                EXPECT_TRUE(host->isVisible()) << where;
                continue;
            }
            const int levels = series->NumLevels();
            delete page.data();
            EXPECT_EQ(series->NumLevels(), levels) << where;
            if (QByteArray(fieldName) == "EValue") {
                std::vector<double> kept;
                for (int i = 0; i < series->Levels()->Count(); ++i)
                    kept.push_back(series->Levels()->Items(i)->UpToValue());
                EXPECT_EQ(kept, values) << where;
                EXPECT_TRUE(series->AutomaticLevels()) << where;
            }
        }
}

} // namespace
} // namespace lp
