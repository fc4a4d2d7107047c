#include "chart/editors/chart/GeneralPage.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotSeries.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Printer.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

// A chart of 30 points on pages of 10: three pages.
class TPagedChart : public TEditorChart {
public:
    TPagedChart()
    {
        auto* series = new TLineSeries(this);
        AddSeries(series);
        for (int i = 0; i < 30; ++i)
            series->Add(i);
        SetMaxPointsPerPage(10);
    }
};

// The PDF pages printed into a file (0 when there is no file).
int PrintedPages(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray pdf = file.readAll();
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
                            pdf.count("/Type /Page "));
}

class GeneralPageTest : public ::testing::Test {
protected:
    TEditorChart Chart;
    TFormPlotGeneral Page;

    void ShowPage()
    {
        Page.SetTarget(&Chart);
        Page.show();
    }
};

TEST_F(GeneralPageTest, PercentMarginsWithTheirOppositeStayBelowAHundred)
{
    ShowPage();
    test::TypeIntoSpinBox(Page.UDLeftMa, QStringLiteral("60"));
    EXPECT_EQ(Chart.MarginLeft(), 60);
    test::TypeIntoSpinBox(Page.UDRightMa, QStringLiteral("45"));
    EXPECT_EQ(Chart.MarginRight(), 3);
    EXPECT_EQ(Page.UDRightMa->value(), 3);
    test::TypeIntoSpinBox(Page.UDRightMa, QStringLiteral("35"));
    EXPECT_EQ(Chart.MarginRight(), 35);
    // In pixels any value within +-2000 goes.
    Page.CBMarUnits->setFocus();
    QTest::keyClick(Page.CBMarUnits, Qt::Key_Down);
    EXPECT_EQ(Chart.MarginUnits(), TCustomPlotPanel::muPixels);
    for (QSpinBox* spin : {Page.UDTopMa, Page.UDLeftMa, Page.UDBotMa, Page.UDRightMa}) {
        EXPECT_EQ(spin->minimum(), -2000);
        EXPECT_EQ(spin->maximum(), 2000);
        EXPECT_EQ(spin->singleStep(), 5);
    }
    test::TypeIntoSpinBox(Page.UDRightMa, QStringLiteral("450"));
    EXPECT_EQ(Chart.MarginRight(), 450);
    test::TypeIntoSpinBox(Page.UDTopMa, QStringLiteral("-40"));
    EXPECT_EQ(Chart.MarginTop(), -40);
    // Back in percent the ranges narrow again.
    QTest::keyClick(Page.CBMarUnits, Qt::Key_Up);
    EXPECT_EQ(Page.UDTopMa->minimum(), 0);
    EXPECT_EQ(Page.UDTopMa->maximum(), 100);
}

TEST_F(GeneralPageTest, ZoomControlsFollowAllowAndScrollTheMouseButton)
{
    ShowPage();
    EXPECT_TRUE(Page.CBAnimatedZoom->isEnabled());
    test::ClickNearLeftEdge(Page.CBAllowZoom);
    EXPECT_FALSE(Chart.Zoom()->Allow());
    for (QWidget* control : std::initializer_list<QWidget*>{Page.CBAnimatedZoom, Page.UDAniZoomSteps, Page.UDMinPix,
                                                           Page.CBDir, Page.CBZoomMouse, Page.CBUpLeft,
                                                           Page.BZoomColor})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    Page.PageControl1->setCurrentIndex(1);
    EXPECT_TRUE(Page.CBScrollMouse->isEnabled());
    test::ClickNearLeftEdge(Page.RGPanning->button(0));
    EXPECT_EQ(Chart.AllowPanning(), TCustomPlotPanelExtended::pmNone);
    EXPECT_FALSE(Page.CBScrollMouse->isEnabled());
    test::SaveScreenshot(Page, QStringLiteral("page-general-scroll"));
}

TEST_F(GeneralPageTest, TheCursorListIsSortedAndSetsBothCursors)
{
    ShowPage();
    QStringList names;
    for (int i = 0; i < Page.CBCursor->count(); ++i)
        names << Page.CBCursor->itemText(i);
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(names, sorted);
    EXPECT_EQ(Page.CBCursor->currentText(), QStringLiteral("Default"));
    Page.CBCursor->setFocus();
    Page.CBCursor->setCurrentIndex(Page.CBCursor->findText(QStringLiteral("Cross")));
    EXPECT_EQ(Chart.Cursor(), CursorFromName(QStringLiteral("Cross"), crDefault));
    EXPECT_EQ(Chart.SavedCursor(), Chart.Cursor());
}

TEST(ChartPageNavigator, EnablesByThePageAndPagesThroughTheChart)
{
    TPagedChart chart;
    TChartPageNavigator navigator;
    navigator.SetChart(&chart);
    navigator.show();
    ASSERT_EQ(chart.NumPages(), 3);
    EXPECT_EQ(navigator.PageCount(), 3);
    auto enabled = [&navigator] {
        return std::vector<bool>{navigator.Button(nbFirst)->isEnabled(), navigator.Button(nbPrior)->isEnabled(),
                                 navigator.Button(nbNext)->isEnabled(), navigator.Button(nbLast)->isEnabled()};
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, true, true}));
    std::vector<TPlotNavigateBtn> clicked;
    navigator.OnButtonClicked = [&clicked](TPlotNavigateBtn Kind) { clicked.push_back(Kind); };
    QTest::mouseClick(navigator.Button(nbLast), Qt::LeftButton);
    EXPECT_EQ(chart.Page(), 3);
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, false}));
    QTest::mouseClick(navigator.Button(nbPrior), Qt::LeftButton);
    EXPECT_EQ(chart.Page(), 2);
    QTest::mouseClick(navigator.Button(nbFirst), Qt::LeftButton);
    EXPECT_EQ(chart.Page(), 1);
    QTest::mouseClick(navigator.Button(nbNext), Qt::LeftButton);
    EXPECT_EQ(chart.Page(), 2);
    EXPECT_EQ(clicked, (std::vector<TPlotNavigateBtn>{nbLast, nbPrior, nbFirst, nbNext}));
    // A page change made elsewhere updates the buttons.
    chart.SetPage(3);
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, false}));
    // Only an axis panel is bound.
    TCustomPlotPanelExtended other(nullptr);
    navigator.SetPanel(&other);
    EXPECT_EQ(navigator.Chart(), nullptr);
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));
}

TEST(ChartPageNavigator, PrintingSeveralPagesAsksTheRange)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("pages.pdf"));
    Printer().SetOutputFileName(pdf);
    TPagedChart chart;
    TChartPageNavigator navigator;
    navigator.SetChart(&chart);
    std::vector<TPrintDialogRequest> asked;
    bool accept = false;
    CommonDialogService().ExecutePrint = [&](TPrintDialogRequest& Request) {
        asked.push_back(Request);
        Request.FromPage = 2;
        Request.ToPage = 3;
        return accept;
    };
    navigator.Print();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].FromPage, 1);
    EXPECT_EQ(asked[0].ToPage, 3);
    EXPECT_EQ(asked[0].MinPage, 1);
    EXPECT_EQ(asked[0].MaxPage, 3);
    EXPECT_FALSE(QFile::exists(pdf)) << "a cancelled range printed";
    accept = true;
    navigator.Print();
    EXPECT_EQ(PrintedPages(pdf), 2);
    EXPECT_EQ(chart.Page(), 1);
    // One page prints without asking.
    QFile::remove(pdf);
    chart.SetMaxPointsPerPage(0);
    navigator.Print();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(PrintedPages(pdf), 1);
    ResetCommonDialogService();
    Printer().SetOutputFileName({});
}

TEST(GeneralPage, PrintPreviewShowsThePageNavigator)
{
    TPagedChart chart;
    TFormPlotGeneral page;
    page.SetTarget(&chart);
    page.show();
    int shown = 0;
    ChartPreviewShowService() = [&](TChartPreview& Form) {
        ++shown;
        Form.show();
        auto* extra = qobject_cast<TChartPageNavigatorPage*>(Form.ExtraPage);
        EXPECT_NE(extra, nullptr);
        if (extra) {
            EXPECT_EQ(extra->Navigator->Chart(), &chart);
            EXPECT_EQ(extra->PageCount(), 3);
            QTest::mouseClick(extra->Navigator->Button(nbNext), Qt::LeftButton);
            EXPECT_EQ(chart.Page(), 2);
        }
        QCoreApplication::processEvents();
        test::SaveScreenshot(Form, QStringLiteral("print-preview-navigator"));
        return static_cast<int>(mrCancel);
    };
    const int paints = chart.Invalidations;
    QTest::mouseClick(page.BPrint, Qt::LeftButton);
    EXPECT_EQ(shown, 1);
    EXPECT_GT(chart.Invalidations, paints);
    ResetChartPreviewShowService();
}

} // namespace
} // namespace lp
