// The 3-D page on a real chart: enabling by the first active series, the
// offsets' reach, the preset views, and typed zoom values.

#include "chart/editors/chart/View3DPage.h"

#include "DialogTestUtil.h"
#include "../EditorTestSupport.h"
#include "chart/editors/gallery/ChartGalleryPanel.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/RecordingDC.h"

#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace lp {
namespace {

using test::TEditorChart;

struct View3DPageTest : ::testing::Test {
    test::TEditorSettingsFolder Folder;
    TEditorChart Chart;
    TFormPlot3D Page;

    void Open()
    {
        Page.SetTarget(&Chart);
        Page.show();
    }
    // A line first (so the view may turn), then a pie of five slices.
    void AddLineAndPie()
    {
        auto* line = new TLineSeries(&Chart);
        line->SetName(QStringLiteral("Line1"));
        Chart.AddSeries(line);
        line->FillSampleValues(5);
        auto* pie = new TPieSeries(&Chart);
        pie->SetName(QStringLiteral("Pie1"));
        Chart.AddSeries(pie);
        pie->FillSampleValues(5);
    }
};

TEST_F(View3DPageTest, AFirstPieWithoutFullRotationDisablesTurning)
{
    auto* pie = new TPieSeries(&Chart);
    Chart.AddSeries(pie);
    Chart.AddSeries(new TLineSeries(&Chart));
    ASSERT_FALSE(Chart.Canvas().SupportsFullRotation());
    Open();
    EXPECT_FALSE(Page.CanRotate());
    EXPECT_FALSE(Page.CBOrthogonal->isEnabled());
    EXPECT_FALSE(Page.SBRotation->isEnabled());
    EXPECT_FALSE(Page.UDOrthoAngle->isEnabled());
    // Turned off, the pie no longer decides.
    pie->SetActive(false);
    Page.PageControl1->setCurrentIndex(1);
    Page.PageControl1->setCurrentIndex(0);
    EXPECT_TRUE(Page.CanRotate());
    EXPECT_EQ(Page.SBElevation->minimum(), 270);
}

TEST_F(View3DPageTest, ThreeDimensionsOffDisablesTheViewControls)
{
    Open();
    const int paints = Chart.Invalidations;
    QTest::mouseClick(Page.CBView3d, Qt::LeftButton, {}, QPoint(6, Page.CBView3d->height() / 2));
    EXPECT_FALSE(Chart.View3D());
    EXPECT_GT(Chart.Invalidations, paints);
    for (QWidget* control : std::initializer_list<QWidget*>{Page.CBOrthogonal, Page.SBRotation, Page.SBElevation,
                                                             Page.UDOrthoAngle})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
}

TEST_F(View3DPageTest, ALargeOffsetWidensTheTrackBar)
{
    Chart.View3DOptions()->SetHorizOffset(2000);
    Open();
    EXPECT_EQ(Page.SBHOffset->maximum(), 3000);
    EXPECT_EQ(Page.SBHOffset->minimum(), -3000);
    EXPECT_EQ(Page.SBHOffset->value(), 2000);
    EXPECT_EQ(Page.SBVOffset->maximum(), 1500);
}

TEST_F(View3DPageTest, ChoosingAViewCopiesIt)
{
    Open();
    Page.PageControl1->setCurrentIndex(1);
    ASSERT_EQ(Page.ChartGalleryPanel1->Count(), 6);
    EXPECT_EQ(Page.ChartGalleryPanel1->Chart(5)->Title()->Text()->Strings(0), QStringLiteral("3D Left"));
    test::SaveScreenshot(Page, QStringLiteral("page-3d-views"));
    const int paints = Chart.Invalidations;
    QTest::mouseClick(Page.ChartGalleryPanel1->Chart(5)->Widget(), Qt::LeftButton);
    EXPECT_EQ(Chart.View3DOptions()->Rotation(), 45);
    EXPECT_EQ(Chart.View3DOptions()->Elevation(), 360);
    EXPECT_TRUE(Chart.View3D());
    EXPECT_GT(Chart.Invalidations, paints);
    QTest::mouseClick(Page.ChartGalleryPanel1->Chart(0)->Widget(), Qt::LeftButton);
    EXPECT_FALSE(Chart.View3D());
}

TEST_F(View3DPageTest, TheViewSetBesideAPieIsTheViewReopened)
{
    AddLineAndPie();
    Open();
    ASSERT_TRUE(Page.CBOrthogonal->isEnabled());
    ASSERT_FALSE(Chart.View3DOptions()->Orthogonal());
    QTest::mouseClick(Page.CBOrthogonal, Qt::LeftButton, {}, QPoint(6, Page.CBOrthogonal->height() / 2));
    ASSERT_TRUE(Chart.View3DOptions()->Orthogonal());
    for (bool text : {false, true}) {
        TChart fresh;
        test::ReopenThroughChartFile(Chart, fresh, true, text);
        ASSERT_EQ(fresh.SeriesCount(), 2) << text;
        EXPECT_TRUE(fresh.View3DOptions()->Orthogonal()) << text;
        EXPECT_EQ(fresh.View3DOptions()->Elevation(), Chart.View3DOptions()->Elevation()) << text;
        // The pie read keeps no earlier view to put back: leaving changes
        // nothing either.
        fresh.Series(1)->SetParentChart(nullptr);
        EXPECT_TRUE(fresh.View3DOptions()->Orthogonal()) << text;
    }
    // A preset view of elevation 360 comes back as chosen.
    Page.PageControl1->setCurrentIndex(1);
    QTest::mouseClick(Page.ChartGalleryPanel1->Chart(5)->Widget(), Qt::LeftButton);
    ASSERT_EQ(Chart.View3DOptions()->Elevation(), 360);
    for (bool text : {false, true}) {
        TChart fresh;
        test::ReopenThroughChartFile(Chart, fresh, true, text);
        EXPECT_EQ(fresh.View3DOptions()->Elevation(), 360) << text;
        EXPECT_EQ(fresh.View3DOptions()->Rotation(), 45) << text;
    }
}

TEST_F(View3DPageTest, TheViewTilesDrawEachLabelOnce)
{
    // Guards against the tiles whose right wall stands in front drawing the
    // right axis' "0" a second time, two pixels beside the first.
    Open();
    Page.PageControl1->setCurrentIndex(1);
    ASSERT_EQ(Page.ChartGalleryPanel1->Count(), 6);
    for (int i = 0; i < Page.ChartGalleryPanel1->Count(); ++i) {
        TGalleryChart* tile = Page.ChartGalleryPanel1->Chart(i);
        TRecordingDC dc(tile->Width(), tile->Height());
        TCanvas target(&dc);
        tile->SetBufferedDisplay(false);
        tile->DrawToCanvas(&target, tile->GetRectangle());
        const QStringList texts = dc.CallsStartingWith(QStringLiteral("TextOut("));
        for (qsizetype a = 0; a < texts.size(); ++a)
            for (qsizetype b = a + 1; b < texts.size(); ++b) {
                const QStringList first = texts[a].mid(8).split(QLatin1Char(','));
                const QStringList second = texts[b].mid(8).split(QLatin1Char(','));
                const bool near = std::abs(first[0].toInt() - second[0].toInt()) <= 2 &&
                                  std::abs(first[1].toInt() - second[1].toInt()) <= 2;
                EXPECT_FALSE(near && texts[a].section(QLatin1Char('"'), 1) == texts[b].section(QLatin1Char('"'), 1))
                    << Page.ChartGalleryPanel1->Chart(i)->Title()->Text()->Strings(0).toStdString() << ": "
                    << texts[a].toStdString() << " and " << texts[b].toStdString();
            }
        EXPECT_GT(texts.size(), 1);
    }
}

TEST_F(View3DPageTest, TypedZoomBeyondTheRangeOrEmptyStoresNothing)
{
    Open();
    test::SaveScreenshot(Page, QStringLiteral("page-3d-options"));
    QLineEdit* edit = Page.LZoom->findChild<QLineEdit*>();
    Page.LZoom->setFocus();
    edit->selectAll();
    QTest::keyClicks(Page.LZoom, QStringLiteral("250"));
    EXPECT_EQ(Chart.View3DOptions()->Zoom(), 250);
    EXPECT_EQ(Page.SBZoom->value(), 250);
    edit->selectAll();
    QTest::keyClicks(Page.LZoom, QStringLiteral("600"));
    EXPECT_LE(Chart.View3DOptions()->Zoom(), 500);
    const int kept = Chart.View3DOptions()->Zoom();
    edit->selectAll();
    QTest::keyClick(Page.LZoom, Qt::Key_Backspace);
    EXPECT_EQ(Chart.View3DOptions()->Zoom(), kept);
}

} // namespace
} // namespace lp
