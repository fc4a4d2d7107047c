// The axis window as a new user meets it on the section chart: Shift +
// right-click on the depth axis, "Options", a new maximum through
// "Change...", and the model area following once the window closes.

#include "chart/editors/ChartEditors.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/engine/PlotAxis.h"
#include "section/editor/PolygonChart.h"

#include "DialogTestUtil.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

namespace lp {
namespace {

// The editors started as the section editor's start-up starts them.
struct SectionAxisEditor : ::testing::Test {
    void SetUp() override { InitializeChartEditors(); }
    void TearDown() override { FinalizeChartEditors(); }
};

TEST_F(SectionAxisEditor, ShiftRightClickOnTheDepthAxisOpensLeftAxisEdit)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 600);
    chart.NewModel({}, false, 0, 1000, 0, 100);
    QWidget* window = chart.Widget();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->repaint();
    const QImage before = window->grab().toImage();
    TChartAxis* depth = chart.LeftAxis();
    QTest::mouseClick(window, Qt::RightButton, Qt::ShiftModifier,
                      QPoint(depth->AxisLinePixel() - 2, depth->CenterPixel()));
    TPopupMenu& menu = chart.PopupMenu();
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
        QTimer::singleShot(0, [] {
            auto* limit = qobject_cast<TAxisMaxMin*>(QApplication::activeModalWidget());
            ASSERT_NE(limit, nullptr);
            limit->EMaximum->setText(QStringLiteral("150"));
            QTest::mouseClick(limit->BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(form->BAxisMax, Qt::LeftButton);
        EXPECT_EQ(depth->Maximum(), 150);
        EXPECT_EQ(form->LAxisMax->text(), QStringLiteral("150"));
        // The section shows the new range at once, before the window closes.
        window->repaint();
        EXPECT_NE(window->grab().toImage(), before);
        EXPECT_DOUBLE_EQ(chart.ModelArea.bottom, 100);
        test::SaveScreenshot(*form, QStringLiteral("axis-dialog-section"));
        form->close();
    });
    menu.Click(0);
    EXPECT_TRUE(seen);
    // Closed: the model area follows the axes.
    EXPECT_DOUBLE_EQ(chart.ModelArea.bottom, 150);
    EXPECT_DOUBLE_EQ(chart.ModelArea.top, 0);
}

} // namespace
} // namespace lp
