// The gallery panel's grid rules, keys and smooth drawing, and both series
// galleries driven through the series list and their entry routines; what
// a change of type leaves reads back from the saved chart, and a data
// source the new kind refuses is dropped and reported.

#include "chart/editors/gallery/ChartGalleryPanel.h"
#include "chart/editors/gallery/SeriesGallery.h"
#include "chart/editors/gallery/SeriesGalleryAlternate.h"

#include "DialogTestUtil.h"
#include "../EditorTestSupport.h"
#include "../ReopenedChart.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/data/PlotSelectList.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/functions/FunctionPage.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "chart/extensions/grid3d/PlotWaterFallSeries.h"
#include "chart/extensions/points3d/PlotPoint3DSeries.h"
#include "chart/extensions/shapes/PlotChartShape.h"
#include "chart/extensions/tools/PlotMarksTipTool.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QBuffer>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

// Runs Action on the next modal dialog of type T that opens.
template <class T>
void WhenShown(std::function<void(T&)> Action)
{
    QTimer::singleShot(0, [Action] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(w); dialog && dialog->isVisible()) {
                Action(*dialog);
                return;
            }
        ADD_FAILURE() << "no dialog shown";
    });
}

struct GalleryModeSetting {
    test::TEditorSettingsFolder Folder;
    explicit GalleryModeSetting(int Mode) { WriteEditorRegInteger(QStringLiteral("GalleryMode"), Mode); }
};

TEST(GalleryPanel, RowsGrowOnlyWhenThePageNeedsThem)
{
    EXPECT_EQ(GalleryRowsFor(13, 4, 3), 4);
    EXPECT_EQ(GalleryRowsFor(5, 4, 3), 3);
    EXPECT_EQ(GalleryRowsFor(12, 4, 4), 3);
}

TEST(GalleryPanel, TheStandardPageNamesItsChartsAndKeysMoveTheSelection)
{
    test::TEditorSettingsFolder folder;
    TChartGalleryPanel panel;
    panel.resize(480, 300);
    panel.show();
    panel.CreateGalleryPage(PlotMsg_GalleryStandard);
    ASSERT_GE(panel.Count(), 5);
    EXPECT_EQ(panel.Chart(0)->Name(), QStringLiteral("PlotGalleryChart1"));
    EXPECT_EQ(panel.SelectedChart(), panel.Chart(0));
    int key = VK_RIGHT;
    panel.HandleKey(key, {});
    EXPECT_EQ(panel.SelectedChart(), panel.Chart(1));
    // The last column is the edge.
    panel.SelectChart(panel.Chart(3));
    key = VK_RIGHT;
    panel.HandleKey(key, {});
    EXPECT_EQ(panel.SelectedChart(), panel.Chart(3));
    key = VK_DOWN;
    panel.HandleKey(key, {});
    EXPECT_EQ(panel.SelectedChart(), panel.Chart(7 < panel.Count() ? 7 : 3));
    const QMetaObject* seriesClass = nullptr;
    const QMetaObject* functionClass = nullptr;
    int sub = 99;
    ASSERT_TRUE(panel.GetSeriesClass(seriesClass, functionClass, sub));
    EXPECT_EQ(sub, -1) << "no sub-style chosen";
}

TEST(GalleryPanel, ChartsThatCannotTakeTheReferenceAreSkipped)
{
    test::TEditorSettingsFolder folder;
    TEditorChart chart;
    auto* reference = new TLineSeries(&chart);
    chart.AddSeries(reference);
    TChartGalleryPanel panel;
    panel.resize(480, 300);
    panel.show();
    panel.ReferenceSeries = reference;
    panel.CheckValidity = true;
    panel.CreateGalleryPage(PlotMsg_GalleryStandard);
    int disabled = 0;
    for (int i = 0; i < panel.Count(); ++i)
        if (panel.Chart(i)->Disabled()) {
            ++disabled;
            EXPECT_EQ(panel.Chart(i)->Cursor(), crNoDrop);
            EXPECT_EQ(panel.Chart(i)->Title()->Font()->Color(), 0x808080);
        }
    ASSERT_NE(panel.SelectedChart(), nullptr);
    EXPECT_FALSE(panel.SelectedChart()->Disabled());
    // Every arrow from every enabled chart lands on an enabled one.
    for (int i = 0; i < panel.Count(); ++i) {
        if (panel.Chart(i)->Disabled())
            continue;
        for (int k : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) {
            panel.SelectChart(panel.Chart(i));
            int key = k;
            panel.HandleKey(key, {});
            EXPECT_FALSE(panel.SelectedChart()->Disabled());
        }
    }
    if (disabled == 0)
        GTEST_SKIP() << "every standard type takes a line series";
}

TEST(GalleryPanel, SmoothRepaintsKeepTheLabelSizes)
{
    test::TEditorSettingsFolder folder;
    TChartGalleryPanel panel;
    panel.SetSmooth(true);
    panel.resize(480, 300);
    panel.show();
    panel.CreateGalleryPage(PlotMsg_GalleryStandard);
    TGalleryChart* chart = panel.Chart(0);
    const int left = chart->LeftAxis()->LabelsFont()->Size();
    const int bottom = chart->BottomAxis()->LabelsFont()->Size();
    for (int i = 0; i < 20; ++i)
        chart->Widget()->repaint();
    EXPECT_EQ(chart->LeftAxis()->LabelsFont()->Size(), left);
    EXPECT_EQ(chart->BottomAxis()->LabelsFont()->Size(), bottom);
    EXPECT_FALSE(chart->LeftAxis()->Labels());
    test::SaveScreenshot(panel, QStringLiteral("gallery-panel-smooth"));
}

TEST(GalleryPanel, SubGalleryPopsUpAndEscapeCancels)
{
    test::TEditorSettingsFolder folder;
    TChartGalleryPanel panel;
    panel.resize(480, 300);
    panel.show();
    panel.CreateGalleryPage(PlotMsg_GalleryStandard);
    bool subSelected = false;
    panel.OnSubSelected = [&subSelected](TChartGalleryPanel*) { subSelected = true; };
    QTimer::singleShot(0, [&panel] {
        ASSERT_NE(panel.SubPanel(), nullptr);
        EXPECT_GE(panel.SubPanel()->Count(), 1);
        EXPECT_TRUE(panel.SubGalleryForm()->windowFlags() & Qt::Popup);
        test::SaveScreenshot(*panel.SubGalleryForm(), QStringLiteral("gallery-sub-gallery"));
        QTest::keyClick(panel.SubGalleryForm(), Qt::Key_Escape);
    });
    int key = VK_DOWN;
    panel.HandleKey(key, TControl::ssAlt);
    EXPECT_FALSE(subSelected);
    EXPECT_EQ(panel.SelectedChart()->Tag, -1);
}

TEST(GalleryPanel, AChosenSubStyleIsAppliedAndTheFirstRestoresTheNormalLook)
{
    test::TEditorSettingsFolder folder;
    TChartGalleryPanel panel;
    panel.resize(480, 300);
    panel.show();
    panel.CreateGalleryPage(PlotMsg_GalleryStandard);
    int subSelected = 0;
    panel.OnSubSelected = [&subSelected](TChartGalleryPanel*) { ++subSelected; };
    // Right, then a double-click in the pop-up: the second style.
    QTimer::singleShot(0, [&panel] {
        int key = VK_RIGHT;
        panel.SubPanel()->HandleKey(key, {});
        EXPECT_EQ(panel.SubPanel()->SelectedChart()->Tag, 1);
        QTest::mouseDClick(panel.SubPanel()->SelectedChart()->Widget(), Qt::LeftButton);
    });
    panel.ShowSubGallery();
    EXPECT_EQ(subSelected, 1);
    EXPECT_EQ(panel.SelectedChart()->Tag, 1);
    // Watched rather than compared by address: a new series may take the
    // old one's place in memory.
    const QPointer<TChartSeries> styled = panel.SelectedChart()->Series(0);
    const int count = panel.SelectedChart()->SeriesCount();
    // The first style ("Normal") makes the series afresh.
    QTimer::singleShot(0, [&panel] {
        int key = VK_RETURN;
        panel.SubPanel()->HandleKey(key, {});
    });
    panel.ShowSubGallery();
    EXPECT_EQ(subSelected, 2);
    EXPECT_EQ(panel.SelectedChart()->Tag, 0);
    EXPECT_EQ(panel.SelectedChart()->SeriesCount(), count);
    EXPECT_TRUE(styled.isNull());
    const QMetaObject* seriesClass = nullptr;
    const QMetaObject* functionClass = nullptr;
    int sub = -1;
    ASSERT_TRUE(panel.GetSeriesClass(seriesClass, functionClass, sub));
    EXPECT_EQ(sub, 0);
}

struct SeriesGalleryTest : ::testing::Test {
    test::TEditorSettingsFolder Folder;
    TEditorChart Chart;
};

TEST_F(SeriesGalleryTest, AddingFromTheTabbedGalleryAndCancelling)
{
    WhenShown<TPlotGallery>([](TPlotGallery& form) {
        EXPECT_EQ(form.TabTypes->count(), 2) << "adding offers functions";
        EXPECT_EQ(form.TabPages->tabText(0), PlotMsg_GalleryStandard);
        EXPECT_TRUE(form.TabPages->isVisible());
        EXPECT_GT(form.TabPages->height(), 10) << form.TabPages->geometry().y() << " " << form.TabPages->count();
        test::SaveScreenshot(form, QStringLiteral("gallery-tabbed"));
        QTest::mouseClick(form.CBSmooth, Qt::LeftButton, {}, QPoint(6, form.CBSmooth->height() / 2));
        EXPECT_TRUE(form.ChartGalleryPanel1->Smooth());
        EXPECT_TRUE(ReadEditorRegBoolean(QStringLiteral("SmoothGallery"), false)) << "written at once";
        test::SaveScreenshot(form, QStringLiteral("gallery-tabbed-smooth"));
        form.ChartGalleryPanel1->SelectChart(form.ChartGalleryPanel1->Chart(1));
        QTest::mouseClick(form.BOk, Qt::LeftButton);
    });
    TChartSeries* made = AddFromGalleryHook()(nullptr, &Chart, nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(Chart.SeriesCount(), 1);
    WhenShown<TPlotGallery>([](TPlotGallery& form) { QTest::mouseClick(form.BCancel, Qt::LeftButton); });
    EXPECT_EQ(AddFromGalleryHook()(nullptr, &Chart, nullptr), nullptr);
    EXPECT_EQ(Chart.SeriesCount(), 1);
}

TEST_F(SeriesGalleryTest, ADoubleClickedChartIsTheOneChosen)
{
    const QMetaObject* clicked = nullptr;
    WhenShown<TPlotGallery>([&clicked](TPlotGallery& form) {
        TGalleryChart* chart = form.ChartGalleryPanel1->Chart(2);
        clicked = chart->Series(0)->metaObject();
        // The window closing hands the focus to the next chart; the choice
        // stays the double-clicked one.
        QTest::mouseDClick(chart->Widget(), Qt::LeftButton);
    });
    TChartSeries* made = AddFromGalleryHook()(nullptr, &Chart, nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->metaObject(), clicked);
}

// Add..., a preview chart clicked: the arrows stay with the charts, Escape
// goes on to the gallery, which closes as Cancel closes it.
TEST_F(SeriesGalleryTest, EscapeOnAFocusedChartCancelsTheGallery)
{
    bool openAfterArrow = false;
    bool openAfterEscape = true;
    WhenShown<TPlotGallery>([&](TPlotGallery& form) {
        TChartGalleryPanel& panel = *form.ChartGalleryPanel1;
        QTest::mouseClick(panel.Chart(1)->Widget(), Qt::LeftButton);
        EXPECT_EQ(form.focusWidget(), panel.Chart(1)->Widget());
        QTest::keyPress(panel.Chart(1)->Widget(), Qt::Key_Right);
        QTest::keyRelease(panel.Chart(1)->Widget(), Qt::Key_Right);
        openAfterArrow = form.isVisible();
        EXPECT_EQ(panel.SelectedChart(), panel.Chart(2));
        QWidget* focused = panel.SelectedChart()->Widget();
        QTest::keyPress(focused, Qt::Key_Escape);
        QTest::keyRelease(focused, Qt::Key_Escape);
        openAfterEscape = form.isVisible();
        if (openAfterEscape)
            form.reject(); // the old way out, so that the test ends
    });
    EXPECT_EQ(AddFromGalleryHook()(nullptr, &Chart, nullptr), nullptr);
    EXPECT_TRUE(openAfterArrow);
    EXPECT_FALSE(openAfterEscape);
    EXPECT_EQ(Chart.SeriesCount(), 0);
}

TEST_F(SeriesGalleryTest, ChangingToTheOwnTypeWithoutAStyleKeepsTheSeries)
{
    TChartSeries* series = CreateNewSeries(&Chart, &Chart, &TBarSeries::staticMetaObject);
    TChartSeries* variable = series;
    WhenShown<TPlotGallery>([](TPlotGallery& form) {
        EXPECT_EQ(form.TabTypes->count(), 1) << "changing offers no functions";
        TGalleryChart* selected = form.ChartGalleryPanel1->SelectedChart();
        ASSERT_NE(selected, nullptr);
        EXPECT_EQ(selected->Series(0)->metaObject(), &TBarSeries::staticMetaObject) << "the own type preselected";
        QTest::mouseClick(form.BOk, Qt::LeftButton);
    });
    ChangeTypeHook()(nullptr, variable);
    EXPECT_EQ(variable, series);
    EXPECT_EQ(Chart.SeriesCount(), 1);

    // With a style of its own type the series is replaced.
    WhenShown<TPlotGallery>([](TPlotGallery& form) {
        form.ChartGalleryPanel1->SelectedChart()->Tag = 1;
        QTest::mouseClick(form.BOk, Qt::LeftButton);
    });
    ChangeTypeHook()(nullptr, variable);
    EXPECT_NE(variable, series);
    EXPECT_EQ(Chart.SeriesCount(), 1);
    EXPECT_EQ(variable->metaObject(), &TBarSeries::staticMetaObject);
}

// Changing the type of several selected series: a cancelled gallery leaves
// every one of them as it was; OK on the first one's own type gives the
// others that type.
TEST_F(SeriesGalleryTest, ChangingTheTypeOfSelectedSeriesFollowsTheGalleryAnswer)
{
    CreateNewSeries(&Chart, &Chart, &TBarSeries::staticMetaObject);
    CreateNewSeries(&Chart, &Chart, &TLineSeries::staticMetaObject);
    TChartListBox list;
    list.SetChart(&Chart);
    list.show();
    list.SelectSeriesRow(Chart.Series(0));
    list.SelectSeriesRow(Chart.Series(1));
    ASSERT_EQ(list.SelectedSeries().size(), 2u);

    WhenShown<TPlotGallery>([](TPlotGallery& form) { QTest::mouseClick(form.BCancel, Qt::LeftButton); });
    list.ChangeTypeOfSelected();
    ASSERT_EQ(Chart.SeriesCount(), 2);
    EXPECT_EQ(Chart.Series(0)->metaObject(), &TBarSeries::staticMetaObject);
    EXPECT_EQ(Chart.Series(1)->metaObject(), &TLineSeries::staticMetaObject) << "cancel changed the other series";

    WhenShown<TPlotGallery>([](TPlotGallery& form) { QTest::mouseClick(form.BOk, Qt::LeftButton); });
    list.ChangeTypeOfSelected();
    ASSERT_EQ(Chart.SeriesCount(), 2);
    EXPECT_EQ(Chart.Series(0)->metaObject(), &TBarSeries::staticMetaObject);
    EXPECT_EQ(Chart.Series(1)->metaObject(), &TBarSeries::staticMetaObject);
}

TEST_F(SeriesGalleryTest, GalleryModeOneOpensTheAlternateFormForAddAndChange)
{
    GalleryModeSetting mode(1);
    WhenShown<TPlotGalleryForm>([](TPlotGalleryForm& form) {
        form.CBPage->setCurrentIndex(0);
        EXPECT_EQ(form.CBPage->itemText(0), PlotMsg_All);
        QStringList rows;
        for (int i = 0; i < form.ChartListBox1->Count(); ++i)
            rows.append(form.ChartListBox1->RowText(i));
        QStringList sorted = rows;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString& A, const QString& B) { return QString::localeAwareCompare(A, B) < 0; });
        EXPECT_EQ(rows, sorted);
        EXPECT_GT(rows.size(), 5);
        // Arrows in the type list move the previews, not the list.
        const int row = form.ChartListBox1->ItemIndex();
        form.ChartListBox1->setFocus();
        QTest::keyClick(form.ChartListBox1, Qt::Key_Right);
        EXPECT_EQ(form.ChartListBox1->ItemIndex(), row);
        EXPECT_EQ(form.ChartGalleryPanel1->IndexOf(form.ChartGalleryPanel1->SelectedChart()), 1);
        const int builds = form.PreviewBuilds();
        form.ChartListBox1Click();
        EXPECT_EQ(form.PreviewBuilds(), builds) << "the type shown is not rebuilt";
        test::SaveScreenshot(form, QStringLiteral("gallery-alternate"));
        form.CBSmooth->setChecked(!form.CBSmooth->isChecked());
        test::SaveScreenshot(form, QStringLiteral("gallery-alternate-smooth"));
        QTest::mouseClick(form.BOK, Qt::LeftButton);
    });
    ASSERT_NE(AddFromGalleryHook()(nullptr, &Chart, nullptr), nullptr);
    TChartSeries* variable = Chart.Series(0);
    bool opened = false;
    WhenShown<TPlotGalleryForm>([&opened](TPlotGalleryForm& form) {
        opened = true;
        QTest::mouseClick(form.BCancel, Qt::LeftButton);
    });
    ChangeTypeHook()(nullptr, variable);
    EXPECT_TRUE(opened);
}

// Picks the gallery chart whose series is of class Class and presses OK.
void ChooseGalleryType(TPlotGallery& Form, const QMetaObject* Class)
{
    TChartGalleryPanel* panel = Form.ChartGalleryPanel1;
    for (int i = 0; i < panel->Count(); ++i)
        if (panel->Chart(i)->SeriesCount() > 0 && panel->Chart(i)->Series(0)->metaObject() == Class) {
            panel->SelectChart(panel->Chart(i));
            QTest::mouseClick(Form.BOk, Qt::LeftButton);
            return;
        }
    ADD_FAILURE() << "no gallery chart of " << Class->className();
    QTest::mouseClick(Form.BCancel, Qt::LeftButton);
}

// Change... turns a line into a horizontal area: its gradient runs top to
// bottom, and so it does in the reopened chart.
TEST_F(SeriesGalleryTest, AHorizontalAreaMadeFromALineKeepsItsGradientDirection)
{
    TChartSeries* series = CreateNewSeries(&Chart, &Chart, &TLineSeries::staticMetaObject);
    series->FillSampleValues(5);
    WhenShown<TPlotGallery>([](TPlotGallery& form) { ChooseGalleryType(form, &THorizAreaSeries::staticMetaObject); });
    ChangeTypeHook()(nullptr, series);
    auto* area = qobject_cast<THorizAreaSeries*>(Chart.Series(0));
    ASSERT_NE(area, nullptr);
    ASSERT_EQ(area->Gradient()->Direction(), gdTopBottom);
    for (const bool Text : {false, true}) {
        const std::unique_ptr<TChart> reopened = test::ReopenedChart(Chart, Text);
        auto* read = qobject_cast<THorizAreaSeries*>(reopened->Series(0));
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->Gradient()->Direction(), gdTopBottom) << "text form " << Text;
    }
}

// Stack set on the line series, then a bar changed into a line by Change...:
// the new line stacks with the others in the open chart and in the
// reopened one.
TEST_F(SeriesGalleryTest, ASeriesChangedIntoALineStacksWithTheChartsLines)
{
    TChartSeries* bar = CreateNewSeries(&Chart, &Chart, &TBarSeries::staticMetaObject);
    auto* line = static_cast<TLineSeries*>(CreateNewSeries(&Chart, &Chart, &TLineSeries::staticMetaObject));
    for (TChartSeries* series : {bar, static_cast<TChartSeries*>(line)})
        series->FillSampleValues(5);
    line->SetStacked(cssStack);
    WhenShown<TPlotGallery>([](TPlotGallery& form) { ChooseGalleryType(form, &TLineSeries::staticMetaObject); });
    ChangeTypeHook()(nullptr, bar);
    auto* changed = qobject_cast<TLineSeries*>(Chart.Series(0));
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(changed->Stacked(), cssStack);
    for (const bool Text : {false, true}) {
        const std::unique_ptr<TChart> reopened = test::ReopenedChart(Chart, Text);
        ASSERT_EQ(reopened->SeriesCount(), 2);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(static_cast<TLineSeries*>(reopened->Series(i))->Stacked(), cssStack) << i << " text " << Text;
    }

    // An unstacked area changed into a line stacks with the lines as well.
    TChartSeries* area = CreateNewSeries(&Chart, &Chart, &TAreaSeries::staticMetaObject);
    ChangeSeriesType(area, &TLineSeries::staticMetaObject);
    EXPECT_EQ(static_cast<TLineSeries*>(area)->Stacked(), cssStack);
}

// The X values of a series' points, in index order.
std::vector<double> GalleryTestXValues(const TChartSeries& Series)
{
    std::vector<double> Values;
    for (int i = 0; i < Series.Count(); ++i)
        Values.push_back(Series.XValues()->Value(i));
    return Values;
}

// Horizontal area, Change type Surface, Change type Line: the line keeps X
// order "none" and its points in entry order; the reopened line too. The
// same for a surface changed into an area (points in grid order).
TEST_F(SeriesGalleryTest, PointsKeepTheirOrderThroughChangesOfType)
{
    TChartSeries* series = CreateNewSeries(&Chart, &Chart, &THorizAreaSeries::staticMetaObject);
    for (const auto& [x, y] : std::vector<std::pair<double, double>>{{4, 2}, {1, 0}, {3, 3}, {2, 1}})
        series->AddXY(x, y);
    ChangeSeriesType(series, &TSurfaceSeries::staticMetaObject);
    ChangeSeriesType(series, &TLineSeries::staticMetaObject);
    ASSERT_EQ(series->XValues()->Order(), loNone);
    const std::vector<double> entered = GalleryTestXValues(*series);
    ASSERT_EQ(entered, (std::vector<double>{2, 0, 3, 1}));
    for (const bool Text : {false, true}) {
        const std::unique_ptr<TChart> reopened = test::ReopenedChart(Chart, Text);
        EXPECT_EQ(reopened->Series(0)->XValues()->Order(), loNone) << "text form " << Text;
        EXPECT_EQ(GalleryTestXValues(*reopened->Series(0)), entered) << "text form " << Text;
    }

    TChartSeries* surface = CreateNewSeries(&Chart, &Chart, &TSurfaceSeries::staticMetaObject);
    surface->FillSampleValues(3);
    ChangeSeriesType(surface, &TAreaSeries::staticMetaObject);
    const std::vector<double> grid = GalleryTestXValues(*surface);
    ASSERT_FALSE(std::is_sorted(grid.begin(), grid.end()));
    for (const bool Text : {false, true}) {
        const std::unique_ptr<TChart> reopened = test::ReopenedChart(Chart, Text);
        EXPECT_EQ(reopened->Series(1)->XValues()->Order(), surface->XValues()->Order()) << "text form " << Text;
        EXPECT_EQ(GalleryTestXValues(*reopened->Series(1)), grid) << "text form " << Text;
    }
}

TEST_F(SeriesGalleryTest, TheListBoxInsertKeyReachesTheGallery)
{
    TChartListBox list;
    list.SetChart(&Chart);
    list.show();
    bool opened = false;
    WhenShown<TPlotGallery>([&opened](TPlotGallery& form) {
        opened = true;
        QTest::mouseClick(form.BCancel, Qt::LeftButton);
    });
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Insert);
    EXPECT_TRUE(opened);

    // A double-click on a series' icon offers to change its type.
    CreateNewSeries(&Chart, &Chart, &TLineSeries::staticMetaObject);
    list.SetItemIndex(0);
    opened = false;
    WhenShown<TPlotGallery>([&opened](TPlotGallery& form) {
        opened = true;
        EXPECT_EQ(form.TabTypes->count(), 1);
        QTest::mouseClick(form.BCancel, Qt::LeftButton);
    });
    const int iconX = list.ColumnOffset(TChartListBox::colIcon) + list.ColumnWidth(TChartListBox::colIcon) / 2;
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(iconX, TChartListBox::ItemHeight / 2));
    EXPECT_TRUE(opened);
    list.SetChart(nullptr);
}


// --- Changes of type that meet a data source the new kind refuses ---

// The texts of the message boxes shown while it lives (each answered OK).
struct GalleryTestMessages {
    QStringList Texts;
    GalleryTestMessages()
    {
        MessageService() = [this](const TMessageRequest& Request) {
            Texts.append(Request.Text);
            return static_cast<int>(mrOk);
        };
    }
    ~GalleryTestMessages() { ResetMessageService(); }
};

// The links of the chart's series that the chart's source test refuses.
QStringList GalleryTestRefusedLinks(const TCustomAxisPanel& Chart)
{
    QStringList refused;
    for (int i = 0; i < Chart.SeriesCount(); ++i)
        for (TComponent* source : Chart.Series(i)->DataSources())
            if (!Chart.IsValidDataSource(Chart.Series(i), source))
                refused << Chart.Series(i)->Name() + QStringLiteral(" <- ") + source->Name();
    return refused;
}

// The reader's messages on reopening Chart's saved file (each skipped);
// Reopened receives the chart read.
QStringList GalleryTestReopenErrors(TCustomChart& Chart, TCustomChart& Reopened, bool Text)
{
    QBuffer in;
    in.setData(test::SavedChartFile(Chart, Text));
    in.open(QIODevice::ReadOnly);
    TCustomChart* target = &Reopened;
    QStringList errors;
    LoadChartFromStreamEx(target, in, true, [&errors](const QString& Message) {
        errors << Message;
        return true;
    });
    return errors;
}

// The Y values of a series' points, in index order.
std::vector<double> GalleryTestYValues(const TChartSeries& Series)
{
    std::vector<double> values;
    for (int i = 0; i < Series.Count(); ++i)
        values.push_back(Series.YValues()->Value(i));
    return values;
}

// Chart saved binary and text reopens with no reader message, and its
// series at Index, without a source, holds Points.
void GalleryTestExpectReopensWithPoints(TCustomChart& Chart, int Index, const std::vector<double>& Points)
{
    for (const bool Text : {false, true}) {
        TChart reopened;
        EXPECT_EQ(GalleryTestReopenErrors(Chart, reopened, Text).join(QLatin1Char('\n')).toStdString(), "")
            << "text form " << Text;
        ASSERT_EQ(reopened.SeriesCount(), Chart.SeriesCount());
        EXPECT_EQ(reopened.Series(Index)->DataSources().Count(), 0);
        EXPECT_EQ(GalleryTestYValues(*reopened.Series(Index)), Points) << "text form " << Text;
    }
}

// Shows the alternate gallery's types of every page, clicks the row of
// Class, then OK.
void ChooseAlternateGalleryType(TPlotGalleryForm& Form, const QMetaObject* Class)
{
    Form.CBPage->setCurrentIndex(0);
    EXPECT_EQ(Form.CBPage->currentText(), PlotMsg_All);
    TChart* types = Form.TypesChart();
    for (int i = 0; i < types->SeriesCount(); ++i)
        if (types->Series(i)->metaObject() == Class) {
            const int row = Form.ChartListBox1->Model().RowOf(types->Series(i));
            const QRect rect = Form.ChartListBox1->visualRect(Form.ChartListBox1->model()->index(row, 0));
            QTest::mouseClick(Form.ChartListBox1->viewport(), Qt::LeftButton, {}, rect.center());
            const TGalleryChart* chosen = Form.ChartGalleryPanel1->SelectedChart();
            if (chosen && chosen->SeriesCount() > 0 && chosen->Series(0)->metaObject() == Class) {
                QTest::mouseClick(Form.BOK, Qt::LeftButton);
                return;
            }
            break;
        }
    ADD_FAILURE() << "no gallery chart of " << Class->className();
    QTest::mouseClick(Form.BCancel, Qt::LeftButton);
}

// Guards: an Average series (function page, source Line1) changed by the
// gallery into a 3-D bubble kept Line1 as its source, which the chart
// refuses, and the saved chart reopened with "Error reading DataSource: No
// valid DataSource: Line1".
TEST_F(SeriesGalleryTest, AFunctionSeriesChangedIntoAKindThatRefusesItsSourceLosesTheLink)
{
    GalleryModeSetting mode(1);
    GalleryTestMessages messages;
    auto* line = new TLineSeries(&Chart);
    line->SetName(QStringLiteral("Line1"));
    Chart.AddSeries(line);
    for (int i = 0; i < 6; ++i)
        line->AddXY(i, 10 + (i * 7) % 5);
    TChartSeries* average = CreateNewSeries(&Chart, &Chart, &TLineSeries::staticMetaObject);
    {
        TPlotFuncEditor page;
        page.SetTarget(average);
        page.show();
        const int averageRow = page.CBSources->findText(QStringLiteral("Average"));
        ASSERT_GE(averageRow, 0);
        page.CBSources->setFocus();
        while (page.CBSources->currentIndex() != averageRow)
            QTest::keyClick(page.CBSources, page.CBSources->currentIndex() < averageRow ? Qt::Key_Down : Qt::Key_Up);
        for (QPushButton* button : page.SelectList()->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral(">>"))
                QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(page.BApply, Qt::LeftButton);
    }
    ASSERT_NE(qobject_cast<TAveragePlotFunction*>(average->SeriesFunction()), nullptr);
    ASSERT_EQ(average->DataSources().Count(), 1);
    ASSERT_EQ(average->DataSource(), line);
    const std::vector<double> points = GalleryTestYValues(*average);
    ASSERT_FALSE(points.empty());

    TChartListBox list;
    list.SetChart(&Chart);
    list.show();
    list.SetItemIndex(list.Model().RowOf(average));
    WhenShown<TPlotGalleryForm>(
        [](TPlotGalleryForm& form) { ChooseAlternateGalleryType(form, &TBubble3DSeries::staticMetaObject); });
    list.ChangeTypeOfSelected();

    ASSERT_EQ(Chart.SeriesCount(), 2);
    auto* bubble = qobject_cast<TBubble3DSeries*>(Chart.Series(1));
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->DataSources().Count(), 0) << "the link to the line stayed";
    EXPECT_EQ(line->LinkedSeries().Count(), 0);
    EXPECT_NE(qobject_cast<TAveragePlotFunction*>(bubble->SeriesFunction()), nullptr);
    EXPECT_EQ(GalleryTestYValues(*bubble), points) << "the points it held";
    EXPECT_EQ(GalleryTestRefusedLinks(Chart).join(QLatin1Char('\n')).toStdString(), "");
    GalleryTestExpectReopensWithPoints(Chart, 1, points);
    ASSERT_EQ(messages.Texts.size(), 1);
    EXPECT_TRUE(messages.Texts[0].contains(
        QStringLiteral("%1 no longer takes its data from Line1").arg(SeriesTitleOrName(bubble))))
        << messages.Texts[0].toStdString();
}

// Guards: a surface fed by another surface kept it as its source when that
// one was changed by the gallery into a line, which a surface refuses; the
// saved chart reopened with "No valid DataSource".
TEST_F(SeriesGalleryTest, ASeriesFedByTheChangedOneDropsTheLinkWhenItRefusesTheNewKind)
{
    GalleryTestMessages messages;
    TChartSeries* grid = CreateNewSeries(&Chart, &Chart, &TSurfaceSeries::staticMetaObject);
    grid->SetName(QStringLiteral("Grid1"));
    grid->FillSampleValues(4);
    TChartSeries* fed = CreateNewSeries(&Chart, &Chart, &TSurfaceSeries::staticMetaObject);
    fed->SetDataSource(grid);
    const std::vector<double> points = GalleryTestYValues(*fed);
    ASSERT_EQ(points, GalleryTestYValues(*grid));
    ASSERT_FALSE(points.empty());

    TChartListBox list;
    list.SetChart(&Chart);
    list.show();
    list.SetItemIndex(list.Model().RowOf(grid));
    WhenShown<TPlotGallery>([](TPlotGallery& form) { ChooseGalleryType(form, &TLineSeries::staticMetaObject); });
    list.ChangeTypeOfSelected();

    ASSERT_EQ(Chart.SeriesCount(), 2);
    TChartSeries* changed = Chart.Series(0);
    ASSERT_EQ(changed->metaObject(), &TLineSeries::staticMetaObject);
    EXPECT_EQ(changed->Name(), QStringLiteral("Grid1"));
    EXPECT_EQ(fed->DataSources().Count(), 0) << "the surface kept the line as its source";
    EXPECT_EQ(changed->LinkedSeries().Count(), 0);
    EXPECT_EQ(GalleryTestYValues(*fed), points) << "the points it held";
    EXPECT_EQ(GalleryTestRefusedLinks(Chart).join(QLatin1Char('\n')).toStdString(), "");
    GalleryTestExpectReopensWithPoints(Chart, 1, points);
    ASSERT_EQ(messages.Texts.size(), 1);
    EXPECT_TRUE(messages.Texts[0].contains(
        QStringLiteral("%1 no longer takes its data from Grid1").arg(SeriesTitleOrName(fed))))
        << messages.Texts[0].toStdString();
}

// The names and kinds of the series of each group of Chart, a line a
// group led by the group's name.
std::string GalleryTestGroups(const TCustomAxisPanel& Chart)
{
    QStringList groups;
    const TSeriesGroups& all = Chart.SeriesList().Groups();
    for (int g = 0; g < all.Count(); ++g) {
        QStringList names{all.Items(g)->Name() + QLatin1Char(':')};
        for (TChartSeries* series : all.Items(g)->Series())
            names << series->Name() + QLatin1Char('/') + series->ClassName();
        groups << names.join(QLatin1Char(' '));
    }
    return groups.join(QLatin1Char('\n')).toStdString();
}

// Guards: a series changed by the gallery into a bar left the groups it
// was in ("North" and "Deep" lost Well2).
TEST_F(SeriesGalleryTest, AChangedSeriesKeepsItsPlaceInItsGroups)
{
    for (int i = 1; i <= 3; ++i) {
        TChartSeries* series = CreateNewSeries(&Chart, &Chart, &TLineSeries::staticMetaObject);
        series->SetName(QStringLiteral("Well%1").arg(i));
        series->FillSampleValues(4);
    }
    TSeriesGroup* north = Chart.SeriesList().AddGroup(QStringLiteral("North"));
    for (int i : {0, 1, 2})
        north->Series().Add(Chart.Series(i));
    TSeriesGroup* deep = Chart.SeriesList().AddGroup(QStringLiteral("Deep"));
    for (int i : {2, 1})
        deep->Series().Add(Chart.Series(i));

    TChartListBox list;
    list.SetChart(&Chart);
    list.show();
    list.SetItemIndex(list.Model().RowOf(Chart.Series(1)));
    WhenShown<TPlotGallery>([](TPlotGallery& form) { ChooseGalleryType(form, &TBarSeries::staticMetaObject); });
    list.ChangeTypeOfSelected();

    ASSERT_EQ(Chart.SeriesCount(), 3);
    ASSERT_EQ(Chart.Series(1)->metaObject(), &TBarSeries::staticMetaObject);
    const std::string expected = "North: Well1/TLineSeries Well2/TBarSeries Well3/TLineSeries\n"
                                 "Deep: Well3/TLineSeries Well2/TBarSeries";
    EXPECT_EQ(GalleryTestGroups(Chart), expected);
    for (const bool text : {false, true}) {
        TChart reopened;
        EXPECT_EQ(GalleryTestReopenErrors(Chart, reopened, text).join(QLatin1Char('\n')).toStdString(), "");
        EXPECT_EQ(GalleryTestGroups(reopened), expected) << "text form " << text;
    }
}

// Two selected series changed to the gallery's choice: the second one,
// changed without the gallery, loses the source its new kind refuses, and
// the series list tells which link went.
TEST_F(SeriesGalleryTest, TheSeriesListTellsWhatTheFurtherSelectedSeriesLost)
{
    GalleryTestMessages messages;
    CreateNewSeries(&Chart, &Chart, &TChartShape::staticMetaObject);
    TChartSeries* line = CreateNewSeries(&Chart, &Chart, &TLineSeries::staticMetaObject);
    line->SetName(QStringLiteral("Line1"));
    line->FillSampleValues(6);
    TChartSeries* average = CreateNewSeries(&Chart, &Chart, &TLineSeries::staticMetaObject,
                                            &TAveragePlotFunction::staticMetaObject);
    average->SetDataSource(line);
    const std::vector<double> points = GalleryTestYValues(*average);

    TChartListBox list;
    list.SetChart(&Chart);
    list.show();
    list.ClearSelection();
    list.SelectSeriesRow(Chart.Series(0));
    list.SelectSeriesRow(average);
    ASSERT_EQ(list.SelectedSeries().size(), 2u);
    // The shape's own type: the shape stays, the average becomes one.
    WhenShown<TPlotGallery>([](TPlotGallery& form) { ChooseGalleryType(form, &TChartShape::staticMetaObject); });
    list.ChangeTypeOfSelected();

    ASSERT_EQ(Chart.SeriesCount(), 3);
    TChartSeries* changed = Chart.Series(2);
    ASSERT_EQ(changed->metaObject(), &TChartShape::staticMetaObject);
    EXPECT_EQ(changed->DataSources().Count(), 0);
    EXPECT_EQ(GalleryTestYValues(*changed), points);
    EXPECT_EQ(GalleryTestRefusedLinks(Chart).join(QLatin1Char('\n')).toStdString(), "");
    TChart reopened;
    EXPECT_EQ(GalleryTestReopenErrors(Chart, reopened, true).join(QLatin1Char('\n')).toStdString(), "");
    ASSERT_EQ(messages.Texts.size(), 1);
    EXPECT_TRUE(messages.Texts[0].contains(
        QStringLiteral("%1 no longer takes its data from Line1").arg(SeriesTitleOrName(changed))))
        << messages.Texts[0].toStdString();
}

// --- A change of type that fails ---

// The messages shown through the application while it lives.
struct GalleryTestShownErrors {
    QStringList Texts;
    GalleryTestShownErrors()
    {
        TApplication::Instance().ShowMessageHook = [this](const QString& Text) { Texts.append(Text); };
    }
    ~GalleryTestShownErrors() { TApplication::Instance().ShowMessageHook = nullptr; }
};

// An irregular surface whose positions are dates far in the future (near
// 1e300), a grid that a regular grid cannot index.
TChartSeries* GalleryTestFarDatesSurface(TCustomAxisPanel& Chart, double Offset)
{
    auto* surface =
        qobject_cast<TSurfaceSeries*>(CreateNewSeries(&Chart, &Chart, &TSurfaceSeries::staticMetaObject));
    surface->SetIrregularGrid(true);
    for (int x = 0; x < 4; ++x)
        for (int z = 0; z < 3; ++z)
            surface->AddXYZ(1e300 + x * 6e299, Offset + (x * 7 + z * 3) % 5, z);
    return surface;
}

// Guards: a point-and-figure series fed by two series through a correlation
// function, with dates far in the future, changed by the gallery into a
// waterfall: the waterfall's grid refused the positions ("The grid of ...
// nodes is too large to index") and the chart was left with a waterfall
// holding the function and both sources beside the point-and-figure, which
// had lost its function; with a source deleted, the saved chart reopened
// with "Error reading DataSource: No valid DataSource: ...".
TEST_F(SeriesGalleryTest, AChangeOfTypeThatFailsLeavesTheChartAsItWas)
{
    GalleryModeSetting mode(1);
    GalleryTestShownErrors shown;
    TChartSeries* first = GalleryTestFarDatesSurface(Chart, 10);
    TChartSeries* second = GalleryTestFarDatesSurface(Chart, 20);
    TChartSeries* figure = CreateNewSeries(&Chart, &Chart, &TPointFigureSeries::staticMetaObject,
                                           &TCorrelationFunction::staticMetaObject);
    figure->SetTitle(QStringLiteral("Prices"));
    figure->DataSources().Add(first);
    figure->DataSources().Add(second);
    TPlotFunction* function = figure->SeriesFunction();
    ASSERT_NE(function, nullptr);
    ASSERT_GT(figure->Count(), 0);
    // A series fed by it and a tool bound to it.
    TChartSeries* fed = CreateNewSeries(&Chart, &Chart, &TLineSeries::staticMetaObject);
    fed->SetDataSource(figure);
    const std::vector<double> fedPoints = GalleryTestYValues(*fed);
    auto* tool = new TMarksTipTool(&Chart);
    tool->SetName(QStringLiteral("ChartTool1"));
    tool->SetParentChart(&Chart);
    tool->SetSeries(figure);
    const QString name = figure->Name();
    TSeriesGroup* group = Chart.SeriesList().AddGroup(QStringLiteral("Prices"));
    group->Series().Add(fed);
    group->Series().Add(figure);
    const std::string groups = GalleryTestGroups(Chart);
    const QByteArray binaryBefore = test::SavedChartFile(Chart, false);
    const QByteArray textBefore = test::SavedChartFile(Chart, true);

    TChartListBox list;
    list.SetChart(&Chart);
    list.show();
    const int row = list.Model().RowOf(figure);
    list.SetItemIndex(row);
    WhenShown<TPlotGalleryForm>(
        [](TPlotGalleryForm& form) { ChooseAlternateGalleryType(form, &TWaterFallSeries::staticMetaObject); });
    const int iconX = list.ColumnOffset(TChartListBox::colIcon) + list.ColumnWidth(TChartListBox::colIcon) / 2;
    const int rowY = list.visualRect(list.model()->index(row, 0)).center().y();
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(iconX, rowY));

    ASSERT_EQ(shown.Texts.size(), 1) << shown.Texts.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(shown.Texts[0].contains(QStringLiteral("too large to index"))) << shown.Texts[0].toStdString();
    ASSERT_EQ(Chart.SeriesCount(), 4) << "a series was left behind";
    EXPECT_EQ(Chart.Series(2), figure);
    EXPECT_EQ(figure->Name(), name);
    EXPECT_EQ(figure->SeriesFunction(), function);
    EXPECT_EQ(function->ParentSeries(), figure);
    ASSERT_EQ(figure->DataSources().Count(), 2);
    EXPECT_EQ(figure->DataSources()[0], first);
    EXPECT_EQ(figure->DataSources()[1], second);
    EXPECT_EQ(first->LinkedSeries().Count(), 1);
    EXPECT_EQ(second->LinkedSeries().Count(), 1);
    EXPECT_EQ(fed->DataSource(), figure);
    EXPECT_EQ(figure->LinkedSeries().Count(), 1);
    EXPECT_EQ(GalleryTestYValues(*fed), fedPoints);
    EXPECT_EQ(tool->Series(), figure);
    EXPECT_EQ(list.Model().RowOf(figure), row);
    EXPECT_EQ(GalleryTestGroups(Chart), groups);
    EXPECT_TRUE(test::SavedChartFile(Chart, false) == binaryBefore) << "the binary file changed";
    EXPECT_EQ(test::SavedChartFile(Chart, true).toStdString(), textBefore.toStdString());

    // One source gone: the chart saves and reopens without an error.
    delete second;
    for (const bool Text : {false, true}) {
        TChart reopened;
        EXPECT_EQ(GalleryTestReopenErrors(Chart, reopened, Text).join(QLatin1Char('\n')).toStdString(), "")
            << "text form " << Text;
        EXPECT_EQ(reopened.SeriesCount(), 3);
    }
}

} // namespace
} // namespace lp
