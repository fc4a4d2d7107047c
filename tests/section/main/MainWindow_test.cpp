// The program's main window driven as a user drives it: open the example
// from the command line, move a node with the mouse, save, reopen.

#include "MainWindowFixture.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotExport.h"
#include "chart/export/PlotExportBitmap.h"
#include "chart/export/PlotPreview.h"
#include "chart/export/PlotPreviewPanel.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/Metafile.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "section/dialogs/ModelSetupDialog.h"
#include "section/editor/Carotage.h"
#include "section/main/MainWindowComponents.h"
#include "section/main/MainWindowGlyphs.h"
#include "section/main/MainWindowRoutines.h"
#include "section/main/PictureSettingsDialog.h"
#include "section/views/PseudoSection2D.h"
#include "section/views/Section2D.h"
#include "chart/canvas/PlotEffects.h"
#include "FileSizeLimit.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtCore/QtEndian>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QSpinBox>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace lp {
namespace {

using test::MainWindow;

TEST_F(MainWindow, OpenMoveANodeSaveAndReopen)
{
    Start({Section});
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + Section);
    EXPECT_TRUE(Window->ToolBar1->isEnabled());
    const TSectionModel before = Chart().SectionModel();

    // Move node: press on the lens' corner at (300, 140), drag, drop with
    // the right button.
    Window->ModeButtons.at(pmMoveNode)->click();
    EXPECT_EQ(Window->Parts->StatusText(1), EditModeStatusText(pmMoveNode));
    const int node = NodeAt(300, 140);
    ASSERT_GE(node, 0);
    const QPoint from = Pixel(300, 140);
    const QPoint to = Pixel(330, 150);
    MoveMouse(from, Qt::NoButton);
    EXPECT_FALSE(Window->Parts->StatusText(0).isEmpty()); // the cursor position
    QTest::mousePress(ChartWidget(), Qt::LeftButton, {}, from);
    for (int step = 1; step <= 5; ++step)
        MoveMouse(from + (to - from) * step / 5, Qt::LeftButton);
    QTest::mouseRelease(ChartWidget(), Qt::LeftButton, {}, to);
    QTest::mousePress(ChartWidget(), Qt::RightButton, {}, to);
    QTest::mouseRelease(ChartWidget(), Qt::RightButton, {}, to);
    const Tnode moved = Chart().Nodes[node];
    EXPECT_NEAR(moved.x, 330, 2.0);
    EXPECT_NEAR(moved.y, 150, 2.0);
    EXPECT_EQ(Window->Parts->StatusText(0),
              QString::fromStdString(RealToText(0, true, Chart().CursorX)) + QLatin1Char(' ') +
                  QString::fromStdString(RealToText(0, true, Chart().CursorY)));

    // Save under another name, then open that file in a fresh window.
    const QString saved = Folder.filePath(QStringLiteral("moved.any"));
    Window->SaveFile(saved);
    const QString savedSection = Folder.filePath(QStringLiteral("moved.sec"));
    ASSERT_TRUE(QFile::exists(savedSection));
    Window.reset();
    Start({savedSection});
    const TSectionModel after = Chart().SectionModel();
    ASSERT_EQ(after.Nodes.Length(), before.Nodes.Length());
    for (int i = 0; i < after.Nodes.Length(); ++i) {
        if (i == node) {
            // As exact as the file's number form.
            EXPECT_EQ(FormatSectionReal(after.Nodes[i].x), FormatSectionReal(moved.x));
            EXPECT_EQ(FormatSectionReal(after.Nodes[i].y), FormatSectionReal(moved.y));
        } else {
            EXPECT_EQ(after.Nodes[i], before.Nodes[i]) << "node " << i;
        }
    }
    EXPECT_EQ(FormatSectionModelBlock(TSectionModel{after}).size(), FormatSectionModelBlock(before).size());
    TSectionModel expected = before;
    expected.Nodes[node] = after.Nodes[node];
    EXPECT_EQ(FormatSectionModelBlock(after), FormatSectionModelBlock(expected));
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + savedSection);

    // Both files are in the recent files, the later one first.
    const QStringList recent = Window->Parts->RecentFiles();
    ASSERT_TRUE(recent.contains(savedSection)) << recent.join(QLatin1Char(',')).toStdString();
    ASSERT_TRUE(recent.contains(Section));
    EXPECT_LT(recent.indexOf(savedSection), recent.indexOf(Section));

    // The menu bar keeps its key letters; the recent files show numbered
    // key letters and open the file they name.
    QStringList bar;
    for (QAction* menu : Window->menuBar()->actions())
        bar << menu->text();
    EXPECT_EQ(bar, QStringList({"&File", "&Options", "&Modelling", "&Help"}));
    QMenu* recentMenu = Window->Parts->RecentMenu();
    emit recentMenu->aboutToShow();
    const QList<QAction*> entries = recentMenu->actions();
    const int savedEntry = static_cast<int>(recent.indexOf(savedSection));
    ASSERT_GT(entries.size(), recent.indexOf(Section));
    EXPECT_EQ(entries[savedEntry]->text(),
              QStringLiteral("&%1 ").arg(savedEntry + 1) + QString(savedSection).replace(QLatin1Char('&'), QStringLiteral("&&")));
    entries[recent.indexOf(Section)]->trigger();
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + Section);
}

TEST_F(MainWindow, FailedReadKeepsCaptionAndSectionAndSaysWhy)
{
    Start({Section});
    const int nodes = Chart().Nodes.Length();
    const QString broken = Folder.filePath(QStringLiteral("broken.sec"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("example.jpg\r\n1 2 3\r\n");
    file.close();
    EXPECT_FALSE(Window->OpenSection(broken));
    EXPECT_EQ(Messages.size(), 1);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + Section);
    EXPECT_EQ(Chart().Nodes.Length(), nodes);
    EXPECT_FALSE(Window->OpenSection(Folder.filePath(QStringLiteral("missing.sec"))));
    EXPECT_EQ(Messages.size(), 2);
}

TEST_F(MainWindow, HeldKeysSwitchOnlyAfterASectionIsOpenAndRestoreOnlyWhatTheySwitched)
{
    Window = std::make_unique<TMainfrm>(QStringList{});
    // Nothing is open: the keys do nothing.
    EXPECT_FALSE(Window->ModeKeyDown(Qt::Key_Shift));
    EXPECT_FALSE(Window->ModeKeyUp(Qt::Key_Shift));
    Window.reset();
    Start({Section});
    Window->ChooseMode(pmAddPolygon);
    Chart().CursorX = 300;
    Chart().CursorY = 141; // beside the lens' corner node
    EXPECT_TRUE(Window->ModeKeyDown(Qt::Key_Shift));
    EXPECT_EQ(Chart().EditMode, pmMoveNode);
    EXPECT_TRUE(Window->ModeKeyUp(Qt::Key_Shift));
    EXPECT_EQ(Chart().EditMode, pmAddPolygon);
    // Already in a Shift mode: no switch, and key-up leaves the mode alone.
    Window->ChooseMode(pmMoveNode);
    EXPECT_FALSE(Window->ModeKeyDown(Qt::Key_Shift));
    EXPECT_FALSE(Window->ModeKeyUp(Qt::Key_Shift));
    EXPECT_EQ(Chart().EditMode, pmMoveNode);
    // Nearer to a line point: the line mode.
    Window->ChooseMode(pmAddPolygon);
    Chart().CursorX = 520;
    Chart().CursorY = 129;
    EXPECT_TRUE(Window->ModeKeyDown(Qt::Key_Control));
    EXPECT_EQ(Chart().EditMode, pmDeleteLineNode);
    EXPECT_TRUE(Window->ModeKeyUp(Qt::Key_Control));
    // Esc: "Add node", its button down and no other.
    EXPECT_TRUE(Window->ModeKeyDown(Qt::Key_Escape));
    EXPECT_EQ(Chart().EditMode, pmAddNode);
    EXPECT_EQ(Window->Parts->StatusText(1), EditModeStatusText(pmAddNode));
    for (auto& [mode, button] : Window->ModeButtons)
        EXPECT_EQ(button->isChecked(), mode == pmAddNode) << mode;
}

TEST_F(MainWindow, UndoDuringADragRollsTheDragBack)
{
    Start({Section});
    Window->ModeButtons.at(pmMoveNode)->click();
    const int node = NodeAt(300, 140);
    const QPoint from = Pixel(300, 140);
    MoveMouse(from, Qt::NoButton);
    QTest::mousePress(ChartWidget(), Qt::LeftButton, {}, from);
    MoveMouse(Pixel(340, 160), Qt::LeftButton);
    ASSERT_TRUE(Chart().Editing);
    Window->SpeedButton13->click();
    EXPECT_FALSE(Chart().Editing);
    EXPECT_EQ(Chart().Nodes[node].x, 300);
    EXPECT_EQ(Chart().Nodes[node].y, 140);
    QTest::mouseRelease(ChartWidget(), Qt::LeftButton, {}, Pixel(340, 160));
}

// Guards Ctrl+Z during a drag taking back the finished edit before it too:
// the Ctrl press, which switches to its held-key mode, put the drag back,
// and the Z then found nothing in hand and undid the edit before.
TEST_F(MainWindow, CtrlZDuringADragTakesBackTheDragOnly)
{
    Start({Section});
    Window->ModeButtons.at(pmMoveNode)->click();
    DragNode({600, 140}, {620, 150}); // a finished edit
    ASSERT_LT(NodeAt(600, 140), 0);
    const int corner = NodeAt(300, 140);
    DragWithoutDropping({300, 140}, {330, 150});
    ASSERT_TRUE(Chart().EditInHand());
    PressCtrlZ();
    EXPECT_FALSE(Chart().EditInHand());
    EXPECT_EQ(Chart().Nodes[corner].x, 300);
    EXPECT_LT(NodeAt(600, 140), 0) << "the finished move was undone too";

    // A line point held: the same.
    Window->ModeButtons.at(pmMoveLineNode)->click();
    DragWithoutDropping({300, 130}, {320, 110});
    ASSERT_TRUE(Chart().EditInHand());
    PressCtrlZ();
    EXPECT_EQ(Chart().Lines[0].points[1].re, 300);
    EXPECT_EQ(Chart().Lines[0].points[1].im, 130);
    EXPECT_LT(NodeAt(600, 140), 0) << "the finished move was undone too";

    // With nothing in hand, Ctrl+Z takes back the finished edit, also in a
    // mode whose hover marks the node under the cursor.
    Window->ModeButtons.at(pmDeleteNode)->click();
    MoveMouse(Pixel(300, 140), Qt::NoButton);
    ASSERT_TRUE(Chart().Editing);
    ASSERT_FALSE(Chart().EditInHand());
    PressCtrlZ();
    EXPECT_GE(NodeAt(600, 140), 0);
}

// Guards Ctrl+Z doing nothing in a window narrower than the tool bar: the
// undo button went into the tool bar's overflow, and its shortcut with it.
TEST_F(MainWindow, CtrlZTakesBackTheLastEditAtEveryWindowWidth)
{
    Start({Section});
    for (const int width : {700, 600}) {
        SCOPED_TRACE(width);
        Window->resize(width, 700);
        QTRY_COMPARE_WITH_TIMEOUT(Window->width(), width, 2000);
        QCoreApplication::processEvents();
        ASSERT_FALSE(Window->SpeedButton13->isVisible()) << "the undo button is not in the overflow";
        Window->SaveFile(Section);
        const QByteArray before = test::SectionWithoutIds(Section);

        // Model setup, Right 1100, then Ctrl+Z.
        AnswerModal<Tboxsetup>([&] { Window->Boxconstrctor1->trigger(); },
                               [](Tboxsetup& Dialog) {
                                   Dialog.Edit2->setText(QStringLiteral("1100"));
                                   QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                               });
        Activate();
        ASSERT_EQ(Chart().ModelArea.right, 1100);
        PressCtrlZ();
        EXPECT_EQ(Chart().ModelArea.left, 0);
        EXPECT_EQ(Chart().ModelArea.right, 1000);
        Window->SaveFile(Section);
        EXPECT_EQ(test::SectionWithoutIds(Section).toStdString(), before.toStdString());

        // A node move, then Ctrl+Z.
        Window->ChooseMode(pmMoveNode);
        DragNode({600, 140}, {620, 150});
        ASSERT_LT(NodeAt(600, 140), 0);
        PressCtrlZ();
        EXPECT_GE(NodeAt(600, 140), 0);
        Window->SaveFile(Section);
        EXPECT_EQ(test::SectionWithoutIds(Section).toStdString(), before.toStdString());

        // The menu commands' keys reach their commands too.
        QStringList asked;
        CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
            asked << Request.Title;
            return false;
        };
        CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
            asked << Request.Title;
            return false;
        };
        QTest::keyClick(Window.get(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(Window.get(), Qt::Key_O, Qt::ControlModifier);
        ResetCommonDialogService();
        EXPECT_EQ(asked, QStringList({"Save section", "Open section"}));
    }

    // A mode button in the overflow is chosen through it.
    QToolButton* hidden = nullptr;
    for (TPolygonEditMode mode : ModeButtonOrder())
        if (!Window->ModeButtons.at(mode)->isVisible())
            hidden = Window->ModeButtons.at(mode);
    ASSERT_NE(hidden, nullptr);
    auto* overflow = Window->ToolBar1->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(overflow, nullptr);
    ASSERT_TRUE(overflow->isVisible());
    QTest::mouseClick(overflow, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(hidden->isVisible(), 2000);
    QTest::mouseClick(hidden, Qt::LeftButton);
    const auto chosen = std::find_if(Window->ModeButtons.begin(), Window->ModeButtons.end(),
                                     [&](const auto& Entry) { return Entry.second == hidden; });
    EXPECT_EQ(Chart().EditMode, chosen->first);
    EXPECT_TRUE(hidden->isChecked());
}

// Guards every Z being ignored while Ctrl stayed down once the Ctrl press
// had put an edit in hand back, and the undo button's click with it: only
// the first Z was that press's undo.
TEST_F(MainWindow, EveryZWithCtrlHeldTakesBackOneEdit)
{
    Start({Section});
    Window->SaveFile(Section);
    const QByteArray before = test::SectionWithoutIds(Section);
    const test::TEditInHand inHand[] = {{"a node dragged", pmMoveNode, {300, 140}, {330, 150}},
                                        {"a line point held", pmMoveLineNode, {300, 130}, {320, 110}}};
    struct TKeys {
        const char* Name;
        std::function<void(MainWindow&)> Type;
    };
    const TKeys roads[] = {
        {"Ctrl held over Z, Z",
         [](MainWindow& T) {
             T.PressCtrl();
             T.TapZWithCtrl();
             T.TapZWithCtrl();
             T.ReleaseCtrl();
         }},
        {"Ctrl pressed anew for each Z",
         [](MainWindow& T) {
             T.PressCtrlZ();
             T.PressCtrlZ();
         }},
        {"Ctrl held, a click on the undo button",
         [](MainWindow& T) {
             T.PressCtrl();
             QTest::mouseClick(T.Window->SpeedButton13, Qt::LeftButton);
             T.ReleaseCtrl();
         }},
    };
    for (const test::TEditInHand& held : inHand) {
        for (const TKeys& keys : roads) {
            SCOPED_TRACE(std::string(held.Name) + ", " + keys.Name);
            // A finished edit: the Clay's corner (820, 120) to (800, 110).
            Window->ChooseMode(pmMoveNode);
            DragNode({820, 120}, {800, 110});
            ASSERT_LT(NodeAt(820, 120), 0);
            PickUp(held);
            keys.Type(*this);
            // Time for any click that a key press would set off late.
            QTest::qWait(250);
            EXPECT_FALSE(Chart().EditInHand());
            EXPECT_GE(NodeAt(820, 120), 0) << "the finished edit was not taken back";
            Window->SaveFile(Section);
            EXPECT_EQ(test::SectionWithoutIds(Section).toStdString(), before.toStdString());
        }
    }

    // A new edit after the Ctrl press that put a drag back: the first Z
    // takes that edit back, not nothing.
    PickUp({"the lens' corner dragged", pmMoveNode, {600, 140}, {605, 142}});
    PressCtrl();
    ASSERT_EQ(Chart().EditMode, pmDeleteNode);
    MoveMouse(Pixel(600, 140), Qt::NoButton);
    Click(Qt::RightButton, Pixel(600, 140));
    ASSERT_LT(NodeAt(600, 140), 0) << "Delete node removed nothing";
    TapZWithCtrl();
    ReleaseCtrl();
    EXPECT_GE(NodeAt(600, 140), 0);
    Window->SaveFile(Section);
    EXPECT_EQ(test::SectionWithoutIds(Section).toStdString(), before.toStdString());
}

// --- Settings files ---------------------------------------------------------------------------------

// A settings file with a line that is not "name=value" once stopped the
// program at start-up ("Failed to set data for 'FileOpen1'", uncaught), and
// with all five slots present made every opened section fail.
struct MainWindowSettings : MainWindow {
    QString SettingsFile() const { return Folder.filePath(QStringLiteral("settings/Lithoprism/Lithoprism.ini")); }
    void WriteSettings(const QByteArray& Content)
    {
        QDir().mkpath(Folder.filePath(QStringLiteral("settings/Lithoprism")));
        QFile File(SettingsFile());
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Content);
    }
};

TEST_F(MainWindowSettings, DamagedFileWithMissingSlotsDoesNotStopTheProgram)
{
    WriteSettings("[Software\nLithoprism\\Files\\i=\n");
    Start({Section});
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + Section);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Window->Parts->RecentFiles(), QStringList{Section});
}

TEST_F(MainWindowSettings, DamagedFileWithAllSlotsOpensSectionsAndKeepsACopy)
{
    QByteArray Content = "[Software\nLithoprism\\Files\\i=\n";
    for (int i = 1; i <= 5; ++i)
        Content += "Lithoprism\\Files\\FileOpen" + QByteArray::number(i) + "=/old/" + QByteArray::number(i) + ".sec\n";
    WriteSettings(Content);
    Start({Section});
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + Section);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Window->Parts->RecentFiles(),
              QStringList({Section, "/old/1.sec", "/old/2.sec", "/old/3.sec", "/old/4.sec"}));
    QFile Copy(SettingsFile() + QStringLiteral(".damaged"));
    ASSERT_TRUE(Copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(Copy.readAll(), Content);
}

TEST_F(MainWindowSettings, UnwritableFileIsAStatusNoteNotAFailure)
{
    WriteSettings("[Software]\nLithoprism\\Files\\FileOpen1=/old/1.sec\n");
    test::TFileSizeLimit Full(0);
    Start({Section});
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + Section);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(Window->Parts->StatusText(0).startsWith(QStringLiteral("Recent files not saved: Failed to set data for")))
        << Window->Parts->StatusText(0).toStdString();
}

// A chart file of a huge stored size named as the section's picture once
// made the editor ask for gigabytes while opening the section.
TEST_F(MainWindow, AChartPictureOfAHugeStoredSizeOpensAtABoundedSize)
{
    // Chart files are pictures once the export layer is started, as the
    // program's start-up does.
    InitializeChartExport();
    struct TExportStarted {
        ~TExportStarted() { FinalizeChartExport(); }
    } Started;
    QFile PictureFile(Folder.filePath(QStringLiteral("p.vud")));
    ASSERT_TRUE(PictureFile.open(QIODevice::WriteOnly));
    PictureFile.write("object TChart\r\n  Width = 2000000000\r\n  Height = 2000000000\r\nend\r\n");
    PictureFile.close();
    QFile Example(Section);
    ASSERT_TRUE(Example.open(QIODevice::ReadOnly));
    QByteArray Content = Example.readAll();
    Example.close();
    Content = "p.vud\r\n" + Content.mid(Content.indexOf('\n') + 1);
    const QString Named = Folder.filePath(QStringLiteral("charted.sec"));
    QFile Charted(Named);
    ASSERT_TRUE(Charted.open(QIODevice::WriteOnly));
    Charted.write(Content);
    Charted.close();
    Start({Named});
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + Named);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
    const TGraphic* Shown = Window->ChartTool1->Picture()->Graphic();
    ASSERT_NE(Shown, nullptr);
    const QImage Pixels = Shown->ToImage();
    EXPECT_LE(qint64(Pixels.width()) * Pixels.height(), MaxDrawnPicturePixels);
    const std::unique_ptr<TBitmap> Screen = PanelBitmap(Chart(), Chart().Width(), Chart().Height());
    EXPECT_FALSE(Screen->Image().isNull());
}

TEST_F(MainWindow, ManualMissingSaysSo)
{
    Window = std::make_unique<TMainfrm>(QStringList{});
    bool anyManual = false;
    for (const QString& candidate : TMainfrm::ManualCandidates())
        anyManual = anyManual || QFile::exists(candidate);
    if (anyManual)
        GTEST_SKIP() << "a manual lies where the program looks";
    Window->Context();
    EXPECT_EQ(Messages, QStringList{QStringLiteral("File not found - lithoprism.pdf")});
}

} // namespace
} // namespace lp

namespace lp {
namespace {

TEST_F(MainWindow, PictureSaveGoesToAMetafileOrThePaperScaleBitmap)
{
    Start({Section});
    // "Automatic" on: a metafile named with ".emf", whatever the name said.
    Window->SaveMFFile(Folder.filePath(QStringLiteral("auto.bmp")));
    EXPECT_TRUE(QFile::exists(Folder.filePath(QStringLiteral("auto.emf"))));
    EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("auto.bmp"))));

    // Off: the paper-scale bitmap, 100 dpi in its header, fonts as before.
    Window->prntset->CheckBox1->setChecked(false);
    Window->prntset->Edit1->setText(QStringLiteral("100"));
    Window->prntset->Edit2->setText(QStringLiteral("100"));
    Window->prntset->SpinEdit1->setValue(4);
    const int labelSize = Chart().LeftAxis()->LabelsFont()->Size();
    Window->SaveMFFile(Folder.filePath(QStringLiteral("paper.png")));
    QFile bitmap(Folder.filePath(QStringLiteral("paper.bmp")));
    ASSERT_TRUE(bitmap.open(QIODevice::ReadOnly));
    const QByteArray header = bitmap.read(54);
    ASSERT_EQ(header.size(), 54);
    EXPECT_EQ(qFromLittleEndian<qint32>(header.constData() + 38), 3937);
    EXPECT_EQ(qFromLittleEndian<qint32>(header.constData() + 42), 3937);
    // 1000 m at 1:100 and 100 dpi: about 394 pixels of plot, plus margins.
    const qint32 width = qFromLittleEndian<qint32>(header.constData() + 18);
    EXPECT_GT(width, 394);
    EXPECT_LT(width, 394 + Chart().Width());
    EXPECT_EQ(Chart().LeftAxis()->LabelsFont()->Size(), labelSize);

    // A scale of 0 is refused with the fonts restored and no file made.
    Window->prntset->Edit1->setText(QStringLiteral("0"));
    EXPECT_THROW(Window->SaveMFFile(Folder.filePath(QStringLiteral("zero.bmp"))), Exception);
    EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("zero.bmp"))));
    EXPECT_EQ(Chart().LeftAxis()->LabelsFont()->Size(), labelSize);
}

// The print preview and the printed page once showed the bodies without the
// section's picture under them.
TEST_F(MainWindow, PreviewAndPrintShowTheSectionPictureWhereTheScreenDoes)
{
    Start({Section});
    TPolygonChart& chart = Chart();
    const int w = chart.Width();
    const int h = chart.Height();
    // The scan's paper colour: left of the bodies, between its grid lines.
    const QColor paper(246, 241, 228);
    const QPoint at = Pixel(50, 75);
    const auto looksLikePaper = [&](QColor c) {
        return std::abs(c.red() - paper.red()) <= 16 && std::abs(c.green() - paper.green()) <= 16 &&
               std::abs(c.blue() - paper.blue()) <= 16;
    };
    const auto describe = [](QColor c) { return c.name().toStdString(); };

    const std::unique_ptr<TBitmap> screen = PanelBitmap(chart, w, h);
    ASSERT_TRUE(looksLikePaper(screen->Image().pixelColor(at))) << describe(screen->Image().pixelColor(at));

    // The preview's picture of the chart and a printed page: the chart drawn
    // onto a device of the printer's kind, at the same place.
    const std::unique_ptr<TMetafile> metafile = chart.CreateMetafile(true, TRect{0, 0, w, h});
    TBitmap played(w, h);
    played.Canvas().StretchDraw(TRect{0, 0, w, h}, metafile.get());
    EXPECT_TRUE(looksLikePaper(played.Image().pixelColor(at))) << describe(played.Image().pixelColor(at));
    TBitmap printed(w, h);
    chart.PrintPartialCanvas(printed.Canvas(), TRect{0, 0, w, h});
    EXPECT_TRUE(looksLikePaper(printed.Image().pixelColor(at))) << describe(printed.Image().pixelColor(at));
    // A page twice as large: the picture scales with the chart.
    TBitmap large(2 * w, 2 * h);
    chart.PrintPartialCanvas(large.Canvas(), TRect{0, 0, 2 * w, 2 * h});
    EXPECT_TRUE(looksLikePaper(large.Image().pixelColor(2 * at))) << describe(large.Image().pixelColor(2 * at));

    // The preview page shows the paper where the chart's picture has it.
    bool previewed = false;
    ChartPreviewShowService() = [&](TChartPreview& Form) {
        TPlotPreviewPanel& page = *Form.PlotPreviewPanel1;
        const std::unique_ptr<TBitmap> shot = PanelBitmap(page, page.Width(), page.Height());
        const TRect image = page.ImageRect();
        const QPoint onPage(image.Left + at.x() * image.Width() / w, image.Top + at.y() * image.Height() / h);
        EXPECT_TRUE(looksLikePaper(shot->Image().pixelColor(onPage))) << describe(shot->Image().pixelColor(onPage));
        previewed = true;
        return 0;
    };
    Window->ChartPreviewer1->Execute();
    ResetChartPreviewShowService();
    EXPECT_TRUE(previewed);
}

// A chart with a font of its own beyond axes, titles and marks, as the mesh
// and pseudo-section charts have.
class TChartWithFurtherFont : public TChart {
public:
    TPlotFont* PaperScaleExtraFont() const override { return FFurther.get(); }
    std::unique_ptr<TPlotFont> FFurther = std::make_unique<TPlotFont>();
};

// The charts of the views name their further font themselves.
TEST(PaperScaleExport, EnlargesTheChartsFurtherFontWhilePaintingAndRestoresIt)
{
    QTemporaryDir Folder;
    ASSERT_TRUE(Folder.isValid());
    TChartWithFurtherFont standIn;
    standIn.FFurther->SetSize(8);
    TPseudoSection2d pseudoSection;
    TTModelSection2d mesh;
    for (TCustomChart* chart : {static_cast<TCustomChart*>(&standIn), static_cast<TCustomChart*>(&pseudoSection),
                                static_cast<TCustomChart*>(&mesh)}) {
        TPlotFont* further = chart->PaperScaleExtraFont();
        ASSERT_NE(further, nullptr);
        const int size = further->Size();
        chart->SetBounds(0, 0, 400, 300);
        chart->BottomAxis()->SetMinMax(0, 1000);
        chart->LeftAxis()->SetMinMax(0, 200);
        int sizeWhilePainting = 0;
        chart->OnAfterDraw = [&](TCustomPlotPanelExtended*) { sizeWhilePainting = further->Size(); };
        Tprntset dialog;
        dialog.CheckBox1->setChecked(false);
        dialog.Edit1->setText(QStringLiteral("1000"));
        dialog.Edit2->setText(QStringLiteral("1000"));
        dialog.Edit3->setText(QStringLiteral("100"));
        dialog.SpinEdit1->setValue(5);
        ExportPaperScaleBitmap(dialog, Folder.filePath(QStringLiteral("further.bmp")), *chart);
        EXPECT_TRUE(QFile::exists(Folder.filePath(QStringLiteral("further.bmp"))));
        EXPECT_EQ(sizeWhilePainting, size + 5) << chart->metaObject()->className();
        EXPECT_EQ(further->Size(), size);
    }
}

// "Carotage data" with a list of random bytes, or with one whose only
// group names a missing data file, loaded nothing and said nothing.
TEST_F(MainWindow, WellLogListsThatYieldNoLogAreReportedByName)
{
    Start({Section});
    const auto write = [&](const char* Name, const QByteArray& Content) {
        QFile file(Folder.filePath(QString::fromLatin1(Name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Content);
        return file.fileName();
    };
    write("gamma.dat", "0 10\r\n50 30\r\n100 20\r\n");
    const QString good = write("good.crt", "gamma.dat\r\nGR\r\n500 5 0 0 1 255 0\r\n");
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += static_cast<char>((i * 7919 + i / 13) & 0xFF);
    const QString random = write("random.crt", bytes);
    const QString missing = write("missing.crt", "absent.dat\r\nGone\r\n500 5 0 0 1 255 0\r\n");

    QString chosen;
    CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
        Request.FileName = chosen;
        return true;
    };
    const auto load = [&](const QString& List) {
        Messages.clear();
        chosen = List;
        Window->Carotagedata1->trigger();
    };
    load(good);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(Window->Carotage->Logs.Length(), 1);
    for (const QString& list : {random, missing}) {
        load(list);
        ASSERT_EQ(Messages.size(), 1) << list.toStdString();
        EXPECT_TRUE(Messages[0].startsWith(QStringLiteral("No well log could be read from ") + list))
            << Messages[0].toStdString();
        EXPECT_EQ(Window->Carotage->Logs.Length(), 0);
        // A good list still loads without a word.
        load(good);
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
        EXPECT_EQ(Window->Carotage->Logs.Length(), 1);
    }
}

// The node dots in the chart as the window shows it now: for each colour,
// how many 3x3 squares of it stand at nodes' places.
struct TDotCount {
    int Free = 0;  // blue
    int Fixed = 0; // black
};

TDotCount CountNodeDots(TPolygonChart& Chart, QWidget& ChartWidget)
{
    const QImage shown = ChartWidget.grab().toImage();
    const auto squareOf = [&](QPoint At, QRgb Colour) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint p = At + QPoint(dx, dy);
                if (!shown.rect().contains(p) || (shown.pixel(p) & 0xFFFFFF) != (Colour & 0xFFFFFF))
                    return false;
            }
        return true;
    };
    TDotCount count;
    for (const Tnode& node : Chart.Nodes) {
        const QPoint at(Chart.BottomAxis()->CalcPosValue(node.x), Chart.LeftAxis()->CalcPosValue(node.y));
        count.Free += squareOf(at, qRgb(0, 0, 255)) ? 1 : 0;
        count.Fixed += squareOf(at, qRgb(0, 0, 0)) ? 1 : 0;
    }
    return count;
}

// Guards the node dots vanishing when the window changed size: the
// chart's scales were brought up to date by a paint into a scratch picture,
// whose dotless picture the next paint of the window then showed.
TEST_F(MainWindow, TheNodeDotsSurviveEveryResize)
{
    Start({Section});
    const auto expectDots = [&](const char* When) {
        SCOPED_TRACE(When);
        QCoreApplication::processEvents();
        const TDotCount dots = CountNodeDots(Chart(), *ChartWidget());
        EXPECT_EQ(dots.Free, 9);
        EXPECT_EQ(dots.Fixed, 1);
        // Whatever else a paint draws over the section (a drawing's path,
        // the hover highlight) shows as a paint from scratch shows it.
        const QImage shown = ChartWidget()->grab().toImage();
        Chart().Invalidate();
        EXPECT_TRUE(shown == ChartWidget()->grab().toImage()) << "the window shows an older picture";
    };
    const QSize sizes[] = {{1400, 800}, {1200, 700}, {900, 600}, {1600, 1000}, {1100, 700}};
    expectDots("opened");
    for (const QSize size : sizes) {
        Window->resize(size);
        expectDots(qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
    }

    // The same with the well logs shown, which are drawn anew on a resize.
    CommonDialogService().ExecuteOpen = [](TOpenDialogRequest& Request) {
        Request.FileName = QStringLiteral(LP_EXAMPLES_DIR "/example.crt");
        return true;
    };
    Window->Carotagedata1->trigger();
    ASSERT_GT(Window->Carotage->Logs.Length(), 0);
    expectDots("well logs");
    for (const QSize size : sizes) {
        Window->resize(size);
        expectDots(qPrintable(QStringLiteral("well logs, %1x%2").arg(size.width()).arg(size.height())));
    }

    // Automatic scaling off and on lays the chart out anew too.
    Window->Scaled1->trigger();
    expectDots("equal scales");
    Window->Scaled1->trigger();
    expectDots("automatic scaling");

    // A polygon half drawn: its red path stays through the resizes.
    Window->ModeButtons.at(pmAddPolygon)->click();
    LeftClicks({{870, 40}, {950, 40}, {950, 100}});
    ASSERT_GT(Chart().EditPathSeries->Count(), 0);
    for (const QSize size : sizes) {
        Window->resize(size);
        expectDots(qPrintable(QStringLiteral("a polygon half drawn, %1x%2").arg(size.width()).arg(size.height())));
    }
}

} // namespace
} // namespace lp
