// The bar page and its "Stack" tab on a real chart, as a user drives
// them: opening writes nothing, style-dependent enabling, the gradient
// button choosing the gradient style and a cancelled gradient editor, the
// extra tab added once, and the stack group and origin.

#include "chart/editors/seriestypes/BarSeriesEditor.h"
#include "chart/editors/seriestypes/StackBarSeriesEditor.h"

#include "../EditorTestSupport.h"
#include "../series/SeriesPageTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/engine/PlotBarSeries.h"

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

} // namespace
} // namespace lp
