// The extension tools' pages where they do more than bind: the series
// lists that keep one kind of series, the surface colours' "Default" and
// "None", transposing after a choice, the extra legend's legend page, the
// lighting track bars sized to the chart, the dragged series' cursor and
// the scroll bar page's registered name.

#include "chart/editors/tools/ExtensionToolPages.h"

#include "ToolPageTestSupport.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/chart/LegendPage.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "chart/extensions/planning/PlotGantt.h"
#include "chart/extensions/tools/PlotDragPointTool.h"
#include "chart/extensions/tools/PlotExtraLegendTool.h"
#include "chart/extensions/tools/PlotGanttTool.h"
#include "chart/extensions/tools/PlotGridTransposeTool.h"
#include "chart/extensions/tools/PlotLightTool.h"
#include "chart/extensions/tools/PlotPieTool.h"
#include "chart/extensions/tools/PlotScrollBarTool.h"
#include "chart/extensions/tools/PlotSeriesBandTool.h"
#include "chart/extensions/tools/PlotSurfaceNearestTool.h"

#include <QtCore/QTimer>
#include <QtWidgets/QLabel>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

TEST(ExtensionToolPages, SeriesListsKeepTheirKindOfSeries)
{
    TEditorChart chart;
    test::AddSampleSeries(chart, QStringLiteral("Line"));
    test::AddSampleSeries<TGanttSeries>(chart, QStringLiteral("Tasks"));
    test::AddSampleSeries<TPieSeries>(chart, QStringLiteral("Shares"));
    test::AddSampleSeries<TSurfaceSeries>(chart, QStringLiteral("Ground"));
    const auto texts = [](QComboBox* Combo) {
        QStringList items;
        for (int i = 0; i < Combo->count(); ++i)
            items << Combo->itemText(i);
        return items.join(QLatin1Char(','));
    };
    auto gantt = test::ShowToolPage<TGanttToolEditor>(test::AddChartTool<TGanttTool>(chart));
    EXPECT_EQ(texts(gantt->CBSeries), QStringLiteral("(none),Tasks"));
    auto pie = test::ShowToolPage<TPieToolEditor>(test::AddChartTool<TPieTool>(chart));
    EXPECT_EQ(texts(pie->CBSeries), QStringLiteral("Shares"));
    EXPECT_EQ(pie->Label1->text(), QStringLiteral("&Pie Series:"));
    auto surface = test::ShowToolPage<TSurfaceNearest>(test::AddChartTool<TSurfaceNearestTool>(chart));
    EXPECT_EQ(texts(surface->CBSeries), QStringLiteral("Ground"));
    EXPECT_EQ(surface->CBSeries->currentIndex(), -1);
    auto transpose = test::ShowToolPage<TGridTransposeToolEdit>(test::AddChartTool<TGridTransposeTool>(chart));
    EXPECT_EQ(texts(transpose->CBSeries), QStringLiteral("Ground"));
}

TEST(ExtensionToolPages, ThePieToolPageHasNoStrayPieLine)
{
    // Guards against a lone "Pie" line between the series list and "Style:".
    TEditorChart chart;
    test::AddSampleSeries<TPieSeries>(chart, QStringLiteral("Shares"));
    auto pie = test::ShowToolPage<TPieToolEditor>(test::AddChartTool<TPieTool>(chart));
    const QStringList texts = test::ShownTexts(*pie);
    EXPECT_FALSE(texts.contains(QStringLiteral("Pie"))) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Style:")));
    // The style box comes right below the series list.
    const int listBottom = pie->CBSeries->mapTo(pie.get(), QPoint(0, pie->CBSeries->height())).y();
    EXPECT_LT(pie->RGStyleBox->mapTo(pie.get(), QPoint()).y() - listBottom, 24);
}

// The series band's second series list follows the series' titles.
TEST(ExtensionToolPages, TheSeriesBandsSecondListFollowsRenamedSeries)
{
    TEditorChart chart;
    TChartSeries* first = test::AddSampleSeries(chart, QStringLiteral("Upper"));
    test::AddSampleSeries(chart, QStringLiteral("Lower"));
    auto* tool = test::AddChartTool<TSeriesBandTool>(chart);
    tool->SetSeries2(chart.Series(1));
    auto band = test::ShowToolPage<TSeriesBandToolEdit>(tool);
    EXPECT_EQ(band->CBSeries2->itemText(0), QStringLiteral("Upper"));
    EXPECT_EQ(band->CBSeries2->currentIndex(), 1);
    first->SetTitle(QStringLiteral("Top"));
    band->Refresh();
    EXPECT_EQ(band->CBSeries2->itemText(0), QStringLiteral("Top"));
    EXPECT_EQ(band->CBSeries2->currentIndex(), 1);
}

TEST(ExtensionToolPages, SurfaceColoursDefaultAndNone)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TSurfaceNearestTool>(chart);
    auto page = test::ShowToolPage<TSurfaceNearest>(tool);
    EXPECT_FALSE(page->CBRowDefault->isChecked());
    test::ClickNearLeftEdge(page->CBRowDefault);
    EXPECT_EQ(tool->RowColor(), static_cast<TColor>(0x20000000));
    test::ClickNearLeftEdge(page->CBRowNone);
    EXPECT_EQ(tool->RowColor(), static_cast<TColor>(0x1FFFFFFF));
    EXPECT_FALSE(page->CBRowDefault->isChecked());
    EXPECT_TRUE(page->CBRowNone->isChecked());
    // Unticked, the colour is the tool's own again.
    test::ClickNearLeftEdge(page->CBRowNone);
    EXPECT_EQ(tool->RowColor(), clBlue);
    EXPECT_EQ(tool->CellColor(), clRed);
}

TEST(ExtensionToolPages, TransposeWaitsForAGridSeries)
{
    TEditorChart chart;
    auto* grid = test::AddSampleSeries<TSurfaceSeries>(chart, QStringLiteral("Ground"));
    auto* tool = test::AddChartTool<TGridTransposeTool>(chart);
    auto page = test::ShowToolPage<TGridTransposeToolEdit>(tool);
    EXPECT_FALSE(page->BTranspose->isEnabled());
    test::PickEntry(page->CBSeries, 0);
    EXPECT_EQ(tool->Series(), grid);
    ASSERT_TRUE(page->BTranspose->isEnabled());
    const double x = grid->XValues()->Value(1);
    const double z = grid->ZValues()->Value(1);
    QTest::mouseClick(page->BTranspose, Qt::LeftButton);
    EXPECT_EQ(grid->XValues()->Value(1), z);
    EXPECT_EQ(grid->ZValues()->Value(1), x);
}

TEST(ExtensionToolPages, EditLegendOpensTheLegendPageOnTheToolsLegend)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TExtraLegendTool>(chart);
    auto page = test::ShowToolPage<TExtraLegendEditor>(tool);
    QObject* edited = nullptr;
    QTimer::singleShot(0, [&edited] {
        if (auto* legendPage = qobject_cast<TFormPlotLegend*>(QApplication::activeModalWidget())) {
            edited = legendPage->Target();
            legendPage->reject();
        }
    });
    QTest::mouseClick(page->Button1, Qt::LeftButton);
    EXPECT_EQ(edited, tool->Legend());
}

TEST(ExtensionToolPages, LightTrackBarsSpanTheChart)
{
    TEditorChart chart;
    chart.SetBounds(0, 0, 400, 300);
    auto* tool = test::AddChartTool<TLightTool>(chart);
    auto page = test::ShowToolPage<TLightToolEditor>(tool);
    EXPECT_EQ(page->TBLeft->maximum(), 400);
    EXPECT_EQ(page->TBTop->maximum(), 300);
    // The automatic place shows the chart's middle.
    EXPECT_EQ(page->TBLeft->value(), 200);
    EXPECT_EQ(page->TBTop->value(), 150);
    EXPECT_EQ(tool->Left(), -1);
    page->TBLeft->setFocus();
    QTest::keyClick(page->TBLeft, Qt::Key_Right);
    EXPECT_EQ(tool->Left(), 201);
}

TEST(ExtensionToolPages, DragPointCursorIsTheChosenSeriesOwn)
{
    TEditorChart chart;
    TLineSeries* series = test::AddSampleSeries(chart, QStringLiteral("Line"));
    auto* tool = test::AddChartTool<TDragPointTool>(chart);
    auto page = test::ShowToolPage<TDragPointToolEdit>(tool);
    EXPECT_FALSE(page->CBCursor->isEnabled());
    test::PickEntry(page->CBSeries, 1);
    ASSERT_TRUE(page->CBCursor->isEnabled());
    test::PickEntry(page->CBCursor, page->CBCursor->count() - 1);
    EXPECT_EQ(series->Cursor(), crPlotHand);
}

TEST(ExtensionToolPages, ScrollBarPageServesTheNameTheToolReports)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TPlotScrollBar>(chart);
    std::unique_ptr<TEditorPage> page(CreateEditorPage(tool->GetEditorClassName(), nullptr));
    ASSERT_NE(qobject_cast<TScrollbarEditor*>(page.get()), nullptr);
    EXPECT_EQ(page->windowTitle(), QStringLiteral("ScrollbarEditor"));
}

} // namespace
} // namespace lp
