// The print preview dialog and its entries: the form's texts and defaults,
// the margin rules, drags reflected in the edits, the previewer's options,
// printing without a printer into a named PDF, a typed margin kept by the
// chart file, and a picture of the dialog.

#include "chart/export/PlotPreview.h"

#include "tests/chart/export/ExportTestUtil.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtGui/QMouseEvent>
#include <QtPrintSupport/QPrinter>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace lp {
namespace {

using test::TExportChart;

// Dialogs are shown offscreen by the test's show service, which runs Body
// on the visible form and closes it.
struct PreviewDialog : ::testing::Test {
    QTemporaryDir Dir;
    TExportChart Chart;
    int Shown = 0;
    std::function<void(TChartPreview&)> Body = [](TChartPreview&) {};

    void SetUp() override
    {
        Printer().SetOrientation(TPrinter::poPortrait);
        Printer().SetOutputFileName(Dir.filePath("unused.pdf"));
        Printer().QtPrinter().setPageSize(QPageSize(QPageSize::A4));
        ChartPreviewShowService() = [this](TChartPreview& Form) {
            ++Shown;
            Form.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&Form));
            Body(Form);
            Form.close();
            return 0;
        };
    }
    void TearDown() override
    {
        ResetChartPreviewShowService();
        Printer().SetOutputFileName({});
        Printer().SetOrientation(TPrinter::poPortrait);
    }
    static void Type(QSpinBox* Edit, const QString& Text)
    {
        // Typed into the spin box's own edit, completed by Enter.
        QLineEdit* line = Edit->findChild<QLineEdit*>();
        ASSERT_NE(line, nullptr);
        Edit->setFocus();
        line->selectAll();
        QTest::keyClicks(line, Text);
        QTest::keyClick(line, Qt::Key_Return);
    }
    // A key pressed in a margin box (an arrow steps it).
    static void Press(QSpinBox* Edit, Qt::Key Key)
    {
        Edit->setFocus();
        QTest::keyClick(Edit, Key);
    }
    // A left-button drag on the sheet with real mouse events, through a
    // point half-way; the sheet is painted again afterwards, as the event
    // loop would.
    static void DragOnSheet(TChartPreview& Form, QPoint From, QPoint To)
    {
        QWidget* sheet = Form.PlotPreviewPanel1->Widget();
        const auto send = [sheet](QEvent::Type Type, QPoint At, Qt::MouseButtons Buttons) {
            QMouseEvent event(Type, QPointF(At), sheet->mapToGlobal(QPointF(At)),
                              Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Buttons, Qt::NoModifier);
            QApplication::sendEvent(sheet, &event);
        };
        send(QEvent::MouseMove, From, Qt::NoButton);
        send(QEvent::MouseButtonPress, From, Qt::LeftButton);
        send(QEvent::MouseMove, (From + To) / 2, Qt::LeftButton);
        send(QEvent::MouseMove, To, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, To, Qt::NoButton);
        sheet->repaint();
    }
    // The middle of the part of the picture that lies on the paper (where a
    // press grabs the picture), after a fresh paint.
    static QPoint PictureOnPaper(TChartPreview& Form)
    {
        Form.PlotPreviewPanel1->Widget()->repaint();
        const TRect r = Form.PlotPreviewPanel1->ImageRect();
        const TRect p = Form.PlotPreviewPanel1->PaperRect();
        const QRect visible = QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1))
                                  .intersected(QRect(QPoint(p.Left, p.Top), QPoint(p.Right - 1, p.Bottom - 1)));
        return visible.center();
    }
    // Every margin on the paper (0 or more, each opposite pair below 100)
    // and the four boxes showing the margins the chart prints with.
    static ::testing::AssertionResult MarginsOnPaperAndShown(const TChartPreview& Form)
    {
        const TRect m = Form.PlotPreviewPanel1->Panel()->PrintMargins();
        const QString margins = QStringLiteral("margins left %1, top %2, right %3, bottom %4")
                                    .arg(m.Left)
                                    .arg(m.Top)
                                    .arg(m.Right)
                                    .arg(m.Bottom);
        if (m.Left < 0 || m.Top < 0 || m.Right < 0 || m.Bottom < 0 || m.Left + m.Right >= 100 ||
            m.Top + m.Bottom >= 100)
            return ::testing::AssertionFailure() << margins.toStdString() << " leave the paper";
        const TRect shown{Form.UDLeftMa->value(), Form.UDTopMa->value(), Form.UDRightMa->value(),
                          Form.UDBotMa->value()};
        if (shown != m)
            return ::testing::AssertionFailure() << margins.toStdString() << ", the boxes show left " << shown.Left
                                                 << ", top " << shown.Top << ", right " << shown.Right
                                                 << ", bottom " << shown.Bottom;
        return ::testing::AssertionSuccess();
    }
};

TEST_F(PreviewDialog, FormTextsAndDefaults)
{
    TChartPreview form;
    EXPECT_EQ(form.windowTitle(), "Vexa Print Preview");
    EXPECT_EQ(form.size(), QSize(502, 392));
    EXPECT_EQ(form.LPrinter->text(), "P&rinter:");
    EXPECT_EQ(form.LPrinter->buddy(), form.CBPrinters);
    EXPECT_EQ(form.BSetupPrinter->text(), "&Setup...");
    EXPECT_EQ(form.BPrint->text(), "&Print");
    EXPECT_EQ(form.BClose->text(), "Close");
    EXPECT_TRUE(form.BClose->isDefault());
    EXPECT_EQ(form.Orientation->title(), "Orien&tation:");
    EXPECT_EQ(form.RBPortrait->text(), "P&ortrait");
    EXPECT_EQ(form.RBLandscape->text(), "&Landscape");
    EXPECT_EQ(form.GBMargins->title(), "Margins (%)");
    for (QSpinBox* edit : {form.UDTopMa, form.UDLeftMa, form.UDBotMa, form.UDRightMa}) {
        EXPECT_EQ(edit->value(), 0);
        EXPECT_EQ(edit->singleStep(), 5);
    }
    EXPECT_EQ(form.ChangeDetailGroup->title(), "Detail:");
    EXPECT_EQ(form.Resolution->value(), 99);
    EXPECT_EQ(form.Resolution->tickInterval(), 10);
    EXPECT_EQ(form.Resolution->singleStep(), 2);
    EXPECT_EQ(form.BReset->text(), "Reset &Margins");
    EXPECT_FALSE(form.BReset->isEnabled());
    EXPECT_EQ(form.ShowMargins->text(), "&View Margins");
    EXPECT_TRUE(form.ShowMargins->isChecked());
    EXPECT_EQ(form.CBProp->text(), "Proport&ional");
    EXPECT_TRUE(form.CBProp->isChecked());
    EXPECT_EQ(form.CheckBox1->text(), "Smoot&h");
    // Every mnemonic key of the form is used once.
    QStringList keys;
    for (const QString& text : {form.LPrinter->text(), form.BSetupPrinter->text(), form.BPrint->text(),
                                form.Orientation->title(), form.RBPortrait->text(), form.RBLandscape->text(),
                                form.BReset->text(), form.ShowMargins->text(), form.CBProp->text(),
                                form.CheckBox1->text()}) {
        const int at = text.indexOf('&');
        ASSERT_GE(at, 0) << text.toStdString();
        keys << text.mid(at + 1, 1).toLower();
    }
    keys.removeDuplicates();
    EXPECT_EQ(keys.size(), 10);
    form.HideCloseButton();
    EXPECT_TRUE(form.PanelClose->isHidden());
}

TEST_F(PreviewDialog, ShowChartPreviewStartsFromProportionalMargins)
{
    Chart.Chart.SetPrintMargins({40, 40, 40, 40});
    Chart.Chart.SetPrintProportional(false);
    Body = [this](TChartPreview& Form) {
        EXPECT_EQ(Form.PlotPreviewPanel1->Panel(), &Chart.Chart);
        EXPECT_TRUE(Form.CBProp->isChecked());
        const TRect m = Chart.Chart.PrintMargins();
        EXPECT_EQ(m, Chart.Chart.CalcProportionalMargins());
        EXPECT_EQ(Form.UDLeftMa->value(), m.Left);
        EXPECT_EQ(Form.UDTopMa->value(), m.Top);
        EXPECT_EQ(Form.UDRightMa->value(), m.Right);
        EXPECT_EQ(Form.UDBotMa->value(), m.Bottom);
        EXPECT_EQ(Form.OldMargins(), m);
        // The printer goes to landscape when the preview opens.
        EXPECT_TRUE(Form.RBLandscape->isChecked());
        EXPECT_EQ(Printer().Orientation(), TPrinter::poLandscape);
    };
    ShowChartPreview(nullptr, &Chart.Chart);
    EXPECT_EQ(Shown, 1);
    EXPECT_TRUE(Chart.Chart.PrintProportional());
}

TEST_F(PreviewDialog, OppositeMarginsMustLeaveRoom)
{
    Body = [](TChartPreview& Form) {
        TCustomPlotPanel& panel = *Form.PlotPreviewPanel1->Panel();
        Type(Form.UDLeftMa, "60");
        EXPECT_EQ(panel.PrintMargins().Left, 60);
        EXPECT_FALSE(Form.CBProp->isChecked());
        EXPECT_FALSE(panel.PrintProportional());
        EXPECT_TRUE(Form.BReset->isEnabled());
        const int right = panel.PrintMargins().Right;
        Type(Form.UDRightMa, "45");
        EXPECT_EQ(Form.UDRightMa->value(), right);
        EXPECT_EQ(panel.PrintMargins().Right, right);
        Type(Form.UDRightMa, "35");
        EXPECT_EQ(panel.PrintMargins().Right, 35);
        // Reset brings the remembered margins back.
        Form.BReset->click();
        EXPECT_EQ(panel.PrintMargins(), Form.OldMargins());
        EXPECT_EQ(Form.UDLeftMa->value(), Form.OldMargins().Left);
        EXPECT_FALSE(Form.BReset->isEnabled());
        // Proportional again recomputes them.
        Type(Form.UDTopMa, "5");
        Form.CBProp->click();
        EXPECT_TRUE(panel.PrintProportional());
        EXPECT_EQ(panel.PrintMargins(), panel.CalcProportionalMargins());
    };
    ShowChartPreview(nullptr, &Chart.Chart);
}

TEST_F(PreviewDialog, DraggingAMarginUnchecksProportionalAndFillsTheEdits)
{
    Body = [](TChartPreview& Form) {
        QWidget* sheet = Form.PlotPreviewPanel1->Widget();
        sheet->repaint();
        const TRect r = Form.PlotPreviewPanel1->ImageRect();
        const QPoint from(r.Left, (r.Top + r.Bottom) / 2);
        const QPoint to = from + QPoint(20, 0);
        const auto send = [sheet](QEvent::Type Type, QPoint At, Qt::MouseButtons Buttons) {
            QMouseEvent event(Type, QPointF(At), sheet->mapToGlobal(QPointF(At)),
                              Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Buttons, Qt::NoModifier);
            QApplication::sendEvent(sheet, &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::NoButton);
        const TRect m = Form.PlotPreviewPanel1->Panel()->PrintMargins();
        EXPECT_FALSE(Form.CBProp->isChecked());
        EXPECT_FALSE(Form.PlotPreviewPanel1->Panel()->PrintProportional());
        EXPECT_EQ(Form.UDLeftMa->value(), m.Left);
        EXPECT_EQ(Form.UDRightMa->value(), m.Right);
        EXPECT_EQ(Form.UDTopMa->value(), m.Top);
        EXPECT_EQ(Form.UDBotMa->value(), m.Bottom);
        EXPECT_TRUE(Form.BReset->isEnabled());
    };
    ShowChartPreview(nullptr, &Chart.Chart);
}

// Typed margins below zero were taken and moves carried the chart off the
// paper, while the boxes, held at -100, showed another margin than the one
// printed (-105 on the left).
TEST_F(PreviewDialog, TypedAndDraggedMarginsStayOnThePaperAndInTheBoxes)
{
    Body = [](TChartPreview& Form) {
        TCustomPlotPanel& panel = *Form.PlotPreviewPanel1->Panel();
        const TRect start = panel.PrintMargins();
        ASSERT_TRUE(MarginsOnPaperAndShown(Form));
        const QPoint upLeft(-30, -30);

        Type(Form.UDTopMa, "-100");
        EXPECT_TRUE(MarginsOnPaperAndShown(Form)) << "after typing -100 in the top box";
        EXPECT_EQ(panel.PrintMargins().Top, start.Top); // refused
        QPoint grab = PictureOnPaper(Form);
        DragOnSheet(Form, grab, grab + upLeft);
        EXPECT_TRUE(MarginsOnPaperAndShown(Form)) << "after the first drag";

        Type(Form.UDLeftMa, "-100");
        EXPECT_TRUE(MarginsOnPaperAndShown(Form)) << "after typing -100 in the left box";
        grab = PictureOnPaper(Form);
        DragOnSheet(Form, grab, grab + upLeft);
        EXPECT_TRUE(MarginsOnPaperAndShown(Form)) << "after the second drag";

        // The moves took the picture into the paper's top left corner and
        // no further; its size stayed (to the rounding of whole per cents).
        const TRect m = panel.PrintMargins();
        EXPECT_EQ(m.Left, 0);
        EXPECT_EQ(m.Top, 0);
        EXPECT_NEAR(m.Right, start.Left + start.Right, 1);
        EXPECT_NEAR(m.Bottom, start.Top + start.Bottom, 1);
    };
    ShowChartPreview(nullptr, &Chart.Chart);
    EXPECT_EQ(Shown, 1);
}

// A margin box takes 0 up to what the opposite margin leaves room for. A
// typed number beyond (below 0, 100 or more, or a pair reaching 100) is
// refused whole: the box goes back to the margin in force, as for the pair
// rule. The arrows stop at either end.
TEST_F(PreviewDialog, MarginBoxTakesZeroUpToTheRoomTheOppositeLeaves)
{
    Chart.Chart.SetPrintProportional(false);
    Chart.Chart.SetPrintMargins({15, 15, 15, 15});
    Body = [](TChartPreview& Form) {
        TCustomPlotPanel& panel = *Form.PlotPreviewPanel1->Panel();
        struct TStep {
            const char* Name;
            std::function<void()> Do;
            TRect Expected;
        };
        const TStep steps[] = {
            {"0 is taken", [&] { Type(Form.UDLeftMa, "0"); }, {0, 15, 15, 15}},
            {"-1 is refused", [&] { Type(Form.UDLeftMa, "-1"); }, {0, 15, 15, 15}},
            {"-100 is refused", [&] { Type(Form.UDBotMa, "-100"); }, {0, 15, 15, 15}},
            {"100 is refused", [&] { Type(Form.UDRightMa, "100"); }, {0, 15, 15, 15}},
            {"150 is refused whole", [&] { Type(Form.UDTopMa, "150"); }, {0, 15, 15, 15}},
            {"60 on the left", [&] { Type(Form.UDLeftMa, "60"); }, {60, 15, 15, 15}},
            {"40 on the right sums to 100", [&] { Type(Form.UDRightMa, "40"); }, {60, 15, 15, 15}},
            {"39 on the right sums to 99", [&] { Type(Form.UDRightMa, "39"); }, {60, 15, 39, 15}},
            {"no room to step the left up", [&] { Press(Form.UDLeftMa, Qt::Key_Up); }, {60, 15, 39, 15}},
            {"37 on the right", [&] { Type(Form.UDRightMa, "37"); }, {60, 15, 37, 15}},
            {"the left steps up to the room left", [&] { Press(Form.UDLeftMa, Qt::Key_Up); }, {62, 15, 37, 15}},
            {"3 on the top", [&] { Type(Form.UDTopMa, "3"); }, {62, 3, 37, 15}},
            {"the top steps down to 0", [&] { Press(Form.UDTopMa, Qt::Key_Down); }, {62, 0, 37, 15}},
            {"and no further", [&] { Press(Form.UDTopMa, Qt::Key_Down); }, {62, 0, 37, 15}},
            {"and up again", [&] { Press(Form.UDTopMa, Qt::Key_Up); }, {62, 5, 37, 15}},
        };
        for (const TStep& step : steps) {
            SCOPED_TRACE(step.Name);
            step.Do();
            EXPECT_EQ(panel.PrintMargins(), step.Expected);
            EXPECT_TRUE(MarginsOnPaperAndShown(Form));
        }
    };
    TChartPreviewer previewer;
    previewer.SetChart(&Chart.Chart);
    previewer.Execute();
    EXPECT_EQ(Shown, 1);
}

// Margins set elsewhere, off the paper, are shown in the boxes as they are
// (the chart prints with them), however far off.
TEST_F(PreviewDialog, BoxesShowMarginsSetElsewhereAsTheyAre)
{
    Chart.Chart.SetPrintProportional(false);
    Chart.Chart.SetPrintMargins({-105, 2000, -3, 150});
    Body = [](TChartPreview& Form) {
        EXPECT_EQ(Form.UDLeftMa->value(), -105);
        EXPECT_EQ(Form.UDTopMa->value(), 2000);
        EXPECT_EQ(Form.UDRightMa->value(), -3);
        EXPECT_EQ(Form.UDBotMa->value(), 150);
        // A typed margin that fits is taken; the boxes still show the rest.
        Type(Form.UDLeftMa, "20");
        EXPECT_EQ(Form.PlotPreviewPanel1->Panel()->PrintMargins(), (TRect{20, 2000, -3, 150}));
        EXPECT_EQ(Form.UDLeftMa->value(), 20);
        // None fits beside a bottom margin of 150.
        Type(Form.UDTopMa, "0");
        EXPECT_EQ(Form.UDTopMa->value(), 2000);
    };
    TChartPreviewer previewer;
    previewer.SetChart(&Chart.Chart);
    previewer.Execute();
    EXPECT_EQ(Shown, 1);
}

// Random margins typed into the boxes (in and out of range), arrow keys,
// drags of edges, corners and the whole picture (ending anywhere, off the
// paper too), the proportional box and the orientation: after each step the
// margins lie on the paper and the boxes show them.
TEST_F(PreviewDialog, RandomMarginStepsKeepTheMarginsOnThePaperAndInTheBoxes)
{
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto pick = [&random](int Low, int High) {
            return std::uniform_int_distribution<int>(Low, High)(random);
        };
        Body = [&](TChartPreview& Form) {
            QSpinBox* const boxes[] = {Form.UDLeftMa, Form.UDTopMa, Form.UDRightMa, Form.UDBotMa};
            QWidget* sheet = Form.PlotPreviewPanel1->Widget();
            for (int stepNo = 0; stepNo < 100; ++stepNo) {
                QString step;
                const int action = pick(0, 9);
                if (action < 4) {
                    const int value = pick(0, 3) == 0 ? pick(-150, 150) : pick(0, 60);
                    step = QStringLiteral("type %1 in box %2").arg(value).arg(action);
                    Type(boxes[action], QString::number(value));
                } else if (action == 4) {
                    const int box = pick(0, 3);
                    const bool up = pick(0, 1) == 1;
                    step = QStringLiteral("arrow %1 in box %2").arg(up ? "up" : "down").arg(box);
                    Press(boxes[box], up ? Qt::Key_Up : Qt::Key_Down);
                } else if (action < 9) {
                    sheet->repaint();
                    const TRect r = Form.PlotPreviewPanel1->ImageRect();
                    const QPoint grabs[] = {PictureOnPaper(Form),
                                            {r.Left, (r.Top + r.Bottom) / 2},
                                            {r.Right, (r.Top + r.Bottom) / 2},
                                            {(r.Left + r.Right) / 2, r.Top},
                                            {(r.Left + r.Right) / 2, r.Bottom},
                                            {r.Left, r.Top},
                                            {r.Right, r.Bottom}};
                    const QPoint from = grabs[pick(0, 6)];
                    const QPoint to(pick(-40, sheet->width() + 40), pick(-40, sheet->height() + 40));
                    step = QStringLiteral("drag from %1,%2 to %3,%4")
                               .arg(from.x())
                               .arg(from.y())
                               .arg(to.x())
                               .arg(to.y());
                    DragOnSheet(Form, from, to);
                } else if (pick(0, 1) == 0) {
                    step = QStringLiteral("proportional clicked");
                    Form.CBProp->click();
                } else {
                    step = QStringLiteral("orientation changed");
                    (Form.RBPortrait->isChecked() ? Form.RBLandscape : Form.RBPortrait)->click();
                }
                sheet->repaint();
                ASSERT_TRUE(MarginsOnPaperAndShown(Form)) << "step " << stepNo << ": " << step.toStdString();
            }
        };
        ShowChartPreview(nullptr, &Chart.Chart);
    }
}

// Enter completes a typed margin; it does not press Close, the default
// button, as the spin box alone would have it.
TEST_F(PreviewDialog, EnterInAMarginBoxAppliesTheMarginAndThePreviewStays)
{
    Chart.Chart.SetPrintProportional(false);
    Chart.Chart.SetPrintMargins({15, 15, 15, 15});
    bool openAfterEnter = false;
    Body = [&](TChartPreview& Form) {
        QSignalSpy closed(Form.BClose, &QPushButton::clicked);
        Type(Form.UDLeftMa, "20");
        openAfterEnter = Form.isVisible();
        EXPECT_EQ(closed.count(), 0);
        EXPECT_EQ(Form.UDLeftMa->value(), 20);
    };
    TChartPreviewer previewer;
    previewer.SetChart(&Chart.Chart);
    previewer.Execute();
    EXPECT_EQ(Shown, 1);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(Chart.Chart.PrintMargins(), (TRect{20, 15, 15, 15}));
}

// Guards typed print margins lost by the chart file: the reopened chart
// printed proportionally again, its left margin 15.
TEST_F(PreviewDialog, ATypedMarginIsKeptByTheChartFile)
{
    Body = [](TChartPreview& Form) { Type(Form.UDLeftMa, "7"); };
    ShowChartPreview(nullptr, &Chart.Chart);
    ASSERT_EQ(Shown, 1);
    ASSERT_FALSE(Chart.Chart.PrintProportional());
    ASSERT_EQ(Chart.Chart.PrintMargins().Left, 7);
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text" : "binary");
        TChart Reopened;
        test::ReadChartFileExpectingNoError(Reopened, test::SaveChartFile(Chart.Chart, Text));
        EXPECT_FALSE(Reopened.PrintProportional());
        EXPECT_EQ(Reopened.PrintMargins().Left, 7);
        EXPECT_EQ(Reopened.PrintMargins(), Chart.Chart.PrintMargins());
    }
}

// Clicked, the sheet has the focus; it uses no keys, so Escape closes the
// preview as Cancel does and Return presses Close, the default button.
TEST_F(PreviewDialog, EscapeAndReturnOnTheFocusedSheetReachTheDialog)
{
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        SCOPED_TRACE(key == Qt::Key_Escape ? "Escape" : "Return");
        bool openAfterKey = true;
        int closeClicks = -1;
        Body = [&](TChartPreview& Form) {
            QSignalSpy closed(Form.BClose, &QPushButton::clicked);
            QWidget* sheet = Form.PlotPreviewPanel1->Widget();
            QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(4, 4));
            EXPECT_EQ(Form.focusWidget(), sheet);
            QTest::keyPress(sheet, key);
            QTest::keyRelease(sheet, key);
            openAfterKey = Form.isVisible();
            closeClicks = static_cast<int>(closed.count());
            EXPECT_EQ(Form.result(), QDialog::Rejected);
        };
        ShowChartPreview(nullptr, &Chart.Chart);
        EXPECT_FALSE(openAfterKey);
        EXPECT_EQ(closeClicks, key == Qt::Key_Return ? 1 : 0);
    }
}

// Margins set where the boxes would refuse them (top 49 + bottom 51) leave
// the chart no room: Print says so and writes no page.
TEST_F(PreviewDialog, PrintingWithoutRoomForTheChartSaysSoAndPrintsNothing)
{
    Chart.Chart.SetPrintProportional(false);
    Chart.Chart.SetPrintMargins({16, 49, 15, 51});
    const QString pdf = Dir.filePath("no-room.pdf");
    QStringList shown;
    Application().ShowMessageHook = [&shown](const QString& Message) { shown << Message; };
    Body = [&](TChartPreview& Form) {
        Form.AskPdfFileName = [&](QWidget*) { return pdf; };
        Form.BPrint->click();
        EXPECT_TRUE(Form.isVisible());
    };
    TChartPreviewer previewer;
    previewer.SetChart(&Chart.Chart);
    previewer.Execute();
    Application().ShowMessageHook = nullptr;
    EXPECT_EQ(shown.join('|').toStdString(), "The margins leave no room for the chart on the page: left 16 %, "
                                             "right 15 %, top 49 %, bottom 51 %.");
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(QFile::exists(Dir.filePath("unused.pdf")));
}

TEST_F(PreviewDialog, OtherControlsReachThePreviewAndThePanel)
{
    Body = [this](TChartPreview& Form) {
        Form.Resolution->setValue(40);
        EXPECT_EQ(Chart.Chart.PrintResolution(), -60);
        Form.ShowMargins->click();
        EXPECT_FALSE(Form.PlotPreviewPanel1->Margins()->Visible());
        Form.CheckBox1->click();
        EXPECT_TRUE(Form.PlotPreviewPanel1->AsBitmap());
        Form.RBPortrait->click();
        EXPECT_EQ(Printer().Orientation(), TPrinter::poPortrait);
        Form.RBLandscape->click();
        EXPECT_EQ(Printer().Orientation(), TPrinter::poLandscape);
    };
    ShowChartPreview(nullptr, &Chart.Chart);
    EXPECT_EQ(Chart.Chart.PrintResolution(), -60); // the user's choice stays
}

TEST_F(PreviewDialog, WithoutPrinterItPrintsIntoANamedPdf)
{
    if (!Printer().Printers().isEmpty())
        GTEST_SKIP() << "this desktop has printers";
    const QString pdf = Dir.filePath("named.pdf");
    Body = [&](TChartPreview& Form) {
        EXPECT_FALSE(Form.HasPrinters());
        EXPECT_EQ(Form.CBPrinters->count(), 1);
        EXPECT_EQ(Form.CBPrinters->itemText(0), "PDF file");
        EXPECT_FALSE(Form.BSetupPrinter->isEnabled());
        EXPECT_TRUE(Form.Orientation->isEnabled());
        EXPECT_TRUE(Form.BPrint->isEnabled());
        // A cancelled file choice prints nothing.
        Form.AskPdfFileName = [](QWidget*) { return QString(); };
        Form.BPrint->click();
        EXPECT_FALSE(QFile::exists(pdf));
        Form.AskPdfFileName = [&](QWidget*) { return pdf; };
        Form.BPrint->click();
    };
    ShowChartPreview(nullptr, &Chart.Chart);
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(Printer().OutputFileName(), Dir.filePath("unused.pdf"));
    const int pages = test::PdfPageCount(pdf);
    if (pages >= 0) {
        EXPECT_EQ(pages, 1);
    }
    QString why;
    const QImage page = test::RenderPdfPage(pdf, 36, why);
    if (page.isNull())
        GTEST_SKIP() << why.toStdString();
    // Landscape A4 with the red bars on it.
    EXPECT_GT(page.width(), page.height());
    EXPECT_GT(test::CountNear(page, qRgb(255, 0, 0), 60), 200);
}

TEST_F(PreviewDialog, PreviewerWithoutChartShowsNothing)
{
    TChartPreviewer previewer;
    previewer.Execute();
    EXPECT_EQ(Shown, 0);
    {
        TExportChart gone;
        previewer.SetChart(&gone.Chart);
    }
    EXPECT_EQ(previewer.Chart(), nullptr);
    previewer.Execute();
    EXPECT_EQ(Shown, 0);
}

TEST_F(PreviewDialog, PreviewerOptionsDecideTheControls)
{
    TChartPreviewer previewer;
    EXPECT_EQ(previewer.Options(),
              TChartPreviewer::TChartPreviewOptions(
                  TChartPreviewer::cpoChangePrinter | TChartPreviewer::cpoSetupPrinter |
                  TChartPreviewer::cpoResizeChart | TChartPreviewer::cpoMoveChart | TChartPreviewer::cpoChangeDetail |
                  TChartPreviewer::cpoChangePaperOrientation | TChartPreviewer::cpoChangeMargins |
                  TChartPreviewer::cpoProportional));
    previewer.SetChart(&Chart.Chart);
    previewer.SetOptions({});
    previewer.SetTitle("Section print");
    previewer.SetPaperColor(clSilver);
    QObject* shownWith = nullptr;
    QObject* closedWith = nullptr;
    previewer.OnShow = [&](QObject* Sender) { shownWith = Sender; };
    previewer.OnClose = [&](QObject* Sender) { closedWith = Sender; };
    const bool printPanel = PlotBackgroundWhenPrinting;
    Body = [&](TChartPreview& Form) {
        EXPECT_EQ(Form.windowTitle(), "Section print");
        EXPECT_FALSE(Form.CBPrinters->isEnabled());
        EXPECT_FALSE(Form.BSetupPrinter->isEnabled());
        EXPECT_FALSE(Form.ChangeDetailGroup->isEnabled());
        EXPECT_FALSE(Form.Orientation->isEnabled());
        EXPECT_FALSE(Form.GBMargins->isEnabled());
        EXPECT_FALSE(Form.BReset->isEnabled());
        EXPECT_TRUE(Form.BPrint->isEnabled());
        EXPECT_TRUE(Form.BClose->isEnabled());
        EXPECT_FALSE(Form.PlotPreviewPanel1->AllowResize());
        EXPECT_FALSE(Form.PlotPreviewPanel1->AllowMove());
        EXPECT_EQ(Form.PlotPreviewPanel1->PaperColor(), clSilver);
        EXPECT_FALSE(Chart.Chart.PrintProportional()); // without cpoProportional
        EXPECT_FALSE(PlotBackgroundWhenPrinting);
        EXPECT_EQ(shownWith, &Form);
    };
    PlotBackgroundWhenPrinting = true;
    previewer.Execute();
    EXPECT_EQ(Shown, 1);
    EXPECT_NE(closedWith, nullptr);
    EXPECT_TRUE(PlotBackgroundWhenPrinting); // restored
    PlotBackgroundWhenPrinting = printPanel;
    EXPECT_TRUE(Chart.Chart.MouseCancelled());

    previewer.SetOptions(TChartPreviewer::cpoPrintPanel | TChartPreviewer::cpoAsBitmap | TChartPreviewer::cpoDragChart);
    Body = [](TChartPreview& Form) {
        EXPECT_TRUE(PlotBackgroundWhenPrinting);
        EXPECT_TRUE(Form.PlotPreviewPanel1->AsBitmap());
        EXPECT_TRUE(Form.CheckBox1->isChecked());
        EXPECT_TRUE(Form.PlotPreviewPanel1->DragImage());
    };
    previewer.Execute();
    EXPECT_EQ(PlotBackgroundWhenPrinting, printPanel);
}

// An extra page that claims three pages prints them itself.
class TThreePages : public TChartPreviewPage {
public:
    using TChartPreviewPage::TChartPreviewPage;
    void SetPanel(TCustomPlotPanel* Panel) override { Received = Panel; }
    int PageCount() const override { return 3; }
    void PrintPages() override { ++Printed; }
    TCustomPlotPanel* Received = nullptr;
    int Printed = 0;
};

TEST_F(PreviewDialog, ExtraPageReceivesThePanelAndPrintsItsPages)
{
    TChartPreview form;
    TThreePages* page = nullptr;
    form.ExtraPageClass = [&](QWidget* Owner) { return page = new TThreePages(Owner); };
    form.AskPdfFileName = [this](QWidget*) { return Dir.filePath("pages.pdf"); };
    form.TagPanel = &Chart.Chart;
    form.ShowModal();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->parent(), form.Panel2);
    EXPECT_EQ(page->Received, &Chart.Chart);
    form.BPrint->click();
    EXPECT_EQ(page->Printed, 1);
}

// The dialog with a chart, as the user sees it; the picture goes to the
// build's test-artifacts folder.
TEST_F(PreviewDialog, PictureOfTheDialogWithAChart)
{
    QImage shot;
    Chart.Chart.Title()->Text()->Add("Resistivity section");
    Body = [&](TChartPreview& Form) {
        Form.PlotPreviewPanel1->Widget()->repaint();
        shot = Form.grab().toImage();
        // The controls fit the form's own size.
        EXPECT_EQ(Form.size(), QSize(502, 392));
        // Every control lies inside the form and keeps its size hint.
        for (QWidget* w : Form.findChildren<QWidget*>()) {
            if (!w->isVisible() || w->parentWidget() == nullptr)
                continue;
            const QRect inForm(w->mapTo(&Form, QPoint(0, 0)), w->size());
            EXPECT_TRUE(Form.rect().contains(inForm)) << w->objectName().toStdString();
        }
        for (QWidget* w : std::initializer_list<QWidget*>{Form.BSetupPrinter, Form.BPrint, Form.BClose, Form.BReset,
                                                          Form.ShowMargins, Form.CBProp, Form.CheckBox1})
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
    };
    ShowChartPreview(nullptr, &Chart.Chart);
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(test::CountNear(shot, qRgb(255, 0, 0)), 300);
    const QString folder = QDir::current().filePath("test-artifacts/export");
    QDir().mkpath(folder);
    EXPECT_TRUE(shot.save(folder + "/preview-dialog.png"));
}

} // namespace
} // namespace lp
