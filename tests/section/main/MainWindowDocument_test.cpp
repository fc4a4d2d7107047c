// The section as the main window's document: unsaved changes are asked
// about before they could be lost, a save under a new name makes that file
// the document, recent files open from anywhere, a section without its
// picture still opens, and the dialogs start where the section is.

#include "MainWindowFixture.h"

#include "DialogTestUtil.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotPreview.h"
#include "chart/export/PlotPreviewPanel.h"
#include "section/dialogs/ModelSetupDialog.h"
#include "section/editor/SectionFile.h"
#include "section/main/MainWindowComponents.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolButton>

namespace lp {
namespace {

using test::MainWindow;

QByteArray FileBytes(const QString& Name)
{
    QFile file(Name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first Count lines of a file, with their line ends.
QByteArray HeadLines(const QString& Name, int Count)
{
    QFile file(Name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray head;
    for (int i = 0; i < Count; ++i)
        head += file.readLine();
    return head;
}

QPushButton* ButtonOf(QMessageBox& Box, const QString& Text)
{
    for (QAbstractButton* button : Box.buttons())
        if (button->text() == Text)
            return qobject_cast<QPushButton*>(button);
    return nullptr;
}

struct Document : MainWindow {
    QString Title() { return QStringLiteral("Section editor ") + Section; }
    int Corner = -1;
    // The lens' corner moves from (300, 140) to about (330, 150).
    void Edit()
    {
        Corner = NodeAt(300, 140);
        ASSERT_GE(Corner, 0);
        Window->ModeButtons.at(pmMoveNode)->click();
        DragNode({300, 140}, {330, 150});
        ASSERT_TRUE(Edited());
    }
    bool Edited() { return std::abs(Chart().Nodes[Corner].x - 330) < 2 && std::abs(Chart().Nodes[Corner].y - 150) < 2; }
    // Runs Action and answers "Save changes to NAME?" with Button.
    void AnswerSaveChanges(const std::function<void()>& Action, const QString& Button, const QString& Screenshot = {})
    {
        AnswerModal<QMessageBox>(Action, [&](QMessageBox& Box) {
            EXPECT_EQ(Box.text(), QStringLiteral("Save changes to example.sec?"));
            QStringList buttons;
            for (QAbstractButton* button : Box.buttons())
                buttons << button->text();
            buttons.sort();
            EXPECT_EQ(buttons, QStringList({"Cancel", "Discard", "Save"}));
            if (!Screenshot.isEmpty())
                test::SaveScreenshot(Box, Screenshot);
            QPushButton* chosen = ButtonOf(Box, Button);
            ASSERT_NE(chosen, nullptr);
            QTest::mouseClick(chosen, Qt::LeftButton);
        });
    }
    QAction* MenuCommand(const QString& Text)
    {
        for (QAction* menu : Window->menuBar()->actions())
            for (QAction* command : menu->menu()->actions())
                if (command->text() == Text)
                    return command;
        return nullptr;
    }
};

TEST_F(Document, NothingIsAskedWithoutChangesOrAfterASave)
{
    Start({Section});
    EXPECT_EQ(Window->windowTitle(), Title());
    EXPECT_FALSE(Window->Modified());
    // Exit (Ctrl+Q) closes at once.
    QTest::keyClick(Window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(Window->isVisible());

    Start({Section});
    Edit();
    EXPECT_TRUE(Window->Modified());
    EXPECT_EQ(Window->windowTitle(), Title() + QStringLiteral("*"));
    Window->SaveFile(Section);
    EXPECT_EQ(Window->windowTitle(), Title());
    EXPECT_TRUE(Window->close());
}

TEST_F(Document, UnsavedChangesAreAskedForOnExitCloseOpenAndARecentFile)
{
    const QByteArray original = FileBytes(Section);
    const QString other = Folder.filePath(QStringLiteral("other.sec"));
    ASSERT_TRUE(QFile::copy(Section, other));
    Start({other});
    Window->OpenSection(Section);
    Edit();

    // Exit: Cancel keeps the window and the edit.
    AnswerSaveChanges([&] { QTest::keyClick(Window.get(), Qt::Key_Q, Qt::ControlModifier); }, "Cancel",
                      "unsaved-changes-question");
    EXPECT_TRUE(Window->isVisible());
    EXPECT_TRUE(Window->Modified());
    // The window's close box: Cancel again.
    AnswerSaveChanges([&] { EXPECT_FALSE(Window->close()); }, "Cancel");
    EXPECT_TRUE(Edited());

    // Open: Discard, then the open dialog (cancelled) starts in the section's
    // folder; the edit is still there, as nothing else was opened.
    std::vector<QString> openedIn;
    CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
        openedIn.push_back(Request.FileName);
        return false;
    };
    Activate();
    AnswerSaveChanges([&] { QTest::keyClick(Window.get(), Qt::Key_O, Qt::ControlModifier); }, "Discard");
    ASSERT_EQ(openedIn.size(), 1u);
    EXPECT_EQ(QFileInfo(openedIn[0]).absoluteFilePath(), QFileInfo(Folder.path()).absoluteFilePath());
    EXPECT_EQ(FileBytes(Section), original);

    // A recent file: Save writes the edit, then the other file opens.
    const QStringList files = Window->Parts->RecentFiles();
    QMenu* recent = Window->Parts->RecentMenu();
    emit recent->aboutToShow();
    const int entry = static_cast<int>(files.indexOf(QFileInfo(other).absoluteFilePath()));
    ASSERT_GE(entry, 0);
    AnswerSaveChanges([&] { recent->actions()[entry]->trigger(); }, "Save");
    EXPECT_NE(FileBytes(Section), original);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + QFileInfo(other).absoluteFilePath());
    EXPECT_FALSE(Window->Modified());
    Window->OpenSection(Section);
    EXPECT_TRUE(Edited());
    // Nothing changed since: the window closes without a question.
    EXPECT_TRUE(Window->close());
}

TEST_F(Document, UndoAndModelSetupAreChangesToo)
{
    Start({Section});
    Window->SpeedButton13->click();
    EXPECT_TRUE(Window->Modified());
    Window->SaveFile(Section);
    AnswerModal<Tboxsetup>([&] { Window->Boxconstrctor1->trigger(); },
                           [](Tboxsetup& Dialog) {
                               Dialog.Edit3->setText(QStringLiteral("260"));
                               QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                           });
    EXPECT_EQ(Chart().ModelArea.bottom, 260.0);
    EXPECT_TRUE(Window->Modified());
}

TEST_F(Document, SaveUnderANewNameMakesThatFileTheDocument)
{
    Start({Section});
    Edit();
    const QString renamed = Folder.filePath(QStringLiteral("renamed.sec"));
    AnswerModal<QFileDialog>([&] { QTest::keyClick(Window.get(), Qt::Key_S, Qt::ControlModifier); },
                             [&](QFileDialog& Dialog) {
                                 // The dialog proposes the present file in its folder.
                                 EXPECT_EQ(QFileInfo(Dialog.directory().absolutePath()).absoluteFilePath(),
                                           QFileInfo(Folder.path()).absoluteFilePath());
                                 ASSERT_FALSE(Dialog.selectedFiles().isEmpty());
                                 EXPECT_EQ(QFileInfo(Dialog.selectedFiles().first()).fileName(),
                                           QStringLiteral("example.sec"));
                                 Dialog.selectFile(QStringLiteral("renamed"));
                                 static_cast<QDialog&>(Dialog).accept();
                             });
    ASSERT_TRUE(QFile::exists(renamed));
    EXPECT_EQ(Window->DocumentName(), renamed);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + renamed);
    EXPECT_EQ(Chart().Title()->Text()->Strings(0), QStringLiteral("renamed.sec"));
    EXPECT_EQ(Window->Parts->RecentFiles().first(), renamed);
    EXPECT_FALSE(Window->Modified());
}

TEST_F(Document, OpenDialogsStartInTheSectionsFolder)
{
    Start({Section});
    std::vector<QString> startedIn;
    CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
        startedIn.push_back(Request.Title + QLatin1Char('|') + Request.FileName);
        return false;
    };
    Activate();
    QTest::keyClick(Window.get(), Qt::Key_O, Qt::ControlModifier);
    Window->Carotagedata1->trigger();
    const QString folder = QFileInfo(Folder.path()).absoluteFilePath();
    EXPECT_EQ(startedIn, (std::vector<QString>{QStringLiteral("Open section|") + folder,
                                               QStringLiteral("Carotage data|") + folder}));
}

TEST_F(Document, RecentFilesAreStoredWithTheirFullPath)
{
    const QString started = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Folder.path()));
    Start({QStringLiteral("example.sec")});
    ASSERT_TRUE(QDir::setCurrent(started));
    EXPECT_EQ(Window->Parts->RecentFiles().first(), QFileInfo(Section).absoluteFilePath());
    // From another folder the entry still opens.
    Window->OpenSection(test::ExampleFile);
    const int entry = static_cast<int>(Window->Parts->RecentFiles().indexOf(QFileInfo(Section).absoluteFilePath()));
    QMenu* recent = Window->Parts->RecentMenu();
    emit recent->aboutToShow();
    ASSERT_GE(entry, 0);
    Messages.clear();
    recent->actions()[entry]->trigger();
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(' ').toStdString();
    EXPECT_EQ(Window->DocumentName(), QFileInfo(Section).absoluteFilePath());
}

TEST_F(Document, ASectionWithoutItsPictureOpensAndKeepsThePictureLine)
{
    // The section alone, in a folder without its picture.
    QTemporaryDir alone;
    const QString lonely = alone.filePath(QStringLiteral("example.sec"));
    ASSERT_TRUE(QFile::copy(test::ExampleFile, lonely));
    Start({lonely});
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith(QStringLiteral("The picture of example.sec is missing: example.jpg\n")))
        << Messages[0].toStdString();
    EXPECT_EQ(Window->Parts->StatusText(1), QStringLiteral("Picture not found: example.jpg"));
    EXPECT_EQ(Chart().Nodes.Length(), 14);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + lonely);
    EXPECT_TRUE(Window->ToolBar1->isEnabled());
    test::SaveScreenshot(*Window, QStringLiteral("section-without-picture"));
    // A save writes the picture's line and corners as they were.
    const QString saved = alone.filePath(QStringLiteral("saved.sec"));
    Window->SaveFile(saved);
    EXPECT_EQ(HeadLines(saved, 2), HeadLines(lonely, 2));
    // A mode chosen afterwards shows its help again.
    Window->ModeButtons.at(pmMoveNode)->click();
    EXPECT_EQ(Window->Parts->StatusText(1), EditModeStatusText(pmMoveNode));
}

TEST_F(Document, AFileWithoutThePicturesCornersIsNotASectionFile)
{
    Start({Section});
    for (const QByteArray& second : {QByteArray("1 2 3"), QByteArray("hello world"), QByteArray()}) {
        const QString text = Folder.filePath(QStringLiteral("notes.sec"));
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("Shopping list\n" + second + "\nmilk\n");
        file.close();
        Messages.clear();
        EXPECT_FALSE(Window->OpenSection(text));
        EXPECT_EQ(Messages,
                  QStringList{QStringLiteral("notes.sec is not a section file: line 2 must hold the picture's four corners")});
        EXPECT_EQ(Window->windowTitle(), Title());
    }
}

TEST_F(Document, HelpWithoutAViewerSaysWhereTheManualIs)
{
    Start({Section});
    const QString started = QDir::currentPath();
    QFile manual(Folder.filePath(QStringLiteral("lithoprism.pdf")));
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.write("%PDF-1.4\n");
    manual.close();
    ASSERT_TRUE(QDir::setCurrent(Folder.path()));
    QString asked;
    Window->OpenManualFile = [&](const QString& Path) {
        asked = Path;
        return false;
    };
    Messages.clear();
    MenuCommand(QStringLiteral("&Context"))->trigger();
    ASSERT_TRUE(QDir::setCurrent(started));
    EXPECT_EQ(asked, QFileInfo(manual).absoluteFilePath());
    EXPECT_EQ(Messages, QStringList{QStringLiteral("No program could open the manual - ") + asked});
}

TEST_F(Document, PrintingToAPdfNameWithoutExtensionWritesNamePdf)
{
    Start({Section});
    bool shown = false;
    bool printers = false;
    ChartPreviewShowService() = [&](TChartPreview& Form) {
        shown = true;
        printers = Form.HasPrinters();
        if (printers)
            return 0;
        Form.AskPdfFileName = [&](QWidget*) { return Folder.filePath(QStringLiteral("printed")); };
        Form.BPrint->click();
        return 0;
    };
    MenuCommand(QStringLiteral("Print pre&view..."))->trigger();
    ResetChartPreviewShowService();
    ASSERT_TRUE(shown);
    if (printers)
        GTEST_SKIP() << "this desktop has printers";
    EXPECT_TRUE(QFile::exists(Folder.filePath(QStringLiteral("printed.pdf"))));
    EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("printed"))));
}

TEST_F(Document, ThePrintPreviewRepaintsWhenEnlarged)
{
    Start({Section});
    // The page's drawing of the sandstone: it grows with the page. (The
    // part of the enlarged panel that a stale picture leaves unpainted is
    // white, so the page's paper alone would not tell.)
    int smallPaper = 0;
    int largePaper = 0;
    ChartPreviewShowService() = [&](TChartPreview& Form) {
        Form.resize(500, 400);
        Form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Form));
        QWidget* page = Form.PlotPreviewPanel1->Widget();
        const auto paper = [&] {
            QCoreApplication::processEvents();
            const QImage shot = page->grab().toImage();
            int sandstone = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    sandstone += std::abs(c.red() - 230) < 24 && std::abs(c.green() - 200) < 24 &&
                                         std::abs(c.blue() - 90) < 40
                                     ? 1
                                     : 0;
                }
            return sandstone;
        };
        smallPaper = paper();
        Form.resize(1000, 800);
        EXPECT_TRUE(QTest::qWaitFor([&] { return page->width() > 800; }));
        largePaper = paper();
        Form.hide();
        return 0;
    };
    MenuCommand(QStringLiteral("Print pre&view..."))->trigger();
    ResetChartPreviewShowService();
    ASSERT_GT(smallPaper, 500);
    // About four times the drawing; at least twice.
    EXPECT_GT(largePaper, 2 * smallPaper);
}

TEST_F(Document, ModelSetupAdaptsTheModelToTheNewArea)
{
    // A section over a surface profile: the surface follows a wider area.
    {
        TPolygonChart chart;
        chart.SetBounds(0, 0, 800, 400);
        arofcomplexM profile;
        // Elevations; the profile reaches beyond the first area.
        for (const complexM point : {complexM{-500, 0}, complexM{0, 20}, complexM{500, 10}, complexM{1000, 0},
                                     complexM{1200, 30}, complexM{2000, 30}})
            profile.Add(point);
        chart.NewModel(profile, true, 0, 1000, 0, 200);
        chart.WriteSection(Section, {QByteArray("example.jpg"),
                                     QByteArray(" 0.00000000000000E+0000  0.00000000000000E+0000  1.00000000000000E+0003 "
                                                " 2.00000000000000E+0002"),
                                     QByteArray()});
    }
    Start({Section});
    ASSERT_TRUE(Chart().HasProfile);
    const auto surface = [&] {
        std::vector<std::pair<double, double>> points;
        for (int i = 0; i < Chart().SurfaceSeries->Count(); ++i)
            points.emplace_back(Chart().SurfaceSeries->XValues()->Value(i), Chart().SurfaceSeries->YValues()->Value(i));
        return points;
    };
    const auto surfaceHas = [&](double X, double Depth) {
        for (const auto& [x, y] : surface())
            if (std::abs(x - X) < 1e-9 && std::abs(y - Depth) < 1e-9)
                return true;
        return false;
    };
    EXPECT_TRUE(surfaceHas(1000, 30));
    EXPECT_FALSE(surfaceHas(1200, 0));
    AnswerModal<Tboxsetup>([&] { Window->Boxconstrctor1->trigger(); },
                           [](Tboxsetup& Dialog) {
                               Dialog.Edit1->setText(QStringLiteral("-200"));
                               Dialog.Edit2->setText(QStringLiteral("1500"));
                               QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                           });
    EXPECT_EQ(Chart().ModelArea.left, -200.0);
    EXPECT_EQ(Chart().ModelArea.right, 1500.0);
    // The surface takes the profile's points in the wider area: the crest
    // at x 1200 (elevation 30, depth 0) and the profile's depth at 1500.
    EXPECT_TRUE(surfaceHas(1200, 0)) << ::testing::PrintToString(surface());
    EXPECT_TRUE(surfaceHas(1500, 0)) << ::testing::PrintToString(surface());
    EXPECT_TRUE(Window->Modified());
}

} // namespace
} // namespace lp
