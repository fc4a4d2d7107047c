#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"

#include "DialogTestUtil.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace lp {
namespace {

// Replaces the message service by a recorder that answers Answer; the
// default comes back afterwards, so no test ever shows a real box.
class MessageServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageService() = [this](const TMessageRequest& request) {
            Requests.push_back(request);
            return Answer;
        };
    }
    void TearDown() override { ResetMessageService(); }

    std::vector<TMessageRequest> Requests;
    int Answer = mrNone;
};

bool IsDefault(const TMessageService& service)
{
    using Function = int (*)(const TMessageRequest&);
    const Function* target = service.target<Function>();
    return target && *target == &DefaultMessageService;
}

TEST_F(MessageServiceTest, MessageDlgPassesTheRequestAndReturnsTheAnswer)
{
    Answer = mrYes;
    EXPECT_EQ(MessageDlg("Delete the layer?", TMsgDlgType::mtConfirmation, mbYes | mbNo, "Section"), mrYes);
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Text, "Delete the layer?");
    EXPECT_EQ(Requests[0].Caption, "Section");
    EXPECT_EQ(Requests[0].Type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(Requests[0].Buttons, TMsgDlgButtons(mbYes | mbNo));
}

TEST_F(MessageServiceTest, ShowMessageIsAnInformationWithOk)
{
    ShowMessage("Saved");
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Text, "Saved");
    EXPECT_EQ(Requests[0].Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(Requests[0].Buttons, TMsgDlgButtons(mbOK));
    EXPECT_EQ(Requests[0].Caption, Application().Title());
}

TEST_F(MessageServiceTest, ResetRestoresTheDefault)
{
    EXPECT_FALSE(IsDefault(MessageService()));
    ResetMessageService();
    EXPECT_TRUE(IsDefault(MessageService()));
}

TEST_F(MessageServiceTest, AServiceMayReplaceItselfWhileItRuns)
{
    MessageService() = [](const TMessageRequest&) {
        MessageService() = [](const TMessageRequest&) { return int(mrNo); };
        return int(mrOk);
    };
    EXPECT_EQ(MessageDlg("first", TMsgDlgType::mtWarning, mbOK), mrOk);
    EXPECT_EQ(MessageDlg("second", TMsgDlgType::mtWarning, mbOK), mrNo);
}

TEST_F(MessageServiceTest, TheReplaceQuestionNamesTheFileAndDefaultsToNo)
{
    Answer = mrNo;
    EXPECT_FALSE(AskReplaceFile(QStringLiteral("/data/sections/other.sec"), QStringLiteral("Save section")));
    Answer = mrYes;
    EXPECT_TRUE(AskReplaceFile(QStringLiteral("/data/sections/other.sec"), QStringLiteral("Save section")));
    ASSERT_EQ(Requests.size(), 2u);
    EXPECT_EQ(Requests[0].Text, QStringLiteral("other.sec already exists.\nDo you want to replace it?"));
    EXPECT_EQ(Requests[0].Caption, QStringLiteral("Save section"));
    EXPECT_EQ(Requests[0].Type, TMsgDlgType::mtWarning);
    EXPECT_EQ(Requests[0].Buttons, TMsgDlgButtons(mbYes | mbNo));
    EXPECT_EQ(Requests[0].DefaultButton, TMsgDlgButtons(mbNo));
}

// The default box presses the request's default button on Return.
TEST(DefaultMessageService, ReturnPressesTheDefaultButton)
{
    for (const TMsgDlgBtn chosen : {mbYes, mbNo}) {
        TMessageRequest request;
        request.Text = QStringLiteral("other.sec already exists.");
        request.Buttons = mbYes | mbNo;
        request.DefaultButton = chosen;
        QTimer::singleShot(0, [] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(DefaultMessageService(request), chosen == mbYes ? mrYes : mrNo);
    }
}

// Replaces the input service by one that records each request and gives
// the next of Answers (nothing = a cancel).
class InputServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InputService() = [this](const TInputRequest& request) {
            Requests.push_back(request);
            return Answers.at(Requests.size() - 1);
        };
    }
    void TearDown() override { ResetInputService(); }

    std::vector<TInputRequest> Requests;
    std::vector<std::optional<QString>> Answers;
};

TEST_F(InputServiceTest, InputBoxPassesTheRequestAndReturnsTheTypedText)
{
    Answers = {QString("-5"), QString()};
    EXPECT_EQ(InputBox("Set minimal value", "Enter value <10", "0"), "-5");
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Caption, "Set minimal value");
    EXPECT_EQ(Requests[0].Prompt, "Enter value <10");
    EXPECT_EQ(Requests[0].Default, "0");
    EXPECT_EQ(InputBox("c", "p", "7"), "") << "an emptied line is an answer, not a cancel";
}

TEST_F(InputServiceTest, ACancelReturnsTheDefault)
{
    Answers = {std::nullopt};
    EXPECT_EQ(InputBox("Set max depth", "Enter value >40", "50"), "50");
}

TEST_F(InputServiceTest, ResetRestoresTheDefault)
{
    using Function = std::optional<QString> (*)(const TInputRequest&);
    const auto isDefault = [] {
        const Function* target = InputService().target<Function>();
        return target && *target == &DefaultInputService;
    };
    EXPECT_FALSE(isDefault());
    ResetInputService();
    EXPECT_TRUE(isDefault());
}

TEST_F(InputServiceTest, AServiceMayReplaceItselfWhileItRuns)
{
    InputService() = [](const TInputRequest&) {
        InputService() = [](const TInputRequest&) { return std::optional<QString>("second"); };
        return std::optional<QString>("first");
    };
    EXPECT_EQ(InputBox("c", "p", "d"), "first");
    EXPECT_EQ(InputBox("c", "p", "d"), "second");
}

// The default dialogs carry the request's name while open, so a window's
// named dialogs (its "OpenDialog1") can be found.
TEST(CommonDialogs, DefaultDialogsCarryTheRequestsName)
{
    QString seen;
    const auto closeWhenOpen = [&] {
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            seen = dialog->objectName();
            dialog->close();
        });
    };
    TOpenDialogRequest open;
    open.Name = QStringLiteral("OpenDialog2");
    open.Filter = QStringLiteral("Carotage|*.crt");
    closeWhenOpen();
    EXPECT_FALSE(DefaultOpenDialog(open));
    EXPECT_EQ(seen, QStringLiteral("OpenDialog2"));
    EXPECT_TRUE(open.FileName.isEmpty());

    TColorDialogRequest colour;
    colour.Name = QStringLiteral("ColorDialog1");
    closeWhenOpen();
    EXPECT_FALSE(DefaultColorDialog(colour));
    EXPECT_EQ(seen, QStringLiteral("ColorDialog1"));
}

// The open request asks for one existing file, several, or a folder; a
// folder accepted comes back as the request's file name and its only
// name.
TEST(CommonDialogs, TheOpenRequestTakesAFileSeveralFilesOrAFolder)
{
    QTemporaryDir folder;
    struct TCase {
        bool Several, Folder;
        QFileDialog::FileMode Mode;
    };
    for (const TCase& row : {TCase{false, false, QFileDialog::ExistingFile},
                             TCase{true, false, QFileDialog::ExistingFiles},
                             TCase{false, true, QFileDialog::Directory}}) {
        TOpenDialogRequest open;
        open.Several = row.Several;
        open.Folder = row.Folder;
        open.FileName = folder.path();
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        bool dirsOnly = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            mode = dialog->fileMode();
            dirsOnly = dialog->testOption(QFileDialog::ShowDirsOnly);
            if (row.Folder) {
                dialog->setDirectory(folder.path());
                QMetaObject::invokeMethod(dialog, "accept");
            } else {
                dialog->reject();
            }
        });
        EXPECT_EQ(DefaultOpenDialog(open), row.Folder) << row.Several;
        EXPECT_EQ(mode, row.Mode);
        EXPECT_EQ(dirsOnly, row.Folder);
        if (row.Folder) {
            EXPECT_EQ(QFileInfo(open.FileName).canonicalFilePath(), QFileInfo(folder.path()).canonicalFilePath());
            EXPECT_EQ(open.FileNames, QStringList{open.FileName});
        }
    }
}

// The save request: its filters as the dialog shows them (a text naming
// its masks keeps them), the chosen filter selected; a cancel keeps the
// request's file name; a replaced service answers instead.
TEST(CommonDialogs, SaveRequestShowsItsFiltersAndGoesThroughTheService)
{
    TSaveDialogRequest save;
    save.Name = QStringLiteral("SavePictureDialog1");
    save.Filter = QStringLiteral("Bitmap|*.bmp|Pictures (*.png;*.gif)|*.png;*.gif");
    save.FilterIndex = 2;
    save.FileName = QStringLiteral("kept.png");
    QStringList filters;
    QString selected;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), QStringLiteral("SavePictureDialog1"));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        filters = dialog->nameFilters();
        selected = dialog->selectedNameFilter();
        dialog->reject();
    });
    EXPECT_FALSE(ExecuteSaveDialog(save));
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("Pictures (*.png *.gif)")}));
    EXPECT_EQ(selected, filters.value(1));
    EXPECT_EQ(save.FileName, QStringLiteral("kept.png"));

    CommonDialogService().ExecuteSave = [](TSaveDialogRequest& Request) {
        Request.FileName = QStringLiteral("/tmp/answer.bmp");
        return true;
    };
    EXPECT_TRUE(ExecuteSaveDialog(save));
    EXPECT_EQ(save.FileName, QStringLiteral("/tmp/answer.bmp"));
    ResetCommonDialogService();
}

// Guards a save replacing a file nobody was asked about: the program
// changes the typed name's extension, and the dialog asked about the typed
// name only. The question is about the file that will be written; No shows
// the dialog again.
TEST(CommonDialogs, TheSaveDialogAsksAboutTheFileThatWillBeWritten)
{
    QTemporaryDir folder;
    QFile other(folder.filePath(QStringLiteral("other.sec")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    std::vector<TMessageRequest> asked;
    std::vector<int> answers;
    MessageService() = [&](const TMessageRequest& Request) {
        asked.push_back(Request);
        return answers.at(asked.size() - 1);
    };
    TSaveDialogRequest save;
    save.Title = QStringLiteral("Save section");
    save.Filter = QStringLiteral("Section files [*.sec]|*.sec");
    save.FileName = folder.path() + QStringLiteral("/");
    save.WrittenName = [](const QString& FileName, int) {
        return QFileInfo(FileName).path() + QStringLiteral("/") + QFileInfo(FileName).completeBaseName() +
               QStringLiteral(".sec");
    };

    answers = {mrNo};
    test::AnswerFileDialogs({QStringLiteral("other.txt"), QString()});
    EXPECT_FALSE(DefaultSaveDialog(save));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Text, QStringLiteral("other.sec already exists.\nDo you want to replace it?"));
    EXPECT_EQ(asked[0].Caption, QStringLiteral("Save section"));

    asked.clear();
    answers = {mrYes};
    test::AnswerFileDialogs({QStringLiteral("other")});
    ASSERT_TRUE(DefaultSaveDialog(save));
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(QFileInfo(save.FileName).fileName(), QStringLiteral("other"));

    // A file that does not exist: nothing asked.
    asked.clear();
    test::AnswerFileDialogs({QStringLiteral("fresh.txt")});
    ASSERT_TRUE(DefaultSaveDialog(save));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(QFileInfo(save.FileName).fileName(), QStringLiteral("fresh.txt"));
    ResetMessageService();
}

} // namespace
} // namespace lp
