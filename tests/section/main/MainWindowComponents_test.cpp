// The main window's components carry the names the form gives them, the
// file dialogs included, so editors and tests can find them by name.

#include "section/main/MainWindowComponents.h"

#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "section/main/MainWindow.h"
#include "section/main/MainWindowGlyphs.h"

#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QToolButton>

#include <gtest/gtest.h>

namespace lp {
namespace {

struct MainWindowNames : ::testing::Test {
    QTemporaryDir Folder;
    std::unique_ptr<TMainfrm> Window;

    void SetUp() override
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder.filePath(QStringLiteral("settings")));
        Window = std::make_unique<TMainfrm>(QStringList{});
    }
    void TearDown() override { ResetCommonDialogService(); }

    QAction* MenuAction(const QString& Text) const
    {
        for (QAction* menu : Window->menuBar()->actions())
            for (QAction* action : menu->menu()->actions())
                if (action->text() == Text)
                    return action;
        return nullptr;
    }
};

TEST_F(MainWindowNames, ModeButtonsMenuAndUndoCarryTheirNames)
{
    const std::pair<TPolygonEditMode, const char*> some[] = {
        {pmAddPolygon, "SpeedButton1"}, {pmDividePolygon, "SpeedButton3"}, {pmMoveNode, "SpeedButton6"},
        {pmAddNode, "SpeedButton8"},    {pmMovePolygon, "SpeedButton11"},  {pmAddLine, "SpeedButton14"},
        {pmDeleteLineNode, "SpeedButton15"}, {pmMoveLineNode, "SpeedButton16"}, {pmMoveLine, "SpeedButton23"}};
    for (const auto& [mode, name] : some) {
        QToolButton* button = Window->ModeButtons.at(mode);
        EXPECT_EQ(button->objectName(), QString::fromLatin1(name));
        EXPECT_EQ(Window->findChild<QToolButton*>(QString::fromLatin1(name)), button) << name;
    }
    // Every mode button has a name of its own.
    QStringList names;
    for (const auto& [mode, button] : Window->ModeButtons) {
        EXPECT_EQ(button->objectName(), ModeButtonName(mode));
        EXPECT_FALSE(names.contains(button->objectName())) << mode;
        names << button->objectName();
    }
    EXPECT_EQ(names.size(), 20);
    EXPECT_EQ(Window->findChild<QToolButton*>(QStringLiteral("SpeedButton13")), Window->SpeedButton13);
    EXPECT_EQ(Window->findChild<QToolButton*>(QStringLiteral("SpeedButton19")), Window->SpeedButton19);
    EXPECT_EQ(Window->findChild<QMenuBar*>(QStringLiteral("MainMenu1")), Window->menuBar());
    EXPECT_TRUE(ModeButtonName(pmFixNode).isEmpty()); // a mode without a button
}

TEST_F(MainWindowNames, FileDialogsCarryTheirNames)
{
    for (const char* name : {"example.sec", "example.jpg"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/") + name, Folder.filePath(name)));
    Window->show();
    ASSERT_TRUE(Window->OpenSection(Folder.filePath(QStringLiteral("example.sec"))));

    QStringList asked;
    CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
        asked << Request.Name;
        return false;
    };
    QAction* open = MenuAction(QStringLiteral("&Open section..."));
    ASSERT_NE(open, nullptr);
    open->trigger();
    Window->Carotagedata1->trigger();
    EXPECT_EQ(asked, (QStringList{QStringLiteral("OpenDialog1"), QStringLiteral("OpenDialog2")}));

    // The save dialog is Qt's own; it is found by its name while it is open.
    QString saveName;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        saveName = dialog->objectName();
        dialog->close();
    });
    Window->Savefile1->trigger();
    EXPECT_EQ(saveName, QStringLiteral("SaveDialog1"));
}

} // namespace
} // namespace lp
