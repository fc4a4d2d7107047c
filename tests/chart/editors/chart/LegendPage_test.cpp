// The legend page and "Legend options" as a user meets them: the legend's
// menu opens the dialog on a shown chart, changes repaint at once, closing
// without a change leaves the legend as it was; check boxes, custom place,
// margin by side and units.

#include "chart/editors/chart/LegendPage.h"

#include "DialogTestUtil.h"
#include "../EditorTestSupport.h"
#include "chart/editors/effects/SymbolEditor.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotSeries.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

struct LegendPageTest : ::testing::Test {
    test::TEditorSettingsFolder Folder;
    TEditorChart Chart;
    TFormPlotLegend Page;
    TChartLegend* Legend = Chart.Legend();

    void Open()
    {
        Page.SetTarget(Legend);
        Page.show();
    }
};

TEST_F(LegendPageTest, NoCheckBoxesKeepsTheRadioStyle)
{
    Legend->SetCheckBoxes(true);
    Legend->SetCheckBoxesStyle(cbsRadio);
    Open();
    EXPECT_EQ(Page.CBCheckBoxes->currentIndex(), 2);
    Page.CBCheckBoxes->setCurrentIndex(0);
    EXPECT_FALSE(Legend->CheckBoxes());
    EXPECT_EQ(Legend->CheckBoxesStyle(), cbsRadio);
    Page.CBCheckBoxes->setCurrentIndex(1);
    EXPECT_TRUE(Legend->CheckBoxes());
    EXPECT_EQ(Legend->CheckBoxesStyle(), cbsCheck);
}

TEST_F(LegendPageTest, CustomPlaceDisablesMarginAndOffsetAndUnticksResize)
{
    Open();
    Page.PageControl1->setCurrentIndex(1);
    ASSERT_TRUE(Legend->ResizeChart());
    EXPECT_FALSE(Page.UDLeft->isEnabled());
    test::ClickNearLeftEdge(Page.CBCustPos);
    EXPECT_TRUE(Legend->CustomPosition());
    EXPECT_FALSE(Legend->ResizeChart());
    EXPECT_FALSE(Page.CBResizeChart->isChecked());
    EXPECT_FALSE(Page.UDMargin->isEnabled());
    EXPECT_FALSE(Page.UDTopPos->isEnabled());
    EXPECT_FALSE(Page.CBResizeChart->isEnabled());
    EXPECT_TRUE(Page.UDLeft->isEnabled());
    EXPECT_TRUE(Page.CBPosPercent->isEnabled());
    test::SaveScreenshot(Page, QStringLiteral("page-legend-position"));
    test::ClickNearLeftEdge(Page.CBCustPos);
    EXPECT_TRUE(Page.UDMargin->isEnabled());
    EXPECT_FALSE(Page.UDLeft->isEnabled());
}

TEST_F(LegendPageTest, TheMarginFollowsTheSideTheLegendIsOn)
{
    Legend->SetAlignment(TCustomChartLegend::laLeft);
    Legend->SetHorizMargin(12);
    Legend->SetVertMargin(34);
    Open();
    Page.PageControl1->setCurrentIndex(1);
    EXPECT_EQ(Page.UDMargin->value(), 12);
    // Moved to the top, the box shows the margin it now writes.
    test::ClickNearLeftEdge(Page.RGPosition->button(2));
    EXPECT_EQ(Legend->Alignment(), TCustomChartLegend::laTop);
    EXPECT_EQ(Page.UDMargin->value(), 34);
    Page.UDMargin->setValue(40);
    EXPECT_EQ(Legend->VertMargin(), 40);
    EXPECT_EQ(Legend->HorizMargin(), 12);
}

TEST_F(LegendPageTest, PercentReloadsTheCustomPlaceFromTheOtherUnit)
{
    Legend->SetCustomPosition(true);
    Legend->SetLeft(300);
    Legend->SetTop(200);
    Legend->SetLeftPercent(15);
    Legend->SetTopPercent(25);
    Legend->SetPositionUnits(TCustomPlotPanel::muPixels);
    Open();
    EXPECT_EQ(Page.UDLeft->value(), 300);
    test::ClickNearLeftEdge(Page.CBPosPercent);
    EXPECT_EQ(Legend->PositionUnits(), TCustomPlotPanel::muPercent);
    EXPECT_EQ(Page.UDLeft->value(), 15);
    EXPECT_EQ(Page.UDTop->value(), 25);
    Page.UDLeft->setValue(20);
    EXPECT_EQ(Legend->LeftPercent(), 20);
    EXPECT_EQ(Legend->Left(), 300);
}

TEST_F(LegendPageTest, TheTitleMemoStoresItsLines)
{
    Open();
    Page.PageControl1->setCurrentIndex(3);
    Page.MemoText->setFocus();
    QTest::keyClicks(Page.MemoText, QStringLiteral("Logs"));
    QTest::keyClick(Page.MemoText, Qt::Key_Return);
    QTest::keyClicks(Page.MemoText, QStringLiteral("of well 3"));
    ASSERT_EQ(Legend->Title()->Text()->Count(), 2);
    EXPECT_EQ(Legend->Title()->Text()->Strings(0), QStringLiteral("Logs"));
    EXPECT_EQ(Legend->Title()->Text()->Strings(1), QStringLiteral("of well 3"));
    EXPECT_EQ(Page.MemoText->toPlainText(), QStringLiteral("Logs\nof well 3"));
}

TEST_F(LegendPageTest, TheLegendAndTitleFormatTabsFollowTheirOwnTabs)
{
    Open();
    QStringList outer;
    for (int i = 0; i < Page.PageControl1->count(); ++i)
        outer.append(Page.PageControl1->tabText(i));
    EXPECT_EQ(outer, (QStringList{"Style", "Position", "Symbols", "Title", "Format", "Text", "Gradient", "Shadow"}));
    QStringList inner;
    for (int i = 0; i < Page.PageControl2->count(); ++i)
        inner.append(Page.PageControl2->tabText(i));
    EXPECT_EQ(inner, (QStringList{"Options", "Format", "Text", "Gradient", "Shadow"}));
    EXPECT_EQ(Page.SymbolEditor->Symbol(), Legend->Symbol());
}

// A shown chart whose legend lists two series.
struct LegendOptionsTest : ::testing::Test {
    test::TEditorSettingsFolder Folder;
    TEditorChart Chart;
    QWidget* Window = nullptr;

    void SetUp() override
    {
        Chart.SetBounds(0, 0, 480, 320);
        Chart.SetView3D(false);
        for (int s = 0; s < 2; ++s) {
            auto* series = new TLineSeries(&Chart);
            series->SetTitle(QStringLiteral("Log ") + QString::number(s + 1));
            Chart.AddSeries(series);
            for (int i = 0; i < 5; ++i)
                series->AddXY(i, i * (s + 1));
        }
        Window = Chart.Widget();
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
        Window->repaint();
    }
    // Shift + right-click on the legend, then "Options"; While runs on the
    // open dialog, which is then closed with Escape.
    void OpenOptions(const std::function<void(TFormPlotLegend&)>& While)
    {
        const TRect rect = Chart.Legend()->RectLegend();
        const QPoint inside((rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2);
        QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, inside);
        TPopupMenu& menu = Chart.PopupMenu();
        ASSERT_GE(menu.Count(), 1);
        ASSERT_EQ(menu.Item(0).Caption, QStringLiteral("Options"));
        ASSERT_TRUE(menu.Item(0).Enabled);
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TFormPlotLegend*>(QApplication::activeModalWidget());
            if (!form)
                return;
            opened = true;
            While(*form);
            QTest::keyClick(form, Qt::Key_Escape);
        });
        menu.Click(0);
        EXPECT_TRUE(opened);
    }
};

TEST_F(LegendOptionsTest, TheLegendMenuOpensLegendOptionsAndChangesShowAtOnce)
{
    OpenOptions([this](TFormPlotLegend& Form) {
        EXPECT_EQ(Form.windowTitle(), QStringLiteral("Legend options"));
        EXPECT_EQ(Form.Legend(), Chart.Legend());
        int paints = Chart.Invalidations;
        test::ClickNearLeftEdge(Form.CBInverted);
        EXPECT_TRUE(Chart.Legend()->Inverted());
        EXPECT_GT(Chart.Invalidations, paints);
        Form.PageControl1->setCurrentIndex(1);
        paints = Chart.Invalidations;
        test::ClickNearLeftEdge(Form.RGPosition->button(0));
        EXPECT_EQ(Chart.Legend()->Alignment(), TCustomChartLegend::laLeft);
        EXPECT_GT(Chart.Invalidations, paints);
        Form.PageControl1->setCurrentIndex(0);
        // A dialog of its own: a default "Close" button at its foot.
        auto* close = Form.findChild<QPushButton*>(QStringLiteral("BClose"));
        ASSERT_NE(close, nullptr);
        EXPECT_TRUE(close->isDefault());
        EXPECT_TRUE(close->isVisible());
        test::SaveScreenshot(Form, QStringLiteral("legend-options"));
    });
    // Closing keeps what was changed.
    EXPECT_TRUE(Chart.Legend()->Inverted());
    EXPECT_EQ(Chart.Legend()->Alignment(), TCustomChartLegend::laLeft);
}

TEST_F(LegendOptionsTest, ClosingWithoutAChangeLeavesEveryLegendPropertyAsItWas)
{
    const QStringList before = test::DumpProperties(Chart.Legend());
    OpenOptions([](TFormPlotLegend& Form) {
        for (int i = 0; i < Form.PageControl1->count(); ++i)
            Form.PageControl1->setCurrentIndex(i);
    });
    EXPECT_EQ(test::DumpProperties(Chart.Legend()), before);
}

} // namespace
} // namespace lp
