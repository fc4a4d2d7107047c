// The axis windows as a new user meets them on the section chart: Shift +
// right-click on the depth axis, "Options", a new maximum through
// "Change...", and the model area following once the window closes. The
// section file keeps of the axes only the model area: the limits are
// offered, everything else is disabled and says why, and a general chart's
// axis window keeps every control.

#include "chart/editors/ChartEditors.h"
#include "chart/editors/EditorPage.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/engine/PlotAxis.h"
#include "section/dialogs/SectionAxisEditor.h"
#include "section/dialogs/SectionGraphicEditor.h"
#include "section/editor/PolygonChart.h"
#include "section/editor/SectionFile.h"

#include "DialogTestUtil.h"
#include "SectionEditorWindowTestUtil.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QAbstractSlider>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <functional>

namespace lp {
namespace {

// The example section, with its side axes and its saved model at hand.
struct SectionAxisEditor : test::SectionEditorWindow {
    void SetUp() override { OpenExample(800, 600); }

    // The model block as a save writes it now, but for the rings' map ids
    // (a new area makes the map polygons anew, under new ids).
    std::string Saved()
    {
        TSectionModel section = Chart.SectionModel();
        for (int body = 0; body < section.Model.Length(); ++body)
            for (int sub = 0; sub < section.Model[body].Length(); ++sub)
                section.Model[body][sub].params[psId] = ParamValue(-1);
        return FormatSectionModelBlock(section);
    }
    // The four side axes with the title of their window.
    std::vector<std::pair<TChartAxis*, QString>> SideAxes()
    {
        return {{Chart.LeftAxis(), QStringLiteral("Left axis edit")},
                {Chart.RightAxis(), QStringLiteral("Right axis edit")},
                {Chart.TopAxis(), QStringLiteral("Top axis edit")},
                {Chart.BottomAxis(), QStringLiteral("Bottom axis edit")}};
    }
};

// Clicks Button, a limit's "Change...", and gives Value in the dialog it
// opens.
void ChangeLimit(QAbstractButton* Button, double Value)
{
    bool answered = false;
    QTimer::singleShot(0, [&answered, Value] {
        auto* limit = qobject_cast<TAxisMaxMin*>(QApplication::activeModalWidget());
        ASSERT_NE(limit, nullptr);
        answered = true;
        limit->EMaximum->setText(QString::number(Value));
        QTest::mouseClick(limit->BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(Button, Qt::LeftButton);
    EXPECT_TRUE(answered);
}

// Whether Control is something a user sets (not a label, a container or a
// part Qt builds inside its own controls; the tab rows only choose what is
// shown).
bool IsSettingControl(const QWidget& Control)
{
    if (test::IsPartOfAComplexControl(Control) || qobject_cast<const QTabBar*>(&Control))
        return false;
    return qobject_cast<const QAbstractButton*>(&Control) || qobject_cast<const QAbstractSpinBox*>(&Control) ||
           qobject_cast<const QLineEdit*>(&Control) || qobject_cast<const QComboBox*>(&Control) ||
           qobject_cast<const QAbstractSlider*>(&Control) || qobject_cast<const QAbstractItemView*>(&Control);
}

TEST_F(SectionAxisEditor, ShiftRightClickOnTheDepthAxisOpensLeftAxisEdit)
{
    const QImage before = Window->grab().toImage();
    TChartAxis* depth = Chart.LeftAxis();
    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier,
                      QPoint(depth->AxisLinePixel() - 2, depth->CenterPixel()));
    TPopupMenu& menu = Chart.PopupMenu();
    ASSERT_GE(menu.Count(), 1);
    ASSERT_EQ(menu.Item(0).Caption, "Options");
    ASSERT_TRUE(menu.Item(0).Enabled);

    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TFormPlotAxis*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        seen = true;
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Left axis edit"));
        EXPECT_FALSE(form->LBAxes->isVisible());
        EXPECT_EQ(form->Axis(), depth);
        ChangeLimit(form->BAxisMax, 250);
        EXPECT_EQ(depth->Maximum(), 250);
        EXPECT_EQ(form->LAxisMax->text(), QStringLiteral("250"));
        // The section shows the new range at once, before the window closes.
        Window->repaint();
        EXPECT_NE(Window->grab().toImage(), before);
        EXPECT_DOUBLE_EQ(Chart.ModelArea.bottom, 200);
        // Regression: a title typed here was gone after a save and reopen.
        EXPECT_FALSE(form->ETitle->isEnabled());
        EXPECT_EQ(form->TabTitleStyle->toolTip(), SectionUnkeptReason);
        test::SaveScreenshot(*form, QStringLiteral("axis-dialog-section"));
        // The title's tabs can still be chosen and read.
        form->PageAxis->setCurrentWidget(form->TabTitle);
        QTabBar* titleTabs = form->PageTitle->tabBar();
        QTest::mouseClick(titleTabs, Qt::LeftButton, {}, titleTabs->tabRect(1).center());
        EXPECT_EQ(form->PageTitle->currentWidget(), form->TabTitleFont);
        test::SaveScreenshot(*form, QStringLiteral("axis-dialog-section-title"));
        form->close();
    });
    menu.Click(0);
    EXPECT_TRUE(seen);
    // Closed: the model area follows the axes.
    EXPECT_DOUBLE_EQ(Chart.ModelArea.bottom, 250);
    EXPECT_DOUBLE_EQ(Chart.ModelArea.top, 0);
}

// Every control the section names as unkept: found on each side axis'
// window, disabled and saying why; and the windows show whole, every tab
// reachable.
TEST_F(SectionAxisEditor, TheControlsForWhatTheFileCannotKeepAreDisabledAndSaySo)
{
    for (const auto& [axis, title] : SideAxes()) {
        SCOPED_TRACE(title.toStdString());
        std::unique_ptr<TFormPlotAxis> form = CreateAxisEditorWindow(&Chart, axis);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->windowTitle(), title);
        form->show();
        const TUnkeptSettings unkept = SectionUnkeptAxisSettings(*axis);
        ASSERT_FALSE(unkept.Controls.isEmpty());
        EXPECT_FALSE(unkept.Nothing);
        const QList<QWidget*> all = form->findChildren<QWidget*>();
        for (const QString& name : unkept.Controls)
            EXPECT_EQ(test::ExpectLockedWithTheReason(all, name), 1) << name.toStdString() << " names no control";
        // Every tab, inner ones too, can be chosen, so what it shows can be
        // read.
        for (QTabWidget* tabs : form->findChildren<QTabWidget*>()) {
            test::RevealInTabs(tabs);
            for (int i = 0; i < tabs->count(); ++i) {
                QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(i).center());
                EXPECT_EQ(tabs->currentIndex(), i) << tabs->objectName().toStdString() << " " << i;
            }
        }
        EXPECT_EQ(test::UnreachableControlsOnEveryTab(*form, *form), QStringList()) << title.toStdString();
        form->close();
    }
    // The hidden depth axes keep nothing.
    EXPECT_TRUE(SectionUnkeptAxisSettings(*Chart.DepthAxis()).Nothing);
}

// The other way round: every control still offered in the section's axis
// windows changes the model area and so the saved section (the limits);
// every disabled one, set in code, changes nothing the file keeps, also
// once its window's change has reached the area as closing the window
// makes it.
TEST_F(SectionAxisEditor, EveryControlOfferedSetsTheModelAreaAndTheDisabledOnesNothingTheFileKeeps)
{
    const std::string original = Saved();
    for (const auto& [axis, title] : SideAxes()) {
        SCOPED_TRACE(title.toStdString());
        std::unique_ptr<TFormPlotAxis> form = CreateAxisEditorWindow(&Chart, axis);
        ASSERT_NE(form, nullptr);
        form->show();
        // Every tab shown once, so its pages are filled.
        for (QTabWidget* tabs : form->findChildren<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i)
                tabs->setCurrentIndex(i);
        form->PageAxis->setCurrentWidget(form->TabScales);

        QStringList offered;
        for (QWidget* control : form->findChildren<QWidget*>())
            if (IsSettingControl(*control) && test::OfferedControl(control))
                offered.append(control->objectName());
        offered.sort();
        const bool horizontal = axis->Horizontal();
        // The upper limit moves the right edge or the bottom, the lower one
        // the left edge; the top of the area stays where the section began.
        EXPECT_EQ(offered, horizontal ? QStringList({"BAxisMax", "BAxisMin"}) : QStringList({"BAxisMax"}));

        const auto expectSavedChange = [&](QAbstractButton* Button, double Value, double TModelArea::*Edge) {
            ChangeLimit(Button, Value);
            // What the axis menu does once its window closes.
            Chart.OnAxisPopupAction(&Chart);
            EXPECT_EQ(Chart.ModelArea.*Edge, Value) << Button->objectName().toStdString();
            EXPECT_NE(Saved(), original) << Button->objectName().toStdString();
            Chart.Undo();
            EXPECT_EQ(Saved(), original) << Button->objectName().toStdString();
        };
        if (horizontal) {
            expectSavedChange(form->BAxisMax, 1300, &TModelArea::right);
            expectSavedChange(form->BAxisMin, -50, &TModelArea::left);
        } else {
            expectSavedChange(form->BAxisMax, 260, &TModelArea::bottom);
        }

        int locked = 0;
        QList<TEditorPage*> pages = form->findChildren<TEditorPage*>();
        pages.prepend(form.get());
        for (TEditorPage* page : pages)
            for (QObject* control : page->Binder().Controls()) {
                auto* widget = qobject_cast<QWidget*>(control);
                const QVariant was = page->Binder().TargetValue(control);
                if (!widget || !was.isValid())
                    continue;
                EXPECT_FALSE(widget->isEnabled()) << control->objectName().toStdString();
                page->Binder().SetTargetValue(control, test::OtherValue(was, control));
                Window->repaint();
                Chart.OnAxisPopupAction(&Chart);
                EXPECT_EQ(Saved(), original) << control->objectName().toStdString();
                page->Binder().SetTargetValue(control, was);
                Chart.OnAxisPopupAction(&Chart);
                ++locked;
            }
        // Scales, title, labels, ticks, minor ticks, position and the
        // title's and labels' text pages.
        EXPECT_GE(locked, 30);
        form->close();
    }
}

TEST_F(SectionAxisEditor, AGeneralChartsAxisWindowKeepsEveryControlEnabled)
{
    TChart chart;
    std::unique_ptr<TFormPlotAxis> form = CreateAxisEditorWindow(&chart, chart.LeftAxis());
    ASSERT_NE(form, nullptr);
    form->show();
    for (QWidget* control : form->findChildren<QWidget*>())
        EXPECT_FALSE(IsLockedUnkept(*control)) << control->objectName().toStdString();
    for (QWidget* control : std::initializer_list<QWidget*>{form->CBAutomatic, form->CBInverted, form->BIncre,
                                                            form->BAxisMin, form->BAxisMax, form->TabTitle,
                                                            form->ETitle, form->TabLabels, form->TabTicks,
                                                            form->TabMinorTicks, form->TabPositions}) {
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
        EXPECT_NE(control->toolTip(), SectionUnkeptReason) << control->objectName().toStdString();
    }
}

} // namespace
} // namespace lp
