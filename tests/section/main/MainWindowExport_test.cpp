// File > "Export model..." under a real window: the save dialog, the name
// without extension, the replace question and the status bar.

#include "tests/section/main/MainWindowFixture.h"

#include "DialogTestUtil.h"
#include "platform/ui/Dialogs.h"
#include "section/main/MainWindowComponents.h"

#include <QtCore/QDir>
#include <QtWidgets/QFileDialog>

#include <vector>

namespace lp {
namespace {

struct ExportingModel : test::MainWindow {
    // The answers to the replace question in turn, and the questions asked.
    std::vector<int> Answers;
    QStringList Asked;
    QStringList Filters;
    QString DialogTitle;
    bool Photographed = false;

    void SetUp() override
    {
        MainWindow::SetUp();
        AnswerReplaceQuestions(Answers, Asked);
    }
    // File > "Export model..." chosen from the menu bar, Typed entered into
    // the dialog, then Return.
    void ExportThroughTheMenu(const QString& Typed)
    {
        AnswerModal<QFileDialog>([&] { ChooseFromMenuBar(Window->Exportmodel1); },
                                 [&](QFileDialog& Dialog) {
                                     Filters = Dialog.nameFilters();
                                     DialogTitle = Dialog.windowTitle();
                                     if (!Photographed) {
                                         test::SaveScreenshot(Dialog, QStringLiteral("export-model-dialog"));
                                         Photographed = true;
                                     }
                                     TypeIntoFileDialog(Dialog, Typed);
                                 });
    }
    static QString Question(const QString& Name)
    {
        return QStringLiteral("Export model|%1 already exists.\nDo you want to replace it?").arg(Name);
    }
};

TEST_F(ExportingModel, ANameWithoutExtensionWritesTheGeometryAndTableAndAsksBeforeReplacing)
{
    Start({Section});
    // In the File menu right after "Save section...".
    const QList<QAction*> file = Window->Savefile1->associatedObjects().isEmpty()
                                     ? QList<QAction*>()
                                     : qobject_cast<QMenu*>(Window->Savefile1->associatedObjects().front())->actions();
    const qsizetype save = file.indexOf(Window->Savefile1);
    ASSERT_GE(save, 0);
    EXPECT_EQ(file.value(save + 1), Window->Exportmodel1);
    EXPECT_EQ(Window->Exportmodel1->text(), QStringLiteral("&Export model..."));
    // The File menu as it opens, with the command beside Save section.
    QMenu* fileMenu = qobject_cast<QMenu*>(Window->Savefile1->associatedObjects().front());
    fileMenu->popup(Window->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fileMenu));
    test::SaveScreenshot(*fileMenu, QStringLiteral("export-model-file-menu"));
    fileMenu->hide();

    ExportThroughTheMenu(QStringLiteral("model"));
    EXPECT_EQ(DialogTitle, QStringLiteral("Export model"));
    EXPECT_EQ(Filters, QStringList{QStringLiteral("Gmsh geometry (*.geo)")});
    EXPECT_TRUE(Asked.isEmpty());
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    const QString geometry = Folder.filePath(QStringLiteral("model.geo"));
    const QString table = Folder.filePath(QStringLiteral("model.csv"));
    EXPECT_TRUE(test::FileBytes(geometry).startsWith("// Section model geometry"));
    EXPECT_TRUE(test::FileBytes(table).startsWith("tag,body,ring,label,resistivity,polarizability,area\n"));
    EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("model"))));
    EXPECT_EQ(Window->Parts->StatusText(1), QStringLiteral("Model exported: 4 regions, 19 points"));
    test::SaveScreenshot(*Window, QStringLiteral("export-model-done"));

    // The same name again: asked about model.geo; No keeps both files.
    QFile::remove(table);
    {
        QFile mark(geometry);
        ASSERT_TRUE(mark.open(QIODevice::WriteOnly | QIODevice::Truncate));
        mark.write("mine");
    }
    Answers = {mrNo};
    ExportThroughTheMenu(QStringLiteral("model"));
    EXPECT_EQ(Asked, QStringList{Question(QStringLiteral("model.geo"))});
    EXPECT_EQ(test::FileBytes(geometry), QByteArray("mine"));
    EXPECT_FALSE(QFile::exists(table));

    // Yes replaces it.
    Asked.clear();
    Answers = {mrYes};
    Window->Parts->SetStatusText(1, QString());
    ExportThroughTheMenu(QStringLiteral("model.geo"));
    EXPECT_EQ(Asked, QStringList{Question(QStringLiteral("model.geo"))});
    EXPECT_TRUE(test::FileBytes(geometry).startsWith("// Section model geometry"));
    EXPECT_TRUE(QFile::exists(table));
    EXPECT_EQ(Window->Parts->StatusText(1), QStringLiteral("Model exported: 4 regions, 19 points"));
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

TEST_F(ExportingModel, AFolderThatCannotBeWrittenIsReportedAndNothingIsLeft)
{
    Start({Section});
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = Folder.filePath(QStringLiteral("no/such/folder/model"));
        return true;
    };
    Window->Exportmodel1->trigger();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages.front().startsWith(QStringLiteral("The model cannot be exported: "))) << Messages.front().toStdString();
    EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("no"))));
}

// Guards the open section replaced by the model's table: a section named
// "model.csv" exported as "model" would have its file overwritten.
TEST_F(ExportingModel, AnExportOverTheOpenSectionIsRefusedAndTheSectionKept)
{
    const QString named = Folder.filePath(QStringLiteral("model.csv"));
    ASSERT_TRUE(QFile::copy(Section, named));
    const QByteArray before = test::FileBytes(named);
    // File > Open takes any name the user types.
    Start({Section});
    ASSERT_TRUE(Window->OpenSection(named));
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = Folder.filePath(QStringLiteral("sub/../model"));
        return true;
    };
    ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("sub")));
    Window->Exportmodel1->trigger();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_EQ(Messages.front(), QStringLiteral("The model cannot be exported over the section file the editor has "
                                               "open; name another file."));
    EXPECT_EQ(test::FileBytes(named), before);
    EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("model.geo"))));
}

} // namespace
} // namespace lp
