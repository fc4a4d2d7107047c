// The section as the main window's document: unsaved changes are asked
// about before they could be lost (looks set in the Graphic editor and
// limits set in an axis window among them, each one undo step), a save
// under a new name makes that file the document, recent files open from
// anywhere, a section without its picture still opens, and the dialogs
// start where the section is.

#include "MainWindowFixture.h"
#include "tests/section/editor/SectionTestUtil.h"

#include "DialogTestUtil.h"
#include "chart/editors/ChartEditors.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/series/CustomSeriesEditor.h"
#include "chart/editors/series/SeriesMarksTab.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/editors/seriestypes/MapSeriesEditor.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotPreview.h"
#include "chart/export/PlotPreviewPanel.h"
#include "section/dialogs/BodyParametersDialog.h"
#include "section/dialogs/ModelSetupDialog.h"
#include "section/dialogs/SectionGraphicEditor.h"
#include "section/editor/SectionFile.h"
#include "section/main/MainWindowComponents.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>

namespace lp {
namespace {

using test::ExampleFile;
using test::FileBytes;
using test::MainWindow;
using test::SectionWithoutIds;

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

// An undo is a change, except one back to the state last saved (or one
// with nothing to take back); so is a new model area.
TEST_F(Document, UndoAndModelSetupAreChangesToo)
{
    Start({Section});
    Window->SpeedButton13->click();
    EXPECT_FALSE(Window->Modified());
    Edit();
    Window->SaveFile(Section);
    Window->SpeedButton13->click();
    EXPECT_FALSE(Edited());
    EXPECT_TRUE(Window->Modified());
    EXPECT_EQ(Window->windowTitle(), Title() + QStringLiteral("*"));
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

// Guards Save as into another folder writing the picture's relative name,
// found through the working folder, which from the new file's folder names
// nothing: reopened from elsewhere, the section came without its picture.
TEST_F(Document, SaveAsElsewhereWritesAPictureNameThatLeadsToThePicture)
{
    // The working folder comes back however the test ends.
    const std::shared_ptr<void> working(nullptr, [path = QDir::currentPath()](void*) { QDir::setCurrent(path); });
    ASSERT_TRUE(QDir::setCurrent(Folder.path()));
    ASSERT_EQ(HeadLines(Section, 1).trimmed(), QByteArray("example.jpg"));
    Start({QStringLiteral("example.sec")});
    ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("sub")));
    const QString copy = Folder.filePath(QStringLiteral("sub/copy.sec"));
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = copy;
        Request.FilterIndex = 1;
        return true;
    };
    Window->Savefile1->trigger();
    CommonDialogService().ExecuteSave = {};
    const QString picture = QFileInfo(Folder.filePath(QStringLiteral("example.jpg"))).absoluteFilePath();
    EXPECT_EQ(HeadLines(copy, 1).trimmed().toStdString(), picture.toStdString());
    Window.reset();

    // From any other folder the copy opens with its picture.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    Start({copy});
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_NE(Window->ChartTool1->Picture()->Graphic(), nullptr);
    Window.reset();
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

// Guards Model setup opened with a body in hand checking the borders
// against the body where it hung, applying part of them and saying
// nothing: a menu command now finds the edit in hand put back.
TEST_F(Document, ModelSetupSeesTheSectionAsLastFinished)
{
    Start({Section});
    Window->SaveFile(Section);
    const QByteArray before = SectionWithoutIds(Section);
    const test::TEditInHand inHand[] = {{"the Clay picked up", pmMovePolygon, {650, 70}, {500, 70}},
                                        {"a node held", pmMoveNode, {820, 120}, {800, 110}}};
    const auto modelSetup = [&](const QString& Left, const QString& Right, bool Refused) {
        AnswerModal<Tboxsetup>([&] { ChooseFromMenuBar(Window->Boxconstrctor1); },
                               [&](Tboxsetup& Dialog) {
                                   Dialog.Edit1->setText(Left);
                                   Dialog.Edit2->setText(Right);
                                   Dialog.Edit3->setText(QStringLiteral("200"));
                                   QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                                   EXPECT_EQ(Dialog.isVisible(), Refused);
                                   if (Dialog.isVisible()) {
                                       // The fields back to the area as it is: Apply closes.
                                       Dialog.Edit1->setText(QStringLiteral("0"));
                                       Dialog.Edit2->setText(QStringLiteral("1000"));
                                       QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                                   }
                               });
        Activate();
    };
    for (const test::TEditInHand& held : inHand) {
        SCOPED_TRACE(held.Name);
        PickUp(held);
        Messages.clear();
        modelSetup(QStringLiteral("-60"), QStringLiteral("819"), true);
        EXPECT_EQ(Messages, QStringList{"Right, m must be at least 820.00: the bodies reach that far.\n"
                                        "The model area is unchanged."});
        EXPECT_EQ(Chart().ModelArea.left, 0);
        EXPECT_EQ(Chart().ModelArea.right, 1000);
        EXPECT_FALSE(Chart().EditInHand());
        EXPECT_FALSE(Window->Modified());
        Window->SaveFile(Section);
        EXPECT_EQ(SectionWithoutIds(Section).toStdString(), before.toStdString()) << "the held edit was not put back";

        PickUp(held);
        Messages.clear();
        modelSetup(QStringLiteral("-60"), QStringLiteral("1100"), false);
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(Chart().ModelArea.left, -60);
        EXPECT_EQ(Chart().ModelArea.right, 1100);
        EXPECT_EQ(Chart().ModelArea.bottom, 200);
        EXPECT_GE(NodeAt(820, 120), 0) << "the held edit was not put back";
        EXPECT_TRUE(Window->Modified());
        // One undo step for the new area.
        PressCtrlZ();
        EXPECT_EQ(Chart().ModelArea.left, 0);
        EXPECT_EQ(Chart().ModelArea.right, 1000);
        Window->SaveFile(Section);
        EXPECT_EQ(SectionWithoutIds(Section).toStdString(), before.toStdString());
    }
}

// Guards Model setup applying borders that pass a node added on the
// frame's edge: such a node keeps its depth (side edges) or its distance
// (bottom edge) while the corners move, so it was left outside the area and
// the saved frame ring folded back past its corner.
TEST_F(Document, ModelSetupKeepsEveryNodeOfTheFrameInsideTheArea)
{
    struct TCase {
        const char* Name;
        QPointF At;          // the right-click on the frame's edge, in model units
        int Border;          // the edge the new node lies on
        const char* Field;   // which field is set: "Right" or "Bottom"
        const char* Refused; // a value passing the node
        const char* Message;
        const char* Applied; // a value just clear of it
    };
    const TCase cases[] = {
        {"a node on the right edge", {1000, 197}, bkRight, "Bottom", "190",
         "Bottom, m must be more than %1: a node of the frame lies that deep.", "199"},
        {"a node on the bottom edge", {900, 200}, bkBottom, "Right", "850",
         "Right, m must be more than %1: a node of the frame lies that far.", "950"},
        {"a node on the bottom edge, left", {50, 200}, bkBottom, "Left", "60",
         "Left, m must be less than %1: a node of the frame lies that far.", "40"},
    };
    // The field a case sets, and the area's border it shows.
    const auto fieldOf = [](const TCase& Case, Tboxsetup& Dialog) {
        const QString field = QString::fromLatin1(Case.Field);
        return field == "Left" ? Dialog.Edit1 : field == "Right" ? Dialog.Edit2 : Dialog.Edit3;
    };
    const auto borderOf = [](const TCase& Case, const TModelArea& Area) {
        const QString field = QString::fromLatin1(Case.Field);
        return field == "Left" ? Area.left : field == "Right" ? Area.right : Area.bottom;
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        // Each case on the example as shipped.
        if (Window)
            Window->hide();
        Window.reset();
        ASSERT_TRUE(QFile::remove(Section));
        ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), Section));
        Start({Section});
        // Esc: "Add node"; a right click on the edge adds a node there.
        SendKey(true, Qt::Key_Escape, Qt::NoModifier);
        SendKey(false, Qt::Key_Escape, Qt::NoModifier);
        ASSERT_EQ(Chart().EditMode, pmAddNode);
        const int nodesBefore = Chart().Nodes.Length();
        const QPoint at = Pixel(c.At.x(), c.At.y());
        MoveMouse(at, Qt::NoButton);
        Click(Qt::RightButton, at);
        ASSERT_EQ(Chart().Nodes.Length(), nodesBefore + 1) << "no node was added on the edge";
        const Tnode added = Chart().Nodes[nodesBefore];
        ASSERT_EQ(added.border, c.Border);
        const double limit = c.Border == bkRight ? added.y : added.x;
        const QString limitText = QString::fromStdString(RealToText(1, true, limit));
        const TModelArea before = Chart().ModelArea;
        Window->SaveFile(Section);
        const QByteArray saved = SectionWithoutIds(Section);

        const auto modelSetup = [&](const char* Value, bool Refused) {
            AnswerModal<Tboxsetup>([&] { ChooseFromMenuBar(Window->Boxconstrctor1); },
                                   [&](Tboxsetup& Dialog) {
                                       QLineEdit* field = fieldOf(c, Dialog);
                                       const QString shown = field->text();
                                       field->setText(QString::fromLatin1(Value));
                                       QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                                       EXPECT_EQ(Dialog.isVisible(), Refused);
                                       if (Dialog.isVisible()) {
                                           EXPECT_EQ(field->text(), QString::fromLatin1(Value));
                                           field->setText(shown); // the area as it is: Apply closes
                                           QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                                       }
                                   });
            Activate();
        };
        Messages.clear();
        modelSetup(c.Refused, true);
        EXPECT_EQ(Messages, QStringList{QString::fromLatin1(c.Message).arg(limitText) +
                                        QStringLiteral("\nThe model area is unchanged.")});
        EXPECT_EQ(borderOf(c, Chart().ModelArea), borderOf(c, before));
        Window->SaveFile(Section);
        EXPECT_EQ(SectionWithoutIds(Section).toStdString(), saved.toStdString());

        // The model's own area change refuses it too, whoever asks.
        Chart().SetModelArea(false, before.left + 60, before.right - 150, before.top, before.bottom - 10);
        EXPECT_EQ(borderOf(c, Chart().ModelArea), borderOf(c, before));

        // A border clear of the node is applied, and the node lies inside.
        Messages.clear();
        modelSetup(c.Applied, false);
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
        const TModelArea& area = Chart().ModelArea;
        EXPECT_EQ(borderOf(c, area), std::stod(c.Applied));
        for (const Tnode& node : Chart().Nodes) {
            EXPECT_GE(node.x, area.left);
            EXPECT_LE(node.x, area.right);
            EXPECT_GE(node.y, area.top);
            EXPECT_LE(node.y, area.bottom);
        }
        EXPECT_TRUE(CheckModelInvariants(Chart().Model, Chart().Nodes).empty());
    }
}

// --- Looks and axes set in the chart's own windows --------------------------------------------------

// The chart editors and the section's dialogs started as the program's
// start-up starts them.
struct DocumentLooks : Document {
    void SetUp() override
    {
        Document::SetUp();
        InitializeChartEditors();
        RegisterBodyDialog();
        RegisterSectionGraphicEditor();
    }
    void TearDown() override
    {
        Document::TearDown();
        UnregisterSectionGraphicEditor();
        UnregisterBodyDialog();
        FinalizeChartEditors();
    }

    TLineSeries* Line() { return Chart().Lines[0].series; }
    // The middle of the line's first segment.
    QPoint OnLine()
    {
        ChartWidget()->repaint();
        return {(Line()->CalcXPos(0) + Line()->CalcXPos(1)) / 2, (Line()->CalcYPos(0) + Line()->CalcYPos(1)) / 2};
    }
    QPoint OnDepthAxis()
    {
        ChartWidget()->repaint();
        const TChartAxis& depth = *Chart().LeftAxis();
        return {depth.AxisLinePixel() - 2, depth.CenterPixel()};
    }
    // Shift + right-click at At, then "Options"; Use runs on the window it
    // opens, which Use closes.
    template <class TWindow>
    void Options(QPoint At, const std::function<void(TWindow&)>& Use)
    {
        QTest::mouseClick(ChartWidget(), Qt::RightButton, Qt::ShiftModifier, At);
        TPopupMenu& menu = Chart().PopupMenu();
        ASSERT_GE(menu.Count(), 1);
        ASSERT_EQ(menu.Item(0).Caption, "Options");
        AnswerModal<TWindow>([&] { menu.Click(0); }, Use);
        Activate();
    }
    // The Graphic editor on the line: Edit runs on its series page, then
    // "Close".
    void EditLine(const std::function<void(TFormPlotSeries&)>& Edit)
    {
        Options<TChartEditForm>(OnLine(), [&](TChartEditForm& Form) {
            auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
            ASSERT_NE(page, nullptr);
            Edit(*page);
            QTest::mouseClick(Form.BClose, Qt::LeftButton);
        });
    }
    QPoint OnBottomAxis()
    {
        ChartWidget()->repaint();
        const TChartAxis& bottom = *Chart().BottomAxis();
        return {bottom.CenterPixel(), bottom.AxisLinePixel() + 2};
    }
    // The window of Axis opened by Shift + right-click at At and "Options",
    // titled Title: Edit runs on it, then Escape closes it.
    void EditAxis(const TChartAxis* Axis, QPoint At, const QString& Title,
                  const std::function<void(TFormPlotAxis&)>& Edit)
    {
        QTest::mouseClick(ChartWidget(), Qt::RightButton, Qt::ShiftModifier, At);
        TPopupMenu& menu = Chart().PopupMenu();
        ASSERT_TRUE(menu.PoppedUp());
        ASSERT_EQ(Chart().PopupAxis(), Axis) << "no menu of " << Title.toStdString();
        ASSERT_GE(menu.Count(), 1);
        ASSERT_EQ(menu.Item(0).Caption, "Options");
        AnswerModal<TFormPlotAxis>([&] { menu.Click(0); },
                                   [&](TFormPlotAxis& Form) {
                                       EXPECT_EQ(Form.windowTitle(), Title);
                                       Edit(Form);
                                       QTest::keyClick(&Form, Qt::Key_Escape);
                                   });
        Activate();
    }
    // "Left axis edit".
    void EditDepthAxis(const std::function<void(TFormPlotAxis&)>& Edit)
    {
        EditAxis(Chart().LeftAxis(), OnDepthAxis(), QStringLiteral("Left axis edit"), Edit);
    }
    // The axis window's maximum set to Text through "Change...".
    static void SetMaximum(TFormPlotAxis& Form, const QString& Text)
    {
        QTimer::singleShot(0, [Text] {
            auto* limit = qobject_cast<TAxisMaxMin*>(QApplication::activeModalWidget());
            ASSERT_NE(limit, nullptr);
            limit->EMaximum->setText(Text);
            QTest::mouseClick(limit->BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(Form.BAxisMax, Qt::LeftButton);
    }
    // The chart repainted; its top axis shows the bottom axis' distances
    // and its right axis the left axis' depths: the same range and every
    // value at the same pixel.
    void ExpectAxesPaired(const char* Step)
    {
        ChartWidget()->repaint();
        lp::ExpectAxesPaired(Chart(), Step);
    }
    void ExpectArea(double Right, double Bottom, const char* Step)
    {
        EXPECT_EQ(Chart().ModelArea.right, Right) << Step;
        EXPECT_EQ(Chart().ModelArea.bottom, Bottom) << Step;
        EXPECT_EQ(Chart().BottomAxis()->Maximum(), Right) << Step;
        EXPECT_EQ(Chart().LeftAxis()->Maximum(), Bottom) << Step;
        ExpectAxesPaired(Step);
    }
    static void GreenLine(TFormPlotSeries& Page)
    {
        auto* format = qobject_cast<TCustomSeriesEditor*>(Page.SeriesEditor());
        ASSERT_NE(format, nullptr);
        test::TColorDialogAnswer answer;
        answer.Answer = 0x00C000;
        QTest::mouseClick(format->BLineColor, Qt::LeftButton);
    }
    static void ClickBox(QCheckBox* Box) { QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(4, Box->height() / 2)); }
};

// Guards Exit ending at once after a line's new look: the look was lost
// though a save would have kept it.
TEST_F(DocumentLooks, ALinesNewLookIsAChangeThatExitAsksToSave)
{
    struct TRow {
        const char* Name;
        std::function<void(TFormPlotSeries&)> Edit;
        std::function<bool(TLineSeries&)> Kept;
    };
    const TRow rows[] = {
        {"colour", &DocumentLooks::GreenLine, [](TLineSeries& S) { return S.SeriesColor() == 0x00C000; }},
        {"pen",
         [](TFormPlotSeries& Page) {
             auto* format = qobject_cast<TCustomSeriesEditor*>(Page.SeriesEditor());
             ASSERT_NE(format, nullptr);
             QTimer::singleShot(0, [] {
                 auto* pen = qobject_cast<TPenDialog*>(QApplication::activeModalWidget());
                 ASSERT_NE(pen, nullptr);
                 pen->UDWidth->setValue(5);
                 QTest::mouseClick(pen->BOk, Qt::LeftButton);
             });
             QTest::mouseClick(format->BLineBorder, Qt::LeftButton);
         },
         [](TLineSeries& S) { return S.LinePen()->Width() == 5; }},
        {"points",
         [](TFormPlotSeries& Page) {
             Page.SetActiveTab(QStringLiteral("Point"));
             auto* points = Page.findChild<TSeriesPointerEditor*>();
             ASSERT_NE(points, nullptr);
             ClickBox(points->CBDrawPoint);
         },
         [](TLineSeries& S) { return S.Pointer()->Visible(); }},
        {"marks",
         [](TFormPlotSeries& Page) {
             Page.PageSeries->setCurrentWidget(Page.TabMarks);
             ClickBox(Page.MarksTab->CBMarksVisible);
         },
         [](TLineSeries& S) { return S.Marks()->Visible(); }},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        Start({Section});
        ASSERT_FALSE(row.Kept(*Line()));
        EditLine(row.Edit);
        ASSERT_TRUE(row.Kept(*Line()));
        EXPECT_TRUE(Window->Modified());
        EXPECT_EQ(Window->windowTitle(), Title() + QStringLiteral("*"));
        AnswerSaveChanges([&] { QTest::keyClick(Window.get(), Qt::Key_Q, Qt::ControlModifier); }, "Save");
        EXPECT_FALSE(Window->isVisible());
        Start({Section});
        EXPECT_TRUE(row.Kept(*Line()));
        // Back to the example for the next row.
        ASSERT_TRUE(QFile::remove(Section));
        ASSERT_TRUE(QFile::copy(test::ExampleFile, Section));
    }
}

TEST_F(DocumentLooks, OpeningAndClosingTheEditorsWithoutAChangeIsNoChange)
{
    Start({Section});
    const QByteArray original = FileBytes(Section);
    EditLine([](TFormPlotSeries& Page) {
        for (int i = 0; i < Page.PageSeries->count(); ++i)
            Page.PageSeries->setCurrentIndex(i);
    });
    EditDepthAxis([](TFormPlotAxis&) {});
    EXPECT_FALSE(Window->Modified());
    EXPECT_EQ(Window->windowTitle(), Title());
    EXPECT_TRUE(Window->close());
    EXPECT_EQ(FileBytes(Section), original);
}

// Guards Ctrl+Z taking a new look away together with the node move before
// it.
TEST_F(DocumentLooks, UndoTakesTheLookBackAloneAndThenTheEditBeforeIt)
{
    Start({Section});
    const TColor red = Line()->SeriesColor();
    Edit();
    EditLine(&DocumentLooks::GreenLine);
    ASSERT_EQ(Line()->SeriesColor(), 0x00C000);
    PressCtrlZ();
    EXPECT_EQ(Line()->SeriesColor(), red);
    EXPECT_TRUE(Edited());
    PressCtrlZ();
    EXPECT_EQ(Line()->SeriesColor(), red);
    EXPECT_FALSE(Edited());
    EXPECT_EQ(Chart().Nodes[Corner].x, 300);
}

// Guards a look lost by undoing an edit made after it: the history held the
// state before the look, not the one after it.
TEST_F(DocumentLooks, ALookStaysWhenTheEditAfterItIsUndone)
{
    Start({Section});
    const int corner = NodeAt(300, 140);
    ASSERT_GE(corner, 0);
    // The lens: the ring through the corner Edit() moves.
    const auto lensColor = [&] {
        for (int body = 1; body < Chart().Model.Length(); ++body)
            for (int sub = 0; sub < Chart().Model[body].Length(); ++sub)
                if (Chart().Model[body][sub].ring.IndexOf(corner) >= 0) {
                    const int index = Chart().FindMapPolygon(body, sub);
                    return index < 0 ? TColor(-1) : Chart().MapSeries()->Shapes()->GetPolygon(index)->Color();
                }
        return TColor(-1);
    };
    const TColor lens = lensColor();
    QString lensText;
    for (int i = 0; i < Chart().MapSeries()->Shapes()->Count(); ++i)
        if (Chart().MapSeries()->Shapes()->GetPolygon(i)->Color() == lens)
            lensText = Chart().MapSeries()->Shapes()->GetPolygon(i)->Text();
    ASSERT_FALSE(lensText.isEmpty());
    const TColor red = Line()->SeriesColor();
    EditLine(&DocumentLooks::GreenLine);
    Options<TChartEditForm>(Pixel(450, 160), [&](TChartEditForm& Form) {
        EXPECT_EQ(Chart().PopupSeries(), Chart().MapSeries());
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        auto* format = qobject_cast<TMapSeriesEditor*>(page->SeriesEditor());
        ASSERT_NE(format, nullptr);
        format->PageControl2->setCurrentWidget(format->TabShapes);
        for (int row = 0; row < format->ChartListBox1->Count(); ++row)
            if (format->ChartListBox1->RowText(row) == lensText) // the label its mode shows
                format->ChartListBox1->SetItemIndex(row);
        format->PageControl1->setCurrentWidget(format->TabFormat);
        test::TColorDialogAnswer answer;
        answer.Answer = 0x2080F0;
        QTest::mouseClick(format->ButtonColor1, Qt::LeftButton);
        QTest::mouseClick(Form.BClose, Qt::LeftButton);
    });
    ASSERT_EQ(lensColor(), 0x2080F0);
    Edit();
    PressCtrlZ();
    EXPECT_FALSE(Edited());
    EXPECT_EQ(Line()->SeriesColor(), 0x00C000);
    EXPECT_EQ(lensColor(), 0x2080F0);
    PressCtrlZ();
    EXPECT_EQ(lensColor(), lens);
    EXPECT_EQ(Line()->SeriesColor(), 0x00C000);
    PressCtrlZ();
    EXPECT_EQ(Line()->SeriesColor(), red);
}

// Guards a body's text typed in the Graphic editor over a label its mode
// makes (Clay: "Resistivity"): the list showed it and the title got "*",
// but the chart went on showing "15 Ω·m" and a save kept "Clay".
TEST_F(DocumentLooks, TextTypedOverABodysLabelBecomesItsLabel)
{
    Start({Section});
    const int clay = Chart().FindMapPolygon(1, 1);
    ASSERT_GE(clay, 0);
    const QString shown = Chart().MapSeries()->Shapes()->GetPolygon(clay)->Text();
    ASSERT_EQ(shown, QStringLiteral("15 \u03A9\u00B7m"));
    Options<TChartEditForm>(Pixel(650, 70), [&](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        auto* format = qobject_cast<TMapSeriesEditor*>(page->SeriesEditor());
        ASSERT_NE(format, nullptr);
        format->PageControl2->setCurrentWidget(format->TabShapes);
        int row = -1;
        for (int i = 0; i < format->ChartListBox1->Count(); ++i)
            if (format->ChartListBox1->RowText(i) == shown)
                row = i;
        ASSERT_GE(row, 0);
        const QRect at = format->ChartListBox1->visualRect(format->ChartListBox1->Model().index(row));
        QTest::mouseClick(format->ChartListBox1->viewport(), Qt::LeftButton, {}, at.center());
        ASSERT_EQ(format->ChartListBox1->ItemIndex(), row);
        ASSERT_TRUE(format->EText->isEnabled());
        TypeInto(format->EText, QStringLiteral("Ton"));
        QTest::keyClick(format->EText, Qt::Key_Tab);
        EXPECT_EQ(format->ChartListBox1->RowText(row), QStringLiteral("Ton"));
        QTest::mouseClick(Form.BClose, Qt::LeftButton);
    });
    EXPECT_EQ(Window->windowTitle(), Title() + QStringLiteral("*"));
    // The typed text is the body's label text now, shown as such.
    EXPECT_EQ(Chart().Model[1][1].params[psLabelText].AsText(), "Ton");
    EXPECT_EQ(Chart().Model[1][1].params[psLabelMode].AsInteger(), lmUserText);
    EXPECT_EQ(Chart().MapSeries()->Shapes()->GetPolygon(Chart().FindMapPolygon(1, 1))->Text(), QStringLiteral("Ton"));
    Window->SaveFile(Section);
    Window.reset();
    Start({Section});
    EXPECT_EQ(Chart().Model[1][1].params[psLabelText].AsText(), "Ton");
    EXPECT_EQ(Chart().MapSeries()->Shapes()->GetPolygon(Chart().FindMapPolygon(1, 1))->Text(), QStringLiteral("Ton"));
    // The Sandstone's label is still made from its resistivity.
    EXPECT_EQ(Chart().MapSeries()->Shapes()->GetPolygon(Chart().FindMapPolygon(1, 0))->Text(),
              QStringLiteral("120 \u03A9\u00B7m"));
}

// Guards a depth limit set in "Left axis edit" moving the model's bottom
// without Exit asking about it.
TEST_F(DocumentLooks, ADepthLimitFromLeftAxisEditIsOneUndoableChange)
{
    Start({Section});
    EditDepthAxis([](TFormPlotAxis& Form) {
        QTimer::singleShot(0, [] {
            auto* limit = qobject_cast<TAxisMaxMin*>(QApplication::activeModalWidget());
            ASSERT_NE(limit, nullptr);
            limit->EMaximum->setText(QStringLiteral("250"));
            QTest::mouseClick(limit->BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(Form.BAxisMax, Qt::LeftButton);
    });
    EXPECT_EQ(Chart().ModelArea.bottom, 250.0);
    EXPECT_TRUE(Window->Modified());
    EXPECT_EQ(Window->windowTitle(), Title() + QStringLiteral("*"));
    AnswerSaveChanges([&] { QTest::keyClick(Window.get(), Qt::Key_Q, Qt::ControlModifier); }, "Cancel");
    ASSERT_TRUE(Window->isVisible());
    Activate();
    PressCtrlZ();
    EXPECT_EQ(Chart().ModelArea.bottom, 200.0);
    EXPECT_EQ(Chart().LeftAxis()->Maximum(), 200.0);
}

// Guards the top axis reading 0..1000 whatever the area: after "Model
// setup" to 1200 x 250 its labels and dashed grid lines stood at distances
// the section does not have, and so after a save and reopen.
TEST_F(DocumentLooks, TheTopAxisReadsTheBottomAxisDistancesWhereverTheAreaChanges)
{
    Start({Section});
    ExpectArea(1000, 200, "opened");
    // "Model setup" left by Escape applies what was typed.
    AnswerModal<Tboxsetup>([&] { Window->Boxconstrctor1->trigger(); },
                           [](Tboxsetup& Dialog) {
                               Dialog.Edit2->setText(QStringLiteral("1200"));
                               Dialog.Edit3->setText(QStringLiteral("250"));
                               QTest::keyClick(&Dialog, Qt::Key_Escape);
                           });
    Activate();
    EXPECT_EQ(Chart().TopAxis()->Minimum(), 0.0);
    EXPECT_EQ(Chart().TopAxis()->Maximum(), 1200.0);
    EXPECT_EQ(Chart().RightAxis()->Maximum(), 250.0);
    ExpectArea(1200, 250, "model setup");

    Window->SaveFile(Section);
    Window.reset();
    Start({Section});
    ExpectArea(1200, 250, "reopened");

    // The bottom axis' window: the top axis follows at once.
    EditAxis(Chart().BottomAxis(), OnBottomAxis(), QStringLiteral("Bottom axis edit"), [&](TFormPlotAxis& Form) {
        SetMaximum(Form, QStringLiteral("1500"));
        ExpectAxesPaired("bottom axis window");
        EXPECT_EQ(Chart().TopAxis()->Maximum(), 1500.0);
    });
    ExpectArea(1500, 250, "bottom axis window closed");
    EditDepthAxis([&](TFormPlotAxis& Form) {
        SetMaximum(Form, QStringLiteral("300"));
        ExpectAxesPaired("left axis window");
    });
    ExpectArea(1500, 300, "left axis window closed");

    PressCtrlZ();
    ExpectArea(1500, 250, "undo");
    PressCtrlZ();
    ExpectArea(1200, 250, "undo twice");

    Window->Scaled1->trigger();
    ASSERT_FALSE(Window->Scaled1->isChecked());
    ExpectArea(1200, 250, "automatic scaling off");
    Window->Scaled1->trigger();
    ExpectArea(1200, 250, "automatic scaling on");
}

// Guards one Ctrl+Z after "Model setup" taking back the node move before it
// too (no undo step was kept for the new area, so the node move's step
// passed for the present state), and Ctrl+Z after the axis menu's
// "Default" doing nothing. Every road that changes the area is one edit.
TEST_F(DocumentLooks, CtrlZTakesBackOneChangeOfTheAreaAndOnlyThatOne)
{
    const QByteArray example = FileBytes(ExampleFile);
    struct TRoad {
        const char* Name;
        double Right, Bottom; // the area the road gives
        std::function<void(DocumentLooks&)> Change;
        // A first area the road moves away from (0: the example's own).
        double StartRight = 0;
    };
    const TRoad roads[] = {
        {"Model setup", 1100, 200,
         [](DocumentLooks& T) {
             T.AnswerModal<Tboxsetup>([&] { T.Window->Boxconstrctor1->trigger(); },
                                      [](Tboxsetup& Dialog) {
                                          Dialog.Edit2->setText(QStringLiteral("1100"));
                                          QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                                      });
             T.Activate();
         }},
        {"the axis menu's Default", 1000, 200,
         [](DocumentLooks& T) {
             QTest::mouseClick(T.ChartWidget(), Qt::RightButton, Qt::ShiftModifier, T.OnBottomAxis());
             TPopupMenu& menu = T.Chart().PopupMenu();
             ASSERT_EQ(T.Chart().PopupAxis(), T.Chart().BottomAxis());
             for (int i = 0; i < menu.Count(); ++i)
                 if (menu.Item(i).Caption == "Default")
                     menu.Click(i);
             T.Activate();
         },
         1200},
        {"Bottom axis edit", 1300, 200,
         [](DocumentLooks& T) {
             T.EditAxis(T.Chart().BottomAxis(), T.OnBottomAxis(), QStringLiteral("Bottom axis edit"),
                        [](TFormPlotAxis& Form) { SetMaximum(Form, QStringLiteral("1300")); });
         }},
        {"Left axis edit", 1000, 260,
         [](DocumentLooks& T) { T.EditDepthAxis([](TFormPlotAxis& Form) { SetMaximum(Form, QStringLiteral("260")); }); }},
    };
    for (const TRoad& road : roads) {
        SCOPED_TRACE(road.Name);
        Window.reset();
        {
            QFile file(Section);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(example);
        }
        Start({Section});
        if (road.StartRight != 0) {
            AnswerModal<Tboxsetup>([&] { Window->Boxconstrctor1->trigger(); },
                                   [&](Tboxsetup& Dialog) {
                                       Dialog.Edit2->setText(QString::number(road.StartRight));
                                       QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                                   });
            Activate();
        }
        const double startRight = road.StartRight != 0 ? road.StartRight : 1000;
        Window->SaveFile(Section);
        const QByteArray before = SectionWithoutIds(Section);

        // Move node: the lens' corner (300, 140) to (320, 145), placed by
        // the right click.
        Window->ModeButtons.at(pmMoveNode)->click();
        const int corner = NodeAt(300, 140);
        ASSERT_GE(corner, 0);
        DragNode({300, 140}, {320, 145});
        ASSERT_NE(Chart().Nodes[corner].x, 300);
        Window->SaveFile(Section);
        const QByteArray afterTheMove = SectionWithoutIds(Section);
        ASSERT_NE(afterTheMove, before);

        road.Change(*this);
        ExpectArea(road.Right, road.Bottom, "changed");
        EXPECT_TRUE(Window->Modified());

        PressCtrlZ();
        ExpectArea(startRight, 200, "one undo");
        EXPECT_NE(Chart().Nodes[corner].x, 300) << "the node move went with the area";
        Window->SaveFile(Section);
        EXPECT_EQ(SectionWithoutIds(Section).toStdString(), afterTheMove.toStdString());

        PressCtrlZ();
        ExpectArea(startRight, 200, "two undos");
        EXPECT_EQ(Chart().Nodes[corner].x, 300);
        EXPECT_EQ(Chart().Nodes[corner].y, 140);
        Window->SaveFile(Section);
        EXPECT_EQ(SectionWithoutIds(Section).toStdString(), before.toStdString());
    }
}

// Guards "Auto" on the depth axis squashing the section into one pixel row
// (the surface's fill origin, -1e30, entered the range) and then moving
// the model's bottom to where the bodies end. The box is offered disabled
// now (the file does not keep it); an axis made automatic otherwise still
// shows the area.
TEST_F(DocumentLooks, AutoOnTheDepthAxisKeepsTheModelArea)
{
    Start({Section});
    const QImage before = Window->grab().toImage();
    EditDepthAxis([&](TFormPlotAxis& Form) {
        EXPECT_FALSE(Form.CBAutomatic->isEnabled());
        EXPECT_EQ(Form.CBAutomatic->toolTip(), SectionUnkeptReason);
        Form.Binder().SetTargetValue(Form.CBAutomatic, true);
        ASSERT_TRUE(Chart().LeftAxis()->Automatic());
        Chart().Repaint();
        EXPECT_EQ(Chart().LeftAxis()->Minimum(), 0.0);
        EXPECT_EQ(Chart().LeftAxis()->Maximum(), 200.0);
    });
    EXPECT_EQ(Chart().ModelArea.top, 0.0);
    EXPECT_EQ(Chart().ModelArea.bottom, 200.0);
    EXPECT_EQ(Chart().LeftAxis()->Minimum(), 0.0);
    EXPECT_EQ(Chart().LeftAxis()->Maximum(), 200.0);
    EXPECT_FALSE(Window->Modified());
    // The section looks as before.
    EXPECT_EQ(Window->grab().toImage(), before);
}

TEST_F(DocumentLooks, StairsAndShadowAreOfferedDisabledBecauseTheFileCannotKeepThem)
{
    Start({Section});
    EditLine([](TFormPlotSeries& Page) {
        auto* format = qobject_cast<TCustomSeriesEditor*>(Page.SeriesEditor());
        ASSERT_NE(format, nullptr);
        for (QWidget* control : std::initializer_list<QWidget*>{format->CBStairs, format->Button1}) {
            EXPECT_TRUE(control->isVisible()) << control->objectName().toStdString();
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        }
        EXPECT_EQ(format->GBStair->toolTip(), SectionUnkeptReason);
        EXPECT_EQ(format->Button1->toolTip(), SectionUnkeptReason);
        ClickBox(format->CBStairs);
        EXPECT_FALSE(qobject_cast<TLineSeries*>(Page.EditedSeries())->Stairs());
        // What the file keeps stays open to change.
        EXPECT_TRUE(format->BLineColor->isEnabled());
        EXPECT_TRUE(format->BLineBorder->isEnabled());
    });
    EXPECT_FALSE(Window->Modified());
}

// The manual documents the body's "Gradient" button: it opens the gradient
// editor from "Body parameters".
TEST_F(DocumentLooks, TheBodysGradientButtonOpensTheGradientEditor)
{
    Start({Section});
    ChartWidget()->repaint();
    const QPoint inLens = Pixel(450, 160);
    MoveMouse(inLens, Qt::NoButton);
    AnswerModal<TBsetup>([&] { QTest::mouseDClick(ChartWidget(), Qt::LeftButton, {}, inLens); },
                         [&](TBsetup& Dialog) {
                             EXPECT_TRUE(Dialog.Button2->isEnabled());
                             AnswerModal<TPlotGradientEditor>(
                                 [&] { QTest::mouseClick(Dialog.Button2, Qt::LeftButton); },
                                 [](TPlotGradientEditor& Editor) {
                                     QTest::mouseClick(Editor.BCancel, Qt::LeftButton);
                                 });
                             Dialog.close();
                         });
}

} // namespace
} // namespace lp
