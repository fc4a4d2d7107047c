// The map page as a user meets it: a map without shapes, "+" and "-" and
// the row chosen after a delete, texts renaming their rows, the "Default"
// colour, a half-typed Z, five shapes edited one after the other, a map
// whose shapes are fixed, the one "Grid 3D" tab, and the global pen and
// brush kept by the chart file.

#include "chart/editors/seriestypes/MapSeriesEditor.h"

#include "../EditorTestSupport.h"
#include "../ReopenedChart.h"
#include "../series/SeriesPageTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "../PenBrushDialogAnswers.h"
#include "DialogTestUtil.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/data/ChartGrid.h"
#include "chart/editors/data/PlotNavigator.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/engine/PlotMapSeries.h"

#include <QtGui/QScreen>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A map of Shapes squares, shape i labelled "Body i" when Labelled.
struct TMapChart {
    explicit TMapChart(int Shapes, bool Labelled = true)
    {
        Map = new TMapSeries(&Chart);
        Chart.AddSeries(Map);
        Map->SetUseColorRange(false);
        for (int i = 0; i < Shapes; ++i) {
            TPlotPolygon* shape = Map->Shapes()->Add();
            for (auto [x, y] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{1, 1}, std::pair{0, 1}})
                shape->AddXY(x + 2 * i, y);
            if (Labelled)
                shape->SetText(QStringLiteral("Body %1").arg(i));
        }
    }
    test::TEditorChart Chart;
    TMapSeries* Map;
};

struct TShownMapPage : TMapChart {
    explicit TShownMapPage(int Shapes, bool Labelled = true) : TMapChart(Shapes, Labelled)
    {
        Page.SetTarget(Map);
        Page.show();
        Page.PageControl2->setCurrentWidget(Page.TabShapes);
    }
    QStringList Rows() const
    {
        QStringList rows;
        for (int i = 0; i < Page.ChartListBox1->Count(); ++i)
            rows.append(Page.ChartListBox1->RowText(i));
        return rows;
    }
    TMapSeriesEditor Page;
};

TEST(MapSeriesEditor, WithoutShapesAllIsDisabledAndPlusAddsShapeZero)
{
    TShownMapPage shown(0);
    TMapSeriesEditor& page = shown.Page;
    EXPECT_EQ(page.PageControl2->currentWidget(), page.TabShapes);
    EXPECT_FALSE(page.SBDelete->isEnabled());
    EXPECT_TRUE(page.SBAdd->isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{page.EText, page.EditZ, page.ButtonPen2, page.CBGlobalPen,
                                                            page.BBrush, page.ButtonColor1, page.CBClosed,
                                                            page.CBVisible, page.UDTransp, page.ChartGrid1})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    QTest::mouseClick(page.SBAdd, Qt::LeftButton);
    ASSERT_EQ(shown.Map->Shapes()->Count(), 1);
    EXPECT_EQ(shown.Map->Shapes()->GetPolygon(0)->Text(), QStringLiteral("0"));
    EXPECT_EQ(shown.Rows(), QStringList{QStringLiteral("0")});
    EXPECT_EQ(page.ChartListBox1->ItemIndex(), 0);
    EXPECT_TRUE(page.SBDelete->isEnabled());
    EXPECT_TRUE(page.EText->isEnabled());
    EXPECT_EQ(page.EText->text(), QStringLiteral("0"));
    EXPECT_EQ(page.ShapeIndex->text(), QStringLiteral("0"));
}

TEST(MapSeriesEditor, DeletingChoosesTheNextRowTheNewLastOrNone)
{
    TShownMapPage shown(4);
    TMapSeriesEditor& page = shown.Page;
    page.ChartListBox1->SetItemIndex(1);
    QTest::mouseClick(page.SBDelete, Qt::LeftButton);
    EXPECT_EQ(shown.Rows(), (QStringList{"Body 0", "Body 2", "Body 3"}));
    EXPECT_EQ(page.ChartListBox1->ItemIndex(), 1) << "the same index";
    EXPECT_EQ(page.EText->text(), QStringLiteral("Body 2"));
    page.ChartListBox1->SetItemIndex(2);
    QTest::mouseClick(page.SBDelete, Qt::LeftButton);
    EXPECT_EQ(shown.Rows(), (QStringList{"Body 0", "Body 2"}));
    EXPECT_EQ(page.ChartListBox1->ItemIndex(), 1) << "the new last";
    QTest::mouseClick(page.SBDelete, Qt::LeftButton);
    QTest::mouseClick(page.SBDelete, Qt::LeftButton);
    EXPECT_EQ(shown.Map->Shapes()->Count(), 0);
    EXPECT_EQ(shown.Map->Count(), 0);
    EXPECT_EQ(page.ChartListBox1->ItemIndex(), -1);
    EXPECT_FALSE(page.SBDelete->isEnabled());
    EXPECT_FALSE(page.EText->isEnabled());
    EXPECT_TRUE(page.ShapeIndex->text().isEmpty());
}

TEST(MapSeriesEditor, TextsRenameRowsAndEmptyLabelsShowTheIndex)
{
    TShownMapPage shown(3, false);
    EXPECT_EQ(shown.Rows(), (QStringList{"0", "1", "2"}));
    shown.Page.ChartListBox1->SetItemIndex(1);
    test::RetypeText(shown.Page.EText, QStringLiteral("Clay"));
    EXPECT_EQ(shown.Map->Shapes()->GetPolygon(1)->Text(), QStringLiteral("Clay"));
    EXPECT_EQ(shown.Rows(), (QStringList{"0", "Clay", "2"}));
}

TEST(MapSeriesEditor, DefaultColourAndAHalfTypedZ)
{
    TShownMapPage shown(2);
    TMapSeriesEditor& page = shown.Page;
    page.PageControl1->setCurrentWidget(page.TabFormat);
    TPlotPolygon* shape = shown.Map->Shapes()->GetPolygon(0);
    ASSERT_FALSE(shape->IsColorStored());
    EXPECT_TRUE(page.CBDefaultColor->isChecked());
    EXPECT_FALSE(page.CBDefaultColor->isEnabled());
    test::TColorDialogAnswer answer;
    answer.Answer = 0x3366CC;
    QTest::mouseClick(page.ButtonColor1, Qt::LeftButton);
    EXPECT_EQ(shape->Color(), 0x3366CC);
    EXPECT_FALSE(page.CBDefaultColor->isChecked());
    ASSERT_TRUE(page.CBDefaultColor->isEnabled());
    test::ClickNearLeftEdge(page.CBDefaultColor);
    EXPECT_FALSE(shape->IsColorStored());
    EXPECT_FALSE(page.CBDefaultColor->isEnabled());

    page.PageControl1->setCurrentWidget(page.TabValues);
    test::TMessages messages;
    test::RetypeText(page.EditZ, QStringLiteral("-"));
    EXPECT_EQ(shape->Z(), 0.0);
    QTest::keyClicks(page.EditZ, QStringLiteral("3.5e"));
    EXPECT_EQ(shape->Z(), -3.5);
    QTest::keyClicks(page.EditZ, QStringLiteral("1"));
    EXPECT_EQ(shape->Z(), -35.0);
    EXPECT_EQ(page.EditZ->text(), QStringLiteral("-3.5e1"));
    EXPECT_TRUE(messages.Texts.isEmpty());
}

TEST(MapSeriesEditor, FiveShapesEditedOneAfterTheOther)
{
    TShownMapPage shown(5);
    TMapSeriesEditor& page = shown.Page;
    for (int i = 0; i < 5; ++i) {
        page.ChartListBox1->setFocus();
        page.ChartListBox1->SetItemIndex(i);
        EXPECT_EQ(page.ShapeIndex->text(), QString::number(i));
        EXPECT_EQ(page.ChartGrid1->Series(), shown.Map->Shapes()->GetPolygon(i)->Points());
        page.PageControl1->setCurrentWidget(page.TabValues);
        test::RetypeText(page.EText, QStringLiteral("Layer %1").arg(i));
        page.PageControl1->setCurrentWidget(page.TabFormat);
        page.UDTransp->setFocus();
        page.UDTransp->selectAll();
        QTest::keyClicks(page.UDTransp, QString::number(10 * (i + 1)));
        if (i % 2 == 1)
            test::ClickNearLeftEdge(page.CBClosed);
    }
    for (int i = 0; i < 5; ++i) {
        const TPlotPolygon* shape = shown.Map->Shapes()->GetPolygon(i);
        EXPECT_EQ(shape->Text(), QStringLiteral("Layer %1").arg(i));
        EXPECT_EQ(shape->Transparency(), 10 * (i + 1));
        EXPECT_EQ(shape->Closed(), i % 2 == 0);
    }
    EXPECT_EQ(shown.Rows(), (QStringList{"Layer 0", "Layer 1", "Layer 2", "Layer 3", "Layer 4"}));
}

TEST(MapSeriesEditor, FixedShapesShowTheirPointsReadOnly)
{
    TMapChart chart(2);
    chart.Map->SetFixedShapes(true);
    TMapSeriesEditor page;
    page.SetTarget(chart.Map);
    page.show();
    page.PageControl2->setCurrentWidget(page.TabShapes);
    page.PageControl1->setCurrentWidget(page.TabData);
    EXPECT_FALSE(page.SBAdd->isEnabled());
    EXPECT_FALSE(page.SBDelete->isEnabled());
    EXPECT_EQ(page.ChartGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(page.ChartGridNavigator1->Button(nbInsert)->isEnabled());
    EXPECT_FALSE(page.ChartGridNavigator1->Button(nbDelete)->isEnabled());
    const QStringList before = test::DumpProperties(chart.Map->Shapes()->GetPolygon(0)->Points()->YValues());
    page.ChartGrid1->setFocus();
    page.ChartGrid1->setCurrentIndex(page.ChartGrid1->model()->index(0, 1));
    QTest::keyClicks(page.ChartGrid1, QStringLiteral("9"));
    QTest::keyClick(page.ChartGrid1, Qt::Key_Return);
    QTest::keyClick(page.ChartGrid1, Qt::Key_Delete);
    QTest::keyClick(page.ChartGrid1, Qt::Key_Insert);
    EXPECT_EQ(chart.Map->Shapes()->GetPolygon(0)->Points()->Count(), 4);
    EXPECT_EQ(test::DumpProperties(chart.Map->Shapes()->GetPolygon(0)->Points()->YValues()), before);
    // The look stays editable.
    page.PageControl1->setCurrentWidget(page.TabFormat);
    EXPECT_TRUE(page.CBClosed->isEnabled());
}

// Guards a hidden shape's row staying ticked in the shapes' list.
TEST(MapSeriesEditor, TheListsTickIsTheShapesVisibility)
{
    TShownMapPage shown(3);
    TMapSeriesEditor& page = shown.Page;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    TChartListBox& list = *page.ChartListBox1;
    const QRect row = list.visualRect(list.Model().index(1));
    const QPoint tick(list.ColumnOffset(TChartListBox::colActive) + 8, row.center().y());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(list.ColumnOffset(TChartListBox::colTitle) + 8,
                                                                  row.center().y()));
    ASSERT_EQ(page.SelectedShape(), shown.Map->Shapes()->GetPolygon(1));
    page.PageControl1->setCurrentWidget(page.TabFormat);
    // What the screen shows of the row's box.
    const auto boxOnScreen = [&] {
        QCoreApplication::processEvents();
        const QPoint at = list.viewport()->mapTo(&page, QPoint(tick.x() - 8, row.top()));
        return page.screen()->grabWindow(page.winId(), at.x(), at.y(), 20, row.height()).toImage();
    };
    const QImage ticked = boxOnScreen();
    test::ClickNearLeftEdge(page.CBVisible);
    EXPECT_FALSE(shown.Map->Shapes()->GetPolygon(1)->Points()->Active());
    EXPECT_NE(boxOnScreen(), ticked);
    // And the box shows the shape again, "Visible" with it.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, tick);
    EXPECT_TRUE(shown.Map->Shapes()->GetPolygon(1)->Points()->Active());
    EXPECT_TRUE(page.CBVisible->isChecked());
    EXPECT_EQ(boxOnScreen(), ticked);
    // The box can be clicked exactly while "Visible" can.
    EXPECT_TRUE(list.ActiveCheckEnabled());
    page.CBVisible->setToolTip(QStringLiteral("why"));
    page.CBVisible->setEnabled(false);
    EXPECT_FALSE(list.ActiveCheckEnabled());
}

TEST(MapSeriesEditor, TheGrid3DTabComesOnce)
{
    TMapChart chart(1);
    test::THostedSeriesPage<TMapSeriesEditor> hosted(chart.Map);
    TMapSeriesEditor* page = hosted.Page;
    ASSERT_NE(page, nullptr);
    page->hide();
    page->show();
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Grid 3D")), 1);
    ASSERT_NE(page->Grid3DPage, nullptr);
    EXPECT_EQ(page->Grid3DPage->Target(), chart.Map);
}

// Guards the map's global pen and brush read back as their defaults from a
// chart file: the reopened map lost the red border 3 wide and the clear
// fill, and the shapes following it drew with the defaults.
TEST(MapSeriesEditor, TheGlobalPenAndBrushAreKeptByTheChartFileAndDrawTheShapesFollowingThem)
{
    TShownMapPage shown(2);
    TMapSeriesEditor& page = shown.Page;
    shown.Chart.SetView3D(false);
    test::ClickTab(page.PageControl2, page.TabGlobal);
    test::TColorDialogAnswer red;
    red.Answer = clRed;
    test::AnswerPenDialog(3);
    QTest::mouseClick(page.ButtonPen1, Qt::LeftButton);
    test::AnswerBrushDialog(TBrush::bsClear);
    QTest::mouseClick(page.BMapBrush, Qt::LeftButton);
    ASSERT_EQ(shown.Map->Pen()->Color(), clRed);
    ASSERT_EQ(shown.Map->Pen()->Width(), 3);
    ASSERT_EQ(shown.Map->Brush()->Style(), TBrush::bsClear);
    // The first shape follows the map; the second keeps its own.
    test::ClickTab(page.PageControl2, page.TabShapes);
    page.ChartListBox1->SetItemIndex(0);
    test::ClickTab(page.PageControl1, page.TabFormat);
    test::ClickNearLeftEdge(page.CBGlobalPen);
    test::ClickNearLeftEdge(page.CBGlobalBrush);
    ASSERT_TRUE(shown.Map->Polygon(0)->ParentPen());
    ASSERT_TRUE(shown.Map->Polygon(0)->ParentBrush());
    ASSERT_FALSE(shown.Map->Polygon(1)->ParentPen());

    for (const bool text : {false, true}) {
        SCOPED_TRACE(text ? "text" : "binary");
        const std::unique_ptr<TChart> reopened = test::ReopenedChart(shown.Chart, text);
        ASSERT_EQ(reopened->SeriesCount(), 1);
        auto* map = qobject_cast<TMapSeries*>(reopened->Series(0));
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->Pen()->Color(), clRed);
        EXPECT_EQ(map->Pen()->Width(), 3);
        EXPECT_EQ(map->Brush()->Style(), TBrush::bsClear);
        ASSERT_EQ(map->Shapes()->Count(), 2);
        EXPECT_TRUE(map->Polygon(0)->ParentPen());
        EXPECT_TRUE(map->Polygon(0)->ParentBrush());
        // Drawn, the first shape has the red border and no fill inside it;
        // the second shape is filled with its colour.
        reopened->SetBounds(0, 0, 400, 300);
        const QImage drawn = reopened->CreateBitmap(clWhite, reopened->GetRectangle())->ToImage();
        const auto pixelAt = [&](double X, double Y) {
            return drawn.pixelColor(map->CalcXPosValue(X), map->CalcYPosValue(Y));
        };
        EXPECT_EQ(pixelAt(0, 0.5), ToQColor(clRed));
        EXPECT_NE(pixelAt(0.5, 0.5), ToQColor(map->GetValueColor(0)));
        EXPECT_EQ(pixelAt(2.5, 0.5), ToQColor(map->GetValueColor(1)));
    }
}

} // namespace
} // namespace lp
