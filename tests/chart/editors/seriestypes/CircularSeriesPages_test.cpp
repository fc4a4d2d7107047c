// The round series' pages (polar family, clock, wind rose, gauge, Smith,
// donut) and the triangulated surface's and 3-D points' pages, where the
// page walk cannot see: rows shown by series class, label enabling, typed
// and half-typed numbers, the gauge's range and axis rules, the Smith
// symbol and grid settings without a chart, cancelled dialogs, the tabs
// each page adds to the series page (once), and screenshots of each page.

#include "chart/editors/seriestypes/ClockSeriesEditor.h"
#include "chart/editors/seriestypes/DonutSeriesEditor.h"
#include "chart/editors/seriestypes/GaugeSeriesEditor.h"
#include "chart/editors/seriestypes/Point3DSeriesEditor.h"
#include "chart/editors/seriestypes/PolarSeriesEditor.h"
#include "chart/editors/seriestypes/SmithSeriesEditor.h"
#include "chart/editors/seriestypes/TriSurfaceSeriesEditor.h"
#include "chart/editors/seriestypes/WindRoseSeriesEditor.h"

#include "../EditorTestSupport.h"
#include "../series/SeriesPageTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/editors/seriestypes/CircledSeriesEditor.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/editors/seriestypes/PieSeriesEditor.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/circular/PlotBar3DDonut.h"
#include "chart/extensions/circular/PlotGaugeSeries.h"
#include "chart/extensions/circular/PlotPolarSeries.h"
#include "chart/extensions/circular/PlotRoseSeries.h"
#include "chart/extensions/circular/PlotSmithSeries.h"
#include "chart/extensions/grid3d/PlotTriSurfaceSeries.h"
#include "chart/extensions/points3d/PlotPoint3DSeries.h"
#include "platform/ui/Dialogs.h"
#include "tests/chart/extensions/circular/CircularTestUtil.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace lp {
namespace {

// A series of class TSeries on a counting chart, with sample points.
template <class TSeries>
struct TRoundChart {
    TRoundChart()
    {
        Series = new TSeries(&Chart);
        Chart.AddSeries(Series);
        Series->FillSampleValues();
    }
    test::TEditorChart Chart;
    TSeries* Series;
};

// Types Text into a spin box's field as a user does, replacing what it
// shows; each key press applies what the field then holds.
void TypeIntoRoundSpin(QSpinBox* Spin, const QString& Text)
{
    test::RetypeText(Spin->findChild<QLineEdit*>(), Text);
}

// Answers the font dialog with Cancel while alive.
struct TCancelledFontDialog {
    TCancelledFontDialog()
    {
        CommonDialogService().ExecuteFont = [this](TFontDialogRequest&) {
            ++Asked;
            return false;
        };
    }
    ~TCancelledFontDialog() { ResetCommonDialogService(); }
    int Asked = 0;
};

// --- Polar family ---------------------------------------------------------------------------------

TEST(PolarSeriesEditor, TheAngleIncrementRowShowsForPolarAndWindRoseButNotForRadarOrClock)
{
    TRoundChart<TPolarSeries> polar;
    test::TShownPage<TPolarSeriesEditor> polarPage(polar.Series);
    EXPECT_TRUE(polarPage.Page.UDAngleInc->isVisible());
    EXPECT_TRUE(polarPage.Page.LAngleInc->isVisible());

    TRoundChart<TRadarSeries> radar;
    test::TShownPage<TPolarSeriesEditor> radarPage(radar.Series);
    EXPECT_FALSE(radarPage.Page.UDAngleInc->isVisible());
    EXPECT_FALSE(radarPage.Page.LAngleInc->isVisible());
    EXPECT_TRUE(radarPage.Page.UDRadiusInc->isVisible());

    TRoundChart<TWindRoseSeries> rose;
    test::TShownPage<TWindRoseEditor> rosePage(rose.Series);
    EXPECT_TRUE(rosePage.Page.UDAngleInc->isVisible());
    EXPECT_TRUE(rosePage.Page.LAngleInc->isVisible());

    TRoundChart<TClockSeries> clock;
    test::TShownPage<TClockEditor> clockPage(clock.Series);
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             clockPage.Page.LAngleInc, clockPage.Page.UDAngleInc, clockPage.Page.Label8, clockPage.Page.UDRadiusInc,
             clockPage.Page.CBClose, clockPage.Page.BPen, clockPage.Page.CBColorEach})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_TRUE(clockPage.Page.BHour->isVisible());
    clockPage.Page.PageControl1->setCurrentWidget(clockPage.Page.TabLabels);
    EXPECT_FALSE(clockPage.Page.CBClockWise->isVisible());
    EXPECT_TRUE(clockPage.Page.CBRoman->isVisible());
}

TEST(PolarSeriesEditor, UntickingVisibleDisablesTheLabelControls)
{
    TRoundChart<TPolarSeries> polar;
    polar.Series->SetCircleLabels(true);
    test::TShownPage<TPolarSeriesEditor> shown(polar.Series);
    TPolarSeriesEditor& page = shown.Page;
    page.PageControl1->setCurrentWidget(page.TabLabels);
    ASSERT_TRUE(page.CBAngleLabels->isChecked());
    for (QWidget* control : std::initializer_list<QWidget*>{page.CBLabelsRot, page.CBClockWise, page.BFont})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(page.CBInside->isEnabled());
    test::ClickNearLeftEdge(page.CBAngleLabels);
    EXPECT_FALSE(polar.Series->CircleLabels());
    for (QWidget* control : std::initializer_list<QWidget*>{page.CBLabelsRot, page.CBClockWise, page.BFont})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(page.CBInside->isEnabled());
    test::ClickNearLeftEdge(page.CBAngleLabels);
    EXPECT_TRUE(polar.Series->CircleLabels());
    EXPECT_TRUE(page.BFont->isEnabled());
}

TEST(PolarSeriesEditor, TypedNumbersAreTakenAsTypedAndHalfTypedOnesKeepTheValue)
{
    TRoundChart<TPolarSeries> polar;
    test::TShownPage<TPolarSeriesEditor> shown(polar.Series);
    TPolarSeriesEditor& page = shown.Page;
    test::TMessages messages;
    // The step of 5 is the arrows' only: 7 typed is 7.
    TypeIntoRoundSpin(page.UDTransp, QStringLiteral("7"));
    EXPECT_EQ(polar.Series->Transparency(), 7);
    page.UDTransp->stepUp();
    EXPECT_EQ(polar.Series->Transparency(), 12);

    page.PageControl1->setCurrentWidget(page.TabLabels);
    const int margin = polar.Series->LabelsMargin();
    TypeIntoRoundSpin(page.UDMargin, QStringLiteral("-"));
    EXPECT_EQ(polar.Series->LabelsMargin(), margin) << "a lone minus is no number yet";
    QTest::keyClicks(page.UDMargin->findChild<QLineEdit*>(), QStringLiteral("12"));
    EXPECT_EQ(polar.Series->LabelsMargin(), -12);

    page.PageControl1->setCurrentWidget(page.TabOptions);
    TypeIntoRoundSpin(page.UDAngleInc, QStringLiteral("45"));
    EXPECT_EQ(polar.Series->AngleIncrement(), 45);
    EXPECT_EQ(polar.Chart.BottomAxis()->Increment(), 45);
    const double radius = polar.Series->RadiusIncrement();
    TypeIntoRoundSpin(page.UDRadiusInc, QString());
    EXPECT_EQ(polar.Series->RadiusIncrement(), radius) << "an empty field is no number";
    EXPECT_TRUE(messages.Texts.isEmpty()) << messages.Texts.join(QLatin1Char('\n')).toStdString();
}

TEST(PolarSeriesEditor, TheIncrementsShowRounded)
{
    TRoundChart<TPolarSeries> polar;
    polar.Series->SetAngleIncrement(22.4);
    polar.Series->SetRadiusIncrement(99.6);
    test::TShownPage<TPolarSeriesEditor> shown(polar.Series);
    EXPECT_EQ(shown.Page.UDAngleInc->value(), 22);
    EXPECT_EQ(shown.Page.UDRadiusInc->value(), 100);
}

TEST(PolarSeriesEditor, ACancelledFontDialogChangesNothing)
{
    TRoundChart<TPolarSeries> polar;
    polar.Series->SetCircleLabels(true);
    test::TShownPage<TPolarSeriesEditor> shown(polar.Series);
    const QStringList before = test::DumpProperties(polar.Series->CircleLabelsFont());
    TCancelledFontDialog cancelled;
    shown.Page.PageControl1->setCurrentWidget(shown.Page.TabLabels);
    QTest::mouseClick(shown.Page.BFont, Qt::LeftButton);
    EXPECT_EQ(cancelled.Asked, 1);
    EXPECT_EQ(test::DumpProperties(polar.Series->CircleLabelsFont()), before);
}

TEST(ClockEditor, RomanSwitchesTheStyleAndTheButtonsHoldTheHandsAndRadiusPens)
{
    TRoundChart<TClockSeries> clock;
    test::TShownPage<TClockEditor> shown(clock.Series);
    TClockEditor& page = shown.Page;
    EXPECT_EQ(page.BHour->Pen(), clock.Series->PenHours());
    EXPECT_EQ(page.BMinute->Pen(), clock.Series->PenMinutes());
    EXPECT_EQ(page.BSecond->Pen(), clock.Series->PenSeconds());
    EXPECT_EQ(page.BRadius->Pen(), clock.Chart.BottomAxis()->Grid());
    EXPECT_EQ(page.BPiePen->Pen(), clock.Series->CirclePen());
    page.PageControl1->setCurrentWidget(page.TabLabels);
    ASSERT_EQ(clock.Series->Style(), cssRoman);
    EXPECT_TRUE(page.CBRoman->isChecked());
    test::ClickNearLeftEdge(page.CBRoman);
    EXPECT_EQ(clock.Series->Style(), cssDecimal);
    test::ClickNearLeftEdge(page.CBRoman);
    EXPECT_EQ(clock.Series->Style(), cssRoman);
}

TEST(WindRoseEditor, MirroredSetsTheLabelsMirror)
{
    TRoundChart<TWindRoseSeries> rose;
    test::TShownPage<TWindRoseEditor> shown(rose.Series);
    shown.Page.PageControl1->setCurrentWidget(shown.Page.TabLabels);
    EXPECT_FALSE(shown.Page.CBClockWise->isVisible());
    EXPECT_FALSE(shown.Page.CBMirror->isChecked());
    test::ClickNearLeftEdge(shown.Page.CBMirror);
    EXPECT_TRUE(rose.Series->MirrorLabels());
}

TEST(PolarSeriesEditor, TheCircledAndPointTabsComeOnce)
{
    TRoundChart<TRadarSeries> radar;
    test::THostedSeriesPage<TPolarSeriesEditor> hosted(radar.Series);
    ASSERT_NE(hosted.Page, nullptr);
    hosted.ShowAgain();
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Circled")), 1);
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Point")), 1);
    ASSERT_NE(hosted.Page->CircledEditor, nullptr);
    ASSERT_NE(hosted.Page->PointerEditor, nullptr);
    EXPECT_EQ(hosted.Page->CircledEditor->Target(), radar.Series);
    EXPECT_EQ(hosted.Page->PointerEditor->Target(), radar.Series->Pointer());

    // They go with the page when the series page turns to another series.
    const QPointer<TCircledSeriesEditor> circled = hosted.Page->CircledEditor;
    const QPointer<TEditorPage> pointer = hosted.Page->PointerEditor;
    auto* line = new TLineSeries(&radar.Chart);
    radar.Chart.AddSeries(line);
    hosted.Host.SetTarget(line);
    EXPECT_EQ(circled, nullptr);
    EXPECT_EQ(pointer, nullptr);
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Circled")), 0) << hosted.Tabs().join(QLatin1Char(' ')).toStdString();
}

// --- Gauge ----------------------------------------------------------------------------------------

TEST(GaugeSeriesEditor, RaisingTheMinimumAboveTheValueMovesTheValueAndLimitsTheMaximum)
{
    TRoundChart<TGaugeSeries> gauge;
    gauge.Series->SetValue(40);
    test::TShownPage<TGaugeSeriesEditor> shown(gauge.Series);
    TGaugeSeriesEditor& page = shown.Page;
    EXPECT_EQ(page.PageControl1->currentWidget(), page.TabOptions);
    EXPECT_EQ(page.UDValue->value(), 40);
    page.PageControl1->setCurrentWidget(page.TabTicks);
    TypeIntoRoundSpin(page.UDMin, QStringLiteral("60"));
    EXPECT_EQ(gauge.Series->Minimum(), 60);
    EXPECT_EQ(gauge.Series->Value(), 60);
    EXPECT_EQ(page.UDMax->minimum(), 60);
    page.PageControl1->setCurrentWidget(page.TabOptions);
    EXPECT_EQ(page.UDValue->value(), 60);

    // And the other way round.
    page.PageControl1->setCurrentWidget(page.TabTicks);
    TypeIntoRoundSpin(page.UDMax, QStringLiteral("80"));
    EXPECT_EQ(gauge.Series->Maximum(), 80);
    EXPECT_EQ(page.UDMin->maximum(), 80);
    // Below the minimum the maximum cannot go.
    page.UDMax->setFocus();
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(page.UDMax, Qt::Key_Down);
    EXPECT_EQ(gauge.Series->Maximum(), 60);
}

TEST(GaugeSeriesEditor, HalfTypedNumbersKeepTheValueWithoutAMessage)
{
    TRoundChart<TGaugeSeries> gauge;
    test::TShownPage<TGaugeSeriesEditor> shown(gauge.Series);
    test::TMessages messages;
    shown.Page.PageControl1->setCurrentWidget(shown.Page.TabTicks);
    TypeIntoRoundSpin(shown.Page.UDMin, QStringLiteral("-"));
    EXPECT_EQ(gauge.Series->Minimum(), 0);
    TypeIntoRoundSpin(shown.Page.UDMax, QString());
    EXPECT_EQ(gauge.Series->Maximum(), 100);
    shown.Page.PageControl1->setCurrentWidget(shown.Page.TabOptions);
    TypeIntoRoundSpin(shown.Page.UDDist, QStringLiteral("-"));
    EXPECT_EQ(gauge.Series->HandDistance(), 30);
    EXPECT_TRUE(messages.Texts.isEmpty());
}

TEST(GaugeSeriesEditor, ShowsTheGaugesHandStyleFullRepaintAndMinorTickDistance)
{
    TRoundChart<TGaugeSeries> gauge;
    gauge.Series->SetHandStyle(hsTriangle);
    gauge.Series->SetFullRepaint(true);
    gauge.Series->SetMinorTickDistance(7);
    gauge.Series->SetTotalAngle(180.4);
    test::TShownPage<TGaugeSeriesEditor> shown(gauge.Series);
    EXPECT_EQ(shown.Page.ComboBox1->currentIndex(), 1);
    EXPECT_TRUE(shown.Page.CheckBox4->isChecked());
    EXPECT_EQ(shown.Page.UpDown2->value(), 7);
    EXPECT_EQ(shown.Page.UDAngle->value(), 180);
    gauge.Series->SetHandStyle(hsLine);
    shown.Page.Refresh();
    EXPECT_EQ(shown.Page.ComboBox1->currentIndex(), 0);
    shown.Page.ComboBox1->setFocus();
    QTest::keyClick(shown.Page.ComboBox1, Qt::Key_Down);
    EXPECT_EQ(gauge.Series->HandStyle(), hsTriangle);
}

TEST(GaugeSeriesEditor, TheAxisControlsEditTheGaugeAxis)
{
    TRoundChart<TGaugeSeries> gauge;
    TChartAxis* axis = gauge.Chart.LeftAxis();
    test::TShownPage<TGaugeSeriesEditor> shown(gauge.Series);
    TGaugeSeriesEditor& page = shown.Page;
    EXPECT_EQ(page.BAxis->Pen(), axis->Axis());
    EXPECT_EQ(page.BTicks->Pen(), axis->Ticks());
    EXPECT_EQ(page.BMinor->Pen(), axis->MinorTicks());
    EXPECT_EQ(page.UpDown3->value(), 14);
    page.PageControl1->setCurrentWidget(page.TabLabels);
    TypeIntoRoundSpin(page.UDIncrement, QStringLiteral("25"));
    EXPECT_EQ(axis->Increment(), 25);
    test::ClickNearLeftEdge(page.CheckBox1);
    EXPECT_FALSE(axis->Labels());
    // The font editor comes as a dialog on the labels' font, closed by its
    // own default "Close" button.
    bool opened = false;
    test::OnModal<TPlotFontEditor>([&opened, axis](TPlotFontEditor& Editor) {
        opened = true;
        EXPECT_EQ(Editor.Font(), axis->LabelsFont());
        auto* close = Editor.findChild<QPushButton*>(QStringLiteral("BClose"));
        ASSERT_NE(close, nullptr);
        EXPECT_TRUE(close->isDefault());
        EXPECT_TRUE(close->isVisible());
        test::SaveScreenshot(Editor, QStringLiteral("series-type-gauge-font-dialog"));
        QTest::mouseClick(close, Qt::LeftButton);
    });
    QTest::mouseClick(page.Button2, Qt::LeftButton);
    EXPECT_TRUE(opened);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(GaugeSeriesEditor, TheCentreAndEndPointButtonsOpenThePointerDialogOnTheirKnob)
{
    TRoundChart<TGaugeSeries> gauge;
    test::TShownPage<TGaugeSeriesEditor> shown(gauge.Series);
    for (auto [button, knob] : {std::pair{shown.Page.Button1, gauge.Series->Center()},
                                std::pair{shown.Page.Button3, gauge.Series->EndPoint()}}) {
        bool opened = false;
        test::OnModal<TSeriesPointerEditor>([&opened, knob = knob](TSeriesPointerEditor& Dialog) {
            opened = true;
            EXPECT_EQ(Dialog.Pointer(), knob);
            Dialog.reject();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(opened) << button->objectName().toStdString();
    }
}

TEST(GaugeSeriesEditor, WithoutAnAxisTheAxisControlsChangeNothing)
{
    TGaugeSeries gauge;
    gauge.SetValue(30);
    test::TShownPage<TGaugeSeriesEditor> shown(&gauge);
    TGaugeSeriesEditor& page = shown.Page;
    ASSERT_EQ(page.GaugeAxis(), nullptr);
    const QStringList before = test::DumpProperties(&gauge);
    EXPECT_EQ(page.BAxis->Pen(), nullptr);
    page.PageControl1->setCurrentWidget(page.TabLabels);
    TypeIntoRoundSpin(page.UDIncrement, QStringLiteral("25"));
    test::ClickNearLeftEdge(page.CheckBox1);
    QTest::mouseClick(page.Button2, Qt::LeftButton); // no font editor opens
    page.PageControl1->setCurrentWidget(page.TabTicks);
    for (QSpinBox* spin : {page.UpDown1, page.UpDown3, page.UpDown4})
        TypeIntoRoundSpin(spin, QStringLiteral("9"));
    EXPECT_EQ(test::DumpProperties(&gauge), before);
    // The gauge's own settings still apply.
    TypeIntoRoundSpin(page.UDMin, QStringLiteral("10"));
    EXPECT_EQ(gauge.Minimum(), 10);
}

TEST(GaugeSeriesEditor, TheCircledTabComesOnceWithoutBackgroundColourOrTransparency)
{
    TRoundChart<TGaugeSeries> gauge;
    test::THostedSeriesPage<TGaugeSeriesEditor> hosted(gauge.Series);
    ASSERT_NE(hosted.Page, nullptr);
    hosted.ShowAgain();
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Circled")), 1);
    ASSERT_NE(hosted.Page->CircledEditor, nullptr);
    hosted.Host.PageSeries->setCurrentIndex(hosted.Tabs().indexOf(QStringLiteral("Circled")));
    EXPECT_TRUE(hosted.Page->CircledEditor->CBCircled->isVisible());
    EXPECT_FALSE(hosted.Page->CircledEditor->BBack->isVisible());
    EXPECT_FALSE(hosted.Page->CircledEditor->CBTransp->isVisible());
}

// --- Smith ----------------------------------------------------------------------------------------

TEST(SmithSeriesEdit, AnEmptyImaginarySymbolLeavesBareNumbers)
{
    test::TCircularChart chart;
    auto* smith = chart.Add<TSmithSeries>();
    smith->AddXY(1, 1);
    test::TShownPage<TSmithSeriesEdit> shown(smith);
    ASSERT_EQ(shown.Page.EImag->text(), QStringLiteral("i"));
    shown.Page.EImag->setFocus();
    shown.Page.EImag->selectAll();
    QTest::keyClick(shown.Page.EImag, Qt::Key_Delete);
    EXPECT_EQ(smith->ImagSymbol(), QString());
    const QStringList texts = test::CallsNamed(chart.Paint(), QStringLiteral("TextOut"));
    EXPECT_EQ(texts.filter(QStringLiteral("\"-1.5\"")).size(), 1) << texts.join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(texts.filter(QStringLiteral("\"0\"")).size(), 1);
    EXPECT_TRUE(texts.filter(QStringLiteral("i\"")).isEmpty());
    // Typed text is taken as it is.
    QTest::keyClicks(shown.Page.EImag, QStringLiteral(" j"));
    EXPECT_EQ(smith->ImagSymbol(), QStringLiteral(" j"));
}

TEST(SmithSeriesEdit, TheGridControlsEditTheAxesSettings)
{
    TRoundChart<TSmithSeries> smith;
    test::TShownPage<TSmithSeriesEdit> shown(smith.Series);
    TSmithSeriesEdit& page = shown.Page;
    EXPECT_EQ(page.BCPen->Pen(), smith.Chart.LeftAxis()->Grid());
    EXPECT_EQ(page.BRPen->Pen(), smith.Chart.BottomAxis()->Grid());
    EXPECT_EQ(page.BCircle->Pen(), smith.Series->CirclePen());
    EXPECT_EQ(page.BBorder->Pen(), smith.Series->Pen());
    test::ClickNearLeftEdge(page.CBC);
    EXPECT_FALSE(smith.Chart.LeftAxis()->Labels());
    test::ClickNearLeftEdge(page.CBR);
    EXPECT_FALSE(smith.Chart.BottomAxis()->Labels());
}

TEST(SmithSeriesEdit, CancelledPenAndFontDialogsChangeNothing)
{
    TRoundChart<TSmithSeries> smith;
    test::TShownPage<TSmithSeriesEdit> shown(smith.Series);
    const QStringList before = test::DumpProperties(&smith.Chart);
    for (TButtonPen* button : {shown.Page.BCPen, shown.Page.BRPen, shown.Page.BCircle, shown.Page.BBorder}) {
        test::OnModal<TPenDialog>([](TPenDialog& Pen) {
            Pen.UDWidth->setValue(Pen.UDWidth->value() + 3);
            Pen.BCancel->click();
        });
        QTest::mouseClick(button, Qt::LeftButton);
    }
    TCancelledFontDialog cancelled;
    QTest::mouseClick(shown.Page.BCFont, Qt::LeftButton);
    QTest::mouseClick(shown.Page.BRFont, Qt::LeftButton);
    EXPECT_EQ(cancelled.Asked, 2);
    EXPECT_EQ(test::DumpProperties(&smith.Chart), before);
}

TEST(SmithSeriesEdit, WithoutAChartTheGridButtonsLeaveTheSeriesOwnPenAndMarksFontAlone)
{
    TSmithSeries smith;
    test::TShownPage<TSmithSeriesEdit> shown(&smith);
    EXPECT_EQ(shown.Page.BCPen->Pen(), nullptr);
    EXPECT_EQ(shown.Page.BRPen->Pen(), nullptr);
    EXPECT_EQ(shown.Page.BBorder->Pen(), smith.Pen());
    TCancelledFontDialog cancelled;
    QTest::mouseClick(shown.Page.BCFont, Qt::LeftButton);
    EXPECT_EQ(cancelled.Asked, 0);
}

TEST(SmithSeriesEdit, TheCircledTabComesOnce)
{
    TRoundChart<TSmithSeries> smith;
    test::THostedSeriesPage<TSmithSeriesEdit> hosted(smith.Series);
    ASSERT_NE(hosted.Page, nullptr);
    hosted.ShowAgain();
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Circled")), 1);
    ASSERT_NE(hosted.Page->CircledEditor, nullptr);
    EXPECT_EQ(hosted.Page->CircledEditor->Target(), smith.Series);
}

// --- Donut, triangulated surface, 3-D points ----------------------------------------------------

TEST(DonutSeriesEditor, TheFormatTabHoldsThePieOptionsWithTheHoleAndTheHoleWraps)
{
    // Guards against a "Format" tab holding only "Hole %" while the pie's
    // options sat on a tab named "Donut".
    TRoundChart<TDonutSeries> donut;
    donut.Series->SetDonutPercent(100);
    test::THostedSeriesPage<TDonutSeriesEditor> hosted(donut.Series);
    ASSERT_NE(hosted.Page, nullptr);
    hosted.ShowAgain();
    const std::string tabs = hosted.Tabs().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Donut")), 0) << tabs;
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Circled")), 1);
    EXPECT_EQ(hosted.Tabs().indexOf(QStringLiteral("Circled")), 1) << tabs;
    // The hole among the pie's options, on the same inner tab.
    EXPECT_EQ(hosted.Page->UDDonut->parentWidget(), hosted.Page->UDExpBig->parentWidget());
    EXPECT_TRUE(hosted.Page->UDDonut->isVisible());
    EXPECT_EQ(hosted.Page->CircledEditor->Target(), donut.Series);
    EXPECT_EQ(hosted.Page->UDDonut->value(), 100);
    hosted.Page->UDDonut->setFocus();
    QTest::keyClick(hosted.Page->UDDonut, Qt::Key_Up);
    EXPECT_EQ(donut.Series->DonutPercent(), 0) << "past the top the hole goes round to none";
    QTest::keyClick(hosted.Page->UDDonut, Qt::Key_Up);
    EXPECT_EQ(donut.Series->DonutPercent(), 5);
    TypeIntoRoundSpin(hosted.Page->UDDonut, QStringLiteral("33"));
    EXPECT_EQ(donut.Series->DonutPercent(), 33);
}

TEST(TriSurfaceSeriesEditor, HideTrianglesIsTickedAndTheGridPageComesOnce)
{
    TRoundChart<TTriSurfaceSeries> surface;
    test::THostedSeriesPage<TTriSurfaceSeriesEditor> hosted(surface.Series);
    ASSERT_NE(hosted.Page, nullptr);
    hosted.ShowAgain();
    EXPECT_EQ(hosted.Tabs().count(PlotMsg_GalleryGrid3D), 1);
    ASSERT_NE(hosted.Page->Grid3DPage, nullptr);
    EXPECT_TRUE(hosted.Page->CBHide->isChecked());
    EXPECT_FALSE(hosted.Page->CBFastBrush->isEnabled());
    EXPECT_EQ(hosted.Page->Button1->Pen(), surface.Series->Border());
    test::ClickNearLeftEdge(hosted.Page->CBHide);
    EXPECT_FALSE(surface.Series->HideTriangles());
    TypeIntoRoundSpin(hosted.Page->UDTransp, QStringLiteral("7"));
    EXPECT_EQ(surface.Series->Transparency(), 7);
}

TEST(Point3DSeriesEditor, ColourEachDisablesTheColourButtonAndTheDepthShowsRounded)
{
    TRoundChart<TPoint3DSeries> points;
    points.Series->SetDepthSize(2.6);
    test::TShownPage<TPoint3DSeriesEditor> shown(points.Series);
    TPoint3DSeriesEditor& page = shown.Page;
    EXPECT_EQ(page.UDPointDepth->value(), 3);
    EXPECT_EQ(page.Button1->Pen(), points.Series->LinePen());
    EXPECT_EQ(page.BBasePen->Pen(), points.Series->BaseLine());
    ASSERT_FALSE(points.Series->ColorEachPoint());
    EXPECT_TRUE(page.BColor->isEnabled());
    test::ClickNearLeftEdge(page.CBColorEach);
    EXPECT_TRUE(points.Series->ColorEachPoint());
    EXPECT_FALSE(page.BColor->isEnabled());
    test::ClickNearLeftEdge(page.CBColorEach);
    EXPECT_TRUE(page.BColor->isEnabled());

    // The 3-D bubbles colour each point from the start.
    TRoundChart<TBubble3DSeries> bubbles;
    test::TShownPage<TPoint3DSeriesEditor> bubblePage(bubbles.Series);
    EXPECT_TRUE(bubblePage.Page.CBColorEach->isChecked());
    EXPECT_FALSE(bubblePage.Page.BColor->isEnabled());
}

TEST(Point3DSeriesEditor, ThePointTabComesOnce)
{
    TRoundChart<TBubble3DSeries> bubbles;
    test::THostedSeriesPage<TPoint3DSeriesEditor> hosted(bubbles.Series);
    ASSERT_NE(hosted.Page, nullptr);
    hosted.ShowAgain();
    EXPECT_EQ(hosted.Tabs().count(QStringLiteral("Point")), 1);
    ASSERT_NE(hosted.Page->PointerEditor, nullptr);
    EXPECT_EQ(hosted.Page->PointerEditor->Target(), bubbles.Series->Pointer());
}

// --- Screenshots ----------------------------------------------------------------------------------

// Each page as the series page shows it, with the tabs it added.
TEST(CircularSeriesPages, ScreenshotsOfEachPageInTheSeriesPage)
{
    struct TRoundShot {
        const char* Name;
        std::function<TChartSeries*(TChart&)> Make;
        QString Tab;          // the series page's tab shown
        int InnerTab = 0;     // the page's own tab shown
    };
    const auto make = [](TChartSeries* Series, TChart& Chart) {
        Chart.AddSeries(Series);
        Series->FillSampleValues();
        return Series;
    };
    const QString format = QStringLiteral("Format");
    const std::vector<TRoundShot> shots = {
        {"polar", [&](TChart& C) { return make(new TPolarSeries(&C), C); }, format, 0},
        {"polar-labels", [&](TChart& C) { return make(new TPolarSeries(&C), C); }, format, 1},
        {"polar-circled", [&](TChart& C) { return make(new TPolarSeries(&C), C); }, QStringLiteral("Circled"), 0},
        {"polar-point", [&](TChart& C) { return make(new TPolarSeries(&C), C); }, QStringLiteral("Point"), 0},
        {"radar", [&](TChart& C) { return make(new TRadarSeries(&C), C); }, format, 0},
        {"clock", [&](TChart& C) { return make(new TClockSeries(&C), C); }, format, 0},
        {"clock-labels", [&](TChart& C) { return make(new TClockSeries(&C), C); }, format, 1},
        {"wind-rose", [&](TChart& C) { return make(new TWindRoseSeries(&C), C); }, format, 0},
        {"wind-rose-labels", [&](TChart& C) { return make(new TWindRoseSeries(&C), C); }, format, 1},
        {"gauge", [&](TChart& C) { return make(new TGaugeSeries(&C), C); }, format, 0},
        {"gauge-labels", [&](TChart& C) { return make(new TGaugeSeries(&C), C); }, format, 1},
        {"gauge-ticks", [&](TChart& C) { return make(new TGaugeSeries(&C), C); }, format, 2},
        {"gauge-circled", [&](TChart& C) { return make(new TGaugeSeries(&C), C); }, QStringLiteral("Circled"), 0},
        {"smith", [&](TChart& C) { return make(new TSmithSeries(&C), C); }, format, 0},
        {"donut", [&](TChart& C) { return make(new TDonutSeries(&C), C); }, format, 0},
        {"donut-circled", [&](TChart& C) { return make(new TDonutSeries(&C), C); }, QStringLiteral("Circled"), 0},
        {"tri-surface", [&](TChart& C) { return make(new TTriSurfaceSeries(&C), C); }, format, 0},
        {"point-3d", [&](TChart& C) { return make(new TPoint3DSeries(&C), C); }, format, 0},
    };
    for (const TRoundShot& shot : shots) {
        test::TEditorChart chart;
        TChartSeries* series = shot.Make(chart);
        const QStringList before = test::DumpProperties(&chart);
        TFormPlotSeries host;
        host.SetTarget(series);
        host.show();
        ASSERT_NE(host.SeriesEditor(), nullptr) << shot.Name;
        EXPECT_EQ(test::DumpProperties(&chart), before) << shot.Name << " showing wrote";
        int tab = -1;
        for (int i = 0; i < host.PageSeries->count(); ++i)
            if (host.PageSeries->tabText(i) == shot.Tab)
                tab = i;
        ASSERT_GE(tab, 0) << shot.Name;
        host.PageSeries->setCurrentIndex(tab);
        if (auto* inner = host.SeriesEditor()->findChild<QTabWidget*>(QStringLiteral("PageControl1")))
            inner->setCurrentIndex(shot.InnerTab);
        test::SaveScreenshot(host, QStringLiteral("series-type-") + QString::fromLatin1(shot.Name));
    }
}

} // namespace
} // namespace lp
