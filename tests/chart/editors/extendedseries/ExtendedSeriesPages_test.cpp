// The extension series' pages where the page walk cannot see: tabs each
// page adds to the series page (once), controls shown by series class,
// numbers typed half-way, the volume pipe's gradient direction, loading a
// colour grid from a picture file and cancelled dialogs.

#include "chart/editors/extendedseries/BarJoinSeriesPage.h"
#include "chart/editors/extendedseries/BoxSeriesPage.h"
#include "chart/editors/extendedseries/ColorGridSeriesPage.h"
#include "chart/editors/extendedseries/ErrorSeriesPage.h"
#include "chart/editors/extendedseries/FunnelSeriesPage.h"
#include "chart/editors/extendedseries/HistogramSeriesPage.h"
#include "chart/editors/extendedseries/ImageBarSeriesPage.h"
#include "chart/editors/extendedseries/LinePointSeriesPage.h"
#include "chart/editors/extendedseries/PointFigureSeriesPage.h"
#include "chart/editors/extendedseries/TowerSeriesPage.h"
#include "chart/editors/extendedseries/VectorSeriesPage.h"
#include "chart/editors/extendedseries/VolumePipeSeriesPage.h"
#include "chart/editors/extendedseries/WaterfallSeriesPage.h"

#include "../EditorTestSupport.h"
#include "../series/SeriesPageTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/extensions/PlotErrorBar.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "chart/extensions/grid3d/PlotTowerSeries.h"
#include "chart/extensions/grid3d/PlotVector3DSeries.h"
#include "chart/extensions/grid3d/PlotWaterFallSeries.h"
#include "chart/extensions/shapes/PlotImageBar.h"
#include "chart/extensions/shapes/PlotLinePoint.h"
#include "chart/extensions/stats/PlotBoxPlot.h"
#include "chart/extensions/stats/PlotFunnel.h"
#include "chart/extensions/stats/PlotHistogramSeries.h"
#include "chart/extensions/stats/PlotVolumePipe.h"
#include "platform/core/ClassRegistry.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QFocusEvent>
#include <QtGui/QGuiApplication>
#include <QtTest/QTest>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A series of class TSeries on a counting chart, with sample points.
template <class TSeries>
struct TExtendedChart {
    TExtendedChart()
    {
        Series = new TSeries(&Chart);
        Chart.AddSeries(Series);
        Series->FillSampleValues();
    }
    test::TEditorChart Chart;
    TSeries* Series;
};

// Every series type of the family opens its page on the series page's
// "Format" tab (screenshots of each, with the tabs it added).
TEST(ExtendedSeriesPages, EverySeriesTypeOpensItsPageInTheSeriesPage)
{
    const std::pair<const char*, const char*> types[] = {
        {"TErrorSeries", "TErrorSeriesEditor"},         {"TErrorBarSeries", "TErrorSeriesEditor"},
        {"THighLowSeries", "THighLowEditor"},           {"THistogramSeries", "THistogramSeriesEditor"},
        {"TBoxSeries", "TBoxSeriesEditor"},             {"THorizBoxSeries", "TBoxSeriesEditor"},
        {"TPointFigureSeries", "TPointFigureEditor"},   {"TColorGridSeries", "TColorGridEditor"},
        {"TMyPointSeries", "TLinePointEditor"},         {"TImageBarSeries", "TImageBarSeriesEditor"},
        {"TPyramidSeries", "TPyramidSeriesEditor"},     {"TVolumePipeSeries", "TVolumePipeSeriesEditor"},
        {"TFunnelSeries", "TFunnelSeriesEditor"},       {"TCalendarSeries", "TCalendarSeriesEditor"},
        {"TContourSeries", "TContourSeriesEditor"},     {"TWaterFallSeries", "TWaterFallEditor"},
        {"TTowerSeries", "TTowerSeriesEditor"},         {"TVector3DSeries", "TVectorSeriesEditor"},
        {"TBarJoinSeries", "TBarJoinEditor"},
    };
    for (const auto& [seriesClass, pageClass] : types) {
        test::TEditorChart chart;
        auto* series = qobject_cast<TChartSeries*>(CreateComponent(QString::fromLatin1(seriesClass), &chart));
        ASSERT_NE(series, nullptr) << seriesClass;
        chart.AddSeries(series);
        series->FillSampleValues();
        const QStringList before = test::DumpProperties(&chart);
        TFormPlotSeries host;
        host.SetTarget(series);
        host.show();
        ASSERT_NE(host.SeriesEditor(), nullptr) << seriesClass;
        EXPECT_EQ(QString::fromLatin1(host.SeriesEditor()->metaObject()->className()),
                  QStringLiteral("lp::") + QString::fromLatin1(pageClass));
        EXPECT_EQ(host.SeriesEditor()->Target(), series);
        EXPECT_EQ(test::DumpProperties(&chart), before) << seriesClass << " showing wrote";
        test::SaveScreenshot(host, QStringLiteral("series-format-") + QString::fromLatin1(seriesClass + 1));
    }
}

TEST(ExtendedSeriesPages, TheErrorSeriesShowsItsStyleAndTheErrorBarSeriesGetsABarTab)
{
    TExtendedChart<TErrorSeries> error;
    test::THostedSeriesPage<TErrorSeriesEditor> errorPage(error.Series);
    ASSERT_NE(errorPage.Page, nullptr);
    EXPECT_TRUE(errorPage.Page->RGStyle->isVisible());
    EXPECT_FALSE(errorPage.Tabs().contains(QStringLiteral("Bar")));
    errorPage.Page->StyleGroup->button(TCustomErrorSeries::essTop)->click();
    EXPECT_EQ(error.Series->ErrorStyle(), TCustomErrorSeries::essTop);

    // The bar page, once registered, is the error-bar series' "Bar" tab at
    // index 1, added once however often the page shows.
    const TEditorPageFactory barPage = EditorPageFactory(QStringLiteral("TBarSeriesEditor"));
    test::TEditorPageRegistration bar(QStringLiteral("TBarSeriesEditor"),
                                      barPage ? barPage : [](QWidget* Parent) { return new TEditorPage(Parent); });
    {
        TExtendedChart<TErrorBarSeries> bars;
        test::THostedSeriesPage<TErrorSeriesEditor> barPage(bars.Series);
        ASSERT_NE(barPage.Page, nullptr);
        EXPECT_FALSE(barPage.Page->RGStyle->isVisible());
        barPage.ShowAgain();
        EXPECT_EQ(barPage.Tabs().count(QStringLiteral("Bar")), 1);
        // Right after "Format", or after the bar page's own "Stack" tab.
        const int barAt = barPage.Tabs().indexOf(QStringLiteral("Bar"));
        EXPECT_TRUE(barAt == 1 || (barAt == 2 && barPage.Tabs().at(1) == QStringLiteral("Stack")))
            << barPage.Tabs().join(QLatin1Char(' ')).toStdString();
        ASSERT_NE(barPage.Page->BarEditor, nullptr);
        EXPECT_EQ(barPage.Page->BarEditor->Target(), bars.Series);
    }
}

TEST(ExtendedSeriesPages, TheErrorPenGivesTheErrorSeriesItsColourButNotTheErrorBars)
{
    for (bool bars : {false, true}) {
        test::TEditorChart chart;
        TCustomErrorSeries* series = bars ? static_cast<TCustomErrorSeries*>(new TErrorBarSeries(&chart))
                                          : new TErrorSeries(&chart);
        chart.AddSeries(series);
        series->SetSeriesColor(clRed);
        const TColor before = series->SeriesColor();
        TErrorSeriesEditor page;
        page.SetTarget(series);
        page.show();
        QTimer::singleShot(0, [&page] {
            if (TPenDialog* dialog = page.BPen->OpenDialog()) {
                page.BPen->Pen()->SetColor(clBlue);
                dialog->accept();
            }
        });
        QTest::mouseClick(page.BPen, Qt::LeftButton);
        EXPECT_EQ(series->ErrorPen()->Color(), clBlue);
        EXPECT_EQ(series->SeriesColor(), bars ? before : clBlue) << bars;
    }
}

TEST(ExtendedSeriesPages, TheBoxPageAddsItsThreePointerTabsOnce)
{
    TExtendedChart<TBoxSeries> box;
    test::THostedSeriesPage<TBoxSeriesEditor> hosted(box.Series);
    ASSERT_NE(hosted.Page, nullptr);
    hosted.ShowAgain();
    hosted.Host.SetTarget(box.Series);
    const QStringList tabs = hosted.Tabs();
    for (const char* caption : {"Box", "ExtrOut", "MildOut"})
        EXPECT_EQ(tabs.count(QString::fromLatin1(caption)), 1) << caption << tabs.join(' ').toStdString();
    EXPECT_EQ(tabs.mid(0, 4), (QStringList{QStringLiteral("Format"), QStringLiteral("Box"), QStringLiteral("ExtrOut"),
                                           QStringLiteral("MildOut")}));
    EXPECT_EQ(hosted.Page->BoxPointer->Target(), box.Series->Pointer());
    EXPECT_EQ(hosted.Page->ExtrOutPointer->Target(), box.Series->ExtrOut());
    EXPECT_EQ(hosted.Page->MildOutPointer->Target(), box.Series->MildOut());
}

TEST(ExtendedSeriesPages, PositionAndLengthKeepTheirValueUntilTheTextIsANumber)
{
    test::TMessages messages;
    TExtendedChart<TBoxSeries> box;
    box.Series->SetPosition(3);
    TBoxSeriesEditor page;
    page.SetTarget(box.Series);
    page.show();
    EXPECT_EQ(page.EPos->text(), QStringLiteral("3"));
    for (QLineEdit* edit : {page.EPos, page.ELength}) {
        const double position = box.Series->Position();
        const double length = box.Series->WhiskerLength();
        for (const char* typed : {"abc", "-", "", "+"}) {
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            QTest::keyClicks(edit, QString::fromLatin1(typed));
            EXPECT_EQ(box.Series->Position(), position) << typed;
            EXPECT_EQ(box.Series->WhiskerLength(), length) << typed;
        }
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, QStringLiteral("-2.5"));
        EXPECT_EQ(edit == page.EPos ? box.Series->Position() : box.Series->WhiskerLength(), -2.5);
        // Left half-typed, the edit shows the value kept again.
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("-"));
        QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &leaving);
        EXPECT_EQ(edit->text(), QStringLiteral("-2.5"));
    }
    EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join(QLatin1Char('|')).toStdString();
    ResetMessageService();
}

TEST(ExtendedSeriesPages, PointAndFigureSymbolsAreTabsAndItsSizesKeepNonNumbers)
{
    TExtendedChart<TPointFigureSeries> figure;
    test::THostedSeriesPage<TPointFigureEditor> hosted(figure.Series);
    ASSERT_NE(hosted.Page, nullptr);
    EXPECT_EQ(hosted.Tabs().mid(0, 3),
              (QStringList{QStringLiteral("Format"), QStringLiteral("Up"), QStringLiteral("Down")}));
    EXPECT_EQ(hosted.Page->UpPointer->Target(), figure.Series->UpSymbol());
    EXPECT_EQ(hosted.Page->DownPointer->Target(), figure.Series->DownSymbol());
    const double box = figure.Series->BoxSize();
    hosted.Page->EBoxSize->selectAll();
    QTest::keyClicks(hosted.Page->EBoxSize, QStringLiteral("x"));
    EXPECT_EQ(figure.Series->BoxSize(), box);
}

TEST(ExtendedSeriesPages, ABoxSizeTooSmallForThePricesIsRefused)
{
    // Regression: a box size of 1e-9 was taken and every paint drew about
    // 1e10 symbols: the program hung.
    test::TMessages messages;
    TExtendedChart<TPointFigureSeries> figure;
    test::THostedSeriesPage<TPointFigureEditor> hosted(figure.Series);
    ASSERT_NE(hosted.Page, nullptr);
    // "1e-9" is refused when typing is done, and the size stays.
    test::RetypeText(hosted.Page->EBoxSize, QStringLiteral("1e-9"));
    EXPECT_DOUBLE_EQ(figure.Series->BoxSize(), 1);
    QTest::keyClick(hosted.Page->EBoxSize, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(figure.Series->BoxSize(), 1);
    ASSERT_EQ(messages.Texts.size(), 1);
    EXPECT_TRUE(messages.Texts.front().contains(QStringLiteral("boxes"))) << messages.Texts.front().toStdString();
    // Regression: "0.5" was judged at "0" and at "0.", a message each.
    messages.Texts.clear();
    test::RetypeText(hosted.Page->EBoxSize, QStringLiteral("0.5"));
    QTest::keyClick(hosted.Page->EBoxSize, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(figure.Series->BoxSize(), 0.5);
    EXPECT_TRUE(messages.Texts.isEmpty());
    // Without prices any positive size is taken: it draws nothing.
    figure.Series->Clear();
    test::RetypeText(hosted.Page->EBoxSize, QStringLiteral("1e-9"));
    QTest::keyClick(hosted.Page->EBoxSize, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(figure.Series->BoxSize(), 1e-9);
    EXPECT_TRUE(messages.Texts.isEmpty());
}

TEST(ExtendedSeriesPages, VolumePipeDirectionAndClearBack)
{
    TExtendedChart<TVolumePipeSeries> pipe;
    TVolumePipeSeriesEditor page;
    page.SetTarget(pipe.Series);
    page.show();
    EXPECT_EQ(page.UpDown1->value(), 30);
    EXPECT_EQ(page.CBDirection->currentIndex(), 0);
    page.CBDirection->setFocus();
    QTest::keyClick(page.CBDirection, Qt::Key_Down);
    EXPECT_EQ(page.CBDirection->currentText(), QStringLiteral("Left Right"));
    EXPECT_EQ(static_cast<int>(pipe.Series->Gradient()->Direction()), 3);
    QTest::keyClick(page.CBDirection, Qt::Key_Up);
    EXPECT_EQ(static_cast<int>(pipe.Series->Gradient()->Direction()), 0);
    // Any direction but the first shows as "Left Right".
    pipe.Series->Gradient()->SetDirection(TGradientDirections::gdRadial);
    page.Refresh();
    EXPECT_EQ(page.CBDirection->currentIndex(), 1);

    test::ClickNearLeftEdge(page.CheckBox1);
    EXPECT_EQ(static_cast<int>(pipe.Series->Brush()->Color()), TVolumePipeSeriesEditor::ClearBackColor);
    // A colour chosen in the brush dialog does not undo a clear back.
    QTimer::singleShot(0, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                dialog->accept();
    });
    QTest::mouseClick(page.Button1, Qt::LeftButton);
    EXPECT_EQ(static_cast<int>(pipe.Series->Brush()->Color()), TVolumePipeSeriesEditor::ClearBackColor);
}

TEST(ExtendedSeriesPages, ALimitPastFiftyIsNotTaken)
{
    TExtendedChart<TFunnelSeries> funnel;
    funnel.Series->SetDifferenceLimit(30.6);
    TFunnelSeriesEditor page;
    page.SetTarget(funnel.Series);
    page.show();
    EXPECT_EQ(page.DifLimit->value(), 31);
    page.DifLimit->setFocus();
    page.DifLimit->selectAll();
    QTest::keyClicks(page.DifLimit, QStringLiteral("51"));
    EXPECT_NE(funnel.Series->DifferenceLimit(), 51);
    EXPECT_LE(funnel.Series->DifferenceLimit(), 50);
    page.DifLimit->selectAll();
    QTest::keyClicks(page.DifLimit, QStringLiteral("0"));
    EXPECT_GE(funnel.Series->DifferenceLimit(), 1);
}

TEST(ExtendedSeriesPages, TheColourGridLoadsAPictureFileAndACancelChangesNothing)
{
    TExtendedChart<TColorGridSeries> grid;
    TColorGridEditor page;
    page.SetTarget(grid.Series);
    page.show();
    const QStringList before = test::DumpProperties(&grid.Chart);
    const int count = grid.Series->Count();
    CommonDialogService().ExecuteOpen = [](TOpenDialogRequest&) { return false; };
    QTest::mouseClick(page.Button2, Qt::LeftButton);
    EXPECT_EQ(grid.Series->Count(), count);
    EXPECT_EQ(test::DumpProperties(&grid.Chart), before);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cells.png"));
    QImage cells(4, 3, QImage::Format_RGB32);
    cells.fill(QColor(0, 128, 255));
    cells.setPixel(0, 0, qRgb(255, 0, 0));
    ASSERT_TRUE(cells.save(file));
    CommonDialogService().ExecuteOpen = [&file](TOpenDialogRequest& Request) {
        Request.FileName = file;
        return true;
    };
    const int paints = grid.Chart.Invalidations;
    QTest::mouseClick(page.Button2, Qt::LeftButton);
    ResetCommonDialogService();
    EXPECT_EQ(grid.Series->Count(), 12);
    EXPECT_GT(grid.Chart.Invalidations, paints);
}

TEST(ExtendedSeriesPages, TheColourGridRefusesAPictureLargerThanItsGrid)
{
    // Regression: "Load..." made one point per pixel: a 4 KB PNG of
    // 3000 x 3000 pixels ran past 20 s, one of 5000 x 5000 took minutes and
    // gigabytes. Such a picture is refused from its header, with a message.
    test::TMessages messages;
    TExtendedChart<TColorGridSeries> grid;
    TColorGridEditor page;
    page.SetTarget(grid.Series);
    page.show();
    const QStringList before = test::DumpProperties(&grid.Chart);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("huge.png"));
    QImage huge(3000, 3000, QImage::Format_Mono);
    huge.fill(0);
    ASSERT_TRUE(huge.save(file));
    EXPECT_LT(QFileInfo(file).size(), 8192);
    CommonDialogService().ExecuteOpen = [&file](TOpenDialogRequest& Request) {
        Request.FileName = file;
        return true;
    };
    QTest::mouseClick(page.Button2, Qt::LeftButton);
    ResetCommonDialogService();
    ASSERT_EQ(messages.Texts.size(), 1);
    EXPECT_TRUE(messages.Texts.front().contains(QStringLiteral("3000 x 3000"))) << messages.Texts.front().toStdString();
    EXPECT_EQ(test::DumpProperties(&grid.Chart), before);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(ExtendedSeriesPages, TheImageBarBrowsesClearsAndTilesOnlyWithAPicture)
{
    TExtendedChart<TImageBarSeries> bars;
    TImageBarSeriesEditor page;
    page.SetTarget(bars.Series);
    page.show();
    // A new image bar series comes with a picture: cleared first.
    ASSERT_NE(bars.Series->Image()->Graphic(), nullptr);
    EXPECT_EQ(page.BBrowse->text(), QStringLiteral("Clea&r"));
    QTest::mouseClick(page.BBrowse, Qt::LeftButton);
    EXPECT_EQ(page.BBrowse->text(), QStringLiteral("B&rowse..."));
    EXPECT_FALSE(page.CBTiled->isEnabled());
    CommonDialogService().ExecuteOpen = [](TOpenDialogRequest&) { return false; };
    QTest::mouseClick(page.BBrowse, Qt::LeftButton);
    EXPECT_EQ(bars.Series->Image()->Graphic(), nullptr);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bar.png"));
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(file));
    CommonDialogService().ExecuteOpen = [&file](TOpenDialogRequest& Request) {
        Request.FileName = file;
        return true;
    };
    QTest::mouseClick(page.BBrowse, Qt::LeftButton);
    ResetCommonDialogService();
    ASSERT_NE(bars.Series->Image()->Graphic(), nullptr);
    EXPECT_EQ(page.BBrowse->text(), QStringLiteral("Clea&r"));
    EXPECT_TRUE(page.CBTiled->isEnabled());
    EXPECT_FALSE(page.Image1->pixmap().isNull());
    test::ClickNearLeftEdge(page.CBTiled);
    EXPECT_TRUE(bars.Series->ImageTiled());
    QTest::mouseClick(page.BBrowse, Qt::LeftButton);
    EXPECT_EQ(bars.Series->Image()->Graphic(), nullptr);
    EXPECT_EQ(page.BBrowse->text(), QStringLiteral("B&rowse..."));
    EXPECT_FALSE(page.CBTiled->isEnabled());
}

TEST(ExtendedSeriesPages, OneColourOnlyWithoutColourEachAndCancelledDialogsChangeNothing)
{
    TExtendedChart<THistogramSeries> histogram;
    THistogramSeriesEditor page;
    page.SetTarget(histogram.Series);
    page.show();
    EXPECT_EQ(page.BAreaColor->isEnabled(), !histogram.Series->ColorEachPoint());
    test::ClickNearLeftEdge(page.CBColorEach);
    EXPECT_EQ(page.BAreaColor->isEnabled(), !histogram.Series->ColorEachPoint());
    test::ClickNearLeftEdge(page.CBColorEach);
    EXPECT_TRUE(page.BAreaColor->isEnabled());

    const QStringList before = test::DumpProperties(&histogram.Chart);
    {
        test::TColorDialogAnswer cancel;
        QTest::mouseClick(page.BAreaColor, Qt::LeftButton);
        EXPECT_EQ(cancel.Requests.size(), 1u);
    }
    QTimer::singleShot(0, [&page] {
        if (TPenDialog* dialog = page.BAreaLinesPen->OpenDialog())
            dialog->reject();
    });
    QTest::mouseClick(page.BAreaLinesPen, Qt::LeftButton);
    QTimer::singleShot(0, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                dialog->reject();
    });
    QTest::mouseClick(page.Button1, Qt::LeftButton);
    EXPECT_EQ(test::DumpProperties(&histogram.Chart), before);
}

TEST(ExtendedSeriesPages, TheLinePointPageIsThePointerPageWithTheLinesPen)
{
    TExtendedChart<TMyPointSeries> points;
    TLinePointEditor page;
    page.SetTarget(points.Series);
    page.show();
    EXPECT_EQ(page.BLines->Pen(), points.Series->LinesPen());
    EXPECT_TRUE(page.BLines->isVisible());
    EXPECT_TRUE(page.CBDrawPoint->isVisible());
}

// Types Text into Spin's field as a user does, replacing what it shows
// (no Enter: shown alone, the page's first button is its default).
void ExtendedPageTypeInto(QSpinBox* Spin, const QString& Text)
{
    QLineEdit* field = Spin->findChild<QLineEdit*>();
    Spin->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, Text);
}

// Closes the dialog a click is about to open (the brush dialog) with
// Cancel once it shows.
void RejectNextDialog()
{
    QTimer::singleShot(0, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                dialog->reject();
    });
}

// Clicks a pen button whose dialog is changed and then cancelled.
void CancelPenDialog(TButtonPen* Button)
{
    QTimer::singleShot(0, [Button] {
        if (TPenDialog* dialog = Button->OpenDialog()) {
            dialog->UDWidth->setValue(dialog->UDWidth->value() + 3);
            QTest::mouseClick(dialog->BCancel, Qt::LeftButton);
        }
    });
    QTest::mouseClick(Button, Qt::LeftButton);
}

// The "Grid 3D" tabs of a series page hosting a page shown again.
template <class TPage>
int Grid3DTabsOf(test::THostedSeriesPage<TPage>& Hosted)
{
    Hosted.ShowAgain();
    return static_cast<int>(Hosted.Tabs().count(QStringLiteral("Grid 3D")));
}

TEST(ExtendedSeriesPages, TheTowerUsesItsOriginAndKeepsAnOriginThatIsNoNumber)
{
    test::TMessages messages;
    TExtendedChart<TTowerSeries> tower;
    tower.Series->SetOrigin(2.5);
    TTowerSeriesEditor page;
    page.SetTarget(tower.Series);
    page.show();
    EXPECT_EQ(page.EOrigin->text(), QStringLiteral("2.5"));
    EXPECT_FALSE(page.CBOrigin->isChecked());
    test::ClickNearLeftEdge(page.CBOrigin);
    EXPECT_TRUE(tower.Series->UseOrigin());
    for (const char* typed : {"abc", "-", "", "x1"}) {
        page.EOrigin->setFocus();
        page.EOrigin->selectAll();
        QTest::keyClick(page.EOrigin, Qt::Key_Delete);
        QTest::keyClicks(page.EOrigin, QString::fromLatin1(typed));
        EXPECT_EQ(tower.Series->Origin(), 2.5) << typed;
    }
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(page.EOrigin, &leaving);
    EXPECT_EQ(page.EOrigin->text(), QStringLiteral("2.5"));
    page.EOrigin->selectAll();
    QTest::keyClicks(page.EOrigin, QStringLiteral("-40"));
    EXPECT_EQ(tower.Series->Origin(), -40);
    test::ClickNearLeftEdge(page.CBOrigin);
    EXPECT_FALSE(tower.Series->UseOrigin());
    EXPECT_EQ(tower.Series->Origin(), -40);
    EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join(QLatin1Char('|')).toStdString();
    ResetMessageService();

    // Eight shapes; the percentages move by fives.
    EXPECT_EQ(page.CBStyle->count(), 8);
    EXPECT_EQ(page.CBStyle->itemText(7), QStringLiteral("Slant Cube"));
    page.CBStyle->setCurrentIndex(7);
    EXPECT_EQ(tower.Series->TowerStyle(), TTowerSeries::tsSlantCube);
    for (QSpinBox* spin : {page.UDDepth, page.UDWidth, page.UDTransp})
        EXPECT_EQ(spin->singleStep(), 5) << spin->objectName().toStdString();
    page.UDDepth->setFocus();
    QTest::keyClick(page.UDDepth, Qt::Key_Down);
    EXPECT_EQ(tower.Series->PercentDepth(), 95);
}

TEST(ExtendedSeriesPages, TheTowerVectorAndWaterfallPagesAddTheGrid3DTabOnce)
{
    {
        TExtendedChart<TTowerSeries> tower;
        test::THostedSeriesPage<TTowerSeriesEditor> hosted(tower.Series);
        ASSERT_NE(hosted.Page, nullptr);
        EXPECT_EQ(Grid3DTabsOf(hosted), 1);
        EXPECT_EQ(hosted.Tabs().indexOf(QStringLiteral("Grid 3D")), 1);
        ASSERT_NE(hosted.Page->Grid3DEditor, nullptr);
        EXPECT_EQ(hosted.Page->Grid3DEditor->Target(), tower.Series);
    }
    {
        TExtendedChart<TVector3DSeries> vector;
        test::THostedSeriesPage<TVectorSeriesEditor> hosted(vector.Series);
        ASSERT_NE(hosted.Page, nullptr);
        EXPECT_EQ(Grid3DTabsOf(hosted), 1);
        ASSERT_NE(hosted.Page->Grid3DEditor, nullptr);
        EXPECT_EQ(hosted.Page->Grid3DEditor->Target(), vector.Series);
    }
    {
        TExtendedChart<TWaterFallSeries> waterfall;
        test::THostedSeriesPage<TWaterFallEditor> hosted(waterfall.Series);
        ASSERT_NE(hosted.Page, nullptr);
        EXPECT_EQ(Grid3DTabsOf(hosted), 1);
    }
}

TEST(ExtendedSeriesPages, TheVectorArrowsTakeTheDefaultColourOrBlack)
{
    TExtendedChart<TVector3DSeries> vector;
    TVectorSeriesEditor page;
    page.SetTarget(vector.Series);
    page.show();
    EXPECT_EQ(page.BStart->Pen(), vector.Series->StartArrow());
    EXPECT_EQ(page.BEnd->Pen(), vector.Series->EndArrow());
    EXPECT_EQ(page.UDWidth->minimum(), 1);
    EXPECT_EQ(page.UDWidth->maximum(), 1000);
    EXPECT_EQ(page.UDHeight->minimum(), 1);
    EXPECT_EQ(page.UDHeight->maximum(), 1000);
    EXPECT_EQ(page.UDWidth->value(), 4);
    EXPECT_EQ(page.UDHeight->value(), 4);
    ExtendedPageTypeInto(page.UDHeight, QStringLiteral("12"));
    EXPECT_EQ(vector.Series->ArrowHeight(), 12);
    ExtendedPageTypeInto(page.UDWidth, QStringLiteral("9"));
    EXPECT_EQ(vector.Series->ArrowWidth(), 9);

    const std::pair<QCheckBox*, TChartPen*> arrows[] = {{page.CBStart, vector.Series->StartArrow()},
                                                         {page.CBEnd, vector.Series->EndArrow()}};
    for (const auto& [check, pen] : arrows) {
        ASSERT_EQ(pen->Color(), clPlotColor);
        EXPECT_TRUE(check->isChecked());
        const int paints = vector.Chart.Invalidations;
        test::ClickNearLeftEdge(check);
        EXPECT_EQ(pen->Color(), clBlack);
        EXPECT_GT(vector.Chart.Invalidations, paints);
        test::ClickNearLeftEdge(check);
        EXPECT_EQ(pen->Color(), clPlotColor);
        // A colour of its own shows unticked.
        pen->SetColor(clRed);
        page.Refresh();
        EXPECT_FALSE(check->isChecked());
        test::ClickNearLeftEdge(check);
        EXPECT_EQ(pen->Color(), clPlotColor);
    }
    // A colour chosen with the pen button unticks the box.
    QTimer::singleShot(0, [&page] {
        if (TPenDialog* dialog = page.BEnd->OpenDialog()) {
            page.BEnd->Pen()->SetColor(clGreen);
            dialog->accept();
        }
    });
    QTest::mouseClick(page.BEnd, Qt::LeftButton);
    EXPECT_EQ(vector.Series->EndArrow()->Color(), clGreen);
    EXPECT_FALSE(page.CBEnd->isChecked());
}

TEST(ExtendedSeriesPages, TheWaterfallAndBarJoinPagesAddTheirPenToTheBasePage)
{
    {
        TExtendedChart<TWaterFallSeries> waterfall;
        TWaterFallEditor page;
        page.SetTarget(waterfall.Series);
        page.show();
        EXPECT_EQ(page.BLines->Pen(), waterfall.Series->WaterLines());
        EXPECT_EQ(page.BLines->text(), QStringLiteral("&Lines..."));
        EXPECT_TRUE(page.BLines->isVisible());
        EXPECT_EQ(page.BSideLines->Pen(), waterfall.Series->SideLines());
        // Beside the sides' lines.
        EXPECT_EQ(page.BLines->y(), page.BSideLines->y());
        EXPECT_GT(page.BLines->x(), page.BSideLines->x());
    }
    {
        TExtendedChart<TBarJoinSeries> bars;
        TBarJoinEditor page;
        page.SetTarget(bars.Series);
        page.show();
        EXPECT_EQ(page.BJoin->Pen(), bars.Series->JoinPen());
        EXPECT_EQ(page.BJoin->text(), QStringLiteral("&Join..."));
        EXPECT_TRUE(page.BJoin->isVisible());
        EXPECT_EQ(page.BJoin->parentWidget(), page.TabSheet1);
        EXPECT_EQ(page.BBarPen->Pen(), bars.Series->BarPen());
        QTimer::singleShot(0, [&page] {
            if (TPenDialog* dialog = page.BJoin->OpenDialog()) {
                page.BJoin->Pen()->SetWidth(3);
                dialog->accept();
            }
        });
        const int paints = bars.Chart.Invalidations;
        QTest::mouseClick(page.BJoin, Qt::LeftButton);
        EXPECT_EQ(bars.Series->JoinPen()->Width(), 3);
        EXPECT_GT(bars.Chart.Invalidations, paints);
    }
}

TEST(ExtendedSeriesPages, CancelledDialogsOnTheGridAndBarJoinPagesChangeNothing)
{
    {
        TExtendedChart<TTowerSeries> tower;
        TTowerSeriesEditor page;
        page.SetTarget(tower.Series);
        page.show();
        const QStringList before = test::DumpProperties(&tower.Chart);
        CancelPenDialog(page.ButtonPen1);
        RejectNextDialog();
        QTest::mouseClick(page.Button1, Qt::LeftButton);
        EXPECT_EQ(test::DumpProperties(&tower.Chart), before);
    }
    {
        TExtendedChart<TVector3DSeries> vector;
        TVectorSeriesEditor page;
        page.SetTarget(vector.Series);
        page.show();
        const QStringList before = test::DumpProperties(&vector.Chart);
        CancelPenDialog(page.BStart);
        CancelPenDialog(page.BEnd);
        EXPECT_EQ(test::DumpProperties(&vector.Chart), before);
        EXPECT_TRUE(page.CBStart->isChecked());
        EXPECT_TRUE(page.CBEnd->isChecked());
    }
    {
        TExtendedChart<TWaterFallSeries> waterfall;
        TWaterFallEditor page;
        page.SetTarget(waterfall.Series);
        page.show();
        const QStringList before = test::DumpProperties(&waterfall.Chart);
        CancelPenDialog(page.BLines);
        EXPECT_EQ(test::DumpProperties(&waterfall.Chart), before);
    }
    {
        TExtendedChart<TBarJoinSeries> bars;
        TBarJoinEditor page;
        page.SetTarget(bars.Series);
        page.show();
        const QStringList before = test::DumpProperties(&bars.Chart);
        CancelPenDialog(page.BJoin);
        EXPECT_EQ(test::DumpProperties(&bars.Chart), before);
    }
}

} // namespace
} // namespace lp
