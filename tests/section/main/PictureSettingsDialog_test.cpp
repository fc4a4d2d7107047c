// The paper-scale picture saved from the main window: the settings' fields
// that are no numbers.

#include "MainWindowFixture.h"

#include "platform/base/Exception.h"
#include "platform/ui/Dialogs.h"
#include "section/main/PictureSettingsDialog.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>

#include <string>

namespace lp {
namespace {

using test::MainWindow;

struct PaperScalePicture : MainWindow {
    void StartPaperScale()
    {
        Start({Section});
        Window->prntset->CheckBox1->setChecked(false);
    }
    void Settings(const QString& Vertical, const QString& Horizontal, const QString& Resolution)
    {
        Window->prntset->Edit1->setText(Vertical);
        Window->prntset->Edit2->setText(Horizontal);
        Window->prntset->Edit3->setText(Resolution);
    }
};

// Letters or an empty field wrote a useless picture without a word, the
// plot squashed to a few pixels.
TEST_F(PaperScalePicture, AFieldThatIsNoNumberStopsThePictureWithItsMessage)
{
    StartPaperScale();
    const QString kept = Folder.filePath(QStringLiteral("kept.bmp"));
    const QByteArray before("an earlier picture");
    {
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    const auto files = [&] { return QDir(Folder.path()).entryList(QDir::Files).join(QLatin1Char(' ')).toStdString(); };
    const std::string filesBefore = files();
    const struct {
        QLineEdit* Field;
        const char* Message;
    } fields[] = {{Window->prntset->Edit1, "The vertical scale must be a positive number"},
                  {Window->prntset->Edit2, "The horizontal scale must be a positive number"},
                  {Window->prntset->Edit3, "The print resolution must be a positive number"}};
    for (const auto& field : fields) {
        for (const QString& text : {QStringLiteral("abc"), QString(), QStringLiteral("0")}) {
            Settings(QStringLiteral("20"), QStringLiteral("50"), QStringLiteral("100"));
            field.Field->setText(text);
            try {
                Window->SaveMFFile(kept);
                ADD_FAILURE() << "no message for \"" << text.toStdString() << "\"";
            } catch (const EConvertError& Error) {
                EXPECT_EQ(Error.Message(), field.Message) << "for \"" << text.toStdString() << "\"";
            }
            QFile file(kept);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll().toStdString(), before.toStdString());
            EXPECT_EQ(files(), filesBefore);
        }
    }

    // The user's road: "Save section" as "Picture" shows the message and
    // writes nothing.
    Settings(QStringLiteral("abc"), QStringLiteral("50"), QStringLiteral("100"));
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = Folder.filePath(QStringLiteral("letters.bmp"));
        Request.FilterIndex = 2;
        return true;
    };
    Messages.clear();
    Window->Savefile1->trigger();
    EXPECT_EQ(Messages.join(QLatin1Char('|')).toStdString(), "The vertical scale must be a positive number");
    EXPECT_EQ(files(), filesBefore);
}

} // namespace
} // namespace lp
