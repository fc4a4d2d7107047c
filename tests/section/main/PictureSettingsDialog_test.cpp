// The paper-scale picture saved from the main window: its plot at the chosen
// scales, the settings' fields that are no numbers, the font setting.

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
#include <climits>
#include <string>
#include <vector>

namespace lp {
namespace {

using test::MainWindow;

struct TPlotSpan {
    int Width = 0;
    int Height = 0;
};

// The drawn (not white) pixels in a row or column through (X, Y), ends
// included.
int DrawnRun(const QImage& Image, int X, int Y, bool Horizontal)
{
    const auto drawn = [&](int x, int y) { return Image.pixel(x, y) != qRgb(255, 255, 255); };
    int first = Horizontal ? X : Y;
    int last = first;
    if (Horizontal) {
        while (first > 0 && drawn(first - 1, Y))
            --first;
        while (last + 1 < Image.width() && drawn(last + 1, Y))
            ++last;
    } else {
        while (first > 0 && drawn(X, first - 1))
            --first;
        while (last + 1 < Image.height() && drawn(X, last + 1))
            ++last;
    }
    return last - first + 1;
}

// The plot as the bitmap shows it: the section's picture fills the plot
// between the frame lines, the axes' ends on them. The rows and columns
// through the middle run from frame to frame; a tick mark lengthens the run
// it stands on, so the shortest of a few neighbours is taken.
TPlotSpan MeasuredPlot(const QImage& Image)
{
    const int cx = Image.width() / 2;
    const int cy = Image.height() / 2;
    TPlotSpan span{INT_MAX, INT_MAX};
    for (int d = -10; d <= 10; ++d) {
        span.Width = std::min(span.Width, DrawnRun(Image, cx, cy + d, true) - 1);
        span.Height = std::min(span.Height, DrawnRun(Image, cx + d, cy, false) - 1);
    }
    return span;
}

struct PaperScalePicture : MainWindow {
    // The axes' pixel spans in the chart's last paint: the picture's.
    TPlotSpan Painted;

    void StartPaperScale()
    {
        Start({Section});
        Window->prntset->CheckBox1->setChecked(false);
        auto nodes = Chart().OnAfterDraw;
        Chart().OnAfterDraw = [this, nodes](TCustomPlotPanelExtended* Panel) {
            nodes(Panel);
            const TChartAxis& bottom = *Chart().BottomAxis();
            const TChartAxis& left = *Chart().LeftAxis();
            Painted = {std::abs(bottom.CalcPosValue(bottom.Maximum()) - bottom.CalcPosValue(bottom.Minimum())),
                       std::abs(left.CalcPosValue(left.Maximum()) - left.CalcPosValue(left.Minimum()))};
        };
    }
    void Settings(const QString& Vertical, const QString& Horizontal, const QString& Resolution)
    {
        Window->prntset->Edit1->setText(Vertical);
        Window->prntset->Edit2->setText(Horizontal);
        Window->prntset->Edit3->setText(Resolution);
    }
};

// The plot came out 3 to 5 % too high or too low: the margins were taken as
// fixed, but the depth axis starts a tenth of the chart's height down.
TEST_F(PaperScalePicture, ThePlotMeasuresTheScalesAtEveryResolution)
{
    StartPaperScale();
    // The example's area: 0..1000 across, 0..200 down.
    ASSERT_EQ(Chart().BottomAxis()->Maximum() - Chart().BottomAxis()->Minimum(), 1000.0);
    ASSERT_EQ(Chart().LeftAxis()->Maximum() - Chart().LeftAxis()->Minimum(), 200.0);
    const struct {
        int Vertical, Horizontal;
    } scales[] = {{20, 50}, {10, 100}, {50, 20}};
    for (const int dpi : {100, 300}) {
        for (const auto& scale : scales) {
            const std::string at = QStringLiteral("1:%1 down, 1:%2 across, %3 dpi")
                                       .arg(scale.Vertical)
                                       .arg(scale.Horizontal)
                                       .arg(dpi)
                                       .toStdString();
            Settings(QString::number(scale.Vertical), QString::number(scale.Horizontal), QString::number(dpi));
            const double wantedWidth = 1000.0 / scale.Horizontal * dpi / 2.54;
            const double wantedHeight = 200.0 / scale.Vertical * dpi / 2.54;
            const QString name = Folder.filePath(QStringLiteral("scaled.bmp"));
            Window->SaveMFFile(name);
            const QImage image(name);
            ASSERT_FALSE(image.isNull()) << at;
            EXPECT_NEAR(Painted.Width, wantedWidth, 1.0) << at;
            EXPECT_NEAR(Painted.Height, wantedHeight, 1.0) << at;
            const TPlotSpan measured = MeasuredPlot(image);
            EXPECT_NEAR(measured.Width, wantedWidth, 1.0) << at;
            EXPECT_NEAR(measured.Height, wantedHeight, 1.0) << at;
        }
    }
}

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
