// The area, fast line, volume, Gantt, arrow, bubble, shape and candle
// pages' rules the page walk cannot see: enabling, the tabs they add once,
// the pen editor's colour becoming the series colour, colour-each on
// arrows, the shape's corners only with two points and its text, and the
// candle styles' options.

#include "chart/editors/seriestypes/AreaSeriesEditor.h"
#include "chart/editors/seriestypes/ArrowSeriesEditor.h"
#include "chart/editors/seriestypes/BubbleSeriesEditor.h"
#include "chart/editors/seriestypes/CandleEditor.h"
#include "chart/editors/seriestypes/ChartShapeEditor.h"
#include "chart/editors/seriestypes/FastLineSeriesEditor.h"
#include "chart/editors/seriestypes/GanttSeriesEditor.h"
#include "chart/editors/seriestypes/VolumeSeriesEditor.h"

#include "../EditorTestSupport.h"
#include "../series/SeriesPageTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "chart/extensions/planning/PlotGantt.h"
#include "chart/extensions/shapes/PlotArrow.h"
#include "chart/extensions/shapes/PlotBubble.h"
#include "chart/extensions/shapes/PlotChartShape.h"
#include "platform/core/StringList.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A chart with one series of type TSeries, with sample points.
template <class TSeries>
struct TTypeChart {
    explicit TTypeChart(int Points = 6)
    {
        Series = new TSeries(&Chart);
        Chart.AddSeries(Series);
        if (Points > 0)
            Series->FillSampleValues(Points);
    }
    test::TEditorChart Chart;
    TSeries* Series;
};

TEST(AreaSeriesEditor, ColourOriginStairsAndItsTwoTabsOnce)
{
    TTypeChart<TAreaSeries> chart;
    chart.Series->SetSeriesColor(0x0000FF);
    test::TShownPage<TAreaSeriesEditor> shown(chart.Series);
    TAreaSeriesEditor& page = shown.Page;
    EXPECT_EQ(page.BAreaColor->Color(), 0x0000FF) << "an automatic area colour shows the series colour";
    chart.Series->SetAreaColor(0x00FF00);
    page.Refresh();
    EXPECT_EQ(page.BAreaColor->Color(), 0x00FF00);
    EXPECT_FALSE(page.CBInvStairs->isEnabled());
    test::ClickNearLeftEdge(page.CBStairs);
    EXPECT_TRUE(page.CBInvStairs->isEnabled());
    test::ClickNearLeftEdge(page.CBColorEach);
    EXPECT_FALSE(page.BAreaColor->isEnabled());

    // The origin: whole numbers within the up-down's range.
    EXPECT_FALSE(page.UDOrigin->isEnabled());
    test::ClickNearLeftEdge(page.CBUseOrigin);
    ASSERT_TRUE(page.UDOrigin->isEnabled());
    page.UDOrigin->setFocus();
    page.UDOrigin->selectAll();
    QTest::keyClicks(page.UDOrigin, QStringLiteral("99999"));
    EXPECT_LE(chart.Series->YOrigin(), 30000.0);
    chart.Series->SetYOrigin(1e9);
    page.Refresh();
    EXPECT_EQ(page.UDOrigin->value(), 30000);
    EXPECT_EQ(chart.Series->YOrigin(), 1e9) << "showing clamped writes nothing back";

    TFormPlotSeries host;
    host.SetTarget(chart.Series);
    host.show();
    auto* hosted = qobject_cast<TAreaSeriesEditor*>(host.SeriesEditor());
    ASSERT_NE(hosted, nullptr);
    hosted->hide();
    hosted->show();
    const QStringList tabs = test::SeriesPageTabs(host);
    EXPECT_EQ(tabs.count(QStringLiteral("Point")), 1);
    EXPECT_EQ(tabs.count(QStringLiteral("Gradient")), 1);
    ASSERT_NE(hosted->GradientEditor, nullptr);
    EXPECT_EQ(hosted->GradientEditor->Target(), chart.Series->GetFillGradient());
}

TEST(FastLineSeriesEditor, ThePenColourBecomesTheSeriesColour)
{
    TTypeChart<TFastLineSeries> chart;
    test::TShownPage<TFastLineSeriesEditor> shown(chart.Series);
    TPenDialog* pen = shown.Page.PenDialog();
    ASSERT_NE(pen, nullptr);
    EXPECT_FALSE(pen->BOk->isVisible());
    EXPECT_FALSE(pen->BCancel->isVisible());
    EXPECT_EQ(pen->ThePen, chart.Series->LinePen());
    const int paints = chart.Chart.Invalidations;
    test::TColorDialogAnswer answer;
    answer.Answer = 0x3366CC;
    QTest::mouseClick(pen->BColor, Qt::LeftButton);
    EXPECT_EQ(chart.Series->LinePen()->Color(), 0x3366CC);
    EXPECT_EQ(chart.Series->SeriesColor(), 0x3366CC);
    EXPECT_GT(chart.Chart.Invalidations, paints);
    EXPECT_FALSE(shown.Page.CBInvStairs->isEnabled());
    test::ClickNearLeftEdge(shown.Page.CBStairs);
    EXPECT_TRUE(chart.Series->Stairs());
    EXPECT_TRUE(shown.Page.CBInvStairs->isEnabled());
}

TEST(VolumeSeriesEditor, ColourEachWaitsTheColourAndTheOriginTakesNumbersOnly)
{
    TTypeChart<TVolumeSeries> chart;
    test::TShownPage<TVolumeSeriesEditor> shown(chart.Series);
    TVolumeSeriesEditor& page = shown.Page;
    ASSERT_NE(page.PenDialog(), nullptr);
    test::ClickNearLeftEdge(page.CBColorEach);
    EXPECT_EQ(page.PenDialog()->BColor->isEnabled(), !chart.Series->ColorEachPoint());
    EXPECT_FALSE(page.EOrigin->isEnabled());
    test::ClickNearLeftEdge(page.CBUseOrigin);
    ASSERT_TRUE(page.EOrigin->isEnabled());
    page.EOrigin->selectAll();
    QTest::keyClicks(page.EOrigin, QStringLiteral("abc"));
    EXPECT_EQ(chart.Series->YOrigin(), 0.0);
    page.EOrigin->selectAll();
    QTest::keyClicks(page.EOrigin, QStringLiteral("7.5"));
    EXPECT_EQ(chart.Series->YOrigin(), 7.5);
}

TEST(GanttSeriesEditor, TheGanttTabComesOnceWithoutSizes)
{
    TTypeChart<TGanttSeries> chart;
    TFormPlotSeries host;
    host.SetTarget(chart.Series);
    host.show();
    auto* page = qobject_cast<TGanttSeriesEditor*>(host.SeriesEditor());
    ASSERT_NE(page, nullptr);
    page->hide();
    page->show();
    EXPECT_EQ(test::SeriesPageTabs(host).count(QStringLiteral("Gantt")), 1);
    auto* pointer = qobject_cast<TSeriesPointerEditor*>(page->PointerEditor.data());
    ASSERT_NE(pointer, nullptr);
    host.PageSeries->setCurrentIndex(1);
    EXPECT_TRUE(pointer->CBStyle->isVisible());
    for (QWidget* size : std::initializer_list<QWidget*>{pointer->UDPointHorizSize, pointer->UDPointVertSize,
                                                         pointer->LPointHorizSize, pointer->LPointVertSize})
        EXPECT_FALSE(size->isVisible()) << size->objectName().toStdString();
}

TEST(ArrowSeriesEditor, ColourEachMakesThePointerColourAutomatic)
{
    TTypeChart<TArrowSeries> chart;
    chart.Series->Pointer()->SetColor(0x0000FF);
    test::TShownPage<TArrowSeriesEditor> shown(chart.Series);
    EXPECT_EQ(shown.Page.LPercent->text(), QString::number(chart.Series->ArrowPercent()) + QLatin1Char('%'));
    test::ClickNearLeftEdge(shown.Page.CBColorEach);
    EXPECT_TRUE(chart.Series->ColorEachPoint());
    EXPECT_EQ(chart.Series->Pointer()->Color(), static_cast<TColor>(0x20000000));
    EXPECT_FALSE(shown.Page.BArrowColor->isEnabled());
    shown.Page.SBPercent->setFocus();
    QTest::keyClick(shown.Page.SBPercent, Qt::Key_Right);
    EXPECT_EQ(shown.Page.LPercent->text(), QString::number(chart.Series->ArrowPercent()) + QLatin1Char('%'));
}

TEST(BubbleSeriesEditor, ThePointerPageWithoutVisible)
{
    TTypeChart<TBubbleSeries> chart;
    test::TShownPage<TBubbleSeriesEditor> shown(chart.Series);
    EXPECT_FALSE(shown.Page.CBDrawPoint->isVisible());
    EXPECT_TRUE(shown.Page.CBStyle->isVisible());
    EXPECT_TRUE(shown.Page.UDTransp->isVisible());
}

TEST(ChartShapeEditor, CornersOnlyWithTwoPointsAndTheTextAsTyped)
{
    TTypeChart<TChartShape> chart(0);
    chart.Series->Clear();
    chart.Series->AddXY(1, 2);
    chart.Series->AddXY(3, 4);
    test::TShownPage<TChartShapeEditor> shown(chart.Series);
    TChartShapeEditor& page = shown.Page;
    EXPECT_EQ(page.SEX0->text(), QStringLiteral("1"));
    EXPECT_EQ(page.SEY1->text(), QStringLiteral("4"));
    page.SEX1->selectAll();
    QTest::keyClicks(page.SEX1, QStringLiteral("2.5"));
    EXPECT_EQ(chart.Series->X1(), 2.5);

    // A third point: the edits keep what they show.
    chart.Series->AddXY(9, 9);
    chart.Series->SetX0(7);
    page.Refresh();
    EXPECT_EQ(page.SEX0->text(), QStringLiteral("1"));
    EXPECT_EQ(page.SEX1->text(), QStringLiteral("2.5"));

    // Round corners: rectangles in 2-D only.
    chart.Chart.SetView3D(false);
    chart.Series->SetStyle(TChartShape::chasRectangle);
    page.Refresh();
    EXPECT_TRUE(page.CBRound->isEnabled());
    page.CBStyle->setFocus();
    QTest::keyClick(page.CBStyle, Qt::Key_Down);
    EXPECT_EQ(chart.Series->Style(), TChartShape::chasCircle);
    EXPECT_FALSE(page.CBRound->isEnabled());
    chart.Series->SetStyle(TChartShape::chasRectangle);
    chart.Chart.SetView3D(true);
    page.Refresh();
    EXPECT_FALSE(page.CBRound->isEnabled());

    // Typed text, a line break at the end among it.
    page.MemoText->setFocus();
    page.MemoText->selectAll();
    QTest::keyClicks(page.MemoText, QStringLiteral("Top"));
    QTest::keyClick(page.MemoText, Qt::Key_Return);
    QTest::keyClicks(page.MemoText, QStringLiteral("Bottom"));
    EXPECT_EQ(chart.Series->Text()->ToQStringList(), (QStringList{"Top", "Bottom"}));
    EXPECT_EQ(page.MemoText->toPlainText(), QStringLiteral("Top\nBottom"));
}

TEST(CandleEditor, EachStyleEnablesItsOptions)
{
    TTypeChart<TCandleSeries> chart;
    test::TShownPage<TCandleEditor> shown(chart.Series);
    TCandleEditor& page = shown.Page;
    struct TExpected {
        int Style;
        bool Ticks;
        bool ThreeD;
        bool Width;
    };
    for (const TExpected& expected : {TExpected{TCandleSeries::csCandleBar, true, false, true},
                                      TExpected{TCandleSeries::csOpenClose, false, true, true},
                                      TExpected{TCandleSeries::csLine, false, false, false},
                                      TExpected{TCandleSeries::csCandleStick, false, true, true}}) {
        page.RGStyle->button(expected.Style)->click();
        EXPECT_EQ(static_cast<int>(chart.Series->CandleStyle()), expected.Style);
        EXPECT_EQ(page.CBShowOpen->isEnabled(), expected.Ticks) << expected.Style;
        EXPECT_EQ(page.CBShowClose->isEnabled(), expected.Ticks) << expected.Style;
        EXPECT_EQ(page.CBDraw3D->isEnabled(), expected.ThreeD) << expected.Style;
        EXPECT_EQ(page.CBDark3D->isEnabled(), expected.ThreeD) << expected.Style;
        EXPECT_EQ(page.UDWidth->isEnabled(), expected.Width) << expected.Style;
    }
}

// Each page of the series types as the series page shows it, for the
// manual: the "Format" tab and the tabs the page adds.
TEST(SeriesTypePages, Screenshots)
{
    struct TShot {
        const char* Name;
        std::function<TChartSeries*(TChart&)> Make;
        int Tab;
    };
    const auto make = [](auto* Series, TChart& Chart) -> TChartSeries* {
        Chart.AddSeries(Series);
        Series->FillSampleValues(6);
        return Series;
    };
    const std::vector<TShot> shots = {
        {"bar", [&](TChart& C) { return make(new TBarSeries(&C), C); }, 0},
        {"bar-stack", [&](TChart& C) { return make(new TBarSeries(&C), C); }, 1},
        {"pie", [&](TChart& C) { return make(new TPieSeries(&C), C); }, 0},
        {"pie-circled", [&](TChart& C) { return make(new TPieSeries(&C), C); }, 1},
        {"area", [&](TChart& C) { return make(new TAreaSeries(&C), C); }, 0},
        {"fast-line", [&](TChart& C) { return make(new TFastLineSeries(&C), C); }, 0},
        {"volume", [&](TChart& C) { return make(new TVolumeSeries(&C), C); }, 0},
        {"gantt", [&](TChart& C) { return make(new TGanttSeries(&C), C); }, 0},
        {"arrow", [&](TChart& C) { return make(new TArrowSeries(&C), C); }, 0},
        {"bubble", [&](TChart& C) { return make(new TBubbleSeries(&C), C); }, 0},
        {"shape", [&](TChart& C) { return make(new TChartShape(&C), C); }, 0},
        {"candle", [&](TChart& C) { return make(new TCandleSeries(&C), C); }, 0},
        {"surface", [&](TChart& C) { return make(new TSurfaceSeries(&C), C); }, 0},
        {"surface-grid-3d", [&](TChart& C) { return make(new TSurfaceSeries(&C), C); }, 1},
        {"map", [&](TChart& C) { return make(new TMapSeries(&C), C); }, 0},
    };
    for (const TShot& shot : shots) {
        test::TEditorChart chart;
        TChartSeries* series = shot.Make(chart);
        TFormPlotSeries host;
        host.SetTarget(series);
        host.show();
        ASSERT_NE(host.SeriesEditor(), nullptr) << shot.Name;
        host.PageSeries->setCurrentIndex(shot.Tab);
        if (auto* map = qobject_cast<QTabWidget*>(host.SeriesEditor()->findChild<QTabWidget*>(QStringLiteral("PageControl2"))))
            map->setCurrentIndex(1);
        test::SaveScreenshot(host, QStringLiteral("series-type-") + QString::fromLatin1(shot.Name));
    }
}

} // namespace
} // namespace lp
