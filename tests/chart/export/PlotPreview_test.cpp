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
    if (pages >= 0)
        EXPECT_EQ(pages, 1);
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
