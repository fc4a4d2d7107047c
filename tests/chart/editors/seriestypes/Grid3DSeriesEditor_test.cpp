// The grid 3-D and surface pages' rules the page walk cannot see: the grid
// recreated with the other size kept, the sizes only where values can be
// made, the colouring tabs, real numbers typed half-way, the middle colour,
// the swap and the gallery, the one "Grid 3D" tab of the surface page, and
// the surface's pen and brush kept by the chart file, a hidden pen kept
// hidden beside a frame style.

#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/editors/seriestypes/SurfaceSeriesEditor.h"

#include "DialogTestUtil.h"
#include "../EditorTestSupport.h"
#include "../ReopenedChart.h"
#include "../series/SeriesPageTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "../PenBrushDialogAnswers.h"
#include "DialogTestUtil.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace lp {
namespace {

struct TSurfaceChart {
    explicit TSurfaceChart(bool CanCreate = true)
    {
        Surface = new TSurfaceSeries(&Chart);
        Chart.AddSeries(Surface);
        if (CanCreate)
            Surface->OnGetYValue = [](TChartSeries*, int X, int Z) { return double(X + Z); };
        Surface->FillSampleValues(6);
    }
    test::TEditorChart Chart;
    TSurfaceSeries* Surface;
};

// Check run on the one surface of Chart reopened from its chart file, binary
// and text.
void CheckReopenedSurface(TCustomChart& Chart, const std::function<void(TSurfaceSeries&)>& Check)
{
    for (const bool text : {false, true}) {
        SCOPED_TRACE(text ? "text" : "binary");
        const std::unique_ptr<TChart> reopened = test::ReopenedChart(Chart, text);
        ASSERT_EQ(reopened->SeriesCount(), 1);
        auto* surface = qobject_cast<TSurfaceSeries*>(reopened->Series(0));
        ASSERT_NE(surface, nullptr);
        Check(*surface);
    }
}

struct TShownGridPage : TSurfaceChart {
    explicit TShownGridPage(bool CanCreate = true) : TSurfaceChart(CanCreate)
    {
        Page.SetTarget(Surface);
        Page.show();
    }
    TGrid3DSeriesEditor Page;
};

TEST(Grid3DSeriesEditor, EitherSizeRecreatesTheGridWithTheOtherKept)
{
    TShownGridPage shown;
    TCustom3DGridSeries& grid = *shown.Surface;
    const int z = grid.NumZValues();
    ASSERT_TRUE(shown.Page.UDXGrid->isEnabled());
    shown.Page.UDXGrid->setFocus();
    QTest::keyClick(shown.Page.UDXGrid, Qt::Key_Up);
    EXPECT_EQ(grid.NumXValues(), 7);
    EXPECT_EQ(grid.NumZValues(), z);
    EXPECT_EQ(grid.Count(), 7 * z);
    shown.Page.UDZGrid->setFocus();
    QTest::keyClick(shown.Page.UDZGrid, Qt::Key_Down);
    EXPECT_EQ(grid.NumXValues(), 7);
    EXPECT_EQ(grid.NumZValues(), z - 1);
}

TEST(Grid3DSeriesEditor, SizesAreDisabledWhereTheSeriesCannotMakeValues)
{
    TShownGridPage shown(false);
    EXPECT_FALSE(shown.Page.UDXGrid->isEnabled());
    EXPECT_FALSE(shown.Page.UDZGrid->isEnabled());
    EXPECT_TRUE(shown.Page.CBIrreg->isVisible());
    EXPECT_TRUE(shown.Page.UDDepth->isEnabled());
}

TEST(Grid3DSeriesEditor, TabsChooseSingleRangeOrPalette)
{
    TShownGridPage shown;
    TSurfaceSeries& surface = *shown.Surface;
    ASSERT_TRUE(surface.UseColorRange());
    EXPECT_EQ(shown.Page.PageControl1->currentWidget(), shown.Page.TabRange);
    QTabBar* bar = shown.Page.PageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_FALSE(surface.UseColorRange());
    EXPECT_TRUE(surface.UsePalette());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_FALSE(surface.UseColorRange());
    EXPECT_FALSE(surface.UsePalette());
    EXPECT_FALSE(surface.ColorEachPoint());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_TRUE(surface.UseColorRange());
    EXPECT_FALSE(surface.UsePalette());
    // A refresh shows the tab of the colouring.
    surface.SetUseColorRange(false);
    surface.SetUsePalette(true);
    shown.Page.Refresh();
    EXPECT_EQ(shown.Page.PageControl1->currentWidget(), shown.Page.TabPalette);
}

TEST(Grid3DSeriesEditor, PaletteNumbersKeepTheirValueUntilTheTextIsANumber)
{
    TShownGridPage shown;
    TSurfaceSeries& surface = *shown.Surface;
    shown.Page.PageControl1->setCurrentWidget(shown.Page.TabPalette);
    surface.SetPaletteStep(2.5);
    shown.Page.Refresh();
    EXPECT_EQ(shown.Page.EPaletteStep->text(), QStringLiteral("2.5"));
    for (const QString& text : {QStringLiteral("abc"), QStringLiteral("-"), QString()}) {
        test::RetypeText(shown.Page.EPaletteStep, text);
        EXPECT_EQ(surface.PaletteStep(), 2.5) << text.toStdString();
    }
    // Each keystroke of a number is written; the text typed stays.
    test::RetypeText(shown.Page.EPaletteStep, QStringLiteral("-0.75"));
    EXPECT_EQ(surface.PaletteStep(), -0.75);
    EXPECT_EQ(shown.Page.EPaletteStep->text(), QStringLiteral("-0.75"));
    test::RetypeText(shown.Page.EPaletteStep, QStringLiteral("1e-2"));
    EXPECT_EQ(surface.PaletteStep(), 0.01);

    // The minimum is edited only while it is used.
    EXPECT_FALSE(shown.Page.EPaletteMin->isEnabled());
    test::ClickNearLeftEdge(shown.Page.CBUseMin);
    EXPECT_TRUE(surface.UsePaletteMin());
    ASSERT_TRUE(shown.Page.EPaletteMin->isEnabled());
    const int paints = shown.Chart.Invalidations;
    test::RetypeText(shown.Page.EPaletteMin, QStringLiteral("1e"));
    EXPECT_EQ(surface.PaletteMin(), 1.0) << "the half-typed exponent keeps the 1 typed before";
    test::RetypeText(shown.Page.EPaletteMin, QStringLiteral("12.5"));
    EXPECT_EQ(surface.PaletteMin(), 12.5);
    EXPECT_GT(shown.Chart.Invalidations, paints);
}

TEST(Grid3DSeriesEditor, NoMiddleSwapAndGallery)
{
    TShownGridPage shown;
    TSurfaceSeries& surface = *shown.Surface;
    shown.Page.PageControl1->setCurrentWidget(shown.Page.TabRange);
    surface.SetMidColor(0x00FF00);
    shown.Page.Refresh();
    ASSERT_TRUE(shown.Page.CheckBox1->isEnabled());
    test::ClickNearLeftEdge(shown.Page.CheckBox1);
    EXPECT_EQ(surface.MidColor(), static_cast<TColor>(0x1FFFFFFF));
    EXPECT_FALSE(shown.Page.CheckBox1->isEnabled()) << "ticked, it waits for a middle colour";

    surface.SetStartColor(0x0000FF);
    surface.SetEndColor(0xFF0000);
    QTest::mouseClick(shown.Page.Button1, Qt::LeftButton);
    EXPECT_EQ(surface.StartColor(), 0xFF0000);
    EXPECT_EQ(surface.EndColor(), 0x0000FF);

    // The gallery's choice comes back on OK only.
    test::OnModal<TPlotGradientEditor>([](TPlotGradientEditor& Editor) {
        EXPECT_FALSE(Editor.PageControl1->isTabVisible(1));
        Editor.Gradient()->SetStartColor(0x123456);
        Editor.BCancel->click();
    });
    QTest::mouseClick(shown.Page.Button2, Qt::LeftButton);
    EXPECT_EQ(surface.StartColor(), 0xFF0000);
    test::OnModal<TPlotGradientEditor>([](TPlotGradientEditor& Editor) {
        Editor.Gradient()->SetStartColor(0x123456);
        Editor.Gradient()->SetMidColor(0x00AA00);
        Editor.BOk->click();
    });
    QTest::mouseClick(shown.Page.Button2, Qt::LeftButton);
    EXPECT_EQ(surface.StartColor(), 0x123456);
    EXPECT_EQ(surface.MidColor(), 0x00AA00);
    EXPECT_TRUE(shown.Page.CheckBox1->isEnabled());
    EXPECT_FALSE(shown.Page.CheckBox1->isChecked());
}

TEST(Grid3DSeriesEditor, RemoveCustomColorsGivesEveryPointTheAutomaticColour)
{
    TShownGridPage shown;
    shown.Surface->SetValueColor(2, 0x00FF00);
    shown.Page.Refresh();
    ASSERT_TRUE(shown.Page.BRemove->isEnabled());
    shown.Page.PageControl1->setCurrentWidget(shown.Page.TabSingle);
    shown.Surface->SetUseColorRange(true);
    QTest::mouseClick(shown.Page.BRemove, Qt::LeftButton);
    EXPECT_FALSE(SeriesHasCustomColors(*shown.Surface));
    EXPECT_FALSE(shown.Page.BRemove->isEnabled());
}

TEST(Grid3DSeriesEditor, EveryFieldKeepsItsHeightInTheGraphicEditor)
{
    // Guards against the palette's "Steps" field 14 pixels high, its number
    // cut in half: the page was taller than the graphic editor at the size
    // it opens, so its rows were squeezed.
    test::TEditorSettingsFolder settings;
    test::TEditorChart chart;
    auto* map = new TMapSeries(&chart);
    chart.AddSeries(map);
    map->FillSampleValues(4);
    bool checked = false;
    test::OnModal<TChartEditForm>([&checked](TChartEditForm& Form) {
        auto* series = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(series, nullptr);
        auto* page = series->findChild<TGrid3DSeriesEditor*>();
        ASSERT_NE(page, nullptr);
        series->PageSeries->setCurrentWidget(page->parentWidget());
        for (QWidget* tab : {page->TabSingle, page->TabRange, page->TabPalette}) {
            page->PageControl1->setCurrentWidget(tab);
            QApplication::processEvents();
            for (QWidget* control : page->findChildren<QWidget*>()) {
                if (!control->isVisible() || control->parentWidget()->inherits("QAbstractSpinBox"))
                    continue;
                const std::string name =
                    control->objectName().toStdString() + " (" + control->metaObject()->className() + ")";
                // At least its minimum, unless it is made lower on purpose.
                const int needed = std::min(control->minimumSizeHint().height(), control->maximumHeight());
                EXPECT_GE(control->height(), needed) << name;
                EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry())) << name;
            }
        }
        EXPECT_EQ(page->UDPalette->height(), page->UDPalette->sizeHint().height());
        test::SaveScreenshot(Form, QStringLiteral("graphic-editor-grid-3d-palette"));
        checked = true;
        Form.BClose->click();
    });
    ShowSeriesEditor(map);
    EXPECT_TRUE(checked);
}

TEST(SurfaceSeriesEditor, DrawingModeAndOneGridTabHoweverOftenShown)
{
    TSurfaceChart chart;
    test::THostedSeriesPage<TSurfaceSeriesEditor> hosted(chart.Surface);
    TFormPlotSeries& host = hosted.Host;
    TSurfaceSeriesEditor* page = hosted.Page;
    ASSERT_NE(page, nullptr);
    page->hide();
    page->show();
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Grid 3D")), 1);
    EXPECT_EQ(host.PageSeries->tabText(1), QStringLiteral("Grid 3D"));
    ASSERT_NE(page->Grid3DPage, nullptr);
    EXPECT_EQ(page->Grid3DPage->Target(), chart.Surface);

    host.PageSeries->setCurrentIndex(0);
    page->RGDrawing->button(1)->click();
    EXPECT_TRUE(chart.Surface->WireFrame());
    page->RGDrawing->button(2)->click();
    EXPECT_TRUE(chart.Surface->DotFrame());
    page->RGDrawing->button(0)->click();
    EXPECT_FALSE(chart.Surface->WireFrame());
    EXPECT_FALSE(chart.Surface->DotFrame());
    EXPECT_FALSE(page->CBFastBrush->isEnabled());
}

// Guards the surface's pen and brush read back as their defaults from a
// chart file: the red border 3 wide and the clear fill chosen on the page
// were lost.
TEST(SurfaceSeriesEditor, PenAndBrushChosenOnThePageAreKeptByTheChartFile)
{
    TSurfaceChart chart;
    test::THostedSeriesPage<TSurfaceSeriesEditor> hosted(chart.Surface);
    TSurfaceSeriesEditor* page = hosted.Page;
    ASSERT_NE(page, nullptr);
    hosted.Host.PageSeries->setCurrentIndex(0);
    test::TColorDialogAnswer red;
    red.Answer = clRed;
    test::AnswerPenDialog(3);
    QTest::mouseClick(page->Button2, Qt::LeftButton);
    test::AnswerBrushDialog(TBrush::bsClear);
    QTest::mouseClick(page->Button3, Qt::LeftButton);
    ASSERT_EQ(chart.Surface->Pen()->Color(), clRed);
    ASSERT_EQ(chart.Surface->Pen()->Width(), 3);
    ASSERT_EQ(chart.Surface->Brush()->Style(), TBrush::bsClear);
    CheckReopenedSurface(chart.Chart, [](TSurfaceSeries& Surface) {
        EXPECT_EQ(Surface.Pen()->Color(), clRed);
        EXPECT_EQ(Surface.Pen()->Width(), 3);
        EXPECT_EQ(Surface.Brush()->Style(), TBrush::bsClear);
    });
}

// "DotFrame" on the surface page, then "Pen..." with Visible unticked: the
// reopened chart keeps the dotted frame and the hidden pen (reading the
// frame style from the file used to show the pen again).
TEST(SurfaceSeriesEditor, APenHiddenAfterChoosingDotFrameStaysHiddenInTheChartFile)
{
    TSurfaceChart chart;
    test::THostedSeriesPage<TSurfaceSeriesEditor> hosted(chart.Surface);
    TSurfaceSeriesEditor* page = hosted.Page;
    ASSERT_NE(page, nullptr);
    hosted.Host.PageSeries->setCurrentIndex(0);
    QAbstractButton* dotFrame = page->RGDrawing->button(2);
    QTest::mouseClick(dotFrame, Qt::LeftButton, {}, QPoint(6, dotFrame->height() / 2));
    ASSERT_TRUE(chart.Surface->DotFrame());
    ASSERT_TRUE(chart.Surface->Pen()->Visible());
    test::OnModal<TPenDialog>([](TPenDialog& Pen) {
        QTest::mouseClick(Pen.CBVisible, Qt::LeftButton, {}, QPoint(6, Pen.CBVisible->height() / 2));
        QTest::mouseClick(Pen.BOk, Qt::LeftButton);
    });
    QTest::mouseClick(page->Button2, Qt::LeftButton);
    ASSERT_FALSE(chart.Surface->Pen()->Visible());
    ASSERT_TRUE(chart.Surface->DotFrame());
    CheckReopenedSurface(chart.Chart, [](TSurfaceSeries& Surface) {
        EXPECT_TRUE(Surface.DotFrame());
        EXPECT_FALSE(Surface.WireFrame());
        EXPECT_FALSE(Surface.Pen()->Visible());
    });
    // Chosen again by the user, a frame style still shows the pen.
    QTest::mouseClick(page->RGDrawing->button(1), Qt::LeftButton, {}, QPoint(6, page->RGDrawing->button(1)->height() / 2));
    EXPECT_TRUE(chart.Surface->WireFrame());
    EXPECT_TRUE(chart.Surface->Pen()->Visible());
}

} // namespace
} // namespace lp
