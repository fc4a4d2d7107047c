// The circled and pie pages' rules the page walk cannot see: a radius of
// 0 is "Auto", transparency until a colour is chosen, the pie's "Circled"
// tab without its background controls, the other slice's half-typed value
// and its enabling, and "Dark 3D" only in 3-D; what the pages set on a pie
// reads back from the saved chart, for the pie and its clones.

#include "chart/editors/seriestypes/CircledSeriesEditor.h"
#include "chart/editors/seriestypes/PieSeriesEditor.h"

#include "../EditorTestSupport.h"
#include "../ReopenedChart.h"
#include "../axis/AxisDialogTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/chart/LegendPage.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotRegistry.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

struct TPieChart {
    TPieChart()
    {
        Pie = new TPieSeries(&Chart);
        Chart.AddSeries(Pie);
        Pie->FillSampleValues(6);
    }
    test::TEditorChart Chart;
    TPieSeries* Pie;
};

void TypeNumber(QSpinBox* Spin, const QString& Text)
{
    Spin->setFocus();
    Spin->selectAll();
    QTest::keyClicks(Spin, Text);
}

TEST(CircledSeriesEditor, ARadiusOfZeroIsAutoAndAutoSetsZero)
{
    TPieChart chart;
    TCircledSeriesEditor page;
    page.SetTarget(chart.Pie);
    page.show();
    EXPECT_TRUE(page.CBAutoXR->isChecked());
    TypeNumber(page.UDX, QStringLiteral("120"));
    EXPECT_EQ(chart.Pie->CustomXRadius(), 120);
    EXPECT_FALSE(page.CBAutoXR->isChecked());
    TypeNumber(page.UDX, QStringLiteral("0"));
    EXPECT_EQ(chart.Pie->CustomXRadius(), 0);
    EXPECT_TRUE(page.CBAutoXR->isChecked());
    TypeNumber(page.UDY, QStringLiteral("80"));
    EXPECT_FALSE(page.CBAutoYR->isChecked());
    test::ClickNearLeftEdge(page.CBAutoYR);
    EXPECT_EQ(chart.Pie->CustomYRadius(), 0);
    EXPECT_EQ(page.UDY->value(), 0);
    // Unticked, the circle keeps a size of its own.
    test::ClickNearLeftEdge(page.CBAutoYR);
    EXPECT_GT(chart.Pie->CustomYRadius(), 0);
}

TEST(CircledSeriesEditor, TransparentWaitsForABackgroundColour)
{
    TPieChart chart;
    chart.Pie->SetCircleBackColor(0x00FFFF);
    TCircledSeriesEditor page;
    page.SetTarget(chart.Pie);
    page.show();
    ASSERT_FALSE(page.CBTransp->isChecked());
    ASSERT_TRUE(page.CBTransp->isEnabled());
    test::ClickNearLeftEdge(page.CBTransp);
    EXPECT_EQ(chart.Pie->CircleBackColor(), static_cast<TColor>(0x20000000));
    EXPECT_FALSE(chart.Pie->Gradient()->Visible());
    EXPECT_TRUE(page.CBTransp->isChecked());
    EXPECT_FALSE(page.CBTransp->isEnabled());
    test::TColorDialogAnswer answer;
    answer.Answer = 0x3366CC;
    QTest::mouseClick(page.BBack, Qt::LeftButton);
    EXPECT_EQ(chart.Pie->CircleBackColor(), 0x3366CC);
    EXPECT_FALSE(page.CBTransp->isChecked());
    EXPECT_TRUE(page.CBTransp->isEnabled());
}

TEST(PieSeriesEditor, TheCircledTabComesOnceWithoutItsBackgroundControls)
{
    TPieChart chart;
    TFormPlotSeries host;
    host.SetTarget(chart.Pie);
    host.show();
    auto* page = qobject_cast<TPieSeriesEditor*>(host.SeriesEditor());
    ASSERT_NE(page, nullptr);
    page->hide();
    page->show();
    int circled = 0;
    for (int i = 0; i < host.PageSeries->count(); ++i)
        circled += host.PageSeries->tabText(i) == QStringLiteral("Circled");
    EXPECT_EQ(circled, 1);
    ASSERT_NE(page->CircledEditor, nullptr);
    host.PageSeries->setCurrentIndex(1);
    EXPECT_TRUE(page->CircledEditor->CBCircled->isVisible());
    for (QWidget* hidden : std::initializer_list<QWidget*>{page->CircledEditor->BBack, page->CircledEditor->CBTransp,
                                                           page->CircledEditor->BGradient})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
}

TEST(PieSeriesEditor, TheOtherSliceTakesNumbersOnlyAndItsEditsWaitForAStyle)
{
    TPieChart chart;
    TPieSeriesEditor page;
    page.SetTarget(chart.Pie);
    page.show();
    page.PageControl1->setCurrentIndex(1);
    EXPECT_FALSE(page.EOtherValue->isEnabled());
    EXPECT_FALSE(page.EOtherLabel->isEnabled());
    page.CBOther->setFocus();
    QTest::keyClick(page.CBOther, Qt::Key_Down);
    ASSERT_EQ(chart.Pie->OtherSlice()->Style(), TPieOtherSlice::poBelowPercent);
    ASSERT_TRUE(page.EOtherValue->isEnabled());
    EXPECT_TRUE(page.EOtherLabel->isEnabled());

    test::TMessages messages;
    page.EOtherValue->selectAll();
    QTest::keyClick(page.EOtherValue, Qt::Key_Delete);
    QTest::keyClicks(page.EOtherValue, QStringLiteral("-"));
    QTest::keyClicks(page.EOtherValue, QStringLiteral("2.5e"));
    EXPECT_EQ(chart.Pie->OtherSlice()->Value(), -2.5) << "the half-typed exponent keeps the value before";
    QTest::keyClicks(page.EOtherValue, QStringLiteral("1"));
    EXPECT_EQ(chart.Pie->OtherSlice()->Value(), -25.0);
    QTest::keyClicks(page.EOtherValue, QStringLiteral("x"));
    EXPECT_EQ(chart.Pie->OtherSlice()->Value(), -25.0);
    EXPECT_TRUE(messages.Texts.isEmpty());

    page.EOtherLabel->selectAll();
    QTest::keyClicks(page.EOtherLabel, QStringLiteral("Rest"));
    EXPECT_EQ(chart.Pie->OtherSlice()->Text(), QStringLiteral("Rest"));

    // The other slice's legend in the legend page.
    bool shown = false;
    test::OnModal<TFormPlotLegend>([&shown, &chart](TFormPlotLegend& Form) {
        shown = true;
        EXPECT_EQ(Form.Legend(), chart.Pie->OtherSlice()->Legend());
        Form.reject();
    });
    QTest::mouseClick(page.Button2, Qt::LeftButton);
    EXPECT_TRUE(shown);
}

// Pie page, Group Slices, "Legend...", Visible ticked or cleared: the
// reopened chart's other-slice legend shows or hides as the saved one did.
TEST(PieSeriesEditor, TheOtherSliceLegendReadsBackVisibleOrHidden)
{
    for (const bool Visible : {true, false}) {
        TPieChart chart;
        TPieSeriesEditor page;
        page.SetTarget(chart.Pie);
        page.show();
        page.PageControl1->setCurrentIndex(1);
        page.CBOther->setFocus();
        QTest::keyClick(page.CBOther, Qt::Key_Down);
        ASSERT_EQ(chart.Pie->OtherSlice()->Style(), TPieOtherSlice::poBelowPercent);
        test::OnModal<TFormPlotLegend>([Visible](TFormPlotLegend& Form) {
            if (Form.CBShow->isChecked() != Visible)
                test::ClickNearLeftEdge(Form.CBShow);
            Form.accept();
        });
        QTest::mouseClick(page.Button2, Qt::LeftButton);
        ASSERT_EQ(chart.Pie->OtherSlice()->Legend()->Visible(), Visible);
        for (const bool Text : {false, true}) {
            const std::unique_ptr<TChart> reopened = test::ReopenedChart(chart.Chart, Text);
            ASSERT_EQ(reopened->SeriesCount(), 1);
            auto* pie = qobject_cast<TPieSeries*>(reopened->Series(0));
            ASSERT_NE(pie, nullptr);
            EXPECT_EQ(pie->OtherSlice()->Style(), TPieOtherSlice::poBelowPercent);
            EXPECT_EQ(pie->OtherSlice()->Legend()->Visible(), Visible) << "text form " << Text;
        }
    }
}

// Circled page, horizontal radius 15 on a pie; another pie added and cloned
// twice, a clone moved to the top of the list: every pie holds 15 (the
// setting reaches the pies of the chart), in the open chart and in the
// reopened one, where reading the first pie's radius spreads it again.
// Auto (radius 0) on a clone reaches every pie as well.
TEST(CircledSeriesEditor, TheRadiusReachesEveryPieAndReadsBackForEach)
{
    TPieChart chart;
    TCircledSeriesEditor page;
    page.SetTarget(chart.Pie);
    page.show();
    TypeNumber(page.UDX, QStringLiteral("15"));
    ASSERT_EQ(chart.Pie->CustomXRadius(), 15);
    TChartSeries* added = CreateNewSeries(&chart.Chart, &chart.Chart, &TPieSeries::staticMetaObject);
    added->FillSampleValues(3);
    CloneChartSeries(added);
    TChartSeries* clone = CloneChartSeries(added);
    chart.Chart.ExchangeSeries(0, 3);
    ASSERT_EQ(chart.Chart.Series(0), clone);
    const auto radii = [](TCustomChart& Chart) {
        std::vector<int> Result;
        for (int i = 0; i < Chart.SeriesCount(); ++i)
            Result.push_back(static_cast<TCircledSeries*>(Chart.Series(i))->CustomXRadius());
        return Result;
    };
    EXPECT_EQ(radii(chart.Chart), (std::vector<int>{15, 15, 15, 15}));
    for (const bool Text : {false, true})
        EXPECT_EQ(radii(*test::ReopenedChart(chart.Chart, Text)), (std::vector<int>{15, 15, 15, 15}))
            << "text form " << Text;

    page.SetTarget(clone);
    test::ClickNearLeftEdge(page.CBAutoXR);
    ASSERT_EQ(radii(chart.Chart), (std::vector<int>{0, 0, 0, 0}));
    for (const bool Text : {false, true})
        EXPECT_EQ(radii(*test::ReopenedChart(chart.Chart, Text)), (std::vector<int>{0, 0, 0, 0}))
            << "text form " << Text;
}

TEST(PieSeriesEditor, DarkThreeDOnlyInThreeD)
{
    TPieChart chart;
    chart.Chart.SetView3D(false);
    TPieSeriesEditor page;
    page.SetTarget(chart.Pie);
    page.show();
    EXPECT_FALSE(page.CBDark3d->isEnabled());
    chart.Chart.SetView3D(true);
    page.Refresh();
    EXPECT_TRUE(page.CBDark3d->isEnabled());
    page.PageControl1->setCurrentIndex(2);
    test::ClickNearLeftEdge(page.CBColorEach);
    EXPECT_EQ(page.BColor->isEnabled(), !chart.Pie->ColorEachPoint());
}

} // namespace
} // namespace lp
