// The bar page and its "Stack" tab on a real chart, as a user drives
// them: opening writes nothing, style-dependent enabling, the gradient
// button choosing the gradient style and a cancelled gradient editor, the
// extra tab added once, the stack group and origin, and the stack tab
// deleted while one of its fields has the focus.

#include "chart/editors/seriestypes/BarSeriesEditor.h"
#include "chart/editors/seriestypes/StackBarSeriesEditor.h"

#include "../EditorTestSupport.h"
#include "../series/SeriesPageTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/engine/PlotBarSeries.h"

#include <QtCore/QPointer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TBarChart {
    TBarChart()
    {
        Bar = new TBarSeries(&Chart);
        Chart.AddSeries(Bar);
        Bar->FillSampleValues(5);
    }
    test::TEditorChart Chart;
    TBarSeries* Bar;
};

// The bar page as the series page shows it.
struct THostedBarPage : TBarChart {
    THostedBarPage()
    {
        Before = test::DumpProperties(&Chart);
        Host.SetTarget(Bar);
        Host.show();
        Page = qobject_cast<TBarSeriesEditor*>(Host.SeriesEditor());
    }
    int TabsCaptioned(const QString& Caption) const
    {
        return static_cast<int>(test::SeriesPageTabs(Host).count(Caption));
    }
    QStringList Before;
    TFormPlotSeries Host;
    TBarSeriesEditor* Page = nullptr;
};

void ChooseStyle(QComboBox* Combo, int Style)
{
    Combo->setFocus();
    while (Combo->currentIndex() < Style)
        QTest::keyClick(Combo, Qt::Key_Down);
    while (Combo->currentIndex() > Style)
        QTest::keyClick(Combo, Qt::Key_Up);
}

TEST(BarSeriesEditor, OpeningWritesNothingAndAddsTheStackTabOnce)
{
    THostedBarPage hosted;
    ASSERT_NE(hosted.Page, nullptr);
    EXPECT_EQ(test::DumpProperties(&hosted.Chart), hosted.Before);
    EXPECT_EQ(hosted.Host.PageSeries->tabText(1), QStringLiteral("Stack"));
    hosted.Page->hide();
    hosted.Page->show();
    hosted.Page->Refresh();
    EXPECT_EQ(hosted.TabsCaptioned(QStringLiteral("Stack")), 1);
    ASSERT_NE(hosted.Page->StackEditor, nullptr);
    EXPECT_EQ(hosted.Page->StackEditor->Target(), hosted.Bar);
    EXPECT_EQ(test::DumpProperties(&hosted.Chart), hosted.Before);
}

TEST(BarSeriesEditor, StylesEnableBevelAndGradient)
{
    THostedBarPage hosted;
    TBarSeriesEditor& page = *hosted.Page;
    hosted.Host.PageSeries->setCurrentIndex(0);
    EXPECT_TRUE(page.BGradient->isEnabled());
    EXPECT_FALSE(page.UDBevel->isEnabled());
    EXPECT_FALSE(page.LBevel->isEnabled());
    ChooseStyle(page.CBBarStyle, TCustomBarSeries::bsBevel);
    EXPECT_EQ(hosted.Bar->BarStyle(), TCustomBarSeries::bsBevel);
    EXPECT_TRUE(page.UDBevel->isEnabled());
    EXPECT_TRUE(page.LBevel->isEnabled());
    EXPECT_FALSE(page.BGradient->isEnabled());
    ChooseStyle(page.CBBarStyle, TCustomBarSeries::bsRectGradient);
    EXPECT_FALSE(page.UDBevel->isEnabled());
    EXPECT_TRUE(page.BGradient->isEnabled());
    ChooseStyle(page.CBBarStyle, TCustomBarSeries::bsCone);
    EXPECT_FALSE(page.BGradient->isEnabled());
    // The colour button waits while each bar has its own colour.
    test::ClickNearLeftEdge(page.CBColorEach);
    EXPECT_TRUE(hosted.Bar->ColorEachPoint());
    EXPECT_FALSE(page.BBarColor->isEnabled());
}

TEST(BarSeriesEditor, TheGradientButtonChoosesTheGradientStyleAndCancelKeepsTheGradient)
{
    THostedBarPage hosted;
    TBarSeriesEditor& page = *hosted.Page;
    hosted.Host.PageSeries->setCurrentIndex(0);
    hosted.Bar->SetBarStyle(TCustomBarSeries::bsPyramid);
    hosted.Bar->Gradient()->SetStartColor(0x0000FF);
    page.Refresh();
    // A pyramid shows no gradient: the button waits, and its command (sent
    // as the button would) chooses the gradient style before the editor.
    EXPECT_FALSE(page.BGradient->isEnabled());
    const QStringList gradientBefore = test::DumpProperties(hosted.Bar->Gradient());
    test::OnModal<TPlotGradientEditor>([](TPlotGradientEditor& Editor) {
        Editor.Gradient()->SetStartColor(0x00FF00);
        Editor.Gradient()->SetBalance(20);
        QTest::mouseClick(Editor.BCancel, Qt::LeftButton);
    });
    Q_EMIT page.BGradient->clicked(false);
    EXPECT_EQ(hosted.Bar->BarStyle(), TCustomBarSeries::bsRectGradient);
    EXPECT_EQ(page.CBBarStyle->currentIndex(), TCustomBarSeries::bsRectGradient);
    EXPECT_EQ(test::DumpProperties(hosted.Bar->Gradient()), gradientBefore);

    const int paints = hosted.Chart.Invalidations;
    test::OnModal<TPlotGradientEditor>([](TPlotGradientEditor& Editor) {
        Editor.Gradient()->SetStartColor(0x00FF00);
        QTest::mouseClick(Editor.BOk, Qt::LeftButton);
    });
    QTest::mouseClick(page.BGradient, Qt::LeftButton);
    EXPECT_EQ(hosted.Bar->Gradient()->StartColor(), 0x00FF00);
    EXPECT_GT(hosted.Chart.Invalidations, paints);
}

TEST(StackBarSeriesEditor, TheGroupOnlyForStackedModesAndTheOriginOnlyForNumbers)
{
    TBarChart chart;
    chart.Bar->SetUseYOrigin(false);
    TStackBarSeriesEditor page;
    page.SetTarget(chart.Bar);
    page.show();
    EXPECT_FALSE(page.UDGroup->isEnabled());
    EXPECT_FALSE(page.EYOrigin->isEnabled());
    for (int mode = 0; mode < 6; ++mode) {
        page.RGMultiBar->button(mode)->click();
        EXPECT_EQ(static_cast<int>(chart.Bar->MultiBar()), mode);
        const bool stacked = mode == TCustomBarSeries::mbStacked || mode == TCustomBarSeries::mbStacked100;
        EXPECT_EQ(page.UDGroup->isEnabled(), stacked) << mode;
        EXPECT_EQ(page.LGroup->isEnabled(), stacked) << mode;
    }
    test::ClickNearLeftEdge(page.CBYOrigin);
    EXPECT_TRUE(chart.Bar->UseYOrigin());
    ASSERT_TRUE(page.EYOrigin->isEnabled());
    page.EYOrigin->selectAll();
    QTest::keyClicks(page.EYOrigin, QStringLiteral("-"));
    EXPECT_EQ(chart.Bar->YOrigin(), 0.0) << "a lone minus is no number yet";
    QTest::keyClicks(page.EYOrigin, QStringLiteral("12.5"));
    EXPECT_EQ(chart.Bar->YOrigin(), -12.5);
    QTest::keyClicks(page.EYOrigin, QStringLiteral("x"));
    EXPECT_EQ(chart.Bar->YOrigin(), -12.5);
    EXPECT_EQ(page.EYOrigin->text(), QStringLiteral("-12.5x"));
}

// Types Text into Spin's field as a user does, replacing what it shows; the
// focus stays in the field.
void TypeIntoStackField(QSpinBox* Spin, const QString& Text)
{
    QLineEdit* field = Spin->findChild<QLineEdit*>();
    Spin->setFocus();
    field->selectAll();
    QTest::keyClicks(field, Text);
}

// The bar page went with its "Stack" tab while the focus was in the stack
// group just set, and the program crashed: the field's focus-out reached
// the stack page's binder, already destroyed. The series deleted from its
// chart takes the page and its tab away, with the focus in the group and
// then in the origin with a number half typed: nothing runs into the pages
// it took, and the series page stays.
TEST(StackBarSeriesEditor, TheSeriesDeletedWhileAStackFieldHasTheFocus)
{
    for (const bool inOrigin : {false, true}) {
        THostedBarPage hosted;
        ASSERT_NE(hosted.Page, nullptr);
        hosted.Host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&hosted.Host));
        const QPointer<TEditorPage> stackPage = hosted.Page->StackEditor;
        auto* stack = qobject_cast<TStackBarSeriesEditor*>(stackPage.data());
        ASSERT_NE(stack, nullptr);
        test::ClickTab(hosted.Host.PageSeries, stack->parentWidget());
        stack->RGMultiBar->button(TCustomBarSeries::mbStacked)->click();
        TypeIntoStackField(stack->UDGroup, QStringLiteral("3"));
        EXPECT_EQ(hosted.Bar->StackGroup(), 3);
        QWidget* focused = stack->UDGroup;
        if (inOrigin) {
            if (!stack->CBYOrigin->isChecked())
                test::ClickNearLeftEdge(stack->CBYOrigin);
            stack->EYOrigin->setFocus();
            stack->EYOrigin->selectAll();
            QTest::keyClicks(stack->EYOrigin, QStringLiteral("-"));
            focused = stack->EYOrigin;
        }
        ASSERT_EQ(QApplication::focusWidget(), focused) << inOrigin;
        const QPointer<TEditorPage> page = hosted.Page;
        delete hosted.Bar;
        EXPECT_TRUE(page.isNull()) << inOrigin;
        EXPECT_TRUE(stackPage.isNull()) << inOrigin;
        EXPECT_EQ(hosted.Host.SeriesEditor(), nullptr) << inOrigin;
        EXPECT_TRUE(hosted.Host.isVisible()) << inOrigin;
    }
}

// The "Stack" tab's page shown alone and deleted while its group or its
// origin has the focus, a value typed: what was written is kept, the half
// typed origin is dropped.
TEST(StackBarSeriesEditor, DeletedAloneWhileAFieldHasTheFocus)
{
    for (const bool inOrigin : {false, true}) {
        TBarChart chart;
        chart.Bar->SetMultiBar(TCustomBarSeries::mbStacked);
        chart.Bar->SetUseYOrigin(true);
        chart.Bar->SetYOrigin(2);
        auto* page = new TStackBarSeriesEditor;
        page->SetTarget(chart.Bar);
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page));
        TypeIntoStackField(page->UDGroup, QStringLiteral("4"));
        if (inOrigin) {
            page->EYOrigin->setFocus();
            page->EYOrigin->selectAll();
            QTest::keyClicks(page->EYOrigin, QStringLiteral("-"));
        }
        delete page;
        EXPECT_EQ(chart.Bar->StackGroup(), 4) << inOrigin;
        EXPECT_EQ(chart.Bar->YOrigin(), 2.0) << inOrigin;
    }
}

} // namespace
} // namespace lp
