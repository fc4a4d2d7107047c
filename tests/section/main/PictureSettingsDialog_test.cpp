// The paper-scale picture saved from the main window: the settings' fields
// that are no numbers, the font setting.

#include "MainWindowFixture.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTitles.h"
#include "platform/base/Exception.h"
#include "platform/ui/Dialogs.h"
#include "section/main/PictureSettingsDialog.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

#include <algorithm>
#include <string>
#include <vector>

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

// The height in pixels of the tallest stroke drawn in the margin left of
// the plot: the depth axis' digits.
int LabelHeight(const QImage& Image)
{
    const int cy = Image.height() / 2;
    int left = Image.width() / 2;
    while (left > 0 && Image.pixel(left - 1, cy) != qRgb(255, 255, 255))
        --left;
    int tallest = 0;
    for (int x = 0; x + 4 < left; ++x) { // the tick marks left out
        int run = 0;
        for (int y = 0; y < Image.height(); ++y) {
            run = qGray(Image.pixel(x, y)) < 128 ? run + 1 : 0;
            tallest = std::max(tallest, run);
        }
    }
    return tallest;
}

// A negative font setting made the fonts larger: a size below 1 reached the
// font as a height in pixels.
TEST_F(PaperScalePicture, TheFontSettingShrinksToOnePointAtLeastAndIsUndoneAfter)
{
    StartPaperScale();
    Settings(QStringLiteral("20"), QStringLiteral("50"), QStringLiteral("100"));
    TChartAxis& left = *Chart().LeftAxis();
    // A height whose size in points is rounded gives back that height.
    left.LabelsFont()->SetHeight(-14);
    std::vector<TPlotFont*> fonts;
    for (TChartAxis* axis : {Chart().LeftAxis(), Chart().TopAxis(), Chart().BottomAxis(), Chart().RightAxis()}) {
        fonts.push_back(axis->LabelsFont());
        fonts.push_back(axis->Title()->Font());
    }
    fonts.push_back(Chart().Title()->Font());
    std::vector<int> heights;
    for (TPlotFont* font : fonts)
        heights.push_back(font->Height());
    const int size = left.LabelsFont()->Size();
    ASSERT_GT(size, 1);

    int sizeWhilePainting = 0;
    auto painted = Chart().OnAfterDraw;
    Chart().OnAfterDraw = [&](TCustomPlotPanelExtended* Panel) {
        painted(Panel);
        sizeWhilePainting = left.LabelsFont()->Size();
    };
    const struct {
        int Setting, Size;
    } cases[] = {{0, size}, {-20, 1}, {-100, 1}, {5, size + 5}};
    std::vector<int> labelHeight;
    for (const auto& c : cases) {
        Window->prntset->SpinEdit1->setValue(c.Setting);
        const QString name = Folder.filePath(QStringLiteral("fonts%1.bmp").arg(c.Setting));
        Window->SaveMFFile(name);
        EXPECT_EQ(sizeWhilePainting, c.Size) << "setting " << c.Setting;
        labelHeight.push_back(LabelHeight(QImage(name)));
        for (size_t i = 0; i < fonts.size(); ++i)
            EXPECT_EQ(fonts[i]->Height(), heights[i]) << "font " << i << " after setting " << c.Setting;
    }
    // The labels drawn: smaller for the negative settings, larger for +5.
    EXPECT_LT(labelHeight[1], labelHeight[0]);
    EXPECT_LT(labelHeight[2], labelHeight[0]);
    EXPECT_GT(labelHeight[3], labelHeight[0]);
}

} // namespace
} // namespace lp
