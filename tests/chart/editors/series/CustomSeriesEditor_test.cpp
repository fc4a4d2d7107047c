// The line page's rules the page walk cannot see: what a member of the
// family that is not a line series hides, the stairs' "Inverted", the one
// "Point" tab however often the page shows, and the shadow dialog.

#include "chart/editors/series/CustomSeriesEditor.h"

#include "../EditorTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPatterns.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/ShadowEditor.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotChartFile.h"
#include "platform/graphics/Bitmap.h"

#include <QtCore/QBuffer>
#include <QtTest/QTest>
#include <QtWidgets/QListWidget>

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <initializer_list>

namespace lp {
namespace {

struct TLinePageChart {
    TLinePageChart()
    {
        Line = new TLineSeries(&Chart);
        Chart.AddSeries(Line);
        Line->FillSampleValues(6);
    }
    test::TEditorChart Chart;
    TLineSeries* Line;
};

// The line page shown on the chart's line.
struct TShownLinePage : TLinePageChart {
    TShownLinePage()
    {
        Page.SetTarget(Line);
        Page.show();
    }
    TCustomSeriesEditor Page;
};

TEST(CustomSeriesEditor, AnAreaSeriesShowsNoLineOnlyControls)
{
    TLinePageChart chart;
    auto* area = new TAreaSeries(&chart.Chart);
    chart.Chart.AddSeries(area);
    TCustomSeriesEditor page;
    page.SetTarget(area);
    page.show();
    for (QWidget* control : std::initializer_list<QWidget*>{page.BBrush, page.BOutline, page.GBStair, page.CBDark3D,
                                                            page.LHeight, page.UDHeight})
        EXPECT_FALSE(control->isVisible()) << control->objectName().toStdString();
    EXPECT_TRUE(page.CBStack->isVisible());
    page.SetTarget(chart.Line);
    EXPECT_TRUE(page.GBStair->isVisible());
    EXPECT_TRUE(page.UDHeight->isVisible());
}

TEST(CustomSeriesEditor, InvertedFollowsStairs)
{
    TShownLinePage chart;
    TCustomSeriesEditor& page = chart.Page;
    EXPECT_FALSE(page.CBInvStairs->isEnabled());
    test::ClickNearLeftEdge(page.CBStairs);
    EXPECT_TRUE(chart.Line->Stairs());
    EXPECT_TRUE(page.CBInvStairs->isEnabled());
    test::ClickNearLeftEdge(page.CBInvStairs);
    EXPECT_TRUE(chart.Line->InvertedStairs());
    test::ClickNearLeftEdge(page.CBStairs);
    EXPECT_FALSE(page.CBInvStairs->isEnabled());
}

TEST(CustomSeriesEditor, ShowingTwiceAddsOnePointTab)
{
    TLinePageChart chart;
    TFormPlotSeries host;
    host.SetTarget(chart.Line);
    host.show();
    auto* page = qobject_cast<TCustomSeriesEditor*>(host.SeriesEditor());
    ASSERT_NE(page, nullptr);
    page->hide();
    page->show();
    int points = 0;
    for (int i = 0; i < host.PageSeries->count(); ++i)
        points += host.PageSeries->tabText(i) == QStringLiteral("Point");
    EXPECT_EQ(points, 1);
    ASSERT_NE(page->PointerEditor, nullptr);
    EXPECT_EQ(page->PointerEditor->Target(), chart.Line);
    EXPECT_TRUE(qobject_cast<TSeriesPointerEditor*>(page->PointerEditor.data()));
    // The series page owns the tab: the line page going first leaves it.
    QPointer<TEditorPage> pointerPage = page->PointerEditor;
    delete page;
    EXPECT_FALSE(pointerPage.isNull());
}

TEST(CustomSeriesEditor, TheShadowDialogHasNoTransparencyOrSmoothing)
{
    TShownLinePage chart;
    TCustomSeriesEditor& page = chart.Page;
    bool checked = false;
    test::OnModal<TPlotShadowEditor>([&checked](TPlotShadowEditor& Dialog) {
        EXPECT_FALSE(Dialog.UDShadowTransp->isVisible());
        EXPECT_FALSE(Dialog.CBSmooth->isVisible());
        EXPECT_TRUE(Dialog.UDShadowSize->isVisible());
        Dialog.UDShadowSize->setFocus();
        QTest::keyClick(Dialog.UDShadowSize, Qt::Key_Up);
        checked = true;
        Dialog.BOK->click();
    });
    const int size = chart.Line->Shadow()->HorizSize();
    page.Button1->click();
    EXPECT_TRUE(checked);
    EXPECT_EQ(chart.Line->Shadow()->HorizSize(), size + 1);
}

TEST(CustomSeriesEditor, TheGraphicEditorLeavesOutStackingAndTheRest)
{
    TShownLinePage chart;
    TCustomSeriesEditor& page = chart.Page;
    page.HideGraphicEditorControls();
    page.Refresh();
    for (QWidget* control : std::initializer_list<QWidget*>{page.LStack, page.CBStack, page.CBDark3D,
                                                            page.CBColorEach, page.CBClick, page.CheckBox1,
                                                            page.LHeight, page.UDHeight})
        EXPECT_FALSE(control->isVisible()) << control->objectName().toStdString();
    EXPECT_TRUE(page.BLineBorder->isVisible());
    EXPECT_TRUE(page.GBStair->isVisible());
}

// The pixels of a brush's picture, comparable whatever its pixel format.
QImage LinePageBrushPixels(TChartBrush& Brush)
{
    return Brush.HasImage() ? Brush.Image()->Graphic()->ToImage().convertToFormat(QImage::Format_RGB32) : QImage();
}

// Guards a pattern making an unreadable chart file: row 14 of the pattern
// dialog is pattern style 14, a style the eight named brush styles cannot
// name, so the file held a nameless style and an empty LineBrush, which
// reading refused. The pattern is stored as a pattern and reads back as one.
TEST(CustomSeriesEditor, APatternChosenInThePatternDialogReadsBackFromTheChartFile)
{
    TShownLinePage chart;
    test::OnModal<TBrushDialog>([](TBrushDialog& Dialog) {
        QListWidgetItem* item = Dialog.LStyle->item(14);
        Dialog.LStyle->scrollToItem(item);
        QTest::mouseClick(Dialog.LStyle->viewport(), Qt::LeftButton, {},
                          Dialog.LStyle->visualItemRect(item).center());
        QTest::mouseClick(Dialog.Button2, Qt::LeftButton);
    });
    QTest::mouseClick(chart.Page.BBrush, Qt::LeftButton);
    TChartBrush& brush = *chart.Line->Brush();
    ASSERT_EQ(static_cast<int>(brush.Style()), 14);
    TBitmap pattern;
    LoadBrushStyleBitmap(6, pattern);
    ASSERT_EQ(LinePageBrushPixels(brush), pattern.ToImage().convertToFormat(QImage::Format_RGB32));

    for (const bool text : {false, true}) {
        QBuffer file;
        file.open(QIODevice::ReadWrite);
        SaveChartToStream(&chart.Chart, file, true, text);
        if (text) {
            EXPECT_TRUE(file.data().contains("Brush.Pattern = 6")) << file.data().toStdString();
            EXPECT_FALSE(file.data().contains("LineBrush")) << file.data().toStdString();
        }
        file.seek(0);
        TChart reopened;
        TCustomChart* target = &reopened;
        QStringList errors;
        LoadChartFromStreamEx(target, file, true, [&errors](const QString& Message) {
            errors << Message;
            return true;
        });
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        ASSERT_EQ(reopened.SeriesCount(), 1);
        auto* line = qobject_cast<TLineSeries*>(reopened.Series(0));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(static_cast<int>(line->Brush()->Style()), 14) << text;
        EXPECT_EQ(static_cast<int>(line->LineBrush()), 14) << text;
        EXPECT_EQ(LinePageBrushPixels(*line->Brush()), LinePageBrushPixels(brush)) << text;
    }

    // A named style is stored by its name again.
    brush.SetStyle(TBrush::bsCross);
    brush.SetImage(nullptr);
    QBuffer file;
    file.open(QIODevice::ReadWrite);
    SaveChartToStream(&chart.Chart, file, true, true);
    EXPECT_TRUE(file.data().contains("Brush.Style = bsCross")) << file.data().toStdString();
    EXPECT_TRUE(file.data().contains("LineBrush")) << file.data().toStdString();
    EXPECT_FALSE(file.data().contains("Pattern")) << file.data().toStdString();
}

} // namespace
} // namespace lp
